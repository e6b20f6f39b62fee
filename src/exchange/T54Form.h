#pragma once
// The personal account of form T-54: one page per selected employee, made
// through the RTF template "t54". For each employee the data of the form's
// hand-kept sections (hiring and pay changes, vacations, deductions) is first
// worked out into the T-54 work block, may be corrected in the editor, and is
// then printed with the month table of the year's archive.
//
// The work block is the first 44 doubles of the document's GenrValues: two
// lines of 22 cells (line 1 cells 0-21, line 2 cells 22-43). Dates are kept as
// the double of their PackedDate, amounts in roubles. The texts of section 1
// columns 4 and 5 live in the document's formBlock: text 0 the employee's
// name (shown by the editor only), 1 and 3 column 4 of lines 1 and 2, 2 and 4
// column 5 of lines 1 and 2.
#include "exchange/ExchangeWorker.h"
#include "payroll/PayrollDocument.h"
#include "reports/social/ReportRun.h"

#include <QByteArray>
#include <QDomDocument>
#include <QString>

#include <cstdint>
#include <functional>
#include <stop_token>

namespace kalvor::print {
class CTree;
}

namespace kalvor::exchange {

// The selection of a run, also used by the monthly earnings certificate.
struct T54Selection {
    std::uint8_t showEditor = 0;
    std::uint8_t shop = 0;
    std::uint8_t brigade = 0;
    std::uint16_t profession = 0;
    std::uint16_t tabN = 0;

    // The same restriction as the report builders test it.
    reports::ReportSelection toReportSelection() const;
    friend bool operator==(const T54Selection&, const T54Selection&) = default;
};

// The T-54 work block over the document's GenrValues.
class T54WorkBlock {
public:
    static constexpr int CellsPerLine = 22;
    static constexpr int LineCount = 2;

    explicit T54WorkBlock(infobase::KalvorDocData& doc) : m_values(doc.GenrValues.data()) {}
    // line 0 or 1, cell 0-21.
    double& cell(int line, int k) { return m_values[line * CellsPerLine + k]; }
    double cell(int line, int k) const { return m_values[line * CellsPerLine + k]; }

private:
    double* m_values;
};

// The form texts of formBlock.
enum T54FormText : int {
    T54EmployeeText = 0,
    T54Line1Column4 = 1,
    T54Line1Column5 = 2,
    T54Line2Column4 = 3,
    T54Line2Column5 = 4,
};
inline constexpr int kT54FormTextLength = 120;

// Opens the editor on the document's work block and form texts; returns when
// the user closed it (whatever was saved there is printed).
using T54Editor = std::function<void(infobase::KalvorDocData& doc)>;

// Whether section 3 lists a deduction code: 905, 908, 909, 911, 912, 913
// and 919.
bool T54ListedDeduction(int code);

// "dd.mm.yyyy" with the day without a leading zero ("5.03.2009"); empty for a
// cell of 0.
QByteArray T54ShortDate(double packedCell);

// The months the form computes from the generator's parameters and the
// base's reporting month: the table of the period's year from the period's
// first month (January for a closed year) to its last month (the month
// before the reporting month in the reporting year, none in its January; the
// period's last month in a closed year), and the month whose last day ends
// the form's period.
struct T54Months {
    reports::ReportPeriod archived; // the months taken from the archive
    int lastMonth = 0; // of the month table, 0 for none
    MonthKey end; // whose last day ends the period
};
T54Months T54FormMonths(const infobase::InfoBaseConfig& config);
// What the form's screen says of them: "Отчетный период: январь - август
// 2011 г.", or, without a month table, the day the form is made for.
QString T54PeriodText(const infobase::InfoBaseConfig& config);

// Prints the form for every employee that the selection names. Returns 0 when
// the document was generated, 1 when stopped (no document). Throws TextError
// "Ошибка чтения файла" when an employee's slot cannot be read, and the
// template engine's TextError; a document that cannot be written throws its
// reason. The editor is called only when the selection's flag is set. When
// data is given it receives a copy of the pages and rows that were printed;
// viewerText, when given, why the viewer did not show the document (empty
// when it did).
int PrintT54Form(const T54Selection& selection, std::stop_token stop, const QString& outputPath, int markedCount,
                 PayrollDoc& doc, const T54Editor& editor, QDomDocument* data = nullptr, QString* viewerText = nullptr);

// What the T-54 form and the monthly earnings certificate share of a run.

// One selected employee of a run: 0 to go on, a negative code to end the run.
using EmployeeVisitor = std::function<int(const infobase::EmployeeListEntry& entry)>;

// Writes the period's archive of the selected employees into the work file
// SwapFile and calls visit for every entry of the current employee list that
// the selection takes (personnel number or a marked entry, then shop, brigade
// and profession), in list order. GenrValues is cleared before each entry.
// Returns 0 after the last entry, 1 when the stop was seen, or the visitor's
// negative code. The work file is closed in every case.
int ForEachSelectedEmployee(PayrollDoc& doc, const T54Selection& selection, int markedCount,
                            const reports::ReportPeriod& period, std::stop_token stop, const EmployeeVisitor& visit);

// Hands a copy of the written pages to data when given, then generates the
// document (written and opened); returns 0, with why the viewer did not show
// it in viewerText when given (empty when it did). A document that cannot be
// made throws its reason as TextError.
int GenerateDocument(print::CTree& tree, QDomDocument* data, QString* viewerText = nullptr);

// The printer of a run: selection, stop, output path, the number of marked
// employees and where to say why the viewer did not show the document; 0
// done, 1 stopped, -k a failure code.
using SelectionPrinter = std::function<int(const T54Selection&, std::stop_token, const QString&, int, QString*)>;

// The worker steps of both forms: counts the marked employees when the block
// asks for them, opens the form's work file (1, 1 when it cannot),
// packs the selection with the show-editor flag and runs the printer with the
// work file's path as the output path; a negative result -k is shown as
// message k of ExchangeErrorTexts, and a generated document saves the base's
// configuration; a document the viewer did not show ends the run done with
// the reason (kDocumentNotShown).
// The work file of a form: the form's name (KalvorDocData::FormWorkFile) with
// the employee when the run prints one employee's form (0 otherwise).
using FormWorkFileOf = std::function<QString(int tabN)>;
platform::TaskOutcome RunSelectionPrintThread(platform::TaskContext& context, const platform::TaskThreadParams& params,
                                              int showEditor, const FormWorkFileOf& workFileOf, PayrollDoc& doc,
                                              const ExchangeMessenger& messenger, const SelectionPrinter& print);

// The block the view hands its worker: the strip and the show-editor flag.
struct T54TaskParams : platform::TaskThreadParams {
    int showEditor = 0;
};

// The worker of the view: opens the work file "<base>-T54-<yyyy>-<mm>.typ",
// named after the month that ends the form's period (1, 1 when it cannot),
// prints through PrintT54Form and saves the base's configuration
// after a generated document. Failures are shown through the messenger.
platform::TaskOutcome T54FormThreadProc(platform::TaskContext& context, const T54TaskParams& params, PayrollDoc& doc,
                                        const ExchangeMessenger& messenger, const T54Editor& editor);

} // namespace kalvor::exchange
