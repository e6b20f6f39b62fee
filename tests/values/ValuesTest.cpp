#include "values/Values.h"
#include "values/CScan.h"
#include "values/Clock.h"
#include "values/ImportCheck.h"
#include "values/InsuranceNumber.h"
#include "values/TypedFigure.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <utility>

using namespace kalvor;

// ------------------------------------------------------------ C-locale reading

TEST(CScan, ReadsLikeScanfInTheCLocale)
{
    int a = 0, b = 0;
    CScan s(u"  7,75 rest");
    ASSERT_TRUE(s.readInt(a));
    ASSERT_TRUE(s.literal(','));
    ASSERT_TRUE(s.readInt(b));
    EXPECT_EQ(a, 7);
    EXPECT_EQ(b, 75);
    EXPECT_FALSE(s.readInt(a)); // "rest" is no number

    CScan partial(u"7");
    ASSERT_TRUE(partial.readInt(a));
    EXPECT_FALSE(partial.literal(','));

    CScan spaced(u"12 .5"); // the literal must follow at once
    ASSERT_TRUE(spaced.readInt(a));
    EXPECT_FALSE(spaced.literal('.'));

    const auto readDouble = [](const char16_t* text, double& value) { return CScan(QStringView(text)).readDouble(value); };
    double d = 0;
    EXPECT_TRUE(readDouble(u"-150.5", d));
    EXPECT_EQ(d, -150.5);
    EXPECT_TRUE(readDouble(u"1,9996", d)); // a comma ends the number
    EXPECT_EQ(d, 1.0);
    EXPECT_TRUE(readDouble(u".5", d));
    EXPECT_EQ(d, 0.5);
    EXPECT_TRUE(readDouble(u"2e3x", d));
    EXPECT_EQ(d, 2000.0);
    EXPECT_TRUE(readDouble(u"2ex", d)); // "e" without digits is not an exponent
    EXPECT_EQ(d, 2.0);
    EXPECT_TRUE(readDouble(u"1e999", d));
    EXPECT_TRUE(std::isinf(d));
    EXPECT_FALSE(readDouble(u"inf", d));
    EXPECT_FALSE(readDouble(u"руб", d));
    EXPECT_FALSE(readDouble(u"", d));
    EXPECT_FALSE(ScanInt(u"99999999999", a)); // does not fit 32 bits
    EXPECT_EQ(AtoiC(" 123", 4), 123);
    EXPECT_EQ(AtoiC("12a4", 4), 12);
    EXPECT_EQ(AtoiC("    ", 4), 0);
    EXPECT_EQ(AtofC(" 1234.50", 8), 1234.5);
}

// The numbers of a fixed-width record's fields: each read within its width,
// nothing past it read and the record left as it was.
TEST(CScan, FieldsReadBackWithoutTouchingTheirNeighbours)
{
    const char record[] = "0042991 12.50x";
    EXPECT_EQ(AtoiC(record, 4), 42);
    EXPECT_EQ(AtoiC(record + 4, 3), 991);
    EXPECT_EQ(AtoiC(record + 7, 3), 12);
    EXPECT_EQ(AtoiC("  -7 ", 5), -7);
    EXPECT_EQ(AtoiC("abc", 3), 0);
    EXPECT_DOUBLE_EQ(AtofC(record + 7, 6), 12.5);
    EXPECT_DOUBLE_EQ(AtofC(record + 7, 4), 12.0);
    EXPECT_DOUBLE_EQ(AtofC(" -0.25", 6), -0.25);
    EXPECT_EQ(std::string(record), "0042991 12.50x");
}

// ------------------------------------------------------------ dates

TEST(PackedDate, BitLayoutAndCenturyWindows)
{
    ScopedToday today(QDate(2026, 3, 15));
    const PackedDate d = PackedDate::make(31, 12, 2011);
    EXPECT_EQ(d.value, 31 | (12 << 5) | (11 << 9));
    EXPECT_EQ(d.day(), 31);
    EXPECT_EQ(d.month(), 12);
    EXPECT_EQ(d.yearField(), 11);
    EXPECT_EQ(d.fullYear(), 2011);
    EXPECT_EQ(PackedDate::make(1, 1, 1946).fullYear(), 2046); // up to 26 + 20: 20yy
    EXPECT_EQ(PackedDate::make(1, 1, 1947).fullYear(), 1947);
    // Years 2000-2004 stored as year - 1900 by an import read as such.
    EXPECT_EQ(PackedDate(static_cast<std::uint16_t>(1 | (1 << 5) | (103 << 9))).fullYear(), 2003);
    EXPECT_EQ(PackedDate::make(29, 2, 2024).toQDate(), QDate(2024, 2, 29));
    EXPECT_EQ(PackedDate::fromQDate(QDate(2009, 3, 5)), PackedDate::make(5, 3, 9));
    EXPECT_TRUE(PackedDate::make(0, 3, 2009).isNull());
    EXPECT_TRUE(PackedDate::make(1, 13, 2009).isNull());

    // The window moves with the clock.
    Clock::setToday(QDate(2040, 1, 1));
    EXPECT_EQ(PackedDate::make(1, 1, 2060).fullYear(), 2060);
    EXPECT_EQ(PackedDate::make(1, 1, 2061).fullYear(), 1961);
}

TEST(PackedDate, OneSlidingWindowAroundTheReferenceYear)
{
    ScopedToday today(QDate(2026, 12, 7));
    // Without an open base the clock's year is the reference: 00-46 are this
    // century, so dates of this century and end dates of the next twenty years
    // read right; 47-99 are the last century's (birth dates).
    EXPECT_EQ(Clock::referenceYear(), 2026);
    EXPECT_EQ(WidenTwoDigitYear(0), 2000);
    EXPECT_EQ(WidenTwoDigitYear(27), 2027); // "1.1.27" was 1927
    EXPECT_EQ(WidenTwoDigitYear(30), 2030); // "10.01.2030" kept as 30 was 1930
    EXPECT_EQ(WidenTwoDigitYear(46), 2046);
    EXPECT_EQ(WidenTwoDigitYear(47), 1947);
    EXPECT_EQ(WidenTwoDigitYear(99), 1999);
    EXPECT_EQ(ReadDateDMY(u"10.01.2030").date.toQDate(), QDate(2030, 1, 10));
    EXPECT_EQ(ReadDateDMY(u"1.1.27").date.toQDate(), QDate(2027, 1, 1));
    // A writ or permit running to the end of 2040 is still running in 2026.
    const PackedDate end = ReadDateDMY(u"31.12.2040").date;
    EXPECT_GT(MonthKey(end.fullYear(), end.month()), MonthKey(2026, 12));

    // An open base's reporting year is the reference, not the clock.
    const int base2011 = 0, base1998 = 0;
    Clock::setReferenceYear(&base2011, 2011);
    EXPECT_EQ(WidenTwoDigitYear(31), 2031);
    EXPECT_EQ(WidenTwoDigitYear(32), 1932);
    Clock::setReferenceYear(&base1998, 1998); // an old base: 98 is its own year, 05 a later one
    EXPECT_EQ(WidenTwoDigitYear(98), 1998);
    EXPECT_EQ(WidenTwoDigitYear(18), 2018);
    EXPECT_EQ(WidenTwoDigitYear(19), 1919);
    // Closing that base gives the first one its year back.
    Clock::setReferenceYear(&base1998, 0);
    EXPECT_EQ(WidenTwoDigitYear(32), 1932);
    Clock::setReferenceYear(&base2011, 0);
    EXPECT_EQ(Clock::referenceYear(), 2026);
    // A year stored as year - 1900 by an import.
    EXPECT_EQ(WidenTwoDigitYear(103), 2003);
}

