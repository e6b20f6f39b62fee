// Employee lists: search, insertion and removal, the free-slot check; the
// line-array splice with its index words; the tables kept by record slot.
#include "infobase/BySlot.h"
#include "infobase/InfoBase.h"
#include "infobase/RefFiles.h"
#include "support/SlotArrays.h"
#include "support/TestFixture.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <utility>

using namespace kalvor::infobase;

namespace {

EmployeeListEntry entry(int tabN, int slot)
{
    EmployeeListEntry e;
    e.setTabN(u16(tabN));
    e.slot = u16(slot);
    return e;
}

// A base of capacity 10 with numbers 10, 20, 30, 40 in slots 4, 1, 3, 2.
void smallBase(CInfoBase& b)
{
    b.AllocateTables(10);
    b.list = {entry(10, 4), entry(20, 1), entry(30, 3), entry(40, 2)};
    b.shortNameOf(1) = QStringLiteral("Петров П. П.");
    b.shortNameOf(2) = QStringLiteral("Абрамов А. А.");
    b.shortNameOf(3) = QStringLiteral("Яковлев Я. Я.");
    b.shortNameOf(4) = QStringLiteral("Ёлкин Е. Е.");
}

std::vector<int> numbers(const CInfoBase& b)
{
    std::vector<int> n;
    for (const auto& e : b.list) n.push_back(e.tabN());
    return n;
}

} // namespace

TEST(EmployeeLists, FindEmployeeHitsAndMisses)
{
    CInfoBase b;
    b.AllocateTables(10);
    EXPECT_EQ(b.FindEmployee(10), -1); // empty list
    smallBase(b);
    EXPECT_EQ(b.FindEmployee(0), -1);
    EXPECT_EQ(b.FindEmployee(10), 0);
    EXPECT_EQ(b.FindEmployee(30), 2);
    EXPECT_EQ(b.FindEmployee(40), 3);
    // Misses: minus the insertion point, at least 1.
    EXPECT_EQ(b.FindEmployee(5), -1);
    EXPECT_EQ(b.FindEmployee(15), -1);
    EXPECT_EQ(b.FindEmployee(25), -2);
    EXPECT_EQ(b.FindEmployee(35), -3);
    EXPECT_EQ(b.FindEmployee(99), -4);
    EXPECT_EQ(FindEmployeeByTabN(b, 25), -2);

    // Name order: the list is scanned, a miss is -1.
    b.firm.parWord |= 0x20;
    b.SortList(b.list, true);
    EXPECT_EQ(numbers(b), (std::vector<int>{40, 10, 20, 30})); // Абрамов, Ёлкин, Петров, Яковлев
    EXPECT_EQ(b.FindEmployee(30), 3);
    EXPECT_EQ(b.FindEmployee(35), -1);
}

TEST(EmployeeLists, InsertAndEraseKeepTheOrder)
{
    CInfoBase b;
    smallBase(b);
    // First, middle and last places, and between every pair.
    EXPECT_EQ(b.InsertEmployeeEntry(5, 5), 0);
    EXPECT_EQ(b.InsertEmployeeEntry(25, 6), 3);
    EXPECT_EQ(b.InsertEmployeeEntry(50, 7), 6);
    EXPECT_EQ(b.InsertEmployeeEntry(15, 8), 2);
    EXPECT_EQ(b.InsertEmployeeEntry(45, 9), 7);
    EXPECT_EQ(numbers(b), (std::vector<int>{5, 10, 15, 20, 25, 30, 40, 45, 50}));
    EXPECT_EQ(b.config.kolRab, 9);
    EXPECT_EQ(b.list[4].slot, 6);
    EXPECT_EQ(b.InsertEmployeeEntry(60, 10), 9);
    EXPECT_EQ(b.InsertEmployeeEntry(70, 11), -1); // capacity reached

    // Into a list of one.
    CInfoBase one;
    one.AllocateTables(5);
    one.list = {entry(100, 1)};
    EXPECT_EQ(one.InsertEmployeeEntry(50, 2), 0);
    EXPECT_EQ(one.InsertEmployeeEntry(150, 3), 2);
    EXPECT_EQ(numbers(one), (std::vector<int>{50, 100, 150}));

    // In name order a new entry goes first.
    CInfoBase n;
    smallBase(n);
    n.firm.parWord |= 0x20;
    EXPECT_EQ(n.InsertEmployeeEntry(35, 5), 0);

    // Erasing shows the next entry, or the new last one.
    EXPECT_EQ(b.EraseEmployeeEntry(0), 0);
    EXPECT_EQ(b.list[0].tabN(), 10);
    EXPECT_EQ(b.EraseEmployeeEntry(4), 4);
    EXPECT_EQ(b.list[4].tabN(), 40);
    const int last = int(b.list.size()) - 1;
    EXPECT_EQ(b.EraseEmployeeEntry(last), last - 1);
    EXPECT_EQ(b.list.back().tabN(), 50);
    EXPECT_EQ(b.config.kolRab, i16(b.list.size()));
    CInfoBase single;
    single.AllocateTables(2);
    single.list = {entry(1, 1)};
    EXPECT_EQ(single.EraseEmployeeEntry(0), -1);
    EXPECT_EQ(single.EraseEmployeeEntry(0), -1);
}

