// An employee's share of the reporting period, worked out by hand for the
// first quarter of 2011 (31 + 28 + 31 = 90 days) and a few other periods; the
// disability test over the swap work file; the joining of name words; the
// defaults of the reporting period.
#include "reports/social/PeriodTotals.h"

#include "platform/CodePage.h"
#include "values/Messages.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstring>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;

namespace {

constexpr u16 kSalary = 4; // days of work
constexpr u16 kTax = 902; // no days
constexpr u16 kUnpaid = 600; // unpaid leave: hr4, absence

u16 date(int day, int month, int year) { return PackedDate::make(day, month, year).value; }

// A document with three pay kinds, one employee slot and the reporting month
// of April 2011 (outside the first quarter).
class PeriodTotals : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (u16 code : {kSalary, kUnpaid, kTax}) {
            PayKind kind;
            kind.kod = code;
            kind.hr4 = code == kUnpaid ? 1 : 0;
            doc.infoBase.addPayKind(kind);
        }
        doc.infoBase.config.nEnt = 3;
        doc.infoBase.config.tekMes = u16(MonthKey(2011, 4).value());
        doc.infoBase.AllocateTables(4);
        head().stavka = 100;
        head().datPr1 = date(1, 3, 2005);
    }

    EmployeeHead& head() { return doc.infoBase.current.head; }

    void archive(u16 kod, int year, int month, int days)
    {
        EmployeeRecord& rec = doc.infoBase.current;
        WariaEntry& e = rec.waria[rec.warKv++];
        e.kod = kod;
        e.god = u16(year);
        e.mes = u16(month);
        e.dn = u16(days);
        e.sum = 1'000'000;
    }
    // Paid for the working days of each month of the quarter.
    void paidWholeQuarter(int year = 2011)
    {
        archive(kSalary, year, 1, 15);
        archive(kTax, year, 1, 0);
        archive(kSalary, year, 2, 19);
        archive(kSalary, year, 3, 22);
    }
    float share(int firstMonth = 1, int lastMonth = 3, int year = 2011, MonthCounted counted = {})
    {
        return CalcPeriodTotals(doc, MonthKey(year, firstMonth).value(), MonthKey(year, lastMonth).value(), 1, counted);
    }

    PayrollDoc doc;
};

TEST_F(PeriodTotals, WholePeriodHalfRateAndRateZero)
{
    paidWholeQuarter();
    EXPECT_FLOAT_EQ(share(), 100);
    head().stavka = 50;
    EXPECT_FLOAT_EQ(share(), 50);
    head().stavka = 0;
    EXPECT_FLOAT_EQ(share(), 0);
}

TEST_F(PeriodTotals, MonthsWithoutPaidDaysCountNothing)
{
    // Only January and March paid: 62 of 90 days. The tax row of February
    // has no days, and a kind that is not in the table counts for nothing.
    archive(kSalary, 2011, 1, 15);
    archive(kTax, 2011, 2, 0);
    archive(77, 2011, 2, 19);
    archive(kSalary, 2011, 3, 22);
    // Rows outside the period are not read: December 2010 and April 2011.
    archive(kSalary, 2010, 12, 22);
    archive(kSalary, 2011, 4, 21);
    EXPECT_FLOAT_EQ(share(), float(62 * 100.0 / 90));
}

TEST_F(PeriodTotals, HiredInsideThePeriod)
{
    // Hired on 16 February: January leaves the period (59 days), February
    // counts 28 - 15 = 13 days, March 31: 44 x 100 / 59 = 74.58.
    head().datPr1 = date(16, 2, 2011);
    archive(kSalary, 2011, 2, 9);
    archive(kSalary, 2011, 3, 22);
    EXPECT_FLOAT_EQ(share(), float(4400.0 / 59));
    // With January counted by the builder, it stays in the period: 44 of 90.
    MonthCounted counted{};
    counted[1] = 1;
    EXPECT_FLOAT_EQ(share(1, 3, 2011, counted), float(4400.0 / 90));
}

TEST_F(PeriodTotals, DismissedMidMonthCountsTheDaysUpToTheDismissal)
{
    // Dismissed on 10 March: 31 + 28 + 10 = 69 days of 90.
    paidWholeQuarter();
    head().datUv1 = date(10, 3, 2011);
    EXPECT_FLOAT_EQ(share(), float(6900.0 / 90));
}

