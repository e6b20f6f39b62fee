#include "app/RegisterScreens.h"

#include "entries/ui/CATabelVvodView.h"
#include "entries/ui/CAvancePrintVedView.h"
#include "entries/ui/CAvanceVvodView.h"
#include "entries/ui/CBulletViplatView.h"
#include "entries/ui/CBulletVvodView.h"
#include "entries/ui/CCurnuIspListView.h"
#include "entries/ui/CCurnuNuView.h"
#include "entries/ui/CCurnuPerSBView.h"
#include "entries/ui/CCurnuSsudKredView.h"
#include "entries/ui/COtpuskCorrectView.h"
#include "entries/ui/COtpuskVvodView.h"
#include "entries/ui/CPremKtuView.h"
#include "entries/ui/CPremPrintVedView.h"
#include "entries/ui/CPremVvodView.h"
#include "entries/ui/EntryPrintScreens.h"
#include "entries/ui/CTabelReadView.h"
#include "entries/ui/CTabelVvodView.h"
#include "exchange/ui/ExchangeScreens.h"
#include "masterdata/ui/CRefGenInfoView.h"
#include "masterdata/ui/CStavkaCorrect.h"
#include "masterdata/ui/CWorkerArchiveView.h"
#include "masterdata/ui/CWorkerDatArchiveView.h"
#include "masterdata/ui/CWorkerNalvichView.h"
#include "masterdata/ui/CWorkerPostviplView.h"
#include "masterdata/ui/CWorkerUchKartView.h"
#include "masterdata/ui/RefBookTables.h"
#include "masterdata/ui/CRefOplUdView.h"
#include "masterdata/ui/CRefSchedView.h"
#include "payroll/ui/CCalcLicSchetView.h"
#include "payroll/ui/CCalcPlatVedView.h"
#include "payroll/ui/CCalcZarpView.h"
#include "payroll/ui/RunMonthChange.h"
#include "print/ui/CPrintLicschetView.h"
#include "print/ui/CPrintPlatVedView.h"
#include "print/ui/CPrintRaschVedView.h"
#include "print/ui/SettlementQuestion.h"
#include "reports/incometax/ui/CIncomeTaxViews.h"
#include "reports/social/ui/CGenrTaskViews.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/GridCommands.h"

