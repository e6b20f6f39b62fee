#include "reports/incometax/TaxRegisterForm.h"

#include "payroll/Rounding.h"
#include "platform/CodePage.h"
#include "print/CTree.h"
#include "reports/social/CountryList.h"
#include "reports/social/SocialFormTexts.h"
#include "values/Clock.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <cmath>
#include <numeric>

namespace kalvor::reports {

using infobase::EmployeeHead;
using infobase::FirmInfo;
using Series = std::array<double, 12>;

namespace {

// The month lengths of the month cells: February always has 28 days.
constexpr std::array<int, 12> kMonthDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
// The first half's rows take at most this many lines; filler rows make up the rest.
constexpr int kFirstHalfLines = 35;
// Names of the second half's rows: those of the first half plus this.
constexpr int kSecondHalfOffset = 28;
constexpr int kResidentDays = 183;
constexpr int kInostrNrez = 2, kInostr = 9;
constexpr int kUnknownDeductionCode = -31;

QByteArray Cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }
QByteArray Money(double kopecks) { return FormatFixed8(kopecks / 100, 2); }
QByteArray Roubles(double kopecks) { return FormatFixed8(kopecks / 100, 0); }
QByteArray RowName(int number) { return "row" + QByteArray::number(number); }

QByteArray DayMonthYear(int day, int month, int year)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d.%02d.%d", day, month, year);
    return buffer;
}

// The last day of month 0..11 of the year, or "---" for an amount of 0.
QByteArray MonthDate(double amount, int month, int year)
{
    return amount == 0 ? QByteArray("---") : DayMonthYear(kMonthDays[std::size_t(month)], month + 1, year);
}

void AddCell(QList<QByteArray>& values, double amount, int month, int year)
{
    values << Money(amount) << MonthDate(amount, month, year);
}

// Δx: the month's value less the month before (January and a month of 0 as they stand).
Series Growth(const Series& x)
{
    Series growth{};
    for (std::size_t m = 0; m < 12; ++m) growth[m] = (m == 0 || x[m] == 0) ? x[m] : x[m] - x[m - 1];
    return growth;
}

double Sum(const Series& x) { return std::accumulate(x.begin(), x.end(), 0.0); }

// The month series of one employee's page.
struct PageSeries {
    Series income{}, base{}, group9{}, group35{}, withheld{}, property{};
    Series baseGrowth{}, group9Growth{}, group35Growth{};
    Series transferred{}; // the employee's shares, kopecks
    Series taxShown{}, withheldShare{};
    std::array<bool, 12> beforeNotice{};
    bool foreign = false; // status 2
};

PageSeries SeriesOf(const RegisterMonths& months, const EmployeeHead& head, double propertyAmount, int status,
                    TransferShares& shares)
{
    PageSeries s;
    for (std::size_t m = 0; m < 12; ++m) {
        const infobase::IncomeMonthRow& row = months.rows[m];
        s.income[m] = row.taxable;
        s.base[m] = row.base;
        s.group9[m] = row.secondGroup;
        s.group35[m] = row.thirdGroup;
        s.withheld[m] = row.taxWithheld;
    }
    s.foreign = status == 2;
    s.property = PropertyDeductionByMonth(months, propertyAmount, head);
    s.baseGrowth = Growth(s.base);
    s.group9Growth = Growth(s.group9);
    s.group35Growth = Growth(s.group35);
    const double rate = s.foreign ? 0.30 : 0.13;
    const PackedDate notice(head.imvichDat);
    const int year = MonthKey::of(months.start).year();
    for (std::size_t m = 0; m < 12; ++m) {
        s.transferred[m] = shares.share(int(m), s.withheld[m]);
        const double tax = RoundRoubles((s.baseGrowth[m] - s.property[m]) * rate);
        s.withheldShare[m] = RoundRoubles(s.withheld[m]) - RoundRoubles(s.group9Growth[m] * 0.09) -
                             RoundRoubles(s.group35Growth[m] * 0.35);
        s.taxShown[m] = std::fabs(tax - s.withheldShare[m]) <= 100 ? s.withheldShare[m] : tax;
        s.beforeNotice[m] =
            !notice.isNull() && QDate(year, int(m) + 1, 1) < QDate(notice.fullYear(), notice.month(), notice.day());
    }
    return s;
}

// One list of the page (income codes, standard deductions, deductions by
// income code): a code with its month amounts for each entry.
struct CodeLine {
    int code = 0;
    Series months{};
    double total = 0;
};

