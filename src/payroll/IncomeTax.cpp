#include "payroll/IncomeTax.h"
#include "payroll/CalcErrors.h"

#include "infobase/PayKindCodes.h"
#include "payroll/Bases.h"
#include "payroll/CalendarMath.h"
#include "payroll/EntryMonths.h"
#include "payroll/PayKinds.h"
#include "values/Clock.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace kalvor {

using infobase::AccrualRow;
using infobase::IncomeMonthRow;
using infobase::PayKind;
using infobase::TaxScaleBand;
using infobase::TaxTable;

namespace {

constexpr std::uint32_t k29Bits = 0x1FFFFFFF;

double percentOf(const TaxScaleBand& b) { return b.percent + b.hundredths / 100.0; }

// The band whose lower bound is the last at most s: -1 when none. The scan
// stops at the first band above s, at an all-zero band or after 10 bands.
int bandFor(const TaxScale& scale, double s)
{
    int band = -1;
    for (int i = 0; i < int(scale.size()); ++i) {
        const TaxScaleBand& b = scale[std::size_t(i)];
        if (b.isEmpty() || b.lower > s)
            break;
        band = i;
    }
    return band;
}

const TaxTable* tableNumbered(const PayrollDoc& doc, int table)
{
    return infobase::CRefFiles::holdsTaxTable(table) ? &doc.refFiles.taxTableAt(table) : nullptr;
}

bool variantValid(const TaxTable::Variant& v, int month)
{
    if (v.first == 0 && v.last == 0)
        return false;
    return (v.first == 0 || month >= v.first) && (v.last == 0 || month <= v.last);
}

bool inGroup(int code, int group)
{
    const bool second = IsSecondIncomeGroupCode(code);
    const bool third = IsThirdIncomeGroupCode(code);
    switch (group) {
    case IncomeSecond: return second;
    case IncomeThird: return third;
    default: return !second && !third;
    }
}

int findCode(const IncomeCodes& codes, int count, int code)
{
    for (int i = 0; i < count; ++i)
        if (codes[std::size_t(i)] == std::uint32_t(code))
            return i;
    return -1;
}

} // namespace

// ---------------------------------------------------------------- tables and charges

QString TaxTablesYearWarning(int year, const PayrollDoc& doc)
{
    const int first = MonthIndex(year, 1), last = MonthIndex(year, 12);
    bool anyTable = false;
    for (int table = 1; table <= doc.refFiles.taxTableCount(); ++table)
        for (const TaxTable::Variant& v : doc.refFiles.taxTableAt(table).variants) {
            if (!v.defined())
                continue;
            anyTable = true;
            if (v.first >= first && v.first <= last)
                return QString();
        }
    return anyTable ? QStringLiteral("Справочник налогов не содержит таблиц на %1 год").arg(year) : QString();
}

int TaxVariantForMonth(int table, int monthNumber, const PayrollDoc& doc)
{
    const TaxTable* t = tableNumbered(doc, table);
    if (!t)
        return kCalcTaxTableDates;
    const bool v0 = variantValid(t->variants[0], monthNumber);
    const bool v1 = variantValid(t->variants[1], monthNumber);
    if (v0 && !v1)
        return 0;
    if (v1 && !v0)
        return 1;
    return kCalcTaxTableDates;
}

double PercentCharge(const TaxScale& scale, double amount, double earlier)
{
    const double s = amount + earlier;
    if (s <= 0)
        return 0;
    const int band = bandFor(scale, s);
    if (band < 0)
        return 0;
    const TaxScaleBand& b = scale[std::size_t(band)];
    double charge = percentOf(b) * (s - b.lower) + 100 * b.fixed;
    if (earlier != 0)
        charge -= percentOf(scale[0]) * earlier;
    return charge;
}

double ScaleCharge(const TaxScale& scale, double amount, double earlier)
{
    const double s = amount + earlier;
    int band = bandFor(scale, s);
    if (band < 0)
        band = 0;
    const TaxScaleBand& b = scale[std::size_t(band)];
    double charge = percentOf(b) * (s - b.lower) + 100 * b.fixed;
    if (earlier != 0)
        charge -= percentOf(scale[0]) * earlier;
    return charge;
}

