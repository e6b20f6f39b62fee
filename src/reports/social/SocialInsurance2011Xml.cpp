// The 4-FSS settlement of 2011 as the fund's intake file, format "0.3":
// windows-1251 text, CR LF line ends, one element per line with its
// attributes on the same line.
#include "platform/SavedFile.h"
#include "reports/social/SocialInsurance2011.h"

#include "reports/social/Fss4Common.h"

#include "platform/CodePage.h"
#include "platform/TaskThread.h"
#include "platform/WorkingFolder.h"
#include "values/Clock.h"
#include "values/RoundText.h"
#include "values/Text8.h"
#include "values/Values.h"

#include <QFile>

namespace kalvor::reports {

using infobase::FirmInfo;
using namespace fss4;

namespace {

double At(const GenrValueArray& v, int index) { return v[std::size_t(index)]; }

QByteArray Title(const PayrollDoc& doc, const ReportPeriod& period, std::size_t invalCount, const QDate& today)
{
    const FirmInfo& firm = doc.infoBase.firm;
    const GenrValueArray& v = doc.GenrValues;
    return XmlLine(1, "TITLE")
        .attribute("REG_NUM", FirmField(firm, FirmInfo::firmFSS, 10))
        .attribute("KPS_NUM", FirmField(firm, FirmInfo::firmPodchFSS, 5))
        .attribute("DOP_NUM", SqueezedFirmField(firm, FirmInfo::firmKodObosob, 10))
        .attribute("INN", FirmField(firm, FirmInfo::firmINN, 10))
        .attribute("KPP", FirmField(firm, FirmInfo::firmKPP, 9))
        .attribute("OGRN", "00" + FirmField(firm, FirmInfo::firmOGRN, 13))
        .attribute("OKOPF", FirmField(firm, FirmInfo::firmOKOPF, 2))
        .attribute("OKATO", FirmField(firm, FirmInfo::firmOKATO, 11))
        .attribute("OKPO", FirmField(firm, FirmInfo::firmOKPO, 10))
        .attribute("OKFS", FirmField(firm, FirmInfo::firmOKFS, 2))
        .attribute("OKVED", SqueezedFirmField(firm, FirmInfo::firmOKVED, 8))
        .attribute("QUART_NUM", "0" + QByteArray::number(QuarterMark(period.lastMonth)))
        .attribute("YEAR_NUM", QByteArray::number(period.year))
        .attribute("NAME", SqueezedFirmField(firm, FirmInfo::firmName, 56))
        .attribute("CRE_DATE", CreationDate(today))
        .attribute("WRO", SqueezedFirmField(firm, FirmInfo::KodOtdFSS, 4))
        .attribute("CEO", SqueezedFirmField(firm, FirmInfo::fioShef, 46))
        .attribute("CFO", SqueezedFirmField(firm, FirmInfo::fioBuh, 46))
        .attribute("AUTHOR", SqueezedFirmField(firm, FirmInfo::fioPredst, 46))
        .attribute("PHONE", SqueezedFirmField(firm, FirmInfo::adrPhone, 20))
        .attribute("TaxType", At(v, kBasePeriod + ColDisabled) == 0 ? "071" : "061")
        .attribute("TaxType2", firm.firmUprosh() ? "01" : "00")
        .attribute("TaxType3", "00")
        .count("T1R1C2", At(v, kHeadcount))
        .count("T1R2C2", At(v, kWomen))
        .attribute("T1R4C2", QByteArray::number(qsizetype(invalCount)))
        .attribute("T1R6C2", "0")
        .empty();
}

// Surname, name and patronymic of a record, upper-cased.
QByteArray Upper(QByteArray text)
{
    codepage::upper1251(text.data(), text.size());
    return text;
}

// The certificate's date of issue as year-month-day; empty when it holds none.
QByteArray IssueDate(const InvalRecord& record)
{
    return InvalIssueDate(record).toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
}

// "dd.mm.yyyy" as year-month-day; "бессрочно" and other texts give nothing.
QByteArray EndOfValidity(const std::array<char, 10>& field)
{
    const QByteArray date = SqueezeBlanks(QByteArray(field.data(), qsizetype(field.size())).replace('\0', ' '));
    if (date.size() != 10 || static_cast<unsigned char>(date[0]) == 0xA1)
        return {};
    return date.right(4) + '-' + date.mid(3, 2) + '-' + date.left(2);
}

QByteArray DisabledEmployee(const InvalRecord& record)
{
    const InvalName name = SplitInvalName(record.fio);
    return XmlLine(2, "F4INVAL")
        .attribute("LNAME", Upper(name.surname))
        .attribute("FNAME", Upper(name.name))
        .attribute("MNAME", Upper(name.patronymic))
        .attribute("MSEDATE", IssueDate(record))
        .attribute("MSEDATEF", EndOfValidity(record.invEnd))
        .money("S", record.sinceYearStart / 100)
        .money("S1", record.months[0] / 100)
        .money("S2", record.months[1] / 100)
        .money("S3", record.months[2] / 100)
        .empty();
}

// Table 1 (settlements), table 2 (benefits) and the payment base.
XmlLine Settlements(const GenrValueArray& v, const ReportPeriod& period)
{
    const double balance = -SettlementBalance2011(v);
    XmlLine e(1, "F4INF1");
    e.money("S2R1", At(v, kInsurerDebtStart)).money("S2R3", At(v, kAccruedBefore));
    e.money("Ch1", At(v, kAccruedMonth1))
        .money("Ch2", At(v, kAccruedMonth1 + 1))
        .money("Ch3", At(v, kAccruedMonth1 + 2));
    for (const char* name : {"N0", "N1", "N2", "N3", "S2R2", "NRe0", "NRe1", "NRe2", "S2R13"})
        e.attribute(name, "0.00");
    e.money("S2F0", At(v, kAdditional)).money("S2F1", At(v, kAdditional + 2)).money("S2F2", At(v, kAdditional + 3));
    e.money("S2R16", At(v, kAdditional + 4)).attribute("S2N", "0.00");
    e.money("FssDebt", std::max(0.0, balance));
    e.money("S2R18", At(v, kDebtsStart + 1))
        .money("S2R19", At(v, kDebtsStart + 2))
        .money("S2R20", At(v, kDebtsStart + 4));
    e.money("S2R21", At(v, kExpensesBefore));
    e.money("Re1", At(v, kExpensesMonth1))
        .money("Re2", At(v, kExpensesMonth1 + 1))
        .money("Re3", At(v, kExpensesMonth1 + 2));
    if (OrdersTotal(v, kPaymentOrders, 3) != 0) {
        e.money("S2R27", At(v, kPaidStart));
        e.money("S2R29", OrdersOfMonth(v, kPaymentOrders, 3, period.lastMonth - 2));
        e.money("S2R30", OrdersOfMonth(v, kPaymentOrders, 3, period.lastMonth - 1));
        e.money("S2R26", OrdersOfMonth(v, kPaymentOrders, 3, period.lastMonth));
    }
    e.attribute("S2R32", "0.00").money("InsDebt", std::max(0.0, -balance)).attribute("InsDelDebt", "0.00");
    e.count("S3QCase", At(v, 40)).count("S3R1C1", At(v, 41)).money("S3R1C2", At(v, 42));
    e.count("S3QCase2", At(v, 44)).count("S3R2C1", At(v, 45)).money("S3R2C2", At(v, 46));
    e.count("S3R4C1", At(v, 49)).money("S3R4C2", At(v, 50));
    e.count("S3QCase3", At(v, 52)).count("S3R41C1", At(v, 53)).money("S3R41C2", At(v, 54));
    e.count("S3R5C1", At(v, 56)).money("S3R5C2", At(v, 57));
    e.count("S3R6C1", At(v, 58)).money("S3R6C2", At(v, 59));
    e.count("S3RCP7", At(v, 60));
    e.count("S3RCP71", At(v, 80) + At(v, 68)).count("S3R71C1", At(v, 81) + At(v, 69));
    e.money("S3R71C2", At(v, 82) + At(v, 70)).money("S3R71C3", At(v, 83) + At(v, 71));
    e.count("S3RCP72", At(v, 84) + At(v, 72)).count("S3R72C1", At(v, 85) + At(v, 73));
    e.money("S3R72C2", At(v, 86) + At(v, 74)).money("S3R72C3", At(v, 87) + At(v, 75));
    e.count("S3R3C1", At(v, 88)).money("S3R3C2", At(v, 89));
    e.count("S3R8C1", At(v, 91)).money("S3R8C2", At(v, 92));
    const std::pair<const char*, int> columns[] = {
        {"S1", ColPayments}, {"S2", ColNonTaxable}, {"S4", ColAboveCap}, {"S3", ColDisabled}};
    for (const auto& [name, column] : columns) {
        e.money(name, At(v, kBasePeriod + column));
        for (int month = 1; month <= 3; ++month)
            e.money((QByteArray(name) + '_' + QByteArray::number(month)).constData(), At(v, BaseMonth(month, column)));
    }
    return e;
}

// Table 7 and its sections: insurance against accidents.
XmlLine Injury(const GenrValueArray& v, const ReportPeriod& period)
{
    const double accrued = At(v, kInjuryBefore) + At(v, kInjuryBefore + 1) + At(v, kInjuryBefore + 2) +
                           At(v, kInjuryBefore + 3) + At(v, kInjuryDebtStart);
    const double spent = At(v, kInjuryBenefitBefore) + At(v, kInjuryBenefitBefore + 1) +
                         At(v, kInjuryBenefitBefore + 2) + At(v, kInjuryBenefitBefore + 3) +
                         At(v, kInjuryFundDebtStart);
    const double balance = accrued - spent - (At(v, kInjuryPaidStart) + OrdersTotal(v, kInjuryOrders, 6));
    XmlLine e(1, "F4INFO");
    e.money("T1R3C2", At(v, kInjuryBase))
        .money("T1R5C2", At(v, kInjuryDisabledBase))
        .money("NC", At(v, kInjuryAccrued));
    for (int month = 0; month < 3; ++month) {
        const QByteArray suffix = QByteArray::number(month + 1);
        e.money(("C" + suffix).constData(), At(v, kInjuryBase + 1 + month));
        e.money(("I" + suffix).constData(), At(v, kInjuryDisabledBase + 1 + month));
        e.money(("NC" + suffix).constData(), At(v, kInjuryAccruedMonth1 + month));
    }
    e.money("RATE_MIS", At(v, kInjuryRate)).money("T7R1C1", At(v, kInjuryDebtStart));
    e.money("T7R3C1", At(v, kInjuryBefore)).money("T7R5C1", At(v, kInjuryBefore + 1));
    e.money("T7R6C1", At(v, kInjuryBefore + 2)).money("T7R7C1", At(v, kInjuryBefore + 3));
    for (const char* name : {"T7R9C1", "T7R13C1", "T7R11C1", "T7R16C1", "T7R17C61"}) e.attribute(name, "0.00");
    e.money("T7R18C1", std::max(0.0, -balance)).money("T7R19C1", At(v, kInjuryFundDebtStart));
    e.money("T7R21C1", At(v, kInjuryBenefitBefore)).money("T7R23C1", At(v, kInjuryBenefitBefore + 1));
    e.money("T7R24C1", At(v, kInjuryBenefitBefore + 2)).money("T7R25C1", At(v, kInjuryBenefitBefore + 3));
    if (OrdersTotal(v, kInjuryOrders, 3) != 0) {
        e.money("T7R27C1", At(v, kInjuryPaidStart));
        e.money("T7R29C1", OrdersOfMonth(v, kInjuryOrders, 3, period.lastMonth - 2));
        e.money("T7R30C1", OrdersOfMonth(v, kInjuryOrders, 3, period.lastMonth - 1));
        e.money("T7R31C1", OrdersOfMonth(v, kInjuryOrders, 3, period.lastMonth));
    }
    e.attribute("T7R38C1", "0.00").money("T7R34C1", std::max(0.0, balance)).attribute("T7R35C1", "0.00");
    e.count("T6R3C1", At(v, kInjuryBenefitDays)).money("T6R3C2", At(v, kInjuryBenefitAmount));
    e.count("T6R13C1", At(v, 177)).money("T6R13C2", At(v, 178));
    e.count("M1", At(v, kInjuryBenefitPersons)).attribute("M2", "0").attribute("M3", "0");
    e.count("M5", At(v, kInjuryBenefitPersons));
    return e;
}

QByteArray Decode(const PayrollDoc& doc)
{
    const GenrValueArray& v = doc.GenrValues;
    XmlLine e(1, "F4DECODE");
    e.attribute("OKVED", SqueezedFirmField(doc.infoBase.firm, FirmInfo::firmOKVED, 8)).attribute("ID_RISC", "0");
    e.attribute("RATE_MIS", FormatFixed8(At(v, kInjuryRate), 1)).money("FOT", At(v, kInjuryBase));
    e.money("C1", At(v, kInjuryBase + 1)).money("C2", At(v, kInjuryBase + 2)).money("C3", At(v, kInjuryBase + 3));
    e.money("FOTINV", At(v, kInjuryDisabledBase));
    e.money("I1", At(v, kInjuryDisabledBase + 1)).money("I2", At(v, kInjuryDisabledBase + 2));
    e.money("I3", At(v, kInjuryDisabledBase + 3)).money("NC", At(v, kInjuryAccrued));
    return e.empty();
}

std::vector<InvalRecord> ReadInvalRecords()
{
    QFile file(InvalFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return InvalRecordsFromBytes(file.readAll());
}

} // namespace

QString RVedFSSXml2011FileName(const PayrollDoc& doc)
{
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config, kFss4Report.period);
    const QByteArray number = SqueezedFirmField(doc.infoBase.firm, FirmInfo::firmFSS, 10);
    return codepage::fromCp1251(number) + QString::asprintf("_%d_0%d.xml", period.year, QuarterMark(period.lastMonth));
}

QByteArray RVedFSSXml2011Bytes(const PayrollDoc& doc, const std::vector<InvalRecord>& inval, const QDate& today)
{
    const GenrValueArray& v = doc.GenrValues;
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config, kFss4Report.period);
    QByteArray out =
        "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<?F4FORM version=\"0.3\"?>\r\n<F4REPORT>\r\n";
    out += Title(doc, period, inval.size(), today);

