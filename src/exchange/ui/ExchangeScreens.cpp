#include "exchange/ui/ExchangeScreens.h"

#include "exchange/ui/CExchangeTaskView.h"
#include "shell/ui/CommandRegistry.h"

void RegisterExchangeScreens(CommandRegistry& registry)
{
    // The panels show their captions before their screens exist; each
    // screen adds its command here as it is built.
    const WorkPanelInfo panels[] = {
        {CExchangeTaskView::PanelArbitrarySummaries, QStringLiteral("Генератор сводов в произвольном разрезе"),
         MainPanelAddFunctions, true},
        {CExchangeTaskView::PanelDbf, QStringLiteral("Экспорт/импорт информации в формат DBF/dBASE"),
         MainPanelAddFunctions, true},
        {CExchangeTaskView::PanelOutputFile, QStringLiteral("Информация о выработке"), MainPanelAddFunctions, true},
        {CExchangeTaskView::PanelTransferFile, QStringLiteral("Информация о работнике в символьном формате"),
         MainPanelAddFunctions, true},
    };
    for (const WorkPanelInfo& panel : panels)
        registry.AddPanel(panel);
}
