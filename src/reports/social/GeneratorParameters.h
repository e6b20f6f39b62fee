#pragma once
// The parameters that every report of the generator reads from the base: the
// reporting period of the configuration, the firm's codes and names, and four
// choices kept as bits of the firm record. The generator's parameters screen
// and the additional functions' parameters screen read and check them here.
#include "infobase/InfoBase.h"

#include <QString>

namespace kalvor::reports {

// The report years a base can keep: 1994 up to the last year the period byte
// (year - 1900, unsigned) holds; 0 means "not set" (the year of the base's
// reporting month).
inline constexpr int kFirstParameterYear = 1994;
inline constexpr int kLastParameterYear = 1900 + 255;
bool ReportYearAccepted(int year);
// The text shown when a typed year is refused (the stored year is kept).
QString ReportYearRefusedText();
// The refusal of a report year typed into the named field; empty for nothing,
// for a year the base keeps (ReportYearAccepted) and for 1900 (an older
// screen's "not set").
QString ReportYearRefusal(const QString& field, const QString& text);

// The four choices of the parameters, as bits of the firm record.
enum class GeneratorChoice {
    IncomeByAccrualDate, // bit 0 of the parameter word
    SimplifiedTaxation, // bit 12 of the simplified-taxation word
    SeparateDivision, // bit 0 of the separate-division word
    ListInNameOrder, // bit 5 of the parameter word: the employee list in name order
};
bool GeneratorChoiceSet(const infobase::FirmInfo& firm, GeneratorChoice choice);
// Sets or clears the choice; true when it changed.
bool SetGeneratorChoice(infobase::FirmInfo& firm, GeneratorChoice choice, bool on);

// The changed parameters are stored with infobase::StoreFirmParameters.

} // namespace kalvor::reports
