#include "playbackfixture.h"
#include "screens/playback/playwindowsetviewcontroller.h"
#include "screens/playback/windowsetviewcontroller.h"
#include "ui/pickerfield.h"

namespace {

QStringList rowNames(const WindowSetViewController *s)
{
    QStringList out;
    for (const QVariant &r : s->rows())
        out << r.toMap().value("name").toString();
    return out;
}

QStringList checkedRows(const WindowSetViewController *s)
{
    QStringList out;
    for (const QVariant &r : s->rows())
        if (r.toMap().value("checked").toBool())
            out << r.toMap().value("name").toString();
    return out;
}

// What discovery does with an announcement whose window count changed:
// stores it, then posts it.
void announceChange(const QString &userId, const QString &name, const QStringList &records)
{
    ASSERT_TRUE(FMManager::sharedManagerInstance().updateUserInfoByUserName(
        "Default", "468", HexCodec::TenToHexForTwo(records.size()), QString::number(records.size()), userId, name,
        records.join(QString()) + "7f000002", "0"));
    AppContext::current()->notices().post(Catalogue::kShebeiInfoNotice,
                                          Replies::serverInfo(userId, name, "468", records));
}

using WindowSetTest = PlaybackScreenTest;

TEST_F(WindowSetTest, ListsTheSelectedServersWindowsAndAddsOnlyBelowTwo)
{
    struct Case
    {
        int server;
        QString name;
        QStringList rows;
        bool addEnabled;
    } cases[] = {
        {0, "一号服务器", {"视频窗口_01"}, true},
        {1, "二号服务器", {"视频窗口_01", "视频窗口_02"}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.server);
        selectStored(c.server, "01");
        auto *s = open<WindowSetViewController>();
        EXPECT_EQ(s->title(), "窗口设置");
        EXPECT_EQ(s->shebeiField()->items(), (QStringList{"一号服务器", "二号服务器"}));
        EXPECT_EQ(s->shebeiField()->text(), c.name);
        EXPECT_EQ(rowNames(s), c.rows);
        EXPECT_TRUE(checkedRows(s).isEmpty());
        EXPECT_EQ(s->isAddWindowEnabled(), c.addEnabled);
        EXPECT_TRUE(sent().isEmpty()) << "opening sends nothing";
        m_nav->pop();
    }
}

TEST_F(WindowSetTest, WithoutASelectionTheFirstServerIsShownAndSelected)
{
    CommonManager::sharedManager().currentSelectDev = DeviceInfo();
    auto *s = open<WindowSetViewController>();
    EXPECT_EQ(s->shebeiField()->text(), "一号服务器");
    EXPECT_EQ(CommonManager::sharedManager().currentSelectDev.deviceIp, "127.0.0.2");
    s->ButtonActionTouch(WindowSetViewController::AddWindowButton);
    EXPECT_EQ(m_recorder.frames.value(0).host, "127.0.0.2");
}

TEST_F(WindowSetTest, ClosesTheSelectedWindowsInTappingOrder)
{
    selectStored(1, "01");
    auto *s = open<WindowSetViewController>();
    s->didSelectRow(1);
    s->didSelectRow(0);
    EXPECT_EQ(checkedRows(s), (QStringList{"视频窗口_01", "视频窗口_02"}));
    EXPECT_EQ(s->selectedCount(), 2);

    s->ButtonActionTouch(WindowSetViewController::CloseWindowButton);
    EXPECT_EQ(sent(), (QStringList{"414e4401520302", "414e4401520301"}));
    EXPECT_EQ(m_recorder.frames[0].host, "127.0.0.3");
    EXPECT_EQ(s->selectedCount(), 0);
    EXPECT_TRUE(checkedRows(s).isEmpty());
    EXPECT_TRUE(s->isUpdateWindow());
    EXPECT_TRUE(popups().wasShown(PopupCenter::Progress, "关闭窗口中..."));
}

TEST_F(WindowSetTest, UntappingARowTakesItOutOfTheSelection)
{
    selectStored(1, "01");
    auto *s = open<WindowSetViewController>();
    s->didSelectRow(0);
    s->didSelectRow(1);
    s->didSelectRow(0);
    s->didSelectRow(7); // no such row
    s->sendCloseNewWindow();
    EXPECT_EQ(sent(), QStringList{"414e4401520302"});
}

TEST_F(WindowSetTest, ClosingNothingSaysSoAndSendsNothing)
{
    auto *s = open<WindowSetViewController>();
    s->ButtonActionTouch(WindowSetViewController::CloseWindowButton);
    EXPECT_TRUE(sent().isEmpty());
    EXPECT_EQ(popups().texts(PopupCenter::Error), QStringList{"请选择需要关闭的窗口"});
    EXPECT_FALSE(s->isUpdateWindow());
}

TEST_F(WindowSetTest, AddingRebuildsTheListFromTheNextChangedAnnouncement)
{
    auto *s = open<WindowSetViewController>();
    // Nothing asked yet: an announcement leaves the list alone.
    announceChange("00000001", "一号服务器", {"01000000", "03000000"});
    EXPECT_EQ(rowNames(s), QStringList{"视频窗口_01"});
    EXPECT_TRUE(s->isAddWindowEnabled());

    s->ButtonActionTouch(WindowSetViewController::AddWindowButton);
    EXPECT_EQ(sent(), QStringList{"414E44015204000190009600FA010E"});
    EXPECT_TRUE(popups().isProgressVisible());
    EXPECT_EQ(popups().text(), "新增窗口中...");

    // Another server's change is not the answer.
    announceChange("00000002", "二号服务器", {"01000000"});
    EXPECT_EQ(rowNames(s), QStringList{"视频窗口_01"});
    EXPECT_TRUE(s->isUpdateWindow());

    announceChange("00000001", "一号服务器", {"01000000", "02000000"});
    EXPECT_EQ(rowNames(s), (QStringList{"视频窗口_01", "视频窗口_02"}));
    EXPECT_FALSE(s->isAddWindowEnabled());
    EXPECT_FALSE(popups().isProgressVisible());
    EXPECT_FALSE(s->isUpdateWindow());
    EXPECT_EQ(CommonManager::sharedManager().currentSelectDev.deviceWindowNum, "2");

    // Consumed: the next one changes nothing.
    announceChange("00000001", "一号服务器", {"01000000"});
    EXPECT_EQ(rowNames(s), (QStringList{"视频窗口_01", "视频窗口_02"}));

    // While the add button is off, it sends nothing.
    m_recorder.frames.clear();
    s->ButtonActionTouch(WindowSetViewController::AddWindowButton);
    EXPECT_TRUE(sent().isEmpty());
}

TEST_F(WindowSetTest, ClosingTheLastWindowLeavesAnEmptyList)
{
    auto *s = open<WindowSetViewController>();
    s->didSelectRow(0);
    s->sendCloseNewWindow();
    announceChange("00000001", "一号服务器", {});
    EXPECT_TRUE(s->rows().isEmpty());
    EXPECT_TRUE(s->isAddWindowEnabled());
}

TEST_F(WindowSetTest, ACountBeyondTheRecordsListsOnlyTheRecords)
{
    ASSERT_TRUE(FMManager::sharedManagerInstance().insertObjectByUserName("Default", "三号服务器", "468", "05", "5",
                                                                          "127.0.0.4", "00000003", "1", "0100000002",
                                                                          "0"));
    selectStored(2, "01");
    auto *s = open<WindowSetViewController>();
    EXPECT_EQ(rowNames(s), QStringList{"视频窗口_01"});
    EXPECT_FALSE(s->isAddWindowEnabled());

    // The same from a notice whose count is larger than what was stored.
    s->didSelectRow(0);
    s->sendCloseNewWindow();
    ctx().notices().post(Catalogue::kShebeiInfoNotice, Replies::serverInfo("00000003", "三号服务器", "468",
                                                                             {"01000000", "02000000", "03000000"}));
    EXPECT_EQ(rowNames(s), QStringList{"视频窗口_01"});
}

TEST_F(WindowSetTest, NoticesCutShortChangeNothing)
{
    auto *s = open<WindowSetViewController>();
    s->ButtonActionTouch(WindowSetViewController::AddWindowButton);
    const QString full = Replies::serverInfo("00000001", "一号服务器", "468", {"01000000", "02000000"});
    const qsizetype countAt = 24 + 2 * 15 + 4 + 6; // after name and password
    for (const QString &hex : {full.left(10), full.left(26), full.left(countAt), QString("414e44025001")}) {
        ctx().notices().post(Catalogue::kShebeiInfoNotice, hex);
        EXPECT_EQ(rowNames(s), QStringList{"视频窗口_01"}) << hex.toStdString();
        EXPECT_TRUE(s->isUpdateWindow());
    }
}

TEST_F(WindowSetTest, ChoosingAnotherServerShowsItsWindows)
{
    auto *s = open<WindowSetViewController>();
    s->shebeiField()->beginEditing();
    s->shebeiField()->selectRow(1);
    EXPECT_EQ(s->shebeiField()->text(), "二号服务器");
    EXPECT_EQ(CommonManager::sharedManager().currentSelectDev.deviceIp, "127.0.0.2") << "not before the edit ends";
    s->shebeiField()->endEditing();
    EXPECT_EQ(CommonManager::sharedManager().currentSelectDev.deviceIp, "127.0.0.3");
    EXPECT_EQ(rowNames(s), (QStringList{"视频窗口_01", "视频窗口_02"}));
    EXPECT_FALSE(s->isAddWindowEnabled());
    EXPECT_TRUE(sent().isEmpty());
}

TEST_F(WindowSetTest, NoStoredServerShowsNothing)
{
    ASSERT_TRUE(FMManager::sharedManagerInstance().DeleteUserInfo());
    auto *s = open<WindowSetViewController>();
    EXPECT_TRUE(s->rows().isEmpty());
    EXPECT_TRUE(s->shebeiField()->items().isEmpty());
    s->didSelectRow(0);
    s->sendCloseNewWindow();
    EXPECT_TRUE(sent().isEmpty());
}

// --- The window settings screen. --------------------------------------------

class PlayWindowSetTest : public PlaybackScreenTest
{
protected:
    PlayWindowSetViewController *openScreen()
    {
        auto *s = open<PlayWindowSetViewController>();
        m_recorder.frames.clear();
        return s;
    }
    void reply(const QString &fields) { post(Catalogue::kWindowInfoReply, "414e44025201" + fields); }
};

TEST_F(PlayWindowSetTest, OpeningAsksForTheCurrentWindow)
{
    selectStored(1, "02");
    auto *s = open<PlayWindowSetViewController>();
    EXPECT_EQ(s->title(), "视频窗体设定");
    EXPECT_EQ(s->rightBarButtonTitle(), "完成");
    ASSERT_EQ(m_recorder.frames.size(), 1);
    EXPECT_EQ(m_recorder.frames[0].hex, "414e44015202027f000001");
    EXPECT_EQ(m_recorder.frames[0].host, "127.0.0.3");
    EXPECT_EQ(m_recorder.frames[0].timeoutSec, 10);
    EXPECT_EQ(s->IsFullScreen(), "02");
    EXPECT_EQ(s->IsUpTop(), "02");
    EXPECT_EQ(s->animationHex(), "0000");
    EXPECT_EQ(s->animationField()->items().size(), 10);
    EXPECT_EQ(s->animationField()->items().value(9), "淡入淡出");
}

TEST_F(PlayWindowSetTest, TheReplyFillsTheFields)
{
    struct Case
    {
        QString fields;
        QStringList shown; // x, y, width, height, interval, effect label, code
    } cases[] = {
        {"ff05" "0010" "0780" "0438" "0009" "0005", {"-5", "16", "1920", "1080", "5", "淡入淡出", "0009"}},
        {"0105" "ff05" "0000" "ffff" "0003" "0000", {"261", "-5", "0", "65535", "0", "从左到右", "0003"}},
        // An effect without a name is shown by its number and kept.
        {"0000" "0000" "0064" "0064" "000c" "0001", {"0", "0", "100", "100", "1", "未知效果 (12)", "000c"}},
    };
    auto *s = openScreen();
    s->didSelectedCheckBox(PlayWindowSetViewController::UpTopBox, true);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fields.toStdString());
        reply(c.fields);
        EXPECT_EQ((QStringList{s->weizhiX(), s->weizhiY(), s->daxiaoX(), s->daxiaoY(), s->qiehuanjiange(),
                               s->animationField()->text(), s->animationHex()}),
                  c.shown);
        EXPECT_EQ(s->IsUpTop(), "01") << "the reply carries no flags";
        EXPECT_EQ(s->IsFullScreen(), "02");
    }
    reply("0000"); // cut short: ignored
    EXPECT_EQ(s->daxiaoX(), "100");
    EXPECT_TRUE(sent().isEmpty());
}

