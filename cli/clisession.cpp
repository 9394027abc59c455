#include "clisession.h"

#include "core/appcontext.h"
#include "net/udpsocketcontroller.h"
#include "protocol/catalogue.h"
#include "protocol/commonclass.h"
#include "protocol/logincommands.h"
#include "protocol/replyrouter.h"
#include "session/commonmanager.h"

#include <QEventLoop>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcCli, "qeva.cli")

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
    m_ctx.setSender(nullptr);
}

bool CliSession::start()
{
    m_ctx.setSender(this);
    UdpSocketController &udp = m_ctx.shared<UdpSocketController>();
    if (!udp.startUdpServer())
        return false;
    udp.changeServerDelegate(this, [this](const QByteArray &data, const QString &host, quint16 port) {
        received(data, host, port);
    });
    return true;
}

bool CliSession::wait(int ms, const std::function<bool()> &done)
{
    if (done && done())
        return true;
    QEventLoop loop;
    m_loop = &loop;
    m_done = done;
    const Scheduler::TimerId timer = m_ctx.scheduler().after(ms, &loop, [&loop] { loop.quit(); });
    // Some conditions change without a datagram (a TCP stream's progress).
    const Scheduler::TimerId poll = m_ctx.scheduler().every(kPollMs, &loop, [this, &loop] {
        if (m_done && m_done())
            loop.quit();
    });
    loop.exec();
    m_ctx.scheduler().cancel(timer);
    m_ctx.scheduler().cancel(poll);
    m_loop = nullptr;
    m_done = nullptr;
    return done && done();
}

const CliServer *CliSession::server(const QString &address) const
{
    for (const CliServer &s : m_servers)
        if (s.device.deviceIp == address)
            return &s;
    return nullptr;
}

void CliSession::sendMessage(const QString &hexFrame, const QString &host, quint16 port, int timeoutSec, long tag)
{
    qCInfo(lcCli).noquote() << "send" << QStringLiteral("%1:%2").arg(host).arg(port) << hexFrame.toLower();
    // Text that is not hex never reaches the wire; it is not a handed-over frame.
    if (CommonClass::hexStringToByteToNSData(hexFrame) && !host.isEmpty())
        ++m_sent[host];
    m_ctx.shared<UdpSocketController>().sendMessage(hexFrame, host, port, timeoutSec, tag);
}

void CliSession::received(const QByteArray &data, const QString &host, quint16 port)
{
    const QString hex = ReplyRouter::replyText(data);
    qCInfo(lcCli).noquote() << "recv" << QStringLiteral("%1:%2").arg(host).arg(port) << hex;
    if (hex.startsWith(QLatin1String(Catalogue::kServerInfoReply.codeText)))
        announcement(hex, host);
    else
        m_inbox[host].append(hex);
    if (m_loop && m_done && m_done())
        m_loop->quit();
}

void CliSession::announcement(const QString &hex, const QString &host)
{
    const auto info = ShebeiInfoReply::read(hex);
    // As the discovery screen does: a record must hold what it says.
    if (!info || !info->name || !info->password || !info->hasAllWindows()) {
        qCInfo(lcCli).noquote() << "malformed server information from" << host << "ignored";
        return;
    }
    CliServer *s = nullptr;
    for (CliServer &known : m_servers)
        if (known.device.deviceIp == host)
            s = &known;
    if (!s) {
        m_servers.append(CliServer());
        s = &m_servers.last();
    }
    const bool firstSight = s->announcement.isEmpty();
    DeviceInfo &d = s->device;
    d.userName = QStringLiteral("Default");
    d.deviceName = *info->name;
    d.devicePassword = *info->password;
    d.deviceWindowHex = info->windowHex;
    d.deviceWindowNum = QString::number(info->windowCount);
    d.deviceIp = host;
    d.userId = info->userId;
    d.deviceInfo2 = info->rest;
    d.deviceInfo3 = QStringLiteral("0");
    s->announcement = hex;
    s->locked = m_settings.password && *m_settings.password != *info->password;
    d.deviceInfo1 = s->loginSent ? QStringLiteral("1") : QStringLiteral("0");

    if (!firstSight || !m_settings.login || s->locked)
        return;
    // The login frame carries the user id the phone keeps for this server.
    Preferences &prefs = m_ctx.preferences();
    const QString key = QStringLiteral("kUserConnectedID_%1_%2").arg(*info->name, host);
    if (prefs.integer(key) == 0)
        prefs.setString(key, QString::number(CommonClass::getRandomNumber(100000, 999999)));

    CommonManager &session = CommonManager::sharedManager();
    const DeviceInfo previous = session.currentSelectDev;
    session.currentSelectDev = d;
    const int before = framesTo(host);
    QVmethodLib::sendXintiaoOrderWithHexString(hex, m_settings.userName, host);
    session.currentSelectDev = previous;
    s->loginSent = framesTo(host) > before;
    d.deviceInfo1 = s->loginSent ? QStringLiteral("1") : QStringLiteral("0");
}
