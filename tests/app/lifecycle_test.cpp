// The phone's lifecycle on a desktop: quitting and minimising resign,
// restoring comes back, a run that never resigned leaves nothing for the next.
#include "app/appdelegate.h"
#include "net/udpsocketcontroller.h"
#include "store/fmmanager.h"
#include "support/testcontext.h"
#include "ui/popupcenter.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

namespace {

class LifecycleTest : public ContextTest
{
protected:
    AppDelegate &delegate() { return AppDelegate::shareAppDelegate(); }
    static bool addFileRecord(const QString &name = QStringLiteral("a.jpg"))
    {
        return FMManager::sharedManagerInstance().insertObjectByDeviceWindowIDHex(
            "01", "0000abcd", name, "01", "0000000000000003", "1", QByteArray("abc"), "0", "0");
    }
    static int fileRecords() { return int(FMManager::sharedManagerInstance().selectAllFilesTransInfoWithDeviceID({}, {}).size()); }
    static bool receiving() { return UdpSocketController::shareInstance().isServerReceiving(); }
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
    static QGuiApplication *app() { return qobject_cast<QGuiApplication *>(QCoreApplication::instance()); }
};

TEST_F(LifecycleTest, HistoryOfARunThatEndedWithoutResigningIsGoneAtTheNextLaunch)
{
    // The first run stores history and ends as a crash or a kill would end
    // it: nothing resigns.
    ASSERT_TRUE(addFileRecord(QStringLiteral("a.jpg")));
    ASSERT_TRUE(addFileRecord(QStringLiteral("b.mov")));
    const ContextConfig config = ctx().config();
    m_ctx.reset();

    m_ctx = std::make_unique<AppContext>(config);
    ASSERT_EQ(fileRecords(), 2) << "the file keeps what the first run wrote";
    delegate().didFinishLaunching();
    EXPECT_EQ(fileRecords(), 0);
    EXPECT_TRUE(receiving());
}

TEST_F(LifecycleTest, QuittingResignsOnce)
{
    ASSERT_TRUE(app());
    delegate().didFinishLaunching();
    delegate().attachTo(app());
    ASSERT_TRUE(addFileRecord());

    // The way the app quits: its event loop ends.
    QTimer::singleShot(0, app(), &QCoreApplication::quit);
    app()->exec();

    EXPECT_TRUE(delegate().isResigned());
    EXPECT_EQ(fileRecords(), 0);
    EXPECT_FALSE(receiving());

    // Resigning twice would close an endpoint that a later start opened.
    UdpSocketController::shareInstance().startUdpServer();
    QTimer::singleShot(0, app(), &QCoreApplication::quit);
    app()->exec();
    EXPECT_TRUE(receiving());
}

TEST_F(LifecycleTest, MinimisingResignsRestoringComesBackAndFocusAloneDoesNothing)
{
    ASSERT_TRUE(app());
    delegate().didFinishLaunching();
    delegate().attachTo(app());
    QWindow window;
    window.show();
    settle();
    ASSERT_TRUE(addFileRecord());

    // Focus moving to another program: the window stays, so does everything.
    Q_EMIT app()->applicationStateChanged(Qt::ApplicationInactive);
    settle();
    EXPECT_FALSE(delegate().isResigned());
    EXPECT_EQ(fileRecords(), 1);
    EXPECT_TRUE(receiving());

    window.showMinimized();
    settle();
    EXPECT_TRUE(delegate().isResigned());
    EXPECT_EQ(fileRecords(), 0);
    EXPECT_FALSE(receiving());

    // Becoming inactive while away changes nothing either.
    Q_EMIT app()->applicationStateChanged(Qt::ApplicationInactive);
    settle();
    EXPECT_FALSE(receiving());

    window.showNormal();
    settle();
    EXPECT_FALSE(delegate().isResigned());
    EXPECT_TRUE(receiving());
    EXPECT_TRUE(PopupCenter::shared().wasShown(PopupCenter::Progress, QStringLiteral("连接中...")));

    // The platform's own "active" that follows the restore is no second return.
    PopupCenter::shared().clearHistory();
    Q_EMIT app()->applicationStateChanged(Qt::ApplicationActive);
    settle();
    EXPECT_TRUE(PopupCenter::shared().history().isEmpty());

    // Hiding the only window is leaving too.
    window.hide();
    settle();
    EXPECT_TRUE(delegate().isResigned());
    EXPECT_FALSE(receiving());
}

TEST_F(LifecycleTest, NoWindowYetIsStartingNotLeaving)
{
    ASSERT_TRUE(app());
    delegate().didFinishLaunching();
    delegate().attachTo(app());
    ASSERT_TRUE(addFileRecord());
    QWindow hidden; // created, never shown
    hidden.create();
    delegate().windowsChanged();
    settle();
    EXPECT_FALSE(delegate().isResigned());
    EXPECT_EQ(fileRecords(), 1);
}

} // namespace
