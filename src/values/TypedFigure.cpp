#include "values/TypedFigure.h"

#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <utility>

namespace kalvor {

// ---------------------------------------------------------------- typed numbers

namespace {

bool isDigitChar(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

bool isGroupBlank(QChar c) { return c == QLatin1Char(' ') || c == QChar(0x00A0) || c == QChar(0x202F); }

// The whole part at pos: digits, or groups of three digits after single
// blanks behind a first group of one to three. Appends the digits; false when
// a blank stands where no group of three follows it.
bool readWholePart(QStringView text, qsizetype& pos, std::string& digits)
{
    qsizetype group = 0;
    while (pos < text.size() && isDigitChar(text[pos])) {
        digits += char(text[pos++].unicode());
        ++group;
    }
    while (pos < text.size() && isGroupBlank(text[pos])) {
        if (group == 0 || group > 3)
            return false;
        qsizetype next = pos + 1;
        qsizetype count = 0;
        while (next < text.size() && isDigitChar(text[next]) && count < 4) {
            ++next;
            ++count;
        }
        if (count != 3)
            return false;
        for (qsizetype i = pos + 1; i < next; ++i) digits += char(text[i].unicode());
        pos = next;
        group = 3;
    }
    return true;
}

// A typed number's decimal text: its sign, whole digits and fraction digits.
struct DecimalText {
    bool negative = false;
    std::string whole;
    std::string fraction;
};

// The most significant digits a typed number may have: every number of up to
// 15 digits reads back from a double as typed.
constexpr std::size_t kMaxSignificantDigits = 15;

std::size_t significantDigits(const DecimalText& number)
{
    const std::string digits = number.whole + number.fraction;
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return 0;
    // Zeros ending the fraction say nothing; those ending the whole part do.
    std::size_t end = digits.size();
    while (end > number.whole.size() && digits[end - 1] == '0') --end;
    return end > first ? end - first : 0;
}

TypedDecimal readDecimalText(QStringView text, DecimalText& number)
{
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return TypedDecimal::Empty;
    qsizetype pos = 0;
    if (t[pos] == QLatin1Char('+') || t[pos] == QLatin1Char('-'))
        number.negative = t[pos++] == QLatin1Char('-');
    if (!readWholePart(t, pos, number.whole))
        return TypedDecimal::Refused;
    if (pos < t.size() && (t[pos] == QLatin1Char('.') || t[pos] == QLatin1Char(','))) {
        for (++pos; pos < t.size() && isDigitChar(t[pos]); ++pos) number.fraction += char(t[pos].unicode());
    }
    if (number.whole.empty() && number.fraction.empty())
        return TypedDecimal::Refused;
    if (pos != t.size() || significantDigits(number) > kMaxSignificantDigits)
        return TypedDecimal::Refused;
    return TypedDecimal::Number;
}

// The double of a string of digits with an optional point; false when it is
// not finite.
bool decimalValue(const std::string& digits, double& value)
{
    const char* end = digits.data() + digits.size();
    const auto res = std::from_chars(digits.data(), end, value);
    return res.ec == std::errc() && res.ptr == end && std::isfinite(value);
}

} // namespace

TypedDecimal ReadTypedDecimal(QStringView text, double& value)
{
    value = 0;
    DecimalText number;
    const TypedDecimal read = readDecimalText(text, number);
    if (read != TypedDecimal::Number)
        return read;
    double magnitude = 0;
    if (!decimalValue((number.whole.empty() ? "0" : number.whole) + '.' + number.fraction + '0', magnitude))
        return TypedDecimal::Refused;
    value = number.negative ? -magnitude : magnitude;
    return TypedDecimal::Number;
}

TypedDecimal ReadTypedUnits(QStringView text, int decimals, double& units)
{
    units = 0;
    DecimalText number;
    const TypedDecimal read = readDecimalText(text, number);
    if (read != TypedDecimal::Number)
        return read;
    std::string fraction = number.fraction;
    fraction.resize(std::max(fraction.size(), std::size_t(decimals) + 1), '0');
    // The nearest unit, from the decimal digits; an exact half goes down (to
    // the smaller number, also for negatives), as typed amounts always have.
    const std::string dropped = fraction.substr(std::size_t(decimals));
    const bool pastHalf =
        dropped[0] > '5' || (dropped[0] == '5' && dropped.find_first_not_of('0', 1) != std::string::npos);
    const bool exactHalf = dropped[0] == '5' && !pastHalf;
    const bool up = pastHalf || (exactHalf && number.negative);
    double magnitude = 0;
    if (!decimalValue('0' + number.whole + fraction.substr(0, std::size_t(decimals)), magnitude))
        return TypedDecimal::Refused;
    magnitude += up ? 1 : 0;
    units = number.negative && magnitude != 0 ? -magnitude : magnitude;
    return TypedDecimal::Number;
}

QString NumberRefusedText(const QString& field, QStringView text)
{
    return QStringLiteral("Некорректное число в поле \"%1\": %2").arg(field, text.trimmed().toString());
}

bool IsMoneyInRange(double kopecks) { return std::isfinite(kopecks) && std::fabs(kopecks) <= kMaxMoneyRoubles * 100; }

// ---------------------------------------------------------------- figures of inputs

namespace {

FigureReading Refused(QString message) { return {false, 0, std::move(message)}; }

QString RangeText(double units, int decimals)
{
    return QString::number(units / std::pow(10.0, decimals), 'f', decimals);
}

// The bounds of the field's range in units, rounded: 6553.59 is 655359
// hundredths, not a hair below.
std::pair<double, double> UnitBounds(const FigureRule& rule)
{
    const double scale = std::pow(10.0, rule.decimals);
    return {std::round(rule.min * scale), std::round(rule.max * scale)};
}

// Whether the value, in units, lies within the field's range (none when min == max).
bool UnitsInRange(const FigureRule& rule, double units)
{
    const auto [low, high] = UnitBounds(rule);
    return rule.min == rule.max || (units >= low && units <= high);
}

// The value, in units, against the field's range.
FigureReading WithinRange(const QString& field, const FigureRule& rule, QStringView text, double units)
{
    if (UnitsInRange(rule, units))
        return {true, units, QString()};
    const auto [low, high] = UnitBounds(rule);
    return Refused(
        QStringLiteral("Значение поля \"%1\" должно быть от %2 до %3: %4")
            .arg(field, RangeText(low, rule.decimals), RangeText(high, rule.decimals), text.trimmed().toString()));
}

FigureReading ReadWhole(const QString& field, const FigureRule& rule, QStringView text)
{
    double value = 0;
    if (ReadTypedDecimal(text, value) == TypedDecimal::Refused)
        return Refused(NumberRefusedText(field, text));
    if (value != std::floor(value))
        return Refused(QStringLiteral("В поле \"%1\" вводится целое число: %2").arg(field, text.trimmed().toString()));
    return WithinRange(field, rule, text, value);
}

// The digits typed after the separator (a point or a comma).
qsizetype FractionDigits(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    const qsizetype separator = std::max(trimmed.lastIndexOf(QLatin1Char('.')), trimmed.lastIndexOf(QLatin1Char(',')));
    return separator < 0 ? 0 : trimmed.size() - separator - 1;
}

FigureReading ReadUnits(const QString& field, const FigureRule& rule, QStringView text)
{
    double units = 0;
    if (ReadTypedUnits(text, rule.decimals, units) == TypedDecimal::Refused ||
        (rule.kind != FigureKind::Whole && rule.kind != FigureKind::Count && FractionDigits(text) > rule.decimals))
        return Refused(NumberRefusedText(field, text));
    if (rule.kind == FigureKind::Money && !IsMoneyInRange(units))
        return Refused(
            QStringLiteral("Сумма в поле \"%1\" больше допустимой: %2").arg(field, text.trimmed().toString()));
    return WithinRange(field, rule, text, units);
}

// "hours" or "hours,minutes" (a point also separates), digits only.
FigureReading ReadHours(const QString& field, const FigureRule& rule, QStringView text)
{
    const QString trimmed = text.trimmed().toString();
    const qsizetype separator = trimmed.indexOf(QRegularExpression(QStringLiteral("[,.]")));
    const QString hoursText = separator < 0 ? trimmed : trimmed.left(separator);
    const QString minutesText = separator < 0 ? QString() : trimmed.mid(separator + 1);
    // The whole part must match: "$" alone would let a pasted line end through.
    static const QRegularExpression digits(QRegularExpression::anchoredPattern(QStringLiteral("[0-9]{0,5}")));
    if (trimmed.isEmpty())
        return {true, 0, QString()};
    if (!digits.match(hoursText).hasMatch() || !digits.match(minutesText).hasMatch() || minutesText.size() > 2 ||
        (hoursText.isEmpty() && minutesText.isEmpty()))
        return Refused(NumberRefusedText(field, text));
    const int hours = hoursText.toInt();
    const int minutes = minutesText.toInt();
    const int maxHours = int(rule.max);
    constexpr int kMostMinutes = 0xFFFF; // what a field of minutes holds
    if (minutes >= 60 || (maxHours >= 0 && (hours > maxHours || (hours == maxHours && minutes > 0))) ||
        hours * 60 + minutes > kMostMinutes)
        return Refused(QStringLiteral("Некорректное время в поле \"%1\" (часы,минуты): %2").arg(field, trimmed));
    return {true, double(hours * 60 + minutes), QString()};
}

FigureReading ReadText(const QString& field, const FigureRule& rule, QStringView text)
{
    if (rule.max > 0 && text.size() > qsizetype(rule.max))
        return Refused(QStringLiteral("В поле \"%1\" не более %2 знаков: %3").arg(field).arg(int(rule.max)).arg(text));
    return {true, double(text.size()), QString()};
}

} // namespace

FigureReading ReadFigure(const QString& field, const FigureRule& rule, QStringView text)
{
    switch (rule.kind) {
    case FigureKind::Whole:
    case FigureKind::Count: return ReadWhole(field, rule, text);
    case FigureKind::Percent:
    case FigureKind::Money:
    case FigureKind::Decimal: return ReadUnits(field, rule, text);
    case FigureKind::HoursMinutes: return ReadHours(field, rule, text);
    case FigureKind::Text: return ReadText(field, rule, text);
    }
    return Refused(NumberRefusedText(field, text));
}

bool FigureHoldsUnits(const FigureRule& rule, double units)
{
    if (!std::isfinite(units) || (rule.kind == FigureKind::Money && !IsMoneyInRange(units)))
        return false;
    return UnitsInRange(rule, units);
}

double FigureUnitsOr(const FigureRule& rule, QStringView text, double kept)
{
    const FigureReading reading = ReadFigure(QString(), rule, text);
    return reading.read ? reading.units : kept;
}

FigureReading ReadFigure(const QString& field, const FigureRule& rule, const BookCheck& book, QStringView text)
{
    FigureReading reading = ReadFigure(field, rule, text);
    if (!reading.read || !book.Checks() || rule.kind == FigureKind::Text || reading.units == 0)
        return reading;
    const auto number = (long long)reading.units;
    if (!book.holds(number))
        return Refused(QStringLiteral("В поле \"%1\" указан номер, которого нет в справочнике \"%2\": %3")
                           .arg(field, book.book, text.trimmed().toString()));
    if (book.isOfKind && !book.isOfKind(number))
        return Refused(QStringLiteral("В поле \"%1\" указан код, который не является %2: %3")
                           .arg(field, book.kind, text.trimmed().toString()));
    return reading;
}

std::optional<int> ReadCarriedHours(QStringView text, int maxHours)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,5})(?:[.,]([0-9]{0,2}))?$"));
    const QString trimmed = text.trimmed().toString();
    if (trimmed.isEmpty())
        return 0;
    const QRegularExpressionMatch match = form.match(trimmed);
    if (!match.hasMatch())
        return std::nullopt;
    const int minutes = match.captured(1).toInt() * 60 + match.captured(2).toInt();
    if (minutes / 60 > maxHours)
        return std::nullopt;
    return minutes;
}

QString InnRefusal(const QString& field, const QString& text)
{
    static const QRegularExpression kInn(QRegularExpression::anchoredPattern(QStringLiteral("([0-9]{10}|[0-9]{12})?")));
    if (kInn.match(text.trimmed()).hasMatch())
        return QString();
    return QStringLiteral("В поле \"%1\" вводится 10 цифр (организация) или 12 цифр (физическое лицо): %2")
        .arg(field, text.trimmed());
}

} // namespace kalvor
