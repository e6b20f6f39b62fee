#pragma once
// Personal income tax: the tax tables of the "nalog" reference file, the
// charge functions that apply a scale, the month-by-month income statement of
// an employee and the month's income-tax rows.
//
// Units: amounts are kopecks (Kopecks); scale bounds and fixed parts are
// roubles, so every charge function takes roubles and returns kopecks (a
// percentage of roubles is kopecks). Months are month keys (year * 16 + month,
// the form of the base's reporting month tekMes and of PackedMonthYear);
// where a tax table's validity is tested a month number is (year - 1900) * 12
// + month (MonthIndex).
//
// The employee is the document's current record (CInfoBase::current). The
// tax tables are the document's refFiles.nalog (20 tables), the deduction
// kinds refFiles.vichet. The two income-month flags are bits of the firm's
// parameter word: 8 (nalog) for the income tax, 16 (prof) for the second tax;
// a set flag dates the month's rows by their own month.
//
// Error codes (CalcErrorTexts): -4 unknown pay kind in the archive, -5 in the
// month's rows, -8 archive entry without a month, -9 month row with an amount
// and no month, -21 no single tax-table variant valid in the month, -29 period
// longer than 12 months or reversed, -30 more than 15 income codes, -31 a
// deduction code not in the deduction-kind book, -32 table number below 1.
#include "infobase/PayKindCodes.h"
#include "payroll/CalcOptions.h"
#include "payroll/PayrollDocument.h"

#include <array>
#include <cstdint>

