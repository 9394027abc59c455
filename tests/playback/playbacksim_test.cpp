// The simulator's windows and play lists alone: frames written byte by byte
// from the phone's side, replies read the same way.
#include "playlistfamily.h"
#include "sim/simfixture.h"

#include <memory>

namespace {

QByteArray hex(const QString &text)
{
    return QByteArray::fromHex(text.toLatin1());
}

QByteArray name16(const QByteArray &name)
{
    return QByteArray(1, char(name.size() >> 8)) + char(name.size() & 0xff) + name;
}

// The window ids and play modes an announcement carries.
QStringList announcedWindows(const QByteArray &a)
{
    qsizetype at = 6 + 4;
    for (int text = 0; text < 2; ++text) {
        if (at + 2 > a.size())
            return {"<cut>"};
        at += 2 + (quint8(a[at]) << 8 | quint8(a[at + 1]));
    }
    if (at >= a.size())
        return {"<cut>"};
    const int count = quint8(a[at++]);
    QStringList out;
    for (int i = 0; i < count && at + 4 <= a.size(); ++i, at += 4)
        out << QString::fromLatin1(a.mid(at, 1).toHex());
    return out;
}

class PlaybackSimTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SimConfig c = loopbackSimConfig(m_phone.port());
        c.families = QStringList{"window", "playlist"};
        c.windows = {SimWindow{0x01, 0, 0}};
        m_sim = std::make_unique<SimServer>(c);
        ASSERT_TRUE(m_sim->start()) << m_sim->errorString().toStdString();
        m_lists = m_sim->family<PlayListFamily>();
        ASSERT_NE(m_lists, nullptr);
        ASSERT_TRUE(m_phone.next(hex("414e44025001"))); // the announcement at start
    }
    void send(const QString &frameHex) { m_phone.send(hex(frameHex), m_sim->udpPort()); }
    QByteArray reply(const char *prefixHex)
    {
        const auto d = m_phone.next(hex(prefixHex));
        return d ? d->data() : QByteArray("<none>");
    }
    // Sends a frame and waits for the simulator to log the line once more.
    void sendAndWait(const QString &frameHex, const QString &line)
    {
        const qsizetype before = m_sim->logLines().count(line);
        send(frameHex);
        ASSERT_TRUE(waitUntil([&] { return m_sim->logLines().count(line) > before; })) << line.toStdString();
    }
    QList<QByteArray> listReplies(const QString &window, int count)
    {
        send("414e44015701" + window + "7f000001");
        QList<QByteArray> out;
        for (int i = 0; i < count; ++i)
            out << reply("414e44025601");
        return out;
    }
    void fill(quint8 window, const QStringList &names)
    {
        for (const QString &n : names)
            m_lists->addFile(window, n);
    }

    PhoneSocket m_phone;
    std::unique_ptr<SimServer> m_sim;
    PlayListFamily *m_lists = nullptr;
};

TEST_F(PlaybackSimTest, AListGoesOneReplyPerEntryMarkedButTheLast)
{
    fill(1, {"/m/a.mp4", "/m/二.jpg", "/m/c.avi"});
    m_lists->setChecked(1, 1, false);
    m_lists->setVolume(1, 7);
    const QList<QByteArray> replies = listReplies("01", 3);
    EXPECT_EQ(replies[0], hex("414e44025601" "07" "0001" "01") + name16("/m/a.mp4") + hex("ff00"));
    EXPECT_EQ(replies[1], hex("414e44025601" "07" "0002" "00") + name16(QStringLiteral("/m/二.jpg").toUtf8()) +
                              hex("ff00"));
    EXPECT_EQ(replies[2], hex("414e44025601" "07" "0003" "01") + name16("/m/c.avi"));

    send("414e44015701" "02" "7f000001");
    EXPECT_EQ(reply("414e44025605"), hex("414e44025605" "02"));
}

