#pragma once
// The pay-kind codes with a fixed meaning, in one place: those the engine
// writes or reads by number, those of the income tax, and the whole list of
// built-in kinds (the pay-kind book keeps them from being deleted or renamed,
// and a new base carries them).

namespace kalvor {

// Every code is below 1000: the firm's masks keep a byte for each code from
// 0 to 999, and a code outside that has no place in them.
inline constexpr int kPayKindCodeCount = 1000;
constexpr bool IsCodeInRange(int code) { return code >= 0 && code < kPayKindCodeCount; }

// Codes the engine writes or reads by number.
enum CalcCode : int {
    kCodeUnpaid = 600,
    kCodePayout = 904,
    kCodeAdvance = 901,
    kCodeTaxRow = 902,
    kCodeRestPay = 920,
    kCodeRemainder = 921,
    kCodeDebtCarried = 915, // the employee's debt, carried to the next month
    kCodePensionTaxed = 922,
    kCodePensionOther = 923,
    kCodeLoanInterest = 79,
};

// A row of code 920 or 921 comes back in the next month as an input row of
// these codes: the pay left over (from 920) and the remainder (from 921).
inline constexpr int kCodeRestPayCarried = 151;
inline constexpr int kCodeRemainderCarried = 150;
constexpr bool IsCarriedPayCode(int code) { return code == kCodeRestPayCarried || code == kCodeRemainderCarried; }

// The basic pay, which carries the days and the time it paid for: the piece
// work by work orders (1), the brigade's piece work, paid under a brigade
// contract (2), the time pay by the hourly tariff (3) and the salary (4).
inline constexpr int kCodePieceWork = 1;
inline constexpr int kCodeBrigadeContract = 2;
inline constexpr int kCodeSalary = 4;
constexpr bool IsBasicPayCode(int code) { return code >= kCodePieceWork && code <= kCodeSalary; }
// The piece work (1 and 2): under piece-work pay the month's row of it
// carries the time sheet's days and time.
constexpr bool IsPieceWorkCode(int code) { return code == kCodePieceWork || code == kCodeBrigadeContract; }

// The quarterly bonus (7): its percent is of the last quarter's base, and
// the averages take it with the bonuses, not with the month's earnings.
inline constexpr int kCodeQuarterBonus = 7;

// The brigade leader's supplement (45): pay for leading the brigade, whose
// time is the brigade's, never a row's own.
inline constexpr int kCodeBrigadeLeaderPay = 45;

// The pay for forced idle time (62): where the averages take its time as
// time off, they count its hours, not its days.
inline constexpr int kCodeForcedIdlePay = 62;

// Material aid (75): its income within the allowance free of contributions
// is kept apart by the contributions.
inline constexpr int kCodeMaterialAid = 75;

// Dividends (178): no earnings of work, so no average and no coefficient
// takes them; the pay-kind book clears those flags whenever it is saved.
inline constexpr int kCodeDividends = 178;

// Accruals have codes below 700, deductions from 700 on.
inline constexpr int kFirstDeductionCode = 700;
constexpr bool IsAccrualCode(int code) { return code < kFirstDeductionCode; }
// The accruals that are money: all but the unpaid time (600), whose row only
// marks the days.
constexpr bool IsPaidAccrualCode(int code) { return IsAccrualCode(code) && code != kCodeUnpaid; }

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

// The deductions the rest transferred to a bank is left after: 700 to 934
// except 865 to 890. The bank's commissions (935 to 937) and 938, 939 are
// not taken off before the rest is known: the commissions are worked out on
// the transfers themselves.
constexpr bool IsRestReducingCode(int code)
{
    return code >= kFirstDeductionCode && code <= 934 && !IsInformationDeductionCode(code);
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

// Every code from 700 on before the contributions (700 to 989): the
// deductions, the cost-allocation groups and the allocation kinds, which
// the summaries take as deductions.
constexpr bool IsDeductionBeforeContributionsCode(int code)
{
    return code >= kFirstDeductionCode && code < kFirstContributionCode;
}

// The transfers of the pay to a bank (903) and to a bank card (906); a card
// transfer makes the bank's commission be taken off the advance (936), off a
// payout between the months (937) and off the rest transferred (935).
inline constexpr int kCodeBankTransfer = 903;
inline constexpr int kCodeCardTransfer = 906;
constexpr bool IsTransferCode(int code) { return code == kCodeBankTransfer || code == kCodeCardTransfer; }
// A bank-transfer row with a code and no amount asks for the rest of the pay,
// which only the transfers 903 and 906 send: under any other code the
// calculation transfers nothing and the rest is paid with the amount to pay.
constexpr bool IsUnsentRest(int code, double amount) { return code != 0 && amount == 0 && !IsTransferCode(code); }

// A loan is repaid by a deduction of its own kind: a code from 701 to 995,
// the place a loan keeps for its code.
inline constexpr int kFirstLoanCode = 701;
inline constexpr int kLastLoanCode = 995;
constexpr bool IsLoanCode(int code) { return code >= kFirstLoanCode && code <= kLastLoanCode; }
inline constexpr int kCodeCommissionOnRest = 935;
inline constexpr int kCodeCommissionOnAdvance = 936;
inline constexpr int kCodeCommissionOnPayout = 937;

// The deductions that the personal account lists one by one: cash paid out
// (905), for vacation days not worked (908), of sums paid in excess (909),
// alimony (911) and by writs (912, and 913 not taken from the benefits),
// with the second tax's row (919).
inline constexpr int kCodeCashPaid = 905;
inline constexpr int kCodeUnworkedVacationDays = 908;
inline constexpr int kCodeOverpaid = 909;
inline constexpr int kCodeAlimony = 911;
inline constexpr int kCodeWrit = 912;
inline constexpr int kCodeWritWithoutBenefits = 913;
// The postal fee of sending a writ's deduction (914).
inline constexpr int kCodePostalFee = 914;

// The deduction code of a writ of a kind: 1 alimony (911), 2 a writ not
// taken from the benefits (913), 3 any other writ (912); 0 for a kind that is
// none of them, which deducts nothing.
constexpr int WritDeductionCode(int kind)
{
    switch (kind) {
    case 1: return kCodeAlimony;
    case 2: return kCodeWritWithoutBenefits;
    case 3: return kCodeWrit;
    default: return 0;
    }
}

// The payments at average earnings: the vacation pay and the compensation
// (85-91, 95-98) and the annual vacation pay by financing source (601-634).
// The regional coefficient and the northern supplement on average earnings
// are worked out on them.
constexpr bool IsAveragePayCode(int code)
{
    return (code >= 85 && code <= 91) || (code >= 95 && code <= 98) || (code >= 601 && code <= 634);
}

// The annual vacation pay on account of the next month (87), the second
// (97) and the third month after the reporting month (98).
inline constexpr int kCodeVacationNextMonth = 87;
inline constexpr int kCodeVacationSecondMonth = 97;
inline constexpr int kCodeVacationThirdMonth = 98;
constexpr bool IsFutureVacationCode(int code)
{
    return code == kCodeVacationNextMonth || code == kCodeVacationSecondMonth || code == kCodeVacationThirdMonth;
}

// The vacation pay that makes a vacation of the personal account's list:
// the annual (85, 87), the additional (86, 88), of kind 3 (90, 91) and of
// kind 2 (95, 96, 603, 604). The pay on account of the second and third
// month (97, 98) and the compensations make no vacation of their own.
constexpr bool IsListedVacationCode(int code)
{
    return (code >= 85 && code <= 88) || code == 90 || code == 91 || code == 95 || code == 96 || code == 603 ||
           code == 604;
}

// The vacation such a code pays: 1 additional (86, 88), 2 of kind 2 (95, 96,
// 603, 604), 3 of kind 3 (90, 91), 0 the annual vacation.
constexpr int VacationKindOfCode(int code)
{
    if (code == 86 || code == 88)
        return 1;
    if (code == 95 || code == 96 || code == 603 || code == 604)
        return 2;
    if (code == 90 || code == 91)
        return 3;
    return 0;
}

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
inline constexpr int kFirstSickBenefitCode = 155;
inline constexpr int kFirstInjuryBenefitCode = 195;
constexpr bool IsSickBenefitCode(int code)
{
    return code >= kFirstSickBenefitCode && code <= kFirstSickBenefitCode + 2;
}
constexpr bool IsInjuryBenefitCode(int code)
{
    return code >= kFirstInjuryBenefitCode && code <= kFirstInjuryBenefitCode + 2;
}
inline constexpr int kCodeMaternity = 158;
inline constexpr int kCodeMaternityNext = 159;
constexpr bool IsMaternityCode(int code) { return code == kCodeMaternity || code == kCodeMaternityNext; }
constexpr bool IsBenefitSupplementCode(int code) { return code == 103 || code == 104; }
constexpr bool IsEmployerSickDaysCode(int code) { return code >= 110 && code <= 112; }

// The pay at average earnings for time away (154), which the dated archive
// keeps for a sheet of kind 6.
inline constexpr int kCodeAbsenceAtAverage = 154;

// The rest of a sick-leave part up to the earnings (153), when the benefit is
// split at its percent.
inline constexpr int kCodeSickLeaveTopUp = 153;

// The regional coefficient (83) and the northern supplement (82) on the
// month's pay.
inline constexpr int kCodeRegionalCoefficient = 83;
inline constexpr int kCodeNorthernSupplement = 82;

// The compensation of unused vacation (89), of a vacation of kind 1 (689).
inline constexpr int kCodeVacationCompensation = 89;
inline constexpr int kCodeKind1VacationCompensation = 689;

// A brigade bonus's share for the planned holiday time (17).
inline constexpr int kCodeHolidayTimeBonus = 17;

// The benefit of the sheets of kinds 8 and 9 (655-657) and of kind 10
// (695-697), each for the last month, the month and the next month; kind
// 10's first days at the employer's cost are 115-117.
constexpr bool IsKind8Or9SheetBenefitCode(int code) { return code >= 655 && code <= 657; }
constexpr bool IsKind10SheetBenefitCode(int code) { return code >= 695 && code <= 697; }
constexpr bool IsOtherSheetBenefitCode(int code)
{
    return IsKind8Or9SheetBenefitCode(code) || IsKind10SheetBenefitCode(code);
}

// The block 110 to 117: the employer's first days of a sick leave (110-112,
// and 115-117 of kind 10), with the child-care allowance (113) and the
// burial allowance (114) between them. The Infin postings book the whole
// block as sick pay.
constexpr bool IsSickPayBlockCode(int code) { return code >= 110 && code <= 117; }

// The benefits by the sheet's financing source 1 to 4: the sick-leave
// benefit for the last month (661-664), the month (671-674) and the next
// month (681-684); the maternity benefit for the month (641-644) and the
// next month (651-654); the employer's first days are 561-584.
constexpr bool IsSickBenefitBySourceCode(int code)
{
    return (code >= 661 && code <= 664) || (code >= 671 && code <= 674) || (code >= 681 && code <= 684);
}
constexpr bool IsMaternityBySourceCode(int code)
{
    return (code >= 641 && code <= 644) || (code >= 651 && code <= 654);
}
// 665 and 666 follow the last month's sick-leave benefit by source (sources
// 5 and 6): the social insurance's report from 2011 counts them with it.
constexpr bool IsSickBenefitOfSource5Or6Code(int code) { return code == 665 || code == 666; }

// The sick leave paid by days, which the personal account lists day by day:
// the employer's first days (110-112, 115-117, and 561-590 by financing
// source), the sick-leave benefits (155-157, 655-657, 695-697, and 661-690
// by financing source) and the maternity benefit (158, 159).
constexpr bool IsSickLeaveDaysCode(int code)
{
    return IsEmployerSickDaysCode(code) || (code >= 115 && code <= 117) || (code >= 155 && code <= 159) ||
           (code >= 561 && code <= 590) || IsOtherSheetBenefitCode(code) || (code >= 661 && code <= 690);
}

// The payments made in the reporting month for a later month: the vacation
// pay on account of the next months (87, 88, 91, 96-98), the employer's
// first days and the benefits of the next month (112, 117, 157, 159), and
// 114. In the averages a row of one of these under an earlier month number
// is of the next year.
constexpr bool IsPaidAheadCode(int code)
{
    return code == 87 || code == 88 || code == 91 || (code >= 96 && code <= 98) || code == 112 || code == 114 ||
           code == 117 || code == 157 || code == 159;
}
// The payments by financing source: the employer's first days (561-590), the
// vacation pay (601-640) and the sick-leave benefit (661-690). In the
// averages a row of one of these under a later month number is still of the
// reporting year.
constexpr bool IsBySourceCode(int code)
{
    return (code >= 561 && code <= 590) || (code >= 601 && code <= 640) || (code >= 661 && code <= 690);
}
// The payments whose days the averages never count as time off: those by
// financing source and the maternity benefit by source (641-644, 651-656).
constexpr bool IsNeverTimeOffCode(int code)
{
    return IsBySourceCode(code) || (code >= 641 && code <= 644) || (code >= 651 && code <= 656);
}

// The pay of days kept for duties, which the social insurance's report
// counts by code: donor days (165), the medical examination (166), state
// duties (167) and study leave (168).
inline constexpr int kCodeDonorDays = 165;
inline constexpr int kCodeMedicalExamination = 166;
inline constexpr int kCodeStateDuties = 167;
inline constexpr int kCodeStudyLeave = 168;

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

// The days check of an earlier month (no month holds more days than it has).
// The kinds paid by calendar days, whose days it takes as they are: vacation
// pay (85, 87, 95-98), the block 110-117, the pay for time away, the
// benefits and the maternity (154-159), the child care (169, 170, 669), the
// injury benefit (195-197), unpaid time (600), the maternity by financing
// source (641-654) and the benefit of kind 10 (695-697).
constexpr bool IsCalendarDaysCode(int code)
{
    return code == 85 || code == 87 || (code >= 95 && code <= 98) || IsSickPayBlockCode(code) ||
           (code >= kCodeAbsenceAtAverage && code <= kCodeMaternityNext) || IsChildCareCode(code) ||
           IsInjuryBenefitCode(code) || code == kCodeUnpaid || code == kCodeChildCareLater ||
           (code >= 641 && code <= 654) || IsKind10SheetBenefitCode(code);
}
// The kinds whose rows open no month of the check: the holiday and day-off
// pay and supplements (16-19), the brigade leader's supplement (45), the
// vacation pay of later months and the compensations (86-89, 96-98, 591-594,
// 611-633), the remainder carried (150), the pay for time away (154) and the
// benefits of the next month (157, 159, 651-654, 697).
constexpr bool OpensNoDaysCheckMonth(int code)
{
    return (code >= 16 && code <= 19) || code == kCodeBrigadeLeaderPay || (code >= 86 && code <= 89) ||
           (code >= 96 && code <= 98) || code == kCodeRemainderCarried || code == kCodeAbsenceAtAverage ||
           code == 157 || code == 159 || (code >= 591 && code <= 594) || (code >= 611 && code <= 633) ||
           (code >= 651 && code <= 654) || code == 697;
}
// The kinds by financing source that the check leaves out unless they are
// paid by calendar days: 561-584, 601-634 and 661-684.
constexpr bool IsLeftOutOfDaysCheckCode(int code)
{
    return (code >= 561 && code <= 584) || (code >= 601 && code <= 634) || (code >= 661 && code <= 684);
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
    return code == 17 || code == 19 || code == 21 || code == 22 || code == 41 || code == kCodeBrigadeLeaderPay;
}

// Codes with a fixed meaning to the income tax.
inline constexpr int kCodeFormerEmployerIncome = 401;
inline constexpr int kCodeIncomeTax = kCodeTaxRow; // the tax row the engine writes
inline constexpr int kCodeSecondTax = 919;
// The second income group (71 and 178) and the third, taxed at 35 % (79, the
// interest saved on a loan, and 84).
constexpr bool IsSecondIncomeGroupCode(int code) { return code == 71 || code == kCodeDividends; }
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
