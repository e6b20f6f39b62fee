// The print form of the pension-fund contributions report: the values handed
// to the template engine page by page (title boxes, the tariff sections, the
// list of disabled employees with none, a page filled exactly and more than
// one page, the 2010 and 2011 debt pages), the templates' bookmark maps
// against the writer, and one form kept as a golden RTF.
#include "reports/social/PensionForm.h"

#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "print/CTree.h"
#include "reports/social/PensionContributions.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <cstring>

#ifdef KALVOR_DATA_DIR
#include "infobase/InfoBaseDb.h"
#include "support/DemoDocument.h"
#include "support/OfficeConvert.h"
#endif

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;
using namespace kalvor::reports::ovpf;

using namespace kalvor::testsupport;

namespace {

const QString kSourceData = QStringLiteral(KALVOR_SOURCE_DIR "/data");

// Converts the RTF to PDF beside it with LibreOffice and keeps a copy under
// keptName in the test's folder; false when LibreOffice is not installed.
bool ConvertToPdf(const QString& rtf, const QString& keptName)
{
    if (OfficeProgram().isEmpty())
        return false;
    const QString pdf = ConvertWithOffice(rtf, QStringLiteral("pdf"));
    QFile file(pdf);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(4) == "%PDF");
    KeepCopy(pdf, keptName);
    return true;
}

// Copies both templates into the folder's "Shablon".
void CopyTemplates(const QString& folder)
{
    ASSERT_TRUE(QDir(folder).mkpath(QStringLiteral("Shablon")));
    for (const char* name : {"avans-rsv1-2010", "avans-rsv1-2011"}) {
        const QString file = QStringLiteral("Shablon/") + QString::fromLatin1(name) + QStringLiteral(".rtf");
        ASSERT_TRUE(QFile::copy(kSourceData + u'/' + file, folder + u'/' + file));
    }
}

QByteArray cp(const QString& text) { return codepage::toCp1251(text); }

InvalRecord Disabled(int number)
{
    InvalRecord record;
    const QByteArray name = cp(QStringLiteral("Орлова%1,Анна,\0Петровна").arg(number)).leftJustified(50, '\0');
    std::memcpy(record.fio.data(), name.constData(), 50);
    std::memcpy(record.invSprDat.data(), "12.01.10", 8);
    std::memcpy(record.invEnd.data(), "01.03.2012", 10);
    record.sinceYearStart = 1'500'049; // 15,000.49 roubles
    record.quarter = 999'999; // not printed
    record.months = {500'050, 0, 1'000'000};
    return record;
}

std::vector<InvalRecord> Disabled(std::size_t count)
{
    std::vector<InvalRecord> records;
    for (std::size_t k = 0; k < count; ++k) records.push_back(Disabled(int(k) + 1));
    return records;
}

class PensionForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        FirmInfo& f = doc.infoBase.firm;
        const auto set = [&](FirmInfo::Text which, const char16_t* value) {
            f.texts[which] = QString::fromUtf16(value);
        };
        set(FirmInfo::firmName, u"ООО \"Ромашка\"");
        set(FirmInfo::firmPens, u"035-012-004567");
        set(FirmInfo::firmOMS, u"350100000012345");
        set(FirmInfo::firmINN, u"3528012345");
        set(FirmInfo::firmOKVED, u"29.24.91");
        set(FirmInfo::firmOKFS, u"16");
        set(FirmInfo::adrInd, u"162600");
        set(FirmInfo::adrObl, u"  Вологодская  обл");
        set(FirmInfo::adrGorod, u"Череповец г");
        set(FirmInfo::adrDom, u"12");
        set(FirmInfo::adrPhone, u"8-495-123-45-67-890");
        set(FirmInfo::fioShef, u"Громов Виктор Павлович");
        doc.infoBase.config.tekMes = u16(MonthKey(2011, 4).value());
        doc.infoBase.config.r_g = 111;
        doc.infoBase.config.r_m1 = 1;
        doc.infoBase.config.r_m2 = 3;
        doc.GenrValues[kInsuredPersons] = 48;
        doc.GenrValues[kAverageHeadcount] = 45;
    }
    QList<FormRegion> regions(std::size_t records = 0) { return OVPFFormRegions(doc, Disabled(records), today); }
    static const FormRegion& region(const QList<FormRegion>& all, const char* name)
    {
        for (const FormRegion& r : all)
            if (r.name == name)
                return r;
        static const FormRegion none;
        return none;
    }
    // The pages and rows in order: "page3:004" for a page and its number,
    // "row0" for a row.
    static QString Outline(const QList<FormRegion>& all)
    {
        QStringList outline;
        for (const FormRegion& r : all) {
            if (r.row)
                outline << QString::fromLatin1(r.name);
            else
                outline << QString::fromLatin1(r.name + ':' + r.values[12] + r.values[13] + r.values[14]);
        }
        return outline.join(u' ');
    }
    static QString Join(const QList<QByteArray>& values, int first, int count)
    {
        QStringList parts;
        for (int k = first; k < first + count; ++k) parts << codepage::fromCp1251(values[k]);
        return parts.join(u'|');
    }

    PayrollDoc doc;
    QDate today{2011, 4, 8};
};

