// Texts read by a raw statement are the strings that QtSql reads from the
// same rows: Cyrillic, a character beyond 16 bits, bytes that are no UTF-8,
// an encoded surrogate, U+FFFE, an inner NUL, the empty text and NULL.
#include "platform/RawStatement.h"
#include "platform/Db.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <vector>

using namespace kalvor;

TEST(RawStatement, TextsReadAsQtSqlReadsThem)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("texts.sqlite"));
    {
        const QSqlDatabase db = db::Connection::forThread(file);
        db::Execute(db, QStringLiteral("CREATE TABLE dbo.t (id INTEGER, s TEXT)"));
        const char* const values[] = {"'Иванов Пётр'",
                                      "CAST(x'F09D849E41' AS TEXT)",
                                      "CAST(x'C341C0' AS TEXT)",
                                      "CAST(x'EDA080' AS TEXT)",
                                      "CAST(x'EFBFBEEFBFBF' AS TEXT)",
                                      "CAST(x'610062' AS TEXT)",
                                      "''",
                                      "NULL",
                                      "CAST(x'F8888080FF' AS TEXT)"};
        int id = 0;
        for (const char* v : values)
            db::Execute(db, QStringLiteral("INSERT INTO dbo.t VALUES (%1, %2)").arg(++id).arg(QString::fromUtf8(v)));

        db::Recordset q(db, QStringLiteral("SELECT s FROM dbo.t ORDER BY id"));
        q.exec();
        db::RawStatement raw(db, QStringLiteral("SELECT s FROM dbo.t ORDER BY id"));
        std::vector<QString> read;
        while (raw.next()) {
            ASSERT_TRUE(q.next());
            const QString s = raw.toString(0);
            EXPECT_EQ(s, q.toString(0)) << read.size();
            EXPECT_EQ(s.isNull(), q.toString(0).isNull()) << read.size();
            read.push_back(s);
        }
        EXPECT_FALSE(q.next());
        ASSERT_EQ(read.size(), std::size(values));
        EXPECT_EQ(read[0], QStringLiteral("Иванов Пётр"));
        EXPECT_EQ(read[1], QString::fromUtf16(u"\U0001D11EA"));
        EXPECT_EQ(read[2], QString::fromUtf16(u"\uFFFDA\uFFFD"));
        EXPECT_EQ(read[4], QString::fromUtf16(u"\uFFFD\uFFFD"));
        EXPECT_EQ(read[5], QString::fromUtf16(u"a\0b", 3));
        EXPECT_TRUE(read[7].isNull());
    }
    db::Connection::closeForThread(file);
}
