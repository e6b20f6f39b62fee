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
    // who already have twenty. A row without an amount sends the rest, only
    // by the codes 903 and 906: a row asking for it under another code is
    // refused in its cells, at the save and as the group's entered row. A
    // save writes the transfers (empty rows dropped, the others closed up)
    // with the master row and the attributes.
    explicit CCurnuPerSBDlg(CCommonFormView* view);

protected:
    // More than twenty transfers do not fit.
    RowsStored Store(const Rows& rows) override;

private:
    // The texts of the grid row with the column's cell holding the text.
    QStringList RowWith(int row, int col, const QString& text) const;
};
