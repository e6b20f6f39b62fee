#include "payroll/CalcEmployeeMonth.h"

#include "infobase/InfoBaseDb.h"
#include "infobase/PayKindCodes.h"
#include "payroll/AbsentDays.h"
#include "payroll/AccrualPass.h"
#include "payroll/Bases.h"
#include "payroll/CalendarMath.h"
#include "payroll/MonthInputRows.h"
#include "payroll/MonthRate.h"
#include "payroll/PayKinds.h"
#include "payroll/ScheduleNorm.h"
#include "payroll/Settlement.h"
#include "payroll/SickLeaveRows.h"
#include "values/Values.h"

#include <algorithm>
#include <cstring>

namespace kalvor {

using namespace infobase;

// ----------------------------------------------------------------------------- row helpers

void SetRowTime(AccrualRow& row, int days, int minutes)
{
    days = std::max(days, 0);
    minutes = std::max(minutes, 0);
    row.dn = u16(days & 63);
    row.min = u16(minutes % 60);
    row.hr = u16((minutes / 60) & 511);
}

int AppendRowRaw(CalcPass& p, const AccrualRow& row)
{
    if (row.sum == 0 && row.kod != kCodeUnpaid)
        return 0;
    if (p.count >= p.capacity)
        return kCalcTooManyRows;
    p.rows[p.count++] = row;
    return 1;
}

int AppendRow(CalcPass& p, int code, double amount, int month, int days, int minutes, int shop)
{
    AccrualRow row;
    row.kod = u16(code);
    row.sum = code == kCodeUnpaid ? 100.0 : RoundByPayKind(RoundWhole(amount), code, p.doc);
    row.mes = u16(month);
    row.otd = u8(shop);
    SetRowTime(row, days, minutes);
    return AppendRowRaw(p, row);
}

BaseOptions PassBaseOptions(const CalcPass& p)
{
    BaseOptions options;
    options.vacationWindow = p.vacationWindow;
    options.fundFilter = p.fundFilter;
    return options;
}

double PassBase(const CalcPass& p, int month, int monthsBack, int selector, int& inOutCount, double& outTime)
{
    return CalcBaseBySelectorWith(PassBaseOptions(p), month, monthsBack, selector, inOutCount, outTime, p.rows,
                                  p.count, p.doc);
}

void RemoveRow(CalcPass& p, int i)
{
    if (i < 0 || i >= p.count)
        return;
    std::move(p.rows + i + 1, p.rows + p.count, p.rows + i);
    p.rows[--p.count] = AccrualRow{};
}

// ----------------------------------------------------------------------------- foreign worker

int ForeignWorkerDays(const EmployeeHead& head, int year, int month)
{
    const PackedDate entry(head.inostrDatPr);
    if (entry.isNull() || entry.month() == 0)
        return 0;
    const int ey = entry.fullYear(), em = entry.month();
    if (MonthKey(ey, em) >= MonthKey(year, month))
        return 0;
    // The stay ends on the departure date, or without one on the dismissal
    // date of the current employment.
    const std::uint16_t dismissal = head.datPr2 ? head.datUv2 : head.datUv1;
    const PackedDate leave(head.inostrDatOt != 0 ? head.inostrDatOt : dismissal);
    const int leaveKey = leave.isNull() || leave.month() == 0 ? 0 : MonthKey(leave.fullYear(), leave.month()).value();

    int days = 0;
    for (int key = MonthKey(ey, em).value(); key < MonthKey(year, month).value(); key = MonthKeyAdd(key, 1)) {
        const int len = DaysInMonth(MonthKey::of(key).year(), MonthKey::of(key).month());
        const int from = key == MonthKey(ey, em).value() ? std::max(1, entry.day()) : 1;
        int to = len;
        if (leaveKey != 0 && key > leaveKey)
            break;
        if (leaveKey == key)
            to = std::min(len, std::max(1, leave.day()));
        if (to >= from)
            days += to - from + 1;
        if (days >= 999)
            return 999;
    }
    return std::min(days, 999);
}

// ----------------------------------------------------------------------------- the engine

namespace {

// An amount of the employee's card below zero (an older base may hold one;
// the card refuses it): its code, naming the field, or 0. The month is not
// computed then, where a salary below zero would make rows whose days count
// backwards.
int CardAmountsRefusal(const infobase::EmployeeHead& head)
{
    if (head.oklad < 0)
        return kCalcNegativeSalary;
    if (head.stavka < 0)
        return kCalcNegativeRate;
    if (head.avans < 0)
        return kCalcNegativeAdvance;
    if (head.nadbav < 0)
        return kCalcNegativeAllowance;
    return 0;
}

// Steps 1-5 of a pass: the record, the card's amounts, the payment system,
// the month norm.
int StartPass(CalcPass& p, int index)
{
    auto& base = p.base();
    std::fill(p.rows, p.rows + (p.mode == CalcStore ? kCalcClearRowsStore : kCalcClearRowsDisplay), AccrualRow{});
    p.count = 0;

    p.slot = base.list[std::size_t(index)].slot;
    if (base.currentSlot != p.slot) {
        base.currentSlot = p.slot;
        if (!base.swap.readSlot(p.slot, base.current)) {
            // A record that cannot be read whole is not computed: the rows
            // would come from a partly stale record.
            base.currentSlot = 0;
            return kCalcRecordUnreadable;
        }
    }
    if (const int refusal = CardAmountsRefusal(base.current.head); refusal < 0)
        return refusal;

    if (p.pass == 1 && base.current.head.flag(9) && base.current.head.inostrDatPr != 0) {
        base.current.head.inostrDnPrRF = u16(ForeignWorkerDays(base.current.head, p.year, p.month));
        if (p.mode == CalcStore)
            SaveKonstInostrDays(base, p.slot);
    }

    p.paymentSystem = p.attr().sistOpl;
    if (p.paymentSystem == 0)
        return kCalcNoPaymentSystem;
    p.schedule = EmployeeScheduleNumber(p.doc, p.slot);
    WorkSchedule& sched = p.workSchedule();
    const int r = CalcScheduleNorm(WorkSchedule::ReportingMonth, sched, 1, 31, p.plannedDays, p.plannedMinutes, p.doc);
    if (r < 0)
        return r - 10;
    p.dayLength = WorkingDayLength(sched, p.doc);
    if (p.dayLength == 0)
        return kCalcNoDayLength;
    if (p.plannedDays == 0 || p.plannedMinutes == 0)
        return kCalcNoWorkingTime;
    return 0;
}

// A time sheet with days only or minutes only is completed.
void CompleteTimeSheet(CalcPass& p)
{
    TabelRecord& t = p.tabel();
    if ((p.paymentSystem == 1 || p.paymentSystem == 2) && t.rabHr == 0)
        t.rabHr = u16(t.rabDn * p.dayLength);
    if (t.rabDn == 0 && t.rabHr != 0)
        t.rabDn = u8((t.rabHr + p.dayLength - 1) / p.dayLength);
}

// The rows entered for the month.
int CarriedRows(CalcPass& p)
{
    EmployeeAttributes& a = p.attr();
    auto& rows = p.rec().rows;
    const TabelRecord& t = p.tabel();
    if (p.paymentSystem == 1) {
        for (int i = 0; i < int(a.kvProizv) && i < EmployeeRecord::RowCount; ++i) {
            AccrualRow& r = rows[std::size_t(i)];
            if (IsPieceWorkCode(r.kod) && r.mes == p.month) {
                SetRowTime(r, t.rabDn, t.rabHr);
                break;
            }
        }
    }
    // A free row among the entered ones is passed over and left in the
    // record as it is (the run's warnings name it, FreeEnteredRowsText): a
    // record read in part must never lose the month's entries for good.
    for (int i = 0; i < int(a.kvProizv) && i < EmployeeRecord::RowCount; ++i) {
        AccrualRow r = rows[std::size_t(i)];
        if (r.kod == 0) {
            if (r.sum != 0)
                return kCalcUnknownCode;
            continue;
        }
        if (r.mes == 0 || r.mes > 12)
            return kCalcRowWithoutMonth;
        r.sum = RoundByPayKind(r.sum, r.kod, p.doc);
        // Every entered row keeps its place, so that the settlement knows it
        // entered and the month change carries what it leaves by what its
        // own row took.
        r.hrRest = u16(OriginTag(RowOrigin::Entered, i));
        if (const int k = AppendRowRaw(p, r); k < 0)
            return k;
    }
    return 0;
}

// Absences of the reporting month (first pass): sick leave, vacation time
// that falls in the month, unpaid days, and the days that the sick-leave
// sheets and the vacations cover.
struct MonthAbsence {
    int sickDays = 0, sickMinutes = 0;
    int vacationDays = 0, vacationMinutes = 0;
    int unpaidDays = 0;
    bool hasSickLeave = false, hasVacation = false;
    MonthDayFlags away{};
};

// The vacation notes whose days the month loses: the employee's stored notes,
// or, when a vacation screen computes its notes for display, the screen's
// notes (the one being edited is not stored yet), as the vacation pay takes them.
std::vector<VacationNote> NotesOfTheMonth(const CalcPass& p)
{
    if (p.mode != CalcDisplay || !p.options.vacationNote())
        return p.base().otp.run(p.slot);
    std::vector<VacationNote> notes;
    for (const VacationNote& n : p.options.vacationNotes)
        if (n.dlin != 0)
            notes.push_back(n);
    return notes;
}

// The days away of the month, each day once, and the planned time of the
// vacations' days: every vacation with days in the month, of whatever kind
// (an additional or a study leave keeps the employee away as much as the
// annual one), less the days of sickness within it (the sick-leave sheets
// take those).
void VacationTime(CalcPass& p, MonthAbsence& out)
{
    const std::vector<VacationNote> notes = NotesOfTheMonth(p);
    const std::vector<SickLeaveSheet> sheets = p.base().bln.run(p.slot);
    if (!notes.empty() || !sheets.empty()) {
        MonthDayFlags vacation = AbsentDays({}, notes, p.base().firm, p.year, p.month);
        const MonthDayFlags sick = AbsentDays(sheets, {}, p.base().firm, p.year, p.month);
        for (std::size_t d = 1; d < vacation.size(); ++d) {
            out.away[d] = vacation[d] || sick[d];
            out.hasVacation = out.hasVacation || vacation[d];
            vacation[d] = vacation[d] && !sick[d];
        }
        PlannedTimeOfDays(vacation, p.workSchedule(), p.doc, out.vacationDays,
                          out.vacationMinutes);
    }
    for (int i = 0; i < p.count; ++i)
        if (p.rows[i].kod == kCodeUnpaid)
            out.unpaidDays += p.rows[i].dn;
}

// The unpaid days typed into the sheet and those of code 600 rows.
void LowerUnpaid(TabelRecord& t, const MonthAbsence& a)
{
    if (t.bezsodDn != 0 || a.unpaidDays != 0) {
        t.rabDn = u8(std::max(0, t.rabDn + t.bezsodDnVyh - t.bezsodDn - a.unpaidDays));
        if (t.rabHr != 0)
            t.rabHr = u16(std::max(0, t.rabHr + t.bezsodHrVyh - t.bezsodHr));
    }
}

// A sheet whose days are its marked days loses the planned time of the days it
// still marks that a sick-leave sheet or a vacation of the month covers (those
// the month change took off are no longer marked).
void LowerMarkedAbsence(CalcPass& p, TabelRecord& t, const MonthAbsence& a)
{
    if (std::none_of(a.away.begin(), a.away.end(), [](bool day) { return day; }))
        return; // no day away: nothing to take off
    MonthDayFlags days = a.away;
    for (int d = 1; d <= 31; ++d) days[std::size_t(d)] = days[std::size_t(d)] && DayMarked(t, d);
    int lostDays = 0, lostMinutes = 0;
    PlannedTimeOfDays(days, p.workSchedule(), p.doc, lostDays, lostMinutes);
    t.rabDn = u8(std::max(0, t.rabDn - lostDays));
    if (t.rabHr != 0)
        t.rabHr = u16(std::max(0, t.rabHr - lostMinutes));
}

// The time sheet of a full month loses the sick-leave, vacation and
// unpaid time.
void LowerTimeSheet(CalcPass& p, const MonthAbsence& a)
{
    TabelRecord& t = p.tabel();
    WorkSchedule& sched = p.workSchedule();
    CalcScheduleNorm(WorkSchedule::ReportingMonth, sched, 1, 31, p.plannedDays, p.plannedMinutes, p.doc);
    // Only a sheet that shows the whole month (or the month less the other
    // absence already taken out) is lowered, so a second run lowers nothing.
    const int rabDn0 = t.rabDn;
    if (SheetAgreesWithMarks(t, sched, p.dayLength, p.doc)) {
        LowerMarkedAbsence(p, t, a);
        LowerUnpaid(t, a);
        return;
    }
    const bool hoursFull = t.rabHr == 0 || t.rabHr == p.plannedMinutes;
    auto lower = [&](int days, int minutes) {
        t.rabDn = u8(std::max(0, t.rabDn - days));
        if (t.rabHr != 0)
            t.rabHr = u16(std::max(0, t.rabHr - minutes));
    };
    if (a.hasSickLeave && hoursFull &&
        (rabDn0 == p.plannedDays || rabDn0 == p.plannedDays - a.vacationDays - t.bezsodDn))
        lower(a.sickDays, a.sickMinutes);
    if (a.hasVacation && hoursFull && (rabDn0 == p.plannedDays || rabDn0 == p.plannedDays - a.sickDays))
        lower(a.vacationDays, a.vacationMinutes);
    LowerUnpaid(t, a);
}

// Whether every amount that the employee's month starts from is a finite
// number within the money range. A damaged value (an infinite salary, say)
// fails the employee instead of being carried into stored results.
bool InputAmountsSound(const CalcPass& p)
{
    const EmployeeRecord& rec = p.rec();
    const CInfoBase& base = p.base();
    std::vector<double> amounts = {rec.head.oklad,
                                   rec.head.nadbav,
                                   rec.head.avans,
                                   rec.head.stavka,
                                   base.avOf(p.slot),
                                   base.zar1Of(p.slot)};
    for (const AccrualRow& row : rec.rows) amounts.push_back(row.sum);
    for (const AltTabelEntry& line : base.altTabel.run(p.slot)) amounts.push_back(line.sumOklad);
    for (const BonusLine& line : base.prem.run(p.slot)) amounts.push_back(line.sum);
    for (const SickLeaveSheet& sheet : base.bln.run(p.slot)) amounts.insert(amounts.end(), {sheet.sum, sheet.oklad});
    for (const VacationNote& note : base.otp.run(p.slot)) amounts.push_back(note.sum);
    return std::all_of(amounts.begin(), amounts.end(), [](double v) { return IsMoneyInRange(v); });
}

} // namespace

int CalcEmployeeMonth(PayrollDoc& doc, CalcResult result, int index, CalcWorkBuffer* workBuffer, CalcMode mode,
                      const CalcOptions& options)
{
    auto& base = doc.infoBase;
    if (index < 0 || index >= int(base.list.size()))
        return kCalcBadEmployee;
    const int slot = base.list[std::size_t(index)].slot;
    if (!base.holdsSlot(slot))
        return kCalcBadEmployee;

    // The first pass takes the month's absences off the time sheet for the
    // second; the entered sheet is given back afterwards, so that a second
    // calculation starts from the same sheet.
    struct SheetKeeper {
        TabelRecord& sheet;
        TabelRecord kept;
        ~SheetKeeper() { sheet = kept; }
    } keeper{base.tabelOf(slot), base.tabelOf(slot)};

    CalcPass p{doc};
    p.rows = result;
    p.mode = mode;
    p.workBuffer = workBuffer;
    p.options = options;
    p.vacationWindow = options.vacationNote();
    p.year = base.config.reportingYear();
    p.month = base.config.reportingMonth();
    p.nextMonth = base.config.reportingKey().next().month();
    p.monthAfter = base.config.reportingKey().plus(2).month();
    p.monthLengths = MonthLengthsForYear(p.year);

    MonthAbsence absence;
    for (p.pass = 1; p.pass <= 2; ++p.pass) {
        if (const int r = StartPass(p, index); r < 0)
            return r;
        if (p.pass == 1 && !InputAmountsSound(p))
            return kCalcMeaningMismatch;
        CompleteTimeSheet(p);

        if (mode == CalcDisplay && options.noteAlone())
            return CalcAccrualsAndTaxes(p);

        int r = CarriedRows(p);
        if (r >= 0)
            r = SalaryAndTimeSheetRows(p);
        if (r >= 0)
            r = AltTimeSheetRows(p);
        if (r >= 0)
            r = PermanentPaymentRows(p, false);
        if (r >= 0)
            r = RuleRows(p);
        if (r >= 0)
            r = BonusRows(p);
        if (r < 0)
            return r;
        // For display, the corrections and the later permanent payments take
        // their bases within the ordinary month window.
        if (mode == CalcDisplay)
            p.vacationWindow = false;
        r = RuleRowCorrections(p);
        if (r >= 0)
            r = PermanentPaymentRows(p, true);
        p.vacationWindow = options.vacationNote();
        if (r < 0)
            return r;

        // Sick leave.
        p.fundFilter = 0;
        MonthAbsence passAbsence;
        if ((r = SickLeaveRows(p, passAbsence.sickDays, passAbsence.sickMinutes, passAbsence.hasSickLeave)) < 0)
            return r;

        if (p.pass == 1) {
            VacationTime(p, passAbsence);
            absence = passAbsence;
            LowerTimeSheet(p, absence);
        } else {
            WorkSchedule& sched = p.workSchedule();
            CalcScheduleNorm(WorkSchedule::ReportingMonth, sched, 1, 31, p.plannedDays, p.plannedMinutes, doc);
        }
    }
    p.pass = 2;
    return CalcAccrualsAndTaxes(p);
}

} // namespace kalvor
