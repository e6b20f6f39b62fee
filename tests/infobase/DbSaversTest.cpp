// Loaders and savers: every table saved, the base reopened and every table
// compared byte for byte; employees saved, deleted and rebuilt; a saver that
// fails halfway leaves the base as it was.
#include "DbTestBase.h"

#include "infobase/BaseEmployees.h"
#include "infobase/BySlot.h"
#include "infobase/InfoBaseDbDetail.h"
#include "infobase/MonthResultSaver.h"
#include "infobase/StoredTables.h"
#include "platform/Db.h"
#include "platform/DbTestHooks.h"
#include "platform/DbTransaction.h"
#include "support/SlotArrays.h"
#include "support/StoredBase.h"
#include "values/Messages.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <tuple>
#include <utility>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::infobase::test;

namespace {

int countRows(const CInfoBase& base, const QString& table, qint64 id)
{
    db::Recordset q(Db(base), QStringLiteral("SELECT COUNT(*) FROM dbo.%1 WHERE id_konst = ?").arg(table));
    q.bind(0, id);
    q.exec();
    return q.next() ? q.toInt(0) : -1;
}

int countAll(const CInfoBase& base, const QString& table)
{
    db::Recordset q(Db(base), QStringLiteral("SELECT COUNT(*) FROM dbo.%1").arg(table));
    q.exec();
    return q.next() ? q.toInt(0) : -1;
}

const QStringList kDetailTables = {QStringLiteral("pasport"), QStringLiteral("nalvich"), QStringLiteral("postDopl"),
                                   QStringLiteral("sber"),    QStringLiteral("ispol"),   QStringLiteral("ssud"),
                                   QStringLiteral("waria"),   QStringLiteral("warDat"),  QStringLiteral("proizv"),
                                   QStringLiteral("zarp")};

} // namespace

class DbSavers : public DbTestBase {
protected:
    // The calculation's store inside the run's transaction: the computed rows
    // replace the stored ones and the input rows stay; a store that fails
    // halfway leaves the employee's rows as they were and the run going; a
    // slot without a master row gets no rows. Row 0 is an input row stored as 11.
    void ExpectTheRunsStoreToReplaceTheComputedRowsOnly(int slot)
    {
        const int noMaster = base.capacity();
        ASSERT_EQ(detail::KonstId(Db(base), noMaster), 0);
        base.current.rows[0].sum = 44;
        base.current.rows[1].sum = 33;
        base.current.rows[7] = base.current.rows[1];
        {
            db::Transaction run(Db(base));
            SaveCalculatedMonth(base, slot, false);
            base.current.rows[1].sum = 55;
            // The first row written, after the delete of the numbers before
            // it (on a server the store is one statement).
            db::InjectFailureAfter(db::IsServer(Db(base)) ? 1 : 4);
            EXPECT_THROW(SaveCalculatedMonth(base, slot, false), db::DbError);
            db::InjectFailureAfter(0);
            SaveCalculatedMonth(base, noMaster, false);
            run.commit();
        }
        LoadProizvZarp(base, slot);
        EXPECT_EQ(base.current.rows[0].sum, 11);
        EXPECT_EQ(base.current.rows[1].sum, 33);
        EXPECT_EQ(base.current.rows[7].sum, 33);
        EXPECT_EQ(
            countAll(base, QStringLiteral("zarp WHERE id_konst IS NULL OR id_konst NOT IN (SELECT id FROM dbo.konst)")),
            0);
    }

    // The run's store for a group of employees (on a server one statement for
    // all, sent when asked for or before anything else runs): each keeps his
    // own rows, with a value changed, a row gone and a row come, and the slot
    // without a master row gets none.
    void ExpectAGroupStoreToKeepEachEmployeesRows(int slot, int other)
    {
        const int noMaster = base.capacity();
        const bool server = db::IsServer(Db(base));
        const int kv = base.attributesOf(slot).kvProizv, otherKv = base.attributesOf(other).kvProizv;
        const auto before = base.current.rows;
        std::array<AccrualRow, EmployeeRecord::RowCount> mine{}, others{};
        {
            db::Transaction run(Db(base));
            ComputedRowsGroup group(base);
            std::optional<ComputedRowsGroup> second; // made, as a run's group is, before anything is held back
            if (server)
                second.emplace(base);
            const db::AnswersLater& later = group.later();
            base.current.rows[1].sum = 66;
            base.current.rows[7] = AccrualRow{};
            base.current.rows[9] = base.current.rows[1];
            SaveCalculatedMonth(base, slot, false, &group);
            mine = base.current.rows;
            base.current.rows[1].sum = 77;
            SaveCalculatedMonth(base, other, false, &group);
            others = base.current.rows;
            SaveCalculatedMonth(base, noMaster, false, &group);
            EXPECT_EQ(group.storedByBatch(), server ? 1 : 0); // held back, not sent yet
            EXPECT_EQ(later.sent(), 0);
            if (second) { // a second group cannot hold back its rows beside the first one's
                EXPECT_THROW(SaveCalculatedMonth(base, other, false, &*second), db::DbError);
                second.reset();
            }
            db::Recordset q(Db(base), QStringLiteral("SELECT 1")); // anything else sends the group first
            q.exec();
            EXPECT_EQ(later.sent(), server ? 1 : 0);
            run.commit();
        }
        for (const auto& [owner, rows, from] : {std::tuple{slot, mine, kv}, std::tuple{other, others, otherKv}}) {
            LoadProizvZarp(base, owner);
            for (int i = from; i < EmployeeRecord::RowCount; ++i)
                EXPECT_EQ(base.current.rows[std::size_t(i)], rows[std::size_t(i)]) << owner << " row " << i;
        }
        EXPECT_EQ(
            countAll(base, QStringLiteral("zarp WHERE id_konst IS NULL OR id_konst NOT IN (SELECT id FROM dbo.konst)")),
            0);
        base.current.rows = before;
    }

    // An amount that is no finite number is refused alike on either engine
    // (the file kept NULL, read back as 0; the server NaN), naming the
    // employee and the row, and nothing of his is written: his rows stay `full`.
    void ExpectNonFiniteAmountsRefused(int slot, int kv, const std::array<AccrualRow, EmployeeRecord::RowCount>& full)
    {
        int tabN = -1;
        for (const EmployeeListEntry& e : base.list)
            if (e.slot == slot)
                tabN = int(e.tabN());
        for (const auto& [impossible, shown] : {std::pair{std::nan(""), "не число"},
                                                std::pair{std::numeric_limits<double>::infinity(), "бесконечность"}}) {
            for (const bool withMaster : {false, true}) {
                base.current.rows[std::size_t(kv + 2)].sum = impossible;
                try {
                    SaveCalculatedMonth(base, slot, withMaster);
                    ADD_FAILURE() << "stored " << shown;
                } catch (const db::DbError& e) {
                    EXPECT_EQ(e.message(), QStringLiteral("Недопустимая сумма (%1) у сотрудника таб. № %2, строка %3, "
                                                          "код %4. Результаты расчета не сохранены.")
                                               .arg(QString::fromUtf8(shown))
                                               .arg(tabN)
                                               .arg(kv + 3)
                                               .arg(full[std::size_t(kv + 2)].kod));
                }
                LoadProizvZarp(base, slot);
                EXPECT_EQ(base.current.rows, full) << shown;
            }
        }
    }

    // Permanent payments with the master row; bank rows by the id.
    void ExpectPermanentAndBankRowsSaved(int slot, qint64 id)
    {
        base.current.postDopl[3].kod = 16;
        base.current.postDopl[3].procent = 150;
        base.current.sber[5].kod = 750;
        base.current.sber[5].fio = QStringLiteral("Получатель");
        SaveEmployeePostDopl(base, slot);
        SaveSber(base, id);
        SaveSber(base, id); // twice: the rows are replaced, not added
        LoadEmployee(base, slot);
        EXPECT_EQ(base.current.postDopl[3].procent, 150u);
        EXPECT_EQ(base.current.sber[5].fio, QStringLiteral("Получатель"));
        EXPECT_EQ(countRows(base, QStringLiteral("sber"), id),
                  int(std::count_if(base.current.sber.begin(), base.current.sber.end(),
                                    [](const SberRow& r) { return !r.isEmpty(); })));
    }
};

