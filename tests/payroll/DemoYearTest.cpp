// The demo firm taken from April 2011 to January 2012 by the program's own
// calculation and month change, nothing new entered: every month computes
// for everyone without errors and every change succeeds. The changes into
// November, December and January make the five-day week's month from the
// weekly pattern by the Labour Code and say so; the change into January and
// January's calculation say that the tax tables hold nothing of 2012. 105
// Широков's property deduction (1,850,000.00 from May 2011) leaves 2011 with
// what the year used taken off, and January 2012 taxes him in full until a
// notice of 2012 is entered.
#include "DemoFirm.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcThread.h"
#include "payroll/MonthChange.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#ifdef KALVOR_DATA_DIR
#include "support/DemoDocument.h"

using namespace kalvor;
using namespace kalvor::infobase;

namespace {

constexpr int kShirokov = 105;

class DemoYear : public testsupport::DemoBaseTest {
protected:
    // The month of everyone computed and stored; the run's message.
    QString ComputeMonth()
    {
        const CalcInPlaceRun run = CalcWholeMonthInPlace(doc);
        EXPECT_EQ(run.outcome.result, platform::TASK_DONE) << base().config.tekMes;
        EXPECT_EQ(run.outcome.detail, 0) << base().config.tekMes << ": employee " << run.failedTabN << ", error "
                                         << run.failedCode;
        return run.outcome.message;
    }
};

QString PatternNote(const char* month)
{
    return QStringLiteral("Календарь на %1 составлен по недельному шаблону графиков: 1 (праздники, совпавшие с "
                          "выходными, перенесены на следующий рабочий день, предпраздничные дни сокращены на час). "
                          "Дни, перенесенные постановлением Правительства, внесите в справочник графиков.")
        .arg(QString::fromUtf8(month));
}

} // namespace

TEST_F(DemoYear, AprilToJanuaryComputesChangesAndSaysWhatItMadeByRule)
{
    for (int month = 4; month <= 12; ++month) {
        ASSERT_EQ(base().config.tekMes, MonthKey(2011, month).value());
        EXPECT_EQ(ComputeMonth(), QString()) << month; // the tables hold 2011
        const int next = month == 12 ? MonthKey(2012, 1).value() : MonthKey(2011, month + 1).value();
        ASSERT_EQ(MoveEmployeesToNextMonth(next, {}, doc), 1) << month; // no error situation
        if (month < 10) {
            EXPECT_EQ(doc.monthChangeNotes, QStringList()) << month; // the months the firm typed
        }
        if (month == 10) {
            EXPECT_EQ(doc.monthChangeNotes, QStringList{PatternNote("ноябрь 2011 года")});
            // 21 days, 3 November an hour shorter: 167 hours.
            const ScheduleMonth& november = base().scheduleAt(1).months[WorkSchedule::ReportingMonth];
            EXPECT_EQ(november.rDn, 21);
            EXPECT_EQ(november.rMin, 167 * 60);
        }
        if (month == 11) {
            EXPECT_EQ(doc.monthChangeNotes, QStringList{PatternNote("декабрь 2011 года")});
        }
    }
    EXPECT_EQ(doc.monthChangeNotes,
              (QStringList{PatternNote("январь 2012 года"),
                           QStringLiteral("Справочник налогов не содержит таблиц на 2012 год")}));
    // 1 and 7 January's days off moved to 6 and 9 January: 16 days, 128 hours,
    // on 105's new time sheet too.
    const ScheduleMonth& january = base().scheduleAt(1).months[WorkSchedule::ReportingMonth];
    EXPECT_EQ(january.rDn, 16);
    EXPECT_EQ(january.rMin, 128 * 60);
    EXPECT_EQ(base().tabelOf(Slot(kShirokov)).rabDn, 16);

    // 2011 withheld 11,908.00 from 105 by April (2,938 + 2,990 + 2,990 +
    // 2,990); from May the deduction took his base: 24,000.00 a month less
    // 1,000.00 for his child up to November (income within 280,000), the
    // full 24,000.00 in December: 7 x 23,000 + 24,000 = 185,000.00 used,
    // 1,665,000.00 left for the year to come.
    LoadEmployee(base(), Slot(kShirokov));
    double withheld = 0;
    for (int i = 0; i < base().current.warKv; ++i) {
        const WariaEntry& e = base().current.waria[std::size_t(i)];
        if (e.kod == 902 && e.god == 2011)
            withheld += e.sum;
    }
    EXPECT_EQ(withheld, 1'190'800);
    const EmployeeHead& head = base().current.head;
    EXPECT_EQ(head.imvichBeg & 0x1FFFFFFFu, 185'000'000u);
    EXPECT_EQ(head.imvichNY & 0x1FFFFFFFu, 166'500'000u);
    EXPECT_EQ(head.imvichOst & 0x1FFFFFFFu, 166'500'000u);

    // January 2012 without a notice of 2012: 13 % of 24,000.00, the standing
    // deductions having ended with 2011; the remainder kept whole.
    EXPECT_EQ(ComputeMonth(), QStringLiteral("Справочник налогов не содержит таблиц на 2012 год"));
    EXPECT_EQ(StoredRows(kShirokov, 902), 312'000);
    EXPECT_EQ(base().current.head.imvichOst & 0x1FFFFFFFu, 166'500'000u);

    // The notice of 2012 entered: the deduction takes January's 24,000.00.
    base().current.head.imvichSprNom = QStringLiteral("31");
    base().current.head.imvichSprDat = QStringLiteral("16.1.12");
    SaveEmployee(base(), Slot(kShirokov));
    ComputeMonth();
    EXPECT_EQ(StoredRows(kShirokov, 902), 0);
    EXPECT_EQ(base().current.head.imvichOst & 0x1FFFFFFFu, 164'100'000u);
}

#endif
