#pragma once

#include "session/deviceinfo.h"
#include "store/devicenormalinfo.h"
#include "store/playfilesinfo.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>
#include <optional>

class AppContext;
class SqliteDatabase;

// The local database: "dataBase.db" in the context's documents
// folder with the tables UserInfo, DeviceNormalInfo and FilesTransInfo.
// Every operation runs exactly one SQL statement with bound values; callers
// never see SQL. Operations report success as a bool (true also when no row
// matched), absence as std::nullopt or an empty list, and never throw.
// A null QString argument binds SQL NULL; a NULL column reads back as a null
// QString (QByteArray for the file blob).
//
// The handle is kept open between operations (the Part leaves that open);
// closeDatabase() closes it and the next operation opens it again.
// Within the process one caller at a time (the main thread). Another client
// may use the same file: the handle waits for its writes (busy timeout), and
// discovery's check-then-write steps run under one write lock.
//
// When the file cannot be opened or written, the first such failure posts
// kStoreFailedNotice, once. With setFallbackToMemory(true) (the app) the
// store then carries on in memory for the rest of the run, keeping what it
// could still read from the file, so that every screen keeps working.
class FMManager
{
public:
    static constexpr const char *kStoreFailedNotice = "didFailToUseLocalDatabaseNotice";

    // What recordUserInfo() did.
    enum class Recorded { Unchanged, Updated, Inserted, Failed };

    explicit FMManager(AppContext &ctx);
    ~FMManager();
    FMManager(const FMManager &) = delete;
    FMManager &operator=(const FMManager &) = delete;

    static FMManager &sharedManagerInstance();

    // The handle. Without one every operation fails (false / nothing).
    SqliteDatabase *db() const { return m_db.get(); }
    void setDb(std::unique_ptr<SqliteDatabase> db);

    void closeDatabase();

    void setFallbackToMemory(bool on) { m_fallbackToMemory = on; }
    bool isInMemory() const { return m_inMemory; }
    // Whether a failure of the file has been met (and reported) in this run.
    bool hasFailed() const { return m_failureReported; }

    // --- UserInfo ---------------------------------------------------------
    bool insertObjectByUserName(const QString &userName, const QString &deviceName,
                                const QString &devicePassword, const QString &deviceWindowHex,
                                const QString &deviceWindowNum, const QString &deviceIp,
                                const QString &userId, const QString &deviceInfo1,
                                const QString &deviceInfo2, const QString &deviceInfo3);
    bool updateUserInfoByUserName(const QString &userName, const QString &devicePassword,
                                  const QString &deviceWindowHex, const QString &deviceWindowNum,
                                  const QString &userId, const QString &deviceName,
                                  const QString &serverInfoHex, const QString &deviceLoginState);
    // Whether a row has this userId (and this deviceWindowHex).
    bool selectDeviceInfoWith(const QString &userId);
    bool selectDeviceInfoWith(const QString &userId, const QString &windowNumHex);
    bool updateDeviceIsLoginByDeviceName(const QString &deviceName, const QString &loginState);
    // The last row with this name; an empty record when none has it;
    // nothing only when the database cannot be opened. deviceInfo3 is not
    // read back (the Part fills the first nine fields only).
    std::optional<DeviceInfo> selectUserInfoWithDeviceName(const QString &deviceName);
    bool DeleteUserInfo();
    // Every row in table order; empty also when the database cannot be
    // opened (no caller tells "nothing" from "no row").
    QList<DeviceInfo> selectAllUserInfoDatas();

    // Discovery's step for one server-information reply (d as it would be
    // stored): insert it when no row has its userId, update that row (user
    // name, password, window count, name, login state, window records) when
    // it holds another window count, else leave the table as it is. The
    // check and the write it decides run under one write lock, with the
    // statements above. beforeInsert runs only for a server not stored yet.
    // The check reads a copy of every row's userId and window count, which
    // is read again only after another connection changed the file: a
    // steady stream of announcements costs no table scan.
    Recorded recordUserInfo(const DeviceInfo &d, const std::function<void()> &beforeInsert = {});
    // Counts the changes to UserInfo that recordUserInfo() did not make: the
    // other operations above, and writes of another client (seen by
    // recordUserInfo()). A list kept in step with recordUserInfo() reloads
    // when this moved.
    quint64 userInfoGeneration() const { return m_userInfoGeneration; }

