#include "exchange/Postings1C.h"

#include "infobase/EmployeeRecord.h"
#include "infobase/InfoBaseDb.h"
#include "infobase/PayKindCodes.h"
#include "infobase/SwapFile.h"
#include "payroll/IncomeTax.h"
#include "payroll/PayKinds.h"
#include "platform/CodePage.h"
#include "platform/SavedFile.h"
#include "platform/WorkingFolder.h"
#include "summaries/SummaryHelpers.h"
#include "values/CScan.h"
#include "values/Messages.h"
#include "values/RoundText.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <new>

namespace kalvor::exchange {

using infobase::AccrualRow;
using infobase::PayKind;

namespace {

const char* const kMemoryErrorText = "Программная ошибка работы с памятью";
const QByteArray kSeparator = "\",\"";

constexpr int kTaxSplitSlot = 6; // the first level of "Субконто 4"
constexpr double kFederalShare = 0.0084, kRegionalShare = 0.0016; // of kopecks, in roubles
constexpr int kKindTextLength = 20, kTaxTextLength = 50, kTaxNameLimit = 64;
constexpr int kPayKindNameWidth = 119;
constexpr int kExportFlag = 0x100;
// The month's rows of the block; the later slots wait for future months.
constexpr int kMonthRows = ::kalvor::infobase::EmployeeRecord::MonthRowCount;

QByteArray Number(int value) { return QByteArray::number(value); }
// "%3d"
QByteArray AccountText(int account) { return Number(account).rightJustified(3, ' '); }
// Three characters right-aligned, or three blanks for 0 and above 99.
QByteArray SubaccountText(int subaccount)
{
    if (subaccount <= 0 || subaccount > 99)
        return QByteArray(3, ' ');
    return Number(subaccount).rightJustified(3, ' ');
}
// "%.2f" of the amount in roubles.
QByteArray AmountText(double roubles) { return FormatFixed8(roubles, 2); }

// The text up to the first two blanks in a row that start within its first
// `limit` characters, else its first `limit` characters.
QByteArray CutAtDoubleBlank(const QByteArray& text, int limit)
{
    const qsizetype pair = text.indexOf("  ");
    if (pair >= 0 && pair < limit)
        return text.left(pair);
    return text.left(limit);
}

// The quoted fields of a line up to the one after the text:
// "zp","date",<accounts>,amount,"text","
QByteArray LineHead(const Postings1CSetup& setup, const QByteArray& accounts, double roubles, const QByteArray& text)
{
    return '"' + QByteArray("zp") + kSeparator + setup.date + kSeparator + accounts + "\"," + AmountText(roubles) +
           ",\"" + text + kSeparator;
}

// The rest of a line: the two first analytics texts (the second may be an
// empty field), five empty fields, the six further analytics texts.
QByteArray LineTail(const QByteArray& first, const QByteArray& second, const std::array<QByteArray, 6>& further)
{
    QByteArray tail = first + kSeparator + second + "\",,,,,\"";
    for (std::size_t k = 0; k < further.size(); ++k) tail += (k == 0 ? QByteArray() : kSeparator) + further[k];
    return tail + "\" \r\n";
}

// One side of a posting: its account, subaccount and analytics texts.
struct PostingSide {
    int account = 0;
    int subaccount = 0;
    SubcontoTexts texts;
    ChartLine line;
};

// The line of a side without a line in the chart: one analytics slot of
// kind 1 (the row's analytics value), or none.
ChartLine LineWithoutChart(bool rowSide)
{
    ChartLine line;
    if (rowSide) {
        line.text[8] = '1';
        line.text[9] = '0';
    }
    return line;
}

PostingSide MakeSide(int account, int subaccount, const SubcontoValues& values, const Postings1CSetup& setup,
                     bool rowSide)
{
    PostingSide side{account, subaccount, {}, LineWithoutChart(rowSide)};
    int index = FindPlanAccount(account, 0, setup.chart);
    if (index < 0)
        index = FindPlanAccount(account, subaccount, setup.chart);
    if (index >= 0)
        side.line = setup.chart[std::size_t(index)];
    side.texts = FormatSubconto(side.line, values, setup.transitions);
    return side;
}

// The pay kind of the code; null without one (or without a document).
const PayKind* KindOf(const Postings1CSetup& setup, int code)
{
    return setup.doc != nullptr ? PayKindOf(*setup.doc, code) : nullptr;
}

// The pay kind's name (8-bit, padded to 119) cut at two blanks within 20
// characters; "Зарплата" for no kind and for joined accruals.
QByteArray PostingText(const Postings1CSetup& setup, int code)
{
    const PayKind* kind = KindOf(setup, code);
    if (kind == nullptr || (setup.joinAccruals && IsPaidAccrualCode(code)))
        return codepage::toCp1251(QStringLiteral("Зарплата"));
    const QByteArray name = codepage::toCp1251(kind->name).leftJustified(kPayKindNameWidth, ' ', true);
    return CutAtDoubleBlank(name, kKindTextLength);
}

QByteArray AccrualLine(const PostingSide& row, const PostingSide& settings, const QByteArray& text, double roubles,
                       const Postings1CSetup& setup)
{
    const QByteArray accounts = AccountText(row.account) + kSeparator + SubaccountText(row.subaccount) + kSeparator +
                                AccountText(settings.account) + kSeparator + SubaccountText(settings.subaccount);
    return LineHead(setup, accounts, roubles, text) +
           LineTail(
               row.texts[0], settings.texts[0],
               {row.texts[1], row.texts[2], row.texts[3], settings.texts[1], settings.texts[2], settings.texts[3]});
}

QByteArray SettingsFirstAccounts(const PostingSide& settings)
{
    return AccountText(settings.account) + kSeparator + SubaccountText(settings.subaccount) + kSeparator;
}

QByteArray DeductionLine(const PostingSide& row, const PostingSide& settings, const QByteArray& text, double roubles,
                         const Postings1CSetup& setup)
{
    QByteArray accounts = SettingsFirstAccounts(settings) + AccountText(row.account);
    if (row.subaccount != 0)
        accounts += '.' + Number(row.subaccount);
    return LineHead(setup, accounts, roubles, text) + LineTail(row.texts[0], settings.texts[0],
                                                               {settings.texts[1], settings.texts[2], settings.texts[3],
                                                                row.texts[1], row.texts[2], row.texts[3]});
}

QByteArray ContributionLine(const PostingSide& row, const PostingSide& settings, const QByteArray& text, double roubles,
                            const Postings1CSetup& setup)
{
    const QByteArray accounts =
        SettingsFirstAccounts(settings) + AccountText(row.account) + '.' + Number(row.subaccount) + '.' + row.texts[0];
    return LineHead(setup, accounts, roubles, text) + LineTail(settings.texts[0], QByteArray(),
                                                               {settings.texts[1], settings.texts[2], settings.texts[3],
                                                                row.texts[1], row.texts[2], row.texts[3]});
}

// The income tax on an account whose line splits it: the row's second
// analytics text is the number of the seventh slot, then of the eighth.
QByteArray TaxSplitLines(const PostingSide& row, const PostingSide& settings, const QByteArray& text, double kopecks,
                         const Postings1CSetup& setup)
{
    const QByteArray accounts =
        SettingsFirstAccounts(settings) + AccountText(row.account) + kSeparator + SubaccountText(row.subaccount);
    QByteArray lines;
    const std::pair<double, int> parts[] = {{kFederalShare, kTaxSplitSlot}, {kRegionalShare, kTaxSplitSlot + 1}};
    for (const auto& [share, slot] : parts) {
        lines += LineHead(setup, accounts, kopecks * share, text) +
                 LineTail(settings.texts[0], row.texts[0],
                          {settings.texts[1], settings.texts[2], settings.texts[3], Number(row.line.number(slot)),
                           row.texts[2], QByteArray()});
    }
    return lines;
}

// A tax share: the row side debited, the account of the tax's name credited.
QByteArray TaxShareLine(const PostingKey1C& key, int tax, double roubles, const Postings1CSetup& setup)
{
    const infobase::TaxTable table = setup.doc != nullptr && infobase::CRefFiles::holdsTaxTable(tax)
                                         ? setup.doc->refFiles.taxTableAt(tax)
                                         : infobase::TaxTable{};
    const QByteArray name = codepage::toCp1251(table.name).leftJustified(infobase::TaxTable::NameWidth, ' ', true);
    int account = 0, subaccount = 0, analytics = 0;
    summaries::ParseCodesInParens(name, account, subaccount, analytics, kTaxNameLimit);
    SubcontoValues taxValues = key.values;
    taxValues.analytics = analytics;
    const PostingSide taxSide = MakeSide(account, subaccount, taxValues, setup, true);

    // The withheld tax's own pay kind on the row's account gives the row side
    // its subaccount and analytics value.
    SubcontoValues rowValues = key.values;
    int rowSubaccount = key.subaccount;
    if (const PayKind* kind = KindOf(setup, table.taxRowCode); kind != nullptr && kind->spzCh == key.account) {
        rowSubaccount = kind->spzSc;
        rowValues.analytics = kind->spzAu;
    }
    const PostingSide row = MakeSide(key.account, rowSubaccount, rowValues, setup, true);

    QByteArray accounts = AccountText(row.account) + kSeparator + SubaccountText(row.subaccount) + kSeparator +
                          AccountText(taxSide.account);
    if (taxSide.subaccount != 0)
        accounts += '.' + Number(taxSide.subaccount);
    if (!taxSide.texts[0].isEmpty())
        accounts += '.' + taxSide.texts[0];
    return LineHead(setup, accounts, roubles, CutAtDoubleBlank(name, kTaxTextLength)) +
           LineTail(row.texts[0], QByteArray(),
                    {row.texts[1], row.texts[2], row.texts[3], taxSide.texts[1], taxSide.texts[2], taxSide.texts[3]});
}

QByteArray PostingLines(const PostingKey1C& key, int code, double kopecks, const Postings1CSetup& setup)
{
    if (code >= kTaxShareCode) {
        if (kopecks == 0)
            return {};
        return TaxShareLine(key, code - kTaxShareCode, kopecks / 100, setup);
    }
    const PostingSide row = MakeSide(key.account, key.subaccount, key.values, setup, true);
    const PostingSide settings = MakeSide(setup.settingsAccount, setup.settingsSubaccount, key.values, setup, false);
    const QByteArray text = PostingText(setup, code);
    if (IsPaidAccrualCode(code))
        return AccrualLine(row, settings, text, kopecks / 100, setup);
    if (IsContributionCode(code))
        return ContributionLine(row, settings, text, kopecks / 100, setup);
    if (code == kCodeIncomeTax && row.line.kind(kTaxSplitSlot) == SubcontoBudgetSplit)
        return TaxSplitLines(row, settings, text, kopecks, setup);
    return DeductionLine(row, settings, text, kopecks / 100, setup);
}

} // namespace

QByteArray LastDayText(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int monthInRange = std::clamp(month, 1, 12);
    const int days = monthInRange == 2 && year % 4 == 0 ? 29 : kDays[monthInRange - 1];
    const auto twoDigits = [](int value) { return Number(value).rightJustified(2, '0'); };
    return twoDigits(days) + '.' + twoDigits(monthInRange) + '.' + twoDigits(year % 100);
}

int FindPlanAccount(int account, int subaccount, const Chart1C& chart, SubcontoKindsPresent* present)
{
    int found = -1;
    int lines = 0;
    for (std::size_t k = 0; k < chart.size(); ++k) {
        if (chart[k].account() != account)
            continue;
        if (++lines == 1)
            found = int(k);
    }
    if (lines > 1) {
        found = -1;
        for (std::size_t k = 0; k < chart.size() && found < 0; ++k)
            if (chart[k].account() == account && chart[k].subaccount() == subaccount)
                found = int(k);
    }
    if (present != nullptr) {
        present->fill(false);
        for (int slot = 0; found >= 0 && slot < kChartSlots; ++slot) {
            const int kind = chart[std::size_t(found)].kind(slot);
            if (kind >= SubcontoAnalytics && kind <= SubcontoPersonnelNumber)
                (*present)[std::size_t(kind - 1)] = true;
        }
    }
    return found;
}

int PickSubcontoValue(int value, char option, int kind, QByteArrayView numberText, const TransitionLines& transitions)
{
    if (option == ' ' || option == '\0')
        return 0;
    if (option < '0' || option > '9')
        return -1;
    const int slotNumber = AtoiC(numberText.data(), numberText.size());
    const bool translated = (option == '1' || option == '2') && (kind == SubcontoShop || kind == SubcontoBrigade);
    if (!translated || value == 0)
        return value != 0 ? value : slotNumber;
    for (const TransitionLine& line : transitions) {
        if (line.number != value)
            continue;
        // Each field is read with the blank after it: shops from column 5,
        // brigades from 15, field 2 five columns further.
        const int column = (kind == SubcontoShop ? 5 : 15) + (option == '2' ? 5 : 0);
        return AtoiC(line.text.constData() + column, 5);
    }
    return slotNumber;
}

SubcontoTexts FormatSubconto(const ChartLine& line, const SubcontoValues& values, const TransitionLines& transitions)
{
    std::array<int, kChartSlots> slotValues{};
    for (int slot = 0; slot < kChartSlots; ++slot) {
        const int kind = line.kind(slot);
        const int column = 8 + 7 * slot;
        const QByteArrayView numberText = QByteArrayView(line.text).sliced(column + 2, 4);
        int value = 0;
        switch (kind) {
        case SubcontoAnalytics: value = values.analytics; break;
        case SubcontoShop: value = values.shop; break;
        case SubcontoBrigade: value = values.brigade; break;
        case SubcontoPersonnelNumber: value = values.personnelNumber; break;
        case SubcontoSlotNumber: slotValues[std::size_t(slot)] = line.number(slot); continue;
        default: continue;
        }
        slotValues[std::size_t(slot)] = PickSubcontoValue(value, line.text[column + 1], kind, numberText, transitions);
    }
    SubcontoTexts texts;
    for (std::size_t pair = 0; pair < texts.size(); ++pair) {
        const int first = slotValues[2 * pair], second = slotValues[2 * pair + 1];
        if (first != 0 && second != 0)
            texts[pair] = Number(first) + ':' + Number(second);
        else if (first != 0 || second != 0)
            texts[pair] = Number(first != 0 ? first : second);
    }
    return texts;
}

void PostingsTree1C::AddPosting(const PostingKey1C& key, int code, double amount)
{
    try {
        m_paths[key][code] += amount;
    } catch (const std::bad_alloc&) {
        throw TextError(kMemoryErrorText);
    }
}

int Write1CPostings(const PostingKey1C& key, int code, double kopecks, const Postings1CSetup& setup, QIODevice& out)
{
    const QByteArray lines = PostingLines(key, code, kopecks, setup);
    if (out.write(lines) != lines.size())
        throw TextError(platform::WriteFailureOf(out));
    return 0;
}

namespace {

// One tax of the tax reference as the run uses it.
struct Tax1C {
    int table = 0; // the tax's table number in the reference
    int rowCode = 0; // the month row of the tax withheld, 0 = computed by scale
    int selector = 0;
    int scale = 0; // the table number of its scale, 0 none
};

// Whether a tax's selector takes the pay kind, by the kind's flag word:
// 0-5 the kind group ((bits 0-1) + 4 x bit 14) equal to selector + 1, 6 bit
// 8, 7 bit 9, 8 bit 13, from 9 on the kind's mark in the firm's mask
// selector - 9.
bool TaxBaseTakes(int selector, const PayKind& kind, const PayrollDoc& doc)
{
    if (selector <= 5)
        return (kind.flags & 3) + 4 * ((kind.flags >> 14) & 1) == selector + 1;
    static constexpr int kFlagOfSelector[] = {0x100, 0x200, 0x2000};
    if (selector <= 8)
        return (kind.flags & kFlagOfSelector[selector - 6]) != 0;
    const auto& masks = doc.infoBase.firm.masks;
    return std::size_t(selector - 9) < masks.size() && kind.kod < masks[0].size() &&
           masks[std::size_t(selector - 9)][kind.kod] != 0;
}

QString InputFolder(const PayrollDoc& doc)
{
    const QString& folder = doc.infoBase.workFolder;
    return platform::WithSeparator(folder.isEmpty() ? platform::WorkingFolder() : folder);
}

// Throws "Не найден файл <name>" when the folder has no such file.
void RequireFile(const QString& path, const char* name)
{
    if (!QFile::exists(path))
        throw TextError(QStringLiteral("Не найден файл %1").arg(QLatin1String(name)));
}

class Postings1CRun {
public:
    Postings1CRun(const PostingsSelection& selection, std::stop_token stop, QIODevice& out, PayrollDoc& doc);
    int Run();

private:
    void ReadSetup();
    void NoteTaxes();
    bool Stopped() const { return m_stop.stop_requested(); }
    bool RowInShop(const AccrualRow& row, int employeeShop) const;
    std::vector<AccrualRow> EmployeeRows(const infobase::SelectedEmployee& employee);
    int ComputeTaxes(const std::vector<AccrualRow>& rows, std::vector<double>& bases, std::vector<double>& taxes) const;
    int AddEmployee(const infobase::SelectedEmployee& employee);
    void AddRowPostings(const AccrualRow& row, const PayKind& kind, const infobase::SelectedEmployee& employee,
                        const std::vector<double>& bases, const std::vector<double>& taxes);
    int WriteTree();
    void Write(const QByteArray& bytes);

