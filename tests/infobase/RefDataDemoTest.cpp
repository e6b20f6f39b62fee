// The demo base: made from the template when missing (and only then), it holds
// fifty employees in four shops with every case the month's calculation meets
// (each insurance number with its right check number, each deduction from
// the hire month on), and a past year whose tax and contributions follow the rules of 2010-2011.
#include "DemoFirm.h"
#include "infobase/InfoBaseDb.h"
#include "values/InsuranceNumber.h"
#include "support/DemoDocument.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <set>

using namespace kalvor::infobase;
using namespace kalvor::tools;

#ifdef KALVOR_DATA_DIR

namespace {

int yearOf(u16 packed) { return 2000 + ((packed >> 9) & 127) % 100; }
int monthOf(u16 packed) { return (packed >> 5) & 15; }

// Amount (roubles) of a code in an archive month of the current record.
double archived(const CInfoBase& base, int code, int year, int month)
{
    double sum = 0;
    for (int i = 0; i < base.current.warKv; ++i) {
        const WariaEntry& e = base.current.waria[std::size_t(i)];
        if (e.kod == code && e.god == year && e.mes == month)
            sum += e.sum;
    }
    return sum / 100;
}

class RefDataDemo : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ASSERT_NO_FATAL_FAILURE(kalvor::testsupport::MakeDemoFolder(folder));
        base.workFolder = folder;
        base.baseName = DemoBaseName();
        OpenBase(base);
        LoadAll(base);
    }
    void TearDown() override { CloseBase(base); }
    // Loads the employee of a personnel number; returns the slot.
    int load(int tabN)
    {
        const int i = base.FindEmployee(tabN);
        EXPECT_GE(i, 0) << tabN;
        const int slot = base.list[std::size_t(i)].slot;
        LoadEmployee(base, slot);
        return slot;
    }
    QTemporaryDir dir;
    QString folder;
    CInfoBase base;
};

} // namespace

TEST_F(RefDataDemo, MadeOnceAndNeverOverwritten)
{
    EXPECT_FALSE(MakeDemoBase(folder));
    EXPECT_FALSE(QFile::exists(BaseFilePath(folder, QStringLiteral("demo-new"))));
    EXPECT_EQ(base.employeeCount(), 52);
    EXPECT_EQ(base.config.kolRab, 52);
    EXPECT_EQ(base.config.reportingYear(), 2011);
    EXPECT_EQ(base.config.reportingMonth(), 4);
    EXPECT_EQ(base.firm.texts[FirmInfo::firmName], QStringLiteral("ООО «Северная механика»"));
    EXPECT_EQ(base.shopAt(4).name, QStringLiteral("Склад и транспорт"));
    EXPECT_TRUE(
        std::any_of(base.payKinds().begin(), base.payKinds().end(), [](const PayKind& k) { return k.kod == 760; }));
}