double ScaleLookup(const TaxScale& scale, double amount, double selectorAmount)
{
    if (amount <= 0 || selectorAmount <= 0)
        return 0;
    const int band = bandFor(scale, selectorAmount);
    if (band < 0)
        return 0;
    return amount * percentOf(scale[std::size_t(band)]);
}

double TaxForMonth(int tableNumber, double amount, const PayrollDoc& doc)
{
    if (tableNumber < 1)
        return kCalcNoContributionTable;
    const int month = MonthIndexOfKey(doc.infoBase.config.tekMes);
    const int v = TaxVariantForMonth(tableNumber, month, doc);
    if (v < 0)
        return v;
    const TaxTable& t = *tableNumbered(doc, tableNumber);
    return RoundWhole(PercentCharge(t.variants[std::size_t(v)].scale, amount / 100, 0));
}

double TaxWithScale(double amount, int monthKey, const PayrollDoc& doc)
{
    const int table = doc.infoBase.firm.tabGrp2;
    if (table < 0)
        return 0;
    double tax = 0;
    if (table == 0) {
        tax = amount * 0.30;
    } else {
        const int v = TaxVariantForMonth(table, MonthIndexOfKey(monthKey), doc);
        if (v < 0)
            return 0;
        const TaxScale& scale = tableNumbered(doc, table)->variants[std::size_t(v)].scale;
        tax = ScaleLookup(scale, amount, amount) / 100;
    }
    return RoundByPayKind(tax, kCodeIncomeTax, doc);
}

// ---------------------------------------------------------------- income statement

namespace {

// What the steps of IncomeByMonths share.
struct IncomeSums {
    const PayrollDoc& doc;
    int firstMonth, lastMonth; // month keys
    int months;
    int group, selector;
    IncomeMonthRow* rows;
    int codeCount = 1; // income codes listed in rows[0], 2000 first
    int taxCode = 0; // the tax whose withholding is summed
    bool ownMonth = false; // rows count in their own month, not the reporting month
    double formerIncome = 0; // income at a former employer (code 401)

