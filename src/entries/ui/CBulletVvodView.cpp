#include "entries/ui/CBulletVvodView.h"

#include "entries/SickLeaveEntry.h"
#include "entries/VacationEntry.h"

namespace en = kalvor::entries;

namespace {

// F1 on the sheet's fields: the codes' pick lists and the hints.
std::vector<LineFieldHelp> SheetFieldHelp()
{
    const QString yearHint = QStringLiteral("Введите целое число в соответствии с назначением этого поля");
    return {
        {CBulletVvodDlg::IdKind, en::SickLeaveKindLines, {}, 360, 260},
        {CBulletVvodDlg::IdAlgorithm, en::SickLeaveAlgorithmLines, {}, 360, 260},
        {CBulletVvodDlg::IdBudget, en::VacationBudgetLines, {}, 360, 260},
        {CBulletVvodDlg::IdFirstMonth, en::VacationMonthLines, {}, 200, 226},
        {CBulletVvodDlg::IdPercent, nullptr, QStringLiteral("По умолчанию - 100%"), 200},
        {CBulletVvodDlg::IdTime, nullptr,
         QStringLiteral("Вы можете ввести целое число рабочих дней в период болезни\nлибо количество рабочих часов в "
                        "период болезни в формате ЧЧЧ.ММ По умолчанию длительность болезни находится "
                        "автоматически. Для алгоритма 2007г. введите дни, исключаемые из расчета. (например: дни "
                        "больничных и дни за свой счет)"),
         420},
        {CBulletVvodDlg::IdFirstYear, nullptr, yearHint, 300},
        {CBulletVvodDlg::IdSecondYear, nullptr, yearHint, 300},
    };
}

} // namespace

CBulletVvodView::CBulletVvodView(CKalvorDoc* doc, RateCorrectionRunner rateCorrection, QWidget* parent)
    : CLineEntryViewOf(IDD, QStringLiteral("Больничный лист"), kEntryScreen, SheetFieldHelp(),
                       &kalvor::infobase::CInfoBase::bln, doc, std::move(rateCorrection), parent)
{
    setObjectName(QStringLiteral("CBulletVvodView"));
}
