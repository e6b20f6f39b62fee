#include "reports/social/Fss4Common.h"

#include "infobase/PayKindCodes.h"
#include "payroll/Payroll.h"
#include "platform/WorkingFolder.h"
#include "reports/social/ContributionMonths.h"
#include "values/RoundText.h"
#include "values/Text8.h"
#include "values/Values.h"

#include <algorithm>

namespace kalvor::reports::fss4 {

using infobase::EmployeeHead;
using infobase::FirmInfo;

namespace {

// Bits of the employee's flag word: a foreign citizen without a residence
// permit or the status of a highly qualified specialist.
constexpr int kInostr = 9, kInostrVidGit = 10, kInostrSV = 12;

double Kopecks(double value) { return RoundWhole(value * 100) / 100; }

double& At(GenrValueArray& v, int index) { return v[std::size_t(index)]; }

bool SickLeaveCode(int code, BenefitForm form)
{
    return IsSickBenefitCode(code) || IsSickBenefitBySourceCode(code) ||
           (form == BenefitForm::Form2011 && IsSickBenefitOfSource5Or6Code(code)) || IsKind10SheetBenefitCode(code);
}

bool CareLeaveCode(int code, BenefitForm form)
{
    if (IsMaternityCode(code))
        return true;
    return form == BenefitForm::Form2011 && IsMaternityBySourceCode(code);
}

} // namespace

bool DisabledInMonth(const EmployeeHead& head, int month, int periodBegin)
{
    const auto dismissedBefore = [&](std::uint16_t packed) {
        const PackedDate date(packed);
        return !date.isNull() && MonthKey(date.fullYear(), date.month()).value() <= periodBegin;
    };
    const bool gone = dismissedBefore(head.datUv1) && dismissedBefore(head.datUv2);
    const auto counts = [&](int begin, int end) {
        return kalvor::DisabilityPeriodCovers(begin, end, month) && !(end == 0 && gone);
    };
    return counts(head.invDat1Begin, head.invDat1End) || counts(head.invDat2Begin, head.invDat2End);
}

bool TemporaryForeigner(const EmployeeHead& head)
{
    return head.flag(kInostr) && !head.flag(kInostrVidGit) && !head.flag(kInostrSV);
}

bool IsWoman(const EmployeeHead& head) { return head.pol.startsWith(u'Ж') || head.pol.startsWith(u'ж'); }

double ChargeWithinCap(const TaxScale& scale, double before, double month, double aboveCap)
{
    before = Positive(before);
    const double through = RoundWhole(PercentCharge(scale, Positive(before + month - aboveCap) / 100, 0));
    return through - RoundWhole(PercentCharge(scale, before / 100, 0));
}

double AboveCap(double before, double month, double cap)
{
    if (before > cap)
        return month;
    return Positive(before + month - cap);
}

// ---------------------------------------------------------------- benefits

void BenefitLines::once(int person, int index)
{
    if (!counted_[std::size_t(person)])
        add(index, 100);
    counted_[std::size_t(person)] = true;
}

std::vector<SickLeaveSheetCase> SickLeaveSheetCases(const infobase::WarDatBlock& archive, int count,
                                                    const std::vector<infobase::SickLeaveSheet>& current, int year,
                                                    MonthKey reporting)
{
    // The dated archive keeps a sheet of sick leave under 155-157 and the
    // other sheets paid by those codes under 154, 169, 170 and 655-657.
    const auto paidBy155 = [](int code) {
        return code == kCodeAbsenceAtAverage || IsSickBenefitCode(code) || IsChildCareCode(code) ||
               IsKind8Or9SheetBenefitCode(code);
    };
    // Last year's entries come first, at months before January (0 for
    // December): a sheet paid then was last year's case, never this year's.
    std::vector<SickLeaveSheetCase> sheets;
    for (const int back : {1, 0}) {
        for (int i = 0; i < count && i < int(archive.entries.size()); ++i) {
            const infobase::WarDatEntry& e = archive.entries[std::size_t(i)];
            if (paidBy155(e.kod) && e.god == (year - back) % 100)
                sheets.push_back({int(e.mes) - 12 * back, e.start, e.contin != 0, IsSickBenefitCode(e.kod)});
        }
    }
    if (reporting.year() != year)
        return sheets;
    for (const infobase::SickLeaveSheet& s : current) {
        const bool sickLeave = s.vid == 0 || s.vid == 3 || s.vid == 4;
        if (s.gBegin != 0 && MonthKey(s.gBegin, s.mBegin).value() <= reporting.value() &&
            (sickLeave || (s.vid >= 5 && s.vid <= 9)))
            sheets.push_back(
                {reporting.month(), PackedDate::make(s.dBegin, s.mBegin, s.gBegin).value, s.contin != 0, sickLeave});
    }
    return sheets;
}

void BenefitLines::addSheetCases(const std::vector<SickLeaveSheetCase>& sheets, bool partTime)
{
    std::vector<std::uint16_t> seen;
    for (const SickLeaveSheetCase& sheet : sheets) {
        const bool counted = std::find(seen.begin(), seen.end(), sheet.start) != seen.end();
        seen.push_back(sheet.start);
        if (!sheet.sickLeave || sheet.continues || counted || sheet.month < period_.firstMonth ||
            sheet.month > period_.lastMonth)
            continue;
        add(block_ + (partTime ? kSickLeavePartTime : kSickLeave), 100);
    }
}

void BenefitLines::add(int code, int month, double days, double amount, bool partTime, bool countsCase)
{
    if (month < period_.firstMonth || month > period_.lastMonth)
        return;
    amount = RoundWhole(amount);
    const int b = block_;
    if (SickLeaveCode(code, form_)) {
        const int line = b + (partTime ? kSickLeavePartTime : kSickLeave);
        if (countsCase)
            add(line, 100);
        add(line + 1, days * 100);
        add(line + 2, amount);
    } else if (IsInjuryBenefitCode(code)) {
        add(kInjuryBenefitDays, days * 100);
        add(kInjuryBenefitAmount, amount);
        once(0, kInjuryBenefitPersons);
        const int fromLast = period_.lastMonth - month;
        add(fromLast > 2 ? kInjuryBenefitBefore : kInjuryBenefitBefore + 3 - fromLast, amount);
    } else if (CareLeaveCode(code, form_)) {
        const int line = b + (partTime ? kCareLeavePartTime : kCareLeave);
        once(1, line);
        add(line + 1, days * 100);
        add(line + 2, amount);
    } else if (IsChildCareCode(code)) {
        const int line = b + (code == kCodeChildCareFirst ? (partTime ? kKind169PartTime : kKind169)
                                                          : (partTime ? kKind170PartTime : kKind170));
        once(code == kCodeChildCareFirst ? 2 : 3, line);
        add(line + 1, 100);
        add(line + 2, amount);
    } else if (code == kCodeStateDuties && form_ == BenefitForm::Form2010) {
        add(b + kKind167, days * 100);
        add(b + kKind167 + 1, amount);
    } else {
        for (const auto& [kind, index] :
             {std::pair{kCodeDonorDays, kKind165}, std::pair{kCodeMedicalExamination, kKind166},
              std::pair{kCodeStateDuties, kKind167}, std::pair{kCodeStudyLeave, kKind168}}) {
            if (code == kind) {
                add(b + index, 100);
                add(b + index + 1, amount);
            }
        }
    }
}

void BenefitLines::addEmployee(const infobase::EmployeeRecord& record, int firstRow, int reportingYear, bool partTime,
                               const std::vector<SickLeaveSheetCase>& sheets)
{
    const auto countsCase = [&](int code, int month) {
        return !IsSickBenefitCode(code) || std::none_of(sheets.begin(), sheets.end(), [&](const auto& sheet) {
            const PackedDate start(sheet.start);
            const int firstMonth = start.fullYear() < period_.year ? 1 : start.month();
            return month >= firstMonth && month <= sheet.month;
        });
    };
    for (int i = 0; i < record.warKv && i < int(record.waria.size()); ++i) {
        const infobase::WariaEntry& e = record.waria[std::size_t(i)];
        if (e.inUse() && e.god == period_.year)
            add(e.kod, e.mes, e.dn, e.sum, partTime, countsCase(e.kod, e.mes));
    }
    addSheetCases(sheets, partTime);
    if (reportingYear != period_.year)
        return;
    for (std::size_t i = std::size_t(firstRow); i < record.rows.size(); ++i) {
        const infobase::AccrualRow& row = record.rows[i];
        if (row.kod != 0)
            add(row.kod, row.mes, row.dn, row.sum, partTime, countsCase(row.kod, row.mes));
    }
}

// ---------------------------------------------------------------- closing sums

void SumColumns(GenrValueArray& v, bool withDisabledColumn)
{
    for (int column = 0; column < 5; ++column)
        At(v, kBaseQuarter + column) =
            At(v, BaseMonth(1, column)) + At(v, BaseMonth(2, column)) + At(v, BaseMonth(3, column));
    for (int group : {kBasePeriod, kBaseQuarter, BaseMonth(1, 0), BaseMonth(2, 0), BaseMonth(3, 0)}) {
        double* g = &v[std::size_t(group)];
        g[ColBase] = Kopecks(g[ColPayments]) - Kopecks(g[ColAboveCap]);
        g[ColPayments] += g[ColNonTaxable] + (withDisabledColumn ? g[ColDisabled] : 0);
    }
}

void CheckAgainstRate(GenrValueArray& v)
{
    const auto settle = [&]() {
        At(v, kAccrued) = Kopecks(At(v, kAccrued));
        At(v, kAccruedQuarter) = Kopecks(At(v, kAccruedQuarter));
        At(v, kAccruedBefore) = At(v, kAccrued) - At(v, kAccruedQuarter);
    };
    At(v, kAccruedQuarter) = At(v, kAccruedMonth1) + At(v, kAccruedMonth1 + 1) + At(v, kAccruedMonth1 + 2);
    settle();
    const double periodDifference = Kopecks(At(v, kBasePeriod + ColBase) * kRatePercent / 100) - At(v, kAccrued);
    if (periodDifference > -1 && periodDifference < 0) {
        At(v, kAccrued) += periodDifference;
        settle();
    }
    const double quarterDifference =
        Kopecks(At(v, kBaseQuarter + ColBase) * kRatePercent / 100) - At(v, kAccruedQuarter);
    if (quarterDifference > -1 && quarterDifference < 0) {
        At(v, kAccruedQuarter) += quarterDifference;
        for (int month = 0; month < 3; ++month) {
            double& slot = At(v, kAccruedMonth1 + month);
            if (slot != 0) {
                slot = Kopecks(slot + quarterDifference);
                break;
            }
        }
        settle();
    }
}

void SumExpenses(GenrValueArray& v)
{
    At(v, kExpensesQuarter) = At(v, kExpensesMonth1) + At(v, kExpensesMonth1 + 1) + At(v, kExpensesMonth1 + 2);
    At(v, kExpenses) = At(v, kExpensesBefore) + At(v, kExpensesQuarter);
}

void SumBenefits(GenrValueArray& v)
{
    const auto addInto = [&](int target, int first, int second, int count) {
        for (int k = 0; k < count; ++k) At(v, target + k) = At(v, first + k) + At(v, second + k);
    };
    for (int shift : {0, 64}) {
        addInto(kSickLeave + shift, kSickLeave + shift, kSickLeavePartTime + shift, 4);
        addInto(kCareLeave + shift, kCareLeave + shift, kCareLeavePartTime + shift, 4);
        addInto(kChildCareFull + shift, kKind169 + shift, kKind170 + shift, 4);
        addInto(kChildCarePartTime + shift, kKind169PartTime + shift, kKind170PartTime + shift, 4);
        addInto(kChildCare + shift, kChildCareFull + shift, kChildCarePartTime + shift, 4);
        for (int column = 0; column < 2; ++column) {
            double sum = 0;
            for (int index : {kSickLeave + 1, kCareLeave + 1, kKind168, kKind165, kChildCare + 1, kKind167, kKind166})
                sum += At(v, index + shift + column);
            At(v, kBenefitDays + shift + column) = sum;
        }
    }
    At(v, kInjuryBenefitTotal) = At(v, kInjuryBenefitAmount + 2) + At(v, kInjuryBenefitAmount);
}

// ---------------------------------------------------------------- XML lines

int QuarterMark(int lastMonth)
{
    if (lastMonth <= 3)
        return 3;
    if (lastMonth <= 6)
        return 6;
    return lastMonth <= 9 ? 9 : 0;
}

PaymentOrderValues PaymentOrderAt(const GenrValueArray& v, int first, int order)
{
    const int at = first + 3 * order;
    const auto packed = static_cast<std::uint16_t>(static_cast<std::int64_t>(v[std::size_t(at)]));
    return {PackedDate(packed), v[std::size_t(at + 1)], v[std::size_t(at + 2)]};
}

double OrdersTotal(const GenrValueArray& v, int first, int orders)
{
    double total = 0;
    for (int order = 0; order < orders; ++order) total += PaymentOrderAt(v, first, order).sum;
    return total;
}

double SettlementBalance2011(const GenrValueArray& v)
{
    const auto at = [&v](int index) { return v[std::size_t(index)]; };
    const double paid = at(kPaidStart) + OrdersTotal(v, kPaymentOrders, 5);
    const double owed = at(kAdditional + 5) + at(kAccrued) + at(kInsurerDebtStart);
    return (owed - at(kExpenses)) - (paid + at(kDebtsStart + 2));
}

double OrdersOfMonth(const GenrValueArray& v, int first, int orders, int month)
{
    double total = 0;
    for (int order = 0; order < orders; ++order) {
        const PaymentOrderValues paid = PaymentOrderAt(v, first, order);
        if (paid.date.month() == month)
            total += paid.sum;
    }
    return total;
}

XmlLine& XmlLine::attribute(const char* name, const QByteArray& value)
{
    // Firm texts are typed by the user: quotes and the characters that mark
    // up XML are written as entities, so that the file stays well formed.
    QByteArray escaped = value;
    escaped.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;").replace('"', "&quot;");
    line_ += ' ' + QByteArray(name) + "=\"" + escaped + '"';
    return *this;
}

XmlLine& XmlLine::money(const char* name, double value) { return attribute(name, FormatFixed8(value + 0.0, 2)); }
XmlLine& XmlLine::count(const char* name, double value) { return attribute(name, FormatFixed8(value + 0.0, 0)); }

QByteArray PaymentOrderLines(const GenrValueArray& v, int first, int orders)
{
    QByteArray out;
    for (int order = 0; order < orders; ++order) {
        const PaymentOrderValues paid = PaymentOrderAt(v, first, order);
        if (paid.sum == 0)
            continue;
        const QByteArray dt =
            QString::asprintf("20%.2d-%.2d-%.2d", paid.date.yearField() % 100, paid.date.month(), paid.date.day())
                .toLatin1();
        out += XmlLine(2, "PAYM_ORDER").count("NUM", paid.number).attribute("DT", dt).money("SUM", paid.sum).empty();
    }
    return out;
}

QByteArray CreationDate(const QDate& today)
{
    return QString::asprintf("%d-%s%d-%s%d", today.year(), today.month() < 10 ? "0" : "", today.month(),
                             today.day() < 10 ? "0" : "", today.day())
        .toLatin1();
}

QByteArray FirmField(const FirmInfo& firm, FirmInfo::Text which, int width)
{
    return PaddedFirmText(firm, which).left(width);
}

QByteArray SqueezedFirmField(const FirmInfo& firm, FirmInfo::Text which, int width)
{
    return SqueezeBlanks(FirmField(firm, which, width));
}

QString XmlFolderPrefix(const QString& folder)
{
    const QString chosen = folder.isEmpty() ? platform::WorkingFolder() : folder;
    if (chosen.isEmpty() || chosen.endsWith(u'/') || chosen.endsWith(u'\\'))
        return chosen;
    return chosen + u'/';
}

} // namespace kalvor::reports::fss4

namespace kalvor::reports {

void CountFssMonths(const infobase::EmployeeHead& head, const ReportPeriod& period, MonthCounted& counters)
{
    CountStaffMonths(head, period, true, counters);
}

} // namespace kalvor::reports
