#include "net/replyrouter.h"
#include "net/udpsocketcontroller.h"
#include "playlistfamily.h"
#include "screens/playback/devicesourceviewcontroller.h"
#include "screens/playback/playselectviewcontroller.h"
#include "screens/timedplay/addtimeplayviewcontroller.h"
#include "screens/timedplay/timeplaywordsviewcontroller.h"
#include "screens/timedplay/timingplayviewcontroller.h"
#include "sim/simfixture.h"
#include "timedplayfamily.h"
#include "ui/datetimefield.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/pickerfield.h"

#include <gtest/gtest.h>

namespace {

// The client for real on 127.0.0.1 and the simulator on 127.0.0.2.
class TimedPlayEndToEndTest : public ContextTest
{
protected:
    TimedPlayEndToEndTest() { m_useRecorder = false; }
    void configure(ContextConfig &c) override
    {
        m_sim = std::make_unique<SimServer>(loopbackSimConfig(c.localPort));
        m_simStarted = m_sim->start();
        c.serverPort = m_sim->udpPort();
        c.serverTimePort = m_sim->timePort();
        c.serverFilePort = m_sim->tcpPort();
    }
    void SetUp() override
    {
        ContextTest::SetUp();
        ASSERT_TRUE(m_simStarted) << m_sim->errorString().toStdString();
        UdpSocketController &udp = UdpSocketController::shareInstance();
        ASSERT_TRUE(udp.startUdpServer());
        // What the discovery screen does: every datagram through the router.
        udp.changeServerDelegate(&m_receiver, [](const QByteArray &d, const QString &host, quint16) {
            ReplyRouter::shared().route(d, host);
        });
        selectServer(simAddress().toString(), QStringLiteral("01"));
        m_nav = std::make_unique<KTBaseNavigationController>(new KTBaseViewController);
    }
    void TearDown() override
    {
        m_nav.reset();
        ContextTest::TearDown();
    }
    template <class T>
    T *top() const
    {
        return qobject_cast<T *>(m_nav->top());
    }
    static QStringList column(const QVariantList &rows, const char *key)
    {
        QStringList out;
        for (const QVariant &v : rows)
            out << v.toMap().value(key).toString();
        return out;
    }

