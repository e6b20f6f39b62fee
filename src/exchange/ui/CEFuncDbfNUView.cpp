#include "exchange/ui/CEFuncDbfNUView.h"

#include "exchange/DbfWorkers.h"
#include "exchange/ui/CEFuncDbfView.h"
#include "shell/ui/CKalvorDoc.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

CEFuncDbfNUView::CEFuncDbfNUView(CKalvorDoc* doc, QWidget* parent) : CExchangeTaskView(439, PanelDbf, doc, parent)
{
    BeginForm(QStringLiteral("Начисления и удержания"));
    auto* operation = new QGroupBox(QStringLiteral("Выбор операции"));
    auto* layout = new QVBoxLayout(operation);
    m_write = new QRadioButton(QStringLiteral("Создание  справочника (dBASE) начислений и удержаний"), operation);
    auto* read = new QRadioButton(QStringLiteral("Чтение из справочника (dBASE) начислений и удержаний"), operation);
    m_write->setChecked(true);
    layout->addWidget(m_write);
    layout->addWidget(read);
    SetControl(IdDbfWrite, m_write);
    SetControl(IdDbfRead, read);
    AddRow(operation);
    AddStartButton(QStringLiteral("Выполнить"));
    AddProgressPlace();
}

CEFuncDbfNUView::~CEFuncDbfNUView() { StopWorker(); }

int CEFuncDbfNUView::Operation() const
{
    return m_write->isChecked() ? kalvor::exchange::DbfOperationWrite : kalvor::exchange::DbfOperationRead;
}

TaskThread::Body CEFuncDbfNUView::MakeTaskBody()
{
    const int operation = Operation();
    kalvor::PayrollDoc* doc = Document();
    return [operation, doc](TaskContext& context) {
        return kalvor::exchange::DbfNUThreadProc(context, operation, *doc, WorkerBoxes());
    };
}

void CEFuncDbfNUView::OnWorkerDone(int result, int detail, const QString& failure)
{
    OnTaskDoneDbf(*this, m_marquee, result, detail);
    ShowTaskFailure(failure, this);
}
