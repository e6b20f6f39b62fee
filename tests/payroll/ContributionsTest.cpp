// Insurance contributions: the yearly cap crossed inside a month, disability
// periods with the pension split, allowances, age groups, foreign and imputed
// regimes, and the month's contribution rows.
#include "PayrollWorld.h"

#include "payroll/CalcErrors.h"
#include "payroll/Contributions.h"
#include "payroll/IncomeTax.h"
#include "payroll/Rounding.h"

#include <gtest/gtest.h>

#include <map>

using namespace kalvor;
using namespace payrolltest;

namespace {

// Pension contribution 990 by table 1 (+ the age group: table 2 for those born
// after 1966), social insurance 992 by table 3; both take the kinds of fund 1.
struct ContribWorld {
    PayrollDoc doc;
    std::vector<AccrualRow> rows = std::vector<AccrualRow>(kCalcResultRows);
    int count = 0;

    ContribWorld(int year, int month)
    {
        setReportingMonth(doc, year, month);
        PayKind gift = kind(75, {}, 1, 2760);
        gift.sumSkidSoc = 400'000;
        setKinds(doc, {kind(1, {"oblPodoh"}, 1, 2000), gift, kind(600, {}, 1), kind(800, {}, 1), kind(990), kind(991),
                       kind(992), kind(44, {}, 4)});
        flatTable(doc, 0, year, 20, 0, true);
        flatTable(doc, 1, year, 22, 0, true);
        flatTable(doc, 2, year, 2, 90, true);
        auto& ref = doc.refFiles;
        ref.sbor[0] = {QStringLiteral("ПФ"), 990, 1, 0};
        ref.sbor[1] = {QStringLiteral("ФСС"), 992, 3, 0};
        ref.sborCount = 2;
        doc.infoBase.current.head.datR = date(1, 1, 1980);
    }
    void add(const AccrualRow& r) { rows[std::size_t(count++)] = r; }
    int calc() { return CalcMonthContributions(rows.data(), count, doc); }
    std::vector<ContributionRow> bases(int first, int last, int monthRule = 0, int imputedRule = 0,
                                       double* totals = nullptr, int* result = nullptr)
    {
        const auto& ref = doc.refFiles;
        std::vector<ContributionRow> out(std::size_t(2 * ref.sborCount));
        const int r = ContributionsByMonths(first, last, ref.sbor.data(), ref.sborCount, out.data(), rows.data(), count,
                                            monthRule, imputedRule, totals, doc);
        if (result)
            *result = r;
        return out;
    }
};

TaxScale firstBand(int percent, int hundredths, double disabledReduction = 0)
{
    TaxScale s{};
    s[0] = TaxScaleBand{0, 0, std::uint8_t(percent), std::uint8_t(hundredths), disabledReduction};
    return s;
}

// The pay of disabled employees charged 12 percentage points less by table
// 2 (22 % for the others, 10 % for them).
void reduceSecondTable(PayrollDoc& doc) { doc.refFiles.nalog[1].variants[0].scale[0].further = 12; }

} // namespace

