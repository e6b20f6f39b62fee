#include "exchange/ui/CEFuncDbfView.h"

#include "platform/WorkingFolder.h"
#include "shell/ui/CKalvorDoc.h"
#include "values/CScan.h"
#include "values/Values.h"

#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

using kalvor::exchange::DbfTaskParams;
using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

CEFuncDbfView::CEFuncDbfView(int formId, const QString& title, ThreadProc worker, CKalvorDoc* doc, QWidget* parent)
    : CExchangeTaskView(formId, PanelDbf, doc, parent), m_threadProc(worker)
{
    BeginForm(title);
    AddSelectionField(IdShopField, QStringLiteral("Номер цеха/отдела (по умолчанию  вся организация)"));
    AddSelectionField(IdBrigadeField, QStringLiteral("Номер бригады (по умолчанию  все бригады)"));
    AddSelectionField(IdPersonnelNumberField, QStringLiteral("Табельный номер  (по умолчанию  все работники)"));

    auto* operation = new QGroupBox(QStringLiteral("Выбор операции"));
    auto* layout = new QVBoxLayout(operation);
    m_write = new QRadioButton(QStringLiteral("Запись информации из Вашей базы данных в файл формата DBF"), operation);
    auto* read = new QRadioButton(QStringLiteral("Чтение информации формата DBF в Вашу базу.  (Данные м.б. затерты !)"),
                                  operation);
    m_write->setChecked(true);
    layout->addWidget(m_write);
    layout->addWidget(read);
    SetControl(IdDbfWrite, m_write);
    SetControl(IdDbfRead, read);
    AddRow(operation);

    AddStartButton(QStringLiteral("Выполнить"));
    AddProgressPlace();
}

CEFuncDbfView::~CEFuncDbfView() { StopWorker(); }

int CEFuncDbfView::Operation() const
{
    return m_write->isChecked() ? kalvor::exchange::DbfOperationWrite : kalvor::exchange::DbfOperationRead;
}

void CEFuncDbfView::ShowFormHelp()
{
    if (m_focusedId != IdPersonnelNumberField) {
        CExchangeTaskView::ShowFormHelp();
        return;
    }
    std::array<int, 3> strip{};
    if (ReadSelectionKeys(*this, strip))
        PickEmployee(3, strip[0], strip[1], 0);
}

void CEFuncDbfView::OnStartButton() { OnDbfRun(); }

void CEFuncDbfView::OnDbfRun()
{
    if (!CanStart() || !ReadForm())
        return;
    const QString path = ChooseDbfFile(Operation() == kalvor::exchange::DbfOperationRead);
    if (!path.isEmpty())
        StartDbfTask(path);
}

void CEFuncDbfView::StartDbfTask(const QString& path)
{
    m_path = path;
    StartTask();
}

QString CEFuncDbfView::ChooseDbfFile(bool forRead)
{
    QString folder = Document() ? Document()->infoBase.workFolder : QString();
    if (folder.isEmpty())
        folder = kalvor::platform::WorkingFolder();
    QFileDialog dialog(this, QString(), folder, QStringLiteral("DBF файлы (*.dbf);;Все файлы (*.*)"));
    dialog.setAcceptMode(forRead ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(forRead ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!forRead)
        dialog.setDefaultSuffix(QStringLiteral("dbf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().front();
}

TaskThread::Body CEFuncDbfView::MakeTaskBody()
{
    DbfTaskParams params;
    static_cast<kalvor::platform::TaskThreadParams&>(params) = StripParams();
    params.path = m_path;
    params.operation = Operation();
    kalvor::PayrollDoc* doc = Document();
    const QPointer<CExchangeTaskView> view(this);
    const ThreadProc proc = m_threadProc;
    return [params, doc, view, proc](TaskContext& context) {
        return proc(context, params, *doc, WorkerBoxes(), DbfProgressSender(view, context));
    };
}

void CEFuncDbfView::OnWorkerDone(int result, int detail, const QString& failure)
{
    OnTaskDoneDbf(*this, m_marquee, result, detail);
    if (result == kalvor::platform::TASK_DONE)
        ShowRunMessage(detail, failure);
    else
        ShowTaskFailure(failure, this);
}

void CEFuncDbfView::OnWorkerProgress(int /*position*/, int /*count*/)
{
    // The workers report through DbfProgressSender.
}

CEFuncDbfCInfView::CEFuncDbfCInfView(CKalvorDoc* doc, QWidget* parent)
    : CEFuncDbfView(436, QStringLiteral("Постоянная информация"), &kalvor::exchange::DbfCInfThreadProc, doc, parent)
{}

CEFuncDbfZarpView::CEFuncDbfZarpView(CKalvorDoc* doc, QWidget* parent)
    : CEFuncDbfView(437, QStringLiteral("Начисленная зарплата"), &kalvor::exchange::DbfZarpThreadProc, doc, parent)
{}

CEFuncDbfArchView::CEFuncDbfArchView(CKalvorDoc* doc, QWidget* parent)
    : CEFuncDbfView(436, QStringLiteral("Постоянная информация"), &kalvor::exchange::DbfArchThreadProc, doc, parent)
{}
