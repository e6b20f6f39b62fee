#include "payroll/ScheduleNorm.h"

#include "payroll/CalendarMath.h"

#include <algorithm>
#include <set>

#include <QDate>

namespace kalvor {

using infobase::FirmInfo;
using infobase::ScheduleMonth;
using infobase::WorkSchedule;

namespace {

bool hasDayValue(const ScheduleMonth& row)
{
    for (auto v : row.d)
        if (v != 0)
            return true;
    return false;
}

bool hasAnyValue(const ScheduleMonth& row)
{
    return hasDayValue(row) || row.rDn != 0 || row.rMin != 0 || row.vMin != 0 || row.nMin != 0;
}

// A weekday schedule's calendar by the Labour Code: a day off that falls on a
// public holiday moves to the next working day after the holiday, and the
// working day directly before a holiday is an hour shorter. Holidays of the
// days before the month can move a day off into it (the January holidays),
// and a holiday on the next month's first day shortens the month's last day.
void applyLabourCodeCalendar(ScheduleMonth& row, int mask, int dayLength, int month, int year, int length,
                             const PayrollDoc& doc)
{
    const FirmInfo& firm = doc.infoBase.firm;
    auto holiday = [&](const QDate& d) { return IsFirmHoliday(firm, d.day(), d.month()); };
    auto patternDay = [&](const QDate& d) { return ((mask >> (d.dayOfWeek() - 1)) & 1) != 0; }; // bit 0 Monday
    const QDate first(year, month, 1);
    const QDate last(year, month, length);
    std::set<qint64> movedOff; // Julian days of working days turned into days off
    for (QDate d = first.addDays(-31); d <= last; d = d.addDays(1)) {
        if (!holiday(d) || patternDay(d))
            continue;
        QDate to = d.addDays(1);
        // The search ends within a month even in a calendar of holidays only.
        for (int guard = 0; guard < 31; ++guard, to = to.addDays(1))
            if (patternDay(to) && !holiday(to) && !movedOff.count(to.toJulianDay()))
                break;
        movedOff.insert(to.toJulianDay());
    }
    for (int day = 1; day <= length; ++day) {
        auto& v = row.d[std::size_t(day - 1)];
        const QDate d(year, month, day);
        if (movedOff.count(d.toJulianDay()))
            v = 0;
        else if (v != 0 && dayLength > 60 && holiday(d.addDays(1)))
            v = std::uint16_t(dayLength - 60);
    }
}

// Fills a month row from the schedule's definition.
void fillRow(ScheduleMonth& row, const WorkSchedule& s, bool shift, int dayLength, int month, int year, int length,
             const PayrollDoc& doc)
{
    for (int day = 1; day <= 31; ++day) row.d[std::size_t(day - 1)] = day <= length ? std::uint16_t(dayLength) : 0;
    const int yy = year % 100;
    // Weekday mask: bit 0 Monday ... bit 6 Sunday; none = Monday to Friday.
    const int mask = s.rabDnNed != 0 ? s.rabDnNed : 0x1F;
    if (shift) {
        const int working = s.pRab;
        const int cycle = s.pRab + s.pVyh;
        int p = ShiftCyclePosition(s.begD, s.begM, s.begG, month, yy, cycle);
        for (int day = 1; day <= length; ++day) {
            if (p > cycle)
                p -= cycle;
            if (p > working)
                row.d[std::size_t(day - 1)] = 0;
            ++p;
        }
    } else {
        for (int day = 1; day <= length; ++day) {
            const int dow = DayOfWeekDMY(day, month, yy); // 0 Sunday
            const int bit = (dow + 6) % 7;
            if (!((mask >> bit) & 1))
                row.d[std::size_t(day - 1)] = 0;
        }
    }
    for (int day = 1; day <= length; ++day)
        if (IsFirmHoliday(doc.infoBase.firm, day, month))
            row.d[std::size_t(day - 1)] = 0;
    if (!shift)
        applyLabourCodeCalendar(row, mask, dayLength, month, year, length, doc);
    int days = 0, minutes = 0;
    for (int day = 1; day <= length; ++day) {
        if (row.d[std::size_t(day - 1)] != 0) {
            ++days;
            minutes += row.d[std::size_t(day - 1)];
        }
    }
    row.rDn = std::int8_t(days);
    row.rMin = std::uint16_t(minutes);
}

} // namespace

bool ScheduleMonthStands(const WorkSchedule& schedule, const ScheduleMonth& row)
{
    return hasDayValue(row) || (schedule.ruchn && hasAnyValue(row));
}

bool IsFirmHoliday(const FirmInfo& firm, int day, int month)
{
    if (day < 1)
        return false;
    for (std::uint16_t w : firm.fete)
        if ((w >> 8) == day && (w & 15) == month)
            return true;
    return false;
}

bool VacationDaysInMonth(const infobase::VacationNote& note, int year, int month, const FirmInfo& firm, int& first,
                         int& last)
{
    first = 0;
    last = 0;
    if (note.gBegin == 0 || note.mBegin < 1 || note.mBegin > 12 || note.dlin == 0 ||
        note.dBegin > DaysInMonth(note.gBegin, note.mBegin))
        return false;
    const int key = MonthKey(year, month);
    int y = note.gBegin, m = note.mBegin, d = std::max<int>(1, note.dBegin);
    // Each step moves a day on, and the firm has at most twelve holidays a
    // year, so the walk ends within the note's length and its holidays.
    for (int left = note.dlin; left > 0 && MonthKey(y, m) <= key;) {
        if (!IsFirmHoliday(firm, d, m)) {
            --left;
            if (MonthKey(y, m) == key) {
                if (first == 0)
                    first = d;
                last = d;
            }
        }
        if (++d > DaysInMonth(y, m)) {
            d = 1;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
    }
    return first != 0;
}

int WorkingDayLength(const WorkSchedule& schedule, const PayrollDoc& doc)
{
    const int own = schedule.rdHr * 60 + schedule.rdMin;
    return own != 0 ? own : doc.infoBase.firm.dnHr() * 60 + doc.infoBase.firm.dnMin();
}

int CalcScheduleNorm(int monthIndex, WorkSchedule& schedule, int firstDay, int lastDay, int& outDays, int& outMinutes,
                     const PayrollDoc& doc)
{
    outDays = 0;
    outMinutes = 0;

    // A row index outside the 22 stored rows works on a scratch row.
    ScheduleMonth scratch;
    const bool stored = monthIndex >= 0 && monthIndex < int(schedule.months.size());
    ScheduleMonth& row = stored ? schedule.months[std::size_t(monthIndex)] : scratch;

    const bool anyShift = schedule.pVyh != 0 || schedule.pRab != 0 || schedule.begM != 0;
    const bool shift = schedule.pVyh != 0 && schedule.pRab != 0 && schedule.begM != 0;
    if (anyShift && !shift)
        return NormInconsistentSchedule;

    const int dayLength = WorkingDayLength(schedule, doc);
    if (dayLength == 0)
        return NormNoDayLength;

    const MonthKey key = doc.infoBase.config.reportingKey().plus(monthIndex - WorkSchedule::ReportingMonth);
    const int year = key.year(), month = key.month();
    const int length = DaysInMonth(year, month);

    bool dayByDay = false;
    if (lastDay >= kNormDayByDay) {
        dayByDay = true;
        lastDay -= kNormDayByDay;
    }
    if (firstDay < 1)
        firstDay = 1;
    if (lastDay == 0 || lastDay > length)
        lastDay = length;
    if (firstDay > lastDay)
        return NormOk;

    if (!ScheduleMonthStands(schedule, row))
        fillRow(row, schedule, shift, dayLength, month, year, length, doc);

    if (firstDay == 1 && lastDay == length && !dayByDay) {
        if (row.rDn == 0 || row.rMin == 0)
            return NormNoWorkingTime;
        outDays = row.rDn;
        outMinutes = row.rMin;
        return NormOk;
    }
    for (int day = firstDay; day <= lastDay; ++day) {
        const int v = row.d[std::size_t(day - 1)];
        if (v != 0) {
            ++outDays;
            outMinutes += v;
        }
    }
    return NormOk;
}

int CountDayBits(int lastDay, int firstDay, const PayrollDoc& doc, int recordIndex)
{
    if (recordIndex < 0 || recordIndex >= int(doc.infoBase.tabel.size()))
        return 0;
    const auto& t = doc.infoBase.tabel[std::size_t(recordIndex)];
    return CountDayBitsInMasks(t.tabel12, t.tabel22, lastDay, firstDay);
}

void CompactWariaEntries(PayrollDoc& doc)
{
    auto& waria = doc.infoBase.current.waria;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < waria.size(); ++i) {
        const auto& e = waria[i];
        if (e.kod != 0 && e.mes != 0) {
            if (kept != i)
                waria[kept] = e;
            ++kept;
        }
    }
    for (std::size_t i = kept; i < waria.size(); ++i) waria[i] = infobase::WariaEntry{};
    doc.infoBase.current.warKv = std::uint16_t(kept);
}

} // namespace kalvor
