#include "reports/social/PensionContributions.h"

#include "payroll/Payroll.h"
#include "platform/CodePage.h"
#include "reports/social/ContributionMonths.h"
#include "reports/social/GenrDataFile.h"
#include "reports/social/SelectedRecords.h"
#include "reports/social/SocialFormTexts.h"
#include "values/Values.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace kalvor::reports {

using infobase::ContributionRow;
using infobase::EmployeeHead;
using infobase::EmployeeListEntry;
using namespace ovpf;

namespace {

// Places of the contribution records ("sbor") that the report reads: the
// federal and territorial medical funds, the insurance and the funded part of
// the pension contribution.
constexpr int kPensionFundKind = 0;
constexpr int kFederalMedicalKind = 2;
constexpr int kPensionInsuranceKind = 4;
constexpr int kKindsUsed = 6;
// The record behind each column of Section 1, in column order.
constexpr std::array<int, 4> kColumnKinds = {kPensionInsuranceKind, kPensionInsuranceKind + 1, kFederalMedicalKind,
                                             kFederalMedicalKind + 1};

// Bits of the employee's flag word.
constexpr int kInostr = 9, kInostrVidGit = 10, kInostrSV = 12;

// The month's growth of a cumulative value whose negative part never counts.
double Increment(double prior, double month) { return Positive(prior + month) - Positive(prior); }
double WholeRoubles(double kopecks) { return RoundWhole(kopecks / 100) * 100; }

bool DisabledIn(const EmployeeHead& head, int month) { return kalvor::DisabledInMonth(head, month); }

// A foreign citizen staying temporarily: his pay bears no contributions.
bool TemporaryForeigner(const EmployeeHead& head)
{
    return head.flag(kInostr) && !head.flag(kInostrVidGit) && !head.flag(kInostrSV);
}

// 0 born in 1966 or earlier, 1 born in 1967 or later.
int BirthGroup(const EmployeeHead& head) { return PackedDate(head.datR).fullYear() > 1966 ? 1 : 0; }

// The month's amounts free of contributions: the pension record's
// allowance, the kinds of the firm's non-taxable mask and the pay of a
// foreigner staying temporarily.
double NonTaxable(const MonthContributions& c)
{
    return c.own(kPensionInsuranceKind).allowance + c.totals[1] + c.totals[5];
}

// A record's cumulative values before the month and their growth in it.
struct KindMonth {
    double prior1 = 0, month1 = 0; // taxable payments
    double prior4 = 0, month4 = 0; // payments counted for disabled employees
};

KindMonth KindValues(const MonthContributions& c, int kind, bool excluded)
{
    if (excluded)
        return {};
    const ContributionRow& prior = c.prior(kind);
    const ContributionRow& own = c.own(kind);
    return {Positive(prior.baseLessAllowance), Increment(prior.baseLessAllowance, own.baseLessAllowance),
            Positive(prior.disabilityIncome), Increment(prior.disabilityIncome, own.disabilityIncome)};
}

// The rate scale and contribution code of a Section 1 column; the pension
// columns have a table for each birth group.
struct ColumnTariff {
    int code = 0;
    std::array<const TaxScale*, 2> scale{};
};

// Moves the difference between a total and its two birth groups into a group
// (see CorrectBirthGroups).
void CorrectGroupPair(GenrValueArray& values, int total, int older, int younger, int column, int lastMonth)
{
    const double difference = values[std::size_t(total + column)] -
                              (values[std::size_t(older + column)] + values[std::size_t(younger + column)]);
    if (difference == 0 || difference <= -kBirthGroupTolerance || difference >= kBirthGroupTolerance)
        return;
    int group = -1;
    if (values[std::size_t(younger + column)] > 0)
        group = younger;
    else if (values[std::size_t(older + column)] > 0)
        group = older;
    if (group < 0)
        return;
    values[std::size_t(group + column)] += difference;
    if (column != 0 || lastMonth > 3)
        return;
    for (int month = 1; month <= 3; ++month) {
        if (values[std::size_t(group + month)] != 0) {
            values[std::size_t(group + month)] += difference;
            return;
        }
    }
}

// One pass of the reconciliation over a record: see ReconcileInval.
void AdjustInvalRecord(InvalRecord& record, std::array<double, 4>& difference)
{
    int month = 0;
    while (month < 3 && difference[std::size_t(month + 1)] == 0) ++month;
    if (month == 3) {
        // Only the total differs: it moves alone.
        if (record.sinceYearStart == 0)
            return;
        const double step = difference[0] > 0 ? 1 : -1;
        record.sinceYearStart += 100 * step;
        difference[0] -= step;
        return;
    }
    if (record.months[std::size_t(month)] == 0)
        return;
    const double step = difference[std::size_t(month + 1)] > 0 ? 1 : -1;
    record.months[std::size_t(month)] += 100 * step;
    difference[std::size_t(month + 1)] -= step;
    if (difference[0] * step > 0) {
        record.sinceYearStart += 100 * step;
        difference[0] -= step;
        return;
    }
    for (int other = 0; other < 3; ++other) {
        double& otherDifference = difference[std::size_t(other + 1)];
        if (other != month && otherDifference * step < 0 && record.months[std::size_t(other)] != 0) {
            record.months[std::size_t(other)] -= 100 * step;
            otherDifference += step;
            return;
        }
    }
}

// What "inval" takes from a month of the last quarter: the payments counted
// for a disabled employee in the month, and those before it (kopecks).
struct InvalMonth {
    bool known = false;
    double paid = 0;
    double before = 0;
};

InvalMonth InvalMonthOf(const MonthContributions& c, const EmployeeHead& head, int key)
{
    const ContributionRow& prior = c.prior(kPensionInsuranceKind);
    double paid = Increment(prior.disabilityIncome, c.own(kPensionInsuranceKind).disabilityIncome);
    if (DisabledIn(head, key))
        paid += NonTaxable(c);
    return {true, paid, prior.disabilityIncome};
}

// One run of the calculation over the base.
class PensionRun {
public:
    PensionRun(const ReportSelection& selection, PayrollDoc& doc, int markedCount, std::stop_token stop)
        : selection_(selection)
        , doc_(doc)
        , values_(doc.GenrValues)
        , markedCount_(markedCount)
        , stop_(stop)
        , period_(ResolveReportPeriod(doc.infoBase.config, kPensionReport.period))
    {}
    int run(const QString& dataFilePath, GenrRunDetail& detail);

private:
    int prepareTariffs();
    int lastComputedMonth() const;
    bool selects(const EmployeeListEntry& entry) const
    {
        return SelectsReportEmployee(doc_.infoBase, entry, selection_, markedCount_);
    }
    void readRecord(int slot);
    int firstMonthRow(int slot) const { return doc_.infoBase.attributesOf(slot).kvProizv; }
    void countMonths();
    int monthLoop();
    int employeeMonth(const EmployeeListEntry& entry, int month, bool lastMonth);
    double addAboveLimit(const MonthContributions& c, const KindMonth& pension, int group, int month);
    std::array<double, 4> addContributions(const MonthContributions& c, bool excluded, int group, bool disabled,
                                           double above, int month);
    std::array<double, 4> paidInMonth(const MonthContributions& c, const std::array<double, 4>& charged) const;
    int closeEmployee(const EmployeeListEntry& entry);
    int buildInvalRecord(int slot);
    void finish();

