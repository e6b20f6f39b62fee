#include "masterdata/ui/CWorkerDatarchiveDlg.h"

#include "grid/FldHlpGridCtrl.h"
#include "grid/GridCell.h"
#include "infobase/InfoBaseDb.h"
#include "masterdata/DatedArchiveRows.h"
#include "platform/Db.h"
#include "shell/ui/BookChecks.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/EmployeeScreen.h"
#include "shell/ui/EntryViewBodies.h"
#include "shell/ui/KalvorMessageBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPushButton>

using namespace kalvor::masterdata;
using kalvor::infobase::WarDatBlock;

namespace {

constexpr int kDialogWidth = kEntryDialogRoom;
constexpr int kButtonHeight = 44;
constexpr int kButtonWidth = 194;
constexpr int kSumColumn = 4;
// The item data of a row's first cell that marks a row inserted since the
// employee was shown.
constexpr quint32 kTypedAnew = 1;

} // namespace

CWorkerDatarchiveDlg::CWorkerDatarchiveDlg(CCommonFormView* view) : CEmployeeDetailDlg(450, IdGrid, view)
{
    setObjectName(QStringLiteral("CWorkerDatarchiveDlg"));
    setFixedSize(kDialogWidth, 442);
    // The three buttons stand within the view's room at 1024x768.
    AddButton(IdInsertBefore, QStringLiteral("Вставить запись перед\n            текущей (F7)"), 0);
    AddButton(IdInsertAfter, QStringLiteral("Вставить запись после\n             текущей (F8)"), kButtonWidth + 4);
    AddButton(IdDeleteRow, QStringLiteral("Удалить запись\n        (Alt + F10)"), 2 * (kButtonWidth + 4));
    Grid()->Create(QRect(0, kButtonHeight + 6, kDialogWidth, 442 - kButtonHeight - 6), this, IdGrid);
    const kalvor::YearSpan years = kalvor::TwoDigitYearSpan();
    const auto figure = [](int column, kalvor::BookCheck book = {}) {
        return FigureColumn(WarDatColumnTitle(column), WarDatColumnRule(column), std::move(book));
    };
    SetupGrid({DateColumn(WarDatColumnTitle(0), years), DateColumn(WarDatColumnTitle(1), years),
               // The month keeps two digits of its year, as the dates do.
               MonthColumn(WarDatColumnTitle(2), years),
               // A code typed is a pay kind of the book; a stored row of a past
               // month keeps the code of its time, whether the book still
               // holds it or not, as long as its cell is not typed into.
               figure(3, PayKindBook(View()->Document()->infoBase)), figure(kSumColumn), figure(5)},
              {0.15, 0.19, 0.21, 0.10, 0.15}, WarDatColumnTitle(2));
    // One line of titles: as high as the title text plus 1.
    const QFont* titleFont = Grid()->GetDefaultCell(true, false)->GetFont();
    Grid()->SetRowHeight(0, QFontMetrics(*titleFont).height() + 2 * 5 + 1);
    m_modified = false;
}

QPushButton* CWorkerDatarchiveDlg::AddButton(int id, const QString& text, int x)
{
    auto* button = new QPushButton(text, this);
    button->setGeometry(x, 0, kButtonWidth, kButtonHeight);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::NoFocus); // the grid keeps the focus and its selection
    SetControl(id, button);
    switch (id) {
    case IdInsertBefore: connect(button, &QPushButton::clicked, this, &CWorkerDatarchiveDlg::OnInsertBefore); break;
    case IdInsertAfter: connect(button, &QPushButton::clicked, this, &CWorkerDatarchiveDlg::OnInsertAfter); break;
    default: connect(button, &QPushButton::clicked, this, &CWorkerDatarchiveDlg::OnDeleteRow); break;
    }
    return button;
}

int CWorkerDatarchiveDlg::AppendEntryRow(const QStringList& texts, int before)
{
    CFldHlpGridCtrl* grid = Grid();
    const int row = grid->InsertRow(QString(), before);
    grid->SetRowHeight(row, HeaderHeight());
    grid->SetItemFormat(row, kSumColumn, GridCtrl::DT_RIGHT | GridCtrl::DT_VCENTER | GridCtrl::DT_SINGLELINE);
    for (int col = 0; col < texts.size() && col < kWarDatColumns; ++col) {
        grid->SetItemText(row, col, texts[col]);
        grid->SetModified(row, col);
    }
    return row;
}

void CWorkerDatarchiveDlg::FillGrid(const WarDatBlock& block)
{
    CFldHlpGridCtrl* grid = Grid();
    grid->SetRedraw(false);
    grid->DeleteNonFixedRows();
    for (const auto& entry : block.entries)
        if (entry.kod != 0)
            AppendEntryRow(WarDatRowTexts(entry), -1);
    grid->SetRedraw(true, true);
    FitLastColumn();
}

