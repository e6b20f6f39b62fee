#include "entries/ui/CAvanceVvodView.h"

#include "entries/AdvanceEntry.h"
#include "entries/ui/CAvanceVvodDlg.h"
#include "grid/FldHlpGridCtrl.h"
#include "infobase/InfoBaseDb.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/KalvorMessageBox.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

CAvanceVvodView::CAvanceVvodView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(374, doc, parent)
{
    setObjectName(QStringLiteral("CAvanceVvodView"));
}

CAvanceVvodView::~CAvanceVvodView()
{
    if (!m_dlg)
        return;
    m_dlg->SaveRecord();
    if (!m_dlg->m_modified)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        kalvor::infobase::SaveAvZar1(Document()->infoBase, kalvor::infobase::SaveModeOverwrite);
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
    }
    QApplication::restoreOverrideCursor();
}

void CAvanceVvodView::OnInitialUpdate()
{
    CKalvorDoc* doc = Document();
    doc->LastEntryScreen = kEntryScreen;
    auto* layout = new QVBoxLayout(this);
    m_filter = new CWorkersFilterDlg(this);
    m_strip = m_filter;
    layout->addWidget(m_filter);
    auto* box = new QGroupBox(QStringLiteral("Корректировка аванса"), this);
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->setContentsMargins(25, 25, 25, 25);
    m_dlg = new CAvanceVvodDlg(this);
    m_entryDlg = m_dlg;
    boxLayout->addWidget(m_dlg);
    layout->addWidget(box);
    layout->addStretch(1);
    box->show();
    m_dlg->show();
    m_filter->show();
    m_filter->Field(CWorkersFilterDlg::IdShop)->setFocus();
    // The quick command opens the screen on the strip as it stands.
    if (doc->OpenWithLastEmployee != 0) {
        doc->OpenWithLastEmployee = 0;
        int shop = 0, brigade = 0, profession = 0;
        if (CheckSelection(&shop, &brigade, &profession)) {
            m_dlg->SetSelection(shop, brigade, profession);
            EnableEntry(true);
        }
    }
}

void CAvanceVvodView::ShowFormHelp()
{
    if (m_filter && m_focusedWnd && m_filter->isAncestorOf(m_focusedWnd))
        m_filter->ShowFieldPickList();
}

bool CAvanceVvodView::CheckSelection(int* shop, int* brigade, int* profession)
{
    m_filter->ReadFields(shop, brigade, profession);
    const CKalvorDoc& doc = *Document();
    for (int index = 0; index < doc.infoBase.employeeCount(); ++index)
        if (EmployeeMatchesFilter(index, *shop, *brigade, *profession) && kalvor::AdvanceShown(doc, index))
            return true;
    KalvorMessageBox(QStringLiteral("Сотрудников не обнаружено"), MB_OK | MB_ICONERROR, QString(), this);
    if (QLineEdit* field = m_filter->Field(CWorkersFilterDlg::IdShop)) {
        field->selectAll();
        field->setFocus();
    }
    return false;
}

void CAvanceVvodView::ApplySelection()
{
    int shop = 0, brigade = 0, profession = 0;
    if (!CheckSelection(&shop, &brigade, &profession))
        return;
    m_dlg->SaveRecord();
    m_dlg->SetSelection(shop, brigade, profession);
    EnableEntry(true);
}

void CAvanceVvodView::EnableEntry(bool enable)
{
    if (!m_dlg)
        return;
    m_dlg->setEnabled(enable);
    if (enable)
        m_dlg->Grid()->setFocus();
}
