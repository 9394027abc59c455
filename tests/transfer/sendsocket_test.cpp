#include "net/sendsocket.h"
#include "session/commonmanager.h"
#include "transferfixture.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTcpSocket>
#include <QTemporaryDir>

namespace {

// The debug lines of one category while it lives, with its debug level
// turned on whatever the rules say.
class DebugLines
{
public:
    explicit DebugLines(const char *category)
    {
        s_category = category;
        s_lines.clear();
        // The filter in place, known before ours runs for every category.
        s_filter = QLoggingCategory::installFilter(nullptr);
        QLoggingCategory::installFilter([](QLoggingCategory *c) {
            s_filter(c);
            if (qstrcmp(c->categoryName(), s_category) == 0)
                c->setEnabled(QtDebugMsg, true);
        });
        m_handler = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (type == QtDebugMsg && context.category && qstrcmp(context.category, s_category) == 0)
                s_lines << text;
        });
    }
    ~DebugLines()
    {
        qInstallMessageHandler(m_handler);
        QLoggingCategory::installFilter(s_filter);
    }
    QStringList lines() const { return s_lines; }

private:
    static inline const char *s_category = nullptr;
    static inline QStringList s_lines;
    static inline QLoggingCategory::CategoryFilter s_filter = nullptr;
    QtMessageHandler m_handler = nullptr;
};

const char *methodName(SendSocket::FileMethod m)
{
    switch (m) {
    case SendSocket::FileMethod::SendFile: return "sendfile";
    case SendSocket::FileMethod::MappedWrite: return "mapped";
    case SendSocket::FileMethod::ReadWrite: return "buffered";
    }
    return "?";
}

const SendSocket::FileMethod kMethods[] = {SendSocket::FileMethod::SendFile, SendSocket::FileMethod::MappedWrite,
                                           SendSocket::FileMethod::ReadWrite};

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
        DebugLines debug("qeva.net");
        s.socketDidWritePartialDataOfLength(c.pass, c.tag);
        SCOPED_TRACE(c.pass);
        // The pass is logged whether or not it is reported, at debug level
        // only: a large file makes thousands of passes.
        EXPECT_EQ(debug.lines(), QStringList{QStringLiteral("partialLength = %1").arg(c.pass)});
        EXPECT_FALSE(ctx().log().containsPrefix(QStringLiteral("partialLength")));
        ASSERT_EQ(m_notices->lengths.size(), c.reported ? 1 : 0);
        if (c.reported) {
            EXPECT_EQ(m_notices->partialLengths().constFirst(), c.pass);
        }
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

// --- Content with a file behind it ---------------------------------------------

class SendSocketFileTest : public SendSocketLoopbackTest
{
protected:
    void SetUp() override
    {
        SendSocketLoopbackTest::SetUp();
        ASSERT_TRUE(m_files.isValid());
    }
    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile f(m_files.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        EXPECT_EQ(f.write(bytes), bytes.size());
        f.close();
        // Written long ago: any write from now on shows in its time.
        EXPECT_TRUE(setModified(f.fileName(), QDateTime::currentDateTime().addSecs(-3600)));
        return f.fileName();
    }
    static bool setModified(const QString &path, const QDateTime &when)
    {
        QFile f(path);
        return f.open(QIODevice::ReadWrite) && f.setFileTime(when, QFileDevice::FileModificationTime);
    }
    FilesContent picked(const QString &path)
    {
        QString why;
        const std::optional<FilesContent> c = FilesContent::fromFile(path, &why);
        EXPECT_TRUE(c) << why.toStdString();
        return c.value_or(FilesContent());
    }
    QTemporaryDir m_files;
};

TEST_F(SendSocketFileTest, AFileGoesFromDiskByteForByteWhicheverWayItIsWritten)
{
    // Not a whole number of pages, passes or windows.
    const QByteArray bytes = patternBytes(21 * 1024 * 1024 + 4097, 3);
    const FilesContent content = picked(writeFile(QStringLiteral("clip.mov"), bytes));
    EXPECT_TRUE(content.isFile());
    EXPECT_TRUE(content.bytes().isEmpty());
    EXPECT_EQ(content.size(), bytes.size());
    const QByteArray expected = QByteArray::fromHex(announcement(bytes.size()).toLatin1()) + bytes;
    SendSocket &s = SendSocket::shareMananger();
    int connection = 0;
    for (SendSocket::FileMethod method : kMethods) {
        SCOPED_TRACE(methodName(method));
        m_notices->lengths.clear();
        m_notices->done = 0;
        s.setFileMethod(method);
        s.disconnectTosocket();
        s.sendString(announcement(content.size()), SendSocket::kFilesInfoTag);
        s.sendData(content, 0);
        EXPECT_EQ(s.alldataLength(), bytes.size() / 1024);
        ASSERT_TRUE(waitUntil([&] { return m_notices->done == 1 && m_receiver->received(connection).size() == expected.size(); },
                              30000));
        EXPECT_TRUE(m_receiver->received(connection) == expected);
        EXPECT_TRUE(m_notices->failures.isEmpty());
        // Several passes, none over the limit, the last one not reported.
        EXPECT_GT(m_notices->lengths.size(), 1);
        for (qint64 pass : m_notices->partialLengths())
            EXPECT_LE(pass, SendSocket::kMaxPassLength);
        EXPECT_LT(m_notices->reported(), bytes.size());
        ++connection;
    }
    EXPECT_EQ(m_receiver->connections(), int(std::size(kMethods)));
}

