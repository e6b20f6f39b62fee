// The occupational-injury report: the three headcounts with their rounding
// over a small base (a category-1 employee at half rate and one of another
// category full time), the tag-10 data file byte by byte, the form's values
// (period words, the insurer line, the signing date) and its template, and
// the refusal of a reversed period.
#include "reports/social/InjuryReport.h"
#include "reports/social/GenrDataFile.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "print/CTree.h"
#include "support/TestFixture.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstring>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;

namespace {

const QString kSourceData = QStringLiteral(KALVOR_SOURCE_DIR "/data");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
QByteArray cp(const QString& text) { return codepage::toCp1251(text); }
u16 date(int day, int month, int year) { return PackedDate::make(day, month, year).value; }

// Two employees paid for every month of 2011; the base's month is January 2012.
class InjuryRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform::SetWorkingFolder(kSourceData);
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        doc.setWorkFolder(dir.path());
        CInfoBase& base = doc.infoBase;
        base.baseName = QStringLiteral("injury");
        CreateSchemaBase(dir.path(), base.baseName);
        OpenBase(base);
        FixtureBase fx = BuildFixtureBase(base, 2, 7);
        fx.records[0] = Record(50);
        fx.records[1] = Record(100);
        base.attributesOf(1).kateg = 1;
        base.attributesOf(2).kateg = 2;
        for (int slot = 1; slot <= base.slotCount(); ++slot) base.attributesOf(slot).kvProizv = 0;
        FirmInfo& f = base.firm;
        f.texts[FirmInfo::firmName] = QStringLiteral("  ООО   «Вологодский  подшипниковый завод»");
        f.texts[FirmInfo::adrInd] = QStringLiteral("160028");
        f.texts[FirmInfo::adrObl] = QStringLiteral("Вологодская обл.");
        f.texts[FirmInfo::adrRaion] = QString();
        f.texts[FirmInfo::adrGorod] = QStringLiteral("г. Вологда");
        f.texts[FirmInfo::adrUlica] = QStringLiteral("Окружное   шоссе");
        f.texts[FirmInfo::adrDom] = QStringLiteral("13");
        f.texts[FirmInfo::firmPens] = QStringLiteral("067-012-003456789");
        f.texts[FirmInfo::firmOKVED] = QStringLiteral("29.14.1");
        f.texts[FirmInfo::fioShef] = QStringLiteral("Мартынов Олег Ильич");
        f.texts[FirmInfo::fioBuh] = QStringLiteral("Сорокина Елена Павловна");
        f.texts[FirmInfo::fioPredst] = QStringLiteral(" Белов  Иван ");
        f.texts[FirmInfo::adrPhone] = QStringLiteral("(8172) 53-11-20");
        base.config.tekMes = u16(MonthKey(2012, 1).value());
        base.config.r_g = 111;
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
    static EmployeeRecord Record(double rate)
    {
        EmployeeRecord rec;
        rec.head.fio = QStringLiteral("Работник Тест Тестович");
        rec.head.stavka = rate;
        rec.head.datPr1 = date(1, 3, 2005);
        for (int month = 1; month <= 12; ++month) {
            WariaEntry& e = rec.waria[rec.warKv++];
            e.kod = 1;
            e.sum = 2'000'000;
            e.god = 2011;
            e.mes = u16(month);
            e.dn = 31;
        }
        return rec;
    }

    QTemporaryDir dir;
    PayrollDoc doc;
};

