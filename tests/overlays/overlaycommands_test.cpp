#include "net/qvmethodlib.h"
#include "protocol/colorlist.h"
#include "protocol/overlaycommands.h"
#include "support/testcontext.h"

#include <limits>

namespace {

using Params = QMap<QString, QString>;
using Reply = QMap<QString, QString>;

class OverlayCommandsTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        selectServer(QStringLiteral("127.0.0.2"));
    }
};

Params spotWords(const QString &text)
{
    OverlayCommands::SpotWordsRecord r;
    r.effect = "01";
    r.speed = "5";
    r.color = "02";
    r.direction = "01";
    r.size = "32";
    r.x = "0";
    r.y = "100";
    r.z = "0";
    r.text = text;
    return r.parameters();
}

Params clockParams(const QString &type, const QString &x, const QString &y, const QString &w, const QString &h,
             const QString &execute)
{
    OverlayCommands::ClockRecord r{type, x, y, w, h, execute};
    return r.parameters();
}

Params with(Params p, const QString &key, const QString &value)
{
    p.insert(key, value);
    return p;
}

TEST_F(OverlayCommandsTest, QueriesCarryThePhoneAddressToTheSelectedServersControlPort)
{
    QVmethodLib::sendWordsinitializeInfo();
    QVmethodLib::sendClockinitializeInfo();
    ASSERT_EQ(m_recorder.frames.size(), 2);
    EXPECT_EQ(m_recorder.frames[0].hex, QStringLiteral("414e440154017f000001"));
    EXPECT_EQ(m_recorder.frames[1].hex, QStringLiteral("414e440155037f000001"));
    for (const SentFrame &f : m_recorder.frames) {
        EXPECT_EQ(f.host, QStringLiteral("127.0.0.2"));
        EXPECT_EQ(f.port, 5760);
        EXPECT_EQ(f.timeoutSec, -1);
        EXPECT_EQ(f.tag, 0);
    }
}

