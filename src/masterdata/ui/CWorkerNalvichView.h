// "Налоговые вычеты": the tax deductions of the employees (form 360).
#pragma once

#include "shell/ui/EmployeeScreen.h"

class CWorkerNalvichDlg;

class CWorkerNalvichView : public CEmployeeDetailView {
    Q_OBJECT
public:
    explicit CWorkerNalvichView(CKalvorDoc* doc, QWidget* parent = nullptr);

    CWorkerNalvichDlg* Dlg() const;
    void OnHelpValueSet() override;

protected:
    CEmployeeDetailDlg* CreateDialog() override;
    void ShowGridHelp(int column) override;
};
