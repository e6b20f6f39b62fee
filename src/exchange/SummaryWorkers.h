#pragma once
// The workers of the arbitrary-breakdown summary and of the merge of its
// totals files. Both report their failures in message boxes of their own
// (through the messenger) and end with TASK_DONE; a totals file that cannot
// be opened or read ends the merge with TASK_FILE_ERROR and its kind.
#include "exchange/ArbitrarySummary.h"
#include "exchange/ExchangeWorker.h"

#include <QStringList>

namespace kalvor::exchange {

// What the summary view hands its worker: the strip (for the selection run
// into the swap file), the marked-pay-kinds switch and the form's block.
struct PRSvodParams : platform::TaskThreadParams {
    int markedPayKindsOnly = 0;
    SummaryBlock block;
};

// An engine's result as its message: nothing for done or stopped, else a
// TextError of "Нет  данных", "Сбой при работе с файлом итогов" or
// "Извините.  Не хватает оперативной памяти.".
void ThrowForEngineResult(int result);

// Selects the employees of the strip and the period into the swap file,
// checks the form ("Вы ошиблись при заполнении формы") and runs the engine:
// the text report through the print command, or the totals file. The
// engine's failures are "Нет  данных", "Сбой при работе с файлом итогов" and
// "Извините.  Не хватает оперативной памяти.".
platform::TaskOutcome PRSvodThreadProc(platform::TaskContext& context, const PRSvodParams& params, PayrollDoc& doc,
                                       const ExchangeMessenger& messenger, print::PrintCommandPrompt* prompt);

// Reads the totals files in list order into one tree and prints it. A file
// of another summary (first byte other than 17, or other grouping levels or
// another order of them than the first file's) fails with "Файл не имеет
// отношения к выбранному Вами своду"; a file whose count is 0 is skipped.
// The employee level shows personnel numbers without names: the names of
// other bases are not known here.
platform::TaskOutcome MergePRSvodThreadProc(platform::TaskContext& context, const QStringList& fileNames,
                                            PayrollDoc& doc, const ExchangeMessenger& messenger,
                                            print::PrintCommandPrompt* prompt);

// The merge's reading alone: every file into the tree and the block of the
// report (levels and order of the first file, the option of the last).
// TASK_DONE, or TASK_FILE_ERROR with the kind; throws the TextError above.
platform::TaskOutcome ReadSummaryFiles(const QStringList& fileNames, SummaryTree& tree, SummaryBlock& block);

} // namespace kalvor::exchange
