#include "payroll/Regional.h"

#include "infobase/PayKindCodes.h"
#include "payroll/Bases.h"
#include "payroll/Criteria.h"
#include "payroll/IncomeTax.h"
#include "payroll/PayKinds.h"
#include "payroll/ScheduleNorm.h"
#include "values/Values.h"

#include <cmath>
#include <vector>

namespace kalvor {

using infobase::AccrualRow;

int AppendComputedRow(CalcPass& p, int code, double amount, int month, int days, int minutes)
{
    const int r = AppendRow(p, code, amount, month, days, minutes);
    if (r <= 0)
        return r;
    if (!KindActiveInMonth(p.rows, p.count - 1, p.doc)) {
        RemoveRow(p, p.count - 1);
        return 0;
    }
    return 1;
}

void NorthernSteps(int n, int periodSevNad, int maxKvSevNad, int& before, int& after)
{
    if (periodSevNad == 0) {
        after = 1;
        before = n != 0 ? 1 : 0;
    } else {
        before = (n + periodSevNad - 1) / periodSevNad;
        after = n / periodSevNad + 1;
    }
    if (maxKvSevNad != 0) {
        before = std::min(before, maxKvSevNad);
        after = std::min(after, maxKvSevNad);
    }
}

namespace {

bool counts(const PayrollDoc& doc, int code)
{
    const auto* k = PayKindOf(doc, code);
    return k && k->enKoefRS;
}

struct Supplements {
    CalcPass& p;
    RegionalRun& run; // the counting kinds at average earnings, listed on the first month asked
    int error = 0;

    // A base for month m (0 = the reporting month, else its number).
    double base(int m, int selector)
    {
        int count = 0;
        double time = 0;
        const double b = PassBase(p, m, 0, selector, count, time);
        if (count < 0 && error == 0)
            error = count;
        return b;
    }
    double single(int m, int code) { return base(m, -code); }

