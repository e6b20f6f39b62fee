// The insured persons export: the period tests, the small rules of the pack
// (check numbers, series, pack numbers, the XML name), the text heads and the
// XML envelope against their bytes, and the questionnaire pack of a
// three-employee base in formats 4 and 6 with its "no_pensN.txt".
#include "exchange/PfrExport.h"
#include "exchange/PfAnketa.h"
#include "exchange/PfrExportDriver.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "reports/social/PensionXml.h"
#include "support/TestFixture.h"
#include "values/Clock.h"
#include "values/Messages.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::exchange;
using namespace kalvor::infobase;

namespace {

const QDate kToday(2026, 3, 20);

QByteArray Ansi(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Readable form of windows-1251 bytes for the failure messages.
std::string Text(const QByteArray& bytes) { return codepage::fromCp1251(bytes).toStdString(); }

u16 Date(int day, int month, int year) { return PackedDate::make(day, month, year).value; }

PfrPeriodFacts Facts(u16 hired, u16 dismissed = 0)
{
    PfrPeriodFacts facts;
    facts.hired = PackedDate(hired);
    facts.dismissed = PackedDate(dismissed);
    return facts;
}

FirmInfo Firm(const char* pens = "035-001-123456")
{
    FirmInfo firm;
    firm.texts[FirmInfo::firmName] = QString::fromUtf8(" ООО  \"Ромашка\" & К ");
    firm.texts[FirmInfo::firmPens] = QString::fromUtf8(pens);
    firm.texts[FirmInfo::firmINN] = QStringLiteral("3525000001");
    firm.texts[FirmInfo::firmKPP] = QStringLiteral("352501001");
    firm.texts[FirmInfo::firmOGRN] = QStringLiteral("1023500000001");
    return firm;
}

} // namespace

// ------------------------------------------------------------- period tests

TEST(PfrPeriodTests, HireAndDismissalAroundThePeriod)
{
    const PfrKindMonths q2 = PfrMonthsOfKind(PfrQuarter2); // April to June
    // Hired before the period and still there: the whole period.
    PfrEmployment e = PfrEmploymentInPeriod(Facts(Date(1, 2, 2009)), 2011, q2);
    EXPECT_TRUE(e.employed);
    EXPECT_EQ(e.firstMonth, 4);
    EXPECT_EQ(e.lastMonth, 6);
    // Hired in May, dismissed in June: the months worked narrow the period.
    e = PfrEmploymentInPeriod(Facts(Date(10, 5, 2011), Date(15, 6, 2011)), 2011, q2);
    EXPECT_TRUE(e.employed);
    EXPECT_EQ(e.firstMonth, 5);
    EXPECT_EQ(e.lastMonth, 6);
    // Hired after the period, in the same year or a later one.
    EXPECT_FALSE(PfrEmploymentInPeriod(Facts(Date(1, 7, 2011)), 2011, q2).employed);
    EXPECT_FALSE(PfrEmploymentInPeriod(Facts(Date(1, 1, 2012)), 2011, q2).employed);
    // Dismissed before the period, in the year or an earlier one.
    EXPECT_FALSE(PfrEmploymentInPeriod(Facts(Date(1, 1, 2005), Date(31, 3, 2011)), 2011, q2).employed);
    EXPECT_FALSE(PfrEmploymentInPeriod(Facts(Date(1, 1, 2005), Date(31, 12, 2010)), 2011, q2).employed);
    // Dismissed after the period: the period stays whole.
    e = PfrEmploymentInPeriod(Facts(Date(1, 1, 2005), Date(1, 9, 2011)), 2011, q2);
    EXPECT_TRUE(e.employed);
    EXPECT_EQ(e.lastMonth, 6);
}

TEST(PfrPeriodTests, SecondEmploymentAndDisability)
{
    const PfrKindMonths year = PfrMonthsOfKind(PfrYear);
    // Dismissed in 2010, employed again from March 2011: counts as employed.
    PfrPeriodFacts facts = Facts(Date(1, 1, 2005), Date(31, 12, 2010));
    facts.hired2 = PackedDate(Date(1, 3, 2011));
    PfrEmployment e = PfrEmploymentInPeriod(facts, 2011, year);
    EXPECT_TRUE(e.employed);
    EXPECT_FALSE(e.second);
    // Employed throughout, with a second employment ended in the period.
    facts = Facts(Date(1, 1, 2005));
    facts.hired2 = PackedDate(Date(1, 2, 2011));
    facts.dismissed2 = PackedDate(Date(30, 6, 2011));
    e = PfrEmploymentInPeriod(facts, 2011, year);
    EXPECT_TRUE(e.employed);
    EXPECT_TRUE(e.second);
    // A second employment ended before the period does not count.
    facts.dismissed2 = PackedDate(Date(30, 12, 2010));
    EXPECT_FALSE(PfrEmploymentInPeriod(facts, 2011, year).second);
    // Disability: an open period that began before, a closed one that ended before.
    facts = Facts(Date(1, 1, 2005));
    facts.disabilityBegin[1] = 2009 * 16 + 5;
    EXPECT_TRUE(PfrEmploymentInPeriod(facts, 2011, year).disabled);
    facts.disabilityEnd[1] = 2010 * 16 + 12;
    EXPECT_FALSE(PfrEmploymentInPeriod(facts, 2011, year).disabled);
}

TEST(PfrPeriodTests, FormatsSplitByDisabilityAndPeriodsOfService)
{
    PfrEmployment plain;
    plain.employed = true;
    PfrEmployment twoJobs = plain;
    twoJobs.second = true;
    PfrEmployment disabled = plain;
    disabled.disabled = true;

    EXPECT_TRUE(PfrTakesEmployee(plain, false, false, PfrSzv62));
    EXPECT_FALSE(PfrTakesEmployee(plain, false, true, PfrSzv62)); // dated archive: several periods
    EXPECT_TRUE(PfrTakesEmployee(plain, false, true, PfrSzv61));
    EXPECT_FALSE(PfrTakesEmployee(plain, false, false, PfrSzv61));
    EXPECT_FALSE(PfrTakesEmployee(twoJobs, false, false, PfrSzv62));
    EXPECT_TRUE(PfrTakesEmployee(twoJobs, false, false, PfrSzv61));
    EXPECT_FALSE(PfrTakesEmployee(disabled, false, false, PfrSzv62));
    EXPECT_TRUE(PfrTakesEmployee(disabled, false, false, PfrOoi1));
    EXPECT_FALSE(PfrTakesEmployee(plain, false, false, PfrOoi1));
    EXPECT_TRUE(PfrTakesEmployee(twoJobs, false, false, PfrSzv42));

    // Not employed, but contributions show for the period.
    PfrEmployment gone;
    EXPECT_FALSE(PfrTakesEmployee(gone, false, false, PfrSzv42));
    EXPECT_TRUE(PfrTakesEmployee(gone, true, false, PfrSzv42));
}

// ------------------------------------------------------------- small rules

TEST(PfrPackRules, PackNumbersYearsAndRegions)
{
    EXPECT_EQ(PfrDefaultPackNumber(0, PfrSzv61), 2);
    EXPECT_EQ(PfrDefaultPackNumber(0, PfrSzv62), 1);
    EXPECT_EQ(PfrDefaultPackNumber(0, PfrOazis4), 1);
    EXPECT_EQ(PfrDefaultPackNumber(7, PfrSzv61), 7);

    InfoBaseConfig config;
    config.tekMes = u16(2026 * 16 + 3);
    EXPECT_EQ(PfrReportYear(config), 2026); // not set: the current month's year, never 1900
    config.r_g = i8(111);
    EXPECT_EQ(PfrReportYear(config), 2011);

    EXPECT_EQ(PfrRegionName(35), QString::fromUtf8("ВОЛОГОДСКАЯ ОБЛ"));
    EXPECT_EQ(PfrRegionName(78), QString::fromUtf8("САНКТ-ПЕТЕРБУРГ Г"));
    EXPECT_TRUE(PfrRegionName(66).isEmpty());

    EXPECT_EQ(PfrExportKindHelpLines().front(), QString::fromUtf8("0|Анкетные данные"));
    EXPECT_EQ(PfrFormatHelpLines().at(6), QString::fromUtf8("6|ОАЗИС 4.0"));
}

TEST(PfrPackRules, XmlFileNameFallsBackForAMalformedNumber)
{
    EXPECT_EQ(PfrXmlFileName(Firm(), 2011, 3),
              QStringLiteral("PFR-700-Y-2011-ORG-035-001-123456-DCK-00003-DPT-000000-DCK-00000.XML"));
    EXPECT_EQ(PfrXmlFileName(Firm("035001123456"), 2011, 0),
              QStringLiteral("PFR-700-Y-2011-ORG-000-000-000000-DCK-00001-DPT-000000-DCK-00000.XML"));
    EXPECT_EQ(PfrXmlFileName(Firm("035-001-1234"), 2011, 1),
              QStringLiteral("PFR-700-Y-2011-ORG-000-000-000000-DCK-00001-DPT-000000-DCK-00000.XML"));
}

TEST(PfrPackRules, InsuranceCheckNumbers)
{
    // 1*9 + 1*8 + 2*7 + 2*6 + 3*5 + 3*4 + 4*3 + 4*2 + 5*1 = 95
    EXPECT_EQ(PfrInsuranceNumberWithCheck(QStringLiteral("112-233-445")), QByteArray("112-233-445 95"));
    // 9 nines: 9 * 45 = 405, 405 mod 101 = 1
    EXPECT_EQ(PfrInsuranceNumberWithCheck(QStringLiteral("999-999-999")), QByteArray("999-999-999 01"));
    // A sum of 100 is written 00: 1*9 + 9*8 + 1*7 + 2*6 = 100
    EXPECT_EQ(PfrInsuranceCheckNumber("191-200-000"), 0);
    EXPECT_EQ(PfrInsuranceNumberWithCheck(QStringLiteral("191-200-000")), QByteArray("191-200-000 00"));
    // Blanks dropped before the digits are read.
    EXPECT_EQ(PfrInsuranceNumberWithCheck(QStringLiteral(" 112-233-445")), QByteArray("112-233-445 95"));
    EXPECT_TRUE(PfrInsuranceNumberWithCheck(QStringLiteral("000-000-000")).isEmpty());
    EXPECT_TRUE(PfrInsuranceNumberWithCheck(QStringLiteral("   ")).isEmpty());
}

TEST(PfrPackRules, SeriesSplitting)
{
    PfrDocumentSeries s = PfrSplitSeries(QStringLiteral("19 03"));
    EXPECT_EQ(s.first, QByteArray("19"));
    EXPECT_EQ(s.second, QByteArray("03"));
    s = PfrSplitSeries(QString::fromUtf8("IV - АБ"));
    EXPECT_EQ(s.first, QByteArray("IV"));
    EXPECT_EQ(s.second, Ansi("АБ"));
    s = PfrSplitSeries(QStringLiteral("4507"));
    EXPECT_EQ(s.first, QByteArray("4507"));
    EXPECT_TRUE(s.second.isEmpty());
}

// ------------------------------------------------------------- heads

TEST(PfrPackHeads, TextHeadsOfTheFourFormats)
{
    PfrPackTotals totals;
    totals.earnings = {100'000, 50'000, 0};
    totals.earningsExtra = 2'550;
    totals.insuranceAccrued = 12'345;
    totals.fundedAccrued = 5'005;
    const FirmInfo firm = Firm();
    const QByteArray employer = Ansi("\"РБТД\",\"РБТД\",\"035-001-123456\",");
    const QByteArray name = Ansi("\"ООО 'РОМАШКА' & К\"\r\n");
    const QByteArray inventory =
        Ansi("\"ПАЧК\",3,\"ОПИСЬ\",\"ОП61\",\"20/03/2026\",1,2011,\"НР\",\"\",\"\",\"ИСХД\",\"\",0,2011,"
             "1525.50,1500.00,123.45,50.05,0.00,0,0\r\n");

    EXPECT_EQ(PfrTextHead(PfrSzv42, 3, 2011, totals, PfrRecordType(PfrYear, PfrSzv42), 5, firm, kToday),
              Ansi("\"ЗГЛВ\",\"04.00\",\"АРМ 'Кальвор'\",\"35.8\"\r\n") + employer + "3525000001,352501001," + name +
                  inventory + Ansi("\"ТИПД\",\"ИНДС\",5\r\n"));
    EXPECT_EQ(PfrTextHead(PfrSzv41, 3, 2011, totals, PfrRecordType(PfrYear, PfrSzv41), 5, firm, kToday),
              Ansi("\"ЗГЛВ\",\"04.00\",\"АРМ 'Кальвор'\",\"35.8\"\r\n") + employer + "3525000001,352501001," + name +
                  inventory + Ansi("\"ТИПД\",\"ИН42\",5\r\n"));
    EXPECT_EQ(PfrTextHead(PfrOazis4, 3, 2011, totals, PfrRecordType(PfrQuarter1, PfrOazis4), 2, firm, kToday),
              Ansi("\"ЗГЛВ\",\"04.00\"\r\n") + employer + name + Ansi("\"ПАЧК\",3,\"20/03/2026\",1\r\n") +
                  Ansi("\"ТИПД\",\"ИН42\",2\r\n"));
    EXPECT_EQ(PfrTextHead(PfrOazis3, 1, 2011, totals, PfrRecordType(PfrQuestionnaires, PfrOazis3), 4, firm, kToday),
              Ansi("\"ЗГЛВ\",\"03.00\",\"АРМ 'Кальвор'\",\"35.8\"\r\n") + employer + name +
                  Ansi("\"ПАЧК\",1,\"20/03/2026\",1\r\n") + Ansi("\"ТИПД\",\"АНКТ\",4\r\n"));
}

// ------------------------------------------------------------- runs on a base

class PfrExportRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        base().workFolder = dir.path() + QLatin1Char('/');
        base().baseName = QStringLiteral("pfr");
        CreateSchemaBase(dir.path(), base().baseName);
        OpenBase(base());
        fx = BuildFixtureBase(base(), 3, 5);
        BuildFixtureRefFiles(doc.refFiles);
        ShapeEmployees();
        SaveAll(base(), fx.records);
        base().firm = Firm();
        base().config.r_g = i8(111);
    }
    void TearDown() override { CloseBase(base()); }

    CInfoBase& base() { return doc.infoBase; }
    int tabN(int index) const { return doc.infoBase.list[std::size_t(index)].tabN(); }
    EmployeeHead& head(int index) { return fx.records[std::size_t(base().list[std::size_t(index)].slot - 1)].head; }

    void ShapeEmployees()
    {
        for (auto& record : fx.records) record.head = EmployeeHead{};
        EmployeeHead& a = head(0);
        a.fio = QString::fromUtf8("Иванов  Петр Сидорович");
        a.pol = QString::fromUtf8("м");
        a.datR = Date(5, 7, 1985);
        a.datPr1 = Date(1, 2, 2009);
        a.bdGorod = QString::fromUtf8("г.  Вологда");
        a.bdReg = QString::fromUtf8("Вологодская обл");
        a.bdStr = QString::fromUtf8("Россия");
        a.strahPolis = QStringLiteral("112-233-445");
        a.pspKod = QStringLiteral("21");
        a.pspSer = QStringLiteral("19 03");
        a.pspNom = QStringLiteral("123456");
        a.pspDat = QStringLiteral("14.05.03");
        a.pspKem = QString::fromUtf8("ОВД  г. Вологды");
        a.propInd = QStringLiteral("160000");
        a.propKodReg = QStringLiteral("35");
        a.propGorod = QString::fromUtf8("Вологда");
        a.propUl = QString::fromUtf8("ул. Мира");
        a.propDom = QStringLiteral("5");
        a.propKv = QStringLiteral("12");
        a.gitInd = QStringLiteral("160000");
        a.gitAdr = QString::fromUtf8("Вологда, ул. Мира 5-12");
        a.gitPhone = QStringLiteral("72 11 33");

        EmployeeHead& b = head(1);
        b.fio = QString::fromUtf8("Сидорова Анна");
        b.pol = QString::fromUtf8("Ж");
        b.datPr1 = Date(1, 3, 2010);
        b.pspKod = QStringLiteral("10");
        b.pspSer = QString::fromUtf8("ив-аб");
        b.pspNom = QStringLiteral("7");
        b.pspDat = QStringLiteral("01.02.98");
        b.propKodStr = QStringLiteral("643");
        b.propInd = QStringLiteral("101000");
        b.propKodReg = QStringLiteral("77");
        b.propGorod = QString::fromUtf8("Москва");
        b.propUl = QString::fromUtf8("ул. Арбат");
        b.propDom = QStringLiteral("1");
        b.propKorp = QStringLiteral("2");
        b.propKv = QStringLiteral("3");

        EmployeeHead& c = head(2);
        c.fio = QString::fromUtf8("Петров Олег Ильич");
        c.pol = QStringLiteral("x");
        c.datPr1 = Date(1, 3, 2010);
        c.strahPolis = QStringLiteral("000-000-000 00");
        c.pspKod = QStringLiteral("99");
        c.pspDat = QStringLiteral("31.13.05");
        c.propKodReg = QStringLiteral("66");
        c.propReg = QString::fromUtf8("Свердловская  обл");
    }

    PfrExportRun Run(int format, int kind = PfrQuestionnaires)
    {
        PfrExportRun run;
        run.workFile = doc.TypWorkFile();
        run.outputFolder = base().workFolder;
        run.format = format;
        run.options.kind = std::uint8_t(kind);
        run.options.packNumber = std::int16_t(PfrDefaultPackNumber(0, format));
        return run;
    }

    QString out(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    QByteArray LineOfFirst(int format)
    {
        const QByteArray insurance =
            format == PfrOazis4 ? "\"112-233-445 95\",\"" + QByteArray::number(tabN(0)) + "\"," : QByteArray();
        return Ansi("\"___'\",1,\"20/03/2026\",") + insurance +
               Ansi("\"ИВАНОВ\",\"ПЕТР\",\"СИДОРОВИЧ\",\"М\",\"СТАНДАРТ\",\"05/07/1985\",0,0,0,\"СТАНДАРТ\","
                    "\"Г. ВОЛОГДА\",\"\",\"Вологодская обл\",\"Россия\",") +
               (format == PfrOazis4 ? "" : "\"\",") +
               Ansi("\"ПАСПОРТ РОССИИ\",\"\",\"19\",\"03\",123456,\"14/05/2003\",\"ОВД Г. ВОЛОГДЫ\","
                    "\",160000,ВОЛОГОДСКАЯ ОБЛ,,ВОЛОГДА,,УЛ. МИРА,5,,12\",\"160000,ВОЛОГДА, УЛ. МИРА "
                    "5-12\",\"721133\"") +
               (format == PfrOazis4 ? ",\"\"" : "") + "\r\n";
    }
    QByteArray LineOfSecond(int format)
    {
        const QByteArray insurance =
            format == PfrOazis4 ? "\"\",\"" + QByteArray::number(tabN(1)) + "\"," : QByteArray();
        return Ansi("\"___'\",2,\"20/03/2026\",") + insurance +
               Ansi("\"СИДОРОВА\",\"АННА\",\"\",\"Ж\",\"СТАНДАРТ\",\"\",0,0,0,\"СТАНДАРТ\",\"\",\"\",\"\",\"\",") +
               (format == PfrOazis4 ? "" : "\"\",") +
               Ansi("\"ИНПАСПОРТ\",\"\",\"ив\",\"\",7,\"01/02/1998\",\"\",\"643,101000,МОСКВА Г,,,,УЛ. АРБАТ,1,2,3\","
                    "\"\",\"\"") +
               (format == PfrOazis4 ? ",\"\"" : "") + "\r\n";
    }
    QByteArray LineOfThird(int format)
    {
        const QByteArray insurance =
            format == PfrOazis4 ? "\"\",\"" + QByteArray::number(tabN(2)) + "\"," : QByteArray();
        return Ansi("\"___'\",3,\"20/03/2026\",") + insurance +
               Ansi("\"ПЕТРОВ\",\"ОЛЕГ\",\"ИЛЬИЧ\",\"\",\"СТАНДАРТ\",\"\",0,0,0,\"СТАНДАРТ\",\"\",\"\",\"\",\"\",") +
               (format == PfrOazis4 ? "" : "\"\",") +
               Ansi("\"ПРОЧЕЕ\",\"\",\"\",\"\",0,\"\",\"\",\",,СВЕРДЛОВСКАЯ ОБЛ,,,,,,,\",\"\",\"\"") +
               (format == PfrOazis4 ? ",\"\"" : "") + "\r\n";
    }
    QByteArray NoPensionLine(int index, const char* name)
    {
        return QByteArray::number(tabN(index)) + " - " + Ansi(name) + "\r\n";
    }

    QTemporaryDir dir;
    PayrollDoc doc;
    FixtureBase fx;
    ScopedToday today{kToday};
};

