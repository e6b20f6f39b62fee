#pragma once
// The vacation payment grid (dialog 389): the notes with their lengths and
// amounts.
#include "entries/ui/CPaymentCorrectionDlg.h"

class COtpuskCorrectDlg : public CPaymentCorrectionDlg {
    Q_OBJECT
public:
    enum { IDD = 389, IdGrid = 1351, IdTotal = 1350 };

    explicit COtpuskCorrectDlg(CCommonFormView* view);
};
