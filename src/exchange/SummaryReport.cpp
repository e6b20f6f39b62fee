// The text report of the arbitrary-breakdown summary and the record file of
// the postings export, both made from a filled grouping tree.
#include "exchange/ArbitrarySummary.h"

#include "infobase/PayKindCodes.h"
#include "payroll/PayKinds.h"
#include "platform/CodePage.h"
#include "values/Messages.h"
#include "values/RoundText.h"

namespace kalvor::exchange {

using infobase::CInfoBase;

const PickPair kPaySystemChoices[] = {
    {"Сдельщик", "1"}, {"Тарифник", "2"}, {"Тарифник с окладом", "3"}, {"Окладник", "4"}, {nullptr, nullptr}};
const PickPair kCategoryChoices[] = {
    {"Руководство", "1"},     {"Специалисты", "2"},     {"Служащие", "3"},        {"Рабочие", "4"},
    {"М О П", "5"},           {"П С О", "6"},           {"Несп. сост.", "7"},     {"Учащиеся", "8"},
    {"Совместители", "9"},    {"10-я категория", "10"}, {"11-я категория", "11"}, {"12-я категория", "12"},
    {"13-я категория", "13"}, {"14-я категория", "14"}, {"15-я категория", "15"}, {nullptr, nullptr}};
const PickPair kSignChoices[] = {
    {"Только начисления", "1"}, {"Только удержания", "2"}, {"Социальный налог", "3"}, {nullptr, nullptr}};
const PickPair kNoYesChoices[] = {{"Нет", " "}, {"Да", "1"}, {nullptr, nullptr}};
const PickPair kHireDateChoices[] = {{"Включать в свод ВСЕ начисления и удержания", " "},
                                     {"Включать нач. и уд. с момента поступления на работу", "1"},
                                     {nullptr, nullptr}};
const PickPair kDaysAndHoursChoices[] = {
    {"Выдавать только итоговые суммы", " "}, {"Еще и итоговые дни и часы", "1"}, {nullptr, nullptr}};

namespace {

const char* const kLevelHeads[kSummaryLevelCount] = {
    " счет",
    " субсчет",
    " аналитика",
    "     наименование__цеха       ",
    " бригада",
    "         профессия         ",
    "  система_оплаты ",
    "  категория  ",
    "                    табельный_номер                     ",
    " +/-",
    " фонд",
    " налог",
    " -1-",
    " -2-",
    " -3-",
    " месяц",
    " код_начисления/удержания",
};
const char* const kAmountHead = "         сумма     дни        часы";
constexpr int kAmountOnlyWidth = 14;
constexpr int kFilterLineWidth = 50;
constexpr int kEmployeeNameWidth = 50;

QString ChoiceText(const PickPair* choices, int code)
{
    for (const PickPair* pair = choices; pair->text; ++pair)
        if (QString::fromLatin1(pair->code).trimmed().toInt() == code)
            return QString::fromUtf8(pair->text);
    return QString();
}

QString Cut(const QString& text, int width) { return text.left(width); }
QString Pad(const QString& text, int width) { return text.leftJustified(width, QLatin1Char(' '), true); }

// Writes the lines of the report.
class SummaryReportWriter {
public:
    SummaryReportWriter(const SummaryRun& run, const SummaryTree& tree, PayrollDoc& doc)
        : m_run(run)
        , m_block(run.block)
        , m_tree(tree)
        , m_doc(doc)
        , m_base(doc.infoBase)
        , m_grouping(run.block.GroupingLevels())
    {}

