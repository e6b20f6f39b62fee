#include "entries/AdvanceStatement.h"

namespace kalvor {

bool TakenForAdvance(const PayrollDoc& doc, int index, const platform::TaskThreadParams& selection)
{
    if (!TakenForEntryPrint(doc, index, selection))
        return false;
    const infobase::CInfoBase& base = doc.infoBase;
    const std::size_t slot = base.list[std::size_t(index)].slot;
    return base.holdsSlot(slot) && base.avOf(slot) != 0;
}

platform::TaskOutcome AdvanceStatementWorker(platform::TaskContext& context, const AdvanceStatementParams& params)
{
    return RunPaymentStatement(print::StatementKind::Advance, context, params);
}

} // namespace kalvor
