#pragma once
// The information base in memory: configuration, firm record, reference
// tables, the per-slot arrays and line arrays, the employee lists, the
// current employee record with its dated archive, and the swap work file.
//
// The database side (connection, Load*/Save*, the selection runs) lives in
// files of its own (InfoBaseDb.h ...) as functions over this object; this
// file holds only what lives in memory.
#include "infobase/BySlot.h"
#include "infobase/EmployeeRecord.h"
#include "infobase/LineArray.h"
#include "infobase/Records.h"
#include "infobase/SwapFile.h"
#include "platform/BaseLock.h"
#include "platform/WorkerThread.h"

#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace kalvor::infobase {

// Kinds of the line index (dbo.indexes.vid).
enum class LineKind : char { AltTabel = 't', Prem = 'p', Bln = 'b', Otp = 'o' };

struct BaseWrites;

class CInfoBase {
public:
    static constexpr int MaxCapacity = 1365; // 3 × capacity lines must fit 12-bit first-line numbers
    static constexpr int ShopCount = 250;
    static constexpr int ScheduleCount = 20;
    static constexpr int MaxPayKinds = 999;

    CInfoBase();
    // A base object that goes without CloseBase takes the reference year of
    // two-digit years it registered along with it; other bases keep theirs.
    ~CInfoBase();
    CInfoBase(const CInfoBase&) = delete;
    CInfoBase& operator=(const CInfoBase&) = delete;

    // Names of the base (kept for the connection layer) and the working folder,
    // which always ends in a separator.
    QString serverName, engineName, baseName;
    QString workFolder;

    InfoBaseConfig config;
    FirmInfo firm;

private:
    // The shop book and the work schedules, reached by number through shopAt
    // and scheduleAt.
    std::array<ShopRecord, ShopCount> shops_{};
    std::array<WorkSchedule, ScheduleCount> schedules_{};
    // Per-slot arrays, reached through the slot accessors below: each keeps
    // slot n at n - 1 (SlotPlace) and all are slotCount() long. Declared
    // here, before the worker, so that they (and the pay-kind book below)
    // outlive a run that uses them.
    std::vector<QString> shortNames_;
    std::vector<EmployeeAttributes> attributes_;
    std::vector<u8> shopBytes_;
    std::vector<TabelRecord> tabel_;
    std::vector<double> av_, zar1_;
    // The pay-kind book, sorted by kod, config.nEnt entries, and the number
    // of each code's first pay kind (0: none), by code: indexedPayKind, for
    // the lookups of a run that looks kinds up thousands of times.
    std::vector<PayKind> payKinds_;
    std::vector<i16> payKindNumbers;
    // The copies a change keeps of the base's tables, put back when it fails.
    friend class BaseChange;

public:
    LineArray<AltTabelEntry> altTabel; // 3 × capacity lines, index kind 't'
    LineArray<BonusLine> prem; // 3 × capacity lines, kind 'p'
    LineArray<SickLeaveSheet> bln; // capacity lines, kind 'b'
    LineArray<VacationNote> otp; // capacity lines, kind 'o'

    // Employee lists: the current one (personnel-number order when the firm's
    // list-order flag is clear, else name order) and a copy of the other order.
    std::vector<EmployeeListEntry> list;
    std::vector<EmployeeListEntry> otherList;

    // The current employee record, its slot (0 = none) and its dated archive.
    EmployeeRecord current;
    int currentSlot = 0;
    WarDatBlock warDat;

    SwapFile swap;

    // Messages shown by CheckIndexFreeSlot; the shell connects its message box.
    std::function<void(const QString&)> showError;

    // The slot bound: the number of record slots the per-slot arrays and the
    // line arrays' index words are allocated for. A slot is one of the base's
    // when holdsSlot says so (1 .. slotCount()); every reach into an array by
    // slot, every walk over the slots and every check of a stored slot number
    // takes this bound. A run's own per-slot table is made this long:
    // BySlot<T>(base.slotCount()).
    int slotCount() const { return int(attributes_.size()); }
    bool holdsSlot(int slot) const { return SlotInRange(slot, attributes_.size()); }
    // The employees the base takes (config.kolMax): how long the list may
    // grow. AllocateTables makes the arrays this many slots long; a caller may
    // lower it afterwards to take fewer employees, but it never bounds a slot.
    int capacity() const { return config.kolMax; }

