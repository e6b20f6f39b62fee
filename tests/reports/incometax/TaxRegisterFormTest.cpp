// The print form of the income-tax register: the spreading of the tax
// transferred to the tax office over the employees, the property deduction
// by months, the taxpayer status, and one employee's page against the row
// regions and value slots of "registr-ndfl-2011".
#include "reports/incometax/TaxRegisterForm.h"

#include "platform/CodePage.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QMap>
#include <QRegularExpression>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;

namespace {

u16 date(int day, int month, int year) { return PackedDate::make(day, month, year).value; }
double rub(double roubles) { return roubles * 100; }
QByteArray cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }

// The value slots of the template: before the first row region, in each row
// region, and after the last one.
struct TemplateSlots {
    int head = 0;
    QMap<QByteArray, int> rows;
    int closing = 0;
};

TemplateSlots ReadTemplateSlots()
{
    QFile file(QStringLiteral(KALVOR_SOURCE_DIR "/data/Shablon/registr-ndfl-2011.rtf"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QString rtf = QString::fromLatin1(file.readAll());
    const QRegularExpression region(QStringLiteral("\\{\\\\\\*\\\\bkmkstart (row\\d+)\\}"));
    const QString slot = QStringLiteral("\\bkmkstart par");
    TemplateSlots found;
    QList<QRegularExpressionMatch> starts;
    for (auto it = region.globalMatch(rtf); it.hasNext();) starts << it.next();
    EXPECT_FALSE(starts.isEmpty());
    if (starts.isEmpty())
        return found;
    found.head = int(rtf.left(starts.first().capturedStart()).count(slot));
    const qsizetype tableEnd = rtf.indexOf(QStringLiteral("\\bkmkend ") + starts.last().captured(1) + '}');
    for (qsizetype i = 0; i < starts.size(); ++i) {
        const qsizetype from = starts[i].capturedEnd();
        const qsizetype to = i + 1 < starts.size() ? starts[i + 1].capturedStart() : tableEnd;
        found.rows[starts[i].captured(1).toLatin1()] = int(rtf.mid(from, to - from).count(slot));
    }
    found.closing = int(rtf.mid(tableEnd).count(slot));
    return found;
}

// A register area with the given transferred amount (roubles) and withheld
// sum (kopecks) in month k.
void SetMonth(KalvorDocData& doc, int month, double transferred, double withheld)
{
    RegisterArea area(doc);
    area.transferred(month) = transferred;
    area.withheld(month) = withheld;
}

} // namespace

TEST(TransferShares, DifferenceSpreadWithinTheWindowAndScaledBeyondIt)
{
    KalvorDocData doc;
    SetMonth(doc, 0, 997, rub(1'000)); // 3 roubles short: within 5 roubles
    SetMonth(doc, 1, 900, rub(1'000)); // beyond: scaled by 0.9
    SetMonth(doc, 2, 500, 0); // a transfer without tax withheld
    SetMonth(doc, 3, 999.5, rub(1'000)); // 50 kopecks: no whole rouble to spread
    SetMonth(doc, 4, 1'002, rub(1'000)); // 2 roubles over
    TransferShares shares(doc);

    // The first three employees with tax give a rouble each; one without tax is passed over.
    EXPECT_EQ(shares.share(0, rub(400)), rub(399));
    EXPECT_EQ(shares.share(0, 0), 0);
    EXPECT_EQ(shares.share(0, 50), rub(1)); // less than a rouble withheld: his own tax
    EXPECT_EQ(shares.share(0, rub(300)), rub(299));
    EXPECT_EQ(shares.share(0, rub(200)), rub(199));
    EXPECT_EQ(shares.share(0, rub(100)), rub(100));

    EXPECT_DOUBLE_EQ(shares.ratio(1), 0.9);
    EXPECT_EQ(shares.share(1, rub(333)), rub(300)); // 299.70
    EXPECT_EQ(shares.share(1, rub(100)), rub(90));

    EXPECT_EQ(shares.ratio(2), 0);
    EXPECT_EQ(shares.share(2, rub(100)), 0);

    EXPECT_EQ(shares.share(3, rub(400)), rub(400));
    EXPECT_EQ(shares.share(3, rub(400)), rub(400));

    EXPECT_EQ(shares.share(4, rub(400)), rub(401));
    EXPECT_EQ(shares.share(4, rub(400)), rub(401));
    EXPECT_EQ(shares.share(4, rub(400)), rub(400));
}

TEST(TaxRegisterPage, PropertyDeductionByMonthsAndStatus)
{
    RegisterMonths months;
    months.start = MonthKey(2011, 1).value();
    months.end = MonthKey(2011, 6).value();
    for (int m = 0; m < 6; ++m) months.rows[std::size_t(m)].base = rub(10'000) * (m + 1);
    EmployeeHead head;
    head.imvichDat = date(15, 2, 2011);
    // From March, the first month on or after the notice: the base since
    // January (30,000), then April's growth as far as the amount reaches.
    std::array<double, 12> expected{};
    expected[2] = rub(30'000);
    expected[3] = rub(5'000);
    EXPECT_EQ(PropertyDeductionByMonth(months, rub(35'000), head), expected);
    head.imvichDat = date(1, 3, 2011);
    EXPECT_EQ(PropertyDeductionByMonth(months, rub(35'000), head), expected);
    head.imvichDat = 0;
    EXPECT_EQ(PropertyDeductionByMonth(months, rub(35'000), head), (std::array<double, 12>{}));

    const ReportPeriod quarter{2011, 1, 3};
    EmployeeHead foreign;
    foreign.flags = (1u << 9) | (1u << 2);
    foreign.inostrDnPrRF = 200;
    EXPECT_EQ(TaxpayerStatus(foreign, quarter), 1);
    foreign.inostrDnPrRF = 100;
    foreign.inostrDatPr = date(10, 2, 2011);
    EXPECT_EQ(TaxpayerStatus(foreign, quarter), 2);
    foreign.inostrDatPr = date(10, 4, 2011);
    EXPECT_EQ(TaxpayerStatus(foreign, quarter), 1);
}

// One employee with two income codes and no deductions of any kind.
class TaxRegisterPageValues : public ::testing::Test {
protected:
    void SetUp() override
    {
        EmployeeHead& head = doc.infoBase.current.head;
        head.fio = QStringLiteral("Орлов Павел Семенович");
        head.propKodStr = QStringLiteral("643");
        head.datR = date(5, 7, 75);
        head.tabPodoh = 1;
        doc.infoBase.firm.texts[FirmInfo::fioBuh] = QStringLiteral("Смирнова Ольга Викторовна");
        months.start = MonthKey(2011, 1).value();
        months.end = MonthKey(2011, 3).value();
        for (int m = 0; m < 3; ++m) {
            IncomeMonthRow& row = months.rows[std::size_t(m)];
            row.taxable = rub(31'000);
            row.base = rub(31'000) * (m + 1);
            row.incomeByCode[0] = rub(30'000);
            row.incomeByCode[1] = rub(1'000);
            row.taxWithheld = rub(4'030);
        }
        months.rows[0].incomeCodes[0] = 2000;
        months.rows[0].incomeCodes[1] = 2010;
        IncomeMonthRow& total = months.rows[kRegisterTotalRow];
        total.taxable = rub(93'000);
        total.base = rub(93'000);
        total.incomeByCode[0] = rub(90'000);
        total.incomeByCode[1] = rub(3'000);
        total.taxWithheld = rub(12'090);
        SetMonth(doc, 0, 4'030, rub(4'030));
        SetMonth(doc, 12, 12'090, rub(12'090));
        RegisterArea(doc).transferDate(0) = date(5, 2, 2011);
        RegisterArea(doc).paymentOrder(0) = 17;
    }

    PayrollDoc doc;
    RegisterMonths months;
    const RegisterPageInput input{{2011, 1, 3}, 2011, QDate(2011, 4, 7)};
};

TEST_F(TaxRegisterPageValues, RowsAndValuesFitTheTemplate)
{
    TransferShares shares(doc);
    RegisterPage page;
    ASSERT_EQ(BuildRegisterPage(doc, &months, input, shares, page), 0);
    ASSERT_EQ(page.head.size(), 24);
    EXPECT_EQ(page.head[6], cp("Орлов Павел Семенович").leftJustified(50, ' '));
    EXPECT_EQ(page.head[9], "05.07.1975");
    EXPECT_EQ(page.head[11], cp("РФ"));
    EXPECT_EQ(page.head.mid(18), (QList<QByteArray>{"1", "0", cp("заявление"), "", "", ""}));

    QList<QByteArray> names;
    for (const RegisterRow& row : page.rows) names << row.name;
    QList<QByteArray> expected{"row0", "row1"};
    for (int n = 12; n <= 22; ++n) expected << "row" + QByteArray::number(n);
    for (int filler = 0; filler < 33; ++filler) expected << "row24";
    expected << "row25"
             << "row26"
             << "row27"
             << "row28"
             << "row29";
    for (int n = 40; n <= 50; ++n) expected << "row" + QByteArray::number(n);
    expected << "row52";
    EXPECT_EQ(names, expected);

    // January of income code 2000, and the cells of a month without income.
    EXPECT_EQ(page.rows[0].values.mid(0, 7), (QList<QByteArray>{"2000", "30000.00", "31.01.2011", "30000.00",
                                                                "28.02.2011", "30000.00", "31.03.2011"}));
    EXPECT_EQ(page.rows[0].values.mid(7, 2), (QList<QByteArray>{"0.00", "---"}));
    // Taxes of January: transferred on 5 February, calculated and withheld 4,030.
    EXPECT_EQ(page.rows[9].values.mid(0, 2), (QList<QByteArray>{"4030", "05.02.2011"}));
    // February: nothing entered as transferred, the month's own tax without a date.
    EXPECT_EQ(page.rows[9].values.mid(2, 2), (QList<QByteArray>{"4030", "---"}));
    EXPECT_EQ(page.rows[10].values.mid(0, 2), (QList<QByteArray>{"4030", "31.01.2011"}));
    EXPECT_EQ(page.rows[11].values.mid(0, 2), (QList<QByteArray>{"4030", "31.01.2011"}));
    EXPECT_EQ(page.rows[12].values.mid(0, 2), (QList<QByteArray>{"17", ""}));
    // The second half's code row carries the period total.
    EXPECT_EQ(page.rows[49].values.last(), "90000.00");

    ASSERT_EQ(page.closing.size(), 39);
    EXPECT_EQ(page.closing.mid(0, 2), (QList<QByteArray>{"0.00", "0.00"}));
    // The 13 % line: income, base, tax calculated, withheld, transferred, withheld by the ratio.
    EXPECT_EQ(page.closing.mid(7, 6), (QList<QByteArray>{"93000.00", "93000.00", "12090", "12090", "12090", "12090"}));
    EXPECT_EQ(page.closing.mid(13, 6), QList<QByteArray>(6, "0"));
    EXPECT_EQ(page.closing.mid(36), (QList<QByteArray>{" 7.04.2011", cp("Главный бухгалтер"),
                                                       cp("Смирнова Ольга Викторовна").leftJustified(46, ' ')}));

    const TemplateSlots found = ReadTemplateSlots();
    EXPECT_EQ(found.head, 24);
    EXPECT_EQ(found.closing, 39);
    for (const RegisterRow& row : page.rows)
        EXPECT_EQ(row.values.size(), found.rows.value(row.name, -1)) << row.name.toStdString();
}

TEST_F(TaxRegisterPageValues, NonResidentFiguresStandInThe30PercentLine)
{
    EmployeeHead& head = doc.infoBase.current.head;
    head.flags = (1u << 9) | (1u << 2);
    head.inostrDnPrRF = 90;
    TransferShares shares(doc);
    RegisterPage page;
    ASSERT_EQ(BuildRegisterPage(doc, &months, input, shares, page), 0);
    EXPECT_EQ(page.head[18], "2");
    ASSERT_EQ(page.closing.size(), 39);
    EXPECT_EQ(page.closing.mid(7, 6), QList<QByteArray>(6, "0"));
    EXPECT_EQ(page.closing.mid(13, 3), (QList<QByteArray>{"93000.00", "93000.00", "27900"}));

    // Without an income-tax table, or without income, the page has values 1-19 only.
    ASSERT_EQ(BuildRegisterPage(doc, nullptr, input, shares, page), 0);
    EXPECT_EQ(page.head.size(), 19);
    EXPECT_TRUE(page.rows.isEmpty());
    EXPECT_TRUE(page.closing.isEmpty());

    // A standard deduction whose code the reference list lacks.
    doc.infoBase.current.nalvich[0].kod = 999;
    months.rows[kRegisterTotalRow].deductions[0] = rub(400);
    EXPECT_EQ(BuildRegisterPage(doc, &months, input, shares, page), -31);
}
