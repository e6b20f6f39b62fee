// The payroll print views on the demo base after the month is computed:
// each prints and hands its document to the viewer (a script that notes
// what it was given), the button stays disabled while the worker runs,
// closing a view during a run returns at once, and three employees marked
// in the help list of the personnel number are printed, they alone. The
// forms are saved as pictures into the build folder.
#include "DemoFirm.h"
#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"
#include "support/ScreenText.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/CalcThread.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "print/ui/CPrintLicschetView.h"
#include "print/ui/CPrintPlatVedView.h"
#include "print/ui/CPrintRaschVedView.h"
#include "shell/ui/CKalvorDoc.h"
#include "support/SlotArrays.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
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

class UiPayrollPrintViews : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        doc = std::make_unique<CKalvorDoc>();
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(*doc, folder));
        ASSERT_TRUE(QDir(folder).mkpath(QStringLiteral("Shablon")));
        const QDir templates(QStringLiteral(KALVOR_DATA_DIR "/Shablon"));
        for (const QString& name : templates.entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(templates.filePath(name), folder + QStringLiteral("Shablon/") + name));
        QFile transfer(folder + QStringLiteral("kassa1c.txt"));
        ASSERT_TRUE(transfer.open(QIODevice::WriteOnly));
        transfer.close();
        platform::SetWorkingFolder(folder);
        QFile script(folder + QStringLiteral("viewer.sh"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s' \"$1\" > \"" + QFile::encodeName(Viewed()) + ".part\" && mv \"" +
                     QFile::encodeName(Viewed()) + ".part\" \"" + QFile::encodeName(Viewed()) + "\"\n");
        script.setPermissions(script.permissions() | QFile::ExeOwner);
        script.close();
        platform::DocumentOpener::SetCommand(script.fileName());
        ComputeMonth();
    }
    void TearDown() override
    {
        view.reset();
        ib::CloseBase(doc->infoBase);
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
        platform::SetWorkingFolder(QString());
    }

    void ComputeMonth()
    {
        CalcThreadParams params;
        params.document = doc.get();
        platform::TaskThread thread;
        QEventLoop loop;
        int result = -1;
        QObject::connect(&thread, &platform::TaskThread::done, &loop, [&](int r, int, const QString&) {
            result = r;
            loop.quit();
        });
        ASSERT_TRUE(thread.start(params, CalculationThreadProc));
        loop.exec();
        ASSERT_EQ(result, platform::TASK_DONE);
    }

    QString Viewed() const { return folder + QStringLiteral("viewed.txt"); }
    // The document of a form of the demo's April ("<base>-T53-2011-04.rtf");
    // without a form the base's work file's (the bank cash orders).
    QString Document(const char* form) const
    {
        return folder + tools::DemoBaseName() + QStringLiteral("-%1-2011-04.rtf").arg(QString::fromLatin1(form));
    }

    template <class View>
    View* Show()
    {
        auto* shown = new View(doc.get());
        view.reset(shown);
        view->resize(900, 620);
        view->OnInitialUpdate();
        EXPECT_TRUE(ShowActive(view.get()));
        return shown;
    }
    void SetField(int id, const QString& text) { view->controlAs<QLineEdit>(id)->setText(text); }
    // Enter in the shop field starts the run; the button is disabled until it ends.
    bool PrintWithEnter()
    {
        QFile::remove(Viewed());
        auto* field = view->controlAs<QLineEdit>(IdShopField);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_FALSE(view->control(IdStartButton)->isEnabled());
        return WaitFor([&] { return !view->Running() && view->control(IdStartButton)->isEnabled(); }, 120'000);
    }
    bool DocumentViewed(const char* form)
    {
        return WaitFor([&] { return QFile::exists(Viewed()); }, 10'000) &&
               QString::fromUtf8(ReadFile(Viewed())) == QFileInfo(Document(form)).absoluteFilePath();
    }
    void SaveScreenshot(const QString& name)
    {
        const QString path = QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
        EXPECT_TRUE(view->grab().save(path)) << path.toStdString();
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    std::unique_ptr<CPrintTaskView> view;
    MessageRecorder recorder;
    ScopedToday today{QDate(2011, 4, 29)};
};

} // namespace

TEST_F(UiPayrollPrintViews, PersonalAccountsPrintAndOpen)
{
    Show<CPrintLicschetView>();
    SaveScreenshot(QStringLiteral("print-personal-accounts-390.png"));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(DocumentViewed("LS"));
    EXPECT_TRUE(ReadFile(Document("LS")).startsWith("{\\rtf"));
}

TEST_F(UiPayrollPrintViews, PayStatementPrintsInBothForms)
{
    Show<CPrintPlatVedView>();
    SaveScreenshot(QStringLiteral("print-pay-statement-393.png"));
    for (const auto& [mode, form] : {std::pair{"", "T53"}, std::pair{"3", "0504403"}}) {
        SetField(IdOutputModeField, QString::fromLatin1(mode));
        ASSERT_TRUE(PrintWithEnter()) << mode;
        EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(DocumentViewed(form)) << mode;
    }
    // Each form kept its own document.
    EXPECT_TRUE(QFile::exists(Document("T53")));
    // The run stored the amounts to pay it printed.
    double total = 0;
    for (double amount : EveryPayout(doc->infoBase)) total += amount;
    EXPECT_GT(total, 0);
}

TEST_F(UiPayrollPrintViews, SettlementStatementPrintsAndABadSheetRangeIsRefused)
{
    Show<CPrintRaschVedView>();
    SaveScreenshot(QStringLiteral("print-settlement-statement-387.png"));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(DocumentViewed("T51"));

    Show<CPrintPlatVedView>();
    SetField(IdFirstSheetField, QStringLiteral("3"));
    SetField(IdLastSheetField, QStringLiteral("2"));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("Некорректное условие поиска")});
    SetField(IdLastSheetField, QString());
    SetField(IdBrigadeField, QStringLiteral("99")); // a brigade without employees
    recorder.boxes.clear();
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("Нет данных для печати")});
}

