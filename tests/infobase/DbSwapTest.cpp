// Selection runs: the selected employees' records written from the base into
// their swap slots, the blocks of each run, and a run stopped halfway.
#include "DbTestBase.h"
#include "infobase/InfoBaseDbDetail.h"
#include "infobase/MonthResultSaver.h"
#include "platform/Db.h"
#include "platform/DbTestHooks.h"
#include "platform/DbTransaction.h"

#include <QFileInfo>
#include <QThread>

#include <atomic>
#include <thread>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::infobase::test;

class DbSwap : public DbTestBase {};

TEST_F(DbSwap, SelectAllWritesEverySelectedSlotWhole)
{
    Fill(40);
    // Slots 3 and 17 freed and taken again: their master rows get the highest
    // ids, out of the slots' order, and their rows come apart from the others'.
    for (const int slot : {3, 17}) {
        DeleteEmployee(base, slot);
        SaveOne(slot);
    }
    ASSERT_GT(detail::KonstId(Db(base), 3), detail::KonstId(Db(base), 40));
    ASSERT_TRUE(SelectAllToSwap(base, Selection{}));
    for (const EmployeeListEntry& e : base.list) {
        EmployeeRecord rec;
        ASSERT_TRUE(base.swap.readSlot(e.slot, rec));
        ASSERT_EQ(SlotBytes(rec), SlotBytes(fx.records[std::size_t(e.slot - 1)])) << "slot " << e.slot;
    }

    // A selection by shop writes only that shop's slots: the file ends at the
    // last selected slot and the others stay holes, as the run sees it and,
    // once closed, as the file stands.
    const int shop = base.shopOf(base.list[0].slot);
    Selection byShop;
    byShop.shop = shop;
    int lastSlot = 0;
    for (const EmployeeListEntry& e : base.list)
        if (base.shopOf(e.slot) == shop)
            lastSlot = std::max(lastSlot, int(e.slot));
    for (const bool reopened : {false, true}) {
        SCOPED_TRACE(reopened);
        ASSERT_TRUE(SelectAllToSwap(base, byShop));
        if (reopened) {
            base.CloseSwapFile();
            EXPECT_EQ(QFileInfo(base.swapPath()).size(), qint64(lastSlot) * SwapFile::SlotSize);
            base.OpenSwapFile();
        }
        int pastTheEnd = 0;
        for (const EmployeeListEntry& e : base.list) {
            EmployeeRecord rec;
            if (e.slot > lastSlot) {
                EXPECT_FALSE(base.swap.readSlot(e.slot, rec)) << e.slot; // a short read
                ++pastTheEnd;
                continue;
            }
            ASSERT_TRUE(base.swap.readSlot(e.slot, rec));
            if (base.shopOf(e.slot) == shop)
                EXPECT_EQ(rec.head.fio, fx.records[std::size_t(e.slot - 1)].head.fio);
            else
                EXPECT_TRUE(rec.head.fio.isEmpty());
        }
        EXPECT_GT(pastTheEnd, 0);
        base.CloseSwapFile();
    }
}

// The records that a run takes straight from the base are those that the
// selection run writes into the slots, whatever order the run asks for them
// in (backwards here: each record but the first is read before its turn), and
// within a transaction that writes the month's rows of those handed over.
TEST_F(DbSwap, TheFeedHandsOverWhatTheSlotsHold)
{
    Fill(30);
    ASSERT_TRUE(SelectAllToSwap(base, Selection{}));
    std::vector<int> order;
    for (const EmployeeListEntry& e : base.list) order.push_back(e.slot);
    std::sort(order.rbegin(), order.rend());
    const int unused = base.capacity(); // no master row
    ASSERT_GT(unused, order.front());
    order.insert(order.begin() + 10, unused);

    const QSqlDatabase db = Db(base);
    db::Transaction run(db);
    {
        EmployeeRecordFeed feed(base, order);
        // One read ahead of its turn (every lower slot waits with it) packs
        // into the bytes of its slot.
        const int ahead = order[15];
        EmployeeRecord inSlot;
        ASSERT_TRUE(base.swap.readSlot(ahead, inSlot));
        int seen = 0;
        feed.readAhead(ahead, [&](const EmployeeRecord& rec) {
            EXPECT_EQ(SlotBytes(rec), SlotBytes(inSlot));
            ++seen;
        });
        EXPECT_EQ(seen, 1);
        for (const int slot : order) {
            SCOPED_TRACE(slot);
            feed.makeCurrent(slot);
            EXPECT_EQ(base.currentSlot, slot);
            EmployeeRecord inSlot;
            if (slot != unused) {
                ASSERT_TRUE(base.swap.readSlot(slot, inSlot));
            }
            EXPECT_EQ(base.current, inSlot);
            base.current.rows[65].kod = 999;
            base.current.rows[65].sum = 100;
            if (slot != unused)
                SaveProizvZarpByRec(base, slot, 1);
        }
    }
    run.commit();
    base.CloseSwapFile();
    LoadEmployee(base, order.back());
    EXPECT_EQ(base.current.rows[65].kod, 999);
}

