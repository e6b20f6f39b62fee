#include "entries/ui/CCurnuSsudKredView.h"

#include "entries/ui/CCurnuSsudKredDlg.h"

#include <algorithm>

namespace {

bool IsOneOf(int id, const std::array<int, 4>& ids, int run = 1)
{
    return std::any_of(ids.begin(), ids.end(), [&](int first) { return id >= first && id < first + run; });
}

} // namespace

CCurnuSsudKredView::CCurnuSsudKredView(CKalvorDoc* doc, QWidget* parent)
    : CMonthFormView(IDD, QStringLiteral("Ссуды и кредиты"), doc, parent)
{
    setObjectName(QStringLiteral("CCurnuSsudKredView"));
}

CMonthFormDlg* CCurnuSsudKredView::CreateDialog() { return new CCurnuSsudKredDlg(this); }

bool CCurnuSsudKredView::HasEntries(const kalvor::infobase::EmployeeAttributes& attr) const
{
    return attr.priznSsud != 0;
}

void CCurnuSsudKredView::ShowFormHelp()
{
    if (m_focusedId < 0 || ShowStripHelp())
        return;
    using Dlg = CCurnuSsudKredDlg;
    const int id = m_focusedId;
    const int stages = kalvor::entries::kLoanStages;
    if (IsOneOf(id, Dlg::IdCode))
        ShowHelpList(PayKindLines(*Document()), {3, true, 310, 300});
    else if (IsOneOf(id, Dlg::IdDebt) || IsOneOf(id, Dlg::IdStageSums, stages))
        ShowFieldHint(QStringLiteral("Введите число в формате: РРРРРРР.КК\nНезначащие нули можно опустить"), 3, 310);
    else if (IsOneOf(id, Dlg::IdMonths))
        ShowFieldHint(QStringLiteral("Укажите за сколько месяцев сразу должна быть\nудержана ссуда в отчетном "
                                     "периоде. Как правило\nздесь нужна 1"),
                      3, 310);
    else if (IsOneOf(id, Dlg::IdStageMonths, stages))
        ShowFieldHint(QStringLiteral("Число месяцев и нижележащая сумма являются\nсвязанными полями: первое "
                                     "указывает количество месяцев, в каждый из которых\nс работника будет "
                                     "удержана определенная вторым полем сумма."),
                      3, 310);
}
