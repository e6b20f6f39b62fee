// The postings for ИНФИН: the amount text, the contribution by tax table and
// its split over the following months, and the whole "infin.txt" of a small
// base with both staff categories, two shops and a shop-37 employee, a
// disabled employee, vacation pay of the next three months and every kind of
// section 2; the month of the report generator, a stop, a contribution table
// without a number, the loader command and the worker's closing message.
#include "exchange/PostingsInfin.h"
#include "exchange/PostingsExport.h"
#include "shell/UiTestSupport.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/Db.h"
#include "print/PrintOutput.h"
#include "support/TestFixture.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::exchange;
using namespace kalvor::infobase;

namespace {

QByteArray Ansi(const QString& text) { return codepage::toCp1251(text); }

TEST(InfinAmount, RoublesCommaAndTwoDigitsOfKopecks)
{
    EXPECT_EQ(InfinAmountText(1234), QByteArray("12,34"));
    EXPECT_EQ(InfinAmountText(56), QByteArray(",56"));
    EXPECT_EQ(InfinAmountText(5), QByteArray(",05"));
    EXPECT_EQ(InfinAmountText(0), QByteArray(",00"));
    EXPECT_EQ(InfinAmountText(100), QByteArray("1,00"));
    EXPECT_EQ(InfinAmountText(123456789012), QByteArray("1234567890,12"));
    EXPECT_EQ(InfinAmountText(-5), QByteArray("-,05"));
    EXPECT_EQ(InfinAmountText(-56), QByteArray("-,56"));
    EXPECT_EQ(InfinAmountText(-123456), QByteArray("-1234,56"));
}

// ---------------------------------------------------------------- a small base

PayKind Kind(int code, const char* name, int group, int analytics = 0)
{
    PayKind kind;
    kind.kod = u16(code);
    kind.name = QString::fromUtf8(name);
    kind.fond = u8(group);
    kind.spzAu = u16(analytics);
    return kind;
}

AccrualRow Row(int code, double kopecks, int department = 0)
{
    AccrualRow row;
    row.kod = u16(code);
    row.sum = kopecks;
    row.otd = u8(department);
    return row;
}

WariaEntry Archived(int code, double kopecks, int year, int month)
{
    WariaEntry entry;
    entry.kod = u16(code);
    entry.sum = kopecks;
    entry.god = u16(year);
    entry.mes = u16(month);
    return entry;
}

// Four employees in list order, March 2026:
// - production staff of shop 1: salary, vacation pay of April and May,
//   sick pay, contributions 990, 992 and 993, income tax, and salary of
//   5,000.00 earned in shop 2; an archive entry of February;
// - non-production staff of shop 2, disabled since January: salary, a
//   contract, vacation pay of June, contributions 990, 993 and 994, union fee;
// - production staff of shop 37 (reported as shop 1): salary, 991 and 995,
//   and a payment of every section-2 kind; two archive entries of March of
//   material help, the first of which section 2 leaves out;
// - production staff of shop 120, which section 1 leaves out.
// Contributions: 990, 992 and 993 and one by tax table, all at 10 % of the
// wages fund (group 1).
class InfinPostings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        doc.setWorkFolder(dir.path());
        CInfoBase& base = doc.infoBase;
        base.baseName = QStringLiteral("infin");
        CreateSchemaBase(dir.path(), base.baseName);
        OpenBase(base);
        FixtureBase fx = BuildFixtureBase(base, 4, 7);
        BuildFixtureRefFiles(doc.refFiles);
        base.config.tekMes = u16(MonthKey(2026, 3).value());
        base.config.r_g = 0;
        base.config.r_m1 = 0;
        SetKinds();
        SetContributions();

