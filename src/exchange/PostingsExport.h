#pragma once
// The worker of the postings export: opens the work file, runs the writer of
// the chosen accounting program and shows the written postings through the
// print command.
#include "exchange/BestPostings.h"
#include "exchange/ExchangeWorker.h"
#include "platform/TaskThread.h"

namespace kalvor::print {
class PrintCommandPrompt;
}

namespace kalvor::exchange {

// The view's parameter block: the strip, the marked-only switch and the program.
struct PostingsTaskParams : platform::TaskThreadParams {
    int program = 0; // 0 BEST, 1 1С-бухгалтерия, 2 ИНФИН, 3 Турбо-бухгалтер
    QString infinLoader; // the command that loads "infin.txt" into ИНФИН; empty: none is set
};

// The copy of the postings that goes to the print command: the command turns
// its file into cp866 in place, while the work file stays windows-1251 for
// the accounting program.
QString PostingsPrintCopy(const PayrollDoc& doc);

// The selection the writers get from the block.
PostingsSelection PostingsSelectionOf(const PostingsTaskParams& params);

// The summary of the ИНФИН and Турбо-бухгалтер postings: the selected
// employees into the swap file, then the engine by account, sub-account and
// analytics (and pay kind for Турбо-бухгалтер) into the record file
// "<base>.fin" without printing. 0 done, 1 stopped; the engine's failures are
// thrown as its messages (ThrowForEngineResult).
int BuildPostingsSummary(std::stop_token stop, PayrollDoc& doc, const PostingsTaskParams& params);

// Writes the postings of the block's program into the TypWorkFile (made
// anew). A writer's negative result shows its message of ExchangeErrorTexts;
// a stopped run ends without a message; a finished one offers the copy of
// the file to the print command through the prompt. ИНФИН and
// Турбо-бухгалтер write files of their own after the summary: ИНФИН ends with
// "Выгрузка за <month> месяц завершена!" (and a line saying so when no loader
// is set), Турбо-бухгалтер asks its question and says "Порядок!". A program
// without a writer ends with -1.
platform::TaskOutcome ProvodExportThreadProc(platform::TaskContext& context, const PostingsTaskParams& params,
                                             PayrollDoc& doc, const ExchangeMessenger& messenger,
                                             print::PrintCommandPrompt& prompt);

} // namespace kalvor::exchange
