// The main time sheet's fields as the form shows and reads them, the group
// append of the filled fields, the worked-days bitmap and the calendar
// placement of the reporting month.
#include "entries/TabelEntry.h"
#include "shell/ui/MonthCalendarLayout.h"

#include <gtest/gtest.h>
#include <vector>

#include <algorithm>

namespace en = kalvor::entries;
namespace ib = kalvor::infobase;

namespace {

const en::TabelField& FieldOf(int id)
{
    const en::TabelField* field = en::FindTabelField(id);
    EXPECT_NE(field, nullptr);
    return *field;
}

QString Shown(const ib::TabelRecord& record, int id) { return en::FormatTabelField(record, FieldOf(id)); }

// Reads one text into a copy of the record; returns the copy.
ib::TabelRecord Typed(ib::TabelRecord record, int id, const QString& text, int* changed = nullptr)
{
    const int c = en::ReadTabelField(text, record, FieldOf(id));
    if (changed)
        *changed = c;
    return record;
}

} // namespace

TEST(TabelFields, EveryFieldShowsWhatItHoldsAndReadsBack)
{
    ib::TabelRecord record;
    record.rabDn = 21;
    record.rabHr = 168 * 60;
    record.vHr = 600 * 60 + 30; // beyond 511 hours: the field has no limit
    record.nHr = 16 * 60 + 5;
    record.prDn = 2;
    record.prPlanDn = 1;
    record.prHr = 16 * 60;
    record.prPlanHr = 8 * 60;
    record.vyhDn = 3;
    record.vyhHr = 24 * 60;
    record.kvalDn = 5;
    record.kvalHr = 40 * 60;
    record.prostDn = 2;
    record.prostHr = 13 * 60 + 20;
    record.uchDn = 4;
    record.uchHr = 7 * 60;
    record.drRabDn = 6;
    record.sverhHr = 12 * 60;
    record.komDn = 9;
    record.sverhDvaHr = 4 * 60;
    record.vyhPosobDn = 10;
    record.setKoeffHundredths(125);
    record.bezsodDn = 3;
    record.bezsodHr = 24 * 60;
    record.bezsodDnVyh = 1;
    record.bezsodHrVyh = 8 * 60;
    record.dbf = 1;
    record.tabel12 = 0x1234;

    const en::TabelTexts form = en::ShowTabelRecord(record);
    EXPECT_EQ(Shown(record, 1155), QStringLiteral("21"));
    EXPECT_EQ(Shown(record, 1078), QStringLiteral("168,0"));
    EXPECT_EQ(Shown(record, 1079), QStringLiteral("600,30"));
    EXPECT_EQ(Shown(record, 1080), QStringLiteral("16,5"));
    EXPECT_EQ(Shown(record, 1090), QStringLiteral("13,20"));
    EXPECT_EQ(Shown(record, 1098), QStringLiteral("1.25"));
    EXPECT_TRUE(form.dbf);

    // Read back into an empty record, every field comes back; the worked days,
    // which the form does not show, stay as they are.
    ib::TabelRecord read;
    read.tabel12 = 0x0F0E;
    EXPECT_EQ(en::ReadTabelRecord(form, read), 1);
    ib::TabelRecord expected = record;
    expected.tabel12 = 0x0F0E;
    EXPECT_EQ(read, expected);
    // Nothing differs the second time: nothing changed.
    EXPECT_EQ(en::ReadTabelRecord(form, read), 0);

    // An all-zero record is an empty form.
    for (const QString& text : en::ShowTabelRecord(ib::TabelRecord{}).texts) EXPECT_TRUE(text.isEmpty());
}

