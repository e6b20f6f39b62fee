#pragma once
// Small readers shared by the books' field rules: the number a field's text
// holds, and storing a value into a plain field or a bit field only when it
// differs (1 when it did), as the books count their changes.
#include "values/TypedFigure.h"

#include <QStringView>

namespace kalvor::masterdata {

// The whole number a typed text holds, read in full by the rule of figure
// fields (ReadFigure); a text that is no whole number ("12x", "12,75") counts
// as 0, never as its leading digits.
inline int TypedNumber(QStringView text)
{
    const FigureReading reading = ReadFigure(QString(), WholeFigure(-2147483648.0, 2147483647.0), text);
    return reading.read ? int(reading.units) : 0;
}

// A value outside [min, max] is read as 0.
inline int InRangeOrZero(int value, int min, int max) { return value >= min && value <= max ? value : 0; }

template <class Field>
int StoreIfChanged(Field& field, int value)
{
    if (int(field) == value)
        return 0;
    field = static_cast<Field>(value);
    return 1;
}

// Bit fields cannot be bound to references: the caller passes the stored
// value and a setter.
template <class Set>
int StoreBits(int stored, int value, Set set)
{
    if (stored == value)
        return 0;
    set(value);
    return 1;
}

} // namespace kalvor::masterdata
