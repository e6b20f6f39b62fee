#include "infobase/InfoBase.h"

#include "values/Clock.h"

#include <algorithm>
#include <set>

namespace kalvor::infobase {

CInfoBase::CInfoBase() { AllocateTables(0); }

CInfoBase::~CInfoBase() { Clock::setReferenceYear(this, 0); }

void CInfoBase::AllocateTables(int cap)
{
    cap = std::clamp(cap, 0, MaxCapacity);
    config.kolMax = u16(cap);
    const std::size_t n = std::size_t(cap);
    shortNames_.assign(n, QString());
    attributes_.assign(n, EmployeeAttributes{});
    shopBytes_.assign(n, 0);
    tabel_.assign(n, TabelRecord{});
    av_.assign(n, 0.0);
    zar1_.assign(n, 0.0);
    altTabel.allocate(cap, 3 * cap);
    prem.allocate(cap, 3 * cap);
    bln.allocate(cap, cap);
    otp.allocate(cap, cap);
    list.reserve(n);
}

u16 CInfoBase::indexWord(LineKind kind, int slot) const
{
    switch (kind) {
    case LineKind::AltTabel: return altTabel.word(slot);
    case LineKind::Prem: return prem.word(slot);
    case LineKind::Bln: return bln.word(slot);
    case LineKind::Otp: return otp.word(slot);
    }
    return 0;
}

void CInfoBase::setIndexWord(LineKind kind, int slot, u16 word)
{
    switch (kind) {
    case LineKind::AltTabel: altTabel.setWord(slot, word); return;
    case LineKind::Prem: prem.setWord(slot, word); return;
    case LineKind::Bln: bln.setWord(slot, word); return;
    case LineKind::Otp: otp.setWord(slot, word); return;
    }
}

void CInfoBase::setPayKinds(std::vector<PayKind> kinds)
{
    payKinds_ = std::move(kinds);
    orderPayKinds();
}

void CInfoBase::addPayKind(const PayKind& kind)
{
    payKinds_.push_back(kind);
    orderPayKinds();
}

void CInfoBase::erasePayKind(int number)
{
    const std::size_t place = SlotPlace(number, payKinds_.size());
    if (place >= payKinds_.size())
        return;
    payKinds_.erase(payKinds_.begin() + std::ptrdiff_t(place));
    orderPayKinds();
}

void CInfoBase::orderPayKinds()
{
    std::stable_sort(payKinds_.begin(), payKinds_.end(), PayKindBefore);
    config.nEnt = u16(payKinds_.size());
    int highest = 0;
    for (const PayKind& k : payKinds_) highest = std::max(highest, int(k.kod));
    payKindNumbers.assign(std::size_t(highest) + 1, 0);
    for (int number = 1; number <= int(payKinds_.size()); ++number) {
        i16& indexed = payKindNumbers[payKindAt(number).kod];
        if (indexed == 0)
            indexed = i16(number);
    }
}

const ShopRecord* CInfoBase::shopNumbered(int number) const
{
    if (number == 0)
        return nullptr;
    for (const ShopRecord& shop : shops_)
        if (shop.number == number)
            return &shop;
    return nullptr;
}

bool CInfoBase::EmployeeInGroup(int slot, int shop, int brigade, int profession) const
{
    if (!holdsSlot(slot))
        return false;
    const EmployeeAttributes& a = attributesOf(slot);
    return (shop == 0 || shopOf(slot) == shop) && (brigade == 0 || a.brig == brigade) &&
           (profession == 0 || int(a.prof) == profession);
}

int CInfoBase::tabNOfSlot(int slot) const
{
    for (const std::vector<EmployeeListEntry>* l : {&list, &otherList})
        for (const EmployeeListEntry& e : *l)
            if (e.slot == slot)
                return e.tabN();
    return 0;
}

QString CInfoBase::employeeNamed(int slot) const
{
    return QStringLiteral("Таб.N %1 %2").arg(tabNOfSlot(slot)).arg(holdsSlot(slot) ? shortNameOf(slot).trimmed() : QString());
}

int CInfoBase::FindEmployee(int tabN) const
{
    const int count = int(list.size());
    if (count == 0 || tabN == 0)
        return -1;
    if (nameOrder()) {
        for (int i = 0; i < count; ++i)
            if (list[std::size_t(i)].tabN() == tabN)
                return i;
        return -1;
    }
    int lo = 0, hi = count; // search by halving for the first key >= tabN
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (list[std::size_t(mid)].tabN() < tabN)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < count && list[std::size_t(lo)].tabN() == tabN)
        return lo;
    return -std::max(1, lo);
}

int CInfoBase::InsertionPosition(int tabN) const
{
    const int count = int(list.size());
    if (count == 0 || nameOrder())
        return 0;
    const int r = FindEmployee(tabN);
    if (r >= 0)
        return r;
    // The position fix-up that callers apply to the miss value.
    int p = -r;
    if (p == count)
        p = count - 1;
    if (tabN > list[std::size_t(p)].tabN())
        ++p;
    else if (p > 0 && tabN < list[std::size_t(p - 1)].tabN())
        --p;
    return p;
}

