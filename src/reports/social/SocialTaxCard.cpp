#include "reports/social/SocialTaxCard.h"

#include "infobase/InfoBaseDb.h"
#include "infobase/PayKindCodes.h"
#include "platform/CodePage.h"
#include "print/CTree.h"
#include "reports/social/ContributionMonths.h"
#include "reports/social/CountryList.h"
#include "reports/social/EmployeeContributions.h"
#include "reports/social/InvalRecord.h"
#include "reports/social/SocialFormTexts.h"
#include "values/Messages.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace kalvor::reports {

using infobase::ContributionRow;
using infobase::EmployeeHead;
using infobase::FirmInfo;
using namespace card;

namespace {

// Contribution records of "sbor" by place: the rates printed on the card.
constexpr int kSocialInsuranceKind = 1;
constexpr int kFederalMedicalKind = 2;
constexpr int kTerritorialMedicalKind = 3;
constexpr int kPensionInsuranceKind = 4;
constexpr int kPensionFundedKind = 5;
// The month whose variant of a tax table gives the rates of the card.
constexpr int kRateMonth = 10;

// The rate of a tax table (0-based) in October of the year: its whole
// percent and its percent with hundredths; none when the table is not one of
// the file's or has no single variant valid then.
struct TableRate {
    double percent = 0;
    double disabledReduction = 0; // percentage points, on the pay of disabled employees
};
std::optional<TableRate> RateInOctober(int table, int year, const PayrollDoc& doc)
{
    const int variant = TaxVariantForMonth(table, MonthIndex(year, kRateMonth), doc);
    if (variant < 0)
        return std::nullopt;
    const auto& v = doc.refFiles.taxTableAt(table).variants[std::size_t(variant)];
    return TableRate{v.ratePercent + v.rateHundredths / 100.0, DisabledRateReduction(v.scale)};
}

// The tax table number of a record with the age group, or of the record
// alone; 0 when the record has no table.
int RecordTable(int recordIndex, bool byAgeGroup, const PayrollDoc& doc)
{
    if (recordIndex >= doc.refFiles.sborCount || doc.refFiles.sbor[std::size_t(recordIndex)].table < 1)
        return 0;
    return byAgeGroup ? AgeGroupTable(recordIndex, doc) : doc.refFiles.sbor[std::size_t(recordIndex)].table;
}

// A table's rate, reduced by the year's reduction of the table for a
// disabled employee (never below 0): "%.1f" of the rate, or, when the status
// changed within the period, the reduced and the full rate.
QByteArray RateText(const std::optional<TableRate>& rate, const CardDisability& status)
{
    if (!rate)
        return {};
    const double reduction = status.disabled ? rate->disabledReduction : 0;
    const QByteArray reduced = FormatFixed8(std::max(0.0, rate->percent - reduction), 1);
    return status.changed ? reduced + ", " + FormatFixed8(rate->percent, 1) : reduced;
}

// The cumulative values through a month of the employee's pension-fund
// record, and those before it.
struct Cumulative {
    double taxable = 0; // payments less the amounts not subject to contributions
    double disability = 0; // of which paid in disability months
};
Cumulative Through(const ContributionRow& prior, const ContributionRow& own)
{
    return {Positive(prior.baseLessAllowance + own.baseLessAllowance) +
                Positive(prior.disabilityIncome + own.disabilityIncome),
            Positive(prior.disabilityIncome + own.disabilityIncome)};
}
Cumulative Before(const ContributionRow& prior)
{
    return {Positive(prior.baseLessAllowance) + Positive(prior.disabilityIncome), Positive(prior.disabilityIncome)};
}

// The month's base and contribution of one fund's record: the base within
// the cap, and the charge of the record's tax table through the month less
// the charge before it (of the month alone for a monthly table).
struct FundMonth {
    double base = 0;
    double contribution = 0;
};
FundMonth FundValues(const EmployeeContributions& c, int kind, const infobase::TaxTable::Variant& variant,
                     const PayrollDoc& doc)
{
    const ContributionRow& prior = c.prior(kind);
    const ContributionRow& own = c.own(kind);
    const int code = doc.refFiles.sbor[std::size_t(kind)].code;
    const auto charge = [&](double full, double disabled) {
        return RoundWhole(PensionInsuranceSplit(code, variant.scale, full / 100, disabled / 100, doc));
    };
    FundMonth month;
    month.base = Positive(prior.chargeable + prior.disabilityWithinCap + own.chargeable + own.disabilityWithinCap) -
                 Positive(prior.chargeable + prior.disabilityWithinCap);
    if (variant.cumulative)
        month.contribution =
            charge(prior.chargeable + own.chargeable, prior.disabilityWithinCap + own.disabilityWithinCap) -
            charge(prior.chargeable, prior.disabilityWithinCap);
    else
        month.contribution = charge(own.chargeable, own.disabilityWithinCap);
    return month;
}

// The variant of each fund's table valid in the month; -32 when a record has
// no table or no single valid variant.
int FundVariants(const PayrollDoc& doc, int monthKey,
                 std::array<const infobase::TaxTable::Variant*, kFundCount>& variants)
{
    if (doc.refFiles.sborCount < kFundCount)
        return -32;
    for (int kind = 0; kind < kFundCount; ++kind) {
        const infobase::ContributionKind& record = doc.refFiles.sbor[std::size_t(kind)];
        const bool byAgeGroup = IsByAgeGroupCode(record.code);
        const int table = RecordTable(kind, byAgeGroup, doc);
        const int variant = table < 1 ? -21 : TaxVariantForMonth(table, MonthIndexOfKey(monthKey), doc);
        if (variant < 0)
            return -32;
        variants[std::size_t(kind)] = &doc.refFiles.taxTableAt(table).variants[std::size_t(variant)];
    }
    return 0;
}

// One month of the card's even lines.
int FillCardMonth(const PayrollDoc& doc, int monthKey, int firstRow, std::array<double, kValueCount>& values)
{
    std::array<const infobase::TaxTable::Variant*, kFundCount> variants{};
    if (const int result = FundVariants(doc, monthKey, variants); result < 0)
        return result;
    EmployeeContributions c;
    const MonthKey key = MonthKey::of(monthKey);
    const int january = MonthKey(key.year(), 1).value();
    if (const int result = ContributionsOfMonths(doc, january, monthKey, firstRow, kAllContributionKinds, c);
        result < 0)
        return result;
    const int month = key.month();
    const auto at = [&](int line) -> double& { return values[std::size_t(ValueIndex(line, month))]; };

    const Cumulative before = Before(c.prior(0));
    const Cumulative through = Through(c.prior(0), c.own(0));
    at(LinePayments) = through.taxable - before.taxable;
    at(LineNotSubject) = c.own(0).allowance + c.totals[1] + c.totals[5];
    at(LineDisabilityPayments) = through.disability - before.disability;
    const double cap = ContributionBaseCap(key.year());
    at(LineAboveCap) = Positive(through.taxable - cap) - Positive(before.taxable - cap);
    at(LineBase) = at(LinePayments) - at(LineAboveCap);
    for (int kind = 0; kind < kFundCount; ++kind) {
        const FundMonth fund = FundValues(c, kind, *variants[std::size_t(kind)], doc);
        at(LineFundBase + 2 * kind) = fund.base;
        at(LineFundContribution + 2 * kind) = fund.contribution;
    }
    at(LinePayments) += at(LineNotSubject);
    return 0;
}

// The odd lines: the running totals of the lines before them over the
// months first..last.
void AddRunningTotals(int firstMonth, int lastMonth, std::array<double, kValueCount>& values)
{
    for (int line = 0; line < kLineCount; line += 2) {
        double total = 0;
        for (int month = firstMonth; month <= lastMonth; ++month) {
            total += values[std::size_t(ValueIndex(line, month))];
            values[std::size_t(ValueIndex(line + 1, month))] = total;
        }
    }
}

QByteArray Text(const QString& text) { return codepage::toCp1251(text); }

// The identification part of the page: pars 1 to 23.
QList<QByteArray> CardHeadValues(const PayrollDoc& doc, const ReportPeriod& period, int start)
{
    const FirmInfo& firm = doc.infoBase.firm;
    const EmployeeHead& head = doc.infoBase.current.head;
    const CardDisability status = CardDisabilityStatus(head, start, period.end());

    QList<QByteArray> page;
    page << QByteArray::number(period.year) << "1" << PaddedFirmText(firm, FirmInfo::firmName).left(56)
         << PaddedFirmText(firm, FirmInfo::firmINN).left(10) << PaddedFirmText(firm, FirmInfo::firmKPP).left(9)
         << (firm.firmUprosh() ? "05" : "01");
    const NameParts name = SplitFullName(head.fio);
    page << name.surname << name.name << name.patronymic;

    page << RateText(RateInOctober(RecordTable(kPensionInsuranceKind, true, doc), period.year, doc), status);
    page << FixedText(head.strahPolis, 20) << FixedText(head.INN, 12) << CitizenshipText(head.propKodStr);
    const PackedDate born(head.datR);
    page << (born.isNull() ? QByteArray() : DateWithPoints(born.day(), born.month(), born.fullYear()));
    const std::optional<TableRate> funded = RateInOctober(RecordTable(kPensionFundedKind, true, doc), period.year, doc);
    page << (funded ? FormatFixed8(funded->percent, 1) : QByteArray());
    if (status.disabled) {
        const std::array<char, 10> end = InvalValidityText(head);
        page << Text(QStringLiteral("ЕСТЬ")) << QByteArray() << FixedText(head.invSprNom, 8)
             << QByteArray(end.data(), qsizetype(strnlen(end.data(), end.size())));
    } else {
        page << QByteArray() << Text(QStringLiteral("НЕТ")) << QByteArray() << QByteArray();
    }
    page << "0.0";
    for (int kind : {kFederalMedicalKind, kTerritorialMedicalKind, kSocialInsuranceKind})
        page << RateText(RateInOctober(RecordTable(kind, false, doc), period.year, doc), status);
    return page;
}

// Whether the current employee has liable pay from start to the period's end.
int HasLiablePay(const PayrollDoc& doc, int start, int end, int firstRow, bool& liable)
{
    EmployeeContributions c;
    const int result = ContributionsOfMonths(doc, start, end, firstRow, kAllContributionKinds, c);
    liable = result >= 0 && c.grossAndPaid() != 0;
    return result;
}

} // namespace

