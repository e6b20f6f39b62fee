#include "print/PersonalAccounts.h"

#include "infobase/Bytes.h"
#include "infobase/EmployeeRecord.h"
#include "infobase/PayKindCodes.h"
#include "payroll/IncomeTax.h"
#include "payroll/MonthMoney.h"
#include "payroll/PayKinds.h"
#include "payroll/Rounding.h"
#include "platform/CodePage.h"
#include "platform/TaskThread.h"
#include "print/FormTexts.h"
#include "print/PrintSelection.h"
#include "print/TextHelpers.h"
#include "values/Messages.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include "platform/SavedFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace kalvor::print {

using infobase::AccrualRow;
using infobase::ByteReader;
using infobase::CInfoBase;
using infobase::PackedEmployeeRecord;

namespace {

QByteArray Cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }
QByteArray Number(long value, int width = 0) { return QByteArray::number(qlonglong(value)).rightJustified(width, ' '); }
// "%W.2f" of kopecks in roubles.
QByteArray Money(double kopecks, int width = 0) { return FormatFixed8(kopecks / 100, 2, width); }

// ------------------------------------------------------------------ the employee's fields

// Where the writer's fields lie in the 8-bit record (docs/record-layouts.md).
constexpr std::size_t kNameWidth = 120;
constexpr std::size_t kPositionOffset = 270 + 7 * 120; // dolgName, the eighth text of the head
constexpr std::size_t kNalvichOffset = 4'746;
constexpr std::size_t kNalvichSumOffset = 6; // after kod, start and end
constexpr int kDeductionEntries = 10;
// Rows of the record that the walk may consider, piece-work rows included.
constexpr int kConsideredRows = ::kalvor::infobase::EmployeeRecord::MonthRowCount;

constexpr int kDismissed = 4;
// The pay kind whose name stands for a code that the table lacks: the
// table's record 996 (its entry 995 counted from 0).
constexpr int kUnknownKindNumber = 996;

// The fields of the 8-bit record that an account shows.
struct PrintedFields {
    QByteArray name;
    QByteArray position;
    double oklad = 0;
    double pieceRate = 0;
    double timeRate = 0;
    int tabPodoh = 0;
    std::array<double, kDeductionEntries> deductionSums{};
    std::array<AccrualRow, infobase::EmployeeRecord::RowCount> rows{};
    std::array<bool, infobase::EmployeeRecord::RowCount> emptyRows{};
};

// Whole roubles and thousandths of a 24-bit rate: a byte and a 16-bit word.
double RateAt(ByteReader& reader, std::size_t offset)
{
    reader.seek(offset);
    const infobase::u8 byte = reader.u8v();
    const infobase::u16 word = reader.u16v();
    const infobase::Tariff3 rate = infobase::Tariff3::fromParts(byte, word);
    return rate.rub + rate.thou / 1000.0;
}

PrintedFields ReadPrintedFields(const PackedEmployeeRecord& packed)
{
    PrintedFields fields;
    const char* bytes = packed.bytes.data();
    fields.name = QByteArray(bytes, kNameWidth);
    fields.position = QByteArray(bytes + kPositionOffset, kNameWidth);
    ByteReader reader(bytes, PackedEmployeeRecord::Size);
    reader.seek(PackedEmployeeRecord::OkladOffset);
    fields.oklad = reader.f64();
    fields.pieceRate = RateAt(reader, PackedEmployeeRecord::TarifSdelOffset);
    fields.timeRate = RateAt(reader, PackedEmployeeRecord::TarifVremOffset);
    reader.seek(PackedEmployeeRecord::TabPodohOffset);
    fields.tabPodoh = reader.i8v();
    for (int k = 0; k < kDeductionEntries; ++k) {
        reader.seek(kNalvichOffset + std::size_t(k) * infobase::NalvichEntry::Size + kNalvichSumOffset);
        fields.deductionSums[std::size_t(k)] = reader.f64();
    }
    for (std::size_t row = 0; row < fields.rows.size(); ++row) {
        const std::size_t at = PackedEmployeeRecord::RowsOffset + row * AccrualRow::Size;
        const QByteArrayView rowBytes(bytes + at, AccrualRow::Size);
        fields.emptyRows[row] = rowBytes.count('\0') == qsizetype(AccrualRow::Size);
        reader.seek(at);
        fields.rows[row] = AccrualRow::read(reader);
    }
    return fields;
}