TEST_F(DbSavers, EveryTableComesBackByteForByte)
{
    Fill(60);
    // Values at the edges of their fields.
    base.current = fx.records[0];
    base.current.head.imvichBeg = 0xE0000000u | 12'345'678u; // top three bits kept apart
    base.current.head.imvichNY = 0xA0000000u | 1'111u; // each word's own top bits
    base.current.head.imvichOst = 0x60000000u | 2'222u;
    base.current.head.dedMonths = 0x80000000u | 0x0ABCDEFu; // bit 31 of a 32-bit member
    base.current.head.flags = 0x1FFFu | 0x40000u;
    base.current.head.flags |= 0x2000u; // bit 13, the lowest of the bits kept together
    base.current.head.tarifSdel.rub = 16383;
    base.current.head.tarifSdel.thou = 999;
    base.current.head.pspNom = QStringLiteral("123456789");
    base.current.ispol.writs[1].dataEnd = u16(15 | (6 << 5) | (27 << 9));
    base.current.ispol.writs[1].fio = QStringLiteral("Получатель алиментов");
    base.current.ssud.loans[3].kod = 705;
    base.current.ssud.loans[3].sum[2] = 123'456;
    base.current.rows[65].kod = 1;
    base.current.rows[65].sum = 777;
    fx.records[0] = base.current;
    SaveOne(base.list[0].slot);
    {
        // A 32-bit word is stored as the unsigned number it is, for other programs too.
        db::Recordset q(Db(base), QStringLiteral("SELECT dedMonths FROM dbo.konst WHERE rec = ?"));
        q.run(int(base.list[0].slot));
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.toInt64(0), 0x80ABCDEFLL);
    }
    base.otp.lines[0].dn = -3;
    base.otp.lines[0].dnHundredths = 75;
    base.otp.lines[0].fond = 1234;
    base.otp.lines[1].fond = 29; // 0.29 days: 0.29 x 100 is 28.999999999999996 in a double
    base.firm.ktu[2][1] = u16(0xA000 | 0x0555);
    base.firm.masks[7][999] = 1;
    SaveOtp(base);
    SaveFirm(base);
    // A table without rows goes untested by the round trip. dbo.color alone
    // may stay empty: no loader or saver touches it.
    for (const TableDef& t : SchemaTables()) {
        if (t.name == QLatin1String("color"))
            continue;
        EXPECT_GT(countAll(base, t.name), 0) << "dbo." << t.name.toStdString() << " holds no row";
    }

    CInfoBase other;
    Reopen(other);
    EXPECT_EQ(other.config, base.config);
    EXPECT_EQ(other.firm, base.firm);
    EXPECT_EQ(other.payKinds(), base.payKinds());
    EXPECT_EQ(EveryShop(other), EveryShop(base));
    EXPECT_EQ(EverySchedule(other), EverySchedule(base));
    EXPECT_EQ(EveryShortName(other), EveryShortName(base));
    EXPECT_EQ(BytesOf(EveryAttributes(other)), BytesOf(EveryAttributes(base)));
    EXPECT_EQ(EveryShopByte(other), EveryShopByte(base));
    EXPECT_EQ(BytesOf(EveryTabel(other)), BytesOf(EveryTabel(base)));
    EXPECT_EQ(EveryAdvance(other), EveryAdvance(base));
    EXPECT_EQ(EveryPayout(other), EveryPayout(base));
    EXPECT_EQ(BytesOf(other.altTabel.lines), BytesOf(base.altTabel.lines));
    EXPECT_EQ(other.altTabel.index, base.altTabel.index);
    EXPECT_EQ(BytesOf(other.prem.lines), BytesOf(base.prem.lines));
    EXPECT_EQ(other.prem.index, base.prem.index);
    EXPECT_EQ(other.bln.lines, base.bln.lines);
    EXPECT_EQ(other.bln.index, base.bln.index);
    EXPECT_EQ(BytesOf(other.otp.lines), BytesOf(base.otp.lines));
    EXPECT_EQ(other.otp.index, base.otp.index);
    EXPECT_EQ(other.list, base.list);
    std::vector<EmployeeListEntry> byName = base.list;
    base.SortList(byName, true);
    EXPECT_EQ(other.otherList, byName);

    for (const EmployeeListEntry& e : base.list) {
        LoadEmployee(other, e.slot);
        const EmployeeRecord& want = fx.records[std::size_t(e.slot - 1)];
        ASSERT_EQ(other.current, want) << "slot " << e.slot;
        ASSERT_EQ(SlotBytes(other.current), SlotBytes(want)) << "slot " << e.slot;
        EXPECT_EQ(other.currentSlot, e.slot);
        EXPECT_EQ(LoadWarDat(other, e.slot, 0, 0, 0), warDat[std::size_t(e.slot - 1)].warDatKv);
        EXPECT_EQ(other.warDat, warDat[std::size_t(e.slot - 1)]) << "slot " << e.slot;
    }
    CloseBase(other);
}

// Each per-slot accessor reaches what the loaders read from the rows stored
// under that slot's number, at both ends of the slots (one array keeps its
// slots one place further on than the others).
TEST_F(DbSavers, SlotAccessorsReachTheRowsOfTheirSlot)
{
    Fill(3);
    const int last = base.capacity();
    ASSERT_GT(last, 3);
    struct Stored {
        int slot;
        QString name;
        int shop, brigade, days;
        double advance, toPay;
    };
    const Stored ends[] = {{1, QStringLiteral("Первый П. П."), 7, 3, 11, 1'000.0, 2'000.0},
                           {last, QStringLiteral("Последний П. П."), 9, 4, 22, 3'000.0, 4'000.0}};
    for (const Stored& e : ends) {
        for (const char* table : {"fio", "comp", "tabel", "AvZar1"})
            db::Recordset(Db(base), QStringLiteral("DELETE FROM dbo.%1 WHERE num = ?").arg(QLatin1String(table)))
                .run(e.slot);
        db::Recordset(Db(base), QStringLiteral("INSERT INTO dbo.fio (num, fio) VALUES (?, ?)")).run(e.slot, e.name);
        db::Recordset(Db(base), QStringLiteral("INSERT INTO dbo.comp (num, otd, brig) VALUES (?, ?, ?)"))
            .run(e.slot, e.shop, e.brigade);
        db::Recordset(Db(base), QStringLiteral("INSERT INTO dbo.tabel (num, rabDn) VALUES (?, ?)")).run(e.slot, e.days);
        db::Recordset(Db(base), QStringLiteral("INSERT INTO dbo.AvZar1 (num, av, zar1) VALUES (?, ?, ?)"))
            .run(e.slot, e.advance, e.toPay);
    }
    LoadFio(base);
    LoadComp(base);
    LoadTabel(base);
    LoadAvZar1(base);
    for (const Stored& e : ends) {
        EXPECT_EQ(base.shortNameOf(e.slot), e.name) << "slot " << e.slot;
        EXPECT_EQ(int(base.shopOf(e.slot)), e.shop) << "slot " << e.slot;
        EXPECT_EQ(int(base.attributesOf(e.slot).brig), e.brigade) << "slot " << e.slot;
        EXPECT_EQ(int(base.tabelOf(e.slot).rabDn), e.days) << "slot " << e.slot;
        EXPECT_EQ(base.avOf(e.slot), e.advance) << "slot " << e.slot;
        EXPECT_EQ(base.zar1Of(e.slot), e.toPay) << "slot " << e.slot;
    }
    EXPECT_TRUE(base.holdsSlot(last));
    EXPECT_FALSE(base.holdsSlot(0));
    EXPECT_FALSE(base.holdsSlot(last + 1));
}

