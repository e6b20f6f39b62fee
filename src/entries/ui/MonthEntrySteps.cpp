#include "entries/ui/MonthEntrySteps.h"

#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CFormChildDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/EntryViewBodies.h"

namespace ib = kalvor::infobase;

void StepToEmployeeWithEntries(CCommonFormView& view, int step, const HasEntries& hasEntries)
{
    const ib::CInfoBase& base = view.Document()->infoBase;
    StepToListEntry(view, step, [&base, &hasEntries](int listIndex) {
        const int slot = base.list[std::size_t(listIndex)].slot;
        return base.holdsSlot(slot) && hasEntries(base.attributesOf(slot));
    });
}
