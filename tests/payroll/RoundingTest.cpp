// Rounding of amounts: worked values and the agreement of the arithmetic
// rounding with the formatted-text route for amounts below 2^31 kopecks.
#include "payroll/Rounding.h"
#include "values/RoundText.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

using namespace kalvor;

namespace {

double readBack(const QByteArray& text)
{
    const char* p = text.constData();
    const char* end = p + text.size();
    while (p < end && *p == ' ') ++p;
    double v = 0;
    std::from_chars(p, end, v);
    return v;
}

// The text route written out step by step: "%10.0f", read back, an exact
// negative half moved up.
double textRoundWhole(double x)
{
    double r = readBack(FormatFixed8(x, 0, 10));
    if (x < 0 && x - r == 0.5)
        r += 1;
    return r;
}

// Steps 10 .. 10,000: "%10.0f" of x / d, read back, to a 32-bit integer, the
// negative half moved up, times d in 32-bit arithmetic.
double textRoundStep(double x, std::int32_t d)
{
    const double q = x / d;
    const double r = readBack(FormatFixed8(q, 0, 10));
    auto n = static_cast<std::int32_t>(r);
    if (q < 0 && q - r == 0.5)
        n += 1;
    return double(std::int64_t(n) * d);
}

std::vector<double> sampleAmounts()
{
    std::vector<double> v;
    const double top = 2147483648.0; // 2^31
    std::mt19937_64 rng(20261207);
    std::uniform_real_distribution<double> any(-top, top);
    std::uniform_int_distribution<std::int64_t> whole(-(std::int64_t(1) << 31), (std::int64_t(1) << 31) - 1);
    for (int i = 0; i < 40000; ++i) {
        v.push_back(any(rng));
        const double k = double(whole(rng));
        v.push_back(k);
        v.push_back(k + 0.5);
        v.push_back(std::nextafter(k + 0.5, top));
        v.push_back(std::nextafter(k + 0.5, -top));
        // Small amounts with fractions, where the relative precision is highest.
        v.push_back(any(rng) / 1e6);
    }
    // Every half near the boundaries of each step, and near zero.
    for (double d : {1.0, 10.0, 100.0, 1000.0, 10000.0}) {
        for (std::int64_t k = -300; k <= 300; ++k) {
            const double h = double(k) * d + d / 2;
            for (double c : {h, std::nextafter(h, top), std::nextafter(h, -top), h - 0.5, h + 0.5}) v.push_back(c);
        }
        // The last halves below 2^31.
        const double h = std::floor((top - d) / d) * d + d / 2;
        for (double c : {h, -h, std::nextafter(h, 0.0), -std::nextafter(h, 0.0)}) v.push_back(c);
    }
    for (double c : {0.0, -0.0, 0.5, -0.5, 1.5, -1.5, 2.5, -2.5, 0.49999999999999994, -0.49999999999999994,
                     2147483647.0, -2147483647.5, 2147483646.5})
        v.push_back(c);
    std::erase_if(v, [top](double x) { return !(std::fabs(x) < top); });
    return v;
}

} // namespace

TEST(RoundWhole, HalvesGoUpAndMatchTheTextRoute)
{
    EXPECT_EQ(RoundWhole(0.5), 1);
    EXPECT_EQ(RoundWhole(-0.5), 0);
    EXPECT_EQ(RoundWhole(-1.5), -1);
    EXPECT_EQ(RoundWhole(std::nextafter(-1.5, -2.0)), -2);
    EXPECT_EQ(RoundWhole(2.5), 3);
    EXPECT_EQ(RoundWhole(-2.5), -2);
    EXPECT_EQ(RoundWhole(-2.6), -3);
    EXPECT_EQ(RoundWhole(1299.4), 1299);
    EXPECT_FALSE(std::signbit(RoundWhole(-0.4))); // no "-0.00" on a statement
}

