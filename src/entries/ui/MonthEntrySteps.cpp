#include "entries/ui/MonthEntrySteps.h"

#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CFormChildDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/EntryViewBodies.h"

namespace ib = kalvor::infobase;

void ApplyTypedPersonnelNumber(CCommonFormView& view)
{
    CFormChildDlg* dlg = view.m_entryDlg;
    if (!dlg || RefuseWhileGroupOpen(view) || !dlg->SaveRecord())
        return;
    int tabN = 0;
    if (!ReadTypedPersonnelNumber(view, &tabN))
        return;
    CKalvorDoc* doc = view.Document();
    const int index = doc->infoBase.FindEmployee(tabN);
    if (index < 0) {
        // Not in the list: the employee shown stays.
        RefusePersonnelNumber(view);
        return;
    }
    if (LoadEmployeeForView(view, index))
        view.EnableEntry(true);
}

void StepToEmployeeWithEntries(CCommonFormView& view, int step, const HasEntries& hasEntries)
{
    if (RefuseWhileGroupOpen(view) || view.m_tabN == 0)
        return;
    if (view.m_entryDlg && !view.m_entryDlg->SaveRecord())
        return;
    const ib::CInfoBase& base = view.Document()->infoBase;
    const int index = base.FindEmployee(int(view.m_tabN));
    if (index < 0)
        return;
    for (int next = index + step; next >= 0 && next < base.employeeCount(); next += step) {
        const int slot = base.list[std::size_t(next)].slot;
        if (slot >= 1 && slot <= base.capacity() && hasEntries(base.attributes[std::size_t(slot - 1)])) {
            LoadEmployeeForView(view, next);
            return;
        }
    }
}
