// Formats 4, 5 and 6 of the pension fund's text pack: the ИНДС line with the
// address, НЧСЛ and СТАЖ lines of format 4, and the single ИН42 line of
// formats 5 and 6.
#include "exchange/PfTextRecords.h"

#include "infobase/PayKindCodes.h"
#include "payroll/MonthRate.h"
#include "platform/CodePage.h"
#include "values/Clock.h"
#include "values/RoundText.h"

#include <algorithm>

namespace kalvor::exchange {

namespace {

// The field separator of the text records: quote, comma, quote.
constexpr const char* kSep = "\",\"";

QByteArray Cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }

QByteArray Amount(double kopecks) { return FormatFixed8(kopecks / 100, 2); }

// What one call works with.
struct In4Record {
    explicit In4Record(PfrRecordCall& c) : call(c), doc(*c.doc) {}
    PfrRecordCall& call;
    PayrollDoc& doc;
    int year = 0;
    int lastMonth = 12; // the window is January to lastMonth
    int firstRow = 0;
    std::array<double, 3> benefits{};
    PfrTimeCount sickDays; // kinds 103, 104, 110-112, 155-157
    PfrTimeCount unpaidDays; // kind 600

    int january() const { return MonthKey(year, 1).value(); }
    int windowEnd() const { return MonthKey(year, lastMonth).value(); }
    bool format4() const { return call.format == PfrSzv42; }
    const infobase::EmployeeHead& head() const { return doc.infoBase.current.head; }
};

int MonthKeyOf(std::uint16_t packed)
{
    const PackedDate date(packed);
    return date.isNull() ? 0 : MonthKey(date.fullYear(), date.month()).value();
}

// Hired after the window, or (status 4) dismissed before it.
bool OutsideTheWindow(const In4Record& r)
{
    const infobase::EmployeeHead& head = r.head();
    const int status = PfrEmployeeStatus(r.doc, r.call.slot);
    if (status == 0 || status == 3) {
        const int hired = MonthKeyOf(head.datPr2 != 0 ? head.datPr2 : head.datPr1);
        return hired > r.windowEnd();
    }
    if (status == 4) {
        const bool second = head.datPr2 != 0 || head.datUv2 != 0;
        const int dismissed = MonthKeyOf(second ? head.datUv2 : head.datUv1);
        return dismissed != 0 && dismissed < r.january();
    }
    return false;
}

// The benefit sums and the two time counts of the window; -12 when days are
// to be counted from hours and no day length is known.
int SumsAndCounts(In4Record& r)
{
    const int dayLength = WorkingDayLength(r.doc.infoBase.scheduleAt(EmployeeScheduleNumber(r.doc, r.call.slot)), r.doc);
    int result = 0;
    PfrForEachDatedAmount(r.doc, r.firstRow, [&](const PfrDatedAmount& amount) {
        if (amount.month < r.january() || amount.month > r.windowEnd())
            return;
        const int category = PfrBenefitCategory(amount.kod);
        if (category >= 0)
            r.benefits[std::size_t(category)] += amount.sum;
        if (category != 0 && amount.kod != kCodeUnpaid)
            return;
        const int days = PfrDaysOfEntry(amount.days, amount.hours, amount.minutes, dayLength);
        if (days < 0)
            result = -12;
        else
            (category == 0 ? r.sickDays : r.unpaidDays).add(days);
    });
    return result;
}

QByteArray LineOpening(const In4Record& r)
{
    if (r.format4())
        return Cp("\"ИНДС\",") + QByteArray::number(r.call.recordNumber) + Cp(",\"ИСХД") + kSep + kSep;
    return Cp("\"ИН42\",") + QByteArray::number(r.call.recordNumber) + ",\"";
}

QByteArray IdentityFields(const In4Record& r)
{
    const infobase::EmployeeHead& head = r.head();
    const PfrInsuranceNumber number = PfrInsuranceNumberOf(head.strahPolis);
    QByteArray out;
    if (number.blank || number.allZero)
        r.call.noPension->write(PfrNoPensionLine(r.call.personnelNumber, head.fio));
    else
        out += number.withCheck();
    out += r.format4() ? kSep + QByteArray::number(r.call.personnelNumber) + kSep : QByteArray(kSep);
    out += PfrNameWord(head.fio, 0) + kSep + PfrNameWord(head.fio, 1) + kSep + PfrNameWord(head.fio, 2) + "\",";
    if (r.format4()) {
        const bool woman = head.pol.startsWith(u'Ж') || head.pol.startsWith(u'ж');
        out += '"' + Cp(woman ? "Ж" : "М") + kSep;
        const PackedDate born(head.datR);
        if (born.day() != 0 && born.month() >= 1 && born.month() <= 12)
            out += QString::asprintf("%02d/%02d/%d", born.day(), born.month(), born.fullYear()).toLatin1();
        out += "\",";
    }
    out += QByteArray::number(r.year) + ",\"";
    if (r.format4())
        out += Cp("НР") + kSep + kSep;
    return out;
}

// The city of the address: Moscow's only for Zelenograd, St Petersburg's never.
QByteArray City(const infobase::EmployeeHead& head, int region)
{
    const QByteArray city = PfrSqueezedUpper(head.propGorod, 30);
    if (region == 78 || (region == 77 && !city.startsWith(Cp("ЗЕЛЕНОГРАД"))))
        return QByteArray();
    return city;
}

// The address as one quoted field whose opening quote is already written.
QByteArray AddressField(const In4Record& r)
{
    const infobase::EmployeeHead& head = r.head();
    const int region = PfrRegionCode(head);
    const QString regionName = PfrRegionName(region);
    QByteArray out;
    if (head.pspKod.left(2).trimmed().toInt() == 10)
        out += PfrSqueezed(head.propKodStr, 3);
    const QByteArray parts[] = {
        PfrSqueezed(head.propInd, 6),
        regionName.isEmpty() ? PfrSqueezedUpper(head.propReg, 28) : codepage::toCp1251(regionName),
        PfrSqueezedUpper(head.propRaj, 25),
        City(head, region),
        PfrSqueezedUpper(head.propPunkt, 30),
        PfrSqueezedUpper(head.propUl, 50),
        PfrSqueezedUpper(head.propDom, 10),
        PfrSqueezed(head.propKorp, 9),
        PfrSqueezed(head.propKv, 4),
    };
    for (const QByteArray& part : parts) out += ',' + part;
    return out + '"' + (r.format4() ? "\r\n" : "");
}

// The year's base and the two contributions: paid in the window, or charged
// by the age group when the firm dates by accrual month.
struct WindowAmounts {
    double base = 0, insurance = 0, funded = 0;
};

int AmountsOfWindow(const In4Record& r, WindowAmounts& out)
{
    reports::EmployeeContributions table;
    const int kinds = PfrAllKindCount(r.doc);
    if (const int result = PfrContributions(r.doc, kinds, r.january(), r.windowEnd(), r.firstRow, 0, table); result < 0)
        return result;
    out.base = table.own(kPfrInsuranceKind).baseLessAllowance + table.prior(kPfrInsuranceKind).baseLessAllowance;
    if (!PfrByAccrualMonth(r.doc)) {
        out.insurance = table.own(kPfrInsuranceKind).last + table.prior(kPfrInsuranceKind).last;
        out.funded = table.own(kPfrFundedKind).last + table.prior(kPfrFundedKind).last;
    } else {
        out.insurance = ContributionChargeByAge(kPfrInsuranceKind, r.windowEnd(), out.base, r.doc);
        out.funded = ContributionChargeByAge(kPfrFundedKind, r.windowEnd(), out.base, r.doc);
    }
    return 0;
}

QByteArray In42Tail(const In4Record& r, const WindowAmounts& amounts)
{
    return ',' + Amount(amounts.insurance) + ',' + Amount(amounts.funded) + ",0.00," +
           QByteArray::number(r.sickDays.months) + ',' + QByteArray::number(r.sickDays.days) + ',' +
           QByteArray::number(r.unpaidDays.months) + ',' + QByteArray::number(r.unpaidDays.days) + ",\"" +
           PfrSlashedDate(Clock::today()) + "\"\r\n";
}

QByteArray ServiceLine(int number, const QDate& start, const QDate& end)
{
    return Cp("\"СТАЖ\",") + QByteArray::number(number) + ",\"" + PfrSlashedDate(start) + kSep + PfrSlashedDate(end) +
           kSep + kSep + kSep + "\",0,0,\"" + kSep + "\",0,0,\"\",0.00\r\n";
}

// The date when it lies in the year in a month up to lastMonth.
bool InYearUpTo(const QDate& date, int year, int lastMonth)
{
    return date.isValid() && date.year() == year && date.month() <= lastMonth;
}

QByteArray Format4Tail(const In4Record& r, const WindowAmounts& amounts)
{
    PfrTextLine totals;
    totals.text(Cp("НЧСЛ")).amount(amounts.base).amount(amounts.insurance).amount(amounts.funded).number("0.00");
    totals.number(r.sickDays.months).number(r.sickDays.days).number(r.unpaidDays.months).number(r.unpaidDays.days);
    QByteArray out = totals.bytes();

    const infobase::EmployeeHead& head = r.head();
    const QDate first(r.year, 1, 1);
    const QDate last(r.year, r.lastMonth, PfrMonthLength(r.lastMonth));
    const QDate hired = PackedDate(head.datPr1).toQDate(), dismissed = PackedDate(head.datUv1).toQDate();
    out += ServiceLine(1, InYearUpTo(hired, r.year, r.lastMonth) ? hired : first,
                       InYearUpTo(dismissed, r.year, r.lastMonth) ? dismissed : last);
    if (head.datPr2 == 0)
        return out;
    const QDate hired2 = PackedDate(head.datPr2).toQDate(), dismissed2 = PackedDate(head.datUv2).toQDate();
    out += ServiceLine(2, InYearUpTo(hired2, r.year, r.lastMonth) ? hired2 : first,
                       InYearUpTo(dismissed2, r.year, r.lastMonth) ? dismissed2 : last);
    return out;
}

} // namespace

