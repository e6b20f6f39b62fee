#include "exchange/ChartOfAccounts1CFile.h"

#include "exchange/FixedLineFile.h"
#include "platform/CodePage.h"
#include "platform/Dbf.h"
#include "values/CScan.h"

namespace kalvor::exchange {

namespace {

enum class FieldKind { Account, Kind, Option, Number };

// Where a grid column's field stands in the line and what it holds.
struct ChartField {
    int offset;
    int width;
    FieldKind kind;
};

ChartField FieldOfColumn(int column)
{
    if (column == 0)
        return {0, 3, FieldKind::Account};
    if (column == 1)
        return {4, 3, FieldKind::Account};
    const int slot = (column - 2) / 3;
    switch ((column - 2) % 3) {
    case 0: return {8 + 7 * slot, 1, FieldKind::Kind};
    case 1: return {9 + 7 * slot, 1, FieldKind::Option};
    default: return {10 + 7 * slot, 4, FieldKind::Number};
    }
}

int MaxValue(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Account: return 999;
    case FieldKind::Kind: return 6;
    case FieldKind::Option: return 2;
    case FieldKind::Number: break;
    }
    return 9999;
}

int DigitValue(char c) { return c >= '0' && c <= '9' ? c - '0' : 0; }

// sscanf "%d" of a cell: 0 when the text does not start with a number.
int CellNumber(const QString& text)
{
    int value = 0;
    return ScanInt(text, value) ? value : 0;
}

} // namespace

int ChartLine::account() const { return AtoiC(text.constData(), 3); }
int ChartLine::subaccount() const { return AtoiC(text.constData() + 4, 3); }
int ChartLine::kind(int slot) const { return DigitValue(text[8 + 7 * slot]); }
int ChartLine::number(int slot) const { return AtoiC(text.constData() + 10 + 7 * slot, 4); }

QString ChartOfAccounts1CFile::PathIn(const QString& folder)
{
    return dbf::FindTableFile(folder, QString::fromLatin1(kFileName));
}

std::vector<ChartLine> ChartOfAccounts1CFile::Load(const QString& folder)
{
    std::vector<ChartLine> lines;
    for (const QByteArray& block : ReadFixedLines(PathIn(folder), kChartLineSize, kChartMaxLines))
        lines.push_back(ChartLine{block.left(kChartLineText)});
    return lines;
}

void ChartOfAccounts1CFile::Save(const QString& folder, const std::vector<ChartLine>& lines)
{
    std::vector<QByteArray> kept;
    for (const ChartLine& line : lines) {
        if (int(kept.size()) == kChartMaxLines)
            break;
        if (line.account() != 0)
            kept.push_back(line.text);
    }
    WriteFixedLines(PathIn(folder), kept, kChartLineText);
}

ChartCells ChartOfAccounts1CFile::Cells(const ChartLine& line)
{
    ChartCells cells;
    for (int column = 0; column < kChartColumns; ++column) {
        const ChartField field = FieldOfColumn(column);
        const QString text = codepage::fromCp1251(line.text.mid(field.offset, field.width));
        switch (field.kind) {
        case FieldKind::Account: cells[size_t(column)] = text; break;
        case FieldKind::Kind:
        case FieldKind::Option: cells[size_t(column)] = text == QLatin1String("0") ? QString() : text; break;
        case FieldKind::Number: cells[size_t(column)] = CellNumber(text) != 0 ? text : QString(); break;
        }
    }
    return cells;
}

FigureRule ChartOfAccounts1CFile::ColumnRule(int column)
{
    return WholeFigure(0, MaxValue(FieldOfColumn(column).kind));
}

ChartLine ChartOfAccounts1CFile::FromCells(const ChartCells& cells)
{
    ChartLine line;
    for (int column = 0; column < kChartColumns; ++column) {
        const ChartField field = FieldOfColumn(column);
        int value = CellNumber(cells[size_t(column)]);
        if (value < 0 || value > MaxValue(field.kind))
            value = 0;
        const QByteArray digits = QByteArray::number(value).rightJustified(field.width, ' ');
        line.text.replace(field.offset, field.width, digits);
    }
    return line;
}

} // namespace kalvor::exchange
