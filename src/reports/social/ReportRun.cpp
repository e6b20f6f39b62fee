#include "reports/social/ReportRun.h"

#include "platform/CodePage.h"
#include "values/Values.h"

#include <algorithm>

namespace kalvor::reports {

infobase::Selection ReportSelection::toInfoBaseSelection(int markedCount) const
{
    infobase::Selection s;
    s.shop = shop;
    s.brigade = brigade;
    s.profession = profession;
    s.tabN = tabN;
    s.flag = markedCount > 0 ? 1 : 0;
    return s;
}

bool SelectsReportEmployee(const infobase::CInfoBase& base, const infobase::EmployeeListEntry& entry,
                           const ReportSelection& selection, int markedCount)
{
    if (markedCount > 0) {
        if (!entry.marked())
            return false;
    } else if (selection.tabN != 0 && entry.tabN() != selection.tabN) {
        return false;
    }
    const std::size_t slot = entry.slot;
    if (slot < 1 || slot > base.attributes.size())
        return false;
    if (selection.shop != 0 && (slot >= base.shopBytes.size() || base.shopBytes[slot] != selection.shop))
        return false;
    const infobase::EmployeeAttributes& attributes = base.attributes[slot - 1];
    if (selection.brigade != 0 && std::uint8_t(attributes.brig) != selection.brigade)
        return false;
    if (selection.profession != 0 && attributes.prof != selection.profession)
        return false;
    return true;
}

ReportPeriod ResolveReportPeriod(const infobase::InfoBaseConfig& config, const ReportPeriodRules& rules)
{
    ReportPeriod period;
    period.year = config.r_g != 0 ? 1900 + config.r_g : config.reportingYear();
    period.firstMonth = config.r_m1 != 0 ? std::clamp<int>(config.r_m1, 1, 12) : 1;
    period.lastMonth = config.r_m2 != 0 ? std::clamp<int>(config.r_m2, 1, 12) : 12;
    if (rules.fromJanuary)
        period.firstMonth = 1;
    period.lastMonth = std::max(period.lastMonth, rules.minimumLastMonth);
    return period;
}

ReportPeriod OfferedReportPeriod(const infobase::InfoBaseConfig& config, const ReportPeriodRules& rules)
{
    const MonthKey reporting = config.reportingKey();
    ReportPeriod period;
    period.year = reporting.year();
    period.lastMonth = std::max(std::clamp(reporting.month(), 1, 12), rules.minimumLastMonth);
    const int firstMonth = config.r_m1 != 0 && !rules.fromJanuary ? config.r_m1 : 1;
    period.firstMonth = firstMonth <= period.lastMonth ? firstMonth : 1;
    return period;
}

void SetReportPeriod(infobase::InfoBaseConfig& config, const ReportPeriod& period, const ReportPeriodRules& rules)
{
    if (config.r_g != 0 || period.year != config.reportingYear())
        config.r_g = infobase::u8(period.yearByte());
    if (!rules.fromJanuary)
        config.r_m1 = infobase::u8(period.firstMonth);
    config.r_m2 = infobase::u8(period.lastMonth);
}

QString ReportFormPath(const infobase::KalvorDocData& doc, const char* form, const ReportPeriodRules& rules)
{
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config, rules);
    return doc.FormWorkFile(QString::fromLatin1(form), MonthKey(period.year, period.lastMonth));
}

QString ReportPeriodLine(const ReportPeriod& period)
{
    const QString last = MonthName(period.lastMonth).toLower();
    const QString months = period.firstMonth == period.lastMonth
                               ? last
                               : MonthName(period.firstMonth).toLower() + QStringLiteral(" - ") + last;
    return QStringLiteral("Отчетный период: %1 %2 г.").arg(months).arg(period.year);
}

bool ReportYearAfterBase(const ReportPeriod& period, const infobase::InfoBaseConfig& config)
{
    return period.year > config.reportingYear();
}

QByteArray PaddedFirmText(const infobase::FirmInfo& firm, infobase::FirmInfo::Text which)
{
    return codepage::toCp1251(firm.texts[std::size_t(which)])
        .leftJustified(infobase::FirmInfo::TextWidth - 1, ' ', true);
}

} // namespace kalvor::reports
