// The records of a run's employees handed over as the current record, read
// from the base without the swap work file.
#include "infobase/InfoBaseDbDetail.h"

#include <algorithm>
#include <map>

namespace kalvor::infobase {

using namespace detail;

struct EmployeeRecordFeed::Impl {
    Impl(CInfoBase& b, std::vector<int> s)
        : base(b), wanted(std::move(s)), loader(Db(b), BAll, BulkEmployeeLoader::View::Callers)
    {
        std::sort(wanted.begin(), wanted.end());
        wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    }

    // Reads the slot's record as a selection run does: a cleared record with
    // every block loaded.
    void read(int slot, EmployeeRecord& rec)
    {
        rec.warKv = 0; // the one field that the loading leaves when the master row is missing
        if (rec.waria.size() != std::size_t(EmployeeRecord::ArchiveCapacity))
            rec.waria.assign(std::size_t(EmployeeRecord::ArchiveCapacity), WariaEntry{});
        if (next < wanted.size() && wanted[next] == slot) {
            ++next;
            loader.load(slot, rec);
        } else {
            // A slot not announced, or asked for twice: read on its own.
            EmployeeLoader(Db(base), BAll).load(slot, rec);
        }
    }

    // Reads the announced slots before `slot` (and `slot` itself when
    // `including`) that are not read yet: they wait in memory for their turn,
    // their blank archive entries left off.
    void readBefore(int slot, bool including)
    {
        while (next < wanted.size() && (wanted[next] < slot || (including && wanted[next] == slot))) {
            const int earlier = wanted[next];
            EmployeeRecord& rec = early[earlier];
            read(earlier, rec);
            rec.waria.resize(std::size_t(ArchiveEntriesInUse(rec.waria)));
            rec.waria.shrink_to_fit();
        }
    }

    CInfoBase& base;
    std::vector<int> wanted; // ascending
    std::size_t next = 0; // the first slot not read yet
    BulkEmployeeLoader loader;
    std::map<int, EmployeeRecord> early; // read before their turn
};

EmployeeRecordFeed::EmployeeRecordFeed(CInfoBase& base, std::vector<int> wanted)
    : d(std::make_unique<Impl>(base, std::move(wanted)))
{}

EmployeeRecordFeed::~EmployeeRecordFeed() = default;

void EmployeeRecordFeed::makeCurrent(int slot)
{
    EmployeeRecord& current = d->base.current;
    d->base.currentSlot = slot;
    if (const auto it = d->early.find(slot); it != d->early.end()) {
        current = std::move(it->second);
        d->early.erase(it);
        current.waria.resize(EmployeeRecord::ArchiveCapacity);
        return;
    }
    // The streams go by rising slots: the records before this one wait.
    d->readBefore(slot, false);
    d->read(slot, current);
}

void EmployeeRecordFeed::readAhead(int slot, const std::function<void(const EmployeeRecord&)>& use)
{
    d->readBefore(slot, true);
    if (const auto it = d->early.find(slot); it != d->early.end()) {
        use(it->second);
        return;
    }
    EmployeeRecord rec; // not announced, or handed over already
    d->read(slot, rec);
    use(rec);
}

} // namespace kalvor::infobase
