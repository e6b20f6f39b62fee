#include "entries/CurnuNuEntry.h"

#include "infobase/InfoBaseDb.h"
#include "platform/DbTransaction.h"
#include "values/Values.h"

#include <algorithm>

namespace kalvor::entries {

using infobase::AccrualRow;
using infobase::EmployeeAttributes;
using infobase::EmployeeRecord;
using infobase::ProizvRow;
using infobase::u16;
using infobase::u8;

namespace {

constexpr int kMaxDays = 63; // 6 bits
constexpr int kMaxHours = kCurnuMaxHours; // 9 bits
constexpr int kMaxCode = 65535; // 16 bits
constexpr int kMaxShop = 255; // 8 bits

QString FormatHours(const ProizvRow& row)
{
    if (row.hr == 0 && row.min == 0)
        return QString();
    return QStringLiteral("%1,%2").arg(int(row.hr)).arg(int(row.min));
}

} // namespace

FigureRule ProizvColumnRule(int column)
{
    switch (column) {
    case 0: return WholeFigure(0, 12);
    case 1: return WholeFigure(0, kMaxCode);
    case 2: return SignedMoneyFigure(); // a negative sum reverses an accrual or a deduction
    case 3: return WholeFigure(0, kMaxDays);
    case 5: return WholeFigure(0, double(kPacked12DigitsMax));
    case 6: return WholeFigure(0, kMaxShop);
    default: return TextFigure(0);
    }
}

QStringList ShowProizvRow(const ProizvRow& row)
{
    return {FormatIntField(row.mes), FormatIntField(row.kod), FormatMoney(row.sum),
            FormatIntField(row.dn),  FormatHours(row),        FormatPacked12Digits(row.spzCh, row.spzSc, row.spzAu),
            FormatIntField(row.otd)};
}

ProizvRow ReadProizvRow(const QStringList& cells)
{
    auto cell = [&](int col) { return col < cells.size() ? cells[col] : QString(); };
    // Each cell by its column's rule; a row read afresh has nothing stored, so
    // a cell the rule refuses reads 0.
    auto units = [&](int col) { return FigureUnitsOr(ProizvColumnRule(col), cell(col), 0); };
    ProizvRow row;
    row.mes = u16(units(0));
    row.kod = u16(units(1));
    row.sum = units(2);
    row.dn = u16(units(3));
    const int minutes = ReadCarriedHours(cell(kCurnuHoursColumn), kMaxHours).value_or(0);
    row.hr = u16(minutes / 60);
    row.min = u16(minutes % 60);
    std::uint16_t ch = 0, sc = 0, au = 0;
    SetPacked12Digits(std::uint64_t(units(5)), ch, sc, au);
    row.spzCh = ch & kDigitGroupMask;
    row.spzSc = sc & kDigitGroupMask;
    row.spzAu = au & kDigitGroupMask;
    row.otd = u8(units(6));
    return row;
}

ProizvRows CurrentRows(const EmployeeRecord& rec, const EmployeeAttributes& attr)
{
    const int count = std::min<int>(attr.kvProizv, EmployeeRecord::RowCount);
    return ProizvRows(rec.rows.begin(), rec.rows.begin() + count);
}

ProizvRows CompactRows(const ProizvRows& rows)
{
    ProizvRows kept;
    for (const ProizvRow& row : rows)
        if (!row.isEmpty())
            kept.push_back(row);
    return kept;
}

RowPlacement CheckRowPlacement(const EmployeeRecord& rec, int kvProizv, int newCount)
{
    if (newCount > kCurnuMaxRows)
        return RowPlacement::TooManyRows;
    // Growing pushes the calculated rows down: none of them may pass row 60.
    const int shift = newCount - std::min(kvProizv, kMovableRows);
    if (shift <= 0)
        return RowPlacement::Fits;
    for (int i = kMovableRows - shift; i < kMovableRows; ++i)
        if (i >= kvProizv && !rec.rows[std::size_t(i)].isEmpty())
            return RowPlacement::ComputedRowsPastLimit;
    return RowPlacement::Fits;
}

void PlaceRows(EmployeeRecord& rec, EmployeeAttributes& attr, const ProizvRows& rows)
{
    const int oldCount = std::min<int>(attr.kvProizv, kMovableRows);
    const int newCount = std::min<int>(int(rows.size()), kCurnuMaxRows);
    auto first = rec.rows.begin();
    auto movableEnd = first + kMovableRows;
    if (newCount < oldCount) {
        std::move(first + oldCount, movableEnd, first + newCount);
        std::fill(movableEnd - (oldCount - newCount), movableEnd, AccrualRow{});
    } else if (newCount > oldCount) {
        // The last rows go off the area: the caller has checked that they are empty.
        std::move_backward(first + oldCount, movableEnd - (newCount - oldCount), movableEnd);
    }
    std::copy(rows.begin(), rows.begin() + newCount, first);
    attr.kvProizv = u16(newCount);
}

bool RowsMatch(const ProizvRow& a, const ProizvRow& b)
{
    return a.mes == b.mes && a.kod == b.kod && a.sum == b.sum && a.dn == b.dn && a.hr == b.hr && a.min == b.min &&
           a.spzCh == b.spzCh && a.spzSc == b.spzSc && a.spzAu == b.spzAu && a.otd == b.otd;
}

int FirstMatchingRow(const ProizvRows& rows, const ProizvRow& model)
{
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (RowsMatch(rows[i], model))
            return int(i);
    return -1;
}

ProizvRows RowsWithModelFirst(const ProizvRows& rows, const ProizvRow& model)
{
    ProizvRows result{model};
    result.insert(result.end(), rows.begin(), rows.end());
    return result;
}

ProizvRows RowsWithCorrected(const ProizvRows& rows, int index, const ProizvRow& model)
{
    ProizvRows result = rows;
    if (index >= 0 && index < int(result.size()))
        result[std::size_t(index)] = model;
    return result;
}

RowStore StoreCurrentRows(infobase::CInfoBase& base, int slot, const ProizvRows& rows)
{
    EmployeeAttributes& attr = base.attributesOf(slot);
    EmployeeRecord& rec = base.current;
    const ProizvRows kept = CompactRows(rows);
    RowStore store;
    store.placement = CheckRowPlacement(rec, attr.kvProizv, int(kept.size()));
    if (store.placement != RowPlacement::Fits || kept == CurrentRows(rec, attr))
        return store;

    const auto rowsBefore = rec.rows;
    const EmployeeAttributes attrBefore = attr;
    PlaceRows(rec, attr, kept);
    try {
        db::WriteTogether(infobase::Db(base), [&] {
            infobase::SaveEmployee(base, slot);
            infobase::SaveComp(base);
        });
    } catch (...) {
        rec.rows = rowsBefore;
        attr = attrBefore;
        throw;
    }
    store.written = true;
    return store;
}

} // namespace kalvor::entries