    IncomeMonthRow& head() const { return rows[0]; }
};

// Income codes of the group's pay kinds, with their deduction codes and the
// yearly allowance ceilings, as the first row of the months holds them.
int ListIncomeCodes(const PayrollDoc& doc, int group, IncomeCodeList& out)
{
    out = IncomeCodeList{};
    out.incomeCodes[0] = 2000;
    for (const PayKind& k : doc.infoBase.payKinds()) {
        if (k.kodDoh == 0 || !inGroup(k.kod, group))
            continue;
        const int i = findCode(out.incomeCodes, out.count, k.kodDoh);
        if (i < 0) {
            if (out.count == kMaxIncomeCodes)
                return kCalcTooManyIncomeCodes;
            out.incomeCodes[std::size_t(out.count)] = k.kodDoh;
            out.deductionCodes[std::size_t(out.count)] = k.kodSkid;
            out.allowances[std::size_t(out.count)] = k.sumSkidPodoh;
            ++out.count;
            continue;
        }
        auto& listed = out.deductionCodes[std::size_t(i)];
        if (listed != 0 && listed != k.kodSkid)
            continue;
        if (listed == 0)
            listed = k.kodSkid;
        if (k.sumSkidPodoh > out.allowances[std::size_t(i)])
            out.allowances[std::size_t(i)] = k.sumSkidPodoh;
    }
    return 0;
}

// An amount of month key `key`: the tax withheld; for the union dues
// (selector 0) the dues base; else the taxed income by group and income code.
void AddIncome(IncomeSums& c, const PayKind& k, int code, double amount, int key)
{
    IncomeMonthRow& row = c.rows[MonthKeyDiff(c.firstMonth, key)];
    if (code == c.taxCode)
        row.taxWithheld += amount;
    if (!IsAccrualCode(code))
        return;
    if (c.selector == 0) {
        if (k.oblProf)
            row.base += amount;
        return;
    }
    if (!k.oblPodoh)
        return;
    if (IsSecondIncomeGroupCode(code)) {
        row.secondGroup += amount;
    } else if (IsThirdIncomeGroupCode(code)) {
        row.thirdGroup += amount;
    } else {
        row.taxable += amount;
        row.lessAllowances += amount;
    }
    const int i = k.kodDoh != 0 ? findCode(c.head().incomeCodes, c.codeCount, k.kodDoh) : -1;
    if (i >= 0)
        row.incomeByCode[std::size_t(i)] += amount;
}

// The archive first, then the month's rows.
int TakeIncome(IncomeSums& c, const AccrualRow* entries, int entryCount)
{
    const auto& base = c.doc.infoBase;
    const auto& rec = base.current;
    const int archiveCount = std::min<int>(rec.warKv, int(rec.waria.size()));
    for (int n = 0; n < archiveCount; ++n) {
        const auto& e = rec.waria[std::size_t(n)];
        if (e.kod == 0)
            continue;
        if (e.kod == kCodeFormerEmployerIncome) {
            c.formerIncome += std::trunc(e.sum);
            continue;
        }
        if (!inGroup(e.kod, c.group))
            continue;
        const int key = ArchiveEntryMonth(e, !c.ownMonth);
        if (key == 0)
            return kCalcArchiveWithoutMonth;
        if (key < c.firstMonth || key > c.lastMonth)
            continue;
        const PayKind* k = PayKindOf(c.doc, e.kod);
        if (!k)
            return kCalcUnknownArchiveCode;
        AddIncome(c, *k, e.kod, e.sum, key);
    }
    for (int n = 0; n < entryCount; ++n) {
        const AccrualRow& r = entries[n];
        if (r.kod == 0)
            continue;
        if (r.kod == kCodeFormerEmployerIncome) {
            c.formerIncome += std::trunc(r.sum);
            continue;
        }
        if (!inGroup(r.kod, c.group))
            continue;
        const int key = c.ownMonth ? MonthRowMonth(r, base.config.tekMes) : base.config.tekMes;
        if (key == 0) {
            if (r.sum != 0)
                return kCalcRowWithoutMonth;
            continue;
        }
        if (key < c.firstMonth || key > c.lastMonth)
            continue;
        const PayKind* k = PayKindOf(c.doc, r.kod);
        if (!k)
            return kCalcUnknownCode;
        AddIncome(c, *k, r.kod, r.sum, key);
    }
    return 0;
}

// Allowances: each income code's ceiling is given month by month.
void GiveAllowances(IncomeSums& c)
{
    IncomeMonthRow& head = c.head();
    std::array<double, kMaxIncomeCodes> ceilings = head.allowances;
    head.allowances.fill(0);
    for (int i = 0; i < c.codeCount; ++i) {
        double left = ceilings[std::size_t(i)];
        if (left <= 0)
            continue;
        for (int m = 0; m < c.months; ++m) {
            IncomeMonthRow& row = c.rows[m];
            const double allowance = std::min(row.incomeByCode[std::size_t(i)], left);
            row.allowances[std::size_t(i)] = allowance;
            row.lessAllowances -= allowance;
            left -= allowance;
        }
    }
}

// The first month of a deduction slot in the tax year of month `key`: its own
// start month, or, left empty, the month of the hiring of his current
// employment when that lies in the tax year (January otherwise): the months
// before he was hired are not his to deduct.
int DeductionStartKey(const infobase::NalvichEntry& slot, const infobase::EmployeeHead& head, int key)
{
    if (const PackedMonthYear from(slot.start); !from.isNull())
        return from.value;
    const PackedDate hired(head.datPr2 != 0 ? head.datPr2 : head.datPr1);
    if (hired.isNull() || hired.month() == 0 || hired.fullYear() != MonthKey::of(key).year())
        return 0;
    return MonthKey(hired.fullYear(), hired.month()).value();
}

// How many times a standard deduction is given a month: its multiplicity
// (the children it counts, or a doubled deduction twice), 0 counting once;
// a value stored outside 0 to 15 (an older base may hold one) counts within
// that range.
int DeductionMultiplicity(int stored) { return std::clamp(stored, 1, 15); }

// Standard deductions and the cumulative base.
int GiveDeductions(IncomeSums& c)
{
    const auto& base = c.doc.infoBase;
    const auto& book = c.doc.refFiles.vichet;
    double income = 0, given = 0;
    std::array<double, 10> slotGiven{};
    for (int m = 0; m < c.months; ++m) {
        IncomeMonthRow& row = c.rows[m];
        const int key = MonthKeyAdd(c.firstMonth, m);
        row.base = m > 0 ? c.rows[m - 1].base : 0;
        if (row.taxable == 0 && (c.selector == 2 || key > base.config.tekMes))
            continue;
        income += row.lessAllowances;
        for (int s = 0; s < 10; ++s) {
            const auto& slot = base.current.nalvich[std::size_t(s)];
            if (slot.kod == 0)
                continue;
            const PackedMonthYear to(slot.end);
            if (DeductionStartKey(slot, base.current.head, key) > key || (!to.isNull() && to.value < key))
                continue;
            const infobase::DeductionKind* kind = nullptr;
            for (const auto& d : book.records)
                if (d.code == slot.kod) {
                    kind = &d;
                    break;
                }
            if (!kind)
                return kCalcUnknownTaxDeduction;
            if (kind->limit != 0 && income > kind->limit)
                continue;
            double deduction = 0;
            if (kind->monthly == 0)
                deduction = std::min(slot.sum - slotGiven[std::size_t(s)], income - given);
            else
                deduction = DeductionMultiplicity(slot.krat) * kind->monthly;
            deduction = std::max(deduction, 0.0);
            row.deductions[std::size_t(s)] = deduction;
            slotGiven[std::size_t(s)] += deduction;
            given += deduction;
        }
        row.base = income - given;
    }
    return 0;
}

// Income at a former employer: when the tax withheld before the first hiring
// is exactly 13 % of that income, the hiring month's deductions are taken back.
void TakeBackFormerEmployerDeductions(IncomeSums& c)
{
    const PackedDate hired(c.doc.infoBase.current.head.datPr1);
    if (hired.isNull() || c.formerIncome == 0)
        return;
    const int hireKey = MonthKey(hired.fullYear(), hired.month()).value();
    if (c.firstMonth >= hireKey)
        return;
    double withheld = 0;
    for (int m = 0; m < c.months && MonthKeyAdd(c.firstMonth, m) < hireKey; ++m) withheld += c.rows[m].taxWithheld;
    const int hireRow = MonthKeyDiff(c.firstMonth, hireKey);
    if (withheld != RoundWhole(c.formerIncome / 100 * 0.13) * 100 || hireRow >= c.months)
        return;
    double sum = 0;
    for (auto& d : c.rows[hireRow].deductions) {
        sum += d;
        d = 0;
    }
    for (int m = hireRow; m < c.months; ++m) c.rows[m].base += sum;
}

} // namespace

