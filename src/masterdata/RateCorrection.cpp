#include "masterdata/RateCorrection.h"

#include "values/Values.h"

namespace kalvor::masterdata {

void FillRateGaps(std::array<infobase::RateHistoryEntry, 12>& rates, int paySystem, bool computed, double computedRate)
{
    if (computed && rates[0].rate == 0)
        rates[0].rate = computedRate;
    if (paySystem == 0)
        return;
    for (std::size_t k = 1; k < 7; ++k)
        if (rates[k].rate == 0)
            rates[k].rate = rates[k - 1].rate;
}

QString RateMonthName(int reportingMonth, int monthsBack)
{
    int month = reportingMonth - monthsBack;
    if (month <= 0)
        month += 12;
    return MonthName(month);
}

int FirstUnreadRate(const std::array<QString, 12>& texts)
{
    for (std::size_t k = 0; k < texts.size(); ++k)
        if (!ReadFigure(QString(), kRateFigure, texts[k]).read)
            return int(k);
    return -1;
}

bool ReadRates(std::array<infobase::RateHistoryEntry, 12>& rates, const std::array<QString, 12>& texts)
{
    bool changed = false;
    for (std::size_t k = 0; k < rates.size(); ++k) {
        const double kopecks = FigureUnitsOr(kRateFigure, texts[k], rates[k].rate);
        changed |= kopecks != rates[k].rate;
        rates[k].rate = kopecks;
    }
    return changed;
}

} // namespace kalvor::masterdata
