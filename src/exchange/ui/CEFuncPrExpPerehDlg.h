// "Таблицы перехода": the transition tables of the 1C postings
// ("pereh_1c.txt" in the working folder) edited in two steps: first the shop
// table, then, after the first "ОК", the brigade table; the second "ОК"
// writes the file. "Отмена" in either step writes nothing.
#pragma once

#include "exchange/TransitionTables1CFile.h"
#include "exchange/ui/COneCGridDlg.h"

#include <vector>

class CEFuncPrExpPerehDlg : public COneCGridDlg {
public:
    static constexpr int IdGrid = 1440;

    // The tables of the folder's file (the working folder by default).
    explicit CEFuncPrExpPerehDlg(QWidget* parent = nullptr, const QString& folder = QString());

    bool ShopStep() const { return m_shopStep; }
    // The dialog could not open its file and is closed as cancelled.
    bool Failed() const { return m_failed; }

    // Both steps' "ОК": the shop step merges the shop table and shows the
    // brigade table; the brigade step merges it and writes the file. A full
    // file or a write failure is shown and keeps the dialog open.
    void OnOK();
    void accept() override { OnOK(); }
    int exec() override;

    // Deleting a row also clears that number's fields of the step at "ОК".
    int OnDeleteRow() override;

    // Rebuilds the grid from the first count rows of the table.
    void FillTableGrid(bool shopStep, int count);

protected:
    void SpreadColumns() override;

private:
    void OnInitDialog();
    void CopyGridToTable();

    QString m_folder;
    kalvor::exchange::TransitionLines m_lines;
    kalvor::exchange::TransitionTable m_table;
    std::vector<int> m_deletedNumbers;
    bool m_shopStep = true;
    bool m_failed = false;
};
