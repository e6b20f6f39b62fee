// "Ссуды и кредиты" (form 352): up to four loans of each employee repaid by
// deductions from pay, with the selection strip and the group append.
#pragma once

#include "entries/ui/CMonthFormView.h"

class CCurnuSsudKredView : public CMonthFormView {
    Q_OBJECT
public:
    static constexpr int IDD = 352;

    explicit CCurnuSsudKredView(CKalvorDoc* doc, QWidget* parent = nullptr);

    void ShowFormHelp() override;

protected:
    CMonthFormDlg* CreateDialog() override;
    bool HasEntries(const kalvor::infobase::EmployeeAttributes& attr) const override;
};
