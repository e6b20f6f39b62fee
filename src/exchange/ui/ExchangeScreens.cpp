#include "exchange/ui/ExchangeScreens.h"

#include "exchange/ui/CEFuncAmaPRSvodView.h"
#include "exchange/ui/CEFuncDbfNUView.h"
#include "exchange/ui/CEFuncDbfView.h"
#include "exchange/ui/CEFuncItogSumView.h"
#include "exchange/ui/CEFuncPRSvodView.h"
#include "exchange/ui/CEFuncParamView.h"
#include "exchange/ui/CEFuncProvodExportView.h"
#include "exchange/ui/CEFuncSpravZarpMonthView.h"
#include "exchange/ui/CEFuncT54FormView.h"
#include "exchange/ui/CEFuncVirabViews.h"
#include "exchange/ui/CEFuncZastrahLicSvedView.h"
#include "exchange/ui/CExchangeTaskView.h"
#include "exchange/ui/CSymvFormatViews.h"
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
        {CExchangeTaskView::PanelAddFunctions, QStringLiteral("Дополнительные функции"), MainPanelAddFunctions, false},
    };
    for (const WorkPanelInfo& panel : panels) registry.AddPanel(panel);
    RegisterDbfScreens(registry);
    RegisterT54FormScreen(registry);
    RegisterEarningsCertificateScreen(registry);
    RegisterPensionFundScreens(registry);
    RegisterTransferScreens(registry);
    RegisterArbitrarySummaryScreens(registry);
    RegisterOutputFileScreens(registry);
    RegisterParamAndTotalsScreens(registry);
    RegisterPostingsExportScreen(registry);
}

void RegisterDbfScreens(CommandRegistry& registry)
{
    struct DbfCommand {
        int id;
        const char* caption;
        ViewFactory makeView;
    };
    const DbfCommand commands[] = {
        {1441, "dBASE:  постоянная информация",
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CEFuncDbfCInfView(doc); }},
        {1442, "dBASE:  начисленная зарплата",
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CEFuncDbfZarpView(doc); }},
        {1443, "dBASE:  архивные данные",
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CEFuncDbfArchView(doc); }},
        {1444, "dBASE:  начисления и удержания",
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CEFuncDbfNUView(doc); }},
    };
    for (const DbfCommand& dbf : commands) {
        CommandInfo command;
        command.id = dbf.id;
        command.caption = QString::fromUtf8(dbf.caption);
        command.menuPath = {QStringLiteral("Дополнительные функции"),
                            QStringLiteral("Экспорт/импорт информации в формат DBF")};
        command.panel = CExchangeTaskView::PanelDbf;
        command.makeView = dbf.makeView;
        registry.AddCommand(command);
    }
}

void RegisterT54FormScreen(CommandRegistry& registry)
{
    CommandInfo command;
    command.id = CEFuncT54FormView::CommandId;
    command.caption = QStringLiteral("Форма Т-54");
    command.menuPath = {QStringLiteral("Дополнительные функции")};
    command.panel = CExchangeTaskView::PanelAddFunctions;
    command.makeView = [](CKalvorDoc* doc) -> CCommonFormView* { return new CEFuncT54FormView(doc); };
    registry.AddCommand(command);
}

void RegisterEarningsCertificateScreen(CommandRegistry& registry)
{
    CommandInfo command;
    command.id = CEFuncSpravZarpMonthView::CommandId;
    command.caption = QStringLiteral("Справка о заработной плате");
    command.menuPath = {QStringLiteral("Дополнительные функции")};
    command.panel = CExchangeTaskView::PanelAddFunctions;
    command.makeView = [](CKalvorDoc* doc) -> CCommonFormView* { return new CEFuncSpravZarpMonthView(doc); };
    registry.AddCommand(command);
}

