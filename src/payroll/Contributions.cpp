#include "payroll/Contributions.h"
#include "infobase/PayKindCodes.h"
#include "payroll/CalcErrors.h"

#include "payroll/CalendarMath.h"
#include "payroll/EntryMonths.h"
#include "payroll/PayKinds.h"

#include <algorithm>
#include <limits>
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

bool admits(int selector, const PayKind& k, const PayrollDoc& doc) { return ContributionBaseAdmits(selector, k, doc); }

// Birth year of the record: the two-digit year of datR through the default
// window (so that employees born from 2000 on are not read as 19yy).
int birthYear(const infobase::EmployeeHead& h) { return PackedDate(h.datR).fullYear(); }

} // namespace

bool ContributionBaseAdmits(int selector, const PayKind& k, const PayrollDoc& doc)
{
    if (selector >= 0 && selector <= 5)
        return k.fond == selector + 1;
    if (selector == 6)
        return k.hr1;
    if (selector == 7)
        return k.hr2;
    if (selector == 8)
        return k.hr3;
    if (selector >= 9 && selector <= 16 && IsCodeInRange(k.kod))
        return doc.infoBase.firm.masks[std::size_t(selector - 9)][k.kod] != 0;
    return false;
}

namespace {

// What the steps of ContributionsByMonths share.
// The cap of one contribution code in a year: none for the accident
// insurance.
double CapOfCode(int code, int year)
{
    return code == kCodeAccidentInsurance ? std::numeric_limits<double>::infinity() : ContributionBaseCap(year);
}

struct ContributionSums {
    const PayrollDoc& doc;
    int firstMonth, lastMonth; // month keys
    const ContributionKind* kinds;
    int kindCount;
    ContributionRow* rows; // kindCount earlier-month rows, then kindCount last-month rows
    int imputedRule;
    double* totals;
    const infobase::EmployeeHead& head;

    // Income codes with an allowance free of contributions, and their ceilings.
    std::array<std::uint32_t, kMaxAllowanceCodes> codes{};
    std::array<double, kMaxAllowanceCodes> ceilings{};
    int codeCount = 0;

    int hireKey = 0; // month key of the hire, 0 none
    bool imputed = false; // the imputed-income regime applies
    std::vector<bool> correctDisability{}; // per kind: the disability parts lose the allowance
    std::vector<double> caps{}; // per kind: the cap of its code in the year of the last month

