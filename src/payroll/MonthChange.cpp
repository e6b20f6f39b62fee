#include "payroll/MonthChange.h"

#include "infobase/BaseChange.h"
#include "infobase/BaseWrites.h"
#include "infobase/EmployeeRecord.h"
#include "infobase/InfoBaseDb.h"
#include "infobase/PayKindCodes.h"
#include "payroll/AbsentDays.h"
#include "payroll/CalcErrors.h"
#include "payroll/CalcThread.h"
#include "payroll/CalendarMath.h"
#include "payroll/IncomeTax.h"
#include "payroll/MonthRate.h"
#include "payroll/MonthWarnings.h"
#include "payroll/PayKinds.h"
#include "payroll/ScheduleNorm.h"
#include "payroll/Settlement.h"
#include "platform/DbServerWork.h"
#include "values/Messages.h"
#include "values/Values.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

#include <QDate>
#include <QStringList>

namespace kalvor {

using namespace infobase;

namespace {

// The month's rows, then (from kFutureFirst on) the rows of later months.
constexpr int kMonthRows = EmployeeRecord::MonthRowCount;
constexpr int kFutureFirst = EmployeeRecord::MonthRowCount;
constexpr int kGroupCount = 25; // cost-allocation groups, pay kinds 940-964
constexpr u32 k29Bits = (1u << 29) - 1;
constexpr u16 kEmptyDate = 1900 * 16; // the base's "1.1.1900"

bool dateSet(u16 d) { return d != 0 && d != kEmptyDate; }

// Full date as one comparable number (yyyymmdd).
int dayKey(int year, int month, int day) { return year * 10000 + month * 100 + day; }

// Error codes that do not survive the month: the change clears them.
bool errorPassesWithMonth(int err) { return err == 24 || err == 36 || err == 38; }

u16 packDate(int day, int month, int year)
{
    if (year == 0 || month == 0)
        return 0;
    return PackedDate::make(day == 0 ? 1 : day, month, year).value;
}

struct CostGroup {
    bool active = false;
    u16 ch = 0, sc = 0, au = 0;
    double balance = 0;
    bool matches(const AccrualRow& r) const
    {
        return active && (ch == 0 || ch == r.spzCh) && (sc == 0 || sc == r.spzSc) && (au == 0 || au == r.spzAu);
    }
};

bool appendWarDat(WarDatBlock& w, const WarDatEntry& e, bool unlessPresent)
{
    const int n = std::min<int>(w.warDatKv, WarDatBlock::Capacity);
    if (unlessPresent)
        for (int i = 0; i < n; ++i)
            if (w.entries[std::size_t(i)] == e)
                return false;
    if (n >= WarDatBlock::Capacity)
        return false;
    w.entries[std::size_t(n)] = e;
    w.warDatKv = u16(n + 1);
    return true;
}

// Puts rows into the input area from slot `count` on; false when the area
// (kvProizv's 28 carried rows) is full.
bool pushInput(std::array<AccrualRow, EmployeeRecord::RowCount>& rows, int& count, const AccrualRow& r)
{
    if (count >= kMonthChangeCarriedRows)
        return false;
    rows[std::size_t(count++)] = r;
    return true;
}

class MonthMove {
public:
    MonthMove(PayrollDoc& doc, int newKey)
        : doc(doc)
        , base(doc.infoBase)
        , oldKey(base.config.tekMes)
        , newKey(newKey)
        , oldYear(MonthKey::of(oldKey).year())
        , oldMonth(MonthKey::of(oldKey).month())
        , newYear(MonthKey::of(newKey).year())
        , newMonth(MonthKey::of(newKey).month())
    {}

    // A stop of the worker ends the move between employees, and before the
    // common tables are written (db::E_DB_STOPPED, all of it rolled back).
    int run(const std::function<void()>& stepIt)
    {
        {
            std::vector<int> wanted;
            for (const EmployeeListEntry& e : base.list) wanted.push_back(e.slot);
            MovedEmployees moved(base, wanted, [this](int slot) {
                return QStringLiteral("Работник %1 не переведен в новый месяц.").arg(base.employeeNamed(slot));
            });
            for (const EmployeeListEntry& e : base.list) {
                db::ThrowWhenStopped();
                firstPass(e.slot, moved);
                if (stepIt)
                    stepIt();
            }
            moved.flush();
        }
        betweenPasses();
        const std::vector<int> unmade = weekdaySchedulesWithoutMonth();
        for (const EmployeeListEntry& e : base.list) {
            db::ThrowWhenStopped();
            secondPass(e.slot);
        }
        noteMonthsMadeFromPattern(unmade);
        noteYearWithoutTaxTables();
        monthchange::ShiftMonthlyTables(doc, newKey);
        clearMonthlyTables();
        db::ThrowWhenStopped();
        saveCommonTables();
        // No half-loaded record is left behind as the current one.
        base.ClearCurrentRecord();
        base.currentSlot = 0;
        return errors == 0 ? 1 : -errors;
    }

