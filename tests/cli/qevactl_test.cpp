#include "clifixture.h"

#include <QDir>
#include <QRegularExpression>
#include <QJsonArray>

namespace {

// --- finding servers ---------------------------------------------------------

TEST_F(CliTest, ScanListsServersAndAnswersThemWithTheLogin)
{
    Sim &sim = startSim(0, {QStringLiteral("--name"), QStringLiteral("大厅"), QStringLiteral("--id"),
                            QStringLiteral("0000002a"), QStringLiteral("--windows"), QStringLiteral("01,02")});
    const Run r = ctl({QStringLiteral("scan")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.lines(), QStringList{QStringLiteral("127.0.0.2 大厅 ok id=0000002a windows=01,02 login=sent")});
    EXPECT_TRUE(waitForLog(sim, QStringLiteral("state login logged in 127.0.0.1")));

    // The same as JSON; a wrong --password leaves the server locked and unanswered.
    const Run locked = ctl({QStringLiteral("--json"), QStringLiteral("--password"), QStringLiteral("000"), QStringLiteral("scan")});
    ASSERT_EQ(locked.exitCode, 0) << locked.err.toStdString();
    const QJsonObject o = json(locked.lines().value(0));
    EXPECT_EQ(o.value(QStringLiteral("server")).toObject(),
              (QJsonObject{{QStringLiteral("address"), QStringLiteral("127.0.0.2")},
                           {QStringLiteral("name"), QStringLiteral("大厅")},
                           {QStringLiteral("window"), QStringLiteral("01")}}));
    EXPECT_EQ(o.value(QStringLiteral("windows")).toArray(), (QJsonArray{QStringLiteral("01"), QStringLiteral("02")}));
    EXPECT_EQ(o.value(QStringLiteral("login")).toString(), QStringLiteral("locked"));
}

// A server's name is the server's to choose: whatever it holds, the output
// keeps one line per server, and a script can tell the name apart.
TEST_F(CliTest, AServersNameCannotForgeALineOfTheOutput)
{
    startSim(0, {QStringLiteral("--name"), QStringLiteral("lobby\n127.0.0.9 fake ok")});
    const Run r = ctl({QStringLiteral("scan")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_EQ(r.lines().size(), 1) << r.out.toStdString();
    EXPECT_TRUE(r.lines().constFirst().startsWith(QStringLiteral("127.0.0.2 \"lobby\\n127.0.0.9 fake ok\" ok ")))
        << r.out.toStdString();
}

TEST_F(CliTest, ServerByNameIsFoundByAScanAndByAddressWithout)
{
    startSim(0, {QStringLiteral("--name"), QStringLiteral("lobby"), QStringLiteral("--windows"), QStringLiteral("03")});
    const Run byName = ctl({QStringLiteral("-s"), QStringLiteral("lobby"), QStringLiteral("--json"), QStringLiteral("volume")});
    ASSERT_EQ(byName.exitCode, 0) << byName.err.toStdString();
    const QJsonObject o = json(byName.out);
    const QJsonObject server = o.value(QStringLiteral("server")).toObject();
    EXPECT_EQ(server.value(QStringLiteral("address")).toString(), QStringLiteral("127.0.0.2"));
    // Found by a scan, the server's first window is the default.
    EXPECT_EQ(server.value(QStringLiteral("window")).toString(), QStringLiteral("03"));
    EXPECT_TRUE(o.value(QStringLiteral("volume")).isDouble());

    const Run byAddress = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("volume")});
    EXPECT_EQ(byAddress.exitCode, 0) << byAddress.err.toStdString();
    EXPECT_TRUE(byAddress.out.startsWith(QLatin1String("volume:"))) << byAddress.out.toStdString();
}

// The envelope's keys are its own: a record with a name of its own (a
// scheme's) keeps it next to the server's.
TEST_F(CliTest, JsonKeepsTheRecordsKeysApartFromTheServers)
{
    startSim(0, {QStringLiteral("--name"), QStringLiteral("大厅"), QStringLiteral("--server-files"), QStringLiteral("/media/a.mp4"),
                 QStringLiteral("--schemes"), QStringLiteral("01:01=早间|/media/a.mp4")});
    for (const char *server : {"大厅", "127.0.0.2"}) {
        SCOPED_TRACE(server);
        const Run r = ctl({QStringLiteral("-s"), QString::fromUtf8(server), QStringLiteral("--json"), QStringLiteral("scheme"),
                           QStringLiteral("show"), QStringLiteral("1")});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QJsonObject o = json(r.out);
        EXPECT_EQ(o.value(QStringLiteral("name")).toString(), QStringLiteral("早间"));
        EXPECT_EQ(o.value(QStringLiteral("id")).toInt(), 1);
        EXPECT_TRUE(o.value(QStringLiteral("ok")).toBool());
        const QJsonObject s = o.value(QStringLiteral("server")).toObject();
        EXPECT_EQ(s.value(QStringLiteral("address")).toString(), QStringLiteral("127.0.0.2"));
        EXPECT_EQ(s.value(QStringLiteral("window")).toString(), QStringLiteral("01"));
        // By address no scan is made, so the server's name is not known.
        EXPECT_EQ(s.value(QStringLiteral("name")).toString(), QLatin1String(server) == QLatin1String("大厅") ? QStringLiteral("大厅") : QString());
    }
}

// Replies the simulator never sends, from a server the test plays.
class CliFakeServerTest : public CliTest
{
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        ASSERT_TRUE(m_server.start(QHostAddress(kAddress), m_udpPort, m_phonePort));
    }
    Run ctlOnServer(const QStringList &args)
    {
        return ctl(QStringList{QStringLiteral("-s"), kAddress} + args);
    }
    const QString kAddress = QStringLiteral("127.0.0.5");
    FakeServer m_server;
};

// A text that is not UTF-8 (here GBK) shows empty; every other field shows.
TEST_F(CliFakeServerTest, TextThatIsNotUtf8ShowsEmptyWithItsSettings)
{
    m_server.answers.insert(QStringLiteral("414e44015401"),
                            {QStringLiteral("414e44025401" "01" "07" "0c" "02" "30" "0001" "0002" "0003" "0004" "b2e2cad4")});
    for (const char *command : {"text", "text show"}) {
        SCOPED_TRACE(command);
        const Run r = ctlOnServer(QStringList{QStringLiteral("--json")} + QString::fromLatin1(command).split(QLatin1Char(' ')));
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QJsonObject o = json(r.out);
        EXPECT_EQ(o.value(QStringLiteral("text")).toString(), QString());
        EXPECT_EQ(o.value(QStringLiteral("speed")).toInt(), 7);
        EXPECT_EQ(o.value(QStringLiteral("color")).toString(), QStringLiteral("bright-blue"));
        EXPECT_EQ(o.value(QStringLiteral("direction")).toString(), QStringLiteral("top-bottom"));
        EXPECT_EQ(o.value(QStringLiteral("z")).toInt(), 3);
    }
    // Changing a setting alone would send the text back empty: refused.
    const Run set = ctlOnServer({QStringLiteral("text"), QStringLiteral("set"), QStringLiteral("--speed"), QStringLiteral("5")});
    EXPECT_EQ(set.exitCode, 1);
    EXPECT_TRUE(set.err.contains(QLatin1String("not UTF-8; give TEXT"))) << set.err.toStdString();
    EXPECT_TRUE(m_server.received(QStringLiteral("414e44015402")).isEmpty());
}

// Every entry carries the window's volume; the newest, in the last reply, counts.
TEST_F(CliFakeServerTest, PlayListVolumeIsTheLastReplys)
{
    m_server.answers.insert(QStringLiteral("414e44015701"),
                            {QStringLiteral("414e44025601" "03" "0001" "01" "0006" "2f612e6d7034" "ff00"),
                             QStringLiteral("414e44025601" "07" "0002" "00" "0006" "2f622e6d7034")});
    const Run r = ctlOnServer({QStringLiteral("--json"), QStringLiteral("playlist")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject o = json(r.out);
    EXPECT_EQ(o.value(QStringLiteral("volume")).toInt(), 7);
    EXPECT_EQ(o.value(QStringLiteral("entries")).toArray().size(), 2);
}

// --- one command of each family against the simulator ------------------------

TEST_F(CliTest, SettingsSetKeepsWhatItDoesNotName)
{
    Sim &sim = startSim(0);
    const Run set = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("settings"), QStringLiteral("set"),
                         QStringLiteral("brightness=90"), QStringLiteral("restart-time=none"), QStringLiteral("rotation=270")});
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    // Only brightness and restart time change in the record; the rotation has a frame of its own.
    EXPECT_TRUE(waitForLog(sim, QStringLiteral("state settings restart 01 skiplogin 00 brightness 90 wifi 01 background 03 "
                                               "restarttime \"\" path \"D:/QEVA/media\"")));
    EXPECT_TRUE(waitForLog(sim, QStringLiteral("550c 414e4401550c03")));

    const Run show = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("settings")});
    ASSERT_EQ(show.exitCode, 0) << show.err.toStdString();
    EXPECT_TRUE(show.lines().contains(QStringLiteral("brightness:    90")));
    EXPECT_TRUE(show.lines().contains(QStringLiteral("rotation:      270")));
    EXPECT_TRUE(show.lines().contains(QStringLiteral("background:    yellow")));
}

