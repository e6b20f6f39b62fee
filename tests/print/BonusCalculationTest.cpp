// The bonus calculation of the bonus statement, worked out by hand: lines of
// every type, a brigade sharing its fund under each switch of the
// labour-participation rules, both formulas and every scale, a zero divisor,
// and each error code (with no statement written).
//
// The brigade: three workers on time tariffs of 100, 120 and 80 roubles an
// hour, 20, 21 and 10 days of 8 hours in the time sheet; their lines share a
// fund of 30,000 roubles and carry the participation coefficients 100, 120
// and 80 and the days 20, 21 and 10. Reporting month April 2011.
#include "print/BonusCalculation.h"
#include "StatementTestDoc.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcErrors.h"
#include "platform/CodePage.h"
#include "print/TextStatements.h"
#include "values/Clock.h"
#include "values/Messages.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <array>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::print;
using namespace kalvor::printtest;

namespace {

constexpr u16 kRate = 0x80, kTime = 0x100;
constexpr u16 TimesFirst = 1 << 9, ByFirst = 2 << 9, TimesSecond = 1 << 11;
constexpr u16 Formula = 1 << 13; // the fund less the brigade's time-rate earnings (second word)
u16 Scale(int scale) { return u16(scale << 13); } // first word

PayKind Kind(int code, bool marked)
{
    PayKind kind;
    kind.kod = u16(code);
    kind.name = QStringLiteral("Вид %1").arg(code);
    if (marked)
        kind.flags = 0x8000;
    return kind;
}

BonusLine Line(int type, int code, double sum, int mrp = 1)
{
    BonusLine line;
    line.procent = u16(type);
    line.kod = u16(code);
    line.sum = sum;
    line.mrp = u16(mrp);
    return line;
}

WariaEntry Archive(int code, double sum, int month, int year)
{
    WariaEntry e;
    e.kod = u16(code);
    e.sum = sum;
    e.mes = u16(month);
    e.god = u16(year);
    return e;
}

class BonusCalculation : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        BuildStatementDoc(doc, {{101, 1, 0, 0}, {102, 1, 0, 0}, {103, 2, 0, 0}, {104, 2, 0, 0}});
        records = StatementRecords(doc);
        CInfoBase& b = doc.infoBase;
        b.setPayKinds(
            {Kind(4, false), Kind(7, true), Kind(8, true), Kind(171, false), Kind(172, true), Kind(904, false)});
        b.config.nEnt = u16(b.payKinds().size());
        b.scheduleAt(1).rdHr = 8;
        b.firm.masks[1][4] = 1; // mask 1: the salary
        const int tariffs[] = {100, 120, 80, 90};
        const int days[] = {20, 21, 10, 21};
        for (int i = 0; i < 4; ++i) {
            b.attributesOf(i + 1).sistOpl = 2;
            b.attributesOf(i + 1).graph = 1;
            b.tabelOf(i + 1).rabDn = u8(days[i]);
            records[std::size_t(i)].head.tarifVrem.rub = u16(tariffs[i]);
        }
    }
    void TearDown() override { CloseBase(doc.infoBase); }

    // The base file and the swap file with every employee, as the statement thread leaves them.
    void store()
    {
        CInfoBase& b = doc.infoBase;
        StoreInNewBase(doc, dir.path(), records);
        b.swap.setPath(b.swapPath());
        b.swap.create();
        for (int slot = 1; slot <= int(records.size()); ++slot) b.swap.writeSlot(slot, records[std::size_t(slot - 1)]);
    }
    void lines(int slot, std::vector<BonusLine> run) { doc.infoBase.prem.replaceRun(slot, run); }

    // The brigade of slots 1-3 with a fund of `fund` (in the scale's unit).
    void brigade(double fund, const int coefficients[3] = nullptr)
    {
        static const int ktu[] = {100, 120, 80};
        const int days[] = {20, 21, 10};
        for (int i = 0; i < 3; ++i) {
            BonusLine line = Line(3, 8, fund);
            line.spzAu = u16(coefficients ? coefficients[i] : ktu[i]);
            line.ceh = u16(days[i]);
            lines(i + 1, {line});
        }
    }
    std::vector<double> amounts(int selector = 0, StatementPrintParams params = {})
    {
        infobase::BySlot<double> out;
        EXPECT_EQ(CalcBonusAmounts(params, doc, selector, out), 0);
        return out.values();
    }
    std::vector<double> shares(std::array<u16, 4> rules)
    {
        doc.infoBase.firm.ktu[0] = rules;
        const std::vector<double> all = amounts();
        return {all[0], all[1], all[2]};
    }
    int failure()
    {
        const QString path = dir.filePath(QStringLiteral("bonus.typ"));
        const int result = WriteBonusStatementText(StatementPrintParams{}, doc, path, 0);
        EXPECT_FALSE(QFile::exists(path));
        return result;
    }

    ScopedToday today{QDate(2011, 5, 3)};
    QTemporaryDir dir;
    PayrollDoc doc;
    std::vector<EmployeeRecord> records;
};

} // namespace

