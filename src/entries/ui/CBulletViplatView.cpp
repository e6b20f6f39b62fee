#include "entries/ui/CBulletViplatView.h"

#include "entries/ui/CBulletViplatDlg.h"

CBulletViplatView::CBulletViplatView(CKalvorDoc* doc, QWidget* parent)
    : CPaymentCorrectionView(IDD, QStringLiteral("Просмотр выплат по больничным"), kEntryScreen, doc, parent)
{
    setObjectName(QStringLiteral("CBulletViplatView"));
}

CPaymentCorrectionDlg* CBulletViplatView::CreateDialog() { return new CBulletViplatDlg(this); }
