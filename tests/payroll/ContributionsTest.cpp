// Insurance contributions: the yearly cap crossed inside a month, disability
// periods with the pension split, allowances, age groups, foreign and imputed
// regimes, and the month's contribution rows.
#include "PayrollWorld.h"

#include "payroll/Contributions.h"

#include <gtest/gtest.h>

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

TaxScale firstBand(int percent, int hundredths)
{
    TaxScale s{};
    s[0] = TaxScaleBand{0, 0, std::uint8_t(percent), std::uint8_t(hundredths), 0};
    return s;
}

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
    const auto b = w.bases(MonthKey(2024, 1), MonthKey(2024, 11), 0, 0, nullptr, &r);
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
    const auto c = d.bases(MonthKey(2024, 1), MonthKey(2024, 12));
    EXPECT_EQ(c[2].chargeable, 0);
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
    const auto b = w.bases(MonthKey(2010, 1), MonthKey(2010, 10), 0, 0, nullptr, &r);
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
    const auto c = v.bases(MonthKey(2011, 1), MonthKey(2011, 10));
    EXPECT_EQ(c[2].chargeable, 4'500'000);
}

TEST(PensionInsuranceSplit, RatesByCodeBirthYearAndYear)
{
    PayrollDoc doc;
    setReportingMonth(doc, 2024, 3);
    doc.infoBase.current.head.datR = date(5, 6, 1980);
    const TaxScale pension = firstBand(20, 0);
    EXPECT_DOUBLE_EQ(PensionInsuranceSplit(990, pension, 1000, 500, doc), 1000 * 20 + 500 * 10);
    doc.infoBase.current.head.datR = date(5, 6, 1960);
    EXPECT_DOUBLE_EQ(PensionInsuranceSplit(990, pension, 1000, 500, doc), 1000 * 20 + 500 * 16);
    const TaxScale social = firstBand(2, 90);
    EXPECT_DOUBLE_EQ(PensionInsuranceSplit(992, social, 1000, 500, doc), 2900 + 500 * 1.9);
    EXPECT_DOUBLE_EQ(PensionInsuranceSplit(993, social, 0, 500, doc), 500 * 2.1);
    EXPECT_DOUBLE_EQ(PensionInsuranceSplit(994, social, 0, 500, doc), 500 * 0.9);
    EXPECT_DOUBLE_EQ(PensionInsuranceSplit(991, social, 1000, 500, doc), 1500 * 2.9);
    EXPECT_EQ(PensionInsuranceSplit(990, pension, -10, 5, doc), 0);
    setReportingMonth(doc, 2009, 3);
    EXPECT_DOUBLE_EQ(PensionInsuranceSplit(992, social, 1000, 500, doc), 1500 * 2.9);
}