TEST(TabelFields, DayCountsOutsideTheirRangeReadZero)
{
    ib::TabelRecord record;
    EXPECT_EQ(Typed(record, 1081, QStringLiteral("4")).prDn, 4);
    EXPECT_EQ(Typed(record, 1081, QStringLiteral("5")).prDn, 0); // holiday days 0-4
    EXPECT_EQ(Typed(record, 1085, QStringLiteral("15")).vyhDn, 15);
    EXPECT_EQ(Typed(record, 1085, QStringLiteral("16")).vyhDn, 0); // days off 0-15
    EXPECT_EQ(Typed(record, 1155, QStringLiteral("31")).rabDn, 31);
    EXPECT_EQ(Typed(record, 1155, QStringLiteral("32")).rabDn, 0);
    EXPECT_EQ(Typed(record, 1155, QStringLiteral("-1")).rabDn, 0);
    EXPECT_EQ(Typed(record, 1095, QStringLiteral("abc")).komDn, 0);

    // Clearing a field stores 0 and counts as a change only when it was not 0.
    record.komDn = 7;
    int changed = 0;
    EXPECT_EQ(Typed(record, 1095, QString(), &changed).komDn, 0);
    EXPECT_EQ(changed, 1);
    Typed(ib::TabelRecord{}, 1095, QString(), &changed);
    EXPECT_EQ(changed, 0);
}

TEST(TabelFields, LimitedHoursRefuseMoreThan511AndUnlimitedTakeThem)
{
    ib::TabelRecord record;
    record.rabHr = 100 * 60;
    EXPECT_EQ(Typed(record, 1078, QStringLiteral("511,0")).rabHr, 511 * 60);
    EXPECT_EQ(Typed(record, 1078, QStringLiteral("511,1")).rabHr, 100 * 60); // refused, kept
    EXPECT_EQ(Typed(record, 1078, QStringLiteral("512")).rabHr, 100 * 60);
    EXPECT_EQ(Typed(record, 1080, QStringLiteral("600")).nHr, 0); // night hours limited too
    EXPECT_EQ(Typed(record, 1079, QStringLiteral("600,15")).vHr, 600 * 60 + 15);
    EXPECT_EQ(Typed(record, 1083, QStringLiteral("8,75")).prHr, 0); // no minute 75: refused, kept
}

TEST(TabelFields, CoefficientDigitsAfterThePointAreADecimalFraction)
{
    ib::TabelRecord record;
    EXPECT_EQ(Typed(record, 1098, QStringLiteral("1.5")).koeffHundredths(), 150);
    EXPECT_EQ(Typed(record, 1098, QStringLiteral("1.05")).koeffHundredths(), 105);
    EXPECT_EQ(Typed(record, 1098, QStringLiteral("1.50")).koeffHundredths(), 150);
    EXPECT_EQ(Typed(record, 1098, QStringLiteral("2")).koeffHundredths(), 200);
    // The stored form is unchanged: tenths and the hundredths digit.
    const ib::TabelRecord r = Typed(record, 1098, QStringLiteral("1.25"));
    EXPECT_EQ(r.koeff, 12);
    EXPECT_EQ(r.koeffDigit, 5);
    EXPECT_EQ(Shown(Typed(record, 1098, QStringLiteral("1.5")), 1098), QStringLiteral("1.50"));
    // A third digit is refused and the field keeps its value.
    record.setKoeffHundredths(120);
    int changed = 1;
    EXPECT_EQ(Typed(record, 1098, QStringLiteral("1.255"), &changed).koeffHundredths(), 120);
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(Typed(record, 1098, QStringLiteral("-1.5")).koeffHundredths(), 120);
    // A comma is the decimal point of a coefficient; a text that does not
    // read in full is refused.
    EXPECT_EQ(Typed(record, 1098, QStringLiteral("1,15")).koeffHundredths(), 115);
    record.setKoeffHundredths(120);
    EXPECT_EQ(Typed(record, 1098, QStringLiteral("1,2,5")).koeffHundredths(), 120);
    EXPECT_EQ(Typed(record, 1098, QStringLiteral("1.5x")).koeffHundredths(), 120);
    EXPECT_EQ(Typed(record, 1098, QStringLiteral("коэф")).koeffHundredths(), 120);
    en::TabelTexts form = en::ShowTabelRecord(record);
    QString message;
    EXPECT_EQ(en::RefusedCoefficient(form, &message), 0);
    form.texts[std::size_t(std::find_if(en::TabelFields().begin(), en::TabelFields().end(),
                                        [](const en::TabelField& f) { return f.controlId == 1098; }) -
                           en::TabelFields().begin())] = QStringLiteral("1,2,5");
    EXPECT_EQ(en::RefusedCoefficient(form, &message), 1098);
    EXPECT_EQ(message, QStringLiteral("Некорректное число в поле \"Коэффициент повышения ставок\": 1,2,5"));
    // A zero coefficient shows empty.
    EXPECT_EQ(Shown(ib::TabelRecord{}, 1098), QString());
}