// The lists' rows of one half: first / next row names, six month cells, and
// in the second half the period total.
void AddCodeRows(QList<RegisterRow>& rows, const QList<CodeLine>& lines, int firstRow, int half, int year)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        RegisterRow row{RowName(firstRow + (i == 0 ? 0 : 1) + half * kSecondHalfOffset), {}};
        row.values << QByteArray::number(lines[i].code);
        for (int m = half * 6; m < half * 6 + 6; ++m) AddCell(row.values, lines[i].months[std::size_t(m)], m, year);
        if (half == 1)
            row.values << Money(lines[i].total);
        rows << row;
    }
}

QList<CodeLine> IncomeLines(const RegisterMonths& months, RegisterArea& area)
{
    QList<CodeLine> lines;
    const infobase::IncomeMonthRow& first = months.rows[0];
    for (int k = 0; k < kIncomeCodeSlots; ++k) {
        const double total = months.total().incomeByCode[std::size_t(k)];
        if (first.incomeCodes[std::size_t(k)] == 0 || total == 0)
            continue;
        CodeLine line{int(first.incomeCodes[std::size_t(k)]), {}, total};
        for (int m = 0; m < 12; ++m) {
            area.matrix(k, m) = months.rows[std::size_t(m)].incomeByCode[std::size_t(k)];
            line.months[std::size_t(m)] = area.matrix(k, m);
        }
        lines << line;
    }
    return lines;
}

bool KnownDeduction(const infobase::DeductionKindBook& book, int code)
{
    return std::any_of(book.records.begin(), book.records.end(),
                       [code](const infobase::DeductionKind& kind) { return kind.code == code; });
}

// The standard deductions after merging equal codes; -31 for a code the
// reference list lacks.
int StandardDeductionLines(const PayrollDoc& doc, const RegisterMonths& months, RegisterArea& area,
                           QList<CodeLine>& lines)
{
    const auto& nalvich = doc.infoBase.current.nalvich;
    area.clearMatrix();
    for (int i = 0; i < kDeductionSlots; ++i) {
        const double total = months.total().deductions[std::size_t(i)];
        if (total == 0)
            continue;
        const int code = nalvich[std::size_t(i)].kod;
        if (!KnownDeduction(doc.refFiles.vichet, code))
            return kUnknownDeductionCode;
        CodeLine line{code, {}, total};
        for (int j = i; j < kDeductionSlots; ++j)
            if (nalvich[std::size_t(j)].kod == code)
                for (int m = 0; m < 12; ++m)
                    area.matrix(i, m) += months.rows[std::size_t(m)].deductions[std::size_t(j)];
        for (int m = 0; m < 12; ++m) line.months[std::size_t(m)] = area.matrix(i, m);
        lines << line;
    }
    return 0;
}

QList<CodeLine> IncomeDeductionLines(const RegisterMonths& months)
{
    QList<CodeLine> lines;
    constexpr int kListedSlots = 10;
    for (int k = 0; k < kListedSlots; ++k) {
        const double total = months.total().allowances[std::size_t(k)];
        if (total == 0)
            continue;
        CodeLine line{int(months.rows[0].deductionCodes[std::size_t(k)]), {}, total};
        for (int m = 0; m < 12; ++m)
            line.months[std::size_t(m)] = months.rows[std::size_t(m)].allowances[std::size_t(k)];
        lines << line;
    }
    return lines;
}

// The lists of the page, built once for both halves.
struct PageLists {
    QList<CodeLine> incomes, standard, byIncome;
    bool property = false;

    // Lines of the first half: the first row of a list takes two lines
    // (none for the income list), each further row one, the property row two.
    int firstHalfLines() const
    {
        auto lines = [](qsizetype count, int first) { return count == 0 ? 0 : first + int(count) - 1; };
        return lines(incomes.size(), 0) + lines(standard.size(), 2) + lines(byIncome.size(), 2) + (property ? 2 : 0);
    }
};

void AddPropertyRow(QList<RegisterRow>& rows, const PageSeries& s, int half, int year)
{
    RegisterRow row{RowName(9 + half * kSecondHalfOffset), {"311"}};
    for (int m = half * 6; m < half * 6 + 6; ++m) {
        if (s.beforeNotice[std::size_t(m)])
            row.values << "0.00"
                       << "---";
        else
            AddCell(row.values, s.property[std::size_t(m)], m, year);
    }
    if (half == 1)
        row.values << Money(Sum(s.property));
    rows << row;
}

