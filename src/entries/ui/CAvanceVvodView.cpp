#include "entries/ui/CAvanceVvodView.h"

#include "entries/AdvanceEntry.h"
#include "entries/ui/CAvanceVvodDlg.h"
#include "grid/FldHlpGridCtrl.h"
#include "infobase/InfoBaseDb.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EntryViewBodies.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/WaitCursor.h"

CAvanceVvodView::CAvanceVvodView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(374, doc, parent)
{
    setObjectName(QStringLiteral("CAvanceVvodView"));
}

CAvanceVvodView::~CAvanceVvodView()
{
    if (!m_dlg)
        return;
    m_dlg->SaveRecord();
    if (!m_dlg->m_modified)
        return;
    WaitCursor wait;
    try {
        kalvor::infobase::SaveAvZar1(Document()->infoBase, kalvor::infobase::SaveModeOverwrite);
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
    }
}

void CAvanceVvodView::OnInitialUpdate()
{
    CKalvorDoc* doc = Document();
    doc->LastEntryScreen = kEntryScreen;
    m_filter = new CWorkersFilterDlg(this);
    m_dlg = new CAvanceVvodDlg(this);
    LayOutWorkersStripScreen(*this, m_filter, m_dlg, QStringLiteral("Корректировка аванса"));
    // The quick command opens the screen on the strip as it stands.
    if (doc->OpenWithLastEmployee != 0) {
        doc->OpenWithLastEmployee = 0;
        int shop = 0, brigade = 0, profession = 0;
        if (CheckSelection(&shop, &brigade, &profession)) {
            m_dlg->SetSelection(shop, brigade, profession);
            EnableEntry(true);
        }
    }
}

void CAvanceVvodView::ShowFormHelp()
{
    if (m_filter && m_focusedWnd && m_filter->isAncestorOf(m_focusedWnd))
        m_filter->ShowFieldPickList();
}

bool CAvanceVvodView::CheckSelection(int* shop, int* brigade, int* profession)
{
    const CKalvorDoc& doc = *Document();
    return CheckFilterHasEmployees(*this, *m_filter, shop, brigade, profession,
                                   [&doc](int index) { return kalvor::AdvanceShown(doc, index); }) != 0;
}

void CAvanceVvodView::ApplySelection()
{
    int shop = 0, brigade = 0, profession = 0;
    if (!CheckSelection(&shop, &brigade, &profession) || !m_dlg->SaveRecord())
        return;
    m_dlg->SetSelection(shop, brigade, profession);
    EnableEntry(true);
}

bool CAvanceVvodView::CanLeave() { return !m_dlg || m_dlg->SaveRecord() != 0; }

void CAvanceVvodView::EnableEntry(bool enable)
{
    if (!m_dlg)
        return;
    m_dlg->setEnabled(enable);
    if (enable)
        m_dlg->Grid()->setFocus();
}
