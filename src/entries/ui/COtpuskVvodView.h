// "Ввод и корректировка отпускной записки" (form 365): the employee's
// vacation notes, one at a time, computed on the spot.
#pragma once

#include "entries/ui/CLineEntryView.h"

class COtpuskVvodDlg;

class COtpuskVvodView : public CLineEntryView {
    Q_OBJECT
public:
    static constexpr int IDD = 365;
    // The document's entry-screen number of the vacation screens.
    static constexpr int kEntryScreen = 5;

    COtpuskVvodView(CKalvorDoc* doc, RateCorrectionRunner rateCorrection, QWidget* parent = nullptr);

    COtpuskVvodDlg* Dlg() const;

protected:
    CLineEntryDlg* CreateDialog() override;
    int LineCount(int slot) const override;
    void ShowDialogHelp(int controlId) override;

private:
    RateCorrectionRunner m_rateCorrection;
};
