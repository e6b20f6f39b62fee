#include "entries/AdvanceStatement.h"

namespace kalvor {

platform::TaskOutcome AdvanceStatementWorker(platform::TaskContext& context, const AdvanceStatementParams& params)
{
    return RunPaymentStatement(print::StatementKind::Advance, context, params);
}

} // namespace kalvor
