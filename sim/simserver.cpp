#include "simserver.h"

#include "core/logescape.h"
#include "protocol/hexcodec.h"
#include "simfamilies.h"
#include "simframe.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QNetworkProxy>
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
// A refused connection is told once per peer in this time, with a count of the others.
constexpr qint64 kRefusalPeriodMs = 10000;
// Peers counted at once before the stale counts are dropped.
constexpr int kMaxCountedPeers = 4096;
// What a kept line costs beyond its characters (string header, list slot).
constexpr qint64 kLineOverhead = 64;

quint32 v4(const QHostAddress &address)
{
    return address.toIPv4Address();
}

// Drops the counts of peers not heard from in the last period.
template <class Counts> void prune(Counts &counts, qint64 now, qint64 period)
{
    if (counts.size() < kMaxCountedPeers)
        return;
    for (auto it = counts.begin(); it != counts.end();)
        it = now - it->start >= period ? counts.erase(it) : std::next(it);
    if (counts.size() >= kMaxCountedPeers)
        counts.clear(); // a flood of senders: start counting afresh rather than grow
}

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
    m_started.start();
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
    for (const SimFamilyFactory &make : simFamilies()) {
        std::unique_ptr<SimFamily> family = make();
        if (!m_config.families.isEmpty() && !m_config.families.contains(family->name()))
            continue;
        family->m_server = this;
        m_families.push_back(std::move(family));
    }
    // By name, whatever the order of the list.
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
        m_logFileSize = m_logFile.size();
    }

    // Shared, so that a phone bound to 0.0.0.0 on the same port (it shares
    // too) and this server on a loopback address can live on one host.
    const auto share = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;
    // A server's ports are its own: no proxy is looked up for them.
    const QNetworkProxy direct(QNetworkProxy::NoProxy);
    m_control = new QUdpSocket(this);
    m_control->setProxy(direct);
    if (!m_control->bind(m_config.bindAddress, m_config.udpPort, share))
        return fail(QStringLiteral("cannot bind UDP control port %1: %2")
                        .arg(endpoint(m_config.bindAddress, m_config.udpPort), m_control->errorString()));
    m_time = new QUdpSocket(this);
    m_time->setProxy(direct);
    if (!m_time->bind(m_config.bindAddress, m_config.timePort, share))
        return fail(QStringLiteral("cannot bind UDP time port %1: %2")
                        .arg(endpoint(m_config.bindAddress, m_config.timePort), m_time->errorString()));
    m_tcp = new QTcpServer(this);
    m_tcp->setProxy(direct);
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
    for (const auto &family : m_families)
        family->serverStopping();
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
    QString error;
    if (!write(frame, m_config.announceAddress, m_config.announcePort, &error)) {
        log(QStringLiteral("announcement to %1 failed: %2")
                .arg(endpoint(m_config.announceAddress, m_config.announcePort), error));
        return;
    }
    log(QStringLiteral("send 5001 %1 %2")
            .arg(endpoint(m_config.announceAddress, m_config.announcePort), LogEscape::hex(frame)));
}

