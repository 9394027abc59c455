// The file sending screen against the simulator, both on loopback: real
// sockets, the manual clock for the screen's own steps.
#include "playlistfamily.h"
#include "screens/transfer/playfilesviewcontroller.h"
#include "session/commonmanager.h"
#include "sim/simfixture.h"
#include "store/fmmanager.h"
#include "transferfamily.h"
#include "transferfixture.h"
#include "ui/alertcenter.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/popupcenter.h"

#include <QCryptographicHash>
#include <QDir>

namespace {

QByteArray sha256(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

class TransferEndToEndTest : public ContextTest
{
protected:
    TransferEndToEndTest() { m_useRecorder = false; }
    void configure(ContextConfig &c) override
    {
        SimConfig s = loopbackSimConfig(c.localPort);
        s.families = QStringList{QStringLiteral("transfer"), QStringLiteral("playlist")};
        m_sim = std::make_unique<SimServer>(s);
        c.serverPort = s.udpPort;
        c.serverFilePort = s.tcpPort;
    }
    void SetUp() override
    {
        ContextTest::SetUp();
        ASSERT_TRUE(m_files.isValid());
        ASSERT_TRUE(m_sim->start()) << m_sim->errorString().toStdString();
        transfer().setMediaDir(m_files.filePath(QStringLiteral("media")));
        selectServer(simAddress().toString(), QStringLiteral("01"));
        CommonManager::sharedManager().currentSelectDev.userId = QStringLiteral("00000001");
        m_screen = openSendingScreen(m_nav);
    }
    void TearDown() override
    {
        m_nav.reset();
        ContextTest::TearDown();
        m_sim.reset();
    }

    TransferFamily &transfer() { return *m_sim->family<TransferFamily>(); }
    PlayListFamily &playlist() { return *m_sim->family<PlayListFamily>(); }
    QString mediaPath(const QString &name) { return QDir(transfer().mediaDir()).filePath(name); }
    QStringList mediaFiles()
    {
        return QDir(transfer().mediaDir()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    QByteArray stored(const QString &name)
    {
        QFile f(mediaPath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    std::optional<PlayFilesInfo> historyRow(const QString &name)
    {
        for (const PlayFilesInfo &r : FMManager::sharedManagerInstance().selectAllFilesTransInfoWithDeviceID({}, {}))
            if (r.filesName == name)
                return r;
        return std::nullopt;
    }
    // Until a line of the simulator's log starts with one of the prefixes.
    bool waitForPrefix(const QStringList &prefixes, int ms = 10000)
    {
        return waitUntil(
            [&] {
                for (const QString &l : m_sim->logLines())
                    for (const QString &prefix : prefixes)
                        if (l.startsWith(prefix))
                            return true;
                return false;
            },
            ms);
    }
    bool waitForPrefix(const QString &prefix, int ms = 10000) { return waitForPrefix(QStringList{prefix}, ms); }

    // Picks the file, lets the announced second pass: the content is queued.
    QString pick(const QString &path)
    {
        m_screen->didFinishPickingFile(path);
        EXPECT_TRUE(m_screen->isSending());
        clock().advance(PlayFilesViewController::kContentDelayMs);
        return m_screen->currentFileName();
    }
    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile f(m_files.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    QString writePicture()
    {
        const QString path = m_files.filePath(QStringLiteral("photo.png"));
        halvesPicture(640, 480).save(path);
        return path;
    }
    // A picked file sent to the end, added to the list and played. A movie
    // goes as the file is; a picture as encoded here, which its row keeps.
    void sendAndPlay(const QString &path, const QByteArray &movie = QByteArray())
    {
        const QString name = pick(path);
        ASSERT_TRUE(waitUntil([&] { return !m_screen->isSending(); }, 60000)) << name.toStdString();
        ASSERT_TRUE(waitUntil([&] { return transfer().receivedFiles().contains(name); }, 30000));
        const QByteArray sent = movie.isNull() ? historyRow(name)->deviceInfo1 : movie;
        ASSERT_FALSE(sent.isEmpty());
        EXPECT_EQ(sha256(stored(name)), sha256(sent));
        EXPECT_EQ(historyRow(name)->filesIsFinish, QStringLiteral("1"));

        clock().advance(PlayFilesViewController::kAddToListDelayMs);
        ASSERT_TRUE(waitForLine(*m_sim, QStringLiteral("state transfer added %1 to window 01").arg(name)));
        ASSERT_TRUE(AlertCenter::shared().hasPending());
        EXPECT_EQ(AlertCenter::shared().message(), QStringLiteral("是否立即播放"));
        ASSERT_TRUE(AlertCenter::shared().answer(0));
        ASSERT_TRUE(waitForLine(*m_sim, QStringLiteral("state transfer playing %1 on window 01").arg(name)));
        EXPECT_EQ(playlist().playing(0x01), name);
    }

    QTemporaryDir m_files;
    std::unique_ptr<SimServer> m_sim;
    std::unique_ptr<KTBaseNavigationController> m_nav;
    PlayFilesViewController *m_screen = nullptr;
};

TEST_F(TransferEndToEndTest, APictureAndAFiftyMegabyteVideoArriveIntactAndPlay)
{
    sendAndPlay(writePicture());
    const QString picture = m_screen->rows().value(0).toMap().value(QStringLiteral("filesName")).toString();
    QImage onServer;
    ASSERT_TRUE(onServer.load(mediaPath(picture), "JPG"));
    EXPECT_EQ(onServer.size(), QSize(640, 480));

    const QByteArray video = patternBytes(50 * 1024 * 1024, 5);
    sendAndPlay(writeFile(QStringLiteral("holiday.mov"), video), video);
    const QString movie = m_screen->currentFileName();
    EXPECT_TRUE(movie.endsWith(QStringLiteral(".mov")));
    EXPECT_EQ(sha256(stored(movie)), sha256(video));

    EXPECT_EQ(playlist().files(0x01), (QStringList{picture, movie}));
    // The history: both finished, the newest on top.
    const QVariantList rows = m_screen->rows();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].toMap().value(QStringLiteral("filesName")).toString(), movie);
    EXPECT_EQ(rows[1].toMap().value(QStringLiteral("filesName")).toString(), picture);
    for (const QVariant &r : rows) {
        EXPECT_TRUE(r.toMap().value(QStringLiteral("succeeded")).toBool());
        EXPECT_DOUBLE_EQ(r.toMap().value(QStringLiteral("progress")).toDouble(), 1.0);
    }
    EXPECT_EQ(rows[0].toMap().value(QStringLiteral("sizeText")).toString(), QStringLiteral("51200KB/51200KB"));
    EXPECT_EQ(mediaFiles().size(), 2); // nothing half-written left beside them
}

TEST_F(TransferEndToEndTest, AFailedConnectionShowsNoSuccessCanBeClosedAndTheNextTransferWorks)
{
    struct Case
    {
        const char *fault;
        const char *serverLine; // what the simulator did
    };
    const Case cases[] = {
        {"refuse", "state transfer refused connection from "},
        {"drop:1048576", "state transfer discarded %1 after 1048576 of 16777216 bytes: dropped"},
        {"stall:1048576", "state transfer stalled %1 after 1048576 of 16777216 bytes"},
    };
    // More than the kernel buffers on both sides together, so that a
    // stalled receiver holds the sender up.
    const QByteArray video = patternBytes(16 * 1024 * 1024, 9);
    const QString videoPath = writeFile(QStringLiteral("big.mov"), video);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fault);
        ASSERT_TRUE(transfer().setFault(QLatin1String(c.fault)));
        const QString name = pick(videoPath);
        const QString line = QLatin1String(c.serverLine);
        ASSERT_TRUE(waitForPrefix(line.contains(QLatin1String("%1")) ? line.arg(name) : line));
        spinFor(200);
        // No end: still running, nothing added, no question, no success.
        EXPECT_TRUE(m_screen->isRunning());
        EXPECT_TRUE(CommonManager::sharedManager().isFinishSendFiles);
        clock().advance(5000);
        EXPECT_FALSE(AlertCenter::shared().hasPending());
        EXPECT_TRUE(PopupCenter::shared().texts(PopupCenter::Success).isEmpty());
        EXPECT_FALSE(transfer().receivedFiles().contains(name));

        // "关闭传输" with nothing chosen closes it.
        m_screen->sendButtonAction(PlayFilesViewController::kCloseButtonTag);
        EXPECT_FALSE(m_screen->isSending());
        EXPECT_FALSE(CommonManager::sharedManager().isFinishSendFiles);
        // The server hears of it: the stream goes, then 5103 names the file.
        ASSERT_TRUE(waitForPrefix({QStringLiteral("close %1: nothing coming in").arg(name),
                                   QStringLiteral("state transfer discarded %1 after").arg(name)}));
        ASSERT_TRUE(waitUntil([&] { return transfer().receivingFiles().isEmpty(); }));
        EXPECT_FALSE(historyRow(name));
        for (const QVariant &r : m_screen->rows())
            EXPECT_NE(r.toMap().value(QStringLiteral("filesName")).toString(), name);
        EXPECT_TRUE(mediaFiles().filter(name).isEmpty());
    }

    // With the server well again, the next file goes through.
    ASSERT_TRUE(transfer().setFault(QStringLiteral("none")));
    sendAndPlay(videoPath, video);
    EXPECT_EQ(sha256(stored(m_screen->currentFileName())), sha256(video));
    EXPECT_EQ(m_screen->rows().size(), 1);
    EXPECT_EQ(mediaFiles().size(), 1);
}

} // namespace
