#include "simserver.h"

#include "protocol/hexcodec.h"
#include "simframe.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <algorithm>
#include <cstdio>

// The log itself goes to its file; the category echoes it only when asked (qeva.sim.debug=true).
Q_LOGGING_CATEGORY(lcSim, "qeva.sim", QtInfoMsg)

namespace {
// Version of our own announcement tail; the client reads nothing after the address.
constexpr quint8 kAnnouncementTail = 0x01;
// Enough to drain a burst without letting a flood hold the event loop forever.
constexpr int kMaxDatagramsPerWake = 1000;

QString endpoint(const QHostAddress &address, quint16 port)
{
    return QStringLiteral("%1:%2").arg(address.toString()).arg(port);
}
}

struct SimServer::Routes : SimRoutes
{
    Routes(SimServer &server, QString family) : m_server(server), m_family(std::move(family)) {}

    void on(SimPort port, quint16 code, SimHandler handler) override
    {
        const quint32 key = routeKey(port, code);
        const auto existing = m_server.m_routes.constFind(key);
        if (existing != m_server.m_routes.constEnd()) {
            // Two families answering one code would make replies depend on
            // link order; the first keeps it and the clash is visible.
            clash(QStringLiteral("%1 on the %2 port").arg(SimFrame::codeText(code), simPortName(port)),
                  existing->family);
            return;
        }
        m_server.m_routes.insert(key, Route{m_family, std::move(handler)});
    }

    void onTcpConnection(SimTcpHandler handler) override
    {
        // Two readers of one stream would each get part of it.
        if (m_server.m_tcpHandler)
            return clash(QStringLiteral("the file stream"), m_server.m_tcpFamily);
        m_server.m_tcpHandler = std::move(handler);
        m_server.m_tcpFamily = m_family;
    }

    void clash(const QString &what, const QString &owner)
    {
        const QString line =
            QStringLiteral("duplicate handler for %1 from %2 ignored: %3 has it").arg(what, m_family, owner);
        m_server.log(line);
        qCWarning(lcSim).noquote() << line;
    }

    SimServer &m_server;
    QString m_family;
};

SimServer::SimServer(SimConfig config, QObject *parent)
    : QObject(parent), m_config(std::move(config)), m_windows(m_config.windows)
{
    connect(&m_announceTimer, &QTimer::timeout, this, &SimServer::announceNow);
    m_endTimer.setSingleShot(true);
    connect(&m_endTimer, &QTimer::timeout, this, &SimServer::endConnections);
}

SimServer::~SimServer()
{
    stop();
}

void SimServer::addFamily(std::unique_ptr<SimFamily> family)
{
    family->m_server = this;
    m_families.push_back(std::move(family));
    if (m_familiesInstalled) {
        Routes routes(*this, m_families.back()->name());
        m_families.back()->install(routes);
    }
}

void SimServer::installFamilies()
{
    if (m_familiesInstalled)
        return;
    for (const SimFamilyFactory &make : SimFamilyRegistrar::factories()) {
        std::unique_ptr<SimFamily> family = make();
        if (!m_config.families.isEmpty() && !m_config.families.contains(family->name()))
            continue;
        family->m_server = this;
        m_families.push_back(std::move(family));
    }
    // Registration order follows link order; by name it is the same every run.
    std::stable_sort(m_families.begin(), m_families.end(),
                     [](const auto &a, const auto &b) { return a->name() < b->name(); });
    for (const auto &family : m_families) {
        Routes routes(*this, family->name());
        family->install(routes);
    }
    m_familiesInstalled = true;
}

bool SimServer::fail(const QString &message)
{
    stop();
    m_error = message;
    qCWarning(lcSim).noquote() << message;
    return false;
}

