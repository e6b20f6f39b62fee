// 32895 "Справка о заработной плате" (form 465): prints the certificate of
// monthly earnings of the employees that the strip names.
#pragma once

#include "exchange/ui/CExchangeTaskView.h"

class CEFuncSpravZarpMonthView : public CExchangeTaskView {
    Q_OBJECT
public:
    enum { FormId = 465, CommandId = 32895 };

    explicit CEFuncSpravZarpMonthView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CEFuncSpravZarpMonthView() override;

protected:
    kalvor::platform::TaskThread::Body MakeTaskBody() override;
};
