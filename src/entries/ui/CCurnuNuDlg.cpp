#include "entries/ui/CCurnuNuDlg.h"

#include "payroll/CalcErrors.h"
#include "platform/Db.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/WaitCursor.h"

#include <QKeyEvent>

namespace ib = kalvor::infobase;
namespace en = kalvor::entries;

namespace {

RowListForm CurrentRowsForm()
{
    return {.width = kEntryDialogRoom,
            .addText = QStringLiteral("Добавить начисление/удержание"),
            .deleteText = QStringLiteral("Удалить начисление/удержание"),
            .buttonWidth = 240,
            .titles = {QStringLiteral("Месяц"), QStringLiteral("Код"), QStringLiteral("Сумма"),
                       QStringLiteral("Время\n(в днях)"), QStringLiteral("Время\n(в часах)"), QStringLiteral("ШПЗ"),
                       QStringLiteral("Цех")},
            .shares = {0.09, 0.08, 0.17, 0.15, 0.15, 0.20},
            .headerSample = QStringLiteral("Месяц"),
            .maxRows = en::kCurnuMaxRows,
            .amountColumn = en::kCurnuSumColumn,
            .halfHeightRows = true,
            .frameTitle = QStringLiteral("Начисления / Удержания  [%1]"),
            .tooManyRows = kalvor::CalcErrorText(kalvor::kCalcTooManyRows)};
}

} // namespace

CCurnuNuDlg::CCurnuNuDlg(CCommonFormView* view)
    : CRowListDlg(IDD, IdGrid, view, CurrentRowsForm(),
                  {en::CurrentRows, en::ReadProizvRow, en::ShowProizvRow, en::FirstMatchingRow, en::RowsWithModelFirst,
                   en::RowsWithCorrected})
{
    setObjectName(QStringLiteral("CCurnuNuDlg"));
}

CCurnuNuDlg::RowsStored CCurnuNuDlg::Store(const Rows& rows)
{
    try {
        WaitCursor wait;
        const en::RowStore store = en::StoreCurrentRows(Base(), Base().currentSlot, rows);
        return {.fits = store.placement == en::RowPlacement::Fits, .written = store.written};
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        return {.failed = true};
    }
}

void CCurnuNuDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && !m_groupMode && !SaveRecord())
        return;
    CRowListDlg::keyPressEvent(event);
}
