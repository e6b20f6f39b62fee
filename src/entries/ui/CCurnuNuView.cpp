#include "entries/ui/CCurnuNuView.h"

#include "entries/ui/CCurnuNuDlg.h"
#include "entries/ui/MonthEntrySteps.h"
#include "grid/FldHlpGridCtrl.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/EntryViewBodies.h"
#include "values/Values.h"

CCurnuNuView::CCurnuNuView(CKalvorDoc* doc, QWidget* parent)
    : CEmployeeDetailView(IDD, QStringLiteral("Начисления / Удержания"), doc, parent)
{
    setObjectName(QStringLiteral("CCurnuNuView"));
}

CCurnuNuDlg* CCurnuNuView::Dlg() const { return static_cast<CCurnuNuDlg*>(DetailDlg()); }

CEmployeeDetailDlg* CCurnuNuView::CreateDialog() { return new CCurnuNuDlg(this); }

void CCurnuNuView::OnInitialUpdate()
{
    CEmployeeDetailView::OnInitialUpdate();
    Document()->LastEntryScreen = kEntryScreen;
}

void CCurnuNuView::NextElement() { StepToEmployeeWithRows(+1); }

void CCurnuNuView::PrevElement() { StepToEmployeeWithRows(-1); }

void CCurnuNuView::TakeHelpValues(const QStringList& values)
{
    if (Dlg() && m_focusedWnd == Dlg()->Grid())
        return;
    CEmployeeDetailView::TakeHelpValues(values);
}

void CCurnuNuView::StepToEmployeeWithRows(int step)
{
    StepToEmployeeWithEntries(*this, step,
                              [](const kalvor::infobase::EmployeeAttributes& attr) { return attr.kvProizv != 0; });
}

QStringList CCurnuNuView::MonthLines()
{
    QStringList lines;
    for (int month = 1; month <= 12; ++month) lines << QStringLiteral("%1|%2").arg(month).arg(kalvor::MonthName(month));
    return lines;
}

void CCurnuNuView::ShowGridHelp(int column)
{
    switch (column) {
    case 0: ShowHelpList(MonthLines(), {3, false, 200, 226}); break;
    case 1: PickPayKind2(); break;
    case 2:
        ShowFieldHint(QStringLiteral("Введите число в формате: РРРРРРР.КК\nНезначащие нули можно опустить. "
                                     "\nСторнируемые суммы вводите с отрицательным знаком"),
                      3, 250);
        break;
    case 3: ShowFieldHint(QStringLiteral("Введите количество дней,\nучтенных в этом начислении"), 3, 220); break;
    case 4: ShowFieldHint(QStringLiteral("Введите время\nв формате ЧЧЧ.ММ"), 3, 220); break;
    case 5: ShowProductionCostCodeHint(); break;
    case 6: PickShop(); break;
    default: break;
    }
}
