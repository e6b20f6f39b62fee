#pragma once
// The month's personal accounts: for every selected employee the accounting
// copy (with the pay-kind codes) on the left and the employee's pay sheet
// (without codes) on the right, side by side.
//
// Each account shows the period, shop and personnel number, the name, the
// position, the salary or tariff rate and the tax benefits of the year, one
// line per accrual and deduction of the month, the accrual and deduction
// totals, the amount to pay out or the debt, that amount in words, and the
// income since the start of the year.
//
// The output variant (StatementPrintParams::variant) chooses the form:
// 0 the RTF template "1" (A4 portrait), 1 the template "1_1" (A4 landscape),
// one "page0" per employee; 2 a fixed-width text file of 64-line pages in
// which no account is split across a page.
//
// The employees' records come from the swap work file, which the caller has
// filled and opened; the writer reads each slot into the document's current
// record.
#include "infobase/EmployeeRecord.h"
#include "payroll/PayrollDocument.h"
#include "print/CTree.h"
#include "print/PrintOutput.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace kalvor::print {

inline constexpr char kPersonalAccountTemplate[] = "1";
inline constexpr char kPersonalAccountLandscapeTemplate[] = "1_1";

enum PersonalAccountVariant : int {
    AccountPortrait = 0, // template "1"
    AccountLandscape = 1, // template "1_1"
    AccountText = 2, // text file
};

// Lines on a page of the text file.
inline constexpr int kAccountPageLines = 64;

// One line of an account's table: a result row, or one of the total lines.
struct AccountLine {
    enum Kind { Row, MonthTotal, AccrualTotal, DeductionTotal };
    Kind kind = Row;
    int month = 0;
    int code = 0;
    QByteArray name; // the pay kind's 8-bit name
    double amount = 0; // kopecks
    int days = 0;
    int hours = 0;
    int minutes = 0;
};

// Everything one account prints, worked out from the employee's record.
struct PersonalAccount {
    int month = 0; // the reporting month and year
    int year = 0;
    int shop = 0;
    int personnelNumber = 0;
    QByteArray name; // 8-bit, blank padded as the record holds it
    QByteArray position; // the position's name as its field holds it (the text file shows 22 bytes)
    QByteArray rateLabel; // "Оклад" or "Тариф"
    QByteArray rate; // "%.2f" of the salary or "%.3f" of the tariff rate
    double benefits = 0; // kopecks
    std::vector<AccountLine> lines;
    double accruals = 0; // kopecks
    double deductions = 0; // kopecks
    double payout = 0; // the month's amount to pay (MonthMoney); negative: a debt
    QByteArray words; // |payout| in words
    double yearIncome = 0; // kopecks
    int linesNeeded = 0; // the text variant's page-fit estimate
};

// The tax-table selector of IncomeByMonths for an income-tax table number
// (tabPodoh): ((n mod 32) - 1) rem 2 + 1, remainders taking the dividend's
// sign: 1 -> 1, 2 -> 2, 3 -> 1, 0 -> 0.
int TaxTableSelector(int tabPodoh);

// The account of the document's current record (already read from the work
// file) for the employee of the list entry. Returns 0, the negative code of
// IncomeByMonths, or 1 when the employee gets no account (dismissed, with
// nothing but codes 150, 921 and 600).
int BuildPersonalAccount(const PayrollDoc& doc, const infobase::EmployeeListEntry& entry, PersonalAccount& account);

// The account's page in the tree: "page0" with its 16 head values, a "row0"
// per result row and a "row1" per total line, then the payout or debt, the
// words and the year income as page values.
void AddPersonalAccountPage(CTree& tree, const PersonalAccount& account);

// The text variant's pages: the account appended to out at line `line` of the
// current page (1-64), which is moved on past the account and the empty
// lines after it. An account that does not fit on the rest of the page
// begins on the next one.
void AppendPersonalAccountText(const PersonalAccount& account, QByteArray& out, int& line);

// Prints the accounts of the selection: the personnel number of the
// parameters alone, or, without one, the employees of its shop, brigade and
// profession; with markedOnly set, only the marked employees. The text
// variant writes outputPath (windows-1251, "\r\n"), the template variants
// "<outputPath minus 3 characters>rtf", which is then opened.
// Returns 0; -23 (kPrintFileFault) when the file cannot be made or the
// variant is not 0-2; or the negative code of IncomeByMonths, which ends the
// run at once and leaves no file behind. A slot that cannot be read whole
// throws PrintFileError (FILE_ERROR_READ), and no file is left behind either;
// a failed write of the text throws TextError naming the file and why.
// errorText, when given, receives the reason of a -23.
int PrintPersonalAccounts(PayrollDoc& doc, const QString& outputPath, const StatementPrintParams& params,
                          int markedOnly, QString* errorText = nullptr);

} // namespace kalvor::print
