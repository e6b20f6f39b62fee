#include "entries/ui/CCurnuNuDlg.h"

#include "payroll/CalcErrors.h"
#include "platform/Db.h"
#include "shell/ui/BookChecks.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/EmployeeScreen.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/WaitCursor.h"

#include <QKeyEvent>

namespace ib = kalvor::infobase;
namespace en = kalvor::entries;
using namespace kalvor;

namespace {

RowListForm CurrentRowsForm(const CKalvorDoc& doc)
{
    return {.width = kEntryDialogRoom,
            .addText = QStringLiteral("Добавить начисление/удержание"),
            .deleteText = QStringLiteral("Удалить начисление/удержание"),
            .buttonWidth = 240,
            .columns = {FigureColumn(QStringLiteral("Месяц"), en::ProizvColumnRule(0)),
                        FigureColumn(QStringLiteral("Код"), en::ProizvColumnRule(1), PayKindBook(doc.infoBase)),
                        FigureColumn(QStringLiteral("Сумма"), en::ProizvColumnRule(2)),
                        FigureColumn(QStringLiteral("Время\n(в днях)"), en::ProizvColumnRule(3)),
                        CarriedHoursColumn(QStringLiteral("Время\n(в часах)"), en::kCurnuMaxHours),
                        FigureColumn(QStringLiteral("ШПЗ"), en::ProizvColumnRule(5)),
                        FigureColumn(QStringLiteral("Цех"), en::ProizvColumnRule(6), ShopBook(doc.infoBase))},
            .shares = {0.09, 0.08, 0.17, 0.15, 0.15, 0.20},
            .headerSample = QStringLiteral("Месяц"),
            .maxRows = en::kCurnuMaxRows,
            .halfHeightRows = true,
            .frameTitle = QStringLiteral("Начисления / Удержания  [%1]"),
            .tooManyRows = kalvor::CalcErrorText(kalvor::kCalcTooManyRows)};
}

} // namespace

CCurnuNuDlg::CCurnuNuDlg(CCommonFormView* view)
    : CRowListDlg(IDD, IdGrid, view, CurrentRowsForm(*view->Document()),
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
        ShowEmployeeNotSaved(error, Base(), Base().currentSlot);
        return {.failed = true};
    }
}

void CCurnuNuDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && !m_groupMode && !SaveRecord())
        return;
    CRowListDlg::keyPressEvent(event);
}
