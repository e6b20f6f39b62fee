#include "masterdata/ui/CRefUrlicView.h"

#include "masterdata/RecipientBook.h"
#include "masterdata/ui/RefBooks.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/EntryViewBodies.h"
#include "shell/ui/FormSelection.h"
#include "shell/ui/KalvorMessageBox.h"
#include "values/CScan.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace kalvor::masterdata;

CRefUrlicView::CRefUrlicView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(FormId, doc, parent)
{
    setObjectName(QStringLiteral("CRefUrlicView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(25, 25, 25, 25);
    auto* row = new QHBoxLayout;
    const QString name = QStringLiteral("Код  получателя  перечислений");
    auto* label = new QLabel(name, this);
    label->setStyleSheet(QStringLiteral("color: rgb(100, 103, 250);"));
    m_number = new CTypedEdit({name, kalvor::WholeFigure(1, kRecipientCount)}, this);
    m_number->LeaveFreelyWhenRefused(); // the book's number chooses the record shown
    m_number->setFixedWidth(60);
    m_number->setAlignment(Qt::AlignRight);
    label->setBuddy(m_number);
    m_select = new QPushButton(QStringLiteral("Выбрать"), this);
    m_select->setAutoDefault(false);
    SetControl(IdNumber, m_number);
    SetControl(IdSelect, m_select);
    row->addWidget(label);
    row->addWidget(m_number);
    row->addWidget(m_select);
    row->addStretch(1);
    layout->addLayout(row);
    m_dlg = new CRefUrlicDlg(this);
    m_entryDlg = m_dlg.data();
    layout->addWidget(m_dlg, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addStretch(1);

    m_number->installEventFilter(this);
    m_select->installEventFilter(this);
    connect(m_select, &QPushButton::clicked, this, &CRefUrlicView::SelectRecipient);
    m_dlg->setEnabled(false);
}

CRefUrlicView::~CRefUrlicView()
{
    // The dialog saves the shown recipient and writes the file; it goes while
    // the view is whole.
    delete m_dlg.data();
}

void CRefUrlicView::OnInitialUpdate() { FocusNumberField(); }

void CRefUrlicView::FocusNumberField()
{
    m_number->setFocus();
    m_number->selectAll();
}

void CRefUrlicView::EnableEntry(bool enable)
{
    if (!m_dlg)
        return;
    m_dlg->setEnabled(enable);
    if (enable)
        m_dlg->FocusFirstField();
}

bool CRefUrlicView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_number) {
        if (event->type() == QEvent::FocusIn) {
            GreyEntryWhileStripHasFocus(m_number, [this] { EnableEntry(false); });
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                SelectRecipient();
                if (m_dlg && m_dlg->isEnabled())
                    m_select->setFocus();
                return true;
            }
        }
    } else if (watched == m_select && event->type() == QEvent::KeyPress) {
        // Esc on "Выбрать" goes back to the number.
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            FocusNumberField();
            return true;
        }
    }
    return CCommonFormView::eventFilter(watched, event);
}

void CRefUrlicView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        LeaveReferenceBook(this);
        return;
    }
    CCommonFormView::keyPressEvent(event);
}

void CRefUrlicView::SelectRecipient()
{
    if (!m_dlg || !m_number->Read() || !SaveBeforeSwitch(*this))
        return;
    const int number = int(m_number->UnitsOr(0));
    m_current = number;
    m_dlg->LoadRecord(quint32(number));
    EnableEntry(true);
}

void CRefUrlicView::StepRecipient(int step)
{
    const int next = m_current + step;
    if (!m_dlg || m_current == 0 || next < 1 || next > kRecipientCount)
        return;
    if (m_dlg->SaveRecord() == 0)
        return;
    m_current = next;
    m_number->setText(QString::number(next));
    m_dlg->LoadRecord(quint32(next));
}

void CRefUrlicView::NextElement() { StepRecipient(1); }

void CRefUrlicView::PrevElement() { StepRecipient(-1); }

void CRefUrlicView::ShowFormHelp()
{
    if (m_focusedId == IdNumber) {
        ShowHelpList(RecipientHelpLines(Document()->refFiles.recipients()), {3, false, 400, 200});
        return;
    }
    if (m_focusedId == CRefUrlicDlg::kFieldIds[1]) {
        ShowFieldHint(QStringLiteral("Укажите название юридического лица.\nЭто м.б. центральный районный сбербанк, "
                                     "ДЭЗ, магазин, налоговая инспекция, отделение госстраха и т.п. Номер этого "
                                     "сбербанка, госстраха(и т.д.)вы должны внести в следующее поле меню"),
                      3, 310);
        return;
    }
    ShowFieldHint(QStringLiteral("Введите данные в соответствии с назначением этого поля."), 3, 310);
}
