#include "payroll/ui/PersonalAccount.h"

#include "payroll/CalcOptions.h"

#include "infobase/BaseChange.h"
#include "infobase/InfoBaseDb.h"
#include "infobase/MonthResultSaver.h"
#include "payroll/AccrualPass.h"
#include "payroll/CalcEmployeeMonth.h"
#include "payroll/PayKinds.h"
#include "payroll/RunOutcome.h"
#include "platform/Db.h"
#include "values/Values.h"

#include <memory>

namespace kalvor {

using namespace infobase;

namespace {

QString NumberOrEmpty(int value) { return value == 0 ? QString() : QString::number(value); }

// Closes the swap work file however the recompute ends.
struct SwapCloser {
    CInfoBase& base;
    ~SwapCloser() { base.CloseSwapFile(); }
};

} // namespace

QStringList PersonalAccountRowTexts(const AccrualRow& row, const PayrollDoc& doc)
{
    const PayKind* kind = PayKindOf(doc, row.kod);
    const bool noHours = row.hr == 0 && row.min == 0;
    return {kind ? kind->name : QString(),
            NumberOrEmpty(row.kod),
            NumberOrEmpty(row.mes),
            row.kod == kCodeUnpaid ? QString() : FormatMoney(row.sum),
            NumberOrEmpty(row.dn),
            noHours ? QString() : QStringLiteral("%1,%2").arg(int(row.hr)).arg(int(row.min))};
}

int RecomputeEmployee(PayrollDoc& doc, int tabN)
{
    CInfoBase& base = doc.infoBase;
    const int index = base.FindEmployee(tabN);
    if (index < 0)
        return kCalcBadEmployee;
    SwapCloser closer{base};
    Selection selection;
    selection.tabN = tabN;
    SelectAllToSwap(base, selection);
    base.OpenSwapFile();

    auto work = std::make_unique<CalcWorkBuffer>();
    auto rows = std::make_unique<CalcResultBuffer>();
    // The employee's rows, his status word and his amount to pay go into the
    // base together or not at all; what the recompute changed in memory goes
    // back when they do not, so that no later save stores it, and a COMMIT
    // cut in doubt brings memory to the recompute once the server says it
    // made it.
    const int slot = base.list[std::size_t(index)].slot;
    // The month is computed from the record as the base stores it, never
    // from memory: a screen may hold part of it only (the personal account
    // loads the computed rows alone, without the month's entered ones).
    base.currentSlot = 0;
    try {
        BaseChange change(base, BaseTable::Attributes | BaseTable::Advances | BaseTable::CurrentEmployee,
                          BaseChange::InDoubt::Follow);
        const int result = CalcEmployeeMonth(doc, rows->data(), index, work.get(), CalcStore);
        // A failure leaves no earlier results as current, and its code in the status word.
        if (result < 0) {
            base.attributesOf(slot).err = u16(-result);
            ClearCalculatedMonth(base, slot, StandingDebtRecord());
        }
        change.commit();
        return result;
    } catch (const db::DbError& e) {
        // The base's own refusal names the employee and what the engine
        // said, not the statement; any other error (a lost connection, a
        // base that moved) says itself.
        if (!db::IsRefusal(e))
            throw;
        throw db::DbError(e.code(),
                          RefusedStoreLines(base, slot, e) + QStringLiteral("\nУ него остались прежние результаты."),
                          db::EngineWords(e), e.source());
    }
}

} // namespace kalvor
