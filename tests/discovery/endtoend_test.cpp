#include "app/appdelegate.h"
#include "net/udpsocketcontroller.h"
#include "screens/discovery/homeviewcontroller.h"
#include "screens/discovery/scandeviceviewcontroller.h"
#include "screens/shell/functionviewcontroller.h"
#include "screens/shell/slidezoommenucontroller.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "support/testcontext.h"
#include "ui/popupcenter.h"
#include "ui/uikit.h"

#include "sim/simfixture.h"

namespace {

// The client on 127.0.0.1 and the in-process simulator on 127.0.0.2, each
// on free ports, talking over real sockets.
class DiscoveryEndToEndTest : public ContextTest
{
protected:
    DiscoveryEndToEndTest() { m_useRecorder = false; }
    void configure(ContextConfig &c) override
    {
        simConfig = loopbackSimConfig(c.localPort);
        simConfig.name = QStringLiteral("演示服务器");
        simConfig.password = QStringLiteral("2468");
        simConfig.windows = {SimWindow{0x01}, SimWindow{0x02}};
        c.serverPort = simConfig.udpPort;
        c.serverTimePort = simConfig.timePort;
        c.serverFilePort = simConfig.tcpPort;
    }
    void TearDown() override
    {
        sim.reset();
        ContextTest::TearDown();
    }
    KTBaseNavigationController &nav() { return UiKit::shared().navigation(); }

    SimConfig simConfig;
    std::unique_ptr<SimServer> sim;
};

TEST_F(DiscoveryEndToEndTest, AnnouncementToFunctionMenuAndBack)
{
    ASSERT_TRUE(AppDelegate::shareAppDelegate().didFinishLaunching());
    ASSERT_TRUE(UdpSocketController::shareInstance().isServerReceiving());
    EXPECT_EQ(CommonManager::sharedManager().currentPhoneIp(), "127.0.0.1");
    auto *scan = new ScanDeviceViewController;
    scan->setUserName(QStringLiteral("e2e"));
    nav().push(scan);
    scan->scanButtonAction();

    sim = std::make_unique<SimServer>(simConfig);
    ASSERT_TRUE(sim->start()) << sim->errorString().toStdString();
    ASSERT_TRUE(waitUntil([&] { return scan->deviceCount() == 1; }));
    const DeviceInfo recorded = scan->dataSource().first();
    EXPECT_EQ(recorded.deviceName, QStringLiteral("演示服务器"));
    EXPECT_EQ(recorded.deviceIp, "127.0.0.2");
    EXPECT_EQ(recorded.deviceWindowNum, "2");

    clock().advance(10000);
    auto *slider = qobject_cast<SLideZoomMenuController *>(nav().top());
    ASSERT_TRUE(slider);
    auto *home = qobject_cast<HomeViewController *>(slider->rootViewController()->root());
    ASSERT_TRUE(home);

    // The list selected the server, so the answer to its next announcement reaches it.
    sim->announceNow();
    const QString userId = ctx().preferences().string(QStringLiteral("kUserConnectedID_演示服务器_127.0.0.2"));
    const QByteArray expected = loginFrame(quint32(userId.toUInt()), QStringLiteral("e2e"), QStringLiteral("2468"),
                                           phoneAddress());
    EXPECT_TRUE(waitForLine(*sim, QStringLiteral("5002 ") + QString::fromLatin1(expected.toHex())));
    ASSERT_TRUE(waitUntil([&] { return sim->phones().size() == 1; }));

    home->tapAction(0);
    ASSERT_TRUE(home->isPasswordPromptVisible());
    home->setPasswordText(QStringLiteral("2468"));
    home->passwordCheck();
    home->didSelectRowAtIndexPath(0, 1);
    EXPECT_EQ(CommonManager::sharedManager().currentWindowID, "02");
    EXPECT_TRUE(qobject_cast<FunctionViewController *>(slider->rootViewController()->top()));

    sim->endConnections();
    ASSERT_TRUE(waitUntil([&] { return nav().top() == scan; }));
    EXPECT_TRUE(PopupCenter::shared().wasShown(PopupCenter::Error, QStringLiteral("设备退出连接")));
    EXPECT_EQ(scan->deviceCount(), 0);
    EXPECT_TRUE(FMManager::sharedManagerInstance().selectAllUserInfoDatas().isEmpty());
}

TEST_F(DiscoveryEndToEndTest, RestartedEndpointReachesTheScreenAgainOnTheNotice)
{
    AppDelegate::shareAppDelegate().didFinishLaunching();
    auto *scan = new ScanDeviceViewController;
    nav().push(scan);
    PhoneSocket server; // stands in for a server announcing from loopback
    const QByteArray announcement = QByteArray::fromHex(
        "414e44025001" "00000001" "0001" "41" "0001" "31" "01" "01000000" "7f000001" "01");

    // A restart leaves the endpoint without a receiver until the notice.
    UdpSocketController::shareInstance().startUdpServer();
    server.send(announcement, ctx().config().localPort, phoneAddress());
    spinFor(200);
    EXPECT_EQ(scan->deviceCount(), 0);

    ctx().notices().post(QStringLiteral("didChangeDelegateNotificaition"));
    server.send(announcement, ctx().config().localPort, phoneAddress());
    EXPECT_TRUE(waitUntil([&] { return scan->deviceCount() == 1; }));
}

} // namespace
