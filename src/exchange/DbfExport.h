#pragma once
// The dBASE exchange: employees' data written into a dBASE III table that
// other programs read, and archive data and accrued pay read back from such a
// table. Three kinds of table:
//   1 constant information: one row per employee with the master data;
//   2 archive data: one row per monthly archive entry;
//   3 accrued pay: one row per pay row of the current month.
// Every column is VARCHAR(n) text in windows-1251; the first four columns
// (tabel, grup, otdel, fio) are common to all kinds.
//
// Row counters of an employee (EmployeeAttributes) over the first 60 rows of
// the record's row block: kvSdel (s) piece-work rows at the head of the block,
// then kvDBF (q) rows read from a kind-3 table, then the other inputs up to
// kvProizv (p), where the calculated pay rows start. Kind 3 writes the rows
// from p on; its read-back replaces the q rows from s.
#include "infobase/InfoBaseDb.h"
#include "payroll/PayrollDocument.h"
#include "values/ImportCheck.h"

#include <QString>

#include <functional>
#include <stop_token>

namespace kalvor::dbf {
class CDbf;
}

namespace kalvor::exchange {

enum DbfKind : int { DbfConstInfo = 1, DbfArchive = 2, DbfAccrued = 3 };
enum DbfMode : int { DbfWrite = 1, DbfRead = 2 };

// Results of ExportDbf (the views show -k as message 42 + k of ExchangeErrorTexts).
inline constexpr int kDbfNoSuchEmployee = -4; // the personnel number is not in the list
inline constexpr int kDbfNoEmployees = -6; // no employee passes the shop and brigade test
inline constexpr int kDbfBadExtension = -9; // the file's extension is not ".dbf"
inline constexpr int kDbfNoTable = -12; // no file to read, or no table name

// Most rows read back for one employee.
inline constexpr int kDbfArchiveLimit = 1200;
inline constexpr int kDbfAccruedLimit = 25;

// How a run reports progress (WM_TASK_PROGRESS: the list position and the
// selected count; -1 at the end) and learns that it is to stop.
struct DbfRunControl {
    std::function<void(int position, int count)> progress;
    std::stop_token stop;
    // A message box of the run (caption "Kalvor", error icon); the import
    // shows the messages of RebuildIndexAfterImport through it.
    std::function<void(const QString& text)> showMessage;
    // Told once a written table is committed: its file and the records the
    // run added to it.
    std::function<void(const QString& path, int records)> written;
};

// The table of a path: its folder and its file name with the extension.
struct TablePath {
    QString folder;
    QString tableName;
    bool nameEmpty = false;
};
// Splits the path into the folder and the table name; ".dbf" is added to a
// name without extension, any other extension than ".dbf" (in any case)
// gives kDbfBadExtension, else 0.
int SplitTablePath(const QString& path, TablePath& out);

// Writes (mode 1) or reads back (mode 2, kinds 2 and 3) the table at `path`
// for the employees of the selection: those marked in the list when
// selectedCount is not 0, else the one personnel number, else every employee
// of the shop and brigade (0 = any). A write appends to an existing table and
// creates a missing one. Returns 0 after a write, the number of employees read
// in mode 2, or a negative result above. An employee whose rows hold a value
// their fields cannot hold keeps his stored rows; the run names such
// employees in one message at the end (showMessage). Table failures are thrown as
// db::DbError; the table is then left as it was. A stopped run keeps the rows
// of the employees done so far. `listChanged` is set when a name changed
// (never by these kinds).
int ExportDbf(PayrollDoc& doc, const infobase::Selection& selection, int kind, int mode, const QString& path,
              int& listChanged, int selectedCount, const DbfRunControl& control = {});

// Runs the CREATE TABLE statement of the kind for the table name.
void CreateDbfTable(int kind, const QString& tableName, dbf::CDbf& table);
// Writes the rows of the employee at `position` of the current list (mode 1,
// result 0) or reads his rows back (mode 2: 1 when the table held rows of his,
// else 0; 0 too when a value of his rows is refused, which `check` names).
// The employee becomes the base's current record.
int WriteDbfRows(int kind, const QString& tableName, int position, int mode, dbf::CDbf& table, PayrollDoc& doc,
                 ImportCheck& check);

// Orders archive entries by year, month, kind code, then the year and month of
// "fact", each ascending: negative, 0 or positive.
int CompareArchiveEntries(const infobase::WariaEntry& a, const infobase::WariaEntry& b);

} // namespace kalvor::exchange
