// The employee's standing deductions of the month entry screens: up to three
// writs of execution and four loans (fixed forms of texts), and up to twenty
// bank transfers (grid rows). The forms' texts and read rules, the counts
// kept with the employee attributes, and the store of a block together with
// the master row and the attributes.
#pragma once

#include "infobase/DeductionFigures.h"
#include "infobase/InfoBase.h"
#include "infobase/PayKindCodes.h"
#include "infobase/Records.h"
#include "values/TypedFigure.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

namespace kalvor::entries {

// Texts are kept to this many characters (the field's terminator is the 120th).
inline constexpr int kEntryTextCapacity = 120;

// ------------------------------------------------------------------ writs of execution

// The fields of one writ on the form. The end date is the picker's packed
// date (0 = no date).
struct WritFields {
    QString kind, table, size, fio, adr;
    bool percent = false;
    std::uint16_t dataEnd = 0;
    friend bool operator==(const WritFields&, const WritFields&) = default;
};
using WritForm = std::array<WritFields, 3>;

// Kind "%d", table "%d", size "%.2f" of sum / 100, each empty when 0.
WritForm ShowWrits(const infobase::IspolBlock& block);
// Writes the fields that differ into the block; true when anything changed.
// Each field is read by the rule its input declares (kWritKindRule,
// kPostalTableRule, the size by WritSizeRule of the percent box); a text the
// rule refuses keeps the stored value (a size, its percent flag too). A new table clears the flag byte (bits 8-15); texts keep 119
// characters. With filledOnly (the group append), an empty text, no date and
// an unchecked box leave the stored value.
bool ReadWrits(const WritForm& form, infobase::IspolBlock& block, bool filledOnly = false);
// priznAlim counts the writs of kind 1, priznIspl the others; a writ counts
// when its kind or its size is not 0.
void CountWrits(const infobase::IspolBlock& block, infobase::EmployeeAttributes& attr);

// ------------------------------------------------------------------ loans and credits

inline constexpr int kLoanStages = 3;
inline constexpr int kMaxInstalmentMonths = 127; // kvMes is seven bits
// What the writs' and loans' places keep: a writ's kind and postal table, a
// loan's deduction code and a stage's months.
inline constexpr int kMaxWritKind = 3;
inline constexpr int kMaxPostalTable = 20;
inline constexpr int kMinLoanCode = kFirstLoanCode;
inline constexpr int kMaxLoanCode = kLastLoanCode;
inline constexpr int kMaxStageMonths = 255;

// What the writs' and loans' inputs take: the rules the forms declare and
// ReadWrits and ReadLoans read the fields' texts by. A loan's code is besides
// one of the loans' codes (IsLoanCode), as the pay kinds' book checks it.
inline constexpr FigureRule kWritKindRule = WholeFigure(0, kMaxWritKind);
inline constexpr FigureRule kPostalTableRule = WholeFigure(0, kMaxPostalTable);
// A writ's size, a loan's debt and its stages' sums are read by the rules of
// infobase/DeductionFigures.h (kDeductionAmountRule, WritSizeRule), which the
// transfer file's import checks them by too.
inline constexpr FigureRule kLoanCodeRule = WholeFigure(0, kMaxLoanCode);
inline constexpr FigureRule kInstalmentMonthsRule = CountFigure(kMaxInstalmentMonths);
inline constexpr FigureRule kStageMonthsRule = CountFigure(kMaxStageMonths);

struct LoanFields {
    QString code, debt, months;
    bool tax = false;
    std::array<QString, kLoanStages> stageMonths, stageSums;
    friend bool operator==(const LoanFields&, const LoanFields&) = default;
};
using LoanForm = std::array<LoanFields, 4>;

// Every number "%d" or "%.2f" of kopecks / 100, empty when 0.
LoanForm ShowLoans(const infobase::SsudBlock& block);
// Writes the fields into the loans; true when a stored value changed. Each
// field is read by the rule its input declares (kLoanCodeRule,
// kDeductionAmountRule, kInstalmentMonthsRule, kStageMonthsRule); a text the
// rule refuses, and a code that is no loan's, keep the stored value (the
// months never reach the tax bit). With filledOnly, an empty text and an
// unchecked box leave the stored value.
bool ReadLoans(const LoanForm& form, infobase::SsudBlock& block, bool filledOnly = false);
bool LoanIsEmpty(const infobase::SsudBlock::Loan& loan);
// priznSsud: the number of loans that are not empty (they keep their places).
void CountLoans(const infobase::SsudBlock& block, infobase::EmployeeAttributes& attr);

// ------------------------------------------------------------------ bank transfers

inline constexpr int kMaxTransfers = 20;
inline constexpr int kTransferColumns = 6;
inline constexpr int kTransferCodeColumn = 0;
inline constexpr int kTransferAmountColumn = 1;
inline constexpr int kMaxTransferCode = 995;
inline constexpr int kMaxRecipient = 255;

using SberRows = std::vector<infobase::SberRow>;

// Code, amount, destination, branch, personal account, payee; zeros empty.
QStringList ShowSberRow(const infobase::SberRow& row);
// The figures a transfer row's column takes: the rule the grid declares and
// ReadSberRow reads the row's cells by.
FigureRule SberColumnRule(int column);
// A row's cells read by their columns' rules (SberColumnRule); a cell the rule
// refuses reads 0, as a row read afresh has nothing stored; the amount is
// kopecks; texts keep 119 characters.
infobase::SberRow ReadSberRow(const QStringList& cells);
// The employee's first priznBank rows.
SberRows TransferRows(const infobase::EmployeeRecord& rec, const infobase::EmployeeAttributes& attr);
// The rows (at most twenty) into the cleared area, the empty ones dropped and
// the others closed up in order; priznBank becomes their number.
void PlaceTransfers(infobase::EmployeeRecord& rec, infobase::EmployeeAttributes& attr, const SberRows& rows);
// Code, amount, destination and the three texts equal.
bool TransfersMatch(const infobase::SberRow& a, const infobase::SberRow& b);
int FirstMatchingTransfer(const SberRows& rows, const infobase::SberRow& model);
// A row with a code and no amount asks for the rest of the pay, which goes
// only by the transfers 903 and 906 (IsUnsentRest). Why such a row under
// another code cannot be stored, naming "Сумма"; empty for any other row.
QString UnsentRestRefusal(const infobase::SberRow& row);
// Why a row asking for the rest cannot take the code: one other than 903 and
// 906, naming "Код"; empty for those two.
QString RestCodeRefusal(int code);
// A row without a code sends nothing: why a row that holds anything else (an
// amount, a recipient, an account) cannot be stored without one, naming
// "Код"; empty for a row with a code and for an empty row.
QString CodelessTransferRefusal(const infobase::SberRow& row);

// ------------------------------------------------------------------ saving

// The detail table's saver of an employee's block (SaveIspol, SaveSsud, SaveSber).
using DetailSaver = void (*)(infobase::CInfoBase&, qint64);
// In one transaction: the master row of the slot, the block through the
// saver, and the attributes. A database error (DbError) goes on
// to the caller with the base as it was.
void StoreEmployeeDetail(infobase::CInfoBase& base, int slot, DetailSaver saveDetail);

} // namespace kalvor::entries
