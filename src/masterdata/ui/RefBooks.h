#pragma once
// What the reference-book screens of pay kinds and work schedules share:
// leaving a book for the empty view on working panel 0 "Справочники", and the
// colours of their forms.
#include <QString>

class QWidget;

// Esc in a book: the frame switches to the empty view and shows working panel 0.
void LeaveReferenceBook(QWidget* view);

// Labels in blue, edit fields on the light-blue background.
QString ReferenceBookStyleSheet();