TEST_F(PlayWindowSetTest, DoneSendsTheSettingsAtOnce)
{
    auto *s = openScreen();
    s->didSelectedCheckBox(PlayWindowSetViewController::FullScreenBox, true);
    s->didSelectedCheckBox(PlayWindowSetViewController::FullScreenBox, false);
    s->didSelectedCheckBox(PlayWindowSetViewController::UpTopBox, true);
    EXPECT_FALSE(s->isFullScreenChecked());
    EXPECT_TRUE(s->isUpTopChecked());
    s->setWeizhiX("0");
    s->setWeizhiY("0");
    s->setDaxiaoX("1920");
    s->setDaxiaoY("1080");
    s->setQiehuanjiange("5");
    s->animationField()->beginEditing();
    s->animationField()->selectRow(9);
    EXPECT_EQ(s->animationHex(), "0009") << "turning the wheel already chooses";
    s->animationField()->endEditing();
    EXPECT_EQ(s->animationField()->text(), "淡入淡出");

    s->clickedBarButtonItemAction();
    EXPECT_EQ(sent(), QStringList{"414e44015201010201000000000780043800090005"});
    EXPECT_EQ(popups().texts(PopupCenter::Success), QStringList{"设置成功"});

    // Empty fields go as 0.
    m_recorder.frames.clear();
    s->setWeizhiX("");
    s->setDaxiaoX("");
    s->setQiehuanjiange("");
    s->sendSetWindowString();
    EXPECT_EQ(sent(), QStringList{"414e44015201010201000000000000043800090000"});
}

