#include "exchange/TotalSums.h"

#include "payroll/IncomeTax.h"
#include "print/FormsFile.h"
#include "print/PrintOutput.h"
#include "reports/social/ReportRun.h"
#include "values/Messages.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include "platform/SavedFile.h"

#include <algorithm>

namespace kalvor::exchange {

using infobase::CInfoBase;
using infobase::IncomeMonthRow;

namespace {

// Codes of CollectTotals.
constexpr int kTotalsBadPeriod = -2;
// The per-code pairs of a month row.
constexpr int kDeductionPairs = 15;

// One employee's sums over the months taken.
struct EmployeeSums {
    double income = 0; // columns 0, 3 and 4
    double column3 = 0, column4 = 0;
    double increase = 0;
    double columns5To14 = 0, column60 = 0;
    std::array<double, kDeductionPairs> pairIncome{}, pairAllowance{};
};

bool Selected(const CInfoBase& base, const infobase::EmployeeListEntry& entry, const infobase::Selection& selection,
              int markedCount)
{
    if (markedCount > 0 ? !entry.marked() : (selection.tabN != 0 && entry.tabN() != selection.tabN))
        return false;
    return base.EmployeeInGroup(entry.slot, selection.shop, selection.brigade, selection.profession);
}

// The hire date of the current employment as year * 16 + month, 0 without one.
int HireMonth(const infobase::EmployeeHead& head)
{
    const PackedDate hired(head.datPr2 != 0 ? head.datPr2 : head.datPr1);
    return hired.isNull() ? 0 : MonthKey(hired.fullYear(), hired.month()).value();
}

// The month rows from January to the period's last month; their count of the
// record's month rows is up to the last row in use.
int IncomeRows(const reports::ReportPeriod& period, int selector, std::array<IncomeMonthRow, 12>& rows,
               const PayrollDoc& doc)
{
    const auto& monthRows = doc.infoBase.current.rows;
    int used = int(monthRows.size());
    while (used > 0 && monthRows[std::size_t(used - 1)].isEmpty()) --used;
    return IncomeByMonths(MonthKey(period.year, 1).value(), MonthKey(period.year, period.lastMonth).value(), IncomeMain, selector,
                          rows.data(), monthRows.data(), used, doc);
}

EmployeeSums SumMonths(const std::array<IncomeMonthRow, 12>& rows, int startMonth, int lastMonth)
{
    EmployeeSums sums;
    for (int month = startMonth; month <= lastMonth; ++month) {
        const IncomeMonthRow& row = rows[std::size_t(month - 1)];
        sums.income += row.taxable + row.secondGroup + row.thirdGroup;
        sums.column3 += row.secondGroup;
        sums.column4 += row.thirdGroup;
        for (double deduction : row.deductions) sums.columns5To14 += deduction;
        sums.column60 += row.taxWithheld;
        for (int pair = 0; pair < kDeductionPairs; ++pair) {
            sums.pairIncome[std::size_t(pair)] += row.incomeByCode[std::size_t(pair)];
            sums.pairAllowance[std::size_t(pair)] += row.allowances[std::size_t(pair)];
        }
    }
    // The rise of the cumulative tax base over the months taken.
    const double last = std::max(rows[std::size_t(lastMonth - 1)].base, 0.0);
    const double before = startMonth > 1 ? rows[std::size_t(startMonth - 2)].base : 0.0;
    sums.increase = last - before;
    return sums;
}

void AddEmployee(const EmployeeSums& sums, bool flagged, ItogSumTotals& totals)
{
    totals.IncomeTotal += sums.income;
    totals.IncreaseTotal += sums.increase;
    totals.Column3Total += sums.column3;
    totals.Column4Total += sums.column4;
    totals.Columns5To14Total += sums.columns5To14;
    totals.Column60Total += sums.column60;
    for (int pair = 0; pair < kDeductionPairs; ++pair)
        if (sums.pairAllowance[std::size_t(pair)] != 0) {
            totals.DeductionBaseTotal += sums.pairIncome[std::size_t(pair)];
            totals.DeductionValueTotal += sums.pairAllowance[std::size_t(pair)];
        }
    if (flagged)
        totals.FlaggedIncomeTotal += sums.income;
    if (sums.income > 0) {
        ++totals.EmployeesWithIncome;
        if (flagged)
            ++totals.FlaggedWithIncome;
    }
    totals.EmployeesWithIncrease += sums.increase > 0 ? 1 : 0;
    totals.EmployeesWithColumn3 += sums.column3 > 0 ? 1 : 0;
    totals.EmployeesWithColumn4 += sums.column4 > 0 ? 1 : 0;
}

// The employee of the current record into the totals: 0, or the negative
// result of IncomeByMonths.
int TakeEmployee(const reports::ReportPeriod& period, const PayrollDoc& doc, ItogSumTotals& totals)
{
    const infobase::EmployeeHead& head = doc.infoBase.current.head;
    if (head.tabPodoh == 0)
        return 0;
    // An odd table is the selector 1 of the month rows, an even one 2.
    const int selector = (head.tabPodoh & 1) != 0 ? 1 : 2;
    const int hired = HireMonth(head);
    if (hired > period.end())
        return 0;
    const int startMonth = hired > period.begin() ? MonthKey::of(hired).month() : period.firstMonth;
    std::array<IncomeMonthRow, 12> rows{};
    if (const int result = IncomeRows(period, selector, rows, doc); result < 0)
        return result;
    // Bit 3 of the flags word, the word at offset 166 of the packed record.
    AddEmployee(SumMonths(rows, startMonth, period.lastMonth), head.flag(3), totals);
    return 0;
}

QByteArray ValueText(const ItogSumTotals& totals, std::size_t index)
{
    const std::array<int, 5> counts{totals.EmployeesWithIncome, totals.EmployeesWithIncrease,
                                    totals.EmployeesWithColumn3, totals.EmployeesWithColumn4, totals.FlaggedWithIncome};
    const std::array<double, 9> amounts{
        totals.IncomeTotal,         totals.IncreaseTotal,      totals.Column3Total,
        totals.Column4Total,        totals.FlaggedIncomeTotal, totals.DeductionBaseTotal,
        totals.DeductionValueTotal, totals.Columns5To14Total,  totals.Column60Total};
    if (index < counts.size())
        return QByteArray::number(counts[index]);
    return FormatFixed8(amounts[index - counts.size()] / 100.0, 2);
}

} // namespace

int CollectTotals(const infobase::Selection& selection, PayrollDoc& doc, int markedCount, ItogSumTotals& totals,
                  std::stop_token stop)
{
    totals = ItogSumTotals{};
    CInfoBase& base = doc.infoBase;
    const auto& config = base.config;
    const int firstMonth = config.r_m1 != 0 ? config.r_m1 : 1;
    const int lastMonth = config.r_m2 != 0 ? config.r_m2 : 12;
    if (firstMonth > lastMonth)
        return kTotalsBadPeriod;
    const reports::ReportPeriod period = reports::ResolveReportPeriod(config);

    infobase::Selection run = selection;
    run.flag = markedCount > 0 ? 1 : 0;
    if (!infobase::SelectPeriodToSwap(base, period.firstMonthIndex(), period.lastMonthIndex(), run, stop))
        throw TextError(kMsgInterrupted);
    struct SwapCloser {
        CInfoBase& base;
        ~SwapCloser() { base.CloseSwapFile(); }
    } closer{base};
    base.OpenSwapFile();
    for (const infobase::EmployeeListEntry& entry : base.list) {
        if (!Selected(base, entry, selection, markedCount))
            continue;
        base.currentSlot = 0;
        if (!base.swap.readSlot(entry.slot, base.current))
            throw TextError(kMsgReadFailed);
        base.currentSlot = entry.slot;
        if (const int result = TakeEmployee(period, doc, totals); result < 0)
            return result;
    }
    return 0;
}

QByteArray TotalsText(const ItogSumTotals& totals)
{
    QByteArray text = print::ReadFormsSection(kTotalsFormsSection);
    const int end = *std::max_element(kTotalsOffsets.begin(), kTotalsOffsets.end());
    if (text.size() < end)
        text = text.leftJustified(end, ' ');
    for (std::size_t index = 0; index < kTotalsOffsets.size(); ++index) {
        const int offset = kTotalsOffsets[index];
        const QByteArray value = ValueText(totals, index).right(offset);
        text.replace(offset - value.size(), value.size(), value);
    }
    return text;
}

platform::TaskOutcome ItogSumThreadProc(platform::TaskContext& context, const platform::TaskThreadParams& params,
                                        PayrollDoc& doc, const ExchangeMessenger& messenger,
                                        print::PrintCommandPrompt& prompt)
{
    return RunExchangeWorker(context, messenger, ExchangeCodeFamily::WholeTable, [&](platform::TaskContext& run) {
        const int marked = CountMarkedEmployees(doc.infoBase, params);
        ItogSumTotals totals;
        if (const int result = CollectTotals(SelectionOf(params), doc, marked, totals, run.stopToken()); result < 0)
            return platform::TaskOutcome(result);
        const QString path = print::MonthFormPath(doc, "Itogi");
        WriteTotalsText(totals, path);
        const print::PrintCommandResult printed = print::PrintTextFile(doc, path, prompt);
        infobase::SaveConfig(doc.infoBase);
        return print::PrintedReportOutcome(path, printed);
    });
}

void WriteTotalsText(const ItogSumTotals& totals, const QString& path)
{
    const QByteArray text = TotalsText(totals);
    if (QString failure; !platform::WriteWholeFile(path, text, &failure))
        throw TextError(failure);
}

} // namespace kalvor::exchange
