// The average headcount: rounding to whole persons, the values of the form
// in the order of its bookmarks, a run over a fixture base printed and
// compared with a stored form, saved as a data file, stopped; and the demo
// base's form converted to PDF when LibreOffice is installed.
#include "reports/social/Headcount.h"
#include "reports/social/GenrDataFile.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/TaskThread.h"
#include "platform/WorkingFolder.h"
#include "print/CTree.h"
#include "support/OfficeConvert.h"
#include "support/TestFixture.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#ifdef KALVOR_DATA_DIR
#include "support/DemoDocument.h"
#endif

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;

using namespace kalvor::testsupport;

namespace {

const QString kSourceData = QStringLiteral(KALVOR_SOURCE_DIR "/data");
const QString kGolden = QStringLiteral(KALVOR_SOURCE_DIR "/tests/reports/social/golden/sr-chisl1-fixture.rtf");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(Headcount, RoundedToWholePersonsHalvesUp)
{
    EXPECT_DOUBLE_EQ(HeadcountValue(1'249.9), 1'200);
    EXPECT_DOUBLE_EQ(HeadcountValue(1'250), 1'300);
    EXPECT_DOUBLE_EQ(HeadcountValue(49.99), 0);
    EXPECT_DOUBLE_EQ(HeadcountValue(50), 100);
    EXPECT_DOUBLE_EQ(HeadcountValue(0), 0);
}

// The form's values for the firm of the fixture base.
class HeadcountForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        BuildFixtureBase(doc.infoBase, 0);
        FirmInfo& f = doc.infoBase.firm;
        f.texts[FirmInfo::firmNalogovaya] = QStringLiteral("ИФНС России по г. Череповцу");
        f.texts[FirmInfo::fioPredst] = QStringLiteral("Лаптева Светлана Игоревна");
        doc.infoBase.config.r_g = 110;
        doc.infoBase.config.r_m1 = 1;
        doc.infoBase.config.r_m2 = 3;
    }
    QList<QByteArray> values(double value = 700) { return HeadcountFormValues(doc, value, QDate(2011, 4, 5)); }
    // Values from..from+count-1 joined.
    QByteArray join(int from, int count, double value = 700) { return values(value).mid(from, count).join('|'); }

    PayrollDoc doc;
};

TEST_F(HeadcountForm, ValuesInTheOrderOfTheForm)
{
    const QList<QByteArray> v = values();
    ASSERT_EQ(v.size(), 71);
    EXPECT_EQ(join(0, 12), "0|0|3|5|2|8|0|1|2|3|4|5");
    EXPECT_EQ(join(12, 9), "3|5|2|8|0|1|0|0|1");
    EXPECT_EQ(join(21, 3), "0|0|1");
    EXPECT_EQ(v[24], codepage::toCp1251(QStringLiteral("ИФНС России по г. Череповцу")).leftJustified(56, ' '));
    EXPECT_EQ(join(25, 4), "3|5|2|8");
    EXPECT_EQ(v[29].size(), 56);
    EXPECT_TRUE(v[29].startsWith(codepage::toCp1251(QStringLiteral("ООО «Северный машиностроительный завод»"))));
    EXPECT_EQ(v[30], "");
    // January-March 2010: as of 01.04.2010.
    EXPECT_EQ(join(31, 8), "0|1|0|4|2|0|1|0");
    // Seven persons: five empty boxes and "7".
    EXPECT_EQ(join(39, 6), "|||||7");
    EXPECT_EQ(v[45], codepage::toCp1251(QStringLiteral("Громов Виктор Павлович")).leftJustified(46, ' '));
    EXPECT_EQ(join(46, 8), "0|5|0|4|2|0|1|1");
    EXPECT_EQ(join(54, 8), "|||||||");
    EXPECT_EQ(v[62], codepage::toCp1251(QStringLiteral("Лаптева Светлана Игоревна")).leftJustified(46, ' '));
    EXPECT_EQ(join(63, 8), "0|5|0|4|2|0|1|1");
}

TEST_F(HeadcountForm, DateAfterThePeriodAndTheNumberBoxes)
{
    // January-December 2010, and a last month of 0: as of 01.01.2011.
    doc.infoBase.config.r_m2 = 12;
    EXPECT_EQ(join(31, 8), "0|1|0|1|2|0|1|1");
    doc.infoBase.config.r_m2 = 0;
    EXPECT_EQ(join(31, 8), "0|1|0|1|2|0|1|1");
    // October-November: as of 01.12.
    doc.infoBase.config.r_m1 = 10;
    doc.infoBase.config.r_m2 = 11;
    EXPECT_EQ(join(31, 4), "0|1|1|2");
    // No employee: 0 in the last box; more than six digits keep the last six.
    EXPECT_EQ(join(39, 6, 0), "|||||0");
    EXPECT_EQ(join(39, 6, 1'234'567'800), "3|4|5|6|7|8");
    EXPECT_EQ(join(39, 6, 1'249), "||||1|2");
}

TEST_F(HeadcountForm, TemplateHasOneValueBookmarkForEachValue)
{
    const QByteArray rtf = readAll(kSourceData + QStringLiteral("/Shablon/sr-chisl1-2008.rtf"));
    ASSERT_FALSE(rtf.isEmpty());
    const int count = int(values().size());
    QRegularExpression start(QStringLiteral("\\{\\\\\\*\\\\bkmkstart par(\\d+)\\}"));
    std::vector<int> seen(std::size_t(count), 0);
    int total = 0;
    for (auto it = start.globalMatch(QString::fromLatin1(rtf)); it.hasNext(); ++total) {
        const int k = it.next().captured(1).toInt();
        ASSERT_LT(k, count);
        ++seen[std::size_t(k)];
        // In file order, and each slot closed at once.
        EXPECT_EQ(k, total);
        EXPECT_TRUE(rtf.contains("{\\*\\bkmkstart par" + QByteArray::number(k) + "}{\\*\\bkmkend par" +
                                 QByteArray::number(k) + "}"));
    }
    EXPECT_EQ(total, count);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), count);

    // The engine finds the one page and numbers its values from par0.
    platform::SetWorkingFolder(kSourceData);
    print::CTree tree(kHeadcountTemplate, QStringLiteral("/tmp/x.typ"));
    EXPECT_EQ(tree.BookmarkMap().mid(0, 2), (QList<QByteArray>{"page0", "0"}));
    platform::SetWorkingFolder(QString());
}

// A base file of 30 fixture employees with the reporting month March 2026,
// reported for the first quarter of 2026.
class HeadcountRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform::SetWorkingFolder(kSourceData);
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        doc.setWorkFolder(dir.path());
        CInfoBase& base = doc.infoBase;
        base.baseName = QStringLiteral("fixture");
        CreateSchemaBase(dir.path(), base.baseName);
        OpenBase(base);
        const FixtureBase fx = BuildFixtureBase(base, 30, 11);
        base.firm.texts[FirmInfo::firmNalogovaya] = QStringLiteral("ИФНС России по г. Череповцу");
        base.config.r_g = 126;
        base.config.r_m1 = 1;
        base.config.r_m2 = 3;
        SaveAll(base, fx.records);
    }
    void TearDown() override
    {
        CloseBase(doc.infoBase);
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
        platform::SetWorkingFolder(QString());
    }
    QString rtfPath() const { return dir.filePath(QStringLiteral("fixture.rtf")); }

    QTemporaryDir dir;
    PayrollDoc doc;
};

TEST_F(HeadcountRun, PrintedFormMatchesTheStoredOne)
{
    ScopedToday today(QDate(2026, 4, 10));
    GenrRunDetail detail;
    ASSERT_EQ(GenrSSChislRabs(QString(), ReportSelection{}, doc.TypWorkFile(), 0, {}, doc, &detail), GenrDone)
        << detail.text.toStdString();
    const QByteArray printed = readAll(rtfPath());
    ASSERT_FALSE(printed.isEmpty());
    const QByteArray golden = readAll(kGolden);
    if (printed != golden) {
        QFile out(QStringLiteral("sr-chisl1-fixture.actual.rtf"));
        if (out.open(QIODevice::WriteOnly))
            out.write(printed);
    }
    EXPECT_EQ(printed, golden) << "the form printed differs from " << kGolden.toStdString()
                               << "; it is saved as sr-chisl1-fixture.actual.rtf in the test's folder";
}

TEST_F(HeadcountRun, SavedAsADataFileInsteadOfPrinted)
{
    // The readers of the merges accept years up to 2020, so the file of 2026
    // is checked byte by byte: tag 14, January, March, 126, the value.
    const QString data = dir.filePath(QStringLiteral("chisl.dat"));
    ASSERT_EQ(GenrSSChislRabs(data, ReportSelection{}, doc.TypWorkFile(), 0, {}, doc), GenrDone);
    EXPECT_FALSE(QFile::exists(rtfPath()));
    QByteArray bytes = readAll(data);
    ASSERT_EQ(bytes.size(), 12);
    EXPECT_EQ(bytes.left(4), QByteArray("\x0e\x01\x03\x7e", 4));
    double all = 0;
    std::memcpy(&all, bytes.constData() + 4, 8);
    EXPECT_GT(all, 0);
    EXPECT_EQ(std::fmod(all, 100), 0);

    // One employee: his share rounded to a whole person. A last month of 0
    // is written as 12.
    doc.infoBase.config.r_m2 = 0;
    ReportSelection one;
    one.tabN = doc.infoBase.list[0].tabN();
    ASSERT_EQ(GenrSSChislRabs(data, one, doc.TypWorkFile(), 0, {}, doc), GenrDone);
    bytes = readAll(data);
    ASSERT_EQ(bytes.size(), 12);
    EXPECT_EQ(bytes.left(4), QByteArray("\x0e\x01\x0c\x7e", 4));
    double single = 0;
    std::memcpy(&single, bytes.constData() + 4, 8);
    EXPECT_LE(single, 100);
}

TEST_F(HeadcountRun, AStoppedRunLeavesNothing)
{
    const QString data = dir.filePath(QStringLiteral("chisl.dat"));
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(GenrSSChislRabs(data, ReportSelection{}, doc.TypWorkFile(), 0, stop.get_token(), doc), GenrStopped);
    EXPECT_FALSE(QFile::exists(data));
    EXPECT_EQ(GenrSSChislRabs(QString(), ReportSelection{}, doc.TypWorkFile(), 0, stop.get_token(), doc), GenrStopped);
    EXPECT_FALSE(QFile::exists(rtfPath()));

    // A data file that cannot be written is reported, and none is left.
    GenrRunDetail detail;
    const QString nowhere = dir.filePath(QStringLiteral("no/folder/chisl.dat"));
    EXPECT_EQ(GenrSSChislRabs(nowhere, ReportSelection{}, doc.TypWorkFile(), 0, {}, doc, &detail), GenrFileFailed);
    EXPECT_EQ(detail.fileError, platform::FILE_ERROR_OPEN);
    EXPECT_FALSE(QFile::exists(nowhere));
}

#ifdef KALVOR_DATA_DIR
// The demo base's form for the first quarter of 2011, converted to PDF by
// LibreOffice: the firm's taxpayer number and the headcount are on it.
TEST(HeadcountDemo, FormConvertsToPdfWithTheNumbers)
{
    if (OfficeProgram().isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed; the PDF check is skipped";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    PayrollDoc doc;
    ASSERT_NO_FATAL_FAILURE(OpenDemoDocument(doc, folder, DemoRefFiles::None));
    platform::SetWorkingFolder(kSourceData);
    platform::DocumentOpener::SetCommand(QStringLiteral("true"));

    GenrRunDetail detail;
    const int result = GenrSSChislRabs(QString(), ReportSelection{}, doc.TypWorkFile(), 0, {}, doc, &detail);
    platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    platform::SetWorkingFolder(QString());
    CloseBase(doc.infoBase);
    ASSERT_EQ(result, GenrDone) << detail.text.toStdString();

    const QString rtf = folder + QStringLiteral("demo.rtf");
    const QString pdf = ConvertWithOffice(rtf, QStringLiteral("pdf"));
    ASSERT_TRUE(readAll(pdf).startsWith("%PDF"));
    KeepCopy(pdf, QStringLiteral("sr-chisl1-demo.pdf"));

    // The text of the form, read back from the PDF (or, without poppler,
    // from LibreOffice's own text export of the same document), with the
    // boxes run together.
    QString text;
    if (PdfToTextAvailable())
        text = PdfText(pdf);
    else
        text = QString::fromUtf8(readAll(ConvertWithOffice(rtf, QStringLiteral("txt:Text (encoded):UTF8"))));
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    EXPECT_TRUE(text.contains(QStringLiteral("ИНН003525087412"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("01.04.2011"))) << text.toStdString();
    // Of the fifty-two, Гусева comes in April and counts nothing; 48 were on
    // the staff all quarter (4,800), Кузнецов and Федотова, who left on 31
    // March, among them; Быстрова and Уваров at half rate (50 each);
    // Абрамов, hired on 15 March, counts 17 of the 31 days left of the
    // quarter, 54.84; Носков's five days of unpaid leave in March are an
    // absence, 5 of 31 days of one month of three: 5.38 less. 4,949.46
    // hundredths, 49 persons.
    EXPECT_TRUE(text.contains(QStringLiteral("49(человек)"))) << text.toStdString();
}
#endif

} // namespace
