#include "masterdata/ui/CWorkerPostviplDlg.h"

#include "shell/ui/BookChecks.h"

using namespace kalvor;
using namespace kalvor::masterdata;

namespace {

CWorkerPostviplDlg::Form PostviplForm(const CKalvorDoc& doc)
{
    CWorkerPostviplDlg::Form form;
    form.block = &kalvor::infobase::EmployeeRecord::postDopl;
    form.dialogId = 363;
    form.gridId = CWorkerPostviplDlg::IdGrid;
    form.addText = QStringLiteral("Добавить выплату");
    form.deleteText = QStringLiteral("Удалить выплату");
    form.titleFormat = QStringLiteral("Постоянные выплаты [%1]");
    const auto figure = [](int column, BookCheck book = {}) {
        return FigureColumn(PostDoplColumnTitle(column), PostDoplColumnRule(column), std::move(book));
    };
    const auto date = [](int column) { return DateColumn(PostDoplColumnTitle(column), kPaymentDateYears, true); };
    form.columns = {figure(0, PayKindBook(doc.infoBase)),
                    figure(1),
                    figure(2),
                    figure(3),
                    figure(4),
                    figure(5),
                    figure(6),
                    figure(7),
                    figure(8),
                    figure(9, ShopBook(doc.infoBase)),
                    date(kPostDoplDateStart),
                    date(kPostDoplDateEnd),
                    figure(12)};
    form.shares = {0.06, 0.06, 0.12, 0.07, 0.05, 0.06, 0.085, 0.085, 0.07, 0.06, 0.10, 0.10};
    form.headerSample = PostDoplColumnTitle(7);
    return form;
}

} // namespace

CWorkerPostviplDlg::CWorkerPostviplDlg(CCommonFormView* view) : CSlotBlockDlg(PostviplForm(*view->Document()), view)
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
