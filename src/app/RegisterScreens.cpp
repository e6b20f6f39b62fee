#include "app/RegisterScreens.h"

#include "exchange/ui/ExchangeScreens.h"
#include "masterdata/ui/RefBooks.h"
#include "payroll/ui/CCalcZarpView.h"
#include "payroll/ui/RunMonthChange.h"
#include "shell/ui/CKalvorApp.h"
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

    // The change of the reporting month (the shell's command; the change
    // itself is installed by the payroll side through SetMonthChangeRunner).
    CommandInfo monthChange;
    monthChange.id = 32773;
    monthChange.caption = QStringLiteral("Изменение отчетного месяца");
    monthChange.menuPath = {QStringLiteral("Сервис")};
    monthChange.panel = 8;
    monthChange.run = [](CMainFrame&) {
        if (CKalvorApp* app = KalvorApp())
            app->OnChangeReportingMonth();
    };
    registry.AddCommand(monthChange);

    // The calculation screen, and the change of the reporting month that the
    // shell's command runs.
    CommandInfo calc;
    calc.id = 32837;
    calc.caption = QStringLiteral("Расчет заработной платы");
    calc.panel = 8;
    calc.makeView = [](CKalvorDoc* doc) -> CCommonFormView* { return new CCalcZarpView(doc); };
    registry.AddCommand(calc);
    InstallMonthChange();

    // The additional functions: main panel 4, its working panels and the
    // screens built so far.
    RegisterExchangeScreens(registry);
    // The reference books of pay kinds and work schedules (working panel 0).
    RegisterPayKindAndScheduleBooks(registry);
}
