#pragma once
// What the personal account shows of one employee, without the screen: the
// texts and colour of each of the month's rows, the three totals, and the
// recompute of one employee that the quick command asks for.
#include "infobase/PayKindCodes.h"
#include "payroll/PayrollDocument.h"

#include <QString>
#include <QStringList>

#include <array>

namespace kalvor {

// Text colour of the rows from code 700 on: RGB(255, 128, 0).
inline constexpr unsigned kPersonalAccountDeductionColour = 0x0080FF;
inline constexpr int kPersonalAccountColumns = 6;

// Kind name (empty when the code is not in the table), code, month, sum
// ("%.2f", never for code 600), days and hours "%d,%d" of hours and minutes;
// zeros empty.
QStringList PersonalAccountRowTexts(const infobase::AccrualRow& row, const PayrollDoc& doc);
// True for the rows from code 700 on, which the account shows in orange.
inline bool IsPersonalAccountDeduction(const infobase::AccrualRow& row) { return !IsAccrualCode(row.kod); }

// Recomputes and stores the month of the employee with this personnel number
// as the calculation run does: his record goes into the swap work file, the
// engine computes him in store mode, a failure's code goes into his status
// word, and his rows, status word and amount to pay are stored together or
// not at all; when they are not, his status word, amount to pay and current
// record in memory are as before. The work file is closed in every case. Returns the engine's result (a negative CalcErrorTexts
// code on failure; -27 for a number that is not in the list). Database
// failures (db::DbError) and work-file failures (InfoBaseError) are thrown; a
// refusal by the base as a few lines that name him and give the engine's own
// line (RefusedStoreLines), that line alone as the description.
int RecomputeEmployee(PayrollDoc& doc, int tabN);

} // namespace kalvor