TEST_F(CliTest, VolumeStaysWithinTheServersMaximum)
{
    Sim &sim = startSim(0);
    const Run set = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("volume"), QStringLiteral("12")});
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    EXPECT_TRUE(waitForLog(sim, QStringLiteral("5a03 414e44015a030c")));
    const Run show = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("volume")});
    EXPECT_EQ(show.lines(), (QStringList{QStringLiteral("volume: 12"), QStringLiteral("max:    15")}));

    // Outside what this server takes: a bad argument whose range only the
    // server's reply gives, so the message names that range; nothing is set.
    for (const char *value : {"16", "99", "256", "-1"}) {
        SCOPED_TRACE(value);
        const Run r = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("volume"), QLatin1String(value)});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(QStringLiteral("the volume must be a whole number from 0 to 15 (the server's maximum), not %1")
                                       .arg(QLatin1String(value))))
            << r.err.toStdString();
    }
    // Under --all too: that server is refused, one line like any other.
    const Run all = ctl({QStringLiteral("--all"), QStringLiteral("volume"), QStringLiteral("20")});
    EXPECT_EQ(all.exitCode, 2);
    EXPECT_EQ(all.lines(), QStringList{QStringLiteral("127.0.0.2 qeva-sim FAILED the volume must be a whole number from 0 to 15 "
                                                      "(the server's maximum), not 20")});
    spinFor(300);
    EXPECT_EQ(requests(sim).filter(QStringLiteral("5a03 ")).size(), 1);
}

