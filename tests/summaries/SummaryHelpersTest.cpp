// The summaries' small helpers against worked examples: the account codes in
// a contribution's text, the tree of sums by cost code, surname and initials.
#include "summaries/SummaryHelpers.h"
#include "platform/CodePage.h"
#include "values/Messages.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

using namespace kalvor::summaries;
using kalvor::codepage::toCp1251;

namespace {

// The pay's fixed text of the postings export: "ШПЗ", 46 blanks, the account
// in parentheses, four blanks (64 characters in all).
QByteArray payText()
{
    return toCp1251(QStringLiteral("ШПЗ") + QString(46, QLatin1Char(' ')) + QStringLiteral("(007000000000)    "));
}

// Every leaf of the tree in order as "a/b/c:leaf=amount".
QStringList walk(const CodeSumTree& t)
{
    QStringList out;
    for (int n1 = t.root; n1 >= 0; n1 = t.nodes[size_t(n1)].next)
        for (int n2 = t.nodes[size_t(n1)].child; n2 >= 0; n2 = t.nodes[size_t(n2)].next)
            for (int n3 = t.nodes[size_t(n2)].child; n3 >= 0; n3 = t.nodes[size_t(n3)].next)
                for (int l = t.nodes[size_t(n3)].child; l >= 0; l = t.leaves[size_t(l)].next)
                    out << QStringLiteral("%1/%2/%3:%4=%5")
                               .arg(t.nodes[size_t(n1)].key)
                               .arg(t.nodes[size_t(n2)].key)
                               .arg(t.nodes[size_t(n3)].key)
                               .arg(t.leaves[size_t(l)].key)
                               .arg(t.leaves[size_t(l)].amount, 0, 'f', 2);
    return out;
}

} // namespace

TEST(SummaryHelpers, ParseCodesInParensReadsTheThreeAccountGroups)
{
    int a = -9, b = -9, c = -9;
    const QByteArray pay = payText();
    ASSERT_EQ(pay.size(), 67);
    EXPECT_EQ(ParseCodesInParens(pay, a, b, c), 1);
    EXPECT_EQ(a, 70);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(c, 0);

    // A third group without a digit reads -1.
    const QByteArray pension = toCp1251(QStringLiteral("Пенсионный фонд (00690001    )"));
    EXPECT_EQ(ParseCodesInParens(pension, a, b, c), 1);
    EXPECT_EQ(a, 69);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(c, -1);

    // Each group as atoi reads it: blanks and a sign first, the rest ignored.
    EXPECT_EQ(ParseCodesInParens(QByteArray("x( 12-0034512"), a, b, c), 1);
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, 34);
    EXPECT_EQ(c, 512);

    // The text ends inside the groups (at its end or at a NUL).
    EXPECT_EQ(ParseCodesInParens(QByteArray("(0070"), a, b, c), 1);
    EXPECT_EQ(a, 70);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(c, -1);
    EXPECT_EQ(ParseCodesInParens(QByteArray("(00701\0"
                                            "2340000",
                                            13),
                                 a, b, c),
              1);
    EXPECT_EQ(a, 70);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(c, -1);
}

TEST(SummaryHelpers, ParseCodesInParensLooksOnlyBeforeTheLimit)
{
    int a = -9, b = -9, c = -9;
    EXPECT_EQ(ParseCodesInParens(QByteArray("Налог без счета"), a, b, c), 0);
    EXPECT_EQ(a, -9); // left alone
    EXPECT_EQ(b, -9);
    EXPECT_EQ(c, -9);

    const QByteArray at55 = QByteArray(55, ' ') + "(002000300040)";
    const QByteArray at56 = QByteArray(56, ' ') + "(002000300040)";
    EXPECT_EQ(ParseCodesInParens(at55, a, b, c), 1);
    EXPECT_EQ(a, 20);
    EXPECT_EQ(b, 30);
    EXPECT_EQ(c, 40);
    EXPECT_EQ(ParseCodesInParens(at56, a, b, c), 0);
    EXPECT_EQ(ParseCodesInParens(at56, a, b, c, 64), 1);
    // A NUL ends the text.
    EXPECT_EQ(ParseCodesInParens(QByteArray("abc\0(00100020003)", 18), a, b, c), 0);
}

