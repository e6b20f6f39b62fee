#include "masterdata/ui/CWorkerNalvichDlg.h"

#include "values/TypedFigure.h"

using namespace kalvor;
using namespace kalvor::masterdata;

namespace {

constexpr int kAmountColumn = 4, kTimesColumn = 5;

// A figure of a row's cell as its column reads it; 0 when it does not read.
int CellFigure(const QStringList& cells, int column)
{
    return int(FigureUnitsOr(NalvichColumnRule(column), cells.value(column), 0));
}

CWorkerNalvichDlg::Form NalvichForm()
{
    CWorkerNalvichDlg::Form form;
    form.block = &kalvor::infobase::EmployeeRecord::nalvich;
    form.dialogId = 361;
    form.gridId = CWorkerNalvichDlg::IdGrid;
    form.addText = QStringLiteral("Добавить вычет");
    form.deleteText = QStringLiteral("Удалить вычет");
    form.titleFormat = QStringLiteral("Налоговые вычеты [%1]");
    // A code the book does not hold is taken: its row has no amount of the book's.
    form.columns = {FigureColumn(NalvichColumnTitle(0), NalvichColumnRule(0)),
                    ShownColumn(NalvichColumnTitle(1)),
                    MonthColumn(NalvichColumnTitle(2), kDeductionMonthYears),
                    MonthColumn(NalvichColumnTitle(3), kDeductionMonthYears),
                    FigureColumn(NalvichColumnTitle(kAmountColumn), NalvichColumnRule(kAmountColumn)),
                    FigureColumn(NalvichColumnTitle(kTimesColumn), NalvichColumnRule(kTimesColumn))};
    form.shares = {0.10, 0.26, 0.13, 0.15, 0.17};
    form.headerSample = NalvichColumnTitle(0);
    form.readOnlyColumn = 1;
    // The view stands whole beside the panels at 1024 pixels, so that it
    // never scrolls sideways as the focus moves between strip and grid.
    form.width = 580;
    form.note = QStringLiteral("Пустой месяц начала: с месяца приема, если принят в налоговом году, иначе с января");
    return form;
}

} // namespace

CWorkerNalvichDlg::CWorkerNalvichDlg(CCommonFormView* view) : CSlotBlockDlg(NalvichForm(), view)
{
    setObjectName(QStringLiteral("CWorkerNalvichDlg"));
}

QStringList CWorkerNalvichDlg::RowTexts(const kalvor::infobase::NalvichEntry& entry) const
{
    return NalvichRowTexts(entry, View()->Document()->refFiles.vichet);
}

RowRefusal CWorkerNalvichDlg::ReadRow(const QStringList& cells, kalvor::infobase::NalvichEntry& entry) const
{
    return ReadNalvichRow(cells, entry);
}

void CWorkerNalvichDlg::RefreshKindName(int row)
{
    CFldHlpGridCtrl* grid = Grid();
    if (row < grid->GetFixedRowCount() || row >= grid->GetRowCount())
        return;
    const int code = CellFigure(RowCells(row), 0);
    grid->SetItemText(row, 1, DeductionKindName(View()->Document()->refFiles.vichet, code));
    grid->RedrawCell(row, 1);
}

void CWorkerNalvichDlg::RefreshDefaultAmount(int row)
{
    CFldHlpGridCtrl* grid = Grid();
    if (row < grid->GetFixedRowCount() || row >= grid->GetRowCount())
        return;
    if (!RowCells(row).value(kAmountColumn).trimmed().isEmpty())
        return; // typed: no default
    ShowCellDefault(row, kAmountColumn, DefaultAmountOf(row));
}

QString CWorkerNalvichDlg::DefaultAmountOf(int row) const
{
    const QStringList cells = RowCells(row);
    return DeductionDefaultAmountText(View()->Document()->refFiles.vichet, CellFigure(cells, 0),
                                      CellFigure(cells, kTimesColumn));
}

void CWorkerNalvichDlg::LoadRecord(quint32 slot)
{
    CSlotBlockDlg::LoadRecord(slot);
    for (int row = Grid()->GetFixedRowCount(); row < Grid()->GetRowCount(); ++row) RefreshDefaultAmount(row);
}

void CWorkerNalvichDlg::OnGridEndEdit(int row, int col)
{
    if (col == kAmountColumn && CellShowsDefault(row, col)) {
        // Typed over the default: the cell holds what was typed.
        const QString typed = Grid()->GetItemText(row, col);
        ShowCellDefault(row, col, QString());
        Grid()->SetItemText(row, col, typed);
        if (typed.trimmed() == DefaultAmountOf(row))
            ShowCellDefault(row, col, typed.trimmed()); // left as it was: still the default
    }
    if (col == 0)
        RefreshKindName(row);
    RefreshDefaultAmount(row);
}
