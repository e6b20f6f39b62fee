// The text records of the pension fund's packs: the contribution by age
// group on both sides of its boundaries, the time counts in months and days,
// the bounds of the СТАЖ lines; then the packs of four employees in formats 4
// to 7 against their golden bytes, the status-4 skip, the failure without a
// day length, and the year packs of the demo base.
#include "exchange/PfTextRecords.h"

#include "exchange/DbfExport.h"
#include "exchange/PfAnketa.h"

#include "PfrPackWorld.h"

#include "platform/Dbf.h"
#include "values/Messages.h"

using namespace pfrtest;

namespace {

constexpr int kMarch2011 = 2011 * 16 + 3;

// A document of the report year with the pension parts' tables of that year
// (table 3 20 %, 4 16 %, 5 4 %, 6 6 %).
void ShapeAgeDoc(PayrollDoc& doc, int reportYear, int birthYear, const char* sex)
{
    setReportingMonth(doc, reportYear, 3);
    doc.infoBase.config.r_g = std::int8_t(reportYear - 1900);
    PensionTables(doc, reportYear);
    doc.infoBase.current.head.datR = date(1, 6, birthYear);
    doc.infoBase.current.head.pol = QString::fromUtf8(sex);
}

double Charge(int reportYear, int birthYear, const char* sex, int kindIndex = 0)
{
    PayrollDoc doc;
    ShapeAgeDoc(doc, reportYear, birthYear, sex);
    return ContributionChargeByAge(kindIndex, reportYear * 16 + 3, 1'000'000, doc);
}

} // namespace

