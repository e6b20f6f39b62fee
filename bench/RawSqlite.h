#pragma once
// The floors of the benchmarks: the same reads and writes as the program's,
// done with plain sqlite3_* prepared statements on a connection of their own
// (the base file attached as "dbo", as the program attaches it), with nothing
// of QtSql in between.
#include <sqlite3.h>

#include <QString>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace rawsqlite {

class Statement {
public:
    Statement(sqlite3* db, const std::string& sql)
    {
        if (sqlite3_prepare_v3(db, sql.c_str(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr) !=
            SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, std::int64_t value)
    {
        sqlite3_bind_int64(stmt_, index + 1, value);
        return *this;
    }
    Statement& bind(int index, double value)
    {
        sqlite3_bind_double(stmt_, index + 1, value);
        return *this;
    }
    // One step: true while it gives a row.
    bool step()
    {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(sqlite3_db_handle(stmt_)));
        return false;
    }
    // Runs to the end and makes the statement ready for the next values.
    void run()
    {
        while (step()) {
        }
        sqlite3_reset(stmt_);
    }
    void reset() { sqlite3_reset(stmt_); }
    sqlite3_stmt* get() const { return stmt_; }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

class Connection {
public:
    explicit Connection(const QString& baseFile)
    {
        if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
            throw std::runtime_error("sqlite3_open_v2");
        exec("ATTACH DATABASE '" + baseFile.toStdString() + "' AS dbo");
        exec("PRAGMA dbo.synchronous=NORMAL");
        exec("PRAGMA foreign_keys=ON");
    }
    ~Connection() { sqlite3_close_v2(db_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void exec(const std::string& sql)
    {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string text = error ? error : "sqlite3_exec";
            sqlite3_free(error);
            throw std::runtime_error(text);
        }
    }
    sqlite3* get() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

// Reads every value of every row of the statement as its stored type; gives
// the number of values read.
inline std::int64_t ReadEveryValue(Statement& select)
{
    std::int64_t values = 0;
    double sink = 0;
    sqlite3_stmt* s = select.get();
    while (select.step()) {
        const int columns = sqlite3_column_count(s);
        for (int i = 0; i < columns; ++i, ++values) {
            switch (sqlite3_column_type(s, i)) {
            case SQLITE_INTEGER: sink += double(sqlite3_column_int64(s, i)); break;
            case SQLITE_FLOAT: sink += sqlite3_column_double(s, i); break;
            case SQLITE_TEXT: sink += double(sqlite3_column_bytes(s, i)); break;
            case SQLITE_BLOB: sink += double(sqlite3_column_bytes(s, i)); break;
            default: break;
            }
        }
    }
    select.reset();
    return values + (sink < 0 ? 1 : 0);
}

} // namespace rawsqlite
