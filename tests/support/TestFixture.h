#pragma once
// A realistic in-memory base for tests and benchmarks: a firm, shops, pay
// kinds, schedules, and N employees with Russian names, shops, salaries,
// time sheets, month rows, archive entries, bonus, sick-leave and vacation
// lines. The same seed always gives the same base.
#include "infobase/EmployeeRecord.h"
#include "infobase/InfoBase.h"
#include "infobase/RefFiles.h"

#include <vector>

namespace kalvor::infobase {

struct FixtureBase {
    // Every employee's full record, entry slot - 1 (the base itself holds
    // only the current one).
    std::vector<EmployeeRecord> records;
    // Reporting month of the fixture: March 2026.
    static constexpr int Year = 2026;
    static constexpr int Month = 3;
};

// Fills `base` with `employees` employees (capacity employees + 10% but at
// most CInfoBase::MaxCapacity); list in personnel-number order.
FixtureBase BuildFixtureBase(CInfoBase& base, int employees, unsigned seed = 1);

// Reference tables in the spirit of the fixture (tax tables, professions,
// positions, ranks, deductions, contributions, two recipients).
void BuildFixtureRefFiles(CRefFiles& ref);

// Writes every fixture employee into his slot of the base's swap file
// (the file is created anew).
void WriteFixtureToSwap(CInfoBase& base, const FixtureBase& fixture);

} // namespace kalvor::infobase