// ------------------------------------------------------------------ rows

enum class CodeClass {
    Skipped, // 0
    Carried, // 151: an accrual, and the sum carried over
    Unpaid, // 600: shown without an amount
    Accrual, // other codes 1-699
    Deduction, // 700-864, 891-939
    Hidden, // 865-890
    Extends, // 940-964, 990 and above: hidden, the walk goes one row further
    Shown, // 965-989: shown, counted nowhere
};

CodeClass ClassOf(int code)
{
    if (code == 0)
        return CodeClass::Skipped;
    if (code == kCodeRestPayCarried)
        return CodeClass::Carried;
    if (code == kCodeUnpaid)
        return CodeClass::Unpaid;
    if (code < kFirstDeductionCode)
        return CodeClass::Accrual;
    if (IsMonthDeductionCode(code))
        return CodeClass::Deduction;
    if (IsInformationDeductionCode(code))
        return CodeClass::Hidden;
    if (!IsAllocationCode(code))
        return CodeClass::Extends;
    return CodeClass::Shown;
}

// The result rows begin after the piece-work rows; from the last one back,
// empty rows and rows of codes 865-890 and 940 and above are set aside until
// another row is met. The walk takes the rows before it and that row, and as
// many rows more as the set-aside ones of codes 965-989.
struct RowWalk {
    int first = 0; // index of the first result row in the record
    int leading = 0; // rows up to the last one with another code
    int length = 0; // rows to walk
};

RowWalk RowsToWalk(const PrintedFields& fields, int pieceWorkRows)
{
    RowWalk walk;
    walk.first = pieceWorkRows;
    const int considered = std::max(0, kConsideredRows - pieceWorkRows);
    int counted = 0;
    int last = considered - 1;
    for (; last >= 0; --last) {
        const std::size_t row = std::size_t(walk.first + last);
        const int code = fields.rows[row].kod;
        const bool setAside = fields.emptyRows[row] || (!IsAccrualCode(code) && !IsMonthDeductionCode(code));
        if (!setAside)
            break;
        if (IsAllocationCode(code))
            ++counted;
    }
    walk.leading = last + 1;
    walk.length = walk.leading + counted;
    return walk;
}

// A dismissed employee whose leading rows hold nothing but codes 150, 921
// and 600 (or nothing at all) gets no account.
bool SkipsAccount(const PrintedFields& fields, const RowWalk& walk, int dismissalSign)
{
    double sum = 0;
    for (int i = 0; i < walk.leading; ++i) {
        const AccrualRow& row = fields.rows[std::size_t(walk.first + i)];
        if (row.kod != kCodeRemainderCarried && row.kod != kCodeRemainder && row.kod != kCodeUnpaid)
            sum += row.sum;
    }
    return sum == 0 && dismissalSign == kDismissed;
}

// The 8-bit name of a code's pay kind.
class PayKindNames {
public:
    explicit PayKindNames(const PayrollDoc& doc) : m_doc(doc) {}
    QByteArray NameOf(int code) const
    {
        if (const infobase::PayKind* kind = PayKindOf(m_doc, code))
            return codepage::toCp1251(kind->name);
        const infobase::CInfoBase& base = m_doc.infoBase;
        return base.holdsPayKind(kUnknownKindNumber) ? codepage::toCp1251(base.payKindAt(kUnknownKindNumber).name)
                                                     : QByteArray();
    }

private:
    const PayrollDoc& m_doc;
};