TEST_F(PfrExportRunTest, QuestionnairePackInFormatFour)
{
    const PfrExportResult result = ExportPensionFund({}, Run(PfrSzv42), doc);
    ASSERT_EQ(result.code, 0);
    EXPECT_EQ(result.recordCount, 3);
    const QByteArray head =
        Ansi("\"ЗГЛВ\",\"04.00\",\"АРМ 'Кальвор'\",\"35.8\"\r\n"
             "\"РБТД\",\"РБТД\",\"035-001-123456\",3525000001,352501001,\"ООО 'РОМАШКА' & К\"\r\n"
             "\"ПАЧК\",1,\"ОПИСЬ\",\"ОП61\",\"20/03/2026\",1,2011,\"НР\",\"\",\"\",\"ИСХД\",\"\",0,2011,"
             "0.00,0.00,0.00,0.00,0.00,0,0\r\n"
             "\"ТИПД\",\"АНКТ\",3\r\n");
    EXPECT_EQ(Text(FileBytes(doc.TypWorkFile())),
              Text(head + LineOfFirst(PfrSzv42) + LineOfSecond(PfrSzv42) + LineOfThird(PfrSzv42)));
    // Format 4 lists everybody, numbers or not.
    EXPECT_EQ(Text(FileBytes(out("no_pensN.txt"))),
              Text(NoPensionLine(0, "Иванов Петр Сидорович") + NoPensionLine(1, "Сидорова Анна") +
                   NoPensionLine(2, "Петров Олег Ильич")));
}

