// The time-sheet file check: a table written as a time-keeping program hands
// it over is counted for each way of choosing employees; damaged and foreign
// files give their codes or read failures; the worker turns each into the
// result its view shows.
#include "entries/TabelFileReader.h"
#include "TimeSheetFile.h"
#include "platform/TaskThread.h"
#include "print/PrintOutput.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace en = kalvor::entries;
namespace ib = kalvor::infobase;
namespace pl = kalvor::platform;
using kalvor::tools::TimeSheetRow;

namespace {

struct Employee {
    int number;
    int shop;
    int brigade;
};

// Four employees: 10 and 20 in shop 1 (brigades 1 and 2), 30 and 40 in shop 2
// (brigade 1 and none).
const Employee kEmployees[] = {{10, 1, 1}, {20, 1, 2}, {30, 2, 1}, {40, 2, 0}};

class TabelFileReader : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        base.AllocateTables(10);
        int slot = 1;
        for (const Employee& employee : kEmployees) {
            ib::EmployeeListEntry entry;
            entry.setTabN(ib::u16(employee.number));
            entry.slot = ib::u16(slot);
            base.list.push_back(entry);
            base.shopOf(slot) = ib::u8(employee.shop);
            base.attributesOf(slot).brig = ib::i8(employee.brigade);
            ++slot;
        }
        path = dir.filePath(QStringLiteral("tabel.dbf"));
        // The other program's order, an unknown number and blanks before a number.
        kalvor::tools::WriteTimeSheetFile(path, {{"30", QStringLiteral("Третий"), 20, 160},
                                                 {"99", QStringLiteral("Чужой"), 0, 0},
                                                 {"  10", QStringLiteral("Первый"), 21, 168},
                                                 {"20", QStringLiteral("Второй"), 21, 168},
                                                 {"40", QStringLiteral("Четвертый"), 19, 152}});
    }

    int Read(const en::TabelFileSelection& selection, int* met = nullptr, const QString& file = QString())
    {
        return en::ReadTabelFile(base, file.isNull() ? path : file, selection, met);
    }

    QByteArray Bytes() const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void WriteBytes(const QByteArray& bytes) const
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    // The reader's failure kind, or 0 when it returned.
    int FailureKind(const en::TabelFileSelection& selection)
    {
        try {
            Read(selection);
        } catch (const kalvor::print::PrintFileError& error) {
            return error.kind();
        }
        return 0;
    }

    QTemporaryDir dir;
    QString path;
    ib::CInfoBase base;
};

} // namespace

TEST(TabelRecordNumber, ReadLikeADecimalNumber)
{
    const std::pair<const char*, int> cases[] = {
        {" 0012", 12},   {"   12", 12}, {" 12ab", 12}, {" ab12", 0}, {"  7 3", 7},
        {" 8191", 8191}, {"     ", 0},  {" -5  ", 0},  {"", 0},      {"*1234xyz", 1234},
    };
    for (const auto& [record, number] : cases) EXPECT_EQ(en::TabelRecordPersonnelNumber(record), number) << record;
}

TEST_F(TabelFileReader, TheHeadOfTheWrittenTableIsATimeSheetHead)
{
    const QByteArray bytes = Bytes();
    ASSERT_GE(bytes.size(), 609 + 5 * 81);
    EXPECT_EQ(uchar(bytes[0]), 3);
    EXPECT_EQ(uchar(bytes[8]) | uchar(bytes[9]) << 8, 609);
    EXPECT_EQ(uchar(bytes[10]) | uchar(bytes[11]) << 8, 81);
    EXPECT_EQ(bytes.mid(609 + 2 * 81, 5), QByteArray("   10"));
}

TEST_F(TabelFileReader, EachWayOfChoosingCountsTheEmployeesMet)
{
    int met = -1;
    // By shop and brigade: everybody, one shop, one brigade of a shop.
    EXPECT_EQ(Read({}, &met), en::kTabelReadDone);
    EXPECT_EQ(met, 4);
    EXPECT_EQ(Read({1, 0, 0, 0}, &met), en::kTabelReadDone);
    EXPECT_EQ(met, 2); // 10 and 20: reading stops at 20 with 40 left
    EXPECT_EQ(Read({2, 1, 0, 0}, &met), en::kTabelReadDone);
    EXPECT_EQ(met, 1);
    // By number.
    EXPECT_EQ(Read({0, 0, 10, 0}, &met), en::kTabelReadDone);
    EXPECT_EQ(met, 1);
    // By marks: 20 and 40 marked; the shop typed beside them does not count.
    base.list[1].setFlag(0, true);
    base.list[3].setFlag(0, true);
    EXPECT_EQ(Read({1, 0, 0, 2}, &met), en::kTabelReadDone);
    EXPECT_EQ(met, 2);
    // More marks expected than the file has: the whole file is read.
    EXPECT_EQ(Read({0, 0, 0, 3}, &met), en::kTabelReadDone);
    EXPECT_EQ(met, 2);
}

TEST_F(TabelFileReader, TheSelectionIsCheckedBeforeTheFile)
{
    const QString missing = dir.filePath(QStringLiteral("none.dbf"));
    EXPECT_EQ(Read({0, 0, 55, 0}, nullptr, missing), en::kTabelUnknownNumber);
    EXPECT_EQ(Read({3, 0, 0, 0}, nullptr, missing), en::kTabelNoEmployees);
    EXPECT_EQ(Read({2, 2, 0, 0}, nullptr, missing), en::kTabelNoEmployees);
    EXPECT_EQ(Read({}, nullptr, missing), en::kTabelFileMissing);
    EXPECT_EQ(Read({}, nullptr, QStringLiteral("")), en::kTabelFileMissing);
}

TEST_F(TabelFileReader, ForeignAndDamagedFilesAreRefusedWithoutAChange)
{
    const QByteArray good = Bytes();
    QByteArray dbase4 = good;
    dbase4[0] = 4;
    WriteBytes(dbase4);
    EXPECT_EQ(Read({}), en::kTabelNotTimeSheet);
    EXPECT_EQ(Bytes(), dbase4); // never written to

    QByteArray longHead = good;
    longHead[8] = char(610 & 0xFF);
    WriteBytes(longHead);
    EXPECT_EQ(Read({}), en::kTabelNotTimeSheet);

    // A first field one byte wider than its descriptors leave room for in
    // the head's 81-byte record: the table contradicts its head.
    QByteArray wideField = good;
    wideField[32 + 16] = char(uchar(wideField[32 + 16]) + 1);
    WriteBytes(wideField);
    EXPECT_EQ(FailureKind({}), pl::FILE_ERROR_READ);
    EXPECT_EQ(Bytes(), wideField);

    WriteBytes(good.left(5));
    EXPECT_EQ(FailureKind({}), pl::FILE_ERROR_READ);
    WriteBytes(good.left(609 + 3 * 81 + 40)); // the fourth record cut short
    EXPECT_EQ(FailureKind({}), pl::FILE_ERROR_READ);

    // A folder of that name cannot be opened as a file.
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkdir(path));
    EXPECT_EQ(FailureKind({}), pl::FILE_ERROR_OPEN);
}