namespace {

// IncomeByMonths with the group's income codes listed by the caller.
int IncomeByMonthsOf(const IncomeCodeList& codes, int firstMonth, int lastMonth, int group, int selector,
                     IncomeMonthRow* rows, const AccrualRow* entries, int entryCount, const PayrollDoc& doc)
{
    const int months = MonthKeyDiff(firstMonth, lastMonth) + 1;
    const auto monthValid = [](int key) { return MonthKey::of(key).month() >= 1 && MonthKey::of(key).month() <= 12; };
    if (months < 1 || months > 12 || !monthValid(firstMonth) || !monthValid(lastMonth))
        return kCalcBadTaxPeriod;
    for (int i = 0; i < months; ++i) rows[i] = IncomeMonthRow{};

    IncomeSums c{doc, firstMonth, lastMonth, months, group, selector, rows};
    c.ownMonth = IncomeMonthFlag(doc, selector == 0 ? kFlagSecondTaxMonth : kFlagIncomeTaxMonth);
    c.taxCode = selector == 0 ? kCodeSecondTax : kCodeIncomeTax;
    IncomeMonthRow& head = c.head();
    head.incomeCodes = codes.incomeCodes;
    head.deductionCodes = codes.deductionCodes;
    head.allowances = codes.allowances;
    c.codeCount = codes.count;
    if (codes.error < 0)
        return codes.error;
    if (const int r = TakeIncome(c, entries, entryCount); r < 0)
        return r;
    if (selector != 1 && selector != 2)
        return 0;
    GiveAllowances(c);
    if (const int r = GiveDeductions(c); r < 0)
        return r;
    TakeBackFormerEmployerDeductions(c);
    return 0;
}

} // namespace