    int errors = 0;
    RunOutcome outcome;

    // The error situations by employee, once the move is done: every status
    // word the change leaves with an error code.
    void noteErrorSituations()
    {
        outcome.computed = int(base.list.size());
        for (const EmployeeListEntry& e : base.list)
            if (const int err = base.attributesOf(e.slot).err; err != 0)
                outcome.note(RunNote::Failed, base, e.slot, CalcErrorText(err));
    }

private:
    // One employee of the first pass: the record being moved, its attribute
    // record, and the new month's rows as they are gathered.
    struct EmployeeMove {
        EmployeeMove(CInfoBase& base, int slot)
            : slot(slot), rec(base.current), head(base.current.head), attr(base.attributesOf(slot))
        {}
        const int slot;
        EmployeeRecord& rec;
        EmployeeHead& head;
        EmployeeAttributes& attr;
        bool inError = false;
        std::vector<AccrualRow> calculated; // the month's calculated rows
        std::array<AccrualRow, EmployeeRecord::RowCount> next{}; // the new month's rows
        int count = 0; // input rows in `next`
    };

    void firstPass(int slot, MovedEmployees& moved)
    {
        moved.load(slot);
        EmployeeMove move(base, slot);

        clearPassingErrors(move);
        warnOfDismissalDate(move);
        carryPropertyDeduction(move);
        closeDeductionsOfDismissed(move);
        checkForeignData(move);
        clearEndedWrits(move);
        takeCalculatedRows(move);
        repayLoans(move);
        if (move.inError)
            carryRowsInError(move);
        else
            rollResults(move);
        if (move.attr.priznUv == 5)
            move.attr.priznUv = 0;
        CompactWariaEntries(doc);
        if (!move.inError)
            carryDebts(move);
        if (move.attr.priznUv == 3)
            move.attr.priznUv = 0;
        base.avOf(move.slot) = move.attr.priznUv == 0 ? move.head.avans : 0;
        keepNextMonthBonusLines(move);
        placeFutureRows(move);
        // Alternative time sheet: kept only for employees who use it every month.
        if (!move.head.flag(8))
            base.altTabel.removeRun(slot);
        shiftRateHistory(move);
        move.attr.kvSdel = 0;
        move.attr.kvDBF = 0;
        closeStandingEntries(move.attr);
        archiveSickLeave(slot);
        moved.save(move.slot, move.attr);
        standingEntries[slot] = move.rec.postDopl;
    }

    // Marks the employee with an err value and counts one error situation.
    void countError(EmployeeMove& move, int err)
    {
        move.attr.err = u16(err);
        ++errors;
    }

    // Puts a row into the new month's input rows; an employee with more rows
    // than the input area holds gets err 22.
    void pushInputRow(EmployeeMove& move, const AccrualRow& row)
    {
        if (!pushInput(move.next, move.count, row))
            countError(move, kMonthChangeTooManyRows);
    }

    // Errors that do not survive the month are cleared; one that does counts.
    void clearPassingErrors(EmployeeMove& move)
    {
        EmployeeAttributes& a = move.attr;
        if (errorPassesWithMonth(a.err))
            a.err = 0;
        move.inError = a.err != 0;
        if (move.inError)
            ++errors;
    }

    // A dismissal date in the month closed or before it without the dismissal
    // status: the status decides, so he goes on working; the change says so.
    void warnOfDismissalDate(const EmployeeMove& move)
    {
        if (const u16 left = DismissalWithoutStatus(move.head, move.attr, oldYear, oldMonth))
            outcome.note(RunNote::Warned, base, move.slot,
                         DismissalWithoutStatusText(left) + QStringLiteral(": переведен в новый месяц как работающий"));
    }

    // A new year: the property deduction of the year is what remains of it.
    void carryPropertyDeduction(EmployeeMove& move)
    {
        if (newYear > oldYear)
            move.head.imvichNY = (move.head.imvichNY & ~k29Bits) | (move.head.imvichOst & k29Bits);
    }

    // Dismissed in the month: open tax deductions end with it.
    void closeDeductionsOfDismissed(EmployeeMove& move)
    {
        if (move.attr.priznUv != 1 && move.attr.priznUv != 2)
            return;
        for (NalvichEntry& n : move.rec.nalvich)
            if (n.kod != 0 && n.end == 0)
                n.end = u16(oldKey);
        move.attr.priznUv = 4;
    }

