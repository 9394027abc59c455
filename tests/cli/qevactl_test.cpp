#include "clifixture.h"

#include <QDir>
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
    EXPECT_EQ(o.value(QStringLiteral("address")).toString(), QStringLiteral("127.0.0.2"));
    EXPECT_EQ(o.value(QStringLiteral("name")).toString(), QStringLiteral("大厅"));
    EXPECT_EQ(o.value(QStringLiteral("windows")).toArray(), (QJsonArray{QStringLiteral("01"), QStringLiteral("02")}));
    EXPECT_EQ(o.value(QStringLiteral("login")).toString(), QStringLiteral("locked"));
}

TEST_F(CliTest, ServerByNameIsFoundByAScanAndByAddressWithout)
{
    startSim(0, {QStringLiteral("--name"), QStringLiteral("lobby"), QStringLiteral("--windows"), QStringLiteral("03")});
    const Run byName = ctl({QStringLiteral("-s"), QStringLiteral("lobby"), QStringLiteral("--json"), QStringLiteral("volume")});
    ASSERT_EQ(byName.exitCode, 0) << byName.err.toStdString();
    const QJsonObject o = json(byName.out);
    EXPECT_EQ(o.value(QStringLiteral("address")).toString(), QStringLiteral("127.0.0.2"));
    // Found by a scan, the server's first window is the default.
    EXPECT_EQ(o.value(QStringLiteral("window")).toString(), QStringLiteral("03"));
    EXPECT_TRUE(o.value(QStringLiteral("volume")).isDouble());

    const Run byAddress = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("volume")});
    EXPECT_EQ(byAddress.exitCode, 0) << byAddress.err.toStdString();
    EXPECT_TRUE(byAddress.out.startsWith(QLatin1String("volume:"))) << byAddress.out.toStdString();
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

    // Within the field but above what this server takes: refused, nothing set.
    const Run above = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.2"), QStringLiteral("volume"), QStringLiteral("16")});
    EXPECT_EQ(above.exitCode, 1);
    EXPECT_TRUE(above.err.contains(QLatin1String("above the server's maximum 15"))) << above.err.toStdString();
    EXPECT_FALSE(hasLog(sim, QStringLiteral("414e44015a0310")));
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
        byAddress.insert(json(line).value(QStringLiteral("address")).toString(), json(line).value(QStringLiteral("volume")).toInt());
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
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const Run r = ctl(c.args);
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
        {{"-s", "127.0.0.2", "volume", "256"}, "from 0 to 255"},
        {{"-s", "127.0.0.2", "volume", "-1"}, "from 0 to 255"},
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
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const Run r = ctl(c.args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << r.err.toStdString();
    }
    // Nothing reached the server: the values were refused before any frame.
    spinFor(300);
    EXPECT_EQ(requests(sim), before);
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
