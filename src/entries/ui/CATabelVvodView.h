// "Альтернативный табель" (form 380): the employees' alternative time-sheet
// lines, with the selection strip, the entry dialog in the frame box and the
// group panel.
#pragma once

#include "shell/ui/EmployeeScreen.h"

class CATabelVvodDlg;

class CATabelVvodView : public CEmployeeDetailView {
    Q_OBJECT
public:
    static constexpr int IDD = 380;
    // The document's entry-screen number of the time sheets.
    static constexpr int kEntryScreen = 7;

    explicit CATabelVvodView(CKalvorDoc* doc, QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    void InsertBefore() override;
    void InsertAfter() override;
    void DeleteElement() override;
    // Kinds marked in the code column's list make no group.
    void TakeHelpValues(const QStringList& values) override;
    bool LoadsDatedArchive() const override { return false; }

    CATabelVvodDlg* Dlg() const;
    // The two lines of the "Минус" column's list.
    static QStringList MinusLines();

protected:
    CEmployeeDetailDlg* CreateDialog() override;
    void ShowGridHelp(int column) override;
};