// The capacity may be lowered after the arrays are allocated (the base then
// takes fewer employees), yet the time sheets are loaded and saved over every
// slot the arrays hold: the last slot's sheet, past the lowered capacity,
// comes in and goes out whole, every column of its row.
TEST_F(DbSavers, TimeSheetsGoInAndOutOverEverySlotWhenTheCapacityIsLowered)
{
    Fill(3);
    const int last = base.slotCount();
    base.config.kolMax = 3;
    ASSERT_GT(last, base.capacity());
    struct Column {
        const char* name;
        int value;
    };
    const Column row[] = {
        {"rabDn", 22},   {"rabHr", 10'560}, {"vHr", 600},        {"nHr", 480},       {"sverhHr", 120},
        {"uchHr", 60},   {"drRabDn", 1},    {"kvalDn", 2},       {"komDn", 3},       {"dbf", 1},
        {"prostDn", 4},  {"vyhPosobDn", 5}, {"koeff", 125},      {"prDn", 6},        {"prPlanDn", 7},
        {"vyhDn", 8},    {"uchDn", 9},      {"sverhDvaHr", 180}, {"prHr", 240},      {"prPlanHr", 300},
        {"vyhHr", 360},  {"prostHr", 420},  {"kvalHr", 540},     {"tabel12", 1},     {"tabel22", 2},
        {"bezsodDn", 3}, {"bezsodHr", 720}, {"bezsodDnVyh", 1},  {"bezsodHrVyh", 30}};
    TabelRecord want;
    want.rabDn = 22;
    want.rabHr = 10'560; // 176 hours
    want.vHr = 600;
    want.nHr = 480;
    want.sverhHr = 120;
    want.uchHr = 60;
    want.drRabDn = 1;
    want.kvalDn = 2;
    want.komDn = 3;
    want.dbf = 1;
    want.prostDn = 4;
    want.vyhPosobDn = 5;
    want.koeff = 12; // 1.25: tenths and the hundredths digit
    want.koeffDigit = 5;
    want.prDn = 6;
    want.prPlanDn = 7;
    want.vyhDn = 8;
    want.uchDn = 9;
    want.sverhDvaHr = 180;
    want.prHr = 240;
    want.prPlanHr = 300;
    want.vyhHr = 360;
    want.prostHr = 420;
    want.kvalHr = 540;
    want.tabel12 = 1;
    want.tabel22 = 2;
    want.bezsodDn = 3;
    want.bezsodHr = 720;
    want.bezsodDnVyh = 1;
    want.bezsodHrVyh = 30;

    QStringList names;
    for (const Column& c : row) names << QLatin1String(c.name);
    const QString columns = names.join(QStringLiteral(", "));
    db::Recordset(Db(base), QStringLiteral("DELETE FROM dbo.tabel WHERE num = ?")).run(last);
    db::Recordset insert(Db(base), QStringLiteral("INSERT INTO dbo.tabel (num, %1) VALUES (?%2)")
                                       .arg(columns, QStringLiteral(", ?").repeated(int(names.size()))));
    insert.bind(0, last);
    for (int i = 0; i < int(std::size(row)); ++i) insert.bind(i + 1, row[i].value);
    insert.exec();

    LoadTabel(base);
    EXPECT_EQ(base.tabelOf(last), want);

    // Gone from the table, the row comes back from memory by the save.
    db::Recordset(Db(base), QStringLiteral("DELETE FROM dbo.tabel WHERE num = ?")).run(last);
    SaveTabel(base);
    EXPECT_EQ(countAll(base, QStringLiteral("tabel")), last);
    db::Recordset stored(Db(base), QStringLiteral("SELECT %1 FROM dbo.tabel WHERE num = ?").arg(columns));
    stored.bind(0, last);
    stored.exec();
    ASSERT_TRUE(stored.next());
    for (int i = 0; i < int(std::size(row)); ++i) EXPECT_EQ(stored.toInt(i), row[i].value) << row[i].name;
}

TEST_F(DbSavers, PartialLoadersFillTheirBlockOnly)
{
    Fill(8);
    const int slot = base.list[2].slot;
    const EmployeeRecord& want = fx.records[std::size_t(slot - 1)];

    base.ClearCurrentRecord();
    LoadKonstAttributes(base, slot);
    EXPECT_EQ(base.current.head.fio, want.head.fio);
    EXPECT_EQ(base.current.head.datPr1, want.head.datPr1);
    EXPECT_TRUE(base.current.head.pol.isEmpty());
    EXPECT_EQ(base.current.rows[0].kod, 0);
    LoadKonstAttributesWithSex(base, slot);
    EXPECT_EQ(base.current.head.pol, want.head.pol);

    // Each table on its own: the input rows before kvProizv, the computed
    // rows from it on, each at its place and the other places empty.
    const int inputs = base.attributesOf(slot).kvProizv;
    ASSERT_GT(inputs, 0);
    ASSERT_FALSE(want.rows[std::size_t(inputs)].isEmpty());
    for (const int selector : {kInputRowsTable, kResultRowsTable}) {
        base.ClearCurrentRecord();
        base.current.rows.fill(want.rows[0]); // the block is zeroed first
        LoadProizvZarpByMass(base, slot, 2, selector);
        for (int i = 0; i < EmployeeRecord::RowCount; ++i) {
            const bool loaded = (i < inputs) == (selector == kInputRowsTable);
            EXPECT_EQ(base.current.rows[std::size_t(i)], loaded ? want.rows[std::size_t(i)] : AccrualRow{})
                << "selector " << selector << ", row " << i;
        }
        EXPECT_TRUE(base.current.head.fio.isEmpty());
    }

    // The dated archive of one month and year.
    base.current = want;
    base.warDat = WarDatBlock{};
    for (int m = 1; m <= 3; ++m) {
        WarDatEntry& e = base.warDat.entries[std::size_t(m - 1)];
        e.start = u16(1 | (m << 5) | (26 << 9));
        e.mes = u16(m);
        e.god = 26;
        e.kod = 101;
        e.sum = 100.0 * m;
    }
    SaveEmployeeFull(base, slot, base.attributesOf(slot));
    EXPECT_EQ(LoadWarDat(base, slot, 2, 3, 2026), 2);
    EXPECT_EQ(base.warDat.entries[0].mes, 2);
    EXPECT_EQ(base.warDat.entries[1].mes, 3);
    EXPECT_EQ(LoadWarDat(base, slot, 0, 0, 0), 3);

    // The archive rows of one year for the whole run, read once.
    WariaListHolder holder;
    LoadWariaList(base, Selection{}, slot, 2025, 0, holder, 0);
    int rows2025 = 0;
    for (const WariaEntry& e : want.waria) rows2025 += e.god == 2025 ? 1 : 0;
    EXPECT_EQ(base.current.warKv, rows2025);
    const int other = base.list[3].slot;
    LoadWariaList(base, Selection{}, other, 2025, 1, holder, 0);
    EXPECT_EQ(base.current.waria[0].sum, fx.records[std::size_t(other - 1)].waria[0].god == 2025
                                             ? fx.records[std::size_t(other - 1)].waria[0].sum
                                             : base.current.waria[0].sum);
    EXPECT_TRUE(holder.open);
    holder.release();
}

TEST_F(DbSavers, DeleteEmployeeLeavesNoRowAndIdsAreNeverReused)
{
    Fill(10);
    const int slot = base.list.back().slot;
    const qint64 id = detail::KonstId(Db(base), slot);
    ASSERT_GT(id, 0);
    ASSERT_GT(countRows(base, QStringLiteral("warDat"), id), -1);
    LoadEmployee(base, slot);
    DeleteEmployee(base, slot);
    EXPECT_EQ(detail::KonstId(Db(base), slot), 0);
    for (const QString& t : kDetailTables) EXPECT_EQ(countRows(base, t, id), 0) << t.toStdString();

    // A new employee in the same slot gets a new id; the old dated archive
    // does not come back with him.
    base.current = EmployeeRecord{};
    base.current.head.fio = QStringLiteral("Новиков Олег Петрович");
    base.warDat.clear();
    SaveEmployee(base, slot, EmployeeAttributes{});
    const qint64 newId = detail::KonstId(Db(base), slot);
    EXPECT_GT(newId, id);
    EXPECT_EQ(LoadWarDat(base, slot, 0, 0, 0), 0);
}

TEST_F(DbSavers, FailingSaversLeaveTheBaseAsItWas)
{
    Fill(20);
    const int slot = base.list[4].slot;
    const EmployeeRecord saved = fx.records[std::size_t(slot - 1)];

    // An employee save that fails after its master row and some details.
    base.current = saved;
    base.current.head.fio = QStringLiteral("Изменённое Имя");
    for (WariaEntry& e : base.current.waria) e.sum += 1;
    base.current.rows[0].sum = 1;
    for (int failAt : {2, 5, 9, 14}) {
        db::InjectFailureAfter(failAt);
        EXPECT_THROW(SaveEmployeeFull(base, slot, base.attributesOf(slot)), db::DbError);
        db::InjectFailureAfter(0);
        CInfoBase other;
        other.workFolder = base.workFolder;
        other.baseName = base.baseName;
        OpenStoredBase(other);
        LoadComp(other);
        LoadEmployee(other, slot);
        EXPECT_EQ(other.current, saved) << "failure at statement " << failAt;
    }

    // A table saver that fails halfway through its rows.
    const std::vector<TabelRecord> tabel = EveryTabel(base);
    for (int slot = 1; slot <= base.slotCount(); ++slot) base.tabelOf(slot).rabDn = 1;
    db::InjectFailureAfter(base.capacity() / 2);
    EXPECT_THROW(SaveTabel(base), db::DbError);
    db::InjectFailureAfter(0);
    LoadTabel(base);
    EXPECT_EQ(BytesOf(EveryTabel(base)), BytesOf(tabel));

    // The firm record: five tables in one transaction.
    const FirmInfo firm = base.firm;
    base.firm.texts[FirmInfo::firmName] = QStringLiteral("Другое название");
    base.firm.stag[14].kod = 99;
    db::InjectFailureAfter(30);
    EXPECT_THROW(SaveFirm(base), db::DbError);
    db::InjectFailureAfter(0);
    LoadFirm(base);
    EXPECT_EQ(base.firm, firm);

    // The error carries code, message, description and source, and the
    // statement apart from the description.
    db::InjectFailureAfter(1);
    try {
        SaveConfig(base);
        ADD_FAILURE() << "no error";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.code(), db::E_DB_ENGINE | 13); // SQLITE_FULL
        EXPECT_FALSE(e.message().isEmpty());
        EXPECT_TRUE(e.statement().contains(QStringLiteral("dbo.config")));
        EXPECT_FALSE(e.description().contains(QStringLiteral("dbo.config")));
        EXPECT_FALSE(e.source().isEmpty());
    }
}

