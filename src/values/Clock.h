#pragma once
// The program's idea of "today". Rules that depend on the current year (the
// two-digit year windows of packed dates, month-year texts) read it from here,
// so that tests can fix the date. By default it is the real local date.
#include <QDate>

namespace kalvor {

class Clock {
public:
    // Today's date: the fixed date when one is set, else the real local date.
    static QDate today();
    // Fixes "today" (tests); an invalid date goes back to the real date.
    static void setToday(const QDate& date);
    // Goes back to the real local date.
    static void reset();
    // Last two digits of the current year (2026 -> 26).
    static int yearTwoDigits();
};

// Fixes the clock for the lifetime of the object and restores it afterwards.
class ScopedToday {
public:
    explicit ScopedToday(const QDate& date) { Clock::setToday(date); }
    ~ScopedToday() { Clock::reset(); }
    ScopedToday(const ScopedToday&) = delete;
    ScopedToday& operator=(const ScopedToday&) = delete;
};

} // namespace kalvor
