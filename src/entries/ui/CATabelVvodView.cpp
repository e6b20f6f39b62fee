#include "entries/ui/CATabelVvodView.h"

#include "entries/ui/CATabelVvodDlg.h"
#include "entries/ui/CCurnuNuView.h"
#include "grid/FldHlpGridCtrl.h"
#include "shell/ui/CKalvorDoc.h"

CATabelVvodView::CATabelVvodView(CKalvorDoc* doc, QWidget* parent)
    : CEmployeeDetailView(IDD, QStringLiteral("Альтернативный табель"), doc, parent)
{
    setObjectName(QStringLiteral("CATabelVvodView"));
}

CATabelVvodDlg* CATabelVvodView::Dlg() const { return static_cast<CATabelVvodDlg*>(DetailDlg()); }

CEmployeeDetailDlg* CATabelVvodView::CreateDialog() { return new CATabelVvodDlg(this); }

void CATabelVvodView::OnInitialUpdate()
{
    CEmployeeDetailView::OnInitialUpdate();
    Document()->LastEntryScreen = kEntryScreen;
}

void CATabelVvodView::InsertBefore()
{
    if (Dlg())
        Dlg()->InsertRowBefore();
}

void CATabelVvodView::InsertAfter()
{
    if (Dlg())
        Dlg()->InsertRowAfter();
}

void CATabelVvodView::DeleteElement()
{
    if (Dlg())
        Dlg()->DeleteRow();
}

void CATabelVvodView::TakeHelpValues(const QStringList& values)
{
    if (Dlg() && m_focusedWnd == Dlg()->Grid())
        return;
    CEmployeeDetailView::TakeHelpValues(values);
}

QStringList CATabelVvodView::MinusLines()
{
    return {QStringLiteral("|Это начисление будет начислено, удержание ужержано"),
            QStringLiteral("1|Это начисление/удержание будет сторнитовано(т.е взято со знаком минус)")};
}

void CATabelVvodView::ShowGridHelp(int column)
{
    switch (column) {
    case 0: ShowHelpList(PayKindLines(*Document()), {3, true, 400, 400}); break;
    case 1:
        ShowFieldHint(QStringLiteral("Введите количество дней, подлежащих оплате с соотв. кодом начисления.\nЕсли вы "
                                     "укажете звездочку(*), число рабочих дней будет заимствованоиз основного "
                                     "табеля. В случае, когда в альтернативном табеле указаны и дни( каким-либо "
                                     "образом), и часы, программа в качестве рабочего времени возьмет их "
                                     "произведение"),
                      3, 600);
        break;
    case 2: ShowFieldHint(QStringLiteral("Введите время в формате: ЧЧЧ.ММ"), 3, 220); break;
    case 3:
        ShowFieldHint(QStringLiteral("Введите число в формате: РРРРРРР.КК\nНезначащие нули можно опустить."), 3, 220);
        break;
    case 4:
        ShowFieldHint(QStringLiteral("Введите часовой тариф в формате: РРРР.ККК\nНезначащие нули можно опустить."), 3,
                      220);
        break;
    case 5:
        ShowFieldHint(QStringLiteral("Введите любое целое число в соответствии с назначением этого поля."), 3, 220);
        break;
    case 6: PickShop(); break;
    case 7: ShowProductionCostCodeHint(); break;
    case 8: ShowHelpList(CCurnuNuView::MonthLines(), {3, false, 200, 226}); break;
    case 9: ShowHelpList(MinusLines(), {3, false, 420, 60}); break;
    default: break;
    }
}