    // --- DeviceNormalInfo -------------------------------------------------
    bool insertObjectByDeviceWindowIDHex(const QString &deviceWindowIDHex, const QString &deviceIp,
                                         const QString &playType, const QString &playIndex,
                                         const QString &playYinliang, const QString &deviceInfo1,
                                         const QString &deviceInfo2, const QString &deviceInfo3);
    // Keyed by the address alone: rewrites every row of that address.
    bool updateDeviceNormalInfoByDeviceWindowIDHex(const QString &deviceWindowIDHex,
                                                   const QString &deviceIp, const QString &playType,
                                                   const QString &playIndex,
                                                   const QString &playYinliang);
    bool selectDeviceNormalInfoisExistWithDeviceIp(const QString &deviceIp);
    bool selectDeviceNormalInfoisExistWithDeviceIp(const QString &deviceIp,
                                                   const QString &windowIDHex);
    // The last matching row; an empty record when none matches; nothing only
    // when the database cannot be opened.
    std::optional< ::DeviceNormalInfo> selectDeviceNormalInfoWithDeviceIp(
        const QString &deviceIp, const QString &deviceWindowIDHex);
    // Deletes every play-state row (the Part's name for it).
    bool DeviceNormalInfo();

    // Discovery's step for one play-state reply: update the rows of the
    // address when one of them has this window, else insert a row; the
    // check and the write under one write lock.
    bool recordDeviceNormalInfo(const QString &deviceWindowIDHex, const QString &deviceIp,
                                const QString &playIndex);

    // --- FilesTransInfo ---------------------------------------------------
    // deviceInfo1 is bound as a blob when it fits in a row
    // (maxStoredContentLength()); larger content is not kept, the row is
    // written with NULL there.
    bool insertObjectByDeviceWindowIDHex(const QString &deviceWindowIDHex, const QString &deviceID,
                                         const QString &filesName, const QString &filesType,
                                         const QString &filesSize, const QString &filesIsFinish,
                                         const QByteArray &deviceInfo1, const QString &deviceInfo2,
                                         const QString &deviceInfo3);
    bool updateFilesTransInfoByDeviceWindowIDHex(const QString &deviceWindowIDHex,
                                                 const QString &deviceID, const QString &filesName,
                                                 const QString &filesIsFinish);
    // The whole history, every device and window: the arguments do not
    // narrow it (as in the Part). Empty also when the database cannot be
    // opened.
    QList<PlayFilesInfo> selectAllFilesTransInfoWithDeviceID(const QString &deviceID,
                                                             const QString &deviceWindowIDHex);
    // The same rows for a list that shows names, sizes and states: the
    // content (deviceInfo1) is not read and stays null.
    QList<PlayFilesInfo> selectAllFilesTransListWithDeviceID(const QString &deviceID,
                                                             const QString &deviceWindowIDHex);
    bool DeleteSingleFilesInfoWithDeviceID(const QString &deviceID,
                                           const QString &deviceWindowIDHex,
                                           const QString &filesName);
    bool DeleteAllSendFiles();

    // SQLite takes no value or row over 1,000,000,000 bytes by default; the
    // rest of a row needs far less than the margin left here.
    static constexpr qint64 kMaxStoredContentLength = 1000000000 - (qint64(1) << 20);
    qint64 maxStoredContentLength() const { return m_maxStoredContentLength; }
    void setMaxStoredContentLength(qint64 bytes) { m_maxStoredContentLength = bytes; }

private:
    bool openHandle();
    bool update(const QString &sql, const QVariantList &args = {});
    bool exists(const QString &sql, const QVariantList &args);
    // After a failed statement: reports a failure of the file once and, when
    // allowed, moves the store into memory. True when the statement may be
    // tried again.
    bool recover();
    void reportFailure();
    bool createTables(SqliteDatabase &db, bool logFailures);
    // Runs body inside BEGIN IMMEDIATE ... COMMIT; rolls back when body or
    // the commit fails.
    bool writeTransaction(const std::function<bool()> &body);
    std::optional<qint64> dataVersion();
    bool loadUserIds(qint64 version);

    AppContext &m_ctx;
    std::unique_ptr<SqliteDatabase> m_db;
    qint64 m_maxStoredContentLength = kMaxStoredContentLength;
    bool m_fallbackToMemory = false;
    bool m_inMemory = false;
    bool m_failureReported = false;
    // userId -> deviceWindowHex of every UserInfo row, as of data_version
    // m_userIdsVersion of this connection.
    QHash<QString, QString> m_userIds;
    bool m_userIdsValid = false;
    qint64 m_userIdsVersion = -1;
    quint64 m_userInfoGeneration = 0;
};
