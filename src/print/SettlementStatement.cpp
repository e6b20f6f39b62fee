#include "print/SettlementStatement.h"

#include "infobase/Bytes.h"
#include "infobase/PayKindCodes.h"
#include "payroll/CalendarMath.h"
#include "payroll/Criteria.h"
#include "payroll/MonthMoney.h"
#include "payroll/PayKinds.h"
#include "platform/CodePage.h"
#include "platform/TaskThread.h"
#include "print/FormTexts.h"
#include "print/PrintSelection.h"
#include "values/Clock.h"
#include "values/Messages.h"
#include "values/RoundText.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <mutex>

namespace kalvor::print {

using infobase::AccrualRow;
using infobase::ByteReader;
using infobase::CInfoBase;
using infobase::FirmInfo;
using infobase::PackedEmployeeRecord;

namespace {

QByteArray Cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }
QByteArray Number(long value) { return QByteArray::number(qlonglong(value)); }
QByteArray TwoDigits(int value) { return QByteArray::number(value).rightJustified(2, '0'); }
// "%.2f" of kopecks in roubles; empty for 0.
QByteArray Amount(double kopecks) { return kopecks == 0 ? QByteArray() : FormatFixed8(kopecks / 100, 2); }

constexpr int kLastReadRow = 59;
constexpr int kMaxColumns = 14;

// ------------------------------------------------------------------ the question hook

std::mutex& HookMutex()
{
    static std::mutex mutex;
    return mutex;
}

SettlementQuestionHook& HookSlot()
{
    static SettlementQuestionHook hook;
    return hook;
}

int AskQuestion(const QString& text)
{
    SettlementQuestionHook hook;
    {
        const std::lock_guard lock(HookMutex());
        hook = HookSlot();
    }
    return hook ? hook(text) : 0;
}

// ------------------------------------------------------------------ form rules

// Employee rows on the first and on every later page of each form.
struct PageLimits {
    int first;
    int later;
};

PageLimits LimitsOf(const SettlementPlan& plan)
{
    switch (plan.kind) {
    case SettlementT49: return plan.album == 1 ? PageLimits{15, 40} : PageLimits{17, 39};
    case SettlementBudget: return {27, 40};
    default: return {23, 39};
    }
}

// The rows of the right part of a two-pass form are offset by this base.
int PassBase(const SettlementPlan& plan, int pass)
{
    if (pass == 0)
        return 0;
    return plan.kind == SettlementT49 ? 34 : 19;
}

// The budget form's own month lengths: February has 29 days in years
// divisible by 4.
int BudgetMonthLength(int month, int year)
{
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && year % 4 == 0 ? 29 : lengths[month - 1];
}

// A firm field collapsed to n characters, without leading blanks.
QByteArray Collapsed(const PayrollDoc& doc, FirmInfo::Text text, int n)
{
    QByteArray out = CollapseBlanks(FirmText8(doc, text), n);
    while (out.startsWith(' ')) out.remove(0, 1);
    return out;
}

QByteArray ShortFirm(const PayrollDoc& doc, FirmInfo::Text text) { return FirmText8(doc, text).left(30); }

// The profession's name cut to its last whole word within 26 characters;
// empty for a text beginning with "00" and for one without such a word end.
// An employee without a profession (code 0, the salaried staff) gets an
// empty cell rather than the digit "0".
QByteArray ProfessionText(const PayrollDoc& doc, int code)
{
    if (code == 0)
        return {};
    char field[kProfessionNameWidth + 1] = {};
    FormatProfessionName(field, code, doc);
    if (field[0] == '0' && field[1] == '0')
        return {};
    for (int i = kProfessionNameWidth - 1; i >= 1; --i) {
        if (field[i] == ' ' && field[i - 1] != ' ') {
            field[i] = '\0';
            return QByteArray(field); // stops at a zero byte inside too
        }
    }
    return {};
}

// A time value: whole hours of the minutes, else "Nд" of the days, else empty.
QByteArray TimeText(int minutes, int days)
{
    if (minutes != 0)
        return QByteArray::number(minutes / 60).rightJustified(3, ' ');
    if (days != 0)
        return QByteArray::number(days).rightJustified(2, ' ') + Cp("д");
    return {};
}

// The basic pay of the month (piece work, tariff, salary) carries the days
// and the time it paid for. The statement's time worked is that: the time
// sheet may still show days that a vacation or a sick leave took out of the
// month. A reversal takes its time back.
void AddPaidTime(const AccrualRow& row, int reportingMonth, int& days, int& minutes)
{
    if (!IsBasicPayCode(row.kod) || row.mes != reportingMonth)
        return;
    const int sign = row.sum < 0 ? -1 : 1;
    days += sign * row.dn;
    minutes += sign * (row.hr * 60 + row.min);
}

// A rate of three packed bytes: whole roubles and thousandths.
double PackedTariff(const PackedEmployeeRecord& packed, std::size_t offset)
{
    ByteReader reader(packed.bytes.data(), PackedEmployeeRecord::Size);
    reader.seek(offset);
    const int b = reader.u8v();
    const int w = reader.u16v();
    const int whole = (b & 31) * 512 + (w & 511);
    const int thousandths = (b >> 5) * 128 + (w >> 9);
    return whole + thousandths / 1000.0;
}

// ------------------------------------------------------------------ one employee

struct EmployeeAmounts {
    std::array<double, kMaxColumns + 1> accruals{}; // [1..A]
    std::array<double, kMaxColumns + 1> deductions{}; // [1..D]
    double carriedOver = 0;
    int column6Days = 0;
    int paidDays = 0, paidMinutes = 0; // the time the month's basic pay paid for
    bool hasResult = false;
    double accrualTotal = 0;
    double deductionTotal = 0;
    double net = 0; // what the month's rows leave, a debt when negative
    double payout = 0; // the amount paid out of a positive net
};

struct EmployeeTexts {
    QByteArray number, personnelNumber, name, profession, rate, worked, daysOff, holidays, debt, toPay;
};

// ------------------------------------------------------------------ the writer

class SettlementWriter {
public:
    SettlementWriter(CTree& tree, const StatementPrintParams& params, PayrollDoc& doc, int markedOnly,
                     const SettlementPlan& plan)
        : m_tree(tree)
        , m_params(params)
        , m_doc(doc)
        , m_base(doc.infoBase)
        , m_markedOnly(markedOnly)
        , m_plan(plan)
        , m_t49(plan.kind == SettlementT49)
        , m_budget(plan.kind == SettlementBudget)
    {}

