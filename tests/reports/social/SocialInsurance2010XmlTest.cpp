// The 4-FSS XML file of 2010: whole files of fixed report values and firm
// record compared byte for byte with stored ones (no payment orders, five
// orders in both sections); the file name and quarter mark for each quarter;
// the balances; a folder that cannot take the file.
#include "reports/social/SocialInsurance2010.h"

#include "platform/CodePage.h"
#include "platform/TaskThread.h"
#include "platform/WorkingFolder.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;
using namespace kalvor::reports::fss4;

namespace {

const QString kGoldenFolder = QStringLiteral(KALVOR_SOURCE_DIR "/tests/reports/social/golden/");

QByteArray cp(const QString& text) { return codepage::toCp1251(text); }

// A firm in Вологда and report values of a half-year of 2010, each a distinct
// number so that every value is seen where it lands.
class Fss4Xml2010 : public ::testing::Test {
protected:
    void SetUp() override
    {
        FirmInfo& f = doc.infoBase.firm;
        const auto set = [&](FirmInfo::Text which, const char16_t* value) {
            f.texts[which] = QString::fromUtf16(value);
        };
        set(FirmInfo::firmName, u"  ЗАО   \"Северная <верфь>\" ");
        set(FirmInfo::firmFSS, u" 3501  023");
        set(FirmInfo::firmPodchFSS, u"35012");
        set(FirmInfo::firmKodObosob, u" 02");
        set(FirmInfo::KodOtdFSS, u"3502");
        set(FirmInfo::firmINN, u"3525012345");
        set(FirmInfo::firmKPP, u"352501001");
        set(FirmInfo::firmOGRN, u"1023500876543");
        set(FirmInfo::firmOKATO, u"19401000000");
        set(FirmInfo::firmOKVED, u"35.11  ");
        set(FirmInfo::firmOKPO, u"87654321");
        set(FirmInfo::firmOKOPF, u"67");
        set(FirmInfo::firmOKFS, u"16");
        set(FirmInfo::adrPhone, u"(8172) 72-15-00");
        set(FirmInfo::fioShef, u"Белов  Игорь Семенович");
        set(FirmInfo::fioBuh, u"Орлова Нина Петровна");
        set(FirmInfo::fioPredst, u"Кузнецов Олег");
        doc.infoBase.config.tekMes = u16(MonthKey(2010, 7).value());
        setPeriod(1, 6);
        GenrValueArray& v = doc.GenrValues;
        for (int i = 0; i < 185; ++i) v[std::size_t(i)] = 1'000 + i + 0.25;
        v[kHeadcount] = 48;
        v[kWomen] = 20;
        v[kDisabledHeadcount] = 2;
        v[kInjuryRate] = 0.2;
        for (int i = 220; i < 224; ++i) v[std::size_t(i)] = i;
    }
    void setPeriod(int firstMonth, int lastMonth)
    {
        doc.infoBase.config.r_g = 110;
        doc.infoBase.config.r_m1 = u8(firstMonth);
        doc.infoBase.config.r_m2 = u8(lastMonth);
    }
    void order(int first, int k, QDate date, double number, double sum)
    {
        GenrValueArray& v = doc.GenrValues;
        v[std::size_t(first + 3 * k)] = PackedDate::fromQDate(date).value;
        v[std::size_t(first + 3 * k + 1)] = number;
        v[std::size_t(first + 3 * k + 2)] = sum;
    }
    // Five orders in section I, one without a sum; six in section II.
    void setOrders()
    {
        doc.GenrValues[kPaidStart] = 500;
        order(kPaymentOrders, 0, QDate(2010, 4, 14), 17, 8'000.5);
        order(kPaymentOrders, 1, QDate(2010, 5, 14), 48, 0); // no sum: not written
        order(kPaymentOrders, 2, QDate(2010, 6, 15), 102, 9'100);
        order(kPaymentOrders, 3, QDate(2010, 6, 28), 140, 300);
        order(kPaymentOrders, 4, QDate(2010, 3, 30), 150, 1'000);
        doc.GenrValues[kInjuryPaidStart] = 40;
        for (int k = 0; k < 6; ++k) order(kInjuryOrders, k, QDate(2010, 4 + k % 3, 10 + k), 200 + k, 100 + k);
    }
    QByteArray bytes() const { return RVedFSSXml2010Bytes(doc, QDate(2010, 7, 5)); }
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

TEST_F(Fss4Xml2010, WholeFilesByteForByte)
{
    expectGolden(bytes(), QStringLiteral("fss4-2010-plain.xml"));
    setOrders();
    expectGolden(bytes(), QStringLiteral("fss4-2010-orders.xml"));
}

TEST_F(Fss4Xml2010, TitleAndShape)
{
    const QByteArray plain = bytes();
    EXPECT_TRUE(plain.startsWith("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
                                 "<?F4FORM version=\"0.1\"?>\r\n<F4REPORT>\r\n\t<TITLE REG_NUM=\" 3501  023\""));
    EXPECT_EQ(plain.count("\r\n"), plain.count('\n'));
    EXPECT_TRUE(plain.endsWith("\"/>\r\n</F4REPORT>\r\n"));
    // Without orders both sections are empty elements without the monthly
    // payments.
    EXPECT_FALSE(plain.contains("</F4INF1>"));
    EXPECT_FALSE(plain.contains("</F4INFO>"));
    for (const char* name : {"S2R27", "S2R29", "S2R30", "S2R26", "T7R27C1", "T7R29C1", "T7R30C1", "T7R31C1"})
        EXPECT_EQ(Attribute(plain, name), "(none)") << name;
    EXPECT_EQ(Attribute(plain, "INN"), "003525012345");
    EXPECT_EQ(Attribute(plain, "NAME"), cp(QStringLiteral("ЗАО &quot;Северная &lt;верфь&gt;&quot;")));
    EXPECT_EQ(Attribute(plain, "CEO"), cp(QStringLiteral("Белов Игорь Семенович")));
    EXPECT_EQ(Attribute(plain, "AUTHOR"), cp(QStringLiteral("Кузнецов Олег")));
    EXPECT_EQ(Attribute(plain, "DOP_NUM"), "02");
    EXPECT_EQ(Attribute(plain, "CRE_DATE"), "2010-07-05");
    EXPECT_EQ(Attribute(plain, "QUART_NUM"), "6");
    EXPECT_EQ(Attribute(plain, "TaxType"), "061");
    EXPECT_EQ(Attribute(plain, "RATE_MIS"), "0.20");
    EXPECT_TRUE(plain.contains(" RATE_MIS=\"0.2\" FOT=\"1161.25\""));
    doc.GenrValues[kBasePeriod + ColDisabled] = 0;
    EXPECT_EQ(Attribute(bytes(), "TaxType"), "071");
}

TEST_F(Fss4Xml2010, BalancesAndOrders)
{
    GenrValueArray& v = doc.GenrValues;
    // Section I: 1,028.25 accrued less 1,034.25 expenses: the fund owes 6.
    EXPECT_EQ(Attribute(bytes(), "FssDebt"), "6.00");
    EXPECT_EQ(Attribute(bytes(), "InsDebt"), "0.00");
    v[kExpenses] = 28.25;
    EXPECT_EQ(Attribute(bytes(), "InsDebt"), "1000.00");
    v[kPaidStart] = 1'000;
    EXPECT_EQ(Attribute(bytes(), "InsDebt"), "0.00");
    EXPECT_EQ(Attribute(bytes(), "FssDebt"), "0.00");
    v[kPaidStart] = 0;
    v[kExpenses] = 1'034.25;

    setOrders();
    const QByteArray orders = bytes();
    // Paid: 500 at the start; by the months of April, May and June.
    EXPECT_EQ(Attribute(orders, "S2R27"), "500.00");
    EXPECT_EQ(Attribute(orders, "S2R29"), "8000.50");
    EXPECT_EQ(Attribute(orders, "S2R30"), "0.00");
    EXPECT_EQ(Attribute(orders, "S2R26"), "9400.00");
    // 1,028.25 - 1,034.25 - (500 + 18,400.50 paid): the fund owes 18,906.50.
    EXPECT_EQ(Attribute(orders, "FssDebt"), "18906.50");
    EXPECT_TRUE(orders.contains("\t\t<PAYM_ORDER NUM=\"17\" DT=\"2010-04-14\" SUM=\"8000.50\"/>\r\n"
                                "\t\t<PAYM_ORDER NUM=\"102\" DT=\"2010-06-15\" SUM=\"9100.00\"/>\r\n"));
    EXPECT_FALSE(orders.contains("NUM=\"48\""));
    // Section II: the monthly payments look at the first five orders; the
    // sixth (June, 105) counts in the balance and the list.
    EXPECT_EQ(Attribute(orders, "T7R29C1"), "203.00");
    EXPECT_EQ(Attribute(orders, "T7R30C1"), "205.00");
    EXPECT_EQ(Attribute(orders, "T7R31C1"), "102.00");
    EXPECT_TRUE(orders.contains("<PAYM_ORDER NUM=\"205\" DT=\"2010-06-15\" SUM=\"105.00\"/>\r\n\t</F4INFO>\r\n"));
}

TEST_F(Fss4Xml2010, FileNamesAndFailures)
{
    const struct {
        int lastMonth;
        const char* name;
    } quarters[] = {{2, "3501 023_2010_3.xml"},
                    {6, "3501 023_2010_6.xml"},
                    {9, "3501 023_2010_9.xml"},
                    {12, "3501 023_2010_0.xml"},
                    {0, "3501 023_2010_0.xml"}};
    for (const auto& quarter : quarters) {
        setPeriod(1, quarter.lastMonth);
        EXPECT_EQ(RVedFSSXml2010FileName(doc), QString::fromLatin1(quarter.name)) << quarter.lastMonth;
        EXPECT_EQ(Attribute(bytes(), "QUART_NUM"),
                  QByteArray(quarter.name).mid(QByteArray(quarter.name).lastIndexOf('_') + 1, 1));
    }
    // A year byte of 0 is the base's year.
    doc.infoBase.config.r_g = 0;
    EXPECT_EQ(RVedFSSXml2010FileName(doc), QStringLiteral("3501 023_2010_0.xml"));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ScopedToday today(QDate(2010, 7, 5));
    QString written;
    EXPECT_EQ(WriteRVedFSSXml2010(dir.path(), doc, &written), 0);
    EXPECT_EQ(written, dir.filePath(QStringLiteral("3501 023_2010_0.xml")));
    QFile file(written);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes());
    // A folder that does not exist: the failure is returned, nothing written.
    EXPECT_EQ(WriteRVedFSSXml2010(dir.filePath(QStringLiteral("missing")), doc), platform::FILE_ERROR_OPEN);
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("missing"))).exists());
}

} // namespace
