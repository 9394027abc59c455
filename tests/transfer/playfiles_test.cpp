#include "net/sendsocket.h"
#include "net/udpsocketcontroller.h"
#include "screens/transfer/mediapicker.h"
#include "screens/transfer/playfilesviewcontroller.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "store/sqlitedatabase.h"
#include "transferfixture.h"
#include "ui/alertcenter.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>
#include <QDate>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

const QString kUserId = QStringLiteral("0000abcd");

// The screen on a stack, its stream pointed at a loopback port where nobody
// listens: the stream stays silent and the tests post its notices.
class PlayFilesTest : public ContextTest
{
protected:
    void configure(ContextConfig &c) override { c.serverFilePort = freeTcpPort(QHostAddress(QStringLiteral("127.0.0.2"))); }
    void SetUp() override
    {
        ContextTest::SetUp();
        selectServer(QStringLiteral("127.0.0.2"), QStringLiteral("01"));
        CommonManager::sharedManager().currentSelectDev.userId = kUserId;
        ASSERT_TRUE(m_files.isValid());
    }
    void TearDown() override
    {
        m_nav.reset();
        ContextTest::TearDown();
    }

    PlayFilesViewController *open()
    {
        m_screen = openSendingScreen(m_nav);
        return m_screen;
    }
    void leave() { m_nav->pop(); }

    AlertCenter &alerts() { return AlertCenter::shared(); }
    PopupCenter &popups() { return PopupCenter::shared(); }
    FMManager &store() { return FMManager::sharedManagerInstance(); }

    // A history row as an earlier transfer left it.
    void addHistory(const QString &name, const char *finished, qsizetype size = 4096, const QString &user = kUserId)
    {
        ASSERT_TRUE(store().insertObjectByDeviceWindowIDHex(QStringLiteral("01"), user, name, QStringLiteral("03"),
                                                            QStringLiteral("%1").arg(size, 16, 16, QLatin1Char('0')),
                                                            QLatin1String(finished), patternBytes(size),
                                                            QStringLiteral("0"), QStringLiteral("0")));
    }
    QStringList historyNames()
    {
        QStringList out;
        for (const PlayFilesInfo &r : store().selectAllFilesTransInfoWithDeviceID(kUserId, QStringLiteral("01")))
            out << r.filesName;
        return out;
    }
    std::optional<PlayFilesInfo> historyRow(const QString &name)
    {
        for (const PlayFilesInfo &r : store().selectAllFilesTransInfoWithDeviceID(kUserId, QStringLiteral("01")))
            if (r.filesName == name)
                return r;
        return std::nullopt;
    }
    QStringList listNames() const
    {
        QStringList out;
        for (const QVariant &row : m_screen->rows())
            out << row.toMap().value(QStringLiteral("filesName")).toString();
        return out;
    }
    QVariantMap row(int i) const { return m_screen->rows().value(i).toMap(); }
    QVariantMap entry(int i) const { return m_screen->dataSource().value(i).toMap(); }