TEST(EmployeeLists, CheckIndexFreeSlot)
{
    QStringList shown;
    CInfoBase b;
    smallBase(b);
    b.showError = [&shown](const QString& m) { shown << m; };
    EXPECT_EQ(b.CheckIndexFreeSlot(), 5);
    EXPECT_TRUE(shown.isEmpty());

    // Unnumbered entries get the next numbers and the list is sorted again.
    b.list.insert(b.list.begin(), entry(0, 5));
    b.list.insert(b.list.begin(), entry(0, 6));
    EXPECT_EQ(b.CheckIndexFreeSlot(), 7);
    EXPECT_EQ(numbers(b), (std::vector<int>{10, 20, 30, 40, 41, 42}));
    EXPECT_EQ(b.list[4].slot, 6);
    EXPECT_EQ(b.list[5].slot, 5);

    // A slot used twice and a slot out of range are wrong entries.
    b.list.push_back(entry(43, 3));
    b.list.push_back(entry(44, 11));
    EXPECT_EQ(b.CheckIndexFreeSlot(), -2);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Количество  ошибочных  записей   = 2.\n")));

    // Full base.
    CInfoBase full;
    full.AllocateTables(2);
    full.list = {entry(1, 2), entry(2, 1)};
    full.showError = [&shown](const QString& m) { shown << m; };
    EXPECT_EQ(full.CheckIndexFreeSlot(), -1);
    EXPECT_EQ(shown.back(), QStringLiteral("Невозможно создать новую запись.\nБаза данных переполнена."));
}

// ---------------------------------------------------------------------------

namespace {

BonusLine bonus(int kod)
{
    BonusLine b;
    b.kod = u16(kod);
    return b;
}

// Every index word must point at the slot's own lines, the runs must follow
// slot order back to back, and the lines after them must be empty.
void expectConsistent(const LineArray<BonusLine>& a, const std::vector<std::vector<int>>& expected)
{
    int pos = 0;
    for (int s = 1; s <= a.slotCount(); ++s) {
        const auto& want = expected[std::size_t(s - 1)];
        ASSERT_EQ(a.count(s), int(want.size())) << "slot " << s;
        if (want.empty()) {
            EXPECT_EQ(a.word(s), 0) << "slot " << s;
            continue;
        }
        EXPECT_EQ(a.first(s), pos) << "slot " << s;
        for (std::size_t i = 0; i < want.size(); ++i)
            EXPECT_EQ(a.lines[std::size_t(pos) + i].kod, want[i]) << "slot " << s << " line " << i;
        pos += int(want.size());
    }
    for (std::size_t i = std::size_t(pos); i < a.lines.size(); ++i) EXPECT_EQ(a.lines[i], BonusLine{}) << i;
}

} // namespace