    // Foreign-employee data that contradict each other.
    void checkForeignData(EmployeeMove& move)
    {
        const EmployeeHead& head = move.head;
        if ((dateSet(head.inostrDatVidGit) && !head.flag(10)) || (head.flag(2) && !head.flag(9)))
            countError(move, kMonthChangeForeignData);
    }

    // Limited writs that have ended.
    void clearEndedWrits(EmployeeMove& move)
    {
        for (IspolBlock::Writ& w : move.rec.ispol.writs) {
            if (w.vid != 1 || w.dataEnd == 0)
                continue;
            const PackedDate end(w.dataEnd);
            if (MonthKey(end.fullYear(), end.month()).value() <= oldKey)
                w = IspolBlock::Writ{};
        }
    }

    // The month's rows: inputs, then the calculated rows up to the first empty slot.
    void takeCalculatedRows(EmployeeMove& move)
    {
        const int inputs = std::min<int>(move.attr.kvProizv, kMonthRows);
        int end = inputs;
        while (end < kMonthRows && !move.rec.rows[std::size_t(end)].isEmpty()) ++end;
        move.calculated.assign(move.rec.rows.begin() + inputs, move.rec.rows.begin() + end);
    }

    // Whether the month's calculated rows keep the record of their origin
    // (OriginTag): the run stores an origin with every row it computes; a
    // month computed before the record was kept holds none in any row. A
    // month without calculated rows deducted nothing, read either way.
    static bool recordKept(const EmployeeMove& move)
    {
        return std::any_of(move.calculated.begin(), move.calculated.end(),
                           [](const AccrualRow& r) { return OriginOf(r.hrRest) != RowOrigin::None; });
    }

    // What the month's calculated rows took for each origin and place (the
    // record each row keeps, OriginTag).
    static std::map<int, double> takings(const EmployeeMove& move)
    {
        std::map<int, double> took;
        for (const AccrualRow& r : move.calculated)
            if (OriginOf(r.hrRest) != RowOrigin::None)
                took[r.hrRest] += RoundWhole(r.sum);
        return took;
    }

    // Each loan repaid by what its own row took in the month; an employee in
    // error, whose calculated rows are not taken, repays by the parts as they
    // stand. A month computed before the rows kept their record repays by
    // what its rows deducted under the loan's code, shared among the loans of
    // one code in their order.
    void repayLoans(const EmployeeMove& move)
    {
        if (!recordKept(move)) {
            repayLoansByCode(move);
            return;
        }
        const std::map<int, double> took = takings(move);
        for (int loan = 0; loan < int(move.rec.ssud.loans.size()); ++loan) {
            const auto own = took.find(OriginTag(RowOrigin::Loan, loan));
            monthchange::RepayLoan(doc, loan, move.inError ? -1 : own != took.end() ? own->second : 0.0);
        }
    }

    void repayLoansByCode(const EmployeeMove& move)
    {
        std::map<int, double> left; // by code: what the month's rows deducted and no loan took yet
        for (const AccrualRow& r : move.calculated)
            if (r.mes == oldMonth)
                left[r.kod] += r.sum;
        for (int loan = 0; loan < int(move.rec.ssud.loans.size()); ++loan) {
            double& took = left[move.rec.ssud.loans[std::size_t(loan)].kod];
            took -= monthchange::RepayLoan(doc, loan, move.inError ? -1 : std::max(0.0, took));
        }
    }

    // An employee in error (one left out of the calculation by his status)
    // carries the month's input rows again, nothing archived. Never the
    // computed rows: as inputs they would be paid a second time.
    void carryRowsInError(EmployeeMove& move)
    {
        const int inputs = std::min<int>(move.attr.kvProizv, kMonthRows);
        for (int i = 0; i < inputs; ++i) {
            const AccrualRow& r = move.rec.rows[std::size_t(i)];
            if (!pushInput(move.next, move.count, r)) {
                countError(move, kMonthChangeTooManyRows);
                break;
            }
        }
    }

    // The cost-allocation groups of pay kinds 940-964, balances at zero.
    void startCostGroups()
    {
        for (int g = 0; g < kGroupCount; ++g) {
            CostGroup& grp = groups[std::size_t(g)];
            grp = CostGroup{};
            if (const PayKind* pk = PayKindOf(doc, kFirstCostGroupCode + g)) {
                grp.ch = pk->spzCh;
                grp.sc = pk->spzSc;
                grp.au = pk->spzAu;
                grp.active = grp.ch != 0 || grp.sc != 0 || grp.au != 0;
            }
        }
        accruals = 0;
        deductions = 0;
    }

    // Adds a calculated row to the month's totals and to its cost groups.
    void addToTotals(const AccrualRow& r)
    {
        const int code = r.kod;
        const bool accrual = IsAccrualCode(code);
        const bool deduction = IsMonthDeductionCode(code);
        if (accrual && code != kCodeUnpaid)
            accruals += r.sum;
        if (deduction)
            deductions += r.sum;
        for (CostGroup& g : groups) {
            if (!g.matches(r))
                continue;
            if (accrual)
                g.balance += code == kCodeUnpaid ? 0 : r.sum;
            else if (deduction)
                g.balance -= r.sum;
        }
    }