    QString writePicture(const QImage &img, const QString &name = QStringLiteral("picture.png"))
    {
        const QString path = m_files.filePath(name);
        img.save(path);
        return path;
    }
    // "发送文件", the album, the file: the way a user sends a picture.
    void sendFromAlbum(const QString &path)
    {
        m_screen->sendButtonAction(PlayFilesViewController::kSendButtonTag);
        ASSERT_TRUE(alerts().hasPending());
        int album = 0;
        const auto counting =
            QObject::connect(m_screen, &PlayFilesViewController::photoLibraryRequested, [&] { ++album; });
        const bool answered = alerts().answer(1);
        QObject::disconnect(counting);
        ASSERT_TRUE(answered);
        ASSERT_EQ(album, 1);
        m_screen->didFinishPickingFile(QUrl::fromLocalFile(path).toString());
    }
    // A picture sent and its content queued.
    QString startRunning()
    {
        sendFromAlbum(writePicture(halvesPicture()));
        clock().advance(PlayFilesViewController::kContentDelayMs);
        EXPECT_TRUE(m_screen->isRunning());
        return m_screen->currentFileName();
    }
    QString startRunningMovie(qsizetype size)
    {
        QFile f(m_files.filePath(QStringLiteral("clip%1.mov").arg(size)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(patternBytes(size));
        f.close();
        m_screen->didFinishPickingFile(f.fileName());
        clock().advance(PlayFilesViewController::kContentDelayMs);
        EXPECT_TRUE(m_screen->isRunning());
        return m_screen->currentFileName();
    }
    void postProgress(qint64 bytes)
    {
        ctx().notices().post(QLatin1String(SendSocket::kFilesLengthNotice),
                             QVariantMap{{QStringLiteral("partialLength"), bytes},
                                         {QStringLiteral("alldataLength"), 0}});
    }
    void postDone() { ctx().notices().post(QLatin1String(SendSocket::kFilesDoneNotice)); }
    // The frames of one command code that went out so far.
    QStringList frames(const char *prefix) const
    {
        QStringList out;
        for (const QString &h : m_recorder.hexes())
            if (h.startsWith(QLatin1String(prefix)))
                out << h;
        return out;
    }
    static QString nameFrame(const char *prefix, const QString &name, const char *window = "01")
    {
        const QByteArray utf8 = name.toUtf8();
        return QLatin1String(prefix) + QLatin1String(window)
               + QStringLiteral("%1").arg(utf8.size(), 4, 16, QLatin1Char('0')) + QString::fromLatin1(utf8.toHex());
    }
    static QString closeFrame(const QString &name, const char *type = "01")
    {
        const QByteArray utf8 = name.toUtf8();
        return QStringLiteral("414e44015103") + QLatin1String(type)
               + QStringLiteral("%1").arg(utf8.size(), 4, 16, QLatin1Char('0')) + QString::fromLatin1(utf8.toHex());
    }
    void runTrigger(const char *sql)
    {
        SqliteDatabase *db = store().db();
        ASSERT_TRUE(db && db->open());
        ASSERT_TRUE(db->executeUpdate(QLatin1String(sql))) << db->lastErrorMessage().toStdString();
    }

    QTemporaryDir m_files;
    std::unique_ptr<KTBaseNavigationController> m_nav;
    PlayFilesViewController *m_screen = nullptr;
};

TEST_F(PlayFilesTest, SendingAPictureAnnouncesItKeepsAHistoryRowAndQueuesTheContentASecondLater)
{
    open();
    EXPECT_EQ(m_screen->title(), QStringLiteral("视频文件传输"));
    m_screen->sendButtonAction(PlayFilesViewController::kSendButtonTag);
    ASSERT_TRUE(alerts().hasPending());
    EXPECT_EQ(alerts().style(), AlertCenter::ActionSheet);
    EXPECT_TRUE(alerts().title().isEmpty());
    EXPECT_EQ(alerts().buttons(), (QStringList{QStringLiteral("拍照"), QStringLiteral("从手机相册选择"), QStringLiteral("取消")}));
    int album = 0;
    const auto counting = QObject::connect(m_screen, &PlayFilesViewController::photoLibraryRequested, [&] { ++album; });
    const bool answered = alerts().answer(1);
    QObject::disconnect(counting);
    ASSERT_TRUE(answered);
    ASSERT_EQ(album, 1);
    m_screen->didFinishPickingFile(QUrl::fromLocalFile(writePicture(halvesPicture())).toString());

    const QString name = m_screen->currentFileName();
    const QRegularExpression pattern(QStringLiteral("^%1(\\d{5,6})\\.jpg$")
                                         .arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))));
    const QRegularExpressionMatch m = pattern.match(name);
    ASSERT_TRUE(m.hasMatch()) << name.toStdString();
    EXPECT_GE(m.captured(1).toInt(), 10000);
    EXPECT_LE(m.captured(1).toInt(), 100000);
    EXPECT_EQ(m_screen->currentFileType(), QStringLiteral("01"));

    // The history row holds the whole JPEG.
    const std::optional<PlayFilesInfo> r = historyRow(name);
    ASSERT_TRUE(r);
    const QByteArray content = r->deviceInfo1;
    QImage decoded;
    ASSERT_TRUE(decoded.loadFromData(content, "JPG"));
    EXPECT_EQ(decoded.size(), QSize(64, 32));
    EXPECT_EQ(r->deviceWindowIDHex, QStringLiteral("01"));
    EXPECT_EQ(r->deviceID, kUserId);
    EXPECT_EQ(r->filesType, QStringLiteral("01"));
    EXPECT_EQ(r->filesSize, QStringLiteral("%1").arg(content.size(), 16, 16, QLatin1Char('0')));
    EXPECT_EQ(r->filesIsFinish, QStringLiteral("0"));
    EXPECT_EQ(m_screen->allDataSize(), content.size());

    // The entry on top, not chosen, not finished, its bar empty; it names
    // the content by its length and never holds it.
    EXPECT_EQ(entry(0).value(QStringLiteral("filesSize")).toLongLong(), content.size());
    EXPECT_FALSE(entry(0).contains(QStringLiteral("pictureData")));
    EXPECT_EQ(entry(0).value(QStringLiteral("checked")).toString(), QStringLiteral("NO"));
    EXPECT_EQ(entry(0).value(QStringLiteral("isSendSucceed")).toString(), QStringLiteral("0"));
    EXPECT_EQ(row(0).value(QStringLiteral("sizeText")).toString(), QStringLiteral("0KB/%1KB").arg(content.size() / 1024));
    EXPECT_EQ(row(0).value(QStringLiteral("typeImage")).toString(), QStringLiteral("device_62"));
    EXPECT_EQ(row(0).value(QStringLiteral("tickImage")).toString(), QStringLiteral("device_22"));

    // Announced on a new stream; the content follows one second later.
    SendSocket &stream = SendSocket::shareMananger();
    EXPECT_EQ(stream.queuedBlockCount(), 1);
    EXPECT_FALSE(CommonManager::sharedManager().isFinishSendFiles);
    clock().advance(PlayFilesViewController::kContentDelayMs - 1);
    EXPECT_EQ(stream.queuedBlockCount(), 1);
    clock().advance(1);
    EXPECT_EQ(stream.queuedBlockCount(), 2);
    EXPECT_EQ(stream.alldataLength(), content.size() / 1024);
    EXPECT_TRUE(CommonManager::sharedManager().isFinishSendFiles);
    EXPECT_TRUE(m_screen->isRunning());
}

