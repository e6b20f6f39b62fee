// "Печать расчетной ведомости" (form 387): the month's settlement statement
// of the employees the selection names, of the kind in field 1104.
#pragma once

#include "print/ui/CPrintTaskView.h"

class CPrintRaschVedView : public CPrintTaskView {
    Q_OBJECT
public:
    static constexpr int kFormId = 387;
    static constexpr int kStatementKindField = 1104;

    explicit CPrintRaschVedView(CKalvorDoc* doc, QWidget* parent = nullptr);

protected:
    bool ReadFormValues() override;
    kalvor::platform::TaskThread::Body MakeTaskBody() override;

private:
    int m_statementKind = 0;
};
