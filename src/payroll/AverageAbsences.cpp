#include "payroll/AverageAbsences.h"

#include "infobase/PayKindCodes.h"
#include "payroll/Bases.h"
#include "payroll/CalendarMath.h"
#include "payroll/MonthRate.h"
#include "payroll/Regional.h"
#include "payroll/ScheduleNorm.h"

namespace kalvor {

using infobase::TabelRecord;

namespace {

bool hasAverageAbsence(const TabelRecord& t)
{
    return t.drRabDn || t.komDn || t.kvalDn || t.prostDn || t.vyhPosobDn || t.kvalHr || t.prostHr;
}

// A twelfth of the yearly bonuses (codes 172 and 163 of the first half of
// this year, of the second half of last year, and code 171 of last year).
double yearlyBonusTwelfth(const CalcPass& p)
{
    double a = 0;
    if (p.month <= 6)
        for (int i = 0; i < p.count; ++i)
            if (p.rows[i].kod == kCodeYearBonus || p.rows[i].kod == kCodeYearBonusForBenefits)
                a += p.rows[i].sum;
    const auto& rec = p.rec();
    const int n = std::min<int>(rec.warKv, int(rec.waria.size()));
    for (int i = 0; i < n; ++i) {
        const auto& e = rec.waria[std::size_t(i)];
        if (e.kod == kCodeYearBonus || e.kod == kCodeYearBonusForBenefits) {
            if ((e.god == p.year && e.mes >= 1 && e.mes <= 6) || (e.god == p.year - 1 && e.mes >= 7 && e.mes <= 12))
                a += e.sum;
        } else if (e.kod == kCodeLastYearReward && e.god == p.year - 1) {
            a += e.sum;
        }
    }
    return a / 12.0;
}

double ratioOrOne(double later, double earlier)
{
    if (later == 0 || earlier == 0)
        return 1;
    const double r = later / earlier;
    return r >= 0.01 && r <= 10 ? r : 1;
}

} // namespace

int CalcAbsenceAverageRates(CalcPass& p, AverageRates& out)
{
    out = AverageRates{};
    if (!hasAverageAbsence(p.tabel()))
        return 0;
    PayrollDoc& doc = p.doc;
    const bool hourMode = p.rec().head.flag(1);
    const double bonus = yearlyBonusTwelfth(p);
    auto& schedule = p.workSchedule();

    double currentRate = 0, fullRate = 0;
    const int rr = CalcMonthRate(currentRate, fullRate, doc, p.slot);
    if (rr < 0)
        return rr;

    // Months by number: a month before the reporting month is this year's, the
    // reporting month's number (12 months back) last year's.
    BaseOptions options;
    options.fundFilter = p.fundFilter;

    double total = 0, coef = 1;
    long time = 0;
    for (int k = 1; k <= 12; ++k) {
        const int monthNumber = WrapMonth(p.month - k);
        int days = 0;
        double minutes = 0;
        const double b = CalcBaseBySelectorWith(options, monthNumber, 0, 12, days, minutes, p.rows, p.count, doc);
        if (days < 0)
            return days;

        const int laterNumber = WrapMonth(p.month - (k - 1));
        if (doc.infoBase.config.korr(laterNumber)) {
            const double later = k == 1 ? currentRate : RateMonthsBack(doc, k - 1, currentRate);
            coef *= ratioOrOne(later, RateMonthsBack(doc, k, currentRate));
        }

        int normDays = 0, normMinutes = 0;
        const int nr =
            CalcScheduleNorm(infobase::WorkSchedule::ReportingMonth - k, schedule, 1, 31, normDays, normMinutes, doc);
        if (nr < 0)
            return nr - 10;
        const double fraction =
            hourMode ? (normMinutes ? minutes / normMinutes : 0) : (normDays ? double(days) / normDays : 0);
        if (b != 0 && fraction != 0) {
            total += (b + fraction * bonus) * coef;
            time += hourMode ? long(minutes) : days;
        }
    }
    // No time (or a negative sum of reversed time): no average.
    if (time <= 0)
        return 0;
    if (hourMode) {
        out.hourly = total / time * 60.0;
        out.daily = out.hourly / 60.0 * p.dayLength;
    } else {
        out.daily = total / time;
        out.hourly = p.dayLength > 0 ? out.daily / p.dayLength * 60.0 : 0;
    }
    return 0;
}

int AbsenceAverageRows(CalcPass& p)
{
    AverageRates a;
    if (const int r = CalcAbsenceAverageRates(p, a); r < 0)
        return r;
    const TabelRecord& t = p.tabel();
    const int procProst = static_cast<std::int8_t>(p.base().firm.procProst);

    auto add = [&p](int code, double amount, double rate, int days, int minutes) {
        if (rate == 0)
            return 0;
        const int r = AppendComputedRow(p, code, amount, p.month, days, minutes);
        return r < 0 ? r : 0;
    };
    int r = 0;
    if (t.drRabDn && (r = add(65, t.drRabDn * a.daily, a.daily, t.drRabDn, 0)) < 0)
        return r;
    if (t.vyhPosobDn && (r = add(154, t.vyhPosobDn * a.daily, a.daily, t.vyhPosobDn, 0)) < 0)
        return r;
    if (t.komDn && (r = add(66, t.komDn * a.daily, a.daily, t.komDn, 0)) < 0)
        return r;
    if (t.kvalHr) {
        if ((r = add(72, t.kvalHr * a.hourly / 60.0, a.hourly, 0, t.kvalHr)) < 0)
            return r;
    } else if (t.kvalDn && (r = add(72, t.kvalDn * a.daily, a.daily, t.kvalDn, 0)) < 0) {
        return r;
    }
    if (t.prostHr) {
        if ((r = add(62, procProst / 100.0 * a.hourly * t.prostHr / 60.0, a.hourly, 0, t.prostHr)) < 0)
            return r;
    } else if (t.prostDn && (r = add(62, procProst / 100.0 * a.daily * t.prostDn, a.daily, t.prostDn, 0)) < 0) {
        return r;
    }
    if (t.bezsodHr || t.bezsodDn) {
        const int days = t.bezsodDn;
        const int minutes = t.bezsodHr;
        if (const int rr = AppendComputedRow(p, kCodeUnpaid, 100, p.month, days, minutes); rr < 0)
            return rr;
    }
    return 0;
}

} // namespace kalvor