    // The counting kinds among the payments at average earnings.
    double averagePayments(int m)
    {
        if (!run.listed) {
            for (int c = 1; c < kFirstDeductionCode; ++c)
                if (IsAveragePayCode(c) && counts(p.doc, c))
                    run.averageCodes.push_back(c);
            run.listed = true;
        }
        // One walk gives each code's base; they are added in the codes' order.
        std::vector<double>& sums = run.averageSums;
        sums.resize(run.averageCodes.size());
        const int r = CalcBasesOfCodesWith(PassBaseOptions(p), m, run.averageCodes, sums, p.rows, p.count, p.doc);
        if (r < 0 && error == 0)
            error = r;
        double s = 0;
        for (const double sum : sums) s += sum;
        return s;
    }
    // The counting kinds among the benefits, each sick-leave benefit followed
    // by the injury benefit of its month: 155, 195, 156, 196, 157, 197, 158, 159.
    double benefits(int m)
    {
        double s = 0;
        for (int c = kFirstSickBenefitCode; c <= kCodeMaternityNext; ++c) {
            if (counts(p.doc, c))
                s += single(m, c);
            const int injury = c - kFirstSickBenefitCode + kFirstInjuryBenefitCode;
            if (IsSickBenefitCode(c) && counts(p.doc, injury))
                s += single(m, injury);
        }
        return s;
    }
};

// The months of the accrual rows in row order, each once.
std::vector<int> rowMonths(const CalcPass& p)
{
    std::vector<int> months;
    for (int i = 0; i < p.count; ++i) {
        const AccrualRow& r = p.rows[i];
        if (r.kod == 0 || !IsAccrualCode(r.kod))
            continue;
        if (std::find(months.begin(), months.end(), int(r.mes)) == months.end())
            months.push_back(r.mes);
    }
    return months;
}

} // namespace

namespace {

// The month argument of the bases: 0 for the reporting month.
int BaseMonth(const CalcPass& p, int month) { return month == p.month ? 0 : month; }

// Appends a computed row when the top-up is not 0.
int TopUp(CalcPass& p, int code, double amount, int month)
{
    if (amount == 0)
        return 0;
    const int r = AppendComputedRow(p, code, amount, month);
    return r < 0 ? r : 0;
}

// The regional coefficient of one month: on the payments at average earnings
// (102), or on the month's accruals less those, with the benefits' share
// apart (104) and the rest (83); each less what the rows hold already.
int RegionalOfMonth(CalcPass& p, Supplements& s, int month, bool onAverages)
{
    const int a = BaseMonth(p, month);
    const double percent = p.base().firm.procRaj / 100.0;
    if (onAverages) {
        const double amount = percent * s.averagePayments(a) - s.single(a, 102);
        if (s.error)
            return s.error;
        return TopUp(p, 102, amount, month);
    }
    const double onAccruals = (s.base(a, 7) - s.averagePayments(a)) * percent;
    const double held = s.single(a, 83);
    const double benefits = s.benefits(a);
    const double onBenefits = benefits * percent - s.single(a, 104);
    if (s.error)
        return s.error;
    if (const int r = TopUp(p, 104, onBenefits, month); r < 0)
        return r;
    return TopUp(p, 83, onAccruals - held - benefits * percent, month);
}

// Months from the reporting month to the row's month: the next two months
// ahead, earlier months of this year behind, later ones of last year.
int MonthsFromReporting(const CalcPass& p, int month)
{
    if (month == p.month)
        return 0;
    if (month == p.nextMonth)
        return 1;
    if (month == p.monthAfter)
        return 2;
    return month < p.month ? month - p.month : month - p.month - 12;
}

// The northern allowance of one month of service `serviceMonth`: its steps,
// split at the anniversary day when the step changes within the month, on
// the payments at average earnings (101), or on the accruals (82) with the
// benefits apart (103); each less what the rows hold already.
int NorthernOfMonth(CalcPass& p, Supplements& s, int month, int serviceMonth, bool onAverages)
{
    const auto& firm = p.base().firm;
    const int a = BaseMonth(p, month);
    const double percent = firm.procSev / 100.0;
    const double averages = s.averagePayments(a);
    const double base = onAverages ? averages : s.base(a, 7) - averages;
    const double benefits = onAverages ? 0 : s.benefits(a);
    if (s.error)
        return s.error;

    int before = 0, after = 0;
    NorthernSteps(serviceMonth, firm.periodSevNad, firm.maxKvSevNad, before, after);
    double onBase = 0, onBenefits = 0;
    if (before == after) {
        onBase = base * after * percent;
        onBenefits = benefits * after * percent;
    } else {
        const int days = std::min(p.days(), 31);
        const int rabDn = p.tabel().rabDn;
        if (CountDayBits(days, 1, p.doc, p.slot) != rabDn)
            return kCalcDayMaskMismatch;
        const int anniversary = PackedDate(p.rec().head.datSevStag).day();
        const double share = rabDn != 0 ? double(CountDayBits(anniversary - 1, 1, p.doc, p.slot)) / rabDn
                                        : double(anniversary - 1) / days;
        onBase = base * (1 - share) * after * percent + base * share * before * percent;
        onBenefits = benefits * (1 - share) * after * percent + benefits * share * before * percent;
    }
    if (onAverages) {
        const double amount = onBase - s.single(a, 101);
        if (s.error)
            return s.error;
        return TopUp(p, 101, amount, month);
    }
    const double benefitsTopUp = onBenefits - s.single(a, 103);
    if (s.error)
        return s.error;
    if (const int r = TopUp(p, 103, benefitsTopUp, month); r < 0)
        return r;
    const double amount = onBase - s.single(a, 82) - onBenefits;
    if (s.error)
        return s.error;
    return TopUp(p, 82, amount, month);
}

} // namespace

int RegionalNorthernRows(CalcPass& p, bool onAverages)
{
    PayrollDoc& doc = p.doc;
    const auto& firm = doc.infoBase.firm;
    const auto& head = doc.infoBase.current.head;
    RegionalRun own; // a call outside a run lists the kinds for itself
    Supplements s{p, p.options.regional ? *p.options.regional : own};
    const bool northern = firm.procSev != 0 && head.datSevStag != 0;
    const auto* k83 = PayKindOf(doc, kCodeRegionalCoefficient);
    const auto* k82 = PayKindOf(doc, kCodeNorthernSupplement);
    const bool regionalWanted = firm.procRaj != 0 && (!onAverages || !(k83 && k83->enOtp != 0));
    const bool northernWanted = northern && (!onAverages || !(k82 && k82->enOtp != 0));

    const std::vector<int> months = rowMonths(p);
    if (regionalWanted)
        for (int month : months)
            if (const int r = RegionalOfMonth(p, s, month, onAverages); r < 0)
                return r;
    if (northernWanted) {
        const PackedDate start(head.datSevStag);
        const int serviceMonths =
            MonthIndex(p.year, p.month) - MonthIndex(EmployeeDateYear(head.datSevStag), start.month());
        for (int month : months) {
            const int serviceMonth = serviceMonths + MonthsFromReporting(p, month);
            if (serviceMonth < 0)
                continue;
            if (const int r = NorthernOfMonth(p, s, month, serviceMonth, onAverages); r < 0)
                return r;
        }
    }
    return 0;
}

} // namespace kalvor
