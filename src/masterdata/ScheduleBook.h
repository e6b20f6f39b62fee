#pragma once
// The work-schedule book without its screen: which month a calendar row is,
// its caption, the totals the calendar shows (computed day by day, or the
// typed ones of a schedule with manual totals), the texts of a month and of a
// schedule's definition and the rules by which typed texts go back, the two
// recalculations, and saving the book.
#include "infobase/InfoBase.h"
#include "payroll/PayrollDocument.h"
#include "values/TypedFigure.h"

#include <QString>

#include <array>
#include <cstdint>

namespace kalvor::masterdata {

inline constexpr int kScheduleMonthRows = 22;
inline constexpr int kFirstScheduleNumber = 1;
inline constexpr int kLastScheduleNumber = infobase::CInfoBase::ScheduleCount;

// Limits of the typed times, in hours.
inline constexpr int kDayHoursLimit = 24;
inline constexpr int kEveningNightHoursLimit = 400;
inline constexpr int kMonthHoursLimit = 700;

// What the calendar's and the definition's fields take: the rules their
// inputs declare and the store functions below read their texts by, so that
// a text the input refuses keeps what is stored. The definition keeps the
// month's fund in hours and tenths (12 bits) and the rotation's days in 4 and
// 5 bits.
inline constexpr FigureRule kScheduleDayRule = HoursFigure(kDayHoursLimit);
inline constexpr FigureRule kScheduleEveningNightRule = HoursFigure(kEveningNightHoursLimit);
inline constexpr FigureRule kScheduleMonthHoursRule = HoursFigure(kMonthHoursLimit);
inline constexpr FigureRule kScheduleWorkDaysRule = WholeFigure(0, 31);
inline constexpr FigureRule kScheduleFundRule = DecimalFigure(1, 0, 409.5);
inline constexpr FigureRule kScheduleRotationWorkDaysRule = WholeFigure(0, 15);
inline constexpr FigureRule kScheduleRotationDaysOffRule = WholeFigure(0, 31);

// Month key (year * 16 + month) of calendar row monthIndex (0-21; row 15 is
// the reporting month).
int ScheduleRowMonthKey(const infobase::CInfoBase& base, int monthIndex);
// " %B     %Y г. " of the first day of the month.
QString ScheduleMonthCaption(int monthKey);

struct ScheduleTotals {
    int days = 0;
    int minutes = 0;
    bool manual = false; // the totals are typed, not computed
};

// Brings a calendar row up to date for showing: an empty row is filled from
// the definition; with automatic totals the working days and minutes are
// counted day by day and stored into the row, with manual totals the stored
// ones are returned. A schedule without a norm gives 0 and 0.
ScheduleTotals RefreshScheduleMonth(PayrollDoc& doc, int scheduleNumber, int monthIndex);

// The texts of a month as the calendar shows them ("%d,%d" hours and minutes,
// empty for 0; the working days "%d", empty for 0).
struct ScheduleMonthTexts {
    QString workDays, workHours, evening, night;
    std::array<QString, 31> days;
};
ScheduleMonthTexts FillScheduleMonthTexts(const infobase::ScheduleMonth& row, const ScheduleTotals& totals);

// One day's minutes from its cell (kScheduleDayRule): a refused text keeps the
// old value. 1 when the value changed.
int StoreScheduleDay(infobase::ScheduleMonth& row, int day, QStringView text);
// Evening and night hours (kScheduleEveningNightRule) and every day of the
// month from its cell; 1 when anything changed.
int StoreScheduleTimes(infobase::ScheduleMonth& row, const ScheduleMonthTexts& texts, int monthLength);
// The typed totals: working days (kScheduleWorkDaysRule) and working hours
// (kScheduleMonthHoursRule); a refused text keeps its total. 1 when anything
// changed.
int StoreScheduleTotals(infobase::ScheduleMonth& row, QStringView daysText, QStringView hoursText);

// "Перерасчет месяца" and "Перерасчет графика": the shown month, or every
// month of the schedule, back to zero (showing it fills it from the definition).
void ClearScheduleMonth(infobase::CInfoBase& base, int scheduleNumber, int monthIndex);
void ClearScheduleMonths(infobase::CInfoBase& base, int scheduleNumber);

// The definition of a schedule as its dialog shows it.
struct ScheduleDefinitionTexts {
    QString dayLength; // "%d,%d" hours and minutes
    QString monthFund; // "%d,%d" whole hours and tenths
    QString workDays, daysOff; // of the shift cycle, "%d"
    std::uint16_t startDate = 0; // packed date of the cycle start, 0 = none
    std::array<bool, 7> weekDays{}; // Monday .. Sunday
    bool automatic = true; // totals computed, not typed
};
ScheduleDefinitionTexts FillScheduleDefinition(const infobase::WorkSchedule& schedule);
// Each field read by its rule (kScheduleDayRule, kScheduleFundRule, the
// rotation's rules); a refused text keeps what the schedule holds. 1 when
// anything changed.
int ReadScheduleDefinition(const ScheduleDefinitionTexts& texts, infobase::WorkSchedule& schedule);

// Writes every schedule (definitions and calendars). Throws db::DbError.
void SaveScheduleBook(infobase::CInfoBase& base);

} // namespace kalvor::masterdata
