#include "masterdata/DatedArchiveRows.h"

#include "values/Values.h"

#include <algorithm>

namespace kalvor::masterdata {

namespace {

using infobase::u16;

// "%02u.%02u" of the archive month and its two-digit year.
QString ArchiveMonthText(const WarDatEntry& entry)
{
    if (entry.mes == 0)
        return QString();
    return QString::asprintf("%02u.%02u", unsigned(entry.mes), unsigned(entry.god % 100));
}

// A typed month (ReadTypedMonth) into the archive month and its two-digit
// year; month 0 and year 0 unless it is a month whose year the two digits
// keep.
void ReadArchiveMonth(const QString& text, WarDatEntry& entry)
{
    const TypedDate typed = ReadTypedMonth(text, TwoDigitYearSpan());
    if (typed.read != TypedDateRead::Date)
        return;
    entry.mes = u16(typed.month);
    entry.god = u16(typed.year % 100);
}

QString Cell(const QStringList& cells, int column) { return column < cells.size() ? cells[column] : QString(); }

constexpr int kCodeColumn = 3, kSumColumn = 4, kContinuationColumn = 5;

// A figure cell read by its column's rule.
FigureReading ReadFigureCell(const QStringList& cells, int column)
{
    return ReadFigure(ColumnName(WarDatColumnTitle(column)), WarDatColumnRule(column), Cell(cells, column));
}

// The value of a figure cell; 0 (an empty field) when its column refuses it.
int FigureCell(const QStringList& cells, int column)
{
    const FigureReading reading = ReadFigureCell(cells, column);
    return reading.read ? int(reading.units) : 0;
}

} // namespace

QString WarDatColumnTitle(int column)
{
    static const char* const kTitles[kWarDatColumns] = {"Дата начала", "Дата окончания", "Месяц (из архива)",
                                                        "Код",         "Сумма",          "Продолжение"};
    return column >= 0 && column < kWarDatColumns ? QString::fromUtf8(kTitles[column]) : QString();
}

FigureRule WarDatColumnRule(int column)
{
    switch (column) {
    case kCodeColumn: return WholeFigure(0, kWarDatMaxCode);
    case kSumColumn: return SignedMoneyFigure(); // a negative amount is a reversal of an earlier month's
    case kContinuationColumn: return WholeFigure(0, 1);
    default: return TextFigure(0);
    }
}

QStringList WarDatRowTexts(const WarDatEntry& entry)
{
    return {FormatDateDMY(PackedDate(entry.start)),
            FormatDateDMY(PackedDate(entry.end)),
            ArchiveMonthText(entry),
            entry.kod == 0 ? QString() : QString::number(entry.kod),
            FormatMoney(entry.sum),
            entry.contin ? QStringLiteral("1") : QString()};
}

WarDatEntry ReadWarDatRow(const QStringList& cells)
{
    WarDatEntry entry;
    entry.start = ReadDateDMY(Cell(cells, 0)).date.value;
    entry.end = ReadDateDMY(Cell(cells, 1)).date.value;
    ReadArchiveMonth(Cell(cells, 2), entry);
    entry.kod = u16(FigureCell(cells, kCodeColumn));
    if (const FigureReading sum = ReadFigureCell(cells, kSumColumn); sum.read)
        entry.sum = sum.units;
    entry.contin = u16(FigureCell(cells, kContinuationColumn));
    return entry;
}

RowRefusal CheckWarDatRow(const QStringList& cells)
{
    DateRead dates[2];
    for (int column = 0; column < 2; ++column) {
        dates[column] = ReadDateDMY(Cell(cells, column));
        if (dates[column].refused)
            return {column, DateRefusedText(WarDatColumnTitle(column), Cell(cells, column))};
    }
    if (IsPeriodReversed(dates[0].date, dates[1].date))
        return {0, PeriodRefusedText(dates[0].date, dates[1].date)};
    WarDatEntry month;
    ReadArchiveMonth(Cell(cells, 2), month);
    if (month.mes == 0 && !Cell(cells, 2).trimmed().isEmpty())
        return {2, DateRefusedText(WarDatColumnTitle(2), Cell(cells, 2))};
    for (const int column : {kCodeColumn, kSumColumn, kContinuationColumn})
        if (const FigureReading reading = ReadFigureCell(cells, column); !reading.read)
            return {column, reading.refusal};
    return {};
}

bool IsUnfinishedWarDatRow(const QStringList& cells)
{
    const bool typed = std::any_of(cells.cbegin(), cells.cend(), [](const QString& cell) { return !cell.trimmed().isEmpty(); });
    const WarDatEntry entry = ReadWarDatRow(cells);
    return typed && (entry.kod == 0 || entry.start == 0 || entry.end == 0);
}

void RebuildWarDat(const std::vector<QStringList>& rows, WarDatBlock& block)
{
    block.clear();
    int count = 0;
    for (std::size_t row = 0; row < rows.size() && row < std::size_t(WarDatBlock::Capacity); ++row) {
        const WarDatEntry entry = ReadWarDatRow(rows[row]);
        if (entry.kod != 0)
            block.entries[std::size_t(count++)] = entry;
    }
    block.warDatKv = u16(count);
}

} // namespace kalvor::masterdata