TEST_F(PlayWindowSetTest, ValuesWithoutAFrameFormAreRefused)
{
    struct Case
    {
        const char *what;
        std::function<void(PlayWindowSetViewController *)> edit;
        QString error;
    } cases[] = {
        {"negative x", [](auto *s) { s->setWeizhiX("-5"); }, "窗口位置不能为负数"},
        {"negative y", [](auto *s) { s->setWeizhiY("-1"); }, "窗口位置不能为负数"},
        {"width past two bytes", [](auto *s) { s->setDaxiaoX("70000"); }, "数值须在0到65535之间"},
        {"negative height", [](auto *s) { s->setDaxiaoY("-2"); }, "数值须在0到65535之间"},
        {"interval past two bytes", [](auto *s) { s->setQiehuanjiange("65536"); }, "数值须在0到65535之间"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        auto *s = openScreen();
        popups().clearHistory();
        reply("ff05" "0010" "0780" "0438" "0009" "0005"); // shows x -5
        s->setWeizhiX("10");
        c.edit(s);
        EXPECT_FALSE(s->sendSetWindowString());
        EXPECT_TRUE(sent().isEmpty());
        EXPECT_EQ(popups().texts(PopupCenter::Error), QStringList{c.error});
        EXPECT_TRUE(popups().texts(PopupCenter::Success).isEmpty());
        m_nav->pop();
    }
}

TEST_F(PlayWindowSetTest, NoWindowChosenSaysSo)
{
    CommonManager::sharedManager().currentWindowID.clear();
    auto *s = openScreen();
    EXPECT_FALSE(s->sendSetWindowString());
    EXPECT_TRUE(sent().isEmpty());
    EXPECT_EQ(popups().texts(PopupCenter::Error), QStringList{"请选择需要设定的设备"});
}

} // namespace
