#pragma once
// The total sums of the income-tax figures over the report generator's period
// ("Информация об итоговых суммах").
//
// For each selected employee with a tax table (tabPodoh not 0) the month rows
// of IncomeByMonths are summed from the period's first month (or the hire
// month, when later) to its last; the sums of all employees, and the counts
// of those with non-zero figures, make the totals, which are written into
// section 14 of "forms", each value ending just before its fixed offset.
//
// Columns of the month rows, by IncomeMonthRow: 0 taxable, 2 base (the
// cumulative tax base), 3 secondGroup, 4 thirdGroup, 5-14 deductions,
// 60 taxWithheld. The deduction pairs are the fifteen per-code pairs of the
// rows (incomeByCode, allowances), summed over the months taken: a pair whose
// allowance is not 0 adds its income to DeductionBaseTotal and its allowance
// to DeductionValueTotal.
#include "exchange/ExchangeWorker.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/PayrollDocument.h"
#include "platform/TaskThread.h"
#include "print/PrintOutput.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <stop_token>

namespace kalvor::exchange {

struct ItogSumTotals {
    int EmployeesWithIncome = 0;
    int EmployeesWithIncrease = 0;
    int EmployeesWithColumn3 = 0;
    int EmployeesWithColumn4 = 0;
    int FlaggedWithIncome = 0;
    double IncomeTotal = 0; // kopecks, as every amount here
    double IncreaseTotal = 0;
    double Column3Total = 0;
    double Column4Total = 0;
    double FlaggedIncomeTotal = 0;
    double DeductionBaseTotal = 0;
    double DeductionValueTotal = 0;
    double Columns5To14Total = 0;
    double Column60Total = 0;
};

// The section of "forms" that holds the text of the totals.
inline constexpr int kTotalsFormsSection = 14;
// The offsets before which the fourteen values end, in the order of
// ItogSumTotals: the counts, then the amounts.
inline constexpr std::array<int, 14> kTotalsOffsets{54,  112, 225, 169, 282, 339, 397,
                                                    510, 454, 567, 624, 681, 738, 795};

// The totals of the selection (shop, brigade, profession, personnel number;
// markedCount above 0: the marked employees only). The employees are written
// into the swap file for the period first. Result 0; -2 when the period's
// first month is after its last ("ошибка в датах отчетного периода"); the
// negative result of IncomeByMonths, which ends the run. A stop requested
// during the selection throws TextError "Операция прервана"; a slot that
// cannot be read whole, TextError "Ошибка чтения файла".
int CollectTotals(const infobase::Selection& selection, PayrollDoc& doc, int markedCount, ItogSumTotals& totals,
                  std::stop_token stop = {});

// Section 14 of "forms" with the totals written in: counts "%d", amounts
// "%.2f" of roubles, each right-aligned to end before its offset; a section
// shorter than the last offset is padded with blanks first, and a value
// longer than the text before its offset keeps only its right part, so that
// nothing is written outside the text. Throws ReadFormsSection's TextError.
QByteArray TotalsText(const ItogSumTotals& totals);

// TotalsText into the file at path (windows-1251), written whole or not at
// all. Throws TextError naming the file and why when it cannot be written.
void WriteTotalsText(const ItogSumTotals& totals, const QString& path);

// The worker of "Вывод": the totals of the strip's selection (the marked
// employees with SelectedOnly) into the run's work file, shown through the
// print command; the base settings are saved (an edited command is kept).
// Failures are reported as RunExchangeWorker says (-2: "ошибка в датах
// отчетного периода").
platform::TaskOutcome ItogSumThreadProc(platform::TaskContext& context, const platform::TaskThreadParams& params,
                                        PayrollDoc& doc, const ExchangeMessenger& messenger,
                                        print::PrintCommandPrompt& prompt);

} // namespace kalvor::exchange
