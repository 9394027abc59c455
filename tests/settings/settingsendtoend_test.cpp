// The settings screens against the simulator, over loopback: the client's
// frames are read by the simulator's own code and its replies by the
// client's parsers, so a layout mistake on either side shows here.
#include "core/deviceclock.h"
#include "net/replyrouter.h"
#include "net/udpsocketcontroller.h"
#include "protocol/settingscommands.h"
#include "screens/settings/restartviewcontroller.h"
#include "screens/settings/systemsetviewcontroller.h"
#include "screens/settings/timecorrectionviewcontroller.h"
#include "settingsfixture.h"
#include "sim/simfixture.h"

#include <QDateTime>

namespace {

class SettingsEndToEndTest : public SettingsScreenTest
{
protected:
    SettingsEndToEndTest() { m_useRecorder = false; }

    void configure(ContextConfig &c) override
    {
        m_simConfig = loopbackSimConfig(c.localPort);
        m_simConfig.families = {QStringLiteral("settings")};
        c.serverPort = m_simConfig.udpPort;
        c.serverTimePort = m_simConfig.timePort;
    }
    void SetUp() override
    {
        SettingsScreenTest::SetUp();
        m_sim = std::make_unique<SimServer>(m_simConfig);
        ASSERT_TRUE(m_sim->start()) << m_sim->errorString().toStdString();
        UdpSocketController &udp = UdpSocketController::shareInstance();
        ASSERT_TRUE(udp.startUdpServer());
        udp.changeServerDelegate(&m_receiver, [](const QByteArray &d, const QString &host, quint16) {
            ReplyRouter::shared().route(d, host);
        });
    }
    void TearDown() override
    {
        m_nav.reset();
        m_sim.reset();
        SettingsScreenTest::TearDown();
    }

    QVariant simState(const char *key) const
    {
        return m_sim->family(QStringLiteral("settings"))->state().value(QLatin1String(key));
    }
    bool simReaches(const char *key, const QVariant &value)
    {
        return waitUntil([&] { return simState(key) == value; }, 3000);
    }
    SystemSetViewController *openLoaded()
    {
        auto *screen = open<SystemSetViewController>();
        EXPECT_TRUE(waitUntil([&] { return screen->hasSystemInfo() && screen->yinliang() == "9"; }, 3000))
            << m_sim->logLines().join('\n').toStdString();
        return screen;
    }

    SimConfig m_simConfig;
    std::unique_ptr<SimServer> m_sim;
    QObject m_receiver;
};

TEST_F(SettingsEndToEndTest, OpeningShowsTheSimulatorsSettings)
{
    SystemSetViewController *screen = openLoaded();
    EXPECT_EQ(screen->liangdu(), "180");
    EXPECT_EQ(screen->beijingYanseField()->text(), "黄色");
    EXPECT_EQ(screen->setTimeField()->text(), "04:30:00");
    EXPECT_EQ(screen->transPathString(), "D:/QEVA/media");
    EXPECT_TRUE(screen->singleSwitch());
    EXPECT_TRUE(screen->kaijiSwitch());
    EXPECT_FALSE(screen->loginSwitch());
    EXPECT_EQ(screen->redValue(), "255");
    EXPECT_EQ(screen->greenValue(), "128");
    EXPECT_EQ(screen->blueValue(), "64");
    EXPECT_EQ(screen->shipinyuanField()->text(), "HDMI");
    EXPECT_EQ(screen->xuanzhuanduField()->text(), "90°");
    EXPECT_EQ(screen->yinliangMaximum(), 15);
    EXPECT_EQ(screen->yinliangSliderValue(), 9);
}

TEST_F(SettingsEndToEndTest, EveryImmediateSettingReachesTheSimulator)
{
    SystemSetViewController *screen = openLoaded();
    screen->yinyangValueChange(12);
    EXPECT_TRUE(simReaches("volume", 12));
    screen->sewenSwitchChange(false);
    EXPECT_TRUE(simReaches("screenSwitch", 2));
    choose(screen->shipinyuanField(), 1);
    EXPECT_TRUE(simReaches("videoSource", 1));
    choose(screen->xuanzhuanduField(), 3);
    EXPECT_TRUE(simReaches("rotation", 3));
    screen->greenValueChange(7);
    EXPECT_TRUE(simReaches("green", 7));
    EXPECT_EQ(simState("red"), 255);
    EXPECT_EQ(simState("blue"), 64);
}

TEST_F(SettingsEndToEndTest, SaveChangesTheSimulatorsRecordAndKeepsItsPath)
{
    SystemSetViewController *screen = openLoaded();
    screen->ButtonActionTouch(SystemSetViewController::LiangduDefaultTag);
    choose(screen->beijingYanseField(), 6);
    screen->ButtonActionTouch(SystemSetViewController::ClearTimeTag);
    EXPECT_EQ(simState("background"), 3) << "the colour waits for 保存";

    screen->ButtonActionTouch(SystemSetViewController::SaveTag);
    ASSERT_TRUE(simReaches("brightness", 200));
    EXPECT_EQ(simState("background"), 6);
    EXPECT_EQ(simState("restartTime"), "");
    EXPECT_EQ(simState("transferPath"), "D:/QEVA/media");
    EXPECT_EQ(simState("restart"), 1);
    EXPECT_EQ(simState("skipLogin"), 0);
    EXPECT_EQ(simState("wifi"), 1);

    // Opened again, the screen reads back what was saved.
    SystemSetViewController *again = openLoaded();
    EXPECT_EQ(again->liangdu(), "200");
    EXPECT_EQ(again->beijingYanseField()->text(), "蓝色");
    EXPECT_TRUE(again->setTimeField()->text().isEmpty());
}

TEST_F(SettingsEndToEndTest, RestartAndTimeCorrectionReachTheSimulator)
{
    DeviceClock &clock = ctx().shared<DeviceClock>();
    clock.msSinceEpoch = [] { return QDateTime(QDate(2015, 10, 19), QTime(8, 0), Qt::UTC).toMSecsSinceEpoch(); };
    clock.zoneId = [] { return QByteArray("Asia/Shanghai"); };

    open<RestartViewController>()->clickedBarButtonItemAction();
    EXPECT_TRUE(waitForLine(*m_sim, "restart requested by 127.0.0.1 (1 so far)"));

    open<TimeCorrectionViewController>()->clickedBarButtonItemAction();
    EXPECT_TRUE(waitForLine(*m_sim, "time correction 1445241600000 ms = 2015-10-19 08:00:00.000 UTC, zone Asia/Shanghai"));
}

} // namespace
