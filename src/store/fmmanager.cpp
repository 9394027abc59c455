#include "store/fmmanager.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "store/sqlitedatabase.h"

#include <QDir>

namespace {

// The three tables, exactly as the Part executes them (spacing included).
const QString kCreateUserInfo = QStringLiteral(
    "CREATE TABLE UserInfo (_id INTEGER PRIMARY KEY AUTOINCREMENT, UserName TEXT, deviceName TEXT, "
    "devicePassword TEXT, deviceWindowHex TEXT,deviceWindowNum TEXT,deviceIp TEXT,userId TEXT,"
    "deviceInfo1 TEXT,deviceInfo2 TEXT, deviceInfo3 TEXT)");
const QString kCreateDeviceNormalInfo = QStringLiteral(
    "CREATE TABLE DeviceNormalInfo (_id INTEGER PRIMARY KEY AUTOINCREMENT, deviceWindowIDHex TEXT, "
    "deviceIp TEXT, playType TEXT,playIndex TEXT, playYinliang TEXT,deviceInfo1 TEXT,deviceInfo2 TEXT, "
    "deviceInfo3 TEXT)");
const QString kCreateFilesTransInfo = QStringLiteral(
    "CREATE TABLE FilesTransInfo (_id INTEGER PRIMARY KEY AUTOINCREMENT, deviceWindowIDHex TEXT, "
    "deviceID TEXT, filesName TEXT,filesType TEXT, filesSize TEXT,filesIsFinish TEXT,deviceInfo1 Data,"
    "deviceInfo2 TEXT, deviceInfo3 TEXT)");

DeviceInfo deviceInfoFromRow(const SqliteRows &row)
{
    // The first nine fields only: deviceInfo3 and currentPlayIndex are not
    // read back: the stored "0" of deviceInfo3 stays in the table.
    DeviceInfo d;
    d.userName = row.stringForColumn(QStringLiteral("UserName"));
    d.deviceName = row.stringForColumn(QStringLiteral("deviceName"));
    d.devicePassword = row.stringForColumn(QStringLiteral("devicePassword"));
    d.deviceWindowHex = row.stringForColumn(QStringLiteral("deviceWindowHex"));
    d.deviceWindowNum = row.stringForColumn(QStringLiteral("deviceWindowNum"));
    d.deviceIp = row.stringForColumn(QStringLiteral("deviceIp"));
    d.userId = row.stringForColumn(QStringLiteral("userId"));
    d.deviceInfo1 = row.stringForColumn(QStringLiteral("deviceInfo1"));
    d.deviceInfo2 = row.stringForColumn(QStringLiteral("deviceInfo2"));
    return d;
}

void overwriteFromRow(::DeviceNormalInfo &d, const SqliteRows &row)
{
    d.deviceWindowIDHex = row.stringForColumn(QStringLiteral("deviceWindowIDHex"));
    d.deviceIp = row.stringForColumn(QStringLiteral("deviceIp"));
    d.playType = row.stringForColumn(QStringLiteral("playType"));
    d.playIndex = row.stringForColumn(QStringLiteral("playIndex"));
    d.playYinliang = row.stringForColumn(QStringLiteral("playYinliang"));
    d.deviceInfo1 = row.stringForColumn(QStringLiteral("deviceInfo1"));
    d.deviceInfo2 = row.stringForColumn(QStringLiteral("deviceInfo2"));
    d.deviceInfo3 = row.stringForColumn(QStringLiteral("deviceInfo3"));
}

PlayFilesInfo playFilesInfoFromRow(const SqliteRows &row, bool withContent = true)
{
    PlayFilesInfo f;
    f.deviceWindowIDHex = row.stringForColumn(QStringLiteral("deviceWindowIDHex"));
    f.deviceID = row.stringForColumn(QStringLiteral("deviceID"));
    f.filesName = row.stringForColumn(QStringLiteral("filesName"));
    f.filesType = row.stringForColumn(QStringLiteral("filesType"));
    f.filesSize = row.stringForColumn(QStringLiteral("filesSize"));
    f.filesIsFinish = row.stringForColumn(QStringLiteral("filesIsFinish"));
    if (withContent)
        f.deviceInfo1 = row.dataForColumn(QStringLiteral("deviceInfo1"));
    f.deviceInfo2 = row.stringForColumn(QStringLiteral("deviceInfo2"));
    f.deviceInfo3 = row.stringForColumn(QStringLiteral("deviceInfo3"));
    return f;
}

} // namespace

