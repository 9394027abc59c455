// The phone's own address on a desktop with several networks: the one on
// the way to the server, the user's setting, and the watch that notices a
// change while the client runs.
#include "app/appdelegate.h"
#include "net/addresswatch.h"
#include "net/udpsocketcontroller.h"
#include "screens/discovery/scandeviceviewcontroller.h"
#include "screens/settings/phoneaddressviewcontroller.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "support/testcontext.h"
#include "ui/popupcenter.h"
#include "ui/uikit.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSettings>

namespace {

InterfaceAddress v4(const char *name, const char *address, int prefix, bool loopback = false)
{
    return InterfaceAddress{QLatin1String(name), true, loopback, false, QLatin1String(address), prefix};
}

// A desktop as the one that showed the fault: the container bridge comes
// first, the LAN with the server second, a VPN third.
const QList<InterfaceAddress> kDesktop = {
    v4("lo", "127.0.0.1", 8, true),
    v4("docker0", "172.17.0.1", 16),
    v4("eth0", "192.168.50.7", 24),
    v4("tun0", "10.8.0.5", 8),
    v4("wlan0", "10.8.3.4", 16),
};

class OwnAddressTest : public ContextTest
{
protected:
    void configure(ContextConfig &c) override { c.phoneAddress.clear(); }
    void SetUp() override
    {
        ContextTest::SetUp();
        delegate().setInterfaceProvider([this] { return interfaces; });
        delegate().setRouteProvider([this](const QString &server) { return routes.value(server); });
        for (const char *n : {"didReceiveIPChangedNotificaition", "didChangeDelegateNotificaition"})
            ctx().notices().subscribe(&observer, QLatin1String(n), [this, n](const QVariant &) { posted << QLatin1String(n); });
    }
    AppDelegate &delegate() { return AppDelegate::shareAppDelegate(); }
    CommonManager &session() { return CommonManager::sharedManager(); }

