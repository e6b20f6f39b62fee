// The individual social-tax cards: the age groups on both sides of the 2005
// change, the rate reductions of the disabled, the disability status, a
// year that crosses the cap worked out by hand (2011: pension fund 26 %,
// social insurance 2.9 %, federal medical 3.1 %, territorial 2 %, the cap of
// 463,000 roubles), the page's values and the template's bookmarks, a card
// printed and compared with a stored one, and the list of countries.
#include "reports/social/SocialTaxCard.h"
#include "reports/social/CountryList.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "print/CTree.h"
#include "support/TestFixture.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;
using namespace kalvor::reports::card;

namespace {

const QString kSourceData = QStringLiteral(KALVOR_SOURCE_DIR "/data");
const QString kGolden = QStringLiteral(KALVOR_SOURCE_DIR "/tests/reports/social/golden/indv-2010-fixture.rtf");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
QByteArray cp(const QString& text) { return codepage::toCp1251(text); }
u16 date(int day, int month, int year) { return PackedDate::make(day, month, year).value; }

// ------------------------------------------------------------ rate rules

class CardRules : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc.refFiles.setFolder(QStringLiteral(KALVOR_DATA_DIR "/"));
        ASSERT_TRUE(doc.refFiles.ReadNalog());
        ASSERT_TRUE(doc.refFiles.ReadSbor());
        doc.infoBase.config.tekMes = u16(MonthKey(2011, 3).value());
    }
    int group(int yearByte, int born, const QString& sex = QStringLiteral("М"))
    {
        doc.infoBase.config.r_g = i8(yearByte);
        head().datR = date(1, 6, born);
        head().pol = sex;
        // Record 4 names table 11: the group is the offset from it.
        return AgeGroupTable(4, doc) - 11;
    }
    EmployeeHead& head() { return doc.infoBase.current.head; }
    PayrollDoc doc;
};

TEST_F(CardRules, AgeGroupsOnBothSidesOf2005)
{
    EXPECT_EQ(group(105, 1966), 0);
    EXPECT_EQ(group(105, 1967), 1);
    EXPECT_EQ(group(111, 1980, QStringLiteral("Ж")), 1);
    EXPECT_EQ(group(104, 1952), 0);
    EXPECT_EQ(group(104, 1953), 1);
    EXPECT_EQ(group(104, 1956, QStringLiteral("ж")), 0);
    EXPECT_EQ(group(104, 1957, QStringLiteral("Ж")), 1);
    EXPECT_EQ(group(104, 1967), 2);
    EXPECT_EQ(group(104, 1970, QStringLiteral("Ж")), 2);
    // A year of 0 is the base's: 2011.
    EXPECT_EQ(group(0, 1966), 0);
}

TEST_F(CardRules, DisabilityStatusOverThePeriod)
{
    const int start = MonthKey(2011, 1).value(), end = MonthKey(2011, 12).value();
    EmployeeHead& h = head();
    EXPECT_FALSE(CardDisabilityStatus(h, start, end).disabled);
    // Disabled since 2009: not changed; from May: changed; ended in June: changed.
    h.invDat1Begin = u16(MonthKey(2009, 4).value());
    EXPECT_TRUE(CardDisabilityStatus(h, start, end).disabled);
    EXPECT_FALSE(CardDisabilityStatus(h, start, end).changed);
    h.invDat1Begin = u16(MonthKey(2011, 5).value());
    EXPECT_TRUE(CardDisabilityStatus(h, start, end).changed);
    h.invDat1Begin = u16(MonthKey(2009, 4).value());
    h.invDat1End = u16(MonthKey(2011, 6).value());
    EXPECT_TRUE(CardDisabilityStatus(h, start, end).changed);
    // A period that ended before the year, and one that begins after it.
    h.invDat1End = u16(MonthKey(2010, 6).value());
    EXPECT_TRUE(CardDisabilityStatus(h, start, end).disabled); // its begin lies before the start
    h.invDat1Begin = u16(MonthKey(2012, 2).value());
    h.invDat1End = 0;
    EXPECT_FALSE(CardDisabilityStatus(h, start, end).disabled);
    h.invDat2Begin = u16(MonthKey(2011, 12).value());
    EXPECT_TRUE(CardDisabilityStatus(h, start, end).changed);
}

