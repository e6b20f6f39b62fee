#include "print/SickLeaveRegister.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/MonthRate.h"
#include "payroll/Rounding.h"
#include "payroll/ScheduleNorm.h"
#include "payroll/SickLeave.h"
#include "platform/CodePage.h"
#include "print/CTree.h"
#include "print/FormTexts.h"
#include "print/PrintSelection.h"
#include "print/TextHelpers.h"
#include "values/RoundText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace kalvor::print {

using infobase::CInfoBase;
using infobase::FirmInfo;
using infobase::SickLeaveSheet;

namespace {

// The staff category of the employees who work a second job.
constexpr int kPartTimerCategory = 9;

QByteArray Text8(const QString& text) { return codepage::toCp1251(text); }
QByteArray Number(int value) { return QByteArray::number(value); }
QByteArray Amount(double kopecks) { return FormatFixed8(kopecks / 100.0, 2); }
QByteArray Amount10(double kopecks) { return FormatFixed8(kopecks / 100.0, 2, 10); }
QByteArray DateText(int day, int month, int year)
{
    return QString::asprintf("%.2d.%.2d.%.4d", day, month, year).toLatin1();
}
// A date key of the month rows (BenefitDateKey).
QByteArray KeyDate(int key)
{
    return DateText(BenefitKeyDay(key), BenefitKeyMonth(key).month(), BenefitKeyMonth(key).year());
}
QByteArray ShortDate(int day, int month, int year) { return DateText(day, month, year).remove(6, 2); }

// One sheet of the register with what the calculation gave for it.
struct RegisterSheet {
    const PayrollDoc& doc;
    int number = 0; // in the register
    int slot = 0;
    int personnelNumber = 0;
    const infobase::EmployeeRecord& employee;
    SickLeaveSheet sheet;
    SickLeaveTables tables;
    int variant = 0;