int IncomeByMonths(int firstMonth, int lastMonth, int group, int selector, IncomeMonthRow* rows,
                   const AccrualRow* entries, int entryCount, const PayrollDoc& doc)
{
    IncomeCodeList codes;
    codes.error = ListIncomeCodes(doc, group, codes);
    return IncomeByMonthsOf(codes, firstMonth, lastMonth, group, selector, rows, entries, entryCount, doc);
}

// ---------------------------------------------------------------- the month's tax

namespace {

// The month (key) in which a foreign employee's stay in the country passes
// 182 days, counted from the arrival day to the reporting month; 0 when it
// does not or the employee is not concerned.
int residencyMonth(const PayrollDoc& doc)
{
    const auto& h = doc.infoBase.current.head;
    const int tek = doc.infoBase.config.tekMes;
    if (!h.flag(9) || h.inostrDnPrRF < 183 || h.inostrDatPr == 0)
        return 0;
    const PackedDate arrival(h.inostrDatPr);
    const int arrivalKey = MonthKey(arrival.fullYear(), arrival.month()).value();
    if (arrivalKey >= tek)
        return 0;
    // The last day counted in the reporting month.
    int lastDay = 0;
    if (h.inostrDatOt != 0)
        lastDay = PackedDate(h.inostrDatOt).day();
    else if (h.datUv1 != 0 && h.datUv2 != 0)
        lastDay = PackedDate(h.datUv2).day();
    else if (h.datPr2 == 0)
        lastDay = PackedDate(h.datUv1).day();
    int days = 0;
    for (int key = arrivalKey; key <= tek; key = MonthKeyAdd(key, 1)) {
        const int length = DaysInMonth(MonthKey::of(key).year(), MonthKey::of(key).month());
        if (key == arrivalKey)
            days += length - arrival.day() + 1;
        else if (key == tek)
            days += lastDay != 0 ? std::min(lastDay, length) : length; // still here: the whole month
        else
            days += length;
        if (days > 182)
            return key;
    }
    return 0;
}

bool nonResidentForeigner(const infobase::EmployeeHead& h) { return h.flag(9) && h.flag(2) && h.inostrDnPrRF < 183; }

} // namespace

