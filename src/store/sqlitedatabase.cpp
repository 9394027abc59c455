#include "store/sqlitedatabase.h"

#include "core/logging.h"
#include "core/logsink.h"

#include <sqlite3.h>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

// Checkpoints the WAL of one file from a thread of its own, when asked.
// Errors are left to the next attempt: the WAL only grows meanwhile, and the
// last connection to close writes it back in any case.
class WalCheckpointer
{
public:
    explicit WalCheckpointer(const QByteArray &path)
        : m_path(path)
        , m_thread([this] { run(); })
    {
    }
    ~WalCheckpointer()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }
    void request()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requested = true;
        }
        m_wake.notify_one();
    }

private:
    void run()
    {
        sqlite3 *handle = nullptr;
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stop || m_requested; });
            if (m_stop)
                break;
            m_requested = false;
            lock.unlock();
            if (!handle && sqlite3_open_v2(m_path.constData(), &handle, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
                sqlite3_close(handle);
                handle = nullptr;
            }
            if (handle) {
                sqlite3_busy_timeout(handle, SqliteDatabase::kBusyTimeoutMs);
                sqlite3_wal_checkpoint_v2(handle, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
            }
            lock.lock();
        }
        lock.unlock();
        sqlite3_close(handle);
    }

    const QByteArray m_path;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_requested = false;
    bool m_stop = false;
    std::thread m_thread; // last: starts once the rest is there
};

SqliteRows::SqliteRows(sqlite3_stmt *statement, SqliteDatabase *owner)
    : m_statement(statement)
    , m_owner(owner)
{
    const int n = sqlite3_column_count(m_statement);
    for (int i = 0; i < n; ++i)
        m_columns.insert(QString::fromUtf8(sqlite3_column_name(m_statement, i)).toLower(), i);
}

SqliteRows::SqliteRows(SqliteRows &&other) noexcept
    : m_statement(std::exchange(other.m_statement, nullptr))
    , m_owner(other.m_owner)
    , m_columns(std::move(other.m_columns))
{
}

SqliteRows &SqliteRows::operator=(SqliteRows &&other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_statement);
        m_statement = std::exchange(other.m_statement, nullptr);
        m_owner = other.m_owner;
        m_columns = std::move(other.m_columns);
    }
    return *this;
}

SqliteRows::~SqliteRows()
{
    sqlite3_finalize(m_statement); // a no-op on null
}

bool SqliteRows::next()
{
    if (!m_statement)
        return false;
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE && m_owner)
        m_owner->failFromHandle(rc);
    return false;
}

int SqliteRows::columnIndex(const QString &name) const
{
    return m_columns.value(name.toLower(), -1);
}

QString SqliteRows::stringForColumn(const QString &name) const
{
    const int i = columnIndex(name);
    if (i < 0 || sqlite3_column_type(m_statement, i) == SQLITE_NULL)
        return QString();
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, i));
    const int bytes = sqlite3_column_bytes(m_statement, i);
    QString s = QString::fromUtf8(text, bytes);
    return s.isNull() ? QStringLiteral("") : s;
}

QByteArray SqliteRows::dataForColumn(const QString &name) const
{
    const int i = columnIndex(name);
    if (i < 0 || sqlite3_column_type(m_statement, i) == SQLITE_NULL)
        return QByteArray();
    const auto *data = static_cast<const char *>(sqlite3_column_blob(m_statement, i));
    const int bytes = sqlite3_column_bytes(m_statement, i);
    // SQLite hands a zero-length blob over as a null pointer.
    return bytes > 0 && data ? QByteArray(data, bytes) : QByteArray("");
}

SqliteDatabase::SqliteDatabase(const QString &path)
    : m_path(path)
{
}

SqliteDatabase::~SqliteDatabase()
{
    close();
}

