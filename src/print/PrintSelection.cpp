#include "print/PrintSelection.h"

#include <algorithm>
#include <array>

namespace kalvor::print {

using infobase::CInfoBase;
using infobase::LineArray;

namespace {

bool EmployeeMatches(const CInfoBase& base, int index, int shop, int brigade, int profession)
{
    const int slot = base.list[std::size_t(index)].slot;
    if (!base.holdsSlot(slot))
        return false;
    const infobase::EmployeeAttributes& attributes = base.attributesOf(slot);
    return (shop == 0 || base.shopOf(slot) == shop) && (brigade == 0 || attributes.brig == brigade) &&
           (profession == 0 || attributes.prof == profession);
}

// A line whose packed record holds only zero bytes is an unused entry.
template <class Line>
bool LineInUse(const Line& line)
{
    std::array<char, Line::Size> bytes{};
    infobase::ByteWriter writer(bytes.data(), bytes.size());
    line.write(writer);
    for (const char b : bytes)
        if (b != 0)
            return true;
    return false;
}

// The next entry cursor over one line array: the rest of the current
// employee's lines, then the lines of the next matching employees.
template <class Line>
int NextEntryInSelection(int cursor, const PayrollDoc& doc, const LineArray<Line>& lines, int shop, int brigade,
                         int profession)
{
    const CInfoBase& base = doc.infoBase;
    int employee = cursor < 0 ? NextEmployeeInSelection(-1, doc, shop, brigade, profession) : CursorEmployee(cursor);
    int entry = cursor < 0 ? 0 : CursorEntry(cursor);
    while (employee >= 0) {
        const int slot = base.list[std::size_t(employee)].slot;
        const int first = lines.first(slot);
        const int count = std::min(lines.count(slot), kEntryCursorStride - 1);
        for (int number = entry + 1; number <= count; ++number) {
            const int line = first + number - 1;
            if (line < lines.lineCapacity() && LineInUse(lines.lines[std::size_t(line)]))
                return employee * kEntryCursorStride + number;
        }
        employee = NextEmployeeInSelection(employee, doc, shop, brigade, profession);
        entry = 0;
    }
    return -1;
}

} // namespace

int NextEmployeeInSelection(int cursor, const PayrollDoc& doc, int shop, int brigade, int profession)
{
    const CInfoBase& base = doc.infoBase;
    for (int index = std::max(cursor + 1, 0); index < base.employeeCount(); ++index)
        if (EmployeeMatches(base, index, shop, brigade, profession))
            return index;
    return -1;
}

int NextSickSheetInSelection(int cursor, const PayrollDoc& doc, int shop, int brigade, int profession)
{
    return NextEntryInSelection(cursor, doc, doc.infoBase.bln, shop, brigade, profession);
}

int NextVacationEntryInSelection(int cursor, const PayrollDoc& doc, int shop, int brigade, int profession)
{
    return NextEntryInSelection(cursor, doc, doc.infoBase.otp, shop, brigade, profession);
}

bool EmployeeInStatement(const CInfoBase& base, int employee, const StatementPrintParams& params, int markedOnly)
{
    const infobase::EmployeeListEntry& entry = base.list[std::size_t(employee)];
    if (markedOnly)
        return entry.marked();
    return params.personnelNumber == 0 || entry.tabN() == params.personnelNumber;
}

int NextBonusLineInSelection(int cursor, const PayrollDoc& doc, int shop, int brigade, int profession)
{
    const CInfoBase& base = doc.infoBase;
    int employee =
        cursor < 0 ? NextEmployeeInSelection(-1, doc, shop, brigade, profession) : cursor / kBonusCursorStride;
    int line = cursor < 0 ? 0 : cursor % kBonusCursorStride + 1;
    while (employee >= 0) {
        const int count = std::min(base.prem.count(base.list[std::size_t(employee)].slot), kBonusCursorStride);
        if (line < count)
            return employee * kBonusCursorStride + line;
        employee = NextEmployeeInSelection(employee, doc, shop, brigade, profession);
        line = 0;
    }
    return -1;
}

void PackEmployeeForPrint(const PayrollDoc& doc, infobase::PackedEmployeeRecord& out)
{
    infobase::EmployeeRecordToAnsi(doc.infoBase.current, out);
}

} // namespace kalvor::print
