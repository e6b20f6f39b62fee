// The print form of the 4-FSS settlement of 2011: the template's bookmark map
// against the values the writer adds, the title page's cells, the list pages
// of disabled employees (none, a page filled exactly, more than one page) with
// their numbering, and the demo base's form made and converted to PDF.
#include "reports/social/SocialInsurance2011.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "print/CTree.h"
#include "support/OfficeConvert.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <cstring>

#ifdef KALVOR_DATA_DIR
#include "DemoFirm.h"
#endif

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;
using namespace kalvor::reports::fss4;

using namespace kalvor::testsupport;

namespace {

const QString kSourceData = QStringLiteral(KALVOR_SOURCE_DIR "/data");

QByteArray cp(const QString& text) { return codepage::toCp1251(text); }

InvalRecord Disabled(int number)
{
    InvalRecord record;
    const QByteArray name = cp(QStringLiteral("Волков%1,Виктор,Сергеевич").arg(number)).leftJustified(50, ' ');
    std::memcpy(record.fio.data(), name.constData(), 50);
    std::memcpy(record.invSprDat.data(), "16.02.10", 8);
    std::memcpy(record.invEnd.data(), "01.02.2012", 10);
    record.sinceYearStart = 600'000;
    record.months = {200'000, 200'000, 0};
    record.quarter = 400'000;
    return record;
}

std::vector<InvalRecord> Disabled(std::size_t count)
{
    std::vector<InvalRecord> records;
    for (std::size_t k = 0; k < count; ++k) records.push_back(Disabled(int(k) + 1));
    return records;
}

class Fss4Form : public ::testing::Test {
protected:
    void SetUp() override
    {
        FirmInfo& f = doc.infoBase.firm;
        const auto set = [&](FirmInfo::Text which, const char16_t* value) {
            f.texts[which] = QString::fromUtf16(value);
        };
        set(FirmInfo::firmName, u"ООО \"Ромашка\"");
        set(FirmInfo::firmFSS, u"3501012345");
        set(FirmInfo::firmKodObosob, u"01");
        set(FirmInfo::firmPodchFSS, u"35011");
        set(FirmInfo::firmOKVED, u"29.24.91");
        set(FirmInfo::firmOKFS, u"16");
        set(FirmInfo::adrObl, u"Вологодская  обл");
        set(FirmInfo::adrGorod, u"Череповец г");
        set(FirmInfo::adrPhone, u"8-8202-55-12-34-56");
        set(FirmInfo::fioShef, u"Громов Виктор Павлович");
        doc.infoBase.config.tekMes = u16(MonthKey(2011, 4).value());
        doc.infoBase.config.r_g = 111;
        doc.infoBase.config.r_m1 = 1;
        doc.infoBase.config.r_m2 = 3;
        doc.GenrValues[kHeadcount] = 48;
    }
    QList<FormRegion> regions(std::size_t records = 0) const
    {
        return RVedFSS2011FormRegions(doc, Disabled(records), QDate(2011, 4, 8));
    }
    const FormRegion& region(const QList<FormRegion>& all, const char* name) const
    {
        for (const FormRegion& r : all)
            if (r.name == name)
                return r;
        static const FormRegion none;
        return none;
    }
    // The pages and rows in order: "page4:5" for a page and its number,
    // "row0" for a row.
    static QStringList Outline(const QList<FormRegion>& all)
    {
        QStringList outline;
        for (const FormRegion& r : all) {
            if (r.row)
                outline << QString::fromLatin1(r.name);
            else
                outline << QString::fromLatin1(r.name + ':' + r.values[20] + r.values[21] + r.values[22]);
        }
        return outline;
    }
    static QString Join(const QList<QByteArray>& values, int first, int count)
    {
        QStringList parts;
        for (int k = first; k < first + count; ++k) parts << codepage::fromCp1251(values[k]);
        return parts.join(u'|');
    }