namespace {

// What the months of one tax computation share.
struct TaxCalc {
    PayrollDoc& doc;
    AccrualRow* entries;
    int tableArgument; // 0 the employee's income tax, else the table of the second tax
    IncomeTaxRun& run; // the month rows and the code lists
    int table = 0; // the tax table's number
    int code = 0; // the tax's row code
    int selector = 0; // IncomeByMonths selector
    int resident = 0; // month key from which the employee is resident this year, 0 none
    IncomeTaxRun::MonthRows& main = run.months[IncomeMain];
    IncomeTaxRun::MonthRows& second = run.months[IncomeSecond];
    IncomeTaxRun::MonthRows& third = run.months[IncomeThird];
    std::array<IncomeCodeList, 3>& codes = run.codes; // of each IncomeGroup, listed once for all the months
};

// The property deduction, taken from the cumulative base since its first
// month; the record keeps what is left of it. In a year without its notice
// nothing is given and the year's amount stays whole.
double PropertyDeduction(TaxCalc& c, int start, int month, double base)
{
    auto& head = c.doc.infoBase.current.head;
    const std::uint32_t whole = head.imvichNY & k29Bits;
    if (whole == 0)
        return 0;
    const PackedDate since(head.imvichDat);
    const int sinceKey = since.isNull() ? 0 : MonthKey(since.fullYear(), since.month()).value();
    double used = 0;
    if (month >= sinceKey && PropertyDeductionYear(head) == MonthKey::of(month).year()) {
        double before = 0;
        if (sinceKey > start)
            before = c.main[std::size_t(MonthKeyDiff(start, sinceKey) - 1)].base;
        used = std::clamp(base - before, 0.0, double(whole));
    }
    const auto left = std::uint32_t(double(whole) - used) & k29Bits;
    head.imvichOst = (head.imvichOst & ~k29Bits) | left;
    return used;
}

// The year of a notice date typed as "d.m.yy" (or with a four-digit year);
// 0 when the text is not such a date.
int NoticeYear(const QString& text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 3)
        return 0;
    bool dayOk = false, monthOk = false, yearOk = false;
    const int day = parts[0].toInt(&dayOk), monthNo = parts[1].toInt(&monthOk), year = parts[2].toInt(&yearOk);
    if (!dayOk || !monthOk || !yearOk || day < 1 || day > 31 || monthNo < 1 || monthNo > 12 || year < 0)
        return 0;
    return year < 100 ? WidenTwoDigitYear(year) : year;
}

// The tax on the second income group, month by month at its own table.
int SecondGroupTax(TaxCalc& c, int start, int months, int count, double& tax)
{
    tax = 0;
    if (const int r = IncomeByMonthsOf(c.codes[IncomeSecond], start, MonthKeyAdd(start, months - 1), IncomeSecond,
                                       c.selector, c.second.data(), c.entries, count, c.doc);
        r < 0)
        return r;
    const int secondTable = c.doc.infoBase.firm.tabGrp2;
    for (int i = 0; i < months; ++i) {
        const double amount = c.second[std::size_t(i)].secondGroup;
        if (amount == 0)
            continue;
        if (secondTable < 0)
            return kCalcNoContributionTable;
        if (secondTable > 0) {
            const int variant = TaxVariantForMonth(secondTable, MonthIndexOfKey(MonthKeyAdd(start, i)), c.doc);
            if (variant < 0)
                return variant;
        }
        tax += TaxWithScale(amount, MonthKeyAdd(start, i), c.doc);
    }
    return 0;
}

// The tax still due for month key `month` on the income from `start` on: the
// main group by the table's scale (less the property deduction), the second
// group, the third at 35 %, less what was withheld.
int TaxDueForMonth(TaxCalc& c, int month, int count, double& tax)
{
    const int variantIndex = TaxVariantForMonth(c.table, MonthIndexOfKey(month), c.doc);
    if (variantIndex < 0)
        return variantIndex;
    const auto& variant = c.doc.refFiles.taxTableAt(c.table).variants[std::size_t(variantIndex)];
    int start = variant.cumulative ? MonthKey(MonthKey::of(month).year(), 1).value() : month;
    if (c.resident != 0 && start <= c.resident)
        start = std::min(MonthKeyAdd(c.resident, 1), month);
    const int months = MonthKeyDiff(start, month) + 1;

    if (const int r = IncomeByMonthsOf(c.codes[IncomeMain], start, month, IncomeMain, c.selector, c.main.data(),
                                       c.entries, count, c.doc);
        r < 0)
        return r;
    double base = c.main[std::size_t(months - 1)].base;
    if (c.tableArgument != 0) {
        base = 0;
        for (int i = 0; i < months; ++i) base += c.main[std::size_t(i)].base;
    } else {
        base -= PropertyDeduction(c, start, month, base);
    }
    const double mainTax = PercentCharge(variant.scale, base / 100, 0);

    double secondTax = 0;
    if (const int r = SecondGroupTax(c, start, months, count, secondTax); r < 0)
        return r;

    if (const int r = IncomeByMonthsOf(c.codes[IncomeThird], start, month, IncomeThird, c.selector, c.third.data(),
                                       c.entries, count, c.doc);
        r < 0)
        return r;
    double thirdIncome = 0, withheld = 0;
    for (int i = 0; i < months; ++i) {
        thirdIncome += c.third[std::size_t(i)].thirdGroup;
        withheld += c.main[std::size_t(i)].taxWithheld;
    }
    const double thirdTax = thirdIncome * 0.35;
    tax = RoundByPayKind(mainTax, c.code, c.doc) + RoundByPayKind(secondTax, c.code, c.doc) +
          RoundByPayKind(thirdTax, c.code, c.doc) - withheld;
    return 0;
}

