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
class UdpSocketController : public QObject, public FrameSender
{
    Q_OBJECT
public:
    explicit UdpSocketController(AppContext &ctx);
    ~UdpSocketController() override;
    static UdpSocketController &shareInstance();

    // Opens a new server socket (bind, broadcast, group, receive); failures
    // are logged and leave it closed. Says whether it is receiving.
    bool startUdpServer();
    void closeUdpServer();
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

    // The log form of a datagram's hex text.
    QString stringFromHexString(const QString &hex) const;

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
    void writeDatagram(const QByteArray &data, const QString &host, quint16 port);

    AppContext &m_ctx;
    QUdpSocket *m_udpServer = nullptr;
    QUdpSocket *m_udpClient = nullptr;
    bool m_clientFailed = false;
    QMap<long, Receiver> m_delegateArray;
    Receiver m_serverReceiver; // empty: the controller itself
};
