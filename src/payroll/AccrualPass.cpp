#include "payroll/AccrualPass.h"

#include "infobase/InfoBaseDb.h"
#include "infobase/MonthResultSaver.h"
#include "infobase/PayKindCodes.h"
#include "payroll/AverageAbsences.h"
#include "payroll/AverageEarnings.h"
#include "payroll/Bases.h"
#include "payroll/Contributions.h"
#include "payroll/IncomeTax.h"
#include "payroll/MonthMoney.h"
#include "payroll/PayKinds.h"
#include "payroll/Regional.h"
#include "payroll/Settlement.h"
#include "payroll/ScheduleNorm.h"
#include "values/Values.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace kalvor {

using namespace infobase;

namespace {

// A row appended directly (its amount rounded by the caller), of the origin
// its record names (OriginTag; 0 for the month's own rules).
int DirectRow(CalcPass& p, int code, double amount, int month, int origin = 0)
{
    AccrualRow row;
    row.kod = u16(code);
    row.sum = amount;
    row.mes = u16(month);
    row.hrRest = u16(origin);
    return AppendRowRaw(p, row);
}

// The months of the accrual rows, each at its first row.
std::vector<int> RowMonths(const CalcPass& p)
{
    std::vector<int> months;
    for (int i = 0; i < p.count; ++i) {
        const AccrualRow& r = p.rows[i];
        if (r.kod != 0 && IsAccrualCode(r.kod) && r.mes != 0 &&
            std::find(months.begin(), months.end(), int(r.mes)) == months.end())
            months.push_back(r.mes);
    }
    return months;
}

double SumOfCode(const CalcPass& p, int code, int month = 0)
{
    double s = 0;
    for (int i = 0; i < p.count; ++i)
        if (p.rows[i].kod == code && (month == 0 || p.rows[i].mes == month))
            s += p.rows[i].sum;
    return s;
}

// What is left to pay of the rows made so far: the accruals less the
// deductions that the amount to pay is left after (IsPayReducingCode), in
// whole kopecks; below 0 when the deductions pass the accruals.
double LeftToPay(const CalcPass& p) { return MonthMoneyOf(p.rows, p.count, {.deducts = IsPayReducingCode}).net(); }

// Month index of an employee's date; a two-digit year through the program's window.
int DateMonthIndex(u16 packed)
{
    const PackedDate d(packed);
    return MonthIndex(d.fullYear(), d.month());
}

// --- stages

int Checks(CalcPass& p)
{
    const auto& h = p.rec().head;
    if (p.attr().priznUv == 4 && h.datUv1 == 0 && h.datUv2 == 0)
        return kCalcNoDismissalDate;
    if (h.datPr1 == 0)
        return kCalcNoHireDate;
    if (h.datUv1 != 0 && DateMonthIndex(h.datPr1) > DateMonthIndex(h.datUv1))
        return kCalcBadHireDismissal;
    if (h.datUv2 != 0 && (h.datUv1 == 0 || DateMonthIndex(h.datUv2) < DateMonthIndex(h.datUv1)))
        return kCalcBadHireDismissal;
    return 0;
}

int VacationPay(CalcPass& p)
{
    auto& doc = p.doc;
    const CalcOptions& caller = p.options;
    std::vector<VacationNote> notes;
    int current = -1;
    if (p.mode == CalcStore) {
        notes = p.base().otp.run(p.slot);
    } else if (caller.vacationNoteOnly == 0) {
        if (const VacationNote* note = caller.current()) {
            notes.push_back(*note);
            current = 0;
        }
    } else {
        for (int i = 0; i < int(caller.vacationNotes.size()); ++i)
            if (caller.vacationNotes[std::size_t(i)].dlin != 0) {
                if (i == caller.currentNote)
                    current = int(notes.size());
                notes.push_back(caller.vacationNotes[std::size_t(i)]);
            }
    }
    if (notes.size() >= 2) {
        std::vector<int> order(notes.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = int(i);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return ComparePeriodEntries(notes[std::size_t(a)], notes[std::size_t(b)]) < 0;
        });
        std::vector<VacationNote> sorted;
        int newCurrent = -1;
        for (std::size_t i = 0; i < order.size(); ++i) {
            if (order[i] == current)
                newCurrent = int(i);
            sorted.push_back(notes[std::size_t(order[i])]);
        }
        notes = sorted;
        current = newCurrent;
    }
    for (int i = 0; i < int(notes.size()); ++i) {
        const VacationNote& n = notes[std::size_t(i)];
        const bool isCurrent = p.mode == CalcDisplay && i == current;
        if (n.mrp && !isCurrent) {
            const double amount = RoundPayout(RoundByPayKind(n.sum, kCodePayout, doc), doc);
            if (const int r = DirectRow(p, kCodePayout, amount, p.month); r < 0)
                return r;
        }
        if (n.dlin != 0) {
            const int r =
                CalcAverageEarnings(doc, n, p.schedule, p.paymentSystem, p.rows, p.count,
                                    isCurrent || p.mode == CalcStore ? p.workBuffer : nullptr, p.capacity, caller);
            if (r < 0)
                return r;
            p.count += r & 0xFF;
        }
    }
    return 0;
}

