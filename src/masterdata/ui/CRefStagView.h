#pragma once
// The length-of-service book (form 358, "Выслуга лет"): the firm's 15 rules of
// length-of-service allowances in grid 1241 under two heading rows, with
// "Добавить запись" and "Удалить запись". F1 gives help on the focused
// column; leaving the book rebuilds the rules from the grid, sorts them by
// code and saves the firm record.
#include "shell/ui/CCommonFormView.h"

#include <vector>

class CFldHlpGridCtrl;
class QPushButton;
struct GridColumn;

class CRefStagView : public CCommonFormView {
    Q_OBJECT
public:
    enum { FormId = 358, IdGrid = 1241, IdAdd = 1060, IdDelete = 1061 };

    explicit CRefStagView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CRefStagView() override;

    void OnInitialUpdate() override;
    void ShowFormHelp() override;

    void AddRow();
    void DeleteRow();
    // Rebuilds the rules from the grid and saves the firm record; false when
    // the base refused (the error was shown, the rules stay in memory).
    bool SaveRules();
    // Leaving: not while a refused cell is being corrected (its refusal was said).
    bool CanLeave() override;

    CFldHlpGridCtrl* Grid() const { return m_grid; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetupHeadings();
    // The range of the columns from `least` refuses its ends out of order.
    void OrderRange(std::vector<GridColumn>& columns, int least) const;
    void FillGrid();

    CFldHlpGridCtrl* m_grid = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_delete = nullptr;
};
