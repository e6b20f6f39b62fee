#include "entries/ui/COtpuskVvodView.h"

#include "entries/VacationEntry.h"

namespace en = kalvor::entries;

namespace {

// F1 on the note's fields: the codes' pick lists and the hints.
std::vector<LineFieldHelp> NoteFieldHelp()
{
    return {
        {COtpuskVvodDlg::IdKind, en::VacationKindLines, {}, 420, 200},
        {COtpuskVvodDlg::IdAlgorithm, en::VacationAlgorithmLines, {}, 420, 200},
        {COtpuskVvodDlg::IdDayBasis, en::VacationDayBasisLines, {}, 420, 200},
        {COtpuskVvodDlg::IdBudget, en::VacationBudgetLines, {}, 420, 200},
        {COtpuskVvodDlg::IdMonth, en::VacationMonthLines, {}, 200, 226},
        {COtpuskVvodDlg::IdLength, nullptr, QStringLiteral("Введите длину\nотпуска в формате ЦЦ.ДД"), 220},
        {COtpuskVvodDlg::IdFund, nullptr,
         QStringLiteral("Введите значение фонда рабочих дней в месяце.\nПо умолчанию будет принято значение 29.6 для "
                        "расчета\nотпусных в календарных днях и 25.25 в рабочих"),
         380},
        {COtpuskVvodDlg::IdPeriodDays, nullptr,
         QStringLiteral("Укажите количество дней(календарных, рабочих)\nв расчетном периоде в формате ЦЦ.ДД \nПо "
                        "умочанию это значение будет рассчитано"),
         360},
    };
}

} // namespace

COtpuskVvodView::COtpuskVvodView(CKalvorDoc* doc, RateCorrectionRunner rateCorrection, QWidget* parent)
    : CLineEntryViewOf(IDD, QStringLiteral("Отпускная записка"), kEntryScreen, NoteFieldHelp(),
                       &kalvor::infobase::CInfoBase::otp, doc, std::move(rateCorrection), parent)
{
    setObjectName(QStringLiteral("COtpuskVvodView"));
}
