#include "exchange/ArbitrarySummary.h"

#include "infobase/Bytes.h"
#include "infobase/EmployeeRecord.h"
#include "infobase/PayKindCodes.h"
#include "payroll/PayKinds.h"
#include "print/PrintOutput.h"
#include "values/CScan.h"
#include "values/Messages.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include "platform/SavedFile.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace kalvor::exchange {

using infobase::AccrualRow;
using infobase::CInfoBase;
using infobase::EmployeeListEntry;
using infobase::EmployeeRecord;
using infobase::PayKind;
using infobase::WariaEntry;

namespace {

constexpr int kMonthRowsRead = ::kalvor::infobase::EmployeeRecord::MonthRowCount;

// ------------------------------------------------------------ the amount

std::uint8_t SignMagnitude(int signedKopecks)
{
    return signedKopecks < 0 ? std::uint8_t(128 - signedKopecks) : std::uint8_t(signedKopecks);
}

int SignedKopecks(std::uint8_t kopecks) { return kopecks >= 128 ? -(kopecks - 128) : kopecks; }

} // namespace

SummaryAmount SummaryAmount::Of(double amountKopecks, int days, int minutes)
{
    // Whole kopecks through the rounding helper, then split in integers.
    const auto total = std::int64_t(RoundThroughText(amountKopecks, 0));
    SummaryAmount amount;
    amount.roubles = std::int32_t(total / 100);
    amount.kopecks = SignMagnitude(int(total % 100));
    amount.days = std::uint8_t(days % 100);
    amount.daysHundreds = std::int16_t(days / 100);
    amount.minutes = minutes;
    return amount;
}

void SummaryAmount::Add(const SummaryAmount& other)
{
    const int kopeckSum = SignedKopecks(kopecks) + SignedKopecks(other.kopecks);
    roubles += other.roubles + kopeckSum / 100;
    kopecks = SignMagnitude(kopeckSum % 100);
    const int daySum = days + other.days;
    daysHundreds = std::int16_t(daysHundreds + other.daysHundreds + daySum / 100);
    days = std::uint8_t(daySum % 100);
    minutes += other.minutes;
}

void SummaryAmount::Negate()
{
    roubles = -roubles;
    kopecks = std::uint8_t(kopecks + 128);
}

std::int64_t SummaryAmount::TotalKopecks() const { return std::int64_t(roubles) * 100 + SignedKopecks(kopecks); }

void SummaryAmount::Write(char* out) const
{
    infobase::ByteWriter writer(out, Size);
    writer.i32v(roubles);
    writer.u8v(kopecks);
    writer.u8v(days);
    writer.i16v(daysHundreds);
    writer.i32v(minutes);
}

SummaryAmount SummaryAmount::Read(const char* in)
{
    infobase::ByteReader reader(in, Size);
    SummaryAmount amount;
    amount.roubles = reader.i32v();
    amount.kopecks = reader.u8v();
    amount.days = reader.u8v();
    amount.daysHundreds = reader.i16v();
    amount.minutes = reader.i32v();
    return amount;
}

// --------------------------------------------------------------- the tree

