#include "masterdata/ui/CWorkerPostviplDlg.h"

using namespace kalvor::masterdata;

namespace {

CWorkerPostviplDlg::Form PostviplForm()
{
    CWorkerPostviplDlg::Form form;
    form.block = &kalvor::infobase::EmployeeRecord::postDopl;
    form.dialogId = 363;
    form.gridId = CWorkerPostviplDlg::IdGrid;
    form.addText = QStringLiteral("Добавить выплату");
    form.deleteText = QStringLiteral("Удалить выплату");
    form.titleFormat = QStringLiteral("Постоянные выплаты [%1]");
    form.titles = {QStringLiteral("Код"),
                   QStringLiteral("Вид"),
                   QStringLiteral("Величина"),
                   QStringLiteral("Чем?"),
                   QStringLiteral("%"),
                   QStringLiteral("За\nчто?"),
                   QStringLiteral("Когда?"),
                   QStringLiteral("Пере-\nрасчет"),
                   QStringLiteral("Как?"),
                   QStringLiteral("Цех"),
                   QStringLiteral("Дата\nначала"),
                   QStringLiteral("Дата\nконца"),
                   QStringLiteral("м/р")};
    form.shares = {0.06, 0.06, 0.12, 0.07, 0.05, 0.06, 0.085, 0.085, 0.07, 0.06, 0.10, 0.10};
    form.headerSample = QStringLiteral("Пере-\nрасчет");
    return form;
}

} // namespace

CWorkerPostviplDlg::CWorkerPostviplDlg(CCommonFormView* view) : CSlotBlockDlg(PostviplForm(), view)
{
    setObjectName(QStringLiteral("CWorkerPostviplDlg"));
}

QStringList CWorkerPostviplDlg::RowTexts(const kalvor::infobase::PostDoplEntry& entry) const
{
    return PostDoplRowTexts(entry);
}

RowRefusal CWorkerPostviplDlg::ReadRow(const QStringList& cells, kalvor::infobase::PostDoplEntry& entry) const
{
    return ReadPostDoplRow(cells, entry);
}