// The walk's lines: a line per shown row, the accrual totals after the last
// accrual of a run, the deduction total at the end.
void WalkRows(const PrintedFields& fields, RowWalk walk, const PayKindNames& names, PersonalAccount& account)
{
    const int rowLimit = int(fields.rows.size()) - walk.first;
    double carried = 0;
    const int initialLength = walk.length;
    for (int i = 0; i < walk.length && i < rowLimit; ++i) {
        const AccrualRow& row = fields.rows[std::size_t(walk.first + i)];
        const CodeClass codeClass = ClassOf(row.kod);
        if (codeClass == CodeClass::Extends)
            ++walk.length;
        if (codeClass == CodeClass::Skipped || codeClass == CodeClass::Hidden || codeClass == CodeClass::Extends)
            continue;
        if (codeClass == CodeClass::Carried)
            carried += row.sum;
        if (codeClass == CodeClass::Carried || codeClass == CodeClass::Accrual)
            account.accruals += row.sum;
        if (codeClass == CodeClass::Deduction)
            account.deductions += row.sum;
        account.lines.push_back(
            {AccountLine::Row, row.mes, row.kod, names.NameOf(row.kod), row.sum, row.dn, row.hr, row.min});

        const bool lastOfWalk = i == walk.length - 1;
        const bool deductionFollows =
            i + 1 < rowLimit && !IsAccrualCode(fields.rows[std::size_t(walk.first + i + 1)].kod);
        if (row.kod < kFirstDeductionCode && (lastOfWalk || deductionFollows)) {
            if (carried != 0)
                account.lines.push_back({AccountLine::MonthTotal, 0, 0, {}, account.accruals - carried});
            account.lines.push_back({AccountLine::AccrualTotal, 0, 0, {}, account.accruals});
        }
    }
    if (initialLength == 0)
        account.lines.push_back({AccountLine::AccrualTotal, 0, 0, {}, 0});
    account.lines.push_back({AccountLine::DeductionTotal, 0, 0, {}, account.deductions});
}

// The text variant's estimate of the account's lines: 11 for an account
// without a coded row; otherwise the walk from its first coded row, with the
// head, the totals and two lines of words.
int LinesNeeded(const PrintedFields& fields, const RowWalk& walk)
{
    for (int i = 0; i < walk.length; ++i) {
        const int code = fields.rows[std::size_t(walk.first + i)].kod;
        if (code != 0)
            return walk.length - i + (code < kFirstDeductionCode ? 14 : 13);
    }
    return 11;
}

// ------------------------------------------------------------------ head and closing figures

// The month's name with a capital letter ("Январь").
QByteArray MonthTitle(int month)
{
    QByteArray name = MonthName(month);
    if (!name.isEmpty())
        StrUpperN(name.data(), 1);
    return name;
}

void SetRate(const PrintedFields& fields, int paymentSystem, PersonalAccount& account)
{
    if (paymentSystem >= 3) {
        account.rateLabel = Cp("Оклад");
        account.rate = Money(fields.oklad);
    } else {
        account.rateLabel = Cp("Тариф");
        account.rate = FormatFixed8(paymentSystem == 2 ? fields.timeRate : fields.pieceRate, 3);
    }
}

// The benefits of the year (the deductions of the entries without a fixed
// amount) and the income of the year, from January to the reporting month.
int SetIncomeFigures(const PayrollDoc& doc, const PrintedFields& fields, const RowWalk& walk, PersonalAccount& account)
{
    std::array<infobase::IncomeMonthRow, 12> months{};
    const int result = IncomeByMonths(MonthKey(account.year, 1).value(), MonthKey(account.year, account.month).value(),
                                      IncomeMain, TaxTableSelector(fields.tabPodoh), months.data(),
                                      fields.rows.data() + walk.first, walk.length, doc);
    if (result < 0)
        return result;
    for (int month = 0; month < account.month; ++month) {
        const infobase::IncomeMonthRow& row = months[std::size_t(month)];
        account.yearIncome += row.taxable;
        for (int k = 0; k < kDeductionEntries; ++k)
            if (fields.deductionSums[std::size_t(k)] == 0)
                account.benefits += row.deductions[std::size_t(k)];
    }
    return 0;
}

// The amount to pay out (or the debt) of the month's result rows, and its words.
void SetPayout(const PayrollDoc& doc, const PrintedFields& fields, const RowWalk& walk, PersonalAccount& account)
{
    // The rows behind the month's wait for later months: none of this month's money.
    const int first = std::clamp(walk.first, 0, kConsideredRows);
    const MonthMoney money = MonthMoneyOf(fields.rows.data() + first, kConsideredRows - first);
    account.payout = money.net() > 0 ? AmountToPay(money, doc) : money.net();
    const QByteArray text = FormatFixed8(std::fabs(account.payout) / 100, 2, 10);
    const int roubles = text.chopped(3).trimmed().toInt();
    const int kopecks = text.right(2).toInt();
    char words[kWordBufferSize];
    account.words = QByteArray(words, SumInWords(roubles, kopecks, words));
}

