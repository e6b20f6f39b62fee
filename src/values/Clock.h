#pragma once
// The program's idea of "today" and of the year that two-digit years are read
// around. Rules that depend on the current year (the two-digit year window of
// packed dates and typed years) read them from here, so that tests can fix
// them. By default "today" is the real local date.
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

    // The reference year of two-digit years: the reporting year of the open
    // base. Each open base keeps its own under its own key (the base object),
    // set when it opens and when its configuration is saved; a year of 0
    // withdraws that base's (it closes) and leaves every other base's as it
    // is. The year in force is the one of the base opened (or saved) last
    // among those still open; without an open base it is today's year.
    static void setReferenceYear(const void* base, int year);
    static int referenceYear();
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