// A run that stores each employee it has computed (his master row and his
// month's rows) while the feed goes on reading, over slots whose master rows
// have ids out of the slots' order: slots 3 and 17, freed and taken again,
// carry the highest ids, so their rows lie past the end of the streams and
// are read on their own. They are taken first, and their stores land ahead of
// every stream; the others come in turn, each read while those before it are
// written, one read ahead of its turn first. Each record handed over is the
// slot's as the selection run wrote it before the run, and every store is
// whole after the run.
TEST_F(DbSwap, TheFeedReadsWhileTheRunWritesWithIdsOutOfSlotOrder)
{
    Fill(40);
    for (const int slot : {3, 17}) {
        DeleteEmployee(base, slot);
        SaveOne(slot);
    }
    const QSqlDatabase db = Db(base);
    ASSERT_GT(detail::KonstId(db, 3), detail::KonstId(db, 40));
    ASSERT_GT(detail::KonstId(db, 17), detail::KonstId(db, 3));
    ASSERT_TRUE(SelectAllToSwap(base, Selection{}));
    std::vector<int> order = {17, 3};
    for (int slot = 1; slot <= 40; ++slot)
        if (slot != 3 && slot != 17)
            order.push_back(slot);
    std::swap(order[20], order[21]); // slot 22 before 21: 21 waits in memory
    const auto stored = [](int slot) { return u32(1000 + slot); }; // what the run leaves of the property deduction

    db::Transaction run(db);
    {
        EmployeeRecordFeed feed(base, order);
        EmployeeRecord inSlot;
        ASSERT_TRUE(base.swap.readSlot(30, inSlot));
        feed.readAhead(30, [&](const EmployeeRecord& rec) { EXPECT_EQ(SlotBytes(rec), SlotBytes(inSlot)); });
        for (const int slot : order) {
            SCOPED_TRACE(slot);
            feed.makeCurrent(slot);
            ASSERT_TRUE(base.swap.readSlot(slot, inSlot));
            EXPECT_EQ(base.current, inSlot);
            base.current.head.imvichOst = stored(slot);
            base.current.rows[65].kod = 999;
            base.current.rows[65].sum = 100 * slot;
            SaveCalculatedMonth(base, slot, true);
        }
    }
    run.commit();
    for (int slot = 1; slot <= 40; ++slot) {
        SCOPED_TRACE(slot);
        EmployeeRecord expected;
        ASSERT_TRUE(base.swap.readSlot(slot, expected));
        expected.head.imvichOst = stored(slot);
        expected.rows[65].kod = 999;
        expected.rows[65].sum = 100 * slot;
        LoadEmployee(base, slot);
        EXPECT_EQ(SlotBytes(base.current), SlotBytes(expected));
    }
}

TEST_F(DbSwap, RunsTakeTheirBlocksAndPeriod)
{
    Fill(10);
    const EmployeeListEntry who = base.list[1];
    const EmployeeRecord& want = fx.records[std::size_t(who.slot - 1)];
    Selection one;
    one.tabN = who.tabN();

    // Master rows and month rows, with the list of selected employees.
    std::vector<SelectedEmployee> picked;
    ASSERT_TRUE(SelectKonstProizvToSwap(base, {}, one, &picked));
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0].slot, who.slot);
    EXPECT_EQ(picked[0].tabN, who.tabN());
    EXPECT_EQ(picked[0].shop, base.shopOf(who.slot));
    EmployeeRecord rec;
    ASSERT_TRUE(base.swap.readSlot(who.slot, rec));
    EXPECT_EQ(rec.head, want.head);
    EXPECT_EQ(rec.rows, want.rows);
    EXPECT_EQ(rec.warKv, 0);
    EXPECT_FALSE(rec.waria[0].inUse());

    // The single-block runs add their block into the same slot.
    ASSERT_TRUE(SelectWariaToSwap(base, 2025, 10, one));
    ASSERT_TRUE(base.swap.readSlot(who.slot, rec));
    EXPECT_EQ(rec.head, want.head);
    EXPECT_EQ(rec.rows, want.rows);
    // Entries accrued or paid from October 2025 on (September's salary is paid in October).
    auto index = [](int year, int month) { return (year - 1900) * 12 + month; };
    int fromOctober = 0;
    for (const WariaEntry& e : want.waria)
        if (e.inUse() &&
            (index(e.god, e.mes) >= index(2025, 10) || (e.godVyd != 0 && index(e.godVyd, e.mesVyd) >= index(2025, 10))))
            ++fromOctober;
    EXPECT_EQ(fromOctober, 11); // October-February with their tax, and September's salary
    EXPECT_EQ(rec.warKv, fromOctober);
    ASSERT_TRUE(SelectSberToSwap(base, one));
    ASSERT_TRUE(SelectNalvichToSwap(base, one));
    ASSERT_TRUE(base.swap.readSlot(who.slot, rec));
    EXPECT_EQ(rec.sber, want.sber);
    EXPECT_EQ(rec.nalvich, want.nalvich);

    // The period run: archive entries of the period only (January-February
    // 2026): salary and tax of both months, and December's salary paid in January.
    Selection all;
    ASSERT_TRUE(SelectPeriodToSwap(base, index(2026, 1), index(2026, 2), all));
    ASSERT_TRUE(base.swap.readSlot(who.slot, rec));
    EXPECT_EQ(rec.warKv, 5);
    for (int i = 0; i < rec.warKv; ++i) {
        const WariaEntry& e = rec.waria[std::size_t(i)];
        EXPECT_TRUE(e.god == 2026 || (e.godVyd == 2026 && e.mesVyd == 1)) << i;
    }
    EXPECT_FALSE(rec.waria[5].inUse());
    EXPECT_EQ(rec.nalvich, want.nalvich);
    EXPECT_EQ(rec.sber, (std::array<SberRow, 20>{}));

    // Marked only.
    base.list[3].setFlag(0, true);
    all.flag = 1;
    ASSERT_TRUE(SelectKonstWariaToSwap(base, 0, 0, all));
    base.CloseSwapFile();
    EXPECT_EQ(QFileInfo(base.swapPath()).size(), qint64(base.list[3].slot) * SwapFile::SlotSize);
}

