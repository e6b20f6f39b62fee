#include "payroll/CalcThread.h"

#include "infobase/BaseChange.h"
#include "infobase/BaseWrites.h"
#include "infobase/InfoBaseDb.h"
#include "infobase/MonthResultSaver.h"
#include "payroll/AccrualPass.h"
#include "payroll/BrigadeShare.h"
#include "payroll/CalcEmployeeMonth.h"
#include "payroll/IncomeTax.h"
#include "payroll/MonthWarnings.h"
#include "payroll/Regional.h"
#include "payroll/ScheduleNorm.h"
#include "platform/Db.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
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

// The run's progress: after an employee, his index and the errors so far with
// the bar's position, at most about sixty times a second. The first employee
// and the last one computed are always reported, so the screen ends showing
// the true count.
class CalcProgressReport {
public:
    CalcProgressReport(platform::TaskContext& ctx, int count) : m_ctx(ctx), m_count(count) {}
    ~CalcProgressReport() { flush(); }

    void computed(int index, int errors)
    {
        m_index = index;
        m_errors = errors;
        ++m_position;
        m_held = true;
        if (m_position == m_count || m_pacer.due())
            flush();
    }
    void flush()
    {
        if (!m_held)
            return;
        m_held = false;
        m_ctx.calcProgress(m_index, m_errors, m_position, m_count);
    }

private:
    platform::TaskContext& m_ctx;
    platform::ProgressPacer m_pacer;
    const int m_count;
    int m_position = 0, m_index = 0, m_errors = 0;
    bool m_held = false;
};

} // namespace

QStringList CalculationReferenceFiles()
{
    return {QStringLiteral("nalog"), QStringLiteral("vichet"), QStringLiteral("sbor")};
}

void SelectEmployeesForCalculation(const CalcThreadParams& filter, const PayrollDoc& doc, std::vector<int>& list,
                                   std::vector<int>* skipped)
{
    list.clear();
    if (skipped)
        skipped->clear();
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
        if (!base.EmployeeInGroup(slot, filter.shop, filter.brigade, filter.profession))
            continue;
        const EmployeeAttributes& a = base.attributesOf(slot);
        if (a.priznUv == kDismissedWithBonusOnly && base.prem.count(slot) == 0) {
            if (skipped)
                skipped->push_back(i);
            continue;
        }
        list.push_back(i);
    }
}

namespace {

// The record slots of the employees of the list indexes.
std::vector<int> SlotsOf(const CInfoBase& base, const std::vector<int>& indexes)
{
    std::vector<int> recordSlots;
    recordSlots.reserve(indexes.size());
    for (const int index : indexes) recordSlots.push_back(base.list[std::size_t(index)].slot);
    return recordSlots;
}

} // namespace

namespace {

// The employees of a run computed and stored one after another, each
// employee's rows with his status word and amount to pay; rows that are
// those his base held when he was read are not written again. On a server the
// stores are kept for a group of employees and sent together, and the
// answers read while the next ones are computed, so that the server writes
// while the engine computes. A refusal (also one read late) ends the run at
// its own employee (a refused group is stored again one by one up to him):
// what the calculation changed in memory for him and for those computed after
// him (the amount to pay, the status word, the current record) is given
// back, so that memory holds what the base holds.
class EmployeeWalk {
public:
    EmployeeWalk(PayrollDoc& doc, std::optional<EmployeeRecordFeed>& records)
        : m_base(doc.infoBase), m_doc(doc), m_records(records), m_group(doc.infoBase)
    {
        m_options.brigades = &m_brigades; // the brigade members are measured once for the whole run
        m_options.rowsGroup = &m_group;
        m_options.incomeTax = &m_incomeTax; // the income codes are listed once for the whole run
        m_options.regional = &m_regional; // so are the regional coefficient's kinds
        m_options.scheduleMonths = &m_scheduleMonths; // and the schedules' months made beyond their stored rows
    }

    // Computes and stores the employee of the list index; the engine's result.
    // Throws when the employee or a store before him fails, having given back
    // what memory holds of those not stored (refused() names the employee).
    int compute(int index)
    {
        const int slot = m_base.list[std::size_t(index)].slot;
        Computed before{slot, toPayOf(slot), m_base.attributesOf(slot), 0};
        int r = 0;
        try {
            m_records->makeCurrent(slot);
            m_group.storedRowsAre(slot, m_records->storedResultRows());
            // Each employee's save stays atomic on its own (a savepoint).
            r = CalcEmployeeMonth(m_doc, m_rows.data(), index, &m_work, CalcStore, m_options);
            // A failed employee keeps no results of an earlier run; his
            // status word takes the failure's code.
            if (r < 0) {
                m_base.attributesOf(slot).err = u16(-r);
                infobase::ClearCalculatedMonth(m_base, slot, StandingDebtRecord());
            }
        } catch (const db::DbError& e) {
            endAfter(e, before);
            throw;
        } catch (...) {
            giveBack(before);
            keepWhatIsStored();
            throw;
        }
        before.sentAfter = m_group.storedByBatch();
        m_unconfirmed.push_back(before);
        while (!m_unconfirmed.empty() && m_unconfirmed.front().sentAfter <= m_group.later().answered())
            m_unconfirmed.pop_front();
        return r;
    }

