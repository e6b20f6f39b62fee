#include "shell/ui/MonthCalendarLayout.h"

#include "values/Values.h"

#include <QDate>

MonthCalendarLayout LayOutMonth(int year, int month)
{
    MonthCalendarLayout layout;
    const QDate first(year, month, 1);
    if (!first.isValid())
        return layout;
    layout.firstCell = first.dayOfWeek() - 1;
    layout.length = kalvor::DaysInMonth(year, month);
    return layout;
}

QStringList WeekdayHeadings()
{
    return {QStringLiteral("Понедельник"), QStringLiteral("Вторник"), QStringLiteral("Среда"),
            QStringLiteral("Четверг"),     QStringLiteral("Пятница"), QStringLiteral("Суббота"),
            QStringLiteral("Воскресенье")};
}
