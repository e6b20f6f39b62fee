// The income-tax register's calculation over a small base: the tax withheld
// month by month, the employees' own periods, the register area kept between
// runs.
#include "reports/incometax/TaxRegister.h"

#include "TaxRegisterFixture.h"

#include "infobase/InfoBaseDb.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "support/TestFixture.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;

using namespace kalvor::reports::testing;

using TaxRegisterRun = TaxRegisterBase<>;

TEST_F(TaxRegisterRun, WithheldSumsOfTheQuarterStayTheSameOverTwoRuns)
{
    RegisterArea area(doc);
    area.transferred(0) = 4'900;
    area.previousEmployer() = 12'345;
    area.matrix(3, 5) = 77;
    const std::vector<double> expected{4'900, 4'900, 3'900, 0, 0, 0, 0, 0, 0, 0, 0, 0, 13'700};
    ASSERT_EQ(CalcNalRegistr({}, ReportSelection{}, 0, doc), GenrDone);
    EXPECT_EQ(withheldRoubles(), expected);
    ASSERT_EQ(CalcNalRegistr({}, ReportSelection{}, 0, doc), GenrDone);
    EXPECT_EQ(withheldRoubles(), expected);
    // What the user entered stays; the income matrix is cleared per employee.
    EXPECT_EQ(area.transferred(0), 4'900);
    EXPECT_EQ(area.previousEmployer(), 12'345);
    EXPECT_EQ(area.matrix(3, 5), 0);

    // Only Лебедев by his personnel number.
    ReportSelection one;
    one.tabN = doc.infoBase.list[2].tabN();
    ASSERT_EQ(CalcNalRegistr({}, one, 0, doc), GenrDone);
    EXPECT_EQ(withheldRoubles(), (std::vector<double>{1'000, 1'000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2'000}));
}

TEST_F(TaxRegisterRun, PeriodDefaultsAndWrongPeriods)
{
    CInfoBase& base = doc.infoBase;
    base.config.r_m1 = 0;
    base.config.r_m2 = 0;
    ASSERT_EQ(CalcNalRegistr({}, ReportSelection{}, 0, doc), GenrDone);
    // The whole year: Ершова from May, Лебедев's March payment after his dismissal left out.
    EXPECT_EQ(withheldRoubles()[12], 12 * 3'900 + 8 * 2'600 + 2 * 1'000);

    RegisterArea(doc).withheld(12) = 5;
    base.config.r_m1 = 7;
    base.config.r_m2 = 3;
    EXPECT_EQ(CalcNalRegistr({}, ReportSelection{}, 0, doc), -2);
    EXPECT_EQ(RegisterArea(doc).withheld(12), 5);
    base.config.r_m1 = 1;
    base.config.r_g = 112;
    EXPECT_EQ(CalcNalRegistr({}, ReportSelection{}, 0, doc), -2);

    base.config.r_g = 111;
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(CalcNalRegistr(stop.get_token(), ReportSelection{}, 0, doc), GenrStopped);
}

TEST_F(TaxRegisterRun, PeriodFromAprilKeepsTheYearsCodes)
{
    CInfoBase& base = doc.infoBase;
    base.config.r_m1 = 4;
    base.config.r_m2 = 6;
    ReportPeriod period;
    ASSERT_EQ(RegisterPeriod(base.config, period), 0);
    // The whole archive, so that the base accumulated before April is known.
    ASSERT_TRUE(SelectPeriodToSwap(base, 0, 0, ReportSelection{}.toInfoBaseSelection(0)));
    ASSERT_TRUE(base.swap.readSlot(base.list[0].slot, base.current));
    RegisterMonths months;
    ASSERT_TRUE(EmployeeRegisterSpan(base.current.head, period, months.start, months.end));
    EXPECT_EQ(months.start, MonthKey(2011, 4).value());
    EXPECT_EQ(months.end, MonthKey(2011, 6).value());
    ASSERT_EQ(EmployeeRegisterMonths(doc, 2011, 0, months), 0);
    base.CloseSwapFile();

    const IncomeMonthRow& first = months.rows[0];
    EXPECT_EQ(first.incomeCodes[0], 2000u);
    EXPECT_EQ(first.taxable, 0);
    EXPECT_EQ(first.taxWithheld, 0);
    EXPECT_EQ(months.rows[3].taxWithheld, rub(3'900));
    EXPECT_EQ(months.total().incomeCodes, first.incomeCodes);
    EXPECT_EQ(months.total().taxable, rub(90'000));
    EXPECT_EQ(months.total().taxWithheld, rub(3 * 3'900));
    // The base of the period: what accumulated by June less what accumulated by March.
    EXPECT_EQ(months.prePeriodBase, rub(90'000));
    EXPECT_EQ(months.rows[5].base, rub(180'000));
    EXPECT_EQ(months.total().base, rub(90'000));
}

TEST_F(TaxRegisterRun, TheEndMonthsBaseIsNeverBelowNought)
{
    CInfoBase& base = doc.infoBase;
    ReportPeriod period;
    ASSERT_EQ(RegisterPeriod(base.config, period), 0);
    ASSERT_TRUE(SelectPeriodToSwap(base, 0, 0, ReportSelection{}.toInfoBaseSelection(0)));
    ASSERT_TRUE(base.swap.readSlot(base.list[0].slot, base.current));
    base.CloseSwapFile();
    // Орлов's March takes back 200,000 roubles: the year's base by March is
    // 90,000 - 200,000 = -110,000, which the register shows as 0.
    WariaEntry& reversal = base.current.waria[base.current.warKv++];
    reversal.kod = 1;
    reversal.sum = rub(-200'000);
    reversal.god = 2011;
    reversal.mes = 3;
    RegisterMonths months;
    ASSERT_TRUE(EmployeeRegisterSpan(base.current.head, period, months.start, months.end));
    ASSERT_EQ(EmployeeRegisterMonths(doc, 2011, 0, months), 0);
    EXPECT_EQ(months.rows[1].base, rub(60'000));
    EXPECT_EQ(months.rows[2].base, 0);
    EXPECT_EQ(months.total().base, 0);
    EXPECT_EQ(months.total().taxable, rub(-110'000));
}

TEST(TaxRegisterDates, EmployeesOwnPeriods)
{
    const ReportPeriod quarter{2011, 1, 3};
    EmployeeHead head;
    int start = 0, end = 0;
    EXPECT_TRUE(EmployeeRegisterSpan(head, quarter, start, end));
    EXPECT_EQ(start, MonthKey(2011, 1).value());
    EXPECT_EQ(end, MonthKey(2011, 3).value());
    head.datPr1 = date(15, 2, 2011);
    head.datUv1 = date(3, 3, 2011);
    EXPECT_TRUE(EmployeeRegisterSpan(head, quarter, start, end));
    EXPECT_EQ(start, MonthKey(2011, 2).value());
    EXPECT_EQ(end, MonthKey(2011, 3).value());
    head.datUv1 = date(28, 2, 2011);
    EXPECT_TRUE(EmployeeRegisterSpan(head, quarter, start, end));
    EXPECT_EQ(end, MonthKey(2011, 2).value());
    head.datPr1 = date(1, 4, 2011);
    head.datUv1 = 0;
    EXPECT_FALSE(EmployeeRegisterSpan(head, quarter, start, end));
    head.datPr1 = 0;
    head.datUv1 = date(31, 12, 2010);
    EXPECT_FALSE(EmployeeRegisterSpan(head, quarter, start, end));

    EXPECT_EQ(RegisterTaxSelector(1), 1);
    EXPECT_EQ(RegisterTaxSelector(2), 2);
    EXPECT_EQ(RegisterTaxSelector(7), 1);
}

TEST(TaxRegisterDates, PropertyDeductionAmounts)
{
    EmployeeHead head;
    head.imvichBeg = 200'000'00;
    head.imvichNY = 150'000'00;
    head.imvichOst = 120'000'00;
    EXPECT_EQ(PropertyDeductionAmount(head, 2011, 2011), 0); // no notice date
    head.imvichDat = date(1, 3, 2010);
    EXPECT_EQ(PropertyDeductionAmount(head, 2011, 2011), 30'000'00);
    EXPECT_EQ(PropertyDeductionAmount(head, 2010, 2011), 50'000'00);
    EXPECT_EQ(PropertyDeductionAmount(head, 2010, 2012), 0);
    // Amounts entered out of order give no deduction, not 42.9 million roubles.
    head.imvichOst = 160'000'00;
    EXPECT_EQ(PropertyDeductionAmount(head, 2011, 2011), 0);
    head.imvichNY = 250'000'00;
    EXPECT_EQ(PropertyDeductionAmount(head, 2010, 2011), 0);
}
