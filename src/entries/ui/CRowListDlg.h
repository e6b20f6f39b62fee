// The entry dialogs that edit one list of an employee's rows in a grid, one
// grid row per row (the month's current accruals and deductions, the bank
// transfers): the add and delete buttons above the grid, the grid filled from
// the employee's rows and read back by the rows' rules, and the group
// operations on the row typed into the grid's first data row. Each screen
// gives its form and its rows' reading, showing, matching and storing.
#pragma once

#include "grid/FldHlpGridCtrl.h"
#include "infobase/InfoBase.h"
#include "shell/ui/EmployeeScreen.h"
#include "shell/ui/EntryViewBodies.h"

#include <QStringList>

#include <algorithm>
#include <vector>

// What a row-list dialog shows.
struct RowListForm {
    int width = 0; // of the dialog and of its grid
    QString addText, deleteText; // the buttons 1060 and 1061
    int buttonWidth = 0;
    std::vector<GridColumn> columns; // the grid's columns with what their cells take
    std::vector<double> shares; // their widths as shares of the grid's
    QString headerSample; // the heading the heading row's height fits
    int maxRows = 0; // "Добавить" adds no row beyond these
    bool halfHeightRows = false; // data rows half the heading's height
    QString frameTitle; // the view's frame caption, %1 the employee's short name
    QString tooManyRows; // why a member could not take the group's row
};

// The steps that do not depend on the kind of row.
class CRowListDlgBase : public CEmployeeDetailDlg {
public:
    enum { IdAdd = 1060, IdDelete = 1061 };

    CRowListDlgBase(int dialogId, int gridId, CCommonFormView* view, RowListForm form);

    // The group append; the members that cannot take another row are named
    // in one message at the end.
    int GroupAppend() override;
    // Button 1060: a new row, up to the form's maximum.
    void OnAddRow();

protected:
    kalvor::infobase::CInfoBase& Base() const;
    // Appends a data row of the form's height; its index.
    int AppendDataRow(const QStringList& texts);
    // Slot 0 empties the grid; another shows the employee's name in the
    // view's frame. False for slot 0.
    bool BeginLoad(quint32 slot);
    // Whether the rows shown are to be stored: an employee is shown outside
    // group mode.
    bool ShownRowsToStore() const;
    // Adds the walked member's name to those refused the group's row.
    void SkipMember();
    // Whether a data row shows nothing (emptied cell by cell, or added and
    // left so): Esc asks before such a row goes.
    bool ShowsEmptyRow() const;
    // The message that the rows shown do not fit.
    void RefuseTooManyRows();

    const RowListForm m_form;

private:
    QStringList m_skipped; // members the running group append could not give the row
};

// Why a row read from the grid cannot be stored: the message naming the
// column, and the column of the cell to correct; no message when it can.
struct RowListRefusal {
    int column = -1;
    QString message;
};

// The rules of a kind of row: the employee's rows of the record, a row read
// from a grid row's texts and shown as them, the first row that matches a
// model (-1 without one), the rows with the model added and with the row of
// an index corrected by it; and what refuses a row beyond its cells' kinds
// (none: every row that reads is stored).
template <class Row>
struct RowListRules {
    using Rows = std::vector<Row>;
    Rows (*rowsOf)(const kalvor::infobase::EmployeeRecord& rec, const kalvor::infobase::EmployeeAttributes& attr);
    Row (*read)(const QStringList& cells);
    QStringList (*show)(const Row& row);
    int (*firstMatching)(const Rows& rows, const Row& model);
    Rows (*withEntered)(const Rows& rows, const Row& model);
    Rows (*withCorrected)(const Rows& rows, int index, const Row& model);
    RowListRefusal (*refusal)(const Row& row) = nullptr;
};

// The rows with the model added last, and with the row of the index replaced.
template <class Row>
std::vector<Row> RowsWithLast(const std::vector<Row>& rows, const Row& model)
{
    std::vector<Row> with = rows;
    with.push_back(model);
    return with;
}
template <class Row>
std::vector<Row> RowsWithReplaced(const std::vector<Row>& rows, int index, const Row& model)
{
    std::vector<Row> with = rows;
    with[std::size_t(index)] = model;
    return with;
}

template <class Row>
class CRowListDlg : public CRowListDlgBase {
public:
    using Rows = std::vector<Row>;

    CRowListDlg(int dialogId, int gridId, CCommonFormView* view, RowListForm form, RowListRules<Row> rules)
        : CRowListDlgBase(dialogId, gridId, view, std::move(form)), m_rules(rules)
    {}

