// The entry dialogs' grid set up the same way on every form.
#pragma once

#include <QFont>
#include <QRect>

class CFldHlpGridCtrl;
class CGridCtrl;
class CFormChildDlg;

// Creates the field-help grid with that control number in the dialog, or
// empties the one already there, and gives it the entry screens' look:
// button-face background, not editable, no column resizing, no focus
// tracking, no header-click selection, single-row selection, title tips, list
// mode, margins of 5, a 10-point face with Cyrillic, heading cells in purple
// RGB(64, 0, 128) on light blue RGB(155, 215, 255).
CFldHlpGridCtrl* SetupEntryGrid(CFormChildDlg* dialog, int id, const QRect& rect);
// The entry screens' face: 10 points of the screens' faces
// (GridCtrl::ScreenFontFamilies); bold or not.
QFont EntryScreenFont(bool bold);
// A read-only list of a month's computed lines (the personal account, the pay
// statement): button-face background, margins of 5, one heading row of the
// bold face in purple RGB(64, 0, 128) on orange RGB(155, 215, 255), centred;
// data cells centred on one line; single-row selection, no title tips, no
// focus tracking, no header sort. The heading row is as high as its face
// needs; the columns' widths are the caller's.
void SetupResultListGrid(CGridCtrl* grid, int columns);
// Text margin 5 in the grid's four default cells.
void SetGridDefaultMargins(CGridCtrl* grid);