// Whether a row takes income back: an accrual below zero, a reversal of
// income entered for the month or worked out by it.
bool TakesIncomeBack(const AccrualRow& r) { return r.kod != 0 && IsAccrualCode(r.kod) && r.sum < 0; }

// The month's tax (`tax`, as TaxDueForMonth gives it) is below zero only by
// what the month's reversals of income return: the tax less the tax the
// month would owe without them, when that is below zero. Tax withheld in
// earlier months of the year beyond what the year's income owes for another
// cause (a deduction typed later for months past) is not paid out by the
// month: it is returned on the employee's application (Tax Code art. 231),
// and the next months' tax, counted since January, takes it into account.
int HoldReturnToReversals(TaxCalc& c, int month, int count, double& tax)
{
    if (tax >= 0)
        return 0;
    std::vector<AccrualRow> without(c.entries, c.entries + count);
    bool reversed = false;
    for (AccrualRow& r : without)
        if (TakesIncomeBack(r)) {
            r = AccrualRow{};
            reversed = true;
        }
    if (!reversed) {
        tax = 0;
        return 0;
    }
    auto& head = c.doc.infoBase.current.head;
    const std::uint32_t propertyLeft = head.imvichOst; // the month's own computation keeps it
    AccrualRow* const entries = c.entries;
    c.entries = without.data();
    double taxWithout = 0;
    const int r = TaxDueForMonth(c, month, count, taxWithout);
    c.entries = entries;
    head.imvichOst = propertyLeft;
    if (r < 0)
        return r;
    tax = std::min(0.0, tax - std::min(0.0, taxWithout));
    return 0;
}

} // namespace

int CalcIncomeTax(int tableArgument, AccrualRow* entries, int entryCount, PayrollDoc& doc, int capacity,
                  IncomeTaxRun* run)
{
    const auto& head = doc.infoBase.current.head;
    const int tek = doc.infoBase.config.tekMes;

    int table = tableArgument;
    if (tableArgument == 0) {
        table = head.tabPodoh & 31;
        if (table != 0 && nonResidentForeigner(head))
            ++table;
    }
    if (table <= 0)
        return 0;
    std::unique_ptr<IncomeTaxRun> own; // a call outside a run lists the codes for itself
    if (!run) {
        own = std::make_unique<IncomeTaxRun>();
        run = own.get();
    }
    TaxCalc c{doc, entries, tableArgument, *run};
    c.table = table;
    c.code = tableArgument == 0 ? kCodeIncomeTax : kCodeSecondTax;
    // The employee's income tax: an odd table number selects by 1, an even one by 2.
    c.selector = tableArgument == 0 ? (table % 2 != 0 ? 1 : 2) : 0;
    c.resident = residencyMonth(doc);
    if (!c.run.listed) {
        for (const int group : {IncomeMain, IncomeSecond, IncomeThird})
            c.codes[std::size_t(group)].error = ListIncomeCodes(doc, group, c.codes[std::size_t(group)]);
        c.run.listed = true;
    }
    if (c.resident != 0 && MonthKey::of(c.resident).year() != MonthKey::of(tek).year())
        c.resident = 0;

    // One month, or six from the reporting month on when rows count in their own month.
    const bool ownMonth = IncomeMonthFlag(doc, tableArgument == 0 ? kFlagIncomeTaxMonth : kFlagSecondTaxMonth);
    const int monthCount = ownMonth ? 6 : 1;
    int appended = 0;
    for (int j = 0; j < monthCount; ++j) {
        const int month = MonthKeyAdd(tek, j);
        const int count = entryCount + appended;
        double tax = 0;
        if (const int r = TaxDueForMonth(c, month, count, tax); r < 0)
            return r;
        if (const int r = HoldReturnToReversals(c, month, count, tax); r < 0)
            return r;
        if (tax == 0)
            continue;
        if (count >= capacity)
            break; // no room for another row
        AccrualRow row;
        row.kod = std::uint16_t(c.code);
        row.sum = tax;
        row.mes = std::uint16_t(MonthKey::of(month).month());
        entries[count] = row;
        if (KindActiveInMonth(entries, count, doc))
            ++appended;
        else
            entries[count] = AccrualRow{};
    }
    return appended;
}

