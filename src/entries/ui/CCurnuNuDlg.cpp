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
    return {.width = 730,
            .addText = QStringLiteral("Добавить начисление/удержание"),
            .deleteText = QStringLiteral("Удалить начисление/удержание"),
            .buttonWidth = 240,
            .titles = {QStringLiteral("Месяц"), QStringLiteral("Код"), QStringLiteral("Сумма"),
                       QStringLiteral("Время\n(в днях)"), QStringLiteral("Время\n(в часах)"), QStringLiteral("ШПЗ"),
                       QStringLiteral("Цех")},
            .shares = {0.08, 0.08, 0.17, 0.15, 0.15, 0.20},
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

CCurnuNuDlg::Stored CCurnuNuDlg::StoreShown(const Rows& rows)
{
    en::RowStore store;
    try {
        WaitCursor wait;
        store = en::StoreCurrentRows(Base(), int(m_slot), rows);
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        return Stored::Refused;
    }
    if (store.placement != en::RowPlacement::Fits) {
        KalvorMessageBox(m_form.tooManyRows, MB_OK | MB_ICONERROR, QString(), this);
        return Stored::Refused;
    }
    return store.written ? Stored::Written : Stored::Kept;
}

bool CCurnuNuDlg::StoreMember(const Rows& rows)
{
    try {
        WaitCursor wait;
        return en::StoreCurrentRows(Base(), Base().currentSlot, rows).placement == en::RowPlacement::Fits;
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        return true;
    }
}

void CCurnuNuDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && !m_groupMode && !SaveRecord())
        return;
    CRowListDlg::keyPressEvent(event);
}