TEST_F(PlayFilesTest, ProgressMovesTheBarAndTheEndMarksTheRowAddsToTheListAndAsksToPlay)
{
    open();
    const QString name = startRunningMovie(300000);
    const qint64 size = m_screen->allDataSize();
    ASSERT_EQ(size, 300000);
    int progress = 0;
    const auto counting = QObject::connect(m_screen, &PlayFilesViewController::progressChanged, [&] { ++progress; });
    postProgress(100000);
    postProgress(100000);
    EXPECT_EQ(m_screen->fileCurrentSize(), 200000);
    EXPECT_FLOAT_EQ(float(m_screen->currentProgress()), 200000.0f / 300000.0f);
    EXPECT_EQ(m_screen->currentSizeText(), QStringLiteral("195KB/292KB"));
    QObject::disconnect(counting);
    EXPECT_EQ(progress, 2);

    postDone();
    EXPECT_EQ(historyRow(name)->filesIsFinish, QStringLiteral("1"));
    EXPECT_FALSE(CommonManager::sharedManager().isFinishSendFiles);
    EXPECT_FALSE(m_screen->isSending());
    EXPECT_TRUE(row(0).value(QStringLiteral("succeeded")).toBool());
    EXPECT_DOUBLE_EQ(row(0).value(QStringLiteral("progress")).toDouble(), 1.0);
    EXPECT_EQ(row(0).value(QStringLiteral("sizeText")).toString(), QStringLiteral("292KB/292KB"));

    // 1.5 s later: the endpoint restarts, 5101 goes, the question comes.
    UdpSocketController::shareInstance().closeUdpServer();
    clock().advance(PlayFilesViewController::kAddToListDelayMs - 1);
    EXPECT_TRUE(frames("414e44015101").isEmpty());
    EXPECT_FALSE(alerts().hasPending());
    clock().advance(1);
    EXPECT_EQ(frames("414e44015101"), QStringList{nameFrame("414e44015101", name, "01")});
    EXPECT_EQ(m_recorder.frames.last().port, ctx().config().serverPort);
    EXPECT_TRUE(UdpSocketController::shareInstance().isServerReceiving());
    ASSERT_TRUE(alerts().hasPending());
    EXPECT_EQ(alerts().style(), AlertCenter::Alert);
    EXPECT_EQ(alerts().title(), QStringLiteral("提示"));
    EXPECT_EQ(alerts().message(), QStringLiteral("是否立即播放"));
    EXPECT_EQ(alerts().buttons(), (QStringList{QStringLiteral("确定"), QStringLiteral("取消")}));
    ASSERT_TRUE(alerts().answer(0));
    EXPECT_EQ(frames("414e44015102"), QStringList{nameFrame("414e44015102", name)});

    // "取消" plays nothing.
    startRunning();
    postDone();
    clock().advance(PlayFilesViewController::kAddToListDelayMs);
    EXPECT_EQ(frames("414e44015101").size(), 2);
    ASSERT_TRUE(alerts().answer(1));
    EXPECT_EQ(frames("414e44015102").size(), 1);
    EXPECT_FALSE(popups().wasShown(PopupCenter::Error, QStringLiteral("上个文件还未传输完成.")));
}

