#pragma once
// Shared set-up of the tests that run the engine over the fixture base: the
// contribution tables the fixture's contribution list needs, and the whole
// fixture written into an open base file.
#include "infobase/InfoBaseDb.h"
#include "payroll/PayrollDocument.h"
#include "platform/Db.h"
#include "support/StoredBase.h"
#include "support/TestBaseName.h"
#include "support/TestFixture.h"
#include "values/Values.h"

#include <QString>

#include <cstddef>
#include <cstdint>

namespace payrolltest {

// Contribution tables for the fixture's contribution list (tables 3 to 9, one
// more for the age group), and one kind per contribution code: a kind counts
// every row of its code as already charged, so a list holding a code twice is
// not recomputed alike.
inline void AddFixtureContributionTables(kalvor::PayrollDoc& doc)
{
    using namespace kalvor::infobase;
    for (int t = 2; t < 10; ++t) {
        auto& v = doc.refFiles.nalog[std::size_t(t)].variants[0];
        v.first = std::uint16_t(kalvor::MonthIndex(FixtureBase::Year, 1));
        v.cumulative = 1;
        v.scale[0] = TaxScaleBand{0, 0, std::uint8_t(t), 20, 0};
    }
    doc.refFiles.sbor[3].code = 995;
    doc.refFiles.sborCount = 4;
}

// Stores every table of the base in memory and every employee's record of the
// fixture into the open base file; the current record is cleared afterwards.
inline void SaveFixtureToBase(kalvor::infobase::CInfoBase& base, const kalvor::infobase::FixtureBase& fx)
{
    kalvor::infobase::SaveAll(base, fx.records);
}

// A new base `name` in the working folder `dirPath` (on a server, the
// test's own of that name: TestBaseName) holding the fixture of `employees`
// employees, loaded and ready for a month change and its calculation (no
// failed calculation, no foreign-worker flags); a base of that name that a
// killed run left goes first.
inline void BuildMonthReadyBase(kalvor::PayrollDoc& d, const QString& dirPath, const QString& name, int employees)
{
    using namespace kalvor::infobase;
    d.setWorkFolder(dirPath + QLatin1Char('/'));
    CInfoBase& b = d.infoBase;
    b.baseName = kalvor::testsupport::TestBaseName(dirPath, name);
    DeleteBase(dirPath, b.baseName);
    CreateSchemaBase(dirPath, b.baseName);
    OpenBase(b);
    FixtureBase fx = BuildFixtureBase(b, employees, 5);
    BuildFixtureRefFiles(d.refFiles);
    AddFixtureContributionTables(d);
    for (int slot = 1; slot <= b.slotCount(); ++slot) b.attributesOf(slot).err = 0;
    for (auto& r : fx.records) r.head.flags &= ~0x604u;
    SaveFixtureToBase(b, fx);
    LoadAll(b);
}

// A base file of `employees` fixture employees made in the working folder
// `dirPath`, as BuildMonthReadyBase makes it, also while a server is in use
// (the files are chosen for its making), and closed: its path.
inline QString BuildFixtureBaseFile(const QString& dirPath, const QString& name, int employees)
{
    const kalvor::db::ServerAddress server = kalvor::db::Server();
    kalvor::db::UseServer({});
    kalvor::PayrollDoc d;
    BuildMonthReadyBase(d, dirPath, name, employees);
    kalvor::infobase::CloseBase(d.infoBase);
    const QString file = kalvor::infobase::BaseFilePath(dirPath, name);
    kalvor::db::UseServer(server);
    return file;
}

// Everything the base holds, loaded into a fresh document beside the one that
// has it open (for reading what was stored).
inline void ReloadStored(kalvor::PayrollDoc& other, const kalvor::infobase::CInfoBase& base)
{
    other.setWorkFolder(base.workFolder);
    other.infoBase.baseName = base.baseName;
    kalvor::infobase::OpenStoredBase(other.infoBase);
    kalvor::infobase::LoadAll(other.infoBase);
}

} // namespace payrolltest
