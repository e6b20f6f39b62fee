#include "shell/ui/EmployeeScreen.h"

#include "grid/FldHlpGridCtrl.h"
#include "grid/GridCell.h"
#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "shell/ui/CGroupDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EntryGrid.h"
#include "shell/ui/EntryViewBodies.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/WaitCursor.h"
#include "values/Messages.h"
#include "values/Values.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace ib = kalvor::infobase;
using namespace GridCtrl;

namespace {

constexpr int kEmployeeScreenCode = 1;
constexpr COLORREF kHeadingText = 0x800040;
constexpr COLORREF kHeadingBack = 0xFFD79B;

} // namespace

// ------------------------------------------------------------------ view operations

void EmployeeViewNextElement(CCommonFormView& view) { StepToListEntry(view, +1); }

void EmployeeViewPrevElement(CCommonFormView& view) { StepToListEntry(view, -1); }

void EmployeeViewEnableEntry(CCommonFormView& view, bool enable)
{
    CFormChildDlg* dlg = view.m_entryDlg;
    if (!dlg)
        return;
    dlg->setEnabled(enable);
    if (!enable)
        return;
    if (auto* detail = qobject_cast<CEmployeeDetailDlg*>(dlg); detail && detail->Grid())
        detail->Grid()->setFocus();
    else
        dlg->setFocus();
}

void EmployeeViewOnHelpValueSet(CCommonFormView& view)
{
    if (CTabelFilterDlg* strip = TabelStripOf(view))
        strip->PostApply();
}

// ------------------------------------------------------------------ the dialog

CEmployeeDetailDlg::CEmployeeDetailDlg(int dialogId, int gridId, CCommonFormView* view)
    : CFormChildGridDlg(dialogId, view), m_gridId(gridId)
{
    m_grid = new CFldHlpGridCtrl(this);
    SetControl(gridId, m_grid);
    m_grid->SetDlgCtrlID(gridId);
    m_grid->installEventFilter(this);
    connect(m_grid, &CGridCtrl::gridNotify, this, &CEmployeeDetailDlg::OnGridNotify);
}

