// The 4-FSS settlement of 2010 over the small base of Fss4Fixture.h, its
// figures worked out by hand: social insurance 2.9 % on the payments within
// the cap of 415,000 roubles (none on the pay of disabled employees in 2010),
// accidents 0.2 %, 60 % of it for the disabled. A quarter and a whole year,
// with and without the simplified taxation; the closing steps on their own;
// the data file and the failures.
#include "reports/social/SocialInsurance2010.h"

#include "Fss4Fixture.h"

#include "platform/TaskThread.h"
#include "reports/social/GenrDataFile.h"
#include "support/GenrDataFileReader.h"

#include <gtest/gtest.h>

#include <QFile>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;
using namespace kalvor::reports::fss4;
using namespace kalvor::reports::testing;

namespace {

// ------------------------------------------------------------ closing steps

TEST(Fss4Closing2010, RoublesHeadcountsColumnsAndTheSecondBlock)
{
    // Kopecks and hundredths as the run leaves them.
    GenrValueArray v{};
    v[kHeadcount] = 40; // 0.4 of a person: counts as one
    v[kWomen] = 0;
    v[kBasePeriod + ColPayments] = v[BaseMonth(1, ColPayments)] = 10'000'000;
    v[kBasePeriod + ColNonTaxable] = v[BaseMonth(1, ColNonTaxable)] = 50'000;
    v[kBasePeriod + ColDisabled] = v[BaseMonth(1, ColDisabled)] = 20'000;
    v[kBasePeriod + ColAboveCap] = v[BaseMonth(1, ColAboveCap)] = 1'000'000;
    // 2.9 % of 90,000 is 2,610; 0.40 more was accrued through the rounding.
    v[kAccrued] = v[kAccruedMonth1] = 261'040;
    v[kSickLeave + 1] = 500;
    v[kSickLeavePartTime + 1] = 200;
    v[kInjuryBenefitAmount] = 150'000;
    FinishFss4Values2010(v, false);
    EXPECT_EQ(v[kHeadcount], 1);
    EXPECT_EQ(v[kWomen], 0);
    // C1 = payments + non-taxable + disabled; C5 = payments - above the cap.
    EXPECT_EQ(Values(v, kBasePeriod, 5), (std::vector<double>{100'700, 500, 200, 10'000, 90'000}));
    EXPECT_EQ(Values(v, kBaseQuarter, 5), (std::vector<double>{100'700, 500, 200, 10'000, 90'000}));
    EXPECT_EQ(Values(v, kAccrued, 6), (std::vector<double>{2'610, 0, 2'610, 2'610, 0, 0}));
    EXPECT_EQ(v[kSickLeave + 1], 7);
    EXPECT_EQ(v[kBenefitDays], 7);
    EXPECT_EQ(v[kInjuryBenefitTotal], 1'500);

    // Under the simplified taxation the first block is cleared, its C1 kept.
    GenrValueArray w{};
    w[kBasePeriod] = 10'000'000;
    w[kDisabledHeadcount] = 100;
    w[kSimplifiedHeadcount] = 300;
    w[kSimplifiedBenefits + kSickLeave] = 100;
    FinishFss4Values2010(w, true);
    EXPECT_EQ(w[kSimplifiedBase], 100'000);
    EXPECT_EQ(Values(w, 0, 100), std::vector<double>(100, 0.0));
    EXPECT_EQ(w[kSimplifiedHeadcount], 3);
    EXPECT_EQ(w[kSimplifiedBenefits + kSickLeave], 1);
}

// ------------------------------------------------------------ a run over a base

class Fss4Run2010 : public Fss4Base {
protected:
    Fss4Run2010() : Fss4Base(2010) {}
};

TEST_F(Fss4Run2010, FirstQuarterBaseTableContributionsAndExpenses)
{
    ASSERT_EQ(CalcRVedFSS2010(ReportSelection{}, doc, QString(), 0, {}), GenrDone);

    // Payments bearing contributions: 285,000 in January and February (all
    // but Волков, whose 20,000 a month are the disabled column), 265,000 in
    // March (Дмитриев gone); Козлова's maternity pay is not subject. Жуков
    // passes 415,000 in March by 185,000. C1 takes in C2 and C3.
    EXPECT_EQ(Values(v(), kBasePeriod, 5), (std::vector<double>{907'000, 12'000, 60'000, 185'000, 650'000}));
    EXPECT_EQ(Values(v(), kBaseQuarter, 5), (std::vector<double>{907'000, 12'000, 60'000, 185'000, 650'000}));
    EXPECT_EQ(Values(v(), BaseMonth(1, 0), 5), (std::vector<double>{305'000, 0, 20'000, 0, 285'000}));
    EXPECT_EQ(Values(v(), BaseMonth(2, 0), 5), (std::vector<double>{305'000, 0, 20'000, 0, 285'000}));
    EXPECT_EQ(Values(v(), BaseMonth(3, 0), 5), (std::vector<double>{297'000, 12'000, 20'000, 185'000, 80'000}));

    // 2.9 %: 870 + 725 + 5,800 + 290 + 580 in January and February; March
    // 870 + 725 + 290 and Жуков's 12,035 - 11,600. In all 2.9 % of 650,000.
    EXPECT_EQ(Values(v(), kAccrued, 6), (std::vector<double>{18'850, 0, 18'850, 8'265, 8'265, 2'320}));
    // Benefit expenses (the fund's kinds): 300 + 4,000 in January, 3,000 +
    // 1,500 + 1,200 in February, 12,000 + 2,000 + 11,703 + 4,000 in March.
    EXPECT_EQ(Values(v(), kExpenses, 6), (std::vector<double>{39'703, 0, 39'703, 4'300, 5'700, 29'703}));
}

TEST_F(Fss4Run2010, FirstQuarterBenefitsHeadcountsAndInjury)
{
    ASSERT_EQ(CalcRVedFSS2010(ReportSelection{}, doc, QString(), 0, {}), GenrDone);
    // Sick pay: Белова's 5 days, and Козлова's 2 paid from the budget at half
    // rate. Maternity: Козлова's 30 days; the budget's care leave (651) is no
    // line of the 2010 form.
    EXPECT_EQ(Values(v(), kSickLeave, 4), (std::vector<double>{2, 7, 3'400, 0}));
    EXPECT_EQ(Values(v(), kSickLeavePartTime, 4), (std::vector<double>{1, 2, 400, 0}));
    EXPECT_EQ(Values(v(), kCareLeave, 4), (std::vector<double>{1, 30, 12'000, 0}));
    EXPECT_EQ(Values(v(), kCareLeavePartTime, 4), (std::vector<double>{1, 30, 12'000, 0}));
    EXPECT_EQ(Values(v(), kKind168, 4), (std::vector<double>{1, 11'703, 1, 300}));
    // Kind 167 counts days in the 2010 form.
    EXPECT_EQ(Values(v(), kKind167, 2), (std::vector<double>{2, 1'200}));
    EXPECT_EQ(Values(v(), kKind166, 2), (std::vector<double>{1, 4'000}));
    EXPECT_EQ(Values(v(), kKind170, 3), (std::vector<double>{1, 1, 4'000}));
    EXPECT_EQ(Values(v(), kKind169PartTime, 3), (std::vector<double>{1, 1, 2'000}));
    EXPECT_EQ(Values(v(), kChildCare, 4), (std::vector<double>{2, 2, 6'000, 0}));
    // 7 + 30 + 1 + 1 + 2 + 2 + 1 and 3,400 + 12,000 + 11,703 + 300 + 6,000
    // + 1,200 + 4,000.
    EXPECT_EQ(v()[kBenefitDays], 44);
    EXPECT_EQ(v()[kBenefitAmount], 38'603);
    EXPECT_EQ(Values(v(), kSimplifiedBenefits + kSickLeave, 56), std::vector<double>(56, 0.0));

    EXPECT_EQ(v()[kHeadcount], 5);
    EXPECT_EQ(v()[kWomen], 2);
    EXPECT_EQ(v()[kDisabledHeadcount], 1);
    EXPECT_EQ(v()[kSimplifiedBase], 0);

    // Accidents at 0.2 % of all pay, Волков's at 60 % of it: 594, 594, 554.
    EXPECT_EQ(Values(v(), kInjuryBase, 4), (std::vector<double>{895'000, 305'000, 305'000, 285'000}));
    EXPECT_EQ(Values(v(), kInjuryDisabledBase, 4), (std::vector<double>{60'000, 20'000, 20'000, 20'000}));
    EXPECT_DOUBLE_EQ(v()[kInjuryRate], 0.2);
    EXPECT_EQ(Values(v(), kInjuryBefore, 4), (std::vector<double>{0, 594, 594, 554}));
    EXPECT_EQ(Values(v(), kInjuryBenefitDays, 2), (std::vector<double>{4, 1'500}));
    EXPECT_EQ(v()[kInjuryBenefitPersons], 1);
    EXPECT_EQ(Values(v(), kInjuryBenefitBefore, 4), (std::vector<double>{0, 0, 1'500, 0}));
    EXPECT_EQ(v()[kInjuryBenefitTotal], 1'500);
}

TEST_F(Fss4Run2010, SimplifiedTaxationFillsTheSecondBlock)
{
    doc.infoBase.firm.uproshWord = 0x1000;
    ASSERT_EQ(CalcRVedFSS2010(ReportSelection{}, doc, QString(), 0, {}), GenrDone);
    EXPECT_EQ(Values(v(), 0, 100), std::vector<double>(100, 0.0));
    EXPECT_EQ(v()[kSimplifiedBase], 907'000);
    EXPECT_EQ(Values(v(), kSimplifiedHeadcount, 3), (std::vector<double>{5, 2, 0}));
    const int b = kSimplifiedBenefits;
    EXPECT_EQ(Values(v(), b + kSickLeave, 4), (std::vector<double>{2, 7, 3'400, 0}));
    EXPECT_EQ(Values(v(), b + kCareLeave, 4), (std::vector<double>{1, 30, 12'000, 0}));
    EXPECT_EQ(Values(v(), b + kChildCare, 4), (std::vector<double>{2, 2, 6'000, 0}));
    EXPECT_EQ(Values(v(), b + kKind167, 2), (std::vector<double>{2, 1'200}));
    EXPECT_EQ(v()[b + kBenefitDays], 44);
    EXPECT_EQ(v()[b + kBenefitAmount], 38'603);
    // Section II is the same in both cases.
    EXPECT_EQ(Values(v(), kInjuryBefore, 4), (std::vector<double>{0, 594, 594, 554}));
    EXPECT_EQ(v()[kInjuryBenefitPersons], 1);
}

TEST_F(Fss4Run2010, WholeYearEndsAtTheBasesMonth)
{
    // Months 0 and 0: the year. The base stands in July: August to December
    // are only shifted, so the three month slots end empty, and everything
    // counts as earlier months.
    setPeriod(0, 0);
    ASSERT_EQ(CalcRVedFSS2010(ReportSelection{}, doc, QString(), 0, {}), GenrDone);
    // 285,000 + 285,000 + 4 x 265,000; Жуков above the cap by 185,000 in
    // March and his whole 200,000 from April.
    EXPECT_EQ(Values(v(), kBasePeriod, 5), (std::vector<double>{1'762'000, 12'000, 120'000, 785'000, 845'000}));
    EXPECT_EQ(Values(v(), kBaseQuarter, 5), (std::vector<double>{0, 0, 0, 0, 0}));
    // 2 x 8,265 + 2,320 + 3 x 1,885 = 2.9 % of 845,000.
    EXPECT_EQ(Values(v(), kAccrued, 3), (std::vector<double>{24'505, 24'505, 0}));
    EXPECT_EQ(Values(v(), kExpenses, 3), (std::vector<double>{39'703, 39'703, 0}));
    // Accidents: 594 + 594 and four months of 554.
    EXPECT_EQ(Values(v(), kInjuryBefore, 4), (std::vector<double>{3'404, 0, 0, 0}));
    EXPECT_EQ(Values(v(), kInjuryBenefitBefore, 4), (std::vector<double>{1'500, 0, 0, 0}));
    EXPECT_EQ(v()[kSickLeave + 2], 3'400);
}

TEST_F(Fss4Run2010, WholeYearUnderTheSimplifiedTaxation)
{
    doc.infoBase.firm.uproshWord = 0x1000;
    setPeriod(0, 0);
    ASSERT_EQ(CalcRVedFSS2010(ReportSelection{}, doc, QString(), 0, {}), GenrDone);
    EXPECT_EQ(Values(v(), 0, 100), std::vector<double>(100, 0.0));
    EXPECT_EQ(v()[kSimplifiedBase], 1'762'000);
    EXPECT_EQ(v()[kSimplifiedBenefits + kBenefitAmount], 38'603);
}

TEST_F(Fss4Run2010, DataFileSelectionAndFailures)
{
    const QString path = dir.filePath(QStringLiteral("fss.dat"));
    ASSERT_EQ(CalcRVedFSS2010(ReportSelection{}, doc, path, 0, {}), GenrDone);
    GenrDataFile file;
    ASSERT_EQ(ReadGenrDataFile(path, GENR_TAG_FSS4, nullptr, file), GenrReadStatus::Done);
    EXPECT_EQ(file.header, (GenrDataHeader{17, 1, 3, 110}));
    EXPECT_EQ(file.values[kBasePeriod], 907'000);
    EXPECT_EQ(file.values[kAccrued], 18'850);
    EXPECT_EQ(QFile(path).size(), 3'404);

    // Жуков alone by his personnel number.
    ReportSelection one;
    one.tabN = doc.infoBase.list[3].tabN();
    ASSERT_EQ(CalcRVedFSS2010(one, doc, QString(), 0, {}), GenrDone);
    EXPECT_EQ(Values(v(), kBasePeriod, 5), (std::vector<double>{600'000, 0, 0, 185'000, 415'000}));
    EXPECT_EQ(v()[kAccrued], 12'035);
    EXPECT_EQ(v()[kHeadcount], 1);

    // A data file that cannot be written; a stopped run; a period back to
    // front; a record without its table.
    GenrRunDetail detail;
    EXPECT_EQ(CalcRVedFSS2010(ReportSelection{}, doc, dir.filePath(QStringLiteral("no/fss.dat")), 0, {}, &detail),
              GenrFileFailed);
    EXPECT_EQ(detail.fileError, platform::FILE_ERROR_OPEN);
    QFile::remove(path);
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(CalcRVedFSS2010(ReportSelection{}, doc, path, 0, stop.get_token()), GenrStopped);
    EXPECT_FALSE(QFile::exists(path));
    setPeriod(5, 4);
    EXPECT_EQ(CalcRVedFSS2010(ReportSelection{}, doc, path, 0, {}), -2);
    setPeriod(1, 2); // taken as March
    ASSERT_EQ(CalcRVedFSS2010(ReportSelection{}, doc, QString(), 0, {}), GenrDone);
    EXPECT_EQ(v()[kBasePeriod], 907'000);
    doc.refFiles.sbor[6].table = 0;
    EXPECT_EQ(CalcRVedFSS2010(ReportSelection{}, doc, QString(), 0, {}), -32);
}

// A failure inside the contribution arithmetic keeps its own code: pay kinds
// with more income codes of allowances than it can hold give -30 ("Слишком
// много кодов дохода"), not -32 ("Не задан номер налоговой таблицы для
// отчисления").
TEST_F(Fss4Run2010, ContributionFailureKeepsItsCode)
{
    for (u16 k = 0; k < 5; ++k) {
        PayKind kind;
        kind.kod = u16(700 + k);
        kind.kodDoh = u16(2'000 + k);
        kind.sumSkidSoc = 4'000;
        doc.infoBase.addPayKind(kind);
    }
    EXPECT_EQ(CalcRVedFSS2010(ReportSelection{}, doc, QString(), 0, {}), -30);
}

} // namespace
