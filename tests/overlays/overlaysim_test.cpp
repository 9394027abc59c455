#include "net/replyrouter.h"
#include "net/udpsocketcontroller.h"
#include "screens/overlays/animationpushviewcontroller.h"
#include "screens/overlays/animationviewcontroller.h"
#include "screens/overlays/clocksetviewcontroller.h"
#include "screens/overlays/spotwordsviewcontroller.h"
#include "session/commonmanager.h"
#include "sim/simfixture.h"
#include "store/fmmanager.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/pickerfield.h"

#include <memory>

namespace {

QStringList linesStartingWith(const SimServer &sim, const QString &prefix)
{
    QStringList out;
    for (const QString &l : sim.logLines())
        if (l.startsWith(prefix))
            out << l;
    return out;
}

// --- The simulator alone, frames written byte by byte from the phone's side.

class OverlaySimTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SimConfig c = loopbackSimConfig(m_phone.port());
        c.families = QStringList{QStringLiteral("overlay")};
        m_sim = std::make_unique<SimServer>(c);
        ASSERT_TRUE(m_sim->start()) << m_sim->errorString().toStdString();
    }
    void send(const char *hex) { m_phone.send(QByteArray::fromHex(hex), m_sim->udpPort()); }
    QByteArray reply(const char *prefixHex)
    {
        const auto d = m_phone.next(QByteArray::fromHex(prefixHex));
        return d ? d->data() : QByteArray("<none>");
    }
    QVariantMap record(const char *which) const { return m_sim->family("overlay")->state().value(which).toMap(); }

    PhoneSocket m_phone;
    std::unique_ptr<SimServer> m_sim;
};

TEST_F(OverlaySimTest, AnswersTheQueriesWithItsRecordsAtTheCarriedAddress)
{
    send("414e44015401" "7f000001");
    EXPECT_EQ(reply("414e44025401"),
              QByteArray::fromHex("414e44025401" "01" "05" "01" "01" "20" "0000" "0000" "0000" "000c")
                  + QStringLiteral("欢迎光临").toUtf8());
    // The clock's answer has a code of its own.
    send("414e44015503" "7f000001");
    EXPECT_EQ(reply("414e44025502"), QByteArray::fromHex("414e44025502" "02" "0000" "0000" "00c8" "0064" "01"));
}

TEST_F(OverlaySimTest, AppliesTheSetFramesAndAnswersWithThem)
{
    send("414E44015402" "00" "0a" "03" "04" "18" "0010" "0020" "0000" "0006" "e4bda0e5a5bd");
    ASSERT_TRUE(waitForLine(*m_sim, QStringLiteral("state overlay text effect 00 speed 10 colour 03 direction 04 "
                                                   "size 24 at 16,32,0 \"你好\"")));
    send("414e44015504" "01" "0010" "0020" "0040" "0040" "02");
    ASSERT_TRUE(waitForLine(*m_sim, QStringLiteral("state overlay clock type 01 at 16,32 size 64x64 execute 02")));

    send("414e44015401" "7f000001");
    EXPECT_EQ(reply("414e44025401"),
              QByteArray::fromHex("414e44025401" "00" "0a" "03" "04" "18" "0010" "0020" "0000" "0006" "e4bda0e5a5bd"));
    send("414e44015503" "7f000001");
    EXPECT_EQ(reply("414e44025502"), QByteArray::fromHex("414e44025502" "01" "0010" "0020" "0040" "0040" "02"));
}

TEST_F(OverlaySimTest, LogsEachEffectAndLeavesRecordsAloneForCutFrames)
{
    send("414E44015505" "01" "0300");
    send("414E44015505" "02" "0100");
    ASSERT_TRUE(waitForLine(*m_sim, QStringLiteral("state overlay effect window 02 group 01 variant 00")));
    EXPECT_EQ(linesStartingWith(*m_sim, QStringLiteral("state overlay effect")),
              (QStringList{"state overlay effect window 01 group 03 variant 00",
                           "state overlay effect window 02 group 01 variant 00"}));
    // Window 02 is not one of the simulator's windows: said, and still logged.
    EXPECT_TRUE(hasLine(*m_sim, QStringLiteral("5505 window 02 is not one of this server's windows")));

    send("414E44015402" "00" "0a" "03" "04" "18" "0010" "0020" "0000" "0009" "616263");
    send("414e44015504" "01" "0010" "0020");
    send("414E44015505" "01" "03");
    ASSERT_TRUE(waitUntil([&] { return linesStartingWith(*m_sim, QStringLiteral("malformed ")).size() == 3; }));
    EXPECT_EQ(record("text").value("content").toString(), QStringLiteral("欢迎光临"));
    EXPECT_EQ(record("clock").value("width").toInt(), 200);
    EXPECT_EQ(linesStartingWith(*m_sim, QStringLiteral("state overlay")).size(), 2);
}

// --- Client and simulator on loopback. ---------------------------------------

