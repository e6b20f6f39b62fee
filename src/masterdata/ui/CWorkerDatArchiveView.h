// "Архив с датами": the employee's archive of dated entries (form 449), the
// amounts of a pay kind for a period and a month of the archive, with the
// continuation mark of sick-leave sheets.
#pragma once

#include "shell/ui/EmployeeScreen.h"

class CWorkerDatarchiveDlg;

class CWorkerDatArchiveView : public CEmployeeDetailView {
    Q_OBJECT
public:
    explicit CWorkerDatArchiveView(CKalvorDoc* doc, QWidget* parent = nullptr);

    CWorkerDatarchiveDlg* Dlg() const;

    // Enter in the strip: the employee shown is saved, the typed number is
    // read; a number that is not in the list is refused and loads nothing.
    void ApplySelection() override;
    // F7, F8 and Alt+F10 press the dialog's buttons.
    void InsertBefore() override;
    void InsertAfter() override;
    void DeleteElement() override;
    // No group operations here: a list of chosen employees is discarded.
    void TakeHelpValues(const QStringList& values) override { Q_UNUSED(values); }

protected:
    CEmployeeDetailDlg* CreateDialog() override;
    void ShowGridHelp(int column) override;
};