TEST_F(PensionForm, TitlePageBoxes)
{
    QList<QByteArray> title = region(regions(), "page0").values;
    ASSERT_EQ(title.size(), 161);
    // The registration number without its dashes, page 001, correction 000,
    // period 03, year.
    EXPECT_EQ(Join(title, 0, 24), "0|3|5|0|1|2|0|0|4|5|6|7|0|0|1|0|0|0|0|3|2|0|1|1");
    EXPECT_EQ(codepage::fromCp1251(title[24]).trimmed(), QStringLiteral("ООО \"Ромашка\""));
    EXPECT_EQ(title[24].size(), 56);
    EXPECT_EQ(Join(title, 51, 18), "0|0|3|5|2|8|0|1|2|3|4|5|2|9|2|4|9|1");
    // 19 characters: the dashes go from the right until 15 are left.
    EXPECT_EQ(Join(title, 105, 15), "8|-|4|9|5|1|2|3|4|5|6|7|8|9|0");
    EXPECT_EQ(Join(title, 122, 9), "162600|Вологодская обл||Череповец г|||12||");
    // Insured persons, headcount, tariff 01, three pages, the head signs.
    EXPECT_EQ(Join(title, 131, 20), "0|0|0|0|4|8|0|0|0|0|4|5|0|1|0|0|3|0|0|0");
    EXPECT_EQ(title[151], "1");
    EXPECT_EQ(codepage::fromCp1251(title[152]).trimmed(), QStringLiteral("Громов Виктор Павлович"));
    EXPECT_EQ(Join(title, 153, 8), "0|8|0|4|2|0|1|1");

    // Correction numbers 3 and 12; a representative signs with "2"; the
    // simplified system's tariff "51"; a headcount of 0 prints and keeps 1;
    // a short telephone stands on the right.
    doc.GenrValues[kCorrectionNumber] = 3;
    EXPECT_EQ(Join(region(regions(), "page0").values, 15, 3), "0|0|3");
    doc.GenrValues[kCorrectionNumber] = 12;
    doc.GenrValues[kAverageHeadcount] = 0;
    doc.infoBase.firm.texts[FirmInfo::fioPredst] = QStringLiteral("Сидоров П.П.");
    doc.infoBase.firm.texts[FirmInfo::adrPhone] = QStringLiteral(" 55  12 34");
    doc.infoBase.firm.uproshWord = 0x1000;
    doc.infoBase.config.r_m2 = 7;
    title = region(regions(), "page0").values;
    EXPECT_EQ(Join(title, 15, 5), "0|1|2|0|9");
    EXPECT_EQ(Join(title, 105, 15), " | | | | | | |5|5| |1|2| |3|4");
    EXPECT_EQ(Join(title, 137, 8), "0|0|0|0|0|1|5|1");
    EXPECT_EQ(doc.GenrValues[kAverageHeadcount], 1);
    EXPECT_EQ(title[151], "2");
    // Section 1 carries the tariff "05" under the simplified system.
    EXPECT_EQ(Join(region(regions(), "page1").values, 71, 2), "0|5");
}

