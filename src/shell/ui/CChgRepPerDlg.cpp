#include "shell/ui/CChgRepPerDlg.h"

#include "platform/TaskThread.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TaskView.h"
#include "values/Values.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using kalvor::platform::TaskContext;
using kalvor::platform::TaskOutcome;
using kalvor::platform::TaskThread;

CChgRepPerDlg::CChgRepPerDlg(int newMonthKey, CKalvorDoc* doc, MonthMover mover, QWidget* parent)
    : QDialog(parent), m_newMonthKey(newMonthKey), m_doc(doc), m_mover(std::move(mover))
{
    setWindowTitle(QStringLiteral("Переход на следующий месяц"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    const kalvor::MonthKey key = kalvor::MonthKey::of(newMonthKey);
    m_label = new QLabel(QStringLiteral("%1 %2 года").arg(kalvor::MonthName(key.month())).arg(key.year()), this);
    layout->addWidget(m_label);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, doc ? std::max(1, doc->infoBase.employeeCount()) : 1);
    m_progress->setValue(0);
    m_progress->setMinimumWidth(320);
    layout->addWidget(m_progress);
    m_stop = new QPushButton(QStringLiteral("Остановить"), this);
    m_stop->setAutoDefault(false);
    layout->addWidget(m_stop, 0, Qt::AlignRight);
    connect(m_stop, &QPushButton::clicked, this, &CChgRepPerDlg::reject);
    m_thread = new TaskThread(this);
    connect(m_thread, &TaskThread::progress, this,
            [this](int position, int) { m_progress->setValue(std::min(position, m_progress->maximum())); });
    connect(m_thread, &TaskThread::done, this, &CChgRepPerDlg::OnDone);
    m_timer = new QTimer(this);
    m_timer->setInterval(50);
    connect(m_timer, &QTimer::timeout, this, &CChgRepPerDlg::OnTimer);
    m_timer->start();
}

CChgRepPerDlg::~CChgRepPerDlg() { OnTaskViewDestroy(*m_thread); }

int CChgRepPerDlg::DoModal()
{
    const int result = exec();
    if (*m_error) {
        const std::exception_ptr error = *m_error;
        *m_error = nullptr;
        std::rethrow_exception(error);
    }
    return result;
}

void CChgRepPerDlg::OnTimer()
{
    if (m_started)
        return;
    m_started = true;
    m_timer->stop();
    const MonthMover mover = m_mover;
    bool started = false;
    if (mover && m_doc) {
        const int key = m_newMonthKey;
        kalvor::infobase::KalvorDocData* doc = m_doc;
        std::shared_ptr<std::exception_ptr> error = m_error;
        started = m_thread->start([mover, key, doc, error](TaskContext& ctx) -> TaskOutcome {
            int steps = 0;
            try {
                const int result = mover(
                    key, [&] { ctx.progress(++steps); }, *doc);
                return TaskOutcome(result < 0 ? result : 0);
            } catch (...) {
                // Kept for the caller, who sees it as the move's own failure.
                *error = std::current_exception();
                return TaskOutcome(kalvor::platform::TASK_FAILED);
            }
        });
    }
    if (!started)
        done(1);
}

void CChgRepPerDlg::OnDone(int result, int /*detail*/, const QString& /*failure*/) { done(result < 0 ? result : 0); }

QString CChgRepPerDlg::StopQuestion()
{
    return QStringLiteral("Остановить переход на следующий месяц?\nОтчетный месяц останется прежним.");
}

void CChgRepPerDlg::reject()
{
    if (!m_started || m_stopAsked || !m_thread->isRunning())
        return;
    m_stopAsked = true; // one question at a time
    const bool stop =
        KalvorMessageBox(StopQuestion(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, QString(), this) == IDYES;
    m_stopAnswered = m_stopAnswered || stop;
    // The move may have ended while the question was shown.
    if (!stop || !m_thread->isRunning()) {
        m_stopAsked = false;
        return;
    }
    m_label->setText(m_label->text() + QStringLiteral("\nОстановка..."));
    m_stop->setEnabled(false);
    m_thread->requestStop();
}
