#include "payroll/ScheduleNorm.h"

#include "payroll/CalendarMath.h"

#include <algorithm>
#include <array>

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

// The firm's public holidays as a word of day bits for each month (bit d for
// day d), so that a walk over days asks no more than a bit each.
using HolidayBits = std::array<std::uint32_t, 16>;

HolidayBits HolidayBitsOf(const FirmInfo& firm)
{
    HolidayBits bits{};
    for (std::uint16_t w : firm.fete)
        if (const int day = w >> 8; day >= 1 && day <= 31)
            bits[w & 15u] |= 1u << day;
    return bits;
}

bool HolidayOn(const HolidayBits& bits, int day, int month) { return (bits[std::size_t(month & 15)] >> day) & 1u; }

// The days that the Labour Code's moves of a month reach, from 31 days before
// its first to 32 after its last (a move searches at most 31 days on), each
// with whether it is a holiday and whether the weekday pattern works it.
struct CalendarWindow {
    static constexpr int kBefore = 31, kAfter = 32;
    using Days = std::array<bool, kBefore + 31 + kAfter>;
    Days holiday{}, pattern{};

    CalendarWindow(const HolidayBits& holidays, int mask, int month, int year, int length)
    {
        const QDate start = QDate(year, month, 1).addDays(-kBefore);
        int y = start.year(), m = start.month(), d = start.day();
        int monthLength = start.daysInMonth();
        int weekday = start.dayOfWeek() - 1; // 0 Monday
        for (int i = 0; i < kBefore + length + kAfter; ++i) {
            holiday[std::size_t(i)] = HolidayOn(holidays, d, m);
            pattern[std::size_t(i)] = ((mask >> weekday) & 1) != 0; // bit 0 Monday
            weekday = (weekday + 1) % 7;
            if (++d > monthLength) {
                d = 1;
                if (++m > 12) {
                    m = 1;
                    ++y;
                }
                monthLength = QDate(y, m, 1).daysInMonth();
            }
        }
    }
};

// A weekday schedule's calendar by the Labour Code: a day off that falls on a
// public holiday moves to the next working day after the holiday, and the
// working day directly before a holiday is an hour shorter. Holidays of the
// days before the month can move a day off into it (the January holidays),
// and a holiday on the next month's first day shortens the month's last day.
void applyLabourCodeCalendar(ScheduleMonth& row, int mask, int dayLength, int month, int year, int length,
                             const HolidayBits& holidays)
{
    const CalendarWindow w(holidays, mask, month, year, length);
    constexpr int first = CalendarWindow::kBefore; // the window's place of the month's first day
    CalendarWindow::Days movedOff{}; // working days turned into days off
    for (int i = 0; i < first + length; ++i) {
        if (!w.holiday[std::size_t(i)] || w.pattern[std::size_t(i)])
            continue;
        int to = i + 1;
        // The search ends within a month even in a calendar of holidays only.
        for (int guard = 0; guard < 31; ++guard, ++to)
            if (w.pattern[std::size_t(to)] && !w.holiday[std::size_t(to)] && !movedOff[std::size_t(to)])
                break;
        movedOff[std::size_t(to)] = true;
    }
    for (int day = 1; day <= length; ++day) {
        auto& v = row.d[std::size_t(day - 1)];
        const std::size_t i = std::size_t(first + day - 1);
        if (movedOff[i])
            v = 0;
        else if (v != 0 && dayLength > 60 && w.holiday[i + 1])
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
        const int firstDow = DayOfWeekDMY(1, month, yy); // 0 Sunday
        for (int day = 1; day <= length; ++day) {
            const int bit = (firstDow + day - 1 + 6) % 7;
            if (!((mask >> bit) & 1))
                row.d[std::size_t(day - 1)] = 0;
        }
    }
    const HolidayBits holidays = HolidayBitsOf(doc.infoBase.firm);
    for (int day = 1; day <= length; ++day)
        if (HolidayOn(holidays, day, month))
            row.d[std::size_t(day - 1)] = 0;
    if (!shift)
        applyLabourCodeCalendar(row, mask, dayLength, month, year, length, holidays);
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
    return day >= 1 && day <= 31 && month >= 1 && month <= 15 && HolidayOn(HolidayBitsOf(firm), day, month);
}

