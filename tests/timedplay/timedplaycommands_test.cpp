#include "net/qvmethodlib.h"
#include "protocol/hexcodec.h"
#include "protocol/timedplaycommands.h"
#include "support/testcontext.h"
#include "timedplayfixtures.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

std::optional<QString> parameterFrame(const TimedPlayCommands::TimePlayParamFields &f)
{
    const auto request = TimedPlayCommands::schemeParameters(f);
    return request ? std::optional<QString>(request->frame) : std::nullopt;
}

class TimedPlayCommandsTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        selectServer(QStringLiteral("127.0.0.2"), QStringLiteral("01"));
    }
};

TEST_F(TimedPlayCommandsTest, QueriesCarryWindowSchemeAndPhoneAndTheDeletionTextIsNotSent)
{
    QVmethodLib::getTimePlayListInitializeInfoWithWindowID(QStringLiteral("02"));
    QVmethodLib::getTimePlayDetailInfoWithWindowID(QStringLiteral("02"), QStringLiteral("05"));
    const QString deletion = QVmethodLib::deleteSelectedPlayProjectWithProjectCount(3, QStringLiteral("02"));

    ASSERT_EQ(m_recorder.frames.size(), 2) << "the deletion text is returned, never sent";
    const SentFrame list = m_recorder.frames.at(0), detail = m_recorder.frames.at(1);
    EXPECT_EQ(list.hex, QStringLiteral("414e4401530102") + QStringLiteral("7f000001"));
    EXPECT_EQ(list.timeoutSec, 10);
    EXPECT_EQ(detail.hex, QStringLiteral("414e440153030205") + QStringLiteral("7f000001"));
    EXPECT_EQ(detail.timeoutSec, -1);
    for (const SentFrame &f : m_recorder.frames) {
        EXPECT_EQ(f.host, QStringLiteral("127.0.0.2"));
        EXPECT_EQ(f.port, ctx().config().serverPort);
    }
    EXPECT_EQ(deletion, QStringLiteral("414e4401530202") + QStringLiteral("03"));
}

QVariantMap fileEntry(const QString &lenHex, const QString &contentHex)
{
    return {{QStringLiteral("filesLenHex"), lenHex}, {QStringLiteral("filesContentHex"), contentHex}};
}

