// The chart of accounts and the transition tables of the 1C postings: the
// bytes of their lines, the cells the dialogs show, the limits of the files,
// and the building and merging of the shop and brigade tables.
#include "exchange/ChartOfAccounts1CFile.h"
#include "exchange/TransitionTables1CFile.h"
#include "values/Messages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::exchange;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

ChartCells Row(std::initializer_list<std::pair<int, const char*>> cells)
{
    ChartCells row;
    for (const auto& [column, text] : cells) row[size_t(column)] = QString::fromUtf8(text);
    return row;
}

// A transition line of the file: number, shop fields, brigade fields (a
// negative brigade field leaves the brigade columns blank).
QByteArray PerehLine(int number, int shop1, int shop2, int brigade1 = -1, int brigade2 = -1)
{
    QByteArray text = QByteArray::number(number).rightJustified(4, ' ') + ' ' +
                      QByteArray::number(shop1).rightJustified(4, ' ') + ' ' +
                      QByteArray::number(shop2).rightJustified(4, ' ') + ' ';
    if (brigade1 >= 0)
        text += QByteArray::number(brigade1).rightJustified(4, ' ') + ' ' +
                QByteArray::number(brigade2).rightJustified(4, ' ');
    return text.leftJustified(50, ' ');
}

TransitionLines LinesOf(std::initializer_list<QByteArray> texts)
{
    TransitionLines lines;
    size_t k = 0;
    for (const QByteArray& text : texts) {
        lines[k].text = text;
        lines[k].number = text.left(4).trimmed().toInt();
        ++k;
    }
    return lines;
}

TransitionTable TableOf(std::initializer_list<TransitionEntry> entries)
{
    TransitionTable table;
    std::copy(entries.begin(), entries.end(), table.begin());
    return table;
}

TransitionEntry Entry(const char* number, const char* field1, const char* field2)
{
    return TransitionEntryFromCells(QString::fromLatin1(number), QString::fromLatin1(field1),
                                    QString::fromLatin1(field2));
}

} // namespace

TEST(ChartOfAccounts1C, LineBytesAndCellsOfOneAccount)
{
    const ChartLine line = ChartOfAccounts1CFile::FromCells(Row({{0, "70"}, {1, "1"}, {2, "1"}, {4, "12"}}));
    QByteArray expected = " 70   1 10  12 ";
    for (int slot = 1; slot < 8; ++slot) expected += "00   0 ";
    EXPECT_EQ(line.text, expected);
    EXPECT_EQ(line.account(), 70);
    EXPECT_EQ(line.subaccount(), 1);
    EXPECT_EQ(line.kind(0), 1);
    EXPECT_EQ(line.number(0), 12);

    // Read back: no zero anywhere, account and number as they stand.
    const ChartCells cells = ChartOfAccounts1CFile::Cells(line);
    EXPECT_EQ(cells[0], QStringLiteral(" 70"));
    EXPECT_EQ(cells[1], QStringLiteral("  1"));
    EXPECT_EQ(cells[2], QStringLiteral("1"));
    EXPECT_EQ(cells[3], QString());
    EXPECT_EQ(cells[4], QStringLiteral("  12"));
    for (int column = 5; column < kChartColumns; ++column) EXPECT_EQ(cells[size_t(column)], QString()) << column;
}

TEST(ChartOfAccounts1C, OutOfRangeAndNonNumbersBecomeZero)
{
    const ChartLine line = ChartOfAccounts1CFile::FromCells(
        Row({{0, "20"}, {1, "1000"}, {2, "7"}, {3, "x"}, {4, "-5"}, {5, "6"}, {6, "2"}, {7, "9999"}, {8, "3abc"}}));
    EXPECT_EQ(line.text.left(36), QByteArray(" 20   0 00   0 629999 30   0 00   0 "));
}

TEST(ChartOfAccounts1C, SaveDropsAccountZeroAndLoadKeepsTheFirstHundredLines)
{
    QTemporaryDir dir;
    const QString folder = dir.path();
    // A missing file is created empty.
    EXPECT_TRUE(ChartOfAccounts1CFile::Load(folder).empty());
    EXPECT_EQ(ReadAll(folder + "/plan_1c.txt"), QByteArray());

    const std::vector<ChartLine> lines = {
        ChartOfAccounts1CFile::FromCells(Row({{0, "26"}})), ChartOfAccounts1CFile::FromCells(Row({{0, ""}, {1, "5"}})),
        ChartOfAccounts1CFile::FromCells(Row({{0, "0"}})), ChartOfAccounts1CFile::FromCells(Row({{0, "abc"}})),
        ChartOfAccounts1CFile::FromCells(Row({{0, "70"}}))};
    ChartOfAccounts1CFile::Save(folder, lines);
    const QByteArray bytes = ReadAll(folder + "/plan_1c.txt");
    ASSERT_EQ(bytes.size(), 2 * 66);
    EXPECT_EQ(bytes.mid(0, 3), QByteArray(" 26"));
    EXPECT_EQ(bytes.mid(64, 2), QByteArray("\r\n"));
    EXPECT_EQ(bytes.mid(66, 3), QByteArray(" 70"));

    ChartOfAccounts1CFile::Save(folder, {});
    EXPECT_EQ(ReadAll(folder + "/plan_1c.txt"), QByteArray());

    // 150 lines and a tail of 10 bytes: the first 100 lines are read; the tail
    // of a file of 3 lines and 10 bytes is lost.
    QByteArray many;
    for (int k = 1; k <= 150; ++k) many += QByteArray::number(k).rightJustified(3, ' ').leftJustified(64, ' ') + "\r\n";
    WriteAll(folder + "/plan_1c.txt", many);
    const std::vector<ChartLine> read = ChartOfAccounts1CFile::Load(folder);
    ASSERT_EQ(read.size(), 100u);
    EXPECT_EQ(read.back().account(), 100);
    WriteAll(folder + "/plan_1c.txt", many.left(3 * 66 + 10));
    EXPECT_EQ(ChartOfAccounts1CFile::Load(folder).size(), 3u);
}

