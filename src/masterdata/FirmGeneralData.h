// The fields of the firm's general data ("Общие данные"): how each field shows
// its stored value and reads a typed text back into the firm record or the
// base configuration, the range each numeric field takes, and the holidays'
// order and counts.
#pragma once

#include "infobase/Records.h"
#include "values/TypedFigure.h"

#include <QString>
#include <vector>

namespace kalvor::masterdata {

// Control numbers of the form's fields, in the form's order.
const std::vector<int>& GenInfoFieldIds();

// The label beside a field ("Фирма", "р/c" ...).
QString GenInfoFieldLabel(int id);

// The field's text as the form shows it.
QString GenInfoFieldText(int id, const infobase::FirmInfo& firm, const infobase::InfoBaseConfig& config);

// The rule by which a field's text is read (ReadFigure), with the range its
// place keeps: a text of the firm's length, a whole number or a mark within
// its bits, hundredths and the loan's percent to two places, an amount from 0
// to the most a money place keeps. A holiday ("Д.М") and the working day's
// length (hours.minutes) take a text the rule reads and GenInfoFieldError
// checks.
FigureRule GenInfoFieldRule(int id);
// Whether the field is a holiday (a day of the year, "Д.М").
bool IsGenInfoHoliday(int id);

// Empty when the text fits the field, else the message that refuses it (a
// text its rule refuses, a working day's minutes of 60 or more, a holiday
// that is no date).
QString GenInfoFieldError(int id, const QString& text);

// Stores the text into the field's place, read by the field's rule
// (GenInfoFieldRule; a holiday by the rule of typed days of the year); a text
// the rule refuses keeps the stored value. True when the stored value changed.
// Holidays are stored as typed: CompactHolidays puts them in order afterwards.
bool StoreGenInfoField(int id, const QString& text, infobase::FirmInfo& firm, infobase::InfoBaseConfig& config);

// Sorts the twelve holidays in calendar order (month, then day), drops zeros
// and repeats, moves the kept ones to the front and recounts them, in all
// and by month. True when anything changed.
bool CompactHolidays(infobase::FirmInfo& firm);

// The longest text a text field keeps (120 characters with the terminator).
inline constexpr int kGenInfoTextLength = 119;

} // namespace kalvor::masterdata
