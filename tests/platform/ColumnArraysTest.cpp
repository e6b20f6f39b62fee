// Rows gathered column by column for a server's array parameters: the array
// literal of each column worked out by hand from the server's rules (a text
// element quoted, a backslash and a double quote in it escaped by a
// backslash, NULL unquoted), and rows that do not bind every column once
// refused.
#include "platform/ColumnArrays.h"
#include "platform/Db.h"

#include <gtest/gtest.h>

using namespace kalvor;

TEST(ColumnArrays, EachColumnIsOneArrayLiteralInRowOrder)
{
    db::ColumnArrays arrays;
    const struct {
        qint64 number;
        double amount;
        QString text;
    } rows[] = {
        {7, 1.5, QStringLiteral("C:\\Зарплата\\2011")},
        {-3, -0.25, QStringLiteral("ООО \"Ромашка\"")},
        {0, 100, QString()},
        {42, 2.5, QStringLiteral("{a,b} \\\"")},
    };
    for (const auto& r : rows) {
        arrays.row();
        arrays.bind(0, r.number);
        arrays.bind(1, r.amount);
        arrays.bind(2, r.text);
    }
    EXPECT_EQ(arrays.rows(), 4);
    EXPECT_EQ(arrays.columns(), 3);
    EXPECT_EQ(arrays.literal(0), QStringLiteral("{7,-3,0,42}"));
    EXPECT_EQ(arrays.literal(1), QStringLiteral("{1.5,-0.25,100,2.5}"));
    EXPECT_EQ(arrays.literal(2), QStringLiteral("{\"C:\\\\Зарплата\\\\2011\",\"ООО \\\"Ромашка\\\"\",NULL,"
                                                "\"{a,b} \\\\\\\"\"}"));
}

TEST(ColumnArrays, ARowThatDoesNotBindEveryColumnOnceIsRefused)
{
    // The second row leaves column 1 unbound: the next row is refused, and so
    // is the literal while it is the last.
    db::ColumnArrays skipped;
    skipped.row();
    skipped.bind(0, 1);
    skipped.bind(1, 2);
    skipped.row();
    skipped.bind(0, 3);
    EXPECT_THROW(skipped.literal(0), db::DbError);
    EXPECT_THROW(skipped.row(), db::DbError);

    // A column bound twice in one row would take the next row's place.
    db::ColumnArrays twice;
    twice.row();
    twice.bind(0, 1);
    EXPECT_THROW(twice.bind(0, 2), db::DbError);

    // A column that the first row did not bind cannot start in the second.
    db::ColumnArrays late;
    late.row();
    late.bind(0, 1);
    late.row();
    late.bind(0, 2);
    EXPECT_THROW(late.bind(1, 5), db::DbError);

    // A value before any row has no row to go to.
    db::ColumnArrays none;
    EXPECT_THROW(none.bind(0, 1), db::DbError);
}
