// The local database. Every test runs on its own temporary
// documents folder (ContextTest) and looks at the file with a connection of
// its own, so that what the store wrote is checked independently of how the
// store reads it.

#include "store/fmmanager.h"
#include "store/sqlitedatabase.h"
#include "support/testcontext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <atomic>

namespace {

const QString kCreateUserInfo = QStringLiteral(
    "CREATE TABLE UserInfo (_id INTEGER PRIMARY KEY AUTOINCREMENT, UserName TEXT, deviceName TEXT, devicePassword TEXT, deviceWindowHex TEXT,deviceWindowNum TEXT,deviceIp TEXT,userId TEXT,deviceInfo1 TEXT,deviceInfo2 TEXT, deviceInfo3 TEXT)");
const QString kCreateDeviceNormalInfo = QStringLiteral(
    "CREATE TABLE DeviceNormalInfo (_id INTEGER PRIMARY KEY AUTOINCREMENT, deviceWindowIDHex TEXT, deviceIp TEXT, playType TEXT,playIndex TEXT, playYinliang TEXT,deviceInfo1 TEXT,deviceInfo2 TEXT, deviceInfo3 TEXT)");
const QString kCreateFilesTransInfo = QStringLiteral(
    "CREATE TABLE FilesTransInfo (_id INTEGER PRIMARY KEY AUTOINCREMENT, deviceWindowIDHex TEXT, deviceID TEXT, filesName TEXT,filesType TEXT, filesSize TEXT,filesIsFinish TEXT,deviceInfo1 Data,deviceInfo2 TEXT, deviceInfo3 TEXT)");

const QString kOpenFailed = QStringLiteral("Could not open dataBase.db");
const QString kUserInfoFailed = QStringLiteral("创建用户信息表错误。");
const QString kDeviceNormalInfoFailed = QStringLiteral("创建设备初始信息表错误。");
const QString kFilesTransInfoFailed = QStringLiteral("创建文件传输信息表错误。");

// A second, independent look at dataBase.db.
class RawDb
{
public:
    explicit RawDb(const QString &path)
        : m_name(QStringLiteral("raw.%1").arg(++s_serial))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        m_ok = db.open();
    }
    ~RawDb()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    bool ok() const { return m_ok; }

    bool exec(const QString &sql, const QVariantList &args = {})
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        if (!q.prepare(sql))
            return false;
        for (const QVariant &a : args)
            q.addBindValue(a);
        return q.exec();
    }
    // Every row of a query, each as a list of its column values.
    QList<QVariantList> rows(const QString &sql, const QVariantList &args = {})
    {
        QList<QVariantList> out;
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        if (!q.prepare(sql))
            return out;
        for (const QVariant &a : args)
            q.addBindValue(a);
        if (!q.exec())
            return out;
        while (q.next()) {
            QVariantList r;
            for (int i = 0; i < q.record().count(); ++i)
                r << q.value(i);
            out << r;
        }
        return out;
    }
    QVariant scalar(const QString &sql, const QVariantList &args = {})
    {
        const QList<QVariantList> r = rows(sql, args);
        return r.isEmpty() || r.first().isEmpty() ? QVariant() : r.first().first();
    }
    QString schemaOf(const QString &table)
    {
        return scalar(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?"), {table})
            .toString();
    }
    int count(const QString &table) { return scalar(QStringLiteral("SELECT count(*) FROM ") + table).toInt(); }

private:
    static inline std::atomic<int> s_serial{0};
    QString m_name;
    bool m_ok = false;
};

class FMManagerTest : public ContextTest
{
protected:
    QString dbPath() const { return QDir(m_ctx->config().documentsDir).filePath(QStringLiteral("dataBase.db")); }
    FMManager &fm() { return FMManager::sharedManagerInstance(); }
    QString lastSql() { return fm().db()->lastStatement(); }

    // A UserInfo row as discovery writes it.
    bool addDevice(const QString &name, const QString &userId, const QString &windowHex = QStringLiteral("01"),
                   const QString &ip = QStringLiteral("127.0.0.2"))
    {
        return fm().insertObjectByUserName(QStringLiteral("Default"), name, QStringLiteral("888888"), windowHex,
                                           QString::number(windowHex.toInt(nullptr, 16)), ip, userId,
                                           QStringLiteral("0"), QStringLiteral("01000000"), QStringLiteral("0"));
    }
    bool addFile(const QString &deviceId, const QString &window, const QString &name,
                 const QByteArray &content = QByteArray("\xff\xd8\xff\x00\x01", 5))
    {
        return fm().insertObjectByDeviceWindowIDHex(window, deviceId, name, QStringLiteral("01"),
                                                    QStringLiteral("%1").arg(content.size(), 16, 16, QLatin1Char('0')),
                                                    QStringLiteral("0"), content, QStringLiteral("0"),
                                                    QStringLiteral("0"));
    }
};

void expectAllAbsent(const DeviceInfo &d)
{
    EXPECT_TRUE(d.userName.isNull());
    EXPECT_TRUE(d.deviceName.isNull());
    EXPECT_TRUE(d.devicePassword.isNull());
    EXPECT_TRUE(d.deviceWindowHex.isNull());
    EXPECT_TRUE(d.deviceWindowNum.isNull());
    EXPECT_TRUE(d.deviceIp.isNull());
    EXPECT_TRUE(d.userId.isNull());
    EXPECT_TRUE(d.deviceInfo1.isNull());
    EXPECT_TRUE(d.deviceInfo2.isNull());
    EXPECT_TRUE(d.deviceInfo3.isNull());
}

void expectAllAbsent(const DeviceNormalInfo &d)
{
    EXPECT_TRUE(d.deviceWindowIDHex.isNull());
    EXPECT_TRUE(d.deviceIp.isNull());
    EXPECT_TRUE(d.playType.isNull());
    EXPECT_TRUE(d.playIndex.isNull());
    EXPECT_TRUE(d.playYinliang.isNull());
    EXPECT_TRUE(d.deviceInfo1.isNull());
    EXPECT_TRUE(d.deviceInfo2.isNull());
    EXPECT_TRUE(d.deviceInfo3.isNull());
}

} // namespace

// --- creation --------------------------------------------------------------

TEST_F(FMManagerTest, FreshInstallCreatesTheThreeTablesWithTheExactStatements)
{
    ASSERT_FALSE(QFile::exists(dbPath()));
    FMManager &m = fm();
    EXPECT_TRUE(QFile::exists(dbPath()));
    EXPECT_EQ(m.db()->path(), dbPath());

    RawDb raw(dbPath());
    ASSERT_TRUE(raw.ok());
    EXPECT_EQ(raw.schemaOf(QStringLiteral("UserInfo")), kCreateUserInfo);
    EXPECT_EQ(raw.schemaOf(QStringLiteral("DeviceNormalInfo")), kCreateDeviceNormalInfo);
    EXPECT_EQ(raw.schemaOf(QStringLiteral("FilesTransInfo")), kCreateFilesTransInfo);
    // No index, no other table than SQLite's own AUTOINCREMENT bookkeeping.
    EXPECT_EQ(raw.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index'")).toInt(), 0);
    EXPECT_EQ(raw.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name NOT IN "
                                        "('UserInfo','DeviceNormalInfo','FilesTransInfo','sqlite_sequence')"))
                  .toInt(),
              0);
    EXPECT_FALSE(ctx().log().contains(kOpenFailed));
    EXPECT_FALSE(ctx().log().contains(kUserInfoFailed));
    EXPECT_FALSE(ctx().log().contains(kDeviceNormalInfoFailed));
    EXPECT_FALSE(ctx().log().contains(kFilesTransInfoFailed));
}

TEST_F(FMManagerTest, OneInstancePerContext)
{
    FMManager &a = FMManager::sharedManagerInstance();
    EXPECT_EQ(&a, &FMManager::sharedManagerInstance());
    EXPECT_EQ(&a, &ctx().shared<FMManager>());
}

