#include "exchange/SummaryWorkers.h"

#include "infobase/Bytes.h"
#include "values/Messages.h"

#include <QFile>

#include <algorithm>

namespace kalvor::exchange {

using platform::TaskOutcome;

namespace {

constexpr std::size_t kInitialNodes = 3190;
constexpr int kLevelCountByte = kSummaryLevelCount;
constexpr int kNotGroupingMark = 100;
constexpr int kRecordsPerRead = 100;

const char* const kFormErrorText = "Вы ошиблись при заполнении формы";
const char* const kNoDataText = "Нет  данных";
const char* const kTotalsFileText = "Сбой при работе с файлом итогов";
const char* const kNoMemoryText = "Извините.  Не хватает оперативной памяти.";
const char* const kAllocationText = "Ошибка выделения памяти";
const char* const kOtherSummaryText = "Файл не имеет отношения к выбранному Вами своду";

int CountMarkedPayKinds(const PayrollDoc& doc)
{
    const auto& kinds = doc.infoBase.payKinds();
    return int(std::count_if(kinds.begin(), kinds.end(), [](const infobase::PayKind& kind) { return kind.mark(); }));
}

void ReserveTree(SummaryTree& tree)
{
    if (!tree.Reserve(kInitialNodes))
        throw TextError(kAllocationText);
}

void SelectIntoSwap(PayrollDoc& doc, const PRSvodParams& params, std::stop_token stop)
{
    try {
        infobase::SelectKonstWariaToSwap(doc.infoBase, params.block.periodStart, params.block.periodEnd,
                                         SelectionOf(params), stop);
    } catch (const infobase::InfoBaseError& error) {
        throw TextError(error.message());
    }
}

} // namespace

void ThrowForEngineResult(int result)
{
    switch (result) {
    case SUMMARY_DONE:
    case SUMMARY_STOPPED: return;
    case SUMMARY_NO_DATA: throw TextError(kNoDataText);
    case SUMMARY_FILE_FAILED: throw TextError(kTotalsFileText);
    default: throw TextError(kNoMemoryText);
    }
}

TaskOutcome PRSvodThreadProc(platform::TaskContext& context, const PRSvodParams& params, PayrollDoc& doc,
                             const ExchangeMessenger& messenger, print::PrintCommandPrompt* prompt)
{
    return RunExchangeWorker(context, messenger, ExchangeCodeFamily::WholeTable, [&](platform::TaskContext& ctx) {
        SummaryRun run;
        run.block = params.block;
        run.strip = SelectionOf(params);
        run.markedEmployees = CountMarkedEmployees(doc.infoBase, params);
        run.markedPayKinds = params.markedPayKindsOnly ? CountMarkedPayKinds(doc) : 0;
        const auto& config = doc.infoBase.config;
        run.currentMonth = MonthIndex(config.reportingYear(), config.reportingMonth());
        run.stop = ctx.stopToken();
        SummaryTree tree;
        ReserveTree(tree);
        SelectIntoSwap(doc, params, run.stop);
        if (ctx.stopRequested())
            return TaskOutcome(platform::TASK_DONE);
        if (!SummaryFormValid(run.block))
            throw TextError(kFormErrorText);
        TaskOutcome printed(platform::TASK_DONE);
        ThrowForEngineResult(BuildArbitrarySummary(run, tree, doc, prompt, &printed));
        return printed;
    });
}

// --------------------------------------------------------------- merge

namespace {

// One totals file's header.
struct SummaryFileHead {
    std::array<std::uint8_t, kSummaryLevelCount> order{};
    int daysAndHours = 0;
    std::uint32_t count = 0;
};

bool ReadExactly(QFile& file, char* bytes, qint64 size) { return file.read(bytes, size) == size; }

// The head of an open file: TASK_DONE, or TASK_FILE_ERROR (read); throws
// for a file of another kind.
TaskOutcome ReadFileHead(QFile& file, SummaryFileHead& head)
{
    char first = 0;
    if (!ReadExactly(file, &first, 1))
        return TaskOutcome(platform::TASK_FILE_ERROR, platform::FILE_ERROR_READ);
    if (first != char(kLevelCountByte))
        throw TextError(kOtherSummaryText);
    char rest[kSummaryLevelCount + 6];
    if (!ReadExactly(file, rest, sizeof rest))
        return TaskOutcome(platform::TASK_FILE_ERROR, platform::FILE_ERROR_READ);
    infobase::ByteReader reader(rest, sizeof rest);
    for (auto& level : head.order) level = reader.u8v();
    head.daysAndHours = reader.u16v() != 0 ? 1 : 0;
    head.count = reader.u32v();
    return TaskOutcome(platform::TASK_DONE);
}

// The grouping levels of a file's order in form order; throws for a level
// number that no summary writes.
std::vector<int> GroupingOfHead(const SummaryFileHead& head)
{
    std::vector<int> grouping;
    for (std::uint8_t byte : head.order) {
        const int level = byte < kNotGroupingMark ? byte : byte - kNotGroupingMark;
        if (level >= kSummaryLevelCount)
            throw TextError(kOtherSummaryText);
        if (byte < kNotGroupingMark)
            grouping.push_back(level);
    }
    return grouping;
}

// The first file's levels and order become the report's.
void TakeLevelsOf(const SummaryFileHead& head, SummaryBlock& block)
{
    for (int position = 0; position < kSummaryLevelCount; ++position) {
        const std::uint8_t byte = head.order[std::size_t(position)];
        const int level = byte < kNotGroupingMark ? byte : byte - kNotGroupingMark;
        block.order[std::size_t(position)] = std::uint8_t(level);
        block.levels[std::size_t(level)] = byte < kNotGroupingMark ? kGroupingLevel : kNoCondition;
    }
}

// Every record of the file into the tree, a hundred at a time; every read is
// checked, so a file shorter than its count says is a read error.
TaskOutcome ReadRecords(QFile& file, std::uint32_t count, int depth, SummaryTree& tree)
{
    const int recordSize = 4 * depth + SummaryAmount::Size;
    QByteArray chunk;
    std::array<std::int32_t, kSummaryLevelCount> keys{};
    for (std::uint32_t done = 0; done < count;) {
        const int records = int(std::min<std::uint32_t>(kRecordsPerRead, count - done));
        chunk.resize(qsizetype(records) * recordSize);
        if (!ReadExactly(file, chunk.data(), chunk.size()))
            return TaskOutcome(platform::TASK_FILE_ERROR, platform::FILE_ERROR_READ);
        for (int i = 0; i < records; ++i) {
            const char* record = chunk.constData() + qsizetype(i) * recordSize;
            infobase::ByteReader reader(record, std::size_t(recordSize));
            for (int level = 0; level < depth; ++level) keys[std::size_t(level)] = reader.i32v();
            if (tree.Insert(keys.data(), depth, SummaryAmount::Read(record + 4 * depth)) < 0)
                throw TextError(kNoMemoryText);
        }
        done += std::uint32_t(records);
    }
    return TaskOutcome(platform::TASK_DONE);
}

} // namespace

TaskOutcome ReadSummaryFiles(const QStringList& fileNames, SummaryTree& tree, SummaryBlock& block)
{
    block.levels.fill(-2);
    std::vector<int> firstGrouping;
    bool haveFirst = false;
    for (const QString& name : fileNames) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly))
            return TaskOutcome(platform::TASK_FILE_ERROR, platform::FILE_ERROR_OPEN);
        SummaryFileHead head;
        const TaskOutcome headRead = ReadFileHead(file, head);
        if (headRead.result != platform::TASK_DONE)
            return headRead;
        block.daysAndHours = head.daysAndHours;
        if (head.count == 0)
            continue;
        const std::vector<int> grouping = GroupingOfHead(head);
        if (!haveFirst) {
            firstGrouping = grouping;
            TakeLevelsOf(head, block);
            haveFirst = true;
        } else if (grouping != firstGrouping) {
            throw TextError(kOtherSummaryText);
        }
        const TaskOutcome recordsRead = ReadRecords(file, head.count, int(grouping.size()), tree);
        if (recordsRead.result != platform::TASK_DONE)
            return recordsRead;
    }
    return TaskOutcome(platform::TASK_DONE);
}

TaskOutcome MergePRSvodThreadProc(platform::TaskContext& context, const QStringList& fileNames, PayrollDoc& doc,
                                  const ExchangeMessenger& messenger, print::PrintCommandPrompt* prompt)
{
    return RunExchangeWorker(context, messenger, ExchangeCodeFamily::WholeTable, [&](platform::TaskContext& ctx) {
        SummaryRun run;
        run.treeFilled = true;
        run.employeeKeysAreNumbers = true;
        run.stop = ctx.stopToken();
        SummaryTree tree;
        ReserveTree(tree);
        const TaskOutcome read = ReadSummaryFiles(fileNames, tree, run.block);
        if (read.result != platform::TASK_DONE)
            return read;
        TaskOutcome printed(platform::TASK_DONE);
        ThrowForEngineResult(BuildArbitrarySummary(run, tree, doc, prompt, &printed));
        return printed;
    });
}

} // namespace kalvor::exchange