TEST(CalcMonthContributions, DisabilityPeriodWithThePensionSplit)
{
    ContribWorld w(2024, 3);
    w.doc.refFiles.sborCount = 1; // the pension contribution alone
    w.doc.infoBase.current.head.invDat1Begin = std::uint16_t(MonthKey(2024, 2)); // from February, open
    addArchive(w.doc, archive(1, 1'000'000, 2024, 1));
    addArchive(w.doc, archive(1, 1'000'000, 2024, 2));
    w.add(row(1, 1'000'000, 3));
    w.add(row(800, 500'000, 3)); // a deduction of fund 1 never enters the base
    w.add(row(600, 700'000, 3)); // unpaid time is skipped
    const auto b = w.bases(MonthKey(2024, 1), MonthKey(2024, 3));
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
    v.doc.infoBase.current.head.invDat1Begin = std::uint16_t(MonthKey(2024, 2));
    addArchive(v.doc, archive(1, 1'000'000, 2024, 1));
    addArchive(v.doc, archive(1, 1'000'000, 2024, 2));
    v.add(row(1, 1'000'000, 3));
    v.add(row(990, 100'000, 3));
    ASSERT_EQ(v.calc(), 1);
    EXPECT_EQ(v.rows[2].sum, 320'000);
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
    EXPECT_EQ(amount(1955, u"m"), -33); // no recognised sex letter
    EXPECT_EQ(amount(1970, u""), 300'000); // born after 1966: group 2, sex not needed

    ContribWorld n(2024, 3);
    n.doc.infoBase.current.head.datR = 0;
    n.add(row(1, 1'000'000, 3));
    EXPECT_EQ(n.calc(), -33);
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
    auto b = w.bases(MonthKey(2024, 1), MonthKey(2024, 3), 0, 0, nullptr, &r);
    ASSERT_EQ(r, 0);
    EXPECT_EQ(b[0].codes[0], 2760u);
    EXPECT_EQ(b[0].allowance, 300'000);
    EXPECT_EQ(b[0].codeAllowance[0], 300'000);
    EXPECT_EQ(b[2].allowance, 100'000); // what is left of 4,000 roubles
    EXPECT_EQ(b[2].chargeable, 200'000);
    EXPECT_EQ(b[0].chargeable, 0);

    w.bases(MonthKey(2023, 1), MonthKey(2024, 1), 0, 0, nullptr, &r);
    EXPECT_EQ(r, -29);
    auto kinds = w.doc.infoBase.payKinds;
    for (int i = 0; i < 4; ++i) {
        PayKind k = kind(80 + i, {}, 1, 2700 + i);
        k.sumSkidSoc = 1;
        kinds.push_back(k);
    }
    setKinds(w.doc, kinds);
    w.bases(MonthKey(2024, 1), MonthKey(2024, 3), 0, 0, nullptr, &r);
    EXPECT_EQ(r, -30);

    ContribWorld u(2024, 3);
    addArchive(u.doc, archive(1, 100, 2024, 0));
    u.bases(MonthKey(2024, 1), MonthKey(2024, 3), 0, 0, nullptr, &r);
    EXPECT_EQ(r, -8);
    ContribWorld x(2024, 3);
    x.add(row(321, 100, 3));
    x.bases(MonthKey(2024, 1), MonthKey(2024, 3), 0, 0, nullptr, &r);
    EXPECT_EQ(r, -5);
}

TEST(ContributionsByMonths, EmployeesOutsideOrPartlyOutsideTheCharge)
{
    // An officer is not charged.
    ContribWorld o(2024, 3);
    o.doc.infoBase.current.head.flags = 1;
    o.add(row(1, 1'000'000, 3));
    EXPECT_EQ(o.bases(MonthKey(2024, 1), MonthKey(2024, 3))[2].base, 0);

    // A foreigner staying temporarily: only the last kind of the list; the
    // income goes once to totals [4]/[5] instead.
    ContribWorld f(2024, 3);
    f.doc.infoBase.current.head.flags = 1u << 9;
    addArchive(f.doc, archive(1, 500'000, 2024, 2));
    f.add(row(1, 1'000'000, 3));
    f.add(row(44, 70'000, 3)); // fund 4: counted in totals [2]/[3], in no base
    f.doc.infoBase.firm.masks[7][1] = 1;
    std::array<double, kContributionTotals> totals{};
    auto b = f.bases(MonthKey(2024, 1), MonthKey(2024, 3), 0, 0, totals.data());
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
    b = v.bases(MonthKey(2024, 1), MonthKey(2024, 3));
    EXPECT_EQ(b[2].base, 1'000'000); // 990 charged
    EXPECT_EQ(b[3].base, 0); // 992 not in March
    EXPECT_EQ(b[1].base, 500'000); // 992 in February
    b = v.bases(MonthKey(2024, 1), MonthKey(2024, 3), 0, 1);
    EXPECT_EQ(b[0].base, 0);
    EXPECT_EQ(b[2].base, 1'000'000);

    // Entries before the hiring month are skipped; month rule 1 dates rows by their own month.
    ContribWorld h(2024, 3);
    h.doc.infoBase.current.head.datPr1 = date(10, 2, 2024);
    addArchive(h.doc, archive(1, 400'000, 2024, 1));
    addArchive(h.doc, archive(1, 300'000, 2024, 2));
    h.add(row(1, 200'000, 2));
    b = h.bases(MonthKey(2024, 1), MonthKey(2024, 3));
    EXPECT_EQ(b[0].base, 300'000);
    EXPECT_EQ(b[2].base, 200'000);
    b = h.bases(MonthKey(2024, 1), MonthKey(2024, 3), 1);
    EXPECT_EQ(b[0].base, 500'000);
    EXPECT_EQ(b[2].base, 0);
}

TEST(ContributionsByMonths, AllowanceInsideADisabilityPeriodLeavesNoNegativeBase)
{
    ContribWorld w(2024, 3);
    w.doc.refFiles.sborCount = 1;
    w.doc.infoBase.current.head.invDat1Begin = std::uint16_t(MonthKey(2024, 1));
    w.add(row(1, 1'000'000, 3));
    w.add(row(75, 300'000, 3));
    const auto b = w.bases(MonthKey(2024, 1), MonthKey(2024, 3));
    EXPECT_EQ(b[1].allowance, 300'000);
    EXPECT_EQ(b[1].disabilityIncome, 1'000'000);
    EXPECT_EQ(b[1].disabilityWithinCap, 1'000'000);
    EXPECT_EQ(b[1].baseLessAllowance, 0);
    EXPECT_EQ(b[1].chargeable, 0);
    ASSERT_EQ(w.calc(), 1);
    EXPECT_EQ(w.rows[2].sum, 100'000); // 10,000 roubles of disability months at 22 - 12 %
}