bool SimServer::start()
{
    if (m_running)
        return true;
    m_error.clear();

    if (m_config.logFile == QLatin1String("-")) {
        if (!m_logFile.open(stdout, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
            return fail(QStringLiteral("cannot write the log to standard output"));
    } else if (!m_config.logFile.isEmpty()) {
        m_logFile.setFileName(m_config.logFile);
        if (!m_logFile.open(QIODevice::WriteOnly | QIODevice::Append))
            return fail(QStringLiteral("cannot open log file %1: %2").arg(m_config.logFile, m_logFile.errorString()));
    }

    // Shared, so that a phone bound to 0.0.0.0 on the same port (it shares
    // too) and this server on a loopback address can live on one host.
    const auto share = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;
    m_control = new QUdpSocket(this);
    if (!m_control->bind(m_config.bindAddress, m_config.udpPort, share))
        return fail(QStringLiteral("cannot bind UDP control port %1: %2")
                        .arg(endpoint(m_config.bindAddress, m_config.udpPort), m_control->errorString()));
    m_time = new QUdpSocket(this);
    if (!m_time->bind(m_config.bindAddress, m_config.timePort, share))
        return fail(QStringLiteral("cannot bind UDP time port %1: %2")
                        .arg(endpoint(m_config.bindAddress, m_config.timePort), m_time->errorString()));
    m_tcp = new QTcpServer(this);
    if (!m_tcp->listen(m_config.bindAddress, m_config.tcpPort))
        return fail(QStringLiteral("cannot listen on TCP file port %1: %2")
                        .arg(endpoint(m_config.bindAddress, m_config.tcpPort), m_tcp->errorString()));

    if (m_config.announceAddress.isMulticast()) {
        m_control->setSocketOption(QAbstractSocket::MulticastTtlOption, 1);
        m_control->setSocketOption(QAbstractSocket::MulticastLoopbackOption, 1);
        if (!m_config.multicastInterface.isEmpty()) {
            const std::optional<QNetworkInterface> iface = findSimInterface(m_config.multicastInterface);
            if (!iface)
                return fail(QStringLiteral("no network interface %1").arg(m_config.multicastInterface));
            m_control->setMulticastInterface(*iface);
        }
    }

    connect(m_control, &QUdpSocket::readyRead, this, [this] { readDatagrams(m_control, SimPort::Control); });
    connect(m_time, &QUdpSocket::readyRead, this, [this] { readDatagrams(m_time, SimPort::Time); });
    connect(m_tcp, &QTcpServer::newConnection, this, &SimServer::acceptTcp);

    m_ownAddress = findOwnAddress();
    installFamilies();
    m_running = true;
    log(QStringLiteral("started %1 \"%2\" at %3 (udp %4, tcp %5, time %6), announcing to %7 every %8 ms")
            .arg(QStringLiteral("%1").arg(m_config.identifier, 8, 16, QLatin1Char('0')), m_config.name,
                 m_ownAddress.toString())
            .arg(udpPort())
            .arg(tcpPort())
            .arg(timePort())
            .arg(endpoint(m_config.announceAddress, m_config.announcePort))
            .arg(m_config.intervalMs));

    announceNow();
    if (m_config.intervalMs > 0)
        m_announceTimer.start(m_config.intervalMs);
    if (m_config.endAfterMs >= 0)
        m_endTimer.start(m_config.endAfterMs);
    return true;
}

void SimServer::stop()
{
    m_announceTimer.stop();
    m_endTimer.stop();
    for (QTcpSocket *socket : std::as_const(m_tcpSockets)) {
        // Nothing may call back into us while the sockets go.
        socket->disconnect();
        socket->abort();
        delete socket;
    }
    m_tcpSockets.clear();
    delete m_tcp;
    m_tcp = nullptr;
    delete m_control;
    m_control = nullptr;
    delete m_time;
    m_time = nullptr;
    if (m_running)
        log(QStringLiteral("stopped"));
    m_running = false;
    m_logFile.close();
}

quint16 SimServer::udpPort() const
{
    return m_control ? m_control->localPort() : 0;
}

quint16 SimServer::timePort() const
{
    return m_time ? m_time->localPort() : 0;
}

quint16 SimServer::tcpPort() const
{
    return m_tcp ? m_tcp->serverPort() : 0;
}

QHostAddress SimServer::findOwnAddress() const
{
    const QHostAddress &bind = m_config.bindAddress;
    if (bind != QHostAddress(QHostAddress::AnyIPv4) && bind != QHostAddress(QHostAddress::Any))
        return bind;
    for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces()) {
        const auto flags = iface.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning) ||
            (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &entry : iface.addressEntries())
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol && !entry.ip().isLoopback())
                return entry.ip();
    }
    return QHostAddress(QHostAddress::LocalHost);
}

void SimServer::setWindows(const QList<SimWindow> &windows)
{
    m_windows = windows;
}

QByteArray SimServer::announcement() const
{
    SimFrameWriter w(0x5001);
    w.u32(m_config.identifier).text16(m_config.name).text16(m_config.password);
    // The count is one byte; more windows than it can say are not announced.
    const qsizetype count = std::min<qsizetype>(m_windows.size(), 255);
    w.u8(quint8(count));
    for (qsizetype i = 0; i < count; ++i)
        w.u8(m_windows[i].id).u8(m_windows[i].playMode).u16(m_windows[i].reserved);
    w.ipv4(m_ownAddress).u8(kAnnouncementTail);
    return w.frame();
}

void SimServer::announceNow()
{
    if (!m_running)
        return;
    const QByteArray frame = announcement();
    if (m_control->writeDatagram(frame, m_config.announceAddress, m_config.announcePort) != frame.size()) {
        log(QStringLiteral("announcement to %1 failed: %2")
                .arg(endpoint(m_config.announceAddress, m_config.announcePort), m_control->errorString()));
        return;
    }
    log(QStringLiteral("send 5001 %1 %2")
            .arg(endpoint(m_config.announceAddress, m_config.announcePort), HexCodec::hexString(frame)));
}

