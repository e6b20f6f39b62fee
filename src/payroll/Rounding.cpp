#include "payroll/Rounding.h"

#include "values/RoundText.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace kalvor {
namespace {

// Half away from zero (what the rounded text of "%.0f" reads back as), then an
// exact negative half moved up by one.
double halfUp(double x)
{
    double r = std::round(x);
    if (x < 0 && x - r == 0.5)
        r += 1;
    return r + 0.0; // no negative zero
}

double readNumber(const char* begin, const char* end)
{
    double v = 0;
    std::from_chars(begin, end, v);
    return v;
}

// The text of "%.Nf" with its last `cut` characters removed, read back.
double cutText(double v, int decimals, int cut)
{
    const QByteArray text = FormatFixed8(v, decimals);
    const qsizetype keep = text.size() > cut ? text.size() - cut : 0;
    return readNumber(text.constData(), text.constData() + keep);
}

} // namespace

double RoundWhole(double amount) { return halfUp(amount); }

double RoundByMode(double amount, RoundingMode mode)
{
    switch (mode) {
    case RoundingMode::Roubles:
        // "%10.2f" of the roubles, the point and two decimals cut off.
        return cutText(amount / 100, 2, 3) * 100 + 0.0;
    case RoundingMode::TenKopecks:
    case RoundingMode::OneRouble:
    case RoundingMode::TenRoubles:
    case RoundingMode::HundredRoubles: {
        static const std::int64_t steps[6] = {1, 1, 10, 100, 1000, 10000};
        const std::int64_t d = steps[int(mode)];
        const double q = halfUp(amount / double(d));
        if (!(std::fabs(q) < 9.0e15))
            return q * double(d); // far beyond any amount; no integer conversion
        return double(static_cast<std::int64_t>(q) * d);
    }
    default: return halfUp(amount);
    }
}

double RoundByKindField(double amount, int okrugField, int okrugRas)
{
    const int field = okrugField & 7;
    if (field == kOkrugZero)
        return 0.0;
    const int mode = field == 0 ? (okrugRas & 7) : field - 1;
    return RoundByMode(amount, RoundingMode(mode));
}

double RoundPayoutStep(double amount, int okrugVyp)
{
    const double w = RoundWhole(amount);
    const int step = okrugVyp & 7;
    double d = 1;
    for (int i = 0; i < step; ++i) d *= 10;
    // "%15.5f" of w / d with the point and five decimals cut off: towards zero.
    // A quotient of whole kopecks by at most 10^5 has at most five decimals,
    // and below a billion its double is far nearer to them than the fifth
    // decimal's half, so the text's integer part is the quotient's own; only
    // larger steps can read as the next integer (1.999996 as 2.00000).
    const double q = w / d;
    if (step <= 5 && std::fabs(q) < 1e9)
        return std::trunc(q) * d + 0.0;
    return cutText(q, 5, 6) * d + 0.0;
}

double SplitRoublesKopecks(int selector, double amount)
{
    const QByteArray text = FormatFixed8(amount / 100, 2);
    const qsizetype n = text.size();
    if (selector == 0)
        return readNumber(text.constData(), text.constData() + (n - 3));
    return readNumber(text.constData() + (n - 2), text.constData() + n);
}

} // namespace kalvor