TEST_F(RefDataDemo, EveryCaseOfTheMonthIsThere)
{
    std::set<int> paySystems, shops;
    int partTime = 0, withChildren = 0, advances = 0, banks = 0, nonResidents = 0, disabled = 0, hired = 0,
        dismissed = 0, writs = 0, loans = 0, bonuses = 0, sick = 0, vacations = 0, disabledChild = 0;
    int otherWrits = 0, stagedLoans = 0, fixedTransfers = 0, altLines = 0;
    for (const EmployeeListEntry& e : base.list) {
        const int slot = e.slot;
        LoadEmployee(base, slot);
        const EmployeeHead& h = base.current.head;
        const EmployeeAttributes& a = base.attributesOf(slot);
        paySystems.insert(a.sistOpl);
        shops.insert(base.shopOf(slot));
        partTime += h.stavka == 50;
        advances += base.avOf(slot) > 0;
        banks += base.current.sber[0].kod == 903 && a.priznBank >= 1;
        fixedTransfers += base.current.sber[1].sum != 0 && a.priznBank == 2;
        nonResidents += h.flag(2) && h.flag(9);
        disabled += ((h.flags >> 6) & 3) != 0 && h.invDat1Begin != 0;
        hired += h.datPr1 && yearOf(h.datPr1) == 2011 && monthOf(h.datPr1) == 4;
        dismissed += h.datUv1 && monthOf(h.datUv1) == 4 && a.priznUv == 1;
        writs += base.current.ispol.writs[0].vid == 1 && a.priznAlim == 1;
        otherWrits += base.current.ispol.writs[0].vid == 3 && a.priznIspl == 1;
        stagedLoans += base.current.ssud.loans[0].mes[1] != 0;
        altLines += int(base.altTabel.run(slot).size());
        loans += base.current.ssud.loans[0].kod == 760 && base.current.ssud.loans[0].kvMes == 1;
        bonuses += !base.prem.run(slot).empty();
        // A deduction starts with the employment, never before the hire month.
        const kalvor::PackedDate hiredOn(h.datPr1);
        for (const NalvichEntry& n : base.current.nalvich) {
            withChildren += n.kod == 114;
            disabledChild += n.kod == 117;
            if (n.kod != 0) {
                EXPECT_GE(n.start, kalvor::MonthKey(hiredOn.fullYear(), hiredOn.month()).value()) << e.tabN();
            }
        }
        // The insurance number carries its own check number.
        const kalvor::InsuranceNumberCheck insurance = kalvor::CheckInsuranceNumber(h.strahPolis);
        EXPECT_TRUE(insurance.typed && !insurance.wrong()) << e.tabN() << " " << h.strahPolis.toStdString();
        for (const SickLeaveSheet& s : base.bln.run(slot)) sick += s.mBegin == 3 && s.mEnd == 4 && s.gBegin == 2011;
        for (const VacationNote& v : base.otp.run(slot)) vacations += v.mBegin == 4 && v.dlin == 14;
        // The compensation for unused vacation of the one who leaves.
        if (a.priznUv == 1) {
            ASSERT_EQ(base.otp.run(slot).size(), 1u);
            EXPECT_EQ(base.otp.run(slot)[0].mBegin, 0);
        }
        // The time sheet's day marks agree with its working days.
        const TabelRecord& t = base.tabelOf(slot);
        EXPECT_EQ(__builtin_popcount(t.tabel12) + __builtin_popcount(t.tabel22), t.rabDn) << slot;
    }
    EXPECT_EQ(paySystems, (std::set<int>{1, 2, 3}));
    EXPECT_EQ(shops, (std::set<int>{1, 2, 3, 4}));
    EXPECT_EQ(partTime, 2);
    EXPECT_GE(withChildren, 15);
    EXPECT_EQ(disabledChild, 1);
    EXPECT_GE(advances, 45);
    EXPECT_EQ(banks, 9);
    EXPECT_EQ(nonResidents, 1);
    EXPECT_EQ(disabled, 1);
    EXPECT_EQ(hired, 1);
    EXPECT_EQ(dismissed, 1);
    EXPECT_EQ(writs, 1);
    EXPECT_EQ(loans, 2);
    EXPECT_EQ(stagedLoans, 1);
    EXPECT_EQ(otherWrits, 1);
    EXPECT_EQ(fixedTransfers, 1);
    EXPECT_EQ(altLines, 3);
    EXPECT_EQ(bonuses, 11); // four fixed, the brigade of five, two in percent
    EXPECT_EQ(sick, 1);
    EXPECT_EQ(vacations, 1);
}

