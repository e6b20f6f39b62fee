#pragma once
// The pay sheet (dialog 392): for the employees of a shop, brigade and
// profession, each one's name, personnel number and amount to pay as the
// monthly calculation stored it, with the total to pay.
#include "shell/ui/CFormChildDlg.h"

#include <QString>

class CFldHlpGridCtrl;
class CGridCtrl;
class QLineEdit;

// One row of the pay sheet.
struct PaySheetRow {
    QString name; // up to 120 characters
    quint16 tabN = 0; // personnel number
    double amount = 0; // kopecks
};

// Writes the three cells of a row: name, personnel number "%d" (empty for 0)
// and amount "%.2f" of roubles (empty for 0), each marked as modified.
void FillPaySheetRow(CGridCtrl* grid, int row, const PaySheetRow& rec);

class CCalcPlatVedDlg : public CFormChildDlg {
    Q_OBJECT
public:
    enum { IdGrid = 1353, IdTotal = 1354 };

    explicit CCalcPlatVedDlg(CCommonFormView* view);

    // Fills the sheet with every employee of the current list that the keys
    // (0 = any) select, in list order, and shows the total.
    void SetSelection(int shop, int brigade, int profession) override;

    CFldHlpGridCtrl* Grid() const { return m_grid; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SetupGrid();

    CFldHlpGridCtrl* m_grid = nullptr;
    QLineEdit* m_total = nullptr;
};
