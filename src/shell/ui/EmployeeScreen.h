// The machinery of the screens that edit one employee's block in a grid (tax
// deductions, permanent payments, archive of past months) and of the month's
// entry screens built the same way: a task view with the selection strip and
// a group box around the entry dialog, stepping from employee to employee
// (saving first), and the dialog's grid with its group operations over the
// marked employees.
#pragma once

#include "grid/GridColumn.h"
#include "infobase/EmployeeRecord.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CFormChildDlg.h"

#include <QString>
#include <QStringList>

#include <vector>

class CFldHlpGridCtrl;
class CTabelFilterDlg;
namespace kalvor::db {
class DbError;
}
namespace kalvor::infobase {
class CInfoBase;
}
class QGroupBox;
struct GridNotifyInfo;

// ------------------------------------------------------------------ view operations

// F4 / F3: the dialog saves (a refusal keeps the employee), then the next or
// previous employee of the current list is loaded and shown. Nothing at the
// list's ends, without a current employee, or while a group is open (refused
// with a message).
void EmployeeViewNextElement(CCommonFormView& view);
void EmployeeViewPrevElement(CCommonFormView& view);
// Enables or disables the entry dialog; enabling focuses its first control.
void EmployeeViewEnableEntry(CCommonFormView& view, bool enable);
// After a value was taken from the help list: the strip applies a personnel
// number typed into its field.
void EmployeeViewOnHelpValueSet(CCommonFormView& view);

// Shows a save of the slot's employee that the base refused (ShowComError),
// naming him: "Данные работника Таб.N 112 Петров П.П. не сохранены."; a save
// whose COMMIT was cut in doubt names him without saying it was not saved.
void ShowEmployeeNotSaved(const kalvor::db::DbError& error, const kalvor::infobase::CInfoBase& base, int slot);

// ------------------------------------------------------------------ the dialog

// The group operations of Enter in group mode (the answers of CGroupDlg).
enum EmployeeGroupOperation {
    GroupNone = 0,
    GroupAppendOp = 500,
    GroupMarkOp = 501,
    GroupDeleteOp = 502,
    GroupCorrectOp = 503
};

class CEmployeeDetailDlg : public CFormChildGridDlg {
    Q_OBJECT
public:
    CEmployeeDetailDlg(int dialogId, int gridId, CCommonFormView* view);

    CFldHlpGridCtrl* Grid() const { return m_grid; }
    int GridId() const { return m_gridId; }
    int PendingOperation() const { return m_pending; }

    // Enter: outside group mode nothing; in group mode the group question
    // (unless a correction is pending) and the chosen operation.
    void OnOK();
    // Esc: ends group mode through the view's CancelGroup. Rows shown that
    // would be refused: "Отменить изменения ...?", and on "Да" the stored
    // rows are shown again, editable. Otherwise the focus goes to the
    // selection strip.
    void OnCancel();

    void BeginGroup() override;
    int GroupAppend() override;
    int GroupDelete() override;
    int GroupCorrect() override;
    int GroupMarkMatching() override;

    // The texts of a data row's cells (a cell showing a default reads empty).
    QStringList RowCells(int row) const;
    // An empty cell shows, greyed, the default that is taken for it; typing
    // into it replaces the default. An empty text takes the default away.
    void ShowCellDefault(int row, int col, const QString& text);
    bool CellShowsDefault(int row, int col) const;
    // Appends a data row of the given height with these texts; returns its index.
    int AppendRow(const QStringList& texts, int height);

    // Matched entry index and matched flag of each entry of the current list
    // (GroupMarkMatching writes them, GroupCorrect reads them).
    const std::vector<int>& MatchedIndexes() const { return m_matchedIndex; }
    const std::vector<char>& MatchedFlags() const { return m_matched; }

protected:
    // Grid set-up shared by the screens: the columns with their kinds, one
    // fixed row with their titles, column widths as shares of the grid's
    // width (the last one widened), the fonts and colours of the entry grids;
    // the heading height fits headerSample.
    void SetupGrid(const std::vector<GridColumn>& columns, const std::vector<double>& shares,
                   const QString& headerSample);
    int HeaderHeight() const;
    // Widens or narrows the last column so that the columns fill the grid's
    // client area (at least 10 pixels), with or without a vertical scroll bar.
    void FitLastColumn();

