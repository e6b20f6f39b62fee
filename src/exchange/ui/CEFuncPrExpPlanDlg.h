// "План счетов": the chart of accounts of the 1C postings ("plan_1c.txt" in
// the working folder) in a grid of 26 columns under a heading of two rows:
// account, subaccount, and for each of the four analytics ("Субконто") two
// levels of kind, option and number. "ОК" writes the file, "Отмена" leaves it.
#pragma once

#include "exchange/ui/COneCGridDlg.h"

class CEFuncPrExpPlanDlg : public COneCGridDlg {
public:
    static constexpr int IdGrid = 1439;

    // The chart of the folder's file (the working folder by default).
    explicit CEFuncPrExpPlanDlg(QWidget* parent = nullptr, const QString& folder = QString());

    // "ОК": writes the grid's rows to the file and closes the dialog; a file
    // that cannot be written keeps the dialog open.
    void SavePlanFile();
    void accept() override { SavePlanFile(); }

protected:
    void SpreadColumns() override;

private:
    void OnInitDialog();
    void SetUpGrid();
    void MergeHeadings();
    void LoadPlanFile();

    QString m_folder;
};
