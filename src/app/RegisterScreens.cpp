#include "app/RegisterScreens.h"

#include "payroll/ui/CCalcZarpView.h"
#include "payroll/ui/RunMonthChange.h"
#include "shell/ui/CMainFrame.h"
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

    // The change of the reporting month: the payroll side owns it whole.
    CommandInfo monthChange;
    monthChange.id = 32773;
    monthChange.caption = QStringLiteral("Изменение отчетного месяца");
    monthChange.menuPath = {QStringLiteral("Сервис")};
    monthChange.panel = 8;
    monthChange.run = [](CMainFrame& frame) { ChangeReportingMonth(*frame.Document(), &frame); };
    registry.AddCommand(monthChange);

    // The calculation screen.
    CommandInfo calc;
    calc.id = 32837;
    calc.caption = QStringLiteral("Расчет заработной платы");
    calc.panel = 8;
    calc.makeView = [](CKalvorDoc* doc) -> CCommonFormView* { return new CCalcZarpView(doc); };
    registry.AddCommand(calc);
}
