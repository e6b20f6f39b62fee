// The read-back rules of the three employee grids against worked values:
// each cell read by its column's rule (month texts with two- and four-digit
// years, hours, percent tenths, codes and dates out of range refused), and
// the block compaction.
#include "masterdata/EmployeeDetailRows.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::masterdata;
using kalvor::infobase::NalvichEntry;
using kalvor::infobase::PostDoplEntry;
using kalvor::infobase::WariaEntry;

namespace {

struct RowsTest : ::testing::Test {
    ScopedToday today{QDate(2026, 3, 15)};
    DeductionKindBook book;
    void SetUp() override
    {
        book.count = 2;
        book.records[0] = {103, QStringLiteral("На себя 400 р."), 40000, 4000000};
        book.records[1] = {114, QStringLiteral("1-й ребенок 1000 р."), 100000, 28000000};
    }
};

QStringList Cells(std::initializer_list<const char*> texts)
{
    QStringList cells;
    for (const char* t : texts) cells << QString::fromUtf8(t);
    return cells;
}

} // namespace

TEST_F(RowsTest, DeductionRowsReadBackByTheirRules)
{
    NalvichEntry e;
    // Month "3.09" is March 2009, a four-digit year is taken whole.
    EXPECT_FALSE(ReadNalvichRow(Cells({"114", "", "3.09", "12.2011", "0.12", "15"}), e).refused());
    EXPECT_EQ(e.kod, 114);
    EXPECT_EQ(e.start, MonthKey(2009, 3).value());
    EXPECT_EQ(e.end, MonthKey(2011, 12).value());
    EXPECT_DOUBLE_EQ(e.sum, 12);
    EXPECT_EQ(e.krat, 15);
    EXPECT_EQ(NalvichRowTexts(e, book), Cells({"114", "1-й ребенок 1000 р.", "03.09", "12.11", "0.12", "15"}));
    // A cell its column refuses refuses the row, naming the column, as the
    // grid does: a sum with a part of a kopeck, a multiplicity above 15 (once
    // a silent 0).
    const RowRefusal halfKopeck = ReadNalvichRow(Cells({"114", "", "", "", "0.125", ""}), e);
    EXPECT_EQ(halfKopeck.column, 4);
    EXPECT_EQ(halfKopeck.message, QStringLiteral("Некорректное число в поле \"Сумма вычета\": 0.125"));
    const RowRefusal times = ReadNalvichRow(Cells({"114", "", "", "", "", "16"}), e);
    EXPECT_EQ(times.column, 5);
    EXPECT_EQ(times.message, QStringLiteral("Значение поля \"Кратность вычета\" должно быть от 0 до 15: 16"));
    // A month of one year digit, or a full date in a month cell, is refused
    // aloud; "10.01.2030" was read as October 2001.
    const RowRefusal fullDate = ReadNalvichRow(Cells({"114", "", "10.01.2030", "", "", ""}), e);
    EXPECT_EQ(fullDate.column, 2);
    EXPECT_EQ(fullDate.message, QStringLiteral("Некорректный месяц 10.01.2030.\nМесяц вводится как ММ.ГГГГ или ММ.ГГ"));
    EXPECT_EQ(ReadNalvichRow(Cells({"114", "", "", "3.9", "", ""}), e).column, 3);
    // Two digits read by the sliding window around the reference year (2026
    // with no base open): up to 46 this century, above it the last; month 13
    // is refused.
    EXPECT_EQ(ReadNalvichRow(Cells({"103", "", "01.27", "13.10", "1000.005", "1"}), e).column, 3);
    ReadNalvichRow(Cells({"103", "", "01.27", "", "1000", "1"}), e);
    EXPECT_EQ(e.start, MonthKey(2027, 1).value());
    NalvichEntry older;
    ReadNalvichRow(Cells({"103", "", "01.47", "", "1", "1"}), older);
    EXPECT_EQ(older.start, MonthKey(1947, 1).value());
    EXPECT_EQ(e.end, 0);
    EXPECT_DOUBLE_EQ(e.sum, 100000);
    EXPECT_EQ(NalvichRowTexts(e, book)[1], QStringLiteral("На себя 400 р."));
    EXPECT_EQ(DeductionKindName(book, 555), QStringLiteral("Нет в справочнике"));

    // A code out of range is refused, not stored as an invisible slot; so is
    // a code 0 typed alone. An empty row is simply empty.
    const RowRefusal withSum = ReadNalvichRow(Cells({"700", "", "", "", "400", ""}), e);
    EXPECT_EQ(withSum.column, 0);
    EXPECT_EQ(withSum.message, QStringLiteral("Значение поля \"Код вычета\" должно быть от 0 до 699: 700"));
    EXPECT_EQ(ReadNalvichRow(Cells({"0", "", "", "", "", ""}), e).message,
              QStringLiteral("Код вычета должен быть числом от 1 до 699"));
    EXPECT_TRUE(ReadNalvichRow(Cells({"", "", "03.11", "", "", ""}), e).refused());
    EXPECT_FALSE(ReadNalvichRow(Cells({"", "", "", "", "", ""}), e).refused());
    EXPECT_EQ(e, NalvichEntry{});
}

