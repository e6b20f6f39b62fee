#pragma once
// Value types of the packed formats and their text forms: packed dates and
// month-year values, kopeck amounts, 12-digit cost codes, minute counts and the
// 3-byte fixed-point tariff, with their formatters and the readers of texts
// kept in files and stored records.
//
// A text a person types is not read here: a field is read by its input's
// kind (values/TypedFigure.h, CTypedEdit), a grid cell by its column's
// (GridCellUnits), a stored line's cells by their columns' rules
// (FigureUnitsOr), and the savers take that reading; tools/check_sources.sh
// keeps the readers below out of them. The typed dates and months
// (ReadTypedDate, ReadTypedMonth, ReadTypedDayMonth, ReadDateDMY) are the
// typed kinds' own readings.
//
// Stored-text convention: an empty text is 0; a stored 0 shows as an empty
// field. A parser returns 1 when it changed the stored value, else 0; a text
// that does not read in full is refused (kFieldRefused, the field keeps its
// value). Whole numbers of files are read as scanf reads them (see CScan.h);
// amounts are formatted with the rounding of RoundText.h.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <compare>
#include <cstdint>

#include "values/TypedFigure.h"

namespace kalvor {

// ---------------------------------------------------------------- years, months

// Full year of a two-digit year by the one sliding window: the year ending in
// yy that lies from 79 years before to 20 years after the reference year
// (Clock::referenceYear: the open base's reporting year, else today's). With
// a reference year of 2000-2079 that is 20yy when yy is at most the reference
// year's two digits + 20, else 19yy (2026: 00-46 are 2000-2046, 47-99 are
// 1947-1999). A value of 100 or more (some imports store year - 1900) is
// 1900 + value.
int WidenTwoDigitYear(int yy);
// The same with an explicit pivot: yy below pivot is 20yy, otherwise 19yy; 100
// or more is 1900 + value. Only for two-digit years of other programs' files
// whose layout fixes such a window.
int WidenTwoDigitYear(int yy, int pivot);

// Month index: (year - 1900) x 12 + month (January 2024 = 1489), the count of
// months that "months between" and month windows are worked out on. Every
// month index is made here; nothing else multiplies a year by 12.
constexpr int MonthIndex(int year, int month) { return (year - 1900) * 12 + month; }
// Full year and month 1-12 of a month index (the inverse of MonthIndex).
constexpr int YearOfMonthIndex(int index) { return (index - 1) / 12 + 1900; }
constexpr int MonthOfMonthIndex(int index) { return (index - 1) % 12 + 1; }
// Month 1-12 of a month number counted on past December or back before
// January (13 is January, 0 is December).
constexpr int WrapMonth(int m) { return ((m - 1) % 12 + 12) % 12 + 1; }
// Months from month `from` forward to month `to` (both 1-12) within a year's
// turn, 0-11: from November to February is 3.
constexpr int MonthsAhead(int from, int to) { return (to - from + 12) % 12; }

// Month key: full year x 16 + month, the form in which the base holds its
// reporting month and the month fields of its records. The number is taken
// by value() where it is stored; keys compare as their months do. Read a key
// through year(), month() and the moves instead of shifting and masking the
// number.
class MonthKey {
public:
    constexpr MonthKey() = default;
    constexpr MonthKey(int year, int month) : value_(year * 16 + month) {}
    // The key of a stored number (year x 16 + month).
    static constexpr MonthKey of(int value)
    {
        MonthKey key;
        key.value_ = value;
        return key;
    }

    constexpr int value() const { return value_; }
    constexpr int year() const { return value_ >> 4; }
    constexpr int month() const { return value_ & 15; }
    // Month index, (year - 1900) x 12 + month.
    constexpr int index() const { return MonthIndex(year(), month()); }
    // The key moved by a number of months (either sign), the month kept in 1-12.
    constexpr MonthKey plus(int months) const
    {
        const int total = year() * 12 + (month() - 1) + months;
        const int y = total >= 0 ? total / 12 : -((-total + 11) / 12);
        return MonthKey(y, total - y * 12 + 1);
    }
    constexpr MonthKey next() const { return plus(1); }
    constexpr MonthKey previous() const { return plus(-1); }
    // Months from this key to the other (positive when the other is later).
    constexpr int monthsTo(MonthKey other) const
    {
        return other.index() - index();
    }
    friend constexpr bool operator==(MonthKey, MonthKey) = default;
    friend constexpr auto operator<=>(MonthKey, MonthKey) = default;

private:
    int value_ = 0;
};
// Days of a month (1-12); February has 29 days in every year divisible by 4.
int DaysInMonth(int year, int month);
// "Январь" ... "Декабрь"; empty outside 1-12.
QString MonthName(int month);
// The month of the key as a sentence names it: "январь 2027 года".
QString MonthOfYearText(MonthKey key);

// ---------------------------------------------------------------- PackedDate

// u16: day bits 0-4, month bits 5-8, two-digit year (year % 100) bits 9-15;
// 0 = no date.
struct PackedDate {
    std::uint16_t value = 0;

