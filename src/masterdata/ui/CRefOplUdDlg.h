#pragma once
// The form of one pay or deduction kind (dialog 343): its 27 fields, read
// back into the document's pay-kind table whenever another kind is chosen or
// the screen is left. The table is saved to the base when the dialog goes,
// if anything was changed, created or deleted.
#include "masterdata/PayKindBook.h"
#include "shell/ui/CFormChildDlg.h"

#include <array>

class CKalvorDoc;
class QLineEdit;

class CRefOplUdDlg : public CFormChildDlg {
    Q_OBJECT
public:
    // IdBookCode: the view's code field, where a kind is chosen.
    enum { DialogId = 343, IdBookCode = 1070 };

    CRefOplUdDlg(CCommonFormView* view, CKalvorDoc* doc);
    ~CRefOplUdDlg() override;

    // The record number is the kind's 1-based position in the table; 0 shows
    // an empty form.
    void LoadRecord(quint32 number) override;
    int SaveRecord() override;
    void BeginGroup() override;
    int GroupAppend() override;

    void FillFields(const kalvor::infobase::PayKind& kind);
    // The shown texts into the kind; 1 when anything changed (the modified
    // flag is then set).
    int ReadFields(kalvor::infobase::PayKind& kind);

    // Makes the name editable, also of a built-in kind (Ctrl+F3).
    void UnlockName();
    // Gives the focus to the first field.
    void FocusFirstField();

    QLineEdit* Field(kalvor::masterdata::PayKindField field) const { return m_edits[std::size_t(field)]; }
    // Esc outside group mode: the view's code field takes the focus, its text selected.
    void FocusStrip() const override;
    quint32 RecordNumber() const { return m_slot; }

protected:
    // Enter in group mode copies the form into the marked kinds and ends the
    // group; Esc ends the group, or goes back to the code field.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildForm();
    kalvor::masterdata::PayKindTexts ShownTexts() const;
    void SaveBook();

    CKalvorDoc* m_doc;
    std::array<QLineEdit*, kalvor::masterdata::PayKindFieldCount> m_edits{};
};
