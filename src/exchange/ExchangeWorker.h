#pragma once
// What every worker of the exchange functions shares: how it reports a
// writer's failure to the user, how it turns the view's parameter block into
// the selection of the information base's runs, and how it counts the
// employees marked in the field help.
//
// An exchange worker shows its failures itself and ends with a result that
// the view shows nothing more for:
// - a writer's negative result -k: message k of ExchangeErrorTexts (or
//   42 + k for the dBASE and output-file family), then TASK_DONE;
// - a string exception (TextError) and a failure of the work file
//   (infobase::InfoBaseError, which names the file and why): its text, then
//   TASK_DONE;
// - a database error (db::DbError): the database error box, then TASK_FAILED;
// - any other exception: no message, TASK_FAILED.
// Results of 0 and above (TASK_DONE, TASK_FILE_ERROR with its FileErrorKind
// ...) pass to the view as they are.
#include "infobase/InfoBaseDb.h"
#include "platform/TaskThread.h"

#include <QString>

#include <functional>

namespace kalvor::db {
class DbError;
}

namespace kalvor::exchange {

// Which part of ExchangeErrorTexts a worker's codes select.
enum class ExchangeCodeFamily {
    WholeTable, // -k gives message k: insured persons, postings, total sums, certificate, T-54
    FilePart, // -k gives message 42 + k: the dBASE and output-file workers
};

// The message of code -k in that family; "Прочая ошибка" for a code outside
// the table.
QString ExchangeCodeText(int code, ExchangeCodeFamily family);

// The message boxes of a worker, given by the screens (the boxes are widgets).
// They are called on the user-interface thread.
class ExchangeMessenger {
public:
    virtual ~ExchangeMessenger() = default;
    // A box with the text, caption "Kalvor", the error icon, owned by the main window.
    virtual void ShowError(const QString& text) const = 0;
    // A box with the text, caption "Kalvor", the information icon.
    virtual void ShowInformation(const QString& text) const = 0;
    // The database error box ("ОБНАРУЖЕНА ОШИБКА: ...").
    virtual void ShowDbError(const db::DbError& error) const = 0;
    // A box with the text, caption "Kalvor", no icon.
    virtual void ShowMessage(const QString& text) const = 0;
    // A question with the buttons Да and Нет, caption "Kalvor", the question
    // icon; true for Да.
    virtual bool AskYesNo(const QString& text) const = 0;
};

// The work of one run: a TaskResult and its detail, or a negative result -k
// for a writer's failure code.
using ExchangeWriter = std::function<platform::TaskOutcome(platform::TaskContext&)>;

// Runs the writer and reports its failures as the header says; the boxes go
// through the user-interface thread (TaskContext::runOnGui), so a stopped
// run never waits on one.
platform::TaskOutcome RunExchangeWorker(platform::TaskContext& context, const ExchangeMessenger& messenger,
                                        ExchangeCodeFamily family, const ExchangeWriter& writer);

// The selection of the information base's runs from a view's block: shop,
// brigade, profession, personnel number and the marked-only switch.
infobase::Selection SelectionOf(const platform::TaskThreadParams& params);

// The number of employees of the current list marked in the field help (any
// of the three selection flags set) when the block asks for marked employees
// only; 0 otherwise.
int CountMarkedEmployees(const infobase::CInfoBase& base, const platform::TaskThreadParams& params);

} // namespace kalvor::exchange
