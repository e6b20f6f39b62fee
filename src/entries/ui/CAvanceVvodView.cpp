#include "entries/ui/CAvanceVvodView.h"

#include "entries/AdvanceEntry.h"
#include "entries/ui/CAvanceVvodDlg.h"
#include "grid/FldHlpGridCtrl.h"
#include "infobase/InfoBaseDb.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EntryViewBodies.h"

CAvanceVvodView::CAvanceVvodView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(374, doc, parent)
{
    setObjectName(QStringLiteral("CAvanceVvodView"));
}

CAvanceVvodView::~CAvanceVvodView()
{
    StoreOnClose(m_dlg, [this] { kalvor::infobase::SaveAvZar1(Document()->infoBase); });
}

void CAvanceVvodView::OnInitialUpdate()
{
    CKalvorDoc* doc = Document();
    doc->LastEntryScreen = kEntryScreen;
    m_filter = new CWorkersFilterDlg(this);
    m_dlg = new CAvanceVvodDlg(this);
    LayOutWorkersStripScreen(*this, m_filter, m_dlg, QStringLiteral("Корректировка аванса"));
    OpenOnWorkersStrip(*this, *m_filter, Shown());
}

void CAvanceVvodView::ShowFormHelp()
{
    ShowStripPickList(*this);
}

std::function<bool(int)> CAvanceVvodView::Shown() const
{
    const CKalvorDoc& doc = *Document();
    return [&doc](int index) { return kalvor::AdvanceShown(doc, index); };
}

void CAvanceVvodView::ApplySelection() { ApplyWorkersSelection(*this, *m_filter, Shown()); }

bool CAvanceVvodView::CanLeave() { return LeaveEntryScreen(*this); }

void CAvanceVvodView::EnableEntry(bool enable) { EnableGridEntry(m_dlg, enable); }
