#include "payroll/Bases.h"
#include "payroll/CalcErrors.h"
#include "payroll/CalcTypes.h"

#include "payroll/CalendarMath.h"
#include "payroll/PayKinds.h"

#include <algorithm>
#include <array>

namespace kalvor {

using infobase::AccrualRow;
using infobase::PayKind;

int GetBitField(unsigned char value, int first, int width)
{
    static const int masks[9] = {0, 1, 3, 7, 15, 31, 63, 127, 255};
    if (first == 0 || width == 0 || first > 8 || width > 9 - first || first < 0 || width < 0)
        return -1;
    return (value >> (first - 1)) & masks[width];
}

unsigned char PayKindFlagByte1(const PayKind& k)
{
    const int enBln = k.enBln();
    const bool sickBase = (enBln == 1 || enBln == 3 || enBln == 4) && k.kod != 163 && k.kod != 171 && k.kod != 172;
    return static_cast<unsigned char>((k.fond & 3) | (k.oblPodoh << 2) | (int(sickBase) << 3) | (k.vedShap << 4) |
                                      (k.oblProf << 5) | (k.enAlim << 6) | (k.enKoefRS << 7));
}

unsigned char PayKindFlagByte2(const PayKind& k)
{
    const int srPrem = k.enBln() != 0 ? 0 : k.enSrPremBln;
    return static_cast<unsigned char>(k.hr1 | (k.hr2 << 1) | (srPrem << 2) | (k.g11 << 3) | (k.enSrZar << 4) |
                                      (k.hr3 << 5) | (((k.fond >> 2) & 1) << 6) | (k.grp << 7));
}

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

bool excludedFromTime(int code)
{
    return code == 17 || code == 19 || code == 21 || code == 22 || code == 41 || code == 45;
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
            if (selector == 4 && (k->enOtp != wanted || code == 7))
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
            if (code < 0 || code >= 1000)
                return 0;
            return doc.infoBase.firm.masks[std::size_t(selector - 20)][std::size_t(code)] != 0 ? 1 : 0;
        }
        return 0;
    }

    double amountOf(int code, double amount) const
    {
        if (code == 600)
            return 0;
        if (code < 700)
            return amount;
        if (selector < 0)
            return amount;
        if (selector == 0)
            return 0;
        if ((code >= 700 && code <= 864) || (code >= 891 && code <= 939))
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
        if (excludedFromTime(code))
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

} // namespace

double CalcBaseBySelectorWith(const BaseOptions& options, int month, int monthsBack, int selector, int& inOutCount,
                              double& outTime, const AccrualRow* rows, int rowCount, const PayrollDoc& doc)
{
    const bool monthCount = inOutCount < 0;
    Summer s{options, doc, selector, (selector == 1 || selector == 4) ? inOutCount : 1, monthCount};
    outTime = 0;

    const MonthKey reporting = doc.infoBase.config.reportingKey();
    const int repYear = reporting.year(), repMonth = reporting.month();
    const int cur = reporting.index();

    int start = 0, end = -1;
    if (month < 0) {
        end = cur + month - 1;
        start = end - monthsBack + 1;
    } else {
        int single = cur;
        if (month >= 1 && month <= 12)
            single = month < repMonth ? cur + (month - repMonth) : cur + (month - repMonth) - 12;
        if (options.vacationWindow && (single == cur - 10 || single == cur - 11))
            single += 12;
        if (monthsBack > 0) {
            start = cur - monthsBack;
            end = cur - 1;
        } else {
            start = end = single;
        }
    }

    if (month != kBaseRowsOnly) {
        const auto& rec = doc.infoBase.current;
        const int count = std::min<int>(rec.warKv, int(rec.waria.size()));
        for (int i = 0; i < count; ++i) {
            const auto& e = rec.waria[std::size_t(i)];
            if (e.kod == 0)
                continue;
            const int year = e.god != 0 ? e.god - 1900 : 0;
            const int index = year * 12 + e.mes;
            if (e.god == 0 && e.mes == 0) {
                inOutCount = kCalcArchiveWithoutMonth;
                return s.sum;
            }
            if (index < start || index > end)
                continue;
            const int t = s.kindTest(e.kod);
            if (t < 0) {
                inOutCount = kCalcUnknownArchiveCode;
                return s.sum;
            }
            if (t == 0)
                continue;
            s.add(e.kod, e.sum, e.mes, e.dn, e.hr, e.min, true);
        }
    }

    for (int i = 0; i < rowCount; ++i) {
        const AccrualRow& r = rows[i];
        if (r.kod == 0)
            continue; // a free (cleared) row carries nothing
        if (month != kBaseRowsOnly) {
            const int m = options.rowsInReportingMonth ? repMonth : int(r.mes);
            if (m == 0) {
                inOutCount = kCalcRowWithoutMonth;
                return s.sum;
            }
            int index = MonthIndex(repYear, m);
            if (index < cur - 6)
                index += 12;
            else if (index > cur + 5)
                index -= 12;
            if (index < start || index > end)
                continue;
        }
        const int t = s.kindTest(r.kod);
        if (t < 0) {
            inOutCount = kCalcUnknownCode;
            return s.sum;
        }
        if (t == 0)
            continue;
        const int m = options.rowsInReportingMonth ? repMonth : int(r.mes);
        s.add(r.kod, r.sum, m, r.dn, r.hr, r.min, month != kBaseRowsOnly);
    }

    if (monthCount) {
        inOutCount = 0;
        outTime = double(std::count(s.monthFlags.begin(), s.monthFlags.end(), true));
    } else {
        inOutCount = s.days;
        outTime = s.time;
    }
    return s.sum;
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
        if (!e.inUse() || e.god != archiveYear || e.kod == kCodeUnpaid || e.kod >= 1000)
            continue;
        if (e.kod == 171)
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