TEST_F(TimedPlayCommandsTest, FileFramesEndWithFfButTheLastWithItsClosingByte)
{
    const QString ten = QStringLiteral("61626364656667686970"); // 10 bytes, 20 characters
    struct Case
    {
        const char *name;
        QVariantList entries;
        QStringList frames;
    };
    const QList<Case> cases{
        {"empty list", {}, {}},
        {"000a and 20 characters: (4 + 20) mod 100 = 24, written 18",
         {fileEntry(QStringLiteral("000a"), ten)},
         {QStringLiteral("414e44015602000a") + ten + QStringLiteral("18")}},
        {"two entries",
         {fileEntry(QStringLiteral("0002"), QStringLiteral("6162")), fileEntry(QStringLiteral("0001"), QStringLiteral("63"))},
         {QStringLiteral("414e440156020002616" "2ff"), QStringLiteral("414e440156020001" "63" "06")}},
        {"a 48-byte name wraps to 00",
         {fileEntry(QStringLiteral("0030"), QString(96, QLatin1Char('a')))},
         {QStringLiteral("414e440156020030") + QString(96, QLatin1Char('a')) + QStringLiteral("00")}},
        {"an entry that would shift the frame is left out, the one before it becomes the last",
         {fileEntry(QStringLiteral("0001"), QStringLiteral("63")), fileEntry(QStringLiteral("1"), QStringLiteral("6x"))},
         {QStringLiteral("414e440156020001" "63" "06")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        m_recorder.frames.clear();
        EXPECT_EQ(frameTexts(TimedPlayCommands::schemeFiles(c.entries)), c.frames);
        QVmethodLib::addPlayFiletoTimePlayListWithChooseListArray(c.entries);
        EXPECT_EQ(m_recorder.hexes(), c.frames);
        for (const SentFrame &f : m_recorder.frames)
            EXPECT_EQ(f.timeoutSec, -1);
    }
}

TEST_F(TimedPlayCommandsTest, SchemeReplyGivesEveryKeyWithHexValuesAsTheyStand)
{
    SchemeFields s;
    s.window = QStringLiteral("0A");
    s.id = QStringLiteral("03");
    s.name = QStringLiteral("早间");
    s.clockType = QStringLiteral("02");
    s.clock = {QStringLiteral("000A"), QStringLiteral("0014"), QStringLiteral("0064"), QStringLiteral("0032")};
    s.wordIsExist = QStringLiteral("01");
    s.wordSpeed = QStringLiteral("05");
    s.wordColor = QStringLiteral("0C");
    s.wordFangxiang = QStringLiteral("04");
    s.wordSize = QStringLiteral("10");
    s.wordPosition = {QStringLiteral("0001"), QStringLiteral("0002"), QStringLiteral("FFFE")};
    s.words = QStringLiteral("你好");
    s.schedule = QStringLiteral("2016/03/01~2016/03/31#08:00:00~18:00:00;");

    const auto record = TimedPlayCommands::getReceiveTimePlayListInfoNotice(schemeReplyHex(s, true));
    ASSERT_TRUE(record);
    const QVariantMap clock = record->value("clockDict").toMap();
    const QVariantMap words = record->value("wordsDict").toMap();
    const QVariantMap time = record->value("timeDict").toMap();
    const QMap<QString, QString> expected{
        {"windIDHex", "0A"},
        {"projectIDHex", "03"},
        {"projectNameLen", "6"},
        {"projectName", "早间"},
        {"checked", "NO"},
    };
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        EXPECT_EQ(record->value(it.key()).toString(), it.value()) << it.key().toStdString();
    EXPECT_EQ(clock, (QVariantMap{{"clockTypeHex", "02"}, {"clockXHex", "000A"}, {"clockYHex", "0014"},
                                  {"clockWHex", "0064"}, {"clockHHex", "0032"}}));
    EXPECT_EQ(words, (QVariantMap{{"wordIsExistHex", "01"}, {"wordSpeedHex", "05"}, {"wordColorHex", "0C"},
                                  {"wordFangxiangHex", "04"}, {"wordSizeHex", "10"}, {"wordXHex", "0001"},
                                  {"wordYHex", "0002"}, {"wordZHex", "FFFE"}, {"wordsLenHex", "0006"},
                                  {"wordsLen", "6"}, {"wordString", "e4bda0e5a5bd"}}));
    EXPECT_EQ(time.value("timeStartLenHex").toString(), QStringLiteral("0028"));
    EXPECT_EQ(time.value("timeStartLen").toString(), QStringLiteral("40"));
    EXPECT_EQ(time.value("timeStartString").toString(), HexCodec::chineseToHex(s.schedule));
    EXPECT_EQ(record->size(), 8);
}

// What the scheme editor and qevactl write back for a scheme nobody changed:
// the server's own fields, the lengths counted again.
TEST(SchemeRecordTest, ASchemeWrittenBackUnchangedIsTheSchemeTheServerListed)
{
    SchemeFields full = namedScheme(QStringLiteral("0b"), QStringLiteral("早间"));
    full.window = QStringLiteral("02");
    full.clockType = QStringLiteral("02");
    full.clock = {QStringLiteral("000A"), QStringLiteral("0014"), QStringLiteral("0064"), QStringLiteral("0032")};
    full.wordIsExist = QStringLiteral("01");
    full.wordColor = QStringLiteral("0C");
    full.wordPosition = {QStringLiteral("0001"), QStringLiteral("0002"), QStringLiteral("FFFE")};
    full.words = QStringLiteral("你好");
    const struct
    {
        const char *name;
        SchemeFields scheme;
        bool followed;
    } cases[] = {
        {"every field, codes in their case", full, false},
        {"the list mark is not part of the scheme", full, true},
        {"empty name, text and schedule", SchemeFields(), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const auto scheme = TimedPlayCommands::getReceiveTimePlayListInfoNotice(schemeReplyHex(c.scheme, c.followed));
        ASSERT_TRUE(scheme.has_value());
        const auto frame = parameterFrame(TimedPlayCommands::SchemeRecord::fromScheme(*scheme).parameterFields());
        ASSERT_TRUE(frame.has_value());
        EXPECT_EQ(*frame, QStringLiteral("414e44015602") + schemeReplyHex(c.scheme, false).mid(12));
    }
}

TEST_F(TimedPlayCommandsTest, EmptySchemeReadsAsEmptyTextsAndZeroLengths)
{
    const auto record = TimedPlayCommands::getReceiveTimePlayListInfoNotice(schemeReplyHex(SchemeFields(), false));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->value("projectName").toString(), QString());
    EXPECT_EQ(record->value("projectNameLen").toString(), QStringLiteral("0"));
    EXPECT_EQ(record->value("wordsDict").toMap().value("wordString").toString(), QString());
    EXPECT_EQ(record->value("wordsDict").toMap().value("wordsLen").toString(), QStringLiteral("0"));
    EXPECT_EQ(record->value("timeDict").toMap().value("timeStartString").toString(), QString());
    EXPECT_EQ(record->value("timeDict").toMap().value("timeStartLen").toString(), QStringLiteral("0"));
}

TEST_F(TimedPlayCommandsTest, ReplySequencesGoOnWhileFf00StandsAnywhereInEitherCase)
{
    const QString last = schemeReplyHex(SchemeFields(), false);
    EXPECT_FALSE(TimedPlayCommands::isTimePlayReplyFollowed(last));
    EXPECT_TRUE(TimedPlayCommands::isTimePlayReplyFollowed(last + QStringLiteral("ff00")));
    EXPECT_TRUE(TimedPlayCommands::isTimePlayReplyFollowed(last + QStringLiteral("FF00")));
    EXPECT_TRUE(TimedPlayCommands::isTimePlayReplyFollowed(QStringLiteral("414e44025603") + QStringLiteral("Ff00") + last));
}

// A reply cut anywhere before the end of its layout, or with a length that
// points past the end, reads as nothing; nothing is read past the end.
TEST_F(TimedPlayCommandsTest, CutSchemeRepliesAndLengthsPastTheEndReadAsNothing)
{
    SchemeFields s;
    s.name = QStringLiteral("名称");
    s.words = QStringLiteral("文字");
    s.schedule = QStringLiteral("2016/03/01~2016/03/01#08:00:00~09:00:00;");
    const QString full = schemeReplyHex(s, false);
    for (qsizetype n = 0; n < full.size(); ++n)
        EXPECT_FALSE(TimedPlayCommands::getReceiveTimePlayListInfoNotice(full.left(n))) << "cut at " << n;
    EXPECT_TRUE(TimedPlayCommands::getReceiveTimePlayListInfoNotice(full));

    // Each length field in turn claims the most it can.
    const qsizetype nameAt = 16, wordsAt = 60 + 2 * 6, timeAt = 64 + 2 * 6 + 2 * 6;
    for (qsizetype at : {nameAt, wordsAt, timeAt}) {
        QString bad = full;
        bad.replace(at, 4, QStringLiteral("ffff"));
        EXPECT_FALSE(TimedPlayCommands::getReceiveTimePlayListInfoNotice(bad)) << "length at " << at;
        EXPECT_FALSE(TimedPlayCommands::getReceiveTimePlayListInfoNotice(bad + QStringLiteral("ff00"))) << "length at " << at;
    }
    // Not hex where a length stands, and another reply's code.
    QString notHex = full;
    notHex.replace(16, 4, QStringLiteral("00g1"));
    EXPECT_FALSE(TimedPlayCommands::getReceiveTimePlayListInfoNotice(notHex));
    EXPECT_FALSE(TimedPlayCommands::getReceiveTimePlayListInfoNotice(QStringLiteral("414e44025603") + full.mid(12)));
}

TEST_F(TimedPlayCommandsTest, FileReplyGivesAServerFileEntry)
{
    const QString name = HexCodec::chineseToHex(QStringLiteral("/media/视频.mp4"));
    const QString len = HexCodec::TenToHex(name.size() / 2);
    const QString reply = QStringLiteral("414e440256030102") + len + name;

    const auto entry = TimedPlayCommands::getTimePlayListFilesInfoWithModelNotice(reply + QStringLiteral("ff00"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(*entry, (QMap<QString, QString>{{"filesLenHex", len},
                                              {"filesContentHex", name},
                                              {"filesContent", "/media/视频.mp4"},
                                              {"checked", "NO"}}));
    for (qsizetype n = 0; n < reply.size(); ++n)
        EXPECT_FALSE(TimedPlayCommands::getTimePlayListFilesInfoWithModelNotice(reply.left(n))) << "cut at " << n;
    EXPECT_FALSE(TimedPlayCommands::getTimePlayListFilesInfoWithModelNotice(QStringLiteral("414e440256030102ffff") + name));

    // A name that is not UTF-8 keeps its bytes and still reads as a name.
    const auto odd = TimedPlayCommands::getTimePlayListFilesInfoWithModelNotice(QStringLiteral("414e44025603010200036162ff"));
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->value("filesContentHex"), QStringLiteral("6162ff"));
    EXPECT_TRUE(odd->value("filesContent").startsWith(QStringLiteral("ab")));
}

TEST_F(TimedPlayCommandsTest, ParameterFrameIsByteExact)
{
    TimedPlayCommands::TimePlayParamFields f = sampleParamFields();
    const auto frame = parameterFrame(f);
    ASSERT_TRUE(frame);
    EXPECT_EQ(*frame, QStringLiteral("414e44015602" "01" "02" "0002" "6162" "01" "000a" "0014" "0064" "0032"
                                     "01" "05" "0c" "04" "10" "0001" "0002" "0000" "0002" "6869" "0002" "783b"));

    m_recorder.frames.clear();
    QVmethodLib::sendTimePlayParam(*frame);
    ASSERT_EQ(m_recorder.frames.size(), 1);
    EXPECT_EQ(m_recorder.frames.first().timeoutSec, 10);
    EXPECT_EQ(m_recorder.frames.first().host, QStringLiteral("127.0.0.2"));
}

TEST_F(TimedPlayCommandsTest, ParameterFrameRefusesFieldsThatWouldShiftTheLayout)
{
    using F = TimedPlayCommands::TimePlayParamFields;
    const QList<std::pair<const char *, std::function<void(F &)>>> cases{
        {"speed written wider than a byte", [](F &f) { f.wordSpeedHex = QStringLiteral("12c"); }},
        {"clock x of three digits", [](F &f) { f.clockXHex = QStringLiteral("fff"); }},
        {"window id missing", [](F &f) { f.windowID.clear(); }},
        {"name length that does not count the name", [](F &f) { f.projectNameLenHex = QStringLiteral("0003"); }},
        {"text of an odd number of digits", [](F &f) { f.wordsHex = QStringLiteral("686"); }},
        {"schedule that is not hex", [](F &f) { f.timeHex = QStringLiteral("78zz"); }},
    };
    for (const auto &[name, spoil] : cases) {
        F f = sampleParamFields();
        spoil(f);
        EXPECT_FALSE(parameterFrame(f)) << name;
    }
}

TEST(TimePlayHelpers, EnteredNumbersAreTheirLeadingInteger)
{
    const QList<std::pair<QString, qint64>> cases{
        {"", 0}, {"abc", 0}, {"12", 12}, {" 7px", 7}, {"+3", 3}, {"-5", -5}, {"65536", 65536}, {"99999999999999999999", std::numeric_limits<qint64>::max()},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(TimePlay::leadingInteger(text), value) << text.toStdString();
}

} // namespace
