#pragma once
// The vacation note and the calculation of its pay as text forms.
//
// For each selected employee's vacation notes (the first five; a note is
// printed when it has a length) the note is computed by the monthly
// calculation in display mode, as the vacation screen computes it, and its
// forms are taken from "forms" (FormsFile.h) with their tags filled:
// sections 10 and 11 for a vacation with a start date, 12 and 13 for a
// compensation on dismissal. The text goes to the run's work file,
// windows-1251 with "\r\n" line ends. The tags and the values behind them
// are listed in data/forms-tags.txt.
#include "infobase/Records.h"
#include "payroll/PayrollDocument.h"
#include "print/PrintOutput.h"

#include <QString>

#include <stop_token>

namespace kalvor::print {

// Notes per employee that the form takes.
inline constexpr int kVacationNotesPrinted = 5;
// The sections of "forms".
inline constexpr int kVacationNoteSection = 10;
inline constexpr int kVacationCalcSection = 11;
inline constexpr int kCompensationNoteSection = 12;
inline constexpr int kCompensationCalcSection = 13;

// A calendar day.
struct CalendarDay {
    int day = 0;
    int month = 0;
    int year = 0;
    friend bool operator==(const CalendarDay&, const CalendarDay&) = default;
};

// The next day: month 12 rolls into month 1 of the next year; February has
// 29 days in leap years.
void NextDay(int& day, int& month, int& year);
inline void NextDay(CalendarDay& date) { NextDay(date.day, date.month, date.year); }

// Moves the last day of the period first..last forward one day for each of
// the firm's holidays (FirmInfo::fete, the same days every year) within the
// period, the first and the last day included, and checks the added days
// again until no further holiday falls into them.
void ExtendForHolidays(const CalendarDay& first, CalendarDay& last, const infobase::FirmInfo& firm);

// The note forms of the selection (shop, brigade, profession and personnel
// number of the parameters; with markedOnly not 0 only the marked
// employees) into the file at path; withNote adds the note itself before
// each calculation. The employees are written into the swap file first; a
// stop requested by then ends the run with TextError "Операция прервана".
// A note whose calculation fails is passed over. Result 0; -23 when the file
// cannot be written; -4 ("В архиве обнаружен неизвестный код") when a pay
// kind of a computed row is not in the pay-kind book (no file is written).
// Throws TextError from ReadFormsSection and PrintFileError (FILE_ERROR_READ)
// when an employee's slot cannot be read whole.
int WriteVacationNoteCalc(const StatementPrintParams& params, bool withNote, int markedOnly, PayrollDoc& doc,
                          const QString& path, std::stop_token stop = {});

} // namespace kalvor::print