bool SqliteDatabase::open()
{
    if (m_handle)
        return true;
    m_lastStatement = QStringLiteral("open ") + m_path;
    sqlite3 *handle = nullptr;
    const int rc = sqlite3_open_v2(m_path.toUtf8().constData(), &handle,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const int code = handle ? sqlite3_extended_errcode(handle) : rc;
        const QString message = handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(handle);
        fail(code, message);
        return false;
    }
    m_handle = handle;
    m_lastCode = 0;
    m_lastError.clear();
    sqlite3_extended_result_codes(m_handle, 1);
    sqlite3_busy_timeout(m_handle, kBusyTimeoutMs);
    // Best effort: a file that cannot be written keeps its journal mode and
    // says so at the first write.
    sqlite3_exec(m_handle, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(m_handle, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    if (m_path != QLatin1String(kInMemory)) {
        // Replaces SQLite's checkpoint on commit, which would run here.
        m_checkpointer = std::make_unique<WalCheckpointer>(m_path.toUtf8());
        sqlite3_wal_hook(m_handle, &SqliteDatabase::walCommitted, this);
    }
    return true;
}

int SqliteDatabase::walCommitted(void *self, sqlite3 *, const char *, int pages)
{
    auto *db = static_cast<SqliteDatabase *>(self);
    if (pages >= kCheckpointPages && db->m_checkpointer)
        db->m_checkpointer->request();
    return SQLITE_OK;
}

bool SqliteDatabase::lastFailureIsStorage() const
{
    switch (m_lastCode & 0xff) {
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_IOERR:
    case SQLITE_FULL:
    case SQLITE_PERM:
        return true;
    default:
        return false;
    }
}

void SqliteDatabase::close()
{
    m_checkpointer.reset();
    // close_v2: should a result still be alive, the handle goes when it does.
    sqlite3_close_v2(m_handle);
    m_handle = nullptr;
}

bool SqliteDatabase::tableExists(const QString &name)
{
    std::optional<SqliteRows> rows = executeQuery(
        QStringLiteral("select [sql] from sqlite_master where [type] = 'table' and lower(name) = ?"),
        {name.toLower()});
    return rows && rows->next();
}

bool SqliteDatabase::executeUpdate(const QString &sql, const QVariantList &args)
{
    sqlite3_stmt *statement = prepare(sql, args, true);
    if (!statement)
        return false;
    const int rc = sqlite3_step(statement);
    const bool ok = rc == SQLITE_DONE || rc == SQLITE_ROW;
    if (!ok)
        failFromHandle(rc);
    sqlite3_finalize(statement);
    return ok;
}

std::optional<SqliteRows> SqliteDatabase::executeQuery(const QString &sql, const QVariantList &args)
{
    sqlite3_stmt *statement = prepare(sql, args, false);
    if (!statement)
        return std::nullopt;
    return SqliteRows(statement, this);
}

void SqliteDatabase::rollback()
{
    if (!m_handle || sqlite3_get_autocommit(m_handle))
        return;
    if (sqlite3_exec(m_handle, "ROLLBACK", nullptr, nullptr, nullptr) != SQLITE_OK)
        qevaLog(lcStore, QStringLiteral("SQLite: %1 in \"ROLLBACK\" on %2").arg(QString::fromUtf8(sqlite3_errmsg(m_handle)), m_path));
}

sqlite3_stmt *SqliteDatabase::prepare(const QString &sql, const QVariantList &args, bool argsOutlive)
{
    m_lastStatement = sql;
    m_lastError.clear();
    m_lastCode = 0;
    if (!m_handle) {
        fail(SQLITE_MISUSE, QStringLiteral("database not open"));
        return nullptr;
    }
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt *statement = nullptr;
    const int rc = sqlite3_prepare_v2(m_handle, utf8.constData(), int(utf8.size()), &statement, nullptr);
    if (rc != SQLITE_OK || !statement) {
        failFromHandle(rc == SQLITE_OK ? SQLITE_MISUSE : rc);
        sqlite3_finalize(statement);
        return nullptr;
    }
    if (sqlite3_bind_parameter_count(statement) != args.size()) {
        fail(SQLITE_RANGE,
             QStringLiteral("%1 values for %2 parameters").arg(args.size()).arg(sqlite3_bind_parameter_count(statement)));
        sqlite3_finalize(statement);
        return nullptr;
    }
    for (int i = 0; i < args.size(); ++i) {
        const QVariant &v = args.at(i);
        const int index = i + 1;
        int rc;
        // A query's rows may outlive the argument list: SQLite keeps its own
        // copy there. An update is stepped and finished while args live.
        if (v.typeId() == QMetaType::QByteArray) {
            const QByteArray b = v.toByteArray();
            if (b.isNull())
                rc = sqlite3_bind_null(statement, index);
            else if (b.isEmpty())
                rc = sqlite3_bind_zeroblob(statement, index, 0); // a null pointer would bind NULL
            else
                // b shares the bytes held by args, so they stay where they are.
                rc = sqlite3_bind_blob64(statement, index, b.constData(), sqlite3_uint64(b.size()),
                                         argsOutlive ? SQLITE_STATIC : SQLITE_TRANSIENT);
        } else {
            const QString s = v.isValid() ? v.toString() : QString();
            if (s.isNull()) {
                rc = sqlite3_bind_null(statement, index);
            } else {
                const QByteArray text = s.toUtf8();
                rc = sqlite3_bind_text64(statement, index, text.constData(), sqlite3_uint64(text.size()),
                                         SQLITE_TRANSIENT, SQLITE_UTF8);
            }
        }
        if (rc != SQLITE_OK) {
            failFromHandle(rc);
            sqlite3_finalize(statement);
            return nullptr;
        }
    }
    return statement;
}

void SqliteDatabase::failFromHandle(int code)
{
    const int extended = m_handle ? sqlite3_extended_errcode(m_handle) : code;
    fail(extended ? extended : code, m_handle ? QString::fromUtf8(sqlite3_errmsg(m_handle))
                                              : QString::fromUtf8(sqlite3_errstr(code)));
}

void SqliteDatabase::fail(int code, const QString &message)
{
    m_lastCode = code;
    m_lastError = message;
    qevaLog(lcStore, QStringLiteral("SQLite: %1 (%2) in \"%3\" on %4").arg(message).arg(code).arg(m_lastStatement, m_path));
}