void RegisterPensionFundScreens(CommandRegistry& registry)
{
    CommandInfo command;
    command.id = 32888;
    command.caption = QStringLiteral("Экспорт сведений о застрахованных лицах");
    command.menuPath = {QStringLiteral("Дополнительные функции")};
    command.panel = CExchangeTaskView::PanelAddFunctions;
    command.makeView = [](CKalvorDoc* doc) -> CCommonFormView* { return new CEFuncZastrahLicSvedView(doc); };
    registry.AddCommand(command);
}

void RegisterArbitrarySummaryScreens(CommandRegistry& registry)
{
    struct SummaryCommand {
        int id;
        const char* caption;
        ViewFactory makeView;
    };
    const SummaryCommand commands[] = {
        {CEFuncPRSvodView::CommandId, "Формирование свода",
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CEFuncPRSvodView(doc); }},
        {CEFuncAmaPRSvodView::CommandId, "Объединение сводов",
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CEFuncAmaPRSvodView(doc); }},
    };
    for (const SummaryCommand& summary : commands) {
        CommandInfo command;
        command.id = summary.id;
        command.caption = QString::fromUtf8(summary.caption);
        command.menuPath = {QStringLiteral("Дополнительные функции"),
                            QStringLiteral("Генератор сводов в произвольном разрезе")};
        command.panel = CExchangeTaskView::PanelArbitrarySummaries;
        command.makeView = summary.makeView;
        registry.AddCommand(command);
    }
}

void RegisterOutputFileScreens(CommandRegistry& registry)
{
    struct OutputCommand {
        int id;
        const char* caption;
        ViewFactory makeView;
    };
    const OutputCommand commands[] = {
        {CEFuncVirabWriteView::CommandId, "Запись информации в файл",
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CEFuncVirabWriteView(doc); }},
        {CEFuncVirabView::CommandId, "Просмотр файла выработки",
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CEFuncVirabView(doc); }},
        {CEFuncVirabReadView::CommandId, "Чтение сумм выработки",
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CEFuncVirabReadView(doc); }},
    };
    for (const OutputCommand& output : commands) {
        CommandInfo command;
        command.id = output.id;
        command.caption = QString::fromUtf8(output.caption);
        command.menuPath = {QStringLiteral("Дополнительные функции"), QStringLiteral("Информация о выработке")};
        command.panel = CExchangeTaskView::PanelOutputFile;
        command.makeView = output.makeView;
        registry.AddCommand(command);
    }
}

void RegisterParamAndTotalsScreens(CommandRegistry& registry)
{
    CommandInfo params;
    params.id = CEFuncParamView::CommandId;
    params.caption = QStringLiteral("Параметры работы генератора");
    params.menuPath = {QStringLiteral("Дополнительные функции")};
    params.panel = CExchangeTaskView::PanelAddFunctions;
    params.makeView = [](CKalvorDoc* doc) -> CCommonFormView* { return new CEFuncParamView(doc); };
    registry.AddCommand(params);

    CommandInfo totals;
    totals.id = CEFuncItogSumView::CommandId;
    totals.caption = QStringLiteral("Информация об итоговых суммах");
    totals.menuPath = {QStringLiteral("Дополнительные функции")};
    totals.panel = CExchangeTaskView::PanelAddFunctions;
    totals.makeView = [](CKalvorDoc* doc) -> CCommonFormView* { return new CEFuncItogSumView(doc); };
    registry.AddCommand(totals);
}

void RegisterPostingsExportScreen(CommandRegistry& registry)
{
    CommandInfo command;
    command.id = CEFuncProvodExportView::CommandId;
    command.caption = QStringLiteral("Экспорт проводок в бухгалтерские программы");
    command.menuPath = {QStringLiteral("Дополнительные функции")};
    command.panel = CExchangeTaskView::PanelAddFunctions;
    command.makeView = [](CKalvorDoc* doc) -> CCommonFormView* { return new CEFuncProvodExportView(doc); };
    registry.AddCommand(command);
}