TEST(TabelGroup, FilledFieldsOverwriteAndEmptyOnesStay)
{
    ib::CInfoBase base;
    base.AllocateTables(10);
    for (int i = 0; i < 4; ++i) {
        ib::EmployeeListEntry entry;
        entry.setTabN(ib::u16(100 + i));
        entry.slot = ib::u16(i + 1);
        base.list.push_back(entry);
        ib::TabelRecord& t = base.tabelOf(entry.slot);
        t.rabDn = 20;
        t.komDn = 2;
        t.nHr = 10 * 60;
    }
    base.list[0].setFlag(0, true);
    base.list[1].setFlag(1, true); // any of the three selection flags counts
    base.list[3].setFlag(2, true);

    en::TabelTexts form;
    const auto& fields = en::TabelFields();
    auto set = [&](int id, const QString& text) {
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i].controlId == id)
                form.texts[i] = text;
    };
    EXPECT_FALSE(en::AnyFieldFilled(form));
    set(1155, QStringLiteral("0")); // a typed 0 overwrites
    set(1079, QStringLiteral("12,30")); // evening hours
    set(1098, QStringLiteral("1.2"));
    EXPECT_TRUE(en::AnyFieldFilled(form));
    EXPECT_EQ(en::AppendFilledFieldsToGroup(form, base), 3);

    for (int i : {1, 2, 4}) {
        const ib::TabelRecord& t = base.tabelOf(i);
        EXPECT_EQ(t.rabDn, 0) << i;
        EXPECT_EQ(t.vHr, 12 * 60 + 30) << i;
        EXPECT_EQ(t.koeffHundredths(), 120) << i;
        EXPECT_EQ(t.komDn, 2) << i; // left empty on the form
        EXPECT_EQ(t.nHr, 10 * 60) << i;
        EXPECT_EQ(t.dbf, 0) << i; // the box was not ticked
    }
    EXPECT_EQ(base.tabelOf(3).rabDn, 20); // not marked
    EXPECT_EQ(base.tabelOf(3).vHr, 0);
}

TEST(TabelWorkedDays, EachDayIsItsOwnBit)
{
    ib::TabelRecord record;
    EXPECT_TRUE(kalvor::SetDayMark(record, 1, true));
    EXPECT_EQ(record.tabel12, 0x0002);
    EXPECT_TRUE(kalvor::SetDayMark(record, 16, true));
    EXPECT_EQ(record.tabel22, 0x0001);
    EXPECT_TRUE(kalvor::SetDayMark(record, 31, true));
    EXPECT_EQ(record.tabel22, 0x8001);
    EXPECT_TRUE(kalvor::SetDayMark(record, 15, true));
    EXPECT_EQ(record.tabel12, 0x8002);
    EXPECT_FALSE(kalvor::SetDayMark(record, 15, true)); // already set
    EXPECT_TRUE(kalvor::SetDayMark(record, 1, false));
    EXPECT_EQ(record.tabel12, 0x8000);
    EXPECT_FALSE(kalvor::DayMarked(record, 1));
    EXPECT_TRUE(kalvor::DayMarked(record, 31));
    EXPECT_FALSE(kalvor::SetDayMark(record, 0, true)); // bit 0 is no day
    EXPECT_EQ(record.tabel12, 0x8000);
}

namespace {

// The minutes of each day of a month whose 1st is a Friday on a five-day
// schedule of 8 hours: 21 working days, 1, 4-8, 11-15, 18-22 and 25-29.
std::array<ib::u16, 31> FiveDaysFromAFriday()
{
    std::array<ib::u16, 31> schedule{};
    for (int day : {1, 4, 5, 6, 7, 8, 11, 12, 13, 14, 15, 18, 19, 20, 21, 22, 25, 26, 27, 28, 29})
        schedule[std::size_t(day - 1)] = 8 * 60;
    return schedule;
}

// The days a sheet marks.
std::vector<int> Ticked(const ib::TabelRecord& r)
{
    std::vector<int> days;
    for (int day = 1; day <= 31; ++day)
        if (kalvor::DayMarked(r, day))
            days.push_back(day);
    return days;
}

} // namespace

