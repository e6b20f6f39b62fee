#include "entries/ui/CCurnuIspListView.h"

#include "entries/ui/CCurnuIspListDlg.h"

#include <algorithm>

namespace {

template <std::size_t N>
bool IsOneOf(int id, const std::array<int, N>& ids)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

} // namespace

CCurnuIspListView::CCurnuIspListView(CKalvorDoc* doc, QWidget* parent)
    : CMonthFormView(IDD, QStringLiteral("Исполнительные листы"), doc, parent)
{
    setObjectName(QStringLiteral("CCurnuIspListView"));
}

CMonthFormDlg* CCurnuIspListView::CreateDialog() { return new CCurnuIspListDlg(this); }

bool CCurnuIspListView::HasEntries(const kalvor::infobase::EmployeeAttributes& attr) const
{
    return attr.priznAlim != 0 || attr.priznIspl != 0;
}

QStringList CCurnuIspListView::KindLines()
{
    return {QStringLiteral("1|Алименты"), QStringLiteral("2|В пользу бюро исправительных работ"),
            QStringLiteral("3|Прочие испольнительные листы")};
}

void CCurnuIspListView::ShowFormHelp()
{
    if (m_focusedId < 0 || ShowStripHelp())
        return;
    using Dlg = CCurnuIspListDlg;
    const int id = m_focusedId;
    if (IsOneOf(id, Dlg::IdKind))
        ShowHelpList(KindLines(), {3, false, 310, 90});
    else if (IsOneOf(id, Dlg::IdTable))
        ShowFieldHint(
            QStringLiteral(
                "Укажите номер (от 1 до 20) налоговой таблицы.\nЭти таблицы используются при расчете налога на "
                "доходы физических лиц, единого социального налога, профсоюзных взносов и почтового сбора для "
                "пересылки алиментов.При исчислении налога на доходы физических лиц с помощью четных налоговых "
                "таблиц (в отличие от нечетных) не учитываются ежемесячные стандартные налоговые вычеты работника "
                "за те месяцы, в которых не было налогооблагаемого дохода."),
            3, 310);
    else if (IsOneOf(id, Dlg::IdSize))
        ShowFieldHint(QStringLiteral("Введите число в формате: РРРРРРР.КК Незначащие нули можно опустить."), 3, 310);
    else if (IsOneOf(id, Dlg::IdFio) || IsOneOf(id, Dlg::IdAdr))
        ShowFieldHint(QStringLiteral("Введите данные в соответствии с назначением этого поля."), 3, 310);
}
