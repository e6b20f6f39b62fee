#pragma once
// A small document for the statement tests: a firm, two shops, employees
// with short names, shops, brigades and advances, and their sick-leave
// sheets and vacation notes. Reporting month April 2011; no pay kinds, so
// amounts round by the base settings (whole kopecks, payout in kopecks).
#include "infobase/EmployeeRecord.h"
#include "payroll/PayrollDocument.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace kalvor::printtest {

struct StatementEmployee {
    int personnelNumber = 0;
    int shop = 1;
    int brigade = 0;
    double advance = 0; // kopecks
};

// Employees get slots 1, 2, ... in the given order and stand in the list in it.
void BuildStatementDoc(PayrollDoc& doc, const std::vector<StatementEmployee>& employees);
// count employees numbered 101, 102 ... with advances of 1,000.50, 1,001.50 ...
// roubles, all in shop 1.
std::vector<StatementEmployee> NumberedEmployees(int count);

// The employees' full records for the document of BuildStatementDoc: full
// names ("Алексеев Андрей Викторович" ...) and Russian passports (series
// "19 03", numbers 512340, 512341 ..., issued 12.05.2003 by "ОВД г.
// Вологды"), records[slot - 1].
std::vector<infobase::EmployeeRecord> StatementRecords(const PayrollDoc& doc);
// Creates the base file "orders" in folder, opens it and stores the
// document's tables and the records; the base stays open.
void StoreInNewBase(PayrollDoc& doc, const QString& folder, const std::vector<infobase::EmployeeRecord>& records);

// Compares windows-1251 text with the golden file of tests/print/golden line
// by line; KALVOR_UPDATE_GOLDEN=1 rewrites the file instead.
void ExpectGolden(const char* name, const QByteArray& actual);

} // namespace kalvor::printtest
