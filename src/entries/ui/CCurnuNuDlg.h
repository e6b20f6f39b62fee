// The entry dialog of the month's current accruals and deductions (dialog
// 350): one grid row per current row of the employee (month, code, amount,
// days, hours, cost code, shop), the add and delete buttons, and the group
// operations of the employee screens on these rows.
#pragma once

#include "entries/CurnuNuEntry.h"
#include "shell/ui/EmployeeScreen.h"

class CCurnuNuDlg : public CEmployeeDetailDlg {
    Q_OBJECT
public:
    enum { IDD = 350, IdGrid = 1230, IdAdd = 1060, IdDelete = 1061 };

    explicit CCurnuNuDlg(CCommonFormView* view);

    // Slot 0 empties the grid; another shows the employee's current rows and
    // his name in the view's frame.
    void LoadRecord(quint32 slot) override;
    // Writes the grid back (empty rows dropped, the calculated rows moved
    // behind the new ones). 0 keeps the employee: a database failure (shown)
    // or rows that would push calculated rows past the 60th.
    int SaveRecord() override;
    // The group append; the members that cannot take another row are named
    // in one message at the end.
    int GroupAppend() override;

    // Button 1060: a new row, up to 28.
    void OnAddRow();
    // The grid's data rows read by the columns' rules.
    kalvor::entries::ProizvRows ReadGridRows() const;

protected:
    bool ReadEnteredRow() override;
    // The group hooks store the member themselves (rows and attributes in one
    // transaction) and return false, so the walk has nothing left to save.
    bool AppendEntered(kalvor::infobase::EmployeeRecord& rec) override;
    int MatchEntered(const kalvor::infobase::EmployeeRecord& rec) const override;
    bool DeleteMatched(kalvor::infobase::EmployeeRecord& rec, int index) override;
    bool CorrectMatched(kalvor::infobase::EmployeeRecord& rec, int index) override;
    // Esc outside group mode saves first (a refusal keeps the focus here).
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FillGrid(const kalvor::entries::ProizvRows& rows);
    int AppendDataRow(const QStringList& texts);
    kalvor::entries::ProizvRows MemberRows(const kalvor::infobase::EmployeeRecord& rec) const;
    // Stores the walked member's rows; false when they did not fit.
    bool StoreMember(const kalvor::entries::ProizvRows& rows);

    kalvor::infobase::ProizvRow m_entered{};
    QStringList m_skipped; // members the running group append could not give the row
};