TEST_F(CliTest, TextSetChangesOnlyWhatIsGiven)
{
    Sim &sim = startSim(0);
    const Run before = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("--json"), QStringLiteral("text")});
    ASSERT_EQ(before.exitCode, 0) << before.err.toStdString();
    const QJsonObject b = json(before.out);

    const Run set = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("text"), QStringLiteral("set"),
                         QStringLiteral("今日特价"), QStringLiteral("--color"), QStringLiteral("red"), QStringLiteral("--direction"),
                         QStringLiteral("static")});
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    EXPECT_TRUE(waitForLog(sim, QStringLiteral("speed %1 colour 02 direction 04 size %2")
                                    .arg(b.value(QStringLiteral("speed")).toInt())
                                    .arg(b.value(QStringLiteral("size")).toInt())));
    EXPECT_TRUE(hasLog(sim, QStringLiteral("\"今日特价\"")));
}

TEST_F(CliTest, WindowAddAndCloseReportTheNewlyAnnouncedWindows)
{
    Sim &sim = startSim(0);
    const Run add = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("window"), QStringLiteral("add")});
    ASSERT_EQ(add.exitCode, 0) << add.err.toStdString();
    EXPECT_TRUE(add.lines().contains(QStringLiteral("windows: 01,02"))) << add.out.toStdString();
    EXPECT_TRUE(hasLog(sim, QStringLiteral("state window added 02")));

    // Two windows: the app adds no third, and neither does the tool.
    const Run third = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("window"), QStringLiteral("add")});
    EXPECT_EQ(third.exitCode, 1);
    EXPECT_TRUE(third.err.contains(QLatin1String("has 2 windows already"))) << third.err.toStdString();

    const Run unknown = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("window"), QStringLiteral("close"),
                             QStringLiteral("5")});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QLatin1String("has no window 05 (its windows: 01,02)"))) << unknown.err.toStdString();
    EXPECT_FALSE(hasLog(sim, QStringLiteral("5203 ")));

    const Run close = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("window"), QStringLiteral("close"),
                           QStringLiteral("01")});
    ASSERT_EQ(close.exitCode, 0) << close.err.toStdString();
    EXPECT_TRUE(close.lines().contains(QStringLiteral("windows: 02"))) << close.out.toStdString();
}