// ------------------------------------------------------------------ text variant

constexpr int kLeftWidth = 62;
constexpr int kRightWidth = 56;
constexpr int kLeftWordsWidth = 58;
constexpr int kRightWordsWidth = 52;

const char kLeftRule[] = "-------------------------------------------------------------+";
const char kRightRule[] = "+------------------------------------------------------+";
const char kLeftTitles[] = "|месяц  код   начисление/удержание     сумма      дни   часы |";
const char kRightTitles[] = "|месяц  начисление/удержание     сумма      дни   часы |";

// The left and right starts of the total lines; the amount ("%13.2f") and
// "            |" follow.
struct TotalLabels {
    const char* left;
    const char* right;
    const char* page; // the template's label
};
const TotalLabels kMonthLabels = {"|  всего  за  месяц ............... ", "|  всего  за  месяц ......... ",
                                  "  всего  за  месяц ............... "};
const TotalLabels kAccrualLabels = {"|  итого  начислено ............... ", "|  итого  начислено ......... ",
                                    "  итого  начислено ............... "};
const TotalLabels kDeductionLabels = {"|  итого  удержано ................ ", "|  итого  удержано .......... ",
                                      "  итого  удержано .......... "};
const TotalLabels kPayoutLabels = {"| К     В Ы Д А Ч Е                 ", "| К     В Ы Д А Ч Е           ",
                                   " К     В Ы Д А Ч Е                 "};
const TotalLabels kDebtLabels = {"| З А Д О Л Ж Е Н Н О С Т Ь         ", "| З А Д О Л Ж Е Н Н О С Т Ь   ",
                                 " З А Д О Л Ж Е Н Н О С Т Ь  "};

const TotalLabels& LabelsOf(AccountLine::Kind kind)
{
    switch (kind) {
    case AccountLine::MonthTotal: return kMonthLabels;
    case AccountLine::AccrualTotal: return kAccrualLabels;
    default: return kDeductionLabels;
    }
}

void Pair(QByteArray& out, const QByteArray& left, const QByteArray& right) { out += left + "  " + right + "\r\n"; }

QByteArray DaysText(int days) { return days != 0 ? Number(days, 2) + "   " : QByteArray(5, ' '); }

QByteArray HoursText(int hours, int minutes)
{
    if (hours == 0 && minutes == 0)
        return QByteArray();
    char digits[16];
    const int length = IntToDigitsZero(minutes, digits, 2);
    return Number(hours, 3) + '.' + QByteArray(digits, std::min(length, 2));
}

// "%.20s" of a pay kind's name, padded to 20 so that the box stays straight.
QByteArray KindName(const QByteArray& name) { return name.left(20).leftJustified(20, ' '); }

// "  %13.2f " of an amount, or "            --- " for code 600.
QByteArray AmountField(const AccountLine& line)
{
    return line.code == kCodeUnpaid ? QByteArray("            --- ") : "  " + Money(line.amount, 13) + ' ';
}

void RowLine(QByteArray& out, const AccountLine& line)
{
    const QByteArray hours = HoursText(line.hours, line.minutes);
    const QByteArray tail = AmountField(line) + DaysText(line.days) + (hours.isEmpty() ? "      |" : hours + '|');
    const QByteArray name = KindName(line.name);
    Pair(out, "| " + Number(line.month, 2) + "    " + Number(line.code, 3) + "   " + name + tail,
         "| " + Number(line.month, 2) + "    " + name + tail);
}

void TotalLine(QByteArray& out, const TotalLabels& labels, double amount)
{
    const QByteArray figure = Money(amount, 13) + "            |";
    Pair(out, Cp(labels.left) + figure, Cp(labels.right) + figure);
}

// The words cut at the last blank before the limit: the first line and the rest.
std::pair<QByteArray, QByteArray> SplitWords(const QByteArray& words, int limit)
{
    if (words.size() <= limit)
        return {words, QByteArray()};
    qsizetype cut = words.lastIndexOf(' ', limit - 1);
    if (cut <= 0)
        return {words.left(limit), words.mid(limit)};
    return {words.left(cut), words.mid(cut + 1)};
}