FMManager::FMManager(AppContext &ctx)
    : m_ctx(ctx)
    , m_db(std::make_unique<SqliteDatabase>(
          QDir(ctx.config().documentsDir).filePath(QStringLiteral("dataBase.db"))))
{
    if (!m_db->open()) {
        qevaLog(lcStore, QStringLiteral("Could not open dataBase.db"));
        reportFailure();
        return;
    }
    if (!createTables(*m_db, true) && m_db->lastFailureIsStorage())
        reportFailure();
}

bool FMManager::createTables(SqliteDatabase &db, bool logFailures)
{
    // Independent steps: a failure in one does not skip the next, and an
    // existing table is never altered.
    const struct {
        const char *name;
        const QString &create;
        const char *failure;
    } tables[] = {
        {"UserInfo", kCreateUserInfo, "创建用户信息表错误。"},
        {"DeviceNormalInfo", kCreateDeviceNormalInfo, "创建设备初始信息表错误。"},
        {"FilesTransInfo", kCreateFilesTransInfo, "创建文件传输信息表错误。"},
    };
    bool all = true;
    for (const auto &t : tables) {
        if (db.tableExists(QLatin1String(t.name)) || db.executeUpdate(t.create))
            continue;
        all = false;
        if (logFailures)
            qevaLog(lcStore, QString::fromUtf8(t.failure));
    }
    return all;
}

void FMManager::reportFailure()
{
    if (m_failureReported)
        return;
    m_failureReported = true;
    const QString why = m_db ? m_db->lastErrorMessage() : QString();
    qevaLog(lcStore, QStringLiteral("dataBase.db cannot be used: %1").arg(why));
    m_ctx.notices().post(QLatin1String(kStoreFailedNotice), why);
}

bool FMManager::recover()
{
    if (!m_db || !m_db->lastFailureIsStorage())
        return false;
    reportFailure();
    if (!m_fallbackToMemory || m_inMemory)
        return false;
    auto memory = std::make_unique<SqliteDatabase>(QLatin1String(SqliteDatabase::kInMemory));
    if (!memory->open() || !createTables(*memory, false))
        return false;
    // Whatever the file still gives is kept: the servers of this scan, say,
    // when the disk fills up half way.
    const QString path = m_db->path();
    m_db->close();
    if (memory->executeUpdate(QStringLiteral("ATTACH DATABASE ? AS stored"), {path})) {
        for (const char *table : {"UserInfo", "DeviceNormalInfo", "FilesTransInfo"})
            memory->executeUpdate(QStringLiteral("INSERT INTO main.%1 SELECT * FROM stored.%1").arg(QLatin1String(table)));
        memory->executeUpdate(QStringLiteral("DETACH DATABASE stored"));
    }
    m_db = std::move(memory);
    m_inMemory = true;
    m_userIdsValid = false;
    qevaLog(lcStore, QStringLiteral("the local database is kept in memory for the rest of this run"));
    return true;
}

FMManager::~FMManager() = default;

FMManager &FMManager::sharedManagerInstance()
{
    return AppContext::current()->shared<FMManager>();
}

void FMManager::setDb(std::unique_ptr<SqliteDatabase> db)
{
    m_db = std::move(db);
    m_inMemory = false;
    m_userIdsValid = false;
}

void FMManager::closeDatabase()
{
    // A database in memory lives only as long as its handle.
    if (m_db && !m_inMemory)
        m_db->close();
    m_userIdsValid = false;
}

bool FMManager::openHandle()
{
    if (!m_db)
        return false;
    return m_db->open() || (recover() && m_db->open());
}

bool FMManager::update(const QString &sql, const QVariantList &args)
{
    if (!openHandle())
        return false;
    return m_db->executeUpdate(sql, args) || (recover() && m_db->executeUpdate(sql, args));
}

