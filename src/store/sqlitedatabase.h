#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariantList>
#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

class SqliteDatabase;
class WalCheckpointer;

// The rows of one query, read one at a time. Owns its statement and
// finalizes it when it goes; lives no longer than the operation that ran it.
class SqliteRows
{
public:
    SqliteRows(SqliteRows &&other) noexcept;
    SqliteRows &operator=(SqliteRows &&other) noexcept;
    SqliteRows(const SqliteRows &) = delete;
    SqliteRows &operator=(const SqliteRows &) = delete;
    ~SqliteRows();

    // Steps to the next row; false at the end and on an error (which the
    // database logs and keeps as its last error).
    bool next();
    // A column of the current row by name (any case). A NULL column reads as
    // a null QString / QByteArray; an empty text or a zero-length blob as an
    // empty but non-null one, so that "absent" and "empty" stay apart.
    QString stringForColumn(const QString &name) const;
    QByteArray dataForColumn(const QString &name) const;

private:
    friend class SqliteDatabase;
    SqliteRows(sqlite3_stmt *statement, SqliteDatabase *owner);
    int columnIndex(const QString &name) const;

    sqlite3_stmt *m_statement = nullptr;
    SqliteDatabase *m_owner = nullptr;
    QHash<QString, int> m_columns; // lower-cased name -> index
};

// The one thin layer over SQLite (its C API) that the store needs: open a
// file, creating it when missing; close it; ask whether a table exists; run a
// statement with positional ? parameters. A bound QVariant holding a null
// QString or a null QByteArray (or nothing) binds SQL NULL, any other
// QByteArray a blob, anything else text.
//
// Why not QtSql: Qt's QSQLITE driver rewrites positional placeholders into
// named ones and so breaks statements the Part gives verbatim, e.g.
// "... playYinliang = ?where deviceIp = ?", which SQLite itself accepts.
//
// A file is opened with a busy timeout, so that a second client on the same
// file waits for the other's write instead of failing, in WAL mode with
// NORMAL sync: the store is emptied on every scan and rebuilt from the
// network, so a commit need not reach the disk before the next one starts.
// The WAL is written back to the file (a checkpoint, with its fsync) by a
// thread of its own with a connection of its own, never by the caller: a
// burst of writes must not stall the event loop on the disk.
// Every failed statement is logged with SQLite's own text.
class SqliteDatabase
{
public:
    static constexpr int kBusyTimeoutMs = 3000;
    // WAL pages after which a checkpoint is asked for (SQLite's own default).
    static constexpr int kCheckpointPages = 1000;
    static constexpr const char *kInMemory = ":memory:";

    explicit SqliteDatabase(const QString &path);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase &) = delete;
    SqliteDatabase &operator=(const SqliteDatabase &) = delete;

    QString path() const { return m_path; }

    // Opens the file, creating it when missing; an open handle stays open
    // and opening it again succeeds.
    bool open();
    void close();
    bool isOpen() const { return m_handle != nullptr; }

    // Asks the catalogue, as the Part says: "select [sql] from sqlite_master
    // where [type] = 'table' and lower(name) = ?" with the name lower-cased.
    bool tableExists(const QString &name);
    // A statement run for its effect; false when SQLite rejects it.
    bool executeUpdate(const QString &sql, const QVariantList &args = {});
    // A statement that yields rows; nothing when SQLite rejects it.
    std::optional<SqliteRows> executeQuery(const QString &sql, const QVariantList &args = {});
    // Ends an open transaction without its changes. The failure that led
    // here stays the last error.
    void rollback();

    // The text of the last statement handed over, and why the last failure
    // failed: for tests and diagnostics.
    QString lastStatement() const { return m_lastStatement; }
    QString lastErrorMessage() const { return m_lastError; }
    // SQLite's (extended) result code of the last failure; 0 when the last
    // statement went through.
    int lastErrorCode() const { return m_lastCode; }
    // Whether the last failure says the file itself cannot be used (cannot
    // be opened or written, is full, is not a database, is damaged), as
    // opposed to a statement that is wrong or a lock that stayed taken.
    bool lastFailureIsStorage() const;

private:
    friend class SqliteRows;
    // argsOutlive: the statement is finished before args go, so SQLite may
    // read the values where they are instead of copying them (a file's
    // content is the size of the file).
    sqlite3_stmt *prepare(const QString &sql, const QVariantList &args, bool argsOutlive);
    void fail(int code, const QString &message);
    void failFromHandle(int code);

    static int walCommitted(void *self, sqlite3 *handle, const char *database, int pages);

    QString m_path;
    sqlite3 *m_handle = nullptr;
    std::unique_ptr<WalCheckpointer> m_checkpointer;
    QString m_lastStatement;
    QString m_lastError;
    int m_lastCode = 0;
};
