#pragma once
// The insurance number of the pension fund (СНИЛС) as an employee's card
// holds it, "112-305-418 91": nine digits and their two-digit check number.
// The check number is the sum of the nine digits times their weights, 9 down
// to 1: a sum below 100 is itself, 100 and 101 give 00, a larger sum gives
// its remainder by 101 (a remainder of 100 again 00). Numbers up to
// 001-001-998 were given before the check number and are not checked.
#include <QString>

namespace kalvor {

// The check number of the first nine digits of a text (a digit missing
// counts as 0); other characters are passed over.
int InsuranceCheckNumber(const QString& number);

// What a typed number holds after its nine digits.
struct InsuranceNumberCheck {
    bool typed = false; // digits follow the nine, and the number is above 001-001-998
    QString typedDigits; // those digits
    int computed = 0; // the check number of the nine digits
    // A check number typed that is not two digits or not the one computed.
    bool wrong() const { return typed && (typedDigits.size() != 2 || typedDigits.toInt() != computed); }
    // The computed check number as written: two digits ("07").
    QString computedText() const { return QString::number(computed).rightJustified(2, QLatin1Char('0')); }
};
InsuranceNumberCheck CheckInsuranceNumber(const QString& number);

// "Неверное контрольное число в поле "Страховой полис": 112-305-418 10 (по
// цифрам номера - 91)"; empty when the number's check number is right or is
// not checked.
QString InsuranceNumberRefusal(const QString& fieldName, const QString& number);

} // namespace kalvor
