// The employee transfer file between two fixture bases: the record's bytes at
// their offsets, sorted placement, the failures that make no file, and the
// round trip into a base with other employees (lists, index words, lines,
// attributes, short names), overwriting, a full base and a foreign file.
#include "exchange/TransferFile.h"

#include "infobase/Bytes.h"
#include "infobase/InfoBaseDb.h"
#include "support/SlotArrays.h"
#include "support/TestFixture.h"
#include "values/Messages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::exchange;

namespace {

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

u32 U32At(const QByteArray& data, std::size_t offset)
{
    ByteReader r(data.constData(), std::size_t(data.size()));
    r.seek(offset);
    return r.u32v();
}

template <class T>
QByteArray Bytes(const T& value)
{
    QByteArray out(qsizetype(T::Size), '\0');
    ByteWriter w(out.data(), T::Size);
    value.write(w);
    return out;
}

class TransferFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        OpenFixture(from, QStringLiteral("from"), 5, 11);
        OpenFixture(to, QStringLiteral("to"), 4, 23);
        // The second base's employees get numbers of their own.
        for (EmployeeListEntry& e : to.infoBase.list) e.setTabN(u16(e.tabN() + 1000));
        SaveSimp(to.infoBase, 1);
        GiveLines(from.infoBase, from.infoBase.list[1].slot);
    }
    void TearDown() override
    {
        CloseBase(from.infoBase);
        CloseBase(to.infoBase);
        if (!named.infoBase.baseName.isEmpty())
            CloseBase(named.infoBase);
    }

    void OpenFixture(PayrollDoc& doc, const QString& name, int employees, unsigned seed)
    {
        CInfoBase& base = doc.infoBase;
        base.workFolder = dir.path() + QLatin1Char('/');
        base.baseName = name;
        CreateSchemaBase(dir.path(), name);
        OpenBase(base);
        const FixtureBase fx = BuildFixtureBase(base, employees, seed);
        SaveAll(base, fx.records);
    }

    // Three alternative time-sheet entries, two bonus lines, a sick-leave
    // sheet and a vacation note.
    static void GiveLines(CInfoBase& base, int slot)
    {
        std::vector<AltTabelEntry> alt(3);
        for (int i = 0; i < 3; ++i) {
            alt[std::size_t(i)].kod = u16(101 + i);
            alt[std::size_t(i)].hr = u8(8 * (i + 1));
            alt[std::size_t(i)].sumOklad = 1234567.0 + i;
        }
        ASSERT_TRUE(base.altTabel.replaceRun(slot, alt));
        std::vector<BonusLine> bonus(2);
        bonus[0].sum = 50000;
        bonus[0].kod = 301;
        bonus[1].sum = 2500;
        bonus[1].kod = 302;
        ASSERT_TRUE(base.prem.replaceRun(slot, bonus));
        SickLeaveSheet sheet;
        sheet.dBegin = 2;
        sheet.mBegin = 3;
        sheet.gBegin = 2026;
        sheet.dEnd = 9;
        sheet.mEnd = 3;
        sheet.gEnd = 2026;
        sheet.sum = 345600;
        ASSERT_TRUE(base.bln.replaceRun(slot, std::vector<SickLeaveSheet>{sheet}));
        VacationNote note;
        note.dBegin = 14;
        note.mBegin = 7;
        note.gBegin = 2026;
        note.dlin = 28;
        note.sum = 8800000;
        ASSERT_TRUE(base.otp.replaceRun(slot, std::vector<VacationNote>{note}));
        base.avOf(slot) = 1500.25;
        base.zar1Of(slot) = 777.5;
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    PayrollDoc from, to, named;
};

