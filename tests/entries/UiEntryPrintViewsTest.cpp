// The statements and registers of the sick-leave and vacation panels on the
// demo base, opened through their commands: the statements print through the
// print command (its dialog accepted as the user would, the command a copy
// that keeps what it printed), the sick-leave register opens in the viewer
// (a script that notes what it was given), the note-calculations print with
// or without the note, an empty selection and a bad sheet range give their
// messages, closing a view during a run returns at once, and the forms are
// saved as pictures into the build folder.
#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"
#include "support/ScreenText.h"

#include "StatementViewWorld.h"
#include "entries/ui/CBulletPlatVedView.h"
#include "entries/ui/CBulletRgsPrintView.h"
#include "entries/ui/CBulletVvodView.h"
#include "entries/ui/COtpuskPlatVedView.h"
#include "entries/ui/COtpuskRgsPrintView.h"
#include "entries/ui/COtpuskVvodView.h"
#include "entries/ui/EntryPrintScreens.h"
#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/TypedInput.h"
#include "shell/ui/CPrnEditDlg.h"
#include "shell/ui/CommandRegistry.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QTableWidget>

#include <memory>

#ifdef KALVOR_DATA_DIR

namespace ib = kalvor::infobase;
using namespace kalvor;

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Oem(const QString& text) { return codepage::toCp866(text); }

// A text as an RTF document holds it: windows-1251 with the upper half escaped.
QByteArray Rtf(const QString& text)
{
    QByteArray escaped;
    for (const char byte : codepage::toCp1251(text)) {
        if (static_cast<unsigned char>(byte) < 0x80)
            escaped += byte;
        else
            escaped += "\\'" + QByteArray::number(static_cast<unsigned char>(byte), 16);
    }
    return escaped;
}