    void Write()
    {
        FillTitles();
        const int passes = m_plan.twoPasses() ? 2 : 1;
        for (m_pass = 0; m_pass < passes; ++m_pass) WritePass();
    }

private:
    // Part flags of the current pass.
    bool Left() const { return !m_plan.twoPasses() || m_pass == 0; }
    bool Right() const { return !m_plan.twoPasses() || m_pass == 1; }
    bool Album1() const { return !m_plan.twoPasses(); }
    int B() const { return PassBase(m_plan, m_pass); }

    void FillTitles();
    void WritePass();
    void NewPage();
    QDomElement Row(int number);
    void Add(const QDomElement& node, const QList<QByteArray>& values) { m_tree.AddValue(node, values); }
    void Empties(const QDomElement& node, int count) { Add(node, QList<QByteArray>(count)); }
    QByteArray PartText() const;

    bool Selected(const infobase::EmployeeListEntry& entry) const;
    EmployeeAmounts ReadEmployee(const infobase::EmployeeListEntry& entry, EmployeeTexts& texts);
    void AddToTotals(const EmployeeAmounts& amounts);
    void NetTexts(const EmployeeAmounts& amounts, EmployeeTexts& texts);
    void BreakPageWhenFull();

    void WriteT51Head();
    void WriteT51PageHead();
    void WriteT51Titles(int first);
    void WriteT51Employee(const EmployeeAmounts& amounts, const EmployeeTexts& texts);
    void WriteT51Closing();
    void WriteT49Head();
    void WriteT49PageHead();
    void WriteT49Titles(int first);
    void WriteT49Employee(const EmployeeAmounts& amounts, const EmployeeTexts& texts);
    void WriteT49Closing();
    void WriteTotalsRow(int number);
    void WriteBudgetHead();
    void WriteBudgetPageHead();
    void WriteBudgetTitles();
    void WriteBudgetEmployee(const EmployeeAmounts& amounts, const EmployeeTexts& texts);
    void WriteBudgetClosing();
    void WriteHead();
    void WritePageHead();
    void WriteEmployee(const EmployeeAmounts& amounts, const EmployeeTexts& texts);
    void WriteClosing();

    CTree& m_tree;
    const StatementPrintParams& m_params;
    PayrollDoc& m_doc;
    CInfoBase& m_base;
    const int m_markedOnly;
    const SettlementPlan m_plan;
    const bool m_t49;
    const bool m_budget;

    std::array<QByteArray, kMaxColumns + 1> m_accrualTitles;
    std::array<QByteArray, kMaxColumns + 1> m_deductionTitles;

