// "Постоянные выплаты": the permanent payments of the employees (form 362).
#pragma once

#include "shell/ui/EmployeeScreen.h"

class CWorkerPostviplView : public CEmployeeDetailView {
    Q_OBJECT
public:
    explicit CWorkerPostviplView(CKalvorDoc* doc, QWidget* parent = nullptr);

    // The pick-list lines of the code tables of the columns (empty for the others).
    static QStringList CodeTableLines(int column);

protected:
    CEmployeeDetailDlg* CreateDialog() override;
    void ShowGridHelp(int column) override;
};