    const PostingsSelection& m_selection;
    std::stop_token m_stop;
    QIODevice& m_out;
    PayrollDoc& m_doc;
    Postings1CSetup m_setup;
    std::vector<Tax1C> m_taxes;
    PostingsTree1C m_tree;
};

Postings1CRun::Postings1CRun(const PostingsSelection& selection, std::stop_token stop, QIODevice& out, PayrollDoc& doc)
    : m_selection(selection), m_stop(std::move(stop)), m_out(out), m_doc(doc)
{}

// The chart, the transition tables and the settings; nothing is written
// before both files have been read.
void Postings1CRun::ReadSetup()
{
    const QString folder = InputFolder(m_doc);
    const QString chartPath = ChartOfAccounts1CFile::PathIn(folder);
    RequireFile(chartPath, ChartOfAccounts1CFile::kFileName);
    m_setup.chart = ChartOfAccounts1CFile::Load(folder);
    RequireFile(TransitionTables1CFile::PathIn(folder), TransitionTables1CFile::kFileName);
    m_setup.transitions = TransitionTables1CFile::Load(folder);

    const auto& config = m_doc.infoBase.config;
    const infobase::FirmInfo& firm = m_doc.infoBase.firm;
    m_setup.date = LastDayText(config.reportingYear(), config.reportingMonth());
    // A stored account of 0 is the default 70 that the settings show.
    m_setup.settingsAccount = firm.c1Ch70 != 0 ? firm.c1Ch70 : 70;
    m_setup.settingsSubaccount = firm.c1Sub70();
    m_setup.joinAccruals = firm.c1TypProv();
    m_setup.doc = &m_doc;
}

// The taxes of the reference; a table never filled in is no tax.
void Postings1CRun::NoteTaxes()
{
    for (int number = 1; number <= m_doc.refFiles.taxTableCount(); ++number) {
        const infobase::TaxTable& table = m_doc.refFiles.taxTableAt(number);
        if (table == infobase::TaxTable{})
            continue;
        m_taxes.push_back({number, table.taxRowCode, table.selector, int(table.scaleNumber)});
    }
}

// With a shop selected, an employee of that shop gives his rows of that shop
// and those without one; an employee of another shop only his rows marked
// with the selected shop.
bool Postings1CRun::RowInShop(const AccrualRow& row, int employeeShop) const
{
    if (m_selection.shop == 0)
        return true;
    return row.otd == m_selection.shop || (row.otd == 0 && employeeShop == m_selection.shop);
}

// The employee's month rows from his first pay row on (none of the rows of
// later months), without the carried balances (150, 151), the rows of no
// amount and those of other shops.
std::vector<AccrualRow> Postings1CRun::EmployeeRows(const infobase::SelectedEmployee& employee)
{
    std::array<AccrualRow, infobase::EmployeeRecord::RowCount> block{};
    if (!m_doc.infoBase.swap.readRows(employee.slot, block.data(), int(block.size())))
        throw TextError(infobase::ReadFileErrorText);
    std::vector<AccrualRow> rows;
    for (int k = std::clamp(employee.firstRow, 0, kMonthRows); k < kMonthRows; ++k) {
        const AccrualRow& row = block[std::size_t(k)];
        if (IsCarriedPayCode(row.kod) || row.sum == 0 || !RowInShop(row, employee.shop))
            continue;
        rows.push_back(row);
    }
    return rows;
}

// Each tax's base and the tax itself: the rows of its withheld-row code, or
// the scale of the reporting month applied to the base.
int Postings1CRun::ComputeTaxes(const std::vector<AccrualRow>& rows, std::vector<double>& bases,
                                std::vector<double>& taxes) const
{
    bases.assign(m_taxes.size(), 0);
    taxes.assign(m_taxes.size(), 0);
    for (std::size_t t = 0; t < m_taxes.size(); ++t) {
        const Tax1C& tax = m_taxes[t];
        for (const AccrualRow& row : rows) {
            const PayKind* kind = PayKindOf(m_doc, row.kod);
            if (kind != nullptr && TaxBaseTakes(tax.selector, *kind, m_doc))
                bases[t] += row.sum;
            if (tax.rowCode != 0 && !IsPaidAccrualCode(row.kod) && row.kod == tax.rowCode)
                taxes[t] += row.sum;
        }
        if (tax.rowCode != 0)
            continue;
        if (tax.scale < 1)
            return -32;
        const int variant = TaxVariantForMonth(tax.scale, ReportingMonthIndex(m_doc), m_doc);
        if (variant < 0)
            return variant;
        const auto& scale = m_doc.refFiles.taxTableAt(tax.scale).variants[std::size_t(variant)].scale;
        taxes[t] = PercentCharge(scale, bases[t] / 100, 0);
    }
    return 0;
}

void Postings1CRun::AddRowPostings(const AccrualRow& row, const PayKind& kind,
                                   const infobase::SelectedEmployee& employee, const std::vector<double>& bases,
                                   const std::vector<double>& taxes)
{
    SubcontoKindsPresent present{};
    if (FindPlanAccount(row.spzCh, row.spzSc, m_setup.chart, &present) < 0)
        present = {true, false, false, false}; // the row's own analytics value only
    PostingKey1C key{row.spzCh, row.spzSc, {}};
    key.values.analytics = present[0] ? int(row.spzAu) : 0;
    key.values.shop = present[1] ? int(employee.shop) : 0;
    key.values.brigade = present[2] ? int(employee.brigade) : 0;
    key.values.personnelNumber = present[3] ? int(employee.tabN) : 0;
    const int code = m_setup.joinAccruals && IsPaidAccrualCode(row.kod) ? kJoinedAccrualCode : row.kod;
    m_tree.AddPosting(key, code, row.sum);

    if (row.kod >= kFirstDeductionCode || row.spzCh == 70)
        return;
    for (std::size_t t = 0; t < m_taxes.size(); ++t) {
        if (bases[t] != 0 && TaxBaseTakes(m_taxes[t].selector, kind, m_doc))
            m_tree.AddPosting(key, kTaxShareCode + m_taxes[t].table, taxes[t] * row.sum / bases[t]);
    }
}

int Postings1CRun::AddEmployee(const infobase::SelectedEmployee& employee)
{
    const std::vector<AccrualRow> rows = EmployeeRows(employee);
    std::vector<double> bases, taxes;
    if (const int result = ComputeTaxes(rows, bases, taxes); result != 0)
        return result;
    for (const AccrualRow& row : rows) {
        const PayKind* kind = PayKindOf(m_doc, row.kod);
        if (kind != nullptr && (kind->flags & kExportFlag) != 0)
            AddRowPostings(row, *kind, employee, bases, taxes);
    }
    return 0;
}

int Postings1CRun::WriteTree()
{
    for (const auto& [key, codes] : m_tree.paths()) {
        for (const auto& [code, amount] : codes) {
            if (Stopped())
                return 1;
            Write1CPostings(key, code, amount, m_setup, m_out);
        }
    }
    return 0;
}

void Postings1CRun::Write(const QByteArray& bytes)
{
    if (m_out.write(bytes) != bytes.size())
        throw TextError(platform::WriteFailureOf(m_out));
}

int Postings1CRun::Run()
{
    ReadSetup();
    NoteTaxes();
    infobase::CInfoBase& base = m_doc.infoBase;
    // Every shop is taken into the work file: an employee of another shop
    // may have rows marked with the selected one.
    const infobase::Selection wanted{0, m_selection.brigade, m_selection.profession, m_selection.personnelNumber, 0};
    std::vector<infobase::SelectedEmployee> employees;
    struct SwapCloser {
        infobase::CInfoBase& base;
        ~SwapCloser() { base.CloseSwapFile(); }
    } closer{base};
    try {
        if (!infobase::SelectKonstProizvToSwap(base, m_stop, wanted, &employees))
            return 1;
        base.OpenSwapFile();
    } catch (const infobase::InfoBaseError& error) {
        throw TextError(error.message());
    }
    const QByteArray quotedDate = '"' + m_setup.date + '"';
    Write(quotedDate + ',' + quotedDate + ",\"zp\" \r\n");

    for (const infobase::SelectedEmployee& employee : employees) {
        if (Stopped())
            return 1;
        if (const int result = AddEmployee(employee); result != 0)
            return result;
    }
    return WriteTree();
}

} // namespace

int ExportPostings1C(const PostingsSelection& selection, std::stop_token stop, QIODevice& out, PayrollDoc& doc)
{
    Postings1CRun run(selection, std::move(stop), out, doc);
    return run.Run();
}

} // namespace kalvor::exchange
