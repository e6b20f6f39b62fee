#pragma once
// The month's settlement statement: each employee's accruals and deductions
// by column, the totals and the amount to be paid, as an RTF document in one
// of three statutory forms chosen by the statement kind (the variant byte of
// StatementPrintParams):
//   0 (and 2) settlement statement T-51, templates "t-51-albom1" / "t-51-albom2";
//   1         settlement and payment statement T-49, "t-49-albom1" / "t-49-albom2";
//   3         budget organisations' settlement statement 0504401, "rpv-budg-okud0504401".
//
// A pay kind puts its amounts into the column of its vedStlb field; the
// kinds with vedShap set decide how many columns the form needs and give the
// column titles. T-51 and T-49 come in album 1 (6 accrual and 4 deduction
// columns, one part) or, when a vedShap kind uses a higher column, in album 2
// (14 and 7 columns) whose left part (accruals) and right part (deductions
// and the amounts to pay) are written as two passes over the statement.
// Form 0504401 has 7 and 5 columns; a vedShap kind beyond them makes the
// writer ask whether to print without it.
//
// The employees' records come from the swap work file, which the caller has
// filled and opened; the writer reads each selected slot into the document's
// current record.
#include "payroll/PayrollDocument.h"
#include "print/CTree.h"
#include "print/PrintOutput.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace kalvor::print {

enum SettlementKind : int {
    SettlementT51 = 0,
    SettlementT49 = 1,
    SettlementT51Too = 2, // typed by the user, printed as T-51
    SettlementBudget = 3,
};

inline constexpr char kSettlementT51Template[] = "t-51-albom%1";
inline constexpr char kSettlementT49Template[] = "t-49-albom%1";
inline constexpr char kSettlementBudgetTemplate[] = "rpv-budg-okud0504401";

// Results of PrintSettlementStatement besides kPrintFileFault (-23).
inline constexpr int kSettlementDone = 0;
inline constexpr int kSettlementDeclined = 1; // the column question was not answered Yes

// The answer that lets the statement go on (the message box's Да).
inline constexpr int kSettlementAnswerYes = 6;

// Asks the column question of form 0504401 (Да/Нет, exclamation icon) and
// returns the answer; anything but kSettlementAnswerYes declines. The user
// interface installs the real message box (print/ui/SettlementQuestion.h);
// without a hook every question is declined. Returns the previous hook.
using SettlementQuestionHook = std::function<int(const QString& text)>;
SettlementQuestionHook SetSettlementQuestionHook(SettlementQuestionHook hook);

// The question's text for the largest accrual and deduction columns.
QString SettlementColumnsQuestion(int largestAccrual, int largestDeduction);

// What the pay kinds make of a statement kind: the form, its album and
// column counts, and whether the question must be asked first.
struct SettlementPlan {
    int kind = SettlementT51; // 0, 1 or 3 (2 already turned into 0)
    int album = 1; // T-51 and T-49: 1 or 2; 0504401: 1
    int accrualColumns = 6; // A
    int deductionColumns = 4; // D
    int largestAccrual = 0; // largest vedStlb of the vedShap accrual kinds (signed)
    int largestDeduction = 0; // the same of the deduction kinds
    bool ask = false; // 0504401 with columns beyond 7 or 5
    bool twoPasses() const { return album == 2; }
    QByteArray templateName() const;
};

// The plan of a statement kind 0-3 (2 counts as 0).
SettlementPlan PlanSettlementStatement(int kind, const PayrollDoc& doc);

// Adds the whole statement of the plan to the tree: pages, rows and values
// in the order of the form's template. Employees: with markedOnly set the
// marked ones; else the personnel number of the parameters alone when set;
// else those of its shop, brigade and profession. A slot that cannot be
// read whole throws PrintFileError (FILE_ERROR_READ), so that no document is
// made from a record that still holds the previous employee.
void FillSettlementStatement(CTree& tree, const StatementPrintParams& params, PayrollDoc& doc, int markedOnly,
                             const SettlementPlan& plan);

// The statement of params.variant written to "<outputPath minus 3
// characters>rtf" and opened. Statement kind 2 is turned into 0 in params.
// Returns kSettlementDone; kSettlementDeclined when the column question of
// form 0504401 was not answered Yes (no document); kPrintFileFault (-23) when
// the template is missing or unusable, the output cannot be written or the
// statement kind is above 3. errorText, when given, receives the reason of a
// -23 and the viewer's complaint for a document that could not be shown.
// A short read of the swap file throws PrintFileError.
int PrintSettlementStatement(StatementPrintParams& params, PayrollDoc& doc, const QString& outputPath, int markedOnly,
                             QString* errorText = nullptr);

} // namespace kalvor::print
