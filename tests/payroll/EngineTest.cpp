// One employee's month: golden rows of fixture employees, the error codes,
// display mode against store mode, and the rows stored in the base.
#include "payroll/AccrualPass.h"
#include "payroll/BrigadeShare.h"
#include "payroll/CalcEmployeeMonth.h"
#include "payroll/IncomeTax.h"
#include "payroll/MonthInputRows.h"
#include "payroll/MonthWarnings.h"
#include "payroll/Settlement.h"
#include "payroll/SickLeaveRows.h"

#include "FixtureBaseFile.h"
#include "PayrollWorld.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcErrors.h"
#include "payroll/MonthMoney.h"
#include "payroll/Rounding.h"
#include "support/TestFixture.h"
#include "values/Messages.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include <fcntl.h>
#include <unistd.h>

using namespace payrolltest;
using namespace kalvor;

namespace {

constexpr double kSalary = 5'000'000; // 50,000 roubles

// March 2026: 22 working days of 8 hours (Monday to Friday), 10,560 minutes.
struct EngineWorld {
    QTemporaryDir dir;
    PayrollDoc doc;
    EmployeeRecord rec; // the employee as the swap file holds him
    CalcWorkBuffer work;
    CalcResultBuffer result{};
    CalcOptions options; // what a vacation screen would pass

    CInfoBase& base() { return doc.infoBase; }
    EmployeeAttributes& attr() { return doc.infoBase.attributesOf(1); }
    TabelRecord& tabel() { return doc.infoBase.tabelOf(1); }
    AccrualRow* rows() { return result.data(); }

    EngineWorld()
    {
        auto& b = doc.infoBase;
        b.workFolder = dir.path() + QLatin1Char('/');
        b.AllocateTables(4);
        setReportingMonth(doc, 2026, 3);
        b.scheduleAt(1).rdHr = 8;
        b.firm.procNgt = 40;
        b.firm.procEvn = 20;
        PayKind k4 = kind(4, {"oblPodoh"}, 1, 2000);
        k4.enAlim = 1;
        k4.g11 = 1;
        setKinds(doc,
                 {kind(1, {"oblPodoh"}, 1, 2000), kind(3, {"oblPodoh"}, 1, 2000), k4, kind(21, {"oblPodoh"}, 1, 2000),
                  kind(22, {"oblPodoh"}, 1, 2000), kind(53, {"oblPodoh"}, 1, 2000), kind(79, {"oblPodoh"}, 1, 1011),
                  kind(600), kind(810), kind(901), kind(902), kind(903), kind(904), kind(911), kind(914), kind(919),
                  kind(921), kind(922), kind(923)});
        flatTable(doc, 0, 2026, 13, 0, true);
        flatTable(doc, 1, 2026, 30, 0, false);
        flatTable(doc, 2, 2026, 1, 0, false); // the postal fee: 1 %
        b.list.push_back(EmployeeListEntry{u16(101 << 3), 1});
        b.config.kolRab = 1;
        attr().sistOpl = 4;
        attr().graph = 1;
        b.shopOf(1) = 5;
        rec.head.datPr1 = date(10, 1, 2020);
        rec.head.datR = date(5, 6, 1985);
        rec.head.pol = QStringLiteral("М");
        rec.head.tabPodoh = 1;
        rec.head.spz[0] = {11, 22, 33};
        // An empty base of its own takes what the calculation stores.
        b.baseName = QStringLiteral("engine");
        CreateSchemaBase(dir.path(), b.baseName);
    }
    ~EngineWorld() { CloseBase(doc.infoBase); }

    void salaried(double oklad = kSalary)
    {
        attr().sistOpl = 4;
        rec.head.oklad = oklad;
        tabel().rabDn = 22;
    }

    void writeSwap()
    {
        auto& b = doc.infoBase;
        b.swap.setPath(b.swapPath());
        b.swap.create();
        b.swap.writeSlot(1, rec);
        b.currentSlot = 0;
    }

    int calc(CalcMode mode = CalcStore)
    {
        writeSwap();
        return CalcEmployeeMonth(doc, rows(), 0, &work, mode, options);
    }
    // Computes again without rewriting the swap file (the record stays current).
    int again(CalcMode mode) { return CalcEmployeeMonth(doc, rows(), 0, &work, mode, options); }

    // The rows stored into the record behind the entered ones.
    std::vector<AccrualRow> stored() const
    {
        const auto& r = doc.infoBase.current.rows;
        std::vector<AccrualRow> out;
        for (int i = doc.infoBase.attributesOf(1).kvProizv; i < kStoredRowLimit; ++i)
            if (!(r[std::size_t(i)] == AccrualRow{}))
                out.push_back(r[std::size_t(i)]);
        return out;
    }
};

AccrualRow expected(int code, double sum, int days = 0, int minutes = 0, int shop = 5)
{
    AccrualRow r = row(code, sum, 3, days, minutes / 60, minutes % 60);
    r.otd = u8(shop);
    r.spzCh = 11;
    r.spzSc = 22;
    r.spzAu = 33;
    return r;
}

void ExpectRows(const std::vector<AccrualRow>& got, const std::vector<AccrualRow>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i << " code " << want[i].kod);
        EXPECT_EQ(got[i].kod, want[i].kod);
        EXPECT_DOUBLE_EQ(got[i].sum, want[i].sum);
        EXPECT_EQ(got[i].mes, want[i].mes);
        EXPECT_EQ(got[i].dn, want[i].dn);
        EXPECT_EQ(got[i].hr, want[i].hr);
        EXPECT_EQ(got[i].min, want[i].min);
        EXPECT_EQ(got[i].otd, want[i].otd);
        EXPECT_EQ(got[i].spzCh, want[i].spzCh);
        EXPECT_EQ(got[i].spzSc, want[i].spzSc);
        EXPECT_EQ(got[i].spzAu, want[i].spzAu);
    }
}

std::vector<AccrualRow> ResultRows(const AccrualRow* rows, int n) { return std::vector<AccrualRow>(rows, rows + n); }

} // namespace

// ----------------------------------------------------------------------------- golden employees

