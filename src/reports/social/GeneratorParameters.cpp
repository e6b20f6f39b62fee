#include "reports/social/GeneratorParameters.h"

#include "infobase/InfoBaseDb.h"
#include "values/TypedFigure.h"

#include <climits>

namespace kalvor::reports {

using infobase::FirmInfo;

namespace {

// The firm's word that holds the choice.
template <class Firm>
auto& ChoiceWord(Firm& firm, GeneratorChoice choice)
{
    switch (choice) {
    case GeneratorChoice::SimplifiedTaxation: return firm.uproshWord;
    case GeneratorChoice::SeparateDivision: return firm.obosobWord;
    default: return firm.parWord;
    }
}

infobase::u16 ChoiceMask(GeneratorChoice choice)
{
    switch (choice) {
    case GeneratorChoice::SimplifiedTaxation: return 0x1000;
    case GeneratorChoice::ListInNameOrder: return 0x20;
    default: return 0x1;
    }
}

} // namespace

bool ReportYearAccepted(int year) { return year == 0 || (year >= kFirstParameterYear && year <= kLastParameterYear); }

QString ReportYearRefusedText()
{
    return QStringLiteral("Отчетный год должен быть в пределах от %1 до %2.\nОставлен прежний год")
        .arg(kFirstParameterYear)
        .arg(kLastParameterYear);
}

QString ReportYearRefusal(const QString& field, const QString& text)
{
    const FigureReading reading = ReadFigure(field, WholeFigure(INT_MIN, INT_MAX), text);
    if (!reading.read || reading.units == 1900 || ReportYearAccepted(int(reading.units)))
        return reading.refusal;
    return ReadFigure(field, WholeFigure(kFirstParameterYear, kLastParameterYear), text).refusal;
}

bool GeneratorChoiceSet(const FirmInfo& firm, GeneratorChoice choice)
{
    return (ChoiceWord(firm, choice) & ChoiceMask(choice)) != 0;
}

bool SetGeneratorChoice(FirmInfo& firm, GeneratorChoice choice, bool on)
{
    infobase::u16& word = ChoiceWord(firm, choice);
    const infobase::u16 changed =
        on ? infobase::u16(word | ChoiceMask(choice)) : infobase::u16(word & ~ChoiceMask(choice));
    if (changed == word)
        return false;
    word = changed;
    return true;
}

} // namespace kalvor::reports
