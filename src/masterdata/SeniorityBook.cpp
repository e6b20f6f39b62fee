#include "masterdata/SeniorityBook.h"

#include "values/Values.h"

#include <algorithm>

namespace kalvor::masterdata {

namespace {

using infobase::SeniorityRule;

enum SeniorityColumn {
    ColKod,
    ColVozMin,
    ColVozMax,
    ColRabMin,
    ColRabMax,
    ColSevMin,
    ColSevMax,
    ColOtdMin,
    ColOtdMax,
    ColBrigMin,
    ColBrigMax,
    ColProfMin,
    ColProfMax,
    ColKategMin,
    ColKategMax,
    ColKak,
    ColSum
};

QString CellText(const QStringList& cells, int column) { return column < cells.size() ? cells[column] : QString(); }

// A cell read by its column's rule (SeniorityColumnRules, the rule the grid
// declares), in units of its last place; a text the rule refuses reads 0, as a
// row read afresh has nothing stored.
double CellUnits(const QStringList& cells, int column)
{
    return FigureUnitsOr(SeniorityColumnRules()[std::size_t(column)], CellText(cells, column), 0);
}

int CellNumber(const QStringList& cells, int column) { return int(CellUnits(cells, column)); }

} // namespace

QStringList SeniorityRuleTexts(const SeniorityRule& rule)
{
    return {FormatIntField(rule.kod),     FormatIntField(rule.vozMin),   FormatIntField(rule.vozMax),
            FormatIntField(rule.rabMin),  FormatIntField(rule.rabMax),   FormatIntField(rule.sevMin),
            FormatIntField(rule.sevMax),  FormatIntField(rule.otdMin),   FormatIntField(rule.otdMax),
            FormatIntField(rule.brigMin), FormatIntField(rule.brigMax),  FormatIntField(rule.profMin),
            FormatIntField(rule.profMax), FormatIntField(rule.kategMin), FormatIntField(rule.kategMax),
            FormatIntField(rule.kak),     FormatMoney(rule.sum)};
}

std::vector<FigureRule> SeniorityColumnRules()
{
    const FigureRule years = WholeFigure(0, 32767), group = WholeFigure(0, 127);
    return {WholeFigure(0, 65535), years, years, years, years, years, years, group, group, group, group,
            group, WholeFigure(0, 255), WholeFigure(0, 15), WholeFigure(0, 15), WholeFigure(0, 1), AmountFigure()};
}

SeniorityRule ReadSeniorityRule(const QStringList& cells)
{
    SeniorityRule rule;
    const int code = CellNumber(cells, ColKod);
    if (code == 0)
        return rule;
    rule.kod = static_cast<quint16>(code);
    rule.vozMin = static_cast<qint16>(CellNumber(cells, ColVozMin));
    rule.vozMax = static_cast<qint16>(CellNumber(cells, ColVozMax));
    rule.rabMin = static_cast<qint16>(CellNumber(cells, ColRabMin));
    rule.rabMax = static_cast<qint16>(CellNumber(cells, ColRabMax));
    rule.sevMin = static_cast<qint16>(CellNumber(cells, ColSevMin));
    rule.sevMax = static_cast<qint16>(CellNumber(cells, ColSevMax));
    rule.otdMin = static_cast<qint8>(CellNumber(cells, ColOtdMin));
    rule.otdMax = static_cast<qint8>(CellNumber(cells, ColOtdMax));
    rule.brigMin = static_cast<qint8>(CellNumber(cells, ColBrigMin));
    rule.brigMax = static_cast<qint8>(CellNumber(cells, ColBrigMax));
    rule.profMin = static_cast<quint16>(CellNumber(cells, ColProfMin));
    rule.profMax = static_cast<quint8>(CellNumber(cells, ColProfMax));
    rule.kategMin = static_cast<quint16>(CellNumber(cells, ColKategMin));
    rule.kategMax = static_cast<quint16>(CellNumber(cells, ColKategMax));
    rule.kak = static_cast<quint16>(CellNumber(cells, ColKak));
    rule.sum = CellUnits(cells, ColSum);
    return rule;
}

SeniorityRules BuildSeniorityRules(const std::vector<QStringList>& rows)
{
    SeniorityRules rules{};
    for (std::size_t i = 0; i < rows.size() && i < rules.size(); ++i) rules[i] = ReadSeniorityRule(rows[i]);
    std::stable_sort(rules.begin(), rules.end(), [](const SeniorityRule& a, const SeniorityRule& b) {
        if ((a.kod == 0) != (b.kod == 0))
            return b.kod == 0;
        return a.kod < b.kod;
    });
    return rules;
}

} // namespace kalvor::masterdata
