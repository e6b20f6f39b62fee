// The certificate of monthly earnings on a fixture base: a full year with a
// month without earnings, a period ending before July, an employee hired
// inside the period and one hired after it, the month an amount counts in,
// totals in words with and without kopecks, and the runs that end without a
// document.
#include "exchange/MonthlyEarningsCertificate.h"

#include "PrintedPages.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "support/TestFixture.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::exchange;
using kalvortest::PagesOf;
using kalvortest::PrintedPage;

namespace {

const QString kSourceData = QStringLiteral(KALVOR_SOURCE_DIR "/data");

u16 packed(int day, int month, int year) { return PackedDate::make(day, month, year).value; }

WariaEntry Entry(int code, int month, double kopecks)
{
    WariaEntry e;
    e.kod = u16(code);
    e.mes = u16(month);
    e.god = 2026;
    e.sum = kopecks;
    return e;
}

// Four employees in list order: one hired long ago with a premium of March
// paid in April and a sick-leave benefit in May (not subject to the first
// contribution), one hired in July 2026, one hired in 2027, and one with the
// same pay every month. The reporting month is December 2026.
class MonthlyCertificate : public ::testing::Test {
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
        FixtureBase fx = BuildFixtureBase(base, 4, 11);
        BuildFixtureRefFiles(doc.refFiles);
        base.config.tekMes = u16(MonthKey(2026, 12).value());
        base.config.r_g = 126;
        base.config.r_m1 = 0;
        base.config.r_m2 = 0;
        base.firm.parWord = 0;

        Employee(fx, 0, QStringLiteral("Соколов Андрей Петрович"), packed(5, 10, 2009));
        for (int month = 1; month <= 11; ++month)
            if (month != 5)
                Add(fx, 0, Entry(1, month, 3'000'000));
        WariaEntry premium = Entry(35, 3, 450'050);
        premium.mesVyd = 4;
        premium.godVyd = 2026;
        Add(fx, 0, premium);
        Add(fx, 0, Entry(110, 5, 1'200'000));

        Employee(fx, 1, QStringLiteral("Белова Ольга Игоревна"), packed(15, 7, 2026));
        for (int month = 7; month <= 11; ++month) Add(fx, 1, Entry(1, month, 2'000'000));

        Employee(fx, 2, QStringLiteral("Киселев Павел Олегович"), packed(10, 1, 2027));
        Add(fx, 2, Entry(1, 11, 2'000'000));

        Employee(fx, 3, QStringLiteral("Орлова Вера Николаевна"), packed(1, 2, 2010));
        for (int month = 1; month <= 11; ++month) Add(fx, 3, Entry(1, month, 1'234'567));

        SaveAll(base, fx.records);
    }
    void TearDown() override
    {
        CloseBase(doc.infoBase);
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
        platform::SetWorkingFolder(QString());
    }
    // The employee at a position of the list, with an empty archive and no
    // rows of the month.
    void Employee(FixtureBase& fx, int position, const QString& name, u16 hired)
    {
        EmployeeRecord& record = fx.records[std::size_t(doc.infoBase.list[std::size_t(position)].slot - 1)];
        record.head.fio = name;
        record.head.datPr1 = hired;
        record.head.datUv1 = 0;
        record.waria.assign(record.waria.size(), WariaEntry{});
        record.warKv = 0;
        record.rows.fill(AccrualRow{});
    }
    void Add(FixtureBase& fx, int position, const WariaEntry& entry)
    {
        EmployeeRecord& record = fx.records[std::size_t(doc.infoBase.list[std::size_t(position)].slot - 1)];
        record.waria[record.warKv++] = entry;
    }
    int Print(std::vector<PrintedPage>& pages, const T54Selection& selection = {}, std::stop_token stop = {})
    {
        QDomDocument data;
        const int result = PrintEarningsCertificate(selection, stop, doc.TypWorkFile(), 0, doc, &data);
        pages = PagesOf(data);
        return result;
    }
    QString Rtf() const { return dir.filePath(QStringLiteral("spravka.rtf")); }