TEST_F(CliTest, PlayListShowsEntriesAndPlayTakesTheShownNumber)
{
    Sim &sim = startSim(0, {QStringLiteral("--playlists"), QStringLiteral("01=/media/a.mp4|/media/b.jpg"),
                                QStringLiteral("--server-files"), QStringLiteral("/media/c.mp4")});
    const Run list = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("playlist")});
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    ASSERT_EQ(list.lines().size(), 2) << list.out.toStdString();
    EXPECT_TRUE(list.lines().at(0).endsWith(QLatin1String("/media/a.mp4")));
    EXPECT_TRUE(list.lines().at(1).endsWith(QLatin1String("/media/b.jpg")));

    const Run play = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("play"), QStringLiteral("2")});
    ASSERT_EQ(play.exitCode, 0) << play.err.toStdString();
    EXPECT_TRUE(waitForLog(sim, QStringLiteral("5703 414e44015703010001")));

    const Run beyond = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("play"), QStringLiteral("3")});
    EXPECT_EQ(beyond.exitCode, 1);
    EXPECT_TRUE(beyond.err.contains(QLatin1String("there is no entry 3; the play list has 2"))) << beyond.err.toStdString();

    const Run append = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("append"), QStringLiteral("c.mp4")});
    ASSERT_EQ(append.exitCode, 0) << append.err.toStdString();
    EXPECT_TRUE(waitForLog(sim, QStringLiteral("added \"/media/c.mp4\"; 3 entries")));
}

TEST_F(CliTest, SendWritesTheFileAndPutsItOnThePlayList)
{
    const QString media = m_dir.filePath(QStringLiteral("media"));
    Sim &sim = startSim(0, {QStringLiteral("--media-dir"), media});
    QByteArray content;
    for (int i = 0; i < 300000; ++i)
        content.append(char(i * 7));
    const QString path = m_dir.filePath(QStringLiteral("poster.jpg"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();

    const Run r = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("send"), path, QStringLiteral("--play")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(waitForLog(sim, QStringLiteral("state transfer added poster.jpg to window 01")));
    EXPECT_TRUE(waitForLog(sim, QStringLiteral("state transfer playing poster.jpg on window 01")));
    QFile received(QDir(media).filePath(QStringLiteral("poster.jpg")));
    ASSERT_TRUE(received.open(QIODevice::ReadOnly));
    EXPECT_EQ(received.readAll(), content);
}

TEST_F(CliTest, SchemeSetWritesANewSchemeThatSchemesThenLists)
{
    Sim &sim = startSim(0, {QStringLiteral("--server-files"), QStringLiteral("/media/a.mp4|/media/b.mp4")});
    // An empty window is not answered at all; the tool still tells it from a silent server.
    const Run none = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("--timeout"), QStringLiteral("1"),
                          QStringLiteral("--json"), QStringLiteral("schemes")});
    ASSERT_EQ(none.exitCode, 0) << none.err.toStdString();
    EXPECT_TRUE(json(none.out).value(QStringLiteral("schemes")).toArray().isEmpty());

    const Run set = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("scheme"), QStringLiteral("set"),
                         QStringLiteral("new"), QStringLiteral("--name"), QStringLiteral("早间"), QStringLiteral("--schedule"),
                         QStringLiteral("2024/01/01~2024/12/31#08:00:00~12:00:00"), QStringLiteral("b.mp4"),
                         QStringLiteral("/media/a.mp4")});
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    ASSERT_TRUE(waitForLog(sim, QStringLiteral("state timedplay window 01 scheme 01 \"早间\" stored with 2 file(s)")));

    const Run show = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("--json"), QStringLiteral("scheme"),
                          QStringLiteral("show"), QStringLiteral("1")});
    ASSERT_EQ(show.exitCode, 0) << show.err.toStdString();
    const QJsonObject o = json(show.out);
    EXPECT_EQ(o.value(QStringLiteral("schedule")).toString(), QStringLiteral("2024/01/01~2024/12/31#08:00:00~12:00:00;"));
    EXPECT_EQ(o.value(QStringLiteral("files")).toArray(), (QJsonArray{QStringLiteral("/media/b.mp4"), QStringLiteral("/media/a.mp4")}));
}

