#include "exchange/TransitionTables1CFile.h"

#include "exchange/FixedLineFile.h"
#include "platform/CodePage.h"
#include "platform/Dbf.h"
#include "print/TextHelpers.h"
#include "values/CScan.h"
#include "values/Messages.h"

#include <algorithm>
#include <climits>

namespace kalvor::exchange {

namespace {

constexpr int kNumberWidth = 4;
constexpr int kShopFields = 5; // shop field 1, blank, field 2, blank
constexpr int kBrigadeFields = 15;
constexpr int kEntryFields = 3; // field 1 of a table row
constexpr int kFieldsWidth = 10; // two fields, each with its blank
constexpr int kMergedWidth = 9; // field 1, blank, field 2

int LineNumber(const QByteArray& text) { return print::FieldToInt(text.constData(), kNumberWidth); }
int EntryNumber(const QByteArray& text) { return print::FieldToInt(text.constData(), 2); }

int FieldValue(const QByteArray& text, int offset) { return print::FieldToInt(text.constData() + offset, 5); }

int CellNumber(const QString& text, int maxValue)
{
    int value = 0;
    if (!ScanInt(text, value) || value < 0 || value > maxValue)
        return 0;
    return value;
}

QByteArray RightAligned(int value, int width)
{
    char digits[16];
    return QByteArray(digits, print::IntToDigitsBlank(value, digits, width));
}

int BuildTable(const TransitionLines& lines, int fieldsOffset, TransitionTable& table)
{
    table.fill(TransitionEntry{});
    int count = 0;
    for (const TransitionLine& line : lines) {
        const int number = LineNumber(line.text);
        if (number >= 100)
            continue;
        if (FieldValue(line.text, fieldsOffset) == 0 && FieldValue(line.text, fieldsOffset + 5) == 0)
            continue;
        TransitionEntry& entry = table[size_t(count++)];
        entry.text = RightAligned(number, 2) + ' ' + line.text.mid(fieldsOffset, kFieldsWidth);
        entry.number = number;
    }
    return count;
}

// Rows by number, rows of number 0 last; rows of equal numbers keep their
// order.
void SortByNumber(TransitionTable& table)
{
    const auto key = [](const TransitionEntry& e) { return e.number == 0 ? INT_MAX : e.number; };
    std::stable_sort(table.begin(), table.end(),
                     [&](const TransitionEntry& a, const TransitionEntry& b) { return key(a) < key(b); });
}

// Of rows with equal numbers the last in table order stays; the others and
// the rows of number 0 become blank rows at the end.
void KeepLastOfEqualNumbers(TransitionTable& table)
{
    for (TransitionEntry& entry : table) entry.number = EntryNumber(entry.text);
    SortByNumber(table);
    for (size_t k = 0; k + 1 < table.size(); ++k)
        if (table[k].number == table[k + 1].number)
            table[k].number = 0;
    SortByNumber(table);
    for (TransitionEntry& entry : table)
        if (entry.number == 0)
            entry.text.fill(' ');
}

// The slot of number K, inserted in its place when the lines have none.
TransitionLine& SlotOfNumber(TransitionLines& lines, int number)
{
    const auto slot = std::find_if(lines.begin(), lines.end(), [&](const TransitionLine& line) {
        return line.number >= number || line.number <= 0;
    });
    if (slot == lines.end())
        throw TextError("Таблицы перехода переполнены");
    if (slot->number == number)
        return *slot;
    if (lines.back().number > 0)
        throw TextError("Таблицы перехода переполнены");
    std::move_backward(slot, lines.end() - 1, lines.end());
    *slot = TransitionLine{};
    slot->number = number;
    slot->text.replace(0, kNumberWidth, RightAligned(number, kNumberWidth));
    return *slot;
}

void MergeTable(TransitionLines& lines, int fieldsOffset, TransitionTable& table)
{
    TransitionLines merged = lines;
    for (TransitionLine& line : merged) line.number = LineNumber(line.text);
    KeepLastOfEqualNumbers(table);
    for (const TransitionEntry& entry : table) {
        if (entry.number == 0)
            break;
        TransitionLine& slot = SlotOfNumber(merged, entry.number);
        slot.text.replace(fieldsOffset, kMergedWidth, entry.text.mid(kEntryFields, kMergedWidth));
    }
    lines = merged;
}

} // namespace

int BuildTransitionTables(TransitionLines& lines, int mode, TransitionTable& table)
{
    switch (mode) {
    case BuildShopTable: return BuildTable(lines, kShopFields, table);
    case BuildBrigadeTable: return BuildTable(lines, kBrigadeFields, table);
    case MergeShopTable: MergeTable(lines, kShopFields, table); break;
    case MergeBrigadeTable: MergeTable(lines, kBrigadeFields, table); break;
    default: break;
    }
    return 0;
}

TransitionEntry TransitionEntryFromCells(const QString& number, const QString& field1, const QString& field2)
{
    TransitionEntry entry;
    entry.number = CellNumber(number, 99);
    entry.text = RightAligned(entry.number, 2) + ' ' + RightAligned(CellNumber(field1, 9999), 4) + ' ' +
                 RightAligned(CellNumber(field2, 9999), 4) + ' ';
    return entry;
}

QString TransitionEntryField(const TransitionEntry& entry, int field)
{
    const QByteArray text = entry.text.mid(field == 1 ? 3 : 8, 5);
    return AtoiC(text.constData(), text.size()) != 0 ? codepage::fromCp1251(text) : QString();
}

void ClearTransitionNumbers(TransitionLines& lines, bool shops, const std::vector<int>& numbers)
{
    const int offset = shops ? kShopFields : kBrigadeFields;
    const int other = shops ? kBrigadeFields : kShopFields;
    std::vector<TransitionLine> kept;
    for (TransitionLine line : lines) {
        const int number = LineNumber(line.text);
        if (number > 0 && std::find(numbers.begin(), numbers.end(), number) != numbers.end()) {
            line.text.replace(offset, kMergedWidth, "   0    0");
            if (FieldValue(line.text, other) == 0 && FieldValue(line.text, other + 5) == 0)
                continue;
        }
        kept.push_back(line);
    }
    lines.fill(TransitionLine{});
    std::copy(kept.begin(), kept.end(), lines.begin());
}

QString TransitionTables1CFile::PathIn(const QString& folder)
{
    return dbf::FindTableFile(folder, QString::fromLatin1(kFileName));
}

TransitionLines TransitionTables1CFile::Load(const QString& folder)
{
    TransitionLines lines;
    size_t k = 0;
    for (const QByteArray& block : ReadFixedLines(PathIn(folder), kTransitionLineSize, kTransitionMaxLines)) {
        lines[k].text = block.left(kTransitionLineText);
        lines[k].number = LineNumber(block);
        ++k;
    }
    return lines;
}

void TransitionTables1CFile::Save(const QString& folder, const TransitionLines& lines)
{
    std::vector<QByteArray> written;
    for (const TransitionLine& line : lines) {
        if (LineNumber(line.text) == 0)
            break;
        written.push_back(line.text);
    }
    WriteFixedLines(PathIn(folder), written, kTransitionLineText);
}

} // namespace kalvor::exchange
