#pragma once
// Reading numbers from text the way the C library's scanf does it with the "C"
// numeric locale (decimal point), whatever the user's locale is:
// leading blanks (space, tab, CR, LF, VT, FF) are skipped before each number,
// reading stops at the first character that cannot continue the number, a
// literal in the format must match the next character exactly, and the count
// of numbers read is what the caller tests ("%d,%d" of "7" reads one number).
#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdint>

namespace kalvor {

// A cursor over a text for scanf-like reads. Non-ASCII characters never belong
// to a number, so they simply stop a read.
class CScan {
public:
    explicit CScan(QStringView text);
    explicit CScan(const QByteArray& text);
    CScan(const char* text, qsizetype length);

    // "%d": optional sign and decimal digits; false when no digit follows or the
    // value does not fit into 32 bits (the cursor then stays where it was).
    bool readInt(int& value);
    // "%u"/"%I64u"-like: optional sign and digits into a signed 64-bit value;
    // false when there is no digit or the value overflows. A minus sign gives a
    // negative result, which the callers treat as out of range.
    bool readInt64(std::int64_t& value);
    // "%lf"/"%f": optional sign, digits with an optional decimal point, an
    // optional exponent; correctly rounded. No "inf"/"nan", no hex. False when
    // no digit is found.
    bool readDouble(double& value);
    // The raw text of a "%d" number (after blanks: an optional sign and the
    // digits), for readers that need the digits themselves (fractions such as
    // "7,05"); false when no digit follows.
    bool readDigits(QByteArray& digits);
    // A literal of the format: true and consumed when the next character is c.
    bool literal(char c);
    // Skips blanks (as a blank in a scanf format does).
    void skipBlanks();
    // Index of the next character to read.
    qsizetype position() const { return pos_; }

private:
    QByteArray text_;
    qsizetype pos_ = 0;
};

// sscanf(text, "%d") -> true and the value when one number reads.
bool ScanInt(QStringView text, int& value);
// atoi of an 8-bit text: blanks, sign, digits; 0 when no number; saturates at
// the int range instead of overflowing.
int AtoiC(const char* text, qsizetype length);
// atof of an 8-bit text in the C locale; 0 when no number.
double AtofC(const char* text, qsizetype length);

} // namespace kalvor
