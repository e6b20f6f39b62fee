// dBASE III tables written through CDbf statements and read back: the exact
// bytes of a small table, appends, quotes and Cyrillic text, foreign tables
// with numeric, date and logical fields, and the files that are refused.
#include "platform/CDbf.h"
#include "platform/CodePage.h"
#include "platform/Db.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using kalvor::db::DbError;
using kalvor::dbf::CDbf;
using kalvor::dbf::DbfTable;
namespace codepage = kalvor::codepage;

namespace {

const QDate kUpdated(2026, 3, 15);

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray U16(unsigned v) { return QByteArray(1, char(v & 0xFF)) + char(v >> 8); }
QByteArray U32(unsigned v) { return U16(v & 0xFFFF) + U16(v >> 16); }

// One 32-byte field descriptor.
QByteArray Descriptor(const char* name, char type, int length, int decimals = 0)
{
    QByteArray d(32, '\0');
    d.replace(0, int(strlen(name)), name);
    d[11] = type;
    d[16] = char(length);
    d[17] = char(decimals);
    return d;
}

// The 32-byte header of a table.
QByteArray Header(unsigned count, int fields, int recordLength, unsigned char language = 0xC9)
{
    QByteArray h;
    h += char(3);
    h += char(126); // 2026
    h += char(3);
    h += char(15);
    h += U32(count);
    h += U16(unsigned(32 + 32 * fields + 1));
    h += U16(unsigned(recordLength));
    h += QByteArray(17, '\0');
    h += char(language);
    h += QByteArray(2, '\0');
    return h;
}

// Reads every value of every row of a SELECT.
std::vector<std::vector<QByteArray>> SelectAll(CDbf& dbf, const QByteArray& statement)
{
    std::vector<std::vector<QByteArray>> rows;
    dbf.Open(statement);
    while (!dbf.IsEof()) {
        dbf.GetFields();
        std::vector<QByteArray> row;
        for (int i = 0; i < dbf.GetFieldCount(); ++i) row.push_back(dbf.GetFieldValue(i));
        rows.push_back(row);
        dbf.MoveNext();
    }
    dbf.Close();
    return rows;
}

class DbfTableTest : public ::testing::Test {
protected:
    QString folder() const { return dir.path(); }
    QString file(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(DbfTableTest, EmptyTableHasTheHeaderOfDbaseThree)
{
    {
        CDbf dbf(folder());
        dbf.Open("create table reg (a VARCHAR(3), [time] VARCHAR(6))");
        dbf.Commit(kUpdated);
    }
    const QByteArray expected =
        Header(0, 2, 10) + Descriptor("A", 'C', 3) + Descriptor("TIME", 'C', 6) + char(0x0D) + char(0x1A);
    EXPECT_EQ(FileBytes(file("reg.dbf")), expected);

    CDbf dbf(folder());
    dbf.Open("SELECT * FROM reg");
    EXPECT_TRUE(dbf.IsEof());
    dbf.Close();
}

TEST_F(DbfTableTest, RowsAppendAcrossRunsAndReadBackAsText)
{
    {
        CDbf dbf(folder());
        dbf.Open("CREATE TABLE reg.dbf (a VARCHAR(3), [time] VARCHAR(6))");
        dbf.Open("INSERT INTO reg.dbf (a) VALUES ('x')");
        dbf.Commit(kUpdated);
    }
    const QByteArray head = Header(1, 2, 10) + Descriptor("A", 'C', 3) + Descriptor("TIME", 'C', 6) + char(0x0D);
    EXPECT_EQ(FileBytes(file("reg.dbf")), head + " x        " + char(0x1A));

    {
        CDbf dbf(folder());
        dbf.Open("Insert Into REG ([time], a) Values ('  8.30', 'abcdef')");
        dbf.Open("INSERT INTO reg (a, [time]) VALUES ('   ', '')");
        dbf.Commit(kUpdated);
    }
    const QByteArray bytes = FileBytes(file("reg.dbf"));
    EXPECT_EQ(bytes.size(), 97 + 3 * 10 + 1);
    EXPECT_EQ(bytes.mid(4, 4), U32(3));
    EXPECT_EQ(bytes.right(31), QByteArray(" x        ") + " abc  8.30" + "          " + char(0x1A));

    CDbf dbf(folder());
    const auto rows = SelectAll(dbf, "SELECT * FROM reg");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<QByteArray>{"x", ""}));
    EXPECT_EQ(rows[1], (std::vector<QByteArray>{"abc", "  8.30"}));
    EXPECT_EQ(rows[2], (std::vector<QByteArray>{"", ""}));
}

TEST_F(DbfTableTest, QuotesAndCyrillicSurviveAndWhereFilters)
{
    const QByteArray name = codepage::toCp1251(QStringLiteral("О''Нил Пётр"));
    {
        CDbf dbf(folder());
        dbf.Open(codepage::toCp1251(QStringLiteral("CREATE TABLE Ведомость (tabel VARCHAR(4), fio VARCHAR(20))")));
        dbf.Open(codepage::toCp1251(QStringLiteral("INSERT INTO Ведомость (tabel,fio) VALUES ('12','")) + name + "')");
        dbf.Open(codepage::toCp1251(QStringLiteral("INSERT INTO Ведомость (tabel,fio) VALUES ('7','Ян')")));
        dbf.Commit(kUpdated);
    }
    ASSERT_TRUE(QFile::exists(file(QStringLiteral("Ведомость.dbf"))));
    EXPECT_TRUE(CDbf(folder()).HasTable(QStringLiteral("ВЕДОМОСТЬ")));
    EXPECT_FALSE(CDbf(folder()).HasTable(QStringLiteral("Ведомости")));

    CDbf dbf(folder());
    const auto rows = SelectAll(dbf, codepage::toCp1251(QStringLiteral("select * from ведомость where tabel='12'")));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(codepage::fromCp1251(rows[0][1]), QStringLiteral("О'Нил Пётр"));

    dbf.Open(codepage::toCp1251(QStringLiteral("SELECT * FROM ВЕДОМОСТЬ WHERE tabel='5'")));
    EXPECT_TRUE(dbf.IsEof());
    dbf.Close();
}

TEST_F(DbfTableTest, ForeignTableReadsNumbersDatesAndLogicalsByPosition)
{
    const int recordLength = 1 + 6 + 8 + 8 + 1;
    QByteArray bytes = Header(3, 4, recordLength, 0x26) + Descriptor("NAME", 'C', 6) + Descriptor("SUMMA", 'N', 8, 2) +
                       Descriptor("DATA", 'D', 8) + Descriptor("FLAG", 'L', 1) + char(0x0D);
    bytes += QByteArray(" ") + "Bob   " + "   12.50" + "20260315" + "T";
    bytes += QByteArray("*") + "Old   " + "    1.00" + "20000101" + "F"; // deleted
    bytes += QByteArray(" ") + "Ann   " + "        " + "        " + " ";
    bytes += char(0x1A);
    WriteFile(file("PAY.DBF"), bytes);

    CDbf dbf(folder());
    const auto rows = SelectAll(dbf, "SELECT * FROM pay.dbf");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<QByteArray>{"Bob", "12.50", "15.03.2026", "T"}));
    EXPECT_EQ(rows[1], (std::vector<QByteArray>{"Ann", "", "", ""}));

    const DbfTable table = DbfTable::read(file("PAY.DBF"));
    EXPECT_EQ(table.recordCount(), 3);
    EXPECT_EQ(table.recordLength(), recordLength);
    EXPECT_EQ(table.fieldIndex("summa"), 1);
    EXPECT_TRUE(table.isDeleted(1));
}

