#pragma once
// The average headcount form: how many full-time employees the organisation
// had on average over the reporting period, for the tax authority. The
// number is computed over the employees of one base and printed on the form
// "sr-chisl1-2008", or saved as a report data file of tag 14 so that the
// numbers of several bases can be added up.
#include "payroll/PayrollDocument.h"
#include "reports/social/ReportRun.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <stop_token>

namespace kalvor::reports {

// The template of the form in "Shablon".
inline constexpr char kHeadcountTemplate[] = "sr-chisl1-2008";

// The headcount of a sum of employees' shares (hundredths of a person): the
// sum rounded to whole persons, halves upwards, in hundredths again
// (1,249.9 gives 1,200; 1,250 gives 1,300).
double HeadcountValue(double sumOfShares);

// Computes the headcount of the employees that the selection names (with a
// marked count above 0: the employees marked in the list) over the period of
// the generator's parameters. With an empty dataFilePath the form is printed
// to the work file path with "rtf" for its last three characters and opened;
// otherwise the number is saved as a tag-14 data file under that path.
// Returns GenrDone, GenrStopped (nothing written or printed), GenrFileFailed
// or GenrPrintFailed; the detail says why, and carries the text of a viewer
// that could not be started after the form was written.
int GenrSSChislRabs(const QString& dataFilePath, const ReportSelection& selection, const QString& workFilePath,
                    int markedCount, std::stop_token stop, PayrollDoc& doc, GenrRunDetail* detail = nullptr);

// Fills the form with the headcount value (hundredths of a person) and today's
// date, writes it beside the work file and opens it. Returns the template
// engine's result (print::CTree::GenerateResult); errorText receives its
// explanation. A missing template throws TextError.
int PrintSSChislRabs(const QString& workFilePath, const PayrollDoc& doc, double value, QString* errorText = nullptr);

// The values of the form's page in the order of its bookmarks: taxpayer and
// registration numbers, page number, tax authority, organisation, the date
// as of which the number is given, the number, and the signatures with
// today's date.
QList<QByteArray> HeadcountFormValues(const PayrollDoc& doc, double value, const QDate& today);

} // namespace kalvor::reports
