// Base of the month's deduction dialogs that are fixed forms (writs of
// execution, loans and credits): the shown employee's block read from and
// written to the form, saving only after a change (the master row, the block
// and the attributes in one transaction), and the group append of the filled
// fields into every marked employee. Enter in group mode appends and ends the
// group without a question; Esc ends the group, or gives the focus to the
// selection strip.
#pragma once

#include "values/TypedFigure.h"

#include "entries/MonthlyDeductions.h"
#include "shell/ui/CFormChildDlg.h"

#include <QColor>
#include <QLineEdit>

#include <utility>
#include <vector>

class QGridLayout;

class CMonthFormDlg : public CFormChildDlg {
    Q_OBJECT
public:
    CMonthFormDlg(int dialogId, CCommonFormView* view);

    // Slot 0 empties the form; another shows the employee's block and his
    // name in the view's frame.
    void LoadRecord(quint32 slot) override;
    // Reads the form into the shown employee, recounts his attribute and,
    // after a change, stores him. 0 keeps the employee: a database failure
    // (shown), after which the next save tries again.
    int SaveRecord() override;
    void BeginGroup() override;
    int GroupAppend() override;

    QLineEdit* Field(int id) const { return controlAs<QLineEdit>(id); }

    // The face of the forms: edit fields on RGB(208, 227, 254), label texts
    // in RGB(100, 103, 250).
    static inline const QColor kFieldBack{208, 227, 254};
    static inline const QColor kLabelText{100, 103, 250};

protected:
    // What each form gives: the frame's title ("...[%1]"), the block shown
    // from a record, the form read into a record (true when a value changed;
    // filledOnly for the group), the count kept with the attributes, and the
    // saver of the block's detail table.
    virtual QString TitleFormat() const = 0;
    virtual void ShowBlock(const kalvor::infobase::EmployeeRecord& rec) = 0;
    virtual bool ReadBlock(kalvor::infobase::EmployeeRecord& rec, bool filledOnly) const = 0;
    virtual void CountBlock(const kalvor::infobase::EmployeeRecord& rec,
                            kalvor::infobase::EmployeeAttributes& attr) const = 0;
    virtual kalvor::entries::DetailSaver Saver() const = 0;
    // Shows the first input that does not read by its kind; false when all
    // read. Each is read also when it is left.
    bool RefuseUnreadAmounts();

    // A labelled input of the form, numbered by its control id and made with
    // its kind (its rule and, for a number of a book, the book), named by its
    // label: the label in the column given, the field after it over span
    // columns.
    QLineEdit* AddField(QGridLayout* grid, int row, int column, const QString& label, int id,
                        const kalvor::FigureRule& rule, int width, int span = 1, kalvor::BookCheck book = {});
    // Names a field of one of the form's like blocks by its block as well
    // ("Первый лист, Величина удержания"), so that its refusal says which.
    static void NameInBlock(QLineEdit* field, const QString& block);
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Stores the current employee of the slot; false after a database failure (shown).
    bool StoreCurrent(int slot);
    void AppendToMember(int listIndex);
};
