// The file stream as a hostile or broken peer sees it: idle connections,
// floods of them, links in the media folder, names meant to forge log
// lines, cancels from strangers and a disk that fills up.
#include "simfixture.h"
#include "transferfamily.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpSocket>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QByteArray be(quint64 value, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xff));
    return out;
}

QByteArray announcement(const QByteArray &name, quint64 length, quint8 window = 0x01)
{
    return QByteArray::fromHex("414e44015104") + char(window) + char(0x03) + be(quint64(name.size()), 2) + name
           + be(length, 8);
}

QByteArray closeFrame(const QByteArray &name)
{
    return QByteArray::fromHex("414e44015103" "03") + be(quint64(name.size()), 2) + name;
}

QByteArray pattern(qsizetype size)
{
    QByteArray out(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        out[i] = char((i * 31 + i / 7) & 0xff);
    return out;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

class SimStreamTest : public LoopbackSimTest
{
protected:
    SimConfig config()
    {
        SimConfig c = LoopbackSimTest::config();
        c.families = QStringList{QStringLiteral("transfer"), QStringLiteral("playlist")};
        return c;
    }
    TransferFamily &transfer() { return *m_sim->family<TransferFamily>(); }
    QString media(const QString &name = QString()) const { return QDir(m_config.mediaDir).filePath(name); }
    QStringList mediaFiles() const
    {
        return QDir(m_config.mediaDir).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }
    std::unique_ptr<QTcpSocket> connectStream(const QHostAddress &from = phoneAddress())
    {
        auto s = std::make_unique<QTcpSocket>();
        s->bind(from, 0);
        s->connectToHost(simAddress(), m_sim->tcpPort());
        EXPECT_TRUE(waitUntil([&] { return s->state() == QAbstractSocket::ConnectedState; }));
        return s;
    }
    void write(QTcpSocket &s, const QByteArray &bytes)
    {
        s.write(bytes);
        EXPECT_TRUE(waitUntil([&] { return s.bytesToWrite() == 0; }));
    }
    bool waitForPrefix(const QString &prefix, int timeoutMs = 5000) { return waitForLinePrefix(*m_sim, prefix, timeoutMs); }
    bool closed(QTcpSocket &s)
    {
        return waitUntil([&] { return s.state() == QAbstractSocket::UnconnectedState; });
    }
};

TEST_F(SimStreamTest, AConnectionThatSendsNothingWhileSomethingIsDueIsClosed)
{
    SimConfig c = config();
    c.limits.tcpIdleMs = 1000;
    start(c);
    auto silent = connectStream();
    write(*silent, "AND");
    auto slow = connectStream();
    write(*slow, announcement("slow.mov", 100) + pattern(10));
    auto done = connectStream();
    write(*done, announcement("done.jpg", 5) + "abcde");
    ASSERT_TRUE(waitForPrefix(QStringLiteral("state transfer receiving slow.mov")));
    ASSERT_TRUE(waitForPrefix(QStringLiteral("state transfer received done.jpg")));

    m_now += 999;
    transfer().closeIdleStreams();
    spinFor(50);
    for (QTcpSocket *s : {silent.get(), slow.get(), done.get()})
        EXPECT_EQ(s->state(), QAbstractSocket::ConnectedState);

    // A header, content, or the next announcement after a file: each was due.
    const quint16 silentPort = silent->localPort(), donePort = done->localPort();
    m_now += 1;
    transfer().closeIdleStreams();
    for (QTcpSocket *s : {silent.get(), slow.get(), done.get()})
        EXPECT_TRUE(closed(*s));
    EXPECT_TRUE(hasLine(*m_sim, QStringLiteral("state transfer discarded slow.mov after 10 of 100 bytes: nothing for 1000 ms")));
    for (const quint16 port : {silentPort, donePort})
        EXPECT_TRUE(hasLine(*m_sim, QStringLiteral("file stream from 127.0.0.1:%1 closed: nothing for 1000 ms while an "
                                                   "announcement was due")
                                        .arg(port)));
    EXPECT_EQ(mediaFiles(), QStringList{QStringLiteral("done.jpg")});

    // What arrives puts the end off; the server's own timer closes it.
    auto later = connectStream();
    write(*later, "AND");
    m_now += 600;
    write(*later, announcement("late.mov", 100).mid(3));
    ASSERT_TRUE(waitForPrefix(QStringLiteral("state transfer receiving late.mov")));
    m_now += 600;
    spinFor(400);
    EXPECT_EQ(later->state(), QAbstractSocket::ConnectedState);
    m_now += 400;
    EXPECT_TRUE(closed(*later));
    EXPECT_TRUE(waitForPrefix(QStringLiteral("state transfer discarded late.mov after 0 of 100 bytes: nothing for 1000 ms")));
}

TEST_F(SimStreamTest, AStoppedServerForgetsItsStreamsAndWhatTheyBrought)
{
    start(config());
    auto s = connectStream();
    write(*s, announcement("half.mov", 100) + pattern(40));
    ASSERT_TRUE(waitForPrefix(QStringLiteral("state transfer receiving half.mov")));
    m_sim->stop();
    EXPECT_TRUE(hasLine(*m_sim, QStringLiteral("state transfer discarded half.mov after 40 of 100 bytes: the server stopped")));
    EXPECT_TRUE(transfer().receivingFiles().isEmpty());
    EXPECT_TRUE(mediaFiles().isEmpty());
    // Its sockets are gone; nothing may reach for them.
    m_now += 3600000;
    transfer().closeIdleStreams();
    spinFor(50);
}

// A flood from several addresses takes every slot one address may hold and
// all slots there are; an upload from elsewhere still gets through.
TEST_F(SimStreamTest, TwoThousandIdleConnectionsDoNotStopANormalUpload)
{
    constexpr int kIdle = 2000;
    constexpr int kPeers = 8;
    rlimit files = {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &files), 0);
    const rlim_t needed = kIdle + 500;
    if (files.rlim_cur < needed) {
        if (files.rlim_max < needed)
            GTEST_SKIP() << "the open-files limit (" << files.rlim_max << ") is below the " << needed << " this test needs";
        files.rlim_cur = needed;
        ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &files), 0);
    }
    start(config());
    const SimLimits limits = m_config.limits;
    ASSERT_EQ(limits.tcpPerPeer * kPeers, limits.tcpConnections) << "the flood is meant to fill every slot";

    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(m_sim->tcpPort());
    to.sin_addr.s_addr = htonl(simAddress().toIPv4Address());
    std::vector<int> fds;
    // In small batches, so that the listen queue never overflows into SYN retries.
    for (int batch = 0; batch < kIdle / 40; ++batch) {
        for (int i = 0; i < 40; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            ASSERT_GE(fd, 0) << std::strerror(errno);
            fds.push_back(fd);
            sockaddr_in from = {};
            from.sin_family = AF_INET;
            from.sin_addr.s_addr = htonl(QHostAddress(QStringLiteral("127.0.0.%1").arg(3 + int(fds.size()) % kPeers)).toIPv4Address());
            ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&from), sizeof from), 0) << std::strerror(errno);
            const int r = ::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to);
            ASSERT_TRUE(r == 0 || errno == EINPROGRESS) << std::strerror(errno);
        }
        ASSERT_TRUE(waitUntil([&] {
            return m_sim->tcpConnectionCount() + m_sim->refusedConnections() >= int(fds.size());
        })) << fds.size();
    }
    // Half a header on every one that is still open.
    for (const int fd : fds)
        ::send(fd, "AND", 3, MSG_NOSIGNAL | MSG_DONTWAIT);
    EXPECT_EQ(m_sim->tcpConnectionCount(), limits.tcpConnections);
    EXPECT_EQ(m_sim->refusedConnections(), kIdle - limits.tcpConnections);
    // Refusals are told once per address and period, not once each.
    for (int peer = 3; peer < 3 + kPeers; ++peer)
        EXPECT_EQ(m_sim->logLines().filter(QRegularExpression(QStringLiteral("^tcp refused 127\\.0\\.0\\.%1:").arg(peer))).size(), 1)
            << peer;

    auto upload = connectStream();
    const QByteArray content = pattern(1 << 20);
    upload->write(announcement("normal.mov", quint64(content.size())) + content);
    EXPECT_TRUE(waitForPrefix(QStringLiteral("state transfer received normal.mov"), 30000));
    EXPECT_EQ(readAll(media(QStringLiteral("normal.mov"))), content);
    EXPECT_TRUE(waitForPrefix(QStringLiteral("tcp closing 127.0.0.")));
    for (const int fd : fds)
        ::close(fd);
}

