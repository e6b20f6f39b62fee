// The alternative time sheet's lines: each cell's show and read rule, the
// match of a model row with empty cells, inserting and removing lines (later
// employees' first lines move), the fifteen-line and full-array refusals, and
// the group operations on a fixture base stored and read back.
#include "entries/AltTabelLines.h"
#include "infobase/InfoBaseDb.h"
#include "support/StoredBase.h"
#include "support/TestFixture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace en = kalvor::entries;
namespace ib = kalvor::infobase;

namespace {

ib::AltTabelEntry Read(const QStringList& cells)
{
    ib::AltTabelEntry entry;
    en::ReadAltTabelEntry(cells, entry);
    return entry;
}

ib::AltTabelEntry Line(int kod, int days = 0)
{
    ib::AltTabelEntry entry;
    entry.kod = ib::u16(kod);
    entry.dn = ib::u16(days);
    return entry;
}

// A fixture base in a temporary folder with no alternative lines.
class AltTabelBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        base.workFolder = dir.path() + QLatin1Char('/');
        base.baseName = QStringLiteral("alt");
        ib::CreateSchemaBase(base.workFolder, base.baseName);
        ib::OpenBase(base);
        fx = ib::BuildFixtureBase(base, 6, 5);
        for (int slot = 1; slot <= base.altTabel.slotCount(); ++slot) base.altTabel.removeRun(slot);
        ib::SaveAll(base, fx.records);
    }
    void TearDown() override { ib::CloseBase(base); }
    int SlotAt(int listIndex) const { return base.list[std::size_t(listIndex)].slot; }
    void Mark(std::initializer_list<int> listIndexes)
    {
        for (auto& entry : base.list) entry.setFlag(0, false);
        for (int i : listIndexes) base.list[std::size_t(i)].setFlag(0, true);
    }
    // The base's lines read back after reopening.
    void Reopen(ib::CInfoBase& again)
    {
        again.workFolder = base.workFolder;
        again.baseName = base.baseName;
        ib::OpenStoredBase(again);
        ib::LoadAll(again);
    }

    QTemporaryDir dir;
    ib::CInfoBase base;
    ib::FixtureBase fx;
};

} // namespace

TEST(AltTabelLine, EachCellShowsAndReadsByItsRule)
{
    const ib::AltTabelEntry line = Read({"3", "12", "40,30", "15000.5", "120.5", "150", "4", "200100030015", "4", "1"});
    EXPECT_EQ(line.kod, 3);
    EXPECT_EQ(line.dn, 12);
    EXPECT_EQ(line.hr, 40);
    EXPECT_EQ(line.min, 30);
    EXPECT_EQ(line.sumOklad, 1500050);
    EXPECT_EQ(line.tarif.rub, 120);
    EXPECT_EQ(line.tarif.thou, 500);
    // A cell read as its column reads it: more places than the column keeps,
    // or a cost code of 13 digits, is refused and keeps what was stored.
    ib::AltTabelEntry kept = line;
    EXPECT_FALSE(en::ReadAltTabelEntry(
        {"3", "12", "40,30", "15000.5", "120.5005", "150", "4", "2001000300150", "4", "1"}, kept));
    EXPECT_EQ(kept, line);
    EXPECT_EQ(line.procOpl, 150);
    EXPECT_EQ(line.otd, 4);
    EXPECT_EQ(line.spzCh, 2001);
    EXPECT_EQ(line.spzSc, 3);
    EXPECT_EQ(line.spzAu, 15);
    EXPECT_EQ(line.mes, 4);
    EXPECT_EQ(line.storno, 1);
    EXPECT_EQ(en::ShowAltTabelEntry(line),
              QStringList({"3", "12", "40,30", "15000.50", "120.500", "150", "4", "200100030015", "4", "1"}));
    EXPECT_EQ(en::ShowAltTabelEntry(ib::AltTabelEntry{}), QStringList(10, QString()));

    // Out of range: an empty line keeps its zeros.
    const ib::AltTabelEntry wild = Read({"996", "33", "256", "", "16384", "256", "251", "", "13", "2"});
    EXPECT_EQ(en::ShowAltTabelEntry(wild), QStringList(10, QString()));
    EXPECT_EQ(Read({"0", "", "8,60"}).min, 0);
    EXPECT_EQ(Read({"995", "31"}).kod, 995);
    EXPECT_EQ(Read({"", "", "", "", "", "", "250"}).otd, 250);
}

