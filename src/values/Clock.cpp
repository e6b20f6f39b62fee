#include "values/Clock.h"

#include <QMutex>

#include <atomic>
#include <utility>
#include <vector>

namespace kalvor {
namespace {
// Julian day of the fixed date; 0 = use the real date. Atomic because worker
// threads read the clock too.
std::atomic<qint64> g_fixedDay{0};
// The reporting years of the open bases, the one in force last; guarded by
// g_basesMutex. g_referenceYear is the last one's year (0 = no base open),
// read without the lock by every widening.
QMutex g_basesMutex;
std::vector<std::pair<const void*, int>> g_baseYears;
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

void Clock::setReferenceYear(const void* base, int year)
{
    QMutexLocker locker(&g_basesMutex);
    std::erase_if(g_baseYears, [base](const auto& entry) { return entry.first == base; });
    if (year > 0)
        g_baseYears.emplace_back(base, year);
    g_referenceYear.store(g_baseYears.empty() ? 0 : g_baseYears.back().second, std::memory_order_relaxed);
}

int Clock::referenceYear()
{
    const int year = g_referenceYear.load(std::memory_order_relaxed);
    return year != 0 ? year : today().year();
}

} // namespace kalvor
