#include "entries/ui/CRowListDlg.h"

#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"

#include <QPushButton>

#include <algorithm>

namespace ib = kalvor::infobase;

CRowListDlgBase::CRowListDlgBase(int dialogId, int gridId, CCommonFormView* view, RowListForm form)
    : CEmployeeDetailDlg(dialogId, gridId, view), m_form(std::move(form))
{
    setFixedSize(m_form.width, 442);
    auto* add = new QPushButton(m_form.addText, this);
    auto* remove = new QPushButton(m_form.deleteText, this);
    add->setGeometry(0, 0, m_form.buttonWidth, 28);
    remove->setGeometry(m_form.buttonWidth + 6, 0, m_form.buttonWidth, 28);
    add->setAutoDefault(false);
    remove->setAutoDefault(false);
    SetControl(IdAdd, add);
    SetControl(IdDelete, remove);
    Grid()->Create(QRect(0, 34, m_form.width, 408), this, gridId);
    SetupGrid(m_form.columns, m_form.shares, m_form.headerSample);
    connect(add, &QPushButton::clicked, this, &CRowListDlgBase::OnAddRow);
    connect(remove, &QPushButton::clicked, this, [this] { EmployeeDlgDeleteRow(*this); });
}

ib::CInfoBase& CRowListDlgBase::Base() const { return View()->Document()->infoBase; }

int CRowListDlgBase::AppendDataRow(const QStringList& texts)
{
    return AppendRow(texts, m_form.halfHeightRows ? HeaderHeight() / 2 : HeaderHeight());
}

bool CRowListDlgBase::BeginLoad(quint32 slot)
{
    CFormChildDlg::LoadRecord(slot);
    m_groupMode = false;
    m_modified = false;
    if (slot == 0) {
        Grid()->DeleteNonFixedRows();
        FitLastColumn();
        return false;
    }
    if (auto* view = qobject_cast<CEmployeeDetailView*>(View()))
        view->SetTitle(m_form.frameTitle.arg(Base().shortNameOf(slot)));
    return true;
}

bool CRowListDlgBase::ShownRowsToStore() const
{
    return m_slot != 0 && !m_groupMode && Base().currentSlot == int(m_slot);
}

bool CRowListDlgBase::ShowsEmptyRow() const
{
    for (int row = Grid()->GetFixedRowCount(); row < Grid()->GetRowCount(); ++row) {
        const QStringList cells = RowCells(row);
        if (std::all_of(cells.cbegin(), cells.cend(), [](const QString& cell) { return cell.trimmed().isEmpty(); }))
            return true;
    }
    return false;
}

void CRowListDlgBase::SkipMember() { m_skipped << Base().shortNameOf(Base().currentSlot); }

void CRowListDlgBase::RefuseTooManyRows()
{
    KalvorMessageBox(m_form.tooManyRows, MB_OK | MB_ICONERROR, QString(), this);
}

int CRowListDlgBase::GroupAppend()
{
    m_skipped.clear();
    const int result = CEmployeeDetailDlg::GroupAppend();
    if (!m_skipped.isEmpty())
        KalvorMessageBox(m_form.tooManyRows + QStringLiteral(".\nЗапись не добавлена:\n") +
                             m_skipped.join(QLatin1Char('\n')),
                         MB_OK | MB_ICONWARNING, QString(), this);
    m_skipped.clear();
    return result;
}

void CRowListDlgBase::OnAddRow()
{
    CFldHlpGridCtrl* grid = Grid();
    if (grid->GetRowCount() - grid->GetFixedRowCount() >= m_form.maxRows)
        return;
    const int row = AppendDataRow(QStringList());
    grid->SelectNewRow(row);
    EmployeeDlgOnGridSelChanged(*this, row, 0);
}