TEST_F(RefDataDemo, PastYearFollowsTheRulesOf2010And2011)
{
    // The director: 45,000 a month, no children; his income passes 40,000 in
    // January, so no deduction: 13 % = 5,850 a month. Pension 20 % in 2010
    // (9,000), 26 % in 2011 (11,700); social insurance 2.9 % (1,305).
    load(101);
    std::set<int> months;
    for (int i = 0; i < base.current.warKv; ++i)
        if (base.current.waria[std::size_t(i)].kod == 4)
            months.insert(base.current.waria[std::size_t(i)].god * 12 + base.current.waria[std::size_t(i)].mes);
    // The archive runs from January 2010 to March 2011: fifteen months.
    EXPECT_EQ(months.size(), 15u);
    EXPECT_EQ(*months.begin(), 2010 * 12 + 1);
    EXPECT_EQ(*months.rbegin(), 2011 * 12 + 3);
    EXPECT_DOUBLE_EQ(archived(base, 4, 2011, 2), 45'000);
    EXPECT_DOUBLE_EQ(archived(base, 902, 2011, 2), 5'850);
    EXPECT_DOUBLE_EQ(archived(base, 990, 2010, 5), 9'000);
    EXPECT_DOUBLE_EQ(archived(base, 990, 2011, 1), 11'700);
    EXPECT_DOUBLE_EQ(archived(base, 992, 2011, 1), 1'305);
    EXPECT_DOUBLE_EQ(archived(base, 994, 2011, 1), 1'395);
    EXPECT_DOUBLE_EQ(archived(base, 994, 2010, 6), 495);
    // His pay of 2010 reaches the cap of 415,000 in October (405,000 by the
    // end of September): 20 % of the 10,000 left, then nothing.
    EXPECT_DOUBLE_EQ(archived(base, 990, 2010, 10), 2'000);
    EXPECT_DOUBLE_EQ(archived(base, 992, 2010, 10), 290);
    EXPECT_DOUBLE_EQ(archived(base, 990, 2010, 11), 0);
    EXPECT_DOUBLE_EQ(archived(base, 902, 2010, 11), 5'850);

    // The chief accountant: 38,000 and a standing supplement of 5,000, one
    // child. Her income of January (43,000) passes 40,000 at once, so only
    // the child's 1,000 a month is deducted: 13 % of 42,000 = 5,460; February
    // 13 % of (86,000 - 2,000) = 10,920, less 5,460 = 5,460; March the same.
    load(102);
    EXPECT_DOUBLE_EQ(archived(base, 902, 2011, 1), 5'460);
    EXPECT_DOUBLE_EQ(archived(base, 902, 2011, 2), 5'460);
    EXPECT_DOUBLE_EQ(archived(base, 902, 2011, 3), 5'460);

    // The non-resident loader: March 2011 has 22 working days, 5 March (a
    // Saturday worked) shortened to 7 hours: 175 hours x 70 roubles = 12,250,
    // and the quarter's bonus of 15 % = 1,837.50, entered as 1,838; of the
    // contributions only accident insurance, 0.2 % = 28.18.
    // His tax of 30 % is withheld at most half of each payment, and his
    // advance (40 % of the month's pay in hundreds of roubles) leaves about
    // 60 % of the pay to be paid, so the cap bites by roubles:
    // January: 120 h x 70 = 8,400, tax 2,520; advance 3,400 leaves 5,000, of
    // which half is 2,500: 2,500 withheld, 20 left.
    // February: 151 h x 70 = 10,570, tax 3,171 + 20 = 3,191; advance 4,200
    // leaves 6,370, half 3,185: 3,185 withheld, 6 left.
    // March: the year's tax, 30 % of 8,400 + 10,570 + 14,088 = 33,058, is
    // 9,917.40, in whole roubles 9,917, less the 5,685 withheld = 4,232
    // (March's own 4,226 and the 6 left); the advance of 4,900 leaves 9,188,
    // half 4,594: all of it withheld.
    load(145);
    EXPECT_DOUBLE_EQ(archived(base, 3, 2011, 3), 12'250);
    EXPECT_DOUBLE_EQ(archived(base, 7, 2011, 3), 1'838);
    EXPECT_DOUBLE_EQ(archived(base, 902, 2011, 1), 2'500);
    EXPECT_DOUBLE_EQ(archived(base, 902, 2011, 2), 3'185);
    EXPECT_DOUBLE_EQ(archived(base, 902, 2011, 3), 4'232);
    EXPECT_DOUBLE_EQ(archived(base, 990, 2011, 3), 0);
    EXPECT_NEAR(archived(base, 995, 2011, 3), 28.18, 1e-9);

    // The disabled employee (group 3), 15,000 a month: the engine charges
    // 2011's rates of the law on the pay of the disabled, pension 16 % =
    // 2,400, social insurance 1.9 % = 285, and accidents 60 % of the 0.2 %
    // tariff, 0.12 % = 18.00.
    load(109);
    for (int month = 1; month <= 3; ++month) {
        EXPECT_DOUBLE_EQ(archived(base, 990, 2011, month), 2'400);
        EXPECT_DOUBLE_EQ(archived(base, 992, 2011, month), 285);
        EXPECT_DOUBLE_EQ(archived(base, 995, 2011, month), 18);
    }

    // Below the cap each month's pension contribution is the rate of the month's pay.
    load(103);
    EXPECT_DOUBLE_EQ(archived(base, 990, 2010, 10), archived(base, 4, 2010, 10) * 0.20);
}

#endif