TEST_F(PlayFilesTest, ASecondSendIsRefusedFromTheFirstsAnnouncementUntilItsEnd)
{
    open();
    sendFromAlbum(writePicture(halvesPicture()));
    const QString refused = QStringLiteral("上个文件还未传输完成.");
    // Inside the announced second, and while the content is written.
    for (int step : {0, 500, 500}) {
        clock().advance(step);
        popups().clearHistory();
        m_screen->sendButtonAction(PlayFilesViewController::kSendButtonTag);
        EXPECT_TRUE(popups().wasShown(PopupCenter::Error, refused)) << step;
        EXPECT_FALSE(alerts().hasPending());
    }
    EXPECT_TRUE(m_screen->isRunning());
    // The first file's content went alone.
    EXPECT_EQ(SendSocket::shareMananger().queuedBlockCount(), 2);

    postDone();
    m_screen->sendButtonAction(PlayFilesViewController::kSendButtonTag);
    EXPECT_TRUE(alerts().hasPending());
    EXPECT_EQ(alerts().style(), AlertCenter::ActionSheet);
}

TEST_F(PlayFilesTest, AfterEachEndTheNewestIsOnTopAndTheOthersFollowInTableOrder)
{
    addHistory(QStringLiteral("a.mov"), "1");
    addHistory(QStringLiteral("b.mov"), "1");
    open();
    EXPECT_EQ(listNames(), (QStringList{QStringLiteral("a.mov"), QStringLiteral("b.mov")}));

    const QString c = startRunning();
    EXPECT_EQ(listNames(), (QStringList{c, QStringLiteral("a.mov"), QStringLiteral("b.mov")}));
    postDone();
    clock().advance(PlayFilesViewController::kAddToListDelayMs);
    alerts().answer(1);
    EXPECT_EQ(listNames(), (QStringList{c, QStringLiteral("a.mov"), QStringLiteral("b.mov")}));

    const QString d = startRunning();
    EXPECT_EQ(listNames(), (QStringList{d, c, QStringLiteral("a.mov"), QStringLiteral("b.mov")}));
    postDone();
    EXPECT_EQ(listNames(), (QStringList{d, QStringLiteral("a.mov"), QStringLiteral("b.mov"), c}));
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(row(i).value(QStringLiteral("succeeded")).toBool()) << i;
}

TEST_F(PlayFilesTest, LeavingAbandonsTheTransferAndDeletesOnlyItsRow)
{
    // Within the announced second and while the content is written.
    for (int after : {300, PlayFilesViewController::kContentDelayMs}) {
        SCOPED_TRACE(after);
        store().DeleteAllSendFiles();
        m_recorder.frames.clear();
        addHistory(QStringLiteral("finished.mov"), "1");
        open();
        sendFromAlbum(writePicture(halvesPicture()));
        const QString name = m_screen->currentFileName();
        clock().advance(after);
        leave();
        EXPECT_EQ(m_recorder.hexes(), QStringList{closeFrame(name)});
        EXPECT_EQ(SendSocket::shareMananger().sendSocket(), nullptr);
        EXPECT_FALSE(CommonManager::sharedManager().isFinishSendFiles);
        EXPECT_EQ(historyNames(), QStringList{QStringLiteral("finished.mov")});
        // Nothing left to go out later.
        clock().advance(5000);
        EXPECT_EQ(SendSocket::shareMananger().sendSocket(), nullptr);
        EXPECT_EQ(m_recorder.frames.size(), 1);
    }
    // Leaving with nothing running sends nothing.
    m_recorder.frames.clear();
    open();
    leave();
    EXPECT_TRUE(m_recorder.frames.isEmpty());
    EXPECT_EQ(historyNames(), QStringList{QStringLiteral("finished.mov")});
}

TEST_F(PlayFilesTest, DeletingChosenRowsDeletesTheirHistoryAndRebuildsTheList)
{
    addHistory(QStringLiteral("a.mov"), "1");
    addHistory(QStringLiteral("b.mov"), "1");
    addHistory(QStringLiteral("c.mov"), "1");
    open();

    m_screen->sendButtonAction(PlayFilesViewController::kCloseButtonTag);
    EXPECT_TRUE(popups().wasShown(PopupCenter::Error, QStringLiteral("请选择需要删除的文件")));
    EXPECT_EQ(historyNames().size(), 3);

    m_screen->didSelectRowAtIndexPath(0);
    m_screen->didSelectRowAtIndexPath(2);
    EXPECT_EQ(m_screen->chosenCount(), 2);
    m_screen->sendButtonAction(PlayFilesViewController::kCloseButtonTag);
    EXPECT_EQ(historyNames(), QStringList{QStringLiteral("b.mov")});
    EXPECT_EQ(listNames(), QStringList{QStringLiteral("b.mov")});
    EXPECT_FALSE(row(0).value(QStringLiteral("checked")).toBool());
    EXPECT_EQ(m_screen->chosenCount(), 0);
    EXPECT_TRUE(m_recorder.frames.isEmpty());
}

