#include "app/appdelegate.h"
#include "net/udpsocketcontroller.h"
#include "screens/discovery/scandeviceviewcontroller.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "support/testcontext.h"
#include "ui/popupcenter.h"
#include "ui/uikit.h"

#include <QGuiApplication>

namespace {

InterfaceAddress v4(const char *name, const char *address, bool up = true, bool loopback = false)
{
    return InterfaceAddress{QLatin1String(name), up, loopback, false, QLatin1String(address)};
}
InterfaceAddress v6(const char *name, const char *address, bool up = true)
{
    return InterfaceAddress{QLatin1String(name), up, false, true, QLatin1String(address)};
}

class AppDelegateTest : public ContextTest
{
protected:
    // The address comes from the interface table, not from the configuration.
    void configure(ContextConfig &c) override { c.phoneAddress.clear(); }
    void SetUp() override
    {
        ContextTest::SetUp();
        delegate().setInterfaceProvider([this] { return interfaces; });
    }
    AppDelegate &delegate() { return AppDelegate::shareAppDelegate(); }
    void listen()
    {
        for (const char *n : {"didReceiveIPChangedNotificaition", "didChangeDelegateNotificaition"})
            ctx().notices().subscribe(&observer, QLatin1String(n),
                                      [this, n](const QVariant &) { posted << QLatin1String(n); });
    }
    bool addFileRecord()
    {
        return FMManager::sharedManagerInstance().insertObjectByDeviceWindowIDHex(
            "01", "0000abcd", "a.jpg", "01", "0000000000000003", "1", QByteArray("abc"), "0", "0");
    }
    int fileRecords() { return int(FMManager::sharedManagerInstance().selectAllFilesTransInfoWithDeviceID({}, {}).size()); }

