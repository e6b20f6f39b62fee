// Schedule norms on weekday and shift schedules, public holidays, stored and
// scratch month rows; pay-kind lookup and rounding through the base settings;
// the time-sheet day count and the archive compaction.
#include "payroll/ScheduleNorm.h"
#include "payroll/PayKinds.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kalvor;
using namespace kalvor::infobase;

namespace {

std::uint16_t holiday(int day, int month) { return std::uint16_t(day * 256 + month); }

struct Norm {
    int result, days, minutes;
};

Norm norm(PayrollDoc& doc, WorkSchedule& s, int index, int first = 1, int last = 0, bool dayByDay = false,
          ScheduleMonthsRun* run = nullptr)
{
    Norm n{};
    n.days = n.minutes = 12345;
    n.result = dayByDay ? ScheduleNormDayByDay(index, s, first, last, n.days, n.minutes, doc, run)
                        : CalcScheduleNorm(index, s, first, last, n.days, n.minutes, doc, run);
    return n;
}

WorkSchedule fiveDays(int hours)
{
    WorkSchedule s;
    s.rdHr = std::uint16_t(hours);
    return s;
}

WorkSchedule shift(int on, int off, int d, int m, int yy, int hours)
{
    WorkSchedule s;
    s.rdHr = std::uint16_t(hours);
    s.pRab = std::uint16_t(on);
    s.pVyh = std::uint16_t(off);
    s.begD = std::uint8_t(d);
    s.begM = std::uint8_t(m);
    s.begG = std::uint8_t(yy);
    return s;
}

} // namespace

TEST(CalcScheduleNorm, FiveDayWeekAcrossMonthAndYearEnds)
{
    PayrollDoc doc;
    CInfoBase& base = doc.infoBase;
    base.config.tekMes = std::uint16_t(MonthKey(2024, 9).value()); // September 2024 begins on a Sunday
    WorkSchedule s = fiveDays(8);

    Norm n = norm(doc, s, 15);
    EXPECT_EQ(n.result, 0);
    EXPECT_EQ(n.days, 21);
    EXPECT_EQ(n.minutes, 21 * 480);
    EXPECT_EQ(s.months[15].d[0], 0); // Sunday the 1st is a day off
    EXPECT_EQ(s.months[15].d[1], 480); // Monday the 2nd
    EXPECT_EQ(s.months[15].rDn, 21); // the computed row is kept in the schedule

    EXPECT_EQ(norm(doc, s, 15, 1, 1).days, 0);
    EXPECT_EQ(norm(doc, s, 16).days, 23); // October 2024
    EXPECT_EQ(norm(doc, s, 14).days, 22); // August 2024
    EXPECT_EQ(norm(doc, s, 8).days, 21); // February 2024, 29 days
    EXPECT_EQ(s.months[8].d[28], 480); // 29 February, a Thursday
    EXPECT_EQ(norm(doc, s, 3).days, 21); // September 2023

    base.config.tekMes = std::uint16_t(MonthKey(2024, 12).value());
    WorkSchedule t = fiveDays(8);
    EXPECT_EQ(norm(doc, t, 16).days, 23); // January 2025
    EXPECT_EQ(norm(doc, t, 16).minutes, 23 * 480);
}

TEST(CalcScheduleNorm, RangesAndDayByDayCounts)
{
    PayrollDoc doc;
    CInfoBase& base = doc.infoBase;
    base.config.tekMes = std::uint16_t(MonthKey(2024, 9).value());
    WorkSchedule s = fiveDays(8);
    Norm n = norm(doc, s, 15, 10, 20); // Monday 9th .. : 10-13, 16-20
    EXPECT_EQ(n.result, 0);
    EXPECT_EQ(n.days, 9);
    EXPECT_EQ(n.minutes, 9 * 480);
    n = norm(doc, s, 15, 0, 45); // first day 0 from the 1st, a day past the end cut to the 30th
    EXPECT_EQ(n.days, 21);
    n = norm(doc, s, 15, 20, 10);
    EXPECT_EQ(n.result, 0);
    EXPECT_EQ(n.days, 0);
    EXPECT_EQ(n.minutes, 0);

    // A day edited to 0 in the stored row: the day-by-day count follows it, the
    // whole-month request keeps the stored totals.
    s.months[15].d[1] = 0;
    EXPECT_EQ(norm(doc, s, 15, 1, 0, true).days, 20);
    EXPECT_EQ(norm(doc, s, 15).days, 21);
}

