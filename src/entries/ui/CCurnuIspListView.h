// "Исполнительные листы" (form 351): up to three writs of execution of each
// employee, with the selection strip and the group append.
#pragma once

#include "entries/ui/CMonthFormView.h"

class CCurnuIspListView : public CMonthFormView {
    Q_OBJECT
public:
    static constexpr int IDD = 351;

    explicit CCurnuIspListView(CKalvorDoc* doc, QWidget* parent = nullptr);

    void ShowFormHelp() override;
    // The pick list of the kind fields.
    static QStringList KindLines();

protected:
    CMonthFormDlg* CreateDialog() override;
    bool HasEntries(const kalvor::infobase::EmployeeAttributes& attr) const override;
};
