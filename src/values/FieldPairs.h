#pragma once
// Fields whose meaning another field of the same row or screen sets: a
// bonus's value by its kind, a range's end by its other end, a report's line
// by the line it is part of. Each is read by that meaning when it is typed
// and again when the other field changes; a refusal names both fields.
#include <QString>

namespace kalvor {

// The refusal of a field read by the meaning the value of another field
// gave it: the field's own refusal, then the other field and its value.
QString PairRefusal(const QString& refusal, const QString& otherField, const QString& otherValue);

// The refusal of a range whose two ends are typed into two fields: the
// least larger than the most, naming both fields and their values; empty
// when they are in order, and when either end is 0 (no bound, or not set).
QString RangeOrderRefusal(const QString& leastField, double least, const QString& mostField, double most);

} // namespace kalvor
