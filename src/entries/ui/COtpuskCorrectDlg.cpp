#include "entries/ui/COtpuskCorrectDlg.h"

COtpuskCorrectDlg::COtpuskCorrectDlg(CCommonFormView* view)
    : CPaymentCorrectionDlg({IDD, IdGrid, IdTotal}, kalvor::entries::PaymentLines::Vacation, view)
{
    setObjectName(QStringLiteral("COtpuskCorrectDlg"));
}