// April 2011 (30 days, the 1st a Friday) on a five-day schedule: 21 working
// days, 1, 4-8, 11-15, 18-22 and 25-29.
TEST(TabelWorkedDays, TheCalendarFollowsTheTypedWorkingDays)
{
    const std::array<ib::u16, 31> schedule = FiveDaysFromAFriday();
    ib::TabelRecord record;
    for (int day : {1, 4, 5, 6, 7, 8}) kalvor::SetDayMark(record, day, true);
    kalvor::SetDayMark(record, 31, true); // beyond April: left alone

    record.rabDn = 4; // two days fewer: the last two go
    EXPECT_TRUE(en::FitWorkedDaysToCount(record, 30, schedule));
    EXPECT_EQ(Ticked(record), (std::vector<int>{1, 4, 5, 6, 31}));
    EXPECT_FALSE(en::FitWorkedDaysToCount(record, 30, schedule)); // already so

    record.rabDn = 6; // two more: the first working days not ticked
    EXPECT_TRUE(en::FitWorkedDaysToCount(record, 30, schedule));
    EXPECT_EQ(Ticked(record), (std::vector<int>{1, 4, 5, 6, 7, 8, 31}));

    record.rabDn = 25; // the 21 working days, then the first four days off
    EXPECT_TRUE(en::FitWorkedDaysToCount(record, 30, schedule));
    EXPECT_EQ(Ticked(record), (std::vector<int>{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                                                14, 15, 18, 19, 20, 21, 22, 25, 26, 27, 28, 29, 31}));

    record.rabDn = 0; // none
    EXPECT_TRUE(en::FitWorkedDaysToCount(record, 30, schedule));
    EXPECT_EQ(Ticked(record), (std::vector<int>{31}));
}

// April 2011, all 21 working days ticked, a sick leave on 12 and 13 April:
// the count typed down to 19 (the sick days taken off by hand) clears the
// sick days, not the month's last two, so that the calculation finds no
// absent day still ticked and pays the 19 typed; typed up again, the days
// not away come first.
TEST(TabelWorkedDays, ACountTypedDownClearsTheDaysAwayFirst)
{
    const std::array<ib::u16, 31> schedule = FiveDaysFromAFriday();
    ib::TabelRecord record;
    for (int day : {1, 4, 5, 6, 7, 8, 11, 12, 13, 14, 15, 18, 19, 20, 21, 22, 25, 26, 27, 28, 29})
        kalvor::SetDayMark(record, day, true);
    kalvor::MonthDayFlags away{};
    away[12] = away[13] = true;
    record.rabDn = 19;
    EXPECT_TRUE(en::FitWorkedDaysToCount(record, 30, schedule, 1, 31, away));
    EXPECT_EQ(Ticked(record), (std::vector<int>{1, 4, 5, 6, 7, 8, 11, 14, 15, 18, 19, 20, 21, 22, 25, 26, 27, 28, 29}));
    record.rabDn = 20; // one more: a day off not away before a sick day
    EXPECT_TRUE(en::FitWorkedDaysToCount(record, 30, schedule, 1, 31, away));
    EXPECT_EQ(Ticked(record),
              (std::vector<int>{1, 2, 4, 5, 6, 7, 8, 11, 14, 15, 18, 19, 20, 21, 22, 25, 26, 27, 28, 29}));
}

