// Format 7 of the pension fund's text pack, and the contribution of a base
// by the employee's age group that the text records share.
#include "exchange/PfTextRecords.h"

#include "infobase/PayKindCodes.h"
#include "platform/CodePage.h"
#include "values/Messages.h"

namespace kalvor::exchange {

namespace {

QByteArray Cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }

double KindCharge(int kindIndex, int group, int month, double amount, const PayrollDoc& doc)
{
    const int table = PfrContributionKind(doc, kindIndex).table + group;
    if (table < 1)
        throw TextError(ExchangeErrorText(-32));
    const int variant = TaxVariantForMonth(table, MonthKey::of(month).index(), doc);
    if (variant < 0)
        throw TextError(ExchangeErrorText(variant));
    const TaxScale& scale = doc.refFiles.taxTableAt(table).variants[std::size_t(variant)].scale;
    return RoundWhole(PercentCharge(scale, amount / 100, 0));
}

} // namespace

int PfrAgeGroup(int reportYear, int birthYear, bool woman)
{
    if (reportYear >= 2005)
        return birthYear > 1966 ? 1 : 0;
    if (birthYear > 1966)
        return 2;
    return woman && birthYear > 1956 ? 1 : 0;
}

double ContributionChargeByAge(int kindIndex, int month, double amount, const PayrollDoc& doc)
{
    const infobase::EmployeeHead& head = doc.infoBase.current.head;
    const bool woman = head.pol.startsWith(u'Ж') || head.pol.startsWith(u'ж');
    const int group = PfrAgeGroup(PfrReportYear(doc.infoBase.config), PackedDate(head.datR).fullYear(), woman);
    if (kindIndex != 0)
        return KindCharge(kindIndex, group, month, amount, doc);
    return KindCharge(kPfrInsuranceKind, group, month, amount, doc) +
           KindCharge(kPfrFundedKind, group, month, amount, doc);
}

void PfrTimeCount::add(int moreDays)
{
    days += moreDays;
    while (days >= 30) {
        ++months;
        days -= 30;
    }
}

int PfrDaysOfEntry(int days, int hours, int minutes, int dayLengthMinutes)
{
    if (days != 0 || (hours == 0 && minutes == 0))
        return days;
    if (dayLengthMinutes == 0)
        return -1;
    return int(RoundWhole((hours + minutes / 60) / (dayLengthMinutes / 60.0)));
}

QByteArray PfrSlashedDate(const QDate& date) { return date.toString(QStringLiteral("dd/MM/yyyy")).toLatin1(); }

// ------------------------------------------------------------ format 7

namespace {

// The period code of the ИНДС line by kind 1-8.
int PeriodCode(int kind)
{
    static constexpr int codes[] = {0, 0, 2, 4, 1, 5, 6, 7, 8};
    return kind >= 0 && kind <= PfrLastKind ? codes[kind] : 0;
}

// What one call works with.
struct IndsRecord {
    explicit IndsRecord(PfrRecordCall& c) : call(c), doc(*c.doc) {}
    PfrRecordCall& call;
    PayrollDoc& doc;
    int year = 0;
    int kind = 0;
    PfrKindMonths months;
    int firstRow = 0;
    int monthRule = 0;

