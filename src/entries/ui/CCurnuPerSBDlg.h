// The bank-transfers dialog (dialog 356): one grid row per standing transfer
// of the employee (code, amount, destination, branch, personal account,
// payee), the add and delete buttons, and the group operations of the
// employee screens on these rows.
#pragma once

#include "entries/MonthlyDeductions.h"
#include "shell/ui/EmployeeScreen.h"

class CCurnuPerSBDlg : public CEmployeeDetailDlg {
    Q_OBJECT
public:
    enum { IDD = 356, IdGrid = 1240, IdAdd = 1060, IdDelete = 1061 };

    explicit CCurnuPerSBDlg(CCommonFormView* view);

    // Slot 0 empties the grid; another shows the employee's transfers and his
    // name in the view's frame.
    void LoadRecord(quint32 slot) override;
    // Writes the grid back (empty rows dropped, the others closed up) with
    // the master row and the attributes. 0 keeps the employee after a
    // database failure (shown).
    int SaveRecord() override;
    // The group append; the members who already have twenty transfers are
    // skipped and named in one message at the end.
    int GroupAppend() override;

    // Button 1060: a new row, up to twenty.
    void OnAddRow();
    kalvor::entries::SberRows ReadGridRows() const;

protected:
    bool ReadEnteredRow() override;
    // The hooks store the member themselves (rows and attributes in one
    // transaction) and return false, so the walk has nothing left to save.
    bool AppendEntered(kalvor::infobase::EmployeeRecord& rec) override;
    int MatchEntered(const kalvor::infobase::EmployeeRecord& rec) const override;
    bool DeleteMatched(kalvor::infobase::EmployeeRecord& rec, int index) override;
    bool CorrectMatched(kalvor::infobase::EmployeeRecord& rec, int index) override;

private:
    void FillGrid(const kalvor::entries::SberRows& rows);
    kalvor::entries::SberRows MemberRows(const kalvor::infobase::EmployeeRecord& rec) const;
    // Places the rows as the current employee's transfers and stores him;
    // false after a database failure (shown).
    bool StoreRows(int slot, const kalvor::entries::SberRows& rows);

    kalvor::infobase::SberRow m_entered;
    QStringList m_skipped; // members the running group append could not give the row
};