int AgeGroupTable(int recordIndex, const PayrollDoc& doc)
{
    const EmployeeHead& head = doc.infoBase.current.head;
    int born = PackedDate(head.datR).fullYear();
    const int yearByte = ResolveReportPeriod(doc.infoBase.config).yearByte();
    int group = 0;
    if (yearByte >= 105) {
        group = born > 1966 ? 1 : 0;
    } else if (born > 1966) {
        group = 2;
    } else {
        const QChar sex = head.pol.isEmpty() ? QChar() : head.pol.at(0);
        if (sex == u'Ж' || sex == u'ж')
            born -= 4;
        group = born > 1952 ? 1 : 0;
    }
    return doc.refFiles.sbor[std::size_t(recordIndex)].table + group;
}

int CardStartMonth(const EmployeeHead& head, const ReportPeriod& period)
{
    int start = period.begin();
    const PackedDate hired(head.datPr1);
    if (!hired.isNull()) {
        const int hireMonth = MonthKey(hired.fullYear(), hired.month()).value();
        if (hireMonth > period.end())
            return 0;
        start = std::max(start, hireMonth);
    }
    const PackedDate dismissed(head.datUv1);
    if (!dismissed.isNull() && MonthKey(dismissed.fullYear(), dismissed.month()).value() < start)
        return 0;
    return start;
}

