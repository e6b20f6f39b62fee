#pragma once
// A month laid out as a wall calendar: 6 rows of 7 columns, Monday first.
// The cells before the 1st and after the month's last day stay empty. Screens
// that show a month as a calendar (work schedules, the time-sheet correction)
// place their cells by it.
#include <QString>
#include <QStringList>

struct MonthCalendarLayout {
    static constexpr int Rows = 6;
    static constexpr int Columns = 7;
    static constexpr int Cells = Rows * Columns;

    int firstCell = 0; // cell of the 1st: its weekday, Monday = 0
    int length = 0; // days of the month (February: 29 in years divisible by 4)

    // The day shown in a cell (0-41), 0 for an empty cell.
    int DayAt(int cell) const
    {
        const int day = cell - firstCell + 1;
        return day >= 1 && day <= length ? day : 0;
    }
    // The cell of a day (1 to the month's length), -1 for another day.
    int CellOf(int day) const { return day >= 1 && day <= length ? firstCell + day - 1 : -1; }
};

// The layout of a month (1-12) of a year.
MonthCalendarLayout LayOutMonth(int year, int month);

// The column headings "Понедельник" ... "Воскресенье".
QStringList WeekdayHeadings();
