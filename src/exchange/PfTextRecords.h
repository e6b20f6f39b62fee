#pragma once
// The records of one insured person in the pension fund's text packs:
// format 7 (ОАЗИС 3.0) writes an ИНДС line with the period's base and
// contributions, an НЧСЛ line per month and a СТАЖ line; format 4 an ИНДС
// line with the address, an НЧСЛ line of the year's totals and one or two
// СТАЖ lines; formats 5 and 6 one ИН42 line. The contribution of a base by
// the employee's age group is shared by both writers.
#include "exchange/PfrExport.h"
#include "exchange/PfrRecordParts.h"

#include <QByteArray>
#include <QDate>

namespace kalvor::exchange {

// The age group of the contribution tables: from 2005 on 1 for those born
// after 1966, else 0; before 2005 2 for those born after 1966, 1 for women
// born after 1956, else 0.
int PfrAgeGroup(int reportYear, int birthYear, bool woman);

// The pension contribution (kopecks, whole) on an amount of kopecks in a
// month (key) by the "sbor" kind at kindIndex and the current employee's age
// group; kind index 0 sums the fifth and the sixth kinds. A failure (a table
// number below 0, -32; no variant of the table for the month, -21) is thrown
// as a TextError with its ExchangeErrorTexts message.
double ContributionChargeByAge(int kindIndex, int month, double amount, const PayrollDoc& doc);

// Format 7: 0 written or counted, 1 left out (dismissed before the year with
// status 4), negative the code of ContributionsByMonths.
int WritePfIndsRecord(PfrRecordCall& call);

// Formats 4, 5 and 6: 0 written or counted, 1 left out, negative an
// ExchangeErrorTexts code (-34 format 6 before 2002, -12 days to be counted
// from hours without a day length, or the code of ContributionsByMonths).
int WritePfIn4Record(PfrRecordCall& call);

// A count of time in months and days; every 30 days make a month.
struct PfrTimeCount {
    int months = 0;
    int days = 0;
    void add(int moreDays);
};

// The days of an entry or a month row: its days, else its hours and minutes
// (whole hours) over the day length in minutes, rounded; -1 when the days
// must come from hours and the day length is 0.
int PfrDaysOfEntry(int days, int hours, int minutes, int dayLengthMinutes);

// A date as the text records write it: "dd/mm/yyyy".
QByteArray PfrSlashedDate(const QDate& date);

} // namespace kalvor::exchange