TEST_F(DbSavers, SaversReplaceTheStoredRowsExactly)
{
    Fill(12);
    // Fewer lines than stored, twice over: the surplus goes each time.
    for (int employee : {0, 1}) {
        base.prem.removeRun(base.list[std::size_t(employee)].slot);
        SavePrem(base);
        EXPECT_EQ(countAll(base, QStringLiteral("prem")), base.prem.usedLines());
        SaveIndexes(base, LineKind::Prem);
        CInfoBase other;
        Reopen(other);
        EXPECT_EQ(BytesOf(other.prem.lines), BytesOf(base.prem.lines));
        EXPECT_EQ(other.prem.index, base.prem.index);
        CloseBase(other);
    }
    // The other kinds' index rows stay.
    EXPECT_EQ(countAll(base, QStringLiteral("indexes")), 4 * base.capacity());
}

TEST_F(DbSavers, TheOldEmptyDateLoadsAsNoDate)
{
    Fill(3);
    const int slot = base.list[0].slot;
    const qint64 id = detail::KonstId(Db(base), slot);
    db::Recordset(Db(base), QStringLiteral("UPDATE dbo.pasport SET pspDat = '1.1.1900', dolgDat = '5.3.21' "
                                           "WHERE id_konst = ?"))
        .run(id);
    db::Recordset(Db(base), QStringLiteral("UPDATE dbo.konst SET datUv1 = '1900-01-01', imvichSprDat = '1.1.1900', "
                                           "datPr2 = '2021-03-05' WHERE id = ?"))
        .run(id);
    LoadEmployee(base, slot);
    EXPECT_TRUE(base.current.head.pspDat.isEmpty());
    EXPECT_TRUE(base.current.head.imvichSprDat.isEmpty());
    EXPECT_EQ(base.current.head.dolgDat, QStringLiteral("5.3.21"));
    EXPECT_EQ(base.current.head.datUv1, 0);
    EXPECT_EQ(base.current.head.datPr2, u16(5 | (3 << 5) | (21 << 9)));

    // The forms a date column may hold.
    const u16 fifthOfMarch = u16(5 | (3 << 5) | (21 << 9));
    for (const char* text : {"2021-03-05", "2021-3-5", "2021-03-05 00:00:00", " 2021-03-05", "05.03.2021", "5.3.2021"})
        EXPECT_EQ(detail::PackedFromDateValue(QString::fromLatin1(text)), fifthOfMarch) << text;
    for (const char* text : {"1900-01-01", "2021-0x-05", "2021/03/05", "", "5.3.2021 12:00"})
        EXPECT_EQ(detail::PackedFromDateValue(QString::fromLatin1(text)), 0) << text;
    // And the form a date is stored in; no date stores NULL.
    EXPECT_EQ(detail::DateValue(fifthOfMarch), QVariant(QStringLiteral("2021-03-05")));
    EXPECT_EQ(detail::DateValue(u16(31 | (12 << 5) | (109 << 9))), QVariant(QStringLiteral("2009-12-31")));
    EXPECT_TRUE(detail::DateValue(0).isNull());
}

TEST_F(DbSavers, ListsRebuiltFromTheMasterRows)
{
    Fill(15);
    const std::vector<QString> names = EveryShortName(base);
    // Nothing to do when names and numbers agree.
    EXPECT_FALSE(RebuildLists(base));
    // A row without a name and a list that lost an entry.
    const int nameless = base.list[3].slot;
    db::Recordset(Db(base), QStringLiteral("UPDATE dbo.konst SET fio = '' WHERE rec = ?")).run(nameless);
    const qint64 namelessId = detail::KonstId(Db(base), nameless);
    db::Recordset(Db(base), QStringLiteral("UPDATE dbo.konst SET tabN = ? WHERE rec = ?"))
        .run(int(base.list[5].tabN()), int(base.list[6].slot));
    EXPECT_TRUE(RebuildLists(base));
    EXPECT_EQ(detail::KonstId(Db(base), nameless), 0);
    for (const QString& t : kDetailTables) EXPECT_EQ(countRows(base, t, namelessId), 0);
    EXPECT_EQ(int(base.list.size()), 13); // one without a name, one repeated number
    EXPECT_EQ(base.config.kolRab, 13);
    for (std::size_t i = 1; i < base.list.size(); ++i) EXPECT_LT(base.list[i - 1].tabN(), base.list[i].tabN());
    for (const EmployeeListEntry& e : base.list) EXPECT_EQ(base.shortNameOf(e.slot), names[std::size_t(e.slot - 1)]);

}

