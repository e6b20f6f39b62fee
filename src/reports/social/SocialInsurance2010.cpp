#include "reports/social/SocialInsurance2010.h"

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

namespace kalvor::reports {

using infobase::ContributionRow;
using infobase::EmployeeHead;
using infobase::EmployeeListEntry;
using namespace fss4;

namespace {

// One employee's month as the form counts it (kopecks).
struct MonthAmounts {
    double payments = 0; // A: the contribution base of the month
    double paymentsBefore = 0; // B: the base from January before the month
    double disabled = 0; // C: payments to a disabled employee
    double allowance = 0; // E
    double nonTaxable = 0; // W
    double injuryBase = 0; // X
    double injuryDisabledBase = 0; // Y
    double expenses = 0; // K
    double sixthTotal = 0;
};

// The month's amounts from the rows of the contribution arithmetic: the
// social insurance record, the pension record for what it leaves out of the
// base, the accidents record for section II.
MonthAmounts AmountsOfMonth(const MonthContributions& c, const EmployeeHead& head, bool disabled)
{
    const ContributionRow& own = c.own(kSocialKind);
    const ContributionRow& prior = c.prior(kSocialKind);
    MonthAmounts m;
    m.payments = own.baseLessAllowance;
    m.paymentsBefore = prior.baseLessAllowance;
    m.disabled = own.disabilityIncome;
    m.allowance = own.allowance;
    if (own.base + prior.base < 0) {
        m.payments = m.disabled = 0;
        m.paymentsBefore = prior.disabilityIncome + prior.baseLessAllowance;
    }
    if (TemporaryForeigner(head))
        m.payments = m.paymentsBefore = m.disabled = 0;
    if (m.payments == -m.allowance)
        m.payments = 0;
    const ContributionRow& pension = c.own(kPensionKind);
    const double pensionOnly =
        Positive(pension.allowance - m.allowance) + Positive(pension.baseLessAllowance - own.baseLessAllowance);
    m.nonTaxable = c.totals[1] + c.totals[5] + m.allowance + pensionOnly;
    // The accidents base: the payments, those to disabled employees with
    // them (the row's first field already holds the latter once).
    const ContributionRow& injury = c.own(kInjuryKind);
    m.injuryBase = Positive(injury.baseLessAllowance + injury.disabilityIncome);
    m.injuryDisabledBase = own.disabilityIncome + (disabled ? m.allowance + pensionOnly : 0);
    m.expenses = injury.allowance + c.totals[3];
    m.sixthTotal = c.totals[5];
    return m;
}

class Settlement2010Run : public SettlementRunBase {
public:
    Settlement2010Run(const ReportSelection& selection, PayrollDoc& doc, int markedCount, std::stop_token stop)
        : SettlementRunBase(selection, doc, markedCount, stop), simplified_(doc.infoBase.firm.firmUprosh())
    {}

private:
    int employeeMonth(std::size_t position, const EmployeeListEntry& entry, int month) override;
    void addSection1(const MonthAmounts& m, int month);
    int addSection2(const MonthAmounts& m, bool disabled, int month);
    void closeEmployee(const EmployeeListEntry& entry, bool disabled);
    int finish(const QString& dataFilePath, GenrRunDetail& detail) override;

