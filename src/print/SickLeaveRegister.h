#pragma once
// The register of sick-leave sheets: one page of the RTF form "bln-reestr"
// per sheet of the selection, with the benefit recomputed for print.
//
// Each employee of a selected sheet is loaded from the base on the calling
// thread's connection; the sheet is computed on a copy by
// CalcSickLeaveBenefit, so the document keeps its own figures.
//
// Value slots of the template, in the order the writer adds them (the template
// is made by tools/make_sick_leave_register_template.py to agree with it):
//   page0  par0 firm, par1 reporting month "апрель 2011", par2 the sheet's
//          number in the register; par3 name "%.20s" (squeezed, with "(%d-й
//          источник финансирования)" for a sheet of a source of financing),
//          par4 personnel number, par5 shop "%.20s"; par6 position "%.56s";
//          par7 "основное" or "по совместительству", par8 INN "%.12s",
//          par9 insurance number "%.14s"; par10 the sheet's kind "%d", par11
//          and par12 its first and last day "%.2d.%.2d.%.4d"; par13 calendar
//          days, par14 percent, par15 the period ("12 месяцев" or "2 года"),
//          par16 continuation mark, par17 excluded days
//   row0   tariff daily pay (row1 instead: the hourly one, for a sheet
//          computed by hours)
//   row2   the unit of the periods: "дней" or "раб-х часов"
//   row3   one per month of the sick leave: from, to, days, percent, amount
//          (row4 instead: "исключенных дней" with their count)
//   row5   one per year of the accounting period ("Сумма за %d год",
//          earnings, days, earnings taken), then "ВСЕГО" and "К расчету"
//          (the divisor and the average)
//   row6   the schedule's norm of the sick days in the reporting month with
//          "дней", and "дневное пособие после ограничения" with its amount
//          (row7 for hours: "часов.минут", "часовое пособие ...")
//   row8   the sheet in one line (row9 for hours): first and last day
//          "%.8s", excluded time "%2d.%02d", days, percent, average, maximum,
//          minimum, daily benefit, benefit
//   row10  average daily earnings; row11 the daily maximum; row12 the
//          benefit of the reporting month; row13 of the months before;
//          row14 the benefit to accrue (RoundWhole)
//   row15  the benefit and its reporting-month part "%10.2f", the benefit in
//          words
//   row16  the chief accountant (fioBuh), row17 the accountant (buhFio), as
//          surname and initials
#include "payroll/PayrollDocument.h"
#include "print/PrintOutput.h"

#include <QByteArray>
#include <QString>

namespace kalvor::print {

inline constexpr char kSickLeaveRegisterTemplate[] = "bln-reestr";

class CTree;

// Adds a page per selected sheet to the tree; returns the pages added.
int FillSickLeaveRegister(CTree& tree, PayrollDoc& doc, const StatementPrintParams& params, int markedOnly);

// The register of the sheets of the selection (shop, brigade, profession,
// personnel number; with markedOnly not 0 the marked employees only) into the
// RTF document made from outputPath (CTree::OutputFileName), opened in the
// viewer. Result 0, or -23 when the document cannot be made (errorText, when
// given, says why; after 0 it holds why the viewer did not show the document,
// or nothing). Throws TextError when the template cannot be read, and
// db::DbError when an employee cannot be loaded.
int PrintSickLeaveRegister(PayrollDoc& doc, const QString& outputPath, const StatementPrintParams& params,
                           int markedOnly, QString* errorText = nullptr);

} // namespace kalvor::print