TEST(LineArrays, SpliceAtFirstMiddleAndLastSlot)
{
    LineArray<BonusLine> a;
    a.allocate(3, 9);
    std::vector<std::vector<int>> want(3);
    auto set = [&](int slot, std::vector<int> kods) {
        std::vector<BonusLine> l;
        for (int k : kods) l.push_back(bonus(k));
        ASSERT_TRUE(a.replaceRun(slot, l));
        want[std::size_t(slot - 1)] = kods;
        expectConsistent(a, want);
    };
    set(2, {21, 22}); // middle slot into an empty array
    set(3, {31}); // last
    set(1, {11, 12, 13}); // first: later runs move up by 3
    EXPECT_EQ(a.word(2), LineIndexEntry::make(3, 2));
    EXPECT_EQ(a.word(3), LineIndexEntry::make(5, 1));
    set(2, {21, 22, 23, 24}); // grow the middle run
    set(1, {11}); // shrink the first
    set(3, {31, 32}); // grow the last
    set(2, {}); // delete the middle
    EXPECT_EQ(a.word(3), LineIndexEntry::make(1, 2));
    set(1, {}); // delete the first
    set(3, {}); // delete the last: all empty
    EXPECT_EQ(a.usedLines(), 0);

    // Line by line: insert before, after, delete.
    set(1, {11});
    set(3, {31});
    ASSERT_TRUE(a.insertLine(3, 0, bonus(30)));
    ASSERT_TRUE(a.insertLine(1, 1, bonus(12)));
    ASSERT_TRUE(a.insertLine(2, 0, bonus(21)));
    want = {{11, 12}, {21}, {30, 31}};
    expectConsistent(a, want);
    ASSERT_TRUE(a.removeLine(1, 0));
    ASSERT_TRUE(a.removeLine(3, 1));
    want = {{12}, {21}, {30}};
    expectConsistent(a, want);
    EXPECT_FALSE(a.removeLine(2, 1));
    EXPECT_FALSE(a.insertLine(2, 5));
}

TEST(LineArrays, LimitsLeaveTheArrayAsItWas)
{
    LineArray<BonusLine> a;
    a.allocate(2, 20);
    std::vector<BonusLine> sixteen(16, bonus(1));
    EXPECT_FALSE(a.replaceRun(1, sixteen)); // 15 lines per slot at most
    std::vector<BonusLine> fifteen(15, bonus(1));
    ASSERT_TRUE(a.replaceRun(1, fifteen));
    std::vector<BonusLine> six(6, bonus(2));
    EXPECT_FALSE(a.replaceRun(2, six)); // the array holds 20
    EXPECT_EQ(a.count(2), 0);
    EXPECT_EQ(a.lines[15], BonusLine{});
    EXPECT_FALSE(a.replaceRun(3, six)); // no such slot
    EXPECT_FALSE(a.replaceRun(0, six));

    // The base's arrays: three lines per slot for 't' and 'p', one for 'b' and 'o'.
    CInfoBase base;
    base.AllocateTables(100);
    EXPECT_EQ(base.altTabel.lineCapacity(), 300);
    EXPECT_EQ(base.prem.lineCapacity(), 300);
    EXPECT_EQ(base.bln.lineCapacity(), 100);
    EXPECT_EQ(base.otp.lineCapacity(), 100);
    AltTabelEntry e;
    e.kod = 3;
    ASSERT_TRUE(base.altTabel.replaceRun(50, std::vector<AltTabelEntry>{e}));
    ASSERT_TRUE(base.altTabel.replaceRun(7, std::vector<AltTabelEntry>{e, e}));
    ASSERT_TRUE(base.InsertAltTabelEntry(7, 1));
    EXPECT_EQ(base.altTabel.count(7), 3);
    EXPECT_EQ(base.altTabel.lines[1], AltTabelEntry{});
    EXPECT_EQ(base.indexWord(LineKind::AltTabel, 50), LineIndexEntry::make(3, 1));
}

TEST(LineArrays, FixtureEmployeesKeepConsistentRuns)
{
    CInfoBase base;
    BuildFixtureBase(base, 200, 3);
    // Every slot owns a bonus line; removing the run of an employee in the
    // middle and putting it back restores the array exactly.
    for (const auto& e : base.list) EXPECT_GE(base.prem.count(e.slot), 1);
    const auto before = base.prem.lines;
    const auto beforeIndex = base.prem.index;
    const auto run = base.prem.run(100);
    ASSERT_TRUE(base.prem.removeRun(100));
    EXPECT_EQ(base.prem.first(101), LineIndexEntry::first(beforeIndex[100]) - int(run.size()));
    ASSERT_TRUE(base.prem.replaceRun(100, run));
    EXPECT_EQ(base.prem.lines, before);
    EXPECT_EQ(base.prem.index, beforeIndex);
}