    // Month 1-3 of the last quarter, or 0.
    int quarterMonth(int month) const
    {
        const int position = month - (period_.lastMonth - 3);
        return position >= 1 && position <= 3 ? position : 0;
    }
    void addTariff(int index, double amount, int month)
    {
        values_[std::size_t(index)] += amount;
        if (const int position = quarterMonth(month))
            values_[std::size_t(index + position)] += amount;
    }
    // A row for all employees of the block and the row of the birth group.
    void addGroupRows(int block, int row, int group, double amount, int month)
    {
        addTariff(TariffIndex(block, row), amount, month);
        addTariff(TariffIndex(block, row + 1 + group), amount, month);
    }
    void addSection1(int line, int column, double amount, int month)
    {
        values_[std::size_t(line + column)] += amount;
        if (const int position = quarterMonth(month)) {
            values_[std::size_t(line + 4 * position + column)] += amount;
            values_[std::size_t(line + kQuarterSum + column)] += amount;
        }
    }

    ReportSelection selection_;
    PayrollDoc& doc_;
    GenrValueArray& values_;
    int markedCount_;
    std::stop_token stop_;
    ReportPeriod period_;
    MonthCounted counters_{};
    std::array<ColumnTariff, 4> tariffs_{};
    double pensionRatePercent_ = 0;
    std::vector<InvalRecord> inval_;
    SelectedRecords records_;
    // By slot: the months of the last quarter that the month loop went
    // through, for the employee's "inval" record.
    infobase::BySlot<std::array<InvalMonth, 3>> invalMonths_;
};

int PensionRun::prepareTariffs()
{
    const infobase::CRefFiles& ref = doc_.refFiles;
    if (ref.sborCount < kKindsUsed)
        return -32;
    for (int kind = 0; kind < kKindsUsed; ++kind)
        if (ref.sbor[std::size_t(kind)].table < 1)
            return -32;
    const auto variantScale = [&](int table, int monthIndex, const TaxScale*& scale) {
        const int variant = TaxVariantForMonth(table, monthIndex, doc_);
        if (variant >= 0)
            scale = &ref.taxTableAt(table).variants[std::size_t(variant)].scale;
        return variant;
    };
    for (int column = 0; column < 4; ++column) {
        const infobase::ContributionKind& kind = ref.sbor[std::size_t(kColumnKinds[std::size_t(column)])];
        ColumnTariff& tariff = tariffs_[std::size_t(column)];
        tariff.code = kind.code;
        for (int group = 0; group < 2; ++group) {
            const int table = kind.table + (column < 2 ? group : 0);
            if (const int variant = variantScale(table, period_.lastMonthIndex(), tariff.scale[std::size_t(group)]);
                variant < 0)
                return variant;
        }
    }
    // The rate of the firm's pension table in January, as the form shows it.
    const int rateTable = ref.sbor[kPensionInsuranceKind].table;
    const TaxScale* januaryScale = nullptr;
    const int january = variantScale(rateTable, MonthIndex(period_.year, 1), januaryScale);
    if (january < 0)
        return january;
    const auto& variant = ref.taxTableAt(rateTable).variants[std::size_t(january)];
    pensionRatePercent_ = variant.ratePercent + variant.rateHundredths / 100.0;
    return 0;
}

// The month loop ends with the base's reporting month when the period ends later.
int PensionRun::lastComputedMonth() const
{
    const infobase::InfoBaseConfig& config = doc_.infoBase.config;
    if (config.reportingYear() == period_.year)
        return std::min(period_.lastMonth, config.reportingMonth());
    return period_.lastMonth;
}

void PensionRun::readRecord(int slot) { records_.load(doc_.infoBase, slot); }

void PensionRun::countMonths()
{
    for (const EmployeeListEntry& entry : doc_.infoBase.list) {
        if (!selects(entry))
            continue;
        readRecord(entry.slot);
        const EmployeeHead& head = doc_.infoBase.current.head;
        if (entry.tabN() != 0 && head.fio.left(50).trimmed().isEmpty())
            continue;
        CountMonthsOnStaff(head, period_, counters_);
    }
}

int PensionRun::monthLoop()
{
    const int lastMonth = lastComputedMonth();
    for (int month = 1; month <= lastMonth; ++month) {
        for (const EmployeeListEntry& entry : doc_.infoBase.list) {
            if (!selects(entry))
                continue;
            if (stop_.stop_requested())
                return GenrStopped;
            if (const int result = employeeMonth(entry, month, month == lastMonth); result < 0)
                return result;
        }
        for (double& value : values_) value = WholeRoubles(value);
    }
    return GenrDone;
}

int PensionRun::employeeMonth(const EmployeeListEntry& entry, int month, bool lastMonth)
{
    readRecord(entry.slot);
    const EmployeeHead& head = doc_.infoBase.current.head;
    const int key = MonthKey(period_.year, month).value();
    const bool disabled = DisabledIn(head, key);
    const int group = BirthGroup(head);
    const bool excluded = TemporaryForeigner(head);

    MonthContributions c;
    if (const int result = ContributionsThrough(key, firstMonthRow(entry.slot), doc_, c); result < 0)
        return result;
    const KindMonth pension = KindValues(c, kPensionInsuranceKind + group, excluded);
    addGroupRows(kGeneralTariff, RowPayments, group, pension.month1, month);
    addGroupRows(kDisabledTariff, RowPayments, group, pension.month4, month);
    addGroupRows(disabled ? kDisabledTariff : kGeneralTariff, RowNonTaxable, group, NonTaxable(c), month);
    const double above = addAboveLimit(c, pension, group, month);
    const std::array<double, 4> charged = addContributions(c, excluded, group, disabled, above, month);
    const std::array<double, 4> paid = paidInMonth(c, charged);
    for (int column = 0; column < 4; ++column) addSection1(kLine140, column, paid[std::size_t(column)], month);
    if (const int position = quarterMonth(month))
        invalMonths_[entry.slot][std::size_t(position - 1)] = InvalMonthOf(c, head, key);
    return lastMonth ? closeEmployee(entry) : 0;
}

// The month's payments above the yearly cap, per block; returns the amount
// that the charges leave out (that of the disabled-employee block when it
// has one).
double PensionRun::addAboveLimit(const MonthContributions& c, const KindMonth& pension, int group, int month)
{
    const double limit = ContributionBaseCap(period_.year);
    const double total = pension.prior1 + pension.month1 + pension.prior4 + pension.month4;
    if (total <= limit)
        return 0;
    const ContributionRow& prior = c.prior(kPensionInsuranceKind);
    std::optional<double> general;
    std::optional<double> disabled;
    if (pension.month1 > 0 || (pension.month1 < 0 && prior.chargeable == limit)) {
        general = (total - limit) - Positive(pension.prior1 - limit);
        addGroupRows(kGeneralTariff, RowAboveLimit, group, *general, month);
    }
    if (pension.month4 > 0 || (pension.month4 < 0 && prior.disabilityWithinCap == limit)) {
        disabled = (total - limit) - Positive(pension.prior1 + pension.prior4 - limit);
        addGroupRows(kDisabledTariff, RowAboveLimit, group, *disabled, month);
    }
    return disabled.value_or(general.value_or(0));
}

// The month's charge of each contribution kind: the charge on the payments
// through the month less the charge on those before it; returned by column.
std::array<double, 4> PensionRun::addContributions(const MonthContributions& c, bool excluded, int group, bool disabled,
                                                   double above, int month)
{
    std::array<double, 4> charged{};
    for (int column = 0; column < 4; ++column) {
        const bool pensionColumn = column < 2;
        const int kind = kColumnKinds[std::size_t(column)];
        const ColumnTariff& tariff = tariffs_[std::size_t(column)];
        const TaxScale& scale = *tariff.scale[std::size_t(pensionColumn ? group : 0)];
        const KindMonth values = KindValues(c, kind, excluded);
        double prior1 = values.prior1;
        if (!pensionColumn && !excluded) {
            const ContributionRow& prior = c.prior(kind);
            prior1 = prior.baseLessAllowance + prior.disabilityIncome >= 0 ? prior.baseLessAllowance : 0;
        }
        const double aboveFull = values.month1 != 0 && above != 0 ? above : 0;
        const double aboveDisabled = values.month4 != 0 && above != 0 ? above : 0;
        const double through =
            RoundWhole(PensionInsuranceSplit(tariff.code, scale, (prior1 + values.month1 - aboveFull) / 100,
                                             (values.prior4 + values.month4 - aboveDisabled) / 100, doc_));
        const double before =
            RoundWhole(PensionInsuranceSplit(tariff.code, scale, prior1 / 100, values.prior4 / 100, doc_));
        const double amount = through - before;
        addTariff(TariffIndex(disabled ? kDisabledTariff : kGeneralTariff, RowAccrued + column), amount, month);
        addSection1(kLine110, column, amount, month);
        charged[std::size_t(column)] = amount;
    }
    return charged;
}

// The month's paid contributions by column: what the month's stored rows of
// each fund hold. The two parts of the pension contribution are charged as
// one row of the pension fund when they have no rows of their own; that row
// is shared between them as the month's charges of the two parts share.
std::array<double, 4> PensionRun::paidInMonth(const MonthContributions& c, const std::array<double, 4>& charged) const
{
    std::array<double, 4> paid{};
    for (int column = 0; column < 4; ++column)
        paid[std::size_t(column)] = c.own(kColumnKinds[std::size_t(column)]).last;
    if (tariffs_[0].code != 0 || tariffs_[1].code != 0)
        return paid;
    const double pension = c.own(kPensionFundKind).last;
    const double parts = charged[0] + charged[1];
    paid[1] = parts != 0 ? RoundWhole(pension * charged[1] / parts) : 0;
    paid[0] = pension - paid[1];
    return paid;
}

// The employee's share of the headcount, and his "inval" record.
int PensionRun::closeEmployee(const EmployeeListEntry& entry)
{
    const float share = CalcPeriodTotals(doc_, MonthKey(period_.year, 1).value(), period_.end(), entry.slot, counters_);
    values_[kAverageHeadcount] += share;
    if (share > 0)
        values_[kInsuredPersons] += 100;
    return buildInvalRecord(entry.slot);
}

// Payments counted for disabled employees in each month of the last quarter
// and before it, in whole roubles; a record only when there are any.
int PensionRun::buildInvalRecord(int slot)
{
    const EmployeeHead& head = doc_.infoBase.current.head;
    InvalRecord record;
    double beforeQuarter = 0;
    for (int position = 0; position < 3; ++position) {
        const int key = MonthKey(period_.year, period_.lastMonth - 2 + position).value();
        // A month after the base's month was not gone through.
        InvalMonth month = invalMonths_[slot][std::size_t(position)];
        if (!month.known) {
            MonthContributions c;
            if (const int result = ContributionsThrough(key, firstMonthRow(slot), doc_, c); result < 0)
                return result;
            month = InvalMonthOf(c, head, key);
        }
        record.months[std::size_t(position)] = WholeRoubles(month.paid);
        if (position == 0)
            beforeQuarter = WholeRoubles(month.before);
    }
    record.quarter = record.months[0] + record.months[1] + record.months[2];
    record.sinceYearStart = beforeQuarter + record.quarter;
    if (!(record.sinceYearStart > 0))
        return 0;
    FillInvalIdentity(head, record);
    inval_.push_back(record);
    return 0;
}

void PensionRun::finish()
{
    CorrectBirthGroups(values_, period_.lastMonth);
    FinishBaseRows(values_, period_.lastMonth);
    for (int column = 0; column < 4; ++column) {
        const std::size_t c = std::size_t(column);
        values_[kLine130 + c] = values_[kLine100 + c] + values_[kLine110 + c] + values_[kLine120 + c];
        values_[kLine150 + c] = values_[kLine130 + c] - values_[kLine140 + c];
    }
    // The rate is stored after the monthly rounding to whole roubles, which
    // would take a percentage below 50 to 0.
    values_[kPensionRate] = pensionRatePercent_;
    for (double& value : values_) value /= 100;
    values_[kAverageHeadcount] = std::max(values_[kAverageHeadcount], 1.0);
    values_[kOrgPackNumber] = selection_.orgPackNumber;
    values_[kDeptCode] = selection_.deptCode;
    values_[kDeptPackNumber] = selection_.deptPackNumber;
}

int PensionRun::run(const QString& dataFilePath, GenrRunDetail& detail)
{
    values_.fill(0);
    if (ReportYearAfterBase(period_, doc_.infoBase.config))
        return -2;
    // "inval" starts empty, so that a run that fails leaves no disabled
    // employees of an earlier run beside its zeroed values.
    detail.fileError = WriteInvalFile(InvalFilePath(), {});
    if (detail.fileError != 0)
        return GenrFileFailed;
    if (const int result = prepareTariffs(); result < 0)
        return result;
    infobase::CInfoBase& base = doc_.infoBase;
    if (!SelectPeriodToSwap(base, period_.firstMonthIndex(), period_.lastMonthIndex(),
                            selection_.toInfoBaseSelection(markedCount_), stop_))
        return GenrStopped;
    struct SwapCloser {
        infobase::CInfoBase& base;
        ~SwapCloser() { base.CloseSwapFile(); }
    } closer{base};

    countMonths();
    invalMonths_ = infobase::BySlot<std::array<InvalMonth, 3>>(base.slotCount());
    if (const int result = monthLoop(); result != GenrDone)
        return result;
    finish();
    ReconcileInval(values_, inval_);

    detail.fileError = WriteInvalFile(InvalFilePath(), inval_);
    if (detail.fileError == 0 && !dataFilePath.isEmpty()) {
        GenrDataFile file;
        file.header = {GENR_TAG_PF, 1, std::uint8_t(period_.lastMonth), std::uint8_t(period_.yearByte())};
        file.values.assign(values_.begin(), values_.end());
        file.inval = inval_;
        detail.fileError = WriteGenrDataFile(dataFilePath, file);
    }
    return detail.fileError != 0 ? GenrFileFailed : GenrDone;
}

} // namespace