TEST(PackedDate, ReadDateDMY)
{
    ScopedToday today(QDate(2026, 3, 15));
    EXPECT_EQ(ReadDateDMY(u"5.3.2011").date, PackedDate::make(5, 3, 11)); // 2011 kept as 11
    EXPECT_EQ(ReadDateDMY(u"05.03.11").date, PackedDate::make(5, 3, 11));
    // 2012 and 2000 are leap years: 29 February packs as day 29, month 2.
    EXPECT_EQ(ReadDateDMY(u"29.02.12").date.value, 29 | (2 << 5) | (12 << 9));
    EXPECT_EQ(ReadDateDMY(u"29.02.2000").date.value, 29 | (2 << 5));
    // Days and months beyond their bit fields would spill into the next
    // field, and dates that do not exist are no dates: February of 2011 has
    // 28 days, April 30. All are refused and give no date.
    for (const char16_t* text :
         {u"abc", u"5.3", u"32.1.11", u"1.16.11", u"-1.1.11", u"29.02.11", u"31.04.11", u"0.3.11"}) {
        EXPECT_TRUE(ReadDateDMY(text).refused) << QString::fromUtf16(text).toStdString();
        EXPECT_TRUE(ReadDateDMY(text).date.isNull()) << QString::fromUtf16(text).toStdString();
    }
    // A typed date that is not one is refused; an empty text is no date.
    EXPECT_TRUE(ReadDateDMY(u"31.02.11").refused);
    EXPECT_TRUE(ReadDateDMY(u"10.01.20301").refused); // "%u.%u.%u" took it as 2001
    EXPECT_TRUE(ReadDateDMY(u"14,03,11").refused);
    EXPECT_FALSE(ReadDateDMY(u"  ").refused);
    EXPECT_TRUE(ReadDateDMY(u"").date.isNull());
    EXPECT_EQ(ReadDateDMY(u"14.03.11").date, PackedDate::make(14, 3, 11));
    // A period's start after its end; an open end is no reversal.
    EXPECT_TRUE(IsPeriodReversed(PackedDate::make(15, 3, 11), PackedDate::make(14, 3, 11)));
    EXPECT_FALSE(IsPeriodReversed(PackedDate::make(14, 3, 11), PackedDate::make(14, 3, 11)));
    EXPECT_FALSE(IsPeriodReversed(PackedDate::make(1, 12, 99), PackedDate::make(10, 1, 0))); // 1999 to 2000
    EXPECT_FALSE(IsPeriodReversed(PackedDate::make(15, 3, 11), PackedDate()));
    EXPECT_EQ(DateRefusedText(QStringLiteral("Дата начала"), u" 31.02.11"),
              QStringLiteral("Некорректная дата в поле \"Дата начала\": 31.02.11"));
    EXPECT_EQ(PeriodRefusedText(PackedDate::make(15, 3, 11), PackedDate::make(14, 3, 11)),
              QStringLiteral("Дата начала позже даты окончания: 15.03.11 - 14.03.11"));
    EXPECT_EQ(FormatDateDMY(PackedDate::make(5, 3, 2009)), QStringLiteral("05.03.09"));
    EXPECT_EQ(FormatDateDMY(PackedDate()), QString());
}

// The one rule of typed dates and months, with the clock in 2026 and no base
// open: a packed date's two year digits stand for 1947-2046, so a four-digit
// year outside them is refused rather than stored as another century's.
TEST(TypedDates, DayMonthAndYearExactlyAsTyped)
{
    ScopedToday today(QDate(2026, 12, 7));
    const YearSpan packed = TwoDigitYearSpan();
    EXPECT_EQ(packed.first, 1947);
    EXPECT_EQ(packed.last, 2046);
    using R = TypedDateRead;
    struct Case {
        const char16_t* text;
        bool monthOnly;
        YearSpan years;
        R read;
        int day, month, year;
    };
    const YearSpan full{1900, 2099};
    const Case cases[] = {
        {u"10.01.2030", false, packed, R::Date, 10, 1, 2030},
        {u" 1.5.11 ", false, packed, R::Date, 1, 5, 2011},
        {u"20071985", false, packed, R::Date, 20, 7, 1985}, // digits alone: one way to cut them
        {u"200785", false, packed, R::Date, 20, 7, 1985},
        {u"31.12.1947", false, packed, R::Date, 31, 12, 1947},
        {u"01.01.2046", false, packed, R::Date, 1, 1, 2046},
        {u"29.02.2000", false, packed, R::Date, 29, 2, 2000},
        {u"10.01.1930", false, packed, R::YearOutside, 10, 1, 1930}, // was stored as 2030
        {u"01.01.1900", false, packed, R::YearOutside, 1, 1, 1900}, // was stored as 2000
        {u"31.12.1946", false, packed, R::YearOutside, 31, 12, 1946},
        {u"01.01.2047", false, packed, R::YearOutside, 1, 1, 2047},
        {u"10.01.1930", false, full, R::Date, 10, 1, 1930}, // a field of full years keeps it
        {u"10.01.203", false, packed, R::NotADate, 0, 0, 0}, // was 2003
        {u"10.01.20301", false, packed, R::NotADate, 0, 0, 0}, // was 2001
        {u"10.01.2030abc", false, packed, R::NotADate, 0, 0, 0},
        {u"10.01.30 12:00", false, packed, R::NotADate, 0, 0, 0},
        {u"1.1.0", false, packed, R::NotADate, 0, 0, 0},
        {u"2007198", false, packed, R::NotADate, 0, 0, 0},
        {u"31.02.2011", false, packed, R::NotADate, 0, 0, 0},
        {u"29.02.1900", false, full, R::NotADate, 0, 0, 0}, // 1900 is no leap year
        {u"10..2030", false, packed, R::NotADate, 0, 0, 0},
        {u"", false, packed, R::Empty, 0, 0, 0},
        {u"5.2011", true, full, R::Date, 1, 5, 2011},
        {u"05.11", true, full, R::Date, 1, 5, 2011},
        {u"052011", true, full, R::Date, 1, 5, 2011},
        {u"0511", true, full, R::Date, 1, 5, 2011},
        {u"10.01.2030", true, full, R::NotADate, 0, 0, 0}, // was October 2001
        {u"13.2011", true, full, R::NotADate, 0, 0, 0},
        {u"5.203", true, full, R::NotADate, 0, 0, 0},
        {u"5.1850", true, full, R::YearOutside, 1, 5, 1850},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        const TypedDate typed = c.monthOnly ? ReadTypedMonth(c.text, c.years) : ReadTypedDate(c.text, c.years);
        EXPECT_EQ(typed.read, c.read);
        EXPECT_EQ(typed.day, c.day);
        EXPECT_EQ(typed.month, c.month);
        EXPECT_EQ(typed.year, c.year);
    }
    // A packed field: 20.07.1985 is 20 | 7 << 5 | 85 << 9 = 43764.
    EXPECT_EQ(ReadDateDMY(u"20071985").date.value, 43764);
    EXPECT_TRUE(ReadDateDMY(u"10.01.1930").refused);
    // A date kept as text takes a four-digit year as it stands, a two-digit one by the window.
    EXPECT_EQ(ReadDateText(u"12.05.1925"), QDate(1925, 5, 12));
    EXPECT_EQ(ReadDateText(u"12.05.25"), QDate(2025, 5, 12));
    EXPECT_EQ(DateRefusedText(QStringLiteral("Дата начала"), u"10.01.1930"),
              QStringLiteral("Некорректная дата в поле \"Дата начала\": 10.01.1930\nГод может быть от 1947 до 2046"));
    std::uint16_t key = 2011 * 16 + 5;
    EXPECT_EQ(ParseMonthYear(u"10.01.2030", key), 1);
    EXPECT_EQ(key, 0);
}

