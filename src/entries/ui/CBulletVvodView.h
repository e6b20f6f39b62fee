// "Ввод и корректировка больничного листа" (form 346): the employee's
// sick-leave sheets, one at a time, with the benefit computed on the spot.
#pragma once

#include "entries/ui/CLineEntryView.h"

class CBulletVvodDlg;

class CBulletVvodView : public CLineEntryView {
    Q_OBJECT
public:
    static constexpr int IDD = 346;
    // The document's entry-screen number of the sick-leave screens.
    static constexpr int kEntryScreen = 4;

    CBulletVvodView(CKalvorDoc* doc, RateCorrectionRunner rateCorrection, QWidget* parent = nullptr);

    CBulletVvodDlg* Dlg() const;

protected:
    CLineEntryDlg* CreateDialog() override;
    int LineCount(int slot) const override;
    void ShowDialogHelp(int controlId) override;

private:
    RateCorrectionRunner m_rateCorrection;
};
