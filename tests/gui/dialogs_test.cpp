// Every kind of question the app asks, answered with the mouse (and Esc) on
// the real pages, against the simulator: what the answer sends is what the
// simulator receives.
#include "gui/guifixture.h"
#include "screens/playback/playcontrolviewcontroller.h"
#include "screens/transfer/playfilesviewcontroller.h"
#include "transferfamily.h"
#include "ui/alertcenter.h"
#include "ui/popupcenter.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>

namespace {

const QStringList kFiles{QStringLiteral("/media/开场动画.mp4"), QStringLiteral("/media/产品介绍.mp4"),
                         QStringLiteral("/media/门店海报.jpg")};

class PlayListDialogsTest : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        for (const QString &f : kFiles)
            playlists().addFile(1, f);
        chooseServer();
        m_screen = push(new PlayControlViewController);
        ASSERT_TRUE(waitUntil([&] { return m_screen->rows().size() == kFiles.size(); }));
        clock().advance(PopupCenter::kProgressTimeoutMs); // the list's pop-up, long closed by the reply
        ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("产品介绍.mp4")); }));
    }
    // The second row of buttons holds "清空".
    void showSecondRow()
    {
        if (app().findText(QStringLiteral("清空")))
            return;
        ASSERT_TRUE(app().clickText(QStringLiteral("›")));
        ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("清空")); }));
    }
    PlayControlViewController *m_screen = nullptr;
};

TEST_F(PlayListDialogsTest, ClearingTheListIsAskedAndOnlyConfirmSendsIt)
{
    struct Case
    {
        const char *answer; // a button, or "Esc"
        bool clears;
    };
    for (const Case &c : {Case{"取消", false}, Case{"Esc", false}, Case{"确定", true}}) {
        SCOPED_TRACE(c.answer);
        showSecondRow();
        ASSERT_TRUE(app().clickText(QStringLiteral("清空")));
        ASSERT_TRUE(app().waitFor([] { return AlertCenter::shared().hasPending(); }));
        ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("请确认是否清除列表中所有的视频？")); }));
        if (QLatin1String(c.answer) == QLatin1String("Esc"))
            app().key(Qt::Key_Escape);
        else
            ASSERT_TRUE(app().clickText(QString::fromUtf8(c.answer)));
        // Answered: the dimmed layer is gone, the page takes clicks again.
        EXPECT_TRUE(app().waitFor([] { return !AlertCenter::shared().hasPending(); }));
        EXPECT_TRUE(app().waitFor([&] { return !app().findText(QStringLiteral("请确认是否清除列表中所有的视频？")); }));
        if (c.clears) {
            EXPECT_TRUE(received(QStringLiteral("414e4401570801")));
            EXPECT_TRUE(m_screen->rows().isEmpty());
        } else {
            spinFor(200);
            EXPECT_EQ(receivedCount(QStringLiteral("5708")), 0);
            EXPECT_EQ(m_screen->rows().size(), kFiles.size());
        }
    }
}

TEST_F(PlayListDialogsTest, DeletingASwipedRowSendsTheChoiceOfTheSheet)
{
    struct Case
    {
        const char *choice;
        const char *frame; // row 1 of window 01; empty: nothing is sent
    };
    const Case cases[] = {
        {"取消", ""},
        {"同时删除本地文件", "414e440156030101010001"},
        {"确定", "414e440156030102010001"},
    };
    int sent = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.choice);
        const int rowsBefore = int(m_screen->rows().size());
        // Swipe the second row to the left: "删除" shows under it.
        QQuickItem *row = app().findText(m_screen->rows().value(1).toMap().value(QStringLiteral("fileName")).toString());
        ASSERT_TRUE(row);
        app().drag(row, QPoint(-160, 0));
        ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("删除")); }));
        app().settle(300);
        ASSERT_TRUE(app().clickText(QStringLiteral("删除")));
        ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("请确认是否删除所选视频文件?")); }));
        ASSERT_TRUE(app().clickText(QString::fromUtf8(c.choice)));
        EXPECT_TRUE(app().waitFor([] { return !AlertCenter::shared().hasPending(); }));
        if (*c.frame) {
            ++sent;
            EXPECT_TRUE(received(QLatin1String(c.frame)));
            EXPECT_EQ(m_screen->rows().size(), rowsBefore - 1);
        } else {
            spinFor(200);
            EXPECT_EQ(m_screen->rows().size(), rowsBefore);
        }
        EXPECT_EQ(receivedCount(QStringLiteral("5603")), sent);
        app().settle();
    }
}

TEST_F(PlayListDialogsTest, DeleteKeyOnTheListAsksTheSameSheet)
{
    QQuickItem *list = app().find(QStringLiteral("playList"));
    ASSERT_TRUE(list);
    // Tab until the list has the focus (a bounded walk through the page).
    for (int i = 0; i < 30 && app().focusItem() != list; ++i)
        app().key(Qt::Key_Tab);
    ASSERT_EQ(app().focusItem(), list);
    app().key(Qt::Key_Down);
    app().key(Qt::Key_Delete);
    ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("请确认是否删除所选视频文件?")); }));
    ASSERT_TRUE(app().clickText(QStringLiteral("确定")));
    EXPECT_TRUE(received(QStringLiteral("414e440156030102010001")));
}

