#include "exchange/DbfWorkers.h"

#include "exchange/DbfExport.h"
#include "exchange/DbfImport.h"
#include "exchange/KodDbf.h"
#include "infobase/InfoBaseDb.h"
#include "platform/WorkingFolder.h"

#include <QDir>

#include <algorithm>

namespace kalvor::exchange {

using platform::TaskContext;
using platform::TaskOutcome;

namespace {

void ShowOnGui(TaskContext& context, const std::function<void()>& show)
{
    context.runOnGui([&] {
        show();
        return 0;
    });
}

// Writes (kind 1 to 3) or reads the table of the block, and reports a read.
TaskOutcome RunDbfTable(int kind, TaskContext& context, const DbfTaskParams& params, PayrollDoc& doc,
                        const ExchangeMessenger& messenger, const DbfProgress& progress)
{
    DbfRunControl control;
    control.progress = progress;
    control.stop = context.stopToken();
    control.showMessage = [&](const QString& text) { ShowOnGui(context, [&] { messenger.ShowError(text); }); };
    QString written;
    control.written = [&](const QString& path, int records) {
        written = QStringLiteral("Записано записей: %1 в файл %2").arg(records).arg(QDir::toNativeSeparators(path));
    };
    const bool read = params.operation == DbfOperationRead;
    int listChanged = 0;
    int newEmployees = 0;
    const int result = kind == DbfConstInfo && read
                           ? ImportDbfConstInfo(params.path, newEmployees, listChanged, doc, control)
                           : ExportDbf(doc, SelectionOf(params), kind, read ? DbfRead : DbfWrite, params.path,
                                       listChanged, CountMarkedEmployees(doc.infoBase, params), control);
    if (result < 0)
        return TaskOutcome(result);
    if (read) {
        ShowOnGui(context, [&] { messenger.ShowInformation(QStringLiteral("Прочитано %1 записей").arg(result)); });
        if (kind == DbfConstInfo)
            ShowOnGui(context, [&] {
                messenger.ShowInformation(QStringLiteral("Новых сотрудников в базе: %1 ").arg(newEmployees));
            });
    }
    if (listChanged)
        SortListsAfterNameChange(doc.infoBase);
    // A written table is named with its records in the view.
    return TaskOutcome(platform::TASK_DONE, 0, written);
}

TaskOutcome DbfTableWorker(int kind, TaskContext& context, const DbfTaskParams& params, PayrollDoc& doc,
                           const ExchangeMessenger& messenger, const DbfProgress& progress)
{
    return RunExchangeWorker(context, messenger, ExchangeCodeFamily::FilePart,
                             [&](TaskContext& c) { return RunDbfTable(kind, c, params, doc, messenger, progress); });
}

QString WorkFolderOf(const infobase::CInfoBase& base)
{
    return platform::WithSeparator(base.workFolder.isEmpty() ? platform::WorkingFolder() : base.workFolder);
}

} // namespace

TaskOutcome DbfCInfThreadProc(TaskContext& context, const DbfTaskParams& params, PayrollDoc& doc,
                              const ExchangeMessenger& messenger, const DbfProgress& progress)
{
    return DbfTableWorker(DbfConstInfo, context, params, doc, messenger, progress);
}

TaskOutcome DbfArchThreadProc(TaskContext& context, const DbfTaskParams& params, PayrollDoc& doc,
                              const ExchangeMessenger& messenger, const DbfProgress& progress)
{
    return DbfTableWorker(DbfArchive, context, params, doc, messenger, progress);
}

TaskOutcome DbfZarpThreadProc(TaskContext& context, const DbfTaskParams& params, PayrollDoc& doc,
                              const ExchangeMessenger& messenger, const DbfProgress& progress)
{
    return DbfTableWorker(DbfAccrued, context, params, doc, messenger, progress);
}

TaskOutcome DbfNUThreadProc(TaskContext& context, int operation, PayrollDoc& doc, const ExchangeMessenger& messenger)
{
    return RunExchangeWorker(context, messenger, ExchangeCodeFamily::FilePart, [&](TaskContext& c) {
        infobase::CInfoBase& base = doc.infoBase;
        if (operation == DbfOperationRead)
            ReadKodDbf(WorkFolderOf(base), base, c.stopToken());
        else if (!base.payKinds().empty())
            WriteKodDbf(WorkFolderOf(base), base, c.stopToken());
        return TaskOutcome(platform::TASK_DONE);
    });
}

void SortListsAfterNameChange(infobase::CInfoBase& base)
{
    auto byName = [&base](const infobase::EmployeeListEntry& a, const infobase::EmployeeListEntry& b) {
        return base.CompareEmployeesByName(a, b);
    };
    if (base.nameOrder()) {
        std::stable_sort(base.list.begin(), base.list.end(), byName);
        return;
    }
    const std::vector<infobase::EmployeeListEntry> byNumber = base.list;
    try {
        infobase::LoadSimp(base, 2);
        std::stable_sort(base.list.begin(), base.list.end(), byName);
        infobase::SaveSimp(base, 2);
        base.otherList = base.list;
    } catch (...) {
        base.list = byNumber;
        throw;
    }
    base.list = byNumber;
    base.config.kolRab = infobase::i16(base.list.size());
}

} // namespace kalvor::exchange
