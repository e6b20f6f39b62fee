#include "payroll/Contributions.h"
#include "payroll/CalcErrors.h"

#include "payroll/CalendarMath.h"
#include "payroll/EntryMonths.h"
#include "payroll/PayKinds.h"

#include <algorithm>
#include <vector>

namespace kalvor {

using infobase::AccrualRow;
using infobase::ContributionKind;
using infobase::ContributionRow;
using infobase::PayKind;

namespace {

constexpr int kMaxAllowanceCodes = 4;

// Bits of the record's flag word.
constexpr int kOfficer = 0, kInostr = 9, kInostrVidGit = 10, kInostrSV = 12;

// Whether a contribution kind's base selector takes the pay kind.
bool admits(int selector, const PayKind& k, const PayrollDoc& doc)
{
    if (selector >= 0 && selector <= 5)
        return k.fond == selector + 1;
    if (selector == 6)
        return k.hr1;
    if (selector == 7)
        return k.hr2;
    if (selector == 8)
        return k.hr3;
    if (selector >= 9 && selector <= 16 && k.kod < 1000)
        return doc.infoBase.firm.masks[std::size_t(selector - 9)][k.kod] != 0;
    return false;
}

bool inPeriod(int begin, int end, int key)
{
    return begin != 0 && begin <= key && (end == 0 || end >= key);
}

// Birth year of the record: the two-digit year of datR through the default
// window (so that employees born from 2000 on are not read as 19yy).
int birthYear(const infobase::EmployeeHead& h)
{
    return PackedDate(h.datR).fullYear();
}

} // namespace

int ContributionsByMonths(int firstMonth, int lastMonth, const ContributionKind* kinds, int kindCount,
                          ContributionRow* rows, const AccrualRow* entries, int entryCount, int monthRule,
                          int imputedRule, double* totals, const PayrollDoc& doc)
{
    const int span = MonthKeyDiff(firstMonth, lastMonth);
    if (span < 0 || span > 11)
        return kCalcBadTaxPeriod;
    const int n = std::max(kindCount, 0);
    for (int i = 0; i < 2 * n; ++i)
        rows[i] = ContributionRow{};

    const auto& base = doc.infoBase;
    const auto& rec = base.current;
    const auto& h = rec.head;
    const int tek = base.config.tekMes;

    // Income codes with an allowance free of contributions, and their ceilings.
    std::array<std::uint32_t, kMaxAllowanceCodes> codes{};
    std::array<double, kMaxAllowanceCodes> ceilings{};
    int codeCount = 0;
    for (const PayKind& k : base.payKinds) {
        if (k.kodDoh == 0 || !(k.sumSkidSoc > 0))
            continue;
        int i = 0;
        while (i < codeCount && codes[std::size_t(i)] != k.kodDoh)
            ++i;
        if (i == codeCount) {
            if (codeCount == kMaxAllowanceCodes)
                return kCalcTooManyIncomeCodes;
            codes[std::size_t(codeCount++)] = k.kodDoh;
        }
        ceilings[std::size_t(i)] = std::max(ceilings[std::size_t(i)], k.sumSkidSoc);
    }
    if (n > 0) {
        rows[0].codes = codes;
        rows[0].codeAllowance = ceilings;
    }
    auto allowanceIndex = [&](int kodDoh) {
        for (int i = 0; i < codeCount; ++i)
            if (kodDoh != 0 && codes[std::size_t(i)] == std::uint32_t(kodDoh))
                return i;
        return -1;
    };

    const PackedDate hired(h.datPr1);
    const int hireKey = hired.isNull() ? 0 : MonthKey(hired.fullYear(), hired.month());
    const bool imputed = (h.vmenWord & 1) && h.vmenAsk0;
    std::vector<bool> correct(std::size_t(n), false);

    auto take = [&](int code, double amount, int key, bool archive) -> int {
        if (key < firstMonth || key > lastMonth || (hireKey != 0 && key < hireKey))
            return 0;
        const PayKind* k = PayKindOf(doc, code);
        if (!k)
            return archive ? -4 : -5;
        const bool last = key == lastMonth;
        const int t = last ? 1 : 0;
        const int year = key >> 4;
        if (code >= 700) {
            for (int c = 0; c < n; ++c)
                if (kinds[c].code == code)
                    rows[last ? n + c : c].last += amount;
            return 0;
        }
        if (totals) {
            if (code < 1000 && base.firm.masks[7][std::size_t(code)] != 0)
                totals[0 + t] += amount;
            if (k->fond == 4)
                totals[2 + t] += amount;
        }
        const bool temporaryForeigner = year >= 2010 && h.flag(kInostr) && !h.flag(kInostrVidGit) && !h.flag(kInostrSV);
        const bool disabled = inPeriod(h.invDat1Begin, h.invDat1End, key) || inPeriod(h.invDat2Begin, h.invDat2End, key);
        for (int c = 0; c < n; ++c) {
            const ContributionKind& kind = kinds[c];
            if (!admits(kind.baseSelector, *k, doc))
                continue;
            if (h.flag(kOfficer))
                continue;
            if (year < 2010 && h.flag(kInostr) && (kind.code == 990 || kind.code == 995)) {
                const PackedDate permit(h.inostrDatVidGit);
                const bool hasPermit = h.flag(kInostrVidGit) && !permit.isNull();
                if (!hasPermit || MonthKey(permit.fullYear(), permit.month()) > key)
                    continue;
            }
            if (temporaryForeigner && c != n - 1) {
                if (c == 0 && totals)
                    totals[4 + t] += amount;
                continue;
            }
            if (imputed) {
                const bool imputedMonth = (h.vmenWord >> (key & 15)) & 1;
                if (imputedRule == 0 && imputedMonth && kind.code >= 991 && kind.code <= 994)
                    continue;
                if (imputedRule != 0 && !imputedMonth)
                    continue;
            }
            ContributionRow& e = rows[c];
            ContributionRow& l = rows[n + c];
            ContributionRow& r = last ? l : e;
            const int a = allowanceIndex(k->kodDoh);
            if (kind.code == 0) {
                r.base += amount;
                if (disabled)
                    r.disabilityIncome += amount;
                if (code == 75 && a >= 0)
                    r.codeIncome[std::size_t(a)] += amount;
                continue;
            }
            const double b = e.base + l.base;
            const double d = e.disabilityIncome + l.disabilityIncome;
            if (disabled) {
                r.disabilityIncome += amount;
                if (b < kContributionCap) {
                    if (b + amount > kContributionCap)
                        r.disabilityWithinCap = kContributionCap - (b - d);
                    else
                        r.disabilityWithinCap += amount;
                }
            }
            if (a >= 0) {
                r.codeIncome[std::size_t(a)] += amount;
                if (h.invDat1Begin != 0 && h.invDat1Begin <= key)
                    correct[std::size_t(c)] = true;
            }
            r.base += amount;
        }
        return 0;
    };

    // The archive, then the month's rows.
    const int archiveCount = std::min<int>(rec.warKv, int(rec.waria.size()));
    for (int i = 0; i < archiveCount; ++i) {
        const auto& e = rec.waria[std::size_t(i)];
        if (e.kod == 0 || e.kod == 600)
            continue;
        const int key = ArchiveEntryMonth(e, monthRule == 0);
        if (key == 0)
            return kCalcArchiveWithoutMonth;
        if (const int r = take(e.kod, RoundWhole(e.sum), key, true); r < 0)
            return r;
    }
    for (int i = 0; i < entryCount; ++i) {
        const AccrualRow& row = entries[i];
        if (row.kod == 0 || row.kod == 600)
            continue;
        const double amount = RoundWhole(row.sum);
        if (amount == 0)
            continue;
        const int key = monthRule == 0 ? tek : MonthRowMonth(row, tek);
        if (key == 0)
            continue;
        if (const int r = take(row.kod, amount, key, false); r < 0)
            return r;
    }

    // Allowances: the ceiling first to the earlier months, the rest to the last.
    for (int c = 0; c < n; ++c) {
        ContributionRow& e = rows[c];
        ContributionRow& l = rows[n + c];
        e.codeAllowance.fill(0);
        for (int i = 0; i < codeCount; ++i) {
            const double ceiling = ceilings[std::size_t(i)];
            if (!(ceiling > 0))
                continue;
            const double early = std::min(ceiling, std::max(0.0, e.codeIncome[std::size_t(i)]));
            e.allowance += early;
            e.codeAllowance[std::size_t(i)] = early;
            const double late = std::min(ceiling - early, std::max(0.0, l.codeIncome[std::size_t(i)]));
            l.allowance += late;
            l.codeAllowance[std::size_t(i)] = late;
        }
    }
    if (n > 0)
        rows[0].codes = codes;

    // Final pass: the disability parts less the allowance, the bases, the cap.
    for (int c = 0; c < n; ++c) {
        ContributionRow& e = rows[c];
        ContributionRow& l = rows[n + c];
        for (ContributionRow* r : {&e, &l}) {
            if (correct[std::size_t(c)]) {
                const double a = r->allowance;
                if (r->disabilityWithinCap >= kContributionCap)
                    r->disabilityWithinCap -= std::max(0.0, a - (r->disabilityIncome - kContributionCap));
                else
                    r->disabilityWithinCap -= a;
                r->disabilityIncome -= a;
                r->disabilityWithinCap = std::max(0.0, r->disabilityWithinCap);
                r->disabilityIncome = std::max(0.0, r->disabilityIncome);
            }
            r->baseLessAllowance = r->base - r->allowance - r->disabilityIncome;
            r->chargeable = r->base - r->allowance - r->disabilityWithinCap;
        }
        const double over = l.disabilityWithinCap + e.disabilityWithinCap + l.chargeable + e.chargeable - kContributionCap;
        if (over > 0) {
            if (l.chargeable >= over) {
                l.chargeable -= over;
            } else {
                const double rest = over - l.chargeable;
                l.chargeable = 0;
                e.chargeable = std::max(0.0, e.chargeable - rest);
            }
        }
    }
    return 0;
}

double PensionInsuranceSplit(int code, const TaxScale& scale, double a, double b, const PayrollDoc& doc)
{
    const double s = a + b;
    if (s <= 0)
        return 0;
    const auto& first = scale[0];
    const double p = first.percent + first.hundredths / 100.0;
    const int year = doc.infoBase.config.tekMes >> 4;
    double g = 0;
    if (code == 990)
        g = birthYear(doc.infoBase.current.head) > 1966 ? first.percent - 10 : first.percent - 16;
    else if (year >= 2010 && code == 992)
        g = 1.0;
    else if (year >= 2010 && code == 993)
        g = 0.8;
    else if (year >= 2010 && code == 994)
        g = 2.0;
    return a * p + b * (p - g);
}

int CalcMonthContributions(AccrualRow* entries, int entryCount, PayrollDoc& doc, int capacity)
{
    const int tek = doc.infoBase.config.tekMes;
    const int year = tek >> 4;
    const auto& ref = doc.refFiles;
    const int n = std::clamp<int>(ref.sborCount, 0, int(ref.sbor.size()));
    std::vector<ContributionRow> rows(std::size_t(2 * std::max(n, 1)));
    int r = ContributionsByMonths(MonthKey(year, 1), tek, ref.sbor.data(), n, rows.data(), entries, entryCount, 0, 0,
                                  nullptr, doc);
    if (r < 0)
        return r;
    const auto& h = doc.infoBase.current.head;
    if (h.datR == 0)
        return kCalcNoBirthDateOrSex;

    int born = birthYear(h);
    int group = 0;
    if (year >= 2005) {
        group = born > 1966 ? 1 : 0;
    } else if (born > 1966) {
        group = 2;
    } else {
        const QChar sex = h.pol.isEmpty() ? QChar() : h.pol.at(0);
        const bool male = sex == u'M' || sex == u'М' || sex == u'м';
        const bool female = sex == u'Ж' || sex == u'ж';
        if (!male && !female)
            return kCalcNoBirthDateOrSex;
        if (female)
            born -= 4;
        group = born > 1952 ? 1 : 0;
    }

    const int monthNumber = MonthIndexOfKey(tek);
    int appended = 0;
    for (int c = 0; c < n; ++c) {
        const ContributionKind& kind = ref.sbor[std::size_t(c)];
        if (kind.code == 0)
            continue;
        int index = kind.table - 1;
        if (kind.code == 990 || kind.code == 995)
            index += group;
        if (index < 0)
            return kCalcNoContributionTable;
        const int v = SelectTaxTableForMonth(index, monthNumber, doc);
        if (v < 0)
            return v;
        const auto& variant = ref.nalog[std::size_t(index)].variants[std::size_t(v)];
        const ContributionRow& e = rows[std::size_t(c)];
        const ContributionRow& l = rows[std::size_t(n + c)];
        double a = l.chargeable;
        double b = l.disabilityWithinCap;
        double charged = l.last;
        if (variant.cumulative) {
            a += e.chargeable;
            if (l.disabilityWithinCap < kContributionCap)
                b += e.disabilityWithinCap;
            charged += e.last;
        }
        if (b != 0 && a == -(e.allowance + l.allowance))
            a = 0;
        const double amount = RoundWhole(PensionInsuranceSplit(kind.code, variant.scale, a / 100, b / 100, doc)) - charged;
        if (amount == 0)
            continue;
        const int at = entryCount + appended;
        if (at >= capacity)
            break;
        AccrualRow row;
        row.kod = kind.code;
        row.sum = amount;
        row.mes = std::uint16_t(tek & 15);
        entries[at] = row;
        ++appended;
    }
    return appended;
}

} // namespace kalvor
