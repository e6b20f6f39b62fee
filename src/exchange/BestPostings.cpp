#include "exchange/BestPostings.h"

#include "infobase/InfoBaseDb.h"
#include "infobase/PayKindCodes.h"
#include "infobase/SwapFile.h"
#include "payroll/Contributions.h"
#include "payroll/IncomeTax.h"
#include "payroll/PayKinds.h"
#include "platform/CodePage.h"
#include "platform/SavedFile.h"
#include "print/TextHelpers.h"
#include "summaries/SummaryHelpers.h"
#include "values/Messages.h"
#include "values/RoundText.h"

#include <QIODevice>

#include <algorithm>
#include <vector>

namespace kalvor::exchange {

using infobase::AccrualRow;
using infobase::ContributionKind;
using infobase::EmployeeListEntry;
using infobase::PayKind;
using summaries::CodeSumTree;

namespace {

// The record every line starts from (the first 203 characters are used);
// "РУБ" in windows-1251.
constexpr char kRecordTemplate[] = "       14datedate000001debt            krdt                          0.000name50"
                                   "                                            \xD0\xD3\xC1              0.000      "
                                   "1.00000 datedate        0      0         0   0      \r\n";
static_assert(sizeof(kRecordTemplate) - 1 == 206);

// Offsets within the record.
constexpr int kDateAt = 9, kDebitAt = 23, kCreditAt = 39, kAmountAt = 55, kTextAt = 74, kAmountAgainAt = 127,
              kDateAgainAt = 160;
constexpr int kTextWidth = 50;
constexpr int kAccrualTextLength = 40, kDeductionTextLength = 20;

// The leaf of the pay itself, and the leaves of contributions computed by
// tax table (256 + their row in the contribution file).
constexpr int kPayLeaf = 0, kTableContributionLeaf = 256;
constexpr double kDisabledFactor = 0.6; // a disabled employee's contribution by tax table
// The flag word's bits of a deduction exported to accounting.
constexpr int kExportFlag = 0x100, kSecondExportFlag = 0x200;

// The text of the pay posting: its credit account is 70.
QByteArray PayText()
{
    return codepage::toCp1251(QStringLiteral("ШПЗ                                              (007000000000)    "));
}

// The group without its leading blanks and then its leading zeros.
QByteArray Significant(QByteArrayView group)
{
    qsizetype at = 0;
    while (at < group.size() && group[at] == ' ') ++at;
    while (at < group.size() && group[at] == '0') ++at;
    return group.sliced(at).toByteArray();
}

bool LeftOut(const AccrualRow& row) { return IsCarriedPayCode(row.kod) || row.sum == 0; }

std::int64_t WholeKopecks(double amount) { return std::int64_t(RoundThroughText(amount, 0)); }

} // namespace

QByteArray BestGroup(int value)
{
    char digits[16] = {};
    const int length = print::IntToDigitsZero(value, digits, 4);
    return QByteArray(digits, length);
}

QByteArray FormatBestAccount(QByteArrayView a, QByteArrayView b, QByteArrayView c)
{
    QByteArray field(16, ' ');
    const QByteArray leading = (Significant(a) + Significant(b)).left(10);
    field.replace(0, leading.size(), leading);
    const QByteArray last = Significant(c).right(6);
    if (!last.isEmpty())
        field.replace(10, 6, QByteArray(6 - last.size(), '0') + last);
    return field;
}

QByteArray FormatBestAmount(std::int64_t kopecks)
{
    QByteArray field("              0.000");
    const std::uint64_t magnitude = kopecks < 0 ? std::uint64_t(-kopecks) : std::uint64_t(kopecks);
    const std::uint64_t roubles = magnitude / 100, cents = magnitude % 100;
    field[16] = char('0' + cents / 10);
    field[17] = char('0' + cents % 10);
    int first = 14; // an amount below a rouble keeps the "0" there
    if (roubles > 0) {
        const QByteArray digits = QByteArray::number(qulonglong(roubles)).right(15);
        first = 15 - int(digits.size());
        field.replace(first, digits.size(), digits);
    }
    if (kopecks < 0 && first > 0)
        field[first - 1] = '-';
    return field;
}

QByteArray BestPostingDate(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int days = month == 2 && year % 4 == 0 ? 29 : kDays[std::clamp(month, 1, 12) - 1];
    return QByteArray::number(year).rightJustified(4, '0') + QByteArray::number(month).rightJustified(2, '0') +
           QByteArray::number(days);
}

QByteArray FormatBestRecord(const QByteArray& date, const BestAccount& debit, const BestAccount& credit,
                            QByteArrayView text, int textLength, std::int64_t kopecks)
{
    QByteArray record(kRecordTemplate, kBestRecordLength);
    const QByteArray amount = FormatBestAmount(kopecks);
    QByteArray textField = text.first(std::min<qsizetype>(text.size(), textLength)).toByteArray();
    textField = textField.leftJustified(textLength, ' ').leftJustified(kTextWidth, ' ');
    record.replace(kDateAt, 8, date);
    record.replace(kDebitAt, 16, FormatBestAccount(debit.a, debit.b, debit.c));
    record.replace(kCreditAt, 16, FormatBestAccount(credit.a, credit.b, credit.c));
    record.replace(kAmountAt, amount.size(), amount);
    record.replace(kTextAt, kTextWidth, textField);
    record.replace(kAmountAgainAt, amount.size(), amount);
    record.replace(kDateAgainAt, 8, date);
    return QByteArray(10, ' ') + record + " \r\n";
}

namespace {

// One contribution of the "sbor" file as the first pass uses it.
struct BestContribution {
    int code = 0;
    int selector = 0;
    int table = 0; // tax table number, 0 none
    QByteArray text; // 8-bit, 64 characters
    bool partOfTotal = false; // posted within a contribution of its own rows
};

// A contribution computed by tax table whose credit account and sub-account
// are those of a contribution with rows of its own is a part of that total
// (the insurance and funded parts of the pension contribution): the total is
// posted, the part is not posted again.
void MarkPartsOfTotals(std::vector<BestContribution>& contributions)
{
    const auto account = [](const QByteArray& text) {
        int a = 0, b = 0, c = 0;
        return summaries::ParseCodesInParens(text, a, b, c) != 0 ? std::pair{a, b} : std::pair{-1, -1};
    };
    for (BestContribution& part : contributions) {
        if (part.code != 0 || account(part.text).first < 0)
            continue;
        for (const BestContribution& total : contributions)
            part.partOfTotal = part.partOfTotal || (total.code != 0 && account(total.text) == account(part.text));
    }
}

// One run of the export.
class BestPostingsRun {
public:
    BestPostingsRun(std::stop_token stop, PayrollDoc& doc, QIODevice& out, const PostingsSelection& selection);
    int Run();

private:
    bool EmployeeWanted(const EmployeeListEntry& entry) const;
    bool RowInShop(const AccrualRow& row, int slot) const;
    bool DisabledInMonth() const;
    bool Admits(int selector, int code) const;
    int SpreadContributions(int slot);
    int ContributionSum(const BestContribution& contribution, double base, double own, double& sum) const;
    void AddPay(int slot);
    int WriteAccruals();
    void WriteAccrualNode(int first, int second, int third);
    bool ContributionCode(int code) const;
    void CollectDeductions(int slot);
    int WriteDeductions();
    void WriteLine(const BestAccount& debit, const BestAccount& credit, QByteArrayView text, int textLength,
                   std::int64_t kopecks);

