// The print form of the 4-FSS settlement of 2011, "avans-fss4-2011": ten
// pages in the order of the paper form, every code and number one character
// per cell, a zero amount as "---". Page "page4", the list of employees paid
// as disabled persons, repeats for every 32 lines.
#include "reports/social/SocialInsurance2011.h"

#include "print/CTree.h"
#include "reports/social/Fss4Common.h"
#include "reports/social/PensionXml.h"
#include "reports/social/SocialFormTexts.h"
#include "values/Clock.h"
#include "values/RoundText.h"
#include "values/Text8.h"
#include "values/Values.h"

#include <QFile>

namespace kalvor::reports {

using infobase::FirmInfo;
using namespace fss4;

namespace {

constexpr int kLinesPerListPage = 32;

QByteArray Field(const FirmInfo& firm, FirmInfo::Text which, int width)
{
    return PaddedFirmText(firm, which).left(width);
}
QByteArray Squeezed(const FirmInfo& firm, FirmInfo::Text which, int width)
{
    return SqueezeBlanks(Field(firm, which, width));
}

QList<QByteArray> Cells(const QByteArray& text) { return OneCharCells(text); }

QByteArray Fixed(double value, int decimals) { return FormatFixed8(value + 0.0, decimals); }
// An amount of the tables: "---" for 0.
QByteArray Amount(double value, int decimals = 2) { return value == 0 ? QByteArray("---") : Fixed(value, decimals); }

QByteArray TwoDigits(int number) { return (number < 10 ? "0" : "") + QByteArray::number(number); }
QByteArray DottedDate(const QDate& date)
{
    return TwoDigits(date.day()) + '.' + TwoDigits(date.month()) + '.' + QByteArray::number(date.year());
}

PackedDate PackedAt(const GenrValueArray& v, int index)
{
    return PackedDate(static_cast<std::uint16_t>(static_cast<std::int64_t>(v[std::size_t(index)])));
}

// What a page of the form is built from.
struct FormInput {
    const FirmInfo& firm;
    const GenrValueArray& v;
    const ReportPeriod& period;
    QDate today;
    double at(int index) const { return v[std::size_t(index)]; }
    double sum(std::initializer_list<int> indices) const
    {
        double total = 0;
        for (int index : indices) total += at(index);
        return total;
    }
};

// The head of every page: registration number, additional code, page number
// (three cells) and subordination code.
QList<QByteArray> PageHead(const FirmInfo& firm, int pageNumber)
{
    QList<QByteArray> values = Cells(Field(firm, FirmInfo::firmFSS, 10));
    values += Cells(Field(firm, FirmInfo::firmKodObosob, 10));
    values += Cells(QByteArray::number(pageNumber).rightJustified(3, '0', true));
    values += Cells(Field(firm, FirmInfo::firmPodchFSS, 5));
    return values;
}

// A headcount in six cells, zeros on the left.
QList<QByteArray> Headcount(double value) { return Cells(Fixed(value, 0).rightJustified(6, '0')); }

QList<QByteArray> TitlePage(const FormInput& in)
{
    const FirmInfo& firm = in.firm;
    QList<QByteArray> values = PageHead(firm, 1);
    values += Cells("000");
    values += Cells(ReportingPeriodCode(in.period.lastMonth));
    values += Cells("01");
    values += Cells(QByteArray::number(in.period.year));
    values.append(Field(firm, FirmInfo::firmName, 56));
    values += Cells(Field(firm, FirmInfo::firmOKATO, 11));
    values += Cells("00" + Field(firm, FirmInfo::firmINN, 10));
    QByteArray okved = Field(firm, FirmInfo::firmOKVED, 8);
    okved.remove(5, 1).remove(2, 1); // the dots of "dd.dd.dd"
    values += Cells(okved);
    values += Cells(Field(firm, FirmInfo::firmKPP, 9));
    values += Cells(Field(firm, FirmInfo::firmOKPO, 10));
    values += Cells("00" + Field(firm, FirmInfo::firmOGRN, 13));
    values += Cells(Field(firm, FirmInfo::firmOKOPF, 2));
    values += PhoneCells(firm);
    // The OKFS code in two cells; two further values of the template stay empty.
    values += Cells(Field(firm, FirmInfo::firmOKFS, 2));
    values += {QByteArray(), QByteArray()};
    values.append(Squeezed(firm, FirmInfo::adrInd, 6));
    values += Cells(in.at(kBasePeriod + ColDisabled) == 0 ? "071" : "061");
    values += Cells(firm.firmUprosh() ? "01" : "00");
    values += {"0", "0"};
    values += {Squeezed(firm, FirmInfo::adrObl, 44),   Squeezed(firm, FirmInfo::adrRaion, 25),
               Squeezed(firm, FirmInfo::adrGorod, 25), QByteArray(),
               Squeezed(firm, FirmInfo::adrUlica, 40), Squeezed(firm, FirmInfo::adrDom, 3),
               Squeezed(firm, FirmInfo::adrKorp, 3),   Squeezed(firm, FirmInfo::adrKv, 4)};
    for (int index : {kHeadcount, kWomen, kDisabledHeadcount}) values += Headcount(in.at(index));
    values += Cells("------");
    values += Cells("010000");
    const bool representative = !Field(firm, FirmInfo::fioPredst, 46).trimmed().isEmpty();
    values += {representative ? "2" : "1", Field(firm, representative ? FirmInfo::fioPredst : FirmInfo::fioShef, 46)};
    values += Cells(TwoDigits(in.today.day()) + TwoDigits(in.today.month()) + QByteArray::number(in.today.year()));
    values.append(QByteArray());
    return values;
}

// A payment order of table 1 or 7: "dd.mm.20yy, N<number>" and its sum.
QList<QByteArray> PaymentOrder(const FormInput& in, int first, const char* numberFormat)
{
    const PackedDate date = PackedAt(in.v, first);
    QByteArray text = "---";
    if (!date.isNull()) {
        text = QString::asprintf("%.2d.%.2d.20%.2d", date.day(), date.month(), date.yearField() % 100).toLatin1();
        if (in.at(first + 1) != 0)
            text += QString::asprintf(numberFormat, in.at(first + 1)).toLatin1();
    }
    return {text, Amount(in.at(first + 2))};
}

QList<QByteArray> SettlementsPage(const FormInput& in)
{
    QList<QByteArray> values = PageHead(in.firm, 2);
    for (int index : {kInsurerDebtStart, kAccrued, kAccruedBefore, kAccruedQuarter, kAccruedMonth1, kAccruedMonth1 + 1,
                      kAccruedMonth1 + 2})
        values.append(Amount(in.at(index)));
    values.append("---");
    values += QList<QByteArray>(5);
    values += {"---", "---"};
    values += QList<QByteArray>(5);
    // Additionally accrued: the total, then the start and the three months.
    values.append(Amount(in.at(kAdditional + 5)));
    for (int index = kAdditional; index < kAdditional + 5; ++index) values.append(Amount(in.at(index)));
    values.append("---");
    const double paid = in.sum({185, 188, 191, 194, 197, 200});
    const double total = in.sum({260, kAccrued, kInsurerDebtStart});
    const double balance = SettlementBalance2011(in.v);
    values.append(Amount(total));
    values.append(balance < 0 ? Amount(-balance) : QByteArray("---"));
    for (int index = 262; index <= 266; ++index) values.append(Amount(in.at(index)));
    for (int index = kExpenses; index <= kExpensesMonth1 + 2; ++index) values.append(Amount(in.at(index)));
    values += {Amount(paid), Amount(in.at(kPaidStart)), Amount(paid - in.at(kPaidStart))};
    for (int order = 0; order < 3; ++order) values += PaymentOrder(in, kPaymentOrders + 3 * order, ", %.0f");
    values.append("---");
    values.append(Amount(paid + in.at(264) + in.at(kExpenses)));
    values.append(balance > 0 ? Amount(balance) : QByteArray("---"));
    values.append("---");
    values.append(DottedDate(in.today));
    return values;
}

// A line of table 2 (benefit expenses): counts in the first columns, money in the others.
void AddLine(QList<QByteArray>& values, const std::vector<double>& columns, int countColumns)
{
    for (std::size_t column = 0; column < columns.size(); ++column)
        values.append(Amount(columns[column], int(column) < countColumns ? 0 : 2));
}

QList<QByteArray> BenefitsPage(const FormInput& in)
{
    QList<QByteArray> values = PageHead(in.firm, 3);
    for (int first : {kSickLeave, kSickLeavePartTime, kKind168, kChildCare})
        AddLine(values, {in.at(first), in.at(first + 1), in.at(first + 2), in.at(first + 3)}, 2);
    for (const auto& [full, part] : {std::pair{kKind169, kKind169PartTime}, std::pair{kKind170, kKind170PartTime}})
        AddLine(values,
                {in.at(full) + in.at(part), in.at(full + 1) + in.at(part + 1), in.at(full + 2) + in.at(part + 2),
                 in.at(full + 3) + in.at(part + 3)},
                2);
    for (int first : {kKind167, kKind166}) AddLine(values, {in.at(first), in.at(first + 1), in.at(first + 2)}, 1);
    values.append("---");
    AddLine(values, {in.at(kBenefitAmount), in.at(kBenefitAmount + 1)}, 0);
    values.append(DottedDate(in.today));
    return values;
}

QList<QByteArray> BasePage(const FormInput& in)
{
    QList<QByteArray> values = PageHead(in.firm, 4);
    for (int column = 0; column < 3; ++column)
        for (int first : {kBasePeriod, kBaseQuarter, BaseMonth(1, 0), BaseMonth(2, 0), BaseMonth(3, 0)})
            values.append(Amount(in.at(first + column), 0));
    values.append(DottedDate(in.today));
    return values;
}

// The page of the list: the list's rows follow the head.
struct ListPage {
    QList<QByteArray> head;
    QList<FormRegion> rows;
};

QList<QByteArray> InvalLine(const InvalRecord& record, int number, std::array<double, 4>& totals)
{
    QList<QByteArray> values = {QByteArray::number(number), SqueezedField(record.fio.data(), 50),
                                SqueezedField(record.invSprDat.data(), 8), SqueezedField(record.invEnd.data(), 10)};
    const std::array<double, 4> amounts = {record.sinceYearStart, record.months[0], record.months[1], record.months[2]};
    for (std::size_t i = 0; i < 4; ++i) {
        values.append(Amount(amounts[i] / 100, 0));
        totals[i] += amounts[i];
    }
    return values;
}

// The rows that close a list page: blank lines up to its 33rd, the page's
// foot with today's date.
void CloseListPage(QList<FormRegion>& rows, int lines, const QDate& today)
{
    for (int blank = lines; blank < kLinesPerListPage + 1; ++blank) rows.append({"row3", true, {}});
    rows.append({"row4", true, {}});
    rows.append({"row5", true, {DottedDate(today)}});
    for (const char* name : {"row6", "row7", "row8"}) rows.append({name, true, {}});
}

// The list pages, numbered from 5; a page holds 32 lines, the records and,
// after the last, their totals (a full page passes the totals to a new one).
QList<FormRegion> ListPages(const FormInput& in, const std::vector<InvalRecord>& inval, int& pageNumber)
{
    QList<FormRegion> regions;
    const auto newPage = [&]() { regions.append({"page4", false, PageHead(in.firm, ++pageNumber)}); };
    if (inval.empty()) {
        newPage();
        for (const char* name : {"row0", "row1", "row3", "row4"}) regions.append({name, true, {}});
        regions.append({"row5", true, {DottedDate(in.today)}});
        for (const char* name : {"row6", "row7", "row8"}) regions.append({name, true, {}});
        return regions;
    }
    std::array<double, 4> totals{};
    int lines = 0;
    const auto addLine = [&](FormRegion row) {
        if (++lines == 1)
            newPage();
        regions.append(std::move(row));
        if (lines == kLinesPerListPage) {
            CloseListPage(regions, lines, in.today);
            lines = 0;
        }
    };
    for (std::size_t k = 0; k < inval.size(); ++k) addLine({"row0", true, InvalLine(inval[k], int(k) + 1, totals)});
    QList<QByteArray> sums;
    for (double total : totals) sums.append(Amount(total / 100, 0));
    addLine({"row1", true, sums});
    if (lines != 0)
        CloseListPage(regions, lines, in.today);
    return regions;
}

QList<QByteArray> Table41Page(const FormInput& in, int pageNumber)
{
    QList<QByteArray> values = PageHead(in.firm, pageNumber);
    values += {Fixed(in.at(250), 0), Fixed(in.at(251), 0), Fixed(in.at(252), 0)};
    values.append(in.at(251) == 0 ? QByteArray("---") : Fixed(in.at(252) * 100 / in.at(251), 5));
    const PackedDate entered = PackedAt(in.v, 253);
    values.append(entered.isNull() ? QByteArray("---")
                                   : TwoDigits(entered.day()) + '.' + TwoDigits(entered.month()) + '.' +
                                         QByteArray::number(2000 + entered.yearField()));
    values.append(Fixed(in.at(254), 0));
    values.append(DottedDate(in.today));
    return values;
}

// Section 2: the base and contributions against accidents (table 6) and the
// settlements of table 7, laid out like the paper form.
QList<QByteArray> InjuryPage(const FormInput& in, int pageNumber)
{
    QList<QByteArray> values = PageHead(in.firm, pageNumber);
    for (int index : {kInjuryBase, kInjuryDisabledBase, kInjuryAccrued}) values.append(Amount(in.at(index), 0));
    for (int first : {kInjuryBase + 1, kInjuryDisabledBase + 1, kInjuryAccruedMonth1})
        values.append(Amount(in.sum({first, first + 1, first + 2}), 0));
    for (int month = 0; month < 3; ++month)
        for (int first : {kInjuryBase + 1, kInjuryDisabledBase + 1, kInjuryAccruedMonth1})
            values.append(Amount(in.at(first + month), 0));
    values.append(Fixed(in.at(kInjuryRate), 2));
    const double accrued = in.sum({171, 172, 173, 174});
    values += {Amount(in.at(kInjuryDebtStart)), Amount(accrued), Amount(in.at(171)), Amount(in.sum({172, 173, 174}))};
    for (int index : {172, 173, 174}) values.append(Amount(in.at(index)));
    const double owed = accrued + in.at(kInjuryDebtStart);
    const double spent = in.sum({181, 182, 183, 184});
    const double paid = in.sum({201, 204, 207, 210, 213, 216, 219});
    values += {Amount(owed), Amount(in.at(kInjuryFundDebtStart)), Amount(spent), Amount(paid)};
    for (int order = 0; order < 3; ++order) values += PaymentOrder(in, kInjuryOrders + 3 * order, ", N%.0f");
    values.append(Amount(paid + spent + in.at(kInjuryFundDebtStart)));
    // The debt at the end: the insurer's when positive, the fund's otherwise.
    const double debt = owed - (spent + in.at(kInjuryFundDebtStart)) - paid;
    values += {debt > 0 ? Amount(debt) : QByteArray("---"), debt < 0 ? Amount(-debt) : QByteArray("---")};
    values.append(DottedDate(in.today));
    return values;
}

QList<QByteArray> InjuryBenefitsPage(const FormInput& in, int pageNumber)
{
    QList<QByteArray> values = PageHead(in.firm, pageNumber);
    for (int index = kInjuryBenefitDays; index <= 178; ++index)
        values.append(Amount(in.at(index), (index - kInjuryBenefitDays) % 2 == 0 ? 0 : 2));
    values += {Fixed(in.at(kInjuryBenefitTotal), 2), Fixed(in.at(kInjuryBenefitPersons), 0)};
    return values;
}

QList<QByteArray> DatedPage(const FormInput& in, int pageNumber)
{
    QList<QByteArray> values = PageHead(in.firm, pageNumber);
    values.append(DottedDate(in.today));
    return values;
}

std::vector<InvalRecord> ReadInvalRecords()
{
    QFile file(InvalFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return InvalRecordsFromBytes(file.readAll());
}

} // namespace

QList<FormRegion> RVedFSS2011FormRegions(const PayrollDoc& doc, const std::vector<InvalRecord>& inval,
                                         const QDate& today)
{
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config, kFss4Report.period);
    const FormInput in{doc.infoBase.firm, doc.GenrValues, period, today};
    QList<FormRegion> regions = {{"page0", false, TitlePage(in)},
                                 {"page1", false, SettlementsPage(in)},
                                 {"page2", false, BenefitsPage(in)},
                                 {"page3", false, BasePage(in)}};
    int pageNumber = 4;
    regions += ListPages(in, inval, pageNumber);
    regions.append({"page5", false, DatedPage(in, ++pageNumber)});
    regions.append({"page6", false, Table41Page(in, ++pageNumber)});
    regions.append({"page7", false, DatedPage(in, ++pageNumber)});
    regions.append({"page8", false, InjuryPage(in, ++pageNumber)});
    regions.append({"page9", false, InjuryBenefitsPage(in, ++pageNumber)});
    return regions;
}

int PrintRVedFSS2011(const QString& workFilePath, const PayrollDoc& doc, QString* errorText)
{
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config, kFss4Report.period);
    if (ReportPeriodRefusedByBuilder(period, kFss4Report.period))
        return -2;
    return GenerateFormRegions(kFss4Template2011, workFilePath,
                               RVedFSS2011FormRegions(doc, ReadInvalRecords(), Clock::today()), errorText);
}

} // namespace kalvor::reports
