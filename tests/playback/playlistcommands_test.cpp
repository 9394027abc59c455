#include "net/qvmethodlib.h"
#include "playbackfixture.h"
#include "protocol/hexcodec.h"
#include "protocol/playlistcommands.h"

#include <QVariantMap>

namespace {

QVariantMap serverFile(const QByteArray &name)
{
    return {{"filesLenHex", HexCodec::TenToHex(name.size())},
            {"filesContentHex", HexCodec::hexString(name)},
            {"filesContent", QString::fromUtf8(name)},
            {"checked", "YES"}};
}

class PlayListCommandsTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        selectServer("127.0.0.2", "01");
    }
    QStringList takeSent()
    {
        const QStringList out = m_recorder.hexes();
        m_recorder.frames.clear();
        return out;
    }
};

TEST_F(PlayListCommandsTest, RequestFramesCarryTheirFieldsInOrder)
{
    struct Case
    {
        const char *what;
        std::function<void()> send;
        QString frame;
    } cases[] = {
        {"play list of window 01", [] { QVmethodLib::getPlayControlListInfoWithWindowID("01"); },
         "414e44015701017f000001"},
        {"play row 12 of window 02, window first", [] { QVmethodLib::getVedioSiglePlayWithVedioIndexHex("000c", "02"); },
         "414e4401570302000c"},
        {"uncheck row 0 of window 01",
         [] { QVmethodLib::sendFielsToListWithVedioIndexHex("0000", "00", "01"); }, "414e4401570601000000"},
        {"order 02 on window 01", [] { QVmethodLib::sendPlayWithWindowID("01", "02"); }, "414e440157040102"},
        {"mode random on window 01", [] { QVmethodLib::sendChangePlayModelWithWindowID("01", "01"); },
         "414e440157050101"},
        {"server files", [] { QVmethodLib::getDeviceFilesInfo(); }, "414e440153047f000001"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        m_recorder.frames.clear();
        c.send();
        ASSERT_EQ(m_recorder.frames.size(), 1);
        EXPECT_EQ(m_recorder.frames[0].hex, c.frame);
        EXPECT_EQ(m_recorder.frames[0].host, "127.0.0.2");
        EXPECT_EQ(m_recorder.frames[0].port, 5760);
        EXPECT_EQ(m_recorder.frames[0].timeoutSec, -1);
    }
}

TEST_F(PlayListCommandsTest, AppendEndsEveryFrameButTheLastWithFf)
{
    QVmethodLib::addPlayFiletoPlayListWithChooseListArray({serverFile("a.mp4")}, "01");
    EXPECT_EQ(takeSent(), QStringList{"414e4401560101010005" + HexCodec::hexString("a.mp4") + "0e"});

    QVmethodLib::addPlayFiletoPlayListWithChooseListArray(
        {serverFile("/m/1.mp4"), serverFile("/m/二.jpg"), serverFile("/m/3.avi")}, "02");
    const QStringList frames = takeSent();
    ASSERT_EQ(frames.size(), 3);
    EXPECT_EQ(frames[0], "414e44015601020100082f6d2f312e6d7034ff");
    EXPECT_TRUE(frames[1].startsWith("414e440156010201000a"));
    EXPECT_TRUE(frames[1].endsWith("ff"));
    EXPECT_EQ(frames[2], "414e44015601020100082f6d2f332e617669" + HexCodec::TenToHexForTwo((4 + 16) % 100));

    QVmethodLib::addPlayFiletoPlayListWithChooseListArray({}, "01");
    EXPECT_TRUE(takeSent().isEmpty());
}

TEST_F(PlayListCommandsTest, TheLastEndByteIsItsFieldLengthModulo100)
{
    const QList<QPair<int, QString>> cases{{1, "06"}, {5, "0e"}, {47, "62"}, {48, "00"}, {50, "04"}, {98, "00"},
                                           {200, "04"}};
    for (const auto &[bytes, end] : cases) {
        SCOPED_TRACE(bytes);
        QVmethodLib::addPlayFiletoPlayListWithChooseListArray({serverFile(QByteArray(bytes, 'x'))}, "01");
        const QStringList frames = takeSent();
        ASSERT_EQ(frames.size(), 1);
        EXPECT_EQ(frames[0].right(2), end);
        EXPECT_EQ(frames[0].size(), 2 * (6 + 1 + 1 + 2 + bytes + 1));
    }
}

TEST(SequenceEndTest, AReplyIsTheLastWhenItHasNoFf00Anywhere)
{
    const QList<QPair<QString, bool>> cases{
        {Replies::entry(5, 1, 1, "a.mp4", true), false},
        {Replies::entry(5, 1, 1, "a.mp4", false), true},
        {"414e44025601" "05" "0001" "01" "0002" "6162" "FF00", false},
        // The fields of a last reply may read as ff00 across their borders.
        {"414e44025601" "0f" "f001" "01" "0001" "61", false},
        {"414e44025601" "05" "00ff" "00" "0001" "61", false},
        {"414e44025604" "0002" "6162", true},
        {"414e44025604" "0002" "6162" "ff00", false},
    };
    for (const auto &[hex, last] : cases)
        EXPECT_EQ(PlayListCommands::isLastOfSequence(hex), last) << hex.toStdString();
}

TEST(PlayListReplyTest, EntryDecodesItsFieldsAndItsPath)
{
    const auto e = PlayListCommands::getPlayControlListInfoWithModelNotice(
        Replies::entry(7, 258, 1, QStringLiteral("/视频/宣传片.mp4").toUtf8(), true));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->value("vedioYinliang"), "7");
    EXPECT_EQ(e->value("vedioWeizhi"), "258");
    EXPECT_EQ(e->value("isEntry"), "1");
    EXPECT_EQ(e->value("filesContent"), QStringLiteral("/视频/宣传片.mp4"));

    const auto unchecked = PlayListCommands::getPlayControlListInfoWithModelNotice(Replies::entry(0, 0, 0, "x", false));
    ASSERT_TRUE(unchecked);
    EXPECT_EQ(unchecked->value("isEntry"), "0");
}

