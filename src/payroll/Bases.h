#pragma once
// Calculation bases: the sum of an employee's accruals of a group of pay kinds
// over a month or a run of months, from the rows passed and the current
// record's monthly archive. The selector says which pay kinds enter:
//   selector < 0   only the code -selector (deductions are then added too);
//   selector 0     every code;
//   selector 1     every known kind (with the fund filter);
//   selector 2-7   kinds with oblPodoh, the sick-leave base, vedShap, oblProf,
//                  enAlim, enKoefRS; selector 4 instead: every kind whose enOtp
//                  equals the wanted value (code 7 excluded);
//   selector 8-15  kinds with hr1, hr2, enSrPremBln, g11, enSrZar, hr3, fund bit 2, grp;
//   selector 16-19 nothing;
//   selector 20-27 kinds flagged in the firm's mask column selector - 20.
// Deductions (codes from 700) add nothing under selector 0; under a positive
// selector codes 700-864 and 891-939 are subtracted; code 600 always adds 0.
#include "payroll/PayrollDocument.h"

#include <span>

namespace kalvor {

// The month argument's value that takes only the passed rows, all of them.
inline constexpr int kBaseRowsOnly = 13;

// Options that the calculation pass gives (see CalcBaseBySelector and
// PassBase in CalcTypes.h).
struct BaseOptions {
    bool vacationWindow = false; // a vacation note (VacationCalcKind set): the window may reach ahead
    bool rowsInReportingMonth = false; // every passed row counts as a row of the reporting month
    int fundFilter = 0; // 1 only fund 1, 2 only other funds, else all
};

// The base, in kopecks.
//   month: 0 the reporting month; 1-12 a month number (before the reporting
//     month: this year; the reporting month or later: last year); 13 only the
//     passed rows, all of them, no archive; -j with monthsBack n: the n months
//     ending j + 1 months before the reporting month.
//   monthsBack: 0 the single month given; n > 0 (month 0-13) the n months
//     before the reporting month, the reporting month excluded.
//   inOutCount: on entry negative asks for the month count, any other value
//     asks for days and time (for selectors 1 and 4 it is the wanted flag
//     value). On return the days (0 in month-count mode), or a negative error
//     code: -4 unknown code in the archive, -5 unknown code in the rows, -8
//     archive entry without a month, -9 row without a month; the returned sum
//     is then meaningless.
//   outTime: the minutes (hours x 60 + minutes), or in month-count mode the
//     number of distinct month numbers that contributed.
// Reads the current employee record's archive; the month window is the
// ordinary one and no fund filter applies (the calculation's own steps give
// theirs through CalcBaseBySelectorWith). Rows of code 0 (free rows) are skipped.
double CalcBaseBySelector(int month, int monthsBack, int selector, int& inOutCount, double& outTime,
                          const infobase::AccrualRow* rows, int rowCount, const PayrollDoc& doc);

// The same with the options given explicitly.
double CalcBaseBySelectorWith(const BaseOptions& options, int month, int monthsBack, int selector, int& inOutCount,
                              double& outTime, const infobase::AccrualRow* rows, int rowCount, const PayrollDoc& doc);

// The bases of several single codes over one month (month 0-12 as above,
// monthsBack 0) in one walk of the archive and the rows: sums[i] is the sum
// that selector -codes[i] gives (codes and sums of one length). 0, or the
// negative error code that each of those bases would give.
int CalcBasesOfCodesWith(const BaseOptions& options, int month, std::span<const int> codes, std::span<double> sums,
                         const infobase::AccrualRow* rows, int rowCount, const PayrollDoc& doc);

// The base of a yearly bonus: one twelfth of the record's archive entries
// of the year before the reporting year (reporting months 1-6) or of the
// reporting year (7-12) whose kinds the firm's mask of `selector` (20-27)
// takes, code 600 and deductions left out; less the same year's code 171
// entries when that leaves it not negative.
double YearlyBonusBase(const infobase::EmployeeRecord& rec, const infobase::FirmInfo& firm, int year, int month,
                       int selector);
} // namespace kalvor
