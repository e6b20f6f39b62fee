#pragma once
// The legal-entity book (form 339, "Юридические лица"): the recipient's
// number 1103 with "Выбрать" over the form of one recipient (CRefUrlicDlg).
// Enter or "Выбрать" shows the typed recipient, F4 and F3 the next and the
// previous one, F1 the list of all 148 or a hint on the focused field.
#include "masterdata/ui/CRefUrlicDlg.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/TypedInput.h"

#include <QPointer>

class QPushButton;

class CRefUrlicView : public CCommonFormView {
    Q_OBJECT
public:
    enum { FormId = 339, IdNumber = 1103, IdSelect = 1071 };

    explicit CRefUrlicView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CRefUrlicView() override;

    void OnInitialUpdate() override;
    void ShowFormHelp() override;
    void NextElement() override;
    void PrevElement() override;
    void EnableEntry(bool enable) override;

    // "Выбрать", or Enter in the number field.
    void SelectRecipient();

    CRefUrlicDlg* Dialog() const { return m_dlg; }
    CTypedEdit* NumberField() const { return m_number; }
    QPushButton* SelectButton() const { return m_select; }
    int CurrentNumber() const { return m_current; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void StepRecipient(int step);
    void FocusNumberField();

    QPointer<CRefUrlicDlg> m_dlg;
    CTypedEdit* m_number = nullptr;
    QPushButton* m_select = nullptr;
    int m_current = 0;
};