    QList<InterfaceAddress> interfaces;
    QObject observer;
    QStringList posted;
};

TEST_F(AppDelegateTest, AddressFollowsThePhoneSearchOrderThenTheDesktopFallback)
{
    const struct {
        const char *what;
        QList<InterfaceAddress> table;
        bool preferIPv4;
        QString expected;
    } cases[] = {
        {"tunnel before Wi-Fi", {v4("en0", "10.0.0.5"), v4("utun0", "10.8.0.2")}, true, "10.8.0.2"},
        {"tunnel IPv6 before Wi-Fi IPv4", {v4("en0", "10.0.0.5"), v6("utun0", "fd00::2")}, true, "fd00::2"},
        {"Wi-Fi before cellular", {v4("pdp_ip0", "100.64.0.9"), v4("en0", "10.0.0.5")}, true, "10.0.0.5"},
        {"cellular only", {v4("lo0", "127.0.0.1", true, true), v4("pdp_ip0", "100.64.0.9")}, true, "100.64.0.9"},
        {"IPv6 preferred", {v4("en0", "10.0.0.5"), v6("en0", "fe80::1")}, false, "fe80::1"},
        {"IPv4 preferred", {v6("en0", "fe80::1"), v4("en0", "10.0.0.5")}, true, "10.0.0.5"},
        {"a down interface is skipped", {v4("utun0", "10.8.0.2", false), v4("en0", "10.0.0.5")}, true, "10.0.0.5"},
        {"later entry of a key wins", {v4("en0", "10.0.0.5"), v4("en0", "10.0.0.6")}, true, "10.0.0.6"},
        {"desktop: first up non-loopback IPv4",
         {v4("lo", "127.0.0.1", true, true), v6("eth0", "fe80::5"), v4("docker0", "172.17.0.1", false),
          v4("eth0", "192.0.2.10"), v4("wlan0", "198.51.100.7")},
         true, "192.0.2.10"},
        {"the phone's names win over the fallback", {v4("eth0", "192.0.2.10"), v4("pdp_ip0", "100.64.0.9")}, true,
         "100.64.0.9"},
        {"only loopback", {v4("lo", "127.0.0.1", true, true)}, true, "0.0.0.0"},
        {"nothing", {}, true, "0.0.0.0"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        interfaces = c.table;
        EXPECT_EQ(delegate().getIPAddress(c.preferIPv4), c.expected);
    }
}

TEST_F(AppDelegateTest, AddressTableKeysAndEmptiness)
{
    interfaces = {v4("en0", "10.0.0.5"), v6("en0", "fe80::1"), v4("utun0", "10.8.0.2", false), v4("x", "")};
    const auto table = delegate().getIPAddresses();
    ASSERT_TRUE(table);
    EXPECT_EQ(*table, (QMap<QString, QString>{{"en0/ipv4", "10.0.0.5"}, {"en0/ipv6", "fe80::1"}}));
    interfaces = {v4("utun0", "10.8.0.2", false)};
    EXPECT_FALSE(delegate().getIPAddresses());
}

TEST_F(AppDelegateTest, SystemInterfacesIncludeLoopback)
{
    delegate().setInterfaceProvider(nullptr); // back to getifaddrs
    const QList<InterfaceAddress> all = AppDelegate::systemInterfaces();
    const bool hasLoopback = std::any_of(all.begin(), all.end(), [](const InterfaceAddress &i) {
        return i.loopback && !i.ipv6 && i.address == QLatin1String("127.0.0.1");
    });
    EXPECT_TRUE(hasLoopback);
    const QString chosen = delegate().getIPAddress(true);
    EXPECT_NE(chosen, "127.0.0.1");
    EXPECT_FALSE(chosen.isEmpty());
}

TEST_F(AppDelegateTest, LaunchStartsTheEndpointAndStoresTheAddress)
{
    interfaces = {v4("en0", "10.0.0.5")};
    EXPECT_TRUE(delegate().didFinishLaunching());
    EXPECT_TRUE(UdpSocketController::shareInstance().isServerReceiving());
    EXPECT_EQ(CommonManager::sharedManager().currentPhoneIp(), "10.0.0.5");
    EXPECT_EQ(CommonManager::sharedManager().currentPhoneIpHex(), "0a000005");

    interfaces.clear();
    delegate().didFinishLaunching();
    EXPECT_EQ(CommonManager::sharedManager().currentPhoneIpHex(), "00000000");
}

TEST_F(AppDelegateTest, ResigningEmptiesTheFileHistoryAndClosesTheEndpoint)
{
    delegate().didFinishLaunching();
    ASSERT_TRUE(addFileRecord());
    ASSERT_TRUE(addFileRecord());
    delegate().applicationWillResignActive();
    EXPECT_EQ(fileRecords(), 0);
    EXPECT_FALSE(UdpSocketController::shareInstance().isServerReceiving());
    delegate().applicationWillResignActive(); // an empty history is no error
    EXPECT_EQ(fileRecords(), 0);
}

TEST_F(AppDelegateTest, ForegroundWithTheSameAddressKeepsTheList)
{
    interfaces = {v4("en0", "10.0.0.5")};
    delegate().didFinishLaunching();
    auto *scan = new ScanDeviceViewController;
    UiKit::shared().navigation().push(scan);
    scan->getInitShebeiInfoWitShebeiHexString(
        "414e44025001" "00000001" "0001" "41" "0001" "31" "01" "01000000" "7f000002" "01", "127.0.0.2");
    auto *above = new KTBaseViewController;
    UiKit::shared().navigation().push(above);
    delegate().applicationWillResignActive();
    listen();

    delegate().applicationWillEnterForeground();

    EXPECT_TRUE(UdpSocketController::shareInstance().isServerReceiving());
    EXPECT_TRUE(PopupCenter::shared().isProgressVisible());
    EXPECT_EQ(PopupCenter::shared().text(), QStringLiteral("连接中..."));
    EXPECT_EQ(posted, QStringList{"didChangeDelegateNotificaition"});
    EXPECT_EQ(UiKit::shared().navigation().top(), above);
    EXPECT_EQ(FMManager::sharedManagerInstance().selectAllUserInfoDatas().size(), 1);
}

TEST_F(AppDelegateTest, ForegroundWithAChangedAddressReturnsToDiscovery)
{
    interfaces = {v4("en0", "10.0.0.5")};
    delegate().didFinishLaunching();
    auto *scan = new ScanDeviceViewController;
    UiKit::shared().navigation().push(scan);
    scan->getInitShebeiInfoWitShebeiHexString(
        "414e44025001" "00000001" "0001" "41" "0001" "31" "01" "01000000" "7f000002" "01", "127.0.0.2");
    UiKit::shared().navigation().push(new KTBaseViewController);
    delegate().applicationWillResignActive();
    listen();

    interfaces = {v4("en0", "10.0.0.9")};
    delegate().applicationWillEnterForeground();

    EXPECT_EQ(CommonManager::sharedManager().currentPhoneIp(), "10.0.0.9");
    EXPECT_EQ(CommonManager::sharedManager().currentPhoneIpHex(), "0a000009");
    EXPECT_EQ(posted, (QStringList{"didReceiveIPChangedNotificaition", "didChangeDelegateNotificaition"}));
    EXPECT_TRUE(UdpSocketController::shareInstance().isServerReceiving());
    EXPECT_FALSE(PopupCenter::shared().isVisible());
    EXPECT_EQ(UiKit::shared().navigation().top(), scan);
    EXPECT_TRUE(FMManager::sharedManagerInstance().selectAllUserInfoDatas().isEmpty());
}

class ConfiguredAddressTest : public AppDelegateTest
{
protected:
    void configure(ContextConfig &c) override { c.phoneAddress = QStringLiteral("127.0.0.1"); }
};

TEST_F(ConfiguredAddressTest, ConfiguredAddressIsUsedAtLaunchAndInTheForeground)
{
    interfaces = {v4("en0", "10.0.0.5")};
    EXPECT_EQ(delegate().chooseAddress(), "127.0.0.1");
    EXPECT_EQ(delegate().getIPAddress(true), "10.0.0.5");
    delegate().didFinishLaunching();
    EXPECT_EQ(CommonManager::sharedManager().currentPhoneIp(), "127.0.0.1");
    listen();
    delegate().applicationWillEnterForeground();
    EXPECT_EQ(posted, QStringList{"didChangeDelegateNotificaition"});
}

TEST_F(AppDelegateTest, ApplicationStatesMapOntoResignAndForeground)
{
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    ASSERT_TRUE(app);
    interfaces = {v4("en0", "10.0.0.5")};
    delegate().didFinishLaunching();
    delegate().attachTo(app);
    ASSERT_TRUE(addFileRecord());

    Q_EMIT app->applicationStateChanged(Qt::ApplicationInactive); // focus elsewhere: nothing
    EXPECT_EQ(fileRecords(), 1);
    EXPECT_TRUE(UdpSocketController::shareInstance().isServerReceiving());
    Q_EMIT app->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_FALSE(PopupCenter::shared().isVisible());

    Q_EMIT app->applicationStateChanged(Qt::ApplicationHidden);
    EXPECT_EQ(fileRecords(), 0);
    EXPECT_FALSE(UdpSocketController::shareInstance().isServerReceiving());
    EXPECT_TRUE(delegate().isResigned());
    Q_EMIT app->applicationStateChanged(Qt::ApplicationSuspended); // still away: once
    Q_EMIT app->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(UdpSocketController::shareInstance().isServerReceiving());

    Q_EMIT app->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_TRUE(UdpSocketController::shareInstance().isServerReceiving());
    EXPECT_TRUE(PopupCenter::shared().wasShown(PopupCenter::Progress, QStringLiteral("连接中...")));
    EXPECT_FALSE(delegate().isResigned());
    PopupCenter::shared().clearHistory();
    Q_EMIT app->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_TRUE(PopupCenter::shared().history().isEmpty());
}

} // namespace
