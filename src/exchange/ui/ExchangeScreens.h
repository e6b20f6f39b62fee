// The additional functions in the frame's command registry.
#pragma once

class CommandRegistry;

// Main panel 4 "Дополнительные функции" with its working panels 11 to 14,
// shown with their captions, and the commands of the screens built so far.
void RegisterExchangeScreens(CommandRegistry& registry);

// The four dBASE views (commands 1441-1444) on working panel 12 and in the
// menu "Дополнительные функции" / "Экспорт/импорт информации в формат DBF".
void RegisterDbfScreens(CommandRegistry& registry);

// 32894 "Форма Т-54" in the menu "Дополнительные функции".
void RegisterT54FormScreen(CommandRegistry& registry);

// 32895 "Справка о заработной плате" in the menu "Дополнительные функции".
void RegisterEarningsCertificateScreen(CommandRegistry& registry);

// The insured persons export (command 32888) on the working panel of the
// main panel's own functions and in the menu "Дополнительные функции".
void RegisterPensionFundScreens(CommandRegistry& registry);

// 1404 "Формирование свода" and 1405 "Объединение сводов" on working panel 11
// and in the menu "Дополнительные функции" / "Генератор сводов в произвольном разрезе".
void RegisterArbitrarySummaryScreens(CommandRegistry& registry);

// 1446 "Запись информации в файл", 1447 "Просмотр файла выработки" and 1448
// "Чтение сумм выработки" on working panel 13 and in the menu
// "Дополнительные функции" / "Информация о выработке".
void RegisterOutputFileScreens(CommandRegistry& registry);

// 1403 "Параметры работы генератора" and 32892 "Информация об итоговых суммах"
// on the working panel of the main panel's own functions and in the menu
// "Дополнительные функции".
void RegisterParamAndTotalsScreens(CommandRegistry& registry);
// 32889 "Экспорт проводок в бухгалтерские программы" on the working panel of
// the main panel's own functions and in the menu "Дополнительные функции".
void RegisterPostingsExportScreen(CommandRegistry& registry);
