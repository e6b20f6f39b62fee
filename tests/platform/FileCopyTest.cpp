#include "platform/FileCopy.h"
#include "platform/WorkingFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kalvor::platform;

namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

} // namespace

TEST(FileCopy, ReplacesTheTargetWholeAndKeepsItWhenTheSourceIsMissing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString from = dir.filePath("nalog");
    const QString to = dir.filePath("_nalog");
    // More than one block of the copy, with every byte value in it.
    QByteArray big;
    for (int i = 0; i < 200000; ++i) big += char(i * 7 % 256);
    put(from, big);
    put(to, "old contents");
    EXPECT_TRUE(CopyFileReplacing(from, to));
    EXPECT_EQ(contents(to), big);

    QString error;
    EXPECT_FALSE(CopyFileReplacing(dir.filePath("missing"), to, &error));
    EXPECT_EQ(error, QStringLiteral("Ошибка при открытии файла %1\nФайл не найден").arg(dir.filePath("missing")));
    EXPECT_EQ(contents(to), big);
    // A folder in the source's place is said as such, not in the system's words.
    EXPECT_FALSE(CopyFileReplacing(dir.path(), to, &error));
    EXPECT_EQ(error, QStringLiteral("Ошибка при открытии файла %1\nНа месте файла находится папка").arg(dir.path()));
    // A target in a folder that does not exist: nothing is made.
    EXPECT_FALSE(CopyFileReplacing(from, dir.filePath("no/such/folder/file")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 2);
}

TEST(FileCopy, WithSeparatorAddsOneSlashOnlyWhereMissing)
{
    EXPECT_EQ(WithSeparator(QString()), QString());
    EXPECT_EQ(WithSeparator(QStringLiteral("/data/kalvor")), QStringLiteral("/data/kalvor/"));
    EXPECT_EQ(WithSeparator(QStringLiteral("/data/kalvor/")), QStringLiteral("/data/kalvor/"));
    EXPECT_EQ(WithSeparator(QStringLiteral("/")), QStringLiteral("/"));
}
