#include "net/qvmethodlib.h"
#include "playbackfixture.h"
#include "protocol/windowcommands.h"

#include <QVariantMap>

namespace {

class WindowCommandsTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        selectServer("127.0.0.2", "01");
    }
    static QVariantMap settings()
    {
        return WindowCommands::WindowRecord{"01", "02", "01", "0", "0", "1920", "1080", "0009", "0005"}.parameters();
    }
};

TEST_F(WindowCommandsTest, AddCloseAndReadGoToTheSelectedServer)
{
    QVmethodLib::sendAddNewWindow();
    QVmethodLib::sendCloseNewWindowWithChooseWindow({QVariantMap{{"WinID", "01"}, {"checked", "YES"}},
                                                     QVariantMap{{"WinID", "02"}, {"checked", "YES"}}});
    QVmethodLib::sendCloseNewWindowWithChooseWindow({});
    QVmethodLib::getWindowinitializeInfoWithWindowID("02");

    ASSERT_EQ(m_recorder.frames.size(), 4);
    const QStringList expected{"414E44015204000190009600FA010E", "414e4401520301", "414e4401520302",
                               "414e44015202027f000001"};
    EXPECT_EQ(m_recorder.hexes(), expected);
    EXPECT_EQ(QByteArray::fromHex(expected[0].toLatin1()).size(), 15);
    for (const SentFrame &f : m_recorder.frames) {
        EXPECT_EQ(f.host, "127.0.0.2");
        EXPECT_EQ(f.port, 5760);
    }
    EXPECT_EQ(m_recorder.frames[0].timeoutSec, -1);
    EXPECT_EQ(m_recorder.frames[3].timeoutSec, 10);
    EXPECT_TRUE(ctx().log().contains("windowParam = 414e44015202027f000001"));
}