TEST_F(InjuryRun, HeadcountsRoundedAndSavedAsTag10)
{
    const QString data = dir.filePath(QStringLiteral("travma.dat"));
    ASSERT_EQ(GenrProfTravmOtchFSS(data, {}, doc.TypWorkFile(), ReportSelection{}, 0, doc), GenrDone);
    // 0.5 + 1.0 = 1.5 gives 2; the half of category 1 gives 1; the rest 1.0.
    EXPECT_EQ(doc.GenrValues[injury::kAll], 2);
    EXPECT_EQ(doc.GenrValues[injury::kCategory1], 1);
    EXPECT_EQ(doc.GenrValues[injury::kOthers], 1.0);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("injury.rtf"))));
    const QByteArray bytes = readAll(data);
    ASSERT_EQ(bytes.size(), 3'404);
    EXPECT_EQ(bytes.left(4), QByteArray("\x0a\x01\x03\x6f", 4));
    double values[3];
    std::memcpy(values, bytes.constData() + 4, sizeof values);
    EXPECT_EQ(values[0], 2);
    EXPECT_EQ(values[1], 1);
    EXPECT_EQ(values[2], 1);
    EXPECT_EQ(bytes.mid(28), QByteArray(3'404 - 28, '\0'));

    // Only the employee of category 1, with the months defaulted: 0.5 still
    // rounds up to 1 and index 2 stays 0. The whole year's header.
    doc.infoBase.config.r_m1 = 0;
    doc.infoBase.config.r_m2 = 0;
    ReportSelection first;
    first.tabN = doc.infoBase.list[0].tabN();
    ASSERT_EQ(GenrProfTravmOtchFSS(data, {}, doc.TypWorkFile(), first, 0, doc), GenrDone);
    EXPECT_EQ(readAll(data).left(4), QByteArray("\x0a\x01\x0c\x6f", 4));
    EXPECT_EQ(doc.GenrValues[injury::kAll], 1);
    EXPECT_EQ(doc.GenrValues[injury::kCategory1], 1);
    EXPECT_EQ(doc.GenrValues[injury::kOthers], 0);
}

TEST_F(InjuryRun, ReversedPeriodStopAndPrintedForm)
{
    doc.infoBase.config.r_m1 = 7;
    doc.infoBase.config.r_m2 = 3;
    const QString data = dir.filePath(QStringLiteral("travma.dat"));
    EXPECT_EQ(GenrProfTravmOtchFSS(data, {}, doc.TypWorkFile(), ReportSelection{}, 0, doc), -2);
    EXPECT_EQ(PrintProfTravmOtchFSS(doc.TypWorkFile(), doc), -2);
    EXPECT_FALSE(QFile::exists(data));
    doc.infoBase.config.r_m1 = 1;
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(GenrProfTravmOtchFSS(data, stop.get_token(), doc.TypWorkFile(), ReportSelection{}, 0, doc), GenrStopped);
    EXPECT_FALSE(QFile::exists(data));

    ScopedToday today(QDate(2012, 5, 5));
    GenrRunDetail detail;
    ASSERT_EQ(GenrProfTravmOtchFSS(QString(), {}, doc.TypWorkFile(), ReportSelection{}, 0, doc, &detail), GenrDone)
        << detail.text.toStdString();
    const QByteArray rtf = readAll(dir.filePath(QStringLiteral("injury.rtf")));
    ASSERT_FALSE(rtf.isEmpty());
    EXPECT_TRUE(rtf.contains("160028")) << rtf.left(400).toStdString();
}

TEST_F(InjuryRun, FormValues)
{
    doc.GenrValues.fill(0);
    doc.GenrValues[injury::kAll] = 48;
    doc.GenrValues[injury::kCategory1] = 20;
    doc.GenrValues[injury::kOthers] = 27.6;
    ReportPeriod period;
    ASSERT_TRUE(InjuryPeriod(doc.infoBase.config, period));
    QList<QByteArray> v = InjuryFormValues(doc, period, QDate(2012, 5, 5));
    ASSERT_EQ(v.size(), 34);
    EXPECT_EQ(v[0], cp(QStringLiteral("1 квартал")));
    EXPECT_EQ(v[1], "11");
    EXPECT_EQ(v[2], cp(QStringLiteral("ООО «Вологодский подшипниковый завод», 160028, Вологодская обл., г. Вологда, "
                                      "Окружное шоссе, д. 13, 067-012-003456, 29.14.1 ")));
    EXPECT_EQ(v.mid(3, 3), (QList<QByteArray>{"48", "20", "28"}));
    for (int i = 6; i < 28; ++i) EXPECT_EQ(v[i], "") << i;
    EXPECT_EQ(v[28], cp(QStringLiteral("Мартынов Олег Ильич")).leftJustified(46, ' '));
    EXPECT_EQ(v[29], cp(QStringLiteral("Сорокина Елена Павловна")).leftJustified(46, ' '));
    EXPECT_EQ(v.mid(30, 3), (QList<QByteArray>{"05;", cp(QStringLiteral("мая;")), "12;"}));
    EXPECT_EQ(v[33], cp(QStringLiteral("Белов Иван, (8172) 53-11-20     ")));

    // Period words by the last month; no headcount prints empty; the
    // telephone alone without an executor; a year of the 2000s.
    const std::pair<int, const char16_t*> words[] = {{5, u"1 полугодие"}, {9, u"9 месяцев"}, {12, u"год"}};
    for (const auto& [last, word] : words) {
        period.lastMonth = last;
        EXPECT_EQ(InjuryFormValues(doc, period, QDate(2012, 5, 5))[0], cp(QString::fromUtf16(word)));
    }
    doc.GenrValues.fill(0);
    doc.infoBase.firm.texts[FirmInfo::fioPredst] = QString();
    period.year = 2009;
    v = InjuryFormValues(doc, period, QDate(2009, 12, 31));
    EXPECT_EQ(v.mid(3, 3), (QList<QByteArray>{"", "", ""}));
    EXPECT_EQ(v[1], "09");
    EXPECT_EQ(v.mid(30, 2), (QList<QByteArray>{"31;", cp(QStringLiteral("декабря;"))}));
    EXPECT_EQ(v[32], "09;");
    EXPECT_EQ(v[33], "(8172) 53-11-20     ");
}

TEST(InjuryTemplate, OneBookmarkForEachValue)
{
    const QByteArray rtf = readAll(kSourceData + QStringLiteral("/Shablon/travma-fss-2008.rtf"));
    QRegularExpression slot(QStringLiteral("\\{\\\\\\*\\\\bkmkstart par(\\d+)\\}\\{\\\\\\*\\\\bkmkend par(\\d+)\\}"));
    int total = 0;
    for (auto it = slot.globalMatch(QString::fromLatin1(rtf)); it.hasNext(); ++total)
        ASSERT_EQ(it.next().captured(1).toInt(), total);
    EXPECT_EQ(total, 34);
    platform::SetWorkingFolder(kSourceData);
    print::CTree tree(kInjuryTemplate, QStringLiteral("/tmp/x.typ"));
    EXPECT_EQ(tree.BookmarkMap().mid(0, 2), (QList<QByteArray>{"page0", "0"}));
    platform::SetWorkingFolder(QString());
}

} // namespace
