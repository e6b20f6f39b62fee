// The archive of past months of one employee (dialog 448): all 1,200 archive
// entries, one row each, edited in place.
#pragma once

#include "shell/ui/EmployeeScreen.h"

class CWorkerArchiveDlg : public CEmployeeDetailDlg {
    Q_OBJECT
public:
    enum { IdGrid = 1463 };
    // Text colour of the deduction rows (codes from 700 on): RGB(240, 100, 0).
    static constexpr unsigned kDeductionColour = 0x0064F0;

    explicit CWorkerArchiveDlg(CCommonFormView* view);

    void LoadRecord(quint32 slot) override;
    // Reads every row into the shown employee's entries field by field and
    // saves him when anything changed; 0 after a database failure.
    int SaveRecord() override;

protected:
    bool ReadEnteredRow() override;
    bool AppendEntered(kalvor::infobase::EmployeeRecord& rec) override;
    int MatchEntered(const kalvor::infobase::EmployeeRecord& rec) const override;
    bool DeleteMatched(kalvor::infobase::EmployeeRecord& rec, int index) override;
    bool CorrectMatched(kalvor::infobase::EmployeeRecord& rec, int index) override;

private:
    void FillGrid(const std::vector<kalvor::infobase::WariaEntry>& entries);

    QStringList m_entered;
};
