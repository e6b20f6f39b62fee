// The print command dialog (dialog 394): the report's path and the command
// line that shows or prints it; OK returns IDOK with the edited command.
#pragma once

#include "shell/ui/ControlMap.h"

#include <QDialog>

class QLineEdit;

class CPrnEditDlg : public QDialog, public ControlMap {
    Q_OBJECT
public:
    CPrnEditDlg(const QString& reportPath, const QString& command, QWidget* parent = nullptr);

    QString ReportPath() const { return m_path; }
    // The command as edited (after OK); the one given before.
    QString Command() const { return m_command; }
    // IDOK or IDCANCEL.
    int DoModal();

    QLineEdit* CommandEdit() const { return m_commandEdit; }

public slots:
    void accept() override;

private:
    QString m_path;
    QString m_command;
    QLineEdit* m_pathEdit = nullptr;
    QLineEdit* m_commandEdit = nullptr;
};
