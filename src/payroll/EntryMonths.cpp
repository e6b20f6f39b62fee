#include "payroll/EntryMonths.h"

#include "payroll/CalendarMath.h"

namespace kalvor {

int ArchiveEntryMonth(const infobase::WariaEntry& e, bool usePaidMonth)
{
    if (usePaidMonth && e.mesVyd != 0 && e.godVyd != 0)
        return MonthKey(e.godVyd, e.mesVyd).value();
    if (e.mes == 0)
        return 0;
    return MonthKey(e.god, e.mes).value();
}

int MonthRowMonth(const infobase::AccrualRow& row, int tekMes)
{
    if (row.mes == 0)
        return 0;
    int key = MonthKey(MonthKey::of(tekMes).year(), row.mes).value();
    const int d = MonthKeyDiff(tekMes, key);
    if (d < -6)
        key = MonthKeyAdd(key, 12);
    else if (d > 5)
        key = MonthKeyAdd(key, -12);
    return key;
}

} // namespace kalvor
