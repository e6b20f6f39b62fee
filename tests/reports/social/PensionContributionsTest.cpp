// The pension-fund contributions calculation over a small base of seven
// employees whose figures are worked out by hand below (2011: pension 26 %
// for those born in 1966 or earlier, 20 % + 6 % funded for the younger; for
// the disabled 16 %, or 10 % + 6 % funded; federal medical 3.1 % (1.1 % for
// the disabled), territorial 2 % (1.2 %), the yearly cap of 463,000 roubles;
// a disability ends before its end month); the birth-group correction around its
// 5-rouble limit, the reconciliation of "inval", the month counters, the
// data file, a stopped run and the demo base.
#include "reports/social/PensionContributions.h"
#include "reports/social/GenrDataFile.h"
#include "reports/social/SelectedRecords.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/TaskThread.h"
#include "platform/WorkingFolder.h"
#include "support/DemoDocument.h"
#include "support/MonthRun.h"
#include "support/TestFixture.h"
#include "values/Messages.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstring>

#ifdef KALVOR_DATA_DIR
#include "DemoFirm.h"
#endif

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;
using namespace kalvor::reports::ovpf;

namespace {

using Row = std::array<double, 4>; // since January, months 1, 2 and 3

Row TariffRow(const GenrValueArray& v, int block, int row)
{
    const std::size_t at = std::size_t(TariffIndex(block, row));
    return {v[at], v[at + 1], v[at + 2], v[at + 3]};
}
// Line 110 or 140, one column: since the start, months 1-3 and their sum.
std::array<double, 5> Section1Column(const GenrValueArray& v, int line, int column)
{
    const auto at = [&](int offset) { return v[std::size_t(line + offset + column)]; };
    return {at(0), at(4), at(8), at(12), at(16)};
}

// ------------------------------------------------------------ closing steps

TEST(PensionClosingSteps, BirthGroupDifferenceBelowFiveRoublesGoesToAGroup)
{
    GenrValueArray v{};
    const auto set = [&](int row, Row values) {
        std::copy(values.begin(), values.end(), v.begin() + TariffIndex(kGeneralTariff, row));
    };
    // Payments: 3 roubles short in the younger group; non-taxable: exactly
    // 5 roubles off stays; above the limit: 6 roubles off stays.
    set(RowPayments, {100'300, 50'000, 50'300, 0});
    set(RowPayments + 1, {50'000, 25'000, 25'000, 0});
    set(RowPayments + 2, {50'000, 25'000, 25'000, 0});
    set(RowNonTaxable, {1'500, 0, 0, 1'500});
    set(RowNonTaxable + 1, {1'000, 0, 0, 1'000});
    set(RowAboveLimit, {600, 0, 0, 600});
    set(RowAboveLimit + 2, {0, 0, 0, 0});
    CorrectBirthGroups(v, 6);
    EXPECT_EQ(TariffRow(v, kGeneralTariff, RowPayments + 2), (Row{50'300, 25'000, 25'300, 0}));
    EXPECT_EQ(TariffRow(v, kGeneralTariff, RowPayments + 1), (Row{50'000, 25'000, 25'000, 0}));
    EXPECT_EQ(TariffRow(v, kGeneralTariff, RowNonTaxable + 1), (Row{1'000, 0, 0, 1'000}));
    EXPECT_EQ(TariffRow(v, kGeneralTariff, RowAboveLimit + 1), (Row{0, 0, 0, 0}));
}

TEST(PensionClosingSteps, FirstQuarterCorrectionAlsoMovesTheFirstMonth)
{
    GenrValueArray v{};
    // The younger group is empty: the older one takes the rounding of each
    // month, and the 2 roubles of the since-January value, which also pass
    // through its first non-zero month (month 2) before the month's own
    // correction settles it.
    const int total = TariffIndex(kDisabledTariff, RowPayments);
    const int older = TariffIndex(kDisabledTariff, RowPayments + 1);
    for (const auto& [index, values] :
         {std::pair{total, Row{30'200, 0, 15'100, 15'100}}, std::pair{older, Row{30'000, 0, 15'000, 15'000}}})
        std::copy(values.begin(), values.end(), v.begin() + index);
    CorrectBirthGroups(v, 3);
    EXPECT_EQ(TariffRow(v, kDisabledTariff, RowPayments + 1), (Row{30'200, 0, 15'100, 15'100}));
    EXPECT_EQ(TariffRow(v, kDisabledTariff, RowPayments + 2), (Row{0, 0, 0, 0}));
    // A negative difference of 4.99 roubles is moved too; after March the
    // months stay as they are.
    GenrValueArray later{};
    later[std::size_t(total)] = 29'501;
    later[std::size_t(older)] = 30'000;
    later[std::size_t(older + 1)] = 30'000;
    CorrectBirthGroups(later, 6);
    EXPECT_EQ(TariffRow(later, kDisabledTariff, RowPayments + 1), (Row{29'501, 30'000, 0, 0}));
}

TEST(PensionClosingSteps, BaseRowsAndPaymentsWithNonTaxableAmounts)
{
    GenrValueArray v{};
    const auto set = [&](int row, double since) { v[std::size_t(TariffIndex(kGeneralTariff, row))] = since; };
    set(RowPayments, 900'000);
    set(RowPayments + 1, 300'000);
    set(RowPayments + 2, 600'000);
    set(RowNonTaxable, 40'000);
    set(RowNonTaxable + 2, 40'000);
    set(RowAboveLimit, 100'000);
    set(RowAboveLimit + 2, 100'000);
    FinishBaseRows(v, 12);
    const auto get = [&](int row) { return v[std::size_t(TariffIndex(kGeneralTariff, row))]; };
    EXPECT_EQ(get(RowPensionBaseOld), 300'000);
    EXPECT_EQ(get(RowPensionBaseYoung), 500'000);
    EXPECT_EQ(get(RowMedicalBase), 800'000);
    EXPECT_EQ(get(RowPayments), 940'000);
    EXPECT_EQ(get(RowPayments + 1), 300'000);
    EXPECT_EQ(get(RowPayments + 2), 640'000);
}

InvalRecord Inval(double since, Row months)
{
    InvalRecord record;
    record.sinceYearStart = since;
    record.months = {months[0], months[1], months[2]};
    record.quarter = months[0] + months[1] + months[2];
    return record;
}

TEST(PensionClosingSteps, InvalMovesOneRoubleAtATimeTowardsTheBlock)
{
    GenrValueArray v{};
    // Block 2 payments in roubles: since January 301, months 100, 101, 100.
    const std::size_t at = std::size_t(TariffIndex(kDisabledTariff, RowPayments));
    v[at] = 301;
    v[at + 1] = 100;
    v[at + 2] = 101;
    v[at + 3] = 100;
    // The records (kopecks) hold 300 and 100, 100, 100: a rouble short in
    // month 2 and in the total. The first record has no month-2 amount and
    // is left alone; the second takes the rouble in month 2 and in its total.
    std::vector<InvalRecord> records = {Inval(10'000, {10'000, 0, 0}), Inval(20'000, {0, 10'000, 10'000})};
    ReconcileInval(v, records);
    EXPECT_EQ(records[0].sinceYearStart, 10'000);
    EXPECT_EQ(records[1].months, (std::array<double, 3>{0, 10'100, 10'000}));
    EXPECT_EQ(records[1].sinceYearStart, 20'100);
    EXPECT_EQ(records[1].quarter, 20'000);

    // Month 1 a rouble over and month 3 a rouble short, the total right:
    // month 1 comes down and month 3 goes up on the same record.
    v[at] = 300;
    v[at + 1] = 99;
    v[at + 2] = 100;
    v[at + 3] = 101;
    records = {Inval(30'000, {10'000, 10'000, 10'000})};
    ReconcileInval(v, records);
    EXPECT_EQ(records[0].months, (std::array<double, 3>{9'900, 10'000, 10'100}));
    EXPECT_EQ(records[0].sinceYearStart, 30'000);
}

TEST(PensionClosingSteps, MonthsOnStaffOfTheFirstPass)
{
    const ReportPeriod firstQuarter{2011, 1, 3};
    EmployeeHead head;
    MonthCounted counters{};
    // On the staff all quarter: January and February (the last month is
    // never counted).
    head.datPr1 = PackedDate::make(12, 5, 2003).value;
    CountMonthsOnStaff(head, firstQuarter, counters);
    EXPECT_EQ((std::vector<int>(counters.begin() + 1, counters.begin() + 5)), (std::vector<int>{1, 1, 0, 0}));
    // Hired in February 2011: February only; hired in March: nothing;
    // hired after the year, or dismissed before it: nothing.
    head.datPr1 = PackedDate::make(10, 2, 2011).value;
    CountMonthsOnStaff(head, firstQuarter, counters);
    head.datPr1 = PackedDate::make(1, 3, 2011).value;
    CountMonthsOnStaff(head, firstQuarter, counters);
    head.datPr1 = PackedDate::make(1, 1, 2012).value;
    CountMonthsOnStaff(head, firstQuarter, counters);
    head.datPr1 = PackedDate::make(1, 1, 2005).value;
    head.datUv1 = PackedDate::make(31, 12, 2010).value;
    CountMonthsOnStaff(head, firstQuarter, counters);
    EXPECT_EQ((std::vector<int>(counters.begin() + 1, counters.begin() + 4)), (std::vector<int>{1, 2, 0}));
    // Dismissed in February: January only.
    head.datUv1 = PackedDate::make(14, 2, 2011).value;
    CountMonthsOnStaff(head, firstQuarter, counters);
    EXPECT_EQ(counters[1], 2);
    EXPECT_EQ(counters[2], 2);
}

// The record a run makes current again is the one its work file holds, also
// after a record with a longer archive, and with an archive entry that is
// blank but for a sum of -0 (stored, unlike a blank one).
TEST(PensionRecords, RecordMadeCurrentAgainIsTheWorkFilesOwn)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CInfoBase base;
    base.workFolder = dir.path() + QLatin1Char('/');
    FixtureBase fx = BuildFixtureBase(base, 3, 5);
    EmployeeRecord& longer = fx.records[0];
    while (longer.warKv < 60) longer.waria[longer.warKv++] = longer.waria[0];
    EmployeeRecord& shorter = fx.records[1];
    std::fill(shorter.waria.begin() + 3, shorter.waria.end(), WariaEntry{});
    shorter.warKv = 3;
    shorter.waria[3].sum = -0.0;
    WriteFixtureToSwap(base, fx);

    SelectedRecords records;
    for (int slot : {1, 2, 1, 3, 2, 2}) {
        records.load(base, slot);
        EmployeeRecord stored;
        ASSERT_TRUE(base.swap.readSlot(slot, stored));
        EXPECT_EQ(base.current, stored) << "slot " << slot;
        EXPECT_EQ(std::signbit(base.current.waria[3].sum), slot == 2) << "slot " << slot;
    }
    // A slot past the end of the file.
    EXPECT_THROW(records.load(base, 9), TextError);
    base.CloseSwapFile();
}

// ------------------------------------------------------------ a run over a base

constexpr u16 kSalary = 1; // fond 1: bears contributions
constexpr u16 kMaternity = 158; // fond 4, in the firm's non-taxable mask
constexpr u16 kFederalMedical = 994;
constexpr u16 kTerritorialMedical = 993;

double rub(double roubles) { return roubles * 100; }
u16 date(int day, int month, int year) { return PackedDate::make(day, month, year).value; }

struct Person {
    const char16_t* name;
    u16 born;
    double salary; // roubles a month, January to June 2011
    u32 flags = 0;
    u16 invBegin = 0, invEnd = 0;
};

// Flags of the head: 9 foreign citizen, 10 residence permit, 6-7 disability group.
constexpr u32 kForeigner = 1u << 9, kPermit = 1u << 10, kGroup2 = 2u << 6;

const Person kPeople[] = {
    {u"Антонов Андрей Петрович", date(31, 12, 1966), 30'000},
    {u"Белова Бэлла Игоревна", date(5, 4, 1980), 25'000},
    {u"Волков Виктор Сергеевич", date(9, 9, 1975), 20'000, kGroup2, u16(MonthKey(2010, 5).value()), 0},
    {u"Григорьев Глеб Ильич", date(2, 2, 1955), 10'000, kGroup2, u16(MonthKey(2010, 6).value()), u16(MonthKey(2011, 2).value())},
    {u"Эргашев Дилшод Алишерович", date(3, 3, 1985), 15'000, kForeigner},
    {u"Ким Елена Викторовна", date(4, 4, 1962), 18'000, kForeigner | kPermit},
    {u"Жуков Захар Олегович", date(1, 1, 1967), 200'000},
};

void AddArchive(EmployeeRecord& rec, u16 kod, double sum, int month, int days = 0, int year = 2011)
{
    WariaEntry& e = rec.waria[rec.warKv++];
    e.kod = kod;
    e.sum = sum;
    e.god = u16(year);
    e.mes = u16(month);
    e.dn = u16(days);
}

// Seven employees paid January to June 2011; the base's month is July.
class PensionRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform::SetWorkingFolder(dir.path());
        doc.setWorkFolder(dir.path());
        CInfoBase& base = doc.infoBase;
        base.baseName = QStringLiteral("pension");
        CreateSchemaBase(dir.path(), base.baseName);
        OpenBase(base);
        FixtureBase fx = BuildFixtureBase(base, int(std::size(kPeople)), 5);
        for (std::size_t i = 0; i < std::size(kPeople); ++i) fx.records[i] = Record(kPeople[i], i);
        for (int slot = 1; slot <= base.slotCount(); ++slot) base.attributesOf(slot).kvProizv = 0;
        AddContributionKinds(base);
        base.firm.masks[7][kMaternity] = 1;
        base.config.tekMes = u16(MonthKey(payYear(), 7).value());
        setPeriod(3);
        SaveAll(base, fx.records);

        doc.refFiles.setFolder(QStringLiteral(KALVOR_DATA_DIR "/"));
        ASSERT_TRUE(doc.refFiles.ReadNalog());
        ASSERT_TRUE(doc.refFiles.ReadSbor());
    }
    void TearDown() override
    {
        CloseBase(doc.infoBase);
        platform::SetWorkingFolder(QString());
    }
    void setPeriod(int lastMonth)
    {
        doc.infoBase.config.r_g = i8(payYear() - 1900);
        doc.infoBase.config.r_m1 = 1;
        doc.infoBase.config.r_m2 = u8(lastMonth);
    }

    // The year of the pay, January to June.
    virtual int payYear() const { return 2011; }
    EmployeeRecord Record(const Person& person, std::size_t index) const
    {
        EmployeeRecord rec;
        EmployeeHead& h = rec.head;
        h.fio = QString::fromUtf16(person.name);
        h.datR = person.born;
        h.datPr1 = date(1, 3, 2005);
        h.stavka = 100;
        h.flags = person.flags;
        h.invDat1Begin = person.invBegin;
        h.invDat1End = person.invEnd;
        if (person.invBegin != 0) {
            h.invSprSer = QStringLiteral("МСЭ-2010");
            h.invSprNom = QStringLiteral("04127%1").arg(index);
            h.invSprDat = QStringLiteral("16.02.2010");
        }
        for (int month = 1; month <= 6; ++month) AddArchive(rec, kSalary, rub(person.salary), month, 20, payYear());
        if (index == 1) // Белова: a non-taxable benefit in February
            AddArchive(rec, kMaternity, rub(12'000), 2, 0, payYear());
        if (index == 0) { // Антонов: the medical contributions charged each month
            for (int month = 1; month <= 6; ++month) {
                AddArchive(rec, kFederalMedical, rub(930), month, 0, payYear());
                AddArchive(rec, kTerritorialMedical, rub(600), month, 0, payYear());
            }
        }
        return rec;
    }
    static void AddContributionKinds(CInfoBase& base)
    {
        for (u16 code : {kTerritorialMedical, kFederalMedical}) {
            PayKind kind;
            kind.kod = code;
            kind.name = QStringLiteral("Взносы в фонд ОМС");
            base.addPayKind(kind);
        }
    }
    std::vector<InvalRecord> inval() const
    {
        std::vector<InvalRecord> records;
        EXPECT_EQ(ReadInvalFile(InvalFilePath(), records), 0);
        return records;
    }
    const GenrValueArray& v() const { return doc.GenrValues; }

    QTemporaryDir dir;
    PayrollDoc doc;
};

TEST_F(PensionRun, FirstQuarterTariffBlocks)
{
    ASSERT_EQ(CalcOVPF(ReportSelection{}, doc, QString(), 0, {}), GenrDone);

    // General tariff. Payments: Антонов 30,000, Белова 25,000, Ким 18,000,
    // Жуков 200,000 a month, Григорьев 10,000 in February and March (his
    // disability lasts up to 1 February); the foreigner without a permit pays
    // nothing; then the non-taxable amounts are added in (his 15,000 a month,
    // Белова's 12,000).
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowPayments), (Row{896'000, 288'000, 310'000, 298'000}));
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowPayments + 1), (Row{164'000, 48'000, 58'000, 58'000}));
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowPayments + 2), (Row{732'000, 240'000, 252'000, 240'000}));
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowNonTaxable), (Row{57'000, 15'000, 27'000, 15'000}));
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowNonTaxable + 1), (Row{0, 0, 0, 0}));
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowNonTaxable + 2), (Row{57'000, 15'000, 27'000, 15'000}));
    // Жуков passes 463,000 in March: 600,000 - 463,000 above the limit.
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowAboveLimit), (Row{137'000, 0, 0, 137'000}));
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowAboveLimit + 1), (Row{0, 0, 0, 0}));
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowAboveLimit + 2), (Row{137'000, 0, 0, 137'000}));
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowPensionBaseOld), (Row{164'000, 48'000, 58'000, 58'000}));
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowPensionBaseYoung), (Row{538'000, 225'000, 225'000, 88'000}));
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowMedicalBase), (Row{702'000, 273'000, 283'000, 146'000}));
    // Insurance part: 7,800 + 5,000 + 4,680 + 40,000 a month; Григорьев's
    // February and March 2,600 each; Жуков's March 92,600 - 80,000.
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowAccrued), (Row{150'240, 57'480, 60'080, 32'680}));
    // Funded part: Белова 1,500, Жуков 12,000, 12,000, 27,780 - 24,000.
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowAccrued + 1), (Row{32'280, 13'500, 13'500, 5'280}));
    // Federal medical 3.1 %: 8,463 a month on 273,000, Григорьев's 310 in
    // February and March, Жуков's 63,000 below the cap in March.
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowAccrued + 2), (Row{21'762, 8'463, 8'773, 4'526}));
    // Territorial medical 2 %: 5,460 a month, Григорьев's 200.
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowAccrued + 3), (Row{14'040, 5'460, 5'660, 2'920}));

    // Disabled employees: Волков 20,000 a month (born 1975), Григорьев
    // 10,000 in January (born 1955).
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowPayments), (Row{70'000, 30'000, 20'000, 20'000}));
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowPayments + 1), (Row{10'000, 10'000, 0, 0}));
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowPayments + 2), (Row{60'000, 20'000, 20'000, 20'000}));
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowNonTaxable), (Row{0, 0, 0, 0}));
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowAboveLimit), (Row{0, 0, 0, 0}));
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowPensionBaseOld), (Row{10'000, 10'000, 0, 0}));
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowPensionBaseYoung), (Row{60'000, 20'000, 20'000, 20'000}));
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowMedicalBase), (Row{70'000, 30'000, 20'000, 20'000}));
    // Insurance part: Волков 10 % = 2,000 a month, Григорьев 16 % = 1,600.
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowAccrued), (Row{7'600, 3'600, 2'000, 2'000}));
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowAccrued + 1), (Row{3'600, 1'200, 1'200, 1'200}));
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowAccrued + 2), (Row{770, 330, 220, 220}));
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowAccrued + 3), (Row{840, 360, 240, 240}));
    // The third section's values up to the counts of value 272 stay 0.
    for (int row = 0; row < 16; ++row) EXPECT_EQ(TariffRow(v(), kImputedTariff, row), (Row{0, 0, 0, 0})) << row;
}

