#pragma once
// Storing a value into a plain field or a bit field only when it differs
// (1 when it did), as the books count their changes.
#include "values/TypedFigure.h"

#include <QStringView>

namespace kalvor::masterdata {

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