TEST_F(WindowCommandsTest, SettingsFrameHoldsEveryFieldInItsPlace)
{
    struct Case
    {
        const char *what;
        QVariantMap changes;
        QString frame;
    } cases[] = {
        {"the documented example", {}, "414e44015201010201000000000780043800090005"},
        {"empty geometry is 0", {{"weizhiX", ""}, {"weizhiY", QVariant()}, {"daxiaoX", ""}, {"daxiaoY", ""}},
         "414e44015201010201000000000000000000090005"},
        {"leading digits only", {{"weizhiX", " 12px"}, {"weizhiY", "+7"}, {"daxiaoX", "abc"}},
         "414e44015201010201000c00070000043800090005"},
        {"the largest value", {{"daxiaoX", "65535"}}, "414e4401520101020100000000ffff043800090005"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        m_recorder.frames.clear();
        QVariantMap p = settings();
        for (auto it = c.changes.cbegin(); it != c.changes.cend(); ++it)
            p.insert(it.key(), it.value());
        QVmethodLib::sendSetWindowStringWithParameters(p);
        ASSERT_EQ(m_recorder.frames.size(), 1);
        EXPECT_EQ(m_recorder.frames[0].hex, c.frame);
        EXPECT_EQ(m_recorder.frames[0].hex.size(), 42); // 21 bytes
    }
}

TEST_F(WindowCommandsTest, SettingsThatDoNotFitTheFrameAreNotSent)
{
    const QList<QPair<QString, QString>> bad{
        {"weizhiX", "-5"}, {"weizhiY", "-1"}, {"daxiaoX", "65536"}, {"daxiaoY", "99999999999999999999999"},
        {"windowID", "1"}, {"animationHex", "9"}, {"qiehuanjiangeHex", "00zz"}, {"IsFullScreen", ""}};
    for (const auto &[key, value] : bad) {
        SCOPED_TRACE(key.toStdString() + "=" + value.toStdString());
        QVariantMap p = settings();
        p.insert(key, value);
        QVmethodLib::sendSetWindowStringWithParameters(p);
        EXPECT_TRUE(m_recorder.frames.isEmpty());
        EXPECT_TRUE(ctx().log().containsPrefix("window settings not sent: " + key));
    }
}

TEST(WindowReplyTest, PositionsMarkedFfAreNegative)
{
    struct Case
    {
        QString x, y;
        const char *xLong, *yLong;
    } cases[] = {
        {"ff05", "0010", "-5", "16"},
        {"0105", "ff05", "261", "-5"},
        {"FF00", "ffff", "0", "-255"},
        {"fe05", "0000", "65029", "0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.x.toStdString() + " " + c.y.toStdString());
        const auto info = WindowCommands::getPlayWindowInitInfoWithModelNotice("414e44025201" + c.x + c.y +
                                                                            "07800438" "000c" "0005");
        ASSERT_TRUE(info);
        EXPECT_EQ(info->value("XLong"), c.xLong);
        EXPECT_EQ(info->value("YLong"), c.yLong);
        EXPECT_EQ(info->value("WLong"), "1920");
        EXPECT_EQ(info->value("HLong"), "1080");
        EXPECT_EQ(info->value("ChangeType"), "12");
        EXPECT_EQ(info->value("Changejiange"), "5");
    }
}

// What the window screen and qevactl send when nothing is changed.
TEST(WindowRecordTest, AReplySavedUnchangedWritesBackWhatTheServerHas)
{
    const struct
    {
        const char *name;
        QString reply;
        const char *frame; // nullptr: no frame
    } cases[] = {
        // The reply carries no full-screen or on-top flag: both go out off.
        {"every field as it came", "414e44025201" "0010" "0020" "0780" "0438" "000c" "0005",
         "414e4401520102" "02" "02" "0010" "0020" "0780" "0438" "000c" "0005"},
        {"the largest values", "414e44025201" "fe05" "0000" "ffff" "ffff" "ffff" "ffff",
         "414e4401520102" "02" "02" "fe05" "0000" "ffff" "ffff" "ffff" "ffff"},
        // A window left of the screen has no form in the request.
        {"a negative position", "414e44025201" "ff05" "0010" "0780" "0438" "0009" "0005", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const auto reply = WindowCommands::getPlayWindowInitInfoWithModelNotice(c.reply);
        ASSERT_TRUE(reply.has_value());
        const auto request = WindowCommands::setWindow(WindowCommands::WindowRecord::fromReply(*reply, "02").parameters());
        if (!c.frame) {
            EXPECT_FALSE(request.has_value());
            continue;
        }
        ASSERT_TRUE(request.has_value());
        EXPECT_EQ(request->frame, QLatin1String(c.frame));
    }
}

TEST(WindowReplyTest, ShortRepliesGiveNothing)
{
    const QString full = "414e44025201" "ff05" "0010" "0780" "0438" "0009" "0005";
    for (qsizetype n = 0; n < full.size(); n += 2) {
        SCOPED_TRACE(n);
        EXPECT_FALSE(WindowCommands::getPlayWindowInitInfoWithModelNotice(full.left(n)));
    }
    EXPECT_TRUE(WindowCommands::getPlayWindowInitInfoWithModelNotice(full));
    EXPECT_TRUE(WindowCommands::getPlayWindowInitInfoWithModelNotice(full + "ab"));
}

TEST(WindowGeometryTest, ReadsTheLeadingInteger)
{
    const QList<QPair<QString, qint64>> cases{
        {"", 0},          {"abc", 0},       {"12abc", 12},   {"  -5", -5},
        {"+7", 7},        {"- 5", 0},       {"007", 7},      {"9223372036854775807", std::numeric_limits<qint64>::max()},
        {"99999999999999999999", std::numeric_limits<qint64>::max()},
        {"-99999999999999999999", std::numeric_limits<qint64>::min()},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(WindowCommands::windowGeometryValue(text), value) << text.toStdString();
}

} // namespace
