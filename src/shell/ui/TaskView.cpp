#include "shell/ui/TaskView.h"

#include "platform/TaskThread.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/FormSelection.h"
#include "shell/ui/KalvorMessageBox.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

namespace {

constexpr int kHintCorner = 3; // right of the field
constexpr int kHintWidth = 300;

const QColor kEditBackground(245, 235, 235);
const QColor kLabelText(170, 80, 80);

void EnableIfPresent(CCommonFormView& view, int id)
{
    if (QWidget* button = view.control(id))
        button->setEnabled(true);
}

} // namespace

// ------------------------------------------------------------ the marquee

void TaskMarquee::SetPlace(QWidget* place)
{
    m_place = place;
    if (place && !place->layout()) {
        auto* layout = new QVBoxLayout(place);
        layout->setContentsMargins(0, 0, 0, 0);
    }
}

void TaskMarquee::Start()
{
    if (!m_place || m_bar)
        return;
    auto* bar = new QProgressBar(m_place);
    bar->setObjectName(QStringLiteral("taskMarquee"));
    bar->setRange(0, 0); // a marquee: runs without a position
    bar->setTextVisible(false);
    m_place->layout()->addWidget(bar);
    bar->show();
    m_bar = bar;
}

void TaskMarquee::Stop() { delete m_bar.data(); }

// ------------------------------------------------------ first update, help

void TaskViewOnInitialUpdate(CCommonFormView& view, TaskMarquee& marquee)
{
    marquee.SetPlace(view.control(IdProgressPlace));
}

QString BrigadeFieldHint()
{
    return QStringLiteral("Укажите номер бригады\nЭто должно быть число в пределах от 1 до 99");
}

QString FilePathFieldHint()
{
    return QStringLiteral("Укажите путь к файлу в формате\nдиск:\\директория\\...\\\n"
                          "По умолчанию файл будет записан\nв текущую директорию с программой");
}

QString AnyIntegerFieldHint() { return QStringLiteral("Введите любое целое число\nв соответствии с назначением поля"); }

void TaskViewShowFormHelp(CCommonFormView& view)
{
    switch (view.m_focusedId) {
    case IdPersonnelNumberField: {
        std::array<int, 3> selection{};
        if (!ReadSelectionKeys(view, selection))
            break;
        view.PickEmployee(3, selection[0], selection[1], selection[2]);
        break;
    }
    case IdFileNameField: view.ShowFieldHint(FilePathFieldHint(), kHintCorner, kHintWidth); break;
    case IdShopField: view.PickShop(); break;
    case IdBrigadeField: view.ShowFieldHint(BrigadeFieldHint(), kHintCorner, kHintWidth); break;
    case IdProfessionField: view.PickProfession(); break;
    default: break;
    }
}

void PickAllEmployees(CCommonFormView& view) { view.PickEmployee(0, 0, 0, 0); }

// ---------------------------------------------------------- end of a run

void EndTaskRun(CCommonFormView& view, TaskMarquee& marquee)
{
    marquee.Stop();
    EnableIfPresent(view, IdStartButton);
    EnableIfPresent(view, IdSecondStartButton);
}

void ShowTaskResult(QWidget* owner, int result, int detail, const QString& noDataText)
{
    using namespace kalvor::platform;
    const QString caption = QString::fromUtf8(kMessageCaption);
    switch (result) {
    case TASK_BAD_CONDITION:
        KalvorMessageBox(QStringLiteral("Некорректное условие поиска"), MB_OK | MB_ICONINFORMATION, caption, owner);
        break;
    case TASK_NO_DATA: KalvorMessageBox(noDataText, MB_OK | MB_ICONINFORMATION, caption, owner); break;
    case TASK_FILE_ERROR: KalvorMessageBox(FileErrorKindText(detail), MB_OK | MB_ICONERROR, caption, owner); break;
    default: // done, failure already shown, stopped
        break;
    }
}

void OnTaskDone(CCommonFormView& view, TaskMarquee& marquee, int result, int detail)
{
    EndTaskRun(view, marquee);
    ShowTaskResult(&view, result, detail, QStringLiteral("Нет данных для печати"));
}

void OnCopyBaseWorkerDone(CCommonFormView& view, TaskMarquee& marquee, int result, int detail,
                          const QString& message)
{
    using namespace kalvor::platform;
    EndTaskRun(view, marquee);
    const QString caption = QString::fromUtf8(kMessageCaption);
    switch (result) {
    case TASK_NO_DATA:
        KalvorMessageBox(QStringLiteral("Нет работников для заданных параметров"), MB_OK | MB_ICONINFORMATION,
                         caption, &view);
        break;
    case TASK_FILE_ERROR: KalvorMessageBox(FileErrorKindText(detail), MB_OK | MB_ICONERROR, caption, &view); break;
    case TASK_BAD_CONDITION:
        if (!message.isEmpty())
            KalvorMessageBox(message, MB_OK | MB_ICONINFORMATION, caption, &view);
        break;
    default: break;
    }
}

