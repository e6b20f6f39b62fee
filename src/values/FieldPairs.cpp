#include "values/FieldPairs.h"

namespace kalvor {

QString PairRefusal(const QString& refusal, const QString& otherField, const QString& otherValue)
{
    return QStringLiteral("%1\nпри значении поля \"%2\": %3").arg(refusal, otherField, otherValue);
}

QString RangeOrderRefusal(const QString& leastField, double least, const QString& mostField, double most)
{
    if (least == 0 || most == 0 || least <= most)
        return QString();
    return QStringLiteral("Значение поля \"%1\" (%2) больше значения поля \"%3\" (%4)")
        .arg(leastField, QString::number(least), mostField, QString::number(most));
}

} // namespace kalvor