bool FMManager::writeTransaction(const std::function<bool()> &body)
{
    if (!m_db->executeUpdate(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    if (body() && m_db->executeUpdate(QStringLiteral("COMMIT")))
        return true;
    m_db->rollback();
    return false;
}

std::optional<qint64> FMManager::dataVersion()
{
    std::optional<SqliteRows> rows = m_db->executeQuery(QStringLiteral("PRAGMA data_version"));
    if (!rows || !rows->next())
        return std::nullopt;
    return rows->stringForColumn(QStringLiteral("data_version")).toLongLong();
}

bool FMManager::loadUserIds(qint64 version)
{
    m_userIds.clear();
    m_userIdsValid = false;
    std::optional<SqliteRows> rows = m_db->executeQuery(QStringLiteral("SELECT userId, deviceWindowHex FROM UserInfo"));
    if (!rows)
        return false;
    while (rows->next())
        m_userIds.insert(rows->stringForColumn(QStringLiteral("userId")),
                         rows->stringForColumn(QStringLiteral("deviceWindowHex")));
    if (m_db->lastErrorCode() != 0)
        return false;
    m_userIdsValid = true;
    m_userIdsVersion = version;
    return true;
}

bool FMManager::exists(const QString &sql, const QVariantList &args)
{
    if (!openHandle())
        return false;
    std::optional<SqliteRows> rows = m_db->executeQuery(sql, args);
    return rows && rows->next();
}

// --- UserInfo --------------------------------------------------------------

bool FMManager::insertObjectByUserName(const QString &userName, const QString &deviceName,
                                       const QString &devicePassword, const QString &deviceWindowHex,
                                       const QString &deviceWindowNum, const QString &deviceIp,
                                       const QString &userId, const QString &deviceInfo1,
                                       const QString &deviceInfo2, const QString &deviceInfo3)
{
    m_userIdsValid = false;
    ++m_userInfoGeneration;
    return update(QStringLiteral("INSERT INTO UserInfo (UserName, deviceName, devicePassword,deviceWindowHex, "
                                 "deviceWindowNum, deviceIp, userId,deviceInfo1,deviceInfo2,deviceInfo3) "
                                 "VALUES (?,?,?,?,?,?,?,?,?,?)"),
                  {userName, deviceName, devicePassword, deviceWindowHex, deviceWindowNum, deviceIp,
                   userId, deviceInfo1, deviceInfo2, deviceInfo3});
}

bool FMManager::updateUserInfoByUserName(const QString &userName, const QString &devicePassword,
                                         const QString &deviceWindowHex, const QString &deviceWindowNum,
                                         const QString &userId, const QString &deviceName,
                                         const QString &serverInfoHex, const QString &deviceLoginState)
{
    m_userIdsValid = false;
    ++m_userInfoGeneration;
    return update(QStringLiteral("UPDATE UserInfo SET UserName = ?,devicePassword = ?,deviceWindowHex = ?,"
                                 "deviceWindowNum = ?,deviceName = ?,deviceInfo1 = ?,deviceInfo2 = ? "
                                 "where userId = ?"),
                  {userName, devicePassword, deviceWindowHex, deviceWindowNum, deviceName,
                   deviceLoginState, serverInfoHex, userId});
}

bool FMManager::selectDeviceInfoWith(const QString &userId)
{
    return exists(QStringLiteral("SELECT * FROM UserInfo where userId = ?"), {userId});
}

bool FMManager::selectDeviceInfoWith(const QString &userId, const QString &windowNumHex)
{
    return exists(QStringLiteral("SELECT * FROM UserInfo where userId = ? and deviceWindowHex = ?"),
                  {userId, windowNumHex});
}

bool FMManager::updateDeviceIsLoginByDeviceName(const QString &deviceName, const QString &loginState)
{
    ++m_userInfoGeneration;
    return update(QStringLiteral("UPDATE UserInfo SET deviceInfo1= ? where deviceName = ?"),
                  {loginState, deviceName});
}

std::optional<DeviceInfo> FMManager::selectUserInfoWithDeviceName(const QString &deviceName)
{
    if (!openHandle())
        return std::nullopt;
    DeviceInfo info; // empty until a row overwrites it; the last row wins
    if (std::optional<SqliteRows> rows =
            m_db->executeQuery(QStringLiteral("SELECT * FROM UserInfo where deviceName = ?"), {deviceName})) {
        while (rows->next())
            info = deviceInfoFromRow(*rows);
    }
    return info;
}

bool FMManager::DeleteUserInfo()
{
    m_userIdsValid = false;
    ++m_userInfoGeneration;
    return update(QStringLiteral("delete  FROM UserInfo"));
}

QList<DeviceInfo> FMManager::selectAllUserInfoDatas()
{
    QList<DeviceInfo> list;
    if (!openHandle())
        return list;
    if (std::optional<SqliteRows> rows = m_db->executeQuery(QStringLiteral("SELECT * FROM UserInfo")))
        while (rows->next())
            list.append(deviceInfoFromRow(*rows));
    return list;
}

FMManager::Recorded FMManager::recordUserInfo(const DeviceInfo &d, const std::function<void()> &beforeInsert)
{
    const auto known = [this, &d]() -> std::optional<QString> {
        const auto it = m_userIds.constFind(d.userId);
        return it == m_userIds.constEnd() ? std::nullopt : std::optional<QString>(it.value());
    };
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!openHandle())
            return Recorded::Failed;
        // The common case, a server announcing itself again, needs no lock:
        // nobody else wrote since the copy was read, and it says unchanged.
        if (m_userIdsValid) {
            const std::optional<qint64> version = dataVersion();
            if (version && *version == m_userIdsVersion && known() == d.deviceWindowHex)
                return Recorded::Unchanged;
            if (version && *version != m_userIdsVersion)
                ++m_userInfoGeneration; // another client wrote
        }
        Recorded outcome = Recorded::Failed;
        const bool done = writeTransaction([&] {
            const std::optional<qint64> version = dataVersion();
            if (!version)
                return false;
            if (m_userIdsValid && *version != m_userIdsVersion)
                ++m_userInfoGeneration; // another client wrote
            if ((!m_userIdsValid || *version != m_userIdsVersion) && !loadUserIds(*version))
                return false;
            const std::optional<QString> window = known();
            if (window && *window == d.deviceWindowHex) {
                outcome = Recorded::Unchanged;
                return true;
            }
            bool ok;
            if (window) {
                ok = m_db->executeUpdate(
                    QStringLiteral("UPDATE UserInfo SET UserName = ?,devicePassword = ?,deviceWindowHex = ?,"
                                   "deviceWindowNum = ?,deviceName = ?,deviceInfo1 = ?,deviceInfo2 = ? "
                                   "where userId = ?"),
                    {d.userName, d.devicePassword, d.deviceWindowHex, d.deviceWindowNum, d.deviceName,
                     d.deviceInfo1, d.deviceInfo2, d.userId});
                outcome = Recorded::Updated;
            } else {
                if (beforeInsert)
                    beforeInsert();
                ok = m_db->executeUpdate(
                    QStringLiteral("INSERT INTO UserInfo (UserName, deviceName, devicePassword,deviceWindowHex, "
                                   "deviceWindowNum, deviceIp, userId,deviceInfo1,deviceInfo2,deviceInfo3) "
                                   "VALUES (?,?,?,?,?,?,?,?,?,?)"),
                    {d.userName, d.deviceName, d.devicePassword, d.deviceWindowHex, d.deviceWindowNum,
                     d.deviceIp, d.userId, d.deviceInfo1, d.deviceInfo2, d.deviceInfo3});
                outcome = Recorded::Inserted;
            }
            if (ok)
                m_userIds.insert(d.userId, d.deviceWindowHex);
            return ok;
        });
        if (done)
            return outcome;
        m_userIdsValid = false;
        if (!recover())
            return Recorded::Failed;
    }
    return Recorded::Failed;
}

