// "Паспортные данные": the third page of the record card (dialog 335). The
// identity document, tax and insurance numbers, position, places of birth,
// registration and residence, the contract, the disability certificate and
// the family.
#pragma once

#include "masterdata/ui/CWorkerUchKartPage.h"

class CWorkerUchkartPasDDlg : public CWorkerUchKartPage {
    Q_OBJECT
public:
    static constexpr int IDD = 335;

    explicit CWorkerUchkartPasDDlg(CCommonFormView* view);

    void LoadRecord(quint32 slot) override;
    int SaveRecord() override;

private:
    void BuildForm();
    bool StoreNumbers(kalvor::infobase::EmployeeHead& head);
};
