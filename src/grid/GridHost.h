#pragma once
// What a cell and its in-place editor use of the grid that holds them: the
// grid's look (lines, focus frame, images, sort arrow, font), its focus cell,
// the widget the cells are drawn on, and where an editor reports its end.
// CGridCtrl is that grid; the cells know it through this alone, so that a cell
// can be read and tested without the whole grid.
#include "grid/GridTypes.h"

#include <QFont>
#include <QPixmap>
#include <QSize>
#include <Qt>

class CGridDefaultCell;
class QWidget;

class CGridHost {
public:
    virtual ~CGridHost() = default;

    virtual CGridDefaultCell* GetDefaultCell(bool fixedRow, bool fixedCol) const = 0;
    virtual int GetGridLines() const = 0;
    virtual bool GetTrackFocusCell() const = 0;
    virtual bool GetFrameFocusCell() const = 0;
    virtual bool GetPrintColour() const = 0;
    virtual QFont GetNormalFont() const = 0;
    virtual QSize GetImageSize(int image) const = 0;
    virtual QPixmap GetImage(int image) const = 0;
    virtual int GetSortColumn() const = 0;
    virtual bool GetSortAscending() const = 0;
    virtual CCellID GetFocusCell() const = 0;
    virtual bool IsValid(const CCellID& cell) const = 0;

    // The widget the cells are drawn on: an editor's parent, the cursor's owner.
    virtual QWidget* CellSurface() const = 0;
    // The in-place editor reports the end of editing here.
    virtual void OnEditorNotify(GridCellDispInfo* info) = 0;
    // Modifier keys held at the last key press the grid or its editor saw.
    virtual void SetKeyModifiers(Qt::KeyboardModifiers mods) = 0;
    // The grid takes the focus back from an editor that ends.
    virtual void TakeFocusFromEditor() = 0;
};
