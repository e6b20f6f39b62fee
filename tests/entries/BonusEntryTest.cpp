// The bonus lines of the entry screen on a fixture base in memory: the texts
// of a line and the ranges of its fields, the rows of several employees
// mapped to their lines, inserting and deleting lines with the later
// employees' first lines moving, the empty row that becomes a first line,
// the eight-line limit, and the total of the bonuses in roubles.
#include "entries/BonusEntry.h"
#include "support/TestFixture.h"

#include <gtest/gtest.h>

#include <tuple>

namespace ib = kalvor::infobase;
using namespace kalvor;

namespace {

class BonusEntry : public ::testing::Test {
protected:
    void SetUp() override
    {
        ib::BuildFixtureBase(base(), 12, 3);
        for (int slot = 1; slot <= base().prem.slotCount(); ++slot) base().prem.removeRun(slot);
        for (int slot = 1; slot <= base().slotCount(); ++slot) base().attributesOf(slot).priznUv = 0;
        // The first employee three lines, the second none, the third two.
        base().prem.replaceRun(Slot(0), std::vector<ib::BonusLine>{Fixed(8, 100), Fixed(9, 200), Fixed(10, 300)});
        base().prem.replaceRun(Slot(2), std::vector<ib::BonusLine>{Fixed(11, 400), Fixed(12, 500)});
    }
    static ib::BonusLine Fixed(int code, double kopecks)
    {
        ib::BonusLine line;
        line.kod = ib::u16(code);
        line.sum = kopecks;
        return line;
    }
    ib::CInfoBase& base() { return doc.infoBase; }
    int Slot(int index) { return base().list[std::size_t(index)].slot; }
    int Number(int index) { return base().list[std::size_t(index)].tabN(); }
    std::vector<int> Codes(int index)
    {
        std::vector<int> codes;
        for (const ib::BonusLine& line : base().prem.run(Slot(index))) codes.push_back(line.kod);
        return codes;
    }

    PayrollDoc doc;
};

} // namespace

