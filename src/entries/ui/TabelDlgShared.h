// What the two dialogs of the main time-sheet view share: writing the
// time-sheet table, the employee's name in the view's frame, the colours.
#pragma once

#include <QColor>

class CCommonFormView;
class QWidget;

namespace kalvor::infobase {
class CInfoBase;
}

// Saves dbo.tabel under the wait cursor. A database failure is
// shown ("ОБНАРУЖЕНА ОШИБКА: ...") and gives false, so that the dialog keeps
// its modified flag and the next save tries again.
bool SaveTabelShowingErrors(kalvor::infobase::CInfoBase& base);

// The view's frame box 1225 gets "Основной табель  [<name>]" for the employee
// of a record slot (not 0).
void ShowEmployeeInTabelFrame(CCommonFormView& view, unsigned slot);

// The dialogs' face: the RGB(208,226,254) background, label texts in
// RGB(100,103,250), edit fields on the same background.
inline const QColor kTabelDialogBack(208, 226, 254);
inline const QColor kTabelLabelText(100, 103, 250);
void PaintTabelDialog(QWidget& dialog);