    constexpr PackedDate() = default;
    constexpr explicit PackedDate(std::uint16_t raw) : value(raw) {}
    // Packs day 1-31, month 1-12 and a year (stored as year % 100); 0 when the
    // day or month is outside its range or the year is negative.
    static PackedDate make(int day, int month, int year);
    // Packs the fields without a range check, day and month cut to their bit
    // widths (for values read back from the base as they were stored).
    static constexpr PackedDate pack(int day, int month, int year)
    {
        return PackedDate(static_cast<std::uint16_t>((day & 31) | ((month & 15) << 5) | ((year % 100) << 9)));
    }
    // Packs a QDate; 0 for an invalid date.
    static PackedDate fromQDate(const QDate& date);

    constexpr int day() const { return value & 0x1F; }
    constexpr int month() const { return (value >> 5) & 0x0F; }
    // The raw year field (two-digit year; 100-127 for years stored as year - 1900).
    constexpr int yearField() const { return value >> 9; }
    constexpr bool isNull() const { return value == 0; }
    // Full year through the sliding window (WidenTwoDigitYear).
    int fullYear() const { return WidenTwoDigitYear(yearField()); }
    // Full year through an explicit pivot (yy < pivot -> 20yy).
    int fullYear(int pivot) const { return WidenTwoDigitYear(yearField(), pivot); }
    // The date with the default window; invalid when null or not a real date.
    QDate toQDate() const;
    // The date with an explicit pivot.
    QDate toQDate(int pivot) const;