TEST_F(PeriodTotals, AbsenceKindsWithAndWithoutDays)
{
    // Five days of unpaid leave in February: 31 + 23 + 31 = 85 of 90.
    paidWholeQuarter();
    archive(kUnpaid, 2011, 2, 5);
    EXPECT_FLOAT_EQ(share(), float(8500.0 / 90));
    // A row of the kind without days marks the whole month absent, and the
    // absence never exceeds the month: 62 of 90.
    archive(kUnpaid, 2011, 2, 0);
    archive(kUnpaid, 2011, 2, 40);
    EXPECT_FLOAT_EQ(share(), float(6200.0 / 90));
}

TEST_F(PeriodTotals, AMonthNeverCountsFewerThanNoDays)
{
    // Hired on 20 February and absent the whole of February: the month would
    // count 28 - 19 - 28 = -19 days and take them from March. It counts 0;
    // March counts 31 of the 59 days left after January: 52.54, not 20.34.
    head().datPr1 = date(20, 2, 2011);
    archive(kSalary, 2011, 2, 6);
    archive(kUnpaid, 2011, 2, 0);
    archive(kSalary, 2011, 3, 22);
    EXPECT_FLOAT_EQ(share(), float(3100.0 / 59));
}

TEST_F(PeriodTotals, LeapFebruaryHas29Days)
{
    // February alone, hired on the 10th: 20 of 29 days in 2012, 19 of 28 in 2011.
    head().datPr1 = date(10, 2, 2012);
    archive(kSalary, 2012, 2, 14);
    EXPECT_FLOAT_EQ(share(2, 2, 2012), float(2000.0 / 29));
    head().datPr1 = date(10, 2, 2011);
    archive(kSalary, 2011, 2, 14);
    EXPECT_FLOAT_EQ(share(2, 2, 2011), float(1900.0 / 28));
}

TEST_F(PeriodTotals, RowsOfTheReportingMonthAfterTheOutputRows)
{
    // Reporting month March 2011: the archive holds January and February,
    // March comes from the month's rows. The first row is an output row and
    // is skipped; a row of an earlier month is skipped too.
    doc.infoBase.config.tekMes = u16(MonthKey(2011, 3).value());
    doc.infoBase.attributesOf(1).kvProizv = 1;
    archive(kSalary, 2011, 1, 15);
    archive(kSalary, 2011, 2, 19);
    auto& rows = doc.infoBase.current.rows;
    rows[0] = AccrualRow{};
    rows[0].kod = kUnpaid;
    rows[0].mes = 3;
    rows[1].kod = kSalary;
    rows[1].mes = 2;
    rows[1].dn = 19;
    EXPECT_FLOAT_EQ(share(), float(5900.0 / 90));
    rows[2].kod = kSalary;
    rows[2].mes = 3;
    rows[2].dn = 17;
    rows[3].kod = kUnpaid;
    rows[3].mes = 3;
    rows[3].dn = 4;
    EXPECT_FLOAT_EQ(share(), float(8600.0 / 90));
}

TEST_F(PeriodTotals, PaidMonthOfAnArchiveRowPlacesIt)
{
    // A row accrued for December 2010 and paid in January 2011 counts in January.
    archive(kSalary, 2010, 12, 22);
    doc.infoBase.current.waria[0].mesVyd = 1;
    doc.infoBase.current.waria[0].godVyd = 2011;
    EXPECT_FLOAT_EQ(share(), float(3100.0 / 90));
}

TEST(JoinAddressWords, CommasBetweenTheFirstThreeWords)
{
    char target[51] = {};
    char source[60];
    const auto fill = [&](const QByteArray& text) {
        std::memset(source, ' ', sizeof source);
        std::memcpy(source, text.constData(), std::size_t(text.size()));
    };
    fill("a b c d");
    EXPECT_EQ(JoinAddressWords(target, source), 5);
    EXPECT_EQ(QByteArray(target, 50), QByteArray("a,b,c").leftJustified(50, ' '));
    fill("ab  cd");
    EXPECT_EQ(JoinAddressWords(target, source), 2);
    EXPECT_EQ(QByteArray(target, 50), QByteArray("ab").leftJustified(50, ' '));
    const QByteArray name = codepage::toCp1251(QStringLiteral("Зуева Людмила Ивановна"));
    fill(name);
    EXPECT_EQ(JoinAddressWords(target, source), name.size());
    EXPECT_EQ(QByteArray(target, 50),
              codepage::toCp1251(QStringLiteral("Зуева,Людмила,Ивановна")).leftJustified(50, ' '));
    // A text that fills the field stops at its end.
    fill(QByteArray(55, 'x'));
    EXPECT_EQ(JoinAddressWords(target, source), 50);
    EXPECT_EQ(QByteArray(target, 50), QByteArray(50, 'x'));
}

