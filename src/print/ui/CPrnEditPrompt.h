#pragma once
// The print-command dialog as the statement threads ask it: CPrnEditDlg runs
// on the user-interface thread through GuiBridge::runBlocking while the
// worker waits. A view creates one and hands it to its worker with the
// parameters; the worker passes it to ApplyPrintOutput or PrintTextFile.
// Called on the user-interface thread itself, the dialog runs at once. When
// the worker is stopped while it waits, the answer is Cancel.
#include "print/PrintOutput.h"

class QWidget;

namespace kalvor::print {

class CPrnEditPrompt : public PrintCommandPrompt {
public:
    // parent: the window the dialog belongs to (the view), or none.
    explicit CPrnEditPrompt(QWidget* parent = nullptr) : m_parent(parent) {}
    std::optional<QString> ConfirmCommand(const QString& reportPath, const QString& command) override;

private:
    QWidget* m_parent;
};

} // namespace kalvor::print
