// "Архив": the archive of past months of the employees (form 447).
#pragma once

#include "shell/ui/EmployeeScreen.h"

class CWorkerArchiveView : public CEmployeeDetailView {
    Q_OBJECT
public:
    explicit CWorkerArchiveView(CKalvorDoc* doc, QWidget* parent = nullptr);

    // The pay kinds of the document: "%d|%s" below 700, "%d|%s|Mark" from 700
    // on; an empty name shows as one blank.
    static QStringList PayKindPickLines(const CKalvorDoc& doc);

protected:
    CEmployeeDetailDlg* CreateDialog() override;
    void ShowGridHelp(int column) override;
};
