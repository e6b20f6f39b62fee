#pragma once
// The payment-correction grid shared by the sick-leave and vacation screens:
// one row per sheet or note of the employees that the strip's keys select,
// only "Сумма" editable, and under it the total "К выдаче" of the lines paid
// in the inter-calculation period.
#include "entries/PaymentCorrection.h"
#include "shell/ui/CFormChildDlg.h"

class CFldHlpGridCtrl;
class QLineEdit;

class CPaymentCorrectionDlg : public CFormChildDlg {
    Q_OBJECT
public:
    // The dialog, grid and total control numbers of one of the two screens.
    struct Controls {
        int dialog = 0;
        int grid = 0;
        int total = 0;
    };

    CPaymentCorrectionDlg(const Controls& controls, kalvor::entries::PaymentLines lines, CCommonFormView* view);

    // Stores the keys and fills the grid and "К выдаче" anew.
    void SetSelection(int shop, int brigade, int profession) override;
    // Reads every row's "Сумма" into its line; when an amount changed, the
    // line table is written to the base under the wait cursor. 0, with
    // nothing changed, when a row's line is not found any more, and when the
    // base refused the table (said with ShowComError; the flag stays set so
    // that the next save tries again).
    int SaveRecord() override;
    // Esc: the focus goes back to the selection strip. Enter does nothing.
    void OnCancel();

    // Whether the last SaveRecord stopped at a row without its line.
    bool LineMissing() const { return m_lineMissing; }

    CFldHlpGridCtrl* Grid() const { return m_grid; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void SetupGrid();
    // "Сумма" takes the width that the other columns leave.
    void FitAmountColumn();
    QStringList ColumnTexts(int column) const;
    bool SaveLinesShowingErrors();

    kalvor::entries::PaymentLines m_lines;
    CFldHlpGridCtrl* m_grid = nullptr;
    QLineEdit* m_total = nullptr;
    bool m_lineMissing = false;
};
