#include "entries/ui/CMonthFormView.h"

#include "entries/ui/CMonthFormDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EmployeeScreen.h"
#include "shell/ui/EntryViewBodies.h"

#include <QGroupBox>
#include <QVBoxLayout>

namespace ib = kalvor::infobase;

CMonthFormView::CMonthFormView(int formId, const QString& title, CKalvorDoc* doc, QWidget* parent)
    : CCommonFormView(formId, doc, parent)
{
    m_title = new QGroupBox(title, this);
    SetControl(IdTitle, m_title);
}

void CMonthFormView::OnInitialUpdate()
{
    m_filter = new CTabelFilterDlg(1, 2, this);
    QVBoxLayout* layout = LayOutStrip(*this, m_filter);
    m_dlg = CreateDialog();
    m_dlg->ShowTitleWith([this](const QString& title) { SetTitle(title); });
    LayOutEntryBox(*this, layout, m_title, m_dlg, Qt::AlignLeft);
    Document()->LastEntryScreen = kEntryScreen;
    OpenOnLastEmployee(*this);
}

void CMonthFormView::NextElement()
{
    StepToEmployeeWithEntries(*this, +1, [this](const ib::EmployeeAttributes& attr) { return HasEntries(attr); });
}

void CMonthFormView::PrevElement()
{
    StepToEmployeeWithEntries(*this, -1, [this](const ib::EmployeeAttributes& attr) { return HasEntries(attr); });
}

void CMonthFormView::EnableEntry(bool enable)
{
    if (!m_dlg)
        return;
    m_dlg->setEnabled(enable);
    if (enable)
        m_dlg->setFocus(); // the dialog's focus proxy is its first field
}

void CMonthFormView::TakeHelpValues(const QStringList& values)
{
    // Values picked in the dialog's own lists are typed into the field; only
    // the strip's number list makes a group.
    if (m_dlg && m_focusedWnd && m_dlg->isAncestorOf(m_focusedWnd))
        return;
    TakeHelpValuesBody(*this, values);
}

void CMonthFormView::OnHelpValueSet() { EmployeeViewOnHelpValueSet(*this); }

void CMonthFormView::CancelGroup() { CancelGroupBody(*this); }

// What was typed for the employee shown is saved before the view goes.
bool CMonthFormView::CanLeave() { return LeaveEntryScreen(*this); }

void CMonthFormView::SetTitle(const QString& text) { m_title->setTitle(text); }

bool CMonthFormView::ShowStripHelp() { return ShowStripPickList(*this); }