    // Accruals, some deductions and the taxable kinds go into the archive.
    void archiveRow(EmployeeMove& move, const AccrualRow& r)
    {
        const int code = r.kod;
        const PayKind* pk = PayKindOf(doc, code);
        if (!(IsAccrualCode(code) || code == kCodeTaxRow || code == kCodePensionTaxed || code == kCodePensionOther ||
              IsContributionCode(code) || (pk && pk->oblPodoh)))
            return;
        WariaEntry e;
        e.kod = r.kod;
        e.sum = r.sum;
        e.mes = r.mes;
        e.hr = r.hr;
        e.min = r.min;
        e.dn = r.dn;
        e.god = u16(monthchange::ArchiveYear(code, r.mes, oldKey));
        if (!(e.mes == oldMonth && e.god == oldYear)) {
            e.mesVyd = u8(oldMonth);
            e.godVyd = u16(oldYear);
        }
        monthchange::AppendArchiveEntry(move.rec, e);
    }

    // Rows 920 and 921 come back in the new month as inputs 151 and 150.
    void carryReturnedRow(EmployeeMove& move, const AccrualRow& r)
    {
        if (r.kod != kCodeRestPay && r.kod != kCodeRemainder)
            return;
        AccrualRow in = r;
        in.kod = r.kod == kCodeRestPay ? kCodeRestPayCarried : kCodeRemainderCarried;
        in.hrRest = 0; // an entered row of the new month, of no origin yet
        in.otd = 0;
        in.spzCh = in.spzChHi = 0;
        in.spzSc = in.spzScHi = 0;
        in.spzAu = in.spzAuHi = 0;
        pushInputRow(move, in);
    }

    void rollResults(EmployeeMove& move)
    {
        startCostGroups();
        for (const AccrualRow& r : move.calculated) {
            addToTotals(r);
            archiveRow(move, r);
            carryReturnedRow(move, r);
        }
    }

    void carryDebts(EmployeeMove& move)
    {
        auto debtRow = [&](double amount, u16 ch, u16 sc, u16 au) {
            AccrualRow r;
            r.kod = kCodeDebtCarried;
            r.sum = amount;
            r.mes = u16(oldMonth);
            r.spzCh = ch;
            r.spzSc = sc;
            r.spzAu = au;
            pushInputRow(move, r);
        };
        for (const CostGroup& g : groups) {
            if (g.active && g.balance < 0) {
                debtRow(-g.balance, g.ch, g.sc, g.au);
                deductions += g.balance;
            }
        }
        const double acc = std::trunc(accruals), ded = std::trunc(deductions);
        const double left = std::trunc(enteredDeductionsLeft(move));
        if (acc < ded || left > 0)
            debtRow(std::max(0.0, ded - acc) + left, 0, 0, 0);
    }

    // Whether an entered row is a claim whose rest the employee owes: a
    // deduction that gives way to the pay (EnteredClaim). A transfer sends
    // what there is and leaves no debt.
    static bool leavesDebt(const AccrualRow& entered)
    {
        const std::optional<Claim> claim = EnteredClaim(entered.kod);
        return entered.sum > 0 && claim && RuleOf(*claim).rest == RestGoes::CarriedDebt;
    }

    // What the month's computed rows did not deduct of the deductions entered
    // for it (the run takes them at most to what is left to pay): the rest
    // of each is the employee's debt to the next month, by what its own row
    // took. A month computed before the rows kept their record is read by
    // code. A standing deduction's rest is none of it: the run, which knows
    // what it asked, recorded it as a row of the new month (placeFutureRows
    // brings it in); its cut leaves the accruals above the deductions, so
    // carryDebts adds nothing for it either.
    double enteredDeductionsLeft(const EmployeeMove& move) const
    {
        if (!recordKept(move))
            return enteredDeductionsLeftByCode(move);
        const std::map<int, double> took = takings(move);
        double sum = 0;
        const int inputs = std::min<int>(move.attr.kvProizv, kMonthRows);
        for (int i = 0; i < inputs; ++i) {
            const AccrualRow& r = move.rec.rows[std::size_t(i)];
            if (!leavesDebt(r))
                continue;
            const auto own = took.find(OriginTag(RowOrigin::Entered, i));
            sum += std::max(0.0, RoundWhole(r.sum) - (own != took.end() ? own->second : 0.0));
        }
        return sum;
    }