TEST_F(PlaybackSimTest, TheLastReplyNeverReadsAsFf00ByAccident)
{
    // Position 255 of an unchecked entry would write 00ff then 00.
    for (int i = 0; i < 255; ++i)
        m_lists->addFile(1, QStringLiteral("f%1").arg(i));
    m_lists->setChecked(1, 254, false);
    const QList<QByteArray> replies = listReplies("01", 255);
    EXPECT_EQ(replies[253].toHex().right(4), "ff00");
    EXPECT_EQ(replies[254], hex("414e44025601" "05" "0000" "00") + name16("f254"));
    EXPECT_FALSE(replies[254].toHex().contains("ff00"));
    EXPECT_TRUE(hasLine(*m_sim, "last list reply sent with position 0: 255 would read as ff00"));

    // Unless a test asks for a list that never ends.
    m_lists->setMarkLastReply(true);
    EXPECT_EQ(listReplies("01", 255).last().toHex().right(4), "ff00");
}

TEST_F(PlaybackSimTest, NamesThatWouldReadAsTheMarkerAreRefused)
{
    const QList<QPair<QByteArray, bool>> cases{
        {"a.mp4", true},
        {QByteArray(), false},
        {QByteArray("a\xff\x00", 3), false},   // the marker itself
        {QByteArray("a\x0f\xf0\x01", 4), false}, // across two bytes
        {QByteArray(255, 'x'), true},            // 00ff, then "x"
        {QByteArray(0xffff, 'x'), true},
        {QByteArray(0x10000, 'x'), false},
    };
    for (const auto &[name, ok] : cases)
        EXPECT_EQ(PlayListFamily::acceptableName(name), ok) << name.left(8).toHex().toStdString();
    EXPECT_FALSE(m_lists->addFileBytes(1, QByteArray("\xff\x00", 2)));
    EXPECT_FALSE(m_lists->addServerFileBytes(QByteArray()));
    EXPECT_TRUE(m_lists->files(1).isEmpty());
}

TEST_F(PlaybackSimTest, ServerFilesGoOneReplyEachAndAppendsJoinTheList)
{
    send("414e44015304" "7f000001");
    ASSERT_TRUE(waitForLine(*m_sim, "no server files to send"));

    m_lists->addServerFile("/srv/a.mp4");
    m_lists->addServerFile("/srv/b.jpg");
    send("414e44015304" "7f000001");
    EXPECT_EQ(reply("414e44025604"), hex("414e44025604") + name16("/srv/a.mp4") + hex("ff00"));
    EXPECT_EQ(reply("414e44025604"), hex("414e44025604") + name16("/srv/b.jpg"));

    send("414e44015601" "02" "01" + QString::fromLatin1(name16("/srv/b.jpg").toHex()) + "ff");
    sendAndWait("414e44015601" "02" "01" + QString::fromLatin1(name16("/srv/a.mp4").toHex()) + "18",
                "state playlist 02 added \"/srv/a.mp4\"; 2 entries");
    EXPECT_EQ(m_lists->files(2), (QStringList{"/srv/b.jpg", "/srv/a.mp4"}));

    // A wrong end byte is told, the file still joins; a cut frame is not.
    sendAndWait("414e44015601" "02" "01" + QString::fromLatin1(name16("/srv/a.mp4").toHex()) + "33",
                "append 02: end byte 33, expected ff or 18");
    sendAndWait("414e44015601" "02" "01" "0009" "616263", "malformed 5601: name cut short at byte 10: needs 9, has 3");
    EXPECT_EQ(m_lists->files(2).size(), 3);
}

TEST_F(PlaybackSimTest, PlayingAnEntryTellsThePhoneOnce)
{
    fill(1, {"a", "b", "c"});
    send("414e44015703" "01" "0002");
    EXPECT_EQ(reply("414e44025101"), hex("414e44025101" "01" "0002"));
    EXPECT_EQ(m_lists->playing(1), "c");
    EXPECT_EQ(m_lists->playState(1), "play");

    send("414e44015703" "01" "0002");
    sendAndWait("414e44015703" "01" "0009", "play 01: no entry 9 (3 entries)");
    spinFor(50);
    EXPECT_FALSE(m_phone.next(hex("414e44025101"), 0)) << "nothing changed, nothing said";
    EXPECT_EQ(m_lists->playingIndex(1), 2);
}