int WritePfIn4Record(PfrRecordCall& call)
{
    In4Record r(call);
    const infobase::InfoBaseConfig& config = r.doc.infoBase.config;
    r.year = PfrReportYear(config);
    r.lastMonth = config.r_m2 >= 1 && config.r_m2 <= 12 ? config.r_m2 : 12;
    if (call.format == PfrOazis4 && r.year < 2002)
        return -34;
    r.firstRow = PfrFirstPayRow(r.doc, call.slot);

    reports::EmployeeContributions window;
    const int monthRule = PfrByAccrualMonth(r.doc) ? 1 : 0;
    if (const int result =
            PfrContributions(r.doc, PfrAllKindCount(r.doc), r.january(), r.windowEnd(), r.firstRow, monthRule, window);
        result < 0)
        return result;
    if (call.pass == 0)
        call.totals->earningsExtra +=
            window.prior(kPfrInsuranceKind).baseLessAllowance + window.own(kPfrInsuranceKind).baseLessAllowance;
    if ((call.personnelNumber != 0 && PfrSqueezed(r.head().fio, 50).isEmpty()) || OutsideTheWindow(r))
        return 1;
    if (const int result = SumsAndCounts(r); result < 0)
        return result;

    QByteArray line;
    if (call.pass == 1)
        line = LineOpening(r) + IdentityFields(r) + AddressField(r);
    WindowAmounts amounts;
    if (const int result = AmountsOfWindow(r, amounts); result < 0)
        return result;
    if (call.pass == 0) {
        for (std::size_t i = 0; i < r.benefits.size(); ++i) call.totals->earnings[i] += r.benefits[i];
        call.totals->insuranceAccrued += amounts.insurance;
        call.totals->fundedAccrued += amounts.funded;
        return 0;
    }
    call.pack->write(line + (r.format4() ? Format4Tail(r, amounts) : In42Tail(r, amounts)));
    return 0;
}

} // namespace kalvor::exchange
