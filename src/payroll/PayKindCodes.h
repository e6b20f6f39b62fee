#pragma once
// The pay-kind codes with a fixed meaning, in one place: those the engine
// writes or reads by number, those of the income tax, and the whole list of
// built-in kinds (the pay-kind book keeps them from being deleted or renamed,
// and a new base carries them).

namespace kalvor {

// Codes the engine writes or reads by number.
enum CalcCode : int {
    kCodeUnpaid = 600,
    kCodePayout = 904,
    kCodeAdvance = 901,
    kCodeTaxRow = 902,
    kCodeRestPay = 920,
    kCodeRemainder = 921,
    kCodePensionTaxed = 922,
    kCodePensionOther = 923,
    kCodeLoanInterest = 79,
};

// The child-care allowance up to 1.5 years (sick-leave sheets of kinds 5 and
// 7), first child and further children: paid in the month and kept as the
// archive's permanent payments under the same codes.
inline constexpr int kCodeChildCareFirst = 169;
inline constexpr int kCodeChildCareSecond = 170;
constexpr bool IsChildCareCode(int code) { return code == kCodeChildCareFirst || code == kCodeChildCareSecond; }

// The yearly bonuses that the sick-leave average takes in a fixed way (a
// twelfth of the year's, whatever the kind's flags): the year's bonus for
// the benefits, last year's reward and the year's bonus. The pay-kind book
// clears their sick-leave flags whenever it is saved.
inline constexpr int kCodeYearBonusForBenefits = 163;
inline constexpr int kCodeLastYearReward = 171;
inline constexpr int kCodeYearBonus = 172;
constexpr bool IsFixedSickLeaveCode(int code)
{
    return code == kCodeYearBonusForBenefits || code == kCodeLastYearReward || code == kCodeYearBonus;
}

// The supplements for the time worked at holidays, days off, evenings,
// nights, overtime and for leading a brigade: their days and hours are time
// already counted by the wage, so no sum of worked time counts them again.
constexpr bool IsTimeExcludedCode(int code)
{
    return code == 17 || code == 19 || code == 21 || code == 22 || code == 41 || code == 45;
}

// Codes with a fixed meaning to the income tax.
inline constexpr int kCodeFormerEmployerIncome = 401;
inline constexpr int kCodeIncomeTax = kCodeTaxRow; // the tax row the engine writes
inline constexpr int kCodeSecondTax = 919;

// The built-in kinds, as ascending runs of codes (86 codes).
struct PayKindCodeRun {
    int first, last;
};
inline constexpr PayKindCodeRun kBuiltInPayKindCodes[] = {
    {1, 9},     {16, 19},   {21, 22},   {25, 25},   {35, 35},   {39, 41},   {45, 45},   {71, 71},
    {75, 75},   {82, 83},   {85, 89},   {101, 104}, {110, 117}, {150, 151}, {154, 159}, {163, 163},
    {165, 172}, {178, 178}, {195, 197}, {901, 909}, {911, 915}, {919, 921}, {990, 995},
};

} // namespace kalvor
