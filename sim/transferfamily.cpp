#include "transferfamily.h"

#include "core/logescape.h"
#include "playlistfamily.h"
#include "simfamilies.h"
#include "simmediafile.h"
#include "simserver.h"

#include <QDir>
#include <QStringDecoder>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>

namespace {
const QByteArray kAnnouncementHeader = QByteArray::fromHex("414e44015104");
// window, type, name byte count
constexpr qsizetype kFixedPart = 6 + 1 + 1 + 2;
constexpr qsizetype kLengthField = 8;
// Read per pass: enough to keep up with loopback, small enough to stay flat.
constexpr qint64 kChunk = 1 << 20;
// A stalled connection keeps no more than this unread in the socket's
// buffer, so that the kernel's window closes and the sender stops.
constexpr qint64 kStallBuffer = 64 * 1024;

QString hexByte(quint8 value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0'));
}

QString endpoint(const QHostAddress &address, quint16 port)
{
    return QStringLiteral("%1:%2").arg(address.toString()).arg(port);
}
}

struct TransferFamily::Incoming
{
    QString peer;
    QHostAddress peerAddress;
    QByteArray header;           // the announcement so far
    qsizetype headerSize = kFixedPart;
    bool announced = false;
    quint8 window = 0;
    quint8 type = 0;
    QString name;
    quint64 length = 0;
    quint64 received = 0;
    std::unique_ptr<SimMediaFile> file;
    bool stalled = false;
    qint64 lastHeard = 0; // on the server's clock
};

TransferFamily::TransferFamily()
{
    QObject::connect(&m_idleTimer, &QTimer::timeout, &m_idleTimer, [this] { closeIdleStreams(); });
}

TransferFamily::~TransferFamily()
{
    // Each file's destructor removes what it had written.
    m_incoming.clear();
}

void TransferFamily::install(SimRoutes &routes)
{
    const SimConfig &config = server().config();
    if (m_mediaDir.isEmpty())
        m_mediaDir = config.mediaDir;
    if (m_mediaDir.isEmpty()) {
        m_ownDir = std::make_unique<QTemporaryDir>();
        m_mediaDir = m_ownDir->path();
    }
    QDir().mkpath(m_mediaDir);
    if (!config.transferFault.isEmpty() && !setFault(config.transferFault))
        log(QStringLiteral("transfer fault not understood, none taken: %1").arg(LogEscape::text(config.transferFault)));
    logState(QStringLiteral("media folder %1, fault %2").arg(m_mediaDir, faultText()));
    // Often enough that a connection goes soon after its time is up.
    m_idleTimer.start(std::clamp(config.limits.tcpIdleMs / 4, 25, 1000));
    routes.onTcpConnection([this](QTcpSocket *socket) { accept(socket); });
    routes.on(SimPort::Control, 0x5101, [this](const SimRequest &q) { addToList(q); });
    routes.on(SimPort::Control, 0x5102, [this](const SimRequest &q) { play(q); });
    routes.on(SimPort::Control, 0x5103, [this](const SimRequest &q) { closeTransfer(q); });
}

void TransferFamily::serverStopping()
{
    // The sockets go with the server; what they were bringing in goes too.
    while (!m_incoming.empty())
        closeIncoming(m_incoming.begin()->first, QStringLiteral("the server stopped"), false);
    m_waiting.clear();
}

QVariantMap TransferFamily::state() const
{
    return {{QStringLiteral("mediaDir"), m_mediaDir},
            {QStringLiteral("received"), m_received},
            {QStringLiteral("receiving"), receivingFiles()},
            {QStringLiteral("discarded"), m_discarded},
            {QStringLiteral("refused"), m_refused},
            {QStringLiteral("fault"), faultText()}};
}

void TransferFamily::setMediaDir(const QString &dir)
{
    m_mediaDir = dir;
    QDir().mkpath(m_mediaDir);
}

void TransferFamily::setFault(Fault fault, qint64 afterContentBytes)
{
    m_fault = fault;
    m_faultAfter = qMax<qint64>(0, afterContentBytes);
}

std::optional<QPair<TransferFamily::Fault, qint64>> TransferFamily::parseFault(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("none") || t.isEmpty())
        return QPair<Fault, qint64>{Fault::None, 0};
    if (t == QLatin1String("refuse"))
        return QPair<Fault, qint64>{Fault::Refuse, 0};
    const qsizetype colon = t.indexOf(QLatin1Char(':'));
    const QString kind = t.left(colon);
    bool ok = false;
    const qint64 after = colon < 0 ? -1 : t.mid(colon + 1).toLongLong(&ok);
    if (!ok || after < 0)
        return std::nullopt;
    if (kind == QLatin1String("drop"))
        return QPair<Fault, qint64>{Fault::Drop, after};
    if (kind == QLatin1String("stall"))
        return QPair<Fault, qint64>{Fault::Stall, after};
    return std::nullopt;
}

