#pragma once
// A base file of fixture employees that the month's calculation runs over, as
// the calculation screen runs it, for the benchmark and for the test that the
// stored results stay the same: the fixture with the pay kinds and tax tables
// the engine needs, optionally with the archive of a demo-firm employee
// (about 90 entries) and with one brigade sharing a bonus fund.
#include "infobase/InfoBaseDb.h"
#include "payroll/PayKinds.h"
#include "payroll/PayrollDocument.h"
#include "platform/Db.h"
#include "support/TestBaseName.h"
#include "support/TestFixture.h"
#include "values/Values.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace payrolltest {

struct MonthRunShape {
    int employees = 1000;
    bool demoWeightArchive = false; // about 90 archive entries a record instead of 24
    int brigadeMembers = 0; // the first employees share brigade bonuses
    int brigades = 7; // the brigades (shops) the members are dealt into in turn
};

// The bonus code that the brigade shares.
inline constexpr int kBrigadeBonusCode = 36;

inline kalvor::infobase::PayKind MonthRunKind(int code)
{
    kalvor::infobase::PayKind k;
    k.kod = std::uint16_t(code);
    if (code < 700) {
        k.oblPodoh = 1;
        k.fond = 1;
        k.kodDoh = 2000;
    } else {
        k.vedShap = 1;
    }
    return k;
}

// Twelve months of a demo employee's archive: salary, bonus, evening and night
// hours, sick pay, a payout, tax, advance, the fee and the contributions.
inline void AddDemoWeightArchive(kalvor::infobase::EmployeeRecord& rec)
{
    using namespace kalvor::infobase;
    const int codes[] = {18, 21, 22, 35, 155, 901, 904};
    const int firstNew = rec.warKv;
    for (int i = 0; i < firstNew && rec.warKv < EmployeeRecord::ArchiveCapacity; ++i) {
        const WariaEntry month = rec.waria[std::size_t(i)];
        if (month.kod != 1)
            continue;
        for (const int code : codes) {
            WariaEntry& e = rec.waria[std::size_t(rec.warKv++)];
            e = month;
            e.kod = std::uint16_t(code);
            e.sum = std::round(month.sum * (code < 700 ? 0.05 : 0.4) / 100) * 100;
            e.dn = code == 155 ? 2 : 0;
            e.hr = code == 21 || code == 22 ? 8 : 0;
        }
    }
}

// The first `members` employees, dealt in turn into `brigades` brigades (the
// shops from 15 on), share a fund of 500,000 roubles by the first rule: 60 %
// by rate x worked time, 40 % by the line's count of days.
inline void AddBrigade(kalvor::infobase::CInfoBase& base, int members, int brigades = 7)
{
    using namespace kalvor::infobase;
    base.firm.ktu[0] = {std::uint16_t(60 | 0x80 | 0x100), std::uint16_t(40 | 0x100), 0, 0};
    for (int i = 0; i < members && i < base.employeeCount(); ++i) {
        const int slot = base.list[std::size_t(i)].slot;
        std::vector<BonusLine> lines = base.prem.run(slot);
        BonusLine brigade;
        brigade.kod = kBrigadeBonusCode;
        brigade.procent = 3;
        brigade.sum = 50'000'000;
        brigade.ceh = std::uint16_t(15 + i % std::max(brigades, 1));
        lines.push_back(brigade);
        base.prem.replaceRun(slot, lines);
    }
}

// Makes the base `name` in `folder` (on a server, the test's own of that
// name: TestBaseName), fills it from the fixture and loads it into doc; the
// reference tables come from the fixture.
inline void BuildMonthRunBase(kalvor::PayrollDoc& doc, const QString& folder, const QString& name,
                              const MonthRunShape& shape)
{
    using namespace kalvor::infobase;
    CInfoBase& base = doc.infoBase;
    doc.setWorkFolder(folder + QLatin1Char('/'));
    base.baseName = kalvor::testsupport::TestBaseName(folder, name);
    CreateSchemaBase(folder, base.baseName);
    OpenBase(base);
    FixtureBase fx = BuildFixtureBase(base, shape.employees, 42);
    BuildFixtureRefFiles(doc.refFiles);
    for (int code : {18,  19,  21,  22,  36,  40,  41,  53,  61,  64,  85,  86,  87,  111, 112, 116, 153,
                     155, 156, 157, 158, 600, 901, 903, 904, 911, 912, 913, 914, 919, 921, 922, 923})
        if (kalvor::FindPayKind(doc, code) < 0)
            base.addPayKind(MonthRunKind(code));
    for (int t = 2; t < 10; ++t) {
        auto& v = doc.refFiles.nalog[std::size_t(t)].variants[0];
        v.first = std::uint16_t(kalvor::MonthIndex(FixtureBase::Year, 1));
        v.cumulative = 1;
        v.scale[0] = TaxScaleBand{0, 0, std::uint8_t(t), 20, 0};
    }
    doc.refFiles.sbor[3].code = 995;
    doc.refFiles.sborCount = 4;
    if (shape.demoWeightArchive)
        for (EmployeeRecord& rec : fx.records) AddDemoWeightArchive(rec);
    AddBrigade(base, shape.brigadeMembers, shape.brigades);
    SaveAll(base, fx.records);
    LoadAll(base);
}

} // namespace payrolltest
