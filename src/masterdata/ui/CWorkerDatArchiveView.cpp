#include "masterdata/ui/CWorkerDatArchiveView.h"

#include "masterdata/ui/CWorkerArchiveView.h"
#include "masterdata/ui/CWorkerDatarchiveDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/EntryViewBodies.h"
#include "shell/ui/FieldHelp.h"

CWorkerDatArchiveView::CWorkerDatArchiveView(CKalvorDoc* doc, QWidget* parent)
    : CEmployeeDetailView(449, QStringLiteral("Архив с датами"), doc, parent)
{
    setObjectName(QStringLiteral("CWorkerDatArchiveView"));
}

CWorkerDatarchiveDlg* CWorkerDatArchiveView::Dlg() const { return static_cast<CWorkerDatarchiveDlg*>(DetailDlg()); }

CEmployeeDetailDlg* CWorkerDatArchiveView::CreateDialog() { return new CWorkerDatarchiveDlg(this); }

void CWorkerDatArchiveView::ApplySelection()
{
    if (!Dlg() || !SaveBeforeSwitch(*this))
        return;
    if (const int index = SelectTypedEmployee(*this); index >= 0 && LoadEmployeeForView(*this, index))
        EnableEntry(true);
}

void CWorkerDatArchiveView::InsertBefore()
{
    if (Dlg())
        Dlg()->OnInsertBefore();
}

void CWorkerDatArchiveView::InsertAfter()
{
    if (Dlg())
        Dlg()->OnInsertAfter();
}

void CWorkerDatArchiveView::DeleteElement()
{
    if (Dlg())
        Dlg()->OnDeleteRow();
}

void CWorkerDatArchiveView::ShowGridHelp(int column)
{
    static const PickPair continuation[] = {
        {"начало больничного", " "}, {"продолжение больничного", "1"}, {nullptr, nullptr}};
    switch (column) {
    case 0:
    case 1:
        ShowFieldHint(QStringLiteral("Введите дату в формате: ДД.ММ.ГГ\nнезначащие нули можно опустить"), 3, 600);
        break;
    case 2: ShowFieldHint(QStringLiteral("Введите дату в формате: ММ.ГГ Нули не опускайте."), 3, 220); break;
    case 3: ShowHelpList(CWorkerArchiveView::PayKindPickLines(*Document()), {3, true, 250, 225}); break;
    case 4:
        ShowFieldHint(QStringLiteral("Введите число в формата РРРРРРР.КК,\nнезначащие нули можно опустить. "
                                     "Сторнируемые суммы вводите с отрицательным знаком."),
                      1, 420);
        break;
    case 5: ShowHelpList(BuildPickListFromPairs(continuation), {1, false, 270, 100}); break;
    default: break;
    }
}
