#include "entries/ui/CMonthFormView.h"

#include "entries/ui/CMonthFormDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EmployeeScreen.h"
#include "shell/ui/EntryViewBodies.h"

#include <QGroupBox>
#include <QLineEdit>
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
    CKalvorDoc* doc = Document();
    auto* layout = new QVBoxLayout(this);
    m_filter = new CTabelFilterDlg(1, 2, this);
    m_strip = m_filter;
    layout->addWidget(m_filter);
    auto* titleLayout = new QVBoxLayout(m_title);
    titleLayout->setContentsMargins(25, 25, 25, 25);
    m_dlg = CreateDialog();
    m_entryDlg = m_dlg;
    titleLayout->addWidget(m_dlg);
    layout->addWidget(m_title, 0, Qt::AlignLeft);
    layout->addStretch(1);
    m_title->show();
    m_dlg->show();
    m_filter->show();
    doc->LastEntryScreen = kEntryScreen;

    if (doc->LastPersonnelNumber != 0 && doc->OpenWithLastEmployee) {
        doc->OpenWithLastEmployee = 0;
        const int index = doc->infoBase.FindEmployee(int(doc->LastPersonnelNumber));
        if (index >= 0 && LoadEmployeeForView(*this, index)) {
            EnableEntry(true);
            return;
        }
    }
    EnableEntry(false);
    m_filter->Field(CTabelFilterDlg::IdTabN)->setFocus();
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

bool CMonthFormView::CanLeave()
{
    if (!m_dlg)
        return true;
    if (m_dlg->m_groupMode) {
        m_dlg->OnCancel();
        return true;
    }
    // What was typed for the employee shown is saved before the view goes.
    return m_dlg->SaveRecord() != 0;
}

QString CMonthFormView::Title() const { return m_title->title(); }

void CMonthFormView::SetTitle(const QString& text) { m_title->setTitle(text); }

bool CMonthFormView::ShowStripHelp()
{
    if (!m_filter || !m_focusedWnd || !m_filter->isAncestorOf(m_focusedWnd))
        return false;
    m_filter->ShowFieldPickList();
    return true;
}
