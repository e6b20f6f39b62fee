// The personal account T-54: the pages and rows of a fixture employee with a
// vacation, two deductions, sick-leave days, a time record and months with
// accruals and deductions, without and with the editor; the selection record;
// short dates; the document written on the template and its text in a PDF.
#include "exchange/T54Form.h"

#include "PrintedPages.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/PayKinds.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "reports/social/SocialFormTexts.h"
#include "support/DemoJanuary2012.h"
#include "support/OfficeConvert.h"
#include "support/TestFixture.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <set>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::exchange;
using kalvortest::PagesOf;
using kalvortest::PrintedPage;

using namespace kalvor::testsupport;

namespace {

const QString kSourceData = QStringLiteral(KALVOR_SOURCE_DIR "/data");

double packed(int day, int month, int year) { return PackedDate::make(day, month, year).value; }
double kop(double roubles) { return roubles * 100; }

WariaEntry Entry(int code, int month, double roubles, int days = 0, int hours = 0, int minutes = 0)
{
    WariaEntry e;
    e.kod = u16(code);
    e.mes = u16(month);
    e.god = 2026;
    e.sum = kop(roubles);
    e.dn = u16(days);
    e.hr = u16(hours);
    e.min = u16(minutes);
    return e;
}

// One employee of the fixture made known: the base's month is March 2026,
// so the month table shows January and February.
class T54Run : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform::SetWorkingFolder(kSourceData);
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        doc.setWorkFolder(dir.path());
        CInfoBase& base = doc.infoBase;
        base.baseName = QStringLiteral("t54");
        CreateSchemaBase(dir.path(), base.baseName);
        OpenBase(base);
        FixtureBase fx = BuildFixtureBase(base, 2, 5);
        EmployeeRecord& rec = fx.records[0];
        EmployeeHead& h = rec.head;
        h.fio = QStringLiteral("Соколов Андрей Петрович");
        h.datR = u16(packed(14, 7, 1980));
        h.datPr1 = u16(packed(5, 10, 2009));
        h.datUv1 = 0;
        h.oklad = kop(30'000);
        h.nadbav = kop(5'000);
        h.tabPodoh = 1;
        h.INN = QStringLiteral("352800112233");
        h.strahPolis = QStringLiteral("123-456-789 00");
        h.propKodReg = QStringLiteral("35");
        h.married = 1;
        h.children = 2;
        h.dolgName = QStringLiteral("Инженер-технолог");
        rec.waria.assign(rec.waria.size(), WariaEntry{});
        const WariaEntry entries[] = {
            Entry(1, 1, 30'000, 21), Entry(4, 1, 0, 15, 120, 30), Entry(905, 1, 1'500),    Entry(919, 1, 700),
            Entry(151, 1, 250),      Entry(561, 1, 2'100, 3),     Entry(562, 1, 1'400, 2), Entry(86, 2, 9'000, 13),
            Entry(1, 2, 30'000, 19), Entry(905, 2, 1'500),        Entry(902, 2, 3'900),
        };
        rec.warKv = 0;
        for (const WariaEntry& e : entries) rec.waria[rec.warKv++] = e;
        fx.records[1].head.tabPodoh = 0; // not on the personal accounts
        std::vector<WarDatBlock> dated(2);
        WarDatEntry& vacation = dated[0].entries[0];
        vacation.start = u16(packed(10, 2, 2026));
        vacation.end = u16(packed(23, 2, 2026));
        vacation.mes = 2;
        vacation.god = 26;
        vacation.kod = 86;
        vacation.sum = kop(9'000);
        dated[0].warDatKv = 1;
        const int slot = base.list[0].slot;
        base.attributesOf(slot).kateg = 2;
        base.attributesOf(slot).brig = 3;
        base.shopOf(slot) = 1;
        base.config.tekMes = u16(MonthKey(2026, 3).value());
        base.config.r_g = 126;
        base.config.r_m1 = 1;
        base.config.r_m2 = 12;
        // The first record in the list is the one made known above.
        std::vector<EmployeeRecord> records = fx.records;
        std::vector<WarDatBlock> blocks(records.size());
        blocks[std::size_t(slot - 1)] = dated[0];
        std::swap(records[0], records[std::size_t(slot - 1)]);
        SaveAll(base, records, &blocks);
        tabN = base.list[0].tabN();
    }
    void TearDown() override
    {
        CloseBase(doc.infoBase);
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
        platform::SetWorkingFolder(QString());
    }
    QString name(int code) const
    {
        const PayKind* kind = PayKindOf(doc, code);
        return kind ? codepage::fromCp1251(reports::FixedText(kind->name, 20)) : QString();
    }
    std::vector<PrintedPage> Print(const T54Selection& selection, const T54Editor& editor = {})
    {
        QDomDocument data;
        EXPECT_EQ(PrintT54Form(selection, {}, doc.TypWorkFile(), 0, doc, editor, &data), 0);
        return PagesOf(data);
    }

    QTemporaryDir dir;
    PayrollDoc doc;
    int tabN = 0;
    ScopedToday today{QDate(2026, 3, 10)};
};

QStringList Trimmed(QStringList values)
{
    for (QString& v : values) v = v.trimmed();
    return values;
}

TEST(T54Selection, ShortDates)
{
    EXPECT_EQ(T54ShortDate(packed(5, 10, 2009)), "5.10.2009");
    EXPECT_EQ(T54ShortDate(packed(5, 3, 2009)), "5.03.2009");
    EXPECT_EQ(T54ShortDate(0), "");
    // A year of the last century stays in it (not 2000 + yy).
    ScopedToday today(QDate(2026, 3, 10));
    EXPECT_EQ(T54ShortDate(packed(1, 9, 1998)), "1.09.1998");
}

TEST(T54Selection, SectionThreeListsSevenDeductionCodes)
{
    std::vector<int> listed;
    for (int code = 700; code < 1000; ++code)
        if (T54ListedDeduction(code))
            listed.push_back(code);
    EXPECT_EQ(listed, (std::vector<int>{905, 908, 909, 911, 912, 913, 919}));
}

TEST_F(T54Run, PageAndRowsWithoutTheEditor)
{
    bool editorOpened = false;
    const std::vector<PrintedPage> pages = Print(T54Selection{}, [&](KalvorDocData&) { editorOpened = true; });
    EXPECT_FALSE(editorOpened);
    ASSERT_EQ(pages.size(), 1u); // the second employee has no personal account
    const PrintedPage& page = pages[0];
    const QString shopName = doc.infoBase.shopAt(1).name;
    EXPECT_EQ(Trimmed(page.values),
              (QStringList{QStringLiteral("ООО «Северный машиностроительный завод»"), "01234567",
                           shopName + QStringLiteral("(Цех - 1) Бригада - 3"), "1", "01.01.2026", "28.02.2026", "2",
                           "352800112233", "123-456-789 00", "35", QStringLiteral("состоит"), "2", "05.10.2009", "---",
                           QStringLiteral("Соколов Андрей Петрович"), QString::number(tabN), "14.07.1980"}));
    EXPECT_EQ(page.values[14].size(), 50);
    // No dates in sections 1-3 without the editor: no "row0".
    EXPECT_EQ(page.rowNames(),
              (QStringList{"row1", "row2", "row3", "row4", "row5", "row6", "row7", "row6", "row9", "row10"}));
    EXPECT_EQ(page.row("row2"), (QStringList{name(1), "", "", "", "", name(905), name(919), "", "", "", ""}));
    EXPECT_EQ(page.row("row4"),
              (QStringList{"1", "", "", "", "", "", "", "", "902", "905", "919", "", "", "", "", "151", ""}));
    EXPECT_EQ(page.row("row6", 0),
              (QStringList{"01",     "4",    "15",   "4",    "120.30",  "30000.00", "0.00",   "0.00", "0.00",
                           "0.00",   "0.00", "561",  "3",    "2100.00", "33500.00", "0.00",   "0.00", "1500.00",
                           "700.00", "0.00", "0.00", "0.00", "0.00",    "2200.00",  "250.00", "",     "31550.00"}));
    EXPECT_EQ(page.row("row7"), (QStringList{"", "562", "2", "1400.00", ""}));
    EXPECT_EQ(page.row("row6", 1),
              (QStringList{"02",   "0",    "0",    "0",    "0.00", "30000.00", "0.00", "0.00",    "0.00",
                           "0.00", "0.00", "0",    "0",    "0.00", "30000.00", "0.00", "3900.00", "1500.00",
                           "0.00", "0.00", "0.00", "0.00", "0.00", "5400.00",  "0.00", "",        "24600.00"}));
    EXPECT_EQ(Trimmed(page.row("row10")),
              (QStringList{QStringLiteral("Белова Нина Сергеевна"), "10", QStringLiteral("марта"), ""}));
}

TEST_F(T54Run, EditorValuesArePrinted)
{
    T54Selection selection;
    selection.showEditor = 1;
    int opened = 0;
    const auto editor = [&](KalvorDocData& data) {
        ++opened;
        EXPECT_EQ(data.formBlock[T54EmployeeText], QStringLiteral("Соколов Андрей Петрович"));
        T54WorkBlock block(data);
        // What the run worked out: line 1 of sections 1-3 and line 2 of section 3.
        EXPECT_EQ(block.cell(0, 2), 1);
        EXPECT_EQ(block.cell(0, 3), 3);
        EXPECT_EQ(block.cell(0, 4), 30'000);
        EXPECT_EQ(block.cell(0, 5), 5'000);
        EXPECT_EQ(block.cell(0, 7), 1);
        EXPECT_EQ(block.cell(0, 12), packed(10, 2, 2026));
        EXPECT_EQ(block.cell(0, 14), 13);
        EXPECT_EQ(block.cell(1, 15), 919);
        EXPECT_EQ(block.cell(1, 21), 700);
        EXPECT_EQ(data.formBlock[T54Line1Column4], QStringLiteral("Инженер-технолог"));
        block.cell(0, 0) = packed(5, 10, 2009);
        block.cell(0, 1) = 17;
        block.cell(0, 8) = packed(1, 2, 2026);
        block.cell(0, 9) = 4;
        block.cell(0, 16) = packed(12, 1, 2026);
        block.cell(0, 17) = 9;
        block.cell(1, 16) = packed(20, 1, 2026);
        data.formBlock[T54Line1Column5] = QStringLiteral("5 разряд");
    };
    const std::vector<PrintedPage> pages = Print(selection, editor);
    EXPECT_EQ(opened, 1);
    ASSERT_EQ(pages.size(), 1u);
    const QStringList line1 = pages[0].row("row0", 0);
    ASSERT_EQ(line1.size(), 22);
    EXPECT_EQ(line1.mid(0, 21), (QStringList{"5.10.2009",
                                             "17",
                                             QStringLiteral("Ц-1 Б-3"),
                                             QStringLiteral("Инженер-технолог"),
                                             QStringLiteral("5 разряд"),
                                             "30000.00",
                                             "5000.00",
                                             "0.00",
                                             "1",
                                             "1.02.2026",
                                             "4",
                                             "1.01.2026",
                                             "28.02.2026",
                                             "10.02.2026",
                                             "23.02.2026",
                                             "13",
                                             "905 12.01.2026 N9",
                                             "1.01.2026",
                                             "28.02.2026",
                                             "1500.00",
                                             "3000.00"}));
    EXPECT_TRUE(line1[21].contains('.')) << line1[21].toStdString();
    EXPECT_EQ(pages[0].row("row0", 1), (QStringList{"",
                                                    "",
                                                    "",
                                                    "",
                                                    "",
                                                    "",
                                                    "",
                                                    "",
                                                    "",
                                                    "",
                                                    "",
                                                    "",
                                                    "",
                                                    "",
                                                    "",
                                                    "",
                                                    "919 20.01.2026 N0",
                                                    "1.01.2026",
                                                    "31.01.2026",
                                                    "700.00",
                                                    "700.00",
                                                    ""}));
}

TEST_F(T54Run, JanuaryEndsTheYearBeforeAndTheDocumentIsWritten)
{
    doc.infoBase.config.tekMes = u16(MonthKey(2026, 1).value());
    const std::vector<PrintedPage> pages = Print(T54Selection{});
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].values[5], "31.12.2025");
    EXPECT_EQ(pages[0].row("row6"), QStringList()); // no month before January

    // A leap February ends on the 29th.
    doc.infoBase.config.tekMes = u16(MonthKey(2028, 3).value());
    doc.infoBase.config.r_g = 128;
    EXPECT_EQ(Print(T54Selection{})[0].values[5], "29.02.2028");
    doc.infoBase.config.r_g = 126;

    const QString rtf = dir.filePath(QStringLiteral("t54.rtf"));
    ASSERT_TRUE(QFile::exists(rtf));
    if (OfficeProgram().isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    QFile pdf(ConvertWithOffice(rtf, QStringLiteral("pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));
    if (!PdfToTextAvailable())
        return;
    const QString content = PdfText(pdf.fileName()).simplified();
    EXPECT_TRUE(content.contains(QStringLiteral("Северный машиностроительный завод")));
    EXPECT_TRUE(content.contains(QStringLiteral("Соколов Андрей Петрович")));
    EXPECT_TRUE(content.contains(QStringLiteral("ЛИЦЕВОЙ СЧЕТ")));
}

// A year before the reporting month's is printed whole, from any later
// month: every month of its period from the archive, the period ending with
// the period's last month (not before the reporting month).
TEST_F(T54Run, AClosedYearPrintedLaterHoldsEveryMonthOfItsPeriod)
{
    for (const MonthKey printedIn : {MonthKey(2027, 1), MonthKey(2027, 5)}) {
        doc.infoBase.config.tekMes = u16(printedIn.value());
        const std::vector<PrintedPage> pages = Print(T54Selection{});
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(pages[0].values.mid(4, 2), (QStringList{"01.01.2026", "31.12.2026"}));
        QStringList months;
        for (int m = 0; !pages[0].row("row6", m).isEmpty(); ++m) months << pages[0].row("row6", m)[0];
        EXPECT_EQ(months, (QStringList{"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12"}));
        // January: 30,000.00 + 2,100.00 + 1,400.00 accrued; February 30,000.00.
        EXPECT_EQ(pages[0].row("row6", 0)[14], "33500.00");
        EXPECT_EQ(pages[0].row("row6", 1)[14], "30000.00");
        EXPECT_EQ(pages[0].row("row6", 2)[14], "0.00");
    }
    // The first half of the year: its months only, ending on 30 June.
    doc.infoBase.config.r_m2 = 6;
    const std::vector<PrintedPage> half = Print(T54Selection{});
    ASSERT_EQ(half.size(), 1u);
    EXPECT_EQ(half[0].values[5], "30.06.2026");
    EXPECT_EQ(half[0].rowNames().count("row6"), 6);
    // A period from April: the closed year's table still runs from January,
    // whose 33,500.00 it holds.
    doc.infoBase.config.r_m1 = 4;
    const std::vector<PrintedPage> fromApril = Print(T54Selection{});
    ASSERT_EQ(fromApril.size(), 1u);
    EXPECT_EQ(fromApril[0].rowNames().count("row6"), 6);
    EXPECT_EQ(fromApril[0].row("row6", 0)[0], "01");
    EXPECT_EQ(fromApril[0].row("row6", 0)[14], "33500.00");
}

TEST_F(T54Run, SalaryOfCodeFourIsTheMonthsTimeAndAnAccrual)
{
    const int slot = doc.infoBase.list[0].slot;
    LoadEmployee(doc.infoBase, slot);
    EmployeeRecord& record = doc.infoBase.current;
    record.waria[record.warKv++] = Entry(4, 2, 12'000, 19, 152);
    SaveEmployee(doc.infoBase, slot);
    const std::vector<PrintedPage> pages = Print(T54Selection{});
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].row("row4").mid(0, 3), (QStringList{"1", "4", ""}));
    EXPECT_EQ(pages[0].row("row6", 1),
              (QStringList{"02",   "4",    "19",   "4",    "152.00", "30000.00", "12000.00", "0.00",    "0.00",
                           "0.00", "0.00", "0",    "0",    "0.00",   "42000.00", "0.00",     "3900.00", "1500.00",
                           "0.00", "0.00", "0.00", "0.00", "0.00",   "5400.00",  "0.00",     "",        "36600.00"}));
    // A time record without an amount takes no column (January).
    EXPECT_EQ(pages[0].row("row6", 0).mid(0, 7), (QStringList{"01", "4", "15", "4", "120.30", "30000.00", "0.00"}));
}

TEST_F(T54Run, StopLeavesNoDocument)
{
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(PrintT54Form(T54Selection{}, stop.get_token(), doc.TypWorkFile(), 0, doc, {}), 1);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("t54.rtf"))));
}

#ifdef KALVOR_DATA_DIR
// The demo firm taken to January 2012 by its own months.
class T54Demo : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_NO_FATAL_FAILURE(OpenDemoJanuary2012(doc, dir.path() + QLatin1Char('/')));
        platform::SetWorkingFolder(kSourceData);
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
    }
    void TearDown() override
    {
        CloseBase(doc.infoBase);
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
        platform::SetWorkingFolder(QString());
    }

    QTemporaryDir dir;
    PayrollDoc doc;
};

// 2011's personal account of 115 printed in January 2012, when it is due:
// the twelve months of the year, each month's accruals and deductions the
// stored archive's, 78,944.76 accrued in the year. The first quarter prints January to March.
TEST_F(T54Demo, TheYearsAccountPrintedInTheNextJanuaryHoldsItsMonths)
{
    CInfoBase& base = doc.infoBase;
    ASSERT_EQ(base.config.reportingKey(), MonthKey(2012, 1));
    base.config.r_g = 111;
    base.config.r_m1 = 1;
    base.config.r_m2 = 12;
    const int index = base.FindEmployee(115);
    ASSERT_GE(index, 0);
    LoadEmployee(base, base.list[std::size_t(index)].slot);
    std::array<double, 13> accrued{}, withheld{};
    std::set<int> codes;
    for (int i = 0; i < base.current.warKv; ++i) {
        const WariaEntry& e = base.current.waria[std::size_t(i)];
        if (e.god != 2011 || e.kod >= 990)
            continue;
        codes.insert(e.kod);
        (e.kod < 700 ? accrued : withheld)[e.mes] += e.sum;
    }
    // His pay kinds, his sick leave (111, 155, 156: the day-based entries of
    // their months) and the tax.
    ASSERT_EQ(codes, (std::set<int>{1, 7, 9, 111, 155, 156, 902}));

    T54Selection one;
    one.tabN = 115;
    QDomDocument data;
    ASSERT_EQ(PrintT54Form(one, {}, doc.TypWorkFile(), 0, doc, {}, &data), 0);
    const std::vector<PrintedPage> pages = PagesOf(data);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].values.mid(4, 2), (QStringList{"01.01.2011", "31.12.2011"}));
    double year = 0;
    for (int month = 1; month <= 12; ++month) {
        const QStringList row = pages[0].row("row6", month - 1);
        ASSERT_EQ(row.size(), 27) << month;
        EXPECT_EQ(row[0], QString::fromLatin1(reports::TwoDigitNumber(month))) << month;
        EXPECT_EQ(row[14], QString::number(accrued[std::size_t(month)] / 100, 'f', 2)) << month;
        EXPECT_EQ(row[23], QString::number(withheld[std::size_t(month)] / 100, 'f', 2)) << month;
        year += row[14].toDouble();
    }
    EXPECT_EQ(pages[0].row("row6", 12), QStringList());
    EXPECT_NEAR(year, 78'944.76, 0.005);

    base.config.r_m2 = 3;
    ASSERT_EQ(PrintT54Form(one, {}, doc.TypWorkFile(), 0, doc, {}, &data), 0);
    const std::vector<PrintedPage> quarter = PagesOf(data);
    ASSERT_EQ(quarter.size(), 1u);
    EXPECT_EQ(quarter[0].values[5], "31.03.2011");
    EXPECT_EQ(quarter[0].rowNames().count("row6"), 3);
    EXPECT_EQ(quarter[0].row("row6", 2)[14], pages[0].row("row6", 2)[14]);
}
#endif

} // namespace
