#include "values/ImportCheck.h"

#include "values/Values.h"

#include <cmath>

namespace kalvor {

namespace {

// The refused records that one summary names.
constexpr int kNamedInSummary = 20;

QString Shown(double value)
{
    if (std::isnan(value))
        return QStringLiteral("не число");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("бесконечность") : QStringLiteral("минус бесконечность");
    return QString::number(value, 'g', 15);
}

} // namespace

ImportCheck::ImportCheck(const QString& file) : m_file(file) {}

void ImportCheck::record(const QString& name)
{
    m_record = name;
    m_recordPassed = true;
}

bool ImportCheck::refuse(double value, const QString& field)
{
    // One message per record: the first value refused says why.
    if (m_recordPassed)
        m_refused << QStringLiteral("Файл %1, запись %2, поле %3: недопустимое значение %4")
                         .arg(m_file, m_record, field, Shown(value));
    m_recordPassed = false;
    return false;
}

bool ImportCheck::number(double value, double min, double max, const QString& field)
{
    // NaN fails both comparisons and is refused with the rest.
    if (value >= min && value <= max)
        return true;
    return refuse(value, field);
}

bool ImportCheck::money(double kopecks, const QString& field, bool mayBeNegative)
{
    if (IsMoneyInRange(kopecks) && (mayBeNegative || kopecks >= 0))
        return true;
    return refuse(kopecks / 100, field); // shown in roubles, as the files hold it
}

bool ImportCheck::figure(double units, const FigureRule& rule, const QString& field)
{
    if (FigureHoldsUnits(rule, units))
        return true;
    return refuse(units / std::pow(10.0, rule.decimals), field);
}

bool ImportCheck::code(double value, bool known, const QString& field) { return known ? true : refuse(value, field); }

QString ImportCheck::summary(const QString& heading) const
{
    if (m_refused.isEmpty())
        return QString();
    QString text = heading + QLatin1Char('\n') + m_refused.mid(0, kNamedInSummary).join(QLatin1Char('\n'));
    if (m_refused.size() > kNamedInSummary)
        text += QStringLiteral("\nи ещё %1").arg(m_refused.size() - kNamedInSummary);
    return text;
}

} // namespace kalvor
