#include "net/sendsocket.h"
#include "session/commonmanager.h"
#include "transferfixture.h"

#include <QTcpSocket>

namespace {

// --- The report rules, driven with exact pass sizes -------------------------

class SendSocketReportTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        m_notices = std::make_unique<StreamNotices>(ctx());
    }
    std::unique_ptr<StreamNotices> m_notices;
};

TEST_F(SendSocketReportTest, EveryPartialPassIsReportedExceptOneOfExactly131072Bytes)
{
    struct Case
    {
        qint64 pass;
        long tag;
        bool reported;
    };
    const Case cases[] = {
        {131071, SendSocket::kFilesDataTag, true},
        {131072, SendSocket::kFilesDataTag, false},
        {131073, SendSocket::kFilesDataTag, true},
        {131072, SendSocket::kFilesInfoTag, false},
        {1, SendSocket::kFilesInfoTag, true}, // the tag is not looked at
        {65536, SendSocket::kFilesDataTag, true},
    };
    SendSocket &s = SendSocket::shareMananger();
    for (const Case &c : cases) {
        m_notices->lengths.clear();
        ctx().log().clear();
        s.socketDidWritePartialDataOfLength(c.pass, c.tag);
        SCOPED_TRACE(c.pass);
        // The pass is logged whether or not it is reported.
        EXPECT_TRUE(ctx().log().contains(QStringLiteral("partialLength = %1").arg(c.pass)));
        ASSERT_EQ(m_notices->lengths.size(), c.reported ? 1 : 0);
        if (c.reported)
            EXPECT_EQ(m_notices->partialLengths().constFirst(), c.pass);
    }
    EXPECT_EQ(m_notices->done, 0);
}

TEST_F(SendSocketReportTest, OnlyACompleteBlockThatIsNotTheAnnouncementIsDone)
{
    SendSocket &s = SendSocket::shareMananger();
    s.socketDidWriteDataWithTag(SendSocket::kFilesInfoTag);
    EXPECT_EQ(m_notices->done, 0);
    s.socketDidWriteDataWithTag(SendSocket::kFilesDataTag);
    EXPECT_EQ(m_notices->done, 1);
    s.socketDidWriteDataWithTag(7);
    EXPECT_EQ(m_notices->done, 2);
    EXPECT_TRUE(m_notices->lengths.isEmpty());
}

// No server address: the connect cannot start, the blocks wait forever, and
// the content's length in KiB is still what the progress notices carry.
TEST_F(SendSocketReportTest, ContentLengthIsCountedInWholeKiBAndNothingGoesWithoutAnAddress)
{
    CommonManager::sharedManager().currentSelectDev.deviceIp.clear();
    const std::pair<qsizetype, qint32> cases[] = {{0, 0}, {1023, 0}, {1024, 1}, {2047, 1}, {5000, 4}, {1048576, 1024}};
    SendSocket &s = SendSocket::shareMananger();
    for (const auto &[bytes, kib] : cases) {
        s.sendData(QByteArray(bytes, 'x'), 0);
        EXPECT_EQ(s.alldataLength(), kib) << bytes;
    }
    EXPECT_TRUE(ctx().log().contains(QStringLiteral("connectOK:0")));
    EXPECT_TRUE(ctx().log().containsPrefix(QStringLiteral("connect error: ")));
    // The socket exists and holds every block; none is ever written.
    EXPECT_NE(s.sendSocket(), nullptr);
    EXPECT_EQ(s.queuedBlockCount(), int(std::size(cases)));
    spinFor(50);
    EXPECT_EQ(m_notices->done, 0);

    s.socketDidWritePartialDataOfLength(10, SendSocket::kFilesDataTag);
    ASSERT_EQ(m_notices->lengths.size(), 1);
    EXPECT_EQ(m_notices->lengths.constFirst().value(QStringLiteral("alldataLength")).toInt(), 1024);
}

// --- On loopback --------------------------------------------------------------

class SendSocketLoopbackTest : public ContextTest
{
protected:
    void configure(ContextConfig &c) override
    {
        m_receiver = std::make_unique<StreamReceiver>();
        c.serverFilePort = m_receiver->port();
    }
    void SetUp() override
    {
        ContextTest::SetUp();
        selectServer(QStringLiteral("127.0.0.1"));
        m_notices = std::make_unique<StreamNotices>(ctx());
    }
    // An announcement for content of the given length.
    static QString announcement(qint64 length, const char *nameHex = "616263")
    {
        return QStringLiteral("414e44015104" "01" "03" "0003") + QLatin1String(nameHex)
               + QStringLiteral("%1").arg(length, 16, 16, QLatin1Char('0'));
    }

    std::unique_ptr<StreamReceiver> m_receiver;
    std::unique_ptr<StreamNotices> m_notices;
};

