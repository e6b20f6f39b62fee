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
    // The bonus statement's view: the same form under its own number.
    CAvancePrintVedView(int formId, CKalvorDoc* doc, QWidget* parent);

    // Esc goes back to the empty view alone.
    int LeavePanel() const override { return -1; }
    kalvor::platform::TaskThread::Body MakeTaskBody() override;
    // The worker's block of the values just read.
    kalvor::AdvanceStatementParams StatementParams();
    // Whether the start was made by pay kinds marked in the help of 1257.
    bool PayKindsMarked() const { return m_payKindsMarked; }

private:
    void MarkChosenPayKinds(const QStringList& codes);

    bool m_payKindsMarked = false;
};

// The pick list of the two check boxes: "Нет" (empty) and "Да" (1).
QStringList NoYesLines();