bool TransferFamily::setFault(const QString &text)
{
    const auto fault = parseFault(text);
    if (!fault)
        return false;
    setFault(fault->first, fault->second);
    return true;
}

QString TransferFamily::faultText() const
{
    switch (m_fault) {
    case Fault::None: return QStringLiteral("none");
    case Fault::Refuse: return QStringLiteral("refuse");
    case Fault::Drop: return QStringLiteral("drop:%1").arg(m_faultAfter);
    case Fault::Stall: return QStringLiteral("stall:%1").arg(m_faultAfter);
    }
    return QString();
}

QStringList TransferFamily::receivingFiles() const
{
    QStringList out;
    for (const auto &[device, in] : m_incoming)
        if (in->announced)
            out << in->name;
    return out;
}

bool TransferFamily::isSafeName(const QString &name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')) || name.contains(QLatin1String("..")))
        return false;
    if (name.toUtf8().size() > kMaxNameBytes)
        return false;
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    return true;
}

bool TransferFamily::hasReceived(const QString &name) const
{
    return isSafeName(name) && SimMediaFile::entry(QDir(m_mediaDir).filePath(name)) == SimMediaFile::Entry::File;
}

// --- the stream ---------------------------------------------------------------

void TransferFamily::accept(QTcpSocket *socket)
{
    const QString peer = endpoint(socket->peerAddress(), socket->peerPort());
    if (m_fault == Fault::Refuse) {
        ++m_refused;
        logState(QStringLiteral("refused connection from %1").arg(peer));
        socket->abort();
        return;
    }
    openStream(socket, socket->peerAddress(), socket->peerPort());
    if (m_fault == Fault::Stall) {
        // Small buffers on our side too, or the kernel would take in tens
        // of megabytes before the sender felt the stall.
        socket->setReadBufferSize(kStallBuffer);
        socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, int(kStallBuffer));
    }
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { readStream(socket); });
    QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] { endStream(socket); });
}

void TransferFamily::openStream(QIODevice *device, const QHostAddress &peer, quint16 port)
{
    auto in = std::make_unique<Incoming>();
    in->peer = endpoint(peer, port);
    in->peerAddress = QHostAddress(peer.toIPv4Address());
    in->lastHeard = server().nowMs();
    m_incoming[device] = std::move(in);
}

void TransferFamily::endStream(QIODevice *device)
{
    if (!m_incoming.count(device))
        return;
    // What arrived with the close is still to be read.
    readStream(device);
    if (m_incoming.count(device))
        closeIncoming(device, QStringLiteral("connection closed"), false);
}

void TransferFamily::closeIdleStreams()
{
    const qint64 now = server().nowMs();
    const int limit = server().config().limits.tcpIdleMs;
    std::vector<QIODevice *> idle;
    for (const auto &[device, in] : m_incoming)
        if (!in->stalled && now - in->lastHeard >= limit)
            idle.push_back(device);
    for (QIODevice *device : idle) {
        const Incoming &in = *m_incoming.at(device);
        const QString why = QStringLiteral("nothing for %1 ms").arg(now - in.lastHeard);
        if (in.announced) {
            closeIncoming(device, why, true); // says what was discarded
        } else {
            log(QStringLiteral("file stream from %1 closed: %2 while an announcement was due").arg(in.peer, why));
            closeIncoming(device, QString(), true);
        }
    }
}

void TransferFamily::readStream(QIODevice *device)
{
    // Every pass takes bytes off the device, so the loop ends with them.
    while (device->bytesAvailable() > 0) {
        const auto it = m_incoming.find(device);
        if (it == m_incoming.end())
            return;
        Incoming &in = *it->second;
        if (in.stalled)
            return;
        in.lastHeard = server().nowMs();

        if (!in.announced) {
            const QByteArray part = device->read(in.headerSize - in.header.size());
            in.header += part;
            if (in.header.size() < in.headerSize)
                continue;
            if (!readAnnouncement(in)) {
                closeIncoming(device, QString(), true);
                return;
            }
            if (in.announced && in.length == 0)
                finishFile(device);
            continue;
        }

        qint64 want = qint64(qMin<quint64>(in.length - in.received, quint64(kChunk)));
        const bool faulty = m_fault == Fault::Drop || m_fault == Fault::Stall;
        if (faulty) {
            const qint64 untilFault = m_faultAfter - qint64(in.received);
            if (untilFault <= 0) {
                if (m_fault == Fault::Drop) {
                    closeIncoming(device, QStringLiteral("dropped after %1 bytes").arg(in.received), true);
                } else {
                    in.stalled = true;
                    logState(QStringLiteral("stalled %1 after %2 of %3 bytes")
                                 .arg(LogEscape::text(in.name))
                                 .arg(in.received)
                                 .arg(in.length));
                }
                return;
            }
            want = qMin(want, untilFault);
        }
        if (m_buffer.size() < kChunk)
            m_buffer.resize(kChunk);
        const qint64 n = device->read(m_buffer.data(), want);
        if (n <= 0)
            return;
        if (!in.file->write(m_buffer.constData(), n)) {
            closeIncoming(device, QStringLiteral("cannot write: %1").arg(in.file->errorString()), true);
            return;
        }
        in.received += quint64(n);
        if (in.received == in.length)
            finishFile(device);
    }
}

