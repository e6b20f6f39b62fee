#pragma once
// A folder of dBASE III tables reached through SQL statements, one at a time:
// the exchange functions and the DBF bank registers create tables, append
// rows and read rows through it. Texts go in and out as windows-1251 bytes.
//
// The statements it understands (keywords in any case):
//   CREATE TABLE t (c VARCHAR(n), ..., [time] VARCHAR(6))
//   INSERT INTO t (c, ...) VALUES ('v', ...)      '' inside a value is one quote
//   SELECT * FROM t [WHERE c='v']
// The table t is the file t (".dbf" added when the name lacks it) in the
// folder, found without regard to case. A column that an INSERT leaves out is
// blank and reads back as empty text.
//
// Tables that statements change are kept in memory and written by Commit():
// each under a temporary name beside it, then renamed over it. An object
// destroyed without Commit() leaves every table as it was, so a run that fails
// half way leaves the old table. The destructor never throws.
//
// Every failure is a db::DbError (code, message, description, source), thrown
// by any operation, the constructor included. An object belongs to the one
// thread that made it.
#include "platform/Dbf.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <map>
#include <vector>

namespace kalvor::dbf {

class CDbf {
public:
    // The folder must exist.
    explicit CDbf(const QString& folder);
    virtual ~CDbf();
    CDbf(const CDbf&) = delete;
    CDbf& operator=(const CDbf&) = delete;

    // Runs one statement. A SELECT leaves its rows open for reading, and the
    // rows must be closed (Close) before the next statement.
    void Open(const QByteArray& statement);
    // Closes the rows of a SELECT; 0.
    int Close();
    // The next row; 0.
    int MoveNext();
    // True past the last row, also at once after a SELECT that found none.
    bool IsEof() const;
    // Takes the columns of the current result; 0.
    int GetFields();
    // Columns of the result taken by GetFields (0 before).
    int GetFieldCount() const;
    // The text of column `index` (from 0) of the current row: trailing blanks
    // dropped, an all-blank value empty; numbers trimmed, dates "dd.mm.yyyy",
    // logical fields as their letter.
    QByteArray GetFieldValue(int index) const;

    // Writes every table that statements changed, stamped with `updated` as
    // the last update.
    void Commit(const QDate& updated);

    // Whether the folder holds the table (named as in a statement).
    bool HasTable(const QString& tableName) const;
    // The records of the table as they stand (those of its file and those
    // inserted since), and the path of its file.
    int RecordCount(const QString& tableName);
    QString TableFile(const QString& tableName) const;

private:
    struct Table {
        QString path;
        DbfTable table;
        bool changed = false;
    };
    Table& Load(const QString& tableName);
    QString PathOf(const QString& tableName) const;
    void Create(const QString& tableName, const std::vector<QByteArray>& names, const std::vector<int>& widths);
    void Insert(const QString& tableName, const std::vector<QByteArray>& columns,
                const std::vector<QByteArray>& values);
    void Select(const QString& tableName, const QByteArray& column, const QByteArray& value, bool filtered);
    void RequireRow() const;

    QString m_folder;
    std::map<QString, Table> m_tables; // by lower-case file name
    const Table* m_result = nullptr; // the open rows of a SELECT
    std::vector<int> m_rows;
    std::size_t m_position = 0;
    bool m_fieldsTaken = false;
};

} // namespace kalvor::dbf