TEST(AltTabelLine, OneOrTwoStarsTakeTheMainSheetsDaysAndShowAsTwo)
{
    EXPECT_EQ(Read({"4", "**"}).dn, en::kMainSheetDays);
    EXPECT_EQ(Read({"4", "*"}).dn, en::kMainSheetDays);
    EXPECT_EQ(Read({"4", " * "}).dn, en::kMainSheetDays);
    EXPECT_EQ(Read({"4", "***"}).dn, 0);
    EXPECT_EQ(en::ShowAltTabelEntry(Read({"4", "*"}))[1], QStringLiteral("**"));
    EXPECT_EQ(Read({"4", "32"}).dn, 0); // typed as a number it is out of range
}

TEST(AltTabelLine, OnlyChangedFieldsCountAndEmptyCellsMatchAnything)
{
    ib::AltTabelEntry line = Read({"3", "", "40,0", "", "120.5"});
    EXPECT_FALSE(en::ReadAltTabelEntry(en::ShowAltTabelEntry(line), line));
    EXPECT_TRUE(en::ReadAltTabelEntry({"3", "", "40,0", "", "120.6"}, line));

    EXPECT_TRUE(en::AltTabelEntryMatches(line, {"3"}));
    EXPECT_TRUE(en::AltTabelEntryMatches(line, {"", "", "40", "", "120.600"}));
    EXPECT_TRUE(en::AltTabelEntryMatches(line, QStringList(10, QString())));
    EXPECT_FALSE(en::AltTabelEntryMatches(line, {"4"}));
    EXPECT_FALSE(en::AltTabelEntryMatches(line, {"3", "5"}));
    EXPECT_FALSE(en::AltTabelEntryMatches(Line(3, 32), {"3", "31"}));
    EXPECT_TRUE(en::AltTabelEntryMatches(Line(3, 32), {"3", "*"}));
}

TEST_F(AltTabelBase, InsertBeforeAfterAndIntoAnEmptyRunThenDeleteTheLastLine)
{
    const int first = SlotAt(1), second = SlotAt(3);
    ASSERT_LT(first, second);
    ASSERT_TRUE(base.InsertAltTabelEntry(first, 0)); // into an empty run
    base.altTabel.lines[std::size_t(base.altTabel.first(first))] = Line(3);
    ASSERT_TRUE(base.InsertAltTabelEntry(second, 0));
    base.altTabel.lines[std::size_t(base.altTabel.first(second))] = Line(9);
    ASSERT_TRUE(base.InsertAltTabelEntry(first, 0)); // before the first
    ASSERT_TRUE(base.InsertAltTabelEntry(first, 2)); // after the last
    EXPECT_EQ(en::AltTabelLines(base, first), std::vector<ib::AltTabelEntry>({Line(0), Line(3), Line(0)}));
    EXPECT_EQ(base.altTabel.first(second), base.altTabel.first(first) + 3);
    EXPECT_EQ(en::AltTabelLines(base, second), std::vector<ib::AltTabelEntry>({Line(9)}));

    for (int i = 0; i < 3; ++i) ASSERT_TRUE(base.altTabel.removeLine(first, 0));
    EXPECT_EQ(base.altTabel.count(first), 0);
    EXPECT_EQ(base.altTabel.first(second), 0); // one lower for each line gone
    en::StoreAltTabel(base);
    ib::CInfoBase again;
    Reopen(again);
    EXPECT_EQ(again.altTabel.count(first), 0);
    EXPECT_EQ(en::AltTabelLines(again, second), std::vector<ib::AltTabelEntry>({Line(9)}));
    ib::CloseBase(again);
}

