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

// A row of code 920 or 921 comes back in the next month as an input row of
// these codes: the pay left over (from 920) and the remainder (from 921).
inline constexpr int kCodeRestPayCarried = 151;
inline constexpr int kCodeRemainderCarried = 150;
constexpr bool IsCarriedPayCode(int code) { return code == kCodeRestPayCarried || code == kCodeRemainderCarried; }

// Accruals have codes below 700, deductions from 700 on.
inline constexpr int kFirstDeductionCode = 700;
constexpr bool IsAccrualCode(int code) { return code < kFirstDeductionCode; }

// Kinds 865 to 890 are deductions of information only: nothing is taken
// off the pay, and no total counts them.
constexpr bool IsInformationDeductionCode(int code) { return code >= 865 && code <= 890; }

// The deductions the month's totals count: 700 to 939 except 865 to 890
// (information only); from 940 on come the cost-allocation groups, the
// allocation kinds and the contributions.
constexpr bool IsMonthDeductionCode(int code)
{
    return code >= kFirstDeductionCode && code <= 939 && !IsInformationDeductionCode(code);
}

// The amount-to-pay rule: the deductions that reduce the pay are 700 to 937
// except 865 to 890. The month's totals count on to 939; 938 and 939 are
// left out of the amount to pay.
constexpr bool IsPayReducingCode(int code)
{
    return code >= kFirstDeductionCode && code <= 937 && !IsInformationDeductionCode(code);
}

// The cost-allocation groups (940 to 964): kinds whose cost codes spread
// the month's amounts over the costs.
inline constexpr int kFirstCostGroupCode = 940;
inline constexpr int kLastCostGroupCode = 964;

// The contributions (990 to 995): 990 to the pension fund, 991 to 994 the
// social tax's funds, 995 the accident insurance. The pension contribution
// and the accident insurance are charged by the employee's age group; the
// accident insurance has no yearly cap.
inline constexpr int kFirstContributionCode = 990;
inline constexpr int kLastContributionCode = 995;
inline constexpr int kCodePensionContribution = 990;
inline constexpr int kCodeAccidentInsurance = 995;
constexpr bool IsContributionCode(int code) { return code >= kFirstContributionCode && code <= kLastContributionCode; }
constexpr bool IsSocialTaxCode(int code) { return code > kCodePensionContribution && code < kCodeAccidentInsurance; }
constexpr bool IsByAgeGroupCode(int code) { return code == kCodePensionContribution || code == kCodeAccidentInsurance; }

// The allocation kinds (965 to 989), between the cost-allocation groups and
// the contributions.
constexpr bool IsAllocationCode(int code) { return code > kLastCostGroupCode && code < kFirstContributionCode; }

// The transfers of the pay to a bank (903) and to a bank card (906); a card
// transfer makes the bank's commission be taken off the advance (936), off a
// payout between the months (937) and off the rest transferred (935).
inline constexpr int kCodeBankTransfer = 903;
inline constexpr int kCodeCardTransfer = 906;
constexpr bool IsTransferCode(int code) { return code == kCodeBankTransfer || code == kCodeCardTransfer; }
inline constexpr int kCodeCommissionOnRest = 935;
inline constexpr int kCodeCommissionOnAdvance = 936;
inline constexpr int kCodeCommissionOnPayout = 937;

// Pay for months to come: vacation pay (87), additional vacation pay (88)
// and vacation pay of kind 2 (96) on account of the next months, and the
// sick-leave (157) and maternity (159) benefits of the next month. A row of
// one of these for a month before the reporting month is of the next year.
constexpr bool IsNextMonthsPayCode(int code)
{
    return code == 87 || code == 88 || code == 96 || code == 157 || code == 159;
}

// The benefits, each for the last month, the month and the next month: the
// sick-leave benefit (155 to 157), the benefit for an accident at work
// (195 to 197); the maternity benefit (158, and 159 for the next month); the
// northern supplement (103) and the regional coefficient (104) on benefits;
// the employer's pay for the first days of a sick leave (110 to 112).
constexpr bool IsSickBenefitCode(int code) { return code >= 155 && code <= 157; }
constexpr bool IsInjuryBenefitCode(int code) { return code >= 195 && code <= 197; }
inline constexpr int kCodeMaternity = 158;
inline constexpr int kCodeMaternityNext = 159;
constexpr bool IsMaternityCode(int code) { return code == kCodeMaternity || code == kCodeMaternityNext; }
constexpr bool IsBenefitSupplementCode(int code) { return code == 103 || code == 104; }
constexpr bool IsEmployerSickDaysCode(int code) { return code >= 110 && code <= 112; }

// The child-care allowance up to 1.5 years (sick-leave sheets of kinds 5 and
// 7), first child and further children: paid in the month and kept as the
// archive's permanent payments under the same codes.
inline constexpr int kCodeChildCareFirst = 169;
inline constexpr int kCodeChildCareSecond = 170;
constexpr bool IsChildCareCode(int code) { return code == kCodeChildCareFirst || code == kCodeChildCareSecond; }

// The child-care payment that runs on after the allowance (to three years).
inline constexpr int kCodeChildCareLater = 669;

// The standing entries of time off: unpaid time and the child-care
// payments. Their days come off the planned days of the months they cover,
// and the month change keeps them in the dated archive.
constexpr bool IsStandingTimeOffCode(int code)
{
    return code == kCodeUnpaid || IsChildCareCode(code) || code == kCodeChildCareLater;
}

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
// The second income group (71 and 178) and the third, taxed at 35 % (79, the
// interest saved on a loan, and 84).
constexpr bool IsSecondIncomeGroupCode(int code) { return code == 71 || code == 178; }
constexpr bool IsThirdIncomeGroupCode(int code) { return code == kCodeLoanInterest || code == 84; }

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