TEST(SummaryHelpers, InsertCodeSumKeepsEveryLevelInAscendingOrderAndAddsEqualLeaves)
{
    CodeSumTree t;
    ASSERT_EQ(t.nodes.size(), 1u);
    EXPECT_EQ(t.nodes[0].key, 9999);
    EXPECT_TRUE(walk(t).isEmpty());

    InsertCodeSum(t, 70, 0, 1000.00, 0, 0);
    InsertCodeSum(t, 70, 256, 26.00, 0, 0);
    InsertCodeSum(t, 20, 0, 500.00, 1, 3);
    InsertCodeSum(t, 70, 0, 250.50, 0, 0); // the same leaf: adds up
    InsertCodeSum(t, 70, 12, 3.25, 0, 0); // a leaf between 0 and 256
    InsertCodeSum(t, 70, 0, 10.00, 0, 2); // a third-level node after 0
    InsertCodeSum(t, 20, 0, 7.00, 1, 1); // a third-level node before 3
    InsertCodeSum(t, 26, 0, 1.00, 0, 0); // a top-level node between 20 and 70
    EXPECT_EQ(walk(t), (QStringList{"20/1/1:0=7.00", "20/1/3:0=500.00", "26/0/0:0=1.00", "70/0/0:0=1250.50",
                                    "70/0/0:12=3.25", "70/0/0:256=26.00", "70/0/2:0=10.00"}));
    // The sentinel stays the last top-level node; 3 paths of 3 levels shared:
    // 20, 20/1, 20/1/3, 20/1/1, 26, 26/0, 26/0/0, 70, 70/0, 70/0/0, 70/0/2.
    EXPECT_EQ(t.nodes.size(), 12u);
    EXPECT_EQ(t.leaves.size(), 7u);
    int last = t.root;
    while (t.nodes[size_t(last)].next >= 0) last = t.nodes[size_t(last)].next;
    EXPECT_EQ(t.nodes[size_t(last)].key, 9999);

    t.Reset();
    EXPECT_EQ(t.nodes.size(), 1u);
    EXPECT_TRUE(t.leaves.empty());
}

TEST(SummaryHelpers, InsertCodeSumRefusesWhenAPoolIsFullAndChangesNothing)
{
    CodeSumTree t;
    // 1,706 new paths of three nodes fill 5,118 nodes beside the sentinel.
    for (int k = 0; k < 1706; ++k) InsertCodeSum(t, k, 0, 1.0, 0, 0);
    ASSERT_EQ(t.nodes.size(), 5119u);
    const QStringList before = walk(t);
    EXPECT_THROW(InsertCodeSum(t, 5000, 0, 1.0, 0, 0), kalvor::TextError);
    EXPECT_EQ(t.nodes.size(), 5119u);
    EXPECT_EQ(walk(t), before);
    // Adding to an existing leaf still works.
    EXPECT_NO_THROW(InsertCodeSum(t, 3, 0, 1.0, 0, 0));

    CodeSumTree leaves;
    for (int k = 0; k < CodeSumTree::LeafCapacity; ++k) InsertCodeSum(leaves, 70, k, 1.0, 0, 0);
    try {
        InsertCodeSum(leaves, 70, 5000, 1.0, 0, 0);
        FAIL() << "no exception";
    } catch (const kalvor::TextError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Ошибка при выделении памяти"));
    }
    EXPECT_EQ(int(leaves.leaves.size()), CodeSumTree::LeafCapacity);
}

TEST(SummaryHelpers, FillSurnameInitialsFieldWritesABlankPaddedShortName)
{
    auto fill = [](const QString& name) {
        char field[21];
        std::memset(field, '#', sizeof field);
        FillSurnameInitialsField(toCp1251(name), field);
        EXPECT_EQ(field[20], '#'); // nothing past the 20 bytes
        return QByteArray(field, 20);
    };
    EXPECT_EQ(fill(QStringLiteral("Иванов Иван Иванович")), toCp1251(QStringLiteral("Иванов И. И.        ")));
    EXPECT_EQ(fill(QStringLiteral("  Петрова   Анна  ")), toCp1251(QStringLiteral("Петрова А.          ")));
    EXPECT_EQ(fill(QStringLiteral("Сидоров")), toCp1251(QStringLiteral("Сидоров             ")));
    EXPECT_EQ(fill(QStringLiteral("Ким Ен Сук Ли")), toCp1251(QStringLiteral("Ким Е. С.           ")));
    EXPECT_EQ(fill(QString()), QByteArray(20, ' '));
    // A surname longer than the field is cut.
    EXPECT_EQ(fill(QStringLiteral("Константинопольский-Задунайский Петр")),
              toCp1251(QStringLiteral("Константинопольский-")));
    // Only the first 50 characters of the name count.
    EXPECT_EQ(fill(QString(49, QLatin1Char('A')) + QStringLiteral(" Борис Викторович")), QByteArray(20, 'A'));
    EXPECT_EQ(fill(QStringLiteral("Орлов") + QString(44, QLatin1Char(' ')) + QStringLiteral("Б Викторович")),
              toCp1251(QStringLiteral("Орлов Б.            ")));
}
