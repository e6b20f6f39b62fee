#pragma once
// One value per record slot, reached by the 1-based slot itself, so that no
// caller works out an array place from a slot (one off and it reads another
// employee's figures). The base's own per-slot arrays and the tables a print
// or report run keeps for itself go through the same rule: SlotPlace.
#include <QtGlobal>

#include <cstddef>
#include <utility>
#include <vector>

namespace kalvor::infobase {

// A number counted from 1 (a book's record, a record slot, a line of a line
// array) and its place in an array kept from 0, one from the other: the one
// conversion, so that no caller adds or takes the one itself. Neither checks
// a range: they serve the few callers that are handed a place (a search over
// the array, an entry point that gives places from 0) or that lay numbered
// things out past any array (a file of one block per slot).
constexpr int NumberOfPlace(int place) { return place + 1; }
constexpr int PlaceOfNumber(int number) { return number - 1; }

// Whether `slot` is one of the slots 1 .. count.
constexpr bool SlotInRange(int slot, std::size_t count) { return slot >= 1 && std::size_t(slot) <= count; }

// The place of slot `slot` (1 .. count) in an array kept from 0. A slot out
// of range stops a debug build; callers that must not write outside even in
// a release build check SlotInRange first (BySlot does).
inline std::size_t SlotPlace(int slot, std::size_t count)
{
    Q_ASSERT_X(SlotInRange(slot, count), "SlotPlace", "record slot out of range");
    Q_UNUSED(count);
    return std::size_t(PlaceOfNumber(slot));
}

// A table of one T per slot 1 .. slotCount(), each the table's blank value at
// first (T{} unless given). A table made without a count holds no slot.
template <class T>
class BySlot {
public:
    BySlot() = default;
    explicit BySlot(int count, const T& blank = T{}) : values_(std::size_t(count > 0 ? count : 0), blank), blank_(blank)
    {
    }

    int slotCount() const { return int(values_.size()); }
    bool holds(int slot) const { return SlotInRange(slot, values_.size()); }

    // The value of the slot. A slot out of range stops a debug build; a
    // release build hands out a spare value, blank each time, so the table is
    // never written outside and such a slot reads blank.
    T& operator[](int slot)
    {
        if (!holds(slot))
            return spare(slot);
        return values_[SlotPlace(slot, values_.size())];
    }
    const T& operator[](int slot) const
    {
        if (!holds(slot))
            return spare(slot);
        return values_[SlotPlace(slot, values_.size())];
    }

    // The values in slot order, the first slot's first.
    const std::vector<T>& values() const { return values_; }

private:
    T& spare(int slot) const
    {
        SlotPlace(slot, values_.size()); // stops a debug build
        spare_ = blank_;
        return spare_;
    }

    std::vector<T> values_;
    T blank_{};
    mutable T spare_{};
};

} // namespace kalvor::infobase
