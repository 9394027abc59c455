#include "protocol/hexcodec.h"
#include "protocol/timedplaycommands.h"
#include "screenfixture.h"
#include "screens/timedplay/timeplaywordsviewcontroller.h"
#include "screens/timedplay/timingplayviewcontroller.h"
#include "timedplayfixtures.h"
#include "ui/datetimefield.h"

#include <QDate>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

class TimingPlayTest : public TimedPlayScreenTest
{
protected:
    TimingPlayViewController *open(const QVariantMap &chooseDict, bool modify)
    {
        session().isAddTimeProject = modify;
        auto *s = new TimingPlayViewController;
        s->setWindowID(QStringLiteral("01"));
        s->setChooseDict(chooseDict);
        return push(s);
    }
    TimingPlayViewController *openAdd() { return open({{"state", "0"}, {"projectIDHex", "04"}}, false); }

    static void pick(DateTimeField *field, const QDate &date)
    {
        field->beginEditing();
        field->selectDate(date);
        field->endEditing();
    }
    static void pick(DateTimeField *field, const QTime &time)
    {
        field->beginEditing();
        field->selectTime(time);
        field->endEditing();
    }
    void fillRange(TimingPlayViewController *s)
    {
        pick(s->startDateField(), QDate(2016, 3, 1));
        pick(s->endDateField(), QDate(2016, 3, 1));
        pick(s->startTimeField(), QTime(8, 0, 0));
        pick(s->endTimeField(), QTime(9, 0, 0));
    }
    // A stored scheme as the list hands it over for modifying.
    static QVariantMap storedScheme(const QString &clockType)
    {
        SchemeFields f = namedScheme(QStringLiteral("02"), QStringLiteral("晚间"));
        f.clockType = clockType;
        f.clock = {QStringLiteral("000a"), QStringLiteral("0014"), QStringLiteral("0100"), QStringLiteral("ffff")};
        f.words = QStringLiteral("欢迎");
        f.wordSpeed = QStringLiteral("07");
        QVariantMap record = *TimedPlayCommands::getReceiveTimePlayListInfoNotice(schemeReplyHex(f, false));
        record.insert(QStringLiteral("state"), QStringLiteral("1"));
        return record;
    }
};

