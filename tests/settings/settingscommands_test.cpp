#include "core/deviceclock.h"
#include "net/qvmethodlib.h"
#include "protocol/hexcodec.h"
#include "protocol/settingscommands.h"
#include "support/testcontext.h"

#include <QDateTime>
#include <QTimeZone>
#include <functional>

namespace {

using Dict = QMap<QString, QString>;

// The record as the settings screen hands it over; each case changes a little.
Dict record(const Dict &changes = {})
{
    SettingsCommands::SettingsRecord r;
    r.restartDevice = "01";
    r.skipLogin = "00";
    r.brightness = "200";
    r.wifi = "01";
    r.background = "00";
    Dict d = r.parameters();
    for (auto it = changes.cbegin(); it != changes.cend(); ++it)
        d.insert(it.key(), it.value());
    return d;
}

class SettingsCommandsTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        selectServer("127.0.0.2");
    }
};

struct FrameCase
{
    const char *name;
    std::function<void()> send;
    const char *hex;
    quint16 port;
};

TEST_F(SettingsCommandsTest, EachCommandSendsItsFrameOnceToItsPort)
{
    const QList<FrameCase> cases = {
        {"settings query", [] { QVmethodLib::sendSystemSetInitializeInfo(); }, "414e44015502" "7f000001", 5760},
        {"volume query", [] { QVmethodLib::getSystemYinliangValueInfo(); }, "414e44015a02" "7f000001", 5762},
        {"settings, both texts empty", [] { QVmethodLib::sendSetSystemInfoWithParamaters(record()); },
         "414e44015501" "01" "00" "00c8" "01" "00" "0000" "0000" "0000" "0000", 5760},
        {"settings with a restart time",
         [] { QVmethodLib::sendSetSystemInfoWithParamaters(record({{"time", "08:30:00"}})); },
         "414e44015501" "01" "00" "00c8" "01" "00" "0008" "30383a33303a3030" "0000" "0000", 5760},
        {"settings with a path of Chinese text and no time",
         [] { QVmethodLib::sendSetSystemInfoWithParamaters(record({{"TransPath", "视频"}, {"colorType", "0c"}})); },
         "414e44015501" "01" "00" "00c8" "01" "0c" "0000" "0000" "0006" "e8a786e9a291", 5760},
        {"settings read brightness like a text field",
         [] { QVmethodLib::sendSetSystemInfoWithParamaters(record({{"liangdu", " 65535px"}})); },
         "414e44015501" "01" "00" "ffff" "01" "00" "0000" "0000" "0000" "0000", 5760},
        {"volume", [] { QVmethodLib::sendSetSystemYinLiangWithParamaters("7"); }, "414e44015a03" "07", 5762},
        {"volume at the top of its byte", [] { QVmethodLib::sendSetSystemYinLiangWithParamaters("255"); },
         "414e44015a03" "ff", 5762},
        {"colour",
         [] { QVmethodLib::sendSetSystemColorWithParamaters({{"redValue", "255"}, {"greenValue", "128"}, {"blueValue", "0"}}); },
         "414e44015508" "00ff" "0080" "0000", 5760},
        {"screen switch off", [] { QVmethodLib::sendSetSystemKaiguanPingWithParamaters("02"); }, "414e44015507" "02", 5760},
        {"video source HDMI", [] { QVmethodLib::sendSetSystemshipinyuanWithParamaters("02"); }, "414e44015509" "02", 5760},
        {"rotation 270", [] { QVmethodLib::sendSetSystemPingmuXuanzhuanWithParamaters("03"); }, "414e4401550c" "03", 5760},
        {"restart", [] { QVmethodLib::RestartDeviceOrder(); }, "414e44015506", 5760},
    };
    for (const FrameCase &c : cases) {
        SCOPED_TRACE(c.name);
        m_recorder.frames.clear();
        c.send();
        ASSERT_EQ(m_recorder.frames.size(), 1);
        const SentFrame &f = m_recorder.frames.first();
        EXPECT_EQ(f.hex, QLatin1String(c.hex));
        EXPECT_EQ(f.host, "127.0.0.2");
        EXPECT_EQ(f.port, c.port);
        EXPECT_EQ(f.timeoutSec, -1);
        EXPECT_EQ(f.tag, 0);
    }
}