    std::stop_token m_stop;
    PayrollDoc& m_doc;
    infobase::CInfoBase& m_base;
    QIODevice& m_out;
    const PostingsSelection& m_selection;
    CodeSumTree m_tree;
    QByteArray m_date;
    QByteArray m_shopGroup; // the selected shop in four digits, or four blanks
    std::vector<BestContribution> m_contributions;
};

BestPostingsRun::BestPostingsRun(std::stop_token stop, PayrollDoc& doc, QIODevice& out,
                                 const PostingsSelection& selection)
    : m_stop(std::move(stop)), m_doc(doc), m_base(doc.infoBase), m_out(out), m_selection(selection)
{
    m_tree.growing = true;
    m_date = BestPostingDate(m_base.config.reportingYear(), m_base.config.reportingMonth());
    m_shopGroup = selection.shop != 0 ? BestGroup(selection.shop) : QByteArray(kBestBlankGroup);
    const int count = std::min<int>(doc.refFiles.sborCount, infobase::CRefFiles::SborCapacity);
    for (int k = 0; k < count; ++k) {
        const ContributionKind& kind = doc.refFiles.sbor[std::size_t(k)];
        m_contributions.push_back(
            {kind.code, kind.baseSelector, kind.table, codepage::toCp1251(kind.name).leftJustified(64, ' ', true)});
    }
    MarkPartsOfTotals(m_contributions);
}

bool BestPostingsRun::EmployeeWanted(const EmployeeListEntry& entry) const
{
    if (!m_base.holdsSlot(entry.slot))
        return false;
    const infobase::EmployeeAttributes& attributes = m_base.attributesOf(entry.slot);
    if (m_selection.brigade != 0 && attributes.brig != m_selection.brigade)
        return false;
    return m_selection.profession == 0 || attributes.prof == m_selection.profession;
}

bool BestPostingsRun::RowInShop(const AccrualRow& row, int slot) const
{
    if (m_selection.shop == 0)
        return true;
    return row.otd == m_selection.shop || (row.otd == 0 && m_base.shopOf(slot) == m_selection.shop);
}

bool BestPostingsRun::DisabledInMonth() const
{
    const infobase::EmployeeHead& head = m_base.current.head;
    return kalvor::DisabledInMonth(head, m_base.config.tekMes);
}

bool BestPostingsRun::Admits(int selector, int code) const
{
    const PayKind* kind = PayKindOf(m_doc, code);
    return kind != nullptr && ContributionBaseAdmits(selector, *kind, m_doc);
}

int BestPostingsRun::ContributionSum(const BestContribution& contribution, double base, double own, double& sum) const
{
    if (contribution.code != 0) {
        sum = own;
        return 0;
    }
    if (contribution.table < 1)
        return -32;
    const int variant = TaxVariantForMonth(contribution.table, ReportingMonthIndex(m_doc), m_doc);
    if (variant < 0)
        return variant;
    const auto& table = m_doc.refFiles.taxTableAt(contribution.table);
    sum = PercentCharge(table.variants[std::size_t(variant)].scale, base / 100, 0);
    if (DisabledInMonth())
        sum *= kDisabledFactor;
    return 0;
}

int BestPostingsRun::SpreadContributions(int slot)
{
    const auto& rows = m_base.current.rows;
    for (std::size_t k = 0; k < m_contributions.size(); ++k) {
        const BestContribution& contribution = m_contributions[k];
        if (contribution.partOfTotal)
            continue;
        double base = 0, own = 0;
        for (const AccrualRow& row : rows) {
            if (LeftOut(row))
                continue;
            if (IsPaidAccrualCode(row.kod) && Admits(contribution.selector, row.kod))
                base += row.sum;
            else if (!IsPaidAccrualCode(row.kod) && row.kod == contribution.code)
                own += row.sum;
        }
        double sum = 0;
        if (const int result = ContributionSum(contribution, base, own, sum); result != 0)
            return result;
        if (sum == 0 || base == 0)
            continue;
        const int leaf = contribution.code != 0 ? contribution.code : kTableContributionLeaf + int(k);
        for (const AccrualRow& row : rows) {
            if (LeftOut(row) || !IsPaidAccrualCode(row.kod) || !RowInShop(row, slot) ||
                !Admits(contribution.selector, row.kod))
                continue;
            summaries::InsertCodeSum(m_tree, row.spzCh, leaf, sum * row.sum / base, row.spzSc, row.spzAu);
        }
    }
    return 0;
}

void BestPostingsRun::AddPay(int slot)
{
    for (const AccrualRow& row : m_base.current.rows) {
        if (!LeftOut(row) && IsPaidAccrualCode(row.kod) && RowInShop(row, slot))
            summaries::InsertCodeSum(m_tree, row.spzCh, kPayLeaf, row.sum, row.spzSc, row.spzAu);
    }
}

void BestPostingsRun::WriteLine(const BestAccount& debit, const BestAccount& credit, QByteArrayView text,
                                int textLength, std::int64_t kopecks)
{
    const QByteArray line = FormatBestRecord(m_date, debit, credit, text, textLength, kopecks);
    if (m_out.write(line) != line.size())
        throw TextError(platform::WriteFailureOf(m_out));
}

// The postings of one cost code: one per contribution, then the pay.
void BestPostingsRun::WriteAccrualNode(int first, int second, int third)
{
    const auto& nodes = m_tree.nodes;
    std::vector<std::pair<int, double>> sums;
    for (int leaf = nodes[std::size_t(third)].child; leaf >= 0; leaf = m_tree.leaves[std::size_t(leaf)].next)
        sums.emplace_back(m_tree.leaves[std::size_t(leaf)].key, m_tree.leaves[std::size_t(leaf)].amount);
    const auto sumOf = [&sums](int key) {
        double total = 0;
        for (const auto& [leafKey, amount] : sums) total += leafKey == key ? amount : 0;
        return total;
    };
    const BestAccount debit{BestGroup(nodes[std::size_t(first)].key), BestGroup(nodes[std::size_t(second)].key),
                            m_selection.shop != 0 ? m_shopGroup : BestGroup(nodes[std::size_t(third)].key)};
    const QByteArray payText = PayText();
    for (std::size_t k = 0; k <= m_contributions.size(); ++k) {
        const bool pay = k == m_contributions.size();
        const QByteArray& text = pay ? payText : m_contributions[k].text;
        const int code = pay ? 0 : m_contributions[k].code;
        double amount = sumOf(code == 0 && !pay ? kTableContributionLeaf + int(k) : code);
        if (!pay)
            amount = RoundWhole(amount / 100) * 100;
        if (amount <= 0)
            continue;
        BestAccount postingDebit = debit;
        BestAccount credit{kBestBlankGroup, kBestBlankGroup, kBestBlankGroup};
        int account = 0, subaccount = 0, analytics = 0;
        if (summaries::ParseCodesInParens(text, account, subaccount, analytics) != 0) {
            const QByteArray shopOrZero = BestGroup(m_selection.shop);
            credit = {BestGroup(account), shopOrZero, shopOrZero};
            const QByteArray replacement = BestGroup(analytics);
            if (analytics != 0 && replacement.left(2) == debit.a.left(2))
                postingDebit.a = replacement;
        }
        WriteLine(postingDebit, credit, text, kAccrualTextLength, WholeKopecks(amount));
    }
}

int BestPostingsRun::WriteAccruals()
{
    const auto& nodes = m_tree.nodes;
    for (int first = m_tree.root; first >= 0 && nodes[std::size_t(first)].key != CodeSumTree::SentinelKey;
         first = nodes[std::size_t(first)].next) {
        for (int second = nodes[std::size_t(first)].child; second >= 0; second = nodes[std::size_t(second)].next) {
            for (int third = nodes[std::size_t(second)].child; third >= 0; third = nodes[std::size_t(third)].next) {
                WriteAccrualNode(first, second, third);
                if (m_stop.stop_requested())
                    return 1;
            }
            if (m_stop.stop_requested())
                return 1;
        }
        if (m_stop.stop_requested())
            return 1;
    }
    return 0;
}

bool BestPostingsRun::ContributionCode(int code) const
{
    return std::any_of(m_contributions.begin(), m_contributions.end(),
                       [code](const BestContribution& contribution) { return contribution.code == code; });
}

// The deductions exported to accounting (bit 8 or bit 9 of the kind's flag
// word) under their cost codes; the analytics may come from the employee's
// own cost codes 4 (bit 9) and 5 (bit 8). The rows of a contribution are the
// employer's cost, posted by the first pass: they are no deduction from pay.
void BestPostingsRun::CollectDeductions(int slot)
{
    const infobase::EmployeeHead& head = m_base.current.head;
    for (const AccrualRow& row : m_base.current.rows) {
        if (row.kod < kFirstDeductionCode || row.sum == 0 || !RowInShop(row, slot))
            continue;
        const PayKind* kind = PayKindOf(m_doc, row.kod);
        if (kind == nullptr || (kind->flags & (kExportFlag | kSecondExportFlag)) == 0 || ContributionCode(row.kod))
            continue;
        int third = row.spzAu;
        if ((kind->flags & kSecondExportFlag) != 0 && (head.spz[4][2] & 0x3FFF) != 0)
            third = head.spz[4][2] & 0x3FFF;
        if ((kind->flags & kExportFlag) != 0 && (head.spz[5][2] & 0x3FFF) != 0)
            third = head.spz[5][2] & 0x3FFF;
        if (row.kod == kCodePensionTaxed)
            third = m_selection.shop;
        else if (row.kod == kCodeIncomeTax)
            third = 0;
        else if (row.kod == kCodeSecondTax)
            third = row.spzAu;
        summaries::InsertCodeSum(m_tree, row.spzCh, row.kod, row.sum, row.spzSc, third);
    }
}

int BestPostingsRun::WriteDeductions()
{
    const BestAccount debit{BestGroup(70), BestGroup(0), m_shopGroup};
    const auto& nodes = m_tree.nodes;
    for (int first = m_tree.root; first >= 0 && nodes[std::size_t(first)].key != CodeSumTree::SentinelKey;
         first = nodes[std::size_t(first)].next) {
        for (int second = nodes[std::size_t(first)].child; second >= 0; second = nodes[std::size_t(second)].next) {
            for (int third = nodes[std::size_t(second)].child; third >= 0; third = nodes[std::size_t(third)].next) {
                const BestAccount credit{BestGroup(nodes[std::size_t(first)].key),
                                         BestGroup(nodes[std::size_t(second)].key),
                                         BestGroup(nodes[std::size_t(third)].key)};
                for (int leaf = nodes[std::size_t(third)].child; leaf >= 0;
                     leaf = m_tree.leaves[std::size_t(leaf)].next) {
                    if (m_stop.stop_requested())
                        return 1;
                    const auto& sum = m_tree.leaves[std::size_t(leaf)];
                    const PayKind* kind = PayKindOf(m_doc, sum.key);
                    const QByteArray name = codepage::toCp1251(kind != nullptr ? kind->name : QString());
                    WriteLine(debit, credit, name, kDeductionTextLength, WholeKopecks(sum.amount));
                }
            }
        }
    }
    return 0;
}

int BestPostingsRun::Run()
{
    // First pass: accruals and the contributions spread over them.
    for (int index = 0; index < m_base.employeeCount(); ++index) {
        if (m_stop.stop_requested())
            return 1;
        const EmployeeListEntry entry = m_base.list[std::size_t(index)];
        if (!EmployeeWanted(entry))
            continue;
        infobase::LoadKonstAttributes(m_base, entry.slot);
        infobase::LoadProizvZarpByMass(m_base, entry.slot, 2, infobase::kResultRowsTable);
        if (const int result = SpreadContributions(entry.slot); result != 0)
            return result;
        AddPay(entry.slot);
    }
    if (const int result = WriteAccruals(); result != 0)
        return result;

    // Second pass: the deductions, debiting account 70.
    m_tree.Reset();
    for (int index = 0; index < m_base.employeeCount(); ++index) {
        if (m_stop.stop_requested())
            return 1;
        const EmployeeListEntry entry = m_base.list[std::size_t(index)];
        if (!EmployeeWanted(entry))
            continue;
        infobase::LoadEmployee(m_base, entry.slot);
        // The month's computed rows alone: the entries are among them already.
        infobase::LoadProizvZarpByMass(m_base, entry.slot, 2, infobase::kResultRowsTable);
        CollectDeductions(entry.slot);
    }
    return WriteDeductions();
}

} // namespace

int ExportPostingsBest(std::stop_token stop, PayrollDoc& doc, QIODevice& out, const PostingsSelection& selection)
{
    BestPostingsRun run(std::move(stop), doc, out, selection);
    return run.Run();
}

} // namespace kalvor::exchange
