// The twelve monthly rates of an employee that the rate correction dialog
// shows and edits: the rates of the months before the reporting month, which
// the averages of vacations and sick leave use.
#pragma once

#include "infobase/EmployeeRecord.h"
#include "values/TypedFigure.h"

#include <QString>
#include <array>

namespace kalvor::masterdata {

// Fills the history's gaps on opening: month 1 (the month just before the
// reporting month) takes the computed current rate when it is empty and the
// rate could be computed; with a pay system other than 0, months 2 to 7 that
// are empty take the rate of the month above them. Months 8-12 stay as they
// are.
void FillRateGaps(std::array<infobase::RateHistoryEntry, 12>& rates, int paySystem, bool computed, double computedRate);

// The name of the month k months before reporting month m (1-12).
QString RateMonthName(int reportingMonth, int monthsBack);

// What a month's rate takes: the rule the dialog's column declares and the
// texts are read by (a salary or tariff is never negative).
inline constexpr FigureRule kRateFigure = AmountFigure();

// The first of the twelve texts that kRateFigure refuses (0-11); -1 when
// every text reads.
int FirstUnreadRate(const std::array<QString, 12>& texts);

// Reads the twelve texts back into the rates by kRateFigure (an empty text is
// 0, a text the rule refuses keeps its rate); true when any rate changed. The second value
// of each entry is kept.
bool ReadRates(std::array<infobase::RateHistoryEntry, 12>& rates, const std::array<QString, 12>& texts);

} // namespace kalvor::masterdata