class OverlayEndToEndTest : public ContextTest
{
protected:
    OverlayEndToEndTest() { m_useRecorder = false; }
    void configure(ContextConfig &c) override
    {
        SimConfig s = loopbackSimConfig(c.localPort);
        s.families = QStringList{QStringLiteral("overlay")};
        m_sim = std::make_unique<SimServer>(s);
        c.serverPort = s.udpPort;
    }
    void SetUp() override
    {
        ContextTest::SetUp();
        ASSERT_TRUE(m_sim->start()) << m_sim->errorString().toStdString();
        UdpSocketController &udp = UdpSocketController::shareInstance();
        ASSERT_TRUE(udp.startUdpServer());
        udp.changeServerDelegate(&m_receiver, [](const QByteArray &d, const QString &host, quint16) {
            ReplyRouter::shared().route(d, host);
        });
        const QString sim = simAddress().toString();
        ASSERT_TRUE(FMManager::sharedManagerInstance().insertObjectByUserName(
            QStringLiteral("Default"), QStringLiteral("qeva-sim"), QStringLiteral("468"), QStringLiteral("01"),
            QStringLiteral("1"), sim, QStringLiteral("00000001"), QStringLiteral("1"), QStringLiteral("01000000"),
            QStringLiteral("0")));
        selectServer(sim, QStringLiteral("01"));
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
        m_nav = std::make_unique<KTBaseNavigationController>(screen);
        return screen;
    }

    QObject m_receiver;
    std::unique_ptr<SimServer> m_sim;
    std::unique_ptr<KTBaseNavigationController> m_nav;
};

TEST_F(OverlayEndToEndTest, TheTextScreenShowsTheRecordAndDoneChangesIt)
{
    auto *s = open<SpotWordsViewController>();
    ASSERT_TRUE(waitUntil([&] { return s->contentText() == QStringLiteral("欢迎光临"); }));
    EXPECT_EQ(s->suduText(), "5");
    EXPECT_EQ(s->colorField()->text(), QStringLiteral("白色"));
    EXPECT_EQ(s->fangxiangField()->text(), QStringLiteral("从右往左"));
    EXPECT_EQ(s->daxiaoText(), "32");

    s->setContentText(QStringLiteral("新品上市"));
    s->setSuduText(QStringLiteral("9"));
    s->colorField()->beginEditing();
    s->colorField()->selectRow(12);
    s->colorField()->endEditing();
    s->effectSwitchAction(false);
    s->clickedBarButtonItemAction();
    ASSERT_TRUE(waitForLine(*m_sim, QStringLiteral("state overlay text effect 00 speed 9 colour 0c direction 01 "
                                                   "size 32 at 0,0,0 \"新品上市\"")));

    // A screen opened afresh shows the changed record.
    s = open<SpotWordsViewController>();
    ASSERT_TRUE(waitUntil([&] { return s->contentText() == QStringLiteral("新品上市"); }));
    EXPECT_EQ(s->colorField()->text(), QStringLiteral("亮蓝色"));
    EXPECT_FALSE(s->isEffectOn());
}

TEST_F(OverlayEndToEndTest, TheClockScreenShowsTheRecordAndDoneChangesIt)
{
    auto *s = open<ClockSetViewController>();
    ASSERT_TRUE(waitUntil([&] { return s->widthText() == "200"; }));
    EXPECT_EQ(s->heightText(), "100");
    EXPECT_EQ(s->segmentIndex(), 0);
    EXPECT_TRUE(s->isExecuteOn());

    s->segmentAction(1);
    s->setXText(QStringLiteral("40"));
    s->executeSwitchChange(false);
    s->clickedBarButtonItemAction();
    ASSERT_TRUE(waitForLine(*m_sim, QStringLiteral("state overlay clock type 01 at 40,0 size 200x100 execute 02")));

    s = open<ClockSetViewController>();
    ASSERT_TRUE(waitUntil([&] { return s->xText() == "40"; }));
    EXPECT_EQ(s->showImage(), "device_53");
    EXPECT_FALSE(s->isExecuteOn());
}

TEST_F(OverlayEndToEndTest, AThrowReachesTheSimulatorOnce)
{
    auto *chooser = open<AnimationViewController>();
    chooser->animationButtonAction(4);
    auto *push = qobject_cast<AnimationPushViewController *>(m_nav->top());
    ASSERT_NE(push, nullptr);
    push->dragMoved(160, 150);
    push->dragEnded(160, 150);
    push->dragEnded(160, 150);
    ASSERT_TRUE(waitForLine(*m_sim, QStringLiteral("state overlay effect window 01 group 03 variant 00")));
    spinFor(200);
    EXPECT_EQ(linesStartingWith(*m_sim, QStringLiteral("state overlay effect")).size(), 1);
    EXPECT_EQ(linesStartingWith(*m_sim, QStringLiteral("5505 ")).size(), 1);
}

} // namespace
