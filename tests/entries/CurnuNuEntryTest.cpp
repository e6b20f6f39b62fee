// The current accruals and deductions: each column's text and read rule, the
// placement of the rows on saving (the calculated rows follow the new ones,
// freed rows zero, the last six never move, nothing pushed past the 60th),
// the group operations on one record, and the store on a fixture base file
// (read back after reopening; a refused write leaves memory as it was).
#include "entries/CurnuNuEntry.h"
#include "infobase/InfoBaseDb.h"
#include "support/StoredBase.h"
#include "support/TestFixture.h"

#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace en = kalvor::entries;
namespace ib = kalvor::infobase;

namespace {

ib::ProizvRow Row(int kod, double sum, int mes = 4)
{
    ib::ProizvRow r;
    r.kod = ib::u16(kod);
    r.sum = sum;
    r.mes = ib::u16(mes);
    return r;
}

ib::ProizvRow Read(const QStringList& cells) { return en::ReadProizvRow(cells); }

// A record with three current rows, two calculated rows behind them and a
// row of a later month at 62.
struct Block {
    ib::EmployeeRecord rec;
    ib::EmployeeAttributes attr;
    Block()
    {
        rec.rows[0] = Row(7, 400000);
        rec.rows[1] = Row(907, 125000);
        rec.rows[2] = Row(21, -42050);
        rec.rows[3] = Row(4, 2100000);
        rec.rows[4] = Row(902, 273000);
        rec.rows[62] = Row(85, 50000, 5);
        attr.kvProizv = 3;
    }
};

} // namespace

TEST(CurnuNuRows, EachColumnShowsAndReadsByItsRule)
{
    ib::ProizvRow row = Read({"4", "5", "1500", "2", "16,0", "200100030015", "3"});
    EXPECT_EQ(row.mes, 4);
    EXPECT_EQ(row.kod, 5);
    EXPECT_EQ(row.sum, 150000);
    EXPECT_EQ(row.dn, 2);
    EXPECT_EQ(row.hr, 16);
    EXPECT_EQ(row.min, 0);
    EXPECT_EQ(row.spzCh, 2001);
    EXPECT_EQ(row.spzSc, 3);
    EXPECT_EQ(row.spzAu, 15);
    EXPECT_EQ(row.otd, 3);
    EXPECT_EQ(en::ShowProizvRow(row), QStringList({"4", "5", "1500.00", "2", "16,0", "200100030015", "3"}));

    // Months outside 1-12, days beyond six bits, hours beyond nine bits and a
    // shop beyond a byte are 0; minutes carry into the hours; a reversal keeps its sign.
    row = Read({"13", "65535", "-420.5", "64", "8,75", "12345", "256"});
    EXPECT_EQ(row.mes, 0);
    EXPECT_EQ(row.kod, 65535);
    EXPECT_EQ(row.sum, -42050);
    EXPECT_EQ(row.dn, 0);
    EXPECT_EQ(row.otd, 0);
    EXPECT_EQ(en::ShowProizvRow(row), QStringList({"", "65535", "-420.50", "", "9,15", "000000012345", ""}));
    EXPECT_EQ(Read({"0", "-3", "x", "63", "512,0", "1234567890123", ""}).dn, 63);
    // The hours as their column reads them: minutes beside the last hour, not carried past it.
    EXPECT_EQ(en::ShowProizvRow(Read({"", "", "", "", "511,59"}))[4], QStringLiteral("511,59"));
    EXPECT_EQ(Read({"", "", "", "", "511,60"}).hr, 0);
    EXPECT_TRUE(Read({"0", "-3", "x", "", "512,0", "1234567890123", ""}).isEmpty());
    EXPECT_EQ(en::ShowProizvRow(ib::ProizvRow{}), QStringList(7, QString()));

    // An empty row is dropped, a row with only a code is kept.
    const en::ProizvRows kept = en::CompactRows({Read({"", "", "", "", "", "", ""}), Read({"", "907"}), Row(7, 100)});
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].kod, 907);
    EXPECT_EQ(kept[0].sum, 0);
}