TEST_F(BonusEntry, LinesShowTheirFieldsAndReadThemWithinTheirRanges)
{
    ib::BonusLine line = Fixed(8, 350'000);
    line.mrp = 2;
    line.procent = 3;
    line.ceh = 21;
    line.spzAu = 120; // the first coefficient of a labour-participation line
    EXPECT_EQ(ShowBonusLine(line), QStringList({"8", "3", "3500.00", "", "", "2", "", "000000000120", "21"}));

    // A month basis of 1 lives in the top bits of the cost code's first
    // group: reading the code keeps it.
    ib::BonusLine read;
    EXPECT_TRUE(ReadBonusLine({"172", "1", "12.5", "1", "7", "1", "1", "000100020003", "127"}, read));
    EXPECT_EQ(read.kod, 172);
    EXPECT_EQ(read.procent, 1);
    EXPECT_EQ(read.sum, 1'250);
    EXPECT_EQ(read.mes, 1);
    EXPECT_EQ(read.mask, 7);
    EXPECT_EQ(read.mrp, 1);
    EXPECT_EQ(read.nalog, 1);
    EXPECT_EQ(read.spzCh, 1);
    EXPECT_EQ(read.spzSc, 2);
    EXPECT_EQ(read.spzAu, 3);
    EXPECT_EQ(read.ceh, 127);
    EXPECT_EQ(ShowBonusLine(read), QStringList({"172", "1", "12.50", "1", "7", "1", "1", "000100020003", "127"}));
    EXPECT_FALSE(ReadBonusLine(ShowBonusLine(read), read));

    // A field out of its range, or not a number, keeps its value, never 0;
    // a kind of 6 too (the screen refuses such a text first).
    auto ranged = [](const ib::BonusLine& l) {
        return std::tuple(int(l.kod), int(l.procent), l.sum, int(l.mes), int(l.mask), int(l.mrp), int(l.nalog),
                          int(l.ceh), int(l.spzCh), int(l.spzSc), int(l.spzAu));
    };
    const ib::BonusLine before = read;
    ReadBonusLine({"996", "6", "7.005", "2", "8", "3", "2", "1234567890123", "128"}, read);
    EXPECT_EQ(ranged(read), ranged(before));
    read = {};
    EXPECT_TRUE(ReadBonusLine({"0", "-1", "7.05", "", "", "", "", "", ""}, read));
    EXPECT_EQ(read.kod, 0);
    EXPECT_EQ(read.procent, 0);
    EXPECT_EQ(read.sum, 705);
}

TEST_F(BonusEntry, RowsMapToTheLinesOfTheirEmployee)
{
    const std::vector<int> rows = {Number(0), Number(0), Number(0), Number(1), Number(2), Number(2)};
    auto place = [&](int row) {
        const std::optional<BonusRowPlace> p = BonusRowLine(base(), rows, row);
        return p ? std::pair(p->slot, p->position) : std::pair(-1, -1);
    };
    EXPECT_EQ(place(0), std::pair(Slot(0), 0));
    EXPECT_EQ(place(1), std::pair(Slot(0), 1)); // the second row, the second line
    EXPECT_EQ(place(2), std::pair(Slot(0), 2));
    EXPECT_EQ(place(3), std::pair(Slot(1), 0)); // the empty row of an employee without lines
    EXPECT_EQ(place(5), std::pair(Slot(2), 1));
    EXPECT_EQ(place(6), std::pair(-1, -1));
    EXPECT_FALSE(BonusRowLine(base(), {9999}, 0));

    // A row read into its line: the third employee's second line.
    EXPECT_TRUE(StoreBonusRow(base(), {Slot(2), 1}, {"13", "", "7"}));
    EXPECT_EQ(Codes(2), std::vector<int>({11, 13}));
    EXPECT_EQ(base().prem.run(Slot(2))[1].sum, 700);
    EXPECT_FALSE(StoreBonusRow(base(), {Slot(2), 1}, {"13", "", "7"}));
}

TEST_F(BonusEntry, InsertingAndDeletingMoveTheLaterEmployeesLines)
{
    ASSERT_EQ(base().prem.first(Slot(2)), 3);
    EXPECT_EQ(InsertBonusLine(base(), Slot(0), 1), BonusInsert::Done);
    EXPECT_EQ(Codes(0), std::vector<int>({8, 0, 9, 10}));
    EXPECT_EQ(base().prem.first(Slot(2)), 4);
    EXPECT_EQ(Codes(2), std::vector<int>({11, 12}));
    EXPECT_EQ(InsertBonusLine(base(), Slot(2), 2), BonusInsert::Done); // after the last
    EXPECT_EQ(Codes(2), std::vector<int>({11, 12, 0}));

    EXPECT_TRUE(RemoveBonusLine(base(), Slot(0), 0));
    EXPECT_EQ(Codes(0), std::vector<int>({0, 9, 10}));
    EXPECT_EQ(base().prem.first(Slot(2)), 3);
    EXPECT_EQ(Codes(2), std::vector<int>({11, 12, 0}));
    EXPECT_FALSE(RemoveBonusLine(base(), Slot(1), 0)); // he has none
}

TEST_F(BonusEntry, TheEmptyRowBecomesTheFirstLineOnlyWhenTypedInto)
{
    EXPECT_FALSE(StoreBonusRow(base(), {Slot(1), 0}, {"", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(base().prem.count(Slot(1)), 0);
    EXPECT_EQ(base().prem.first(Slot(2)), 3);
    EXPECT_TRUE(StoreBonusRow(base(), {Slot(1), 0}, {"8", "", "250"}));
    ASSERT_EQ(base().prem.count(Slot(1)), 1);
    EXPECT_EQ(base().prem.first(Slot(1)), 3);
    EXPECT_EQ(base().prem.run(Slot(1))[0].sum, 25'000);
    EXPECT_EQ(base().prem.first(Slot(2)), 4);
    EXPECT_EQ(Codes(2), std::vector<int>({11, 12}));

    // Inserting beside the empty row of an employee without lines gives him
    // the row's line and the new one.
    base().prem.removeRun(Slot(1));
    EXPECT_EQ(InsertBonusLine(base(), Slot(1), 1), BonusInsert::Done);
    EXPECT_EQ(base().prem.count(Slot(1)), 2);
    EXPECT_EQ(base().prem.first(Slot(2)), 5);
}

TEST_F(BonusEntry, AnEmployeeHoldsAtMostEightLines)
{
    base().prem.replaceRun(Slot(1), std::vector<ib::BonusLine>(7, Fixed(8, 100)));
    EXPECT_EQ(InsertBonusLine(base(), Slot(1), 0), BonusInsert::Done);
    EXPECT_EQ(base().prem.count(Slot(1)), 8);
    const std::vector<ib::BonusLine> before = base().prem.lines;
    EXPECT_EQ(InsertBonusLine(base(), Slot(1), 8), BonusInsert::TooManyLines);
    EXPECT_EQ(base().prem.lines, before);
    EXPECT_EQ(base().prem.count(Slot(1)), 8);

    // A full array refuses as well, with nothing changed.
    ib::CInfoBase& b = base();
    for (int slot = 1; slot <= b.prem.slotCount() && b.prem.usedLines() + 8 <= b.prem.lineCapacity(); ++slot)
        if (slot != Slot(0) && slot != Slot(1) && slot != Slot(2))
            b.prem.replaceRun(slot, std::vector<ib::BonusLine>(8, Fixed(8, 100)));
    ASSERT_LT(b.prem.lineCapacity() - b.prem.usedLines(), 8);
    while (b.prem.usedLines() < b.prem.lineCapacity()) b.prem.insertLine(Slot(0), 0);
    EXPECT_EQ(InsertBonusLine(b, Slot(2), 0), BonusInsert::ArrayFull);
    EXPECT_EQ(Codes(2), std::vector<int>({11, 12}));
}

TEST_F(BonusEntry, TheTotalCountsLinesInRoublesEachRoundedByItsOwnKind)
{
    ib::PayKind& roubles = base().payKindAt(1);
    roubles.okrug = 2; // whole roubles, cut down
    base().config.okrugWord = ib::u16(base().config.okrugWord & ~7u); // whole kopecks otherwise
    const int cutCode = roubles.kod;
    base().payKindAt(2).okrug = 0; // the base's rounding
    const int otherCode = base().payKinds()[1].kod;
    ib::BonusLine percent = Fixed(otherCode, 2'500);
    percent.procent = 1;
    base().prem.replaceRun(Slot(0), std::vector<ib::BonusLine>{Fixed(cutCode, 123'456), percent});
    base().prem.replaceRun(Slot(2), std::vector<ib::BonusLine>{Fixed(otherCode, 10'050)});
    EXPECT_DOUBLE_EQ(BonusTotal(doc, {Slot(0), Slot(1), Slot(2)}), 123'400 + 10'050);
    EXPECT_DOUBLE_EQ(BonusTotal(doc, {Slot(1)}), 0);
}

TEST_F(BonusEntry, AnEmployeeInState4IsShownOnlyWithLines)
{
    base().attributesOf(Slot(1)).priznUv = 4;
    base().attributesOf(Slot(2)).priznUv = 4;
    EXPECT_TRUE(BonusEmployeeShown(doc, 0));
    EXPECT_FALSE(BonusEmployeeShown(doc, 1));
    EXPECT_TRUE(BonusEmployeeShown(doc, 2));
    EXPECT_FALSE(BonusEmployeeShown(doc, 99));
}
