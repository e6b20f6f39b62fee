#pragma once
// What the reference-book screens of pay kinds and work schedules share: their
// commands on working panel 0 "Справочники", leaving a book for the empty view
// on that panel, and the colours of their forms.
#include <QString>

class CommandRegistry;
class QWidget;

// Commands 1028 "Графики" and 1029 "Оплаты/Удержания".
void RegisterPayKindAndScheduleBooks(CommandRegistry& registry);

// Esc in a book: the frame switches to the empty view and shows working panel 0.
void LeaveReferenceBook(QWidget* view);

// Labels in blue, edit fields on the light-blue background.
QString ReferenceBookStyleSheet();
