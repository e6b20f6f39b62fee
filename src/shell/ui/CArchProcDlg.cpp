#include "shell/ui/CArchProcDlg.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "platform/TaskThread.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/TaskView.h"
#include "values/Messages.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

using kalvor::platform::TaskContext;
using kalvor::platform::TaskOutcome;
using kalvor::platform::TaskThread;

CArchProcDlg::CArchProcDlg(CKalvorDoc* doc, QWidget* parent) : CArchProcDlg(ArchiveJobOfDocument(*doc), parent)
{
    m_doc = doc;
}

CArchProcDlg::CArchProcDlg(const ArchiveJob& job, QWidget* parent) : QDialog(parent), m_job(job) { Build(); }

CArchProcDlg::~CArchProcDlg() { OnTaskViewDestroy(*m_thread); }

void CArchProcDlg::Build()
{
    setWindowTitle(QStringLiteral("Копия данных"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    m_label = new QLabel(QStringLiteral("Копирование данных за прошедший месяц..."), this);
    layout->addWidget(m_label);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 0); // runs until the copy ends
    m_progress->setTextVisible(false);
    m_progress->setMinimumWidth(320);
    layout->addWidget(m_progress);
    m_stop = new QPushButton(QStringLiteral("Остановить"), this);
    m_stop->setAutoDefault(false);
    layout->addWidget(m_stop, 0, Qt::AlignRight);
    connect(m_stop, &QPushButton::clicked, this, &CArchProcDlg::reject);
    m_thread = new TaskThread(this);
    connect(m_thread, &TaskThread::done, this, &CArchProcDlg::OnDone);
    m_timer = new QTimer(this);
    m_timer->setInterval(50);
    connect(m_timer, &QTimer::timeout, this, &CArchProcDlg::OnTimer);
    m_timer->start();
}

void CArchProcDlg::OnTimer()
{
    if (m_started)
        return;
    m_started = true;
    m_timer->stop();
    auto error = m_workerError;
    const ArchiveJob job = m_job;
    kalvor::infobase::CInfoBase* configOf = m_doc ? &m_doc->infoBase : nullptr;
    const bool started = m_thread->start([job, error, configOf](TaskContext&) -> TaskOutcome {
        if (configOf) {
            try {
                kalvor::infobase::SaveConfig(*configOf);
            } catch (const kalvor::db::DbError& e) {
                // A refusal in its few lines (the engine's message alone would
                // be the driver's words).
                *error = kalvor::db::IsRefusal(e)
                             ? kalvor::RefusalText(e, QStringLiteral("Настройки базы данных не сохранены."))
                             : e.message();
                return TaskOutcome(-1, 0);
            }
        }
        return TaskOutcome(MakeBaseArchive(job, error.get()) == 0 ? 0 : -1, 0);
    });
    if (!started) {
        m_error = QStringLiteral("Прочая ошибка");
        done(-1);
        return;
    }
}

void CArchProcDlg::OnDone(int result, int /*detail*/, const QString& failure)
{
    // The worker has ended: its text can be read.
    m_error = failure.isEmpty() ? *m_workerError : failure;
    if (m_stopAsked && result < 0)
        m_error = StoppedText();
    done(result < 0 || !failure.isEmpty() ? -1 : 0);
}

QString CArchProcDlg::StoppedText() { return QStringLiteral("Копирование остановлено"); }

void CArchProcDlg::reject()
{
    if (m_stopAsked)
        return;
    m_stopAsked = true;
    if (!m_started) {
        // Not begun yet: it never does.
        m_started = true;
        m_timer->stop();
        m_error = StoppedText();
        done(-1);
        return;
    }
    if (!m_thread->isRunning())
        return;
    m_label->setText(QStringLiteral("Остановка копирования..."));
    m_stop->setEnabled(false);
    m_thread->requestStop();
}