// A viewer that cannot be started: every view says so in a box and in its
// outcome line, naming the document it wrote, which is there.
TEST_F(UiPayrollPrintViews, AViewerThatCannotStartIsSaidWithTheDocumentsFile)
{
    platform::DocumentOpener::SetCommand(QStringLiteral("kalvor-no-such-viewer"));
    auto check = [&](const char* what, const char* form) {
        const QString said = QStringLiteral("Не найдена программа просмотра документов \"kalvor-no-such-viewer\".\n"
                                            "Документ сохранен в файле %1")
                                 .arg(QFileInfo(Document(form)).absoluteFilePath());
        ASSERT_TRUE(PrintWithEnter()) << what;
        EXPECT_EQ(recorder.Texts(), QStringList{said}) << what;
        if (!recorder.boxes.empty()) {
            EXPECT_EQ(recorder.boxes[0].flags, MB_OK | MB_ICONWARNING) << what;
        }
        EXPECT_EQ(ScreenText(view.get(), QStringLiteral("outcome")), said) << what;
        EXPECT_TRUE(ReadFile(Document(form)).startsWith("{\\rtf")) << what;
        recorder.boxes.clear();
        QFile::remove(Document(form));
    };
    Show<CPrintLicschetView>();
    check("personal accounts", "LS");
    Show<CPrintRaschVedView>();
    check("settlement statement", "T51");
    Show<CPrintPlatVedView>();
    check("pay statement", "T53");
    SetField(IdOutputModeField, QStringLiteral("5"));
    check("bank cash orders", "Zarp-Bank");
    // A run that shows its document names it and says the viewer started.
    platform::DocumentOpener::SetCommand(QStringLiteral("true"));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(ScreenText(view.get(), QStringLiteral("outcome")),
              QStringLiteral("Записан файл %1, открыт в программе просмотра")
                  .arg(QFileInfo(Document("Zarp-Bank")).absoluteFilePath()));
}

