// The playback screens against the simulator on loopback, with the real
// discovery screen underneath recording what the simulator announces.
#include "net/udpsocketcontroller.h"
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
#include "ui/ktbasenavigationcontroller.h"
#include "ui/pickerfield.h"
#include "ui/popupcenter.h"

#include <memory>

namespace {

class PlaybackEndToEndTest : public ContextTest
{
protected:
    PlaybackEndToEndTest() { m_useRecorder = false; }
    void configure(ContextConfig &c) override
    {
        SimConfig s = loopbackSimConfig(c.localPort);
        s.families = QStringList{"login", "window", "playlist"};
        m_sim = std::make_unique<SimServer>(s);
        c.serverPort = s.udpPort;
    }
    void SetUp() override
    {
        ContextTest::SetUp();
        ASSERT_TRUE(m_sim->start()) << m_sim->errorString().toStdString();
        m_lists = m_sim->family<PlayListFamily>();
        ASSERT_TRUE(UdpSocketController::shareInstance().startUdpServer());
        m_nav = std::make_unique<KTBaseNavigationController>(new ScanDeviceViewController);
        m_sim->announceNow();
        ASSERT_TRUE(waitUntil([] { return !FMManager::sharedManagerInstance().selectAllUserInfoDatas().isEmpty(); }));
        CommonManager &cm = CommonManager::sharedManager();
        cm.currentSelectDev = FMManager::sharedManagerInstance().selectAllUserInfoDatas().constFirst();
        cm.currentWindowID = "01";
        ASSERT_EQ(cm.currentSelectDev.deviceIp, simAddress().toString());
    }
    void TearDown() override
    {
        m_nav.reset();
        ContextTest::TearDown();
        m_sim.reset();
    }
    template <class T>
    T *open()
    {
        auto *screen = new T;
        EXPECT_TRUE(m_nav->push(screen));
        return screen;
    }
    static QStringList names(const QVariantList &rows)
    {
        QStringList out;
        for (const QVariant &r : rows)
            out << r.toMap().value("fileName").toString();
        return out;
    }
    bool waitForState(const QString &line) { return waitForLine(*m_sim, "state " + line); }
    PopupCenter &popups() { return ctx().shared<PopupCenter>(); }
    AlertCenter &alerts() { return ctx().shared<AlertCenter>(); }

