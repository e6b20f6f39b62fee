// The swap work file: slots at (n - 1) × 48,623, the row block at +47,237,
// short reads, and the lock that keeps two runs apart.
#include "DbTestBase.h"
#include "infobase/KalvorDocData.h"
#include "support/TestFixture.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstring>

using namespace kalvor::infobase;
using kalvor::infobase::test::SlotBytes;

namespace {

u16 le16(const char* p) { return u16(u8(p[0]) | (u8(p[1]) << 8)); }

// The bytes of a slot as the file holds them.
QByteArray FileSlot(const QString& path, int slot)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(qint64(slot - 1) * SwapFile::SlotSize))
        return {};
    return f.read(SwapFile::SlotSize);
}

} // namespace

TEST(SwapFile, FixtureSlotsAndRowBlocksAtTheirOffsets)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    KalvorDocData doc;
    doc.setWorkFolder(dir.path());
    CInfoBase& base = doc.infoBase;
    FixtureBase fx = BuildFixtureBase(base, 120, 11);
    // Slots in an order other than the list's, with a gap: move the list's
    // first employee to the last slot.
    const int moved = base.capacity();
    fx.records[std::size_t(moved - 1)] = fx.records[0];
    base.list[0].slot = u16(moved);
    WriteFixtureToSwap(base, fx);
    base.CloseSwapFile();

    QFile f(dir.filePath(QStringLiteral("swap")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.size(), qint64(moved) * 48'623);
    const QByteArray all = f.readAll();
    for (int slot : {2, 60, 120, moved}) {
        const EmployeeRecord& rec = fx.records[std::size_t(slot - 1)];
        const char* s = all.constData() + qint64(slot - 1) * 48'623;
        // The row block: row 0 is the salary, row 1 the tax, row 2 the amount to pay.
        EXPECT_EQ(le16(s + 47'237), 1) << slot;
        double sum;
        std::memcpy(&sum, s + 47'237 + 2, 8);
        EXPECT_EQ(sum, rec.rows[0].sum) << slot;
        EXPECT_EQ(le16(s + 47'237 + 21), 902) << slot;
        EXPECT_EQ(le16(s + 47'237 + 42), 920) << slot;
        // The slot begins with the wide name.
        EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(s), rec.head.fio.size()), rec.head.fio);
    }
    // The slot of the moved employee's old place was never written: a hole of zeros.
    EXPECT_EQ(all.mid(0, 48'623), QByteArray(48'623, '\0'));

    base.OpenSwapFile();
    for (int slot : {2, 61, moved}) {
        EmployeeRecord rec;
        ASSERT_TRUE(base.swap.readSlot(slot, rec));
        EXPECT_EQ(rec, fx.records[std::size_t(slot - 1)]);
        AccrualRow rows[64];
        ASSERT_TRUE(base.swap.readRows(slot, rows));
        for (int i = 0; i < 64; ++i) EXPECT_EQ(rows[i], fx.records[std::size_t(slot - 1)].rows[std::size_t(i)]);
    }
    // Past the end of the file: a short read, and the record is left as it was.
    EmployeeRecord keep = fx.records[5];
    EXPECT_FALSE(base.swap.readSlot(moved + 1, keep));
    EXPECT_EQ(keep, fx.records[5]);
    AccrualRow rows[64];
    EXPECT_FALSE(base.swap.readRows(moved + 1, rows));

    // Re-creating empties the file.
    base.CreateSwapFile();
    EXPECT_FALSE(base.swap.readSlot(2, keep));
    base.CloseSwapFile();
}

// Each block of a record lies at its documented offset in its slot: the
// deductions at 9,342, the archive's count at 10,106 and its first entry at
// 10,108, the bank transfers at 29,308, the writs at 43,968, the rows at 47,237.
TEST(SwapFile, BlocksLieAtTheirOffsetsInTheSlot)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EmployeeRecord rec;
    rec.nalvich[0].kod = 126;
    rec.warKv = 1;
    rec.waria[0].kod = 35;
    rec.sber[0].kod = 750;
    rec.ispol.writs[0].vid = 1; // bits 1-2 of the writ's flag word
    rec.rows[0].kod = 902;
    const QString path = dir.filePath(QStringLiteral("swap"));
    SwapFile swap(path);
    swap.create();
    swap.writeSlot(2, rec);
    swap.close();
    const QByteArray slot = FileSlot(path, 2);
    ASSERT_EQ(slot.size(), SwapFile::SlotSize);
    const char* s = slot.constData();
    EXPECT_EQ(le16(s + 9'342), 126);
    EXPECT_EQ(le16(s + 10'106), 1);
    EXPECT_EQ(le16(s + 10'108), 35);
    EXPECT_EQ(le16(s + 29'308), 750);
    EXPECT_EQ(le16(s + 43'968), 2);
    EXPECT_EQ(le16(s + 47'237), 902);
    EXPECT_EQ(slot.mid(47'237 + 66 * 21), QByteArray()); // the rows close the slot
}

TEST(SwapFile, OnlyOneRunHoldsTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("swap"));
    SwapFile first(path), second(path);
    second.setLockTimeout(100);
    first.create();
    EmployeeRecord rec;
    rec.head.fio = QStringLiteral("Смирнова Ольга Петровна");
    first.writeSlot(3, rec);
    try {
        second.open();
        FAIL() << "the second run opened a file in use";
    } catch (const InfoBaseError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Ошибка захвата файла ") + path);
    }
    EXPECT_FALSE(second.isOpen());
    first.close();
    second.open();
    EmployeeRecord back;
    ASSERT_TRUE(second.readSlot(3, back));
    EXPECT_EQ(back.head.fio, rec.head.fio);
    EXPECT_FALSE(second.readSlot(0, back));

    SwapFile bad(dir.filePath(QStringLiteral("no/such/folder/swap")));
    try {
        bad.open();
        FAIL();
    } catch (const InfoBaseError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Ошибка при открытии файла ")));
    }
}

TEST(KalvorDocData, WorkFilesFollowTheWorkingFolderAndBase)
{
    KalvorDocData doc;
    doc.setWorkFolder(QStringLiteral("/data/kalvor"));
    doc.infoBase.baseName = QStringLiteral("zavod");
    EXPECT_EQ(doc.infoBase.workFolder, QStringLiteral("/data/kalvor/"));
    EXPECT_EQ(doc.infoBase.swap.path(), QStringLiteral("/data/kalvor/swap"));
    EXPECT_EQ(doc.refFiles.path(QStringLiteral("nalog")), QStringLiteral("/data/kalvor/nalog"));
    EXPECT_EQ(doc.TypWorkFile(), QStringLiteral("/data/kalvor/zavod.typ"));
    EXPECT_EQ(doc.FormatBaseFileName(), QStringLiteral("/data/kalvor/zavod.33"));
    EXPECT_EQ(doc.SummaryFile(), QStringLiteral("/data/kalvor/zavod.fin"));
    // Selection keys start unset; the report block starts zeroed.
    EXPECT_EQ(doc.selectionKeys.crit[17][2], -1);
    EXPECT_EQ(doc.GenrValues[424], 0.0);
    EXPECT_EQ(doc.incomeRows.size(), 13u);
}

// Archive entries past the last one in use are written as zero bytes, and a
// record's slot stays byte for byte what packing every entry gives: an entry
// beyond the count, a blank entry with a sum of -0 and the first of two
// records written one after the other through the same slot buffer.
TEST(SwapFile, ArchiveEntriesPackedUpToTheLastOneInUse)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CInfoBase base;
    FixtureBase fx = BuildFixtureBase(base, 2, 5);
    EmployeeRecord rec = fx.records[0];
    rec.waria[700].kod = 35;
    rec.waria[700].sum = 1'234'567;
    rec.waria[700].god = 2025;
    rec.waria[700].mes = 11;
    rec.waria[900].sum = -0.0; // blank but for the sign: not zero bytes
    const QString path = dir.filePath(QStringLiteral("swap"));
    SwapFile swap(path);
    swap.create();
    swap.writeSlot(1, fx.records[1]);
    swap.writeSlot(1, rec);

    const QByteArray slot = FileSlot(path, 1);
    ASSERT_EQ(slot.size(), SwapFile::SlotSize);
    const char* waria = slot.constData() + 10'108; // after the archive's count
    auto entryBytes = [](const WariaEntry& e) {
        std::vector<char> bytes(WariaEntry::Size);
        ByteWriter w(bytes.data(), bytes.size());
        e.write(w);
        return bytes;
    };
    for (int i : {0, 23, 24, 699, 700, 701, 900, 901, 1199}) {
        const std::vector<char> expected = entryBytes(rec.waria[std::size_t(i)]);
        EXPECT_EQ(std::memcmp(waria + i * WariaEntry::Size, expected.data(), WariaEntry::Size), 0) << i;
    }
    EXPECT_EQ(u8(waria[900 * WariaEntry::Size + 11]), 0x80); // the sign bit of -0.0
    EXPECT_EQ(le16(waria + 700 * WariaEntry::Size), 35);

    EmployeeRecord back;
    ASSERT_TRUE(swap.readSlot(1, back));
    EXPECT_EQ(back.waria, rec.waria);
    EXPECT_TRUE(std::signbit(back.waria[900].sum));
    EXPECT_EQ(back.rows, rec.rows);
    EXPECT_EQ(back.head, rec.head);
}

// A file made anew over the bigger one of an earlier run is not truncated,
// yet it reads as a truncated one would: slots not written since are zeros,
// a read past the last byte written is short. Closed, the file itself is
// that truncated file.
TEST(SwapFile, AFileMadeAnewReadsAsATruncatedOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CInfoBase base;
    FixtureBase fx = BuildFixtureBase(base, 4, 9);
    const QString path = dir.filePath(QStringLiteral("swap"));
    SwapFile swap(path);
    swap.create();
    for (int slot = 1; slot <= 4; ++slot) swap.writeSlot(slot, fx.records[std::size_t(slot - 1)]);
    swap.close();

    swap.create();
    EmployeeRecord b = fx.records[1];
    b.sber[0].kod = 750;
    EmployeeRecord back;
    EXPECT_FALSE(swap.readSlot(3, back)) << "the slot lies past the last byte written";
    swap.writeSlot(3, b);
    for (const bool closed : {false, true}) {
        SCOPED_TRACE(closed);
        ASSERT_TRUE(swap.readSlot(1, back));
        EXPECT_EQ(SlotBytes(back), SlotBytes(EmployeeRecord{}));
        ASSERT_TRUE(swap.readSlot(3, back));
        EXPECT_EQ(back, b);
        EXPECT_FALSE(swap.readSlot(4, back));
        AccrualRow rows[SwapFile::PassRowCount];
        EXPECT_FALSE(swap.readRows(4, rows));
        swap.close();
        swap.open();
    }
    swap.close();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.size(), 3 * SwapFile::SlotSize);
    const QByteArray all = f.readAll();
    EXPECT_EQ(all.left(2 * SwapFile::SlotSize), QByteArray(2 * SwapFile::SlotSize, '\0'));
    const QByteArray third = all.mid(2 * SwapFile::SlotSize);
    EXPECT_EQ(third, SlotBytes(back));
}