TEST_F(RowsTest, PermanentPaymentRowsReadBackByTheirRules)
{
    PostDoplEntry e;
    // Percent 12.3 is 123 tenths; a four-digit year is kept (the packed field
    // stopped at 2015).
    ASSERT_FALSE(
        ReadPostDoplRow(
            Cells({"7", "5", "1500.50", "21", "12.3", "1", "3", "1", "2", "3", "01.03.2009", "31.12.2030", "1"}), e)
            .refused());
    EXPECT_EQ(e.kod, 7);
    EXPECT_EQ(e.vid, 5);
    EXPECT_DOUBLE_EQ(e.sum, 150050);
    EXPECT_EQ(e.mask, 21);
    EXPECT_EQ(e.procent, 123u);
    EXPECT_EQ(e.zavisOt, 1);
    EXPECT_EQ(e.period, 3);
    EXPECT_EQ(e.perer, 1);
    EXPECT_EQ(e.dnOtGraph, 2);
    EXPECT_EQ(e.ceh, 3);
    EXPECT_EQ(e.dBegin, 1);
    EXPECT_EQ(e.mBegin, 3);
    EXPECT_EQ(e.gBegin, 2009);
    EXPECT_EQ(e.dEnd, 31);
    EXPECT_EQ(e.gEnd, 2030);
    EXPECT_EQ(e.mrp, 1);
    EXPECT_EQ(PostDoplRowTexts(e),
              Cells({"7", "5", "1500.50", "21", "12.3", "1", "3", "1", "2", "3", "01.03.09", "31.12.30", "1"}));

    // Percent 0 leaves the cell empty (100 % by default).
    ReadPostDoplRow(Cells({"7", "", "", "", "0"}), e);
    EXPECT_EQ(PostDoplRowTexts(e)[4], QString());
    // A value beyond what its field keeps refuses the row at its column (once
    // it was stored as 0), as a percent with hundredths and a part of a kopeck do.
    const std::pair<int, const char*> beyond[] = {{1, "8"}, {2, "1.005"}, {3, "22"}, {4, "12.34"}, {5, "16"},
                                                  {6, "6"}, {7, "4"},     {8, "8"},  {9, "251"},   {12, "2"}};
    for (const auto& [column, text] : beyond) {
        QStringList cells = Cells({"7", "", "", "", "", "", "", "", "", "", "", "", ""});
        cells[column] = QString::fromUtf8(text);
        EXPECT_EQ(ReadPostDoplRow(cells, e).column, column) << text;
    }
    EXPECT_EQ(ReadPostDoplRow(Cells({"", "", "", "", "", "", "", "", "", "251"}), e).message,
              QStringLiteral("Значение поля \"Цех\" должно быть от 0 до 250: 251"));

    // Code 996 is refused; so are a code 0 with anything else, a month 13 and a day 32.
    EXPECT_EQ(ReadPostDoplRow(Cells({"996", "", "100"}), e).message,
              QStringLiteral("Значение поля \"Код\" должно быть от 0 до 995: 996"));
    EXPECT_EQ(ReadPostDoplRow(Cells({"", "", "100"}), e).message,
              QStringLiteral("Код выплаты должен быть числом от 1 до 995"));
    const RowRefusal month = ReadPostDoplRow(Cells({"7", "", "", "", "", "", "", "", "", "", "01.13.11"}), e);
    EXPECT_EQ(month.column, kPostDoplDateStart);
    EXPECT_EQ(month.message, QStringLiteral("Некорректная дата начала выплаты"));
    EXPECT_EQ(ReadPostDoplRow(Cells({"7", "", "", "", "", "", "", "", "", "", "", "32.01.11"}), e).column,
              kPostDoplDateEnd);
    // A year the record cannot keep (before 2000) is refused too.
    EXPECT_TRUE(ReadPostDoplRow(Cells({"7", "", "", "", "", "", "", "", "", "", "01.01.1999"}), e).refused());
    // Day 0 is no date.
    EXPECT_FALSE(ReadPostDoplRow(Cells({"7", "", "", "", "", "", "", "", "", "", "00.01.11"}), e).refused());
    EXPECT_EQ(e.dBegin + e.mBegin + e.gBegin, 0);
}