    bool simplified_;
};

int Settlement2010Run::employeeMonth(std::size_t, const EmployeeListEntry& entry, int month)
{
    if (!readTaken(entry))
        return 0;
    const EmployeeHead& head = doc_.infoBase.current.head;
    const int key = MonthKey(period_.year, month).value();
    const bool disabled = DisabledInMonth(head, key, period_.begin());

    MonthContributions c;
    if (const int result = ContributionsThrough(key, firstRow(entry.slot), doc_, c); result < 0)
        return result;
    for (double& total : c.totals) total = RoundWhole(total);
    const MonthAmounts amounts = AmountsOfMonth(c, head, disabled);
    addSection1(amounts, month);
    add(lastThree(month) ? kExpensesMonth1 + slotOf(month) : kExpensesBefore, amounts.expenses);
    if (const int result = addSection2(amounts, disabled, month); result < 0)
        return result;

    if (finalMonth(month))
        closeEmployee(entry, disabled);
    return 0;
}

// The base table's columns C1-C4 and the month's contribution, charged on the
// base from January within the yearly cap.
void Settlement2010Run::addSection1(const MonthAmounts& m, int month)
{
    const double above = AboveCap(m.paymentsBefore, m.payments, ContributionBaseCap(period_.year));
    const std::array<double, 4> columns = {m.payments, m.nonTaxable, m.disabled, above};
    for (int column = 0; column < 4; ++column) {
        add(kBasePeriod + column, columns[std::size_t(column)]);
        add(BaseMonth(slotOf(month) + 1, column), columns[std::size_t(column)]);
    }
    const double charge = ChargeWithinCap(*socialScale_, m.paymentsBefore, m.payments, above);
    addMonthly(kAccrued, kAccruedMonth1, charge, month);
}

// Insurance against accidents on the month's payments (no cap), 60 % of it
// for a disabled employee.
int Settlement2010Run::addSection2(const MonthAmounts& m, bool disabled, int month)
{
    const int variant = TaxVariantForMonth(injuryTable_, MonthIndex(period_.year, month), doc_);
    if (variant < 0)
        return variant;
    const infobase::TaxTable::Variant& table = doc_.refFiles.taxTableAt(injuryTable_).variants[std::size_t(variant)];
    values_[kInjuryRate] = table.ratePercent * 100 + table.rateHundredths;
    double charge = RoundWhole(ScaleCharge(table.scale, m.injuryBase / 100, 0));
    if (disabled)
        charge *= kDisabledInjuryShare;
    add(lastThree(month) ? kInjuryBefore + 1 + slotOf(month) : kInjuryBefore, charge);
    addMonthly(kInjuryBase, kInjuryBase + 1, m.injuryBase, month);
    addMonthly(kInjuryDisabledBase, kInjuryDisabledBase + 1, m.injuryDisabledBase, month);
    add(kInjuryAccrued, m.sixthTotal);
    return 0;
}

// The employee's last month in the report: the headcount (in the second
// block under the simplified taxation) and the benefits of the period.
void Settlement2010Run::closeEmployee(const EmployeeListEntry& entry, bool disabled)
{
    const EmployeeHead& head = doc_.infoBase.current.head;
    const int headcount = simplified_ ? kSimplifiedHeadcount : kHeadcount;
    const float share = CalcPeriodTotals(doc_, period_.begin(), period_.end(), entry.slot, counters_);
    add(headcount, share);
    if (IsWoman(head))
        add(headcount + 1, share);
    if (disabled)
        add(kDisabledHeadcount, share);
    BenefitLines(values_, period_, BenefitForm::Form2010, simplified_ ? kSimplifiedBenefits : 0)
        .addEmployee(doc_.infoBase.current, firstRow(entry.slot), doc_.infoBase.config.reportingYear(),
                     head.stavka < 100, sheetCases(entry.slot));
}

int Settlement2010Run::finish(const QString& dataFilePath, GenrRunDetail& detail)
{
    FinishFss4Values2010(values_, simplified_);
    if (dataFilePath.isEmpty())
        return GenrDone;
    GenrDataFile file;
    file.header = {GENR_TAG_FSS4, std::uint8_t(period_.firstMonth), std::uint8_t(period_.lastMonth),
                   std::uint8_t(period_.yearByte())};
    file.values.assign(values_.begin(), values_.end());
    detail.fileError = WriteGenrDataFile(dataFilePath, file);
    return detail.fileError != 0 ? GenrFileFailed : GenrDone;
}

} // namespace

int CalcRVedFSS2010(const ReportSelection& selection, PayrollDoc& doc, const QString& dataFilePath, int markedCount,
                    std::stop_token stop, GenrRunDetail* detail)
{
    GenrRunDetail ignored;
    Settlement2010Run run(selection, doc, markedCount, stop);
    return run.run(dataFilePath, detail != nullptr ? *detail : ignored);
}

void FinishFss4Values2010(GenrValueArray& values, bool simplified)
{
    for (double& value : values) value = RoundWhole(value) / 100;
    for (int index : {kHeadcount, kWomen, kDisabledHeadcount, 100, 101, 102}) {
        double& value = values[std::size_t(index)];
        if (value > 0 && value < 1)
            value = 1;
        value = RoundWhole(value);
    }
    SumColumns(values, true);
    CheckAgainstRate(values);
    SumExpenses(values);
    SumBenefits(values);
    if (simplified) {
        values[kSimplifiedBase] = values[kBasePeriod];
        std::fill(values.begin(), values.begin() + 100, 0.0);
    }
}

} // namespace kalvor::reports
