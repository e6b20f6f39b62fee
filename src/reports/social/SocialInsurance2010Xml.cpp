// The 4-FSS settlement of 2010 as the fund's intake file, format "0.1":
// windows-1251 text, CR LF line ends, one element per line with its
// attributes on the same line.
#include "reports/social/SocialInsurance2010.h"

#include "platform/CodePage.h"
#include "platform/TaskThread.h"
#include "reports/social/Fss4Common.h"
#include "values/Clock.h"
#include "values/RoundText.h"

#include "platform/SavedFile.h"

namespace kalvor::reports {

using infobase::FirmInfo;
using namespace fss4;

namespace {

constexpr int kSection1Orders = 5;
constexpr int kSection2Orders = 6;

double At(const GenrValueArray& v, int index) { return v[std::size_t(index)]; }

QByteArray Title(const FirmInfo& firm, const ReportPeriod& period, const QDate& today)
{
    return XmlLine(1, "TITLE")
        .attribute("REG_NUM", FirmField(firm, FirmInfo::firmFSS, 10))
        .attribute("KPS_NUM", FirmField(firm, FirmInfo::firmPodchFSS, 5))
        .attribute("DOP_NUM", SqueezedFirmField(firm, FirmInfo::firmKodObosob, 10))
        .attribute("INN", "00" + FirmField(firm, FirmInfo::firmINN, 10))
        .attribute("KPP", FirmField(firm, FirmInfo::firmKPP, 9))
        .attribute("OGRN", "00" + FirmField(firm, FirmInfo::firmOGRN, 13))
        .attribute("OKOPF", FirmField(firm, FirmInfo::firmOKOPF, 2))
        .attribute("OKATO", FirmField(firm, FirmInfo::firmOKATO, 11))
        .attribute("OKPO", FirmField(firm, FirmInfo::firmOKPO, 10))
        .attribute("OKFS", FirmField(firm, FirmInfo::firmOKFS, 2))
        .attribute("OKVED", SqueezedFirmField(firm, FirmInfo::firmOKVED, 8))
        .attribute("QUART_NUM", QByteArray::number(QuarterMark(period.lastMonth)))
        .attribute("YEAR_NUM", QByteArray::number(period.year))
        .attribute("NAME", SqueezedFirmField(firm, FirmInfo::firmName, 56))
        .attribute("CRE_DATE", CreationDate(today))
        .attribute("WRO", FirmField(firm, FirmInfo::KodOtdFSS, 4))
        .attribute("CEO", SqueezedFirmField(firm, FirmInfo::fioShef, 46))
        .attribute("CFO", SqueezedFirmField(firm, FirmInfo::fioBuh, 46))
        .attribute("AUTHOR", SqueezedFirmField(firm, FirmInfo::fioPredst, 46))
        .attribute("PHONE", SqueezedFirmField(firm, FirmInfo::adrPhone, 20))
        .empty();
}

// The balance of section I: accrued less expenses less paid (positive: the
// insurer owes the fund).
double Section1Balance(const GenrValueArray& v)
{
    return (At(v, kAccrued) - At(v, kExpenses)) - (At(v, kPaidStart) + OrdersTotal(v, kPaymentOrders, kSection1Orders));
}

// Table 3's counts ("%.0f") and sums ("%.2f") in the order of the file.
void AddBenefits(XmlLine& e, const GenrValueArray& v)
{
    const struct {
        const char* name;
        int index;
        bool sum;
    } lines[] = {
        {"S3QCase", 40, false},  {"S3R1C1", 41, false},  {"S3R1C2", 42, true},    {"S3QCase2", 44, false},
        {"S3R2C1", 45, false},   {"S3R2C2", 46, true},   {"S3R4C1", 49, false},   {"S3R4C2", 50, true},
        {"S3QCase3", 52, false}, {"S3R41C1", 53, false}, {"S3R41C2", 54, true},   {"S3R5C1", 56, false},
        {"S3R5C2", 57, true},    {"S3R6C1", 58, false},  {"S3R6C2", 59, true},    {"S3RCP7", 60, false},
        {"S3RCP75", 64, false},  {"S3RCP71", 68, false}, {"S3R71C1", 69, false},  {"S3R71C2", 70, true},
        {"S3RCP72", 72, false},  {"S3R72C1", 73, false}, {"S3R72C2", 74, true},   {"S3RCP76", 76, false},
        {"S3RCP73", 80, false},  {"S3R73C1", 81, false}, {"S3R73C2", 82, true},   {"S3RCP74", 84, false},
        {"S3R74C1", 85, false},  {"S3R74C2", 86, true},  {"S3R3C1", 88, false},   {"S3R3C2", 89, true},
        {"S3R8C1", 91, false},   {"S3R8C2", 92, true},   {"S3R1C2N", 221, false}, {"S3R4C2N", 222, false},
        {"S3R7C2N", 223, false},
    };
    for (const auto& line : lines) {
        if (line.sum)
            e.money(line.name, At(v, line.index));
        else
            e.count(line.name, At(v, line.index));
    }
}

// The base table: the period, then each of the last three months, columns
// C1-C4.
void AddBaseTable(XmlLine& e, const GenrValueArray& v)
{
    const char* columns[] = {"S1", "S2", "S3", "S4"};
    for (int column = 0; column < 4; ++column) e.money(columns[column], At(v, kBasePeriod + column));
    for (int month = 1; month <= 3; ++month)
        for (int column = 0; column < 4; ++column)
            e.money((QByteArray(columns[column]) + '_' + QByteArray::number(month)).constData(),
                    At(v, BaseMonth(month, column)));
}

// Section I: contributions for temporary disability and maternity.
QByteArray Section1(const GenrValueArray& v, const ReportPeriod& period)
{
    const double paid = OrdersTotal(v, kPaymentOrders, kSection1Orders);
    const double balance = Section1Balance(v);
    XmlLine e(1, "F4INF1");
    e.attribute("TaxType", At(v, kBasePeriod + ColDisabled) != 0 ? "061" : "071");
    e.count("C4", At(v, kHeadcount)).count("F3", At(v, kWomen)).count("H3", At(v, kDisabledHeadcount));
    e.money("S2R3", At(v, kAccruedBefore));
    e.money("Ch1", At(v, kAccruedMonth1))
        .money("Ch2", At(v, kAccruedMonth1 + 1))
        .money("Ch3", At(v, kAccruedMonth1 + 2));
    for (const char* name :
         {"N0", "N1", "N2", "N3", "S2R2", "NRe0", "NRe1", "NRe2", "S2R13", "S2F0", "S2F1", "S2F2", "S2R16", "S2N"})
        e.attribute(name, "0.00");
    e.money("FssDebt", balance < 0 ? -balance : 0);
    e.attribute("S2R18", "0.00").money("S2R21", At(v, kExpensesBefore));
    e.money("Re1", At(v, kExpensesMonth1))
        .money("Re2", At(v, kExpensesMonth1 + 1))
        .money("Re3", At(v, kExpensesMonth1 + 2));
    if (paid != 0) {
        e.money("S2R27", At(v, kPaidStart));
        e.money("S2R29", OrdersOfMonth(v, kPaymentOrders, kSection1Orders, period.lastMonth - 2));
        e.money("S2R30", OrdersOfMonth(v, kPaymentOrders, kSection1Orders, period.lastMonth - 1));
        e.money("S2R26", OrdersOfMonth(v, kPaymentOrders, kSection1Orders, period.lastMonth));
    }
    e.attribute("S2R32", "0.00").money("InsDebt", balance > 0 ? balance : 0).attribute("InsDelDebt", "0.00");
    AddBenefits(e, v);
    AddBaseTable(e, v);
    if (paid == 0)
        return e.empty();
    return e.open() + PaymentOrderLines(v, kPaymentOrders, kSection1Orders) + "\t</F4INF1>\r\n";
}

// Section II: insurance against accidents at work and occupational diseases.
QByteArray Section2(const GenrValueArray& v, const ReportPeriod& period)
{
    const double paid = OrdersTotal(v, kInjuryOrders, kSection2Orders);
    const double accrued =
        At(v, kInjuryBefore) + At(v, kInjuryBefore + 1) + At(v, kInjuryBefore + 2) + At(v, kInjuryBefore + 3);
    const double spent = At(v, kInjuryBenefitBefore) + At(v, kInjuryBenefitBefore + 1) +
                         At(v, kInjuryBenefitBefore + 2) + At(v, kInjuryBenefitBefore + 3);
    const double balance = accrued - spent - (At(v, kInjuryPaidStart) + paid);
    XmlLine e(1, "F4INFO");
    e.count("T1R1C2", At(v, kHeadcount)).count("T1R4C2", At(v, kDisabledHeadcount)).attribute("T1R6C2", "0");
    e.money("T1R3C2", At(v, kInjuryBase)).money("T1R5C2", At(v, kInjuryDisabledBase));
    for (int month = 1; month <= 3; ++month)
        e.money(("C" + QByteArray::number(month)).constData(), At(v, kInjuryBase + month));
    for (int month = 1; month <= 3; ++month)
        e.money(("I" + QByteArray::number(month)).constData(), At(v, kInjuryDisabledBase + month));
    e.money("NC", At(v, kInjuryAccrued)).money("RATE_MIS", At(v, kInjuryRate));
    e.attribute("T7R1C1", "0.00").money("T7R3C1", At(v, kInjuryBefore));
    e.money("T7R5C1", At(v, kInjuryBefore + 1)).money("T7R6C1", At(v, kInjuryBefore + 2));
    e.money("T7R7C1", At(v, kInjuryBefore + 3));
    for (const char* name : {"T7R9C1", "T7R13C1", "T7R11C1", "T7R16C1"}) e.attribute(name, "0.00");
    e.money("T7R18C1", balance < 0 ? -balance : 0).attribute("T7R19C1", "0.00");
    e.money("T7R21C1", At(v, kInjuryBenefitBefore)).money("T7R23C1", At(v, kInjuryBenefitBefore + 1));
    e.money("T7R24C1", At(v, kInjuryBenefitBefore + 2)).money("T7R25C1", At(v, kInjuryBenefitBefore + 3));
    if (paid != 0) {
        // The months' payments look at the first five orders only.
        e.money("T7R27C1", At(v, kInjuryPaidStart));
        e.money("T7R29C1", OrdersOfMonth(v, kInjuryOrders, kSection1Orders, period.lastMonth - 2));
        e.money("T7R30C1", OrdersOfMonth(v, kInjuryOrders, kSection1Orders, period.lastMonth - 1));
        e.money("T7R31C1", OrdersOfMonth(v, kInjuryOrders, kSection1Orders, period.lastMonth));
    }
    e.attribute("T7R38C1", "0.00").money("T7R34C1", balance > 0 ? balance : 0).attribute("T7R35C1", "0.00");
    e.count("T6R3C1", At(v, kInjuryBenefitDays)).money("T6R3C2", At(v, kInjuryBenefitAmount));
    e.count("T6R13C1", At(v, kInjuryBenefitAmount + 1)).money("T6R13C2", At(v, kInjuryBenefitAmount + 2));
    for (const char* name :
         {"FINE_LEFT", "PNLT_LEFT", "FINE_TAX", "PNLT_TAX", "FINE_PAY", "PNLT_PAY", "FINE_RET", "PNLT_RET"})
        e.attribute(name, "0.00");
    e.count("M1", At(v, kInjuryBenefitPersons)).attribute("M2", "0").attribute("M3", "0");
    e.count("M5", At(v, kInjuryBenefitPersons));
    if (paid == 0)
        return e.empty();
    return e.open() + PaymentOrderLines(v, kInjuryOrders, kSection2Orders) + "\t</F4INFO>\r\n";
}

QByteArray Decode(const FirmInfo& firm, const GenrValueArray& v)
{
    XmlLine e(1, "F4DECODE");
    e.attribute("OKVED", SqueezedFirmField(firm, FirmInfo::firmOKVED, 8)).attribute("ID_RISC", "0");
    e.attribute("RATE_MIS", FormatFixed8(At(v, kInjuryRate) + 0.0, 1)).money("FOT", At(v, kInjuryBase));
    for (int month = 1; month <= 3; ++month)
        e.money(("C" + QByteArray::number(month)).constData(), At(v, kInjuryBase + month));
    e.money("FOTINV", At(v, kInjuryDisabledBase));
    for (int month = 1; month <= 3; ++month)
        e.money(("I" + QByteArray::number(month)).constData(), At(v, kInjuryDisabledBase + month));
    e.money("NC", At(v, kInjuryAccrued));
    return e.empty();
}

} // namespace

QString RVedFSSXml2010FileName(const PayrollDoc& doc)
{
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config, kFss4Report.period);
    const QByteArray number = SqueezedFirmField(doc.infoBase.firm, FirmInfo::firmFSS, 10);
    return codepage::fromCp1251(number) + QString::asprintf("_%d_%d.xml", period.year, QuarterMark(period.lastMonth));
}

QByteArray RVedFSSXml2010Bytes(const PayrollDoc& doc, const QDate& today)
{
    const GenrValueArray& v = doc.GenrValues;
    const FirmInfo& firm = doc.infoBase.firm;
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config, kFss4Report.period);
    QByteArray out =
        "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<?F4FORM version=\"0.1\"?>\r\n<F4REPORT>\r\n";
    out += Title(firm, period, today);
    out += Section1(v, period);
    out += Section2(v, period);
    out += Decode(firm, v);
    out += "</F4REPORT>\r\n";
    return out;
}

int WriteRVedFSSXml2010(const QString& folder, const PayrollDoc& doc, QString* writtenPath)
{
    const QString path = XmlFolderPrefix(folder) + RVedFSSXml2010FileName(doc);
    if (writtenPath != nullptr)
        *writtenPath = path;
    const QByteArray bytes = RVedFSSXml2010Bytes(doc, Clock::today());
    return platform::WriteWholeFileKind(path, bytes);
}

} // namespace kalvor::reports
