#include "payroll/ui/CCalcLicSchetDlg.h"

#include "grid/FldHlpGridCtrl.h"
#include "grid/GridCell.h"
#include "payroll/MonthMoney.h"
#include "payroll/ui/PersonalAccount.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EntryGrid.h"
#include "shell/ui/TypedInput.h"
#include "values/RoundText.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

using namespace GridCtrl;

namespace {

// Narrow enough that the view stands whole beside the panels at 1024 pixels:
// a view wider than its room would scroll sideways as the focus moves.
constexpr int kDialogWidth = 580;
constexpr int kTotalStep = 195; // from one total to the next
constexpr int kGridHeight = 400;

QString TotalText(double kopecks) { return kalvor::FormatFixed(kopecks / 100, 2); }

// A pay kind's name stands whole: from the left of its cell, wrapped at its
// words, the row as high as the lines need.
constexpr unsigned kNameFormat = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;

// The height of a row whose name cell shows the text wrapped, at least the
// one-line height.
int NameRowHeight(CGridCtrl* grid, int row, int oneLine)
{
    CGridCellBase* cell = grid->GetCell(row, 0);
    const int margin = int(cell->GetMargin());
    const QFontMetrics metrics(cell->GetFontObject() ? *cell->GetFontObject() : grid->font());
    const QRect room(0, 0, grid->GetColumnWidth(0) - 2 * margin, 0x7FFF);
    const int lines = metrics.boundingRect(room, Qt::TextWordWrap, cell->GetText()).height();
    return std::max(oneLine, lines + 2 * margin);
}

} // namespace

CCalcLicSchetDlg::CCalcLicSchetDlg(CCommonFormView* view) : CFormChildDlg(386, view)
{
    setObjectName(QStringLiteral("CCalcLicSchetDlg"));
    setFixedSize(kDialogWidth, kGridHeight + 40);
    m_grid = new CFldHlpGridCtrl(this);
    m_grid->Create(QRect(0, 0, kDialogWidth, kGridHeight), this, IdGrid);
    SetControl(IdGrid, m_grid);
    m_accrued = AddTotal(IdAccrued, QStringLiteral("Начислено"), 0);
    m_deducted = AddTotal(IdDeducted, QStringLiteral("Удержано"), kTotalStep);
    m_toPay = AddTotal(IdToPay, QStringLiteral("К выдаче"), 2 * kTotalStep);
    SetupGrid();
    m_modified = false;
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

QLineEdit* CCalcLicSchetDlg::AddTotal(int id, const QString& label, int x)
{
    auto* caption = new QLabel(label, this);
    caption->setGeometry(x, kGridHeight + 10, 72, 24);
    auto* field = ShownValueEdit(this);
    field->setGeometry(x + 74, kGridHeight + 8, 110, 26);
    field->setAlignment(Qt::AlignRight);
    caption->setBuddy(field);
    SetControl(id, field);
    return field;
}

void CCalcLicSchetDlg::SetupGrid()
{
    CFldHlpGridCtrl* grid = m_grid;
    SetupResultListGrid(grid, kalvor::kPersonalAccountColumns);
    const int width = grid->width();
    // The pay kinds' names take what the numbers leave, so that a name is not
    // cut beside an empty column.
    const double shares[] = {0.50, 0.08, 0.08, 0.16, 0.08};
    for (int col = 0; col < 5; ++col) grid->SetColumnWidth(col, int(std::ceil(width * shares[col] - 0.5)));
    grid->SetColumnWidth(5, 5);
    const QStringList titles = {QStringLiteral("Вид начисления/удержания"),
                                QStringLiteral("Код"),
                                QStringLiteral("Месяц"),
                                QStringLiteral("Сумма"),
                                QStringLiteral("Дни"),
                                QStringLiteral("Часы")};
    for (int col = 0; col < titles.size(); ++col) {
        grid->SetItemText(0, col, titles[col]);
        grid->SetModified(0, col);
    }
    grid->FitLastColumnToView();
}

void CCalcLicSchetDlg::LoadRecord(quint32 slot)
{
    CFormChildDlg::LoadRecord(slot);
    if (slot == 0)
        return;
    CKalvorDoc* doc = View()->Document();
    const auto& base = doc->infoBase;
    ShowTitle(QStringLiteral("Лицевой счет [%1]").arg(base.shortNameOf(slot)));
    m_grid->SetRedraw(false);
    m_grid->DeleteNonFixedRows();
    for (const auto& row : base.current.rows) {
        if (row.isEmpty())
            continue;
        const int index = m_grid->InsertRow(QString());
        const QStringList texts = kalvor::PersonalAccountRowTexts(row, *doc);
        for (int col = 0; col < kalvor::kPersonalAccountColumns; ++col) {
            m_grid->SetItemText(index, col, texts[col]);
            if (kalvor::IsPersonalAccountDeduction(row))
                m_grid->SetItemFgColour(index, col, kalvor::kPersonalAccountDeductionColour);
            m_grid->SetModified(index, col);
        }
        m_grid->SetItemFormat(index, 0, kNameFormat);
        m_grid->SetRowHeight(index, NameRowHeight(m_grid, index, m_grid->GetRowHeight(0)));
    }
    // The rows of later months are listed with their month but are none of this month's money.
    const kalvor::MonthMoney money = kalvor::MonthMoneyOfRecord(base.current, 0);
    m_accrued->setText(TotalText(money.accrued));
    m_deducted->setText(TotalText(money.deducted));
    m_toPay->setText(TotalText(money.net()));
    m_grid->FitLastColumnToView();
    m_grid->SetRedraw(true, true);
    m_grid->Refresh();
}

void CCalcLicSchetDlg::keyPressEvent(QKeyEvent* event)
{
    if (!EscapeEmptiesGrid(event, *m_grid))
        CFormChildDlg::keyPressEvent(event);
}