    bool byHours() const { return variant == 2 || variant == 4; }
    MonthKey reportingKey() const { return doc.infoBase.config.reportingKey(); }
};

QByteArray ShopName(const PayrollDoc& doc, int slot)
{
    const CInfoBase& base = doc.infoBase;
    const infobase::ShopRecord* record = base.shopNumbered(base.shopOf(slot));
    return record != nullptr ? CollapseBlanks(Text8(record->name), 20) : QByteArray();
}

void AddHead(CTree& tree, const QDomElement& page, const RegisterSheet& data)
{
    const auto& head = data.employee.head;
    const CInfoBase& base = data.doc.infoBase;
    QByteArray name = CollapseBlanks(Text8(head.fio), 20);
    if (data.sheet.budg != 0)
        name += ' ' + Text8(QStringLiteral("(%1-й источник финансирования)").arg(data.sheet.budg));
    const bool partTimer = base.attributesOf(data.slot).kateg == kPartTimerCategory;
    const SickLeaveSheet& sheet = data.sheet;
    const int calendarDays =
        int(QDate(sheet.gBegin, sheet.mBegin, sheet.dBegin).daysTo(QDate(sheet.gEnd, sheet.mEnd, sheet.dEnd))) + 1;
    tree.AddValue(page, {CollapseBlanks(FirmText8(data.doc, FirmInfo::firmName), FirmInfo::TextWidth),
                         MonthName(base.config.reportingMonth()) + ' ' + Number(base.config.reportingYear()),
                         Number(data.number)});
    tree.AddValue(page, {name, Number(data.personnelNumber), ShopName(data.doc, data.slot)});
    tree.AddValue(page, {Text8(head.dolgName).left(56)});
    tree.AddValue(page, {Text8(partTimer ? QStringLiteral("по совместительству") : QStringLiteral("основное")),
                         Text8(head.INN).left(12), Text8(head.strahPolis).left(14)});
    tree.AddValue(page, {Number(sheet.vid), DateText(sheet.dBegin, sheet.mBegin, sheet.gBegin),
                         DateText(sheet.dEnd, sheet.mEnd, sheet.gEnd)});
    tree.AddValue(page, {Number(std::max(calendarDays, 0))});
    tree.AddValue(page, {Number(sheet.procent)});
    tree.AddValue(page,
                  {Text8(data.tables.periodMonths == 24 ? QStringLiteral("2 года") : QStringLiteral("12 месяцев"))});
    tree.AddValue(page, {sheet.contin != 0 ? Number(sheet.contin) : QByteArray()});
    tree.AddValue(page, {Number(sheet.dn / 60)});
}

void AddRow(CTree& tree, const QDomElement& page, const char* name, std::initializer_list<CTree::Value> values)
{
    QDomElement row = tree.NewRow(name, nullptr, page);
    tree.AddValue(row, values);
}

void AddPeriods(CTree& tree, const QDomElement& page, const RegisterSheet& data)
{
    // The calculation keeps the tariff pay with its sign turned.
    AddRow(tree, page, data.byHours() ? "row1" : "row0", {Amount(std::fabs(data.tables.tariffDaily))});
    AddRow(tree, page, "row2", {Text8(data.byHours() ? QStringLiteral("раб-х часов") : QStringLiteral("дней"))});
    for (int index = 0; index < data.tables.monthRows; ++index) {
        const BenefitMonthRow& month = data.tables.months[std::size_t(index)];
        AddRow(
            tree, page, "row3",
            {KeyDate(month.from), KeyDate(month.to), Number(month.days), Number(month.percent), Amount(month.amount)});
    }
    if (data.sheet.dn != 0)
        AddRow(tree, page, "row4",
               {Text8(QStringLiteral("исключенных дней")), QByteArray(), Number(data.sheet.dn / 60), QByteArray(),
                QByteArray()});
}

// The accounting period by calendar years: earnings, days, and the earnings
// taken (in the two-year average at most the yearly cap).
void AddEarnings(CTree& tree, const QDomElement& page, const RegisterSheet& data)
{
    struct Year {
        double earnings = 0;
        int days = 0;
    };
    std::map<int, Year> years;
    for (int index = 0; index < data.tables.periodMonths; ++index) {
        const BenefitYearRow& month = data.tables.years[std::size_t(index)];
        years[month.year].earnings += month.earnings;
        years[month.year].days += month.days;
    }
    const bool twoYear = data.tables.periodMonths == 24;
    double total = 0, taken = 0;
    int days = 0;
    for (const auto& [year, sums] : years) {
        const double counted = twoYear ? std::min(sums.earnings, kTwoYearEarningsCap) : sums.earnings;
        AddRow(tree, page, "row5",
               {Text8(QStringLiteral("Сумма за %1 год").arg(year)), Amount(sums.earnings), Number(sums.days),
                Amount(counted)});
        total += sums.earnings;
        taken += counted;
        days += sums.days;
    }
    const BenefitYearRow& totals = data.tables.years[std::size_t(data.tables.periodMonths)];
    AddRow(tree, page, "row5", {Text8(QStringLiteral("ВСЕГО")), Amount(total), Number(days), Amount(taken)});
    AddRow(tree, page, "row5",
           {Text8(QStringLiteral("К расчету")), Amount(taken), Number(days), Amount(totals.average)});
}

// The planned working time of the sick days that fall into the reporting
// month, by the employee's schedule.
QByteArray SickDaysNorm(const RegisterSheet& data)
{
    const CInfoBase& base = data.doc.infoBase;
    const SickLeaveSheet& sheet = data.sheet;
    const MonthKey reporting = data.reportingKey();
    const MonthKey first(sheet.gBegin, sheet.mBegin);
    const MonthKey last(sheet.gEnd, sheet.mEnd);
    int days = 0, minutes = 0;
    if (first <= reporting && reporting <= last) {
        infobase::WorkSchedule schedule = base.scheduleAt(EmployeeScheduleNumber(data.doc, data.slot));
        ScheduleNormDayByDay(15, schedule, first == reporting ? sheet.dBegin : 1, last == reporting ? sheet.dEnd : 0,
                             days, minutes, data.doc);
    }
    if (!data.byHours())
        return Number(days) + ' ' + Text8(QStringLiteral("дней"));
    std::array<char, 8> digits{};
    const int length = IntToDigitsZero(minutes % 60, digits.data(), 2);
    return Number(minutes / 60) + '.' + QByteArray(digits.data(), length) + ' ' + Text8(QStringLiteral("часов.минут"));
}

void AddBenefit(CTree& tree, const QDomElement& page, const RegisterSheet& data)
{
    const SickLeaveTables& tables = data.tables;
    const BenefitYearRow& totals = tables.years[std::size_t(tables.periodMonths)];
    const double daily = tables.monthRows > 0 ? tables.months[0].daily : 0;
    AddRow(tree, page, data.byHours() ? "row7" : "row6",
           {SickDaysNorm(data), Text8(data.byHours() ? QStringLiteral("часовое пособие после ограничения")
                                                     : QStringLiteral("дневное пособие после ограничения")) +
                                    ' ' + Amount(daily)});
    const SickLeaveSheet& sheet = data.sheet;
    const QByteArray excluded = QString::asprintf("%2d.%02d", sheet.dn / 60, sheet.dn % 60).toLatin1();
    int paidDays = 0;
    for (int index = 0; index < tables.monthRows; ++index) paidDays += tables.months[std::size_t(index)].days;
    AddRow(tree, page, data.byHours() ? "row9" : "row8",
           {ShortDate(sheet.dBegin, sheet.mBegin, sheet.gBegin), ShortDate(sheet.dEnd, sheet.mEnd, sheet.gEnd),
            excluded, Number(paidDays), Number(sheet.procent), Amount(totals.average), Amount(tables.maximum),
            Amount(tables.minimum), Amount(daily), Amount(sheet.sum)});
}

void AddTotals(CTree& tree, const QDomElement& page, const RegisterSheet& data)
{
    const SickLeaveTables& tables = data.tables;
    const BenefitYearRow& totals = tables.years[std::size_t(tables.periodMonths)];
    double inMonth = 0, before = 0;
    for (int index = 0; index < tables.monthRows; ++index) {
        const BenefitMonthRow& month = tables.months[std::size_t(index)];
        (BenefitKeyMonth(month.from) >= data.reportingKey() ? inMonth : before) += month.amount;
    }
    const double benefit = RoundWhole(data.sheet.sum);
    AddRow(tree, page, "row10", {Amount(totals.average)});
    AddRow(tree, page, "row11", {Amount(totals.dailyMax)});
    AddRow(tree, page, "row12", {Amount(inMonth)});
    AddRow(tree, page, "row13", {Amount(before)});
    AddRow(tree, page, "row14", {Amount(benefit)});
    std::array<char, kWordBufferSize> words{};
    const long long kopecks = (long long)(std::max(benefit, 0.0));
    SumInWords(int(kopecks / 100), int(kopecks % 100), words.data());
    AddRow(tree, page, "row15", {Amount10(benefit), Amount10(RoundWhole(inMonth)), QByteArray(words.data())});
    AddRow(tree, page, "row16", {FioInitials(FirmText8(data.doc, FirmInfo::fioBuh))});
    AddRow(tree, page, "row17", {FioInitials(FirmText8(data.doc, FirmInfo::buhFio))});
}

void AddSheetPage(CTree& tree, const RegisterSheet& data)
{
    QDomElement page = tree.NewPage(nullptr, "page0");
    AddHead(tree, page, data);
    AddPeriods(tree, page, data);
    AddEarnings(tree, page, data);
    AddBenefit(tree, page, data);
    AddTotals(tree, page, data);
}

} // namespace

