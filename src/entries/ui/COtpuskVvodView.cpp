#include "entries/ui/COtpuskVvodView.h"

#include "entries/VacationEntry.h"
#include "entries/ui/COtpuskVvodDlg.h"
#include "shell/ui/CKalvorDoc.h"

namespace en = kalvor::entries;

COtpuskVvodView::COtpuskVvodView(CKalvorDoc* doc, RateCorrectionRunner rateCorrection, QWidget* parent)
    : CLineEntryView(IDD, QStringLiteral("Отпускная записка"), kEntryScreen, doc, parent)
    , m_rateCorrection(std::move(rateCorrection))
{
    setObjectName(QStringLiteral("COtpuskVvodView"));
}

COtpuskVvodDlg* COtpuskVvodView::Dlg() const { return static_cast<COtpuskVvodDlg*>(LineDlg()); }

CLineEntryDlg* COtpuskVvodView::CreateDialog() { return new COtpuskVvodDlg(this, m_rateCorrection); }

int COtpuskVvodView::LineCount(int slot) const
{
    const auto& notes = Document()->infoBase.otp;
    return slot >= 1 && slot <= notes.slotCount() ? notes.count(slot) : 0;
}

void COtpuskVvodView::ShowDialogHelp(int controlId)
{
    const HelpListStyle pickList{3, false, 420, 200};
    switch (controlId) {
    case COtpuskVvodDlg::IdKind: ShowHelpList(en::VacationKindLines(), pickList); break;
    case COtpuskVvodDlg::IdAlgorithm: ShowHelpList(en::VacationAlgorithmLines(), pickList); break;
    case COtpuskVvodDlg::IdDayBasis: ShowHelpList(en::VacationDayBasisLines(), pickList); break;
    case COtpuskVvodDlg::IdBudget: ShowHelpList(en::VacationBudgetLines(), pickList); break;
    case COtpuskVvodDlg::IdMonth: ShowHelpList(en::VacationMonthLines(), {3, false, 200, 226}); break;
    case COtpuskVvodDlg::IdLength:
        ShowFieldHint(QStringLiteral("Введите длину\nотпуска в формате ЦЦ.ДД"), 3, 220);
        break;
    case COtpuskVvodDlg::IdFund:
        ShowFieldHint(QStringLiteral("Введите значение фонда рабочих дней в месяце.\nПо умолчанию будет принято "
                                     "значение 29.6 для расчета\nотпусных в календарных днях и 25.25 в рабочих"),
                      3, 380);
        break;
    case COtpuskVvodDlg::IdPeriodDays:
        ShowFieldHint(QStringLiteral("Укажите количество дней(календарных, рабочих)\nв расчетном периоде в формате "
                                     "ЦЦ.ДД \nПо умочанию это значение будет рассчитано"),
                      3, 360);
        break;
    default: break;
    }
}
