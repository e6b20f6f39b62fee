#include "reports/social/PeriodTotals.h"

#include "infobase/EmployeeRecord.h"
#include "payroll/CalendarMath.h"
#include "payroll/PayKinds.h"
#include "values/Messages.h"
#include "values/Values.h"

#include <algorithm>
#include <cstring>

namespace kalvor::reports {

using infobase::AccrualRow;
using infobase::EmployeeRecord;

void CountStaffMonths(const infobase::EmployeeHead& head, const ReportPeriod& period, bool laterHireCounts,
                      MonthCounted& counters)
{
    int start = period.firstMonth;
    const PackedDate hired(head.datPr1);
    if (!hired.isNull()) {
        if (hired.fullYear() > period.year && !laterHireCounts)
            return;
        if (hired.fullYear() == period.year)
            start = std::max(start, hired.month());
    }
    int end = period.lastMonth;
    const PackedDate dismissed(head.datUv1);
    if (!dismissed.isNull()) {
        if (dismissed.fullYear() < period.year)
            return;
        if (dismissed.fullYear() == period.year)
            end = std::min(end, dismissed.month());
    }
    for (int month = std::max(start, 1); month < end && month <= 12; ++month)
        if (counters[std::size_t(month)] < 255)
            ++counters[std::size_t(month)];
}
using infobase::WariaEntry;

namespace {

// Output rows come first in the month's row block; the accrual rows that the
// period totals read end before index 60.
constexpr int kLastAccrualRow = ::kalvor::infobase::EmployeeRecord::MonthRowCount;

// Days of each month (index 1-12) for which the employee was paid, and the
// days of absence.
struct MonthDays {
    std::array<int, 13> paid{};
    std::array<int, 13> absent{};
};

// The month of an archive row: its payment month when it has one, otherwise
// the month for which it was accrued.
int ArchiveRowMonthKey(const WariaEntry& entry)
{
    return entry.mesVyd != 0 ? MonthKey(entry.godVyd, entry.mesVyd).value() : MonthKey(entry.god, entry.mes).value();
}

// A row's days go to the paid days of its month, or, for a kind with hr4 set,
// to the absence: a row of such a kind without days marks the whole month.
void AddRowDays(MonthDays& days, const std::array<int, 13>& monthLengths, int month, int rowDays, bool absence)
{
    if (month < 1 || month > 12)
        return;
    const std::size_t m = std::size_t(month);
    if (!absence)
        days.paid[m] += rowDays;
    else if (rowDays != 0 && days.absent[m] < monthLengths[m])
        days.absent[m] += rowDays;
    else
        days.absent[m] = monthLengths[m];
}

void AddArchiveDays(const PayrollDoc& doc, int begin, int end, const std::array<int, 13>& monthLengths, MonthDays& days)
{
    const EmployeeRecord& record = doc.infoBase.current;
    const int count = std::min<int>(record.warKv, EmployeeRecord::ArchiveCapacity);
    for (int i = 0; i < count; ++i) {
        const WariaEntry& entry = record.waria[std::size_t(i)];
        const int key = ArchiveRowMonthKey(entry);
        if (key < begin || key > end)
            continue;
        const infobase::PayKind* kind = PayKindOf(doc, entry.kod);
        if (kind == nullptr)
            continue;
        AddRowDays(days, monthLengths, MonthKey::of(key).month(), entry.dn, kind->hr4 != 0);
    }
}

// The rows of the base's reporting month, when it lies in the period: the
// accrual rows after the employee's output rows, of the reporting month or
// later.
void AddCurrentMonthDays(const PayrollDoc& doc, int begin, int end, int slot, const std::array<int, 13>& monthLengths,
                         MonthDays& days)
{
    const MonthKey reportingMonth = doc.infoBase.config.reportingKey();
    if (reportingMonth.value() < begin || reportingMonth.value() > end)
        return;
    const infobase::CInfoBase& base = doc.infoBase;
    const int firstRow = base.holdsSlot(slot) ? base.attributesOf(slot).kvProizv : 0;
    for (int r = firstRow; r < kLastAccrualRow; ++r) {
        const AccrualRow& row = doc.infoBase.current.rows[std::size_t(r)];
        if (row.mes < reportingMonth.month())
            continue;
        const infobase::PayKind* kind = PayKindOf(doc, row.kod);
        if (kind == nullptr)
            continue;
        AddRowDays(days, monthLengths, row.mes, row.dn, kind->hr4 != 0);
    }
}

// True when the packed date is set and falls in the month of the year.
bool DateInMonth(std::uint16_t packed, int year, int month)
{
    const PackedDate date(packed);
    return !date.isNull() && date.month() == month && date.fullYear() == year;
}

} // namespace

float CalcPeriodTotals(const PayrollDoc& doc, int begin, int end, int slot, const MonthCounted& monthCounted)
{
    const int year = MonthKey::of(begin).year();
    const int firstMonth = MonthKey::of(begin).month();
    const int lastMonth = std::min(MonthKey::of(end).month(), 12);
    const std::array<int, 13> monthLengths = MonthLengthsForYear(year);

    int periodDays = 0;
    for (int m = std::max(firstMonth, 1); m <= lastMonth; ++m) periodDays += monthLengths[std::size_t(m)];

    MonthDays days;
    AddArchiveDays(doc, begin, end, monthLengths, days);
    AddCurrentMonthDays(doc, begin, end, slot, monthLengths, days);
    for (int m = 0; m <= 12; ++m)
        days.absent[std::size_t(m)] = std::min(days.absent[std::size_t(m)], monthLengths[std::size_t(m)]);

    // Days on the staff in each month with paid days. Signed arithmetic, and
    // never fewer than 0 days in a month: the days before a hire day and a
    // whole month of absence together must not take days from other months.
    const infobase::EmployeeHead& head = doc.infoBase.current.head;
    int countedDays = 0;
    for (int m = std::max(firstMonth, 1); m <= lastMonth; ++m) {
        const std::size_t month = std::size_t(m);
        if (days.paid[month] == 0)
            continue;
        int monthDays = monthLengths[month];
        if (DateInMonth(head.datPr1, year, m)) {
            monthDays -= PackedDate(head.datPr1).day() - 1;
            for (int k = std::max(firstMonth, 1); k < m; ++k)
                if (monthCounted[std::size_t(k)] == 0)
                    periodDays -= monthLengths[std::size_t(k)];
        }
        if (DateInMonth(head.datUv1, year, m))
            monthDays -= monthLengths[month] - PackedDate(head.datUv1).day();
        monthDays -= days.absent[month];
        countedDays += std::max(monthDays, 0);
    }

    if (periodDays <= 0)
        return 0;
    const float share = float(double(countedDays) * 100 / periodDays);
    if (share == 0)
        return 0;
    return float(share * head.stavka / 100);
}

bool ReadGenrRecord(PayrollDoc& doc, int month, const ReportSelection& selection, int markedCount)
{
    infobase::CInfoBase& base = doc.infoBase;
    for (const infobase::EmployeeListEntry& entry : base.list) {
        if (!SelectsReportEmployee(base, entry, selection, markedCount))
            continue;
        if (!base.swap.readSlot(entry.slot, base.current))
            throw TextError(kMsgReadFailed);
        const infobase::EmployeeHead& head = base.current.head;
        const PackedDate dismissed(head.datUv1);
        const int dismissalMonth = dismissed.isNull() ? 0 : MonthKey(dismissed.fullYear(), dismissed.month()).value();
        const auto openAfter = [&](int periodBegin, int periodEnd) {
            if (periodBegin == 0)
                return false;
            if (periodEnd != 0)
                return periodEnd > month;
            return dismissalMonth == 0 || dismissalMonth > month;
        };
        if (openAfter(head.invDat1Begin, head.invDat1End) || openAfter(head.invDat2Begin, head.invDat2End))
            return true;
    }
    return false;
}

int JoinAddressWords(char* target, const char* source)
{
    constexpr int kWidth = 50;
    constexpr int kCommas = 2;
    std::memset(target, ' ', kWidth);
    int breaks = 0;
    int position = 0;
    for (; position < kWidth; ++position) {
        const char c = source[position];
        if (c != ' ') {
            target[position] = c;
            continue;
        }
        if (source[position + 1] == ' ')
            break;
        if (++breaks > kCommas)
            break;
        target[position] = ',';
    }
    return position;
}

} // namespace kalvor::reports