void CWorkerDatarchiveDlg::LoadRecord(quint32 slot)
{
    CFormChildDlg::LoadRecord(slot);
    m_groupMode = false;
    m_modified = false;
    if (slot == 0) {
        FillGrid(WarDatBlock{});
        return;
    }
    const auto& base = View()->Document()->infoBase;
    if (auto* view = qobject_cast<CEmployeeDetailView*>(View()))
        view->SetTitle(QStringLiteral("Архив с датами [%1]").arg(base.shortNameOf(slot)));
    FillGrid(base.warDat);
}

int CWorkerDatarchiveDlg::SaveRecord()
{
    auto& base = View()->Document()->infoBase;
    if (m_slot == 0 || base.currentSlot != int(m_slot))
        return 1;
    std::vector<QStringList> rows;
    for (int row = Grid()->GetFixedRowCount(); row < Grid()->GetRowCount(); ++row) {
        rows.push_back(RowCells(row));
        // A row that cannot be stored keeps the whole archive as it was.
        if (const RowRefusal refusal = CheckWarDatRow(rows.back()); refusal.refused()) {
            ShowRefusal(row, refusal.column, refusal.message);
            return 0;
        }
    }
    RebuildWarDat(rows, base.warDat);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        kalvor::infobase::SaveEmployeeFull(base, int(m_slot));
    } catch (const kalvor::db::DbError& error) {
        QApplication::restoreOverrideCursor();
        ShowEmployeeNotSaved(error, base, int(m_slot));
        return 0;
    }
    QApplication::restoreOverrideCursor();
    m_modified = false;
    return 1;
}

int CWorkerDatarchiveDlg::SingleSelectedRow() const
{
    const CCellRange selected = Grid()->GetSelectedCellRange();
    if (!selected.IsValid() || selected.minRow != selected.maxRow || selected.minRow < Grid()->GetFixedRowCount())
        return -1;
    return selected.minRow;
}

void CWorkerDatarchiveDlg::InsertEmptyRow(int before)
{
    CFldHlpGridCtrl* grid = Grid();
    // The block holds no more entries than this; a row beyond them would be lost.
    if (grid->GetRowCount() - grid->GetFixedRowCount() >= WarDatBlock::Capacity)
        return;
    const int row = AppendEntryRow(QStringList(), before);
    grid->SetItemData(row, 0, kTypedAnew);
    grid->SetSelectedRange(row, 0, row, kWarDatColumns - 1);
    grid->SetFocusCell(row, 0);
    grid->Refresh();
    grid->setFocus();
    EmployeeDlgOnGridSelChanged(*this, row, 0);
    m_modified = true;
}

void CWorkerDatarchiveDlg::OnInsertBefore()
{
    if (m_slot == 0)
        return;
    InsertEmptyRow(SingleSelectedRow());
}

void CWorkerDatarchiveDlg::OnInsertAfter()
{
    if (m_slot == 0)
        return;
    const int selected = SingleSelectedRow();
    const bool last = selected < 0 || selected == Grid()->GetRowCount() - 1;
    InsertEmptyRow(last ? -1 : selected + 1);
}

void CWorkerDatarchiveDlg::OnDeleteRow()
{
    const int selected = SingleSelectedRow();
    if (selected < 0)
        return;
    CFldHlpGridCtrl* grid = Grid();
    grid->DeleteRow(selected);
    grid->SetFocusCell(-1, -1);
    grid->Refresh();
    m_modified = true;
}

bool CWorkerDatarchiveDlg::GiveUpUnfinishedRows()
{
    CFldHlpGridCtrl* grid = Grid();
    bool givenUp = false;
    for (int row = grid->GetRowCount() - 1; row >= grid->GetFixedRowCount(); --row)
        if (grid->GetItemData(row, 0) == kTypedAnew && IsUnfinishedWarDatRow(RowCells(row))) {
            grid->DeleteRow(row);
            givenUp = true;
        }
    if (givenUp) {
        grid->SetFocusCell(-1, -1);
        grid->Refresh();
    }
    return givenUp;
}

void CWorkerDatarchiveDlg::OnCancel()
{
    // The grid shows what Esc stores: a row typed anew that is no entry yet
    // goes first, and this Esc ends there.
    if (GiveUpUnfinishedRows())
        return;
    if (!SaveRecord())
        return;
    Grid()->DeleteNonFixedRows();
    Grid()->Refresh();
    // The emptied grid is no longer this employee's archive: nothing more is
    // saved from it until an employee is shown again.
    CFormChildDlg::LoadRecord(0);
    CEmployeeDetailDlg::OnCancel();
}

void CWorkerDatarchiveDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        OnCancel();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return; // Enter does nothing here
    CEmployeeDetailDlg::keyPressEvent(event);
}
