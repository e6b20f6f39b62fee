#include "entries/ui/CPaymentCorrectionDlg.h"

#include "grid/FldHlpGridCtrl.h"
#include "grid/GridCell.h"
#include "platform/Db.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EntryGrid.h"
#include "shell/ui/EntryViewBodies.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TypedInput.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

namespace en = kalvor::entries;

namespace {

constexpr int kGridWidth = kEntryDialogRoom;
constexpr int kGridHeight = 400;

// The columns' shares of the grid's width; "Сумма" takes the rest.
constexpr double kColumnShares[] = {0.28, 0.14, 0.11, 0.11, 0.08, 0.08};

} // namespace

CPaymentCorrectionDlg::CPaymentCorrectionDlg(const Controls& controls, en::PaymentLines lines, CCommonFormView* view)
    : CFormChildDlg(controls.dialog, view), m_lines(lines)
{
    setFixedSize(kGridWidth, kGridHeight + 40);
    m_grid = SetupEntryGrid(this, controls.grid, QRect(0, 0, kGridWidth, kGridHeight));
    auto* label = new QLabel(QStringLiteral("К выдаче"), this);
    label->setGeometry(kGridWidth - 260, kGridHeight + 10, 80, 24);
    m_total = ShownValueEdit(this);
    m_total->setGeometry(kGridWidth - 170, kGridHeight + 8, 170, 26);
    m_total->setAlignment(Qt::AlignRight);
    label->setBuddy(m_total);
    SetControl(controls.total, m_total);
    SetupGrid();
}

void CPaymentCorrectionDlg::SetupGrid()
{
    m_grid->SetEditable(true);
    m_grid->SetListMode(false);
    m_grid->SetFixedRowCount(1);
    m_grid->SetFixedColumnCount(0);
    // Only the amount is typed; the other columns show the line.
    const en::PaymentRowTexts headings = en::PaymentHeadings(m_lines);
    std::vector<GridColumn> columns;
    for (int column = 0; column < en::PaymentColumnCount; ++column)
        columns.push_back(column == en::PaymentAmount
                              ? FigureColumn(headings[std::size_t(column)], en::kPaymentAmountRule)
                              : ShownColumn(headings[std::size_t(column)]));
    m_grid->DeclareColumns(columns);
    m_grid->SetRowCount(1);
    const int width = m_grid->width();
    for (int column = 0; column < en::PaymentAmount; ++column)
        m_grid->SetColumnWidth(column, int(std::ceil(width * kColumnShares[column] - 0.5)));
    FitAmountColumn();
    for (int column = 0; column < en::PaymentColumnCount; ++column) {
        m_grid->SetItemText(0, column, headings[std::size_t(column)]);
        m_grid->SetItemFormat(0, column, GridCtrl::DT_LEFT | GridCtrl::DT_VCENTER | GridCtrl::DT_WORDBREAK);
    }
    // The heading row is as high as the two lines of "Табельный\nномер".
    if (CGridCellBase* cell = m_grid->GetCell(0, en::PaymentTabN))
        m_grid->SetRowHeight(0, cell->GetTextExtent(headings[en::PaymentTabN]).height() + 1);
}

void CPaymentCorrectionDlg::FitAmountColumn()
{
    m_grid->SetColumnWidth(en::PaymentAmount, 5);
    m_grid->ExpandLastColumn();
}

void CPaymentCorrectionDlg::showEvent(QShowEvent* event)
{
    CFormChildDlg::showEvent(event);
    // The grid knows its client width once it is laid out.
    FitAmountColumn();
}

void CPaymentCorrectionDlg::SetSelection(int shop, int brigade, int profession)
{
    CFormChildDlg::SetSelection(shop, brigade, profession);
    m_grid->DeleteNonFixedRows();
    const CKalvorDoc& doc = *View()->Document();
    std::vector<int> chosen;
    for (int index = 0; index < doc.infoBase.employeeCount(); ++index)
        if (EmployeeMatchesFilter(index, shop, brigade, profession))
            chosen.push_back(index);
    const en::PaymentListing listing = en::ListPaymentLines(doc, m_lines, chosen);
    for (const en::PaymentRowTexts& texts : listing.rows) {
        const int row = m_grid->InsertRow(QString());
        for (int column = 0; column < en::PaymentColumnCount; ++column) {
            m_grid->SetItemText(row, column, texts[std::size_t(column)]);
            if (column != en::PaymentAmount)
                m_grid->SetItemState(row, column, m_grid->GetItemState(row, column) | GridCtrl::CellReadOnly);
        }
    }
    FitAmountColumn();
    m_grid->Refresh();
    m_total->setText(kalvor::FormatFixed(listing.total / 100, 2));
}

QStringList CPaymentCorrectionDlg::ColumnTexts(int column) const
{
    QStringList texts;
    for (int row = m_grid->GetFixedRowCount(); row < m_grid->GetRowCount(); ++row)
        texts << m_grid->GetItemText(row, column);
    return texts;
}

int CPaymentCorrectionDlg::SaveRecord()
{
    auto& base = View()->Document()->infoBase;
    // An amount its column refuses keeps every stored amount.
    m_lineMissing = false;
    const GridColumn* amount = m_grid->DeclaredColumn(en::PaymentAmount);
    for (int row = m_grid->GetFixedRowCount(); amount && row < m_grid->GetRowCount(); ++row) {
        const QString refusal = ReadGridCell(*amount, m_grid->GetItemText(row, en::PaymentAmount)).refusal;
        if (!refusal.isEmpty()) {
            KalvorMessageBox(refusal, MB_OK | MB_ICONERROR, QString(), this);
            m_grid->SetFocusCell(row, en::PaymentAmount);
            m_grid->setFocus();
            return 0;
        }
    }
    const en::PaymentReadBack read =
        en::ReadPaymentAmounts(base, m_lines, ColumnTexts(en::PaymentTabN), ColumnTexts(en::PaymentAmount));
    m_lineMissing = !read.allFound;
    if (m_lineMissing)
        return 0;
    m_modified = m_modified || read.changed;
    if (m_modified && !SaveLinesShowingErrors())
        return 0;
    m_modified = false;
    return 1;
}

bool CPaymentCorrectionDlg::SaveLinesShowingErrors()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        en::SavePaymentLines(View()->Document()->infoBase, m_lines);
    } catch (const kalvor::db::DbError& error) {
        QApplication::restoreOverrideCursor();
        ShowComError(error);
        return false;
    }
    QApplication::restoreOverrideCursor();
    return true;
}

void CPaymentCorrectionDlg::OnCancel() { FocusStrip(); }

void CPaymentCorrectionDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape: OnCancel(); return;
    case Qt::Key_Return:
    case Qt::Key_Enter: return;
    default: CFormChildDlg::keyPressEvent(event);
    }
}
