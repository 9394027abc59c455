#include "playbackfixture.h"
#include "screens/playback/devicesourceviewcontroller.h"
#include "screens/playback/playcontrolviewcontroller.h"


namespace {

class PlayControlTest : public PlaybackScreenTest
{
protected:
    void SetUp() override
    {
        PlaybackScreenTest::SetUp();
        ctx().preferences().setString("CurrentIP", "127.0.0.2");
    }
    PlayControlViewController *openScreen()
    {
        auto *s = open<PlayControlViewController>();
        m_recorder.frames.clear();
        return s;
    }
    // The list as a server sends it: one reply per entry, the last without ff00.
    void sendList(const QList<QPair<QByteArray, bool>> &entries, int volume = 5)
    {
        for (int i = 0; i < entries.size(); ++i)
            post(Catalogue::kPlayListReply,
                 Replies::entry(volume, i + 1, entries[i].second ? 1 : 0, entries[i].first, i + 1 < entries.size()));
    }
    PlayControlViewController *openWithList(int count = 4)
    {
        auto *s = openScreen();
        QList<QPair<QByteArray, bool>> entries;
        for (int i = 0; i < count; ++i)
            entries << qMakePair("/media/file" + QByteArray::number(i) + ".mp4", i % 2 == 0);
        sendList(entries);
        popups().clearHistory();
        return s;
    }
    static QStringList names(const PlayControlViewController *s)
    {
        QStringList out;
        for (const QVariant &r : s->rows())
            out << r.toMap().value("fileName").toString();
        return out;
    }
    // The rows the screen asked the page to highlight, with their scroll flag.
    static std::shared_ptr<QList<QVariantList>> watchHighlights(PlayControlViewController *s)
    {
        auto seen = std::make_shared<QList<QVariantList>>();
        QObject::connect(s, &PlayControlViewController::rowHighlighted, s,
                         [seen](int row, bool scroll) { seen->append({row, scroll}); });
        return seen;
    }
    static QList<bool> checks(const PlayControlViewController *s)
    {
        QList<bool> out;
        for (const QVariant &r : s->rows())
            out << r.toMap().value("checked").toBool();
        return out;
    }
};

TEST_F(PlayControlTest, TheListIsShownWithItsLastReply)
{
    CommonManager::sharedManager().currentSelectDev.currentPlayIndex = 1;
    auto *s = open<PlayControlViewController>();
    const auto highlights = watchHighlights(s);
    EXPECT_EQ(s->title(), "视频播放控制");
    EXPECT_EQ(sent(), QStringList{"414e44015701017f000001"});
    EXPECT_EQ(popups().text(), "文件列表获取中,请稍后!!!");

    post(Catalogue::kPlayListReply, Replies::entry(3, 1, 1, "/media/a.mp4", true));
    post(Catalogue::kPlayListReply, Replies::entry(3, 2, 0, QStringLiteral("/视频/宣传.mp4").toUtf8(), true));
    EXPECT_TRUE(s->rows().isEmpty()) << "nothing shows before the last";
    EXPECT_TRUE(popups().isProgressVisible());
    post(Catalogue::kPlayListReply, Replies::entry(3, 3, 1, "c.jpg", false));

    EXPECT_EQ(names(s), (QStringList{"a.mp4", "宣传.mp4", "c.jpg"}));
    EXPECT_EQ(checks(s), (QList<bool>{true, false, true}));
    EXPECT_EQ(s->rows().value(0).toMap().value("number"), "1");
    EXPECT_TRUE(s->rows().value(1).toMap().value("playing").toBool());
    EXPECT_EQ(s->dataSource().value(1).toMap(),
              (QVariantMap{{"vedioYinliang", "3"}, {"vedioWeizhi", "2"}, {"filesContent", "/视频/宣传.mp4"},
                           {"checked", "NO"}}));
    EXPECT_EQ(s->volumeText(), "3");
    EXPECT_EQ(s->volume(), 3);
    EXPECT_FALSE(popups().isProgressVisible());
    ASSERT_EQ(highlights->size(), 1);
    EXPECT_EQ(highlights->at(0), (QVariantList{1, true}));
}

TEST_F(PlayControlTest, AnEmptyListClosesThePopupAndStaysEmpty)
{
    auto *s = openScreen();
    post(Catalogue::kPlayListCountReply, "414e4402560501");
    EXPECT_FALSE(popups().isProgressVisible());
    EXPECT_TRUE(s->rows().isEmpty());
}

TEST_F(PlayControlTest, AReplyWhoseFieldsReadAsFf00AnnouncesMore)
{
    auto *s = openScreen();
    // Volume 0f then position f001: the text holds ff00 though no marker was meant.
    post(Catalogue::kPlayListReply, "414e44025601" "0f" "f001" "01" "0001" "61");
    EXPECT_TRUE(s->rows().isEmpty());
    EXPECT_TRUE(popups().isProgressVisible());
    post(Catalogue::kPlayListReply, Replies::entry(5, 2, 1, "b", false));
    EXPECT_EQ(names(s), (QStringList{"a", "b"}));
}

TEST_F(PlayControlTest, BadEntriesNeitherStopTheListNorLoseTheirPlace)
{
    auto *s = openScreen();
    post(Catalogue::kPlayListReply, Replies::entry(5, 1, 1, "/m/caf\xe9.mp4", true));
    post(Catalogue::kPlayListReply, "414e44025601" "05" "0002" "01" "00ff" "6162" "ff00"); // count past the end
    post(Catalogue::kPlayListReply, Replies::entry(5, 3, 0, QByteArray("\xff\xfe", 2), true));
    post(Catalogue::kPlayListReply, "414e44025601" "05" "0004" "01" "0009" "6162"); // the last, cut short
    EXPECT_EQ(names(s), (QStringList{"caf\uFFFD.mp4", "0xfffe"}));
    EXPECT_FALSE(popups().isProgressVisible());
}

TEST_F(PlayControlTest, PlayStatesCountOnlyForThisServerAndWindow)
{
    auto *s = openWithList(4);
    const auto highlights = watchHighlights(s);
    struct Case
    {
        const char *what;
        QString currentIp;
        QString reply;
        int index;
    } cases[] = {
        {"this window", "127.0.0.2", Replies::playState("01", 2), 2},
        {"another window", "127.0.0.2", Replies::playState("02", 3), 2},
        {"another server", "127.0.0.3", Replies::playState("01", 3), 2},
        {"cut short", "127.0.0.2", "414e440251010100", 2},
        {"past the list", "127.0.0.2", Replies::playState("01", 9), 9},
        {"upper case window id", "127.0.0.2", "414E44025101010000", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ctx().preferences().setString("CurrentIP", c.currentIp);
        post(Catalogue::kPlayStateReply, c.reply);
        EXPECT_EQ(s->currentPlayIndex(), c.index);
        EXPECT_EQ(CommonManager::sharedManager().currentSelectDev.currentPlayIndex, c.index);
    }
    // Highlighted without scrolling, and only within the list.
    EXPECT_EQ(highlights->size(), 2);
    EXPECT_EQ(highlights->value(0), (QVariantList{2, false}));
    EXPECT_EQ(highlights->value(1), (QVariantList{0, false}));
    EXPECT_TRUE(sent().isEmpty());
}

TEST_F(PlayControlTest, PlayingAnUncheckedRowChecksItOnce)
{
    auto *s = openWithList(4);
    ASSERT_EQ(checks(s), (QList<bool>{true, false, true, false}));
    s->didSelectRow(1);
    EXPECT_EQ(takeSent(), (QStringList{"414e44015703010001", "414e4401570601000101"}));
    EXPECT_EQ(s->currentPlayIndex(), 1);
    EXPECT_TRUE(checks(s)[1]);
    s->didSelectRow(1);
    EXPECT_EQ(takeSent(), QStringList{"414e44015703010001"});
    s->didSelectRow(4);
    s->didSelectRow(-1);
    EXPECT_TRUE(sent().isEmpty());
}

TEST_F(PlayControlTest, TheDocumentedRowTwoOfWindowOne)
{
    auto *s = openWithList(4);
    s->didSelectRow(2);
    EXPECT_EQ(takeSent(), QStringList{"414e44015703010002"}) << "row 2 is checked already";
    s->clickedCellButtonWith(PlayControlViewController::UncheckAction, 2);
    takeSent();
    s->didSelectRow(2);
    EXPECT_EQ(takeSent(), (QStringList{"414e44015703010002", "414e4401570601000201"}));
}

TEST_F(PlayControlTest, NothingPlaysFromAnEmptyList)
{
    auto *s = openScreen();
    s->didSelectRow(0);
    s->clickedCellButtonWith(PlayControlViewController::CheckAction, 0);
    s->allSelect(true);
    EXPECT_TRUE(sent().isEmpty());
}

TEST_F(PlayControlTest, CheckBoxesAndSelectAllSendEveryChange)
{
    auto *s = openWithList(3);
    s->clickedCellButtonWith(PlayControlViewController::CheckAction, 1);
    s->clickedCellButtonWith(PlayControlViewController::UncheckAction, 0);
    s->clickedCellButtonWith(7, 0); // not a check box action
    EXPECT_EQ(takeSent(), (QStringList{"414e4401570601000101", "414e4401570601000000"}));
    EXPECT_EQ(checks(s), (QList<bool>{false, true, true}));

    s->clickedBarButtonItemActionWithTag(PlayControlViewController::AllSelectBarButton);
    EXPECT_TRUE(s->isAllSelected());
    EXPECT_EQ(takeSent(), (QStringList{"414e4401570601000001", "414e4401570601000101", "414e4401570601000201"}));
    EXPECT_EQ(checks(s), (QList<bool>{true, true, true}));
    s->clickedBarButtonItemActionWithTag(PlayControlViewController::AllSelectBarButton);
    EXPECT_FALSE(s->isAllSelected());
    EXPECT_EQ(takeSent(), (QStringList{"414e4401570601000000", "414e4401570601000100", "414e4401570601000200"}));
    EXPECT_EQ(checks(s), (QList<bool>{false, false, false}));

    // The state survives a reload.
    s->clickedBarButtonItemActionWithTag(PlayControlViewController::AllSelectBarButton);
    s->clickedBarButtonItemActionWithTag(PlayControlViewController::RefreshBarButton);
    EXPECT_TRUE(s->isAllSelected());
    EXPECT_TRUE(s->rows().isEmpty());
    EXPECT_EQ(takeSent().last(), "414e44015701017f000001");
}

TEST_F(PlayControlTest, PlayButtonsSendTheOrderOfTheirTag)
{
    selectStored(1, "02");
    auto *s = openScreen();
    const QList<QPair<int, QString>> cases{{PlayControlViewController::ProceTag, "01"},
                                           {PlayControlViewController::PlayTag, "00"},
                                           {PlayControlViewController::ZantingTag, "02"},
                                           {PlayControlViewController::NextTag, "04"},
                                           {PlayControlViewController::StopTag, "03"}};
    for (const auto &[tag, order] : cases) {
        s->controlButtonAction(tag);
        EXPECT_EQ(takeSent(), QStringList{"414e4401570402" + order}) << tag;
    }
    // The two rows of buttons switch without a word to the server.
    s->controlButtonAction(PlayControlViewController::MoreTag1);
    EXPECT_TRUE(s->isSecondButtonRow());
    s->controlButtonAction(PlayControlViewController::MoreTag2);
    EXPECT_FALSE(s->isSecondButtonRow());
    EXPECT_TRUE(sent().isEmpty());
}

TEST_F(PlayControlTest, TheModeButtonCyclesThroughTheFourModes)
{
    auto *s = openScreen();
    ASSERT_EQ(s->playModel(), PlayControlViewController::LoopModel);
    for (int i = 0; i < 4; ++i)
        s->controlButtonAction(PlayControlViewController::ControlModelTag);
    EXPECT_EQ(sent(), (QStringList{"414e440157050101", "414e440157050102", "414e440157050103", "414e440157050100"}));
    EXPECT_EQ(popups().texts(PopupCenter::Success),
              (QStringList{"目前播放模式为:随机播放", "目前播放模式为:顺序播放", "目前播放模式为:单曲循环",
                           "目前播放模式为:循环播放"}));
    EXPECT_EQ(s->playModel(), PlayControlViewController::LoopModel);
    EXPECT_EQ(s->playModelTitle(), "循环播放");
}

TEST_F(PlayControlTest, TheModeComesFromTheWindowRecordEachTimeTheScreenShows)
{
    struct Case
    {
        QString records;
        int mode;
    } cases[] = {{"01020000", 2}, {"01030000", 3}, {"01090000", 1}, {"01", 1}, {"", 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.records.toStdString());
        CommonManager::sharedManager().currentSelectDev.deviceInfo2 = c.records;
        auto *s = openScreen();
        s->controlButtonAction(PlayControlViewController::ControlModelTag); // from loop, if unchanged: random
        m_recorder.frames.clear();
        // Shown again: the record decides, or the state stays.
        m_nav->push(new KTBaseViewController);
        m_nav->pop();
        EXPECT_EQ(s->playModel(), c.mode);
        m_nav->pop();
    }
}

TEST_F(PlayControlTest, LettingGoOfTheVolumeSliderSendsTheWholeNumber)
{
    auto *s = openScreen();
    EXPECT_EQ(s->volumeText(), "5");
    s->controlButtonAction(PlayControlViewController::YinliangTag);
    EXPECT_TRUE(s->isVolumePanelVisible());
    const QList<std::tuple<double, QString, QString>> cases{
        {7.0, "7", "414e440157070107"}, {6.6, "7", "414e440157070107"}, {0.2, "0", "414e440157070100"},
        {12.0, "10", "414e44015707010a"}, {-3.0, "0", "414e440157070100"}};
    for (const auto &[value, shown, frame] : cases) {
        s->sliderValueChange(value);
        EXPECT_EQ(s->volumeText(), shown) << value;
        EXPECT_EQ(takeSent(), QStringList{frame}) << value;
    }
    s->closeVolumePanel();
    EXPECT_FALSE(s->isVolumePanelVisible());
}

TEST_F(PlayControlTest, DeletingARowAsksHowAndRemovesItAtOnce)
{
    struct Case
    {
        int answer;
        QStringList frames;
        int rowsLeft;
    } cases[] = {
        {0, {"414e440156030102010003"}, 4},
        {1, {"414e440156030101010003"}, 4},
        {2, {}, 5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.answer);
        auto *s = openWithList(5);
        s->deleteRow(3);
        EXPECT_EQ(s->orderIndex(), 3);
        ASSERT_TRUE(alerts().hasPending());
        EXPECT_EQ(alerts().style(), AlertCenter::ActionSheet);
        EXPECT_EQ(alerts().title(), "请确认是否删除所选视频文件?");
        EXPECT_EQ(alerts().buttons(), (QStringList{"确定", "同时删除本地文件", "取消"}));
        EXPECT_TRUE(sent().isEmpty());
        alerts().answer(c.answer);
        EXPECT_EQ(sent(), c.frames);
        EXPECT_EQ(s->rows().size(), c.rowsLeft);
        if (c.rowsLeft == 4) {
            EXPECT_EQ(names(s), (QStringList{"file0.mp4", "file1.mp4", "file2.mp4", "file4.mp4"}));
        }
        m_recorder.frames.clear();
        m_nav->pop();
    }
}

TEST_F(PlayControlTest, ADeleteAnsweredAfterAReloadDeletesNothing)
{
    auto *s = openWithList(5);
    s->deleteRow(4);
    s->clickedBarButtonItemActionWithTag(PlayControlViewController::RefreshBarButton);
    sendList({{"x.mp4", true}});
    m_recorder.frames.clear();
    alerts().answer(0);
    EXPECT_TRUE(sent().isEmpty());
    EXPECT_EQ(names(s), QStringList{"x.mp4"});
}

TEST_F(PlayControlTest, ClearingAsksFirst)
{
    selectStored(1, "02");
    auto *s = openWithList(3);
    s->controlButtonAction(PlayControlViewController::DeleteTag);
    ASSERT_TRUE(alerts().hasPending());
    EXPECT_EQ(alerts().style(), AlertCenter::Alert);
    EXPECT_EQ(alerts().title(), "提示");
    EXPECT_EQ(alerts().message(), "请确认是否清除列表中所有的视频？");
    EXPECT_EQ(alerts().buttons(), (QStringList{"确定", "取消"}));
    alerts().answer(1);
    EXPECT_TRUE(sent().isEmpty());
    EXPECT_EQ(s->rows().size(), 3);

    s->controlButtonAction(PlayControlViewController::DeleteTag);
    alerts().answer(0);
    EXPECT_EQ(sent(), QStringList{"414e4401570802"});
    EXPECT_EQ(m_recorder.frames[0].host, "127.0.0.3");
    EXPECT_TRUE(s->rows().isEmpty());
}

TEST_F(PlayControlTest, TheFileButtonOpensTheServerFilesAndComingBackReloads)
{
    auto *s = openWithList(2);
    s->controlButtonAction(PlayControlViewController::FileTag);
    auto *files = qobject_cast<DeviceSourceViewController *>(m_nav->top());
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->windowID(), "01");
    EXPECT_EQ(files->addFilesType(), "1");
    EXPECT_EQ(takeSent(), QStringList{"414e440153047f000001"});

    files->goBackAction();
    EXPECT_EQ(m_nav->top(), s);
    EXPECT_EQ(takeSent(), QStringList{"414e44015701017f000001"});
    EXPECT_TRUE(s->rows().isEmpty());
    EXPECT_EQ(popups().text(), "文件列表获取中,请稍后!!!");
}

} // namespace