    // The data of record slot `slot` (1 .. slotCount()) in each per-slot
    // array; a slot out of range stops a debug build.
    QString& shortNameOf(int slot) { return shortNames_[at(slot)]; }
    const QString& shortNameOf(int slot) const { return shortNames_[at(slot)]; }
    EmployeeAttributes& attributesOf(int slot) { return attributes_[at(slot)]; }
    const EmployeeAttributes& attributesOf(int slot) const { return attributes_[at(slot)]; }
    u8& shopOf(int slot) { return shopBytes_[at(slot)]; }
    u8 shopOf(int slot) const { return shopBytes_[at(slot)]; }
    TabelRecord& tabelOf(int slot) { return tabel_[at(slot)]; }
    const TabelRecord& tabelOf(int slot) const { return tabel_[at(slot)]; }
    double& avOf(int slot) { return av_[at(slot)]; }
    double avOf(int slot) const { return av_[at(slot)]; }
    double& zar1Of(int slot) { return zar1_[at(slot)]; }
    double zar1Of(int slot) const { return zar1_[at(slot)]; }
    int employeeCount() const { return int(list.size()); }
    // Work schedule number `number` (1 .. ScheduleCount); out of range stops
    // a debug build.
    static bool holdsSchedule(int number) { return SlotInRange(number, ScheduleCount); }
    WorkSchedule& scheduleAt(int number) { return schedules_[SlotPlace(number, ScheduleCount)]; }
    const WorkSchedule& scheduleAt(int number) const { return schedules_[SlotPlace(number, ScheduleCount)]; }
    // The same for a number that may lie outside the book: below 1 it reads
    // as the first schedule, past the book as its last.
    WorkSchedule& nearestSchedule(int number) { return scheduleAt(std::clamp(number, 1, ScheduleCount)); }
    const WorkSchedule& nearestSchedule(int number) const { return scheduleAt(std::clamp(number, 1, ScheduleCount)); }
    // Record `record` (1 .. ShopCount) of the shop book, in the book's order;
    // out of range stops a debug build.
    static bool holdsShop(int record) { return SlotInRange(record, ShopCount); }
    ShopRecord& shopAt(int record) { return shops_[SlotPlace(record, ShopCount)]; }
    const ShopRecord& shopAt(int record) const { return shops_[SlotPlace(record, ShopCount)]; }
    // The shop book's record of shop number `number`: the book keeps its
    // records in number order from its first place on, so a shop's place is
    // not its number. nullptr for 0 or a number the book lacks.
    const ShopRecord* shopNumbered(int number) const;
    // The pay kind numbered `number` (1 .. payKinds().size()) in the table's
    // order, as the pay-kind book numbers its records; out of range stops a
    // debug build.
    bool holdsPayKind(int number) const { return SlotInRange(number, payKinds_.size()); }
    PayKind& payKindAt(int number) { return payKinds_[SlotPlace(number, payKinds_.size())]; }
    const PayKind& payKindAt(int number) const { return payKinds_[SlotPlace(number, payKinds_.size())]; }
    // The whole pay-kind book (sorted by kod) in number order, for a walk over
    // it, its count and a search; a kind's fields but its code are changed
    // through payKindAt, the book as a whole by the changes below. Each of
    // them keeps the book in code order (kinds of one code in the order they
    // came), indexed by code and config.nEnt its count.
    const std::vector<PayKind>& payKinds() const { return payKinds_; }
    // Replaces the whole book with these kinds, put in code order.
    void setPayKinds(std::vector<PayKind> kinds);
    // Adds the kind after the kinds of its code and before the higher codes.
    void addPayKind(const PayKind& kind);
    // Removes the kind numbered `number` and closes the gap.
    void erasePayKind(int number);
    // The pay-kind book's order: by code, kinds of one code as they stand
    // (for std::stable_sort).
    static bool PayKindBefore(const PayKind& a, const PayKind& b) { return a.kod < b.kod; }
    // The number of the first pay kind of code `code` in the book; 0 when it
    // has none. A lookup takes the number only when the kind of that number
    // still has the code and searches the table otherwise, so a code changed
    // through payKindAt is still found, only slower.
    int indexedPayKind(int code) const
    {
        return code >= 1 && std::size_t(code) < payKindNumbers.size() ? payKindNumbers[std::size_t(code)] : 0;
    }
    bool nameOrder() const { return firm.nameOrder(); }