    // Whether an accrual of the month enters the sums at all.
    bool takes(int key) const { return key >= firstMonth && key <= lastMonth && (hireKey == 0 || key >= hireKey); }
    double cap(int kind) const { return caps[std::size_t(kind)]; }
    ContributionRow& earlier(int kind) const { return rows[kind]; }
    ContributionRow& last(int kind) const { return rows[kindCount + kind]; }
    int allowanceIndex(int kodDoh) const
    {
        for (int i = 0; i < codeCount; ++i)
            if (kodDoh != 0 && codes[std::size_t(i)] == std::uint32_t(kodDoh))
                return i;
        return -1;
    }
};

int CollectAllowanceCodes(ContributionSums& c)
{
    for (const PayKind& k : c.doc.infoBase.payKinds()) {
        if (k.kodDoh == 0 || !(k.sumSkidSoc > 0))
            continue;
        int i = 0;
        while (i < c.codeCount && c.codes[std::size_t(i)] != k.kodDoh) ++i;
        if (i == c.codeCount) {
            if (c.codeCount == kMaxAllowanceCodes)
                return kCalcTooManyIncomeCodes;
            c.codes[std::size_t(c.codeCount++)] = k.kodDoh;
        }
        c.ceilings[std::size_t(i)] = std::max(c.ceilings[std::size_t(i)], k.sumSkidSoc);
    }
    if (c.kindCount > 0) {
        c.rows[0].codes = c.codes;
        c.rows[0].codeAllowance = c.ceilings;
    }
    return 0;
}

// One accrual of a month and what follows from its month and its pay kind,
// the same for every contribution kind.
struct Accrual {
    const PayKind& payKind;
    int code;
    double amount;
    int key;
    int year;
    bool lastMonth;
    bool disabled; // a disability period covers the month
    bool temporaryForeigner; // from 2010 a foreigner staying temporarily
    int allowance; // the place of its income code among those with an allowance, or -1
};

// Whether contribution kind `index` is charged on an accrual of the month:
// officers pay none; before 2010 a foreigner pays 990 and 995 only from his
// residence permit on; a foreigner staying temporarily pays only the last
// kind (the first kind's temporary income goes to the totals); the imputed
// regime by imputedRule.
bool KindCharged(const ContributionSums& c, int index, const Accrual& a)
{
    const infobase::EmployeeHead& h = c.head;
    const ContributionKind& kind = c.kinds[index];
    if (!admits(kind.baseSelector, a.payKind, c.doc) || h.flag(kOfficer))
        return false;
    if (a.year < 2010 && h.flag(kInostr) && IsByAgeGroupCode(kind.code)) {
        const PackedDate permit(h.inostrDatVidGit);
        const bool hasPermit = h.flag(kInostrVidGit) && !permit.isNull();
        if (!hasPermit || MonthKey(permit.fullYear(), permit.month()).value() > a.key)
            return false;
    }
    if (a.temporaryForeigner && index != c.kindCount - 1) {
        if (index == 0 && c.totals)
            c.totals[4 + (a.lastMonth ? 1 : 0)] += a.amount;
        return false;
    }
    if (c.imputed) {
        const bool imputedMonth = (h.vmenWord >> MonthKey::of(a.key).month()) & 1;
        if (c.imputedRule == 0 && imputedMonth && IsSocialTaxCode(kind.code))
            return false;
        if (c.imputedRule != 0 && !imputedMonth)
            return false;
    }
    return true;
}

// Adds an accrual to the base of one contribution kind: the disability part
// within the cap, the income of an allowance code.
void AddToKindBase(ContributionSums& c, int index, const Accrual& a)
{
    const infobase::EmployeeHead& h = c.head;
    const double amount = a.amount;
    const int allowance = a.allowance;
    ContributionRow& early = c.earlier(index);
    ContributionRow& late = c.last(index);
    ContributionRow& row = a.lastMonth ? late : early;
    if (c.kinds[index].code == 0) {
        row.base += amount;
        if (a.disabled)
            row.disabilityIncome += amount;
        if (a.code == kCodeMaterialAid && allowance >= 0)
            row.codeIncome[std::size_t(allowance)] += amount;
        return;
    }
    const double base = early.base + late.base;
    const double disability = early.disabilityIncome + late.disabilityIncome;
    const double cap = c.cap(index);
    if (a.disabled) {
        row.disabilityIncome += amount;
        if (base < cap) {
            if (base + amount > cap)
                row.disabilityWithinCap = cap - (base - disability);
            else
                row.disabilityWithinCap += amount;
        }
    }
    if (allowance >= 0) {
        row.codeIncome[std::size_t(allowance)] += amount;
        if (h.invDat1Begin != 0 && h.invDat1Begin <= a.key)
            c.correctDisability[std::size_t(index)] = true;
    }
    row.base += amount;
}

// One archive entry or month row of month key `key`: deductions of a
// contribution's own code are what was charged already; accruals enter the
// totals and the bases of the kinds that charge them.
int TakeAmount(ContributionSums& c, int code, double amount, int key, bool archive)
{
    if (!c.takes(key))
        return 0;
    const PayKind* payKind = PayKindOf(c.doc, code);
    if (!payKind)
        return archive ? kCalcUnknownArchiveCode : kCalcUnknownCode;
    const bool lastMonth = key == c.lastMonth;
    if (!IsAccrualCode(code)) {
        for (int index = 0; index < c.kindCount; ++index)
            if (c.kinds[index].code == code)
                (lastMonth ? c.last(index) : c.earlier(index)).last += amount;
        return 0;
    }
    if (c.totals) {
        const int t = lastMonth ? 1 : 0;
        if (IsCodeInRange(code) && c.doc.infoBase.firm.masks[7][std::size_t(code)] != 0)
            c.totals[0 + t] += amount;
        if (payKind->fond == 4)
            c.totals[2 + t] += amount;
    }
    const int year = MonthKey::of(key).year();
    const infobase::EmployeeHead& h = c.head;
    const Accrual accrual{*payKind,
                          code,
                          amount,
                          key,
                          year,
                          lastMonth,
                          DisabledInMonth(h, key),
                          year >= 2010 && h.flag(kInostr) && !h.flag(kInostrVidGit) && !h.flag(kInostrSV),
                          c.allowanceIndex(payKind->kodDoh)};
    for (int index = 0; index < c.kindCount; ++index)
        if (KindCharged(c, index, accrual))
            AddToKindBase(c, index, accrual);
    return 0;
}

// The archive, then the month's rows.
int TakeArchiveAndRows(ContributionSums& c, const AccrualRow* entries, int entryCount, int monthRule)
{
    const auto& rec = c.doc.infoBase.current;
    const int reportingKey = c.doc.infoBase.config.tekMes;
    const int archiveCount = std::min<int>(rec.warKv, int(rec.waria.size()));
    for (int i = 0; i < archiveCount; ++i) {
        const auto& e = rec.waria[std::size_t(i)];
        if (e.kod == 0 || e.kod == kCodeUnpaid)
            continue;
        const int key = ArchiveEntryMonth(e, monthRule == 0);
        if (key == 0)
            return kCalcArchiveWithoutMonth;
        if (!c.takes(key))
            continue;
        if (const int r = TakeAmount(c, e.kod, RoundWhole(e.sum), key, true); r < 0)
            return r;
    }
    for (int i = 0; i < entryCount; ++i) {
        const AccrualRow& row = entries[i];
        if (row.kod == 0 || row.kod == kCodeUnpaid)
            continue;
        const double amount = RoundWhole(row.sum);
        if (amount == 0)
            continue;
        const int key = monthRule == 0 ? reportingKey : MonthRowMonth(row, reportingKey);
        if (key == 0)
            continue;
        if (const int r = TakeAmount(c, row.kod, amount, key, false); r < 0)
            return r;
    }
    return 0;
}

// Allowances: the ceiling first to the earlier months, the rest to the last.
void ShareAllowances(ContributionSums& c)
{
    for (int index = 0; index < c.kindCount; ++index) {
        ContributionRow& early = c.earlier(index);
        ContributionRow& late = c.last(index);
        early.codeAllowance.fill(0);
        for (int i = 0; i < c.codeCount; ++i) {
            const double ceiling = c.ceilings[std::size_t(i)];
            if (!(ceiling > 0))
                continue;
            const double earlyPart = std::min(ceiling, std::max(0.0, early.codeIncome[std::size_t(i)]));
            early.allowance += earlyPart;
            early.codeAllowance[std::size_t(i)] = earlyPart;
            const double latePart = std::min(ceiling - earlyPart, std::max(0.0, late.codeIncome[std::size_t(i)]));
            late.allowance += latePart;
            late.codeAllowance[std::size_t(i)] = latePart;
        }
    }
    if (c.kindCount > 0)
        c.rows[0].codes = c.codes;
}

// The disability parts less the allowance, the bases, and the yearly cap
// taken off the last month first.
void FinalBases(ContributionSums& c)
{
    for (int index = 0; index < c.kindCount; ++index) {
        ContributionRow& early = c.earlier(index);
        ContributionRow& late = c.last(index);
        const double cap = c.cap(index);
        for (ContributionRow* row : {&early, &late}) {
            if (c.correctDisability[std::size_t(index)]) {
                const double allowance = row->allowance;
                if (row->disabilityWithinCap >= cap)
                    row->disabilityWithinCap -= std::max(0.0, allowance - (row->disabilityIncome - cap));
                else
                    row->disabilityWithinCap -= allowance;
                row->disabilityIncome -= allowance;
                row->disabilityWithinCap = std::max(0.0, row->disabilityWithinCap);
                row->disabilityIncome = std::max(0.0, row->disabilityIncome);
            }
            row->baseLessAllowance = row->base - row->allowance - row->disabilityIncome;
            row->chargeable = row->base - row->allowance - row->disabilityWithinCap;
        }
        const double over =
            late.disabilityWithinCap + early.disabilityWithinCap + late.chargeable + early.chargeable - cap;
        if (over > 0) {
            if (late.chargeable >= over) {
                late.chargeable -= over;
            } else {
                const double rest = over - late.chargeable;
                late.chargeable = 0;
                early.chargeable = std::max(0.0, early.chargeable - rest);
            }
        }
    }
}

} // namespace

