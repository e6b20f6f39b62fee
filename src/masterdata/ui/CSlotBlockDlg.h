// The employee dialogs that edit a block of slots in a grid (tax deductions,
// permanent payments): one row per used slot, the add and delete buttons, the
// block rebuilt from the grid and compacted on saving, and the group
// operations on the slot that equals the entered row.
#pragma once

#include "grid/FldHlpGridCtrl.h"
#include "grid/GridCell.h"
#include "infobase/InfoBase.h"
#include "masterdata/EmployeeDetailRows.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/EmployeeScreen.h"
#include "shell/ui/EntryViewBodies.h"

#include <QLabel>
#include <QPushButton>

#include <array>

template <class Entry, std::size_t N>
class CSlotBlockDlg : public CEmployeeDetailDlg {
public:
    enum { IdAdd = 1060, IdDelete = 1061 };
    using Block = std::array<Entry, N>;

    struct Form {
        Block kalvor::infobase::EmployeeRecord::*block; // the record's block that the dialog edits
        int dialogId;
        int gridId;
        QString addText, deleteText;
        QString titleFormat; // caption of the view's group box with the employee's name
        std::vector<GridColumn> columns; // with what their cells take
        std::vector<double> shares;
        QString headerSample;
        int readOnlyColumn = -1;
        int width = kEntryDialogRoom; // of the dialog and its grid
        QString note; // a line under the grid, when given
    };

    CSlotBlockDlg(const Form& form, CCommonFormView* view)
        : CEmployeeDetailDlg(form.dialogId, form.gridId, view), m_form(form)
    {
        setFixedSize(form.width, 442);
        auto* add = new QPushButton(form.addText, this);
        auto* remove = new QPushButton(form.deleteText, this);
        add->setGeometry(0, 0, 180, 28);
        remove->setGeometry(186, 0, 180, 28);
        add->setAutoDefault(false);
        remove->setAutoDefault(false);
        SetControl(IdAdd, add);
        SetControl(IdDelete, remove);
        const int noteHeight = form.note.isEmpty() ? 0 : 20;
        Grid()->Create(QRect(0, 34, form.width, 408 - noteHeight), this, form.gridId);
        if (noteHeight != 0) {
            auto* note = new QLabel(form.note, this);
            note->setObjectName(QStringLiteral("note"));
            note->setGeometry(0, 442 - noteHeight, form.width, noteHeight);
        }
        SetupGrid(form.columns, form.shares, form.headerSample);
        QObject::connect(add, &QPushButton::clicked, this, [this] { OnAddRow(); });
        QObject::connect(remove, &QPushButton::clicked, this, [this] { EmployeeDlgDeleteRow(*this); });
    }

    void LoadRecord(quint32 slot) override
    {
        CFormChildDlg::LoadRecord(slot);
        m_groupMode = false;
        if (slot == 0) {
            FillGrid(Block{});
            return;
        }
        const auto& base = View()->Document()->infoBase;
        if (auto* view = qobject_cast<CEmployeeDetailView*>(View()))
            view->SetTitle(m_form.titleFormat.arg(base.shortNameOf(slot)));
        FillGrid(BlockOf(View()->Document()->infoBase.current));
    }

    // Reads the grid into the shown employee's block, compacts it and saves
    // the employee; 0 (after a message) when a row is refused or the base
    // fails, so that the caller keeps the employee.
    int SaveRecord() override
    {
        auto& base = View()->Document()->infoBase;
        if (m_slot == 0 || m_groupMode || base.currentSlot != int(m_slot))
            return 1;
        Block block{};
        if (!ReadGrid(block))
            return 0;
        kalvor::masterdata::CompactSlots(block);
        BlockOf(base.current) = block;
        m_modified = false;
        return SaveCurrentEmployee(int(m_slot)) ? 1 : 0;
    }