int PensionContribution(CalcPass& p)
{
    const auto& firm = p.base().firm;
    if (firm.procPens == 0 || p.rec().head.tabPodoh >= 19)
        return 0;
    if (p.mode == CalcDisplay && p.options.withoutEmployeePension)
        return 0;
    const double rate = firm.procPens / 10000.0;
    for (int m : RowMonths(p)) {
        double a1 = 0, a2 = 0;
        for (int i = 0; i < p.count; ++i) {
            const AccrualRow& r = p.rows[i];
            if (r.kod == 0 || !IsAccrualCode(r.kod) || r.mes != m)
                continue;
            const PayKind* k = PayKindOf(p.doc, r.kod);
            if (!k)
                return kCalcUnknownCode;
            if (k->g11)
                (k->oblPodoh ? a1 : a2) += r.sum;
        }
        // The employee's contribution on the taxed and on the other income;
        // the rows already there for the month are taken into account.
        if (const int r = AppendComputedRow(p, kCodePensionTaxed, a1 * rate - SumOfCode(p, kCodePensionTaxed, m), m);
            r < 0)
            return r;
        if (const int r = AppendComputedRow(p, kCodePensionOther, a2 * rate - SumOfCode(p, kCodePensionOther, m), m);
            r < 0)
            return r;
    }
    return 0;
}

// A loan's instalment, a fixed transfer and a writ stored below zero (a base
// of an older version may hold one; the screens refuse it) deduct nothing: a
// deduction that cannot be makes no row, where a negative one would pay out.
int Loans(CalcPass& p)
{
    const auto& firm = p.base().firm;
    const auto& loans = p.rec().ssud.loans;
    for (std::size_t l = 0; l < loans.size(); ++l) {
        const auto& loan = loans[l];
        if (loan.kod == 0 || loan.sumDolg == 0)
            continue;
        int n = loan.kvMes;
        if (n != 0) {
            double repay = 0;
            for (int s = 0; s < 3 && n > 0; ++s) {
                const int c = loan.mes[std::size_t(s)];
                if (c == 0)
                    continue;
                const double instalment = std::max(0.0, loan.sum[std::size_t(s)]);
                if (c < n) {
                    repay += c * instalment;
                    n -= c;
                } else {
                    repay += n * instalment;
                    n = 0;
                }
            }
            repay = RoundByPayKind(std::min(repay, loan.sumDolg), loan.kod, p.doc);
            if (repay > 0)
                if (const int r = DirectRow(p, loan.kod, repay, p.month, OriginTag(RowOrigin::Loan, int(l))); r < 0)
                    return r;
        }
        if (loan.nalog) {
            const double rate = firm.procSsudWhole * 100 + firm.procSsudHundredths;
            const double interest =
                RoundByPayKind(loan.sumDolg * rate / 10000.0 * p.days() / 365.0, kCodeLoanInterest, p.doc);
            if (interest != 0) {
                if (const int r = DirectRow(p, kCodeLoanInterest, interest, p.month); r < 0)
                    return r;
                p.benefitInKind += interest;
                if (const int r = DirectRow(p, kCodePayout, interest, p.month); r < 0)
                    return r;
            }
        }
    }
    return 0;
}

int FixedTransfers(CalcPass& p)
{
    const auto& sber = p.rec().sber;
    for (std::size_t i = 0; i < sber.size(); ++i)
        for (std::size_t j = i + 1; j < sber.size(); ++j)
            if (sber[i].kod != 0 && sber[i].kod == sber[j].kod && sber[i].sum == 0 && sber[j].sum == 0)
                return kCalcSameRestTransfers;
    for (const SberRow& s : sber)
        if (s.kod != 0 && s.sum > 0) // 0 is the rest, which BankTransfers sends
            if (const int r = DirectRow(p, s.kod, RoundByPayKind(s.sum, s.kod, p.doc), p.month,
                                        OriginTag(RowOrigin::Transfer));
                r < 0)
                return r;
    return 0;
}