    friend constexpr bool operator==(PackedDate a, PackedDate b) { return a.value == b.value; }
};
static_assert(sizeof(PackedDate) == 2);

// ---------------------------------------------------------------- typed dates

// The full years that a field can hold.
struct YearSpan {
    int first = 0;
    int last = 0;
    constexpr bool holds(int year) const { return year >= first && year <= last; }
};
// The years a two-digit year field stands for through the sliding window:
// from 79 years before to 20 years after the reference year (2026: 1947-2046).
YearSpan TwoDigitYearSpan();
// "Год может быть от <first> до <last>", the line that a refusal of a date
// outside the field's years adds.
QString YearSpanText(YearSpan years);

// What a date or a month typed by the user reads as.
enum class TypedDateRead {
    Empty, // nothing typed (blanks only): no date
    Date, // day, month and year hold the date
    NotADate, // not in a date's form, or no such day
    YearOutside, // a date whose four-digit year the field cannot hold
};
struct TypedDate {
    TypedDateRead read = TypedDateRead::Empty;
    int day = 0; // 1 for a month
    int month = 0;
    int year = 0; // the full year
};
// The one rule for dates typed into any field: blanks around the text are
// dropped, and the rest is, in full, "Д.М.ГГГГ" or "Д.М.ГГ" (day and month of
// one or two digits) or digits alone, "ДДММГГГГ" or "ДДММГГ" ("20071985" is
// 20.07.1985). A two-digit year goes through the sliding window; a four-digit
// year is kept as typed and must lie within the field's years. Anything else
// is refused: three or five year digits, text after the date ("10.01.2030abc",
// "10.01.30 12:00"), a day the month does not have.
TypedDate ReadTypedDate(QStringView text, YearSpan years);
// The same rule for month fields: "М.ГГГГ", "М.ГГ", "ММГГГГ" or "ММГГ"; a full
// date typed into a month field ("10.01.2030") is refused.
TypedDate ReadTypedMonth(QStringView text, YearSpan years);

// "%u.%u.%u" day, month, year -> PackedDate (year kept as year % 100, so 2011
// and 11 give the same); 0 unless three numbers read with a month 1-12 and a
// day that the month has (February has 29 days when the two-digit year is
// divisible by 4, as every full year ending in it is). For date texts of
// files; a date typed by the user is read by ReadDateDMY.
PackedDate ParseDateDMY(QStringView text);
// A date kept as text in a record (the passport's date of issue, the
// disability certificate's): "d.m.yy" as the card stores a typed date,
// "dd.mm.yyyy" as imported bases and the demo hold it, or any other form of
// ReadTypedDate; a two-digit year through the sliding window, a four-digit
// one as it stands. Null for an empty text and for one that is no date.
// Every writer of such a date reads it here and gives it the form its file asks.
QDate ReadDateText(QStringView text);
// Such a date as the 8-character fields take it, "dd.mm.yy"; a text that is
// no date is kept as it stands.
QString ShortDateText(const QString& text);

// What a date typed into a packed date field gives (ReadTypedDate within
// TwoDigitYearSpan): the date, or a refusal. An empty text is no date and no
// refusal.
struct DateRead {
    PackedDate date;
    bool refused = false;
};
DateRead ReadDateDMY(QStringView text);
// Whether a period's start comes after its end (both set); such a period is
// refused. Dates compare through the sliding window of their two-digit years.
bool IsPeriodReversed(PackedDate start, PackedDate end);
// The messages of refused dates: "Некорректная дата в поле "<field>": <text>"
// (with YearSpanText on a second line when the text is a date whose year a
// packed date cannot hold) and "Дата начала позже даты окончания: <start> -
// <end>".
QString DateRefusedText(const QString& field, QStringView text);
QString PeriodRefusedText(PackedDate start, PackedDate end);
// "%02u.%02u.%02u" day, month, two-digit year; empty for 0 or month 0.
QString FormatDateDMY(PackedDate date);

// ---------------------------------------------------------------- PackedMonthYear

// u16: month bits 0-3, full year bits 4-15 (year x 16 + month); 0 = none.
struct PackedMonthYear {
    std::uint16_t value = 0;

    constexpr PackedMonthYear() = default;
    constexpr explicit PackedMonthYear(std::uint16_t raw) : value(raw) {}
    // year x 16 + month (no range check; callers pass a month 1-12).
    static constexpr PackedMonthYear make(int year, int month)
    {
        return PackedMonthYear(static_cast<std::uint16_t>(year * 16 + month));
    }

    constexpr int month() const { return value & 0x0F; }
    constexpr int year() const { return value >> 4; }
    // Empty when the value or its month part is 0.
    constexpr bool isNull() const { return value == 0 || month() == 0; }
    // (year - 1900) x 12 + month.
    constexpr int monthIndex() const { return MonthIndex(year(), month()); }