TEST(CurnuNuRows, SavingMovesTheCalculatedRowsBehindTheNewOnes)
{
    const Block before;
    { // Fewer: the calculated rows move up, the freed rows before the 60th are zero.
        Block b;
        en::PlaceRows(b.rec, b.attr, {Row(8, 100)});
        EXPECT_EQ(b.attr.kvProizv, 1);
        EXPECT_EQ(b.rec.rows[0], Row(8, 100));
        EXPECT_EQ(b.rec.rows[1], before.rec.rows[3]);
        EXPECT_EQ(b.rec.rows[2], before.rec.rows[4]);
        for (int i = 3; i < 60; ++i) EXPECT_TRUE(b.rec.rows[std::size_t(i)].isEmpty()) << i;
        EXPECT_EQ(b.rec.rows[62], before.rec.rows[62]);
    }
    { // Equal: only the rows themselves change.
        Block b;
        en::PlaceRows(b.rec, b.attr, {Row(1, 1), Row(2, 2), Row(3, 3)});
        EXPECT_EQ(b.attr.kvProizv, 3);
        EXPECT_EQ(b.rec.rows[2], Row(3, 3));
        EXPECT_EQ(b.rec.rows[3], before.rec.rows[3]);
        EXPECT_EQ(b.rec.rows[4], before.rec.rows[4]);
    }
    { // More: the calculated rows follow the fifth.
        Block b;
        en::PlaceRows(b.rec, b.attr, {Row(1, 1), Row(2, 2), Row(3, 3), Row(5, 5), Row(6, 6)});
        EXPECT_EQ(b.attr.kvProizv, 5);
        EXPECT_EQ(b.rec.rows[4], Row(6, 6));
        EXPECT_EQ(b.rec.rows[5], before.rec.rows[3]);
        EXPECT_EQ(b.rec.rows[6], before.rec.rows[4]);
        EXPECT_TRUE(b.rec.rows[7].isEmpty());
        for (int i = 60; i < 66; ++i) EXPECT_EQ(b.rec.rows[std::size_t(i)], before.rec.rows[std::size_t(i)]) << i;
    }
}

TEST(CurnuNuRows, RowsThatWouldPushCalculatedRowsPastTheSixtiethOrExceed28AreRefused)
{
    Block b;
    EXPECT_EQ(en::CheckRowPlacement(b.rec, 3, 28), en::RowPlacement::Fits);
    EXPECT_EQ(en::CheckRowPlacement(b.rec, 3, 29), en::RowPlacement::TooManyRows);
    b.rec.rows[58] = Row(990, 5);
    EXPECT_EQ(en::CheckRowPlacement(b.rec, 3, 4), en::RowPlacement::Fits); // 58 goes to 59
    EXPECT_EQ(en::CheckRowPlacement(b.rec, 3, 5), en::RowPlacement::ComputedRowsPastLimit);
    EXPECT_EQ(en::CheckRowPlacement(b.rec, 3, 1), en::RowPlacement::Fits);
    en::PlaceRows(b.rec, b.attr, {Row(1, 1), Row(2, 2), Row(3, 3), Row(5, 5)});
    EXPECT_EQ(b.rec.rows[59], Row(990, 5));
    EXPECT_EQ(b.rec.rows[62], Block().rec.rows[62]);
}

