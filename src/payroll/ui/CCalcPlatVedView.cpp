#include "payroll/ui/CCalcPlatVedView.h"

#include "grid/FldHlpGridCtrl.h"
#include "payroll/ui/CCalcPlatVedDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EntryViewBodies.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

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
    auto* layout = new QVBoxLayout(this);
    m_filter = new CWorkersFilterDlg(this);
    m_strip = m_filter;
    layout->addWidget(m_filter);
    auto* box = new QGroupBox(QStringLiteral("Ведомость на зарплату"), this);
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->setContentsMargins(25, 25, 25, 25);
    m_dlg = new CCalcPlatVedDlg(this);
    m_entryDlg = m_dlg;
    boxLayout->addWidget(m_dlg);
    layout->addWidget(box);
    layout->addStretch(1);
    box->show();
    m_dlg->show();
    m_filter->show();
    m_filter->Field(CWorkersFilterDlg::IdShop)->setFocus();
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