bool SummaryTree::Reserve(std::size_t nodes)
{
    try {
        m_nodes.reserve(nodes);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

int SummaryTree::NewNode(std::int32_t key)
{
    SummaryNode node;
    node.key = key;
    m_nodes.push_back(node);
    return int(m_nodes.size()) - 1;
}

// The node of `key` among the children of `parent` (-1: the first level),
// inserted in key order when missing.
int SummaryTree::FindOrInsert(int parent, std::int32_t key, bool* created)
{
    int first = parent < 0 ? (m_nodes.empty() ? -1 : 0) : m_nodes[std::size_t(parent)].down;
    int previous = -1;
    int current = first;
    while (current >= 0 && m_nodes[std::size_t(current)].key < key) {
        previous = current;
        current = m_nodes[std::size_t(current)].next;
    }
    if (current >= 0 && m_nodes[std::size_t(current)].key == key)
        return current;
    *created = true;
    const int node = NewNode(key);
    m_nodes[std::size_t(node)].next = current;
    if (previous >= 0) {
        m_nodes[std::size_t(previous)].next = node;
    } else if (parent >= 0) {
        m_nodes[std::size_t(parent)].down = node;
    } else if (current == 0) {
        // The first level's list starts at node 0: the new smallest key takes
        // that place and the old first node moves to the new one's.
        std::swap(m_nodes[0], m_nodes[std::size_t(node)]);
        m_nodes[0].next = node;
        return 0;
    }
    return node;
}

int SummaryTree::Insert(const std::int32_t* keys, int depth, const SummaryAmount& amount)
{
    try {
        bool created = false;
        int node = -1;
        if (depth == 0) {
            if (m_nodes.empty()) {
                NewNode(0);
                created = true;
            }
            node = 0;
        }
        for (int level = 0; level < depth; ++level) node = FindOrInsert(node, keys[level], &created);
        m_nodes[std::size_t(node)].amount.Add(amount);
        return created ? 1 : 0;
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

// ------------------------------------------------------------ the block

std::vector<int> SummaryBlock::GroupingLevels() const
{
    std::vector<int> grouping;
    for (std::uint8_t level : order)
        if (level < kSummaryLevelCount && Grouping(level))
            grouping.push_back(level);
    return grouping;
}

bool SummaryBlock::Filtered(int level) const
{
    const int value = levels[std::size_t(level)];
    return value >= 0 && value < kGroupingLevel;
}

QByteArray SummaryFileHeader(const SummaryBlock& block)
{
    QByteArray header(24, '\0');
    header[0] = char(kSummaryLevelCount);
    for (int position = 0; position < kSummaryLevelCount; ++position) {
        const int level = block.order[std::size_t(position)];
        header[1 + position] = char(block.Grouping(level) ? level : level + 100);
    }
    infobase::ByteWriter writer(header.data(), std::size_t(header.size()));
    writer.seek(18);
    writer.u16v(std::uint16_t(block.daysAndHours));
    return header;
}

int WriteSummaryRecords(const std::array<std::int32_t, kSummaryLevelCount>& keys, const SummaryAmount& amount,
                        const SummaryBlock& block, SummaryTree& tree, QByteArray* file)
{
    const std::vector<int> grouping = block.GroupingLevels();
    std::array<std::int32_t, kSummaryLevelCount> path{};
    for (std::size_t i = 0; i < grouping.size(); ++i) path[i] = keys[std::size_t(grouping[i])];
    if (!file)
        return tree.Insert(path.data(), int(grouping.size()), amount);
    try {
        const qsizetype start = file->size();
        file->resize(start + qsizetype(4 * grouping.size()) + SummaryAmount::Size);
        char* out = file->data() + start;
        infobase::ByteWriter writer(out, 4 * grouping.size());
        for (std::size_t i = 0; i < grouping.size(); ++i) writer.i32v(path[i]);
        amount.Write(out + 4 * grouping.size());
        return 1;
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

// -------------------------------------------------------------- the form

namespace {

bool Blank(const QString& text) { return text.trimmed().isEmpty(); }
bool Star(const QString& text) { return text.trimmed() == QLatin1String("*"); }

int ScanOrZero(const QString& text)
{
    int value = 0;
    return ScanInt(text, value) ? value : 0;
}

int FullYear(int typed) { return typed < 100 ? WidenTwoDigitYear(typed) : typed; }

struct LevelRange {
    int low;
    int high;
};
// The filter range of each level; the month has its own rule.
constexpr LevelRange kLevelRanges[kSummaryLevelCount] = {
    {1, 9999}, {0, 9999}, {0, 9999}, {0, 250}, {0, 99}, {0, 127}, {0, 4}, {0, 15},  {1, 8191},
    {1, 3},    {0, 6},    {0, 1},    {0, 1},   {0, 1},  {0, 1},   {0, 0}, {1, 995},
};

int MonthLevelValue(const SummaryFormTexts& texts)
{
    const QString& month = texts.values[LevelMonth];
    if (Star(month) || Star(texts.monthYear))
        return kGroupingLevel;
    if (Blank(month) && Blank(texts.monthYear))
        return kNoCondition;
    const int value = TypedMonthValue(month, texts.monthYear);
    return value == 0 ? kWrongEntry : value;
}

int LevelValue(int level, const QString& text, bool selectedOnly, bool markedPayKindsOnly)
{
    if (Star(text))
        return kGroupingLevel;
    if (Blank(text))
        return kNoCondition;
    int value = ScanOrZero(text);
    const LevelRange range = kLevelRanges[level];
    if (value < range.low || value > range.high)
        value = 0;
    switch (level) {
    case LevelEmployee: return value == 0 || selectedOnly ? kWrongEntry : value;
    case LevelSign: return value == 0 ? kWrongEntry : value;
    case LevelCode: return value >= 1 && markedPayKindsOnly ? kWrongEntry : value;
    default: return value;
    }
}

int OptionValue(const QString& text)
{
    const int value = ScanOrZero(text);
    return value == 1 ? 1 : 0;
}

} // namespace

FigureRule SummaryLevelRule(int level)
{
    const LevelRange range = kLevelRanges[std::size_t(level)];
    return WholeFigure(range.low, range.high);
}

bool SummaryConditionIsNumber(const QString& text) { return !Blank(text) && !Star(text); }

QString SummaryLevelRefusal(int level, const QString& field, const QString& text)
{
    if (Star(text))
        return QString();
    const LevelRange range = level == LevelMonth ? LevelRange{1, 12} : kLevelRanges[level];
    const FigureReading reading = ReadFigure(field, WholeFigure(0, range.high), text);
    if (!reading.read || reading.units == 0 || reading.units >= range.low)
        return reading.refusal;
    return ReadFigure(field, WholeFigure(range.low, range.high), text).refusal;
}

int TypedMonthValue(const QString& month, const QString& year)
{
    const int monthNumber = ScanOrZero(month);
    if (Blank(month) || monthNumber == 0)
        return 0;
    return MonthIndex(FullYear(ScanOrZero(year)), monthNumber);
}

SummaryBlock ReadSummaryForm(const SummaryFormTexts& texts, bool selectedOnly, bool markedPayKindsOnly)
{
    SummaryBlock block;
    block.levels.fill(kNoCondition);
    block.periodStart = TypedMonthValue(texts.firstMonth, texts.firstYear);
    block.periodEnd = TypedMonthValue(texts.lastMonth, texts.lastYear);
    for (int level = 0; level < kSummaryLevelCount; ++level) {
        block.levels[std::size_t(level)] =
            level == LevelMonth ? MonthLevelValue(texts)
                                : LevelValue(level, texts.values[std::size_t(level)], selectedOnly, markedPayKindsOnly);
    }
    block.fromHireDate = OptionValue(texts.fromHireDate);
    block.daysAndHours = OptionValue(texts.daysAndHours);
    for (int position = 0; position < kSummaryLevelCount; ++position)
        block.order[std::size_t(position)] = std::uint8_t(position);
    return block;
}

bool SummaryFormValid(const SummaryBlock& block)
{
    const bool hasStart = block.periodStart > 0;
    const bool hasEnd = block.periodEnd > 0;
    if (hasStart != hasEnd || block.periodStart > block.periodEnd)
        return false;
    const int month = block.levels[LevelMonth];
    const bool monthFilter = month >= 1 && month <= 9999;
    if (hasStart && monthFilter)
        return false;
    if (hasStart || month >= 1) {
        for (int level : {LevelAccount, LevelCostItem, LevelAnalytics})
            if (block.levels[std::size_t(level)] >= 0)
                return false;
    }
    for (int value : block.levels)
        if (value > kGroupingLevel)
            return false;
    return true;
}

// ---------------------------------------------------- the employee walk

namespace {

// One run of the walk over the employees.
class SummaryWalk {
public:
    SummaryWalk(const SummaryRun& run, SummaryTree& tree, PayrollDoc& doc, QByteArray* file)
        : m_run(run), m_block(run.block), m_tree(tree), m_doc(doc), m_base(doc.infoBase), m_file(file)
    {}

    // 0 done, 1 stopped, -1 no memory left; throws on a short read.
    int Run();
    int Taken() const { return m_taken; }

private:
    bool EmployeeWanted(const EmployeeListEntry& entry) const;
    bool LevelAccepts(int level, int value, int low, int high) const;
    int WalkMonthRows(int index, int slot);
    int WalkArchive(int index, int slot);
    // Puts one row's amount in when its kind and filters take it; -1 when no memory is left.
    int TakeRow(int index, int slot, std::array<std::int32_t, kSummaryLevelCount> keys, int code, double sum, int days,
                int minutes);
    bool CodeTaken(const PayKind& kind) const;

    const SummaryRun& m_run;
    const SummaryBlock& m_block;
    SummaryTree& m_tree;
    PayrollDoc& m_doc;
    CInfoBase& m_base;
    QByteArray* m_file;
    EmployeeRecord m_record;
    int m_taken = 0;
};

bool SummaryWalk::LevelAccepts(int level, int value, int low, int high) const
{
    const int filter = m_block.levels[std::size_t(level)];
    return filter < low || filter > high || filter == value;
}

bool SummaryWalk::EmployeeWanted(const EmployeeListEntry& entry) const
{
    if (!m_base.holdsSlot(entry.slot))
        return false;
    // Only the employees that the selection run put into the swap file.
    const infobase::Selection& strip = m_run.strip;
    if (strip.tabN != 0 && entry.tabN() != strip.tabN)
        return false;
    if (!m_base.EmployeeInGroup(entry.slot, strip.shop, strip.brigade, strip.profession))
        return false;
    if (m_run.markedEmployees > 0) {
        if (!entry.marked())
            return false;
    } else if (!LevelAccepts(LevelEmployee, entry.tabN(), 1, 8999)) {
        return false;
    }
    const infobase::EmployeeAttributes& attr = m_base.attributesOf(entry.slot);
    return LevelAccepts(LevelBrigade, attr.brig, 0, 99) && LevelAccepts(LevelProfession, attr.prof, 0, 9999) &&
           LevelAccepts(LevelPaySystem, attr.sistOpl, 1, 9) && LevelAccepts(LevelCategory, attr.kateg, 0, 99);
}

int SummaryWalk::Run()
{
    const bool archive = m_block.periodStart > 0 || m_block.Filtered(LevelMonth);
    for (int index = 0; index < m_base.employeeCount(); ++index) {
        if (m_run.stop.stop_requested())
            return SUMMARY_STOPPED;
        const EmployeeListEntry entry = m_base.list[std::size_t(index)];
        if (!EmployeeWanted(entry))
            continue;
        if (archive && !LevelAccepts(LevelShop, m_base.shopOf(entry.slot), 0, 250))
            continue;
        if (!m_base.swap.readSlot(entry.slot, m_record))
            throw TextError(infobase::ReadFileErrorText);
        const int result = archive ? WalkArchive(index, entry.slot) : WalkMonthRows(index, entry.slot);
        if (result < 0)
            return result;
    }
    return SUMMARY_DONE;
}

int SummaryWalk::WalkMonthRows(int index, int slot)
{
    const int year = m_base.config.reportingYear();
    for (int i = 0; i < kMonthRowsRead; ++i) {
        const AccrualRow& row = m_record.rows[std::size_t(i)];
        if (row.sum == 0)
            continue;
        std::array<std::int32_t, kSummaryLevelCount> keys{};
        keys[LevelAccount] = row.spzCh;
        keys[LevelCostItem] = row.spzSc;
        keys[LevelAnalytics] = row.spzAu;
        keys[LevelShop] = row.otd != 0 ? row.otd : m_base.shopOf(slot);
        keys[LevelMonth] = MonthIndex(year, row.mes);
        if (!LevelAccepts(LevelAccount, keys[LevelAccount], 0, 9999) ||
            !LevelAccepts(LevelCostItem, keys[LevelCostItem], 0, 9999) ||
            !LevelAccepts(LevelAnalytics, keys[LevelAnalytics], 0, 9999) ||
            !LevelAccepts(LevelShop, keys[LevelShop], 0, 99))
            continue;
        const int result = TakeRow(index, slot, keys, row.kod, row.sum, row.dn, row.min + 60 * row.hr);
        if (result < 0)
            return result;
    }
    return 0;
}

int SummaryWalk::WalkArchive(int index, int slot)
{
    const PackedDate hired{m_record.head.datPr1};
    const int hireMonth = hired.value != 0 ? MonthIndex(hired.fullYear(), hired.month()) : 0;
    const int monthFilter = m_block.Filtered(LevelMonth) ? m_block.levels[LevelMonth] : 0;
    for (const WariaEntry& entry : m_record.waria) {
        if (!entry.inUse() || entry.mes == 0)
            continue;
        std::array<std::int32_t, kSummaryLevelCount> keys{};
        keys[LevelShop] = m_base.shopOf(slot);
        keys[LevelMonth] = MonthIndex(entry.god, entry.mes);
        if (m_block.fromHireDate && keys[LevelMonth] < hireMonth)
            continue;
        if (monthFilter != 0 && keys[LevelMonth] != monthFilter)
            continue;
        if (m_block.periodStart > 0 && (keys[LevelMonth] < m_block.periodStart || keys[LevelMonth] > m_block.periodEnd))
            continue;
        if (entry.sum == 0)
            continue;
        const int result = TakeRow(index, slot, keys, entry.kod, entry.sum, entry.dn, entry.min + 60 * entry.hr);
        if (result < 0)
            return result;
    }
    return 0;
}

bool SummaryWalk::CodeTaken(const PayKind& kind) const
{
    const int code = kind.kod;
    if (m_run.markedPayKinds > 0) {
        if (!kind.mark())
            return false;
    } else if (!LevelAccepts(LevelCode, code, 1, kLastContributionCode)) {
        return false;
    }
    switch (m_block.levels[LevelSign]) {
    case 1: return IsAccrualCode(code);
    case 2: return IsDeductionBeforeContributionsCode(code);
    case 3: return code >= kFirstContributionCode;
    default: return code < kFirstContributionCode;
    }
}

int SummaryWalk::TakeRow(int index, int slot, std::array<std::int32_t, kSummaryLevelCount> keys, int code, double sum,
                         int days, int minutes)
{
    const PayKind* kind = PayKindOf(m_doc, code);
    if (!kind || !CodeTaken(*kind))
        return 0;
    const infobase::EmployeeAttributes& attr = m_base.attributesOf(slot);
    keys[LevelBrigade] = attr.brig;
    keys[LevelProfession] = attr.prof;
    keys[LevelPaySystem] = attr.sistOpl;
    keys[LevelCategory] = attr.kateg;
    // The tree keeps list positions (names are read from the slot); the
    // totals file carries personnel numbers, which mean the same in any base.
    keys[LevelEmployee] = m_file ? m_base.list[std::size_t(index)].tabN() : index;
    keys[LevelSign] = IsAccrualCode(code) ? kSignAccrual : kSignDeduction;
    keys[LevelFund] = (kind->flags & 3) + 4 * ((kind->flags >> 14) & 1);
    keys[LevelTaxFlag] = kind->oblPodoh;
    keys[LevelTrait1] = (kind->flags >> 8) & 1;
    keys[LevelTrait2] = (kind->flags >> 9) & 1;
    keys[LevelTrait3] = (kind->flags >> 13) & 1;
    keys[LevelCode] = code;
    for (int level : {LevelFund, LevelTaxFlag, LevelTrait1, LevelTrait2, LevelTrait3}) {
        const int high = level == LevelFund ? 9 : 1;
        if (!LevelAccepts(level, keys[std::size_t(level)], 0, high))
            return 0;
    }
    SummaryAmount amount = SummaryAmount::Of(sum, days, minutes);
    if (IsDeductionBeforeContributionsCode(code))
        amount.Negate();
    ++m_taken;
    const int result = WriteSummaryRecords(keys, amount, m_block, m_tree, m_file);
    return result < 0 ? SUMMARY_STORE_EXHAUSTED : 0;
}

// The totals file: header, records and, at the end, their count; written
// under a temporary name and renamed when complete. A failed write throws
// TextError naming the file and why.
void WriteTotalsFile(const QString& path, const SummaryBlock& block, const QByteArray& records, int count)
{
    QByteArray header = SummaryFileHeader(block);
    infobase::ByteWriter writer(header.data(), std::size_t(header.size()));
    writer.seek(20);
    writer.u32v(std::uint32_t(count));
    platform::SavedFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(header) != header.size() ||
        file.write(records) != records.size() || !file.commit())
        throw TextError(file.failureText());
}

// The report of the filled tree: the text report into its own work file
// (SummaryReportPath), or with NoPrint the record file "<base>.fin"; message
// 23 when it cannot be written.
void WriteSummaryReport(const SummaryRun& run, const SummaryTree& tree, PayrollDoc& doc)
{
    const QString path = run.noPrint ? doc.SummaryFile() : SummaryReportPath(doc);
    const QByteArray bytes = run.noPrint ? SummaryRecordFileBytes(run.block, tree) : SummaryReportText(run, tree, doc);
    if (QString failure; !platform::WriteWholeFile(path, bytes, &failure))
        throw TextError(failure);
}

} // namespace

QString SummaryReportPath(const PayrollDoc& doc) { return print::MonthFormPath(doc, "Svod"); }

int BuildArbitrarySummary(const SummaryRun& run, SummaryTree& tree, PayrollDoc& doc, print::PrintCommandPrompt* prompt,
                          platform::TaskOutcome* printed)
{
    const bool toFile = !run.block.outputPath.isEmpty() && !run.treeFilled;
    if (!run.treeFilled) {
        QByteArray records;
        if (toFile && !platform::SavedFile(run.block.outputPath).open(QIODevice::WriteOnly))
            return SUMMARY_FILE_FAILED;
        tree.Clear();
        SummaryWalk walk(run, tree, doc, toFile ? &records : nullptr);
        const int result = walk.Run();
        if (result != SUMMARY_DONE)
            return result;
        if (toFile) {
            const int count = int(records.size() / (4 * run.block.GroupingLevels().size() + SummaryAmount::Size));
            WriteTotalsFile(run.block.outputPath, run.block, records, count);
            return SUMMARY_DONE;
        }
        if (walk.Taken() == 0 && !run.block.GroupingLevels().empty())
            return SUMMARY_NO_DATA;
    }
    WriteSummaryReport(run, tree, doc);
    if (run.noPrint)
        return SUMMARY_DONE;
    if (prompt) {
        const print::PrintCommandResult result = print::PrintTextFile(doc, SummaryReportPath(doc), *prompt);
        infobase::SaveConfig(doc.infoBase);
        if (printed != nullptr)
            *printed = print::PrintedReportOutcome(SummaryReportPath(doc), result);
    }
    tree.Clear();
    return SUMMARY_DONE;
}

} // namespace kalvor::exchange