// The claim a row makes on the pay among those that give way to what is left
// to pay, by the row's origin (ClaimOf): a deduction entered for the month or
// a standing one, a loan's repayment, a fixed transfer; none for a row that
// asks nothing.
std::optional<Claim> GivingWayClaim(const AccrualRow& row)
{
    return row.sum > 0 ? ClaimOf(OriginOf(row.hrRest), row.kod) : std::nullopt;
}

// The deductions that give way, in whole kopecks.
double GivingWay(const CalcPass& p)
{
    double sum = 0;
    for (int i = 0; i < p.count; ++i)
        if (GivingWayClaim(p.rows[i]))
            sum += RoundWhole(p.rows[i].sum);
    return sum;
}

// The rows of a claim that gives way to what is left to pay (a deduction, a
// loan, a fixed transfer) take, in the order they were made, at most what the
// claims before it in the table leave: the claims after it give up first (a
// fixed transfer, then the loans, then the standing and the entered
// deductions). A transfer sends what there is, the rest of a loan's debt
// stays for the next months (the month change takes off the debt what its
// row took), and the rest of a deduction goes to the next month as the debt:
// an entered one's the month change carries by what its own row took (the
// entered row says what it asked), a standing one's the pass adds up here
// (p.standingLeft), where what it asked is known, for the store to record.
// An advance larger than the pay still leaves a debt.
void FitGivingWay(CalcPass& p, Claim claim)
{
    double room = LeftToPay(p); // the claims' rows of this claim and the later ones counted back
    for (int i = 0; i < p.count; ++i)
        if (const std::optional<Claim> c = GivingWayClaim(p.rows[i]); c && *c >= claim)
            room += RoundWhole(p.rows[i].sum);
    const bool standingDebt = RuleOf(claim).rest == RestGoes::CarriedDebt;
    for (int i = 0; i < p.count; ++i) {
        AccrualRow& row = p.rows[i];
        if (GivingWayClaim(row) != claim)
            continue;
        const double took = ClaimTakes(claim, row.sum, room); // a zero row goes at the compaction
        if (standingDebt && OriginOf(row.hrRest) == RowOrigin::Permanent)
            p.standingLeft += row.sum - took;
        row.sum = took;
        room -= row.sum;
    }
}

// The rows of the month's taxes: the income tax's from `first`, the second
// tax's from `second`, up to `end`.
struct TaxRows {
    int first = 0, second = 0, end = 0;
};

// The income tax takes at most half of each payment (IncomeTaxCap): of the
// money paid out apart (a payout, 904; the loans' benefit in kind, paid as it
// is accrued, is no money) and of what is left to pay once the advance and
// the payouts are taken. What passes it the next months' tax, counted since
// January, takes. A payout that leaves less to pay than the tax on it leaves
// the employee's debt, which the month change carries. A tax returned (a row
// below zero, by a reversal of earlier months) stays as it is.
void FitIncomeTax(CalcPass& p, const TaxRows& tax)
{
    const double paidOut = SumOfCode(p, kCodePayout);
    const double left = MonthMoneyOf(p.rows, p.count).accrued - SumOfCode(p, kCodeAdvance) - paidOut;
    double room = IncomeTaxCap(paidOut - p.benefitInKind, left);
    for (int i = tax.first; i < tax.second; ++i) {
        AccrualRow& row = p.rows[i];
        row.sum = ClaimTakes(Claim::IncomeTax, row.sum, room);
        room -= std::max(0.0, row.sum);
    }
}

// The second tax (the union dues) takes at most what is left to pay, the
// deductions that give way to it counted back; one returned stays as it is.
void FitSecondTax(CalcPass& p, const TaxRows& tax)
{
    const double givingWay = GivingWay(p);
    for (int i = tax.second; i < tax.end; ++i) {
        AccrualRow& row = p.rows[i];
        row.sum = ClaimTakes(Claim::SecondTax, row.sum, row.sum + LeftToPay(p) + givingWay);
    }
}

// The income tax rows, then (from `second` on) those of the second tax.
int IncomeTaxRows(CalcPass& p, bool& saveMaster, int& second)
{
    const std::uint32_t propertyLeft = p.rec().head.imvichOst;
    const int first = p.count;
    int r = CalcIncomeTax(0, p.rows, p.count, p.doc, p.capacity, p.options.incomeTax);
    if (r < 0)
        return r;
    p.count += r;
    // The remaining property deduction lives in the master row: a month that
    // used some of it stores what is left, else the next year would start
    // from a stale remainder.
    saveMaster = p.rec().head.dedMonths != 0 || p.rec().head.imvichOst != propertyLeft;
    second = p.count;
    const int prof = p.attr().tabProf;
    if (prof != 0) {
        r = CalcIncomeTax(prof, p.rows, p.count, p.doc, p.capacity, p.options.incomeTax);
        if (r < 0)
            return r;
        p.count += r;
    }
    for (int i = first; i < p.count; ++i) p.rows[i].hrRest = u16(OriginTag(RowOrigin::Tax));
    return 0;
}

