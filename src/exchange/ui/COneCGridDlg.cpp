#include "exchange/ui/COneCGridDlg.h"

#include "grid/GridCell.h"
#include "grid/GridCtrl.h"
#include "shell/ui/EntryGrid.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <cmath>

COneCGridDlg::COneCGridDlg(const QString& title, int gridId, QWidget* parent)
    : QDialog(parent), m_grid(new CGridCtrl(this))
{
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* rowButtons = new QHBoxLayout;
    auto* add =
        new QPushButton(style()->standardIcon(QStyle::SP_FileDialogNewFolder), QStringLiteral("Добавить строку"), this);
    auto* remove = new QPushButton(style()->standardIcon(QStyle::SP_TrashIcon), QStringLiteral("Удалить строку"), this);
    for (QPushButton* button : {add, remove}) {
        button->setAutoDefault(false);
        rowButtons->addWidget(button);
    }
    rowButtons->addStretch(1);
    layout->addLayout(rowButtons);
    layout->addWidget(m_grid, 1);
    SetControl(IdAdd, add);
    SetControl(IdDelete, remove);
    SetControl(gridId, m_grid);
    m_grid->SetDlgCtrlID(gridId);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("ОК"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    for (QPushButton* button : {ok, cancel}) button->setAutoDefault(false);
    SetControl(1, ok);
    SetControl(2, cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(add, &QPushButton::clicked, this, [this] { OnAddRow(); });
    connect(remove, &QPushButton::clicked, this, [this] { OnDeleteRow(); });
}

void COneCGridDlg::SetUpGridLook()
{
    m_grid->SetGridBkColor(GridCtrl::GetSysColour(GridCtrl::ColourButtonFace));
    SetGridDefaultMargins(m_grid);
    m_grid->SetListMode(true);
    const QFont bold = EntryScreenFont(true);
    const QFont normal = EntryScreenFont(false);
    for (bool fixedCol : {false, true}) {
        CGridDefaultCell* heading = m_grid->GetDefaultCell(true, fixedCol);
        heading->SetFont(&bold);
        heading->SetTextColour(GridCtrl::MakeColour(64, 0, 128));
        heading->SetBackColour(GridCtrl::MakeColour(155, 215, 255));
        heading->SetFormat(GridCtrl::DT_CENTER | GridCtrl::DT_VCENTER | GridCtrl::DT_WORDBREAK);
        CGridDefaultCell* cell = m_grid->GetDefaultCell(false, fixedCol);
        cell->SetFont(&normal);
        cell->SetFormat(GridCtrl::DT_VCENTER | GridCtrl::DT_SINGLELINE);
    }
}

int COneCGridDlg::ShareOfWidth(double fraction) const
{
    return int(std::ceil(m_grid->viewport()->width() * fraction - 0.5));
}

int COneCGridDlg::HeadingHeight(const QString& text) const
{
    CGridCellBase* cell = m_grid->GetCell(0, 0);
    return cell ? cell->GetTextExtent(text).height() + 1 : 0;
}

int COneCGridDlg::AppendRow()
{
    const int row = m_grid->InsertRow(QString());
    if (row >= 0)
        m_grid->SetRowHeight(row, m_grid->GetRowHeight(0));
    return row;
}

void COneCGridDlg::OnAddRow()
{
    if (m_grid->GetRowCount() - m_grid->GetFixedRowCount() >= kMaxDataRows)
        return;
    const int row = AppendRow();
    if (row < 0)
        return;
    m_grid->SelectNewRow(row);
}

int COneCGridDlg::OnDeleteRow()
{
    const CCellRange range = m_grid->GetSelectedCellRange();
    if (!m_grid->IsValid(range) || range.minRow < m_grid->GetFixedRowCount())
        return -1;
    const int row = range.minRow;
    m_grid->DeleteRow(row);
    m_grid->ResetSelectedRange();
    m_grid->Refresh();
    return row;
}

void COneCGridDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The grid has its real width only once the dialog is laid out.
    SpreadColumns();
    m_grid->Refresh();
}

void COneCGridDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    SpreadColumns();
}
