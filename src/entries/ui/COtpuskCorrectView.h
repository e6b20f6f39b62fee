#pragma once
// "Корректировка отпускных выплат" (form 388): the amounts of the month's
// vacation notes of the selected employees, corrected in the grid.
#include "entries/ui/COtpuskVvodView.h"
#include "entries/ui/CPaymentCorrectionView.h"

class COtpuskCorrectView : public CPaymentCorrectionView {
    Q_OBJECT
public:
    static constexpr int IDD = 388;
    static constexpr int kCommandId = 32806;
    // The document's entry-screen number, shared with the entry screen.
    static constexpr int kEntryScreen = COtpuskVvodView::kEntryScreen;

    explicit COtpuskCorrectView(CKalvorDoc* doc, QWidget* parent = nullptr);

protected:
    CPaymentCorrectionDlg* CreateDialog() override;
};