TEST_F(OverlayCommandsTest, SetFramesAreWrittenFieldByField)
{
    struct Case
    {
        const char *what;
        bool spot; // else clock
        Params params;
        QString hex;
    };
    const Case cases[] = {
        {"effect on, abc: 22 bytes", true, spotWords("abc"),
         "414E44015402" "01" "05" "02" "01" "20" "0000" "0064" "0000" "0003" "616263"},
        {"two Chinese characters are six bytes", true, spotWords(QStringLiteral("你好")),
         "414E44015402" "01" "05" "02" "01" "20" "0000" "0064" "0000" "0006" "e4bda0e5a5bd"},
        {"empty text: length 0000 and nothing after", true, spotWords(""),
         "414E44015402" "01" "05" "02" "01" "20" "0000" "0064" "0000" "0000"},
        {"empty, blank-led and non-numeric fields read like a text field",
         true, with(with(with(spotWords("a"), "speed", ""), "wordsSize", "big"), "weizhiX", " 12px"),
         "414E44015402" "01" "00" "02" "01" "00" "000c" "0064" "0000" "0001" "61"},
        {"absent keys are empty, codes copied in their case", true,
         Params{{"isEffect", "00"}, {"colorType", "0C"}, {"fangxiangType", "04"}, {"wordsString", "x"}},
         "414E44015402" "00" "00" "0C" "04" "00" "0000" "0000" "0000" "0001" "78"},
        {"the largest values that fit", true,
         with(with(with(spotWords("a"), "speed", "255"), "wordsSize", "255"), "weizhiZ", "65535"),
         "414E44015402" "01" "ff" "02" "01" "ff" "0000" "0064" "ffff" "0001" "61"},
        {"digital clock at 0,0, 200x100, running", false, clockParams("01", "0", "0", "200", "100", "01"),
         "414e44015504" "01" "0000" "0000" "00c8" "0064" "01"},
        {"clock face at 16,32, 64x64, not running", false, clockParams("02", "16", "32", "64", "64", "02"),
         "414e44015504" "02" "0010" "0020" "0040" "0040" "02"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        m_recorder.frames.clear();
        QString misfit = QStringLiteral("unset");
        const bool sent = c.spot ? QVmethodLib::sendSetSpotWordsWithParameters(c.params, &misfit)
                                 : QVmethodLib::sendSetClockOrderWithParameters(c.params, &misfit);
        EXPECT_TRUE(sent);
        EXPECT_TRUE(misfit.isEmpty());
        ASSERT_EQ(m_recorder.frames.size(), 1);
        EXPECT_EQ(m_recorder.frames[0].hex, c.hex);
        EXPECT_EQ(m_recorder.frames[0].host, QStringLiteral("127.0.0.2"));
        EXPECT_EQ(m_recorder.frames[0].port, 5760);
        EXPECT_EQ(m_recorder.frames[0].timeoutSec, -1);
    }
    EXPECT_EQ(cases[0].hex.size() / 2, 22);
}

// A field that does not fit would shift every later field of the frame.
TEST_F(OverlayCommandsTest, AFieldThatDoesNotFitSendsNothingAndIsNamed)
{
    struct Case
    {
        bool spot;
        Params params;
        const char *misfit;
    };
    const Params okClock = clockParams("01", "0", "0", "200", "100", "01");
    const Case cases[] = {
        {true, with(spotWords("a"), "speed", "256"), "speed"},
        {true, with(spotWords("a"), "wordsSize", "-1"), "wordsSize"},
        {true, with(spotWords("a"), "weizhiY", "65536"), "weizhiY"},
        {true, with(spotWords("a"), "weizhiX", "99999999999999999999"), "weizhiX"},
        {true, with(spotWords("a"), "isEffect", "1"), "isEffect"},
        {true, with(spotWords("a"), "colorType", "zz"), "colorType"},
        {true, with(spotWords("a"), "fangxiangType", "004"), "fangxiangType"},
        {true, spotWords(QString(65507 - 19 + 1, QLatin1Char('a'))), "wordsString"},
        {false, with(okClock, "daxiaoX", "65536"), "daxiaoX"},
        {false, with(okClock, "weizhiY", "-5"), "weizhiY"},
        {false, with(okClock, "clockType", ""), "clockType"},
        {false, with(okClock, "isExecute", "2"), "isExecute"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.misfit);
        QString misfit;
        const bool sent = c.spot ? QVmethodLib::sendSetSpotWordsWithParameters(c.params, &misfit)
                                 : QVmethodLib::sendSetClockOrderWithParameters(c.params, &misfit);
        EXPECT_FALSE(sent);
        EXPECT_EQ(misfit, QLatin1String(c.misfit));
    }
    EXPECT_TRUE(m_recorder.frames.isEmpty());
    // The longest text that still fits one datagram goes out.
    EXPECT_TRUE(QVmethodLib::sendSetSpotWordsWithParameters(spotWords(QString(65507 - 19, QLatin1Char('a')))));
    EXPECT_EQ(m_recorder.frames.size(), 1);
}

TEST(OverlayReplies, SpotWordsReplyGivesEveryKey)
{
    const auto r = OverlayCommands::getSpotWordsInitInfoWithModelNotice(
        QStringLiteral("414e44025401" "00" "0a" "03" "04" "18" "0010" "0020" "0000" "0000"));
    ASSERT_TRUE(r);
    const Reply expected{{"isWordsEffect", "00"}, {"wordsSpeed", "10"},     {"wordsSpeedHex", "0a"},
                         {"colorIndex", "3"},     {"wordsColorHex", "03"},  {"fangxiangIndex", "4"},
                         {"fangxiangHex", "04"},  {"wordSize", "24"},       {"XLong", "16"},
                         {"YLong", "32"},         {"ZLong", "0"},           {"contentString", ""}};
    EXPECT_EQ(*r, expected);

    const auto chinese = OverlayCommands::getSpotWordsInitInfoWithModelNotice(
        QStringLiteral("414e44025401" "01" "ff" "0c" "00" "20" "ffff" "0001" "0002" "0006" "e4bda0e5a5bd" "9999"));
    ASSERT_TRUE(chinese);
    EXPECT_EQ(chinese->value("contentString"), QStringLiteral("你好"));
    EXPECT_EQ(chinese->value("wordsSpeed"), "255");
    EXPECT_EQ(chinese->value("colorIndex"), "12");
    EXPECT_EQ(chinese->value("XLong"), "65535");
}

// What the screens and qevactl send when nothing is changed: the server's own fields.
TEST(OverlayRecords, AReplySavedUnchangedWritesBackWhatTheServerHas)
{
    const struct
    {
        const char *name;
        QString reply;
        const char *frame;
    } spotCases[] = {
        {"every field as it came", "414e44025401" "01" "05" "02" "01" "20" "0000" "0064" "0000" "0003" "616263",
         "414E44015402" "01" "05" "02" "01" "20" "0000" "0064" "0000" "0003" "616263"},
        {"only 01 turns the effect on; the largest values", "414e44025401" "02" "ff" "0c" "04" "ff" "ffff" "0001" "fffe" "0006" "e4bda0e5a5bd",
         "414E44015402" "00" "ff" "0c" "04" "ff" "ffff" "0001" "fffe" "0006" "e4bda0e5a5bd"},
        {"a text that is not UTF-8 is written as none", "414e44025401" "01" "07" "0c" "02" "30" "0001" "0002" "0003" "0002" "fffe",
         "414E44015402" "01" "07" "0c" "02" "30" "0001" "0002" "0003" "0000"},
    };
    for (const auto &c : spotCases) {
        SCOPED_TRACE(c.name);
        const auto reply = OverlayCommands::getSpotWordsInitInfoWithModelNotice(c.reply);
        ASSERT_TRUE(reply.has_value());
        const auto request = OverlayCommands::spotWords(OverlayCommands::SpotWordsRecord::fromReply(*reply).parameters());
        ASSERT_TRUE(request.has_value());
        EXPECT_EQ(request->frame, QLatin1String(c.frame));
    }

    const struct
    {
        const char *name;
        QString reply;
        const char *frame;
    } clockCases[] = {
        {"digital, running", "414e44025502" "01" "0010" "0020" "0040" "0040" "01",
         "414e44015504" "01" "0010" "0020" "0040" "0040" "01"},
        // Only 01 is the digital clock and only 1 runs it; the rest is the face, stopped.
        {"unknown codes", "414e44025502" "00" "0000" "ffff" "0001" "0002" "00",
         "414e44015504" "02" "0000" "ffff" "0001" "0002" "02"},
        {"type 03, run 02", "414e44025502" "03" "0001" "0002" "0003" "0004" "02",
         "414e44015504" "02" "0001" "0002" "0003" "0004" "02"},
    };
    for (const auto &c : clockCases) {
        SCOPED_TRACE(c.name);
        const auto reply = OverlayCommands::getClockSetInitInfoWithModelNotice(c.reply);
        ASSERT_TRUE(reply.has_value());
        const auto request = OverlayCommands::clock(OverlayCommands::ClockRecord::fromReply(*reply).parameters());
        ASSERT_TRUE(request.has_value());
        EXPECT_EQ(request->frame, QLatin1String(c.frame));
    }
}

TEST(OverlayReplies, ClockReplyGivesEveryKey)
{
    const auto r = OverlayCommands::getClockSetInitInfoWithModelNotice(
        QStringLiteral("414e44025502" "01" "0010" "0020" "0040" "0040" "01"));
    ASSERT_TRUE(r);
    const Reply expected{{"clockType", "01"}, {"XLong", "16"}, {"YLong", "32"},
                         {"WLong", "64"},     {"HLong", "64"}, {"isexecute", "1"}};
    EXPECT_EQ(*r, expected);
}

// Cut at every length, or lying about the text: nothing, and nothing read
// past the end (the sanitizer would see it).
TEST(OverlayReplies, BadRepliesGiveNothing)
{
    const QString spot = QStringLiteral("414e44025401" "01" "05" "02" "01" "20" "0000" "0064" "0000" "0003" "616263");
    const QString clockReply = QStringLiteral("414e44025502" "01" "0010" "0020" "0040" "0040" "01");
    for (qsizetype n = 0; n < spot.size(); ++n)
        EXPECT_FALSE(OverlayCommands::getSpotWordsInitInfoWithModelNotice(spot.left(n))) << "cut at " << n;
    for (qsizetype n = 0; n < clockReply.size(); ++n)
        EXPECT_FALSE(OverlayCommands::getClockSetInitInfoWithModelNotice(clockReply.left(n))) << "cut at " << n;
    EXPECT_TRUE(OverlayCommands::getSpotWordsInitInfoWithModelNotice(spot));
    EXPECT_TRUE(OverlayCommands::getClockSetInitInfoWithModelNotice(clockReply));

    const QString head = QStringLiteral("414e44025401" "01" "05" "02" "01" "20" "0000" "0064" "0000");
    const struct
    {
        const char *what;
        QString hex;
    } bad[] = {
        {"length past the end", head + "ffff" "616263"},
        {"length one past the end", head + "0004" "616263"},
        {"a number that is not hex", QStringLiteral("414e44025401" "01" "0g" "02" "01" "20" "0000" "0064" "0000" "0000")},
    };
    for (const auto &b : bad)
        EXPECT_FALSE(OverlayCommands::getSpotWordsInitInfoWithModelNotice(b.hex)) << b.what;
    EXPECT_FALSE(OverlayCommands::getClockSetInitInfoWithModelNotice(
        QStringLiteral("414e44025502" "01" "00z0" "0020" "0040" "0040" "01")));
}

// A text the client cannot read costs the text, not the settings around it.
TEST(OverlayReplies, TextThatIsNotUtf8ReadsEmptyAndKeepsTheOtherFields)
{
    const QString head = QStringLiteral("414e44025401" "01" "07" "0c" "02" "30" "0001" "0002" "0003");
    const struct
    {
        const char *what;
        QString hex;
    } cases[] = {
        {"bytes that are never UTF-8", head + "0002" "fffe"},
        {"a lone continuation byte", head + "0003" "61" "80" "62"},
        {"a GBK text", head + "0004" "b2e2cad4"},
        {"a sequence cut at the end of the field", head + "0002" "e4bd" "a0"},
    };
    for (const auto &c : cases) {
        const auto r = OverlayCommands::getSpotWordsInitInfoWithModelNotice(c.hex);
        ASSERT_TRUE(r) << c.what;
        const Reply expected{{"isWordsEffect", "01"}, {"wordsSpeed", "7"},     {"wordsSpeedHex", "07"},
                             {"colorIndex", "12"},    {"wordsColorHex", "0c"}, {"fangxiangIndex", "2"},
                             {"fangxiangHex", "02"},  {"wordSize", "48"},      {"XLong", "1"},
                             {"YLong", "2"},          {"ZLong", "3"},          {"contentString", ""}};
        EXPECT_EQ(*r, expected) << c.what;
    }
    // Cut short inside such a text it is still a reply cut short.
    EXPECT_FALSE(OverlayCommands::getSpotWordsInitInfoWithModelNotice(head + "0004" "b2e2ca"));
}

TEST_F(OverlayCommandsTest, EffectFramesCarryTheWindowIdAndGoOutUnchanged)
{
    const struct
    {
        int tag;
        const char *window;
        const char *hex;
    } cases[] = {
        {1, "02", "414E44015505" "02" "0100"}, {2, "01", "414E44015505" "01" "0200"},
        {3, "01", "414E44015505" "01" "0301"}, {4, "01", "414E44015505" "01" "0300"},
        {5, "0a", "414E44015505" "0a" "0302"}, {0, "01", ""},
        {6, "01", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(OverlayCommands::animationOrderString(c.tag, c.window), QLatin1String(c.hex)) << "tag " << c.tag;

    QVmethodLib::sendAnimationOrderWithOrderString(QStringLiteral("414E4401550501" "0300"));
    QVmethodLib::sendAnimationOrderWithOrderString(QString());
    ASSERT_EQ(m_recorder.frames.size(), 1);
    EXPECT_EQ(m_recorder.frames[0].hex, QStringLiteral("414E44015505010300"));
    EXPECT_EQ(m_recorder.frames[0].hex.size() / 2, 9);
    EXPECT_EQ(m_recorder.frames[0].host, QStringLiteral("127.0.0.2"));
    EXPECT_EQ(m_recorder.frames[0].port, 5760);
    EXPECT_EQ(m_recorder.frames[0].timeoutSec, -1);
}

TEST(OverlayFields, NumbersAreReadLikeATextField)
{
    const struct
    {
        const char *text;
        qint64 value;
    } cases[] = {
        {"", 0},       {"abc", 0},   {"  42", 42}, {"+7", 7},    {"-3", -3}, {"12px", 12},
        {"1 2", 1},    {"٣", 0},     {"9223372036854775807", std::numeric_limits<qint64>::max()},
        {"99999999999999999999", std::numeric_limits<qint64>::max()},
        {"-99999999999999999999", std::numeric_limits<qint64>::min()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(OverlayCommands::integerValue(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(ColorListTest, ThirteenCodesInLabelOrder)
{
    ASSERT_EQ(ColorList::labels().size(), 13);
    ASSERT_EQ(ColorList::codes().size(), 13);
    EXPECT_EQ(ColorList::labels().first(), QStringLiteral("黑色"));
    EXPECT_EQ(ColorList::label(3), QStringLiteral("黄色"));
    EXPECT_EQ(ColorList::label(12), QStringLiteral("亮蓝色"));
    EXPECT_EQ(ColorList::code(10), QStringLiteral("0a"));
    EXPECT_EQ(ColorList::code(12), QStringLiteral("0c"));
    EXPECT_TRUE(ColorList::label(13).isEmpty());
    EXPECT_TRUE(ColorList::code(-1).isEmpty());
    EXPECT_EQ(ColorList::indexOfCode(QStringLiteral("0C")), 12);
    for (const char *bad : {"0d", "c", "+c", "", "00 "})
        EXPECT_FALSE(ColorList::indexOfCode(QLatin1String(bad))) << bad;
}

} // namespace