    // Per pass.
    int m_pass = 0;
    QDomElement m_page;
    int m_number = 0;
    int m_rowsOnPage = 0;
    int m_pageNumber = 1;
    std::array<double, kMaxColumns + 1> m_accrualTotals{};
    std::array<double, kMaxColumns + 1> m_deductionTotals{};
    double m_accrualTotal = 0, m_deductionTotal = 0, m_carriedTotal = 0, m_debtTotal = 0, m_toPayTotal = 0;
};

// ------------------------------------------------------------------ titles

// Each column's title is the name of its first vedShap kind in code order;
// the form's own words stand in the columns that no kind names.
void SettlementWriter::FillTitles()
{
    for (const infobase::PayKind& kind : m_base.payKinds()) {
        const int column = kind.vedStlb;
        if (kind.kod == 0 || !kind.vedShap || column < 1)
            continue;
        const bool accrual = kind.kod < kFirstDeductionCode;
        auto& titles = accrual ? m_accrualTitles : m_deductionTitles;
        if (column <= (accrual ? m_plan.accrualColumns : m_plan.deductionColumns) &&
            titles[std::size_t(column)].isEmpty())
            titles[std::size_t(column)] = codepage::toCp1251(kind.name).left(20);
    }
    auto fill = [](QByteArray& title, const char* words) {
        if (title.isEmpty())
            title = Cp(words);
    };
    const std::size_t a = std::size_t(m_plan.accrualColumns);
    if (m_budget) {
        fill(m_accrualTitles[6], "пособия по временной нетрудоспособности");
        fill(m_accrualTitles[7], "пособия по уходу за ребенком");
        fill(m_deductionTitles[1], "заработная плата");
        fill(m_deductionTitles[2], "налог на доходы физических лиц");
        fill(m_deductionTitles[3], "страховой пенсионный взнос");
    } else if (m_t49) {
        fill(m_accrualTitles[1], "заработная плата");
        fill(m_accrualTitles[a], "другие доходы в виде соц. и мат.благ");
        fill(m_deductionTitles[1], "налог на доходы");
    } else {
        fill(m_accrualTitles[1], "Заработная плата");
        fill(m_accrualTitles[a], "другие доходы в виде соц. и мат.благ");
        fill(m_deductionTitles[1], "Подоходный налог");
    }
}

// ------------------------------------------------------------------ pass and pages

void SettlementWriter::WritePass()
{
    m_number = 0;
    m_rowsOnPage = 0;
    m_pageNumber = 1;
    m_accrualTotals = {};
    m_deductionTotals = {};
    m_accrualTotal = m_deductionTotal = m_carriedTotal = m_debtTotal = m_toPayTotal = 0;

    NewPage();
    WriteHead();
    for (const infobase::EmployeeListEntry& entry : m_base.list) {
        if (!Selected(entry))
            continue;
        EmployeeTexts texts;
        EmployeeAmounts amounts = ReadEmployee(entry, texts);
        if (!amounts.hasResult)
            continue;
        AddToTotals(amounts);
        NetTexts(amounts, texts);
        ++m_number;
        ++m_rowsOnPage;
        texts.number = Number(m_number);
        WriteEmployee(amounts, texts);
        BreakPageWhenFull();
    }
    WriteClosing();
}

void SettlementWriter::NewPage() { m_tree.NewPage(&m_page, "page0"); }

QDomElement SettlementWriter::Row(int number)
{
    return m_tree.NewRow("row" + QByteArray::number(number), nullptr, m_page);
}

QByteArray SettlementWriter::PartText() const
{
    if (Album1())
        return {};
    return '(' + Cp(m_pass == 0 ? "левая часть" : "правая часть") + ')';
}

void SettlementWriter::BreakPageWhenFull()
{
    const PageLimits limits = LimitsOf(m_plan);
    if (m_rowsOnPage != (m_pageNumber == 1 ? limits.first : limits.later))
        return;
    m_rowsOnPage = 0;
    ++m_pageNumber;
    NewPage();
    WritePageHead();
}

void SettlementWriter::WriteHead()
{
    if (m_budget)
        WriteBudgetHead();
    else if (m_t49)
        WriteT49Head();
    else
        WriteT51Head();
}

void SettlementWriter::WritePageHead()
{
    if (m_budget)
        WriteBudgetPageHead();
    else if (m_t49)
        WriteT49PageHead();
    else
        WriteT51PageHead();
}

void SettlementWriter::WriteEmployee(const EmployeeAmounts& amounts, const EmployeeTexts& texts)
{
    if (m_budget)
        WriteBudgetEmployee(amounts, texts);
    else if (m_t49)
        WriteT49Employee(amounts, texts);
    else
        WriteT51Employee(amounts, texts);
}

void SettlementWriter::WriteClosing()
{
    if (m_budget)
        WriteBudgetClosing();
    else if (m_t49)
        WriteT49Closing();
    else
        WriteT51Closing();
}

// ------------------------------------------------------------------ employees

bool SettlementWriter::Selected(const infobase::EmployeeListEntry& entry) const
{
    if (!m_base.holdsSlot(entry.slot))
        return false;
    if (m_markedOnly)
        return entry.marked();
    if (m_params.personnelNumber != 0)
        return entry.tabN() == m_params.personnelNumber;
    const infobase::EmployeeAttributes& attributes = m_base.attributesOf(entry.slot);
    return (m_params.shop == 0 || m_base.shopOf(entry.slot) == m_params.shop) &&
           (m_params.brigade == 0 || attributes.brig == m_params.brigade) &&
           (m_params.profession == 0 || attributes.prof == m_params.profession);
}

// Reads the employee's slot and sums its month rows into the columns; fills
// the texts that do not depend on the totals.
EmployeeAmounts SettlementWriter::ReadEmployee(const infobase::EmployeeListEntry& entry, EmployeeTexts& texts)
{
    // A slot that cannot be read whole ends the run: the record would still
    // hold the previous employee's data.
    m_base.currentSlot = 0;
    if (!m_base.swap.readSlot(entry.slot, m_base.current))
        throw PrintFileError(platform::FILE_ERROR_READ);
    m_base.currentSlot = entry.slot;
    auto packed = std::make_unique<PackedEmployeeRecord>();
    PackEmployeeForPrint(m_doc, *packed);
    const infobase::EmployeeAttributes& attributes = m_base.attributesOf(entry.slot);

    EmployeeAmounts amounts;
    ByteReader reader(packed->bytes.data(), PackedEmployeeRecord::Size);
    for (int row = attributes.kvProizv; row <= kLastReadRow; ++row) {
        reader.seek(PackedEmployeeRecord::RowsOffset + std::size_t(row) * AccrualRow::Size);
        const AccrualRow r = AccrualRow::read(reader);
        if (r.kod < 1 || r.kod >= kFirstContributionCode)
            continue;
        if (r.sum != 0)
            amounts.hasResult = true;
        if (r.kod == kCodeRestPayCarried) {
            amounts.carriedOver += r.sum;
            continue;
        }
        AddPaidTime(r, m_base.config.reportingMonth(), amounts.paidDays, amounts.paidMinutes);
        const infobase::PayKind* kind = PayKindOf(m_doc, r.kod);
        const int column = kind != nullptr ? kind->vedStlb : 0;
        if (column < 1)
            continue;
        if (r.kod < kFirstDeductionCode) {
            if (column <= m_plan.accrualColumns)
                amounts.accruals[std::size_t(column)] += r.sum;
            if (column == 6)
                amounts.column6Days += r.dn;
        } else if (column <= m_plan.deductionColumns) {
            amounts.deductions[std::size_t(column)] += r.sum;
        }
    }
    for (int c = 1; c <= m_plan.accrualColumns; ++c) amounts.accrualTotal += amounts.accruals[std::size_t(c)];
    for (int c = 1; c <= m_plan.deductionColumns; ++c) amounts.deductionTotal += amounts.deductions[std::size_t(c)];
    // The amount to pay is the month's, whatever columns the layout has.
    const MonthMoney money = MonthMoneyOfRecord(m_base.current, attributes.kvProizv);
    amounts.net = money.net();
    amounts.payout = AmountToPay(money, m_doc);

    ByteReader head(packed->bytes.data(), PackedEmployeeRecord::Size);
    head.seek(PackedEmployeeRecord::OkladOffset);
    const double salary = head.f64();
    // A salary is money, two places of kopecks; a tariff keeps its
    // thousandths of a rouble.
    double rate = 0;
    int rateDecimals = 3;
    if (attributes.sistOpl >= 3) {
        rate = salary / 100;
        rateDecimals = 2;
    } else {
        rate = PackedTariff(*packed, attributes.sistOpl == 2 ? PackedEmployeeRecord::TarifVremOffset
                                                             : PackedEmployeeRecord::TarifSdelOffset);
    }
    const infobase::TabelRecord& tabel = m_base.tabelOf(entry.slot);
    texts.personnelNumber = Number(entry.tabN());
    texts.name = codepage::toCp1251(m_base.shortNameOf(entry.slot)).left(20);
    texts.profession = ProfessionText(m_doc, attributes.prof);
    texts.rate = FormatFixed8(rate, rateDecimals);
    texts.worked = TimeText(amounts.paidMinutes, amounts.paidDays);
    if (m_t49) {
        texts.daysOff = TimeText(tabel.vyhHr, tabel.vyhDn);
        texts.holidays = TimeText(tabel.prHr, tabel.prDn);
    } else {
        texts.daysOff = TimeText(tabel.prHr + tabel.vyhHr, tabel.prDn + tabel.vyhDn);
    }
    return amounts;
}

void SettlementWriter::AddToTotals(const EmployeeAmounts& amounts)
{
    for (int c = 1; c <= m_plan.accrualColumns; ++c)
        m_accrualTotals[std::size_t(c)] += amounts.accruals[std::size_t(c)];
    for (int c = 1; c <= m_plan.deductionColumns; ++c)
        m_deductionTotals[std::size_t(c)] += amounts.deductions[std::size_t(c)];
    m_accrualTotal += amounts.accrualTotal;
    m_deductionTotal += amounts.deductionTotal;
    m_carriedTotal += amounts.carriedOver;
}

// A net below one kopeck either way shows neither a debt nor an amount to pay.
void SettlementWriter::NetTexts(const EmployeeAmounts& amounts, EmployeeTexts& texts)
{
    const double whole = std::trunc(amounts.net);
    if (whole < 0) {
        m_debtTotal += amounts.net;
        texts.debt = FormatFixed8(amounts.net / -100, 2);
    } else if (whole > 0 && amounts.payout > 0) {
        m_toPayTotal += amounts.payout;
        texts.toPay = FormatFixed8(amounts.payout / 100, 2);
    }
}

void SettlementWriter::WriteTotalsRow(int number)
{
    const QDomElement row = Row(number);
    if (Left()) {
        for (int c = 1; c <= m_plan.accrualColumns; ++c) Add(row, {Amount(m_accrualTotals[std::size_t(c)])});
        Add(row, {Amount(m_accrualTotal)});
    }
    if (Right()) {
        for (int c = 1; c <= m_plan.deductionColumns; ++c) Add(row, {Amount(m_deductionTotals[std::size_t(c)])});
        const QByteArray debt = m_debtTotal == 0 ? QByteArray() : FormatFixed8(m_debtTotal / -100, 2);
        Add(row, {Amount(m_deductionTotal), Amount(m_carriedTotal), debt});
        Add(row, {std::trunc(m_toPayTotal) == 0 ? QByteArray() : FormatFixed8(m_toPayTotal / 100, 2)});
    }
}

// ------------------------------------------------------------------ dates

struct PeriodTexts {
    QByteArray today, firstDay, lastDay;
};

PeriodTexts Period(const CInfoBase& base)
{
    const QDate today = Clock::today();
    const int month = base.config.reportingMonth();
    const int year = base.config.reportingYear();
    const int length = month >= 1 && month <= 12 ? MonthLengthsForYear(year)[std::size_t(month)] : 0;
    return {TwoDigits(today.day()) + '.' + TwoDigits(today.month()) + '.' + TwoDigits(today.year() % 100),
            "01." + TwoDigits(month) + '.' + TwoDigits(year % 100),
            TwoDigits(length) + '.' + TwoDigits(month) + '.' + TwoDigits(year % 100)};
}

// ------------------------------------------------------------------ form T-51

void SettlementWriter::WriteT51Head()
{
    const int b = B();
    if (Album1())
        Add(m_page, {""});
    for (int k = 0; k <= 2; ++k) Row(b + k);
    const QDomElement firm = Row(b + 3);
    if (Left())
        Add(firm, {FirmText8(m_doc, FirmInfo::firmName).left(56)});
    if (Album1())
        Add(firm, {""});
    const QDomElement row4 = Row(b + 4);
    if (Album1())
        Add(row4, {""});
    const QDomElement unit = Row(b + 5);
    if (Left())
        Add(unit, {UnitText(m_doc, m_params.shop, m_params.brigade)});
    Row(b + 6);
    Row(b + 7);
    if (Right()) {
        Row(b + 8);
        const PeriodTexts period = Period(m_base);
        Add(Row(b + 9), {"", period.today, period.firstDay, period.lastDay});
    } else {
        Row(b + 9);
    }
    const QDomElement row10 = Row(b + 10);
    Empties(row10, 3);
    if (Album1())
        Empties(row10, 3);
    WriteT51Titles(b + 11);
}

void SettlementWriter::WriteT51PageHead()
{
    const int b = B();
    const QDomElement row10 = Row(b + 10);
    Add(row10, {Cp("страница"), Number(m_pageNumber), PartText()});
    if (Album1())
        Empties(row10, 3);
    WriteT51Titles(b + 11);
}

// Rows b+11 to b+14 (first = b+11): the column titles.
void SettlementWriter::WriteT51Titles(int first)
{
    Row(first);
    const QDomElement deductions = Row(first + 1);
    if (Right())
        for (int c = 1; c <= m_plan.deductionColumns; ++c) Add(deductions, {m_deductionTitles[std::size_t(c)]});
    const QDomElement accruals = Row(first + 2);
    if (Left())
        for (int c = 1; c <= m_plan.accrualColumns; ++c) Add(accruals, {m_accrualTitles[std::size_t(c)]});
    Row(first + 3);
}

void SettlementWriter::WriteT51Employee(const EmployeeAmounts& amounts, const EmployeeTexts& texts)
{
    const QDomElement row = Row(B() + 15);
    if (Left()) {
        Add(row, {texts.number, texts.personnelNumber});
        Add(row, {texts.name});
        Add(row, {texts.profession});
        Add(row, {texts.rate, texts.worked, texts.daysOff});
        for (int c = 1; c <= m_plan.accrualColumns; ++c) Add(row, {Amount(amounts.accruals[std::size_t(c)])});
        Add(row, {Amount(amounts.accrualTotal)});
    }
    if (Right()) {
        for (int c = 1; c <= m_plan.deductionColumns; ++c) Add(row, {Amount(amounts.deductions[std::size_t(c)])});
        Add(row, {Amount(amounts.deductionTotal)});
        Add(row, {Amount(amounts.carriedOver), texts.debt});
        Add(row, {texts.toPay});
    }
}

void SettlementWriter::WriteT51Closing()
{
    const int b = B();
    WriteTotalsRow(b + 16);
    Row(b + 17);
    const QDomElement accountant = Row(b + 18);
    if (Right())
        Add(accountant, {Cp("бухгалтер"), ShortFirm(m_doc, FirmInfo::buhFio)});
    if (Album1()) {
        Row(19);
        return;
    }
    Row(39);
    if (m_pass != 0)
        return;
    // The left part's last page is filled up to its usual length.
    const int fill = m_pageNumber == 1 ? 19 : 35;
    for (; m_rowsOnPage < fill; ++m_rowsOnPage) Row(39);
}

// ------------------------------------------------------------------ form T-49

void SettlementWriter::WriteT49Head()
{
    const int b = B();
    if (Album1())
        Add(m_page, {""});
    for (int k = 0; k <= 2; ++k) Row(b + k);
    const QDomElement firm = Row(b + 3);
    if (Left()) {
        Add(firm, {FirmText8(m_doc, FirmInfo::firmName).left(56)});
        Add(firm, {""});
    }
    Row(b + 4);
    const QDomElement unit = Row(b + 5);
    if (Left())
        Add(unit, {UnitText(m_doc, m_params.shop, m_params.brigade)});
    Row(b + 6);
    Row(b + 7);
    const QDomElement row8 = Row(b + 8);
    if (Left())
        Empties(row8, 6);
    const QDomElement row9 = Row(b + 9);
    if (Album1())
        Add(row9, {""});
    Row(b + 10);
    const QDomElement row11 = Row(b + 11);
    if (Left())
        Empties(row11, 4);
    Row(b + 12);
    const QDomElement chief = Row(b + 13);
    if (Left())
        Add(chief, {Collapsed(m_doc, FirmInfo::statusShef, 30), Collapsed(m_doc, FirmInfo::fioShef, 46)});
    Row(b + 14);
    const QDomElement accountant = Row(b + 15);
    if (Left())
        Add(accountant, {Collapsed(m_doc, FirmInfo::fioBuh, 46)});
    Row(b + 16);
    const QDomElement row17 = Row(b + 17);
    if (Left())
        Empties(row17, 3);
    Row(b + 18);
    Row(b + 19);
    const QDomElement period = Row(b + 20);
    if (Right()) {
        const PeriodTexts texts = Period(m_base);
        Add(period, {"", texts.today, texts.firstDay, texts.lastDay});
    }
    const QDomElement row21 = Row(b + 21);
    Empties(row21, 3);
    if (Album1())
        Empties(row21, 3);
    WriteT49Titles(b + 22);
}

void SettlementWriter::WriteT49PageHead()
{
    const QDomElement row21 = Row(B() + 21);
    Add(row21, {Cp("страница"), Number(m_pageNumber), PartText()});
    if (Album1())
        Empties(row21, 3);
    WriteT49Titles(B() + 22);
}

// Rows b+22 to b+25 (first = b+22): the column titles, as on form T-51.
void SettlementWriter::WriteT49Titles(int first) { WriteT51Titles(first); }

void SettlementWriter::WriteT49Employee(const EmployeeAmounts& amounts, const EmployeeTexts& texts)
{
    const QDomElement row = Row(B() + 26);
    if (Left()) {
        Add(row, {texts.number, texts.personnelNumber});
        Add(row, {texts.profession});
        Add(row, {texts.rate, texts.worked, texts.daysOff});
        Add(row, {texts.holidays});
        for (int c = 1; c <= m_plan.accrualColumns; ++c) Add(row, {Amount(amounts.accruals[std::size_t(c)])});
        Add(row, {Amount(amounts.accrualTotal)});
    }
    if (Right()) {
        for (int c = 1; c <= m_plan.deductionColumns; ++c) Add(row, {Amount(amounts.deductions[std::size_t(c)])});
        Add(row, {Amount(amounts.deductionTotal)});
        Add(row, {Amount(amounts.carriedOver), texts.debt});
        Add(row, {texts.toPay});
        Add(row, {texts.name});
    }
}

void SettlementWriter::WriteT49Closing()
{
    const int b = B();
    WriteTotalsRow(b + 27);
    Row(b + 28);
    Row(b + 29);
    const QDomElement cashier = Row(b + 30);
    if (Right())
        Add(cashier, {ShortFirm(m_doc, FirmInfo::kassirDolg), ShortFirm(m_doc, FirmInfo::kassirFio)});
    Row(b + 31);
    const QDomElement checked = Row(b + 32);
    if (m_plan.twoPasses() && m_pass == 1)
        Add(checked, {ShortFirm(m_doc, FirmInfo::buhFio)});
    Row(b + 33);
    if (Album1()) {
        Add(Row(34), {ShortFirm(m_doc, FirmInfo::buhFio)});
        for (int k = 35; k <= 37; ++k) Row(k);
        return;
    }
    if (m_pass != 0)
        return;
    const int fill = m_pageNumber == 1 ? 11 : 33;
    for (; m_rowsOnPage < fill; ++m_rowsOnPage) Row(68);
}

// ------------------------------------------------------------------ form 0504401

void SettlementWriter::WriteBudgetHead()
{
    const int month = m_base.config.reportingMonth();
    const int year = m_base.config.reportingYear();
    const QByteArray yy = TwoDigits(year % 100);
    Add(Row(0), {""});
    const QDomElement period = Row(1);
    Add(period, {"01", GenitiveMonth(month), yy});
    Add(period, {Number(BudgetMonthLength(month, year)), GenitiveMonth(month), yy});
    Add(period, {MonthName(month), yy});
    Row(2);
    const QDomElement row3 = Row(3);
    Add(row3, {""});
    Add(row3, {""});
    Add(Row(4), {FirmText8(m_doc, FirmInfo::firmName).left(56), ""});
    Add(Row(5), {Collapsed(m_doc, FirmInfo::fioShef, 46), UnitText(m_doc, m_params.shop, m_params.brigade)});
    Row(6);
    Add(Row(7), {Collapsed(m_doc, FirmInfo::fioBuh, 46)});
    Row(8);
    Empties(Row(9), 4);
    Empties(Row(10), 3);
    WriteBudgetTitles();
}

void SettlementWriter::WriteBudgetPageHead()
{
    Add(Row(10), {Cp("Форма 0504401"), Cp("с."), Number(m_pageNumber)});
    WriteBudgetTitles();
}

// Rows 11 to 14: the column titles.
void SettlementWriter::WriteBudgetTitles()
{
    Row(11);
    const QDomElement titles = Row(12);
    for (int c = 1; c <= m_plan.accrualColumns; ++c) Add(titles, {m_accrualTitles[std::size_t(c)]});
    for (int c = 1; c <= m_plan.deductionColumns; ++c) Add(titles, {m_deductionTitles[std::size_t(c)]});
    Row(13);
    Row(14);
}

void SettlementWriter::WriteBudgetEmployee(const EmployeeAmounts& amounts, const EmployeeTexts& texts)
{
    const QDomElement row = Row(15);
    Add(row, {texts.number, texts.personnelNumber});
    Add(row, {texts.profession});
    for (int c = 1; c <= 5; ++c) Add(row, {Amount(amounts.accruals[std::size_t(c)])});
    Add(row, {amounts.column6Days == 0 ? QByteArray() : Number(amounts.column6Days)});
    for (int c = 6; c <= 7; ++c) Add(row, {Amount(amounts.accruals[std::size_t(c)])});
    Add(row, {Amount(amounts.accrualTotal)});
    for (int c = 1; c <= 5; ++c) Add(row, {Amount(amounts.deductions[std::size_t(c)])});
    Add(row, {Amount(amounts.deductionTotal)});
    Add(row, {texts.toPay});
    Add(row, {""});
    Add(row, {texts.name});
}

void SettlementWriter::WriteBudgetClosing()
{
    const QByteArray toPay = std::trunc(m_toPayTotal) == 0 ? QByteArray() : FormatFixed8(m_toPayTotal / 100, 2);
    Add(Row(16), {toPay});
    Row(17);
    Add(Row(18), {toPay, toPay, toPay});
    Row(19);
    Add(Row(20), {Cp("бухгалтер"), ShortFirm(m_doc, FirmInfo::buhFio), ShortFirm(m_doc, FirmInfo::kassirDolg),
                  ShortFirm(m_doc, FirmInfo::kassirFio)});
    Row(21);
    Row(22);
    const QDomElement row23 = Row(23);
    Add(row23, {"", ""});
    Add(row23, {ShortFirm(m_doc, FirmInfo::kassirFio)});
    Row(24);
    Row(25);
}

} // namespace

