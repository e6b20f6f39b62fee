#pragma once
// A change of the in-memory base that must be all or nothing, guarded the way
// a database transaction guards the stored base: the object opens a write
// transaction and keeps a copy of the tables it is told the change alters;
// commit() commits the transaction and drops the copy, and an object that
// goes without commit() (an exception on its way) rolls the transaction back
// and puts those tables back as they were. A COMMIT whose outcome is not
// known puts them back too, at once (BaseWrites.h, CommitPuttingBackInDoubt),
// and, for a change that asks for it, the base's guard keeps the tables as
// the change made them, to bring memory to the change should the server have
// made it: whole tables, as the guard settles the write before any screen
// takes typed input into memory.
#include "infobase/InfoBase.h"
#include "platform/DbTransaction.h"

#include <functional>
#include <memory>

namespace kalvor::infobase {

// The tables of the in-memory base a change names; or-ed together. Scoped, so
// that no name clashes with the declarations of the stored tables.
enum class BaseTable : unsigned {
    Lists = 1u << 0, // both employee lists
    Config = 1u << 1,
    Schedules = 1u << 2,
    ShortNames = 1u << 3,
    Attributes = 1u << 4,
    ShopBytes = 1u << 5, // the shop bytes of the slots
    Tabel = 1u << 6,
    Advances = 1u << 7, // the advances and the first-half pay
    Lines = 1u << 8, // alternative time sheet, bonus, sick-leave and vacation lines
    CurrentEmployee = 1u << 9, // the loaded record, its slot and its dated archive
};

constexpr BaseTable operator|(BaseTable a, BaseTable b) { return BaseTable(unsigned(a) | unsigned(b)); }
// Whether the set names the table.
constexpr bool Names(BaseTable set, BaseTable table) { return (unsigned(set) & unsigned(table)) != 0; }

class BaseChange {
public:
    // After a COMMIT in doubt made after all: memory follows the change, or
    // stays behind (the month change: every write is refused naming both
    // months until the base is read again, so that nothing typed for the
    // old month is written into the new one).
    enum class InDoubt { StayBehind, Follow };
    BaseChange(CInfoBase& base, BaseTable tables, InDoubt inDoubt = InDoubt::StayBehind);
    ~BaseChange();
    BaseChange(const BaseChange&) = delete;
    BaseChange& operator=(const BaseChange&) = delete;

    // Commits the transaction; the copies go. Nothing once committed or
    // put back.
    void commit();

private:
    struct Kept;
    // Gives memory the copies back, once.
    void putBack();
    // Brings memory to the tables as they are now.
    std::function<void()> madeChange();

    CInfoBase& base_;
    BaseTable tables_;
    InDoubt inDoubt_;
    std::unique_ptr<Kept> kept_;
    db::Transaction transaction_;
};

} // namespace kalvor::infobase
