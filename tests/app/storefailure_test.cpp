// A dataBase.db that cannot be used: the app says so once and goes on
// without it, from discovery to an unlocked server.
#include "../discovery/announcement.h"
#include "app/appdelegate.h"
#include "net/replyrouter.h"
#include "screens/discovery/homeviewcontroller.h"
#include "screens/discovery/scandeviceviewcontroller.h"
#include "store/fmmanager.h"
#include "store/sqlitedatabase.h"
#include "support/testcontext.h"
#include "ui/alertcenter.h"
#include "ui/uikit.h"

#include <QDir>
#include <QFile>

namespace {

enum class Fault { CannotOpen, NotADatabase };

class StoreFailureTest : public ContextTest, public ::testing::WithParamInterface<Fault>
{
protected:
    void configure(ContextConfig &c) override
    {
        if (GetParam() == Fault::CannotOpen) {
            // The documents folder lies below a plain file.
            QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
            c.documentsDir = blocker.fileName() + QStringLiteral("/Documents");
        } else {
            QFile garbage(QDir(c.documentsDir).filePath(QStringLiteral("dataBase.db")));
            ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
            garbage.write(QByteArray(8192, '\x5a'));
        }
    }
    AlertCenter &alerts() { return UiKit::shared().alerts(); }
};

TEST_P(StoreFailureTest, TheAppSaysSoOnceAndGoesOnWithoutTheFile)
{
    AppDelegate::shareAppDelegate().didFinishLaunching();
    FMManager &store = FMManager::sharedManagerInstance();
    EXPECT_TRUE(store.isInMemory());
    ASSERT_EQ(alerts().queuedCount(), 1);
    EXPECT_EQ(alerts().title(), QStringLiteral("本地数据库无法写入"));
    // SQLite's own reason is in the log, with the statement that met it.
    EXPECT_TRUE(ctx().log().containsPrefix(QStringLiteral("SQLite: ")));
    EXPECT_TRUE(ctx().log().containsPrefix(QStringLiteral("dataBase.db cannot be used: ")));

    // Discovery records and lists servers as before.
    auto *scan = new ScanDeviceViewController;
    scan->setUserName(QStringLiteral("tester"));
    UiKit::shared().navigation().push(scan);
    Announcement a;
    ReplyRouter::shared().route(a.bytes(), QStringLiteral("127.0.0.2"));
    a.userId = QStringLiteral("0000beef");
    a.name = QByteArrayLiteral("Beta");
    ReplyRouter::shared().route(a.bytes(), QStringLiteral("127.0.0.3"));
    ASSERT_EQ(scan->deviceCount(), 2);
    EXPECT_EQ(scan->messageText(), QStringLiteral("已扫描到2台设备，正在继续扫描，请稍候..."));

    // The server list unlocks a server with its password.
    auto *home = new HomeViewController(scan->dataSource());
    UiKit::shared().navigation().push(home);
    home->tapAction(1);
    home->setPasswordText(QStringLiteral("468"));
    home->passwordCheck();
    ASSERT_EQ(home->devices().size(), 2);
    EXPECT_EQ(home->devices().at(1).deviceInfo1, "1");
    EXPECT_EQ(home->treeOpenArray(), QStringList{"1"});

    // Said once: more work on the store adds no second alert.
    ReplyRouter::shared().route(Announcement().bytes(), QStringLiteral("127.0.0.2"));
    store.DeleteAllSendFiles();
    EXPECT_EQ(alerts().queuedCount(), 1);
    EXPECT_TRUE(alerts().answer(0));
    EXPECT_FALSE(alerts().hasPending());
}

INSTANTIATE_TEST_SUITE_P(Faults, StoreFailureTest, ::testing::Values(Fault::CannotOpen, Fault::NotADatabase));

class HealthyStoreTest : public ContextTest {};

TEST_F(HealthyStoreTest, AWorkingFileIsNeitherReplacedNorReported)
{
    AppDelegate::shareAppDelegate().didFinishLaunching();
    EXPECT_FALSE(FMManager::sharedManagerInstance().isInMemory());
    EXPECT_FALSE(UiKit::shared().alerts().hasPending());
    EXPECT_FALSE(ctx().log().containsPrefix(QStringLiteral("SQLite: ")));
}

} // namespace
