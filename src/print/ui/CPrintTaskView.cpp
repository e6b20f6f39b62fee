#include "print/ui/CPrintTaskView.h"

#include "payroll/CalcErrors.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
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
constexpr int kHintCorner = 3; // right of the field
constexpr int kHintWidth = 300;

int ReadIntField(const QLineEdit* field)
{
    int value = 0;
    return field && kalvor::ScanInt(field->text(), value) ? value : 0;
}

} // namespace

CPrintTaskView::CPrintTaskView(int formId, CKalvorDoc* doc, QWidget* parent) : CCommonFormView(formId, doc, parent)
{
    m_worker = new TaskThread(this);
    connect(m_worker, &TaskThread::done, this, &CPrintTaskView::OnWorkerDone);
}

CPrintTaskView::~CPrintTaskView() { StopWork(); }

void CPrintTaskView::StopWork() { OnTaskViewDestroy(*m_worker); }

void CPrintTaskView::OnInitialUpdate()
{
    TaskViewOnInitialUpdate(*this, m_marquee);
    OnTaskViewCtlColor(*this);
}

void CPrintTaskView::ShowFormHelp()
{
    if (m_focusedId == IdBrigadeField) {
        ShowFieldHint(QStringLiteral("Укажите номер бригады.\nЭто должно быть число в пределах от 1 до 99."),
                      kHintCorner, kHintWidth);
        return;
    }
    TaskViewShowFormHelp(*this);
}

// ------------------------------------------------------------- commands

bool CPrintTaskView::OnCommand(int id)
{
    switch (id) {
    case IDOK:
        if (QWidget* start = control(IdStartButton))
            start->setFocus();
        OnStartButton();
        return true;
    case IDCANCEL: {
        auto* frame = qobject_cast<CMainFrame*>(window());
        if (!frame)
            return true;
        StopWork();
        const int panel = LeavePanel();
        frame->SwitchView<CEmptyView>();
        if (panel >= 0)
            frame->ShowWorkPanel(panel);
        return true;
    }
    default: return false;
    }
}

void CPrintTaskView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: OnCommand(IDOK); return;
    case Qt::Key_Escape: OnCommand(IDCANCEL); return;
    default: CCommonFormView::keyPressEvent(event);
    }
}

// ---------------------------------------------------------------- start

void CPrintTaskView::OnStartButton()
{
    QWidget* start = control(IdStartButton);
    if ((start && !start->isEnabled()) || m_worker->isRunning())
        return;
    ReadFormValues();
    if (!m_worker->start(MakeTaskBody())) {
        // No thread: nothing would ever end the run, so the view stays idle.
        KalvorMessageBox(QStringLiteral("Ошибка при создании потока"), MB_OK | MB_ICONERROR,
                         QString::fromUtf8(kMessageCaption), this);
        return;
    }
    m_marquee.Start();
    if (start)
        start->setEnabled(false);
}

void CPrintTaskView::ReadFormValues()
{
    std::array<int, 3> selection{};
    ReadSelectionFields(*this, selection);
    m_values.shop = selection[0];
    m_values.brigade = selection[1];
    m_values.profession = selection[2];
    m_values.personnelNumber = ReadIntField(controlAs<QLineEdit>(IdPersonnelNumberField));
    // The personnel number is the document's selection key for the next screens.
    Document()->PrintPersonnelKey = quint32(m_values.personnelNumber);
}

TaskThreadParams CPrintTaskView::StripParams() const
{
    TaskThreadParams params = m_values;
    params.markedOnly = m_selectedOnly;
    return params;
}

// ------------------------------------------------------ end of a run

void CPrintTaskView::OnWorkerDone(int result, int detail, const QString& message)
{
    OnPrintTaskDone(*this, m_marquee, result, detail, message);
}

void OnPrintTaskDone(CCommonFormView& view, TaskMarquee& marquee, int result, int detail, const QString& message)
{
    using namespace kalvor::platform;
    EndTaskRun(view, marquee);
    if (result == TASK_BAD_CONDITION && detail < 0) {
        QString text = kalvor::CalcErrorText(detail);
        if (!message.isEmpty())
            text += QLatin1Char('\n') + message;
        KalvorMessageBox(text, MB_OK | MB_ICONERROR, QString::fromUtf8(kMessageCaption), &view);
        return;
    }
    if (result == TASK_FAILED) {
        ShowTaskFailure(message, &view);
        return;
    }
    ShowTaskResult(&view, result, detail, QStringLiteral("Нет данных для печати"));
}

// ------------------------------------------------ marking in the help

void CPrintTaskView::TakeHelpValues(const QStringList& values)
{
    if (m_focusedId != IdPersonnelNumberField)
        return;
    MarkChosenEmployees(values);
    StartMarkedRun();
}

void CPrintTaskView::StartMarkedRun()
{
    m_selectedOnly = 1;
    OnStartButton();
    m_selectedOnly = 0;
}

void CPrintTaskView::MarkChosenEmployees(const QStringList& numbers)
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

void CPrintTaskView::BeginForm(const QString& caption)
{
    auto* outer = new QVBoxLayout(this);
    m_form = new QGroupBox(caption, this);
    SetControl(kFormGroupBox, m_form);
    m_formLayout = new QGridLayout(m_form);
    m_formLayout->setColumnStretch(2, 1);
    outer->addWidget(m_form);
    outer->addStretch(1);
}

QLineEdit* CPrintTaskView::AddField(int id, const QString& label, int width)
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

QCheckBox* CPrintTaskView::AddCheckBox(int id, const QString& label)
{
    const int row = m_formLayout->rowCount();
    auto* text = new QLabel(label, m_form);
    auto* box = new QCheckBox(m_form);
    text->setBuddy(box);
    m_formLayout->addWidget(text, row, 0);
    m_formLayout->addWidget(box, row, 1);
    SetControl(id, box);
    return box;
}

void CPrintTaskView::AddSelectionFields()
{
    AddField(IdShopField, QStringLiteral("Номер цеха  (по умолчанию  вся организация)"));
    AddField(IdBrigadeField, QStringLiteral("Номер бригады  (по умолчанию  все бригады)"));
    AddField(IdProfessionField, QStringLiteral("Код профессии  (по умолчанию  все профессии)"));
    AddField(IdPersonnelNumberField, QStringLiteral("Табельный номер  (по умолчанию  все работники)"));
}

void CPrintTaskView::EndForm()
{
    auto* button = new QPushButton(QStringLiteral("Печать"), m_form);
    button->setAutoDefault(false);
    m_formLayout->addWidget(button, m_formLayout->rowCount(), 1);
    SetControl(IdStartButton, button);
    connect(button, &QPushButton::clicked, this, [this] { OnStartButton(); });
    auto* place = new QWidget(m_form);
    place->setFixedHeight(kProgressPlaceHeight);
    m_formLayout->addWidget(place, m_formLayout->rowCount(), 0, 1, 3);
    SetControl(IdProgressPlace, place);
}
