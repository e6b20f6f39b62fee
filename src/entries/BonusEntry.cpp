#include "entries/BonusEntry.h"

#include "entries/AdvanceEntry.h"
#include "entries/EmployeeLines.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/PayKinds.h"
#include "values/FieldPairs.h"
#include "values/Values.h"

#include <algorithm>

namespace kalvor {

using infobase::BonusLine;
using infobase::CInfoBase;
using infobase::u16;

namespace {

constexpr int kMaxCode = 995;
constexpr int kMaxKind = 5;
constexpr int kMaxMonthBasis = 1;
constexpr int kMaxMask = 7;
constexpr int kMaxPeriod = 2;
constexpr int kMaxNoTax = 1;
constexpr int kMaxShop = 127; // seven bits

// The cell of a column among the nine cells of a line's fields.
QString FieldCell(const QStringList& cells, int column)
{
    const int at = column - BonusCodeColumn;
    return at >= 0 && at < cells.size() ? cells[at] : QString();
}

// A cell read by its column's rule (BonusColumnRule, the rule the grid
// declares); a text the rule refuses keeps the stored value.
int ReadRanged(const QStringList& cells, int column, int stored)
{
    return int(FigureUnitsOr(BonusColumnRule(column), FieldCell(cells, column), stored));
}

// The cost code's three groups with the month basis in the top bits of the
// first, as the record packs them.
void ReadCostCode(const QStringList& cells, BonusLine& line)
{
    const double stored = double(Packed12DigitsValue(line.spzCh, line.spzSc, line.spzAu));
    const double read =
        FigureUnitsOr(BonusColumnRule(BonusCostCodeColumn), FieldCell(cells, BonusCostCodeColumn), stored);
    std::uint16_t first = u16(line.spzCh | (line.mes << 14));
    SetPacked12Digits(std::uint64_t(read), first, line.spzSc, line.spzAu);
    line.spzCh = u16(first & kDigitGroupMask);
}

// The value's rule of each kind whose value is no amount of roubles.
struct BonusValueMeaning {
    int kind;
    FigureRule rule;
};
constexpr BonusValueMeaning kBonusValueMeanings[] = {
    {kBonusPercentOfPay, RatePercentFigure(2, kMaxBonusPercentOfPay)},
    {kBonusPercentOfSalary, ShareFigure(2)},
};

const QString kKindTitle = QStringLiteral("%");
const QString kValueTitle = QStringLiteral("Велич. нач-ия");

bool LineHasPlace(const CInfoBase& base, const BonusRowPlace& place)
{
    return place.slot >= 1 && place.slot <= base.prem.slotCount();
}

} // namespace

bool BonusEmployeeShown(const PayrollDoc& doc, int index)
{
    const CInfoBase& base = doc.infoBase;
    if (index < 0 || index >= base.employeeCount())
        return false;
    const int slot = base.list[std::size_t(index)].slot;
    if (!base.holdsSlot(slot) || slot > base.prem.slotCount())
        return false;
    return base.prem.count(slot) > 0 || base.attributesOf(slot).priznUv != kShownOnlyWithAdvance;
}

QStringList ShowBonusLine(const BonusLine& line)
{
    return {FormatIntField(line.kod),   FormatIntField(line.procent),
            FormatMoney(line.sum),      FormatIntField(line.mes),
            FormatIntField(line.mask),  FormatIntField(line.mrp),
            FormatIntField(line.nalog), FormatPacked12Digits(line.spzCh, line.spzSc, line.spzAu),
            FormatIntField(line.ceh)};
}

FigureRule BonusColumnRule(int column)
{
    switch (column) {
    case BonusCodeColumn: return WholeFigure(0, kMaxCode);
    case BonusKindColumn: return WholeFigure(0, kMaxKind);
    case BonusValueColumn: return AmountFigure();
    case BonusMonthColumn: return WholeFigure(0, kMaxMonthBasis);
    case BonusMaskColumn: return WholeFigure(0, kMaxMask);
    case BonusPeriodColumn: return WholeFigure(0, kMaxPeriod);
    case BonusNoTaxColumn: return WholeFigure(0, kMaxNoTax);
    case BonusCostCodeColumn: return WholeFigure(0, double(kPacked12DigitsMax));
    case BonusShopColumn: return WholeFigure(0, kMaxShop);
    default: return TextFigure(0);
    }
}

FigureRule BonusValueRule(int kind)
{
    for (const BonusValueMeaning& meaning : kBonusValueMeanings)
        if (meaning.kind == kind)
            return meaning.rule;
    return BonusColumnRule(BonusValueColumn);
}

QString BonusValueRefusal(const QString& kindText, const QString& valueText)
{
    const FigureReading kind = ReadFigure(kKindTitle, BonusColumnRule(BonusKindColumn), kindText);
    if (!kind.read)
        return QString();
    const QString refusal = ReadFigure(kValueTitle, BonusValueRule(int(kind.units)), valueText).refusal;
    return refusal.isEmpty() ? refusal : PairRefusal(refusal, kKindTitle, kindText.trimmed());
}

bool ReadBonusLine(const QStringList& cells, BonusLine& line)
{
    const BonusLine before = line;
    line.kod = u16(ReadRanged(cells, BonusCodeColumn, line.kod));
    line.procent = u16(ReadRanged(cells, BonusKindColumn, line.procent));
    line.sum = FigureUnitsOr(BonusValueRule(line.procent), FieldCell(cells, BonusValueColumn), line.sum);
    line.mes = u16(ReadRanged(cells, BonusMonthColumn, line.mes));
    line.mask = u16(ReadRanged(cells, BonusMaskColumn, line.mask));
    line.mrp = u16(ReadRanged(cells, BonusPeriodColumn, line.mrp));
    line.nalog = u16(ReadRanged(cells, BonusNoTaxColumn, line.nalog));
    ReadCostCode(cells, line);
    line.ceh = u16(ReadRanged(cells, BonusShopColumn, line.ceh));
    return !(line == before);
}

double BonusTotal(const PayrollDoc& doc, const std::vector<int>& employeeSlots)
{
    const CInfoBase& base = doc.infoBase;
    double total = 0;
    for (const int slot : employeeSlots)
        for (const BonusLine& line : base.prem.run(slot))
            if (line.procent == kBonusInRoubles)
                total += RoundByPayKind(line.sum, line.kod, doc);
    return total;
}

std::optional<BonusRowPlace> BonusRowLine(const CInfoBase& base, const std::vector<int>& rowNumbers, int row)
{
    if (row < 0 || row >= int(rowNumbers.size()))
        return std::nullopt;
    const int number = rowNumbers[std::size_t(row)];
    const int index = base.FindEmployee(number);
    if (index < 0)
        return std::nullopt;
    int position = 0;
    for (int above = row - 1; above >= 0 && rowNumbers[std::size_t(above)] == number; --above) ++position;
    return BonusRowPlace{base.list[std::size_t(index)].slot, position};
}

bool StoreBonusRow(CInfoBase& base, const BonusRowPlace& place, const QStringList& cells)
{
    if (!LineHasPlace(base, place))
        return false;
    const int count = base.prem.count(place.slot);
    if (place.position < count) {
        BonusLine& line = base.prem.lines[std::size_t(base.prem.first(place.slot) + place.position)];
        return ReadBonusLine(cells, line);
    }
    // The empty row of an employee without lines: a line only when typed into.
    BonusLine line;
    if (place.position != count || count >= kMaxBonusLines || !ReadBonusLine(cells, line))
        return false;
    return base.prem.insertLine(place.slot, count, line);
}

BonusInsert InsertBonusLine(CInfoBase& base, int slot, int position)
{
    if (slot < 1 || slot > base.prem.slotCount())
        return BonusInsert::ArrayFull;
    std::vector<BonusLine> run = base.prem.run(slot);
    // The empty row shown for an employee without lines is his line too.
    if (run.empty())
        run.emplace_back();
    if (int(run.size()) >= kMaxBonusLines)
        return BonusInsert::TooManyLines;
    position = std::clamp(position, 0, int(run.size()));
    run.insert(run.begin() + position, BonusLine{});
    return base.prem.replaceRun(slot, run) ? BonusInsert::Done : BonusInsert::ArrayFull;
}

bool RemoveBonusLine(CInfoBase& base, int slot, int position)
{
    if (slot < 1 || slot > base.prem.slotCount())
        return false;
    return base.prem.removeLine(slot, position);
}

void StoreBonusLines(CInfoBase& base)
{
    infobase::SaveLines(base, infobase::LineKind::Prem);
}

} // namespace kalvor
