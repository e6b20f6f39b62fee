#pragma once
// The report to the social insurance fund on the use of the sums of the
// insurance against occupational injuries: the average headcount of the
// selected employees over the generator's period (all of them, those of
// category 1, and the rest), printed on the form "travma-fss-2008", or saved as
// a report data file of tag 10 so that the reports of several bases can be
// added up.
//
// Report values of tag 10 (the document's GenrValues): 0 the headcount of all
// (whole persons), 1 of category 1 (whole persons), 2 of the other categories
// (with its fraction); the others 0.
#include "payroll/PayrollDocument.h"
#include "reports/social/ReportRun.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <stop_token>

namespace kalvor::reports {

inline constexpr char kInjuryTemplate[] = "travma-fss-2008";

namespace injury {
inline constexpr int kAll = 0;
inline constexpr int kCategory1 = 1;
inline constexpr int kOthers = 2;
} // namespace injury

// The injury report's period: the generator's, with its defaults. False when
// its first month lies after its last (the report's code -2).
bool InjuryPeriod(const infobase::InfoBaseConfig& config, ReportPeriod& period);

// Computes the three headcounts of the selected employees (with a marked count
// above 0: the employees marked in the list) into doc.GenrValues. With an
// empty dataFilePath the form is printed beside the work file and opened;
// otherwise the values are saved as a tag-10 data file under that path.
// Returns GenrDone, GenrStopped (nothing written or printed), GenrFileFailed,
// GenrPrintFailed, or -2 when the period's first month lies after its last.
// A short read of the swap file throws TextError "Ошибка чтения файла".
int GenrProfTravmOtchFSS(const QString& dataFilePath, std::stop_token stop, const QString& workFilePath,
                         const ReportSelection& selection, int markedCount, PayrollDoc& doc,
                         GenrRunDetail* detail = nullptr);

// Prints the form from doc.GenrValues (of a run or of a merge) and the period
// and firm of the base. Returns 0, -2 for a bad period (nothing generated),
// or the engine's negative result with its text in errorText.
int PrintProfTravmOtchFSS(const QString& workFilePath, const PayrollDoc& doc, QString* errorText = nullptr);

// The 34 values of the form's page, par0 to par33, for the signing date.
QList<QByteArray> InjuryFormValues(const PayrollDoc& doc, const ReportPeriod& period, const QDate& today);

// The insurer line: name, address, pension-fund number, economic activity code.
QByteArray InjuryInsurerLine(const infobase::FirmInfo& firm);

} // namespace kalvor::reports
