#include "values/TypedFigure.h"

#include "values/Values.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace kalvor {

namespace {

FigureReading Refused(QString message) { return {false, 0, std::move(message)}; }

QString RangeText(double units, int decimals)
{
    return QString::number(units / std::pow(10.0, decimals), 'f', decimals);
}

// The value, in units, against the field's range (none when min == max).
FigureReading WithinRange(const QString& field, const FigureRule& rule, QStringView text, double units)
{
    // The bounds in units, rounded: 6553.59 is 655359 hundredths, not a hair below.
    const double scale = std::pow(10.0, rule.decimals);
    const double low = std::round(rule.min * scale), high = std::round(rule.max * scale);
    if (rule.min == rule.max || (units >= low && units <= high))
        return {true, units, QString()};
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
        ((rule.kind == FigureKind::Decimal || rule.kind == FigureKind::Money) && FractionDigits(text) > rule.decimals))
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
    static const QRegularExpression digits(QStringLiteral("^[0-9]{0,5}$"));
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

FigureReading ReadFigure(const QString& field, const FigureRule& rule, const BookCheck& book, QStringView text)
{
    FigureReading reading = ReadFigure(field, rule, text);
    if (!reading.read || !book.Checks() || rule.kind == FigureKind::Text || reading.units == 0 ||
        book.holds((long long)reading.units))
        return reading;
    return Refused(QStringLiteral("В поле \"%1\" указан номер, которого нет в справочнике \"%2\": %3")
                       .arg(field, book.book, text.trimmed().toString()));
}

} // namespace kalvor