QByteArray LeftBox(const QByteArray& text) { return "| " + text.leftJustified(kLeftWidth - 3, ' ') + '|'; }
QByteArray RightBox(const QByteArray& text) { return "| " + text.leftJustified(kRightWidth - 3, ' ') + '|'; }

void WordLines(QByteArray& out, const QByteArray& words)
{
    const auto [leftFirst, leftRest] = SplitWords(words, kLeftWordsWidth);
    const auto [rightFirst, rightRest] = SplitWords(words, kRightWordsWidth);
    Pair(out, LeftBox(leftFirst), RightBox(rightFirst));
    if (words.size() > kRightWordsWidth)
        Pair(out, leftRest.isEmpty() ? '|' + QByteArray(kLeftWidth - 2, ' ') + '|' : LeftBox(leftRest),
             RightBox(rightRest));
}

void HeadLines(QByteArray& out, const PersonalAccount& account)
{
    const QByteArray period = MonthTitle(account.month).rightJustified(8, ' ') + ' ' + Number(account.year) + Cp(" г.");
    const QByteArray unit = Cp("  Цех=") + Number(account.shop) + Cp("  Табель=") + Number(account.personnelNumber);
    const QByteArray left = Cp("Лицевой счет за ") + period + unit;
    out += left + QByteArray(std::max<qsizetype>(0, 64 - left.size()), ' ') + Cp("Расчетный лист за ") + period + unit +
           "\r\n";
    const QByteArray name = account.name.left(50);
    out += name.leftJustified(64, ' ') + name + "\r\n";
    const QByteArray position = account.position.left(22) + "  " + account.rateLabel + '=' + account.rate +
                                Cp("  Льготы=") + Money(account.benefits);
    out += position.leftJustified(64, ' ') + position + "\r\n";
    Pair(out, kLeftRule, kRightRule);
    Pair(out, Cp(kLeftTitles), Cp(kRightTitles));
    Pair(out, kLeftRule, kRightRule);
}

void ClosingRule(QByteArray& out, char c) { Pair(out, QByteArray(kLeftWidth, c), QByteArray(kRightWidth, c)); }

void CloseLines(QByteArray& out, const PersonalAccount& account)
{
    ClosingRule(out, '-');
    if (account.payout >= 0)
        TotalLine(out, kPayoutLabels, account.payout);
    else
        TotalLine(out, kDebtLabels, -account.payout);
    WordLines(out, account.words);
    const QByteArray income = Money(account.yearIncome, 13);
    Pair(out, Cp("| Совокупный доход ") + income + QByteArray(kLeftWidth - 33, ' ') + '|',
         Cp("| Совокупный доход ") + income + QByteArray(kRightWidth - 33, ' ') + '|');
    ClosingRule(out, '=');
}

QByteArray FormatAccountText(const PersonalAccount& account)
{
    QByteArray out;
    HeadLines(out, account);
    for (const AccountLine& line : account.lines) {
        if (line.kind == AccountLine::Row)
            RowLine(out, line);
        else
            TotalLine(out, LabelsOf(line.kind), line.amount);
    }
    CloseLines(out, account);
    return out;
}

// The empty lines after an account that begins at line `start`: three,
// or up to three lines into the next page when the estimate reaches past
// this one; one more when the words take one line; one less for a month
// total, unless only one is left.
int TrailingLines(const PersonalAccount& account, int start)
{
    const int end = start + account.linesNeeded + 3;
    int trailing = end > kAccountPageLines ? 68 - end : 3;
    for (const AccountLine& line : account.lines)
        if (line.kind == AccountLine::MonthTotal && trailing > 1)
            --trailing;
    if (account.words.size() <= kRightWordsWidth)
        ++trailing;
    return trailing;
}

// ------------------------------------------------------------------ template variants

QByteArray Period(const PersonalAccount& account)
{
    return MonthTitle(account.month) + ' ' + Number(account.year) + Cp(" г.");
}