TEST_F(TransferFileTest, RecordHoldsEveryBlockAtItsOffset)
{
    CInfoBase& base = from.infoBase;
    const EmployeeListEntry entry = base.list[1];
    const int slot = entry.slot;
    TransferSelection sel;
    sel.tabN = entry.tabN();
    ASSERT_EQ(TransferFileRun(from, TransferExport, path("one.trf"), sel, 0), kTransferDone);
    const QByteArray file = FileBytes(path("one.trf"));
    ASSERT_EQ(std::size_t(file.size()), kTransferHeaderSize + kTransferRecordSize);
    EXPECT_EQ(file[0], char(7));
    EXPECT_EQ(U32At(file, 1), 1u);

    const QByteArray record = file.mid(5);
    EXPECT_EQ(U32At(record, 0), u32(entry.tabN()));
    EXPECT_EQ(record[4], char(base.attributesOf(slot).brig));
    EXPECT_EQ(u8(record[5]), base.shopOf(slot));
    LoadEmployee(base, slot);
    PackedEmployeeRecord packed;
    EmployeeRecordToAnsi(base.current, packed);
    EXPECT_EQ(record.mid(6, int(PackedEmployeeRecord::Size)),
              QByteArray(packed.bytes.data(), int(packed.bytes.size())));
    EXPECT_EQ(record.mid(35157, 43), Bytes(base.tabelOf(slot)));

    EXPECT_EQ(U32At(record, 35200), 3u);
    const std::vector<AltTabelEntry> alt = base.altTabel.run(slot);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(record.mid(35204 + 25 * i, 25), Bytes(alt[std::size_t(i)]));
    EXPECT_EQ(record.mid(35204 + 75, 8 * 25), QByteArray(200, '\0'));
    EXPECT_EQ(record.mid(35479, 10), Bytes(base.attributesOf(slot)));
    EXPECT_EQ(U32At(record, 35497), 2u);
    EXPECT_EQ(record.mid(35501, 18), Bytes(base.prem.run(slot)[0]));
    EXPECT_EQ(record.mid(35501 + 36, 6 * 18), QByteArray(108, '\0'));
    EXPECT_EQ(U32At(record, 35645), 1u);
    EXPECT_EQ(record.mid(35649, 37), Bytes(base.bln.run(slot)[0]));
    EXPECT_EQ(record.mid(35649 + 37, 9 * 37), QByteArray(333, '\0'));
    EXPECT_EQ(U32At(record, 36019), 1u);
    EXPECT_EQ(record.mid(36023, 18), Bytes(base.otp.run(slot)[0]));
    EXPECT_EQ(record.mid(36023 + 18, 4 * 18), QByteArray(72, '\0'));
    ByteReader r(record.constData(), kTransferRecordSize);
    r.seek(35489);
    EXPECT_EQ(r.f64(), 1500.25);
    r.seek(36113);
    EXPECT_EQ(r.f64(), 777.5);
}

TEST_F(TransferFileTest, RecordsStandInPersonnelNumberOrderAndFailuresMakeNoFile)
{
    CInfoBase& base = from.infoBase;
    std::reverse(base.list.begin(), base.list.end());
    for (int i : {0, 2, 4}) base.list[std::size_t(i)].setFlag(0, true);
    ASSERT_EQ(TransferFileRun(from, TransferExport, path("marked.trf"), {}, 3), kTransferDone);
    const QByteArray marked = FileBytes(path("marked.trf"));
    ASSERT_EQ(U32At(marked, 1), 3u);
    std::vector<u32> numbers;
    for (std::size_t i = 0; i < 3; ++i) numbers.push_back(U32At(marked, 5 + i * kTransferRecordSize));
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    EXPECT_EQ(numbers.front(), u32(base.list[4].tabN()));

    // All employees of a list in reverse order still come out sorted.
    ASSERT_EQ(TransferFileRun(from, TransferExport, QStringLiteral("all.trf"), {}, 0), kTransferDone);
    const QByteArray all = FileBytes(path("all.trf")); // a relative name lies in the working folder
    ASSERT_EQ(std::size_t(all.size()), 5 + 5 * kTransferRecordSize);
    for (std::size_t i = 1; i < 5; ++i)
        EXPECT_LT(U32At(all, 5 + (i - 1) * kTransferRecordSize), U32At(all, 5 + i * kTransferRecordSize));

    TransferSelection absent;
    absent.tabN = 8000;
    EXPECT_EQ(TransferFileRun(from, TransferExport, path("absent.trf"), absent, 0), kTransferNoSuchEmployee);
    TransferSelection noShop;
    noShop.shop = 249;
    EXPECT_EQ(TransferFileRun(from, TransferExport, path("noshop.trf"), noShop, 0), kTransferNoEmployees);
    EXPECT_FALSE(QFile::exists(path("absent.trf")));
    EXPECT_FALSE(QFile::exists(path("noshop.trf")));

    // Lines that the record cannot hold refuse the export and make no file.
    const int slot = base.list[0].slot;
    ASSERT_TRUE(base.altTabel.replaceRun(slot, std::vector<AltTabelEntry>(12)));
    EXPECT_THROW(TransferFileRun(from, TransferExport, path("long.trf"), {}, 0), TextError);
    EXPECT_FALSE(QFile::exists(path("long.trf")));
}

