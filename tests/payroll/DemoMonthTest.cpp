// The month of the demo firm computed by the engine: the demo base is built in
// a folder of its own, every employee is written to the swap work file and
// computed and stored (mode 0) as the calculation worker does it, and the
// results are checked: no error for anybody, amounts that make sense, and
// three employees worked out by hand from the demo data.
#include "DemoFirm.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcEmployeeMonth.h"
#include "payroll/CalcThread.h"
#include "payroll/Contributions.h"
#include "payroll/MonthChange.h"
#include "payroll/PayKinds.h"
#include "payroll/ScheduleNorm.h"
#include "support/DemoDocument.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <vector>

using namespace kalvor;
using namespace kalvor::infobase;

#ifdef KALVOR_DATA_DIR

namespace {

// One employee's outcome: the engine's result, its rows and the amount to pay.
struct Outcome {
    int result = 0;
    std::vector<AccrualRow> rows;
    double pay = 0;

    // Roubles of the rows of a code.
    double sum(int code) const
    {
        double s = 0;
        for (const AccrualRow& r : rows)
            if (r.kod == code)
                s += r.sum;
        return s / 100;
    }
    int count(int code) const
    {
        int n = 0;
        for (const AccrualRow& r : rows) n += r.kod == code;
        return n;
    }
    double accrued() const
    {
        double s = 0;
        for (const AccrualRow& r : rows)
            // Row 600 only marks the days of unpaid leave (1 rouble); it is no accrual.
            if (r.kod != 0 && r.kod < 700 && r.kod != 600)
                s += r.sum;
        return s / 100;
    }
};

class DemoMonth : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const QString folder = dir.path() + QLatin1Char('/');
        ASSERT_NO_FATAL_FAILURE(testsupport::MakeDemoFolder(folder));
        doc.setWorkFolder(folder);
        // The reference files (tax tables, deductions, contributions) of the working folder.
        doc.refFiles.setFolder(QStringLiteral(KALVOR_DATA_DIR "/"));
        EXPECT_TRUE(doc.refFiles.OpenAll());
        base().baseName = testsupport::DemoBaseIn(folder);
        OpenBase(base());
        LoadAll(base());
        ASSERT_TRUE(SelectAllToSwap(base(), Selection{}));
        base().OpenSwapFile();
    }
    void TearDown() override
    {
        base().CloseSwapFile();
        CloseBase(base());
    }
    CInfoBase& base() { return doc.infoBase; }

    // Computes and stores the month of every employee the worker selects, by
    // personnel number.
    std::map<int, Outcome> computeAll()
    {
        CalcThreadParams params;
        params.document = &doc;
        std::vector<int> indexes;
        SelectEmployeesForCalculation(params, doc, indexes);
        EXPECT_EQ(indexes.size(), 50u);
        std::map<int, Outcome> out;
        for (const int i : indexes) out[base().list[std::size_t(i)].tabN()] = compute(i);
        return out;
    }
    Outcome compute(int index)
    {
        Outcome o;
        CalcResultBuffer rows{};
        o.result = CalcEmployeeMonth(doc, rows.data(), index, &work, CalcStore);
        for (int k = 0; k < std::max(o.result, 0); ++k)
            if (rows[std::size_t(k)].kod != 0)
                o.rows.push_back(rows[std::size_t(k)]);
        o.pay = base().zar1Of(base().list[std::size_t(index)].slot) / 100;
        return o;
    }

    QTemporaryDir dir;
    PayrollDoc doc;
    CalcWorkBuffer work;
};

} // namespace

