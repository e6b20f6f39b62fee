#pragma once
// The demo firm of the README's first command: a small engineering works with
// about fifty employees in four shops, a reporting month in 2011 and the months
// since January 2010 in the archive, those of 2011 computed by the program.
#include "infobase/InfoBase.h"
#include "payroll/PayrollDocument.h"

#include <QString>

#include <functional>

namespace kalvor::tools {

// Reporting month of the demo base.
constexpr int DemoYear = 2011;
constexpr int DemoMonth = 4;
// The amounts that the sick-leave sheet and the vacation note of the
// reporting month carry, as the engine computes them from the demo data
// (the print tests check that it still does); both are paid before the
// month's pay ("Выплатить в м/р").
constexpr double DemoSickLeaveAmount = 342'948; // kopecks: 3,429.48 roubles
constexpr double DemoVacationAmount = 1'103'872; // kopecks: 11,038.72 roubles
// Name of the demo base in the working folder.
inline QString DemoBaseName() { return QStringLiteral("demo"); }

// Makes the demo base in folder (which holds "empty.bak") when it is missing;
// true when it was made. Built under another name and renamed when complete.
// The firm starts in January of the demo year with 2010 as entered data;
// each month to March is entered, computed and closed by the month change
// with the reference files of referenceFolder (folder when empty), and the
// reporting month is entered, not computed.
// monthComputed, when given, is called with the base's document after each
// of those months is computed and stored, before its month change (tests
// check the month's documents there).
bool MakeDemoBase(const QString& folder, const QString& referenceFolder = {},
                  const std::function<void(PayrollDoc&)>& monthComputed = {});

} // namespace kalvor::tools