TEST(PlayListReplyTest, CountsPastTheEndGiveNothing)
{
    const QString full = Replies::entry(5, 1, 1, "abc", false);
    for (qsizetype n = 0; n < full.size(); n += 2)
        EXPECT_FALSE(PlayListCommands::getPlayControlListInfoWithModelNotice(full.left(n))) << n;
    EXPECT_FALSE(PlayListCommands::getPlayControlListInfoWithModelNotice("414e44025601" "05" "0001" "01" "ffff" "616263"));
    EXPECT_FALSE(PlayListCommands::getDeviceFilesListInfoWithModelNotice("414e44025604" "0004" "616263"));
    EXPECT_FALSE(PlayListCommands::getDeviceFilesListInfoWithModelNotice("414e4402560400"));
}

TEST(PlayListReplyTest, NamesThatAreNotUtf8StayReadable)
{
    struct Case
    {
        QByteArray bytes;
        QString shown;
    } cases[] = {
        {QByteArray("/m/caf\xe9.mp4"), QStringLiteral("/m/caf\uFFFD.mp4")},
        {QByteArray("\xff\xfe", 2), QStringLiteral("0xfffe")},
        {QByteArray("ok\x00rest", 7), QStringLiteral("ok")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        const auto e = PlayListCommands::getPlayControlListInfoWithModelNotice(Replies::entry(5, 1, 1, c.bytes, false));
        ASSERT_TRUE(e);
        EXPECT_EQ(e->value("filesContent"), c.shown);
        const auto f = PlayListCommands::getDeviceFilesListInfoWithModelNotice(Replies::file(c.bytes, false));
        ASSERT_TRUE(f);
        EXPECT_EQ(f->value("filesContent"), c.shown);
        // What goes back to the server is the bytes as they came.
        EXPECT_EQ(f->value("filesContentHex"), HexCodec::hexString(c.bytes));
    }
}

TEST(ServerFileReplyTest, KeepsTheFieldsAsGivenAndSaysWhetherMoreFollow)
{
    const auto more = PlayListCommands::getDeviceFilesListInfoWithModelNotice("414E44025604" "0005" "612E4D5034" "FF00");
    ASSERT_TRUE(more);
    EXPECT_EQ(*more, (QMap<QString, QString>{{"filesLenHex", "0005"},
                                             {"filesContentHex", "612E4D5034"},
                                             {"filesContent", "a.MP4"},
                                             {"checked", "NO"},
                                             {"isFinished", "0"}}));
    const auto last = PlayListCommands::getDeviceFilesListInfoWithModelNotice(Replies::file("a.mp4", false));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->value("isFinished"), "1");
}

TEST_F(PlayListCommandsTest, PlayStateCountsOnlyForTheSelectedServer)
{
    ctx().preferences().setString("CurrentIP", "127.0.0.2");
    const auto mine = QVmethodLib::getPlayControlIndexInfoWithModelNotice(Replies::playState("02", 300));
    ASSERT_TRUE(mine);
    EXPECT_EQ(*mine, (QMap<QString, QString>{{"windowID", "02"}, {"thePlayVedio", "300"}}));

    ctx().preferences().setString("CurrentIP", "127.0.0.3");
    const auto other = QVmethodLib::getPlayControlIndexInfoWithModelNotice(Replies::playState("01", 1));
    ASSERT_TRUE(other);
    EXPECT_TRUE(other->isEmpty());

    EXPECT_FALSE(QVmethodLib::getPlayControlIndexInfoWithModelNotice("414e4402510101"));
    EXPECT_FALSE(QVmethodLib::getPlayControlIndexInfoWithModelNotice("414e440251010100"));
}

} // namespace
