// "Печать ведомости" of the sick leave (form 459): the sick-leave sheets to
// be paid in the month as the text pay statement or as cash orders, from the
// advance statement's form without "Фамилия бухгалтера".
#pragma once

#include "entries/ui/CAvancePrintVedView.h"

class CBulletPlatVedView : public CAvancePrintVedView {
    Q_OBJECT
public:
    static constexpr int kFormId = 459;
    static constexpr int kCommandId = 1216;

    explicit CBulletPlatVedView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CBulletPlatVedView() override;

protected:
    kalvor::platform::TaskThread::Body MakeTaskBody() override;
};

// The fields of the sick-pay and vacation-pay statement forms.
inline constexpr unsigned kEntryStatementFields =
    (PaymentFormAll & ~PaymentFormCostCode) | PaymentFormOptionNumbers | PaymentFormCashierOnly;
