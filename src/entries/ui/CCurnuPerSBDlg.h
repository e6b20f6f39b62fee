// The bank-transfers dialog (dialog 356): one grid row per standing transfer
// of the employee (code, amount, destination, branch, personal account,
// payee), the add and delete buttons, and the group operations of the
// employee screens on these rows.
#pragma once

#include "entries/MonthlyDeductions.h"
#include "entries/ui/CRowListDlg.h"

class CCurnuPerSBDlg : public CRowListDlg<kalvor::infobase::SberRow> {
    Q_OBJECT
public:
    enum { IDD = 356, IdGrid = 1240 };

    // Button 1060 adds a row up to twenty; a group append skips the members
    // who already have twenty. A save writes the transfers (empty rows
    // dropped, the others closed up) with the master row and the attributes.
    explicit CCurnuPerSBDlg(CCommonFormView* view);

protected:
    Stored StoreShown(const Rows& rows) override;
    // More than twenty transfers do not fit.
    bool StoreMember(const Rows& rows) override;

private:
    // Places the rows as the current employee's transfers and stores him;
    // false after a database failure (shown).
    bool StoreRows(const Rows& rows);
};
