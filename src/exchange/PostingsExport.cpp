#include "exchange/PostingsExport.h"

#include "infobase/InfoBaseDb.h"
#include "infobase/SwapFile.h"
#include "print/PrintOutput.h"
#include "values/Messages.h"

#include <QFile>

namespace kalvor::exchange {

namespace {

constexpr int kProgramBest = 0;
constexpr int kNoWriter = -1;

// Runs the writer of the program into the open work file.
int WritePostings(std::stop_token stop, PayrollDoc& doc, QFile& work, const PostingsSelection& selection)
{
    switch (selection.program) {
    case kProgramBest: return ExportPostingsBest(std::move(stop), doc, work, selection);
    default: return kNoWriter;
    }
}

// Replaces the print copy by the work file, under a temporary name first.
void MakePrintCopy(const PayrollDoc& doc)
{
    const QString copy = PostingsPrintCopy(doc);
    const QString temporary = copy + QStringLiteral(".tmp");
    QFile::remove(temporary);
    if (!QFile::copy(doc.TypWorkFile(), temporary))
        throw TextError(infobase::WriteFileErrorText);
    QFile::remove(copy);
    if (!QFile::rename(temporary, copy))
        throw TextError(infobase::WriteFileErrorText);
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

platform::TaskOutcome ProvodExportThreadProc(platform::TaskContext& context, const PostingsTaskParams& params,
                                             PayrollDoc& doc, const ExchangeMessenger& messenger,
                                             print::PrintCommandPrompt& prompt)
{
    return RunExchangeWorker(context, messenger, ExchangeCodeFamily::WholeTable, [&](platform::TaskContext& task) {
        QFile work(doc.TypWorkFile());
        if (!work.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw TextError(infobase::OpenFileErrorText);
        const int result = WritePostings(task.stopToken(), doc, work, PostingsSelectionOf(params));
        work.close();
        if (result != 0)
            return platform::TaskOutcome(result < 0 ? result : platform::TASK_DONE);
        MakePrintCopy(doc);
        print::PrintTextFile(doc, PostingsPrintCopy(doc), prompt);
        infobase::SaveConfig(doc.infoBase);
        return platform::TaskOutcome(platform::TASK_DONE);
    });
}

} // namespace kalvor::exchange