    double enteredDeductionsLeftByCode(const EmployeeMove& move) const
    {
        std::map<int, double> left;
        const int inputs = std::min<int>(move.attr.kvProizv, kMonthRows);
        for (int i = 0; i < inputs; ++i) {
            const AccrualRow& r = move.rec.rows[std::size_t(i)];
            if (leavesDebt(r))
                left[r.kod] += RoundWhole(r.sum);
        }
        for (const AccrualRow& r : move.calculated)
            if (const auto found = left.find(r.kod); found != left.end())
                found->second -= RoundWhole(r.sum);
        double sum = 0;
        for (const auto& [code, amount] : left) sum += std::max(0.0, amount);
        return sum;
    }

    // Bonus lines: only those kept for the next month stay.
    void keepNextMonthBonusLines(EmployeeMove& move)
    {
        std::vector<BonusLine> kept;
        for (BonusLine b : base.prem.run(move.slot)) {
            if (b.kod != 0 && b.sum != 0 && b.mes == 2) {
                b.mes = 1;
                kept.push_back(b);
            }
        }
        base.prem.replaceRun(move.slot, kept);
    }

    // Future rows: those of the new month become input rows, the rest wait in
    // the last two slots. The new rows then replace the record's. Among them
    // is the standing deductions' rest the run recorded (915 of origin
    // StandingDebt): it comes in as it is, the new month's debt, which the run
    // tags as entered (CarriedRows) and whose own rest the next change
    // carries as any entered deduction's.
    void placeFutureRows(EmployeeMove& move)
    {
        std::vector<AccrualRow> waiting;
        for (int s = kFutureFirst; s < EmployeeRecord::RowCount; ++s) {
            const AccrualRow& r = move.rec.rows[std::size_t(s)];
            if (r.isEmpty() || r.mes == 0)
                continue;
            if (r.mes == newMonth)
                pushInputRow(move, r);
            else
                waiting.push_back(r);
        }
        for (std::size_t i = 0; i < waiting.size() && i < 2; ++i) move.next[std::size_t(64 + i)] = waiting[i];
        move.rec.rows = move.next;
        move.attr.kvProizv = u16(move.count);
    }

    // Rate history: one place older, the closed month's rate newest.
    void shiftRateHistory(EmployeeMove& move)
    {
        auto& rates = move.rec.rates;
        std::move_backward(rates.begin(), rates.end() - 1, rates.end());
        rates[0] = RateHistoryEntry{};
        double baseRate = 0, fullRate = 0;
        if (CalcMonthRate(baseRate, fullRate, doc, move.slot) == 0)
            rates[0] = RateHistoryEntry{baseRate, fullRate};
    }

    void closeStandingEntries(const EmployeeAttributes& a)
    {
        EmployeeRecord& rec = base.current;
        const int oldFirst = dayKey(oldYear, oldMonth, 1);
        const int oldLast = dayKey(oldYear, oldMonth, DaysInMonth(oldYear, oldMonth));
        for (PostDoplEntry& p : rec.postDopl) {
            if (p.kod == 0)
                continue;
            const bool hasEnd = p.gEnd != 0 && p.mEnd != 0;
            const int start = p.gBegin ? dayKey(p.gBegin, p.mBegin, std::max<int>(p.dBegin, 1)) : 0;
            const int stop = hasEnd ? dayKey(p.gEnd, p.mEnd, p.dEnd ? p.dEnd : 31) : 99999999;
            if (IsStandingTimeOffCode(p.kod) && start <= oldLast && stop >= oldFirst) {
                WarDatEntry w;
                w.start = packDate(p.dBegin, p.mBegin, p.gBegin);
                w.end = packDate(p.dEnd, p.mEnd, p.gEnd);
                w.mes = u16(oldMonth);
                w.god = u16(oldYear % 100);
                w.kod = p.kod;
                w.sum = p.sum;
                appendWarDat(base.warDat, w, true);
            }
            const int endKey = hasEnd ? MonthKey(p.gEnd, p.mEnd).value() : 0;
            if (p.kod == kCodeUnpaid && hasEnd && endKey <= oldKey)
                p = PostDoplEntry{};
        }
        for (PostDoplEntry& p : rec.postDopl) {
            const bool hasEnd = p.gEnd != 0 && p.mEnd != 0;
            if ((hasEnd && MonthKey(p.gEnd, p.mEnd).value() < newKey) || a.priznUv != 0)
                p = PostDoplEntry{};
        }
    }

    void archiveSickLeave(int slot)
    {
        for (const SickLeaveSheet& s : base.bln.run(slot)) {
            const int startKey = MonthKey(s.gBegin, s.mBegin).value();
            const int rel = startKey < oldKey ? -1 : startKey > oldKey ? 1 : 0;
            WarDatEntry w;
            w.start = packDate(s.dBegin, s.mBegin, s.gBegin);
            w.end = packDate(s.dEnd, s.mEnd, s.gEnd);
            w.mes = u16(oldMonth);
            w.god = u16(oldYear % 100);
            w.kod = u16(monthchange::SickLeaveArchiveCode(s.vid, rel));
            w.contin = s.contin ? 1 : 0;
            w.sum = s.sum;
            appendWarDat(base.warDat, w, false);
        }
    }

