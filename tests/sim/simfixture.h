#pragma once

#include "simserver.h"
#include "support/testcontext.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
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