TEST(CalcScheduleNorm, HolidaysOnWorkingDaysAndOnDaysOff)
{
    PayrollDoc doc;
    CInfoBase& base = doc.infoBase;
    base.config.tekMes = std::uint16_t(MonthKey(2024, 9).value());
    base.firm.fete[0] = holiday(7, 9); // a Saturday: its day off moves to Monday 9 September
    base.firm.fete[1] = holiday(2, 9); // a Monday
    base.firm.fete[2] = holiday(31, 9); // past September's end: ignored
    base.firm.fete[3] = 9; // day 0: an empty word
    base.firm.fete[4] = holiday(1, 10); // another month: 30 September an hour shorter
    WorkSchedule s = fiveDays(8);
    Norm n = norm(doc, s, 15);
    EXPECT_EQ(n.days, 19);
    EXPECT_EQ(n.minutes, 19 * 480 - 2 * 60); // Friday 6 and Monday 30 September shortened
    EXPECT_EQ(s.months[15].d[8], 0);
    EXPECT_EQ(norm(doc, s, 16).days, 22); // 1 October 2024 was a Tuesday
}

// The production calendar of a five-day week of 8 hours by the Labour Code
// of 2011-2012, with the twelve holidays of art. 112: November 2011 has 22
// weekdays, 4 November (Friday) off, 3 November an hour shorter: 21 days,
// 21 x 8 - 1 = 167 hours. January 2012 has 22 weekdays, 2-5 January off; 1
// January (Sunday) moves its day off past the holidays to Friday 6 January,
// 7 January (Saturday) to Monday 9 January: 16 days, 128 hours, no shortened
// day (6 January, before Christmas, is off). December 2011: 22 days, 176
// hours (31 December is a Saturday). A month the firm typed stays as typed.
TEST(CalcScheduleNorm, PatternMonthsFollowTheLabourCode)
{
    PayrollDoc doc;
    CInfoBase& base = doc.infoBase;
    const int holidays[][2] = {{1, 1},  {2, 1}, {3, 1}, {4, 1}, {5, 1},  {7, 1},
                               {23, 2}, {8, 3}, {1, 5}, {9, 5}, {12, 6}, {4, 11}};
    for (int i = 0; i < 12; ++i) base.firm.fete[std::size_t(i)] = holiday(holidays[i][0], holidays[i][1]);
    base.config.tekMes = std::uint16_t(MonthKey(2011, 11).value());
    WorkSchedule s = fiveDays(8);

    Norm n = norm(doc, s, 15);
    EXPECT_EQ(n.result, 0);
    EXPECT_EQ(n.days, 21);
    EXPECT_EQ(n.minutes, 167 * 60);
    EXPECT_EQ(s.months[15].d[2], 7 * 60); // 3 November
    EXPECT_EQ(s.months[15].d[3], 0); // 4 November

    n = norm(doc, s, 16);
    EXPECT_EQ(n.days, 22);
    EXPECT_EQ(n.minutes, 176 * 60);

    n = norm(doc, s, 17);
    EXPECT_EQ(n.days, 16);
    EXPECT_EQ(n.minutes, 128 * 60);
    EXPECT_EQ(s.months[17].d[5], 0); // Friday 6 January
    EXPECT_EQ(s.months[17].d[8], 0); // Monday 9 January
    EXPECT_EQ(s.months[17].d[9], 8 * 60);

    // November as the firm typed it (4 November off, 3 November a full day):
    // kept, not made again.
    WorkSchedule typed = fiveDays(8);
    ScheduleMonth& row = typed.months[15];
    for (int day = 1; day <= 30; ++day) {
        const int dow = (day + 1) % 7; // 1 November 2011 a Tuesday: 0 = Sunday
        if (dow != 0 && dow != 6 && day != 4)
            row.d[std::size_t(day - 1)] = 8 * 60;
    }
    row.rDn = 21;
    row.rMin = 168 * 60;
    n = norm(doc, typed, 15);
    EXPECT_EQ(n.days, 21);
    EXPECT_EQ(n.minutes, 168 * 60);
    EXPECT_EQ(norm(doc, typed, 15, 3, 3, true).minutes, 8 * 60);
    EXPECT_TRUE(ScheduleMonthStands(typed, typed.months[15]));
    EXPECT_FALSE(ScheduleMonthStands(typed, typed.months[16]));

    // A shift schedule keeps its cycle: no day moved, no shortened shift.
    base.config.tekMes = std::uint16_t(MonthKey(2012, 1).value());
    WorkSchedule cycle = shift(2, 2, 1, 1, 12, 11); // on 1-2, 5-6 ... January 2012
    n = norm(doc, cycle, 15);
    EXPECT_EQ(n.days, 13); // 16 shifts less 1, 2 and 5 January
    EXPECT_EQ(n.minutes, 13 * 11 * 60); // 6 January, before Christmas, a full shift
    EXPECT_EQ(cycle.months[15].d[5], 11 * 60);
}