// The same pay in 2010, when the yearly cap was 415,000 roubles.
class PensionRun2010 : public PensionRun {
protected:
    int payYear() const override { return 2010; }
};

TEST_F(PensionRun2010, TheCapOf2010IsLower)
{
    ASSERT_EQ(CalcOVPF(ReportSelection{}, doc, QString(), 0, {}), GenrDone);
    // Жуков passes 415,000 in March: 600,000 - 415,000 above the limit.
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowAboveLimit), (Row{185'000, 0, 0, 185'000}));
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowAboveLimit + 2), (Row{185'000, 0, 0, 185'000}));
}

TEST_F(PensionRun2010, DisabledTariffAtTheRatesOf2010)
{
    // The second quarter of 2010: Волков (born 1975) disabled from May,
    // Григорьев (born 1955) from June. Pension 14 %: the insurance part 8 %
    // and the funded part 6 % for Волков (1,600 and 1,200 a month), the
    // insurance part 14 % for Григорьев (1,400); nothing to the medical funds.
    setPeriod(6);
    ASSERT_EQ(CalcOVPF(ReportSelection{}, doc, QString(), 0, {}), GenrDone);
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowPayments), (Row{50'000, 0, 20'000, 30'000}));
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowPensionBaseOld), (Row{10'000, 0, 0, 10'000}));
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowPensionBaseYoung), (Row{40'000, 0, 20'000, 20'000}));
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowAccrued), (Row{4'600, 0, 1'600, 3'000}));
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowAccrued + 1), (Row{2'400, 0, 1'200, 1'200}));
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowAccrued + 2), (Row{0, 0, 0, 0}));
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowAccrued + 3), (Row{0, 0, 0, 0}));
}