TEST_F(SettingsCommandsTest, TimeCorrectionCarriesTheClockAndZoneOfTheContext)
{
    DeviceClock &clock = ctx().shared<DeviceClock>();
    clock.msSinceEpoch = [] { return QDateTime(QDate(2015, 10, 19), QTime(8, 0), Qt::UTC).toMSecsSinceEpoch(); };
    clock.zoneId = [] { return QByteArray("Asia/Shanghai"); };

    QVmethodLib::reviseDeviceTime();

    ASSERT_EQ(m_recorder.frames.size(), 1);
    EXPECT_EQ(m_recorder.frames[0].hex, "414e44015a01" "000001507f1cb800" "000d" "417369612f5368616e67686169");
    EXPECT_EQ(m_recorder.frames[0].port, 5762);
    EXPECT_TRUE(ctx().log().contains("tmpid = 1445241600000"));
}

TEST_F(SettingsCommandsTest, TheDefaultClockIsTheWallClockAndSystemZone)
{
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    QVmethodLib::reviseDeviceTime();
    const qint64 after = QDateTime::currentMSecsSinceEpoch();

    ASSERT_EQ(m_recorder.frames.size(), 1);
    const QString hex = m_recorder.frames[0].hex;
    bool ok = false;
    const qint64 ms = hex.mid(12, 16).toLongLong(&ok, 16);
    ASSERT_TRUE(ok);
    EXPECT_GE(ms, before);
    EXPECT_LE(ms, after);
    const QByteArray zone = QTimeZone::systemTimeZoneId();
    EXPECT_EQ(hex.mid(28), HexCodec::TenToHex(zone.size()) + HexCodec::hexString(zone));
}

// A value that does not fit its field would shift every later field, so the
// frame is refused and the parameter named.
TEST_F(SettingsCommandsTest, AFieldThatDoesNotFitRefusesTheWholeFrame)
{
    struct Misfit
    {
        const char *name;
        std::function<bool(QString *)> send;
        const char *parameter;
    };
    const QString tooLong(0x10000, QLatin1Char('a'));
    const QList<Misfit> cases = {
        {"brightness above two bytes", [](QString *m) { return QVmethodLib::sendSetSystemInfoWithParamaters(record({{"liangdu", "65536"}}), m); }, "liangdu"},
        {"negative brightness", [](QString *m) { return QVmethodLib::sendSetSystemInfoWithParamaters(record({{"liangdu", "-1"}}), m); }, "liangdu"},
        {"no background colour code", [](QString *m) { return QVmethodLib::sendSetSystemInfoWithParamaters(record({{"colorType", ""}}), m); }, "colorType"},
        {"restart flag of one digit", [](QString *m) { return QVmethodLib::sendSetSystemInfoWithParamaters(record({{"isRestartDevice", "1"}}), m); }, "isRestartDevice"},
        {"wifi flag not hex", [](QString *m) { return QVmethodLib::sendSetSystemInfoWithParamaters(record({{"isOpenWifi", "0x"}}), m); }, "isOpenWifi"},
        {"absent skip-login flag", [](QString *m) { return QVmethodLib::sendSetSystemInfoWithParamaters(record({{"isSkipLogin", ""}}), m); }, "isSkipLogin"},
        {"path longer than its count", [&tooLong](QString *m) { return QVmethodLib::sendSetSystemInfoWithParamaters(record({{"TransPath", tooLong}}), m); }, "TransPath"},
        {"green above two bytes", [](QString *m) { return QVmethodLib::sendSetSystemColorWithParamaters({{"redValue", "1"}, {"greenValue", "70000"}, {"blueValue", "1"}}, m); }, "greenValue"},
        {"volume above one byte", [](QString *) { return QVmethodLib::sendSetSystemYinLiangWithParamaters("256"); }, ""},
        {"switch code of three digits", [](QString *) { return QVmethodLib::sendSetSystemKaiguanPingWithParamaters("012"); }, ""},
        {"empty video source", [](QString *) { return QVmethodLib::sendSetSystemshipinyuanWithParamaters(""); }, ""},
        {"rotation not hex", [](QString *) { return QVmethodLib::sendSetSystemPingmuXuanzhuanWithParamaters("zz"); }, ""},
    };
    for (const Misfit &c : cases) {
        SCOPED_TRACE(c.name);
        QString misfit;
        EXPECT_FALSE(c.send(&misfit));
        EXPECT_EQ(misfit, QLatin1String(c.parameter));
    }
    EXPECT_TRUE(m_recorder.frames.isEmpty());
}