// Days off moved by holidays that fall on days off, in September 2024 of a
// five-day week (the 1st a Sunday, 21 weekdays): a holiday on Saturday 31
// August moves its day off into September, to Monday the 2nd; holidays on
// Saturday 7 and Sunday 8 September move theirs to Monday 9 and Tuesday 10,
// one day each, and shorten Friday the 6th by an hour.
TEST(CalcScheduleNorm, DaysOffMovedAcrossTheMonthsStartAndOneDayEach)
{
    struct Case {
        const char* what;
        std::vector<std::uint16_t> holidays;
        int days, minutes;
        std::vector<int> daysOff; // weekdays of September that the moves take
    };
    const Case cases[] = {
        {"a holiday on the month before's last day", {holiday(31, 8)}, 20, 20 * 480, {2}},
        {"two holidays on one weekend", {holiday(7, 9), holiday(8, 9)}, 19, 19 * 480 - 60, {9, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PayrollDoc doc;
        CInfoBase& base = doc.infoBase;
        base.config.tekMes = std::uint16_t(MonthKey(2024, 9).value());
        for (std::size_t i = 0; i < c.holidays.size(); ++i) base.firm.fete[i] = c.holidays[i];
        WorkSchedule s = fiveDays(8);
        const Norm n = norm(doc, s, 15);
        EXPECT_EQ(n.result, 0);
        EXPECT_EQ(n.days, c.days);
        EXPECT_EQ(n.minutes, c.minutes);
        for (int day : c.daysOff) EXPECT_EQ(s.months[15].d[std::size_t(day - 1)], 0) << day;
    }
}

// The days of a vacation note in each month: the firm's holidays inside it
// are not its days and lengthen it, and a vacation from a month's last day
// runs on into the next month. 28 April 2011 for 14 days over 1 and 9 May:
// 28-30 April, 2-8 May and 10-13 May. 31 May 2011 for 10 days: 31 May and
// 1-9 June.
TEST(CalcScheduleNorm, VacationDaysOfEachMonth)
{
    struct Case {
        int day, month, length; // the note, in 2011
        int inMonth; // the month asked for, of 2011
        bool any;
        int first, last;
    };
    const Case cases[] = {
        {28, 4, 14, 4, true, 28, 30}, {28, 4, 14, 5, true, 2, 13}, {28, 4, 14, 6, false, 0, 0},
        {31, 5, 10, 5, true, 31, 31}, {31, 5, 10, 6, true, 1, 9},  {31, 5, 10, 4, false, 0, 0},
    };
    FirmInfo firm;
    firm.fete[0] = holiday(1, 5);
    firm.fete[1] = holiday(9, 5);
    firm.fete[2] = holiday(12, 6);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.day << "." << c.month << " for " << c.length << " days, month "
                                        << c.inMonth);
        VacationNote note;
        note.dBegin = std::uint16_t(c.day);
        note.mBegin = std::uint16_t(c.month);
        note.gBegin = 2011;
        note.dlin = std::uint16_t(c.length);
        int first = -1, last = -1;
        EXPECT_EQ(VacationDaysInMonth(note, 2011, c.inMonth, firm, first, last), c.any);
        EXPECT_EQ(first, c.first);
        EXPECT_EQ(last, c.last);
    }
}