TEST(EngineGolden, SalariedFullMonth)
{
    EngineWorld w;
    w.salaried();
    w.base().avOf(1) = 2'000'000; // advance of 20,000 roubles
    addArchive(w.doc, archive(4, kSalary, 2026, 1, 21));
    addArchive(w.doc, archive(902, 650'000, 2026, 1));
    addArchive(w.doc, archive(4, kSalary, 2026, 2, 19));
    addArchive(w.doc, archive(902, 650'000, 2026, 2));
    // Social insurance at 2.9 % of the year's income, by table 4.
    auto kinds = w.base().payKinds();
    kinds.push_back(kind(992));
    setKinds(w.doc, kinds);
    flatTable(w.doc, 3, 2026, 2, 90, true);
    w.doc.refFiles.sbor[0] = {QStringLiteral("ФСС"), 992, 4, 0};
    w.doc.refFiles.sborCount = 1;
    addArchive(w.doc, archive(992, 145'000, 2026, 1));
    addArchive(w.doc, archive(992, 145'000, 2026, 2));
    w.rec.waria = w.doc.infoBase.current.waria;
    w.rec.warKv = w.doc.infoBase.current.warKv;

    ASSERT_EQ(w.calc(), 4);
    // Sorted by code: salary for 22 days, the advance, 13 % tax, and the
    // contribution, which is the firm's and is not deducted.
    ExpectRows(w.stored(),
               {expected(4, kSalary, 22), expected(901, 2'000'000), expected(902, 650'000), expected(992, 145'000)});
    EXPECT_EQ(w.base().zar1Of(1), kSalary - 2'000'000 - 650'000);
}

TEST(EngineGolden, HourlyWithEveningAndNightHours)
{
    EngineWorld w;
    w.attr().sistOpl = 2;
    w.rec.head.tarifVrem.rub = 300; // 300 roubles an hour
    w.rec.head.procVech = 25; // the employee's own evening percent
    w.tabel().rabDn = 20; // minutes completed from the day length
    w.tabel().vHr = 600; // 10 evening hours
    w.tabel().nHr = 480; // 8 night hours at the firm's 40 %

    ASSERT_EQ(w.calc(), 4);
    const double pay = 4'800'000, evening = 10 * 30'000 * 0.25, night = 8 * 30'000 * 0.40;
    const double tax = RoundWhole((pay + evening + night) * 0.13);
    ExpectRows(w.stored(), {expected(3, pay, 20, 9600), expected(21, evening, 0, 600), expected(22, night, 0, 480),
                            expected(902, tax)});
    EXPECT_EQ(w.base().zar1Of(1), pay + evening + night - tax);
}

namespace {

// A sick-leave sheet from `fromDay` to `toDay` of March 2026, paid out at once;
// a vacation of `days` calendar days from `vacationDay`; a year of the same
// salary before the month, which the averages take.
void AddSickLeaveAndVacation(EngineWorld& w, int fromDay, int toDay, int vacationDay, int days)
{
    SickLeaveSheet s;
    s.dBegin = u8(fromDay);
    s.mBegin = 3;
    s.gBegin = 2026;
    s.dEnd = u8(toDay);
    s.mEnd = 3;
    s.gEnd = 2026;
    s.mrp = 1;
    s.sum = 1'234'567; // paid out at once
    ASSERT_TRUE(w.base().bln.replaceRun(1, std::span<const SickLeaveSheet>(&s, 1)));
    VacationNote v;
    v.dBegin = u8(vacationDay);
    v.mBegin = 3;
    v.gBegin = 2026;
    v.dlin = u16(days);
    v.kalend = 4;
    ASSERT_TRUE(w.base().otp.replaceRun(1, std::span<const VacationNote>(&v, 1)));
    for (int k = 1; k <= 12; ++k) {
        const int m = (3 - k + 11) % 12 + 1;
        addArchive(w.doc, archive(4, kSalary, m < 3 ? 2026 : 2025, m, 21));
    }
    w.rec.waria = w.doc.infoBase.current.waria;
    w.rec.warKv = w.doc.infoBase.current.warKv;
    PayKind k4 = *PayKindOf(w.doc, 4);
    k4.enSrZar = 1;
    k4.enOtp = 1;
    k4.budgBln = 0;
    k4.enBlnFull = 1; // enters the sick-leave average
    auto kinds = w.base().payKinds();
    for (auto& k : kinds)
        if (k.kod == 4)
            k = k4;
    for (int code : {85, 110, 111, 156, 155, 157, 153}) kinds.push_back(kind(code, {"oblPodoh"}, 1, 2000));
    setKinds(w.doc, kinds);
    w.base().firm.blnMaxOgr = 10'000'000;
}

} // namespace

TEST(EngineGolden, MonthWithSickLeaveAndVacation)
{
    EngineWorld w;
    w.salaried();
    // Sick from Monday 2 to Friday 6 March; on vacation for 5 days from Monday 23 March.
    AddSickLeaveAndVacation(w, 2, 6, 23, 5);

    ASSERT_EQ(w.calc(CalcStore), 6);
    // The sheet holds its benefit; its first three days are the employer's.
    const double benefit = w.base().bln.lines[0].sum;
    ASSERT_GT(benefit, 0);
    const double employer = RoundWhole(benefit * 3 / 5);
    // Salary for the 12 days left of 22 (5 sick, 5 on vacation); the vacation
    // at the year's average of 50,000 roubles a month over 29.4 days a month.
    const double salary = RoundWhole(kSalary * 12 / 22);
    const double vacation = RoundWhole(kSalary / 29.4) * 5;
    // Tax on the year so far: January and February had none withheld.
    const double tax = RoundWhole((2 * kSalary + salary + benefit + vacation) * 0.13);
    ExpectRows(w.stored(), {expected(4, salary, 12), expected(85, vacation, 5), expected(111, employer, 3),
                            expected(156, benefit - employer, 2), expected(902, tax), expected(904, benefit)});
    EXPECT_EQ(w.base().zar1Of(1), salary + vacation + benefit - tax - benefit);
    // The entered time sheet is given back: a second run gives the same rows.
    EXPECT_EQ(w.tabel().rabDn, 22);
    const auto first = w.stored();
    ASSERT_EQ(w.again(CalcStore), 6);
    ExpectRows(w.stored(), first);
}

// A sickness inside a vacation: the days of the sheet are not the vacation's,
// so the time sheet loses each day once. Vacation from Monday 16 March for 14
// calendar days (working days 16-20 and 23-27), sick from Monday 23 to Friday
// 27: 22 working days less 5 of vacation and 5 of sickness leave 12 for the
// salary, 50,000 x 12 / 22.
TEST(EngineGolden, ASickSheetInsideAVacationLowersTheTimeSheetOnce)
{
    EngineWorld w;
    w.salaried();
    AddSickLeaveAndVacation(w, 23, 27, 16, 14);
    auto kinds = w.base().payKinds();
    kinds.push_back(kind(87, {"oblPodoh"}, 1, 2000)); // the vacation's days carried into April
    setKinds(w.doc, kinds);
    ASSERT_GT(w.calc(CalcStore), 0);
    const auto rows = w.stored();
    const auto salary = std::find_if(rows.begin(), rows.end(), [](const AccrualRow& r) { return r.kod == 4; });
    ASSERT_NE(salary, rows.end());
    EXPECT_EQ(salary->dn, 12);
    EXPECT_DOUBLE_EQ(salary->sum, RoundWhole(kSalary * 12 / 22));
    EXPECT_EQ(w.tabel().rabDn, 22); // the entered sheet is given back
}

TEST(EngineGolden, NonResidentForeignWorker)
{
    EngineWorld w;
    w.salaried();
    w.rec.head.flags = (1u << 9) | (1u << 2); // foreign worker, not resident
    w.rec.head.inostrDatPr = date(1, 12, 2025);
    ASSERT_EQ(w.calc(), 2);
    // 31 + 31 + 28 days from 1 December to the end of February.
    EXPECT_EQ(w.base().current.head.inostrDnPrRF, 90);
    ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(902, 1'500'000)});
    EXPECT_EQ(w.base().zar1Of(1), 3'500'000);
}

TEST(EngineGolden, WritLoanAndTransfer)
{
    EngineWorld w;
    w.salaried();
    auto& writ = w.rec.ispol.writs[0];
    writ.vid = 1;
    writ.priznUd = 1;
    writ.sum = 2500; // 25 %
    writ.tabPsbor = 3;
    auto& loan = w.rec.ssud.loans[0];
    loan.kod = 810;
    loan.sumDolg = 1'000'000;
    loan.kvMes = 3;
    loan.mes = {1, 5, 0};
    loan.sum = {200'000, 100'000, 0};
    w.rec.sber[0].kod = 903; // the rest goes to the bank

    ASSERT_EQ(w.calc(), 6);
    const double tax = 650'000;
    const double alimony = (kSalary - tax) * 0.25;
    const double fee = RoundWhole(alimony / 100 * 1); // 1 % of roubles gives kopecks
    const double loanPay = 200'000 + 2 * 100'000;
    const double rest = kSalary - loanPay - tax - alimony - fee;
    ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(810, loanPay), expected(902, tax), expected(903, rest),
                            expected(911, alimony), expected(914, fee)});
    EXPECT_EQ(w.base().zar1Of(1), 0);

    // A row of code 938 entered for the month is not among the deductions
    // the rest is left after (700 to 934): the transfer stays the same, and
    // nothing is paid, since the amount to pay counts no code above 937.
    auto kinds = w.base().payKinds();
    kinds.push_back(kind(938));
    setKinds(w.doc, kinds);
    w.rec.rows[0] = row(938, 100'000, 3);
    w.attr().kvProizv = 1;
    ASSERT_EQ(w.calc(), 7);
    std::vector<AccrualRow> computed = w.stored();
    ASSERT_EQ(computed.back().kod, 938); // the entered row, kept behind the computed ones
    computed.pop_back();
    ExpectRows(computed, {expected(4, kSalary, 22), expected(810, loanPay), expected(902, tax), expected(903, rest),
                          expected(911, alimony), expected(914, fee)});
    EXPECT_EQ(w.base().zar1Of(1), 0);
}

// A loan's monthly deduction typed far past its debt (99,999,999.00 a
// month on 27,000.00 left) takes what is left of the debt, no more: the run
// never deducts past the debt (the month change cuts its repayment to the
// debt the same way, MonthChangeRules).
TEST(EngineGolden, ALoanDeductionNeverPassesWhatIsLeftOfTheDebt)
{
    EngineWorld w;
    w.salaried();
    auto& loan = w.rec.ssud.loans[0];
    loan.kod = 810;
    loan.sumDolg = 2'700'000;
    loan.kvMes = 1;
    loan.mes = {12, 0, 0};
    loan.sum = {9'999'999'900, 0, 0};

    ASSERT_EQ(w.calc(), 3);
    const double tax = 650'000;
    ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(810, 2'700'000), expected(902, tax)});
    EXPECT_EQ(w.base().zar1Of(1), kSalary - 2'700'000 - tax);
}

// Deductions typed far past the pay (99,999,999.00) on a salary of
// 50,000.00 less its tax of 6,500.00: 43,500.00 is left to pay.
// The writs together take at most half of it, 21,750.00: a writ of 25 %
// takes 10,875.00 and a fixed sum after it the 10,875.00 left of the half.
// A fixed transfer and a loan's instalment take what is left once the tax,
// the advance and the writs are taken, the transfer giving way first; an
// advance larger than the pay still leaves the debt it leaves.
TEST(EngineGolden, NoDeductionLeavesTheAmountToPayBelowZeroByItself)
{
    const double tax = 650'000;
    const double left = kSalary - tax; // 4,350,000
    {
        EngineWorld w;
        w.salaried();
        auto& percent = w.rec.ispol.writs[0];
        percent.vid = 1;
        percent.priznUd = 1;
        percent.sum = 2500; // 25 %
        auto& fixed = w.rec.ispol.writs[1];
        fixed.vid = 1;
        fixed.sum = 9'999'999'900;
        ASSERT_EQ(w.calc(), 4);
        ExpectRows(w.stored(),
                   {expected(4, kSalary, 22), expected(902, tax), expected(911, 1'087'500), expected(911, 1'087'500)});
        EXPECT_EQ(w.base().zar1Of(1), 2'175'000);

        // With an advance of 30,000.00, 13,500.00 is left when the writs come.
        w.rec.ispol.writs[0] = IspolBlock::Writ{};
        w.base().avOf(1) = 3'000'000;
        ASSERT_EQ(w.calc(), 4);
        ExpectRows(w.stored(),
                   {expected(4, kSalary, 22), expected(901, 3'000'000), expected(902, tax), expected(911, 1'350'000)});
        EXPECT_EQ(w.base().zar1Of(1), 0);
    }
    {
        EngineWorld w;
        w.salaried();
        auto& loan = w.rec.ssud.loans[0];
        loan.kod = 810;
        loan.sumDolg = 9'999'999'900;
        loan.kvMes = 1;
        loan.mes = {1, 0, 0};
        loan.sum = {9'999'999'900, 0, 0};
        ASSERT_EQ(w.calc(), 3);
        ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(810, left), expected(902, tax)});
        EXPECT_EQ(w.base().zar1Of(1), 0);

        // A loan of 30,000.00 a month keeps it; a transfer of 99,999,999.00
        // sends the 13,500.00 left.
        loan.sum = {3'000'000, 0, 0};
        w.rec.sber[0].kod = 903;
        w.rec.sber[0].sum = 9'999'999'900;
        ASSERT_EQ(w.calc(), 4);
        ExpectRows(w.stored(),
                   {expected(4, kSalary, 22), expected(810, 3'000'000), expected(902, tax), expected(903, 1'350'000)});
        EXPECT_EQ(w.base().zar1Of(1), 0);

        // A writ comes before them: a fixed 10,000.00 is taken whole, the loan
        // keeps its 30,000.00 and the transfer sends the 3,500.00 left.
        w.rec.ispol.writs[0].vid = 3;
        w.rec.ispol.writs[0].sum = 1'000'000;
        auto kinds = w.base().payKinds();
        kinds.push_back(kind(912));
        setKinds(w.doc, kinds);
        ASSERT_EQ(w.calc(), 5);
        ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(810, 3'000'000), expected(902, tax),
                                expected(903, 350'000), expected(912, 1'000'000)});
        EXPECT_EQ(w.base().zar1Of(1), 0);
        w.rec.ispol.writs[0] = IspolBlock::Writ{};

        // An advance of 50,000.00 takes the whole pay: the loan, the transfer
        // and the tax take nothing (the tax is withheld from the money paid;
        // the next month's tax, counted since January, takes these 6,500.00).
        w.base().avOf(1) = kSalary;
        ASSERT_EQ(w.calc(), 2);
        ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(901, kSalary)});
        EXPECT_EQ(w.base().zar1Of(1), 0);
        EXPECT_EQ(MonthMoneyOfRecord(w.base().current, w.attr().kvProizv).net(), 0);

        // An advance of 60,000.00, larger than the pay, leaves its debt of
        // 10,000.00.
        w.base().avOf(1) = 6'000'000;
        ASSERT_EQ(w.calc(), 2);
        ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(901, 6'000'000)});
        EXPECT_EQ(MonthMoneyOfRecord(w.base().current, w.attr().kvProizv).net(), -1'000'000);
    }
}

// The salaried month's income tax, and what is left to pay after it.
constexpr double kSalaryTax = 650'000;
constexpr double kLeftAfterTax = kSalary - kSalaryTax; // 4,350,000

// Entered deductions and permanent payments stop at what is left to pay as
// well (the same month as above).
TEST(EngineGolden, EnteredAndStoredDeductionsStopAtWhatIsLeftToPay)
{
    const double tax = kSalaryTax;
    const double left = kLeftAfterTax;
    {
        // A deduction entered for the month of 99,999,999.00 takes the
        // 43,500.00 left after the tax; with an advance of 10,000.00, the
        // 33,500.00 left. The rest goes to the next month as the debt
        // (MonthChangeRules).
        EngineWorld w;
        w.salaried();
        auto kinds = w.base().payKinds();
        kinds.push_back(kind(907));
        setKinds(w.doc, kinds);
        w.rec.rows[0] = row(907, 9'999'999'900, 3);
        w.attr().kvProizv = 1;
        ASSERT_EQ(w.calc(), 3);
        ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(902, tax), expected(907, left)});
        EXPECT_EQ(w.base().zar1Of(1), 0);
        w.base().avOf(1) = 1'000'000;
        ASSERT_EQ(w.calc(), 4);
        ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(901, 1'000'000), expected(902, tax),
                                expected(907, left - 1'000'000)});
        EXPECT_EQ(MonthMoneyOfRecord(w.base().current, w.attr().kvProizv).net(), 0);
    }
    {
        // A permanent payment stored at -99,999,999.00 and 150 % (no screen
        // takes it now) pays nothing: the month is the salary and its tax.
        EngineWorld w;
        w.salaried();
        auto& payment = w.rec.postDopl[0];
        payment.kod = 53;
        payment.sum = -9'999'999'900;
        payment.procent = 1500;
        ASSERT_EQ(w.calc(), 2);
        ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(902, tax)});
        EXPECT_EQ(w.base().zar1Of(1), left);
    }
}

// A loan benefit's tax stops at half of the payment, the bank's commission
// and the deductions below zero of an older base at what is left to pay (the
// same month).
TEST(EngineGolden, ALoanBenefitsTaxStopsAtHalfThePaymentTheCommissionAndOlderDeductionsAtWhatIsLeft)
{
    const double tax = kSalaryTax;
    const double left = kLeftAfterTax;
    {
        // A loan of 36,500,000.00 at 10 % a year with the tax on its benefit:
        // 31 days of March give 36,500,000 x 10 % x 31 / 365 = 310,000.00 of
        // benefit, paid as it is accrued (904): income in kind, no money.
        // Its tax, 35 % = 108,500.00, and the 6,500.00 on the salary make
        // 115,000.00; the law of 2010-2011 withholds at most half of the
        // money paid, 50,000.00 / 2 = 25,000.00, and the next months' tax
        // takes the other 90,000.00. 25,000.00 is left to pay.
        EngineWorld w;
        w.salaried();
        w.base().firm.procSsudWhole = 10;
        auto& loan = w.rec.ssud.loans[0];
        loan.kod = 810;
        loan.sumDolg = 3'650'000'000;
        loan.nalog = 1;
        ASSERT_EQ(w.calc(), 4);
        ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(79, 31'000'000), expected(902, 2'500'000),
                                expected(904, 31'000'000)});
        EXPECT_EQ(w.base().zar1Of(1), 2'500'000);
        EXPECT_EQ(MonthMoneyOfRecord(w.base().current, w.attr().kvProizv).net(), 2'500'000);
    }
    {
        // The bank's commission stored at 150 % takes the whole row, never
        // more: with an advance of 10,000.00 and the rest of 33,500.00 sent
        // to a card, the commissions are 10,000.00 (936) and 33,500.00 (935)
        // and nothing is left below zero.
        EngineWorld w;
        w.salaried();
        auto kinds = w.base().payKinds();
        for (const int code : {906, 935, 936}) kinds.push_back(kind(code));
        setKinds(w.doc, kinds);
        w.base().firm.sbProcSotr = 15'000;
        w.base().avOf(1) = 1'000'000;
        w.rec.sber[0].kod = 906;
        ASSERT_EQ(w.calc(), 4);
        ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(902, tax), expected(935, left - 1'000'000),
                                expected(936, 1'000'000)});
        EXPECT_EQ(MonthMoneyOfRecord(w.base().current, w.attr().kvProizv).net(), 0);

        // At 1.5 % the commissions are 150.00 and 502.50.
        w.base().firm.sbProcSotr = 150;
        ASSERT_EQ(w.calc(), 6);
        ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(901, 985'000), expected(902, tax),
                                expected(906, 3'350'000 - 50'250), expected(935, 50'250), expected(936, 15'000)});
    }
    {
        // A base of an older version may hold a deduction below zero, which
        // no screen takes now: a fixed transfer of -500.00, a loan's
        // instalment of -1.00 on a debt of 27,000.00 and a writ of a fixed
        // -1.00 deduct nothing and pay nothing out. With an advance of
        // 10,000.00 the amount to pay is 50,000.00 - 6,500.00 - 10,000.00 =
        // 33,500.00.
        EngineWorld w;
        w.salaried();
        auto kinds = w.base().payKinds();
        kinds.push_back(kind(912));
        setKinds(w.doc, kinds);
        w.base().avOf(1) = 1'000'000;
        w.rec.sber[0].kod = 903;
        w.rec.sber[0].sum = -50'000;
        auto& loan = w.rec.ssud.loans[0];
        loan.kod = 810;
        loan.sumDolg = 2'700'000;
        loan.kvMes = 1;
        loan.mes = {1, 0, 0};
        loan.sum = {-100, 0, 0};
        w.rec.ispol.writs[0].vid = 3;
        w.rec.ispol.writs[0].sum = -100;
        ASSERT_EQ(w.calc(), 3);
        ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(901, 1'000'000), expected(902, tax)});
        EXPECT_EQ(w.base().zar1Of(1), 3'350'000);
        EXPECT_EQ(MonthMoneyOfRecord(w.base().current, w.attr().kvProizv).net(), 3'350'000);
    }
}

