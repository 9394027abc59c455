// The playback pages, filled from the simulator on loopback, rendered
// offscreen and written to PNGs.
#include "net/udpsocketcontroller.h"
#include "pagerenderer.h"
#include "playlistfamily.h"
#include "screens/discovery/scandeviceviewcontroller.h"
#include "screens/playback/devicesourceviewcontroller.h"
#include "screens/playback/playcontrolviewcontroller.h"
#include "screens/playback/playwindowsetviewcontroller.h"
#include "screens/playback/windowsetviewcontroller.h"
#include "session/commonmanager.h"
#include "sim/simfixture.h"
#include "store/fmmanager.h"
#include "ui/alertcenter.h"
#include "ui/uikit.h"

#include <QImage>
#include <gtest/gtest.h>

// Qt Quick's software renderer keeps the textures it drew until the process
// ends; the leak check would report them as ours. The playback logic is
// checked for leaks by test_playback.
extern "C" const char *__asan_default_options()
{
    return "detect_leaks=0";
}

namespace {

constexpr int kBar = 48;    // the frame's navigation bar
constexpr int kHeader = 48; // the list header of the play list
constexpr int kRow = 52;
const QColor kPlaying(0xcf, 0xe7, 0xf7);

class PlaybackPagesTest : public ContextTest
{
protected:
    PlaybackPagesTest() { m_useRecorder = false; }
    void configure(ContextConfig &c) override
    {
        SimConfig s = loopbackSimConfig(c.localPort);
        s.families = QStringList{"login", "window", "playlist"};
        s.name = QStringLiteral("大厅屏幕");
        s.windows = {SimWindow{0x01, 0, 0}, SimWindow{0x02, 0, 0}};
        m_sim = std::make_unique<SimServer>(s);
        c.serverPort = s.udpPort;
    }
    void SetUp() override
    {
        ContextTest::SetUp();
        ASSERT_TRUE(m_sim->start()) << m_sim->errorString().toStdString();
        m_lists = m_sim->family<PlayListFamily>();
        ASSERT_TRUE(UdpSocketController::shareInstance().startUdpServer());
        ASSERT_TRUE(UiKit::shared().navigation().push(new ScanDeviceViewController));
        m_sim->announceNow();
        ASSERT_TRUE(waitUntil([] { return !FMManager::sharedManagerInstance().selectAllUserInfoDatas().isEmpty(); }));
        CommonManager &cm = CommonManager::sharedManager();
        cm.currentSelectDev = FMManager::sharedManagerInstance().selectAllUserInfoDatas().constFirst();
        cm.currentWindowID = "01";
    }
    void TearDown() override
    {
        ContextTest::TearDown();
        m_sim.reset();
    }
    template <class T>
    T *open()
    {
        auto *screen = new T;
        EXPECT_TRUE(UiKit::shared().navigation().push(screen));
        return screen;
    }
    QImage render(KTBaseViewController *screen, const QString &name)
    {
        QStringList warnings;
        const QString png = QStringLiteral(QEVA_SCREENSHOT_DIR "/playback/%1.png").arg(name);
        EXPECT_TRUE(PageRenderer::renderScreen(screen, png, &warnings));
        EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
        const QImage image(png);
        EXPECT_EQ(image.size(), PageRenderer::kPhone);
        return image;
    }
    static bool near(const QColor &a, const QColor &b)
    {
        return qAbs(a.red() - b.red()) < 8 && qAbs(a.green() - b.green()) < 8 && qAbs(a.blue() - b.blue()) < 8;
    }

    std::unique_ptr<SimServer> m_sim;
    PlayListFamily *m_lists = nullptr;
};

TEST_F(PlaybackPagesTest, WindowList)
{
    auto *s = open<WindowSetViewController>();
    ASSERT_EQ(s->rows().size(), 2);
    s->didSelectRow(1);
    render(s, "WindowSetViewController");
}

TEST_F(PlaybackPagesTest, WindowSettings)
{
    auto *s = open<PlayWindowSetViewController>();
    ASSERT_TRUE(waitUntil([&] { return s->daxiaoX() == "1920"; }));
    s->didSelectedCheckBox(PlayWindowSetViewController::UpTopBox, true);
    render(s, "PlayWindowSetViewController");
}

TEST_F(PlaybackPagesTest, PlayControlWithItsPanelsAndQuestions)
{
    const QStringList files{"/media/开场动画.mp4", "/media/产品介绍.mp4", "/media/门店海报.jpg",
                            "/media/促销活动.mp4", "/media/结束语.jpg"};
    for (const QString &f : files)
        m_lists->addFile(1, f);
    m_lists->setChecked(1, 3, false);
    auto *s = open<PlayControlViewController>();
    ASSERT_TRUE(waitUntil([&] { return s->rows().size() == 5; }));
    ASSERT_TRUE(m_lists->playFile(1, files[1], phoneAddress()));
    ASSERT_TRUE(waitUntil([&] { return s->currentPlayIndex() == 1; }));

    const QImage list = render(s, "PlayControlViewController");
    const int playingRow = kBar + kHeader + kRow + kRow / 2;
    EXPECT_TRUE(near(list.pixelColor(300, playingRow), kPlaying));
    EXPECT_FALSE(near(list.pixelColor(300, playingRow + kRow), kPlaying));

    s->controlButtonAction(PlayControlViewController::MoreTag1);
    s->controlButtonAction(PlayControlViewController::YinliangTag);
    const QImage panel = render(s, "PlayControlViewController_volume");
    EXPECT_NE(panel, list);
    s->closeVolumePanel();

    s->deleteRow(2);
    render(s, "PlayControlViewController_delete");
    AlertCenter::shared().answer(2);
    s->controlButtonAction(PlayControlViewController::DeleteTag);
    render(s, "PlayControlViewController_clear");
    AlertCenter::shared().answer(1);
}

TEST_F(PlaybackPagesTest, ServerFiles)
{
    for (const char *f : {"/media/开场动画.mp4", "/media/产品介绍.mp4", "/media/门店海报.jpg", "/media/新品.mp4"})
        m_lists->addServerFile(f);
    auto *s = new DeviceSourceViewController;
    s->setWindowID("01");
    s->setAddFilesType("1");
    ASSERT_TRUE(UiKit::shared().navigation().push(s));
    ASSERT_TRUE(waitUntil([&] { return s->rows().size() == 4; }));
    s->didSelectRow(0);
    s->didSelectRow(2);
    render(s, "DeviceSourceViewController");
}

} // namespace
