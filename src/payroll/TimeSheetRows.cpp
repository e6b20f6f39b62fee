// The rows of the salary and of the time sheet: the salary or the hourly pay,
// the evening and night surcharges, holidays and days off worked, study,
// overtime and the second part of the salary.
#include "payroll/MonthInputParts.h"
#include "payroll/MonthInputRows.h"

#include "payroll/Bases.h"
#include "values/Values.h"

#include <algorithm>

namespace kalvor {

using namespace infobase;
using namespace monthinput;

namespace {

// What the rows of the time sheet share: the sheet, the employee's rates and
// the part of the month worked.
struct SheetPay {
    CalcPass& p;
    const TabelRecord& sheet;
    const EmployeeHead& head;
    int system; // payment system 1-7
    int dayLength; // minutes of a working day
    double salary; // the salary (systems 3-7)
    double fullSalary; // the salary and its second part
    double pieceRate, hourlyRate; // kopecks an hour
    double worked; // the part of the month worked: time, else days

    int append(int code, double amount, int days = 0, int minutes = 0) const
    {
        const int r = AppendRow(p, code, amount, p.month, days, minutes);
        return r < 0 ? r : 0;
    }
};

// Minutes that the salary of systems 3-7 is divided by: the schedule's hours
// norm (tenths of an hour) when it has one, else the planned minutes.
double SalaryDivisor(const CalcPass& p)
{
    const WorkSchedule& s = p.workSchedule();
    return s.mesFond != 0 ? s.mesFond * 6.0 : double(p.plannedMinutes);
}

// 25: the profession allowance of the ranks book; 3: hourly pay; 4: the
// salary for the part of the month worked.
int BasePayRows(const SheetPay& s)
{
    const TabelRecord& t = s.sheet;
    if (s.head.profNadb && s.head.profKod) {
        const auto& ref = s.p.doc.refFiles;
        for (int i = 0; i < ref.titleCount && i < int(ref.title.size()); ++i)
            if (ref.title[std::size_t(i)].code == s.head.profKod) {
                if (const int r = s.append(25, ref.title[std::size_t(i)].salary * s.worked); r < 0)
                    return r;
                break;
            }
    }
    if (s.system == 2 && t.rabHr != 0)
        if (const int r = s.append(3, s.hourlyRate * t.rabHr / 60.0, t.rabDn, t.rabHr); r < 0)
            return r;
    if (s.system >= 3 && t.rabDn != 0 && s.salary != 0)
        if (const int r = s.append(4, s.salary * s.worked, t.rabDn, t.rabHr); r < 0)
            return r;
    return 0;
}

// 22 night, 21 evening hours at the employee's percent, else the firm's.
int SurchargeRow(const SheetPay& s, int code, int minutes, int recordPercent, int firmPercent)
{
    if (minutes == 0)
        return 0;
    const double percent = recordPercent != 0 ? recordPercent : firmPercent;
    double amount;
    if (s.system == 1)
        amount = minutes / 60.0 * s.pieceRate * percent / 100.0;
    else if (s.system == 2 || (s.system == 3 && s.hourlyRate != 0))
        amount = minutes / 60.0 * s.hourlyRate * percent / 100.0;
    else
        amount = s.salary / SalaryDivisor(s.p) * minutes * percent / 100.0;
    return s.append(code, amount, 0, minutes);
}

// 16, 17: work on holidays, the part beyond the planned one and the whole.
int HolidayRows(const SheetPay& s)
{
    const TabelRecord& t = s.sheet;
    if (s.system < 2)
        return 0;
    const int holidayMinutes = t.prHr != 0 ? t.prHr : t.prDn * s.dayLength;
    const int plannedMinutes = t.prPlanHr != 0 ? t.prPlanHr : t.prPlanDn * s.dayLength;
    const bool byDays = t.prHr == 0 && t.prPlanHr == 0;
    auto amountOf = [&s, byDays](int minutes, int days) {
        if (s.system == 2)
            return s.hourlyRate * minutes / 60.0;
        return byDays ? s.fullSalary / s.p.plannedDays * days : s.fullSalary / s.p.plannedMinutes * minutes;
    };
    const int extraMinutes = holidayMinutes - plannedMinutes;
    if (extraMinutes != 0)
        if (const int r = s.append(16, amountOf(extraMinutes, t.prDn - t.prPlanDn), std::max(0, t.prDn - t.prPlanDn),
                                   extraMinutes);
            r < 0)
            return r;
    if (holidayMinutes != 0)
        return s.append(17, amountOf(holidayMinutes, t.prDn));
    return 0;
}

// 18, 19: work on days off, two rows of the same amount.
int DaysOffRows(const SheetPay& s)
{
    const TabelRecord& t = s.sheet;
    const int dayLength = s.dayLength;
    if (s.system < 2 || (t.vyhDn == 0 && t.vyhHr == 0) || dayLength <= 0)
        return 0;
    const int minutes = t.vyhHr != 0 ? t.vyhHr : t.vyhDn * dayLength;
    const int days = t.vyhDn != 0 ? t.vyhDn : (t.vyhHr + dayLength - 1) / dayLength;
    double amount;
    if (s.system == 2)
        amount = s.hourlyRate * minutes / 60.0;
    else
        amount = t.vyhHr == 0 ? s.fullSalary / s.p.plannedDays * days : s.fullSalary / s.p.plannedMinutes * minutes;
    if (const int r = s.append(18, amount, days, minutes); r < 0)
        return r;
    return s.append(19, amount);
}

// 40, 41: overtime, and the surcharge of its first two hours at half and
// the rest at the whole hourly rate.
int OvertimeRows(const SheetPay& s)
{
    const TabelRecord& t = s.sheet;
    const WorkSchedule& schedule = s.p.workSchedule();
    const double hourly = s.system <= 2 ? s.hourlyRate
                                        : (schedule.mesFond != 0 ? s.salary / (schedule.mesFond / 10.0)
                                                                 : s.salary / (s.p.plannedMinutes / 60.0));
    if (s.system >= 2 && t.sverhHr != 0)
        if (const int r = s.append(40, hourly * t.sverhHr / 60.0, 0, t.sverhHr); r < 0)
            return r;
    if (t.sverhHr == 0 && t.sverhDvaHr == 0)
        return 0;
    const double amount = (int(t.sverhHr) - int(t.sverhDvaHr)) / 60.0 * hourly * 0.5 + t.sverhDvaHr / 60.0 * hourly;
    return s.append(41, amount);
}

// 61: study hours.
int StudyHoursRow(const SheetPay& s)
{
    const TabelRecord& t = s.sheet;
    if (t.uchHr == 0)
        return 0;
    const double amount = s.system <= 2 ? t.uchHr / 60.0 * s.hourlyRate : s.fullSalary / s.p.plannedMinutes * t.uchHr;
    return s.append(61, amount, 0, t.uchHr);
}

// 64: study days at half the daily earnings, never below the minimum wage.
int StudyDaysRow(const SheetPay& s)
{
    const TabelRecord& t = s.sheet;
    CalcPass& p = s.p;
    if (t.uchDn == 0)
        return 0;
    double daily;
    if (s.system <= 2) {
        int count = 0;
        double time = 0;
        const int previous = p.month == 1 ? 12 : p.month - 1;
        const double base = PassBase(p, previous, 0, 12, count, time);
        if (count < 0)
            return count;
        daily = count != 0 ? base / (2.0 * count) : s.hourlyRate * s.dayLength / 60.0;
    } else {
        daily = s.fullSalary / (2.0 * p.plannedDays);
    }
    const double minimum = p.base().config.mrot[std::size_t(p.month - 1)] * 100.0 / p.plannedDays;
    daily = std::max(daily, minimum);
    return s.append(64, daily * t.uchDn, t.uchDn, t.uchDn * s.dayLength);
}

// 53: the second part of the salary for the part of the month worked.
int SecondSalaryRow(const SheetPay& s) { return s.head.nadbav != 0 ? s.append(53, s.head.nadbav * s.worked) : 0; }

} // namespace

int SalaryAndTimeSheetRows(CalcPass& p)
{
    const TabelRecord& t = p.tabel();
    const auto& head = p.rec().head;
    const double salary = Salary(p);
    const SheetPay s{p,
                     t,
                     head,
                     p.paymentSystem,
                     p.dayLength,
                     salary,
                     salary + head.nadbav,
                     Rate1(p),
                     Rate2(p),
                     t.rabHr != 0 ? double(t.rabHr) / p.plannedMinutes : double(t.rabDn) / p.plannedDays};
    const auto& firm = p.base().firm;
    int r = BasePayRows(s);
    if (r >= 0)
        r = SurchargeRow(s, 22, t.nHr, head.procNoch, firm.procNgt);
    if (r >= 0)
        r = SurchargeRow(s, 21, t.vHr, head.procVech, firm.procEvn);
    if (r >= 0)
        r = HolidayRows(s);
    if (r >= 0)
        r = DaysOffRows(s);
    if (r >= 0)
        r = StudyHoursRow(s);
    if (r >= 0)
        r = OvertimeRows(s);
    if (r >= 0)
        r = StudyDaysRow(s);
    if (r >= 0)
        r = SecondSalaryRow(s);
    return r;
}

} // namespace kalvor