// The text without the blanks and zero bytes that pad its field.
QByteArray Trimmed(const QByteArray& text)
{
    QByteArray out = text;
    while (out.endsWith(' ') || out.endsWith('\0')) out.chop(1);
    return out;
}

void AddRow(CTree& tree, const QDomElement& page, const AccountLine& line)
{
    QDomElement row;
    tree.NewRow("row0", &row, page);
    const QByteArray month = Number(line.month, 2);
    // The document's cell wraps a long name; the text file's column cuts it.
    const QByteArray name = Trimmed(line.name);
    const QByteArray amount = line.code == kCodeUnpaid ? QByteArray("---") : Money(line.amount, 13);
    const QByteArray days = line.days != 0 ? Number(line.days, 2) + "   " : QByteArray(" ");
    const QByteArray hours = HoursText(line.hours, line.minutes);
    const QByteArray hoursValue = hours.isEmpty() ? QByteArray(" ") : hours;
    tree.AddValue(row, QList<QByteArray>{month, Number(line.code, 3), name, amount, days, hoursValue, month, name,
                                         amount, days, hoursValue});
}

void AddTotal(CTree& tree, const QDomElement& page, const char* label, double amount)
{
    QDomElement row;
    tree.NewRow("row1", &row, page);
    const QByteArray figure = Money(amount, 13);
    tree.AddValue(row, QList<QByteArray>{Cp(label), figure, Cp(label), figure});
}

// ------------------------------------------------------------------ the run

bool Selected(const CInfoBase& base, const infobase::EmployeeListEntry& entry, const StatementPrintParams& params,
              int markedOnly)
{
    if (!base.holdsSlot(entry.slot))
        return false;
    if (markedOnly)
        return entry.marked();
    if (params.personnelNumber != 0)
        return entry.tabN() == params.personnelNumber;
    const infobase::EmployeeAttributes& attributes = base.attributesOf(entry.slot);
    return (params.shop == 0 || base.shopOf(entry.slot) == params.shop) &&
           (params.brigade == 0 || attributes.brig == params.brigade) &&
           (params.profession == 0 || attributes.prof == params.profession);
}

// The accounts go into the tree or into the text; the text is written once,
// under a temporary name that becomes the output path when complete.
class AccountOutput {
public:
    AccountOutput(int variant, const QString& outputPath) : m_variant(variant), m_file(outputPath) {}

    // False, with the reason, when the output cannot be made.
    bool Open(QString& reason)
    {
        if (m_variant == AccountText) {
            if (m_file.open(QIODevice::WriteOnly))
                return true;
            reason = m_file.failureText();
            return false;
        }
        try {
            m_tree = std::make_unique<CTree>(m_variant == AccountPortrait ? kPersonalAccountTemplate
                                                                          : kPersonalAccountLandscapeTemplate,
                                             m_file.fileName());
            return true;
        } catch (const TextError& error) {
            reason = error.message();
            return false;
        }
    }

    void Add(const PersonalAccount& account)
    {
        if (m_tree)
            AddPersonalAccountPage(*m_tree, account);
        else
            AppendPersonalAccountText(account, m_text, m_line);
    }

    // Generates the document or commits the text file; false, with the
    // reason, when the document cannot be made.
    bool Finish(QString& reason)
    {
        if (m_tree) {
            const int generated = m_tree->Generate();
            reason = m_tree->ErrorText();
            return generated >= 0;
        }
        if (m_file.write(m_text) != m_text.size() || !m_file.commit())
            throw TextError(m_file.failureText());
        return true;
    }

private:
    const int m_variant;
    platform::SavedFile m_file;
    std::unique_ptr<CTree> m_tree;
    QByteArray m_text;
    int m_line = 1;
};

} // namespace

int TaxTableSelector(int tabPodoh) { return ((tabPodoh % 32) - 1) % 2 + 1; }

