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
#include "payroll/MonthMoney.h"
#include "payroll/Settlement.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <array>
#include <cmath>
#include <map>

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

constexpr int kGolubev = 113; // 1,500.00 a month paid out by a statement of its own (904)

// What one employee's month owes and what its settlement took, read from his
// stored record before the month change: the month's entered deductions
// (what they asked, what their own rows took), the month's net (accrued less
// deducted), what the claims' rows took in all, and each loan's debt and
// what its own row took.
struct MonthOwed {
    double entered = 0, enteredTaken = 0;
    double net = 0, claimsTaken = 0;
    std::array<double, 4> debt{}, loanTaken{};
};

MonthOwed OwedOf(const EmployeeRecord& rec, int inputs)
{
    MonthOwed o;
    std::map<int, double> took;
    for (int i = inputs; i < 60; ++i) {
        const AccrualRow& r = rec.rows[std::size_t(i)];
        const RowOrigin origin = OriginOf(r.hrRest);
        took[r.hrRest] += r.sum;
        if (ClaimOf(origin, r.kod) || origin == RowOrigin::Writ)
            o.claimsTaken += r.sum;
    }
    for (int i = 0; i < inputs; ++i) {
        const AccrualRow& r = rec.rows[std::size_t(i)];
        if (EnteredClaim(r.kod) != Claim::Deduction || r.sum <= 0)
            continue;
        o.entered += r.sum;
        o.enteredTaken += took[OriginTag(RowOrigin::Entered, i)];
    }
    for (int l = 0; l < 4; ++l) {
        o.debt[std::size_t(l)] = rec.ssud.loans[std::size_t(l)].sumDolg;
        o.loanTaken[std::size_t(l)] = took[OriginTag(RowOrigin::Loan, l)];
    }
    o.net = MonthMoneyOfRecord(rec, inputs).net();
    return o;
}

// The employee's debt the change carried into the new month (915), and
// whether any of it is a cost group's.
double CarriedDebt(const EmployeeRecord& rec, int inputs, bool& ofGroup)
{
    double sum = 0;
    for (int i = 0; i < inputs; ++i) {
        const AccrualRow& r = rec.rows[std::size_t(i)];
        if (r.kod != kCodeDebtCarried)
            continue;
        sum += r.sum;
        ofGroup = ofGroup || r.spzCh != 0 || r.spzSc != 0 || r.spzAu != 0;
    }
    return sum;
}

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

// Every employee of every month from April 2011 to January 2012, through
// the program's calculation and month change: what he owed at the month's
// start is what the month took plus what it carried, to the kopeck. An
// entered deduction's rest and a net below zero come to the next month as
// his debt (915); a loan's debt falls by what its own row took. The claims
// never take the amount to pay below zero: a net below zero (an advance or
// a payout larger than the pay, a tax withheld from a payout) is left by
// claims that took nothing.
TEST_F(DemoYear, EveryEmployeesMonthTakesAndCarriesWhatHeOwes)
{
    for (int month = 4; month <= 12; ++month) {
        ComputeMonth();
        std::map<int, MonthOwed> owed;
        for (const EmployeeListEntry& e : base().list) {
            LoadEmployee(base(), e.slot);
            owed[e.slot] = OwedOf(base().current, base().attributesOf(e.slot).kvProizv);
        }
        const int next = month == 12 ? MonthKey(2012, 1).value() : MonthKey(2011, month + 1).value();
        ASSERT_EQ(MoveEmployeesToNextMonth(next, {}, doc), 1) << month;
        for (const EmployeeListEntry& e : base().list) {
            SCOPED_TRACE(testing::Message() << "month " << month << " employee " << e.tabN());
            const MonthOwed& o = owed[e.slot];
            if (o.net < 0) {
                EXPECT_EQ(o.claimsTaken, 0);
            }
            LoadEmployee(base(), e.slot);
            bool ofGroup = false;
            const double carried = CarriedDebt(base().current, base().attributesOf(e.slot).kvProizv, ofGroup);
            const double owedOn = (o.entered - o.enteredTaken) + std::max(0.0, -o.net);
            if (ofGroup) {
                EXPECT_GE(carried, owedOn);
            } else {
                EXPECT_DOUBLE_EQ(carried, owedOn);
            }
            for (std::size_t l = 0; l < 4; ++l)
                EXPECT_DOUBLE_EQ(o.debt[l] - base().current.ssud.loans[l].sumDolg, o.loanTaken[l]) << "loan " << l;
        }
    }
}

// 113 Голубев, a piece worker, has piece work entered up to April 2011
// only; from May he is paid 1,500.00 a month by a statement of its own (a
// payment with its payout, 904) and his advance. The tax on the payment,
// 13 % x 1,500.00 = 195.00, is within half of that payout (750.00): it is
// computed and withheld every month from May 2011 to January 2012 (as each
// month of January to April computed his tax on his piece work). The payout
// paid the 1,500.00 whole, so each month's net is 1,500.00 - 1,500.00 -
// 195.00 less the advance, his debt, carried into the next month beside the
// debt carried before, which takes nothing.
TEST_F(DemoYear, ATaxThePayCannotCoverIsComputedEveryMonthAndCarried)
{
    const int slot = Slot(kGolubev);
    LoadEmployee(base(), slot);
    for (int m = 1; m <= 3; ++m) {
        double tax = 0;
        for (int i = 0; i < base().current.warKv; ++i) {
            const WariaEntry& e = base().current.waria[std::size_t(i)];
            if (e.kod == 902 && e.god == 2011 && e.mes == m)
                tax += e.sum;
        }
        EXPECT_GT(tax, 0) << m;
    }
    ComputeMonth();
    EXPECT_GT(StoredRows(kGolubev, 902), 0);
    ASSERT_EQ(MoveEmployeesToNextMonth(MonthKey(2011, 5).value(), {}, doc), 1);
    bool ofGroup = false;
    LoadEmployee(base(), slot);
    double owed = CarriedDebt(base().current, base().attributesOf(slot).kvProizv, ofGroup);
    for (int month = 5; month <= 12; ++month) {
        const double advance = base().avOf(slot);
        ComputeMonth();
        EXPECT_EQ(StoredRows(kGolubev, 902), 19'500) << month;
        EXPECT_EQ(StoredRows(kGolubev, 904), 150'000) << month;
        EXPECT_EQ(MonthMoneyOfRecord(base().current, base().attributesOf(slot).kvProizv).net(), -advance - 19'500)
            << month;
        const int next = month == 12 ? MonthKey(2012, 1).value() : MonthKey(2011, month + 1).value();
        ASSERT_EQ(MoveEmployeesToNextMonth(next, {}, doc), 1) << month;
        owed += advance + 19'500;
        LoadEmployee(base(), slot);
        EXPECT_EQ(CarriedDebt(base().current, base().attributesOf(slot).kvProizv, ofGroup), owed) << month;
    }
    EXPECT_FALSE(ofGroup);
    ComputeMonth();
    EXPECT_EQ(StoredRows(kGolubev, 902), 19'500);
}

#endif