TEST_F(BonusCalculation, FixedAndSalaryLinesAndTheSelector)
{
    records[0].head.oklad = 3'000'000;
    store();
    lines(1, {Line(0, 8, 500'000), Line(0, 8, 100'000, 0), Line(2, 8, 1'250), Line(0, 4, 70'000), Line(6, 8, 10'000)});
    lines(2, {Line(0, 8, 20'000)});
    // 5,000 + 12.5 % of a salary of 30,000 (3,750) + 700; the line paid with
    // the settlement (period 0) is not the statement's, nor is a line of type 6.
    EXPECT_EQ(amounts()[0], 945'000);
    EXPECT_EQ(amounts()[1], 20'000);
    // A negative selector takes the kinds with the statement mark only: kind 4 has none.
    EXPECT_EQ(amounts(-1)[0], 875'000);
    StatementPrintParams kind4;
    kind4.payKind = 4;
    EXPECT_EQ(amounts(0, kind4)[0], 70'000);
    // Marked only: the second employee is marked, the first is not.
    doc.infoBase.list[1].key |= 1;
    EXPECT_EQ(amounts(1)[0], 0);
    EXPECT_EQ(amounts(1)[1], 20'000);
    // The run's amounts never touch the document's advances.
    EXPECT_EQ(doc.infoBase.avOf(1), 0);
}

TEST_F(BonusCalculation, PercentOfLastMonthOfThePreviousQuarterAndOfTheYear)
{
    EmployeeRecord& r = records[0];
    const std::vector<WariaEntry> archive = {Archive(4, 1'000'000, 1, 2011), Archive(4, 2'000'000, 2, 2011),
                                             Archive(4, 3'000'000, 3, 2011), Archive(8, 500'000, 3, 2011),
                                             Archive(171, 400'000, 12, 2010)};
    std::copy(archive.begin(), archive.end(), r.waria.begin());
    for (int month = 1; month <= 12; ++month) r.waria[std::size_t(4 + month)] = Archive(4, 2'400'000, month, 2010);
    r.warKv = u16(archive.size() + 12);
    store();
    double amount = 0;
    // 10 % of March's salary (the kind 8 entry is not in mask 1): 300,000.
    BonusLine lastMonth = Line(1, 8, 1'000);
    lastMonth.mask = 1;
    lastMonth.mes = 1;
    ASSERT_EQ(BonusLineAmount(doc, 1, lastMonth, amount), 0);
    EXPECT_EQ(amount, 300'000);
    // Code 7 in April, the first month of a quarter: 10 % of January to March, 600,000.
    BonusLine quarter = Line(1, 7, 1'000);
    quarter.mask = 1;
    ASSERT_EQ(BonusLineAmount(doc, 1, quarter, amount), 0);
    EXPECT_EQ(amount, 600'000);
    // Code 172 in April takes last year: 28,800,000 / 12 less 400,000 of
    // code 171 = 2,000,000, of which 50 % is 1,000,000.
    BonusLine year = Line(1, 172, 5'000);
    year.mask = 1;
    ASSERT_EQ(BonusLineAmount(doc, 1, year, amount), 0);
    EXPECT_EQ(amount, 1'000'000);
}

TEST_F(BonusCalculation, QuarterBonusInTheSecondMonthOfTheQuarter)
{
    // May: four months back (January to April, 10,000,000) less the last
    // one (April, 4,000,000) is again January to March.
    doc.infoBase.config.tekMes = u16(2011 * 16 + 5);
    EmployeeRecord& r = records[0];
    for (int month = 1; month <= 4; ++month)
        r.waria[std::size_t(month - 1)] = Archive(4, month * 1'000'000, month, 2011);
    r.warKv = 4;
    store();
    BonusLine quarter = Line(1, 7, 1'000);
    quarter.mask = 1;
    double amount = 0;
    ASSERT_EQ(BonusLineAmount(doc, 1, quarter, amount), 0);
    EXPECT_EQ(amount, 600'000);
}

TEST_F(BonusCalculation, BrigadeSharesUnderEachRule)
{
    store();
    brigade(3'000'000);
    // 70 % by rate × days (rates 10,000, 12,000, 8,000 kopecks an hour ×
    // 160, 168, 80 hours: 1,600,000, 2,016,000, 640,000 of 4,256,000) and 30 %
    // by the coefficients (100, 120, 80 of 300):
    //   2,100,000 × 1,600,000 / 4,256,000 + 900,000 × 100 / 300 = 1,089,473.68
    //   2,100,000 × 2,016,000 / 4,256,000 + 900,000 × 120 / 300 = 1,354,736.84
    //   2,100,000 ×   640,000 / 4,256,000 + 900,000 ×  80 / 300 =   555,789.47
    const std::vector<double> expected = {1'089'474, 1'354'737, 555'789};
    EXPECT_EQ(shares({u16(70 | kRate | kTime), u16(30 | TimesFirst), 0, 0}), expected);
    // The fund in roubles, tens and hundreds of roubles gives the same shares.
    const double funds[] = {30'000, 3'000, 300};
    for (int scale = 1; scale <= 3; ++scale) {
        brigade(funds[scale - 1]);
        EXPECT_EQ(shares({u16(70 | kRate | kTime | Scale(scale)), u16(30 | TimesFirst), 0, 0}), expected) << scale;
    }
    // Lines of type 5 share by variant 3 of the rules.
    brigade(3'000'000);
    for (int slot = 1; slot <= 3; ++slot) {
        BonusLine line = doc.infoBase.prem.run(slot)[0];
        line.procent = 5;
        lines(slot, {line});
    }
    doc.infoBase.firm.ktu[2] = {u16(70 | kRate | kTime), u16(30 | TimesFirst), 0, 0};
    EXPECT_EQ(shares({0, 0, 0, 0}), expected);
    brigade(3'000'000);
    // Without a rule on the first coefficient the rate switch weighs by the
    // line's number itself: 100 : 120 : 80 of the fund.
    brigade(3'000'000);
    EXPECT_EQ(shares({u16(100 | kRate), 0, 0, 0}), (std::vector<double>{1'000'000, 1'200'000, 800'000}));
    // With a rule on the second coefficient the time switch takes the time
    // sheet (160, 168, 80 hours), here times the days: 3,200 : 3,528 : 800 of 7,528.
    EXPECT_EQ(shares({u16(100 | kTime | TimesSecond), 0, 0, 0}), (std::vector<double>{1'275'239, 1'405'951, 318'810}));
}

TEST_F(BonusCalculation, FormulaTakesTheTimeRateEarningsOffTheFund)
{
    store();
    brigade(5'000'000);
    // 5,000,000 less 9,600 × 10,000 / 60 + 10,080 × 12,000 / 60 + 4,800 ×
    // 8,000 / 60 = 4,256,000 leaves 744,000:
    //   520,800 × 1,600,000 / 4,256,000 + 223,200 × 100 / 300 = 270,189.47
    //   520,800 × 2,016,000 / 4,256,000 + 223,200 × 120 / 300 = 335,974.74
    //   520,800 ×   640,000 / 4,256,000 + 223,200 ×  80 / 300 = 137,835.79
    EXPECT_EQ(shares({u16(70 | kRate | kTime), u16(30 | TimesFirst | Formula), 0, 0}),
              (std::vector<double>{270'189, 335'975, 137'836}));
}

TEST_F(BonusCalculation, ZeroDivisorGivesNoWeight)
{
    store();
    const int coefficients[] = {100, 120, 0};
    brigade(3'000'000, coefficients);
    // 30 % divided by the coefficients: 1/100 and 1/120 share 900,000
    // (490,909.09 and 409,090.91); the third member's 0 weighs nothing there.
    // The first rule is as before (789,473.68, 994,736.84, 315,789.47).
    EXPECT_EQ(shares({u16(70 | kRate | kTime), u16(30 | ByFirst), 0, 0}),
              (std::vector<double>{1'280'383, 1'403'828, 315'789}));
    // Every member's divisor 0: the rule is left out, the rest shares its part.
    const int none[] = {0, 0, 0};
    brigade(3'000'000, none);
    EXPECT_EQ(shares({u16(70 | kRate | kTime), u16(30 | ByFirst), 0, 0}),
              (std::vector<double>{789'474, 994'737, 315'789}));
}

TEST_F(BonusCalculation, BrigadeStatementPrintsTheShares)
{
    store();
    brigade(3'000'000);
    doc.infoBase.firm.ktu[0] = {u16(70 | kRate | kTime), u16(30 | TimesFirst), 0, 0};
    const QString path = dir.filePath(QStringLiteral("bonus.typ"));
    ASSERT_EQ(WriteBonusStatementText(StatementPrintParams{}, doc, path, -1), 0);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = codepage::fromCp1251(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("    1|   101 |        Алексеев А.Г.|     10894.74|")));
    EXPECT_TRUE(text.contains(QStringLiteral("    3|   103 |        Васильев В.Б.|      5557.89|")));
    EXPECT_TRUE(text.contains(QStringLiteral("Итого|       |                     |     30000.00|")));
    EXPECT_FALSE(text.contains(QStringLiteral("   104 |")));
}

TEST_F(BonusCalculation, ErrorCodesStopTheRunWithoutAStatement)
{
    store();
    lines(1, {Line(0, 555, 100'000)});
    EXPECT_EQ(failure(), kCalcUnknownCode);

    brigade(3'000'000);
    doc.infoBase.firm.ktu[0] = {u16(100 | kRate), 0, 0, 0};
    doc.infoBase.attributesOf(3).sistOpl = 0;
    EXPECT_EQ(failure(), kCalcNoPaymentSystem);
    doc.infoBase.attributesOf(3).sistOpl = 2;

    doc.infoBase.attributesOf(3).graph = 2; // a schedule without a day length
    EXPECT_EQ(failure(), kCalcNoDayLength);

    WorkSchedule& empty = doc.infoBase.scheduleAt(2); // a day length, but no working day in April
    empty.rdHr = 8;
    empty.ruchn = 1;
    empty.months[WorkSchedule::ReportingMonth].vMin = 60;
    EXPECT_EQ(failure(), kCalcNoWorkingTime);
}

TEST_F(BonusCalculation, NinthLineStopsTheRunNamingTheEmployee)
{
    store();
    lines(2, std::vector<BonusLine>(9, Line(0, 8, 1'000)));
    try {
        infobase::BySlot<double> out;
        CalcBonusAmounts(StatementPrintParams{}, doc, 0, out);
        FAIL() << "nine lines were taken";
    } catch (const TextError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("У работника Белова Б.Н. (табельный номер 102) больше 8 строк премий"));
    }
}