class SendFileDialogsTest : public GuiTest
{
protected:
    void configure(ContextConfig &c) override
    {
        GuiTest::configure(c);
        m_simConfig.families = QStringList{QStringLiteral("login"), QStringLiteral("transfer"), QStringLiteral("playlist")};
    }
    void SetUp() override
    {
        GuiTest::SetUp();
        ASSERT_TRUE(m_files.isValid());
        m_sim->family<TransferFamily>()->setMediaDir(m_files.filePath(QStringLiteral("media")));
        chooseServer();
        m_screen = push(new PlayFilesViewController);
        ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("发送文件")); }));
    }
    void openSheet()
    {
        ASSERT_TRUE(app().clickText(QStringLiteral("发送文件")));
        ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("从手机相册选择")); }));
    }
    QObject *album() { return app().findObject(QStringLiteral("album")); }

    QTemporaryDir m_files;
    PlayFilesViewController *m_screen = nullptr;
};

TEST_F(SendFileDialogsTest, TheSourceSheetOpensTheAlbumOrSaysThereIsNoCamera)
{
    ASSERT_TRUE(album());
    EXPECT_FALSE(album()->property("visible").toBool());

    openSheet();
    ASSERT_TRUE(app().clickText(QStringLiteral("拍照")));
    EXPECT_TRUE(PopupCenter::shared().wasShown(PopupCenter::Error, QStringLiteral("这台设备没有可用的相机")));
    EXPECT_FALSE(album()->property("visible").toBool());

    openSheet();
    ASSERT_TRUE(app().clickText(QStringLiteral("取消")));
    EXPECT_FALSE(AlertCenter::shared().hasPending());
    EXPECT_FALSE(album()->property("visible").toBool());
    EXPECT_FALSE(m_screen->isSending());

    openSheet();
    ASSERT_TRUE(app().clickText(QStringLiteral("从手机相册选择")));
    EXPECT_TRUE(app().waitFor([&] { return album()->property("visible").toBool(); }));
    QMetaObject::invokeMethod(album(), "reject");
}

// A desktop user drags a file in from a file manager: it goes like a file
// the album gave, and the album opens where that file came from.
TEST_F(SendFileDialogsTest, AFileDroppedOnThePageIsSentLikeOneFromTheAlbum)
{
    ASSERT_TRUE(m_files.isValid());
    QDir(m_files.path()).mkpath(QStringLiteral("clips"));
    QFile movie(m_files.filePath(QStringLiteral("clips/dropped.mov")));
    ASSERT_TRUE(movie.open(QIODevice::WriteOnly));
    movie.write(QByteArray(64 * 1024, 'd'));
    movie.close();

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(movie.fileName())});
    QQuickWindow *window = app().window();
    const QPoint middle(window->width() / 2, window->height() / 2);
    QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    QDragMoveEvent move(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &move);
    QDropEvent drop(QPointF(middle), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);

    ASSERT_TRUE(m_screen->isSending());
    const QString name = m_screen->currentFileName();
    clock().advance(PlayFilesViewController::kContentDelayMs);
    EXPECT_TRUE(waitUntil([&] { return m_sim->family<TransferFamily>()->receivedFiles().contains(name); }, 20000));
    ASSERT_TRUE(album());
    EXPECT_EQ(album()->property("currentFolder").toUrl(), QUrl::fromLocalFile(m_files.filePath(QStringLiteral("clips"))));
}

TEST_F(SendFileDialogsTest, PlayNowAfterASentFileShowsItOnlyWhenConfirmed)
{
    int picked = 0;
    for (const char *answer : {"取消", "确定"}) {
        SCOPED_TRACE(answer);
        QFile movie(m_files.filePath(QStringLiteral("clip-%1.mov").arg(++picked)));
        ASSERT_TRUE(movie.open(QIODevice::WriteOnly));
        movie.write(QByteArray(64 * 1024, 'v'));
        movie.close();
        // The album's answer, as its dialog gives it.
        m_screen->didFinishPickingFile(QUrl::fromLocalFile(movie.fileName()).toString());
        clock().advance(PlayFilesViewController::kContentDelayMs);
        const QString name = m_screen->currentFileName();
        ASSERT_TRUE(waitUntil([&] { return !m_screen->isSending(); }, 20000));
        clock().advance(PlayFilesViewController::kAddToListDelayMs);
        ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("是否立即播放")); }));
        const int shows = receivedCount(QStringLiteral("5102"));
        ASSERT_TRUE(app().clickText(QString::fromUtf8(answer)));
        EXPECT_TRUE(app().waitFor([] { return !AlertCenter::shared().hasPending(); }));
        if (QLatin1String(answer) == QLatin1String("确定")) {
            EXPECT_TRUE(waitUntil([&] { return receivedCount(QStringLiteral("5102")) == shows + 1; }));
            EXPECT_EQ(playlists().playing(0x01), name);
        } else {
            spinFor(200);
            EXPECT_EQ(receivedCount(QStringLiteral("5102")), shows);
        }
    }
}

} // namespace
