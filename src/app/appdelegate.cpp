#include "app/appdelegate.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "net/udpsocketcontroller.h"
#include "protocol/catalogue.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace {
const QString kNoAddress = QStringLiteral("0.0.0.0");
const char *const kSearchNames[] = {"utun0", "en0", "pdp_ip0"};

QMap<QString, QString> addressTable(const QList<InterfaceAddress> &interfaces)
{
    QMap<QString, QString> table;
    for (const InterfaceAddress &i : interfaces) {
        if (!i.up || i.address.isEmpty())
            continue;
        // A later entry with the same key replaces an earlier one.
        table.insert(i.name + (i.ipv6 ? QStringLiteral("/ipv6") : QStringLiteral("/ipv4")), i.address);
    }
    return table;
}
}

AppDelegate::AppDelegate(AppContext &ctx)
    : m_ctx(ctx)
    , m_provider(&AppDelegate::systemInterfaces)
{
}

AppDelegate &AppDelegate::shareAppDelegate()
{
    return AppContext::current()->shared<AppDelegate>();
}

void AppDelegate::setInterfaceProvider(InterfaceProvider provider)
{
    m_provider = provider ? std::move(provider) : InterfaceProvider(&AppDelegate::systemInterfaces);
}

QList<InterfaceAddress> AppDelegate::systemInterfaces()
{
    QList<InterfaceAddress> out;
    struct ifaddrs *interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0)
        return out;
    for (struct ifaddrs *i = interfaces; i; i = i->ifa_next) {
        if (!i->ifa_addr || !i->ifa_name)
            continue;
        const int family = i->ifa_addr->sa_family;
        if (family != AF_INET && family != AF_INET6)
            continue;
        InterfaceAddress entry;
        entry.name = QString::fromLocal8Bit(i->ifa_name);
        entry.up = (i->ifa_flags & IFF_UP) != 0;
        entry.loopback = (i->ifa_flags & IFF_LOOPBACK) != 0;
        entry.ipv6 = family == AF_INET6;
        if (family == AF_INET) {
            char buffer[INET_ADDRSTRLEN];
            const auto *sin = reinterpret_cast<const struct sockaddr_in *>(i->ifa_addr);
            if (inet_ntop(AF_INET, &sin->sin_addr, buffer, sizeof buffer))
                entry.address = QString::fromLatin1(buffer);
        } else {
            char buffer[INET6_ADDRSTRLEN];
            const auto *sin6 = reinterpret_cast<const struct sockaddr_in6 *>(i->ifa_addr);
            if (inet_ntop(AF_INET6, &sin6->sin6_addr, buffer, sizeof buffer))
                entry.address = QString::fromLatin1(buffer);
        }
        out.append(entry);
    }
    freeifaddrs(interfaces);
    return out;
}

std::optional<QMap<QString, QString>> AppDelegate::getIPAddresses() const
{
    const QMap<QString, QString> table = addressTable(m_provider());
    if (table.isEmpty())
        return std::nullopt;
    return table;
}

QString AppDelegate::getIPAddress(bool preferIPv4) const
{
    const QList<InterfaceAddress> interfaces = m_provider();
    const QMap<QString, QString> table = addressTable(interfaces);
    const QString first = preferIPv4 ? QStringLiteral("ipv4") : QStringLiteral("ipv6");
    const QString second = preferIPv4 ? QStringLiteral("ipv6") : QStringLiteral("ipv4");
    for (const char *name : kSearchNames) {
        for (const QString &family : {first, second}) {
            const auto it = table.constFind(QLatin1String(name) + QLatin1Char('/') + family);
            if (it != table.constEnd())
                return it.value();
        }
    }
    // Desktop machines name their interfaces otherwise.
    for (const InterfaceAddress &i : interfaces) {
        if (i.up && !i.loopback && !i.ipv6 && !i.address.isEmpty())
            return i.address;
    }
    return kNoAddress;
}

QString AppDelegate::chooseAddress() const
{
    const QString configured = m_ctx.config().phoneAddress;
    return configured.isEmpty() ? getIPAddress(true) : configured;
}

bool AppDelegate::didFinishLaunching()
{
    m_ctx.shared<UdpSocketController>().startUdpServer();
    const QString address = chooseAddress();
    CommonManager::sharedManager().setCurrentPhoneIp(address);
    qevaLog(lcApp, QStringLiteral("phone address %1").arg(address));
    return true;
}

void AppDelegate::applicationWillResignActive()
{
    m_ctx.shared<FMManager>().DeleteAllSendFiles();
    m_ctx.shared<UdpSocketController>().closeUdpServer();
}

void AppDelegate::applicationWillEnterForeground()
{
    const QString address = chooseAddress();
    CommonManager &session = CommonManager::sharedManager();
    UdpSocketController &udp = m_ctx.shared<UdpSocketController>();
    if (address == session.currentPhoneIp()) {
        udp.startUdpServer();
        m_ctx.shared<PopupCenter>().showProgress(QCoreApplication::translate("AppDelegate", "连接中..."));
    } else {
        qevaLog(lcApp, QStringLiteral("phone address changed from %1 to %2").arg(session.currentPhoneIp(), address));
        session.setCurrentPhoneIp(address);
        m_ctx.notices().post(QLatin1String(Catalogue::kIpChangedNotice));
        udp.startUdpServer();
    }
    m_ctx.notices().post(QLatin1String(Catalogue::kChangeDelegateNotice));
}

void AppDelegate::applicationStateChanged(Qt::ApplicationState state)
{
    switch (state) {
    case Qt::ApplicationHidden:
    case Qt::ApplicationSuspended:
        if (!m_resigned) {
            m_resigned = true;
            applicationWillResignActive();
        }
        break;
    case Qt::ApplicationActive:
        if (m_resigned) {
            m_resigned = false;
            applicationWillEnterForeground();
        }
        break;
    case Qt::ApplicationInactive:
        break;
    }
}

void AppDelegate::attachTo(QGuiApplication *app)
{
    if (!app)
        return;
    connect(app, &QGuiApplication::applicationStateChanged, this, &AppDelegate::applicationStateChanged);
}
