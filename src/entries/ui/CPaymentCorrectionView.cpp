#include "entries/ui/CPaymentCorrectionView.h"

#include "entries/ui/CPaymentCorrectionDlg.h"
#include "grid/FldHlpGridCtrl.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EntryViewBodies.h"

#include <QGroupBox>

CPaymentCorrectionView::CPaymentCorrectionView(int formId, const QString& caption, int entryScreen, CKalvorDoc* doc,
                                               QWidget* parent)
    : CCommonFormView(formId, doc, parent), m_caption(caption), m_entryScreen(entryScreen)
{}

CPaymentCorrectionView::~CPaymentCorrectionView()
{
    if (m_dlg)
        m_dlg->SaveRecord();
}

void CPaymentCorrectionView::OnInitialUpdate()
{
    Document()->LastEntryScreen = quint32(m_entryScreen);
    m_filter = new CWorkersFilterDlg(this);
    m_dlg = CreateDialog();
    SetControl(IdFrame, LayOutWorkersStripScreen(*this, m_filter, m_dlg, m_caption, Qt::AlignLeft));
}

void CPaymentCorrectionView::ShowFormHelp()
{
    if (m_filter && m_focusedWnd && m_filter->isAncestorOf(m_focusedWnd))
        m_filter->ShowFieldPickList();
}

void CPaymentCorrectionView::ApplySelection()
{
    int shop = 0, brigade = 0, profession = 0;
    if (!CheckFilterHasEmployees(*this, *m_filter, &shop, &brigade, &profession))
        return;
    if (!SaveBeforeSwitch(*this))
        return;
    m_dlg->SetSelection(shop, brigade, profession);
    EnableEntry(true);
}

void CPaymentCorrectionView::EnableEntry(bool enable)
{
    if (!m_dlg)
        return;
    m_dlg->setEnabled(enable);
    if (!enable)
        return;
    CFldHlpGridCtrl* grid = m_dlg->Grid();
    grid->setFocus();
    if (grid->GetRowCount() > grid->GetFixedRowCount())
        grid->SetFocusCell(grid->GetFixedRowCount(), kalvor::entries::PaymentAmount);
}

bool CPaymentCorrectionView::CanLeave()
{
    if (!m_dlg)
        return true;
    return m_dlg->SaveRecord() != 0 || m_dlg->LineMissing();
}
