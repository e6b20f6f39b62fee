#pragma once
// Rounding of payroll amounts (kopecks held in doubles).
//
// The rules are those of formatting an amount ("%10.0f", "%10.2f", "%15.5f")
// and reading the text back, with the value first taken to 17 significant
// digits and the text then rounded half away from zero (shell/RoundText.h).
// RoundWhole and the step modes 2-5 are computed arithmetically; they give the
// same result as the text route for every amount (checked by the payroll
// tests against the text helper). Whole roubles (mode 1), the payout cut and
// the roubles/kopecks split go through the text helper itself.
//
// These functions take no document; the pay-kind and base-setting forms that
// the engine and the statements call are in payroll/PayKinds.h.

namespace kalvor {

// Rounding modes of the base setting okrugRas and, shifted by one, of a pay
// kind's okrug field; scoped, so that no name of it clashes with a function's
// (the income tax reports have a RoundRoubles).
enum class RoundingMode : int {
    Kopecks = 0, // whole kopecks, every exact half up
    Roubles = 1, // whole kopecks by the two-decimal rouble text, then kopecks dropped
    TenKopecks = 2, // multiple of 10 kopecks, nearest, halves up
    OneRouble = 3, // multiple of 100 kopecks
    TenRoubles = 4, // multiple of 1,000 kopecks
    HundredRoubles = 5, // multiple of 10,000 kopecks
};

// The value of a pay kind's okrug field that makes every amount of the kind 0.
inline constexpr int kOkrugZero = 7;

// Nearest whole number; every exact half goes up (towards plus infinity):
// 2.5 -> 3, -2.5 -> -2, -2.6 -> -3, 0.5 -> 1, -0.5 -> 0.
double RoundWhole(double amount);

// The amount rounded by a rounding mode. A value outside the modes (the
// settings allow only 0-5) rounds to whole kopecks like Kopecks.
double RoundByMode(double amount, RoundingMode mode);

// The amount rounded by a pay kind's 3-bit okrug field: 0 uses the base mode
// okrugRas, 1-6 are modes 0-5, 7 gives 0.
double RoundByKindField(double amount, int okrugField, int okrugRas);

// The amount to pay out: RoundWhole, then cut towards zero to a multiple of
// 10^okrugVyp kopecks (okrugVyp 0-5: 1, 10, ... 100,000 kopecks).
double RoundPayoutStep(double amount, int okrugVyp);

// Selector 0: the whole roubles of the amount (kopecks), sign kept (-1235
// kopecks gives -12); any other selector: its kopecks 0-99, never negative.
// The amount is first rounded to whole kopecks through its two-decimal rouble
// text, so 99.5 kopecks gives 1 rouble and 0 kopecks.
double SplitRoublesKopecks(int selector, double amount);

} // namespace kalvor
