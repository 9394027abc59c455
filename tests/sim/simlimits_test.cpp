// What a peer on the LAN can make the simulator hold, send or log: every
// limit, the reply address, and the log itself.
#include "core/logescape.h"
#include "playlistfamily.h"
#include "simfixture.h"
#include "timedplayfamily.h"
#include "transferfamily.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QByteArray name16(const QByteArray &name)
{
    return QByteArray(1, char(name.size() >> 8)) + char(name.size() & 0xff) + name;
}

// 5601: window, 01, the name, the end byte of a last entry.
QByteArray appendFrame(quint8 window, const QByteArray &name)
{
    return hex("414e44015601") + char(window) + '\x01' + name16(name) + char((4 + 2 * name.size()) % 100);
}

// A scheme's parameter frame with a clock and a text, then its file frames.
QByteArray schemeFrame(quint8 window, quint8 id, const QByteArray &name)
{
    return hex("414e44015602") + char(window) + char(id) + name16(name)
           + hex("01" "000a" "0014" "0064" "0032" "01" "05" "0c" "04" "10" "0001" "0002" "0000" "0002" "6869" "0002" "783b");
}
QByteArray schemeFile(const QByteArray &name, bool last)
{
    return hex("414e44015602") + name16(name) + (last ? char((4 + 2 * name.size()) % 100) : char(0xff));
}

QHostAddress third()
{
    return QHostAddress(QStringLiteral("127.0.0.3"));
}

class SimLimitsTest : public LoopbackSimTest
{
protected:
    void send(const QByteArray &frame, SimPort port = SimPort::Control)
    {
        m_phone.send(frame, port == SimPort::Time ? m_sim->timePort() : m_sim->udpPort());
    }
    // Sends and waits until the simulator has logged the frame.
    void sendAndWait(const QByteArray &frame, PhoneSocket &from)
    {
        const QString line = SimFrame::codeText(SimFrame::code(frame)) + QLatin1Char(' ') + LogEscape::hex(frame);
        const qsizetype before = m_sim->logLines().count(line);
        from.send(frame, m_sim->udpPort());
        ASSERT_TRUE(waitUntil([&] { return m_sim->logLines().count(line) > before; })) << line.left(80).toStdString();
    }
    void sendAndWait(const QByteArray &frame) { sendAndWait(frame, m_phone); }
};

TEST_F(SimLimitsTest, RepliesGoToTheCarriedAddressOnlyWhenItIsTheSendersOrALoggedInPhones)
{
    SimConfig c = config();
    c.serverFiles = {QStringLiteral("/srv/a.mp4")};
    c.playLists = {{0x01, {QStringLiteral("/srv/a.mp4")}}};
    c.schemes = {{0x01, 0x01, QStringLiteral("早间"), {QStringLiteral("/srv/a.mp4")}}};
    start(c);
    ASSERT_TRUE(m_phone.next(hex("414e44025001")));
    PhoneSocket other(third(), m_phone.port());

    // Every query that carries the phone's address, carrying another's.
    const struct
    {
        const char *query;
        SimPort port;
        const char *reply;
    } queries[] = {
        {"414e44015701" "01" "7f000003", SimPort::Control, "414e44025601"},
        {"414e44015304" "7f000003", SimPort::Control, "414e44025604"},
        {"414e44015401" "7f000003", SimPort::Control, "414e44025401"},
        {"414e44015502" "7f000003", SimPort::Control, "414e44025501"},
        {"414e44015503" "7f000003", SimPort::Control, "414e44025502"},
        {"414e44015a02" "7f000003", SimPort::Time, "414e44025503"},
        {"414e44015202" "01" "7f000003", SimPort::Control, "414e44025201"},
        {"414e44015301" "01" "7f000003", SimPort::Control, "414e44025602"},
        {"414e44015303" "01" "01" "7f000003", SimPort::Control, "414e44025603"},
    };
    for (const auto &q : queries) {
        SCOPED_TRACE(q.query);
        send(hex(q.query), q.port);
        EXPECT_TRUE(m_phone.next(hex(q.reply))) << "the sender gets the answer";
        const QString code = QString::fromLatin1(q.query).mid(8, 4);
        EXPECT_TRUE(hasLine(*m_sim, code + " from 127.0.0.1 carried 127.0.0.3, neither its sender nor a phone that "
                                           "logged in: the reply goes to the sender"));
    }
    spinFor(100);
    EXPECT_EQ(other.untaken(), 0) << "nothing went to the third address";

    // Once a phone there has logged in, the address is one replies may go to.
    other.send(loginFrame(7, QStringLiteral("other"), QStringLiteral("468"), third()), m_sim->udpPort());
    ASSERT_TRUE(waitForLine(*m_sim, QStringLiteral("state login logged in 127.0.0.3; phones 127.0.0.3")));
    for (const auto &q : queries) {
        SCOPED_TRACE(q.query);
        send(hex(q.query), q.port);
        EXPECT_TRUE(other.next(hex(q.reply)));
    }
}

