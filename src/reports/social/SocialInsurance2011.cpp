#include "reports/social/SocialInsurance2011.h"

#include "payroll/Payroll.h"
#include "platform/CodePage.h"
#include "reports/social/ContributionMonths.h"
#include "reports/social/Fss4Common.h"
#include "reports/social/Fss4Run.h"
#include "reports/social/GenrDataFile.h"
#include "values/Messages.h"
#include "values/Text8.h"
#include "values/Values.h"

#include <algorithm>
#include <cmath>

namespace kalvor::reports {

using infobase::ContributionRow;
using infobase::EmployeeHead;
using infobase::EmployeeListEntry;
using namespace fss4;

namespace {

double Kopecks(double value) { return RoundWhole(value * 100) / 100; }

// The payments to a disabled employee that go into "inval": since the first
// month and in the three month slots.
struct DisabledPayments {
    double period = 0;
    std::array<double, 3> months{};
};

// One month of one employee in the base table's terms (kopecks).
struct MonthBase {
    double payments = 0, nonTaxable = 0, disabled = 0, aboveCap = 0;
};

class SettlementRun : public SettlementRunBase {
public:
    using SettlementRunBase::SettlementRunBase;

private:
    int beginRun(GenrRunDetail& detail) override;
    void beginMonths() override { disabledPayments_.assign(doc_.infoBase.list.size(), DisabledPayments{}); }
    int employeeMonth(std::size_t position, const EmployeeListEntry& entry, int month) override;
    void rollOwnSlots() override;
    MonthBase baseMonth(const MonthContributions& c) const;
    void addBase(const MonthBase& base, int month);
    void addContributions(const MonthContributions& c, const MonthBase& base, int month);
    int addInjury(const MonthContributions& c, bool disabled, int month);
    void closeEmployee(std::size_t position, const EmployeeListEntry& entry, bool disabled);
    void scale();
    int finish(const QString& dataFilePath, GenrRunDetail& detail) override;

