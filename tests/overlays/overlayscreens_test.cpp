#include "protocol/catalogue.h"
#include "screens/overlays/clocksetviewcontroller.h"
#include "screens/overlays/spotwordsviewcontroller.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "support/testcontext.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/pickerfield.h"
#include "ui/popupcenter.h"
#include "ui/screenregistry.h"

#include <memory>

namespace {

const QString kSelected = QStringLiteral("127.0.0.2");
const QString kSpotReply = QStringLiteral("414e44025401" "00" "0a" "03" "04" "18" "0010" "0020" "0000" "0000");

// A screen opened in a stack of its own, over a database of recorded servers.
class OverlayScreenTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        selectServer(kSelected);
    }
    void TearDown() override
    {
        m_nav.reset();
        ContextTest::TearDown();
    }
    void addServer(const QString &name, const QString &ip, const QString &userId)
    {
        ASSERT_TRUE(FMManager::sharedManagerInstance().insertObjectByUserName(
            QStringLiteral("Default"), name, QStringLiteral("468"), QStringLiteral("01"), QStringLiteral("1"), ip,
            userId, QStringLiteral("1"), QStringLiteral("01000000"), QStringLiteral("0")));
    }
    template <class T>
    T *open()
    {
        // By class name, as the menus open them.
        auto *screen = qobject_cast<T *>(ScreenRegistry::create(QLatin1String(T::staticMetaObject.className())));
        EXPECT_NE(screen, nullptr);
        m_nav = std::make_unique<KTBaseNavigationController>(screen);
        return screen;
    }
    void post(const ReplySpec &reply, const QString &hex) { ctx().notices().post(QLatin1String(reply.notice), hex); }
    static void choose(PickerField *field, int row)
    {
        field->beginEditing();
        ASSERT_TRUE(field->selectRow(row));
        field->endEditing();
    }
    PopupCenter &popups() { return PopupCenter::shared(); }
    QStringList hexes() const { return m_recorder.hexes(); }

    std::unique_ptr<KTBaseNavigationController> m_nav;
};

// --- Inserted text ---------------------------------------------------------

TEST_F(OverlayScreenTest, TextScreenOpensOnTheSelectedServerWithItsStartingCodes)
{
    addServer(QStringLiteral("hall"), QStringLiteral("127.0.0.3"), QStringLiteral("00000003"));
    addServer(QStringLiteral("lobby"), QStringLiteral("127.0.0.4"), QStringLiteral("00000004"));
    auto *s = open<SpotWordsViewController>();

    EXPECT_EQ(s->title(), QStringLiteral("插播文字"));
    EXPECT_EQ(s->rightBarButtonTitle(), QStringLiteral("完成"));
    EXPECT_EQ(s->shebeiField()->items(), (QStringList{"hall", "lobby"}));
    EXPECT_EQ(s->shebeiField()->text(), QStringLiteral("hall"));
    // Showing the first server does not select it: the query goes to the selected one.
    ASSERT_EQ(m_recorder.frames.size(), 1);
    EXPECT_EQ(m_recorder.frames[0].hex, QStringLiteral("414e440154017f000001"));
    EXPECT_EQ(m_recorder.frames[0].host, kSelected);
    EXPECT_EQ(CommonManager::sharedManager().currentSelectDev.deviceIp, kSelected);

    EXPECT_EQ(s->colorField()->items().size(), 13);
    EXPECT_EQ(s->fangxiangField()->items(),
              (QStringList{"从左往右", "从右往左", "从上往下", "从下到上", "静止"}));
    EXPECT_EQ(s->isEffect(), "01");
    EXPECT_TRUE(s->isEffectOn());
    EXPECT_EQ(s->colorType(), "01");
    EXPECT_EQ(s->colorField()->text(), QStringLiteral("白色"));
    EXPECT_EQ(s->fangxiangType(), "00");
    EXPECT_EQ(s->fangxiangField()->text(), QStringLiteral("从左往右"));
}