TEST_F(TransferFileTest, ImportRecreatesEmployeesAndOverwritesOnASecondRun)
{
    CInfoBase& src = from.infoBase;
    for (int i : {0, 1, 3}) src.list[std::size_t(i)].setFlag(0, true);
    ASSERT_EQ(TransferFileRun(from, TransferExport, path("three.trf"), {}, 3), kTransferDone);
    // A second base whose list is in name order.
    OpenFixture(named, QStringLiteral("named"), 4, 23);
    for (EmployeeListEntry& e : named.infoBase.list) e.setTabN(u16(e.tabN() + 1000));
    named.infoBase.firm.parWord = u16(named.infoBase.firm.parWord | 0x20);
    named.infoBase.SortList(named.infoBase.list, true);
    SaveFirm(named.infoBase);
    for (bool nameOrder : {false, true}) {
        SCOPED_TRACE(nameOrder ? "name order" : "personnel-number order");
        PayrollDoc& target = nameOrder ? named : to;
        CInfoBase& dst = target.infoBase;
        const std::size_t before = dst.list.size();
        ASSERT_EQ(TransferFileRun(target, TransferImport, path("three.trf"), {}, 0), kTransferDone);
        ASSERT_EQ(dst.list.size(), before + 3);
        if (!nameOrder) {
            EXPECT_TRUE(std::is_sorted(dst.list.begin(), dst.list.end(), CInfoBase::CompareEmployeesByTabN));
        }
        for (int i : {0, 1, 3}) {
            const EmployeeListEntry s = src.list[std::size_t(i)];
            const int found = dst.FindEmployee(s.tabN());
            ASSERT_GE(found, 0);
            const int d = dst.list[std::size_t(found)].slot;
            EXPECT_EQ(dst.list[std::size_t(found)].flags(), 0);
            EXPECT_EQ(dst.attributesOf(d), src.attributesOf(s.slot));
            EXPECT_EQ(dst.shopOf(d), src.shopOf(s.slot));
            EXPECT_EQ(dst.tabelOf(d), src.tabelOf(s.slot));
            EXPECT_EQ(dst.altTabel.run(d), src.altTabel.run(s.slot));
            EXPECT_EQ(dst.bln.run(d), src.bln.run(s.slot));
            EXPECT_EQ(dst.otp.run(d), src.otp.run(s.slot));
            EXPECT_EQ(dst.avOf(d), src.avOf(s.slot));
            EXPECT_EQ(dst.zar1Of(d), src.zar1Of(s.slot));
            // A bonus count of 0 comes in as one zero line.
            const std::vector<BonusLine> bonus = src.prem.run(s.slot);
            EXPECT_EQ(dst.prem.run(d), bonus.empty() ? std::vector<BonusLine>(1) : bonus);
            LoadEmployee(src, s.slot);
            const QString fio = src.current.head.fio;
            EXPECT_EQ(dst.shortNameOf(d), ShortNameOf(fio));
            LoadEmployee(dst, d);
            EXPECT_EQ(dst.current.head.fio, fio);
        }
        // Index words stay consistent: runs never overlap.
        std::vector<int> owner(std::size_t(dst.altTabel.lineCapacity()), 0);
        for (int slot = 1; slot <= dst.capacity(); ++slot)
            for (int k = 0; k < dst.altTabel.count(slot); ++k) {
                EXPECT_EQ(owner[std::size_t(dst.altTabel.first(slot) + k)], 0);
                owner[std::size_t(dst.altTabel.first(slot) + k)] = slot;
            }

        ASSERT_EQ(TransferFileRun(target, TransferImport, path("three.trf"), {}, 0), kTransferDone);
        EXPECT_EQ(dst.list.size(), before + 3);

        // What was saved loads back equal.
        SaveTransferImport(dst);
        CloseBase(dst);
        PayrollDoc reloaded;
        reloaded.infoBase.workFolder = dst.workFolder;
        reloaded.infoBase.baseName = dst.baseName;
        OpenBase(reloaded.infoBase);
        LoadAll(reloaded.infoBase);
        EXPECT_EQ(reloaded.infoBase.list, dst.list);
        EXPECT_EQ(reloaded.infoBase.altTabel.index, dst.altTabel.index);
        EXPECT_EQ(reloaded.infoBase.altTabel.lines, dst.altTabel.lines);
        EXPECT_EQ(reloaded.infoBase.prem.lines, dst.prem.lines);
        EXPECT_EQ(reloaded.infoBase.bln.lines, dst.bln.lines);
        EXPECT_EQ(EveryShortName(reloaded.infoBase), EveryShortName(dst));
        EXPECT_EQ(EveryAttributes(reloaded.infoBase), EveryAttributes(dst));
        CloseBase(reloaded.infoBase);
    }
}

