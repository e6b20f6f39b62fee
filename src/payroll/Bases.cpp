#include "payroll/Bases.h"
#include "infobase/PayKindCodes.h"
#include "payroll/CalcErrors.h"

#include "payroll/CalendarMath.h"
#include "payroll/PayKinds.h"

#include <algorithm>
#include <array>
#include <span>

namespace kalvor {

using infobase::AccrualRow;
using infobase::PayKind;

namespace {

// The selector's flag of a kind: -1 when the selector addresses no field.
int selectorFlag(const PayKind& k, int selector)
{
    if (selector == 1)
        return GetBitField(PayKindFlagByte1(k), 1, 2);
    if (selector >= 2 && selector <= 7)
        return GetBitField(PayKindFlagByte1(k), selector + 1, 1);
    if (selector >= 8 && selector <= 19)
        return GetBitField(PayKindFlagByte2(k), selector - 8 + 1, 1);
    return -1;
}

struct Summer {
    const BaseOptions& options;
    const PayrollDoc& doc;
    int selector;
    int wanted;
    bool monthCount;
    double sum = 0;
    int days = 0;
    double time = 0;
    std::array<bool, 13> monthFlags{};

    // Kind test: 1 counts, 0 does not, -1 code unknown (selectors 1-19).
    int kindTest(int code) const
    {
        if (selector < 0)
            return code == -selector ? 1 : 0;
        if (selector == 0)
            return 1;
        if (selector <= 19) {
            const PayKind* k = PayKindOf(doc, code);
            if (!k)
                return -1;
            if (selector == 4 && (k->enOtp != wanted || code == kCodeQuarterBonus))
                return 0;
            if (selector != 1 && selector != 4 && selectorFlag(*k, selector) != wanted)
                return 0;
            const int fund = k->fond;
            if (options.fundFilter == 1 && fund != 1)
                return 0;
            if (options.fundFilter == 2 && fund == 1)
                return 0;
            return 1;
        }
        if (selector <= 27) {
            if (!IsCodeInRange(code))
                return 0;
            return doc.infoBase.firm.masks[std::size_t(selector - 20)][std::size_t(code)] != 0 ? 1 : 0;
        }
        return 0;
    }

    double amountOf(int code, double amount) const
    {
        if (code == kCodeUnpaid)
            return 0;
        if (IsAccrualCode(code))
            return amount;
        if (selector < 0)
            return amount;
        if (selector == 0)
            return 0;
        if (IsMonthDeductionCode(code))
            return -amount;
        return 0;
    }

    void add(int code, double amount, int monthNumber, int d, int hours, int minutes, bool flagMonth)
    {
        sum += amountOf(code, amount);
        if (monthCount) {
            if (flagMonth && monthNumber >= 0 && monthNumber <= 12)
                monthFlags[std::size_t(monthNumber)] = true;
            return;
        }
        if (IsTimeExcludedCode(code))
            return;
        const int m = hours * 60 + minutes;
        if (amount >= 0) {
            days += d;
            time += m;
        } else {
            days -= d;
            time -= m;
        }
    }
};

// The months a base covers, as month indexes (MonthIndex); empty when
// last < first.
struct MonthWindow {
    int first = 0, last = -1;
    bool holds(int index) const { return index >= first && index <= last; }
};

// The window of the month and monthsBack arguments around the reporting month.
MonthWindow BaseWindow(const BaseOptions& options, int month, int monthsBack, MonthKey reporting)
{
    const int current = reporting.index();
    if (month < 0) {
        const int last = current + month - 1;
        return {last - monthsBack + 1, last};
    }
    if (monthsBack > 0)
        return {current - monthsBack, current - 1};
    int single = current;
    if (month >= 1 && month <= 12) {
        const int shift = month - reporting.month();
        single = month < reporting.month() ? current + shift : current + shift - 12;
    }
    if (options.vacationWindow && (single == current - 10 || single == current - 11))
        single += 12;
    return {single, single};
}

// Hands the current record's archive entries of the window to the taker
// (its kindTest and add, as Summer has them); 0 or an error code.
template <class Taker>
int AddArchiveEntries(Taker& taker, const PayrollDoc& doc, const MonthWindow& window)
{
    const auto& rec = doc.infoBase.current;
    const int count = std::min<int>(rec.warKv, int(rec.waria.size()));
    for (int i = 0; i < count; ++i) {
        const auto& e = rec.waria[std::size_t(i)];
        if (e.kod == 0)
            continue;
        if (e.god == 0 && e.mes == 0)
            return kCalcArchiveWithoutMonth;
        // An entry without a year stands at its month of 1900.
        if (!window.holds(MonthIndex(e.god != 0 ? e.god : 1900, e.mes)))
            continue;
        const int test = taker.kindTest(e.kod);
        if (test < 0)
            return kCalcUnknownArchiveCode;
        if (test > 0)
            taker.add(e.kod, e.sum, e.mes, e.dn, e.hr, e.min, true);
    }
    return 0;
}

// Hands the passed rows of the window (all of them when only rows are asked
// for) to the taker; 0 or an error code. A row's month number is placed
// within six months of the reporting month.
template <class Taker>
int AddPassedRows(Taker& taker, const PayrollDoc& doc, const BaseOptions& options, const MonthWindow& window,
                  bool rowsOnly, const AccrualRow* rows, int rowCount)
{
    const MonthKey reporting = doc.infoBase.config.reportingKey();
    const int current = reporting.index();
    for (int i = 0; i < rowCount; ++i) {
        const AccrualRow& r = rows[i];
        if (r.kod == 0)
            continue; // a free (cleared) row carries nothing
        const int month = options.rowsInReportingMonth ? reporting.month() : int(r.mes);
        if (!rowsOnly) {
            if (month == 0)
                return kCalcRowWithoutMonth;
            int index = MonthIndex(reporting.year(), month);
            if (index < current - 6)
                index += 12;
            else if (index > current + 5)
                index -= 12;
            if (!window.holds(index))
                continue;
        }
        const int test = taker.kindTest(r.kod);
        if (test < 0)
            return kCalcUnknownCode;
        if (test > 0)
            taker.add(r.kod, r.sum, month, r.dn, r.hr, r.min, !rowsOnly);
    }
    return 0;
}

// The taker of CalcBasesOfCodesWith: each listed code's amounts into its own
// sum, as a Summer of selector -code adds them.
struct CodeSums {
    std::span<const int> codes;
    std::span<double> sums;
    std::size_t at = 0; // the position of the code kindTest found last