    friend constexpr bool operator==(PackedMonthYear a, PackedMonthYear b) { return a.value == b.value; }
};
static_assert(sizeof(PackedMonthYear) == 2);

// A typed month (ReadTypedMonth, years 1900-4095) into year x 16 + month: a
// two-digit year through the sliding window, a four-digit one as it stands
// ("12.27" and "12.2027" are December 2027, "12.1927" December 1927). An
// empty text leaves an empty value unchanged and clears a set one; a text
// that is not a month ("13.09", "10.01.2030", "5.203") stores 0. 1 when
// changed.
int ParseMonthYear(QStringView text, std::uint16_t& monthYear);
inline int ParseMonthYear(QStringView text, PackedMonthYear& v) { return ParseMonthYear(text, v.value); }
// The same with the month and the year in two texts ("03" and "2009").
int ParseMonthYearParts(QStringView monthText, QStringView yearText, std::uint16_t& target);
// "%.2d.%.2d" of month and (year - 1900) mod 100 (March 2009 -> "03.09"); empty
// when the value or its month is 0.
QString FormatMonthYear(PackedMonthYear v);

// ---------------------------------------------------------------- day.month

// A day of the year typed as "Д.М" by the rule of typed dates: blanks around
// the text dropped, then, in full, day and month of one or two digits with a
// point between them ("8.03", "08.3") or four digits alone ("0803"); the day
// one that the month has in a leap year ("29.02" reads, "30.02" and "32.01"
// do not). Empty for blanks only; anything else is NotADate: a comma
// ("10,01"), a year ("10.01.2030"), text after the day ("1.1abc").
TypedDate ReadTypedDayMonth(QStringView text);
// A typed day and month into day x 256 + month (a holiday word); an empty text
// gives 0. A text ReadTypedDayMonth refuses returns kFieldRefused and leaves
// the field. 1 when changed.
int ParseDayMonth(QStringView text, std::uint16_t& field);

// ---------------------------------------------------------------- typed numbers

// What a parser returns when it refuses a text: the field keeps its value.
// The typed numbers themselves are read in values/TypedFigure.h.
inline constexpr int kFieldRefused = -1;

// ---------------------------------------------------------------- Kopecks

// A double holding a count of kopecks; negative amounts are reversals.
using Kopecks = double;

// Roubles held in a double to kopecks: ceil(v x 100 - 0.5), i.e. the nearest
// kopeck with an exact half going down (also for negatives). Typed roubles
// are read from their text by ReadTypedUnits instead.
double KopecksFromRoubles(double roubles);
// "%.2f" of kopecks / 100 (rounded through text); empty text for 0.
QString FormatMoney(Kopecks kopecks);
// Roubles typed by the user, read as kopecks by ReadTypedUnits (an exact half
// of a kopeck goes down: "0,285" is 28 kopecks, "0,2851" 29, "-0,125" -13); an
// empty text is 0. A refused text, or an amount beyond kMaxMoneyRoubles either way,
// returns kFieldRefused and leaves the field as it was. 1 when the stored
// value changed.
int ParseMoneyKopecks(QStringView text, double& field);
// The message of an amount typed into the named field or cell when
// ParseMoneyKopecks refuses it; empty when it reads.
QString MoneyTextRefusal(const QString& field, QStringView text);

// ---------------------------------------------------------------- plain numbers

// These readers serve stored texts and the rows a screen's columns have read
// already, not text as typed: a field a person types into is read by its
// input's kind (ReadFigure, CTypedEdit), a grid cell by its column's
// (GridCellUnits), and the savers take that reading.
// A whole number read in full (ReadTypedDecimal, no fraction); a text that
// is no whole number ("12x", "12,75", "1e3") or a value other than 0 outside
// [min, max] returns kFieldRefused and leaves the field; an empty text is 0,
// which every field takes; stores and returns 1 only when the value differs
// from the field's.
int ParseIntField(QStringView text, std::int32_t& field, int min, int max);
// The same without a range; 1 when changed.
int ParseIntFieldChanged(QStringView text, std::int32_t& field);
// A number read by ReadTypedDecimal (empty text gives 0); a refused text
// returns kFieldRefused and leaves the field. 1 when changed.
int ParseDoubleField(QStringView text, double& field);
// "%d" of the number; empty text for 0.
QString FormatIntField(int n);

// ---------------------------------------------------------------- Packed12Digits

// A 12-digit account-subaccount-analytics code held as three u16 words, each
// group of four digits in bits 0-13; bits 14-15 belong to other fields and are
// always kept. Value = g1 x 10^8 + g2 x 10^4 + g3.
constexpr std::uint16_t kDigitGroupMask = 0x3FFF;
constexpr std::uint64_t kPacked12DigitsMax = 999999999999ULL;

struct Packed12Digits {
    std::uint16_t ch = 0; // first group (account)
    std::uint16_t sc = 0; // second group (subaccount)
    std::uint16_t au = 0; // third group (analytics)
};

// The 12-digit value of the three words (their bits 0-13).
std::uint64_t Packed12DigitsValue(std::uint16_t ch, std::uint16_t sc, std::uint16_t au);
inline std::uint64_t Packed12DigitsValue(const Packed12Digits& p) { return Packed12DigitsValue(p.ch, p.sc, p.au); }
// Splits a value of at most 12 digits into the three words (bits 14-15 kept).
void SetPacked12Digits(std::uint64_t value, std::uint16_t& ch, std::uint16_t& sc, std::uint16_t& au);
// "%012I64u" of the value; empty when all three groups are 0.
QString FormatPacked12Digits(std::uint16_t ch, std::uint16_t sc, std::uint16_t au);
inline QString FormatPacked12Digits(const Packed12Digits& p) { return FormatPacked12Digits(p.ch, p.sc, p.au); }
// "%I64u" into the three groups (bits 14-15 kept); empty or unreadable text,
// a negative number or one of more than 12 digits stores 0. 1 when the groups
// changed.
int ParsePacked12Digits(QStringView text, std::uint16_t& ch, std::uint16_t& sc, std::uint16_t& au);
inline int ParsePacked12Digits(QStringView text, Packed12Digits& p)
{
    return ParsePacked12Digits(text, p.ch, p.sc, p.au);
}

// ---------------------------------------------------------------- 3-byte fixed amount

// A tariff of 24 bits: byte b, then u16 w. Whole roubles (14 bits) =
// (b & 31) x 512 + (w & 511); thousandths of a rouble (10 bits) =
// (b >> 5) x 128 + (w >> 9). In memory b and w are separate; in files they are
// 3 consecutive bytes (toBytes/fromBytes).
struct PackedFixed3 {
    std::uint8_t b = 0;
    std::uint16_t w = 0;

