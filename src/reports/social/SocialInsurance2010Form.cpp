// The print form of the 4-FSS settlement of 2010, "avans-fss4-2010": the
// title sheet and the sheets 02 to 09, every code one character per cell,
// a zero amount as "---".
#include "reports/social/SocialInsurance2010.h"

#include "platform/CodePage.h"
#include "reports/social/Fss4Common.h"
#include "values/Clock.h"
#include "values/RoundText.h"
#include "values/Values.h"

namespace kalvor::reports {

using infobase::FirmInfo;
using namespace fss4;

namespace {

constexpr int kSection1Orders = 5;
constexpr int kSection2Orders = 6;

QByteArray Fixed(double value, int decimals) { return FormatFixed8(value + 0.0, decimals); }
// An amount cell: "---" for 0.
QByteArray Amount(double value, int decimals = 2) { return value == 0 ? QByteArray("---") : Fixed(value, decimals); }
QByteArray Count(double value) { return Amount(value, 0); }

// What a page of the form is built from.
struct FormInput {
    const FirmInfo& firm;
    const GenrValueArray& v;
    ReportPeriod period;
    QDate today;

    double at(int index) const { return v[std::size_t(index)]; }
    double sum(int first, int count, int step = 1) const
    {
        double total = 0;
        for (int k = 0; k < count; ++k) total += at(first + step * k);
        return total;
    }
    // A month row's label for month 1-3 of the last three months.
    QByteArray monthLabel(int month, const char* format) const
    {
        const int number = period.lastMonth - 3 + month;
        return codepage::toCp1251(QString::asprintf(format, qUtf8Printable(MonthName(number)), period.year));
    }
    // Section I: accrued less expenses less paid; section II: accrued less
    // benefits less paid. Positive: the insurer owes the fund.
    double paid1() const { return sum(kPaymentOrders + 2, kSection1Orders, 3); }
    double balance1() const { return (at(kAccrued) - at(kExpenses)) - (at(kPaidStart) + paid1()); }
    double paid2() const { return sum(kInjuryOrders + 2, kSection2Orders, 3); }
    double accrued2() const { return sum(kInjuryBefore, 4); }
    double benefits2() const { return sum(kInjuryBenefitBefore, 4); }
    double balance2() const { return accrued2() - benefits2() - (at(kInjuryPaidStart) + paid2()); }
};

// The head of sheets 02-09: registration number, sheet number, additional code.
QList<QByteArray> SheetHead(const FirmInfo& firm, int page)
{
    QList<QByteArray> values = OneCharCells(FirmField(firm, FirmInfo::firmFSS, 10));
    values += OneCharCells("0" + QByteArray::number(page + 1));
    values += OneCharCells(FirmField(firm, FirmInfo::firmKodObosob, 10));
    return values;
}

// A payment order: date, number, sum; an order without a date prints "---".
QList<QByteArray> PaymentOrder(const FormInput& in, int first, int order)
{
    const PaymentOrderValues paid = PaymentOrderAt(in.v, first, order);
    const QByteArray date = paid.date.isNull() ? QByteArray("---")
                                               : QString::asprintf("%.2d.%.2d.20%.2d", paid.date.day(),
                                                                   paid.date.month(), paid.date.yearField() % 100)
                                                     .toLatin1();
    return {date, Count(paid.number), Amount(paid.sum)};
}

// The same with date and number in one cell, as sheet 08 has it.
QList<QByteArray> PaymentOrderInOneCell(const FormInput& in, int first, int order)
{
    const PaymentOrderValues paid = PaymentOrderAt(in.v, first, order);
    if (paid.date.isNull())
        return {"---", Amount(paid.sum)};
    const QByteArray date =
        QString::asprintf("%.2d.%.2d.20%.2d", paid.date.day(), paid.date.month(), paid.date.yearField() % 100)
            .toLatin1();
    return {date + ", N" + Fixed(paid.number, 0), Amount(paid.sum)};
}

QList<QByteArray> TitleSheet(const FormInput& in)
{
    const FirmInfo& firm = in.firm;
    QList<QByteArray> values = {FirmField(firm, FirmInfo::firmName, 56)};
    values += OneCharCells(FirmField(firm, FirmInfo::firmFSS, 10));
    values += OneCharCells(FirmField(firm, FirmInfo::firmPodchFSS, 5));
    values += OneCharCells(FirmField(firm, FirmInfo::firmKodObosob, 10));
    values += OneCharCells("00" + FirmField(firm, FirmInfo::firmINN, 10));
    values += OneCharCells(FirmField(firm, FirmInfo::firmKPP, 9));
    values += OneCharCells("00" + FirmField(firm, FirmInfo::firmOGRN, 13));
    values += {FirmField(firm, FirmInfo::firmOKOPF, 2), FirmField(firm, FirmInfo::firmOKATO, 11),
               FirmField(firm, FirmInfo::firmOKPO, 10), FirmField(firm, FirmInfo::firmOKFS, 2),
               FirmField(firm, FirmInfo::firmOKVED, 8), QByteArray::number(QuarterMark(in.period.lastMonth))};
    values += OneCharCells(QByteArray::number(in.period.year));
    return values;
}

// Sheet 02: the settlements of section I.
QList<QByteArray> Section1Sheet(const FormInput& in)
{
    QList<QByteArray> values = SheetHead(in.firm, 1);
    values += OneCharCells(in.at(kBasePeriod + ColDisabled) != 0 ? "061" : "071");
    values += {Count(in.at(kHeadcount)), Count(in.at(kWomen)), Count(in.at(kDisabledHeadcount)), "---"};
    values += {Amount(in.at(kAccrued)), Amount(in.at(kAccruedBefore)), Amount(in.at(kAccruedQuarter))};
    for (int month = 1; month <= 3; ++month)
        values += {in.monthLabel(month, "%s %d г."), Amount(in.at(kAccruedMonth1 + month - 1))};
    values.append("---");
    values += QList<QByteArray>(8);
    values += {"---", "---"};
    values += QList<QByteArray>(8);
    values.append("---");
    values += QList<QByteArray>(8);
    values.append("---");
    const double balance = in.balance1();
    values += {Amount(in.at(kAccrued)), balance < 0 ? Amount(-balance) : QByteArray("---")};
    values += QList<QByteArray>(5, "---");
    values += {Amount(in.at(kExpenses)), Amount(in.at(kExpensesBefore)), Amount(in.at(kExpensesQuarter))};
    for (int month = 1; month <= 3; ++month)
        values += {in.monthLabel(month, "%s %d г."), Amount(in.at(kExpensesMonth1 + month - 1))};
    const double paid = in.at(kPaidStart) + in.paid1();
    values += {Amount(paid), Amount(in.at(kPaidStart)), Amount(in.paid1()), QByteArray()};
    for (int order = 0; order < kSection1Orders; ++order) values += PaymentOrder(in, kPaymentOrders, order);
    values += {"---", Amount(paid + in.at(kExpenses)), balance > 0 ? Amount(balance) : QByteArray("---"), "---"};
    return values;
}

// The benefits of table 3 from `first` (40, or 104 for the second block):
// four values a row, counts and days in whole numbers, sums with kopecks.
QList<QByteArray> BenefitTable(const FormInput& in, int first)
{
    const auto at = [&](int index) { return in.at(first - kSickLeave + index); };
    QList<QByteArray> values;
    const auto row = [&](int start, std::initializer_list<int> decimals, int skip = 0) {
        int index = start;
        for (int places : decimals) {
            if (index - start >= skip)
                values.append(Amount(at(index), places));
            ++index;
        }
    };
    row(40, {0, 0, 2, 2});
    row(44, {0, 0, 2, 2});
    row(48, {0, 0, 2, 2}, 1);
    row(52, {0, 0, 2, 2});
    row(56, {0, 2, 0, 2});
    for (int start = 60; start <= 84; start += 4) row(start, {0, 0, 2, 2});
    row(88, {0, 2, 2});
    row(91, {0, 2, 2});
    row(94, {0, 2, 2}, 1);
    return values;
}

// Sheet 03: table 3, and the count of the line entered in the editors.
QList<QByteArray> BenefitsSheet(const FormInput& in)
{
    QList<QByteArray> values = SheetHead(in.firm, 2) + BenefitTable(in, kSickLeave);
    values.append(Count(in.at(kTable3Counts)));
    return values;
}

// Sheet 04: the base table, the period, the last three months together and
// each of them, five columns each.
QList<QByteArray> BaseSheet(const FormInput& in)
{
    QList<QByteArray> values = SheetHead(in.firm, 3);
    for (int index = kBasePeriod; index < kBasePeriod + 25; ++index) values.append(Amount(in.at(index)));
    values += QList<QByteArray>(12, "---");
    return values;
}

// Sheet 05: firms under the simplified taxation.
QList<QByteArray> SimplifiedSheet(const FormInput& in)
{
    QList<QByteArray> values = SheetHead(in.firm, 4);
    values += in.at(kSimplifiedBase) != 0 ? OneCharCells("011") : QList<QByteArray>(3, " ");
    values +=
        {Count(in.at(kSimplifiedHeadcount)), Count(in.at(kSimplifiedHeadcount + 1)), Amount(in.at(kSimplifiedBase))};
    values += QList<QByteArray>(3, "---");
    values += {Amount(in.at(kSimplifiedBenefits + kBenefitAmount)), QByteArray()};
    return values;
}

// Sheet 08: section II, the base and the settlements of the insurance
// against accidents.
QList<QByteArray> InjurySheet(const FormInput& in)
{
    QList<QByteArray> values = SheetHead(in.firm, 7);
    values += {Count(in.at(kSimplifiedHeadcount) + in.at(kHeadcount)), Count(in.at(kDisabledHeadcount)), "---"};
    values += {Amount(in.at(kInjuryBase)), Amount(in.at(kInjuryDisabledBase))};
    for (int month = 1; month <= 3; ++month)
        values += {in.monthLabel(month, "%s %dг."), Amount(in.at(kInjuryBase + month)),
                   Amount(in.at(kInjuryDisabledBase + month))};
    values += {Amount(in.at(kInjuryAccrued)), Amount(in.at(kInjuryRate)), "---"};
    // Line 1, the debt at the start, then the accrued contributions.
    values += {"---", Amount(in.accrued2()), Amount(in.at(kInjuryBefore))};
    for (int month = 1; month <= 3; ++month)
        values += {in.monthLabel(month, "%s %dг."), Amount(in.at(kInjuryBefore + month))};
    // Acts of inspections, not accepted, received from the fund; the total
    // and the fund's debt at the end; the fund's debt at the start.
    const double balance = in.balance2();
    values += {"---", "---", "---", Amount(in.accrued2()), balance < 0 ? Amount(-balance) : QByteArray("---"), "---"};
    values += {Amount(in.benefits2()), Amount(in.at(kInjuryBenefitBefore))};
    for (int month = 1; month <= 3; ++month)
        values += {in.monthLabel(month, "%s %dг."), Amount(in.at(kInjuryBenefitBefore + month))};
    const double paid = in.at(kInjuryPaidStart) + in.paid2();
    values += {Amount(paid), Amount(in.at(kInjuryPaidStart)), Amount(in.paid2())};
    for (int order = 0; order < kSection2Orders; ++order) values += PaymentOrderInOneCell(in, kInjuryOrders, order);
    values.append("---"); // debts written off
    values += {Amount(paid + in.benefits2()), balance > 0 ? Amount(balance) : QByteArray("---")};
    return values;
}

// Sheet 09: the injury benefits, the signatures and the date.
QList<QByteArray> SignatureSheet(const FormInput& in)
{
    QList<QByteArray> values = SheetHead(in.firm, 8);
    values +=
        {Count(in.at(kInjuryBenefitDays)), Amount(in.at(kInjuryBenefitAmount)), Count(in.at(kInjuryBenefitAmount + 1)),
         Amount(in.at(kInjuryBenefitAmount + 2)), Amount(in.at(kInjuryBenefitTotal))};
    values += QList<QByteArray>(12);
    values += QList<QByteArray>(3, Count(in.at(kInjuryBenefitPersons)));
    values += {SqueezedFirmField(in.firm, FirmInfo::fioShef, 46), SqueezedFirmField(in.firm, FirmInfo::fioBuh, 46),
               SqueezedFirmField(in.firm, FirmInfo::fioPredst, 46)};
    values += {QString::asprintf("%.2d", in.today.day()).toLatin1(), GenitiveMonthName(in.today.month()),
               QString::asprintf("%.2d", in.today.year() - 2000).toLatin1()};
    return values;
}

} // namespace

QList<FormRegion> RVedFSS2010FormRegions(const PayrollDoc& doc, const QDate& today)
{
    const FormInput in{doc.infoBase.firm, doc.GenrValues, ResolveReportPeriod(doc.infoBase.config, kFss4Report.period),
                       today};
    return {{"page0", false, TitleSheet(in)},
            {"page1", false, Section1Sheet(in)},
            {"page2", false, BenefitsSheet(in)},
            {"page3", false, BaseSheet(in)},
            {"page4", false, SimplifiedSheet(in)},
            {"page5", false, SheetHead(in.firm, 5) + BenefitTable(in, kSickLeave + kSimplifiedBenefits)},
            {"page6", false, SheetHead(in.firm, 6)},
            {"page7", false, InjurySheet(in)},
            {"page8", false, SignatureSheet(in)}};
}

int PrintRVedFSS2010(const QString& workFilePath, const PayrollDoc& doc, QString* errorText)
{
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config, kFss4Report.period);
    if (ReportPeriodRefusedByBuilder(period, kFss4Report.period))
        return -2;
    return GenerateFormRegions(kFss4Template2010, workFilePath, RVedFSS2010FormRegions(doc, Clock::today()), errorText);
}

} // namespace kalvor::reports