namespace {

// A screen's command on a working panel and, when quickId is given, its quick
// button, which opens the screen with the employee shown last.
void AddScreen(CommandRegistry& registry, int id, const QString& caption, int panel, ViewFactory makeView,
               int quickId = 0)
{
    CommandInfo command;
    command.id = id;
    command.caption = caption;
    command.panel = panel;
    command.makeView = std::move(makeView);
    registry.AddCommand(command);
    if (quickId == 0)
        return;
    command.id = quickId;
    command.panel = -1;
    command.quickButton = true;
    command.quickOpen = 1;
    registry.AddCommand(command);
}

// An entry screen's working panel, which its strip's Esc returns to.
// A screen whose view declares its command and the entry panel it sits on.
template <class View>
void AddDeclaredScreen(CommandRegistry& registry, const QString& caption)
{
    AddScreen(registry, View::kCommandId, caption, View::kEntryScreen,
              [](CKalvorDoc* d) -> CCommonFormView* { return new View(d); });
}

void AddEntryPanel(CommandRegistry& registry, int entryScreen, int panel, const QString& title)
{
    registry.AddPanel({panel, title, MainPanelPayroll});
    registry.SetEntryScreenPanel(entryScreen, panel);
}

// "Корректировка ставок" of the month's entry dialogs opens the employee
// screens' rate-correction dialog.
RateCorrectionRunner OpenRateCorrection()
{
    return [](CKalvorDoc* doc, unsigned slot, QWidget* parent) {
        CStavkaCorrect dialog(doc, slot, parent);
        dialog.exec();
    };
}

// The calculation panel: the month change, the calculation, the pay sheet and
// the print runs.
void RegisterPayrollScreens(CommandRegistry& registry)
{
    registry.AddPanel({8, QStringLiteral("Расчет зарплаты"), MainPanelPayroll});
    registry.SetEntryScreenPanel(8, 8);

    CommandInfo monthChange;
    monthChange.id = 32773;
    monthChange.caption = QStringLiteral("Изменение отчетного месяца");
    monthChange.menuPath = {QStringLiteral("Сервис")};
    monthChange.panel = 8;
    monthChange.run = [](CMainFrame& frame) { ChangeReportingMonth(*frame.Document(), &frame); };
    monthChange.takesScreenFirst = true;
    registry.AddCommand(monthChange);

    AddScreen(registry, 32837, QStringLiteral("Расчет заработной платы"), 8,
              [](CKalvorDoc* d) -> CCommonFormView* { return new CCalcZarpView(d); });
    AddScreen(registry, 32842, QStringLiteral("Просмотр ведомости на з/п"), 8,
              [](CKalvorDoc* d) -> CCommonFormView* { return new CCalcPlatVedView(d); });
    // The month's print runs: personal accounts, the pay statement or its cash
    // orders, and the settlement statement.
    AddScreen(registry, 32841, QStringLiteral("Печать лицевых счетов"), 8,
              [](CKalvorDoc* d) -> CCommonFormView* { return new CPrintLicschetView(d); });
    AddScreen(registry, 32843, QStringLiteral("Печать платежной ведомости"), 8,
              [](CKalvorDoc* d) -> CCommonFormView* { return new CPrintPlatVedView(d); });
    AddScreen(registry, 32838, QStringLiteral("Печать расчетной ведомости"), 8,
              [](CKalvorDoc* d) -> CCommonFormView* { return new CPrintRaschVedView(d); });
}

// The advance: its working panel (entry-screen number 6), its correction
// screen with a quick button, and its statement.
void RegisterAdvanceScreens(CommandRegistry& registry)
{
    AddEntryPanel(registry, CAvanceVvodView::kEntryScreen, CAvanceVvodView::kEntryScreen,
                  QStringLiteral("Расчет аванса"));
    AddScreen(
        registry, 1257, QStringLiteral("Корректировка аванса"), CAvanceVvodView::kEntryScreen,
        [](CKalvorDoc* d) -> CCommonFormView* { return new CAvanceVvodView(d); }, 10010);
    AddScreen(registry, 1258, QStringLiteral("Печать ведомости"), CAvanceVvodView::kEntryScreen,
              [](CKalvorDoc* d) -> CCommonFormView* { return new CAvancePrintVedView(d); });
}

// The bonuses: their working panel (entry-screen number 3) with the
// labour-participation rules, the correction screen with a quick button, and
// the bonus statement.
void RegisterBonusScreens(CommandRegistry& registry)
{
    AddEntryPanel(registry, CPremVvodView::kEntryScreen, CPremVvodView::kEntryScreen,
                  QStringLiteral("Ввод и корректировка премий"));
    AddScreen(registry, 32822, QStringLiteral("Механизм КТУ"), CPremVvodView::kEntryScreen,
              [](CKalvorDoc* d) -> CCommonFormView* { return new CPremKtuView(d); });
    AddScreen(
        registry, 32818, QStringLiteral("Корректировка премий"), CPremVvodView::kEntryScreen,
        [](CKalvorDoc* d) -> CCommonFormView* { return new CPremVvodView(d); }, 10007);
    AddScreen(registry, 32819, QStringLiteral("Печать ведомости"), CPremVvodView::kEntryScreen,
              [](CKalvorDoc* d) -> CCommonFormView* { return new CPremPrintVedView(d); });
}

// The personal account on the calculation panel, with its two quick buttons:
// 10014 opens it with the employee shown last, 9999 computes him first.
void RegisterPersonalAccount(CommandRegistry& registry)
{
    const ViewFactory account = [](CKalvorDoc* d) -> CCommonFormView* { return new CCalcLicSchetView(d); };
    AddScreen(registry, 32840, QStringLiteral("Просмотр лицевых счетов"), 8, account, 10014);
    CommandInfo recompute;
    recompute.id = 9999;
    recompute.caption = QStringLiteral("Расчет и лицевой счет");
    recompute.panel = -1;
    recompute.makeView = account;
    recompute.quickButton = true;
    recompute.quickOpen = 2;
    registry.AddCommand(recompute);
}

// The employee screens (entry-screen code 1): the record card, the only
// screen that makes and deletes cards, the archive with dates, and three
// screens with quick buttons.
void RegisterEmployeeScreens(CommandRegistry& registry)
{
    AddEntryPanel(registry, 1, 1, QStringLiteral("Информация по работнику"));
    AddScreen(
        registry, 1212, QStringLiteral("Налоговые вычеты"), 1,
        [](CKalvorDoc* d) -> CCommonFormView* { return new CWorkerNalvichView(d); }, 10013);
    AddScreen(
        registry, 1044, QStringLiteral("Архив"), 1,
        [](CKalvorDoc* d) -> CCommonFormView* { return new CWorkerArchiveView(d); }, 10002);
    AddScreen(
        registry, 1043, QStringLiteral("Постоянные выплаты"), 1,
        [](CKalvorDoc* d) -> CCommonFormView* { return new CWorkerPostviplView(d); }, 10001);
    AddScreen(registry, 1042, QStringLiteral("Учетная карточка работника"), 1,
              [](CKalvorDoc* d) -> CCommonFormView* { return new CWorkerUchKartView(d); });
    AddScreen(registry, 1045, QStringLiteral("Архив с датами"), 1,
              [](CKalvorDoc* d) -> CCommonFormView* { return new CWorkerDatArchiveView(d); });
}

// The month's entry screens, each on its working panel with its quick button:
// the time sheets and the time-sheet file check ("Табель"), current accruals
// and deductions, writs, loans and transfers ("Начисления / Удержания"),
// vacation notes and sick-leave sheets.
void RegisterMonthEntryScreens(CommandRegistry& registry)
{
    AddEntryPanel(registry, CTabelVvodView::kEntryScreen, 7, QStringLiteral("Табель"));
    AddScreen(
        registry, 32833, QStringLiteral("Ввод основного табеля"), 7,
        [](CKalvorDoc* d) -> CCommonFormView* { return new CTabelVvodView(d, OpenRateCorrection()); }, 10011);
    AddScreen(
        registry, 32834, QStringLiteral("Ввод альтерн. табеля"), 7,
        [](CKalvorDoc* d) -> CCommonFormView* { return new CATabelVvodView(d); }, 10012);
    RegisterTabelReadScreen(registry);

    AddEntryPanel(registry, CCurnuNuView::kEntryScreen, 2, QStringLiteral("Начисления / Удержания"));
    AddScreen(
        registry, 1229, QStringLiteral("Начисления / Удержания"), 2,
        [](CKalvorDoc* d) -> CCommonFormView* { return new CCurnuNuView(d); }, 10003);
    AddScreen(
        registry, 1226, QStringLiteral("Исполнительные листы"), 2,
        [](CKalvorDoc* d) -> CCommonFormView* { return new CCurnuIspListView(d); }, 10004);
    AddScreen(
        registry, 1227, QStringLiteral("Ссуды и кредиты"), 2,
        [](CKalvorDoc* d) -> CCommonFormView* { return new CCurnuSsudKredView(d); }, 10006);
    AddScreen(
        registry, 1228, QStringLiteral("Перечисления в банки"), 2,
        [](CKalvorDoc* d) -> CCommonFormView* { return new CCurnuPerSBView(d); }, 10005);

    AddEntryPanel(registry, COtpuskVvodView::kEntryScreen, COtpuskVvodView::kEntryScreen,
                  QStringLiteral("Расчет отпусков"));
    AddScreen(
        registry, 32805, QStringLiteral("Ввод и корректировка отпускной записки"), COtpuskVvodView::kEntryScreen,
        [](CKalvorDoc* d) -> CCommonFormView* { return new COtpuskVvodView(d, OpenRateCorrection()); }, 10009);

    AddEntryPanel(registry, CBulletVvodView::kEntryScreen, CBulletVvodView::kEntryScreen,
                  QStringLiteral("Больничный лист"));
    AddScreen(
        registry, 1213, QStringLiteral("Ввод и корректировка больничного листа"), CBulletVvodView::kEntryScreen,
        [](CKalvorDoc* d) -> CCommonFormView* { return new CBulletVvodView(d, OpenRateCorrection()); }, 10008);
    // The payment corrections of sheets and notes, on the same two panels.
    AddDeclaredScreen<CBulletViplatView>(registry, QStringLiteral("Просмотр выплат по больничным"));
    AddDeclaredScreen<COtpuskCorrectView>(registry, QStringLiteral("Просмотр и корректировка выплат"));
}

} // namespace

