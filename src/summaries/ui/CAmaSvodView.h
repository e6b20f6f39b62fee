// Base of the views that merge the result files of several bases (form 410
// "Печать объединенного свода"): the list of result files with its add,
// remove, in-place edit and browse controls, the print button that starts the
// merge, the progress bar that runs while the merge worker works.
#pragma once

#include "platform/TaskThread.h"
#include "shell/ui/CCommonFormView.h"

#include <QString>

#include <vector>

class QLineEdit;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;

class CAmaSvodView : public CCommonFormView {
    Q_OBJECT
public:
    static constexpr int FormId = 410;
    // Control numbers of the form.
    enum Control : int {
        IdAdd = 1060, // "Добавить"
        IdRemove = 1061, // "Удалить"
        IdFileList = 1362, // "Список итоговых файлов"
        IdEdit = 1363, // in-place edit of a list line
        IdBrowse = 1364, // file dialog for the edited line
        IdStart = 1040, // "Печать"
        IdProgress = 1316, // progress bar
        IdOutcome = 1317, // the line that says how the last run ended
    };

    explicit CAmaSvodView(CKalvorDoc* doc, QWidget* parent = nullptr);
    // Stops a running worker and waits for it (OnTaskViewDestroy). A derived
    // view whose worker uses the view's own members calls StopMergeWorker()
    // first thing in its own destructor.
    ~CAmaSvodView() override;

    // Keeps the rectangle of the progress control.
    void OnInitialUpdate() override;

    // Button 1040. The base commits an edit in progress, then fills the file
    // name list with every non-empty line of the list box in list order. A
    // merge view's override calls it first, then starts its worker with
    // StartMergeWorker.
    virtual void StartMerge();

    const std::vector<QString>& FileNames() const { return m_fileNames; }
    QStringList ListLines() const;

    bool MergeRunning() const { return m_thread->isRunning(); }
    QRect ProgressRect() const { return m_progressRect; }

    // Begins editing the current line in place (double click, Add).
    void EditCurrentLine();
    // Enter in the edit: the text goes into the line.
    void CommitEdit();
    void CancelEdit();
    bool Editing() const;

protected:
    // When button 1040 is enabled: starts the worker, runs the progress bar
    // and disables the button until the worker ends. False when the button is
    // disabled or the worker cannot be started.
    bool StartMergeWorker(kalvor::platform::TaskThread::Body body);
    // The worker ended: the base stops the progress bar, enables button 1040,
    // puts a finished run's message (the files it wrote) into the outcome
    // line, a document the viewer could not show also in a box, and shows
    // the text of an exception that ended the worker. Overrides show the
    // outcome and call the base.
    virtual void OnMergeDone(int result, int detail, const QString& failure);
    void StopMergeWorker();

    // The file dialog of the browse button; an empty text when cancelled.
    virtual QString ChooseFile();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnAdd();
    void OnRemove();
    void OnBrowse();

    QListWidget* m_list = nullptr;
    QLineEdit* m_edit = nullptr;
    QPushButton* m_start = nullptr;
    QProgressBar* m_progress = nullptr;
    // The line under the progress bar that says how the last run ended (the
    // files it wrote and where); empty while a run goes.
    QLabel* m_outcome = nullptr;
    QListWidgetItem* m_editedItem = nullptr;
    QRect m_progressRect;
    std::vector<QString> m_fileNames;
    kalvor::platform::TaskThread* m_thread = nullptr;
};
