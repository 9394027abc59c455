#include "clisession.h"

#include "core/appcontext.h"
#include "net/qvmethodlib.h"
#include "net/replyrouter.h"
#include "net/requestsender.h"
#include "net/udpsocketcontroller.h"
#include "protocol/catalogue.h"
#include "protocol/hexcodec.h"
#include "protocol/logincommands.h"
#include "session/commonmanager.h"

#include <QEventLoop>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcCli, "qeva.cli", QtInfoMsg)

namespace {
constexpr int kPollMs = 50;
}

CliSession::CliSession(AppContext &ctx, Settings settings)
    : m_ctx(ctx)
    , m_settings(std::move(settings))
{
}

CliSession::~CliSession()
{
    if (m_ctx.has<UdpSocketController>())
        m_ctx.shared<UdpSocketController>().changeServerDelegate(nullptr, {});
    m_ctx.shared<RequestSender>().setSender(nullptr);
}

bool CliSession::start()
{
    m_ctx.shared<RequestSender>().setSender(this);
    UdpSocketController &udp = m_ctx.shared<UdpSocketController>();
    if (!udp.startUdpServer()) {
        m_startError = udp.startError();
        return false;
    }
    udp.changeServerDelegate(this, [this](const QByteArray &data, const QString &host, quint16 port) {
        received(data, host, port);
    });
    return true;
}

QString CliSession::groupWarning() const
{
    if (!m_ctx.has<UdpSocketController>())
        return QString();
    const UdpSocketController &udp = const_cast<AppContext &>(m_ctx).shared<UdpSocketController>();
    if (!udp.isServerReceiving() || udp.isGroupJoined())
        return QString();
    const ContextConfig &c = m_ctx.config();
    return QStringLiteral("cannot join %1 on %2: %3 (only broadcast and unicast announcements are heard; "
                          "see --multicast-interface)")
        .arg(c.multicastGroup,
             c.multicastInterface.isEmpty() ? QStringLiteral("the system's interface") : c.multicastInterface,
             udp.groupError());
}

bool CliSession::wait(int ms, const std::function<bool()> &done)
{
    if (done && done())
        return true;
    QEventLoop loop;
    m_loop = &loop;
    m_done = done;
    m_deadline = QDeadlineTimer(ms);
    const Scheduler::TimerId timer = m_ctx.scheduler().after(ms, &loop, [&loop] { loop.quit(); });
    // Some conditions change without a datagram (a TCP stream's progress).
    const Scheduler::TimerId poll = m_ctx.scheduler().every(kPollMs, &loop, [this, &loop] {
        if ((m_done && m_done()) || m_deadline.hasExpired())
            loop.quit();
    });
    loop.exec();
    m_ctx.scheduler().cancel(timer);
    m_ctx.scheduler().cancel(poll);
    m_loop = nullptr;
    m_done = nullptr;
    m_deadline = QDeadlineTimer(QDeadlineTimer::Forever);
    return done && done();
}

const CliServer *CliSession::server(const QString &address) const
{
    const auto it = m_serverAt.constFind(address);
    return it == m_serverAt.constEnd() ? nullptr : &m_servers.at(it.value());
}

void CliSession::clearInbox(const QString &host)
{
    m_inbox.remove(host);
    m_open.insert(host);
}

void CliSession::sendMessage(const QString &hexFrame, const QString &host, quint16 port, int timeoutSec, long tag)
{
    qCInfo(lcCli).noquote() << "send" << QStringLiteral("%1:%2").arg(host).arg(port) << hexFrame.toLower();
    UdpSocketController &udp = m_ctx.shared<UdpSocketController>();
    udp.sendMessage(hexFrame, host, port, timeoutSec, tag);
    // A frame counts as handed over only when the network took it: text
    // that is not hex never reaches the wire, and a host without a route
    // fails at once.
    const QString error = udp.lastSendError();
    if (host.isEmpty())
        return;
    if (error.isEmpty()) {
        ++m_sent[host];
        m_sendErrors.remove(host);
    } else {
        m_sendErrors.insert(host, error);
    }
}

bool CliSession::wanted(const QString &host, const QString &name) const
{
    return m_settings.only.isEmpty() || host == m_settings.only || name == m_settings.only;
}

void CliSession::received(const QByteArray &data, const QString &host, quint16 port)
{
    const QString hex = ReplyRouter::replyText(data);
    qCInfo(lcCli).noquote() << "recv" << QStringLiteral("%1:%2").arg(host).arg(port) << hex;
    if (hex.startsWith(QLatin1String(Catalogue::kServerInfoReply.codeText))) {
        announcement(hex, host);
    } else if (m_open.contains(host)) {
        QStringList &box = m_inbox[host];
        if (box.size() < kInboxLimit)
            box.append(hex);
    }
    if (!m_loop)
        return;
    if (m_deadline.hasExpired() || (m_done && m_done()))
        m_loop->quit();
}

void CliSession::announcement(const QString &hex, const QString &host)
{
    const auto info = ShebeiInfoReply::read(hex);
    // As the discovery screen does: a record must hold what it says.
    if (!info || !info->hasAllWindows()) {
        qCDebug(lcCli).noquote() << "malformed server information from" << host << "ignored";
        return;
    }
    const QString name = info->displayName();
    if (!wanted(host, name))
        return;
    CliServer *s = nullptr;
    const auto at = m_serverAt.constFind(host);
    if (at != m_serverAt.constEnd()) {
        s = &m_servers[at.value()];
    } else {
        m_serverAt.insert(host, m_servers.size());
        m_servers.append(CliServer());
        s = &m_servers.last();
    }
    const bool firstSight = s->announcement.isEmpty();
    DeviceInfo &d = s->device;
    d.userName = QStringLiteral("Default");
    d.deviceName = name;
    d.devicePassword = info->passwordText();
    d.deviceWindowHex = info->windowHex;
    d.deviceWindowNum = QString::number(info->windowCount);
    d.deviceIp = host;
    d.userId = info->userId;
    d.deviceInfo2 = info->rest;
    d.deviceInfo3 = QStringLiteral("0");
    s->announcement = hex;
    s->locked = m_settings.password && *m_settings.password != d.devicePassword;
    d.deviceInfo1 = s->loginSent ? QStringLiteral("1") : QStringLiteral("0");

    if (!firstSight || !m_settings.login || s->locked)
        return;
    // The login frame carries the user id the phone keeps for this server.
    Preferences &prefs = m_ctx.preferences();
    const QString key = QStringLiteral("kUserConnectedID_%1_%2").arg(name, host);
    if (prefs.integer(key) == 0)
        prefs.setString(key, QString::number(HexCodec::getRandomNumber(100000, 999999)));

    CommonManager &session = CommonManager::sharedManager();
    const DeviceInfo previous = session.currentSelectDev;
    session.currentSelectDev = d;
    const int before = framesTo(host);
    QVmethodLib::sendXintiaoOrderWithHexString(hex, m_settings.userName, host);
    session.currentSelectDev = previous;
    s->loginSent = framesTo(host) > before;
    d.deviceInfo1 = s->loginSent ? QStringLiteral("1") : QStringLiteral("0");
}