void CEmployeeDetailDlg::SetupGrid(const std::vector<GridColumn>& columns, const std::vector<double>& shares,
                                   const QString& headerSample)
{
    const QStringList titles = GridColumnTitles(columns);
    CFldHlpGridCtrl* grid = m_grid;
    grid->SetGridBkColor(GetSysColour(ColourButtonFace));
    SetGridDefaultMargins(grid);
    grid->SetListMode(true);
    static const QFont bold = EntryScreenFont(true);
    static const QFont normal = EntryScreenFont(false);
    for (int fixedCol = 0; fixedCol < 2; ++fixedCol) {
        CGridDefaultCell* heading = grid->GetDefaultCell(true, fixedCol != 0);
        heading->SetFont(&bold);
        heading->SetTextColour(kHeadingText);
        heading->SetBackColour(kHeadingBack);
        heading->SetFormat(DT_CENTER | DT_VCENTER);
        CGridDefaultCell* data = grid->GetDefaultCell(false, fixedCol != 0);
        data->SetFont(&normal);
        data->SetFormat(DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    grid->SetFixedRowCount(1);
    grid->SetFixedColumnCount(0);
    grid->DeclareColumns(columns);
    grid->SetRowCount(1);
    const QFontMetrics metrics(bold);
    grid->SetRowHeight(0, 2 * (metrics.boundingRect(headerSample.section(QLatin1Char('\n'), 0, 0)).height() + 5) + 1);
    // Each column its share of the grid's width, and no less than its widest
    // figure needs, so that no value its rule takes is shown cut.
    const int width = grid->width();
    const QFontMetrics data(normal);
    const int margins = 2 * int(grid->GetDefaultCell(false, false)->GetMargin()) + 2;
    for (int col = 0; col < int(shares.size()) && col < int(titles.size()); ++col) {
        const QString widest = WidestFigureText(columns[std::size_t(col)]);
        const int needed = widest.isEmpty() ? 0 : data.horizontalAdvance(widest) + margins;
        grid->SetColumnWidth(col, std::max(needed, int(std::ceil(width * shares[std::size_t(col)] - 0.5))));
    }
    for (int col = 0; col < int(titles.size()); ++col) grid->SetItemText(0, col, titles[col]);
    FitLastColumn();
}

int CEmployeeDetailDlg::HeaderHeight() const { return m_grid->GetRowHeight(0); }

void CEmployeeDetailDlg::FitLastColumn() { m_grid->FitLastColumnToView(); }

namespace {
constexpr quint32 kCellShowsDefault = 0x44454654; // item data of a cell that shows a default
} // namespace

QStringList CEmployeeDetailDlg::RowCells(int row) const
{
    QStringList cells;
    for (int col = 0; col < m_grid->GetColumnCount(); ++col)
        cells << (CellShowsDefault(row, col) ? QString() : m_grid->GetItemText(row, col));
    return cells;
}

void CEmployeeDetailDlg::ShowCellDefault(int row, int col, const QString& text)
{
    m_grid->SetItemText(row, col, text);
    m_grid->SetItemData(row, col, text.isEmpty() ? 0 : kCellShowsDefault);
    m_grid->SetItemFgColour(row, col, text.isEmpty() ? GridCtrl::DefaultColour : GridCtrl::MakeColour(128, 128, 128));
    m_grid->RedrawCell(row, col);
}

bool CEmployeeDetailDlg::CellShowsDefault(int row, int col) const
{
    return m_grid->GetItemData(row, col) == kCellShowsDefault;
}

int CEmployeeDetailDlg::AppendRow(const QStringList& texts, int height)
{
    const int row = m_grid->InsertRow(QString());
    m_grid->SetRowHeight(row, height);
    for (int col = 0; col < texts.size() && col < m_grid->GetColumnCount(); ++col)
        if (!texts[col].isEmpty())
            m_grid->SetItemText(row, col, texts[col]);
    return row;
}

void CEmployeeDetailDlg::ShowRefusal(int row, int col, const QString& message)
{
    KalvorMessageBox(message, MB_OK | MB_ICONERROR, QString(), this);
    setEnabled(true);
    if (row >= m_grid->GetFixedRowCount() && row < m_grid->GetRowCount()) {
        m_grid->SetFocusCell(row, std::max(col, 0));
        m_grid->setFocus();
    }
}

void ShowEmployeeNotSaved(const kalvor::db::DbError& error, const ib::CInfoBase& base, int slot)
{
    const QString data = QStringLiteral("Данные работника %1").arg(base.employeeNamed(slot));
    ShowComError(error, kalvor::SaveFailedWhat(error, data, data + QStringLiteral(" не сохранены.")));
}

bool CEmployeeDetailDlg::SaveCurrentEmployee(int slot)
{
    WaitCursor wait;
    try {
        ib::SaveEmployee(View()->Document()->infoBase, slot);
        return true;
    } catch (const kalvor::db::DbError& error) {
        ShowEmployeeNotSaved(error, View()->Document()->infoBase, slot);
        return false;
    }
}

void CEmployeeDetailDlg::OnGridNotify(GridNotifyInfo* info, long* result)
{
    *result = 0;
    if (info->hdr.code == NotifySelChanged)
        EmployeeDlgOnGridSelChanged(*this, info->iRow, info->iColumn);
    else if (info->hdr.code == NotifyEndLabelEdit)
        OnGridEndEdit(info->iRow, info->iColumn);
}

void CEmployeeDetailDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OnOK();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        OnCancel();
        return;
    }
    CFormChildGridDlg::keyPressEvent(event);
}

bool CEmployeeDetailDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Enter on the grid without an open editor is the dialog's Enter, as in a
    // dialog whose grid does not want that key.
    if (watched == m_grid && event->type() == QEvent::KeyPress && !m_grid->GetEditor()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OnOK();
            return true;
        }
    }
    return CFormChildGridDlg::eventFilter(watched, event);
}

