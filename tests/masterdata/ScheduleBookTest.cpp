// The work-schedule book without its screen: the month of each of the 22
// calendar rows with its caption and placement, automatic totals that follow
// an edited day, manual totals that stay as typed, the limits of the typed
// times, both recalculations restoring the default calendar, and the
// definition's fields read back as they were shown.
#include "masterdata/ScheduleBook.h"

#include "payroll/CalendarMath.h"
#include "shell/ui/MonthCalendarLayout.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::masterdata;

namespace {

// A document whose reporting month is April 2011, schedule 1 working Monday
// to Friday 8 hours a day with automatic totals.
struct ScheduleWorld {
    PayrollDoc doc;
    ScheduleWorld()
    {
        doc.infoBase.config.tekMes = std::uint16_t(MonthKey(2011, 4).value());
        WorkSchedule& s = schedule();
        s.rabDnNed = 0x1F;
        s.rdHr = 8;
    }
    WorkSchedule& schedule() { return doc.infoBase.scheduleAt(1); }
    ScheduleMonth& row(int k) { return schedule().months[std::size_t(k)]; }
};

TEST(ScheduleBook, TwentyTwoMonthsAroundTheReportingMonth)
{
    CInfoBase base;
    base.config.tekMes = std::uint16_t(MonthKey(2011, 4).value());
    EXPECT_EQ(ScheduleRowMonthKey(base, 15), MonthKey(2011, 4).value());
    EXPECT_EQ(ScheduleRowMonthKey(base, 0), MonthKey(2010, 1).value());
    EXPECT_EQ(ScheduleRowMonthKey(base, 14), MonthKey(2011, 3).value());
    EXPECT_EQ(ScheduleRowMonthKey(base, 21), MonthKey(2011, 10).value());
    EXPECT_EQ(ScheduleMonthCaption(MonthKey(2011, 4).value()), QStringLiteral(" Апрель     2011 г. "));
    EXPECT_EQ(ScheduleMonthCaption(MonthKey(2010, 1).value()), QStringLiteral(" Январь     2010 г. "));
    base.config.tekMes = std::uint16_t(MonthKey(2026, 12).value());
    EXPECT_EQ(ScheduleRowMonthKey(base, 21), MonthKey(2027, 6).value());
}

TEST(ScheduleBook, CalendarPlacesTheFirstUnderItsWeekday)
{
    // May 2011 begins on a Sunday: the 1st in the seventh column, the 31st in the sixth row.
    const MonthCalendarLayout may = LayOutMonth(2011, 5);
    EXPECT_EQ(may.firstCell, 6);
    EXPECT_EQ(may.length, 31);
    EXPECT_EQ(may.DayAt(5), 0);
    EXPECT_EQ(may.DayAt(6), 1);
    EXPECT_EQ(may.CellOf(31), 36);
    EXPECT_EQ(may.CellOf(31) / MonthCalendarLayout::Columns, 5);
    EXPECT_EQ(may.DayAt(37), 0);
    EXPECT_EQ(may.CellOf(32), -1);
    // August 2011 begins on a Monday; February 2012 has 29 days.
    EXPECT_EQ(LayOutMonth(2011, 8).firstCell, 0);
    EXPECT_EQ(LayOutMonth(2012, 2).length, 29);
    EXPECT_EQ(LayOutMonth(2011, 2).length, 28);
    EXPECT_EQ(WeekdayHeadings().first(), QStringLiteral("Понедельник"));
    EXPECT_EQ(WeekdayHeadings().last(), QStringLiteral("Воскресенье"));
}

TEST(ScheduleBook, AutomaticTotalsFollowAnEditedDay)
{
    ScheduleWorld w;
    // April 2011: 21 weekdays of 8 hours.
    ScheduleTotals totals = RefreshScheduleMonth(w.doc, 1, 15);
    EXPECT_FALSE(totals.manual);
    EXPECT_EQ(totals.days, 21);
    EXPECT_EQ(totals.minutes, 21 * 480);
    EXPECT_EQ(w.row(15).rDn, 21);
    EXPECT_EQ(w.row(15).d[0], 480); // Friday the 1st
    EXPECT_EQ(w.row(15).d[1], 0); // Saturday
    ScheduleMonthTexts texts = FillScheduleMonthTexts(w.row(15), totals);
    EXPECT_EQ(texts.days[0], "8,0");
    EXPECT_EQ(texts.days[1], "");
    EXPECT_EQ(texts.workDays, "21");
    EXPECT_EQ(texts.workHours, "168,0");

    // The 4th typed as 0, the 5th as 6 hours 30 minutes.
    EXPECT_EQ(StoreScheduleDay(w.row(15), 4, u"0"), 1);
    EXPECT_EQ(StoreScheduleDay(w.row(15), 5, u"6,30"), 1);
    totals = RefreshScheduleMonth(w.doc, 1, 15);
    EXPECT_EQ(totals.days, 20);
    EXPECT_EQ(totals.minutes, 19 * 480 + 390);
    EXPECT_EQ(w.row(15).rMin, 19 * 480 + 390);
    // The same day typed again is no change.
    EXPECT_EQ(StoreScheduleDay(w.row(15), 5, u"6,30"), 0);

    // A schedule without a day length anywhere has no norm: 0 and 0.
    w.schedule().rdHr = 0;
    w.row(16) = ScheduleMonth{};
    totals = RefreshScheduleMonth(w.doc, 1, 16);
    EXPECT_EQ(totals.days, 0);
    EXPECT_EQ(totals.minutes, 0);
}

TEST(ScheduleBook, ManualTotalsStayAsTyped)
{
    ScheduleWorld w;
    w.schedule().ruchn = 1;
    ScheduleTotals totals = RefreshScheduleMonth(w.doc, 1, 15);
    EXPECT_TRUE(totals.manual);
    EXPECT_EQ(totals.days, 21); // the empty month was filled once
    EXPECT_EQ(StoreScheduleTotals(w.row(15), u"19", u"150,30"), 1);
    StoreScheduleDay(w.row(15), 4, u"0");
    totals = RefreshScheduleMonth(w.doc, 1, 15);
    EXPECT_EQ(totals.days, 19);
    EXPECT_EQ(totals.minutes, 150 * 60 + 30);
    EXPECT_EQ(w.row(15).d[3], 0);

    // 32 days and more than 700 hours are refused and keep the totals; so
    // does a text that is no number, never read as 0.
    EXPECT_EQ(StoreScheduleTotals(w.row(15), u"32", u"150,30"), 0);
    EXPECT_EQ(StoreScheduleTotals(w.row(15), u"1x", u"150,3x"), 0);
    EXPECT_EQ(w.row(15).rDn, 19);
    EXPECT_EQ(StoreScheduleTotals(w.row(15), u"19", u"700,1"), 0);
    EXPECT_EQ(w.row(15).rMin, 150 * 60 + 30);
    EXPECT_EQ(StoreScheduleTotals(w.row(15), u"19", u"700,0"), 1);
    EXPECT_EQ(w.row(15).rMin, 42000);
}

TEST(ScheduleBook, TypedTimesKeepTheirLimits)
{
    ScheduleMonth row;
    ScheduleMonthTexts texts;
    texts.evening = QStringLiteral("400,0");
    texts.night = QStringLiteral("401,0");
    texts.days[0] = QStringLiteral("24,0");
    texts.days[1] = QStringLiteral("24,1");
    texts.days[2] = QStringLiteral("7,45");
    texts.days[30] = QStringLiteral("8,0"); // past the end of a 30-day month
    row.nMin = 90;
    row.d[1] = 300;
    EXPECT_EQ(StoreScheduleTimes(row, texts, 30), 1);
    EXPECT_EQ(row.vMin, 24000);
    EXPECT_EQ(row.nMin, 90);
    EXPECT_EQ(row.d[0], 1440);
    EXPECT_EQ(row.d[1], 300);
    EXPECT_EQ(row.d[2], 465);
    EXPECT_EQ(row.d[30], 0);
}

TEST(ScheduleBook, RecalculationsRestoreTheDefaultCalendar)
{
    ScheduleWorld w;
    RefreshScheduleMonth(w.doc, 1, 15);
    RefreshScheduleMonth(w.doc, 1, 14);
    StoreScheduleDay(w.row(15), 1, u"4,0");
    StoreScheduleDay(w.row(14), 1, u"4,0");
    ClearScheduleMonth(w.doc.infoBase, 1, 15);
    EXPECT_EQ(w.row(15), ScheduleMonth{});
    EXPECT_EQ(w.row(14).d[0], 240);
    EXPECT_EQ(RefreshScheduleMonth(w.doc, 1, 15).minutes, 21 * 480);
    EXPECT_EQ(w.row(15).d[0], 480);

    ClearScheduleMonths(w.doc.infoBase, 1);
    for (int k = 0; k < kScheduleMonthRows; ++k) EXPECT_EQ(w.row(k), ScheduleMonth{}) << k;
    RefreshScheduleMonth(w.doc, 1, 14);
    EXPECT_EQ(w.row(14).d[0], 480); // 1 March 2011 was a Tuesday
}

TEST(ScheduleBook, DefinitionFieldsRoundTrip)
{
    WorkSchedule s;
    s.rabDnNed = 0x1F;
    s.rdHr = 11;
    s.rdMin = 30;
    s.mesFond = 1675;
    s.pRab = 2;
    s.pVyh = 2;
    s.begD = 1;
    s.begM = 1;
    s.begG = 10;
    s.ruchn = 1;
    ScheduleDefinitionTexts texts = FillScheduleDefinition(s);
    EXPECT_EQ(texts.dayLength, "11,30");
    EXPECT_EQ(texts.monthFund, "167,5");
    EXPECT_EQ(texts.workDays, "2");
    EXPECT_EQ(texts.daysOff, "2");
    EXPECT_EQ(texts.startDate, PackedDate::make(1, 1, 2010).value);
    EXPECT_TRUE(texts.weekDays[0] && texts.weekDays[4] && !texts.weekDays[5]);
    EXPECT_FALSE(texts.automatic);
    WorkSchedule again = s;
    EXPECT_EQ(ReadScheduleDefinition(texts, again), 0);
    EXPECT_EQ(again, s);

    // New values typed in: 8 hours, a fund of 170.3 hours, a 4/3 cycle from
    // 3 March 2011, Monday to Saturday, automatic totals.
    texts.dayLength = QStringLiteral("8,0");
    texts.monthFund = QStringLiteral("170,3");
    texts.workDays = QStringLiteral("4");
    texts.daysOff = QStringLiteral("3");
    texts.startDate = PackedDate::make(3, 3, 2011).value;
    texts.weekDays[5] = true;
    texts.automatic = true;
    EXPECT_EQ(ReadScheduleDefinition(texts, again), 1);
    EXPECT_EQ(again.rdHr, 8);
    EXPECT_EQ(again.rdMin, 0);
    EXPECT_EQ(again.mesFond, 1703);
    EXPECT_EQ(again.pRab, 4);
    EXPECT_EQ(again.pVyh, 3);
    EXPECT_EQ(again.begD, 3);
    EXPECT_EQ(again.begM, 3);
    EXPECT_EQ(again.begG, 11);
    EXPECT_EQ(again.rabDnNed, 0x3F);
    EXPECT_EQ(again.ruchn, 0);

    // What the fields refuse keeps the definition: a day over 24 hours, a
    // fund over what 12 bits of tenths hold or with hundredths, 20 working
    // days of a rotation (once its low four bits were kept).
    texts.dayLength = QStringLiteral("25,0");
    texts.monthFund = QStringLiteral("409,6");
    texts.workDays = QStringLiteral("20");
    texts.daysOff = QStringLiteral("3x");
    ReadScheduleDefinition(texts, again);
    texts.monthFund = QStringLiteral("170,25");
    ReadScheduleDefinition(texts, again);
    EXPECT_EQ(again.rdHr, 8);
    EXPECT_EQ(again.rdMin, 0);
    EXPECT_EQ(again.mesFond, 1703);
    EXPECT_EQ(again.pRab, 4);
    EXPECT_EQ(again.pVyh, 3);
    // No date clears the cycle start.
    texts.startDate = 0;
    ReadScheduleDefinition(texts, again);
    EXPECT_EQ(again.begD + again.begM + again.begG, 0);
    EXPECT_EQ(FillScheduleDefinition(WorkSchedule{}).dayLength, "");
    EXPECT_TRUE(FillScheduleDefinition(WorkSchedule{}).automatic);
}

} // namespace
