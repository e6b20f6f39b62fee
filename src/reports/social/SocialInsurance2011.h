#pragma once
// The settlement statement with the social insurance fund, form 4-FSS as it
// stands from 2011: the calculation over the employees of one base that fills
// the report values of tag 17, the list of employees paid as disabled persons
// ("inval") and, on request, a report data file; the fund's XML file of format
// "0.3"; the print form "avans-fss4-2011".
//
// Report values after a run: money in roubles with kopecks, counts whole.
// Month 1, 2 and 3 are the last three months of the period.
#include "payroll/PayrollDocument.h"
#include "reports/social/Fss4Values.h"
#include "reports/social/InvalRecord.h"
#include "reports/social/PensionContributions.h"
#include "reports/social/ReportRun.h"
#include "reports/social/SocialFormTexts.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <stop_token>
#include <vector>

namespace kalvor::reports {

// Computes the settlement for the employees that the selection names (with a
// marked count above 0: the employees marked in the list) over the period of
// the generator's parameters (the last month at least March). Fills
// doc.GenrValues, rewrites "inval" in the working folder and, with a non-empty
// dataFilePath, saves both as a report data file of tag 17.
// Returns GenrDone, GenrStopped (nothing saved), GenrFileFailed (the detail's
// fileError says why) or a negative ReportErrorTexts code: -2 a first month
// after the last, -32 a contribution or injury record without a tax table,
// -21 no single valid variant, or the code of the contribution arithmetic. A
// short swap-file read throws TextError "Ошибка чтения файла".
int CalcRVedFSS2011(const ReportSelection& selection, PayrollDoc& doc, const QString& dataFilePath, int markedCount,
                    std::stop_token stop, GenrRunDetail* detail = nullptr);

// The closing steps over the scaled values (roubles), exposed for their tests:
// the column totals, the 2.9 % check of the accrued contributions against the
// base, the benefit sums and the reconciliations of the base table.
void FinishFss4Values(GenrValueArray& values, const ReportPeriod& period);
// Moves the amounts of the records one rouble at a time towards the payments
// to disabled employees of the values ([5], [15], [20], [25]), while a
// difference is at least one rouble; a record's amount of 0 is left alone.
void ReconcileFss4Inval(const GenrValueArray& values, std::vector<InvalRecord>& records);

// The XML file's name: "<firmFSS squeezed>_<year>_0<quarter code>.xml".
QString RVedFSSXml2011FileName(const PayrollDoc& doc);
// The file's bytes for the values, the records of "inval" and the date.
QByteArray RVedFSSXml2011Bytes(const PayrollDoc& doc, const std::vector<InvalRecord>& inval, const QDate& today);
// Writes the file into the folder (the working folder when it is empty),
// reading "inval" from the working folder. Returns 0, or the FileErrorKind of
// the failure; nothing is left under the name then. writtenPath receives the
// file's path.
int WriteRVedFSSXml2011(const QString& folder, const PayrollDoc& doc, QString* writtenPath = nullptr);

// The template of the print form in "Shablon".
inline constexpr char kFss4Template2011[] = "avans-fss4-2011";

// The form's regions and values for the values, the records and the date.
QList<FormRegion> RVedFSS2011FormRegions(const PayrollDoc& doc, const std::vector<InvalRecord>& inval,
                                         const QDate& today);
// Fills the form beside the work file and opens it. Returns -2 when the first
// month of the period lies after the last (nothing is made), else the template
// engine's result (print::CTree::GenerateResult); errorText receives its
// explanation. A missing template throws TextError.
int PrintRVedFSS2011(const QString& workFilePath, const PayrollDoc& doc, QString* errorText = nullptr);

} // namespace kalvor::reports
