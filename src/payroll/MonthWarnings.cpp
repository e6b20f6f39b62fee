#include "payroll/MonthWarnings.h"

#include "infobase/PayKindCodes.h"
#include "payroll/AbsentDays.h"
#include "payroll/MonthRate.h"
#include "payroll/ScheduleNorm.h"
#include "payroll/SickLeave.h"
#include "values/Values.h"

#include <QDate>

#include <algorithm>
#include <utility>

namespace kalvor {

using namespace infobase;

namespace {

QString DateText(u16 packed)
{
    const PackedDate d(packed);
    return QStringLiteral("%1.%2.%3")
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.fullYear());
}

int MonthOf(u16 packed)
{
    const PackedDate d(packed);
    return MonthKey(d.fullYear(), d.month()).value();
}

// A time sheet with more days than the schedule's working days of the days
// he was employed in the month (checked only when the hire or the dismissal
// cuts the month).
QString TimeSheetBeyondEmployment(PayrollDoc& doc, int slot, int year, int month)
{
    const CInfoBase& base = doc.infoBase;
    const TabelRecord& t = base.tabelOf(slot);
    const int length = DaysInMonth(year, month);
    const auto [first, last] = EmployedDaysOfMonth(base.current.head, year, month, length);
    if (t.rabDn == 0 || (first == 1 && last == length))
        return {};
    int days = 0, minutes = 0;
    if (first <= last) {
        WorkSchedule& schedule = doc.infoBase.scheduleAt(EmployeeScheduleNumber(doc, slot));
        CalcScheduleNorm(WorkSchedule::ReportingMonth, schedule, first, last, days, minutes, doc);
    }
    if (int(t.rabDn) <= days)
        return {};
    return QStringLiteral("В табеле %1 раб. дн., а с приема по увольнение в месяце %2 раб. дн.")
        .arg(int(t.rabDn))
        .arg(days);
}

// A sheet that holds more days than the month's working days less those its
// sick-leave sheets and vacations cover, when the calculation could not tell
// which days it holds: its days are not its marked days, and it is not the
// full month (which the calculation lowers).
QString AbsenceLeftOnSheet(PayrollDoc& doc, int slot, const TabelRecord& typed, int year, int month)
{
    CInfoBase& base = doc.infoBase;
    WorkSchedule& schedule = base.scheduleAt(EmployeeScheduleNumber(doc, slot));
    const std::vector<SickLeaveSheet> sheets = base.bln.run(slot);
    const std::vector<VacationNote> notes = base.otp.run(slot);
    if (typed.rabDn == 0 || (sheets.empty() && notes.empty()) ||
        SheetAgreesWithMarks(typed, schedule, WorkingDayLength(schedule, doc), doc))
        return {};
    const MonthDayFlags absent = AbsentDays(sheets, notes, base.firm, year, month);
    int absentDays = 0, absentMinutes = 0, planned = 0, plannedMinutes = 0;
    PlannedTimeOfDays(absent, schedule, doc, absentDays, absentMinutes);
    if (absentDays == 0 ||
        CalcScheduleNorm(WorkSchedule::ReportingMonth, schedule, 1, 31, planned, plannedMinutes, doc) < 0)
        return {};
    if (typed.rabDn == planned || typed.rabDn <= planned - absentDays)
        return {};
    return QStringLiteral("В табеле %1 раб. дн., а больничные листы и отпуска месяца оставляют %2 из %3 раб. дн.: "
                          "проверьте табель")
        .arg(int(typed.rabDn))
        .arg(planned - absentDays)
        .arg(planned);
}

// A salary or a tariff, no worked time in the time sheet and no accrual computed.
bool PaidButNoTime(const EmployeeHead& head, const TabelRecord& t, const AccrualRow* rows, int count)
{
    if (head.oklad == 0 && head.tarifVrem.isZero() && head.tarifSdel.isZero())
        return false;
    if (t.rabDn != 0 || t.rabHr != 0)
        return false;
    return std::none_of(rows, rows + count, [](const AccrualRow& r) {
        return r.kod != 0 && IsPaidAccrualCode(r.kod) && r.sum != 0;
    });
}

// A piece or hourly worker (pay systems 1-2), paid by his hours, whose time
// sheet holds days and no hours: the calculation took each day as a whole
// working day, which is right only when he worked whole days.
bool DaysWithoutHours(const EmployeeAttributes& attr, const TabelRecord& typed)
{
    return (attr.sistOpl == 1 || attr.sistOpl == 2) && typed.rabDn != 0 && typed.rabHr == 0;
}

// A sick-leave sheet with days in the month that the calculation paid
// nothing: "Больничный лист с 16.05.2011 по 20.05.2011 рассчитан в сумме 0.00".
QStringList SheetsComputedToNothing(const CInfoBase& base, int slot, int year, int month)
{
    QStringList out;
    const int key = MonthKey(year, month).value();
    for (const SickLeaveSheet& s : base.bln.run(slot)) {
        if (s.sum != 0 || !SickLeaveSheetDatesValid(s) || MonthKey(s.gBegin, s.mBegin).value() > key ||
            MonthKey(s.gEnd, s.mEnd).value() < key)
            continue;
        const QString dates[] = {QDate(s.gBegin, s.mBegin, s.dBegin).toString(QStringLiteral("dd.MM.yyyy")),
                                 QDate(s.gEnd, s.mEnd, s.dEnd).toString(QStringLiteral("dd.MM.yyyy"))};
        out << QStringLiteral("Больничный лист с %1 по %2 рассчитан в сумме 0.00: проверьте заработок и даты")
                   .arg(dates[0], dates[1]);
    }
    return out;
}

// A bank-transfer row with no amount under a code that does not send the
// rest: the calculation transfers nothing by it.
QStringList RestsNotTransferred(const EmployeeRecord& rec)
{
    QStringList out;
    for (const SberRow& s : rec.sber)
        if (IsUnsentRest(s.kod, s.sum))
            out << QStringLiteral("перечисление без суммы по коду %1 не выполнено: остаток перечисляется только по "
                                  "кодам %2 и %3")
                       .arg(s.kod)
                       .arg(kCodeBankTransfer)
                       .arg(kCodeCardTransfer);
    return out;
}

} // namespace