TEST_F(DbSwap, RunOnAWorkerStopsHalfway)
{
    Fill(300);
    std::stop_source stop;
    std::atomic<int> result{-1};
    std::thread worker([&] { result = SelectAllToSwap(base, Selection{}, stop.get_token()) ? 1 : 0; });
    // Stop as soon as the first slots are in the file.
    const QString path = base.swapPath();
    while (result == -1 && QFileInfo(path).size() < 3 * SwapFile::SlotSize) QThread::usleep(100);
    stop.request_stop();
    worker.join();
    ASSERT_EQ(result, 0) << "the run ended before it could be stopped";
    EXPECT_FALSE(base.swap.isOpen());
    const qint64 size = QFileInfo(path).size();
    EXPECT_GE(size, 3 * SwapFile::SlotSize);
    EXPECT_LT(size, qint64(base.list.back().slot) * SwapFile::SlotSize);
    // The slots written before the stop are whole.
    base.OpenSwapFile();
    EmployeeRecord rec;
    ASSERT_TRUE(base.swap.readSlot(base.list[0].slot, rec));
    EXPECT_EQ(SlotBytes(rec), SlotBytes(fx.records[std::size_t(base.list[0].slot - 1)]));
    base.CloseSwapFile();
}

// A read that fails while the bulk loader is being made (the ids' read, the
// master rows, each of the nine detail streams; an I/O error, a damaged
// base, a session lost as a reader starts its range) is thrown as the
// error, whatever step it met: nothing is touched that was not made yet.
// The statements it leaves start from their first rows: the next loader,
// the feed of a run and a selection run read every record whole.
TEST_F(DbSwap, AReadFailingAtAnyStepOfTheBulkLoadersMakingIsSaidAndTheNextReadIsWhole)
{
    Fill(12);
    const QSqlDatabase db = Db(base);
    constexpr int kSteps = 2 + 9; // the ids, the master rows, the detail streams
    for (int step = 1; step <= kSteps; ++step) {
        SCOPED_TRACE(step);
        db::InjectFailureAfter(step);
        EXPECT_THROW(detail::BulkEmployeeLoader(db, detail::BAll), db::DbError);
        db::InjectFailureAfter(0);
    }
    // One step further the loader is made: its reads come with the records.
    db::InjectFailureAfter(kSteps + 1);
    EXPECT_NO_THROW(detail::BulkEmployeeLoader(db, detail::BAll));
    db::InjectFailureAfter(0);

    std::vector<int> order;
    for (const EmployeeListEntry& e : base.list) order.push_back(e.slot);
    for (const bool onItsOwn : {true, false}) {
        SCOPED_TRACE(onItsOwn);
        db::InjectFailureAfter(1);
        if (onItsOwn)
            EXPECT_THROW(detail::BulkEmployeeLoader(db, detail::BAll), db::DbError);
        else
            EXPECT_THROW(EmployeeRecordFeed(base, order), db::DbError);
        db::InjectFailureAfter(0);
        detail::BulkEmployeeLoader loader(db, detail::BAll);
        for (const int slot : order) {
            EmployeeRecord rec;
            rec.waria.assign(std::size_t(EmployeeRecord::ArchiveCapacity), WariaEntry{});
            ASSERT_TRUE(loader.load(slot, rec));
            EXPECT_EQ(SlotBytes(rec), SlotBytes(fx.records[std::size_t(slot - 1)])) << "slot " << slot;
        }
    }
    ASSERT_TRUE(SelectAllToSwap(base, Selection{}));
    for (const int slot : order) {
        EmployeeRecord rec;
        ASSERT_TRUE(base.swap.readSlot(slot, rec));
        EXPECT_EQ(SlotBytes(rec), SlotBytes(fx.records[std::size_t(slot - 1)])) << "slot " << slot;
    }
    base.CloseSwapFile();
}