TEST_F(DbSavers, SingleSaversWriteTheirPartOnly)
{
    Fill(6);
    const int slot = base.list[1].slot;
    LoadEmployee(base, slot);
    const EmployeeRecord stored = base.current;
    const qint64 id = detail::KonstId(Db(base), slot);

    // The master row alone keeps its id; the details stay as stored.
    base.current.head.oklad = 4'321'000;
    base.current.rows[0].sum = 1;
    qint64 got = 0;
    EXPECT_EQ(SaveKonst(base, slot, &got), id);
    EXPECT_EQ(got, id);
    LoadEmployee(base, slot);
    EXPECT_EQ(base.current.head.oklad, 4'321'000);
    EXPECT_EQ(base.current.rows, stored.rows);

    // Days in the country: one column.
    base.current.head.inostrDnPrRF = 183;
    base.current.head.fio = QStringLiteral("не сохраняется");
    SaveKonstInostrDays(base, slot);
    LoadKonstAttributes(base, slot);
    EXPECT_EQ(base.current.head.inostrDnPrRF, 183);
    EXPECT_EQ(base.current.head.fio, stored.head.fio);

    // Month rows by table: the first kvProizv rows are input rows (proizv),
    // the others calculated rows (zarp); each selector writes its own part.
    LoadEmployee(base, slot);
    const int kv = base.attributesOf(slot).kvProizv;
    ASSERT_EQ(kv, 1);
    base.current.rows[0].sum = 11;
    base.current.rows[1].sum = 22;
    SaveProizvZarpByRec(base, slot, 0);
    LoadProizvZarp(base, slot);
    EXPECT_EQ(base.current.rows[0].sum, 11);
    EXPECT_EQ(base.current.rows[1].sum, stored.rows[1].sum);
    base.current.rows[1].sum = 22;
    SaveProizvZarpByRec(base, slot, 1);
    LoadProizvZarp(base, slot);
    EXPECT_EQ(base.current.rows[1].sum, 22);

    ExpectTheRunsStoreToReplaceTheComputedRowsOnly(slot);
    ExpectAGroupStoreToKeepEachEmployeesRows(slot, base.list[2].slot);
    LoadEmployee(base, slot);
    // Every computed row up to the record's last, then a month without any.
    for (int i = kv; i < EmployeeRecord::RowCount; ++i) {
        base.current.rows[std::size_t(i)] = base.current.rows[1];
        base.current.rows[std::size_t(i)].sum = i * 1000.01 - 30'000.5;
    }
    const auto full = base.current.rows;
    SaveCalculatedMonth(base, slot, false);
    LoadProizvZarp(base, slot);
    EXPECT_EQ(base.current.rows, full);
    ExpectNonFiniteAmountsRefused(slot, kv, full);
    std::fill(base.current.rows.begin() + kv, base.current.rows.end(), AccrualRow{});
    SaveCalculatedMonth(base, slot, false);
    EXPECT_EQ(countRows(base, QStringLiteral("zarp"), id), 0);

    ExpectPermanentAndBankRowsSaved(slot, id);
}

// The configuration's counters go into their own columns: nothing else of
// the configuration in memory is written with them, not even the other bits
// of the word that keeps the list's order.
TEST_F(DbSavers, TheConfigurationsCountersAreWrittenAlone)
{
    Fill(3);
    LoadConfig(base);
    const InfoBaseConfig stored = base.config;
    base.config.kolMax = 1200;
    base.config.kolRab = 2;
    base.config.setSort(!stored.sort());
    base.config.nEnt = 77;
    base.config.okrugWord = u16((base.config.okrugWord & ~7u) | unsigned((stored.okrugRas() + 1) & 7));
    base.config.dosStr = QStringLiteral("не сохраняется");
    base.config.tekMes = u16(stored.tekMes + 1);
    SaveConfigCounters(base);
    SaveConfigNEnt(base);
    LoadConfig(base);
    EXPECT_EQ(base.config.kolMax, 1200);
    EXPECT_EQ(base.config.kolRab, 2);
    EXPECT_EQ(base.config.sort(), !stored.sort());
    EXPECT_EQ(base.config.nEnt, 77);
    EXPECT_EQ(base.config.okrugRas(), stored.okrugRas());
    EXPECT_EQ(base.config.dosStr, stored.dosStr);
    EXPECT_EQ(base.config.tekMes, stored.tekMes);
}

