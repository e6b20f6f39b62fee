// The group dialogs: the modal question of an entry dialog's Enter in group
// mode, and the panel shown under the form while a group is marked.
#pragma once

#include "shell/ui/ControlMap.h"

#include <QDialog>
#include <QFrame>

class CGroupDlg : public QDialog, public ControlMap {
    Q_OBJECT
public:
    enum Result { Append = 500, Correct = 501, Delete = 502, CorrectMarked = 503 };
    explicit CGroupDlg(QWidget* parent = nullptr);
    // Esc and the cancel button end the dialog with IDCANCEL (2).
    void reject() override;
};

class CGroupSelectedDlg : public QFrame, public ControlMap {
    Q_OBJECT
public:
    explicit CGroupSelectedDlg(QWidget* parent);
};