int Advance(CalcPass& p)
{
    if (p.mode == CalcDisplay && p.options.noteAlone())
        return 0;
    if (!p.base().holdsSlot(p.slot))
        return 0;
    const double amount = RoundPayout(RoundByPayKind(p.base().avOf(p.slot), kCodeAdvance, p.doc), p.doc);
    return std::min(0, DirectRow(p, kCodeAdvance, amount, p.month, OriginTag(RowOrigin::Advance)));
}

} // namespace

double WritDeduction(const IspolBlock::Writ& w, double base, double tax, double secondBases, int year, int month)
{
    const double net = base - tax;
    double amount = w.sum; // a fixed sum
    if (w.priznUd) {
        // A percent of the pay after tax, kind 2 less its own bases.
        const double b = w.vid == 2 ? net - secondBases : net;
        amount = b > 0 ? b * w.sum / 10000.0 : 0;
    }
    if (w.vid == 1 && w.dataEnd != 0) {
        const PackedDate end(w.dataEnd);
        const int endKey = MonthKey(end.fullYear(), end.month()).value();
        const int key = MonthKey(year, month).value();
        if (endKey < key)
            amount = 0;
        else if (endKey == key)
            amount = RoundWhole(amount) * end.day() / DaysInMonth(year, month);
    }
    return std::min(amount, WritShare(base, tax));
}

double WritShare(double base, double tax) { return std::max(0.0, base - tax) / 2; }

