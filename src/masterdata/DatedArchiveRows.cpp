#include "masterdata/DatedArchiveRows.h"

#include "masterdata/TypedFields.h"
#include "values/CScan.h"
#include "values/Values.h"

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

// "%u.%u" into the archive month and its two-digit year; month 0 and year 0
// unless a month 1-12 and a year read.
void ReadArchiveMonth(const QString& text, WarDatEntry& entry)
{
    CScan scan(text);
    int month = 0, year = 0;
    if (!scan.readInt(month) || !scan.literal('.') || !scan.readInt(year) || month < 1 || month > 12 || year < 0)
        return;
    entry.mes = u16(month);
    entry.god = u16(year % 100);
}

QString Cell(const QStringList& cells, int column) { return column < cells.size() ? cells[column] : QString(); }

} // namespace

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
    entry.start = ParseDateDMY(Cell(cells, 0)).value;
    entry.end = ParseDateDMY(Cell(cells, 1)).value;
    ReadArchiveMonth(Cell(cells, 2), entry);
    entry.kod = u16(InRangeOrZero(TypedNumber(Cell(cells, 3)), 1, kWarDatMaxCode));
    double roubles = 0;
    entry.sum = ScanDouble(Cell(cells, 4), roubles) ? KopecksFromRoubles(roubles) : 0.0;
    entry.contin = u16(TypedNumber(Cell(cells, 5)) & 1);
    return entry;
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