int ComputeCardLines(const PayrollDoc& doc, const ReportPeriod& period, int start, int firstRow,
                     std::array<double, kValueCount>& values)
{
    const int firstMonth = MonthKey::of(start).month();
    for (int month = firstMonth; month <= period.lastMonth; ++month)
        if (const int result = FillCardMonth(doc, MonthKey(period.year, month).value(), firstRow, values); result < 0)
            return result;
    AddRunningTotals(firstMonth, period.lastMonth, values);
    return 0;
}

CardDisability CardDisabilityStatus(const EmployeeHead& head, int start, int end)
{
    const auto within = [&](int month) { return month != 0 && month >= start && month <= end; };
    const std::array<std::pair<int, int>, 2> periods = {std::pair<int, int>{head.invDat1Begin, head.invDat1End},
                                                        std::pair<int, int>{head.invDat2Begin, head.invDat2End}};
    for (const auto& [begin, stop] : periods) {
        if (within(stop))
            return {true, true};
        if (begin != 0 && begin < start)
            return {true, false};
        if (within(begin))
            return {true, true};
    }
    return {};
}

QList<QByteArray> IndKartPageValues(const PayrollDoc& doc, const ReportPeriod& period, int start)
{
    QList<QByteArray> page = CardHeadValues(doc, period, start);
    for (int i = 0; i < kValueCount; ++i) page << FormatFixed8(doc.GenrValues[std::size_t(i)], 2);
    page << PaddedFirmText(doc.infoBase.firm, FirmInfo::fioBuh).left(46);
    return page;
}

