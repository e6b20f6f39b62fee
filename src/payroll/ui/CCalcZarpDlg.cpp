#include "payroll/ui/CCalcZarpDlg.h"

#include "platform/TaskThread.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TaskView.h"
#include "values/Messages.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

using kalvor::platform::TaskThread;

namespace {

// The end of a run as the screen says it: the employees the selection names
// (those dismissed before the month without bonuses are not computed), those
// computed and the errors.
QString OutcomeLine(int result, int listed, int computed, int selected, int errors)
{
    if (result == kalvor::platform::TASK_DONE)
        return QStringLiteral("Расчет выполнен. Работников: %1, рассчитано: %2, ошибок: %3")
            .arg(listed)
            .arg(computed)
            .arg(errors);
    if (result == kalvor::platform::TASK_STOPPED)
        return QStringLiteral("Расчет прерван. Работников: %1, рассчитано: %2 из %3, ошибок: %4")
            .arg(listed)
            .arg(computed)
            .arg(selected)
            .arg(errors);
    return QStringLiteral("Расчет не выполнен.");
}

} // namespace

CCalcZarpDlg::CCalcZarpDlg(CCommonFormView* view) : CFormChildDlg(384, view)
{
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* layout = new QHBoxLayout;
    rows->addLayout(layout);
    m_stop = new QPushButton(QStringLiteral("Стоп"), this);
    SetControl(IdStop, m_stop);
    layout->addWidget(m_stop);
    auto* box = new QGroupBox(QStringLiteral("Ошибок"), this);
    auto* boxLayout = new QVBoxLayout(box);
    m_errors = new QLabel(QStringLiteral("0"), box);
    SetControl(IdErrors, m_errors);
    boxLayout->addWidget(m_errors);
    layout->addWidget(box);
    m_progress = new QProgressBar(this);
    ClearProgress();
    m_progress->setMinimumWidth(260);
    SetControl(IdProgress, m_progress);
    layout->addWidget(m_progress, 1);
    m_outcome = new QLabel(this);
    m_outcome->setObjectName(QStringLiteral("outcome"));
    rows->addWidget(m_outcome);
    m_notes = new QPlainTextEdit(this);
    m_notes->setObjectName(QStringLiteral("notes"));
    m_notes->setReadOnly(true);
    m_notes->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_notes->hide();
    rows->addWidget(m_notes);

    m_thread = new TaskThread(this);
    connect(m_thread, &TaskThread::stage, this, [this](int, int) { OnCalcStage(); });
    connect(m_thread, &TaskThread::progress, this, &CCalcZarpDlg::OnCalcRange);
    connect(m_thread, &TaskThread::calcProgress, this, &CCalcZarpDlg::OnCalcProgress);
    connect(m_thread, &TaskThread::done, this, &CCalcZarpDlg::OnCalcDone);
    connect(m_stop, &QPushButton::clicked, this, &CCalcZarpDlg::OnCancel);
    // The last run's bar, line and notes were of the month that has passed.
    if (CKalvorDoc* doc = view ? view->Document() : nullptr)
        connect(doc, &CKalvorDoc::reportingMonthChanged, this, [this] {
            ClearProgress();
            ClearOutcome();
        });
}

void CCalcZarpDlg::ClearProgress()
{
    m_progress->setRange(0, 1); // still until a run starts (0, 0 would be the busy bar)
    m_progress->setValue(0);
    // The bar's text is the count of a run ("12 из 52"), empty without one.
    m_progress->setFormat(QString());
}

void CCalcZarpDlg::ClearOutcome()
{
    m_errors->setText(QStringLiteral("0"));
    m_outcome->clear();
    m_notes->clear();
    m_notes->hide();
}

CCalcZarpDlg::~CCalcZarpDlg()
{
    // The worker uses the document's tables: it ends before the screen goes.
    OnTaskViewDestroy(*m_thread);
}

bool CCalcZarpDlg::IsRunning() const { return m_thread->isRunning(); }

void CCalcZarpDlg::LoadRecord(quint32 slot)
{
    CFormChildDlg::LoadRecord(slot);
    kalvor::CalcThreadParams p;
    p.personnelNumber = -1;
    if (const CKalvorDoc* doc = View() ? View()->Document() : nullptr)
        for (const auto& e : doc->infoBase.list)
            if (e.slot == slot) {
                p.personnelNumber = e.tabN();
                break;
            }
    StartCalculation(p);
    m_listed = p.personnelNumber > 0 ? 1 : 0;
}

