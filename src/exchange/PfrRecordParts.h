#pragma once
// The pieces that the contribution records of the pension-fund packs share:
// the contribution table of a run of months, the dating of the benefit
// amounts, the insurance number with its check number, the words of the name,
// the parts of the address and the no-pension list line.
//
// Months are month keys (year * 16 + month); amounts are kopecks.
#include "payroll/PayrollDocument.h"
#include "reports/social/EmployeeContributions.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>

namespace kalvor::exchange {

// The XML record works with the first seven "sbor" kinds; the fifth and the
// sixth are the insurance and the funded part of the pension contribution.
inline constexpr int kPfrXmlKindCount = 7;
inline constexpr int kPfrInsuranceKind = 4;
inline constexpr int kPfrFundedKind = 5;

// The firm's by-accrual-month flag (bit 0 of the parameter word).
bool PfrByAccrualMonth(const PayrollDoc& doc);

// The first month row of the employee in record slot `slot` that the
// contribution arithmetic reads.
int PfrFirstPayRow(const PayrollDoc& doc, int slot);

// The employee's status in record slot `slot`: 0 working, 3 and 4 the dismissal
// states of the attribute record (priznUv).
int PfrEmployeeStatus(const PayrollDoc& doc, int slot);

// ContributionsByMonths from firstMonth to lastMonth over the first kindCount
// "sbor" kinds (kinds beyond the file's end are empty ones; the document's
// list is not changed) and the current record's month rows from firstRow on.
// Returns 0 or the arithmetic's negative code.
int PfrContributions(const PayrollDoc& doc, int kindCount, int firstMonth, int lastMonth, int firstRow, int monthRule,
                     reports::EmployeeContributions& out);

// The number of "sbor" kinds that the text records pass: the file's count,
// but at least the two pension parts (missing ones are empty kinds).
int PfrAllKindCount(const PayrollDoc& doc);

// The "sbor" kind at index, or an empty one past the file's end.
infobase::ContributionKind PfrContributionKind(const PayrollDoc& doc, int index);

// One dated amount of the current record: an archive entry or a month row.
struct PfrDatedAmount {
    int month = 0; // month key it counts in
    int kod = 0;
    double sum = 0;
    int days = 0, hours = 0, minutes = 0;
    bool archive = false;
};

// The month of a month row dated by its own month number when the firm dates
// by accrual month: the reporting year, moved to the next year when the
// reporting month is above 5 and the row's month below it less 6, to the
// previous year when the reporting month is 5 or less and the row's month
// above it plus 5.
int PfrRowMonth(int rowMonth, int reportingKey);

// Visits every archive entry (dated by its paid month when the firm's flag is
// clear and it carries one, else by its own month) and every month row from
// firstRow up to row 60 (dated by the reporting month when the flag is clear,
// else by PfrRowMonth).
void PfrForEachDatedAmount(const PayrollDoc& doc, int firstRow,
                           const std::function<void(const PfrDatedAmount&)>& visit);

// The benefit category of a pay kind: 0 sick leave and its kin (103, 104,
// 110-112, 155-157), 1 maternity (158, 159), 2 the benefit for an injury at work
// (195-197), -1 none.
int PfrBenefitCategory(int kod);

// The three benefit sums of the amounts dated within firstMonth..lastMonth.
std::array<double, 3> PfrBenefitSums(const PayrollDoc& doc, int firstRow, int firstMonth, int lastMonth);

// The insurance number as the records write it: the 11 stored characters with
// their blanks dropped and the rest filled with blanks, and the check number
// the card holds after them, or where it holds none the one of its first
// nine digits (InsuranceCheckNumber): a file never holds a number other
// than the card's, and the export says a wrong one.
struct PfrInsuranceNumber {
    QByteArray field; // 11 characters
    int check = 0;
    bool blank = true; // nothing but blanks
    bool allZero = false; // every digit and the check number 0
    // The 11 characters, a blank and the two check digits.
    QByteArray withCheck() const;
};
PfrInsuranceNumber PfrInsuranceNumberOf(const QString& strahPolis);

// The word of the 50-character name at index (0 surname, 1 first name,
// 2 patronymic), upper-cased in windows-1251; empty when there are fewer.
QByteArray PfrNameWord(const QString& fio, int index);

// The list line of "no_pensN.txt": "%d - %s\r\n" with the squeezed name.
QByteArray PfrNoPensionLine(int personnelNumber, const QString& fio);

// The first width characters in windows-1251, blanks squeezed; upper-cased.
QByteArray PfrSqueezed(const QString& text, int width);
QByteArray PfrSqueezedUpper(const QString& text, int width);
QByteArray PfrUpper(QByteArray text);

// The first width characters of a text of the firm record, windows-1251.
QByteArray PfrFirmText(const infobase::FirmInfo& firm, infobase::FirmInfo::Text which, int width);

// The two-digit region code of the address, read as a number.
int PfrRegionCode(const infobase::EmployeeHead& head);

// The day count of a month as the records count it (February always 28).
int PfrMonthLength(int month);

} // namespace kalvor::exchange