TEST_F(PfrExportRunTest, QuestionnairePackInFormatSixAndItsFinalName)
{
    const PfrExportRun run = Run(PfrOazis4);
    const PfrExportResult result = ExportPensionFund({}, run, doc);
    ASSERT_EQ(result.code, 0);
    const QByteArray head = Ansi("\"ЗГЛВ\",\"04.00\"\r\n"
                                 "\"РБТД\",\"РБТД\",\"035-001-123456\",\"ООО 'РОМАШКА' & К\"\r\n"
                                 "\"ПАЧК\",1,\"20/03/2026\",1\r\n"
                                 "\"ТИПД\",\"АНКТ\",3\r\n");
    const QByteArray pack = head + LineOfFirst(PfrOazis4) + LineOfSecond(PfrOazis4) + LineOfThird(PfrOazis4);
    EXPECT_EQ(Text(FileBytes(doc.TypWorkFile())), Text(pack));
    // The first employee's number is complete: he is not listed.
    EXPECT_EQ(Text(FileBytes(out("no_pensN.txt"))),
              Text(NoPensionLine(1, "Сидорова Анна") + NoPensionLine(2, "Петров Олег Ильич")));

    CopyQuestionnaireFile(run.options, run.workFile, run.outputFolder, doc);
    EXPECT_EQ(Text(FileBytes(out("ANKETA.TXT"))), Text(pack));
    PfrExportOptions year = run.options;
    year.kind = PfrYear;
    EXPECT_EQ(PfrQuestionnaireFileName(year, doc), QStringLiteral("Z2011_0.TXT"));
    // A copy that cannot be made is reported and leaves the old file.
    EXPECT_THROW(CopyQuestionnaireFile(run.options, out("missing.typ"), run.outputFolder, doc), TextError);
    EXPECT_EQ(Text(FileBytes(out("ANKETA.TXT"))), Text(pack));
}

