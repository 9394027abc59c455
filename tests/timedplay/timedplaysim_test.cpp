#include "sim/simfixture.h"
#include "timedplayfamily.h"
#include "timedplayfixtures.h"

#include <gtest/gtest.h>

namespace {

// The phone's side written out byte by byte: the same vectors pin the
// client's builders.
const QByteArray kParamFrame = QByteArray::fromHex("414e44015602" "01" "02" "0002" "6162" "01" "000a" "0014" "0064" "0032"
                                                   "01" "05" "0c" "04" "10" "0001" "0002" "0000" "0002" "6869" "0002" "783b");
QByteArray fileFrame(const QByteArray &name, bool last)
{
    QByteArray f = QByteArray::fromHex("414e44015602");
    f.append(char(name.size() >> 8)).append(char(name.size() & 0xff)).append(name);
    f.append(last ? char((4 + 2 * name.size()) % 100) : char(0xff));
    return f;
}

class TimedPlaySimTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SimConfig c = loopbackSimConfig(m_phone.port());
        c.families = {QStringLiteral("timedplay")};
        m_sim = std::make_unique<SimServer>(c);
        ASSERT_TRUE(m_sim->start()) << m_sim->errorString().toStdString();
        m_family = m_sim->family<TimedPlayFamily>();
        ASSERT_NE(m_family, nullptr);
        ASSERT_TRUE(m_phone.next(QByteArray::fromHex("414e44025001"))) << "the announcement at start";
    }
    void send(const QByteArray &frame) { m_phone.send(frame, m_sim->udpPort()); }
    QByteArray next(const char *codeHex)
    {
        const auto d = m_phone.next(QByteArray::fromHex(codeHex));
        return d ? d->data() : QByteArray("<none>");
    }
    static QByteArray query(const char *hex) { return QByteArray::fromHex(hex) + QByteArray::fromHex("7f000001"); }
    QVariantList schemesOf(const char *window) const
    {
        return m_family->state().value("windows").toMap().value(window).toList();
    }

    PhoneSocket m_phone;
    std::unique_ptr<SimServer> m_sim;
    TimedPlayFamily *m_family = nullptr;
};

TEST_F(TimedPlaySimTest, ListsSchemesInIdOrderEachButTheLastMarked)
{
    TimedPlayFamily::Scheme b;
    b.id = 0x02;
    b.name = "午间";
    b.clockType = 0x01;
    b.clockX = 10;
    b.wordColor = 0x0c;
    b.words = "你好";
    b.schedule = "2016/03/01~2016/03/31#08:00:00~18:00:00;";
    TimedPlayFamily::Scheme a;
    a.id = 0x01;
    a.name = "早间";
    m_family->addScheme(b);
    m_family->addScheme(a);

    send(query("414e4401530101"));
    SchemeFields first = namedScheme("01", "早间");
    first.schedule.clear();
    SchemeFields second = namedScheme("02", "午间");
    second.clockType = "01";
    second.clock[0] = "000a";
    second.wordColor = "0c";
    second.words = "你好";
    EXPECT_EQ(next("414e44025602").toHex(), schemeReplyHex(first, true).toLatin1());
    EXPECT_EQ(next("414e44025602").toHex(), schemeReplyHex(second, false).toLatin1());

    // A window without schemes gets no reply at all.
    send(query("414e4401530102"));
    EXPECT_TRUE(waitForLine(*m_sim, "schemes of window 02: 0"));
    spinFor(50);
    EXPECT_EQ(m_phone.untaken(), 0);
}

TEST_F(TimedPlaySimTest, DetailSendsOneReplyPerFileOfTheScheme)
{
    TimedPlayFamily::Scheme s;
    s.window = 0x03;
    s.id = 0x07;
    s.files = {"/media/a.mp4", "/media/视频.mp4"};
    m_family->addScheme(s);

    send(query("414e44015303" "03" "07"));
    EXPECT_EQ(next("414e44025603").toHex(), fileReplyHex("/media/a.mp4", true, "03", "07").toLatin1());
    EXPECT_EQ(next("414e44025603").toHex(), fileReplyHex("/media/视频.mp4", false, "03", "07").toLatin1());

    send(query("414e44015303" "03" "08"));
    EXPECT_TRUE(waitForLine(*m_sim, "files of window 03 scheme 08: no such scheme"));
    EXPECT_EQ(m_phone.untaken(), 0);
}

