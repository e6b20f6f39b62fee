// The common frame of the two 1C dialogs of the postings export (chart of
// accounts, transition tables): "Добавить строку" (1060) and "Удалить
// строку" (1061) over an editable grid, "ОК" (1) and "Отмена" (2) under it.
// The grid keeps at most 100 data rows, as many as the files hold.
#pragma once

#include "shell/ui/ControlMap.h"

#include <QDialog>

class CGridCtrl;

class COneCGridDlg : public QDialog, public ControlMap {
public:
    enum { IdAdd = 1060, IdDelete = 1061 };
    static constexpr int kMaxDataRows = 100;

    CGridCtrl* Grid() const { return m_grid; }

    // Button 1060: an empty row at the end with the height of the first fixed
    // row, selected whole, the focus on its first cell; nothing once the grid
    // has 100 data rows.
    virtual void OnAddRow();
    // Button 1061: deletes the first row of the selection; returns its index
    // (-1 when nothing is selected).
    virtual int OnDeleteRow();

protected:
    COneCGridDlg(const QString& title, int gridId, QWidget* parent);

    // The look both grids share: button-face background, margins of 5, list
    // mode, bold 10-point headings in purple on light blue centred over
    // several lines, normal cells in the same face on one line.
    void SetUpGridLook();
    // A column's width as a fraction of the grid's width: ceil(W x f - 0.5).
    int ShareOfWidth(double fraction) const;
    // The height of a heading text in cell (0, 0) plus 1 pixel.
    int HeadingHeight(const QString& text) const;
    // Appends a data row with the height of fixed row 0; returns its index.
    int AppendRow();

    // Lays the columns out again for the grid's present width.
    virtual void SpreadColumns() = 0;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CGridCtrl* m_grid;
};