    PayrollDoc doc;
};

// The map of the template, as the engine reads it, gives each region as
// many value bookmarks as the writer adds values.
TEST_F(Fss4Form, TemplateBookmarksMatchTheWriter)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Shablon")));
    ASSERT_TRUE(QFile::copy(kSourceData + QStringLiteral("/Shablon/avans-fss4-2011.rtf"),
                            dir.filePath(QStringLiteral("Shablon/avans-fss4-2011.rtf"))));
    platform::SetWorkingFolder(dir.path());
    print::CTree tree(kFss4Template2011, dir.filePath(QStringLiteral("x.typ")));
    platform::SetWorkingFolder(QString());
    const QList<QByteArray> map = tree.BookmarkMap();

    // First value of each page, the page head's last value before the rows,
    // and each row region's first and last.
    QMap<QByteArray, int> pageFirst;
    QMap<QByteArray, std::pair<int, int>> rows;
    int pageHeadLast = -1;
    for (qsizetype k = 0; k + 1 < map.size(); ++k) {
        if (map[k].startsWith("page") && !pageFirst.contains(map[k]))
            pageFirst.insert(map[k], map[k + 1].toInt());
        if (map[k].startsWith("row")) {
            rows.insert(map[k], {map[k + 1].toInt(), map[k + 2].toInt()});
            if (map[k] == "row0")
                pageHeadLast = map[k - 1].toInt();
        }
    }
    ASSERT_EQ(pageFirst.size(), 10) << map.join(' ').toStdString();
    const QList<FormRegion> all = regions(33);
    for (int page = 0; page < 10; ++page) {
        const QByteArray name = "page" + QByteArray::number(page);
        const int first = pageFirst.value(name);
        const int end = page == 4   ? pageHeadLast + 1
                        : page == 9 ? map.last().toInt() + 1
                                    : pageFirst.value("page" + QByteArray::number(page + 1));
        EXPECT_EQ(end - first, region(all, name.constData()).values.size()) << name.toStdString();
    }
    const std::map<QByteArray, int> rowValues = {{"row0", 8}, {"row1", 4}, {"row3", 0}, {"row4", 0},
                                                 {"row5", 1}, {"row6", 0}, {"row7", 0}, {"row8", 0}};
    for (const auto& [name, count] : rowValues) {
        ASSERT_TRUE(rows.contains(name)) << name.toStdString();
        EXPECT_EQ(rows[name].second - rows[name].first + 1, count) << name.toStdString();
    }
    EXPECT_FALSE(rows.contains("row2"));
    EXPECT_EQ(region(all, "row0").values.size(), 8);
    EXPECT_EQ(region(all, "row1").values.size(), 4);
}