TEST_F(PlaybackSimTest, PlayOrdersMoveThroughTheCheckedEntries)
{
    fill(1, {"a", "b", "c", "d"});
    m_lists->setChecked(1, 1, false);
    struct Step
    {
        const char *order;
        int playing;
        const char *state;
    } steps[] = {
        {"00", 0, "play"},  {"04", 2, "next"},    {"04", 3, "next"},      {"04", 0, "next"},
        {"01", 3, "previous"}, {"02", 3, "pause"}, {"03", 3, "stop"},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.order);
        sendAndWait(QStringLiteral("414e44015704" "01") + s.order,
                    QStringLiteral("state playlist 01 %1").arg(QLatin1String(s.state)));
        EXPECT_EQ(m_lists->playingIndex(1), s.playing);
    }
    sendAndWait("414e44015704" "01" "05", "malformed 5704: order id 05 is not 00 to 04");
}

TEST_F(PlaybackSimTest, ModeCheckVolumeAndClearChangeTheWindow)
{
    fill(1, {"a", "b"});
    sendAndWait("414e44015705" "01" "03", "state playlist 01 mode 3");
    EXPECT_EQ(m_sim->windows().value(0).playMode, 3);
    EXPECT_EQ(m_sim->announcement().toHex().mid(2 * (6 + 4 + 2 + 8 + 2 + 3 + 1), 4), "0103");
    sendAndWait("414e44015705" "07" "01", "play mode: no window 07");
    sendAndWait("414e44015705" "01" "04", "malformed 5705: mode id 04 is not 00 to 03");

    sendAndWait("414e44015706" "01" "0001" "00", "state playlist 01 entry 1 unchecked");
    EXPECT_EQ(m_lists->checkedStates(1), (QList<bool>{true, false}));
    sendAndWait("414e44015707" "01" "08", "state playlist 01 volume 8");
    sendAndWait("414e44015707" "01" "ff", "malformed 5707: volume 255 is above 100");
    EXPECT_EQ(m_lists->volume(1), 8);
    sendAndWait("414e44015708" "01", "state playlist 01 cleared");
    EXPECT_TRUE(m_lists->files(1).isEmpty());
}

TEST_F(PlaybackSimTest, DeletingKeepsThePlayingEntryAndSaysWhereItIsNow)
{
    m_lists->addServerFile("c");
    fill(1, {"a", "b", "c", "d"});
    send("414e44015703" "01" "0002");
    ASSERT_TRUE(m_phone.next(hex("414e44025101")));

    // An entry before it: the same file plays one place up.
    send("414e44015603" "01" "02" "01" "0000");
    EXPECT_EQ(reply("414e44025101"), hex("414e44025101" "01" "0001"));
    EXPECT_EQ(m_lists->playing(1), "c");
    // An entry after it: nothing to say.
    sendAndWait("414e44015603" "01" "02" "01" "0002", "state playlist 01 removed 2 \"d\"; 2 entries");
    // The playing entry itself, and with 01 its file too: the one in its place plays.
    send("414e44015603" "01" "01" "01" "0001");
    EXPECT_EQ(reply("414e44025101"), hex("414e44025101" "01" "0000"));
    EXPECT_EQ(m_lists->files(1), QStringList{"b"});
    EXPECT_EQ(m_lists->playing(1), "b");
    EXPECT_TRUE(m_lists->serverFiles().isEmpty());

    sendAndWait("414e44015603" "01" "03" "01" "0000", "malformed 5603: delete mode 03 is not 01 or 02");
    sendAndWait("414e44015603" "01" "02" "01" "0005", "delete 01: no entry 5 (1 entries)");
    EXPECT_EQ(m_lists->files(1), QStringList{"b"});
}