TEST_F(OverlayScreenTest, TextReplyFillsTheScreenAndTheNextSendCarriesIt)
{
    auto *s = open<SpotWordsViewController>();
    post(Catalogue::kSpotWordsReply, kSpotReply);

    EXPECT_FALSE(s->isEffectOn());
    EXPECT_EQ(s->isEffect(), "00");
    EXPECT_EQ(s->suduText(), "10");
    EXPECT_EQ(s->colorField()->text(), QStringLiteral("黄色"));
    EXPECT_EQ(s->fangxiangField()->text(), QStringLiteral("静止"));
    EXPECT_EQ(s->daxiaoText(), "24");
    EXPECT_EQ(s->weizhiXText(), "16");
    EXPECT_EQ(s->weizhiYText(), "32");
    EXPECT_EQ(s->weizhiZText(), "0");
    EXPECT_EQ(s->contentText(), "");

    s->setContentText(QStringLiteral("hi"));
    m_recorder.frames.clear();
    s->clickedBarButtonItemAction();
    EXPECT_EQ(hexes(), QStringList{"414E44015402" "00" "0a" "03" "04" "18" "0010" "0020" "0000" "0002" "6869"});
    EXPECT_TRUE(popups().wasShown(PopupCenter::Success, QStringLiteral("设置成功")));
}

TEST_F(OverlayScreenTest, TextChoicesApplyWhenTheEditEnds)
{
    auto *s = open<SpotWordsViewController>();
    s->setContentText(QStringLiteral("a"));

    // Turning the wheel alone changes nothing.
    s->colorField()->beginEditing();
    s->colorField()->selectRow(12);
    EXPECT_EQ(s->colorType(), "01");
    s->colorField()->endEditing();
    EXPECT_EQ(s->colorType(), "0c");
    EXPECT_EQ(s->colorField()->text(), QStringLiteral("亮蓝色"));

    choose(s->fangxiangField(), 3);
    EXPECT_EQ(s->fangxiangType(), "03");
    EXPECT_EQ(s->fangxiangField()->text(), QStringLiteral("从下到上"));

    // The switch sends nothing by itself.
    m_recorder.frames.clear();
    s->effectSwitchAction(false);
    EXPECT_EQ(s->isEffect(), "00");
    EXPECT_TRUE(m_recorder.frames.isEmpty());

    s->setSuduText(QStringLiteral("9"));
    s->sendSetSpotWords();
    EXPECT_EQ(hexes(), QStringList{"414E44015402" "00" "09" "0c" "03" "00" "0000" "0000" "0000" "0001" "61"});
}

TEST_F(OverlayScreenTest, TextScreenRefusesToSendWhatItCannotSend)
{
    auto *s = open<SpotWordsViewController>();
    m_recorder.frames.clear();

    s->clickedBarButtonItemAction();
    EXPECT_TRUE(m_recorder.frames.isEmpty());
    EXPECT_EQ(popups().texts(PopupCenter::Error), QStringList{QStringLiteral("请输入文字")});

    s->setContentText(QStringLiteral("abc"));
    s->setDaxiaoText(QStringLiteral("256"));
    s->sendSetSpotWords();
    EXPECT_TRUE(m_recorder.frames.isEmpty());
    EXPECT_TRUE(popups().wasShown(PopupCenter::Error, QStringLiteral("数值超出范围")));
    EXPECT_TRUE(popups().texts(PopupCenter::Success).isEmpty());
}

TEST_F(OverlayScreenTest, TextRepliesThatDoNotFitLeaveWhatTheyCannotShow)
{
    auto *s = open<SpotWordsViewController>();
    post(Catalogue::kSpotWordsReply, kSpotReply);

    // Colour 0d and direction 05 are past the lists: those two stay, the rest is shown.
    post(Catalogue::kSpotWordsReply,
         QStringLiteral("414e44025401" "01" "07" "0d" "05" "30" "0001" "0002" "0003" "0001" "7a"));
    EXPECT_EQ(s->colorField()->text(), QStringLiteral("黄色"));
    EXPECT_EQ(s->colorType(), "03");
    EXPECT_EQ(s->fangxiangField()->text(), QStringLiteral("静止"));
    EXPECT_EQ(s->fangxiangType(), "04");
    EXPECT_EQ(s->suduText(), "7");
    EXPECT_EQ(s->contentText(), "z");
    EXPECT_TRUE(s->isEffectOn());

    // A reply cut short changes nothing.
    for (const QString &bad : {QStringLiteral("414e44025401" "00" "01" "02"),
                               QStringLiteral("414e44025401" "00" "01" "02" "01" "10" "0000" "0000" "0000" "0009" "41")}) {
        post(Catalogue::kSpotWordsReply, bad);
        EXPECT_TRUE(s->isEffectOn());
        EXPECT_EQ(s->suduText(), "7");
        EXPECT_EQ(s->colorType(), "03");
        EXPECT_EQ(s->contentText(), "z");
    }
}