int FillSickLeaveRegister(CTree& tree, PayrollDoc& doc, const StatementPrintParams& params, int markedOnly)
{
    CInfoBase& base = doc.infoBase;
    int pages = 0;
    int loadedSlot = 0;
    for (int cursor = NextSickSheetInSelection(-1, doc, params.shop, params.brigade, params.profession); cursor >= 0;
         cursor = NextSickSheetInSelection(cursor, doc, params.shop, params.brigade, params.profession)) {
        const int employee = CursorEmployee(cursor);
        if (!EmployeeInStatement(base, employee, params, markedOnly))
            continue;
        const infobase::EmployeeListEntry entry = base.list[std::size_t(employee)];
        if (entry.slot != loadedSlot) {
            infobase::LoadEmployee(base, entry.slot);
            loadedSlot = entry.slot;
        }
        RegisterSheet data{doc,          pages + 1,
                           entry.slot,   entry.tabN(),
                           base.current, base.bln.run(entry.slot)[std::size_t(CursorEntry(cursor) - 1)],
                           {},           0};
        data.variant = CalcSickLeaveBenefit(doc, data.sheet, data.tables, nullptr, 0);
        if (data.variant < 0)
            continue;
        AddSheetPage(tree, data);
        ++pages;
    }
    return pages;
}

int PrintSickLeaveRegister(PayrollDoc& doc, const QString& outputPath, const StatementPrintParams& params,
                           int markedOnly, QString* errorText)
{
    CTree tree(kSickLeaveRegisterTemplate, outputPath);
    FillSickLeaveRegister(tree, doc, params, markedOnly);
    const int generated = tree.Generate();
    // Also when written: why the viewer did not show it.
    if (errorText != nullptr)
        *errorText = tree.ErrorText();
    return generated < 0 ? kPrintFileFault : 0;
}

} // namespace kalvor::print