    // The rows of the employee computed last (as many as compute() returned).
    const infobase::AccrualRow* rows() const { return m_rows.data(); }

    // After the last employee: the answers still due; throws as compute() does.
    void finish()
    {
        m_records.reset();
        try {
            m_group.later().collect();
        } catch (const db::DbError& e) {
            endAfter(e, std::nullopt);
            throw;
        }
    }

    // After a refusal: the slot of the employee whose store was refused.
    int refused() const { return m_refused; }

private:
    // An employee computed whose store may not be answered yet, with what the
    // calculation changes in memory as it was before.
    struct Computed {
        int slot = 0;
        double toPay = 0;
        EmployeeAttributes attributes;
        int sentAfter = 0; // the number of the batch that stores him
    };

    double toPayOf(int slot) const { return m_base.holdsSlot(slot) ? m_base.zar1Of(slot) : 0; }

    // The current record, computed for him, is read again when next needed.
    void giveBack(const Computed& c)
    {
        if (!m_base.holdsSlot(c.slot))
            return;
        m_base.zar1Of(c.slot) = c.toPay;
        m_base.attributesOf(c.slot) = c.attributes;
        if (m_base.currentSlot == c.slot)
            m_base.currentSlot = 0;
    }

    // After a failure: a lost connection (or one shut by the stop) leaves
    // nothing to keep; any other ends the run keeping what is stored. The
    // employee being computed (`current`) is never stored then.
    void endAfter(const db::DbError& e, const std::optional<Computed>& current)
    {
        m_records.reset();
        if (db::EndsTheTransaction(e))
            return;
        m_refused = current ? current->slot : 0;
        keepWhatIsStored();
        if (current)
            giveBack(*current);
    }

    // Reads the answers still due; the employees of a refused group before
    // the one refused are stored again, one at a time, and those from him on
    // are given back.
    void keepWhatIsStored()
    {
        m_records.reset();
        try {
            m_group.later().collect();
        } catch (const db::DbError& e) {
            if (db::EndsTheTransaction(e))
                throw;
        }
        if (!m_group.later().failed())
            return;
        const int answered = m_group.later().answered();
        const std::vector<int> stored = m_group.storeRefusedOneByOne();
        bool first = true;
        for (const Computed& c : m_unconfirmed) {
            if (c.sentAfter <= answered || std::find(stored.begin(), stored.end(), c.slot) != stored.end())
                continue;
            if (first)
                m_refused = c.slot;
            first = false;
            giveBack(c);
        }
    }

    CInfoBase& m_base;
    PayrollDoc& m_doc;
    std::optional<EmployeeRecordFeed>& m_records;
    infobase::ComputedRowsGroup m_group;
    CalcWorkBuffer m_work;
    CalcResultBuffer m_rows{};
    BrigadeMeasures m_brigades;
    IncomeTaxRun m_incomeTax;
    RegionalRun m_regional;
    ScheduleMonthsRun m_scheduleMonths;
    CalcOptions m_options;
    std::deque<Computed> m_unconfirmed; // in the order computed
    int m_refused = 0;
};

} // namespace

namespace {

// The employee's result into the run's outcome: a failure's text, or a clean
// month with its warnings (his status word holds the code already).
void NoteResult(PayrollDoc& doc, int slot, int r, const infobase::AccrualRow* rows, RunOutcome& outcome)
{
    const CInfoBase& base = doc.infoBase;
    if (r < 0) {
        outcome.note(RunNote::Failed, base, slot, CalcErrorText(r));
        return;
    }
    ++outcome.computed;
    for (const QString& text : EmployeeMonthWarnings(doc, slot, rows, r))
        outcome.note(RunNote::Warned, base, slot, text);
}

} // namespace

// The refusal of an employee's store, in a few lines: who, what the engine
// said (not the statement), and what the base holds now.
QString RefusedStoreText(const CInfoBase& base, int slot, const db::DbError& e)
{
    return RefusedStoreLines(base, slot, e) +
           QStringLiteral("\nРаботники, рассчитанные до него, получили новые результаты; у него и у работников "
                          "после него остались прежние.");
}

