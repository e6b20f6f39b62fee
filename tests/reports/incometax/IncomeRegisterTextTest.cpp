// The register of income certificates: the certificate totals of one person,
// and the text of both layouts byte for byte against the stored registers,
// with their page breaks and the count written back into the head.
#include "reports/incometax/IncomeRegisterText.h"

#include "platform/CodePage.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QFile>

#include <vector>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;

namespace {

const QString kGolden = QStringLiteral(KALVOR_SOURCE_DIR "/tests/reports/incometax/golden/");

QByteArray cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }
double rub(double roubles) { return roubles * 100; }

// The stored register; KALVOR_UPDATE_GOLDEN=1 rewrites it with the text given.
QByteArray readGolden(const QString& name, const QByteArray& actual)
{
    QFile f(kGolden + name);
    if (qEnvironmentVariableIsSet("KALVOR_UPDATE_GOLDEN") && f.open(QIODevice::WriteOnly))
        f.write(actual);
    f.close();
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

FirmInfo Firm()
{
    FirmInfo firm;
    firm.texts[FirmInfo::firmName] = QStringLiteral("  ООО   \"Северный   ветер\"  ");
    firm.texts[FirmInfo::firmINN] = QStringLiteral("3525012345");
    firm.texts[FirmInfo::firmKPP] = QStringLiteral("352501001");
    firm.texts[FirmInfo::firmGNI] = QStringLiteral("3525");
    firm.texts[FirmInfo::fioBuh] = QStringLiteral("Смирнова Ольга Викторовна");
    firm.texts[FirmInfo::fioShef] = QStringLiteral("Волков Игорь Петрович");
    return firm;
}

RegisterPerson Person(int n, double income, double tax)
{
    CertificateTotals t;
    t.mainIncome = rub(income);
    t.mainTax = rub(tax);
    t.mainWithheld = rub(tax);
    return {QStringLiteral("Работник %1").arg(n), t};
}

QList<QByteArray> Lines(const QByteArray& text)
{
    QList<QByteArray> lines = text.split('\n');
    lines.removeLast(); // after the last CR LF
    for (QByteArray& line : lines) {
        EXPECT_TRUE(line.endsWith('\r'));
        line.chop(1);
    }
    return lines;
}

// The places of the column bars of a line ('|' or '+').
std::vector<int> Bars(const QByteArray& line)
{
    std::vector<int> places;
    for (int i = 0; i < line.size(); ++i)
        if (line[i] == '|' || line[i] == '+')
            places.push_back(i);
    return places;
}

} // namespace