// --- DeviceNormalInfo ------------------------------------------------------

bool FMManager::insertObjectByDeviceWindowIDHex(const QString &deviceWindowIDHex, const QString &deviceIp,
                                                const QString &playType, const QString &playIndex,
                                                const QString &playYinliang, const QString &deviceInfo1,
                                                const QString &deviceInfo2, const QString &deviceInfo3)
{
    return update(QStringLiteral("INSERT INTO DeviceNormalInfo (deviceWindowIDHex, deviceIp, playType,playIndex, "
                                 "playYinliang,deviceInfo1,deviceInfo2,deviceInfo3) VALUES (?,?,?,?,?,?,?,?)"),
                  {deviceWindowIDHex, deviceIp, playType, playIndex, playYinliang, deviceInfo1, deviceInfo2,
                   deviceInfo3});
}

bool FMManager::updateDeviceNormalInfoByDeviceWindowIDHex(const QString &deviceWindowIDHex,
                                                          const QString &deviceIp, const QString &playType,
                                                          const QString &playIndex,
                                                          const QString &playYinliang)
{
    return update(QStringLiteral("UPDATE DeviceNormalInfo SET deviceWindowIDHex = ?,playType = ?,playIndex = ?,"
                                 "playYinliang = ?where deviceIp = ?"),
                  {deviceWindowIDHex, playType, playIndex, playYinliang, deviceIp});
}

