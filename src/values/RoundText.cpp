#include "values/RoundText.h"

#include <charconv>
#include <cmath>
#include <string>

namespace kalvor {
namespace {

// Adds one unit to a string of decimal digits.
void incrementDigits(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// round(|v| x 10^decimals) as decimal digits: |v| first taken to 17
// significant digits (correctly rounded), then that decimal text rounded half
// away from zero.
std::string scaledUnits(double a, int decimals)
{
    if (a == 0)
        return "0";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 16);
    std::string sci(buf, res.ptr);
    // sci = "d.dddddddddddddddde[+-]XX"
    const auto ePos = sci.find('e');
    std::string digits;
    for (std::size_t i = 0; i < ePos; ++i)
        if (sci[i] != '.')
            digits += sci[i];
    int exponent = 0;
    std::from_chars(sci.data() + ePos + 1 + (sci[ePos + 1] == '+' ? 1 : 0), sci.data() + sci.size(), exponent);
    // digits[i] stands for 10^(exponent - i); keep those down to 10^-decimals.
    const int keep = exponent + decimals + 1;
    const int n = static_cast<int>(digits.size());
    if (keep < 0)
        return "0";
    if (keep == 0)
        return digits[0] >= '5' ? "1" : "0";
    if (keep >= n)
        return digits + std::string(keep - n, '0');
    std::string units = digits.substr(0, keep);
    if (digits[keep] >= '5')
        incrementDigits(units);
    return units;
}

} // namespace

QByteArray FormatFixed8(double v, int decimals, int width)
{
    if (decimals < 0)
        decimals = 0;
    if (decimals > 20)
        decimals = 20;
    std::string text;
    if (std::isnan(v)) {
        text = "nan";
    } else if (std::isinf(v)) {
        text = v < 0 ? "-inf" : "inf";
    } else {
        std::string units = scaledUnits(std::fabs(v), decimals);
        const auto firstNonZero = units.find_first_not_of('0');
        units = firstNonZero == std::string::npos ? "0" : units.substr(firstNonZero);
        if (decimals > 0) {
            if (static_cast<int>(units.size()) <= decimals)
                units.insert(0, decimals + 1 - units.size(), '0');
            units.insert(units.size() - decimals, 1, '.');
        }
        text = std::signbit(v) ? "-" + units : units;
    }
    if (width > static_cast<int>(text.size()))
        text.insert(0, width - text.size(), ' ');
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

QString FormatFixed(double v, int decimals, int width) { return QString::fromLatin1(FormatFixed8(v, decimals, width)); }

double RoundThroughText(double v, int decimals)
{
    if (!std::isfinite(v))
        return v;
    const QByteArray text = FormatFixed8(v, decimals);
    double result = 0;
    std::from_chars(text.constData(), text.constData() + text.size(), result);
    return result;
}

} // namespace kalvor