namespace kalvor {

// A tax scale: up to 10 bands in ascending order of lower bound; a band whose
// fields are all zero ends it.
using TaxScale = std::array<infobase::TaxScaleBand, 10>;

// Variant of tax table number `table` (1 .. the file's 20) valid in month
// number monthNumber: 0 when only the first is valid, 1 when only the
// second, -21 when none or both (or the number is not a table of the file).
int TaxVariantForMonth(int table, int monthNumber, const PayrollDoc& doc);

// The law of a year reaches the calculation through the tax tables: a year
// for which no variant of any table of the file begins is computed by the
// tables of an earlier year. Then "Справочник налогов не содержит таблиц на
// <year> год", else empty (also when the file holds no table at all: the
// calculation then refuses by itself).
QString TaxTablesYearWarning(int year, const PayrollDoc& doc);

// Charge of the scale on amount + earlier (roubles), in kopecks: the tax on the
// total at its band less the tax of the earlier part at the first band's rate.
// 0 when the total is not positive or lies below the first band.
double PercentCharge(const TaxScale& scale, double amount, double earlier);
// The same, but it also charges a total that is not positive, and a total
// below the first band by the first band (the social-insurance reports use it).
double ScaleCharge(const TaxScale& scale, double amount, double earlier);
// amount x the percent of the band into which selectorAmount falls; 0 when
// either is not positive or selectorAmount lies below the first band.
double ScaleLookup(const TaxScale& scale, double amount, double selectorAmount);

// Tax of the reporting month on an amount (kopecks) by 1-based table number
// tableNumber: RoundWhole(PercentCharge(variant's scale, amount / 100, 0)).
// -32 when the number is below 1, -21 when no single variant is valid.
double TaxForMonth(int tableNumber, double amount, const PayrollDoc& doc);

// Tax on an amount (kopecks) of the second income group in month monthKey by
// the firm's table for that group (FirmInfo::tabGrp2): table 0 = 30 % flat,
// else the scale of the variant valid in the month (the amount selects the
// band as well); rounded by RoundByPayKind with pay kind 902. 0 when the table
// number is negative or no variant is valid.
double TaxWithScale(double amount, int monthKey, const PayrollDoc& doc);

// Income groups of IncomeByMonths.
enum IncomeGroup : int {
    IncomeMain = 0, // every pay kind but 71, 178, 79, 84
    IncomeSecond = 1, // only 71 and 178
    IncomeThird = 2, // only 79 and 84
};

// One IncomeMonthRow per month from firstMonth to lastMonth (month keys, at
// most 12 months; rows must hold that many) from the current record's archive
// and the month's rows entries[0..entryCount).
// selector 0: base = income of kinds with oblProf, tax withheld = pay kind 919;
// selectors 1 and 2: taxable income, allowances by income code, the ten
// deductions of the record's NalvichEntry slots and the cumulative tax base,
// tax withheld = pay kind 902 (selector 2 gives no deduction in a month
// without income). The first row also holds the income codes met (the first
// always 2000) and their deduction codes. Result 0 or a negative error code.
int IncomeByMonths(int firstMonth, int lastMonth, int group, int selector, infobase::IncomeMonthRow* rows,
                   const infobase::AccrualRow* entries, int entryCount, const PayrollDoc& doc);

inline constexpr int kMaxIncomeCodes = 15;
using IncomeCodes = std::array<std::uint32_t, kMaxIncomeCodes>;

// The income codes of an income group's pay kinds (the first always 2000),
// their deduction codes and yearly allowance ceilings, as the first row of
// an income statement holds them; error is the listing's result.
struct IncomeCodeList {
    int count = 1;
    IncomeCodes incomeCodes{}, deductionCodes{};
    std::array<double, kMaxIncomeCodes> allowances{};
    int error = 0;
};

// What the income tax of one run over many employees keeps from employee to
// employee: the groups' income codes, listed from the pay-kind table at the
// first employee (the table does not change during a run), and the month
// rows of the income statements, each cleared as far as a statement uses it.
struct IncomeTaxRun {
    using MonthRows = std::array<infobase::IncomeMonthRow, 12>;
    std::array<MonthRows, 3> months{}; // by IncomeGroup
    std::array<IncomeCodeList, 3> codes{}; // by IncomeGroup
    bool listed = false; // codes holds the lists
};

// Appends the month's income-tax rows to entries from position entryCount (at
// most up to capacity rows in all). tableArgument 0: the employee's own table
// (tabPodoh; a non-resident foreigner with fewer than 183 days takes the next
// one), rows of pay kind 902; a table number n above 0: that table, rows of
// pay kind 919. One month, or six from the reporting month on when the tax's
// income-month flag is set. Updates the record's remaining property deduction
// (imvichOst); in a year that is not the deduction's (PropertyDeductionYear)
// none is given and the whole remainder stays. A month's tax is below zero
// only by what the month's reversals of income (accruals below zero) return.
// Returns the number of rows appended or a negative error code (rows
// appended before it stay).
// run: what a run over many employees keeps for the tax (nullptr: nothing kept).
int CalcIncomeTax(int tableArgument, infobase::AccrualRow* entries, int entryCount, PayrollDoc& doc,
                  int capacity = kCalcResultRows, IncomeTaxRun* run = nullptr);

// The year for which the employer gives the employee's property deduction:
// the year of his notice from the tax office (imvichSprDat, "d.m.yy", with its
// number imvichSprNom), or, without a complete notice, the year of the
// deduction's start date (imvichDat); 0 when neither is there. A deduction
// is given in a year only on that year's notice (Tax Code art. 220 p. 3).
int PropertyDeductionYear(const infobase::EmployeeHead& head);

// Tax at the marginal rate of the employee's table on one amount given in
// roubles, in kopecks rounded with pay kind 902: the band is chosen by the
// base of selector 2 over the monthsBack months before the reporting month
// plus the amount; the firm's extra whole percent (procDop) is added. 0 when
// the employee has no table, no single variant is valid, or the base fails.
double CalcContribution(int monthsBack, double amount, const PayrollDoc& doc);

// Time from the current record's officerDatStag to today (Clock): selector 1
// whole years (0-99), 2 the remaining whole months (0-11); other selectors 0.
int ServiceLengthToToday(int selector, const PayrollDoc& doc);

// Whether the computed row entries[index] stays (1) or is dropped (0) against
// the record's permanent payments: a payment of the row's code with a replace
// mode (perer) valid in the reporting month. Mode 1 takes the new amount off an
// earlier row of the same code and month, and the row stays; modes 2 and 3 give
// the new row's cost codes to the earlier row and drop the new one (also when
// there is no earlier row).
int KindActiveInMonth(infobase::AccrualRow* entries, int index, const PayrollDoc& doc);

} // namespace kalvor