// ------------------------------------------------------------------ public

SettlementQuestionHook SetSettlementQuestionHook(SettlementQuestionHook hook)
{
    const std::lock_guard lock(HookMutex());
    SettlementQuestionHook previous = std::move(HookSlot());
    HookSlot() = std::move(hook);
    return previous;
}

QString SettlementColumnsQuestion(int largestAccrual, int largestDeduction)
{
    return QStringLiteral("ВНИМАНИЕ! Не все начисления/удержания попадут в ведомость!Сейчас: начислений-%1, "
                          "удержаний-%2 (допустимо 7 и 5).Продолжить ?")
        .arg(largestAccrual)
        .arg(largestDeduction);
}

QByteArray SettlementPlan::templateName() const
{
    if (kind == SettlementBudget)
        return kSettlementBudgetTemplate;
    const char* pattern = kind == SettlementT49 ? kSettlementT49Template : kSettlementT51Template;
    return QString::fromLatin1(pattern).arg(album).toLatin1();
}

SettlementPlan PlanSettlementStatement(int kind, const PayrollDoc& doc)
{
    SettlementPlan plan;
    plan.kind = kind == SettlementT51Too ? SettlementT51 : kind;
    // The largest columns of the vedShap kinds, compared unsigned: a column
    // that reads as negative counts as larger than any other.
    auto larger = [](int column, int than) { return std::uint8_t(column) > std::uint8_t(than); };
    for (const infobase::PayKind& payKind : doc.infoBase.payKinds()) {
        if (payKind.kod == 0 || !payKind.vedShap || payKind.vedStlb == 0)
            continue;
        int& largest = payKind.kod < kFirstDeductionCode ? plan.largestAccrual : plan.largestDeduction;
        if (larger(payKind.vedStlb, largest))
            largest = payKind.vedStlb;
    }
    const bool tooMany = larger(plan.largestAccrual, 6) || larger(plan.largestDeduction, 4);
    if (plan.kind == SettlementBudget) {
        plan.accrualColumns = 7;
        plan.deductionColumns = 5;
        plan.ask = larger(plan.largestAccrual, 7) || larger(plan.largestDeduction, 5);
    } else if (tooMany) {
        plan.album = 2;
        plan.accrualColumns = 14;
        plan.deductionColumns = 7;
    }
    return plan;
}

