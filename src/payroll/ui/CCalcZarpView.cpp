#include "payroll/ui/CCalcZarpView.h"

#include "payroll/ui/CCalcZarpDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/KalvorMessageBox.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr int kCalcScreenCode = 8;

} // namespace

CCalcZarpView::CCalcZarpView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(383, doc, parent) {}

CCalcZarpView::~CCalcZarpView()
{
    // The dialog stops and joins the worker before the strip and the title go.
    delete m_dlg;
}

void CCalcZarpView::OnInitialUpdate()
{
    if (Document())
        Document()->LastEntryScreen = kCalcScreenCode;
    auto* layout = new QVBoxLayout(this);
    m_filter = new CTabelFilterDlg(1, 3, this);
    m_strip = m_filter;
    layout->addWidget(m_filter);
    m_title = new QGroupBox(QStringLiteral("Расчет заработной платы"), this);
    SetControl(IdTitle, m_title);
    auto* titleLayout = new QVBoxLayout(m_title);
    titleLayout->setContentsMargins(25, 25, 25, 25);
    m_dlg = new CCalcZarpDlg(this);
    m_dlg->ShowTitleWith([this](const QString& title) { m_title->setTitle(title); });
    m_entryDlg = m_dlg;
    titleLayout->addWidget(m_dlg);
    layout->addWidget(m_title);
    layout->addStretch(1);
    m_dlg->show();
    m_filter->show();
    if (QLineEdit* shop = m_filter->Field(CWorkersFilterDlg::IdShop))
        shop->setFocus();
}

bool CCalcZarpView::ReadSelection(int* shop, int* brigade, int* profession, int* tabN)
{
    if (!m_filter->CheckFields())
        return false;
    int s = 0, b = 0, p = 0;
    m_filter->ReadFields(&s, &b, &p);
    const CKalvorDoc* doc = Document();
    int matching = 0;
    const int count = doc ? doc->infoBase.employeeCount() : 0;
    for (int i = 0; i < count; ++i)
        if (EmployeeMatchesFilter(i, s, b, p))
            ++matching;
    auto refuse = [&](const QString& text, int field) {
        KalvorMessageBox(text, MB_OK | MB_ICONERROR, QString(), this);
        if (QLineEdit* f = m_filter->Field(field)) {
            f->selectAll();
            f->setFocus();
        }
        return false;
    };
    if (matching == 0)
        return refuse(QStringLiteral("Сотрудников не обнаружено"), CWorkersFilterDlg::IdShop);
    const int number = int(m_filter->PersonnelNumber());
    if (number != 0) {
        const int index = doc->infoBase.FindEmployee(number);
        if (index < 0 || !EmployeeMatchesFilter(index, s, b, p))
            return refuse(QStringLiteral("Некорректный табельный номер"), CTabelFilterDlg::IdTabN);
    }
    *shop = s;
    *brigade = b;
    *profession = p;
    *tabN = number;
    return true;
}

void CCalcZarpView::ApplySelection()
{
    int shop = 0, brigade = 0, profession = 0, tabN = 0;
    if (!ReadSelection(&shop, &brigade, &profession, &tabN))
        return;
    CKalvorDoc* doc = Document();
    if (tabN != 0) {
        doc->LastPersonnelNumber = quint32(tabN);
        m_tabN = unsigned(tabN);
        const int index = doc->infoBase.FindEmployee(tabN);
        m_dlg->LoadRecord(doc->infoBase.list[std::size_t(index)].slot);
    } else {
        m_dlg->SetSelection(shop, brigade, profession);
    }
    EnableEntry(true);
}

void CCalcZarpView::ShowFormHelp()
{
    if (m_focusedId < 0 || !m_focusedWnd)
        return;
    if (m_filter && m_filter->isAncestorOf(m_focusedWnd))
        m_filter->ShowFieldPickList();
}

void CCalcZarpView::OnHelpValueSet()
{
    if (m_filter)
        m_filter->PostApply();
}

bool CCalcZarpView::IsWorking() const { return m_dlg && m_dlg->IsRunning(); }

void CCalcZarpView::StopWork()
{
    if (!IsWorking())
        return;
    m_dlg->OnCancel();
    // The end of the run is delivered now, so that the screen says it was
    // stopped before whatever the caller does next (leaving the screen, say).
    QCoreApplication::sendPostedEvents(m_dlg->Thread(), QEvent::MetaCall);
}