TEST(PackedMonthYear, ParseMonthYear)
{
    ScopedToday today(QDate(2026, 6, 1));
    std::uint16_t v = 0;
    EXPECT_EQ(ParseMonthYear(u"03.09", v), 1);
    EXPECT_EQ(v, 2009 * 16 + 3);
    EXPECT_EQ(PackedMonthYear(v).monthIndex(), (2009 - 1900) * 12 + 3);
    EXPECT_EQ(FormatMonthYear(PackedMonthYear(v)), QStringLiteral("03.09"));
    EXPECT_EQ(ParseMonthYear(u"03.09", v), 0); // unchanged
    EXPECT_EQ(ParseMonthYear(u"12.89", v), 1);
    EXPECT_EQ(PackedMonthYear(v).year(), 1989);
    EXPECT_EQ(ParseMonthYear(u"12.95", v), 1);
    EXPECT_EQ(v, 1995 * 16 + 12);
    EXPECT_EQ(ParseMonthYear(u"1.26", v), 1);
    EXPECT_EQ(PackedMonthYear(v).year(), 2026);
    EXPECT_EQ(ParseMonthYear(u"1.2031", v), 1); // a full year is taken as typed
    EXPECT_EQ(PackedMonthYear(v).year(), 2031);
    EXPECT_EQ(ParseMonthYear(u"12.27", v), 1); // was December 1927
    EXPECT_EQ(v, 2027 * 16 + 12);
    EXPECT_EQ(ParseMonthYear(u"12.1927", v), 1); // four digits: as typed
    EXPECT_EQ(v, 1927 * 16 + 12);
    EXPECT_EQ(ParseMonthYear(u"11.0027", v), 1); // four digits as typed: year 27 is no year
    EXPECT_EQ(v, 0);
    EXPECT_EQ(ParseMonthYear(u"11.26", v), 1);
    EXPECT_EQ(v, 2026 * 16 + 11);
    EXPECT_EQ(ParseMonthYear(u"0.09", v), 1); // month 0 is no month
    EXPECT_EQ(v, 0);
    EXPECT_EQ(ParseMonthYear(u"5.2046", v), 1);
    EXPECT_EQ(v, 2046 * 16 + 5);
    EXPECT_EQ(ParseMonthYear(u"5.47", v), 1);
    EXPECT_EQ(v, 1947 * 16 + 5);
    EXPECT_EQ(ParseMonthYear(u"5.-26", v), 1); // a negative year is no year
    EXPECT_EQ(v, 0);
    v = 2031 * 16 + 1;
    EXPECT_EQ(ParseMonthYear(u"13.09", v), 1); // month 13 would be a wrong key
    EXPECT_EQ(v, 0);
    EXPECT_EQ(ParseMonthYear(u"", v), 0); // empty stays empty
    v = 2009 * 16 + 3;
    EXPECT_EQ(ParseMonthYear(u"", v), 1); // a cleared cell clears the value
    EXPECT_EQ(v, 0);
    EXPECT_EQ(FormatMonthYear(PackedMonthYear(2000 * 16)), QString()); // month 0
    EXPECT_EQ(MonthIndex(2024, 1), 1489);
    EXPECT_EQ(MonthKey(2024, 1).value(), 2024 * 16 + 1);
}

TEST(DayMonth, HolidayWords)
{
    const auto dayMonth = [](const char16_t* text) {
        const TypedDate typed = ReadTypedDayMonth(text);
        return std::pair(typed.day, typed.month);
    };
    EXPECT_EQ(dayMonth(u"8.03"), std::pair(8, 3));
    EXPECT_EQ(dayMonth(u"8.3"), std::pair(8, 3));
    EXPECT_EQ(dayMonth(u" 07.01 "), std::pair(7, 1));
    EXPECT_EQ(dayMonth(u"2902"), std::pair(29, 2)); // four digits alone, February of a leap year
    EXPECT_EQ(ReadTypedDayMonth(u"8.03").read, TypedDateRead::Date);
    EXPECT_EQ(ReadTypedDayMonth(u"").read, TypedDateRead::Empty); // nothing typed: no holiday
    // Anything else is no day of the year: a comma, a day the month does not
    // have, a year, text after the day, a day alone.
    for (const char16_t* refused : {u"10,01", u"32.01", u"31.02", u"30.02", u"1.13", u"0.05", u"10.01.2030", u"1.1abc",
                                    u"7", u"10.", u".01", u"+1.01", u"1 .01", u"123.1"})
        EXPECT_EQ(ReadTypedDayMonth(refused).read, TypedDateRead::NotADate) << QString::fromUtf16(refused).toStdString();
}

