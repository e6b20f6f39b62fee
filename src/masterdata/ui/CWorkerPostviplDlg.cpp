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
    const kalvor::YearSpan years = kPaymentDateYears;
    form.columns = {FigureColumn(QStringLiteral("Код"), WholeFigure(0, kPostDoplMaxCode), PayKindBook(doc.infoBase)),
                    FigureColumn(QStringLiteral("Вид"), WholeFigure(0, 7)),
                    FigureColumn(QStringLiteral("Величина"), MoneyFigure()),
                    FigureColumn(QStringLiteral("Чем?"), WholeFigure(0, 21)),
                    FigureColumn(QStringLiteral("%"), kPostDoplPercent),
                    FigureColumn(QStringLiteral("За\nчто?"), WholeFigure(0, 15)),
                    FigureColumn(QStringLiteral("Когда?"), WholeFigure(0, 5)),
                    FigureColumn(QStringLiteral("Пере-\nрасчет"), WholeFigure(0, 3)),
                    FigureColumn(QStringLiteral("Как?"), WholeFigure(0, 7)),
                    FigureColumn(QStringLiteral("Цех"), WholeFigure(0, 250), ShopBook(doc.infoBase)),
                    DateColumn(QStringLiteral("Дата\nначала"), years, true),
                    DateColumn(QStringLiteral("Дата\nконца"), years, true),
                    FigureColumn(QStringLiteral("м/р"), WholeFigure(0, 1))};
    form.shares = {0.06, 0.06, 0.12, 0.07, 0.05, 0.06, 0.085, 0.085, 0.07, 0.06, 0.10, 0.10};
    form.headerSample = QStringLiteral("Пере-\nрасчет");
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
