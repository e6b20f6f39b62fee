#pragma once
// The month's payment statements as text (form T-53, "ПЛАТЕЖНАЯ ВЕДОМОСТЬ"):
// the advance, bonus, sick-pay and vacation-pay statements.
//
// One page layout serves them all: a title page, numbered pages of 25 rows
// and a closing block with the total. Every line is 8-bit windows-1251 text
// ended by "\r\n"; the rules are 72 characters wide, a row is 74 bytes with
// its line end. The statement is built in memory and written once, under a
// temporary name that is renamed when complete.
//
// Amounts are kopecks; every amount shown is rounded by pay kind 904 and then
// by the payout rounding. A row whose rounded amount is 0 is not printed and
// gets no number. The total is summed from the "%10.2f" text of each amount:
// whole roubles, and the kopecks after the point carried into roubles.
#include "payroll/CalcTypes.h"
#include "print/PrintOutput.h"

#include <QByteArray>
#include <QString>

#include <functional>

#include <vector>

namespace kalvor::print {

// Rows on a page of the statement; row k stands on page (k - 1) / 25 + 2.
inline constexpr int kStatementPageRows = 25;
// The pay kind whose rounding every statement amount takes.
inline constexpr int kStatementRoundingKind = kCodePayout; // 904

enum class StatementKind {
    Advance, // one row per employee: the advance of the month (CInfoBase::av)
    SickPay, // one row per sick-leave sheet to be paid in the month ("Выплатить в м/р")
    Vacation, // one row per vacation note to be paid in the month ("Выплатить в м/р")
};

struct StatementRow {
    int cursor = -1; // the row's selection cursor
    int slot = 0; // the employee's record slot
    int personnelNumber = 0;
    double amount = 0; // kopecks, rounded
};

struct StatementTotal {
    long roubles = 0;
    int kopecks = 0; // 0-99
};

// The statement's rows in order: the selection of shop, brigade and
// profession, then the marked employees only (markedOnly not 0) or the
// personnel number of the parameters (when set); rows with a rounded amount
// of 0 are left out. Sick pay and vacation pay take only the entries with
// the pay flag, so that rows, total and page count agree.
std::vector<StatementRow> SelectStatementRows(StatementKind kind, const StatementPrintParams& params,
                                              const PayrollDoc& doc, int markedOnly);
// One row per employee of the selection from an amount per record slot
// (kopecks), rounded as the statements round when `rounded`; employees whose
// amount is 0 are left out. The advance statement takes the advances, the
// bonus statement the amounts of the bonus calculation.
std::vector<StatementRow> SelectEmployeeRows(const StatementPrintParams& params, const PayrollDoc& doc, int markedOnly,
                                             const AmountOfSlot& amountOf, bool rounded);
// The rows of the bonus statement and the bonus cash orders: the bonus
// calculation's amounts (CalcBonusAmounts with its selector), rounded.
// Returns 0, or the calculation's negative code with no rows.
int SelectBonusRows(const StatementPrintParams& params, PayrollDoc& doc, int selector, std::vector<StatementRow>& rows);
// How many of rowCount rows fall into the page range of the parameters.
int CountRowsInPageRange(int rowCount, const StatementPrintParams& params);
// The same for the statement the writer would print: what the statement
// threads pass as the writers' row count.
int CountStatementRowsInRange(StatementKind kind, const StatementPrintParams& params, const PayrollDoc& doc,
                              int markedOnly);
StatementTotal SumStatementAmounts(const std::vector<StatementRow>& rows);

// "ь", "я" or "ей" after "рубл"; "копейка)", "копейки)" or "копеек)" (UTF-8).
const char* RoubleEnding(long roubles);
const char* KopeckWord(int kopecks);

// The writers: the statement of the selection into the file at path, pages
// from params.firstPage (1 or less: from the title page) to params.lastPage
// (0: to the end); rowsInRange is the number of rows in that range
// (CountStatementRowsInRange). Result 0, or -23 ("Сбой при попытке обращения
// к файлу печати") when the file cannot be written.
int WriteAdvanceStatementText(const StatementPrintParams& params, const PayrollDoc& doc, const QString& path,
                              int markedOnly, int rowsInRange);
int WriteSickPayStatementText(const StatementPrintParams& params, const PayrollDoc& doc, const QString& path,
                              int markedOnly, int rowsInRange);
int WriteVacationStatementText(const StatementPrintParams& params, const PayrollDoc& doc, const QString& path,
                               int markedOnly, int rowsInRange);

// What the bonus writers return, with no file written, when nothing falls on
// the sheets asked for: no employee of the selection has a bonus to pay on
// them (the head sheet of a statement asked for alone, last sheet 1, counts
// when the statement has rows).
inline constexpr int kNothingToPrint = 1;
// Whether rowCount rows of a run, numbered in order, leave the sheets of the
// parameters empty in that sense.
bool NothingOnSheets(int rowCount, const StatementPrintParams& params);

// The bonus statement: the bonus calculation of the selection
// (CalcBonusAmounts, with its selector), then the statement of its amounts
// over the page range of the parameters. Result 0, -23, kNothingToPrint, or
// the calculation's negative code (no file is written then).
int WriteBonusStatementText(const StatementPrintParams& params, PayrollDoc& doc, const QString& path, int selector);

// The title page, appended to out: the form's head with the firm, shop and
// brigade, the total in words and figures, the signatures and the document
// box; in mode 3 also the number of sheets and the payout block.
void WriteStatementTitle(const StatementPrintParams& params, const PayrollDoc& doc, long roubles, int kopecks,
                         const char* totalInWords, int rowCount, QByteArray& out);
// The closing block after the last row of out (page: the current page,
// lastRow: the last row's number). When it does not fit on the last page,
// the last row moves to a new page that carries the block. Throws TextError
// "Ошибка чтения файла" when out does not end in a row and its closing rule.
void WriteStatementPageBreak(QByteArray& out, const StatementPrintParams& params, int page, int lastRow, long roubles,
                             int kopecks, const PayrollDoc& doc);

} // namespace kalvor::print
