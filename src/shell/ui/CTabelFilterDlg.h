// The selection strips of the entry screens: shop, brigade, profession and (in
// CTabelFilterDlg) the personnel number, each made with its kind
// (SelectionKind of shell/ui/FormSelection.h).
#pragma once

#include "shell/ui/CFormChildDlg.h"
#include "shell/ui/TypedInput.h"

#include <vector>

class CWorkersFilterDlg : public CFormChildDlg {
    Q_OBJECT
public:
    enum { IdShop = 1252, IdBrigade = 1253, IdProfession = 1254 };

    explicit CWorkersFilterDlg(CCommonFormView* view) : CWorkersFilterDlg(446, view) {}

    // Every field reads by its kind (empty, or a number its book holds); the
    // first that does not is said, naming the field or its book, selected and
    // focused, and the answer is false: a selection that cannot be read is
    // refused, never widened.
    bool CheckFields();
    // The three keys; an empty field gives 0.
    void ReadFields(int* shop, int* brigade, int* profession) const;
    // The help list or hint of the focused field.
    virtual void ShowFieldPickList();

    CTypedEdit* Field(int id) const { return controlAs<CTypedEdit>(id); }
    // The shop field.
    void FocusFirstField() const override;

protected:
    CWorkersFilterDlg(int dialogId, CCommonFormView* view);
    // A labelled field of the strip's kind for its number (SelectionKind).
    CTypedEdit* AddField(int id, const QString& label, int width, InputKind kind);
    InputKind KindOf(int id, const QString& label) const;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Esc: leave the screen for the working panel of the entry screen in use.
    void LeaveScreen();
    // Enter in a field: the view applies the selection.
    virtual void OnEnter();

    // The strip's own focused field (the view's may be another form's).
    int m_focusedField = -1;

private:
    class QHBoxLayout* m_layout;
    std::vector<int> m_fields; // in the strip's order
};

class CTabelFilterDlg : public CWorkersFilterDlg {
    Q_OBJECT
public:
    enum { IdTabN = 1103 };
    // Whether the personnel number must name an employee of the list, or may
    // name a record the screen creates (the record card).
    enum class NumberOf { ListedEmployee, NewRecordToo };

    // The two numbers the owner passes are kept for it (a screen number and 2).
    CTabelFilterDlg(int first, int second, CCommonFormView* view, NumberOf number = NumberOf::ListedEmployee);

    int First() const { return m_first; }
    int Second() const { return m_second; }

    // Puts a personnel number into its field.
    void SetPersonnelNumber(unsigned tabN);
    unsigned PersonnelNumber() const;
    // After a help choice typed a number into the personnel-number field:
    // applies it through the view once the current event is done, when that
    // field has the focus.
    void PostApply();

    void ShowFieldPickList() override;
    // The personnel-number field.
    void FocusFirstField() const override;

private:
    int m_first;
    int m_second;
};
