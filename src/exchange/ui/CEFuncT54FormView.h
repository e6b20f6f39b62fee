// 32894 "Форма Т-54" (form 467): prints the personal account T-54 of the
// employees that the strip names, optionally through the editor dialog for
// each employee.
#pragma once

#include "exchange/ui/CExchangeTaskView.h"

class CEFuncT54FormView : public CExchangeTaskView {
    Q_OBJECT
public:
    enum { IdShowEditorField = 1255, FormId = 467, CommandId = 32894 };

    explicit CEFuncT54FormView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CEFuncT54FormView() override;

    // Field 1255: the pick list "Нет" / "Да"; the strip's fields as usual.
    void ShowFormHelp() override;

protected:
    bool ReadFormValues() override;
    kalvor::platform::TaskThread::Body MakeTaskBody() override;

private:
    int m_showEditor = 0;
};
