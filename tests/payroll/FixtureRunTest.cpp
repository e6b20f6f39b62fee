// The tax and contribution calls over every employee of the fixture base: no
// failure, and a second run over the rows of the first charges nothing more.
#include "payroll/Contributions.h"
#include "payroll/IncomeTax.h"
#include "payroll/ScheduleNorm.h"

#include "payroll/FixtureBaseFile.h"
#include "support/TestFixture.h"
#include "values/Values.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::infobase;

TEST(FixtureRun, IncomeTaxIsChargedOnceAndContributionsRun)
{
    PayrollDoc doc;
    const FixtureBase fx = BuildFixtureBase(doc.infoBase, 40, 7);
    BuildFixtureRefFiles(doc.refFiles);
    payrolltest::AddFixtureContributionTables(doc);
    int charged = 0;
    for (const EmployeeListEntry& e : doc.infoBase.list) {
        doc.infoBase.current = fx.records[std::size_t(e.slot - 1)];
        std::vector<AccrualRow> rows(kCalcResultRows);
        int count = 0;
        for (const AccrualRow& r : doc.infoBase.current.rows)
            if (r.kod != 0 && r.kod != 902 && count < 60)
                rows[std::size_t(count++)] = r;
        const int added = CalcIncomeTax(0, rows.data(), count, doc);
        ASSERT_GE(added, 0) << "slot " << e.slot;
        charged += added;
        EXPECT_EQ(CalcIncomeTax(0, rows.data(), count + added, doc), 0) << "slot " << e.slot;

        const int contributions = CalcMonthContributions(rows.data(), count + added, doc);
        ASSERT_GE(contributions, 0) << "slot " << e.slot;
        const int total = count + added + contributions;
        EXPECT_EQ(CalcMonthContributions(rows.data(), total, doc), 0) << "slot " << e.slot;
    }
    EXPECT_GT(charged, 0);

    int days = 0, minutes = 0;
    EXPECT_EQ(CalcScheduleNorm(15, doc.infoBase.scheduleAt(1), 1, 0, days, minutes, doc), 0);
    EXPECT_GT(days, 15);
    EXPECT_EQ(minutes, days * 480);
}
