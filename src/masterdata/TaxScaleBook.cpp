#include "masterdata/TaxScaleBook.h"

#include "infobase/RefFiles.h"
#include "values/Values.h"

#include <algorithm>
#include <limits>

namespace kalvor::masterdata {

namespace ib = infobase;

namespace {

constexpr int kFirstYear = 1900;
constexpr int kMonthsPerYear = 12;

// The full year of a typed year: two digits through the clock's window, a
// four-digit year from 1900 on as typed; -1 for anything else.
int TypedFullYear(int year)
{
    if (year >= 0 && year < 100)
        return WidenTwoDigitYear(year);
    if (year >= kFirstYear && year <= 9999)
        return year;
    return -1;
}

QString WholeNumber(double value) { return value == 0 ? QString() : QString::number(value, 'f', 0); }

// A band's cell read by its column's rule (TaxBandRules, the rule the grid
// declares), in units of its last place; a text the rule refuses keeps the
// stored value.
double BandUnitsOr(const QStringList& cells, int column, double stored)
{
    return FigureUnitsOr(TaxBandRules()[std::size_t(column)], cells.value(column), stored);
}

bool AllEmpty(const QStringList& cells)
{
    return std::all_of(cells.begin(), cells.end(), [](const QString& c) { return c.trimmed().isEmpty(); });
}

} // namespace

TaxPeriodTexts FormatTaxPeriod(int period)
{
    if (period <= 0)
        return {};
    int month = period % kMonthsPerYear;
    int years = period / kMonthsPerYear;
    if (month == 0) {
        month = kMonthsPerYear;
        --years;
    }
    const int year = (kFirstYear + years) % 100;
    return {QString::number(month), QStringLiteral("%1").arg(year, 2, 10, QLatin1Char('0'))};
}

int ReadTaxPeriod(QStringView month, QStringView year, int stored)
{
    if (FormatTaxPeriod(stored) == TaxPeriodTexts{month.toString(), year.toString()})
        return stored;
    const FigureReading typedMonth = ReadFigure(QString(), kTaxPeriodMonthRule, month);
    const FigureReading typedYear = ReadFigure(QString(), kTaxPeriodYearRule, year);
    if (!typedMonth.read || !typedYear.read)
        return stored;
    if (typedMonth.units == 0)
        return 0;
    const int fullYear = TypedFullYear(int(typedYear.units));
    const int period = (fullYear - kFirstYear) * kMonthsPerYear + int(typedMonth.units);
    return fullYear < 0 || period > 0xFFFF ? stored : period;
}

QString FormatTaxPercent(int whole, int hundredths)
{
    if (whole == 0 && hundredths == 0)
        return QString();
    return QStringLiteral("%1.%2").arg(whole).arg(hundredths, 2, 10, QLatin1Char('0'));
}

bool ReadTaxPercent(QStringView text, ib::u8& whole, ib::u8& hundredths)
{
    const FigureReading reading = ReadFigure(QString(), TaxBandRules()[2], text);
    if (!reading.read)
        return false;
    whole = static_cast<ib::u8>(int(reading.units) / 100);
    hundredths = static_cast<ib::u8>(int(reading.units) % 100);
    return true;
}

std::vector<FigureRule> TaxBandRules()
{
    const FigureRule roubles = WholeFigure(0, std::numeric_limits<int>::max());
    return {roubles, roubles, RatePercentFigure(2, 100)}; // a tax rate
}

QStringList TaxBandTexts(const ib::TaxScaleBand& band)
{
    return {WholeNumber(band.lower), WholeNumber(band.fixed), FormatTaxPercent(band.percent, band.hundredths)};
}

void ReadTaxBands(const std::vector<QStringList>& rows, TaxScale& scale)
{
    for (std::size_t i = 0; i < scale.size(); ++i) {
        ib::TaxScaleBand& band = scale[i];
        const QStringList cells = i < rows.size() ? rows[i] : QStringList();
        if (cells == TaxBandTexts(band))
            continue;
        if (AllEmpty(cells)) {
            band = {};
            continue;
        }
        band.lower = BandUnitsOr(cells, 0, band.lower);
        band.fixed = BandUnitsOr(cells, 1, band.fixed);
        ReadTaxPercent(cells.value(2), band.percent, band.hundredths);
    }
    std::stable_sort(scale.begin(), scale.end(), ib::CompareNalogRecords);
}

} // namespace kalvor::masterdata