// The next free number, as the app's add button: 01 and 03 listed, so 04;
// count + 1 would be 03 and overwrite that scheme.
TEST_F(CliTest, NewSchemeTakesTheNextFreeNumber)
{
    Sim &sim = startSim(0, {QStringLiteral("--server-files"), QStringLiteral("/media/a.mp4|/media/b.mp4"),
                            QStringLiteral("--schemes"), QStringLiteral("01:01=one|/media/a.mp4;01:03=three|/media/b.mp4")});
    const Run set = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("scheme"), QStringLiteral("set"),
                         QStringLiteral("new"), QStringLiteral("--name"), QStringLiteral("four"), QStringLiteral("--schedule"),
                         QStringLiteral("2024/01/01~2024/12/31#08:00:00~12:00:00"), QStringLiteral("a.mp4")});
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    EXPECT_EQ(set.out, QStringLiteral("scheme 4 sent with 1 files\n"));
    ASSERT_TRUE(waitForLog(sim, QStringLiteral("state timedplay window 01 scheme 04 \"four\" stored with 1 file(s); window 01 has 3 scheme(s)")));

    const Run list = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("--json"), QStringLiteral("schemes")});
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    QStringList names;
    for (const QJsonValue &v : json(list.out).value(QStringLiteral("schemes")).toArray())
        names << QStringLiteral("%1 %2").arg(v.toObject().value(QStringLiteral("id")).toInt()).arg(v.toObject().value(QStringLiteral("name")).toString());
    EXPECT_EQ(names, (QStringList{QStringLiteral("1 one"), QStringLiteral("3 three"), QStringLiteral("4 four")}));
}

// A scheme list ends at the first reply without ff00 in its text. A scheme
// whose own fields read as ff00 would leave the list without an end once it
// is the last: such values are refused before anything goes out.
TEST_F(CliTest, SchemeValuesThatReadAsTheListMarkAreRefused)
{
    Sim &sim = startSim(0, {QStringLiteral("--server-files"), QStringLiteral("/media/a.mp4"), QStringLiteral("--schemes"),
                            QStringLiteral("01:01=one|/media/a.mp4")});
    const QStringList newScheme{QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("scheme"), QStringLiteral("set"),
                                QStringLiteral("new"), QStringLiteral("--name"), QStringLiteral("n"), QStringLiteral("--schedule"),
                                QStringLiteral("2024/01/01~2024/12/31#08:00:00~12:00:00"), QStringLiteral("a.mp4")};
    const struct
    {
        QStringList values;
        const char *names;
    } refused[] = {
        {{"--clock-x", "255", "--clock-y", "16"}, "--clock-x and --clock-y would put ff00"},
        {{"--clock-x", "65280"}, "--clock-x would put ff00"},
        {{"--text-speed", "255", "--text-color", "black"}, "--text-speed and --text-color would put ff00"},
        // Across three fields: 0ff0 then the first digit of 01.
        {{"--text-z", "4080", "--text", "a"}, "--text-z and the length of --text would put ff00"},
    };
    for (const auto &c : refused) {
        SCOPED_TRACE(c.values.join(QLatin1Char(' ')).toStdString());
        const Run r = ctl(newScheme + c.values);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(QLatin1String(c.names))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String("the schemes of window 01 could no longer be read"))) << r.err.toStdString();
    }
    // Changing a stored scheme is checked the same way.
    const Run change = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("scheme"), QStringLiteral("set"),
                            QStringLiteral("1"), QStringLiteral("--clock-x"), QStringLiteral("65280")});
    EXPECT_EQ(change.exitCode, 2);
    spinFor(300);
    EXPECT_TRUE(requests(sim).filter(QStringLiteral("5602 ")).isEmpty());

    // Next to each other without reading as ff00: taken, and the list still ends.
    const Run fine = ctl(newScheme + QStringList{QStringLiteral("--clock-x"), QStringLiteral("255"), QStringLiteral("--clock-y"),
                                                 QStringLiteral("256")});
    ASSERT_EQ(fine.exitCode, 0) << fine.err.toStdString();
    ASSERT_TRUE(waitForLog(sim, QStringLiteral("scheme 02 \"n\" stored")));
    const Run list = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("schemes")});
    EXPECT_EQ(list.exitCode, 0) << list.err.toStdString();
    EXPECT_EQ(list.lines().size(), 2) << list.out.toStdString();
}