// A card whose insurance number carries a wrong check number (95 is right
// for 112-233-445): the questionnaire holds the number as the card holds it,
// and the run says so, naming the employee.
TEST_F(PfrExportRunTest, AWrongCheckNumberIsWrittenAsTheCardHoldsItAndSaid)
{
    head(0).strahPolis = QStringLiteral("112-233-445 10");
    SaveAll(base(), fx.records);
    const PfrExportResult result = ExportPensionFund({}, Run(PfrOazis4), doc);
    ASSERT_EQ(result.code, 0);
    const QByteArray pack = FileBytes(doc.TypWorkFile());
    EXPECT_TRUE(pack.contains("\"112-233-445 10\""));
    EXPECT_FALSE(pack.contains("112-233-445 95"));
    ASSERT_EQ(result.said.size(), 1) << result.said.join(u'\n').toStdString();
    EXPECT_TRUE(result.said[0].startsWith(QStringLiteral("Таб.N %1 ").arg(tabN(0)))) << result.said[0].toStdString();
    EXPECT_TRUE(result.said[0].endsWith(
        QStringLiteral(" - предупреждение: неверное контрольное число страхового номера 112-233-445 10 (по цифрам "
                       "номера - 95): в файл записан номер из карточки, исправьте его")))
        << result.said[0].toStdString();
    // The questionnaires of format 4 carry no number: nothing to say.
    EXPECT_TRUE(ExportPensionFund({}, Run(PfrSzv42), doc).said.isEmpty());
    // A "%1" typed in the number is said as typed.
    head(0).strahPolis = QStringLiteral("112-233-445 %1");
    SaveAll(base(), fx.records);
    const PfrExportResult typed = ExportPensionFund({}, Run(PfrOazis4), doc);
    ASSERT_EQ(typed.said.size(), 1) << typed.said.join(u'\n').toStdString();
    EXPECT_TRUE(
        typed.said[0].endsWith(QStringLiteral(" 112-233-445 %1 (по цифрам номера - 95): в файл записан номер из "
                                              "карточки, исправьте его")))
        << typed.said[0].toStdString();
}