TEST(DateDiff, LengthOfService)
{
    auto d = DateDiff(QDate(2001, 5, 20), QDate(2026, 3, 15));
    EXPECT_EQ(d.years, 24);
    EXPECT_EQ(d.months, 9);
    EXPECT_EQ(d.days, 23); // 20 February to 15 March 2026
    d = DateDiff(QDate(2010, 1, 10), QDate(2010, 1, 10));
    EXPECT_EQ(d.years + d.months + d.days, 0);
    d = DateDiff(QDate(2015, 6, 1), QDate(2026, 6, 1));
    EXPECT_EQ(d.years, 11);
    EXPECT_EQ(d.months, 0);
    EXPECT_EQ(d.days, 0);
    d = DateDiff(QDate(2024, 1, 31), QDate(2024, 3, 1)); // no 31 February
    EXPECT_EQ(d.months, 1);
    EXPECT_EQ(d.days, 1);
    d = DateDiff(QDate(2026, 3, 16), QDate(2026, 3, 15)); // start after the end
    EXPECT_EQ(d.years + d.months + d.days, 0);
}

TEST(DateTime, DaysInMonthAndFormatTime)
{
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2026, 2), 28);
    EXPECT_EQ(DaysInMonth(2100, 2), 29); // every year divisible by 4
    EXPECT_EQ(DaysInMonth(2026, 4), 30);
    const QDateTime t(QDate(2026, 3, 1), QTime(9, 5, 7));
    EXPECT_EQ(FormatTime(t, QStringLiteral(" %B     %Y г. ")), QStringLiteral(" Март     2026 г. "));
    EXPECT_EQ(FormatTime(t, QStringLiteral("%d.%m.%y %H:%M:%S %A")), QStringLiteral("01.03.26 09:05:07 воскресенье"));
    EXPECT_EQ(FormatTime(t, QStringLiteral("%#d %b %%")), QStringLiteral("1 мар %"));
    EXPECT_EQ(FormatTime(t, QString(200, QLatin1Char('x'))).size(), 127);
}

// ------------------------------------------------------------ money and numbers

// A figure field reads the whole text by its kind or refuses it naming the
// field: a whole field (days 0-31) takes "12" and " 1 500 "'s digit groups
// only where they fit, refuses "12,75", "12x", "1e3" and 16 digits; a percent
// of two places takes "12,75" as 1,275 hundredths; money takes "0,28" as 28
// kopecks and refuses a third decimal ("0,285", "12,755"); hours "7,5" are 7 h 5 min = 425 minutes, "12,75" has no minute 75.
TEST(TypedNumbers, FigureFieldsReadTheWholeTextByTheirKind)
{
    const auto units = [](const FigureRule& rule, const char16_t* text) {
        const FigureReading reading = ReadFigure(QStringLiteral("Поле"), rule, QStringView(text));
        return reading.read ? reading.units : -1.0;
    };
    EXPECT_EQ(units(WholeFigure(0, 31), u"12"), 12);
    EXPECT_EQ(units(WholeFigure(0, 31), u""), 0);
    EXPECT_EQ(units(WholeFigure(0, 31), u"12,0"), 12);
    EXPECT_EQ(units(CountFigure(999999), u" 1 500 "), 1500);
    EXPECT_EQ(units(ShareFigure(2), u"12,75"), 1275);
    EXPECT_EQ(units(SignedMoneyFigure(), u"0,28"), 28);
    EXPECT_EQ(units(SignedMoneyFigure(), u"12,755"), -1.0); // a third decimal is no amount, not 12.75
    EXPECT_EQ(units(SignedMoneyFigure(), u"0,285"), -1.0);
    EXPECT_EQ(units(TextFigure(5), u"Цех 1"), 5);
    EXPECT_EQ(units(TextFigure(5), u"Цех 12"), -1.0);
    EXPECT_EQ(units(SignedMoneyFigure(), u"-40"), -4000);
    EXPECT_EQ(units(HoursFigure(511), u"7,5"), 425);
    EXPECT_EQ(units(HoursFigure(511), u"511"), 511 * 60);
    EXPECT_EQ(units(HoursFigure(511), u"7,59"), 479);
    for (const char16_t* text :
         {u"12,75", u"12x", u"40x", u"-40x", u"abc", u"1e3", u"1234567890123456", u"nan", u"32", u"-1", u"1 50"})
        EXPECT_EQ(units(WholeFigure(0, 31), text), -1.0) << QString::fromUtf16(text).toStdString();
    // A pasted line end inside is no digit: "6\n,15" is not 6:15.
    for (const char16_t* text :
         {u"12,75", u"7,60", u"12x", u"1e3", u"511,1", u"-1", u"1,2,3", u",", u"1 500", u"6\n,15", u"6\n,"})
        EXPECT_EQ(units(HoursFigure(511), text), -1.0) << QString::fromUtf16(text).toStdString();
    EXPECT_EQ(units(SignedMoneyFigure(), u"1000000000000"), -1.0);
    // A whole field whose least is 1 or more (a table's or a month's
    // number) refuses a number below it, a sign too, and what it refuses
    // keeps the stored value; an amount that cannot be negative refuses -1.
    EXPECT_EQ(units(WholeFigure(1, 20), u"1"), 1);
    EXPECT_EQ(units(WholeFigure(1, 20), u"20"), 20);
    for (const char16_t* text : {u"-3", u"0", u"21"})
        EXPECT_EQ(units(WholeFigure(1, 20), text), -1.0) << QString::fromUtf16(text).toStdString();
    EXPECT_EQ(ReadFigure(QStringLiteral("Номер таблицы"), WholeFigure(1, 20), u"-3").refusal,
              QStringLiteral("Значение поля \"Номер таблицы\" должно быть от 1 до 20: -3"));
    EXPECT_EQ(FigureUnitsOr(WholeFigure(1, 20), u"-3", 7), 7);
    EXPECT_EQ(FigureUnitsOr(WholeFigure(3, 12), u"-3", 5), 5);
    EXPECT_EQ(units(AmountFigure(), u"0"), 0);
    EXPECT_EQ(units(AmountFigure(), u"-1"), -1.0);
    EXPECT_EQ(ReadFigure(QStringLiteral("Величина"), AmountFigure(), u"-1").refusal,
              QStringLiteral("Значение поля \"Величина\" должно быть от 0.00 до 999999999999.99: -1"));
    // A number of a book must be one the book holds; 0 is no number.
    const BookCheck shops{QStringLiteral("Цеха"), [](long long n) { return n == 1 || n == 4; }};
    const auto inBook = [&](const char16_t* text) {
        const FigureReading reading = ReadFigure(QStringLiteral("Цех"), WholeFigure(0, 250), shops, QStringView(text));
        return reading.read ? reading.units : -1.0;
    };
    EXPECT_EQ(inBook(u"4"), 4);
    EXPECT_EQ(inBook(u""), 0);
    EXPECT_EQ(inBook(u"3"), -1.0);
    EXPECT_EQ(inBook(u"12x"), -1.0);
    EXPECT_EQ(ReadFigure(QStringLiteral("Цех"), WholeFigure(0, 250), shops, u"3").refusal,
              QStringLiteral("В поле \"Цех\" указан номер, которого нет в справочнике \"Цеха\": 3"));
    EXPECT_EQ(ReadFigure(QStringLiteral("Рабочие дни"), WholeFigure(0, 31), u"12,75").refusal,
              QStringLiteral("В поле \"Рабочие дни\" вводится целое число: 12,75"));
    EXPECT_EQ(ReadFigure(QStringLiteral("Надбавка, %"), WholeFigure(0, 63), u"40x").refusal,
              QStringLiteral("Некорректное число в поле \"Надбавка, %\": 40x"));
    EXPECT_EQ(ReadFigure(QStringLiteral("Рабочие дни"), WholeFigure(0, 31), u" 40 ").refusal,
              QStringLiteral("Значение поля \"Рабочие дни\" должно быть от 0 до 31: 40"));
    // A taxpayer's number: 10 digits (a firm's) or 12 (a person's), or none.
    for (const char* inn : {"", "7707083893", "500100732259"})
        EXPECT_TRUE(InnRefusal(QStringLiteral("ИНН"), QString::fromLatin1(inn)).isEmpty()) << inn;
    for (const char* inn : {"1234567890123456", "77070838931", "7707O83893", "770708389"})
        EXPECT_FALSE(InnRefusal(QStringLiteral("ИНН"), QString::fromLatin1(inn)).isEmpty()) << inn;
}