// July 2011 (31 days, the 1st a Friday) on a five-day schedule of 8 hours:
// 21 working days, 1, 4-8, 11-15, 18-22 and 25-29.
TEST(TabelWorkedDays, AHiresCalendarStartsAtHisHireAndTheCountFollowsTheCalendar)
{
    const std::array<ib::u16, 31> schedule = FiveDaysFromAFriday();
    // Hired on 15 July, 11 days typed into an empty sheet: 15, 18-22, 25-29.
    const std::vector<int> fromHire{15, 18, 19, 20, 21, 22, 25, 26, 27, 28, 29};
    ib::TabelRecord hire;
    hire.rabDn = 11;
    EXPECT_TRUE(en::FitWorkedDaysToCount(hire, 31, schedule, 15, 31));
    EXPECT_EQ(Ticked(hire), fromHire);

    // The sheet the month change made him (the whole month) cut to 11: the
    // days before his hire go first.
    ib::TabelRecord whole;
    for (int day = 1; day <= 31; ++day)
        if (schedule[std::size_t(day - 1)] != 0)
            kalvor::SetDayMark(whole, day, true);
    whole.rabDn = 11;
    EXPECT_TRUE(en::FitWorkedDaysToCount(whole, 31, schedule, 15, 31));
    EXPECT_EQ(Ticked(whole), fromHire);

    // Dismissed on 20 July, 13 days asked: his 4 working days (15, 18-20),
    // then the other days from the 15th to the 20th, then 7 days outside his
    // employment from the month's start (the run warns of such a sheet).
    ib::TabelRecord brief;
    brief.rabDn = 13;
    EXPECT_TRUE(en::FitWorkedDaysToCount(brief, 31, schedule, 15, 20));
    EXPECT_EQ(Ticked(brief), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 15, 16, 17, 18, 19, 20}));

    // Days cleared on the calendar: the count and the hours follow (9 days of
    // 8 hours); without hours kept, the hours stay untouched.
    kalvor::SetDayMark(hire, 28, false);
    kalvor::SetDayMark(hire, 29, false);
    EXPECT_TRUE(en::FollowWorkedDays(hire, 31, schedule, true));
    EXPECT_EQ(hire.rabDn, 9);
    EXPECT_EQ(hire.rabHr, 9 * 8 * 60);
    EXPECT_FALSE(en::FollowWorkedDays(hire, 31, schedule, true)); // already so
    // An empty sheet whose working days from 14 February 2011 are ticked on
    // the calendar: 14-18, 21, 22 (the eve of the 23rd's holiday, 7 hours),
    // 24, 25, 28: 10 days, 9 x 8 + 7 = 79 hours.
    std::array<ib::u16, 31> feb{};
    for (int day : {1, 2, 3, 4, 7, 8, 9, 10, 11, 14, 15, 16, 17, 18, 21, 22, 24, 25, 28})
        feb[std::size_t(day - 1)] = day == 22 ? 7 * 60 : 8 * 60;
    ib::TabelRecord february;
    for (int day : {14, 15, 16, 17, 18, 21, 22, 24, 25, 28}) kalvor::SetDayMark(february, day, true);
    EXPECT_TRUE(en::FollowWorkedDays(february, 28, feb, true));
    EXPECT_EQ(february.rabDn, 10);
    EXPECT_EQ(february.rabHr, 79 * 60);
    // Paid without hours: the days alone.
    february.rabHr = 0;
    february.rabDn = 0;
    EXPECT_TRUE(en::FollowWorkedDays(february, 28, feb, false));
    EXPECT_EQ(february.rabDn, 10);
    EXPECT_EQ(february.rabHr, 0);
}

TEST(TabelCalendar, MonthsStartingOnEveryWeekdayAndALeapFebruary)
{
    // First cell of the 1st (Monday 0) for months beginning on each weekday.
    struct Case {
        int year, month, firstCell, length;
    };
    const Case cases[] = {
        {2011, 8, 0, 31}, // Monday
        {2011, 3, 1, 31}, // Tuesday
        {2011, 6, 2, 30}, // Wednesday
        {2011, 9, 3, 30}, // Thursday
        {2011, 4, 4, 30}, // Friday: the demo firm's April
        {2011, 1, 5, 31}, // Saturday
        {2011, 5, 6, 31}, // Sunday: six leading cells empty
        {2012, 2, 2, 29}, // leap February
        {2011, 2, 1, 28}, {2100, 2, 0, 29}, // every year divisible by 4 has 29 days
    };
    for (const Case& c : cases) {
        const MonthCalendarLayout layout = LayOutMonth(c.year, c.month);
        EXPECT_EQ(layout.firstCell, c.firstCell) << c.year << "-" << c.month;
        EXPECT_EQ(layout.length, c.length) << c.year << "-" << c.month;
        EXPECT_EQ(layout.DayAt(c.firstCell), 1);
        EXPECT_EQ(layout.CellOf(c.length), c.firstCell + c.length - 1);
        EXPECT_EQ(layout.DayAt(c.firstCell + c.length), 0);
    }
}
