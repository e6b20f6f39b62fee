// The СЗВ-6 records of the pension fund's XML pack: the monthly contribution
// loop across the yearly cap (worked by hand), the age split, the foreigner
// without pension, the failure codes, the walk of the periods of service, the
// check numbers and the place names; then two packs of a small base against
// their golden files, and a year's pack of the demo base read back by QtXml.
#include "exchange/PfSzv6Xml.h"

#include "PfrPackWorld.h"

#include <QDomDocument>

using namespace pfrtest;

namespace {

constexpr int kJanuary = 2011 * 16 + 1;
constexpr int kOctober = 2011 * 16 + 10;
constexpr int kDecember = 2011 * 16 + 12;

// An employee paid 50,000 roubles a month through 2011 in the archive, with
// 8,000 roubles of insurance-part contributions paid each month to November.
struct CapWorld {
    PayrollDoc doc;

    explicit CapWorld(int birthYear)
    {
        setReportingMonth(doc, 2011, 12);
        doc.infoBase.config.r_g = 111;
        doc.infoBase.config.r_m1 = 10;
        doc.infoBase.config.r_m2 = 12;
        setKinds(doc, {kind(1, {}, 1), kind(156, {}, 4), kind(990)});
        PensionTables(doc, 2011);
        doc.infoBase.current.head.datR = date(1, 1, birthYear);
        for (int month = 1; month <= 12; ++month) addArchive(doc, archive(1, 5'000'000, 2011, month));
        for (int month = 1; month <= 11; ++month) addArchive(doc, archive(990, 800'000, 2011, month));
    }
    PfrPensionSums Sums(int first = kOctober, int* result = nullptr)
    {
        PfrPensionSums sums;
        const int r = PfrSzv6PensionSums(doc, 0, first, kDecember, sums);
        if (result)
            *result = r;
        return sums;
    }
};

} // namespace

// ------------------------------------------------------------- contributions

TEST(PfrSzv6Contributions, MonthFiguresAndTheCarriedExcess)
{
    // October: 450,000 before it and 50,000 in it cross the 463,000 cap;
    // A = 50,000, B = 450,000, X = (500,000 - 463,000) - 0 = 37,000 roubles.
    PfrPartFigures f = PfrPartFiguresOf(45'000'000, 5'000'000, 0, 0);
    EXPECT_EQ(f.a, 5'000'000);
    EXPECT_EQ(f.b, 45'000'000);
    EXPECT_EQ(PfrCarriedExcess(f, PfrSzv6Cap(111), 0), 3'700'000);
    // November: B = 500,000 is above the cap itself: X = 87,000 - 37,000 = 50,000.
    f = PfrPartFiguresOf(50'000'000, 5'000'000, 0, 0);
    EXPECT_EQ(PfrCarriedExcess(f, PfrSzv6Cap(111), 3'700'000), 5'000'000);
    // Below the cap the carried value stays.
    EXPECT_EQ(PfrCarriedExcess(PfrPartFiguresOf(1'000'000, 500'000, 0, 0), PfrSzv6Cap(111), 42), 42);
    // Disability parts: A = 40,000, B = 400,000, C = 30,000, D = 20,000, T = 490,000;
    // X = 27,000 - max(400,000 - cap, 0), then 27,000 - max(420,000 - cap, 0).
    f = PfrPartFiguresOf(40'000'000, 4'000'000, 3'000'000, 2'000'000);
    EXPECT_EQ(PfrCarriedExcess(f, PfrSzv6Cap(111), 0), 2'700'000);
    // A negative earlier base: A = prior + current; a return above the month: A = -prior.
    EXPECT_EQ(PfrPartFiguresOf(-1'000, 5'000, 0, 0).a, 4'000);
    EXPECT_EQ(PfrPartFiguresOf(3'000, -5'000, 0, 0).a, -3'000);
    EXPECT_EQ(PfrPartFiguresOf(3'000, -5'000, 0, 0).b, 3'000);
    // The 2010 comparison uses 415,000 roubles, every other year 463,000.
    EXPECT_EQ(PfrSzv6Cap(110), 41'500'000);
    EXPECT_EQ(PfrSzv6Cap(112), 46'300'000);
}

TEST(PfrSzv6Contributions, BaseCrossingTheCapInTheFourthQuarter)
{
    // Born 1980: tables 4 (16 %) and 6 (6 %).
    // October: T1 = 16 % of (50,000 + 450,000 - 37,000) = 74,080.00, T2 = 16 % of 450,000 = 72,000.00,
    //          the month's insurance part 2,080.00; the funded part 6 % of 13,000 = 780.00.
    // November and December: T1 = T2 on 500,000 and 550,000 less the excess: nothing.
    // Paid in the report months October to December: 8,000 in October and November.
    CapWorld young(1980);
    int result = 1;
    PfrPensionSums sums = young.Sums(kOctober, &result);
    ASSERT_EQ(result, 0);
    EXPECT_EQ(sums.insuranceAccrued, 208'000);
    EXPECT_EQ(sums.fundedAccrued, 78'000);
    EXPECT_EQ(sums.insurancePaid, 1'600'000);
    EXPECT_EQ(sums.fundedPaid, 0);
    // From January: nine months of 8,000 (16 % of 50,000) and 3,000 (6 %), then October.
    sums = young.Sums(kJanuary);
    EXPECT_EQ(sums.insuranceAccrued, 9 * 800'000 + 208'000);
    EXPECT_EQ(sums.fundedAccrued, 9 * 300'000 + 78'000);

    // Born 1966: tables 3 (20 %) and 5 (4 %): 20 % and 4 % of 13,000.
    CapWorld old(1966);
    sums = old.Sums();
    EXPECT_EQ(sums.insuranceAccrued, 260'000);
    EXPECT_EQ(sums.fundedAccrued, 52'000);
    // Born on 1 January 1967: the younger tables.
    EXPECT_EQ(CapWorld(1967).Sums().insuranceAccrued, 208'000);

    // A foreigner staying temporarily (flag 9 without 10 and 12): nothing accrued, the paid rows stay.
    CapWorld foreigner(1980);
    foreigner.doc.infoBase.current.head.flags = 1u << 9;
    sums = foreigner.Sums();
    EXPECT_EQ(sums.insuranceAccrued, 0);
    EXPECT_EQ(sums.fundedAccrued, 0);
    EXPECT_EQ(sums.insurancePaid, 1'600'000);
    // With a residence permit (flag 10) the contributions are due again.
    foreigner.doc.infoBase.current.head.flags |= 1u << 10;
    EXPECT_EQ(foreigner.Sums().insuranceAccrued, 208'000);
}

TEST(PfrSzv6Contributions, FailureCodes)
{
    // A funded part without a tax table, for an employee born before 1967: table 0 + 0 - 1.
    CapWorld noTable(1960);
    noTable.doc.refFiles.sbor[5].table = 0;
    int result = 0;
    noTable.Sums(kOctober, &result);
    EXPECT_EQ(result, -32);
    // The tables are valid in 2010 only: no variant for December 2011.
    CapWorld noVariant(1980);
    PensionTables(noVariant.doc, 2010);
    noVariant.Sums(kOctober, &result);
    EXPECT_EQ(result, -21);
    // An archive entry of an unknown pay kind: the arithmetic's own code.
    CapWorld unknown(1980);
    addArchive(unknown.doc, archive(77, 100, 2011, 3));
    unknown.Sums(kOctober, &result);
    EXPECT_EQ(result, -4);

    // A period before 2010 is refused before anything is read.
    CapWorld early(1980);
    early.doc.infoBase.config.r_g = 109;
    PfrExportOptions options;
    options.kind = PfrYear;
    PfrPackTotals totals;
    PfrRecordCall call;
    call.doc = &early.doc;
    call.options = &options;
    call.totals = &totals;
    call.personnelNumber = 7;
    EXPECT_EQ(WritePfSzv6Xml(call), -34);
    // A blank name is skipped, after the period's base went into the extra earnings.
    early.doc.infoBase.config.r_g = 111;
    EXPECT_EQ(WritePfSzv6Xml(call), 1);
    EXPECT_EQ(totals.earningsExtra, 60'000'000);
    EXPECT_EQ(totals.insuranceAccrued, 0);
}

TEST(PfrSzv6Contributions, BenefitSumsByPaidOrAccrualMonth)
{
    PayrollDoc doc;
    setReportingMonth(doc, 2011, 8);
    // Sick pay accrued for June but paid in July; maternity pay for July.
    WariaEntry sick = archive(156, 120'000, 2011, 6);
    sick.mesVyd = 7;
    sick.godVyd = 2011;
    addArchive(doc, sick);
    addArchive(doc, archive(158, 500'000, 2011, 7));
    addArchive(doc, archive(1, 900'000, 2011, 7)); // no benefit
    // The month's rows: child care pay with the row month 12.
    doc.infoBase.current.rows[0] = row(196, 30'000, 12);
    EXPECT_EQ(PfrBenefitSums(doc, 0, 2011 * 16 + 7, 2011 * 16 + 9), (std::array<double, 3>{120'000, 500'000, 30'000}));
    // Dated by accrual month: the sick pay counts in June, the row in December.
    doc.infoBase.firm.parWord = 1;
    EXPECT_EQ(PfrBenefitSums(doc, 0, 2011 * 16 + 7, 2011 * 16 + 9), (std::array<double, 3>{0, 500'000, 0}));
    EXPECT_EQ(PfrBenefitSums(doc, 0, 2011 * 16 + 6, 2011 * 16 + 12), (std::array<double, 3>{120'000, 500'000, 30'000}));
    // The year moves of the rows' own months.
    EXPECT_EQ(PfrRowMonth(12, 2011 * 16 + 5), 2010 * 16 + 12); // May: 12 > 5 + 5
    EXPECT_EQ(PfrRowMonth(10, 2011 * 16 + 5), 2011 * 16 + 10);
    EXPECT_EQ(PfrRowMonth(1, 2011 * 16 + 8), 2012 * 16 + 1); // August: 1 < 8 - 6
    EXPECT_EQ(PfrRowMonth(2, 2011 * 16 + 8), 2011 * 16 + 2);
    EXPECT_EQ(PfrRowMonth(12, 2011 * 16 + 6), 2011 * 16 + 12);
}

// ------------------------------------------------------------- small rules

TEST(PfrSzv6Rules, InsuranceNumbersAndCheckDigits)
{
    // 1*9 + 1*8 + 2*7 + 2*6 + 3*5 + 3*4 + 4*3 + 4*2 + 5*1 = 95
    PfrInsuranceNumber n = PfrInsuranceNumberOf(QStringLiteral("112-233-445"));
    EXPECT_EQ(n.withCheck(), QByteArray("112-233-445 95"));
    EXPECT_FALSE(n.blank || n.allZero);
    // Blanks inside: the rest moves to the front, blanks fill the end, and the
    // check number comes from the same nine digits.
    n = PfrInsuranceNumberOf(QStringLiteral("112 233 445"));
    EXPECT_EQ(n.withCheck(), QByteArray("112233445   95"));
    // A weighted sum of 100 or 101 gives 00: 1*9 + 9*8 + 1*7 + 2*6 = 100, 9*9 + 2*8 + 4*1 = 101.
    EXPECT_EQ(PfrInsuranceNumberOf(QStringLiteral("191-200-000")).withCheck(), QByteArray("191-200-000 00"));
    EXPECT_EQ(PfrInsuranceNumberOf(QStringLiteral("920-000-004")).check, 0);
    EXPECT_FALSE(PfrInsuranceNumberOf(QStringLiteral("191-200-000")).allZero);
    n = PfrInsuranceNumberOf(QStringLiteral("000-000-000"));
    EXPECT_TRUE(n.allZero);
    EXPECT_EQ(n.withCheck(), QByteArray("000-000-000 00"));
    // The card's own check number is written, a wrong one too (the export
    // says it): the file holds the number the card holds.
    EXPECT_EQ(PfrInsuranceNumberOf(QStringLiteral("112-233-445 95")).withCheck(), QByteArray("112-233-445 95"));
    EXPECT_EQ(PfrInsuranceNumberOf(QStringLiteral("112-233-445 10")).withCheck(), QByteArray("112-233-445 10"));
    n = PfrInsuranceNumberOf(QStringLiteral("           "));
    EXPECT_TRUE(n.blank);
    EXPECT_EQ(n.field, QByteArray(11, ' '));
}

TEST(PfrSzv6Rules, PlaceNamesSplitAtTheirLastBlank)
{
    using reports::PlaceLevel;
    PfrPlaceName place = PfrSplitPlaceName(Ansi("МОСКВА Г"), PlaceLevel::Region);
    EXPECT_EQ(place.name, Ansi("МОСКВА"));
    EXPECT_EQ(place.abbreviation, Ansi("Г"));
    place = PfrSplitPlaceName(Ansi("ЯМАЛО-НЕНЕЦКИЙ АО"), PlaceLevel::Region);
    EXPECT_EQ(place.name, Ansi("ЯМАЛО-НЕНЕЦКИЙ"));
    place = PfrSplitPlaceName(Ansi("НОВАЯ ЛАДОГА П"), PlaceLevel::Settlement);
    EXPECT_EQ(place.name, Ansi("НОВАЯ ЛАДОГА"));
    EXPECT_EQ(place.abbreviation, Ansi("П"));
    // The abbreviation first, as the fund's other file takes it.
    place = PfrSplitPlaceName(Ansi("УЛ. ПРОМЫШЛЕННАЯ"), PlaceLevel::Street);
    EXPECT_EQ(place.name, Ansi("ПРОМЫШЛЕННАЯ"));
    EXPECT_EQ(place.abbreviation, Ansi("УЛ"));
    place = PfrSplitPlaceName(Ansi("ВОЛОГДА"), PlaceLevel::Settlement);
    EXPECT_EQ(place.name, Ansi("ВОЛОГДА"));
    EXPECT_TRUE(place.abbreviation.isEmpty());
    // The insured person's street splits as the contributions file's does.
    place = PfrSplitPlaceName(Ansi("П.ЛУМУМБЫ УЛ"), PlaceLevel::Street);
    EXPECT_EQ(place.name, Ansi("П.ЛУМУМБЫ"));
    EXPECT_EQ(place.abbreviation, Ansi("УЛ"));
    EXPECT_EQ(PfrNameWord(QString::fromUtf8("  иванов   пётр"), 1), Ansi("ПЁТР"));
    EXPECT_TRUE(PfrNameWord(QString::fromUtf8("Иванов Пётр"), 2).isEmpty());
}

// ------------------------------------------------------------- periods of service

namespace {

QDate D(int day, int month, int year = 2011) { return QDate(year, month, day); }

std::string Lines(const std::vector<PfrServiceLine>& lines)
{
    std::string out;
    for (const PfrServiceLine& line : lines)
        out += std::to_string(line.number) + " " + line.start.toString(QStringLiteral("dd.MM")).toStdString() + "-" +
               line.end.toString(QStringLiteral("dd.MM")).toStdString() + " " + std::to_string(line.kod) + "; ";
    return out;
}

} // namespace

TEST(PfrServicePeriods, WalkOverOverlappingAndOutlyingEntries)
{
    const std::vector<PfrServiceEntry> entries = {
        {D(10, 12, 2010), D(5, 1), 156}, // began last year: privileged from 1 January
        {D(1, 1), D(3, 1), 155}, // ends before the walk reaches it: passed over
        {D(14, 2), D(25, 2), 156}, // a gap before it
        {D(20, 2), D(4, 3), 155}, // overlaps the one before: from the day after it
        {D(10, 3), D(12, 3), 86}, // a kind without a code: no part in the walk
        {D(20, 12), D(15, 1, 2012), 158}, // runs into next year: ends the walk at the period's end
    };
    EXPECT_EQ(Lines(PfrServiceSweep(D(1, 1), D(31, 12), entries, true)),
              "1 01.01-05.01 156; 2 06.01-13.02 0; 3 14.02-25.02 156; 4 26.02-04.03 155; 5 05.03-19.12 0; "
              "6 20.12-31.12 158; ");
    // A period that ends inside an entry, and one that goes on after the last entry.
    EXPECT_EQ(Lines(PfrServiceSweep(D(1, 2), D(20, 2), entries, true)), "1 01.02-13.02 0; 2 14.02-20.02 156; ");
    EXPECT_EQ(Lines(PfrServiceSweep(D(1, 1), D(30, 4), {{D(14, 2), D(25, 2), 600}}, true)),
              "1 01.01-13.02 0; 2 14.02-25.02 600; 3 26.02-30.04 0; ");
    // One line for the formats of one period, whatever the entries.
    EXPECT_EQ(Lines(PfrServiceSweep(D(1, 5), D(31, 12), entries, false)), "1 01.05-31.12 0; ");
    EXPECT_TRUE(PfrServiceSweep(D(1, 6), D(31, 5), {}, false).empty());
    EXPECT_STREQ(PfrPrivilegeCode(669), "ДЕТИ");
    EXPECT_STREQ(PfrPrivilegeCode(2), "ДОГОВОР");
    EXPECT_EQ(PfrPrivilegeCode(86), nullptr);
}

TEST(PfrServicePeriods, BoundsByHireDismissalAndSecondEmployment)
{
    infobase::EmployeeHead head;
    // Hired on 1 May of the report year, never dismissed.
    head.datPr1 = date(1, 5, 2011);
    PfrServicePeriods p = PfrServiceBounds(head, 2011, 1, 12);
    EXPECT_EQ(p.mainStart, D(1, 5));
    EXPECT_EQ(p.mainEnd, D(31, 12));
    EXPECT_FALSE(p.second);
    // A nine months' period ends on 30 September; February has 28 days.
    EXPECT_EQ(PfrServiceBounds(head, 2011, 1, 9).mainEnd, D(30, 9));
    EXPECT_EQ(PfrServiceBounds(head, 2012, 1, 2).mainEnd, D(28, 2, 2012));
    // Dismissed in April, employed again from September.
    head.datPr1 = date(1, 3, 2005);
    head.datUv1 = date(30, 4, 2011);
    head.datPr2 = date(1, 9, 2011);
    p = PfrServiceBounds(head, 2011, 1, 12);
    EXPECT_EQ(p.mainEnd, D(30, 4));
    EXPECT_TRUE(p.second);
    EXPECT_EQ(p.secondStart, D(1, 9));
    EXPECT_EQ(p.secondEnd, D(31, 12));
    // Dismissed the year before: the second employment becomes the main period.
    head.datUv1 = date(31, 12, 2010);
    head.datUv2 = date(15, 11, 2011);
    p = PfrServiceBounds(head, 2011, 1, 12);
    EXPECT_EQ(p.mainStart, D(1, 9));
    EXPECT_EQ(p.mainEnd, D(15, 11));
    EXPECT_FALSE(p.second);
    // Outside the period altogether: the default bounds.
    head = {};
    head.datPr1 = date(1, 2, 2012);
    p = PfrServiceBounds(head, 2011, 1, 12);
    EXPECT_EQ(p.mainStart, D(1, 1));
    EXPECT_EQ(p.mainEnd, D(31, 12));
}

// ------------------------------------------------------------- packs of a base

namespace {

// The amounts of the inventory and the sum of the records' amounts.
struct PackSums {
    double inventory = 0;
    double records = 0;
};

PackSums AccruedSums(const QDomDocument& xml, const QString& element)
{
    PackSums sums;
    const QDomNodeList nodes = xml.elementsByTagName(element);
    for (int i = 0; i < nodes.size(); ++i) {
        const double value = nodes.at(i).firstChildElement(QStringLiteral("Начислено")).text().toDouble();
        const bool inInventory =
            nodes.at(i).parentNode().nodeName() == QStringLiteral("ВХОДЯЩАЯ_ОПИСЬ_ПО_СТРАХОВЫМ_ВЗНОСАМ");
        (inInventory ? sums.inventory : sums.records) += value;
    }
    return sums;
}

QDomDocument ParsedPack(const QByteArray& bytes)
{
    QDomDocument xml;
    QString error;
    int line = 0;
    EXPECT_TRUE(xml.setContent(codepage::fromCp1251(bytes), &error, &line))
        << error.toStdString() << " at line " << line;
    return xml;
}

} // namespace

// Two employees of 2011: Иванов, hired on 1 May, paid 40,000 a month; Сидорова,
// dismissed on 30 April and employed again from 1 September, paid 30,000 a
// month, with a sick leave in each period (dated entries of kinds 156 and 155).
class PfSzv6PackTest : public PfrPackWorld {
protected:
    void SetUp() override
    {
        OpenPackBase(2);
        ShapeIvanov(record(0));
        ShapeSidorova(record(1));
        AddDated(1, date(14, 2, 2011), date(25, 2, 2011), 2, 156);
        AddDated(1, date(10, 10, 2011), date(14, 10, 2011), 10, 155);
        SaveBase();
    }

    static void ShapeIvanov(infobase::EmployeeRecord& rec)
    {
        infobase::EmployeeHead& h = rec.head;
        h.fio = QString::fromUtf8("Иванов  Петр Сидорович");
        h.datR = date(5, 7, 1980);
        h.datPr1 = date(1, 5, 2011);
        h.strahPolis = QStringLiteral("112-233-445");
        h.propInd = QStringLiteral("160000");
        h.propKodReg = QStringLiteral("35");
        h.propGorod = QString::fromUtf8("Вологда г");
        h.propUl = QString::fromUtf8("Мира  ул");
        h.propDom = QStringLiteral("5");
        h.propKv = QStringLiteral("12");
        for (int month = 5; month <= 12; ++month) Add(rec, archive(1, 4'000'000, 2011, month));
        for (int month = 5; month <= 11; ++month) Add(rec, archive(990, 640'000, 2011, month));
    }
    static void ShapeSidorova(infobase::EmployeeRecord& rec)
    {
        infobase::EmployeeHead& h = rec.head;
        h.fio = QString::fromUtf8("Сидорова Анна Ивановна");
        h.datR = date(2, 3, 1960);
        h.datPr1 = date(1, 3, 2005);
        h.datUv1 = date(30, 4, 2011);
        h.datPr2 = date(1, 9, 2011);
        h.strahPolis = QStringLiteral("  ");
        h.propInd = QStringLiteral("101000");
        h.propKodReg = QStringLiteral("77");
        h.propGorod = QString::fromUtf8("Москва");
        h.propUl = QString::fromUtf8("Арбат ул");
        h.propDom = QStringLiteral("1");
        h.propKorp = QStringLiteral("2");
        h.propKv = QStringLiteral("3");
        for (int month : {1, 2, 3, 4, 9, 10, 11, 12}) {
            Add(rec, archive(1, 3'000'000, 2011, month));
            Add(rec, archive(990, 600'000, 2011, month));
        }
        Add(rec, archive(156, 500'000, 2011, 2));
        Add(rec, archive(155, 200'000, 2011, 10));
    }
};

TEST_F(PfSzv6PackTest, OnePeriodOfServicePack)
{
    const PfrExportResult result = Export(PfrSzv62);
    ASSERT_EQ(result.code, 0);
    EXPECT_EQ(result.recordCount, 1); // Сидорова has two periods: not in this form
    const QByteArray written = FileBytes(result.xmlFile);
    ExpectGolden(written, "szv6-2-fixture.xml");
    const QDomDocument xml = ParsedPack(written);
    // 16 % and 6 % of 8 x 40,000 roubles.
    const PackSums insurance = AccruedSums(xml, QStringLiteral("СуммаВзносовНаСтраховую"));
    EXPECT_EQ(insurance.inventory, 51'200.00);
    EXPECT_EQ(insurance.records, insurance.inventory);
    const PackSums funded = AccruedSums(xml, QStringLiteral("СуммаВзносовНаНакопительную"));
    EXPECT_EQ(funded.inventory, 19'200.00);
    EXPECT_EQ(funded.records, funded.inventory);
    EXPECT_TRUE(FileBytes(base().workFolder + QStringLiteral("no_pensN.txt")).isEmpty());
}

TEST_F(PfSzv6PackTest, OutputRowsBeforeTheFirstPayRowAreNotContributed)
{
    // Иванов's first current row is an output row (piece work entered for
    // the month), not pay; Сидорова has none. The contributions stay 16 %
    // and 6 % of 8 x 40,000 roubles.
    record(0).rows[0] = row(1, 10'000'000, 12);
    attributes(0).kvProizv = 1;
    attributes(1).kvProizv = 0;
    SaveBase();
    const PfrExportResult result = Export(PfrSzv62);
    ASSERT_EQ(result.code, 0);
    const QDomDocument xml = ParsedPack(FileBytes(result.xmlFile));
    EXPECT_EQ(AccruedSums(xml, QStringLiteral("СуммаВзносовНаСтраховую")).inventory, 51'200.00);
    EXPECT_EQ(AccruedSums(xml, QStringLiteral("СуммаВзносовНаНакопительную")).inventory, 19'200.00);
}

TEST_F(PfSzv6PackTest, SeveralPeriodsPackWithSickLeaveAndSecondEmployment)
{
    const PfrExportResult result = Export(PfrSzv61);
    ASSERT_EQ(result.code, 0);
    EXPECT_EQ(result.recordCount, 1);
    EXPECT_TRUE(result.xmlFile.endsWith(QStringLiteral("-DCK-00002-DPT-000000-DCK-00000.XML")));
    const QByteArray written = FileBytes(result.xmlFile);
    ExpectGolden(written, "szv6-1-fixture.xml");
    const QDomDocument xml = ParsedPack(written);
    // 20 % and 4 % of 8 x 30,000 roubles; the sick pay is not in the base.
    const PackSums insurance = AccruedSums(xml, QStringLiteral("СуммаВзносовНаСтраховую"));
    EXPECT_EQ(insurance.inventory, 48'000.00);
    EXPECT_EQ(insurance.records, insurance.inventory);
    EXPECT_EQ(AccruedSums(xml, QStringLiteral("СуммаВзносовНаНакопительную")).records, 9'600.00);
    EXPECT_EQ(xml.elementsByTagName(QStringLiteral("СтажевыйПериод")).size(), 6);
    // Without an insurance number she goes to the list.
    const QByteArray listed = FileBytes(base().workFolder + QStringLiteral("no_pensN.txt"));
    EXPECT_EQ(listed, QByteArray::number(tabN(1)) + Ansi(" - Сидорова Анна Ивановна\r\n"));
}

#ifdef KALVOR_DATA_DIR

// The demo base's year 2011 in both forms of the pack: well-formed XML in the
// working folder, and in the form of several periods the privileged lines of
// the sick leave and the unpaid leave of the dated archive.
TEST_F(PfrDemoWorld, XmlYearPacksOfTheDemoBase)
{
    for (int format : {int(PfrSzv62), int(PfrSzv61)}) {
        const PfrExportResult result = ExportPensionFund({}, YearRun(format), doc);
        ASSERT_EQ(result.code, 0) << "format " << format;
        EXPECT_TRUE(result.xmlFile.startsWith(folder + QStringLiteral("PFR-700-Y-2011-ORG-")));
        const QDomDocument xml = ParsedPack(FileBytes(result.xmlFile));
        const int records =
            xml.elementsByTagName(QStringLiteral("СВЕДЕНИЯ_О_СТРАХОВЫХ_ВЗНОСАХ_И_СТРАХОВОМ_СТАЖЕ_ЗЛ")).size();
        EXPECT_EQ(records, result.recordCount);
        EXPECT_GT(records, 0);
        const PackSums insurance = AccruedSums(xml, QStringLiteral("СуммаВзносовНаСтраховую"));
        EXPECT_NEAR(insurance.records, insurance.inventory, 0.005);
        EXPECT_GT(insurance.inventory, 0);
        if (format == PfrSzv61) {
            QStringList codes;
            const QDomNodeList privileged = xml.elementsByTagName(QStringLiteral("ДекретДети"));
            for (int i = 0; i < privileged.size(); ++i) codes << privileged.at(i).toElement().text();
            EXPECT_TRUE(codes.contains(QString::fromUtf8("ВРНЕТРУД"))) << codes.join(u',').toStdString();
            EXPECT_TRUE(codes.contains(QString::fromUtf8("АДМИНИСТР"))) << codes.join(u',').toStdString();
        }
    }
}

#endif
