// The archive with dates of one employee (dialog 450): the dated entries in a
// grid, one row each, with buttons to insert a row before or after the
// selected one and to delete it. The block is rebuilt from the grid and the
// employee saved with his dated archive on every save.
#pragma once

#include "shell/ui/EmployeeScreen.h"

class QPushButton;

class CWorkerDatarchiveDlg : public CEmployeeDetailDlg {
    Q_OBJECT
public:
    enum { IdGrid = 1464, IdInsertBefore = 32825, IdInsertAfter = 32826, IdDeleteRow = 32794 };

    explicit CWorkerDatarchiveDlg(CCommonFormView* view);

    void LoadRecord(quint32 slot) override;
    // Rebuilds the employee's dated archive from the grid (rows without a
    // valid code dropped, the rest closed up, the count set) and saves the
    // employee whether or not anything changed; 0 after a database failure,
    // so that the caller keeps the employee.
    int SaveRecord() override;

    void OnInsertBefore();
    void OnInsertAfter();
    void OnDeleteRow();
    // Esc: gives up the rows typed anew that are no entry yet (a code, a
    // start or an end date missing) and ends there when there were any;
    // otherwise saves, empties the grid and gives the focus to the selection
    // strip.
    void OnCancel();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The archive with dates has no group operations.
    bool ReadEnteredRow() override { return false; }
    bool AppendEntered(kalvor::infobase::EmployeeRecord&) override { return false; }
    int MatchEntered(const kalvor::infobase::EmployeeRecord&) const override { return -1; }
    bool DeleteMatched(kalvor::infobase::EmployeeRecord&, int) override { return false; }
    bool CorrectMatched(kalvor::infobase::EmployeeRecord&, int) override { return false; }

private:
    void FillGrid(const kalvor::infobase::WarDatBlock& block);
    int AppendEntryRow(const QStringList& texts, int before);
    // The one selected data row, or -1 when none or several are selected.
    int SingleSelectedRow() const;
    void InsertEmptyRow(int before);
    // Deletes the rows typed anew that IsUnfinishedWarDatRow; whether there were any.
    bool GiveUpUnfinishedRows();
    QPushButton* AddButton(int id, const QString& text, int x);
};
