// The 4-FSS settlement of 2011 over a small base of six employees whose
// figures are worked out by hand below (social insurance 2.9 %, 1.9 % on the
// pay of disabled employees; accidents 0.2 %, 60 % of it for the disabled;
// the yearly cap of 463,000 roubles), and the closing steps on their own: the
// 2.9 % check around its one-rouble window, the reconciliations, the "inval"
// reconciliation, the data file, failures and the demo base.
#include "reports/social/SocialInsurance2011.h"
#include "reports/social/Fss4Common.h"
#include "reports/social/GenrDataFile.h"

#include "Fss4Fixture.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/MonthChange.h"
#include "platform/CodePage.h"
#include "platform/TaskThread.h"
#include "platform/WorkingFolder.h"
#include "support/DemoDocument.h"
#include "support/GenrDataFileReader.h"
#include "support/MonthRun.h"
#include "support/TestFixture.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <map>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;
using namespace kalvor::reports::fss4;
using namespace kalvor::reports::testing;

namespace {

// ------------------------------------------------------------ closing steps

TEST(Fss4ClosingSteps, RateCheckLowersOnlyWithinOneRouble)
{
    const ReportPeriod quarter{2011, 1, 3};
    // Base 100,000 gives 2,900.00 at 2.9 %. Accrued 0.60 above it in the
    // period and in the quarter: both come down, the quarter's in its first
    // month that is not 0.
    GenrValueArray v{};
    v[kBasePeriod] = v[BaseMonth(2, ColPayments)] = 100'000;
    v[kAccrued] = 2'900.60;
    v[kAccruedMonth1 + 1] = 2'900.60;
    FinishFss4Values(v, quarter);
    EXPECT_DOUBLE_EQ(v[kBasePeriod + ColBase], 100'000);
    EXPECT_DOUBLE_EQ(v[kAccrued], 2'900);
    EXPECT_DOUBLE_EQ(v[kAccruedQuarter], 2'900);
    EXPECT_DOUBLE_EQ(v[kAccruedMonth1 + 1], 2'900);
    EXPECT_DOUBLE_EQ(v[kAccruedBefore], 0);

    // 1.20 above, or anything below, stays.
    for (double accrued : {2'901.20, 2'899.40, 2'901.00}) {
        GenrValueArray w{};
        w[kBasePeriod] = w[BaseMonth(3, ColPayments)] = 100'000;
        w[kAccrued] = accrued;
        w[kAccruedMonth1 + 2] = accrued;
        FinishFss4Values(w, quarter);
        EXPECT_DOUBLE_EQ(w[kAccrued], accrued) << accrued;
        EXPECT_DOUBLE_EQ(w[kAccruedMonth1 + 2], accrued) << accrued;
    }
}

TEST(Fss4ClosingSteps, MonthsAndBasesTakeTheirRounding)
{
    GenrValueArray v{};
    // Payments of the quarter 3 roubles more than the months: the third
    // month takes them; a difference of 5 stays. The base keeps payments
    // less non-taxable less above the cap.
    v[kBasePeriod + ColPayments] = 30'003;
    v[BaseMonth(1, ColPayments)] = 10'000;
    v[BaseMonth(2, ColPayments)] = 10'000;
    v[BaseMonth(3, ColPayments)] = 10'000;
    v[kBasePeriod + ColAboveCap] = 5'005;
    v[BaseMonth(2, ColAboveCap)] = 5'000;
    v[kBasePeriod + ColNonTaxable] = 100;
    v[BaseMonth(1, ColNonTaxable)] = 100;
    FinishFss4Values(v, ReportPeriod{2011, 1, 3});
    EXPECT_EQ(Values(v, kBasePeriod, 5), (std::vector<double>{30'103, 100, 0, 5'005, 24'998}));
    EXPECT_EQ(Values(v, BaseMonth(1, 0), 5), (std::vector<double>{10'100, 100, 0, 0, 10'000}));
    EXPECT_EQ(Values(v, BaseMonth(2, 0), 5), (std::vector<double>{10'000, 0, 0, 5'000, 5'000}));
    EXPECT_EQ(Values(v, BaseMonth(3, 0), 5), (std::vector<double>{10'003, 0, 0, 0, 10'003}));
    // The quarter's columns are the months' sums before the reconciliation.
    EXPECT_EQ(Values(v, kBaseQuarter, 5), (std::vector<double>{30'100, 100, 0, 5'000, 25'000}));

    // A half-year: the months are the last three and are not forced to the
    // period figure.
    GenrValueArray half{};
    half[kBasePeriod + ColPayments] = 3;
    FinishFss4Values(half, ReportPeriod{2011, 1, 6});
    EXPECT_EQ(Values(half, BaseMonth(3, 0), 5), (std::vector<double>{0, 0, 0, 0, 0}));
}

InvalRecord Inval(double since, std::array<double, 3> months)
{
    InvalRecord record;
    record.sinceYearStart = since;
    record.months = months;
    record.quarter = months[0] + months[1] + months[2];
    return record;
}

TEST(Fss4ClosingSteps, InvalMovesWholeRoublesAndSkipsEmptyAmounts)
{
    GenrValueArray v{};
    v[kBasePeriod + ColDisabled] = 302;
    v[BaseMonth(1, ColDisabled)] = 100;
    v[BaseMonth(2, ColDisabled)] = 100;
    v[BaseMonth(3, ColDisabled)] = 102.40;
    // Records: 300 since January, the third month 100 short by 2.40 roubles.
    // The first record has no third-month amount... and the period moves
    // first: one rouble per record while at least a rouble is left.
    std::vector<InvalRecord> records = {Inval(10'000, {5'000, 5'000, 0}), Inval(20'000, {5'000, 5'000, 10'000}),
                                        Inval(0, {0, 0, 0})};
    ReconcileFss4Inval(v, records);
    EXPECT_EQ(records[0].sinceYearStart, 10'100);
    EXPECT_EQ(records[1].sinceYearStart, 20'100);
    EXPECT_EQ(records[1].months[2], 10'000);
    // The third record has only zeros: it is never moved below 0.
    EXPECT_EQ(records[2].sinceYearStart, 0);
    EXPECT_EQ(records[2].months, (std::array<double, 3>{0, 0, 0}));

    // Only the month differs, by 2.40: one rouble to the first record that
    // has a third month, and the 0.40 left stays.
    records = {Inval(10'000, {5'000, 5'000, 0}), Inval(20'000, {5'000, 5'000, 10'000}), Inval(10'000, {0, 0, 10'000})};
    v[kBasePeriod + ColDisabled] = 400;
    v[BaseMonth(3, ColDisabled)] = 202.40;
    ReconcileFss4Inval(v, records);
    EXPECT_EQ(records[0].months[2], 0);
    EXPECT_EQ(records[1].months[2], 10'100);
    EXPECT_EQ(records[2].months[2], 10'100);
    EXPECT_EQ(records[2].quarter, 10'100);
}

// Table 2 counts a sheet of sick leave once, in the month it is first paid
// in. A sheet from 25 January 2011 paid in January and again in February
// (two entries of the dated archive, one start) is one case of the first
// quarter; a sheet begun on 20 December 2010, paid in December and again in
// January, was last year's case and is none of 2011.
TEST(Fss4SickLeaveCases, ASheetPaidInTwoMonthsIsOneCase)
{
    const auto casesOf = [](std::initializer_list<WarDatEntry> entries) {
        WarDatBlock archive;
        for (const WarDatEntry& e : entries) archive.entries[archive.warDatKv++] = e;
        GenrValueArray values{};
        const ReportPeriod period{2011, 1, 3};
        BenefitLines lines(values, period, BenefitForm::Form2011);
        lines.addEmployee(EmployeeRecord{}, 0, 2011, false,
                          SickLeaveSheetCases(archive, archive.warDatKv, {}, 2011, MonthKey(2011, 4)));
        return values[std::size_t(kSickLeave)] / 100;
    };
    const auto entry = [](int month, int year, std::uint16_t start) {
        WarDatEntry e;
        e.start = start;
        e.mes = u16(month);
        e.god = u16(year % 100);
        e.kod = 156;
        e.sum = 100'000;
        return e;
    };
    const std::uint16_t january = PackedDate::make(25, 1, 2011).value;
    EXPECT_EQ(casesOf({entry(1, 2011, january)}), 1);
    EXPECT_EQ(casesOf({entry(1, 2011, january), entry(2, 2011, january)}), 1);
    const std::uint16_t december = PackedDate::make(20, 12, 2010).value;
    EXPECT_EQ(casesOf({entry(12, 2010, december), entry(1, 2011, december)}), 0);
}

TEST(Fss4ClosingSteps, MonthsCountedForTheHeadcount)
{
    const ReportPeriod firstQuarter{2011, 1, 3};
    EmployeeHead head;
    MonthCounted counters{};
    head.datPr1 = PackedDate::make(12, 5, 2003).value; // hired years ago: January and February
    CountFssMonths(head, firstQuarter, counters);
    head.datPr1 = PackedDate::make(1, 2, 2011).value; // February
    CountFssMonths(head, firstQuarter, counters);
    head.datPr1 = PackedDate::make(1, 7, 2012).value; // after the report year: from the first month
    CountFssMonths(head, firstQuarter, counters);
    head.datPr1 = 0;
    head.datUv1 = PackedDate::make(10, 12, 2010).value; // gone before the year: nothing
    CountFssMonths(head, firstQuarter, counters);
    head.datUv1 = PackedDate::make(10, 2, 2011).value; // dismissed in February: January
    CountFssMonths(head, firstQuarter, counters);
    EXPECT_EQ((std::vector<int>(counters.begin() + 1, counters.begin() + 4)), (std::vector<int>{3, 3, 0}));
}

// ------------------------------------------------------------ a run over a base

// Six employees paid January to June 2011; the base's month is July.
class Fss4Run : public Fss4Base {
protected:
    Fss4Run() : Fss4Base(2011) {}

    std::vector<InvalRecord> inval() const
    {
        std::vector<InvalRecord> records;
        EXPECT_EQ(ReadInvalFile(InvalFilePath(), records), 0);
        return records;
    }
};

TEST_F(Fss4Run, FirstQuarterBaseTableAndContributions)
{
    ASSERT_EQ(CalcRVedFSS2011(ReportSelection{}, doc, QString(), 0, {}), GenrDone);

    // Payments: 305,000 in January and February, 285,000 in March (Дмитриев
    // gone) and Козлова's maternity pay of 12,000, which is not subject;
    // Волков's 20,000 a month are in the payments and the base and again in
    // the disabled employees' "of which" line; Жуков passes 463,000 in March
    // by 137,000. The base: 907,000 - 12,000 - 137,000 = 758,000.
    EXPECT_EQ(Values(v(), kBasePeriod, 5), (std::vector<double>{907'000, 12'000, 60'000, 137'000, 758'000}));
    EXPECT_EQ(Values(v(), kBaseQuarter, 5), (std::vector<double>{907'000, 12'000, 60'000, 137'000, 758'000}));
    EXPECT_EQ(Values(v(), BaseMonth(1, 0), 5), (std::vector<double>{305'000, 0, 20'000, 0, 305'000}));
    EXPECT_EQ(Values(v(), BaseMonth(2, 0), 5), (std::vector<double>{305'000, 0, 20'000, 0, 305'000}));
    EXPECT_EQ(Values(v(), BaseMonth(3, 0), 5), (std::vector<double>{297'000, 12'000, 20'000, 137'000, 148'000}));

    // 2.9 %: 870 + 725 + 5,800 + 290 + 580 in January and February, Жуков's
    // March 13,427 - 11,600; Волков 380 a month at 1.9 %. The 1,140 above
    // 2.9 % of the base is far outside the check's window.
    EXPECT_EQ(Values(v(), kAccrued, 6), (std::vector<double>{21'382, 0, 21'382, 8'645, 8'645, 4'092}));
    // Benefit expenses (the fund's kinds): 300 + 4,000 in January, 3,000 +
    // 1,500 + 1,200 in February, 12,000 + 2,000 + 11,703 + 4,000 in March.
    EXPECT_EQ(Values(v(), kExpenses, 6), (std::vector<double>{39'703, 0, 39'703, 4'300, 5'700, 29'703}));
}

// The same pay in 2010, when the yearly cap was 415,000 roubles: the 2011
// form's builder takes the cap of the report's year.
class Fss4Run2011FormOn2010 : public Fss4Base {
protected:
    Fss4Run2011FormOn2010() : Fss4Base(2010) {}
};

TEST_F(Fss4Run2011FormOn2010, TheCapOf2010IsLower)
{
    ASSERT_EQ(CalcRVedFSS2011(ReportSelection{}, doc, QString(), 0, {}), GenrDone);
    // Жуков passes 415,000 in March by 185,000: 907,000 - 12,000 - 185,000
    // = 710,000 the base, 297,000 - 12,000 - 185,000 = 100,000 of it in March.
    EXPECT_EQ(Values(v(), kBasePeriod, 5), (std::vector<double>{907'000, 12'000, 60'000, 185'000, 710'000}));
    EXPECT_EQ(Values(v(), BaseMonth(3, 0), 5), (std::vector<double>{297'000, 12'000, 20'000, 185'000, 100'000}));
}

// Months entered into the archive and never computed hold no accident rows
// (995): their accident contributions are their base at the tariff, 0.2 %,
// and 60 % of it (0.12 %) on Волков's pay. January and February 285,000 x
// 0.2 % = 570 and 20,000 x 0.12 % = 24, 594 each; March without Дмитриев
// 265,000 x 0.2 % = 530 and 24, 554; the quarter 1,742.
TEST_F(Fss4Run2011FormOn2010, MonthsWithoutAccidentRowsAreChargedOnTheirBase)
{
    ASSERT_EQ(CalcRVedFSS2011(ReportSelection{}, doc, QString(), 0, {}), GenrDone);
    EXPECT_EQ(Values(v(), kInjuryBase, 4), (std::vector<double>{895'000, 305'000, 305'000, 285'000}));
    EXPECT_DOUBLE_EQ(v()[kInjuryRate], 0.2);
    EXPECT_EQ(Values(v(), kInjuryAccruedMonth1, 3), (std::vector<double>{594, 594, 554}));
    EXPECT_EQ(v()[kInjuryAccrued], 1'742);
    // The half-year: April to June 285,000 a month, 554 each; 1,742 before
    // the quarter and 3,404 in all.
    setPeriod(0, 6);
    ASSERT_EQ(CalcRVedFSS2011(ReportSelection{}, doc, QString(), 0, {}), GenrDone);
    EXPECT_EQ(Values(v(), kInjuryAccruedMonth1, 3), (std::vector<double>{554, 554, 554}));
    EXPECT_EQ(v()[kInjuryBefore], 1'742);
    EXPECT_EQ(v()[kInjuryAccrued], 3'404);
    // Жуков alone: 200,000 a month, 1,200,000 in the half-year at 0.2 %,
    // 2,400.00.
    ReportSelection zhukov;
    zhukov.tabN = u16(doc.infoBase.list[3].tabN());
    ASSERT_EQ(CalcRVedFSS2011(zhukov, doc, QString(), 0, {}), GenrDone);
    EXPECT_EQ(v()[kInjuryBase], 1'200'000);
    EXPECT_EQ(v()[kInjuryAccrued], 2'400);
}

TEST_F(Fss4Run, FirstQuarterBenefitsHeadcountsInjuryAndInval)
{
    ASSERT_EQ(CalcRVedFSS2011(ReportSelection{}, doc, QString(), 0, {}), GenrDone);
    // Sick pay: Белова's 5 days and Козлова's 2 paid from the budget (half
    // rate); care leave: Козлова once, with the budget's 10 days and her 30.
    EXPECT_EQ(Values(v(), kSickLeave, 4), (std::vector<double>{2, 7, 3'400, 0}));
    EXPECT_EQ(Values(v(), kSickLeavePartTime, 4), (std::vector<double>{1, 2, 400, 0}));
    EXPECT_EQ(Values(v(), kCareLeave, 4), (std::vector<double>{1, 40, 13'000, 0}));
    EXPECT_EQ(Values(v(), kCareLeavePartTime, 4), (std::vector<double>{1, 40, 13'000, 0}));
    EXPECT_EQ(Values(v(), kKind165, 2), (std::vector<double>{1, 300}));
    EXPECT_EQ(Values(v(), kKind166, 2), (std::vector<double>{1, 4'000}));
    EXPECT_EQ(Values(v(), kKind167, 2), (std::vector<double>{1, 1'200}));
    EXPECT_EQ(Values(v(), kKind168, 2), (std::vector<double>{1, 11'703}));
    // Child care: Антонов's second child at full rate, Козлова's first at half.
    EXPECT_EQ(Values(v(), kKind169, 4), (std::vector<double>{0, 0, 0, 0}));
    EXPECT_EQ(Values(v(), kKind170, 4), (std::vector<double>{1, 1, 4'000, 0}));
    EXPECT_EQ(Values(v(), kKind169PartTime, 4), (std::vector<double>{1, 1, 2'000, 0}));
    EXPECT_EQ(Values(v(), kChildCareFull, 4), (std::vector<double>{1, 1, 4'000, 0}));
    EXPECT_EQ(Values(v(), kChildCarePartTime, 4), (std::vector<double>{1, 1, 2'000, 0}));
    EXPECT_EQ(Values(v(), kChildCare, 4), (std::vector<double>{2, 2, 6'000, 0}));
    // Days or payments 7 + 40 + 1 + 1 + 2 + 1 + 1; amounts of lines 1, 4,
    // 5, 6, 7 and of kinds 167 and 166.
    EXPECT_EQ(v()[kBenefitDays], 53);
    EXPECT_EQ(v()[kBenefitAmount], 39'603);

    // Four full-time all quarter, Козлова at half rate and Дмитриев for
    // January and half of February; two women, one disabled.
    EXPECT_EQ(v()[kHeadcount], 5);
    EXPECT_EQ(v()[kWomen], 2);
    EXPECT_EQ(v()[kDisabledHeadcount], 1);

    // Accidents at 0.2 % of all pay, Волков's at 60 % of it: 594, 594, 554.
    EXPECT_EQ(Values(v(), kInjuryBase, 4), (std::vector<double>{895'000, 305'000, 305'000, 285'000}));
    EXPECT_EQ(Values(v(), kInjuryDisabledBase, 4), (std::vector<double>{60'000, 20'000, 20'000, 20'000}));
    EXPECT_EQ(v()[kInjuryAccrued], 1'742);
    EXPECT_DOUBLE_EQ(v()[kInjuryRate], 0.2);
    EXPECT_EQ(Values(v(), kInjuryBefore, 4), (std::vector<double>{0, 594, 594, 554}));
    EXPECT_EQ(Values(v(), kInjuryAccruedMonth1, 3), (std::vector<double>{594, 594, 554}));
    EXPECT_EQ(Values(v(), kInjuryBenefitDays, 2), (std::vector<double>{4, 1'500}));
    EXPECT_EQ(v()[kInjuryBenefitTotal], 1'500);
    EXPECT_EQ(v()[kInjuryBenefitPersons], 1);
    EXPECT_EQ(Values(v(), kInjuryBenefitBefore, 4), (std::vector<double>{0, 0, 1'500, 0}));

    const std::vector<InvalRecord> records = inval();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(QByteArray(records[0].fio.data(), 50).trimmed(),
              codepage::toCp1251(QStringLiteral("Волков,Виктор,Сергеевич")));
    EXPECT_EQ(records[0].sinceYearStart, rub(60'000));
    EXPECT_EQ(records[0].months, (std::array<double, 3>{rub(20'000), rub(20'000), rub(20'000)}));
    EXPECT_EQ(records[0].invGr, 2);
}

TEST_F(Fss4Run, TemporaryForeignerIsInsuredAgainstAccidents)
{
    // Белова a foreign citizen staying temporarily: her 25,000 a month stay
    // in the accident base and her 50.00 a month (0.2 %) in the
    // contributions, as for everyone under a labour contract.
    CInfoBase& base = doc.infoBase;
    const int slot = base.list[1].slot;
    LoadEmployee(base, slot);
    ASSERT_EQ(base.current.head.fio, QStringLiteral("Белова Бэлла Игоревна"));
    base.current.head.flags |= 1u << 9;
    SaveKonst(base, slot);
    ASSERT_EQ(CalcRVedFSS2011(ReportSelection{}, doc, QString(), 0, {}), GenrDone);
    EXPECT_EQ(Values(v(), kInjuryBase, 4), (std::vector<double>{895'000, 305'000, 305'000, 285'000}));
    EXPECT_EQ(Values(v(), kInjuryAccruedMonth1, 3), (std::vector<double>{594, 594, 554}));
    EXPECT_EQ(v()[kInjuryAccrued], 1'742);
}

TEST_F(Fss4Run, HalfYearRollsTheMonths)
{
    setPeriod(0, 6);
    ASSERT_EQ(CalcRVedFSS2011(ReportSelection{}, doc, QString(), 0, {}), GenrDone);
    // April to June: 285,000 a month and Жуков's 200,000 above the cap.
    EXPECT_EQ(Values(v(), BaseMonth(1, 0), 5), (std::vector<double>{285'000, 0, 20'000, 200'000, 85'000}));
    EXPECT_EQ(Values(v(), BaseMonth(3, 0), 5), (std::vector<double>{285'000, 0, 20'000, 200'000, 85'000}));
    EXPECT_EQ(Values(v(), kBasePeriod, 5), (std::vector<double>{1'762'000, 12'000, 120'000, 737'000, 1'013'000}));
    // Before the quarter: January to March.
    EXPECT_EQ(v()[kAccruedBefore], 21'382);
    EXPECT_EQ(Values(v(), kAccruedMonth1, 3), (std::vector<double>{2'265, 2'265, 2'265}));
    EXPECT_EQ(v()[kExpensesBefore], 39'703);
    EXPECT_EQ(v()[kInjuryBefore], 1'742);
    const std::vector<InvalRecord> records = inval();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].sinceYearStart, rub(120'000));
    EXPECT_EQ(records[0].quarter, rub(60'000));
}

TEST_F(Fss4Run, PeriodPastTheBasesMonthEndsThere)
{
    // The base stands in February: March is not computed, and each
    // employee's last month is February.
    doc.infoBase.config.tekMes = u16(MonthKey(2011, 2).value());
    ASSERT_EQ(CalcRVedFSS2011(ReportSelection{}, doc, QString(), 0, {}), GenrDone);
    EXPECT_EQ(Values(v(), BaseMonth(3, 0), 5), (std::vector<double>{0, 0, 0, 0, 0}));
    EXPECT_EQ(v()[kBasePeriod], 610'000);
    EXPECT_EQ(Values(v(), kSickLeave, 3), (std::vector<double>{2, 7, 3'400}));
    EXPECT_EQ(v()[kDisabledHeadcount], 1);
    ASSERT_EQ(inval().size(), 1u);
    EXPECT_EQ(inval()[0].sinceYearStart, rub(40'000));
}

TEST_F(Fss4Run, DataFileFailuresAndStop)
{
    const QString path = dir.filePath(QStringLiteral("fss.dat"));
    ASSERT_EQ(CalcRVedFSS2011(ReportSelection{}, doc, path, 0, {}), GenrDone);
    GenrDataFile file;
    ASSERT_EQ(ReadGenrDataFile(path, GENR_TAG_FSS4, nullptr, file), GenrReadStatus::Done);
    EXPECT_EQ(file.header, (GenrDataHeader{17, 1, 3, 111}));
    EXPECT_EQ(file.values[kBasePeriod], 907'000);
    EXPECT_EQ(file.inval, inval());
    EXPECT_EQ(QFile(path).size(), 3'404 + 128);

    // One employee by personnel number: Волков alone.
    ReportSelection one;
    one.tabN = doc.infoBase.list[2].tabN();
    ASSERT_EQ(CalcRVedFSS2011(one, doc, QString(), 0, {}), GenrDone);
    EXPECT_EQ(Values(v(), kBasePeriod, 5), (std::vector<double>{60'000, 0, 60'000, 0, 60'000}));

    // A data file that cannot be written; a stopped run; a period back to
    // front or from April; a record without its table.
    GenrRunDetail detail;
    EXPECT_EQ(CalcRVedFSS2011(ReportSelection{}, doc, dir.filePath(QStringLiteral("no/fss.dat")), 0, {}, &detail),
              GenrFileFailed);
    EXPECT_EQ(detail.fileError, platform::FILE_ERROR_OPEN);
    QFile::remove(path);
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(CalcRVedFSS2011(ReportSelection{}, doc, path, 0, stop.get_token()), GenrStopped);
    EXPECT_FALSE(QFile::exists(path));
    setPeriod(5, 4);
    EXPECT_EQ(CalcRVedFSS2011(ReportSelection{}, doc, path, 0, {}), -2);
    setPeriod(4, 12); // the 4-FSS runs from January
    EXPECT_EQ(CalcRVedFSS2011(ReportSelection{}, doc, path, 0, {}), -2);
    EXPECT_FALSE(QFile::exists(path));
    setPeriod(1, 2); // taken as March
    ASSERT_EQ(CalcRVedFSS2011(ReportSelection{}, doc, path, 0, {}), GenrDone);
    EXPECT_EQ(v()[kBasePeriod], 907'000);
    doc.refFiles.sbor[6].table = 0;
    EXPECT_EQ(CalcRVedFSS2011(ReportSelection{}, doc, QString(), 0, {}), -32);
    EXPECT_TRUE(inval().empty());
}

#ifdef KALVOR_DATA_DIR
// The demo firm's first quarter of 2011, one employee at a time.
class Fss4Demo : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        platform::SetWorkingFolder(folder);
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, folder));
    }
    void TearDown() override
    {
        CloseBase(doc.infoBase);
        platform::SetWorkingFolder(QString());
    }
    int Run(int tabN)
    {
        ReportSelection one;
        one.tabN = tabN;
        return CalcRVedFSS2011(one, doc, QString(), 0, {});
    }
    const GenrValueArray& v() const { return doc.GenrValues; }
    // The base's month computed and stored, then the base moved on to the
    // next month and loaded again.
    void StoreMonthAndMoveOn(int nextMonth)
    {
        ASSERT_NO_FATAL_FAILURE(testsupport::ComputeAndStoreMonth(doc));
        ASSERT_EQ(MoveEmployeesToNextMonth(2011 * 16 + nextMonth, {}, doc), 1); // no error situation
        CloseBase(doc.infoBase);
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoBase(doc, folder));
    }

    QTemporaryDir dir;
    QString folder;
    PayrollDoc doc;
};

// The quarter's contributions of the whole firm against the stored months:
// social insurance (992) and accidents (995) of January to March, added up
// here from every employee's archive. Accidents are reported month by month
// in whole roubles, so the quarter may differ from the stored kopecks by the
// rounding of three months. The months agree too (below).
TEST_F(Fss4Demo, QuarterContributionsAreTheStoredMonths)
{
    CInfoBase& base = doc.infoBase;
    double social = 0, injury = 0;
    for (int index = 0; index < base.employeeCount(); ++index) {
        LoadEmployee(base, base.list[std::size_t(index)].slot);
        for (const WariaEntry& e : base.current.waria) {
            if (e.god != 2011 || e.mes < 1 || e.mes > 3)
                continue;
            social += e.kod == 992 ? e.sum : 0;
            injury += e.kod == 995 ? e.sum : 0;
        }
    }
    ASSERT_EQ(Run(0), GenrDone);
    EXPECT_NEAR(v()[kAccrued], social / 100, 0.005);
    EXPECT_NEAR(v()[kInjuryAccrued], injury / 100, 1.5);
    EXPECT_GT(injury, 0);
}

// Sections I and II month by month against the stored months: social
// insurance accrued in each month (table 1) is the month's stored 992 rows,
// its base (table 3) bears them at 2.9 %, the disabled employees' part at
// 1.9 %; accident insurance accrued in each month (table 7) is the month's
// stored 995 rows, its base bearing them at 0.2 %, the disabled employees'
// part at 60 % of it. A reversal filed in February against January counts
// in February in both. Then April, computed and stored, is the first month
// of the second quarter.
TEST_F(Fss4Demo, MonthsOfTheFirstQuarterAndAprilAreTheStoredMonths)
{
    auto check = [&](int reportMonth, const std::map<int, double>& byCode) {
        auto roubles = [&](int code) { return byCode.count(code) ? byCode.at(code) / 100 : 0.0; };
        const double base = v()[std::size_t(BaseMonth(reportMonth, 4))];
        const double disabled = v()[std::size_t(BaseMonth(reportMonth, 2))];
        EXPECT_GT(roubles(992), 0);
        EXPECT_NEAR(v()[std::size_t(kAccruedMonth1 + reportMonth - 1)], roubles(992), 0.5);
        EXPECT_NEAR((base - disabled) * 0.029 + disabled * 0.019, roubles(992), 1.0);
        const double injuryBase = v()[std::size_t(kInjuryBase + reportMonth)];
        const double injuryDisabled = v()[std::size_t(kInjuryDisabledBase + reportMonth)];
        EXPECT_NEAR(v()[std::size_t(kInjuryAccruedMonth1 + reportMonth - 1)], roubles(995), 0.5);
        EXPECT_NEAR((injuryBase - injuryDisabled) * 0.002 + injuryDisabled * 0.0012, roubles(995), 0.5);
        return roubles(992);
    };
    std::array<std::map<int, double>, 4> stored;
    for (int m = 1; m <= 3; ++m) stored[std::size_t(m)] = testsupport::StoredMonthByCode(doc, m);
    ASSERT_EQ(Run(0), GenrDone);
    double quarter = 0;
    for (int m = 1; m <= 3; ++m) {
        SCOPED_TRACE(m);
        quarter += check(m, stored[std::size_t(m)]);
    }
    EXPECT_NEAR(v()[kAccruedQuarter], quarter, 0.5);
    EXPECT_DOUBLE_EQ(v()[kAccruedQuarter], v()[kAccrued]);

    ASSERT_NO_FATAL_FAILURE(testsupport::ComputeAndStoreMonth(doc));
    const std::map<int, double> april = testsupport::StoredMonthByCode(doc, 4);
    doc.infoBase.config.r_m2 = 6; // the half-year
    ASSERT_EQ(Run(0), GenrDone);
    SCOPED_TRACE(4);
    const double aprilSocial = check(1, april);
    EXPECT_NEAR(v()[kAccruedBefore], quarter, 0.5);
    EXPECT_NEAR(v()[kAccrued], quarter + aprilSocial, 1.0);
}

// The accident lines of the half-year against the stored rows: January to
// March in the archive, April to June computed and stored month by month.
// Each month's accident contributions (table 7) are the month's stored
// accident rows (995) to the kopeck, not the month's base charged again;
// the half-year's line is their sum in whole roubles.
TEST_F(Fss4Demo, AccidentLinesOfTheHalfYearAreTheStoredRows)
{
    std::array<double, 7> stored{}; // kopecks, by month
    const auto accidents = [&](int month) {
        const std::map<int, double> byCode = testsupport::StoredMonthByCode(doc, month);
        return byCode.count(995) ? byCode.at(995) : 0.0;
    };
    for (int month = 1; month <= 3; ++month) stored[std::size_t(month)] = accidents(month);
    for (int month = 4; month <= 5; ++month) {
        ASSERT_NO_FATAL_FAILURE(StoreMonthAndMoveOn(month + 1));
        stored[std::size_t(month)] = accidents(month);
    }
    ASSERT_NO_FATAL_FAILURE(testsupport::ComputeAndStoreMonth(doc));
    stored[6] = accidents(6);
    doc.infoBase.config.r_m1 = 1;
    doc.infoBase.config.r_m2 = 6;
    ASSERT_EQ(Run(0), GenrDone);

    double halfYear = 0;
    for (int month = 1; month <= 6; ++month) {
        EXPECT_GT(stored[std::size_t(month)], 0) << month;
        halfYear += stored[std::size_t(month)];
    }
    EXPECT_NEAR(v()[kInjuryBefore], (stored[1] + stored[2] + stored[3]) / 100, 0.005);
    for (int slot = 1; slot <= 3; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_NEAR(v()[std::size_t(kInjuryBefore + slot)], stored[std::size_t(3 + slot)] / 100, 0.005);
        EXPECT_EQ(v()[std::size_t(kInjuryAccruedMonth1 + slot - 1)], std::round(stored[std::size_t(3 + slot)] / 100));
    }
    EXPECT_NEAR(v()[kInjuryAccrued], halfYear / 100, 0.5);
}

// Table 2 counts the cases of sick leave by sheet, not by benefit row: 115
// (Ермаков) was ill from 14 February on one sheet and went on from 26
// February to 4 March on a continuing sheet, one case; 122 (Пахомов) was ill
// from 28 March to 8 April on one sheet paid in April, one case; 128
// (Хохлова) cares for her child from 18 April, paid by code 156 too, which is
// no case of sick leave. January to April: two cases, where the rows of codes
// 155-157 are more.
TEST_F(Fss4Demo, CasesOfSickLeaveAreCountedBySheet)
{
    ASSERT_NO_FATAL_FAILURE(testsupport::ComputeAndStoreMonth(doc));
    doc.infoBase.config.r_m1 = 1;
    doc.infoBase.config.r_m2 = 6;
    const auto cases = [this] { return v()[kSickLeave] + v()[kSickLeavePartTime]; };
    ASSERT_EQ(Run(115), GenrDone);
    EXPECT_EQ(cases(), 1);
    ASSERT_EQ(Run(122), GenrDone);
    EXPECT_EQ(cases(), 1);
    ASSERT_EQ(Run(128), GenrDone);
    EXPECT_EQ(cases(), 0);
    ASSERT_EQ(Run(0), GenrDone);
    EXPECT_EQ(cases(), 2);
}

TEST_F(Fss4Demo, DisabledEmployeeInTheBaseAndAtSixtyPercentOfTheAccidentTariff)
{
    // 109, disabled (group 3): 15,000 a month, 45,000 in the quarter, all of
    // it in the payments and the base and again in the "of which" line;
    // social insurance 1.9 % = 855.00; accidents 0.2 % x 60 % = 0.12 %,
    // 18.00 a month.
    ASSERT_EQ(Run(109), GenrDone);
    EXPECT_EQ(Values(v(), kBasePeriod, 5), (std::vector<double>{45'000, 0, 45'000, 0, 45'000}));
    EXPECT_EQ(Values(v(), BaseMonth(1, 0), 5), (std::vector<double>{15'000, 0, 15'000, 0, 15'000}));
    EXPECT_DOUBLE_EQ(v()[kAccrued], 855);
    EXPECT_EQ(Values(v(), kInjuryBase, 4), (std::vector<double>{45'000, 15'000, 15'000, 15'000}));
    EXPECT_EQ(Values(v(), kInjuryDisabledBase, 4), (std::vector<double>{45'000, 15'000, 15'000, 15'000}));
    EXPECT_EQ(Values(v(), kInjuryAccruedMonth1, 3), (std::vector<double>{18, 18, 18}));
    EXPECT_EQ(v()[kInjuryAccrued], 54);
    EXPECT_EQ(v()[kDisabledHeadcount], 1);
}

TEST_F(Fss4Demo, TemporaryForeignerIsReportedForAccidents)
{
    // 145, a citizen of Uzbekistan staying temporarily: no social insurance,
    // but his pay of the quarter bears 0.2 % against accidents. 70 roubles an
    // hour: January 120 hours, 8,400; February 151 hours (22 February
    // shortened), 10,570; March 175 hours (5 March shortened), 12,250, and
    // the quarterly bonus of 1,838: 33,058.00, and 66.12 of contributions,
    // reported in whole roubles.
    ASSERT_EQ(Run(145), GenrDone);
    EXPECT_EQ(v()[kInjuryBase], 33'058);
    EXPECT_EQ(v()[kInjuryAccrued], 66);
    EXPECT_EQ(v()[kInjuryDisabledBase], 0);
    EXPECT_EQ(v()[kAccrued], 0);
}
#endif

} // namespace