    std::unique_ptr<SimServer> m_sim;
    PlayListFamily *m_lists = nullptr;
    std::unique_ptr<KTBaseNavigationController> m_nav;
};

TEST_F(PlaybackEndToEndTest, ThePlayControlScreenShowsTheSimulatorsList)
{
    for (const char *n : {"/media/开场.mp4", "/media/b.jpg", "/media/c.avi"})
        m_lists->addFile(1, n);
    m_lists->addFile(2, "/media/other.mp4");
    m_lists->setChecked(1, 1, false);
    auto *s = open<PlayControlViewController>();
    ASSERT_TRUE(waitUntil([&] { return s->rows().size() == 3; }));
    EXPECT_EQ(names(s->rows()), (QStringList{"开场.mp4", "b.jpg", "c.avi"}));
    EXPECT_FALSE(s->rows()[1].toMap().value("checked").toBool());
    EXPECT_FALSE(popups().isProgressVisible());

    // A window without entries answers that it has none.
    m_lists->removeWindow(1);
    s->clickedBarButtonItemActionWithTag(PlayControlViewController::RefreshBarButton);
    ASSERT_TRUE(waitUntil([&] { return !popups().isProgressVisible(); }));
    EXPECT_TRUE(s->rows().isEmpty());
}

TEST_F(PlaybackEndToEndTest, TheScreensActionsChangeTheSimulatorsState)
{
    for (const char *n : {"a.mp4", "b.mp4", "c.mp4", "d.mp4"})
        m_lists->addFile(1, n);
    m_lists->setChecked(1, 1, false);
    auto *s = open<PlayControlViewController>();
    ASSERT_TRUE(waitUntil([&] { return s->rows().size() == 4; }));

    s->didSelectRow(1);
    ASSERT_TRUE(waitForState("playlist 01 entry 1 checked"));
    EXPECT_EQ(m_lists->playing(1), "b.mp4");

    // The simulator's next entry comes back as the play state.
    s->controlButtonAction(PlayControlViewController::NextTag);
    ASSERT_TRUE(waitUntil([&] { return s->currentPlayIndex() == 2; }));
    EXPECT_TRUE(s->rows()[2].toMap().value("playing").toBool());

    s->clickedCellButtonWith(PlayControlViewController::UncheckAction, 0);
    ASSERT_TRUE(waitForState("playlist 01 entry 0 unchecked"));
    s->controlButtonAction(PlayControlViewController::ControlModelTag);
    ASSERT_TRUE(waitForState("playlist 01 mode 1"));
    EXPECT_EQ(m_sim->windows().value(0).playMode, 1);
    s->sliderValueChange(7);
    ASSERT_TRUE(waitForState("playlist 01 volume 7"));

    s->deleteRow(0);
    alerts().answer(0);
    ASSERT_TRUE(waitForState("playlist 01 removed 0 \"a.mp4\"; 3 entries"));
    // The playing entry moved up a place; the simulator says so.
    ASSERT_TRUE(waitUntil([&] { return s->currentPlayIndex() == 1; }));
    EXPECT_EQ(names(s->rows()), (QStringList{"b.mp4", "c.mp4", "d.mp4"}));

    // Loading again shows what the simulator holds now.
    s->clickedBarButtonItemActionWithTag(PlayControlViewController::RefreshBarButton);
    ASSERT_TRUE(waitUntil([&] { return s->rows().size() == 3; }));
    EXPECT_EQ(s->volumeText(), "7");
    EXPECT_TRUE(s->rows()[0].toMap().value("checked").toBool());

    s->controlButtonAction(PlayControlViewController::DeleteTag);
    alerts().answer(0);
    ASSERT_TRUE(waitForState("playlist 01 cleared"));
    EXPECT_TRUE(m_lists->files(1).isEmpty());
}

TEST_F(PlaybackEndToEndTest, ServerFilesChosenOnTheirScreenJoinTheList)
{
    for (const char *n : {"/srv/a.mp4", "/srv/宣传片.mp4", "/srv/c.jpg"})
        m_lists->addServerFile(n);
    m_lists->addFile(1, "/srv/old.mp4");
    auto *s = open<PlayControlViewController>();
    ASSERT_TRUE(waitUntil([&] { return s->rows().size() == 1; }));

    s->controlButtonAction(PlayControlViewController::FileTag);
    auto *files = qobject_cast<DeviceSourceViewController *>(m_nav->top());
    ASSERT_NE(files, nullptr);
    ASSERT_TRUE(waitUntil([&] { return files->rows().size() == 3; }));
    EXPECT_EQ(names(files->rows()), (QStringList{"a.mp4", "宣传片.mp4", "c.jpg"}));
    files->didSelectRow(2);
    files->didSelectRow(1);
    files->confirmAction();

    EXPECT_EQ(m_nav->top(), s);
    ASSERT_TRUE(waitUntil([&] { return s->rows().size() == 3; }));
    EXPECT_EQ(names(s->rows()), (QStringList{"old.mp4", "c.jpg", "宣传片.mp4"}));
    EXPECT_FALSE(hasLine(*m_sim, "append 01: end byte")) << "the end bytes check out";
}

TEST_F(PlaybackEndToEndTest, AddingAndClosingWindowsUpdatesTheWindowList)
{
    auto *s = open<WindowSetViewController>();
    ASSERT_EQ(s->rows().size(), 1);
    EXPECT_TRUE(s->isAddWindowEnabled());

    s->ButtonActionTouch(WindowSetViewController::AddWindowButton);
    ASSERT_TRUE(waitUntil([&] { return s->rows().size() == 2; }));
    EXPECT_EQ(s->rows()[1].toMap().value("name"), "视频窗口_02");
    EXPECT_FALSE(s->isAddWindowEnabled());
    EXPECT_FALSE(popups().isProgressVisible());

    s->didSelectRow(0);
    s->ButtonActionTouch(WindowSetViewController::CloseWindowButton);
    ASSERT_TRUE(waitUntil([&] { return s->rows().size() == 1; }));
    EXPECT_EQ(s->rows()[0].toMap().value("name"), "视频窗口_02");
    EXPECT_TRUE(s->isAddWindowEnabled());
    EXPECT_EQ(m_sim->family("window")->state().value("ids").toStringList(), QStringList{"02"});
}

TEST_F(PlaybackEndToEndTest, WindowSettingsRoundTrip)
{
    auto *s = open<PlayWindowSetViewController>();
    ASSERT_TRUE(waitUntil([&] { return s->daxiaoX() == "1920"; }));
    s->setWeizhiX("100");
    s->setDaxiaoY("720");
    s->didSelectedCheckBox(PlayWindowSetViewController::FullScreenBox, true);
    s->animationField()->beginEditing();
    s->animationField()->selectRow(3);
    s->animationField()->endEditing();
    s->clickedBarButtonItemAction();
    ASSERT_TRUE(waitForState("window 01 full screen 01 on top 02 at 100,0 size 1920x720 effect 3 interval 5"));

    auto *again = open<PlayWindowSetViewController>();
    ASSERT_TRUE(waitUntil([&] { return again->daxiaoY() == "720"; }));
    EXPECT_EQ(again->weizhiX(), "100");
    EXPECT_EQ(again->animationField()->text(), "从左到右");
}

} // namespace
