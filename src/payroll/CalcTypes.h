#pragma once
// Types shared by the monthly calculation of one employee: the call mode, the
// result and work buffers, and the context that the steps of one calculation
// pass share (its own month window and fund filter included: nothing of a
// calculation is kept on the document). The pay-kind codes with a fixed
// meaning are in infobase/PayKindCodes.h.
//
// Results: 0 or more is a row count; -k is message k of CalcErrorTexts
// (payroll/CalcErrors.h), passed up unchanged by every level.
#include "infobase/EmployeeRecord.h"
#include "infobase/PayKindCodes.h"
#include "payroll/AverageEarnings.h" // CalcWorkBuffer, the average-earnings detail
#include "payroll/Bases.h" // BaseOptions
#include "payroll/CalcErrors.h"
#include "payroll/CalcOptions.h"
#include "payroll/PayKinds.h" // the row protocol: RoundWhole, then RoundByPayKind
#include "payroll/PayrollDocument.h"

#include <array>
#include <cstdint>

namespace kalvor {

// What a calculation call does.
enum CalcMode : std::uint32_t {
    CalcStore = 0, // calculate and store
    CalcDisplay = 1, // compute one employee for display only; nothing is stored
};

// The caller's result buffer: at least kCalcResultRows rows (CalcOptions.h).
using CalcResult = infobase::AccrualRow*;
inline constexpr int kCalcClearRowsStore = 64;
inline constexpr int kCalcClearRowsDisplay = 60;
// Rows that one employee's record block stores (entered and computed rows).
inline constexpr int kStoredRowLimit = ::kalvor::infobase::EmployeeRecord::MonthRowCount;

// What one calculation pass shares between its steps.
struct CalcPass {
    PayrollDoc& doc;
    infobase::AccrualRow* rows = nullptr;
    int count = 0;
    int capacity = kCalcResultRows;
    int slot = 0; // record slot n, 1-based
    int year = 0, month = 0, nextMonth = 0, monthAfter = 0;
    std::array<int, 13> monthLengths{}; // [1..12], February 29 in years divisible by 4
    int paymentSystem = 0;
    int schedule = 1; // the employee's work schedule, its book number
    int plannedDays = 0, plannedMinutes = 0;
    int dayLength = 0; // minutes of a working day
    CalcMode mode = CalcStore;
    int pass = 1;
    CalcWorkBuffer* workBuffer = nullptr;
    CalcOptions options{}; // what the caller asked for
    bool vacationWindow = false; // the bases may reach up to two months ahead
    int fundFilter = 0; // the bases take 1 only kinds of fund 1, 2 only other funds, else all
    // The month's income in kind, the loans' benefit (paid as it is accrued,
    // 904): no money that the income tax can be withheld from.
    double benefitInKind = 0;
    // What the standing deductions asked and the pay could not take (kopecks):
    // the employee's debt, which the store records as a row of the next month.
    double standingLeft = 0;

    infobase::CInfoBase& base() const { return doc.infoBase; }
    infobase::EmployeeRecord& rec() const { return doc.infoBase.current; }
    infobase::TabelRecord& tabel() const { return doc.infoBase.tabelOf(slot); }
    infobase::EmployeeAttributes& attr() const { return doc.infoBase.attributesOf(slot); }
    int days() const { return monthLengths[std::size_t(month)]; }
    // The employee's work schedule, the book's schedule number `schedule`.
    infobase::WorkSchedule& workSchedule() const { return doc.infoBase.scheduleAt(schedule); }
};

// Fills a row's time: minutes / 60 into the hours word, minutes mod 60 and
// days into the time word.
void SetRowTime(infobase::AccrualRow& row, int days, int minutes);
// Minutes of a row (hours x 60 + minutes).
inline int RowMinutes(const infobase::AccrualRow& row) { return row.hr * 60 + row.min; }

// Appends a row with the amount rounded by RoundWhole and then by its kind;
// a row that rounds to 0 is not kept (code 600 always is, at 100 kopecks).
// Returns 1 when kept, 0 when dropped, kCalcTooManyRows when the buffer is full.
int AppendRow(CalcPass& p, int code, double amount, int month, int days = 0, int minutes = 0, int shop = 0);
// Appends a row whose amount has been rounded already (kept when not 0).
int AppendRowRaw(CalcPass& p, const infobase::AccrualRow& row);
// Removes row i, the rows behind it move up.
void RemoveRow(CalcPass& p, int i);

// The pass's month window and fund filter, as its bases take them.
BaseOptions PassBaseOptions(const CalcPass& p);
// CalcBaseBySelector over the pass's rows with the pass's month window and
// fund filter.
double PassBase(const CalcPass& p, int month, int monthsBack, int selector, int& inOutCount, double& outTime);

} // namespace kalvor
