// "Ввод и корректировка отпускной записки" (form 365): the employee's
// vacation notes, one at a time, computed on the spot.
#pragma once

#include "entries/ui/COtpuskVvodDlg.h"

class COtpuskVvodView : public CLineEntryViewOf<COtpuskVvodDlg, kalvor::infobase::VacationNote> {
    Q_OBJECT
public:
    // The form, and the document's entry-screen number of the vacation screens.
    static constexpr int IDD = 365, kEntryScreen = 5;

    COtpuskVvodView(CKalvorDoc* doc, RateCorrectionRunner rateCorrection, QWidget* parent = nullptr);
};
