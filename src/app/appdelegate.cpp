#include "app/appdelegate.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "net/addresswatch.h"
#include "net/udpsocketcontroller.h"
#include "protocol/catalogue.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "ui/alertcenter.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHostAddress>
#include <QRegularExpression>
#include <QWindow>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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

// Four decimal numbers from 0 to 255: the only text taken as an address
// (QHostAddress would also read "10.1" or octal "010.1.2.3").
std::optional<quint32> dottedQuad(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    quint32 value = 0;
    for (int i = 1; i <= 4; ++i) {
        const uint part = m.captured(i).toUInt();
        if (part > 255)
            return std::nullopt;
        value = value << 8 | part;
    }
    return value;
}

int prefixOf(const struct sockaddr *netmask)
{
    if (!netmask || netmask->sa_family != AF_INET)
        return -1;
    const quint32 mask = ntohl(reinterpret_cast<const struct sockaddr_in *>(netmask)->sin_addr.s_addr);
    return __builtin_popcount(mask);
}
}

AppDelegate::AppDelegate(AppContext &ctx)
    : m_ctx(ctx)
    , m_provider(&AppDelegate::systemInterfaces)
    , m_route(&AppDelegate::systemRouteTo)
    , m_watch(std::make_unique<AddressWatch>(ctx))
{
    m_watch->setSnapshot([this] { return networkSnapshot(); });
    connect(m_watch.get(), &AddressWatch::changed, this, &AppDelegate::networkChanged);
    m_ctx.notices().subscribe(this, QLatin1String(FMManager::kStoreFailedNotice),
                              [this](const QVariant &) { showStoreFailure(); });
}

AppDelegate::~AppDelegate()
{
    // The session may outlive this object within the context.
    if (m_ctx.has<CommonManager>())
        m_ctx.shared<CommonManager>().setAddressResolver({});
}

AppDelegate &AppDelegate::shareAppDelegate()
{
    return AppContext::current()->shared<AppDelegate>();
}

void AppDelegate::setInterfaceProvider(InterfaceProvider provider)
{
    m_provider = provider ? std::move(provider) : InterfaceProvider(&AppDelegate::systemInterfaces);
}