void RegisterScreens(CommandRegistry& registry)
{
    // The settlement statement asks its column question through a message box.
    kalvor::print::InstallSettlementQuestion();
    // Working panels are shown once a screen is registered on them.
    registry.AddPanel({0, QStringLiteral("Справочники"), MainPanelPayroll});
    RegisterPayrollScreens(registry);
    // The firm's general data on the reference-book panel.
    AddScreen(registry, 1027, QStringLiteral("Общие данные"), 0,
              [](CKalvorDoc* d) -> CCommonFormView* { return new CRefGenInfoView(d); });

    // Edit and print commands of the focused grid.
    RegisterGridCommands(registry);
    // The additional functions: main panel 4, its working panels and the
    // screens built so far.
    RegisterExchangeScreens(registry);
    // The report generator's task views (main panel 3).
    RegisterReportGeneratorScreens(registry);
    // The income-tax register and the register of income certificates (same panel).
    RegisterIncomeTaxScreens(registry);
    // The reference books of pay kinds and work schedules (working panel 0).
    AddScreen(registry, 1028, QStringLiteral("Графики"), 0,
              [](CKalvorDoc* d) -> CCommonFormView* { return new CRefSchedView(d); });
    AddScreen(registry, 1029, QStringLiteral("Оплаты/Удержания"), 0,
              [](CKalvorDoc* d) -> CCommonFormView* { return new CRefOplUdView(d); });
    // The reference books kept as tables and the legal entities (working panel 0).
    RegisterReferenceBookTables(registry);

    RegisterAdvanceScreens(registry);
    RegisterBonusScreens(registry);
    RegisterEmployeeScreens(registry);
    RegisterPersonalAccount(registry);
    RegisterMonthEntryScreens(registry);
    // The statements and registers of the sick-leave and vacation panels.
    RegisterSickVacationPrintScreens(registry);
}