    QByteArray Text();

private:
    void WriteHead();
    void WriteColumnHeads();
    // Depth first: each node's line before its children's; returns the
    // node's total (its leaf sum or its children's).
    SummaryAmount WalkSummaryLevels(int first, int depth);
    SummaryAmount NodeTotal(int node, int depth) const;
    void PrintSummaryLine(int depth, std::int32_t key, const SummaryAmount& total);
    void WriteTotals(const SummaryAmount& total);
    QString AmountColumns(const SummaryAmount& total, bool dashes, int amountWidth) const;
    QString KeyText(int level, std::int32_t key);
    QString FilterText(int level, int value);
    QString EmployeeName(int listIndex);
    QString ShopName(int shop) const;
    QString ProfessionName(int code) const;
    QString PayKindName(int code) const;
    void Line(const QString& text) { m_text += text + QStringLiteral("\r\n"); }

    const SummaryRun& m_run;
    const SummaryBlock& m_block;
    const SummaryTree& m_tree;
    PayrollDoc& m_doc;
    CInfoBase& m_base;
    std::vector<int> m_grouping;
    infobase::EmployeeRecord m_record;
    QString m_text;
};

QByteArray SummaryReportWriter::Text()
{
    WriteHead();
    WriteColumnHeads();
    SummaryAmount total;
    if (m_grouping.empty()) {
        if (!m_tree.Empty())
            total = m_tree.Nodes()[0].amount;
    } else if (!m_tree.Empty()) {
        total = WalkSummaryLevels(0, 0);
    }
    WriteTotals(total);
    return codepage::toCp1251(m_text);
}

void SummaryReportWriter::WriteHead()
{
    Line(QString());
    if (m_block.periodStart > 0) {
        Line(QStringLiteral("за период :  %1 %2 г.   -   %3 %4 г.")
                 .arg(MonthName(MonthOfMonthIndex(m_block.periodStart)))
                 .arg(YearOfMonthIndex(m_block.periodStart))
                 .arg(MonthName(MonthOfMonthIndex(m_block.periodEnd)))
                 .arg(YearOfMonthIndex(m_block.periodEnd)));
    }
    for (std::uint8_t level : m_block.order) {
        if (level >= kSummaryLevelCount || !m_block.Filtered(level))
            continue;
        const QString word =
            QString::fromUtf8(kLevelHeads[level]).replace(QLatin1Char('_'), QLatin1Char(' ')).simplified();
        Line(Pad(word + QStringLiteral(": ") + FilterText(level, m_block.levels[level]), kFilterLineWidth));
    }
}

void SummaryReportWriter::WriteColumnHeads()
{
    QString heads;
    for (int level : m_grouping) heads += QString::fromUtf8(kLevelHeads[level]);
    Line(heads + SummaryAmountHead(m_block.daysAndHours != 0));
}

SummaryAmount SummaryReportWriter::NodeTotal(int node, int depth) const
{
    const SummaryNode& entry = m_tree.Nodes()[std::size_t(node)];
    if (depth + 1 == int(m_grouping.size()))
        return entry.amount;
    SummaryAmount total;
    for (int child = entry.down; child >= 0; child = m_tree.Nodes()[std::size_t(child)].next)
        total.Add(NodeTotal(child, depth + 1));
    return total;
}

SummaryAmount SummaryReportWriter::WalkSummaryLevels(int first, int depth)
{
    SummaryAmount levelTotal;
    for (int node = first; node >= 0; node = m_tree.Nodes()[std::size_t(node)].next) {
        const SummaryNode& entry = m_tree.Nodes()[std::size_t(node)];
        const SummaryAmount total = NodeTotal(node, depth);
        PrintSummaryLine(depth, entry.key, total);
        if (depth + 1 < int(m_grouping.size()))
            WalkSummaryLevels(entry.down, depth + 1);
        levelTotal.Add(total);
    }
    return levelTotal;
}

void SummaryReportWriter::PrintSummaryLine(int depth, std::int32_t key, const SummaryAmount& total)
{
    QString line;
    for (int column = 0; column < int(m_grouping.size()); ++column) {
        const int level = m_grouping[std::size_t(column)];
        const int width = int(QString::fromUtf8(kLevelHeads[level]).size());
        line += Pad(column == depth ? KeyText(level, key) : QString(), width);
    }
    const int lastLevel = m_block.order[kSummaryLevelCount - 1];
    const bool dashes = key == kCodeUnpaid && lastLevel < kSummaryLevelCount && m_block.Grouping(lastLevel);
    Line(line + AmountColumns(total, dashes, 14));
}

void SummaryReportWriter::WriteTotals(const SummaryAmount& total)
{
    int keyWidth = 0;
    for (int level : m_grouping) keyWidth += int(QString::fromUtf8(kLevelHeads[level]).size());
    Line(QStringLiteral(" Итого:").leftJustified(keyWidth + 1) + AmountColumns(total, false, 13));
}

QString SummaryReportWriter::AmountColumns(const SummaryAmount& total, bool dashes, int amountWidth) const
{
    QString text = dashes ? QStringLiteral("           ---")
                          : QString::fromLatin1(FormatFixed8(double(total.TotalKopecks()) / 100, 2, amountWidth));
    if (!m_block.daysAndHours)
        return text;
    const int days = total.TotalDays();
    text += days != 0 ? QString::asprintf("%8d", days) : QString(8, QLatin1Char(' '));
    text += total.minutes != 0 ? QString::asprintf("%9d:%02d", total.minutes / 60, std::abs(total.minutes % 60))
                               : QString(12, QLatin1Char(' '));
    return text;
}

QString SummaryReportWriter::KeyText(int level, std::int32_t key)
{
    switch (level) {
    case LevelAccount: return QStringLiteral(" ") + Cut(QString::number(key), 4);
    case LevelCostItem: return QStringLiteral("  ") + Cut(QString::number(key), 4);
    case LevelAnalytics: return QStringLiteral("   ") + Cut(QString::number(key), 4);
    case LevelShop: return Cut(ShopName(key), 30);
    case LevelBrigade: return QStringLiteral("   ") + Cut(QString::number(key), 2);
    case LevelProfession: return QStringLiteral(" ") + Pad(ProfessionName(key), 26);
    case LevelPaySystem: return QStringLiteral(" ") + Pad(ChoiceText(kPaySystemChoices, key), 16);
    case LevelCategory: return QStringLiteral(" ") + Pad(ChoiceText(kCategoryChoices, key), 12);
    case LevelEmployee:
        if (m_run.employeeKeysAreNumbers)
            return QString::asprintf(" %4d.", key);
        return QString::asprintf(" %4d.", key >= 0 && key < m_base.employeeCount() ? m_base.list[key].tabN() : 0) +
               EmployeeName(key);
    case LevelSign: return QStringLiteral("  ") + QChar(key) + QStringLiteral(" ");
    case LevelFund: return QString::asprintf("  %d  ", key);
    case LevelTaxFlag: return QString::asprintf("  %d   ", key);
    case LevelMonth:
        return QStringLiteral(" ") + QString::asprintf("%02d.%02d", MonthOfMonthIndex(key), YearOfMonthIndex(key) % 100);
    case LevelCode: return QString::asprintf(" %3d.", key) + Cut(PayKindName(key), 20);
    default: return QString::asprintf("  %d ", key);
    }
}

QString SummaryReportWriter::FilterText(int level, int value)
{
    switch (level) {
    case LevelShop: return ShopName(value);
    case LevelProfession: return ProfessionName(value);
    case LevelPaySystem: return ChoiceText(kPaySystemChoices, value);
    case LevelCategory: return ChoiceText(kCategoryChoices, value);
    case LevelSign: return ChoiceText(kSignChoices, value);
    case LevelTaxFlag:
    case LevelTrait1:
    case LevelTrait2:
    case LevelTrait3: return value != 0 ? QStringLiteral("Да") : QStringLiteral("Нет");
    case LevelEmployee: {
        const int index = m_base.FindEmployee(value);
        return QString::number(value) + QStringLiteral(" ") + (index >= 0 ? EmployeeName(index) : QString());
    }
    case LevelMonth: return MonthName(MonthOfMonthIndex(value)) + QStringLiteral(" %1 г.").arg(YearOfMonthIndex(value));
    case LevelCode: return PayKindName(value);
    default: return QString::number(value);
    }
}

QString SummaryReportWriter::EmployeeName(int listIndex)
{
    if (listIndex < 0 || listIndex >= m_base.employeeCount())
        return QString();
    if (!m_base.swap.readSlot(m_base.list[std::size_t(listIndex)].slot, m_record))
        throw TextError(infobase::ReadFileErrorText);
    return Cut(m_record.head.fio.simplified(), kEmployeeNameWidth);
}

QString SummaryReportWriter::ShopName(int shop) const
{
    const infobase::ShopRecord* record = m_base.shopNumbered(shop);
    return record != nullptr ? record->name.trimmed() : QString();
}

QString SummaryReportWriter::ProfessionName(int code) const
{
    const auto& ref = m_doc.refFiles;
    for (int i = 0; i < int(ref.profiCount) && i < int(ref.profi.size()); ++i)
        if (ref.profi[std::size_t(i)].code == code)
            return ref.profi[std::size_t(i)].name.trimmed();
    return QString();
}

QString SummaryReportWriter::PayKindName(int code) const
{
    const infobase::PayKind* kind = PayKindOf(m_doc, code);
    return kind ? kind->name.trimmed() : QString();
}

// ------------------------------------------------------------ record file

struct RecordKeys {
    int account = 0;
    int costItem = 0;
    int analytics = 0;
    int code = 0;
};

void AppendRecords(const SummaryTree& tree, const std::vector<int>& grouping, int first, int depth, RecordKeys keys,
                   QByteArray& out)
{
    for (int node = first; node >= 0; node = tree.Nodes()[std::size_t(node)].next) {
        const SummaryNode& entry = tree.Nodes()[std::size_t(node)];
        RecordKeys here = keys;
        switch (grouping[std::size_t(depth)]) {
        case LevelAccount: here.account = entry.key; break;
        case LevelCostItem: here.costItem = entry.key; break;
        case LevelAnalytics: here.analytics = entry.key; break;
        case LevelCode: here.code = entry.key; break;
        default: break;
        }
        if (depth + 1 < int(grouping.size())) {
            AppendRecords(tree, grouping, entry.down, depth + 1, here, out);
            continue;
        }
        SummaryAmount amount = entry.amount;
        // Deductions were negated for the report's sums; the file carries
        // them as the month rows do.
        if (!IsAccrualCode(here.code) && here.code < kFirstContributionCode)
            amount.Negate();
        QByteArray sum = FormatFixed8(double(amount.TotalKopecks()) / 100, 2);
        const bool negative = sum.startsWith('-');
        if (negative)
            sum.remove(0, 1);
        sum = sum.rightJustified(negative ? 14 : 15, '0');
        if (negative)
            sum.prepend('-');
        out += QString::asprintf("%04d %04d %04d %04d ", here.account, here.costItem, here.analytics, here.code)
                   .toLatin1();
        out += sum;
    }
}

} // namespace

QString SummaryAmountHead(bool daysAndHours)
{
    const QString head = QString::fromUtf8(kAmountHead);
    return daysAndHours ? head : head.left(kAmountOnlyWidth);
}

QByteArray SummaryReportText(const SummaryRun& run, const SummaryTree& tree, PayrollDoc& doc)
{
    return SummaryReportWriter(run, tree, doc).Text();
}

QByteArray SummaryRecordFileBytes(const SummaryBlock& block, const SummaryTree& tree)
{
    QByteArray out;
    const std::vector<int> grouping = block.GroupingLevels();
    if (!grouping.empty() && !tree.Empty())
        AppendRecords(tree, grouping, 0, 0, RecordKeys{}, out);
    return out;
}

} // namespace kalvor::exchange
