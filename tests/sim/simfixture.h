#pragma once

#include "simserver.h"
#include "support/testcontext.h"

#include <QNetworkDatagram>
#include <QProcess>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <algorithm>
#include <memory>
#include <optional>

// The simulator on 127.0.0.2, the phone on 127.0.0.1: both sides of every
// test stay on loopback.
inline QHostAddress simAddress()
{
    return QHostAddress(QStringLiteral("127.0.0.2"));
}
inline QHostAddress phoneAddress()
{
    return QHostAddress(QStringLiteral("127.0.0.1"));
}

// The phone's port: keeps every datagram that arrives, in order. Bound
// elsewhere it stands for another party on the network.
class PhoneSocket
{
public:
    explicit PhoneSocket(const QHostAddress &address = phoneAddress(), quint16 port = 0)
    {
        m_socket.bind(address, port);
        QObject::connect(&m_socket, &QUdpSocket::readyRead, &m_socket, [this] {
            while (m_socket.hasPendingDatagrams())
                m_received.append(m_socket.receiveDatagram());
        });
    }
    quint16 port() const { return m_socket.localPort(); }
    void send(const QByteArray &datagram, quint16 port, const QHostAddress &to = simAddress())
    {
        m_socket.writeDatagram(datagram, to, port);
    }
    // The next datagram not yet taken that starts with prefix; the ones
    // skipped on the way are taken too.
    std::optional<QNetworkDatagram> next(const QByteArray &prefix, int timeoutMs = 3000)
    {
        std::optional<QNetworkDatagram> found;
        waitUntil(
            [&] {
                while (m_taken < m_received.size()) {
                    const QNetworkDatagram &d = m_received.at(m_taken++);
                    if (d.data().startsWith(prefix)) {
                        found = d;
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
        return found;
    }
    qsizetype untaken() const { return m_received.size() - m_taken; }

private:
    QUdpSocket m_socket;
    QList<QNetworkDatagram> m_received;
    qsizetype m_taken = 0;
};

// A simulator on loopback with free ports that announces to and answers
// the given phone port. No periodic announcement: the one at start only.
inline SimConfig loopbackSimConfig(quint16 phonePort)
{
    SimConfig c;
    c.bindAddress = simAddress();
    c.announceAddress = phoneAddress();
    c.announcePort = phonePort;
    c.replyPort = phonePort;
    c.udpPort = freeUdpPort(simAddress());
    c.timePort = freeUdpPort(simAddress());
    for (int i = 0; i < 10 && c.timePort == c.udpPort; ++i)
        c.timePort = freeUdpPort(simAddress());
    c.tcpPort = freeTcpPort(simAddress());
    c.intervalMs = 0;
    c.logFile.clear();
    return c;
}

// The binary's options for what loopbackSimConfig() sets.
inline QStringList loopbackSimArguments(const SimConfig &c)
{
    return {QStringLiteral("--bind"), c.bindAddress.toString(),
            QStringLiteral("--announce-to"), QStringLiteral("127.0.0.1:%1").arg(c.announcePort),
            QStringLiteral("--reply-port"), QString::number(c.replyPort),
            QStringLiteral("--udp-port"), QString::number(c.udpPort),
            QStringLiteral("--tcp-port"), QString::number(c.tcpPort),
            QStringLiteral("--time-port"), QString::number(c.timePort)};
}

// Starts a child that the test stops with a signal, so without the leak
// report a sanitizer build would give at its end.
inline void startChild(QProcess &process, const QString &program, const QStringList &arguments,
                       const QString &asanOptions = QStringLiteral("detect_leaks=0"))
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ASAN_OPTIONS"), asanOptions);
    process.setProcessEnvironment(env);
    process.start(program, arguments);
}

// A login frame written from the phone's side, field by field.
inline QByteArray loginFrame(quint32 userId, const QString &userName, const QString &password,
                             const QHostAddress &phone)
{
    QByteArray f = QByteArray::fromHex("414e44015002");
    auto be = [&f](quint64 value, int bytes) {
        for (int i = bytes - 1; i >= 0; --i)
            f.append(char((value >> (8 * i)) & 0xff));
    };
    const QByteArray name = userName.toUtf8(), pw = password.toUtf8();
    be(userId, 4);
    be(quint64(name.size()), 2);
    f += name;
    be(quint64(pw.size()), 2);
    f += pw;
    be(phone.toIPv4Address(), 4);
    f += QByteArray::fromHex("00022125");
    return f;
}

inline bool hasLine(const SimServer &sim, const QString &line)
{
    return sim.logLines().contains(line);
}

inline bool waitForLine(const SimServer &sim, const QString &line, int timeoutMs = 3000)
{
    return waitUntil([&] { return hasLine(sim, line); }, timeoutMs);
}

inline bool hasLinePrefix(const SimServer &sim, const QString &prefix)
{
    const QStringList lines = sim.logLines();
    return std::any_of(lines.cbegin(), lines.cend(), [&](const QString &l) { return l.startsWith(prefix); });
}

inline bool waitForLinePrefix(const SimServer &sim, const QString &prefix, int timeoutMs = 5000)
{
    return waitUntil([&] { return hasLinePrefix(sim, prefix); }, timeoutMs);
}

// A simulator of the test's own on loopback, its media folder in a
// temporary one, on a clock the test moves (m_now).
class LoopbackSimTest : public ::testing::Test
{
protected:
    SimConfig config()
    {
        SimConfig c = loopbackSimConfig(m_phone.port());
        c.mediaDir = m_dir.filePath(QStringLiteral("media"));
        return c;
    }
    void start(const SimConfig &c)
    {
        m_config = c;
        m_sim = std::make_unique<SimServer>(c);
        ASSERT_TRUE(m_sim->start()) << m_sim->errorString().toStdString();
        m_sim->setClock([this] { return m_now; });
    }

    QTemporaryDir m_dir;
    PhoneSocket m_phone;
    SimConfig m_config;
    std::unique_ptr<SimServer> m_sim;
    qint64 m_now = 1000000;
};
