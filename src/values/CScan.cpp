#include "values/CScan.h"

#include <charconv>
#include <climits>
#include <limits>
#include <string>

namespace kalvor {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// For a decimal number that does not fit a double: true when it is too large
// (its order of magnitude is positive), false when it is too small.
bool isLargeNumber(const char* b, const char* e)
{
    long long order = 0;
    bool seenNonZero = false, afterPoint = false;
    const char* p = b;
    for (; p != e && (isDigit(*p) || *p == '.'); ++p) {
        if (*p == '.') {
            afterPoint = true;
        } else if (!seenNonZero) {
            if (*p != '0')
                seenNonZero = true;
            else if (afterPoint)
                --order;
            if (seenNonZero && afterPoint)
                --order;
        } else if (!afterPoint) {
            ++order;
        }
    }
    long long exponent = 0;
    if (p != e && (*p == 'e' || *p == 'E')) {
        ++p;
        bool neg = false;
        if (p != e && (*p == '+' || *p == '-'))
            neg = *p++ == '-';
        for (; p != e && isDigit(*p); ++p)
            if (exponent < 100000)
                exponent = exponent * 10 + (*p - '0');
        if (neg)
            exponent = -exponent;
    }
    return order + exponent > 0;
}

// Non-ASCII characters become 0x7F so that they stop every read.
QByteArray asciiOf(QStringView text)
{
    QByteArray out(text.size(), '\x7f');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u != 0 && u < 0x80)
            out[i] = static_cast<char>(u);
    }
    return out;
}

} // namespace

CScan::CScan(QStringView text) : text_(asciiOf(text)) {}

CScan::CScan(const QByteArray& text) : text_(text) {}

CScan::CScan(const char* text, qsizetype length) : text_(text, length) {}

void CScan::skipBlanks()
{
    while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
}

bool CScan::literal(char c)
{
    if (pos_ < text_.size() && text_[pos_] == c) {
        ++pos_;
        return true;
    }
    return false;
}

bool CScan::readDigits(QByteArray& digits)
{
    const qsizetype start = pos_;
    skipBlanks();
    qsizetype p = pos_;
    if (p < text_.size() && (text_[p] == '+' || text_[p] == '-'))
        ++p;
    const qsizetype signPos = pos_;
    const qsizetype first = p;
    while (p < text_.size() && isDigit(text_[p])) ++p;
    if (p == first) {
        pos_ = start;
        return false;
    }
    digits = text_.mid(signPos, p - signPos);
    pos_ = p;
    return true;
}

bool CScan::readInt64(std::int64_t& value)
{
    const qsizetype start = pos_;
    skipBlanks();
    qsizetype p = pos_;
    bool negative = false;
    if (p < text_.size() && (text_[p] == '+' || text_[p] == '-'))
        negative = text_[p++] == '-';
    const qsizetype first = p;
    while (p < text_.size() && isDigit(text_[p])) ++p;
    if (p == first) {
        pos_ = start;
        return false;
    }
    std::uint64_t magnitude = 0;
    auto res = std::from_chars(text_.constData() + first, text_.constData() + p, magnitude);
    if (res.ec != std::errc() || magnitude > static_cast<std::uint64_t>(INT64_MAX)) {
        pos_ = start;
        return false;
    }
    value = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    pos_ = p;
    return true;
}

bool CScan::readInt(int& value)
{
    const qsizetype start = pos_;
    std::int64_t v = 0;
    if (!readInt64(v))
        return false;
    if (v < INT_MIN || v > INT_MAX) {
        pos_ = start;
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

bool CScan::readDouble(double& value)
{
    const qsizetype start = pos_;
    skipBlanks();
    qsizetype p = pos_;
    bool negative = false;
    if (p < text_.size() && (text_[p] == '+' || text_[p] == '-'))
        negative = text_[p++] == '-';
    const qsizetype first = p;
    int digits = 0;
    while (p < text_.size() && isDigit(text_[p])) {
        ++p;
        ++digits;
    }
    if (p < text_.size() && text_[p] == '.') {
        ++p;
        while (p < text_.size() && isDigit(text_[p])) {
            ++p;
            ++digits;
        }
    }
    if (digits == 0) {
        pos_ = start;
        return false;
    }
    // An exponent counts only when digits follow it.
    if (p < text_.size() && (text_[p] == 'e' || text_[p] == 'E')) {
        qsizetype q = p + 1;
        if (q < text_.size() && (text_[q] == '+' || text_[q] == '-'))
            ++q;
        if (q < text_.size() && isDigit(text_[q])) {
            while (q < text_.size() && isDigit(text_[q])) ++q;
            p = q;
        }
    }
    // The span has no sign of its own (from_chars takes none).
    double magnitude = 0;
    auto res = std::from_chars(text_.constData() + first, text_.constData() + p, magnitude, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Beyond the double range: infinity when the number is large, 0 when
        // it is tiny, as strtod gives them.
        magnitude = isLargeNumber(text_.constData() + first, text_.constData() + p)
                        ? std::numeric_limits<double>::infinity()
                        : 0.0;
    } else if (res.ec != std::errc()) {
        pos_ = start;
        return false;
    }
    value = negative ? -magnitude : magnitude;
    pos_ = p;
    return true;
}

bool ScanInt(QStringView text, int& value)
{
    CScan s(text);
    return s.readInt(value);
}

int AtoiC(const char* text, qsizetype length)
{
    CScan s(text, length);
    std::int64_t v = 0;
    if (!s.readInt64(v)) {
        // An overflowing digit run saturates like strtol.
        QByteArray digits;
        CScan again(text, length);
        if (!again.readDigits(digits))
            return 0;
        const bool negative = QByteArray(text, length).trimmed().startsWith('-');
        return negative ? INT_MIN : INT_MAX;
    }
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

double AtofC(const char* text, qsizetype length)
{
    CScan s(text, length);
    double v = 0;
    return s.readDouble(v) ? v : 0.0;
}

} // namespace kalvor