namespace {

// The bases a writ is worked out on: the pay of the kinds writs are taken
// from, the month's income tax and, for a writ of kind 2 in percent, the bases
// of its own codes; 0 or a negative code.
int WritBases(CalcPass& p, const IspolBlock::Writ& w, double& base, double& tax, double& second)
{
    int cnt = 0;
    double time = 0;
    base = PassBase(p, kBaseRowsOnly, 0, 6, cnt, time);
    if (cnt < 0)
        return cnt;
    tax = SumOfCode(p, kCodeTaxRow);
    second = 0;
    if (w.vid == 2 && w.priznUd) {
        // The sick-leave benefits and the benefits for an accident at work,
        // each for the last month, the month and the next month.
        for (const int first : {kFirstSickBenefitCode, kFirstInjuryBenefitCode})
            for (int code = first; code < first + 3; ++code) {
                int c = 0;
                double t = 0;
                second += PassBase(p, kBaseRowsOnly, 0, -code, c, t);
                if (c < 0)
                    return c;
            }
    }
    return 0;
}

// A writ's postal fee by its table (0: none) on what the writ took
// (`amount`), at most what is left to pay before the standing deductions;
// its row is of the writ (`origin`).
int PostalFee(CalcPass& p, const IspolBlock::Writ& w, double amount, double standing, int origin)
{
    if (w.tabPsbor == 0)
        return 0;
    if (w.tabPsbor > 20)
        return kCalcPostalFee;
    const double fee = TaxForMonth(w.tabPsbor, amount, p.doc);
    if (fee <= 0)
        return std::min(0, int(fee));
    const double taken =
        ClaimTakes(Claim::PostalFee, RoundByPayKind(fee, kCodePostalFee, p.doc), LeftToPay(p) + standing);
    return std::min(0, DirectRow(p, kCodePostalFee, taken, p.month, origin));
}

// The writs of the month together take at most half of the pay after tax
// (WritShare), and each at most what is left to pay when it is made, before
// the deductions that give way to them (the standing and entered deductions,
// the loans and the fixed transfers): a writ, in percent or a fixed sum,
// never leaves the amount to pay below zero. Each writ's postal fee is taken
// with it, before the next writ: the fee arises with the writ's sending.
int Writs(CalcPass& p)
{
    const double standing = GivingWay(p);
    double taken = 0;
    const auto& writs = p.rec().ispol.writs;
    for (std::size_t n = 0; n < writs.size(); ++n) {
        const auto& w = writs[n];
        const int code = WritDeductionCode(w.vid);
        if (code == 0 || w.sum <= 0) // below 0 it cannot be (see Loans)
            continue;
        double base = 0, tax = 0, second = 0;
        if (const int r = WritBases(p, w, base, tax, second); r < 0)
            return r;
        const double asked =
            RoundByPayKind(RoundWhole(WritDeduction(w, base, tax, second, p.year, p.month)), code, p.doc);
        const double amount =
            ClaimTakes(Claim::Writ, asked, std::min(WritShare(base, tax) - taken, LeftToPay(p) + standing));
        taken += amount;
        if (p.count >= p.capacity)
            return kCalcTooManyRows;
        AccrualRow row;
        row.kod = u16(code);
        row.sum = amount;
        row.mes = u16(p.month);
        row.hrRest = u16(OriginTag(RowOrigin::Writ, int(n)));
        p.rows[p.count++] = row; // a zero row goes at the compaction
        if (const int r = PostalFee(p, w, amount, standing, row.hrRest); r < 0)
            return r;
    }
    return 0;
}

// The rest of the pay sent to a bank (a transfer of no amount), then the
// bank's commission on the transfers.
int BankTransfers(CalcPass& p)
{
    const auto& sber = p.rec().sber;
    int restIndex = -1;
    bool cardTransfer = false;
    for (int i = 0; i < int(sber.size()); ++i) {
        const SberRow& s = sber[std::size_t(i)];
        if (s.kod == kCodeCardTransfer)
            cardTransfer = true;
        if (IsTransferCode(s.kod) && s.sum == 0 && restIndex < 0)
            restIndex = i;
    }
    int restRow = -1;
    if (restIndex >= 0) {
        // What is left to pay so far, before the bank's commissions.
        double rest = MonthMoneyOf(p.rows, p.count, {.deducts = IsRestReducingCode}).net();
        const int code = sber[std::size_t(restIndex)].kod;
        rest = RoundPayout(RoundByPayKind(rest, code, p.doc), p.doc);
        // Nothing is left to transfer when the deductions reach the accruals: a
        // negative transfer would hide the employee's debt from the amount to
        // pay and from the month change.
        const int r = rest > 0 ? DirectRow(p, code, rest, p.month, OriginTag(RowOrigin::Transfer)) : 0;
        if (r < 0)
            return r;
        if (r == 1)
            restRow = p.count - 1;
    }
    // The commission is a share of the row it is taken from, at most the
    // whole row: a rate stored above 100 % (an older base may hold one; the
    // firm's screen refuses it) takes the row, never more.
    const int rate = p.base().firm.sbProcSotr;
    if (cardTransfer && p.mode == CalcStore && rate != 0) {
        const int n = p.count;
        for (int i = 0; i < n; ++i) {
            const int code = p.rows[i].kod;
            int commission = 0;
            if (code == kCodeAdvance)
                commission = kCodeCommissionOnAdvance;
            else if (code == kCodePayout)
                commission = kCodeCommissionOnPayout;
            else if (i == restRow)
                commission = kCodeCommissionOnRest;
            if (commission == 0 || p.rows[i].sum <= 0 || FindPayKind(p.doc, commission) < 0)
                continue;
            const double c = ClaimTakes(Claim::Commission, RoundWhole(p.rows[i].sum * rate / 10000.0), p.rows[i].sum);
            if (c == 0)
                continue;
            p.rows[i].sum -= c;
            if (const int r = DirectRow(p, commission, c, p.month); r < 0)
                return r;
        }
    }
    return 0;
}

// The settlement of the month's pay: each claim of the table (ClaimRules),
// in the table's order, takes what it may of what the claims before it leave.
int Settle(CalcPass& p, const TaxRows& tax)
{
    for (const ClaimRule& rule : ClaimRules()) {
        int r = 0;
        switch (rule.claim) {
        case Claim::IncomeTax: FitIncomeTax(p, tax); break;
        case Claim::SecondTax: FitSecondTax(p, tax); break;
        case Claim::Writ: r = Writs(p); break;
        case Claim::PostalFee: break; // taken with each writ (Writs)
        case Claim::Deduction:
        case Claim::Loan:
        case Claim::FixedTransfer: FitGivingWay(p, rule.claim); break;
        case Claim::Commission: r = BankTransfers(p); break;
        }
        if (r < 0)
            return r;
    }
    return 0;
}

int NetPay(CalcPass& p, double& pay)
{
    int cnt = 0;
    double time = 0;
    const double b = PassBase(p, kBaseRowsOnly, 0, 0, cnt, time);
    if (cnt < 0)
        return cnt;
    double d = 0;
    for (int i = 0; i < p.count; ++i) {
        const int code = p.rows[i].kod;
        if (!IsPayReducingCode(code))
            continue;
        if (p.mode == CalcDisplay && IsTransferCode(code))
            continue;
        d += p.rows[i].sum;
    }
    pay = 0;
    if (d < b) {
        const double net = b - d;
        const int priznUv = p.attr().priznUv;
        if (priznUv == 0 || priznUv == 3) {
            pay = RoundPayout(net, p.doc);
            if (net - pay >= 1)
                if (const int r = DirectRow(p, kCodeRemainder, net - pay, p.month); r < 0)
                    return r;
        } else if (priznUv == 5) {
            if (const int r = DirectRow(p, kCodeRestPay, net, p.month); r < 0)
                return r;
            pay = net;
        } else {
            pay = net;
        }
    }
    if (p.mode == CalcDisplay && p.options.vacationCalcKind == 2)
        if (VacationNote* note = p.options.current())
            note->sum = pay;
    return 0;
}

int CompactAndCostCodes(CalcPass& p)
{
    int k = 0;
    for (int i = 0; i < p.count; ++i)
        if (p.rows[i].sum != 0 || p.rows[i].kod == kCodeUnpaid)
            p.rows[k++] = p.rows[i];
    for (int i = k; i < p.count; ++i) p.rows[i] = AccrualRow{};
    p.count = k;
    const int shop = p.base().holdsSlot(p.slot) ? p.base().shopOf(p.slot) : 0;
    const auto& spz = p.rec().head.spz;
    for (int i = 0; i < p.count; ++i) {
        AccrualRow& r = p.rows[i];
        // Every row the month keeps names its origin, the month's own rules
        // where no other: the month change tells by it that the record was kept.
        if (r.hrRest == 0)
            r.hrRest = u16(OriginTag(RowOrigin::Computed));
        if (r.otd == 0)
            r.otd = u8(shop);
        if (r.spzCh || r.spzSc || r.spzAu)
            continue;
        const PayKind* kind = PayKindOf(p.doc, r.kod);
        if (!kind)
            return kCalcUnknownCode;
        if (kind->spzCh == 0 && kind->spzSc == 0 && kind->spzAu <= 5) {
            const auto& set = spz[kind->spzAu];
            r.spzCh = set[0] & 0x3FFF;
            r.spzSc = set[1] & 0x3FFF;
            r.spzAu = set[2] & 0x3FFF;
        } else {
            r.spzCh = (kind->spzCh != 0 ? kind->spzCh : spz[0][0]) & 0x3FFF;
            r.spzSc = kind->spzSc;
            r.spzAu = kind->spzAu;
        }
    }
    return 0;
}

// Whether a pay kind's non-zero cost codes are those of the row.
bool KindMatchesRowCodes(const PayKind& k, const AccrualRow& r)
{
    return (!k.spzCh || r.spzCh == k.spzCh) && (!k.spzSc || r.spzSc == k.spzSc) && (!k.spzAu || r.spzAu == k.spzAu);
}

// The income tax spread over the cost codes: each allocation kind whose
// rows bear a share of the tax and whose cost codes are not those of the
// tax row gets a row of that share; the first kind of the tax row's cost
// codes takes the shares back, so that the rows of every cost code add up to
// what that code earned and the amount to pay stays as it is. Without such
// a kind nothing is written.
int CostAllocationRows(CalcPass& p)
{
    const AccrualRow* taxRow =
        std::find_if(p.rows, p.rows + p.count, [](const AccrualRow& r) { return r.kod == kCodeIncomeTax; });
    if (taxRow == p.rows + p.count)
        return 0;
    const AccrualRow tax = *taxRow;
    std::vector<AccrualRow> shares;
    int taxKind = 0;
    double moved = 0;
    for (const CostAllocation& a : CostAllocationSums(p)) {
        const PayKind& k = *PayKindOf(p.doc, a.kind);
        if (KindMatchesRowCodes(k, tax)) {
            taxKind = taxKind != 0 ? taxKind : a.kind;
            continue;
        }
        if (a.tax == 0)
            continue;
        AccrualRow row;
        row.kod = u16(a.kind);
        row.sum = a.tax;
        row.mes = u16(p.month);
        row.hrRest = u16(OriginTag(RowOrigin::Computed));
        row.otd = tax.otd;
        row.spzCh = k.spzCh;
        row.spzSc = k.spzSc;
        row.spzAu = k.spzAu;
        shares.push_back(row);
        moved += a.tax;
    }
    if (taxKind == 0 || shares.empty())
        return 0;
    AccrualRow back;
    back.kod = u16(taxKind);
    back.sum = -moved;
    back.mes = u16(p.month);
    back.hrRest = u16(OriginTag(RowOrigin::Computed));
    back.otd = tax.otd;
    back.spzCh = tax.spzCh;
    back.spzSc = tax.spzSc;
    back.spzAu = tax.spzAu;
    shares.push_back(back);
    for (const AccrualRow& row : shares)
        if (const int r = AppendRowRaw(p, row); r < 0)
            return r;
    return 0;
}

// The days of earlier months may not add up to more than the month has.
int DaysCheck(CalcPass& p)
{
    std::vector<int> months;
    for (int i = 0; i < p.count; ++i) {
        const AccrualRow& r = p.rows[i];
        if (r.kod == 0 || !IsAccrualCode(r.kod) || r.dn == 0 || r.mes == 0 || r.mes > 12 ||
            OpensNoDaysCheckMonth(r.kod))
            continue;
        if (r.mes == p.month || r.mes == p.nextMonth || r.mes == p.monthAfter)
            continue;
        if (std::find(months.begin(), months.end(), int(r.mes)) == months.end())
            months.push_back(r.mes);
    }
    const auto& rec = p.rec();
    for (int m : months) {
        const int y = m < p.month ? p.year : p.year - 1;
        const int len = DaysInMonth(y, m);
        int offset = m - p.month;
        if (offset > 0)
            offset -= 12;
        int pd = 0, pm = 0;
        CalcScheduleNorm(WorkSchedule::ReportingMonth + offset, p.workSchedule(), 1, 31, pd, pm, p.doc);
        double calendar = 0, other = 0;
        auto add = [&](int code, double sum, int days) {
            if (code == 0 || !IsAccrualCode(code) || (IsLeftOutOfDaysCheckCode(code) && !IsCalendarDaysCode(code)))
                return;
            const double signedDays = sum < 0 ? -days : days;
            (IsCalendarDaysCode(code) ? calendar : other) += signedDays;
        };
        for (int i = 0; i < p.count; ++i)
            if (p.rows[i].mes == m)
                add(p.rows[i].kod, p.rows[i].sum, p.rows[i].dn);
        for (int i = 0; i < rec.warKv && i < int(rec.waria.size()); ++i) {
            const WariaEntry& e = rec.waria[std::size_t(i)];
            if (e.inUse() && e.mes == m && e.god == y)
                add(e.kod, e.sum, e.dn);
        }
        const double total = calendar + (pd != 0 ? other * len / pd : 0.0);
        if (total > len + 1)
            return kCalcTooManyDays;
    }
    return 0;
}

// Whether a row of later months is the one the run stores for the standing
// deductions' rest of the month before `month`.
bool IsStandingDebtRow(const AccrualRow& row, int month)
{
    const RunRecordedRow recorded = StandingDebtRecord();
    return row.kod == recorded.code && row.hrRest == recorded.origin && row.mes == month;
}

// The place among the rows of later months (from kStoredRowLimit on) of the
// standing deductions' rest: that of the row an earlier run of the month
// stored, else the first free one; -1 when every place is taken.
int StandingDebtPlace(const CalcPass& p)
{
    const auto& rows = p.rec().rows;
    int free = -1;
    for (int i = kStoredRowLimit; i < EmployeeRecord::RowCount; ++i) {
        if (IsStandingDebtRow(rows[std::size_t(i)], p.nextMonth))
            return i;
        if (free < 0 && rows[std::size_t(i)].isEmpty())
            free = i;
    }
    return free;
}

// What the standing deductions asked and the pay could not take is the
// employee's debt: the run records it, in place of what an earlier run of the
// month recorded, as one row of the next month (915 of its own origin, no
// cost codes), which the month change makes a row entered for that month.
// Nothing left, no row.
void RecordStandingDebt(CalcPass& p, int place)
{
    if (place < 0)
        return;
    AccrualRow debt;
    if (p.standingLeft > 0) {
        const RunRecordedRow recorded = StandingDebtRecord();
        debt.kod = u16(recorded.code);
        debt.sum = p.standingLeft;
        debt.mes = u16(p.nextMonth);
        debt.hrRest = u16(recorded.origin);
    }
    p.rec().rows[std::size_t(place)] = debt;
}

int Store(CalcPass& p, bool saveMaster)
{
    auto& base = p.base();
    EmployeeAttributes& a = p.attr();
    const int stored = a.kvProizv;
    if (p.count > kStoredRowLimit - stored)
        return kCalcTooManyRows; // computed rows are never dropped silently
    // An amount that is not a finite number within the money range is never stored.
    if (!std::all_of(p.rows, p.rows + p.count, [](const AccrualRow& row) { return IsMoneyInRange(row.sum); }) ||
        !IsMoneyInRange(p.standingLeft))
        return kCalcMeaningMismatch;
    // Nor is the employee's debt ever dropped for want of a place.
    const int debtPlace = StandingDebtPlace(p);
    if (debtPlace < 0 && p.standingLeft > 0)
        return kCalcTooManyRows;
    RecordStandingDebt(p, debtPlace);
    auto& rows = p.rec().rows;
    for (int i = stored; i < kStoredRowLimit; ++i) rows[std::size_t(i)] = AccrualRow{};
    std::copy(p.rows, p.rows + p.count, rows.begin() + stored);
    std::stable_sort(rows.begin() + stored, rows.begin() + stored + p.count,
                     [](const AccrualRow& x, const AccrualRow& y) { return x.kod < y.kod; });
    // The amount to pay is the one every document works out of the stored
    // rows; a month stored has no error. The master row, the month's rows,
    // the status word and the amount to pay are stored together or not at all
    // (a refusal leaves memory to the caller to give back).
    a.err = 0;
    base.zar1Of(p.slot) = AmountToPay(MonthMoneyOfRecord(p.rec(), a.kvProizv), p.doc);
    SaveCalculatedMonth(base, p.slot, saveMaster, p.options.rowsGroup);
    return 0;
}

} // namespace

