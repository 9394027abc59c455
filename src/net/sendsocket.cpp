#include "net/sendsocket.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "protocol/hexcodec.h"
#include "session/commonmanager.h"

#include <QSocketNotifier>
#include <QTcpSocket>
#include <QVariantMap>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Per event-loop turn: enough to keep a fast link busy, little enough that
// the screen stays responsive while a large file goes.
constexpr qint64 kTurnBudget = 4 * SendSocket::kMaxPassLength;
// Mapped writes: the part of the file mapped at a time.
constexpr qint64 kMapWindow = qint64(16) << 20;
// Buffered writes: what one read brings in.
constexpr qint64 kReadChunk = qint64(2) << 20;
// Read-ahead is asked for in steps, this far ahead of the writes, so that
// a pass rarely waits for the disk on the main thread.
constexpr qint64 kAdviseStep = qint64(32) << 20;
constexpr qint64 kAdviseAhead = qint64(64) << 20;

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool wouldBlock(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK;
}

// sendfile() has no MSG_NOSIGNAL: a peer that reset the connection would
// raise SIGPIPE and end the process. Hold the signal back for the call and
// take away the one it raised, if any.
ssize_t sendFileQuietly(int out, int in, off_t *offset, size_t count)
{
    sigset_t pipeSet;
    sigset_t previous;
    sigemptyset(&pipeSet);
    sigaddset(&pipeSet, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSet, &previous);
    sigset_t pending;
    sigpending(&pending);
    const bool wasPending = sigismember(&pending, SIGPIPE) == 1;
    ssize_t n;
    do {
        n = ::sendfile(out, in, offset, count);
    } while (n < 0 && errno == EINTR);
    const int error = errno;
    if (n < 0 && error == EPIPE && !wasPending) {
        const timespec none{0, 0};
        while (sigtimedwait(&pipeSet, nullptr, &none) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return n;
}

ssize_t sendQuietly(int out, const char *data, size_t count)
{
    ssize_t n;
    do {
        n = ::send(out, data, count, MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    return n;
}

} // namespace

struct SendSocket::Block
{
    ~Block()
    {
        unmap();
        if (fd >= 0)
            ::close(fd);
    }
    void unmap()
    {
        if (map) {
            ::munmap(map, size_t(mapLength));
            map = nullptr;
        }
    }
    bool isFile() const { return fd >= 0; }

    long tag = 0;
    QByteArray data;      // content held in memory
    FilesContent content; // content with a file behind it, open on fd
    int fd = -1;
    qint64 size = 0;
    qint64 written = 0;
    qint64 advisedUntil = 0;
    // The mapped window of a mapped write.
    char *map = nullptr;
    qint64 mapOffset = 0;
    qint64 mapLength = 0;
    // The read buffer of a buffered write and where in the file it starts.
    QByteArray buffer;
    qint64 bufferOffset = 0;
    // Set when the system cannot send from this file directly.
    bool buffered = false;
};

SendSocket::SendSocket(AppContext &ctx)
    : m_ctx(ctx)
{
}

SendSocket::~SendSocket()
{
    m_blocks.clear();
    delete m_writable;
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        delete m_socket;
    }
}

SendSocket &SendSocket::shareMananger()
{
    return AppContext::current()->shared<SendSocket>();
}

void SendSocket::sendString(const QString &hexString, long tag)
{
    const std::optional<QByteArray> bytes = HexCodec::hexStringToByteToNSData(hexString);
    if (!bytes) {
        qevaLog(lcNet, QStringLiteral("not hex, not sent: %1").arg(hexString.left(64)));
        return;
    }
    auto block = std::make_unique<Block>();
    block->tag = tag;
    block->data = *bytes;
    block->size = bytes->size();
    queue(std::move(block));
}

void SendSocket::sendData(const QByteArray &data, int processIndex)
{
    sendData(FilesContent::fromBytes(data), processIndex);
}

void SendSocket::sendData(const FilesContent &content, int processIndex)
{
    Q_UNUSED(processIndex)
    m_alldataLength = qint32(qMin<qint64>(content.size() / 1024, std::numeric_limits<qint32>::max()));
    auto block = std::make_unique<Block>();
    block->tag = kFilesDataTag;
    block->size = content.size();
    if (content.isFile()) {
        QString why;
        block->fd = content.openUnchanged(&why);
        if (block->fd < 0) {
            failSource(why);
            return;
        }
        block->content = content;
        ::posix_fadvise(block->fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    } else {
        block->data = content.bytes();
    }
    qevaLog(lcNet, QStringLiteral("content of %1 bytes queued").arg(content.size()));
    queue(std::move(block));
}

void SendSocket::queue(std::unique_ptr<Block> block)
{
    makeSureConnected();
    m_blocks.push_back(std::move(block));
    pump();
}

void SendSocket::makeSureConnected()
{
    // A socket that exists is used as it is, even one the peer has closed:
    // only a disconnect makes the next write connect again.
    if (m_socket)
        return;
    m_socket = new QTcpSocket(this);
    m_writeError.clear();
    QTcpSocket *socket = m_socket;
    connect(socket, &QTcpSocket::connected, this, [this, socket] {
        if (socket == m_socket)
            didConnect(socket);
    });
    // The server says nothing on this connection; whatever comes is dropped
    // rather than piled up.
    connect(socket, &QTcpSocket::readyRead, this, [socket] { socket->skip(socket->bytesAvailable()); });
    connect(socket, &QTcpSocket::errorOccurred, this, [socket](QAbstractSocket::SocketError) {
        qevaLog(lcNet, QStringLiteral("file stream error: %1").arg(socket->errorString()));
    });
    // The disconnect report itself changes nothing: the socket stays until
    // the next disconnectTosocket().

    const QString host = CommonManager::sharedManager().currentSelectDev.deviceIp;
    if (host.isEmpty()) {
        qevaLog(lcNet, QStringLiteral("connectOK:%1").arg(0));
        qevaLog(lcNet, QStringLiteral("connect error: %1").arg(QStringLiteral("no server address")));
        return;
    }
    socket->connectToHost(host, m_ctx.config().serverFilePort);
    qevaLog(lcNet, QStringLiteral("connectOK:%1").arg(1));
}

void SendSocket::didConnect(QTcpSocket *socket)
{
    // The writes use a descriptor of their own: it stays valid whatever
    // the socket object does with its own when the peer goes away.
    m_fd = ::fcntl(int(socket->socketDescriptor()), F_DUPFD_CLOEXEC, 0);
    if (m_fd < 0) {
        stopWriting(errnoText(errno));
        return;
    }
    m_writable = new QSocketNotifier(qintptr(m_fd), QSocketNotifier::Write, this);
    m_writable->setEnabled(false);
    connect(m_writable, &QSocketNotifier::activated, this, [this] { pump(); });
    pump();
}

void SendSocket::pump()
{
    if (m_pumping || m_fd < 0 || !m_writeError.isEmpty())
        return;
    m_pumping = true;
    const quint64 generation = m_generation;
    // A receiver of a notice may disconnect, and so end this connection.
    const auto gone = [&] { return generation != m_generation; };
    qint64 budget = kTurnBudget;
    while (!m_blocks.empty() && budget > 0) {
        Block &block = *m_blocks.front();
        const long tag = block.tag;
        if (block.written < block.size) {
            const qint64 n = writePass(block);
            if (gone() || n < 0)
                break;
            if (n == 0)
                break;
            block.written += n;
            budget -= n;
            if (block.written < block.size) {
                socketDidWritePartialDataOfLength(n, tag);
                if (gone())
                    break;
                continue;
            }
            // The last bytes are out; a file written to meanwhile may have
            // mixed old and new bytes, and is not reported as sent.
            QString why;
            if (block.isFile() && !block.content.stillUnchanged(block.fd, &why)) {
                failSource(why);
                break;
            }
        }
        m_blocks.pop_front();
        socketDidWriteDataWithTag(tag);
        if (gone())
            break;
    }
    m_pumping = false;
    // With bytes left, whether the socket is full or the turn's budget spent,
    // the notifier brings us back once the socket takes more. This holds for
    // a connection that a receiver of a notice may have begun meanwhile.
    if (m_writable)
        m_writable->setEnabled(!m_blocks.empty() && m_writeError.isEmpty());
}

qint64 SendSocket::writePass(Block &block)
{
    if (block.isFile())
        return writeFilePass(block);
    const qint64 count = qMin(block.size - block.written, kMaxPassLength);
    const ssize_t n = sendQuietly(m_fd, block.data.constData() + block.written, size_t(count));
    if (n >= 0)
        return n;
    if (wouldBlock(errno))
        return 0;
    stopWriting(errnoText(errno));
    return -1;
}

qint64 SendSocket::writeFilePass(Block &block)
{
    QString why;
    if (!block.content.stillUnchanged(block.fd, &why)) {
        failSource(why);
        return -1;
    }
    if (block.advisedUntil < block.size && block.advisedUntil - block.written < kAdviseAhead) {
        ::posix_fadvise(block.fd, block.advisedUntil, kAdviseStep, POSIX_FADV_WILLNEED);
        block.advisedUntil += kAdviseStep;
    }
    const qint64 left = block.size - block.written;
    const FileMethod method = block.buffered ? FileMethod::ReadWrite : m_method;
    ssize_t n = -1;
    switch (method) {
    case FileMethod::SendFile: {
        off_t offset = off_t(block.written);
        n = sendFileQuietly(m_fd, block.fd, &offset, size_t(qMin(left, kMaxPassLength)));
        if (n < 0 && (errno == EINVAL || errno == ENOSYS)) {
            // A file the system cannot send from directly goes through a buffer.
            block.buffered = true;
            return writeFilePass(block);
        }
        break;
    }
    case FileMethod::MappedWrite: {
        if (!block.map || block.written >= block.mapOffset + block.mapLength) {
            block.unmap();
            static const qint64 page = ::sysconf(_SC_PAGESIZE);
            block.mapOffset = block.written - block.written % page;
            block.mapLength = qMin(kMapWindow, block.size - block.mapOffset);
            void *map = ::mmap(nullptr, size_t(block.mapLength), PROT_READ, MAP_SHARED, block.fd, off_t(block.mapOffset));
            if (map == MAP_FAILED) {
                block.buffered = true;
                return writeFilePass(block);
            }
            block.map = static_cast<char *>(map);
            ::madvise(map, size_t(block.mapLength), MADV_SEQUENTIAL);
        }
        const qint64 count = qMin(block.mapOffset + block.mapLength - block.written, kMaxPassLength);
        n = sendQuietly(m_fd, block.map + (block.written - block.mapOffset), size_t(count));
        break;
    }
    case FileMethod::ReadWrite: {
        const qint64 bufferEnd = block.bufferOffset + block.buffer.size();
        if (block.buffer.isEmpty() || block.written >= bufferEnd) {
            block.buffer.resize(qMin(kReadChunk, left));
            ssize_t r;
            do {
                r = ::pread(block.fd, block.buffer.data(), size_t(block.buffer.size()), off_t(block.written));
            } while (r < 0 && errno == EINTR);
            if (r <= 0) {
                const QString error = r == 0 ? QStringLiteral("%1 ended after %2 of %3 bytes")
                                                   .arg(block.content.path())
                                                   .arg(block.written)
                                                   .arg(block.size)
                                             : QStringLiteral("cannot read %1: %2").arg(block.content.path(), errnoText(errno));
                failSource(error);
                return -1;
            }
            block.buffer.resize(r);
            block.bufferOffset = block.written;
        }
        const qint64 start = block.written - block.bufferOffset;
        n = sendQuietly(m_fd, block.buffer.constData() + start, size_t(block.buffer.size() - start));
        break;
    }
    }
    if (n > 0)
        return n;
    if (n == 0) {
        // Nothing more to read although the file was announced longer.
        failSource(QStringLiteral("%1 ended after %2 of %3 bytes").arg(block.content.path()).arg(block.written).arg(block.size));
        return -1;
    }
    if (wouldBlock(errno))
        return 0;
    if (errno == EFAULT || errno == EIO) {
        // The mapped pages went away under the write: the file was cut.
        failSource(QStringLiteral("cannot read %1: %2").arg(block.content.path(), errnoText(errno)));
        return -1;
    }
    stopWriting(errnoText(errno));
    return -1;
}

void SendSocket::stopWriting(const QString &why)
{
    // As with any failed connection: nothing is reported, the socket stays
    // until the next disconnect.
    m_writeError = why;
    if (m_writable)
        m_writable->setEnabled(false);
    qevaLog(lcNet, QStringLiteral("file stream error: %1").arg(why));
}

void SendSocket::failSource(const QString &why)
{
    qevaLog(lcNet, QStringLiteral("file content not sent: %1").arg(why));
    // What went out can never become the file announced: the server must see
    // the stream end short, and drop it.
    closeConnection();
    m_ctx.notices().post(QLatin1String(kFilesFailedNotice), QVariantMap{{QStringLiteral("message"), why}});
}

void SendSocket::socketDidWritePartialDataOfLength(qint64 partialLength, long tag)
{
    Q_UNUSED(tag)
    // One line per pass: thousands for a large file, so only when asked for.
    qCDebug(lcNet).noquote() << QStringLiteral("partialLength = %1").arg(partialLength);
    if (partialLength == kUnreportedPassLength)
        return;
    m_ctx.notices().post(QLatin1String(kFilesLengthNotice),
                         QVariantMap{{QStringLiteral("partialLength"), partialLength},
                                     {QStringLiteral("alldataLength"), m_alldataLength}});
}

void SendSocket::socketDidWriteDataWithTag(long tag)
{
    if (tag == kFilesInfoTag)
        return;
    m_ctx.notices().post(QLatin1String(kFilesDoneNotice));
}

void SendSocket::disconnectTosocket()
{
    closeConnection();
}

void SendSocket::closeConnection()
{
    ++m_generation;
    m_blocks.clear();
    m_writeError.clear();
    if (m_writable) {
        // May be inside its own signal.
        m_writable->setEnabled(false);
        m_writable->deleteLater();
        m_writable = nullptr;
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_socket)
        return;
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    // May be inside one of its own signals.
    socket->deleteLater();
}
