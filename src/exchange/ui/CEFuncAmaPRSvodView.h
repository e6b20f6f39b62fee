// 1405 "Объединение сводов": the totals files of the arbitrary-breakdown
// summary, written in several bases, merged into one text report.
#pragma once

#include "print/ui/CPrnEditPrompt.h"
#include "summaries/ui/CAmaSvodView.h"

class QKeyEvent;

class CEFuncAmaPRSvodView : public CAmaSvodView {
    Q_OBJECT
public:
    enum { CommandId = 1405 };

    explicit CEFuncAmaPRSvodView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CEFuncAmaPRSvodView() override;

    // The list's files go to the merge worker when button 1040 is enabled.
    void StartMerge() override;

protected:
    // The file messages of the frame's end of a run, then the base's end.
    void OnMergeDone(int result, int detail, const QString& failure) override;
    // Esc: the empty view and the panel of the summaries.
    void keyPressEvent(QKeyEvent* event) override;

private:
    kalvor::print::CPrnEditPrompt m_prompt;
};
