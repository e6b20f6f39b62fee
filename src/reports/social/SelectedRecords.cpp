#include "reports/social/SelectedRecords.h"

#include "values/Messages.h"

#include <algorithm>

namespace kalvor::reports {

using infobase::EmployeeRecord;
using infobase::WariaEntry;

void SelectedRecords::load(infobase::CInfoBase& base, int slot)
{
    const bool keepable = base.holdsSlot(slot);
    if (keepable && bySlot_.slotCount() < base.slotCount())
        bySlot_ = infobase::BySlot<Kept>(base.slotCount());
    if (keepable && bySlot_[slot].record) {
        restore(bySlot_[slot], base.current);
        return;
    }
    if (!base.swap.readSlot(slot, base.current))
        throw TextError(kMsgReadFailed);
    blankFrom_ = base.current.waria.size();
    if (keepable)
        keep(bySlot_[slot], base.current);
}

void SelectedRecords::keep(Kept& kept, EmployeeRecord& current)
{
    const std::size_t used = std::size_t(infobase::ArchiveEntriesInUse(current.waria));
    kept.archive.assign(current.waria.begin(), current.waria.begin() + std::ptrdiff_t(used));
    // The record is copied without its archive, which stays in place.
    std::vector<WariaEntry> archive = std::move(current.waria);
    current.waria.clear();
    kept.record.emplace(current);
    current.waria = std::move(archive);
    blankFrom_ = used;
}

void SelectedRecords::restore(const Kept& kept, EmployeeRecord& current)
{
    std::vector<WariaEntry> archive = std::move(current.waria);
    if (archive.size() != std::size_t(EmployeeRecord::ArchiveCapacity)) {
        archive.assign(EmployeeRecord::ArchiveCapacity, WariaEntry{});
        blankFrom_ = 0;
    }
    current = *kept.record;
    const auto end = std::copy(kept.archive.begin(), kept.archive.end(), archive.begin());
    if (kept.archive.size() < blankFrom_)
        std::fill(end, archive.begin() + std::ptrdiff_t(blankFrom_), WariaEntry{});
    blankFrom_ = kept.archive.size();
    current.waria = std::move(archive);
}

} // namespace kalvor::reports
