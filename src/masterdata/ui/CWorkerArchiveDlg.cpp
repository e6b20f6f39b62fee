#include "masterdata/ui/CWorkerArchiveDlg.h"

#include "grid/FldHlpGridCtrl.h"
#include "infobase/InfoBase.h"
#include "infobase/PayKindCodes.h"
#include "masterdata/EmployeeDetailRows.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/EntryViewBodies.h"

using namespace kalvor::masterdata;
using kalvor::infobase::EmployeeRecord;
using kalvor::infobase::u16;
using kalvor::infobase::WariaEntry;

CWorkerArchiveDlg::CWorkerArchiveDlg(CCommonFormView* view) : CEmployeeDetailDlg(448, IdGrid, view)
{
    setObjectName(QStringLiteral("CWorkerArchiveDlg"));
    setFixedSize(kEntryDialogRoom, 442);
    Grid()->Create(QRect(0, 0, kEntryDialogRoom, 442), this, IdGrid);
    // The hours carry their minutes as typed; what they give is then read by
    // the entry's rule, which keeps no minutes past its largest hour.
    GridColumn hours = CarriedHoursColumn(WariaColumnTitle(kWariaHoursColumn), kWariaMaxHours);
    hours.rowRefusal = [name = hours.Name()](int, const QString& read) {
        return kalvor::ReadFigure(name, WariaColumnRule(kWariaHoursColumn), read).refusal;
    };
    SetupGrid({MonthColumn(WariaColumnTitle(0), kArchiveMonthYears),
               // Past months keep the codes of their time, whether the book still holds them or not.
               FigureColumn(WariaColumnTitle(1), WariaColumnRule(1)),
               FigureColumn(WariaColumnTitle(2), WariaColumnRule(2)),
               FigureColumn(WariaColumnTitle(3), WariaColumnRule(3)), hours,
               MonthColumn(WariaColumnTitle(5), kArchivePaidMonthYears)},
              {0.09, 0.20, 0.19, 0.17, 0.17}, WariaColumnTitle(0));
}

void CWorkerArchiveDlg::FillGrid(const std::vector<WariaEntry>& entries)
{
    CFldHlpGridCtrl* grid = Grid();
    grid->SetRedraw(false);
    grid->DeleteNonFixedRows();
    const int height = HeaderHeight() / 2;
    for (const WariaEntry& entry : entries) {
        const int row = AppendRow(WariaRowTexts(entry), height);
        grid->SetItemFormat(row, 2, GridCtrl::DT_RIGHT | GridCtrl::DT_VCENTER | GridCtrl::DT_SINGLELINE);
        if (!kalvor::IsAccrualCode(entry.kod))
            for (int col = 0; col < kWariaColumns; ++col) grid->SetItemFgColour(row, col, kDeductionColour);
    }
    grid->SetColumnWidth(kWariaColumns - 1, 10);
    grid->SetRedraw(true, true);
    FitLastColumn();
}

void CWorkerArchiveDlg::LoadRecord(quint32 slot)
{
    CFormChildDlg::LoadRecord(slot);
    m_groupMode = false;
    m_modified = false;
    if (slot == 0) {
        FillGrid(std::vector<WariaEntry>(EmployeeRecord::ArchiveCapacity));
        return;
    }
    const auto& base = View()->Document()->infoBase;
    if (auto* view = qobject_cast<CEmployeeDetailView*>(View()))
        view->SetTitle(QStringLiteral("Архив [%1]").arg(base.shortNameOf(slot)));
    FillGrid(base.current.waria);
}

int CWorkerArchiveDlg::SaveRecord()
{
    auto& base = View()->Document()->infoBase;
    if (m_slot == 0 || m_groupMode || base.currentSlot != int(m_slot))
        return 1;
    EmployeeRecord& rec = base.current;
    const int first = Grid()->GetFixedRowCount();
    for (int i = 0; i < int(rec.waria.size()) && first + i < Grid()->GetRowCount(); ++i)
        m_modified |= ApplyWariaRow(RowCells(first + i), rec.waria[std::size_t(i)]);
    if (!m_modified)
        return 1;
    // The calculation walks the entries up to the count: entries typed after it count too.
    rec.warKv = u16(WariaCount(rec.waria));
    if (!SaveCurrentEmployee(int(m_slot)))
        return 0;
    m_modified = false;
    return 1;
}

bool CWorkerArchiveDlg::ReadEnteredRow()
{
    m_entered = RowCells(1);
    return true;
}

bool CWorkerArchiveDlg::AppendEntered(EmployeeRecord& rec)
{
    for (WariaEntry& entry : rec.waria)
        if (!entry.inUse()) {
            const bool changed = ApplyWariaRow(m_entered, entry);
            rec.warKv = u16(WariaCount(rec.waria));
            return changed;
        }
    return false;
}

int CWorkerArchiveDlg::MatchEntered(const EmployeeRecord& rec) const
{
    for (int i = 0; i < int(rec.waria.size()); ++i)
        if (WariaRowMatches(m_entered, rec.waria[std::size_t(i)]))
            return i;
    return -1;
}

bool CWorkerArchiveDlg::DeleteMatched(EmployeeRecord& rec, int index)
{
    rec.waria[std::size_t(index)] = WariaEntry{};
    rec.warKv = u16(WariaCount(rec.waria));
    return true;
}

bool CWorkerArchiveDlg::CorrectMatched(EmployeeRecord& rec, int index)
{
    if (index < 0 || index >= int(rec.waria.size()))
        return false;
    const bool changed = ApplyWariaRow(m_entered, rec.waria[std::size_t(index)]);
    rec.warKv = u16(WariaCount(rec.waria));
    return changed;
}
