// "Печать платежной ведомости" of the vacations (form 397): the vacation
// notes to be paid in the month as the text pay statement or as cash orders,
// from the advance statement's form without "Фамилия бухгалтера".
#pragma once

#include "entries/ui/CBulletPlatVedView.h"

class COtpuskPlatVedView : public CAvancePrintVedView {
    Q_OBJECT
public:
    static constexpr int kFormId = 397;
    static constexpr int kCommandId = 32808;

    explicit COtpuskPlatVedView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~COtpuskPlatVedView() override;

protected:
    kalvor::platform::TaskThread::Body MakeTaskBody() override;
};