// The one rule of typed amounts, rates, percents and coefficients: a comma
// or a point before the fraction, groups of three digits after a blank, the
// whole text read or nothing. Worked values: 30000,50 roubles are 3,000,050
// kopecks; 1 500,50 roubles 150,050 kopecks; a rate of 1,5 is 1.5.
TEST(TypedNumbers, ReadInFullWithACommaOrAPoint)
{
    struct Case {
        const char16_t* text;
        TypedDecimal read;
        double value;
        double kopecks; // the count of kopecks ReadTypedUnits reads (0 when refused)
    };
    const Case cases[] = {
        {u"30000,50", TypedDecimal::Number, 30000.5, 3000050},
        {u"1,5", TypedDecimal::Number, 1.5, 150},
        {u"1.5", TypedDecimal::Number, 1.5, 150},
        {u"1 500,50", TypedDecimal::Number, 1500.5, 150050},
        {u"1\u00a0500,50", TypedDecimal::Number, 1500.5, 150050}, // a no-break space, as Russian numbers print
        {u"12 345 678", TypedDecimal::Number, 12345678, 1234567800},
        {u" -150,5 ", TypedDecimal::Number, -150.5, -15050},
        {u",5", TypedDecimal::Number, 0.5, 50},
        {u"7,", TypedDecimal::Number, 7, 700},
        {u"", TypedDecimal::Empty, 0, 0},
        {u"   ", TypedDecimal::Empty, 0, 0},
        {u"12,3,4", TypedDecimal::Refused, 0, 0},
        {u"12.3,4", TypedDecimal::Refused, 0, 0},
        {u"12a", TypedDecimal::Refused, 0, 0},
        {u"сто", TypedDecimal::Refused, 0, 0},
        {u"1 50", TypedDecimal::Refused, 0, 0}, // a blank only before a group of three
        {u"1 5000", TypedDecimal::Refused, 0, 0},
        {u"1500 ,50", TypedDecimal::Refused, 0, 0},
        {u"2e3", TypedDecimal::Refused, 0, 0},
        {u",", TypedDecimal::Refused, 0, 0},
        {u"-", TypedDecimal::Refused, 0, 0},
        {u"1e400", TypedDecimal::Refused, 0, 0},
        // Kopecks from the decimal digits, to the nearest, an exact half going
        // down: 4666.265 is 466626.5 kopecks, 466626 (its double,
        // 4666.26500000000033, gave 466627); anything past the half goes up.
        {u"0,285", TypedDecimal::Number, 0.285, 28},
        {u"0,2851", TypedDecimal::Number, 0.2851, 29},
        {u"4666,265", TypedDecimal::Number, 4666.265, 466626},
        {u"-0,125", TypedDecimal::Number, -0.125, -13},
        {u"0,12499", TypedDecimal::Number, 0.12499, 12},
        {u"123456789012,345", TypedDecimal::Number, 123456789012.345, 12345678901234}, // 15 digits
        {u"1,50000000000000000000", TypedDecimal::Number, 1.5, 150}, // zeros ending a fraction say nothing
        // More than 15 significant digits would be kept as another number.
        {u"9007199254740993", TypedDecimal::Refused, 0, 0},
        {u"1,0000000000000001", TypedDecimal::Refused, 0, 0},
        {u"1000000000000000", TypedDecimal::Refused, 0, 0}, // zeros ending the whole part count: 16 digits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        double value = -1;
        EXPECT_EQ(ReadTypedDecimal(c.text, value), c.read);
        EXPECT_EQ(value, c.value);
        double kopecks = -1;
        EXPECT_EQ(ReadTypedUnits(c.text, 2, kopecks), c.read);
        EXPECT_EQ(kopecks, c.kopecks);
    }
    // A number of 400 digits does not fit a double: refused, never infinity.
    double value = 0;
    EXPECT_EQ(ReadTypedDecimal(QString(400, QLatin1Char('9')), value), TypedDecimal::Refused);
    EXPECT_EQ(NumberRefusedText(QStringLiteral("Ставка"), u" 12a"),
              QStringLiteral("Некорректное число в поле \"Ставка\": 12a"));
}

