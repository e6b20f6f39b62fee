#pragma once
// The firm's labour-participation rules (КТУ) as the rules screen edits them:
// three variants, each four 16-bit rule words (FirmInfo::ktu). A rule word
// holds the percent of the sum the rule distributes (bits 0-6), whether the
// share follows the salary or tariff (bit 7) and the working time (bit 8),
// and how it follows the first and the second coefficient (bits 9-10 and
// 11-12: 0 not at all, 1 proportionally, 2 inversely). The variant's scale
// lies in bits 13-15 of its first word, its formula in those of its second.
#include "infobase/Records.h"
#include "values/TypedFigure.h"

#include <QString>

#include <array>
#include <vector>

namespace kalvor {

using KtuVariants = std::array<std::array<infobase::u16, 4>, 3>;

// What a field of the rules screen holds.
enum class KtuMeasure { Scale, Formula, Percent, SalaryOrTariff, WorkingTime, Coefficient1, Coefficient2 };

// One field of the screen: its control number, variant (0-2), rule (0-3;
// the scale and the formula belong to the variant) and measure.
struct KtuField {
    int controlId = 0;
    int variant = 0;
    int rule = 0;
    KtuMeasure measure = KtuMeasure::Percent;
};

// The 66 fields of form 370, variant by variant: scale, formula, then the
// five measures of rule 1 and, measure by measure, those of rules 2-4.
const std::vector<KtuField>& KtuFields();
// The field of a control number; null when the number is none of them.
const KtuField* FindKtuField(int controlId);

// The largest value a measure takes (scale 3, formula 1, percent 100,
// salary/tariff and working time 1, coefficients 2).
int KtuMeasureMaximum(KtuMeasure measure);
// What the field's input takes: a whole number up to its measure's largest.
FigureRule KtuFieldRule(const KtuField& field);

// The field's value as the rule words hold it.
int KtuFieldValue(const KtuVariants& variants, const KtuField& field);
// Stores a value into the field's bits, the other bits of the word kept; a
// value outside the measure's range is stored as 0. True when the word
// changed.
bool StoreKtuFieldValue(KtuVariants& variants, const KtuField& field, int value);

// The field's text: "%d" of its value, empty for 0.
QString KtuFieldText(const KtuVariants& variants, const KtuField& field);
// Reads a text by the field's rule (KtuFieldRule; empty is 0) into the
// field; one the rule refuses keeps the stored value. True when the
// stored value changed.
bool StoreKtuFieldText(KtuVariants& variants, const KtuField& field, const QString& text);

} // namespace kalvor
