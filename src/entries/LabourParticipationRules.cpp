#include "entries/LabourParticipationRules.h"

#include "values/Values.h"

namespace kalvor {

namespace {

// Where a measure lies in its rule word: the first bit and the bit count.
struct BitPlace {
    int shift;
    int width;
};

BitPlace PlaceOf(KtuMeasure measure)
{
    switch (measure) {
    case KtuMeasure::Scale:
    case KtuMeasure::Formula: return {13, 3};
    case KtuMeasure::Percent: return {0, 7};
    case KtuMeasure::SalaryOrTariff: return {7, 1};
    case KtuMeasure::WorkingTime: return {8, 1};
    case KtuMeasure::Coefficient1: return {9, 2};
    case KtuMeasure::Coefficient2: return {11, 2};
    }
    return {0, 0};
}

// The word of its variant a field lives in: the scale in the first word,
// the formula in the second, a rule's measures in the rule's own word.
std::size_t WordIndex(const KtuField& field)
{
    switch (field.measure) {
    case KtuMeasure::Scale: return 0;
    case KtuMeasure::Formula: return 1;
    default: return std::size_t(field.rule);
    }
}

// The control numbers of one variant, from its first one: the scale, the
// formula, rule 1's five measures, then rules 2-4 measure by measure.
void AddVariantFields(std::vector<KtuField>& fields, int variant, int first)
{
    fields.push_back({first, variant, 0, KtuMeasure::Scale});
    fields.push_back({first + 1, variant, 0, KtuMeasure::Formula});
    const KtuMeasure measures[] = {KtuMeasure::Percent, KtuMeasure::SalaryOrTariff, KtuMeasure::WorkingTime,
                                   KtuMeasure::Coefficient1, KtuMeasure::Coefficient2};
    for (int row = 0; row < 5; ++row) fields.push_back({first + 2 + row, variant, 0, measures[row]});
    for (int row = 0; row < 5; ++row)
        for (int rule = 1; rule < 4; ++rule)
            fields.push_back({first + 7 + row * 3 + rule - 1, variant, rule, measures[row]});
}

} // namespace

const std::vector<KtuField>& KtuFields()
{
    static const std::vector<KtuField> fields = [] {
        std::vector<KtuField> all;
        for (int variant = 0; variant < 3; ++variant) AddVariantFields(all, variant, 1251 + variant * 22);
        return all;
    }();
    return fields;
}

const KtuField* FindKtuField(int controlId)
{
    for (const KtuField& field : KtuFields())
        if (field.controlId == controlId)
            return &field;
    return nullptr;
}

int KtuMeasureMaximum(KtuMeasure measure)
{
    switch (measure) {
    case KtuMeasure::Scale: return 3;
    case KtuMeasure::Formula: return 1;
    case KtuMeasure::Percent: return 100;
    case KtuMeasure::SalaryOrTariff:
    case KtuMeasure::WorkingTime: return 1;
    case KtuMeasure::Coefficient1:
    case KtuMeasure::Coefficient2: return 2;
    }
    return 0;
}

int KtuFieldValue(const KtuVariants& variants, const KtuField& field)
{
    const BitPlace place = PlaceOf(field.measure);
    const infobase::u16 word = variants[std::size_t(field.variant)][WordIndex(field)];
    return (word >> place.shift) & ((1 << place.width) - 1);
}

bool StoreKtuFieldValue(KtuVariants& variants, const KtuField& field, int value)
{
    if (value < 0 || value > KtuMeasureMaximum(field.measure))
        value = 0;
    const BitPlace place = PlaceOf(field.measure);
    const unsigned mask = ((1u << place.width) - 1) << place.shift;
    infobase::u16& word = variants[std::size_t(field.variant)][WordIndex(field)];
    const auto stored = infobase::u16((word & ~mask) | ((unsigned(value) << place.shift) & mask));
    if (stored == word)
        return false;
    word = stored;
    return true;
}

FigureRule KtuFieldRule(const KtuField& field) { return WholeFigure(0, KtuMeasureMaximum(field.measure)); }

QString KtuFieldText(const KtuVariants& variants, const KtuField& field)
{
    return FormatIntField(KtuFieldValue(variants, field));
}

bool StoreKtuFieldText(KtuVariants& variants, const KtuField& field, const QString& text)
{
    const int value = int(FigureUnitsOr(KtuFieldRule(field), text, KtuFieldValue(variants, field)));
    return StoreKtuFieldValue(variants, field, value);
}

} // namespace kalvor
