#include "values/Clock.h"

#include <atomic>

namespace kalvor {
namespace {
// Julian day of the fixed date; 0 = use the real date. Atomic because worker
// threads read the clock too.
std::atomic<qint64> g_fixedDay{0};
// The open base's reporting year; 0 = none.
std::atomic<int> g_referenceYear{0};
} // namespace

QDate Clock::today()
{
    const qint64 jd = g_fixedDay.load(std::memory_order_relaxed);
    return jd != 0 ? QDate::fromJulianDay(jd) : QDate::currentDate();
}

void Clock::setToday(const QDate& date)
{
    g_fixedDay.store(date.isValid() ? date.toJulianDay() : 0, std::memory_order_relaxed);
}

void Clock::reset() { g_fixedDay.store(0, std::memory_order_relaxed); }

int Clock::yearTwoDigits() { return today().year() % 100; }

void Clock::setReferenceYear(int year) { g_referenceYear.store(year > 0 ? year : 0, std::memory_order_relaxed); }

int Clock::referenceYear()
{
    const int year = g_referenceYear.load(std::memory_order_relaxed);
    return year != 0 ? year : today().year();
}

} // namespace kalvor