class UiEntryPrintViews : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        doc = std::make_unique<CKalvorDoc>();
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(*doc, folder));
        ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/forms"), folder + QStringLiteral("forms")));
        ASSERT_TRUE(QDir(folder).mkpath(QStringLiteral("Shablon")));
        const QDir templates(QStringLiteral(KALVOR_DATA_DIR "/Shablon"));
        for (const QString& name : templates.entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(templates.filePath(name), folder + QStringLiteral("Shablon/") + name));
        platform::SetWorkingFolder(folder);
        MakeViewerScript();
        // The print command keeps a copy of what it was given.
        doc->infoBase.config.dosStr = QStringLiteral("cp %s %1").arg(Printed());
        acceptor = std::make_unique<entrytest::PrintDialogAcceptor>(dialogs);
    }
    void TearDown() override
    {
        acceptor->stop();
        frame.reset();
        ib::CloseBase(doc->infoBase);
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
        platform::SetWorkingFolder(QString());
    }

    void MakeViewerScript()
    {
        QFile script(folder + QStringLiteral("viewer.sh"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        const QByteArray viewed = QFile::encodeName(Viewed());
        script.write("#!/bin/sh\nprintf '%s' \"$1\" > \"" + viewed + ".part\" && mv \"" + viewed + ".part\" \"" +
                     viewed + "\"\n");
        script.setPermissions(script.permissions() | QFile::ExeOwner);
        script.close();
        platform::DocumentOpener::SetCommand(script.fileName());
    }
    QString Viewed() const { return folder + QStringLiteral("viewed.txt"); }
    QString Printed() const { return folder + QStringLiteral("printed.txt"); }

    // The frame with the two panels and their print commands.
    void MakeFrame()
    {
        registry.AddPanel({CBulletVvodView::kEntryScreen, QStringLiteral("Больничный лист"), MainPanelPayroll});
        registry.AddPanel({COtpuskVvodView::kEntryScreen, QStringLiteral("Расчет отпусков"), MainPanelPayroll});
        RegisterSickVacationPrintScreens(registry);
        frame = std::make_unique<CMainFrame>(doc.get(), &registry);
        frame->resize(1100, 700);
        ASSERT_TRUE(ShowActive(frame.get()));
    }
    // Opens the screen of the command on its panel, as its button does
    // (the base here is open without the shell's base service); its view,
    // or none.
    template <class View>
    View* Open(int id)
    {
        if (!frame)
            MakeFrame();
        const CommandInfo* command = registry.Find(id);
        if (command == nullptr)
            return nullptr;
        frame->ShowWorkPanel(command->panel);
        frame->SwitchView(command->makeView);
        Settle();
        return qobject_cast<View*>(frame->CurrentView());
    }
    CPrintTaskView* View() const { return qobject_cast<CPrintTaskView*>(frame->CurrentView()); }
    void SetField(int id, const QString& text) { View()->controlAs<QLineEdit>(id)->setText(text); }
    // Enter in the shop field starts the run; the button is disabled until it ends.
    bool PrintWithEnter()
    {
        QFile::remove(Viewed());
        QFile::remove(Printed());
        recorder.boxes.clear();
        auto* field = View()->controlAs<QLineEdit>(IdShopField);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_FALSE(View()->control(IdStartButton)->isEnabled());
        return WaitFor([&] { return !View()->Running() && View()->control(IdStartButton)->isEnabled(); }, 120'000);
    }
    QString Messages() const { return recorder.Texts().join(QLatin1Char('|')); }
    void SaveScreenshot(const QString& name)
    {
        const QString path = QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
        EXPECT_TRUE(View()->grab().save(path)) << path.toStdString();
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    CommandRegistry registry;
    std::unique_ptr<CMainFrame> frame;
    MessageRecorder recorder;
    ScopedToday today{QDate(2011, 4, 29)};
    int dialogs = 0;
    std::unique_ptr<entrytest::PrintDialogAcceptor> acceptor;
};

} // namespace

TEST_F(UiEntryPrintViews, TheFourCommandsOpenTheirFormsOnTheirPanels)
{
    MakeFrame();
    const struct {
        int command;
        int panel;
        const char* caption;
        const char* box;
    } screens[] = {
        {1215, CBulletVvodView::kEntryScreen, "Печать реестра больничных листов", "Печать реестра больничных"},
        {1216, CBulletVvodView::kEntryScreen, "Печать ведомости", "Печать ведомости"},
        {32807, COtpuskVvodView::kEntryScreen, "Печать реестра отпускных", "Печать реестра отпускных"},
        {32808, COtpuskVvodView::kEntryScreen, "Печать платежной ведомости", "Печать ведомости"},
    };
    for (const auto& screen : screens) {
        const CommandInfo* command = registry.Find(screen.command);
        ASSERT_NE(command, nullptr) << screen.command;
        EXPECT_EQ(command->caption, QString::fromUtf8(screen.caption));
        EXPECT_EQ(command->panel, screen.panel);
        CPrintTaskView* view = Open<CPrintTaskView>(screen.command);
        ASSERT_NE(view, nullptr) << screen.command;
        EXPECT_EQ(view->findChildren<QGroupBox*>().front()->title(), QString::fromUtf8(screen.box));
        EXPECT_NE(view->control(IdStartButton), nullptr);
        // Esc goes back to the empty view.
        QTest::keyClick(view->control(IdShopField), Qt::Key_Escape);
        EXPECT_NE(qobject_cast<CEmptyView*>(frame->CurrentView()), nullptr) << screen.command;
    }
    // The statements have the cashier but not the accountant; the note
    // register has its first-page field.
    auto* sick = Open<CBulletPlatVedView>(1216);
    ASSERT_NE(sick, nullptr);
    EXPECT_NE(sick->control(IdCashierNameField), nullptr);
    EXPECT_EQ(sick->control(IdAccountantField), nullptr);
    SaveScreenshot(QStringLiteral("sick-pay-statement-459.png"));
    ASSERT_NE(Open<COtpuskPlatVedView>(32808), nullptr);
    EXPECT_EQ(View()->control(IdAccountantField), nullptr);
    SaveScreenshot(QStringLiteral("vacation-pay-statement-397.png"));
    ASSERT_NE(Open<COtpuskRgsPrintView>(32807), nullptr);
    EXPECT_NE(View()->control(COtpuskRgsPrintView::kFirstPageField), nullptr);
    SaveScreenshot(QStringLiteral("vacation-note-register-396.png"));
    ASSERT_NE(Open<CBulletRgsPrintView>(1215), nullptr);
    SaveScreenshot(QStringLiteral("sick-leave-register-451.png"));
}

TEST_F(UiEntryPrintViews, StatementsPrintTheFlaggedSheetAndNote)
{
    ASSERT_NE(Open<CBulletPlatVedView>(1216), nullptr);
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_TRUE(Messages().isEmpty()) << Messages().toStdString();
    EXPECT_EQ(dialogs, 1);
    QByteArray printed = ReadFile(Printed());
    EXPECT_TRUE(printed.contains("     3429.48|")) << printed.constData();
    EXPECT_TRUE(printed.contains(Oem(QStringLiteral("Расчетный период"))));

    ASSERT_NE(Open<COtpuskPlatVedView>(32808), nullptr);
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_TRUE(Messages().isEmpty()) << Messages().toStdString();
    EXPECT_EQ(dialogs, 2);
    printed = ReadFile(Printed());
    EXPECT_TRUE(printed.contains("    11038.72|")) << printed.constData();

    // Cash orders of the vacation note: one order.
    SetField(IdOutputModeField, QStringLiteral("2"));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_EQ(dialogs, 3);
    EXPECT_EQ(ReadFile(Printed()).count(Oem(QStringLiteral("РАСХОДНЫЙ  КАССОВЫЙ  ОРДЕР"))), 1);
}

// The statement's run ends with the line naming its report and how the
// print command ended; a command that fails is said in a box with its text
// and output; letters in the personnel number are refused before any run.
TEST_F(UiEntryPrintViews, TheRunSaysHowThePrintCommandEndedAndAnUnreadableNumberIsRefused)
{
    ASSERT_NE(Open<CBulletPlatVedView>(1216), nullptr);
    const QString report = doc->FormWorkFile(QStringLiteral("Bol-Ved"), MonthKey(2011, 4));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_TRUE(Messages().isEmpty()) << Messages().toStdString();
    EXPECT_EQ(ScreenText(View(), QStringLiteral("outcome")),
              QStringLiteral("Записан файл %1, выполнена команда печати").arg(report));

    doc->infoBase.config.dosStr = QStringLiteral("sh -c \"echo принтер не найден >&2; exit 2\"");
    ASSERT_TRUE(PrintWithEnter());
    const QString said = QStringLiteral("Команда печати завершилась с кодом 2:\n"
                                        "sh -c \"echo принтер не найден >&2; exit 2\" %1\n"
                                        "принтер не найден\n"
                                        "Записан файл %1")
                             .arg(report);
    EXPECT_EQ(Messages(), said);
    EXPECT_EQ(ScreenText(View(), QStringLiteral("outcome")), said);
    EXPECT_EQ(dialogs, 2);

    recorder.boxes.clear();
    SetField(IdPersonnelNumberField, QStringLiteral("abc"));
    auto* field = View()->controlAs<QLineEdit>(IdShopField);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(Messages(), QStringLiteral("Некорректное число в поле \"%1\": abc")
                              .arg(View()->controlAs<CTypedEdit>(IdPersonnelNumberField)->Kind().name));
    EXPECT_FALSE(View()->Running());
    EXPECT_TRUE(View()->control(IdStartButton)->isEnabled());
    EXPECT_EQ(dialogs, 2);
}

TEST_F(UiEntryPrintViews, BadSheetsAndEmptySelectionsGiveTheirMessages)
{
    ASSERT_NE(Open<COtpuskPlatVedView>(32808), nullptr);
    SetField(IdFirstSheetField, QStringLiteral("5"));
    SetField(IdLastSheetField, QStringLiteral("2"));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_EQ(Messages(), QStringLiteral("Некорректное условие поиска"));
    SetField(IdFirstSheetField, QString());
    SetField(IdLastSheetField, QString());
    SetField(IdBrigadeField, QStringLiteral("99")); // a brigade without employees
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_EQ(Messages(), QStringLiteral("Нет данных для печати"));

    ASSERT_NE(Open<CBulletRgsPrintView>(1215), nullptr);
    SetField(IdBrigadeField, QStringLiteral("99"));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_EQ(Messages(), QStringLiteral("Нет работников для заданных параметров"));
    EXPECT_FALSE(QFile::exists(Viewed()));
    EXPECT_EQ(dialogs, 0);
}

TEST_F(UiEntryPrintViews, SickLeaveRegisterOpensInTheViewer)
{
    ASSERT_NE(Open<CBulletRgsPrintView>(1215), nullptr);
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_TRUE(Messages().isEmpty()) << Messages().toStdString();
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(Viewed()); }, 10'000));
    const QString rtf = QString::fromUtf8(ReadFile(Viewed()));
    // Named after the register and the month, the form of no other print.
    EXPECT_EQ(rtf,
              QFileInfo(folder + doc->infoBase.baseName + QStringLiteral("-BolReg-2011-04.rtf")).absoluteFilePath());
    EXPECT_EQ(ScreenText(View(), QStringLiteral("outcome")),
              QStringLiteral("Записан файл %1, открыт в программе просмотра").arg(rtf));
    const QByteArray bytes = ReadFile(rtf);
    EXPECT_TRUE(bytes.startsWith("{\\rtf"));
    EXPECT_TRUE(bytes.contains(Rtf(QStringLiteral("Пахомов"))));
    EXPECT_TRUE(bytes.contains(Rtf(QStringLiteral("Хохлова"))));
    EXPECT_EQ(dialogs, 0);

    // A viewer that cannot be started: the register says so, naming its file.
    platform::DocumentOpener::SetCommand(QStringLiteral("kalvor-no-such-viewer"));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_EQ(Messages(), QStringLiteral("Не найдена программа просмотра документов \"kalvor-no-such-viewer\".\n"
                                         "Документ сохранен в файле %1")
                              .arg(rtf));
}

TEST_F(UiEntryPrintViews, EmployeesMarkedInTheHelpListStartTheRegisterAlone)
{
    auto* view = Open<CBulletRgsPrintView>(1215);
    ASSERT_NE(view, nullptr);
    auto* number = view->controlAs<QLineEdit>(IdPersonnelNumberField);
    number->setFocus();
    ASSERT_TRUE(WaitFor([&] { return view->m_focusedId == IdPersonnelNumberField; }));
    view->ShowFormHelp();
    ASSERT_TRUE(view->HelpList());
    QTableWidget* table = view->HelpList()->table();
    int row = 0;
    while (row < table->rowCount() && !table->item(row, 2)->text().startsWith(QStringLiteral("Пахомов"))) ++row;
    ASSERT_LT(row, table->rowCount());
    table->setCurrentCell(row, 1);
    QTest::keyClick(table, Qt::Key_Space);
    QTest::keyClick(table, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return !view->Running() && view->control(IdStartButton)->isEnabled(); }, 60'000));
    EXPECT_TRUE(Messages().isEmpty()) << Messages().toStdString();
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(Viewed()); }, 10'000));
    const QByteArray bytes = ReadFile(QString::fromUtf8(ReadFile(Viewed())));
    EXPECT_TRUE(bytes.contains(Rtf(QStringLiteral("Пахомов"))));
    EXPECT_FALSE(bytes.contains(Rtf(QStringLiteral("Хохлова"))));
}

