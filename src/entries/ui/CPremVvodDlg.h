#pragma once
// The bonus grid (dialog 372): one row per bonus line of each employee of a
// shop, brigade and profession (an empty row for an employee without lines),
// the buttons that insert and delete lines, and under the grid the total of
// the bonuses in roubles.
#include "shell/ui/CFormChildDlg.h"

#include <functional>
#include <vector>

class CFldHlpGridCtrl;
struct GridColumn;
class QLineEdit;
struct GridNotifyInfo;

class CPremVvodDlg : public CFormChildDlg {
    Q_OBJECT
public:
    enum { IdGrid = 1251, IdTotal = 1256, IdInsertBefore = 32825, IdInsertAfter = 32826, IdDelete = 32794 };

    explicit CPremVvodDlg(CCommonFormView* view);

    // The rows of every employee of the keys who is shown (lines, or a
    // state other than 4), in list order; the total of their lines of kind
    // 0, each rounded by its own pay kind, "%.2f" in roubles.
    void SetSelection(int shop, int brigade, int profession) override;
    // Reads every row into its line (a filled empty row becomes the
    // employee's first line); a row whose personnel number is no longer in
    // the list ends the reading. The modified flag is set when a line
    // changed; nothing is written to the base here.
    int SaveRecord() override;

    // F7 / F8: with one row selected, the row is read, then an empty line is
    // inserted for its employee before or after the row's line, with its
    // row, whose first editable cell takes the focus. An employee's ninth
    // line, or a full line array, is refused with a message.
    void InsertLineBefore() { InsertLine(0); }
    void InsertLineAfter() { InsertLine(1); }
    // Alt+F10: with one row selected, its line and its row go.
    void DeleteLine();
    // Esc: the focus goes back to the selection strip.
    void OnCancel();

    CFldHlpGridCtrl* Grid() const { return m_grid; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SetupGrid();
    std::function<QString(int row, const QString& read)> ShopOfRowRefusal(const GridColumn& column) const;
    std::function<QString(int row, const QString& read)> KindOfRowRefusal(const GridColumn& shop) const;
    void AddButtons();
    // Appends (or inserts before `before`) a row of the employee with these
    // texts of the line's fields.
    int AddLineRow(int slot, int personnelNumber, const QStringList& fields, int before = -1);
    void InsertLine(int offset);
    int SingleSelectedRow() const;
    std::vector<int> RowNumbers() const;
    // Reads one data row (grid row) into its line; false when its number is
    // not in the list.
    bool ReadRow(int row, const std::vector<int>& numbers);
    void OnGridNotify(GridNotifyInfo* info, long* result);

    CFldHlpGridCtrl* m_grid = nullptr;
    QLineEdit* m_total = nullptr;
};