// A table by slot of a base of five slots: slot 1 is the first element, slot
// 5 the last, and slots 0 and 6 are none of them. The base's own arrays and
// the numbered books reach their elements by the same rule.
TEST(SlotTables, FirstAndLastSlotLandOnTheirOwnElement)
{
    CInfoBase base;
    base.AllocateTables(5);
    BySlot<int> table(base.slotCount(), -1);
    ASSERT_EQ(table.slotCount(), 5);
    table[1] = 10;
    table[3] = 30;
    table[5] = 50;
    EXPECT_EQ(table.values(), (std::vector<int>{10, -1, 30, -1, 50}));
    EXPECT_TRUE(table.holds(1));
    EXPECT_TRUE(table.holds(5));
    EXPECT_FALSE(table.holds(0));
    EXPECT_FALSE(table.holds(6));
    EXPECT_FALSE(table.holds(-1));
    EXPECT_FALSE(BySlot<int>().holds(1));
#ifdef QT_NO_DEBUG
    // A slot out of range writes nowhere and reads the blank value.
    table[0] = 99;
    table[6] = 99;
    EXPECT_EQ(table[0], -1);
    EXPECT_EQ(std::as_const(table)[6], -1);
    EXPECT_EQ(table.values(), (std::vector<int>{10, -1, 30, -1, 50}));
#else
    EXPECT_DEATH(table[0] = 99, "record slot out of range");
    EXPECT_DEATH(table[6] = 99, "record slot out of range");
#endif

    base.avOf(1) = 100;
    base.avOf(5) = 500;
    EXPECT_EQ(EveryAdvance(base), (std::vector<double>{100, 0, 0, 0, 500}));
    base.shopOf(1) = 7;
    base.shopOf(5) = 9;
    EXPECT_EQ(EveryShopByte(base), (std::vector<u8>{7, 0, 0, 0, 9}));
    EXPECT_TRUE(base.EmployeeInGroup(5, 9, 0, 0));
    EXPECT_FALSE(base.EmployeeInGroup(4, 9, 0, 0));
    EXPECT_FALSE(base.holdsSlot(6));

    base.setPayKinds(std::vector<PayKind>(3));
    EXPECT_EQ(&base.payKindAt(1), &base.payKinds()[0]);
    EXPECT_EQ(&base.payKindAt(3), &base.payKinds()[2]);
    EXPECT_FALSE(base.holdsPayKind(0));
    EXPECT_TRUE(base.holdsPayKind(3));
    EXPECT_FALSE(base.holdsPayKind(4));

    EXPECT_EQ(&base.scheduleAt(CInfoBase::ScheduleCount) - &base.scheduleAt(1), CInfoBase::ScheduleCount - 1);
    EXPECT_FALSE(CInfoBase::holdsSchedule(0));
    EXPECT_FALSE(CInfoBase::holdsSchedule(CInfoBase::ScheduleCount + 1));

    CRefFiles books;
    EXPECT_EQ(&books.taxTableAt(1), &books.nalog[0]);
    EXPECT_EQ(&books.taxTableAt(CRefFiles::NalogCount), &books.nalog[CRefFiles::NalogCount - 1]);
    EXPECT_FALSE(CRefFiles::holdsTaxTable(0));
    EXPECT_FALSE(CRefFiles::holdsTaxTable(CRefFiles::NalogCount + 1));
    EXPECT_EQ(&books.recipientAt(1), &books.recipients().front());
    EXPECT_EQ(&books.recipientAt(CRefFiles::BankCount), &books.recipients().back());
    EXPECT_FALSE(books.holdsRecipient(0));
    EXPECT_TRUE(books.holdsRecipient(CRefFiles::BankCount));
    EXPECT_FALSE(books.holdsRecipient(CRefFiles::BankCount + 1));
}