// --- Replies ---------------------------------------------------------------

const char *const kFullReply = "414e44025501" "01" "00" "00c8" "01" "03" "0008" "30383a33303a3030" "0003" "2f6162"
                               "01" "00ff" "0080" "0000" "02" "01";
const char *const kPlaceholderReply = "414e44025501" "00" "01" "012c" "02" "0c" "0000" "0000" "0000" "0000"
                                      "02" "0001" "0002" "0003" "00" "03";

TEST(SettingsRecordTest, AReplySavedUnchangedWritesBackWhatTheServerHas)
{
    const struct
    {
        const char *name;
        QString reply;
        const char *frame;
    } cases[] = {
        {"both texts present", kFullReply,
         "414e44015501" "01" "00" "00c8" "01" "03" "0008" "30383a33303a3030" "0003" "2f6162"},
        {"both texts empty", kPlaceholderReply, "414e44015501" "00" "01" "012c" "02" "0c" "0000" "0000" "0000" "0000"},
        // Only 01 restarts and only 02 turns wifi off; any other skip flag skips.
        {"flags read as the screen reads them",
         "414e44025501" "02" "05" "0001" "07" "01" "0000" "0000" "0000" "0000" "01" "0000" "0000" "0000" "00" "00",
         "414e44015501" "00" "01" "0001" "01" "01" "0000" "0000" "0000" "0000"},
        {"a restart time that is not UTF-8 is written as none",
         "414e44025501" "01" "00" "00c8" "01" "03" "0002" "c328" "0003" "2f6162" "01" "00ff" "0080" "0000" "02" "01",
         "414e44015501" "01" "00" "00c8" "01" "03" "0000" "0000" "0003" "2f6162"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const auto reply = SettingsCommands::getSystemInitInfoWithModelNotice(c.reply);
        ASSERT_TRUE(reply.has_value());
        const auto request = SettingsCommands::systemInfo(SettingsCommands::SettingsRecord::fromReply(*reply).parameters());
        ASSERT_TRUE(request.has_value());
        EXPECT_EQ(request->frame, QLatin1String(c.frame));
    }
}

TEST(SettingsReplyTest, GivesTheDictionaryOfTheReply)
{
    struct ReplyCase
    {
        const char *name;
        QString hex;
        Dict expected;
    };
    const QList<ReplyCase> cases = {
        {"both texts present", kFullReply,
         {{"isRestart", "01"}, {"isSkipLogin", "00"}, {"lightValue", "200"}, {"isOpenWifi", "01"},
          {"beijingColorHex", "03"}, {"beijingColor", "3"}, {"restartTimeString", "08:30:00"},
          {"transPathString", "/ab"}, {"isOpenkaiguan", "01"}, {"getredValue", "255"}, {"getgreenValue", "128"},
          {"getblueValue", "0"}, {"shipinyuanHex", "02"}, {"shipinyuan", "2"}, {"xuanzhuanHex", "01"},
          {"xuanzhuandu", "1"}}},
        {"both texts empty, each with its placeholder", kPlaceholderReply,
         {{"isRestart", "00"}, {"isSkipLogin", "01"}, {"lightValue", "300"}, {"isOpenWifi", "02"},
          {"beijingColorHex", "0c"}, {"beijingColor", "12"}, {"restartTimeString", ""}, {"transPathString", ""},
          {"isOpenkaiguan", "02"}, {"getredValue", "1"}, {"getgreenValue", "2"}, {"getblueValue", "3"},
          {"shipinyuanHex", "00"}, {"shipinyuan", "0"}, {"xuanzhuanHex", "03"}, {"xuanzhuandu", "3"}}},
        // Only the time is empty: the path length is read after the time's placeholder.
        {"empty time, Chinese path, codes past the lists",
         "414e44025501" "01" "00" "ffff" "01" "ff" "0000" "0000" "0006" "e8a786e9a291" "01" "ffff" "0000" "0100" "ff" "04",
         {{"isRestart", "01"}, {"isSkipLogin", "00"}, {"lightValue", "65535"}, {"isOpenWifi", "01"},
          {"beijingColorHex", "ff"}, {"beijingColor", "255"}, {"restartTimeString", ""}, {"transPathString", "视频"},
          {"isOpenkaiguan", "01"}, {"getredValue", "65535"}, {"getgreenValue", "0"}, {"getblueValue", "256"},
          {"shipinyuanHex", "ff"}, {"shipinyuan", "255"}, {"xuanzhuanHex", "04"}, {"xuanzhuandu", "4"}}},
        // A text that is not UTF-8 leaves only its own key out.
        {"restart time not UTF-8",
         "414e44025501" "01" "00" "00c8" "01" "03" "0002" "c328" "0003" "2f6162" "01" "00ff" "0080" "0000" "02" "01",
         {{"isRestart", "01"}, {"isSkipLogin", "00"}, {"lightValue", "200"}, {"isOpenWifi", "01"},
          {"beijingColorHex", "03"}, {"beijingColor", "3"}, {"transPathString", "/ab"}, {"isOpenkaiguan", "01"},
          {"getredValue", "255"}, {"getgreenValue", "128"}, {"getblueValue", "0"}, {"shipinyuanHex", "02"},
          {"shipinyuan", "2"}, {"xuanzhuanHex", "01"}, {"xuanzhuandu", "1"}}},
    };
    for (const ReplyCase &c : cases) {
        SCOPED_TRACE(c.name);
        const auto parsed = SettingsCommands::getSystemInitInfoWithModelNotice(c.hex);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(*parsed, c.expected);
        // Whatever follows the rotation byte is not part of the record.
        EXPECT_EQ(SettingsCommands::getSystemInitInfoWithModelNotice(c.hex + "ff00"), parsed);
    }
}

TEST(SettingsReplyTest, VolumeReplyGivesMaximumAndCurrent)
{
    const auto parsed = SettingsCommands::getSystemYinliangValueWithModelNotice("414e44025503" "0f" "07");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(*parsed, (Dict{{"MaxyinliangValue", "15"}, {"TheyinliangValue", "7"}}));
}

// Every cut of a reply, at every character, gives nothing: a parser that read
// a field past the end would show up under the address sanitizer or as a
// dictionary from a partial text.
TEST(SettingsReplyTest, AReplyCutAnywhereGivesNothing)
{
    for (const QString &full : {QString(kFullReply), QString(kPlaceholderReply)}) {
        for (qsizetype n = 0; n < full.size(); ++n) {
            SCOPED_TRACE(n);
            EXPECT_FALSE(SettingsCommands::getSystemInitInfoWithModelNotice(full.left(n)).has_value());
        }
    }
    const QString volume = "414e44025503" "0f" "07";
    for (qsizetype n = 0; n < volume.size(); ++n)
        EXPECT_FALSE(SettingsCommands::getSystemYinliangValueWithModelNotice(volume.left(n)).has_value()) << n;
}

TEST(SettingsReplyTest, LengthsPastTheEndAndTextThatIsNotHexGiveNothing)
{
    const QStringList bad = {
        // restart time length ffff with a few bytes behind it
        "414e44025501" "01" "00" "00c8" "01" "03" "ffff" "3038" "0000" "0000" "01" "00ff" "0080" "0000" "02" "01",
        // a path length that swallows the rest of the reply
        "414e44025501" "01" "00" "00c8" "01" "03" "0000" "0000" "000c" "2f6162" "01" "00ff" "0080" "0000" "02" "01",
        // zero length with the placeholder missing at the end
        "414e44025501" "01" "00" "00c8" "01" "03" "0000",
        // a digit that is not hex in the middle
        "414e44025501" "01" "00" "00c8" "01" "03" "0000" "0000" "0000" "0000" "01" "00fg" "0080" "0000" "02" "01",
        "414e44025501" "zz" "00" "00c8" "01" "03" "0000" "0000" "0000" "0000" "01" "00ff" "0080" "0000" "02" "01",
    };
    for (const QString &hex : bad)
        EXPECT_FALSE(SettingsCommands::getSystemInitInfoWithModelNotice(hex).has_value()) << hex.toStdString();
    EXPECT_FALSE(SettingsCommands::getSystemYinliangValueWithModelNotice("414e44025503" "0x" "07").has_value());
}

} // namespace
