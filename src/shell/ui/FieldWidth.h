// How wide a line edit must be to show its whole text, and a window its title.
#pragma once

class QLineEdit;
class QString;

// The width of the field in which the text shows whole, as the line edit
// paints it (frame, text margins and its own margins included).
int FieldWidthFor(const QLineEdit& edit, const QString& text);

// Raises the field's minimum width (and its maximum, when that is smaller) so
// that its present text shows whole; a layout then gives it the room, and a
// scroll area around the form shows what no longer fits.
void FitFieldToText(QLineEdit& edit);

class QWidget;

// What a title bar takes beside its title: the window's icon and its
// buttons, with the gaps between them.
inline constexpr int kTitleBarRoom = 150;

// Raises a window's minimum width so that a title bar shows its title whole
// (drawn bold, as most window managers draw it).
void FitWindowToTitle(QWidget& window);
