#include "grid/GridColumn.h"

#include "values/CScan.h"

#include <algorithm>
#include <cmath>

using namespace kalvor;

QString GridColumn::Name() const { return QString(title).replace(QLatin1Char('\n'), QLatin1Char(' ')).simplified(); }

GridColumn FigureColumn(QString title, FigureRule rule, BookCheck book)
{
    return {.title = std::move(title), .rule = rule, .book = std::move(book)};
}

GridColumn ShownColumn(QString title) { return {.title = std::move(title), .edited = false}; }

GridColumn MonthColumn(QString title, YearSpan years)
{
    GridColumn column{.title = std::move(title)};
    column.reads = [years](const QString& name, const QString& text) {
        const TypedDate typed = ReadTypedMonth(text, years);
        if (typed.read == TypedDateRead::Empty || typed.read == TypedDateRead::Date)
            return GridCellReading{true, text, QString()};
        QString message = QStringLiteral("Некорректный месяц в поле \"%1\": %2\nМесяц вводится как ММ.ГГГГ или ММ.ГГ")
                              .arg(name, text.trimmed());
        if (typed.read == TypedDateRead::YearOutside)
            message += QLatin1Char('\n') + YearSpanText(years);
        return GridCellReading{false, text, message};
    };
    return column;
}

namespace {

// "0." or "0.<anything>": a day 0, which clears a payment date.
bool DayZero(const QString& text)
{
    CScan scan(text);
    int day = -1;
    return scan.readInt(day) && day == 0 && scan.literal('.');
}

} // namespace

GridColumn DateColumn(QString title, YearSpan years, bool dayZeroClears)
{
    GridColumn column{.title = std::move(title)};
    column.reads = [years, dayZeroClears](const QString& name, const QString& text) {
        const TypedDate typed = ReadTypedDate(text, years);
        if (typed.read == TypedDateRead::Empty || typed.read == TypedDateRead::Date ||
            (dayZeroClears && DayZero(text)))
            return GridCellReading{true, text, QString()};
        QString message = QStringLiteral("Некорректная дата в поле \"%1\": %2").arg(name, text.trimmed());
        if (typed.read == TypedDateRead::YearOutside)
            message += QLatin1Char('\n') + YearSpanText(years);
        return GridCellReading{false, text, message};
    };
    return column;
}

GridColumn CarriedHoursColumn(QString title, int maxHours)
{
    GridColumn column{.title = std::move(title)};
    column.reads = [maxHours](const QString& name, const QString& text) {
        const std::optional<int> minutes = ReadCarriedHours(text, maxHours);
        if (!minutes)
            return GridCellReading{
                false, text,
                QStringLiteral("Некорректное время в поле \"%1\" (часы,минуты): %2").arg(name, text.trimmed())};
        if (text.trimmed().isEmpty())
            return GridCellReading{true, QString(), QString()};
        return GridCellReading{true, QStringLiteral("%1,%2").arg(*minutes / 60).arg(*minutes % 60), QString()};
    };
    return column;
}

QStringList GridColumnTitles(const std::vector<GridColumn>& columns)
{
    QStringList titles;
    for (const GridColumn& column : columns) titles << column.title;
    return titles;
}

namespace {

// The figure's plain text: a whole number as digits, an amount with the
// column's places, hours as "hours,minutes".
QString PlainFigure(const FigureRule& rule, double units)
{
    switch (rule.kind) {
    case FigureKind::Whole:
    case FigureKind::Count: return QString::number((long long)units);
    case FigureKind::Percent:
    case FigureKind::Money:
    case FigureKind::Decimal: return QString::number(units / std::pow(10.0, rule.decimals), 'f', rule.decimals);
    case FigureKind::HoursMinutes: return QStringLiteral("%1,%2").arg((long long)units / 60).arg((long long)units % 60);
    case FigureKind::Text: break;
    }
    return QString();
}

} // namespace

QString WidestFigureText(const GridColumn& column)
{
    const FigureRule& rule = column.rule;
    if (column.reads ||
        (rule.kind != FigureKind::Money && rule.kind != FigureKind::Percent && rule.kind != FigureKind::Decimal))
        return QString();
    const double most = rule.min == rule.max ? kMaxMoneyRoubles : std::max(std::abs(rule.min), std::abs(rule.max));
    const QString digits = PlainFigure(rule, std::round(most * std::pow(10.0, rule.decimals)));
    return rule.min < 0 || (rule.min == rule.max) ? QLatin1Char('-') + digits : digits;
}

GridCellReading ReadGridCell(const GridColumn& column, const QString& text)
{
    if (column.alsoTakes.contains(text.trimmed()))
        return {true, text.trimmed(), QString()};
    if (column.reads)
        return column.reads(column.Name(), text);
    const FigureReading reading = ReadFigure(column.Name(), column.rule, column.book, text);
    if (!reading.read)
        return {false, text, reading.refusal};
    if (column.rule.kind == FigureKind::Text || text.trimmed().isEmpty())
        return {true, column.rule.kind == FigureKind::Text ? text : QString(), QString()};
    return {true, PlainFigure(column.rule, reading.units), QString()};
}

GridCellReading ReadGridCell(const GridColumn& column, int row, const QString& text)
{
    GridCellReading reading = ReadGridCell(column, text);
    if (!reading.read || !column.rowRefusal)
        return reading;
    if (QString refusal = column.rowRefusal(row, reading.text); !refusal.isEmpty())
        return {false, text, refusal};
    return reading;
}

std::optional<double> GridCellUnits(const GridColumn& column, const QString& text)
{
    const FigureReading reading = ReadFigure(column.Name(), column.rule, column.book, text);
    return reading.read ? std::optional<double>(reading.units) : std::nullopt;
}