    const XmlLine settlements = Settlements(v, period);
    const bool ordersPaid = OrdersTotal(v, kPaymentOrders, 5) != 0;
    if (!ordersPaid && inval.empty()) {
        out += settlements.empty();
    } else {
        out += settlements.open();
        if (ordersPaid)
            out += PaymentOrderLines(v, kPaymentOrders, 3);
        for (const InvalRecord& record : inval) out += DisabledEmployee(record);
        out += "\t</F4INF1>\r\n";
    }

    const XmlLine injury = Injury(v, period);
    if (OrdersTotal(v, kInjuryOrders, 3) == 0) {
        out += injury.empty();
    } else {
        out += injury.open();
        out += PaymentOrderLines(v, kInjuryOrders, 3);
        out += "\t</F4INFO>\r\n";
    }
    out += Decode(doc);
    out += "</F4REPORT>\r\n";
    return out;
}

int WriteRVedFSSXml2011(const QString& folder, const PayrollDoc& doc, QString* writtenPath)
{
    const QString path = XmlFolderPrefix(folder) + RVedFSSXml2011FileName(doc);
    if (writtenPath != nullptr)
        *writtenPath = path;
    const QByteArray bytes = RVedFSSXml2011Bytes(doc, ReadInvalRecords(), Clock::today());
    return platform::WriteWholeFileKind(path, bytes);
}

} // namespace kalvor::reports
