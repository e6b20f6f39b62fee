// "Настройка экспорта проводок" (dialog 432): the account and sub-account
// credited for pay and whether accruals of one account are joined, kept in
// the firm record. "ОК" saves the firm record only when something changed.
#pragma once

#include "shell/ui/ControlMap.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class CTypedEdit;

namespace kalvor::infobase {
class CInfoBase;
}

class CEFuncPrExpSetDlg : public QDialog, public ControlMap {
    Q_OBJECT
public:
    enum : int { IdAccount = 1410, IdSubaccount = 1411, IdJoinAccruals = 1438 };

    // An account of 0 in the firm record becomes 70 in memory (not saved).
    explicit CEFuncPrExpSetDlg(kalvor::infobase::CInfoBase& base, QWidget* parent = nullptr);

    // IDOK or IDCANCEL.
    int DoModal();
    // Whether the last "ОК" saved the firm record.
    bool Saved() const { return m_saved; }

public slots:
    // Reads the fields with their ranges (0-9999 and 0-9; anything else is 0)
    // and saves the firm record when a value changed.
    void accept() override;

private:
    bool ReadFields();
    void SaveFirmRecord();

    kalvor::infobase::CInfoBase& m_base;
    CTypedEdit* m_account = nullptr;
    CTypedEdit* m_subaccount = nullptr;
    QCheckBox* m_join = nullptr;
    bool m_saved = false;
};
