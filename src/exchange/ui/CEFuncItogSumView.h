// 32892 "Информация об итоговых суммах" (form 444): the total sums of the
// income-tax figures over the report generator's period, shown through the
// print command.
#pragma once

#include "exchange/ui/CExchangeTaskView.h"
#include "print/ui/CPrnEditPrompt.h"

class CEFuncItogSumView : public CExchangeTaskView {
    Q_OBJECT
public:
    enum { FormId = 444, CommandId = 32892 };

    explicit CEFuncItogSumView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CEFuncItogSumView() override;

protected:
    kalvor::platform::TaskThread::Body MakeTaskBody() override;

private:
    kalvor::print::CPrnEditPrompt m_prompt;
};
