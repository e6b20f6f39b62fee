// The T-53 text statements against golden files (windows-1251 bytes, in
// tests/print/golden). Each golden was checked by hand against the layout's
// widths: the title page's fields (44, 47, 54, 54, 63, 11 + 52, 54 + 20,
// 38 + 11, 4 + 29 + 30 or 3 + 60, 38 + 23, 38 + 25, 74, 62, 35), the
// 72-character rules and column heads, the 74-byte rows " %4d|  %4d |
// %20.20s|%13.2f|", 25 rows a page, the page headings with shop and brigade,
// the cut line of 81 "-", and the closing block with "%10ld.%02d" and the
// moved last row. KALVOR_UPDATE_GOLDEN=1 rewrites them (then check again).
#include "print/TextStatements.h"
#include "StatementTestDoc.h"
#include "platform/CodePage.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::print;
using namespace kalvor::printtest;

namespace {

QByteArray cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }

// Every line ends in "\r\n"; the column heads, separators and rows are 72 characters.
void ExpectWellFormed(const QByteArray& text)
{
    ASSERT_TRUE(text.endsWith("\r\n"));
    const QList<QByteArray> lines = text.split('\n');
    for (int i = 0; i + 1 < lines.size(); ++i) {
        ASSERT_TRUE(lines[i].endsWith('\r')) << "line " << i + 1;
        const QByteArray& line = lines[i];
        if (line.size() > 14 && line[5] == '|' && line[13] == '|' && !line.startsWith(cp("Итого"))) {
            EXPECT_EQ(lines[i].size(), 73) << "line " << i + 1;
        }
    }
}

class TextStatements : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QByteArray write(StatementKind kind, const StatementPrintParams& params, int markedOnly = 0)
    {
        const QString path = dir.filePath(QStringLiteral("firm.typ"));
        const int rows = CountStatementRowsInRange(kind, params, doc, markedOnly);
        int result = 0;
        switch (kind) {
        case StatementKind::Advance: result = WriteAdvanceStatementText(params, doc, path, markedOnly, rows); break;
        case StatementKind::SickPay: result = WriteSickPayStatementText(params, doc, path, markedOnly, rows); break;
        case StatementKind::Vacation: result = WriteVacationStatementText(params, doc, path, markedOnly, rows); break;
        }
        EXPECT_EQ(result, 0);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        ExpectWellFormed(text);
        return text;
    }
    QByteArray advance(int employees, StatementPrintParams params = {})
    {
        BuildStatementDoc(doc, NumberedEmployees(employees));
        return write(StatementKind::Advance, params);
    }

    ScopedToday today{QDate(2011, 5, 3)};
    QTemporaryDir dir;
    PayrollDoc doc;
};

} // namespace

TEST_F(TextStatements, ShortStatementSkipsZeroAmounts)
{
    BuildStatementDoc(doc, {{101, 1, 0, 1'234'567}, {102, 1, 0, 0}, {103, 1, 0, 99.5}});
    const QByteArray text = write(StatementKind::Advance, {});
    ExpectGolden("advance-short.txt", text);
    // 12,345.67 + 1.00 (99.5 kopecks round to a rouble): the employee without
    // an advance has no row and no number.
    EXPECT_TRUE(text.contains(" 2|   103 |"));
    EXPECT_FALSE(text.contains("   102 |"));
    EXPECT_TRUE(text.contains(cp("Итого|       |                     |     12346.67|           |\r\n")));
    EXPECT_TRUE(text.contains(cp("(    12346 рублей 67 копеек)")));
}

TEST_F(TextStatements, ExactlyOnePageMovesItsLastRowToTheClosingPage)
{
    const QByteArray text = advance(25);
    ExpectGolden("advance-one-page.txt", text);
    // The 25th row stands alone on page 3 with the closing block; the 24th
    // row is followed by the closing rule, not by a separator.
    EXPECT_TRUE(text.contains(cp("\t\t\t 3-я страница\r\n")));
    EXPECT_TRUE(text.contains(cp("Количество листов 3\r\n")));
    const qsizetype row24 = text.indexOf("   24|");
    EXPECT_EQ(text.mid(row24 + 74, 74), QByteArray(72, '-') + "\r\n");
}