// A money field reads its text as kopecks (MoneyFigure); what it refuses
// leaves the field's amount as it was.
TEST(Money, MoneyFieldsAndFormatMoney)
{
    const auto money = [](QStringView text, double kept) { return FigureUnitsOr(SignedMoneyFigure(), text, kept); };
    EXPECT_EQ(money(u"-150.5", 0), -15050);
    double k = money(u"-1.5", 0);
    EXPECT_EQ(k, -150);
    EXPECT_EQ(FormatMoney(k), QStringLiteral("-1.50"));
    k = money(u"1000", k);
    EXPECT_EQ(k, 100000);
    EXPECT_EQ(FormatMoney(k), QStringLiteral("1000.00"));
    EXPECT_EQ(money(u"1000.00", 7), 100000);
    // ceil(v x 100 - 0.5): an exact half goes down, also below zero.
    EXPECT_EQ(KopecksFromRoubles(0.125), 12);
    EXPECT_EQ(KopecksFromRoubles(-0.125), -13);
    EXPECT_EQ(KopecksFromRoubles(1.005), 100); // 100.49999999999999 - 0.5
    EXPECT_EQ(KopecksFromRoubles(12.345), 1234);
    EXPECT_EQ(KopecksFromRoubles(12.3451), 1235);
    EXPECT_EQ(money(u"1,50", 0), 150); // a comma before the kopecks
    EXPECT_EQ(money(u"", 500), 0);
    EXPECT_EQ(money(u"сто", 500), 500);

    // Amounts beyond the money range, or not finite, are refused: the field
    // keeps its amount.
    EXPECT_EQ(money(QStringLiteral("1") + QString(300, QLatin1Char('0')), 500), 500); // a 300-digit amount
    EXPECT_EQ(money(u"-10000000000000", 500), 500);
    k = money(u"999999999999.99", 500); // the largest amount
    EXPECT_EQ(k, 99999999999999.0);
    EXPECT_EQ(FormatMoney(k), QStringLiteral("999999999999.99"));
    k = money(u"-999999999999.99", k);
    EXPECT_EQ(k, -99999999999999.0);
    EXPECT_EQ(money(u"1000000000000", k), -99999999999999.0); // one rouble more
    EXPECT_TRUE(IsMoneyInRange(-99999999999999.0));
    EXPECT_FALSE(IsMoneyInRange(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(IsMoneyInRange(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(FormatMoney(0), QString());
    EXPECT_EQ(FormatMoney(0.5), QStringLiteral("0.01")); // through text: 0.005 -> 0.01
    EXPECT_EQ(FormatMoney(99.5), QStringLiteral("1.00")); // 0.995 -> 1.00
    EXPECT_EQ(FormatMoney(123456789), QStringLiteral("1234567.89"));
}

// Whole fields and coefficients read by their figure rules: a whole field
// takes the number only in full and within its range, a coefficient of two
// places "2,5" as 250 hundredths; what either refuses keeps the stored value.
TEST(Numbers, WholeAndDecimalFields)
{
    const auto whole = [](QStringView text) { return FigureUnitsOr(WholeFigure(0, 250), text, 9); };
    EXPECT_EQ(whole(u"250"), 250);
    EXPECT_EQ(whole(u"251"), 9); // out of range: refused, never 0
    // A text that is no whole number is refused whole: never its leading digits.
    for (const char16_t* text :
         {u"abc", u" 12abc", u"12,75", u"12.75", u"1e3", u"nan", u"-40x", u"1234567890123456", u"99999999999"})
        EXPECT_EQ(whole(text), 9) << QString::fromUtf16(text).toStdString();
    EXPECT_EQ(FigureUnitsOr(WholeFigure(0, 2000), u" 1 500 ", 9), 1500); // digit groups, blanks around
    EXPECT_EQ(whole(u"12,0"), 12); // a whole number with zero decimals
    const auto coefficient = [](QStringView text) { return FigureUnitsOr(DecimalFigure(2, 0, 10), text, 250); };
    EXPECT_EQ(coefficient(u"2,5"), 250); // a coefficient typed with a comma
    EXPECT_EQ(coefficient(u"2.5e1"), 250); // no exponents
    EXPECT_EQ(coefficient(u"1,2,5"), 250);
    EXPECT_EQ(ReadFigure(QStringLiteral("Коэффициент"), DecimalFigure(2, 0, 10), u"1,2,5").refusal,
              QStringLiteral("Некорректное число в поле \"Коэффициент\": 1,2,5"));
    EXPECT_EQ(ReadFigure(QStringLiteral("Коэффициент"), DecimalFigure(2, 0, 10), u"1,25").refusal, QString());
    EXPECT_EQ(coefficient(u""), 0);
    EXPECT_EQ(FormatIntField(0), QString());
    EXPECT_EQ(FormatIntField(-42), QStringLiteral("-42"));
}

// ------------------------------------------------------------ 12-digit codes

TEST(Packed12Digits, GroupsKeepTheirHighBits)
{
    std::uint16_t ch = 0xC000, sc = 0x4000, au = 0;
    SetPacked12Digits(123456789012ULL, ch, sc, au);
    EXPECT_EQ(ch, 0xC000 | 1234);
    EXPECT_EQ(sc, 0x4000 | 5678);
    EXPECT_EQ(au, 9012);
    EXPECT_EQ(FormatPacked12Digits(ch, sc, au), QStringLiteral("123456789012"));
    SetPacked12Digits(70, ch, sc, au);
    EXPECT_EQ(FormatPacked12Digits(ch, sc, au), QStringLiteral("000000000070"));
    EXPECT_EQ(ch, 0xC000);
    // More than 12 digits would overflow the first group into bits 14-15.
    SetPacked12Digits(1999999999999ULL, ch, sc, au);
    EXPECT_EQ(ch, 0xC000);
    EXPECT_EQ(sc, 0x4000);
    EXPECT_EQ(au, 0);
    EXPECT_EQ(FormatPacked12Digits(ch, sc, au), QString()); // only high bits set
    SetPacked12Digits(999999999999ULL, ch, sc, au);
    EXPECT_EQ(Packed12DigitsValue(ch, sc, au), 999999999999ULL);
    const Packed12Digits p{0, 0, 2000};
    EXPECT_EQ(FormatPacked12Digits(p), QStringLiteral("000000002000"));
}

// ------------------------------------------------------------ 3-byte tariff

TEST(PackedFixed3, BitLayout)
{
    const PackedFixed3 p = PackedFixed3::make(16383, 1023);
    EXPECT_EQ(p.b, 0xFF);
    EXPECT_EQ(p.w, 0xFFFF);
    const PackedFixed3 q = PackedFixed3::make(1000, 250); // 1000 = 1*512 + 488, 250 = 1*128 + 122
    EXPECT_EQ(q.b, 1 | (1 << 5));
    EXPECT_EQ(q.w, 488 | (122 << 9));
    EXPECT_EQ(q.roubles(), 1000);
    EXPECT_EQ(q.thousandths(), 250);
    EXPECT_DOUBLE_EQ(q.kopecks(), 100025.0);
    EXPECT_EQ(FormatPackedFixed3(q), QStringLiteral("1000.250"));
    EXPECT_EQ(FormatPackedFixed3(PackedFixed3()), QString());
}

// A tariff field reads thousandths of a rouble up to 16,383.999 roubles, the
// most its 14 bits of roubles hold; what it refuses keeps the tariff.
TEST(PackedFixed3, TariffFields)
{
    const FigureRule tariff = DecimalFigure(3, 0, PackedFixed3::kMaxRoubles + 0.999);
    const auto units = [&](QStringView text) { return FigureUnitsOr(tariff, text, -1); };
    EXPECT_EQ(units(u"12.345"), 12345);
    EXPECT_EQ(units(u"1,5"), 1500); // a comma before the fraction
    EXPECT_EQ(units(u"1,9,9"), -1);
    EXPECT_EQ(units(u"16383.999"), 16383999);
    const PackedFixed3 most = PackedFixed3::make(16383999 / 1000, 16383999 % 1000);
    EXPECT_EQ(most.roubles(), 16383);
    EXPECT_EQ(most.thousandths(), 999);
    EXPECT_EQ(FormatPackedFixed3(most), QStringLiteral("16383.999"));
    // Beyond 14 bits of roubles the value would be cut: refused.
    EXPECT_EQ(units(u"16384"), -1);
    EXPECT_EQ(units(u"-1.5"), -1);
    EXPECT_EQ(units(u"1.9996"), -1); // more places than the field keeps
    EXPECT_EQ(units(u""), 0);
}

// ------------------------------------------------------------ hours and minutes

TEST(Minutes, FormatHoursMinutes)
{
    EXPECT_EQ(FormatHoursMinutes(8 * 60 + 5), QStringLiteral("8,5"));
    EXPECT_EQ(FormatHoursMinutes(480), QStringLiteral("8,0"));
    EXPECT_EQ(FormatHoursMinutes(0), QString());
}

// An hours field reads "hours,minutes" into minutes (7 h 30 min = 450),
// refusing minutes at its most hours, more than its hours and a total beyond
// the 65,535 minutes a field holds; what it refuses keeps the stored value.
TEST(Minutes, HoursFields)
{
    const auto minutes = [](int maxHours, QStringView text) { return FigureUnitsOr(HoursFigure(maxHours), text, 100); };
    EXPECT_EQ(minutes(7, u"7,30"), 100); // at the maximum with minutes
    EXPECT_EQ(minutes(7, u"6,30"), 390);
    EXPECT_EQ(minutes(24, u"25"), 100);
    EXPECT_EQ(minutes(24, u"8,5"), 485);
    EXPECT_EQ(minutes(24, u""), 0);
    EXPECT_EQ(minutes(511, u"511"), 511 * 60);
    EXPECT_EQ(minutes(-1, u"600,59"), 36059); // no most hours
    EXPECT_EQ(minutes(-1, u"2000"), 100); // 120,000 minutes do not fit 16 bits
    EXPECT_EQ(minutes(-1, u"-3"), 100);
}

// A grid's hours that carry minutes of 60 or more into the hours: 7,75 is
// 7 h + 75 min = 8 h 15 min = 495 minutes.
TEST(Minutes, CarriedHours)
{
    EXPECT_EQ(ReadCarriedHours(u"7,75", 24), 495);
    EXPECT_EQ(ReadCarriedHours(u"7,60", 24), 480);
    EXPECT_EQ(ReadCarriedHours(u"7.", 24), 420);
    EXPECT_EQ(ReadCarriedHours(u"24,30", 24), 24 * 60 + 30); // 24 whole hours and minutes beside them
    EXPECT_EQ(ReadCarriedHours(u"24,75", 24), std::nullopt); // 25 whole hours once carried
    EXPECT_EQ(ReadCarriedHours(u"7,125", 24), std::nullopt);
    EXPECT_EQ(ReadCarriedHours(u"-7", 24), std::nullopt);
    EXPECT_EQ(ReadCarriedHours(u"", 24), 0);
}

// A schedule's month fund: hours to one decimal place, at most 409.5 (4,095
// tenths, the 12 bits it is kept in).
TEST(Minutes, ScheduleHoursInTenths)
{
    const auto tenths = [](QStringView text) { return FigureUnitsOr(DecimalFigure(1, 0, 409.5), text, -1); };
    EXPECT_EQ(tenths(u"167,5"), 1675);
    EXPECT_EQ(tenths(u"160"), 1600);
    EXPECT_EQ(tenths(u"400"), 4000);
    EXPECT_EQ(tenths(u"409,5"), 4095);
    EXPECT_EQ(tenths(u"409,6"), -1);
    EXPECT_EQ(tenths(u"7,25"), -1); // two places: refused, not rounded
    EXPECT_EQ(tenths(u""), 0);
}

// ------------------------------------------------------------ texts and pick lists

TEST(Texts, StoreTextIfChanged)
{
    QString field = QStringLiteral("Иванов");
    EXPECT_EQ(StoreTextIfChanged(QStringLiteral("Иванов"), field, 120), 0);
    EXPECT_EQ(StoreTextIfChanged(QStringLiteral("Петров"), field, 120), 1);
    EXPECT_EQ(field, QStringLiteral("Петров"));
    EXPECT_EQ(StoreTextIfChanged(QStringLiteral("abcdef"), field, 4), 1);
    EXPECT_EQ(field, QStringLiteral("abc"));
    EXPECT_EQ(StoreTextIfChanged(QStringLiteral("abcdef"), field, 4), 0);
}

TEST(Texts, BuildPickListFromPairs)
{
    static const PickPair kinds[] = {
        {"начало больничного", " "},
        {"продолжение больничного", "1"},
        {nullptr, nullptr},
    };
    const QStringList lines = BuildPickListFromPairs(kinds);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral(" |начало больничного"));
    EXPECT_EQ(lines[1], QStringLiteral("1|продолжение больничного"));
    static const PickPair none[] = {{nullptr, nullptr}};
    EXPECT_TRUE(BuildPickListFromPairs(none).isEmpty());
}

TEST(MonthKey, YearMonthIndexAndMoves)
{
    const MonthKey march(2026, 3);
    EXPECT_EQ(march.value(), 2026 * 16 + 3);
    EXPECT_EQ(MonthKey::of(march.value()), march);
    EXPECT_EQ(march.year(), 2026);
    EXPECT_EQ(march.month(), 3);
    EXPECT_EQ(march.index(), MonthIndex(2026, 3));
    EXPECT_EQ(march.plus(10), MonthKey(2027, 1));
    EXPECT_EQ(march.plus(-3), MonthKey(2025, 12));
    EXPECT_EQ(march.plus(-27), MonthKey(2023, 12));
    EXPECT_EQ(MonthKey(2025, 12).next(), MonthKey(2026, 1));
    EXPECT_EQ(MonthKey(2026, 1).previous(), MonthKey(2025, 12));
    EXPECT_EQ(MonthKey(2025, 11).monthsTo(march), 4);
    EXPECT_EQ(march.monthsTo(MonthKey(2025, 11)), -4);
    EXPECT_LT(MonthKey(2025, 12), MonthKey(2026, 1)); // keys order as months do
    // A key's month as a sentence names it; the stored number 32419 is
    // March 2026 (2026 x 16 + 3).
    EXPECT_EQ(MonthOfYearText(MonthKey::of(32419)), QStringLiteral("март 2026 года"));
    EXPECT_EQ(MonthOfYearText(MonthKey(2026, 12).next()), QStringLiteral("январь 2027 года"));
    EXPECT_EQ(MonthOfYearText(MonthKey(2027, 5)), QStringLiteral("май 2027 года"));
}

// Month indexes count the months from January 1900 (index 1): (year - 1900)
// x 12 + month, by hand for each case below.
TEST(MonthKey, MonthIndexAtYearAndMonthEdges)
{
    // December to January: 2025 is year 125 of the count, 125 x 12 + 12 =
    // 1512; January 2026 follows at 126 x 12 + 1 = 1513.
    EXPECT_EQ(MonthKey(2025, 12).index(), 1512);
    EXPECT_EQ(MonthKey(2025, 12).next().index(), 1513);
    EXPECT_EQ(MonthIndex(2026, 1), 1513);
    EXPECT_EQ(MonthKey(2025, 12).monthsTo(MonthKey(2026, 1)), 1);
    EXPECT_EQ(MonthKey(2026, 1).monthsTo(MonthKey(2024, 12)), -13);
    // Back from an index: the first month of a year and the last of the one before.
    EXPECT_EQ(YearOfMonthIndex(1513), 2026);
    EXPECT_EQ(MonthOfMonthIndex(1513), 1);
    EXPECT_EQ(YearOfMonthIndex(1512), 2025);
    EXPECT_EQ(MonthOfMonthIndex(1512), 12);
    // The earliest year a base's month fields hold, 1900: its January is 1,
    // its December 12, and January 1901 is 13.
    EXPECT_EQ(MonthKey(1900, 1).index(), 1);
    EXPECT_EQ(MonthKey(1900, 12).index(), 12);
    EXPECT_EQ(MonthKey(1901, 1).index(), 13);
    EXPECT_EQ(YearOfMonthIndex(12), 1900);
    EXPECT_EQ(MonthOfMonthIndex(12), 12);
    EXPECT_EQ(YearOfMonthIndex(13), 1901);
    EXPECT_EQ(MonthOfMonthIndex(13), 1);
    // 1990, the first year of a payment month in an archive entry: 90 x 12 + 1.
    EXPECT_EQ(MonthKey(1990, 1).index(), 1081);
    // Month numbers counted past December or before January, and the months
    // from one month forward to another across the turn of the year.
    EXPECT_EQ(WrapMonth(13), 1);
    EXPECT_EQ(WrapMonth(0), 12);
    EXPECT_EQ(WrapMonth(-11), 1);
    EXPECT_EQ(MonthsAhead(11, 2), 3);
    EXPECT_EQ(MonthsAhead(12, 1), 1);
    EXPECT_EQ(MonthsAhead(1, 12), 11);
    EXPECT_EQ(MonthsAhead(5, 5), 0);
}

TEST(ImportCheck, TwentyRefusedRecordsAreAllNamedWithNoRestToCount)
{
    ImportCheck check(QStringLiteral("kod.dbf"));
    QString said = QStringLiteral("Записи с недопустимыми значениями не загружены:");
    for (int record = 1; record <= 20; ++record) {
        check.record(QString::number(record));
        EXPECT_FALSE(check.number(-1, 0, 999, QStringLiteral("kod")));
        said += QStringLiteral("\nФайл kod.dbf, запись %1, поле kod: недопустимое значение -1").arg(record);
    }
    EXPECT_EQ(check.summary(), said);
}

// The insurance number's check number: the nine digits times 9 down to 1;
// a sum below 100 is itself, 100 and 101 give 00, a larger sum its remainder
// by 101. Numbers up to 001-001-998 carry no check number to check.
TEST(InsuranceNumber, CheckNumberAndWhatIsChecked)
{
    // 1*9 + 1*8 + 2*7 + 3*6 + 0*5 + 5*4 + 4*3 + 1*2 + 8*1 = 91
    EXPECT_EQ(InsuranceCheckNumber(QStringLiteral("112-305-418")), 91);
    EXPECT_EQ(InsuranceCheckNumber(QStringLiteral("112-233-445")), 95); // 95, below 100
    EXPECT_EQ(InsuranceCheckNumber(QStringLiteral("191-200-000")), 0); // 100
    EXPECT_EQ(InsuranceCheckNumber(QStringLiteral("920-000-004")), 0); // 9*9 + 2*8 + 4 = 101
    EXPECT_EQ(InsuranceCheckNumber(QStringLiteral("999-999-999")), 1); // 405 = 4*101 + 1
    EXPECT_EQ(InsuranceCheckNumber(QStringLiteral("909-999-999")), 30); // 333 = 3*101 + 30
    EXPECT_EQ(InsuranceCheckNumber(QStringLiteral("999-999-997")), 0); // 403 = 3*101 + 100: 00

    EXPECT_EQ(InsuranceNumberRefusal(QStringLiteral("Страховой полис"), QStringLiteral("112-305-418 10")),
              QStringLiteral("Неверное контрольное число в поле \"Страховой полис\": 112-305-418 10 (по цифрам "
                             "номера - 91)"));
    // What is typed is quoted as typed, a "%1" in it included.
    EXPECT_EQ(InsuranceNumberRefusal(QStringLiteral("Страховой полис"), QStringLiteral("112-305-418 %1")),
              QStringLiteral("Неверное контрольное число в поле \"Страховой полис\": 112-305-418 %1 (по цифрам "
                             "номера - 91)"));
    for (const char* right : {"112-305-418 91", "191-200-000 00", "112 305 418 91", "112-305-418", "", "   "})
        EXPECT_EQ(InsuranceNumberRefusal(QStringLiteral("Страховой полис"), QString::fromLatin1(right)), QString())
            << right;
    // A check number of one digit or of three is no check number.
    EXPECT_TRUE(CheckInsuranceNumber(QStringLiteral("112-305-418 9")).wrong());
    EXPECT_TRUE(CheckInsuranceNumber(QStringLiteral("112-305-418 091")).wrong());
    // Up to 001-001-998 nothing is checked; from 001-001-999 on it is
    // (001-001-999: 1*7 + 1*4 + 9*3 + 9*2 + 9*1 = 65).
    EXPECT_FALSE(CheckInsuranceNumber(QStringLiteral("001-001-998 12")).wrong());
    EXPECT_TRUE(CheckInsuranceNumber(QStringLiteral("001-001-999 12")).wrong());
    EXPECT_FALSE(CheckInsuranceNumber(QStringLiteral("001-001-999 65")).wrong());
}
