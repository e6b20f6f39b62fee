#pragma once
// Insurance contributions: the month-by-month contribution bases of an
// employee with the yearly cap, allowances per income code and the parts of
// disability periods, the pension split of the rate, and the month's
// contribution rows.
//
// Units: bases are kopecks; the scale of a contribution's tax table holds
// roubles, so PensionInsuranceSplit takes roubles and returns kopecks. Months
// are month keys (year * 16 + month). The employee is the document's current
// record; the contribution kinds are the "sbor" records (refFiles.sbor); the
// rates are the scales of the "nalog" tables (payroll/IncomeTax.h).
//
// Error codes (CalcErrorTexts): -4/-5 unknown pay kind in an archive entry or
// a month row, -8 archive entry without a month, -21 no single variant of a
// contribution's table is valid, -29 period longer than 12 months or reversed,
// -30 more than 4 income codes with a contribution allowance, -32 table number
// below 1, -33 no birth date or (before 2005, born before 1967) no sex letter.
#include "payroll/CalcOptions.h"
#include "payroll/IncomeTax.h"
#include "payroll/PayrollDocument.h"

namespace kalvor {

// The yearly cap of the contribution base from 2011: 463,000 roubles.
inline constexpr double kContributionCap = 46'300'000;

// The yearly cap of the contribution base of a year, kopecks: 415,000
// roubles up to 2010, 463,000 from 2011. The pension, social-insurance and
// medical contributions stop there; the accident insurance (995) has no cap.
double ContributionBaseCap(int year);

// Whether a disability period, given as month keys, covers a month: from its
// first month up to the month before its end month (a disability is
// established up to the first day of a month, so the pay of the end month is
// paid after it ended); an end of 0 leaves the period open, a begin of 0
// means no period. The reduced rates apply to the pay of the months covered.
bool DisabilityPeriodCovers(int begin, int end, int monthKey);

// Whether one of the employee's two disability periods covers the month.
bool DisabledInMonth(const infobase::EmployeeHead& head, int monthKey);

// The reduction of a contribution's rate, in percentage points, for the pay
// of disabled employees: the first band of the year's scale carries it in its
// spare field (0 when the table has no band or no reduction).
double DisabledRateReduction(const TaxScale& scale);

// Whether a contribution kind's base selector takes the pay kind: 0-5 the
// kinds of group selector + 1, 6, 7 and 8 the kinds with hr1, hr2 and hr3,
// 9-16 the kinds marked in the firm's mask selector - 9; nothing otherwise.
bool ContributionBaseAdmits(int selector, const infobase::PayKind& kind, const PayrollDoc& doc);

// Optional totals of ContributionsByMonths (6 doubles; [0] the months before
// the last, [1] the last month): [0],[1] income of the kinds flagged in the
// firm's mask table 8; [2],[3] income of kinds of fund 4; [4],[5] from 2010 the
// income of a foreign employee staying temporarily, which is not charged.
inline constexpr int kContributionTotals = 6;

// Fills rows[0 .. 2 * kindCount) (zeroed first): rows 0 to n-1 hold the
// months firstMonth up to the one before lastMonth, rows n to 2n-1 lastMonth
// itself, one row of each per contribution kind kinds[0 .. n), from the
// current record's archive and the month's rows entries[0 .. entryCount).
// Row 0 also holds the income codes with an allowance (codes, at most 4) and,
// before the allowance pass, their ceilings. firstMonth and lastMonth are at
// most 11 months apart.
// monthRule 0: an archive entry counts in its paid month when it carries one
// and a month row in the reporting month; otherwise an archive entry in its
// own month and a month row in its own month.
// imputedRule 0: contributions 991-994 are not charged in the months of the
// imputed-income regime; otherwise only those months are charged.
// totals: kContributionTotals doubles added to, or nullptr.
// Returns 0 or a negative error code.
int ContributionsByMonths(int firstMonth, int lastMonth, const infobase::ContributionKind* kinds, int kindCount,
                          infobase::ContributionRow* rows, const infobase::AccrualRow* entries, int entryCount,
                          int monthRule, int imputedRule, double* totals, const PayrollDoc& doc);

// Charge in kopecks of a contribution on base a at the full rate and base b
// (the pay of disabled employees) at the reduced rate, both in roubles: the
// rate p is the whole percent plus hundredths of the scale's first band; the
// reduced rate is p less the reduction that the first band of the year's
// scale carries for disabled employees (DisabledRateReduction), never below
// 0. 0 when a + b is not positive. The code and the document are not read:
// every record of the contributions book, whatever its code, takes the
// reduction of its own table.
double PensionInsuranceSplit(int code, const TaxScale& scale, double a, double b, const PayrollDoc& doc);

// Appends one row per contribution kind of the "sbor" list with a code and a
// non-zero amount for the reporting month (from January on) to entries from
// position entryCount, at most up to capacity rows. Returns the number of rows
// appended or a negative error code (rows appended before it stay).
int CalcMonthContributions(infobase::AccrualRow* entries, int entryCount, PayrollDoc& doc,
                           int capacity = kCalcResultRows);

} // namespace kalvor