TEST_F(AltTabelBase, TheSixteenthLineAndAFullArrayAreRefused)
{
    const int slot = SlotAt(2);
    for (int i = 0; i < 15; ++i) ASSERT_TRUE(base.InsertAltTabelEntry(slot, i)) << i;
    EXPECT_FALSE(base.InsertAltTabelEntry(slot, 15));
    EXPECT_EQ(base.altTabel.count(slot), 15);

    // Fill the array to its last entry with the other slots' lines.
    ib::LineArray<ib::AltTabelEntry>& lines = base.altTabel;
    for (int s = 1; s <= lines.slotCount(); ++s)
        while (s != slot && lines.count(s) < 15 && lines.usedLines() < lines.lineCapacity())
            ASSERT_TRUE(base.InsertAltTabelEntry(s, 0));
    ASSERT_EQ(lines.usedLines(), lines.lineCapacity());
    // A slot with room in its index word is refused all the same.
    int roomy = 1;
    while (roomy == slot || lines.count(roomy) == 15) ++roomy;
    EXPECT_FALSE(base.InsertAltTabelEntry(roomy, 0));

    // The group append skips the full members and names them.
    Mark({0, 1, 2});
    const en::AltTabelGroupResult result = en::GroupAppendAltTabel(base, {"3"});
    EXPECT_FALSE(result.changed);
    EXPECT_EQ(result.skipped.size(), 3);
    EXPECT_EQ(result.skipped[0], base.shortNameOf(SlotAt(0)));
}

TEST_F(AltTabelBase, GroupAppendCorrectAndDeleteTouchOnlyMarkedMatches)
{
    const int a = SlotAt(0), b = SlotAt(2), c = SlotAt(4), outside = SlotAt(3);
    base.altTabel.replaceRun(a, std::vector<ib::AltTabelEntry>{Line(4), Line(3, 32)});
    base.altTabel.replaceRun(outside, std::vector<ib::AltTabelEntry>{Line(3, 32)});
    Mark({0, 2, 4});
    en::AltTabelGroupResult result = en::GroupAppendAltTabel(base, {"3", "**", "", "", "", "", "", "", "4"});
    EXPECT_TRUE(result.changed);
    EXPECT_TRUE(result.skipped.isEmpty());
    ib::AltTabelEntry appended = Line(3, 32);
    appended.mes = 4;
    EXPECT_EQ(en::AltTabelLines(base, a), std::vector<ib::AltTabelEntry>({Line(4), Line(3, 32), appended}));
    EXPECT_EQ(en::AltTabelLines(base, b), std::vector<ib::AltTabelEntry>({appended}));

    // Correct the first line with code 3 of a and b (c is not marked now).
    Mark({0, 2});
    const ib::BySlot<int> matches = en::FindAltTabelMatches(base, {"3"});
    EXPECT_EQ(matches[a], 1);
    EXPECT_EQ(matches[b], 0);
    EXPECT_EQ(matches[c], -1);
    EXPECT_EQ(matches[outside], -1);
    result = en::GroupCorrectAltTabel(base, matches, {"3", "10"});
    EXPECT_TRUE(result.changed);
    EXPECT_EQ(en::AltTabelLines(base, a)[1], Line(3, 10)); // empty cells give 0
    EXPECT_EQ(en::AltTabelLines(base, b)[0], Line(3, 10));
    EXPECT_EQ(en::AltTabelLines(base, c), std::vector<ib::AltTabelEntry>({appended}));

    // Delete the first line with code 4 where there is one.
    Mark({0, 2, 4});
    result = en::GroupDeleteAltTabel(base, {"4"});
    EXPECT_TRUE(result.changed);
    en::StoreAltTabel(base);
    ib::CInfoBase again;
    Reopen(again);
    EXPECT_EQ(en::AltTabelLines(again, a), std::vector<ib::AltTabelEntry>({Line(3, 10), appended}));
    EXPECT_EQ(en::AltTabelLines(again, b), std::vector<ib::AltTabelEntry>({Line(3, 10)}));
    EXPECT_EQ(en::AltTabelLines(again, c), std::vector<ib::AltTabelEntry>({appended}));
    EXPECT_EQ(en::AltTabelLines(again, outside), std::vector<ib::AltTabelEntry>({Line(3, 32)}));
    ib::CloseBase(again);
}