bool TransferFamily::readAnnouncement(Incoming &in)
{
    if (!in.header.startsWith(kAnnouncementHeader)) {
        log(QStringLiteral("malformed file stream from %1: %2").arg(in.peer, LogEscape::hex(in.header)));
        return false;
    }
    if (in.headerSize == kFixedPart) {
        const quint16 nameBytes = qFromBigEndian<quint16>(in.header.constData() + 8);
        if (nameBytes > kMaxNameBytes) {
            ++m_refused;
            logState(QStringLiteral("refused file name of %1 bytes from %2").arg(nameBytes).arg(in.peer));
            return false;
        }
        in.headerSize = kFixedPart + nameBytes + kLengthField;
        return true; // the rest of the announcement is still to come
    }

    in.window = quint8(in.header.at(6));
    in.type = quint8(in.header.at(7));
    const QByteArray nameBytes = in.header.mid(kFixedPart, in.headerSize - kFixedPart - kLengthField);
    in.length = qFromBigEndian<quint64>(in.header.constData() + in.headerSize - kLengthField);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString name = utf8(nameBytes);
    if (utf8.hasError() || !isSafeName(name)) {
        ++m_refused;
        logState(QStringLiteral("refused file name \"%1\" (hex %2) from %3")
                     .arg(LogEscape::bytes(nameBytes), LogEscape::hex(nameBytes), in.peer));
        return false;
    }
    const QString logName = LogEscape::text(name);
    if (in.length > kMaxContentLength) {
        ++m_refused;
        logState(QStringLiteral("refused %1: %2 bytes is more than it takes").arg(logName).arg(in.length));
        return false;
    }
    in.name = name;
    in.file = std::make_unique<SimMediaFile>(m_mediaDir, name);
    if (!in.file->open()) {
        logState(QStringLiteral("refused %1: cannot write in %2: %3").arg(logName, m_mediaDir, in.file->errorString()));
        in.file.reset();
        ++m_refused;
        return false;
    }
    in.announced = true;
    in.received = 0;
    logState(QStringLiteral("receiving %1 (%2 bytes, type %3) for window %4 from %5")
                 .arg(logName)
                 .arg(in.length)
                 .arg(hexByte(in.type), hexByte(in.window), in.peer));
    return true;
}

void TransferFamily::finishFile(QIODevice *device)
{
    const auto it = m_incoming.find(device);
    if (it == m_incoming.end())
        return;
    Incoming &in = *it->second;
    const QString name = in.name;
    const quint8 window = in.window;
    if (!in.file->commit()) {
        closeIncoming(device, QStringLiteral("cannot store: %1").arg(in.file->errorString()), true);
        return;
    }
    m_received << name;
    if (m_received.size() > kKeptReceived)
        m_received.removeFirst();
    logState(QStringLiteral("received %1 (%2 bytes) for window %3")
                 .arg(LogEscape::text(name))
                 .arg(in.length)
                 .arg(hexByte(window)));
    // The same connection may announce another file.
    auto next = std::make_unique<Incoming>();
    next->peer = in.peer;
    next->peerAddress = in.peerAddress;
    next->lastHeard = in.lastHeard;
    it->second = std::move(next);

    const FileKey key{window, name};
    if (!m_waiting.contains(key))
        return;
    const Waiting waiting = m_waiting.take(key);
    PlayListFamily *list = server().family<PlayListFamily>();
    if (!list) {
        log(QStringLiteral("no play list family: %1 not added").arg(LogEscape::text(name)));
        return;
    }
    if (waiting.add && list->addFileBytes(window, name.toUtf8()))
        logState(QStringLiteral("added %1 to window %2").arg(LogEscape::text(name), hexByte(window)));
    if (waiting.play && list->playFile(window, name, waiting.phone))
        logState(QStringLiteral("playing %1 on window %2").arg(LogEscape::text(name), hexByte(window)));
}

