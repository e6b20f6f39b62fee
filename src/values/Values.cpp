#include "values/Values.h"

#include "values/Clock.h"
#include "values/RoundText.h"

#include <cmath>

namespace kalvor {

// ---------------------------------------------------------------- years, months

int WidenTwoDigitYear(int yy)
{
    if (yy >= 100)
        return 1900 + yy;
    // The latest year ending in yy that is at most 20 years after the reference year.
    const int latest = Clock::referenceYear() + 20;
    const int year = latest - latest % 100 + yy;
    return year > latest ? year - 100 : year;
}

int DaysInMonth(int year, int month)
{
    static const int lengths[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && year % 4 == 0 ? 29 : lengths[month];
}

// ---------------------------------------------------------------- PackedDate

PackedDate PackedDate::make(int day, int month, int year)
{
    if (day < 1 || day > 31 || month < 1 || month > 12 || year < 0)
        return PackedDate();
    return pack(day, month, year);
}

PackedDate PackedDate::fromQDate(const QDate& date)
{
    if (!date.isValid() || date.year() < 0)
        return PackedDate();
    return make(date.day(), date.month(), date.year());
}

QDate PackedDate::toQDate() const { return isNull() ? QDate() : QDate(fullYear(), month(), day()); }


// ---------------------------------------------------------------- typed dates

YearSpan TwoDigitYearSpan()
{
    const int last = Clock::referenceYear() + 20;
    return {last - 99, last};
}

QString YearSpanText(YearSpan years)
{
    return QStringLiteral("Год может быть от %1 до %2").arg(years.first).arg(years.last);
}

namespace {

bool allDigits(QStringView text)
{
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return !text.isEmpty();
}

// The numbers of a typed date: "count" dotted parts (the leading ones of one
// or two digits, the year of two or four), or digits alone cut into two-digit
// leading parts and a year of two or four digits. False for anything else.
bool splitTypedDate(QStringView text, int count, QStringView* parts)
{
    if (!text.contains(QLatin1Char('.'))) {
        const qsizetype lead = 2 * (count - 1);
        if (!allDigits(text) || (text.size() != lead + 2 && text.size() != lead + 4))
            return false;
        for (int i = 0; i < count - 1; ++i) parts[i] = text.mid(2 * i, 2);
        parts[count - 1] = text.mid(lead);
        return true;
    }
    int found = 0;
    for (QStringView part : text.split(QLatin1Char('.'))) {
        if (found == count || !allDigits(part))
            return false;
        parts[found++] = part;
    }
    if (found != count)
        return false;
    for (int i = 0; i < count - 1; ++i)
        if (parts[i].size() > 2)
            return false;
    return parts[count - 1].size() == 2 || parts[count - 1].size() == 4;
}

TypedDate readTypedParts(QStringView text, bool monthOnly, YearSpan years)
{
    TypedDate typed;
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return typed;
    typed.read = TypedDateRead::NotADate;
    QStringView parts[3];
    const int count = monthOnly ? 2 : 3;
    if (!splitTypedDate(t, count, parts))
        return typed;
    const int day = monthOnly ? 1 : parts[0].toInt();
    const int month = parts[count - 2].toInt();
    const QStringView yearText = parts[count - 1];
    const int year = yearText.size() == 2 ? WidenTwoDigitYear(yearText.toInt()) : yearText.toInt();
    if (!QDate::isValid(year, month, day))
        return typed;
    typed.read = years.holds(year) ? TypedDateRead::Date : TypedDateRead::YearOutside;
    typed.day = day;
    typed.month = month;
    typed.year = year;
    return typed;
}

} // namespace

TypedDate ReadTypedDate(QStringView text, YearSpan years) { return readTypedParts(text, false, years); }

TypedDate ReadTypedMonth(QStringView text, YearSpan years) { return readTypedParts(text, true, years); }

QDate ReadDateText(QStringView text)
{
    const TypedDate typed = ReadTypedDate(text, YearSpan{1, 9999});
    return typed.read == TypedDateRead::Date ? QDate(typed.year, typed.month, typed.day) : QDate();
}

QString ShortDateText(const QString& text)
{
    const QDate date = ReadDateText(text);
    return date.isValid() ? date.toString(QStringLiteral("dd.MM.yy")) : text;
}

DateRead ReadDateDMY(QStringView text)
{
    DateRead read;
    const TypedDate typed = ReadTypedDate(text, TwoDigitYearSpan());
    if (typed.read == TypedDateRead::Date)
        read.date = PackedDate::make(typed.day, typed.month, typed.year);
    read.refused = typed.read == TypedDateRead::NotADate || typed.read == TypedDateRead::YearOutside;
    return read;
}

bool IsPeriodReversed(PackedDate start, PackedDate end)
{
    return !start.isNull() && !end.isNull() && start.toQDate() > end.toQDate();
}

QString DateRefusedText(const QString& field, QStringView text)
{
    QString message = QStringLiteral("Некорректная дата в поле \"%1\": %2").arg(field, text.trimmed().toString());
    const YearSpan years = TwoDigitYearSpan();
    if (ReadTypedDate(text, years).read == TypedDateRead::YearOutside)
        message += QLatin1Char('\n') + YearSpanText(years);
    return message;
}

QString PeriodRefusedText(PackedDate start, PackedDate end)
{
    return QStringLiteral("Дата начала позже даты окончания: %1 - %2").arg(FormatDateDMY(start), FormatDateDMY(end));
}

QString FormatDateDMY(PackedDate date)
{
    if (date.isNull() || date.month() == 0)
        return QString();
    return QString::asprintf("%02u.%02u.%02u", unsigned(date.day()), unsigned(date.month()),
                             unsigned(date.yearField() % 100));
}

// ---------------------------------------------------------------- PackedMonthYear

namespace {

// The years a month key holds.
constexpr YearSpan kMonthKeyYears{1900, 4095};

std::uint16_t typedMonthKey(QStringView text)
{
    const TypedDate typed = ReadTypedMonth(text, kMonthKeyYears);
    return typed.read == TypedDateRead::Date ? static_cast<std::uint16_t>(typed.year * 16 + typed.month) : 0;
}

int storeU16(std::uint16_t& field, std::uint16_t v)
{
    if (field == v)
        return 0;
    field = v;
    return 1;
}

} // namespace

int ParseMonthYear(QStringView text, std::uint16_t& monthYear) { return storeU16(monthYear, typedMonthKey(text)); }

QString FormatMonthYear(PackedMonthYear v)
{
    if (v.isNull())
        return QString();
    const int yy = ((v.year() - 1900) % 100 + 100) % 100;
    return QString::asprintf("%.2d.%.2d", v.month(), yy);
}

// ---------------------------------------------------------------- day.month

TypedDate ReadTypedDayMonth(QStringView text)
{
    TypedDate typed;
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return typed;
    typed.read = TypedDateRead::NotADate;
    QStringView parts[2];
    if (t.contains(QLatin1Char('.'))) {
        const qsizetype dot = t.indexOf(QLatin1Char('.'));
        parts[0] = t.left(dot);
        parts[1] = t.mid(dot + 1);
    } else if (t.size() == 4) {
        parts[0] = t.left(2);
        parts[1] = t.mid(2);
    }
    for (QStringView part : parts)
        if (!allDigits(part) || part.size() > 2)
            return typed;
    const int day = parts[0].toInt(), month = parts[1].toInt();
    if (!QDate::isValid(2000, month, day))
        return typed;
    typed.read = TypedDateRead::Date;
    typed.day = day;
    typed.month = month;
    typed.year = 2000;
    return typed;
}

// ---------------------------------------------------------------- Kopecks

double KopecksFromRoubles(double roubles) { return std::ceil(roubles * 100 - 0.5); }

QString FormatMoney(Kopecks kopecks)
{
    if (kopecks == 0)
        return QString();
    return FormatFixed(kopecks / 100, 2);
}

// ---------------------------------------------------------------- plain numbers

QString FormatIntField(int n) { return n == 0 ? QString() : QString::number(n); }

// ---------------------------------------------------------------- Packed12Digits

std::uint64_t Packed12DigitsValue(std::uint16_t ch, std::uint16_t sc, std::uint16_t au)
{
    return std::uint64_t(ch & kDigitGroupMask) * 100000000ULL + std::uint64_t(sc & kDigitGroupMask) * 10000ULL +
           std::uint64_t(au & kDigitGroupMask);
}

void SetPacked12Digits(std::uint64_t value, std::uint16_t& ch, std::uint16_t& sc, std::uint16_t& au)
{
    if (value > kPacked12DigitsMax)
        value = 0;
    const auto g1 = static_cast<std::uint16_t>(value / 100000000ULL);
    const auto g2 = static_cast<std::uint16_t>(value / 10000ULL % 10000ULL);
    const auto g3 = static_cast<std::uint16_t>(value % 10000ULL);
    ch = static_cast<std::uint16_t>((ch & ~kDigitGroupMask) | g1);
    sc = static_cast<std::uint16_t>((sc & ~kDigitGroupMask) | g2);
    au = static_cast<std::uint16_t>((au & ~kDigitGroupMask) | g3);
}

QString FormatPacked12Digits(std::uint16_t ch, std::uint16_t sc, std::uint16_t au)
{
    if ((ch & kDigitGroupMask) == 0 && (sc & kDigitGroupMask) == 0 && (au & kDigitGroupMask) == 0)
        return QString();
    return QString::asprintf("%012llu", static_cast<unsigned long long>(Packed12DigitsValue(ch, sc, au)));
}

// ---------------------------------------------------------------- 3-byte fixed amount

QString FormatPackedFixed3(PackedFixed3 v)
{
    if (v.isZero())
        return QString();
    return FormatFixed(v.roubles() + v.thousandths() / 1000.0, 3);
}

// ---------------------------------------------------------------- minutes

QString FormatHoursMinutes(int minutes)
{
    if (minutes == 0)
        return QString();
    return QString::asprintf("%d,%d", minutes / 60, minutes % 60);
}

// ---------------------------------------------------------------- texts

int StoreTextIfChanged(const QString& text, QString& field, int capacity)
{
    const QString cut = capacity > 0 ? text.left(capacity - 1) : QString();
    if (field == cut)
        return 0;
    field = cut;
    return 1;
}

// ---------------------------------------------------------------- dates and times

YearsMonthsDays DateDiff(const QDate& start, const QDate& end)
{
    YearsMonthsDays r;
    if (!start.isValid() || !end.isValid() || end < start)
        return r;
    // Whole months first: the most months that can be added to the start
    // without passing the end (a day past a month's end falls on its last
    // day); the rest are days. Where the day of the start exists in the month
    // before the end's month, this is the same as borrowing that month's
    // length for a negative day difference.
    int months = (end.year() - start.year()) * 12 + end.month() - start.month();
    if (start.addMonths(months) > end)
        --months;
    r.years = months / 12;
    r.months = months % 12;
    r.days = static_cast<int>(start.addMonths(months).daysTo(end));
    return r;
}

namespace {

const char* const kMonthNames[12] = {"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                                     "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
} // namespace

QString MonthName(int month)
{
    return month >= 1 && month <= 12 ? QString::fromUtf8(kMonthNames[month - 1]) : QString();
}

QString MonthOfYearText(MonthKey key)
{
    return QStringLiteral("%1 %2 года").arg(MonthName(key.month()).toLower()).arg(key.year());
}

namespace {

const char* const kMonthShort[12] = {"янв", "фев", "мар", "апр", "май", "июн",
                                     "июл", "авг", "сен", "окт", "ноя", "дек"};
// Sunday first, as tm_wday counts.
const char* const kDayNames[7] = {"воскресенье", "понедельник", "вторник", "среда", "четверг", "пятница", "суббота"};
const char* const kDayShort[7] = {"Вс", "Пн", "Вт", "Ср", "Чт", "Пт", "Сб"};

QString number(int v, int width, bool dropZeros)
{
    return dropZeros ? QString::number(v) : QStringLiteral("%1").arg(v, width, 10, QLatin1Char('0'));
}

} // namespace

QString FormatTime(const QDateTime& time, const QString& format)
{
    const QDate d = time.date();
    const QTime t = time.time();
    const int wday = d.dayOfWeek() % 7; // Sunday = 0
    QString out;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != QLatin1Char('%') || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        QChar f = format[++i];
        bool drop = false;
        if (f == QLatin1Char('#') && i + 1 < format.size()) {
            drop = true;
            f = format[++i];
        }
        switch (f.unicode()) {
        case 'a': out += QString::fromUtf8(kDayShort[wday]); break;
        case 'A': out += QString::fromUtf8(kDayNames[wday]); break;
        case 'b': out += QString::fromUtf8(kMonthShort[d.month() - 1]); break;
        case 'B': out += MonthName(d.month()); break;
        case 'c':
            out += number(d.day(), 2, drop) + QLatin1Char('.') + number(d.month(), 2, drop) + QLatin1Char('.') +
                   number(d.year(), 4, drop) + QLatin1Char(' ') + number(t.hour(), 2, drop) + QLatin1Char(':') +
                   number(t.minute(), 2, false) + QLatin1Char(':') + number(t.second(), 2, false);
            break;
        case 'd': out += number(d.day(), 2, drop); break;
        case 'H': out += number(t.hour(), 2, drop); break;
        case 'I': out += number(t.hour() % 12 == 0 ? 12 : t.hour() % 12, 2, drop); break;
        case 'j': out += number(d.dayOfYear(), 3, drop); break;
        case 'm': out += number(d.month(), 2, drop); break;
        case 'M': out += number(t.minute(), 2, drop); break;
        case 'p': out += t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"); break;
        case 'S': out += number(t.second(), 2, drop); break;
        case 'U': out += number((d.dayOfYear() + 6 - wday) / 7, 2, drop); break;
        case 'w': out += QString::number(wday); break;
        case 'x':
            out += number(d.day(), 2, drop) + QLatin1Char('.') + number(d.month(), 2, drop) + QLatin1Char('.') +
                   number(d.year(), 4, drop);
            break;
        case 'X':
            out += number(t.hour(), 2, drop) + QLatin1Char(':') + number(t.minute(), 2, false) + QLatin1Char(':') +
                   number(t.second(), 2, false);
            break;
        case 'y': out += number(d.year() % 100, 2, drop); break;
        case 'Y': out += QString::number(d.year()); break;
        case '%': out += QLatin1Char('%'); break;
        default:
            out += QLatin1Char('%');
            out += f;
            break;
        }
    }
    return out.left(127);
}

// ---------------------------------------------------------------- field help

QStringList BuildPickListFromPairs(const PickPair* pairs)
{
    QStringList lines;
    if (!pairs)
        return lines;
    for (const PickPair* p = pairs; p->text; ++p)
        lines << QString::fromUtf8(p->code ? p->code : "") + QLatin1Char('|') + QString::fromUtf8(p->text);
    return lines;
}

} // namespace kalvor