// The days of the reporting month from the hire to the dismissal of the
// current employment: first and last day, or first > last when he was not
// employed in the month at all. The whole month when neither falls in it.
std::pair<int, int> EmployedDaysOfMonth(const EmployeeHead& head, int year, int month, int length)
{
    const u16 hired = head.datPr2 != 0 ? head.datPr2 : head.datPr1;
    const u16 left = head.datPr2 != 0 ? head.datUv2 : head.datUv1;
    const int key = MonthKey(year, month).value();
    int first = 1, last = length;
    if (hired != 0 && PackedDate(hired).month() != 0) {
        if (MonthOf(hired) > key)
            return {1, 0};
        if (MonthOf(hired) == key)
            first = std::max(1, int(PackedDate(hired).day()));
    }
    if (left != 0 && PackedDate(left).month() != 0) {
        if (MonthOf(left) < key)
            return {1, 0};
        if (MonthOf(left) == key)
            last = std::min(length, std::max(1, int(PackedDate(left).day())));
    }
    return {first, last};
}

u16 DismissalWithoutStatus(const EmployeeHead& head, const EmployeeAttributes& attr, int year, int month)
{
    if (attr.priznUv == 1 || attr.priznUv == 2 || attr.priznUv == 4)
        return 0;
    const u16 left = head.datPr2 != 0 ? head.datUv2 : head.datUv1;
    if (left == 0 || PackedDate(left).month() == 0 || MonthOf(left) > MonthKey(year, month).value())
        return 0;
    return left;
}

QString DismissalWithoutStatusText(u16 dismissal)
{
    return QStringLiteral("Указана дата увольнения %1, но не указан признак увольнения").arg(DateText(dismissal));
}

QString FreeEnteredRowsText(const EmployeeRecord& record, int entered)
{
    QStringList places;
    for (int i = 0; i < entered && i < EmployeeRecord::RowCount; ++i)
        if (record.rows[std::size_t(i)].kod == 0)
            places << QString::number(i + 1);
    if (places.isEmpty())
        return QString();
    return QStringLiteral("среди введенных начислений и удержаний месяца %1 %2: %3 пропущен%4")
        .arg(places.size() == 1 ? QStringLiteral("пустая строка") : QStringLiteral("пустые строки"),
             places.join(QStringLiteral(", ")), places.size() == 1 ? QStringLiteral("она") : QStringLiteral("они"),
             places.size() == 1 ? QStringLiteral("а") : QStringLiteral("ы"));
}

QStringList EmployeeMonthWarnings(PayrollDoc& doc, int slot, const AccrualRow* rows, int count)
{
    const CInfoBase& base = doc.infoBase;
    QStringList out;
    if (base.currentSlot != slot)
        return out;
    const int year = base.config.reportingYear(), month = base.config.reportingMonth();
    const EmployeeHead& head = base.current.head;
    if (const u16 left = DismissalWithoutStatus(head, base.attributesOf(slot), year, month))
        out << DismissalWithoutStatusText(left);
    if (const QString text = TimeSheetBeyondEmployment(doc, slot, year, month); !text.isEmpty())
        out << text;
    const TabelRecord& sheet = base.tabelOf(slot);
    if (PaidButNoTime(head, sheet, rows, count))
        out << QStringLiteral("нет отработанного времени");
    if (const QString text = AbsenceLeftOnSheet(doc, slot, sheet, year, month); !text.isEmpty())
        out << text;
    if (DaysWithoutHours(base.attributesOf(slot), sheet))
        out << QStringLiteral("в табеле дни без часов: часы взяты по полному рабочему дню");
    out << SheetsComputedToNothing(base, slot, year, month);
    out << RestsNotTransferred(base.current);
    if (const QString text = FreeEnteredRowsText(base.current, base.attributesOf(slot).kvProizv); !text.isEmpty())
        out << text;
    return out;
}

} // namespace kalvor