RunRecordedRow StandingDebtRecord() { return {kCodeDebtCarried, OriginTag(RowOrigin::StandingDebt)}; }

std::vector<CostAllocation> CostAllocationSums(const CalcPass& p)
{
    std::vector<CostAllocation> out;
    for (int code = kFirstCostGroupCode; code <= kLastCostGroupCode; ++code) {
        const PayKind* k = PayKindOf(p.doc, code);
        if (!k || (k->spzCh == 0 && k->spzSc == 0 && k->spzAu == 0))
            continue;
        CostAllocation a;
        a.kind = code;
        for (int i = 0; i < p.count; ++i) {
            const AccrualRow& r = p.rows[i];
            if (r.kod == 0 || r.kod == kCodeUnpaid)
                continue;
            if ((k->spzCh && r.spzCh != k->spzCh) || (k->spzSc && r.spzSc != k->spzSc) ||
                (k->spzAu && r.spzAu != k->spzAu))
                continue;
            const double amount = IsAccrualCode(r.kod) ? r.sum : -r.sum;
            a.total += amount;
            if (const PayKind* rk = PayKindOf(p.doc, r.kod)) {
                if (rk->oblProf)
                    a.profBase += amount;
                if (rk->oblPodoh)
                    a.taxBase += amount;
            }
        }
        a.tax = CalcContribution(0, a.taxBase / 100, p.doc);
        out.push_back(a);
    }
    return out;
}

