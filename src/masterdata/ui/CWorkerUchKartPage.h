// What the three pages of the employee record card share: fields placed in
// two columns with their labels, date pickers on the card's background, the
// card's colours, Esc to the selection strip, and saving the current
// employee with the wait cursor (a database failure is shown and refuses the
// save, so that the employee stays on the screen).
#pragma once

#include "infobase/InfoBase.h"
#include "shell/ui/CFormChildDlg.h"
#include "values/TypedFigure.h"

#include <QColor>
#include <functional>

class CTypedEdit;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class NullableDateEdit;

class CWorkerUchKartPage : public CFormChildDlg {
    Q_OBJECT
public:
    // The column of a field that takes a line of both columns, its label in
    // the left one and the field across the rest.
    static constexpr int kWholeLine = -1;
    static inline const QColor kFieldColour{208, 227, 254};
    static inline const QColor kLabelColour{100, 103, 250};

    CWorkerUchKartPage(int dialogId, CCommonFormView* view);

    QLineEdit* Edit(int id) const;
    NullableDateEdit* Picker(int id) const;
    QCheckBox* Check(int id) const;

    kalvor::infobase::CInfoBase& Base() const;
    // The name shown beside a coded field (AddCodedEdit); null for other fields.
    QLabel* ValueName(int id) const;
    // The names a coded field can show: its name keeps the height of the
    // tallest, so that no value typed moves the rows below.
    void SetPossibleNames(int id, const QStringList& names);

    // What the page calls when the shown employee's card is saved (the view's
    // list of employees follows it).
    void OnCardSaved(std::function<void(quint32 slot)> saved) { m_cardSaved = std::move(saved); }

    // Esc: what was typed since the employee was shown is abandoned after a
    // question ("Нет" keeps it on the page), and the card shows what is
    // stored, editable; with nothing typed the focus goes to the view's
    // selection strip.
    virtual void OnCancel();
    // Enter: nothing outside group mode.
    virtual void OnOK() {}

protected:
    // Places a labelled input in a column (0 left, 1 right) of the page, made
    // with its rule (CardFieldRule) and named by its label; `also`, when
    // given, refuses what the rule reads and the card does not keep; `book`,
    // when it checks, the book whose record the number names (CardFieldBook).
    QLineEdit* AddEdit(int id, const QString& label, int column, kalvor::FigureRule rule, int width = 0,
                       std::function<QString(const QString&)> also = {}, kalvor::BookCheck book = {});
    // A field that only shows a value (read only, skipped by the focus).
    QLineEdit* AddShown(int id, const QString& label, int column, int width = 0);
    // A field for a code, the name of its value shown beside it (ValueName).
    QLineEdit* AddCodedEdit(int id, const QString& label, int column, kalvor::FigureRule rule, int width);
    NullableDateEdit* AddPicker(int id, const QString& label, int column, bool monthOnly = false);
    QCheckBox* AddCheck(int id, const QString& label, int column);
    // A control placed by the caller, kept under its number; `placed`, when
    // given, is what stands in the column (a box holding the control).
    void AddControl(int id, QWidget* control, const QString& label, int column, QWidget* placed = nullptr);
    // Starts a new row of both columns at the same height (a heading between groups).
    void AddHeading(const QString& text);
    QGridLayout* Form() const { return m_form; }

    // The personnel number of the first entry of the current list with this
    // slot; -1 when none has it.
    int PersonnelNumberOfSlot(quint32 slot) const;
    // Shows a refused value and focuses its field, the page made editable.
    void RefuseField(int id, const QString& message);
    // The page's dates and figures read in full; else the first refused is
    // said and focused.
    bool CommitFields();
    // Tells the card's view that the shown employee's card is saved, through
    // what the view gave OnCardSaved.
    void CardSaved();
    // Runs the savers in one transaction under the wait cursor; false after a
    // database failure, which is shown.
    bool SaveInBase(const std::function<void()>& savers);

    void keyPressEvent(QKeyEvent* event) override;

private:
    // The texts and ticks the page shows, in the order of its controls.
    QStringList Shown() const;
    void Show(const QStringList& shown);
    // The card's fields editable again (the strip greys them while it has
    // the focus), so that a refused field can be mended.
    void MakeEditable();
    // An input of the page made with its kind, named by its label.
    CTypedEdit* MakeInput(QWidget* parent, const QString& label, kalvor::FigureRule rule,
                          std::function<QString(const QString&)> also = {}, kalvor::BookCheck book = {});

    QGridLayout* m_form;
    int m_rows[2] = {0, 0};
    std::function<void(quint32 slot)> m_cardSaved;
};