void AppDelegate::setRouteProvider(RouteProvider provider)
{
    m_route = provider ? std::move(provider) : RouteProvider(&AppDelegate::systemRouteTo);
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
            entry.prefixLength = prefixOf(i->ifa_netmask);
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

QString AppDelegate::systemRouteTo(const QString &serverIp)
{
    const std::optional<quint32> server = dottedQuad(serverIp);
    if (!server)
        return QString();
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return QString();
    struct sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(5760);
    to.sin_addr.s_addr = htonl(*server);
    QString out;
    if (::connect(fd, reinterpret_cast<const struct sockaddr *>(&to), sizeof to) == 0) {
        struct sockaddr_in local = {};
        socklen_t length = sizeof local;
        if (::getsockname(fd, reinterpret_cast<struct sockaddr *>(&local), &length) == 0 && local.sin_addr.s_addr != 0)
            out = QHostAddress(ntohl(local.sin_addr.s_addr)).toString();
    }
    ::close(fd);
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

QString AppDelegate::addressTowards(const QString &serverIp) const
{
    const std::optional<quint32> server = dottedQuad(serverIp);
    if (!server)
        return QString();
    const QString routed = m_route(serverIp);
    if (!routed.isEmpty())
        return routed;
    // No route (the routing table may be in flux): the interface whose
    // subnet holds the server, the narrowest if several do.
    QString best;
    int bestPrefix = -1;
    for (const InterfaceAddress &i : m_provider()) {
        const std::optional<quint32> own = dottedQuad(i.address);
        if (!i.up || i.ipv6 || !own || i.prefixLength <= 0 || i.prefixLength > 32 || i.prefixLength <= bestPrefix)
            continue;
        const quint32 mask = i.prefixLength == 32 ? 0xffffffffu : ~(0xffffffffu >> i.prefixLength);
        if ((*own & mask) == (*server & mask)) {
            best = i.address;
            bestPrefix = i.prefixLength;
        }
    }
    return best;
}

QString AppDelegate::automaticAddress(const QString &serverIp) const
{
    const QString towards = addressTowards(serverIp);
    return towards.isEmpty() ? getIPAddress(true) : towards;
}

QString AppDelegate::chooseAddress(const QString &serverIp) const
{
    const QString configured = m_ctx.config().phoneAddress;
    if (!configured.isEmpty())
        return configured;
    const QString own = userAddress();
    return own.isEmpty() ? automaticAddress(serverIp) : own;
}

QString AppDelegate::chooseAddress() const
{
    return chooseAddress(CommonManager::sharedManager().currentSelectDev.deviceIp);
}

QString AppDelegate::userAddress() const
{
    const QString stored = m_ctx.preferences().string(QLatin1String(kPhoneAddressKey)).trimmed();
    const std::optional<quint32> value = dottedQuad(stored);
    return value ? QHostAddress(*value).toString() : QString();
}

bool AppDelegate::setUserAddress(const QString &address)
{
    const QString text = address.trimmed();
    const std::optional<quint32> value = dottedQuad(text);
    if (!text.isEmpty() && !value)
        return false;
    const QString normal = value ? QHostAddress(*value).toString() : QString();
    Preferences &prefs = m_ctx.preferences();
    prefs.setString(QLatin1String(kPhoneAddressKey), normal);
    prefs.sync(); // a setting the user made is on disk when the screen says so
    qevaLog(lcApp, normal.isEmpty() ? QStringLiteral("own address: automatic")
                                    : QStringLiteral("own address set to %1").arg(normal));
    networkChanged();
    return true;
}

bool AppDelegate::isAddressConfigured() const
{
    return !m_ctx.config().phoneAddress.isEmpty();
}

void AppDelegate::followSelectedServer()
{
    CommonManager::sharedManager().setAddressResolver([this](const QString &server) { return chooseAddress(server); });
}

QString AppDelegate::networkSnapshot() const
{
    QStringList parts;
    for (const InterfaceAddress &i : m_provider())
        if (i.up && !i.ipv6)
            parts << QStringLiteral("%1 %2/%3").arg(i.name, i.address).arg(i.prefixLength);
    parts.sort();
    // The way to the selected server, or to the group, can change without
    // any interface changing (a route added or removed).
    parts << QStringLiteral("via %1").arg(chooseAddress());
    parts << QStringLiteral("group via %1").arg(m_route(m_ctx.config().multicastGroup));
    return parts.join(QLatin1String(", "));
}

bool AppDelegate::didFinishLaunching()
{
    // A run that ended without resigning (a crash, a kill) left its file
    // history behind. The app also goes on without a usable file: the store
    // then lives in memory, and the user is told once.
    FMManager &store = m_ctx.shared<FMManager>();
    store.setFallbackToMemory(true);
    store.DeleteAllSendFiles();

    m_ctx.shared<UdpSocketController>().startUdpServer();
    followSelectedServer();
    const QString address = CommonManager::sharedManager().currentPhoneIp();
    qevaLog(lcApp, QStringLiteral("phone address %1").arg(address));
    m_watch->start();
    return true;
}

void AppDelegate::applicationWillResignActive()
{
    m_watch->stop();
    m_ctx.shared<FMManager>().DeleteAllSendFiles();
    m_ctx.shared<UdpSocketController>().closeUdpServer();
    m_ctx.preferences().sync();
}

void AppDelegate::applicationWillEnterForeground()
{
    const QString address = chooseAddress();
    CommonManager &session = CommonManager::sharedManager();
    UdpSocketController &udp = m_ctx.shared<UdpSocketController>();
    if (address == session.currentPhoneIp()) {
        udp.startUdpServer();
        m_ctx.shared<PopupCenter>().showProgress(QCoreApplication::translate("AppDelegate", "连接中..."));
        m_ctx.notices().post(QLatin1String(Catalogue::kChangeDelegateNotice));
    } else {
        addressChanged(address);
    }
    m_watch->start();
}

void AppDelegate::addressChanged(const QString &address)
{
    CommonManager &session = CommonManager::sharedManager();
    qevaLog(lcApp, QStringLiteral("phone address changed from %1 to %2").arg(session.currentPhoneIp(), address));
    session.setCurrentPhoneIp(address);
    m_ctx.notices().post(QLatin1String(Catalogue::kIpChangedNotice));
    m_ctx.shared<UdpSocketController>().startUdpServer();
    m_ctx.notices().post(QLatin1String(Catalogue::kChangeDelegateNotice));
}

void AppDelegate::networkChanged()
{
    if (m_resigned)
        return;
    UdpSocketController &udp = m_ctx.shared<UdpSocketController>();
    udp.retryGroupJoin();
    CommonManager &session = CommonManager::sharedManager();
    // A newly selected server brings its own address along without a fuss
    // (reading it follows the selection); only the same server reached from
    // another address means the network itself changed.
    const QString current = session.currentPhoneIp();
    const QString now = chooseAddress(session.addressServer());
    if (now != current)
        addressChanged(now);
}

void AppDelegate::resign()
{
    if (m_resigned)
        return;
    m_resigned = true;
    applicationWillResignActive();
}

void AppDelegate::comeBack()
{
    if (!m_resigned)
        return;
    m_resigned = false;
    applicationWillEnterForeground();
}

void AppDelegate::applicationStateChanged(Qt::ApplicationState state)
{
    switch (state) {
    case Qt::ApplicationHidden:
    case Qt::ApplicationSuspended:
        resign();
        break;
    case Qt::ApplicationActive:
        comeBack();
        break;
    case Qt::ApplicationInactive:
        break;
    }
}

void AppDelegate::windowsChanged()
{
    m_windowCheckQueued = false;
    bool shown = false;
    for (QWindow *w : QGuiApplication::topLevelWindows())
        if (w->isVisible() && !(w->windowStates() & Qt::WindowMinimized))
            shown = true;
    if (shown) {
        m_windowShown = true;
        comeBack();
    } else if (m_windowShown) {
        // Only a window that was there can go away: before the first one
        // shows, the app is starting, not leaving.
        resign();
    }
}

void AppDelegate::applicationWillTerminate()
{
    resign();
}

bool AppDelegate::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowStateChange:
    case QEvent::Show:
    case QEvent::Hide:
        // Looked at once the event is through: the window's state and
        // visibility are settled by then.
        if (!m_windowCheckQueued && watched->isWindowType()) {
            m_windowCheckQueued = true;
            QMetaObject::invokeMethod(this, &AppDelegate::windowsChanged, Qt::QueuedConnection);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void AppDelegate::attachTo(QGuiApplication *app)
{
    if (!app)
        return;
    connect(app, &QGuiApplication::applicationStateChanged, this, &AppDelegate::applicationStateChanged);
    connect(app, &QCoreApplication::aboutToQuit, this, &AppDelegate::applicationWillTerminate);
    app->installEventFilter(this);
    if (!m_watch->useSystemNotifications())
        qevaLog(lcApp, QStringLiteral("no network information backend: the address is checked every %1 s")
                           .arg(AddressWatch::kIntervalMs / 1000));
}

void AppDelegate::showStoreFailure()
{
    if (m_storeFailureShown)
        return;
    m_storeFailureShown = true;
    m_ctx.shared<AlertCenter>().alert(QCoreApplication::translate("AppDelegate", "本地数据库无法写入"),
                                      QCoreApplication::translate("AppDelegate", "本次运行的记录只保存在内存中，退出后不保留。"),
                                      {QCoreApplication::translate("AppDelegate", "确定")}, nullptr, {});
}