void FillSettlementStatement(CTree& tree, const StatementPrintParams& params, PayrollDoc& doc, int markedOnly,
                             const SettlementPlan& plan)
{
    SettlementWriter(tree, params, doc, markedOnly, plan).Write();
}

int PrintSettlementStatement(StatementPrintParams& params, PayrollDoc& doc, const QString& outputPath, int markedOnly,
                             QString* errorText)
{
    if (params.variant == SettlementT51Too)
        params.variant = SettlementT51;
    if (params.variant > SettlementBudget) {
        if (errorText != nullptr)
            *errorText = QStringLiteral("Неизвестный вид ведомости: %1").arg(params.variant);
        return kPrintFileFault;
    }
    const SettlementPlan plan = PlanSettlementStatement(params.variant, doc);
    if (plan.ask &&
        AskQuestion(SettlementColumnsQuestion(plan.largestAccrual, plan.largestDeduction)) != kSettlementAnswerYes)
        return kSettlementDeclined;
    try {
        CTree tree(plan.templateName(), outputPath);
        FillSettlementStatement(tree, params, doc, markedOnly, plan);
        const int generated = tree.Generate();
        if (errorText != nullptr)
            *errorText = tree.ErrorText();
        return generated < 0 ? kPrintFileFault : kSettlementDone;
    } catch (const TextError& error) {
        // The template cannot be opened or read.
        if (errorText != nullptr)
            *errorText = error.message();
        return kPrintFileFault;
    }
}

} // namespace kalvor::print