// A row of six amounts of a series, with the period total in the second half.
RegisterRow AmountRow(int number, int half, const Series& values, double total)
{
    RegisterRow row{RowName(number + half * kSecondHalfOffset), {}};
    for (int m = half * 6; m < half * 6 + 6; ++m) row.values << Money(values[std::size_t(m)]);
    if (half == 1)
        row.values << Money(total);
    return row;
}

// A row of six pairs: whole roubles and the month date ("---" for 0).
RegisterRow TaxRow(int number, int half, const Series& values, int year)
{
    RegisterRow row{RowName(number + half * kSecondHalfOffset), {}};
    for (int m = half * 6; m < half * 6 + 6; ++m)
        row.values << Roubles(values[std::size_t(m)]) << MonthDate(values[std::size_t(m)], m, year);
    if (half == 1)
        row.values << Roubles(Sum(values));
    return row;
}

QByteArray TransferDate(double packed)
{
    const PackedDate date{std::uint16_t(packed)};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d", date.day(), date.month(), date.fullYear());
    return buffer;
}

void AddTaxRows(QList<RegisterRow>& rows, const PageSeries& s, int half, int year, RegisterArea& area)
{
    Series taxBase{}, cumulative{}, group9{}, deducted{};
    double propertySoFar = 0;
    for (std::size_t m = 0; m < 12; ++m) {
        propertySoFar += s.property[m];
        taxBase[m] = s.foreign ? 0 : s.baseGrowth[m] - s.property[m];
        cumulative[m] = s.foreign ? 0 : s.base[m] - propertySoFar;
        group9[m] = s.group9Growth[m] + (s.foreign ? s.baseGrowth[m] : 0);
        deducted[m] = s.income[m] - s.baseGrowth[m] + s.property[m];
    }
    rows << AmountRow(12, half, Series{}, 0) << AmountRow(13, half, taxBase, Sum(taxBase))
         << AmountRow(14, half, taxBase, Sum(taxBase))
         << AmountRow(15, half, cumulative, s.foreign ? 0 : cumulative[11]) << AmountRow(16, half, group9, Sum(group9))
         << AmountRow(17, half, s.group35Growth, Sum(s.group35Growth));

    RegisterRow cells{RowName(18 + half * kSecondHalfOffset), {}};
    for (int m = half * 6; m < half * 6 + 6; ++m) AddCell(cells.values, deducted[std::size_t(m)], m, year);
    if (half == 1)
        cells.values << Money(Sum(deducted));
    rows << cells;

    RegisterRow transfers{RowName(19 + half * kSecondHalfOffset), {}};
    for (int m = half * 6; m < half * 6 + 6; ++m)
        transfers.values << Roubles(s.transferred[std::size_t(m)])
                         << (area.transferred(m) == 0 ? QByteArray("---") : TransferDate(area.transferDate(m)));
    if (half == 1)
        transfers.values << Roubles(Sum(s.transferred));
    rows << transfers << TaxRow(20, half, s.taxShown, year) << TaxRow(21, half, s.withheldShare, year);

    RegisterRow orders{RowName(22 + half * kSecondHalfOffset), {}};
    for (int m = half * 6; m < half * 6 + 6; ++m)
        orders.values << (area.paymentOrder(m) == 0 ? QByteArray() : FormatFixed8(area.paymentOrder(m), 0));
    rows << orders;
}

void AddHalf(QList<RegisterRow>& rows, const PageLists& lists, const PageSeries& s, int half, int year,
             RegisterArea& area)
{
    AddCodeRows(rows, lists.incomes, 0, half, year);
    AddCodeRows(rows, lists.standard, 3, half, year);
    AddCodeRows(rows, lists.byIncome, 6, half, year);
    if (lists.property)
        AddPropertyRow(rows, s, half, year);
    AddTaxRows(rows, s, half, year, area);
}

QList<QByteArray> HeadValues(const PayrollDoc& doc, int status)
{
    const FirmInfo& firm = doc.infoBase.firm;
    const EmployeeHead& head = doc.infoBase.current.head;
    const QByteArray number = FixedText(head.pspNom, 10);
    const PackedDate born(head.datR);
    char birth[32];
    std::snprintf(birth, sizeof birth, "%.2d.%.2d.%.4d", born.day(), born.month(), 1900 + born.yearField());
    return {PaddedFirmText(firm, FirmInfo::firmINN).left(10),
            PaddedFirmText(firm, FirmInfo::firmKPP).left(9),
            PaddedFirmText(firm, FirmInfo::firmGNI).left(4),
            PaddedFirmText(firm, FirmInfo::firmName).left(56),
            PaddedFirmText(firm, FirmInfo::firmOKATO).left(11),
            FixedText(head.INN, 12),
            FixedText(head.fio, 50),
            FixedText(head.pspKod, 2),
            FixedText(head.pspSer, 10) + ' ' + number.left(6) + number.mid(6, 4),
            birth,
            FixedText(head.propInd, 6),
            CitizenshipText(head.propKodStr),
            FixedText(head.propReg, 28),
            FixedText(head.propGorod, 30),
            FixedText(head.propUl, 50),
            FixedText(head.propDom, 10),
            FixedText(head.propKorp, 9),
            FixedText(head.propKv, 4),
            QByteArray::number(status)};
}