int PrintIndKartPage(print::CTree& tree, const PayrollDoc& doc, const ReportPeriod& period, int start)
{
    const QDomElement page = tree.NewPage(nullptr, "page0");
    tree.AddValue(page, IndKartPageValues(doc, period, start));
    return 0;
}

namespace {

// One employee's card: computed and printed, or skipped. Returns 0 or a
// negative code.
int PrintEmployeeCard(print::CTree& tree, const infobase::EmployeeListEntry& entry, const ReportPeriod& period,
                      PayrollDoc& doc)
{
    infobase::CInfoBase& base = doc.infoBase;
    if (!base.swap.readSlot(entry.slot, base.current))
        throw TextError(kMsgReadFailed);
    const int start = CardStartMonth(base.current.head, period);
    if (start == 0)
        return 0;
    const int firstRow = base.attributesOf(entry.slot).kvProizv;
    bool liable = false;
    if (const int result = HasLiablePay(doc, start, period.end(), firstRow, liable); result < 0)
        return result;
    if (!liable)
        return 0;
    std::array<double, kValueCount> lines{};
    if (const int result = ComputeCardLines(doc, period, start, firstRow, lines); result < 0)
        return result;
    std::copy(lines.begin(), lines.end(), doc.GenrValues.begin());
    for (double& value : doc.GenrValues) value /= 100;
    return PrintIndKartPage(tree, doc, period, start);
}

} // namespace

int GenrIndKartSochNal(std::stop_token stop, const ReportSelection& selection, const QString& workFilePath,
                       int markedCount, PayrollDoc& doc, GenrRunDetail* detail)
{
    infobase::CInfoBase& base = doc.infoBase;
    const ReportPeriod period = ResolveReportPeriod(base.config);
    if (period.firstMonth > period.lastMonth || ReportYearAfterBase(period, base.config))
        return -2;
    doc.GenrValues.fill(0);
    // The archive from January: the yearly cap counts the whole year.
    if (!SelectPeriodToSwap(base, MonthIndex(period.year, 1), period.lastMonthIndex(),
                            selection.toInfoBaseSelection(markedCount), stop))
        return GenrStopped;
    struct SwapCloser {
        infobase::CInfoBase& base;
        ~SwapCloser() { base.CloseSwapFile(); }
    } closer{base};

    print::CTree tree(kSocialTaxCardTemplate, workFilePath);
    for (const infobase::EmployeeListEntry& entry : base.list) {
        doc.GenrValues.fill(0);
        if (stop.stop_requested())
            return GenrStopped;
        if (!SelectsReportEmployee(base, entry, selection, markedCount))
            continue;
        if (const int result = PrintEmployeeCard(tree, entry, period, doc); result < 0)
            return result;
    }
    const int generated = tree.Generate();
    if (detail != nullptr)
        detail->text = tree.ErrorText();
    return generated < 0 ? GenrPrintFailed : GenrDone;
}

} // namespace kalvor::reports