void CCalcZarpDlg::SetSelection(int shop, int brigade, int profession)
{
    CFormChildDlg::SetSelection(shop, brigade, profession);
    kalvor::CalcThreadParams p;
    p.shop = shop;
    p.brigade = brigade;
    p.profession = profession;
    // Counted before the worker starts, which then has the thread to itself.
    int listed = 0;
    if (const CKalvorDoc* doc = View() ? View()->Document() : nullptr)
        for (int i = 0; i < doc->infoBase.employeeCount(); ++i)
            listed += EmployeeMatchesFilter(i, shop, brigade, profession) != 0 ? 1 : 0;
    StartCalculation(p);
    m_listed = listed;
}

void CCalcZarpDlg::StartCalculation(const kalvor::CalcThreadParams& params)
{
    m_restarting = true;
    OnCancel();
    m_restarting = false;
    m_errors->setText(QStringLiteral("0"));
    m_computed = 0;
    m_selected = -1;
    m_progress->setRange(0, 0);
    m_progress->setValue(0);
    kalvor::CalcThreadParams p = params;
    p.document = View() ? View()->Document() : nullptr;
    m_report.clear();
    p.outcome = &m_report;
    if (!p.document)
        return;
    // The block is copied before startOn() returns: the worker owns its own
    // copy. The base's long-lived worker keeps its connection between runs.
    m_thread->startOn(p.document->infoBase.worker, p, &kalvor::CalculationThreadProc);
}

void CCalcZarpDlg::OnCancel()
{
    if (!m_thread->isRunning())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_thread->stopAndWait();
    QApplication::restoreOverrideCursor();
}

void CCalcZarpDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        OnCancel();
        return;
    }
    CFormChildDlg::keyPressEvent(event);
}

void CCalcZarpDlg::OnCalcStage()
{
    ShowTitle(QStringLiteral("Расчет зарплаты  [Этап 1 - Загрузка данных]"));
    // The line of the last run goes once this one has begun (the busy bar
    // shows no text meanwhile).
    ClearOutcome();
}

void CCalcZarpDlg::OnCalcRange(int position, int count)
{
    m_computed = position;
    m_selected = count;
    // The employees computed of those selected.
    m_progress->setRange(0, std::max(count, 1));
    m_progress->setValue(position);
    m_progress->setFormat(QStringLiteral("%1 из %2").arg(position).arg(count));
}

void CCalcZarpDlg::OnCalcProgress(int index, int errors)
{
    const CKalvorDoc* doc = View() ? View()->Document() : nullptr;
    if (doc && index >= 0 && index < doc->infoBase.employeeCount()) {
        const auto& e = doc->infoBase.list[std::size_t(index)];
        const QString name = doc->infoBase.holdsSlot(e.slot) ? doc->infoBase.shortNameOf(e.slot) : QString();
        ShowTitle(
            QStringLiteral("Расчет зарплаты  [Этап 2 - Расчет: %1 , Таб.N %2]").arg(name).arg(unsigned(e.tabN())));
    }
    m_errors->setText(QString::number(unsigned(errors)));
}

void CCalcZarpDlg::OnCalcDone(int result, int errors, const QString& failure)
{
    // The bar stays where the run ended (still when the selection was not
    // loaded), and the line says how it ended.
    if (m_selected < 0)
        ClearProgress();
    // Those computed are those whose calculation succeeded.
    m_outcome->setText(
        OutcomeLine(result, m_listed, std::max(m_computed - errors, 0), std::max(m_selected, 0), errors));
    // Whom the run skipped, warned about and could not compute, and why (the
    // notes are the worker's, so only once it has ended).
    const QStringList notes = m_thread->isRunning() ? QStringList() : m_report.lines();
    m_notes->setPlainText(notes.join(QLatin1Char('\n')));
    m_notes->setVisible(!notes.isEmpty());
    if (View()) {
        if (View()->m_strip)
            FocusFirstInput(View()->m_strip);
        ShowTitle(QStringLiteral("Расчет зарплаты"));
    }
    // A run that did not finish is not passed off as a finished one.
    if (!m_restarting) {
        if (result == kalvor::platform::TASK_STOPPED)
            KalvorMessageBox(QString::fromUtf8(kalvor::kMsgInterrupted), MB_OK | MB_ICONWARNING, QString(), this);
        else if (result == kalvor::platform::TASK_DONE && !failure.isEmpty())
            KalvorMessageBox(failure, MB_OK | MB_ICONWARNING, QString(), this); // computed, with a warning
        else if (result != kalvor::platform::TASK_DONE)
            KalvorMessageBox(failure.isEmpty() ? QStringLiteral("Расчет зарплаты не выполнен.")
                                               : QStringLiteral("Расчет зарплаты не выполнен.\n%1").arg(failure),
                             MB_OK | MB_ICONERROR, QString(), this);
    }
    emit calculationDone(result, errors);
}