TEST_F(RowsTest, ArchiveRowsChangeFieldByFieldAndAClearedRowIsFreed)
{
    WariaEntry e;
    EXPECT_TRUE(ApplyWariaRow(Cells({"03.09", "4", "-1.5", "21", "8,15", "12.95"}), e));
    EXPECT_EQ(e.mes, 3);
    EXPECT_EQ(e.god, 2009);
    EXPECT_EQ(e.kod, 4);
    EXPECT_DOUBLE_EQ(e.sum, -150);
    EXPECT_EQ(e.dn, 21);
    EXPECT_EQ(e.hr, 8);
    EXPECT_EQ(e.min, 15);
    EXPECT_EQ(e.mesVyd, 12);
    EXPECT_EQ(e.godVyd, 1995);
    EXPECT_EQ(WariaRowTexts(e), Cells({"03.09", "4", "-1.50", "21", "8,15", "12.95"}));
    // The same texts change nothing and match; a kopeck more matches nothing.
    EXPECT_FALSE(ApplyWariaRow(WariaRowTexts(e), e));
    EXPECT_TRUE(WariaRowMatches(Cells({"3.2009", "4", "-1.50", "21", "8,15", "12.95"}), e));
    EXPECT_FALSE(WariaRowMatches(Cells({"03.09", "4", "-1.51", "21", "8,15", "12.95"}), e));

    // A cell its column refuses keeps its field (once a silent 0): a code
    // above 995, a part of a kopeck, days above 31, 60 minutes, a paid month
    // before 1990, a month that is none. An entry's 7 hours 60 minutes of an
    // older file read back from its own texts as they are.
    const WariaEntry before = e;
    EXPECT_FALSE(ApplyWariaRow(Cells({"13.09", "996", "1.005", "32", "7,60", "12.89"}), e));
    EXPECT_EQ(e, before);
    e.hr = 7;
    e.min = 60;
    EXPECT_FALSE(ApplyWariaRow(WariaRowTexts(e), e));
    EXPECT_EQ(e.min, 60);
    // A cleared month keeps the entry in use; a row cleared whole is free again.
    ApplyWariaRow(Cells({"", "4", "1"}), e);
    EXPECT_TRUE(e.inUse());
    EXPECT_EQ(e.mes, 0);
    EXPECT_TRUE(ApplyWariaRow(Cells({"", "", "", "", "", ""}), e));
    EXPECT_EQ(e, WariaEntry{});
    EXPECT_FALSE(WariaRowMatches(Cells({"", "", "", "", "", ""}), e));

    std::vector<WariaEntry> entries(10);
    entries[6].kod = 4;
    entries[6].god = 2011;
    EXPECT_EQ(WariaCount(entries), 7);
}

TEST_F(RowsTest, CompactionKeepsTheUsedSlotsInOrderAtTheFront)
{
    std::array<NalvichEntry, 10> block{};
    block[1].kod = 103;
    block[4].sum = 500; // code 0 but used
    block[7].kod = 114;
    CompactSlots(block);
    EXPECT_EQ(block[0].kod, 103);
    EXPECT_DOUBLE_EQ(block[1].sum, 500);
    EXPECT_EQ(block[2].kod, 114);
    for (std::size_t i = 3; i < block.size(); ++i) EXPECT_EQ(block[i], NalvichEntry{});
    EXPECT_EQ(FirstFreeSlot(block), 1);
    NalvichEntry row;
    row.kod = 114;
    EXPECT_EQ(FirstEqualSlot(block, row), 2);
    row.sum = 1;
    EXPECT_EQ(FirstEqualSlot(block, row), -1);
}