TEST_F(TransferFileTest, FullBaseStopsAndForeignOrEmptyFilesChangeNothing)
{
    ASSERT_EQ(TransferFileRun(from, TransferExport, path("all.trf"), {}, 0), kTransferDone);
    CInfoBase& dst = to.infoBase;
    dst.config.kolMax = u16(dst.list.size() + 2);
    EXPECT_EQ(TransferFileRun(to, TransferImport, path("all.trf"), {}, 0), kTransferBaseFull);
    EXPECT_EQ(dst.list.size(), std::size_t(dst.capacity()));
    EXPECT_EQ(dst.config.kolRab, dst.capacity());

    const std::vector<EmployeeListEntry> list = dst.list;
    QFile foreign(path("foreign.trf"));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write(QByteArray(5 + kTransferRecordSize, '\0').replace(0, 1, "\x06").replace(1, 1, "\x01"));
    foreign.close();
    EXPECT_THROW(TransferFileRun(to, TransferImport, path("foreign.trf"), {}, 0), TextError);
    QByteArray shortFile = FileBytes(path("all.trf")).chopped(1);
    QFile cut(path("cut.trf"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(shortFile);
    cut.close();
    EXPECT_THROW(TransferFileRun(to, TransferImport, path("cut.trf"), {}, 0), TextError);
    QFile empty(path("empty.trf"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_EQ(TransferFileRun(to, TransferImport, path("empty.trf"), {}, 0), kTransferEmptyFile);
    EXPECT_EQ(TransferFileRun(to, TransferImport, path("missing.trf"), {}, 0), kTransferCannotOpen);
    EXPECT_EQ(dst.list, list);
}

// A value no screen takes refuses the file whole, named by its record, the
// employee's personnel number and its field: the card's amounts, the lines',
// and the standing deductions' by the rules their screens read them by (a
// transfer, a fixed writ, a loan's debt or stage of -1, a writ in percent of
// 100.01 or 99,999,999); nothing of the file is taken. What the screens take
// is taken: a fixed transfer of 99,999,999.00 and a writ of 100 %.
TEST_F(TransferFileTest, AFileWithAnImpossibleValueIsRefusedWhole)
{
    ASSERT_EQ(TransferFileRun(from, TransferExport, path("all.trf"), {}, 0), kTransferDone);
    const QByteArray good = FileBytes(path("all.trf"));
    auto f64 = [](double value) {
        QByteArray out(8, '\0');
        ByteWriter w(out.data(), 8);
        w.f64(value);
        return out;
    };
    const auto recordAt = [](int record) { return kTransferHeaderSize + std::size_t(record) * kTransferRecordSize; };
    // The file with a record's bytes from `offset` on replaced.
    const auto withBytes = [&](int record, std::size_t offset, const QByteArray& bytes) {
        QByteArray file = good;
        file.replace(qsizetype(recordAt(record) + offset), bytes.size(), bytes);
        return file;
    };
    // The file with a record's employee record changed.
    const auto withRecord = [&](int record, const std::function<void(EmployeeRecord&)>& change) {
        PackedEmployeeRecord packed;
        std::copy_n(good.constData() + recordAt(record) + kTransferPackedOffset, packed.bytes.size(),
                    packed.bytes.begin());
        EmployeeRecord rec;
        EmployeeRecordFromAnsi(packed, rec);
        change(rec);
        EmployeeRecordToAnsi(rec, packed);
        return withBytes(record, kTransferPackedOffset,
                         QByteArray(packed.bytes.data(), qsizetype(packed.bytes.size())));
    };
    const auto write = [&](const QByteArray& bytes) {
        QFile file(path("bad.trf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    const struct {
        int record;
        QByteArray file;
        const char* said;
    } cases[] = {
        {1, withBytes(1, kTransferAvOffset, f64(std::nan(""))), "av: недопустимое значение не число"},
        {0, withBytes(0, kTransferZar1Offset, f64(HUGE_VAL)), "zar1: недопустимое значение бесконечность"},
        {2, withBytes(2, 5, QByteArray(1, char(251))), "otd: недопустимое значение 251"},
        {3, withBytes(3, 4, QByteArray(1, char(-5))), "brig: недопустимое значение -5"},
        {4, withBytes(4, kTransferPackedOffset + 128, f64(-50'000)), "oklad: недопустимое значение -500"},
        {1, withRecord(1, [](EmployeeRecord& r) { r.sber[1].sum = -100; }),
         "Перечисление в банк 2, Сумма: недопустимое значение -1"},
        {4, withRecord(4, [](EmployeeRecord& r) { r.ispol.writs[1].sum = -100; }),
         "Исполнительный лист 2, Величина удержания: недопустимое значение -1"},
        {2,
         withRecord(2,
                    [](EmployeeRecord& r) {
                        r.ispol.writs[0].priznUd = 1;
                        r.ispol.writs[0].sum = 9'999'999'900;
                    }),
         "Исполнительный лист 1, Величина удержания: недопустимое значение 99999999"},
        {3,
         withRecord(3,
                    [](EmployeeRecord& r) {
                        r.ispol.writs[2].priznUd = 1;
                        r.ispol.writs[2].sum = 10'001;
                    }),
         "Исполнительный лист 3, Величина удержания: недопустимое значение 100.01"},
        {0, withRecord(0, [](EmployeeRecord& r) { r.ssud.loans[3].sum[2] = -100; }),
         "Ссуда 4, этап 3, Сумма: недопустимое значение -1"},
        {1, withRecord(1, [](EmployeeRecord& r) { r.ssud.loans[0].sumDolg = -1; }),
         "Ссуда 1, Долг: недопустимое значение -0.01"},
    };
    CInfoBase& dst = to.infoBase;
    const std::vector<EmployeeListEntry> list = dst.list;
    const std::vector<double> av = EveryAdvance(dst), zar1 = EveryPayout(dst);
    for (const auto& c : cases) {
        write(c.file);
        try {
            TransferFileRun(to, TransferImport, path("bad.trf"), {}, 0);
            ADD_FAILURE() << c.said;
        } catch (const TextError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Файл не загружен: в нём недопустимые значения.\n"
                                                  "Файл bad.trf, запись %1 (табельный номер %2), поле %3")
                                       .arg(c.record + 1)
                                       .arg(U32At(good, recordAt(c.record)))
                                       .arg(QString::fromUtf8(c.said)));
        }
    }
    // Nothing of the file was taken, in memory or in the base.
    EXPECT_EQ(dst.list, list);
    EXPECT_EQ(EveryAdvance(dst), av);
    EXPECT_EQ(EveryPayout(dst), zar1);
    LoadAll(dst);
    EXPECT_EQ(dst.list, list);
    EXPECT_EQ(EveryAdvance(dst), av);
    EXPECT_EQ(EveryPayout(dst), zar1);

    // The most the screens take, read back from the base.
    write(withRecord(2, [](EmployeeRecord& r) {
        r.sber[0].kod = 903;
        r.sber[0].sum = 9'999'999'900;
        r.ispol.writs[0].priznUd = 1;
        r.ispol.writs[0].sum = 10'000;
    }));
    TransferSelection one;
    one.tabN = u16(U32At(good, recordAt(2)));
    ASSERT_EQ(TransferFileRun(to, TransferImport, path("bad.trf"), one, 0), kTransferDone);
    const int taken = dst.FindEmployee(one.tabN);
    ASSERT_GE(taken, 0);
    dst.ClearCurrentRecord();
    LoadEmployee(dst, dst.list[std::size_t(taken)].slot);
    const EmployeeRecord& rec = dst.current;
    EXPECT_EQ(rec.sber[0].sum, 9'999'999'900);
    EXPECT_EQ(rec.ispol.writs[0].priznUd, 1);
    EXPECT_EQ(rec.ispol.writs[0].sum, 10'000);
}

} // namespace
