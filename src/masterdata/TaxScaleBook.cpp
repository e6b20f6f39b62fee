#include "masterdata/TaxScaleBook.h"

#include "infobase/RefFiles.h"
#include "values/CScan.h"
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

double UnsignedNumber(const QString& text)
{
    int value = 0;
    if (!ScanInt(text, value))
        return 0;
    return double(static_cast<quint32>(value));
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
    int typedMonth = 0, typedYear = 0;
    if (!ScanInt(month, typedMonth) || !ScanInt(year, typedYear))
        return 0;
    if (typedMonth < 1 || typedMonth > kMonthsPerYear)
        return 0;
    const int fullYear = TypedFullYear(typedYear);
    if (fullYear < 0)
        return 0;
    const int period = (fullYear - kFirstYear) * kMonthsPerYear + typedMonth;
    return period > 0xFFFF ? 0 : period;
}

QString FormatTaxPercent(int whole, int hundredths)
{
    if (whole == 0 && hundredths == 0)
        return QString();
    return QStringLiteral("%1.%2").arg(whole).arg(hundredths, 2, 10, QLatin1Char('0'));
}

bool ReadTaxPercent(QStringView text, ib::u8& whole, ib::u8& hundredths)
{
    int typedWhole = 0, fraction = 0;
    if (!ReadWholeAndHundredths(text, typedWhole, fraction))
        return false;
    whole = static_cast<ib::u8>(typedWhole);
    hundredths = static_cast<ib::u8>(fraction);
    return true;
}

std::vector<FigureRule> TaxBandRules()
{
    const FigureRule roubles = WholeFigure(0, std::numeric_limits<int>::max());
    return {roubles, roubles, DecimalFigure(2, 0, 255.99)};
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
        band.lower = UnsignedNumber(cells.value(0));
        band.fixed = UnsignedNumber(cells.value(1));
        ReadTaxPercent(cells.value(2), band.percent, band.hundredths);
    }
    std::stable_sort(scale.begin(), scale.end(), ib::CompareNalogRecords);
}

} // namespace kalvor::masterdata