TEST_F(Fss4Form, TitlePageCells)
{
    QList<QByteArray> title = region(regions(), "page0").values;
    // Head: registration number, additional code, page 001, subordination.
    EXPECT_EQ(Join(title, 0, 28), "3|5|0|1|0|1|2|3|4|5|0|1| | | | | | | | |0|0|1|3|5|0|1|1");
    // Correction number, period code, "01", year.
    EXPECT_EQ(Join(title, 28, 11), "0|0|0|0|3|0|1|2|0|1|1");
    // OKVED without its dots.
    EXPECT_EQ(Join(title, 63, 6), "2|9|2|4|9|1");
    // The telephone of 18 characters with five hyphens loses the last three.
    EXPECT_EQ(Join(title, 105, 15), "8|-|8|2|0|2|-|5|5|1|2|3|4|5|6");
    // OKFS in two cells, the two values after it empty.
    EXPECT_EQ(Join(title, 120, 4), "1|6||");
    // Tariff 071 without disabled employees; "00" without the simplified system.
    EXPECT_EQ(Join(title, 125, 7), "0|7|1|0|0|0|0");
    // Region squeezed, district empty, town, an empty locality.
    EXPECT_EQ(Join(title, 132, 4), "Вологодская обл||Череповец г|");
    // Headcount 48 in six cells, then the women and disabled, the dashes and
    // the pages.
    EXPECT_EQ(Join(title, 140, 6), "0|0|0|0|4|8");
    EXPECT_EQ(Join(title, 158, 12), "-|-|-|-|-|-|0|1|0|0|0|0");
    EXPECT_EQ(Join(title, 170, 1), "1");
    EXPECT_EQ(Join(title, 172, 8), "0|8|0|4|2|0|1|1");
    EXPECT_EQ(title.size(), 181);

    // With disabled employees the tariff is 061; a period to December has
    // code 12, one to February 03; a telephone of 20 characters without
    // hyphens keeps its first 15.
    doc.GenrValues[kBasePeriod + ColDisabled] = 100;
    doc.infoBase.config.r_m2 = 12;
    doc.infoBase.firm.texts[FirmInfo::adrPhone] = QStringLiteral("12345678901234567890");
    title = region(regions(), "page0").values;
    EXPECT_EQ(Join(title, 125, 3), "0|6|1");
    EXPECT_EQ(Join(title, 31, 2), "1|2");
    EXPECT_EQ(Join(title, 105, 15), "1|2|3|4|5|6|7|8|9|0|1|2|3|4|5");
    doc.infoBase.config.r_m2 = 2;
    EXPECT_EQ(Join(region(regions(), "page0").values, 31, 2), "0|3");
}

TEST_F(Fss4Form, AmountsAndZeros)
{
    GenrValueArray& v = doc.GenrValues;
    v[kAccrued] = 21'382.5;
    v[kSickLeave] = 1;
    v[kSickLeave + 1] = 5;
    v[kSickLeave + 2] = 3'000;
    v[kBenefitAmount] = 17'300;
    const QList<FormRegion> all = regions();
    const QList<QByteArray> table1 = region(all, "page1").values;
    EXPECT_EQ(Join(table1, 28, 3), "---|21382.50|---");
    EXPECT_EQ(Join(region(all, "page2").values, 28, 4), "1|5|3000.00|---");
    // The last line of table 3: its first column always "---".
    EXPECT_EQ(Join(region(all, "page2").values, 58, 4), "---|17300.00|---|08.04.2011");
    // Table 4.1 without income: no share.
    EXPECT_EQ(Join(region(all, "page6").values, 28, 7), "0|0|0|---|---|0|08.04.2011");
}

TEST_F(Fss4Form, ListPagesAndTheirNumbers)
{
    // No records: one list page numbered 5 with its empty lines and foot;
    // the next page is 6.
    QStringList outline = Outline(regions(0));
    EXPECT_EQ(outline.mid(4).join(u' '),
              "page4:005 row0 row1 row3 row4 row5 row6 row7 row8 page5:006 page6:007 page7:008 page8:009 "
              "page9:010");
    EXPECT_EQ(region(regions(0), "row5").values, (QList<QByteArray>{"08.04.2011"}));

    // 32 records fill the first list page; the totals open a second one.
    outline = Outline(regions(32));
    EXPECT_EQ(outline.count(QStringLiteral("row0")), 32);
    const QString foot = QStringLiteral("row4 row5 row6 row7 row8");
    EXPECT_EQ(outline.mid(4, 1 + 32 + 1 + 5).join(u' '),
              QStringLiteral("page4:005 ") + QStringLiteral("row0 ").repeated(32) + QStringLiteral("row3 ") + foot);
    EXPECT_EQ(outline.mid(43).join(u' '), QStringLiteral("page4:006 row1 ") + QStringLiteral("row3 ").repeated(32) +
                                              foot +
                                              QStringLiteral(" page5:007 page6:008 page7:009 page8:010 page9:011"));

    // 33 records: the second page holds record 33, the totals of all 33 and
    // 31 blank lines.
    const QList<FormRegion> all = regions(33);
    outline = Outline(all);
    EXPECT_EQ(outline.mid(43).join(u' '), QStringLiteral("page4:006 row0 row1 ") +
                                              QStringLiteral("row3 ").repeated(31) + foot +
                                              QStringLiteral(" page5:007 page6:008 page7:009 page8:010 page9:011"));
    QList<QByteArray> last;
    QList<QByteArray> totals;
    for (const FormRegion& r : all) {
        if (r.name == "row0")
            last = r.values;
        if (r.name == "row1")
            totals = r.values;
    }
    EXPECT_EQ(Join(last, 0, 8), QStringLiteral("33|Волков33,Виктор,Сергеевич|16.02.10|01.02.2012|6000|2000|2000|---"));
    EXPECT_EQ(Join(totals, 0, 4), "198000|66000|66000|---");
}

