#include "payroll/AbsentDays.h"

#include "payroll/CalendarMath.h"
#include "payroll/ScheduleNorm.h"

#include <algorithm>

namespace kalvor {

using namespace infobase;

namespace {

// The days of the month a sheet covers: first and last, first > last when none.
void SheetDays(const SickLeaveSheet& s, int year, int month, int length, int& first, int& last)
{
    first = 1;
    last = 0;
    if (s.gBegin == 0 || s.mBegin == 0 || s.dBegin == 0)
        return;
    const int key = MonthKey(year, month).value();
    const int beginKey = MonthKey(s.gBegin, s.mBegin).value();
    const bool hasEnd = s.gEnd != 0 && s.mEnd != 0 && s.dEnd != 0;
    const int endKey = hasEnd ? MonthKey(s.gEnd, s.mEnd).value() : beginKey;
    if (beginKey > key || endKey < key)
        return;
    first = beginKey == key ? int(s.dBegin) : 1;
    last = !hasEnd ? first : endKey == key ? std::min<int>(s.dEnd, length) : length;
}

} // namespace

MonthDayFlags AbsentDays(const std::vector<SickLeaveSheet>& sheets, const std::vector<VacationNote>& notes,
                         const FirmInfo& firm, int year, int month)
{
    MonthDayFlags out{};
    const int length = DaysInMonth(year, month);
    for (const SickLeaveSheet& s : sheets) {
        int first = 0, last = 0;
        SheetDays(s, year, month, length, first, last);
        for (int d = first; d <= last; ++d) out[std::size_t(d)] = true;
    }
    for (const VacationNote& n : notes) {
        int first = 0, last = 0;
        if (!VacationDaysInMonth(n, year, month, firm, first, last))
            continue;
        for (int d = std::max(first, 1); d <= std::min(last, length); ++d)
            if (!IsFirmHoliday(firm, d, month))
                out[std::size_t(d)] = true;
    }
    return out;
}

int MarkedDays(const TabelRecord& t) { return CountDayBitsInMasks(t.tabel12, t.tabel22, 31, 1); }

bool SheetAgreesWithMarks(const TabelRecord& t, WorkSchedule& schedule, int dayLength, const PayrollDoc& doc)
{
    if (t.rabDn == 0 || t.rabDn != MarkedDays(t))
        return false;
    if (t.rabHr == 0 || t.rabHr == t.rabDn * dayLength)
        return true;
    int days = 0, minutes = 0;
    PlannedTimeOfDays(MarkedDayFlags(t), schedule, doc, days, minutes);
    return t.rabHr == minutes;
}

} // namespace kalvor
