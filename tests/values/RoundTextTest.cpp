#include "values/RoundText.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace kalvor;

namespace {

struct Case {
    double value;
    int decimals;
    const char* text;
};

// Halves and near-halves: the value is taken to 17 significant digits, then
// rounded half away from zero. Where glibc's printf differs it is noted.
const Case kCases[] = {
    {0.005, 2, "0.01"}, // 0.0050000000000000001
    {0.015, 2, "0.01"}, // 0.014999999999999999
    {0.125, 2, "0.13"}, // exact half (printf: 0.12)
    {1.005, 2, "1.00"}, // 1.0049999999999999
    {2.675, 2, "2.67"}, // 2.6749999999999998
    {0.995, 2, "1.00"}, // 17 digits make it 0.995 (printf: 0.99)
    {-0.995, 2, "-1.00"},
    {1.115, 2, "1.12"}, // (printf: 1.11)
    {9.995, 2, "9.99"}, // 9.9949999999999992
    {8.345, 2, "8.35"},
    {1.255, 2, "1.25"},
    {0.045, 2, "0.04"},
    {-0.005, 2, "-0.01"},
    {2.5, 0, "3"}, // (printf: 2)
    {-2.5, 0, "-3"},
    {0.5, 0, "1"}, // (printf: 0)
    {1.5, 0, "2"},
    {1234.5, 0, "1235"},
    {-1234.5, 0, "-1235"},
    {1e15 + 0.5, 0, "1000000000000001"}, // (printf: ...000)
    {0.49999999999999994, 0, "0"},
    {123456789.125, 2, "123456789.13"},
    {0.25, 1, "0.3"},
    {1.45, 1, "1.5"},
    {0.15, 1, "0.1"},
    {4.35, 1, "4.3"},
    {1.0005, 3, "1.000"},
    {2.0005, 3, "2.001"},
    {1.9996, 3, "2.000"},
    {0.0, 2, "0.00"},
    {-0.0, 2, "-0.00"},
    {1e-20, 2, "0.00"},
    {5e-324, 2, "0.00"},
    {1e20, 2, "100000000000000000000.00"},
    {999.5, 0, "1000"}, // carry through every digit
    {0.9995, 3, "1.000"},
    {0.9, 0, "1"},
    {7.0, 3, "7.000"},
};

} // namespace

TEST(RoundText, HalvesAndNearHalves)
{
    for (const Case& c : kCases)
        EXPECT_EQ(FormatFixed8(c.value, c.decimals), QByteArray(c.text)) << c.value << " %." << c.decimals << "f";
}

TEST(RoundText, WidthPadsOnTheLeftLikePrintf)
{
    EXPECT_EQ(FormatFixed8(1234.5, 0, 10), QByteArray("      1235"));
    EXPECT_EQ(FormatFixed8(-0.125, 2, 8), QByteArray("   -0.13"));
    EXPECT_EQ(FormatFixed8(123456.789, 2, 4), QByteArray("123456.79")); // never cut
    EXPECT_EQ(FormatFixed(1.5, 1, 5), QStringLiteral("  1.5"));
}

TEST(RoundText, RoundThroughTextReadsTheRoundedTextBack)
{
    EXPECT_DOUBLE_EQ(RoundThroughText(0.995, 2), 1.0);
    EXPECT_DOUBLE_EQ(RoundThroughText(2.675, 2), 2.67);
    EXPECT_DOUBLE_EQ(RoundThroughText(2.5, 0), 3.0);
    EXPECT_DOUBLE_EQ(RoundThroughText(-2.5, 0), -3.0);
    EXPECT_DOUBLE_EQ(RoundThroughText(12345.678, 1), 12345.7);
    EXPECT_EQ(RoundThroughText(1e15 + 0.5, 0), 1e15 + 1);
}

TEST(RoundText, DecimalPointWhateverTheLocale)
{
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") || std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        EXPECT_EQ(FormatFixed8(1.25, 2), QByteArray("1.25"));
        std::setlocale(LC_NUMERIC, saved.c_str());
    } else {
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
}