    QTemporaryDir dir;
    PayrollDoc doc;
    ScopedToday today{QDate(2026, 12, 20)};
};

QStringList Row(const QString& first, const QString& firstAmount, const QString& second, const QString& secondAmount)
{
    return {first, firstAmount, second, secondAmount};
}

TEST_F(MonthlyCertificate, FullYearNumbersAndSkipsTheEmployeeHiredAfterIt)
{
    std::vector<PrintedPage> pages;
    ASSERT_EQ(Print(pages), 0);
    ASSERT_EQ(pages.size(), 3u); // the employee hired in 2027 has none
    EXPECT_TRUE(QFile::exists(Rtf()));

    const PrintedPage& first = pages[0];
    ASSERT_EQ(first.values.size(), 8);
    EXPECT_EQ(first.values[0], "1");
    EXPECT_EQ(first.values[1].trimmed(), QStringLiteral("Соколов Андрей Петрович"));
    EXPECT_EQ(first.values[1].size(), 56);
    EXPECT_EQ(first.values[2].trimmed(), QStringLiteral("ООО «Северный машиностроительный завод»"));
    // The premium of March counts in April, when it was paid; the benefit of
    // May is not earnings of the first contribution; December has no pay yet.
    EXPECT_EQ(first.rowNames(), QStringList(6, QStringLiteral("row0")));
    EXPECT_EQ(first.row("row0", 0),
              Row(QStringLiteral("Январь  "), "  30000.00", QStringLiteral("Июль    "), "  30000.00"));
    EXPECT_EQ(first.row("row0", 1),
              Row(QStringLiteral("Февраль "), "  30000.00", QStringLiteral("Август  "), "  30000.00"));
    EXPECT_EQ(first.row("row0", 2),
              Row(QStringLiteral("Март    "), "  30000.00", QStringLiteral("Сентябрь"), "  30000.00"));
    EXPECT_EQ(first.row("row0", 3),
              Row(QStringLiteral("Апрель  "), "  34500.50", QStringLiteral("Октябрь "), "  30000.00"));
    EXPECT_EQ(first.row("row0", 4), Row(" ", " ", QStringLiteral("Ноябрь  "), "  30000.00"));
    EXPECT_EQ(first.row("row0", 5), Row(QStringLiteral("Июнь    "), "  30000.00", " ", " "));
    EXPECT_EQ(first.values[3], " 304500.50");
    EXPECT_EQ(first.values[4], QStringLiteral("Триста четыре тысячи пятьсот рублей 50 копеек"));
    EXPECT_EQ(first.values[5].trimmed(), QStringLiteral("Генеральный директор"));
    EXPECT_EQ(first.values[5].size(), 30);
    EXPECT_EQ(first.values[6].size(), 46);
    EXPECT_EQ(first.values[7].size(), 46);
    EXPECT_EQ(first.values[7].trimmed(), QStringLiteral("Белова Нина Сергеевна"));

    // Hired on 15 July: the certificate starts in July.
    const PrintedPage& hired = pages[1];
    EXPECT_EQ(hired.values[0], "2");
    EXPECT_EQ(hired.values[1].trimmed(), QStringLiteral("Белова Ольга Игоревна"));
    EXPECT_EQ(hired.row("row0", 0), Row(" ", " ", QStringLiteral("Июль    "), "  20000.00"));
    EXPECT_EQ(hired.row("row0", 5), Row(" ", " ", " ", " "));
    EXPECT_EQ(hired.values[3], " 100000.00");
    EXPECT_EQ(hired.values[4], QStringLiteral("Сто тысяч рублей 00 копеек"));

    // The next certificate runs on without a gap.
    EXPECT_EQ(pages[2].values[0], "3");
    EXPECT_EQ(pages[2].values[1].trimmed(), QStringLiteral("Орлова Вера Николаевна"));
    EXPECT_EQ(pages[2].values[3], " 135802.37");
    EXPECT_EQ(pages[2].values[4], QStringLiteral("Сто тридцать пять тысяч восемьсот два рубля 37 копеек"));
}

TEST_F(MonthlyCertificate, PeriodEndingBeforeJulyAndTheAccrualMonthSwitch)
{
    doc.infoBase.config.r_m1 = 2;
    doc.infoBase.config.r_m2 = 4;
    doc.infoBase.firm.parWord = 1; // amounts count in the month they were earned for
    std::vector<PrintedPage> pages;
    ASSERT_EQ(Print(pages), 0);
    ASSERT_EQ(pages.size(), 2u); // the employee hired in July comes after the period
    EXPECT_EQ(pages[0].rowNames(), QStringList(4, QStringLiteral("row0")));
    EXPECT_EQ(pages[0].row("row0", 0), Row(" ", " ", " ", " ")); // January lies before the period
    EXPECT_EQ(pages[0].row("row0", 1), Row(QStringLiteral("Февраль "), "  30000.00", " ", " "));
    EXPECT_EQ(pages[0].row("row0", 2), Row(QStringLiteral("Март    "), "  34500.50", " ", " "));
    EXPECT_EQ(pages[0].row("row0", 3), Row(QStringLiteral("Апрель  "), "  30000.00", " ", " "));
    EXPECT_EQ(pages[0].values[3], "  94500.50");
    EXPECT_EQ(pages[1].values[0], "2");
    EXPECT_EQ(pages[1].values[1].trimmed(), QStringLiteral("Орлова Вера Николаевна"));
}

TEST_F(MonthlyCertificate, RunsThatEndWithoutADocument)
{
    std::vector<PrintedPage> pages;
    doc.infoBase.config.r_m1 = 5;
    doc.infoBase.config.r_m2 = 3;
    EXPECT_EQ(Print(pages), -2);
    doc.infoBase.config.r_m1 = 0;
    doc.infoBase.config.r_m2 = 0;
    doc.infoBase.config.r_g = 127; // after the reporting year
    EXPECT_EQ(Print(pages), -2);
    EXPECT_FALSE(QFile::exists(Rtf()));

    doc.infoBase.config.r_g = 0;
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(Print(pages, {}, stop.get_token()), 1);
    EXPECT_FALSE(QFile::exists(Rtf()));

    // An archive entry of an unknown kind ends the run with its code.
    const int slot = doc.infoBase.list[3].slot;
    LoadEmployee(doc.infoBase, slot);
    EmployeeRecord& record = doc.infoBase.current;
    record.waria[record.warKv++] = Entry(777, 6, 100);
    SaveEmployee(doc.infoBase, slot);
    EXPECT_EQ(Print(pages), -4);
    EXPECT_FALSE(QFile::exists(Rtf()));
}

TEST_F(MonthlyCertificate, OnePersonnelNumber)
{
    T54Selection selection;
    selection.tabN = doc.infoBase.list[3].tabN();
    std::vector<PrintedPage> pages;
    ASSERT_EQ(Print(pages, selection), 0);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].values[0], "1");
    EXPECT_EQ(pages[0].values[1].trimmed(), QStringLiteral("Орлова Вера Николаевна"));
}

