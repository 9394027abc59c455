// A file larger than SQLite's largest value and than 32-bit counts, sent
// through the sending screen to a receiver that discards what it reads and
// notes the bytes at chosen offsets. The file is sparse: it takes no room.
#include "protocol/transfercommands.h"
#include "screens/transfer/playfilesviewcontroller.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "transferfixture.h"
#include "ui/alertcenter.h"
#include "ui/ktbasenavigationcontroller.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QUrl>

namespace {

constexpr qint64 kSize = qint64(5) << 30;

// Resident memory of this process now, in bytes.
qint64 residentBytes()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.value(1).toLongLong() * ::sysconf(_SC_PAGESIZE);
}

// Runs the event loop until pred holds or timeoutMs passes, waking for
// every socket event rather than polling, so that the stream goes as fast
// as it does in the app.
bool runUntil(const std::function<bool()> &pred, int timeoutMs)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (pred())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    check.start(5);
    if (!pred())
        loop.exec();
    return pred();
}

class LargeFileTest : public ContextTest
{
protected:
    void configure(ContextConfig &c) override
    {
        m_receiver = std::make_unique<ThreadedReceiver>();
        c.serverFilePort = m_receiver->port();
    }
    void SetUp() override
    {
        ContextTest::SetUp();
        ASSERT_TRUE(m_files.isValid());
        selectServer(QStringLiteral("127.0.0.1"), QStringLiteral("01"));
        CommonManager::sharedManager().currentSelectDev.userId = QStringLiteral("00000001");
        m_screen = openSendingScreen(m_nav);
    }
    void TearDown() override
    {
        m_nav.reset();
        ContextTest::TearDown();
        m_receiver.reset();
    }

    QTemporaryDir m_files;
    std::unique_ptr<ThreadedReceiver> m_receiver;
    std::unique_ptr<KTBaseNavigationController> m_nav;
    PlayFilesViewController *m_screen = nullptr;
};

TEST_F(LargeFileTest, AFiveGibibyteFileGoesWholeAndKeepsItsHistoryRow)
{
    // Marks around the 31- and 32-bit limits, and at both ends.
    const std::map<qint64, char> marks{{0, 'A'},          {0x7fffffff, 'B'}, {0x80000000, 'C'},
                                       {0xffffffff, 'D'}, {0x100000000, 'E'}, {kSize - 1, 'Z'}};
    const QString path = m_files.filePath(QStringLiteral("film.mov"));
    ASSERT_TRUE(makeSparseFile(path, kSize, marks));

    qint64 peakResident = 0;
    double lastProgress = 0;
    bool progressWentBack = false;
    QObject::connect(m_screen, &PlayFilesViewController::progressChanged, m_screen, [&] {
        peakResident = std::max(peakResident, residentBytes());
        if (m_screen->currentProgress() > 0) {
            progressWentBack = progressWentBack || m_screen->currentProgress() < lastProgress;
            lastProgress = m_screen->currentProgress();
        }
    });
    const qint64 residentBefore = residentBytes();

    m_screen->didFinishPickingFile(path);
    ASSERT_TRUE(m_screen->isSending());
    const QString name = m_screen->currentFileName();
    const QByteArray header =
        QByteArray::fromHex(TransferCommands::filesInfo(kSize, QStringLiteral("03"), name, QStringLiteral("01"))->frame.toLatin1());
    ASSERT_FALSE(header.isEmpty());
    std::vector<qint64> watch;
    for (qint64 i = 0; i < header.size(); ++i)
        watch.push_back(i);
    for (const auto &[offset, byte] : marks)
        watch.push_back(header.size() + offset);
    m_receiver->setWatchOffsets(watch);

    clock().advance(PlayFilesViewController::kContentDelayMs);
    ASSERT_TRUE(runUntil([&] { return !m_screen->isSending(); }, 180000)) << m_receiver->received(0);
    ASSERT_TRUE(runUntil([&] { return m_receiver->received(0) == header.size() + kSize; }, 20000));

    // What went out: the announcement with the 64-bit length, then every
    // byte where the file has it.
    EXPECT_EQ(m_receiver->connections(), 1);
    QByteArray seenHeader;
    for (qint64 i = 0; i < header.size(); ++i)
        seenHeader.append(m_receiver->byteAt(0, i).value_or('?'));
    EXPECT_EQ(seenHeader.toHex(), header.toHex());
    for (const auto &[offset, byte] : marks)
        EXPECT_EQ(m_receiver->byteAt(0, header.size() + offset), std::optional<char>(byte)) << offset;

    // The row refers to the file; its size is more than any blob could hold.
    const QList<PlayFilesInfo> rows = FMManager::sharedManagerInstance().selectAllFilesTransInfoWithDeviceID({}, {});
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].filesName, name);
    EXPECT_EQ(rows[0].filesSize, QStringLiteral("0000000140000000"));
    EXPECT_EQ(rows[0].filesIsFinish, QStringLiteral("1"));
    EXPECT_TRUE(rows[0].deviceInfo1.isNull());
    EXPECT_EQ(rows[0].deviceInfo2, QUrl::fromLocalFile(path).toString());

    // Progress climbed to the end, counted past 32 bits; the row shows it full.
    EXPECT_FALSE(progressWentBack);
    EXPECT_GT(lastProgress, 0.9);
    EXPECT_LE(m_screen->fileCurrentSize(), kSize);
    EXPECT_GT(m_screen->fileCurrentSize(), kSize - (qint64(64) << 20));
    const QVariantMap row = m_screen->rows().value(0).toMap();
    EXPECT_TRUE(row.value(QStringLiteral("succeeded")).toBool());
    EXPECT_DOUBLE_EQ(row.value(QStringLiteral("progress")).toDouble(), 1.0);
    EXPECT_EQ(row.value(QStringLiteral("sizeText")).toString(), QStringLiteral("5242880KB/5242880KB"));

    // Memory did not follow the file: far below even a tenth of it.
    EXPECT_LT(peakResident - residentBefore, qint64(256) << 20);

    // And the file joins the play list as any other.
    clock().advance(PlayFilesViewController::kAddToListDelayMs);
    ASSERT_FALSE(m_recorder.hexes().filter(QStringLiteral("414e44015101")).isEmpty());
    EXPECT_TRUE(AlertCenter::shared().hasPending());
}

} // namespace
