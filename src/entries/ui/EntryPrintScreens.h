// The print commands of the sick-leave and vacation panels: the statements
// and the registers.
#pragma once

class CommandRegistry;

// On "Больничный лист": 1215 "Печать реестра больничных листов" and 1216
// "Печать ведомости"; on "Расчет отпусков": 32807 "Печать реестра
// отпускных" and 32808 "Печать платежной ведомости".
void RegisterSickVacationPrintScreens(CommandRegistry& registry);
