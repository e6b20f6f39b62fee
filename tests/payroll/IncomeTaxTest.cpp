// Income tax: scales and charges, table variants, the income statement with
// allowances and deductions, and the month's tax rows of residents,
// non-residents, employees with income at a former employer.
#include "PayrollWorld.h"

#include "payroll/IncomeTax.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace payrolltest;

namespace {

constexpr double kSalary = 3'000'000; // 30,000 roubles

// March 2024; table 1: 13 % from January (cumulative), then 15 % above 100,000
// roubles with 13,000 roubles fixed; table 2: 30 % of each month.
struct TaxWorld {
    PayrollDoc doc;
    std::vector<AccrualRow> rows = std::vector<AccrualRow>(kCalcResultRows);
    int count = 0;

    TaxWorld()
    {
        setReportingMonth(doc, 2024, 3);
        setKinds(doc, {kind(1, {"oblPodoh", "oblProf"}, 1, 2000), kind(71, {"oblPodoh"}, 1, 1010),
                       kind(79, {"oblPodoh"}, 1, 1011), kind(401), kind(600), kind(800), kind(902), kind(919)});
        flatTable(doc, 0, 2024, 13, 0, true);
        doc.refFiles.nalog[0].variants[0].scale[1] = TaxScaleBand{100'000, 13'000, 15, 0, 0};
        flatTable(doc, 1, 2024, 30, 0, false);
        auto& book = doc.refFiles.vichet;
        book.records[0] = {126, QStringLiteral("child"), 140'000, 35'000'000};
        book.records[1] = {103, QStringLiteral("own"), 40'000, 4'000'000};
        book.records[2] = {311, QStringLiteral("sum"), 0, 0};
        book.count = 3;
        doc.infoBase.current.head.tabPodoh = 1;
    }
    void add(const AccrualRow& r) { rows[std::size_t(count++)] = r; }
    // Salary in January and February with the tax withheld, and March's salary row.
    void quarter(double withheldJan, double withheldFeb, double salary = kSalary)
    {
        addArchive(doc, archive(1, salary, 2024, 1));
        addArchive(doc, archive(902, withheldJan, 2024, 1));
        addArchive(doc, archive(1, salary, 2024, 2));
        addArchive(doc, archive(902, withheldFeb, 2024, 2));
        add(row(1, salary, 3));
    }
    void deduction(int slot, int code, int krat = 1, double sum = 0)
    {
        auto& n = doc.infoBase.current.nalvich[std::size_t(slot)];
        n.kod = std::uint16_t(code);
        n.start = std::uint16_t(MonthKey(2024, 1).value());
        n.krat = std::int8_t(krat);
        n.sum = sum;
    }
    int tax(int tableArgument = 0) { return CalcIncomeTax(tableArgument, rows.data(), count, doc); }
};

TaxScale scaleOf(std::initializer_list<TaxScaleBand> bands)
{
    TaxScale s{};
    std::size_t i = 0;
    for (const auto& b : bands) s[i++] = b;
    return s;
}

} // namespace

TEST(TaxCharges, PercentScaleAndLookup)
{
    const TaxScale flat = scaleOf({{0, 0, 13, 0, 0}});
    EXPECT_EQ(PercentCharge(flat, 1000, 0), 13'000);
    for (double earlier : {1.0, 250.0, 99'999.0})
        EXPECT_DOUBLE_EQ(PercentCharge(flat, 1000, earlier), 13'000) << earlier;
    EXPECT_EQ(PercentCharge(flat, -5, 0), 0);

    const TaxScale progressive = scaleOf({{0, 0, 13, 0, 0}, {50'000, 6'500, 15, 0, 0}, {100'000, 14'000, 20, 50, 0}});
    EXPECT_DOUBLE_EQ(PercentCharge(progressive, 60'000, 0), 15 * 10'000 + 650'000);
    EXPECT_DOUBLE_EQ(PercentCharge(progressive, 110'000, 0), 20.5 * 10'000 + 1'400'000);
    // Earlier income is taken off at the first band's rate.
    EXPECT_DOUBLE_EQ(PercentCharge(progressive, 20'000, 40'000), 15 * 10'000 + 650'000 - 13 * 40'000);

    // A scale starting above the amount: nothing by PercentCharge, the first band by ScaleCharge.
    const TaxScale high = scaleOf({{1'000, 50, 10, 0, 0}});
    EXPECT_EQ(PercentCharge(high, 500, 0), 0);
    EXPECT_DOUBLE_EQ(ScaleCharge(high, 500, 0), 10 * (500 - 1'000) + 5'000);
    EXPECT_DOUBLE_EQ(ScaleCharge(flat, -100, 0), -1'300);

    EXPECT_DOUBLE_EQ(ScaleLookup(progressive, 1'000, 60'000), 15'000);
    EXPECT_DOUBLE_EQ(ScaleLookup(progressive, 1'000, 10), 13'000);
    EXPECT_EQ(ScaleLookup(progressive, 0, 60'000), 0);
    EXPECT_EQ(ScaleLookup(high, 1'000, 999), 0);
}

TEST(TaxTables, VariantOfTheMonth)
{
    PayrollDoc doc;
    auto& t = doc.refFiles.nalog[4]; // table 5
    t.variants[0] = {};
    t.variants[0].first = std::uint16_t(MonthIndex(2023, 1));
    t.variants[0].last = std::uint16_t(MonthIndex(2023, 12));
    t.variants[1].first = std::uint16_t(MonthIndex(2024, 1));
    EXPECT_EQ(TaxVariantForMonth(5, MonthIndex(2023, 6), doc), 0);
    EXPECT_EQ(TaxVariantForMonth(5, MonthIndex(2030, 1), doc), 1);
    EXPECT_EQ(TaxVariantForMonth(5, MonthIndex(2022, 12), doc), -21);
    t.variants[0].last = 0; // open: both valid from 2024
    EXPECT_EQ(TaxVariantForMonth(5, MonthIndex(2024, 2), doc), -21);
    EXPECT_EQ(TaxVariantForMonth(6, MonthIndex(2024, 2), doc), -21); // no variant defined

    // A year is the tables' own when a variant of some table begins in it:
    // 2023 and 2024 are, 2025 (computed by the open variant of 2024) is not.
    EXPECT_EQ(TaxTablesYearWarning(2023, doc), QString());
    EXPECT_EQ(TaxTablesYearWarning(2024, doc), QString());
    EXPECT_EQ(TaxTablesYearWarning(2025, doc), QStringLiteral("Справочник налогов не содержит таблиц на 2025 год"));
    EXPECT_EQ(TaxTablesYearWarning(2025, PayrollDoc{}), QString()); // no table at all: nothing to judge by
    EXPECT_EQ(TaxVariantForMonth(21, MonthIndex(2024, 2), doc), -21);
}

TEST(TaxForMonth, TableNumbersAndRounding)
{
    TaxWorld w;
    EXPECT_EQ(TaxForMonth(0, 100'000, w.doc), -32);
    EXPECT_EQ(TaxForMonth(1, 100'050, w.doc), 13'007); // 13,006.5 kopecks, half up
    EXPECT_EQ(TaxForMonth(2, 100'000, w.doc), 30'000);
    EXPECT_EQ(TaxForMonth(3, 100'000, w.doc), -21);

    w.doc.infoBase.firm.tabGrp2 = 0;
    EXPECT_EQ(TaxWithScale(100'001, MonthKey(2024, 3).value(), w.doc), 30'000); // 30 %, whole kopecks
    w.doc.infoBase.firm.tabGrp2 = -1;
    EXPECT_EQ(TaxWithScale(100'000, MonthKey(2024, 3).value(), w.doc), 0);
    w.doc.infoBase.firm.tabGrp2 = 3;
    flatTable(w.doc, 2, 2024, 9, 0, false);
    EXPECT_EQ(TaxWithScale(100'000, MonthKey(2024, 3).value(), w.doc), 9'000);
    EXPECT_EQ(TaxWithScale(100'000, MonthKey(2025, 3).value(), w.doc), 0); // no variant in 2025
}

TEST(IncomeByMonths, DeductionStopsWhenIncomePassesItsLimit)
{
    TaxWorld w;
    w.quarter(0, 0, 1'500'000);
    w.deduction(0, 103, 2); // twice 400 roubles a month while the income is at most 40,000 roubles
    std::vector<IncomeMonthRow> rows(12);
    ASSERT_EQ(IncomeByMonths(MonthKey(2024, 1).value(), MonthKey(2024, 3).value(), 0, 1, rows.data(), w.rows.data(), w.count, w.doc),
              0);
    EXPECT_EQ(rows[0].deductions[0], 80'000);
    EXPECT_EQ(rows[1].deductions[0], 80'000);
    EXPECT_EQ(rows[2].deductions[0], 0); // 45,000 roubles since January
    EXPECT_EQ(rows[2].base, 4'500'000 - 160'000);
    EXPECT_EQ(rows[2].taxable, 1'500'000);
    EXPECT_EQ(rows[0].incomeCodes[0], 2000u);

    // A deduction of its own sum is given up to that sum, at most the income.
    w.deduction(1, 311, 1, 2'000'000);
    ASSERT_EQ(IncomeByMonths(MonthKey(2024, 1).value(), MonthKey(2024, 3).value(), 0, 1, rows.data(), w.rows.data(), w.count, w.doc),
              0);
    EXPECT_EQ(rows[0].deductions[1], 1'500'000 - 80'000);
    EXPECT_EQ(rows[1].deductions[1], 2'000'000 - 1'420'000);
    EXPECT_EQ(rows[2].deductions[1], 0);
    EXPECT_EQ(rows[2].base, 4'500'000 - 160'000 - 2'000'000);
}

TEST(IncomeByMonths, AllowancesPeriodsAndErrors)
{
    TaxWorld w;
    auto kinds = w.doc.infoBase.payKinds();
    PayKind gift = kind(75, {"oblPodoh"}, 1, 2720);
    gift.kodSkid = 501;
    gift.sumSkidPodoh = 400'000; // 4,000 roubles a year free of tax
    kinds.push_back(gift);
    setKinds(w.doc, kinds);
    addArchive(w.doc, archive(75, 300'000, 2024, 1));
    w.add(row(75, 300'000, 3));
    std::vector<IncomeMonthRow> rows(12);
    ASSERT_EQ(IncomeByMonths(MonthKey(2024, 1).value(), MonthKey(2024, 3).value(), 0, 1, rows.data(), w.rows.data(), w.count, w.doc),
              0);
    const int code = 1; // slot of income code 2720 (2000 comes first)
    EXPECT_EQ(rows[0].incomeCodes[std::size_t(code)], 2720u);
    EXPECT_EQ(rows[0].deductionCodes[std::size_t(code)], 501u);
    EXPECT_EQ(rows[0].allowances[std::size_t(code)], 300'000);
    EXPECT_EQ(rows[2].allowances[std::size_t(code)], 100'000);
    EXPECT_EQ(rows[2].lessAllowances, 200'000);
    EXPECT_EQ(rows[2].base, 200'000);

    EXPECT_EQ(IncomeByMonths(MonthKey(2024, 1).value(), MonthKey(2025, 1).value(), 0, 1, rows.data(), nullptr, 0, w.doc), -29);
    EXPECT_EQ(IncomeByMonths(MonthKey(2024, 3).value(), MonthKey(2024, 1).value(), 0, 1, rows.data(), nullptr, 0, w.doc), -29);
    w.doc.infoBase.current.nalvich[0].kod = 999;
    EXPECT_EQ(IncomeByMonths(MonthKey(2024, 1).value(), MonthKey(2024, 3).value(), 0, 1, rows.data(), nullptr, 0, w.doc), -31);
    w.doc.infoBase.current.nalvich[0].kod = 0;
    w.add(row(555, 1, 3));
    EXPECT_EQ(IncomeByMonths(MonthKey(2024, 1).value(), MonthKey(2024, 3).value(), 0, 1, rows.data(), w.rows.data(), w.count, w.doc),
              -5);
    addArchive(w.doc, archive(1, 1, 2024, 0));
    EXPECT_EQ(IncomeByMonths(MonthKey(2024, 1).value(), MonthKey(2024, 3).value(), 0, 1, rows.data(), nullptr, 0, w.doc), -8);
}

TEST(CalcIncomeTax, ResidentWithAndWithoutStandardDeductions)
{
    TaxWorld plain;
    plain.quarter(390'000, 390'000);
    ASSERT_EQ(plain.tax(), 1);
    EXPECT_EQ(plain.rows[1].kod, 902);
    EXPECT_EQ(plain.rows[1].sum, 390'000);
    EXPECT_EQ(plain.rows[1].mes, 3);

    TaxWorld child;
    child.quarter(371'800, 371'800);
    child.deduction(0, 126);
    ASSERT_EQ(child.tax(), 1);
    EXPECT_EQ(child.rows[1].sum, 371'800); // 13 % of (30,000 - 1,400) roubles

    // Already withheld in full: no row.
    TaxWorld paid;
    paid.quarter(390'000, 390'000);
    paid.add(row(902, 390'000, 3));
    EXPECT_EQ(paid.tax(), 0);
    EXPECT_EQ(paid.rows[2], AccrualRow{});

    // Progressive band above 100,000 roubles since January.
    TaxWorld high;
    high.quarter(0, 0, 4'000'000); // 120,000 roubles by March
    ASSERT_EQ(high.tax(), 1);
    EXPECT_EQ(high.rows[1].sum, 15 * 20'000 + 1'300'000);
}

TEST(CalcIncomeTax, AnEmptyStartMonthBeginsWithTheHireWithinTheYear)
{
    // Hired on 14 February, 22,000 a month: February pays 22,000 x 10/19 =
    // 11,578.95; deduction 103 (400 a month) with its months left empty.
    // Hired within the year: February's 400 alone, 13 % of 11,178.95 =
    // 1,453.26 (this world's tax kind keeps the kopecks).
    TaxWorld hire;
    setReportingMonth(hire.doc, 2024, 2);
    hire.add(row(1, 1'157'895, 2));
    hire.deduction(0, 103);
    hire.doc.infoBase.current.nalvich[0].start = 0;
    hire.doc.infoBase.current.head.datPr1 = date(14, 2, 2024);
    ASSERT_EQ(hire.tax(), 1);
    EXPECT_EQ(hire.rows[1].sum, 145'326);

    // Employed since an earlier year: the deduction runs from January,
    // 800 by February: 13 % of 10,778.95 = 1,401.26.
    hire.doc.infoBase.current.head.datPr1 = date(14, 2, 2023);
    hire.rows[1] = {};
    ASSERT_EQ(hire.tax(), 1);
    EXPECT_EQ(hire.rows[1].sum, 140'126);

    // Hired again within the year: the current employment's hire counts.
    hire.doc.infoBase.current.head.datPr2 = date(14, 2, 2024);
    hire.rows[1] = {};
    ASSERT_EQ(hire.tax(), 1);
    EXPECT_EQ(hire.rows[1].sum, 145'326);
}

TEST(CalcIncomeTax, NonResidentTakesTheNextTable)
{
    TaxWorld w;
    w.quarter(900'000, 900'000);
    auto& h = w.doc.infoBase.current.head;
    h.flags = (1u << 9) | (1u << 2); // foreigner, non-resident
    h.inostrDnPrRF = 100;
    ASSERT_EQ(w.tax(), 1);
    EXPECT_EQ(w.rows[1].sum, 900'000); // 30 % of March alone

    // 183 days: the own table again, 13 % of 90,000 since January = 11,700
    // less 18,000 withheld at 30 % is -6,300. The month pays out no tax
    // withheld earlier (it is returned on application, and the next months'
    // tax, counted since January, takes it into account): no tax row.
    h.inostrDnPrRF = 183;
    w.rows[1] = {};
    ASSERT_EQ(w.tax(), 0);
    EXPECT_EQ(w.rows[1].kod, 0);
}

TEST(CalcIncomeTax, ForeignerBecomingResidentThisYear)
{
    TaxWorld w;
    w.quarter(900'000, 900'000);
    auto& h = w.doc.infoBase.current.head;
    h.flags = 1u << 9;
    h.inostrDnPrRF = 200;
    h.inostrDatPr = date(1, 10, 2023); // 183 days reached in March 2024
    ASSERT_EQ(w.tax(), 1);
    EXPECT_EQ(w.rows[1].sum, 390'000); // only March, at 13 %
}

TEST(CalcIncomeTax, IncomeAtAFormerEmployer)
{
    // Hired in March; January and February were earned at a former employer,
    // whose tax (exactly 13 %) is on file: March's deduction is taken back.
    TaxWorld w;
    w.quarter(390'000, 390'000);
    w.deduction(0, 126);
    addArchive(w.doc, archive(401, 6'000'000, 2024, 2));
    w.doc.infoBase.current.head.datPr1 = date(1, 3, 2024);
    ASSERT_EQ(w.tax(), 1);
    EXPECT_EQ(w.rows[1].sum, 13 * (90'000 - 2 * 1'400) - 780'000);

    // The tax on file is not 13 % of that income: the deductions stay.
    TaxWorld v;
    v.quarter(390'000, 400'000);
    v.deduction(0, 126);
    addArchive(v.doc, archive(401, 6'000'000, 2024, 2));
    v.doc.infoBase.current.head.datPr1 = date(1, 3, 2024);
    ASSERT_EQ(v.tax(), 1);
    EXPECT_EQ(v.rows[1].sum, 13 * (90'000 - 3 * 1'400) - 790'000);
}

TEST(CalcIncomeTax, PropertyDeductionFromItsFirstMonth)
{
    TaxWorld w;
    w.quarter(0, 0);
    auto& h = w.doc.infoBase.current.head;
    h.imvichNY = 5'000'000; // 50,000 roubles, from February
    h.imvichOst = 0xE000'0000u | 5'000'000;
    h.imvichDat = date(10, 2, 2024);
    ASSERT_EQ(w.tax(), 1);
    EXPECT_EQ(w.rows[1].sum, 13 * (90'000 - 50'000)); // 60,000 roubles since February cover it
    EXPECT_EQ(h.imvichOst, 0xE000'0000u); // used up; the top bits are kept

    TaxWorld later;
    later.quarter(0, 0);
    auto& g = later.doc.infoBase.current.head;
    g.imvichNY = 5'000'000;
    g.imvichDat = date(1, 3, 2024);
    g.imvichOst = 0;
    ASSERT_EQ(later.tax(), 1);
    EXPECT_EQ(later.rows[1].sum, 13 * (90'000 - 30'000)); // only March's 30,000 roubles
    EXPECT_EQ(g.imvichOst, 2'000'000u);

    TaxWorld before;
    before.quarter(0, 0);
    auto& b = before.doc.infoBase.current.head;
    b.imvichNY = 5'000'000;
    b.imvichDat = date(1, 4, 2024);
    ASSERT_EQ(before.tax(), 1);
    EXPECT_EQ(before.rows[1].sum, 1'170'000);
    EXPECT_EQ(b.imvichOst, 5'000'000u); // before its first month the whole amount remains
}

// The employer gives the deduction for a year only on that year's notice:
// a remainder of 2023 carried into 2024 is kept whole until a notice of 2024
// (number and date) is entered; a notice without its number does not count.
TEST(CalcIncomeTax, PropertyDeductionOnlyOnTheYearsNotice)
{
    auto carried = [](TaxWorld& w) -> kalvor::infobase::EmployeeHead& {
        w.quarter(390'000, 390'000);
        auto& h = w.doc.infoBase.current.head;
        h.imvichBeg = 20'000'000;
        h.imvichNY = h.imvichOst = 5'000'000; // what 2023 left of 200,000 roubles
        h.imvichDat = date(1, 6, 2023);
        h.imvichSprNom = QStringLiteral("518");
        h.imvichSprDat = QStringLiteral("20.5.23");
        return h;
    };
    TaxWorld old;
    auto& h = carried(old);
    EXPECT_EQ(PropertyDeductionYear(h), 2023);
    ASSERT_EQ(old.tax(), 1);
    EXPECT_EQ(old.rows[1].sum, 390'000); // March's 30,000 roubles taxed as before
    EXPECT_EQ(h.imvichOst, 5'000'000u); // kept for the year's notice

    TaxWorld dateOnly;
    auto& d = carried(dateOnly);
    d.imvichSprNom.clear();
    d.imvichSprDat = QStringLiteral("15.1.24");
    EXPECT_EQ(PropertyDeductionYear(d), 2023); // no number: the start date's year
    ASSERT_EQ(dateOnly.tax(), 1);
    EXPECT_EQ(dateOnly.rows[1].sum, 390'000);

    TaxWorld renewed;
    auto& n = carried(renewed);
    n.imvichSprNom = QStringLiteral("77");
    n.imvichSprDat = QStringLiteral("15.1.24");
    EXPECT_EQ(PropertyDeductionYear(n), 2024);
    // 90,000 roubles since January less the 50,000 left: 13 % of 40,000 =
    // 5,200, less 7,800 withheld, is -2,600: the month pays out no tax
    // withheld earlier, so no tax row; the deduction is given whole, and the
    // next months' tax, counted since January, takes the 2,600 into account.
    ASSERT_EQ(renewed.tax(), 0);
    EXPECT_EQ(renewed.rows[1].kod, 0);
    EXPECT_EQ(n.imvichOst, 0u);
}

TEST(CalcIncomeTax, SecondAndThirdIncomeGroups)
{
    TaxWorld w;
    w.quarter(390'000, 390'000);
    w.add(row(71, 100'000, 3));
    w.add(row(79, 200'000, 3));
    ASSERT_EQ(w.tax(), 1);
    EXPECT_EQ(w.rows[3].sum, 390'000 + 30'000 + 70'000);

    TaxWorld bad;
    bad.quarter(390'000, 390'000);
    bad.add(row(71, 100'000, 3));
    bad.doc.infoBase.firm.tabGrp2 = -1;
    EXPECT_EQ(bad.tax(), -32);

    // A second- and a third-group kind whose income codes (1010, 1011) no
    // main-group kind has, each with a yearly allowance of 4,000 roubles: each
    // group's statement lists its own code and gives its own allowance month
    // by month. Second group: 3,000 roubles in January, 2,000 in March:
    // allowances 3,000 and the 1,000 left. Third group: 5,000 roubles in
    // March: 4,000. The groups' taxes stay on their whole amounts: main
    // 13 % of 90,000 = 11,700, second 30 % of 3,000 + 2,000 = 1,500, third
    // 35 % of 5,000 = 1,750, less 7,800 withheld: 7,150 roubles.
    TaxWorld own;
    auto kinds = own.doc.infoBase.payKinds();
    for (PayKind& k : kinds)
        if (k.kod == 71 || k.kod == 79)
            k.sumSkidPodoh = 400'000;
    setKinds(own.doc, kinds);
    own.quarter(390'000, 390'000);
    addArchive(own.doc, archive(71, 300'000, 2024, 1));
    own.add(row(71, 200'000, 3));
    own.add(row(79, 500'000, 3));
    IncomeTaxRun run;
    ASSERT_EQ(CalcIncomeTax(0, own.rows.data(), own.count, own.doc, kCalcResultRows, &run), 1);
    EXPECT_EQ(own.rows[3].kod, 902);
    EXPECT_EQ(own.rows[3].sum, 715'000);
    EXPECT_EQ(run.codes[IncomeMain].count, 1);
    for (const auto& [group, code] : {std::pair{IncomeSecond, 1010u}, std::pair{IncomeThird, 1011u}}) {
        SCOPED_TRACE(group);
        const IncomeCodeList& listed = run.codes[std::size_t(group)];
        ASSERT_EQ(listed.count, 2);
        EXPECT_EQ(listed.incomeCodes[0], 2000u);
        EXPECT_EQ(listed.incomeCodes[1], code);
        EXPECT_EQ(listed.allowances[1], 400'000);
    }
    const IncomeTaxRun::MonthRows& second = run.months[IncomeSecond];
    EXPECT_EQ(second[0].incomeByCode[1], 300'000);
    EXPECT_EQ(second[0].allowances[1], 300'000);
    EXPECT_EQ(second[1].allowances[1], 0);
    EXPECT_EQ(second[2].incomeByCode[1], 200'000);
    EXPECT_EQ(second[2].allowances[1], 100'000);
    EXPECT_EQ(second[2].secondGroup, 200'000);
    const IncomeTaxRun::MonthRows& third = run.months[IncomeThird];
    EXPECT_EQ(third[2].incomeByCode[1], 500'000);
    EXPECT_EQ(third[2].allowances[1], 400'000);
    EXPECT_EQ(third[2].thirdGroup, 500'000);
}

TEST(CalcIncomeTax, PermanentPaymentModesDecideTheRow)
{
    TaxWorld w;
    w.quarter(390'000, 390'000);
    auto& p = w.doc.infoBase.current.postDopl[3];
    p.kod = 902;
    p.perer = 2;
    EXPECT_EQ(w.tax(), 0);
    EXPECT_EQ(w.rows[1], AccrualRow{});

    TaxWorld m;
    m.quarter(390'000, 390'000);
    m.add(row(902, 100'000, 3)); // typed in this month
    m.doc.infoBase.current.postDopl[0].kod = 902;
    m.doc.infoBase.current.postDopl[0].perer = 1;
    ASSERT_EQ(m.tax(), 1);
    EXPECT_EQ(m.rows[2].sum, 290'000);
    EXPECT_EQ(m.rows[1].sum, 100'000 - 290'000);

    // A payment that ended before the reporting month does not count.
    TaxWorld old;
    old.quarter(390'000, 390'000);
    auto& q = old.doc.infoBase.current.postDopl[0];
    q.kod = 902;
    q.perer = 2;
    q.mEnd = 2;
    q.gEnd = 2024;
    q.dEnd = 28;
    EXPECT_EQ(old.tax(), 1);
}

TEST(CalcIncomeTax, SixMonthsWhenRowsAreDatedByTheirOwnMonth)
{
    TaxWorld w;
    w.doc.infoBase.firm.parWord = 8;
    w.quarter(390'000, 390'000);
    w.add(row(1, 1'000'000, 4)); // vacation pay for April
    ASSERT_EQ(w.tax(), 2);
    EXPECT_EQ(w.rows[2].sum, 390'000);
    EXPECT_EQ(w.rows[2].mes, 3);
    EXPECT_EQ(w.rows[3].sum, 130'000);
    EXPECT_EQ(w.rows[3].mes, 4);
}

TEST(CalcIncomeTax, NoTableAndBadTables)
{
    TaxWorld w;
    w.quarter(0, 0);
    w.doc.infoBase.current.head.tabPodoh = 0;
    EXPECT_EQ(w.tax(), 0);
    w.doc.infoBase.current.head.tabPodoh = 1;
    w.doc.refFiles.nalog[0].variants[1] = w.doc.refFiles.nalog[0].variants[0];
    EXPECT_EQ(w.tax(), -21);
    // The second tax by table 2, on the oblProf income of each month.
    EXPECT_EQ(w.tax(2), 1);
    EXPECT_EQ(w.rows[1].kod, 919);
    EXPECT_EQ(w.rows[1].sum, 900'000);
}

TEST(CalcContribution, MarginalRateByTheBaseOfEarlierMonths)
{
    TaxWorld w;
    addArchive(w.doc, archive(1, 6'000'000, 2024, 1));
    addArchive(w.doc, archive(1, 6'000'000, 2024, 2));
    EXPECT_EQ(CalcContribution(2, 1'000, w.doc), 15'000); // 121,000 roubles: the 15 % band
    EXPECT_EQ(CalcContribution(1, 1'000, w.doc), 13'000); // 61,000 roubles
    w.doc.infoBase.firm.procDop = 1;
    EXPECT_EQ(CalcContribution(1, 1'000, w.doc), 14'000);
    w.doc.infoBase.current.head.tabPodoh = 0;
    EXPECT_EQ(CalcContribution(1, 1'000, w.doc), 0);
}

TEST(ServiceLengthToToday, YearsAndMonthsToTheClock)
{
    ScopedToday today(QDate(2026, 12, 7));
    PayrollDoc doc;
    doc.infoBase.current.head.officerDatStag = date(15, 12, 2010);
    EXPECT_EQ(ServiceLengthToToday(1, doc), 15);
    EXPECT_EQ(ServiceLengthToToday(2, doc), 11);
    doc.infoBase.current.head.officerDatStag = date(1, 3, 1995);
    EXPECT_EQ(ServiceLengthToToday(1, doc), 31);
    EXPECT_EQ(ServiceLengthToToday(2, doc), 9);
}
