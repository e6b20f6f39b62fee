#include "entries/ui/CTabelVvodView.h"

#include "entries/ui/CTabelCorrectDlg.h"
#include "entries/ui/CTabelVvodDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EmployeeScreen.h"
#include "shell/ui/EntryViewBodies.h"

#include <QGroupBox>
#include <QTabBar>
#include <QVBoxLayout>

CTabelVvodView::CTabelVvodView(CKalvorDoc* doc, RateCorrectionRunner rateCorrection, QWidget* parent)
    : CCommonFormView(IDD, doc, parent), m_rateCorrection(std::move(rateCorrection))
{}

CTabelVvodDlg* CTabelVvodView::TabelDlg() const { return qobject_cast<CTabelVvodDlg*>(m_entryDlg.data()); }

CTabelCorrectDlg* CTabelVvodView::CorrectDlg() const { return qobject_cast<CTabelCorrectDlg*>(m_entryDlg.data()); }

void CTabelVvodView::OnInitialUpdate()
{
    m_filter = new CTabelFilterDlg(1, 2, this);
    QVBoxLayout* layout = LayOutStrip(*this, m_filter);
    m_frame = new QGroupBox(QStringLiteral("Основной табель"), this);
    SetControl(IdFrame, m_frame);
    auto* frameLayout = new QVBoxLayout(m_frame);
    frameLayout->setContentsMargins(10, 25, 10, 25);
    frameLayout->setSpacing(0);
    m_tabs = new QTabBar(m_frame);
    m_tabs->addTab(QStringLiteral("Основной табель"));
    m_tabs->addTab(QStringLiteral("Корректировка табеля"));
    m_tabs->setFocusPolicy(Qt::TabFocus);
    SetControl(IdTab, m_tabs);
    frameLayout->addWidget(m_tabs, 0, Qt::AlignLeft);
    m_tabPage = new QVBoxLayout;
    frameLayout->addLayout(m_tabPage);
    layout->addWidget(m_frame, 0, Qt::AlignLeft);
    layout->addStretch(1);

    m_entryDlg = CreateTabDialog(0);
    connect(m_tabs, &QTabBar::currentChanged, this, &CTabelVvodView::OnTabChange);
    m_frame->show();
    m_filter->show();
    Document()->LastEntryScreen = kEntryScreen;
    OpenOnLastEmployee(*this);
}

CFormChildDlg* CTabelVvodView::CreateTabDialog(int tab)
{
    CFormChildDlg* dlg = nullptr;
    if (tab == 0)
        dlg = new CTabelVvodDlg(this, m_rateCorrection);
    else
        dlg = new CTabelCorrectDlg(this);
    m_tabPage->addWidget(dlg);
    dlg->show();
    return dlg;
}

void CTabelVvodView::OnTabChange(int tab)
{
    if (tab == m_activeTab)
        return;
    // The shown record is saved before its dialog goes (a tab change used to
    // drop what was typed); a refused save keeps the tab.
    CFormChildDlg* old = m_entryDlg;
    if (old && (RefuseWhileGroupOpen(*this) || !old->SaveRecord())) {
        const QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(m_activeTab);
        return;
    }
    const bool enabled = !old || old->isEnabled();
    if (old) {
        m_tabPage->removeWidget(old);
        delete old;
    }
    m_activeTab = tab;
    m_entryDlg = CreateTabDialog(tab);
    if (m_tabN != 0) {
        const int index = Document()->infoBase.FindEmployee(int(m_tabN));
        if (index >= 0)
            m_entryDlg->LoadRecord(Document()->infoBase.list[std::size_t(index)].slot);
    }
    // The focus goes to the new page's first control (the old one's went with it).
    EnableEntry(enabled);
}

void CTabelVvodView::NextElement() { EmployeeViewNextElement(*this); }

void CTabelVvodView::PrevElement() { EmployeeViewPrevElement(*this); }

void CTabelVvodView::ApplySelection() { ApplySelectionBody(*this); }

void CTabelVvodView::EnableEntry(bool enable)
{
    m_tabs->setEnabled(enable);
    if (!m_entryDlg)
        return;
    m_entryDlg->setEnabled(enable);
    if (!enable)
        return;
    QWidget* first = nullptr;
    if (CTabelVvodDlg* dlg = TabelDlg())
        first = dlg->FirstControl();
    else if (CTabelCorrectDlg* dlg = CorrectDlg())
        first = dlg->FirstControl();
    if (first)
        first->setFocus();
}

void CTabelVvodView::TakeHelpValues(const QStringList& values) { TakeHelpValuesBody(*this, values); }

void CTabelVvodView::OnHelpValueSet() { EmployeeViewOnHelpValueSet(*this); }

void CTabelVvodView::CancelGroup() { CancelGroupBody(*this); }

bool CTabelVvodView::CanLeave() { return LeaveEntryScreen(*this); }

QString CTabelVvodView::PromptFor(int controlId)
{
    switch (controlId) {
    case 1078:
    case 1079:
    case 1080:
    case 1088:
    case 1090:
    case 1100:
    case 1102: return QStringLiteral("Введите время в формате: ЧЧЧ.ММ");
    case 1083:
    case 1084:
    case 1086:
    case 1092:
    case 1094:
    case 1096: return QStringLiteral("Введите время в формате: ЧЧ.ММ нули не опускайте");
    case 1098: return QStringLiteral("Введите данные в соответствии с назначением этого поля.");
    case 1099:
    case 1101:
    case 1155: return QStringLiteral("Введите любое целое число в соответствии с назначением этого поля.");
    default: return QStringLiteral("Укажите количество дней, которые нужно оплатить по соответствующим правилам");
    }
}

void CTabelVvodView::ShowFormHelp()
{
    if (m_focusedId < 0)
        return;
    if (ShowStripPickList(*this))
        return;
    QWidget* field = control(m_focusedId);
    if (!field && m_entryDlg)
        field = m_entryDlg->control(m_focusedId);
    if (!field)
        return;
    m_focusedWnd = field;
    ShowFieldHint(PromptFor(m_focusedId), 3, 310);
}