TEST(PfrContributionByAge, AgeGroupsOnBothSidesOfTheirBoundaries)
{
    // From 2005: born after 1966 group 1, else 0, whatever the sex.
    EXPECT_EQ(PfrAgeGroup(2005, 1967, false), 1);
    EXPECT_EQ(PfrAgeGroup(2005, 1966, true), 0);
    EXPECT_EQ(PfrAgeGroup(2011, 1960, true), 0);
    // Before 2005: born after 1966 group 2; women born after 1956 group 1.
    EXPECT_EQ(PfrAgeGroup(2004, 1967, false), 2);
    EXPECT_EQ(PfrAgeGroup(2004, 1966, false), 0);
    EXPECT_EQ(PfrAgeGroup(2004, 1960, true), 1);
    EXPECT_EQ(PfrAgeGroup(2004, 1957, true), 1);
    EXPECT_EQ(PfrAgeGroup(2004, 1956, true), 0);

    // 10,000 roubles, both parts: group 0 tables 3 and 5 (20 % + 4 %), group 1 tables 4 and 6 (16 % + 6 %).
    EXPECT_EQ(Charge(2011, 1966, "м"), 240'000);
    EXPECT_EQ(Charge(2011, 1967, "м"), 220'000);
    // A woman born in 1960: group 1 in 2004, group 0 in 2005.
    EXPECT_EQ(Charge(2004, 1960, "ж"), 220'000);
    EXPECT_EQ(Charge(2005, 1960, "Ж"), 240'000);
    // Group 2 before 2005 takes the tables after those: 5 (4 %) and 7 (none set: no variant).
    EXPECT_THROW(Charge(2004, 1980, "м"), TextError);
    // One kind alone: the funded part of group 1 (table 6, 6 %).
    EXPECT_EQ(Charge(2011, 1980, "м", 5), 60'000);
}

TEST(PfrContributionByAge, FailuresCarryTheirMessages)
{
    PayrollDoc doc;
    ShapeAgeDoc(doc, 2011, 1960, "м");
    doc.refFiles.sbor[4].table = 0; // group 0: table 0 + 0 - 1
    try {
        ContributionChargeByAge(0, kMarch2011, 1'000'000, doc);
        ADD_FAILURE() << "no failure";
    } catch (const TextError& error) {
        EXPECT_EQ(error.message(), QString::fromUtf8("Не задан номер налоговой таблицы для отчисления"));
    }
    doc.refFiles.sbor[4].table = 3;
    PensionTables(doc, 2010); // valid in 2010 only
    try {
        ContributionChargeByAge(0, kMarch2011, 1'000'000, doc);
        ADD_FAILURE() << "no failure";
    } catch (const TextError& error) {
        EXPECT_EQ(error.message(), QString::fromUtf8("Ошибка в датах действия таблицы налогов"));
    }
}

TEST(PfrTimeCounts, DaysCrossThirtyAndComeFromHours)
{
    PfrTimeCount count;
    count.add(20);
    count.add(25); // 45 days: one month and 15 days
    EXPECT_EQ(count.months, 1);
    EXPECT_EQ(count.days, 15);
    count.add(63); // 78 days more: two months and 18 days
    EXPECT_EQ(count.months, 3);
    EXPECT_EQ(count.days, 18);
    // The days field first; else whole hours over the day length (8 h, 7 h 12 min).
    EXPECT_EQ(PfrDaysOfEntry(3, 40, 0, 480), 3);
    EXPECT_EQ(PfrDaysOfEntry(0, 20, 0, 480), 3); // 2.5 days round up
    EXPECT_EQ(PfrDaysOfEntry(0, 19, 59, 480), 2); // the minutes make no whole hour
    EXPECT_EQ(PfrDaysOfEntry(0, 36, 0, 432), 5);
    EXPECT_EQ(PfrDaysOfEntry(0, 0, 0, 0), 0);
    EXPECT_EQ(PfrDaysOfEntry(0, 16, 0, 0), -1); // no day length to divide by
}

// ------------------------------------------------------------- packs

// Four employees of 2011: Иванов employed all year; Петрова hired on
// 15 March; Козлов dismissed on 20 June (status 4) with two days of unpaid
// leave counted from hours; Сидорова dismissed on 30 April and employed again
// from 1 September, with 42 days of sick leave.
class PfTextPackTest : public PfrPackWorld {
protected:
    void SetUp() override
    {
        OpenPackBase(4);
        ShapeIvanov(record(0));
        ShapePetrova(record(1));
        ShapeKozlov(record(2));
        attributes(2).priznUv = 4;
        ShapeSidorova(record(3));
    }

    static void Salary(infobase::EmployeeRecord& rec, int first, int last, double roubles, double paid)
    {
        for (int month = first; month <= last; ++month) {
            Add(rec, archive(1, roubles * 100, 2011, month));
            Add(rec, archive(990, paid * 100, 2011, month));
        }
    }
    static void ShapeIvanov(infobase::EmployeeRecord& rec)
    {
        infobase::EmployeeHead& h = rec.head;
        h.fio = QString::fromUtf8("Иванов Петр Сидорович");
        h.pol = QString::fromUtf8("м");
        h.datR = date(5, 7, 1980);
        h.datPr1 = date(1, 2, 2008);
        h.strahPolis = QStringLiteral("112-233-445");
        h.propInd = QStringLiteral("160000");
        h.propKodReg = QStringLiteral("35");
        h.propGorod = QString::fromUtf8("Вологда");
        h.propUl = QString::fromUtf8("ул. Мира");
        h.propDom = QStringLiteral("5а");
        h.propKv = QStringLiteral("12");
        Salary(rec, 1, 12, 40'000, 6'400);
    }
    static void ShapePetrova(infobase::EmployeeRecord& rec)
    {
        infobase::EmployeeHead& h = rec.head;
        h.fio = QString::fromUtf8("Петрова Мария Олеговна");
        h.pol = QString::fromUtf8("Ж");
        h.datR = date(12, 11, 1960);
        h.datPr1 = date(15, 3, 2011);
        h.pspKod = QStringLiteral("10");
        h.propKodStr = QStringLiteral("643");
        h.propInd = QStringLiteral("124482");
        h.propKodReg = QStringLiteral("77");
        h.propGorod = QString::fromUtf8("Зеленоград");
        h.propDom = QStringLiteral("1106");
        Salary(rec, 3, 12, 30'000, 6'000);
    }
    static void ShapeKozlov(infobase::EmployeeRecord& rec)
    {
        infobase::EmployeeHead& h = rec.head;
        h.fio = QString::fromUtf8("Козлов Игорь Петрович");
        h.pol = QString::fromUtf8("м");
        h.datR = date(1, 1, 1967);
        h.datPr1 = date(10, 9, 2009);
        h.datUv1 = date(20, 6, 2011);
        h.strahPolis = QStringLiteral("000-000-000 00");
        h.propInd = QStringLiteral("190000");
        h.propKodReg = QStringLiteral("78");
        h.propGorod = QString::fromUtf8("Санкт-Петербург");
        h.propUl = QString::fromUtf8("Невский пр.");
        h.propDom = QStringLiteral("10");
        h.propKorp = QStringLiteral("б");
        h.propKv = QStringLiteral("7");
        Salary(rec, 1, 6, 35'000, 5'600);
        Add(rec, archive(600, 0, 2011, 3, 0, 16)); // 16 hours: two 8-hour days
    }
    static void ShapeSidorova(infobase::EmployeeRecord& rec)
    {
        infobase::EmployeeHead& h = rec.head;
        h.fio = QString::fromUtf8("Сидорова Анна Ивановна");
        h.pol = QString::fromUtf8("ж");
        h.datR = date(2, 3, 1962);
        h.datPr1 = date(1, 3, 2005);
        h.datUv1 = date(30, 4, 2011);
        h.datPr2 = date(1, 9, 2011);
        h.strahPolis = QStringLiteral("123 456 789");
        h.propInd = QStringLiteral("160009");
        h.propKodReg = QStringLiteral("66");
        h.propReg = QString::fromUtf8("Свердловская  обл");
        h.propRaj = QString::fromUtf8("Сысертский р-н");
        h.propPunkt = QString::fromUtf8("пос. Двуреченск");
        Salary(rec, 1, 4, 30'000, 6'000);
        Salary(rec, 9, 12, 30'000, 6'000);
        Add(rec, archive(156, 500'000, 2011, 2, 12));
        Add(rec, archive(155, 200'000, 2011, 10, 5));
        Add(rec, archive(157, 900'000, 2011, 11, 25));
    }

    QByteArray Pack(int format, int kind = PfrYear)
    {
        SaveBase();
        const PfrExportResult result = Export(format, kind);
        EXPECT_EQ(result.code, 0);
        return FileBytes(doc.TypWorkFile());
    }
};

TEST_F(PfTextPackTest, YearPackInFormatFour)
{
    const QByteArray pack = Pack(PfrSzv42);
    ExpectGolden(pack, "szv4-2-year.txt");
    // Иванов's number is valid; Петрова has none; Козлов's is all zeros.
    EXPECT_EQ(FileBytes(out("no_pensN.txt")), QByteArray::number(tabN(1)) + Ansi(" - Петрова Мария Олеговна\r\n") +
                                                  QByteArray::number(tabN(2)) + Ansi(" - Козлов Игорь Петрович\r\n"));
}

TEST_F(PfTextPackTest, YearPacksInFormatsFiveAndSix)
{
    ExpectGolden(Pack(PfrSzv41), "szv4-1-year.txt");
    ExpectGolden(Pack(PfrOazis4), "oazis4-year.txt");
}

TEST_F(PfTextPackTest, YearAndQuarterPacksInFormatSeven)
{
    ExpectGolden(Pack(PfrOazis3), "oazis3-year.txt");
    ExpectGolden(Pack(PfrOazis3, PfrQuarter2), "oazis3-quarter2.txt");
}

namespace {

QList<QByteArray> ServiceLines(const QByteArray& pack)
{
    QList<QByteArray> lines;
    for (const QByteArray& line : pack.split('\n'))
        if (line.startsWith(Ansi("\"СТАЖ\"")))
            lines << line.mid(7, 27); // the number and the two dates
    return lines;
}

} // namespace

TEST_F(PfTextPackTest, ServiceLineBoundsByHireAndDismissal)
{
    // Format 7, first quarter: Петрова hired inside it; Козлов (dismissed in
    // June) and Сидорова (in April) employed through it. A dismissal of 2011
    // is read as 2011, so it never drops the line as one of 1911 would.
    EXPECT_EQ(ServiceLines(Pack(PfrOazis3, PfrQuarter1)),
              (QList<QByteArray>{"1,\"01/01/2011\",\"31/03/2011\"", "1,\"15/03/2011\",\"31/03/2011\"",
                                 "1,\"01/01/2011\",\"31/03/2011\"", "1,\"01/01/2011\",\"31/03/2011\""}));
    // Third quarter: both dismissed before it keep their ИНДС lines but have no СТАЖ line.
    const QByteArray third = Pack(PfrOazis3, PfrQuarter3);
    EXPECT_EQ(ServiceLines(third),
              (QList<QByteArray>{"1,\"01/07/2011\",\"30/09/2011\"", "1,\"01/07/2011\",\"30/09/2011\""}));
    EXPECT_TRUE(third.contains(Ansi("\"КОЗЛОВ\"")));
    // Format 4 with the firm's report months ending in June: the window ends
    // on 30 June. Сидорова, whose second employment begins after it, is left out.
    base().config.r_m2 = 6;
    EXPECT_EQ(ServiceLines(Pack(PfrSzv42)),
              (QList<QByteArray>{"1,\"01/01/2011\",\"30/06/2011\"", "1,\"15/03/2011\",\"30/06/2011\"",
                                 "1,\"01/01/2011\",\"20/06/2011\""}));
    // Employed again from May: her second line runs from the second hire date.
    record(3).head.datPr2 = date(16, 5, 2011);
    EXPECT_EQ(ServiceLines(Pack(PfrSzv42)).mid(3),
              (QList<QByteArray>{"1,\"01/01/2011\",\"30/04/2011\"", "2,\"16/05/2011\",\"30/06/2011\""}));
}

TEST_F(PfTextPackTest, DismissedBeforeTheYearIsLeftOutWithoutAGap)
{
    record(2).head.datUv1 = date(20, 12, 2010);
    const QByteArray pack = Pack(PfrOazis3);
    const QList<QByteArray> lines = pack.split('\n');
    QList<QByteArray> heads;
    for (const QByteArray& line : lines)
        if (line.startsWith(Ansi("\"ИНДС\"")))
            heads << line.left(line.indexOf(Ansi(",\"ИСХД")) + 1);
    EXPECT_EQ(heads, (QList<QByteArray>{Ansi("\"ИНДС\",1,"), Ansi("\"ИНДС\",2,"), Ansi("\"ИНДС\",3,")}));
    EXPECT_TRUE(pack.contains(Ansi("\"ТИПД\",\"ИНДС\",3\r\n")));
    EXPECT_FALSE(pack.contains(Ansi("КОЗЛОВ")));
}

TEST_F(PfTextPackTest, NoDayLengthToCountHoursFails)
{
    base().scheduleAt(1).rdHr = 0;
    base().scheduleAt(1).rdMin = 0;
    base().firm.parWord = 0;
    SaveBase();
    EXPECT_EQ(Export(PfrSzv42).code, -12);
    EXPECT_EQ(ExchangeErrorText(-12), QString::fromUtf8("Не указана длина рабочего дня"));
    // Format 7 does not count time: it is written.
    EXPECT_EQ(Export(PfrOazis3).code, 0);
}

TEST_F(PfTextPackTest, FormatSixBefore2002IsRefused)
{
    base().config.r_g = 101;
    record(0).head.datPr1 = date(1, 2, 1999); // employed in 2001
    SaveBase();
    EXPECT_EQ(Export(PfrOazis4).code, -34);
}

#ifdef KALVOR_DATA_DIR

// The demo base's year 2011 in formats 4 and 7, copied under "Z2011_0.TXT".
TEST_F(PfrDemoWorld, TextYearPacksOfTheDemoBase)
{
    for (int format : {int(PfrSzv42), int(PfrOazis3)}) {
        const PfrExportRun run = YearRun(format);
        const PfrExportResult result = ExportPensionFund({}, run, doc);
        ASSERT_EQ(result.code, 0) << "format " << format;
        EXPECT_GT(result.recordCount, 0);
        CopyQuestionnaireFile(run.options, run.workFile, folder, doc);
        const QByteArray pack = FileBytes(folder + QStringLiteral("Z2011_0.TXT"));
        EXPECT_EQ(pack, FileBytes(run.workFile));
        const QList<QByteArray> lines = pack.split('\n');
        int records = 0, months = 0, service = 0;
        for (const QByteArray& line : lines) {
            EXPECT_TRUE(line.isEmpty() || line.endsWith('\r'));
            records += line.startsWith(Ansi("\"ИНДС\"")) ? 1 : 0;
            months += line.startsWith(Ansi("\"НЧСЛ\"")) ? 1 : 0;
            service += line.startsWith(Ansi("\"СТАЖ\"")) ? 1 : 0;
        }
        EXPECT_EQ(records, result.recordCount);
        EXPECT_EQ(months, format == PfrOazis3 ? 12 * records : records);
        EXPECT_GT(service, 0);
        EXPECT_TRUE(pack.contains(Ansi("\"ТИПД\",\"ИНДС\",") + QByteArray::number(records) + "\r\n"));
    }
}

// A passport's date of issue kept as text reads the same in both forms the
// bases hold: "01.01.2002" as the demo has it for 101, "1.1.02" as the card
// stores a typed date. The questionnaire pack writes it "dd/mm/yyyy", the
// dBASE export's PASP_DATA "dd.mm.yy".
TEST_F(PfrDemoWorld, PassportDatesInEitherFormInTheQuestionnaireAndTheDbfExport)
{
    infobase::CInfoBase& base = doc.infoBase;
    const int slot = base.list[std::size_t(base.FindEmployee(101))].slot;
    auto check = [&](const char* stored) {
        SCOPED_TRACE(stored);
        LoadEmployee(base, slot);
        ASSERT_EQ(base.current.head.pspDat, QString::fromLatin1(stored));
        PfrExportRun run = YearRun(PfrSzv42);
        run.options.kind = PfrQuestionnaires;
        ASSERT_EQ(ExportPensionFund({}, run, doc).code, 0);
        const QByteArray pack = FileBytes(run.workFile);
        const qsizetype line = pack.indexOf(Ansi("\"ПАСПОРТ РОССИИ\""));
        ASSERT_GE(line, 0);
        EXPECT_EQ(pack.mid(line, pack.indexOf("\r\n", line) - line).split(',').value(5), QByteArray("\"01/01/2002\""));
        const QString konst = folder + QStringLiteral("konst.dbf");
        QFile::remove(konst);
        int listChanged = 0;
        infobase::Selection only;
        only.tabN = 101;
        ASSERT_EQ(kalvor::exchange::ExportDbf(doc, only, kalvor::exchange::DbfConstInfo, kalvor::exchange::DbfWrite,
                                              konst, listChanged, 0),
                  0);
        const kalvor::dbf::DbfTable table = kalvor::dbf::DbfTable::read(konst);
        ASSERT_EQ(table.recordCount(), 1);
        EXPECT_EQ(table.value(0, table.fieldIndex("pasp_data")), QByteArray("01.01.02"));
    };
    check("01.01.2002");
    base.current.head.pspDat = QStringLiteral("1.1.02");
    SaveEmployee(base, slot);
    check("1.1.02");
}

#endif
