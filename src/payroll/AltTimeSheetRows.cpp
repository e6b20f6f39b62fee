// The rows of the alternative time sheet.
#include "payroll/MonthInputRows.h"
#include "payroll/MonthInputParts.h"

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
    for (int c = 1; c <= 4; ++c)
        masks[0][std::size_t(c)] = 1;
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

int AltTimeSheetRows(CalcPass& p)
{
    const auto& alt = p.base().altTabel;
    const int n = alt.count(p.slot);
    const int first = alt.first(p.slot);
    const TabelRecord& t = p.tabel();
    for (int i = 0; i < n; ++i) {
        const AltTabelEntry e = alt.lines[std::size_t(first + i)];
        if (e.kod == 0)
            continue;
        if (FindPayKind(p.doc, e.kod) < 0)
            return kCalcUnknownCode;
        const double tariffGiven = e.tarif.kopecks();
        if (e.sumOklad != 0 && tariffGiven != 0)
            return kCalcMeaningMismatch;
        if (e.mes > 12)
            return kCalcRowWithoutMonth;
        const int em = e.mes == 0 ? p.month : int(e.mes);
        const int offset = MonthOffset(p, em);
        const bool reporting = offset == 0;

        double tariff = tariffGiven, amount = e.sumOklad;
        if (tariff == 0 && amount == 0) {
            if (offset < 0) {
                const double r = HistoryRate(p, -offset, 0);
                (p.paymentSystem <= 2 ? tariff : amount) = r;
            } else if (p.paymentSystem == 2) {
                tariff = Rate2(p);
            } else if (p.paymentSystem == 1) {
                tariff = Rate1(p);
            } else {
                amount = Salary(p);
            }
            if (tariff == 0 && amount == 0)
                continue;
        }

        int days = e.dn, minutes = e.hr * 60 + e.min;
        if (e.dn == 32) {
            if (reporting) {
                days = t.rabDn;
                if (days == 0)
                    continue;
            } else {
                const int r = WorkedDaysOfMonth(p, em, days);
                if (r < 0)
                    return r;
            }
        }
        if (reporting && days == 0 && minutes == 0) {
            if (t.rabHr != 0)
                minutes = t.rabHr;
            else
                days = t.rabDn;
        }

        int pd = p.plannedDays, pm = p.plannedMinutes;
        if (!reporting && amount != 0) {
            const int r = PlannedOf(p, p.schedule, em, 1, 31, pd, pm);
            if (r < 0)
                return r - 10;
        }
        double value;
        if (tariff != 0)
            value = minutes != 0 ? tariff * minutes / 60.0 : tariff * days * p.dayLength / 60.0;
        else
            value = minutes != 0 ? (pm ? amount * minutes / pm : 0.0) : (pd ? amount * days / pd : 0.0);
        value = value * (e.procOpl == 0 ? 100 : e.procOpl) / 100.0;
        value = RoundByPayKind(RoundWhole(value), e.kod, p.doc);
        if (e.storno)
            value = -value;

        AccrualRow row;
        row.kod = e.kod;
        row.sum = value;
        row.mes = u16(em);
        row.otd = e.otd;
        if (e.otd != 0 && e.kod != 45)
            SetRowTime(row, days, minutes);
        if (e.spzCh || e.spzSc || e.spzAu) {
            row.spzCh = e.spzCh & 0x3FFF;
            row.spzSc = e.spzSc & 0x3FFF;
            row.spzAu = e.spzAu & 0x3FFF;
        }
        if (const int r = AppendRowRaw(p, row); r < 0)
            return r;
    }
    return 0;
}

} // namespace kalvor
