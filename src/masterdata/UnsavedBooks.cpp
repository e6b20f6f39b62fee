#include "masterdata/UnsavedBooks.h"

#include <mutex>
#include <set>
#include <tuple>
#include <utility>

namespace kalvor::masterdata {

namespace {

// Books owed a save, by base (its address and name, so that another base
// opened later at the same address owes nothing).
struct OwedSave {
    const infobase::CInfoBase* base;
    QString baseName;
    RefBook book;
    bool operator<(const OwedSave& other) const
    {
        return std::tie(base, baseName, book) < std::tie(other.base, other.baseName, other.book);
    }
};

std::mutex g_lock;
std::set<OwedSave> g_owed;

} // namespace

void RememberUnsavedBook(const infobase::CInfoBase& base, RefBook book)
{
    std::lock_guard guard(g_lock);
    g_owed.insert({&base, base.baseName, book});
}

bool TakeUnsavedBook(const infobase::CInfoBase& base, RefBook book)
{
    std::lock_guard guard(g_lock);
    return g_owed.erase({&base, base.baseName, book}) > 0;
}

} // namespace kalvor::masterdata