TEST_F(PlayFilesTest, DeletingDuringATransferCancelsItAndItsRowShowsUnfinished)
{
    addHistory(QStringLiteral("a.mov"), "1");
    open();
    const QString running = startRunning();
    // Rows: the running file, a.mov.
    m_screen->didSelectRowAtIndexPath(1);
    m_screen->sendButtonAction(PlayFilesViewController::kCloseButtonTag);

    EXPECT_EQ(m_recorder.hexes(), QStringList{closeFrame(running)});
    EXPECT_EQ(SendSocket::shareMananger().sendSocket(), nullptr);
    EXPECT_FALSE(CommonManager::sharedManager().isFinishSendFiles);
    EXPECT_FALSE(m_screen->isSending());
    // The cancelled file was not chosen: its row stays, and it is not shown as sent.
    EXPECT_EQ(historyNames(), QStringList{running});
    EXPECT_EQ(listNames(), QStringList{running});
    EXPECT_FALSE(row(0).value(QStringLiteral("succeeded")).toBool());
    EXPECT_EQ(entry(0).value(QStringLiteral("isSendSucceed")).toString(), QStringLiteral("0"));
    EXPECT_DOUBLE_EQ(row(0).value(QStringLiteral("progress")).toDouble(), 0.0);

    // A late done notice of the cancelled stream changes nothing.
    postDone();
    EXPECT_EQ(historyRow(running)->filesIsFinish, QStringLiteral("0"));
    clock().advance(5000);
    EXPECT_TRUE(frames("414e44015101").isEmpty());
}

TEST_F(PlayFilesTest, CloseWithNothingChosenAbandonsTheRunningTransfer)
{
    addHistory(QStringLiteral("a.mov"), "1");
    open();
    const QString running = startRunning();
    m_screen->sendButtonAction(PlayFilesViewController::kCloseButtonTag);
    EXPECT_FALSE(popups().wasShown(PopupCenter::Error, QStringLiteral("请选择需要删除的文件")));
    EXPECT_EQ(m_recorder.hexes(), QStringList{closeFrame(running)});
    EXPECT_EQ(historyNames(), QStringList{QStringLiteral("a.mov")});
    // The abandoned file's entry goes with its row: the list stays the
    // history, and shows no file that the server was told to drop.
    EXPECT_EQ(listNames(), QStringList{QStringLiteral("a.mov")});
    EXPECT_FALSE(m_screen->isSending());
    // Choosing and deleting what is left finds every row it shows.
    m_screen->didSelectRowAtIndexPath(0);
    m_screen->sendButtonAction(PlayFilesViewController::kCloseButtonTag);
    EXPECT_TRUE(historyNames().isEmpty());
    EXPECT_TRUE(listNames().isEmpty());
    m_screen->sendButtonAction(PlayFilesViewController::kSendButtonTag);
    EXPECT_EQ(alerts().style(), AlertCenter::ActionSheet);
}

TEST_F(PlayFilesTest, AMovieChangedOrGoneBeforeItsContentGoesIsNotSentAndTheUserIsTold)
{
    struct Case
    {
        const char *change;
        std::function<void(const QString &path)> apply;
    };
    const Case cases[] = {
        {"removed", [](const QString &p) { QFile::remove(p); }},
        {"cut", [](const QString &p) { QFile::resize(p, 100); }},
        {"grown", [](const QString &p) { QFile f(p); f.open(QIODevice::Append); f.write("more"); }},
    };
    addHistory(QStringLiteral("a.mov"), "1");
    open();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.change);
        m_recorder.frames.clear();
        popups().clearHistory();
        const QString path = m_files.filePath(QStringLiteral("clip.mov"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(patternBytes(70000));
        f.close();
        m_screen->didFinishPickingFile(path);
        const QString name = m_screen->currentFileName();
        ASSERT_TRUE(historyRow(name));
        c.apply(path);
        clock().advance(PlayFilesViewController::kContentDelayMs);

        EXPECT_TRUE(popups().wasShown(PopupCenter::Error, QStringLiteral("文件已被修改或删除，发送失败")));
        EXPECT_FALSE(m_screen->isSending());
        EXPECT_FALSE(CommonManager::sharedManager().isFinishSendFiles);
        EXPECT_EQ(SendSocket::shareMananger().sendSocket(), nullptr);
        // The server drops what it was announced; nothing of it is listed.
        EXPECT_EQ(frames("414e44015103"), QStringList{closeFrame(name, "03")});
        EXPECT_FALSE(historyRow(name));
        EXPECT_EQ(listNames(), QStringList{QStringLiteral("a.mov")});
        clock().advance(5000);
        EXPECT_TRUE(frames("414e44015101").isEmpty());
        EXPECT_FALSE(alerts().hasPending());
        QFile::remove(path);
    }
    m_screen->sendButtonAction(PlayFilesViewController::kSendButtonTag);
    EXPECT_EQ(alerts().style(), AlertCenter::ActionSheet);
}

