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
#include "shell/ui/WaitCursor.h"

class CTabelFilterDlg;
class QGroupBox;

// The entry dialog's side: the steps that both dialogs take the same way
// over their own buffer of lines.
class CLineEntryDlg : public CFormChildDlg {
    Q_OBJECT
public:
    CLineEntryDlg(int dialogId, CCommonFormView* view, RateCorrectionRunner rateCorrection);

    // Reads the form, splices the kept lines into the base's array and, when
    // a field changed, saves the array's tables. 0 keeps the employee: his
    // lines no longer fit ("Невозможно создать новую запись.\nБаза данных
    // переполнена.") or the base refused them (shown; the modified flag stays
    // for the next try). Without an employee, or in group mode, nothing: 1.
    int SaveRecord() override;
    // The filled fields go into the first line of every marked employee; the
    // members whose lines no longer fit are named in one message.
    int GroupAppend() override;
    // Enter: in group mode the group append and the end of the group;
    // otherwise the line is read and computed with messages.
    void OnOK();
    // Esc: in group mode leaves it through the view's CancelGroup; otherwise
    // the focus goes to the selection strip.
    void OnCancel();
    // Alt+F4 / Alt+F3: the form is read, then the next or previous line is
    // shown and computed without messages (nothing beyond the buffer's ends).
    void NextLine() { StepToLine(+1); }
    void PrevLine() { StepToLine(-1); }
    // "Корректировка ставок" for the employee shown.
    void OnCorrectRates();
    // The control that enabling the entry focuses.
    virtual QWidget* FirstControl() const = 0;

protected:
    // What each dialog gives the shared steps.
    // The form into the current line; a changed value sets the modified flag.
    virtual void ReadLine() = 0;
    // Splices the buffer into the base's array and reloads the buffer from
    // it; false, with nothing changed, when the lines do not fit.
    virtual bool StoreLines() = 0;
    // Saves the array's index words and table; throws db::DbError.
    virtual void SaveLineTables() = 0;
    // The group append in memory: the number of members changed, and the
    // names of those refused.
    virtual int AppendFormToGroup(QStringList* refused) = 0;
    // Moves the buffer's current line; false at its ends.
    virtual bool StepLine(int step) = 0;
    virtual void ComputeLine(bool messages) = 0;
    virtual void ShowTitle() = 0;

    void keyPressEvent(QKeyEvent* event) override;
    // The view's frame caption: "<what> %u из %u  [<name>]".
    void ShowLineTitle(const QString& what, int current, int shown);

private:
    void StepToLine(int step);
    // SaveLineTables under the wait cursor; false after a database failure (shown).
    bool SaveTablesShowingErrors();

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
