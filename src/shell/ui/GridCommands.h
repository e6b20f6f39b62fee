// The frame's Edit and print commands act on the grid that has the focus in
// the current screen (or whose in-place editor has it).
#pragma once

class CGridCtrl;
class CommandRegistry;
class QString;

// The focused grid of the current screen, or null.
CGridCtrl* FocusedGrid();

// Prints the grid into a PDF file at path; false when the file cannot be made.
bool PrintGridToPdf(CGridCtrl* grid, const QString& path);

// Adds "Вырезать", "Копировать", "Вставить", "Выделить все" (menu "Правка")
// and "Печать" (menu "Файл") to the registry, each enabled by the focused
// grid's own rules.
void RegisterGridCommands(CommandRegistry& registry);