int CalcOVPF(const ReportSelection& selection, PayrollDoc& doc, const QString& dataFilePath, int markedCount,
             std::stop_token stop, GenrRunDetail* detail)
{
    GenrRunDetail ignored;
    PensionRun run(selection, doc, markedCount, stop);
    return run.run(dataFilePath, detail != nullptr ? *detail : ignored);
}

void CountMonthsOnStaff(const EmployeeHead& head, const ReportPeriod& period, MonthCounted& counters)
{
    CountStaffMonths(head, period, false, counters);
}

void CorrectBirthGroups(GenrValueArray& values, int lastMonth)
{
    for (int block : {kGeneralTariff, kDisabledTariff})
        for (int row : {int(RowPayments), int(RowNonTaxable), int(RowAboveLimit)})
            for (int column = 0; column < 4; ++column)
                CorrectGroupPair(values, TariffIndex(block, row), TariffIndex(block, row + 1),
                                 TariffIndex(block, row + 2), column, lastMonth);
}

void FinishBaseRows(GenrValueArray& values, int lastMonth)
{
    const auto at = [&](int block, int row, int column) -> double& {
        return values[std::size_t(TariffIndex(block, row, column))];
    };
    for (int block : {kGeneralTariff, kDisabledTariff}) {
        for (int column = 0; column < 4; ++column) {
            at(block, RowPensionBaseOld, column) = at(block, 1, column) - at(block, RowAboveLimit + 1, column);
            at(block, RowPensionBaseYoung, column) = at(block, 2, column) - at(block, RowAboveLimit + 2, column);
            at(block, RowMedicalBase, column) = at(block, RowPayments, column) - at(block, RowAboveLimit, column);
            for (int row = 0; row < 3; ++row)
                at(block, RowPayments + row, column) += at(block, RowNonTaxable + row, column);
        }
        for (int column = 0; column < 4; ++column)
            CorrectGroupPair(values, TariffIndex(block, RowMedicalBase), TariffIndex(block, RowPensionBaseOld),
                             TariffIndex(block, RowPensionBaseYoung), column, lastMonth);
    }
}

void ReconcileInval(const GenrValueArray& values, std::vector<InvalRecord>& records)
{
    std::array<double, 4> sums{};
    for (const InvalRecord& record : records) {
        sums[0] += record.sinceYearStart;
        for (std::size_t month = 0; month < 3; ++month) sums[month + 1] += record.months[month];
    }
    // Differences in whole roubles: [0] since January, [1-3] the months.
    std::array<double, 4> difference{};
    for (std::size_t i = 0; i < 4; ++i)
        difference[i] =
            RoundWhole(values[std::size_t(TariffIndex(kDisabledTariff, RowPayments, int(i)))] - sums[i] / 100);
    for (InvalRecord& record : records) {
        if (std::all_of(difference.begin(), difference.end(), [](double d) { return d == 0; }))
            return;
        AdjustInvalRecord(record, difference);
    }
}

} // namespace kalvor::reports
