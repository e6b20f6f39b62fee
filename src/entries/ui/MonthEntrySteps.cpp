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
    const ib::CInfoBase& base = view.Document()->infoBase;
    StepToListEntry(view, step, [&base, &hasEntries](int listIndex) {
        const int slot = base.list[std::size_t(listIndex)].slot;
        return slot >= 1 && slot <= base.capacity() && hasEntries(base.attributesOf(slot));
    });
}