TEST(ResolveReportPeriod, DefaultsAndEachReportsRules)
{
    InfoBaseConfig config;
    config.tekMes = u16(MonthKey(2011, 4).value());
    ReportPeriod p = ResolveReportPeriod(config);
    EXPECT_EQ(p.year, 2011);
    EXPECT_EQ(p.firstMonth, 1);
    EXPECT_EQ(p.lastMonth, 12);
    EXPECT_EQ(p.begin(), MonthKey(2011, 1).value());
    EXPECT_EQ(p.lastMonthIndex(), MonthIndex(2011, 12));
    config.r_g = 110;
    config.r_m1 = 4;
    config.r_m2 = 2;
    p = ResolveReportPeriod(config);
    EXPECT_EQ(p.yearByte(), 110);
    EXPECT_EQ(p.firstMonth, 4);
    EXPECT_EQ(p.lastMonth, 2);
    p = ResolveReportPeriod(config, ReportPeriodRules{true, 3});
    EXPECT_EQ(p.firstMonth, 1);
    EXPECT_EQ(p.lastMonth, 3);
    EXPECT_FALSE(ReportYearAfterBase(p, config));
    config.r_g = 112;
    EXPECT_TRUE(ReportYearAfterBase(ResolveReportPeriod(config), config));
}

// Three employees in the swap work file: one with a disability period open
// since 2009, one whose period ended in March 2011, one without.
class ReadGenrRecordTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        doc.setWorkFolder(dir.path());
        CInfoBase& base = doc.infoBase;
        base.AllocateTables(3);
        base.swap.create();
        for (int slot = 1; slot <= 3; ++slot) {
            EmployeeListEntry e;
            e.setTabN(u16(100 + slot));
            e.slot = u16(slot);
            base.list.push_back(e);
            base.shopOf(slot) = u8(slot);
            EmployeeRecord rec;
            if (slot == 1)
                rec.head.invDat1Begin = u16(MonthKey(2009, 2).value());
            if (slot == 2) {
                rec.head.invDat2Begin = u16(MonthKey(2010, 5).value());
                rec.head.invDat2End = u16(MonthKey(2011, 3).value());
            }
            base.swap.writeSlot(slot, rec);
        }
    }
    void TearDown() override { doc.infoBase.CloseSwapFile(); }

    bool anyOpen(int month, int tabN = 0, int shop = 0)
    {
        ReportSelection selection;
        selection.tabN = u16(tabN);
        selection.shop = u8(shop);
        return ReadGenrRecord(doc, month, selection, 0);
    }

    QTemporaryDir dir;
    PayrollDoc doc;
};

TEST_F(ReadGenrRecordTest, OpenDisabilityPeriodsAfterAMonth)
{
    EXPECT_TRUE(anyOpen(MonthKey(2011, 3).value()));
    EXPECT_FALSE(anyOpen(MonthKey(2011, 3).value(), 103));
    // The second employee's period ends in March: open after February only.
    EXPECT_TRUE(anyOpen(MonthKey(2011, 2).value(), 102));
    EXPECT_FALSE(anyOpen(MonthKey(2011, 3).value(), 102));
    EXPECT_FALSE(anyOpen(MonthKey(2011, 3).value(), 0, 2));

    // A period without an end closes with the employee's dismissal.
    EmployeeRecord rec;
    rec.head.invDat1Begin = u16(MonthKey(2009, 2).value());
    rec.head.datUv1 = date(15, 3, 2011);
    doc.infoBase.swap.writeSlot(1, rec);
    EXPECT_TRUE(anyOpen(MonthKey(2011, 2).value(), 101));
    EXPECT_FALSE(anyOpen(MonthKey(2011, 3).value(), 101));

    // Only the marked employees when a marked count is given.
    doc.infoBase.list[1].setFlag(0, true);
    EXPECT_TRUE(ReadGenrRecord(doc, MonthKey(2011, 2).value(), ReportSelection{}, 1));
    EXPECT_FALSE(ReadGenrRecord(doc, MonthKey(2011, 3).value(), ReportSelection{}, 1));
}

TEST_F(ReadGenrRecordTest, ShortSlotIsAReadError)
{
    EmployeeListEntry e;
    e.setTabN(104);
    e.slot = 4;
    doc.infoBase.AllocateTables(4);
    doc.infoBase.list.push_back(e);
    try {
        anyOpen(MonthKey(2011, 3).value(), 104);
        FAIL() << "no exception";
    } catch (const TextError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("Ошибка чтения файла"));
    }
}

} // namespace