TEST_F(FMManagerTest, SecondStartFindsTheTablesAndCreatesNothing)
{
    ASSERT_TRUE(addDevice(QStringLiteral("客厅"), QStringLiteral("0a0b0c0d")));
    ASSERT_TRUE(fm().insertObjectByDeviceWindowIDHex(QStringLiteral("01"), QStringLiteral("127.0.0.2"),
                                                     QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("0"),
                                                     QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")));
    ASSERT_TRUE(addFile(QStringLiteral("0a0b0c0d"), QStringLiteral("01"), QStringLiteral("a.jpg")));

    const ContextConfig config = ctx().config();
    m_ctx.reset();
    m_ctx = std::make_unique<AppContext>(config);

    FMManager &again = fm();
    EXPECT_TRUE(ctx().log().lines().isEmpty()) << ctx().log().lines().join(u'\n').toStdString();
    // The rows written before are still there: nothing was dropped or re-made.
    ASSERT_EQ(again.selectAllUserInfoDatas().size(), 1);
    EXPECT_EQ(again.selectAllUserInfoDatas().first().deviceName, QStringLiteral("客厅"));
    EXPECT_TRUE(again.selectDeviceNormalInfoisExistWithDeviceIp(QStringLiteral("127.0.0.2")));
    EXPECT_EQ(again.selectAllFilesTransInfoWithDeviceID(QString(), QString()).size(), 1);
    RawDb raw(dbPath());
    EXPECT_EQ(raw.schemaOf(QStringLiteral("UserInfo")), kCreateUserInfo);
}

TEST_F(FMManagerTest, AnExistingTableIsNeverAlteredWhateverTheCaseOfItsName)
{
    {
        RawDb raw(dbPath());
        ASSERT_TRUE(raw.ok());
        ASSERT_TRUE(raw.exec(QStringLiteral("CREATE TABLE userinfo (x TEXT)")));
        ASSERT_TRUE(raw.exec(QStringLiteral("INSERT INTO userinfo (x) VALUES ('kept')")));
    }
    fm();
    RawDb raw(dbPath());
    EXPECT_EQ(raw.schemaOf(QStringLiteral("userinfo")), QStringLiteral("CREATE TABLE userinfo (x TEXT)"));
    EXPECT_EQ(raw.scalar(QStringLiteral("SELECT x FROM userinfo")).toString(), QStringLiteral("kept"));
    EXPECT_EQ(raw.schemaOf(QStringLiteral("DeviceNormalInfo")), kCreateDeviceNormalInfo);
    EXPECT_EQ(raw.schemaOf(QStringLiteral("FilesTransInfo")), kCreateFilesTransInfo);
    EXPECT_TRUE(ctx().log().lines().isEmpty());
}

TEST_F(FMManagerTest, EachCreationFailureIsLoggedAndDoesNotSkipTheNextStep)
{
    {
        // Views are not tables: the check finds nothing, and CREATE TABLE then
        // fails on the name that is taken.
        RawDb raw(dbPath());
        ASSERT_TRUE(raw.ok());
        ASSERT_TRUE(raw.exec(QStringLiteral("CREATE VIEW UserInfo AS SELECT 1 AS one")));
        ASSERT_TRUE(raw.exec(QStringLiteral("CREATE VIEW FilesTransInfo AS SELECT 1 AS one")));
    }
    FMManager &m = fm();
    EXPECT_TRUE(ctx().log().contains(kUserInfoFailed));
    EXPECT_FALSE(ctx().log().contains(kDeviceNormalInfoFailed));
    EXPECT_TRUE(ctx().log().contains(kFilesTransInfoFailed));
    EXPECT_FALSE(ctx().log().contains(kOpenFailed));

    RawDb raw(dbPath());
    EXPECT_EQ(raw.schemaOf(QStringLiteral("DeviceNormalInfo")), kCreateDeviceNormalInfo);
    // The instance works for the table it has; SQLite rejects the others.
    EXPECT_TRUE(m.insertObjectByDeviceWindowIDHex(QStringLiteral("01"), QStringLiteral("127.0.0.2"),
                                                  QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0"),
                                                  QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")));
    EXPECT_FALSE(addDevice(QStringLiteral("x"), QStringLiteral("00000001")));
    EXPECT_FALSE(m.DeleteAllSendFiles());
    // A failed query is not "nothing" once the database is open.
    std::optional<DeviceInfo> d = m.selectUserInfoWithDeviceName(QStringLiteral("x"));
    ASSERT_TRUE(d.has_value());
    expectAllAbsent(*d);
}

class FMManagerOpenFailureTest : public FMManagerTest
{
protected:
    void configure(ContextConfig &c) override
    {
        // The documents folder lies below a plain file: it cannot be created,
        // so the database cannot be opened.
        m_blocker = m_dir.filePath(QStringLiteral("blocker"));
        QFile f(m_blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        c.documentsDir = m_blocker + QStringLiteral("/Documents");
    }
    QString m_blocker;
};

TEST_F(FMManagerOpenFailureTest, OpenFailureIsLoggedAndEveryOperationReportsFailure)
{
    FMManager &m = fm();
    EXPECT_TRUE(ctx().log().contains(kOpenFailed));
    EXPECT_FALSE(ctx().log().contains(kUserInfoFailed));
    EXPECT_NE(m.db(), nullptr); // the instance exists all the same

    EXPECT_FALSE(addDevice(QStringLiteral("a"), QStringLiteral("00000001")));
    EXPECT_FALSE(m.updateUserInfoByUserName(QStringLiteral("Default"), {}, {}, {}, QStringLiteral("1"), {}, {}, {}));
    EXPECT_FALSE(m.selectDeviceInfoWith(QStringLiteral("00000001")));
    EXPECT_FALSE(m.selectDeviceInfoWith(QStringLiteral("00000001"), QStringLiteral("01")));
    EXPECT_FALSE(m.updateDeviceIsLoginByDeviceName(QStringLiteral("a"), QStringLiteral("1")));
    EXPECT_FALSE(m.selectUserInfoWithDeviceName(QStringLiteral("a")).has_value());
    EXPECT_FALSE(m.DeleteUserInfo());
    EXPECT_TRUE(m.selectAllUserInfoDatas().isEmpty());
    EXPECT_FALSE(m.insertObjectByDeviceWindowIDHex(QStringLiteral("01"), QStringLiteral("ip"), QStringLiteral("0"),
                                                   QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                                                   QStringLiteral("0"), QStringLiteral("0")));
    EXPECT_FALSE(m.updateDeviceNormalInfoByDeviceWindowIDHex(QStringLiteral("01"), QStringLiteral("ip"),
                                                             QStringLiteral("0"), QStringLiteral("0"), QString()));
    EXPECT_FALSE(m.selectDeviceNormalInfoisExistWithDeviceIp(QStringLiteral("ip")));
    EXPECT_FALSE(m.selectDeviceNormalInfoisExistWithDeviceIp(QStringLiteral("ip"), QStringLiteral("01")));
    EXPECT_FALSE(m.selectDeviceNormalInfoWithDeviceIp(QStringLiteral("ip"), QStringLiteral("01")).has_value());
    EXPECT_FALSE(m.DeviceNormalInfo());
    EXPECT_FALSE(addFile(QStringLiteral("00000001"), QStringLiteral("01"), QStringLiteral("a.jpg")));
    EXPECT_FALSE(m.updateFilesTransInfoByDeviceWindowIDHex(QStringLiteral("01"), QStringLiteral("00000001"),
                                                           QStringLiteral("a.jpg"), QStringLiteral("1")));
    EXPECT_TRUE(m.selectAllFilesTransInfoWithDeviceID(QStringLiteral("00000001"), QStringLiteral("01")).isEmpty());
    EXPECT_FALSE(m.DeleteSingleFilesInfoWithDeviceID(QStringLiteral("00000001"), QStringLiteral("01"),
                                                     QStringLiteral("a.jpg")));
    EXPECT_FALSE(m.DeleteAllSendFiles());
}

TEST_F(FMManagerOpenFailureTest, EveryLaterOperationTriesToOpenAgain)
{
    FMManager &m = fm();
    ASSERT_TRUE(ctx().log().contains(kOpenFailed));
    EXPECT_FALSE(m.selectUserInfoWithDeviceName(QStringLiteral("a")).has_value());

    ASSERT_TRUE(QFile::remove(m_blocker));
    ASSERT_TRUE(QDir().mkpath(ctx().config().documentsDir));
    // Now the file opens; the tables were never made, so the statement itself
    // fails, but a single-record read is no longer "nothing".
    std::optional<DeviceInfo> d = m.selectUserInfoWithDeviceName(QStringLiteral("a"));
    ASSERT_TRUE(d.has_value());
    expectAllAbsent(*d);
    EXPECT_FALSE(m.DeleteUserInfo());
    EXPECT_TRUE(QFile::exists(dbPath()));
}

TEST_F(FMManagerTest, WithoutAHandleEveryOperationReportsFailure)
{
    FMManager &m = fm();
    ASSERT_TRUE(addDevice(QStringLiteral("a"), QStringLiteral("00000001")));
    m.setDb(nullptr);
    EXPECT_EQ(m.db(), nullptr);
    m.closeDatabase(); // nothing to close, no crash
    EXPECT_FALSE(addDevice(QStringLiteral("a"), QStringLiteral("00000001")));
    EXPECT_FALSE(m.selectDeviceInfoWith(QStringLiteral("00000001")));
    EXPECT_FALSE(m.selectUserInfoWithDeviceName(QStringLiteral("a")).has_value());
    EXPECT_TRUE(m.selectAllUserInfoDatas().isEmpty());
    EXPECT_FALSE(m.selectDeviceNormalInfoWithDeviceIp(QStringLiteral("ip"), QStringLiteral("01")).has_value());
    EXPECT_FALSE(m.DeviceNormalInfo());
    EXPECT_TRUE(m.selectAllFilesTransInfoWithDeviceID({}, {}).isEmpty());
    EXPECT_FALSE(m.DeleteAllSendFiles());

    m.setDb(std::make_unique<SqliteDatabase>(dbPath()));
    EXPECT_TRUE(m.selectDeviceInfoWith(QStringLiteral("00000001")));
}

TEST_F(FMManagerTest, ClosingTheHandleLosesNothing)
{
    FMManager &m = fm();
    ASSERT_TRUE(addDevice(QStringLiteral("a"), QStringLiteral("00000001")));
    m.closeDatabase();
    EXPECT_FALSE(m.db()->isOpen());
    EXPECT_TRUE(m.selectDeviceInfoWith(QStringLiteral("00000001")));
    m.closeDatabase();
    m.closeDatabase();
    EXPECT_TRUE(addDevice(QStringLiteral("b"), QStringLiteral("00000002")));
    EXPECT_EQ(m.selectAllUserInfoDatas().size(), 2);
}

// The descriptors of this process that point at the file.
static int openDescriptorsOf(const QString &path)
{
    int n = 0;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    for (const QFileInfo &fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::Files | QDir::System))
        if (!canonical.isEmpty() && fd.symLinkTarget() == canonical)
            ++n;
    return n;
}

TEST_F(FMManagerTest, ManyContextsInOneProcessUseTheirOwnHandlesAndCloseThem)
{
    ASSERT_TRUE(addDevice(QStringLiteral("outer"), QStringLiteral("00000001")));
    SqliteDatabase *outerHandle = fm().db();
    QString innerPath;
    {
        QTemporaryDir otherDir;
        ASSERT_TRUE(otherDir.isValid());
        AppContext inner(loopbackConfig(otherDir.path()));
        FMManager &innerFm = FMManager::sharedManagerInstance();
        EXPECT_NE(innerFm.db(), outerHandle);
        innerPath = innerFm.db()->path();
        EXPECT_NE(innerPath, dbPath());
        EXPECT_TRUE(innerFm.selectAllUserInfoDatas().isEmpty());
        EXPECT_TRUE(innerFm.insertObjectByUserName(QStringLiteral("Default"), QStringLiteral("inner"), {}, {}, {}, {},
                                                   QStringLiteral("00000002"), {}, {}, {}));
        // A bare instance beside the shared one, on the same file, sees its writes.
        FMManager bare(inner);
        EXPECT_NE(bare.db(), innerFm.db());
        ASSERT_EQ(bare.selectAllUserInfoDatas().size(), 1);
        EXPECT_EQ(bare.selectAllUserInfoDatas().first().deviceName, QStringLiteral("inner"));
        EXPECT_GE(openDescriptorsOf(innerPath), 1);
    }
    // The outer context is current again and saw nothing of the inner one.
    ASSERT_EQ(fm().selectAllUserInfoDatas().size(), 1);
    EXPECT_EQ(fm().selectAllUserInfoDatas().first().deviceName, QStringLiteral("outer"));
    EXPECT_GE(openDescriptorsOf(dbPath()), 1);

    // The store closes its handle when its context goes.
    const QString path = dbPath();
    m_ctx.reset();
    EXPECT_EQ(openDescriptorsOf(path), 0);
}

// --- statements ------------------------------------------------------------

TEST_F(FMManagerTest, EveryOperationRunsItsExactStatement)
{
    FMManager &m = fm();
    const QString a = QStringLiteral("a");

    m.insertObjectByUserName(a, a, a, a, a, a, a, a, a, a);
    EXPECT_EQ(lastSql(), QStringLiteral("INSERT INTO UserInfo (UserName, deviceName, devicePassword,deviceWindowHex, deviceWindowNum, deviceIp, userId,deviceInfo1,deviceInfo2,deviceInfo3) VALUES (?,?,?,?,?,?,?,?,?,?)"));
    m.updateUserInfoByUserName(a, a, a, a, a, a, a, a);
    EXPECT_EQ(lastSql(), QStringLiteral("UPDATE UserInfo SET UserName = ?,devicePassword = ?,deviceWindowHex = ?,deviceWindowNum = ?,deviceName = ?,deviceInfo1 = ?,deviceInfo2 = ? where userId = ?"));
    m.selectDeviceInfoWith(a);
    EXPECT_EQ(lastSql(), QStringLiteral("SELECT * FROM UserInfo where userId = ?"));
    m.selectDeviceInfoWith(a, a);
    EXPECT_EQ(lastSql(), QStringLiteral("SELECT * FROM UserInfo where userId = ? and deviceWindowHex = ?"));
    m.updateDeviceIsLoginByDeviceName(a, a);
    EXPECT_EQ(lastSql(), QStringLiteral("UPDATE UserInfo SET deviceInfo1= ? where deviceName = ?"));
    m.selectUserInfoWithDeviceName(a);
    EXPECT_EQ(lastSql(), QStringLiteral("SELECT * FROM UserInfo where deviceName = ?"));
    m.DeleteUserInfo();
    EXPECT_EQ(lastSql(), QStringLiteral("delete  FROM UserInfo"));
    m.selectAllUserInfoDatas();
    EXPECT_EQ(lastSql(), QStringLiteral("SELECT * FROM UserInfo"));

    m.insertObjectByDeviceWindowIDHex(a, a, a, a, a, a, a, a);
    EXPECT_EQ(lastSql(), QStringLiteral("INSERT INTO DeviceNormalInfo (deviceWindowIDHex, deviceIp, playType,playIndex, playYinliang,deviceInfo1,deviceInfo2,deviceInfo3) VALUES (?,?,?,?,?,?,?,?)"));
    m.updateDeviceNormalInfoByDeviceWindowIDHex(a, a, a, a, a);
    EXPECT_EQ(lastSql(), QStringLiteral("UPDATE DeviceNormalInfo SET deviceWindowIDHex = ?,playType = ?,playIndex = ?,playYinliang = ?where deviceIp = ?"));
    m.selectDeviceNormalInfoisExistWithDeviceIp(a);
    EXPECT_EQ(lastSql(), QStringLiteral("SELECT * FROM DeviceNormalInfo where deviceIp = ?"));
    m.selectDeviceNormalInfoisExistWithDeviceIp(a, a);
    EXPECT_EQ(lastSql(), QStringLiteral("SELECT * FROM DeviceNormalInfo where deviceIp = ? AND deviceWindowIDHex = ?"));
    m.selectDeviceNormalInfoWithDeviceIp(a, a);
    EXPECT_EQ(lastSql(), QStringLiteral("SELECT * FROM DeviceNormalInfo where deviceIp = ? AND deviceWindowIDHex = ?"));
    m.DeviceNormalInfo();
    EXPECT_EQ(lastSql(), QStringLiteral("delete  FROM DeviceNormalInfo"));

    m.insertObjectByDeviceWindowIDHex(a, a, a, a, a, a, QByteArray("x"), a, a);
    EXPECT_EQ(lastSql(), QStringLiteral("INSERT INTO FilesTransInfo (deviceWindowIDHex, deviceID, filesName,filesType, filesSize,filesIsFinish,deviceInfo1,deviceInfo2,deviceInfo3) VALUES (?,?,?,?,?,?,?,?,?)"));
    m.updateFilesTransInfoByDeviceWindowIDHex(a, a, a, a);
    EXPECT_EQ(lastSql(), QStringLiteral("UPDATE FilesTransInfo SET filesIsFinish = ? where deviceID = ? AND deviceWindowIDHex = ? AND filesName = ?"));
    m.selectAllFilesTransInfoWithDeviceID(a, a);
    EXPECT_EQ(lastSql(), QStringLiteral("SELECT * FROM FilesTransInfo"));
    m.DeleteSingleFilesInfoWithDeviceID(a, a, a);
    EXPECT_EQ(lastSql(), QStringLiteral("delete  FROM FilesTransInfo where deviceID = ? AND deviceWindowIDHex = ? AND filesName = ?"));
    m.DeleteAllSendFiles();
    EXPECT_EQ(lastSql(), QStringLiteral("delete  FROM FilesTransInfo"));
}

// --- UserInfo ---------------------------------------------------------------

TEST_F(FMManagerTest, UserInfoInsertBindsTheTenArgumentsInSelectorOrder)
{
    ASSERT_TRUE(fm().insertObjectByUserName(QStringLiteral("u1"), QStringLiteral("u2"), QStringLiteral("u3"),
                                            QStringLiteral("u4"), QStringLiteral("u5"), QStringLiteral("u6"),
                                            QStringLiteral("u7"), QStringLiteral("u8"), QStringLiteral("u9"),
                                            QStringLiteral("u10")));
    RawDb raw(dbPath());
    const QList<QVariantList> rows = raw.rows(QStringLiteral(
        "SELECT UserName, deviceName, devicePassword, deviceWindowHex, deviceWindowNum, deviceIp, userId, "
        "deviceInfo1, deviceInfo2, deviceInfo3 FROM UserInfo"));
    ASSERT_EQ(rows.size(), 1);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(rows[0][i].toString(), QStringLiteral("u%1").arg(i + 1)) << "column " << i;

    const QList<DeviceInfo> all = fm().selectAllUserInfoDatas();
    ASSERT_EQ(all.size(), 1);
    const DeviceInfo &d = all.first();
    EXPECT_EQ(d.userName, QStringLiteral("u1"));
    EXPECT_EQ(d.deviceName, QStringLiteral("u2"));
    EXPECT_EQ(d.devicePassword, QStringLiteral("u3"));
    EXPECT_EQ(d.deviceWindowHex, QStringLiteral("u4"));
    EXPECT_EQ(d.deviceWindowNum, QStringLiteral("u5"));
    EXPECT_EQ(d.deviceIp, QStringLiteral("u6"));
    EXPECT_EQ(d.userId, QStringLiteral("u7"));
    EXPECT_EQ(d.deviceInfo1, QStringLiteral("u8"));
    EXPECT_EQ(d.deviceInfo2, QStringLiteral("u9"));
    // A UserInfo row fills the first nine fields only.
    EXPECT_TRUE(d.deviceInfo3.isNull());
    EXPECT_EQ(d.currentPlayIndex, 0);
}

TEST_F(FMManagerTest, UserInfoUpdateBindsInTheStatementOrderAndKeysOnUserId)
{
    ASSERT_TRUE(addDevice(QStringLiteral("old"), QStringLiteral("0a0b0c0d")));
    ASSERT_TRUE(addDevice(QStringLiteral("other"), QStringLiteral("11111111")));
    // Arguments in selector order: user name, password, window hex, window
    // num, user id, device name, shebei hex string, login state.
    ASSERT_TRUE(fm().updateUserInfoByUserName(QStringLiteral("Default2"), QStringLiteral("pw"), QStringLiteral("02"),
                                              QStringLiteral("2"), QStringLiteral("0a0b0c0d"), QStringLiteral("new"),
                                              QStringLiteral("0100000002000000"), QStringLiteral("1")));
    RawDb raw(dbPath());
    const QList<QVariantList> rows = raw.rows(QStringLiteral(
        "SELECT UserName, devicePassword, deviceWindowHex, deviceWindowNum, deviceName, deviceInfo1, deviceInfo2, "
        "userId, deviceIp, deviceInfo3 FROM UserInfo ORDER BY _id"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0][0].toString(), QStringLiteral("Default2"));
    EXPECT_EQ(rows[0][1].toString(), QStringLiteral("pw"));
    EXPECT_EQ(rows[0][2].toString(), QStringLiteral("02"));
    EXPECT_EQ(rows[0][3].toString(), QStringLiteral("2"));
    EXPECT_EQ(rows[0][4].toString(), QStringLiteral("new"));
    EXPECT_EQ(rows[0][5].toString(), QStringLiteral("1"));
    EXPECT_EQ(rows[0][6].toString(), QStringLiteral("0100000002000000"));
    EXPECT_EQ(rows[0][7].toString(), QStringLiteral("0a0b0c0d"));
    EXPECT_EQ(rows[0][8].toString(), QStringLiteral("127.0.0.2"));
    EXPECT_EQ(rows[0][9].toString(), QStringLiteral("0"));
    EXPECT_EQ(rows[1][4].toString(), QStringLiteral("other")); // another userId: untouched
    EXPECT_EQ(rows[1][0].toString(), QStringLiteral("Default"));

    // No matching row is not a failure.
    EXPECT_TRUE(fm().updateUserInfoByUserName(QStringLiteral("Default"), {}, {}, {}, QStringLiteral("ffffffff"), {},
                                              {}, QStringLiteral("0")));
    EXPECT_EQ(raw.count(QStringLiteral("UserInfo")), 2);
}

TEST_F(FMManagerTest, UserInfoExistenceChecks)
{
    EXPECT_FALSE(fm().selectDeviceInfoWith(QStringLiteral("0a0b0c0d")));
    ASSERT_TRUE(addDevice(QStringLiteral("d"), QStringLiteral("0a0b0c0d"), QStringLiteral("02")));
    EXPECT_TRUE(fm().selectDeviceInfoWith(QStringLiteral("0a0b0c0d")));
    EXPECT_FALSE(fm().selectDeviceInfoWith(QStringLiteral("0A0B0C0D"))); // text, compared exactly
    EXPECT_TRUE(fm().selectDeviceInfoWith(QStringLiteral("0a0b0c0d"), QStringLiteral("02")));
    EXPECT_FALSE(fm().selectDeviceInfoWith(QStringLiteral("0a0b0c0d"), QStringLiteral("01")));
    EXPECT_FALSE(fm().selectDeviceInfoWith(QStringLiteral("ffffffff"), QStringLiteral("02")));
}

TEST_F(FMManagerTest, LoginStateChangesEveryRowWithThatDeviceName)
{
    ASSERT_TRUE(addDevice(QStringLiteral("same"), QStringLiteral("00000001")));
    ASSERT_TRUE(addDevice(QStringLiteral("other"), QStringLiteral("00000002")));
    ASSERT_TRUE(addDevice(QStringLiteral("same"), QStringLiteral("00000003")));
    ASSERT_TRUE(fm().updateDeviceIsLoginByDeviceName(QStringLiteral("same"), QStringLiteral("1")));
    QStringList states;
    for (const DeviceInfo &d : fm().selectAllUserInfoDatas())
        states << d.deviceInfo1;
    EXPECT_EQ(states, (QStringList{QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1")}));

    ASSERT_TRUE(fm().updateDeviceIsLoginByDeviceName(QStringLiteral("same"), QStringLiteral("0")));
    states.clear();
    for (const DeviceInfo &d : fm().selectAllUserInfoDatas())
        states << d.deviceInfo1;
    EXPECT_EQ(states, (QStringList{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")}));
    EXPECT_TRUE(fm().updateDeviceIsLoginByDeviceName(QStringLiteral("nobody"), QStringLiteral("1")));
}

TEST_F(FMManagerTest, RecordForAnUnknownNameIsEmptyNotMissing)
{
    ASSERT_TRUE(addDevice(QStringLiteral("known"), QStringLiteral("00000001")));
    std::optional<DeviceInfo> d = fm().selectUserInfoWithDeviceName(QStringLiteral("unknown"));
    ASSERT_TRUE(d.has_value());
    expectAllAbsent(*d);
    EXPECT_TRUE(d->isEmpty());
}

TEST_F(FMManagerTest, RecordForADuplicateNameIsTheLaterRow)
{
    ASSERT_TRUE(fm().insertObjectByUserName(QStringLiteral("Default"), QStringLiteral("twin"), QStringLiteral("p1"),
                                            QStringLiteral("01"), QStringLiteral("1"), QStringLiteral("127.0.0.2"),
                                            QStringLiteral("00000001"), QStringLiteral("1"), QStringLiteral("aa"),
                                            QStringLiteral("0")));
    // The later row has NULLs where the earlier had values: they overwrite.
    ASSERT_TRUE(fm().insertObjectByUserName(QStringLiteral("Default"), QStringLiteral("twin"), QString(),
                                            QStringLiteral("02"), QStringLiteral("2"), QStringLiteral("127.0.0.3"),
                                            QStringLiteral("00000002"), QStringLiteral("0"), QString(),
                                            QStringLiteral("0")));
    std::optional<DeviceInfo> d = fm().selectUserInfoWithDeviceName(QStringLiteral("twin"));
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->userId, QStringLiteral("00000002"));
    EXPECT_EQ(d->deviceIp, QStringLiteral("127.0.0.3"));
    EXPECT_EQ(d->deviceWindowHex, QStringLiteral("02"));
    EXPECT_EQ(d->deviceInfo1, QStringLiteral("0"));
    EXPECT_TRUE(d->devicePassword.isNull());
    EXPECT_TRUE(d->deviceInfo2.isNull());
    EXPECT_TRUE(d->deviceInfo3.isNull());
}

TEST_F(FMManagerTest, ListOfAllDevicesIsInInsertionOrderAndDeleteEmptiesIt)
{
    EXPECT_TRUE(fm().selectAllUserInfoDatas().isEmpty());
    EXPECT_TRUE(fm().DeleteUserInfo()); // deleting from an empty table succeeds
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(addDevice(QStringLiteral("dev%1").arg(4 - i), QStringLiteral("0000000%1").arg(i)));
    const QList<DeviceInfo> all = fm().selectAllUserInfoDatas();
    ASSERT_EQ(all.size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(all[i].deviceName, QStringLiteral("dev%1").arg(4 - i));
        EXPECT_EQ(all[i].userId, QStringLiteral("0000000%1").arg(i));
    }
    EXPECT_TRUE(fm().DeleteUserInfo());
    EXPECT_TRUE(fm().selectAllUserInfoDatas().isEmpty());
    EXPECT_FALSE(fm().selectDeviceInfoWith(QStringLiteral("00000000")));
}

TEST_F(FMManagerTest, NullColumnsReadBackAbsentAndEmptyTextStaysEmpty)
{
    ASSERT_TRUE(fm().insertObjectByUserName(QString(), QStringLiteral(""), QString(), QString(), QString(), QString(),
                                            QStringLiteral("00000001"), QString(), QStringLiteral(""), QString()));
    RawDb raw(dbPath());
    const QList<QVariantList> types = raw.rows(QStringLiteral(
        "SELECT typeof(UserName), typeof(deviceName), typeof(devicePassword), typeof(deviceInfo2) FROM UserInfo"));
    ASSERT_EQ(types.size(), 1);
    EXPECT_EQ(types[0][0].toString(), QStringLiteral("null"));
    EXPECT_EQ(types[0][1].toString(), QStringLiteral("text"));
    EXPECT_EQ(types[0][2].toString(), QStringLiteral("null"));
    EXPECT_EQ(types[0][3].toString(), QStringLiteral("text"));

    std::optional<DeviceInfo> d = fm().selectUserInfoWithDeviceName(QStringLiteral(""));
    ASSERT_TRUE(d.has_value());
    EXPECT_TRUE(d->userName.isNull());
    EXPECT_FALSE(d->deviceName.isNull());
    EXPECT_TRUE(d->deviceName.isEmpty());
    EXPECT_TRUE(d->devicePassword.isNull());
    EXPECT_TRUE(d->deviceWindowHex.isNull());
    EXPECT_TRUE(d->deviceWindowNum.isNull());
    EXPECT_TRUE(d->deviceIp.isNull());
    EXPECT_EQ(d->userId, QStringLiteral("00000001"));
    EXPECT_TRUE(d->deviceInfo1.isNull());
    EXPECT_FALSE(d->deviceInfo2.isNull());
    EXPECT_TRUE(d->deviceInfo2.isEmpty());

    // A NULL key matches nothing (SQL NULL is never equal to anything).
    EXPECT_FALSE(fm().selectDeviceInfoWith(QString()));
    std::optional<DeviceInfo> none = fm().selectUserInfoWithDeviceName(QString());
    ASSERT_TRUE(none.has_value());
    expectAllAbsent(*none);
}

TEST_F(FMManagerTest, NumbersAreStoredAsTextUnchanged)
{
    ASSERT_TRUE(fm().insertObjectByUserName(QStringLiteral("Default"), QStringLiteral("007"), QStringLiteral("000123"),
                                            QStringLiteral("0a"), QStringLiteral("10"), QStringLiteral("127.0.0.2"),
                                            QStringLiteral("00001e10"), QStringLiteral("0"), QStringLiteral("1e5"),
                                            QStringLiteral("0")));
    RawDb raw(dbPath());
    EXPECT_EQ(raw.scalar(QStringLiteral("SELECT typeof(devicePassword) FROM UserInfo")).toString(),
              QStringLiteral("text"));
    const QList<DeviceInfo> all = fm().selectAllUserInfoDatas();
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all[0].deviceName, QStringLiteral("007"));
    EXPECT_EQ(all[0].devicePassword, QStringLiteral("000123"));
    EXPECT_EQ(all[0].userId, QStringLiteral("00001e10"));
    EXPECT_EQ(all[0].deviceInfo2, QStringLiteral("1e5"));
}

TEST_F(FMManagerTest, HostileTextIsStoredAndReadBackUnchanged)
{
    const QStringList hostile = {
        QStringLiteral("it's \"quoted\""),
        QStringLiteral("'); DROP TABLE UserInfo; --"),
        QStringLiteral("客厅大屏幕 · 二号窗口"),
        QStringLiteral("emoji 🎬 and tab\tand newline\n"),
        QStringLiteral("back\\slash %1 ? ?1 :name @x $y"),
        QString(QStringLiteral("nul") + QChar(0) + QStringLiteral("inside")),
        QStringLiteral("   padded   "),
    };
    for (int i = 0; i < hostile.size(); ++i)
        ASSERT_TRUE(fm().insertObjectByUserName(QStringLiteral("Default"), hostile[i], hostile[i], QStringLiteral("01"),
                                                QStringLiteral("1"), hostile[i], QStringLiteral("id%1").arg(i),
                                                QStringLiteral("0"), hostile[i], QStringLiteral("0")))
            << i;
    RawDb raw(dbPath());
    EXPECT_EQ(raw.schemaOf(QStringLiteral("UserInfo")), kCreateUserInfo);

    const QList<DeviceInfo> all = fm().selectAllUserInfoDatas();
    ASSERT_EQ(all.size(), hostile.size());
    for (int i = 0; i < hostile.size(); ++i) {
        EXPECT_EQ(all[i].deviceName, hostile[i]) << i;
        EXPECT_EQ(all[i].devicePassword, hostile[i]) << i;
        EXPECT_EQ(all[i].deviceIp, hostile[i]) << i;
        EXPECT_EQ(all[i].deviceInfo2, hostile[i]) << i;
        // The text works as a key as well.
        std::optional<DeviceInfo> byName = fm().selectUserInfoWithDeviceName(hostile[i]);
        ASSERT_TRUE(byName.has_value());
        EXPECT_EQ(byName->userId, QStringLiteral("id%1").arg(i)) << i;
    }
    ASSERT_TRUE(fm().updateDeviceIsLoginByDeviceName(hostile[1], QStringLiteral("1")));
    EXPECT_EQ(fm().selectUserInfoWithDeviceName(hostile[1])->deviceInfo1, QStringLiteral("1"));
    EXPECT_EQ(fm().selectUserInfoWithDeviceName(hostile[0])->deviceInfo1, QStringLiteral("0"));
}

// --- DeviceNormalInfo --------------------------------------------------------

TEST_F(FMManagerTest, PlayStateInsertBindsTheEightArgumentsInSelectorOrder)
{
    ASSERT_TRUE(fm().insertObjectByDeviceWindowIDHex(QStringLiteral("n1"), QStringLiteral("n2"), QStringLiteral("n3"),
                                                     QStringLiteral("n4"), QStringLiteral("n5"), QStringLiteral("n6"),
                                                     QStringLiteral("n7"), QStringLiteral("n8")));
    RawDb raw(dbPath());
    const QList<QVariantList> rows = raw.rows(QStringLiteral(
        "SELECT deviceWindowIDHex, deviceIp, playType, playIndex, playYinliang, deviceInfo1, deviceInfo2, deviceInfo3 "
        "FROM DeviceNormalInfo"));
    ASSERT_EQ(rows.size(), 1);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(rows[0][i].toString(), QStringLiteral("n%1").arg(i + 1)) << "column " << i;

    std::optional<DeviceNormalInfo> r =
        fm().selectDeviceNormalInfoWithDeviceIp(QStringLiteral("n2"), QStringLiteral("n1"));
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->deviceWindowIDHex, QStringLiteral("n1"));
    EXPECT_EQ(r->deviceIp, QStringLiteral("n2"));
    EXPECT_EQ(r->playType, QStringLiteral("n3"));
    EXPECT_EQ(r->playIndex, QStringLiteral("n4"));
    EXPECT_EQ(r->playYinliang, QStringLiteral("n5"));
    EXPECT_EQ(r->deviceInfo1, QStringLiteral("n6"));
    EXPECT_EQ(r->deviceInfo2, QStringLiteral("n7"));
    EXPECT_EQ(r->deviceInfo3, QStringLiteral("n8"));
}

TEST_F(FMManagerTest, TwoWindowsOfOneAddressAreTwoRowsAndTheUpdateRewritesBoth)
{
    const QString ip = QStringLiteral("127.0.0.2");
    const QString z = QStringLiteral("0");
    EXPECT_FALSE(fm().selectDeviceNormalInfoisExistWithDeviceIp(ip));
    ASSERT_TRUE(fm().insertObjectByDeviceWindowIDHex(QStringLiteral("01"), ip, z, QStringLiteral("3"), z, z, z, z));
    EXPECT_TRUE(fm().selectDeviceNormalInfoisExistWithDeviceIp(ip));
    EXPECT_TRUE(fm().selectDeviceNormalInfoisExistWithDeviceIp(ip, QStringLiteral("01")));
    EXPECT_FALSE(fm().selectDeviceNormalInfoisExistWithDeviceIp(ip, QStringLiteral("02")));
    ASSERT_TRUE(fm().insertObjectByDeviceWindowIDHex(QStringLiteral("02"), ip, z, QStringLiteral("7"), z, z, z, z));
    ASSERT_TRUE(fm().insertObjectByDeviceWindowIDHex(QStringLiteral("01"), QStringLiteral("127.0.0.3"), z,
                                                     QStringLiteral("9"), z, z, z, z));
    EXPECT_TRUE(fm().selectDeviceNormalInfoisExistWithDeviceIp(ip, QStringLiteral("02")));

    RawDb raw(dbPath());
    EXPECT_EQ(raw.scalar(QStringLiteral("SELECT count(*) FROM DeviceNormalInfo WHERE deviceIp = ?"), {ip}).toInt(), 2);

    // Arguments in selector order: window id, address, play type, play index,
    // volume. The key is the address alone.
    ASSERT_TRUE(fm().updateDeviceNormalInfoByDeviceWindowIDHex(QStringLiteral("02"), ip, QStringLiteral("t"),
                                                               QStringLiteral("12"), QStringLiteral("")));
    const QList<QVariantList> rows = raw.rows(
        QStringLiteral("SELECT deviceWindowIDHex, playType, playIndex, playYinliang, typeof(playYinliang), deviceInfo1 "
                       "FROM DeviceNormalInfo WHERE deviceIp = ? ORDER BY _id"),
        {ip});
    ASSERT_EQ(rows.size(), 2);
    for (const QVariantList &r : rows) {
        EXPECT_EQ(r[0].toString(), QStringLiteral("02"));
        EXPECT_EQ(r[1].toString(), QStringLiteral("t"));
        EXPECT_EQ(r[2].toString(), QStringLiteral("12"));
        EXPECT_EQ(r[3].toString(), QStringLiteral(""));
        EXPECT_EQ(r[4].toString(), QStringLiteral("text"));
        EXPECT_EQ(r[5].toString(), QStringLiteral("0"));
    }
    // The other address is untouched.
    std::optional<DeviceNormalInfo> other =
        fm().selectDeviceNormalInfoWithDeviceIp(QStringLiteral("127.0.0.3"), QStringLiteral("01"));
    ASSERT_TRUE(other.has_value());
    EXPECT_EQ(other->playIndex, QStringLiteral("9"));

    // Both rows now carry window "02"; the single-record read yields the later.
    std::optional<DeviceNormalInfo> r = fm().selectDeviceNormalInfoWithDeviceIp(ip, QStringLiteral("02"));
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->playIndex, QStringLiteral("12"));
    EXPECT_FALSE(r->playYinliang.isNull()); // the empty string, not absent
    EXPECT_TRUE(r->playYinliang.isEmpty());
    EXPECT_FALSE(fm().selectDeviceNormalInfoisExistWithDeviceIp(ip, QStringLiteral("01")));

    EXPECT_TRUE(fm().updateDeviceNormalInfoByDeviceWindowIDHex(QStringLiteral("01"), QStringLiteral("10.9.9.9"), z, z,
                                                               z)); // no row: still success
}

TEST_F(FMManagerTest, PlayStateSingleRecordIsLastRowOrEmpty)
{
    const QString ip = QStringLiteral("127.0.0.2");
    std::optional<DeviceNormalInfo> none = fm().selectDeviceNormalInfoWithDeviceIp(ip, QStringLiteral("01"));
    ASSERT_TRUE(none.has_value());
    expectAllAbsent(*none);

    ASSERT_TRUE(fm().insertObjectByDeviceWindowIDHex(QStringLiteral("01"), ip, QStringLiteral("0"), QStringLiteral("1"),
                                                     QStringLiteral("0"), QStringLiteral("a"), QStringLiteral("b"),
                                                     QStringLiteral("c")));
    ASSERT_TRUE(fm().insertObjectByDeviceWindowIDHex(QStringLiteral("01"), ip, QStringLiteral("0"), QStringLiteral("2"),
                                                     QString(), QString(), QString(), QString()));
    std::optional<DeviceNormalInfo> r = fm().selectDeviceNormalInfoWithDeviceIp(ip, QStringLiteral("01"));
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->playIndex, QStringLiteral("2"));
    EXPECT_TRUE(r->playYinliang.isNull());
    EXPECT_TRUE(r->deviceInfo1.isNull());
    EXPECT_TRUE(r->deviceInfo2.isNull());
    EXPECT_TRUE(r->deviceInfo3.isNull());
}

TEST_F(FMManagerTest, DeviceNormalInfoOperationEmptiesThePlayStateOnly)
{
    EXPECT_TRUE(fm().DeviceNormalInfo()); // empty table: success
    ASSERT_TRUE(addDevice(QStringLiteral("d"), QStringLiteral("00000001")));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(fm().insertObjectByDeviceWindowIDHex(QStringLiteral("0%1").arg(i), QStringLiteral("127.0.0.2"),
                                                         QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                                                         QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")));
    EXPECT_TRUE(fm().DeviceNormalInfo());
    RawDb raw(dbPath());
    EXPECT_EQ(raw.count(QStringLiteral("DeviceNormalInfo")), 0);
    EXPECT_EQ(raw.count(QStringLiteral("UserInfo")), 1);
    EXPECT_FALSE(fm().selectDeviceNormalInfoisExistWithDeviceIp(QStringLiteral("127.0.0.2")));
}

// --- FilesTransInfo ----------------------------------------------------------

TEST_F(FMManagerTest, FileInsertBindsTheNineArgumentsInSelectorOrderWithABlob)
{
    const QByteArray content("\x00\x01jpeg\x00\xff", 8);
    ASSERT_TRUE(fm().insertObjectByDeviceWindowIDHex(QStringLiteral("f1"), QStringLiteral("f2"), QStringLiteral("f3"),
                                                     QStringLiteral("f4"), QStringLiteral("f5"), QStringLiteral("f6"),
                                                     content, QStringLiteral("f8"), QStringLiteral("f9")));
    RawDb raw(dbPath());
    const QList<QVariantList> rows = raw.rows(QStringLiteral(
        "SELECT deviceWindowIDHex, deviceID, filesName, filesType, filesSize, filesIsFinish, deviceInfo1, "
        "deviceInfo2, deviceInfo3, typeof(deviceInfo1), length(deviceInfo1) FROM FilesTransInfo"));
    ASSERT_EQ(rows.size(), 1);
    for (int i : {0, 1, 2, 3, 4, 5, 7, 8})
        EXPECT_EQ(rows[0][i].toString(), QStringLiteral("f%1").arg(i + 1)) << "column " << i;
    EXPECT_EQ(rows[0][6].toByteArray(), content);
    EXPECT_EQ(rows[0][9].toString(), QStringLiteral("blob"));
    EXPECT_EQ(rows[0][10].toInt(), content.size());

    const QList<PlayFilesInfo> all = fm().selectAllFilesTransInfoWithDeviceID(QStringLiteral("f2"), QStringLiteral("f1"));
    ASSERT_EQ(all.size(), 1);
    const PlayFilesInfo &f = all.first();
    EXPECT_EQ(f.deviceWindowIDHex, QStringLiteral("f1"));
    EXPECT_EQ(f.deviceID, QStringLiteral("f2"));
    EXPECT_EQ(f.filesName, QStringLiteral("f3"));
    EXPECT_EQ(f.filesType, QStringLiteral("f4"));
    EXPECT_EQ(f.filesSize, QStringLiteral("f5"));
    EXPECT_EQ(f.filesIsFinish, QStringLiteral("f6"));
    EXPECT_EQ(f.deviceInfo1, content);
    EXPECT_EQ(f.deviceInfo2, QStringLiteral("f8"));
    EXPECT_EQ(f.deviceInfo3, QStringLiteral("f9"));
}

TEST_F(FMManagerTest, BlobsRoundTripByteForByte)
{
    QByteArray everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte.append(char(i));
    const QByteArray zeros(1000, '\0');
    const QByteArray textLike("0000000000000010"); // digits must stay bytes, not become a number
    const QByteArray empty("");
    ASSERT_TRUE(addFile(QStringLiteral("d"), QStringLiteral("01"), QStringLiteral("every"), everyByte));
    ASSERT_TRUE(addFile(QStringLiteral("d"), QStringLiteral("01"), QStringLiteral("zeros"), zeros));
    ASSERT_TRUE(addFile(QStringLiteral("d"), QStringLiteral("01"), QStringLiteral("textlike"), textLike));
    ASSERT_TRUE(addFile(QStringLiteral("d"), QStringLiteral("01"), QStringLiteral("empty"), empty));
    ASSERT_TRUE(addFile(QStringLiteral("d"), QStringLiteral("01"), QStringLiteral("null"), QByteArray()));

    const QList<PlayFilesInfo> all = fm().selectAllFilesTransInfoWithDeviceID({}, {});
    ASSERT_EQ(all.size(), 5);
    EXPECT_EQ(all[0].deviceInfo1, everyByte);
    EXPECT_EQ(all[1].deviceInfo1, zeros);
    EXPECT_EQ(all[1].deviceInfo1.size(), 1000);
    EXPECT_EQ(all[2].deviceInfo1, textLike);
    EXPECT_FALSE(all[3].deviceInfo1.isNull()); // a zero-length blob is empty, not absent
    EXPECT_TRUE(all[3].deviceInfo1.isEmpty());
    EXPECT_TRUE(all[4].deviceInfo1.isNull()); // a NULL column is absent

    RawDb raw(dbPath());
    const QList<QVariantList> types =
        raw.rows(QStringLiteral("SELECT typeof(deviceInfo1) FROM FilesTransInfo ORDER BY _id"));
    ASSERT_EQ(types.size(), 5);
    EXPECT_EQ(types[2][0].toString(), QStringLiteral("blob"));
    EXPECT_EQ(types[3][0].toString(), QStringLiteral("blob"));
    EXPECT_EQ(types[4][0].toString(), QStringLiteral("null"));
}

TEST_F(FMManagerTest, AVideoOfManyMegabytesIsOneBlob)
{
    QByteArray movie(12 * 1024 * 1024, '\0');
    for (int i = 0; i < movie.size(); i += 4093)
        movie[i] = char(i * 31);
    ASSERT_TRUE(addFile(QStringLiteral("00000001"), QStringLiteral("01"), QStringLiteral("20240101.mov"), movie));
    const QList<PlayFilesInfo> all = fm().selectAllFilesTransInfoWithDeviceID({}, {});
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all[0].deviceInfo1.size(), movie.size());
    EXPECT_TRUE(all[0].deviceInfo1 == movie);
    EXPECT_EQ(all[0].filesSize, QStringLiteral("0000000000c00000"));
}

TEST_F(FMManagerTest, FileListIsTheWholeHistoryWhateverTheArguments)
{
    ASSERT_TRUE(addFile(QStringLiteral("00000001"), QStringLiteral("01"), QStringLiteral("a.jpg")));
    ASSERT_TRUE(addFile(QStringLiteral("00000002"), QStringLiteral("02"), QStringLiteral("b.mov")));
    ASSERT_TRUE(addFile(QStringLiteral("00000001"), QStringLiteral("03"), QStringLiteral("c.jpg")));
    const QStringList expected = {QStringLiteral("a.jpg"), QStringLiteral("b.mov"), QStringLiteral("c.jpg")};
    for (const auto &[dev, win] : QList<std::pair<QString, QString>>{{QStringLiteral("00000001"), QStringLiteral("01")},
                                                                     {QStringLiteral("ffffffff"), QStringLiteral("ff")},
                                                                     {QString(), QString()},
                                                                     {QStringLiteral("'"), QStringLiteral("\"")}}) {
        QStringList names;
        for (const PlayFilesInfo &f : fm().selectAllFilesTransInfoWithDeviceID(dev, win))
            names << f.filesName;
        EXPECT_EQ(names, expected);
    }
}

TEST_F(FMManagerTest, FileFinishUpdateAndSingleDeleteMatchDeviceWindowAndName)
{
    const QString dev = QStringLiteral("00000001");
    ASSERT_TRUE(addFile(dev, QStringLiteral("01"), QStringLiteral("a.jpg")));
    ASSERT_TRUE(addFile(dev, QStringLiteral("02"), QStringLiteral("a.jpg")));
    ASSERT_TRUE(addFile(QStringLiteral("00000002"), QStringLiteral("01"), QStringLiteral("a.jpg")));
    ASSERT_TRUE(addFile(dev, QStringLiteral("01"), QStringLiteral("b.jpg")));

    // Arguments in selector order: window id, device id, file name, flag.
    ASSERT_TRUE(fm().updateFilesTransInfoByDeviceWindowIDHex(QStringLiteral("01"), dev, QStringLiteral("a.jpg"),
                                                             QStringLiteral("1")));
    QStringList flags;
    for (const PlayFilesInfo &f : fm().selectAllFilesTransInfoWithDeviceID(dev, QStringLiteral("01")))
        flags << f.filesIsFinish;
    EXPECT_EQ(flags, (QStringList{QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")}));
    EXPECT_TRUE(fm().updateFilesTransInfoByDeviceWindowIDHex(QStringLiteral("09"), dev, QStringLiteral("a.jpg"),
                                                             QStringLiteral("1"))); // no row: success

    // Arguments: device id, window id, file name.
    ASSERT_TRUE(fm().DeleteSingleFilesInfoWithDeviceID(dev, QStringLiteral("01"), QStringLiteral("a.jpg")));
    QStringList left;
    for (const PlayFilesInfo &f : fm().selectAllFilesTransInfoWithDeviceID({}, {}))
        left << f.deviceID + u'/' + f.deviceWindowIDHex + u'/' + f.filesName;
    EXPECT_EQ(left, (QStringList{QStringLiteral("00000001/02/a.jpg"), QStringLiteral("00000002/01/a.jpg"),
                                 QStringLiteral("00000001/01/b.jpg")}));
    EXPECT_TRUE(fm().DeleteSingleFilesInfoWithDeviceID(dev, QStringLiteral("01"), QStringLiteral("a.jpg")));
    EXPECT_EQ(fm().selectAllFilesTransInfoWithDeviceID({}, {}).size(), 3);
}

TEST_F(FMManagerTest, DeleteAllSendFilesEmptiesTheHistoryOnly)
{
    EXPECT_TRUE(fm().DeleteAllSendFiles()); // empty table: success
    ASSERT_TRUE(addDevice(QStringLiteral("d"), QStringLiteral("00000001")));
    ASSERT_TRUE(addFile(QStringLiteral("00000001"), QStringLiteral("01"), QStringLiteral("a.jpg")));
    ASSERT_TRUE(addFile(QStringLiteral("00000002"), QStringLiteral("02"), QStringLiteral("b.jpg")));
    EXPECT_TRUE(fm().DeleteAllSendFiles());
    EXPECT_TRUE(fm().selectAllFilesTransInfoWithDeviceID({}, {}).isEmpty());
    EXPECT_EQ(fm().selectAllUserInfoDatas().size(), 1);
}

TEST_F(FMManagerTest, HostileFileNamesAndChineseAreKeptAndMatched)
{
    const QString name = QStringLiteral("照片 2024'01\"01; DELETE FROM FilesTransInfo; --.jpg");
    ASSERT_TRUE(addFile(QStringLiteral("00000001"), QStringLiteral("01"), name));
    ASSERT_TRUE(addFile(QStringLiteral("00000001"), QStringLiteral("01"), QStringLiteral("plain.jpg")));
    ASSERT_TRUE(fm().updateFilesTransInfoByDeviceWindowIDHex(QStringLiteral("01"), QStringLiteral("00000001"), name,
                                                             QStringLiteral("1")));
    QList<PlayFilesInfo> all = fm().selectAllFilesTransInfoWithDeviceID({}, {});
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0].filesName, name);
    EXPECT_EQ(all[0].filesIsFinish, QStringLiteral("1"));
    EXPECT_EQ(all[1].filesIsFinish, QStringLiteral("0"));
    ASSERT_TRUE(fm().DeleteSingleFilesInfoWithDeviceID(QStringLiteral("00000001"), QStringLiteral("01"), name));
    all = fm().selectAllFilesTransInfoWithDeviceID({}, {});
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all[0].filesName, QStringLiteral("plain.jpg"));
}

// A history written by the versions that kept every sent file's bytes in
// its row: it opens unchanged, and the list reads names, sizes and states
// without the content.
TEST_F(FMManagerTest, AHistoryOfRowsWithWholeFilesOpensAndListsWithoutTheirContent)
{
    QByteArray movie(9 * 1024 * 1024, '\0');
    for (int i = 0; i < movie.size(); i += 4099)
        movie[i] = char(i);
    const QByteArray jpeg("\xff\xd8\xff\xe0 picture", 12);
    {
        QDir().mkpath(QFileInfo(dbPath()).path());
        RawDb raw(dbPath());
        ASSERT_TRUE(raw.ok());
        ASSERT_TRUE(raw.exec(kCreateUserInfo));
        ASSERT_TRUE(raw.exec(kCreateDeviceNormalInfo));
        ASSERT_TRUE(raw.exec(kCreateFilesTransInfo));
        const QString insert = QStringLiteral(
            "INSERT INTO FilesTransInfo (deviceWindowIDHex, deviceID, filesName,filesType, filesSize,filesIsFinish,"
            "deviceInfo1,deviceInfo2,deviceInfo3) VALUES (?,?,?,?,?,?,?,?,?)");
        ASSERT_TRUE(raw.exec(insert, {QStringLiteral("01"), QStringLiteral("00000001"), QStringLiteral("a.mov"),
                                      QStringLiteral("03"), QStringLiteral("0000000000900000"), QStringLiteral("1"),
                                      movie, QStringLiteral("0"), QStringLiteral("0")}));
        ASSERT_TRUE(raw.exec(insert, {QStringLiteral("02"), QStringLiteral("00000002"), QStringLiteral("b.jpg"),
                                      QStringLiteral("01"), QStringLiteral("000000000000000c"), QStringLiteral("0"),
                                      jpeg, QStringLiteral("0"), QStringLiteral("0")}));
    }
    FMManager &m = fm();
    EXPECT_FALSE(ctx().log().contains(kFilesTransInfoFailed));
    RawDb raw(dbPath());
    EXPECT_EQ(raw.schemaOf(QStringLiteral("FilesTransInfo")), kCreateFilesTransInfo);

    const QList<PlayFilesInfo> list = m.selectAllFilesTransListWithDeviceID(QStringLiteral("00000001"), QStringLiteral("01"));
    ASSERT_EQ(list.size(), 2);
    const std::tuple<const char *, const char *, const char *, const char *, const char *> expected[] = {
        {"01", "00000001", "a.mov", "0000000000900000", "1"},
        {"02", "00000002", "b.jpg", "000000000000000c", "0"},
    };
    for (int i = 0; i < 2; ++i) {
        const auto &[window, device, name, size, finished] = expected[i];
        EXPECT_EQ(list[i].deviceWindowIDHex, QLatin1String(window));
        EXPECT_EQ(list[i].deviceID, QLatin1String(device));
        EXPECT_EQ(list[i].filesName, QLatin1String(name));
        EXPECT_EQ(list[i].filesSize, QLatin1String(size));
        EXPECT_EQ(list[i].filesIsFinish, QLatin1String(finished));
        EXPECT_EQ(list[i].deviceInfo2, QStringLiteral("0"));
        EXPECT_TRUE(list[i].deviceInfo1.isNull()) << name;
    }
    // The rows themselves are as they were: the full read still has them.
    const QList<PlayFilesInfo> full = m.selectAllFilesTransInfoWithDeviceID({}, {});
    ASSERT_EQ(full.size(), 2);
    EXPECT_TRUE(full[0].deviceInfo1 == movie);
    EXPECT_EQ(full[1].deviceInfo1, jpeg);

    // New rows go into the same table beside them.
    ASSERT_TRUE(addFile(QStringLiteral("00000001"), QStringLiteral("01"), QStringLiteral("c.jpg")));
    EXPECT_EQ(m.selectAllFilesTransListWithDeviceID({}, {}).size(), 3);
}

TEST_F(FMManagerTest, ContentTooLargeForARowIsLeftOutAndTheRowStillWritten)
{
    fm().setMaxStoredContentLength(1000);
    const QByteArray fits(1000, 'a');
    const QByteArray tooLarge(1001, 'b');
    ASSERT_TRUE(addFile(QStringLiteral("d"), QStringLiteral("01"), QStringLiteral("fits.jpg"), fits));
    ASSERT_TRUE(addFile(QStringLiteral("d"), QStringLiteral("01"), QStringLiteral("large.jpg"), tooLarge));
    EXPECT_TRUE(ctx().log().contains(
        QStringLiteral("content of large.jpg (1001 bytes) not kept in the history: more than a row takes")));

    RawDb raw(dbPath());
    const QList<QVariantList> rows =
        raw.rows(QStringLiteral("SELECT filesName, filesSize, typeof(deviceInfo1), length(deviceInfo1) FROM FilesTransInfo"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0][2].toString(), QStringLiteral("blob"));
    EXPECT_EQ(rows[0][3].toInt(), 1000);
    // The row still says how large the file is.
    EXPECT_EQ(rows[1][0].toString(), QStringLiteral("large.jpg"));
    EXPECT_EQ(rows[1][1].toString(), QStringLiteral("00000000000003e9"));
    EXPECT_EQ(rows[1][2].toString(), QStringLiteral("null"));
}
