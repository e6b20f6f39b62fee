// "Ключи выбора работников": edits the document's employee selection keys.
#pragma once

#include "shell/ui/ControlMap.h"

#include <QDialog>

class CKalvorDoc;
class QLineEdit;
class QTableWidget;

class CKeyDlg : public QDialog, public ControlMap {
    Q_OBJECT
public:
    CKeyDlg(CKalvorDoc* doc, QWidget* parent = nullptr);

    QLineEdit* NameEdit(int which) const { return m_names[which]; }
    QTableWidget* Table() const { return m_table; }

    // Stores the keys; a cell that is not empty and not a number from 0 to
    // 32767 is refused with a message and keeps the dialog open.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CKalvorDoc* m_doc;
    QLineEdit* m_names[3];
    QTableWidget* m_table;
};