TEST(CalcScheduleNorm, ShiftCycleBeforeAndAfterItsStart)
{
    PayrollDoc doc;
    CInfoBase& base = doc.infoBase;
    base.config.tekMes = std::uint16_t(MonthKey(2024, 3).value());
    base.firm.fete[0] = holiday(8, 3); // falls on a day off of the cycle
    base.firm.fete[1] = holiday(23, 2); // falls on a working day of the cycle
    // Two days on, one off, from 15 March 2024, 12-hour shifts.
    WorkSchedule s = shift(2, 1, 15, 3, 24, 12);
    Norm n = norm(doc, s, 15);
    EXPECT_EQ(n.result, 0);
    EXPECT_EQ(n.days, 21);
    EXPECT_EQ(n.minutes, 21 * 720);
    EXPECT_EQ(s.months[15].d[14], 720); // the start date: position 1
    EXPECT_EQ(s.months[15].d[16], 0); // 17 March: position 3, off
    EXPECT_EQ(norm(doc, s, 16).days, 20); // April: the 1st is a day off
    EXPECT_EQ(s.months[16].d[0], 0);
    EXPECT_EQ(norm(doc, s, 14).days, 18); // February, before the start, less 23 February
}

TEST(CalcScheduleNorm, Failures)
{
    PayrollDoc doc;
    CInfoBase& base = doc.infoBase;
    base.config.tekMes = std::uint16_t(MonthKey(2026, 2).value());

    WorkSchedule bad = shift(2, 2, 0, 0, 0, 8); // days on and off but no start date
    Norm n = norm(doc, bad, 15);
    EXPECT_EQ(n.result, NormInconsistentSchedule);
    EXPECT_EQ(n.days, 0);
    EXPECT_EQ(n.minutes, 0);

    WorkSchedule noLength;
    n = norm(doc, noLength, 15);
    EXPECT_EQ(n.result, NormNoDayLength);
    EXPECT_EQ(n.minutes, 0);
    base.firm.parWord = std::uint16_t((7 << 6) | (30 << 10)); // the firm's day: 7 h 30 min
    n = norm(doc, noLength, 15);
    EXPECT_EQ(n.result, 0);
    EXPECT_EQ(n.minutes, 20 * 450);

    // Sundays only, and every Sunday of February 2026 a holiday.
    WorkSchedule sundays = fiveDays(8);
    sundays.rabDnNed = 0x40;
    for (int i = 0; i < 4; ++i) base.firm.fete[std::size_t(i)] = holiday(1 + 7 * i, 2);
    n = norm(doc, sundays, 15);
    EXPECT_EQ(n.result, NormNoWorkingTime);
    EXPECT_EQ(n.days, 0);
    EXPECT_EQ(n.minutes, 0);
    n = norm(doc, sundays, 15, 1, 0, true);
    EXPECT_EQ(n.result, 0);
    EXPECT_EQ(n.days, 0);
}

