#include "screens/settings/systemsetviewcontroller.h"
#include "session/commonmanager.h"
#include "settingsfixture.h"

#include <QRegularExpression>

namespace {

const QString kSettingsQuery = "414e44015502" "7f000001";
const QString kVolumeQuery = "414e44015a02" "7f000001";

class SystemSetScreenTest : public SettingsScreenTest
{
protected:
    // Opened, with the answer to both queries in.
    SystemSetViewController *openAnswered(const RecordReply &record = RecordReply())
    {
        SystemSetViewController *screen = open<SystemSetViewController>();
        post(Catalogue::kSystemInfoReply, record.hex());
        post(Catalogue::kVolumeReply, "414e44025503" "0f" "09");
        m_recorder.frames.clear();
        popups().clearHistory();
        return screen;
    }
};

TEST_F(SystemSetScreenTest, OpeningAsksForSettingsThenVolumeOfTheSelectedServer)
{
    m_nav = std::make_unique<KTBaseNavigationController>(new KTBaseViewController);
    m_nav->setNavigationBarHidden(true);
    SystemSetViewController *screen = open<SystemSetViewController>();

    ASSERT_EQ(m_recorder.frames.size(), 2);
    EXPECT_EQ(m_recorder.frames[0].hex, kSettingsQuery);
    EXPECT_EQ(m_recorder.frames[0].port, 5760);
    EXPECT_EQ(m_recorder.frames[1].hex, kVolumeQuery);
    EXPECT_EQ(m_recorder.frames[1].port, 5762);
    for (const SentFrame &f : m_recorder.frames)
        EXPECT_EQ(f.host, "127.0.0.2");

    EXPECT_EQ(screen->title(), "系统设置");
    EXPECT_FALSE(m_nav->isNavigationBarHidden());
    // The first known server is only shown; the selection stays as it was.
    EXPECT_EQ(screen->shebeiField()->text(), "一号服务器");
    EXPECT_EQ(screen->shebeiField()->items(), QStringList({"一号服务器", "二号服务器"}));
    EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d$").match(screen->setTimeField()->text()).hasMatch());
    EXPECT_EQ(screen->beijingYanseField()->count(), 13);
    EXPECT_EQ(screen->shipinyuanField()->items(), QStringList({"自动", "A20", "HDMI"}));
    EXPECT_EQ(screen->xuanzhuanduField()->items(), QStringList({"0°", "90°", "180°", "270°"}));
    EXPECT_EQ(screen->isRestartDevice(), "01");
    EXPECT_EQ(screen->isSkipLogin(), "00");
    EXPECT_EQ(screen->isOpenWifi(), "01");
    EXPECT_EQ(screen->isOpenKaiguan(), "01");
    EXPECT_EQ(screen->xuanzhuanType(), "00");
    EXPECT_TRUE(screen->colorType().isEmpty());
    EXPECT_FALSE(screen->hasSystemInfo());
}

TEST_F(SystemSetScreenTest, TheSettingsReplyFillsTheScreen)
{
    SystemSetViewController *screen = open<SystemSetViewController>();
    RecordReply r;
    r.path = "/ab";
    r.red = "00ff", r.green = "0080", r.blue = "0000";
    post(Catalogue::kSystemInfoReply, r.hex());

    EXPECT_TRUE(screen->hasSystemInfo());
    EXPECT_EQ(screen->liangdu(), "200");
    EXPECT_EQ(screen->liangduSliderValue(), 200);
    EXPECT_EQ(screen->beijingYanseField()->text(), "黄色");
    EXPECT_EQ(screen->colorType(), "03");
    EXPECT_EQ(screen->setTimeField()->text(), "08:30:00");
    EXPECT_EQ(screen->setTimeField()->wheelTime(), QTime(8, 30));
    EXPECT_EQ(screen->transPathString(), "/ab");
    EXPECT_EQ(screen->redValue(), "255");
    EXPECT_EQ(screen->greenValue(), "128");
    EXPECT_EQ(screen->blueValue(), "0");
    EXPECT_EQ(screen->redSliderValue(), 255);
    EXPECT_EQ(screen->greenSliderValue(), 128);
    EXPECT_EQ(screen->shipinyuanField()->text(), "HDMI");
    EXPECT_EQ(screen->shipinType(), "02");
    EXPECT_EQ(screen->xuanzhuanduField()->text(), "90°");
    EXPECT_EQ(screen->xuanzhuanType(), "01");
    // The wheels open on what is shown.
    EXPECT_EQ(screen->shipinyuanField()->wheelRow(), 2);
    EXPECT_EQ(screen->beijingYanseField()->wheelRow(), 3);

    // Rotation 2 shows "180°" and keeps the reply's own code; an empty time
    // empties the field.
    r.rotation = "02";
    r.time.clear();
    post(Catalogue::kSystemInfoReply, r.hex());
    EXPECT_EQ(screen->xuanzhuanduField()->text(), "180°");
    EXPECT_EQ(screen->xuanzhuanType(), "02");
    EXPECT_TRUE(screen->setTimeField()->text().isEmpty());
}

TEST_F(SystemSetScreenTest, FlagsBecomeCodesAndSwitchesByTheirRules)
{
    struct FlagCase
    {
        const char *restart, *skipLogin, *wifi, *kaiguan;
        const char *isRestartDevice, *isSkipLogin, *isOpenWifi, *isOpenKaiguan;
        bool kaiji, login, single;
    };
    const QList<FlagCase> cases = {
        {"01", "00", "01", "01", "01", "00", "01", "01", true, false, true},
        {"00", "01", "02", "02", "00", "01", "02", "02", false, true, false},
        // Anything but 1 is "off" for restart and switch, anything but 0 "on"
        // for skip-login, anything but 2 is Wi-Fi "01".
        {"02", "05", "03", "00", "00", "01", "01", "02", false, true, false},
        {"ff", "ff", "00", "ff", "00", "01", "01", "02", false, true, false},
    };
    SystemSetViewController *screen = open<SystemSetViewController>();
    for (const FlagCase &c : cases) {
        SCOPED_TRACE(std::string(c.restart) + c.skipLogin + c.wifi + c.kaiguan);
        RecordReply r;
        r.restart = c.restart, r.skipLogin = c.skipLogin, r.wifi = c.wifi, r.kaiguan = c.kaiguan;
        post(Catalogue::kSystemInfoReply, r.hex());
        EXPECT_EQ(screen->isRestartDevice(), c.isRestartDevice);
        EXPECT_EQ(screen->isSkipLogin(), c.isSkipLogin);
        EXPECT_EQ(screen->isOpenWifi(), c.isOpenWifi);
        EXPECT_EQ(screen->isOpenKaiguan(), c.isOpenKaiguan);
        EXPECT_EQ(screen->kaijiSwitch(), c.kaiji);
        EXPECT_EQ(screen->loginSwitch(), c.login);
        EXPECT_EQ(screen->singleSwitch(), c.single);
    }
}

TEST_F(SystemSetScreenTest, TheVolumeReplySetsDisplaySliderAndRange)
{
    SystemSetViewController *screen = open<SystemSetViewController>();
    post(Catalogue::kVolumeReply, "414e44025503" "0f" "07");
    EXPECT_EQ(screen->yinliangMaximum(), 15);
    EXPECT_EQ(screen->yinliang(), "7");
    EXPECT_EQ(screen->yinliangSliderValue(), 7);
    post(Catalogue::kVolumeReply, "414e44025503" "64" "50");
    EXPECT_EQ(screen->yinliangMaximum(), 100);
    EXPECT_EQ(screen->yinliang(), "80");
}

// Source and rotation go out when their field is left; the background colour
// only changes the code that "保存" sends.
TEST_F(SystemSetScreenTest, PickerChoicesSendAtOnceExceptTheBackgroundColour)
{
    struct PickCase
    {
        const char *name;
        std::function<InputField *(SystemSetViewController *)> field;
        int row;
        const char *label;
        QStringList frames;
    };
    const QList<PickCase> cases = {
        {"video source HDMI", [](auto *s) { return s->shipinyuanField(); }, 2, "HDMI", {"414e4401550902"}},
        {"video source automatic", [](auto *s) { return s->shipinyuanField(); }, 0, "自动", {"414e4401550900"}},
        {"rotation 270", [](auto *s) { return s->xuanzhuanduField(); }, 3, "270°", {"414e4401550c03"}},
        {"background bright blue", [](auto *s) { return s->beijingYanseField(); }, 12, "亮蓝色", {}},
    };
    SystemSetViewController *screen = openAnswered();
    for (const PickCase &c : cases) {
        SCOPED_TRACE(c.name);
        popups().clearHistory();
        InputField *field = c.field(screen);
        choose(field, c.row);
        EXPECT_EQ(field->text(), QString::fromUtf8(c.label));
        EXPECT_EQ(takeSent(), c.frames);
        EXPECT_EQ(popups().texts(PopupCenter::Success), c.frames.isEmpty() ? QStringList() : QStringList{"设置成功"});
    }
    EXPECT_EQ(screen->shipinType(), "00");
    EXPECT_EQ(screen->xuanzhuanType(), "03");
    EXPECT_EQ(screen->colorType(), "0c");

    screen->ButtonActionTouch(SystemSetViewController::SaveTag);
    ASSERT_EQ(m_recorder.frames.size(), 1);
    EXPECT_EQ(m_recorder.frames[0].hex.mid(22, 2), "0c");
}

TEST_F(SystemSetScreenTest, VolumeSliderSendsToTheTimePortAndItsDefaultSendsNothing)
{
    SystemSetViewController *screen = openAnswered();
    screen->yinyangValueChange(12.3);
    EXPECT_EQ(screen->yinliang(), "12");
    ASSERT_EQ(m_recorder.frames.size(), 1);
    EXPECT_EQ(m_recorder.frames[0].hex, "414e44015a030c");
    EXPECT_EQ(m_recorder.frames[0].port, 5762);
    EXPECT_TRUE(popups().wasShown(PopupCenter::Success, "设置成功"));

    m_recorder.frames.clear();
    screen->ButtonActionTouch(SystemSetViewController::YinliangDefaultTag);
    EXPECT_EQ(screen->yinliang(), "7");
    EXPECT_EQ(screen->yinliangSliderValue(), 7);
    EXPECT_TRUE(sent().isEmpty());
}

TEST_F(SystemSetScreenTest, SaveSendsTheRecordWithWhatTheUserChanged)
{
    RecordReply r; // restart 01, skip-login 00, Wi-Fi 01, colour 03, 08:30:00, no path
    r.light = "0050";
    struct SaveCase
    {
        const char *name;
        std::function<void(SystemSetViewController *)> edit;
        QString frame;
    };
    const QList<SaveCase> cases = {
        {"brightness default",
         [](auto *s) {
             s->sliderValueChangeAction(120);
             s->ButtonActionTouch(SystemSetViewController::LiangduDefaultTag);
         },
         "414e44015501" "01" "00" "00c8" "01" "03" "0008" "30383a33303a3030" "0000" "0000"},
        {"brightness slider, rounded",
         [](auto *s) { s->sliderValueChangeAction(99.5); },
         "414e44015501" "01" "00" "0064" "01" "03" "0008" "30383a33303a3030" "0000" "0000"},
        {"restart time cleared",
         [](auto *s) { s->ButtonActionTouch(SystemSetViewController::ClearTimeTag); },
         "414e44015501" "01" "00" "0050" "01" "03" "0000" "0000" "0000" "0000"},
        {"restart time from the wheel",
         [](auto *s) {
             s->setTimeField()->beginEditing();
             s->setTimeField()->selectTime(QTime(23, 5, 9));
             s->setTimeField()->endEditing();
         },
         "414e44015501" "01" "00" "0050" "01" "03" "0008" "32333a30353a3039" "0000" "0000"},
    };
    for (const SaveCase &c : cases) {
        SCOPED_TRACE(c.name);
        SystemSetViewController *screen = openAnswered(r);
        c.edit(screen);
        EXPECT_TRUE(sent().isEmpty()) << "nothing goes out before 保存";
        screen->ButtonActionTouch(SystemSetViewController::SaveTag);
        EXPECT_EQ(takeSent(), QStringList{c.frame});
        EXPECT_EQ(popups().texts(PopupCenter::Success), QStringList{"设置成功"});
    }
}

// The flags and the path the server reported go back as they came.
TEST_F(SystemSetScreenTest, SaveGivesBackTheServersFlagsAndPath)
{
    RecordReply r;
    r.restart = "00", r.skipLogin = "01", r.wifi = "02", r.colour = "20", r.path = "D:/媒体";
    SystemSetViewController *screen = openAnswered(r);
    screen->ButtonActionTouch(SystemSetViewController::SaveTag);
    EXPECT_EQ(takeSent(), QStringList{"414e44015501" "00" "01" "00c8" "02" "20" "0008" "30383a33303a3030" "0009" +
                                      HexCodec::chineseToHex("D:/媒体")});
}

TEST_F(SystemSetScreenTest, SaveBeforeTheFirstReplyIsHeldBack)
{
    SystemSetViewController *screen = open<SystemSetViewController>();
    m_recorder.frames.clear();
    screen->ButtonActionTouch(SystemSetViewController::SaveTag);
    EXPECT_TRUE(sent().isEmpty());
    EXPECT_EQ(popups().texts(PopupCenter::Error), QStringList{"未收到设备设置，请稍后再试"});
    EXPECT_TRUE(popups().texts(PopupCenter::Success).isEmpty());

    post(Catalogue::kSystemInfoReply, RecordReply().hex());
    screen->ButtonActionTouch(SystemSetViewController::SaveTag);
    EXPECT_EQ(sent().size(), 1);
}

TEST_F(SystemSetScreenTest, SwitchAndColourSlidersSendEachChange)
{
    SystemSetViewController *screen = openAnswered();
    screen->sewenSwitchChange(false);
    EXPECT_EQ(screen->isOpenKaiguan(), "02");
    EXPECT_FALSE(screen->singleSwitch());
    screen->sewenSwitchChange(true);
    EXPECT_EQ(takeSent(), QStringList({"414e4401550702", "414e4401550701"}));

    // The reply gave 255 / 128 / 0; each move sends all three displays.
    screen->redValueChange(16.4);
    screen->greenValueChange(32);
    screen->blueValueChange(254.6);
    EXPECT_EQ(takeSent(), QStringList({"414e44015508" "0010" "0080" "0000", "414e44015508" "0010" "0020" "0000",
                                       "414e44015508" "0010" "0020" "00ff"}));
    EXPECT_EQ(screen->blueValue(), "255");
    EXPECT_EQ(screen->blueSliderValue(), 254.6);
    EXPECT_EQ(popups().texts(PopupCenter::Success).size(), 5);
}

TEST_F(SystemSetScreenTest, AnotherServerReloadsTheScreenFromItsAddress)
{
    SystemSetViewController *screen = openAnswered();
    choose(screen->shebeiField(), 1);

    EXPECT_EQ(screen->shebeiField()->text(), "二号服务器");
    EXPECT_EQ(CommonManager::sharedManager().currentSelectDev.deviceIp, "127.0.0.3");
    EXPECT_EQ(CommonManager::sharedManager().currentSelectDev.userId, "00000002");
    ASSERT_EQ(m_recorder.frames.size(), 2);
    EXPECT_EQ(m_recorder.frames[0].hex, kSettingsQuery);
    EXPECT_EQ(m_recorder.frames[1].hex, kVolumeQuery);
    for (const SentFrame &f : m_recorder.frames)
        EXPECT_EQ(f.host, "127.0.0.3");
    // Until its own record arrives there is nothing of the new server to save.
    EXPECT_FALSE(screen->hasSystemInfo());

    RecordReply r;
    r.light = "0010", r.source = "00";
    post(Catalogue::kSystemInfoReply, r.hex());
    EXPECT_EQ(screen->liangdu(), "16");
    EXPECT_EQ(screen->shipinyuanField()->text(), "自动");
    m_recorder.frames.clear();
    screen->yinyangValueChange(3);
    ASSERT_EQ(m_recorder.frames.size(), 1);
    EXPECT_EQ(m_recorder.frames[0].host, "127.0.0.3");
}

TEST_F(SystemSetScreenTest, TwoServersOfOneNameAreToldApartByTheirRow)
{
    addServer("一号服务器", "127.0.0.4", "00000004");
    SystemSetViewController *screen = open<SystemSetViewController>();
    choose(screen->shebeiField(), 2);
    EXPECT_EQ(CommonManager::sharedManager().currentSelectDev.deviceIp, "127.0.0.4");
    choose(screen->shebeiField(), 0);
    EXPECT_EQ(CommonManager::sharedManager().currentSelectDev.deviceIp, "127.0.0.2");
}

TEST_F(SystemSetScreenTest, BadRepliesLeaveTheScreenAsItWas)
{
    SystemSetViewController *screen = openAnswered();
    const QStringList before = shown(screen);

    // Cut at every length.
    const QString full = RecordReply().hex();
    for (qsizetype n = 0; n < full.size(); ++n)
        post(Catalogue::kSystemInfoReply, full.left(n));
    const QString volume = "414e44025503" "0f" "0b";
    for (qsizetype n = 0; n < volume.size(); ++n)
        post(Catalogue::kVolumeReply, volume.left(n));
    EXPECT_EQ(shown(screen), before);

    // Codes beyond the label lists leave the three fields as they were.
    RecordReply past;
    past.colour = "0d", past.source = "03", past.rotation = "ff";
    post(Catalogue::kSystemInfoReply, past.hex());
    EXPECT_EQ(screen->beijingYanseField()->text(), "黄色");
    EXPECT_EQ(screen->shipinyuanField()->text(), "HDMI");
    EXPECT_EQ(screen->xuanzhuanduField()->text(), "90°");

    // A restart time that is not UTF-8 leaves the field as it was.
    const QString badTime = "414e44025501" "01" "00" "00c8" "01" "03" "0002" "c328" "0000" "0000" "01" "00ff" "0080"
                            "0000" "02" "01";
    screen->setTimeField()->setText("12:00:00");
    post(Catalogue::kSystemInfoReply, badTime);
    EXPECT_EQ(screen->setTimeField()->text(), "12:00:00");
    EXPECT_TRUE(sent().isEmpty());
}

TEST_F(SystemSetScreenTest, WithoutASelectedServerNothingIsSentAndTheUserIsTold)
{
    CommonManager::sharedManager().currentSelectDev = DeviceInfo();
    SystemSetViewController *screen = open<SystemSetViewController>();
    EXPECT_TRUE(sent().isEmpty());

    post(Catalogue::kSystemInfoReply, RecordReply().hex());
    screen->yinyangValueChange(5);
    screen->sewenSwitchChange(false);
    screen->ButtonActionTouch(SystemSetViewController::SaveTag);
    EXPECT_TRUE(sent().isEmpty());
    EXPECT_EQ(popups().texts(PopupCenter::Error), QStringList(3, "请选择需要设定的设备"));
    EXPECT_TRUE(popups().texts(PopupCenter::Success).isEmpty());
}

TEST_F(SystemSetScreenTest, CancelGoesBackOneScreen)
{
    SystemSetViewController *screen = open<SystemSetViewController>();
    ASSERT_EQ(m_nav->count(), 2);
    screen->ButtonActionTouch(SystemSetViewController::CancelTag);
    EXPECT_EQ(m_nav->count(), 1);
}

} // namespace
