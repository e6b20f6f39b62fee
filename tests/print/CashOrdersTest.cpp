// The expense cash orders: the KO-2 text form against golden files
// (windows-1251 bytes, tests/print/golden; KALVOR_UPDATE_GOLDEN=1 rewrites
// them), the record lines of the 1C accounting program byte by byte, and the
// bank order's pages and values as the template engine receives them, with
// the document rendered by LibreOffice when it is installed.
//
// The goldens were checked by hand against the form's layout: the cut line
// of 100 "-", " %-85.56s Форма N КО-2", the codes right-aligned in 96 and 98,
// the title in 52 with the number in 21 (or 15 and 16 dots in 27 and 19),
// the account box of 98 with the amount "%13.2f", the recipient in a field
// of 90, the signature lines and the passport after "По:".
#include "print/CashOrders.h"
#include "StatementTestDoc.h"
#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "support/OfficeConvert.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::print;
using namespace kalvor::printtest;

using namespace kalvor::testsupport;

namespace {

QByteArray cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class CashOrdersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform::SetWorkingFolder(QStringLiteral(KALVOR_SOURCE_DIR "/data"));
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
    }
    void TearDown() override
    {
        CloseBase(doc.infoBase);
        platform::SetWorkingFolder(QString());
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    }

    // Employees 101, 102 ... in shop 1 with the advances given (kopecks).
    void build(const std::vector<double>& advances)
    {
        std::vector<StatementEmployee> employees;
        for (std::size_t i = 0; i < advances.size(); ++i) employees.push_back({101 + int(i), 1, 0, advances[i]});
        BuildStatementDoc(doc, employees);
        records = StatementRecords(doc);
    }
    void store() { StoreInNewBase(doc, dir.path(), records); }

    QString path() const { return dir.filePath(QStringLiteral("orders.typ")); }

    ScopedToday today{QDate(2011, 5, 3)};
    QTemporaryDir dir;
    PayrollDoc doc;
    std::vector<EmployeeRecord> records;
};

} // namespace

TEST_F(CashOrdersTest, SignedOrdersOfPagesTwoToThreeWithHeadings)
{
    // Seven employees, the third without an advance: six orders, two a page;
    // pages 2 to 3 hold orders 3 to 6, each odd one under its page heading.
    build({150'000, 1'234'567, 0, 99'999, 25'050, 300'000, 1'000'001});
    store();
    StatementPrintParams params;
    params.outputMode = SignedCashOrders;
    params.shop = 1;
    params.firstPage = 2;
    params.lastPage = 3;
    ASSERT_EQ(PrintAdvanceCashOrders(params, doc, path(), 0), 0);
    const QByteArray text = ReadFile(path());
    EXPECT_EQ(text.count(cp("РАСХОДНЫЙ  КАССОВЫЙ  ОРДЕР")), 4);
    EXPECT_TRUE(text.startsWith(cp("2-я страница") + QByteArray(60, ' ') + cp("1-й цех   ") + "\r\n"));
    EXPECT_TRUE(text.contains(cp("3-я страница")));
    EXPECT_FALSE(text.contains(cp("4-я страница")));
    ExpectGolden("ko2-mode2-pages2-3.txt", text);
}