bool FMManager::selectDeviceNormalInfoisExistWithDeviceIp(const QString &deviceIp)
{
    return exists(QStringLiteral("SELECT * FROM DeviceNormalInfo where deviceIp = ?"), {deviceIp});
}

bool FMManager::selectDeviceNormalInfoisExistWithDeviceIp(const QString &deviceIp, const QString &windowIDHex)
{
    return exists(QStringLiteral("SELECT * FROM DeviceNormalInfo where deviceIp = ? AND deviceWindowIDHex = ?"),
                  {deviceIp, windowIDHex});
}

std::optional< ::DeviceNormalInfo> FMManager::selectDeviceNormalInfoWithDeviceIp(
    const QString &deviceIp, const QString &deviceWindowIDHex)
{
    if (!openHandle())
        return std::nullopt;
    ::DeviceNormalInfo info; // empty until a row overwrites it; the last row wins
    if (std::optional<SqliteRows> rows = m_db->executeQuery(
            QStringLiteral("SELECT * FROM DeviceNormalInfo where deviceIp = ? AND deviceWindowIDHex = ?"),
            {deviceIp, deviceWindowIDHex}))
        while (rows->next())
            overwriteFromRow(info, *rows);
    return info;
}

bool FMManager::DeviceNormalInfo()
{
    return update(QStringLiteral("delete  FROM DeviceNormalInfo"));
}

bool FMManager::recordDeviceNormalInfo(const QString &deviceWindowIDHex, const QString &deviceIp,
                                       const QString &playIndex)
{
    const auto rowsMatch = [this](const QString &sql, const QVariantList &args, bool &ok) {
        std::optional<SqliteRows> rows = m_db->executeQuery(sql, args);
        const bool found = rows && rows->next();
        ok = rows && (found || m_db->lastErrorCode() == 0);
        return found;
    };
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!openHandle())
            return false;
        const bool done = writeTransaction([&] {
            bool ok = true;
            const bool known =
                rowsMatch(QStringLiteral("SELECT * FROM DeviceNormalInfo where deviceIp = ?"), {deviceIp}, ok) && ok
                && rowsMatch(QStringLiteral("SELECT * FROM DeviceNormalInfo where deviceIp = ? AND deviceWindowIDHex = ?"),
                             {deviceIp, deviceWindowIDHex}, ok);
            if (!ok)
                return false;
            if (known)
                return m_db->executeUpdate(
                    QStringLiteral("UPDATE DeviceNormalInfo SET deviceWindowIDHex = ?,playType = ?,playIndex = ?,"
                                   "playYinliang = ?where deviceIp = ?"),
                    {deviceWindowIDHex, QStringLiteral("0"), playIndex, QStringLiteral(""), deviceIp});
            const QString zero = QStringLiteral("0");
            return m_db->executeUpdate(
                QStringLiteral("INSERT INTO DeviceNormalInfo (deviceWindowIDHex, deviceIp, playType,playIndex, "
                               "playYinliang,deviceInfo1,deviceInfo2,deviceInfo3) VALUES (?,?,?,?,?,?,?,?)"),
                {deviceWindowIDHex, deviceIp, zero, playIndex, zero, zero, zero, zero});
        });
        if (done)
            return true;
        if (!recover())
            return false;
    }
    return false;
}

