#include "masterdata/ui/CWorkerNalvichView.h"

#include "masterdata/ui/CWorkerNalvichDlg.h"

CWorkerNalvichView::CWorkerNalvichView(CKalvorDoc* doc, QWidget* parent)
    : CEmployeeDetailView(360, QStringLiteral("Налоговые вычеты"), doc, parent)
{
    setObjectName(QStringLiteral("CWorkerNalvichView"));
}

CWorkerNalvichDlg* CWorkerNalvichView::Dlg() const { return static_cast<CWorkerNalvichDlg*>(DetailDlg()); }

CEmployeeDetailDlg* CWorkerNalvichView::CreateDialog() { return new CWorkerNalvichDlg(this); }

void CWorkerNalvichView::ShowGridHelp(int column)
{
    switch (column) {
    case 0: {
        const auto& book = Document()->refFiles.vichet;
        QStringList lines;
        for (int i = 0; i < int(book.count) && i < int(book.records.size()); ++i)
            lines << QStringLiteral("%1|%2")
                         .arg(book.records[std::size_t(i)].code)
                         .arg(book.records[std::size_t(i)].name.trimmed());
        ShowHelpList(lines, {3, false, 200, 140});
        break;
    }
    case 2:
    case 3: ShowFieldHint(QStringLiteral("Введите дату в формате: ММ.ГГ Нули не опускайте."), 3, 220); break;
    case 4:
        ShowFieldHint(QStringLiteral("Введите число в формате: РРРРРРР.КК Незначащие нули можно опустить."), 1, 280);
        break;
    case 5: ShowFieldHint(QStringLiteral("Введите данные в соответствии с назначением этого поля."), 1, 230); break;
    default: break;
    }
}

void CWorkerNalvichView::OnHelpValueSet()
{
    if (Dlg() && m_focusedWnd == Dlg()->Grid() && m_gridCol == 0)
        Dlg()->RefreshKindName(m_gridRow);
    EmployeeViewOnHelpValueSet(*this);
}
