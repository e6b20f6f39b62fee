#include "payroll/Criteria.h"

#include "payroll/PayKinds.h"
#include "platform/CodePage.h"
#include "values/Values.h"

#include <algorithm>
#include <cstring>

namespace kalvor {

using infobase::EmployeeAttributes;
using infobase::SeniorityRule;

int EmployeeDateYear(std::uint16_t packedDate)
{
    if (packedDate == 0)
        return 0;
    return WidenTwoDigitYear(PackedDate(packedDate).yearField());
}

namespace {

bool inRange(int value, int min, int max) { return min <= value && (max == 0 || value <= max); }

// One service condition of a rule: narrows [first, last]; false when the rule
// does not apply in the month.
bool serviceCondition(int min, int max, std::uint16_t date, int reportingYear, int m, int monthLength, int& first,
                      int& last)
{
    if (min == 0 && max == 0)
        return true;
    if (date == 0)
        return false;
    const PackedDate d(date);
    const int months = MonthIndex(reportingYear, m) - MonthIndex(EmployeeDateYear(date), d.month());
    const int top = max == 0 ? 2000 : max;
    if (months < min || top < months - 1)
        return false;
    const int f = months - 1 < min ? d.day() : 1;
    const int l = top < months ? d.day() - 1 : monthLength;
    if (l < f)
        return false;
    first = std::max(first, f);
    last = std::min(last, l);
    return true;
}

} // namespace

int RuleAppliesToEmployee(const SeniorityRule& rule, int month, int slot, int outDays[2],
                          const int* monthLengths, const PayrollDoc& doc)
{
    const auto& base = doc.infoBase;
    const int reportingMonth = base.config.reportingMonth();
    const int reportingYear = base.config.reportingYear();
    if (month == 0)
        month = reportingMonth;
    int d = month - reportingMonth;
    if (d >= 6)
        d -= 12;
    else if (d < -6)
        d += 12;
    const int m = reportingMonth + d;
    const int monthLength = monthLengths[WrapMonth(m)];

    if (!base.holdsSlot(slot))
        return 0;
    const EmployeeAttributes& a = base.attributesOf(slot);
    const int shop = base.shopOf(slot);
    if (!inRange(shop, rule.otdMin, rule.otdMax) || !inRange(a.brig, rule.brigMin, rule.brigMax) ||
        !inRange(a.prof, rule.profMin, rule.profMax & 127) || !inRange(a.kateg, rule.kategMin, rule.kategMax))
        return 0;

    const auto& head = base.current.head;
    int first = 1, last = monthLength;
    if (!serviceCondition(rule.vozMin, rule.vozMax, head.datR, reportingYear, m, monthLength, first, last) ||
        !serviceCondition(rule.rabMin, rule.rabMax, head.datPr1, reportingYear, m, monthLength, first, last) ||
        !serviceCondition(rule.sevMin, rule.sevMax, head.datSevStag, reportingYear, m, monthLength, first, last))
        return 0;
    if (first > last)
        return 0;
    outDays[0] = first;
    outDays[1] = last;
    return 1;
}

int FormatProfessionName(char* field, int code, const PayrollDoc& doc)
{
    std::memset(field, ' ', kProfessionNameWidth);
    const auto& ref = doc.refFiles;
    const int count = std::min<int>(ref.profiCount, int(ref.profi.size()));
    int found = -1;
    if (code != 0 && count > 0) {
        // The binary search of the pay kinds, over the signed codes.
        int low = 0, high = count - 1, middle = (low + high) / 2;
        while (middle != low) {
            const int c = ref.profi[std::size_t(middle)].code;
            if (c < code)
                low = middle;
            else if (c > code)
                high = middle;
            else
                break;
            middle = (low + high) / 2;
        }
        if (ref.profi[std::size_t(middle)].code == code)
            found = middle;
        else if (middle + 1 < count && ref.profi[std::size_t(middle + 1)].code == code)
            found = middle + 1;
    }
    if (found < 0) {
        const QByteArray digits = QByteArray::number(static_cast<unsigned>(code));
        const int n = std::min<int>(int(digits.size()), kProfessionNameWidth - 1);
        std::memcpy(field, digits.constData(), std::size_t(n));
        field[n] = '\0';
        return 1;
    }
    const QByteArray name = codepage::toCp1251(ref.profi[std::size_t(found)].name);
    std::memcpy(field, name.constData(), std::size_t(std::min<int>(int(name.size()), kProfessionNameWidth)));
    return 0;
}

} // namespace kalvor