TEST_F(PlayFilesTest, AFinishedTransferEmptiesTheChoiceWithTheRebuild)
{
    addHistory(QStringLiteral("a.mov"), "1");
    addHistory(QStringLiteral("b.mov"), "1");
    open();
    // One row tapped, or every row by the toggle.
    for (bool all : {false, true}) {
        SCOPED_TRACE(all);
        if (all)
            m_screen->clickButtonAction();
        else
            m_screen->didSelectRowAtIndexPath(0);
        ASSERT_GT(m_screen->chosenCount(), 0);
        startRunning();
        postDone();
        for (int i = 0; i < m_screen->rows().size(); ++i)
            EXPECT_FALSE(row(i).value(QStringLiteral("checked")).toBool()) << i;
        EXPECT_EQ(m_screen->chosenCount(), 0);
        EXPECT_FALSE(m_screen->allSelected());
        // Nothing shows as chosen, so nothing is deleted.
        popups().clearHistory();
        const QStringList before = historyNames();
        m_screen->sendButtonAction(PlayFilesViewController::kCloseButtonTag);
        EXPECT_TRUE(popups().wasShown(PopupCenter::Error, QStringLiteral("请选择需要删除的文件")));
        EXPECT_EQ(historyNames(), before);
        clock().advance(PlayFilesViewController::kAddToListDelayMs);
        alerts().answer(1);
    }
}

TEST_F(PlayFilesTest, LeavingSoonAfterTheEndStillPutsTheFileOnThePlayList)
{
    open();
    const QString name = startRunning();
    postDone();
    UdpSocketController::shareInstance().closeUdpServer();
    clock().advance(500);
    leave();
    // The screen goes as soon as the event loop turns.
    QPointer<PlayFilesViewController> screen(m_screen);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(screen.isNull());
    EXPECT_TRUE(frames("414e44015101").isEmpty());
    clock().advance(PlayFilesViewController::kAddToListDelayMs - 500);
    EXPECT_EQ(frames("414e44015101"), QStringList{nameFrame("414e44015101", name, "01")});
    EXPECT_TRUE(UdpSocketController::shareInstance().isServerReceiving());
    // The question belonged to the screen, which is gone.
    EXPECT_FALSE(alerts().hasPending());
    EXPECT_TRUE(frames("414e44015102").isEmpty());
    EXPECT_EQ(TransferFinisher::shared().pendingCount(), 0);
}

TEST_F(PlayFilesTest, TappingARowTogglesItsChoice)
{
    addHistory(QStringLiteral("a.mov"), "1");
    addHistory(QStringLiteral("b.mov"), "0");
    open();
    m_screen->didSelectRowAtIndexPath(1);
    EXPECT_TRUE(row(1).value(QStringLiteral("checked")).toBool());
    EXPECT_EQ(row(1).value(QStringLiteral("tickImage")).toString(), QStringLiteral("device_21"));
    EXPECT_EQ(entry(1).value(QStringLiteral("checked")).toString(), QStringLiteral("YES"));
    ASSERT_EQ(m_screen->chosenCount(), 1);
    EXPECT_EQ(m_screen->choosePlayArray().constFirst().toMap().value(QStringLiteral("filesName")).toString(),
              QStringLiteral("b.mov"));
    m_screen->didSelectRowAtIndexPath(1);
    EXPECT_FALSE(row(1).value(QStringLiteral("checked")).toBool());
    EXPECT_EQ(m_screen->chosenCount(), 0);
    // An unfinished row draws an empty bar.
    EXPECT_EQ(row(1).value(QStringLiteral("sizeText")).toString(), QStringLiteral("0KB/4KB"));
    EXPECT_EQ(row(0).value(QStringLiteral("sizeText")).toString(), QStringLiteral("4KB/4KB"));
    EXPECT_EQ(row(0).value(QStringLiteral("typeImage")).toString(), QStringLiteral("device_02"));
    m_screen->didSelectRowAtIndexPath(7); // no such row
    EXPECT_EQ(m_screen->chosenCount(), 0);
}