TEST_F(DbfTableTest, DamagedOrForeignFilesAreRefusedWithTheError)
{
    {
        CDbf dbf(folder());
        dbf.Open("CREATE TABLE t (a VARCHAR(10))");
        for (int i = 0; i < 4; ++i) dbf.Open("INSERT INTO t (a) VALUES ('row')");
        dbf.Commit(kUpdated);
    }
    const QByteArray whole = FileBytes(file("t.dbf"));
    WriteFile(file("cut.dbf"), whole.left(whole.size() - 15));
    WriteFile(file("text.dbf"), "tabel;fio\r\n1;Ivanov\r\n");

    CDbf dbf(folder());
    for (const char* statement : {"SELECT * FROM cut", "SELECT * FROM text"}) {
        try {
            dbf.Open(statement);
            ADD_FAILURE() << statement << " was read";
        } catch (const DbError& error) {
            EXPECT_EQ(error.message(), QStringLiteral("Ошибка чтения файла"));
            EXPECT_EQ(error.code(), kalvor::db::E_DB_FAIL);
        }
    }
    EXPECT_THROW(dbf.Open("SELECT * FROM missing"), DbError);
    EXPECT_THROW(dbf.Open("SELECT * FROM t WHERE nope='1'"), DbError);
    EXPECT_THROW(dbf.Open("INSERT INTO t (a) VALUES ('unclosed)"), DbError);
    EXPECT_THROW(dbf.Open("INSERT INTO t (a, b) VALUES ('1')"), DbError);
    EXPECT_THROW(dbf.Open("CREATE TABLE t (a VARCHAR(10))"), DbError);
    EXPECT_THROW(dbf.Open("CREATE TABLE u (much_too_long VARCHAR(10))"), DbError);
    EXPECT_THROW(dbf.Open("DELETE FROM t"), DbError);
    EXPECT_THROW(CDbf(dir.filePath("no-such-folder")), DbError);
}

