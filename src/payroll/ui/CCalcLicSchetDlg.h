#pragma once
// The personal account (dialog 386): the month's accrual and deduction rows
// of one employee, as they are stored, with the totals accrued, deducted and
// to pay. Nothing here can be edited.
#include "shell/ui/CFormChildDlg.h"

#include <QString>

class CFldHlpGridCtrl;
class QLineEdit;

class CCalcLicSchetDlg : public CFormChildDlg {
    Q_OBJECT
public:
    enum { IdGrid = 1315, IdAccrued = 1312, IdDeducted = 1313, IdToPay = 1314 };

    explicit CCalcLicSchetDlg(CCommonFormView* view);

    // Shows the current record's rows of the employee in this slot (skipping
    // empty rows) with the totals, and names him in the view's title; slot 0
    // only stores the slot.
    void LoadRecord(quint32 slot) override;

    CFldHlpGridCtrl* Grid() const { return m_grid; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SetupGrid();
    QLineEdit* AddTotal(int id, const QString& label, int x);

    CFldHlpGridCtrl* m_grid = nullptr;
    QLineEdit* m_accrued = nullptr;
    QLineEdit* m_deducted = nullptr;
    QLineEdit* m_toPay = nullptr;
};