bool SimServer::addPhone(const QHostAddress &phone)
{
    if (m_phones.contains(phone))
        return false;
    if (m_phones.size() >= kMaxPhones) {
        log(QStringLiteral("phone %1 not added: %2 phones are logged in").arg(phone.toString()).arg(m_phones.size()));
        return false;
    }
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

bool SimServer::write(const QByteArray &frame, const QHostAddress &to, quint16 port, QString *error)
{
    if (m_sink)
        return m_sink(frame, to, port);
    if (m_control->writeDatagram(frame, to, port) == frame.size())
        return true;
    *error = m_control->errorString();
    return false;
}

bool SimServer::takeReplyBudget(const QString &code)
{
    if (m_requester.isNull())
        return true; // the server's own doing (announcement, end of connections, a received file)
    const qint64 now = nowMs();
    prune(m_replies, now, 1000);
    Window &w = m_replies[v4(m_requester)];
    if (now - w.start >= 1000) {
        if (w.held > 0)
            log(QStringLiteral("%1 more reply datagram(s) for %2 were held back in that second").arg(w.held).arg(m_requester.toString()));
        w = Window{now, 0, 0};
    }
    if (w.count < m_config.limits.repliesPerSecond) {
        ++w.count;
        return true;
    }
    if (w.held++ == 0)
        log(QStringLiteral("reply %1 not sent: %2 datagrams for the requests of %3 this second (at most %4)")
                .arg(code)
                .arg(w.count)
                .arg(m_requester.toString())
                .arg(m_config.limits.repliesPerSecond));
    return false;
}

bool SimServer::sendToPhone(const QHostAddress &phone, const QByteArray &frame)
{
    const QString code = frame.size() >= SimFrame::kHeaderSize ? SimFrame::codeText(SimFrame::code(frame))
                                                               : QStringLiteral("----");
    bool isV4 = false;
    const quint32 address = phone.toIPv4Address(&isV4);
    if (!m_running || !isV4 || address == 0) {
        log(QStringLiteral("reply %1 not sent: %2").arg(code, m_running ? QStringLiteral("no phone address")
                                                                        : QStringLiteral("not running")));
        return false;
    }
    if (!takeReplyBudget(code))
        return false;
    QString error;
    if (!write(frame, phone, m_config.replyPort, &error)) {
        log(QStringLiteral("reply %1 to %2 failed: %3").arg(code, endpoint(phone, m_config.replyPort), error));
        return false;
    }
    log(QStringLiteral("send %1 %2 %3").arg(code, endpoint(phone, m_config.replyPort), LogEscape::hex(frame)));
    return true;
}

QHostAddress SimServer::replyAddress(const SimRequest &request, const QHostAddress &carried)
{
    const QHostAddress sender(request.sender.toIPv4Address());
    const QString code = SimFrame::codeText(request.code);
    if (carried.toIPv4Address() == 0) {
        // A phone without a network carries 0.0.0.0; the datagram still says where it is.
        log(QStringLiteral("%1 carried 0.0.0.0, the reply goes to the sender %2").arg(code, sender.toString()));
        return sender;
    }
    if (carried.isEqual(sender, QHostAddress::TolerantConversion) || m_phones.contains(carried))
        return carried;
    log(QStringLiteral("%1 from %2 carried %3, neither its sender nor a phone that logged in: the reply goes to the sender")
            .arg(code, sender.toString(), carried.toString()));
    return sender;
}

void SimServer::log(const QString &text)
{
    QString line = LogEscape::line(text);
    if (line.size() > kMaxLineChars)
        line = line.left(kMaxLineChars) + QStringLiteral("...(%1 chars)").arg(line.size());
    const qint64 cost = qint64(line.size()) * 2 + kLineOverhead;
    m_lines.append(line);
    m_linesBytes += cost;
    const qint64 budget = std::max<qint64>(m_config.limits.memoryLogBytes, 4096);
    while (m_lines.size() > 1
           && (m_lines.size() > std::max(1, m_config.memoryLogLines) || m_linesBytes > budget)) {
        m_linesBytes -= qint64(m_lines.constFirst().size()) * 2 + kLineOverhead;
        m_lines.removeFirst();
    }
    if (m_logFile.isOpen())
        writeLogFile(line.toUtf8() + '\n');
    qCDebug(lcSim).noquote() << line;
    Q_EMIT lineLogged(line);
}

void SimServer::writeLogFile(const QByteArray &line)
{
    m_logFile.write(line);
    m_logFile.flush();
    m_logFileSize += line.size();
    // Standard output is not ours to move.
    if (m_logFileSize < m_config.limits.logFileBytes || m_config.logFile == QLatin1String("-"))
        return;
    m_logFile.close();
    const QString old = m_config.logFile + QStringLiteral(".1");
    QFile::remove(old);
    const bool moved = QFile::rename(m_config.logFile, old);
    // A log that cannot move starts over, so that it never outgrows the limit.
    m_logFile.setFileName(m_config.logFile);
    if (!m_logFile.open(QIODevice::WriteOnly | (moved ? QIODevice::Append : QIODevice::Truncate)))
        return;
    const QByteArray note = (moved ? QStringLiteral("log continued from %1\n").arg(old)
                                   : QStringLiteral("log started over: %1 could not be kept\n").arg(old))
                                .toUtf8();
    m_logFile.write(note);
    m_logFile.flush();
    m_logFileSize = note.size();
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
        receiveDatagram(port, datagram.data(), datagram.senderAddress(), quint16(datagram.senderPort()));
        if (!m_running) // a handler may stop the server
            return;
    }
}

