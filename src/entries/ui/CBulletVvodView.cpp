#include "entries/ui/CBulletVvodView.h"

#include "entries/SickLeaveEntry.h"
#include "entries/VacationEntry.h"
#include "entries/ui/CBulletVvodDlg.h"
#include "shell/ui/CKalvorDoc.h"

namespace en = kalvor::entries;

CBulletVvodView::CBulletVvodView(CKalvorDoc* doc, RateCorrectionRunner rateCorrection, QWidget* parent)
    : CLineEntryView(IDD, QStringLiteral("Больничный лист"), kEntryScreen, doc, parent)
    , m_rateCorrection(std::move(rateCorrection))
{
    setObjectName(QStringLiteral("CBulletVvodView"));
}

CBulletVvodDlg* CBulletVvodView::Dlg() const { return static_cast<CBulletVvodDlg*>(LineDlg()); }

CLineEntryDlg* CBulletVvodView::CreateDialog() { return new CBulletVvodDlg(this, m_rateCorrection); }

int CBulletVvodView::LineCount(int slot) const
{
    const auto& sheets = Document()->infoBase.bln;
    return slot >= 1 && slot <= sheets.slotCount() ? sheets.count(slot) : 0;
}

void CBulletVvodView::ShowDialogHelp(int controlId)
{
    const HelpListStyle pickList{3, false, 360, 260};
    switch (controlId) {
    case CBulletVvodDlg::IdKind: ShowHelpList(en::SickLeaveKindLines(), pickList); break;
    case CBulletVvodDlg::IdAlgorithm: ShowHelpList(en::SickLeaveAlgorithmLines(), pickList); break;
    case CBulletVvodDlg::IdBudget: ShowHelpList(en::VacationBudgetLines(), pickList); break;
    case CBulletVvodDlg::IdFirstMonth: ShowHelpList(en::VacationMonthLines(), {3, false, 200, 226}); break;
    case CBulletVvodDlg::IdPercent: ShowFieldHint(QStringLiteral("По умолчанию - 100%"), 3, 200); break;
    case CBulletVvodDlg::IdTime:
        ShowFieldHint(QStringLiteral("Вы можете ввести целое число рабочих дней в период болезни\nлибо количество "
                                     "рабочих часов в период болезни в формате ЧЧЧ.ММ По умолчанию длительность "
                                     "болезни находится автоматически. Для алгоритма 2007г. введите дни, "
                                     "исключаемые из расчета. (например: дни больничных и дни за свой счет)"),
                      3, 420);
        break;
    case CBulletVvodDlg::IdFirstYear:
    case CBulletVvodDlg::IdSecondYear:
        ShowFieldHint(QStringLiteral("Введите целое число в соответствии с назначением этого поля"), 3, 300);
        break;
    default: break;
    }
}
