// The alternative time sheet's entry dialog (dialog 381): one grid row per
// line of the employee (code, days, hours, salary, tariff, percent, shop,
// cost code, month, minus), the insert and delete buttons, and the group
// operations over the marked employees' lines.
#pragma once

#include "infobase/BySlot.h"
#include "shell/ui/EmployeeScreen.h"

class CATabelVvodDlg : public CEmployeeDetailDlg {
    Q_OBJECT
public:
    enum { IDD = 381, IdGrid = 1308, IdInsertBefore = 32825, IdInsertAfter = 32826, IdDelete = 32794 };

    explicit CATabelVvodDlg(CCommonFormView* view);

    // Slot 0 empties the grid; another shows the employee's lines and his
    // name in the view's frame.
    void LoadRecord(quint32 slot) override;
    // Reads each row into the employee's line at its place; after a change
    // the index and the lines are stored. 0 keeps the employee after a
    // database failure (shown).
    int SaveRecord() override;

    // F7 / F8: an empty line before or after the selected row (or the first
    // row of an empty grid). A full index or line array is refused with a message.
    void InsertRowBefore();
    void InsertRowAfter();
    // Alt+F10: the selected row's line goes.
    void DeleteRow();

    int GroupAppend() override;
    int GroupDelete() override;
    int GroupCorrect() override;
    int GroupMarkMatching() override;

protected:
    bool ReadEnteredRow() override;
    // The walk over loaded employee records is not used: the lines live
    // beside the records, and the group operations work on them directly.
    bool AppendEntered(kalvor::infobase::EmployeeRecord&) override { return false; }
    int MatchEntered(const kalvor::infobase::EmployeeRecord&) const override { return -1; }
    bool DeleteMatched(kalvor::infobase::EmployeeRecord&, int) override { return false; }
    bool CorrectMatched(kalvor::infobase::EmployeeRecord&, int) override { return false; }
    // Esc outside group mode saves first (a refusal keeps the focus here).
    void keyPressEvent(QKeyEvent* event) override;

private:
    int SingleSelectedRow() const;
    void InsertRowAt(int position);
    int AppendLineRow(const QStringList& texts, int before = -1);
    // Stores the index and the lines; false after a database failure (shown).
    bool StoreLines();
    // Ends a group operation: stores what changed and names the skipped members.
    int FinishGroup(bool changed, const QStringList& skipped);

    QStringList m_entered; // the group's model row
    kalvor::infobase::BySlot<int> m_matchedLines; // per slot: the matched line, -1 none
};
