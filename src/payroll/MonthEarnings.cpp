#include "payroll/MonthEarnings.h"

#include "payroll/ScheduleNorm.h"
#include "values/Values.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace kalvor {

namespace {

// How each payment system is paid: whether the salary counts, and the
// tariff the planned hours are paid at (none for the salaried).
enum class HourlyTariff { None, Piece, Time, Larger };
struct SystemPay {
    int system;
    bool salary;
    HourlyTariff tariff;
};
constexpr SystemPay kSystemPays[] = {
    {1, false, HourlyTariff::Piece},
    {2, false, HourlyTariff::Time},
    {3, true, HourlyTariff::Time},
    {4, true, HourlyTariff::None},
};
constexpr SystemPay kUnknownSystem = {0, true, HourlyTariff::Larger};

const SystemPay& SystemPayOf(int system)
{
    for (const SystemPay& pay : kSystemPays)
        if (pay.system == system)
            return pay;
    return kUnknownSystem;
}

// The tariff's words after "заработка за плановое время месяца".
QString TariffWords(HourlyTariff tariff)
{
    switch (tariff) {
    case HourlyTariff::Piece: return QStringLiteral("по тарифу сдельщика");
    case HourlyTariff::Time: return QStringLiteral("по тарифу повременщика");
    default: return QStringLiteral("по тарифу");
    }
}

double TariffOf(const CardPay& card, HourlyTariff tariff)
{
    switch (tariff) {
    case HourlyTariff::Piece: return card.pieceTariff;
    case HourlyTariff::Time: return card.timeTariff;
    case HourlyTariff::Larger: return std::max(card.pieceTariff, card.timeTariff);
    case HourlyTariff::None: return 0;
    }
    return 0;
}

// The planned minutes of the reporting month by the schedule (0 where it
// gives no working time); the base's schedule is not touched.
int PlannedMinutes(const PayrollDoc& doc, int schedule)
{
    infobase::WorkSchedule copy = doc.infoBase.nearestSchedule(schedule);
    int days = 0, minutes = 0;
    if (CalcScheduleNorm(infobase::WorkSchedule::ReportingMonth, copy, 1, 31, days, minutes, doc) < 0)
        return 0;
    return minutes;
}

} // namespace

CardPay CardPayOf(const infobase::EmployeeHead& head, const infobase::EmployeeAttributes& attributes)
{
    return {head.oklad,         head.nadbav,     head.tarifVrem.kopecks(), head.tarifSdel.kopecks(),
            attributes.sistOpl, attributes.graph};
}

MonthEarnings MonthEarningsOf(const PayrollDoc& doc, const CardPay& card)
{
    const SystemPay& pay = SystemPayOf(card.paySystem);
    const double tariff = TariffOf(card, pay.tariff);
    // The words name what counted: the salary where the system pays one, the
    // planned time where it pays a tariff (where it pays both, only when the
    // card holds a tariff).
    const bool hourly = pay.tariff != HourlyTariff::None && (tariff > 0 || !pay.salary);
    QStringList words;
    if (pay.salary)
        words << QStringLiteral("оклада с надбавкой");
    if (hourly)
        words << QStringLiteral("заработка за плановое время месяца %1").arg(TariffWords(pay.tariff));
    if (!pay.salary && card.allowance > 0)
        words << QStringLiteral("надбавки");
    double kopecks = card.allowance + (pay.salary ? card.salary : 0);
    if (hourly)
        kopecks += std::round(tariff * PlannedMinutes(doc, card.schedule) / 60);
    return {kopecks, words.join(QStringLiteral(" и "))};
}

QString AdvanceAboveEarningsQuestion(double kopecks, const MonthEarnings& earnings)
{
    if (kopecks <= earnings.kopecks)
        return QString();
    return QStringLiteral("Величина аванса %1 больше %2 по карточке работника (%3).\n"
                          "Непокрытая часть аванса останется долгом работника. Принять аванс?")
        .arg(FormatMoney(kopecks), earnings.reckoned, FormatMoney(earnings.kopecks));
}

} // namespace kalvor