bool VacationDaysInMonth(const infobase::VacationNote& note, int year, int month, const FirmInfo& firm, int& first,
                         int& last)
{
    first = 0;
    last = 0;
    if (note.gBegin == 0 || note.mBegin < 1 || note.mBegin > 12 || note.dlin == 0 ||
        note.dBegin > DaysInMonth(note.gBegin, note.mBegin))
        return false;
    const int key = MonthKey(year, month).value();
    int y = note.gBegin, m = note.mBegin, d = std::max<int>(1, note.dBegin);
    // Each step moves a day on, and the firm has at most twelve holidays a
    // year, so the walk ends within the note's length and its holidays.
    for (int left = note.dlin; left > 0 && MonthKey(y, m).value() <= key;) {
        if (!IsFirmHoliday(firm, d, m)) {
            --left;
            if (MonthKey(y, m).value() == key) {
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

namespace {

// The month row that a norm of monthIndex reads, made from the schedule's
// definition when it does not stand, and the month's length; a scratch row
// for an index outside the 22 stored rows (the run's, when one keeps them).
// A negative ScheduleNormResult when the schedule gives no norm.
struct NormRow {
    WorkSchedule& schedule;
    const PayrollDoc& doc;
    ScheduleMonthsRun* run = nullptr;
    ScheduleMonth scratch{};
    ScheduleMonth* row = nullptr;
    bool shift = false;
    int dayLength = 0, month = 0, year = 0, length = 0;

    // The number of the schedule in the base's book; 0 for a schedule that
    // is not one of the book's (a copy).
    int baseNumberOf(const WorkSchedule& s) const
    {
        for (int number = 1; number <= infobase::CInfoBase::ScheduleCount; ++number)
            if (&doc.infoBase.scheduleAt(number) == &s)
                return number;
        return 0;
    }

    // Finds the row and the month; a negative result when the schedule gives no norm.
    int find(int monthIndex)
    {
        const bool stored = monthIndex >= 0 && monthIndex < int(schedule.months.size());
        const int number = run != nullptr && !stored ? baseNumberOf(schedule) : 0;
        if (stored)
            row = &schedule.months[std::size_t(monthIndex)];
        else
            row = number != 0 ? &run->made[{number, monthIndex}] : &scratch;
        const bool anyShift = schedule.pVyh != 0 || schedule.pRab != 0 || schedule.begM != 0;
        shift = schedule.pVyh != 0 && schedule.pRab != 0 && schedule.begM != 0;
        if (anyShift && !shift)
            return NormInconsistentSchedule;
        dayLength = WorkingDayLength(schedule, doc);
        if (dayLength == 0)
            return NormNoDayLength;
        const MonthKey key = doc.infoBase.config.reportingKey().plus(monthIndex - WorkSchedule::ReportingMonth);
        year = key.year();
        month = key.month();
        length = DaysInMonth(year, month);
        return NormOk;
    }

    void make()
    {
        if (!ScheduleMonthStands(schedule, *row))
            fillRow(*row, schedule, shift, dayLength, month, year, length, doc);
    }

    // The working days and minutes of the days that `counts` takes.
    template <class Counts>
    void sum(Counts counts, int& outDays, int& outMinutes) const
    {
        for (int day = 1; day <= length; ++day) {
            const int v = row->d[std::size_t(day - 1)];
            if (v != 0 && counts(day)) {
                ++outDays;
                outMinutes += v;
            }
        }
    }
};

// The norm of days firstDay to lastDay; a whole month gives the row's stored
// totals unless dayByDay.
int NormOfDays(int monthIndex, WorkSchedule& schedule, int firstDay, int lastDay, bool dayByDay, int& outDays,
               int& outMinutes, const PayrollDoc& doc, ScheduleMonthsRun* run)
{
    outDays = 0;
    outMinutes = 0;
    NormRow n{schedule, doc, run};
    if (const int r = n.find(monthIndex); r < 0)
        return r;
    firstDay = std::max(firstDay, 1);
    if (lastDay == 0 || lastDay > n.length)
        lastDay = n.length;
    if (firstDay > lastDay)
        return NormOk;
    n.make();
    if (firstDay == 1 && lastDay == n.length && !dayByDay) {
        if (n.row->rDn == 0 || n.row->rMin == 0)
            return NormNoWorkingTime;
        outDays = n.row->rDn;
        outMinutes = n.row->rMin;
        return NormOk;
    }
    n.sum([&](int day) { return day >= firstDay && day <= lastDay; }, outDays, outMinutes);
    return NormOk;
}

} // namespace

int CalcScheduleNorm(int monthIndex, WorkSchedule& schedule, int firstDay, int lastDay, int& outDays, int& outMinutes,
                     const PayrollDoc& doc, ScheduleMonthsRun* run)
{
    return NormOfDays(monthIndex, schedule, firstDay, lastDay, false, outDays, outMinutes, doc, run);
}

int ScheduleNormDayByDay(int monthIndex, WorkSchedule& schedule, int firstDay, int lastDay, int& outDays,
                         int& outMinutes, const PayrollDoc& doc, ScheduleMonthsRun* run)
{
    return NormOfDays(monthIndex, schedule, firstDay, lastDay, true, outDays, outMinutes, doc, run);
}

int PlannedTimeOfDays(const MonthDayFlags& days, WorkSchedule& schedule, const PayrollDoc& doc, int& outDays,
                      int& outMinutes)
{
    outDays = 0;
    outMinutes = 0;
    if (std::none_of(days.begin(), days.end(), [](bool day) { return day; }))
        return NormOk;
    NormRow n{schedule, doc};
    if (const int r = n.find(WorkSchedule::ReportingMonth); r < 0)
        return r;
    n.make();
    n.sum([&](int day) { return days[std::size_t(day)]; }, outDays, outMinutes);
    return NormOk;
}

int CountDayBits(int lastDay, int firstDay, const PayrollDoc& doc, int slot)
{
    if (!doc.infoBase.holdsSlot(slot))
        return 0;
    const auto& t = doc.infoBase.tabelOf(slot);
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
