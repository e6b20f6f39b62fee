// "Начисления / Удержания" (form 348): the month's current accruals and
// deductions of the employees, with the selection strip, the entry dialog in
// the frame box and the group panel.
#pragma once

#include "shell/ui/EmployeeScreen.h"

class CCurnuNuDlg;

class CCurnuNuView : public CEmployeeDetailView {
    Q_OBJECT
public:
    static constexpr int IDD = 348;
    // The document's entry-screen number of the four screens of accruals and
    // deductions (writs, transfers and loans join this one).
    static constexpr int kEntryScreen = 2;

    explicit CCurnuNuView(CKalvorDoc* doc, QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    // F4 / F3: save, then the next or previous employee of the list that has
    // current rows; nothing at the list's ends.
    void NextElement() override;
    void PrevElement() override;
    // The employees marked in the help list of the strip's number become the
    // group; kinds marked in the code column's list are no personnel numbers
    // and make none.
    void TakeHelpValues(const QStringList& values) override;

    CCurnuNuDlg* Dlg() const;
    // The pick list of the month column.
    static QStringList MonthLines();

protected:
    CEmployeeDetailDlg* CreateDialog() override;
    void ShowGridHelp(int column) override;

private:
    void StepToEmployeeWithRows(int step);
};