TEST_F(PfrExportRunTest, XmlEnvelopeAroundAStubRecord)
{
    PfrExportRun run = Run(PfrSzv62, PfrYear);
    run.options.personnelNumber = u16(tabN(0));
    int counted = 0;
    run.writer = [&counted](PfrRecordCall& call) {
        if (call.pass == 0) {
            ++counted;
            call.totals->insuranceAccrued += 123'456;
            call.totals->fundedPaid += 100;
            return 0;
        }
        call.pack->write(call.indentation + "<stub/>\r\n");
        return 0;
    };
    const PfrExportResult result = ExportPensionFund({}, run, doc);
    ASSERT_EQ(result.code, 0);
    EXPECT_EQ(counted, 1);
    const QString name = QStringLiteral("PFR-700-Y-2011-ORG-035-001-123456-DCK-00001-DPT-000000-DCK-00000.XML");
    EXPECT_EQ(result.xmlFile, out(name.toUtf8().constData()));
    const QByteArray expected =
        Ansi("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
             "<ФайлПФР>\r\n"
             "\t<ИмяФайла>PFR-700-Y-2011-ORG-035-001-123456-DCK-00001-DPT-000000-DCK-00000.XML</ИмяФайла>\r\n"
             "\t<ЗаголовокФайла>\r\n"
             "\t\t<ВерсияФормата>07.00</ВерсияФормата>\r\n"
             "\t\t<ТипФайла>ВНЕШНИЙ</ТипФайла>\r\n"
             "\t\t<ПрограммаПодготовкиДанных>\r\n"
             "\t\t\t<НазваниеПрограммы>АРМ КАЛЬВОР</НазваниеПрограммы>\r\n"
             "\t\t\t<Версия>35.8</Версия>\r\n"
             "\t\t</ПрограммаПодготовкиДанных>\r\n"
             "\t\t<ИсточникДанных>СТРАХОВАТЕЛЬ</ИсточникДанных>\r\n"
             "\t</ЗаголовокФайла>\r\n"
             "\t<ПачкаВходящихДокументов Окружение=\"В составе файла\" Стадия=\"До обработки\">\r\n"
             "\t\t<ВХОДЯЩАЯ_ОПИСЬ_ПО_СТРАХОВЫМ_ВЗНОСАМ>\r\n"
             "\t\t\t<НомерВпачке>1</НомерВпачке>\r\n"
             "\t\t\t<ТипВходящейОписи>ОПИСЬ ПАЧКИ</ТипВходящейОписи>\r\n"
             "\t\t\t<СоставительПачки>\r\n"
             "\t\t\t\t<НалоговыйНомер>\r\n"
             "\t\t\t\t\t<ИНН>003525000001</ИНН>\r\n"
             "\t\t\t\t\t<КПП>352501001</КПП>\r\n"
             "\t\t\t\t</НалоговыйНомер>\r\n"
             "\t\t\t\t<КодЕГРЮЛ>1023500000001</КодЕГРЮЛ>\r\n"
             "\t\t\t\t<Форма>ОБЩЕСТВО С ОГРАНИЧЕННОЙ ОТВЕТСТВЕННОСТЬЮ</Форма>\r\n"
             "\t\t\t\t<НаименованиеОрганизации>ООО \"Ромашка\" &amp; К</НаименованиеОрганизации>\r\n"
             "\t\t\t\t<НаименованиеКраткое>ООО \"Ромашка\" &amp; К</НаименованиеКраткое>\r\n"
             "\t\t\t\t<РегистрационныйНомер>035-001-123456</РегистрационныйНомер>\r\n"
             "\t\t\t</СоставительПачки>\r\n"
             "\t\t\t<НомерПачки>\r\n"
             "\t\t\t\t<Основной>1</Основной>\r\n"
             "\t\t\t</НомерПачки>\r\n"
             "\t\t\t<СоставДокументов>\r\n"
             "\t\t\t\t<Количество>1</Количество>\r\n"
             "\t\t\t\t<НаличиеДокументов>\r\n"
             "\t\t\t\t\t<ТипДокумента>СВЕДЕНИЯ_О_СТРАХОВЫХ_ВЗНОСАХ_И_СТРАХОВОМ_СТАЖЕ_ЗЛ</ТипДокумента>\r\n"
             "\t\t\t\t\t<Количество>1</Количество>\r\n"
             "\t\t\t\t</НаличиеДокументов>\r\n"
             "\t\t\t</СоставДокументов>\r\n"
             "\t\t\t<ДатаСоставления>20.03.2026</ДатаСоставления>\r\n"
             "\t\t\t<ТипСведений>ИСХОДНАЯ</ТипСведений>\r\n"
             "\t\t\t<КодКатегории>НР</КодКатегории>\r\n"
             "\t\t\t<ОтчетныйПериод>\r\n"
             "\t\t\t\t<Квартал>4</Квартал>\r\n"
             "\t\t\t\t<Год>2011</Год>\r\n"
             "\t\t\t</ОтчетныйПериод>\r\n"
             "\t\t\t<СуммаВзносовНаСтраховую>\r\n"
             "\t\t\t\t<Начислено>1234.56</Начислено>\r\n"
             "\t\t\t\t<Уплачено>0.00</Уплачено>\r\n"
             "\t\t\t</СуммаВзносовНаСтраховую>\r\n"
             "\t\t\t<СуммаВзносовНаНакопительную>\r\n"
             "\t\t\t\t<Начислено>0.00</Начислено>\r\n"
             "\t\t\t\t<Уплачено>1.00</Уплачено>\r\n"
             "\t\t\t</СуммаВзносовНаНакопительную>\r\n"
             "\t\t</ВХОДЯЩАЯ_ОПИСЬ_ПО_СТРАХОВЫМ_ВЗНОСАМ>\r\n"
             "\t\t<stub/>\r\n"
             "\t</ПачкаВходящихДокументов>\r\n"
             "</ФайлПФР>");
    const QByteArray written = FileBytes(result.xmlFile);
    for (qsizetype i = 0; i < std::min(written.size(), expected.size()); ++i) {
        if (written[i] != expected[i]) {
            ADD_FAILURE() << "first difference at " << i << ": " << Text(written.mid(i - 40, 80)) << " | "
                          << Text(expected.mid(i - 40, 80));
            break;
        }
    }
    EXPECT_EQ(written.size(), expected.size());
    // The questionnaires have no XML form.
    EXPECT_EQ(ExportPensionFund({}, Run(PfrSzv62), doc).code, -34);
}

