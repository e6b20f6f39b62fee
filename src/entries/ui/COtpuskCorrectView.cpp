#include "entries/ui/COtpuskCorrectView.h"

#include "entries/ui/COtpuskCorrectDlg.h"

COtpuskCorrectView::COtpuskCorrectView(CKalvorDoc* doc, QWidget* parent)
    : CPaymentCorrectionView(IDD, QStringLiteral("Корректировка отпускных выплат"), kEntryScreen, doc, parent)
{
    setObjectName(QStringLiteral("COtpuskCorrectView"));
}

COtpuskCorrectDlg* COtpuskCorrectView::Dlg() const
{
    return static_cast<COtpuskCorrectDlg*>(CPaymentCorrectionView::Dlg());
}

CPaymentCorrectionDlg* COtpuskCorrectView::CreateDialog() { return new COtpuskCorrectDlg(this); }