void CEmployeeDetailDlg::OnCancel()
{
    if (m_groupMode) {
        m_pending = GroupNone;
    } else if (m_slot != 0 && !ShownRowsRead()) {
        if (KalvorMessageBox(QStringLiteral("Отменить изменения, внесенные в данные работника?"),
                             MB_YESNO | MB_ICONQUESTION, QString(), this) == IDYES) {
            LoadRecord(m_slot);
            m_modified = false;
        }
        setEnabled(true);
        m_grid->setFocus();
        return;
    }
    EndGroupOrFocusStrip();
}

void CEmployeeDetailDlg::OnOK()
{
    if (!m_groupMode)
        return;
    int operation = m_pending;
    if (operation == GroupNone) {
        CGroupDlg question(this);
        operation = question.exec();
    }
    RunOperation(operation);
}

void CEmployeeDetailDlg::RunOperation(int operation)
{
    CCommonFormView* view = View();
    const bool known = operation == GroupAppendOp || operation == GroupMarkOp || operation == GroupDeleteOp ||
                       operation == GroupCorrectOp;
    if (known && !ReadEnteredRow()) {
        m_pending = operation == GroupCorrectOp ? GroupCorrectOp : GroupNone;
        return;
    }
    switch (operation) {
    case GroupAppendOp: GroupAppend(); break;
    case GroupDeleteOp: GroupDelete(); break;
    case GroupCorrectOp: GroupCorrect(); break;
    case GroupMarkOp:
        GroupMarkMatching();
        m_pending = GroupCorrectOp;
        KalvorMessageBox(QStringLiteral("Записи, содержащие введенные данные, будут изменены.Укажите теперь, как "
                                        "именно Вы хотите их корректировать."),
                         MB_OK | MB_ICONINFORMATION, QString(), this);
        BeginGroup();
        return;
    default: break;
    }
    m_pending = GroupNone;
    m_groupMode = false;
    if (view)
        view->CancelGroup();
}

void CEmployeeDetailDlg::BeginGroup() { EmployeeDlgBeginGroup(*this); }

int CEmployeeDetailDlg::GroupAppend()
{
    WalkGroup(WalkStep::Append);
    m_groupMode = false;
    return 1;
}

int CEmployeeDetailDlg::GroupDelete()
{
    WalkGroup(WalkStep::Delete);
    m_groupMode = false;
    return 1;
}

int CEmployeeDetailDlg::GroupCorrect()
{
    WalkGroup(WalkStep::Correct);
    m_groupMode = false;
    return 1;
}

int CEmployeeDetailDlg::GroupMarkMatching()
{
    // One element per entry of the list as it is now.
    const int count = View()->Document()->infoBase.employeeCount();
    m_matchedIndex.assign(std::size_t(count), 0);
    m_matched.assign(std::size_t(count), 0);
    WalkGroup(WalkStep::Mark);
    return 1;
}

void CEmployeeDetailDlg::WalkGroup(WalkStep step)
{
    const ib::CInfoBase& base = View()->Document()->infoBase;
    for (int i = 0; i < base.employeeCount(); ++i)
        if (base.list[std::size_t(i)].marked())
            WorkOn(step, i);
}

bool CEmployeeDetailDlg::WorkOn(WalkStep step, int listIndex)
{
    ib::CInfoBase& base = View()->Document()->infoBase;
    const int found = base.FindEmployee(base.list[std::size_t(listIndex)].tabN());
    if (found < 0)
        return false;
    const int slot = base.list[std::size_t(found)].slot;
    if (step == WalkStep::Correct && (std::size_t(found) >= m_matched.size() || !m_matched[std::size_t(found)]))
        return false;
    try {
        WaitCursor wait;
        ib::LoadEmployee(base, slot);
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        return false;
    }
    ib::EmployeeRecord& rec = base.current;
    bool changed = false;
    switch (step) {
    case WalkStep::Append: changed = AppendEntered(rec); break;
    case WalkStep::Delete:
        if (const int index = MatchEntered(rec); index >= 0)
            changed = DeleteMatched(rec, index);
        break;
    case WalkStep::Mark:
        if (const int index = MatchEntered(rec); index >= 0 && std::size_t(found) < m_matched.size()) {
            m_matched[std::size_t(found)] = 1;
            m_matchedIndex[std::size_t(found)] = index;
        }
        return false;
    case WalkStep::Correct: changed = CorrectMatched(rec, m_matchedIndex[std::size_t(found)]); break;
    }
    return changed && SaveMember(slot);
}

