// The file sending page during and after a transfer, rendered offscreen and
// written to PNGs.
#include "net/sendsocket.h"
#include "pagerenderer.h"
#include "screens/transfer/playfilesviewcontroller.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "support/testcontext.h"
#include "ui/alertcenter.h"
#include "ui/rowlistmodel.h"
#include "ui/uikit.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Qt Quick's software renderer keeps the textures it drew until the process
// ends; the leak check would report them as ours. The screen itself is
// checked for leaks by test_transfer.
extern "C" const char *__asan_default_options()
{
    return "detect_leaks=0";
}

namespace {

class TransferPagesTest : public ContextTest
{
protected:
    // The stream goes to a loopback port where nobody listens: the test
    // posts the stream's notices itself.
    void configure(ContextConfig &c) override { c.serverFilePort = freeTcpPort(QHostAddress(QStringLiteral("127.0.0.2"))); }
    void SetUp() override
    {
        ContextTest::SetUp();
        selectServer(QStringLiteral("127.0.0.2"), QStringLiteral("01"));
        CommonManager::sharedManager().currentSelectDev.userId = QStringLiteral("00000001");
        FMManager &store = FMManager::sharedManagerInstance();
        // Two files sent earlier in this run.
        for (const auto &[name, type, size] :
             {std::tuple{"2026120912345.jpg", "01", 734003}, std::tuple{"2026120967890.mov", "03", 5242880}})
            ASSERT_TRUE(store.insertObjectByDeviceWindowIDHex(
                QStringLiteral("01"), QStringLiteral("00000001"), QLatin1String(name), QLatin1String(type),
                QStringLiteral("%1").arg(size, 16, 16, QLatin1Char('0')), QStringLiteral("1"),
                QByteArray(size, 'x'), QStringLiteral("0"), QStringLiteral("0")));
    }
    QImage render(KTBaseViewController *screen, const QString &name)
    {
        QStringList warnings;
        const QString png = QStringLiteral(QEVA_SCREENSHOT_DIR "/transfer/%1.png").arg(name);
        EXPECT_TRUE(PageRenderer::renderScreen(screen, png, &warnings));
        EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
        const QImage image(png);
        EXPECT_EQ(image.size(), PageRenderer::kPhone);
        return image;
    }
};

TEST_F(TransferPagesTest, DuringAndAfterATransfer)
{
    auto *screen = new PlayFilesViewController;
    ASSERT_TRUE(UiKit::shared().navigation().push(new KTBaseViewController));
    ASSERT_TRUE(UiKit::shared().navigation().push(screen));
    const QImage history = render(screen, QStringLiteral("PlayFilesViewController"));

    // A 12 MB video, a third of it written.
    QTemporaryDir dir;
    QFile movie(dir.filePath(QStringLiteral("clip.mov")));
    ASSERT_TRUE(movie.open(QIODevice::WriteOnly));
    movie.write(QByteArray(12 * 1024 * 1024, 'v'));
    movie.close();
    screen->didFinishPickingFile(movie.fileName());
    clock().advance(PlayFilesViewController::kContentDelayMs);
    ASSERT_TRUE(screen->isRunning());
    // A progress step changes the running file's row, and only its bar and size.
    RowListModel *rows = screen->rowModel();
    const int running = rows->indexOf(QStringLiteral("current"), true);
    ASSERT_GE(running, 0);
    QStringList heard;
    QObject::connect(rows, &QAbstractItemModel::dataChanged, rows,
                     [&](const QModelIndex &from, const QModelIndex &to, const QList<int> &roles) {
                         QStringList names;
                         for (int r : roles)
                             names << QString::fromUtf8(rows->roleNames().value(r));
                         names.sort();
                         heard << QStringLiteral("%1-%2 %3").arg(from.row()).arg(to.row()).arg(names.join(','));
                     });
    QObject::connect(rows, &QAbstractItemModel::modelReset, rows, [&] { heard << QStringLiteral("reset"); });
    QObject::connect(rows, &QAbstractItemModel::rowsInserted, rows, [&] { heard << QStringLiteral("insert"); });
    QObject::connect(rows, &QAbstractItemModel::rowsRemoved, rows, [&] { heard << QStringLiteral("remove"); });
    ctx().notices().post(QLatin1String(SendSocket::kFilesLengthNotice),
                         QVariantMap{{QStringLiteral("partialLength"), 4 * 1024 * 1024},
                                     {QStringLiteral("alldataLength"), 12 * 1024}});
    ASSERT_EQ(screen->currentSizeText(), QStringLiteral("4096KB/12288KB"));
    EXPECT_EQ(heard, QStringList{QStringLiteral("%1-%1 progress,sizeText").arg(running)});
    const QVariantMap row = rows->get(running).toMap();
    EXPECT_EQ(row.value(QStringLiteral("sizeText")).toString(), QStringLiteral("4096KB/12288KB"));
    EXPECT_NEAR(row.value(QStringLiteral("progress")).toDouble(), 1.0 / 3, 0.01);
    const QImage during = render(screen, QStringLiteral("PlayFilesViewController_sending"));
    EXPECT_NE(during, history);

    // Finished: on top with a full bar, and the question.
    ctx().notices().post(QLatin1String(SendSocket::kFilesDoneNotice));
    clock().advance(PlayFilesViewController::kAddToListDelayMs);
    ASSERT_TRUE(AlertCenter::shared().hasPending());
    const QImage after = render(screen, QStringLiteral("PlayFilesViewController_sent"));
    EXPECT_NE(after, during);

    // Ticked rows.
    AlertCenter::shared().answer(1);
    screen->clickButtonAction();
    render(screen, QStringLiteral("PlayFilesViewController_selected"));
}

} // namespace