TEST_F(SendSocketFileTest, AFileChangedOrGoneSinceItWasPickedIsNeverWritten)
{
    struct Case
    {
        const char *change;
        std::function<void(const QString &path)> apply;
    };
    const Case cases[] = {
        {"removed", [](const QString &p) { QFile::remove(p); }},
        {"cut", [](const QString &p) { QFile::resize(p, 1000); }},
        {"grown", [](const QString &p) { QFile f(p); f.open(QIODevice::Append); f.write("more"); }},
        {"rewritten at the same size",
         [](const QString &p) { QFile f(p); f.open(QIODevice::ReadWrite); f.seek(10); f.write("changed"); }},
        {"replaced by another file",
         [](const QString &p) {
             QFile::remove(p);
             QFile f(p);
             f.open(QIODevice::WriteOnly);
             f.write(patternBytes(300000, 99));
             f.close();
             // Even its time says nothing: it is another file.
             setModified(p, QDateTime::currentDateTime().addSecs(-3600));
         }},
    };
    SendSocket &s = SendSocket::shareMananger();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.change);
        const QString path = writeFile(QStringLiteral("clip.mov"), patternBytes(300000, 7));
        const FilesContent content = picked(path);
        c.apply(path);
        m_notices->failures.clear();
        m_notices->done = 0;
        s.disconnectTosocket();
        const int before = m_receiver->connections();
        s.sendString(announcement(content.size()), SendSocket::kFilesInfoTag);
        s.sendData(content, 0);
        // Said at once; the stream is closed, whatever it had queued.
        ASSERT_EQ(m_notices->failures.size(), 1);
        EXPECT_TRUE(m_notices->failures.constFirst().contains(path)) << m_notices->failures.constFirst().toStdString();
        EXPECT_EQ(s.sendSocket(), nullptr);
        EXPECT_EQ(s.queuedBlockCount(), 0);
        spinFor(100);
        EXPECT_EQ(m_notices->done, 0);
        // At most a bare connection reached the server, never content.
        for (int i = before; i < m_receiver->connections(); ++i)
            EXPECT_TRUE(m_receiver->received(i).isEmpty());
        QFile::remove(path);
    }
}

// The receiver holds back, so the file is changed while the sender waits in
// the middle of it; the stream then ends short and is never reported as sent.
class SendSocketChangedWhileSentTest : public SendSocketFileTest
{
protected:
    void configure(ContextConfig &c) override
    {
        m_threaded = std::make_unique<ThreadedReceiver>(std::vector<qint64>{}, true);
        c.serverFilePort = m_threaded->port();
    }
    std::unique_ptr<ThreadedReceiver> m_threaded;
};

TEST_F(SendSocketChangedWhileSentTest, TheStreamEndsShortAndIsNeverDone)
{
    constexpr qint64 kSize = qint64(48) << 20;
    struct Case
    {
        SendSocket::FileMethod method;
        const char *change;
        std::function<void(const QString &path)> apply;
    };
    const auto cut = [](const QString &p) { QFile::resize(p, kSize / 2); };
    const Case cases[] = {
        {SendSocket::FileMethod::SendFile, "cut", cut},
        {SendSocket::FileMethod::MappedWrite, "cut", cut},
        {SendSocket::FileMethod::ReadWrite, "cut", cut},
        {SendSocket::FileMethod::SendFile, "grown", [](const QString &p) { QFile::resize(p, kSize + 1); }},
        {SendSocket::FileMethod::SendFile, "written to",
         [](const QString &p) { QFile f(p); f.open(QIODevice::ReadWrite); f.seek(kSize - 10); f.write("x"); }},
    };
    SendSocket &s = SendSocket::shareMananger();
    ThreadedReceiver &receiver = *m_threaded;
    int connection = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(methodName(c.method)) + ", " + c.change);
        ctx().log().clear();
        const QString path = m_files.filePath(QStringLiteral("big.mov"));
        ASSERT_TRUE(makeSparseFile(path, kSize, {{0, 'a'}, {kSize - 1, 'z'}}));
        ASSERT_TRUE(setModified(path, QDateTime::currentDateTime().addSecs(-3600)));
        const FilesContent content = picked(path);
        m_notices->failures.clear();
        m_notices->lengths.clear();
        m_notices->done = 0;
        s.setFileMethod(c.method);
        s.disconnectTosocket();
        receiver.setPaused(true);
        s.sendString(announcement(kSize), SendSocket::kFilesInfoTag);
        s.sendData(content, 0);
        // The content has begun, and cannot end while nobody reads.
        ASSERT_TRUE(waitUntil([&] { return !m_notices->lengths.isEmpty(); }, 20000));
        c.apply(path);
        receiver.setPaused(false);
        ASSERT_TRUE(waitUntil([&] { return !m_notices->failures.isEmpty(); }, 20000));
        EXPECT_EQ(m_notices->done, 0);
        EXPECT_EQ(s.sendSocket(), nullptr);
        EXPECT_TRUE(ctx().log().containsPrefix(QStringLiteral("file content not sent: ")));
        // The server sees the stream end before the announced length.
        ASSERT_TRUE(waitUntil([&] { return receiver.ended(connection); }, 20000));
        EXPECT_LT(receiver.received(connection), kSize);
        ++connection;
        EXPECT_EQ(receiver.connections(), connection);
    }
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