    QList<InterfaceAddress> interfaces = kDesktop;
    QMap<QString, QString> routes; // server -> the route's source address
    QObject observer;
    QStringList posted;
};

TEST_F(OwnAddressTest, TheAddressIsTheOneOnTheWayToTheServer)
{
    const struct {
        const char *what;
        QMap<QString, QString> routes;
        QString server;
        QString userSetting;
        QString expected;
    } cases[] = {
        {"the route's source address", {{"192.168.50.20", "192.168.50.7"}}, "192.168.50.20", "", "192.168.50.7"},
        {"the route wins over the subnets", {{"192.168.50.20", "10.8.0.5"}}, "192.168.50.20", "", "10.8.0.5"},
        {"no route: the interface whose subnet holds the server", {}, "192.168.50.20", "", "192.168.50.7"},
        {"no route: the narrowest subnet that holds it", {}, "10.8.0.9", "", "10.8.3.4"},
        {"no route, no subnet: the first suitable interface", {}, "203.0.113.9", "", "172.17.0.1"},
        {"no server yet: the first suitable interface", {}, "", "", "172.17.0.1"},
        {"the user's setting wins", {{"192.168.50.20", "192.168.50.7"}}, "192.168.50.20", "10.8.0.5", "10.8.0.5"},
        {"a setting that is no address is ignored", {{"192.168.50.20", "192.168.50.7"}}, "192.168.50.20", "10.1",
         "192.168.50.7"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        routes = c.routes;
        ctx().preferences().setString(QLatin1String(AppDelegate::kPhoneAddressKey), c.userSetting);
        EXPECT_EQ(delegate().chooseAddress(c.server), c.expected);
    }
}

class ConfiguredOwnAddressTest : public OwnAddressTest
{
protected:
    void configure(ContextConfig &c) override { c.phoneAddress = QStringLiteral("127.0.0.1"); }
};

TEST_F(ConfiguredOwnAddressTest, TheCommandLineWinsOverTheSetting)
{
    routes = {{"192.168.50.20", "192.168.50.7"}};
    ASSERT_TRUE(delegate().setUserAddress(QStringLiteral("10.8.0.5")));
    EXPECT_EQ(delegate().chooseAddress(QStringLiteral("192.168.50.20")), "127.0.0.1");
    EXPECT_TRUE(delegate().isAddressConfigured());
}

TEST_F(OwnAddressTest, TheSessionAddressFollowsTheSelectedServerWithoutLeavingTheScreen)
{
    routes = {{"192.168.50.20", "192.168.50.7"}, {"10.8.0.9", "10.8.0.5"}};
    delegate().didFinishLaunching();
    EXPECT_EQ(session().currentPhoneIp(), "172.17.0.1"); // nothing selected yet

    session().currentSelectDev.deviceIp = QStringLiteral("192.168.50.20");
    EXPECT_EQ(session().currentPhoneIpHex(), "c0a83207"); // what the login frame carries
    session().currentSelectDev.deviceIp = QStringLiteral("10.8.0.9");
    EXPECT_EQ(session().currentPhoneIp(), "10.8.0.5");

    // Choosing another server is no change of the network.
    ctx().manualScheduler()->advance(AddressWatch::kIntervalMs);
    EXPECT_TRUE(posted.isEmpty()) << posted.join(' ').toStdString();
}

TEST_F(OwnAddressTest, AChangeWhileRunningReturnsToDiscoveryAndReopensTheEndpoint)
{
    routes = {{"192.168.50.20", "192.168.50.7"}};
    delegate().didFinishLaunching();
    auto *scan = new ScanDeviceViewController;
    UiKit::shared().navigation().push(scan);
    session().currentSelectDev.deviceIp = QStringLiteral("192.168.50.20");
    ASSERT_EQ(session().currentPhoneIp(), "192.168.50.7");
    UiKit::shared().navigation().push(new KTBaseViewController);
    const QUdpSocket *before = UdpSocketController::shareInstance().udpServer();

    // Nothing changed: the watch stays quiet.
    ctx().manualScheduler()->advance(AddressWatch::kIntervalMs);
    EXPECT_TRUE(posted.isEmpty());

    // The LAN hands out another address.
    interfaces[2].address = QStringLiteral("192.168.50.31");
    routes[QStringLiteral("192.168.50.20")] = QStringLiteral("192.168.50.31");
    ctx().manualScheduler()->advance(AddressWatch::kIntervalMs);

    EXPECT_EQ(posted, (QStringList{"didReceiveIPChangedNotificaition", "didChangeDelegateNotificaition"}));
    EXPECT_EQ(session().currentPhoneIp(), "192.168.50.31");
    EXPECT_EQ(session().currentPhoneIpHex(), "c0a8321f");
    EXPECT_EQ(UiKit::shared().navigation().top(), scan);
    EXPECT_TRUE(UdpSocketController::shareInstance().isServerReceiving());
    EXPECT_NE(UdpSocketController::shareInstance().udpServer(), before);

    // Once: the next look finds the network as it is now.
    posted.clear();
    ctx().manualScheduler()->advance(AddressWatch::kIntervalMs);
    EXPECT_TRUE(posted.isEmpty());

    // While resigned the watch does not run; the return to the foreground
    // looks for itself.
    delegate().applicationWillResignActive();
    interfaces[2].address = QStringLiteral("192.168.50.32");
    routes[QStringLiteral("192.168.50.20")] = QStringLiteral("192.168.50.32");
    ctx().manualScheduler()->advance(AddressWatch::kIntervalMs);
    EXPECT_TRUE(posted.isEmpty());
    delegate().applicationWillEnterForeground();
    EXPECT_EQ(posted, (QStringList{"didReceiveIPChangedNotificaition", "didChangeDelegateNotificaition"}));
}

TEST_F(OwnAddressTest, TheSettingScreenSavesAnAddressOrGoesBackToAutomatic)
{
    routes = {{"192.168.50.20", "192.168.50.7"}};
    delegate().didFinishLaunching();
    auto *scan = new ScanDeviceViewController;
    UiKit::shared().navigation().push(scan);
    session().currentSelectDev.deviceIp = QStringLiteral("192.168.50.20");
    auto *screen = new PhoneAddressViewController;
    UiKit::shared().navigation().push(screen);
    QPointer<PhoneAddressViewController> alive(screen);
    EXPECT_EQ(screen->title(), QStringLiteral("本机地址"));
    EXPECT_EQ(screen->currentAddress(), "192.168.50.7");
    EXPECT_EQ(screen->automaticAddress(), "192.168.50.7");
    EXPECT_TRUE(screen->isAutomatic());

    // Not an address: refused, nothing saved, nothing moves.
    for (const char *bad : {"10.1", "300.1.1.1", "eth0", "1.2.3.4.5"}) {
        SCOPED_TRACE(bad);
        screen->setAddressText(QLatin1String(bad));
        EXPECT_FALSE(screen->doneAction());
        EXPECT_TRUE(PopupCenter::shared().wasShown(PopupCenter::Error, QStringLiteral("请输入正确的IP地址")));
        EXPECT_TRUE(delegate().userAddress().isEmpty());
    }
    EXPECT_TRUE(posted.isEmpty());

    // Another address: saved for the next start too, and in use now, which
    // sends the user back to discovery like any change of the address.
    screen->setAddressText(QStringLiteral(" 10.8.0.5 "));
    EXPECT_TRUE(screen->doneAction());
    EXPECT_TRUE(PopupCenter::shared().wasShown(PopupCenter::Success, QStringLiteral("设置成功")));
    EXPECT_EQ(session().currentPhoneIp(), "10.8.0.5");
    EXPECT_EQ(posted.first(), "didReceiveIPChangedNotificaition");
    EXPECT_EQ(UiKit::shared().navigation().top(), scan);
    ctx().preferences().sync();
    EXPECT_EQ(QSettings(ctx().preferences().fileName(), QSettings::IniFormat).value(AppDelegate::kPhoneAddressKey).toString(),
              "10.8.0.5");

    // Back to automatic from a fresh screen.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(alive);
    auto *again = new PhoneAddressViewController;
    UiKit::shared().navigation().push(again);
    EXPECT_EQ(again->addressText(), "10.8.0.5");
    EXPECT_FALSE(again->isAutomatic());
    posted.clear();
    EXPECT_TRUE(again->useAutomaticAction());
    EXPECT_EQ(session().currentPhoneIp(), "192.168.50.7");
    EXPECT_EQ(posted.first(), "didReceiveIPChangedNotificaition");
    EXPECT_TRUE(delegate().userAddress().isEmpty());
}

} // namespace
