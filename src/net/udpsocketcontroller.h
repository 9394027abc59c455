#pragma once

#include "net/framesender.h"

#include <QHostAddress>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <functional>

class AppContext;
class QUdpSocket;

// Who gets what arrives on the phone's receiving port: the bytes, the
// sender's host as text and its port.
using DatagramHandler = std::function<void(const QByteArray &data, const QString &host, quint16 port)>;

// The control protocol's UDP endpoint. The server socket listens on the
// phone's port (5760) for announcements and replies; the client socket,
// made on the first send and kept for the life of the context, sends every
// request. What arrives goes to one receiver at a time; the discovery screen
// makes itself that receiver.
//
// A flood of datagrams must not freeze the client: each turn of the event
// loop hands over at most kMaxDatagramsPerPass datagrams (or kPassBudgetMs
// of work) and leaves the rest for the next turn, after the user's input
// and the timers.
class UdpSocketController : public QObject, public FrameSender
{
    Q_OBJECT
public:
    static constexpr int kMaxDatagramsPerPass = 64;
    static constexpr int kPassBudgetMs = 8;
    // Room for a burst of announcements while the client is busy; the
    // system may grant less.
    static constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;

    explicit UdpSocketController(AppContext &ctx);
    ~UdpSocketController() override;
    static UdpSocketController &shareInstance();

    // Opens a new server socket (bind, broadcast, group, receive); failures
    // are logged and leave it closed. Says whether it is receiving. A group
    // that cannot be joined (no multicast route, say) is logged with its
    // cause and leaves the socket receiving broadcast and unicast; the join
    // is tried again by retryGroupJoin().
    bool startUdpServer();
    void closeUdpServer();
    // Why the last start failed, as the system said it; empty after a start
    // that went through.
    QString startError() const { return m_startError; }
    bool isGroupJoined() const { return m_groupJoined; }
    // Why the group could not be joined; empty when it was.
    QString groupError() const { return m_groupError; }
    // Tries to join the group again when the server socket is receiving
    // without it (the network changed). Says whether it is joined now.
    bool retryGroupJoin();
    // From now on the server socket hands its datagrams to this receiver.
    void changeServerDelegate(QObject *receiver, DatagramHandler handler);

    // The client socket, opened if need be; null when it could not be.
    QUdpSocket *getUdpClient(QObject *receiver);

    // The one send the system uses: hex text to host and port. Text that is
    // not valid hex is not sent.
    QUdpSocket *sendMessage(QObject *receiver, const QString &dataString, const QString &host, quint16 port,
                            int timeoutSec, long tag);
    void sendMessage(QObject *receiver, const QString &host, const QByteArray &data, long tag);
    void sendMessage(QObject *receiver, const QByteArray &data, const QString &host, quint16 port, long tag);
    void sendGroupMessage(QObject *receiver, DatagramHandler handler, const QByteArray &data, long tag);

    // FrameSender: what the command builders call.
    void sendMessage(const QString &hexFrame, const QString &host, quint16 port, int timeoutSec, long tag) override;
    // Why the last send was not handed to the network (no route to the
    // host, say); empty when it was.
    QString lastSendError() const { return m_lastSendError; }

    // The form a datagram's hex text is logged in (the bytes read as an
    // escaped C string). Received datagrams go through it only while
    // qeva.net shows debug lines.
    QString datagramLogText(const QString &hex) const;

    QUdpSocket *udpServer() const { return m_udpServer; }
    QUdpSocket *udpClient() const { return m_udpClient; }
    bool isServerReceiving() const;
    int delegateCount() const { return m_delegateArray.size(); }

private:
    struct Receiver {
        QPointer<QObject> object;
        bool hadObject = false;
        DatagramHandler handler;
    };
    void readServer();
    void udpSocketDidReceiveData(const QByteArray &data, const QHostAddress &from, quint16 port);
    bool enableBroadcast(QUdpSocket *socket);
    bool joinGroup(QUdpSocket *socket);
    QString groupInterfaceText() const;
    bool writeDatagram(const QByteArray &data, const QString &host, quint16 port);

    AppContext &m_ctx;
    QUdpSocket *m_udpServer = nullptr;
    QUdpSocket *m_udpClient = nullptr;
    bool m_clientFailed = false;
    bool m_groupJoined = false;
    QString m_groupError;
    QString m_startError;
    QString m_lastSendError;
    QMap<long, Receiver> m_delegateArray;
    Receiver m_serverReceiver; // empty: the controller itself
};