TEST_F(PensionForm, SectionsOneAndTwo)
{
    GenrValueArray& v = doc.GenrValues;
    v[kLine110] = 21'382.5;
    v[kTariffFirst] = 895'000;
    QList<FormRegion> all = regions(3);
    // No reduced tariff and no imputed block: no page 2 and no list.
    EXPECT_EQ(Outline(all), "page0:001 page1:002 page6:003");
    const QList<QByteArray> section1 = region(all, "page1").values;
    ASSERT_EQ(section1.size(), 150);
    EXPECT_EQ(Join(section1, 15, 6), "0|0|0|0|21383|0");
    EXPECT_EQ(Join(section1, 71, 3), "0|1|895000");
    EXPECT_EQ(section1.last(), "08.04.2011");

    // The imputed block alone prints page 2 all in dashes, still no list.
    v[TariffIndex(kImputedTariff, RowPayments)] = 10;
    all = regions(3);
    EXPECT_EQ(Outline(all), "page0:001 page1:002 page2:003 page6:004");
    const QList<QByteArray> dashes = region(all, "page2").values;
    ASSERT_EQ(dashes.size(), 156);
    EXPECT_EQ(dashes.mid(15, 140), QList<QByteArray>(140, "---"));

    // The reduced tariff prints its amounts, and the second block stays dashes.
    v[TariffIndex(kDisabledTariff, RowPayments)] = 120'000;
    v[TariffIndex(kDisabledTariff, RowAccrued)] = 16'800;
    const QList<QByteArray> reduced = region(regions(), "page2").values;
    EXPECT_EQ(Join(reduced, 15, 2), "120000|0");
    EXPECT_EQ(reduced[15 + 4 * RowAccrued], "16800");
    EXPECT_EQ(reduced.mid(91, 64), QList<QByteArray>(64, "---"));
    EXPECT_EQ(Join(region(regions(), "page0").values, 145, 6), "0|0|5|0|0|0");
}

TEST_F(PensionForm, DisabledListPages)
{
    doc.GenrValues[TariffIndex(kDisabledTariff, RowPayments)] = 120'000;
    const QString foot = QStringLiteral("row4 row5 row6 row7 row8");

    // 32 records: one list page with the totals and no blank rows.
    QList<FormRegion> all = regions(32);
    EXPECT_EQ(Outline(all), QStringLiteral("page0:001 page1:002 page2:003 page3:004 ") +
                                QStringLiteral("row0 ").repeated(32) + QStringLiteral("row1 ") + foot +
                                QStringLiteral(" page6:005"));
    EXPECT_EQ(Join(region(all, "page0").values, 145, 6), "0|0|5|0|0|0");

    // 40 records: a second page with 8 rows, the totals and 24 blank rows.
    all = regions(40);
    EXPECT_EQ(Outline(all), QStringLiteral("page0:001 page1:002 page2:003 page3:004 ") +
                                QStringLiteral("row0 ").repeated(32) + QStringLiteral("page3:005 ") +
                                QStringLiteral("row0 ").repeated(8) + QStringLiteral("row1 ") +
                                QStringLiteral("row3 ").repeated(24) + foot + QStringLiteral(" page6:006"));
    EXPECT_EQ(Join(region(all, "page0").values, 145, 6), "0|0|6|0|0|0");
    QList<QByteArray> last;
    for (const FormRegion& r : all)
        if (r.name == "row0")
            last = r.values;
    // NUL bytes of the name read as blanks and squeezed; kopecks rounded.
    EXPECT_EQ(Join(last, 0, 8), QStringLiteral("40|Орлова40,Анна, Петровна|12.01.10|01.03.2012|15000|5001|---|10000"));
    EXPECT_EQ(Join(region(all, "row1").values, 0, 4), "600020|200020|---|400000");
    EXPECT_EQ(region(all, "row5").values, (QList<QByteArray>{"08.04.2011"}));

    // A reduced tariff without records prints no list.
    EXPECT_EQ(Outline(regions(0)), "page0:001 page1:002 page2:003 page6:004");
}