    std::unique_ptr<SimServer> m_sim;
    bool m_simStarted = false;
    QObject m_receiver;
    std::unique_ptr<KTBaseNavigationController> m_nav;
};

TEST_F(TimedPlayEndToEndTest, ASchemeComposedInTheEditorIsStoredListedAndItsFilesShown)
{
    PlayListFamily *playlist = m_sim->family<PlayListFamily>();
    ASSERT_NE(playlist, nullptr);
    playlist->addServerFile(QStringLiteral("/media/早间新闻.mp4"));
    playlist->addServerFile(QStringLiteral("/media/other.mp4"));
    playlist->addServerFile(QStringLiteral("/media/天气.mp4"));

    // The list: no schemes yet, so no reply; add one.
    auto *list = new AddTimePlayViewController;
    m_nav->push(list);
    ASSERT_TRUE(waitForLine(*m_sim, "schemes of window 01: 0"));
    list->buttonAction(AddTimePlayViewController::AddTag);

    auto *settings = top<TimingPlayViewController>();
    ASSERT_NE(settings, nullptr);
    settings->setProjectName(QStringLiteral("早间"));
    settings->didSelectedCheckBox(true);
    settings->senmentControlAction(TimingPlayViewController::DigitalClockSegment);
    settings->setClockX("10");
    settings->setClockY("20");
    settings->setClockWidth("200");
    settings->setClockHeight("80");
    settings->startDateField()->beginEditing();
    settings->startDateField()->selectDate(QDate(2016, 3, 1));
    settings->startDateField()->endEditing();
    settings->endDateField()->beginEditing();
    settings->endDateField()->selectDate(QDate(2016, 3, 31));
    settings->endDateField()->endEditing();
    settings->startTimeField()->beginEditing();
    settings->startTimeField()->selectTime(QTime(8, 0, 0));
    settings->startTimeField()->endEditing();
    settings->endTimeField()->beginEditing();
    settings->endTimeField()->selectTime(QTime(18, 0, 0));
    settings->endTimeField()->endEditing();
    settings->dateButtonAction(TimingPlayViewController::AddDateTag);
    settings->nextStepAction();

    auto *words = top<TimePlayWordsViewController>();
    ASSERT_NE(words, nullptr);
    words->setWordString(QStringLiteral("欢迎"));
    words->setSuduText("3");
    words->setWordSizeText("24");
    words->colorField()->selectRow(12);
    words->fangxiangField()->selectRow(1);
    words->nextStepAction();

    // The file list asks for the new scheme's files (none), then takes two
    // chosen on the server files screen.
    auto *files = top<PlaySelectViewController>();
    ASSERT_NE(files, nullptr);
    ASSERT_TRUE(waitForLine(*m_sim, "files of window 01 scheme 01: no such scheme"));
    files->addFilesAction();
    auto *source = top<DeviceSourceViewController>();
    ASSERT_NE(source, nullptr);
    ASSERT_TRUE(waitUntil([&] { return source->dataSource().size() == 3; }));
    source->didSelectRow(0);
    source->didSelectRow(2);
    source->confirmAction();
    ASSERT_EQ(m_nav->top(), files);
    EXPECT_EQ(column(files->rows(), "fileName"), QStringList({"早间新闻.mp4", "天气.mp4"}));
    files->doneAction();
    EXPECT_EQ(m_nav->count(), 1) << "back to the server list";

    ASSERT_TRUE(waitForLine(*m_sim, "state timedplay window 01 scheme 01 \"早间\" stored with 2 file(s); "
                                    "window 01 has 1 scheme(s)"));
    const QVariantMap stored =
        m_sim->family<TimedPlayFamily>()->state().value("windows").toMap().value("01").toList().value(0).toMap();
    EXPECT_EQ(stored.value("clockType").toInt(), 1);
    EXPECT_EQ(stored.value("clock").toList(), (QVariantList{10, 20, 200, 80}));
    EXPECT_EQ(stored.value("words").toString(), QStringLiteral("欢迎"));
    EXPECT_EQ(stored.value("wordColor").toInt(), 12);
    EXPECT_EQ(stored.value("wordFangxiang").toInt(), 1);
    EXPECT_EQ(stored.value("schedule").toString(), QStringLiteral("2016/03/01~2016/03/31#08:00:00~18:00:00;"));
    EXPECT_EQ(stored.value("files").toStringList(), QStringList({"/media/早间新闻.mp4", "/media/天气.mp4"}));

    // Listed again, and its files shown by the file list.
    auto *again = new AddTimePlayViewController;
    m_nav->push(again);
    ASSERT_TRUE(waitUntil([&] { return again->dataSource().size() == 1; }));
    const QVariantMap record = again->dataSource().first().toMap();
    EXPECT_EQ(record.value("projectName").toString(), QStringLiteral("早间"));
    EXPECT_EQ(record.value("clockDict").toMap().value("clockWHex").toString(), QStringLiteral("00c8"));
    EXPECT_EQ(record.value("wordsDict").toMap().value("wordSizeHex").toString(), QStringLiteral("18"));

    again->didSelectRow(0);
    again->buttonAction(AddTimePlayViewController::ModifyTag);
    auto *modify = top<TimingPlayViewController>();
    ASSERT_NE(modify, nullptr);
    EXPECT_EQ(modify->projectName(), QStringLiteral("早间"));
    EXPECT_EQ(modify->clockWidth(), QStringLiteral("200"));
    modify->nextStepAction();
    auto *modifyWords = top<TimePlayWordsViewController>();
    ASSERT_NE(modifyWords, nullptr);
    EXPECT_EQ(modifyWords->wordString(), QStringLiteral("欢迎"));
    modifyWords->nextStepAction();
    auto *storedFiles = top<PlaySelectViewController>();
    ASSERT_NE(storedFiles, nullptr);
    ASSERT_TRUE(waitUntil([&] { return storedFiles->rows().size() == 2; }));
    EXPECT_EQ(column(storedFiles->rows(), "fileName"), QStringList({"早间新闻.mp4", "天气.mp4"}));
}

} // namespace
