// The settings pages, filled from the simulator over loopback, rendered
// offscreen and written to PNGs.
#include "net/replyrouter.h"
#include "net/udpsocketcontroller.h"
#include "pagerenderer.h"
#include "screens/settings/restartviewcontroller.h"
#include "screens/settings/systemsetviewcontroller.h"
#include "screens/settings/timecorrectionviewcontroller.h"
#include "sim/simfixture.h"
#include "store/fmmanager.h"
#include "ui/uikit.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

class SettingsPagesTest : public ContextTest
{
protected:
    SettingsPagesTest() { m_useRecorder = false; }

    void configure(ContextConfig &c) override
    {
        m_simConfig = loopbackSimConfig(c.localPort);
        m_simConfig.families = {QStringLiteral("settings")};
        c.serverPort = m_simConfig.udpPort;
        c.serverTimePort = m_simConfig.timePort;
    }
    void SetUp() override
    {
        ContextTest::SetUp();
        m_sim = std::make_unique<SimServer>(m_simConfig);
        ASSERT_TRUE(m_sim->start()) << m_sim->errorString().toStdString();
        UdpSocketController &udp = UdpSocketController::shareInstance();
        ASSERT_TRUE(udp.startUdpServer());
        udp.changeServerDelegate(&m_receiver, [](const QByteArray &d, const QString &host, quint16) {
            ReplyRouter::shared().route(d, host);
        });
        for (const auto &[name, ip] : {std::pair{"大厅屏幕", "127.0.0.2"}, std::pair{"会议室", "127.0.0.3"}})
            ASSERT_TRUE(FMManager::sharedManagerInstance().insertObjectByUserName(
                "Default", QString::fromUtf8(name), "468", "01", "1", QLatin1String(ip), "00000001", "1", "01000000", "0"));
        selectServer("127.0.0.2");
    }
    void TearDown() override
    {
        UiKit::shared().navigation().popToRoot();
        m_sim.reset();
        ContextTest::TearDown();
    }

    QImage render(KTBaseViewController *screen)
    {
        QStringList warnings;
        const QString png = QStringLiteral(QEVA_SCREENSHOT_DIR "/settings/%1.png").arg(screen->pageName());
        EXPECT_TRUE(PageRenderer::renderScreen(screen, png, &warnings));
        EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
        const QImage image(png);
        EXPECT_EQ(image.size(), PageRenderer::kPhone);
        return image;
    }

    SimConfig m_simConfig;
    std::unique_ptr<SimServer> m_sim;
    QObject m_receiver;
};

TEST_F(SettingsPagesTest, SystemSettingsPageShowsTheSimulatorsValues)
{
    auto *screen = new SystemSetViewController;
    ASSERT_TRUE(UiKit::shared().navigation().push(screen));
    ASSERT_TRUE(waitUntil([&] { return screen->hasSystemInfo() && screen->yinliang() == "9"; }, 3000));
    ASSERT_EQ(screen->shipinyuanField()->text(), "HDMI");
    render(screen);
}

TEST_F(SettingsPagesTest, RestartAndTimeCorrectionPages)
{
    for (KTBaseViewController *screen : {static_cast<KTBaseViewController *>(new RestartViewController),
                                         static_cast<KTBaseViewController *>(new TimeCorrectionViewController)}) {
        SCOPED_TRACE(screen->pageName().toStdString());
        ASSERT_TRUE(UiKit::shared().navigation().push(screen));
        render(screen);
        UiKit::shared().navigation().popToRoot();
    }
}

} // namespace