// A window the server's announcement does not list reads as an empty one:
// when the announcement is known, the window is refused before anything goes out.
TEST_F(CliTest, AWindowTheServerDidNotAnnounceIsABadArgument)
{
    Sim &sim = startSim(0, {QStringLiteral("--name"), QStringLiteral("lobby"), QStringLiteral("--windows"), QStringLiteral("01")});
    const QStringList before = requests(sim);
    const struct
    {
        QStringList args;
        const char *says;
    } cases[] = {
        {{"-s", "lobby", "-w", "02", "playlist"}, "qevactl: 127.0.0.2 (lobby): has no window 02 (its windows: 01)"},
        {{"-s", "lobby", "-w", "2", "clear"}, "has no window 02 (its windows: 01)"},
        {{"-s", "lobby", "-w", "02", "--json", "schemes"}, ""},
        {{"--all", "-w", "02", "effect", "rotation"}, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const Run r = ctl(c.args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << r.err.toStdString();
        EXPECT_FALSE(r.out.contains(QLatin1String("empty"))) << r.out.toStdString();
    }
    const Run asJson = ctl({QStringLiteral("-s"), QStringLiteral("lobby"), QStringLiteral("-w"), QStringLiteral("02"),
                            QStringLiteral("--json"), QStringLiteral("playlist")});
    const QJsonObject o = json(asJson.out);
    EXPECT_FALSE(o.value(QStringLiteral("ok")).toBool());
    EXPECT_EQ(o.value(QStringLiteral("error")).toString(), QStringLiteral("has no window 02 (its windows: 01)"));
    spinFor(300);
    EXPECT_EQ(requests(sim).filter(QStringLiteral("414e440157")), before.filter(QStringLiteral("414e440157")));
    EXPECT_TRUE(requests(sim).filter(QStringLiteral("5505 ")).isEmpty());

    // The announced window works as before, and commands for the whole server pay no heed to --window.
    EXPECT_EQ(ctl({QStringLiteral("-s"), QStringLiteral("lobby"), QStringLiteral("-w"), QStringLiteral("01"), QStringLiteral("playlist")}).exitCode, 0);
    EXPECT_EQ(ctl({QStringLiteral("-s"), QStringLiteral("lobby"), QStringLiteral("-w"), QStringLiteral("02"), QStringLiteral("volume")}).exitCode, 0);
}

// --- many servers ------------------------------------------------------------

TEST_F(CliTest, AllActsOnEveryServerWithOneLineEach)
{
    std::vector<Sim *> sims;
    for (int i = 0; i < 3; ++i)
        sims.push_back(&startSim(i, {QStringLiteral("--name"), QStringLiteral("screen-%1").arg(i)}));
    const Run r = ctl({QStringLiteral("--all"), QStringLiteral("screen"), QStringLiteral("off")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList lines = r.lines();
    lines.sort();
    EXPECT_EQ(lines, (QStringList{QStringLiteral("127.0.0.2 screen-0 ok screen off sent"),
                                  QStringLiteral("127.0.0.3 screen-1 ok screen off sent"),
                                  QStringLiteral("127.0.0.4 screen-2 ok screen off sent")}));
    for (Sim *s : sims)
        EXPECT_TRUE(waitForLog(*s, QStringLiteral("5507 414e4401550702")));

    // Queries too: each server's answer goes on its own line.
    ASSERT_EQ(ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.3"), QStringLiteral("volume"), QStringLiteral("4")}).exitCode, 0);
    ASSERT_TRUE(waitForLog(*sims.at(1), QStringLiteral("state settings volume 4")));
    const Run volumes = ctl({QStringLiteral("--all"), QStringLiteral("--json"), QStringLiteral("volume")});
    ASSERT_EQ(volumes.exitCode, 0) << volumes.err.toStdString();
    QMap<QString, int> byAddress;
    for (const QString &line : volumes.lines())
        byAddress.insert(json(line).value(QStringLiteral("server")).toObject().value(QStringLiteral("address")).toString(),
                         json(line).value(QStringLiteral("volume")).toInt());
    ASSERT_EQ(byAddress.keys(), (QStringList{QStringLiteral("127.0.0.2"), QStringLiteral("127.0.0.3"), QStringLiteral("127.0.0.4")}));
    EXPECT_EQ(byAddress.value(QStringLiteral("127.0.0.3")), 4);
    EXPECT_NE(byAddress.value(QStringLiteral("127.0.0.2")), 4);
    EXPECT_NE(byAddress.value(QStringLiteral("127.0.0.4")), 4);
}

TEST_F(CliTest, AllFailsWhenOneServerFails)
{
    startSim(0, {QStringLiteral("--name"), QStringLiteral("a")});
    startSim(1, {QStringLiteral("--name"), QStringLiteral("b"), QStringLiteral("--password"), QStringLiteral("999")});
    Sim &third = startSim(2, {QStringLiteral("--name"), QStringLiteral("c")});
    const Run r = ctl({QStringLiteral("--all"), QStringLiteral("--password"), QStringLiteral("468"), QStringLiteral("rotate"),
                       QStringLiteral("180")});
    EXPECT_EQ(r.exitCode, 1);
    QStringList lines = r.lines();
    lines.sort();
    ASSERT_EQ(lines.size(), 3) << r.out.toStdString();
    EXPECT_EQ(lines.at(0), QStringLiteral("127.0.0.2 a ok rotation 180 sent"));
    EXPECT_EQ(lines.at(1), QStringLiteral("127.0.0.3 b FAILED locked: the password does not match"));
    EXPECT_EQ(lines.at(2), QStringLiteral("127.0.0.4 c ok rotation 180 sent"));
    EXPECT_TRUE(waitForLog(third, QStringLiteral("550c 414e4401550c02")));
    EXPECT_FALSE(hasLog(m_sims.at(1), QStringLiteral("550c ")));
}

// --- what a script can rely on -----------------------------------------------

TEST_F(CliTest, NoServerAndNoReplyExitNonZeroWithAMessage)
{
    const struct
    {
        QStringList args;
        int exitCode;
        const char *says;
    } cases[] = {
        {{"-s", "nosuchname", "volume"}, 3, "no server named \"nosuchname\" answered within 1.5 s"},
        {{"--all", "screen", "on"}, 3, "no server answered within 1.5 s"},
        {{"scan"}, 3, "no server answered"},
        {{"-s", "127.0.0.9", "settings"}, 1, "127.0.0.9: no reply to the settings query within 2 s"},
        {{"-s", "127.0.0.9", "playlist"}, 1, "no reply to the play list query within 2 s"},
    };
    QList<QStringList> runs;
    for (const auto &c : cases)
        runs.append(c.args);
    const QList<Run> results = ctlAll(runs);
    for (qsizetype i = 0; i < results.size(); ++i) {
        const auto &c = cases[i];
        const Run &r = results[i];
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    }
}

TEST_F(CliTest, BadArgumentsExitWithTwoAndSendNothing)
{
    Sim &sim = startSim(0);
    const QStringList before = requests(sim);
    const struct
    {
        QStringList args;
        const char *says;
    } cases[] = {
        {{"-s", "127.0.0.2", "volume", "1.5"}, "from 0 to the server's maximum"},
        {{"-s", "127.0.0.2", "rotate", "45"}, "0, 90, 180, 270"},
        {{"-s", "127.0.0.2", "color", "1", "2"}, "R G B"},
        {{"-s", "127.0.0.2", "color", "1", "2", "65536"}, "blue must be"},
        {{"-s", "127.0.0.2", "settings", "set", "brightness=70000"}, "brightness must be"},
        {{"-s", "127.0.0.2", "settings", "set", "colour=red"}, "not KEY=VALUE"},
        {{"-s", "127.0.0.2", "settings", "set", "restart-time=25:00:00"}, "HH:mm:ss"},
        {{"-s", "127.0.0.2", "text", "set", ""}, "empty"},
        {{"-s", "127.0.0.2", "text", "set", "hi", "--speed", "300"}, "--speed must be"},
        {{"-s", "127.0.0.2", "clock", "set", "--type", "analog"}, "virtual, digital"},
        {{"-s", "127.0.0.2", "window-volume", "11"}, "from 0 to 10"},
        {{"-s", "127.0.0.2", "play", "0"}, "from 1 to"},
        {{"-s", "127.0.0.2", "scheme", "set", "new", "a.mp4"}, "needs --name"},
        {{"-s", "127.0.0.2", "scheme", "set", "1", "--schedule", "2024/02/30~2024/03/01#08:00:00~09:00:00"}, "--schedule"},
        {{"-s", "127.0.0.2", "send", "/nonexistent/x.jpg"}, "cannot read"},
        {{"-s", "127.0.0.2", "-w", "100", "clear"}, "--window"},
        {{"-s", "127.0.0.2", "--timeout", "0", "volume"}, "--timeout"},
        {{"-s", "127.0.0.2", "--all", "volume"}, "not both"},
        {{"-s", "127.0.0.2", "--bogus", "volume"}, "unknown option --bogus"},
        {{"-s", "127.0.0.2", "window"}, "needs a subcommand"},
        {{"-s", "127.0.0.2", "dance"}, "unknown command"},
        {{"volume"}, "no server"},
    };
    QList<QStringList> runs;
    for (const auto &c : cases)
        runs.append(c.args);
    const QList<Run> results = ctlAll(runs);
    for (qsizetype i = 0; i < results.size(); ++i) {
        const auto &c = cases[i];
        const Run &r = results[i];
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << r.err.toStdString();
    }
    // Nothing reached the server: the values were refused before any frame.
    spinFor(300);
    EXPECT_EQ(requests(sim), before);
}

// Each run answers a server's first announcement, and only that one.
TEST_F(CliTest, ScanSendsOneLoginPerServerAndSaysSo)
{
    Sim &sim = startSim(0);
    const Run r = ctl({QStringLiteral("scan"), QStringLiteral("--seconds"), QStringLiteral("2")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // Announced every 0.2 s, so several times while the scan listened.
    EXPECT_GE(logLines(sim).filter(QStringLiteral("send 5001")).size(), 5);
    spinFor(300);
    EXPECT_EQ(requests(sim).filter(QRegularExpression(QStringLiteral("^5002 "))).size(), 1);

    const Run help = ctl({QStringLiteral("scan"), QStringLiteral("--help")}, false);
    EXPECT_FALSE(help.out.contains(QLatin1String("answers each"))) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(QLatin1String("answers the first announcement it hears from a server with the login "
                                                "frame, once;")))
        << help.out.toStdString();
}

// The completion asks the tool for its commands; sourced from a source tree
// it finds the tree's build while qevactl is not on PATH.
TEST_F(CliTest, CompletionOffersSubcommandsAndFindsTheTreesBuild)
{
    QDir root(m_dir.path());
    for (const char *tree : {"tree", "bare"}) {
        ASSERT_TRUE(root.mkpath(QStringLiteral("%1/cli").arg(QLatin1String(tree))));
        ASSERT_TRUE(QFile::copy(QStringLiteral(QEVA_COMPLETION_SCRIPT),
                                root.filePath(QStringLiteral("%1/cli/qevactl-completion.bash").arg(QLatin1String(tree)))));
    }
    ASSERT_TRUE(root.mkpath(QStringLiteral("tree/build-x/cli")));
    ASSERT_TRUE(QFile::link(QStringLiteral(QEVA_CTL_BIN), root.filePath(QStringLiteral("tree/build-x/cli/qevactl"))));

    const auto complete = [&](const char *tree, const QStringList &words) {
        QProcess bash;
        QProcessEnvironment e;
        e.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        e.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        bash.setProcessEnvironment(e);
        bash.start(QStringLiteral("bash"),
                   QStringList{QStringLiteral("--norc"), QStringLiteral("--noprofile"), QStringLiteral("-c"),
                               QStringLiteral("source \"$0\"; COMP_WORDS=(\"$@\"); COMP_CWORD=$(( $# - 1 )); _qevactl; "
                                              "printf '%s\\n' \"${COMPREPLY[@]}\" | sort"),
                               root.filePath(QStringLiteral("%1/cli/qevactl-completion.bash").arg(QLatin1String(tree)))}
                       + words);
        if (!bash.waitForFinished(60000)) {
            bash.kill();
            bash.waitForFinished(5000);
        }
        return QString::fromUtf8(bash.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    };
    const QStringList setShow{QStringLiteral("set"), QStringLiteral("show")};
    const struct
    {
        const char *tree;
        QStringList words;
        QStringList offered;
    } cases[] = {
        {"tree", {"qevactl", "settings", ""}, setShow},
        {"tree", {"qevactl", "text", ""}, setShow},
        {"tree", {"qevactl", "clock", ""}, setShow},
        {"tree", {"qevactl", "scheme", ""}, setShow},
        {"tree", {"qevactl", "window", ""}, {"add", "close", "get", "set", "show"}},
        {"tree", {"qevactl", "-s", "127.0.0.2", "--json", "settings", "s"}, setShow},
        {"tree", {"qevactl", "settings", "set", "bri"}, {"brightness="}},
        {"tree", {"qevactl", "control", "p"}, {"pause", "play", "previous"}},
        {"tree", {"qevactl", "volume", ""}, {}},
        {"tree", {"qevactl", "--js"}, {"--json"}},
        // No build beside it and not on PATH: nothing, quietly.
        {"bare", {"qevactl", "settings", ""}, {}},
        // Called by its path, the program itself answers.
        {"bare", {QEVA_CTL_BIN, "clock", ""}, setShow},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QStringLiteral("%1: %2").arg(QLatin1String(c.tree), c.words.join(QLatin1Char(' '))).toStdString());
        EXPECT_EQ(complete(c.tree, c.words), c.offered);
    }
}

TEST_F(CliTest, HelpOnEveryLevel)
{
    const struct
    {
        QStringList args;
        const char *says;
    } cases[] = {
        {{"--help"}, "Usage: qevactl [OPTIONS] COMMAND"},
        {{"help", "volume"}, "Usage: qevactl [OPTIONS] volume [N]"},
        {{"window", "--help"}, "window set"},
        {{"window", "set", "--help"}, "--full-screen on|off"},
        {{"settings", "--help"}, "Subcommands:"},
        {{"scheme", "set", "-h"}, "--schedule RANGES"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const Run r = ctl(c.args, false);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QLatin1String(c.says))) << r.out.toStdString();
    }
}

} // namespace