QList<QByteArray> DeductionNoticeValues(PayrollDoc& doc, double propertyAmount)
{
    const EmployeeHead& head = doc.infoBase.current.head;
    const double previous = RegisterArea(doc).previousEmployer();
    QList<QByteArray> values{previous == 0 ? QByteArray("0") : FormatFixed8(previous, 2), Cp("заявление")};
    if (propertyAmount == 0)
        return values << QByteArray() << QByteArray() << QByteArray();
    const QByteArray date = FixedText(head.imvichSprDat, 8);
    return values << FixedText(head.imvichSprNom, 4) << date.left(6) + "20" + date.mid(6, 2)
                  << FixedText(head.imvichSprKodNO, 4);
}

// One tax block of the closing values.
QList<QByteArray> TaxBlock(const infobase::IncomeMonthRow& total, double base, double rate, double transferredTotal,
                           double ratioOfPeriod)
{
    const double onGroups = RoundRoubles(total.secondGroup * 0.09) + RoundRoubles(total.thirdGroup * 0.35);
    return {Money(total.taxable),
            Money(base),
            Roubles(RoundRoubles(base * rate)),
            Roubles(RoundRoubles(total.taxWithheld) - onGroups),
            Roubles(transferredTotal),
            Roubles(RoundRoubles(ratioOfPeriod * total.taxWithheld) - onGroups)};
}

QList<QByteArray> ClosingValues(const PayrollDoc& doc, const RegisterMonths& months, double propertyAmount,
                                const PageSeries& s, double ratioOfPeriod, const QDate& today)
{
    const infobase::IncomeMonthRow& total = months.total();
    const double rate = s.foreign ? 0.30 : 0.13;
    const double transferred = Sum(s.transferred);
    const QList<QByteArray> zeros(5, "0");
    const QList<QByteArray> reduced = TaxBlock(total, total.base - propertyAmount, rate, transferred, ratioOfPeriod);
    QList<QByteArray> values{Money(std::accumulate(total.deductions.begin(), total.deductions.end(), 0.0)),
                             Money(propertyAmount)};
    // The 13 % and the 30 % lines have six cells each: the unused rate's line
    // gets six zeros, so that a non-resident's figures stand in the 30 % line.
    const QList<QByteArray> otherRate(6, "0");
    values << zeros;
    if (s.foreign)
        values << otherRate << reduced;
    else
        values << reduced << otherRate;
    values << zeros << TaxBlock(total, total.base, rate, transferred, ratioOfPeriod);
    values << QList<QByteArray>(6, QByteArray());
    char date[32];
    std::snprintf(date, sizeof date, "%2d.%s%*d.%4d", today.day(), today.month() < 10 ? "0" : "",
                  today.month() < 10 ? 1 : 2, today.month(), today.year());
    values << date << Cp("Главный бухгалтер") << PaddedFirmText(doc.infoBase.firm, FirmInfo::fioBuh).left(46);
    return values;
}

} // namespace

TransferShares::TransferShares(infobase::KalvorDocData& doc)
{
    RegisterArea area(doc);
    for (int k = 0; k < kRegisterMonths; ++k) {
        const double transferred = area.transferred(k) * 100;
        const double withheld = area.withheld(k);
        const double difference = withheld - transferred;
        if (difference >= -500 && difference <= 500) {
            m_difference[std::size_t(k)] = difference;
            m_ratio[std::size_t(k)] = 1.0;
        } else {
            // No tax withheld in the month: nothing of the transfer falls on anybody.
            m_ratio[std::size_t(k)] = withheld == 0 ? 0.0 : transferred / withheld;
        }
    }
}

double TransferShares::share(int month, double withheld)
{
    double& difference = m_difference[std::size_t(month)];
    // The difference goes a rouble at a time, and only to employees from
    // whom at least a rouble was withheld in the month.
    if (withheld >= 100 && difference >= 100) {
        difference -= 100;
        return RoundWhole(withheld / 100 - 1) * 100;
    }
    if (withheld >= 100 && difference <= -100) {
        difference += 100;
        return RoundWhole(withheld / 100 + 1) * 100;
    }
    return RoundWhole(m_ratio[std::size_t(month)] * withheld / 100) * 100;
}

