#pragma once
// Opening a base and reading everything, as the load benchmarks time it:
// OpenBase, LoadAll, then every employee's whole record read in slot order.
#include "infobase/InfoBaseDb.h"
#include "infobase/InfoBaseDbDetail.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

// Opens the base of that folder and name into `loaded` and reads it whole;
// the caller closes it.
inline void OpenAndReadWhole(kalvor::infobase::CInfoBase& loaded, const QString& workFolder, const QString& baseName)
{
    using namespace kalvor::infobase;
    loaded.workFolder = workFolder;
    loaded.baseName = baseName;
    OpenBase(loaded);
    LoadAll(loaded);
    detail::BulkEmployeeLoader loader(Db(loaded), detail::BAll);
    std::vector<EmployeeListEntry> bySlot = loaded.list;
    std::sort(bySlot.begin(), bySlot.end(), [](auto& x, auto& y) { return x.slot < y.slot; });
    for (const EmployeeListEntry& e : bySlot) {
        loader.load(e.slot, loaded.current);
        benchmark::DoNotOptimize(loaded.current);
    }
}
