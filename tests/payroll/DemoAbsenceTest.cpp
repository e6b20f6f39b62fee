// The demo firm's absences that cross a month or are not sick pay: a sick
// leave from July into August with its continuation in August, the
// child-care leave of 128 Хохлова from 18 April, and the sick pay of 107
// Гусева, who has no earnings in the two years before.
#include "DemoFirm.h"
#include "PayrollWorld.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/AbsentDays.h"
#include "payroll/CalcThread.h"
#include "payroll/MonthChange.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#ifdef KALVOR_DATA_DIR
#include "support/DemoDocument.h"

using namespace kalvor;
using namespace kalvor::infobase;

namespace {

constexpr int kKudryavtseva = 102; // 38,000 a month (code 4) and 5,000 (code 53) for the worked time
constexpr int kKhokhlova = 128; // child-care leave from 18 April
constexpr int kGuseva = 107; // hired on 11 April 2011: no earnings in 2009 and 2010

class DemoAbsence : public testsupport::DemoBaseTest {
protected:
    void ComputeMonth()
    {
        const CalcInPlaceRun run = CalcWholeMonthInPlace(doc);
        ASSERT_EQ(run.outcome.result, platform::TASK_DONE) << base().config.tekMes;
        ASSERT_EQ(run.outcome.detail, 0) << base().config.tekMes << ": employee " << run.failedTabN << ", error "
                                         << run.failedCode;
    }
    void NextMonth()
    {
        const MonthKey now = base().config.reportingKey();
        ASSERT_EQ(MoveEmployeesToNextMonth(now.plus(1).value(), {}, doc), 1) << now.value();
    }
    static SickLeaveSheet Sheet(int d1, int m1, int d2, int m2) { return payrolltest::sickSheet(d1, m1, d2, m2, 2011); }
};

} // namespace

// 102 falls ill on 27 July 2011 until 5 August; the sheet is entered in
// July, which pays its benefit for 1-5 August in advance. The change into
// August takes those five working days (Monday to Friday) off her new sheet:
// 23 - 5 = 18 days, the 1st to the 5th unmarked. In August the sheet
// continuing it, 6-10 August (Saturday to Wednesday), takes the 8th to the
// 10th: 15 days worked of 23, 38,000 x 15/23 = 24,782.61 and 5,000 x 15/23
// = 3,260.87.
TEST_F(DemoAbsence, ASickLeaveIntoTheNextMonthIsNotPaidAsWorkTwice)
{
    for (int month = 4; month <= 6; ++month) {
        ASSERT_NO_FATAL_FAILURE(ComputeMonth());
        ASSERT_NO_FATAL_FAILURE(NextMonth());
    }
    const int slot = Slot(kKudryavtseva);
    ASSERT_TRUE(base().bln.replaceRun(slot, std::vector<SickLeaveSheet>{Sheet(27, 7, 5, 8)}));
    ASSERT_NO_FATAL_FAILURE(ComputeMonth());
    EXPECT_GT(StoredRows(kKudryavtseva, 157), 0); // the benefit of 1-5 August, paid in July
    ASSERT_NO_FATAL_FAILURE(NextMonth());

    const TabelRecord& august = base().tabelOf(slot);
    EXPECT_EQ(august.rabDn, 18);
    for (int day : {1, 2, 3, 4, 5}) EXPECT_FALSE(DayMarked(august, day)) << day;
    EXPECT_EQ(MarkedDays(august), 18);

    SickLeaveSheet continued = Sheet(6, 8, 10, 8);
    continued.contin = 1;
    ASSERT_TRUE(base().bln.replaceRun(slot, std::vector<SickLeaveSheet>{continued}));
    ASSERT_NO_FATAL_FAILURE(ComputeMonth());
    EXPECT_EQ(StoredRows(kKudryavtseva, 4), 2'478'261); // the salary
    EXPECT_EQ(StoredRows(kKudryavtseva, 53), 326'087);
    EXPECT_EQ(StoredRows(kKudryavtseva, 110) + StoredRows(kKudryavtseva, 111), 0); // the employer's days were July's
    EXPECT_GT(StoredRows(kKudryavtseva, 156), 0);
}

// 128's sheet of kind 5 (care of her first child up to 1.5 years) from 18
// April 2011: her days are the child-care allowance, 169, not a temporary
// disability benefit (156), and free of income tax: 13 % of (95,736.63 -
// 2,228.30 - 4,400.00) since January = 11,584, less 9,591 withheld in
// January to March: 1,993.
TEST_F(DemoAbsence, ChildCareLeaveIsTheChildCareAllowance)
{
    ASSERT_NO_FATAL_FAILURE(ComputeMonth());
    EXPECT_EQ(StoredRows(kKhokhlova, 156), 0);
    EXPECT_EQ(StoredRows(kKhokhlova, 155) + StoredRows(kKhokhlova, 157), 0);
    EXPECT_EQ(StoredRows(kKhokhlova, 169), 222'830);
    EXPECT_EQ(StoredRows(kKhokhlova, 902), 199'300);
}

// 107 Гусева, hired on 11 April 2011, earned nothing in 2009 and 2010. Her
// sheets, with no tick "Из МРОТ", are averaged at the minimum wage of their
// start month over 730 days, at 100 %. 16-20 May: 4,330 x 24 / 730 =
// 142.356... = 142.36 a day, 711.80 for the five days: the first three the
// employer's, 3 x 142.36 = 427.08 (code 111), the other two the benefit,
// 284.72 (156). 6-10 June: 4,611 x 24 / 730 = 151.594... = 151.59 a day,
// 757.95: 454.77 and 303.18.
TEST_F(DemoAbsence, NoEarningsInTheTwoYearsAveragesTheMinimumWage)
{
    ASSERT_NO_FATAL_FAILURE(ComputeMonth());
    ASSERT_NO_FATAL_FAILURE(NextMonth());
    const int slot = Slot(kGuseva);
    struct Case {
        int firstDay, month, lastDay;
        double sheet, employer, benefit;
    };
    for (const Case c : {Case{16, 5, 20, 71'180, 42'708, 28'472}, Case{6, 6, 10, 75'795, 45'477, 30'318}}) {
        ASSERT_EQ(base().config.reportingMonth(), c.month);
        ASSERT_TRUE(base().bln.replaceRun(slot, std::vector<SickLeaveSheet>{Sheet(c.firstDay, c.month, c.lastDay, c.month)}));
        ASSERT_NO_FATAL_FAILURE(ComputeMonth());
        ASSERT_EQ(base().bln.count(slot), 1);
        EXPECT_EQ(base().bln.run(slot)[0].sum, c.sheet) << c.month;
        EXPECT_EQ(StoredRows(kGuseva, 111), c.employer) << c.month;
        EXPECT_EQ(StoredRows(kGuseva, 156), c.benefit) << c.month;
        ASSERT_NO_FATAL_FAILURE(NextMonth());
    }
}

#endif