    // What each screen gives the group operations. ReadEnteredRow reads the
    // group's entered row (the first data row) and returns false after a
    // message when it is refused. The others work on one loaded employee's
    // record and return true when they changed it; the walk then saves the
    // change through SaveMember, and only then.
    virtual bool ReadEnteredRow() = 0;
    virtual bool AppendEntered(kalvor::infobase::EmployeeRecord& rec) = 0;
    virtual int MatchEntered(const kalvor::infobase::EmployeeRecord& rec) const = 0; // -1 = none
    virtual bool DeleteMatched(kalvor::infobase::EmployeeRecord& rec, int index) = 0;
    virtual bool CorrectMatched(kalvor::infobase::EmployeeRecord& rec, int index) = 0;
    // Grid notifications that a screen handles beyond the selection change.
    virtual void OnGridEndEdit(int row, int col)
    {
        Q_UNUSED(row);
        Q_UNUSED(col);
    }

    // Whether the rows shown read as the screen stores them (nothing is said).
    virtual bool ShownRowsRead() const { return true; }
    // Shows a refused row: the message, and the focus on the cell to correct
    // (the dialog made editable, even when the strip had greyed it).
    void ShowRefusal(int row, int col, const QString& message);
    // Saves the current record under the slot with the wait cursor; false
    // after a database failure (shown).
    bool SaveCurrentEmployee(int slot);
    // Saves what a group hook changed in the walked member of the slot (the
    // loaded record): SaveCurrentEmployee, unless the screen stores its own
    // way. False when nothing was saved.
    virtual bool SaveMember(int slot) { return SaveCurrentEmployee(slot); }

    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class WalkStep { Append, Delete, Mark, Correct };
    // Walks the marked employees of the current list in list order: each is
    // loaded, worked on and, when changed, saved under his slot.
    void WalkGroup(WalkStep step);
    bool WorkOn(WalkStep step, int listIndex);
    void OnGridNotify(GridNotifyInfo* info, long* result);
    void RunOperation(int operation);

    int m_gridId;
    CFldHlpGridCtrl* m_grid = nullptr;
    int m_pending = GroupNone;
    std::vector<int> m_matchedIndex;
    std::vector<char> m_matched;
};

// Group mode on: the grid holds one empty row (the entered row) with the focus on its first cell.
void EmployeeDlgBeginGroup(CEmployeeDetailDlg& dlg);
// The grid's selection change: the view learns the focused grid, row and column (for its field help).
void EmployeeDlgOnGridSelChanged(CEmployeeDetailDlg& dlg, int row, int col);
// The delete button: the row of the focus cell goes (nothing is saved until SaveRecord).
void EmployeeDlgDeleteRow(CEmployeeDetailDlg& dlg);

// ------------------------------------------------------------------ the view

class CEmployeeDetailView : public CCommonFormView {
    Q_OBJECT
public:
    enum { IdTitle = 1225 };

    CEmployeeDetailView(int formId, const QString& title, CKalvorDoc* doc, QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    void ShowFormHelp() override;
    void NextElement() override { EmployeeViewNextElement(*this); }
    void PrevElement() override { EmployeeViewPrevElement(*this); }
    void ApplySelection() override;
    void EnableEntry(bool enable) override { EmployeeViewEnableEntry(*this, enable); }
    void TakeHelpValues(const QStringList& values) override;
    void OnHelpValueSet() override { EmployeeViewOnHelpValueSet(*this); }
    void CancelGroup() override;
    // Leaving the screen: an open group is cancelled, the employee shown is
    // saved; a refusal keeps the screen.
    bool CanLeave() override;

    CTabelFilterDlg* Strip() const { return m_filter; }
    CEmployeeDetailDlg* DetailDlg() const { return m_dlg; }
    void SetTitle(const QString& text);

protected:
    virtual CEmployeeDetailDlg* CreateDialog() = 0;
    // Help on the focused column of the dialog's grid.
    virtual void ShowGridHelp(int column) = 0;

private:
    QString m_baseTitle;
    QGroupBox* m_title = nullptr;
    CTabelFilterDlg* m_filter = nullptr;
    CEmployeeDetailDlg* m_dlg = nullptr;
};
