// The print form of the 4-FSS settlement of 2010: the template's bookmark map
// against the values the writer adds, the value sequence of every page with
// "---" for each zero, and the form made through the template engine.
#include "reports/social/SocialInsurance2010.h"

#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "print/CTree.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;
using namespace kalvor::reports::fss4;

namespace {

const QString kSourceData = QStringLiteral(KALVOR_SOURCE_DIR "/data");

// One value per character, joined by "|".
QString Cells(const QString& text) { return text.split(QString(), Qt::SkipEmptyParts).join(u'|'); }

// The sheet head of "3501012345", the sheet and the additional code "01".
QString Head(int sheet)
{
    return Cells(QStringLiteral("3501012345")) + QStringLiteral("|0|%1|").arg(sheet) +
           Cells(QStringLiteral("01        "));
}

class Fss4Form2010 : public ::testing::Test {
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
        set(FirmInfo::firmINN, u"3528012345");
        set(FirmInfo::firmKPP, u"352801001");
        set(FirmInfo::firmOGRN, u"1023501234567");
        set(FirmInfo::firmOKOPF, u"65");
        set(FirmInfo::firmOKATO, u"19430000000");
        set(FirmInfo::firmOKPO, u"12345678");
        set(FirmInfo::firmOKFS, u"16");
        set(FirmInfo::firmOKVED, u"29.24.91");
        set(FirmInfo::fioShef, u"  Громов  Виктор Павлович");
        set(FirmInfo::fioBuh, u"Соколова Анна Ивановна");
        doc.infoBase.config.tekMes = u16(MonthKey(2010, 7).value());
        doc.infoBase.config.r_g = 110;
        doc.infoBase.config.r_m1 = 4;
        doc.infoBase.config.r_m2 = 6;
    }
    QList<FormRegion> regions() const { return RVedFSS2010FormRegions(doc, QDate(2010, 7, 5)); }
    QList<QByteArray> page(int number) const { return regions()[number].values; }
    // The values first .. first + count - 1 of a page joined by "|".
    static QString Join(const QList<QByteArray>& values, int first, int count)
    {
        QStringList parts;
        for (int k = first; k < first + count; ++k) parts << codepage::fromCp1251(values[k]);
        return parts.join(u'|');
    }
    static QString All(const QList<QByteArray>& values) { return Join(values, 0, int(values.size())); }
    void set(int index, double value) { doc.GenrValues[std::size_t(index)] = value; }

    PayrollDoc doc;
};

// The map of the template, as the engine reads it, gives each page as many
// value bookmarks as the writer adds values.
TEST_F(Fss4Form2010, TemplateBookmarksMatchTheWriter)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Shablon")));
    ASSERT_TRUE(QFile::copy(kSourceData + QStringLiteral("/Shablon/avans-fss4-2010.rtf"),
                            dir.filePath(QStringLiteral("Shablon/avans-fss4-2010.rtf"))));
    platform::SetWorkingFolder(dir.path());
    print::CTree tree(kFss4Template2010, dir.filePath(QStringLiteral("x.typ")));
    platform::SetWorkingFolder(QString());
    const QList<QByteArray> map = tree.BookmarkMap();

    QMap<QByteArray, int> pageFirst;
    for (qsizetype k = 0; k + 1 < map.size(); ++k)
        if (map[k].startsWith("page") && !pageFirst.contains(map[k]))
            pageFirst.insert(map[k], map[k + 1].toInt());
    ASSERT_EQ(pageFirst.size(), 9) << map.join(' ').toStdString();
    const QList<FormRegion> all = regions();
    ASSERT_EQ(all.size(), 9);
    const int sizes[] = {72, 106, 78, 59, 33, 77, 22, 80, 48};
    for (int number = 0; number < 9; ++number) {
        const QByteArray name = "page" + QByteArray::number(number);
        EXPECT_EQ(all[number].name, name);
        const int first = pageFirst.value(name);
        const int end = number == 8 ? map.last().toInt() + 1 : pageFirst.value("page" + QByteArray::number(number + 1));
        EXPECT_EQ(end - first, all[number].values.size()) << name.toStdString();
        EXPECT_EQ(all[number].values.size(), sizes[number]) << name.toStdString();
    }
}

TEST_F(Fss4Form2010, TitleSheet)
{
    EXPECT_EQ(All(page(0)), QStringLiteral("ООО \"Ромашка\"") + QString(43, u' ') + u'|' +
                                Cells(QStringLiteral("3501012345"
                                                     "35011"
                                                     "01        "
                                                     "003528012345"
                                                     "352801001"
                                                     "001023501234567")) +
                                QStringLiteral("|65|19430000000|12345678  |16|29.24.91|6|2|0|1|0"));
    // A last month of 12 (or 0) is the quarter mark 0; of 1-3 it is 3.
    doc.infoBase.config.r_m2 = 12;
    EXPECT_EQ(page(0)[67], "0");
    doc.infoBase.config.r_m2 = 0;
    EXPECT_EQ(page(0)[67], "0");
    doc.infoBase.config.r_m1 = 1;
    doc.infoBase.config.r_m2 = 2;
    EXPECT_EQ(page(0)[67], "3");
}

