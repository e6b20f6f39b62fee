#include "payroll/ui/CCalcPlatVedView.h"

#include "grid/FldHlpGridCtrl.h"
#include "payroll/ui/CCalcPlatVedDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EntryViewBodies.h"

namespace {
constexpr int kCalcScreenCode = 8;
}

CCalcPlatVedView::CCalcPlatVedView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(391, doc, parent)
{
    setObjectName(QStringLiteral("CCalcPlatVedView"));
}

void CCalcPlatVedView::OnInitialUpdate()
{
    Document()->LastEntryScreen = kCalcScreenCode;
    m_filter = new CWorkersFilterDlg(this);
    m_dlg = new CCalcPlatVedDlg(this);
    LayOutWorkersStripScreen(*this, m_filter, m_dlg, QStringLiteral("Ведомость на зарплату"));
}

void CCalcPlatVedView::ShowFormHelp()
{
    if (m_filter && m_focusedWnd && m_filter->isAncestorOf(m_focusedWnd))
        m_filter->ShowFieldPickList();
}

void CCalcPlatVedView::ApplySelection()
{
    int shop = 0, brigade = 0, profession = 0;
    if (!CheckFilterHasEmployees(*this, *m_filter, &shop, &brigade, &profession))
        return;
    m_dlg->SetSelection(shop, brigade, profession);
    EnableEntry(true);
}

void CCalcPlatVedView::EnableEntry(bool enable)
{
    if (!m_dlg)
        return;
    m_dlg->setEnabled(enable);
    if (enable)
        m_dlg->Grid()->setFocus();
}