TEST_F(PensionForm, ArticlePagesAndTheDebtPageByYear)
{
    GenrValueArray& v = doc.GenrValues;
    v[kIncome248] = 3'000'000;
    v[kIncome57] = 2'100'000;
    v[kHeadcount433] = 48;
    v[kRegisterDate] = PackedDate::make(15, 3, 2009).value;
    v[kRegisterNumber] = 217;
    v[kIncome34615] = 800'000;
    v[kIncome58] = 640'000;
    v[kSection5 + 1] = 1'250;
    QList<FormRegion> all = regions();
    EXPECT_EQ(Outline(all), "page0:001 page1:002 page4:003 page5:004 page6:005");
    EXPECT_EQ(Join(region(all, "page4").values, 15, 7), "3000000|2100000|70.00000|48|15.03.2009|217|08.04.2011");
    EXPECT_EQ(Join(region(all, "page5").values, 15, 4), "800000|640000|80.00000|08.04.2011");
    EXPECT_EQ(Join(region(all, "page6").values, 15, 7), "---|1250|---|---|---|---|08.04.2011");
    EXPECT_EQ(OVPFTemplateName(2011), "avans-rsv1-2011");

    // 2010: no article pages, the debt on page5 of the 2010 template.
    doc.infoBase.config.r_g = 110;
    all = regions();
    EXPECT_EQ(Outline(all), "page0:001 page1:002 page5:003");
    EXPECT_EQ(Join(region(all, "page5").values, 15, 2), "---|1250");
    EXPECT_EQ(OVPFTemplateName(2010), "avans-rsv1-2010");
}

// The map of each template, as the engine reads it, gives each region as
// many value bookmarks as the writer adds values.
TEST_F(PensionForm, TemplateBookmarksMatchTheWriter)
{
    doc.GenrValues[TariffIndex(kDisabledTariff, RowPayments)] = 1;
    doc.GenrValues[kIncome248] = 1;
    doc.GenrValues[kIncome34615] = 1;
    for (int year : {2010, 2011}) {
        SCOPED_TRACE(year);
        doc.infoBase.config.r_g = u8(year - 1900);
        const QByteArray name = OVPFTemplateName(year);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Shablon")));
        const QString file = QStringLiteral("Shablon/") + QString::fromLatin1(name) + QStringLiteral(".rtf");
        ASSERT_TRUE(QFile::copy(kSourceData + u'/' + file, dir.filePath(file)));
        platform::SetWorkingFolder(dir.path());
        print::CTree tree(name, dir.filePath(QStringLiteral("x.typ")));
        platform::SetWorkingFolder(QString());
        const QList<QByteArray> map = tree.BookmarkMap();

        // The first value of each page, the list page head's last value and
        // each row region's first and last.
        QMap<QByteArray, int> pageFirst;
        QMap<QByteArray, std::pair<int, int>> rows;
        int listHeadLast = -1;
        for (qsizetype k = 0; k + 1 < map.size(); ++k) {
            if (map[k].startsWith("page") && !pageFirst.contains(map[k]))
                pageFirst.insert(map[k], map[k + 1].toInt());
            if (map[k].startsWith("row")) {
                rows.insert(map[k], {map[k + 1].toInt(), map[k + 2].toInt()});
                if (map[k] == "row0")
                    listHeadLast = map[k - 1].toInt();
            }
        }
        ASSERT_EQ(pageFirst.size(), 7) << map.join(' ').toStdString();
        // 2010 prints no article pages; their slots are those of the 2011 writer.
        QList<FormRegion> all = regions(1);
        if (year == 2010) {
            doc.infoBase.config.r_g = 111;
            const QList<FormRegion> later = regions(1);
            all.append(region(later, "page4"));
            all.append(region(later, "page5"));
            all.last().name = "page6";
        }
        for (int page = 0; page < 7; ++page) {
            const QByteArray pageName = "page" + QByteArray::number(page);
            const int first = pageFirst.value(pageName);
            const int end = page == 3   ? listHeadLast + 1
                            : page == 6 ? map.last().toInt() + 1
                                        : pageFirst.value("page" + QByteArray::number(page + 1));
            EXPECT_EQ(end - first, region(all, pageName.constData()).values.size()) << pageName.toStdString();
        }
        const std::map<QByteArray, int> rowValues = {{"row0", 8}, {"row1", 4}, {"row3", 0}, {"row4", 0},
                                                     {"row5", 1}, {"row6", 0}, {"row7", 0}, {"row8", 0}};
        for (const auto& [row, count] : rowValues) {
            ASSERT_TRUE(rows.contains(row)) << row.toStdString();
            EXPECT_EQ(rows[row].second - rows[row].first + 1, count) << row.toStdString();
        }
    }
}

