// What the walks of the screens' tests fail on: an input, or a grid column
// edited in place, that a person could type into while nobody gave it a kind.
#pragma once

#include "grid/GridCtrl.h"
#include "shell/ui/TypedInput.h"

#include <QLineEdit>
#include <QList>
#include <vector>

// The line edits within the widget that a person types into and that were
// made without a kind.
inline QList<QLineEdit*> InputsWithoutKind(QWidget* root)
{
    QList<QLineEdit*> bare;
    for (QLineEdit* edit : root->findChildren<QLineEdit*>())
        if (IsInputWithoutKind(edit))
            bare << edit;
    return bare;
}

// The columns of an editable grid a cell of which can be edited in place
// while nobody gave them a kind (a column every data cell of which is
// read-only is not edited).
inline std::vector<int> ColumnsWithoutKind(const CGridCtrl& grid)
{
    std::vector<int> bare;
    if (!grid.GetEditable())
        return bare;
    for (int col = grid.GetFixedColumnCount(); col < grid.GetColumnCount(); ++col) {
        if (grid.DeclaredColumn(col))
            continue;
        bool editable = grid.GetRowCount() == grid.GetFixedRowCount();
        for (int row = grid.GetFixedRowCount(); row < grid.GetRowCount() && !editable; ++row)
            editable = grid.IsCellEditable(row, col);
        if (editable)
            bare.push_back(col);
    }
    return bare;
}
