#pragma once
// The settlement statement with the social insurance fund, form 4-FSS as it
// stood up to 2010: the calculation over the employees of one base that fills
// the report values of tag 17 and, on request, a report data file; the fund's
// XML file of format "0.1"; the print form "avans-fss4-2010".
//
// The values share their places with the form from 2011 (the fss4
// constants); the 2010 form adds a second block for firms under the
// simplified taxation: its headcounts at 100 and 101, the base kept at 103,
// and table 3 again at 104-159 (the first block's index + 64).
#include "payroll/PayrollDocument.h"
#include "reports/social/ReportRun.h"
#include "reports/social/SocialFormTexts.h"
#include "reports/social/SocialInsurance2011.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <stop_token>

namespace kalvor::reports {

namespace fss4 {

// The second block under the simplified taxation.
inline constexpr int kSimplifiedHeadcount = 100;
inline constexpr int kSimplifiedBase = 103;
inline constexpr int kSimplifiedBenefits = 64;
// Table 3 counts entered in the editors.
inline constexpr int kTable3Counts = 220;

} // namespace fss4

// Computes the 2010 settlement for the employees that the selection names
// (with a marked count above 0: the employees marked in the list) over the
// period of the generator's parameters (the last month at least March).
// Fills doc.GenrValues and, with a non-empty dataFilePath, saves them as a
// report data file of tag 17.
// Returns GenrDone, GenrStopped (nothing saved), GenrFileFailed (the detail's
// fileError says why) or a negative ReportErrorTexts code: -2 a first month
// after the last, -32 a contribution kind without a tax table, -21 no single
// valid variant, or the code of the contribution arithmetic. A short
// swap-file read throws TextError "Ошибка чтения файла".
int CalcRVedFSS2010(const ReportSelection& selection, PayrollDoc& doc, const QString& dataFilePath, int markedCount,
                    std::stop_token stop, GenrRunDetail* detail = nullptr);

// The closing steps over the values in kopecks and hundredths, exposed for
// their tests: roubles and whole counts, the column sums, the 2.9 % check,
// the benefit sums and, under the simplified taxation, the first block
// cleared with its base kept at 103.
void FinishFss4Values2010(GenrValueArray& values, bool simplified);

// The XML file's name: "<firmFSS squeezed>_<year>_<3, 6, 9 or 0>.xml".
QString RVedFSSXml2010FileName(const PayrollDoc& doc);
// The file's bytes for the values and the date.
QByteArray RVedFSSXml2010Bytes(const PayrollDoc& doc, const QDate& today);
// Writes the file into the folder (the working folder when it is empty).
// Returns 0, or the FileErrorKind of the failure; nothing is left under the
// name then. writtenPath receives the file's path.
int WriteRVedFSSXml2010(const QString& folder, const PayrollDoc& doc, QString* writtenPath = nullptr);

// The template of the print form in "Shablon".
inline constexpr char kFss4Template2010[] = "avans-fss4-2010";

// The form's nine pages and their values for the date.
QList<FormRegion> RVedFSS2010FormRegions(const PayrollDoc& doc, const QDate& today);
// Fills the form beside the work file and opens it. Returns -2 when the first
// month of the period lies after the last (nothing is made), else the template
// engine's result (print::CTree::GenerateResult); errorText receives its
// explanation. A missing template throws TextError.
int PrintRVedFSS2010(const QString& workFilePath, const PayrollDoc& doc, QString* errorText = nullptr);

} // namespace kalvor::reports