TEST_F(PensionRun, FirstQuarterSection1CountsAndInval)
{
    ReportSelection selection;
    selection.orgPackNumber = 40'001;
    selection.deptCode = 999'999;
    selection.deptPackNumber = 7;
    ASSERT_EQ(CalcOVPF(selection, doc, QString(), 0, {}), GenrDone);

    using Column = std::array<double, 5>;
    // Accrued: both tariffs' insurance parts (57,480 + 3,600, 60,080 + 2,000,
    // 32,680 + 2,000), funded parts, federal (8,463 + 330, 8,773 + 220,
    // 4,526 + 220) and territorial medical (5,460 + 360, 5,660 + 240,
    // 2,920 + 240).
    EXPECT_EQ(Section1Column(v(), kLine110, 0), (Column{157'840, 61'080, 62'080, 34'680, 157'840}));
    EXPECT_EQ(Section1Column(v(), kLine110, 1), (Column{35'880, 14'700, 14'700, 6'480, 35'880}));
    EXPECT_EQ(Section1Column(v(), kLine110, 2), (Column{22'532, 8'793, 8'993, 4'746, 22'532}));
    EXPECT_EQ(Section1Column(v(), kLine110, 3), (Column{14'880, 5'820, 5'900, 3'160, 14'880}));
    // Paid: Антонов's medical contribution rows.
    EXPECT_EQ(Section1Column(v(), kLine140, 0), (Column{0, 0, 0, 0, 0}));
    EXPECT_EQ(Section1Column(v(), kLine140, 2), (Column{2'790, 930, 930, 930, 2'790}));
    EXPECT_EQ(Section1Column(v(), kLine140, 3), (Column{1'800, 600, 600, 600, 1'800}));
    const std::array<double, 4> line130 = {v()[28], v()[29], v()[30], v()[31]};
    const std::array<double, 4> line150 = {v()[52], v()[53], v()[54], v()[55]};
    EXPECT_EQ(line130, (std::array<double, 4>{157'840, 35'880, 22'532, 14'880}));
    EXPECT_EQ(line150, (std::array<double, 4>{157'840, 35'880, 19'742, 13'080}));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(v()[std::size_t(kLine100 + i)], 0);
        EXPECT_EQ(v()[std::size_t(kLine120 + i)], 0);
    }

    // Seven insured persons, each on the staff all quarter; the rate of
    // January; the selection's pack numbers in 32 bits.
    EXPECT_EQ(v()[kInsuredPersons], 7);
    EXPECT_EQ(v()[kAverageHeadcount], 7);
    EXPECT_DOUBLE_EQ(v()[kPensionRate], 0.26);
    EXPECT_EQ(v()[kOrgPackNumber], 40'001);
    EXPECT_EQ(v()[kDeptCode], 999'999);
    EXPECT_EQ(v()[kDeptPackNumber], 7);

    // "inval": Волков and Григорьев in list order, their sums equal to block 2.
    const std::vector<InvalRecord> records = inval();
    ASSERT_EQ(records.size(), 2u);
    const InvalRecord& volkov = records[0];
    EXPECT_EQ(QByteArray(volkov.fio.data(), 50).trimmed(),
              codepage::toCp1251(QStringLiteral("Волков,Виктор,Сергеевич")));
    EXPECT_EQ(QByteArray(volkov.invSprSer.data(), 8), codepage::toCp1251(QStringLiteral("МСЭ-2010")));
    EXPECT_EQ(QByteArray(volkov.invSprNom.data(), 10), QByteArray("041272    "));
    EXPECT_EQ(QByteArray(volkov.invSprDat.data(), 8), QByteArray("16.02.10"));
    EXPECT_EQ(QByteArray(volkov.invEnd.data(), 10), codepage::toCp1251(QStringLiteral("бессрочно")) + '\0');
    EXPECT_EQ(volkov.invGr, 2);
    EXPECT_EQ(volkov.months, (std::array<double, 3>{rub(20'000), rub(20'000), rub(20'000)}));
    EXPECT_EQ(volkov.quarter, rub(60'000));
    EXPECT_EQ(volkov.sinceYearStart, rub(60'000));
    const InvalRecord& grigoriev = records[1];
    EXPECT_EQ(QByteArray(grigoriev.invEnd.data(), 10), QByteArray("01.02.2011"));
    EXPECT_EQ(grigoriev.months, (std::array<double, 3>{rub(10'000), 0, 0}));
    EXPECT_EQ(grigoriev.sinceYearStart, rub(10'000));
}

TEST_F(PensionRun, HalfYearAfterTheCapAndBeforeTheQuarter)
{
    setPeriod(6);
    ASSERT_EQ(CalcOVPF(ReportSelection{}, doc, QString(), 0, {}), GenrDone);
    // Months 1-3 are April to June: 283,000 a month at the general tariff
    // (Григорьев no longer disabled), 15,000 of non-taxable pay.
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowPayments), (Row{1'790'000, 298'000, 298'000, 298'000}));
    // Жуков above the limit: 137,000 in March, then all his 200,000 a month;
    // nothing more is charged on his pay.
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowAboveLimit), (Row{737'000, 200'000, 200'000, 200'000}));
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowAccrued), (Row{210'480, 20'080, 20'080, 20'080}));
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowPayments), (Row{130'000, 20'000, 20'000, 20'000}));
    // Insurance parts: 157,840 in the first quarter, then 20,080 + 2,000 a month.
    EXPECT_EQ(Section1Column(v(), kLine110, 0)[0], 224'080);
    EXPECT_EQ(v()[kAverageHeadcount], 7);

    // Волков: 60,000 before the quarter; Григорьев nothing in it, but his
    // 10,000 of January still give him a record.
    const std::vector<InvalRecord> records = inval();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].sinceYearStart, rub(120'000));
    EXPECT_EQ(records[0].quarter, rub(60'000));
    EXPECT_EQ(records[1].months, (std::array<double, 3>{0, 0, 0}));
    EXPECT_EQ(records[1].sinceYearStart, rub(10'000));
}

// The base stands in May, the period ends in June: the month passes end in
// May, and "inval" still takes June from the archive. Волков 20,000 in each
// month of the quarter, 120,000 since January; the block has no June, so the
// reconciliation takes one rouble off his June and his year (a rouble a
// record and run).
TEST_F(PensionRun, PeriodPastTheBasesMonthStillGivesInvalItsLastMonth)
{
    doc.infoBase.config.tekMes = u16(MonthKey(payYear(), 5).value());
    setPeriod(6);
    ASSERT_EQ(CalcOVPF(ReportSelection{}, doc, QString(), 0, {}), GenrDone);
    EXPECT_EQ(TariffRow(v(), kDisabledTariff, RowPayments), (Row{110'000, 20'000, 20'000, 0}));
    const std::vector<InvalRecord> records = inval();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].months, (std::array<double, 3>{rub(20'000), rub(20'000), rub(19'999)}));
    EXPECT_EQ(records[0].quarter, rub(60'000));
    EXPECT_EQ(records[0].sinceYearStart, rub(119'999));
    EXPECT_EQ(records[1].sinceYearStart, rub(10'000));
}

TEST_F(PensionRun, DataFileCarriesTheValuesAndInval)
{
    const QString path = dir.filePath(QStringLiteral("pf.dat"));
    ASSERT_EQ(CalcOVPF(ReportSelection{}, doc, path, 0, {}), GenrDone);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_EQ(bytes.size(), 3'404 + 2 * 128);
    EXPECT_EQ(bytes.left(4), QByteArray("\x0f\x01\x03\x6f", 4));
    double first = 0;
    std::memcpy(&first, bytes.constData() + 4 + 8 * TariffIndex(kDisabledTariff, RowPayments), 8);
    EXPECT_EQ(first, 70'000);
    EXPECT_EQ(InvalRecordsFromBytes(bytes.mid(3'404)), inval());

    // One employee by personnel number: Волков alone.
    ReportSelection one;
    one.tabN = doc.infoBase.list[2].tabN();
    ASSERT_EQ(CalcOVPF(one, doc, path, 0, {}), GenrDone);
    EXPECT_EQ(v()[kInsuredPersons], 1);
    EXPECT_EQ(TariffRow(v(), kGeneralTariff, RowPayments), (Row{0, 0, 0, 0}));
    EXPECT_EQ(inval().size(), 1u);
}

TEST_F(PensionRun, FailuresAndStop)
{
    // A data file that cannot be written is reported, and none is left.
    GenrRunDetail detail;
    const QString nowhere = dir.filePath(QStringLiteral("no/folder/pf.dat"));
    EXPECT_EQ(CalcOVPF(ReportSelection{}, doc, nowhere, 0, {}, &detail), GenrFileFailed);
    EXPECT_EQ(detail.fileError, platform::FILE_ERROR_OPEN);
    EXPECT_FALSE(QFile::exists(nowhere));

    // "inval" that cannot be written (its folder is gone) is reported too.
    platform::SetWorkingFolder(dir.filePath(QStringLiteral("gone")));
    EXPECT_EQ(CalcOVPF(ReportSelection{}, doc, QString(), 0, {}, &detail), GenrFileFailed);
    EXPECT_EQ(detail.fileError, platform::FILE_ERROR_OPEN);
    platform::SetWorkingFolder(dir.path());

    // Stopped: nothing saved.
    const QString path = dir.filePath(QStringLiteral("pf.dat"));
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(CalcOVPF(ReportSelection{}, doc, path, 0, stop.get_token()), GenrStopped);
    EXPECT_FALSE(QFile::exists(path));

    // A report year after the base's, a contribution record without a table.
    doc.infoBase.config.r_g = 112;
    EXPECT_EQ(CalcOVPF(ReportSelection{}, doc, path, 0, {}), -2);
    setPeriod(3);
    ASSERT_EQ(CalcOVPF(ReportSelection{}, doc, QString(), 0, {}), GenrDone);
    ASSERT_EQ(inval().size(), 2u);
    doc.refFiles.sbor[5].table = 0;
    EXPECT_EQ(CalcOVPF(ReportSelection{}, doc, path, 0, {}), -32);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(inval().empty());
    EXPECT_EQ(v()[kInsuredPersons], 0);

    // No employee selected: one person of headcount, nobody insured.
    doc.refFiles.sbor[5].table = 13;
    ReportSelection nobody;
    nobody.tabN = 1;
    ASSERT_EQ(CalcOVPF(nobody, doc, QString(), 0, {}), GenrDone);
    EXPECT_EQ(v()[kAverageHeadcount], 1);
    EXPECT_EQ(v()[kInsuredPersons], 0);
}

#ifdef KALVOR_DATA_DIR
// The demo firm's first quarter of 2011: line 110, accrued since January in
// whole roubles, against the stored months' contributions added up here
// from every employee's archive: the pension (990) in its insurance and
// funded parts, the federal (994) and territorial (993) medical funds. The
// quarter may differ from the stored kopecks by the rounding of its three
// months.
TEST(PensionDemo, QuarterAccruedIsTheStoredMonths)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    PayrollDoc doc;
    ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, folder, testsupport::DemoRefFiles::TaxTables));
    platform::SetWorkingFolder(folder);
    CInfoBase& base = doc.infoBase;
    double pension = 0, federal = 0, territorial = 0;
    for (int index = 0; index < base.employeeCount(); ++index) {
        LoadEmployee(base, base.list[std::size_t(index)].slot);
        for (const WariaEntry& e : base.current.waria) {
            if (e.god != 2011 || e.mes < 1 || e.mes > 3)
                continue;
            pension += e.kod == 990 ? e.sum / 100 : 0;
            federal += e.kod == 994 ? e.sum / 100 : 0;
            territorial += e.kod == 993 ? e.sum / 100 : 0;
        }
    }
    const int result = CalcOVPF(ReportSelection{}, doc, QString(), 0, {});
    CloseBase(doc.infoBase);
    platform::SetWorkingFolder(QString());
    ASSERT_EQ(result, 0);
    const GenrValueArray& v = doc.GenrValues;
    EXPECT_GT(pension, 0);
    EXPECT_NEAR(v[kLine110] + v[kLine110 + 1], pension, 1.5);
    EXPECT_NEAR(v[kLine110 + 2], federal, 1.5);
    EXPECT_NEAR(v[kLine110 + 3], territorial, 1.5);
}

// Lines 100 to 150 month by month against the stored months: each month's
// accrued pension contributions (both parts together, as the stored 990 rows
// hold them), federal (994) and territorial (993) medical contributions of
// line 110 are the month's stored rows in whole roubles, and so are those
// of the paid lines 141-143; nothing was entered for lines 100 and 120, so
// 130 is line 110, and 150 is 130 less the paid line 140. Then
// April, computed and stored, is the first month of the second quarter.
TEST(PensionDemo, MonthLinesOfTheFirstQuarterAndAprilAreTheStoredMonths)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    PayrollDoc doc;
    ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, folder));
    platform::SetWorkingFolder(folder);
    struct Month {
        double pension = 0, federal = 0, territorial = 0;
    };
    auto stored = [&](int month) {
        const std::map<int, double> byCode = testsupport::StoredMonthByCode(doc, month);
        auto roubles = [&](int code) { return byCode.count(code) ? byCode.at(code) / 100 : 0.0; };
        return Month{roubles(990), roubles(994), roubles(993)};
    };
    std::array<Month, 5> months{};
    for (int m = 1; m <= 3; ++m) months[std::size_t(m)] = stored(m);
    ASSERT_EQ(CalcOVPF(ReportSelection{}, doc, QString(), 0, {}), 0);
    GenrValueArray v = doc.GenrValues;
    Month quarter;
    for (int m = 1; m <= 3; ++m) {
        SCOPED_TRACE(m);
        const Month& s = months[std::size_t(m)];
        EXPECT_GT(s.pension, 0);
        const int at = kLine110 + 4 * m;
        EXPECT_NEAR(v[std::size_t(at)] + v[std::size_t(at + 1)], s.pension, 1.0);
        EXPECT_NEAR(v[std::size_t(at + 2)], s.federal, 0.5);
        EXPECT_NEAR(v[std::size_t(at + 3)], s.territorial, 0.5);
        // Paid, every fund alike: the month's stored rows, the pension row
        // shared between its two parts as their charges share.
        const int paid = kLine140 + 4 * m;
        EXPECT_NEAR(v[std::size_t(paid)] + v[std::size_t(paid + 1)], s.pension, 1.0);
        EXPECT_NEAR(v[std::size_t(paid + 1)], v[std::size_t(at + 1)], 1.0);
        EXPECT_GT(v[std::size_t(paid + 1)], 0);
        EXPECT_NEAR(v[std::size_t(paid + 2)], s.federal, 0.5);
        EXPECT_NEAR(v[std::size_t(paid + 3)], s.territorial, 0.5);
        quarter.pension += s.pension;
        quarter.federal += s.federal;
        quarter.territorial += s.territorial;
    }
    for (int c = 0; c < 4; ++c) {
        SCOPED_TRACE(c);
        const double monthsSum =
            v[std::size_t(kLine110 + 4 + c)] + v[std::size_t(kLine110 + 8 + c)] + v[std::size_t(kLine110 + 12 + c)];
        EXPECT_EQ(v[std::size_t(kLine110 + kQuarterSum + c)], monthsSum);
        EXPECT_EQ(v[std::size_t(kLine110 + c)], monthsSum); // the period is the quarter
        EXPECT_EQ(v[std::size_t(kLine100 + c)], 0);
        EXPECT_EQ(v[std::size_t(kLine120 + c)], 0);
        EXPECT_EQ(v[std::size_t(kLine130 + c)], v[std::size_t(kLine110 + c)]);
        EXPECT_EQ(v[std::size_t(kLine150 + c)], v[std::size_t(kLine130 + c)] - v[std::size_t(kLine140 + c)]);
    }
    EXPECT_NEAR(v[kLine110] + v[kLine110 + 1], quarter.pension, 1.5);
    EXPECT_NEAR(v[kLine110 + 2], quarter.federal, 1.5);
    EXPECT_NEAR(v[kLine110 + 3], quarter.territorial, 1.5);

    // April: the half-year's report has it as its first month.
    ASSERT_NO_FATAL_FAILURE(testsupport::ComputeAndStoreMonth(doc));
    const Month april = stored(4);
    doc.infoBase.config.r_m1 = 4;
    doc.infoBase.config.r_m2 = 6;
    const int result = CalcOVPF(ReportSelection{}, doc, QString(), 0, {});
    CloseBase(doc.infoBase);
    platform::SetWorkingFolder(QString());
    ASSERT_EQ(result, 0);
    v = doc.GenrValues;
    const int at = kLine110 + 4;
    EXPECT_GT(april.pension, 0);
    EXPECT_NEAR(v[std::size_t(at)] + v[std::size_t(at + 1)], april.pension, 1.0);
    EXPECT_NEAR(v[std::size_t(at + 2)], april.federal, 0.5);
    EXPECT_NEAR(v[std::size_t(at + 3)], april.territorial, 0.5);
    EXPECT_NEAR(v[kLine110] + v[kLine110 + 1], quarter.pension + april.pension, 2.0);
    EXPECT_NEAR(v[kLine110 + 2], quarter.federal + april.federal, 2.0);
}
#endif

} // namespace