TEST_F(TimedPlaySimTest, ParameterFrameAndItsFilesStoreOrReplaceTheScheme)
{
    send(kParamFrame);
    send(fileFrame("/m/a.mp4", false));
    ASSERT_TRUE(waitUntil([&] { return m_sim->logLines().filter("scheme 02 file 1").size() == 1; }));
    EXPECT_TRUE(schemesOf("01").isEmpty()) << "stored only once the last file is in";
    EXPECT_EQ(m_family->pendingCount(), 1);
    send(fileFrame("/m/b.mp4", true));
    ASSERT_TRUE(waitForLine(*m_sim, "state timedplay window 01 scheme 02 \"ab\" stored with 2 file(s); "
                                    "window 01 has 1 scheme(s)"));
    const QVariantMap stored = schemesOf("01").value(0).toMap();
    EXPECT_EQ(stored.value("name").toString(), QStringLiteral("ab"));
    EXPECT_EQ(stored.value("clockType").toInt(), 1);
    EXPECT_EQ(stored.value("clock").toList(), (QVariantList{10, 20, 100, 50}));
    EXPECT_EQ(stored.value("wordColor").toInt(), 0x0c);
    EXPECT_EQ(stored.value("wordFangxiang").toInt(), 4);
    EXPECT_EQ(stored.value("wordSize").toInt(), 16);
    EXPECT_EQ(stored.value("wordPosition").toList(), (QVariantList{1, 2, 0}));
    EXPECT_EQ(stored.value("words").toString(), QStringLiteral("hi"));
    EXPECT_EQ(stored.value("schedule").toString(), QStringLiteral("x;"));
    EXPECT_EQ(stored.value("files").toStringList(), QStringList({"/m/a.mp4", "/m/b.mp4"}));
    EXPECT_EQ(m_family->pendingCount(), 0);

    // The same id again replaces it, with only the new files.
    send(kParamFrame);
    send(fileFrame("/m/c.mp4", true));
    ASSERT_TRUE(waitForLine(*m_sim, "state timedplay window 01 scheme 02 \"ab\" replaced with 1 file(s); "
                                    "window 01 has 1 scheme(s)"));
    EXPECT_EQ(schemesOf("01").value(0).toMap().value("files").toStringList(), QStringList({"/m/c.mp4"}));
}

TEST_F(TimedPlaySimTest, BadFramesAreLoggedAndChangeNothing)
{
    struct Case
    {
        const char *name;
        QList<QByteArray> frames;
        QString line;
    };
    QByteArray wrongClosing = fileFrame("/m/a", true);
    wrongClosing.back() = char(0x63);
    const QList<Case> cases{
        {"list query without the phone address", {QByteArray::fromHex("414e44015301" "01" "7f00")},
         "malformed 5301: phone address cut short at byte 7: needs 4, has 2"},
        {"detail query cut after the window", {QByteArray::fromHex("414e44015303" "01")},
         "malformed 5303: scheme id cut short at byte 7: needs 1, has 0"},
        {"file frame with no parameter frame before it", {fileFrame("/m/a", true)},
         "scheme file frame from 127.0.0.1:%1 without a parameter frame: dropped"},
        {"parameter frame cut inside its schedule", {kParamFrame.left(kParamFrame.size() - 1)},
         "malformed 5602: neither a scheme parameter frame nor a file frame"},
        {"a wrong closing byte is noted, the scheme still stored", {kParamFrame, wrongClosing},
         "window 01 scheme 02: closing byte 63, expected 0c"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        for (const QByteArray &f : c.frames)
            send(f);
        EXPECT_TRUE(waitForLine(*m_sim, c.line.contains("%1") ? c.line.arg(m_phone.port()) : c.line));
    }
    EXPECT_EQ(schemesOf("01").size(), 1);
    EXPECT_EQ(m_phone.untaken(), 0);
}

TEST_F(TimedPlaySimTest, SchemesCanBePreloadedFromTheConfig)
{
    SimConfig c = loopbackSimConfig(m_phone.port());
    c.families = {QStringLiteral("timedplay")};
    c.schemes = {{0x01, 0x01, QStringLiteral("早间"), {"/m/a.mp4", "/m/b.mp4"}}, {0x02, 0x0a, QStringLiteral("晚间"), {}}};
    SimServer sim(c);
    ASSERT_TRUE(sim.start());
    const QVariantMap windows = sim.family<TimedPlayFamily>()->state().value("windows").toMap();
    const QVariantMap first = windows.value("01").toList().value(0).toMap();
    EXPECT_EQ(first.value("name").toString(), QStringLiteral("早间"));
    EXPECT_EQ(first.value("files").toStringList(), QStringList({"/m/a.mp4", "/m/b.mp4"}));
    EXPECT_EQ(first.value("schedule").toString(), QStringLiteral("2016/01/01~2016/12/31#08:00:00~18:00:00;"));
    EXPECT_EQ(windows.value("02").toList().value(0).toMap().value("id").toString(), QStringLiteral("0a"));
}

} // namespace