int CalcAccrualsAndTaxes(CalcPass& p)
{
    auto& doc = p.doc;
    int r = Checks(p);
    if (r < 0)
        return r;

    // The supplements read the bases up to two months ahead.
    const bool callerWindow = p.vacationWindow;
    p.vacationWindow = true;
    if (p.count > 0)
        r = RegionalNorthernRows(p, false);
    p.vacationWindow = callerWindow;
    if (r < 0)
        return r;
    if ((r = AbsenceAverageRows(p)) < 0)
        return r;

    if (const VacationNote* note = p.options.current(); p.mode == CalcDisplay && note) {
        if ((note->dlin & 127) == 0)
            return kCalcNoPlannedTime;
        if (note->dlinHundredths != 0 && (note->dBegin != 0 || note->mBegin != 0))
            return kCalcPartMonthVacation;
    }
    if ((r = VacationPay(p)) < 0)
        return r;

    p.vacationWindow = true;
    r = RegionalNorthernRows(p, true);
    p.vacationWindow = callerWindow;
    if (r < 0)
        return r;

    bool saveMaster = false;
    p.benefitInKind = 0;
    p.standingLeft = 0;
    if ((r = PensionContribution(p)) < 0)
        return r;
    if ((r = Loans(p)) < 0)
        return r;
    if ((r = FixedTransfers(p)) < 0)
        return r;
    TaxRows tax{.first = p.count};
    if ((r = IncomeTaxRows(p, saveMaster, tax.second)) < 0)
        return r;
    tax.end = p.count;
    if ((r = Advance(p)) < 0)
        return r;
    if ((r = Settle(p, tax)) < 0)
        return r;
    if (p.mode == CalcStore) {
        r = CalcMonthContributions(p.rows, p.count, doc, p.capacity);
        if (r < 0)
            return r;
        p.count += r;
    }
    double pay = 0;
    if ((r = NetPay(p, pay)) < 0)
        return r;
    if ((r = CompactAndCostCodes(p)) < 0)
        return r;
    if (p.mode == CalcDisplay)
        return p.count;
    if ((r = CostAllocationRows(p)) < 0)
        return r;

    // The days check comes before the store, so that a failed employee
    // stores nothing.
    if ((r = DaysCheck(p)) < 0)
        return r;
    if ((r = Store(p, saveMaster)) < 0)
        return r;
    return p.count;
}

} // namespace kalvor