void SimServer::receiveDatagram(SimPort port, const QByteArray &data, const QHostAddress &sender, quint16 senderPort)
{
    if (data.size() < SimFrame::kHeaderSize) {
        log(QStringLiteral("ignored %1 bytes, too short: %2").arg(data.size()).arg(LogEscape::hex(data)));
        return;
    }
    if (!SimFrame::hasSignature(data, SimFrame::kRequest)) {
        log(QStringLiteral("ignored, not a request: %1").arg(LogEscape::hex(data)));
        return;
    }
    SimRequest request;
    request.port = port;
    request.code = SimFrame::code(data);
    request.frame = data;
    request.sender = sender;
    request.senderPort = senderPort;
    log(QStringLiteral("%1 %2").arg(SimFrame::codeText(request.code), LogEscape::hex(data)));

    const auto route = m_routes.constFind(routeKey(port, request.code));
    if (route == m_routes.constEnd()) {
        log(QStringLiteral("unhandled %1 on the %2 port from %3")
                .arg(SimFrame::codeText(request.code), simPortName(port), endpoint(sender, senderPort)));
        return;
    }
    // What the handler sends counts against the sender's replies.
    const QHostAddress outer = std::exchange(m_requester, QHostAddress(sender.toIPv4Address()));
    route->handler(request);
    m_requester = outer;
}

QString SimServer::refuseTcp(const QHostAddress &peer)
{
    const SimLimits &l = m_config.limits;
    QHash<quint32, int> counts;
    for (const QTcpSocket *s : std::as_const(m_tcpSockets))
        ++counts[v4(s->peerAddress())];
    const int fromPeer = counts.value(v4(peer));
    if (fromPeer >= l.tcpPerPeer)
        return QStringLiteral("%1 connections from %2 open (at most %3)").arg(fromPeer).arg(peer.toString()).arg(l.tcpPerPeer);
    if (m_tcpSockets.size() < l.tcpConnections)
        return {};
    // Full: the peer holding the most gives up its oldest connection, so
    // that a few addresses holding everything cannot keep others out.
    quint32 busiest = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most)
            busiest = it.key(), most = it.value();
    if (most <= fromPeer + 1)
        return QStringLiteral("%1 connections open (at most %2)").arg(m_tcpSockets.size()).arg(l.tcpConnections);
    for (QTcpSocket *s : std::as_const(m_tcpSockets)) {
        if (v4(s->peerAddress()) != busiest)
            continue;
        log(QStringLiteral("tcp closing %1 to make room for %2: %3 connections from %4 open")
                .arg(endpoint(s->peerAddress(), s->peerPort()), peer.toString())
                .arg(most)
                .arg(s->peerAddress().toString()));
        s->abort(); // the disconnected handler forgets it
        break;
    }
    return {};
}

void SimServer::logRefusal(const QHostAddress &peer, quint16 port, const QString &why)
{
    ++m_refusedConnections;
    const qint64 now = nowMs();
    prune(m_tcpRefusals, now, kRefusalPeriodMs);
    Window &w = m_tcpRefusals[v4(peer)];
    if (w.count > 0 && now - w.start < kRefusalPeriodMs) {
        ++w.held;
        return;
    }
    const QString more = w.held > 0 ? QStringLiteral(" (and %1 more since the last line)").arg(w.held) : QString();
    w = Window{now, 1, 0};
    log(QStringLiteral("tcp refused %1: %2%3").arg(endpoint(peer, port), why, more));
}

void SimServer::acceptTcp()
{
    while (QTcpSocket *socket = m_tcp->nextPendingConnection()) {
        const QHostAddress peerAddress = socket->peerAddress();
        const QString why = refuseTcp(peerAddress);
        if (!why.isEmpty()) {
            // Closed at once: a flood of connections must not take the descriptors a real upload needs.
            logRefusal(peerAddress, socket->peerPort(), why);
            socket->abort();
            delete socket;
            continue;
        }
        socket->setParent(this);
        m_tcpSockets.append(socket);
        const QString peer = endpoint(peerAddress, socket->peerPort());
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