TEST_F(SimLimitsTest, RepliesForOnePeerStopAtTheLimitForTheRestOfTheSecond)
{
    SimConfig c = config();
    c.limits.repliesPerSecond = 5;
    c.serverFiles = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    c.playLists = {{0x01, c.serverFiles}};
    start(c);
    ASSERT_TRUE(m_phone.next(hex("414e44025001")));
    PhoneSocket other(third(), m_phone.port());
    const auto replies = [](PhoneSocket &s) {
        int n = 0;
        while (s.next(hex("414e44025601"), 300))
            ++n;
        return n;
    };

    // Two lists of three: five datagrams go, the sixth is held back, and said so once.
    send(hex("414e44015701" "01" "7f000001"));
    send(hex("414e44015701" "01" "7f000001"));
    EXPECT_EQ(replies(m_phone), 5);
    EXPECT_EQ(m_sim->logLines().filter(QStringLiteral("not sent: 5 datagrams for the requests of 127.0.0.1")).size(), 1);

    // Another peer has its own count.
    other.send(hex("414e44015701" "01" "7f000003"), m_sim->udpPort());
    EXPECT_EQ(replies(other), 3);

    // The next second begins afresh, and tells what was held back.
    m_now += 1000;
    send(hex("414e44015701" "01" "7f000001"));
    EXPECT_EQ(replies(m_phone), 3);
    EXPECT_TRUE(hasLine(*m_sim, QStringLiteral("1 more reply datagram(s) for 127.0.0.1 were held back in that second")));
}

TEST_F(SimLimitsTest, AppendsTakeOnlyServerOrReceivedFilesWithinTheListsLimits)
{
    SimConfig c = config();
    c.limits.playListEntries = 3;
    c.limits.nameBytes = 16;
    c.serverFiles = {QStringLiteral("a.mp4"), QStringLiteral("/srv/a-long-name.mp4")};
    start(c);
    const PlayListFamily &lists = *m_sim->family<PlayListFamily>();

    // A received file is one of the server's too; a link in the folder is not.
    QFile received(QDir(c.mediaDir).filePath(QStringLiteral("got.jpg")));
    ASSERT_TRUE(received.open(QIODevice::WriteOnly));
    received.close();
    ASSERT_TRUE(QFile::link(received.fileName(), QDir(c.mediaDir).filePath(QStringLiteral("link.jpg"))));

    const struct
    {
        quint8 window;
        QByteArray name;
        QString line; // "" when it joins the list
    } cases[] = {
        {0x01, "a.mp4", {}},
        {0x01, "got.jpg", {}},
        {0x01, "nope.mp4", "append 01: \"nope.mp4\" is neither a server file nor a received one: not added"},
        {0x01, "link.jpg", "append 01: \"link.jpg\" is neither a server file nor a received one: not added"},
        {0x01, "a\nb", "append 01: \"a\\nb\" is neither a server file nor a received one: not added"},
        {0x02, "/srv/a-long-name.mp4",
         "play list 02: name refused (empty, longer than 16 bytes or reads as ff00): /srv/a-long-name.mp4"},
        {0x01, "a.mp4", {}},
        {0x01, "a.mp4", "play list 01 is full (3 entries): \"a.mp4\" not added"},
        {0x01, QByteArray(60000, 'x'),
         "append 01: \"" + QString(200, QLatin1Char('x')) + "...(60000 bytes)\" is neither a server file nor a received one: not added"},
    };
    for (const auto &k : cases) {
        SCOPED_TRACE(k.name.left(20).toStdString());
        sendAndWait(appendFrame(k.window, k.name));
        if (!k.line.isEmpty()) {
            EXPECT_TRUE(hasLine(*m_sim, k.line)) << m_sim->logLines().last().toStdString();
        }
    }
    EXPECT_EQ(lists.files(0x01), (QStringList{"a.mp4", "got.jpg", "a.mp4"}));
    EXPECT_TRUE(lists.files(0x02).isEmpty());
}

