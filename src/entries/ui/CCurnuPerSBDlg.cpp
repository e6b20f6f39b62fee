#include "entries/ui/CCurnuPerSBDlg.h"

#include "infobase/InfoBaseDb.h"
#include "infobase/PayKindCodes.h"
#include "platform/Db.h"
#include "shell/ui/BookChecks.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/EmployeeScreen.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/WaitCursor.h"

namespace ib = kalvor::infobase;
namespace en = kalvor::entries;
using namespace kalvor;

namespace {

RowListForm TransfersForm(const CKalvorDoc& doc)
{
    return {.width = kEntryDialogRoom,
            .addText = QStringLiteral("Добавить перечисление"),
            .deleteText = QStringLiteral("Удалить перечисление"),
            .buttonWidth = 220,
            .columns = {FigureColumn(QStringLiteral("Код"), en::SberColumnRule(0), TransferKindBook(doc.infoBase)),
                        FigureColumn(QStringLiteral("Сумма"), en::SberColumnRule(1)),
                        FigureColumn(QStringLiteral("Куда"), en::SberColumnRule(2), RecipientBook(doc.refFiles)),
                        FigureColumn(QStringLiteral("Филиал"), en::SberColumnRule(3)),
                        FigureColumn(QStringLiteral("Лицевой счет"), en::SberColumnRule(4)),
                        FigureColumn(QStringLiteral("Фамилия Имя Отчество"), en::SberColumnRule(5))},
            .shares = {0.07, 0.10, 0.07, 0.15, 0.26},
            .headerSample = QStringLiteral("Код"),
            .maxRows = en::kMaxTransfers,
            .frameTitle = QStringLiteral("Перечисления в банки [%1]"),
            .tooManyRows = QStringLiteral("Количество перечислений больше %1").arg(en::kMaxTransfers)};
}

// A row without a code, or one asking for the rest under a code that does
// not send it.
RowListRefusal RefusedTransferRow(const ib::SberRow& row)
{
    if (const QString codeless = en::CodelessTransferRefusal(row); !codeless.isEmpty())
        return {en::kTransferCodeColumn, codeless};
    return {en::kTransferAmountColumn, en::UnsentRestRefusal(row)};
}

} // namespace

CCurnuPerSBDlg::CCurnuPerSBDlg(CCommonFormView* view)
    : CRowListDlg(IDD, IdGrid, view, TransfersForm(*view->Document()),
                  {en::TransferRows, en::ReadSberRow, en::ShowSberRow, en::FirstMatchingTransfer,
                   RowsWithLast<ib::SberRow>, RowsWithReplaced<ib::SberRow>, RefusedTransferRow})
{
    setObjectName(QStringLiteral("CCurnuPerSBDlg"));
    // The code and the amount of a row decide together whether it sends the
    // rest: a cell is refused that would make the row ask for the rest under
    // another code than 903 and 906. A code typed into a new row is taken
    // before its amount; the save refuses the row if it stays without one.
    GridColumn code = m_form.columns[en::kTransferCodeColumn];
    code.rowRefusal = [this](int row, const QString& read) {
        const ib::SberRow shown = en::ReadSberRow(RowCells(row));
        if (!IsTransferCode(shown.kod) || shown.sum != 0)
            return QString();
        return en::RestCodeRefusal(en::ReadSberRow(RowWith(row, en::kTransferCodeColumn, read)).kod);
    };
    Grid()->DeclareColumn(en::kTransferCodeColumn, code);
    GridColumn amount = m_form.columns[en::kTransferAmountColumn];
    amount.rowRefusal = [this](int row, const QString& read) {
        return en::UnsentRestRefusal(en::ReadSberRow(RowWith(row, en::kTransferAmountColumn, read)));
    };
    Grid()->DeclareColumn(en::kTransferAmountColumn, amount);
}

QStringList CCurnuPerSBDlg::RowWith(int row, int col, const QString& text) const
{
    QStringList cells = RowCells(row);
    cells[col] = text;
    return cells;
}

CCurnuPerSBDlg::RowsStored CCurnuPerSBDlg::Store(const Rows& rows)
{
    if (int(rows.size()) > en::kMaxTransfers)
        return {.fits = false};
    ib::CInfoBase& base = Base();
    en::PlaceTransfers(base.current, base.attributesOf(base.currentSlot), rows);
    try {
        WaitCursor wait;
        en::StoreEmployeeDetail(base, base.currentSlot, &ib::SaveSber);
        return {.written = true};
    } catch (const kalvor::db::DbError& error) {
        ShowEmployeeNotSaved(error, base, base.currentSlot);
        return {.failed = true};
    }
}
