#include "entries/ui/CCurnuPerSBDlg.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "shell/ui/BookChecks.h"
#include "shell/ui/CKalvorDoc.h"
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
            .columns = {FigureColumn(QStringLiteral("Код"), WholeFigure(0, en::kMaxTransferCode),
                                     TransferKindBook(doc.infoBase)),
                        FigureColumn(QStringLiteral("Сумма"), MoneyFigure()),
                        FigureColumn(QStringLiteral("Куда"), WholeFigure(0, en::kMaxRecipient),
                                     RecipientBook(doc.refFiles)),
                        FigureColumn(QStringLiteral("Филиал"), TextFigure(en::kEntryTextCapacity)),
                        FigureColumn(QStringLiteral("Лицевой счет"), TextFigure(en::kEntryTextCapacity)),
                        FigureColumn(QStringLiteral("Фамилия Имя Отчество"), TextFigure(en::kEntryTextCapacity))},
            .shares = {0.07, 0.10, 0.07, 0.15, 0.26},
            .headerSample = QStringLiteral("Код"),
            .maxRows = en::kMaxTransfers,
            .frameTitle = QStringLiteral("Перечисления в банки [%1]"),
            .tooManyRows = QStringLiteral("Количество перечислений больше %1").arg(en::kMaxTransfers)};
}

} // namespace

CCurnuPerSBDlg::CCurnuPerSBDlg(CCommonFormView* view)
    : CRowListDlg(IDD, IdGrid, view, TransfersForm(*view->Document()),
                  {en::TransferRows, en::ReadSberRow, en::ShowSberRow, en::FirstMatchingTransfer,
                   RowsWithLast<ib::SberRow>, RowsWithReplaced<ib::SberRow>})
{
    setObjectName(QStringLiteral("CCurnuPerSBDlg"));
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
        ShowComError(error);
        return {.failed = true};
    }
}
