// "Печать ведомости" of the advance (form 398): the month's advances as the
// text pay statement or as cash orders, through the form and start of the
// pay statement's view without its cost code.
#pragma once

#include "entries/AdvanceStatement.h"
#include "print/ui/CPrintPlatVedView.h"

class CAvancePrintVedView : public CPrintPlatVedView {
    Q_OBJECT
public:
    static constexpr int kFormId = 398;

    explicit CAvancePrintVedView(CKalvorDoc* doc, QWidget* parent = nullptr);

    // The check boxes get the list "Нет" / "Да"; the rest as the pay statement.
    void ShowFormHelp() override;
    // Employees marked in the help of 1103, or pay kinds marked in the help
    // of 1257, start printing at once.
    void TakeHelpValues(const QStringList& values) override;

protected:
    // The twins of this view that print other statements from the same form
    // under their own number (fields: the form's PaymentFormField set).
    CAvancePrintVedView(int formId, unsigned fields, CKalvorDoc* doc, QWidget* parent);
    // The fields of the advance's form.
    static constexpr unsigned kFields = (PaymentFormAll & ~PaymentFormCostCode) | PaymentFormOptionNumbers;

    // The worker's block from the form just read.
    kalvor::PaymentStatementParams StatementParams();
    // Whether the start was made by pay kinds marked in the help of 1257.
    bool PayKindsMarked() const { return m_payKindsMarked; }

    // Esc goes back to the empty view alone.
    int LeavePanel() const override { return -1; }
    kalvor::platform::TaskThread::Body MakeTaskBody() override;

private:
    void MarkChosenPayKinds(const QStringList& codes);

    bool m_payKindsMarked = false;
};

// The pick list of the two check boxes: "Нет" (empty) and "Да" (1).
QStringList NoYesLines();