    // (Re)allocates every per-slot array and line array for the capacity (at
    // most MaxCapacity), all zero; the employee lists are left as they are.
    void AllocateTables(int capacity);
    // The index word of the slot in the line array of that kind.
    u16 indexWord(LineKind kind, int slot) const;
    void setIndexWord(LineKind kind, int slot, u16 word);
    // The one employee filter of every selection: true when the record slot
    // holds an employee whose shop byte, brigade and profession equal the
    // non-zero keys (0 = any).
    bool EmployeeInGroup(int slot, int shop, int brigade, int profession) const;

    // The personnel number of the slot's employee, from either list; 0 when
    // no list holds him.
    int tabNOfSlot(int slot) const;
    // The slot's employee as the program names him to the user: "Таб.N 112
    // Петров П.П." (his number and short name).
    QString employeeNamed(int slot) const;

    // Index of the entry of personnel number tabN in the current list; -1 for an
    // empty list or number 0. In personnel-number order a miss gives -p, p the
    // insertion point but at least 1; in name order a miss gives -1.
    int FindEmployee(int tabN) const;
    // Where a new number goes in the personnel-number list, from FindEmployee's miss value.
    int InsertionPosition(int tabN) const;
    // Puts an entry into the current list at its place (by number, or first in
    // name order); the count grows by one. Returns its index, -1 when full.
    int InsertEmployeeEntry(int tabN, int slot);
    // Removes the entry at index from the current list; returns the index to show next
    // (the same index, the new last one, or -1 when the list is now empty).
    int EraseEmployeeEntry(int index);
    // Counts used slots, numbers unnumbered entries, sorts the list in its
    // order and returns the first free slot; -1 when full and -2 when wrong
    // entries were found, after showing its message.
    int CheckIndexFreeSlot();

    bool CompareEmployeesByName(const EmployeeListEntry& a, const EmployeeListEntry& b) const;
    static bool CompareEmployeesByTabN(const EmployeeListEntry& a, const EmployeeListEntry& b)
    {
        return a.tabN() < b.tabN();
    }
    void SortList(std::vector<EmployeeListEntry>& l, bool byName) const;

    // An empty alternative time-sheet line among the slot's lines (later lines move up).
    bool InsertAltTabelEntry(int slot, int position) { return altTabel.insertLine(slot, position); }

    // Swap work file in the working folder.
    QString swapPath() const { return workFolder + QStringLiteral("swap"); }
    void CreateSwapFile();
    void OpenSwapFile();
    void CloseSwapFile() { swap.close(); }

    // The current record.
    void ClearCurrentRecord();

    // The lock of the base while it is open for writing: OpenBase takes it
    // (or finds it taken for this base by the caller), CloseBase drops it.
    // Mutable: closing is an operation on a const base.
    mutable platform::BaseLock lock;

    // What memory knows of the base's writes while it is open (GuardBaseWrites
    // in BaseWrites.h): the base's generation it follows, a write whose
    // outcome is not known yet.
    std::shared_ptr<BaseWrites> writes;

    // The threads that read the employees' records for a run of the month's
    // calculation on a server (EmployeeRecordFeed), each on a session of its
    // own kept from run to run with its prepared statements, so that a run
    // neither waits for new sessions nor prepares its reading anew. Idle
    // between runs; CloseBase closes their sessions too.
    mutable std::array<platform::WorkerThread, 4> recordReaders;

    // The thread on which the long runs over this base work (the month's
    // calculation), kept for the life of the base object so that its
    // connection to the base is opened once, not once per run. CloseBase closes
    // that connection too. Mutable: closing is an operation on a const base.
    // Last, so that it ends before anything that a run uses goes.
    mutable platform::WorkerThread worker;

private:
    // Puts the book in code order (stable), counts it in config.nEnt and
    // indexes it by code: the end of every change of the book.
    void orderPayKinds();
    // The place of a slot in the per-slot arrays.
    std::size_t at(int slot) const { return SlotPlace(slot, attributes_.size()); }
};

// Converts an 8-bit record into the base's current record. The dated archive
// beside it is cleared, so that it is never saved under the wrong employee.
void EmployeeRecordFromAnsi(const PackedEmployeeRecord& in, CInfoBase& base);

// The same search reached without the class name.
inline int FindEmployeeByTabN(const CInfoBase& base, int tabN) { return base.FindEmployee(tabN); }

} // namespace kalvor::infobase
