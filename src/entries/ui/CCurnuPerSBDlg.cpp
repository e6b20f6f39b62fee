#include "entries/ui/CCurnuPerSBDlg.h"

#include "grid/FldHlpGridCtrl.h"
#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/WaitCursor.h"

#include <QPushButton>

namespace ib = kalvor::infobase;
namespace en = kalvor::entries;

CCurnuPerSBDlg::CCurnuPerSBDlg(CCommonFormView* view) : CEmployeeDetailDlg(IDD, IdGrid, view)
{
    setObjectName(QStringLiteral("CCurnuPerSBDlg"));
    setFixedSize(900, 442);
    auto* add = new QPushButton(QStringLiteral("Добавить перечисление"), this);
    auto* remove = new QPushButton(QStringLiteral("Удалить перечисление"), this);
    add->setGeometry(0, 0, 220, 28);
    remove->setGeometry(226, 0, 220, 28);
    add->setAutoDefault(false);
    remove->setAutoDefault(false);
    SetControl(IdAdd, add);
    SetControl(IdDelete, remove);
    Grid()->Create(QRect(0, 34, 900, 408), this, IdGrid);
    SetupGrid({QStringLiteral("Код"), QStringLiteral("Сумма"), QStringLiteral("Куда"), QStringLiteral("Филиал"),
               QStringLiteral("Лицевой счет"), QStringLiteral("Фамилия Имя Отчество")},
              {0.05, 0.10, 0.075, 0.10, 0.30}, QStringLiteral("Код"));
    connect(add, &QPushButton::clicked, this, &CCurnuPerSBDlg::OnAddRow);
    connect(remove, &QPushButton::clicked, this, [this] { EmployeeDlgDeleteRow(*this); });
}

void CCurnuPerSBDlg::LoadRecord(quint32 slot)
{
    CFormChildDlg::LoadRecord(slot);
    m_groupMode = false;
    if (slot == 0) {
        FillGrid({});
        return;
    }
    const ib::CInfoBase& base = View()->Document()->infoBase;
    if (auto* view = qobject_cast<CEmployeeDetailView*>(View()))
        view->SetTitle(QStringLiteral("Перечисления в банки [%1]").arg(base.shortNames[std::size_t(slot - 1)]));
    FillGrid(en::TransferRows(base.current, base.attributes[std::size_t(slot - 1)]));
}

bool CCurnuPerSBDlg::StoreRows(int slot, const en::SberRows& rows)
{
    ib::CInfoBase& base = View()->Document()->infoBase;
    en::PlaceTransfers(base.current, base.attributes[std::size_t(slot - 1)], rows);
    try {
        WaitCursor wait;
        en::StoreEmployeeDetail(base, slot, &ib::SaveSber);
        return true;
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        return false;
    }
}

int CCurnuPerSBDlg::SaveRecord()
{
    const ib::CInfoBase& base = View()->Document()->infoBase;
    if (m_slot == 0 || m_groupMode || base.currentSlot != int(m_slot))
        return 1;
    if (RefuseUnreadAmounts({{1, "Сумма"}}))
        return 0;
    if (!StoreRows(int(m_slot), ReadGridRows()))
        return 0;
    FillGrid(en::TransferRows(base.current, base.attributes[std::size_t(m_slot - 1)]));
    return 1;
}

int CCurnuPerSBDlg::GroupAppend()
{
    m_skipped.clear();
    const int result = CEmployeeDetailDlg::GroupAppend();
    if (!m_skipped.isEmpty())
        KalvorMessageBox(
            QStringLiteral("Количество перечислений больше %1.\nЗапись не добавлена:\n").arg(en::kMaxTransfers) +
                m_skipped.join(QLatin1Char('\n')),
            MB_OK | MB_ICONWARNING, QString(), this);
    m_skipped.clear();
    return result;
}

void CCurnuPerSBDlg::OnAddRow()
{
    CFldHlpGridCtrl* grid = Grid();
    if (grid->GetRowCount() - grid->GetFixedRowCount() >= en::kMaxTransfers)
        return;
    const int row = AppendRow(QStringList(), HeaderHeight());
    grid->SelectNewRow(row);
    EmployeeDlgOnGridSelChanged(*this, row, 0);
}

en::SberRows CCurnuPerSBDlg::ReadGridRows() const
{
    en::SberRows rows;
    for (int row = Grid()->GetFixedRowCount(); row < Grid()->GetRowCount(); ++row)
        rows.push_back(en::ReadSberRow(RowCells(row)));
    return rows;
}

void CCurnuPerSBDlg::FillGrid(const en::SberRows& rows)
{
    Grid()->DeleteNonFixedRows();
    for (const ib::SberRow& row : rows) AppendRow(en::ShowSberRow(row), HeaderHeight());
    FitLastColumn();
}

// ------------------------------------------------------------------ group operations

bool CCurnuPerSBDlg::ReadEnteredRow()
{
    const int row = Grid()->GetFixedRowCount();
    if (RefuseUnreadAmounts({{1, "Сумма"}}, row, row))
        return false;
    m_entered = en::ReadSberRow(RowCells(Grid()->GetFixedRowCount()));
    return true;
}

en::SberRows CCurnuPerSBDlg::MemberRows(const ib::EmployeeRecord& rec) const
{
    const ib::CInfoBase& base = View()->Document()->infoBase;
    return en::TransferRows(rec, base.attributes[std::size_t(base.currentSlot - 1)]);
}

bool CCurnuPerSBDlg::AppendEntered(ib::EmployeeRecord& rec)
{
    const ib::CInfoBase& base = View()->Document()->infoBase;
    en::SberRows rows = MemberRows(rec);
    if (int(rows.size()) >= en::kMaxTransfers) {
        m_skipped << base.shortNames[std::size_t(base.currentSlot - 1)];
        return false;
    }
    rows.push_back(m_entered);
    StoreRows(base.currentSlot, rows);
    return false;
}

int CCurnuPerSBDlg::MatchEntered(const ib::EmployeeRecord& rec) const
{
    return en::FirstMatchingTransfer(MemberRows(rec), m_entered);
}

bool CCurnuPerSBDlg::DeleteMatched(ib::EmployeeRecord& rec, int index)
{
    en::SberRows rows = MemberRows(rec);
    if (index >= 0 && index < int(rows.size())) {
        rows.erase(rows.begin() + index);
        StoreRows(View()->Document()->infoBase.currentSlot, rows);
    }
    return false;
}

bool CCurnuPerSBDlg::CorrectMatched(ib::EmployeeRecord& rec, int index)
{
    en::SberRows rows = MemberRows(rec);
    if (index >= 0 && index < int(rows.size())) {
        rows[std::size_t(index)] = m_entered;
        StoreRows(View()->Document()->infoBase.currentSlot, rows);
    }
    return false;
}
