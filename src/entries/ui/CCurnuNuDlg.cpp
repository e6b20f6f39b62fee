#include "entries/ui/CCurnuNuDlg.h"

#include "grid/FldHlpGridCtrl.h"
#include "payroll/CalcErrors.h"
#include "platform/Db.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/WaitCursor.h"

#include <QKeyEvent>
#include <QPushButton>

namespace ib = kalvor::infobase;
namespace en = kalvor::entries;

namespace {

QString TooManyRowsText() { return kalvor::CalcErrorText(kalvor::kCalcTooManyRows); }

} // namespace

CCurnuNuDlg::CCurnuNuDlg(CCommonFormView* view) : CEmployeeDetailDlg(IDD, IdGrid, view)
{
    setObjectName(QStringLiteral("CCurnuNuDlg"));
    setFixedSize(730, 442);
    auto* add = new QPushButton(QStringLiteral("Добавить начисление/удержание"), this);
    auto* remove = new QPushButton(QStringLiteral("Удалить начисление/удержание"), this);
    add->setGeometry(0, 0, 240, 28);
    remove->setGeometry(246, 0, 240, 28);
    add->setAutoDefault(false);
    remove->setAutoDefault(false);
    SetControl(IdAdd, add);
    SetControl(IdDelete, remove);
    Grid()->Create(QRect(0, 34, 730, 408), this, IdGrid);
    SetupGrid({QStringLiteral("Месяц"), QStringLiteral("Код"), QStringLiteral("Сумма"),
               QStringLiteral("Время\n(в днях)"), QStringLiteral("Время\n(в часах)"), QStringLiteral("ШПЗ"),
               QStringLiteral("Цех")},
              {0.08, 0.08, 0.17, 0.15, 0.15, 0.20}, QStringLiteral("Месяц"));
    connect(add, &QPushButton::clicked, this, &CCurnuNuDlg::OnAddRow);
    connect(remove, &QPushButton::clicked, this, [this] { EmployeeDlgDeleteRow(*this); });
}

void CCurnuNuDlg::LoadRecord(quint32 slot)
{
    CFormChildDlg::LoadRecord(slot);
    m_groupMode = false;
    m_modified = false;
    if (slot == 0) {
        FillGrid({});
        return;
    }
    const ib::CInfoBase& base = View()->Document()->infoBase;
    if (auto* view = qobject_cast<CEmployeeDetailView*>(View()))
        view->SetTitle(QStringLiteral("Начисления / Удержания  [%1]").arg(base.shortNames[std::size_t(slot - 1)]));
    FillGrid(en::CurrentRows(base.current, base.attributes[std::size_t(slot - 1)]));
}

int CCurnuNuDlg::SaveRecord()
{
    ib::CInfoBase& base = View()->Document()->infoBase;
    if (m_slot == 0 || m_groupMode || base.currentSlot != int(m_slot))
        return 1;
    if (RefuseUnreadAmounts({{en::kCurnuSumColumn, "Сумма"}}))
        return 0;
    en::RowStore store;
    try {
        WaitCursor wait;
        store = en::StoreCurrentRows(base, int(m_slot), ReadGridRows());
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        return 0;
    }
    if (store.placement != en::RowPlacement::Fits) {
        KalvorMessageBox(TooManyRowsText(), MB_OK | MB_ICONERROR, QString(), this);
        return 0;
    }
    m_modified = false;
    if (store.written)
        FillGrid(en::CurrentRows(base.current, base.attributes[std::size_t(m_slot - 1)]));
    return 1;
}

int CCurnuNuDlg::GroupAppend()
{
    m_skipped.clear();
    const int result = CEmployeeDetailDlg::GroupAppend();
    if (!m_skipped.isEmpty())
        KalvorMessageBox(TooManyRowsText() + QStringLiteral(".\nЗапись не добавлена:\n") +
                             m_skipped.join(QLatin1Char('\n')),
                         MB_OK | MB_ICONWARNING, QString(), this);
    m_skipped.clear();
    return result;
}

void CCurnuNuDlg::OnAddRow()
{
    CFldHlpGridCtrl* grid = Grid();
    if (grid->GetRowCount() - grid->GetFixedRowCount() >= en::kCurnuMaxRows)
        return;
    const int row = AppendDataRow(QStringList());
    grid->SelectNewRow(row);
    EmployeeDlgOnGridSelChanged(*this, row, 0);
}

en::ProizvRows CCurnuNuDlg::ReadGridRows() const
{
    en::ProizvRows rows;
    for (int row = Grid()->GetFixedRowCount(); row < Grid()->GetRowCount(); ++row)
        rows.push_back(en::ReadProizvRow(RowCells(row)));
    return rows;
}

void CCurnuNuDlg::FillGrid(const en::ProizvRows& rows)
{
    Grid()->DeleteNonFixedRows();
    for (const ib::ProizvRow& row : rows) AppendDataRow(en::ShowProizvRow(row));
    FitLastColumn();
}

int CCurnuNuDlg::AppendDataRow(const QStringList& texts) { return AppendRow(texts, HeaderHeight() / 2); }

void CCurnuNuDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && !m_groupMode && !SaveRecord())
        return;
    CEmployeeDetailDlg::keyPressEvent(event);
}

// ------------------------------------------------------------------ group operations

bool CCurnuNuDlg::ReadEnteredRow()
{
    const int row = Grid()->GetFixedRowCount();
    if (RefuseUnreadAmounts({{en::kCurnuSumColumn, "Сумма"}}, row, row))
        return false;
    m_entered = en::ReadProizvRow(RowCells(Grid()->GetFixedRowCount()));
    return true;
}

en::ProizvRows CCurnuNuDlg::MemberRows(const ib::EmployeeRecord& rec) const
{
    const ib::CInfoBase& base = View()->Document()->infoBase;
    return en::CurrentRows(rec, base.attributes[std::size_t(base.currentSlot - 1)]);
}

bool CCurnuNuDlg::StoreMember(const en::ProizvRows& rows)
{
    ib::CInfoBase& base = View()->Document()->infoBase;
    try {
        WaitCursor wait;
        return en::StoreCurrentRows(base, base.currentSlot, rows).placement == en::RowPlacement::Fits;
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        return true;
    }
}

bool CCurnuNuDlg::AppendEntered(ib::EmployeeRecord& rec)
{
    if (!StoreMember(en::RowsWithModelFirst(MemberRows(rec), m_entered))) {
        const ib::CInfoBase& base = View()->Document()->infoBase;
        m_skipped << base.shortNames[std::size_t(base.currentSlot - 1)];
    }
    return false;
}

int CCurnuNuDlg::MatchEntered(const ib::EmployeeRecord& rec) const
{
    return en::FirstMatchingRow(MemberRows(rec), m_entered);
}

bool CCurnuNuDlg::DeleteMatched(ib::EmployeeRecord& rec, int index)
{
    en::ProizvRows rows = MemberRows(rec);
    if (index >= 0 && index < int(rows.size())) {
        rows.erase(rows.begin() + index);
        StoreMember(rows);
    }
    return false;
}

bool CCurnuNuDlg::CorrectMatched(ib::EmployeeRecord& rec, int index)
{
    const en::ProizvRows rows = MemberRows(rec);
    if (index >= 0 && index < int(rows.size()))
        StoreMember(en::RowsWithCorrected(rows, index, m_entered));
    return false;
}