TEST_F(SimLimitsTest, SchemesStayWithinTheirLimits)
{
    SimConfig c = config();
    c.windows = {SimWindow{0x01, 0, 0}};
    c.limits.schemesPerWindow = 2;
    c.limits.filesPerScheme = 2;
    c.limits.nameBytes = 16;
    start(c);
    const auto schemes = [this] { return m_sim->family<TimedPlayFamily>()->schemes(0x01).size(); };
    const auto store = [this](quint8 window, quint8 id, const QList<QByteArray> &files) {
        sendAndWait(schemeFrame(window, id, "s"));
        for (qsizetype i = 0; i < files.size(); ++i)
            sendAndWait(schemeFile(files.at(i), i + 1 == files.size()));
    };

    store(0x05, 0x01, {});
    EXPECT_TRUE(hasLine(*m_sim, "window 05 scheme 01 \"s\" refused: the server has no window 05"));
    store(0x01, 0x01, {"a", "b", "c"});
    EXPECT_TRUE(hasLine(*m_sim, "window 01 scheme 01 not stored: more than 2 files"));
    store(0x01, 0x01, {"a", QByteArray(17, 'n')});
    EXPECT_TRUE(hasLine(*m_sim, "window 01 scheme 01 not stored: a file name longer than 16 bytes"));
    EXPECT_EQ(schemes(), 0);

    store(0x01, 0x01, {"a"});
    store(0x01, 0x02, {"a", "b"});
    store(0x01, 0x03, {"a"});
    EXPECT_TRUE(hasLine(*m_sim, "window 01 scheme 03 not stored: the window has 2 schemes already"));
    store(0x01, 0x02, {"c"}); // replacing one is always possible
    EXPECT_EQ(schemes(), 2);

    // Schemes under way, one per sender: the oldest goes past the limit.
    std::vector<std::unique_ptr<PhoneSocket>> senders;
    for (int i = 0; i <= TimedPlayFamily::kMaxPending; ++i) {
        senders.push_back(std::make_unique<PhoneSocket>());
        sendAndWait(schemeFrame(0x01, quint8(0x10 + i), "p"), *senders.back());
    }
    EXPECT_EQ(m_sim->family<TimedPlayFamily>()->pendingCount(), TimedPlayFamily::kMaxPending);
    EXPECT_TRUE(hasLinePrefix(*m_sim, QStringLiteral("window 01 scheme 10 from 127.0.0.1:%1 dropped: 16 schemes under way")
                                              .arg(senders.front()->port())));
}

TEST_F(SimLimitsTest, LoggedDatagramsAndLinesAreCutAndTheLinesKeptWithinTheirBudget)
{
    SimConfig c = config();
    c.limits.memoryLogBytes = 64 * 1024;
    start(c);

    // A long datagram is logged with the start of its hex and its length.
    QByteArray junk(60000, 'j');
    m_phone.send(junk, m_sim->udpPort());
    const QByteArray request = appendFrame(0x01, QByteArray(60000, 'x'));
    m_phone.send(request, m_sim->udpPort());
    ASSERT_TRUE(waitForLine(*m_sim, "ignored, not a request: " + QString::fromLatin1(junk.left(256).toHex()) + "...(60000 bytes)"));
    ASSERT_TRUE(waitForLine(*m_sim, "5601 " + QString::fromLatin1(request.left(256).toHex())
                                        + QStringLiteral("...(%1 bytes)").arg(request.size())));

    // However many and however long the lines, the memory they take stays within the budget.
    for (int i = 0; i < 2000; ++i)
        m_sim->log(QStringLiteral("line %1 ").arg(i) + QString(5000, QLatin1Char('y')));
    EXPECT_LE(m_sim->memoryLogBytes(), c.limits.memoryLogBytes);
    qint64 counted = 0;
    for (const QString &l : m_sim->logLines()) {
        EXPECT_LE(l.size(), SimServer::kMaxLineChars + 20);
        counted += 2 * l.size();
    }
    EXPECT_LE(counted, c.limits.memoryLogBytes);
    EXPECT_GT(m_sim->logLines().size(), 5);
    EXPECT_TRUE(m_sim->logLines().last().startsWith(QLatin1String("line 1999 yyy")));
    EXPECT_TRUE(m_sim->logLines().last().endsWith(QLatin1String("...(5010 chars)")));
}