TEST_F(OverlayScreenTest, TextThatIsNotUtf8ShowsEverythingElseAndMustBeRetyped)
{
    auto *s = open<SpotWordsViewController>();
    s->setContentText(QStringLiteral("old"));
    post(Catalogue::kSpotWordsReply,
         QStringLiteral("414e44025401" "00" "09" "02" "01" "28" "0005" "0006" "0007" "0004" "b2e2cad4"));
    EXPECT_FALSE(s->isEffectOn());
    EXPECT_EQ(s->suduText(), "9");
    EXPECT_EQ(s->colorField()->text(), QStringLiteral("红色"));
    EXPECT_EQ(s->colorType(), "02");
    EXPECT_EQ(s->fangxiangType(), "01");
    EXPECT_EQ(s->daxiaoText(), "40");
    EXPECT_EQ(s->weizhiXText(), "5");
    EXPECT_EQ(s->weizhiZText(), "7");
    EXPECT_EQ(s->contentText(), "");

    // The unreadable text is not sent back as an empty one.
    m_recorder.frames.clear();
    s->sendSetSpotWords();
    EXPECT_TRUE(m_recorder.frames.isEmpty());
    EXPECT_TRUE(popups().wasShown(PopupCenter::Error, QStringLiteral("请输入文字")));
}

TEST_F(OverlayScreenTest, ChoosingAServerSelectsItAndAsksItAgain)
{
    // Two servers share a name: the row chosen is the one asked.
    addServer(QStringLiteral("same"), QStringLiteral("127.0.0.3"), QStringLiteral("00000003"));
    addServer(QStringLiteral("same"), QStringLiteral("127.0.0.4"), QStringLiteral("00000004"));
    auto *s = open<SpotWordsViewController>();
    m_recorder.frames.clear();

    choose(s->shebeiField(), 0);
    choose(s->shebeiField(), 1);
    ASSERT_EQ(m_recorder.frames.size(), 2);
    EXPECT_EQ(m_recorder.frames[0].host, QStringLiteral("127.0.0.3"));
    EXPECT_EQ(m_recorder.frames[1].host, QStringLiteral("127.0.0.4"));
    EXPECT_EQ(m_recorder.frames[1].hex, QStringLiteral("414e440154017f000001"));
    EXPECT_EQ(CommonManager::sharedManager().currentSelectDev.userId, QStringLiteral("00000004"));
}

TEST_F(OverlayScreenTest, WithoutRecordedServersTheChooserDoesNothing)
{
    auto *text = open<SpotWordsViewController>();
    m_recorder.frames.clear();
    text->shebeiField()->beginEditing();
    text->shebeiField()->endEditing();
    EXPECT_TRUE(text->shebeiField()->text().isEmpty());
    EXPECT_TRUE(m_recorder.frames.isEmpty());
    EXPECT_EQ(CommonManager::sharedManager().currentSelectDev.deviceIp, kSelected);
}

// --- Clock -----------------------------------------------------------------

TEST_F(OverlayScreenTest, ClockScreenOpensOnTheSelectedServerWithTheClockFace)
{
    addServer(QStringLiteral("hall"), QStringLiteral("127.0.0.3"), QStringLiteral("00000003"));
    auto *s = open<ClockSetViewController>();

    EXPECT_EQ(s->title(), QStringLiteral("时钟设定"));
    EXPECT_EQ(s->rightBarButtonTitle(), QStringLiteral("完成"));
    EXPECT_EQ(s->shebeiField()->text(), QStringLiteral("hall"));
    EXPECT_EQ(hexes(), QStringList{"414e440155037f000001"});
    EXPECT_EQ(m_recorder.frames[0].host, kSelected);
    EXPECT_EQ(s->segmentIndex(), 0);
    EXPECT_EQ(s->showImage(), "device_74");
    EXPECT_EQ(s->clockType(), "02");
    EXPECT_TRUE(s->isExecuteOn());
    EXPECT_EQ(s->isExecute(), "01");
}

