#include "simfixture.h"
#include "simoptions.h"

#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

namespace {

SimOptions parse(const QStringList &args)
{
    return parseSimArguments(QStringList{QStringLiteral("qeva-sim")} + args);
}

TEST(SimOptions, DefaultsAreThoseOfARealServer)
{
    const SimOptions o = parse({});
    ASSERT_EQ(o.action, SimOptions::Action::Run) << o.message.toStdString();
    const SimConfig &c = o.config;
    EXPECT_EQ(c.bindAddress, QHostAddress(QStringLiteral("0.0.0.0")));
    EXPECT_EQ(c.announceAddress, QHostAddress(QStringLiteral("239.9.9.1")));
    EXPECT_EQ(c.announcePort, 5760);
    EXPECT_EQ(c.udpPort, 5760);
    EXPECT_EQ(c.tcpPort, 5761);
    EXPECT_EQ(c.timePort, 5762);
    EXPECT_EQ(c.replyPort, 5760);
    EXPECT_EQ(c.intervalMs, 2000);
    EXPECT_EQ(c.logFile, QStringLiteral("-"));
    EXPECT_LT(c.endAfterMs, 0);
}

TEST(SimOptions, ReadsEveryOption)
{
    const SimOptions o = parse({"--bind", "127.0.0.2", "--announce-to", "127.255.255.255:6000", "--multicast-interface",
                                "127.0.0.1", "--name", "测试", "--password", "pw", "--id", "0A0b0C0d", "--windows",
                                "1, 0a,FF", "--interval-ms", "250", "--udp-port", "7000", "--tcp-port", "7001",
                                "--time-port", "7002", "--reply-port", "7003", "--log", "/tmp/x.log", "--end-after",
                                "1.5"});
    ASSERT_EQ(o.action, SimOptions::Action::Run) << o.message.toStdString();
    const SimConfig &c = o.config;
    EXPECT_EQ(c.bindAddress, QHostAddress(QStringLiteral("127.0.0.2")));
    EXPECT_EQ(c.announceAddress, QHostAddress(QStringLiteral("127.255.255.255")));
    EXPECT_EQ(c.announcePort, 6000);
    EXPECT_EQ(c.multicastInterface, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(c.name, QStringLiteral("测试"));
    EXPECT_EQ(c.password, QStringLiteral("pw"));
    EXPECT_EQ(c.identifier, 0x0a0b0c0du);
    EXPECT_EQ(c.windows, (QList<SimWindow>{{0x01, 0, 0}, {0x0a, 0, 0}, {0xff, 0, 0}}));
    EXPECT_EQ(c.intervalMs, 250);
    EXPECT_EQ(c.udpPort, 7000);
    EXPECT_EQ(c.tcpPort, 7001);
    EXPECT_EQ(c.timePort, 7002);
    EXPECT_EQ(c.replyPort, 7003);
    EXPECT_EQ(c.logFile, QStringLiteral("/tmp/x.log"));
    EXPECT_EQ(c.endAfterMs, 1500);
}

TEST(SimOptions, FamilySettingsAndLimitsGoToTheConfig)
{
    const SimOptions o = parse({"--media-dir", "/tmp/m", "--transfer-fault", "drop:100", "--server-files", "a.mp4|b.jpg",
                                "--playlists", "01=a.mp4|b.jpg; 0a=c.mp4", "--schemes", "01:01=早间|a.mp4|b.jpg;2:ff=晚间",
                                "--max-playlist", "10", "--max-name-bytes", "64", "--max-schemes", "3",
                                "--max-scheme-files", "4", "--replies-per-second", "50", "--memory-log-bytes", "65536",
                                "--log-max-bytes", "100000", "--tcp-idle-ms", "500", "--tcp-per-peer", "2",
                                "--tcp-max-connections", "5"});
    ASSERT_EQ(o.action, SimOptions::Action::Run) << o.message.toStdString();
    const SimConfig &c = o.config;
    EXPECT_EQ(c.mediaDir, QStringLiteral("/tmp/m"));
    EXPECT_EQ(c.transferFault, QStringLiteral("drop:100"));
    EXPECT_EQ(c.serverFiles, (QStringList{"a.mp4", "b.jpg"}));
    EXPECT_EQ(c.playLists, (QList<QPair<quint8, QStringList>>{{0x01, {"a.mp4", "b.jpg"}}, {0x0a, {"c.mp4"}}}));
    EXPECT_EQ(c.schemes, (QList<SimSchemeSeed>{{0x01, 0x01, QStringLiteral("早间"), {"a.mp4", "b.jpg"}},
                                              {0x02, 0xff, QStringLiteral("晚间"), {}}}));
    SimLimits limits;
    limits.playListEntries = 10;
    limits.nameBytes = 64;
    limits.schemesPerWindow = 3;
    limits.filesPerScheme = 4;
    limits.repliesPerSecond = 50;
    limits.memoryLogBytes = 65536;
    limits.logFileBytes = 100000;
    limits.tcpIdleMs = 500;
    limits.tcpPerPeer = 2;
    limits.tcpConnections = 5;
    EXPECT_EQ(c.limits, limits);

    // Without the options: nothing preloaded, the built-in limits.
    const SimOptions none = parse({});
    EXPECT_TRUE(none.config.serverFiles.isEmpty() && none.config.playLists.isEmpty() && none.config.schemes.isEmpty());
    EXPECT_TRUE(none.config.mediaDir.isEmpty() && none.config.transferFault.isEmpty());
    EXPECT_EQ(none.config.limits, SimLimits());
}

// What the options used to come through must not change a simulator.
TEST(SimOptions, TheEnvironmentChangesNothing)
{
    const char *variables[] = {"QEVA_SIM_MEDIA_DIR", "QEVA_SIM_TRANSFER_FAULT", "QEVA_SIM_SERVER_FILES",
                               "QEVA_SIM_PLAYLISTS", "QEVA_SIM_SCHEMES"};
    for (const char *v : variables)
        qputenv(v, "01=x.mp4");
    PhoneSocket phone;
    SimServer sim(loopbackSimConfig(phone.port()));
    const bool started = sim.start();
    for (const char *v : variables)
        qunsetenv(v);
    ASSERT_TRUE(started);
    EXPECT_TRUE(sim.family(QStringLiteral("playlist"))->state().value("serverFiles").toStringList().isEmpty());
    EXPECT_TRUE(sim.family(QStringLiteral("playlist"))->state().value("windows").toMap().isEmpty());
    EXPECT_TRUE(sim.family(QStringLiteral("timedplay"))->state().value("windows").toMap().isEmpty());
    EXPECT_EQ(sim.family(QStringLiteral("transfer"))->state().value("fault").toString(), QStringLiteral("none"));
}

TEST(SimOptions, AnnouncementPortFollowsTheReplyPortUnlessGiven)
{
    const SimOptions o = parse({"--announce-to", "127.0.0.1", "--reply-port", "6100"});
    ASSERT_EQ(o.action, SimOptions::Action::Run) << o.message.toStdString();
    EXPECT_EQ(o.config.announceAddress, QHostAddress(QStringLiteral("127.0.0.1")));
    EXPECT_EQ(o.config.announcePort, 6100);

    const SimOptions none = parse({"--windows", ""});
    ASSERT_EQ(none.action, SimOptions::Action::Run);
    EXPECT_TRUE(none.config.windows.isEmpty());
}

TEST(SimOptions, BadArgumentsSayWhatIsWrong)
{
    const struct
    {
        QStringList args;
        const char *says;
    } cases[] = {
        {{"--bogus"}, "bogus"},
        {{"stray"}, "unexpected argument: stray"},
        {{"--bind", "localhost"}, "--bind"},
        {{"--bind", "::1"}, "--bind"},
        {{"--announce-to", "127.0.0.1:0"}, "--announce-to"},
        {{"--announce-to", "127.0.0.1:70000"}, "--announce-to"},
        {{"--announce-to", "nowhere:5760"}, "--announce-to"},
        {{"--multicast-interface", "no-such-if0"}, "--multicast-interface"},
        {{"--id", "1234567"}, "--id"},
        {{"--id", "123456789"}, "--id"},
        {{"--id", "1234567g"}, "--id"},
        {{"--windows", "01,01"}, "given twice"},
        {{"--windows", "01,,02"}, "--windows"},
        {{"--windows", "100"}, "--windows"},
        {{"--interval-ms", "0"}, "--interval-ms"},
        {{"--interval-ms", "-5"}, "--interval-ms"},
        {{"--udp-port", "0"}, "--udp-port"},
        {{"--tcp-port", "abc"}, "--tcp-port"},
        {{"--reply-port", "65536"}, "--reply-port"},
        {{"--udp-port", "6000", "--time-port", "6000"}, "--time-port"},
        {{"--end-after", "0"}, "--end-after"},
        {{"--end-after", "soon"}, "--end-after"},
        {{"--end-after", "nan"}, "--end-after"},
        {{"--name", QString(70000, QLatin1Char('n'))}, "--name"},
        {{"--log", ""}, "--log"},
        {{"--media-dir", ""}, "--media-dir"},
        {{"--transfer-fault", "explode"}, "--transfer-fault"},
        {{"--transfer-fault", "drop:-1"}, "--transfer-fault"},
        {{"--server-files", "a.mp4|" + QString(70000, QLatin1Char('x'))}, "--server-files"},
        {{"--playlists", "01"}, "--playlists"},
        {{"--playlists", "zz=a.mp4"}, "--playlists"},
        {{"--playlists", "100=a.mp4"}, "--playlists"},
        {{"--schemes", "01=早间|a.mp4"}, "--schemes"},
        {{"--schemes", "01:01="}, "--schemes"},
        {{"--schemes", "01:g1=早间"}, "--schemes"},
        {{"--max-playlist", "0"}, "--max-playlist"},
        {{"--max-playlist", "65536"}, "--max-playlist"},
        {{"--max-name-bytes", "ten"}, "--max-name-bytes"},
        {{"--max-schemes", "257"}, "--max-schemes"},
        {{"--max-scheme-files", "-1"}, "--max-scheme-files"},
        {{"--replies-per-second", "0"}, "--replies-per-second"},
        {{"--memory-log-bytes", "100"}, "--memory-log-bytes"},
        {{"--log-max-bytes", "1.5"}, "--log-max-bytes"},
        {{"--tcp-idle-ms", "10"}, "--tcp-idle-ms"},
        {{"--tcp-per-peer", "0"}, "--tcp-per-peer"},
        {{"--tcp-max-connections", ""}, "--tcp-max-connections"},
    };
    for (const auto &k : cases) {
        SCOPED_TRACE(k.args.join(QLatin1Char(' ')).left(60).toStdString());
        const SimOptions o = parse(k.args);
        EXPECT_EQ(o.action, SimOptions::Action::Error);
        EXPECT_TRUE(o.message.contains(QLatin1String(k.says))) << o.message.toStdString();
    }
}

TEST(SimOptions, HelpListsEveryOption)
{
    const SimOptions o = parse({"--help"});
    ASSERT_EQ(o.action, SimOptions::Action::Help);
    for (const char *option : {"--bind", "--announce-to", "--multicast-interface", "--name", "--password", "--id",
                               "--windows", "--interval-ms", "--udp-port", "--tcp-port", "--time-port", "--reply-port",
                               "--log", "--end-after", "--media-dir", "--transfer-fault", "--server-files", "--playlists",
                               "--schemes", "--max-playlist", "--max-name-bytes", "--max-schemes", "--max-scheme-files",
                               "--replies-per-second", "--memory-log-bytes", "--log-max-bytes", "--tcp-idle-ms",
                               "--tcp-per-peer", "--tcp-max-connections"})
        EXPECT_TRUE(o.message.contains(QLatin1String(option))) << option;
}

// The binary itself: exit codes, and a phone's session end to end.
class SimBinary : public ::testing::Test
{
protected:
    struct Run
    {
        int exitCode = -1;
        QString out, err;
    };
    static Run runToEnd(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(QEVA_SIM_BIN), args);
        Run r;
        if (!p.waitForFinished(20000)) {
            p.kill();
            p.waitForFinished(5000);
            return r;
        }
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    PhoneSocket m_phone;
};

TEST_F(SimBinary, BadArgumentsExitWithTwoAndTheUsage)
{
    for (const QStringList &args : {QStringList{"--id", "xyz"}, QStringList{"--bogus"}, QStringList{"stray"},
                                    QStringList{"--transfer-fault", "explode"}, QStringList{"--tcp-per-peer", "0"}}) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const Run r = runToEnd(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.startsWith(QLatin1String("qeva-sim: "))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String("Usage: qeva-sim [options]"))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST_F(SimBinary, HelpExitsWithZero)
{
    const Run r = runToEnd({QStringLiteral("--help")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains(QLatin1String("--end-after")));
}

TEST_F(SimBinary, PortInUseExitsWithOne)
{
    const SimConfig c = loopbackSimConfig(m_phone.port());
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(simAddress(), c.udpPort, QAbstractSocket::DontShareAddress));
    const Run r = runToEnd(loopbackSimArguments(c));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("cannot bind UDP control port 127.0.0.2:%1").arg(c.udpPort)))
        << r.err.toStdString();
}

// Log in as a phone would after the first announcement, then wait for the
// end of the connection, brought by --end-after or by SIGUSR1.
TEST_F(SimBinary, EndsTheConnectionOfALoggedInPhone)
{
    for (const bool bySignal : {false, true}) {
        SCOPED_TRACE(bySignal ? "SIGUSR1" : "--end-after");
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString logPath = dir.filePath(QStringLiteral("sim.log"));
        const SimConfig c = loopbackSimConfig(m_phone.port());
        QStringList args = loopbackSimArguments(c) + QStringList{QStringLiteral("--log"), logPath, QStringLiteral("--name"),
                                                        QStringLiteral("大厅")};
        if (!bySignal)
            args << QStringLiteral("--end-after") << QStringLiteral("2");

        QProcess p;
        p.start(QStringLiteral(QEVA_SIM_BIN), args);
        ASSERT_TRUE(p.waitForStarted(5000));
        // Skipping any late announcement of the previous run.
        std::optional<QNetworkDatagram> announcement;
        do
            announcement = m_phone.next(QByteArray::fromHex("414e44025001"), 10000);
        while (announcement && announcement->senderPort() != c.udpPort);
        ASSERT_TRUE(announcement) << p.readAllStandardError().toStdString();
        m_phone.send(loginFrame(890923, QStringLiteral("张三"), QStringLiteral("468"), phoneAddress()), c.udpPort);
        if (bySignal) {
            // The signal must come after the login has been taken.
            ASSERT_TRUE(waitUntil([&] {
                QFile f(logPath);
                return f.open(QIODevice::ReadOnly) && f.readAll().contains("state login logged in 127.0.0.1");
            }));
            ::kill(pid_t(p.processId()), SIGUSR1);
        }
        const auto end = m_phone.next(QByteArray::fromHex("414e44025003"), 10000);
        ASSERT_TRUE(end);
        EXPECT_EQ(end->data(), QByteArray::fromHex("414e44025003"));

        // Still running after the end; SIGTERM stops it cleanly.
        EXPECT_EQ(p.state(), QProcess::Running);
        p.terminate();
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0);

        QFile f(logPath);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString log = QString::fromUtf8(f.readAll());
        EXPECT_TRUE(log.contains(QStringLiteral("login user 000d982b (890923) name \"张三\" phone 127.0.0.1")));
        EXPECT_TRUE(log.contains(QStringLiteral("send 5003 127.0.0.1:%1 414e44025003").arg(m_phone.port())));
    }
}

} // namespace
