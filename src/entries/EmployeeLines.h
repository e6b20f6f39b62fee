// One employee's lines of a month line array (vacation notes, sick-leave
// sheets) as an entry dialog holds them: the first lines that the dialog
// shows, and any lines beyond its buffer, which it keeps untouched. Saving
// compacts the shown lines (empty ones go, the rest move to the front) and
// splices them, followed by the kept ones, into the array.
#pragma once

#include "infobase/InfoBase.h"
#include "infobase/LineArray.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <vector>

namespace kalvor::entries {

template <class T>
struct EmployeeLines {
    std::vector<T> shown; // at most the dialog's buffer
    std::vector<T> beyond; // lines past the buffer, kept as they are
};

// The lines of a record slot split at the dialog's buffer size; a slot
// outside the array has none.
template <class T>
EmployeeLines<T> TakeEmployeeLines(const infobase::LineArray<T>& array, int slot, int bufferSize)
{
    EmployeeLines<T> lines;
    if (slot < 1 || slot > array.slotCount())
        return lines;
    const std::vector<T> run = array.run(slot);
    const auto split = run.begin() + std::min<std::ptrdiff_t>(bufferSize, std::ptrdiff_t(run.size()));
    lines.shown.assign(run.begin(), split);
    lines.beyond.assign(split, run.end());
    return lines;
}

// The lines that `keep` accepts, in their order.
template <class T, class Keep>
std::vector<T> CompactLines(const std::vector<T>& lines, Keep keep)
{
    std::vector<T> kept;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(kept), keep);
    return kept;
}

// Replaces the slot's run by the compacted shown lines followed by the kept
// ones. False, with the array unchanged, when they do not fit (the array's
// free rows, or the fifteen lines an index word counts).
template <class T, class Keep>
bool StoreEmployeeLines(infobase::LineArray<T>& array, int slot, const std::vector<T>& shown,
                        const std::vector<T>& beyond, Keep keep)
{
    std::vector<T> run = CompactLines(shown, keep);
    run.insert(run.end(), beyond.begin(), beyond.end());
    return array.replaceRun(slot, run);
}

// What the group append of a form's filled fields did.
struct LineGroupOutcome {
    int changed = 0;
    QStringList refused; // members whose lines no longer fit
};

// The group append: every employee of the current list with any of the three
// selection flags gets `read` (the form's filled fields, true when a value
// changed) in his first line of the array (a new one when he has none); his
// lines are then stored back as StoreEmployeeLines does.
template <class T, class Read, class Keep>
LineGroupOutcome AppendToFirstLines(infobase::CInfoBase& base, infobase::LineArray<T>& array, int bufferSize, Read read,
                                    Keep keep)
{
    LineGroupOutcome outcome;
    for (const infobase::EmployeeListEntry& entry : base.list) {
        if (!entry.marked() || entry.slot < 1 || entry.slot > array.slotCount())
            continue;
        EmployeeLines<T> lines = TakeEmployeeLines(array, entry.slot, bufferSize);
        if (lines.shown.empty())
            lines.shown.emplace_back();
        if (!read(lines.shown.front()))
            continue;
        if (StoreEmployeeLines(array, entry.slot, lines.shown, lines.beyond, keep))
            ++outcome.changed;
        else
            outcome.refused << base.shortNameOf(entry.slot).trimmed();
    }
    return outcome;
}

// Writes `value` through `set` when it differs from `current`; true when it did.
template <class Set>
bool WriteChanged(int current, int value, Set set)
{
    if (current == value)
        return false;
    set(value);
    return true;
}

// The entry dialog's buffer of one employee's lines: N lines, the number
// shown (1..N) and the current one (0..N-1), with the lines past the buffer
// kept aside.
template <class T, int N>
struct LineBuffer {
    std::array<T, N> lines{};
    std::vector<T> beyond;
    int shown = 1;
    int current = 0;

    // Empties the buffer (one empty line shown), or takes an employee's lines.
    void clear() { *this = LineBuffer{}; }
    void load(EmployeeLines<T> taken)
    {
        clear();
        std::copy(taken.shown.begin(), taken.shown.end(), lines.begin());
        beyond = std::move(taken.beyond);
        shown = std::max(1, int(taken.shown.size()));
    }
    // The next line (one more shown when it was the last); false on the Nth.
    bool next()
    {
        if (current >= N - 1)
            return false;
        ++current;
        shown = std::max(shown, current + 1);
        return true;
    }
    bool prev()
    {
        if (current == 0)
            return false;
        --current;
        return true;
    }
    T& line() { return lines[std::size_t(current)]; }
    std::vector<T> all() const { return std::vector<T>(lines.begin(), lines.end()); }
};

} // namespace kalvor::entries