int BuildPersonalAccount(const PayrollDoc& doc, const infobase::EmployeeListEntry& entry, PersonalAccount& account)
{
    const CInfoBase& base = doc.infoBase;
    const infobase::EmployeeAttributes& attributes = base.attributesOf(entry.slot);
    auto packed = std::make_unique<PackedEmployeeRecord>();
    PackEmployeeForPrint(doc, *packed);
    const PrintedFields fields = ReadPrintedFields(*packed);

    const RowWalk walk = RowsToWalk(fields, attributes.kvProizv);
    if (SkipsAccount(fields, walk, attributes.priznUv))
        return 1;
    account = PersonalAccount{};
    account.month = base.config.reportingMonth();
    account.year = base.config.reportingYear();
    account.shop = base.shopOf(entry.slot);
    account.personnelNumber = entry.tabN();
    account.name = fields.name;
    account.position = fields.position;
    account.linesNeeded = LinesNeeded(fields, walk);
    if (const int income = SetIncomeFigures(doc, fields, walk, account); income < 0)
        return income;
    SetRate(fields, attributes.sistOpl, account);
    WalkRows(fields, walk, PayKindNames(doc), account);
    SetPayout(doc, fields, walk, account);
    return 0;
}

void AddPersonalAccountPage(CTree& tree, const PersonalAccount& account)
{
    QDomElement page;
    tree.NewPage(&page, "page0");
    const QByteArray period = Period(account);
    const QByteArray shop = Number(account.shop);
    const QByteArray number = Number(account.personnelNumber);
    const QByteArray name = Trimmed(account.name);
    const QByteArray position = Trimmed(account.position);
    const QByteArray benefits = Money(account.benefits);
    tree.AddValue(page,
                  QList<QByteArray>{period, shop, number, period, shop, number, name, name, position, account.rateLabel,
                                    account.rate, benefits, position, account.rateLabel, account.rate, benefits});
    for (const AccountLine& line : account.lines) {
        if (line.kind == AccountLine::Row)
            AddRow(tree, page, line);
        else
            AddTotal(tree, page, LabelsOf(line.kind).page, line.amount);
    }
    const char* label = account.payout >= 0 ? kPayoutLabels.page : kDebtLabels.page;
    const QByteArray payout = Money(account.payout, 13);
    const QByteArray income = Money(account.yearIncome, 13);
    tree.AddValue(
        page, QList<QByteArray>{Cp(label), payout, Cp(label), payout, account.words, account.words, income, income});
}

void AppendPersonalAccountText(const PersonalAccount& account, QByteArray& out, int& line)
{
    const QByteArray text = FormatAccountText(account);
    const int lineCount = int(text.count("\r\n"));
    // The estimate leaves one line to spare; an account without rows has
    // two more lines than its estimate, and must not run past the page either.
    const int fit = std::max(account.linesNeeded, lineCount - 1);
    if (line + fit > kAccountPageLines) {
        for (int blank = line; blank <= kAccountPageLines; ++blank) out += "\r\n";
        line = 1;
    }
    const int trailing = TrailingLines(account, line);
    out += text;
    for (int blank = 0; blank < trailing; ++blank) out += "\r\n";
    line = (line - 1 + lineCount + trailing) % kAccountPageLines + 1;
}

int PrintPersonalAccounts(PayrollDoc& doc, const QString& outputPath, const StatementPrintParams& params,
                          int markedOnly, QString* errorText)
{
    QString reason;
    auto fault = [&]() {
        if (errorText != nullptr)
            *errorText = reason;
        return kPrintFileFault;
    };
    if (params.variant > AccountText) {
        reason = QStringLiteral("Неизвестный вид печати лицевых счетов: %1").arg(params.variant);
        return fault();
    }
    AccountOutput output(params.variant, outputPath);
    if (!output.Open(reason))
        return fault();

    CInfoBase& base = doc.infoBase;
    for (const infobase::EmployeeListEntry& entry : base.list) {
        if (!Selected(base, entry, params, markedOnly))
            continue;
        // A slot that cannot be read whole ends the run: the record would
        // still hold the previous employee's data.
        base.currentSlot = 0;
        if (!base.swap.readSlot(entry.slot, base.current))
            throw PrintFileError(platform::FILE_ERROR_READ);
        base.currentSlot = entry.slot;
        PersonalAccount account;
        const int built = BuildPersonalAccount(doc, entry, account);
        if (built < 0)
            return built;
        if (built == 0)
            output.Add(account);
    }
    if (!output.Finish(reason))
        return fault();
    // Written; a viewer that could not show the document is said here.
    if (errorText != nullptr)
        *errorText = reason;
    return 0;
}

} // namespace kalvor::print