TEST_F(TextStatements, LastPagesThatCannotHoldTheClosingBlock)
{
    // Mode 0: 17 rows on the last page are too many.
    ExpectGolden("advance-move-mode0.txt", advance(42));
    // Mode 3: the payout block stands on the title page; 22 rows are too many.
    StatementPrintParams budget;
    budget.outputMode = BudgetStatement;
    const QByteArray text = advance(47, budget);
    ExpectGolden("advance-move-mode3.txt", text);
    EXPECT_TRUE(text.contains(cp("    Количество листов  4 \r\n")));
    EXPECT_TRUE(text.contains(cp("Ведомость проверил")));
    // 16 rows still fit in mode 0.
    const QByteArray fits = advance(41);
    EXPECT_FALSE(fits.contains(cp("4-я страница")));
    EXPECT_TRUE(fits.contains(cp("Количество листов 3\r\n")));
}

TEST_F(TextStatements, PageRanges)
{
    StatementPrintParams fromPage3;
    fromPage3.firstPage = 3;
    const QByteArray text = advance(60, fromPage3);
    ExpectGolden("advance-from-page3.txt", text);
    // No title page; rows 26-60; the total and words cover all 60 rows.
    EXPECT_FALSE(text.contains(cp("Унифицированная форма")));
    EXPECT_TRUE(text.startsWith(cp("\t\t\t 3-я страница\r\n")));
    EXPECT_TRUE(text.contains("   26|   126 |"));
    EXPECT_FALSE(text.contains("   25|"));
    EXPECT_TRUE(text.contains(cp("Итого|       |                     |     61800.00|")));

    StatementPrintParams titleOnly;
    titleOnly.lastPage = 1;
    const QByteArray title = advance(60, titleOnly);
    ExpectGolden("advance-last-page1.txt", title);
    EXPECT_FALSE(title.contains(cp("страница")));
    EXPECT_TRUE(title.contains(cp("Сумма Шестьдесят одна тысяча восемьсот")));

    // Pages 2 to 3 of 60 rows: rows 1-50 and no closing block.
    StatementPrintParams middle;
    middle.firstPage = 2;
    middle.lastPage = 3;
    const QByteArray pages = advance(60, middle);
    EXPECT_EQ(CountStatementRowsInRange(StatementKind::Advance, middle, doc, 0), 50);
    EXPECT_TRUE(pages.contains("   50|   150 |"));
    EXPECT_FALSE(pages.contains("   51|"));
    EXPECT_FALSE(pages.contains(cp("Итого")));
    // Pages 2 to 3 of 50 rows (1,000.50 + 1.00 a row: 51,250.00) hold them
    // all: the total closes them (25 rows on page 3 are too many for the
    // block: the 50th moves to page 4 with it).
    const QByteArray whole = advance(50, middle);
    EXPECT_TRUE(whole.contains("   50|   150 |"));
    EXPECT_TRUE(whole.contains(cp("Итого|       |                     |     51250.00|")));
    EXPECT_TRUE(whole.contains(cp("Количество листов 4\r\n")));
}

TEST_F(TextStatements, CutLineAndShopAndBrigadeHeadings)
{
    std::vector<StatementEmployee> employees = NumberedEmployees(40);
    for (int i = 0; i < 40; ++i) {
        employees[std::size_t(i)].shop = i % 5 == 4 ? 1 : 2;
        employees[std::size_t(i)].brigade = i % 7 == 6 ? 22 : 21;
    }
    BuildStatementDoc(doc, employees);
    StatementPrintParams params;
    params.shop = 2;
    params.brigade = 21;
    params.variant = 1;
    const QByteArray text = write(StatementKind::Advance, params);
    ExpectGolden("advance-cut-shop-brigade.txt", text);
    EXPECT_TRUE(text.contains(cp("\t\t\t 2-я страница\t 2-й цех  21-я бригада\r\n")));
    EXPECT_TRUE(text.contains(cp("Цех Механосборочный цех № 2 (учас                     |       |\r\n")));
    EXPECT_TRUE(text.contains(cp("Бригада 21\r\n")));
    // After the title page and between the pages.
    EXPECT_EQ(text.count(QByteArray(81, '-')), 2);
}

