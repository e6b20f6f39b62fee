// "Ввод и корректировка больничного листа" (form 346): the employee's
// sick-leave sheets, one at a time, with the benefit computed on the spot.
#pragma once

#include "entries/ui/CBulletVvodDlg.h"

class CBulletVvodView : public CLineEntryViewOf<CBulletVvodDlg, kalvor::infobase::SickLeaveSheet> {
    Q_OBJECT
public:
    // The form, and the document's entry-screen number of the sick-leave screens.
    static constexpr int IDD = 346, kEntryScreen = 4;

    CBulletVvodView(CKalvorDoc* doc, RateCorrectionRunner rateCorrection, QWidget* parent = nullptr);
};
