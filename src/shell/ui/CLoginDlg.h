// The login dialog: database name and password (at most 7 characters).
#pragma once

#include "shell/ui/ControlMap.h"

#include <QDialog>
#include <functional>

class QLineEdit;

class CLoginDlg : public QDialog, public ControlMap {
    Q_OBJECT
public:
    enum { IdBase = 1001, IdPassword = 1002 };

    // "exists" tells whether the server knows a base of that name.
    CLoginDlg(const QString& baseName, std::function<bool(const QString&)> exists, QWidget* parent = nullptr);

    QString BaseName() const;
    QString Password() const;
    // Whether the accepted base exists (known at the time of the check).
    bool BaseExists() const { return m_exists; }

    QLineEdit* BaseEdit() const { return m_base; }
    QLineEdit* PasswordEdit() const { return m_password; }

    void accept() override;

private:
    QLineEdit* m_base;
    QLineEdit* m_password;
    std::function<bool(const QString&)> m_existsTest;
    bool m_exists = false;
};