TEST_F(CashOrdersTest, UnnumberedOrdersWithTheCutLineHaveNoHeadings)
{
    build({150'000, 1'234'567});
    store();
    StatementPrintParams params;
    params.outputMode = CashOrders;
    params.variant = 1; // the cut line
    ASSERT_EQ(PrintAdvanceCashOrders(params, doc, path(), 0), 0);
    const QByteArray text = ReadFile(path());
    EXPECT_FALSE(text.contains(cp("страница")));
    EXPECT_EQ(text.count(cp("РАСХОДНЫЙ  КАССОВЫЙ  ОРДЕР")), 2);
    ExpectGolden("ko2-mode1-cut.txt", text);
}

TEST_F(CashOrdersTest, RecordLinesDoubleTheQuotesOfThePassport)
{
    build({150'000, 0, 1'234'567});
    records[2].head.pspKem = QStringLiteral("ОВД \"Заречный\"   г. Вологды");
    records[2].head.fio = QStringLiteral("Васильев  Андрей   Викторович");
    doc.infoBase.firm.c1Word = 0x0380; // sub-account 3 of account 70, with the posting type bit
    store();
    StatementPrintParams params;
    params.outputMode = TransferOrders1C;
    ASSERT_EQ(PrintAdvanceCashOrders(params, doc, path(), 0), 0);
    EXPECT_EQ(ReadFile(path()),
              cp("0,\"70 \",\"3  \",\"03.05.11\",101,\"Алексеев Андрей Викторович\",\"Межрасчетные выплаты\","
                 "\"21,19 03,512340,12.05.2003,ОВД г. Вологды\",1500.00\r\n"
                 "0,\"70 \",\"3  \",\"03.05.11\",103,\"Васильев Андрей Викторович\",\"Межрасчетные выплаты\","
                 "\"21,19 03,512342,12.05.2003,ОВД \"\"Заречный\"\" г. Вологды\",12345.67\r\n"));
}

TEST_F(CashOrdersTest, PayOrdersTakeTheStoredAmountsUnrounded)
{
    build({0, 0});
    store();
    doc.infoBase.config.okrugVypWord = 0; // payout in kopecks anyway
    doc.infoBase.zar1Of(1) = 123'456.4; // as the pay statement thread left it
    doc.infoBase.zar1Of(2) = 0;
    StatementPrintParams params;
    params.outputMode = TransferOrders1C;
    ASSERT_EQ(PrintPayCashOrders(params, doc, path(), 0), 0);
    const QByteArray text = ReadFile(path());
    EXPECT_EQ(text.count("\r\n"), 1);
    EXPECT_TRUE(text.endsWith(",1234.56\r\n"));
}

TEST_F(CashOrdersTest, SickPayAndVacationOrdersOneForEachEntryToPay)
{
    build({0, 0});
    store();
    CInfoBase& base = doc.infoBase;
    SickLeaveSheet paid;
    paid.dBegin = 4;
    paid.mBegin = 4;
    paid.gBegin = 2011;
    paid.mrp = 1;
    paid.sum = 456'789.5; // rounded to whole kopecks: 4,567.90
    SickLeaveSheet later = paid;
    later.mrp = 0; // paid with the month's pay: no order
    ASSERT_TRUE(base.bln.replaceRun(2, std::vector{paid, later, paid}));
    VacationNote note;
    note.dlin = 14;
    note.mrp = 1;
    note.sum = 2'000'000;
    ASSERT_TRUE(base.otp.replaceRun(1, std::vector{note}));
    StatementPrintParams params;
    params.outputMode = TransferOrders1C;
    ASSERT_EQ(PrintSickPayCashOrders(params, doc, path(), 0), 0);
    const QList<QByteArray> sick = ReadFile(path()).split('\n');
    ASSERT_EQ(sick.size(), 3);
    EXPECT_TRUE(sick[0].endsWith(cp(",102,\"Белова Андрей Викторович\",\"Межрасчетные выплаты\","
                                    "\"21,19 03,512341,12.05.2003,ОВД г. Вологды\",4567.90\r")));
    EXPECT_EQ(sick[1], sick[0]);
    ASSERT_EQ(PrintVacationCashOrders(params, doc, path(), 0), 0);
    const QByteArray vacation = ReadFile(path());
    EXPECT_EQ(vacation.count("\r\n"), 1);
    EXPECT_TRUE(vacation.endsWith(",20000.00\r\n"));
}

TEST_F(CashOrdersTest, UnwritableOutputIsAPrintFileFault)
{
    build({150'000});
    store();
    StatementPrintParams params;
    params.outputMode = SignedCashOrders;
    EXPECT_EQ(PrintAdvanceCashOrders(params, doc, dir.filePath(QStringLiteral("missing/orders.typ")), 0), -23);
}

TEST_F(CashOrdersTest, BankOrderPagesAndValues)
{
    build({150'000, 1'234'567});
    store();
    CTree tree(kBankCashOrderTemplate, path());
    WriteCashOrderText(tree, 7, 1'234'567, records[1], doc);
    const QDomElement data = tree.DataDocument().documentElement().firstChildElement(QStringLiteral("doc"));
    const QDomElement page = data.firstChildElement();
    ASSERT_EQ(page.tagName(), QStringLiteral("page0"));
    EXPECT_TRUE(page.nextSiblingElement().isNull());
    QStringList values;
    for (QDomElement v = page.firstChildElement(); !v.isNull(); v = v.nextSiblingElement()) values << v.text();
    const QStringList expected = {
        "7",
        "03",
        "мая",
        "11",
        "7",
        "ООО «Северная механика» Вологодский машиностроительный",
        "40",
        "20",
        "12345.67",
        "Белова Андрей Викторович",
        "Двенадцать тысяч триста сорок пять рублей 67 копеек",
        "12345",
        "67",
        "Директор",
        "Воронцов А. В.",
        "Кудрявцева И. Н.",
        "паспорт РФ",
        "19 03 512341 12.05.2003 ОВД г. Вологды",
        "Зуева Л. И.",
    };
    EXPECT_EQ(values, expected);
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(page.childNodes().at(i).toElement().tagName(), QStringLiteral("par%1").arg(i));
}

TEST_F(CashOrdersTest, BankOrdersRenderedByLibreOffice)
{
    build({150'000, 1'234'567, 0});
    store();
    StatementPrintParams params;
    params.outputMode = BankCashOrder;
    ASSERT_EQ(PrintAdvanceCashOrders(params, doc, path(), 0), 0);
    const QString rtf = dir.filePath(QStringLiteral("orders.rtf"));
    ASSERT_TRUE(QFile::exists(rtf));
    if (OfficeProgram().isEmpty() || !PdfToTextAvailable())
        GTEST_SKIP() << "LibreOffice or poppler-utils are not installed: the PDF is not checked";
    const QString pdf = ConvertWithOffice(rtf, QStringLiteral("pdf"));
    ASSERT_FALSE(pdf.isEmpty());
    KeepCopy(pdf, QStringLiteral(KALVOR_DATA_DIR "/../cash-orders-bank.pdf"));
    const QString content = PdfText(pdf).simplified();
    for (const char* wanted : {"РАСХОДНЫЙ КАССОВЫЙ ОРДЕР", "Алексеев Андрей Викторович", "Белова Андрей Викторович",
                               "1500.00", "12345.67", "Одна тысяча пятьсот рублей 00 копеек", "мая", "0310002"})
        EXPECT_TRUE(content.contains(QString::fromUtf8(wanted))) << wanted;
    EXPECT_EQ(content.count(QStringLiteral("РАСХОДНЫЙ КАССОВЫЙ ОРДЕР")), 2);
}
