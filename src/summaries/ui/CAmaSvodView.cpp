#include "summaries/ui/CAmaSvodView.h"

#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TaskView.h"
#include "shell/ui/TypedInput.h"

#include <QApplication>

#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using kalvor::platform::TaskThread;

CAmaSvodView::CAmaSvodView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(FormId, doc, parent)
{
    auto* outer = new QVBoxLayout(this);
    auto* frame = new QGroupBox(QStringLiteral("Печать объединенного свода"), this);
    outer->addWidget(frame);
    outer->addStretch(1);
    auto* grid = new QGridLayout(frame);

    grid->addWidget(new QLabel(QStringLiteral("Список итоговых файлов"), frame), 0, 0, 1, 3);
    m_list = new QListWidget(frame);
    m_list->setMinimumSize(520, 220);
    SetControl(IdFileList, m_list);
    grid->addWidget(m_list, 1, 0, 4, 3);

    auto* add = new QPushButton(QStringLiteral("Добавить"), frame);
    auto* remove = new QPushButton(QStringLiteral("Удалить"), frame);
    auto* browse = new QPushButton(QStringLiteral("Обзор..."), frame);
    m_start = new QPushButton(QStringLiteral("Печать"), frame);
    for (auto* b : {add, remove, browse, m_start}) b->setAutoDefault(false);
    SetControl(IdAdd, add);
    SetControl(IdRemove, remove);
    SetControl(IdBrowse, browse);
    SetControl(IdStart, m_start);
    grid->addWidget(add, 1, 3);
    grid->addWidget(remove, 2, 3);
    grid->addWidget(browse, 3, 3);
    grid->addWidget(m_start, 5, 3);

    m_progress = new QProgressBar(frame);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    SetControl(IdProgress, m_progress);
    grid->addWidget(m_progress, 5, 0, 1, 3);
    m_outcome = new QLabel(frame);
    m_outcome->setObjectName(QStringLiteral("outcome"));
    m_outcome->setWordWrap(true);
    m_outcome->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_outcome->hide();
    SetControl(IdOutcome, m_outcome);
    grid->addWidget(m_outcome, 6, 0, 1, 4);

    // The in-place edit lies over the line being edited: a file's path.
    m_edit = new CTypedEdit({QStringLiteral("Файл"), kalvor::TextFigure(kPathLength)}, m_list->viewport());
    m_edit->hide();
    SetControl(IdEdit, m_edit);
    m_edit->installEventFilter(this);

    connect(add, &QPushButton::clicked, this, &CAmaSvodView::OnAdd);
    connect(remove, &QPushButton::clicked, this, &CAmaSvodView::OnRemove);
    connect(browse, &QPushButton::clicked, this, &CAmaSvodView::OnBrowse);
    connect(m_start, &QPushButton::clicked, this, [this] { StartMerge(); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        m_list->setCurrentItem(item);
        EditCurrentLine();
    });

    m_thread = new TaskThread(this);
    connect(m_thread, &TaskThread::done, this, &CAmaSvodView::OnMergeDone);
}

CAmaSvodView::~CAmaSvodView() { StopMergeWorker(); }

void CAmaSvodView::StopMergeWorker() { OnTaskViewDestroy(*m_thread); }

void CAmaSvodView::OnInitialUpdate() { m_progressRect = m_progress->geometry(); }

QStringList CAmaSvodView::ListLines() const
{
    QStringList lines;
    for (int i = 0; i < m_list->count(); ++i) lines << m_list->item(i)->text();
    return lines;
}

void CAmaSvodView::StartMerge()
{
    if (Editing())
        CommitEdit();
    m_fileNames.clear();
    for (const QString& line : ListLines())
        if (!line.isEmpty())
            m_fileNames.push_back(line);
}

bool CAmaSvodView::StartMergeWorker(TaskThread::Body body)
{
    if (!m_start->isEnabled() || m_thread->isRunning())
        return false;
    if (!m_thread->start(std::move(body)))
        return false;
    m_progress->setRange(0, 0); // runs until the worker ends
    m_outcome->clear();
    m_outcome->hide();
    m_start->setEnabled(false);
    return true;
}

void CAmaSvodView::OnMergeDone(int result, int detail, const QString& failure)
{
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_start->setEnabled(true);
    if (result != kalvor::platform::TASK_DONE) {
        ShowTaskFailure(failure, this);
        return;
    }
    m_outcome->setText(failure);
    m_outcome->setVisible(!failure.isEmpty());
    if (detail == kalvor::platform::kDocumentNotShown && !failure.isEmpty())
        KalvorMessageBox(failure, MB_OK | MB_ICONWARNING, QString::fromUtf8(kMessageCaption), this);
}

bool CAmaSvodView::Editing() const { return m_edit->isVisible() && m_editedItem; }

void CAmaSvodView::EditCurrentLine()
{
    QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    m_editedItem = item;
    m_edit->setGeometry(m_list->visualItemRect(item).adjusted(0, -2, 0, 2));
    m_edit->setText(item->text());
    m_edit->show();
    m_edit->setFocus();
    m_edit->selectAll();
}

void CAmaSvodView::CommitEdit()
{
    if (m_editedItem)
        m_editedItem->setText(m_edit->text().trimmed());
    m_editedItem = nullptr;
    m_edit->hide();
    m_list->setFocus();
}

void CAmaSvodView::CancelEdit()
{
    m_editedItem = nullptr;
    if (m_edit->isVisible()) {
        m_edit->hide();
        m_list->setFocus();
    }
}

void CAmaSvodView::OnAdd()
{
    if (Editing())
        CommitEdit();
    const int row = m_list->currentRow() + 1;
    m_list->insertItem(row, QString());
    m_list->setCurrentRow(row);
    EditCurrentLine();
}

void CAmaSvodView::OnRemove()
{
    CancelEdit();
    const int row = m_list->currentRow();
    if (row < 0)
        return;
    delete m_list->takeItem(row);
    if (m_list->count() > 0)
        m_list->setCurrentRow(std::min(row, m_list->count() - 1));
}

void CAmaSvodView::OnBrowse()
{
    const QString file = ChooseFile();
    if (file.isEmpty())
        return;
    if (!Editing()) {
        if (!m_list->currentItem() || !m_list->currentItem()->text().isEmpty()) {
            m_list->addItem(QString());
            m_list->setCurrentRow(m_list->count() - 1);
        }
        EditCurrentLine();
    }
    m_edit->setText(file);
    CommitEdit();
}

QString CAmaSvodView::ChooseFile()
{
    QString start = Editing() ? m_edit->text() : QString();
    if (start.isEmpty() && Document())
        start = Document()->infoBase.workFolder;
    return QFileDialog::getOpenFileName(this, QStringLiteral("Итоговый файл"), start,
                                        QStringLiteral("Итоговые файлы (*.fin);;Все файлы (*)"));
}

bool CAmaSvodView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == m_edit) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                CommitEdit();
                return true;
            }
            if (key->key() == Qt::Key_Escape) {
                CancelEdit();
                return true;
            }
        }
    }
    return CCommonFormView::eventFilter(watched, event);
}