bool SimServer::addPhone(const QHostAddress &phone)
{
    if (m_phones.contains(phone))
        return false;
    m_phones.append(phone);
    return true;
}

void SimServer::endConnections()
{
    const QList<QHostAddress> phones = std::exchange(m_phones, {});
    log(QStringLiteral("ending the connection of %1 phone(s)").arg(phones.size()));
    const QByteArray frame = SimFrameWriter(0x5003).frame();
    for (const QHostAddress &phone : phones)
        sendToPhone(phone, frame);
}

bool SimServer::sendToPhone(const QHostAddress &phone, const QByteArray &frame)
{
    const QString code = frame.size() >= SimFrame::kHeaderSize ? SimFrame::codeText(SimFrame::code(frame))
                                                               : QStringLiteral("----");
    bool isV4 = false;
    const quint32 v4 = phone.toIPv4Address(&isV4);
    if (!m_running || !isV4 || v4 == 0) {
        log(QStringLiteral("reply %1 not sent: %2").arg(code, m_running ? QStringLiteral("no phone address")
                                                                        : QStringLiteral("not running")));
        return false;
    }
    if (m_control->writeDatagram(frame, phone, m_config.replyPort) != frame.size()) {
        log(QStringLiteral("reply %1 to %2 failed: %3")
                .arg(code, endpoint(phone, m_config.replyPort), m_control->errorString()));
        return false;
    }
    log(QStringLiteral("send %1 %2 %3").arg(code, endpoint(phone, m_config.replyPort), HexCodec::hexString(frame)));
    return true;
}

void SimServer::log(const QString &line)
{
    m_lines.append(line);
    while (m_lines.size() > std::max(1, m_config.memoryLogLines))
        m_lines.removeFirst();
    if (m_logFile.isOpen()) {
        m_logFile.write(line.toUtf8() + '\n');
        m_logFile.flush();
    }
    qCDebug(lcSim).noquote() << line;
    Q_EMIT lineLogged(line);
}

SimFamily *SimServer::family(const QString &name) const
{
    for (const auto &f : m_families)
        if (f->name() == name)
            return f.get();
    return nullptr;
}

void SimServer::readDatagrams(QUdpSocket *socket, SimPort port)
{
    for (int i = 0; i < kMaxDatagramsPerWake && socket->hasPendingDatagrams(); ++i) {
        const QNetworkDatagram datagram = socket->receiveDatagram();
        if (!datagram.isValid())
            break;
        handleDatagram(port, datagram.data(), datagram.senderAddress(), quint16(datagram.senderPort()));
        if (!m_running) // a handler may stop the server
            return;
    }
}

void SimServer::handleDatagram(SimPort port, const QByteArray &data, const QHostAddress &sender, quint16 senderPort)
{
    const QString hex = HexCodec::hexString(data);
    if (data.size() < SimFrame::kHeaderSize) {
        log(QStringLiteral("ignored %1 bytes, too short: %2").arg(data.size()).arg(hex));
        return;
    }
    if (!SimFrame::hasSignature(data, SimFrame::kRequest)) {
        log(QStringLiteral("ignored, not a request: %1").arg(hex));
        return;
    }
    SimRequest request;
    request.port = port;
    request.code = SimFrame::code(data);
    request.frame = data;
    request.sender = sender;
    request.senderPort = senderPort;
    log(QStringLiteral("%1 %2").arg(SimFrame::codeText(request.code), hex));

    const auto route = m_routes.constFind(routeKey(port, request.code));
    if (route == m_routes.constEnd()) {
        log(QStringLiteral("unhandled %1 on the %2 port from %3")
                .arg(SimFrame::codeText(request.code), simPortName(port), endpoint(sender, senderPort)));
        return;
    }
    route->handler(request);
}

void SimServer::acceptTcp()
{
    while (QTcpSocket *socket = m_tcp->nextPendingConnection()) {
        socket->setParent(this);
        m_tcpSockets.append(socket);
        const QString peer = endpoint(socket->peerAddress(), socket->peerPort());
        log(QStringLiteral("tcp connected %1").arg(peer));
        connect(socket, &QTcpSocket::disconnected, this, [this, socket, peer] {
            log(QStringLiteral("tcp closed %1").arg(peer));
            m_tcpSockets.removeOne(socket);
            socket->deleteLater();
        });
        if (!m_tcpHandler) {
            // Nobody reads the file stream yet: count and drop, so it cannot pile up.
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, peer] {
                const qint64 n = socket->readAll().size();
                log(QStringLiteral("tcp %1 bytes from %2 dropped (no reader)").arg(n).arg(peer));
            });
        } else {
            m_tcpHandler(socket);
        }
    }
}