TEST_F(OverlayScreenTest, ClockReplyChoosesTheClockAndTheNextSendCarriesIt)
{
    addServer(QStringLiteral("hall"), QStringLiteral("127.0.0.3"), QStringLiteral("00000003"));
    const struct
    {
        const char *type;
        const char *execute;
        int segment;
        const char *image;
        bool on;
        const char *frame;
    } cases[] = {
        {"01", "01", 1, "device_53", true, "414e44015504" "01" "0010" "0020" "0040" "0040" "01"},
        {"02", "02", 0, "device_74", false, "414e44015504" "02" "0010" "0020" "0040" "0040" "02"},
        {"00", "00", 0, "device_74", false, "414e44015504" "02" "0010" "0020" "0040" "0040" "02"},
        {"11", "11", 0, "device_74", false, "414e44015504" "02" "0010" "0020" "0040" "0040" "02"},
    };
    auto *s = open<ClockSetViewController>();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.type);
        post(Catalogue::kClockReply, QStringLiteral("414e44025502") + QLatin1String(c.type) +
                                         QStringLiteral("0010" "0020" "0040" "0040") + QLatin1String(c.execute));
        EXPECT_EQ(s->segmentIndex(), c.segment);
        EXPECT_EQ(s->showImage(), QLatin1String(c.image));
        EXPECT_EQ(s->isExecuteOn(), c.on);
        EXPECT_EQ(s->xText(), "16");
        EXPECT_EQ(s->yText(), "32");
        EXPECT_EQ(s->widthText(), "64");
        EXPECT_EQ(s->heightText(), "64");
        m_recorder.frames.clear();
        s->clickedBarButtonItemAction();
        EXPECT_EQ(hexes(), QStringList{QLatin1String(c.frame)});
    }
    EXPECT_EQ(popups().texts(PopupCenter::Success).size(), int(std::size(cases)));
}

TEST_F(OverlayScreenTest, ClockControlsChangeTheCodesAndSendNothing)
{
    addServer(QStringLiteral("hall"), QStringLiteral("127.0.0.3"), QStringLiteral("00000003"));
    auto *s = open<ClockSetViewController>();
    post(Catalogue::kClockReply, QStringLiteral("414e44025502" "02" "0001" "0002" "0003" "0004" "01"));
    m_recorder.frames.clear();

    s->segmentAction(1);
    EXPECT_EQ(s->clockType(), "01");
    EXPECT_EQ(s->showImage(), "device_53");
    s->executeSwitchChange(false);
    EXPECT_EQ(s->isExecute(), "02");
    EXPECT_TRUE(m_recorder.frames.isEmpty());

    // A reply cut short leaves everything.
    post(Catalogue::kClockReply, QStringLiteral("414e44025502" "02" "0001" "0002" "0003" "0004"));
    EXPECT_EQ(s->segmentIndex(), 1);
    EXPECT_FALSE(s->isExecuteOn());

    s->setWidthText(QStringLiteral("70000"));
    s->clickedBarButtonItemAction();
    EXPECT_TRUE(m_recorder.frames.isEmpty());
    EXPECT_TRUE(popups().wasShown(PopupCenter::Error, QStringLiteral("数值超出范围")));
    s->setWidthText(QStringLiteral("640"));
    s->clickedBarButtonItemAction();
    EXPECT_EQ(hexes(), QStringList{"414e44015504" "01" "0001" "0002" "0280" "0004" "02"});
}

TEST_F(OverlayScreenTest, ClockWithoutAServerShownSendsNothing)
{
    auto *s = open<ClockSetViewController>();
    m_recorder.frames.clear();
    s->clickedBarButtonItemAction();
    EXPECT_TRUE(m_recorder.frames.isEmpty());
    EXPECT_EQ(popups().texts(PopupCenter::Error), QStringList{QStringLiteral("请选择需要设定的设备")});
    EXPECT_TRUE(popups().texts(PopupCenter::Success).isEmpty());
}

TEST_F(OverlayScreenTest, ClockChooserShowsTheRowAtOnceAndAsksWhenTheEditEnds)
{
    addServer(QStringLiteral("hall"), QStringLiteral("127.0.0.3"), QStringLiteral("00000003"));
    addServer(QStringLiteral("lobby"), QStringLiteral("127.0.0.4"), QStringLiteral("00000004"));
    auto *s = open<ClockSetViewController>();
    m_recorder.frames.clear();

    s->shebeiField()->beginEditing();
    s->shebeiField()->selectRow(1);
    EXPECT_EQ(s->shebeiField()->text(), QStringLiteral("lobby"));
    EXPECT_TRUE(m_recorder.frames.isEmpty());
    EXPECT_EQ(CommonManager::sharedManager().currentSelectDev.deviceIp, kSelected);

    s->shebeiField()->endEditing();
    EXPECT_EQ(CommonManager::sharedManager().currentSelectDev.deviceIp, QStringLiteral("127.0.0.4"));
    ASSERT_EQ(m_recorder.frames.size(), 1);
    EXPECT_EQ(m_recorder.frames[0].hex, QStringLiteral("414e440155037f000001"));
    EXPECT_EQ(m_recorder.frames[0].host, QStringLiteral("127.0.0.4"));
}

} // namespace
