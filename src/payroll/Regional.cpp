#include "payroll/Regional.h"

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
        double s = 0;
        auto add = [&](int from, int to) {
            for (int c = from; c <= to; ++c)
                if (counts(p.doc, c))
                    s += single(m, c);
        };
        add(85, 91);
        add(95, 98);
        add(601, 634);
        return s;
    }
    // The counting kinds among the benefits: 155, 195, 156, 196, 157, 197, 158, 159.
    double benefits(int m)
    {
        double s = 0;
        for (int c = 155; c <= 159; ++c) {
            if (counts(p.doc, c))
                s += single(m, c);
            if (c <= 157 && counts(p.doc, c + 40))
                s += single(m, c + 40);
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
        if (r.kod == 0 || r.kod >= 700)
            continue;
        if (std::find(months.begin(), months.end(), int(r.mes)) == months.end())
            months.push_back(r.mes);
    }
    return months;
}

} // namespace

int RegionalNorthernRows(CalcPass& p, bool onAverages)
{
    PayrollDoc& doc = p.doc;
    const auto& firm = doc.infoBase.firm;
    const auto& head = doc.infoBase.current.head;
    Supplements s{p};
    const int procRaj = firm.procRaj;
    const bool northern = firm.procSev != 0 && head.datSevStag != 0;
    const auto* k83 = PayKindOf(doc, 83);
    const auto* k82 = PayKindOf(doc, 82);
    const bool regionalWanted = procRaj != 0 && (!onAverages || !(k83 && k83->enOtp != 0));
    const bool northernWanted = northern && (!onAverages || !(k82 && k82->enOtp != 0));

    const std::vector<int> months = rowMonths(p);
    auto arg = [&p](int m) { return m == p.month ? 0 : m; };

    // Regional coefficient.
    if (regionalWanted) {
        const double pr = procRaj / 100.0;
        for (int m : months) {
            const int a = arg(m);
            if (onAverages) {
                const double amount = pr * s.averagePayments(a) - s.single(a, 102);
                if (s.error)
                    return s.error;
                if (amount != 0)
                    if (const int r = AppendComputedRow(p, 102, amount, m); r < 0)
                        return r;
                continue;
            }
            const double b = s.base(a, 7);
            const double s1 = s.averagePayments(a);
            const double x = (b - s1) * pr;
            const double e = s.single(a, 83);
            const double s2 = s.benefits(a);
            const double d = s2 * pr - s.single(a, 104);
            if (s.error)
                return s.error;
            if (d != 0)
                if (const int r = AppendComputedRow(p, 104, d, m); r < 0)
                    return r;
            const double g = x - e - s2 * pr;
            if (g != 0)
                if (const int r = AppendComputedRow(p, 83, g, m); r < 0)
                    return r;
        }
    }

    // Northern allowance.
    if (northernWanted) {
        const PackedDate start(head.datSevStag);
        const int months0 = (p.year - EmployeeDateYear(head.datSevStag)) * 12 - start.month() + p.month;
        const double pct = firm.procSev / 100.0;
        for (int m : months) {
            int dm = 0;
            if (m == p.month)
                dm = 0;
            else if (m == p.nextMonth)
                dm = 1;
            else if (m == p.monthAfter)
                dm = 2;
            else
                dm = m < p.month ? m - p.month : m - p.month - 12;
            const int n = months0 + dm;
            if (n < 0)
                continue;
            const int a = arg(m);
            const double s1 = s.averagePayments(a);
            const double bs = onAverages ? s1 : s.base(a, 7) - s1;
            const double s2 = onAverages ? 0 : s.benefits(a);
            if (s.error)
                return s.error;

            int before = 0, after = 0;
            NorthernSteps(n, firm.periodSevNad, firm.maxKvSevNad, before, after);
            double P = 0, Q = 0;
            if (before == after) {
                P = bs * after * pct;
                Q = s2 * after * pct;
            } else {
                const int days = std::min(p.days(), 31);
                const int rabDn = p.tabel().rabDn;
                if (CountDayBits(days, 1, doc, p.idx) != rabDn)
                    return kCalcDayMaskMismatch;
                const int d = start.day();
                const double share =
                    rabDn != 0 ? double(CountDayBits(d - 1, 1, doc, p.idx)) / rabDn : double(d - 1) / days;
                P = bs * (1 - share) * after * pct + bs * share * before * pct;
                Q = s2 * (1 - share) * after * pct + s2 * share * before * pct;
            }
            if (onAverages) {
                const double amount = P - s.single(a, 101);
                if (s.error)
                    return s.error;
                if (amount != 0)
                    if (const int r = AppendComputedRow(p, 101, amount, m); r < 0)
                        return r;
                continue;
            }
            const double q = Q - s.single(a, 103);
            if (s.error)
                return s.error;
            if (q != 0)
                if (const int r = AppendComputedRow(p, 103, q, m); r < 0)
                    return r;
            const double amount = P - s.single(a, 82) - Q;
            if (s.error)
                return s.error;
            if (amount != 0)
                if (const int r = AppendComputedRow(p, 82, amount, m); r < 0)
                    return r;
        }
    }
    return 0;
}

} // namespace kalvor
