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

namespace fss4 {

inline constexpr int kHeadcount = 0;
inline constexpr int kWomen = 1;
inline constexpr int kDisabledHeadcount = 2;

// The payment base table: five columns from the first month of the period
// (3-7), summed over the last three months (8-12), and for months 1-3
// (13-17, 18-22, 23-27).
inline constexpr int kBasePeriod = 3;
inline constexpr int kBaseQuarter = 8;
inline constexpr int kBaseMonth1 = 13;
enum BaseColumn : int { ColPayments = 0, ColNonTaxable = 1, ColDisabled = 2, ColAboveCap = 3, ColBase = 4 };
constexpr int BaseMonth(int month, int column) { return kBaseMonth1 + 5 * (month - 1) + column; }

inline constexpr int kAccrued = 28; // contributions accrued in the period
inline constexpr int kAccruedBefore = 29; // before the last three months
inline constexpr int kAccruedQuarter = 30; // the last three months
inline constexpr int kAccruedMonth1 = 31; // 31-33
inline constexpr int kExpenses = 34; // benefit expenses of the period
inline constexpr int kExpensesBefore = 35;
inline constexpr int kExpensesQuarter = 36;
inline constexpr int kExpensesMonth1 = 37; // 37-39

// Table 3, benefits: each line's first value (cases or persons, days or
// payments, amount, a fourth column).
inline constexpr int kSickLeave = 40;
inline constexpr int kSickLeavePartTime = 44;
inline constexpr int kCareLeave = 48;
inline constexpr int kCareLeavePartTime = 52;
inline constexpr int kKind168 = 56;
inline constexpr int kKind165 = 58;
inline constexpr int kChildCare = 60;
inline constexpr int kChildCareFull = 64;
inline constexpr int kKind169 = 68;
inline constexpr int kKind170 = 72;
inline constexpr int kChildCarePartTime = 76;
inline constexpr int kKind169PartTime = 80;
inline constexpr int kKind170PartTime = 84;
inline constexpr int kKind167 = 88;
inline constexpr int kKind166 = 91;
inline constexpr int kBenefitDays = 94;
inline constexpr int kBenefitAmount = 95;

// Insurance against accidents at work and occupational diseases.
inline constexpr int kInjuryBase = 161; // 162-164 months 1-3
inline constexpr int kInjuryDisabledBase = 165; // 166-168
inline constexpr int kInjuryAccrued = 169;
inline constexpr int kInjuryRate = 170; // percent
inline constexpr int kInjuryBefore = 171; // 172-174 months 1-3
inline constexpr int kInjuryBenefitDays = 175;
inline constexpr int kInjuryBenefitAmount = 176;
inline constexpr int kInjuryBenefitTotal = 179;
inline constexpr int kInjuryBenefitPersons = 180;
inline constexpr int kInjuryBenefitBefore = 181; // 182-184 months 1-3
inline constexpr int kInjuryAccruedMonth1 = 232; // 232-234, whole roubles

// Values that the editors enter.
inline constexpr int kPaidStart = 185; // table 1: paid before the period
inline constexpr int kPaymentOrders = 186; // five orders: packed date, number, sum
inline constexpr int kInjuryPaidStart = 201; // table 7
inline constexpr int kInjuryOrders = 202; // six orders
inline constexpr int kTable41 = 250; // 250-254
inline constexpr int kAdditional = 255; // 255-260
inline constexpr int kDebtsStart = 262; // 262-266
inline constexpr int kInsurerDebtStart = 267;
inline constexpr int kInjuryDebtStart = 268;
inline constexpr int kInjuryFundDebtStart = 269;

// The yearly contribution rate that the base is checked against.
inline constexpr double kRatePercent = 2.9;

} // namespace fss4

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

// The months of the period that the first pass counts for one employee: from
// the period's first month, or a later hire month of the report year, up to
// (not including) the period's last month or an earlier dismissal month of
// the report year. An employee dismissed before the report year counts in no
// month.
void CountFssMonths(const infobase::EmployeeHead& head, const ReportPeriod& period, MonthCounted& counters);

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