TEST_F(SimLimitsTest, TheLogFileMovesAsideAtItsSizeLimit)
{
    SimConfig c = config();
    c.logFile = m_dir.filePath(QStringLiteral("sim.log"));
    c.limits.logFileBytes = 4096;
    start(c);
    for (int i = 0; i < 200; ++i)
        m_sim->log(QStringLiteral("line %1 %2").arg(i, 3, 10, QLatin1Char('0')).arg(QString(90, QLatin1Char('z'))));

    QFile current(c.logFile), old(c.logFile + QStringLiteral(".1"));
    ASSERT_TRUE(current.open(QIODevice::ReadOnly));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    const QByteArray now = current.readAll(), before = old.readAll();
    EXPECT_LT(now.size(), c.limits.logFileBytes);
    EXPECT_GE(before.size(), c.limits.logFileBytes);
    EXPECT_LT(before.size(), c.limits.logFileBytes + 200);
    const QByteArray note = "log continued from " + QFile::encodeName(old.fileName()) + '\n';
    EXPECT_TRUE(now.startsWith(note));
    // Nothing lost between the two: the newest lines, in order, up to the last.
    QList<int> numbers;
    for (const QByteArray &line : (before + now.mid(note.size())).split('\n'))
        if (line.startsWith("line "))
            numbers << line.mid(5, 3).toInt();
    ASSERT_GE(numbers.size(), 30);
    EXPECT_EQ(numbers.last(), 199);
    for (qsizetype i = 1; i < numbers.size(); ++i)
        EXPECT_EQ(numbers.at(i), numbers.at(i - 1) + 1);
}

