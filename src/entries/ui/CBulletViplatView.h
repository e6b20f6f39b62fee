#pragma once
// "Просмотр выплат по больничным" (form 458): the benefits of the month's
// sick-leave sheets of the selected employees, corrected in the grid.
#include "entries/ui/CBulletVvodView.h"
#include "entries/ui/CPaymentCorrectionView.h"

class CBulletViplatView : public CPaymentCorrectionView {
    Q_OBJECT
public:
    static constexpr int IDD = 458;
    static constexpr int kCommandId = 1214;
    // The document's entry-screen number, shared with the entry screen.
    static constexpr int kEntryScreen = CBulletVvodView::kEntryScreen;

    explicit CBulletViplatView(CKalvorDoc* doc, QWidget* parent = nullptr);

protected:
    CPaymentCorrectionDlg* CreateDialog() override;
};