    static constexpr int kMaxRoubles = 16383;

    // Packs roubles 0-16383 and thousandths 0-1023 (higher bits are cut).
    static constexpr PackedFixed3 make(int roubles, int thousandths)
    {
        PackedFixed3 p;
        p.b = static_cast<std::uint8_t>(((roubles >> 9) & 31) | (((thousandths >> 7) & 7) << 5));
        p.w = static_cast<std::uint16_t>((roubles & 511) | ((thousandths & 127) << 9));
        return p;
    }
    constexpr int roubles() const { return (b & 31) * 512 + (w & 511); }
    constexpr int thousandths() const { return (b >> 5) * 128 + (w >> 9); }
    constexpr bool isZero() const { return b == 0 && w == 0; }
    // roubles + thousandths / 1000.
    double value() const { return roubles() + thousandths() / 1000.0; }
    // roubles x 100 + thousandths / 10 (tenths of a kopeck kept).
    double kopecks() const { return roubles() * 100.0 + thousandths() / 10.0; }
    // The three bytes b, w low, w high.
    void toBytes(char* out3) const;
    static PackedFixed3 fromBytes(const char* in3);

    friend constexpr bool operator==(PackedFixed3 x, PackedFixed3 y) { return x.b == y.b && x.w == y.w; }
};

// "%.3f" of roubles + thousandths / 1000; empty for 0.
QString FormatPackedFixed3(PackedFixed3 v);
// Roubles typed by the user, read as thousandths t by ReadTypedUnits (an
// exact half of a thousandth goes down: "1,0005" is 1.000, "1,00051" 1.001),
// roubles = t / 1000, thousandths = t % 1000, so the carry is kept (1.9996 ->
// 2.000). An empty text stores 0; a refused text, a
// negative value or more than 16,383 roubles returns kFieldRefused and leaves
// the field. 1 when changed.
int ParseFloatField(QStringView text, PackedFixed3& field);

// ---------------------------------------------------------------- minutes

// A time amount held as a count of minutes (u16 in records), typed and shown
// as "hours,minutes" ("%d,%d", minutes not zero-padded: "7,5" = 7 h 5 min).
using PackedMinutes = std::uint16_t;

// "%d,%d" of minutes / 60 and minutes % 60; empty for 0.
QString FormatHoursMinutes(int minutes);

// What the "%d,%d" readers make of a text before storing it.
struct HoursMinutes {
    int hours = 0;
    int minutes = 0;
    bool refused = false; // the field keeps its value
};
// "%d,%d" -> hours x 60 + minutes, minutes of 60 or more count as 0, a missing
// minute part is 0; hours above maxHours, or equal to it with minutes, and
// negative hours are refused (maxHours < 0: no maximum). Empty or unreadable
// text gives 0.
HoursMinutes ReadHoursMinutesLimited(QStringView text, int maxHours);
// ParseHoursMinutesLimited into a total of minutes: refused (kept) as above
// and when the total does not fit 16 bits; 1 when changed.
int ParseHoursMinutesLimited(QStringView text, int maxHours, PackedMinutes& minutes);
// The same without a maximum.
int ParseMinutesTotal(QStringView text, PackedMinutes& minutes);
// "%d,%d" into two values: minutes of 60 or more (or negative) count as 0;
// hours above maxHours, or equal to it with minutes, give 0 hours; negative
// hours give 0. Empty or unreadable text gives 0, 0.
HoursMinutes ReadHoursMinutesSplit(QStringView text, int maxHours);
// "%d,%d" with the carry: minutes of 61 or more add minutes / 60 to the hours
// and keep minutes % 60; exactly 60 stays 60. Negative numbers count as 0.
HoursMinutes ReadHoursMinutesNormalised(QStringView text);

// ParseHoursMinutes (text, maximum hours, hours field, minutes field) by the
// rules of ReadHoursMinutesSplit; each field stored when different; 1 when
// either changed.
template <class H, class M>
int ParseHoursMinutes(QStringView text, int maxHours, H& hours, M& minutes)
{
    const HoursMinutes v = ReadHoursMinutesSplit(text, maxHours);
    int changed = 0;
    if (hours != static_cast<H>(v.hours)) {
        hours = static_cast<H>(v.hours);
        changed = 1;
    }
    if (minutes != static_cast<M>(v.minutes)) {
        minutes = static_cast<M>(v.minutes);
        changed = 1;
    }
    return changed;
}
// ParseHoursMinutesNormalised (text, hours field, minutes field) by the rules
// of ReadHoursMinutesNormalised; 1 when either field changed.
template <class H, class M>
int ParseHoursMinutesNormalised(QStringView text, H& hours, M& minutes)
{
    const HoursMinutes v = ReadHoursMinutesNormalised(text);
    int changed = 0;
    if (hours != static_cast<H>(v.hours)) {
        hours = static_cast<H>(v.hours);
        changed = 1;
    }
    if (minutes != static_cast<M>(v.minutes)) {
        minutes = static_cast<M>(v.minutes);
        changed = 1;
    }
    return changed;
}
// "%d,%d" hours and a fraction (the digits after the comma as a decimal
// fraction: "7,25" = 7.25 h) stored in tenths of an hour rounded up (73);
// more than 400 hours or a negative value is refused (field kept); empty or
// unreadable text gives 0. 1 when changed.
int ParseScheduleHours(QStringView text, int& tenths);
// "%d.%d" with the digits after the point (or a comma: the two are one
// decimal mark) a fraction of two places ("13.5" = 13 and 50 hundredths,
// "13,05" = 13 and 5, "2" = 2 and 0); an empty text is 0 and 0. False
// (nothing read, refused) for a text that is no number, more than two digits
// or a sign after the mark, or trailing characters. The separator given is
// the field's own; *fractionTyped tells whether digits followed the mark.
bool ReadWholeAndHundredths(QStringView text, int& whole, int& hundredths, char separator = '.',
                            bool* fractionTyped = nullptr);

// ---------------------------------------------------------------- texts

// Copies text into a wide field of `capacity` characters (terminator
// included) when they differ; a longer text is cut to capacity - 1
// characters. 1 when it copied, 0 when they were equal.
int StoreTextIfChanged(const QString& text, QString& field, int capacity);
// The same for a NUL-terminated UTF-16 buffer of `capacity` units.
int StoreTextIfChanged(const QString& text, char16_t* field, int capacity);

// ---------------------------------------------------------------- dates and times

struct YearsMonthsDays {
    int years = 0;
    int months = 0;
    int days = 0;
};
// Whole years, months and days from start to end (a length of service): the
// most whole months that fit (a day past a month's end counting as its last
// day), then the remaining days; the same as borrowing the length of the month
// before the end date's month for a negative day difference. Zeros when a date
// is invalid or end is before start.
YearsMonthsDays DateDiff(const QDate& start, const QDate& end);
// Days of the month of a time value (February: 29 in years divisible by 4).
int DaysInMonthOfTime(const QDateTime& time);
// The time formatted like strftime in Russian (%a %A %b %B %c %d %H %I %j %m
// %M %p %S %U %w %x %X %y %Y %% and the "#" flag that drops leading zeros);
// at most 128 characters.
QString FormatTime(const QDateTime& time, const QString& format);

// ---------------------------------------------------------------- field help

// One entry of a pick-list table: the description text and the code text
// (UTF-8 literals); a table ends with an entry whose text is null. A blank code
// stands for an empty field.
struct PickPair {
    const char* text;
    const char* code;
};
// One help line "code|text" per pair, in table order; empty for an empty table.
QStringList BuildPickListFromPairs(const PickPair* pairs);

} // namespace kalvor