// The employees' loop; a refused store ends it with the outcome that says
// so. afterEmployee (when set) is called after each employee is reported,
// before the stop is looked at.
std::optional<TaskOutcome> WalkEmployees(platform::TaskContext& ctx, PayrollDoc& doc, const std::vector<int>& indexes,
                                         std::optional<EmployeeRecordFeed>& records, RunOutcome& outcome, int& errors,
                                         bool& stopped, const std::function<void(int)>& afterEmployee)
{
    CInfoBase& base = doc.infoBase;
    CalcProgressReport report(ctx, int(indexes.size()));
    EmployeeWalk walk(doc, records);
    try {
        for (const int index : indexes) {
            const int slot = base.list[std::size_t(index)].slot;
            const int r = walk.compute(index);
            NoteResult(doc, slot, r, walk.rows(), outcome);
            errors += r < 0 ? 1 : 0;
            report.computed(index, errors);
            if (afterEmployee)
                afterEmployee(index);
            if (ctx.stopRequested()) {
                stopped = true;
                break;
            }
        }
        walk.finish();
    } catch (const db::DbError& e) {
        if (db::EndsTheTransaction(e) || walk.refused() == 0)
            throw;
        return TaskOutcome(platform::TASK_FAILED, errors, RefusedStoreText(base, walk.refused(), e));
    }
    return std::nullopt;
}

// Computes the employees inside the run's transaction; commits what is done
// also when an employee's calculation throws (other than a lost connection,
// which leaves nothing to commit): the employees stored are kept with their
// status words and amounts to pay (memory holds those of the others as they
// were).
TaskOutcome CalculateEmployees(platform::TaskContext& ctx, PayrollDoc& doc, const std::vector<int>& indexes,
                               std::optional<EmployeeRecordFeed>& records, BaseChange& run, RunOutcome& outcome,
                               const std::function<void(int)>& afterEmployee)
{
    const CInfoBase& base = doc.infoBase;
    int errors = 0;
    bool stopped = false;
    std::optional<TaskOutcome> refused;
    try {
        refused = WalkEmployees(ctx, doc, indexes, records, outcome, errors, stopped, afterEmployee);
    } catch (const db::DbError& e) {
        if (db::EndsTheTransaction(e))
            throw;
        run.commit();
        throw;
    } catch (...) {
        run.commit();
        throw;
    }
    run.commit();
    if (refused)
        return *refused;
    if (stopped)
        return TaskOutcome(platform::TASK_STOPPED, errors); // those that failed before the stop
    // A year whose law the tax tables do not hold is said once per run.
    return TaskOutcome(platform::TASK_DONE, errors, TaxTablesYearWarning(base.config.reportingYear(), doc));
}

// Those the selection leaves out by their status keep no results of the
// month. A refusal ends the run before anyone is computed, with the outcome
// that says so: nothing of the run is to be committed, and memory goes back
// with the run's change.
std::optional<TaskOutcome> ClearSkipped(CInfoBase& base, const std::vector<int>& skipped, RunOutcome& outcome)
{
    for (const int index : skipped) {
        const int slot = base.list[std::size_t(index)].slot;
        try {
            ClearCalculatedMonth(base, slot, StandingDebtRecord());
        } catch (const db::DbError& e) {
            if (db::EndsTheTransaction(e))
                throw;
            outcome.clear();
            return TaskOutcome(platform::TASK_FAILED, 0,
                               RefusedStoreLines(base, slot, e) +
                                   QStringLiteral("\nРезультаты расчета всех работников остались прежними."));
        }
        outcome.note(RunNote::Skipped, base, slot, QStringLiteral("Уволен и уже не работает"));
    }
    return std::nullopt;
}

