#include "masterdata/ui/CWorkerNalvichDlg.h"

#include "values/CScan.h"

using namespace kalvor::masterdata;

namespace {

CWorkerNalvichDlg::Form NalvichForm()
{
    CWorkerNalvichDlg::Form form;
    form.block = &kalvor::infobase::EmployeeRecord::nalvich;
    form.dialogId = 361;
    form.gridId = CWorkerNalvichDlg::IdGrid;
    form.addText = QStringLiteral("Добавить вычет");
    form.deleteText = QStringLiteral("Удалить вычет");
    form.titleFormat = QStringLiteral("Налоговые вычеты [%1]");
    form.titles = {QStringLiteral("Код\nвычета"),   QStringLiteral("Наименование\nвычета"),
                   QStringLiteral("Месяц\nначала"), QStringLiteral("Месяц\nокончания"),
                   QStringLiteral("Сумма\nвычета"), QStringLiteral("Кратность\nвычета")};
    form.shares = {0.10, 0.30, 0.15, 0.11, 0.20};
    form.headerSample = QStringLiteral("Код\nвычета");
    form.readOnlyColumn = 1;
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
    int code = 0;
    if (!kalvor::ScanInt(grid->GetItemText(row, 0), code))
        code = 0;
    grid->SetItemText(row, 1, DeductionKindName(View()->Document()->refFiles.vichet, code));
    grid->RedrawCell(row, 1);
}

void CWorkerNalvichDlg::OnGridEndEdit(int row, int col)
{
    if (col == 0)
        RefreshKindName(row);
}