    void betweenPasses()
    {
        for (int slot = 1; slot <= base.slotCount(); ++slot) base.tabelOf(slot) = TabelRecord{};
        monthchange::ShiftSchedules(doc, MonthKeyDiff(oldKey, newKey));
        base.config.tekMes = u16(newKey);
    }

    // The weekday schedules whose new month is not in the schedule yet: the
    // second pass makes it from the weekly pattern where an employee needs it.
    std::vector<int> weekdaySchedulesWithoutMonth() const
    {
        std::vector<int> out;
        for (int number = 1; CInfoBase::holdsSchedule(number); ++number) {
            const WorkSchedule& s = base.scheduleAt(number);
            const bool weekday = s.pVyh == 0 && s.pRab == 0 && s.begM == 0;
            if (weekday && !ScheduleMonthStands(s, s.months[WorkSchedule::ReportingMonth]))
                out.push_back(number);
        }
        return out;
    }

    // Says which schedules' new month was made from the weekly pattern: the
    // days off moved by a government decree are not in it and are the firm's
    // to type into the schedule.
    void noteMonthsMadeFromPattern(const std::vector<int>& unmade)
    {
        QStringList numbers;
        for (const int number : unmade) {
            const WorkSchedule& s = base.scheduleAt(number);
            if (ScheduleMonthStands(s, s.months[WorkSchedule::ReportingMonth]))
                numbers << QString::number(number);
        }
        if (numbers.isEmpty())
            return;
        doc.monthChangeNotes << QStringLiteral("Календарь на %1 составлен по недельному шаблону графиков: %2 "
                                               "(праздники, совпавшие с выходными, перенесены на следующий рабочий "
                                               "день, предпраздничные дни сокращены на час). Дни, перенесенные "
                                               "постановлением Правительства, внесите в справочник графиков.")
                                    .arg(MonthOfYearText(MonthKey(newYear, newMonth)),
                                         numbers.join(QStringLiteral(", ")));
    }

    // A new year whose law the tax tables do not hold is said once, here.
    void noteYearWithoutTaxTables()
    {
        if (newYear <= oldYear)
            return;
        if (const QString warning = TaxTablesYearWarning(newYear, doc); !warning.isEmpty())
            doc.monthChangeNotes << warning;
    }

    void secondPass(int slot)
    {
        EmployeeAttributes& a = base.attributesOf(slot);
        base.current.postDopl = standingEntries[slot];
        if (a.priznUv != 0)
            return;

        WorkSchedule& sched = base.nearestSchedule(a.graph);
        int days = 0, minutes = 0;
        const int c = CalcScheduleNorm(WorkSchedule::ReportingMonth, sched, 1, 0, days, minutes, doc);
        if (c < 0) {
            if (a.err == 0)
                a.err = u16(10 - c);
            ++errors;
            return;
        }
        TabelRecord& t = base.tabelOf(slot);
        const ScheduleMonth& row = sched.months[WorkSchedule::ReportingMonth];
        t.rabDn = u8(days);
        t.rabHr = a.sistOpl < 3 ? u16(minutes) : 0;
        t.vHr = row.vMin;
        t.nHr = row.nMin;
        const int monthDays = DaysInMonth(newYear, newMonth);
        for (int d = 1; d <= monthDays; ++d)
            if (row.d[std::size_t(d - 1)] != 0)
                SetDayMark(t, d, true);

        takeOffAbsentDays(slot, sched, t);

        // Standing entries of unpaid and similar kinds that cover days of the new month.
        for (const PostDoplEntry& p : base.current.postDopl) {
            if (!IsStandingTimeOffCode(p.kod))
                continue;
            const int startKey = p.gBegin ? MonthKey(p.gBegin, p.mBegin).value() : 0;
            const bool hasEnd = p.gEnd != 0 && p.mEnd != 0;
            const int endKey = hasEnd ? MonthKey(p.gEnd, p.mEnd).value() : 0x7FFFFFFF;
            if (startKey > newKey || endKey < newKey)
                continue;
            const int first = startKey == newKey ? std::max<int>(p.dBegin, 1) : 1;
            const int last = endKey == newKey && p.dEnd != 0 ? int(p.dEnd) : monthDays;
            int pd = 0, pm = 0;
            if (ScheduleNormDayByDay(WorkSchedule::ReportingMonth, sched, first, last, pd, pm, doc) < 0)
                continue;
            t.rabDn = u8(std::max(0, t.rabDn - pd));
        }
    }