TEST_F(PlayFilesTest, SelectAllChoosesOnlyTheRowsOnScreenButTicksThemAll)
{
    for (const char *n : {"a.mov", "b.mov", "c.mov", "d.mov", "e.mov"})
        addHistory(QLatin1String(n), "1");
    open();
    m_screen->setVisibleRows(1, 2);
    m_screen->clickButtonAction();
    EXPECT_TRUE(m_screen->allSelected());
    EXPECT_EQ(m_screen->selectAllImage(), QStringLiteral("device_21"));
    EXPECT_TRUE(m_screen->rightBarButtonTitle().contains(QStringLiteral("全选")));
    QStringList chosen;
    for (const QVariant &e : m_screen->choosePlayArray())
        chosen << e.toMap().value(QStringLiteral("filesName")).toString();
    EXPECT_EQ(chosen, (QStringList{QStringLiteral("b.mov"), QStringLiteral("c.mov")}));
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(row(i).value(QStringLiteral("checked")).toBool()) << i;

    // The bar button does the same as the toggle.
    m_screen->clickedBarButtonItemAction();
    EXPECT_FALSE(m_screen->allSelected());
    EXPECT_EQ(m_screen->chosenCount(), 0);
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(row(i).value(QStringLiteral("checked")).toBool()) << i;
}

TEST_F(PlayFilesTest, WithoutACameraTheUserIsToldSo)
{
    open();
    m_screen->sendButtonAction(PlayFilesViewController::kSendButtonTag);
    ASSERT_TRUE(alerts().answer(0));
    EXPECT_TRUE(popups().wasShown(PopupCenter::Error, QStringLiteral("这台设备没有可用的相机")));
    EXPECT_FALSE(m_screen->isSending());
    EXPECT_FALSE(m_screen->selectedType());
    EXPECT_TRUE(historyNames().isEmpty());
    EXPECT_EQ(SendSocket::shareMananger().sendSocket(), nullptr);
}

TEST_F(PlayFilesTest, ACameraPictureIsTurnedAndAnAlbumPictureIsNot)
{
    MediaPicker::shared().setCamera([] { return std::optional<QImage>(halvesPicture()); });
    struct Case
    {
        int button;
        QSize size;
        QPoint redAt; // the middle of the red half
    };
    // A quarter turn clockwise puts the left (red) half on top.
    const Case cases[] = {{0, QSize(32, 64), QPoint(16, 16)}, {1, QSize(64, 32), QPoint(16, 16)}};
    open();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.button);
        m_screen->sendButtonAction(PlayFilesViewController::kSendButtonTag);
        ASSERT_TRUE(alerts().answer(c.button));
        if (c.button == 1)
            m_screen->didFinishPickingFile(writePicture(halvesPicture()));
        ASSERT_TRUE(m_screen->isSending());
        EXPECT_FALSE(m_screen->selectedType());
        // A picture exists only as encoded here: its row keeps it.
        QImage sent;
        ASSERT_TRUE(sent.loadFromData(historyRow(m_screen->currentFileName())->deviceInfo1, "JPG"));
        EXPECT_EQ(sent.size(), c.size);
        EXPECT_TRUE(near(sent.pixelColor(c.redAt), Qt::red));
        m_screen->backToCloseSendFiles();
    }
}

