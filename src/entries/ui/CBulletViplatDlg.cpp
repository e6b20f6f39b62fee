#include "entries/ui/CBulletViplatDlg.h"

CBulletViplatDlg::CBulletViplatDlg(CCommonFormView* view)
    : CPaymentCorrectionDlg({IDD, IdGrid, IdTotal}, kalvor::entries::PaymentLines::SickLeave, view)
{
    setObjectName(QStringLiteral("CBulletViplatDlg"));
}
