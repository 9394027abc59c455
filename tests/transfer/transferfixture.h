#pragma once

#include "core/appcontext.h"
#include "net/sendsocket.h"
#include "screens/transfer/playfilesviewcontroller.h"
#include "support/testcontext.h"
#include "ui/ktbasenavigationcontroller.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPainter>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QVariant>
#include <arpa/inet.h>
#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

// The sending screen on a stack of its own, as the function menu opens it;
// the stack owns it.
inline PlayFilesViewController *openSendingScreen(std::unique_ptr<KTBaseNavigationController> &nav)
{
    nav = std::make_unique<KTBaseNavigationController>(new KTBaseViewController);
    auto *screen = new PlayFilesViewController;
    nav->push(screen);
    return screen;
}

// Every notice of the file stream, in order.
struct StreamNotices
{
    explicit StreamNotices(AppContext &ctx)
    {
        ctx.notices().subscribe(&owner, QLatin1String(SendSocket::kFilesLengthNotice),
                                [this](const QVariant &o) { lengths.append(o.toMap()); });
        ctx.notices().subscribe(&owner, QLatin1String(SendSocket::kFilesDoneNotice),
                                [this](const QVariant &) { ++done; });
        ctx.notices().subscribe(&owner, QLatin1String(SendSocket::kFilesFailedNotice), [this](const QVariant &o) {
            failures << o.toMap().value(QStringLiteral("message")).toString();
        });
    }
    qint64 reported() const
    {
        qint64 n = 0;
        for (qint64 l : partialLengths())
            n += l;
        return n;
    }
    QList<qint64> partialLengths() const
    {
        QList<qint64> out;
        for (const QVariantMap &m : lengths)
            out << m.value(QStringLiteral("partialLength")).toLongLong();
        return out;
    }
    QObject owner;
    QList<QVariantMap> lengths;
    int done = 0;
    QStringList failures;
};

// A file port on loopback that keeps what each connection brought.
class StreamReceiver
{
public:
    explicit StreamReceiver(const QHostAddress &address = QHostAddress(QStringLiteral("127.0.0.1")))
    {
        m_server.listen(address, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                const int index = int(m_received.size());
                m_received.append(QByteArray());
                m_sockets.append(s);
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, index] { m_received[index] += s->readAll(); });
            }
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    int connections() const { return int(m_received.size()); }
    QByteArray received(int connection) const { return m_received.value(connection); }
    qint64 total() const
    {
        qint64 n = 0;
        for (const QByteArray &b : m_received)
            n += b.size();
        return n;
    }

private:
    QTcpServer m_server;
    QList<QByteArray> m_received;
    QList<QPointer<QTcpSocket>> m_sockets;
};

// A file port on loopback served by a thread of its own, so that it keeps
// up with the client's main thread. It discards what it reads, counting it
// per connection and noting the bytes found at chosen stream offsets: that
// way gigabytes pass without being stored. While paused it reads nothing,
// and with its small receive buffer the sender soon has to wait.
class ThreadedReceiver
{
public:
    explicit ThreadedReceiver(std::vector<qint64> watchOffsets = {}, bool smallBuffer = false)
        : m_watch(std::move(watchOffsets))
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (smallBuffer) {
            const int size = 64 * 1024;
            ::setsockopt(m_listener, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
        }
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (::bind(m_listener, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0 && ::listen(m_listener, 4) == 0
            && ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&addr), &len) == 0)
            m_port = ntohs(addr.sin_port);
        m_thread = std::thread([this] { run(); });
    }
    ~ThreadedReceiver()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_listener);
    }
    quint16 port() const { return m_port; }
    void setPaused(bool paused) { m_paused = paused; }
    void setWatchOffsets(std::vector<qint64> offsets)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_watch = std::move(offsets);
    }
    int connections() const { return m_connections; }
    // Bytes read on the connection (0 first) and whether it has ended.
    qint64 received(int connection) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return connection < int(m_received.size()) ? m_received[size_t(connection)] : 0;
    }
    bool ended(int connection) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return connection < int(m_ended.size()) && m_ended[size_t(connection)];
    }
    // The byte seen at a watched offset of a connection's stream.
    std::optional<char> byteAt(int connection, qint64 offset) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_seen.find({connection, offset});
        return it == m_seen.end() ? std::nullopt : std::optional<char>(it->second);
    }

private:
    void run()
    {
        std::vector<char> buffer(1 << 20);
        int fd = -1;
        int connection = -1;
        qint64 offset = 0;
        // Ends with the test: the destructor sets m_stop.
        while (!m_stop) {
            pollfd p{fd >= 0 ? fd : m_listener, POLLIN, 0};
            if (m_paused && fd >= 0) {
                ::poll(nullptr, 0, 5);
                continue;
            }
            if (::poll(&p, 1, 20) <= 0)
                continue;
            if (fd < 0) {
                fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
                if (fd >= 0) {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    connection = int(m_received.size());
                    m_received.push_back(0);
                    m_ended.push_back(false);
                    offset = 0;
                    ++m_connections;
                }
                continue;
            }
            const ssize_t n = ::recv(fd, buffer.data(), buffer.size(), 0);
            std::lock_guard<std::mutex> lock(m_mutex);
            if (n <= 0) {
                m_ended[size_t(connection)] = true;
                ::close(fd);
                fd = -1;
                continue;
            }
            for (qint64 w : m_watch)
                if (w >= offset && w < offset + n)
                    m_seen[{connection, w}] = buffer[size_t(w - offset)];
            offset += n;
            m_received[size_t(connection)] = offset;
        }
        if (fd >= 0)
            ::close(fd);
    }

    int m_listener = -1;
    quint16 m_port = 0;
    std::vector<qint64> m_watch;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_paused{false};
    std::atomic<int> m_connections{0};
    mutable std::mutex m_mutex;
    std::vector<qint64> m_received;
    std::vector<bool> m_ended;
    std::map<std::pair<int, qint64>, char> m_seen;
    std::thread m_thread;
};

// A file of the given size that takes no room on disk: zeros, except the
// marks written at their offsets.
inline bool makeSparseFile(const QString &path, qint64 size, const std::map<qint64, char> &marks = {})
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || !f.resize(size))
        return false;
    for (const auto &[offset, byte] : marks)
        if (!f.seek(offset) || f.write(&byte, 1) != 1)
            return false;
    return true;
}

// Bytes that show where a piece went missing or moved: no two 8-byte
// words alike, written a word at a time so that 50 MB stay quick.
inline QByteArray patternBytes(qsizetype size, quint32 seed = 1)
{
    QByteArray b(size, Qt::Uninitialized);
    quint64 x = 0x9e3779b97f4a7c15ull * (seed + 1);
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        memcpy(b.data() + i, &x, 8);
    }
    for (; i < size; ++i)
        b[i] = char(x >> (8 * (i % 8)));
    return b;
}

// A picture whose left half is red and right half blue: where the halves
// end up tells how it was turned, even through JPEG.
inline QImage halvesPicture(int width = 64, int height = 32)
{
    QImage img(width, height, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(0, 0, width / 2, height, Qt::red);
    p.fillRect(width / 2, 0, width - width / 2, height, Qt::blue);
    return img;
}

inline bool near(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 && qAbs(a.blue() - b.blue()) < 40;
}
