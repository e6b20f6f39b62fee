#include "infobase/EmployeeSelection.h"

#include "values/Values.h"

#include <algorithm>
#include <initializer_list>
#include <type_traits>
#include <vector>

namespace kalvor::infobase {

namespace {

// wcsncmp over UTF-16 code units: the shorter text ends with a 0.
int compareN(const QString& a, const QString& b, int n)
{
    for (int i = 0; i < n; ++i) {
        const int ca = i < a.size() ? a.at(i).unicode() : 0;
        const int cb = i < b.size() ? b.at(i).unicode() : 0;
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
    return 0;
}

bool nameKeysPass(const SelectionKeys& keys, const QString& name)
{
    for (int k = 0; k < 3; ++k) {
        const QString& key = keys.name[std::size_t(k)];
        if (key.isEmpty())
            continue;
        const int limit = std::min<int>(15, int(key.size()));
        int n = 0;
        for (int i = 0; i < limit; ++i)
            if (key.at(i) != QLatin1Char(' ') && key.at(i) != QChar(0))
                n = i + 1;
        if (n == 0)
            continue; // a key of blanks selects nothing
        const int c = compareN(name, key, n);
        if (k == 0 && c != 0)
            return false;
        if (k == 1 && c <= 0)
            return false;
        if (k == 2 && c > 0)
            return false;
    }
    return true;
}

bool criterionSet(int criterion, int value)
{
    // The two month criteria (13 and 15) are unset below 1, the others when negative.
    return (criterion == 13 || criterion == 15) ? value >= 1 : value >= 0;
}

// One criterion (1-based) against a value: every set part must hold.
bool criterionHolds(const SelectionKeys& keys, int criterion, int value)
{
    const auto& c = keys.crit[std::size_t(criterion - 1)];
    if (criterionSet(criterion, c[0]) && value != c[0])
        return false;
    if (criterionSet(criterion, c[1]) && !(value > c[1]))
        return false;
    if (criterionSet(criterion, c[2]) && !(value < c[2]))
        return false;
    return true;
}

bool anySet(const SelectionKeys& keys, int criterion)
{
    const auto& c = keys.crit[std::size_t(criterion - 1)];
    return criterionSet(criterion, c[0]) || criterionSet(criterion, c[1]) || criterionSet(criterion, c[2]);
}

// A group of entry criteria over one entry list: with no entry the group passes
// only when none of its values is set; otherwise one entry must meet them all.
template <class Lines, class Values>
bool entryGroupPasses(const SelectionKeys& keys, std::initializer_list<int> criteria, const Lines& lines, Values values)
{
    bool set = false;
    for (int c : criteria) set = set || anySet(keys, c);
    if (lines.empty())
        return !set;
    if (!set)
        return true;
    for (const auto& line : lines) {
        bool all = true;
        int i = 0;
        for (int c : criteria) {
            if (!criterionHolds(keys, c, values(line, i++))) {
                all = false;
                break;
            }
        }
        if (all)
            return true;
    }
    return false;
}

} // namespace

int MatchEmployeeCriteria(int slot, const KalvorDocData& doc)
{
    const auto& base = doc.infoBase;
    const SelectionKeys& keys = doc.selectionKeys;
    if (!base.holdsSlot(slot))
        return 0;

    const QString& name = base.shortNameOf(slot);
    if (!nameKeysPass(keys, name))
        return 0;

    const EmployeeAttributes& a = base.attributesOf(slot);
    const TabelRecord& tabel = base.tabelOf(slot);
    const int attributeValues[9] = {a.sistOpl,   a.graph,     a.kateg,     a.razr,     a.priznAlim + a.priznIspl,
                                    a.priznBank, a.priznSsud, tabel.rabDn, tabel.rabHr};
    for (int c = 1; c <= 9; ++c)
        if (!criterionHolds(keys, c, attributeValues[c - 1]))
            return 0;

    auto runOf = [slot](const auto& lines) {
        using Line = typename std::decay_t<decltype(lines.lines)>::value_type;
        if (slot > lines.slotCount())
            return std::vector<Line>{};
        return lines.run(slot);
    };
    if (!entryGroupPasses(keys, {10}, runOf(base.altTabel), [](const AltTabelEntry& e, int) { return int(e.kod); }))
        return 0;
    if (!entryGroupPasses(keys, {11, 12}, runOf(base.prem),
                          [](const BonusLine& b, int k) { return k == 0 ? int(b.kod) : int(b.procent); }))
        return 0;
    if (!entryGroupPasses(keys, {13, 14}, runOf(base.bln), [](const SickLeaveSheet& s, int k) {
            return k == 0 ? (s.gBegin ? MonthIndex(s.gBegin, s.mBegin) : 0) : int(s.vid);
        }))
        return 0;
    if (!entryGroupPasses(keys, {15, 16}, runOf(base.otp), [](const VacationNote& v, int k) {
            return k == 0 ? (v.gBegin ? MonthIndex(v.gBegin, v.mBegin) : 0) : int(v.vid);
        }))
        return 0;

    if (!criterionHolds(keys, 17, a.priznUv) || !criterionHolds(keys, 18, a.err))
        return 0;
    return 1;
}

} // namespace kalvor::infobase
