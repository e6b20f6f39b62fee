// The month's entry screens that edit one employee's lines of a line array
// on a form, one line at a time (vacation notes, sick-leave sheets): the
// selection strip, the frame box 1225 around the entry dialog (its caption
// names the line shown and the employee) and the group panel. F4/F3 step to
// the next or previous employee who has lines, Alt+F4/Alt+F3 to the next or
// previous line; the shown lines are saved before the screen is left.
#pragma once

#include "entries/ui/RateCorrection.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CFormChildDlg.h"

class CTabelFilterDlg;
class QGroupBox;

// The entry dialog's side.
class CLineEntryDlg : public CFormChildDlg {
    Q_OBJECT
public:
    CLineEntryDlg(int dialogId, CCommonFormView* view, RateCorrectionRunner rateCorrection);

    // Alt+F4 / Alt+F3.
    virtual void NextLine() = 0;
    virtual void PrevLine() = 0;
    // The control that enabling the entry focuses.
    virtual QWidget* FirstControl() const = 0;
    // Enter: in group mode the group append and the end of the group;
    // otherwise the line is read and computed with messages.
    virtual void OnOK() = 0;
    // Esc: in group mode leaves it through the view's CancelGroup; otherwise
    // the focus goes to the selection strip.
    void OnCancel();
    // "Корректировка ставок" for the employee shown.
    void OnCorrectRates();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The view's frame caption: "<what> %u из %u  [<name>]".
    void ShowLineTitle(const QString& what, int current, int shown);

private:
    RateCorrectionRunner m_rateCorrection;
};

class CLineEntryView : public CCommonFormView {
    Q_OBJECT
public:
    enum { IdFrame = 1225 };

    CLineEntryView(int formId, const QString& frameCaption, int entryScreen, CKalvorDoc* doc,
                   QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    void ShowFormHelp() override;
    // F4 / F3: the lines shown are saved; then the next or previous employee
    // of the list that has lines. Nothing at the list's ends.
    void NextElement() override { StepToEmployeeWithLines(+1); }
    void PrevElement() override { StepToEmployeeWithLines(-1); }
    void NextSubElement() override;
    void PrevSubElement() override;
    void ApplySelection() override;
    void EnableEntry(bool enable) override;
    void TakeHelpValues(const QStringList& values) override;
    void OnHelpValueSet() override;
    void CancelGroup() override;
    // Leaving the screen: an open group is cancelled, the lines shown are
    // saved; a refused save keeps the screen.
    bool CanLeave() override;

    CTabelFilterDlg* Strip() const { return m_filter; }
    QGroupBox* Frame() const { return m_frame; }
    CLineEntryDlg* LineDlg() const { return m_dlg; }
    void SetFrameTitle(const QString& text);

protected:
    virtual CLineEntryDlg* CreateDialog() = 0;
    // How many lines the employee of a record slot has.
    virtual int LineCount(int slot) const = 0;
    // F1 on a control of the dialog.
    virtual void ShowDialogHelp(int controlId) = 0;

private:
    void StepToEmployeeWithLines(int step);

    QString m_frameCaption;
    int m_entryScreen;
    CTabelFilterDlg* m_filter = nullptr;
    QGroupBox* m_frame = nullptr;
    CLineEntryDlg* m_dlg = nullptr;
};
