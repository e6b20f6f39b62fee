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
// keeps ParseMonthYear, the reader of month texts of files, out of them. The
// typed dates and months
// (ReadTypedDate, ReadTypedMonth, ReadTypedDayMonth, ReadDateDMY) are the
// typed kinds' own readings.
//
// Stored-text convention: an empty text is 0; a stored 0 shows as an empty
// field. A parser returns 1 when it changed the stored value, else 0. Whole
// numbers of files are read as scanf reads them (see CScan.h); amounts are
// formatted with the rounding of RoundText.h.
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
    // The date with the default window; invalid when null or not a real date.
    QDate toQDate() const;

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

// ---------------------------------------------------------------- Kopecks

// A double holding a count of kopecks; negative amounts are reversals.
using Kopecks = double;

// Roubles held in a double to kopecks: ceil(v x 100 - 0.5), i.e. the nearest
// kopeck with an exact half going down (also for negatives). Typed roubles
// are read from their text by ReadTypedUnits instead.
double KopecksFromRoubles(double roubles);
// "%.2f" of kopecks / 100 (rounded through text); empty text for 0.
QString FormatMoney(Kopecks kopecks);

// ---------------------------------------------------------------- plain numbers

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

// ---------------------------------------------------------------- 3-byte fixed amount

// A tariff of 24 bits: byte b, then u16 w. Whole roubles (14 bits) =
// (b & 31) x 512 + (w & 511); thousandths of a rouble (10 bits) =
// (b >> 5) x 128 + (w >> 9). A typed tariff is read as thousandths by its
// input's rule (a DecimalFigure of three places up to kMaxRoubles).
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
};

// "%.3f" of roubles + thousandths / 1000; empty for 0.
QString FormatPackedFixed3(PackedFixed3 v);

// ---------------------------------------------------------------- minutes

// "%d,%d" of minutes / 60 and minutes % 60 ("7,5" = 7 h 5 min, minutes not
// zero-padded); empty for 0. A typed time is read by its input's rule
// (HoursFigure, values/TypedFigure.h).
QString FormatHoursMinutes(int minutes);

// ---------------------------------------------------------------- texts

// Copies text into a wide field of `capacity` characters (terminator
// included) when they differ; a longer text is cut to capacity - 1
// characters. 1 when it copied, 0 when they were equal.
int StoreTextIfChanged(const QString& text, QString& field, int capacity);

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
