#include "payroll/ui/CCalcLicSchetView.h"

#include "payroll/CalcErrors.h"

#include "grid/FldHlpGridCtrl.h"
#include "infobase/InfoBaseDb.h"
#include "infobase/SwapFile.h"
#include "payroll/ui/CCalcLicSchetDlg.h"
#include "payroll/ui/PersonalAccount.h"
#include "platform/Db.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EntryViewBodies.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/WaitCursor.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace ib = kalvor::infobase;

namespace {

constexpr int kCalcScreenCode = 8;
constexpr int kOpenAndRecompute = 2;
constexpr int kListByName = 2;

// The current record now holds the employee's computed rows alone (their
// loading clears the month's entered rows): memory names no employee whose
// whole record it holds, so that the next calculation or screen reads him
// from the base.
void ForgetPartialRecord(ib::CInfoBase& base) { base.currentSlot = 0; }

} // namespace

CCalcLicSchetView::CCalcLicSchetView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(385, doc, parent)
{
    setObjectName(QStringLiteral("CCalcLicSchetView"));
}

void CCalcLicSchetView::OnInitialUpdate()
{
    CKalvorDoc* doc = Document();
    doc->LastEntryScreen = kCalcScreenCode;
    m_filter = new CTabelFilterDlg(kCalcScreenCode, 2, this);
    QVBoxLayout* layout = LayOutStrip(*this, m_filter);
    m_title = new QGroupBox(QStringLiteral("Лицевой счет"), this);
    SetControl(IdTitle, m_title);
    m_dlg = new CCalcLicSchetDlg(this);
    m_dlg->ShowTitleWith([this](const QString& title) { SetTitle(title); });
    LayOutEntryBox(*this, layout, m_title, m_dlg);
    m_filter->Field(CTabelFilterDlg::IdTabN)->setFocus();
    connect(doc, &CKalvorDoc::reportingMonthChanged, this, &CCalcLicSchetView::ShowNewMonth);

    int request = 0;
    const int index = TakeLastEmployeeRequest(*doc, &request);
    if (index < 0)
        return;
    const int tabN = int(doc->LastPersonnelNumber);
    if (request == kOpenAndRecompute)
        Recompute(tabN);
    m_tabN = unsigned(tabN);
    m_filter->SetPersonnelNumber(unsigned(tabN));
    const int slot = doc->infoBase.list[std::size_t(index)].slot;
    try {
        WaitCursor wait;
        ib::LoadEmployee(doc->infoBase, slot);
        // The screen lists the computed rows alone, as stepping through the
        // employees does: the month's input rows are in them already.
        ib::LoadProizvZarpByMass(doc->infoBase, slot, kListByName, ib::kResultRowsTable);
        ForgetPartialRecord(doc->infoBase);
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        return;
    }
    m_dlg->LoadRecord(quint32(slot));
    EnableEntry(true);
}

void CCalcLicSchetView::Recompute(int tabN)
{
    int result = 0;
    try {
        WaitCursor wait;
        result = kalvor::RecomputeEmployee(*Document(), tabN);
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        return;
    } catch (const ib::InfoBaseError& error) {
        KalvorMessageBox(error.message(), MB_OK | MB_ICONERROR, QString(), this);
        return;
    }
    if (result < 0)
        KalvorMessageBox(kalvor::CalcErrorText(result), MB_OK | MB_ICONWARNING, QString(), this);
}

bool CCalcLicSchetView::ShowStoredRows(int listIndex)
{
    CKalvorDoc* doc = Document();
    const ib::EmployeeListEntry entry = doc->infoBase.list[std::size_t(listIndex)];
    try {
        WaitCursor wait;
        ib::LoadProizvZarpByMass(doc->infoBase, entry.slot, kListByName, ib::kResultRowsTable);
        ForgetPartialRecord(doc->infoBase);
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        return false;
    }
    m_tabN = entry.tabN();
    doc->LastPersonnelNumber = entry.tabN();
    m_filter->SetPersonnelNumber(entry.tabN());
    m_dlg->LoadRecord(entry.slot);
    return true;
}

void CCalcLicSchetView::ShowNewMonth()
{
    if (m_tabN == 0)
        return;
    if (const int index = Document()->infoBase.FindEmployee(int(m_tabN)); index >= 0)
        ShowStoredRows(index);
}

void CCalcLicSchetView::StepTo(int step)
{
    if (m_tabN == 0)
        return;
    const ib::CInfoBase& base = Document()->infoBase;
    const int index = base.FindEmployee(int(m_tabN));
    if (index < 0)
        return;
    const int next = index + step;
    if (next < 0 || next >= base.employeeCount())
        return;
    ShowStoredRows(next);
}

void CCalcLicSchetView::ApplySelection()
{
    int tabN = 0;
    if (!ReadTypedPersonnelNumber(*this, &tabN) || !SaveBeforeSwitch(*this))
        return;
    CKalvorDoc* doc = Document();
    doc->LastPersonnelNumber = quint32(tabN);
    const int index = doc->infoBase.FindEmployee(tabN);
    if (index < 0) {
        RefusePersonnelNumber(*this);
        return;
    }
    if (ShowStoredRows(index))
        EnableEntry(true);
}

void CCalcLicSchetView::EnableEntry(bool enable)
{
    if (!m_dlg)
        return;
    m_dlg->setEnabled(enable);
    if (enable)
        m_dlg->Grid()->setFocus();
}

void CCalcLicSchetView::ShowFormHelp()
{
    if (m_filter && m_focusedWnd && m_filter->isAncestorOf(m_focusedWnd))
        m_filter->ShowFieldPickList();
}

void CCalcLicSchetView::SetTitle(const QString& text)
{
    if (m_title)
        m_title->setTitle(text);
}
