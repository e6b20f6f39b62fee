#include "entries/AltTabelLines.h"

#include "entries/EmployeeLines.h"
#include "infobase/InfoBaseDb.h"
#include "values/Values.h"

namespace kalvor::entries {

using infobase::AltTabelEntry;
using infobase::u16;
using infobase::u8;

namespace {

constexpr int kMaxCode = 995;
constexpr int kMaxDays = 31;
constexpr int kMaxHours = 255; // one byte
constexpr int kMaxPercent = 255;
constexpr int kMaxShop = 250;

enum Column { Code, Days, Hours, Salary, Tariff, Percent, Shop, CostCode, Month, Minus };

QString Cell(const QStringList& cells, int column) { return column < cells.size() ? cells[column] : QString(); }

// A cell read by its column's rule (AltTabelColumnRule, the rule the grid
// declares); a text the rule refuses keeps the stored value.
int ReadRanged(const QStringList& cells, int column, int stored)
{
    return int(FigureUnitsOr(AltTabelColumnRule(column), Cell(cells, column), stored));
}

int ReadDays(const QStringList& cells, int stored)
{
    // The hint promises that a star takes the main sheet's days; "**" is how they show.
    const QString trimmed = Cell(cells, Days).trimmed();
    if (AltTabelMainSheetDays().contains(trimmed))
        return kMainSheetDays;
    return ReadRanged(cells, Days, stored);
}

QString ShowDays(int days) { return days == kMainSheetDays ? QStringLiteral("**") : FormatIntField(days); }

// Reads one cell into the line; true when its field changed.
bool ReadColumn(const QStringList& cells, int column, AltTabelEntry& entry)
{
    const AltTabelEntry before = entry;
    switch (column) {
    case Code: entry.kod = u16(ReadRanged(cells, Code, entry.kod)); break;
    case Days: entry.dn = u16(ReadDays(cells, entry.dn)); break;
    case Hours: {
        const int minutes = ReadRanged(cells, Hours, entry.hr * 60 + entry.min);
        entry.hr = u8(minutes / 60);
        entry.min = u16(minutes % 60);
        break;
    }
    case Salary: entry.sumOklad = FigureUnitsOr(AltTabelColumnRule(Salary), Cell(cells, Salary), entry.sumOklad); break;
    case Tariff: {
        const int thousandths = ReadRanged(cells, Tariff, entry.tarif.rub * 1000 + entry.tarif.thou);
        entry.tarif.rub = u16(thousandths / 1000);
        entry.tarif.thou = u16(thousandths % 1000);
        break;
    }
    case Percent: entry.procOpl = u8(ReadRanged(cells, Percent, entry.procOpl)); break;
    case Shop: entry.otd = u8(ReadRanged(cells, Shop, entry.otd)); break;
    case CostCode: {
        const double stored = double(Packed12DigitsValue(entry.spzCh, entry.spzSc, entry.spzAu));
        std::uint16_t ch = 0, sc = 0, au = 0;
        const double read = FigureUnitsOr(AltTabelColumnRule(CostCode), Cell(cells, CostCode), stored);
        SetPacked12Digits(std::uint64_t(read), ch, sc, au);
        entry.spzCh = ch & kDigitGroupMask;
        entry.spzSc = sc & kDigitGroupMask;
        entry.spzAu = au & kDigitGroupMask;
        break;
    }
    case Month: entry.mes = u16(ReadRanged(cells, Month, entry.mes)); break;
    case Minus: entry.storno = u8(ReadRanged(cells, Minus, entry.storno)); break;
    default: break;
    }
    return !(entry == before);
}

} // namespace

FigureRule AltTabelColumnRule(int column)
{
    switch (column) {
    case Code: return WholeFigure(0, kMaxCode);
    case Days: return WholeFigure(0, kMaxDays);
    case Hours: return HoursFigure(kMaxHours);
    case Salary: return AmountFigure();
    case Tariff: return DecimalFigure(3, 0, PackedFixed3::kMaxRoubles + 0.999);
    case Percent: return WholeFigure(0, kMaxPercent);
    case Shop: return WholeFigure(0, kMaxShop);
    case CostCode: return WholeFigure(0, double(kPacked12DigitsMax));
    case Month: return WholeFigure(0, 12);
    case Minus: return WholeFigure(0, 1);
    default: return TextFigure(0);
    }
}

QStringList AltTabelMainSheetDays() { return {QStringLiteral("*"), QStringLiteral("**")}; }

QStringList ShowAltTabelEntry(const AltTabelEntry& entry)
{
    const QString hours =
        entry.hr == 0 && entry.min == 0 ? QString() : QStringLiteral("%1,%2").arg(int(entry.hr)).arg(int(entry.min));
    return {FormatIntField(entry.kod),
            ShowDays(entry.dn),
            hours,
            FormatMoney(entry.sumOklad),
            FormatPackedFixed3(PackedFixed3::make(entry.tarif.rub, entry.tarif.thou)),
            FormatIntField(entry.procOpl),
            FormatIntField(entry.otd),
            FormatPacked12Digits(entry.spzCh, entry.spzSc, entry.spzAu),
            FormatIntField(entry.mes),
            FormatIntField(entry.storno)};
}

bool ReadAltTabelEntry(const QStringList& cells, AltTabelEntry& entry)
{
    bool changed = false;
    for (int column = 0; column < kAltTabelColumns; ++column) changed |= ReadColumn(cells, column, entry);
    return changed;
}

bool AltTabelEntryMatches(const AltTabelEntry& entry, const QStringList& cells)
{
    for (int column = 0; column < kAltTabelColumns; ++column) {
        if (Cell(cells, column).trimmed().isEmpty())
            continue;
        AltTabelEntry read = entry;
        if (ReadColumn(cells, column, read))
            return false;
    }
    return true;
}

std::vector<AltTabelEntry> AltTabelLines(const infobase::CInfoBase& base, int slot) { return base.altTabel.run(slot); }

// ------------------------------------------------------------------ group operations

std::vector<int> MarkedSlots(const infobase::CInfoBase& base)
{
    std::vector<int> markedSlots;
    for (const infobase::EmployeeListEntry& entry : base.list)
        if (entry.marked() && entry.slot >= 1 && entry.slot <= base.altTabel.slotCount())
            markedSlots.push_back(entry.slot);
    return markedSlots;
}

AltTabelGroupResult GroupAppendAltTabel(infobase::CInfoBase& base, const QStringList& model)
{
    AltTabelGroupResult result;
    AltTabelEntry line;
    ReadAltTabelEntry(model, line);
    for (int slot : MarkedSlots(base)) {
        if (!base.altTabel.insertLine(slot, base.altTabel.count(slot), line)) {
            result.skipped << base.shortNameOf(slot);
            continue;
        }
        result.changed = true;
    }
    return result;
}

infobase::BySlot<int> FindAltTabelMatches(const infobase::CInfoBase& base, const QStringList& model)
{
    infobase::BySlot<int> matches(base.altTabel.slotCount(), -1);
    for (int slot : MarkedSlots(base)) {
        const std::vector<AltTabelEntry> lines = base.altTabel.run(slot);
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (AltTabelEntryMatches(lines[i], model)) {
                matches[slot] = int(i);
                break;
            }
    }
    return matches;
}

AltTabelGroupResult GroupCorrectAltTabel(infobase::CInfoBase& base, const infobase::BySlot<int>& matches,
                                         const QStringList& model)
{
    AltTabelGroupResult result;
    for (int slot : MarkedSlots(base)) {
        const int position = matches.holds(slot) ? matches[slot] : -1;
        if (position < 0 || position >= base.altTabel.count(slot))
            continue;
        AltTabelEntry& line = base.altTabel.lines[std::size_t(base.altTabel.first(slot) + position)];
        result.changed |= ReadAltTabelEntry(model, line);
    }
    return result;
}

AltTabelGroupResult GroupDeleteAltTabel(infobase::CInfoBase& base, const QStringList& model)
{
    AltTabelGroupResult result;
    const infobase::BySlot<int> matches = FindAltTabelMatches(base, model);
    for (int slot : MarkedSlots(base))
        if (const int position = matches[slot]; position >= 0)
            result.changed |= base.altTabel.removeLine(slot, position);
    return result;
}

void StoreAltTabel(infobase::CInfoBase& base)
{
    infobase::SaveLines(base, infobase::LineKind::AltTabel);
}

} // namespace kalvor::entries