TEST_F(DbfTableTest, ARunWithoutCommitLeavesTheOldTable)
{
    {
        CDbf dbf(folder());
        dbf.Open("CREATE TABLE t (a VARCHAR(10))");
        dbf.Open("INSERT INTO t (a) VALUES ('kept')");
        dbf.Commit(kUpdated);
    }
    const QByteArray before = FileBytes(file("t.dbf"));
    {
        CDbf dbf(folder());
        dbf.Open("INSERT INTO t (a) VALUES ('lost')");
        dbf.Open("CREATE TABLE fresh (a VARCHAR(10))");
    }
    EXPECT_EQ(FileBytes(file("t.dbf")), before);
    EXPECT_FALSE(QFile::exists(file("fresh.dbf")));
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList{QStringLiteral("t.dbf")});
}

TEST_F(DbfTableTest, FieldValuesOutsideTheRowAreErrors)
{
    CDbf dbf(folder());
    dbf.Open("CREATE TABLE t (a VARCHAR(3))");
    dbf.Open("INSERT INTO t (a) VALUES ('1')");
    dbf.Open("CREATE TABLE wide (a VARCHAR(254))");
    dbf.Open("INSERT INTO wide (a) VALUES ('" + QByteArray(300, 'w') + "')");
    const auto wide = SelectAll(dbf, "SELECT * FROM wide");
    EXPECT_EQ(wide[0][0], QByteArray(254, 'w')); // the whole column, cut to its width
    EXPECT_THROW(dbf.Open("CREATE TABLE wider (a VARCHAR(255))"), DbError);

    dbf.Open("SELECT * FROM t");
    EXPECT_EQ(dbf.GetFieldCount(), 0); // before GetFields
    dbf.GetFields();
    EXPECT_EQ(dbf.GetFieldCount(), 1);
    EXPECT_THROW(dbf.GetFieldValue(1), DbError);
    EXPECT_EQ(dbf.GetFieldValue(0), QByteArray("1"));
    EXPECT_THROW(dbf.Open("SELECT * FROM t"), DbError); // rows still open
    dbf.MoveNext();
    EXPECT_TRUE(dbf.IsEof());
    EXPECT_THROW(dbf.GetFieldValue(0), DbError);
    dbf.Close();
}