TEST_F(SimStreamTest, ASymbolicLinkInTheMediaFolderIsNeverFollowed)
{
    start(config());
    const QString outside = m_dir.filePath(QStringLiteral("outside"));
    ASSERT_TRUE(QDir().mkpath(outside));
    const QString target = QDir(outside).filePath(QStringLiteral("target.txt"));
    const QString target2 = QDir(outside).filePath(QStringLiteral("target2.txt"));
    for (const QString &t : {target, target2}) {
        QFile f(t);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("precious");
    }
    ASSERT_TRUE(QFile::link(target, media(QStringLiteral("poster.jpg"))));

    auto s = connectStream();
    s->write(announcement("poster.jpg", 4) + "evil");
    EXPECT_TRUE(closed(*s));
    EXPECT_TRUE(waitForLine(*m_sim, QStringLiteral("state transfer refused poster.jpg: cannot write in %1: the name is a "
                                                   "symbolic link")
                                        .arg(m_config.mediaDir)));

    // A link put under the name while the bytes come in is not written through either.
    auto s2 = connectStream();
    write(*s2, announcement("later.jpg", 8) + "evil");
    ASSERT_TRUE(waitForPrefix(QStringLiteral("state transfer receiving later.jpg")));
    ASSERT_TRUE(QFile::link(target2, media(QStringLiteral("later.jpg"))));
    write(*s2, "evil");
    EXPECT_TRUE(waitForPrefix(QStringLiteral("state transfer discarded later.jpg after 8 of 8 bytes: cannot store: the "
                                             "name is a symbolic link")));

    for (const QString &t : {target, target2})
        EXPECT_EQ(readAll(t), "precious");
    EXPECT_TRUE(QFileInfo(media(QStringLiteral("poster.jpg"))).isSymLink());
    EXPECT_TRUE(QFileInfo(media(QStringLiteral("later.jpg"))).isSymLink());
    EXPECT_EQ(mediaFiles(), (QStringList{"later.jpg", "poster.jpg"})) << "no temporary file left behind";

    // Nor is a link a received file that a command may put on a list.
    m_phone.send(QByteArray::fromHex("414e44015101" "01" "000a") + "poster.jpg", m_sim->udpPort());
    EXPECT_TRUE(waitForLine(*m_sim, QStringLiteral("add poster.jpg to window 01: no such file")));
}