// ------------------------------------------------------------ a year over a base

constexpr u16 kSalary = 1;
constexpr u16 kMaternity = 158; // in the firm's non-taxable mask

double rub(double roubles) { return roubles * 100; }

// One employee, born 1980, paid 50,000 roubles a month in 2011 and a
// non-taxable benefit of 12,000 in February; a second one without pay. The
// base's month is January 2012.
class CardRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform::SetWorkingFolder(dir.path());
        QDir().mkpath(dir.filePath(QStringLiteral("Shablon")));
        QFile::copy(kSourceData + QStringLiteral("/Shablon/indv-2010.rtf"),
                    dir.filePath(QStringLiteral("Shablon/indv-2010.rtf")));
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        doc.setWorkFolder(dir.path());
        CInfoBase& base = doc.infoBase;
        base.baseName = QStringLiteral("card");
        CreateSchemaBase(dir.path(), base.baseName);
        OpenBase(base);
        FixtureBase fx = BuildFixtureBase(base, 2, 3);
        fx.records[0] = Paid();
        fx.records[1] = Paid();
        fx.records[1].warKv = 0;
        fx.records[1].waria.assign(EmployeeRecord::ArchiveCapacity, WariaEntry{});
        fx.records[1].head.fio = QStringLiteral("Неоплаченный Никита Петрович");
        for (int slot = 1; slot <= base.slotCount(); ++slot) base.attributesOf(slot).kvProizv = 0;
        base.firm.masks[7][kMaternity] = 1;
        base.firm.texts[FirmInfo::firmName] = QStringLiteral("ООО «Северсталь-Метиз»");
        base.firm.texts[FirmInfo::firmINN] = QStringLiteral("3528000597");
        base.firm.texts[FirmInfo::firmKPP] = QStringLiteral("352801001");
        base.firm.texts[FirmInfo::fioBuh] = QStringLiteral("Соколова Анна Викторовна");
        base.config.tekMes = u16(MonthKey(payYear() + 1, 1).value());
        base.config.r_g = i8(payYear() - 1900);
        base.config.r_m1 = 0;
        base.config.r_m2 = 0;
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
    // The year of the pay; the base's month is the January after it.
    virtual int payYear() const { return 2011; }
    EmployeeRecord Paid() const
    {
        EmployeeRecord rec;
        EmployeeHead& h = rec.head;
        h.fio = QStringLiteral("Кузнецова Мария Андреевна");
        h.datR = date(5, 3, 1980);
        h.pol = QStringLiteral("Ж");
        h.datPr1 = date(1, 9, 2008);
        h.stavka = 100;
        h.strahPolis = QStringLiteral("112-233-445 95");
        h.INN = QStringLiteral("352800112233");
        h.propKodStr = QStringLiteral("643");
        for (int month = 1; month <= 12; ++month) add(rec, kSalary, rub(50'000), month);
        add(rec, kMaternity, rub(12'000), 2);
        return rec;
    }
    void add(EmployeeRecord& rec, u16 kod, double sum, int month) const
    {
        WariaEntry& e = rec.waria[rec.warKv++];
        e.kod = kod;
        e.sum = sum;
        e.god = u16(payYear());
        e.mes = u16(month);
        e.dn = 20;
    }
    // The values of a line in roubles, January to December.
    std::vector<double> line(int number) const
    {
        const auto first = doc.GenrValues.begin() + ValueIndex(number, 1);
        return std::vector<double>(first, first + 12);
    }
    void computeFirst(int disabledFrom = 0)
    {
        CInfoBase& base = doc.infoBase;
        ASSERT_TRUE(SelectPeriodToSwap(base, 0, 0, ReportSelection{}.toInfoBaseSelection(0)));
        ASSERT_TRUE(base.swap.readSlot(base.list[0].slot, base.current));
        base.CloseSwapFile();
        base.current.head.invDat1Begin = u16(disabledFrom);
        const ReportPeriod period = ResolveReportPeriod(base.config);
        std::array<double, kValueCount> lines{};
        ASSERT_EQ(ComputeCardLines(doc, period, CardStartMonth(base.current.head, period), 0, lines), 0);
        doc.GenrValues.fill(0);
        for (int i = 0; i < kValueCount; ++i) doc.GenrValues[std::size_t(i)] = lines[std::size_t(i)] / 100;
    }

    QTemporaryDir dir;
    PayrollDoc doc;
};

using Months = std::vector<double>;

TEST_F(CardRun, LinesOfAYearThatCrossesTheCap)
{
    computeFirst();
    // Payments: the base and, in February, the benefit.
    EXPECT_EQ(line(0),
              (Months{50'000, 62'000, 50'000, 50'000, 50'000, 50'000, 50'000, 50'000, 50'000, 50'000, 50'000, 50'000}));
    EXPECT_EQ(line(1)[1], 112'000);
    EXPECT_EQ(line(1)[11], 612'000);
    EXPECT_EQ(line(4), (Months{0, 12'000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(line(5)[0], 0);
    EXPECT_EQ(line(5)[11], 12'000);
    // 500,000 by October: 37,000 above the cap, then all of November and December.
    EXPECT_EQ(line(10), (Months{0, 0, 0, 0, 0, 0, 0, 0, 0, 37'000, 50'000, 50'000}));
    EXPECT_EQ(line(11)[11], 137'000);
    const Months base{50'000, 50'000, 50'000, 50'000, 50'000, 50'000, 50'000, 50'000, 50'000, 13'000, 0, 0};
    EXPECT_EQ(line(12), base);
    EXPECT_EQ(line(13)[11], 463'000);
    for (int fund = 0; fund < 4; ++fund) {
        EXPECT_EQ(line(LineFundBase + 2 * fund), base) << fund;
        EXPECT_EQ(line(LineFundBase + 2 * fund + 1)[9], 463'000) << fund;
    }
    // 26 %: 13,000 a month, 3,380 in October; the year's total is the charge on the cap.
    EXPECT_EQ(line(24), (Months{13'000, 13'000, 13'000, 13'000, 13'000, 13'000, 13'000, 13'000, 13'000, 3'380, 0, 0}));
    EXPECT_EQ(line(25)[11], 120'380);
    EXPECT_EQ(line(26)[9], 377);
    EXPECT_EQ(line(27)[11], 13'427);
    EXPECT_EQ(line(29)[11], 14'353);
    EXPECT_EQ(line(31)[11], 9'260);
    // Lines the card does not fill.
    for (int unused : {2, 3, 6, 7, 8, 9, 22, 23}) EXPECT_EQ(line(unused), Months(12, 0)) << unused;
}

// The same pay in 2010, when the yearly cap was 415,000 roubles.
class CardRun2010 : public CardRun {
protected:
    int payYear() const override { return 2010; }
};

// The rates of 2010 on the pay of a disabled employee: the insurance part of
// the pension 14 % (born before 1967) or 8 % (later), social insurance and
// both medical funds 0 %; the full rates after them, the status having
// changed in the year.
TEST_F(CardRun2010, DisabledEmployeesRatesOfTheYear)
{
    computeFirst();
    EmployeeHead& h = doc.infoBase.current.head;
    h.invDat1Begin = u16(MonthKey(2010, 5).value());
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config);
    QList<QByteArray> v = IndKartPageValues(doc, period, period.begin());
    EXPECT_EQ(v[9], "8.0, 14.0");
    EXPECT_EQ(v.mid(20, 3), (QList<QByteArray>{"0.0, 1.1", "0.0, 2.0", "0.0, 2.9"}));
    h.datR = date(1, 6, 1960);
    v = IndKartPageValues(doc, period, period.begin());
    EXPECT_EQ(v[9], "14.0, 20.0");
}

TEST_F(CardRun2010, TheCapOf2010IsLower)
{
    computeFirst();
    // 450,000 by September: 35,000 above the cap, then all of October to December.
    EXPECT_EQ(line(10), (Months{0, 0, 0, 0, 0, 0, 0, 0, 35'000, 50'000, 50'000, 50'000}));
    EXPECT_EQ(line(11)[11], 185'000);
    EXPECT_EQ(line(12), (Months{50'000, 50'000, 50'000, 50'000, 50'000, 50'000, 50'000, 50'000, 15'000, 0, 0, 0}));
    EXPECT_EQ(line(13)[11], 415'000);
}

TEST_F(CardRun, DisabledFromMayAtTheReducedRates)
{
    // From May the pay is counted in disability months and charged at the
    // rates of the law: 16 % instead of 26 %, 1.9 % instead of 2.9 %, 1.1 %
    // instead of 3.1 %, 1.2 % instead of 2 % (checked up to September,
    // below the cap).
    computeFirst(MonthKey(2011, 5).value());
    const Months disability = line(8);
    EXPECT_EQ(Months(disability.begin(), disability.begin() + 9),
              (Months{0, 0, 0, 0, 50'000, 50'000, 50'000, 50'000, 50'000}));
    EXPECT_EQ(line(9)[8], 250'000);
    EXPECT_EQ(line(0)[4], 50'000);
    EXPECT_EQ(line(12)[4], 50'000);
    EXPECT_EQ(line(14)[4], 50'000);
    const double expected[4][2] = {{13'000, 8'000}, {1'450, 950}, {1'550, 550}, {1'000, 600}};
    for (int fund = 0; fund < 4; ++fund) {
        const Months contributions = line(LineFundContribution + 2 * fund);
        EXPECT_EQ(contributions[3], expected[fund][0]) << fund;
        EXPECT_EQ(contributions[4], expected[fund][1]) << fund;
        EXPECT_EQ(contributions[8], expected[fund][1]) << fund;
    }
}

TEST_F(CardRun, StartsWithTheHireMonthAndRunsOnlyToThePeriodsEnd)
{
    doc.infoBase.config.r_m1 = 4;
    doc.infoBase.config.r_m2 = 6;
    computeFirst();
    // The months before April count for the cap but are not on the card.
    EXPECT_EQ(line(0), (Months{0, 0, 0, 50'000, 50'000, 50'000, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(line(1), (Months{0, 0, 0, 50'000, 100'000, 150'000, 0, 0, 0, 0, 0, 0}));

    const ReportPeriod year{2011, 1, 12};
    EmployeeHead h;
    h.datPr1 = date(16, 5, 2011);
    EXPECT_EQ(CardStartMonth(h, year), MonthKey(2011, 5).value());
    h.datPr1 = date(1, 1, 2012);
    EXPECT_EQ(CardStartMonth(h, year), 0);
    h.datPr1 = date(1, 1, 2005);
    h.datUv1 = date(31, 12, 2010);
    EXPECT_EQ(CardStartMonth(h, year), 0);
}

TEST_F(CardRun, PageValuesInTheOrderOfTheTemplate)
{
    computeFirst();
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config);
    const QList<QByteArray> v = IndKartPageValues(doc, period, period.begin());
    ASSERT_EQ(v.size(), kPageValueCount);
    EXPECT_EQ(v.mid(0, 2), (QList<QByteArray>{"2011", "1"}));
    EXPECT_EQ(v[2], cp(QStringLiteral("ООО «Северсталь-Метиз»")).leftJustified(56, ' '));
    EXPECT_EQ(v.mid(3, 3), (QList<QByteArray>{"3528000597", "352801001", "01"}));
    EXPECT_EQ(v.mid(6, 3), (QList<QByteArray>{cp(QStringLiteral("Кузнецова")), cp(QStringLiteral("Мария")),
                                              cp(QStringLiteral("Андреевна"))}));
    // Born after 1966: the insurance part 20 %, the funded part 6 %.
    EXPECT_EQ(v[9], "20.0");
    EXPECT_EQ(v[10], "112-233-445 95      ");
    EXPECT_EQ(v[11], "352800112233");
    EXPECT_EQ(v[12], cp(QStringLiteral("РФ")));
    EXPECT_EQ(v[13], "05.03.1980");
    EXPECT_EQ(v[14], "6.0");
    EXPECT_EQ(v.mid(15, 5), (QList<QByteArray>{"", cp(QStringLiteral("НЕТ")), "", "", "0.0"}));
    EXPECT_EQ(v.mid(20, 3), (QList<QByteArray>{"3.1", "2.0", "2.9"}));
    EXPECT_EQ(v[23], "50000.00");
    EXPECT_EQ(v[24], "62000.00");
    EXPECT_EQ(v[23 + 12 * 24 + 9], "3380.00");
    EXPECT_EQ(v[406], "9260.00");
    EXPECT_EQ(v[407], cp(QStringLiteral("Соколова Анна Викторовна")).leftJustified(46, ' '));
}

TEST_F(CardRun, DisabledEmployeesRatesAndAnUnsetTable)
{
    computeFirst();
    EmployeeHead& h = doc.infoBase.current.head;
    h.invDat1Begin = u16(MonthKey(2011, 5).value());
    h.invSprNom = QStringLiteral("0412755");
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config);
    QList<QByteArray> v = IndKartPageValues(doc, period, period.begin());
    // Changed in the year: the reduced rate, then the full one. The
    // insurance part: 20 - (20 - 10) = 10.
    EXPECT_EQ(v[9], "10.0, 20.0");
    EXPECT_EQ(v.mid(15, 4),
              (QList<QByteArray>{cp(QStringLiteral("ЕСТЬ")), "", "0412755 ", cp(QStringLiteral("бессрочно"))}));
    EXPECT_EQ(v.mid(20, 3), (QList<QByteArray>{"1.1, 3.1", "1.2, 2.0", "1.9, 2.9"}));
    h.invDat1Begin = u16(MonthKey(2009, 5).value());
    h.invDat1End = u16(MonthKey(2012, 7).value());
    v = IndKartPageValues(doc, period, period.begin());
    EXPECT_EQ(v[9], "10.0");
    EXPECT_EQ(v[18], "01.07.2012");
    // A rate whose table is unset, or has no variant valid in October, is empty.
    doc.refFiles.sbor[2].table = 0;
    doc.refFiles.nalog[9].variants[1].first = u16(MonthIndex(2011, 11));
    v = IndKartPageValues(doc, period, period.begin());
    EXPECT_EQ(v[20], "");
    EXPECT_EQ(v[21], "");
}

TEST_F(CardRun, TemplateHasEveryValueOfThePage)
{
    const QByteArray rtf = readAll(kSourceData + QStringLiteral("/Shablon/indv-2010.rtf"));
    QRegularExpression start(QStringLiteral("\\{\\\\\\*\\\\bkmkstart par(\\d+)\\}\\{\\\\\\*\\\\bkmkend par(\\d+)\\}"));
    int total = 0;
    for (auto it = start.globalMatch(QString::fromLatin1(rtf)); it.hasNext(); ++total) {
        const auto match = it.next();
        ASSERT_EQ(match.captured(1).toInt(), total);
        ASSERT_EQ(match.captured(2).toInt(), total);
    }
    EXPECT_EQ(total, kPageValueCount);
    platform::SetWorkingFolder(kSourceData);
    print::CTree tree(kSocialTaxCardTemplate, dir.filePath(QStringLiteral("x.typ")));
    EXPECT_EQ(tree.BookmarkMap().mid(0, 2), (QList<QByteArray>{"page0", "0"}));
}

TEST_F(CardRun, PrintedCardMatchesTheStoredOne)
{
    GenrRunDetail detail;
    ASSERT_EQ(GenrIndKartSochNal({}, ReportSelection{}, doc.TypWorkFile(), 0, doc, &detail), GenrDone)
        << detail.text.toStdString();
    const QByteArray printed = readAll(dir.filePath(QStringLiteral("card.rtf")));
    ASSERT_FALSE(printed.isEmpty());
    // One card: the employee without pay gets none.
    EXPECT_EQ(printed.count("\\pagebb"), 1);
    const QByteArray golden = readAll(kGolden);
    if (printed != golden) {
        QFile out(QStringLiteral("indv-2010-fixture.actual.rtf"));
        if (out.open(QIODevice::WriteOnly))
            out.write(printed);
    }
    EXPECT_EQ(printed, golden) << "the card printed differs from " << kGolden.toStdString()
                               << "; it is saved as indv-2010-fixture.actual.rtf in the test's folder";
}

TEST_F(CardRun, BadPeriodStopAndMissingTable)
{
    doc.infoBase.config.r_m1 = 5;
    doc.infoBase.config.r_m2 = 3;
    EXPECT_EQ(GenrIndKartSochNal({}, ReportSelection{}, doc.TypWorkFile(), 0, doc), -2);
    doc.infoBase.config.r_m1 = 1;
    doc.infoBase.config.r_g = 113; // after the base's year
    EXPECT_EQ(GenrIndKartSochNal({}, ReportSelection{}, doc.TypWorkFile(), 0, doc), -2);
    doc.infoBase.config.r_g = 111;
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(GenrIndKartSochNal(stop.get_token(), ReportSelection{}, doc.TypWorkFile(), 0, doc), GenrStopped);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("card.rtf"))));
    doc.refFiles.sbor[1].table = 0;
    EXPECT_EQ(GenrIndKartSochNal({}, ReportSelection{}, doc.TypWorkFile(), 0, doc), -32);
}

// ------------------------------------------------------------ the list of countries

TEST(CountryList, RussiaWithoutTheFileAndTheLastMatchWins)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    platform::SetWorkingFolder(dir.path());
    // Without a file: Russia by its code or a blank code, nothing else.
    EXPECT_EQ(CitizenshipText(QStringLiteral("643")), cp(QStringLiteral("РФ")));
    EXPECT_EQ(CitizenshipText(QStringLiteral("   ")), cp(QStringLiteral("РФ")));
    EXPECT_EQ(CitizenshipText(QString()), cp(QStringLiteral("РФ")));
    EXPECT_EQ(CitizenshipText(QStringLiteral("112")), QByteArray());

    const auto record = [](const char* code, const QString& name, char fill) {
        return QByteArray(code) + cp(name).leftJustified(kCountryNameWidth, fill, true);
    };
    QByteArray bytes = record("112", QStringLiteral("Беларусь"), ' ') +
                       record("398", QStringLiteral("Казахстан"), '\0') +
                       record("112", QStringLiteral("Республика Беларусь"), ' ') +
                       record("643", QStringLiteral("Россия"), ' ') + QByteArray("804Укр");
    QFile file(CountryFilePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    EXPECT_EQ(CitizenshipText(QStringLiteral("112")),
              cp(QStringLiteral("Республика Беларусь")).leftJustified(kCountryNameWidth, ' '));
    EXPECT_EQ(CitizenshipText(QStringLiteral("398")), cp(QStringLiteral("Казахстан")));
    EXPECT_EQ(CitizenshipText(QStringLiteral("643")), cp(QStringLiteral("РФ")));
    // A code that is not listed, and a tail shorter than a record.
    EXPECT_EQ(CitizenshipText(QStringLiteral("804")), QByteArray());
    EXPECT_EQ(FindCountryName(CountryFilePath(), "643"), cp(QStringLiteral("Россия")).leftJustified(50, ' '));
    platform::SetWorkingFolder(QString());
    // The list the program comes with.
    const QString shipped = QStringLiteral(KALVOR_DATA_DIR "/country");
    EXPECT_EQ(FindCountryName(shipped, "398"), cp(QStringLiteral("Казахстан")).leftJustified(50, ' '));
    EXPECT_EQ(FindCountryName(shipped, "860"), cp(QStringLiteral("Узбекистан")).leftJustified(50, ' '));
    EXPECT_EQ(FindCountryName(shipped, "999"), QByteArray());
}

} // namespace