// --- FilesTransInfo --------------------------------------------------------

bool FMManager::insertObjectByDeviceWindowIDHex(const QString &deviceWindowIDHex, const QString &deviceID,
                                                const QString &filesName, const QString &filesType,
                                                const QString &filesSize, const QString &filesIsFinish,
                                                const QByteArray &deviceInfo1, const QString &deviceInfo2,
                                                const QString &deviceInfo3)
{
    // Content too large for a row would make SQLite refuse the whole row,
    // and with it the history entry; the row goes without it.
    QByteArray content = deviceInfo1;
    if (content.size() > m_maxStoredContentLength) {
        qevaLog(lcStore, QStringLiteral("content of %1 (%2 bytes) not kept in the history: more than a row takes")
                             .arg(filesName)
                             .arg(content.size()));
        content = QByteArray();
    }
    return update(QStringLiteral("INSERT INTO FilesTransInfo (deviceWindowIDHex, deviceID, filesName,filesType, "
                                 "filesSize,filesIsFinish,deviceInfo1,deviceInfo2,deviceInfo3) "
                                 "VALUES (?,?,?,?,?,?,?,?,?)"),
                  {deviceWindowIDHex, deviceID, filesName, filesType, filesSize, filesIsFinish,
                   QVariant(content), deviceInfo2, deviceInfo3});
}

bool FMManager::updateFilesTransInfoByDeviceWindowIDHex(const QString &deviceWindowIDHex,
                                                        const QString &deviceID, const QString &filesName,
                                                        const QString &filesIsFinish)
{
    return update(QStringLiteral("UPDATE FilesTransInfo SET filesIsFinish = ? where deviceID = ? AND "
                                 "deviceWindowIDHex = ? AND filesName = ?"),
                  {filesIsFinish, deviceID, deviceWindowIDHex, filesName});
}

QList<PlayFilesInfo> FMManager::selectAllFilesTransInfoWithDeviceID(const QString &deviceID,
                                                                    const QString &deviceWindowIDHex)
{
    QList<PlayFilesInfo> list;
    if (!openHandle())
        return list;
    if (std::optional<SqliteRows> rows = m_db->executeQuery(QStringLiteral("SELECT * FROM FilesTransInfo")))
        while (rows->next())
            list.append(playFilesInfoFromRow(*rows));
    return list;
}

QList<PlayFilesInfo> FMManager::selectAllFilesTransListWithDeviceID(const QString &deviceID,
                                                                     const QString &deviceWindowIDHex)
{
    QList<PlayFilesInfo> list;
    if (!openHandle())
        return list;
    // Every column but the content: a row that holds a whole file (as rows
    // of older versions do) costs no more to list than any other.
    if (std::optional<SqliteRows> rows = m_db->executeQuery(
            QStringLiteral("SELECT deviceWindowIDHex, deviceID, filesName, filesType, filesSize, filesIsFinish, "
                           "deviceInfo2, deviceInfo3 FROM FilesTransInfo")))
        while (rows->next())
            list.append(playFilesInfoFromRow(*rows, false));
    return list;
}

bool FMManager::DeleteSingleFilesInfoWithDeviceID(const QString &deviceID, const QString &deviceWindowIDHex,
                                                  const QString &filesName)
{
    return update(QStringLiteral("delete  FROM FilesTransInfo where deviceID = ? AND deviceWindowIDHex = ? "
                                 "AND filesName = ?"),
                  {deviceID, deviceWindowIDHex, filesName});
}

bool FMManager::DeleteAllSendFiles()
{
    return update(QStringLiteral("delete  FROM FilesTransInfo"));
}
