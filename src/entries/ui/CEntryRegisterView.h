// The frame of the two register views of the sick leave and vacations: the
// selection strip, the button "Печать" (1040) and the marquee place (1316)
// of the print views; Esc goes back to the empty view alone, and a run ends
// with the messages of the time-sheet reading view (OnCopyBaseWorkerDone):
// 4 "Нет работников для заданных параметров", a file error its kind, a
// writer's failure its text, any other failure its text.
#pragma once

#include "print/ui/CPrintTaskView.h"
#include "print/ui/CPrnEditPrompt.h"

class CEntryRegisterView : public CPrintTaskView {
    Q_OBJECT
public:
    CEntryRegisterView(int formId, CKalvorDoc* doc, QWidget* parent = nullptr);
    // The worker may be asking the print command's dialog of this view: it
    // ends first.
    ~CEntryRegisterView() override;

protected:
    int LeavePanel() const override { return -1; }
    void OnWorkerDone(int result, int detail, const QString& message) override;

    // The dialog of the print command that the worker asks on this thread.
    kalvor::print::CPrnEditPrompt m_prompt;
};