TEST(CertificateTotals, FromThePeriodRow)
{
    RegisterMonths months;
    IncomeMonthRow& total = months.rows[kRegisterTotalRow];
    total.taxable = rub(90'000);
    total.base = rub(84'600);
    total.secondGroup = rub(1'000.50);
    total.thirdGroup = rub(2'000);
    total.taxWithheld = rub(11'000 + 90 + 700) + 40;
    EmployeeHead head;
    const CertificateTotals t = CertificateTotalsOf(head, months, rub(4'600));
    EXPECT_FALSE(t.nonResident);
    EXPECT_EQ(t.mainIncome, rub(90'000));
    EXPECT_EQ(t.mainTax, rub(10'400)); // 80,000 * 0.13
    EXPECT_EQ(t.tax9, rub(90)); // 90.045 to whole roubles
    EXPECT_EQ(t.tax35, rub(700));
    EXPECT_EQ(t.mainWithheld, rub(11'000));
    EXPECT_EQ(t.income(), rub(93'000.50));

    // Both flags and fewer than 183 days: the rate of 30 %.
    head.flags = (1u << 9) | (1u << 2);
    head.inostrDnPrRF = 182;
    EXPECT_TRUE(CertificateTotalsOf(head, months, 0).nonResident);
    EXPECT_EQ(CertificateTotalsOf(head, months, 0).mainTax, rub(25'380));
    head.inostrDnPrRF = 200;
    EXPECT_FALSE(RegisterNonResident(head));
}

TEST(IncomeRegisterTextOld, HeadRowsPageBreaksAndCount)
{
    QList<RegisterPerson> persons;
    for (int n = 1; n <= 30; ++n) persons << Person(n, 10'000 + n, 1'300 + n);
    persons[4].totals = {}; // nothing to list
    persons[6].totals.mainTax = persons[6].totals.mainWithheld = -rub(5); // a refund prints as blanks
    const IncomeRegisterText text = BuildIncomeRegisterText(Firm(), 2004, QDate(2005, 3, 9), persons);
    EXPECT_EQ(text.certificates, 29);
    const QList<QByteArray> lines = Lines(text.text);
    EXPECT_EQ(lines[1], QByteArray(42, ' ') + cp("РЕЕСТР "));
    EXPECT_EQ(lines[5], QByteArray(27, ' ') + cp("Реестр N ____ от 09.03.2005 в 3525"));
    EXPECT_EQ(lines[7], cp("Налоговый агент: ООО \"Северный ветер\""));
    EXPECT_EQ(lines[9], cp("ИНН налогового агента: 3525012345 / 352501001"));
    EXPECT_EQ(lines[11], cp("Количество представленных документов: 29   "));
    EXPECT_EQ(lines[13], cp("ПРЕДСТАВЛЕННЫЕ ДОКУМЕНТЫ:") + QByteArray(61, ' ') + cp("стр. 1"));
    for (int i : {14, 15, 16, 17, 18}) EXPECT_EQ(lines[i].size(), 94) << i;
    EXPECT_EQ(lines[18], "1   |" + cp("Работник 1").leftJustified(50, ' ') + "|     10001.00|        1301|       1301");
    for (int i : {15, 16, 18}) EXPECT_EQ(Bars(lines[i]), Bars(lines[17])) << i;
    // Employee 7 lists his income only.
    EXPECT_EQ(lines[28].mid(56), "     10007.00|            |           ");
    // Line counter 18 + 22 rows of two lines: the 23rd certificate opens page 2.
    EXPECT_TRUE(lines[60].startsWith("22  |"));
    EXPECT_EQ(lines[61], QByteArray(94, '-'));
    EXPECT_EQ(lines[62], "");
    EXPECT_EQ(lines[63], cp("Реестр N ____ от 09.03.2005 в 3525") + QByteArray(52, ' ') + cp("стр. 2"));
    EXPECT_TRUE(lines[68].startsWith("23  |"));
    EXPECT_EQ(text.text, readGolden(QStringLiteral("register-2004.txt"), text.text));
}

TEST(IncomeRegisterTextNew, RateRowsPageBreaksAndCount)
{
    QList<RegisterPerson> persons;
    for (int n = 1; n <= 30; ++n) persons << Person(n, 20'000 + n, 2'600 + n);
    persons[0].totals.income9 = rub(1'000);
    persons[0].totals.tax9 = rub(90);
    persons[0].totals.income35 = rub(2'000);
    persons[0].totals.tax35 = rub(700);
    persons[1].totals.nonResident = true;
    const IncomeRegisterText text = BuildIncomeRegisterText(Firm(), 2011, QDate(2012, 3, 9), persons);
    EXPECT_EQ(text.certificates, 32); // rate rows, not persons
    const QList<QByteArray> lines = Lines(text.text);
    EXPECT_EQ(lines[4], QByteArray(39, ' ') + cp("в ИФНС 3525"));
    EXPECT_EQ(lines[8], cp("Отправитель: Должность главный бухгалтер  ФИО ") +
                            cp("Смирнова Ольга Викторовна").leftJustified(46, ' '));
    EXPECT_EQ(lines[10], cp("Количество представленных документов: 32   "));
    // The rules cross the columns at their bars: the name column (43) and
    // the rate column (6) each end at a '+'.
    EXPECT_EQ(lines[14], "----+" + QByteArray(43, '-') + '+' + QByteArray(6, '-') + '+' + QByteArray(13, '-') + '+' +
                             QByteArray(12, '-') + '+' + QByteArray(11, '-'));
    for (int i : {12, 13, 15}) EXPECT_EQ(Bars(lines[i]), Bars(lines[14])) << i;
    EXPECT_EQ(lines[15],
              "1   |" + cp("Работник 1").leftJustified(43, ' ') + "|  13  |     20001.00|        2601|       2601");
    EXPECT_EQ(lines[17],
              "2   |" + cp("Работник 1").leftJustified(43, ' ') + "|   9  |      1000.00|          90|         90");
    EXPECT_EQ(lines[19].mid(48), "|  35  |      2000.00|         700|        700");
    EXPECT_EQ(lines[21].mid(48), "|  30  |     20002.00|        2602|       2602");
    for (int i = 11; i < 22; ++i) EXPECT_EQ(lines[i].size(), 94) << i;
    // Counter 18 + 6 for the first person + 2 for each further one: the
    // 23rd person (certificate 25) opens page 2 once 65 is passed.
    EXPECT_TRUE(lines[61].startsWith("24  |")) << lines[61].toStdString();
    EXPECT_EQ(lines[62], QByteArray(94, '-'));
    EXPECT_EQ(lines[63], QByteArray(86, ' ') + cp("стр. 2"));
    EXPECT_EQ(lines[64], QByteArray(94, '-'));
    EXPECT_TRUE(lines[68].startsWith("25  |"));
    EXPECT_TRUE(text.text.contains(cp("     Итого") + QByteArray(46, ' ')));
    EXPECT_TRUE(text.text.endsWith(cp("Подпись работника налогового органа   ________________") + "\r\n"));
    EXPECT_EQ(text.text, readGolden(QStringLiteral("register-2011.txt"), text.text));
}
