#include "shell/ui/CTaskFormView.h"

#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/FormSelection.h"
#include "shell/ui/KalvorMessageBox.h"
#include "values/CScan.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using kalvor::platform::TaskThread;
using kalvor::platform::TaskThreadParams;

namespace {

constexpr int kProgressPlaceHeight = 18;

} // namespace

CTaskFormView::CTaskFormView(int formId, CKalvorDoc* doc, QWidget* parent) : CCommonFormView(formId, doc, parent)
{
    m_worker = new TaskThread(this);
    connect(m_worker, &TaskThread::done, this, &CTaskFormView::OnWorkerDone);
    connect(m_worker, &TaskThread::progress, this, &CTaskFormView::OnWorkerProgress);
}

CTaskFormView::~CTaskFormView() { StopWorker(); }

void CTaskFormView::StopWorker() { OnTaskViewDestroy(*m_worker); }

void CTaskFormView::OnInitialUpdate()
{
    TaskViewOnInitialUpdate(*this, m_marquee);
    OnTaskViewCtlColor(*this);
    if (auto* period = controlAs<QLabel>(IdComputedPeriod); period && m_periodText)
        period->setText(m_periodText());
}

void CTaskFormView::ShowFormHelp() { TaskViewShowFormHelp(*this); }

// ------------------------------------------------------------- commands

bool CTaskFormView::OnCommand(int id)
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

void CTaskFormView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: OnCommand(IDOK); return;
    case Qt::Key_Escape: OnCommand(IDCANCEL); return;
    default: CCommonFormView::keyPressEvent(event);
    }
}

// ---------------------------------------------------------------- start

void CTaskFormView::OnStartButton()
{
    if (!CanStart() || !ReadForm())
        return;
    StartTask();
}

bool CTaskFormView::ReadForm() { return ReadTypedInputs(this) && ReadFormValues(); }

bool CTaskFormView::CanStart() const
{
    const QWidget* start = control(IdStartButton);
    return !(start && !start->isEnabled()) && !m_worker->isRunning();
}

void CTaskFormView::StartTask()
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
    ShowOutcome(QString());
}

bool CTaskFormView::ReadFormValues()
{
    std::array<int, 3> selection{};
    ReadFormSelection(*this, selection);
    m_values.shop = selection[0];
    m_values.brigade = selection[1];
    m_values.profession = selection[2];
    m_values.personnelNumber = TypedValue(*this, IdPersonnelNumberField);
    return true;
}

bool CTaskFormView::LaunchWorker(TaskThread::Body body) { return m_worker->start(std::move(body)); }

TaskThreadParams CTaskFormView::StripParams() const
{
    TaskThreadParams params = m_values;
    params.markedOnly = m_selectedOnly;
    return params;
}

void CTaskFormView::SetStartButtonsEnabled(bool enabled)
{
    for (int id : {int(IdStartButton), int(IdSecondStartButton)})
        if (QWidget* button = control(id))
            button->setEnabled(enabled);
}

// ------------------------------------------------------ end of a run

void CTaskFormView::OnWorkerDone(int result, int detail, const QString& failure)
{
    OnTaskDone(*this, m_marquee, result, detail);
    if (result == kalvor::platform::TASK_DONE)
        ShowRunMessage(detail, failure);
    else
        ShowTaskFailure(failure, this);
}

void CTaskFormView::ShowRunMessage(int detail, const QString& message)
{
    ShowOutcome(message);
    if (detail == kalvor::platform::kDocumentNotShown && !message.isEmpty())
        KalvorMessageBox(message, MB_OK | MB_ICONWARNING, QString::fromUtf8(kMessageCaption), this);
}

void CTaskFormView::ShowOutcome(const QString& text)
{
    if (m_outcome) {
        m_outcome->setText(text);
        m_outcome->setVisible(!text.isEmpty());
    }
}

void CTaskFormView::OnWorkerProgress(int /*position*/, int /*count*/) {}

