// The main time sheet as the entry screen shows it: the 26 fields of a
// TabelRecord with their controls, labels, text forms and ranges; showing a
// record as texts and reading texts back (only changed fields are written);
// the group append of the filled fields; the worked-days bitmap.
#pragma once

#include "infobase/InfoBase.h"
#include "infobase/Records.h"
#include "payroll/AbsentDays.h"
#include "values/TypedFigure.h"

#include <QString>
#include <QStringView>

#include <array>

namespace kalvor::entries {

// How a field is typed and shown.
enum class TabelFieldKind {
    Days, // a whole number within [0, maxDays]
    HoursLimited, // hours and minutes, at most 511 hours (more is refused)
    Hours, // hours and minutes without a limit
    Coefficient, // the rate coefficient "%u.%u%u"
};

struct TabelField {
    int controlId;
    const char16_t* label;
    TabelFieldKind kind;
    int maxDays; // Days only
    int (*get)(const infobase::TabelRecord&);
    void (*set)(infobase::TabelRecord&, int);
};

inline constexpr int kTabelFieldCount = 26;
inline constexpr int kTabelHoursLimit = 511;
inline constexpr int kDbfCheckBoxId = 1261;

// The fields in the order of the form's table of controls.
const std::array<TabelField, kTabelFieldCount>& TabelFields();
// The controls of the form's two columns, top to bottom.
const std::array<int, 13>& TabelLeftColumn();
const std::array<int, 13>& TabelRightColumn();
// The rule by which a field's text is read (ReadFigure): days whole within
// their range, hours "hours,minutes", the coefficient to hundredths.
FigureRule TabelFieldRule(const TabelField& field);
// The field shown by a control; null for another control.
const TabelField* FindTabelField(int controlId);

// What the form shows: one text per field (the order of TabelFields) and the
// check box of the DBF flag.
struct TabelTexts {
    std::array<QString, kTabelFieldCount> texts;
    bool dbf = false;
};

// A field's text: empty for 0, days "%d", hours "%d,%d", the coefficient
// "%u.%u%u" (empty when it is 0).
QString FormatTabelField(const infobase::TabelRecord& record, const TabelField& field);
TabelTexts ShowTabelRecord(const infobase::TabelRecord& record);

// The coefficient typed as "%d.%d", the digits after the point (or a comma)
// a decimal fraction ("1.5" = 1.50, "1,05" = 1.05, "2" = 2.00); empty text is
// 0. False (nothing to store) for a text that does not read in full, a third
// digit after the point, a negative number or a coefficient beyond the field.
bool ReadCoefficientHundredths(QStringView text, int& hundredths);
// The first coefficient of the form that is refused: its control and the
// message naming it ("Некорректное число в поле ..."); 0 when none is.
int RefusedCoefficient(const TabelTexts& form, QString* message);

// Reads one field's text into the record; 1 when the stored value changed.
// A refused text (one ReadFigure refuses by the field's rule, a bad
// coefficient) keeps the value.
int ReadTabelField(QStringView text, infobase::TabelRecord& record, const TabelField& field);
// Reads the whole form into the record; 1 when anything changed. Fields that
// are equal are not touched, so the record's other bits stay as they are.
int ReadTabelRecord(const TabelTexts& form, infobase::TabelRecord& record);
// Copies the filled fields of the form (non-empty texts; the check box when
// ticked) into the record by the same rules; empty fields leave it alone.
// 1 when the record changed.
int AppendFilledFields(const TabelTexts& form, infobase::TabelRecord& record);
// True when the form has any filled field.
bool AnyFieldFilled(const TabelTexts& form);
// The group append: every entry of the current list with any of its three
// selection flags gets the form's filled fields. Returns the number of
// records changed.
int AppendFilledFieldsToGroup(const TabelTexts& form, infobase::CInfoBase& base);

// ------------------------------------------------------------ worked days

// The worked days are the sheet's day marks (payroll/CalendarMath.h:
// DayMarked, SetDayMark).
// Makes the ticked days of a month of monthDays days as many as the record's
// working days (rabDn), the employee being employed from firstDay to lastDay
// (his hire and dismissal in the month; 1 and 31 when neither is): surplus
// ticks are cleared, those outside his employment first, then the days he is
// away (`away`: a sick leave or a vacation, which no count of worked days
// holds), then from the month's end; missing ones are ticked from firstDay,
// first on the days he is not away that the employee's schedule gives hours
// (scheduleDays[d - 1] not 0), then on his other days not away, then on the
// days away, and only then outside his employment. Days beyond the month
// stay. True when a day changed.
bool FitWorkedDaysToCount(infobase::TabelRecord& record, int monthDays,
                          const std::array<infobase::u16, 31>& scheduleDays, int firstDay = 1, int lastDay = 31,
                          const MonthDayFlags& away = {});
// The other way: the working days become the ticked days of the month and,
// withHours, the working hours the schedule's minutes of those days. True when
// the record changed.
bool FollowWorkedDays(infobase::TabelRecord& record, int monthDays, const std::array<infobase::u16, 31>& scheduleDays,
                      bool withHours);
// The time sheet of the employee of a record slot as an entry screen leaves
// it (the base's current record is his, or his employment is taken as the
// whole month). After a typed change of his working days: the ticked days
// follow them within his employment, and his hours follow the ticked days
// unless typed with them (hoursTyped) or he is paid without hours (none kept
// and a salary pay system, with or without a tariff: piece-rate and hourly
// workers keep hours).
void FitSheetToTypedDays(infobase::CInfoBase& base, int slot, bool hoursTyped);
// After days ticked or cleared on the calendar (the sheet was `before`): his
// working days, and his hours under the same rule, follow the ticked days;
// hours that were not the schedule's hours of the days ticked before were
// typed and stay. True when they changed.
bool FitSheetToTickedDays(infobase::CInfoBase& base, int slot, const infobase::TabelRecord& before);

} // namespace kalvor::entries