// The contributions report and the packs of insured persons' data are named
// by the fund alike, told apart by their pack numbers: a pack whose number was
// left empty goes under the next number whose file holds no other report, so
// that the contributions report's file stays byte for byte; a pack made again
// replaces its own file; a typed number whose file holds another report is
// refused and nothing is written.
TEST_F(PfrExportRunTest, APackNeverReplacesAnotherReportsFile)
{
    doc.infoBase.config.r_m2 = 3;
    QString report;
    ASSERT_EQ(reports::WriteOVPFXml(reports::ReportSelection{}, dir.path(), doc, &report), 0);
    EXPECT_EQ(report, out("PFR-700-Y-2011-ORG-035-001-123456-DCK-00001-DPT-000000-DCK-00000.XML"));
    const QByteArray reportBytes = FileBytes(report);
    ASSERT_FALSE(reportBytes.isEmpty());

    // A stub record that states its form and quarter, as the records do.
    const auto pack = [&](int kind, int packNumber, int quarter) {
        PfrExportRun run = Run(PfrSzv62, kind);
        run.options.personnelNumber = u16(tabN(0));
        run.options.packNumber = std::int16_t(packNumber);
        run.writer = [quarter](PfrRecordCall& call) {
            if (call.pass == 1)
                call.pack->write(call.indentation + Ansi("<ВидФормы>СЗВ-6-2</ВидФормы><Квартал>") +
                                 QByteArray::number(quarter) + Ansi("</Квартал>\r\n"));
            return 0;
        };
        return ExportPensionFund({}, run, doc);
    };
    const auto named = [](int number) {
        return QStringLiteral("PFR-700-Y-2011-ORG-035-001-123456-DCK-%1-DPT-000000-DCK-00000.XML")
            .arg(number, 5, 10, QLatin1Char('0'));
    };
    PfrExportResult first = pack(PfrQuarter1, 0, 1);
    ASSERT_EQ(first.code, 0);
    EXPECT_EQ(first.xmlFile, dir.filePath(named(2)));
    EXPECT_EQ(FileBytes(report), reportBytes);
    EXPECT_TRUE(FileBytes(first.xmlFile).contains(Ansi("<Основной>2</Основной>")));
    EXPECT_TRUE(FileBytes(first.xmlFile).contains(named(2).toLatin1()));
    // Made again: its own file.
    EXPECT_EQ(pack(PfrQuarter1, 0, 1).xmlFile, dir.filePath(named(2)));
    // The next quarter's pack: a number of its own.
    EXPECT_EQ(pack(PfrQuarter2, 0, 2).xmlFile, dir.filePath(named(3)));
    // A typed number of another report's file: refused, nothing written.
    try {
        pack(PfrQuarter1, 1, 1);
        ADD_FAILURE() << "a pack written over the contributions report";
    } catch (const TextError& refusal) {
        EXPECT_EQ(refusal.message(), QStringLiteral("Пачка 1 уже записана в файл %1 с другим отчетом. Укажите другой "
                                                    "номер пачки или оставьте поле пустым: программа выберет свободный "
                                                    "номер.")
                                         .arg(report));
    }
    EXPECT_EQ(FileBytes(report), reportBytes);
    reports::ReportSelection typed;
    typed.orgPackNumber = 3;
    EXPECT_THROW(reports::WriteOVPFXml(typed, dir.path(), doc), TextError);
    EXPECT_TRUE(FileBytes(dir.filePath(named(3))).contains(Ansi("<Основной>3</Основной>")));
    // The report made again keeps its own number.
    ASSERT_EQ(reports::WriteOVPFXml(reports::ReportSelection{}, dir.path(), doc, &report), 0);
    EXPECT_EQ(report, dir.filePath(named(1)));
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("PFR-*")}, QDir::Files),
              (QStringList{named(1), named(2), named(3)}));
}

TEST_F(PfrExportRunTest, EmptySelectionAndStoppedRunLeaveNoFiles)
{
    PfrExportRun run = Run(PfrSzv42);
    run.options.shop = 250; // nobody works there
    EXPECT_EQ(ExportPensionFund({}, run, doc).code, -1);
    EXPECT_FALSE(QFile::exists(doc.TypWorkFile()));
    EXPECT_FALSE(QFile::exists(out("no_pensN.txt")));

    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(ExportPensionFund(stop.get_token(), Run(PfrSzv42), doc).code, 1);
    EXPECT_FALSE(QFile::exists(doc.TypWorkFile()));
    EXPECT_FALSE(QFile::exists(out("no_pensN.txt")));
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.typ*")}, QDir::Files | QDir::Hidden).isEmpty());
}
