#include "payroll/ui/CCalcPlatVedDlg.h"

#include "grid/FldHlpGridCtrl.h"
#include "grid/GridCell.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EntryGrid.h"
#include "shell/ui/TypedInput.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

using namespace GridCtrl;

void FillPaySheetRow(CGridCtrl* grid, int row, const PaySheetRow& rec)
{
    grid->SetItemText(row, 0, rec.name.left(120));
    grid->SetModified(row, 0);
    grid->SetItemText(row, 1, rec.tabN == 0 ? QString() : QString::number(rec.tabN));
    grid->SetModified(row, 1);
    grid->SetItemText(row, 2, kalvor::FormatMoney(rec.amount));
    grid->SetModified(row, 2);
}

CCalcPlatVedDlg::CCalcPlatVedDlg(CCommonFormView* view) : CFormChildDlg(392, view)
{
    setObjectName(QStringLiteral("CCalcPlatVedDlg"));
    setFixedSize(560, 440);
    m_grid = new CFldHlpGridCtrl(this);
    m_grid->Create(QRect(0, 0, 560, 400), this, IdGrid);
    SetControl(IdGrid, m_grid);
    auto* label = new QLabel(QStringLiteral("К выдаче"), this);
    label->setGeometry(300, 410, 80, 24);
    m_total = ShownValueEdit(this);
    m_total->setGeometry(390, 408, 170, 26);
    m_total->setAlignment(Qt::AlignRight);
    label->setBuddy(m_total);
    SetControl(IdTotal, m_total);
    SetupGrid();
    // The sheet shows the month's amounts to pay: when the month changes, a
    // filled sheet is filled again for the same selection from what the new
    // month holds, and an empty one loses the old total.
    if (CKalvorDoc* doc = view ? view->Document() : nullptr)
        connect(doc, &CKalvorDoc::reportingMonthChanged, this, [this] {
            if (m_grid->GetRowCount() > m_grid->GetFixedRowCount())
                SetSelection(m_shop, m_brigade, m_third);
            else
                m_total->clear();
        });
    // The selected cell becomes the view's focused field (its field help reads it).
    connect(m_grid, &CGridCtrl::gridNotify, this, [this](GridNotifyInfo* info, long* result) {
        *result = 0;
        if (info->hdr.code != NotifySelChanged || !View())
            return;
        View()->m_focusedId = IdGrid;
        View()->m_focusedWnd = m_grid;
        View()->m_focusedGrid = m_grid;
        View()->m_gridRow = info->iRow;
        View()->m_gridCol = info->iColumn;
    });
}

void CCalcPlatVedDlg::SetupGrid()
{
    CFldHlpGridCtrl* grid = m_grid;
    SetupResultListGrid(grid, 3);
    const int width = grid->width();
    grid->SetColumnWidth(0, int(std::ceil(width * 0.4 - 0.5)));
    grid->SetColumnWidth(1, int(std::ceil(width * 0.25 - 0.5)));
    grid->SetItemText(0, 0, QStringLiteral("Фамилия И.О."));
    grid->SetItemText(0, 1, QStringLiteral("Табельный номер"));
    grid->SetItemText(0, 2, QStringLiteral("Сумма к выдаче"));
    grid->FitLastColumnToView();
}

void CCalcPlatVedDlg::SetSelection(int shop, int brigade, int profession)
{
    CFormChildDlg::SetSelection(shop, brigade, profession);
    m_grid->DeleteNonFixedRows();
    double total = 0;
    const auto& base = View()->Document()->infoBase;
    for (int i = 0; i < base.employeeCount(); ++i) {
        if (!EmployeeMatchesFilter(i, shop, brigade, profession))
            continue;
        const auto& entry = base.list[std::size_t(i)];
        const std::size_t slot = entry.slot;
        PaySheetRow rec;
        rec.tabN = entry.tabN();
        rec.name = base.holdsSlot(slot) ? base.shortNameOf(slot) : QString();
        rec.amount = base.holdsSlot(slot) ? base.zar1Of(slot) : 0.0;
        const int row = m_grid->InsertRow(QString());
        m_grid->SetRowHeight(row, m_grid->GetRowHeight(0));
        FillPaySheetRow(m_grid, row, rec);
        total += rec.amount;
    }
    if (m_grid->GetColumnCount() > 2) {
        m_grid->FitLastColumnToView();
    }
    m_grid->Refresh();
    m_total->setText(kalvor::FormatFixed(total / 100, 2));
}

void CCalcPlatVedDlg::keyPressEvent(QKeyEvent* event)
{
    if (!EscapeEmptiesGrid(event, *m_grid))
        CFormChildDlg::keyPressEvent(event);
}
