#pragma once
// The tax-scale book without its screen: a table's two validity periods as
// month and two-digit year, its recalculation flags, and the ten bands of
// each variant's scale as the grids show them and read them back.
//
// A period counts months as (year - 1900) x 12 + month, as the calculation
// and the "nalog" file count them (January 2024 = 1489); a typed two-digit
// year is widened by the clock's window, a four-digit year is kept.
#include "infobase/Records.h"
#include "values/TypedFigure.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <vector>

namespace kalvor::masterdata {

constexpr int kTaxTableCount = 20;
constexpr int kTaxBandCount = 10;

using TaxScale = std::array<infobase::TaxScaleBand, kTaxBandCount>;

struct TaxPeriodTexts {
    QString month; // "%d"
    QString year; // "%.2d" of the year modulo 100
    friend bool operator==(const TaxPeriodTexts&, const TaxPeriodTexts&) = default;
};

// The texts of a stored period; both empty when it is not set (0).
TaxPeriodTexts FormatTaxPeriod(int period);
// What the period's month and year fields take: the rules the screen's inputs
// declare and ReadTaxPeriod reads their texts by.
inline constexpr FigureRule kTaxPeriodMonthRule = WholeFigure(0, 12);
inline constexpr FigureRule kTaxPeriodYearRule = WholeFigure(0, 2099);
// A variant's recalculation flag takes its two values: 0, the tax charged for
// the month alone; 1, recalculated over the period from the start of the year.
inline constexpr FigureRule kTaxRecalcFlagRule = WholeFigure(0, 1);
// A typed month and year: the stored period when the texts are the ones it
// shows (a visit never moves a period), otherwise the period they name; 0
// (no period) for an empty month or month 0. A text its rule refuses, or a
// year that is neither two digits nor from 1900, keeps the stored period.
int ReadTaxPeriod(QStringView month, QStringView year, int stored);

// "%d.%.2d" of whole percent and hundredths; empty when both are 0.
QString FormatTaxPercent(int whole, int hundredths);
// The percent read by its column's rule (TaxBandRules: two places, "13.5" is
// 13.50, "13,05" 13.05); an empty text is 0. False (nothing stored) for a
// text the rule refuses (a third decimal, a sign, a letter).
bool ReadTaxPercent(QStringView text, infobase::u8& whole, infobase::u8& hundredths);

// What a typed cell of a band takes: threshold and first addend whole
// roubles (what "%d" holds), the percent with two places from 0 to 100, a
// share of what passes the threshold (a percent stored above 100 is kept
// until another is typed).
std::vector<FigureRule> TaxBandRules();
// Threshold, first addend and percent of a band (whole roubles; 0 empty).
QStringList TaxBandTexts(const infobase::TaxScaleBand& band);
// The grid's ten rows back into the scale: a row whose texts are the ones its
// band shows keeps the band as it is; a row with all cells empty is an empty
// band; otherwise each cell is read by its column's rule (TaxBandRules; a
// cell the rule refuses keeps the band's value), and the band keeps the value
// the grid does not show. The bands are then sorted by threshold, empty bands last.
void ReadTaxBands(const std::vector<QStringList>& rows, TaxScale& scale);

} // namespace kalvor::masterdata
