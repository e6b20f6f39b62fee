#include "app/RegisterScreens.h"

#include "shell/ui/CommandRegistry.h"

void RegisterScreens(CommandRegistry& registry)
{
    // Working panels whose numbers the screens use; a panel is shown once a
    // screen is registered on it.
    registry.AddPanel({0, QStringLiteral("Справочники"), MainPanelPayroll});
    registry.AddPanel({8, QStringLiteral("Расчет зарплаты"), MainPanelPayroll});
    // The selection strip's Esc returns to the panel of the entry screen in
    // use (the screen code each entry view writes into the document).
    registry.SetEntryScreenPanel(8, 8);
}