// ------------------------------------------------------------- colours

void OnTaskViewCtlColor(QWidget& view)
{
    for (QLineEdit* edit : view.findChildren<QLineEdit*>()) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, kEditBackground);
        edit->setPalette(palette);
    }
    for (QLabel* label : view.findChildren<QLabel*>()) {
        if (label->isWindow())
            continue; // the hint window keeps its own look
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, kLabelText);
        label->setPalette(palette);
    }
}

// ------------------------------------------------------- end of the view

void OnTaskViewDestroy(kalvor::platform::TaskThread& thread)
{
    if (!thread.isRunning()) {
        thread.shutdown();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    thread.shutdown();
    QApplication::restoreOverrideCursor();
}

void ShowTaskFailure(const QString& failure, QWidget* owner)
{
    if (failure.isEmpty())
        return;
    KalvorMessageBox(failure, MB_OK | MB_ICONERROR, QString::fromUtf8(kMessageCaption), owner);
}

namespace {

// How often the wait window shows the work's latest report.
constexpr int kWaitReportMilliseconds = 50;

struct WaitReport {
    QString line;
    int position = 0;
    int count = 0;
};

// The latest report of a worker, handed to the interface thread.
class LatestReport {
public:
    void put(WaitReport report)
    {
        const std::lock_guard lock(mutex_);
        report_ = std::move(report);
    }
    // The report made since the last take, if any.
    std::optional<WaitReport> take()
    {
        const std::lock_guard lock(mutex_);
        return std::exchange(report_, std::nullopt);
    }

private:
    std::mutex mutex_;
    std::optional<WaitReport> report_;
};

// The wait window of RunWithWaitWindow: Esc and the close button ask the
// work to stop when it may be stopped, and do nothing otherwise.
class WaitWindow : public QDialog {
public:
    WaitWindow(const QString& text, QWidget* owner, std::function<void()> stop) : QDialog(owner), stop_(std::move(stop))
    {
        setWindowTitle(QString::fromUtf8(kMessageCaption));
        setModal(true);
        auto* layout = new QVBoxLayout(this);
        label_ = new QLabel(text, this);
        layout->addWidget(label_);
        line_ = new QLabel(this);
        line_->hide();
        layout->addWidget(line_);
        bar_ = new QProgressBar(this);
        bar_->setRange(0, 0); // busy until the work says how far it is
        bar_->setTextVisible(false);
        bar_->setMinimumWidth(320);
        layout->addWidget(bar_);
    }
    void reject() override
    {
        if (!stop_)
            return;
        label_->setText(label_->text() + QStringLiteral("\nОстановка..."));
        std::exchange(stop_, nullptr)();
    }
    // How far the work is: a line under the text, the bar at position of
    // count (busy when the count is 0); nothing when no report is new.
    void showReport(const std::optional<WaitReport>& report)
    {
        if (!report)
            return;
        line_->setText(report->line);
        line_->show();
        bar_->setRange(0, report->count);
        bar_->setValue(report->position);
    }

private:
    std::function<void()> stop_;
    QLabel* label_ = nullptr;
    QLabel* line_ = nullptr;
    QProgressBar* bar_ = nullptr;
};

} // namespace

bool RunWithWaitWindow(const QString& text, const std::function<bool(const WaitProgress&)>& work, QWidget* owner,
                       WaitWindowStop stop)
{
    kalvor::platform::TaskThread thread;
    WaitWindow window(text, owner,
                      stop == WaitWindowStop::AskedByEscape ? std::function<void()>([&thread] { thread.requestStop(); })
                                                            : std::function<void()>());
    auto succeeded = std::make_shared<std::atomic<bool>>(false);
    // The work's latest report: each one replaces the one before, and the
    // window shows the latest as its timer comes round and once more as the
    // work ends, so that the one that stays latest is never lost.
    auto latest = std::make_shared<LatestReport>();
    QTimer pace;
    pace.setInterval(kWaitReportMilliseconds);
    QObject::connect(&pace, &QTimer::timeout, &window, [&window, latest] { window.showReport(latest->take()); });
    QObject::connect(&thread, &kalvor::platform::TaskThread::done, &window, [&window, latest](int, int, const QString&) {
        window.showReport(latest->take());
        window.done(QDialog::Accepted);
    });
    const bool started = thread.start([work, succeeded, latest](kalvor::platform::TaskContext&) {
        *succeeded = work([latest](const QString& line, int position, int count) { latest->put({line, position, count}); });
        return kalvor::platform::TaskOutcome(0, 0);
    });
    if (!started)
        return false;
    pace.start();
    window.exec();
    thread.shutdown();
    return *succeeded;
}
