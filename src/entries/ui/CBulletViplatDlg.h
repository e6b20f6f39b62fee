#pragma once
// The sick-leave payment grid (dialog 457): the sheets with their end dates
// and benefits.
#include "entries/ui/CPaymentCorrectionDlg.h"

class CBulletViplatDlg : public CPaymentCorrectionDlg {
    Q_OBJECT
public:
    enum { IDD = 457, IdGrid = 1517, IdTotal = 1515 };

    explicit CBulletViplatDlg(CCommonFormView* view);
};