TEST_F(SendSocketLoopbackTest, WritesTheBlocksInOrderAndIsDoneOnceWithTheContent)
{
    const QByteArray content = patternBytes(6 * 1024 * 1024 + 123);
    SendSocket &s = SendSocket::shareMananger();
    s.sendString(announcement(content.size()), SendSocket::kFilesInfoTag);
    s.sendData(content, 0);
    const QByteArray expected = QByteArray::fromHex(announcement(content.size()).toLatin1()) + content;

    ASSERT_TRUE(waitUntil([&] { return m_notices->done > 0 && m_receiver->total() >= expected.size(); }, 20000));
    spinFor(50);
    EXPECT_EQ(m_notices->done, 1);
    ASSERT_EQ(m_receiver->connections(), 1);
    EXPECT_TRUE(m_receiver->received(0) == expected);
    EXPECT_TRUE(ctx().log().contains(QStringLiteral("connectOK:1")));

    // The passes reported add up to less than the content: the last pass
    // completes the block and is not a partial one.
    qint64 reported = 0;
    for (const QVariantMap &m : std::as_const(m_notices->lengths)) {
        EXPECT_NE(m.value(QStringLiteral("partialLength")).toLongLong(), SendSocket::kUnreportedPassLength);
        EXPECT_EQ(m.value(QStringLiteral("alldataLength")).toInt(), content.size() / 1024);
        reported += m.value(QStringLiteral("partialLength")).toLongLong();
    }
    EXPECT_LT(reported, content.size());
    EXPECT_EQ(s.queuedBlockCount(), 0);
    // The connection stays until the next transfer disconnects it.
    ASSERT_NE(s.sendSocket(), nullptr);
    EXPECT_EQ(s.sendSocket()->state(), QAbstractSocket::ConnectedState);
}

TEST_F(SendSocketLoopbackTest, EachTransferAfterADisconnectHasAConnectionOfItsOwn)
{
    SendSocket &s = SendSocket::shareMananger();
    QByteArray expected[2];
    for (int i = 0; i < 2; ++i) {
        const QByteArray content = patternBytes(300000 + i, quint32(i + 7));
        s.disconnectTosocket();
        s.sendString(announcement(content.size()), SendSocket::kFilesInfoTag);
        s.sendData(content, 0);
        expected[i] = QByteArray::fromHex(announcement(content.size()).toLatin1()) + content;
        ASSERT_TRUE(waitUntil([&] { return m_notices->done == i + 1 && m_receiver->received(i).size() == expected[i].size(); }, 10000));
    }
    EXPECT_EQ(m_receiver->connections(), 2);
    EXPECT_TRUE(m_receiver->received(0) == expected[0]);
    EXPECT_TRUE(m_receiver->received(1) == expected[1]);
}

TEST_F(SendSocketLoopbackTest, DisconnectDropsWhatIsStillQueued)
{
    SendSocket &s = SendSocket::shareMananger();
    s.sendString(announcement(1 << 20), SendSocket::kFilesInfoTag);
    s.sendData(patternBytes(1 << 20), 0);
    // Still connecting: nothing has been written.
    s.disconnectTosocket();
    EXPECT_EQ(s.sendSocket(), nullptr);
    EXPECT_EQ(s.queuedBlockCount(), 0);

    // The next write connects again and carries only itself.
    s.sendString(QStringLiteral("414e4401"), SendSocket::kFilesInfoTag);
    ASSERT_NE(s.sendSocket(), nullptr);
    ASSERT_TRUE(waitUntil([&] { return m_receiver->total() >= 4; }));
    spinFor(50);
    EXPECT_EQ(m_receiver->total(), 4);
    EXPECT_EQ(m_notices->done, 0);
    EXPECT_TRUE(m_notices->lengths.isEmpty());
}

class SendSocketRefusedTest : public SendSocketLoopbackTest
{
protected:
    // Nobody listens there.
    void configure(ContextConfig &c) override { c.serverFilePort = freeTcpPort(); }
};

TEST_F(SendSocketRefusedTest, ARefusedConnectionIsSilentAndTheSocketStaysUntilDisconnected)
{
    SendSocket &s = SendSocket::shareMananger();
    s.sendString(announcement(10), SendSocket::kFilesInfoTag);
    s.sendData(QByteArray(10, 'a'), 0);
    QTcpSocket *socket = s.sendSocket();
    ASSERT_NE(socket, nullptr);
    ASSERT_TRUE(waitUntil([&] { return socket->state() == QAbstractSocket::UnconnectedState; }));
    spinFor(50);
    EXPECT_TRUE(ctx().log().contains(QStringLiteral("connectOK:1")));
    EXPECT_EQ(s.sendSocket(), socket);
    EXPECT_EQ(s.queuedBlockCount(), 2);
    EXPECT_EQ(m_notices->done, 0);
    EXPECT_TRUE(m_notices->lengths.isEmpty());
    s.disconnectTosocket();
    EXPECT_EQ(s.sendSocket(), nullptr);
}

} // namespace