// The loading stage inside the run's transaction, then the employees. Each
// employee's record comes straight from the base, every table read once as a
// stream. The members of the brigades of the employees to compute are read
// first and written into the swap work file, since the sharing of a fund
// reads the other members' records there; they then wait in memory for
// their turn.
TaskOutcome LoadAndCalculate(platform::TaskContext& ctx, PayrollDoc& doc, const std::vector<int>& indexes,
                             const std::vector<int>& skipped, BaseChange& run, RunOutcome& outcome,
                             const std::function<void(int)>& afterEmployee)
{
    CInfoBase& base = doc.infoBase;
    if (std::optional<TaskOutcome> refused = ClearSkipped(base, skipped, outcome))
        return *refused; // the run's transaction is rolled back
    std::vector<int> wanted = SlotsOf(base, indexes);
    const std::vector<int> members = BrigadeMemberSlots(base, wanted);
    wanted.insert(wanted.end(), members.begin(), members.end());
    std::optional<EmployeeRecordFeed> records(std::in_place, base, wanted);
    // The work file is held for the whole run all the same; it is made anew
    // only for the members (a file made anew is cut to what the run wrote
    // when it is closed).
    if (members.empty())
        base.OpenSwapFile();
    else
        base.CreateSwapFile();
    for (const int slot : members) {
        if (ctx.stopRequested())
            break;
        records->readAhead(slot, [&](const EmployeeRecord& rec) { base.swap.writeSlot(slot, rec); });
    }
    if (ctx.stopRequested())
        return TaskOutcome(platform::TASK_STOPPED, 0);
    ctx.progress(0, int(indexes.size()));
    return CalculateEmployees(ctx, doc, indexes, records, run, outcome, afterEmployee);
}

CalcInPlaceRun CalcWholeMonthInPlace(PayrollDoc& doc)
{
    CalcThreadParams params;
    params.document = &doc;
    CalcInPlaceRun run;
    params.outcome = &run.report;
    run.outcome = platform::TaskThread::runHere(
        [&params](platform::TaskContext& ctx) { return CalculationThreadProc(ctx, params); });
    if (run.outcome.result != platform::TASK_DONE || run.outcome.detail == 0)
        return run;
    const CInfoBase& base = doc.infoBase;
    for (const EmployeeListEntry& e : base.list) {
        const int code = base.attributesOf(e.slot).err;
        if (code != 0) {
            run.failedTabN = int(e.tabN());
            run.failedCode = -code;
            break;
        }
    }
    return run;
}

TaskOutcome CalculationThreadProc(platform::TaskContext& ctx, const CalcThreadParams& params)
{
    PayrollDoc& doc = *params.document;
    CInfoBase& base = doc.infoBase;
    ctx.stage();
    const QStringList missing = doc.refFiles.Problems(CalculationReferenceFiles());
    if (!missing.isEmpty())
        return TaskOutcome(platform::TASK_FAILED, 0, missing.join(QLatin1Char('\n')));

    // A change of month whose end was not known, or any write memory did not
    // learn of, may have moved the base: checked before anything is read
    // from memory (an earlier run in doubt is settled first, by the interface
    // thread while this worker waits; refused while its outcome is not known).
    if (const QString moved = StoredBaseMismatch(base); !moved.isEmpty())
        return TaskOutcome(platform::TASK_FAILED, 0, moved);
    // A failure of the loading stage ends the run with its reason (TASK_FAILED).
    SwapCloser closer{base};
    std::vector<int> indexes, skipped;
    SelectEmployeesForCalculation(params, doc, indexes, &skipped);
    RunOutcome local;
    RunOutcome& outcome = params.outcome ? *params.outcome : local;
    outcome.clear();

    // The whole run is one transaction, so that a run cut off (the server's
    // connection lost, the program ended) leaves the month's results and
    // status words as they were. What memory changes with the results, the
    // status words and the amounts to pay, goes back with it; a COMMIT cut
    // in doubt puts them back too, and brings memory to the run once the
    // server says it made it (before the next write or screen).
    try {
        BaseChange run(base, BaseTable::Attributes | BaseTable::Advances, BaseChange::InDoubt::Follow);
        return LoadAndCalculate(ctx, doc, indexes, skipped, run, outcome, params.afterEmployee);
    } catch (const db::DbError& e) {
        if (!db::EndsTheTransaction(e))
            throw;
        outcome.clear();
        const db::CommitInDoubt* doubt = e.commitInDoubt();
        // A COMMIT the server holds was not cut by the line: the stop or
        // the wait's bound ended the run's wait for it.
        const QString why = e.code() == db::E_DB_STOPPED ? QStringLiteral("Расчет остановлен. ")
                            : doubt && doubt->held       ? QString()
                                                   : QStringLiteral("Связь с сервером базы данных прервана. ");
        if (doubt)
            return TaskOutcome(platform::TASK_FAILED, 0,
                               why + QStringLiteral("Запись результатов уже была отправлена серверу базы данных; "
                                                    "сохранены ли они, пока не известно: %1. "
                                                    "Рассчитайте месяц снова, когда сервер ответит.")
                                         .arg(db::NotKnownReason(doubt->held)));
        return TaskOutcome(platform::TASK_FAILED, 0,
                           why + QStringLiteral("Результаты расчета и признаки ошибок работников остались такими, "
                                                "какими были до расчета."));
    }
}

} // namespace kalvor