TEST_F(DemoMonth, EveryEmployeeIsComputedWithoutErrorAndPlausibly)
{
    const std::map<int, Outcome> all = computeAll();
    for (const auto& [tabN, o] : all) {
        SCOPED_TRACE(tabN);
        ASSERT_GE(o.result, 0);
        const int slot = base().list[std::size_t(base().FindEmployee(tabN))].slot;
        EXPECT_EQ(base().attributesOf(slot).err, 0);
        const double accrued = o.accrued();
        // Everybody worked this month: between the half-time pay and the director's.
        EXPECT_GT(accrued, 4'000);
        EXPECT_LT(accrued, 50'000);
        for (const AccrualRow& r : o.rows) {
            EXPECT_GE(FindPayKind(doc, r.kod), 0) << r.kod;
            // 121's entered reversal of evening hours is the one negative row.
            if (tabN != 121 || r.kod != 21) {
                EXPECT_GT(r.sum, 0) << r.kod;
            }
            EXPECT_EQ(r.mes, r.kod == 110 || r.kod == 155 ? 3 : 4) << r.kod;
        }
        // Income tax at 13 % at most (the non-resident 30 %), one row.
        EXPECT_EQ(o.count(902), 1);
        EXPECT_LE(o.sum(902), accrued * (tabN == 145 ? 0.30 : 0.13) + 1);
        EXPECT_GT(o.sum(902), accrued * (tabN == 145 ? 0.29 : 0.05));
        // Whatever is neither withheld nor transferred to the bank is paid out.
        double deducted = 0;
        for (const AccrualRow& r : o.rows)
            if (r.kod >= 700 && r.kod <= 937)
                deducted += r.sum / 100;
        EXPECT_NEAR(o.pay, accrued - deducted, 0.005);
        EXPECT_GE(o.pay, 0);
        EXPECT_GT(o.pay + o.sum(903), accrued * 0.15);
        if (o.count(903)) {
            EXPECT_DOUBLE_EQ(o.pay, 0);
        }
        // The pension contribution: 26 % of the pay without the sick-leave
        // benefits, the first days at the employer's cost too (16 % for the
        // disabled), none for the non-resident; nor of the child-care allowance.
        double benefits = 0;
        for (int code : {110, 111, 112, 155, 156, 157, 169}) benefits += o.sum(code);
        const double contributionBase = accrued - benefits;
        EXPECT_NEAR(o.sum(990), tabN == 145 ? 0 : contributionBase * (tabN == 109 ? 0.16 : 0.26), 0.02);
    }
    // The disabled employee's accident insurance is 60 % of the tariff:
    // 0.2 % x 0.6 of her salary of 15,000.
    EXPECT_DOUBLE_EQ(all.at(109).accrued(), 15'000);
    EXPECT_DOUBLE_EQ(all.at(109).sum(995), 18);
    // The loan is repaid by one instalment; the writ takes a quarter of the pay after tax.
    EXPECT_DOUBLE_EQ(all.at(117).sum(760), 3'000);
    EXPECT_EQ(all.at(117).count(760), 1);
    const Outcome& writ = all.at(142);
    EXPECT_NEAR(writ.sum(911), (writ.accrued() - writ.sum(902)) * 0.25, 0.01);
    // The one who leaves on 15 April gets the compensation of unused vacation and no advance.
    EXPECT_GT(all.at(126).sum(89), 0);
    EXPECT_EQ(all.at(126).count(901), 0);
    // The vacation of 14 days from 11 April, and the sick leave from 28 March:
    // three days at the employer's cost and one of the benefit in March, eight in April.
    // Both are paid before the month's pay: their amounts come back as row 904.
    const Outcome& vacation = all.at(112);
    ASSERT_EQ(vacation.count(85), 1);
    for (const AccrualRow& r : vacation.rows)
        if (r.kod == 85) {
            EXPECT_EQ(r.dn, 14);
        }
    EXPECT_DOUBLE_EQ(vacation.sum(904), tools::DemoVacationAmount / 100);
    const Outcome& sick = all.at(122);
    EXPECT_EQ(sick.count(110), 1);
    EXPECT_EQ(sick.count(155), 1);
    EXPECT_EQ(sick.count(156), 1);
    EXPECT_GT(sick.sum(156), sick.sum(110));
    EXPECT_DOUBLE_EQ(sick.sum(904), tools::DemoSickLeaveAmount / 100);
}

TEST_F(DemoMonth, ThreeEmployeesWorkedOutByHand)
{
    const std::map<int, Outcome> all = computeAll();

    // 110 Тихонов, labour-safety engineer, salary 21,000, no children,
    // five-day week, worked all 21 days of April 2011.
    // Salary: 21,000 x 168 / 168 hours = 21,000.
    // Tax: income since January 4 x 21,000 = 84,000. The 400 on himself only
    // in January (January's 21,000 is within 40,000, February's 42,000 is not):
    // 13 % of (84,000 - 400) = 10,868, less January to March withheld
    // (2,678 + 2,730 + 2,730 = 8,138): 2,730.
    // Advance 40 % = 8,400. To pay: 21,000 - 2,730 - 8,400 = 9,870.
    // Contributions: 26 % 5,460, 2.9 % 609, 3.1 % 651, 2 % 420, 0.2 % 42.
    const Outcome& a = all.at(110);
    ASSERT_EQ(a.rows.size(), 8u);
    EXPECT_EQ(a.rows[0].kod, 4);
    EXPECT_DOUBLE_EQ(a.rows[0].sum, 2'100'000);
    EXPECT_EQ(a.rows[0].dn, 21);
    EXPECT_EQ(a.rows[0].hr, 168);
    EXPECT_DOUBLE_EQ(a.sum(902), 2'730);
    EXPECT_DOUBLE_EQ(a.sum(901), 8'400);
    EXPECT_DOUBLE_EQ(a.pay, 9'870);
    EXPECT_DOUBLE_EQ(a.sum(990), 5'460);
    EXPECT_DOUBLE_EQ(a.sum(992), 609);
    EXPECT_DOUBLE_EQ(a.sum(994), 651);
    EXPECT_DOUBLE_EQ(a.sum(993), 420);
    EXPECT_DOUBLE_EQ(a.sum(995), 42);

    // 106 Мельникова, HR specialist, salary 20,000, three children, the third
    // disabled: from 2011 1,000 + 1,000 + 3,000 = 5,000 a month, and the 400
    // on herself in January and February (income 20,000 and 40,000, within
    // the limit of 40,000). Deductions January to April: 4 x 5,000 + 2 x 400
    // = 20,800. Tax: 13 % of (80,000 - 20,800) = 7,696, less withheld
    // (1,898 + 1,898 + 1,950 = 5,746): 1,950.
    // Advance 8,000. To pay: 20,000 - 1,950 - 8,000 = 10,050.
    const Outcome& b = all.at(106);
    ASSERT_EQ(b.rows.size(), 8u);
    EXPECT_EQ(b.rows[0].kod, 4);
    EXPECT_DOUBLE_EQ(b.rows[0].sum, 2'000'000);
    EXPECT_DOUBLE_EQ(b.sum(902), 1'950);
    EXPECT_DOUBLE_EQ(b.sum(901), 8'000);
    EXPECT_DOUBLE_EQ(b.pay, 10'050);
    EXPECT_DOUBLE_EQ(b.sum(990), 5'200);

    // 145 Назаров, loader, citizen of Uzbekistan in the country since
    // 10 December 2010 (112 days by the end of March): a non-resident, 30 %
    // on the whole income without deductions. Hourly 70 roubles, 21 days x 8
    // hours = 168 hours: 11,760.
    // Tax since January: January 15 days 8,400, February 19 days 10,640,
    // March 22 days 12,320 + the quarter's bonus 1,848, April 11,760:
    // 44,968 x 30 % = 13,490.40, less withheld (2,520 + 3,192 + 4,250 =
    // 9,962) = 3,528.40, in whole roubles 3,528.
    // Advance 4,700 (40 % of 11,760 in whole hundreds). To pay: 11,760 -
    // 3,528 - 4,700 = 3,532. Of the contributions only accident insurance:
    // 0.2 % = 23.52.
    const Outcome& c = all.at(145);
    ASSERT_EQ(c.rows.size(), 4u);
    EXPECT_EQ(c.rows[0].kod, 3);
    EXPECT_DOUBLE_EQ(c.rows[0].sum, 1'176'000);
    EXPECT_EQ(c.rows[0].hr, 168);
    EXPECT_DOUBLE_EQ(c.sum(902), 3'528);
    EXPECT_DOUBLE_EQ(c.sum(901), 4'700);
    EXPECT_DOUBLE_EQ(c.pay, 3'532);
    EXPECT_DOUBLE_EQ(c.sum(995), 23.52);
    EXPECT_EQ(c.count(990), 0);
}

TEST_F(DemoMonth, DeductionsAboveTheAccrualsTransferNothing)
{
    // Калинин's whole loan of 27,000 is due at once; his piece work of
    // April (19,971.17) less the tax and the advance (9,436.00 together)
    // leaves 10,535.17 to pay. The loan takes that much and no more (the rest
    // of the debt stays for the next months); nothing is transferred to his
    // bank account and nothing is paid.
    const int index = base().FindEmployee(117);
    const int slot = base().list[std::size_t(index)].slot;
    EmployeeRecord rec;
    ASSERT_TRUE(base().swap.readSlot(slot, rec));
    rec.ssud.loans[0].sum[0] = 2'700'000;
    base().swap.writeSlot(slot, rec);

    const Outcome o = compute(index);
    ASSERT_GE(o.result, 0);
    EXPECT_DOUBLE_EQ(o.sum(901) + o.sum(902), 9'436);
    EXPECT_DOUBLE_EQ(o.sum(760), 10'535.17);
    EXPECT_EQ(o.count(903), 0);
    EXPECT_DOUBLE_EQ(o.pay, 0);
    double deducted = 0;
    for (const AccrualRow& r : o.rows)
        if (r.kod >= 700 && r.kod <= 937)
            deducted += r.sum / 100;
    EXPECT_NEAR(deducted, o.accrued(), 0.001);
}

// 117 Калинин's second child's deduction (115, 1,000 a month from January)
// typed with the multiplicity of 15: 15,000 a month since January. Income
// since January 14,517.60 + 17,909.25 + 21,847.94 + 3,277.00 (March's bonus)
// + April's piece work 19,971.17 = 77,522.96; deductions 400 on himself in
// January and February (32,426.85 by February, within 40,000) + 4 x 1,000
// for the first child + 4 x 15,000 = 64,800; 13 % of 12,722.96 = 1,654 less
// 6,598 withheld (1,575 + 2,016 + 3,007) is -4,944. The month pays no tax
// withheld earlier out (the next months' tax takes it into account): no tax
// row, and the loan's instalment of 3,000 and the advance of 7,100 leave
// 19,971.17 - 7,100 - 3,000 = 9,871.17, all of it sent to his bank account.
TEST_F(DemoMonth, ADeductionTypedForMonthsPastReturnsNoTax)
{
    const int index = base().FindEmployee(117);
    const int slot = base().list[std::size_t(index)].slot;
    EmployeeRecord rec;
    ASSERT_TRUE(base().swap.readSlot(slot, rec));
    ASSERT_EQ(rec.nalvich[3].kod, 115);
    rec.nalvich[3].krat = 15;
    base().swap.writeSlot(slot, rec);

    const Outcome o = compute(index);
    ASSERT_GE(o.result, 0);
    EXPECT_DOUBLE_EQ(o.accrued(), 19'971.17);
    EXPECT_EQ(o.count(902), 0);
    EXPECT_DOUBLE_EQ(o.sum(901), 7'100);
    EXPECT_DOUBLE_EQ(o.sum(760), 3'000);
    EXPECT_DOUBLE_EQ(o.sum(903), 9'871.17);
    EXPECT_DOUBLE_EQ(o.pay, 0);
}

// Values that no screen takes now, as a base of an older version may hold
// them: the bank's commission at 150 % with 101's rest sent to his card,
// 102's permanent payment of -99,999,999.00 at 150 %, 110's deduction of
// 99,999,999.00 entered for the month, 117's loan debt of 99,999,999.00 with
// the tax on its benefit at 10 % a year. Nobody's month turns money negative by itself: no advance, tax,
// transfer, commission or contribution row below zero, and nothing left to
// pay below zero.
TEST_F(DemoMonth, StoredValuesThatCannotBeTurnNoMoneyNegative)
{
    base().firm.sbProcSotr = 15'000;
    base().firm.procSsudWhole = 10;
    const auto edit = [&](int tabN, const auto& change) {
        const int slot = base().list[std::size_t(base().FindEmployee(tabN))].slot;
        EmployeeRecord rec;
        ASSERT_TRUE(base().swap.readSlot(slot, rec));
        change(rec, base().attributesOf(slot));
        base().swap.writeSlot(slot, rec);
    };
    edit(101, [](EmployeeRecord& rec, EmployeeAttributes&) {
        rec.sber[0] = SberRow{};
        rec.sber[0].kod = 906;
    });
    edit(102, [](EmployeeRecord& rec, EmployeeAttributes&) {
        PostDoplEntry& payment = rec.postDopl.back();
        payment = PostDoplEntry{};
        payment.kod = 53;
        payment.sum = -9'999'999'900;
        payment.procent = 1500;
    });
    edit(110, [](EmployeeRecord& rec, EmployeeAttributes& attr) {
        AccrualRow& entered = rec.rows[attr.kvProizv];
        entered = AccrualRow{};
        entered.kod = 907;
        entered.sum = 9'999'999'900;
        entered.mes = 4;
        attr.kvProizv = u16(attr.kvProizv + 1);
    });
    edit(117, [](EmployeeRecord& rec, EmployeeAttributes&) {
        rec.ssud.loans[0].sumDolg = 9'999'999'900;
        rec.ssud.loans[0].nalog = 1;
    });

    const std::map<int, Outcome> all = computeAll();
    for (const auto& [tabN, o] : all) {
        SCOPED_TRACE(tabN);
        ASSERT_GE(o.result, 0);
        double deducted = 0;
        for (const AccrualRow& r : o.rows) {
            if (r.kod == 901 || r.kod == 902 || r.kod == 903 || r.kod == 906 || (r.kod >= 935 && r.kod <= 937) ||
                (r.kod >= 990 && r.kod <= 995)) {
                EXPECT_GE(r.sum, 0) << r.kod;
            }
            if (r.kod >= 700 && r.kod <= 937 && !(r.kod >= 865 && r.kod <= 890))
                deducted += r.sum / 100;
        }
        EXPECT_GE(o.accrued() - deducted, -0.005);
    }
    // 110's deduction takes what is left after the tax and the advance:
    // 21,000 - 2,730 - 8,400 = 9,870.
    EXPECT_DOUBLE_EQ(all.at(110).sum(907), 9'870);
    EXPECT_DOUBLE_EQ(all.at(110).pay, 0);
    // 102's stored payment pays nothing, so no "Надбавка" of his is below zero.
    EXPECT_GE(all.at(102).sum(53), 0);
}

#endif

#ifdef KALVOR_DATA_DIR
// 122 Пахомов, ill from 28 March to 8 April: the sheet is paid in April, the
// three days of March at the employer's cost (kind 110, 857.37) and the rest
// as the benefit (155 and 156). All of it is a state benefit, free of
// contributions: April's contribution base is his pay for 15 days alone,
// 11,988.00, and the pension contribution 26 % of it, 3,116.88.
TEST_F(DemoMonth, EmployerPaidSickDaysBearNoContributions)
{
    const int index = base().FindEmployee(122);
    ASSERT_GE(index, 0);
    const Outcome o = compute(index);
    ASSERT_GE(o.result, 0);
    EXPECT_DOUBLE_EQ(o.sum(3), 11'988);
    EXPECT_DOUBLE_EQ(o.sum(110), 857.37);

    const auto& ref = doc.refFiles;
    std::vector<ContributionRow> bases(std::size_t(2 * ref.sborCount));
    const int tek = base().config.tekMes;
    ASSERT_EQ(ContributionsByMonths(MonthKey(2011, 1).value(), tek, ref.sbor.data(), ref.sborCount, bases.data(),
                                    o.rows.data(), int(o.rows.size()), 0, 0, nullptr, doc),
              0);
    for (int k = 0; k < ref.sborCount; ++k)
        EXPECT_DOUBLE_EQ(bases[std::size_t(ref.sborCount + k)].base, 1'198'800) << k;
    EXPECT_DOUBLE_EQ(o.sum(990), 3'116.88);
}

// 115 Ермаков, ill from 14 February to 4 March 2011 on two sheets, the second
// continuing the first. His average: 2009 without pay in this base, 2010
// 236,716.08, over 730 days, 324.27 a day. The February sheet (12 days) paid
// the employer's first three days in February (111, 972.81). The employer
// pays them once for the case: March pays the continuation's 7 days as the
// benefit alone, 26-28 February 3 x 324.27 = 972.81 as code 155 and 1-4 March
// 4 x 324.27 = 1,297.08 as 156, no code 110.
TEST_F(DemoMonth, AContinuingSheetOfMarchPaysTheBenefitOnly)
{
    const int index = base().FindEmployee(115);
    ASSERT_GE(index, 0);
    LoadEmployee(base(), base().list[std::size_t(index)].slot);
    std::map<int, std::pair<int, double>> march; // code: month, amount
    std::map<int, double> february;
    for (int i = 0; i < base().current.warKv; ++i) {
        const WariaEntry& e = base().current.waria[std::size_t(i)];
        if (e.kod < 110 || e.kod > 157 || e.god != 2011)
            continue;
        if (e.mesVyd == 3 || (e.mesVyd == 0 && e.mes == 3))
            march[e.kod] = {e.mes, march[e.kod].second + e.sum};
        else if (e.mes == 2 && e.mesVyd == 0)
            february[e.kod] += e.sum;
    }
    EXPECT_EQ(march, (std::map<int, std::pair<int, double>>{{155, {2, 97'281}}, {156, {3, 129'708}}}));
    EXPECT_EQ(february.at(111), 97'281);
    EXPECT_EQ(february.count(110), 0u);
}

// The state benefits, paid by the employer or the social insurance fund, are
// free of contributions (212-FZ art. 9): sick leave and its first days,
// maternity, child care up to 1.5 years (169, 170), injury benefits.
TEST_F(DemoMonth, BenefitKindsStayOutOfEveryContributionBase)
{
    std::vector<int> codes = {113, 114, 158, 159, 169, 170, 195, 196, 197, 695, 696, 697};
    for (int code = 110; code <= 117; ++code) codes.push_back(code);
    for (int code = 155; code <= 157; ++code) codes.push_back(code);
    for (int first : {561, 571, 581, 641, 651, 661, 671, 681})
        for (int code = first; code < first + 4; ++code) codes.push_back(code);
    const auto& ref = doc.refFiles;
    for (const int code : codes) {
        const int at = FindPayKind(doc, code);
        ASSERT_GE(at, 0) << code;
        for (int k = 0; k < ref.sborCount; ++k)
            EXPECT_FALSE(
                ContributionBaseAdmits(ref.sbor[std::size_t(k)].baseSelector, base().payKinds()[std::size_t(at)], doc))
                << code << " " << k;
    }
}

// The demo's minimum wage by its dates: 4,330 roubles to May 2011, 4,611 from
// 1 June, kept through the month changes that brought the base to April and
// through those that take it to June and on.
TEST_F(DemoMonth, TheMinimumWageOf2011ChangesInJune)
{
    for (int month = 1; month <= 12; ++month)
        EXPECT_EQ(base().config.mrot[std::size_t(month - 1)], month < 6 ? 4'330 : 4'611) << month;
    for (int month = 5; month <= 7; ++month) monthchange::ShiftMonthlyTables(doc, MonthKey(2011, month).value());
    EXPECT_EQ(base().config.mrot[4], 4'330);
    EXPECT_EQ(base().config.mrot[5], 4'611);
    EXPECT_EQ(base().config.mrot[6], 4'611);
}

// The five-day week of the demo firm keeps the production calendar of 2011
// (40 hours a week): January to October as the schedule holds them from the
// reporting month April, November and December as the month change makes
// them from the weekly pattern and the firm's public holidays when the base
// reaches them, 3 November an hour shorter before the 4 November holiday.
TEST_F(DemoMonth, MainScheduleKeepsTheProductionCalendarOf2011)
{
    struct Norm {
        int days, hours;
    };
    const Norm official[] = {{15, 120}, {19, 151}, {22, 175}, {21, 168}, {20, 160}, {21, 168},
                             {21, 168}, {23, 184}, {22, 176}, {21, 168}, {21, 167}, {22, 176}};
    for (int month = 1; month <= 10; ++month) {
        int days = 0, minutes = 0;
        EXPECT_EQ(
            CalcScheduleNorm(WorkSchedule::ReportingMonth + month - 4, base().scheduleAt(1), 1, 0, days, minutes, doc),
            0);
        EXPECT_EQ(days, official[month - 1].days) << month;
        EXPECT_EQ(minutes, official[month - 1].hours * 60) << month;
    }
    for (int month = 11; month <= 12; ++month) {
        monthchange::ShiftSchedules(doc, month == 11 ? 7 : 1);
        base().config.tekMes = u16(MonthKey(2011, month).value());
        int days = 0, minutes = 0;
        EXPECT_EQ(CalcScheduleNorm(WorkSchedule::ReportingMonth, base().scheduleAt(1), 1, 0, days, minutes, doc), 0);
        EXPECT_EQ(days, official[month - 1].days) << month;
        EXPECT_EQ(minutes, official[month - 1].hours * 60) << month;
    }
}
#endif