TEST_F(TimingPlayTest, OpensWithNoClockTodayAndNow)
{
    auto *s = openAdd();
    EXPECT_EQ(s->title(), QStringLiteral("定时播放方案设定"));
    EXPECT_EQ(s->clockType(), QStringLiteral("00"));
    EXPECT_FALSE(s->selectClock());
    EXPECT_EQ(s->rightBarButtonTitle(), QStringLiteral("下一步"));
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
    EXPECT_EQ(s->startDateField()->text(), today);
    EXPECT_EQ(s->endDateField()->text(), today);
    const QRegularExpression hms(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"));
    EXPECT_TRUE(hms.match(s->startTimeField()->text()).hasMatch()) << s->startTimeField()->text().toStdString();
    EXPECT_TRUE(hms.match(s->endTimeField()->text()).hasMatch());
    EXPECT_TRUE(s->dateAndTimeLabel().isEmpty());
}

TEST_F(TimingPlayTest, ClockBoxAndSegmentGiveTheClockType)
{
    auto *s = openAdd();
    // Each step from the state the one before left.
    const QList<std::tuple<const char *, std::function<void()>, QString>> steps{
        {"tick with the virtual clock segment", [s] { s->didSelectedCheckBox(true); }, "02"},
        {"digital clock segment while ticked", [s] { s->senmentControlAction(1); }, "01"},
        {"untick", [s] { s->didSelectedCheckBox(false); }, "00"},
        {"segment change while unticked", [s] { s->senmentControlAction(0); }, "00"},
        {"tick again on the virtual segment", [s] { s->didSelectedCheckBox(true); }, "02"},
        {"a segment that does not exist changes nothing", [s] { s->senmentControlAction(2); }, "02"},
    };
    for (const auto &[name, act, type] : steps) {
        act();
        EXPECT_EQ(s->clockType(), type) << name;
    }
}

TEST_F(TimingPlayTest, AddDateAppendsEachEntryAndClearEmptiesThem)
{
    auto *s = openAdd();
    fillRange(s);
    s->dateButtonAction(TimingPlayViewController::AddDateTag);
    s->dateButtonAction(TimingPlayViewController::AddDateTag);
    const QString entry = QStringLiteral("2016/03/01~2016/03/01#08:00:00~09:00:00;");
    EXPECT_EQ(s->dateAndTimeLabel(), entry + entry);
    EXPECT_EQ(s->dateAndTimeString(), entry + entry);

    s->dateButtonAction(TimingPlayViewController::ClearDateTag);
    EXPECT_TRUE(s->dateAndTimeLabel().isEmpty());
    EXPECT_TRUE(s->dateAndTimeString().isEmpty());
}

TEST_F(TimingPlayTest, NextRefusesWhatCannotBeSentAndStays)
{
    struct Case
    {
        const char *name;
        std::function<void(TimingPlayViewController *)> fill;
        QString error;
    };
    const QList<Case> cases{
        {"no name", [](TimingPlayViewController *) {}, "请填写方案名称"},
        {"no date", [](TimingPlayViewController *s) { s->setProjectName("早间"); }, "请添加日期"},
        {"clock x past two bytes",
         [this](TimingPlayViewController *s) {
             s->setProjectName("早间");
             fillRange(s);
             s->dateButtonAction(TimingPlayViewController::AddDateTag);
             s->setClockX("65536");
         },
         "时钟位置和大小应在0到65535之间"},
        {"negative height",
         [this](TimingPlayViewController *s) {
             s->setProjectName("早间");
             fillRange(s);
             s->dateButtonAction(TimingPlayViewController::AddDateTag);
             s->setClockHeight("-1");
         },
         "时钟位置和大小应在0到65535之间"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        popups().clearHistory();
        auto *s = openAdd();
        c.fill(s);
        s->clickedBarButtonItemAction();
        EXPECT_EQ(popups().texts(PopupCenter::Error), QStringList{c.error});
        EXPECT_EQ(m_nav->top(), s);
        m_nav->popToRoot();
        flushDeletes();
    }
    EXPECT_TRUE(m_recorder.frames.isEmpty());
}

TEST_F(TimingPlayTest, NextHandsTheSettingsToTheTextStep)
{
    struct Case
    {
        const char *name;
        QString projectName;
        QString lenHex;
    };
    const QList<Case> cases{
        {"two Chinese characters: N = 6", "早间", "0006"},
        {"forty Chinese characters: N = 120", QString(40, QChar(0x65e9)), "0078"},
        {"plain letters", "ab", "0002"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto *s = openAdd();
        s->setProjectName(c.projectName);
        s->didSelectedCheckBox(true);
        s->setClockX("10");
        s->setClockY("20px");
        s->setClockWidth("");
        s->setClockHeight("65535");
        fillRange(s);
        s->dateButtonAction(TimingPlayViewController::AddDateTag);
        s->clickedBarButtonItemAction();

        auto *words = top<TimePlayWordsViewController>();
        ASSERT_NE(words, nullptr);
        EXPECT_EQ(words->windowID(), QStringLiteral("01"));
        const QVariantMap pass = words->passValueDict();
        const QString schedule = QStringLiteral("2016/03/01~2016/03/01#08:00:00~09:00:00;");
        EXPECT_EQ(pass.value("ProjectNameLenHex").toString(), c.lenHex);
        EXPECT_EQ(pass.value("ProjectNameHex").toString(), HexCodec::chineseToHex(c.projectName));
        EXPECT_EQ(pass.value("ProjectNameHex").toString().size(), 2 * c.lenHex.toInt(nullptr, 16));
        EXPECT_EQ(pass.value("projectIDHex").toString(), QStringLiteral("04"));
        EXPECT_EQ(pass.value("clockDict").toMap(), (QVariantMap{{"clockTypeHex", "02"}, {"weizhiXHex", "000a"},
                                                                {"weizhiYHex", "0014"}, {"kuanduHex", "0000"},
                                                                {"gaoduHex", "ffff"}}));
        EXPECT_TRUE(pass.value("wordsDict").toMap().isEmpty()) << "a new scheme has no stored text";
        EXPECT_EQ(pass.value("timeDict").toMap(),
                  (QVariantMap{{"wordsString", HexCodec::chineseToHex(schedule)}, {"wordsHex", "0028"}}));
        m_nav->popToRoot();
        flushDeletes();
    }
}

TEST_F(TimingPlayTest, ModifyModeFillsFromTheStoredSchemeOnEveryAppearance)
{
    const QList<std::tuple<QString, bool, int, QString>> clockCases{
        // stored clock type, box, segment, clock type
        {"01", true, 1, "01"},
        {"02", true, 0, "02"},
        {"00", false, 0, "00"},
        {"0a", false, 0, "00"},
    };
    for (const auto &[stored, box, segment, type] : clockCases) {
        SCOPED_TRACE(stored.toStdString());
        auto *s = open(storedScheme(stored), true);
        EXPECT_EQ(s->projectName(), QStringLiteral("晚间"));
        EXPECT_EQ(s->selectClock(), box);
        EXPECT_EQ(s->segmentIndex(), segment);
        EXPECT_EQ(s->clockType(), type);
        EXPECT_EQ(QStringList({s->clockX(), s->clockY(), s->clockWidth(), s->clockHeight()}),
                  QStringList({"10", "20", "256", "65535"}));
        EXPECT_EQ(s->dateAndTimeLabel(), QStringLiteral("2016/03/01~2016/03/31#08:00:00~18:00:00;"));
        m_nav->popToRoot();
        flushDeletes();
    }

    // Edits, the text step and back: the stored values come back over the edits.
    auto *s = open(storedScheme("01"), true);
    s->setProjectName("改过");
    s->didSelectedCheckBox(false);
    s->setClockX("99");
    s->clickedBarButtonItemAction();
    auto *words = top<TimePlayWordsViewController>();
    ASSERT_NE(words, nullptr);
    EXPECT_EQ(words->passValueDict().value("wordsDict").toMap().value("wordString").toString(),
              HexCodec::chineseToHex(QStringLiteral("欢迎")));
    m_nav->pop();
    EXPECT_EQ(s->projectName(), QStringLiteral("晚间"));
    EXPECT_EQ(s->clockType(), QStringLiteral("01"));
    EXPECT_EQ(s->clockX(), QStringLiteral("10"));

    // "添加日期" adds to the stored schedule rather than replacing it.
    fillRange(s);
    s->dateButtonAction(TimingPlayViewController::AddDateTag);
    EXPECT_EQ(s->dateAndTimeLabel(), QStringLiteral("2016/03/01~2016/03/31#08:00:00~18:00:00;"
                                                    "2016/03/01~2016/03/01#08:00:00~09:00:00;"));
}

TEST_F(TimingPlayTest, AddModeDoesNotFillEvenWithARecordAtHand)
{
    auto *s = open(storedScheme("01"), false);
    EXPECT_TRUE(s->projectName().isEmpty());
    EXPECT_EQ(s->clockType(), QStringLiteral("00"));
    EXPECT_TRUE(s->dateAndTimeLabel().isEmpty());
}

} // namespace
