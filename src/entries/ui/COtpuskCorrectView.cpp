#include "entries/ui/COtpuskCorrectView.h"

#include "entries/ui/COtpuskCorrectDlg.h"

COtpuskCorrectView::COtpuskCorrectView(CKalvorDoc* doc, QWidget* parent)
    : CPaymentCorrectionView(IDD, QStringLiteral("Корректировка отпускных выплат"), kEntryScreen, doc, parent)
{
    setObjectName(QStringLiteral("COtpuskCorrectView"));
}

CPaymentCorrectionDlg* COtpuskCorrectView::CreateDialog() { return new COtpuskCorrectDlg(this); }
