// Two clients on one dataBase.db at the same time, as two processes: each
// records servers through discovery's step, half of them the same servers.
// Nothing may be lost to a lock the other holds, and no server may be
// stored twice because both checked before either inserted.
#include "../discovery/announcement.h"
#include "screens/discovery/scandeviceviewcontroller.h"
#include "store/fmmanager.h"
#include "store/sqlitedatabase.h"
#include "support/testcontext.h"

#include <QCoreApplication>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

constexpr int kShared = 400; // recorded by both clients
constexpr int kOwn = 400;    // by one of them

QString userId(int n)
{
    return QStringLiteral("%1").arg(0x20000000 + n, 8, 16, QLatin1Char('0'));
}

// One client, run by the test below in a process of its own.
TEST(SharedStoreClient, RecordsItsServers)
{
    const QString dir = qEnvironmentVariable("QEVA_SHARED_STORE");
    const int client = qEnvironmentVariableIntValue("QEVA_SHARED_STORE_CLIENT");
    if (dir.isEmpty())
        GTEST_SKIP() << "runs only as one of two clients";
    ContextConfig c = loopbackConfig(dir);
    c.preferencesFile = dir + QStringLiteral("/preferences-%1.ini").arg(client);
    AppContext ctx(c);
    // Not shown: its appearance would empty the table the other one fills.
    ScanDeviceViewController scan;

    QList<int> servers;
    for (int i = 0; i < kShared; ++i)
        servers << i;
    for (int i = 0; i < kOwn; ++i)
        servers << kShared + client * kOwn + i;
    std::shuffle(servers.begin(), servers.end(), *QRandomGenerator::global());
    for (int n : servers) {
        Announcement a;
        a.userId = userId(n);
        a.name = QByteArray("server-") + QByteArray::number(n);
        scan.getInitShebeiInfoWitShebeiHexString(a.hex(), QStringLiteral("127.0.0.2"));
    }
    EXPECT_FALSE(ctx.log().containsPrefix(QStringLiteral("SQLite: "))) << ctx.log().lines().join('\n').toStdString();
}

TEST(SharedStore, TwoClientsOnOneFileLoseNothingAndStoreNothingTwice)
{
    if (!qEnvironmentVariableIsEmpty("QEVA_SHARED_STORE"))
        GTEST_SKIP();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        // The file and its tables exist before the two start.
        AppContext ctx(loopbackConfig(dir.path()));
        FMManager::sharedManagerInstance();
    }

    QProcess clients[2];
    for (int i = 0; i < 2; ++i) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QEVA_SHARED_STORE"), dir.path());
        env.insert(QStringLiteral("QEVA_SHARED_STORE_CLIENT"), QString::number(i));
        clients[i].setProcessEnvironment(env);
        clients[i].setProcessChannelMode(QProcess::MergedChannels);
        clients[i].start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=SharedStoreClient.*")});
    }
    for (QProcess &p : clients) {
        ASSERT_TRUE(p.waitForFinished(120000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAll().toStdString();
    }

    SqliteDatabase raw(dir.filePath(QStringLiteral("dataBase.db")));
    ASSERT_TRUE(raw.open());
    QHash<QString, int> stored;
    std::optional<SqliteRows> rows = raw.executeQuery(QStringLiteral("SELECT userId FROM UserInfo"));
    ASSERT_TRUE(rows);
    while (rows->next())
        ++stored[rows->stringForColumn(QStringLiteral("userId"))];
    int missing = 0, twice = 0;
    for (int n = 0; n < kShared + 2 * kOwn; ++n) {
        const int count = stored.value(userId(n));
        missing += count == 0;
        twice += count > 1;
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(twice, 0);
    EXPECT_EQ(stored.size(), kShared + 2 * kOwn);
}

} // namespace