    int kindTest(int code)
    {
        at = std::size_t(std::find(codes.begin(), codes.end(), code) - codes.begin());
        return at < codes.size() ? 1 : 0;
    }
    void add(int code, double amount, int, int, int, int, bool) { sums[at] += code == kCodeUnpaid ? 0 : amount; }
};

} // namespace

double CalcBaseBySelectorWith(const BaseOptions& options, int month, int monthsBack, int selector, int& inOutCount,
                              double& outTime, const AccrualRow* rows, int rowCount, const PayrollDoc& doc)
{
    const bool monthCount = inOutCount < 0;
    Summer summer{options, doc, selector, (selector == 1 || selector == 4) ? inOutCount : 1, monthCount};
    outTime = 0;
    const bool rowsOnly = month == kBaseRowsOnly;
    const MonthWindow window = BaseWindow(options, month, monthsBack, doc.infoBase.config.reportingKey());

    int result = rowsOnly ? 0 : AddArchiveEntries(summer, doc, window);
    if (result == 0)
        result = AddPassedRows(summer, doc, options, window, rowsOnly, rows, rowCount);
    if (result < 0) {
        inOutCount = result;
        return summer.sum;
    }
    if (monthCount) {
        inOutCount = 0;
        outTime = double(std::count(summer.monthFlags.begin(), summer.monthFlags.end(), true));
    } else {
        inOutCount = summer.days;
        outTime = summer.time;
    }
    return summer.sum;
}

int CalcBasesOfCodesWith(const BaseOptions& options, int month, std::span<const int> codes, std::span<double> sums,
                         const AccrualRow* rows, int rowCount, const PayrollDoc& doc)
{
    std::fill(sums.begin(), sums.end(), 0.0);
    if (codes.empty())
        return 0;
    CodeSums taker{codes, sums};
    const MonthWindow window = BaseWindow(options, month, 0, doc.infoBase.config.reportingKey());
    const int result = AddArchiveEntries(taker, doc, window);
    return result < 0 ? result : AddPassedRows(taker, doc, options, window, false, rows, rowCount);
}

double CalcBaseBySelector(int month, int monthsBack, int selector, int& inOutCount, double& outTime,
                          const AccrualRow* rows, int rowCount, const PayrollDoc& doc)
{
    return CalcBaseBySelectorWith(BaseOptions{}, month, monthsBack, selector, inOutCount, outTime, rows, rowCount, doc);
}

double YearlyBonusBase(const infobase::EmployeeRecord& rec, const infobase::FirmInfo& firm, int year, int month,
                       int selector)
{
    const int archiveYear = month <= 6 ? year - 1 : year;
    const auto& mask = firm.masks[std::size_t(std::clamp(selector - 20, 0, 7))];
    double sum = 0, paid171 = 0;
    for (int i = 0; i < rec.warKv && i < int(rec.waria.size()); ++i) {
        const infobase::WariaEntry& e = rec.waria[std::size_t(i)];
        if (!e.inUse() || e.god != archiveYear || e.kod == kCodeUnpaid || !IsCodeInRange(e.kod))
            continue;
        if (e.kod == kCodeLastYearReward)
            paid171 += e.sum;
        else if (mask[e.kod] != 0)
            sum += e.sum;
    }
    sum /= 12;
    if (sum - paid171 >= 0)
        sum -= paid171;
    return sum;
}

} // namespace kalvor
