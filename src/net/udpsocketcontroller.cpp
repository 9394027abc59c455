#include "net/udpsocketcontroller.h"

#include "core/appcontext.h"
#include "core/logescape.h"
#include "core/logging.h"
#include "protocol/hexcodec.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {
constexpr long kReceiverTag = 1;

QString hostText(const QHostAddress &address)
{
    // A dual-stack socket reports IPv4 senders as ::ffff:a.b.c.d.
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : address.toString();
}
}

UdpSocketController::UdpSocketController(AppContext &ctx)
    : m_ctx(ctx)
{
}

UdpSocketController::~UdpSocketController()
{
    delete m_udpServer;
    delete m_udpClient;
}

UdpSocketController &UdpSocketController::shareInstance()
{
    return AppContext::current()->shared<UdpSocketController>();
}

bool UdpSocketController::enableBroadcast(QUdpSocket *socket)
{
    const int on = 1;
    const qintptr fd = socket->socketDescriptor();
    return fd >= 0 && ::setsockopt(int(fd), SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0;
}

QString UdpSocketController::groupInterfaceText() const
{
    const QString iface = m_ctx.config().multicastInterface;
    return iface.isEmpty() ? QStringLiteral("the system's interface") : iface;
}

bool UdpSocketController::joinGroup(QUdpSocket *socket)
{
    // Joined by hand rather than through Qt, so that the log can say the
    // system's own reason (no multicast route, no such interface, ...).
    const ContextConfig &cfg = m_ctx.config();
    struct ip_mreqn request;
    std::memset(&request, 0, sizeof request);
    if (inet_pton(AF_INET, cfg.multicastGroup.toLatin1().constData(), &request.imr_multiaddr) != 1) {
        m_groupError = QStringLiteral("%1 is not an IPv4 group").arg(cfg.multicastGroup);
        return false;
    }
    if (!cfg.multicastInterface.isEmpty()) {
        const QHostAddress address(cfg.multicastInterface);
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
            request.imr_address.s_addr = htonl(address.toIPv4Address());
        } else {
            request.imr_ifindex = int(if_nametoindex(cfg.multicastInterface.toLocal8Bit().constData()));
            if (request.imr_ifindex == 0) {
                m_groupError = QStringLiteral("there is no interface called %1").arg(cfg.multicastInterface);
                return false;
            }
        }
    }
    const qintptr fd = socket->socketDescriptor();
    if (fd < 0 || ::setsockopt(int(fd), IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof request) != 0) {
        m_groupError = QString::fromLocal8Bit(std::strerror(fd < 0 ? EBADF : errno));
        return false;
    }
    m_groupError.clear();
    return true;
}