double ContributionBaseCap(int year) { return year <= 2010 ? 41'500'000 : kContributionCap; }

int ContributionsByMonths(int firstMonth, int lastMonth, const ContributionKind* kinds, int kindCount,
                          ContributionRow* rows, const AccrualRow* entries, int entryCount, int monthRule,
                          int imputedRule, double* totals, const PayrollDoc& doc)
{
    const int span = MonthKeyDiff(firstMonth, lastMonth);
    if (span < 0 || span > 11)
        return kCalcBadTaxPeriod;
    const int n = std::max(kindCount, 0);
    for (int i = 0; i < 2 * n; ++i) rows[i] = ContributionRow{};

    const auto& head = doc.infoBase.current.head;
    ContributionSums c{doc, firstMonth, lastMonth, kinds, n, rows, imputedRule, totals, head};
    const PackedDate hired(head.datPr1);
    c.hireKey = hired.isNull() ? 0 : MonthKey(hired.fullYear(), hired.month()).value();
    c.imputed = (head.vmenWord & 1) && head.vmenAsk0;
    c.correctDisability.assign(std::size_t(n), false);
    for (int i = 0; i < n; ++i) c.caps.push_back(CapOfCode(kinds[i].code, MonthKey::of(lastMonth).year()));

    if (const int r = CollectAllowanceCodes(c); r < 0)
        return r;
    if (const int r = TakeArchiveAndRows(c, entries, entryCount, monthRule); r < 0)
        return r;
    ShareAllowances(c);
    FinalBases(c);
    return 0;
}