TEST(CalcScheduleNorm, StoredRowsManualTotalsAndScratchRows)
{
    PayrollDoc doc;
    CInfoBase& base = doc.infoBase;
    base.config.tekMes = std::uint16_t(MonthKey(2024, 9).value());
    WorkSchedule s = fiveDays(8);
    s.months[15].rDn = 19;
    s.months[15].rMin = 9000;
    // Totals without day values are recomputed under automatic totals...
    EXPECT_EQ(norm(doc, s, 15).days, 21);
    // ...and kept as typed under manual totals.
    WorkSchedule m = fiveDays(8);
    m.ruchn = 1;
    m.months[15].rDn = 19;
    m.months[15].rMin = 9000;
    Norm n = norm(doc, m, 15);
    EXPECT_EQ(n.days, 19);
    EXPECT_EQ(n.minutes, 9000);

    // A negative index works on a scratch row: September 2023 here, nothing kept.
    WorkSchedule t = fiveDays(8);
    const WorkSchedule before = t;
    n = norm(doc, t, -13); // 28 months before September 2024
    EXPECT_EQ(n.result, 0);
    EXPECT_EQ(n.days, 22); // May 2022
    EXPECT_EQ(t, before);
    n = norm(doc, t, 40); // past the stored rows: a scratch row too, no write past the table
    EXPECT_EQ(n.result, 0);
    EXPECT_EQ(t, before);

    // A run keeps the scratch rows of the base's schedules by the schedule's
    // number and the index, made once: the same norms, the schedule
    // untouched, and another schedule's row apart.
    ScheduleMonthsRun run;
    WorkSchedule& first = base.scheduleAt(1);
    first = t;
    n = norm(doc, first, -13, 1, 0, false, &run);
    EXPECT_EQ(n.days, 22); // May 2022 again
    EXPECT_EQ(n.minutes, 22 * 8 * 60);
    EXPECT_EQ(first, before);
    ASSERT_EQ(run.made.size(), 1u);
    EXPECT_EQ(run.made.begin()->first, std::make_pair(1, -13));
    EXPECT_EQ(run.made.begin()->second.rDn, 22);
    n = norm(doc, first, -13, 1, 10, true, &run); // May 2-6, 9 and 10 from the kept row (no firm holidays)
    EXPECT_EQ(n.days, 7);
    WorkSchedule& six = base.scheduleAt(2);
    six = fiveDays(6);
    n = norm(doc, six, -13, 1, 0, false, &run);
    EXPECT_EQ(n.minutes, 22 * 6 * 60);
    EXPECT_EQ(run.made.size(), 2u);
    EXPECT_EQ(run.made.rbegin()->first, std::make_pair(2, -13));
    n = norm(doc, first, -13, 1, 0, false, &run);
    EXPECT_EQ(n.minutes, 22 * 8 * 60);
    n = norm(doc, first, 5, 1, 0, false, &run); // a stored row is the schedule's own
    EXPECT_EQ(run.made.size(), 2u);
    // A copy of a schedule keeps nothing in the run, though it has another
    // day length than the kept row of the schedule it was copied from.
    WorkSchedule copy = first;
    copy.rdHr = 7;
    n = norm(doc, copy, -13, 1, 0, false, &run);
    EXPECT_EQ(n.minutes, 22 * 7 * 60);
    EXPECT_EQ(run.made.size(), 2u);
    EXPECT_EQ(norm(doc, first, -13, 1, 0, false, &run).minutes, 22 * 8 * 60);
}

TEST(CountDayBits, ReadsTheRecordsTimeSheet)
{
    PayrollDoc doc;
    CInfoBase& base = doc.infoBase;
    base.AllocateTables(3);
    base.tabelOf(2).tabel12 = 0b0000'0000'0000'0110; // days 1, 2
    base.tabelOf(2).tabel22 = 0b1000'0000'0000'0001; // days 16, 31
    EXPECT_EQ(CountDayBits(31, 1, doc, 2), 4);
    EXPECT_EQ(CountDayBits(40, 0, doc, 2), 4);
    EXPECT_EQ(CountDayBits(16, 2, doc, 2), 2);
    EXPECT_EQ(CountDayBits(31, 1, doc, 1), 0);
    EXPECT_EQ(CountDayBits(31, 1, doc, 4), 0); // outside the table
}

TEST(CompactWariaEntries, KeepsCodedEntriesWithAMonthInOrder)
{
    PayrollDoc doc;
    CInfoBase& base = doc.infoBase;
    CompactWariaEntries(doc);
    EXPECT_EQ(base.current.warKv, 0);
    EXPECT_EQ(base.current.waria.size(), 1200u);
    for (const auto& e : base.current.waria) EXPECT_EQ(e, WariaEntry{});

    auto& w = base.current.waria;
    w[0].kod = 1;
    w[0].mes = 3;
    w[0].god = 2024;
    w[0].sum = 100;
    w[1].kod = 0;
    w[1].mes = 3;
    w[1].god = 2024;
    w[1].sum = 200; // no code
    w[2].kod = 5;
    w[2].mes = 0;
    w[2].god = 2024;
    w[2].sum = 300; // no month
    w[7].kod = 9;
    w[7].mes = 12;
    w[7].god = 2023;
    w[7].sum = 400;
    base.current.warKv = 8;
    CompactWariaEntries(doc);
    EXPECT_EQ(base.current.warKv, 2);
    EXPECT_EQ(w[0].sum, 100);
    EXPECT_EQ(w[1].kod, 9);
    EXPECT_EQ(w[1].sum, 400);
    EXPECT_EQ(w[2], WariaEntry{});
    EXPECT_EQ(w[7], WariaEntry{});
}