// ------------------------------------------------ marking in the help

void CTaskFormView::TakeHelpValues(const QStringList& values)
{
    if (m_focusedId != IdPersonnelNumberField)
        return;
    MarkChosenEmployees(values);
    m_selectedOnly = 1;
    OnStartButton();
    m_selectedOnly = 0;
}

void CTaskFormView::MarkChosenEmployees(const QStringList& numbers)
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

QGroupBox* CTaskFormView::BeginForm(const QString& title)
{
    auto* outer = new QVBoxLayout(this);
    m_form = new QGroupBox(title, this);
    m_formLayout = new QGridLayout(m_form);
    m_formLayout->setColumnStretch(2, 1);
    outer->addWidget(m_form);
    outer->addStretch(1);
    return m_form;
}

CTypedEdit* CTaskFormView::AddField(int id, const QString& label, InputKind kind, int width)
{
    const int row = m_formLayout->rowCount();
    auto* text = new QLabel(label, m_form);
    // A long label wraps rather than pushing the field and the start
    // button out of the view at 1024x768.
    text->setWordWrap(true);
    // The refusals name the field as its label shows it.
    kind.name = label.trimmed();
    auto* field = new CTypedEdit(std::move(kind), m_form);
    field->setFixedWidth(width);
    text->setBuddy(field);
    m_formLayout->addWidget(text, row, 0);
    m_formLayout->addWidget(field, row, 1);
    SetControl(id, field);
    return field;
}

CTypedEdit* CTaskFormView::AddTextField(int id, const QString& label, int length, int width)
{
    return AddField(id, label, {label, kalvor::TextFigure(length)}, width);
}

CTypedEdit* CTaskFormView::AddSelectionField(int id, const QString& label)
{
    return AddField(id, label, SelectionKind(id, SelectionFieldName(id), Document()));
}

QCheckBox* CTaskFormView::AddCheckBox(int id, const QString& label)
{
    const int row = m_formLayout->rowCount();
    auto* text = new QLabel(label, m_form);
    text->setWordWrap(true); // as a field's label
    auto* box = new QCheckBox(m_form);
    text->setBuddy(box);
    m_formLayout->addWidget(text, row, 0);
    m_formLayout->addWidget(box, row, 1);
    SetControl(id, box);
    return box;
}

QPushButton* CTaskFormView::AddStartButton(const QString& caption, int id)
{
    auto* button = new QPushButton(caption, m_form);
    button->setAutoDefault(false);
    m_formLayout->addWidget(button, m_formLayout->rowCount(), 1);
    SetControl(id, button);
    if (id == IdStartButton)
        connect(button, &QPushButton::clicked, this, [this] { OnStartButton(); });
    return button;
}

void CTaskFormView::AddRow(QWidget* widget)
{
    widget->setParent(m_form);
    m_formLayout->addWidget(widget, m_formLayout->rowCount(), 0, 1, 3);
}

void CTaskFormView::AddPeriodLine(std::function<QString()> text)
{
    m_periodText = std::move(text);
    auto* line = new QLabel(m_periodText(), this);
    line->setWordWrap(true);
    SetControl(IdComputedPeriod, line);
    AddRow(line);
}

QWidget* CTaskFormView::AddProgressPlace()
{
    auto* place = new QWidget(m_form);
    place->setFixedHeight(kProgressPlaceHeight);
    m_formLayout->addWidget(place, m_formLayout->rowCount(), 0, 1, 3);
    SetControl(IdProgressPlace, place);
    // How the last run ended, under the place of its progress.
    m_outcome = new QLabel(m_form);
    m_outcome->setObjectName(QStringLiteral("outcome"));
    m_outcome->setWordWrap(true);
    m_outcome->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_outcome->hide();
    m_formLayout->addWidget(m_outcome, m_formLayout->rowCount(), 0, 1, 3);
    return place;
}
