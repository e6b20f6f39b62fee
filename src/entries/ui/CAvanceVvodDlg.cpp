#include "entries/ui/CAvanceVvodDlg.h"

#include "entries/AdvanceEntry.h"
#include "grid/FldHlpGridCtrl.h"
#include "payroll/ui/CCalcPlatVedDlg.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EntryGrid.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TypedInput.h"
#include "values/CScan.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

namespace {

constexpr int kNameColumn = 0;
constexpr int kNumberColumn = 1;
constexpr int kAdvanceColumn = 2;

} // namespace

CAvanceVvodDlg::CAvanceVvodDlg(CCommonFormView* view) : CFormChildDlg(375, view)
{
    setObjectName(QStringLiteral("CAvanceVvodDlg"));
    setFixedSize(560, 440);
    m_grid = SetupEntryGrid(this, IdGrid, QRect(0, 0, 560, 400));
    // An advance larger than the month's pay is asked about; the total
    // follows the cells as they are typed.
    connect(m_grid, &CGridCtrl::gridNotify, this, [this](GridNotifyInfo* info, long*) {
        if (info->hdr.code != GridCtrl::NotifyEndLabelEdit)
            return;
        if (info->iColumn == kAdvanceColumn)
            AskAboutAdvance(info->iRow);
        ShowTotal();
    });
    auto* label = new QLabel(QStringLiteral("К выдаче"), this);
    label->setGeometry(300, 410, 80, 24);
    m_total = ShownValueEdit(this);
    m_total->setGeometry(390, 408, 170, 26);
    m_total->setAlignment(Qt::AlignRight);
    label->setBuddy(m_total);
    SetControl(IdTotal, m_total);
    SetupGrid();
}

void CAvanceVvodDlg::SetupGrid()
{
    m_grid->SetEditable(true);
    m_grid->SetListMode(false);
    m_grid->SetFixedRowCount(1);
    m_grid->SetFixedColumnCount(0);
    m_grid->DeclareColumns({ShownColumn(QStringLiteral("Фамилия И.О.")), ShownColumn(QStringLiteral("Табельный номер")),
                            FigureColumn(QStringLiteral("Величина аванса"), kalvor::AmountFigure())});
    m_grid->SetRowCount(1);
    const int width = m_grid->width();
    m_grid->SetColumnWidth(kNameColumn, int(std::ceil(width * 0.4 - 0.5)));
    m_grid->SetColumnWidth(kNumberColumn, int(std::ceil(width * 0.25 - 0.5)));
    for (int column : {kNameColumn, kNumberColumn, kAdvanceColumn})
        m_grid->SetItemText(0, column, m_grid->DeclaredColumn(column)->title);
    m_grid->FitLastColumnToView();
}

void CAvanceVvodDlg::SetSelection(int shop, int brigade, int profession)
{
    CFormChildDlg::SetSelection(shop, brigade, profession);
    m_grid->DeleteNonFixedRows();
    const CKalvorDoc& doc = *View()->Document();
    const auto& base = doc.infoBase;
    std::vector<int> shown;
    for (int index = 0; index < base.employeeCount(); ++index)
        if (EmployeeMatchesFilter(index, shop, brigade, profession) && kalvor::AdvanceShown(doc, index))
            shown.push_back(index);
    for (const int index : shown) {
        const auto& entry = base.list[std::size_t(index)];
        const std::size_t slot = entry.slot;
        PaySheetRow rec;
        rec.tabN = entry.tabN();
        rec.name = base.holdsSlot(slot) ? base.shortNameOf(slot) : QString();
        rec.amount = base.holdsSlot(slot) ? base.avOf(slot) : 0.0;
        const int row = m_grid->InsertRow(QString());
        FillPaySheetRow(m_grid, row, rec);
        for (int column : {kNameColumn, kNumberColumn})
            m_grid->SetItemState(row, column, m_grid->GetItemState(row, column) | GridCtrl::CellReadOnly);
    }
    // The advance column takes the width that the rows leave.
    m_grid->FitLastColumnToView();
    m_grid->Refresh();
    ShowTotal();
}

void CAvanceVvodDlg::ShowTotal()
{
    const auto& base = View()->Document()->infoBase;
    std::vector<double> advances;
    // A cell that does not read counts the stored advance, as the save keeps it.
    for (const ShownAdvance& shown : ShownAdvances()) advances.push_back(shown.kopecks.value_or(base.avOf(shown.slot)));
    m_total->setText(kalvor::FormatFixed(kalvor::AdvanceTotal(*View()->Document(), advances) / 100, 2));
}

void CAvanceVvodDlg::AskAboutAdvance(int row)
{
    const std::vector<ShownAdvance> shown = ShownAdvances();
    const int index = row - m_grid->GetFixedRowCount();
    if (index < 0 || index >= int(shown.size()) || !shown[std::size_t(index)].kopecks)
        return;
    const ShownAdvance& advance = shown[std::size_t(index)];
    CKalvorDoc& doc = *View()->Document();
    const int slot = int(advance.slot);
    const double stored = doc.infoBase.avOf(slot);
    if (*advance.kopecks == stored)
        return;
    const QString question = kalvor::AdvanceAboveMonthPayQuestion(doc, slot, *advance.kopecks);
    if (question.isEmpty() || KalvorMessageBox(question, MB_YESNO | MB_ICONQUESTION, QString(), this) == IDYES)
        return;
    // Not taken: the cell shows the stored advance again.
    m_grid->SetItemText(row, kAdvanceColumn, kalvor::FormatMoney(stored));
    m_grid->RedrawCell(row, kAdvanceColumn);
}

int CAvanceVvodDlg::SaveRecord()
{
    auto& base = View()->Document()->infoBase;
    // A refused advance being corrected keeps every stored advance (its refusal was said).
    if (m_grid->RefusalPending())
        return 0;
    for (const ShownAdvance& shown : ShownAdvances())
        if (shown.kopecks && *shown.kopecks != base.avOf(shown.slot)) {
            base.avOf(shown.slot) = *shown.kopecks;
            m_modified = true;
        }
    return 1;
}

std::vector<CAvanceVvodDlg::ShownAdvance> CAvanceVvodDlg::ShownAdvances() const
{
    const auto& base = View()->Document()->infoBase;
    const GridColumn* column = m_grid->DeclaredColumn(kAdvanceColumn);
    std::vector<ShownAdvance> shown;
    for (int row = 1; row < m_grid->GetRowCount(); ++row) {
        int number = 0;
        const int index =
            kalvor::ScanInt(m_grid->GetItemText(row, kNumberColumn), number) ? base.FindEmployee(number) : -1;
        if (index < 0)
            break;
        // The advance as its column reads it (kopecks).
        shown.push_back({base.list[std::size_t(index)].slot,
                         column ? GridCellUnits(*column, m_grid->GetItemText(row, kAdvanceColumn)) : std::nullopt});
    }
    return shown;
}

void CAvanceVvodDlg::OnCancel() { FocusStrip(); }

void CAvanceVvodDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        OnCancel();
        return;
    }
    CFormChildDlg::keyPressEvent(event);
}