TEST(RoundWhole, ArithmeticEqualsTextForAmountsBelow2To31)
{
    int mismatches = 0;
    for (double x : sampleAmounts()) {
        if (RoundWhole(x) != textRoundWhole(x) && ++mismatches < 10)
            ADD_FAILURE() << "RoundWhole(" << x << ") = " << RoundWhole(x) << ", text gives " << textRoundWhole(x);
        for (int mode = 2; mode <= 5; ++mode) {
            static const std::int32_t steps[] = {1, 1, 10, 100, 1000, 10000};
            const double a = RoundByMode(x, RoundingMode(mode)), b = textRoundStep(x, steps[mode]);
            if (a != b && ++mismatches < 10)
                ADD_FAILURE() << "mode " << mode << " of " << x << " = " << a << ", text gives " << b;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(RoundByMode, EveryModeAtHalvesAndNegativeAmounts)
{
    // Mode 0: whole kopecks.
    EXPECT_EQ(RoundByMode(1234.5, RoundingMode::Kopecks), 1235);
    EXPECT_EQ(RoundByMode(-1234.5, RoundingMode::Kopecks), -1234);
    // Mode 1: whole roubles through the rouble text, kopecks dropped towards zero.
    EXPECT_EQ(RoundByMode(1234.4, RoundingMode::Roubles), 1200);
    EXPECT_EQ(RoundByMode(1299.6, RoundingMode::Roubles), 1300); // the text is 13.00 roubles
    EXPECT_EQ(RoundByMode(1299.4, RoundingMode::Roubles), 1200);
    EXPECT_EQ(RoundByMode(-1250, RoundingMode::Roubles), -1200);
    EXPECT_EQ(RoundByMode(-1299.6, RoundingMode::Roubles), -1300);
    EXPECT_EQ(RoundByMode(99.5, RoundingMode::Roubles), 100); // 0.995 roubles prints as 1.00
    EXPECT_EQ(RoundByMode(-35, RoundingMode::Roubles), 0);
    EXPECT_FALSE(std::signbit(RoundByMode(-35, RoundingMode::Roubles)));
    // Mode 2: tens of kopecks.
    EXPECT_EQ(RoundByMode(15, RoundingMode::TenKopecks), 20);
    EXPECT_EQ(RoundByMode(-15, RoundingMode::TenKopecks), -10);
    EXPECT_EQ(RoundByMode(14.9, RoundingMode::TenKopecks), 10);
    // Mode 3: roubles, halves up.
    EXPECT_EQ(RoundByMode(1250, RoundingMode::OneRouble), 1300);
    EXPECT_EQ(RoundByMode(-1250, RoundingMode::OneRouble), -1200);
    EXPECT_EQ(RoundByMode(1249, RoundingMode::OneRouble), 1200);
    EXPECT_EQ(RoundByMode(-1251, RoundingMode::OneRouble), -1300);
    // Mode 4 and 5.
    EXPECT_EQ(RoundByMode(1500, RoundingMode::TenRoubles), 2000);
    EXPECT_EQ(RoundByMode(-1500, RoundingMode::TenRoubles), -1000);
    EXPECT_EQ(RoundByMode(15000, RoundingMode::HundredRoubles), 20000);
    EXPECT_EQ(RoundByMode(-15000, RoundingMode::HundredRoubles), -10000);
    EXPECT_EQ(RoundByMode(-15001, RoundingMode::HundredRoubles), -20000);
    // Past 2^31 kopecks the steps still come out right (no 32-bit overflow).
    EXPECT_EQ(RoundByMode(21474836500.0, RoundingMode::OneRouble), 21474836500.0);
    EXPECT_EQ(RoundByMode(-21474836545.0, RoundingMode::TenKopecks), -21474836540.0);
}

TEST(RoundByKindField, FieldSevenZeroesAndFieldZeroUsesTheBaseMode)
{
    EXPECT_EQ(RoundByKindField(4950, 0, 3), 5000);
    EXPECT_EQ(RoundByKindField(4949, 0, 3), 4900);
    EXPECT_EQ(RoundByKindField(-4950, 0, 3), -4900);
    for (double x : {123456.7, -123456.7, 0.5, -0.5}) EXPECT_EQ(RoundByKindField(x, 7, 0), 0.0) << x;
    EXPECT_EQ(RoundByKindField(4950.5, 1, 3), 4951); // field 1 = mode 0
    EXPECT_EQ(RoundByKindField(4950, 4, 0), 5000); // field 4 = mode 3
    EXPECT_EQ(RoundByKindField(4950, 6, 0), 0); // field 6 = mode 5: 0.495 of 100 roubles
    EXPECT_EQ(RoundByKindField(5000, 6, 0), 10000);
}

TEST(RoundPayoutStep, CutsTowardsZeroAfterWholeKopecks)
{
    EXPECT_EQ(RoundPayoutStep(12345, 2), 12300);
    EXPECT_EQ(RoundPayoutStep(-12345, 2), -12300);
    EXPECT_EQ(RoundPayoutStep(12399, 2), 12300);
    EXPECT_EQ(RoundPayoutStep(99999, 5), 0);
    EXPECT_EQ(RoundPayoutStep(100000, 5), 100000);
    EXPECT_EQ(RoundPayoutStep(12399.5, 0), 12400);
    // okrugVyp 0 equals RoundWhole.
    for (double x : {0.5, -0.5, 12.49, -12.5, 99999.5}) EXPECT_EQ(RoundPayoutStep(x, 0), RoundWhole(x)) << x;
    EXPECT_EQ(RoundPayoutStep(1999.5, 3), 2000); // whole kopecks first, then the cut
    EXPECT_EQ(RoundPayoutStep(-1999.4, 3), -1000);
    EXPECT_EQ(RoundPayoutStep(987654321.4, 1), 987654320);
    EXPECT_EQ(RoundPayoutStep(123456789012345, 2), 123456789012300); // beyond a billion roubles
    EXPECT_FALSE(std::signbit(RoundPayoutStep(-99999, 5))); // a cut to nothing is no negative zero
    // The quotient is read to five decimals before the cut: 1.999996 reads
    // 2.00000, so a step of a million takes 1,999,996 up, 1,999,994 down.
    EXPECT_EQ(RoundPayoutStep(1999996, 6), 2000000);
    EXPECT_EQ(RoundPayoutStep(1999994, 6), 1000000);
    EXPECT_EQ(RoundPayoutStep(-19999996, 7), -20000000);
}

TEST(SplitRoublesKopecks, RoublesKeepTheSignKopecksDoNot)
{
    EXPECT_EQ(SplitRoublesKopecks(0, 1235), 12);
    EXPECT_EQ(SplitRoublesKopecks(1, 1235), 35);
    EXPECT_EQ(SplitRoublesKopecks(0, -1235), -12);
    EXPECT_EQ(SplitRoublesKopecks(1, -1235), 35);
    EXPECT_EQ(SplitRoublesKopecks(0, 99.5), 1);
    EXPECT_EQ(SplitRoublesKopecks(1, 99.5), 0);
    EXPECT_EQ(SplitRoublesKopecks(2, 199), 99);
}