TEST(CurnuNuRows, GroupOperationsOnOneRecord)
{
    const en::ProizvRows rows = {Row(7, 100), Row(907, 50), Row(7, 100)};
    ib::ProizvRow model = Row(7, 100);
    // Append puts the model first.
    const en::ProizvRows appended = en::RowsWithModelFirst(rows, Row(8, 1));
    ASSERT_EQ(appended.size(), 4u);
    EXPECT_EQ(appended[0], Row(8, 1));
    EXPECT_EQ(appended[1], rows[0]);
    // Delete takes only the first match; no match leaves the rows.
    EXPECT_EQ(en::FirstMatchingRow(rows, model), 0);
    EXPECT_EQ(en::FirstMatchingRow(rows, Row(7, 101)), -1);
    // Matching looks at every field but the bits beside them.
    ib::ProizvRow other = model;
    other.hrRest = 5;
    other.spzChHi = 1;
    EXPECT_TRUE(en::RowsMatch(model, other));
    other.otd = 2;
    EXPECT_FALSE(en::RowsMatch(model, other));
    EXPECT_EQ(en::FirstMatchingRow(rows, Row(907, 50)), 1);
    EXPECT_EQ(en::FirstMatchingRow({}, model), -1);
    // Correct replaces the whole row.
    ib::ProizvRow corrected = Row(907, 75, 3);
    corrected.otd = 4;
    EXPECT_EQ(en::RowsWithCorrected(rows, 1, corrected)[1], corrected);
    EXPECT_EQ(en::RowsWithCorrected(rows, 5, corrected), rows);
}

TEST(CurnuNuRows, StoredRowsAndAttributesAreReadBackAndARefusalChangesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ib::CInfoBase base;
    base.workFolder = dir.path() + QLatin1Char('/');
    base.baseName = QStringLiteral("curnu");
    ib::CreateSchemaBase(base.workFolder, base.baseName);
    ib::OpenBase(base);
    ib::FixtureBase fx = ib::BuildFixtureBase(base, 6, 3);
    const int slot = base.list[2].slot;
    ib::EmployeeRecord& rec = fx.records[std::size_t(slot - 1)];
    rec.rows = {};
    rec.rows[0] = Row(7, 100);
    rec.rows[1] = Row(4, 2000);
    rec.rows[63] = Row(85, 300, 5);
    base.attributesOf(slot).kvProizv = 1;
    ib::SaveAll(base, fx.records);
    ib::LoadEmployee(base, slot);

    const en::ProizvRows typed = {Row(8, 500), ib::ProizvRow{}, Row(907, 70)};
    en::RowStore store = en::StoreCurrentRows(base, slot, typed);
    EXPECT_TRUE(store.written);
    EXPECT_FALSE(en::StoreCurrentRows(base, slot, typed).written); // nothing new

    // The base refuses: memory stays as it was.
    QSqlQuery q(ib::Db(base));
    ASSERT_TRUE(q.exec(QStringLiteral("ALTER TABLE dbo.comp RENAME TO compAway")));
    const ib::EmployeeRecord shown = base.current;
    EXPECT_ANY_THROW(en::StoreCurrentRows(base, slot, {Row(1, 1)}));
    EXPECT_EQ(base.current, shown);
    EXPECT_EQ(base.attributesOf(slot).kvProizv, 2);
    ASSERT_TRUE(q.exec(QStringLiteral("ALTER TABLE dbo.compAway RENAME TO comp")));

    // 29 rows are refused without a write.
    store = en::StoreCurrentRows(base, slot, en::ProizvRows(29, Row(8, 1)));
    EXPECT_EQ(store.placement, en::RowPlacement::TooManyRows);
    EXPECT_FALSE(store.written);

    ib::CloseBase(base);
    ib::CInfoBase again;
    again.workFolder = base.workFolder;
    again.baseName = base.baseName;
    ib::OpenStoredBase(again);
    ib::LoadAll(again);
    ib::LoadEmployee(again, slot);
    EXPECT_EQ(again.attributesOf(slot).kvProizv, 2);
    EXPECT_EQ(again.current.rows[0], Row(8, 500));
    EXPECT_EQ(again.current.rows[1], Row(907, 70));
    EXPECT_EQ(again.current.rows[2], Row(4, 2000));
    EXPECT_TRUE(again.current.rows[3].isEmpty());
    EXPECT_EQ(again.current.rows[63], Row(85, 300, 5));
    ib::CloseBase(again);
}
