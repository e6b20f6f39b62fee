#pragma once
// The month's pay statement (the list against which the cashier pays out the
// wages) as an RTF document, in one of two statutory forms:
// - form T-53 (OKUD 0301011), template "pv-okud0301011";
// - the budget organisations' form 0504403, template "pv-budg-okud0504403".
// The first field of the parameters chooses: 0 gives T-53, any other value
// 0504403 (the statement thread passes 3).
//
// The document is one "page0" of rows: the title part (firm, unit, the total
// in words and figures, director and chief accountant, dates), a list of one
// line per employee with something to pay, page-header rows that begin each
// later sheet of the list, and the closing part (cashier and accountant). The
// templates size their rows so that a sheet holds exactly the lines of the
// page sizes below; the header rows after a full page thus open a new sheet.
//
// The employees are those of the shop, brigade and profession of the
// parameters (NextEmployeeInSelection), then only the personnel number of the
// parameters when it is set, else only the marked ones when markedOnly is
// set. Their amounts to pay are the ones the caller gives (kopecks), by default
// the document's zar1 amounts as the statement thread computed and rounded
// them (DocumentPayAmounts); a run filtered by pay kind or cost code gives its
// own. The totals take
// every such employee; the list leaves out those with nothing to pay.
#include "payroll/PayrollDocument.h"
#include "print/CTree.h"
#include "print/PrintOutput.h"

#include <QByteArray>
#include <QString>

namespace kalvor::print {

inline constexpr char kPayStatementT53Template[] = "pv-okud0301011";
inline constexpr char kPayStatementBudgetTemplate[] = "pv-budg-okud0504403";

// Employee lines per sheet of the list: T-53 35; 0504403 26 on the first
// sheet (the list goes on under the title) and 38 on every later one. The
// page numbers of the parameters count differently: the title page is page 1
// and every later page holds 25 lines, as the statement thread counts them.
inline constexpr int kT53PageLines = 35;
inline constexpr int kBudgetFirstPageLines = 26;
inline constexpr int kBudgetPageLines = 38;
inline constexpr int kSelectionPageLines = 25;

// The run's two option flags: "Печать без прерываний?" and "Печатать только
// новых сотрудников". When both are set, an employee with nothing to pay uses
// up one of the counted lines.
struct PayStatementOptions {
    int withoutPause = 0;
    int newEmployeesOnly = 0;
};

bool IsBudgetPayStatement(const StatementPrintParams& params);
QByteArray PayStatementTemplate(const StatementPrintParams& params);

// Adds the statement to the tree: its "page0", then the rows with their
// values in the order of the form's template. lineCount is the number of
// lines to print, as the statement thread counted them; the list ends when
// it is used up or when the employees run out, and the closing part follows.
// A first page above 1 leaves out the title and numbers the lines on from
// (first page - 2) * 25 + 1; a last page of 1 gives the title part alone.
// payOf gives the amounts to pay; without one, the document's.
void FillPayStatement(CTree& tree, const StatementPrintParams& params, const PayrollDoc& doc, int markedOnly,
                      int lineCount, PayStatementOptions options, const AmountOfSlot& payOf = {});

// Writes the statement into "<outputPath minus its last 3 characters>rtf" and
// opens it. Returns 0, or kPrintFileFault (-23) when the document cannot be
// made: the template is missing, unreadable or lacks a row, or the output
// cannot be written. errorText, when given, receives the engine's
// explanation, also for a document that was written but could not be shown.
int PrintPayStatement(const StatementPrintParams& params, const PayrollDoc& doc, const QString& outputPath,
                      int markedOnly, int lineCount, PayStatementOptions options, QString* errorText = nullptr,
                      const AmountOfSlot& payOf = {});

} // namespace kalvor::print
