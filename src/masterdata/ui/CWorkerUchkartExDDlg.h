// "Дополнительные данные": the second page of the record card (dialog 334).
// Status flags, military service with its length, foreigner's data,
// imputed-income months, separate division, the kind of average earnings and
// the property tax deduction.
#pragma once

#include "masterdata/ui/CWorkerUchKartPage.h"

class CWorkerUchkartExDDlg : public CWorkerUchKartPage {
    Q_OBJECT
public:
    static constexpr int IDD = 334;
    // The month boxes January to December.
    static constexpr int kMonthIds[12] = {1083, 1084, 1085, 1086, 1089, 1088, 1087, 1090, 1091, 1092, 1093, 1094};

    explicit CWorkerUchkartExDDlg(CCommonFormView* view);
    // The fields' signals are cut first: a focused field losing its focus
    // while the page goes must not reach the page's handlers.
    ~CWorkerUchkartExDDlg() override;

    void LoadRecord(quint32 slot) override;
    int SaveRecord() override;

    // The deduction total lost the focus: the total, balance and year amount
    // take the typed amount (after a question when a total was set).
    void OnDeductionTotalKillFocus();
    // A picker changed: the start of service recomputes the length of service.
    void OnDateChange(int id);

private:
    void BuildForm();
    void ShowServiceLength();
    void ShowDeduction();
    bool StoreFlags(kalvor::infobase::EmployeeHead& head);
    bool StoreNumbers(kalvor::infobase::EmployeeHead& head, bool* gradeChanged);
    bool StoreImputedIncome(kalvor::infobase::EmployeeHead& head);
    bool StoreDeduction(kalvor::infobase::EmployeeHead& head);

    bool m_inDeductionQuestion = false;
    bool m_attributesPending = false;
};
