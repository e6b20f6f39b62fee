#pragma once
// The change of the reporting month: every employee's month is closed and the
// base is moved to the next month.
//
// MoveEmployeesToNextMonth archives what the month produced, carries debts,
// loans, writs, standing entries and future rows into the new month, closes
// what has ended, resets the monthly tables and prepares the new month's time
// sheet from the work schedules.
//
// All or nothing: the whole change runs in one database transaction on the
// calling thread's connection, and the tables that the change alters in memory
// (the time sheet, index words and line arrays, attributes, schedules,
// configuration, the current record) are saved inside it. When anything
// throws, the transaction is rolled back and the in-memory tables are put back
// as they were, so that the base and the program both stay in the old month;
// the error is then thrown on to the caller.
#include "payroll/PayrollDocument.h"
#include "payroll/RunOutcome.h"

#include <functional>

namespace kalvor {

// err values of the attribute record that the change sets.
inline constexpr int kMonthChangeTooManyRows = 22; // more than 28 rows carried for an employee in error
inline constexpr int kMonthChangeForeignData = 40; // inconsistent foreign-employee data
// Rows an employee in error carries into the new month.
inline constexpr int kMonthChangeCarriedRows = 28;

// The employees the calculation selects whose last calculation failed (an
// error code that does not pass with the month), one note each with his
// personnel number, his name and the error's text. Read from the status
// words in memory. The month change does not start while any stands: he is
// mended and computed again, or taken out of the calculation by his status.
RunOutcome FailedCalculations(const PayrollDoc& doc);

// The refusal that lists them, one a line.
QString MonthChangeRefusalText(const RunOutcome& failed);

// Moves every employee of the current list to the month newMonthKey (full
// year x 16 + month). stepIt is called after each employee of the first pass.
// Returns 1 when no error situation arose, else minus their number. Database
// errors (db::DbError; E_DB_STOPPED for a stop of the calling worker, seen
// between employees, or as its server sessions shut when the server does not
// answer, db::ServerStopScope) and allocation failures are thrown after the
// rollback;
// while a calculation failure stands (FailedCalculations) nothing is changed
// and a TextError with MonthChangeRefusalText is thrown; when the base
// moved under memory (its stored month or generation, StoredBaseMismatch)
// nothing is changed and a TextError with that refusal is thrown (an
// earlier write in doubt settled first by the interface thread, a worker
// waiting for it; db::DbError while the server does not say). A COMMIT cut by the
// stop is settled by the server's word (db::Transaction::commit): made, the
// change ends as a finished one; not known, db::DbError::commitInDoubt.
// `outcome`, when given, gets the employees moved, a warning for each one
// moved on as working though his dismissal date has passed, and each error
// situation with its text (nothing but the count after a rollback). What the
// change has to say of the firm as a whole is left in doc.monthChangeNotes
// (emptied first): the weekday schedules whose new month it made from the
// weekly pattern, and, into a new year, a year for which the tax tables hold
// nothing of its own.
int MoveEmployeesToNextMonth(int newMonthKey, const std::function<void()>& stepIt, PayrollDoc& doc,
                             RunOutcome* outcome = nullptr);

// Steps of the change that the tests check on their own.
namespace monthchange {

// Repays one loan for the month (the current record's loan `loan`, 0-3):
// kvMes months of its parts in order, at most the debt; returns the amount
// repaid in kopecks. `deducted` is what the month's rows took for the loan:
// when it is less than the repayment the calculation made of the parts (the
// amount to pay had no more room), the debt goes down by it alone and the
// parts keep their months, the instalment still due; below 0 (the month's
// rows were not calculated) the repayment is taken whole.
double RepayLoan(PayrollDoc& doc, int loan, double deducted = -1);

// The accrual year of an archived row: row month rowMonth of code `code`,
// closing the month oldMonthKey.
int ArchiveYear(int code, int rowMonth, int oldMonthKey);

// The dated-archive pay-kind code of a sick-leave certificate of kind vid
// whose start month is before (-1), in (0) or after (1) the month closed.
int SickLeaveArchiveCode(int vid, int startVsOldMonth);

// Appends an entry to the employee's monthly archive; a full archive
// (EmployeeRecord::ArchiveCapacity entries) drops its oldest entry first.
void AppendArchiveEntry(infobase::EmployeeRecord& rec, const infobase::WariaEntry& e);

// Moves the month rows of every schedule up by `months` (rows moved out are
// lost, rows moved in are empty).
void ShiftSchedules(PayrollDoc& doc, int months);

// The minimum-wage tables of the configuration for the new month.
void ShiftMonthlyTables(PayrollDoc& doc, int newMonthKey);

} // namespace monthchange

} // namespace kalvor
