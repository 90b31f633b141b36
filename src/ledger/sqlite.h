#pragma once
/// A thin owner of SQLite's C objects: a database connection, prepared statements with
/// bound parameters, transactions. Every failure is a tarvel::Failure naming the file.

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace tarvel::sql {

class Statement;

/// One connection, used from one thread at a time.
class Database {
public:
    enum class Mode { ReadWrite, ReadOnly };
    /// Whether `path` may be a symbolic link. Refused: a link, even one pointing nowhere,
    /// is a failure, and its target is neither opened nor created.
    enum class Links { Followed, Refused };

    /// Opens (ReadWrite: creating) the database file at `path` (a path of this machine).
    /// Another connection's lock is waited for up to `busyTimeoutMs`.
    Database(const QString& path, Mode mode, int busyTimeoutMs, Links links = Links::Followed);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    /// Runs SQL without parameters (schema, pragmas).
    void execute(const char* sql);
    Statement prepare(const char* sql);
    /// The rowid of the last row inserted on this connection.
    qint64 lastInsertId() const;
    const QString& path() const { return path_; }

    /// Throws tarvel::Failure for `action` with SQLite's last message on this connection.
    [[noreturn]] void fail(const QString& action) const;

private:
    sqlite3* db_ = nullptr;
    QString path_;
};

/// A prepared statement: parameters are bound by index from 1, rows stepped through and
/// read by column from 0. Text is UTF-8 in the database.
class Statement {
public:
    Statement(Statement&& other) noexcept;
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement& operator=(Statement&&) = delete;

    Statement& bind(int index, qint64 value);
    Statement& bind(int index, const QString& value);
    Statement& bindNull(int index);
    Statement& bind(int index, const std::optional<qint64>& value);

    /// Steps once: true while a row is there to read, false when done.
    bool step();
    /// Steps to the end of a statement that returns no rows.
    void run();
    /// Clears the bindings and rewinds, to run again.
    void reset();

    qint64 integer(int column) const;
    QString text(int column) const;
    bool isNull(int column) const;

private:
    friend class Database;
    Statement(Database& database, sqlite3_stmt* statement);

    Database& database_;
    sqlite3_stmt* statement_ = nullptr;
};

/// BEGIN IMMEDIATE on construction (waiting for another writer within the busy timeout),
/// ROLLBACK on destruction unless commit() was called.
class Transaction {
public:
    explicit Transaction(Database& database);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Database& database_;
    bool open_ = true;
};

} // namespace tarvel::sql
