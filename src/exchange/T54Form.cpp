#include "exchange/T54Form.h"

#include "infobase/InfoBaseDb.h"
#include "infobase/PayKindCodes.h"
#include "payroll/MonthRate.h"
#include "payroll/PayKinds.h"
#include "platform/CodePage.h"
#include "platform/SavedFile.h"
#include "print/CTree.h"
#include "reports/social/SocialFormTexts.h"
#include "values/Clock.h"
#include "values/Messages.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <vector>

namespace kalvor::exchange {

using infobase::WarDatEntry;
using infobase::WariaEntry;

namespace {

constexpr int kGroupCount = 15;
constexpr int kTimeGroup1 = 6, kTimeGroup2 = 7, kBalanceGroup = 14;
constexpr int kFirstDeductionGroup = 8, kLastDeductionGroup = 13, kLastAccrualGroup = 5;
constexpr int kMaxVacations = 10;
constexpr int kMaxDeductions = 10;
constexpr int kMaxDayEntries = 13;

// One column of the month table: a pay kind and its twelve monthly sums.
struct ColumnGroup {
    int code = 0;
    QByteArray name;
    std::array<double, 13> sums{}; // index month 1-12, kopecks
};

struct DeductionEntry {
    int code = 0;
    int firstMonth = 13, lastMonth = 0;
    double lastAmount = 0, total = 0; // kopecks
};

struct DayEntry {
    int kind = 0, days = 0;
    double amount = 0; // kopecks
};

struct TimeRecord {
    int code = 0, days = 0;
    double hours = 0;
};

struct VacationEntry {
    int kind = 0;
    PackedDate date;
    QByteArray number;
    PackedDate workStart, workEnd, first, last;
    int days = 0;
};

// What the archive of the year gives one employee's page.
struct T54Archive {
    std::array<ColumnGroup, kGroupCount> groups{};
    std::vector<DeductionEntry> deductions;
    std::array<std::vector<DayEntry>, 13> dayEntries{};
    std::array<TimeRecord, 13> timeRecords{};
};

// The last month of the month table: the month before the reporting month
// in the reporting year (none in January); in a year before it, whose months
// all stand in the archive, the period's last month, so that a closed year's
// accounts are printed whole from any later month; none for a later year.
int TableLastMonth(const reports::ReportPeriod& period, MonthKey reporting)
{
    if (period.year < reporting.year())
        return period.lastMonth;
    return period.year == reporting.year() ? reporting.month() - 1 : 0;
}

// The month whose last day ends the form's period: the table's last month,
// or, without one, the month before the reporting month (31 December of the
// year before in January).
MonthKey PeriodEndMonth(const reports::ReportPeriod& period, int lastMonth, MonthKey reporting)
{
    return lastMonth > 0 ? MonthKey(period.year, lastMonth) : reporting.previous();
}

PackedDate LastDayOf(MonthKey month)
{
    return PackedDate::make(DaysInMonth(month.year(), month.month()), month.month(), month.year());
}

QByteArray Roubles(double kopecks) { return FormatFixed8(kopecks / 100, 2); }

QByteArray Amount(double roubles) { return FormatFixed8(roubles, 2); }

QByteArray Number(double value) { return QByteArray::number(int(value)); }

QByteArray FullDate(std::uint16_t packed)
{
    const PackedDate date(packed);
    return reports::DateWithPoints(date.day(), date.month(), date.fullYear());
}

double Cell(PackedDate date) { return double(date.value); }

// The group of a code among first..last: the first group that has it or is
// free; the last group takes every code that finds none.
ColumnGroup& GroupOf(std::array<ColumnGroup, kGroupCount>& groups, int first, int last, int code)
{
    for (int g = first; g <= last; ++g)
        if (groups[std::size_t(g)].code == code || groups[std::size_t(g)].code == 0)
            return groups[std::size_t(g)];
    return groups[std::size_t(last)];
}

void AddToGroup(ColumnGroup& group, const WariaEntry& entry, const PayrollDoc& doc)
{
    if (group.code == 0) {
        group.code = entry.kod;
        const infobase::PayKind* kind = PayKindOf(doc, entry.kod);
        group.name = kind != nullptr ? reports::FixedText(kind->name, 20) : QByteArray();
    }
    group.sums[entry.mes] += entry.sum;
}

void AddDeduction(std::vector<DeductionEntry>& list, const WariaEntry& entry)
{
    auto found = std::find_if(list.begin(), list.end(), [&](const DeductionEntry& d) { return d.code == entry.kod; });
    if (found == list.end()) {
        if (int(list.size()) >= kMaxDeductions)
            return;
        list.push_back(DeductionEntry{entry.kod});
        found = list.end() - 1;
    }
    found->firstMonth = std::min(found->firstMonth, int(entry.mes));
    if (entry.mes >= found->lastMonth) {
        found->lastAmount = entry.mes == found->lastMonth ? found->lastAmount + entry.sum : entry.sum;
        found->lastMonth = entry.mes;
    }
    found->total += entry.sum;
}

// Sorts one archive entry into the column groups, the deductions list, the
// day-based entries or the time record of its month.
void SortArchiveEntry(T54Archive& archive, const WariaEntry& entry, const PayrollDoc& doc)
{
    const int code = entry.kod;
    const int month = entry.mes;
    if (code >= kFirstContributionCode || IsListedVacationCode(code) || month < 1 || month > 12)
        return;
    if (code == kCodeSalary) {
        archive.timeRecords[std::size_t(month)] = {code, entry.dn, entry.hr + entry.min / 100.0};
        // Code 4 is also the pay by salary: its amount belongs to the month's
        // accruals, or the month would show a debt of the whole salary.
        if (entry.sum != 0)
            AddToGroup(GroupOf(archive.groups, 0, kLastAccrualGroup, code), entry, doc);
    } else if (code == kCodeRestPayCarried) {
        AddToGroup(archive.groups[kBalanceGroup], entry, doc);
    } else if (code == kCodeAdvance || code == kCodeTaxRow) {
        AddToGroup(archive.groups[code == kCodeAdvance ? kTimeGroup1 : kTimeGroup2], entry, doc);
    } else if (IsSickLeaveDaysCode(code)) {
        auto& entries = archive.dayEntries[std::size_t(month)];
        if (int(entries.size()) < kMaxDayEntries)
            entries.push_back({code, entry.dn, entry.sum});
    } else if (!IsAccrualCode(code)) {
        AddToGroup(GroupOf(archive.groups, kFirstDeductionGroup, kLastDeductionGroup, code), entry, doc);
        if (T54ListedDeduction(code))
            AddDeduction(archive.deductions, entry);
    } else {
        AddToGroup(GroupOf(archive.groups, 0, kLastAccrualGroup, code), entry, doc);
    }
}

T54Archive WalkArchive(const infobase::EmployeeRecord& record, int year, const PayrollDoc& doc)
{
    T54Archive archive;
    for (const WariaEntry& entry : record.waria)
        if (entry.inUse() && entry.god == year)
            SortArchiveEntry(archive, entry, doc);
    return archive;
}

// The difference of the day numbers of two dates; 0 when one is not a date.
int DayDifference(PackedDate from, PackedDate to)
{
    const QDate start = from.toQDate(), end = to.toQDate();
    return start.isValid() && end.isValid() ? int(start.daysTo(end)) : 0;
}

// The vacations of the dated archive of the year: at most ten; a continuation
// entry extends the vacation before it.
std::vector<VacationEntry> VacationList(const infobase::WarDatBlock& block, int count, PackedDate workStart,
                                        PackedDate workEnd)
{
    std::vector<VacationEntry> list;
    for (int i = 0; i < count && i < int(block.entries.size()); ++i) {
        const WarDatEntry& entry = block.entries[std::size_t(i)];
        if (!IsListedVacationCode(entry.kod))
            continue;
        if (entry.contin != 0) {
            if (!list.empty()) {
                list.back().last = PackedDate(entry.end);
                list.back().days = DayDifference(list.back().first, list.back().last);
            }
            continue;
        }
        if (int(list.size()) >= kMaxVacations)
            continue;
        VacationEntry vacation;
        vacation.kind = VacationKindOfCode(entry.kod);
        vacation.workStart = workStart;
        vacation.workEnd = workEnd;
        vacation.first = PackedDate(entry.start);
        vacation.last = PackedDate(entry.end);
        vacation.days = DayDifference(vacation.first, vacation.last);
        list.push_back(vacation);
    }
    return list;
}

// The employee's own cells of line 1 and the texts of column 4.
void FillEmployeeCells(T54WorkBlock& block, PayrollDoc& doc, int shop, int brigade)
{
    const infobase::EmployeeHead& head = doc.infoBase.current.head;
    block.cell(0, 2) = shop;
    if (brigade != 0)
        block.cell(0, 3) = brigade;
    if (head.oklad != 0)
        block.cell(0, 4) = head.oklad / 100;
    else if (!head.tarifVrem.isZero())
        block.cell(0, 4) = head.tarifVrem.kopecks() / 100;
    else
        block.cell(0, 4) = head.tarifSdel.kopecks() / 100;
    block.cell(0, 5) = head.nadbav / 100;
    doc.formBlock[T54Line1Column4] = head.dolgName.left(kT54FormTextLength);
    doc.formBlock[T54Line2Column4] = head.dolgName.left(kT54FormTextLength);
}

void FillVacationCells(T54WorkBlock& block, const std::vector<VacationEntry>& vacations)
{
    if (vacations.empty() || vacations.front().days == 0)
        return;
    const VacationEntry& v = vacations.front();
    block.cell(0, 7) = v.kind;
    block.cell(0, 8) = Cell(v.date);
    block.cell(0, 9) = v.number.toInt();
    block.cell(0, 10) = Cell(v.workStart);
    block.cell(0, 11) = Cell(v.workEnd);
    block.cell(0, 12) = Cell(v.first);
    block.cell(0, 13) = Cell(v.last);
    block.cell(0, 14) = v.days;
}

void FillDeductionCells(T54WorkBlock& block, const std::vector<DeductionEntry>& deductions,
                        const std::vector<VacationEntry>& vacations, int year)
{
    for (std::size_t line = 0; line < 2 && line < deductions.size(); ++line) {
        const DeductionEntry& d = deductions[line];
        const int l = int(line);
        block.cell(l, 15) = d.code;
        block.cell(l, 17) = line < vacations.size() ? vacations[line].number.toInt() : 0;
        block.cell(l, 18) = Cell(PackedDate::make(1, d.firstMonth, year));
        block.cell(l, 19) = Cell(PackedDate::make(DaysInMonth(year, d.lastMonth), d.lastMonth, year));
        block.cell(l, 20) = d.lastAmount / 100;
        block.cell(l, 21) = d.total / 100;
    }
}

QByteArray FormText(const PayrollDoc& doc, int text, int width)
{
    return codepage::toCp1251(doc.formBlock[std::size_t(text)]).left(width);
}

// "row0" of one line of the work block.
QList<QByteArray> LineValues(const T54WorkBlock& block, const PayrollDoc& doc, int line, double fullRate)
{
    QList<QByteArray> values;
    if (block.cell(line, 0) != 0) {
        values << T54ShortDate(block.cell(line, 0)) << Number(block.cell(line, 1))
               << "\xD6-" + Number(block.cell(line, 2)) + " \xC1-" + Number(block.cell(line, 3))
               << FormText(doc, line == 0 ? T54Line1Column4 : T54Line2Column4, 22)
               << FormText(doc, line == 0 ? T54Line1Column5 : T54Line2Column5, 10) << Amount(block.cell(line, 4))
               << Amount(block.cell(line, 5)) << Amount(block.cell(line, 6));
    } else {
        for (int i = 0; i < 8; ++i) values << QByteArray();
    }
    if (block.cell(line, 8) != 0) {
        values << Number(block.cell(line, 7)) << T54ShortDate(block.cell(line, 8)) << Number(block.cell(line, 9));
        for (int k = 10; k <= 13; ++k) values << T54ShortDate(block.cell(line, k));
        values << Number(block.cell(line, 14));
    } else {
        for (int i = 0; i < 8; ++i) values << QByteArray();
    }
    if (block.cell(line, 16) != 0) {
        values << Number(block.cell(line, 15)) + ' ' + T54ShortDate(block.cell(line, 16)) + " N" +
                      Number(block.cell(line, 17))
               << T54ShortDate(block.cell(line, 18)) << T54ShortDate(block.cell(line, 19))
               << Amount(block.cell(line, 20)) << Amount(block.cell(line, 21));
    } else {
        for (int i = 0; i < 5; ++i) values << QByteArray();
    }
    values << (line == 0 ? Roubles(fullRate) : QByteArray());
    return values;
}

QByteArray GroupCode(const ColumnGroup& group)
{
    return group.code != 0 ? QByteArray::number(group.code) : QByteArray();
}

// "row6" of one month.
QList<QByteArray> MonthValues(const T54Archive& archive, int month)
{
    const auto m = std::size_t(month);
    const TimeRecord& time = archive.timeRecords[m];
    QList<QByteArray> values{reports::TwoDigitNumber(month), QByteArray::number(time.code),
                             QByteArray::number(time.days), QByteArray::number(time.code), FormatFixed8(time.hours, 2)};
    double accruals = 0, deductions = 0;
    for (int g = 0; g <= kLastAccrualGroup; ++g) {
        values << Roubles(archive.groups[std::size_t(g)].sums[m]);
        accruals += archive.groups[std::size_t(g)].sums[m];
    }
    const std::vector<DayEntry>& days = archive.dayEntries[m];
    const DayEntry first = days.empty() ? DayEntry{} : days.front();
    values << QByteArray::number(first.kind) << QByteArray::number(first.days) << Roubles(first.amount);
    for (const DayEntry& entry : days) accruals += entry.amount;
    values << Roubles(accruals);
    for (int g = kTimeGroup1; g <= kLastDeductionGroup; ++g) {
        values << Roubles(archive.groups[std::size_t(g)].sums[m]);
        deductions += archive.groups[std::size_t(g)].sums[m];
    }
    const double carried = archive.groups[kBalanceGroup].sums[m];
    values << Roubles(deductions) << Roubles(carried);
    const double balance = carried + accruals - deductions;
    if (balance >= 0)
        values << QByteArray() << Roubles(balance);
    else
        values << Roubles(-balance) << QByteArray();
    return values;
}

void AddTableRows(print::CTree& tree, const QDomElement& page, const T54Archive& archive, int lastMonth,
                  const PayrollDoc& doc)
{
    tree.NewRow("row1", nullptr, page);
    QList<QByteArray> names;
    for (int g : {0, 1, 2, 3, 4, 8, 9, 10, 11, 12, 13}) names << archive.groups[std::size_t(g)].name;
    tree.AddValue(tree.NewRow("row2", nullptr, page), names);
    tree.NewRow("row3", nullptr, page);
    QList<QByteArray> codes;
    for (int g = 0; g <= kLastDeductionGroup; ++g) {
        codes << GroupCode(archive.groups[std::size_t(g)]);
        if (g == kLastAccrualGroup)
            codes << QByteArray();
    }
    codes << "151" << QByteArray();
    tree.AddValue(tree.NewRow("row4", nullptr, page), codes);
    tree.NewRow("row5", nullptr, page);
    for (int month = 1; month <= lastMonth; ++month) {
        tree.AddValue(tree.NewRow("row6", nullptr, page), MonthValues(archive, month));
        const std::vector<DayEntry>& days = archive.dayEntries[std::size_t(month)];
        for (std::size_t i = 1; i < days.size(); ++i)
            if (days[i].kind != 0)
                tree.AddValue(tree.NewRow("row7", nullptr, page),
                              {QByteArray(), QByteArray::number(days[i].kind), QByteArray::number(days[i].days),
                               Roubles(days[i].amount), QByteArray()});
    }
    tree.NewRow("row9", nullptr, page);
    const QDate today = Clock::today();
    tree.AddValue(tree.NewRow("row10", nullptr, page),
                  {reports::PaddedFirmText(doc.infoBase.firm, infobase::FirmInfo::fioBuh).left(46),
                   QByteArray::number(today.day()), reports::GenitiveMonthName(today.month()), QByteArray()});
}

struct T54Run {
    const T54Selection& selection;
    PayrollDoc& doc;
    const T54Editor& editor;
    reports::ReportPeriod period;
    MonthKey reporting;
    int lastMonth = 0; // of the month table, 0 for none
    MonthKey endMonth{}; // whose last day ends the period
    int sheet = 0;
};

QList<QByteArray> PageValues(const T54Run& run, const infobase::EmployeeListEntry& entry, int shop, int brigade)
{
    const infobase::CInfoBase& base = run.doc.infoBase;
    const infobase::EmployeeHead& head = base.current.head;
    const infobase::ShopRecord* shopRecord = base.shopNumbered(shop);
    const QByteArray shopName = shopRecord != nullptr ? codepage::toCp1251(shopRecord->name.left(120)) : QByteArray();
    const int kateg = base.attributesOf(entry.slot).kateg;
    const MonthKey end = run.endMonth;
    return {reports::PaddedFirmText(base.firm, infobase::FirmInfo::firmName).left(56),
            reports::PaddedFirmText(base.firm, infobase::FirmInfo::firmOKPO).left(10),
            shopName + "(\xD6\xE5\xF5 - " + QByteArray::number(shop) + ") \xC1\xF0\xE8\xE3\xE0\xE4\xE0 - " +
                QByteArray::number(brigade),
            QByteArray::number(run.sheet),
            "01.01." + QByteArray::number(run.period.year),
            QByteArray::number(DaysInMonth(end.year(), end.month())) + '.' + reports::TwoDigitNumber(end.month()) +
                '.' + QByteArray::number(end.year()),
            kateg != 0 ? QByteArray::number(kateg) : QByteArray(),
            reports::FixedText(head.INN, 12),
            reports::FixedText(head.strahPolis, 20),
            reports::FixedText(head.propKodReg, 2),
            head.married != 0 ? codepage::toCp1251(QStringLiteral("состоит"))
                              : codepage::toCp1251(QStringLiteral("не состоит")),
            head.children != 0 ? QByteArray::number(head.children) : QByteArray("---"),
            FullDate(head.datPr1),
            head.datUv1 != 0 ? FullDate(head.datUv1) : QByteArray("---"),
            reports::FixedText(head.fio, 50),
            QByteArray::number(entry.tabN()),
            FullDate(head.datR)};
}

// False for an employee whose dates leave the period.
bool WorksInPeriod(const infobase::EmployeeHead& head, const reports::ReportPeriod& period)
{
    const PackedDate hired(head.datPr1), dismissed(head.datUv1);
    if (!hired.isNull() && MonthKey(hired.fullYear(), hired.month()).value() > period.end())
        return false;
    return dismissed.isNull() || MonthKey(dismissed.fullYear(), dismissed.month()).value() >= period.begin();
}

double FullRateOf(PayrollDoc& doc, int slot)
{
    double baseRate = 0, fullRate = 0;
    return CalcMonthRate(baseRate, fullRate, doc, slot) < 0 ? 0 : fullRate;
}

void PrintEmployeePage(print::CTree& tree, T54Run& run, const infobase::EmployeeListEntry& entry)
{
    infobase::CInfoBase& base = run.doc.infoBase;
    if (!base.swap.readSlot(entry.slot, base.current))
        throw TextError(kMsgReadFailed);
    if (base.current.head.tabPodoh == 0 || !WorksInPeriod(base.current.head, run.period))
        return;
    const int count = infobase::LoadWarDat(base, entry.slot, 1, 12, run.period.year);
    const std::vector<VacationEntry> vacations =
        VacationList(base.warDat, count, PackedDate::make(1, 1, run.period.year), LastDayOf(run.endMonth));
    const int shop = base.holdsSlot(entry.slot) ? base.shopOf(entry.slot) : 0;
    const int brigade = base.attributesOf(entry.slot).brig;
    ++run.sheet;
    QDomElement page = tree.NewPage(nullptr, "page0");
    tree.AddValue(page, PageValues(run, entry, shop, brigade));

    const T54Archive archive = WalkArchive(base.current, run.period.year, run.doc);
    T54WorkBlock block(run.doc);
    FillEmployeeCells(block, run.doc, shop, brigade);
    FillVacationCells(block, vacations);
    if (!archive.deductions.empty())
        FillDeductionCells(block, archive.deductions, vacations, run.period.year);
    run.doc.formBlock[T54EmployeeText] = base.current.head.fio.left(kT54FormTextLength);
    if (run.selection.showEditor != 0 && run.editor)
        run.editor(run.doc);

    const double fullRate = FullRateOf(run.doc, entry.slot);
    for (int line = 0; line < T54WorkBlock::LineCount; ++line)
        if (block.cell(line, 0) != 0 || block.cell(line, 16) != 0 || block.cell(line, 8) != 0)
            tree.AddValue(tree.NewRow("row0", nullptr, page), LineValues(block, run.doc, line, fullRate));
    AddTableRows(tree, page, archive, run.lastMonth, run.doc);
}

} // namespace

reports::ReportSelection T54Selection::toReportSelection() const
{
    reports::ReportSelection s;
    s.shop = shop;
    s.brigade = brigade;
    s.profession = profession;
    s.tabN = tabN;
    return s;
}

bool T54ListedDeduction(int code)
{
    return code == kCodeCashPaid || code == kCodeUnworkedVacationDays || code == kCodeOverpaid ||
           code == kCodeAlimony || code == kCodeWrit || code == kCodeWritWithoutBenefits || code == kCodeSecondTax;
}

QByteArray T54ShortDate(double packedCell)
{
    const PackedDate date{std::uint16_t(packedCell)};
    if (date.isNull())
        return QByteArray();
    return QByteArray::number(date.day()) + '.' + reports::TwoDigitNumber(date.month()) + '.' +
           QByteArray::number(date.fullYear());
}

int ForEachSelectedEmployee(PayrollDoc& doc, const T54Selection& selection, int markedCount,
                            const reports::ReportPeriod& period, std::stop_token stop, const EmployeeVisitor& visit)
{
    infobase::CInfoBase& base = doc.infoBase;
    const reports::ReportSelection reportSelection = selection.toReportSelection();
    if (!infobase::SelectPeriodToSwap(base, period.firstMonthIndex(), period.lastMonthIndex(),
                                      reportSelection.toInfoBaseSelection(markedCount), stop))
        return 1;
    struct SwapCloser {
        infobase::CInfoBase& base;
        ~SwapCloser() { base.CloseSwapFile(); }
    } closer{base};
    for (const infobase::EmployeeListEntry& entry : base.list) {
        doc.GenrValues.fill(0);
        if (stop.stop_requested())
            return 1;
        if (!reports::SelectsReportEmployee(base, entry, reportSelection, markedCount))
            continue;
        if (const int result = visit(entry); result < 0)
            return result;
    }
    return 0;
}

int GenerateDocument(print::CTree& tree, QDomDocument* data, QString* viewerText)
{
    if (data != nullptr)
        *data = tree.DataDocument().cloneNode(true).toDocument();
    if (tree.Generate() < 0)
        throw TextError(tree.ErrorText());
    if (viewerText != nullptr)
        *viewerText = tree.ErrorText();
    return 0;
}

T54Months T54FormMonths(const infobase::InfoBaseConfig& config)
{
    const reports::ReportPeriod period = reports::ResolveReportPeriod(config);
    const MonthKey reporting = config.reportingKey();
    T54Months months;
    months.archived = period;
    // A closed year's table runs from January: its archive is taken from there.
    if (period.year < reporting.year())
        months.archived.firstMonth = 1;
    months.lastMonth = TableLastMonth(period, reporting);
    months.end = PeriodEndMonth(period, months.lastMonth, reporting);
    return months;
}

QString T54PeriodText(const infobase::InfoBaseConfig& config)
{
    const T54Months months = T54FormMonths(config);
    if (months.lastMonth > 0 && months.archived.firstMonth <= months.lastMonth)
        return reports::ReportPeriodLine({months.archived.year, months.archived.firstMonth, months.lastMonth});
    const MonthKey end = months.end;
    return QStringLiteral("Отчетный период: месяцев для таблицы нет, форма на %1.%2.%3")
        .arg(DaysInMonth(end.year(), end.month()), 2, 10, QLatin1Char('0'))
        .arg(end.month(), 2, 10, QLatin1Char('0'))
        .arg(end.year());
}

int PrintT54Form(const T54Selection& selection, std::stop_token stop, const QString& outputPath, int markedCount,
                 PayrollDoc& doc, const T54Editor& editor, QDomDocument* data, QString* viewerText)
{
    infobase::CInfoBase& base = doc.infoBase;
    T54Run run{selection, doc, editor, reports::ResolveReportPeriod(base.config), base.config.reportingKey()};
    const T54Months months = T54FormMonths(base.config);
    run.lastMonth = months.lastMonth;
    run.endMonth = months.end;
    print::CTree tree("t54", outputPath);
    const int result =
        ForEachSelectedEmployee(doc, selection, markedCount, months.archived, stop, [&](const auto& entry) {
            PrintEmployeePage(tree, run, entry);
            return 0;
        });
    return result != 0 ? result : GenerateDocument(tree, data, viewerText);
}

platform::TaskOutcome RunSelectionPrintThread(platform::TaskContext& context, const platform::TaskThreadParams& params,
                                              int showEditor, const FormWorkFileOf& workFileOf, PayrollDoc& doc,
                                              const ExchangeMessenger& messenger, const SelectionPrinter& print)
{
    return RunExchangeWorker(context, messenger, ExchangeCodeFamily::WholeTable, [&](platform::TaskContext& c) {
        const int marked = CountMarkedEmployees(doc.infoBase, params);
        const QString workFile = workFileOf(marked == 0 ? params.personnelNumber : 0);
        if (QString failure; !platform::WriteWholeFile(workFile, QByteArray(), &failure))
            throw TextError(failure);
        T54Selection selection;
        selection.showEditor = std::uint8_t(showEditor != 0);
        selection.shop = std::uint8_t(params.shop);
        selection.brigade = std::uint8_t(params.brigade);
        selection.profession = std::uint16_t(params.profession);
        selection.tabN = std::uint16_t(params.personnelNumber);
        QString viewerText;
        const int result = print(selection, c.stopToken(), workFile, marked, &viewerText);
        if (result < 0)
            return platform::TaskOutcome(result);
        if (result != 0)
            return platform::TaskOutcome(platform::TASK_DONE);
        infobase::SaveConfig(doc.infoBase);
        return platform::ViewedDocumentOutcome(print::RtfOutputPath(workFile), viewerText);
    });
}

platform::TaskOutcome T54FormThreadProc(platform::TaskContext& context, const T54TaskParams& params, PayrollDoc& doc,
                                        const ExchangeMessenger& messenger, const T54Editor& editor)
{
    // Named after the month whose last day ends the form's period, so that no
    // print overwrites another.
    const MonthKey end = T54FormMonths(doc.infoBase.config).end;
    return RunSelectionPrintThread(
        context, params, params.showEditor,
        [&](int tabN) { return doc.FormWorkFile(QString::fromLatin1(reports::kT54Form.name), end, tabN); }, doc,
        messenger,
        [&](const T54Selection& selection, std::stop_token stop, const QString& output, int marked,
            QString* viewerText) {
            return PrintT54Form(selection, stop, output, marked, doc, editor, nullptr, viewerText);
        });
}

} // namespace kalvor::exchange
