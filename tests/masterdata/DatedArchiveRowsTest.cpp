// The archive with dates as the screen saves it: the rows read back into the
// dated entries (dates with two- and four-digit years, archive months,
// reversed sums, codes out of range, the continuation bit), the block rebuilt
// with the dropped rows closed up and the count set, and an empty grid
// clearing a full block.
#include "masterdata/DatedArchiveRows.h"
#include "values/Values.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::masterdata;

namespace {

WarDatEntry Entry(PackedDate start, PackedDate end, int month, int year, int code, double sum, bool continues)
{
    WarDatEntry e;
    e.start = start.value;
    e.end = end.value;
    e.mes = infobase::u16(month);
    e.god = infobase::u16(year);
    e.kod = infobase::u16(code);
    e.sum = sum;
    e.contin = continues ? 1 : 0;
    return e;
}

} // namespace

TEST(DatedArchiveRows, EntriesShowAndReadBackTheirFields)
{
    const WarDatEntry sick =
        Entry(PackedDate::make(26, 2, 2011), PackedDate::make(4, 3, 2011), 3, 11, 155, 340'200, true);
    const QStringList texts = WarDatRowTexts(sick);
    EXPECT_EQ(texts, (QStringList{"26.02.11", "04.03.11", "03.11", "155", "3402.00", "1"}));
    EXPECT_EQ(ReadWarDatRow(texts), sick);

    // Unpaid leave: no sum, no mark.
    const WarDatEntry unpaid =
        Entry(PackedDate::make(14, 3, 2011), PackedDate::make(18, 3, 2011), 3, 11, 600, 0, false);
    EXPECT_EQ(WarDatRowTexts(unpaid), (QStringList{"14.03.11", "18.03.11", "03.11", "600", "", ""}));
    EXPECT_EQ(WarDatRowTexts(WarDatEntry{}), (QStringList{"", "", "", "", "", ""}));

    // Typed forms: leading zeros left out, four-digit years kept as two
    // digits, a reversal with a minus sign.
    const WarDatEntry typed = ReadWarDatRow({"1.2.2011", "9.2.11", "02.2011", "156", "-150.5", "1"});
    EXPECT_EQ(typed, Entry(PackedDate::make(1, 2, 11), PackedDate::make(9, 2, 11), 2, 11, 156, -15'050, true));
    EXPECT_EQ(ReadWarDatRow({"", "", "", "7", "", "2"}).contin, 0);
    // A code, sum or mark its column refuses is refused at its cell, naming
    // the column, before the row is stored.
    EXPECT_EQ(CheckWarDatRow({"", "", "", "996", "", ""}).message,
              QStringLiteral("Значение поля \"Код\" должно быть от 0 до 995: 996"));
    EXPECT_EQ(CheckWarDatRow({"", "", "", "7", "1.005", ""}).column, 4);
    EXPECT_EQ(CheckWarDatRow({"", "", "", "7", "", "2"}).column, 5);
    EXPECT_FALSE(CheckWarDatRow({"1.2.2011", "9.2.11", "02.2011", "156", "-150.5", "1"}).refused());

    // Texts that are no date or month read as 0.
    const WarDatEntry wrong = ReadWarDatRow({"32.1.11", "abc", "13.11", "12x", "руб", ""});
    EXPECT_EQ(wrong.start, 0);
    EXPECT_EQ(wrong.end, 0);
    EXPECT_EQ(wrong.mes, 0);
    EXPECT_EQ(wrong.god, 0);
    EXPECT_EQ(wrong.kod, 0); // "12x" is no code: never its leading digits
    EXPECT_EQ(wrong.sum, 0);
    EXPECT_EQ(ReadWarDatRow({"", "", "3", "", "", ""}).mes, 0); // a month needs its year
}

TEST(DatedArchiveRows, RebuildDropsRowsWithoutAValidCodeAndClosesUp)
{
    WarDatBlock block;
    // Whatever the block held before is replaced.
    for (auto& e : block.entries) e = Entry(PackedDate::make(1, 1, 10), PackedDate(), 1, 10, 4, 100, false);
    block.warDatKv = WarDatBlock::Capacity;

    const std::vector<QStringList> rows = {
        {"14.02.11", "25.02.11", "02.11", "156", "5832", ""},
        {"01.03.11", "02.03.11", "03.11", "", "100", ""}, // no code
        {"", "", "", "0", "", ""}, // code 0
        {"01.03.11", "02.03.11", "03.11", "996", "100", ""}, // above 995
        {"01.03.11", "02.03.11", "03.11", "-5", "100", ""}, // below 1
        {"26.02.11", "04.03.11", "03.11", "155", "3402", "1"},
        {"", "", "", "995", "-0.01", ""},
        {"", "", "", "", "", ""},
    };
    RebuildWarDat(rows, block);
    ASSERT_EQ(block.warDatKv, 3);
    EXPECT_EQ(block.entries[0],
              Entry(PackedDate::make(14, 2, 11), PackedDate::make(25, 2, 11), 2, 11, 156, 583'200, false));
    EXPECT_EQ(block.entries[1],
              Entry(PackedDate::make(26, 2, 11), PackedDate::make(4, 3, 11), 3, 11, 155, 340'200, true));
    EXPECT_EQ(block.entries[2], Entry(PackedDate(), PackedDate(), 0, 0, 995, -1, false));
    for (std::size_t i = 3; i < block.entries.size(); ++i) ASSERT_EQ(block.entries[i], WarDatEntry{}) << i;

    RebuildWarDat({}, block);
    EXPECT_EQ(block.warDatKv, 0);
    EXPECT_EQ(block, WarDatBlock{});
}

// A row typed anew is an entry once it has its code and both dates; one
// holding only some of them is not yet; an empty row is none at all.
TEST(DatedArchiveRows, ARowTypedAnewIsUnfinishedUntilItHasItsCodeAndBothDates)
{
    const std::pair<QStringList, bool> rows[] = {
        {{"", "", "", "4", "", ""}, true},
        {{"01.03.11", "", "03.11", "4", "100", ""}, true},
        {{"", "02.03.11", "", "4", "", ""}, true},
        {{"01.03.11", "02.03.11", "03.11", "", "100", ""}, true},
        {{"", "", "", "", "100", ""}, true},
        {{"01.03.11", "02.03.11", "", "4", "", ""}, false},
        {{"01.03.11", "02.03.11", "03.11", "155", "3402", "1"}, false},
        {{"", "", "", "", "", ""}, false},
        {{" ", "", "", "", "", ""}, false},
    };
    for (const auto& [cells, unfinished] : rows)
        EXPECT_EQ(IsUnfinishedWarDatRow(cells), unfinished) << cells.join(u'|').toStdString();
}
