#include "exchange/PostingsExport.h"

#include "exchange/Postings1C.h"
#include "exchange/PostingsInfin.h"
#include "exchange/PostingsTurbo.h"
#include "exchange/SummaryWorkers.h"
#include "infobase/InfoBaseDb.h"
#include "infobase/SwapFile.h"
#include "platform/FileCopy.h"
#include "platform/SavedFile.h"
#include "print/PrintOutput.h"
#include "values/Messages.h"

#include <QFile>

namespace kalvor::exchange {

namespace {

constexpr int kProgramBest = 0, kProgram1C = 1, kProgramInfin = 2, kProgramTurbo = 3;
constexpr int kNoWriter = -1;
constexpr std::size_t kSummaryNodes = 3190;
const char* const kAllocationErrorText = "Ошибка выделения памяти";

// Runs the writer of the program into the open work file.
int WritePostings(std::stop_token stop, PayrollDoc& doc, QFile& work, const PostingsTaskParams& params)
{
    const PostingsSelection selection = PostingsSelectionOf(params);
    switch (selection.program) {
    case kProgramBest: return ExportPostingsBest(std::move(stop), doc, work, selection);
    case kProgram1C: return ExportPostings1C(selection, std::move(stop), work, doc);
    default: return kNoWriter;
    }
}

// The user's side of the Турбо-бухгалтер export: the view's boxes, shown on
// the user-interface thread. A stopped run answers its question with Нет.
class WorkerConversation : public PostingsConversation {
public:
    WorkerConversation(platform::TaskContext& task, const ExchangeMessenger& messenger)
        : m_task(task), m_messenger(messenger)
    {}
    bool Ask(const QString& question) override
    {
        return m_task.runOnGui([&] { return m_messenger.AskYesNo(question) ? 1 : 0; }) == 1;
    }
    void Tell(const QString& message) override
    {
        m_task.runOnGui([&] {
            m_messenger.ShowMessage(message);
            return 0;
        });
    }

private:
    platform::TaskContext& m_task;
    const ExchangeMessenger& m_messenger;
};

// The message of a finished ИНФИН export, for the month it was made for.
QString InfinDoneText(const PayrollDoc& doc, const QString& loader)
{
    QString text = QStringLiteral("Выгрузка за %1 месяц завершена!").arg(MonthName(InfinExportMonth(doc).month()));
    if (loader.trimmed().isEmpty())
        text += QStringLiteral("\nЗагрузчик ИНФИН не задан (параметр InfinLoader раздела [Application] файла "
                               "настроек): файл infin.txt в программу ИНФИН не передан.");
    return text;
}

// ИНФИН and Турбо-бухгалтер: the summary into "<base>.fin", then the writer
// of the program. Nothing goes to the work file.
int ExportThroughSummary(platform::TaskContext& task, PayrollDoc& doc, const PostingsTaskParams& params,
                         const ExchangeMessenger& messenger)
{
    if (const int result = BuildPostingsSummary(task.stopToken(), doc, params); result != 0)
        return result;
    if (params.program == kProgramTurbo) {
        WorkerConversation owner(task, messenger);
        return ExportPostingsTurbo(doc, owner);
    }
    QString loaderFailure;
    const int result =
        ExportPostingsInfin(task.stopToken(), doc, PostingsSelectionOf(params), params.infinLoader, &loaderFailure);
    if (result == 0) {
        task.runOnGui([&] {
            const QString done = InfinDoneText(doc, params.infinLoader);
            if (loaderFailure.isEmpty())
                messenger.ShowMessage(done);
            else
                messenger.ShowError(done + QLatin1Char('\n') + loaderFailure);
            return 0;
        });
    }
    return result;
}

// Replaces the print copy by the work file, under a temporary name first.
void MakePrintCopy(const PayrollDoc& doc)
{
    if (QString failure; !platform::CopyFileReplacing(doc.TypWorkFile(), PostingsPrintCopy(doc), &failure))
        throw TextError(failure);
}

} // namespace

QString PostingsPrintCopy(const PayrollDoc& doc) { return doc.basePath() + QStringLiteral(".pst"); }

PostingsSelection PostingsSelectionOf(const PostingsTaskParams& params)
{
    PostingsSelection selection;
    selection.shop = std::uint8_t(params.shop);
    selection.brigade = std::uint8_t(params.brigade);
    selection.profession = std::uint16_t(params.profession);
    selection.personnelNumber = std::uint16_t(params.personnelNumber);
    selection.program = std::int8_t(params.program);
    return selection;
}

int BuildPostingsSummary(std::stop_token stop, PayrollDoc& doc, const PostingsTaskParams& params)
{
    SummaryRun run;
    for (int level = 0; level < kSummaryLevelCount; ++level) {
        run.block.order[std::size_t(level)] = std::uint8_t(level);
        run.block.levels[std::size_t(level)] = kNoCondition;
    }
    for (int level : {LevelAccount, LevelCostItem, LevelAnalytics})
        run.block.levels[std::size_t(level)] = kGroupingLevel;
    if (params.program == kProgramTurbo)
        run.block.levels[LevelCode] = kGroupingLevel;
    run.strip = SelectionOf(params);
    run.markedEmployees = CountMarkedEmployees(doc.infoBase, params);
    const auto& config = doc.infoBase.config;
    run.currentMonth = MonthIndex(config.reportingYear(), config.reportingMonth());
    run.stop = stop;
    run.noPrint = true;

    SummaryTree tree;
    if (!tree.Reserve(kSummaryNodes))
        throw TextError(kAllocationErrorText);
    try {
        infobase::SelectKonstWariaToSwap(doc.infoBase, 0, 0, run.strip, stop);
    } catch (const infobase::InfoBaseError& error) {
        throw TextError(error.message());
    }
    if (stop.stop_requested())
        return SUMMARY_STOPPED;
    const int result = BuildArbitrarySummary(run, tree, doc, nullptr);
    doc.infoBase.CloseSwapFile();
    ThrowForEngineResult(result);
    return result;
}

platform::TaskOutcome ProvodExportThreadProc(platform::TaskContext& context, const PostingsTaskParams& params,
                                             PayrollDoc& doc, const ExchangeMessenger& messenger,
                                             print::PrintCommandPrompt& prompt)
{
    return RunExchangeWorker(context, messenger, ExchangeCodeFamily::WholeTable, [&](platform::TaskContext& task) {
        // The work file is emptied first: a run that fails leaves it so.
        if (QString failure; !platform::WriteWholeFile(doc.TypWorkFile(), QByteArray(), &failure))
            throw TextError(failure);
        if (params.program == kProgramInfin || params.program == kProgramTurbo) {
            const int result = ExportThroughSummary(task, doc, params, messenger);
            return platform::TaskOutcome(result < 0 ? result : platform::TASK_DONE);
        }
        platform::SavedFile work(doc.TypWorkFile());
        if (!work.open(QIODevice::WriteOnly))
            throw TextError(work.failureText());
        const int result = WritePostings(task.stopToken(), doc, work, params);
        if (!work.commit())
            throw TextError(work.failureText());
        if (result != 0)
            return platform::TaskOutcome(result < 0 ? result : platform::TASK_DONE);
        MakePrintCopy(doc);
        const print::PrintCommandResult printed = print::PrintTextFile(doc, PostingsPrintCopy(doc), prompt);
        infobase::SaveConfig(doc.infoBase);
        return print::PrintedReportOutcome(PostingsPrintCopy(doc), printed);
    });
}

} // namespace kalvor::exchange