TEST_F(PlaybackSimTest, AReceivedFileCanJoinAndPlay)
{
    m_lists->addFile(3, "/recv/photo.jpg");
    EXPECT_FALSE(m_lists->playFile(3, "/recv/other.jpg", phoneAddress()));
    EXPECT_FALSE(m_lists->playFile(4, "/recv/photo.jpg", phoneAddress()));
    EXPECT_TRUE(m_lists->playFile(3, "/recv/photo.jpg", phoneAddress()));
    EXPECT_EQ(reply("414e44025101"), hex("414e44025101" "03" "0000"));
    EXPECT_EQ(m_lists->playing(3), "/recv/photo.jpg");
}

TEST_F(PlaybackSimTest, WindowsComeAndGoWithAnAnnouncementAtOnce)
{
    send("414E44015204000190009600FA010E");
    EXPECT_EQ(announcedWindows(reply("414e44025001")), (QStringList{"01", "02"}));
    EXPECT_TRUE(hasLine(*m_sim, "state window added 02; windows 01,02"));
    send("414e44015202" "02" "7f000001");
    EXPECT_EQ(reply("414e44025201"), hex("414e44025201" "0190" "0096" "00fa" "010e" "0000" "0005"));

    m_lists->addFile(2, "x");
    send("414e44015203" "01");
    EXPECT_EQ(announcedWindows(reply("414e44025001")), QStringList{"02"});
    send("414E44015204000190009600FA010E");
    EXPECT_EQ(announcedWindows(reply("414e44025001")), (QStringList{"02", "01"}));
    send("414e44015203" "02");
    EXPECT_EQ(announcedWindows(reply("414e44025001")), QStringList{"01"});
    EXPECT_TRUE(m_lists->files(2).isEmpty()) << "a closed window's list goes with it";

    sendAndWait("414e44015203" "09", "close window: no window 09");
    for (int i = 0; i < 3; ++i)
        send("414E44015204000190009600FA010E");
    ASSERT_TRUE(waitForLine(*m_sim, "state window added 04; windows 01,02,03,04"));
    sendAndWait("414E44015204000190009600FA010E", "add window refused: 4 windows already (at most 4)");
}

TEST_F(PlaybackSimTest, WindowSettingsAreKeptAsTheyTravel)
{
    send("414e44015202" "01" "7f000001");
    EXPECT_EQ(reply("414e44025201"), hex("414e44025201" "0000" "0000" "0780" "0438" "0000" "0005"));

    sendAndWait("414e44015201" "01" "01" "02" "ff05" "0010" "0280" "01e0" "000c" "000a",
                "window 01: switch effect 12 has no name (0 to 9)");
    send("414e44015202" "01" "7f000001");
    EXPECT_EQ(reply("414e44025201"), hex("414e44025201" "ff05" "0010" "0280" "01e0" "000c" "000a"));
    EXPECT_EQ(m_sim->family("window")->state().value("applied").toInt(), 1);

    sendAndWait("414e44015201" "05" "01" "02" "0000" "0000" "0280" "01e0" "0000" "000a",
                "window settings: no window 05");
    sendAndWait("414e44015201" "01" "01", "malformed 5201: on top cut short at byte 8: needs 1, has 0");
    sendAndWait("414e44015202" "05" "7f000001", "window settings: no window 05");
    EXPECT_EQ(m_sim->family("window")->state().value("applied").toInt(), 1);
}

TEST(PlaybackSimPreloadTest, FilesAndListsComeFromTheConfig)
{
    PhoneSocket phone;
    SimConfig c = loopbackSimConfig(phone.port());
    c.families = QStringList{"playlist"};
    c.serverFiles = QStringList{"/srv/a.mp4", "/srv/宣传.jpg"};
    c.playLists = {{0x01, {"/srv/a.mp4", "/srv/b.mp4"}}, {0x0a, {"/srv/c.mp4"}}};
    SimServer sim(c);
    ASSERT_TRUE(sim.start());
    const PlayListFamily *lists = sim.family<PlayListFamily>();
    EXPECT_EQ(lists->serverFiles(), (QStringList{"/srv/a.mp4", "/srv/宣传.jpg"}));
    EXPECT_EQ(lists->files(0x01), (QStringList{"/srv/a.mp4", "/srv/b.mp4"}));
    EXPECT_EQ(lists->files(0x0a), QStringList{"/srv/c.mp4"});
}

} // namespace