    int january() const { return MonthKey(year, 1).value(); }
    int key(int month) const { return MonthKey(year, month).value(); }
    const infobase::EmployeeHead& head() const { return doc.infoBase.current.head; }
};

// The benefit amounts of each month of the report year from January to the
// period's last month (index 1-12).
std::array<double, 13> MonthlyBenefits(const IndsRecord& r)
{
    std::array<double, 13> amounts{};
    PfrForEachDatedAmount(r.doc, r.firstRow, [&](const PfrDatedAmount& amount) {
        const bool benefit = IsSickBenefitCode(amount.kod) || IsMaternityCode(amount.kod) ||
                             IsInjuryBenefitCode(amount.kod) || (!amount.archive && IsBenefitSupplementCode(amount.kod));
        if (benefit && amount.month >= r.january() && amount.month <= r.key(r.months.last))
            amounts[std::size_t(MonthKey::of(amount.month).month())] += amount.sum;
    });
    return amounts;
}

QByteArray IndsLine(const IndsRecord& r, double base, double contributions)
{
    const PfrInsuranceNumber number = PfrInsuranceNumberOf(r.head().strahPolis);
    PfrTextLine line;
    line.text(Cp("ИНДС")).number(r.call.recordNumber).text(Cp("ИСХД"));
    line.text(number.blank ? QByteArray() : number.withCheck()).number(r.call.personnelNumber);
    for (int word = 0; word < 3; ++word) line.text(PfrNameWord(r.head().fio, word));
    line.number(PeriodCode(r.kind)).number(r.year);
    line.text(QByteArray()).text(QByteArray()).text(QByteArray()).text(Cp("НР")).text(Cp("РУБ")).text(QByteArray());
    line.amount(base).amount(contributions);
    return line.bytes();
}

// The НЧСЛ lines of the period's months; the charge of each month is that of
// the month's own base.
QByteArray MonthLines(const IndsRecord& r, const std::array<double, 13>& benefits, int& result)
{
    QByteArray lines;
    for (int month = r.months.first; month <= r.months.last; ++month) {
        reports::EmployeeContributions table;
        result =
            PfrContributions(r.doc, PfrAllKindCount(r.doc), r.january(), r.key(month), r.firstRow, r.monthRule, table);
        if (result < 0)
            return lines;
        const double base = table.own(kPfrInsuranceKind).baseLessAllowance;
        const double charge = ContributionChargeByAge(0, r.key(month), base, r.doc);
        const double benefit = benefits[std::size_t(month)];
        PfrTextLine line;
        line.text(Cp("НЧСЛ")).number(month).amount(base + benefit).amount(benefit).amount(charge).number("0.00");
        lines += line.bytes();
    }
    return lines;
}

// The СТАЖ line of the period, or nothing when the employee did not work in it.
QByteArray ServiceLine(const IndsRecord& r)
{
    QDate start(r.year, r.months.first, 1);
    QDate end(r.year, r.months.last, PfrMonthLength(r.months.last));
    const QDate hired = PackedDate(r.head().datPr1).toQDate();
    if (hired.isValid() && (hired.year() > r.year || (hired.year() == r.year && hired.month() > r.months.last)))
        return QByteArray();
    if (hired.isValid() && hired.year() == r.year && hired.month() >= r.months.first)
        start = hired;
    const QDate dismissed = PackedDate(r.head().datUv1).toQDate();
    if (dismissed.isValid() &&
        (dismissed.year() < r.year || (dismissed.year() == r.year && dismissed.month() < r.months.first)))
        return QByteArray();
    if (dismissed.isValid() && dismissed.year() == r.year && dismissed.month() <= r.months.last)
        end = dismissed;
    if (start > end)
        return QByteArray();
    PfrTextLine line;
    line.text(Cp("СТАЖ")).number(1).text(PfrSlashedDate(start)).text(PfrSlashedDate(end));
    line.text(QByteArray()).text(QByteArray()).text(QByteArray()).number(0).number(0);
    line.text(QByteArray()).text(QByteArray()).number(0).number(0).text(QByteArray()).number("0.00").number("0.00");
    return line.bytes();
}

bool DismissedBeforeTheYear(const IndsRecord& r)
{
    const PackedDate dismissed(r.head().datUv1);
    return PfrEmployeeStatus(r.doc, r.call.slot) == 4 && !dismissed.isNull() &&
           MonthKey(dismissed.fullYear(), dismissed.month()).value() < r.january();
}

} // namespace

int WritePfIndsRecord(PfrRecordCall& call)
{
    IndsRecord r(call);
    r.kind = call.options->kind == PfrQuestionnaires ? int(PfrYear) : int(call.options->kind);
    r.months = PfrMonthsOfKind(r.kind);
    r.year = PfrReportYear(r.doc.infoBase.config);
    r.firstRow = PfrFirstPayRow(r.doc, call.slot);
    r.monthRule = PfrByAccrualMonth(r.doc) ? 1 : 0;

    reports::EmployeeContributions period;
    if (const int result = PfrContributions(r.doc, PfrAllKindCount(r.doc), r.january(), r.key(r.months.last),
                                            r.firstRow, r.monthRule, period);
        result < 0)
        return result;
    if (DismissedBeforeTheYear(r))
        return 1;
    if (call.pass == 1 && PfrInsuranceNumberOf(r.head().strahPolis).blank)
        call.noPension->write(PfrNoPensionLine(call.personnelNumber, r.head().fio));

    const double base =
        period.prior(kPfrInsuranceKind).baseLessAllowance + period.own(kPfrInsuranceKind).baseLessAllowance;
    double contributions = period.prior(kPfrInsuranceKind).last + period.own(kPfrInsuranceKind).last +
                           period.prior(kPfrFundedKind).last + period.own(kPfrFundedKind).last;
    if (r.monthRule != 0)
        contributions = ContributionChargeByAge(0, r.key(r.months.last), base, r.doc);
    const std::array<double, 13> benefits = MonthlyBenefits(r);
    int result = 0;
    const QByteArray monthLines = MonthLines(r, benefits, result);
    if (result < 0)
        return result;
    if (call.pass == 1)
        call.pack->write(IndsLine(r, base, contributions) + monthLines + ServiceLine(r));
    return 0;
}

} // namespace kalvor::exchange