std::array<double, 12> PropertyDeductionByMonth(const RegisterMonths& months, double amount, const EmployeeHead& head)
{
    Series used{};
    const PackedDate notice(head.imvichDat);
    if (amount <= 0 || notice.isNull())
        return used;
    const QDate noticeDate(notice.fullYear(), notice.month(), notice.day());
    const int year = MonthKey::of(months.start).year();
    double left = amount;
    bool first = true;
    for (std::size_t m = 0; m < 12 && left > 0; ++m) {
        if (QDate(year, int(m) + 1, 1) < noticeDate)
            continue;
        const double base = months.rows[m].base;
        const double growth = (first || base == 0) ? base : base - months.rows[m - 1].base;
        first = false;
        used[m] = std::clamp(growth, 0.0, left);
        left -= used[m];
    }
    return used;
}

int TaxpayerStatus(const EmployeeHead& head, const ReportPeriod& period)
{
    const PackedDate arrived(head.inostrDatPr);
    const int arrivedKey = arrived.isNull() ? 0 : MonthKey(arrived.fullYear(), arrived.month()).value();
    const bool nonResident = head.flag(kInostr) && head.flag(kInostrNrez) && head.inostrDnPrRF < kResidentDays;
    return nonResident && arrivedKey <= period.end() ? 2 : 1;
}

int BuildRegisterPage(PayrollDoc& doc, const RegisterMonths* months, const RegisterPageInput& input,
                      TransferShares& shares, RegisterPage& page)
{
    const EmployeeHead& head = doc.infoBase.current.head;
    const int status = TaxpayerStatus(head, input.period);
    page = RegisterPage{HeadValues(doc, status), {}, {}};
    if (months == nullptr || months->total().taxable == 0)
        return 0;
    const double propertyAmount = PropertyDeductionAmount(head, input.period.year, input.baseYear);
    page.head << DeductionNoticeValues(doc, propertyAmount);

    RegisterArea area(doc);
    PageLists lists;
    lists.incomes = IncomeLines(*months, area);
    if (const int result = StandardDeductionLines(doc, *months, area, lists.standard); result < 0)
        return result;
    lists.byIncome = IncomeDeductionLines(*months);
    lists.property = propertyAmount != 0;
    const PageSeries series = SeriesOf(*months, head, propertyAmount, status, shares);

    const int year = input.period.year;
    AddHalf(page.rows, lists, series, 0, year, area);
    for (int filler = kFirstHalfLines - lists.firstHalfLines() - 1; filler > 0; --filler)
        page.rows << RegisterRow{"row24", {}};
    page.rows << RegisterRow{"row25", {}} << RegisterRow{"row26", {}} << RegisterRow{"row27", {}};
    AddHalf(page.rows, lists, series, 1, year, area);
    page.rows << RegisterRow{"row52", {}};
    page.closing = ClosingValues(doc, *months, propertyAmount, series, shares.ratio(kRegisterTotalRow), input.today);
    return 0;
}

int PrintNalRegistr(std::stop_token stop, const ReportSelection& selection, const QString& outputPath, int markedCount,
                    PayrollDoc& doc, GenrRunDetail* detail)
{
    RegisterPageInput input;
    if (RegisterPeriod(doc.infoBase.config, input.period) < 0)
        return -2;
    input.baseYear = doc.infoBase.config.reportingYear();
    input.today = Clock::today();
    print::CTree tree(kTaxRegisterTemplate, outputPath);
    TransferShares shares(doc);
    const int walked = WalkRegisterEmployees(stop, selection, markedCount, doc, [&](const RegisterEmployee& employee) {
        RegisterPage page;
        if (const int result = BuildRegisterPage(doc, employee.months, input, shares, page); result < 0)
            return result;
        const QDomElement pageNode = tree.NewPage(nullptr, "page0");
        tree.AddValue(pageNode, page.head);
        for (const RegisterRow& row : page.rows) tree.AddValue(tree.NewRow(row.name, nullptr, pageNode), row.values);
        tree.AddValue(pageNode, page.closing);
        return 0;
    });
    if (walked != GenrDone)
        return walked;
    const int generated = tree.Generate();
    if (detail != nullptr)
        detail->text = tree.ErrorText();
    return generated < 0 ? GenrPrintFailed : GenrDone;
}

} // namespace kalvor::reports
