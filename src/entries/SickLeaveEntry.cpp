#include "entries/SickLeaveEntry.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/CalcTypes.h"
#include "payroll/Rounding.h"
#include "values/CScan.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <algorithm>
#include <functional>
#include <map>

namespace kalvor::entries {

using infobase::CInfoBase;
using infobase::SickLeaveSheet;

namespace {

constexpr std::uint8_t kTicked = 255;

QString NumberOrEmpty(int value) { return value == 0 ? QString() : QString::number(value); }
QString Roubles(double kopecks) { return FormatFixed(kopecks / 100.0, 2); }

// A number of the sheet read by its rule; a text the rule refuses keeps the
// stored value.
int ReadNumber(const QString& text, SickLeaveNumber number, int stored)
{
    return int(FigureUnitsOr(SickLeaveNumberRule(number), text, stored));
}

// A counted year read by its rule and the years the sheet counts; one that
// is refused keeps the stored year.
int ReadYear(const QString& text, int reportingYear, int stored)
{
    return SickLeaveYearRefusal(QString(), text, reportingYear).isEmpty()
               ? ReadNumber(text, SickLeaveNumber::Year, stored)
               : stored;
}

// Whether the packed form's three-bit year code brings the year back.
bool YearKeepsItsCode(int year, int reportingYear)
{
    return SickLeaveSheet::yearFromCode(SickLeaveSheet::yearCode(year), reportingYear) == year;
}

struct DateFields {
    int day, month, year;
};

bool ReadDate(const QDate& date, DateFields current, const std::function<void(DateFields)>& set, int reportingYear,
              bool filledOnly)
{
    DateFields typed{0, 0, 0};
    if (date.isValid()) {
        if (!YearKeepsItsCode(date.year(), reportingYear))
            return false;
        typed = {date.day(), date.month(), date.year()};
    } else if (filledOnly) {
        return false;
    }
    if (typed.day == current.day && typed.month == current.month && typed.year == current.year)
        return false;
    set(typed);
    return true;
}

QDate SheetDate(int day, int month, int year) { return day != 0 && month != 0 ? QDate(year, month, day) : QDate(); }

bool ReadDates(const SickLeaveSheetForm& form, SickLeaveSheet& sheet, int reportingYear, bool filledOnly)
{
    bool changed = ReadDate(
        form.start, {sheet.dBegin, sheet.mBegin, sheet.gBegin},
        [&](DateFields d) {
            sheet.dBegin = std::uint8_t(d.day);
            sheet.mBegin = std::uint8_t(d.month);
            sheet.gBegin = std::uint16_t(d.year);
        },
        reportingYear, filledOnly);
    changed |= ReadDate(
        form.end, {sheet.dEnd, sheet.mEnd, sheet.gEnd},
        [&](DateFields d) {
            sheet.dEnd = std::uint8_t(d.day);
            sheet.mEnd = std::uint8_t(d.month);
            sheet.gEnd = std::uint16_t(d.year);
        },
        reportingYear, filledOnly);
    return changed;
}

bool ReadChecks(const SickLeaveSheetForm& form, SickLeaveSheet& sheet, bool filledOnly)
{
    bool changed = false;
    if (!filledOnly || form.mrp)
        changed |= WriteChanged(sheet.mrp, form.mrp ? kTicked : 0, [&](int v) { sheet.mrp = std::uint8_t(v); });
    if (!filledOnly || form.contin)
        changed |=
            WriteChanged(sheet.contin, form.contin ? kTicked : 0, [&](int v) { sheet.contin = std::uint8_t(v); });
    if (!filledOnly || form.fromMinimum)
        changed |= WriteChanged(sheet.fromMinimumMonthlyEarnings & 1, form.fromMinimum ? 1 : 0, [&](int v) {
            sheet.fromMinimumMonthlyEarnings = std::uint16_t((sheet.fromMinimumMonthlyEarnings & ~1u) | unsigned(v));
        });
    if (!filledOnly || form.from12Months)
        changed |= WriteChanged(sheet.from12Months & 1, form.from12Months ? 1 : 0, [&](int v) {
            sheet.from12Months = std::uint16_t((sheet.from12Months & ~1u) | unsigned(v));
        });
    return changed;
}

} // namespace

FigureRule SickLeaveNumberRule(SickLeaveNumber number)
{
    switch (number) {
    case SickLeaveNumber::Kind: return WholeFigure(0, 11);
    case SickLeaveNumber::Algorithm: return WholeFigure(0, 2);
    case SickLeaveNumber::Budget: return WholeFigure(0, 9);
    case SickLeaveNumber::FirstMonth: return WholeFigure(0, 12);
    case SickLeaveNumber::Percent: return WholeFigure(0, 100);
    case SickLeaveNumber::Year: return WholeFigure(0, 9999);
    }
    return WholeFigure(0, 0);
}

QString SickLeaveYearRefusal(const QString& field, const QString& text, int reportingYear)
{
    const FigureReading reading = ReadFigure(field, SickLeaveNumberRule(SickLeaveNumber::Year), text);
    if (!reading.read)
        return reading.refusal;
    if (reading.units == 0)
        return QString();
    return ReadFigure(field, WholeFigure(kFirstAccountingYear, reportingYear), text).refusal;
}

SickLeaveSheetForm ShowSickLeaveSheet(const SickLeaveSheet& sheet)
{
    SickLeaveSheetForm form;
    form.start = SheetDate(sheet.dBegin, sheet.mBegin, sheet.gBegin);
    form.end = SheetDate(sheet.dEnd, sheet.mEnd, sheet.gEnd);
    form.vid = NumberOrEmpty(sheet.vid);
    form.alg = NumberOrEmpty(sheet.alg);
    form.budg = NumberOrEmpty(sheet.budg);
    form.firstMes = NumberOrEmpty(sheet.firstMes);
    form.procent = NumberOrEmpty(sheet.procent);
    form.dn = sheet.alg == 1 ? FormatHoursMinutes(sheet.dn) : NumberOrEmpty(sheet.dn / 60);
    form.firstYear = NumberOrEmpty(sheet.firstYear);
    form.secondYear = NumberOrEmpty(sheet.secondYear);
    form.mrp = sheet.mrp != 0;
    form.contin = sheet.contin != 0;
    form.fromMinimum = (sheet.fromMinimumMonthlyEarnings & 1) != 0;
    form.from12Months = (sheet.from12Months & 1) != 0;
    return form;
}

bool ReadSickLeaveSheet(const SickLeaveSheetForm& form, SickLeaveSheet& sheet, int reportingYear, bool filledOnly)
{
    auto take = [&](const QString& text) { return !filledOnly || !text.trimmed().isEmpty(); };
    bool changed = ReadDates(form, sheet, reportingYear, filledOnly);
    if (take(form.vid))
        changed |= WriteChanged(sheet.vid, ReadNumber(form.vid, SickLeaveNumber::Kind, sheet.vid),
                                [&](int v) { sheet.vid = std::uint8_t(v); });
    if (take(form.alg))
        changed |= WriteChanged(sheet.alg, ReadNumber(form.alg, SickLeaveNumber::Algorithm, sheet.alg),
                                [&](int v) { sheet.alg = std::uint8_t(v); });
    if (take(form.budg))
        changed |= WriteChanged(sheet.budg, ReadNumber(form.budg, SickLeaveNumber::Budget, sheet.budg),
                                [&](int v) { sheet.budg = std::uint8_t(v); });
    if (take(form.firstMes))
        changed |= WriteChanged(sheet.firstMes, ReadNumber(form.firstMes, SickLeaveNumber::FirstMonth, sheet.firstMes),
                                [&](int v) { sheet.firstMes = std::uint8_t(v); });
    if (take(form.procent))
        changed |= WriteChanged(sheet.procent, ReadNumber(form.procent, SickLeaveNumber::Percent, sheet.procent),
                                [&](int v) { sheet.procent = std::uint8_t(v); });
    if (take(form.firstYear))
        changed |= WriteChanged(sheet.firstYear, ReadYear(form.firstYear, reportingYear, sheet.firstYear),
                                [&](int v) { sheet.firstYear = std::uint16_t(v); });
    if (take(form.secondYear))
        changed |= WriteChanged(sheet.secondYear, ReadYear(form.secondYear, reportingYear, sheet.secondYear),
                                [&](int v) { sheet.secondYear = std::uint16_t(v); });
    changed |= ReadChecks(form, sheet, filledOnly);
    return changed;
}

bool IsKeptSickLeaveSheet(const SickLeaveSheet& sheet) { return sheet.dBegin != 0 && sheet.dEnd != 0; }

EmployeeLines<SickLeaveSheet> TakeSickLeaveSheets(const CInfoBase& base, int slot)
{
    return TakeEmployeeLines(base.bln, slot, kSickLeaveSheetsShown);
}

bool StoreSickLeaveSheets(CInfoBase& base, int slot, const SickLeaveSheets& shown, const SickLeaveSheets& beyond)
{
    return StoreEmployeeLines(base.bln, slot, shown, beyond, IsKeptSickLeaveSheet);
}

SickLeaveGroupOutcome AppendSickLeaveFieldsToGroup(CInfoBase& base, const SickLeaveSheetForm& form)
{
    const int reportingYear = base.config.reportingYear();
    return AppendToFirstLines(
        base, base.bln, kSickLeaveSheetsShown,
        [&](SickLeaveSheet& sheet) { return ReadSickLeaveSheet(form, sheet, reportingYear, true); },
        IsKeptSickLeaveSheet);
}

ComputedRows EmployeeComputedRows(const infobase::EmployeeRecord& rec, const infobase::EmployeeAttributes& attr)
{
    ComputedRows computed;
    const int entered = std::min<int>(attr.kvProizv, kStoredRowLimit);
    computed.rows = rec.rows.data() + entered;
    while (entered + computed.count < kStoredRowLimit && rec.rows[std::size_t(entered + computed.count)].kod != 0)
        ++computed.count;
    return computed;
}

bool TwoYearRule(const SickLeaveSheet& sheet) { return sheet.gBegin >= 2011 && !(sheet.from12Months & 1); }

bool ChildCareSheet(const SickLeaveSheet& sheet) { return (sheet.vid == 5 || sheet.vid == 7) && sheet.gBegin >= 2007; }

int ComputeSickLeaveSheet(PayrollDoc& doc, SickLeaveSheet& sheet, const ComputedRows& rows, SickLeaveTables& tables)
{
    sheet.k1 = 0;
    sheet.k2 = 0;
    sheet.infl = 0;
    sheet.vr = 0;
    tables = SickLeaveTables{};
    const int result = CalcSickLeaveBenefit(doc, sheet, tables, rows.rows, rows.count);
    if (result < 0) {
        sheet.sum = 0;
        sheet.oklad = 0;
    }
    return result;
}

double ChildCareMonthlyAmount(const SickLeaveTables& tables)
{
    if (tables.monthRows == 0)
        return 0;
    const BenefitMonthRow& first = tables.months[0];
    const MonthKey month = BenefitKeyMonth(first.from);
    return RoundWhole(first.daily * DaysInMonth(month.year(), month.month()));
}

int KeepChildCareAllowance(infobase::EmployeeRecord& rec, const SickLeaveSheet& sheet, double amount)
{
    if (!ChildCareSheet(sheet))
        return -1;
    for (std::size_t i = 0; i < rec.postDopl.size(); ++i) {
        if (rec.postDopl[i].kod != 0)
            continue;
        rec.postDopl[i] = infobase::PostDoplEntry{};
        rec.postDopl[i].kod = std::uint16_t(sheet.vid == 5 ? kCodeChildCareFirst : kCodeChildCareSecond);
        rec.postDopl[i].sum = amount;
        return int(i);
    }
    return -1;
}

std::vector<int> YearsWithoutEarnings(int result, const SickLeaveSheet& sheet, const SickLeaveTables& tables)
{
    std::vector<int> years;
    if (result < 0 || !TwoYearRule(sheet))
        return years;
    std::map<int, double> earnings;
    for (int i = 0; i < tables.periodMonths && i < SickLeaveTables::YearRows; ++i)
        earnings[tables.years[std::size_t(i)].year] += tables.years[std::size_t(i)].earnings;
    for (const auto& [year, sum] : earnings)
        if (year != 0 && sum == 0)
            years.push_back(year);
    return years;
}

QString NoEarningsWarning(const std::vector<int>& years, const SickLeaveTables& tables)
{
    if (years.empty())
        return {};
    QStringList named;
    for (int year : years) named << QString::number(year);
    QString text =
        QStringLiteral("В архиве нет заработка за %1 %2.\nВведите его по справке с прежнего места работы.")
            .arg(named.join(QStringLiteral(" и ")), years.size() == 1 ? QStringLiteral("год") : QStringLiteral("годы"));
    if (tables.minimumWageAverage != 0)
        text += QStringLiteral("\nБез нее средний заработок взят из МРОТ.");
    return text;
}

// ------------------------------------------------------------------ the result grids

namespace {

// Days, or for the hourly variant hours and minutes as "8.05".
QString TimeText(int value, bool hourly, int minutes = 0)
{
    if (!hourly)
        return QString::number(value);
    return QStringLiteral("%1.%2%3").arg(value).arg(minutes < 10 ? QStringLiteral("0") : QString()).arg(minutes);
}

QString DateText(int key)
{
    const MonthKey month = BenefitKeyMonth(key);
    return QString::asprintf("%.2d.%.2d.%.2d", BenefitKeyDay(key), month.month(), month.year() % 100);
}

void FillEarnings(ResultGridTexts& grid, const SickLeaveSheet& sheet, const SickLeaveTables& tables)
{
    const bool twoYear = TwoYearRule(sheet);
    const bool hourly = sheet.alg == 2;
    grid.headings = {QStringLiteral("Мес"), QStringLiteral("Час/Дн"), QStringLiteral("Заработок"),
                     sheet.dn != 0 ? QStringLiteral("Дн.искл.из расчета")
                                   : (twoYear ? QStringLiteral("К расчету") : QString()),
                     hourly ? QStringLiteral("Час.заработок") : QStringLiteral("Дн.заработок")};
    for (int i = tables.periodMonths - 1; i >= 0; --i) {
        const BenefitYearRow& row = tables.years[std::size_t(i)];
        const QString month =
            twoYear ? QStringLiteral("%1.%2").arg(row.month).arg(row.year % 100) : QString::number(row.month);
        grid.rows.push_back({month, TimeText(row.days, hourly), Roubles(row.earnings)});
    }
    if (!twoYear || tables.periodMonths < 12)
        return;
    const BenefitYearRow& total = tables.years[std::size_t(tables.periodMonths)];
    const double firstYear = tables.years[11].yearTotal, secondYear = total.yearTotal;
    const int years[2] = {tables.years[0].year, tables.years[std::size_t(tables.periodMonths - 1)].year};
    const double counted[2] = {std::min(firstYear, kTwoYearEarningsCap), std::min(secondYear, kTwoYearEarningsCap)};
    for (int y = 0; y < 2; ++y) {
        grid.summaryRows.push_back(int(grid.rows.size()));
        grid.rows.push_back({QStringLiteral("==%1").arg(years[y]), QStringLiteral("365"), Roubles(counted[y])});
    }
    grid.summaryRows.push_back(int(grid.rows.size()));
    grid.rows.push_back({QStringLiteral("=="), TimeText(total.days, hourly), Roubles(counted[0] + counted[1]),
                         QString(), Roubles(total.average)});
}

void FillAverage(ResultGridTexts& grid, const SickLeaveSheet& sheet, const SickLeaveTables& tables)
{
    const BenefitYearRow& total = tables.years[std::size_t(tables.periodMonths)];
    const int percent = tables.monthRows > 0 ? tables.months[0].percent : (sheet.procent == 0 ? 100 : sheet.procent);
    const QString percentText = QStringLiteral("( %1% )").arg(percent);
    const double limit = total.dailyMax != 0 ? total.dailyMax : tables.maximum;
    // The average paid: the minimum wage's where it took the period's place.
    const bool fromMinimumWage = tables.minimumWageAverage != 0;
    const QString average = Roubles(fromMinimumWage ? tables.minimumWageAverage : total.average);
    const QString averageHeading = fromMinimumWage ? QStringLiteral("Дн.пос из МРОТ") : QStringLiteral("Дн.пос");
    if (sheet.alg == 2) {
        grid.headings = {QStringLiteral("Час.пос"), QStringLiteral("Часов"), QStringLiteral("(% оплаты)"),
                         QStringLiteral("Огран.")};
        grid.rows.push_back({Roubles(total.average), QString::number(total.days), percentText, Roubles(limit)});
    } else if (ChildCareSheet(sheet)) {
        grid.headings = {QStringLiteral("Max"), QStringLiteral("Min"), QStringLiteral("(% оплаты)"), averageHeading,
                         QStringLiteral("Дн")};
        grid.rows.push_back(
            {Roubles(tables.maximum), Roubles(tables.minimum), percentText, average, QString::number(total.days)});
    } else {
        grid.headings = {averageHeading, QStringLiteral("Дней"), QStringLiteral("(% оплаты)"),
                         QStringLiteral("Огран.")};
        grid.rows.push_back({average, QString::number(total.days), percentText, Roubles(limit)});
    }
}

void FillPeriod(ResultGridTexts& grid, const SickLeaveTables& tables)
{
    grid.headings = {QStringLiteral("Начало"), QStringLiteral("Конец"),  QStringLiteral("Дней"),
                     QStringLiteral("%"),      QStringLiteral("В день"), QStringLiteral("Сумма")};
    int days = 0;
    double amount = 0;
    for (int i = 0; i < tables.monthRows; ++i) {
        const BenefitMonthRow& row = tables.months[std::size_t(i)];
        grid.rows.push_back({DateText(row.from), DateText(row.to), QString::number(row.days),
                             QString::number(row.percent), Roubles(RoundThroughText(row.daily, 0)),
                             Roubles(row.amount)});
        days += row.days;
        amount += row.amount;
    }
    grid.rows.push_back(
        {QStringLiteral("Итого"), QString(), QString::number(days), QString(), QString(), Roubles(amount)});
}

} // namespace

SickLeaveGrids SickLeaveGridTexts(int result, const SickLeaveSheet& sheet, const SickLeaveTables& tables)
{
    SickLeaveGrids grids;
    if (result < 0) {
        const SickLeaveTables none;
        FillEarnings(grids.earnings, sheet, none);
        FillAverage(grids.average, sheet, none);
        grids.average.rows.clear();
        FillPeriod(grids.period, none);
        grids.period.rows.clear();
        return grids;
    }
    FillEarnings(grids.earnings, sheet, tables);
    FillAverage(grids.average, sheet, tables);
    FillPeriod(grids.period, tables);
    return grids;
}

// ------------------------------------------------------------------ pick lists

QStringList SickLeaveKindLines()
{
    static const char16_t* const kinds[] = {u"По болезни",
                                            u"Производственная травма",
                                            u"Декретный отпуск",
                                            u"Профессиональное заболевание",
                                            u"По уходу за ребенком",
                                            u"До 1.5 лет первого ребенка",
                                            u"Выходное пособие",
                                            u"До 1.5 лет второго и более детей",
                                            u"По болезни при упрощенке",
                                            u"По уходу за ребенком при упрощенке",
                                            u"Бытовая травма",
                                            u"По уходу за ребенком(стационар)"};
    QStringList lines;
    for (int code = 0; code < int(std::size(kinds)); ++code)
        lines << QStringLiteral("%1|%2").arg(code == 0 ? QStringLiteral(" ") : QString::number(code),
                                             QString::fromUtf16(kinds[code]));
    return lines;
}

QStringList SickLeaveAlgorithmLines()
{
    return {QStringLiteral(" |Основной алгоритм расчета"), QStringLiteral("1|Основной алгоритм расчета"),
            QStringLiteral("2|Отработано меньше 6 месяцев")};
}

} // namespace kalvor::entries
