// The rows of the alternative time sheet.
#include "payroll/MonthInputParts.h"
#include "payroll/MonthInputRows.h"

#include "infobase/PayKindCodes.h"
#include "payroll/Bases.h"
#include "payroll/MonthRate.h"
#include "payroll/PayKinds.h"
#include "values/Values.h"

#include <algorithm>

namespace kalvor {

using namespace infobase;
using namespace monthinput;

namespace {

// The rate of an earlier month from the rate history: the latest non-zero one
// at or before that month.
double HistoryRate(const CalcPass& p, int monthsBack, double current)
{
    for (int k = monthsBack; k <= 12; ++k) {
        const double r = RateMonthsBack(p.doc, k, current);
        if (r != 0)
            return r;
    }
    return 0;
}

// Days of the rows with codes 1-4 of month m: the base over a temporary mask
// that holds only those codes.
int WorkedDaysOfMonth(CalcPass& p, int m, int& days)
{
    auto& masks = p.base().firm.masks;
    const auto savedMasks = masks;
    masks[0].fill(0);
    for (int c = 1; c <= 4; ++c) masks[0][std::size_t(c)] = 1;
    BaseOptions options;
    options.vacationWindow = true;
    options.fundFilter = p.fundFilter;
    int cnt = 0;
    double time = 0;
    CalcBaseBySelectorWith(options, m, 0, 20, cnt, time, p.rows, p.count, p.doc);
    masks = savedMasks;
    if (cnt < 0)
        return cnt;
    days = cnt;
    return 0;
}

} // namespace

namespace {

// What one line of the alternative time sheet pays: by a tariff per hour or
// an amount per month, for days and minutes of its month.
struct AltLinePay {
    int month = 0; // 1-12
    bool reporting = false;
    double tariff = 0, amount = 0;
    int days = 0, minutes = 0;
};

// The line's rate: its own tariff or amount; without either, for an earlier
// month the rate history, else the employee's tariff or salary. False when
// there is nothing to pay by.
bool AltLineRate(const CalcPass& p, const AltTabelEntry& e, int offset, AltLinePay& pay)
{
    pay.tariff = e.tarif.kopecks();
    pay.amount = e.sumOklad;
    if (pay.tariff != 0 || pay.amount != 0)
        return true;
    if (offset < 0)
        (p.paymentSystem <= 2 ? pay.tariff : pay.amount) = HistoryRate(p, -offset, 0);
    else if (p.paymentSystem == 2)
        pay.tariff = Rate2(p);
    else if (p.paymentSystem == 1)
        pay.tariff = Rate1(p);
    else
        pay.amount = Salary(p);
    return pay.tariff != 0 || pay.amount != 0;
}

// The line's days and minutes: a day count of 32 takes the days worked (of
// the time sheet, or of the month's rows of codes 1-4); a reporting-month
// line without time takes the sheet's. False when no day was worked.
int AltLineTime(CalcPass& p, const AltTabelEntry& e, AltLinePay& pay)
{
    const TabelRecord& t = p.tabel();
    pay.days = e.dn;
    pay.minutes = e.hr * 60 + e.min;
    if (e.dn == 32) {
        if (pay.reporting) {
            pay.days = t.rabDn;
            if (pay.days == 0)
                return 0;
        } else if (const int r = WorkedDaysOfMonth(p, pay.month, pay.days); r < 0) {
            return r;
        }
    }
    if (pay.reporting && pay.days == 0 && pay.minutes == 0) {
        if (t.rabHr != 0)
            pay.minutes = t.rabHr;
        else
            pay.days = t.rabDn;
    }
    return 1;
}

// The line's amount: tariff x time, or the amount for its share of the
// month's planned time; then its percent, rounded, reversed when asked.
int AltLineValue(CalcPass& p, const AltTabelEntry& e, const AltLinePay& pay, double& value)
{
    int plannedDays = p.plannedDays, plannedMinutes = p.plannedMinutes;
    if (!pay.reporting && pay.amount != 0)
        if (const int r = PlannedOf(p, p.schedule, pay.month, 1, 31, plannedDays, plannedMinutes); r < 0)
            return r - 10;
    if (pay.tariff != 0)
        value = pay.minutes != 0 ? pay.tariff * pay.minutes / 60.0 : pay.tariff * pay.days * p.dayLength / 60.0;
    else if (pay.minutes != 0)
        value = plannedMinutes ? pay.amount * pay.minutes / plannedMinutes : 0.0;
    else
        value = plannedDays ? pay.amount * pay.days / plannedDays : 0.0;
    value = value * (e.procOpl == 0 ? 100 : e.procOpl) / 100.0;
    value = RoundByPayKind(RoundWhole(value), e.kod, p.doc);
    if (e.storno)
        value = -value;
    return 0;
}

// One line: its checks, rate, time and amount, and its row.
int AltLineRow(CalcPass& p, const AltTabelEntry& e)
{
    if (FindPayKind(p.doc, e.kod) < 0)
        return kCalcUnknownCode;
    if (e.sumOklad != 0 && e.tarif.kopecks() != 0)
        return kCalcMeaningMismatch;
    if (e.mes > 12)
        return kCalcRowWithoutMonth;
    AltLinePay pay;
    pay.month = e.mes == 0 ? p.month : int(e.mes);
    const int offset = MonthOffset(p, pay.month);
    pay.reporting = offset == 0;
    if (!AltLineRate(p, e, offset, pay))
        return 0;
    if (const int r = AltLineTime(p, e, pay); r <= 0)
        return r;
    double value = 0;
    if (const int r = AltLineValue(p, e, pay, value); r < 0)
        return r;

    AccrualRow row;
    row.kod = e.kod;
    row.sum = value;
    row.mes = u16(pay.month);
    row.otd = e.otd;
    if (e.otd != 0 && e.kod != kCodeBrigadeLeaderPay)
        SetRowTime(row, pay.days, pay.minutes);
    if (e.spzCh || e.spzSc || e.spzAu) {
        row.spzCh = e.spzCh & 0x3FFF;
        row.spzSc = e.spzSc & 0x3FFF;
        row.spzAu = e.spzAu & 0x3FFF;
    }
    return std::min(AppendRowRaw(p, row), 0);
}

} // namespace

int AltTimeSheetRows(CalcPass& p)
{
    const auto& alt = p.base().altTabel;
    const int count = alt.count(p.slot);
    const int first = alt.first(p.slot);
    for (int i = 0; i < count; ++i) {
        const AltTabelEntry e = alt.lines[std::size_t(first + i)];
        if (e.kod == 0)
            continue;
        if (const int r = AltLineRow(p, e); r < 0)
            return r;
    }
    return 0;
}

} // namespace kalvor
