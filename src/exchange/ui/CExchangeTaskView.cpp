#include "exchange/ui/CExchangeTaskView.h"

#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/FormSelection.h"
#include "shell/ui/KalvorMessageBox.h"
#include "values/CScan.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;
using kalvor::platform::TaskThreadParams;

namespace {

constexpr int kProgressPlaceHeight = 18;

// The message boxes of the exchange workers: owned by the main window.
class ExchangeBoxes : public kalvor::exchange::ExchangeMessenger {
public:
    void ShowError(const QString& text) const override
    {
        KalvorMessageBox(text, MB_OK | MB_ICONERROR, QString::fromUtf8(kMessageCaption));
    }
    void ShowInformation(const QString& text) const override
    {
        KalvorMessageBox(text, MB_OK | MB_ICONINFORMATION, QString::fromUtf8(kMessageCaption));
    }
    void ShowDbError(const kalvor::db::DbError& error) const override { ShowComError(error); }
};

int ReadIntField(const QLineEdit* field)
{
    int value = 0;
    return field && kalvor::ScanInt(field->text(), value) ? value : 0;
}

} // namespace

CExchangeTaskView::CExchangeTaskView(int formId, LeaveTo leaveTo, CKalvorDoc* doc, QWidget* parent)
    : CCommonFormView(formId, doc, parent), m_leaveTo(leaveTo)
{
    m_worker = new TaskThread(this);
    connect(m_worker, &TaskThread::done, this, &CExchangeTaskView::OnWorkerDone);
    connect(m_worker, &TaskThread::progress, this, &CExchangeTaskView::OnWorkerProgress);
}

CExchangeTaskView::~CExchangeTaskView() { StopWorker(); }

void CExchangeTaskView::StopWorker() { OnTaskViewDestroy(*m_worker); }

void CExchangeTaskView::OnInitialUpdate()
{
    TaskViewOnInitialUpdate(*this, m_marquee);
    OnTaskViewCtlColor(*this);
}

void CExchangeTaskView::ShowFormHelp() { TaskViewShowFormHelp(*this); }

// ------------------------------------------------------------- commands

bool CExchangeTaskView::OnCommand(int id)
{
    switch (id) {
    case IDOK:
        if (QWidget* start = control(IdStartButton))
            start->setFocus();
        OnStartButton();
        return true;
    case IDCANCEL: LeaveFunction(); return true;
    default: return false;
    }
}

void CExchangeTaskView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: OnCommand(IDOK); return;
    case Qt::Key_Escape: OnCommand(IDCANCEL); return;
    default: CCommonFormView::keyPressEvent(event);
    }
}

void CExchangeTaskView::LeaveFunction()
{
    auto* frame = qobject_cast<CMainFrame*>(window());
    if (!frame)
        return;
    // The worker ends before the next screen is shown, so that screen never
    // meets the document half written.
    StopWorker();
    if (m_leaveTo == LeaveToMainPanel) {
        frame->OnMainPanelAddFunctions();
        return;
    }
    frame->SwitchView<CEmptyView>();
    frame->ShowWorkPanel(m_leaveTo);
}

// ---------------------------------------------------------------- start

void CExchangeTaskView::OnStartButton()
{
    if (!CanStart() || !ReadFormValues())
        return;
    StartTask();
}

bool CExchangeTaskView::CanStart() const
{
    const QWidget* start = control(IdStartButton);
    return !(start && !start->isEnabled()) && !m_worker->isRunning();
}

void CExchangeTaskView::StartTask()
{
    // The worker gets a copy of the values and a stop event of its own.
    if (!LaunchWorker(MakeTaskBody())) {
        // No thread: nothing would ever end the run, so the view stays idle.
        KalvorMessageBox(QStringLiteral("Ошибка при создании потока"), MB_OK | MB_ICONERROR,
                         QString::fromUtf8(kMessageCaption), this);
        return;
    }
    m_marquee.Start();
    SetStartButtonsEnabled(false);
}

bool CExchangeTaskView::ReadFormValues()
{
    std::array<int, 3> selection{};
    ReadFormSelection(*this, selection);
    m_values.shop = selection[0];
    m_values.brigade = selection[1];
    m_values.profession = selection[2];
    m_values.personnelNumber = ReadIntField(controlAs<QLineEdit>(IdPersonnelNumberField));
    return true;
}

bool CExchangeTaskView::LaunchWorker(TaskThread::Body body) { return m_worker->start(std::move(body)); }

TaskThreadParams CExchangeTaskView::StripParams() const
{
    TaskThreadParams params = m_values;
    params.markedOnly = m_selectedOnly;
    return params;
}

TaskThread::Body CExchangeTaskView::ExchangeBody(kalvor::exchange::ExchangeCodeFamily family,
                                                 kalvor::exchange::ExchangeWriter writer)
{
    return [family, writer = std::move(writer)](TaskContext& context) {
        return kalvor::exchange::RunExchangeWorker(context, WorkerBoxes(), family, writer);
    };
}

