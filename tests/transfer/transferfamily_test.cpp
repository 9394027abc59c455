// The simulator's file receiver on its own, fed from the phone's side byte
// by byte: a raw TCP socket for the stream and a UDP socket for the commands.
#include "playlistfamily.h"
#include "sim/simfixture.h"
#include "transferfamily.h"
#include "transferfixture.h"

#include <QDir>
#include <QTcpSocket>

namespace {

QByteArray be(quint64 value, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xff));
    return out;
}

QByteArray announcement(quint8 window, quint8 type, const QByteArray &name, quint64 length)
{
    return QByteArray::fromHex("414e44015104") + char(window) + char(type) + be(quint64(name.size()), 2) + name
           + be(length, 8);
}

// 5101 / 5102: window, name.
QByteArray nameCommand(quint8 sub, quint8 window, const QByteArray &name)
{
    return QByteArray::fromHex("414e440151") + char(sub) + char(window) + be(quint64(name.size()), 2) + name;
}

class TransferFamilyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_media.isValid());
        SimConfig c = loopbackSimConfig(m_phone.port());
        c.families = QStringList{QStringLiteral("transfer"), QStringLiteral("playlist")};
        m_sim = std::make_unique<SimServer>(c);
        ASSERT_TRUE(m_sim->start()) << m_sim->errorString().toStdString();
        transfer().setMediaDir(mediaDir());
    }
    TransferFamily &transfer() { return *m_sim->family<TransferFamily>(); }
    PlayListFamily &playlist() { return *m_sim->family<PlayListFamily>(); }
    QString mediaDir() const { return m_media.filePath(QStringLiteral("media")); }
    QStringList mediaFiles() const
    {
        return QDir(mediaDir()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    QByteArray stored(const QString &name) const
    {
        QFile f(QDir(mediaDir()).filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    std::unique_ptr<QTcpSocket> connectStream(bool waitConnected = true)
    {
        auto s = std::make_unique<QTcpSocket>();
        s->connectToHost(simAddress(), m_sim->tcpPort());
        if (waitConnected)
            EXPECT_TRUE(waitUntil([&] { return s->state() == QAbstractSocket::ConnectedState; }));
        return s;
    }
    void write(QTcpSocket &s, const QByteArray &bytes)
    {
        s.write(bytes);
        EXPECT_TRUE(waitUntil([&] { return s.bytesToWrite() == 0; }));
    }
    bool waitForPrefix(const QString &prefix)
    {
        return waitUntil([&] {
            for (const QString &l : m_sim->logLines())
                if (l.startsWith(prefix))
                    return true;
            return false;
        });
    }
    void command(const QByteArray &frame) { m_phone.send(frame, m_sim->udpPort()); }

    QTemporaryDir m_media;
    PhoneSocket m_phone;
    std::unique_ptr<SimServer> m_sim;
};

TEST_F(TransferFamilyTest, AFileAppearsUnderItsNameOnlyOnceItsLastByteIsIn)
{
    auto s = connectStream();
    const QByteArray first = patternBytes(300000, 3), second = patternBytes(10, 4);
    const QByteArray head = announcement(0x01, 0x03, "clip.mov", quint64(first.size()));
    // The announcement a byte at a time.
    for (char b : head)
        write(*s, QByteArray(1, b));
    write(*s, first.left(1000));
    ASSERT_TRUE(waitForPrefix(QStringLiteral("state transfer receiving clip.mov (300000 bytes, type 03) for window 01")));
    EXPECT_FALSE(mediaFiles().contains(QStringLiteral("clip.mov")));
    EXPECT_EQ(transfer().receivingFiles(), QStringList{QStringLiteral("clip.mov")});

    // The rest, and a second file on the same connection.
    write(*s, first.mid(1000) + announcement(0x02, 0x01, "中文.jpg", quint64(second.size())) + second);
    ASSERT_TRUE(waitForPrefix(QStringLiteral("state transfer received 中文.jpg (10 bytes) for window 02")));
    EXPECT_TRUE(hasLine(*m_sim, QStringLiteral("state transfer received clip.mov (300000 bytes) for window 01")));
    EXPECT_EQ(mediaFiles(), (QStringList{QStringLiteral("clip.mov"), QStringLiteral("中文.jpg")}));
    EXPECT_TRUE(stored(QStringLiteral("clip.mov")) == first);
    EXPECT_EQ(stored(QStringLiteral("中文.jpg")), second);
    EXPECT_EQ(transfer().receivedFiles(), (QStringList{QStringLiteral("clip.mov"), QStringLiteral("中文.jpg")}));
}

TEST(TransferFamilyNames, OnlyNamesThatStayInsideTheFolderAreSafe)
{
    const std::pair<QString, bool> cases[] = {
        {QStringLiteral("2024010112345.jpg"), true},
        {QStringLiteral("中文 名.mov"), true},
        {QString(200, QLatin1Char('a')), true},
        {QString(201, QLatin1Char('a')), false},
        {QString(67, QChar(0x4e2d)), false}, // 201 bytes
        {QStringLiteral("../evil.jpg"), false},
        {QStringLiteral("a/b.jpg"), false},
        {QStringLiteral("a\\b.jpg"), false},
        {QStringLiteral(".."), false},
        {QStringLiteral("a..b"), false},
        {QStringLiteral(".hidden"), false},
        {QString(), false},
        {QStringLiteral("tab\tname"), false},
        {QStringLiteral("nul") + QChar(0) + QStringLiteral("x"), false},
    };
    for (const auto &[name, safe] : cases)
        EXPECT_EQ(TransferFamily::isSafeName(name), safe) << name.toStdString();
}

TEST_F(TransferFamilyTest, AnUnsafeOrMalformedAnnouncementIsRefusedWithItsConnection)
{
    const QByteArray cases[] = {
        announcement(1, 1, "../evil.jpg", 4) + "evil",
        announcement(1, 1, "sub/x.jpg", 4) + "evil",
        announcement(1, 1, QByteArray("\xff\xfe.jpg"), 4) + "evil",
        announcement(1, 1, QByteArray(201, 'a'), 4) + "evil",
        announcement(1, 1, QByteArray(0x1000, 'a'), 4) + "evil", // refused on its count alone
        announcement(1, 1, "big.mov", TransferFamily::kMaxContentLength + 1),
        QByteArray::fromHex("414e44015101") + QByteArray(20, 'x'),
    };
    int refused = 0;
    for (const QByteArray &c : cases) {
        SCOPED_TRACE(c.left(24).toHex().toStdString());
        auto s = connectStream();
        s->write(c);
        EXPECT_TRUE(waitUntil([&] { return s->state() == QAbstractSocket::UnconnectedState; }));
        if (c.mid(3, 3) == QByteArray::fromHex("015104"))
            EXPECT_EQ(transfer().refusedCount(), ++refused);
    }
    EXPECT_TRUE(waitForPrefix(QStringLiteral("state transfer refused file name of 4096 bytes from ")));
    EXPECT_TRUE(waitForPrefix(QStringLiteral("malformed file stream from ")));
    EXPECT_TRUE(mediaFiles().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(m_media.filePath(QStringLiteral("evil.jpg"))));
}

TEST_F(TransferFamilyTest, AConnectionThatEndsEarlyLeavesNothing)
{
    auto s = connectStream();
    write(*s, announcement(1, 3, "cut.mov", 1000) + patternBytes(500));
    ASSERT_TRUE(waitForPrefix(QStringLiteral("state transfer receiving cut.mov")));
    s->disconnectFromHost();
    ASSERT_TRUE(waitForPrefix(QStringLiteral("state transfer discarded cut.mov after 500 of 1000 bytes")));
    EXPECT_TRUE(mediaFiles().isEmpty());
    EXPECT_EQ(transfer().discardedCount(), 1);
    EXPECT_TRUE(transfer().receivingFiles().isEmpty());
}

TEST_F(TransferFamilyTest, AddAndPlayOfAFileStillArrivingWaitForItsLastByte)
{
    auto s = connectStream();
    const QByteArray content = patternBytes(2000);
    write(*s, announcement(1, 1, "late.jpg", quint64(content.size())) + content.left(100));
    ASSERT_TRUE(waitForPrefix(QStringLiteral("state transfer receiving late.jpg")));
    command(nameCommand(0x01, 0x01, "late.jpg"));
    command(nameCommand(0x02, 0x01, "late.jpg"));
    ASSERT_TRUE(waitForLine(*m_sim, QStringLiteral("play late.jpg on window 01 once it is in")));
    EXPECT_TRUE(hasLine(*m_sim, QStringLiteral("add late.jpg to window 01 once it is in")));
    EXPECT_TRUE(playlist().files(0x01).isEmpty());

    write(*s, content.mid(100));
    ASSERT_TRUE(waitForLine(*m_sim, QStringLiteral("state transfer playing late.jpg on window 01")));
    EXPECT_EQ(playlist().files(0x01), QStringList{QStringLiteral("late.jpg")});
    EXPECT_EQ(playlist().playing(0x01), QStringLiteral("late.jpg"));
    // The play state goes to where the command came from.
    const auto reply = m_phone.next(QByteArray::fromHex("414e44025101"));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->data(), QByteArray::fromHex("414e44025101" "01" "0000"));

    // A file that never came is not added.
    command(nameCommand(0x01, 0x01, "never.jpg"));
    ASSERT_TRUE(waitForLine(*m_sim, QStringLiteral("add never.jpg to window 01: no such file")));
    EXPECT_EQ(playlist().files(0x01), QStringList{QStringLiteral("late.jpg")});
}

TEST_F(TransferFamilyTest, CloseDropsATransferStillArriving)
{
    auto s = connectStream();
    write(*s, announcement(1, 3, "gone.mov", 5000) + patternBytes(100));
    ASSERT_TRUE(waitForPrefix(QStringLiteral("state transfer receiving gone.mov")));
    command(nameCommand(0x01, 0x01, "gone.mov"));
    ASSERT_TRUE(waitForLine(*m_sim, QStringLiteral("add gone.mov to window 01 once it is in")));
    command(QByteArray::fromHex("414e44015103" "03" "0008") + "gone.mov");
    ASSERT_TRUE(waitForPrefix(QStringLiteral("state transfer discarded gone.mov after 100 of 5000 bytes: closed by the phone")));
    EXPECT_TRUE(waitUntil([&] { return s->state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_TRUE(mediaFiles().isEmpty());
    EXPECT_TRUE(playlist().files(0x01).isEmpty());
    // Nothing left to close.
    command(QByteArray::fromHex("414e44015103" "03" "0008") + "gone.mov");
    EXPECT_TRUE(waitForLine(*m_sim, QStringLiteral("close gone.mov: nothing coming in")));
}

TEST_F(TransferFamilyTest, FaultsRefuseDropOrStallAConnection)
{
    struct Case
    {
        const char *fault;
        bool connectionEnds;
        const char *line;
    };
    const Case cases[] = {
        {"refuse", true, "state transfer refused connection from "},
        {"drop:1000", true, "state transfer discarded f.mov after 1000 of 200000 bytes: dropped after 1000 bytes"},
        {"stall:1000", false, "state transfer stalled f.mov after 1000 of 200000 bytes"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fault);
        ASSERT_TRUE(transfer().setFault(QLatin1String(c.fault)));
        // A refused connection may be gone before it is seen connected.
        auto s = connectStream(c.connectionEnds == false || QLatin1String(c.fault) != QLatin1String("refuse"));
        s->write(announcement(1, 3, "f.mov", 200000) + patternBytes(200000));
        ASSERT_TRUE(waitForPrefix(QLatin1String(c.line)));
        if (c.connectionEnds)
            EXPECT_TRUE(waitUntil([&] { return s->state() == QAbstractSocket::UnconnectedState; }));
        else
            EXPECT_EQ(s->state(), QAbstractSocket::ConnectedState);
        EXPECT_FALSE(QFileInfo::exists(QDir(mediaDir()).filePath(QStringLiteral("f.mov"))));
    }
    EXPECT_EQ(transfer().state().value(QStringLiteral("fault")).toString(), QStringLiteral("stall:1000"));
    for (const char *bad : {"bogus", "drop:", "stall:-1", "drop:x"})
        EXPECT_FALSE(transfer().setFault(QLatin1String(bad))) << bad;
    EXPECT_TRUE(transfer().setFault(QStringLiteral("none")));
}

} // namespace