TEST(FindPayKind, EmptyTableBadCodesAndMisses)
{
    PayrollDoc doc;
    CInfoBase& base = doc.infoBase;
    EXPECT_EQ(FindPayKind(doc, 0), kPayKindTableEmpty);
    EXPECT_EQ(FindPayKind(doc, 902), kPayKindTableEmpty);
    for (int code : {1, 5, 71, 600, 700, 902, 995}) {
        PayKind k;
        k.kod = std::uint16_t(code);
        base.addPayKind(k);
    }
    // Found through the book's index, then by the search when a code was
    // changed in place (600 made 650: the book's order holds).
    for (const bool codeChanged : {false, true}) {
        SCOPED_TRACE(codeChanged);
        if (codeChanged)
            base.payKindAt(4).kod = 650;
        EXPECT_EQ(FindPayKind(doc, 0), -1);
        EXPECT_EQ(FindPayKind(doc, -1), -1);
        EXPECT_EQ(FindPayKind(doc, 1), 0);
        EXPECT_EQ(FindPayKind(doc, 995), 6);
        EXPECT_EQ(FindPayKind(doc, codeChanged ? 650 : 600), 3);
        EXPECT_EQ(FindPayKind(doc, codeChanged ? 600 : 650), -1);
        EXPECT_EQ(FindPayKind(doc, 4), -1);
        EXPECT_EQ(FindPayKind(doc, 999), -1);
        EXPECT_EQ(FindPayKind(doc, 902 + 65536), -1); // codes are 16-bit
        for (int code = 1; code < 1000; ++code) {
            const int i = FindPayKind(doc, code);
            if (i >= 0) {
                EXPECT_EQ(base.payKindAt(infobase::NumberOfPlace(i)).kod, code);
            }
        }
    }
    // The book changed as a whole is indexed again: 50 put in before 71, 995
    // taken out.
    PayKind fifty;
    fifty.kod = 50;
    base.addPayKind(fifty);
    base.erasePayKind(int(base.payKinds().size()));
    EXPECT_EQ(FindPayKind(doc, 50), 2);
    EXPECT_EQ(FindPayKind(doc, 71), 3);
    EXPECT_EQ(FindPayKind(doc, 650), 4);
    EXPECT_EQ(FindPayKind(doc, 902), 6);
    EXPECT_EQ(FindPayKind(doc, 995), -1);
}

TEST(RoundByPayKind, KindFieldsAndBaseSettings)
{
    PayrollDoc doc;
    CInfoBase& base = doc.infoBase;
    base.config.okrugWord = 3; // okrugRas 3: whole roubles, halves up
    PayKind a, z, w;
    a.kod = 10;
    a.okrug = 0;
    w.kod = 20;
    w.okrug = 1;
    z.kod = 30;
    z.okrug = 7;
    base.setPayKinds({a, w, z});
    EXPECT_EQ(RoundByPayKind(4950, 10, doc), 5000);
    EXPECT_EQ(RoundByPayKind(4949, 10, doc), 4900);
    EXPECT_EQ(RoundByPayKind(-4950, 10, doc), -4900);
    EXPECT_EQ(RoundByPayKind(4950.5, 20, doc), 4951);
    EXPECT_EQ(RoundByPayKind(-4950.5, 20, doc), -4950);
    EXPECT_EQ(RoundByPayKind(4950, 30, doc), 0);
    EXPECT_EQ(RoundByPayKind(-4950, 30, doc), 0);
    EXPECT_EQ(RoundByPayKind(4950, 902, doc), 5000); // unknown kind: okrugRas

    base.config.okrugVypWord = std::uint16_t(0x8000 | 2); // bit 15 belongs to another setting
    EXPECT_EQ(RoundPayout(12399.5, doc), 12400);
    EXPECT_EQ(RoundPayout(-12345, doc), -12300);
    base.config.okrugVypWord = 0;
    EXPECT_EQ(RoundPayout(12399.5, doc), 12400);
}