int CInfoBase::InsertEmployeeEntry(int tabN, int slot)
{
    if (int(list.size()) >= capacity())
        return -1;
    EmployeeListEntry e;
    e.setTabN(u16(tabN));
    e.slot = u16(slot);
    const int p = InsertionPosition(tabN);
    list.insert(list.begin() + p, e);
    config.kolRab = i16(list.size());
    return p;
}

int CInfoBase::EraseEmployeeEntry(int index)
{
    if (index < 0 || index >= int(list.size()))
        return -1;
    list.erase(list.begin() + index);
    config.kolRab = i16(list.size());
    if (list.empty())
        return -1;
    return std::min(index, int(list.size()) - 1);
}

// Names compare letter by letter in the Russian alphabet, case aside, with
// Ё taken as Е (the code order of both Unicode and windows-1251 would put Ё
// apart from Е).
static QString collationKey(const QString& name)
{
    QString k = name.toUpper();
    k.replace(QChar(u'Ё'), QChar(u'Е'));
    return k;
}

// The key an entry sorts by in the name order: its name's collation key
// (empty for an entry without a slot of the base).
static QString nameKeyOf(const CInfoBase& base, const EmployeeListEntry& e)
{
    return base.holdsSlot(e.slot) ? collationKey(base.shortNameOf(e.slot)) : QString();
}

// Name keys first, personnel numbers after equal keys.
static bool keyedBefore(const QString& keyA, const EmployeeListEntry& a, const QString& keyB,
                        const EmployeeListEntry& b)
{
    const int c = QString::compare(keyA, keyB);
    if (c != 0)
        return c < 0;
    return a.tabN() < b.tabN();
}

bool CInfoBase::CompareEmployeesByName(const EmployeeListEntry& a, const EmployeeListEntry& b) const
{
    return keyedBefore(nameKeyOf(*this, a), a, nameKeyOf(*this, b), b);
}

void CInfoBase::SortList(std::vector<EmployeeListEntry>& l, bool byName) const
{
    if (!byName) {
        std::stable_sort(l.begin(), l.end(), CompareEmployeesByTabN);
        return;
    }
    // Each entry's key is made once, not in every comparison.
    std::vector<std::pair<QString, EmployeeListEntry>> keyed;
    keyed.reserve(l.size());
    for (const EmployeeListEntry& e : l) keyed.emplace_back(nameKeyOf(*this, e), e);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return keyedBefore(a.first, a.second, b.first, b.second); });
    for (std::size_t i = 0; i < l.size(); ++i) l[i] = keyed[i].second;
}

int CInfoBase::CheckIndexFreeSlot()
{
    BySlot<char> slotUsed(slotCount(), 0);
    std::set<int> numbers;
    unsigned wrong = 0;
    for (const EmployeeListEntry& e : list) {
        if (!holdsSlot(e.slot) || slotUsed[e.slot])
            ++wrong;
        else
            slotUsed[e.slot] = 1;
        if (e.tabN() != 0 && !numbers.insert(e.tabN()).second)
            ++wrong;
    }
    if (wrong > 0) {
        if (showError)
            showError(QStringLiteral("Количество  ошибочных  записей   = %1.\nПерейдите в режим сортировки работников\n"
                                     "по табельным номерам и повторите ввод")
                          .arg(wrong));
        return -2;
    }

    // Unnumbered entries get the next free personnel numbers.
    bool renumbered = false;
    int next = numbers.empty() ? 1 : *numbers.rbegin() + 1;
    for (EmployeeListEntry& e : list) {
        if (e.tabN() != 0)
            continue;
        if (next > EmployeeListEntry::MaxPersonnelNumber) {
            next = 1;
            while (numbers.count(next)) ++next;
        }
        if (next > EmployeeListEntry::MaxPersonnelNumber)
            break;
        e.setTabN(u16(next));
        numbers.insert(next);
        renumbered = true;
        while (numbers.count(next)) ++next;
    }
    if (renumbered)
        SortList(list, nameOrder());

    for (int slot = 1; slot <= slotCount(); ++slot)
        if (!slotUsed[slot])
            return slot;
    if (showError)
        showError(QStringLiteral("Невозможно создать новую запись.\nБаза данных переполнена."));
    return -1;
}

void CInfoBase::CreateSwapFile()
{
    swap.setPath(swapPath());
    swap.create();
}

void CInfoBase::OpenSwapFile()
{
    swap.setPath(swapPath());
    swap.open();
}

void EmployeeRecordFromAnsi(const PackedEmployeeRecord& in, CInfoBase& base)
{
    EmployeeRecordFromAnsi(in, base.current);
    base.warDat.clear();
}

void CInfoBase::ClearCurrentRecord()
{
    current.clear();
    warDat.clear();
}

} // namespace kalvor::infobase
