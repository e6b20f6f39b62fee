// The 4-FSS XML file of 2011: whole files of fixed report values, firm record
// and "inval" compared byte for byte with stored ones (no payment orders and
// no disabled employees, orders only, disabled employees only, both); the
// file name for each quarter; the balance attributes; a failed write; and the
// demo base's first quarter of 2011 computed, written, printed and read back.
#include "reports/social/SocialInsurance2011.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/TaskThread.h"
#include "platform/WorkingFolder.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <cstring>

#ifdef KALVOR_DATA_DIR
#include "support/DemoDocument.h"
#endif

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;
using namespace kalvor::reports::fss4;

namespace {

const QString kGoldenFolder = QStringLiteral(KALVOR_SOURCE_DIR "/tests/reports/social/golden/");

QByteArray cp(const QString& text) { return codepage::toCp1251(text); }

template <std::size_t N>
void Put(std::array<char, N>& field, const QString& value)
{
    const QByteArray bytes = cp(value).leftJustified(qsizetype(N), ' ', true);
    std::memcpy(field.data(), bytes.constData(), N);
}

InvalRecord Inval(const QString& name, const QString& issued, const QByteArray& end, std::array<double, 4> roubles)
{
    InvalRecord record;
    Put(record.fio, name);
    Put(record.invSprSer, QStringLiteral("МСЭ-2010"));
    Put(record.invSprNom, QStringLiteral("0412785"));
    Put(record.invSprDat, issued);
    std::memcpy(record.invEnd.data(), end.constData(), std::min<std::size_t>(10, std::size_t(end.size())));
    record.sinceYearStart = roubles[0] * 100;
    record.months = {roubles[1] * 100, roubles[2] * 100, roubles[3] * 100};
    record.quarter = (roubles[1] + roubles[2] + roubles[3]) * 100;
    return record;
}

// A firm in Череповец with its registration numbers, and report values that
// a first quarter of 2011 gives (each a distinct number, so that every value
// is seen where it lands).
class Fss4Xml : public ::testing::Test {
protected:
    void SetUp() override
    {
        FirmInfo& f = doc.infoBase.firm;
        const auto set = [&](FirmInfo::Text which, const char16_t* value) {
            f.texts[which] = QString::fromUtf16(value);
        };
        set(FirmInfo::firmName, u"  ооо   \"ромашка\" & К ");
        set(FirmInfo::firmFSS, u"3501012345");
        set(FirmInfo::firmPodchFSS, u"35011");
        set(FirmInfo::firmKodObosob, u" 01");
        set(FirmInfo::KodOtdFSS, u"3501");
        set(FirmInfo::firmINN, u"3528012345");
        set(FirmInfo::firmKPP, u"352801001");
        set(FirmInfo::firmOGRN, u"1023501234567");
        set(FirmInfo::firmOKATO, u"19430000000");
        set(FirmInfo::firmOKVED, u" 29.24.9");
        set(FirmInfo::firmOKPO, u"12345678");
        set(FirmInfo::firmOKOPF, u"65");
        set(FirmInfo::firmOKFS, u"16");
        set(FirmInfo::adrPhone, u"(8202)  55-12-34");
        set(FirmInfo::fioShef, u"Громов  Виктор Павлович");
        set(FirmInfo::fioBuh, u"Соколова Анна Ивановна");
        doc.infoBase.config.tekMes = u16(MonthKey(2011, 4).value());
        setPeriod(3);
        GenrValueArray& v = doc.GenrValues;
        for (int i = 0; i < 185; ++i) v[std::size_t(i)] = 1'000 + i + 0.25;
        v[kHeadcount] = 48;
        v[kWomen] = 20;
        v[kDisabledHeadcount] = 2;
        v[kInjuryRate] = 0.2;
        v[kAccruedMonth1 + 1] = 0;
        for (int i = 250; i < 270; ++i) v[std::size_t(i)] = 10 * i;
        for (int i = 232; i < 235; ++i) v[std::size_t(i)] = i;
    }
    void setPeriod(int lastMonth)
    {
        doc.infoBase.config.r_g = 111;
        doc.infoBase.config.r_m1 = 1;
        doc.infoBase.config.r_m2 = u8(lastMonth);
    }
    void setOrders()
    {
        GenrValueArray& v = doc.GenrValues;
        v[kPaidStart] = 500;
        const auto order = [&](int first, int k, QDate date, double number, double sum) {
            v[std::size_t(first + 3 * k)] = PackedDate::fromQDate(date).value;
            v[std::size_t(first + 3 * k + 1)] = number;
            v[std::size_t(first + 3 * k + 2)] = sum;
        };
        order(kPaymentOrders, 0, QDate(2011, 1, 14), 17, 8'000.5);
        order(kPaymentOrders, 1, QDate(2011, 2, 15), 48, 0); // no sum: not written
        order(kPaymentOrders, 2, QDate(2011, 3, 15), 102, 9'100);
        order(kPaymentOrders, 4, QDate(2011, 3, 30), 150, 1'000); // the fifth counts in the balance only
        v[kInjuryPaidStart] = 40;
        order(kInjuryOrders, 0, QDate(2011, 2, 14), 18, 594);
    }
    std::vector<InvalRecord> twoDisabled() const
    {
        return {Inval(QStringLiteral("Волков,Виктор,Сергеевич"), QStringLiteral("16.02.10"),
                      cp(QStringLiteral("бессрочно")) + '\0', {60'000, 20'000, 20'000, 20'000}),
                Inval(QStringLiteral("Ёлкина,Ольга,Яковлевна Кызы"), QStringLiteral("05.03.87"), "01.02.2011",
                      {20'000, 10'000, 10'000, 0})};
    }
    QByteArray bytes(const std::vector<InvalRecord>& inval = {}) const
    {
        return RVedFSSXml2011Bytes(doc, inval, QDate(2011, 4, 8));
    }
    // Compares with the stored file; a difference is saved beside the test.
    void expectGolden(const QByteArray& written, const QString& name) const
    {
        QFile golden(kGoldenFolder + name);
        const QByteArray stored = golden.open(QIODevice::ReadOnly) ? golden.readAll() : QByteArray();
        if (written != stored) {
            QFile actual(name + QStringLiteral(".actual"));
            if (actual.open(QIODevice::WriteOnly))
                actual.write(written);
        }
        EXPECT_TRUE(written == stored) << "differs from " << name.toStdString() << "; saved as " << name.toStdString()
                                       << ".actual in the test's folder";
    }
    // The value of an attribute in the file.
    static QByteArray Attribute(const QByteArray& file, const QByteArray& name)
    {
        const qsizetype at = file.indexOf(' ' + name + "=\"");
        if (at < 0)
            return "(none)";
        const qsizetype start = at + name.size() + 3;
        return file.mid(start, file.indexOf('"', start) - start);
    }

    PayrollDoc doc;
};

TEST_F(Fss4Xml, WholeFilesByteForByte)
{
    expectGolden(bytes(), QStringLiteral("fss4-2011-plain.xml"));
    expectGolden(bytes(twoDisabled()), QStringLiteral("fss4-2011-inval.xml"));
    setOrders();
    expectGolden(bytes(), QStringLiteral("fss4-2011-orders.xml"));
    expectGolden(bytes(twoDisabled()), QStringLiteral("fss4-2011-both.xml"));
}

TEST_F(Fss4Xml, ShapeOfTheElements)
{
    const QByteArray plain = bytes();
    // Single-line elements closed by "/>", CR LF everywhere.
    EXPECT_TRUE(plain.contains("\r\n\t<F4INF1 S2R1=\"2670.00\" S2R3=\"1029.25\""));
    EXPECT_FALSE(plain.contains("</F4INF1>"));
    EXPECT_FALSE(plain.contains("</F4INFO>"));
    EXPECT_EQ(plain.count("\r\n"), plain.count('\n'));
    EXPECT_TRUE(plain.endsWith("\"/>\r\n</F4REPORT>\r\n"));
    // The firm's quotes and ampersand are entities; the texts squeezed.
    EXPECT_EQ(Attribute(plain, "NAME"), cp(QStringLiteral("ооо &quot;ромашка&quot; &amp; К")));
    EXPECT_EQ(Attribute(plain, "CEO"), cp(QStringLiteral("Громов Виктор Павлович")));
    EXPECT_EQ(Attribute(plain, "OKVED"), "29.24.9");
    EXPECT_EQ(Attribute(plain, "DOP_NUM"), "01");
    EXPECT_EQ(Attribute(plain, "OGRN"), "001023501234567");
    EXPECT_EQ(Attribute(plain, "CRE_DATE"), "2011-04-08");
    EXPECT_EQ(Attribute(plain, "TaxType"), "061");
    EXPECT_EQ(Attribute(plain, "T1R4C2"), "0");
    EXPECT_EQ(Attribute(plain, "S2R27"), "(none)");
    // The balance of table 1 with no payments: the insurer owes
    // 2,670 + 1,028.25 + 2,600 - 1,034.25 - 2,640 = 2,624.
    EXPECT_EQ(Attribute(plain, "InsDebt"), "2624.00");
    EXPECT_EQ(Attribute(plain, "FssDebt"), "0.00");
    doc.GenrValues[kExpenses] = 3'658.25;
    EXPECT_EQ(Attribute(bytes(), "InsDebt"), "0.00");
    EXPECT_EQ(Attribute(bytes(), "FssDebt"), "0.00");
    doc.GenrValues[kExpenses] = 3'660.25;
    EXPECT_EQ(Attribute(bytes(), "FssDebt"), "2.00");

    // Orders: the fourth and fifth count in the balance; each of the first
    // three in the month of its date.
    setOrders();
    const QByteArray orders = bytes();
    EXPECT_EQ(Attribute(orders, "S2R29"), "8000.50");
    EXPECT_EQ(Attribute(orders, "S2R30"), "0.00");
    EXPECT_EQ(Attribute(orders, "S2R26"), "9100.00");
    EXPECT_TRUE(orders.contains("\t\t<PAYM_ORDER NUM=\"17\" DT=\"2011-01-14\" SUM=\"8000.50\"/>\r\n"
                                "\t\t<PAYM_ORDER NUM=\"102\" DT=\"2011-03-15\" SUM=\"9100.00\"/>\r\n\t</F4INF1>\r\n"));
    EXPECT_FALSE(orders.contains("NUM=\"150\""));

    // The disabled: names split at the commas, upper case, dates turned.
    const QByteArray inval = bytes(twoDisabled());
    EXPECT_TRUE(inval.contains(cp(QStringLiteral("\t\t<F4INVAL LNAME=\"ВОЛКОВ\" FNAME=\"ВИКТОР\" MNAME=\"СЕРГЕЕВИЧ\" "
                                                 "MSEDATE=\"2010-02-16\" MSEDATEF=\"\" S=\"60000.00\""))));
    EXPECT_TRUE(inval.contains(cp(QStringLiteral("LNAME=\"ЁЛКИНА\" FNAME=\"ОЛЬГА\" MNAME=\"ЯКОВЛЕВНА\" "
                                                 "MSEDATE=\"1987-03-05\" MSEDATEF=\"2011-02-01\""))));
    EXPECT_EQ(Attribute(inval, "T1R4C2"), "2");
}

TEST_F(Fss4Xml, FileNameAndFailure)
{
    doc.infoBase.firm.texts[FirmInfo::firmFSS] = QStringLiteral("  35  010123");
    EXPECT_EQ(RVedFSSXml2011FileName(doc), QStringLiteral("35 0101_2011_03.xml"));
    doc.infoBase.firm.texts[FirmInfo::firmFSS] = QStringLiteral("3501012345");
    const std::pair<int, const char*> quarters[] = {
        {2, "_2011_03.xml"}, {6, "_2011_06.xml"}, {9, "_2011_09.xml"}, {11, "_2011_00.xml"}};
    for (const auto& [month, ending] : quarters) {
        setPeriod(month);
        EXPECT_EQ(RVedFSSXml2011FileName(doc), QStringLiteral("3501012345") + QLatin1String(ending)) << month;
    }
    EXPECT_EQ(Attribute(bytes(), "QUART_NUM"), "00");

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    platform::SetWorkingFolder(dir.path());
    QString path;
    EXPECT_EQ(WriteRVedFSSXml2011(dir.filePath(QStringLiteral("none/of/it")), doc, &path), platform::FILE_ERROR_OPEN);
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_EQ(WriteRVedFSSXml2011(QString(), doc, &path), 0);
    EXPECT_EQ(path, dir.filePath(QStringLiteral("3501012345_2011_00.xml")));
    EXPECT_TRUE(QFile::exists(path));
    platform::SetWorkingFolder(QString());
}

#ifdef KALVOR_DATA_DIR
// The demo base's first quarter of 2011: computed, both files written, the
// XML read back after decoding from windows-1251.
TEST(Fss4XmlDemo, FirstQuarterOf2011ParsesAsXml)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    PayrollDoc doc;
    ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, folder, testsupport::DemoRefFiles::TaxTables));
    platform::SetWorkingFolder(folder);

    ASSERT_TRUE(QDir(folder).mkpath(QStringLiteral("Shablon")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_SOURCE_DIR "/data/Shablon/avans-fss4-2011.rtf"),
                            folder + QStringLiteral("Shablon/avans-fss4-2011.rtf")));
    platform::DocumentOpener::SetCommand(QStringLiteral("true"));

    const int result = CalcRVedFSS2011(ReportSelection{}, doc, QString(), 0, {});
    QString path;
    const int written = result == 0 ? WriteRVedFSSXml2011(QString(), doc, &path) : -1;
    QString printError;
    const int printed = result == 0 ? PrintRVedFSS2011(doc.TypWorkFile(), doc, &printError) : -1;
    platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    CloseBase(doc.infoBase);
    platform::SetWorkingFolder(QString());
    ASSERT_EQ(result, 0);
    ASSERT_EQ(written, 0);
    ASSERT_EQ(printed, 0) << printError.toStdString();
    EXPECT_TRUE(QFile::exists(doc.TypWorkFile().chopped(3) + QStringLiteral("rtf")));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader reader(codepage::fromCp1251(file.readAll()));
    QMap<QString, QXmlStreamAttributes> elements;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && !elements.contains(reader.name().toString()))
            elements.insert(reader.name().toString(), reader.attributes());
    }
    ASSERT_FALSE(reader.hasError()) << reader.errorString().toStdString() << " at line " << reader.lineNumber();
    EXPECT_EQ(elements.value(QStringLiteral("TITLE")).value(QStringLiteral("YEAR_NUM")), QStringLiteral("2011"));
    EXPECT_EQ(elements.value(QStringLiteral("TITLE")).value(QStringLiteral("QUART_NUM")), QStringLiteral("03"));
    EXPECT_GE(elements.value(QStringLiteral("TITLE")).value(QStringLiteral("T1R1C2")).toInt(), 40);
    EXPECT_GT(elements.value(QStringLiteral("F4INF1")).value(QStringLiteral("S1")).toDouble(), 0);
    EXPECT_GT(doc.GenrValues[kAccrued], 0);
    EXPECT_GT(doc.GenrValues[kInjuryAccrued], 0);
    EXPECT_TRUE(elements.contains(QStringLiteral("F4DECODE")));
}
#endif

} // namespace