    std::vector<DisabledPayments> disabledPayments_;
    std::vector<InvalRecord> inval_;
};

// "inval" starts empty, so that a run that fails leaves no disabled
// employees of an earlier run beside its zeroed values.
int SettlementRun::beginRun(GenrRunDetail& detail)
{
    detail.fileError = WriteInvalFile(InvalFilePath(), {});
    return detail.fileError != 0 ? GenrFileFailed : GenrDone;
}

void SettlementRun::rollOwnSlots()
{
    for (DisabledPayments& payments : disabledPayments_) payments.months = {payments.months[1], payments.months[2], 0};
}

int SettlementRun::employeeMonth(std::size_t position, const EmployeeListEntry& entry, int month)
{
    readRecord(entry.slot);
    const EmployeeHead& head = doc_.infoBase.current.head;
    const int key = MonthKey(period_.year, month).value();
    const bool disabled = DisabledInMonth(head, key, period_.begin());

    MonthContributions c;
    if (const int result = ContributionsThrough(key, firstRow(entry.slot), doc_, c); result < 0)
        return result;
    for (double& total : c.totals) total = RoundWhole(total);
    const MonthBase base = baseMonth(c);
    addBase(base, month);
    DisabledPayments& payments = disabledPayments_[position];
    payments.period += base.disabled;
    payments.months[std::size_t(slotOf(month))] += base.disabled;

    // Benefit expenses of the month.
    if (!lastThree(month))
        add(kExpensesBefore, c.totals[3]);
    add(kExpensesMonth1 + slotOf(month), c.totals[3]);

    addContributions(c, base, month);
    if (const int result = addInjury(c, disabled, month); result < 0)
        return result;

    if (finalMonth(month))
        closeEmployee(position, entry, disabled);
    return 0;
}

// The month's columns of the base table from the social insurance record
// (and the pension record for what it leaves out of the base).
MonthBase SettlementRun::baseMonth(const MonthContributions& c) const
{
    const ContributionRow& own = c.own(kSocialKind);
    const ContributionRow& prior = c.prior(kSocialKind);
    double a = own.baseLessAllowance;
    double b = prior.baseLessAllowance;
    double thisDisabled = own.disabilityIncome;
    double priorDisabled = prior.disabilityIncome;
    if (own.base + prior.base < 0) {
        a = thisDisabled = priorDisabled = 0;
        b = prior.disabilityIncome + prior.baseLessAllowance;
    }
    const double allowance = own.allowance;
    const ContributionRow& pension = c.own(kPensionKind);
    const double pensionOnly =
        Positive(pension.allowance - allowance) + Positive(pension.baseLessAllowance - own.baseLessAllowance);

    MonthBase month;
    month.payments = a;
    month.nonTaxable = c.totals[1] + c.totals[5] + allowance + pensionOnly;
    month.disabled = thisDisabled;
    // The running total from January against the yearly cap: what the month
    // adds above it, at most the month's own payments.
    const double before = b + priorDisabled;
    const double through = before + a + thisDisabled;
    const double cap = ContributionBaseCap(period_.year);
    const double above = Positive(through - cap) - Positive(before - cap);
    month.aboveCap = std::clamp(above, 0.0, Positive(a + thisDisabled));
    return month;
}

void SettlementRun::addBase(const MonthBase& base, int month)
{
    const std::array<double, 4> columns = {base.payments, base.nonTaxable, base.disabled, base.aboveCap};
    for (int column = 0; column < 4; ++column) {
        add(kBasePeriod + column, columns[std::size_t(column)]);
        add(BaseMonth(slotOf(month) + 1, column), columns[std::size_t(column)]);
    }
}

// The month's contribution: the charge on the cumulative base through the
// month less the charge on the base before it, at the full rate on the
// general payments and at the disabled employees' rate on theirs.
void SettlementRun::addContributions(const MonthContributions& c, const MonthBase& base, int month)
{
    const ContributionRow& prior = c.prior(kSocialKind);
    const double priorGeneral = Positive(prior.baseLessAllowance);
    const double priorDisabled = Positive(prior.disabilityIncome);
    const double aboveGeneral = base.payments != 0 ? base.aboveCap : 0;
    const double aboveDisabled = base.payments == 0 && base.disabled != 0 ? base.aboveCap : 0;
    const double disabledThrough = RoundWhole(PensionInsuranceSplit(
        socialCode_, *socialScale_, 0, Positive(priorDisabled + base.disabled - aboveDisabled) / 100, doc_));
    const double disabledBefore =
        RoundWhole(PensionInsuranceSplit(socialCode_, *socialScale_, 0, priorDisabled / 100, doc_));
    const double amount =
        ChargeWithinCap(*socialScale_, priorGeneral, base.payments, aboveGeneral) + (disabledThrough - disabledBefore);
    add(kAccrued, amount);
    add(kAccruedMonth1 + slotOf(month), amount);
}

// Insurance against accidents on the month's payments (no cap): the base,
// and the contributions that the month's stored rows hold, as the
// calculation charged them (its rounding, the disabled employees' share). A
// month without such rows (one entered into the archive, never computed here)
// is charged on its base at the month's tariff, 60 % of it for a disabled
// employee.
int SettlementRun::addInjury(const MonthContributions& c, bool disabled, int month)
{
    const int variant = TaxVariantForMonth(injuryTable_, MonthIndex(period_.year, month), doc_);
    if (variant < 0)
        return variant;
    const infobase::TaxTable::Variant& table = doc_.refFiles.taxTableAt(injuryTable_).variants[std::size_t(variant)];
    values_[kInjuryRate] = table.ratePercent * 100 + table.rateHundredths;
    // Every employee under a labour contract is insured against accidents, a
    // foreign citizen staying temporarily too.
    const ContributionRow& own = c.own(kInjuryKind);
    const double base = own.baseLessAllowance + own.disabilityIncome;
    const double share = disabled ? kDisabledInjuryShare : 1;
    const double charge =
        own.last != 0 ? RoundWhole(own.last) : RoundWhole(ScaleCharge(table.scale, base / 100, 0) * share);
    const int slot = slotOf(month);
    addMonthly(kInjuryBase, kInjuryBase + 1, base, month);
    if (disabled)
        addMonthly(kInjuryDisabledBase, kInjuryDisabledBase + 1, base, month);
    add(lastThree(month) ? kInjuryBefore + 1 + slot : kInjuryBefore, charge);
    add(kInjuryAccrued, charge);
    if (lastThree(month))
        add(kInjuryAccruedMonth1 + (month - (period_.lastMonth - 2)), charge);
    return 0;
}

// The employee's last month in the report: the headcount, the "inval" record
// and the benefits of the period.
void SettlementRun::closeEmployee(std::size_t position, const EmployeeListEntry& entry, bool disabled)
{
    const EmployeeHead& head = doc_.infoBase.current.head;
    const float share = CalcPeriodTotals(doc_, period_.begin(), period_.end(), entry.slot, counters_);
    add(kHeadcount, share);
    if (IsWoman(head))
        add(kWomen, share);
    if (disabled)
        add(kDisabledHeadcount, share);

    const DisabledPayments& payments = disabledPayments_[position];
    if (payments.period != 0) {
        InvalRecord record;
        FillInvalIdentity(head, record);
        record.sinceYearStart = payments.period;
        record.months = payments.months;
        record.quarter = payments.months[0] + payments.months[1] + payments.months[2];
        inval_.push_back(record);
    }
    BenefitLines(values_, period_, BenefitForm::Form2011)
        .addEmployee(doc_.infoBase.current, firstRow(entry.slot), doc_.infoBase.config.reportingYear(),
                     head.stavka < 100, sheetCases(entry.slot));
}

// Every value to whole hundredths and then roubles (money) or whole counts.
void SettlementRun::scale()
{
    for (double& value : values_) value = RoundWhole(value) / 100;
    for (int index : {kHeadcount, kWomen, kDisabledHeadcount, 100, 101, 102}) {
        double& value = values_[std::size_t(index)];
        if (value > 0 && value < 1)
            value = 1;
        value = RoundWhole(value);
    }
}

int SettlementRun::finish(const QString& dataFilePath, GenrRunDetail& detail)
{
    scale();
    FinishFss4Values(values_, period_);
    ReconcileFss4Inval(values_, inval_);
    detail.fileError = WriteInvalFile(InvalFilePath(), inval_);
    if (detail.fileError == 0 && !dataFilePath.isEmpty()) {
        GenrDataFile file;
        file.header = {GENR_TAG_FSS4, std::uint8_t(period_.firstMonth), std::uint8_t(period_.lastMonth),
                       std::uint8_t(period_.yearByte())};
        file.values.assign(values_.begin(), values_.end());
        file.inval = inval_;
        detail.fileError = WriteGenrDataFile(dataFilePath, file);
    }
    return detail.fileError != 0 ? GenrFileFailed : GenrDone;
}

// The form's base takes every payment bearing contributions, the disabled
// employees' too, which it shows again as an "of which" line; the check
// against the general rate has been made on the base without them.
void IncludeDisabledInBase(GenrValueArray& v)
{
    for (int group : {kBasePeriod, kBaseQuarter, BaseMonth(1, 0), BaseMonth(2, 0), BaseMonth(3, 0)}) {
        double* g = &v[std::size_t(group)];
        g[ColBase] = Kopecks(g[ColBase] + g[ColDisabled]);
    }
}

// A difference below 5 roubles between a period figure and what its parts
// give is rounding.
bool Rounding(double difference) { return difference > -5 && difference < 5; }

// The three months of a period of one quarter add up to the period figure;
// the third month (the second when the third is empty) takes the rounding.
void ReconcileMonths(GenrValueArray& v, const ReportPeriod& period)
{
    if (period.lastMonth - period.firstMonth > 2)
        return;
    for (int column = 0; column < 4; ++column) {
        const double difference = v[std::size_t(BaseMonth(1, column))] + v[std::size_t(BaseMonth(2, column))] +
                                  v[std::size_t(BaseMonth(3, column))] - v[std::size_t(kBasePeriod + column)];
        if (difference == 0 || !Rounding(difference))
            continue;
        double& third = v[std::size_t(BaseMonth(3, column))];
        double& target = third != 0 ? third : v[std::size_t(BaseMonth(2, column))];
        target -= difference;
    }
}

void ReconcileBase(GenrValueArray& v)
{
    for (int group : {kBasePeriod, BaseMonth(1, 0), BaseMonth(2, 0), BaseMonth(3, 0)}) {
        double* g = &v[std::size_t(group)];
        const double difference = g[ColPayments] - g[ColNonTaxable] - g[ColAboveCap] - g[ColBase];
        if (Rounding(difference))
            g[ColBase] = Kopecks(g[ColBase] + difference);
    }
}

// The injury figures in whole roubles; a period figure within 5 roubles of
// its three months becomes their sum.
void FinishInjury(GenrValueArray& v)
{
    for (int index = kInjuryBase; index <= kInjuryAccrued; ++index)
        v[std::size_t(index)] = RoundWhole(v[std::size_t(index)]);
    for (int index = kInjuryAccruedMonth1; index < kInjuryAccruedMonth1 + 3; ++index)
        v[std::size_t(index)] = RoundWhole(v[std::size_t(index)]);
    for (const auto& [total, first] :
         {std::pair{kInjuryBase, kInjuryBase + 1}, std::pair{kInjuryDisabledBase, kInjuryDisabledBase + 1},
          std::pair{kInjuryAccrued, kInjuryAccruedMonth1}}) {
        const double months = v[std::size_t(first)] + v[std::size_t(first + 1)] + v[std::size_t(first + 2)];
        if (Rounding(v[std::size_t(total)] - months))
            v[std::size_t(total)] = months;
    }
}

} // namespace

int CalcRVedFSS2011(const ReportSelection& selection, PayrollDoc& doc, const QString& dataFilePath, int markedCount,
                    std::stop_token stop, GenrRunDetail* detail)
{
    GenrRunDetail ignored;
    SettlementRun run(selection, doc, markedCount, stop);
    return run.run(dataFilePath, detail != nullptr ? *detail : ignored);
}

void FinishFss4Values(GenrValueArray& values, const ReportPeriod& period)
{
    SumColumns(values, true);
    CheckAgainstRate(values);
    IncludeDisabledInBase(values);
    SumExpenses(values);
    SumBenefits(values);
    ReconcileMonths(values, period);
    ReconcileBase(values);
    FinishInjury(values);
}

void ReconcileFss4Inval(const GenrValueArray& values, std::vector<InvalRecord>& records)
{
    std::array<double, 4> sums{};
    for (const InvalRecord& record : records) {
        sums[0] += record.sinceYearStart;
        for (std::size_t month = 0; month < 3; ++month) sums[month + 1] += record.months[month];
    }
    const std::array<int, 4> targets = {kBasePeriod + ColDisabled, BaseMonth(1, ColDisabled), BaseMonth(2, ColDisabled),
                                        BaseMonth(3, ColDisabled)};
    std::array<double, 4> difference{};
    for (std::size_t i = 0; i < 4; ++i) difference[i] = Kopecks(values[std::size_t(targets[i])] - sums[i] / 100);
    for (InvalRecord& record : records) {
        std::array<double*, 4> amounts = {&record.sinceYearStart, &record.months[0], &record.months[1],
                                          &record.months[2]};
        std::size_t which = 0;
        while (which < 4 && std::fabs(difference[which]) < 1) ++which;
        if (which == 4)
            return;
        if (*amounts[which] == 0)
            continue;
        const double step = difference[which] > 0 ? 1 : -1;
        *amounts[which] += 100 * step;
        difference[which] -= step;
        record.quarter = record.months[0] + record.months[1] + record.months[2];
    }
}

} // namespace kalvor::reports