// A failed employee keeps no results of the month: his computed rows 0-59 go
// from the base and from the current record, and so does the row of later
// months the run recorded (here 915 of origin record 82, at 61), his amount
// to pay is 0; his input rows and the other rows of later months (60-65,
// a 915 of another origin among them) stay.
TEST_F(DbSavers, ClearingTheMonthsResultsKeepsTheLaterMonthsRows)
{
    Fill(4);
    const int slot = base.list[0].slot;
    LoadEmployee(base, slot);
    const int kv = base.attributesOf(slot).kvProizv;
    ASSERT_GT(kv, 0);
    ASSERT_LT(kv + 2, 60);
    for (const int row : {kv, kv + 2, 59, 60, 62, 65}) {
        base.current.rows[std::size_t(row)].kod = u16(100 + row);
        base.current.rows[std::size_t(row)].sum = 1000 * row;
    }
    const RunRecordedRow recorded{915, 82};
    for (const auto& [row, origin] : {std::pair{61, 82}, std::pair{63, 81}}) {
        AccrualRow& r = base.current.rows[std::size_t(row)];
        r.kod = 915;
        r.sum = 330'000;
        r.mes = 4;
        r.hrRest = u16(origin);
    }
    SaveCalculatedMonth(base, slot, false);
    base.zar1Of(slot) = 12'345;
    const auto before = base.current.rows;

    ClearCalculatedMonth(base, slot, recorded);
    EXPECT_EQ(base.zar1Of(slot), 0);
    auto want = before;
    std::fill(want.begin() + kv, want.begin() + 60, AccrualRow{});
    want[61] = AccrualRow{};
    EXPECT_EQ(base.current.rows, want);
    LoadProizvZarp(base, slot);
    for (int i = 0; i < EmployeeRecord::RowCount; ++i)
        EXPECT_EQ(base.current.rows[std::size_t(i)], want[std::size_t(i)]) << "row " << i;
    EXPECT_EQ(base.current.rows[62].sum, 62'000);
    EXPECT_EQ(base.current.rows[63].kod, 915);
}

namespace {

// The employee's stored computed rows: number and sum, by number.
std::vector<std::pair<qint64, double>> StoredSums(CInfoBase& base, qint64 id)
{
    db::Recordset q(Db(base), QStringLiteral("SELECT num, sum FROM dbo.zarp WHERE id_konst = ? ORDER BY num"));
    q.bind(0, id);
    q.exec();
    std::vector<std::pair<qint64, double>> rows;
    while (q.next()) rows.emplace_back(q.toInt64(0), q.toDouble(1));
    return rows;
}

// The file's row ids of the employee's stored computed rows, by number.
std::map<qint64, qint64> StoredRowIds(CInfoBase& base, qint64 id)
{
    db::Recordset q(Db(base), QStringLiteral("SELECT num, rowid FROM dbo.zarp WHERE id_konst = ? ORDER BY num"));
    q.bind(0, id);
    q.exec();
    std::map<qint64, qint64> ids;
    while (q.next()) ids[q.toInt64(0)] = q.toInt64(1);
    return ids;
}

// The current record's computed rows (from kv on): only the given numbers,
// each of code 300 + number, month 5 and that sum.
void SetComputed(CInfoBase& base, int kv, std::initializer_list<std::pair<int, double>> rows)
{
    std::fill(base.current.rows.begin() + kv, base.current.rows.end(), AccrualRow{});
    for (const auto& [num, sum] : rows) {
        base.current.rows[std::size_t(num)].kod = u16(300 + num);
        base.current.rows[std::size_t(num)].mes = 5;
        base.current.rows[std::size_t(num)].sum = sum;
    }
}

} // namespace

// The calculation's store leaves the employee exactly the computed rows of
// the month: rows of the same numbers take the new values, and every other
// stored computed row goes, whatever its number (one among the input rows'
// numbers, gaps between the computed rows, one of a single number too, past
// the record, the extreme numbers a damaged base could hold); a store that
// fails after some of its rows were written leaves the rows as they were; a
// row unlike its stored one in any field is written.
TEST_F(DbSavers, TheRunsStoreLeavesExactlyTheComputedRows)
{
    Fill(3);
    const int slot = base.list[2].slot;
    LoadEmployee(base, slot);
    const qint64 id = detail::KonstId(Db(base), slot);
    const int kv = base.attributesOf(slot).kvProizv;
    ASSERT_EQ(kv, 1);
    const auto storedNumbers = [&] { return StoredSums(base, id); };
    const auto computed = [&](std::initializer_list<std::pair<int, double>> rows) { SetComputed(base, kv, rows); };
    computed({{1, 100}, {2, 200}, {4, 400}, {7, 700}});
    SaveCalculatedMonth(base, slot, false);
    for (const qint64 num : {qint64(0), qint64(3), qint64(66), qint64(1000), std::numeric_limits<qint64>::min(),
                             std::numeric_limits<qint64>::max()})
        db::Recordset(Db(base), QStringLiteral("INSERT INTO dbo.zarp (id_konst, num, kod, sum) VALUES (?, ?, 9, 9)"))
            .run(id, num);
    const std::vector<std::pair<qint64, double>> now = {{1, 150}, {2, 250}, {5, 550}};
    computed({{1, 150}, {2, 250}, {5, 550}});
    SaveCalculatedMonth(base, slot, false);
    EXPECT_EQ(storedNumbers(), now);
    EXPECT_EQ(countRows(base, QStringLiteral("proizv"), id), 1);

    // A store that fails at its last statement, after its rows were written.
    computed({{1, 10}, {6, 60}});
    {
        db::Transaction run(Db(base));
        // On a file: the master row's id, the savepoint, the rows before 1,
        // row 1, the rows 2-5, row 6, then those past 6; on a server the
        // one statement.
        db::InjectFailureAfter(db::IsServer(Db(base)) ? 1 : 7);
        EXPECT_THROW(SaveCalculatedMonth(base, slot, false), db::DbError);
        db::InjectFailureAfter(0);
        run.commit();
    }
    EXPECT_EQ(storedNumbers(), now);
    SaveCalculatedMonth(base, slot, false);
    EXPECT_EQ(storedNumbers(), (std::vector<std::pair<qint64, double>>{{1, 10}, {6, 60}}));

    // Computed again, each row unlike its stored one in one field alone (the
    // first field after the sum, the last one): both are written.
    base.current.rows[1].min = 17;
    base.current.rows[6].spzAuHi = 2;
    const auto computedRows = base.current.rows;
    SaveCalculatedMonth(base, slot, false);
    LoadProizvZarp(base, slot);
    EXPECT_EQ(base.current.rows[1], computedRows[1]);
    EXPECT_EQ(base.current.rows[6], computedRows[6]);

    // A gap of one number between the rows written: its stored row goes.
    computed({{1, 11}, {2, 22}, {3, 33}});
    SaveCalculatedMonth(base, slot, false);
    computed({{1, 11}, {3, 33}});
    SaveCalculatedMonth(base, slot, false);
    EXPECT_EQ(storedNumbers(), (std::vector<std::pair<qint64, double>>{{1, 11}, {3, 33}}));
}

// Every number at once, more rows in a row than one statement writes: each
// stored once; on a file the rows stored before (1 and 3) keep their places,
// the others are added in the order of their numbers.
TEST_F(DbSavers, TheRunsStoreWritesEveryNumberAtOnceInItsPlaces)
{
    Fill(3);
    const int slot = base.list[2].slot;
    LoadEmployee(base, slot);
    const qint64 id = detail::KonstId(Db(base), slot);
    const int kv = base.attributesOf(slot).kvProizv;
    SetComputed(base, kv, {{1, 11}, {3, 33}});
    SaveCalculatedMonth(base, slot, false);

    const bool file = !db::IsServer(Db(base));
    const auto rowIds = [&] { return file ? StoredRowIds(base, id) : std::map<qint64, qint64>{}; };
    const std::map<qint64, qint64> kept = rowIds();
    std::vector<std::pair<qint64, double>> every;
    for (int num = kv; num < EmployeeRecord::RowCount; ++num) {
        base.current.rows[std::size_t(num)] = AccrualRow{};
        base.current.rows[std::size_t(num)].kod = u16(300 + num);
        base.current.rows[std::size_t(num)].sum = num * 10;
        every.emplace_back(num, num * 10);
    }
    SaveCalculatedMonth(base, slot, false);
    EXPECT_EQ(StoredSums(base, id), every);
    const std::map<qint64, qint64> ids = rowIds();
    EXPECT_EQ(ids.size(), file ? every.size() : 0u);
    qint64 last = 0;
    for (const auto& [num, rowid] : ids) {
        if (kept.count(num)) {
            EXPECT_EQ(rowid, kept.at(num)) << num;
            continue;
        }
        EXPECT_GT(rowid, last) << num;
        last = rowid;
    }
}

// The calculation's store with the master row (a month that changed the
// deductions it keeps) over a month that held more rows keeps only the new
// rows, under the same master row. The employee's status word and amount to
// pay go with his rows: a store that fails at any of its statements (alone,
// with the master row, or in a run's group) leaves all of them as they were;
// one that goes through stores all of them.
TEST_F(DbSavers, TheRunsStoreKeepsTheRowsStatusWordAndAmountToPayTogether)
{
    Fill(3);
    const int slot = base.list[2].slot;
    LoadEmployee(base, slot);
    const qint64 id = detail::KonstId(Db(base), slot);
    const int kv = base.attributesOf(slot).kvProizv;
    ASSERT_EQ(kv, 1);
    SetComputed(base, kv, {{1, 11}, {2, 22}, {3, 33}, {5, 55}});
    SaveCalculatedMonth(base, slot, true);
    SetComputed(base, kv, {{2, 20}});
    SaveCalculatedMonth(base, slot, true);
    EXPECT_EQ(StoredSums(base, id), (std::vector<std::pair<qint64, double>>{{2, 20}}));
    EXPECT_EQ(detail::KonstId(Db(base), slot), id);

    struct Month {
        std::vector<std::pair<qint64, double>> rows;
        int err;
        double toPay;
        bool operator==(const Month&) const = default;
    };
    // What the base holds of his month; memory stays as it is.
    const auto stored = [&] {
        const std::vector<EmployeeAttributes> attributes = EveryAttributes(base);
        const std::vector<u8> shops = EveryShopByte(base);
        const auto toPay = EveryPayout(base);
        LoadComp(base);
        LoadAvZar1(base);
        const Month m{StoredSums(base, id), int(base.attributesOf(slot).err), base.zar1Of(slot)};
        SetEverySlot(base, attributes, [](CInfoBase& b, int s) -> EmployeeAttributes& { return b.attributesOf(s); });
        SetEverySlot(base, shops, [](CInfoBase& b, int s) -> u8& { return b.shopOf(s); });
        SetEverySlot(base, toPay, [](CInfoBase& b, int s) -> double& { return b.zar1Of(s); });
        return m;
    };
    enum Way { Alone, WithMaster, InAGroup };
    int month = 0;
    for (const Way way : {Alone, WithMaster, InAGroup}) {
        SCOPED_TRACE(int(way));
        ++month;
        SetComputed(base, kv, {{1, 100.0 * month}, {4, 400.0 * month}});
        base.attributesOf(slot).err = u16(month);
        base.zar1Of(slot) = 1000.0 * month;
        const Month before = stored();
        bool done = false;
        for (int failing = 1; failing < 40 && !done; ++failing) {
            SCOPED_TRACE(failing);
            try {
                db::Transaction run(Db(base));
                ComputedRowsGroup group(base);
                db::InjectFailureAfter(failing);
                SaveCalculatedMonth(base, slot, way == WithMaster, way == InAGroup ? &group : nullptr);
                group.later().collect();
                run.commit();
                done = true;
            } catch (const db::DbError&) {
                db::InjectFailureAfter(0);
                EXPECT_EQ(stored(), before);
            }
        }
        db::InjectFailureAfter(0);
        ASSERT_TRUE(done);
        EXPECT_EQ(stored(), (Month{{{1, 100.0 * month}, {4, 400.0 * month}}, month, 1000.0 * month}));
    }
}

// A write the base refuses (a trigger on the shops' table: RAISE(ABORT) on a
// base file, a PL/pgSQL exception on a server) is said in a few lines: what
// was refused, as its caller names it, and the base's own line, the
// trigger's text; never the statement's text, under 400 characters. The
// statement stays with the error, apart, for the console log.
TEST_F(DbSavers, ARefusalByATriggerIsSaidInAFewLinesWithoutTheStatement)
{
    Fill(3);
    const QSqlDatabase db = Db(base);
    const QString refusal = QStringLiteral("Цех 7 закрыт приказом директора");
    if (db::IsServer(db)) {
        db::Execute(db, QStringLiteral("CREATE FUNCTION dbo.no_shop() RETURNS trigger LANGUAGE plpgsql AS "
                                       "$$BEGIN RAISE EXCEPTION '%1'; END$$")
                            .arg(refusal));
        db::Execute(db, QStringLiteral("CREATE TRIGGER no_shop BEFORE INSERT OR UPDATE OR DELETE ON dbo.ceh "
                                       "FOR EACH ROW EXECUTE FUNCTION dbo.no_shop()"));
    } else {
        for (const char* change : {"INSERT", "UPDATE", "DELETE"})
            db::Execute(db, QStringLiteral("CREATE TRIGGER dbo.no_shop_%1 BEFORE %1 ON ceh BEGIN "
                                           "SELECT RAISE(ABORT, '%2'); END")
                                .arg(QLatin1String(change), refusal));
    }
    base.shopAt(1).number = 7;
    base.shopAt(1).name = QStringLiteral("Литейный");
    try {
        SaveCeh(base);
        ADD_FAILURE() << "the trigger let the shops be written";
    } catch (const db::DbError& e) {
        EXPECT_TRUE(db::IsRefusal(e));
        EXPECT_EQ(db::EngineWords(e), refusal);
        EXPECT_TRUE(e.statement().contains(QStringLiteral("ceh"))) << e.statement().toStdString();
        const QString what = QStringLiteral("Справочник \"Цеха\" не сохранен.");
        const QString said = DbErrorText(e, what);
        EXPECT_EQ(said, QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\n%1\nБаза данных отказала в записи: %2").arg(what, refusal));
        EXPECT_LT(said.size(), 400);
        for (const char* statement : {"INSERT", "dbo.", "VALUES", "Unable to"})
            EXPECT_FALSE(said.contains(QString::fromLatin1(statement))) << said.toStdString();
        // Without a caller's words the box says that nothing was saved.
        EXPECT_TRUE(DbErrorText(e).startsWith(QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nИзменения не сохранены.\n")));
        // What the code that met the refusal named follows the caller's
        // words on a line of its own, and stands alone without them.
        const db::DbError named = e.naming(QStringLiteral("Не записаны строки: справочник цехов."));
        EXPECT_EQ(DbErrorText(named, what),
                  QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\n%1\nНе записаны строки: справочник цехов.\nБаза данных отказала в "
                                 "записи: %2")
                      .arg(what, refusal));
        EXPECT_EQ(DbErrorText(named), QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nНе записаны строки: справочник цехов.\nБаза "
                                                     "данных отказала в записи: %1")
                                          .arg(refusal));
    }
    // A refusal's line is cut, however long the trigger's text.
    const db::DbError longOne(db::E_DB_ENGINE | 19, QStringLiteral("Unable to fetch row"), QString(500, QLatin1Char('x')),
                              QStringLiteral("Kalvor.Db"), QStringLiteral("INSERT INTO dbo.ceh VALUES (?)"));
    EXPECT_LT(DbErrorText(longOne, QString(300, QLatin1Char('y'))).size(), 400);
    EXPECT_LT(DbErrorText(longOne.naming(QString(300, QLatin1Char('z'))), QString(300, QLatin1Char('y'))).size(), 400);
    // Every table of the base is named by what it holds, none by its name.
    for (const TableDef& t : SchemaTables()) {
        const QString content = TableContentText(t.name);
        EXPECT_NE(content, t.name);
        EXPECT_FALSE(content.contains(QRegularExpression(QStringLiteral("[A-Za-z]")))) << content.toStdString();
    }
    // A base another connection held past the wait (the file engine's busy
    // and locked, the server's lock) is said in Russian alone, as a refusal:
    // the engine's English words are not shown beside it.
    for (const std::uint32_t code : {db::E_DB_BUSY, db::E_DB_ENGINE | 6}) {
        const db::DbError busy(code, QString::fromUtf8(db::kBusyText), QStringLiteral("database is locked"),
                               QStringLiteral("Kalvor.Db"), QStringLiteral("COMMIT"));
        EXPECT_EQ(DbErrorText(busy, QStringLiteral("Справочник \"Цеха\" не сохранен.")),
                  QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nСправочник \"Цеха\" не сохранен.\nБаза данных отказала в записи: "
                                 "База данных занята другим пользователем"));
        EXPECT_FALSE(DbErrorText(busy).contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
            << DbErrorText(busy).toStdString();
    }
    // A lost connection to the server is said in Russian alone too, without
    // the error's code or the server's name; what was being done first.
    const db::DbError lost(db::E_DB_CONNECTION_LOST, QString::fromUtf8(db::kConnectionLostText),
                           QStringLiteral("127.0.0.1"), QStringLiteral("Kalvor.Db"), QStringLiteral("COMMIT"));
    EXPECT_FALSE(db::IsRefusal(lost));
    EXPECT_EQ(DbErrorText(lost),
              QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nСвязь с сервером базы данных прервана. Изменения не сохранены."));
    EXPECT_EQ(DbErrorText(lost, QStringLiteral("Справочник \"Цеха\" не сохранен.")),
              QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nСправочник \"Цеха\" не сохранен.\nСвязь с сервером базы данных "
                             "прервана. Изменения не сохранены."));
    // Other errors keep the database error box, the statement left out too.
    const db::DbError other(db::E_DB_FAIL, QStringLiteral("Ошибка сервера базы данных 127.0.0.1"),
                            QStringLiteral("127.0.0.1"), QStringLiteral("Kalvor.Db"), QStringLiteral("COMMIT"));
    EXPECT_EQ(DbErrorText(other), ComErrorText(other));
    EXPECT_FALSE(ComErrorText(other).contains(QStringLiteral("COMMIT")));
}

namespace {

// Every row of every table of the base, by table: each row its columns'
// values as text, joined.
using StoredRows = std::map<QString, std::multiset<QString>>;

StoredRows AllRows(const CInfoBase& base)
{
    StoredRows rows;
    for (const TableDef& t : SchemaTables()) {
        QSqlQuery q(Db(base));
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT * FROM dbo.%1").arg(t.name))) << t.name.toStdString();
        std::multiset<QString>& table = rows[t.name];
        while (q.next()) {
            QStringList values;
            for (int c = 0; c < q.record().count(); ++c)
                values << q.record().fieldName(c).toLower() + QLatin1Char('=') + q.value(c).toString();
            table.insert(values.join(QLatin1Char('|')));
        }
    }
    return rows;
}

// The rows of `from` that `to` lacks, by table ("-" before them) and the
// rows `to` has that `from` lacks ("+"): what a write changed.
std::vector<std::pair<QString, QString>> ChangedRows(const StoredRows& from, const StoredRows& to)
{
    std::vector<std::pair<QString, QString>> changed;
    for (const auto& [table, rows] : from) {
        const std::multiset<QString>& after = to.at(table);
        std::vector<QString> gone, come;
        std::set_difference(rows.begin(), rows.end(), after.begin(), after.end(), std::back_inserter(gone));
        std::set_difference(after.begin(), after.end(), rows.begin(), rows.end(), std::back_inserter(come));
        for (const QString& row : gone) changed.emplace_back(table, QStringLiteral("-") + row);
        for (const QString& row : come) changed.emplace_back(table, QStringLiteral("+") + row);
    }
    return changed;
}

// Whether a changed row is the employee's own: his master row and detail
// rows, his rows of the tables kept by slot, his index words and his bonus
// line at its place. The lists and the configuration's counters are checked
// on their own.
bool HisRow(const QString& table, const QString& row, int slot, qint64 id, int bonusPlace)
{
    const QStringList values = row.mid(1).split(QLatin1Char('|'));
    const auto has = [&](const char* column, qint64 value) {
        return values.contains(QStringLiteral("%1=%2").arg(QLatin1String(column)).arg(value));
    };
    if (table == QLatin1String("simp") || table == QLatin1String("config"))
        return true;
    if (table.compare(QLatin1String("konst"), Qt::CaseInsensitive) == 0)
        return has("rec", slot) && has("id", id);
    if (!values.filter(QRegularExpression(QStringLiteral("^id_konst="))).isEmpty())
        return has("id_konst", id);
    if (table == QLatin1String("indexes"))
        return has("nom", slot);
    if (table == QLatin1String("prem"))
        return has("num", NumberOfPlace(bonusPlace));
    for (const char* bySlot : {"fio", "comp", "tabel", "AvZar1"})
        if (table == QLatin1String(bySlot))
            return has("num", slot);
    return false;
}

std::vector<int> Numbers(const std::vector<EmployeeListEntry>& list)
{
    std::vector<int> numbers;
    for (const EmployeeListEntry& e : list) numbers.push_back(e.tabN());
    return numbers;
}

} // namespace

// The making and the removal of an employee write his own rows and both
// lists, nothing of any other employee: every other row of every table stays
// as it was, value by value, even where memory holds other amounts to pay or
// status words than the base. Both lists are right in the base and in memory,
// and a number the base holds is refused whatever memory says, nothing
// written.
TEST_F(DbSavers, AnEmployeeMadeOrRemovedWritesHisOwnRowsAndBothListsOnly)
{
    Fill(8);
    CInfoBase other;
    Reopen(other);
    // Memory's amounts to pay and status words unlike the stored ones: none
    // of them may reach the base.
    for (int slot = 1; slot <= other.slotCount(); ++slot) {
        other.zar1Of(slot) += 777;
        other.attributesOf(slot).err = 9;
    }
    std::vector<int> byNumber = Numbers(other.nameOrder() ? other.otherList : other.list);
    const int number = byNumber.back() + 5;
    const StoredRows before = AllRows(other);

    const int slot = AddEmployeeToBase(other, number);
    ASSERT_GT(slot, 0);
    const qint64 id = detail::KonstId(Db(other), slot);
    ASSERT_GT(id, 0);
    const StoredRows made = AllRows(other);
    for (const auto& [table, row] : ChangedRows(before, made))
        EXPECT_TRUE(HisRow(table, row, slot, id, other.prem.first(slot))) << table.toStdString() << " " << row.toStdString();
    EXPECT_EQ(made.at(QStringLiteral("konst")).size(), before.at(QStringLiteral("konst")).size() + 1);
    byNumber.push_back(number);
    {
        CInfoBase stored;
        stored.workFolder = other.workFolder;
        stored.baseName = other.baseName;
        OpenStoredBase(stored);
        LoadSimp(stored, 1);
        EXPECT_EQ(Numbers(stored.list), byNumber);
        LoadSimp(stored, 2);
        EXPECT_EQ(stored.list.front().tabN(), number); // a new name comes first by name
        EXPECT_EQ(stored.list.size(), byNumber.size());
        LoadConfig(stored);
        EXPECT_EQ(stored.config.kolRab, int(byNumber.size()));
    }
    EXPECT_EQ(Numbers(other.nameOrder() ? other.otherList : other.list), byNumber);
    EXPECT_EQ(other.employeeCount(), int(byNumber.size()));

    // The same number again: refused by the base, naming it, though memory
    // no longer holds it; nothing written, memory as it was.
    const int index = other.FindEmployee(number);
    ASSERT_GE(index, 0);
    const std::vector<EmployeeListEntry> list = other.list, otherList = other.otherList;
    other.list.erase(other.list.begin() + index);
    const auto heldList = other.list;
    try {
        AddEmployeeToBase(other, number);
        ADD_FAILURE() << "made twice";
    } catch (const db::DbError& error) {
        EXPECT_EQ(error.message(), NumberInBaseRefusal(number));
        EXPECT_TRUE(error.message().contains(QString::number(number)));
    }
    EXPECT_TRUE(AllRows(other) == made);
    EXPECT_EQ(other.list, heldList);
    EXPECT_EQ(other.otherList, otherList);
    other.list = list;

    // Removed: his rows go, every other row stays.
    // (One without lines that would move the later ones: those moves are
    // the card's tests'.)
    const auto without = std::find_if(other.list.begin() + 1, other.list.end(), [&](const EmployeeListEntry& e) {
        return e.tabN() != number && other.altTabel.count(e.slot) + other.bln.count(e.slot) + other.otp.count(e.slot) == 0;
    });
    ASSERT_NE(without, other.list.end());
    const int removed = without->tabN(), removedSlot = without->slot;
    const qint64 removedId = detail::KonstId(Db(other), removedSlot);
    const int bonusPlace = other.prem.first(removedSlot);
    EXPECT_TRUE(RemoveEmployeeFromBase(other, removed));
    const StoredRows after = AllRows(other);
    for (const auto& [table, row] : ChangedRows(made, after))
        EXPECT_TRUE(HisRow(table, row, removedSlot, removedId, bonusPlace))
            << table.toStdString() << " " << row.toStdString();
    EXPECT_EQ(after.at(QStringLiteral("konst")).size(), before.at(QStringLiteral("konst")).size());
    byNumber.erase(std::find(byNumber.begin(), byNumber.end(), removed));
    EXPECT_EQ(Numbers(other.nameOrder() ? other.otherList : other.list), byNumber);
    EXPECT_LT(other.FindEmployee(removed), 0);
    {
        CInfoBase stored;
        stored.workFolder = other.workFolder;
        stored.baseName = other.baseName;
        OpenStoredBase(stored);
        LoadSimp(stored, 1);
        EXPECT_EQ(Numbers(stored.list), byNumber);
        LoadSimp(stored, 2);
        EXPECT_EQ(stored.list.size(), byNumber.size());
        for (const EmployeeListEntry& e : stored.list) EXPECT_NE(e.tabN(), removed);
    }
    // A number no list holds removes nothing.
    EXPECT_FALSE(RemoveEmployeeFromBase(other, removed));
    for (const auto& [table, row] : ChangedRows(after, AllRows(other)))
        EXPECT_EQ(table, QStringLiteral("config")) << row.toStdString(); // its generation
    CloseBase(other);
}
