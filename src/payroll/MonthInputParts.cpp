// What the row builders of the month's inputs share: the months around the
// reporting month, planned time, and the employee's rates and salary.
#include "payroll/MonthInputParts.h"

#include "payroll/ScheduleNorm.h"

#include <algorithm>

namespace kalvor::monthinput {

using namespace infobase;

// Month numbers of the pass placed around the reporting month: -6 .. +5.
int MonthOffset(const CalcPass& p, int m)
{
    int d = m - p.month;
    if (d >= 6)
        d -= 12;
    else if (d < -6)
        d += 12;
    return d;
}

// Planned days and minutes of days first..last of month m (0 = the reporting
// month) by the schedule of book number scheduleNumber; returns
// CalcScheduleNorm's result.
int PlannedOf(CalcPass& p, int scheduleNumber, int m, int first, int last, int& days, int& minutes)
{
    const int row = WorkSchedule::ReportingMonth + (m == 0 ? 0 : MonthOffset(p, m));
    WorkSchedule& s = p.base().nearestSchedule(scheduleNumber);
    const bool whole = first <= 1 && last >= (m == 0 ? p.days() : p.monthLengths[std::size_t(m)]);
    return whole ? CalcScheduleNorm(row, s, first, 31, days, minutes, p.doc)
                 : ScheduleNormDayByDay(row, s, first, last, days, minutes, p.doc);
}

double Rate1(const CalcPass& p) { return p.rec().head.tarifSdel.kopecks(); }
double Rate2(const CalcPass& p) { return p.rec().head.tarifVrem.kopecks(); }

// The salary, replaced for payment systems 3-7 by the position's salary when
// the positions book gives one.
double Salary(const CalcPass& p)
{
    double oklad = p.rec().head.oklad;
    if (p.paymentSystem >= 3) {
        const auto& ref = p.doc.refFiles;
        for (int i = 0; i < ref.postCount && i < int(ref.post.size()); ++i) {
            const PositionRecord& pos = ref.post[std::size_t(i)];
            if (pos.code != 0 && pos.code == p.rec().head.dolgKod && pos.salary != 0 && pos.salary != oklad) {
                oklad = pos.salary;
                break;
            }
        }
    }
    return oklad;
}

} // namespace kalvor::monthinput
