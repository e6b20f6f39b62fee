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
    if (!base.holdsSlot(slot))
        return false;
    if (selection.shop != 0 && base.shopOf(slot) != selection.shop)
        return false;
    const infobase::EmployeeAttributes& attributes = base.attributesOf(slot);
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

namespace {

// The last month, at or before the month, that ends a quarter; December of
// the year before for January and February.
MonthKey LastQuarterEndBy(MonthKey month)
{
    const int quarterEnd = month.month() / 3 * 3;
    return quarterEnd == 0 ? MonthKey(month.year() - 1, 12) : MonthKey(month.year(), quarterEnd);
}

// "март 2012 г."
QString MonthOfYear(MonthKey month)
{
    return QStringLiteral("%1 %2 г.").arg(MonthName(month.month()).toLower()).arg(month.year());
}

} // namespace

ReportPeriod OfferedReportPeriod(const infobase::InfoBaseConfig& config, const ReportPeriodRules& rules)
{
    const MonthKey reporting = config.reportingKey();
    const MonthKey last =
        rules.endsWithQuarter
            ? LastQuarterEndBy(reporting)
            : MonthKey(reporting.year(), std::max(std::clamp(reporting.month(), 1, 12), rules.minimumLastMonth));
    ReportPeriod period;
    period.year = last.year();
    period.lastMonth = last.month();
    const int firstMonth = config.r_m1 != 0 && !rules.startsInJanuary() ? config.r_m1 : 1;
    period.firstMonth = firstMonth <= period.lastMonth ? firstMonth : 1;
    return period;
}

QString ReportPeriodRefusal(const ReportPeriod& period, const infobase::InfoBaseConfig& config,
                            const ReportPeriodRules& rules)
{
    if (rules.startsInJanuary() && period.firstMonth != 1)
        return QStringLiteral("Отчетный период должен начинаться с января, а не с месяца %1 (%2)")
            .arg(period.firstMonth)
            .arg(MonthName(std::clamp(period.firstMonth, 1, 12)).toLower());
    if (period.firstMonth > period.lastMonth || period.lastMonth < rules.minimumLastMonth)
        return QStringLiteral("Некорректный отчетный период: месяцы с %1 по %2")
            .arg(period.firstMonth)
            .arg(period.lastMonth);
    if (rules.endsWithQuarter && period.lastMonth % 3 != 0)
        return QStringLiteral("Отчетный период должен заканчиваться последним месяцем квартала (3, 6, 9 или 12), "
                              "а не месяцем %1")
            .arg(period.lastMonth);
    const MonthKey last(period.year, period.lastMonth);
    if (last > config.reportingKey())
        return QStringLiteral("Отчетный период по %1 еще не наступил: отчетный месяц базы - %2")
            .arg(MonthOfYear(last), MonthOfYear(config.reportingKey()));
    return QString();
}

void SetReportPeriod(infobase::InfoBaseConfig& config, const ReportPeriod& period, const ReportPeriodRules& rules)
{
    if (config.r_g != 0 || period.year != config.reportingYear())
        config.r_g = infobase::u8(period.yearByte());
    if (!rules.fromJanuary)
        config.r_m1 = infobase::u8(period.firstMonth);
    config.r_m2 = infobase::u8(period.lastMonth);
}

QString ReportFormPath(const infobase::KalvorDocData& doc, const ReportForm& form, int tabN)
{
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config, form.period);
    return doc.FormWorkFile(QString::fromLatin1(form.name), MonthKey(period.year, period.lastMonth),
                            form.ofEmployee ? tabN : 0);
}

QString ReportPeriodLine(const ReportPeriod& period)
{
    const QString last = MonthName(period.lastMonth).toLower();
    const QString months = period.firstMonth == period.lastMonth
                               ? last
                               : MonthName(period.firstMonth).toLower() + QStringLiteral(" - ") + last;
    return QStringLiteral("Отчетный период: %1 %2 г.").arg(months).arg(period.year);
}

QString ReportPeriodLine(const infobase::InfoBaseConfig& config, const ReportForm& form)
{
    return ReportPeriodLine(ResolveReportPeriod(config, form.period));
}

bool ReportPeriodRefusedByBuilder(const ReportPeriod& period, const ReportPeriodRules& rules)
{
    return period.firstMonth > period.lastMonth || (rules.startsInJanuary() && period.firstMonth != 1);
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