void EmployeeDlgBeginGroup(CEmployeeDetailDlg& dlg)
{
    dlg.m_groupMode = true;
    CFldHlpGridCtrl* grid = dlg.Grid();
    grid->DeleteNonFixedRows();
    dlg.AppendRow(QStringList(), dlg.Grid()->GetRowHeight(0));
    grid->Refresh();
    grid->SetFocusCell(1, 0);
    EmployeeDlgOnGridSelChanged(dlg, 1, 0);
}

void EmployeeDlgOnGridSelChanged(CEmployeeDetailDlg& dlg, int row, int col)
{
    if (CCommonFormView* view = dlg.View()) {
        view->m_focusedId = dlg.GridId();
        view->m_focusedWnd = dlg.Grid();
        view->m_focusedGrid = dlg.Grid();
        view->m_gridRow = row;
        view->m_gridCol = col;
    }
}

void EmployeeDlgDeleteRow(CEmployeeDetailDlg& dlg)
{
    CFldHlpGridCtrl* grid = dlg.Grid();
    const CCellID focus = grid->GetFocusCell();
    if (!focus.IsValid() || focus.row < grid->GetFixedRowCount())
        return;
    grid->DeleteRow(focus.row);
    grid->SetFocusCell(-1, -1);
    grid->Refresh();
}

// ------------------------------------------------------------------ the view

CEmployeeDetailView::CEmployeeDetailView(int formId, const QString& title, CKalvorDoc* doc, QWidget* parent)
    : CCommonFormView(formId, doc, parent), m_baseTitle(title)
{}

void CEmployeeDetailView::OnInitialUpdate()
{
    m_filter = new CTabelFilterDlg(1, 2, this);
    QVBoxLayout* layout = LayOutStrip(*this, m_filter);
    m_title = new QGroupBox(m_baseTitle, this);
    SetControl(IdTitle, m_title);
    m_dlg = CreateDialog();
    LayOutEntryBox(*this, layout, m_title, m_dlg);
    Document()->LastEntryScreen = kEmployeeScreenCode;
    OpenOnLastEmployee(*this);
}

void CEmployeeDetailView::SetTitle(const QString& text)
{
    if (m_title)
        m_title->setTitle(text);
}

void CEmployeeDetailView::ApplySelection() { ApplySelectionBody(*this); }

void CEmployeeDetailView::TakeHelpValues(const QStringList& values) { TakeHelpValuesBody(*this, values); }

void CEmployeeDetailView::CancelGroup() { CancelGroupBody(*this); }

bool CEmployeeDetailView::CanLeave()
{
    if (!m_dlg)
        return true;
    if (m_dlg->m_groupMode) {
        m_dlg->OnCancel();
        return true;
    }
    // A refused cell being corrected keeps the screen (its refusal was said).
    return !m_dlg->Grid()->RefusalPending() && m_dlg->SaveRecord() != 0;
}

void CEmployeeDetailView::ShowFormHelp()
{
    if (m_focusedId < 0)
        return;
    if (ShowStripPickList(*this))
        return;
    QWidget* control = this->control(m_focusedId);
    if (!control && m_dlg)
        control = m_dlg->control(m_focusedId);
    if (!control)
        return;
    m_focusedWnd = control;
    if (m_dlg && control == m_dlg->Grid()) {
        const CCellID focus = m_dlg->Grid()->GetFocusCell();
        ShowGridHelp(focus.IsValid() ? focus.col : m_gridCol);
    }
}
