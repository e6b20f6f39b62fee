#include "exchange/ExchangeWorker.h"

#include "infobase/SwapFile.h"
#include "platform/Db.h"
#include "values/Messages.h"

#include <algorithm>
#include <cstdlib>

namespace kalvor::exchange {

namespace {

// The report generator's messages come first in the table; the exchange
// part follows them.
constexpr int kFilePartOffset = 42;

void ShowErrorOnGui(platform::TaskContext& context, const ExchangeMessenger& messenger, const QString& text)
{
    context.runOnGui([&] {
        messenger.ShowError(text);
        return 0;
    });
}

} // namespace

QString ExchangeCodeText(int code, ExchangeCodeFamily family)
{
    const int k = std::abs(code);
    const int message = family == ExchangeCodeFamily::FilePart ? kFilePartOffset + k : k;
    const QString text = ExchangeErrorText(message);
    return text.isEmpty() ? QStringLiteral("Прочая ошибка") : text;
}

platform::TaskOutcome RunExchangeWorker(platform::TaskContext& context, const ExchangeMessenger& messenger,
                                        ExchangeCodeFamily family, const ExchangeWriter& writer)
{
    using platform::TaskOutcome;
    try {
        const TaskOutcome outcome = writer(context);
        if (outcome.result >= 0)
            return outcome;
        ShowErrorOnGui(context, messenger, ExchangeCodeText(outcome.result, family));
        return TaskOutcome(platform::TASK_DONE);
    } catch (const TextError& error) {
        ShowErrorOnGui(context, messenger, error.message());
        return TaskOutcome(platform::TASK_DONE);
    } catch (const infobase::InfoBaseError& error) {
        // The work file's failures name the file and why.
        ShowErrorOnGui(context, messenger, error.message());
        return TaskOutcome(platform::TASK_DONE);
    } catch (const db::DbError& error) {
        context.runOnGui([&] {
            messenger.ShowDbError(error);
            return 0;
        });
        return TaskOutcome(platform::TASK_FAILED);
    } catch (...) {
        return TaskOutcome(platform::TASK_FAILED);
    }
}

infobase::Selection SelectionOf(const platform::TaskThreadParams& params)
{
    infobase::Selection selection;
    selection.shop = params.shop;
    selection.brigade = params.brigade;
    selection.profession = params.profession;
    selection.tabN = params.personnelNumber;
    selection.flag = params.markedOnly;
    return selection;
}

int CountMarkedEmployees(const infobase::CInfoBase& base, const platform::TaskThreadParams& params)
{
    if (!params.markedOnly)
        return 0;
    return int(std::count_if(base.list.begin(), base.list.end(),
                             [](const infobase::EmployeeListEntry& entry) { return entry.marked(); }));
}

} // namespace kalvor::exchange
