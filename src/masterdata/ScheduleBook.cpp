#include "masterdata/ScheduleBook.h"

#include "masterdata/TypedFields.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/CalendarMath.h"
#include "payroll/ScheduleNorm.h"
#include "values/Values.h"

namespace kalvor::masterdata {

using infobase::CInfoBase;
using infobase::ScheduleMonth;
using infobase::WorkSchedule;

namespace {

// A field of minutes read from its text by its input's rule; a refused text
// keeps it. 1 when changed.
int StoreMinutes(std::uint16_t& minutes, const FigureRule& rule, QStringView text)
{
    return StoreIfChanged(minutes, int(FigureUnitsOr(rule, text, minutes)));
}

} // namespace

int ScheduleRowMonthKey(const CInfoBase& base, int monthIndex)
{
    return MonthKeyAdd(base.config.tekMes, monthIndex - WorkSchedule::ReportingMonth);
}

QString ScheduleMonthCaption(int monthKey)
{
    const QDate first(MonthKey::of(monthKey).year(), MonthKey::of(monthKey).month(), 1);
    return FormatTime(QDateTime(first, QTime(0, 0)), QStringLiteral(" %B     %Y г. "));
}

ScheduleTotals RefreshScheduleMonth(PayrollDoc& doc, int scheduleNumber, int monthIndex)
{
    WorkSchedule& schedule = doc.infoBase.scheduleAt(scheduleNumber);
    ScheduleTotals totals;
    totals.manual = schedule.ruchn != 0;
    // Day by day, so that automatic totals follow every edited day; a whole
    // month asked at once would give the row's stored totals.
    int days = 0, minutes = 0;
    const int result = totals.manual ? CalcScheduleNorm(monthIndex, schedule, 1, 0, days, minutes, doc)
                                     : ScheduleNormDayByDay(monthIndex, schedule, 1, 0, days, minutes, doc);
    if (result < 0)
        days = minutes = 0;
    ScheduleMonth& row = schedule.months[std::size_t(monthIndex)];
    if (totals.manual) {
        totals.days = row.rDn;
        totals.minutes = row.rMin;
    } else {
        row.rDn = std::int8_t(days);
        row.rMin = std::uint16_t(minutes);
        totals.days = days;
        totals.minutes = minutes;
    }
    return totals;
}

ScheduleMonthTexts FillScheduleMonthTexts(const ScheduleMonth& row, const ScheduleTotals& totals)
{
    ScheduleMonthTexts texts;
    texts.workDays = FormatIntField(totals.days);
    texts.workHours = FormatHoursMinutes(totals.minutes);
    texts.evening = FormatHoursMinutes(row.vMin);
    texts.night = FormatHoursMinutes(row.nMin);
    for (std::size_t day = 0; day < texts.days.size(); ++day) texts.days[day] = FormatHoursMinutes(row.d[day]);
    return texts;
}

int StoreScheduleDay(ScheduleMonth& row, int day, QStringView text)
{
    if (day < 1 || day > 31)
        return 0;
    return StoreMinutes(row.d[std::size_t(day - 1)], kScheduleDayRule, text);
}

int StoreScheduleTimes(ScheduleMonth& row, const ScheduleMonthTexts& texts, int monthLength)
{
    int changed = 0;
    changed |= StoreMinutes(row.vMin, kScheduleEveningNightRule, texts.evening);
    changed |= StoreMinutes(row.nMin, kScheduleEveningNightRule, texts.night);
    for (int day = 1; day <= monthLength && day <= 31; ++day)
        changed |= StoreScheduleDay(row, day, texts.days[std::size_t(day - 1)]);
    return changed;
}

int StoreScheduleTotals(ScheduleMonth& row, QStringView daysText, QStringView hoursText)
{
    int changed = StoreIfChanged(row.rDn, int(FigureUnitsOr(kScheduleWorkDaysRule, daysText, row.rDn)));
    changed |= StoreMinutes(row.rMin, kScheduleMonthHoursRule, hoursText);
    return changed;
}

void ClearScheduleMonth(CInfoBase& base, int scheduleNumber, int monthIndex)
{
    base.scheduleAt(scheduleNumber).months[std::size_t(monthIndex)] = ScheduleMonth{};
}

void ClearScheduleMonths(CInfoBase& base, int scheduleNumber)
{
    for (ScheduleMonth& row : base.scheduleAt(scheduleNumber).months) row = ScheduleMonth{};
}

ScheduleDefinitionTexts FillScheduleDefinition(const WorkSchedule& s)
{
    ScheduleDefinitionTexts texts;
    if (s.rdHr != 0 || s.rdMin != 0)
        texts.dayLength = QString::asprintf("%d,%d", int(s.rdHr), int(s.rdMin));
    if (s.mesFond != 0)
        texts.monthFund = QString::asprintf("%d,%d", s.mesFond / 10, s.mesFond % 10);
    texts.workDays = FormatIntField(s.pRab);
    texts.daysOff = FormatIntField(s.pVyh);
    if (s.begD != 0 || s.begM != 0 || s.begG != 0)
        texts.startDate = PackedDate::pack(s.begD, s.begM, s.begG).value;
    for (int day = 0; day < 7; ++day) texts.weekDays[std::size_t(day)] = ((s.rabDnNed >> day) & 1) != 0;
    texts.automatic = s.ruchn == 0;
    return texts;
}

int ReadScheduleDefinition(const ScheduleDefinitionTexts& t, WorkSchedule& s)
{
    int changed = 0;
    // The day's hours and minutes change together, and only when the text reads.
    if (const FigureReading day = ReadFigure(QString(), kScheduleDayRule, t.dayLength); day.read) {
        changed |= StoreBits(s.rdHr, int(day.units) / 60, [&](int v) { s.rdHr = v; });
        changed |= StoreBits(s.rdMin, int(day.units) % 60, [&](int v) { s.rdMin = v; });
    }
    const auto read = [](const FigureRule& rule, const QString& text, int stored) {
        return int(FigureUnitsOr(rule, text, stored));
    };
    changed |= StoreBits(s.mesFond, read(kScheduleFundRule, t.monthFund, s.mesFond), [&](int v) { s.mesFond = v; });
    changed |= StoreBits(s.pRab, read(kScheduleRotationWorkDaysRule, t.workDays, s.pRab), [&](int v) { s.pRab = v; });
    changed |= StoreBits(s.pVyh, read(kScheduleRotationDaysOffRule, t.daysOff, s.pVyh), [&](int v) { s.pVyh = v; });
    const PackedDate start(t.startDate);
    changed |= StoreBits(s.begD, start.day(), [&](int v) { s.begD = std::uint8_t(v); });
    changed |= StoreBits(s.begM, start.month(), [&](int v) { s.begM = std::uint8_t(v); });
    changed |= StoreBits(s.begG, start.yearField(), [&](int v) { s.begG = std::uint8_t(v); });
    int week = 0;
    for (int day = 0; day < 7; ++day) week |= t.weekDays[std::size_t(day)] ? 1 << day : 0;
    changed |= StoreBits(s.rabDnNed, week, [&](int v) { s.rabDnNed = v; });
    changed |= StoreBits(s.ruchn, t.automatic ? 0 : 1, [&](int v) { s.ruchn = v; });
    return changed;
}

void SaveScheduleBook(CInfoBase& base) { infobase::SaveGraph(base); }

} // namespace kalvor::masterdata
