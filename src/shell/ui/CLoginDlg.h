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

    // "exists" tells whether the server knows a base of that name;
    // "newNameRefusal" says why a base not found cannot be made under the name
    // (empty when it can).
    CLoginDlg(const QString& baseName, std::function<bool(const QString&)> exists, QWidget* parent = nullptr,
              std::function<QString(const QString&)> newNameRefusal = {});

    QString BaseName() const;
    QString Password() const;
    // Whether the accepted base exists (known at the time of the check).
    bool BaseExists() const { return m_exists; }

    QLineEdit* BaseEdit() const { return m_base; }
    QLineEdit* PasswordEdit() const { return m_password; }

    void accept() override;

private:
    // Says why the typed name is refused; the name stays, selected, for another.
    void RefuseName(const QString& why);

    QLineEdit* m_base;
    QLineEdit* m_password;
    std::function<bool(const QString&)> m_existsTest;
    std::function<QString(const QString&)> m_newNameRefusal;
    bool m_exists = false;
};
