#include "app/RegisterScreens.h"

#include "entries/ui/CATabelVvodView.h"
#include "entries/ui/CBulletVvodView.h"
#include "entries/ui/CCurnuIspListView.h"
#include "entries/ui/CCurnuNuView.h"
#include "entries/ui/CCurnuPerSBView.h"
#include "entries/ui/CCurnuSsudKredView.h"
#include "entries/ui/COtpuskVvodView.h"
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
#include "masterdata/ui/RefBooks.h"
#include "payroll/ui/CCalcLicSchetView.h"
#include "payroll/ui/CCalcPlatVedView.h"
#include "payroll/ui/CCalcZarpView.h"
#include "payroll/ui/RunMonthChange.h"
#include "print/ui/SettlementQuestion.h"
#include "reports/incometax/ui/CIncomeTaxViews.h"
#include "reports/social/ui/CGenrTaskViews.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/GridCommands.h"

void RegisterScreens(CommandRegistry& registry)
{
    // The settlement statement asks its column question through a message box.
    kalvor::print::InstallSettlementQuestion();
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
    // The firm's general data on the reference-book panel.
    CommandInfo genInfo;
    genInfo.id = 1027;
    genInfo.caption = QStringLiteral("Общие данные");
    genInfo.panel = 0;
    genInfo.makeView = [](CKalvorDoc* doc) -> CCommonFormView* { return new CRefGenInfoView(doc); };
    registry.AddCommand(genInfo);

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
    RegisterPayKindAndScheduleBooks(registry);
    // The reference books kept as tables and the legal entities (working panel 0).
    RegisterReferenceBookTables(registry);
    // The pay sheet of the amounts to pay that the calculation stored.
    CommandInfo paySheet;
    paySheet.id = 32842;
    paySheet.caption = QStringLiteral("Просмотр ведомости на з/п");
    paySheet.panel = 8;
    paySheet.makeView = [](CKalvorDoc* doc) -> CCommonFormView* { return new CCalcPlatVedView(doc); };
    registry.AddCommand(paySheet);

    // The employee screens (entry-screen code 1) and their quick buttons,
    // which open them with the employee shown last.
    registry.AddPanel({1, QStringLiteral("Информация по работнику"), MainPanelPayroll});
    registry.SetEntryScreenPanel(1, 1);
    struct EmployeeScreen {
        int id, quickId;
        const char16_t* caption;
        ViewFactory make;
    };
    const EmployeeScreen employeeScreens[] = {
        {1212, 10013, u"Налоговые вычеты", [](CKalvorDoc* d) -> CCommonFormView* { return new CWorkerNalvichView(d); }},
        {1044, 10002, u"Архив", [](CKalvorDoc* d) -> CCommonFormView* { return new CWorkerArchiveView(d); }},
        {1043, 10001, u"Постоянные выплаты",
         [](CKalvorDoc* d) -> CCommonFormView* { return new CWorkerPostviplView(d); }},
    };
    for (const EmployeeScreen& screen : employeeScreens) {
        CommandInfo command;
        command.id = screen.id;
        command.caption = QString::fromUtf16(screen.caption);
        command.panel = 1;
        command.makeView = screen.make;
        registry.AddCommand(command);
        CommandInfo quick = command;
        quick.id = screen.quickId;
        quick.panel = -1;
        quick.quickButton = true;
        quick.quickOpen = 1;
        registry.AddCommand(quick);
    }

    // The employee's record card, the only screen that makes and deletes cards.
    CommandInfo recordCard;
    recordCard.id = 1042;
    recordCard.caption = QStringLiteral("Учетная карточка работника");
    recordCard.panel = 1;
    recordCard.makeView = [](CKalvorDoc* d) -> CCommonFormView* { return new CWorkerUchKartView(d); };
    registry.AddCommand(recordCard);

    // The archive with dates (no quick button of its own).
    CommandInfo datedArchive;
    datedArchive.id = 1045;
    datedArchive.caption = QStringLiteral("Архив с датами");
    datedArchive.panel = 1;
    datedArchive.makeView = [](CKalvorDoc* d) -> CCommonFormView* { return new CWorkerDatArchiveView(d); };
    registry.AddCommand(datedArchive);

    // The personal account, and its quick buttons: 10014 opens it with the
    // employee shown last, 9999 computes him first.
    CommandInfo account;
    account.id = 32840;
    account.caption = QStringLiteral("Просмотр лицевых счетов");
    account.panel = 8;
    account.makeView = [](CKalvorDoc* d) -> CCommonFormView* { return new CCalcLicSchetView(d); };
    registry.AddCommand(account);
    CommandInfo accountQuick = account;
    accountQuick.id = 10014;
    accountQuick.panel = -1;
    accountQuick.quickButton = true;
    accountQuick.quickOpen = 1;
    registry.AddCommand(accountQuick);
    accountQuick.id = 9999;
    accountQuick.caption = QStringLiteral("Расчет и лицевой счет");
    accountQuick.quickOpen = 2;
    registry.AddCommand(accountQuick);

    // The main time sheet on working panel "Табель" (entry-screen number 7),
    // and its quick button, which opens it with the employee shown last. The
    // time sheet's "Корректировка ставок" opens the employee screens' dialog.
    registry.AddPanel({7, QStringLiteral("Табель"), MainPanelPayroll});
    registry.SetEntryScreenPanel(CTabelVvodView::kEntryScreen, 7);
    CommandInfo tabel;
    tabel.id = 32833;
    tabel.caption = QStringLiteral("Ввод основного табеля");
    tabel.panel = 7;
    tabel.makeView = [](CKalvorDoc* d) -> CCommonFormView* {
        return new CTabelVvodView(d, [](CKalvorDoc* doc, unsigned slot, QWidget* parent) {
            CStavkaCorrect dialog(doc, slot, parent);
            dialog.exec();
        });
    };
    registry.AddCommand(tabel);
    CommandInfo tabelQuick = tabel;
    tabelQuick.id = 10011;
    tabelQuick.panel = -1;
    tabelQuick.quickButton = true;
    tabelQuick.quickOpen = 1;
    registry.AddCommand(tabelQuick);
    // The check of a time-sheet file handed over by a time-keeping program.
    RegisterTabelReadScreen(registry);

    // The alternative time sheet on the same panel, and its quick button.
    CommandInfo altTabel;
    altTabel.id = 32834;
    altTabel.caption = QStringLiteral("Ввод альтерн. табеля");
    altTabel.panel = 7;
    altTabel.makeView = [](CKalvorDoc* d) -> CCommonFormView* { return new CATabelVvodView(d); };
    registry.AddCommand(altTabel);
    altTabel.id = 10012;
    altTabel.panel = -1;
    altTabel.quickButton = true;
    altTabel.quickOpen = 1;
    registry.AddCommand(altTabel);

    // The month's current accruals and deductions on working panel
    // "Начисления / Удержания" (entry-screen number 2), and its quick button.
    registry.AddPanel({2, QStringLiteral("Начисления / Удержания"), MainPanelPayroll});
    registry.SetEntryScreenPanel(CCurnuNuView::kEntryScreen, 2);
    CommandInfo curnuNu;
    curnuNu.id = 1229;
    curnuNu.caption = QStringLiteral("Начисления / Удержания");
    curnuNu.panel = 2;
    curnuNu.makeView = [](CKalvorDoc* d) -> CCommonFormView* { return new CCurnuNuView(d); };
    registry.AddCommand(curnuNu);
    CommandInfo curnuNuQuick = curnuNu;
    curnuNuQuick.id = 10003;
    curnuNuQuick.panel = -1;
    curnuNuQuick.quickButton = true;
    curnuNuQuick.quickOpen = 1;
    registry.AddCommand(curnuNuQuick);

    // Writs of execution, loans and credits, bank transfers on the same
    // panel, each with its quick button.
    const auto addDeductionScreen = [&registry](int id, int quickId, const QString& caption, ViewFactory makeView) {
        CommandInfo command;
        command.id = id;
        command.caption = caption;
        command.panel = 2;
        command.makeView = std::move(makeView);
        registry.AddCommand(command);
        command.id = quickId;
        command.panel = -1;
        command.quickButton = true;
        command.quickOpen = 1;
        registry.AddCommand(command);
    };
    addDeductionScreen(1226, 10004, QStringLiteral("Исполнительные листы"),
                       [](CKalvorDoc* d) -> CCommonFormView* { return new CCurnuIspListView(d); });
    addDeductionScreen(1227, 10006, QStringLiteral("Ссуды и кредиты"),
                       [](CKalvorDoc* d) -> CCommonFormView* { return new CCurnuSsudKredView(d); });
    addDeductionScreen(1228, 10005, QStringLiteral("Перечисления в банки"),
                       [](CKalvorDoc* d) -> CCommonFormView* { return new CCurnuPerSBView(d); });
    // The vacation notes on working panel "Расчет отпусков" (entry-screen
    // number 5), and their quick button.
    registry.AddPanel({COtpuskVvodView::kEntryScreen, QStringLiteral("Расчет отпусков"), MainPanelPayroll});
    registry.SetEntryScreenPanel(COtpuskVvodView::kEntryScreen, COtpuskVvodView::kEntryScreen);
    CommandInfo vacation;
    vacation.id = 32805;
    vacation.caption = QStringLiteral("Ввод и корректировка отпускной записки");
    vacation.panel = COtpuskVvodView::kEntryScreen;
    vacation.makeView = [](CKalvorDoc* d) -> CCommonFormView* {
        return new COtpuskVvodView(d, [](CKalvorDoc* doc, unsigned slot, QWidget* parent) {
            CStavkaCorrect dialog(doc, slot, parent);
            dialog.exec();
        });
    };
    registry.AddCommand(vacation);
    CommandInfo vacationQuick = vacation;
    vacationQuick.id = 10009;
    vacationQuick.panel = -1;
    vacationQuick.quickButton = true;
    vacationQuick.quickOpen = 1;
    registry.AddCommand(vacationQuick);

    // The sick-leave sheets on working panel "Больничный лист" (entry-screen
    // number 4), and their quick button.
    registry.AddPanel({CBulletVvodView::kEntryScreen, QStringLiteral("Больничный лист"), MainPanelPayroll});
    registry.SetEntryScreenPanel(CBulletVvodView::kEntryScreen, CBulletVvodView::kEntryScreen);
    CommandInfo sickLeave;
    sickLeave.id = 1213;
    sickLeave.caption = QStringLiteral("Ввод и корректировка больничного листа");
    sickLeave.panel = CBulletVvodView::kEntryScreen;
    sickLeave.makeView = [](CKalvorDoc* d) -> CCommonFormView* {
        return new CBulletVvodView(d, [](CKalvorDoc* doc, unsigned slot, QWidget* parent) {
            CStavkaCorrect dialog(doc, slot, parent);
            dialog.exec();
        });
    };
    registry.AddCommand(sickLeave);
    CommandInfo sickLeaveQuick = sickLeave;
    sickLeaveQuick.id = 10008;
    sickLeaveQuick.panel = -1;
    sickLeaveQuick.quickButton = true;
    sickLeaveQuick.quickOpen = 1;
    registry.AddCommand(sickLeaveQuick);
}