const kalvor::exchange::ExchangeMessenger& CExchangeTaskView::WorkerBoxes()
{
    static const ExchangeBoxes boxes;
    return boxes;
}

void CExchangeTaskView::SetStartButtonsEnabled(bool enabled)
{
    for (int id : {int(IdStartButton), int(IdSecondStartButton)})
        if (QWidget* button = control(id))
            button->setEnabled(enabled);
}

// ------------------------------------------------------ end of a run

void CExchangeTaskView::OnWorkerDone(int result, int detail, const QString& failure)
{
    OnTaskDone(*this, m_marquee, result, detail);
    ShowTaskFailure(failure, this);
}

void CExchangeTaskView::OnWorkerProgress(int /*position*/, int /*count*/) {}

void CExchangeTaskView::OnDbfProgress(int position, int count)
{
    auto setNumber = [this](int id, int value) {
        if (auto* field = controlAs<QLineEdit>(id))
            field->setText(value != 0 ? QString::number(value) : QString());
    };
    const auto& base = Document()->infoBase;
    if (position < 0 || position >= base.employeeCount()) {
        for (int id : {int(IdPersonnelNumberField), int(IdShopField), int(IdBrigadeField)}) setNumber(id, 0);
        return;
    }
    const auto& entry = base.list[std::size_t(position)];
    setNumber(IdPersonnelNumberField, entry.tabN());
    if (count == 0 && entry.slot >= 1 && entry.slot <= base.capacity()) {
        setNumber(IdShopField, base.shopBytes[entry.slot]);
        setNumber(IdBrigadeField, base.attributes[std::size_t(entry.slot - 1)].brig);
    }
    update();
}

std::function<void(int, int)> CExchangeTaskView::DbfProgressSender(QPointer<CExchangeTaskView> view,
                                                                   TaskContext& context)
{
    return [view, &context](int position, int count) {
        context.runOnGui([&] {
            if (view)
                view->OnDbfProgress(position, count);
            return 0;
        });
    };
}

void OnTaskDoneDbf(CCommonFormView& view, TaskMarquee& marquee, int result, int detail)
{
    EndTaskRun(view, marquee);
    ShowTaskResult(&view, result, detail, QStringLiteral("Нет данных для выполнения операции"));
}

// ------------------------------------------------ marking in the help

void CExchangeTaskView::TakeHelpValues(const QStringList& values)
{
    if (m_focusedId != IdPersonnelNumberField)
        return;
    MarkChosenEmployees(values);
    m_selectedOnly = 1;
    OnStartButton();
    m_selectedOnly = 0;
}

void CExchangeTaskView::MarkChosenEmployees(const QStringList& numbers)
{
    auto& base = Document()->infoBase;
    for (auto& entry : base.list) entry.setFlag(0, false);
    for (const QString& text : numbers) {
        int number = 0;
        if (!kalvor::ScanInt(text, number))
            continue;
        const int index = base.FindEmployee(number);
        if (index >= 0)
            base.list[std::size_t(index)].setFlag(0, true);
    }
}

// ------------------------------------------------------- the form

QGroupBox* CExchangeTaskView::BeginForm(const QString& title)
{
    auto* outer = new QVBoxLayout(this);
    m_form = new QGroupBox(title, this);
    m_formLayout = new QGridLayout(m_form);
    m_formLayout->setColumnStretch(2, 1);
    outer->addWidget(m_form);
    outer->addStretch(1);
    return m_form;
}

QLineEdit* CExchangeTaskView::AddField(int id, const QString& label, int width)
{
    const int row = m_formLayout->rowCount();
    auto* text = new QLabel(label, m_form);
    auto* field = new QLineEdit(m_form);
    field->setFixedWidth(width);
    text->setBuddy(field);
    m_formLayout->addWidget(text, row, 0);
    m_formLayout->addWidget(field, row, 1);
    SetControl(id, field);
    return field;
}

QPushButton* CExchangeTaskView::AddStartButton(const QString& caption, int id)
{
    auto* button = new QPushButton(caption, m_form);
    button->setAutoDefault(false);
    m_formLayout->addWidget(button, m_formLayout->rowCount(), 1);
    SetControl(id, button);
    if (id == IdStartButton)
        connect(button, &QPushButton::clicked, this, [this] { OnStartButton(); });
    return button;
}

void CExchangeTaskView::AddRow(QWidget* widget)
{
    widget->setParent(m_form);
    m_formLayout->addWidget(widget, m_formLayout->rowCount(), 0, 1, 3);
}

QWidget* CExchangeTaskView::AddProgressPlace()
{
    auto* place = new QWidget(m_form);
    place->setFixedHeight(kProgressPlaceHeight);
    m_formLayout->addWidget(place, m_formLayout->rowCount(), 0, 1, 3);
    SetControl(IdProgressPlace, place);
    return place;
}
