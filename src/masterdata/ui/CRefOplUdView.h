#pragma once
// The pay and deduction kinds book (form 342, "Оплаты/Удержания"): the code
// field with "Выбрать" over the form of the chosen kind. F3/F4 step through
// the table, Alt+F10 deletes a kind, F1 on the code field lists every kind
// (marking several starts a group copy), Ctrl+F3 unlocks the name.
#include "masterdata/ui/CRefOplUdDlg.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/TypedInput.h"

#include <QPointer>

class QPushButton;

class CRefOplUdView : public CCommonFormView {
    Q_OBJECT
public:
    enum { FormId = 342, IdCode = CRefOplUdDlg::IdBookCode, IdSelect = 1071, CmdUnlockName = 32920 };

    explicit CRefOplUdView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CRefOplUdView() override;

    void OnInitialUpdate() override;
    void ShowFormHelp() override;
    void NextElement() override;
    void PrevElement() override;
    void DeleteElement() override;
    void TakeHelpValues(const QStringList& values) override;
    void CancelGroup() override;
    void EnableEntry(bool enable) override;
    // Leaving: an amount of the shown kind that does not read keeps the book open.
    bool CanLeave() override;

    // "Выбрать": shows the typed code's kind, creating it on request; false
    // when the code is refused or the table is full.
    bool SelectCode();
    void UnlockName();
    void FocusCodeField();

    CRefOplUdDlg* Dialog() const { return m_dlg; }
    CTypedEdit* CodeField() const { return m_code; }
    QPushButton* SelectButton() const { return m_select; }
    int CurrentCode() const { return m_currentCode; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Steps to the kind at that position after saving the shown one.
    void ShowKindAt(int position);
    void ShowCurrentCode();

    QPointer<CRefOplUdDlg> m_dlg;
    CTypedEdit* m_code = nullptr;
    QPushButton* m_select = nullptr;
    int m_currentCode = 0;
};
