// The entry dialog of the month's current accruals and deductions (dialog
// 350): one grid row per current row of the employee (month, code, amount,
// days, hours, cost code, shop), the add and delete buttons, and the group
// operations of the employee screens on these rows.
#pragma once

#include "entries/CurnuNuEntry.h"
#include "entries/ui/CRowListDlg.h"

class CCurnuNuDlg : public CRowListDlg<kalvor::infobase::ProizvRow> {
    Q_OBJECT
public:
    enum { IDD = 350, IdGrid = 1230 };

    // Button 1060 adds a row up to 28. A save keeps the employee when the
    // rows would push calculated rows past the 60th (the calculated rows are
    // moved behind the new ones, empty rows dropped).
    explicit CCurnuNuDlg(CCommonFormView* view);

protected:
    RowsStored Store(const Rows& rows) override;
    // Esc outside group mode saves first (a refusal keeps the focus here).
    void keyPressEvent(QKeyEvent* event) override;
};
