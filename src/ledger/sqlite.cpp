#include "ledger/sqlite.h"

#include "platform/failure.h"
#include "platform/words.h"

#include <QFile>

#include <sqlite3.h>

namespace tarvel::sql {

Database::Database(const QString& path, Mode mode, int busyTimeoutMs, Links links) : path_(path)
{
    int flags =
        mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (links == Links::Refused)
        flags |= SQLITE_OPEN_NOFOLLOW;
    const int status = sqlite3_open_v2(QFile::encodeName(path).constData(), &db_,
                                       flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (status != SQLITE_OK) {
        const bool link = db_ && sqlite3_extended_errcode(db_) == SQLITE_CANTOPEN_SYMLINK;
        const QString reason =
            link  ? Words::tr("it is a symbolic link, which Tarvel does not follow in the data "
                               "folder; remove it")
            : db_ ? QString::fromUtf8(sqlite3_errmsg(db_))
                  : QString::fromUtf8(sqlite3_errstr(status));
        sqlite3_close(db_);
        db_ = nullptr;
        throw Failure(Words::tr("opening the certificate ledger"), path, reason);
    }
    sqlite3_busy_timeout(db_, busyTimeoutMs);
    sqlite3_extended_result_codes(db_, 1);
}

Database::~Database()
{
    sqlite3_close(db_);
}

void Database::fail(const QString& action) const
{
    throw Failure(action, path_, QString::fromUtf8(sqlite3_errmsg(db_)));
}

void Database::execute(const char* sql)
{
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(Words::tr("using the certificate ledger"));
}

Statement Database::prepare(const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK)
        fail(Words::tr("using the certificate ledger"));
    return Statement(*this, statement);
}

qint64 Database::lastInsertId() const
{
    return sqlite3_last_insert_rowid(db_);
}

Statement::Statement(Database& database, sqlite3_stmt* statement)
    : database_(database)
    , statement_(statement)
{
}

Statement::Statement(Statement&& other) noexcept
    : database_(other.database_)
    , statement_(std::exchange(other.statement_, nullptr))
{
}

Statement::~Statement()
{
    sqlite3_finalize(statement_);
}

Statement& Statement::bind(int index, qint64 value)
{
    sqlite3_bind_int64(statement_, index, value);
    return *this;
}

Statement& Statement::bind(int index, const QString& value)
{
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(statement_, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bindNull(int index)
{
    sqlite3_bind_null(statement_, index);
    return *this;
}

Statement& Statement::bind(int index, const std::optional<qint64>& value)
{
    return value ? bind(index, *value) : bindNull(index);
}

bool Statement::step()
{
    const int status = sqlite3_step(statement_);
    if (status == SQLITE_ROW)
        return true;
    if (status == SQLITE_DONE)
        return false;
    database_.fail(Words::tr("using the certificate ledger"));
}

void Statement::run()
{
    while (step()) {
    }
}

void Statement::reset()
{
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(statement_, column);
}

QString Statement::text(int column) const
{
    const auto* utf8 = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return utf8 ? QString::fromUtf8(utf8, sqlite3_column_bytes(statement_, column)) : QString();
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

Transaction::Transaction(Database& database) : database_(database)
{
    database_.execute("BEGIN IMMEDIATE");
}

Transaction::~Transaction()
{
    if (!open_)
        return;
    try {
        database_.execute("ROLLBACK");
    } catch (...) {
        // The connection is gone or the transaction was rolled back already: nothing kept.
    }
}

void Transaction::commit()
{
    database_.execute("COMMIT");
    open_ = false;
}

} // namespace tarvel::sql