double CalcContribution(int monthsBack, double amount, const PayrollDoc& doc)
{
    const auto& head = doc.infoBase.current.head;
    int table = head.tabPodoh & 31;
    if (table != 0 && nonResidentForeigner(head))
        ++table;
    const TaxTable* t = tableNumbered(doc, table);
    if (!t)
        return 0;
    int count = 0;
    double time = 0;
    const double base = CalcBaseBySelector(0, monthsBack, 2, count, time, nullptr, 0, doc);
    if (count < 0)
        return 0;
    const int month = MonthIndexOfKey(doc.infoBase.config.tekMes);
    const bool v0 = variantValid(t->variants[0], month), v1 = variantValid(t->variants[1], month);
    if (v0 == v1)
        return 0;
    const TaxScale& scale = t->variants[v0 ? 0 : 1].scale;
    const double f = doc.infoBase.firm.procDop;
    return RoundByPayKind(ScaleLookup(scale, amount, base / 100 + amount) + f * amount, kCodeIncomeTax, doc);
}

int PropertyDeductionYear(const infobase::EmployeeHead& head)
{
    if (!head.imvichSprNom.trimmed().isEmpty())
        if (const int year = NoticeYear(head.imvichSprDat); year != 0)
            return year;
    const PackedDate since(head.imvichDat);
    return since.isNull() ? 0 : since.fullYear();
}

int ServiceLengthToToday(int selector, const PayrollDoc& doc)
{
    const PackedDate date(doc.infoBase.current.head.officerDatStag);
    const QDate today = Clock::today();
    int years = today.year() - 1900 - date.yearField();
    if (years >= 100)
        years -= 100;
    int months = 0;
    if (date.month() != 0) {
        months = today.month() - date.month();
        if (months < 0) {
            months += 12;
            --years;
        }
    }
    if (date.day() != 0 && today.day() < date.day()) {
        --months;
        if (months < 0) {
            months += 12;
            --years;
        }
    }
    if (selector == 1)
        return years;
    if (selector == 2)
        return months;
    return 0;
}

int KindActiveInMonth(AccrualRow* entries, int index, const PayrollDoc& doc)
{
    AccrualRow& row = entries[index];
    const int tek = doc.infoBase.config.tekMes;
    int mode = 0;
    for (const auto& p : doc.infoBase.current.postDopl) {
        if (p.kod != row.kod || p.perer == 0)
            continue;
        // A date with day 0 is no date: open on that side.
        const int from = p.dBegin != 0 ? MonthKey(p.gBegin, p.mBegin).value() : 0;
        const int to = p.dEnd != 0 ? MonthKey(p.gEnd, p.mEnd).value() : 0;
        if (from != 0 && from > tek)
            continue;
        if (to != 0 && to < tek)
            continue;
        if (from == tek && to == tek && p.dBegin > p.dEnd)
            continue;
        mode = p.perer;
        break;
    }
    if (mode == 0)
        return 1;
    for (int j = 0; j < index; ++j) {
        AccrualRow& earlier = entries[j];
        if (earlier.kod != row.kod || earlier.mes != row.mes)
            continue;
        if (mode == 1) {
            earlier.sum -= row.sum;
            return 1;
        }
        earlier.spzCh = row.spzCh;
        earlier.spzSc = row.spzSc;
        earlier.spzAu = row.spzAu;
        return 0;
    }
    return mode == 1 ? 1 : 0;
}

} // namespace kalvor