TEST_F(SimStreamTest, OnlyTheAddressThatOpenedAStreamMayCancelIt)
{
    start(config());
    auto s = connectStream();
    write(*s, announcement("gone.mov", 5000) + pattern(100));
    ASSERT_TRUE(waitForPrefix(QStringLiteral("state transfer receiving gone.mov")));

    PhoneSocket stranger(QHostAddress(QStringLiteral("127.0.0.3")));
    stranger.send(closeFrame("gone.mov"), m_sim->udpPort());
    ASSERT_TRUE(waitForLine(*m_sim, QStringLiteral("close gone.mov from 127.0.0.3 ignored: the stream came from another address")));
    EXPECT_EQ(transfer().receivingFiles(), QStringList{QStringLiteral("gone.mov")});
    EXPECT_EQ(s->state(), QAbstractSocket::ConnectedState);

    m_phone.send(closeFrame("gone.mov"), m_sim->udpPort());
    EXPECT_TRUE(waitForLine(*m_sim, QStringLiteral("state transfer discarded gone.mov after 100 of 5000 bytes: closed by the "
                                                   "phone (type 03)")));
    EXPECT_TRUE(closed(*s));
    EXPECT_TRUE(mediaFiles().isEmpty());
}

TEST_F(SimStreamTest, ANameThatWouldForgeALogLineIsLoggedEscaped)
{
    SimConfig c = config();
    c.logFile = m_dir.filePath(QStringLiteral("sim.log"));
    start(c);
    const QByteArray forged = "a\nreceived fake.jpg (1000 bytes) for window 01";
    auto s = connectStream();
    s->write(announcement(forged, 4) + "evil");
    EXPECT_TRUE(closed(*s));
    EXPECT_TRUE(waitForPrefix(QStringLiteral("state transfer refused file name \"a\\nreceived fake.jpg (1000 bytes) for "
                                             "window 01\" (hex 610a7265")));

    // A name the folder can hold is stored as it is, and still logged escaped.
    const QByteArray separator = QStringLiteral("x\u2028y.jpg").toUtf8();
    auto s2 = connectStream();
    write(*s2, announcement(separator, 3) + "abc");
    EXPECT_TRUE(waitForLine(*m_sim, QStringLiteral("state transfer received x\\u2028y.jpg (3 bytes) for window 01")));
    EXPECT_EQ(mediaFiles(), QStringList{QString::fromUtf8(separator)});

    for (const QString &line : m_sim->logLines())
        EXPECT_FALSE(line.contains(QLatin1Char('\n')) || line.contains(QChar(0x2028))) << line.toStdString();
    for (const QByteArray &line : readAll(c.logFile).split('\n'))
        EXPECT_FALSE(line.startsWith("received fake.jpg")) << line.constData();
}