// Sheet 02 with nothing computed: every amount "---", the month labels of
// April, May and June 2010.
TEST_F(Fss4Form2010, Section1SheetOfZeros)
{
    const QList<QByteArray> values = page(1);
    const QString empty8 = QStringLiteral("||||||||");
    const QString order = QStringLiteral("---|---|---|");
    EXPECT_EQ(All(values), Head(2) + QStringLiteral("|0|7|1|---|---|---|---|---|---|---|") +
                               QStringLiteral("Апрель 2010 г.|---|Май 2010 г.|---|Июнь 2010 г.|---|---|") + empty8 +
                               QStringLiteral("---|---|") + empty8 + QStringLiteral("---|") + empty8 +
                               QStringLiteral("---|---|---|---|---|---|---|---|---|---|---|") +
                               QStringLiteral("Апрель 2010 г.|---|Май 2010 г.|---|Июнь 2010 г.|---|---|---|---||") +
                               order + order + order + order + order + QStringLiteral("---|---|---|---"));
}

TEST_F(Fss4Form2010, Section1SheetAmountsDebtsAndOrders)
{
    set(kHeadcount, 48);
    set(kWomen, 20);
    set(kDisabledHeadcount, 2);
    set(kBasePeriod + ColDisabled, 60'000);
    set(kAccrued, 18'850);
    set(kAccruedBefore, 10'000);
    set(kAccruedQuarter, 8'850);
    set(kAccruedMonth1, 3'000);
    set(kAccruedMonth1 + 2, 5'850);
    set(kExpenses, 1'500.5);
    set(kExpensesMonth1 + 1, 1'500.5);
    set(kExpensesQuarter, 1'500.5);
    set(kPaidStart, 9'000);
    set(kPaymentOrders, PackedDate::make(14, 5, 2010).value);
    set(kPaymentOrders + 1, 17);
    set(kPaymentOrders + 2, 3'000);
    set(kPaymentOrders + 3 * 4 + 2, 100); // the fifth order without a date
    const QList<QByteArray> values = page(1);
    EXPECT_EQ(Join(values, 22, 16), QStringLiteral("0|6|1|48|20|2|---|18850.00|10000.00|8850.00|"
                                                   "Апрель 2010 г.|3000.00|Май 2010 г.|---|Июнь 2010 г.|5850.00"));
    // Accrued 18,850 less expenses 1,500.50 less 12,100 paid: the insurer
    // owes 5,249.50, the fund nothing.
    EXPECT_EQ(Join(values, 67, 2), QStringLiteral("18850.00|---"));
    EXPECT_EQ(Join(values, 74, 13), QStringLiteral("1500.50|---|1500.50|Апрель 2010 г.|---|Май 2010 г.|1500.50|"
                                                   "Июнь 2010 г.|---|12100.00|9000.00|3100.00|"));
    EXPECT_EQ(Join(values, 87, 15), QStringLiteral("14.05.2010|17|3000.00|---|---|---|---|---|---|---|---|---|"
                                                   "---|---|100.00"));
    EXPECT_EQ(Join(values, 102, 4), QStringLiteral("---|13600.50|5249.50|---"));
    // Paid more than accrued: the fund's debt.
    set(kPaidStart, 30'000);
    EXPECT_EQ(Join(page(1), 67, 2), QStringLiteral("18850.00|15750.50"));
    EXPECT_EQ(page(1)[104], "---");
}

TEST_F(Fss4Form2010, BenefitSheetsAndTheBaseTable)
{
    for (int index = 40; index <= 96; ++index) set(index, index + 0.25);
    set(kTable3Counts, 7);
    for (int index = kBasePeriod; index < kBasePeriod + 25; ++index) set(index, 100 * index);
    // Table 3: counts without decimals, sums with two; V[48] and V[94] never
    // print.
    const QList<QByteArray> benefits = page(2);
    EXPECT_EQ(Join(benefits, 22, 20), QStringLiteral("40|41|42.25|43.25|44|45|46.25|47.25|49|50.25|51.25|"
                                                     "52|53|54.25|55.25|56|57.25|58|59.25|60"));
    EXPECT_EQ(Join(benefits, 69, 9), QStringLiteral("88|89.25|90.25|91|92.25|93.25|95.25|96.25|7"));
    EXPECT_EQ(benefits.size(), 78);
    EXPECT_FALSE(benefits.contains("48") || benefits.contains("94"));
    // The second block's sheet has the same rows from V[104] on: zeros here.
    EXPECT_EQ(All(page(5)), Head(6) + QStringLiteral("|") + QStringList(55, QStringLiteral("---")).join(u'|'));

    const QList<QByteArray> base = page(3);
    EXPECT_EQ(Join(base, 22, 6), QStringLiteral("300.00|400.00|500.00|600.00|700.00|800.00"));
    EXPECT_EQ(base[46], "2700.00");
    EXPECT_EQ(Join(base, 47, 12), QStringList(12, QStringLiteral("---")).join(u'|'));
}

TEST_F(Fss4Form2010, SimplifiedSheetAndSectionII)
{
    EXPECT_EQ(All(page(4)), Head(5) + QStringLiteral("| | | |---|---|---|---|---|---|---|"));
    set(kSimplifiedHeadcount, 12);
    set(kSimplifiedHeadcount + 1, 5);
    set(kSimplifiedBase, 250'000);
    set(kSimplifiedBenefits + kBenefitAmount, 3'400);
    EXPECT_EQ(All(page(4)), Head(5) + QStringLiteral("|0|1|1|12|5|250000.00|---|---|---|3400.00|"));
    EXPECT_EQ(All(page(6)), Head(7));

    set(kSimplifiedHeadcount, 0);
    set(kHeadcount, 48);
    set(kInjuryBase, 895'000);
    set(kInjuryBase + 1, 305'000);
    set(kInjuryDisabledBase, 60'000);
    set(kInjuryAccrued, 1'790);
    set(kInjuryRate, 0.2);
    set(kInjuryBefore, 100);
    set(kInjuryBefore + 3, 554);
    set(kInjuryBenefitBefore + 2, 1'500);
    set(kInjuryPaidStart, 40);
    set(kInjuryOrders + 3 * 5, PackedDate::make(30, 6, 2010).value);
    set(kInjuryOrders + 3 * 5 + 1, 205);
    set(kInjuryOrders + 3 * 5 + 2, 94);
    const QList<QByteArray> values = page(7);
    EXPECT_EQ(Join(values, 22, 17), QStringLiteral("48|---|---|895000.00|60000.00|Апрель 2010г.|305000.00|---|"
                                                   "Май 2010г.|---|---|Июнь 2010г.|---|---|1790.00|0.20|---"));
    EXPECT_EQ(Join(values, 39, 9),
              QStringLiteral("---|654.00|100.00|Апрель 2010г.|---|Май 2010г.|---|Июнь 2010г.|554.00"));
    // Accrued 654 less benefits 1,500 less 134 paid: the fund owes 980.
    EXPECT_EQ(Join(values, 48, 6), QStringLiteral("---|---|---|654.00|980.00|---"));
    EXPECT_EQ(Join(values, 54, 8), QStringLiteral("1500.00|---|Апрель 2010г.|---|Май 2010г.|1500.00|Июнь 2010г.|---"));
    EXPECT_EQ(Join(values, 62, 3), QStringLiteral("134.00|40.00|94.00"));
    EXPECT_EQ(Join(values, 75, 5), QStringLiteral("30.06.2010, N205|94.00|---|1634.00|---"));
}

TEST_F(Fss4Form2010, SignatureSheet)
{
    set(kInjuryBenefitDays, 4);
    set(kInjuryBenefitAmount, 1'500);
    set(kInjuryBenefitTotal, 1'500);
    set(kInjuryBenefitPersons, 1);
    EXPECT_EQ(All(page(8)), Head(9) + QStringLiteral("|4|1500.00|---|---|1500.00|||||||||||||1|1|1|"
                                                     "Громов Виктор Павлович|Соколова Анна Ивановна||05|июля|10"));
}

// The form written through the template engine; a period back to front,
// or one that starts after January, makes nothing.
TEST_F(Fss4Form2010, FormIsMadeBesideTheWorkFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    platform::SetWorkingFolder(kSourceData);
    platform::DocumentOpener::SetCommand(QStringLiteral("true"));
    const QString typ = dir.filePath(QStringLiteral("fss4.typ"));
    doc.infoBase.config.r_m1 = 7;
    EXPECT_EQ(PrintRVedFSS2010(typ, doc), -2);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("fss4.rtf"))));
    // The 4-FSS runs from January: April - June is no period of it.
    doc.infoBase.config.r_m1 = 4;
    EXPECT_EQ(PrintRVedFSS2010(typ, doc), -2);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("fss4.rtf"))));
    doc.infoBase.config.r_m1 = 1;
    set(kAccrued, 18'850);
    QString error;
    const int result = PrintRVedFSS2010(typ, doc, &error);
    platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    platform::SetWorkingFolder(QString());
    ASSERT_EQ(result, print::CTree::GenerateDone) << error.toStdString();
    QFile rtf(dir.filePath(QStringLiteral("fss4.rtf")));
    ASSERT_TRUE(rtf.open(QIODevice::ReadOnly));
    const QByteArray text = rtf.readAll();
    EXPECT_TRUE(text.contains("18850.00"));
    EXPECT_TRUE(text.contains("---"));
    QFile::remove(QStringLiteral("fss4-2010-form.rtf"));
    QFile::copy(rtf.fileName(), QStringLiteral("fss4-2010-form.rtf"));
}

} // namespace
