#include "reports/social/ui/CGenrRVedFSSEditDlg.h"

#include "reports/social/PensionContributions.h"
#include "reports/social/ui/SocialReportOutputs.h"

#include <QGridLayout>
#include <QLabel>

#include <functional>

namespace kalvor::reports {

namespace {

using enum EditFieldFormat;

QLabel* Label(const char* text, QWidget* parent) { return new QLabel(QString::fromUtf8(text), parent); }

// A line of an editor: its label and up to four fields side by side.
struct EditLine {
    const char* text;
    std::vector<ReportEditField> fields;
};

// Template 418: tables 1, 2 and 7. A payment order is its date, number and sum.
const std::vector<EditLine>& Table1Lines()
{
    static const std::vector<EditLine> lines = {
        {"1. Задолженность за страх-лем на начало расч. периода", {AmountField(1493, 267)}},
        {"6. На начало отчетного периода", {AmountField(1489, 255)}},
        {"    1 месяц / 2 месяц / 3 месяц", {AmountField(1490, 257), AmountField(1491, 258), AmountField(1492, 259)}},
        {"10. за счет превыш. расх.", {AmountField(1495, 262)}},
        {"11. за счет перепл. страх.", {AmountField(1494, 263)}},
        {"12. Зад-ть за террит. органом Фонда на начало расч. пер.", {AmountField(1496, 264)}},
        {"13. за счет превыш. расх.", {AmountField(1497, 265)}},
        {"14. за счет перепл. страх.", {AmountField(1498, 266)}},
        {"16. На начало отчетного периода", {AmountField(1479, 185)}},
        {"    Дата, № платеж.поруч", {{1486, 186, Date}, CountField(1483, 187, kAnyWhole), AmountField(1480, 188)}},
        {"", {{1487, 189, Date}, CountField(1484, 190, kAnyWhole), AmountField(1481, 191)}},
        {"", {{1488, 192, Date}, CountField(1485, 193, kAnyWhole), AmountField(1482, 194)}},
    };
    return lines;
}

const std::vector<EditLine>& Table7Lines()
{
    static const std::vector<EditLine> lines = {
        {"1. Задолженность за страх-лем на начало расч. периода", {AmountField(1499, 268)}},
        {"10. Зад-ть за террит. органом Фонда на начало расч. пер.", {AmountField(1500, 269)}},
        {"12. На начало отчетного периода", {AmountField(1501, 201)}},
        {"    Дата, № платеж.поруч", {{1508, 202, Date}, CountField(1507, 203, kAnyWhole), AmountField(1502, 204)}},
        {"", {{1509, 205, Date}, CountField(1506, 206, kAnyWhole), AmountField(1503, 207)}},
        {"", {{1510, 208, Date}, CountField(1505, 209, kAnyWhole), AmountField(1504, 210)}},
    };
    return lines;
}

// Template 454: table 4.1.
const std::vector<EditLine>& Table41Lines()
{
    static const std::vector<EditLine> lines = {
        {"1. Сред/среднеспис численность сотрудников", {CountField(1511, 250, kMostHeadcount)}},
        {"2. Сумма дохода по статье 248 НК", {IncomeField(1512, 251)}},
        {"3. Из них по статье 58", {IncomeField(1513, 252)}},
        {"5. Сведения о выписке из реестра орган-й: Дата записи", {{1478, 253, Date}}},
        {"    Номер записи", {CountField(1514, 254, kAnyWhole)}},
    };
    return lines;
}

} // namespace

// ---------------------------------------------------------------- both editors

FssEditDlgBase::FssEditDlgBase(const QString& printPath, const QString& exportFolder, PayrollDoc& doc, QWidget* parent)
    : ReportEditDlg(doc, parent), m_printPath(printPath), m_exportFolder(exportFolder)
{
}

void FssEditDlgBase::WriteOutputs() { WriteRVedFSSOutputs(m_printPath, m_exportFolder, m_doc); }

std::vector<FigureRelation> FssEditDlgBase::Relations(const GenrValueArray& values) const
{
    return Fss4FigureRelations(values, ResolveReportPeriod(m_doc.infoBase.config).year);
}

namespace {

// Adds the lines under a heading; returns the next free row.
int AddLines(FssEditDlgBase* dialog, QGridLayout* grid, int row, const char* heading,
             const std::vector<EditLine>& lines, const std::function<void(const ReportEditField&, int, int)>& addField)
{
    if (heading != nullptr) {
        auto* title = Label(heading, dialog);
        title->setStyleSheet(QStringLiteral("font-weight: bold"));
        grid->addWidget(title, row++, 0, 1, 4);
    }
    for (const EditLine& line : lines) {
        grid->addWidget(Label(line.text, dialog), row, 0);
        int column = 1;
        for (const ReportEditField& field : line.fields) addField(field, row, column++);
        ++row;
    }
    return row;
}

} // namespace

// ---------------------------------------------------------------- 418

CGenrRVedFSSEditDlg::CGenrRVedFSSEditDlg(const QString& printPath, const QString& exportFolder, PayrollDoc& doc,
                                         QWidget* parent)
    : FssEditDlgBase(printPath, exportFolder, doc, parent)
{
    auto* grid = new QGridLayout(this);
    const auto addField = [&](const ReportEditField& field, int row, int column) { AddField(grid, field, row, column); };
    int row = AddLines(this, grid, 0, "Таблица 1", Table1Lines(), addField);
    row = AddLines(this, grid, row, "Таблица 2",
                   {{"Число случаев по временной нетрудоспособности (стр.1 гр.1)", {CountField(1052, 40, kAnyWhole)}}}, addField);
    row = AddLines(this, grid, row, "Таблица 7", Table7Lines(), addField);
    Finish(grid, row);
}

void CGenrRVedFSSEditDlg::SaveValues(GenrValueArray& v)
{
    FssEditDlgBase::SaveValues(v);
    if (!AnyFieldChanged())
        return;
    v[256] = SumByKopecks({v[257], v[258], v[259]});
    v[260] = SumByKopecks({v[256], v[255]});
}

// ---------------------------------------------------------------- 454

CGenrRVedFSSEditDlg2::CGenrRVedFSSEditDlg2(const QString& printPath, const QString& exportFolder, PayrollDoc& doc,
                                           QWidget* parent)
    : FssEditDlgBase(printPath, exportFolder, doc, parent)
{
    auto* grid = new QGridLayout(this);
    const int row = AddLines(this, grid, 0, "Таблица 4,1", Table41Lines(),
                             [&](const ReportEditField& field, int r, int column) { AddField(grid, field, r, column); });
    Finish(grid, row);
}

} // namespace kalvor::reports
