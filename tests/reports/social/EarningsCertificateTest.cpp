// The two-year earnings certificate: the month-by-month arithmetic of a
// year's amount around the cap of 415,000 roubles, the amounts in figures and
// in words, the date of issue, and a run over a small base whose pages are
// numbered and whose yearly amounts are worked out by hand.
#include "reports/social/EarningsCertificate.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "print/CTree.h"
#include "print/TextHelpers.h"
#include "support/TestFixture.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

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
double rub(double roubles) { return roubles * 100; }

// The year of an employee paid `monthly` roubles in each month given.
double YearOf(const std::vector<double>& monthly, double disabledShare = 0)
{
    CertificateYear year;
    double prior = 0, priorDisabled = 0, amount = 0;
    for (double pay : monthly) {
        const double disabled = pay * disabledShare;
        amount = year.addMonth({rub(prior), rub(priorDisabled), rub(pay - disabled), rub(disabled)});
        prior += pay - disabled;
        priorDisabled += disabled;
    }
    return amount / 100;
}

TEST(CertificateArithmetic, YearsAroundTheCap)
{
    // 30,000 a month: 360,000, below the cap.
    EXPECT_EQ(YearOf(std::vector<double>(12, 30'000)), 360'000);
    // 40,000 a month: 480,000, capped at 415,000.
    EXPECT_EQ(YearOf(std::vector<double>(12, 40'000)), 415'000);
    // No pay in December after the cap was passed in November: still the cap.
    std::vector<double> dismissed(11, 40'000);
    dismissed.push_back(0);
    EXPECT_EQ(YearOf(dismissed), 415'000);
    // Part of the pay in disability months: the excess is taken off once.
    EXPECT_EQ(YearOf(std::vector<double>(12, 40'000), 0.25), 415'000);
    // A refund in the months before a month with pay.
    CertificateYear year;
    EXPECT_EQ(year.addMonth({rub(-1'000), 0, rub(5'000), 0}), rub(4'000));
    CertificateYear refund;
    EXPECT_EQ(refund.addMonth({rub(3'000), 0, rub(-5'000), 0}), 0);
}

TEST(CertificateTexts, AmountsDatesAndWords)
{
    const AmountTexts texts = CertificateAmountTexts(1'234'505);
    EXPECT_EQ(texts.roubles, "12345");
    EXPECT_EQ(texts.kopecks, "5");
    char words[print::kWordBufferSize];
    const int length = print::SumInWords(12'345, 5, words);
    EXPECT_EQ(texts.words, QByteArray(words, length));
    EXPECT_TRUE(texts.words.startsWith(cp(QStringLiteral("Двенадцать тысяч триста сорок пять рублей 05 копеек"))))
        << texts.words.toStdString();
    const AmountTexts negative = CertificateAmountTexts(-50'000);
    EXPECT_EQ(negative.roubles, "0");
    EXPECT_EQ(negative.kopecks, "0");
    EXPECT_EQ(negative.words, QByteArray(words, print::SumInWords(0, 0, words)));
    EXPECT_EQ(CertificateAmountTexts(rub(415'000)).roubles, "415000");
    EXPECT_EQ(CertificateAmountTexts(99).roubles, "0");
    EXPECT_EQ(CertificateAmountTexts(99).kopecks, "99");

    EXPECT_EQ(CertificateDate(QDate(2011, 3, 5)), " 5.03.2011");
    EXPECT_EQ(CertificateDate(QDate(2011, 11, 25)), "25.11.2011");
}

// Three employees; the base's month is January 2012, the report year 2010.
class CertificateRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform::SetWorkingFolder(kSourceData);
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        doc.setWorkFolder(dir.path());
        CInfoBase& base = doc.infoBase;
        base.baseName = QStringLiteral("spravka");
        CreateSchemaBase(dir.path(), base.baseName);
        OpenBase(base);
        FixtureBase fx = BuildFixtureBase(base, 3, 9);
        fx.records[0] = Record(QStringLiteral("Орлов Павел Семенович"), date(10, 2, 2004), 40'000, 30'000);
        fx.records[1] = Record(QStringLiteral("Ершова Нина Львовна"), date(1, 6, 2011), 0, 20'000);
        fx.records[2] = Record(QStringLiteral("Лебедев Ян Ильич"), date(12, 1, 2009), 10'000, 10'000);
        fx.records[0].head.datUv1 = date(31, 12, 2011);
        fx.records[0].head.pspKem = QStringLiteral("  ОВД   г. Вологды ");
        fx.records[0].head.pspDat = QStringLiteral("12.05.2005");
        fx.records[0].head.propKodStr = QStringLiteral("643");
        for (int slot = 1; slot <= base.slotCount(); ++slot) base.attributesOf(slot).kvProizv = 0;
        base.config.tekMes = u16(MonthKey(2012, 1).value());
        base.config.r_g = 110;
        base.config.r_m1 = 1;
        base.config.r_m2 = 12;
        SaveAll(base, fx.records);
        doc.refFiles.setFolder(QStringLiteral(KALVOR_DATA_DIR "/"));
        ASSERT_TRUE(doc.refFiles.ReadNalog());
        ASSERT_TRUE(doc.refFiles.ReadSbor());
    }
    void TearDown() override
    {
        CloseBase(doc.infoBase);
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
        platform::SetWorkingFolder(QString());
    }
    static EmployeeRecord Record(const QString& name, u16 hired, double pay2010, double pay2011)
    {
        EmployeeRecord rec;
        rec.head.fio = name;
        rec.head.datR = date(1, 1, 1975);
        rec.head.datPr1 = hired;
        rec.head.stavka = 100;
        for (const auto& [year, pay] : {std::pair{2010, pay2010}, std::pair{2011, pay2011}}) {
            for (int month = 1; month <= 12 && pay > 0; ++month) {
                WariaEntry& e = rec.waria[rec.warKv++];
                e.kod = 1;
                e.sum = rub(pay);
                e.god = u16(year);
                e.mes = u16(month);
                e.dn = 20;
            }
        }
        return rec;
    }
    double amount(int index, int year)
    {
        CInfoBase& base = doc.infoBase;
        EXPECT_TRUE(base.swap.readSlot(base.list[std::size_t(index)].slot, base.current));
        double value = -1;
        EXPECT_EQ(CertificateYearAmount(doc, year, 0, value), 0);
        return value / 100;
    }

    QTemporaryDir dir;
    PayrollDoc doc;
};

TEST_F(CertificateRun, YearlyAmountsAndPageValues)
{
    CInfoBase& base = doc.infoBase;
    ASSERT_TRUE(SelectPeriodToSwap(base, 0, 0, ReportSelection{}.toInfoBaseSelection(0)));
    EXPECT_EQ(amount(0, 2010), 415'000);
    EXPECT_EQ(amount(0, 2011), 360'000);
    EXPECT_EQ(amount(0, 2012), 0);
    EXPECT_EQ(amount(2, 2010), 120'000);
    // A foreign citizen staying temporarily has no earnings on the certificate.
    base.current.head.flags = 1u << 9;
    double foreign = -1;
    EXPECT_EQ(CertificateYearAmount(doc, 2010, 0, foreign), 0);
    EXPECT_EQ(foreign, 0);

    ASSERT_TRUE(base.swap.readSlot(base.list[0].slot, base.current));
    base.CloseSwapFile();
    const QList<QByteArray> v = CertificatePageValues(doc, 7, QDate(2012, 2, 3), {rub(415'000), rub(360'000), 0}, 2010);
    ASSERT_EQ(v.size(), 40);
    EXPECT_EQ(v.mid(0, 2), (QList<QByteArray>{" 3.02.2012", "7"}));
    EXPECT_EQ(v[5], "");
    EXPECT_EQ(v[10], cp(QStringLiteral("Орлов Павел Семенович")).leftJustified(50, ' '));
    EXPECT_EQ(v[13], cp(QStringLiteral("ОВД г. Вологды 12.05.05")));
    EXPECT_EQ(v[15], cp(QStringLiteral("РФ")));
    EXPECT_EQ(v.mid(23, 2), (QList<QByteArray>{"10.02.2004", "31.12.2011"}));
    EXPECT_EQ(v.mid(25, 3), (QList<QByteArray>{"2010", "415000", "0"}));
    EXPECT_EQ(v.mid(29, 3), (QList<QByteArray>{"2011", "360000", "0"}));
    EXPECT_EQ(v.mid(33, 3), (QList<QByteArray>{"2012", "0", "0"}));
    EXPECT_TRUE(v[28].startsWith(cp(QStringLiteral("Четыреста пятнадцать тысяч рублей 00 копеек"))))
        << v[28].toStdString();

    // A second employment with both dates is the period of work; without a
    // dismissal date the end is empty.
    base.current.head.datPr2 = date(1, 3, 2011);
    base.current.head.datUv2 = date(30, 9, 2011);
    EXPECT_EQ(CertificatePageValues(doc, 1, QDate(2012, 2, 3), {}, 2010).mid(23, 2),
              (QList<QByteArray>{"01.03.2011", "30.09.2011"}));
    base.current.head.datUv2 = 0;
    base.current.head.datUv1 = 0;
    EXPECT_EQ(CertificatePageValues(doc, 1, QDate(2012, 2, 3), {}, 2010).mid(23, 2),
              (QList<QByteArray>{"10.02.2004", ""}));
}

TEST_F(CertificateRun, PagesNumberedAndLateHiresLeftOut)
{
    // The report year 2010: Ершова, hired in June 2011, gets no certificate.
    ScopedToday today(QDate(2012, 2, 3));
    GenrRunDetail detail;
    ASSERT_EQ(PrintSpravZarp2Goda({}, ReportSelection{}, doc.TypWorkFile(), 0, doc, &detail), GenrDone)
        << detail.text.toStdString();
    const QByteArray rtf = readAll(dir.filePath(QStringLiteral("spravka.rtf")));
    EXPECT_EQ(rtf.count("\\pagebb"), 2);
    // The numbers after "СПРАВКА № " ("\\'b9" is the number sign).
    QRegularExpression number(QStringLiteral("\\\\'b9 \\}\\s*\\{(\\d+)\\}"));
    QStringList numbers;
    for (auto it = number.globalMatch(QString::fromLatin1(rtf)); it.hasNext();) numbers << it.next().captured(1);
    EXPECT_EQ(numbers, (QStringList{QStringLiteral("1"), QStringLiteral("2")}));

    doc.infoBase.config.r_g = 113;
    EXPECT_EQ(PrintSpravZarp2Goda({}, ReportSelection{}, doc.TypWorkFile(), 0, doc), GenrRefused);
    doc.infoBase.config.r_g = 110;
    std::stop_source stop;
    stop.request_stop();
    QFile::remove(dir.filePath(QStringLiteral("spravka.rtf")));
    EXPECT_EQ(PrintSpravZarp2Goda(stop.get_token(), ReportSelection{}, doc.TypWorkFile(), 0, doc), GenrStopped);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("spravka.rtf"))));
}

// The certificate's three years: the two before its year and that year (the
// report year, or with none set the base's: 2010, 2011 and 2012 in January
// 2012). A year after the year of the base's month is not printed as zero:
// the run is refused, saying which year and what to set, and nothing is
// written.
TEST_F(CertificateRun, YearsAfterTheBasesMonthAreRefusedNotPrintedAsZero)
{
    InfoBaseConfig& config = doc.infoBase.config;
    EXPECT_EQ(CertificateYears(config), (std::array<int, 3>{2008, 2009, 2010}));
    EXPECT_EQ(CertificateYearsText(config), QStringLiteral("Справка за 2008 и 2009 годы и текущий 2010 год (год справки "
                                                           "- отчетный год в параметрах генератора)"));
    EXPECT_EQ(CertificateYearsRefusal(config), QString());
    config.r_g = 0;
    EXPECT_EQ(CertificateYears(config), (std::array<int, 3>{2010, 2011, 2012}));
    EXPECT_EQ(CertificateYearsRefusal(config), QString());

    const QString advice = QStringLiteral("Укажите отчетным годом в параметрах генератора 2012 год или более ранний.");
    config.r_g = 113;
    EXPECT_EQ(CertificateYearsText(config),
              QStringLiteral("Справка за 2011 и 2012 годы и текущий 2013 год (год справки - отчетный год в параметрах "
                             "генератора).\n2013 год позже отчетного месяца базы (январь 2012 года): справка не "
                             "будет напечатана. ") +
                  advice);
    const QString rtf = dir.filePath(QStringLiteral("spravka.rtf"));
    QFile::remove(rtf);
    GenrRunDetail detail;
    EXPECT_EQ(PrintSpravZarp2Goda({}, ReportSelection{}, doc.TypWorkFile(), 0, doc, &detail), GenrRefused);
    EXPECT_EQ(detail.text, QStringLiteral("Справка за 2011 и 2012 годы и текущий 2013 год не напечатана: 2013 год позже "
                                          "отчетного месяца базы (январь 2012 года). ") +
                               advice);
    EXPECT_FALSE(QFile::exists(rtf));
}

TEST(CertificateTemplate, OneBookmarkForEachValue)
{
    const QByteArray rtf = readAll(kSourceData + QStringLiteral("/Shablon/spravka_zarabotok_2goda.rtf"));
    QRegularExpression slot(QStringLiteral("\\{\\\\\\*\\\\bkmkstart par(\\d+)\\}\\{\\\\\\*\\\\bkmkend par(\\d+)\\}"));
    int total = 0;
    for (auto it = slot.globalMatch(QString::fromLatin1(rtf)); it.hasNext(); ++total)
        ASSERT_EQ(it.next().captured(1).toInt(), total);
    EXPECT_EQ(total, 40);
    platform::SetWorkingFolder(kSourceData);
    print::CTree tree(kEarningsCertificateTemplate, QStringLiteral("/tmp/x.typ"));
    EXPECT_EQ(tree.BookmarkMap().mid(0, 2), (QList<QByteArray>{"page0", "0"}));
    platform::SetWorkingFolder(QString());
}

} // namespace