    // Slot 0 empties the grid; another shows the employee's rows and his name
    // in the view's frame.
    void LoadRecord(quint32 slot) override
    {
        if (BeginLoad(slot))
            FillGrid(m_rules.rowsOf(Base().current, Base().attributesOf(slot)));
    }
    // Writes the grid back. 0 keeps the employee: rows that do not fit or a
    // database failure (each shown).
    int SaveRecord() override
    {
        if (!ShownRowsToStore())
            return 1;
        const Rows rows = ReadGridRows();
        if (const int refused = FirstRefusedRow(rows); refused >= 0) {
            SayRefusal(refused, m_rules.refusal(rows[std::size_t(refused)]));
            return 0;
        }
        const RowsStored stored = Store(rows);
        if (stored.failed)
            return 0;
        if (!stored.fits) {
            RefuseTooManyRows();
            return 0;
        }
        m_modified = false;
        if (stored.written)
            FillGrid(m_rules.rowsOf(Base().current, Base().attributesOf(m_slot)));
        return 1;
    }
    // The grid's data rows read by the columns' rules.
    Rows ReadGridRows() const
    {
        Rows rows;
        for (int row = Grid()->GetFixedRowCount(); row < Grid()->GetRowCount(); ++row)
            rows.push_back(m_rules.read(RowCells(row)));
        return rows;
    }

protected:
    // What a store of the current employee's rows came to: they did not fit
    // (nothing changed), the base refused them (shown), or they are stored,
    // and whether anything was written.
    struct RowsStored {
        bool fits = true, failed = false, written = false;
    };
    // Stores the rows as the current employee's, under the wait cursor.
    virtual RowsStored Store(const Rows& rows) = 0;

    bool ReadEnteredRow() override
    {
        m_entered = m_rules.read(RowCells(Grid()->GetFixedRowCount()));
        if (const RowListRefusal refusal = Refusal(m_entered); !refusal.message.isEmpty()) {
            SayRefusal(0, refusal);
            return false;
        }
        return true;
    }
    bool ShownRowsRead() const override
    {
        return m_groupMode || (FirstRefusedRow(ReadGridRows()) < 0 && !ShowsEmptyRow());
    }
    // The group hooks make the member's new rows and return true when they
    // did; SaveMember stores them (rows and attributes in one transaction).
    bool AppendEntered(kalvor::infobase::EmployeeRecord& rec) override
    {
        m_memberRows = m_rules.withEntered(MemberRows(rec), m_entered);
        return true;
    }
    int MatchEntered(const kalvor::infobase::EmployeeRecord& rec) const override
    {
        return m_rules.firstMatching(MemberRows(rec), m_entered);
    }
    bool DeleteMatched(kalvor::infobase::EmployeeRecord& rec, int index) override
    {
        m_memberRows = MemberRows(rec);
        if (index < 0 || index >= int(m_memberRows.size()))
            return false;
        m_memberRows.erase(m_memberRows.begin() + index);
        return true;
    }
    bool CorrectMatched(kalvor::infobase::EmployeeRecord& rec, int index) override
    {
        const Rows rows = MemberRows(rec);
        if (index < 0 || index >= int(rows.size()))
            return false;
        m_memberRows = m_rules.withCorrected(rows, index, m_entered);
        return true;
    }
    // A member whose rows do not fit is named at the end of the group append
    // (a database failure is shown, and the member is not named).
    bool SaveMember(int slot) override
    {
        Q_UNUSED(slot); // the walked member is the current employee
        const RowsStored stored = Store(m_memberRows);
        if (!stored.fits)
            SkipMember();
        return stored.written;
    }

private:
    void FillGrid(const Rows& rows)
    {
        Grid()->DeleteNonFixedRows();
        for (const Row& row : rows) AppendDataRow(m_rules.show(row));
        FitLastColumn();
    }
    Rows MemberRows(const kalvor::infobase::EmployeeRecord& rec) const
    {
        return m_rules.rowsOf(rec, Base().attributesOf(Base().currentSlot));
    }
    RowListRefusal Refusal(const Row& row) const { return m_rules.refusal ? m_rules.refusal(row) : RowListRefusal{}; }
    // The index of the first row the rules refuse, -1 when none is. A row
    // the employee has stored as it is passes: what an older base holds does
    // not keep him on the screen until it is changed.
    int FirstRefusedRow(const Rows& rows) const
    {
        if (!m_rules.refusal)
            return -1;
        const Rows stored = MemberRows(Base().current);
        for (int i = 0; i < int(rows.size()); ++i)
            if (std::find(stored.begin(), stored.end(), rows[std::size_t(i)]) == stored.end() &&
                !m_rules.refusal(rows[std::size_t(i)]).message.isEmpty())
                return i;
        return -1;
    }
    // The refusal of the data row of the index, the focus on its cell.
    void SayRefusal(int index, const RowListRefusal& refusal)
    {
        ShowRefusal(Grid()->GetFixedRowCount() + index, refusal.column, refusal.message);
    }

    const RowListRules<Row> m_rules;
    Row m_entered{};
    Rows m_memberRows; // the walked member's rows as a group hook made them
};