TEST_F(TextStatements, SickPayAndVacationPrintOnlyTheEntriesToBePaid)
{
    BuildStatementDoc(doc, NumberedEmployees(4));
    auto sheet = [](double sum, int mrp) {
        infobase::SickLeaveSheet s;
        s.dBegin = 4;
        s.mBegin = 4;
        s.gBegin = 2011;
        s.sum = sum;
        s.mrp = infobase::u8(mrp);
        return s;
    };
    auto note = [](double sum, int mrp) {
        infobase::VacationNote v;
        v.dBegin = 11;
        v.mBegin = 4;
        v.gBegin = 2011;
        v.dlin = 14;
        v.sum = sum;
        v.mrp = infobase::u16(mrp);
        return v;
    };
    auto& base = doc.infoBase;
    ASSERT_TRUE(base.bln.replaceRun(1, std::vector{sheet(512'345, 1), sheet(100'000, 0)}));
    ASSERT_TRUE(base.bln.replaceRun(3, std::vector{sheet(0, 1), sheet(230'001, 1)}));
    ASSERT_TRUE(base.otp.replaceRun(2, std::vector{note(1'455'000, 1)}));
    ASSERT_TRUE(base.otp.replaceRun(4, std::vector{note(800'000, 0), note(300'050, 1)}));

    const QByteArray sick = write(StatementKind::SickPay, {});
    ExpectGolden("sickpay.txt", sick);
    // The unpaid sheet has no row; the rows add up to the total.
    const std::vector<StatementRow> rows = SelectStatementRows(StatementKind::SickPay, {}, doc, 0);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].cursor, 0 * 16 + 1);
    EXPECT_EQ(rows[1].cursor, 2 * 16 + 2);
    EXPECT_TRUE(sick.contains(cp("Итого|       |                     |      7423.46|")));

    const QByteArray vacation = write(StatementKind::Vacation, {});
    ExpectGolden("vacation.txt", vacation);
    EXPECT_TRUE(vacation.contains("    2|   104 |"));
    EXPECT_FALSE(vacation.contains("8000.00"));
    EXPECT_TRUE(vacation.contains(cp("Итого|       |                     |     17550.50|")));
}

TEST_F(TextStatements, SelectionByMarksAndPersonnelNumber)
{
    BuildStatementDoc(doc, NumberedEmployees(5));
    doc.infoBase.list[1].setFlag(0, true);
    doc.infoBase.list[3].setFlag(2, true);
    std::vector<StatementRow> marked = SelectStatementRows(StatementKind::Advance, {}, doc, 1);
    ASSERT_EQ(marked.size(), 2u);
    EXPECT_EQ(marked[0].personnelNumber, 102);
    EXPECT_EQ(marked[1].personnelNumber, 104);
    StatementPrintParams one;
    one.personnelNumber = 105;
    ASSERT_EQ(SelectStatementRows(StatementKind::Advance, one, doc, 0).size(), 1u);
    // The marks take precedence over the personnel number.
    EXPECT_EQ(SelectStatementRows(StatementKind::Advance, one, doc, 1).size(), 2u);
}

TEST(StatementAmounts, RoubleAndKopeckEndings)
{
    auto roubles = [](long r) { return QString::fromUtf8(RoubleEnding(r)); };
    EXPECT_EQ(roubles(11), "ей");
    EXPECT_EQ(roubles(12), "ей");
    EXPECT_EQ(roubles(21), "ь");
    EXPECT_EQ(roubles(22), "я");
    EXPECT_EQ(roubles(25), "ей");
    EXPECT_EQ(roubles(114), "ей");
    EXPECT_EQ(roubles(1001), "ь");
    EXPECT_EQ(roubles(0), "ей");
    auto kopecks = [](int k) { return QString::fromUtf8(KopeckWord(k)); };
    EXPECT_EQ(kopecks(1), "копейка)");
    EXPECT_EQ(kopecks(3), "копейки)");
    EXPECT_EQ(kopecks(11), "копеек)");
    EXPECT_EQ(kopecks(5), "копеек)");
    EXPECT_EQ(kopecks(0), "копеек)");
    EXPECT_EQ(kopecks(41), "копейка)");
}

TEST(StatementAmounts, TotalsFromTheTwoDecimalTextCarryKopecks)
{
    // 0.995 rouble reads "1.00" in the text (17 digits, halves away from
    // zero); 33.335 reads "33.34"; kopecks 99 + 1 + 34 + 60 carry 1 rouble.
    std::vector<StatementRow> rows = {{0, 1, 1, 1'099}, {1, 2, 2, 99.5}, {2, 3, 3, 3'333.5}, {3, 4, 4, 60}};
    const StatementTotal total = SumStatementAmounts(rows);
    EXPECT_EQ(total.roubles, 10 + 1 + 33 + 0 + 1);
    EXPECT_EQ(total.kopecks, 99 + 0 + 34 + 60 - 100);
    EXPECT_EQ(SumStatementAmounts({}).roubles, 0);
}

TEST(StatementFile, UnwritableFileGivesTheFileFault)
{
    PayrollDoc doc;
    BuildStatementDoc(doc, NumberedEmployees(3));
    EXPECT_EQ(WriteAdvanceStatementText({}, doc, QStringLiteral("/nonexistent-folder/firm.typ"), 0, 3), -23);
}
