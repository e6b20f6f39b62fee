#include "payroll/CalcThread.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/CalcEmployeeMonth.h"
#include "platform/Db.h"

#include <optional>

namespace kalvor {

using namespace infobase;
using platform::TaskOutcome;

namespace {

// Closes the swap work file however the run ends, so that its lock never
// outlives the run.
struct SwapCloser {
    CInfoBase& base;
    ~SwapCloser() { base.CloseSwapFile(); }
};

constexpr int kDismissedWithBonusOnly = 4;
constexpr int kBatchSize = 50;

} // namespace

void SelectEmployeesForCalculation(const CalcThreadParams& filter, const PayrollDoc& doc, std::vector<int>& list)
{
    list.clear();
    const CInfoBase& base = doc.infoBase;
    if (filter.personnelNumber != 0) {
        if (filter.personnelNumber < 0)
            return;
        const int index = base.FindEmployee(filter.personnelNumber);
        if (index >= 0 && index < base.employeeCount())
            list.push_back(index);
        return;
    }
    if (filter.reservedSelector != 0)
        return;
    for (int i = 0; i < base.employeeCount(); ++i) {
        const int slot = base.list[std::size_t(i)].slot;
        if (slot < 1 || std::size_t(slot) > base.attributes.size())
            continue;
        const EmployeeAttributes& a = base.attributes[std::size_t(slot - 1)];
        const int shop = std::size_t(slot) < base.shopBytes.size() ? base.shopBytes[std::size_t(slot)] : 0;
        if (filter.shop != 0 && shop != filter.shop)
            continue;
        if (filter.brigade != 0 && a.brig != filter.brigade)
            continue;
        if (filter.profession != 0 && int(a.prof) != filter.profession)
            continue;
        if (a.priznUv == kDismissedWithBonusOnly && base.prem.count(slot) == 0)
            continue;
        list.push_back(i);
    }
}

TaskOutcome CalculationThreadProc(platform::TaskContext& ctx, const CalcThreadParams& params)
{
    PayrollDoc& doc = *params.document;
    CInfoBase& base = doc.infoBase;
    ctx.stage();

    // Loading stage: a failure here ends the run with its reason (TASK_FAILED).
    Selection selection;
    selection.shop = params.shop;
    selection.brigade = params.brigade;
    selection.profession = params.profession;
    selection.tabN = std::max(params.personnelNumber, 0);
    selection.flag = params.reservedSelector;
    SwapCloser closer{base};
    if (params.personnelNumber >= 0)
        SelectAllToSwap(base, selection, ctx.stopToken());
    if (ctx.stopRequested())
        return TaskOutcome(platform::TASK_STOPPED, 0);

    std::vector<int> indexes;
    SelectEmployeesForCalculation(params, doc, indexes);
    ctx.progress(0, int(indexes.size()));
    base.OpenSwapFile();

    int errors = 0;
    bool stopped = false;
    CalcWorkBuffer work;
    CalcResultBuffer rows{};
    // Employees are committed in batches: each one's save stays atomic on its
    // own (a savepoint inside the batch), and the base's lock is taken once
    // per batch instead of once per employee.
    std::optional<db::Transaction> batch;
    int inBatch = 0;
    for (const int index : indexes) {
        if (!batch)
            batch.emplace(Db(base));
        int r = 0;
        try {
            r = CalcEmployeeMonth(doc, rows.data(), index, &work, CalcStore);
        } catch (...) {
            batch->commit(); // the employees before this one keep their results
            throw;
        }
        if (++inBatch == kBatchSize) {
            batch->commit();
            batch.reset();
            inBatch = 0;
        }
        if (r < 0) {
            const int slot = base.list[std::size_t(index)].slot;
            base.attributes[std::size_t(slot - 1)].err = u16(-r);
            ++errors;
        }
        ctx.calcProgress(index, errors);
        if (ctx.stopRequested()) {
            stopped = true;
            break;
        }
    }
    if (batch)
        batch->commit();
    // The status words of the employees computed so far.
    SaveComp(base);
    if (stopped)
        return TaskOutcome(platform::TASK_STOPPED, 0);
    return TaskOutcome(platform::TASK_DONE, errors);
}

} // namespace kalvor