    // Button 1060: a new row while the grid has fewer than N.
    void OnAddRow()
    {
        CFldHlpGridCtrl* grid = Grid();
        if (grid->GetRowCount() - grid->GetFixedRowCount() >= int(N))
            return;
        const int row = AppendDataRow(QStringList());
        grid->SelectNewRow(row);
        EmployeeDlgOnGridSelChanged(*this, row, 0);
    }

protected:
    Block& BlockOf(kalvor::infobase::EmployeeRecord& rec) const { return rec.*m_form.block; }
    const Block& BlockOf(const kalvor::infobase::EmployeeRecord& rec) const { return rec.*m_form.block; }
    virtual QStringList RowTexts(const Entry& entry) const = 0;
    virtual kalvor::masterdata::RowRefusal ReadRow(const QStringList& cells, Entry& entry) const = 0;

    int AppendDataRow(const QStringList& texts)
    {
        const int row = AppendRow(texts, HeaderHeight() / 2);
        if (m_form.readOnlyColumn >= 0) {
            CFldHlpGridCtrl* grid = Grid();
            grid->SetItemState(row, m_form.readOnlyColumn,
                               grid->GetItemState(row, m_form.readOnlyColumn) | GridCtrl::CellReadOnly);
            grid->SetItemFormat(row, m_form.readOnlyColumn,
                                GridCtrl::DT_LEFT | GridCtrl::DT_VCENTER | GridCtrl::DT_SINGLELINE);
        }
        return row;
    }

    void FillGrid(const Block& block)
    {
        Grid()->DeleteNonFixedRows();
        for (const Entry& entry : block)
            if (entry.kod != 0)
                AppendDataRow(RowTexts(entry));
        FitLastColumn();
    }

    bool ReadGrid(Block& block)
    {
        int row = 0;
        const auto refusal = FirstRefusedRow(block, row);
        if (refusal.refused())
            ShowRefusal(row, refusal.column, refusal.message);
        return !refusal.refused();
    }
    // Reads the rows into the block up to the first that is refused: its
    // refusal (none when every row reads) and its grid row.
    kalvor::masterdata::RowRefusal FirstRefusedRow(Block& block, int& refusedRow) const
    {
        const int first = Grid()->GetFixedRowCount();
        for (int row = first; row < Grid()->GetRowCount() && row - first < int(N); ++row) {
            const auto refusal = ReadRow(RowCells(row), block[std::size_t(row - first)]);
            if (refusal.refused()) {
                refusedRow = row;
                return refusal;
            }
        }
        return {};
    }
    bool ShownRowsRead() const override
    {
        Block block{};
        int row = 0;
        return m_groupMode || !FirstRefusedRow(block, row).refused();
    }

    bool ReadEnteredRow() override
    {
        const auto refusal = ReadRow(RowCells(1), m_entered);
        if (refusal.refused()) {
            ShowRefusal(1, refusal.column, refusal.message);
            return false;
        }
        return true;
    }

    bool AppendEntered(kalvor::infobase::EmployeeRecord& rec) override
    {
        Block& block = BlockOf(rec);
        const Block before = block;
        if (const int free = kalvor::masterdata::FirstFreeSlot(block); free >= 0)
            block[std::size_t(free)] = m_entered;
        kalvor::masterdata::CompactSlots(block);
        return block != before;
    }

    int MatchEntered(const kalvor::infobase::EmployeeRecord& rec) const override
    {
        return kalvor::masterdata::FirstEqualSlot(BlockOf(rec), m_entered);
    }

    bool DeleteMatched(kalvor::infobase::EmployeeRecord& rec, int index) override
    {
        Block& block = BlockOf(rec);
        block[std::size_t(index)] = Entry{};
        kalvor::masterdata::CompactSlots(block);
        return true;
    }

    bool CorrectMatched(kalvor::infobase::EmployeeRecord& rec, int index) override
    {
        if (index < 0 || index >= int(N))
            return false;
        Block& block = BlockOf(rec);
        block[std::size_t(index)] = m_entered;
        kalvor::masterdata::CompactSlots(block);
        return true;
    }

    Form m_form;
    Entry m_entered{};
};