TEST(ChartOfAccounts1C, WriteFailureLeavesTheFileAsItWas)
{
    QTemporaryDir dir;
    const QString folder = dir.path();
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("plan_1c.txt")));
    try {
        ChartOfAccounts1CFile::Save(folder, {ChartOfAccounts1CFile::FromCells(Row({{0, "26"}}))});
        FAIL() << "no error";
    } catch (const TextError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("Ошибка записи в файл %1/plan_1c.txt\nНа месте файла находится папка")
                                       .arg(folder));
    }
    EXPECT_TRUE(QFileInfo(folder + "/plan_1c.txt").isDir());
}

TEST(TransitionTables1C, ShopAndBrigadeTablesFromTheLines)
{
    TransitionLines lines =
        LinesOf({PerehLine(1, 10, 0), PerehLine(2, 0, 0, 201, 0), PerehLine(3, 30, 1, 301, 302), PerehLine(150, 5, 5)});
    TransitionTable table;
    ASSERT_EQ(BuildTransitionTables(lines, BuildShopTable, table), 2);
    EXPECT_EQ(table[0].text, QByteArray(" 1   10    0 "));
    EXPECT_EQ(table[1].text, QByteArray(" 3   30    1 "));
    EXPECT_EQ(TransitionEntryField(table[0], 1), QStringLiteral("  10 "));
    EXPECT_EQ(TransitionEntryField(table[0], 2), QString());
    // Number 2 has only brigade fields: listed among the brigades only.
    ASSERT_EQ(BuildTransitionTables(lines, BuildBrigadeTable, table), 2);
    EXPECT_EQ(table[0].text, QByteArray(" 2  201    0 "));
    EXPECT_EQ(table[1].text, QByteArray(" 3  301  302 "));
}

TEST(TransitionTables1C, MergeInsertsChangesAndKeepsTheLastOfEqualNumbers)
{
    TransitionLines lines = LinesOf({PerehLine(1, 10, 0, 101, 0), PerehLine(7, 70, 0)});
    // A new number 5, a changed number 7 typed twice (the last row counts),
    // a row of number 0 and a number out of range dropped.
    TransitionTable table = TableOf({Entry("7", "71", ""), Entry("5", "12", ""), Entry("0", "9", "9"),
                                     Entry("7", "72", "3"), Entry("100", "1", "1"), Entry(" 1", "11", "")});
    BuildTransitionTables(lines, MergeShopTable, table);
    EXPECT_EQ(lines[0].text, PerehLine(1, 11, 0, 101, 0));
    EXPECT_EQ(lines[1].text, QByteArray("   5   12    0").leftJustified(50, ' '));
    EXPECT_EQ(lines[2].text, PerehLine(7, 72, 3));
    EXPECT_EQ(lines[3].number, 0);

    QTemporaryDir dir;
    TransitionTables1CFile::Save(dir.path(), lines);
    EXPECT_EQ(ReadAll(dir.path() + "/pereh_1c.txt"), PerehLine(1, 11, 0, 101, 0) + "\r\n" +
                                                         QByteArray("   5   12    0").leftJustified(50, ' ') + "\r\n" +
                                                         PerehLine(7, 72, 3) + "\r\n");
    const TransitionLines read = TransitionTables1CFile::Load(dir.path());
    EXPECT_EQ(read[1].number, 5);
    EXPECT_EQ(read[2].text, PerehLine(7, 72, 3));
}

TEST(TransitionTables1C, FullLinesRefuseANewNumberButTakeChanges)
{
    // All 100 lines in use: numbers 1-59 and 61-101.
    TransitionLines full;
    for (int k = 0; k < 100; ++k) {
        const int number = k < 59 ? k + 1 : k + 2;
        full[size_t(k)].text = PerehLine(number, 1, 0);
        full[size_t(k)].number = number;
    }
    TransitionTable change = TableOf({Entry("50", "555", "")});
    BuildTransitionTables(full, MergeBrigadeTable, change);
    EXPECT_EQ(full[49].text, PerehLine(50, 1, 0, 555, 0));

    const TransitionLines before = full;
    TransitionTable added = TableOf({Entry("2", "22", ""), Entry("60", "6", "")});
    try {
        BuildTransitionTables(full, MergeShopTable, added);
        FAIL() << "no overflow";
    } catch (const TextError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("Таблицы перехода переполнены"));
    }
    // Nothing merged, not even number 2 before the overflow.
    for (size_t k = 0; k < full.size(); ++k) EXPECT_EQ(full[k].text, before[k].text) << k;
}

TEST(TransitionTables1C, ClearedNumbersLoseTheStepFieldsAndEmptyLinesGo)
{
    TransitionLines lines = LinesOf({PerehLine(1, 10, 0, 101, 0), PerehLine(2, 20, 1), PerehLine(3, 30, 0)});
    ClearTransitionNumbers(lines, true, {1, 2});
    EXPECT_EQ(lines[0].text, PerehLine(1, 0, 0, 101, 0));
    EXPECT_EQ(lines[1].text, PerehLine(3, 30, 0));
    EXPECT_EQ(lines[2].number, 0);
    ClearTransitionNumbers(lines, false, {1});
    EXPECT_EQ(lines[0].text, PerehLine(3, 30, 0));
    EXPECT_EQ(lines[1].number, 0);
}