// Claims of one code, each row keeping its origin (OriginTag), for the month
// change to carry what each left (MonthChangeTest.
// TwoClaimsOfOneCodeCarryWhatEachOfTheirOwnRowsLeft); every row stored names
// one, the month's own rules' where no other. The salary of 50,000.00 and its
// tax of 6,500.00 leave 43,500.00.
TEST(EngineSettlement, ClaimsOfOneCodeKeepWhatEachOfTheirRowsTook)
{
    const int computed = OriginTag(RowOrigin::Computed);
    const int tax = OriginTag(RowOrigin::Tax);
    const auto expectSettled = [](const std::vector<AccrualRow>& got, const std::vector<int>& tags) {
        ASSERT_EQ(got.size(), tags.size());
        for (std::size_t i = 0; i < tags.size(); ++i) EXPECT_EQ(got[i].hrRest, tags[i]) << "row " << i;
    };
    {
        // An alimony writ of 25 % takes 43,500.00 x 25 % = 10,875.00 (911)
        // before the 40,000.00 of arrears entered under 911, which take the
        // 32,625.00 left; the entered row is stored first among the 911 rows.
        EngineWorld w;
        w.salaried();
        w.rec.rows[0] = row(911, 4'000'000, 3);
        w.attr().kvProizv = 1;
        auto& writ = w.rec.ispol.writs[0];
        writ.vid = 1;
        writ.priznUd = 1;
        writ.sum = 2'500;
        ASSERT_EQ(w.calc(), 4);
        const auto got = w.stored();
        ExpectRows(got, {expected(4, kSalary, 22), expected(902, kSalaryTax), expected(911, 3'262'500),
                         expected(911, 1'087'500)});
        expectSettled(got, {computed, tax, OriginTag(RowOrigin::Entered, 0), OriginTag(RowOrigin::Writ, 0)});
        EXPECT_EQ(w.base().zar1Of(1), 0);
    }
    {
        // A loan's instalment of 30,000.00 under 810 and 20,000.00 entered
        // under 810: the entered row takes its 20,000.00 whole, the loan's
        // row the 23,500.00 left.
        EngineWorld w;
        w.salaried();
        w.rec.rows[0] = row(810, 2'000'000, 3);
        w.attr().kvProizv = 1;
        auto& loan = w.rec.ssud.loans[0];
        loan.kod = 810;
        loan.sumDolg = 6'000'000;
        loan.kvMes = 1;
        loan.mes = {2, 0, 0};
        loan.sum = {3'000'000, 0, 0};
        ASSERT_EQ(w.calc(), 4);
        const auto got = w.stored();
        ExpectRows(got, {expected(4, kSalary, 22), expected(810, 2'000'000), expected(810, 2'350'000),
                         expected(902, kSalaryTax)});
        expectSettled(got, {computed, OriginTag(RowOrigin::Entered, 0), OriginTag(RowOrigin::Loan, 0), tax});
    }
    {
        // A standing deduction of 2,000.00 under 810 (the second standing
        // entry) beside a loan under 810 of 50,000.00 a month, and an entered
        // accrual of 100.00 (53), which keeps its place too. The tax is
        // 13 % x 50,100.00 = 6,513.00, so 43,587.00 is left; the standing row,
        // made before the loan's, takes its 2,000.00 whole, the loan's row the
        // 41,587.00 left.
        EngineWorld w;
        w.salaried();
        w.rec.rows[0] = row(53, 10'000, 3);
        w.attr().kvProizv = 1;
        auto& standing = w.rec.postDopl[1];
        standing.kod = 810;
        standing.sum = 200'000;
        auto& loan = w.rec.ssud.loans[0];
        loan.kod = 810;
        loan.sumDolg = 6'000'000;
        loan.kvMes = 1;
        loan.mes = {2, 0, 0};
        loan.sum = {5'000'000, 0, 0};
        ASSERT_EQ(w.calc(), 5);
        const auto got = w.stored();
        ExpectRows(got, {expected(4, kSalary, 22), expected(53, 10'000), expected(810, 200'000),
                         expected(810, 4'158'700), expected(902, 651'300)});
        expectSettled(got, {computed, OriginTag(RowOrigin::Entered, 0), OriginTag(RowOrigin::Permanent, 1),
                            OriginTag(RowOrigin::Loan, 0), tax});
        EXPECT_EQ(w.base().zar1Of(1), 0);
    }
    {
        // A loan under the pension contribution's code 923 (the loans'
        // screen takes any code from 701): its row gives way to the pay as
        // any loan's, by its origin, not its code: of its 50,000.00 it takes
        // the 43,500.00 left, and nothing is left to pay.
        EngineWorld w;
        w.salaried();
        auto kinds = w.base().payKinds();
        kinds.push_back(kind(923));
        setKinds(w.doc, kinds);
        auto& loan = w.rec.ssud.loans[0];
        loan.kod = 923;
        loan.sumDolg = 10'000'000;
        loan.kvMes = 1;
        loan.mes = {2, 0, 0};
        loan.sum = {5'000'000, 0, 0};
        ASSERT_EQ(w.calc(), 3);
        const auto got = w.stored();
        ExpectRows(got, {expected(4, kSalary, 22), expected(902, kSalaryTax), expected(923, 4'350'000)});
        expectSettled(got, {computed, tax, OriginTag(RowOrigin::Loan, 0)});
        EXPECT_EQ(w.base().zar1Of(1), 0);
    }
}

// A standing deduction the pay cannot hold whole takes what is left to pay,
// and the run records the rest as the employee's debt: one row of the next
// month among the rows of later months (915, of its own origin, no cost
// codes), which the month change makes a row entered for that month
// (MonthChangeTest.AStandingDeductionsRestComesAsTheNewMonthsDebt).
// A salary of 10,000.00 and its tax of 13 % = 1,300.00 leave 8,700.00; a
// standing deduction of 12,000.00 (810) takes the 8,700.00, nothing is left
// to pay, and 12,000.00 - 8,700.00 = 3,300.00 goes to April. A row entered
// for May waits in the first place of later months, so the debt takes the
// second.
TEST(EngineSettlement, AStandingDeductionsRestIsRecordedAsTheNextMonthsDebt)
{
    const auto debtRows = [](const EmployeeRecord& rec) {
        std::vector<AccrualRow> found;
        for (int i = kStoredRowLimit; i < EmployeeRecord::RowCount; ++i)
            if (rec.rows[std::size_t(i)].kod == 915)
                found.push_back(rec.rows[std::size_t(i)]);
        return found;
    };
    const AccrualRow may = row(53, 10'000, 5);
    EngineWorld w;
    w.salaried(1'000'000);
    auto& standing = w.rec.postDopl[0];
    standing.kod = 810;
    standing.sum = 1'200'000;
    w.rec.rows[kStoredRowLimit] = may;
    ASSERT_EQ(w.calc(), 3);
    ExpectRows(w.stored(), {expected(4, 1'000'000, 22), expected(810, 870'000), expected(902, 130'000)});
    EXPECT_EQ(w.base().zar1Of(1), 0);
    // The row of later months is none of March's money.
    EXPECT_EQ(MonthMoneyOfRecord(w.base().current, w.attr().kvProizv).net(), 0);
    const auto expectDebt = [&](double sum) {
        const EmployeeRecord& rec = w.base().current;
        EXPECT_EQ(rec.rows[kStoredRowLimit], may);
        AccrualRow debt;
        debt.kod = 915;
        debt.sum = sum;
        debt.mes = 4;
        debt.hrRest = u16(OriginTag(RowOrigin::StandingDebt));
        const auto found = debtRows(rec);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0], debt);
        EXPECT_EQ(rec.rows[kStoredRowLimit + 1], debt);
    };
    expectDebt(330'000);

    // Computed again from the record as stored: still the one row of 3,300.00.
    ASSERT_EQ(w.again(CalcStore), 3);
    expectDebt(330'000);
    ASSERT_EQ(w.again(CalcStore), 3);
    expectDebt(330'000);

    // The screen's preview of the month records nothing.
    w.base().current.head.oklad = 900'000;
    ASSERT_GE(w.again(CalcDisplay), 0);
    expectDebt(330'000);

    // A salary of 20,000.00 less its tax of 2,600.00 leaves 17,400.00: the
    // deduction takes its 12,000.00 whole, and computed again the month
    // leaves no debt, the row of the earlier run gone; May's row stays.
    w.base().current.head.oklad = 2'000'000;
    ASSERT_EQ(w.again(CalcStore), 3);
    ExpectRows(w.stored(), {expected(4, 2'000'000, 22), expected(810, 1'200'000), expected(902, 260'000)});
    EXPECT_EQ(w.base().zar1Of(1), 540'000);
    EXPECT_TRUE(debtRows(w.base().current).empty());
    EXPECT_EQ(w.base().current.rows[kStoredRowLimit], may);
}

// The rest the month change brought in is a deduction entered for the month
// like any other: the run tags it as entered by its place, whatever record
// it came with, so that the month change carries its own rest by what its
// own row took. A salary of 10,000.00 less its tax of 1,300.00 leaves
// 8,700.00: the debt of 3,300.00 is taken whole, 5,400.00 is left to pay,
// and nothing is recorded for the next month.
TEST(EngineSettlement, TheStandingRestBroughtInIsADeductionEnteredForTheMonth)
{
    EngineWorld w;
    auto kinds = w.base().payKinds();
    kinds.push_back(kind(915));
    setKinds(w.doc, kinds);
    w.salaried(1'000'000);
    AccrualRow debt = row(915, 330'000, 3);
    debt.hrRest = u16(OriginTag(RowOrigin::StandingDebt));
    w.rec.rows[0] = debt;
    w.attr().kvProizv = 1;
    ASSERT_EQ(w.calc(), 3);
    auto got = w.stored();
    ExpectRows(got, {expected(4, 1'000'000, 22), expected(902, 130'000), expected(915, 330'000)});
    EXPECT_EQ(got[2].hrRest, OriginTag(RowOrigin::Entered, 0));
    EXPECT_EQ(w.base().zar1Of(1), 540'000);
    for (int i = kStoredRowLimit; i < EmployeeRecord::RowCount; ++i)
        EXPECT_TRUE(w.base().current.rows[std::size_t(i)].isEmpty()) << i;
}

// December's standing rest is January's debt: the row is of month 1.
// December 2026 has 23 working days (Tuesday the 1st to Thursday the 31st);
// 10,000.00 for all of them, its tax of 1,300.00 and a standing deduction of
// 12,000.00 leave 3,300.00 to January.
TEST(EngineSettlement, DecembersStandingRestIsJanuarysDebt)
{
    EngineWorld w;
    setReportingMonth(w.doc, 2026, 12);
    w.salaried(1'000'000);
    w.tabel().rabDn = 23;
    w.rec.postDopl[0].kod = 810;
    w.rec.postDopl[0].sum = 1'200'000;
    ASSERT_EQ(w.calc(), 3);
    const AccrualRow& debt = w.base().current.rows[kStoredRowLimit];
    EXPECT_EQ(debt.kod, 915);
    EXPECT_EQ(debt.sum, 330'000);
    EXPECT_EQ(debt.mes, 1);
}

// Every place of later months is taken by rows entered for them: the debt has
// no place, and the run refuses the month with "too many rows" rather than
// lose it. Nothing of the month is stored: the record and the amount to pay
// stay as the month stored before left them. That month: a salary of
// 10,000.00, its tax of 1,300.00 and a standing deduction of 5,000.00 taken
// whole leave 3,700.00 to pay; the deduction raised to 12,000.00 leaves
// 3,300.00 that has no place.
TEST(EngineSettlement, AStandingRestWithNoPlaceLeftRefusesTheMonth)
{
    EngineWorld w;
    w.salaried(1'000'000);
    w.rec.postDopl[0].kod = 810;
    w.rec.postDopl[0].sum = 500'000;
    for (int i = kStoredRowLimit; i < EmployeeRecord::RowCount; ++i)
        w.rec.rows[std::size_t(i)] = row(53, 10'000 * (i - kStoredRowLimit + 1), 5);
    ASSERT_EQ(w.calc(), 3);
    EXPECT_EQ(w.base().zar1Of(1), 370'000);
    w.base().current.postDopl[0].sum = 1'200'000;
    const EmployeeRecord before = w.base().current;
    EXPECT_EQ(w.again(CalcStore), kCalcTooManyRows);
    EXPECT_EQ(CalcErrorText(kCalcTooManyRows), QStringLiteral("Количество оплат и удержаний в з/п больше 28"));
    EXPECT_TRUE(w.base().current == before);
    EXPECT_EQ(w.base().zar1Of(1), 370'000);
}

// A standing entry recalculated (mode 2 and above) takes the month's rows of
// its code out of the pass before it makes its own, whatever their origin: a
// deduction of 5,000.00 entered for the month under the standing
// deduction's code 810 is taken out too, and deducts nothing this month.
// The salary of 50,000.00, its tax of 6,500.00 and the standing 2,000.00
// leave 41,500.00 to pay. The entered row, its own row having taken
// nothing, is the employee's debt the month change carries whole
// (MonthChangeTest.AnEnteredDeductionsRestIsCarriedAsTheDebt): deferred a
// month, not lost.
TEST(EngineSettlement, ARecalculatedStandingEntryTakesOutTheDeductionEnteredUnderItsCode)
{
    EngineWorld w;
    w.salaried();
    w.rec.rows[0] = row(810, 500'000, 3);
    w.attr().kvProizv = 1;
    auto& standing = w.rec.postDopl[0];
    standing.kod = 810;
    standing.sum = 200'000;
    standing.perer = 2;
    ASSERT_EQ(w.calc(), 3);
    const auto got = w.stored();
    ExpectRows(got, {expected(4, kSalary, 22), expected(810, 200'000), expected(902, kSalaryTax)});
    EXPECT_EQ(got[1].hrRest, OriginTag(RowOrigin::Permanent, 0));
    EXPECT_EQ(w.base().zar1Of(1), 4'150'000);
}

// The claims are settled in the order of their table (ClaimRules), each
// taking at most what the claims before it leave, whatever the order their
// rows were made in. The salary of 50,000.00 and its tax of 6,500.00 leave
// 43,500.00. 20,000.00 entered to be transferred to the bank (903), made
// before the loan's instalment of 30,000.00 (810): the loan comes first in the
// table, so it takes its 30,000.00 whole and the transfer sends the
// 43,500.00 - 30,000.00 = 13,500.00 left; nothing is left to pay.
TEST(EngineSettlement, ClaimsAreSettledInTheOrderOfTheirTable)
{
    EngineWorld w;
    w.salaried();
    w.rec.rows[0] = row(903, 2'000'000, 3);
    w.attr().kvProizv = 1;
    auto& loan = w.rec.ssud.loans[0];
    loan.kod = 810;
    loan.sumDolg = 6'000'000;
    loan.kvMes = 1;
    loan.mes = {2, 0, 0};
    loan.sum = {3'000'000, 0, 0};
    ASSERT_EQ(w.calc(), 4);
    ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(810, 3'000'000), expected(902, kSalaryTax),
                            expected(903, 1'350'000)});
    EXPECT_EQ(w.base().zar1Of(1), 0);
}

// The law of 2010-2011 withholds at most half of a payment as income tax
// (Tax Code art. 226 p. 4); what it cannot withhold, the next months' tax,
// counted since January, takes. February paid 50,000.00 of salary and
// 310,000.00 of a loan's benefit in kind (79), withholding 25,000.00 of its
// 6,500.00 + 35 % x 310,000.00 = 115,000.00. March's salary of 50,000.00:
// the tax since January is 13 % x 100,000.00 + 108,500.00 = 121,500.00, less
// the 25,000.00 withheld, 96,500.00; half of March's payment, 25,000.00, is
// withheld (not only March's own 6,500.00), and 25,000.00 is left to pay.
TEST(EngineSettlement, TaxNotWithheldIsWithheldFromTheNextMonthsPaymentsAtHalfOfEach)
{
    EngineWorld w;
    w.salaried();
    const auto archived = [](int code, double sum) {
        WariaEntry e;
        e.kod = u16(code);
        e.sum = sum;
        e.mes = 2;
        e.god = 2026;
        return e;
    };
    w.rec.waria[0] = archived(4, kSalary);
    w.rec.waria[1] = archived(79, 31'000'000);
    w.rec.waria[2] = archived(904, 31'000'000);
    w.rec.waria[3] = archived(902, 2'500'000);
    w.rec.warKv = 4;
    ASSERT_EQ(w.calc(), 2);
    ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(902, 2'500'000)});
    EXPECT_EQ(w.base().zar1Of(1), 2'500'000);

    // With an advance of 40,000.00 the payment is 10,000.00: the tax takes
    // 5,000.00 and 5,000.00 is left to pay.
    w.base().avOf(1) = 4'000'000;
    ASSERT_EQ(w.calc(), 3);
    ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(901, 4'000'000), expected(902, 500'000)});
    EXPECT_EQ(w.base().zar1Of(1), 500'000);
}

TEST(EngineGolden, PayLeftForLaterIsCarriedAndNotPaidNow)
{
    EngineWorld w;
    w.salaried();
    w.attr().priznUv = 5; // the rest of the pay is paid with the next month
    auto kinds = w.base().payKinds();
    kinds.push_back(kind(920));
    setKinds(w.doc, kinds);
    ASSERT_EQ(w.calc(), 3);
    // 13 % tax of 50,000.00; the net 43,500.00 goes to next month as code 920,
    // so the month leaves nothing to pay now.
    ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(902, 650'000), expected(920, kSalary - 650'000)});
    EXPECT_EQ(w.base().zar1Of(1), 0);
}

TEST(EngineGolden, ChildDeductionUpToTheIncomeLimit)
{
    // 1,400 roubles a month for a child while the income since January stays
    // within 350,000 roubles: January to March 2026 at 150,000 a month.
    EngineWorld w;
    w.salaried(15'000'000);
    auto& book = w.doc.refFiles.vichet;
    book.records[0] = {126, QStringLiteral("child"), 140'000, 35'000'000};
    book.count = 1;
    auto& n = w.rec.nalvich[0];
    n.kod = 126;
    n.start = u16(MonthKey(2026, 1).value());
    n.krat = 1;
    addArchive(w.doc, archive(4, 15'000'000, 2026, 1));
    addArchive(w.doc, archive(902, RoundWhole((15'000'000 - 140'000) * 0.13), 2026, 1));
    addArchive(w.doc, archive(4, 15'000'000, 2026, 2));
    addArchive(w.doc, archive(902, RoundWhole((15'000'000 - 140'000) * 0.13), 2026, 2));
    w.rec.waria = w.doc.infoBase.current.waria;
    w.rec.warKv = w.doc.infoBase.current.warKv;

    ASSERT_EQ(w.calc(), 2);
    // 450,000 by March: above the limit, so March has no deduction and the
    // tax catches up on the whole income less January and February's.
    const double cumulative = RoundWhole((45'000'000 - 2 * 140'000) * 0.13);
    const double withheld = 2 * RoundWhole((15'000'000 - 140'000) * 0.13);
    ExpectRows(w.stored(), {expected(4, 15'000'000, 22), expected(902, cumulative - withheld)});
}

// A child's deduction of 1,400.00 doubled (a single parent) from January
// 2026, on 50,000.00 a month, January and February withheld 13 % of
// 50,000.00 - 2,800.00 = 6,136.00 each. March: 13 % of 150,000.00 - 3 x
// 2,800.00 = 18,408.00 less 12,272.00 withheld, 6,136.00; a multiplicity
// stored as -3 (an older base) counts once: 13 % of 150,000.00 - 4,200.00 =
// 18,954.00 less 12,272.00, 6,682.00. A multiplicity of 15 typed in March
// for the months since January gives 3 x 21,000.00: 13 % of 150,000.00 -
// 63,000.00 = 11,310.00 less 12,272.00 is -962.00, which the month does not
// pay out: no tax (the next months' tax takes it into account). A reversal
// of January's salary entered in March returns tax, as the law says: 13 % of
// 100,000.00 - 8,400.00 = 11,908.00 less 12,272.00, -364.00; at the
// multiplicity of 15 the reversal returns its own tax only, 13 % of
// 50,000.00 = 6,500.00 (13 % of 100,000.00 - 63,000.00 = 4,810.00 less
// 12,272.00 is -7,462.00, of which -962.00 is not the reversal's).
TEST(EngineGolden, ADoubledDeductionAndAReversalThatReturnsTax)
{
    EngineWorld w;
    w.salaried();
    auto& book = w.doc.refFiles.vichet;
    book.records[0] = {126, QStringLiteral("child"), 140'000, 35'000'000};
    book.count = 1;
    auto& n = w.rec.nalvich[0];
    n.kod = 126;
    n.start = u16(MonthKey(2026, 1).value());
    for (const int month : {1, 2}) {
        addArchive(w.doc, archive(4, kSalary, 2026, month));
        addArchive(w.doc, archive(902, 613'600, 2026, month));
    }
    w.rec.waria = w.doc.infoBase.current.waria;
    w.rec.warKv = w.doc.infoBase.current.warKv;
    n.krat = -3;
    ASSERT_EQ(w.calc(), 2);
    ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(902, 668'200)});
    n.krat = 2;
    ASSERT_EQ(w.calc(), 2);
    ExpectRows(w.stored(), {expected(4, kSalary, 22), expected(902, 613'600)});
    n.krat = 15;
    ASSERT_EQ(w.calc(), 1);
    ExpectRows(w.stored(), {expected(4, kSalary, 22)});
    EXPECT_EQ(MonthMoneyOfRecord(w.base().current, w.attr().kvProizv).net(), kSalary);
    n.krat = 2;
    w.rec.rows[0] = row(4, -kSalary, 1);
    w.attr().kvProizv = 1;
    ASSERT_EQ(w.calc(), 3);
    AccrualRow reversal = expected(4, -kSalary);
    reversal.mes = 1;
    ExpectRows(w.stored(), {reversal, expected(4, kSalary, 22), expected(902, -36'400)});
    EXPECT_EQ(MonthMoneyOfRecord(w.base().current, w.attr().kvProizv).net(), 36'400);
    n.krat = 15;
    ASSERT_EQ(w.calc(), 3);
    ExpectRows(w.stored(), {reversal, expected(4, kSalary, 22), expected(902, -650'000)});
    EXPECT_EQ(MonthMoneyOfRecord(w.base().current, w.attr().kvProizv).net(), 650'000);
}

// ----------------------------------------------------------------------------- rows of the month's inputs

TEST(EngineInputs, EnteredRowsPermanentPaymentsAndRules)
{
    EngineWorld w;
    w.salaried();
    // An entered row, a free row among the entered ones, and a second one.
    w.rec.rows[0] = row(53, 123'456, 3);
    w.rec.rows[2] = row(21, 10'000, 2);
    w.attr().kvProizv = 3;
    // A permanent payment of 10 % of the salary for the whole month, and
    // 1,000 roubles of code 600 (always 100 kopecks).
    auto& p = w.rec.postDopl[0];
    p.kod = 53;
    p.procent = 100;
    p.vid = 0;
    // Two rule rows of the firm: a fixed 3,000 roubles of code 61, and 10 %
    // more on code 4 for the whole month.
    auto kinds = w.base().payKinds();
    kinds.push_back(kind(61, {"oblPodoh"}, 1, 2000));
    setKinds(w.doc, kinds);
    auto& fixedRule = w.base().firm.stag[0];
    fixedRule.kod = 61;
    fixedRule.sum = 300'000;
    auto& raise = w.base().firm.stag[1];
    raise.kod = 4;
    raise.kak = 1;
    raise.sum = 11'000;
    // Unpaid from 23 March: 9 calendar days, taken off the days worked.
    auto& unpaid = w.rec.postDopl[1];
    unpaid.kod = 600;
    unpaid.dBegin = 23;
    unpaid.mBegin = 3;
    unpaid.gBegin = 2026;

    const int n = w.calc(CalcDisplay);
    ASSERT_GE(n, 0) << CalcErrorText(n).toStdString();
    // The free row is passed over and stays where it is, for the run's
    // warning to name it.
    EXPECT_EQ(w.attr().kvProizv, 3);
    EXPECT_EQ(FreeEnteredRowsText(w.rec, w.attr().kvProizv),
              QStringLiteral("среди введенных начислений и удержаний месяца пустая строка 2: она пропущена"));
    const auto rows = ResultRows(w.rows(), n);
    ASSERT_GE(rows.size(), 6u);
    EXPECT_EQ(rows[0].kod, 53);
    EXPECT_DOUBLE_EQ(rows[0].sum, 123'456);
    EXPECT_EQ(rows[1].kod, 21);
    EXPECT_EQ(rows[1].mes, 2);
    EXPECT_EQ(rows[2].kod, 4);
    EXPECT_DOUBLE_EQ(rows[2].sum, RoundWhole(RoundWhole(kSalary * 13 / 22) * 1.1));
    EXPECT_EQ(rows[2].dn, 13);
    EXPECT_EQ(rows[3].kod, 53);
    EXPECT_DOUBLE_EQ(rows[3].sum, 500'000);
    EXPECT_EQ(rows[4].kod, 600);
    EXPECT_DOUBLE_EQ(rows[4].sum, 100);
    EXPECT_EQ(rows[4].dn, 9);
    EXPECT_EQ(rows[5].kod, 61);
    EXPECT_DOUBLE_EQ(rows[5].sum, 300'000);
    // The time sheet is as it was entered.
    EXPECT_EQ(w.tabel().rabDn, 22);
}

TEST(EngineInputs, BonusesFixedPercentAndBrigade)
{
    EngineWorld w;
    w.attr().sistOpl = 2;
    w.rec.head.tarifVrem.rub = 300;
    w.tabel().rabDn = 20;
    auto kinds = w.base().payKinds();
    kinds.push_back(kind(160, {"oblPodoh"}, 1, 2000));
    kinds.push_back(kind(161, {"oblPodoh"}, 1, 2000));
    kinds.push_back(kind(162, {"oblPodoh"}, 1, 2000));
    setKinds(w.doc, kinds);
    w.base().firm.masks[0][3] = 1; // the percent bonus is on code 3

    // A second member of the brigade: 200 roubles an hour, 22 days.
    auto& b = w.base();
    b.list.push_back(EmployeeListEntry{u16(102 << 3), 2});
    b.attributesOf(2).sistOpl = 2;
    b.attributesOf(2).graph = 1;
    b.tabelOf(2).rabDn = 22;
    b.tabelOf(2).rabHr = 22 * 480;
    EmployeeRecord second;
    second.head.tarifVrem.rub = 200;
    // Variant 1: the whole fund by rate x working time; no rule weighs by a
    // coefficient, so the rate is each line's number and the time its days.
    b.firm.ktu[0] = {u16(100 | 0x80 | 0x100), 0, 0, 0};

    BonusLine fixed;
    fixed.kod = 160;
    fixed.sum = 100'000;
    fixed.mrp = 1; // paid out at once
    BonusLine percent;
    percent.kod = 161;
    percent.procent = 1;
    percent.sum = 1000; // 10 % of the mask's base
    BonusLine brigade;
    brigade.kod = 162;
    brigade.procent = 3;
    brigade.sum = 1'000'000;
    brigade.spzAu = 300;
    brigade.ceh = 20;
    BonusLine secondLine = brigade;
    secondLine.spzAu = 200;
    secondLine.ceh = 22;
    const BonusLine own[] = {fixed, percent, brigade};
    ASSERT_TRUE(b.prem.replaceRun(1, own));
    ASSERT_TRUE(b.prem.replaceRun(2, std::span<const BonusLine>(&secondLine, 1)));

    w.writeSwap();
    b.swap.writeSlot(2, second);
    const int n = CalcEmployeeMonth(w.doc, w.rows(), 0, &w.work, CalcDisplay);
    ASSERT_GE(n, 5) << CalcErrorText(n).toStdString();
    const auto rows = ResultRows(w.rows(), n);
    EXPECT_EQ(rows[0].kod, 3);
    EXPECT_DOUBLE_EQ(rows[0].sum, 4'800'000);
    EXPECT_EQ(rows[1].kod, 160);
    EXPECT_DOUBLE_EQ(rows[1].sum, 100'000);
    EXPECT_EQ(rows[2].kod, 904);
    EXPECT_DOUBLE_EQ(rows[2].sum, 87'000); // less 13 % tax
    EXPECT_EQ(rows[3].kod, 161);
    EXPECT_DOUBLE_EQ(rows[3].sum, 480'000);
    EXPECT_EQ(rows[4].kod, 162);
    const double mine = 300.0 * 20 * 8, theirs = 200.0 * 22 * 8;
    EXPECT_DOUBLE_EQ(rows[4].sum, RoundWhole(1'000'000 * mine / (mine + theirs)));
    // No piece-work row (codes 1-2) carries the month's time: the brigade's row does.
    EXPECT_EQ(rows[4].dn, 20);
    EXPECT_EQ(rows[4].hr, 160);
}

// A brigade of three on time tariffs of 300, 200 and 100 roubles an hour,
// working 9,600, 10,560 and 4,800 minutes; their lines carry the numbers 5,
// 10 and 20 and the counts 3, 4 and 2.
struct BrigadeWorld : EngineWorld {
    BonusLine lines[3];

    BrigadeWorld()
    {
        auto& b = base();
        const int tariffs[] = {300, 200, 100};
        const int numbers[] = {5, 10, 20};
        const int counts[] = {3, 4, 2};
        b.tabelOf(1).rabDn = 20;
        b.tabelOf(2).rabHr = 10'560;
        b.tabelOf(3).rabDn = 10;
        writeSwap();
        for (int i = 0; i < 3; ++i) {
            const u16 slot = u16(i + 1);
            if (i > 0)
                b.list.push_back(EmployeeListEntry{u16((101 + i) << 3), slot});
            b.attributesOf(slot).sistOpl = 2;
            b.attributesOf(slot).graph = 1;
            EmployeeRecord member = rec;
            member.head.tarifVrem.rub = u16(tariffs[i]);
            b.swap.writeSlot(slot, member);
            BonusLine& line = lines[i];
            line.kod = 162;
            line.procent = 3;
            line.sum = 1'000'000;
            line.spzAu = u16(numbers[i]);
            line.ceh = u16(counts[i]);
            b.prem.replaceRun(slot, std::span<const BonusLine>(&line, 1));
        }
    }
    void setFund(double fund)
    {
        for (int i = 0; i < 3; ++i) {
            lines[i].sum = fund;
            base().prem.replaceRun(i + 1, std::span<const BonusLine>(&lines[i], 1));
        }
    }
    double share(int slot)
    {
        double out = -1;
        EXPECT_EQ(BrigadeBonusShare(doc, slot, lines[slot - 1], out), 0);
        return out;
    }
};

TEST(BrigadeShare, EveryRuleSwitch)
{
    BrigadeWorld w;
    auto& ktu = w.base().firm.ktu[0];
    struct Case {
        const char* what;
        std::array<u16, 4> words;
        double first;
    };
    const Case cases[] = {
        // The rate without a coefficient rule: the lines' numbers 5 : 10 : 20.
        {"rate", {u16(100 | 0x80), 0, 0, 0}, RoundWhole(1e6 * 5 / 35)},
        // A rule on the first coefficient makes the rate the tariff: half by
        // 300 : 200 : 100, half by the numbers.
        {"own rate", {u16(50 | 0x80), u16(50 | 1 << 9), 0, 0}, RoundWhole(5e5 * 3 / 6 + 5e5 * 5 / 35)},
        // Time without a second-coefficient rule: the counts' days x 8 hours.
        {"days x day length", {u16(100 | 0x100), 0, 0, 0}, RoundWhole(1e6 * 3 / 9)},
        // With one: the worked hours 160 : 176 : 80, and 40 % by 1 / count.
        {"worked time and 1 / count",
         {u16(60 | 0x100), u16(40 | 2 << 11), 0, 0},
         RoundWhole(6e5 * 160 / 416 + 4e5 * (1.0 / 3) / (1.0 / 3 + 1.0 / 4 + 1.0 / 2))},
        {"number x", {u16(100 | 1 << 9), 0, 0, 0}, RoundWhole(1e6 * 5 / 35)},
        {"1 / number", {u16(100 | 2 << 9), 0, 0, 0}, RoundWhole(1e6 * 0.2 / 0.35)},
        {"count x", {u16(100 | 1 << 11), 0, 0, 0}, RoundWhole(1e6 * 3 / 9)},
        {"scale: roubles", {u16(100 | 0x80 | 1 << 13), 0, 0, 0}, RoundWhole(1e8 * 5 / 35)},
        {"scale: tens", {u16(100 | 0x80 | 2 << 13), 0, 0, 0}, RoundWhole(1e9 * 5 / 35)},
        {"scale: hundreds", {u16(100 | 0x80 | 3 << 13), 0, 0, 0}, RoundWhole(1e10 * 5 / 35)},
        {"no percent shares nothing", {u16(0x80), u16(0x100), 0, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ktu = c.words;
        EXPECT_DOUBLE_EQ(w.share(1), c.first);
    }

    // The three shares of one rule make up the fund.
    ktu = {u16(50 | 0x80), u16(50 | 1 << 9), 0, 0};
    EXPECT_NEAR(w.share(1) + w.share(2) + w.share(3), 1e6, 1.0);

    // Formula 1: the brigade's time-rate earnings, 9,120,000 kopecks, come
    // off the fund first.
    w.setFund(20'000'000);
    ktu = {u16(100 | 1 << 9), u16(1 << 13), 0, 0};
    EXPECT_DOUBLE_EQ(w.share(1), RoundWhole(10'880'000.0 * 5 / 35));
    EXPECT_DOUBLE_EQ(w.share(3), RoundWhole(10'880'000.0 * 20 / 35));

    // With a group key the time comes from the bases of the four months
    // before (none here, so the time rule shares nothing); the members'
    // records pass through the current record, which is the same afterwards.
    w.base().currentSlot = 1;
    w.base().current = w.rec;
    w.base().current.head.tarifVrem.rub = 300;
    for (BonusLine& line : w.lines) line.mes = 1;
    w.setFund(1'000'000);
    ktu = {u16(50 | 0x100), u16(50 | 1 << 11), 0, 0};
    EXPECT_DOUBLE_EQ(w.share(1), RoundWhole(5e5 * 3 / 9));
    EXPECT_EQ(w.base().current.head.tarifVrem.rub, 300);
    EXPECT_EQ(w.base().currentSlot, 1);

    // A member without a payment system fails the sharing.
    w.base().attributesOf(3).sistOpl = 0;
    double out = 0;
    EXPECT_EQ(BrigadeBonusShare(w.doc, 1, w.lines[0], out), kCalcNoPaymentSystem);
}

// A run keeps the members' measures: the shares are those of measuring at
// every share; a member's record is read from the work file once (a slot
// spoilt afterwards no longer matters), while the member being computed is
// measured afresh from his time sheet as the calculation has lowered it.
TEST(BrigadeShare, MeasuresKeptForARun)
{
    BrigadeWorld w;
    // 60 % by the worked time, 40 % by the lines' counts 3 : 4 : 2.
    w.base().firm.ktu[0] = {u16(60 | 0x100), u16(40 | 1 << 11), 0, 0};
    BrigadeMeasures kept;
    double shares[3] = {};
    for (int slot = 1; slot <= 3; ++slot) {
        ASSERT_EQ(BrigadeBonusShare(w.doc, slot, w.lines[slot - 1], shares[slot - 1], &kept), 0);
        EXPECT_DOUBLE_EQ(shares[slot - 1], w.share(slot)) << slot;
    }
    // Worked hours 160 : 176 : 80.
    EXPECT_DOUBLE_EQ(shares[1], RoundWhole(6e5 * 176 / 416 + 4e5 * 4 / 9));

    // The third member's slot cut short: measured again it fails, kept it stands.
    ASSERT_EQ(::truncate(QFile::encodeName(w.base().swapPath()).constData(), off_t(SwapFile::slotOffset(3) + 100)), 0);
    double again = 0;
    EXPECT_EQ(BrigadeBonusShare(w.doc, 2, w.lines[1], again), kCalcRecordUnreadable);
    ASSERT_EQ(BrigadeBonusShare(w.doc, 2, w.lines[1], again, &kept), 0);
    EXPECT_DOUBLE_EQ(again, shares[1]);

    // The first member as the one being computed, his sheet lowered to 80
    // hours: his own time counts afresh, 80 : 176 : 80.
    w.base().currentSlot = 1;
    w.base().current = w.rec;
    w.base().current.head.tarifVrem.rub = 300;
    w.base().tabelOf(1).rabDn = 10;
    ASSERT_EQ(BrigadeBonusShare(w.doc, 1, w.lines[0], again, &kept), 0);
    EXPECT_DOUBLE_EQ(again, RoundWhole(6e5 * 80 / 336 + 4e5 * 3 / 9));
}

TEST(EngineInputs, BonusPaidAtOnceLessThePensionContributionOfItsKind)
{
    EngineWorld w;
    w.salaried();
    w.base().firm.procPens = 100; // 1 %
    auto kinds = w.base().payKinds();
    PayKind pensioned = kind(160, {"oblPodoh"}, 1, 2000);
    pensioned.g11 = 1;
    kinds.push_back(pensioned);
    kinds.push_back(kind(161, {"oblPodoh"}, 1, 2000));
    setKinds(w.doc, kinds);
    BonusLine withPension;
    withPension.kod = 160;
    withPension.sum = 100'099; // 1,000.99 roubles: 1 % of the whole 1,000
    withPension.mrp = 1;
    BonusLine without = withPension;
    without.kod = 161;
    const BonusLine lines[] = {withPension, without};
    ASSERT_TRUE(w.base().prem.replaceRun(1, lines));

    const int n = w.calc(CalcDisplay);
    ASSERT_GT(n, 0) << CalcErrorText(n).toStdString();
    std::vector<double> payouts;
    for (const AccrualRow& r : ResultRows(w.rows(), n))
        if (r.kod == 904)
            payouts.push_back(r.sum);
    const double tax = CalcContribution(0, 1000.99, w.doc);
    ASSERT_EQ(payouts.size(), 2u);
    EXPECT_DOUBLE_EQ(payouts[0], RoundWhole(100'099 - 1'000 - tax));
    EXPECT_DOUBLE_EQ(payouts[1], RoundWhole(100'099 - tax));
}

TEST(EngineInputs, WrongSickLeaveDatesClearTheBenefitMark)
{
    EngineWorld w;
    w.salaried();
    SickLeaveSheet s;
    s.dBegin = 10;
    s.mBegin = 3;
    s.gBegin = 2026;
    s.dEnd = 5; // ends before it begins
    s.mEnd = 3;
    s.gEnd = 2026;
    s.infl = 1;
    ASSERT_TRUE(w.base().bln.replaceRun(1, std::span<const SickLeaveSheet>(&s, 1)));
    EXPECT_EQ(w.calc(CalcDisplay), kCalcSickLeaveDates);
    EXPECT_EQ(w.base().bln.lines[0].infl, 0);
}

TEST(EngineInputs, ForeignWorkerStayEndsWithTheDismissal)
{
    EmployeeHead h;
    h.inostrDatPr = date(1, 12, 2025);
    // Dismissed on 15 January, before the reporting month: 31 + 15 days.
    h.datUv1 = date(15, 1, 2026);
    EXPECT_EQ(ForeignWorkerDays(h, 2026, 3), 46);
    // Hired again: the second employment's dismissal ends the count.
    h.datPr2 = date(5, 1, 2026);
    h.datUv2 = date(10, 1, 2026);
    EXPECT_EQ(ForeignWorkerDays(h, 2026, 3), 41);
    // The departure date comes first.
    h.inostrDatOt = date(20, 1, 2026);
    EXPECT_EQ(ForeignWorkerDays(h, 2026, 3), 51);
    // Still employed: up to the end of February.
    EmployeeHead staying;
    staying.inostrDatPr = date(1, 12, 2025);
    EXPECT_EQ(ForeignWorkerDays(staying, 2026, 3), 90);
}

// The month's stored rows of each cost code (the first code of the set)
// summed as the paying-out statement sums them: accruals added, deductions,
// the allocation rows among them, taken off.
std::map<int, double> PayByCostCode(const std::vector<AccrualRow>& rows)
{
    std::map<int, double> out;
    for (const AccrualRow& r : rows)
        if (r.kod != 600)
            out[r.spzCh] += r.kod < 700 ? r.sum : -r.sum;
    return out;
}

TEST(EngineInputs, IncomeTaxSpreadOverTheCostCodes)
{
    EngineWorld w;
    w.salaried();
    auto kinds = w.base().payKinds();
    auto costKind = [](int code, int costCode, std::initializer_list<const char*> flags = {}) {
        PayKind k = kind(code, flags, 1, 2000);
        k.spzCh = u16(costCode);
        return k;
    };
    // The salary and the tax carry the employee's codes 11 / 22 / 33.
    kinds.push_back(costKind(54, 55, {"oblPodoh"}));
    kinds.push_back(costKind(941, 11));
    kinds.push_back(costKind(942, 44));
    kinds.push_back(costKind(943, 55));
    for (auto& k : kinds)
        if (k.kod == 53)
            k.spzCh = 44;
    setKinds(w.doc, kinds);
    w.rec.rows[0] = row(53, 1'000'000, 3);
    w.attr().kvProizv = 1;

    // Two groups: 1,000,000 kopecks on code 44 bear 130,000 of the tax.
    ASSERT_EQ(w.calc(), 5);
    auto rows = w.stored();
    const double pay = w.base().zar1Of(1);
    EXPECT_EQ(pay, 6'000'000 - 780'000);
    auto byCode = PayByCostCode(rows);
    EXPECT_EQ(byCode[44], 870'000);
    EXPECT_EQ(byCode[11], 5'000'000 - 650'000);
    EXPECT_EQ(byCode[11] + byCode[44], pay);
    const auto at = [&](int code) {
        return *std::find_if(rows.begin(), rows.end(), [code](const AccrualRow& r) { return r.kod == code; });
    };
    EXPECT_EQ(at(942).sum, 130'000);
    EXPECT_EQ(at(941).sum, -130'000);
    EXPECT_EQ(at(941).spzSc, 22);

    // Three groups: 500,000 more on code 55.
    EngineWorld v;
    v.salaried();
    setKinds(v.doc, kinds);
    v.rec.rows[0] = row(53, 1'000'000, 3);
    v.rec.rows[1] = row(54, 500'000, 3);
    v.attr().kvProizv = 2;
    ASSERT_EQ(v.calc(), 7);
    rows = v.stored();
    byCode = PayByCostCode(rows);
    EXPECT_EQ(byCode[44], 870'000);
    EXPECT_EQ(byCode[55], 435'000);
    EXPECT_EQ(byCode[11], 5'000'000 - 650'000);
    EXPECT_EQ(byCode[11] + byCode[44] + byCode[55], v.base().zar1Of(1));
    EXPECT_EQ(v.base().zar1Of(1), 6'500'000 - 845'000);

    // No allocation kind of the tax row's codes: nothing is spread.
    EngineWorld u;
    u.salaried();
    kinds.erase(std::remove_if(kinds.begin(), kinds.end(), [](const PayKind& k) { return k.kod == 941; }), kinds.end());
    setKinds(u.doc, kinds);
    u.rec.rows[0] = row(53, 1'000'000, 3);
    u.attr().kvProizv = 1;
    ASSERT_EQ(u.calc(), 3);
}

TEST(EngineInputs, PartOfMonthWithoutWorkedDaysPaysNothing)
{
    // No days worked and an empty day mask: the period's share is 0, not 0/0.
    EngineWorld w;
    w.salaried();
    w.tabel().rabDn = 0;
    auto& p = w.rec.postDopl[0];
    p.kod = 53;
    p.sum = 300'000;
    p.vid = 0;
    p.zavisOt = 11; // paid by the days of another kind of work
    p.dBegin = 10;
    p.mBegin = 3;
    p.gBegin = 2026;
    const int n = w.calc(CalcDisplay);
    ASSERT_GE(n, 0);
    for (int i = 0; i < n; ++i) {
        EXPECT_NE(w.rows()[i].kod, 53);
        EXPECT_FALSE(std::isnan(w.rows()[i].sum));
    }
}

TEST(EngineInputs, CostAllocationOfTheRows)
{
    EngineWorld w;
    w.salaried();
    PayKind alloc = kind(941);
    alloc.spzCh = 11; // the employee's cost code set 0 has 11 / 22 / 33
    auto kinds = w.base().payKinds();
    kinds.push_back(alloc);
    kinds.push_back(kind(940)); // no cost code: not an allocation
    setKinds(w.doc, kinds);
    ASSERT_EQ(w.calc(CalcDisplay), 2);
    CalcPass p{w.doc};
    p.rows = w.rows();
    p.count = 2;
    const auto sums = CostAllocationSums(p);
    ASSERT_EQ(sums.size(), 1u);
    EXPECT_EQ(sums[0].kind, 941);
    EXPECT_DOUBLE_EQ(sums[0].total, kSalary - 650'000);
    EXPECT_DOUBLE_EQ(sums[0].taxBase, kSalary);
    EXPECT_DOUBLE_EQ(sums[0].tax, 650'000);
}

TEST(EngineInputs, ServiceYearsScaleAndWritEndDate)
{
    EXPECT_EQ(ServiceYearsPercentScale(5), 0);
    EXPECT_EQ(ServiceYearsPercentScale(299), 65);
    EXPECT_EQ(ServiceYearsPercentScale(300), 70);

    IspolBlock::Writ w;
    w.vid = 1;
    w.sum = 600'000;
    w.dataEnd = date(15, 3, 2026);
    EXPECT_DOUBLE_EQ(WritDeduction(w, 2'000'000, 0, 0, 2026, 3), 600'000.0 * 15 / 31);
    w.dataEnd = date(28, 2, 2026);
    EXPECT_DOUBLE_EQ(WritDeduction(w, 2'000'000, 0, 0, 2026, 3), 0);
    // A fixed sum, of any kind, is at most half of the pay after tax.
    w.dataEnd = 0;
    EXPECT_DOUBLE_EQ(WritDeduction(w, 1'000'000, 200'000, 0, 2026, 3), 400'000);
    EXPECT_DOUBLE_EQ(WritDeduction(w, 0, 0, 0, 2026, 3), 0);
    w.vid = 3;
    EXPECT_DOUBLE_EQ(WritDeduction(w, 1'000'000, 200'000, 0, 2026, 3), 400'000);
    w.priznUd = 1;
    w.sum = 15000; // 150 % of a tax refund on no pay: half of the refund
    EXPECT_DOUBLE_EQ(WritDeduction(w, 0, -643'000, 0, 2026, 3), 321'500);
    w.vid = 2; // a percent of kind 2 on less than its own bases is 0
    EXPECT_DOUBLE_EQ(WritDeduction(w, 1'000'000, 200'000, 900'000, 2026, 3), 0);
    w.vid = 1;
    w.priznUd = 1;
    w.sum = 7000; // 70 %: at most half of the net
    w.dataEnd = 0;
    EXPECT_DOUBLE_EQ(WritDeduction(w, 1'000'000, 200'000, 0, 2026, 3), 400'000);

    EXPECT_EQ(SickLeavePartCode(0, 0, MonthKey(2026, 2).value(), MonthKey(2026, 3).value(), true), 110);
    EXPECT_EQ(SickLeavePartCode(10, 0, MonthKey(2026, 3).value(), MonthKey(2026, 3).value(), true), 116);
    EXPECT_EQ(SickLeavePartCode(1, 0, MonthKey(2026, 4).value(), MonthKey(2026, 3).value(), false), 197);
    EXPECT_EQ(SickLeavePartCode(2, 0, MonthKey(2026, 3).value(), MonthKey(2026, 3).value(), false), 158);
    EXPECT_EQ(SickLeavePartCode(0, 0, MonthKey(2026, 3).value(), MonthKey(2026, 3).value(), false), 156);
}

TEST(SickLeaveCodes, FinancingSourcesOfTheSheetOverThreeMonths)
{
    // {kind, sub-kind, employer's days?, codes for the earlier, the reporting
    // and the later month}
    struct Case {
        int vid, budget;
        bool employer;
        int codes[3];
    };
    const Case cases[] = {
        {0, 0, true, {110, 111, 112}},
        {0, 2, true, {562, 572, 582}},
        {0, 5, true, {110, 111, 112}},
        {0, 0, false, {155, 156, 157}},
        {0, 2, false, {662, 672, 682}},
        {0, 5, false, {155, 156, 157}},
        {2, 0, false, {158, 158, 159}},
        {2, 2, false, {642, 642, 652}},
        {2, 5, false, {158, 158, 159}},
        {4, 0, false, {155, 156, 157}},
        {4, 2, false, {662, 672, 682}},
        {4, 5, false, {155, 156, 157}},
        {10, 0, true, {115, 116, 117}},
        {10, 2, true, {115, 116, 117}},
        {10, 0, false, {695, 696, 697}},
        {10, 2, false, {695, 696, 697}},
        {10, 5, false, {695, 696, 697}},
        {0, 4, true, {564, 574, 584}},
        {4, 1, false, {661, 671, 681}},
        // The child-care allowance of kinds 5 and 7 keeps its code in every month.
        {5, 0, false, {169, 169, 169}},
        {7, 0, false, {170, 170, 170}},
        {7, 2, false, {170, 170, 170}},
    };
    const int reporting = MonthKey(2026, 3).value();
    for (const Case& c : cases)
        for (int w = 0; w < 3; ++w)
            EXPECT_EQ(SickLeavePartCode(c.vid, c.budget, MonthKey(2026, 2 + w).value(), reporting, c.employer),
                      c.codes[w])
                << "kind " << c.vid << " sub-kind " << c.budget << " month " << w;
}

// One sheet from 25 February to 10 April 2026 computed in the March month.
// The salary of 18,250 roubles a month in the twelve months before the sheet
// (February 2025 to January 2026, 365 days) gives 219,000 / 365 = 600
// roubles a day. The sheet's 45 days: 4 in February, 31 in March, 10 in April.
struct SheetOverThreeMonths {
    EngineWorld w;

    SheetOverThreeMonths()
    {
        w.salaried(1'825'000);
        for (int month = 2; month <= 13; ++month)
            addArchive(w.doc, archive(4, 1'825'000, month <= 12 ? 2025 : 2026, (month - 1) % 12 + 1, 21));
        w.rec.waria = w.doc.infoBase.current.waria;
        w.rec.warKv = w.doc.infoBase.current.warKv;
        auto kinds = w.base().payKinds();
        for (auto& k : kinds)
            if (k.kod == 4)
                k.enBlnFull = 1; // the salary enters the sick-leave average
        for (int code : {110, 111, 112, 115, 116, 117, 155, 156, 157, 158, 159,
                         562, 572, 582, 642, 652, 662, 672, 682, 695, 696, 697})
            kinds.push_back(kind(code, {"oblPodoh"}, 1, 2300));
        setKinds(w.doc, kinds);
    }

    // The stored rows of the sheet's benefit: code, month, days, amount. The
    // salary is paid from the sheet's own financing source (the average takes
    // the earnings of that source only), so the day stays at 600 roubles.
    std::vector<std::array<double, 4>> benefitRows(int vid, int budget)
    {
        for (int number = 1; number <= int(w.base().payKinds().size()); ++number)
            if (auto& k = w.base().payKindAt(number); k.kod == 4)
                k.budgBln = u16(budget);
        SickLeaveSheet s = sheet(25, 2, 10, 4);
        s.vid = u8(vid);
        s.budg = u8(budget);
        return benefitRows({s});
    }
    static SickLeaveSheet sheet(int d1, int m1, int d2, int m2)
    {
        SickLeaveSheet s = payrolltest::sickSheet(d1, m1, d2, m2);
        s.from12Months = 1;
        return s;
    }
    std::vector<std::array<double, 4>> benefitRows(const std::vector<SickLeaveSheet>& sheets)
    {
        EXPECT_TRUE(w.base().bln.replaceRun(1, std::span<const SickLeaveSheet>(sheets)));
        EXPECT_GT(w.calc(CalcStore), 0);
        std::vector<std::array<double, 4>> out;
        for (const AccrualRow& r : w.stored())
            if ((r.kod >= 110 && r.kod <= 159) || (r.kod >= 560 && r.kod <= 697))
                out.push_back({double(r.kod), double(r.mes), double(r.dn), r.sum / 100});
        return out;
    }
};

using Rows = std::vector<std::array<double, 4>>;

TEST(SickLeaveMonths, TemporaryDisabilityByFinancingSource)
{
    // Kind 0: the first three days (in February) are the employer's, 1,800
    // roubles; the rest is the benefit: 1 day of February, 31 days of March
    // (18,600), 10 days of April (6,000). Sub-kind 2 moves every part to its
    // own codes; sub-kind 5 is not a financing source and keeps the standard
    // ones. All of March's working days are sick days: no salary row.
    const Rows standard{{110, 2, 3, 1'800}, {155, 2, 1, 600}, {156, 3, 31, 18'600}, {157, 4, 10, 6'000}};
    for (int budget : {0, 5}) {
        SheetOverThreeMonths world;
        EXPECT_EQ(world.benefitRows(0, budget), standard) << budget;
        for (const AccrualRow& r : world.w.stored()) EXPECT_NE(r.kod, 4);
    }
    SheetOverThreeMonths world;
    EXPECT_EQ(world.benefitRows(0, 2),
              (Rows{{562, 2, 3, 1'800}, {662, 2, 1, 600}, {672, 3, 31, 18'600}, {682, 4, 10, 6'000}}));
}

TEST(SickLeaveMonths, TheEmployerPaysTheFirstDaysOnceForACase)
{
    // A sheet continuing an earlier one (255-FZ art. 3 part 2): the benefit
    // alone. 10-16 March and its continuation 17-25 March, with February 2026
    // in the archive too: twelve months of 18,250 before March, 219,000 / 365
    // = 600 a day. The first sheet: 3 days of the employer's (111, 1,800) and
    // 4 of the benefit (156, 2,400); the second: 9 days of the benefit
    // (156, 5,400). Employer's days 3 in all.
    SheetOverThreeMonths world;
    addArchive(world.w.doc, archive(4, 1'825'000, 2026, 2, 20));
    world.w.rec.waria = world.w.doc.infoBase.current.waria;
    world.w.rec.warKv = world.w.doc.infoBase.current.warKv;
    SickLeaveSheet continued = SheetOverThreeMonths::sheet(17, 3, 25, 3);
    continued.contin = 1;
    EXPECT_EQ(world.benefitRows({SheetOverThreeMonths::sheet(10, 3, 16, 3), continued}),
              (Rows{{111, 3, 3, 1'800}, {156, 3, 4, 2'400}, {156, 3, 9, 5'400}}));

    // 115 of the demo firm in March 2011 in small: the continuation of a
    // February sheet, 26 February to 4 March, gives 155 for February's three
    // days and 156 for March's four, no 110.
    SheetOverThreeMonths demoLike;
    SickLeaveSheet fromFebruary = SheetOverThreeMonths::sheet(26, 2, 4, 3);
    fromFebruary.contin = 1;
    EXPECT_EQ(demoLike.benefitRows({fromFebruary}), (Rows{{155, 2, 3, 1'800}, {156, 3, 4, 2'400}}));
}

TEST(SickLeaveMonths, MaternityTheEleventhDayAndOtherKinds)
{
    // Kind 2 (pregnancy and birth): 100 %, no employer's days; February and
    // March both take 158, April 159; sub-kind 2 gives 642 and 652.
    for (int budget : {0, 5}) {
        SheetOverThreeMonths world;
        EXPECT_EQ(world.benefitRows(2, budget), (Rows{{158, 2, 4, 2'400}, {158, 3, 31, 18'600}, {159, 4, 10, 6'000}}))
            << budget;
    }
    {
        SheetOverThreeMonths world;
        EXPECT_EQ(world.benefitRows(2, 2), (Rows{{642, 2, 4, 2'400}, {642, 3, 31, 18'600}, {652, 4, 10, 6'000}}));
    }
    // Kind 4: half from the eleventh day, 7 March: March has 6 days at 600
    // and 25 at 300 (3,600 + 7,500 = 11,100), April 10 at 300.
    for (int budget : {0, 5}) {
        SheetOverThreeMonths world;
        EXPECT_EQ(world.benefitRows(4, budget), (Rows{{155, 2, 4, 2'400}, {156, 3, 31, 11'100}, {157, 4, 10, 3'000}}))
            << budget;
    }
    {
        SheetOverThreeMonths world;
        EXPECT_EQ(world.benefitRows(4, 2), (Rows{{662, 2, 4, 2'400}, {672, 3, 31, 11'100}, {682, 4, 10, 3'000}}));
    }
    // Kind 10: the employer's three days as 115, the benefit as 695-697,
    // whatever the sub-kind.
    for (int budget : {0, 2, 5}) {
        SheetOverThreeMonths world;
        EXPECT_EQ(world.benefitRows(10, budget),
                  (Rows{{115, 2, 3, 1'800}, {695, 2, 1, 600}, {696, 3, 31, 18'600}, {697, 4, 10, 6'000}}))
            << budget;
    }
}

// ----------------------------------------------------------------------------- error codes

TEST(EngineErrors, EveryCodeOfTheEngine)
{
    auto code = [](auto setup, CalcMode mode = CalcStore) {
        EngineWorld w;
        w.salaried();
        setup(w);
        const int r = w.calc(mode);
        // A failed employee stores nothing: no rows behind the entered ones, no amount to pay.
        EXPECT_TRUE(w.stored().empty() || r >= 0);
        EXPECT_EQ(w.base().zar1Of(1), 0);
        return r;
    };
    EXPECT_EQ(code([](EngineWorld& w) { w.attr().sistOpl = 0; }), -1);
    EXPECT_EQ(code([](EngineWorld& w) {
                  w.rec.rows[0] = row(0, 5, 3);
                  w.attr().kvProizv = 1;
              }),
              -5);
    EXPECT_EQ(code([](EngineWorld& w) {
                  w.rec.rows[0] = row(53, 5, 0);
                  w.attr().kvProizv = 1;
              }),
              -9);
    EXPECT_EQ(code([](EngineWorld& w) { w.base().scheduleAt(1).pVyh = 2; }), -11);
    EXPECT_EQ(code([](EngineWorld& w) { w.base().scheduleAt(1).rdHr = 0; }), -12);
    EXPECT_EQ(code([](EngineWorld& w) {
                  AltTabelEntry e;
                  e.kod = 53;
                  e.sumOklad = 100;
                  e.tarif.rub = 1;
                  w.base().altTabel.replaceRun(1, std::span<const AltTabelEntry>(&e, 1));
              }),
              -14);
    EXPECT_EQ(code([](EngineWorld& w) {
                  w.rec.sber[0].kod = 903;
                  w.rec.sber[1].kod = 903;
              }),
              -19);
    EXPECT_EQ(code([](EngineWorld& w) {
                  // More computed rows than the record's 60 minus the entered ones.
                  for (int i = 0; i < 31; ++i) w.rec.rows[std::size_t(i)] = row(53, 100 + i, 3);
                  w.attr().kvProizv = 31;
              }),
              -22);
    EXPECT_EQ(code([](EngineWorld& w) {
                  w.rec.rows[0] = row(4, 1'000'000, 2, 29);
                  w.attr().kvProizv = 1;
              }),
              -24);
    EXPECT_EQ(code([](EngineWorld& w) {
                  auto& p = w.rec.postDopl[0];
                  p.kod = 53;
                  p.sum = 1000;
                  p.zavisOt = 1;
                  p.dBegin = 10;
                  p.mBegin = 3;
                  p.gBegin = 2026; // the mask holds no day while 22 were worked
              }),
              -25);
    EXPECT_EQ(code([](EngineWorld& w) {
                  auto& p = w.rec.postDopl[0];
                  p.kod = 53;
                  p.sum = 1000;
                  p.dBegin = 20;
                  p.mBegin = 3;
                  p.gBegin = 2026;
                  p.dEnd = 10;
                  p.mEnd = 3;
                  p.gEnd = 2026;
              }),
              -26);
    EXPECT_EQ(code([](EngineWorld& w) {
                  w.rec.ispol.writs[0].vid = 3;
                  w.rec.ispol.writs[0].sum = 1000;
                  w.rec.ispol.writs[0].tabPsbor = 21;
              }),
              -34);
    EXPECT_EQ(code([](EngineWorld& w) { w.attr().priznUv = 4; }), -35);
    EXPECT_EQ(code([](EngineWorld& w) { w.rec.head.datPr1 = 0; }), -36);
    EXPECT_EQ(code([](EngineWorld& w) { w.rec.head.datUv1 = date(1, 1, 2019); }), -42);
    EXPECT_EQ(code([](EngineWorld& w) { w.rec.head.datUv2 = date(1, 1, 2021); }), -42);
    // An amount of the card below zero, as an older base may hold one.
    EXPECT_EQ(code([](EngineWorld& w) { w.rec.head.oklad = -1; }), -44);
    EXPECT_EQ(code([](EngineWorld& w) { w.rec.head.stavka = -1; }), -45);
    EXPECT_EQ(code([](EngineWorld& w) { w.rec.head.avans = -1; }), -46);
    EXPECT_EQ(code([](EngineWorld& w) { w.rec.head.nadbav = -1; }), -47);
    // Unknown code of a stored row: the compaction's kind lookup.
    EXPECT_EQ(code([](EngineWorld& w) {
                  w.rec.rows[0] = row(55, 5, 3);
                  w.attr().kvProizv = 1;
              }),
              -5);
    // A salary at the money's limit paid for twice the month's 22 working
    // days: the first computed row, the salary, passes the limit (the tax,
    // 13 % of it, does not) and nothing is stored.
    EXPECT_EQ(code([](EngineWorld& w) {
                  w.rec.head.oklad = kMaxMoneyRoubles * 100;
                  w.tabel().rabDn = 44;
              }),
              kCalcMeaningMismatch);
}

TEST(EngineErrors, VacationNoteChecksInDisplayMode)
{
    EngineWorld w;
    w.salaried();
    std::array<VacationNote, 5> notes{};
    w.options.vacationCalcKind = 1;
    w.options.vacationNoteOnly = 0;
    w.options.vacationNotes = notes;
    w.options.currentNote = 0;
    EXPECT_EQ(w.calc(CalcDisplay), -13);
    notes[0].dlin = 10;
    notes[0].dlinHundredths = 5;
    notes[0].dBegin = 1;
    notes[0].mBegin = 3;
    EXPECT_EQ(w.again(CalcDisplay), -37);
}

TEST(EngineErrors, BadIndexAndUnreadableRecordTouchNothing)
{
    EngineWorld w;
    w.salaried();
    w.writeSwap();
    EXPECT_EQ(CalcEmployeeMonth(w.doc, w.rows(), -1, &w.work, CalcStore), -27);
    EXPECT_EQ(CalcEmployeeMonth(w.doc, w.rows(), 1, &w.work, CalcStore), -27);

    // A swap file shorter than the slot: the employee fails and nothing is stored.
    w.base().swap.close();
    {
        QFile f(w.base().swapPath());
        ASSERT_TRUE(f.resize(1000));
    }
    w.base().swap.open();
    w.base().currentSlot = 0;
    w.base().current.rows[0] = row(1, 1, 3);
    const auto before = w.base().current.rows;
    EXPECT_EQ(CalcEmployeeMonth(w.doc, w.rows(), 0, &w.work, CalcStore), -38);
    EXPECT_EQ(w.base().currentSlot, 0);
    EXPECT_EQ(w.base().current.rows, before);
    EXPECT_EQ(w.base().zar1Of(1), 0);
}

// ----------------------------------------------------------------------------- modes and storing

TEST(EngineModes, DisplayGivesTheRowsOfStoreAndStoresNothing)
{
    QTemporaryDir dir;
    EngineWorld w;
    auto& b = w.base();
    b.workFolder = dir.path() + QLatin1Char('/');
    b.baseName = QStringLiteral("engine");
    CreateSchemaBase(dir.path(), b.baseName);
    OpenBase(b);
    // OpenBase loaded the new base's configuration: set the world up again.
    EngineWorld fresh;
    b.AllocateTables(4);
    b.config.tekMes = fresh.base().config.tekMes;
    b.config.kolRab = 1;
    b.list = fresh.base().list;
    for (int number = 1; number <= CInfoBase::ScheduleCount; ++number)
        b.scheduleAt(number) = fresh.base().scheduleAt(number);
    b.setPayKinds(fresh.base().payKinds());
    b.shopOf(1) = 5;
    w.attr().graph = 1;
    w.salaried();
    w.rec.head.fio = QStringLiteral("Иванов Иван Иванович");
    w.rec.head.flags = (1u << 9) | (1u << 2);
    w.rec.head.inostrDatPr = date(1, 12, 2025);
    b.current = w.rec;
    b.currentSlot = 1;
    SaveKonst(b, 1);

    auto zarpRows = [&]() {
        QSqlQuery q(Db(b));
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT kod, sum, dn, mes, otd FROM dbo.zarp ORDER BY num")));
        std::vector<std::array<double, 5>> out;
        while (q.next())
            out.push_back({q.value(0).toDouble(), q.value(1).toDouble(), q.value(2).toDouble(), q.value(3).toDouble(),
                           q.value(4).toDouble()});
        return out;
    };
    auto foreignDays = [&]() {
        QSqlQuery q(Db(b));
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT inostrDnPrRF FROM dbo.konst WHERE rec = 1")));
        return q.next() ? q.value(0).toInt() : -1;
    };

    const int shown = w.calc(CalcDisplay);
    ASSERT_EQ(shown, 2);
    const auto displayRows = ResultRows(w.rows(), shown);
    EXPECT_TRUE(zarpRows().empty());
    EXPECT_EQ(foreignDays(), 0);

    ASSERT_EQ(w.calc(CalcStore), 2);
    ExpectRows(displayRows, ResultRows(w.rows(), 2));
    const auto stored = zarpRows();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0], (std::array<double, 5>{4, kSalary, 22, 3, 5}));
    EXPECT_EQ(stored[1], (std::array<double, 5>{902, 1'500'000, 0, 3, 5}));
    // The foreign worker's day count reaches the base.
    EXPECT_EQ(foreignDays(), 90);
    CloseBase(b);
}

// ----------------------------------------------------------------------------- the fixture base

TEST(EngineFixture, EveryEmployeeOfTheFixtureBase)
{
    QTemporaryDir dir;
    PayrollDoc doc;
    doc.infoBase.workFolder = dir.path() + QLatin1Char('/');
    const FixtureBase fx = BuildFixtureBase(doc.infoBase, 40, 7);
    BuildFixtureRefFiles(doc.refFiles);
    WriteFixtureToSwap(doc.infoBase, fx);
    doc.infoBase.OpenSwapFile();
    payrolltest::AddFixtureContributionTables(doc);
    doc.infoBase.baseName = QStringLiteral("fixture");
    CreateSchemaBase(dir.path(), doc.infoBase.baseName);
    CalcWorkBuffer work;
    CalcResultBuffer rows{};
    std::map<int, int> results;
    for (int i = 0; i < doc.infoBase.employeeCount(); ++i) {
        const int r = CalcEmployeeMonth(doc, rows.data(), i, &work, CalcStore);
        ++results[r < 0 ? r : 0];
        ASSERT_GE(r, -42);
        for (int k = 0; k < std::max(r, 0); ++k) {
            const AccrualRow& row = rows[std::size_t(k)];
            EXPECT_NE(row.kod, 0);
            EXPECT_TRUE(std::isfinite(row.sum));
            EXPECT_NE(row.sum, 0);
        }
        const int slot = doc.infoBase.list[std::size_t(i)].slot;
        if (r >= 0 && doc.infoBase.otp.count(slot) == 0) {
            // Displaying the same employee gives the same rows but the
            // contributions (vacation notes are displayed from the note being edited).
            std::vector<AccrualRow> stored(rows.begin(), rows.begin() + r);
            const int shown = CalcEmployeeMonth(doc, rows.data(), i, &work, CalcDisplay);
            ASSERT_GE(shown, 0);
            std::vector<AccrualRow> displayed(rows.begin(), rows.begin() + shown);
            std::erase_if(stored, [](const AccrualRow& a) { return a.kod >= 990 && a.kod <= 995; });
            EXPECT_EQ(displayed, stored) << "employee " << i;
        }
    }
    QString failures;
    for (const auto& [code, count] : results)
        if (code < 0)
            failures += QStringLiteral("%1 x %2 %3\n").arg(count).arg(code).arg(CalcErrorText(code));
    EXPECT_EQ(results[0], 40) << failures.toStdString();
}

TEST(CalcErrors, CodesSelectTheirMessages)
{
    EXPECT_EQ(CalcErrorText(kCalcNoPaymentSystem), QStringLiteral("Не указана система оплаты"));
    EXPECT_EQ(CalcErrorText(kCalcNoDayLength), QStringLiteral("Не указана длина рабочего дня"));
    EXPECT_EQ(CalcErrorText(-42), QStringLiteral("Некорректные даты приема на работу/увольнения."));
    EXPECT_EQ(CalcErrorText(kCalcNoBirthDate), QStringLiteral("Не указана дата рождения"));
    EXPECT_EQ(CalcErrorText(kCalcNoSex), QStringLiteral("Не указан пол"));
    EXPECT_EQ(CalcErrorText(kCalcNegativeSalary), QStringLiteral("В карточке работника оклад меньше нуля"));
    EXPECT_EQ(CalcErrorText(kCalcNegativeRate), QStringLiteral("В карточке работника ставка меньше нуля"));
    EXPECT_EQ(CalcErrorText(kCalcNegativeAdvance), QStringLiteral("В карточке работника плановый аванс меньше нуля"));
    EXPECT_EQ(CalcErrorText(kCalcNegativeAllowance),
              QStringLiteral("В карточке работника персональная надбавка меньше нуля"));
    EXPECT_EQ(CalcErrorText(48), QString());
    // The engine's table differs from the report generator's in a few texts.
    EXPECT_EQ(CalcErrorText(kCalcHireDateForRule),
              QStringLiteral("Некорр.дата приема на работу для данного алгоритма."));
    EXPECT_EQ(CalcErrorText(kCalcBadHireDismissal), CalcErrorText(-42));
}

// The engine's 47 messages: fifteen are its own, each unlike the exchange
// table's text of its code; every other one is the exchange table's text of
// the same code (which the exchange tests hold text by text).
TEST(CalcErrors, TheTableHoldsItsOwnTextsAndTheExchangeTablesOthers)
{
    std::map<int, const char*> own;
    for (const CalcOwnText& o : CalcOwnTexts) {
        EXPECT_TRUE(own.emplace(o.code, o.text).second) << "code " << o.code << " twice";
        EXPECT_STRNE(o.text, ExchangeErrorTexts[std::size_t(-o.code - 1)]) << "code " << o.code;
    }
    EXPECT_EQ(own.size(), 15u);
    ASSERT_EQ(CalcErrorTexts.size(), 47u);
    for (int code = -1; code >= -47; --code) {
        const auto it = own.find(code);
        const char* said = it != own.end() ? it->second : ExchangeErrorTexts[std::size_t(-code - 1)];
        EXPECT_STREQ(CalcErrorTexts[std::size_t(-code - 1)], said) << "code " << code;
        EXPECT_EQ(CalcErrorText(code), QString::fromUtf8(said)) << "code " << code;
    }
    EXPECT_EQ(ExchangeErrorText(-43), QStringLiteral("некорректный табельный номер"));
    EXPECT_EQ(ExchangeErrorText(-41), QStringLiteral("Оклад не соответствует окладу из справочн.должностей"));
}

// A vacation screen's display run: the caller's note, not the document,
// carries the note in and its amount to pay out.
TEST(EngineModes, AVacationNoteReceivesItsAmountToPay)
{
    EngineWorld w;
    w.salaried();
    std::vector<PayKind> kinds = w.base().payKinds();
    for (PayKind& k : kinds)
        if (k.kod == 4)
            k.enOtp = 1;
    kinds.push_back(kind(85, {"oblPodoh"}, 1, 2000));
    setKinds(w.doc, kinds);
    for (int m = 3; m <= 14; ++m) // March 2025 to February 2026, 22 days each
        addArchive(w.doc, archive(4, kSalary, m <= 12 ? 2025 : 2026, m <= 12 ? m : m - 12, 22));
    w.rec.waria = w.base().current.waria;
    w.rec.warKv = w.base().current.warKv;

    std::array<VacationNote, 5> notes{};
    notes[0].dBegin = 10;
    notes[0].mBegin = 3;
    notes[0].gBegin = 2026;
    notes[0].dlin = 14;
    notes[0].kalend = 1;
    notes[0].alg = 1;
    w.options.vacationCalcKind = 2;
    w.options.vacationNotes = notes;
    w.options.currentNote = 0;
    const int n = w.calc(CalcDisplay);
    ASSERT_GT(n, 0) << CalcErrorText(n).toStdString();
    double accrued = 0, deducted = 0, vacationPay = 0;
    for (const AccrualRow& r : ResultRows(w.rows(), n)) {
        if (r.kod < 700)
            accrued += r.sum;
        else
            deducted += r.sum;
        if (r.kod == 85)
            vacationPay += r.sum;
    }
    // 50,000 a month for twelve months over 12 x 29.4 days: 1,700.68 a day.
    EXPECT_DOUBLE_EQ(vacationPay, 170'068.0 * 14);
    EXPECT_DOUBLE_EQ(notes[0].sum, accrued - deducted);
    EXPECT_EQ(w.base().zar1Of(1), 0) << "a display run stores no amount to pay";

    // Kind 1 computes the note but leaves its amount as it was.
    notes[0].sum = 0;
    w.options.vacationCalcKind = 1;
    ASSERT_EQ(w.again(CalcDisplay), n);
    EXPECT_EQ(notes[0].sum, 0);
}
