#include "reports/incometax/TaxRegister.h"

#include "infobase/EmployeeRecord.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/IncomeTax.h"
#include "payroll/Rounding.h"
#include "values/Messages.h"
#include "values/Values.h"

#include <algorithm>

namespace kalvor::reports {

using infobase::IncomeMonthRow;

namespace {

// The month rows reach the result entries before the archive's 60 rows end.
constexpr int kResultEntryLimit = ::kalvor::infobase::EmployeeRecord::MonthRowCount;

int DateKey(std::uint16_t packed)
{
    const PackedDate date(packed);
    return date.isNull() ? 0 : MonthKey(date.fullYear(), date.month()).value();
}

// The income and deduction codes of the year, which the first row carries.
struct YearCodes {
    std::array<infobase::u32, kIncomeCodeSlots> income{};
    std::array<infobase::u32, kIncomeCodeSlots> deduction{};

    static YearCodes of(const IncomeMonthRow& row) { return {row.incomeCodes, row.deductionCodes}; }
    void putInto(IncomeMonthRow& row) const
    {
        row.incomeCodes = income;
        row.deductionCodes = deduction;
    }
};

void AddMonthInto(IncomeMonthRow& total, const IncomeMonthRow& month)
{
    total.taxable += month.taxable;
    total.lessAllowances += month.lessAllowances;
    total.secondGroup += month.secondGroup;
    total.thirdGroup += month.thirdGroup;
    for (std::size_t k = 0; k < total.deductions.size(); ++k) total.deductions[k] += month.deductions[k];
    for (std::size_t k = 0; k < total.incomeByCode.size(); ++k) {
        total.incomeByCode[k] += month.incomeByCode[k];
        total.allowances[k] += month.allowances[k];
    }
    total.taxWithheld += month.taxWithheld;
}

// Months before the employee's start keep nothing but the year's codes; the
// base accumulated before the start is kept aside.
void ClearMonthsBeforeStart(RegisterMonths& months, int startMonth, const YearCodes& codes)
{
    months.prePeriodBase = std::max(0.0, months.rows[std::size_t(startMonth - 2)].base);
    for (int month = 0; month < startMonth - 1; ++month) months.rows[std::size_t(month)] = IncomeMonthRow{};
    codes.putInto(months.rows[0]);
}

void TotalThePeriod(RegisterMonths& months, const infobase::EmployeeRecord& record)
{
    IncomeMonthRow& total = months.rows[kRegisterTotalRow];
    const int startMonth = MonthKey::of(months.start).month();
    const int endMonth = MonthKey::of(months.end).month();
    for (int month = startMonth; month <= endMonth; ++month) AddMonthInto(total, months.rows[std::size_t(month - 1)]);

    double& endBase = months.rows[std::size_t(endMonth - 1)].base;
    endBase = std::max(0.0, endBase);
    total.base = endBase - months.prePeriodBase;

    IncomeMonthRow& first = months.rows[0];
    for (std::size_t k = 0; k < first.incomeCodes.size(); ++k)
        if (total.incomeByCode[k] == 0)
            first.incomeCodes[k] = 0;

    // One deduction code entered in several slots counts in the first of them.
    for (int i = 0; i < kDeductionSlots; ++i)
        for (int j = i + 1; j < kDeductionSlots; ++j)
            if (record.nalvich[std::size_t(i)].kod == record.nalvich[std::size_t(j)].kod) {
                total.deductions[std::size_t(i)] += total.deductions[std::size_t(j)];
                total.deductions[std::size_t(j)] = 0;
            }
}

} // namespace

int RegisterTaxSelector(int tabPodoh) { return ((tabPodoh - 1) % 2 + 2) % 2 + 1; }

int RegisterPeriod(const infobase::InfoBaseConfig& config, ReportPeriod& period)
{
    period = ResolveReportPeriod(config);
    if (period.firstMonth > period.lastMonth || ReportYearAfterBase(period, config))
        return -2;
    return 0;
}

bool EmployeeRegisterSpan(const infobase::EmployeeHead& head, const ReportPeriod& period, int& start, int& end)
{
    start = period.begin();
    end = period.end();
    if (const int hired = DateKey(head.datPr1); hired != 0) {
        if (hired > end)
            return false;
        start = std::max(start, hired);
    }
    if (const int dismissed = DateKey(head.datUv1); dismissed != 0) {
        if (dismissed < start)
            return false;
        end = std::min(end, dismissed);
    }
    return true;
}

int EmployeeRegisterMonths(const PayrollDoc& doc, int year, int firstRow, RegisterMonths& months)
{
    const infobase::EmployeeRecord& record = doc.infoBase.current;
    std::fill(months.rows.begin(), months.rows.end(), IncomeMonthRow{});
    months.prePeriodBase = 0;
    const int entryCount = std::max(0, kResultEntryLimit - firstRow);
    if (const int result =
            IncomeByMonths(MonthKey(year, 1).value(), months.end, IncomeMain, RegisterTaxSelector(record.head.tabPodoh),
                           months.rows.data(), record.rows.data() + firstRow, entryCount, doc);
        result < 0)
        return result;
    const YearCodes codes = YearCodes::of(months.rows[0]);
    months.rows[kRegisterTotalRow] = IncomeMonthRow{};
    codes.putInto(months.rows[kRegisterTotalRow]);
    if (const int startMonth = MonthKey::of(months.start).month(); startMonth > 1)
        ClearMonthsBeforeStart(months, startMonth, codes);
    TotalThePeriod(months, record);
    return 0;
}

int WalkRegisterEmployees(std::stop_token stop, const ReportSelection& selection, int markedCount, PayrollDoc& doc,
                          const RegisterVisitor& visit)
{
    infobase::CInfoBase& base = doc.infoBase;
    ReportPeriod period;
    if (RegisterPeriod(base.config, period) < 0)
        return -2;
    if (!SelectPeriodToSwap(base, period.firstMonthIndex(), period.lastMonthIndex(),
                            selection.toInfoBaseSelection(markedCount), stop))
        return GenrStopped;
    struct SwapCloser {
        infobase::CInfoBase& base;
        ~SwapCloser() { base.CloseSwapFile(); }
    } closer{base};

    RegisterArea area(doc);
    RegisterMonths months;
    for (const infobase::EmployeeListEntry& entry : base.list) {
        if (stop.stop_requested())
            return GenrStopped;
        if (!SelectsReportEmployee(base, entry, selection, markedCount))
            continue;
        if (!base.swap.readSlot(entry.slot, base.current))
            throw TextError(kMsgReadFailed);
        if (!EmployeeRegisterSpan(base.current.head, period, months.start, months.end))
            continue;
        area.clearMatrix();
        RegisterEmployee employee{&entry, nullptr};
        if (base.current.head.tabPodoh != 0) {
            const int firstRow = base.attributesOf(entry.slot).kvProizv;
            if (const int result = EmployeeRegisterMonths(doc, period.year, firstRow, months); result < 0)
                return result;
            employee.months = &months;
        }
        if (const int result = visit(employee); result != 0)
            return result;
    }
    return GenrDone;
}

int CalcNalRegistr(std::stop_token stop, const ReportSelection& selection, int markedCount, PayrollDoc& doc)
{
    ReportPeriod period;
    if (RegisterPeriod(doc.infoBase.config, period) < 0)
        return -2;
    RegisterArea area(doc);
    for (int month = 0; month < kRegisterMonths; ++month) area.withheld(month) = 0;
    return WalkRegisterEmployees(stop, selection, markedCount, doc, [&](const RegisterEmployee& employee) {
        if (employee.months != nullptr)
            for (int month = 0; month < kRegisterMonths; ++month)
                area.withheld(month) += employee.months->rows[std::size_t(month)].taxWithheld;
        return 0;
    });
}

double RoundRoubles(double kopecks) { return RoundWhole(kopecks / 100) * 100; }

double PropertyDeductionAmount(const infobase::EmployeeHead& head, int reportYear, int baseYear)
{
    constexpr std::uint32_t kAmountBits = 0x1FFFFFFF;
    const PackedDate notice(head.imvichDat);
    if (notice.yearField() == 0)
        return 0;
    const double granted = head.imvichBeg & kAmountBits;
    const double atYearStart = head.imvichNY & kAmountBits;
    const double left = head.imvichOst & kAmountBits;
    if (reportYear == baseYear)
        return std::max(0.0, atYearStart - left);
    if (const int noticeYear = notice.fullYear(); noticeYear == baseYear || noticeYear == baseYear - 1)
        return std::max(0.0, granted - atYearStart);
    return 0;
}

} // namespace kalvor::reports