TEST_F(Fss4Form, InjurySectionAndItsDebt)
{
    GenrValueArray& v = doc.GenrValues;
    v[kInjuryBase] = 895'000;
    v[kInjuryAccrued] = 1'742;
    v[kInjuryRate] = 0.2;
    v[kInjuryBefore + 1] = 594;
    v[kInjuryBefore + 2] = 594;
    v[kInjuryBefore + 3] = 554;
    v[kInjuryBenefitBefore + 2] = 1'500;
    v[kInjuryPaidStart] = 100;
    v[kInjuryOrders] = PackedDate::make(14, 2, 2011).value;
    v[kInjuryOrders + 1] = 18;
    v[kInjuryOrders + 2] = 594;
    const QList<QByteArray> page = region(regions(), "page8").values;
    EXPECT_EQ(Join(page, 28, 3), "895000|---|1742");
    EXPECT_EQ(Join(page, 43, 1), "0.20");
    // Debt at the start, accrued: total, before, quarter, months; owed.
    EXPECT_EQ(Join(page, 44, 8), "---|1742.00|---|1742.00|594.00|594.00|554.00|1742.00");
    // Fund's debt, spent, paid, the orders, the total; the insurer owes
    // 1,742 - 1,500 - 694 < 0: the fund's column takes 452.
    EXPECT_EQ(Join(page, 52, 3), "---|1500.00|694.00");
    EXPECT_EQ(Join(page, 55, 6), "14.02.2011, N18|594.00|---|---|---|---");
    EXPECT_EQ(Join(page, 61, 4), "2194.00|---|452.00|08.04.2011");
    EXPECT_EQ(page.size(), 65);
}

// The form written through the template engine, and converted to PDF by
// LibreOffice for a look (the PDF is kept in the test's folder).
TEST_F(Fss4Form, GeneratedDocumentConvertsToPdf)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    platform::SetWorkingFolder(kSourceData);
    platform::DocumentOpener::SetCommand(QStringLiteral("true"));
    const QString typ = dir.filePath(QStringLiteral("fss4.typ"));
    doc.infoBase.config.r_m1 = 5;
    doc.infoBase.config.r_m2 = 4;
    EXPECT_EQ(PrintRVedFSS2011(typ, doc), -2);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("fss4.rtf"))));
    doc.infoBase.config.r_m1 = 1;
    QString error;
    const int result = PrintRVedFSS2011(typ, doc, &error);
    platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    platform::SetWorkingFolder(QString());
    ASSERT_EQ(result, print::CTree::GenerateDone) << error.toStdString();
    const QString rtf = dir.filePath(QStringLiteral("fss4.rtf"));
    ASSERT_TRUE(QFile::exists(rtf));

    if (OfficeProgram().isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed; the PDF check is skipped";
    QFile pdf(ConvertWithOffice(rtf, QStringLiteral("pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(4) == "%PDF");
    KeepCopy(pdf.fileName(), QStringLiteral("fss4-2011-form.pdf"));
}

} // namespace