        EmployeeRecord& first =
            Employee(fx, 0, 1, 2000,
                     {Row(1, 3'000'000), Row(87, 300'000), Row(97, 200'000), Row(110, 100'000), Row(990, 780'000),
                      Row(992, 90'000), Row(993, 60'000), Row(902, 400'000), Row(1, 500'000, 2)});
        first.waria[0] = Archived(1, 50'000, 2026, 2);
        first.warKv = 1;
        EmployeeRecord& disabled = Employee(fx, 1, 2, 2600,
                                            {Row(1, 2'000'000), Row(2, 150'000), Row(98, 100'000), Row(990, 440'000),
                                             Row(994, 50'000), Row(993, 30'000), Row(919, 20'000)});
        disabled.head.invDat1Begin = u16(MonthKey(2026, 1).value());
        EmployeeRecord& third =
            Employee(fx, 2, 37, 2000,
                     {Row(1, 1'000'000), Row(991, 100'000), Row(995, 10'000), Row(24, 50'000), Row(71, 40'000),
                      Row(15, 30'000), Row(23, 20'000), Row(72, 5'000), Row(25, 7'000), Row(14, 6'000), Row(8, 100'000),
                      Row(31, 60'000), Row(152, 25'000)});
        third.waria[0] = Archived(68, 10'000, 2026, 3);
        third.waria[1] = Archived(68, 4'000, 2026, 3);
        third.warKv = 2;
        Employee(fx, 3, 120, 2000, {Row(1, 400'000), Row(152, 10'000), Row(902, 52'000)});
        SaveAll(base, fx.records);
    }
    void TearDown() override { CloseBase(doc.infoBase); }

    void SetKinds()
    {
        CInfoBase& base = doc.infoBase;
        base.setPayKinds({Kind(1, "Оклад", 1),
                          Kind(2, "Оплата по договору", 1, 7002),
                          Kind(8, "Средний заработок", 1),
                          Kind(14, "Особо важные работы", 3),
                          Kind(15, "Премия юбилярам", 3),
                          Kind(23, "Дополнительный доход", 3),
                          Kind(24, "Оплата путевок", 3),
                          Kind(25, "Поликлиника", 3),
                          Kind(31, "Больничный за счет ФСС", 3),
                          Kind(68, "Материальная помощь", 3),
                          Kind(71, "Пособие при уходе на пенсию", 3),
                          Kind(72, "Материальная помощь к отпуску", 3),
                          Kind(87, "Отпуск следующего месяца", 1),
                          Kind(97, "Отпуск второго месяца", 1),
                          Kind(98, "Отпуск третьего месяца", 1),
                          Kind(110, "Больничный за счет предприятия", 1, 7010),
                          Kind(152, "Пособие на ребенка", 3),
                          Kind(902, "Налог на доходы", 0),
                          Kind(919, "Профсоюзные взносы", 0),
                          Kind(990, "Пенсионный фонд", 0),
                          Kind(991, "Пенсионный фонд (ФБ)", 0, 6901),
                          Kind(992, "Фонд соц. страхования", 0, 6904),
                          Kind(993, "ТФОМС", 0, 6905),
                          Kind(994, "ФФОМС", 0, 6903),
                          Kind(995, "Травматизм", 0)});
    }
    void SetContributions()
    {
        CRefFiles& ref = doc.refFiles;
        TaxTable& table = ref.nalog[2];
        table = TaxTable{};
        table.variants[0].first = u16((2026 - 1900) * 12 + 1);
        table.variants[0].last = u16((2026 - 1900) * 12 + 12);
        table.variants[0].scale[0] = {0, 0, 10, 0, 0};
        ref.sbor = {};
        ref.sbor[0] = {QStringLiteral("Пенсионный фонд"), 990, 3, 0};
        ref.sbor[1] = {QStringLiteral("Социальное страхование"), 992, 3, 0};
        ref.sbor[2] = {QStringLiteral("ТФОМС"), 993, 3, 0};
        ref.sbor[3] = {QStringLiteral("Травматизм"), 0, 3, 0};
        ref.sborCount = 4;
    }
    EmployeeRecord& Employee(FixtureBase& fx, int position, int shop, int costAccount,
                             std::initializer_list<AccrualRow> rows)
    {
        CInfoBase& base = doc.infoBase;
        const int slot = base.list[std::size_t(position)].slot;
        base.shopOf(slot) = u8(shop);
        EmployeeRecord& record = fx.records[std::size_t(slot - 1)];
        record.head.invDat1Begin = record.head.invDat1End = 0;
        record.head.invDat2Begin = record.head.invDat2End = 0;
        for (auto& code : record.head.spz) code = {0, 0, 0};
        record.head.spz[1] = {u16(costAccount), 0, 0};
        record.waria.assign(record.waria.size(), WariaEntry{});
        record.warKv = 0;
        record.rows.fill(AccrualRow{});
        std::copy(rows.begin(), rows.end(), record.rows.begin());
        return record;
    }
    QString InfinPath() const { return doc.infoBase.workFolder + QStringLiteral("infin.txt"); }
    QByteArray Written() const
    {
        QFile file(InfinPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }

    QTemporaryDir dir;
    PayrollDoc doc;
};

// A line of section 1 for the month: category account, credit, kind
// account, shop, marker, amount and text.
QByteArray MonthLine(const char* category, const char* credit, const char* kind, int shop, const char* marker,
                     const char* amount, const QString& text)
{
    return QByteArray(category) + ';' + credit + ';' + kind + ';' + QByteArray::number(shop) + ";;;;" + ";;" + marker +
           ";;;;;;;" + amount + ';' + Ansi(text) + "\r\n";
}

// A line of section 1 for a following month.
QByteArray FutureLine(const char* credit, int type, const char* month, const char* kind, int shop, const char* category,
                      const char* marker, const char* amount, const QString& text)
{
    return QByteArray("9701;") + credit + ';' + QByteArray::number(type) + ';' + month + ';' + kind + ';' +
           QByteArray::number(shop) + ';' + category + ';' + ";;" + marker + ";;;;;;;" + amount + ';' + Ansi(text) +
           "\r\n";
}

// A line of section 2: debit, credit, the number after 4 (0: none), amount, text.
QByteArray ProfitLine(const char* debit, const char* credit, int number, const char* amount, const QString& text)
{
    const QByteArray numbers = number != 0 ? "4;" + QByteArray::number(number) + ';' : QByteArray(";;");
    return QByteArray(debit) + ';' + credit + ';' + numbers + ";;;;;;;;;;;;" + amount + ';' + Ansi(text) + "\r\n";
}

const QString kProd = QStringLiteral("производственного");
const QString kNonProd = QStringLiteral("непроизводственного");

QString Wages(const QString& staff) { return QStringLiteral("Начисления по оплате труда %1 персонала;").arg(staff); }
QString Pension(const QString& staff)
{
    return QStringLiteral("Взносы в ПФР (ФБ+СП+НП) с оплаты %1 персонала;").arg(staff);
}
QString Injury(const QString& staff)
{
    return QStringLiteral("Взносы в ФСС (травматизм) с оплаты %1 персонала;").arg(staff);
}
QString Territorial(const QString& staff) { return QStringLiteral("Взносы в ТФОМС с оплаты %1 персонала;").arg(staff); }
QString FutureText(const char* what, const QString& staff) { return QString::fromUtf8(what).arg(staff); }
const char* const kFutureVacation = "Отпуск будущего периода %1 персонала;";
const char* const kFuturePension = "Взносы в ПФР (ФБ+СП+НП) с отпуска буд.периода %1 персонала;";
const char* const kFutureSocial = "Взносы в ФСС с отпуска буд.периода %1 персонала;";
const char* const kFutureInjury = "Взносы в ФСС (травматизм) с отпуска буд.периода %1 персонала;";
const char* const kFutureTerritorial = "Взносы в ТФОМС с отпуска буд.периода %1 персонала;";

QByteArray ExpectedSectionOne()
{
    // The month, production staff. Shop 1: salaries of 30,000 and 10,000
    // (shop 37) and the 1,000 of the average earnings; shop 2: the 5,000 the
    // first employee earned there. The 7,800 of 990 loses the shares of April
    // (300 / 3,600 of it: 650) and May (433.33); with the 1,100 of 991 and 995
    // of shop 37 that leaves 7,816.67. By tax table: 10 % of 36,000 less the
    // 300 and 200 of April and May, plus 10 % of 11,000.
    QByteArray lines =
        // A line in full, as the format gives it.
        QByteArray("2000;7000;2055;1;;;;;;;;;;;;;41000,00;") + Ansi(Wages(kProd)) + "\r\n" +
        MonthLine("2000", "7000", "2055", 2, "", "5000,00", Wages(kProd)) +
        MonthLine("2000", "7010", "2664", 1, "", "1000,00",
                  QStringLiteral("Больничный производственного персонала за счет ср-в предприятия;")) +
        MonthLine("2000", "6901", "2610", 1, "", "7816,67", Pension(kProd)) +
        MonthLine("2000", "6904", "2609", 1, "", "775,00",
                  QStringLiteral("Взносы в ФСС с оплаты производственного персонала;")) +
        MonthLine("2000", "6906", "2611", 1, "", "4200,00", Injury(kProd)) +
        MonthLine("2000", "6906", "2611", 2, "", "500,00", Injury(kProd)) +
        MonthLine("2000", "6905", "2613", 1, "2", "516,67", Territorial(kProd));
    // The month, non-production staff of shop 2: the disabled employee's
    // contribution by tax table is 10 % of 22,500 at 0.6, less June's share.
    lines += MonthLine("2600", "7000", "2601", 2, "", "20000,00", Wages(kNonProd)) +
             MonthLine("2600", "7002", "2056", 2, "", "1500,00",
                       QStringLiteral("Оплата по договору в непроизводственных подразделениях;")) +
             MonthLine("2600", "6901", "2610", 2, "", "4204,44", Pension(kNonProd)) +
             MonthLine("2600", "6906", "2611", 2, "", "1290,00", Injury(kNonProd)) +
             MonthLine("2600", "6903", "2613", 2, "1", "500,00",
                       QStringLiteral("Взносы в ФФОМС с оплаты непроизводственного персонала;")) +
             MonthLine("2600", "6905", "2613", 2, "2", "286,67", Territorial(kNonProd));
    // April and May of the production staff, June of the non-production
    // staff (the disabled employee's share by tax table at 0.6).
    lines += FutureLine("7000", 1, "04.2026", "2055", 1, "2000", "", "3000,00", FutureText(kFutureVacation, kProd)) +
             FutureLine("6901", 5, "04.2026", "2610", 1, "2000", "", "650,00", FutureText(kFuturePension, kProd)) +
             FutureLine("6904", 2, "04.2026", "2609", 1, "2000", "", "75,00", FutureText(kFutureSocial, kProd)) +
             FutureLine("6906", 4, "04.2026", "2611", 1, "2000", "", "300,00", FutureText(kFutureInjury, kProd)) +
             FutureLine("6905", 8, "04.2026", "2613", 1, "2000", "2", "50,00", FutureText(kFutureTerritorial, kProd));
    lines += FutureLine("7000", 1, "05.2026", "2055", 1, "2000", "", "2000,00", FutureText(kFutureVacation, kProd)) +
             FutureLine("6901", 5, "05.2026", "2610", 1, "2000", "", "433,33", FutureText(kFuturePension, kProd)) +
             FutureLine("6904", 2, "05.2026", "2609", 1, "2000", "", "50,00", FutureText(kFutureSocial, kProd)) +
             FutureLine("6906", 4, "05.2026", "2611", 1, "2000", "", "200,00", FutureText(kFutureInjury, kProd)) +
             FutureLine("6905", 8, "05.2026", "2613", 1, "2000", "2", "33,33", FutureText(kFutureTerritorial, kProd));
    lines +=
        FutureLine("7000", 1, "06.2026", "2601", 2, "2600", "", "1000,00", FutureText(kFutureVacation, kNonProd)) +
        FutureLine("6901", 5, "06.2026", "2610", 2, "2600", "", "195,56", FutureText(kFuturePension, kNonProd)) +
        FutureLine("6906", 4, "06.2026", "2611", 2, "2600", "", "60,00", FutureText(kFutureInjury, kNonProd)) +
        FutureLine("6905", 8, "06.2026", "2613", 2, "2600", "2", "13,33", FutureText(kFutureTerritorial, kNonProd));
    return lines;
}

QByteArray ExpectedSectionTwo()
{
    // Material help: the second archive entry (40) and the row of 50; the
    // contribution by tax table takes the average earnings (group 1) alone.
    return QByteArray("9102;7000;4;9;;;;;;;;;;;;;500,00;") +
           Ansi(QStringLiteral("Выплаты за счет прибыли (оплата путевок);")) + "\r\n" +
           ProfitLine("9102", "7000", 7, "400,00",
                      QStringLiteral("Выплаты за счет прибыли (пособие по уходу на пенсию);")) +
           ProfitLine("9102", "7000", 6, "300,00", QStringLiteral("Выплаты за счет прибыли (премия юбилярам);")) +
           ProfitLine("9102", "7000", 17, "200,00", QStringLiteral("Выплаты за счет прибыли (дополнительный доход);")) +
           ProfitLine("9102", "7000", 5, "90,00", QStringLiteral("Выплаты за счет прибыли (материальная помощь);")) +
           ProfitLine("9102", "7000", 33, "70,00", QStringLiteral("Выплаты за счет прибыли (поликлинника);")) +
           ProfitLine("9102", "7000", 8, "60,00", QStringLiteral("Выплаты за счет прибыли (особо важные);")) +
           ProfitLine("9102", "7000", 41, "1000,00", QStringLiteral("Выплаты за счет прибыли (средняя зараб.плата);")) +
           ProfitLine("9102", "6906", 11, "100,00", QStringLiteral("Взносы в ФСС (травматизм) за счет прибыли;")) +
           QByteArray("6901;7000;;;;;;;;;;;;;;;600,00;") +
           Ansi(QStringLiteral("Начисления по больничному за счет ср-в ФСС;")) + "\r\n" +
           ProfitLine("6901", "7000", 0, "350,00", QStringLiteral("Пособия из ср-в ФСС;")) +
           ProfitLine("7000", "6804", 0, "4520,00", QStringLiteral("Подоходный налог;")) +
           ProfitLine("7000", "7606", 0, "200,00", QStringLiteral("Проф взносы;")) +
           ProfitLine("6902", "6907", 0, "12200,00", QStringLiteral("Страх.ч.взносов в ПФР;")) +
           ProfitLine("6902", "6908", 0, "100,00", QStringLiteral("Накоп.ч.взносов в ПФР;"));
}

void ExpectSameLines(const QByteArray& written, const QByteArray& expected)
{
    const QList<QByteArray> lines = written.split('\n');
    const QList<QByteArray> expectedLines = expected.split('\n');
    for (qsizetype i = 0; i < std::min(lines.size(), expectedLines.size()); ++i)
        ASSERT_EQ(codepage::fromCp1251(lines[i]).toStdString(), codepage::fromCp1251(expectedLines[i]).toStdString())
            << "line " << i + 1;
    EXPECT_EQ(written, expected);
}

TEST_F(InfinPostings, WholeFileOfBothSections)
{
    ASSERT_EQ(ExportPostingsInfin({}, doc, PostingsSelection{}, QString()), 0);
    ExpectSameLines(Written(), ExpectedSectionOne() + ExpectedSectionTwo());
    EXPECT_FALSE(doc.infoBase.swap.isOpen());
    EXPECT_FALSE(QFile::exists(doc.infoBase.workFolder + QStringLiteral("console.log")));
}

TEST_F(InfinPostings, TheReportGeneratorsMonthTakesItsArchiveEntriesAlone)
{
    // February 2026: the first employee's archived salary of 500, and 10 % of
    // it by tax table; the month rows belong to March.
    doc.infoBase.config.r_g = 126;
    doc.infoBase.config.r_m1 = 2;
    EXPECT_EQ(InfinExportMonth(doc), MonthKey(2026, 2));
    ASSERT_EQ(ExportPostingsInfin({}, doc, PostingsSelection{}, QString()), 0);
    ExpectSameLines(Written(), MonthLine("2000", "7000", "2055", 1, "", "500,00", Wages(kProd)) +
                                   MonthLine("2000", "6906", "2611", 1, "", "50,00", Injury(kProd)));
    // Either of the two unset: the reporting month.
    doc.infoBase.config.r_m1 = 0;
    EXPECT_EQ(InfinExportMonth(doc), MonthKey(2026, 3));
}

TEST_F(InfinPostings, OneShopsEmployeesStillReportTheirRowsOfOtherShops)
{
    PostingsSelection selection;
    selection.shop = 1;
    ASSERT_EQ(ExportPostingsInfin({}, doc, selection, QString()), 0);
    const QByteArray written = Written();
    // The first employee only (shop 37 is no shop 1 for the selection): his
    // salary in shop 1 and the 5,000 earned in shop 2.
    EXPECT_TRUE(written.startsWith(MonthLine("2000", "7000", "2055", 1, "", "30000,00", Wages(kProd)) +
                                   MonthLine("2000", "7000", "2055", 2, "", "5000,00", Wages(kProd))))
        << written.constData();
    EXPECT_FALSE(written.contains("2600;"));
}

TEST_F(InfinPostings, ContributionsAndTheirSplitOverTheFollowingMonths)
{
    InfinCodeSums sums{};
    sums[1] = 2'000'000;
    sums[98] = 100'000;
    sums[990] = 440'000;
    sums[24] = 70'000; // group 3: no part of the base
    const ContributionKind& byTable = doc.refFiles.sbor[3];
    EXPECT_DOUBLE_EQ(ContributionByTaxTable(doc, sums, byTable), 210'000);
    InfinCodeSums negative{};
    negative[1] = -50'000;
    EXPECT_DOUBLE_EQ(ContributionByTaxTable(doc, negative, byTable), -5'000);
    ContributionKind noTable = byTable;
    noTable.table = 0;
    EXPECT_DOUBLE_EQ(ContributionByTaxTable(doc, sums, noTable), 0);

    // A disabled employee: June's charge by tax table at 0.6.
    doc.infoBase.current.clear();
    doc.infoBase.current.head.invDat2Begin = u16(MonthKey(2026, 5).value());
    doc.infoBase.current.head.invDat2End = u16(MonthKey(2026, 7).value());
    InfinShareTable bases{}, shares{};
    ASSERT_EQ(SplitContributionsInfin(doc, sums, bases, shares), 0);
    EXPECT_DOUBLE_EQ(bases[0][0], 2'100'000);
    EXPECT_DOUBLE_EQ(bases[3][0], 100'000);
    EXPECT_DOUBLE_EQ(bases[1][0], 0);
    EXPECT_DOUBLE_EQ(shares[0][0], 440'000);
    EXPECT_NEAR(shares[3][0], 440'000.0 * 100'000 / 2'100'000, 1e-6);
    EXPECT_DOUBLE_EQ(shares[3][kInfinTableColumn], 6'000);
    EXPECT_DOUBLE_EQ(shares[1][kInfinTableColumn], 0);

    doc.refFiles.sbor[3].table = 0;
    EXPECT_EQ(SplitContributionsInfin(doc, sums, bases, shares), -32);
}

TEST_F(InfinPostings, ATableWithoutNumberOrAStopLeavesTheFileAsItWas)
{
    QFile old(InfinPath());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("earlier\r\n");
    old.close();

    doc.refFiles.sbor[3].table = 0;
    EXPECT_EQ(ExportPostingsInfin({}, doc, PostingsSelection{}, QStringLiteral("echo loaded")), -32);
    EXPECT_EQ(Written(), QByteArray("earlier\r\n"));

    doc.refFiles.sbor[3].table = 3;
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(ExportPostingsInfin(stop.get_token(), doc, PostingsSelection{}, QStringLiteral("echo loaded")), 1);
    EXPECT_EQ(Written(), QByteArray("earlier\r\n"));
    EXPECT_FALSE(QFile::exists(doc.infoBase.workFolder + QStringLiteral("console.log")));
    EXPECT_FALSE(doc.infoBase.swap.isOpen());
}

// The loader runs without a command interpreter, in the working folder where
// it finds the file: its words reach it as they stand (a ";" or "$(...)" is no
// command), a shell is asked for by name, and a loader that fails or cannot
// start is said with its code and its first lines.
TEST_F(InfinPostings, TheLoaderCommandRunsAfterTheFileIsWritten)
{
    QString failure;
    ASSERT_EQ(ExportPostingsInfin({}, doc, PostingsSelection{},
                                  QStringLiteral("sh -c \"echo loader saw $(wc -l < infin.txt)\""), &failure),
              0);
    EXPECT_EQ(failure, QString());
    QFile log(doc.infoBase.workFolder + QStringLiteral("console.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), QByteArray("loader saw 43\n"));
    log.close();
    ASSERT_TRUE(log.remove());

    EXPECT_EQ(RunInfinLoader(QStringLiteral("echo $(touch hacked); touch hacked2"), doc.infoBase.workFolder), QString());
    EXPECT_FALSE(QFile::exists(doc.infoBase.workFolder + QStringLiteral("hacked")));
    EXPECT_FALSE(QFile::exists(doc.infoBase.workFolder + QStringLiteral("hacked2")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), QByteArray("$(touch hacked); touch hacked2\n"));

    EXPECT_EQ(RunInfinLoader(QStringLiteral("sh -c \"echo нет базы ИНФИН; exit 3\""), doc.infoBase.workFolder),
              QStringLiteral("Загрузчик ИНФИН завершился с кодом 3:\nsh -c \"echo нет базы ИНФИН; exit 3\"\nнет базы ИНФИН"));
    EXPECT_EQ(RunInfinLoader(QStringLiteral("/no/such/infin-loader infin.txt"), doc.infoBase.workFolder)
                  .section(QLatin1Char('\n'), 0, 1),
              QStringLiteral("Не удалось запустить загрузчик ИНФИН:\n/no/such/infin-loader infin.txt"));
}

// ---------------------------------------------------------------- the worker

class RecordingMessenger : public ExchangeMessenger {
public:
    void ShowError(const QString& text) const override { shown << QStringLiteral("error: ") + text; }
    void ShowInformation(const QString& text) const override { shown << text; }
    void ShowDbError(const db::DbError& error) const override { shown << error.message(); }
    void ShowMessage(const QString& text) const override { shown << text; }
    bool AskYesNo(const QString& text) const override
    {
        shown << text;
        return true;
    }
    mutable QStringList shown;
};

struct OfferingPrompt : print::PrintCommandPrompt {
    std::optional<QString> ConfirmCommand(const QString& reportPath, const QString&) override
    {
        offered << reportPath;
        return std::nullopt;
    }
    QStringList offered;
};

QStringList RunExportWorker(PayrollDoc& doc, const PostingsTaskParams& params, OfferingPrompt& prompt)
{
    RecordingMessenger messenger;
    platform::TaskThread thread;
    bool ended = false;
    QObject::connect(&thread, &platform::TaskThread::done, [&](int, int, const QString&) { ended = true; });
    thread.start([&](platform::TaskContext& context) {
        return ProvodExportThreadProc(context, params, doc, messenger, prompt);
    });
    EXPECT_TRUE(WaitFor([&] { return ended; }, 60'000));
    return messenger.shown;
}

TEST_F(InfinPostings, TheWorkerSaysTheMonthIsDoneOnlyAfterAFinishedRun)
{
    OfferingPrompt prompt;
    PostingsTaskParams params;
    params.program = 2;
    const QStringList shown = RunExportWorker(doc, params, prompt);
    EXPECT_EQ(shown, QStringList{QStringLiteral("Выгрузка за Март месяц завершена!\nЗагрузчик ИНФИН не задан (параметр "
                                                "InfinLoader раздела [Application] файла настроек): файл infin.txt в "
                                                "программу ИНФИН не передан.")});
    EXPECT_TRUE(prompt.offered.isEmpty());
    EXPECT_EQ(Written(), ExpectedSectionOne() + ExpectedSectionTwo());
    EXPECT_TRUE(QFile::exists(doc.SummaryFile()));

    params.infinLoader = QStringLiteral("echo ИНФИН");
    EXPECT_EQ(RunExportWorker(doc, params, prompt), QStringList{QStringLiteral("Выгрузка за Март месяц завершена!")});
    // A loader that fails: the month is done, the loader's failure said with it.
    params.infinLoader = QStringLiteral("false");
    EXPECT_EQ(RunExportWorker(doc, params, prompt),
              QStringList{QStringLiteral("error: Выгрузка за Март месяц завершена!\nЗагрузчик ИНФИН завершился с кодом 1:\n"
                                         "false")});
    params.infinLoader = QStringLiteral("echo ИНФИН");

    // A contribution table without a number: its message, and no "done".
    doc.refFiles.sbor[3].table = 0;
    EXPECT_EQ(RunExportWorker(doc, params, prompt),
              QStringList{QStringLiteral("error: Не задан номер налоговой таблицы для отчисления")});
}

} // namespace
