#include "entries/ui/CBulletViplatView.h"

#include "entries/ui/CBulletViplatDlg.h"

CBulletViplatView::CBulletViplatView(CKalvorDoc* doc, QWidget* parent)
    : CPaymentCorrectionView(IDD, QStringLiteral("Просмотр выплат по больничным"), kEntryScreen, doc, parent)
{
    setObjectName(QStringLiteral("CBulletViplatView"));
}

CBulletViplatDlg* CBulletViplatView::Dlg() const
{
    return static_cast<CBulletViplatDlg*>(CPaymentCorrectionView::Dlg());
}

CPaymentCorrectionDlg* CBulletViplatView::CreateDialog() { return new CBulletViplatDlg(this); }
