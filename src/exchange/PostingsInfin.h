#pragma once
// The postings of the month for the accounting program ИНФИН: the text file
// "infin.txt" in the working folder (windows-1251, CR LF, one ';'-separated
// line per posting), then the ИНФИН loader through the command interpreter.
//
// The writer computes every sum itself from the employees' archive entries
// and month rows, read from the swap work file:
// - section 1, wages and contributions by staff category and shop: the
//   production staff (own cost code 1 on account 2000) and the
//   non-production staff (account 2600), first for the month itself, then
//   the vacation pay and contributions that belong to each of the next three
//   months (categories 2 and 3);
// - section 2, payments from profit, social-insurance benefits and
//   deductions over all selected employees at once.
// Shops 37, 39 and 40 are reported as shop 1; shops above 99 take no part in
// section 1.
#include "exchange/BestPostings.h"
#include "infobase/Records.h"
#include "payroll/PayrollDocument.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <stop_token>

namespace kalvor::exchange {

inline constexpr char kInfinFileName[] = "infin.txt";

// An amount of whole kopecks as the file carries it: the sign, the roubles
// (nothing when there are none), a comma and two digits of kopecks: 1234
// gives "12,34", 56 gives ",56", -5 gives "-,05".
QByteArray InfinAmountText(std::int64_t kopecks);

// One employee's amounts by pay code (0-999), kopecks.
using InfinCodeSums = std::array<double, 1000>;

// The tables of SplitContributionsInfin: row 0 the month, rows 1-3 the next
// three months; columns 0-5 the contributions 990-995, column 6 the
// contribution computed by tax table.
inline constexpr int kInfinTableColumn = 6;
using InfinShareTable = std::array<std::array<double, 7>, 4>;

// The month the postings are for: the report generator's year and month of
// the base configuration, or the reporting month when either is unset.
MonthKey InfinExportMonth(const PayrollDoc& doc);

// The contribution of the row on the sums (kopecks): the base is the sum of
// codes 1-699 but 600 whose pay kind passes the row's base selector; by the
// variant of the row's tax table valid in the reporting month. 0 without a
// table number, without a valid variant or on a base of 0; a negative base
// gives the negative charge of its magnitude.
double ContributionByTaxTable(const PayrollDoc& doc, const InfinCodeSums& sums, const infobase::ContributionKind& row);

// Splits the current employee's contributions between the reporting month
// (row 0: his own sums of 990-995) and the next three months (rows 1-3), in
// the proportion of the vacation pay 87, 97 and 98 to the contribution's
// base; column 6 is charged anew by the tax table of the contribution row
// computed by tax table, 0.6 for each disability period covering the month.
// Returns 0, -32 when that row has no table number, or -21 when no single
// variant of its table is valid in a month.
int SplitContributionsInfin(const PayrollDoc& doc, const InfinCodeSums& sums, InfinShareTable& bases,
                            InfinShareTable& contributions);

// Runs the ИНФИН loader command in the folder (where it finds "infin.txt")
// without a command interpreter: the command is split into the program and
// its arguments (platform::SplitCommandLine; a pipe needs `sh -c "..."`), its
// output goes to the folder's console log. Empty when it ended with 0 or no
// command is given, else the message of its failure (it could not start, was
// stopped, ended abnormally or with its exit code; the command and the first
// lines of its output).
QString RunInfinLoader(const QString& loaderCommand, const QString& folder);

// Writes "infin.txt" (under a temporary name, renamed when complete) and then
// runs the loader command, when one is given (RunInfinLoader), in the working
// folder; its failure goes to loaderFailure (empty when it ran well or none
// was given). Returns 0 when done, 1 when
// stopped (the file stays as it was and the loader is not run), or the
// negative result of SplitContributionsInfin (nothing written). Throws
// TextError "Ошибка чтения файла" for a record that cannot be read whole and
// "Ошибка записи в файл <path>" and why for the file.
int ExportPostingsInfin(std::stop_token stop, PayrollDoc& doc, const PostingsSelection& selection,
                        const QString& loaderCommand, QString* loaderFailure = nullptr);

} // namespace kalvor::exchange
