// The rows of the salary and of the time sheet: the salary or the hourly pay,
// the evening and night surcharges, holidays and days off worked, study,
// overtime and the second part of the salary.
#include "payroll/MonthInputRows.h"
#include "payroll/MonthInputParts.h"

#include "payroll/Bases.h"
#include "values/Values.h"

#include <algorithm>

namespace kalvor {

using namespace infobase;
using namespace monthinput;

namespace {

// Minutes that the salary of systems 3-7 is divided by: the schedule's hours
// norm (tenths of an hour) when it has one, else the planned minutes.
double SalaryDivisor(const CalcPass& p)
{
    const WorkSchedule& s = p.base().schedules[std::size_t(p.schedule)];
    return s.mesFond != 0 ? s.mesFond * 6.0 : double(p.plannedMinutes);
}

int Check(int r) { return r < 0 ? r : 0; }

} // namespace

int SalaryAndTimeSheetRows(CalcPass& p)
{
    const TabelRecord& t = p.tabel();
    const auto& head = p.rec().head;
    const int sys = p.paymentSystem;
    const int dl = p.dayLength;
    const double oklad = Salary(p);
    const double full = oklad + head.nadbav;
    const double rate1 = Rate1(p), rate2 = Rate2(p);
    const double prop = t.rabHr != 0 ? double(t.rabHr) / p.plannedMinutes : double(t.rabDn) / p.plannedDays;
    const int m = p.month;
    int r = 0;

    // 25: profession allowance from the ranks book (27-byte entries with a rate).
    if (head.profNadb && head.profKod) {
        const auto& ref = p.doc.refFiles;
        for (int i = 0; i < ref.titleCount && i < int(ref.title.size()); ++i)
            if (ref.title[std::size_t(i)].code == head.profKod) {
                if ((r = Check(AppendRow(p, 25, ref.title[std::size_t(i)].salary * prop, m))) < 0)
                    return r;
                break;
            }
    }
    if (sys == 2 && t.rabHr != 0)
        if ((r = Check(AppendRow(p, 3, rate2 * t.rabHr / 60.0, m, t.rabDn, t.rabHr))) < 0)
            return r;
    if (sys >= 3 && t.rabDn != 0 && oklad != 0)
        if ((r = Check(AppendRow(p, 4, oklad * prop, m, t.rabDn, t.rabHr))) < 0)
            return r;

    // 22 night, 21 evening hours.
    auto surcharge = [&](int code, int minutes, int recordPercent, int firmPercent) {
        if (minutes == 0)
            return 0;
        const double pct = recordPercent != 0 ? recordPercent : firmPercent;
        double amount;
        if (sys == 1)
            amount = minutes / 60.0 * rate1 * pct / 100.0;
        else if (sys == 2 || (sys == 3 && rate2 != 0))
            amount = minutes / 60.0 * rate2 * pct / 100.0;
        else
            amount = oklad / SalaryDivisor(p) * minutes * pct / 100.0;
        return Check(AppendRow(p, code, amount, m, 0, minutes));
    };
    if ((r = surcharge(22, t.nHr, head.procNoch, p.base().firm.procNgt)) < 0)
        return r;
    if ((r = surcharge(21, t.vHr, head.procVech, p.base().firm.procEvn)) < 0)
        return r;

    // 16, 17: work on holidays.
    const int holMin = t.prHr != 0 ? t.prHr : t.prDn * dl;
    const int planMin = t.prPlanHr != 0 ? t.prPlanHr : t.prPlanDn * dl;
    const bool holByDays = t.prHr == 0 && t.prPlanHr == 0;
    auto holidayAmount = [&](int minutes, int days) {
        if (sys == 2)
            return rate2 * minutes / 60.0;
        if (sys >= 3)
            return holByDays ? full / p.plannedDays * days : full / p.plannedMinutes * minutes;
        return 0.0;
    };
    if (sys >= 2 && holMin - planMin != 0)
        if ((r = Check(AppendRow(p, 16, holidayAmount(holMin - planMin, t.prDn - t.prPlanDn), m,
                                 std::max(0, t.prDn - t.prPlanDn), holMin - planMin))) < 0)
            return r;
    if (sys >= 2 && holMin != 0)
        if ((r = Check(AppendRow(p, 17, holidayAmount(holMin, t.prDn), m))) < 0)
            return r;

    // 18, 19: weekend work, two rows of the same amount.
    if (sys >= 2 && (t.vyhDn != 0 || t.vyhHr != 0) && dl > 0) {
        const int wMin = t.vyhHr != 0 ? t.vyhHr : t.vyhDn * dl;
        const int wDays = t.vyhDn != 0 ? t.vyhDn : (t.vyhHr + dl - 1) / dl;
        double amount;
        if (sys == 2)
            amount = rate2 * wMin / 60.0;
        else
            amount = t.vyhHr == 0 ? full / p.plannedDays * wDays : full / p.plannedMinutes * wMin;
        if ((r = Check(AppendRow(p, 18, amount, m, wDays, wMin))) < 0)
            return r;
        if ((r = Check(AppendRow(p, 19, amount, m))) < 0)
            return r;
    }

    // 61: study leave hours.
    if (t.uchHr != 0) {
        const double amount = sys <= 2 ? t.uchHr / 60.0 * rate2 : full / p.plannedMinutes * t.uchHr;
        if ((r = Check(AppendRow(p, 61, amount, m, 0, t.uchHr))) < 0)
            return r;
    }

    // 40, 41: overtime.
    const WorkSchedule& sched = p.base().schedules[std::size_t(p.schedule)];
    const double hourly = sys <= 2 ? rate2
                                   : (sched.mesFond != 0 ? oklad / (sched.mesFond / 10.0)
                                                         : oklad / (p.plannedMinutes / 60.0));
    if (sys >= 2 && t.sverhHr != 0)
        if ((r = Check(AppendRow(p, 40, hourly * t.sverhHr / 60.0, m, 0, t.sverhHr))) < 0)
            return r;
    if (t.sverhHr != 0 || t.sverhDvaHr != 0) {
        const double amount = (int(t.sverhHr) - int(t.sverhDvaHr)) / 60.0 * hourly * 0.5 + t.sverhDvaHr / 60.0 * hourly;
        if ((r = Check(AppendRow(p, 41, amount, m))) < 0)
            return r;
    }

    // 64: study days at half the daily earnings, never below the minimum wage.
    if (t.uchDn != 0) {
        double daily;
        if (sys <= 2) {
            int cnt = 0;
            double time = 0;
            const int prev = p.month == 1 ? 12 : p.month - 1;
            const double b = PassBase(p, prev, 0, 12, cnt, time);
            if (cnt < 0)
                return cnt;
            daily = cnt != 0 ? b / (2.0 * cnt) : rate2 * dl / 60.0;
        } else {
            daily = full / (2.0 * p.plannedDays);
        }
        const double minimum = p.base().config.mrot[std::size_t(p.month - 1)] * 100.0 / p.plannedDays;
        daily = std::max(daily, minimum);
        if ((r = Check(AppendRow(p, 64, daily * t.uchDn, m, t.uchDn, t.uchDn * dl))) < 0)
            return r;
    }

    // 53: second salary part.
    if (head.nadbav != 0)
        if ((r = Check(AppendRow(p, 53, head.nadbav * prop, m))) < 0)
            return r;
    return 0;
}

} // namespace kalvor