bool DisabilityPeriodCovers(int begin, int end, int monthKey)
{
    return begin != 0 && begin <= monthKey && (end == 0 || monthKey < end);
}

bool DisabledInMonth(const infobase::EmployeeHead& head, int monthKey)
{
    return DisabilityPeriodCovers(head.invDat1Begin, head.invDat1End, monthKey) ||
           DisabilityPeriodCovers(head.invDat2Begin, head.invDat2End, monthKey);
}

double DisabledRateReduction(const TaxScale& scale) { return scale[0].further; }

double PensionInsuranceSplit(int /*code*/, const TaxScale& scale, double a, double b, const PayrollDoc& /*doc*/)
{
    const double s = a + b;
    if (s <= 0)
        return 0;
    const auto& first = scale[0];
    const double p = first.percent + first.hundredths / 100.0;
    const double reduced = std::max(0.0, p - DisabledRateReduction(scale));
    return a * p + b * reduced;
}

int CalcMonthContributions(AccrualRow* entries, int entryCount, PayrollDoc& doc, int capacity)
{
    const int tek = doc.infoBase.config.tekMes;
    const int year = MonthKey::of(tek).year();
    const auto& ref = doc.refFiles;
    const int n = std::clamp<int>(ref.sborCount, 0, int(ref.sbor.size()));
    std::vector<ContributionRow> rows(std::size_t(2 * std::max(n, 1)));
    int r = ContributionsByMonths(MonthKey(year, 1).value(), tek, ref.sbor.data(), n, rows.data(), entries, entryCount, 0, 0,
                                  nullptr, doc);
    if (r < 0)
        return r;
    const auto& h = doc.infoBase.current.head;
    if (h.datR == 0)
        return kCalcNoBirthDate;

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
            return kCalcNoSex;
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
        int table = kind.table;
        if (IsByAgeGroupCode(kind.code))
            table += group;
        if (table < 1)
            return kCalcNoContributionTable;
        const int v = TaxVariantForMonth(table, monthNumber, doc);
        if (v < 0)
            return v;
        const auto& variant = ref.taxTableAt(table).variants[std::size_t(v)];
        const ContributionRow& e = rows[std::size_t(c)];
        const ContributionRow& l = rows[std::size_t(n + c)];
        double a = l.chargeable;
        double b = l.disabilityWithinCap;
        double charged = l.last;
        if (variant.cumulative) {
            a += e.chargeable;
            if (l.disabilityWithinCap < CapOfCode(kind.code, year))
                b += e.disabilityWithinCap;
            charged += e.last;
        }
        if (b != 0 && a == -(e.allowance + l.allowance))
            a = 0;
        const double amount =
            RoundWhole(PensionInsuranceSplit(kind.code, variant.scale, a / 100, b / 100, doc)) - charged;
        if (amount == 0)
            continue;
        const int at = entryCount + appended;
        if (at >= capacity)
            break;
        AccrualRow row;
        row.kod = kind.code;
        row.sum = amount;
        row.mes = std::uint16_t(MonthKey::of(tek).month());
        entries[at] = row;
        ++appended;
    }
    return appended;
}

} // namespace kalvor