    // Every day of the new month that a vacation or a sick-leave sheet of the
    // old month covers comes off the new sheet, its days, its minutes and its
    // mark, whatever the vacation's kind or the sheet's: the vacation pay and
    // the benefit have paid them, so the salary must not pay them again.
    void takeOffAbsentDays(int slot, WorkSchedule& sched, TabelRecord& t)
    {
        const MonthDayFlags absent = AbsentDays(base.bln.run(slot), base.otp.run(slot), base.firm, newYear, newMonth);
        int days = 0, minutes = 0;
        if (PlannedTimeOfDays(absent, sched, doc, days, minutes) < 0)
            return;
        t.rabDn = u8(std::max(0, t.rabDn - days));
        t.rabHr = u16(std::max(0, t.rabHr - minutes));
        for (int d = 1; d <= 31; ++d)
            if (absent[std::size_t(d)])
                SetDayMark(t, d, false);
    }

    void clearMonthlyTables()
    {
        for (int slot = 1; slot <= base.slotCount(); ++slot) base.zar1Of(slot) = 0.0;
        std::fill(base.bln.index.begin(), base.bln.index.end(), u16(0));
        std::fill(base.bln.lines.begin(), base.bln.lines.end(), SickLeaveSheet{});
        std::fill(base.otp.index.begin(), base.otp.index.end(), u16(0));
        std::fill(base.otp.lines.begin(), base.otp.lines.end(), VacationNote{});
    }

    // The tables changed in memory go into the same transaction as the
    // employees, so that the base is never half in the new month.
    void saveCommonTables()
    {
        SaveConfig(base);
        SaveEntree(base);
        SaveCeh(base);
        SaveGraph(base);
        SaveTabel(base);
        for (LineKind kind : {LineKind::AltTabel, LineKind::Prem, LineKind::Bln, LineKind::Otp})
            SaveIndexes(base, kind);
        for (int mass = 1; mass <= 3; ++mass) SaveAltTabel(base, mass);
        SaveFio(base);
        SaveSimp(base, base.nameOrder() ? 2 : 1);
        SaveComp(base);
        SavePrem(base);
        SaveBln(base);
        SaveOtp(base);
        SaveAvZar1(base);
    }

