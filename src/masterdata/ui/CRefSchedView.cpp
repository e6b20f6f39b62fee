#include "masterdata/ui/CRefSchedView.h"

#include "masterdata/ScheduleBook.h"
#include "masterdata/ui/CRefSchedDlg.h"
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

#include <algorithm>

using namespace kalvor::masterdata;

CRefSchedView::CRefSchedView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(FormId, doc, parent)
{
    setObjectName(QStringLiteral("CRefSchedView"));
    auto* layout = new QVBoxLayout(this);
    // The week's seven columns fit beside the frame's panel at 1024x768.
    layout->setContentsMargins(10, 25, 10, 25);
    m_dlg = new CRefSchedDlg(this, doc);
    m_entryDlg = m_dlg.data();
    layout->addWidget(m_dlg, 0, Qt::AlignLeft | Qt::AlignTop);

    auto* row = new QHBoxLayout;
    const QString name = QStringLiteral("График");
    auto* label = new QLabel(name, this);
    m_number = new CTypedEdit({name, kalvor::WholeFigure(kFirstScheduleNumber, kLastScheduleNumber)}, this);
    m_number->LeaveFreelyWhenRefused(); // the book's number chooses the record shown
    m_number->setFixedWidth(60);
    m_number->setAlignment(Qt::AlignRight);
    label->setBuddy(m_number);
    m_select = new QPushButton(QStringLiteral("Выбрать"), this);
    m_recalcMonth = new QPushButton(QStringLiteral("Перерасчет месяца"), this);
    m_recalcSchedule = new QPushButton(QStringLiteral("Перерасчет графика"), this);
    SetControl(IdNumber, m_number);
    SetControl(IdSelect, m_select);
    SetControl(IdRecalcMonth, m_recalcMonth);
    SetControl(IdRecalcSchedule, m_recalcSchedule);
    row->addWidget(label);
    row->addWidget(m_number);
    for (QPushButton* button : {m_select, m_recalcMonth, m_recalcSchedule}) {
        button->setAutoDefault(false);
        row->addWidget(button);
    }
    row->addStretch(1);
    layout->addLayout(row);
    layout->addStretch(1);

    m_number->installEventFilter(this);
    connect(m_select, &QPushButton::clicked, this, &CRefSchedView::SelectSchedule);
    connect(m_recalcMonth, &QPushButton::clicked, this, &CRefSchedView::RecalcMonth);
    connect(m_recalcSchedule, &QPushButton::clicked, this, &CRefSchedView::RecalcSchedule);
}

CRefSchedView::~CRefSchedView()
{
    // The dialog saves the book as it goes; it goes while the view is whole.
    delete m_dlg.data();
}

void CRefSchedView::OnInitialUpdate()
{
    // Tab goes from the number over the buttons into the calendar (set once
    // the view is in its window, whose focus chain it joins).
    setTabOrder(m_number, m_select);
    setTabOrder(m_select, m_recalcMonth);
    setTabOrder(m_recalcMonth, m_recalcSchedule);
    setTabOrder(m_recalcSchedule, m_dlg->WorkDays());
    FocusNumberField();
}

void CRefSchedView::FocusNumberField()
{
    m_number->setFocus();
    m_number->selectAll();
}

void CRefSchedView::EnableEntry(bool enable)
{
    if (!m_dlg)
        return;
    m_dlg->setEnabled(enable);
    m_recalcMonth->setEnabled(enable);
    m_recalcSchedule->setEnabled(enable);
    if (enable)
        m_dlg->FocusFirstField();
}

bool CRefSchedView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_number) {
        if (event->type() == QEvent::FocusIn) {
            GreyEntryWhileStripHasFocus(m_number, [this] { EnableEntry(false); });
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                SelectSchedule();
                return true;
            }
        }
    }
    return CCommonFormView::eventFilter(watched, event);
}

void CRefSchedView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        LeaveReferenceBook(this);
        return;
    }
    CCommonFormView::keyPressEvent(event);
}

// A number typed into the lookup that does not read is refused there, as
// when the lookup is left by Tab: the screen stays.
bool CRefSchedView::CanLeave() { return m_number->ReadTyped() && (!m_dlg || m_dlg->SaveRecord() != 0); }

void CRefSchedView::SelectSchedule()
{
    if (!m_dlg || !m_number->Read() || !SaveBeforeSwitch(*this))
        return;
    const int number = int(m_number->UnitsOr(0));
    m_current = number;
    m_dlg->SetMonthIndex(kalvor::infobase::WorkSchedule::ReportingMonth);
    m_dlg->LoadRecord(quint32(number));
    EnableEntry(true);
}

void CRefSchedView::MoveMonth(int step)
{
    if (!m_dlg || m_current == 0 || m_dlg->SaveRecord() == 0)
        return;
    m_dlg->SetMonthIndex(std::clamp(m_dlg->MonthIndex() + step, 0, kScheduleMonthRows - 1));
    m_dlg->ShowMonth();
}

void CRefSchedView::PrevPage() { MoveMonth(-1); }

void CRefSchedView::NextPage() { MoveMonth(1); }

void CRefSchedView::MoveSchedule(int step)
{
    const int next = m_current + step;
    if (!m_dlg || m_current == 0 || next < kFirstScheduleNumber || next > kLastScheduleNumber)
        return;
    if (m_dlg->SaveRecord() == 0)
        return;
    m_current = next;
    m_number->setText(QString::number(next));
    m_dlg->LoadRecord(quint32(next));
}

void CRefSchedView::NextElement() { MoveSchedule(1); }

void CRefSchedView::PrevElement() { MoveSchedule(-1); }

void CRefSchedView::RecalcMonth()
{
    if (!m_dlg || m_current == 0)
        return;
    ClearScheduleMonth(Document()->infoBase, m_current, m_dlg->MonthIndex());
    m_dlg->ShowMonth();
}

void CRefSchedView::RecalcSchedule()
{
    if (!m_dlg || m_current == 0)
        return;
    ClearScheduleMonths(Document()->infoBase, m_current);
    m_dlg->ShowMonth();
}

void CRefSchedView::ShowFormHelp()
{
    QString hint;
    if (m_focusedId == IdNumber)
        hint = QStringLiteral("Введите номер рабочего графика.\nОн может располагаться в пределах от 1 до 20");
    else if (m_focusedId == CRefSchedDlg::IdEvening || m_focusedId == CRefSchedDlg::IdNight)
        hint = QStringLiteral("Введите время в формате ЧЧЧ.ММ");
    else
        hint = QStringLiteral("Введите время в формате ЧЧ.ММ\nнули не опускайте");
    ShowFieldHint(hint, 0, 310);
}