TEST_F(UiEntryPrintViews, NoteCalculationsPrintWithTheNoteOnlyWhenAsked)
{
    ASSERT_NE(Open<COtpuskRgsPrintView>(32807), nullptr);
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_TRUE(Messages().isEmpty()) << Messages().toStdString();
    EXPECT_EQ(dialogs, 1);
    const QByteArray calculationOnly = ReadFile(Printed());
    ASSERT_FALSE(calculationOnly.isEmpty());

    SetField(COtpuskRgsPrintView::kFirstPageField, QStringLiteral("1"));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_EQ(dialogs, 2);
    const QByteArray withNote = ReadFile(Printed());
    EXPECT_GT(withNote.size(), calculationOnly.size());
    EXPECT_TRUE(withNote.contains(calculationOnly.left(200)) || withNote.endsWith(calculationOnly.right(200)));
}

TEST_F(UiEntryPrintViews, ClosingAViewDuringARunReturnsAtOnce)
{
    for (int command : {1215, 1216, 32807, 32808}) {
        CPrintTaskView* view = Open<CPrintTaskView>(command);
        ASSERT_NE(view, nullptr);
        view->OnStartButton();
        EXPECT_TRUE(view->Running() || !view->control(IdStartButton)->isEnabled()) << command;
        QElapsedTimer timer;
        timer.start();
        frame->SwitchView<CEmptyView>();
        EXPECT_LT(timer.elapsed(), 5'000) << command;
        Settle();
    }
}

#endif