void TransferFamily::closeIncoming(QIODevice *device, const QString &why, bool abort)
{
    const auto it = m_incoming.find(device);
    if (it != m_incoming.end()) {
        std::unique_ptr<Incoming> in = std::move(it->second);
        m_incoming.erase(it);
        if (in->announced) {
            in->file->cancel();
            in->file.reset();
            ++m_discarded;
            logState(QStringLiteral("discarded %1 after %2 of %3 bytes: %4")
                         .arg(LogEscape::text(in->name))
                         .arg(in->received)
                         .arg(in->length)
                         .arg(why));
            m_waiting.remove(FileKey{in->window, in->name});
        } else if (!in->header.isEmpty() && !why.isEmpty()) {
            log(QStringLiteral("file stream from %1 ended inside an announcement: %2").arg(in->peer, why));
        }
    }
    if (!abort)
        return;
    if (auto *socket = qobject_cast<QTcpSocket *>(device))
        socket->abort();
    else
        device->close();
}

// --- the commands -------------------------------------------------------------

TransferFamily::Incoming *TransferFamily::incomingFor(const QString &name)
{
    for (auto &[device, in] : m_incoming)
        if (in->announced && in->name == name)
            return in.get();
    return nullptr;
}

void TransferFamily::addToList(const SimRequest &q)
{
    SimReader r = q.reader();
    const quint8 window = r.u8("window id");
    const QString name = r.text16("file name");
    if (!r.ok())
        return malformed(q, r.error());
    const QString logName = LogEscape::text(name);
    if (Incoming *in = incomingFor(name); in && in->window == window) {
        m_waiting[FileKey{window, name}].add = true;
        log(QStringLiteral("add %1 to window %2 once it is in").arg(logName, hexByte(window)));
        return;
    }
    if (!hasReceived(name)) {
        log(QStringLiteral("add %1 to window %2: no such file").arg(logName, hexByte(window)));
        return;
    }
    PlayListFamily *list = server().family<PlayListFamily>();
    if (!list) {
        log(QStringLiteral("no play list family: %1 not added").arg(logName));
        return;
    }
    if (list->addFileBytes(window, name.toUtf8()))
        logState(QStringLiteral("added %1 to window %2").arg(logName, hexByte(window)));
}

void TransferFamily::play(const SimRequest &q)
{
    SimReader r = q.reader();
    const quint8 window = r.u8("window id");
    const QString name = r.text16("file name");
    if (!r.ok())
        return malformed(q, r.error());
    const QString logName = LogEscape::text(name);
    // The frame carries no phone address: the answer goes where it came from.
    const QHostAddress phone(q.sender.toIPv4Address());
    const FileKey key{window, name};
    if (Incoming *in = incomingFor(name); in && in->window == window) {
        m_waiting[key].play = true;
        m_waiting[key].phone = phone;
        log(QStringLiteral("play %1 on window %2 once it is in").arg(logName, hexByte(window)));
        return;
    }
    PlayListFamily *list = server().family<PlayListFamily>();
    if (list && list->playFile(window, name, phone))
        logState(QStringLiteral("playing %1 on window %2").arg(logName, hexByte(window)));
    else
        log(QStringLiteral("play %1 on window %2: not on its list").arg(logName, hexByte(window)));
}

void TransferFamily::closeTransfer(const SimRequest &q)
{
    SimReader r = q.reader();
    const quint8 type = r.u8("file type");
    const QString name = r.text16("file name");
    if (!r.ok())
        return malformed(q, r.error());
    const QString logName = LogEscape::text(name);
    const QHostAddress sender(q.sender.toIPv4Address());
    bool othersOnly = false;
    for (auto &[device, in] : m_incoming) {
        if (!in->announced || in->name != name)
            continue;
        // The name is easy to guess; only who opened the stream may stop it.
        if (in->peerAddress != sender) {
            othersOnly = true;
            continue;
        }
        QIODevice *d = device;
        closeIncoming(d, QStringLiteral("closed by the phone (type %1)").arg(hexByte(type)), true);
        return;
    }
    if (othersOnly) {
        log(QStringLiteral("close %1 from %2 ignored: the stream came from another address").arg(logName, sender.toString()));
        return;
    }
    // Nothing coming in: whatever waited for it goes.
    for (auto it = m_waiting.begin(); it != m_waiting.end();)
        it = it.key().second == name ? m_waiting.erase(it) : std::next(it);
    log(QStringLiteral("close %1: nothing coming in").arg(logName));
}

std::unique_ptr<SimFamily> makeTransferFamily()
{
    return std::make_unique<TransferFamily>();
}