TEST_F(PlayFilesTest, AFileThatIsNeitherPictureNorMovieOrCannotBeReadIsNotSent)
{
    open();
    QFile text(m_files.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("plain words\n");
    text.close();
    QFile broken(m_files.filePath(QStringLiteral("broken.png")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG\r\n\x1a\n not really");
    broken.close();
    QFile empty(m_files.filePath(QStringLiteral("empty.mov")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();

    for (const char *file : {"notes.txt", "broken.png", "empty.mov", "missing.mov"}) {
        m_screen->didFinishPickingFile(m_files.filePath(QLatin1String(file)));
        EXPECT_FALSE(m_screen->isSending()) << file;
    }
    EXPECT_EQ(popups().texts(PopupCenter::Error).size(), 3);
    EXPECT_TRUE(historyNames().isEmpty());
    EXPECT_EQ(SendSocket::shareMananger().sendSocket(), nullptr);
}

TEST_F(PlayFilesTest, AMovieIsReferredToAndNeverCopied)
{
    open();
    const QByteArray bytes = patternBytes(70000);
    QFile f(m_files.filePath(QStringLiteral("clip.mov")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    m_screen->didFinishPickingFile(f.fileName());
    ASSERT_TRUE(m_screen->isSending());
    const QString name = m_screen->currentFileName();
    EXPECT_TRUE(name.endsWith(QStringLiteral(".mov")));
    EXPECT_EQ(m_screen->currentFileType(), QStringLiteral("03"));
    EXPECT_EQ(m_screen->allDataSize(), bytes.size());
    // The row knows the file by its URL and size; its bytes stay in the file.
    const std::optional<PlayFilesInfo> r = historyRow(name);
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->deviceInfo1.isNull());
    EXPECT_EQ(r->deviceInfo2, QUrl::fromLocalFile(f.fileName()).toString());
    EXPECT_EQ(r->filesSize, QStringLiteral("0000000000011170"));
    EXPECT_EQ(row(0).value(QStringLiteral("typeImage")).toString(), QStringLiteral("device_02"));
    EXPECT_EQ(row(0).value(QStringLiteral("sizeText")).toString(), QStringLiteral("0KB/68KB"));
}

TEST(PlayFilesImage, TurnsByTheCodesAngle)
{
    // A B C
    // D E F
    const QRgb A = qRgb(255, 0, 0), B = qRgb(0, 255, 0), C = qRgb(0, 0, 255), D = qRgb(255, 255, 0),
               E = qRgb(0, 255, 255), F = qRgb(255, 0, 255);
    QImage img(3, 2, QImage::Format_RGB32);
    const QRgb px[2][3] = {{A, B, C}, {D, E, F}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            img.setPixel(x, y, px[y][x]);

    struct Case
    {
        int code;
        QSize size;
        QRgb topLeft, topRight, bottomLeft, bottomRight;
    };
    const Case cases[] = {
        {0, {3, 2}, A, C, D, F},
        {1, {3, 2}, F, D, C, A},
        {2, {2, 3}, C, F, A, D}, // a quarter turn counter-clockwise
        {3, {2, 3}, D, A, F, C}, // a quarter turn clockwise
        {4, {3, 2}, A, C, D, F},
        {-1, {3, 2}, A, C, D, F},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        const QImage out = PlayFilesViewController::image(img, c.code);
        ASSERT_EQ(out.size(), c.size);
        const int r = out.width() - 1, b = out.height() - 1;
        EXPECT_EQ(out.pixel(0, 0) & 0xffffff, c.topLeft & 0xffffff);
        EXPECT_EQ(out.pixel(r, 0) & 0xffffff, c.topRight & 0xffffff);
        EXPECT_EQ(out.pixel(0, b) & 0xffffff, c.bottomLeft & 0xffffff);
        EXPECT_EQ(out.pixel(r, b) & 0xffffff, c.bottomRight & 0xffffff);
    }
}

// --- The history failing under the screen --------------------------------------

TEST_F(PlayFilesTest, AFileWhoseRowCannotBeStoredStillGoesAndTheCommandsNameIt)
{
    addHistory(QStringLiteral("older.mov"), "1");
    runTrigger("CREATE TRIGGER refuse_rows BEFORE INSERT ON FilesTransInfo BEGIN SELECT RAISE(ABORT, 'full'); END");
    open();
    const QString name = startRunning();
    EXPECT_EQ(listNames(), QStringList{QStringLiteral("older.mov")});

    // No entry of its own: no bar is drawn anywhere.
    postProgress(1000);
    EXPECT_EQ(m_screen->currentSizeText(), QString());
    EXPECT_EQ(row(0).value(QStringLiteral("sizeText")).toString(), QStringLiteral("4KB/4KB"));

    postDone();
    EXPECT_FALSE(m_screen->isSending());
    clock().advance(PlayFilesViewController::kAddToListDelayMs);
    // The file that was sent, not the list's top.
    EXPECT_EQ(frames("414e44015101"), QStringList{nameFrame("414e44015101", name)});
    ASSERT_TRUE(alerts().answer(0));
    EXPECT_EQ(frames("414e44015102"), QStringList{nameFrame("414e44015102", name)});
    EXPECT_EQ(historyNames(), QStringList{QStringLiteral("older.mov")});
}

TEST_F(PlayFilesTest, AFileWhoseRowCannotBeMarkedStaysRunningUntilTheUserClosesIt)
{
    runTrigger("CREATE TRIGGER keep_rows BEFORE UPDATE ON FilesTransInfo BEGIN SELECT RAISE(ABORT, 'locked'); END");
    open();
    const QString name = startRunning();
    postDone();
    EXPECT_TRUE(m_screen->isRunning());
    EXPECT_TRUE(CommonManager::sharedManager().isFinishSendFiles);
    clock().advance(5000);
    EXPECT_TRUE(frames("414e44015101").isEmpty());
    m_screen->sendButtonAction(PlayFilesViewController::kSendButtonTag);
    EXPECT_TRUE(popups().wasShown(PopupCenter::Error, QStringLiteral("上个文件还未传输完成.")));

    m_screen->sendButtonAction(PlayFilesViewController::kCloseButtonTag);
    EXPECT_EQ(frames("414e44015103"), QStringList{closeFrame(name)});
    EXPECT_FALSE(CommonManager::sharedManager().isFinishSendFiles);
    EXPECT_TRUE(historyNames().isEmpty());
    m_screen->sendButtonAction(PlayFilesViewController::kSendButtonTag);
    EXPECT_EQ(alerts().style(), AlertCenter::ActionSheet);
}

} // namespace