// Each view is captioned with its own document; letters in a number field
// of the selection are refused with the field's message before any run,
// where they printed the whole firm.
TEST_F(UiPayrollPrintViews, EachViewNamesItsDocumentAndRefusesAnUnreadableNumber)
{
    const auto caption = [&] {
        return qobject_cast<QGroupBox*>(view->control(CPrintTaskView::kFormGroupBox))->title();
    };
    Show<CPrintLicschetView>();
    EXPECT_EQ(caption(), QStringLiteral("Печать лицевых счетов"));
    Show<CPrintPlatVedView>();
    EXPECT_EQ(caption(), QStringLiteral("Печать платежной ведомости"));
    Show<CPrintRaschVedView>();
    EXPECT_EQ(caption(), QStringLiteral("Печать расчетной ведомости"));

    const struct {
        int field;
        const char* text;
        const char* said;
    } refused[] = {
        {IdPersonnelNumberField, "abc", "Некорректное число в поле \"Табельный номер  (по умолчанию  все работники)\": abc"},
        {IdShopField, "1x", "Некорректное число в поле \"Номер цеха  (по умолчанию  вся организация)\": 1x"},
        {IdBrigadeField, "-5", "Значение поля \"Номер бригады  (по умолчанию  все бригады)\" должно быть от 0 до 99: -5"},
        {IdProfessionField, "п", "Некорректное число в поле \"Код профессии  (по умолчанию  все профессии)\": п"},
        {IdPersonnelNumberField, "9999", "Значение поля \"Табельный номер  (по умолчанию  все работники)\" должно быть от 0 до 8191: 9999"},
        {IdPersonnelNumberField, "8000", "В поле \"Табельный номер  (по умолчанию  все работники)\" указан номер, которого нет в справочнике "
                                         "\"Список сотрудников\": 8000"},
    };
    for (const auto& entry : refused) {
        SetField(entry.field, QString::fromUtf8(entry.text));
        QTest::keyClick(view->controlAs<QLineEdit>(IdShopField), Qt::Key_Return);
        EXPECT_EQ(recorder.Texts(), QStringList{QString::fromUtf8(entry.said)}) << entry.text;
        EXPECT_FALSE(view->Running()) << entry.text;
        EXPECT_TRUE(view->controlAs<QLineEdit>(entry.field)->hasFocus()) << entry.text;
        EXPECT_FALSE(QFile::exists(Document("T51"))) << entry.text;
        SetField(entry.field, QString());
        recorder.boxes.clear();
    }
    // Brigade 99 reads, and names nobody.
    SetField(IdBrigadeField, QStringLiteral("99"));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("Нет данных для печати")});
}

TEST_F(UiPayrollPrintViews, ThreeEmployeesMarkedInTheHelpListArePrintedAlone)
{
    Show<CPrintPlatVedView>();
    SetField(IdOutputModeField, QStringLiteral("4")); // records for 1C: one line per employee
    auto* number = view->controlAs<QLineEdit>(IdPersonnelNumberField);
    number->setFocus();
    ASSERT_TRUE(WaitFor([&] { return view->m_focusedId == IdPersonnelNumberField; }));
    view->ShowFormHelp();
    ASSERT_TRUE(view->HelpList());
    QTableWidget* table = view->HelpList()->table();
    ASSERT_GE(table->rowCount(), 5);
    // Three employees with something to pay (the calculation stored the
    // amounts), marked with Space.
    const ib::CInfoBase& base = doc->infoBase;
    QStringList chosen;
    for (int row = 0; row < table->rowCount() && chosen.size() < 3; ++row) {
        const QString code = table->item(row, 1)->text().trimmed();
        const int index = base.FindEmployee(code.toInt());
        if (index < 0 || base.zar1Of(base.list[std::size_t(index)].slot) <= 0)
            continue;
        table->setCurrentCell(row, 1);
        QTest::keyClick(table, Qt::Key_Space);
        chosen << code;
    }
    ASSERT_EQ(chosen.size(), 3);
    QTest::keyClick(table, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return !view->Running() && view->control(IdStartButton)->isEnabled(); }, 120'000));
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    const QList<QByteArray> records = ReadFile(folder + QStringLiteral("kassa1c.txt")).split('\n');
    QStringList printed;
    for (const QByteArray& record : records)
        if (!record.trimmed().isEmpty())
            printed << QString::fromLatin1(record.split(',').value(4));
    EXPECT_EQ(printed, chosen);
}

TEST_F(UiPayrollPrintViews, ClosingTheViewDuringARunReturnsAtOnce)
{
    Show<CPrintLicschetView>();
    view->OnStartButton();
    ASSERT_TRUE(view->Running() || !view->control(IdStartButton)->isEnabled());
    QElapsedTimer timer;
    timer.start();
    view.reset();
    EXPECT_LT(timer.elapsed(), 5'000);
    Settle();
}

#endif
