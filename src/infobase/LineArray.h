#pragma once
// A shared line array with its per-slot index words: the lines of every
// employee lie back to back in record-slot order, and each slot's word gives
// its first line (bits 0-11) and its line count (bits 12-15). A slot without
// lines has the word 0.
//
// replaceRun() is the one splice that every entry screen uses: it replaces a
// slot's run by new lines, moves the later lines up or down, shifts the first
// line of every later slot by the difference and clears the freed tail.
#include "infobase/BySlot.h"
#include "infobase/Records.h"

#include <algorithm>
#include <span>
#include <vector>

namespace kalvor::infobase {

template <class T>
class LineArray {
public:
    std::vector<T> lines; // capacity × lines per slot entries
    std::vector<u16> index; // one word per record slot, reached by the slot (word, setWord)

    void allocate(int slotTotal, int lineTotal)
    {
        lines.assign(std::size_t(lineTotal), T{});
        index.assign(std::size_t(slotTotal), 0);
    }
    int slotCount() const { return int(index.size()); }
    int lineCapacity() const { return int(lines.size()); }

    u16 word(int slot) const { return index[SlotPlace(slot, index.size())]; }
    void setWord(int slot, u16 w) { index[SlotPlace(slot, index.size())] = w; }
    int first(int slot) const { return LineIndexEntry::first(word(slot)); }
    int count(int slot) const { return LineIndexEntry::count(word(slot)); }

    // Lines in use: the end of the last run.
    int usedLines() const
    {
        int used = 0;
        for (u16 w : index)
            if (LineIndexEntry::count(w) > 0)
                used = std::max(used, LineIndexEntry::first(w) + LineIndexEntry::count(w));
        return used;
    }

    // Where a slot's run starts, or would start when it has none: after the
    // run of the nearest earlier slot that has lines.
    int runStart(int slot) const
    {
        if (count(slot) > 0)
            return first(slot);
        for (int earlier = slot; --earlier >= 1;)
            if (count(earlier) > 0)
                return first(earlier) + count(earlier);
        return 0;
    }

    std::vector<T> run(int slot) const
    {
        const int f = first(slot), n = count(slot);
        if (n == 0)
            return {};
        return std::vector<T>(lines.begin() + f, lines.begin() + f + n);
    }

    // Replaces the slot's run by newLines (at most 15). False, with nothing
    // changed, when the slot or the array cannot hold them.
    bool replaceRun(int slot, std::span<const T> newLines)
    {
        if (slot < 1 || slot > slotCount())
            return false;
        const int n = int(newLines.size());
        if (n > LineIndexEntry::MaxCount)
            return false;
        const int old = count(slot);
        const int pos = runStart(slot);
        const int used = std::max(usedLines(), pos + old);
        const int delta = n - old;
        if (used + delta > lineCapacity() || used + delta > LineIndexEntry::MaxFirst + 1)
            return false;

        std::vector<T> tail(lines.begin() + pos + old, lines.begin() + used);
        std::copy(newLines.begin(), newLines.end(), lines.begin() + pos);
        std::copy(tail.begin(), tail.end(), lines.begin() + pos + n);
        for (int i = used + delta; i < used; ++i) lines[std::size_t(i)] = T{};

        setWord(slot, n > 0 ? LineIndexEntry::make(pos, n) : u16(0));
        if (delta != 0) {
            for (int s = slot + 1; s <= slotCount(); ++s) {
                const int c = count(s);
                if (c > 0)
                    setWord(s, LineIndexEntry::make(first(s) + delta, c));
            }
        }
        return true;
    }
    bool replaceRun(int slot, const std::vector<T>& newLines) { return replaceRun(slot, std::span<const T>(newLines)); }
    bool removeRun(int slot) { return replaceRun(slot, std::span<const T>()); }

    // Inserts an empty line at `position` (0..count) of the slot's run.
    bool insertLine(int slot, int position, const T& line = T{})
    {
        std::vector<T> r = run(slot);
        if (position < 0 || position > int(r.size()))
            return false;
        r.insert(r.begin() + position, line);
        return replaceRun(slot, r);
    }
    bool removeLine(int slot, int position)
    {
        std::vector<T> r = run(slot);
        if (position < 0 || position >= int(r.size()))
            return false;
        r.erase(r.begin() + position);
        return replaceRun(slot, r);
    }
};

} // namespace kalvor::infobase