// The simulator in a mount namespace of its own with a 1 MiB tmpfs as its
// media folder: a 3 MiB upload fills it.
TEST(SimFullDisk, TheSystemsErrorIsLoggedAndNoPartialFileIsLeft)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString mediaDir = dir.filePath(QStringLiteral("media"));
    ASSERT_TRUE(QDir().mkpath(mediaDir));
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    if (unshare.isEmpty())
        GTEST_SKIP() << "no unshare command here";
    const QString mountScript = QStringLiteral("mount -t tmpfs -o size=1m qeva-full \"$0\" && exec \"$@\"");
    {
        QProcess probe;
        probe.start(unshare, {"-m", "--propagation", "private", "sh", "-c", mountScript, mediaDir, "true"});
        if (!probe.waitForFinished(10000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
            GTEST_SKIP() << "cannot mount a tmpfs in a mount namespace of our own here: "
                         << probe.readAllStandardError().trimmed().toStdString();
    }

    PhoneSocket phone;
    const SimConfig c = loopbackSimConfig(phone.port());
    const QString logPath = dir.filePath(QStringLiteral("sim.log"));
    QProcess sim;
    startChild(sim, unshare,
               QStringList{"-m", "--propagation", "private", "sh", "-c", mountScript, mediaDir, QStringLiteral(QEVA_SIM_BIN)}
                   + loopbackSimArguments(c) + QStringList{"--media-dir", mediaDir, "--log", logPath});
    ASSERT_TRUE(sim.waitForStarted(10000));
    ASSERT_TRUE(phone.next(QByteArray::fromHex("414e44025001"), 20000)) << sim.readAllStandardError().toStdString();
    const auto logged = [&](const QByteArray &text) { return readAll(logPath).contains(text); };

    QTcpSocket s;
    s.connectToHost(simAddress(), c.tcpPort);
    ASSERT_TRUE(waitUntil([&] { return s.state() == QAbstractSocket::ConnectedState; }));
    const QByteArray content = pattern(3 << 20);
    s.write(announcement("big.mov", quint64(content.size())) + content);
    EXPECT_TRUE(waitUntil([&] { return logged("cannot write: No space left on device"); }, 20000)) << readAll(logPath).right(2000).constData();
    EXPECT_TRUE(logged("state transfer discarded big.mov after "));

    // The folder as the simulator sees it, inside its namespace.
    const QString seen = QStringLiteral("/proc/%1/root%2").arg(sim.processId()).arg(mediaDir);
    EXPECT_TRUE(QDir(seen).exists());
    EXPECT_TRUE(QDir(seen).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).isEmpty())
        << QDir(seen).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).join(' ').toStdString();
    sim.terminate();
    EXPECT_TRUE(sim.waitForFinished(10000));
}

} // namespace