TEST_F(SimLimitsTest, TextFromTheWireIsLoggedEscapedInEveryFamily)
{
    SimConfig c = config();
    c.logFile = m_dir.filePath(QStringLiteral("sim.log"));
    start(c);
    const QByteArray forged = "\nstate login logged in 9.9.9.9";
    const struct
    {
        QByteArray frame;
        SimPort port;
        QString logged; // how the forged text shows in its line
    } cases[] = {
        {loginFrame(7, QString::fromUtf8("ann" + forged), QStringLiteral("468"), phoneAddress()), SimPort::Control,
         "name \"ann\\nstate login logged in 9.9.9.9\""},
        {loginFrame(7, QStringLiteral("ann"), QString::fromUtf8("pw" + forged), phoneAddress()), SimPort::Control,
         "wrong password \"pw\\nstate login"},
        {hex("414e44015402" "01" "05" "01" "01" "20" "0000" "0000" "0000") + name16("t" + forged), SimPort::Control,
         "\"t\\nstate login"},
        {appendFrame(0x01, "f" + forged), SimPort::Control, "\"f\\nstate login"},
        {schemeFrame(0x01, 0x01, "s" + forged), SimPort::Control, "\"s\\nstate login"},
        {schemeFile("g" + forged, true), SimPort::Control, "file 1: g\\nstate login"},
        {hex("414e44015101" "01") + name16(QByteArray("r\0", 2) + forged), SimPort::Control, "add r\\x00\\nstate login"},
        {hex("414e44015102" "01") + name16("p" + forged), SimPort::Control, "play p\\nstate login"},
        {hex("414e44015103" "03") + name16("c" + forged), SimPort::Control, "close c\\nstate login"},
        {hex("414e44015501" "01" "00" "00b4" "01" "03") + name16("04:30" + forged) + name16("D:/x"), SimPort::Control,
         "restarttime \"04:30\\nstate login"},
        {hex("414e44015a01" "00000000" "00000000") + name16("Asia/Shanghai" + forged), SimPort::Time,
         "zone Asia/Shanghai\\nstate login"},
    };
    for (const auto &k : cases) {
        SCOPED_TRACE(k.logged.toStdString());
        send(k.frame, k.port);
        EXPECT_TRUE(waitUntil([&] { return !m_sim->logLines().filter(k.logged).isEmpty(); }));
    }
    static const QRegularExpression control(QStringLiteral("[\\x00-\\x1f\\x7f]"));
    for (const QString &line : m_sim->logLines())
        EXPECT_FALSE(line.contains(control)) << line.toStdString();

    QFile f(c.logFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    for (const QByteArray &line : f.readAll().split('\n'))
        EXPECT_FALSE(line.startsWith("state login logged in 9.9.9.9"));
}

// The amplification of old: a thousand 60 KB names appended, then one
// small query that names a third address. The real binary, so that its
// memory is measured as a whole process.
TEST(SimAmplification, LongAppendsAndAQueryForAThirdAddressStayBounded)
{
    // What the process may grow by; the appends alone carry 60 MB.
    constexpr qint64 kBoundBytes = 48ll << 20;
    QTemporaryDir dir;
    PhoneSocket phone;
    PhoneSocket other(third(), phone.port());
    const SimConfig c = loopbackSimConfig(phone.port());
    const QString logPath = dir.filePath(QStringLiteral("sim.log"));
    QProcess sim;
    // A small quarantine, so that the sanitizer's hold on freed memory does not read as growth.
    startChild(sim, QStringLiteral(QEVA_SIM_BIN),
               loopbackSimArguments(c) + QStringList{"--interval-ms", "600000", "--server-files", "/srv/a.mp4", "--log", logPath},
               QStringLiteral("detect_leaks=0:quarantine_size_mb=4"));
    ASSERT_TRUE(sim.waitForStarted(10000));
    ASSERT_TRUE(phone.next(hex("414e44025001"), 20000)) << sim.readAllStandardError().toStdString();
    const auto status = [&](const char *field) {
        QFile f(QStringLiteral("/proc/%1/status").arg(sim.processId()));
        if (!f.open(QIODevice::ReadOnly))
            return qint64(-1);
        for (const QByteArray &line : f.readAll().split('\n'))
            if (line.startsWith(field))
                return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong() * 1024;
        return qint64(-1);
    };
    // Settled: one round trip first.
    phone.send(hex("414e44015304" "7f000001"), c.udpPort);
    ASSERT_TRUE(phone.next(hex("414e44025604")));
    const qint64 before = status("VmRSS:");
    ASSERT_GT(before, 0);

    for (int i = 0; i < 1000; ++i) {
        phone.send(appendFrame(0x01, QByteArray(60000, char('a' + i % 26))), c.udpPort);
        // Every few, a query answered in order: the simulator keeps up, nothing is dropped on the way.
        if (i % 2 == 1) {
            phone.send(hex("414e44015304" "7f000001"), c.udpPort);
            ASSERT_TRUE(phone.next(hex("414e44025604"))) << i;
        }
    }
    phone.send(hex("414e44015701" "01" "7f000003"), c.udpPort);
    EXPECT_TRUE(phone.next(hex("414e44025605"))) << "the empty list is told to the sender";
    spinFor(200);
    EXPECT_EQ(other.untaken(), 0) << "nothing went to the third address";

    const qint64 peak = status("VmHWM:");
    EXPECT_LT(peak - before, kBoundBytes) << "from " << before << " to a peak of " << peak;
    RecordProperty("rss_before", std::to_string(before));
    RecordProperty("rss_peak", std::to_string(peak));
    EXPECT_LT(QFileInfo(logPath).size(), 4 << 20);
    sim.terminate();
    EXPECT_TRUE(sim.waitForFinished(10000));
    const QByteArray log = [&] {
        QFile f(logPath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    EXPECT_EQ(log.count("is neither a server file nor a received one: not added"), 1000);
    EXPECT_TRUE(log.contains("5701 from 127.0.0.1 carried 127.0.0.3, neither its sender nor a phone that logged in"));
}

} // namespace
