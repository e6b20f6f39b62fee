#pragma once
// The advance grid (dialog 375): for the shown employees of a shop, brigade
// and profession, each one's name, personnel number and advance, the
// advance editable; under it the total "К выдаче".
#include "shell/ui/CFormChildDlg.h"

#include <cstddef>
#include <optional>
#include <vector>

class CFldHlpGridCtrl;
class QLineEdit;

class CAvanceVvodDlg : public CFormChildDlg {
    Q_OBJECT
public:
    enum { IdGrid = 1259, IdTotal = 1260 };

    explicit CAvanceVvodDlg(CCommonFormView* view);

    // One row per employee of the keys who is shown (an advance, or a state
    // other than 4), in list order; the total of their advances, each
    // rounded by pay kind 901, "%.2f" in roubles; the total follows the
    // cells as they are typed.
    void SetSelection(int shop, int brigade, int profession) override;
    // Reads every row's advance back into the document (CInfoBase::av); a
    // row whose personnel number is no longer in the list ends the reading.
    // The modified flag is set when an advance changed; nothing is written
    // to the base here.
    int SaveRecord() override;
    // Esc: the focus goes back to the selection strip.
    void OnCancel();

    CFldHlpGridCtrl* Grid() const { return m_grid; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SetupGrid();
    // Shows the total of the advances the rows show, each as its cell reads
    // (a cell that does not read counts the stored advance).
    void ShowTotal();
    // The employees the rows show, in order, each with the advance its cell
    // reads as (none when the cell does not read); a row whose personnel
    // number is no longer in the list ends them.
    struct ShownAdvance {
        std::size_t slot = 0;
        std::optional<double> kopecks;
    };
    std::vector<ShownAdvance> ShownAdvances() const;
    // The advance just typed into the row, when larger than the employee's
    // month's pay, is asked about first: kept on a yes (what the pay does not
    // cover stays a debt), else the cell shows the stored advance again.
    void AskAboutAdvance(int row);

    CFldHlpGridCtrl* m_grid = nullptr;
    QLineEdit* m_total = nullptr;
};