// The whole form written through the engine, with "inval" read from the
// working folder, against the stored document; then converted to PDF by
// LibreOffice when it is installed (the PDF is kept in the test's folder).
TEST_F(PensionForm, PrintedFormMatchesTheStoredOne)
{
    const QString golden = QStringLiteral(KALVOR_SOURCE_DIR "/tests/reports/social/golden/rsv1-2011-fixture.rtf");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CopyTemplates(dir.path());
    platform::SetWorkingFolder(dir.path());
    platform::DocumentOpener::SetCommand(QStringLiteral("true"));
    ASSERT_EQ(WriteInvalFile(InvalFilePath(), Disabled(std::size_t(3))), 0);
    ScopedToday fixedToday(today);
    doc.GenrValues[TariffIndex(kDisabledTariff, RowPayments)] = 120'000;
    doc.GenrValues[kLine110] = 21'382;
    doc.GenrValues[kSection5] = 700;
    QString error;
    const int result = PrintOVPF(dir.filePath(QStringLiteral("rsv1.typ")), doc, &error);
    platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    platform::SetWorkingFolder(QString());
    ASSERT_EQ(result, print::CTree::GenerateDone) << error.toStdString();
    const QString rtf = dir.filePath(QStringLiteral("rsv1.rtf"));
    QFile printedFile(rtf);
    ASSERT_TRUE(printedFile.open(QIODevice::ReadOnly));
    const QByteArray printed = printedFile.readAll();
    QFile goldenFile(golden);
    const QByteArray stored = goldenFile.open(QIODevice::ReadOnly) ? goldenFile.readAll() : QByteArray();
    if (printed != stored) {
        QFile out(QStringLiteral("rsv1-2011-fixture.actual.rtf"));
        if (out.open(QIODevice::WriteOnly))
            out.write(printed);
    }
    EXPECT_EQ(printed, stored) << "the form printed differs from " << golden.toStdString()
                               << "; it is saved as rsv1-2011-fixture.actual.rtf in the test's folder";

    if (!ConvertToPdf(rtf, QStringLiteral("rsv1-2011-form.pdf")))
        GTEST_SKIP() << "LibreOffice (soffice) is not installed; the PDF check is skipped";
}

#ifdef KALVOR_DATA_DIR
// The demo base's first quarter of 2011 computed and printed, and converted
// to PDF for a look (kept as rsv1-2011-demo.pdf in the test's folder).
TEST(PensionFormDemo, FirstQuarterOf2011Prints)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    PayrollDoc doc;
    ASSERT_NO_FATAL_FAILURE(OpenDemoDocument(doc, folder, DemoRefFiles::TaxTables));
    CopyTemplates(dir.path());
    platform::SetWorkingFolder(folder);
    platform::DocumentOpener::SetCommand(QStringLiteral("true"));
    const int result = CalcOVPF(ReportSelection{}, doc, QString(), 0, {});
    const QString rtf = dir.filePath(QStringLiteral("demo.rtf"));
    QString error;
    const int printed = result == 0 ? PrintOVPF(dir.filePath(QStringLiteral("demo.typ")), doc, &error) : -1;
    CloseBase(doc.infoBase);
    platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    platform::SetWorkingFolder(QString());
    ASSERT_EQ(result, 0);
    ASSERT_EQ(printed, print::CTree::GenerateDone) << error.toStdString();
    ASSERT_TRUE(QFile::exists(rtf));
    if (!ConvertToPdf(rtf, QStringLiteral("rsv1-2011-demo.pdf")))
        GTEST_SKIP() << "LibreOffice (soffice) is not installed; the PDF check is skipped";
}
#endif

} // namespace