    PayrollDoc& doc;
    CInfoBase& base;
    const int oldKey, newKey, oldYear, oldMonth, newYear, newMonth;
    std::array<CostGroup, kGroupCount> groups{};
    // The standing entries as the first pass stored them, by slot, for the second.
    std::map<int, decltype(EmployeeRecord::postDopl)> standingEntries;
    double accruals = 0, deductions = 0;
};

} // namespace

namespace monthchange {

double RepayLoan(PayrollDoc& doc, int loan, double deducted)
{
    SsudBlock::Loan& l = doc.infoBase.current.ssud.loans[std::size_t(loan)];
    if (l.kod == 0 || l.kvMes == 0 || l.sumDolg == 0)
        return 0;
    // kvMes months taken from the three parts in order.
    int months = l.kvMes;
    double repay = 0;
    std::array<int, 3> taken{};
    for (int p = 0; p < 3 && months > 0; ++p) {
        const int t = std::min<int>(months, l.mes[std::size_t(p)]);
        taken[std::size_t(p)] = t;
        repay += t * l.sum[std::size_t(p)];
        months -= t;
    }
    if (repay > l.sumDolg || l.sumDolg - repay < 1.0) // within a kopeck: the whole debt
        repay = l.sumDolg;
    if (deducted >= 0 && deducted < RoundByPayKind(repay, l.kod, doc)) {
        l.sumDolg -= std::max(0.0, deducted);
        return deducted;
    }
    l.sumDolg -= repay;
    for (int p = 0; p < 3; ++p) {
        l.mes[std::size_t(p)] = u8(l.mes[std::size_t(p)] - taken[std::size_t(p)]);
        if (l.mes[std::size_t(p)] == 0 || l.sum[std::size_t(p)] == 0) {
            l.mes[std::size_t(p)] = 0;
            l.sum[std::size_t(p)] = 0;
        }
    }
    if (l.sumDolg <= 0)
        l = SsudBlock::Loan{};
    return repay;
}

int ArchiveYear(int code, int rowMonth, int oldMonthKey)
{
    const int oldYear = MonthKey::of(oldMonthKey).year(), oldMonth = MonthKey::of(oldMonthKey).month();
    if (rowMonth == 0 || rowMonth == oldMonth)
        return oldYear;
    const int ahead = MonthsAhead(oldMonth, rowMonth); // 1-11 months after the old month, wrapping
    const bool inNextFive = ahead >= 1 && ahead <= 5;
    const bool special = IsNextMonthsPayCode(code);
    if (rowMonth > oldMonth && !inNextFive && !special)
        return oldYear - 1;
    if (rowMonth < oldMonth && (inNextFive || special))
        return oldYear + 1;
    return oldYear;
}

int SickLeaveArchiveCode(int vid, int startVsOldMonth)
{
    auto shifted = [&](int code) { return code + startVsOldMonth; };
    switch (vid) {
    case 0:
    case 3:
    case 4: return shifted(156);
    case 1: return shifted(196);
    case 8:
    case 9: return shifted(656);
    case 10: return shifted(696);
    case 2: return startVsOldMonth > 0 ? 159 : 158;
    case 5: return kCodeChildCareFirst;
    case 6: return 154;
    case 7: return kCodeChildCareSecond;
    default: return 156;
    }
}

void AppendArchiveEntry(EmployeeRecord& rec, const WariaEntry& e)
{
    int n = std::min<int>(rec.warKv, EmployeeRecord::ArchiveCapacity);
    if (n > EmployeeRecord::ArchiveCapacity - 1) {
        std::move(rec.waria.begin() + 1, rec.waria.begin() + n, rec.waria.begin());
        --n;
    }
    rec.waria[std::size_t(n)] = e;
    rec.warKv = u16(n + 1);
}

void ShiftSchedules(PayrollDoc& doc, int months)
{
    if (months <= 0)
        return;
    for (int number = 1; number <= CInfoBase::ScheduleCount; ++number) {
        WorkSchedule& s = doc.infoBase.scheduleAt(number);
        const int n = int(s.months.size());
        for (int i = 0; i < n; ++i)
            s.months[std::size_t(i)] = i + months < n ? s.months[std::size_t(i + months)] : ScheduleMonth{};
    }
}

void ShiftMonthlyTables(PayrollDoc& doc, int newMonthKey)
{
    InfoBaseConfig& c = doc.infoBase.config;
    const int m = MonthKey::of(newMonthKey).month();
    if (m == 1) {
        c.mrotPrev = c.mrot;
        c.mrot[0] = c.mrotPrev[11];
        for (int i = 1; i < 12; ++i) c.mrot[std::size_t(i)] = 0;
    }
    // The months ahead keep what they hold: a minimum wage known from its
    // date (4,611 roubles from June 2011) stays until the base reaches it.
    for (int i = 1; i < m && i < 12; ++i)
        if (c.mrot[std::size_t(i)] == 0)
            c.mrot[std::size_t(i)] = c.mrot[std::size_t(i - 1)];
}

} // namespace monthchange

RunOutcome FailedCalculations(const PayrollDoc& doc)
{
    const CInfoBase& base = doc.infoBase;
    std::vector<int> computed;
    SelectEmployeesForCalculation(CalcThreadParams{}, doc, computed);
    RunOutcome failed;
    for (const int index : computed) {
        const int slot = base.list[std::size_t(index)].slot;
        const int err = base.attributesOf(slot).err;
        if (err != 0 && !errorPassesWithMonth(err))
            failed.note(RunNote::Failed, base, slot, CalcErrorText(err));
    }
    return failed;
}

QString MonthChangeRefusalText(const RunOutcome& failed)
{
    return QStringLiteral("Переход на следующий месяц не выполнен: расчет работников ниже завершился ошибкой.\n"
                          "Исправьте их данные и рассчитайте месяц снова (или укажите признак увольнения), "
                          "затем повторите переход.\n\n") +
           failed.lines().join(QLatin1Char('\n'));
}

int MoveEmployeesToNextMonth(int newMonthKey, const std::function<void()>& stepIt, PayrollDoc& doc, RunOutcome* outcome)
{
    if (const RunOutcome failed = FailedCalculations(doc); !failed.notes.empty())
        throw TextError(MonthChangeRefusalText(failed));
    doc.monthChangeNotes.clear();
    // On failure the stored base and the tables the move alters in memory
    // go back as they were, and the move's notes go with them.
    // A change whose end was not known, or any write memory did not learn
    // of, may have moved the base already: it is never moved again from
    // what memory holds.
    if (const QString moved = StoredBaseMismatch(doc.infoBase); !moved.isEmpty())
        throw TextError(moved);
    using T = BaseTable;
    BaseChange change(doc.infoBase, T::Config | T::Schedules | T::Attributes | T::Tabel | T::Advances | T::Lines |
                                        T::CurrentEmployee);
    MonthMove move(doc, newMonthKey);
    int result = 0;
    try {
        result = move.run(stepIt);
        change.commit();
    } catch (...) {
        doc.monthChangeNotes.clear();
        throw;
    }
    move.noteErrorSituations();
    if (outcome)
        *outcome = std::move(move.outcome);
    return result;
}

} // namespace kalvor
