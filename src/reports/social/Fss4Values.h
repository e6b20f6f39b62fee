#pragma once
// Where the settlement with the social insurance fund (form 4-FSS) keeps its
// figures among the report values of tag 17: the places that the run of both
// forms, the closing sums and the editors read and write, and the rate that
// the base is checked against.
namespace kalvor::reports::fss4 {

inline constexpr int kHeadcount = 0;
inline constexpr int kWomen = 1;
inline constexpr int kDisabledHeadcount = 2;

// The payment base table: five columns from the first month of the period
// (3-7), summed over the last three months (8-12), and for months 1-3
// (13-17, 18-22, 23-27).
inline constexpr int kBasePeriod = 3;
inline constexpr int kBaseQuarter = 8;
inline constexpr int kBaseMonth1 = 13;
enum BaseColumn : int { ColPayments = 0, ColNonTaxable = 1, ColDisabled = 2, ColAboveCap = 3, ColBase = 4 };
constexpr int BaseMonth(int month, int column) { return kBaseMonth1 + 5 * (month - 1) + column; }

inline constexpr int kAccrued = 28; // contributions accrued in the period
inline constexpr int kAccruedBefore = 29; // before the last three months
inline constexpr int kAccruedQuarter = 30; // the last three months
inline constexpr int kAccruedMonth1 = 31; // 31-33
inline constexpr int kExpenses = 34; // benefit expenses of the period
inline constexpr int kExpensesBefore = 35;
inline constexpr int kExpensesQuarter = 36;
inline constexpr int kExpensesMonth1 = 37; // 37-39

// Table 3, benefits: each line's first value (cases or persons, days or
// payments, amount, a fourth column).
inline constexpr int kSickLeave = 40;
inline constexpr int kSickLeavePartTime = 44;
inline constexpr int kCareLeave = 48;
inline constexpr int kCareLeavePartTime = 52;
inline constexpr int kKind168 = 56;
inline constexpr int kKind165 = 58;
inline constexpr int kChildCare = 60;
inline constexpr int kChildCareFull = 64;
inline constexpr int kKind169 = 68;
inline constexpr int kKind170 = 72;
inline constexpr int kChildCarePartTime = 76;
inline constexpr int kKind169PartTime = 80;
inline constexpr int kKind170PartTime = 84;
inline constexpr int kKind167 = 88;
inline constexpr int kKind166 = 91;
inline constexpr int kBenefitDays = 94;
inline constexpr int kBenefitAmount = 95;

// Insurance against accidents at work and occupational diseases.
inline constexpr int kInjuryBase = 161; // 162-164 months 1-3
inline constexpr int kInjuryDisabledBase = 165; // 166-168
inline constexpr int kInjuryAccrued = 169;
inline constexpr int kInjuryRate = 170; // percent
inline constexpr int kInjuryBefore = 171; // 172-174 months 1-3
inline constexpr int kInjuryBenefitDays = 175;
inline constexpr int kInjuryBenefitAmount = 176;
inline constexpr int kInjuryBenefitTotal = 179;
inline constexpr int kInjuryBenefitPersons = 180;
inline constexpr int kInjuryBenefitBefore = 181; // 182-184 months 1-3
inline constexpr int kInjuryAccruedMonth1 = 232; // 232-234, whole roubles

// Values that the editors enter.
inline constexpr int kPaidStart = 185; // table 1: paid before the period
inline constexpr int kPaymentOrders = 186; // five orders: packed date, number, sum
inline constexpr int kInjuryPaidStart = 201; // table 7
inline constexpr int kInjuryOrders = 202; // six orders
inline constexpr int kPaymentOrderCount = 5, kInjuryOrderCount = 6;
inline constexpr int kTable41 = 250; // 250-254
inline constexpr int kAdditional = 255; // 255-260
inline constexpr int kDebtsStart = 262; // 262-266
inline constexpr int kInsurerDebtStart = 267;
inline constexpr int kInjuryDebtStart = 268;
inline constexpr int kInjuryFundDebtStart = 269;

// The yearly contribution rate that the base is checked against.
inline constexpr double kRatePercent = 2.9;

} // namespace kalvor::reports::fss4
