#pragma once
// The relations that a report form's lines hold between each other: an "of
// which" line (or several together) is never larger than its whole, and a
// total is the sum of its lines. The report editors check them on the values
// as a save would leave them and keep nothing that breaks one; the writers
// check them before they write a report's files, so no file or print form is
// made of figures that contradict each other.
#include "reports/social/PensionContributions.h"
#include "reports/social/ReportRun.h"

#include <QString>

#include <optional>
#include <vector>

namespace kalvor::reports {

struct FigureRelation {
    enum Kind {
        PartOfWhole, // the part is at most the whole
        TotalOfLines, // the total equals its lines
        GivenWith, // the part, when not 0, comes with the whole given (not 0)
    };
    Kind kind;
    // What the refusal says first ("Часть больше целого").
    QString heading;
    // The part (or the lines of a total) and the whole (or the total), as the
    // refusal names them, with their values.
    QString part;
    double partValue;
    QString whole;
    double wholeValue;
    // The report value whose field is selected when the relation is broken.
    int focus;
    // Places after the point the values are shown with: 2 for money, 0 for counts.
    int decimals = 2;

    // Compared to the kopeck.
    bool holds() const;
    // "<heading>: <part> — 5000.00, <whole> — 1000.00." ("<whole> — нет."
    // for a whole not given)
    QString refusal() const;
};

// An "of which" relation, refused as "Часть больше целого".
FigureRelation PartOfWholeRelation(const QString& part, double partValue, const QString& whole, double wholeValue,
                                   int focus);
// A total and its lines, refused as "Итог не равен сумме своих строк".
FigureRelation TotalOfLinesRelation(const QString& lines, double linesValue, const QString& total, double totalValue,
                                    int focus);

// A sum that needs what identifies it (a payment order's date and number),
// refused as "Сумма платежного поручения без его даты и номера".
FigureRelation GivenWithRelation(const QString& sum, double sumValue, const QString& given, bool isGiven, int focus);

// The first relation that does not hold, none when all hold.
std::optional<FigureRelation> BrokenRelation(const std::vector<FigureRelation>& relations);

// The pension-fund report (RSV-1): in each column the payments of the
// quarter's three months (141-143) are part of line 140, and its whole in a
// period of the first quarter; in each part of Section 5 line 520 (paid) is
// part of 510 (the debt at the start) and 530 is 510 less 520; line 431 is
// part of 430 and 436 of 435.
std::vector<FigureRelation> PensionFigureRelations(const GenrValueArray& v, const ReportPeriod& period);

// The 4-FSS settlement of the year: table 1's lines 13 and 14 are parts of
// line 12, and (in the form from 2011) lines 10 and 11 of line 9, the fund's
// debt at the end; the cases of table 2's line 1 are at most its days (a case
// has one day at least); line 3 of table 4.1 is part of line 2; a payment
// order of tables 1 and 7 with a sum has its date and number.
std::vector<FigureRelation> Fss4FigureRelations(const GenrValueArray& v, int year);

} // namespace kalvor::reports
