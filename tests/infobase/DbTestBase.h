#pragma once
// A base file in a temporary folder, filled from the fixture builder and saved
// through every saver, for the database tests.
#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "platform/DbTestHooks.h"
#include "support/TestBaseName.h"
#include "support/TestFixture.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <vector>

namespace kalvor::infobase::test {

// Every byte of a record as its write() lays it out.
template <class T>
QByteArray BytesOf(const T& rec)
{
    QByteArray b(int(T::Size), '\0');
    ByteWriter w(b.data(), T::Size);
    rec.write(w);
    return b;
}

template <class T>
QByteArray BytesOf(const std::vector<T>& v)
{
    QByteArray all;
    for (const T& t : v) all += BytesOf(t);
    return all;
}

inline QByteArray SlotBytes(const EmployeeRecord& rec)
{
    QByteArray b(int(EmployeeRecord::SlotSize), '\0');
    EmployeeRecordToSlot(rec, b.data());
    return b;
}

class DbTestBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        base.workFolder = dir.path() + QLatin1Char('/');
        base.baseName = testsupport::TestBaseName(dir.path(), QStringLiteral("test"));
        CreateSchemaBase(dir.path(), base.baseName);
        OpenBase(base);
    }
    void TearDown() override
    {
        db::InjectFailureAfter(0);
        CloseBase(base);
        // The test's own base on a server goes with it (one still held is
        // left to the throw-away cluster).
        if (db::ServerInUse()) {
            try {
                DeleteBase(dir.path(), base.baseName);
            } catch (const db::DbError&) {
            }
        }
    }

    // Fills the base from the fixture builder (with dated archive entries for
    // the first employees) and saves every table and every employee.
    void Fill(int employees, unsigned seed = 7)
    {
        fx = BuildFixtureBase(base, employees, seed);
        warDat.assign(fx.records.size(), WarDatBlock{});
        for (int i = 0; i < std::min(employees, 5); ++i) {
            WarDatBlock& w = warDat[std::size_t(i)];
            for (int k = 0; k <= i; ++k) {
                WarDatEntry& e = w.entries[std::size_t(k)];
                e.start = u16((k + 1) | (2 << 5) | (26 << 9));
                e.end = u16((k + 10) | (2 << 5) | (26 << 9));
                e.mes = 2;
                e.god = 26;
                e.kod = u16(101 + k);
                e.contin = k & 1;
                e.sum = 150'000 + 100 * k;
            }
            w.warDatKv = u16(i + 1);
        }
        SaveEverything();
    }

    void SaveEverything() { SaveAll(base, fx.records, &warDat); }

    void SaveOne(int slot)
    {
        base.current = fx.records[std::size_t(slot - 1)];
        base.warDat = warDat[std::size_t(slot - 1)];
        SaveEmployeeFull(base, slot, base.attributesOf(slot));
    }

    // A second in-memory base over the same file, opened and fully loaded on a
    // fresh connection.
    void Reopen(CInfoBase& other)
    {
        CloseBase(base);
        other.workFolder = base.workFolder;
        other.baseName = base.baseName;
        OpenBase(other);
        LoadAll(other);
    }

    QTemporaryDir dir;
    CInfoBase base;
    FixtureBase fx;
    std::vector<WarDatBlock> warDat;
};

} // namespace kalvor::infobase::test
