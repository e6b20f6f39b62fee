#pragma once
// The demo firm of the README's first command: a small engineering works with
// about fifty employees in four shops, a reporting month in 2011 and the months
// since January 2010 in the archive.
#include "infobase/InfoBase.h"

#include <QString>

namespace kalvor::tools {

// Reporting month of the demo base.
constexpr int DemoYear = 2011;
constexpr int DemoMonth = 4;
// The amounts that the sick-leave sheet and the vacation note of the
// reporting month carry, as the engine computes them from the demo data
// (the print tests check that it still does); both are paid before the
// month's pay ("Выплатить в м/р").
constexpr double DemoSickLeaveAmount = 342'948; // kopecks: 3,429.48 roubles
constexpr double DemoVacationAmount = 1'115'334; // kopecks: 11,153.34 roubles
// Name of the demo base in the working folder.
inline QString DemoBaseName() { return QStringLiteral("demo"); }

// Fills an opened base (made from the empty template, tables loaded) with the
// demo firm in memory: firm record, shops, extra pay kinds, employees with
// their records, time sheets, bonuses, sick leave and vacation, the lists.
// records receives every employee's record, index slot - 1.
void BuildDemoFirm(infobase::CInfoBase& base, std::vector<infobase::EmployeeRecord>& records,
                   std::vector<infobase::WarDatBlock>& warDat);

// Makes the demo base in folder (which holds "empty.bak") when it is missing;
// true when it was made. Built under another name and renamed when complete.
bool MakeDemoBase(const QString& folder);

} // namespace kalvor::tools