TEST(ContributionsByMonths, YearlyCapCrossedInsideAMonth)
{
    ContribWorld w(2024, 11);
    for (int m = 1; m <= 10; ++m) {
        addArchive(w.doc, archive(1, 4'500'000, 2024, m));
        addArchive(w.doc, archive(990, 990'000, 2024, m));
        addArchive(w.doc, archive(992, 130'500, 2024, m));
    }
    w.add(row(1, 4'500'000, 11));
    int r = 1;
    const auto b = w.bases(MonthKey(2024, 1).value(), MonthKey(2024, 11).value(), 0, 0, nullptr, &r);
    ASSERT_EQ(r, 0);
    EXPECT_EQ(b[0].base, 45'000'000);
    EXPECT_EQ(b[0].chargeable, 45'000'000);
    EXPECT_EQ(b[0].last, 9'900'000);
    EXPECT_EQ(b[2].base, 4'500'000);
    EXPECT_EQ(b[2].chargeable, 1'300'000); // only the part below 463,000 roubles
    EXPECT_EQ(b[3].chargeable, 1'300'000);

    ASSERT_EQ(w.calc(), 2);
    EXPECT_EQ(w.rows[1].kod, 990);
    EXPECT_EQ(w.rows[1].sum, 286'000); // 22 % of 13,000 roubles
    EXPECT_EQ(w.rows[1].mes, 11);
    EXPECT_EQ(w.rows[2].kod, 992);
    EXPECT_EQ(w.rows[2].sum, 37'700); // 2.9 % of 13,000 roubles

    // December: the cap was reached in November, nothing more to charge.
    ContribWorld d(2024, 12);
    for (int m = 1; m <= 11; ++m) {
        addArchive(d.doc, archive(1, 4'500'000, 2024, m));
        addArchive(d.doc, archive(990, m == 11 ? 286'000 : 990'000, 2024, m));
        addArchive(d.doc, archive(992, m == 11 ? 37'700 : 130'500, 2024, m));
    }
    d.add(row(1, 4'500'000, 12));
    EXPECT_EQ(d.calc(), 0);
    const auto c = d.bases(MonthKey(2024, 1).value(), MonthKey(2024, 12).value());
    EXPECT_EQ(c[2].chargeable, 0);
}

// The archive is refused for an entry of an unknown code in the months read
// (not for one before them), and for an entry without a month anywhere.
TEST(ContributionsByMonths, ArchiveEntriesThatRefuseTheArchive)
{
    ContribWorld w(2024, 6);
    addArchive(w.doc, archive(1, 4'500'000, 2024, 3));
    addArchive(w.doc, archive(5, 100'000, 2023, 12));
    int r = 1;
    w.bases(MonthKey(2024, 1).value(), MonthKey(2024, 6).value(), 0, 0, nullptr, &r);
    EXPECT_EQ(r, 0);
    addArchive(w.doc, archive(5, 100'000, 2024, 4));
    w.bases(MonthKey(2024, 1).value(), MonthKey(2024, 3).value(), 0, 0, nullptr, &r);
    EXPECT_EQ(r, 0);
    w.bases(MonthKey(2024, 1).value(), MonthKey(2024, 4).value(), 0, 0, nullptr, &r);
    EXPECT_EQ(r, -4);
    w.doc.infoBase.current.waria[2].kod = 1;
    addArchive(w.doc, archive(1, 100'000, 2024, 0));
    w.bases(MonthKey(2024, 1).value(), MonthKey(2024, 3).value(), 0, 0, nullptr, &r);
    EXPECT_EQ(r, -8);
}

TEST(ContributionsByMonths, CapOfTheYearAndNoCapForAccidentInsurance)
{
    EXPECT_EQ(ContributionBaseCap(2009), 41'500'000);
    EXPECT_EQ(ContributionBaseCap(2010), 41'500'000);
    EXPECT_EQ(ContributionBaseCap(2011), 46'300'000);

    // 2010: 45,000 roubles a month; by October 450,000 against a cap of
    // 415,000 roubles; the accident insurance takes the whole month.
    ContribWorld w(2010, 10);
    w.doc.refFiles.sbor[2] = {QStringLiteral("НС"), 995, 1, 0};
    w.doc.refFiles.sborCount = 3;
    for (int m = 1; m <= 9; ++m) addArchive(w.doc, archive(1, 4'500'000, 2010, m));
    w.add(row(1, 4'500'000, 10));
    int r = 1;
    const auto b = w.bases(MonthKey(2010, 1).value(), MonthKey(2010, 10).value(), 0, 0, nullptr, &r);
    ASSERT_EQ(r, 0);
    EXPECT_EQ(b[3].chargeable, 1'000'000); // 990: only up to 415,000 roubles
    EXPECT_EQ(b[4].chargeable, 1'000'000); // 992
    EXPECT_EQ(b[5].base, 4'500'000);
    EXPECT_EQ(b[5].chargeable, 4'500'000); // 995: no cap
    EXPECT_EQ(b[0].chargeable, 40'500'000);

    // 2011: the same earnings stay below 463,000 roubles.
    ContribWorld v(2011, 10);
    for (int m = 1; m <= 9; ++m) addArchive(v.doc, archive(1, 4'500'000, 2011, m));
    v.add(row(1, 4'500'000, 10));
    const auto c = v.bases(MonthKey(2011, 1).value(), MonthKey(2011, 10).value());
    EXPECT_EQ(c[2].chargeable, 4'500'000);
}

TEST(PensionInsuranceSplit, ReducedRateOfTheDisabledFromTheScale)
{
    PayrollDoc doc;
    setReportingMonth(doc, 2011, 3);
    doc.infoBase.current.head.datR = date(5, 6, 1980);
    // Pension 26 %, 16 % on the pay of the disabled: 1,000 x 26 + 500 x 16.
    EXPECT_DOUBLE_EQ(PensionInsuranceSplit(990, firstBand(26, 0, 10), 1000, 500, doc), 26'000 + 8'000);
    // The insurance part of the pension (a record without a code) is reduced
    // the same way: 20 %, 10 % for the disabled.
    EXPECT_DOUBLE_EQ(PensionInsuranceSplit(0, firstBand(20, 0, 10), 0, 500, doc), 5'000);
    // Social insurance 2.9 %, 1.9 % for the disabled.
    EXPECT_DOUBLE_EQ(PensionInsuranceSplit(992, firstBand(2, 90, 1), 1000, 500, doc), 2'900 + 950);
    // A scale without a reduction charges the disabled in full.
    EXPECT_DOUBLE_EQ(PensionInsuranceSplit(993, firstBand(2, 0), 0, 500, doc), 1'000);
    // A reduction above the rate charges nothing, never a negative amount.
    EXPECT_DOUBLE_EQ(PensionInsuranceSplit(994, firstBand(1, 10, 2), 1000, 500, doc), 1'100);
    EXPECT_EQ(PensionInsuranceSplit(990, firstBand(26, 0, 10), -10, 5, doc), 0);
}

TEST(DisabledInMonth, ThePeriodEndsBeforeItsEndMonth)
{
    EmployeeHead h;
    h.invDat1Begin = std::uint16_t(MonthKey(2010, 6).value());
    h.invDat1End = std::uint16_t(MonthKey(2011, 2).value());
    EXPECT_FALSE(DisabledInMonth(h, MonthKey(2010, 5).value()));
    EXPECT_TRUE(DisabledInMonth(h, MonthKey(2010, 6).value()));
    EXPECT_TRUE(DisabledInMonth(h, MonthKey(2011, 1).value()));
    EXPECT_FALSE(DisabledInMonth(h, MonthKey(2011, 2).value()));
    h.invDat2Begin = std::uint16_t(MonthKey(2011, 4).value()); // open
    EXPECT_FALSE(DisabledInMonth(h, MonthKey(2011, 3).value()));
    EXPECT_TRUE(DisabledInMonth(h, MonthKey(2030, 12).value()));
    EXPECT_FALSE(DisabilityPeriodCovers(0, 0, MonthKey(2011, 3).value()));
}

TEST(CalcMonthContributions, DisabilityPeriodWithThePensionSplit)
{
    ContribWorld w(2024, 3);
    w.doc.refFiles.sborCount = 1; // the pension contribution alone
    reduceSecondTable(w.doc);
    w.doc.infoBase.current.head.invDat1Begin = std::uint16_t(MonthKey(2024, 2).value()); // from February, open
    addArchive(w.doc, archive(1, 1'000'000, 2024, 1));
    addArchive(w.doc, archive(1, 1'000'000, 2024, 2));
    w.add(row(1, 1'000'000, 3));
    w.add(row(800, 500'000, 3)); // a deduction of fund 1 never enters the base
    w.add(row(600, 700'000, 3)); // unpaid time is skipped
    const auto b = w.bases(MonthKey(2024, 1).value(), MonthKey(2024, 3).value());
    EXPECT_EQ(b[0].base, 2'000'000);
    EXPECT_EQ(b[0].disabilityIncome, 1'000'000);
    EXPECT_EQ(b[0].disabilityWithinCap, 1'000'000);
    EXPECT_EQ(b[0].chargeable, 1'000'000);
    EXPECT_EQ(b[1].base, 1'000'000);
    EXPECT_EQ(b[1].baseLessAllowance, 0);
    EXPECT_EQ(b[1].chargeable, 0);
    // 22 % on 10,000 roubles, 22 - 12 = 10 % on the 20,000 roubles of disability months.
    ASSERT_EQ(w.calc(), 1);
    EXPECT_EQ(w.rows[3].sum, 220'000 + 200'000);

    // A row of the contribution's own code is what was already charged.
    ContribWorld v(2024, 3);
    v.doc.refFiles.sborCount = 1;
    reduceSecondTable(v.doc);
    v.doc.infoBase.current.head.invDat1Begin = std::uint16_t(MonthKey(2024, 2).value());
    addArchive(v.doc, archive(1, 1'000'000, 2024, 1));
    addArchive(v.doc, archive(1, 1'000'000, 2024, 2));
    v.add(row(1, 1'000'000, 3));
    v.add(row(990, 100'000, 3));
    ASSERT_EQ(v.calc(), 1);
    EXPECT_EQ(v.rows[2].sum, 320'000);

    // A period that ends in March: March's pay is charged in full, 22 % on
    // 20,000 roubles and 10 % on February's 10,000.
    ContribWorld e(2024, 3);
    e.doc.refFiles.sborCount = 1;
    reduceSecondTable(e.doc);
    e.doc.infoBase.current.head.invDat1Begin = std::uint16_t(MonthKey(2024, 2).value());
    e.doc.infoBase.current.head.invDat1End = std::uint16_t(MonthKey(2024, 3).value());
    addArchive(e.doc, archive(1, 1'000'000, 2024, 1));
    addArchive(e.doc, archive(1, 1'000'000, 2024, 2));
    e.add(row(1, 1'000'000, 3));
    ASSERT_EQ(e.calc(), 1);
    EXPECT_EQ(e.rows[1].sum, 440'000 + 100'000);
}

TEST(CalcMonthContributions, AgeGroupsBefore2005AndMissingData)
{
    auto amount = [](int bornYear, const char16_t* sex) {
        ContribWorld w(2004, 3);
        w.doc.refFiles.sborCount = 1;
        flatTable(w.doc, 0, 2004, 10, 0, false);
        flatTable(w.doc, 1, 2004, 20, 0, false);
        flatTable(w.doc, 2, 2004, 30, 0, false);
        w.doc.infoBase.current.head.datR = date(1, 1, bornYear);
        w.doc.infoBase.current.head.pol = QString::fromUtf16(sex);
        w.add(row(1, 1'000'000, 3));
        const int r = w.calc();
        return r == 1 ? w.rows[1].sum : double(r);
    };
    EXPECT_EQ(amount(1955, u"Ж"), 100'000); // 1951 is not after 1952: group 0
    EXPECT_EQ(amount(1955, u"М"), 200'000); // group 1
    EXPECT_EQ(amount(1955, u"m"), double(kCalcNoSex)); // no recognised sex letter: -43, "Не указан пол"
    EXPECT_EQ(amount(1970, u""), 300'000); // born after 1966: group 2, sex not needed

    ContribWorld n(2024, 3);
    n.doc.infoBase.current.head.datR = 0;
    n.add(row(1, 1'000'000, 3));
    EXPECT_EQ(n.calc(), kCalcNoBirthDate); // -33, "Не указана дата рождения"
    // From 2005 the sex is not asked for.
    ContribWorld s(2024, 3);
    s.doc.infoBase.current.head.datR = date(1, 1, 1955);
    s.doc.infoBase.current.head.pol.clear();
    s.add(row(1, 1'000'000, 3));
    EXPECT_GT(s.calc(), 0);
    ContribWorld t(2024, 3);
    t.doc.refFiles.sbor[1].table = 0;
    t.add(row(1, 1'000'000, 3));
    EXPECT_EQ(t.calc(), -32);
    EXPECT_EQ(t.rows[1].kod, 990); // the row before the failure stays
}

TEST(ContributionsByMonths, AllowancesPeriodsAndCodes)
{
    ContribWorld w(2024, 3);
    addArchive(w.doc, archive(75, 300'000, 2024, 2));
    w.add(row(75, 300'000, 3));
    int r = 1;
    auto b = w.bases(MonthKey(2024, 1).value(), MonthKey(2024, 3).value(), 0, 0, nullptr, &r);
    ASSERT_EQ(r, 0);
    EXPECT_EQ(b[0].codes[0], 2760u);
    EXPECT_EQ(b[0].allowance, 300'000);
    EXPECT_EQ(b[0].codeAllowance[0], 300'000);
    EXPECT_EQ(b[2].allowance, 100'000); // what is left of 4,000 roubles
    EXPECT_EQ(b[2].chargeable, 200'000);
    EXPECT_EQ(b[0].chargeable, 0);

    w.bases(MonthKey(2023, 1).value(), MonthKey(2024, 1).value(), 0, 0, nullptr, &r);
    EXPECT_EQ(r, -29);
    auto kinds = w.doc.infoBase.payKinds();
    for (int i = 0; i < 4; ++i) {
        PayKind k = kind(80 + i, {}, 1, 2700 + i);
        k.sumSkidSoc = 1;
        kinds.push_back(k);
    }
    setKinds(w.doc, kinds);
    w.bases(MonthKey(2024, 1).value(), MonthKey(2024, 3).value(), 0, 0, nullptr, &r);
    EXPECT_EQ(r, -30);

    ContribWorld u(2024, 3);
    addArchive(u.doc, archive(1, 100, 2024, 0));
    u.bases(MonthKey(2024, 1).value(), MonthKey(2024, 3).value(), 0, 0, nullptr, &r);
    EXPECT_EQ(r, -8);
    ContribWorld x(2024, 3);
    x.add(row(321, 100, 3));
    x.bases(MonthKey(2024, 1).value(), MonthKey(2024, 3).value(), 0, 0, nullptr, &r);
    EXPECT_EQ(r, -5);
}

TEST(ContributionsByMonths, EmployeesOutsideOrPartlyOutsideTheCharge)
{
    // An officer is not charged.
    ContribWorld o(2024, 3);
    o.doc.infoBase.current.head.flags = 1;
    o.add(row(1, 1'000'000, 3));
    EXPECT_EQ(o.bases(MonthKey(2024, 1).value(), MonthKey(2024, 3).value())[2].base, 0);

    // A foreigner staying temporarily: only the last kind of the list; the
    // income goes once to totals [4]/[5] instead.
    ContribWorld f(2024, 3);
    f.doc.infoBase.current.head.flags = 1u << 9;
    addArchive(f.doc, archive(1, 500'000, 2024, 2));
    f.add(row(1, 1'000'000, 3));
    f.add(row(44, 70'000, 3)); // fund 4: counted in totals [2]/[3], in no base
    f.doc.infoBase.firm.masks[7][1] = 1;
    std::array<double, kContributionTotals> totals{};
    auto b = f.bases(MonthKey(2024, 1).value(), MonthKey(2024, 3).value(), 0, 0, totals.data());
    EXPECT_EQ(b[2].base, 0); // 990
    EXPECT_EQ(b[3].base, 1'000'000); // 992, the last kind
    EXPECT_EQ(totals[4], 500'000);
    EXPECT_EQ(totals[5], 1'000'000);
    EXPECT_EQ(totals[0], 500'000); // mask table 8
    EXPECT_EQ(totals[1], 1'000'000);
    EXPECT_EQ(totals[3], 70'000);

    // Imputed income in March: 991-994 not charged then (rule 0), or only then (rule 1).
    ContribWorld v(2024, 3);
    v.doc.infoBase.current.head.vmenWord = 1 | (1 << 3);
    v.doc.infoBase.current.head.vmenAsk0 = 1;
    addArchive(v.doc, archive(1, 500'000, 2024, 2));
    v.add(row(1, 1'000'000, 3));
    b = v.bases(MonthKey(2024, 1).value(), MonthKey(2024, 3).value());
    EXPECT_EQ(b[2].base, 1'000'000); // 990 charged
    EXPECT_EQ(b[3].base, 0); // 992 not in March
    EXPECT_EQ(b[1].base, 500'000); // 992 in February
    b = v.bases(MonthKey(2024, 1).value(), MonthKey(2024, 3).value(), 0, 1);
    EXPECT_EQ(b[0].base, 0);
    EXPECT_EQ(b[2].base, 1'000'000);

    // Entries before the hiring month are skipped; month rule 1 dates rows by their own month.
    ContribWorld h(2024, 3);
    h.doc.infoBase.current.head.datPr1 = date(10, 2, 2024);
    addArchive(h.doc, archive(1, 400'000, 2024, 1));
    addArchive(h.doc, archive(1, 300'000, 2024, 2));
    h.add(row(1, 200'000, 2));
    b = h.bases(MonthKey(2024, 1).value(), MonthKey(2024, 3).value());
    EXPECT_EQ(b[0].base, 300'000);
    EXPECT_EQ(b[2].base, 200'000);
    b = h.bases(MonthKey(2024, 1).value(), MonthKey(2024, 3).value(), 1);
    EXPECT_EQ(b[0].base, 500'000);
    EXPECT_EQ(b[2].base, 0);
}

TEST(ContributionsByMonths, AllowanceInsideADisabilityPeriodLeavesNoNegativeBase)
{
    ContribWorld w(2024, 3);
    w.doc.refFiles.sborCount = 1;
    reduceSecondTable(w.doc);
    w.doc.infoBase.current.head.invDat1Begin = std::uint16_t(MonthKey(2024, 1).value());
    w.add(row(1, 1'000'000, 3));
    w.add(row(75, 300'000, 3));
    const auto b = w.bases(MonthKey(2024, 1).value(), MonthKey(2024, 3).value());
    EXPECT_EQ(b[1].allowance, 300'000);
    EXPECT_EQ(b[1].disabilityIncome, 1'000'000);
    EXPECT_EQ(b[1].disabilityWithinCap, 1'000'000);
    EXPECT_EQ(b[1].baseLessAllowance, 0);
    EXPECT_EQ(b[1].chargeable, 0);
    ASSERT_EQ(w.calc(), 1);
    EXPECT_EQ(w.rows[2].sum, 100'000); // 10,000 roubles of disability months at 22 - 12 %
}

#ifdef KALVOR_DATA_DIR
// The contributions of a disabled employee (group II, since 2009) paid 20,000
// roubles in January, by the reference files that the program ships, worked
// out from the law. 2010: pension 14 % (insurance part 14 % for those born
// before 1967, 8 % + 6 % funded for the younger), social insurance and both
// medical funds 0 %. 2011: pension 16 % (insurance part 16 %, or 10 % + 6 %
// funded), social insurance 1.9 %, federal medical 1.1 %, territorial 1.2 %.
// Accident insurance 60 % of its 0.2 % in both years.
TEST(CalcMonthContributions, DisabledEmployeesByTheLawOfTheYear)
{
    struct Case {
        int born, year;
        double pension, social, territorial, federal, accidents, insurancePart, fundedPart; // roubles
    };
    const Case cases[] = {
        {1960, 2010, 2'800, 0, 0, 0, 24, 2'800, 0},
        {1980, 2010, 2'800, 0, 0, 0, 24, 1'600, 1'200},
        {1960, 2011, 3'200, 380, 240, 220, 24, 3'200, 0},
        {1980, 2011, 3'200, 380, 240, 220, 24, 2'000, 1'200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "born " << c.born << ", " << c.year);
        PayrollDoc doc;
        setReportingMonth(doc, c.year, 1);
        setKinds(doc, {kind(4, {"oblPodoh"}, 1, 2000), kind(990), kind(992), kind(993), kind(994), kind(995)});
        doc.refFiles.setFolder(QStringLiteral(KALVOR_DATA_DIR "/"));
        ASSERT_TRUE(doc.refFiles.ReadNalog());
        ASSERT_TRUE(doc.refFiles.ReadSbor());
        EmployeeHead& h = doc.infoBase.current.head;
        h.datR = date(10, 3, c.born);
        h.invDat1Begin = std::uint16_t(MonthKey(2009, 2).value());
        std::vector<AccrualRow> rows(kCalcResultRows);
        rows[0] = row(4, 2'000'000, 1);
        const int n = CalcMonthContributions(rows.data(), 1, doc);
        ASSERT_GE(n, 0);
        std::map<int, double> charged;
        for (int i = 1; i <= n; ++i) charged[rows[std::size_t(i)].kod] += rows[std::size_t(i)].sum / 100;
        EXPECT_EQ(charged[990], c.pension);
        EXPECT_EQ(charged[992], c.social);
        EXPECT_EQ(charged[993], c.territorial);
        EXPECT_EQ(charged[994], c.federal);
        EXPECT_EQ(charged[995], c.accidents);
        for (int k = 1; k <= n; ++k) EXPECT_GT(rows[std::size_t(k)].sum, 0);

        // The two parts of the pension: records 5 and 6 of the book, without
        // a code, by the table of the employee's birth group.
        const int group = c.born > 1966 ? 1 : 0;
        const auto part = [&](int record) {
            const int index = doc.refFiles.sbor[std::size_t(record)].table - 1 + group;
            const int v = TaxVariantForMonth(index + 1, kalvor::MonthIndex(c.year, 1), doc);
            EXPECT_GE(v, 0);
            const TaxScale& scale = doc.refFiles.nalog[std::size_t(index)].variants[std::size_t(v)].scale;
            return RoundWhole(PensionInsuranceSplit(0, scale, 0, 20'000, doc)) / 100;
        };
        EXPECT_EQ(part(4), c.insurancePart);
        EXPECT_EQ(part(5), c.fundedPart);
    }
}
#endif
