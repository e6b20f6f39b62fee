// The month's entry screens that edit one employee's lines of a line array
// on a form, one line at a time (vacation notes, sick-leave sheets): the
// selection strip, the frame box 1225 around the entry dialog (its caption
// names the line shown and the employee) and the group panel. F4/F3 step to
// the next or previous employee who has lines, Alt+F4/Alt+F3 to the next or
// previous line; the shown lines are saved before the screen is left.
#pragma once

#include "entries/EmployeeLines.h"
#include "entries/ui/RateCorrection.h"
#include "infobase/InfoBase.h"
#include "infobase/InfoBaseDb.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CFormChildDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/WaitCursor.h"

#include <QLineEdit>

class CTabelFilterDlg;
class QGroupBox;

// The entry dialog's side: the steps that both dialogs take the same way
// over their own buffer of lines.

class CLineEntryDlg : public CFormChildDlg {
    Q_OBJECT
public:
    // The controls that both forms have.
    enum { IdStart = 1214, IdCompute = 1, IdCorrectRates = 4, IdAverageGrid = 1241 };

    // The dialog has the time sheet's colours and a fixed size.
    CLineEntryDlg(int dialogId, QSize size, CCommonFormView* view, RateCorrectionRunner rateCorrection);

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
    // The control that enabling the entry focuses: the start date.
    QWidget* FirstControl() const { return control(IdStart); }
    QLineEdit* Field(int id) const { return controlAs<QLineEdit>(id); }

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
    // The form's typed inputs read in full (ReadTypedInputs); else the first
    // refused is said and focused.
    bool FiguresRead();

    void keyPressEvent(QKeyEvent* event) override;

    // The view's frame caption: "<what> %u из %u  [<name>]".
    void ShowLineTitle(const QString& what, int current, int shown);

private:
    void StepToLine(int step);
    // SaveLineTables under the wait cursor; false after a database failure (shown).
    bool SaveTablesShowingErrors();

    RateCorrectionRunner m_rateCorrection;
};

// A dialog over a buffer of N lines of one kind, shown on a form read as
// Form: the steps that do not depend on the kind (stepping, the caption, the
// buffer stored into the base's array and reloaded from it, the array's
// tables saved, the group append).
template <class Line, int N, class Form>
class CLineBufferDlg : public CLineEntryDlg {
public:
    // How the base keeps the lines: the caption's "<what>", the employee's
    // lines split at the buffer, their store into the array (false when they
    // do not fit), the array's kind, and the group append of the form's
    // filled fields.
    struct Keeping {
        QString what;
        kalvor::entries::EmployeeLines<Line> (*take)(const kalvor::infobase::CInfoBase& base, int slot);
        bool (*store)(kalvor::infobase::CInfoBase& base, int slot, const std::vector<Line>& shown,
                      const std::vector<Line>& beyond);
        kalvor::infobase::LineKind kind;
        kalvor::entries::LineGroupOutcome (*appendToGroup)(kalvor::infobase::CInfoBase& base, const Form& form);
    };

    CLineBufferDlg(int dialogId, QSize size, CCommonFormView* view, RateCorrectionRunner rateCorrection,
                   Keeping keeping)
        : CLineEntryDlg(dialogId, size, view, std::move(rateCorrection)), m_keeping(std::move(keeping))
    {}

    // The engine's result of the last computation (a row count, a variant or -k).
    int LastResult() const { return m_lastResult; }

protected:
    kalvor::infobase::CInfoBase& Base() const { return View()->Document()->infoBase; }
    // The start of LoadRecord: the slot taken, the buffer emptied, and, for
    // an employee, his lines taken into it.
    void TakeLines(quint32 slot)
    {
        m_slot = slot;
        m_groupMode = false;
        m_modified = false;
        m_lines.clear();
        m_lastResult = 0;
        if (slot != 0)
            m_lines.load(m_keeping.take(Base(), int(slot)));
    }
    bool StoreLines() override
    {
        if (!m_keeping.store(Base(), int(m_slot), m_lines.all(), m_lines.beyond))
            return false;
        // The buffer holds what the array now holds: the kept lines at the front.
        const int current = m_lines.current;
        m_lines.load(m_keeping.take(Base(), int(m_slot)));
        m_lines.current = std::min(current, m_lines.shown - 1);
        return true;
    }
    void SaveLineTables() override { kalvor::infobase::SaveLines(Base(), m_keeping.kind); }
    // The form's texts as they stand.
    virtual Form FormTexts() const = 0;
    int AppendFormToGroup(QStringList* refused) override
    {
        const kalvor::entries::LineGroupOutcome outcome = m_keeping.appendToGroup(Base(), FormTexts());
        *refused = outcome.refused;
        return outcome.changed;
    }
    bool StepLine(int step) override { return step > 0 ? m_lines.next() : m_lines.prev(); }
    void ShowTitle() override { ShowLineTitle(m_keeping.what, m_lines.current + 1, m_lines.shown); }

    kalvor::entries::LineBuffer<Line, N> m_lines;
    int m_lastResult = 0;

private:
    Keeping m_keeping;
};

// F1 on a field of an entry dialog: a pick list ("code|text" lines) beside
// the field, or a hint.
struct LineFieldHelp {
    int controlId = 0;
    QStringList (*lines)() = nullptr; // the pick list; without one, the hint
    QString hint;
    int width = 0, height = 0; // of the list; the hint's width
};

class CLineEntryView : public CCommonFormView {
    Q_OBJECT
public:
    enum { IdFrame = 1225 };

    CLineEntryView(int formId, const QString& frameCaption, int entryScreen, std::vector<LineFieldHelp> help,
                   CKalvorDoc* doc, QWidget* parent = nullptr);

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

private:
    void StepToEmployeeWithLines(int step);
    // F1 on a control of the dialog.
    void ShowDialogHelp(int controlId);

    QString m_frameCaption;
    int m_entryScreen;
    std::vector<LineFieldHelp> m_help;
    CTabelFilterDlg* m_filter = nullptr;
    QGroupBox* m_frame = nullptr;
    CLineEntryDlg* m_dlg = nullptr;
};

// The view of one kind of line: its dialog made with the rate correction,
// and the lines of a slot counted in the base's array.
template <class Dialog, class Line>
class CLineEntryViewOf : public CLineEntryView {
public:
    using Lines = kalvor::infobase::LineArray<Line> kalvor::infobase::CInfoBase::*;

    CLineEntryViewOf(int formId, const QString& frameCaption, int entryScreen, std::vector<LineFieldHelp> help,
                     Lines lines, CKalvorDoc* doc, RateCorrectionRunner rateCorrection, QWidget* parent)
        : CLineEntryView(formId, frameCaption, entryScreen, std::move(help), doc, parent)
        , m_lines(lines)
        , m_rateCorrection(std::move(rateCorrection))
    {}

    Dialog* Dlg() const { return static_cast<Dialog*>(LineDlg()); }

protected:
    CLineEntryDlg* CreateDialog() override { return new Dialog(this, m_rateCorrection); }
    int LineCount(int slot) const override
    {
        const auto& lines = Document()->infoBase.*m_lines;
        return slot >= 1 && slot <= lines.slotCount() ? lines.count(slot) : 0;
    }

private:
    Lines m_lines;
    RateCorrectionRunner m_rateCorrection;
};
