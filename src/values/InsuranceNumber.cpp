#include "values/InsuranceNumber.h"

namespace kalvor {

namespace {

constexpr int kNumberDigits = 9;
// The last number given without a check number.
constexpr int kLastUncheckedNumber = 1'001'998;

QString DigitsOf(const QString& text)
{
    QString digits;
    for (const QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    return digits;
}

} // namespace

int InsuranceCheckNumber(const QString& number)
{
    const QString digits = DigitsOf(number);
    int sum = 0;
    for (int i = 0; i < kNumberDigits && i < digits.size(); ++i) sum += digits[i].digitValue() * (kNumberDigits - i);
    return sum % 101 % 100;
}

InsuranceNumberCheck CheckInsuranceNumber(const QString& number)
{
    InsuranceNumberCheck check;
    const QString digits = DigitsOf(number);
    check.computed = InsuranceCheckNumber(digits);
    if (digits.size() <= kNumberDigits || digits.left(kNumberDigits).toInt() <= kLastUncheckedNumber)
        return check;
    check.typed = true;
    check.typedDigits = digits.mid(kNumberDigits);
    return check;
}

QString InsuranceNumberRefusal(const QString& fieldName, const QString& number)
{
    const InsuranceNumberCheck check = CheckInsuranceNumber(number);
    if (!check.wrong())
        return QString();
    // One substitution of all three: a "%1" typed in the number stays as typed.
    return QStringLiteral("Неверное контрольное число в поле \"%1\": %2 (по цифрам номера - %3)")
        .arg(fieldName, number.trimmed(), check.computedText());
}

} // namespace kalvor
