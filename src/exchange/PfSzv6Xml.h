#pragma once
// The СЗВ-6 record of one insured person in the pension fund's XML pack
// (formats 0-3): the person's identity and address, the insurance and funded
// parts of the pension contribution accrued and paid in the period, and the
// periods of service, split by the dated archive entries in formats 1 and 3.
#include "exchange/PfrExport.h"
#include "exchange/PfrRecordParts.h"
#include "reports/social/PensionXml.h"

#include <QByteArray>
#include <QDate>

#include <vector>

namespace kalvor::exchange {

// Writes (pass 1) or counts (pass 0) the record of the current employee.
// 0 done, 1 the name is blank (nothing written), negative an
// ExchangeErrorTexts code: -34 a period before 2010, -32 a pension part
// without a tax table, -21 no tax-table variant for the month, or the code of
// ContributionsByMonths.
int WritePfSzv6Xml(PfrRecordCall& call);

// What marks the pack file of a kind and format: the inventory of a pack of
// insured persons' data, the form (СЗВ-6-1 or СЗВ-6-2, of the category ООИ or
// not) and the quarters that the inventory and the records state for the
// kind (ChoosePackNumber).
reports::ReportMarkers PfSzv6PackMarkers(int kind, int format, const infobase::FirmInfo& firm);

// The yearly cap of the contribution comparison, kopecks: 415,000 roubles
// for the report year 2010, 463,000 for every other.
double PfrSzv6Cap(int reportYear);

// The pension contributions of the period, kopecks.
struct PfrPensionSums {
    double insuranceAccrued = 0, fundedAccrued = 0;
    double insurancePaid = 0, fundedPaid = 0;
};

// The paid loop over the firm's report months and the accrued loop from
// January to lastMonth, added from firstMonth on (month keys of one year).
int PfrSzv6PensionSums(const PayrollDoc& doc, int firstRow, int firstMonth, int lastMonth, PfrPensionSums& out);

// One month's figures of a pension part (kopecks) from the cumulated table
// of January up to the month.
struct PfrPartFigures {
    double a = 0, b = 0, c = 0, d = 0;
};
PfrPartFigures PfrPartFiguresOf(double prior, double current, double currentDisability, double priorDisability);

// The excess over the cap carried to the next months, from the part e's
// figures; returns the carried value unchanged when the part stays below it.
double PfrCarriedExcess(const PfrPartFigures& part, double cap, double carried);

// A dated archive entry reduced to what the periods of service read.
struct PfrServiceEntry {
    QDate start, end;
    int kod = 0;
};

// One line of a period of service.
struct PfrServiceLine {
    int number = 0;
    QDate start, end;
    int kod = 0; // the privileged entry's pay kind, 0 for an ordinary line
};

// The code of a privileged pay kind ("ДОГОВОР", "ВРНЕТРУД", "ДЕКРЕТ", "ДЕТИ",
// "АДМИНИСТР"), UTF-8; nullptr for a kind without one.
const char* PfrPrivilegeCode(int kod);

// The lines of one sweep over first..last: with severalLines the entries
// (ordered by start) split it into ordinary and privileged lines; without,
// one line. Entries whose kind has no code take no part.
std::vector<PfrServiceLine> PfrServiceSweep(const QDate& first, const QDate& last,
                                            const std::vector<PfrServiceEntry>& entries, bool severalLines);

// The bounds of the periods of service in the year: the main period, and the
// second one when the second employment counts.
struct PfrServicePeriods {
    QDate mainStart, mainEnd;
    QDate secondStart, secondEnd;
    bool second = false;
};
PfrServicePeriods PfrServiceBounds(const infobase::EmployeeHead& head, int year, int firstMonth, int lastMonth);

// The region, district, city ... name split into the name and its official
// abbreviation at either end, as the contributions file splits it
// (reports::SplitPlace).
struct PfrPlaceName {
    QByteArray name;
    QByteArray abbreviation;
};
PfrPlaceName PfrSplitPlaceName(const QByteArray& text, reports::PlaceLevel level);

} // namespace kalvor::exchange