bool UdpSocketController::startUdpServer()
{
    // A new socket replaces the old one, which closes with it.
    delete m_udpServer;
    m_udpServer = new QUdpSocket(this);
    m_delegateArray.clear();
    m_serverReceiver = Receiver();
    m_groupJoined = false;
    m_groupError.clear();
    const ContextConfig &cfg = m_ctx.config();

    if (!m_udpServer->bind(cfg.bindAddress, cfg.localPort, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        m_startError = m_udpServer->errorString();
        qevaLog(lcNet, QStringLiteral("Error starting server (bind): %1").arg(m_startError));
        return false;
    }
    if (!enableBroadcast(m_udpServer)) {
        m_startError = QString::fromLocal8Bit(std::strerror(errno));
        qevaLog(lcNet, QStringLiteral("Error enableBroadcast (bind): %1").arg(m_startError));
        return false;
    }
    const int bufferBytes = kReceiveBufferBytes;
    ::setsockopt(int(m_udpServer->socketDescriptor()), SOL_SOCKET, SO_RCVBUF, &bufferBytes, sizeof bufferBytes);
    // Without the group the socket still hears broadcast and unicast, which
    // is how most servers reach it on a network without multicast routing.
    m_groupJoined = joinGroup(m_udpServer);
    if (!m_groupJoined)
        qevaLog(lcNet, QStringLiteral("cannot join %1 on %2: %3: use --multicast-interface; listening for broadcast "
                                      "and unicast only")
                           .arg(cfg.multicastGroup, groupInterfaceText(), m_groupError));
    if (m_udpServer->state() != QAbstractSocket::BoundState) {
        m_startError = m_udpServer->errorString();
        m_udpServer->close();
        qevaLog(lcNet, QStringLiteral("Error starting server (recv): %1").arg(m_startError));
        return false;
    }
    m_startError.clear();
    connect(m_udpServer, &QUdpSocket::readyRead, this, &UdpSocketController::readServer);
    qevaLog(lcNet, QStringLiteral("udp servers success starting %1").arg(m_udpServer->localPort()));
    return true;
}

bool UdpSocketController::retryGroupJoin()
{
    if (m_groupJoined || !isServerReceiving())
        return m_groupJoined;
    const QString before = m_groupError;
    m_groupJoined = joinGroup(m_udpServer);
    const ContextConfig &cfg = m_ctx.config();
    if (m_groupJoined)
        qevaLog(lcNet, QStringLiteral("joined %1 on %2").arg(cfg.multicastGroup, groupInterfaceText()));
    else if (m_groupError != before) // the same reason again is not news
        qevaLog(lcNet, QStringLiteral("cannot join %1 on %2: %3: use --multicast-interface")
                           .arg(cfg.multicastGroup, groupInterfaceText(), m_groupError));
    return m_groupJoined;
}

void UdpSocketController::closeUdpServer()
{
    if (m_udpServer)
        m_udpServer->close();
    m_groupJoined = false;
}

bool UdpSocketController::isServerReceiving() const
{
    return m_udpServer && m_udpServer->state() == QAbstractSocket::BoundState;
}

void UdpSocketController::changeServerDelegate(QObject *receiver, DatagramHandler handler)
{
    m_serverReceiver = Receiver{QPointer<QObject>(receiver), receiver != nullptr, std::move(handler)};
}

QUdpSocket *UdpSocketController::getUdpClient(QObject *)
{
    // The receiver is kept only for form: nothing the client socket receives
    // is used, replies come to the server socket.
    if (!m_udpClient) {
        m_udpClient = new QUdpSocket(this);
        if (!m_udpClient->bind(m_ctx.config().bindAddress, 0)) {
            qevaLog(lcNet, QStringLiteral("Error starting (recv): %1").arg(m_udpClient->errorString()));
            m_clientFailed = true;
        } else if (!enableBroadcast(m_udpClient)) {
            qevaLog(lcNet, QStringLiteral("Error enableBroadcast (bind): %1").arg(QString::fromLocal8Bit(strerror(errno))));
            m_clientFailed = true;
        } else {
            connect(m_udpClient, &QUdpSocket::readyRead, this, [this] {
                while (m_udpClient->hasPendingDatagrams())
                    m_udpClient->receiveDatagram(); // dropped
            });
        }
    }
    return m_clientFailed ? nullptr : m_udpClient;
}

bool UdpSocketController::writeDatagram(const QByteArray &data, const QString &host, quint16 port)
{
    m_lastSendError.clear();
    if (data.isEmpty())
        return false;
    QUdpSocket *client = getUdpClient(this);
    if (!client) {
        m_lastSendError = QStringLiteral("the sending socket could not be opened");
        return false;
    }
    const QHostAddress address(host);
    if (address.isNull()) {
        // No server selected yet: the frame has no destination. Before the
        // first login this happens for every announcement.
        m_lastSendError = QStringLiteral("no destination");
        qevaDebug(lcNet, QStringLiteral("no destination for frame to \"%1\"").arg(host));
        return false;
    }
    bool sent;
    if (address.protocol() == QAbstractSocket::IPv4Protocol
        && client->localAddress().protocol() == QAbstractSocket::IPv4Protocol) {
        // Sent by hand so that a failure keeps the system's reason (no route
        // to the host, say), which Qt reports as "unable to send".
        struct sockaddr_in to;
        std::memset(&to, 0, sizeof to);
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(address.toIPv4Address());
        ssize_t n;
        do {
            n = ::sendto(int(client->socketDescriptor()), data.constData(), size_t(data.size()), 0,
                         reinterpret_cast<const struct sockaddr *>(&to), sizeof to);
        } while (n < 0 && errno == EINTR);
        sent = n >= 0;
        if (!sent)
            m_lastSendError = QString::fromLocal8Bit(std::strerror(errno));
    } else {
        sent = client->writeDatagram(data, address, port) >= 0;
        if (!sent)
            m_lastSendError = client->errorString();
    }
    if (!sent)
        qevaLog(lcNet, QStringLiteral("send to %1:%2 failed: %3").arg(host).arg(port).arg(m_lastSendError));
    return sent;
}

QUdpSocket *UdpSocketController::sendMessage(QObject *receiver, const QString &dataString, const QString &host,
                                             quint16 port, int timeoutSec, long tag)
{
    Q_UNUSED(timeoutSec) // a datagram is handed over at once; there is nothing to time out
    Q_UNUSED(tag)
    const auto bytes = HexCodec::hexStringToByteToNSData(dataString);
    QUdpSocket *client = getUdpClient(receiver);
    if (bytes)
        writeDatagram(*bytes, host, port);
    else
        m_lastSendError = QStringLiteral("not hex");
    return client;
}

void UdpSocketController::sendMessage(QObject *receiver, const QString &host, const QByteArray &data, long)
{
    qevaLog(lcNet, QStringLiteral("now send the nomarl message to host %1  at port %2").arg(host).arg(m_ctx.config().serverPort));
    getUdpClient(receiver);
    writeDatagram(data, host, m_ctx.config().serverPort);
}

void UdpSocketController::sendMessage(QObject *receiver, const QByteArray &data, const QString &host, quint16 port, long)
{
    getUdpClient(receiver);
    writeDatagram(data, host, port);
}

void UdpSocketController::sendGroupMessage(QObject *receiver, DatagramHandler handler, const QByteArray &data, long tag)
{
    m_delegateArray.insert(tag, Receiver{QPointer<QObject>(receiver), receiver != nullptr, std::move(handler)});
    const ContextConfig &cfg = m_ctx.config();
    qevaLog(lcNet, QStringLiteral(" curent group client is :%1---%2----%3")
                       .arg(m_udpServer ? QStringLiteral("QUdpSocket(%1)").arg(m_udpServer->localPort()) : QStringLiteral("(null)"))
                       .arg(cfg.multicastGroup)
                       .arg(cfg.localPort));
    if (!m_udpServer || data.isEmpty())
        return;
    m_udpServer->writeDatagram(data, QHostAddress(cfg.multicastGroup), cfg.localPort);
}

void UdpSocketController::sendMessage(const QString &hexFrame, const QString &host, quint16 port, int timeoutSec, long tag)
{
    sendMessage(this, hexFrame, host, port, timeoutSec, tag);
}

void UdpSocketController::readServer()
{
    // The socket may be replaced from inside a receiver (a restart); hold it.
    QPointer<QUdpSocket> socket(m_udpServer);
    QElapsedTimer pass;
    pass.start();
    for (int handled = 0; socket && socket->hasPendingDatagrams(); ++handled) {
        // What is left is read on the next turn of the event loop: reading a
        // datagram re-arms the socket's notifier, which fires again while
        // anything is pending.
        if (handled >= kMaxDatagramsPerPass || pass.elapsed() >= kPassBudgetMs)
            return;
        const QNetworkDatagram d = socket->receiveDatagram();
        if (!d.isValid())
            break;
        if (m_serverReceiver.hadObject) {
            if (m_serverReceiver.object && m_serverReceiver.handler) {
                DatagramHandler h = m_serverReceiver.handler;
                h(d.data(), hostText(d.senderAddress()), quint16(d.senderPort()));
            }
            continue;
        }
        udpSocketDidReceiveData(d.data(), d.senderAddress(), quint16(d.senderPort()));
    }
}

void UdpSocketController::udpSocketDidReceiveData(const QByteArray &data, const QHostAddress &from, quint16 port)
{
    // Decoding every datagram costs; only a reader of qeva.net debug lines sees it.
    if (lcNet().isDebugEnabled()) {
        const QString text = datagramLogText(HexCodec::NSDataToByteTohex(data));
        qevaDebug(lcNet, QStringLiteral("result = %1").arg(LogEscape::text(text)));
    }
    auto it = m_delegateArray.find(kReceiverTag);
    if (it == m_delegateArray.end() || (it->hadObject && !it->object) || !it->handler)
        return; // nobody listens: dropped
    DatagramHandler h = it->handler;
    h(data, hostText(from), port);
}

QString UdpSocketController::datagramLogText(const QString &hex) const
{
    // The bytes read as an ASCII C string.
    QByteArray bytes;
    for (qsizetype i = 0; i + 1 < hex.size(); i += 2) {
        bool ok = false;
        const int b = hex.mid(i, 2).toInt(&ok, 16);
        if (!ok || b == 0)
            break;
        bytes.append(char(b));
    }
    QString text = QString::fromLatin1(bytes);
    text.replace(QLatin1String("\\u"), QLatin1String("\\U"));
    // Resolve escapes as a quoted string literal would.
    QString out;
    bool failed = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (++i >= text.size()) {
            failed = true;
            break;
        }
        const QChar e = text.at(i);
        switch (e.unicode()) {
        case 'n': out += QLatin1Char('\n'); break;
        case 't': out += QLatin1Char('\t'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case 'a': out += QChar(7); break;
        case 'b': out += QChar(8); break;
        case 'f': out += QChar(12); break;
        case 'v': out += QChar(11); break;
        case 'U': {
            int value = 0, n = 0;
            while (n < 4 && i + 1 < text.size() && isxdigit(text.at(i + 1).toLatin1())) {
                value = value * 16 + QString(text.at(++i)).toInt(nullptr, 16);
                ++n;
            }
            out += QChar(char16_t(value));
            break;
        }
        default:
            if (e >= QLatin1Char('0') && e <= QLatin1Char('7')) {
                int value = e.unicode() - '0', n = 1;
                while (n < 3 && i + 1 < text.size() && text.at(i + 1) >= QLatin1Char('0') && text.at(i + 1) <= QLatin1Char('7')) {
                    value = value * 8 + (text.at(++i).unicode() - '0');
                    ++n;
                }
                out += QChar(char16_t(value & 0xff));
            } else {
                out += e; // \" \\ and any other escaped character stand for themselves
            }
        }
    }
    const QString result = failed ? QStringLiteral("(null)") : out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    qevaDebug(lcNet, QStringLiteral("-------string----%1").arg(LogEscape::text(result)));
    return result;
}
