#pragma once
// The task view shared by the two payment-correction screens: the selection
// strip (shop, brigade, profession), the frame box with the screen's caption
// and the correction grid. Enter in the strip saves the grid and lists the
// new selection; leaving the screen saves the corrected amounts.
#include "shell/ui/CCommonFormView.h"

class CPaymentCorrectionDlg;
class CWorkersFilterDlg;

class CPaymentCorrectionView : public CCommonFormView {
    Q_OBJECT
public:
    enum { IdFrame = 1225 };

    // Saves what the grid holds, in case the view goes without being asked
    // to leave (the frame destroyed with it).
    ~CPaymentCorrectionView() override;

    void OnInitialUpdate() override;
    // F1 in the strip: its pick list; elsewhere only the focus is kept.
    void ShowFormHelp() override;
    // Enter in the strip: the check that the keys select somebody, the grid
    // saved, and the new selection listed.
    void ApplySelection() override;
    void EnableEntry(bool enable) override;
    // The corrected amounts are saved before the screen is left; a base that
    // refuses them keeps the screen. A row whose employee is gone cannot be
    // saved and does not hold the screen.
    bool CanLeave() override;

    CPaymentCorrectionDlg* Dlg() const { return m_dlg; }
    CWorkersFilterDlg* Strip() const { return m_filter; }

protected:
    CPaymentCorrectionView(int formId, const QString& caption, int entryScreen, CKalvorDoc* doc, QWidget* parent);
    virtual CPaymentCorrectionDlg* CreateDialog() = 0;

private:
    QString m_caption;
    int m_entryScreen;
    CPaymentCorrectionDlg* m_dlg = nullptr;
    CWorkersFilterDlg* m_filter = nullptr;
};