TEST(CertificateTotal, WordsFollowTheRoundedFigures)
{
    const CertificateTotalTexts whole = CertificateTotal(1'234'500);
    EXPECT_EQ(whole.figures, "  12345.00");
    EXPECT_EQ(codepage::fromCp1251(whole.words), QStringLiteral("Двенадцать тысяч триста сорок пять рублей 00 копеек"));
    const CertificateTotalTexts kopeck = CertificateTotal(1);
    EXPECT_EQ(kopeck.figures, "      0.01");
    EXPECT_EQ(codepage::fromCp1251(kopeck.words), QStringLiteral("Ноль рублей 01 копейка"));
    // 999.995 roubles print as 1000.00, and so do the words (not 999 roubles).
    const CertificateTotalTexts rounded = CertificateTotal(99'999.5);
    EXPECT_EQ(rounded.figures, "   1000.00");
    EXPECT_EQ(codepage::fromCp1251(rounded.words), QStringLiteral("Одна тысяча рублей 00 копеек"));
    // Reversals over the pay: the words say the amount that the figures show.
    const CertificateTotalTexts negative = CertificateTotal(-123'456);
    EXPECT_EQ(negative.figures, "  -1234.56");
    EXPECT_EQ(codepage::fromCp1251(negative.words),
              QStringLiteral("Минус одна тысяча двести тридцать четыре рубля 56 копеек"));
    const CertificateTotalTexts half = CertificateTotal(-50);
    EXPECT_EQ(half.figures, "     -0.50");
    EXPECT_EQ(codepage::fromCp1251(half.words), QStringLiteral("Минус ноль рублей 50 копеек"));
}

TEST(CertificateMonthRows, OneRowPerMonthUpToJune)
{
    CertificateMonths months{};
    months[2] = 150'000;
    months[8] = 99'999.5;
    const QList<QList<QByteArray>> rows = CertificateMonthRows(months, 3);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], (QList<QByteArray>{" ", " ", " ", " "}));
    EXPECT_EQ(rows[1], (QList<QByteArray>{"\xD4\xE5\xE2\xF0\xE0\xEB\xFC ", "   1500.00", "\xC0\xE2\xE3\xF3\xF1\xF2  ",
                                          "   1000.00"}));
    EXPECT_EQ(CertificateMonthRows(months, 12).size(), 6);
}

} // namespace
