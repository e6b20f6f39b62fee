// The time-sheet file check driven by keys on the demo base: the demo firm's
// file is read without a word; a number nobody has, a shop without
// employees, a missing, foreign or damaged file each give their message and
// give the button back; marks in the help start the reading at once; the
// command opens the view on the "Табель" panel and Esc goes back there.
#include "DemoFirm.h"
#include "TimeSheetFile.h"
#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"

#include "entries/ui/CTabelReadView.h"
#include "infobase/InfoBaseDb.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

#ifdef KALVOR_DATA_DIR

namespace ib = kalvor::infobase;

namespace {

class UiTabelRead : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ASSERT_NO_FATAL_FAILURE(kalvor::testsupport::MakeDemoFolder(folder));
        ASSERT_TRUE(kalvor::tools::MakeDemoTimeSheetFile(folder));
        doc = std::make_unique<CKalvorDoc>();
        ASSERT_NO_FATAL_FAILURE(
            kalvor::testsupport::OpenDemoBase(*doc, folder, kalvor::testsupport::DemoRefFiles::None));
        view = std::make_unique<CTabelReadView>(doc.get());
        view->resize(900, 500);
        view->OnInitialUpdate();
        ASSERT_TRUE(ShowActive(view.get()));
    }
    void TearDown() override
    {
        view.reset();
        ib::CloseBase(doc->infoBase);
    }

    void Type(int id, const QString& text)
    {
        auto* field = view->controlAs<QLineEdit>(id);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }
    bool WaitForEnd()
    {
        return WaitFor([&] { return !view->Running() && view->control(IdStartButton)->isEnabled(); }, 60000);
    }
    // Enter in the file-name field, then the end of the run.
    bool Run()
    {
        QWidget* field = view->control(IdTabelFileField);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        return WaitForEnd();
    }
    // The one message of a run, or "" when there was none.
    QString RunMessage()
    {
        recorder.boxes.clear();
        EXPECT_TRUE(Run());
        EXPECT_LE(recorder.boxes.size(), 1u);
        return recorder.boxes.empty() ? QString() : recorder.boxes.front().text;
    }
    void WriteFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(folder + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    std::unique_ptr<CTabelReadView> view;
    MessageRecorder recorder;
};

} // namespace

TEST_F(UiTabelRead, EachOutcomeReachesTheViewAsItsMessage)
{
    const QString file = folder + kalvor::tools::DemoTimeSheetFileName();
    Type(IdTabelFileField, file);
    EXPECT_EQ(RunMessage(), QString());

    // A number not in the list is refused by the strip before the run.
    const quint32 last = doc->LastPersonnelNumber;
    Type(IdPersonnelNumberField, QStringLiteral("8000"));
    EXPECT_EQ(RunMessage(), QStringLiteral("В поле \"Табельный номер (по умолчанию все работники)\" указан номер, которого нет в "
                                            "справочнике \"Список сотрудников\": 8000"));
    EXPECT_EQ(doc->LastPersonnelNumber, last);
    Type(IdPersonnelNumberField, QString());

    Type(IdBrigadeField, QStringLiteral("99")); // a brigade without employees
    EXPECT_EQ(RunMessage(), QStringLiteral("Сотрудников не обнаружено"));
    Type(IdBrigadeField, QString());

    Type(IdTabelFileField, folder + QStringLiteral("none.dbf"));
    EXPECT_EQ(RunMessage(), QStringLiteral("Ошибка при открытии файла"));
    EXPECT_TRUE(recorder.boxes.front().flags & MB_ICONERROR);

    QFile demo(file);
    ASSERT_TRUE(demo.open(QIODevice::ReadOnly));
    QByteArray bytes = demo.readAll();
    bytes[0] = 0x30; // a FoxPro table
    WriteFile(QStringLiteral("fox.dbf"), bytes);
    Type(IdTabelFileField, folder + QStringLiteral("fox.dbf"));
    EXPECT_EQ(RunMessage(), QStringLiteral("Файл не является таблицей табельного учета dBASE III"));

    WriteFile(QStringLiteral("short.dbf"), bytes.left(7));
    Type(IdTabelFileField, folder + QStringLiteral("short.dbf"));
    EXPECT_EQ(RunMessage(), QStringLiteral("Ошибка чтения файла"));
}

TEST_F(UiTabelRead, MarksInTheHelpStartTheReadingAtOnce)
{
    Type(IdTabelFileField, folder + kalvor::tools::DemoTimeSheetFileName());
    const int first = doc->infoBase.list[0].tabN(), third = doc->infoBase.list[2].tabN();
    view->control(IdPersonnelNumberField)->setFocus();
    view->TakeHelpValues({QString::number(first), QString::number(third)});
    ASSERT_TRUE(WaitForEnd());
    EXPECT_TRUE(recorder.boxes.empty());
    EXPECT_EQ(view->SelectedOnly(), 0);
    int marked = 0;
    for (const ib::EmployeeListEntry& entry : doc->infoBase.list) marked += entry.marked() ? 1 : 0;
    EXPECT_EQ(marked, 2);
    EXPECT_TRUE(doc->infoBase.list[0].marked());
    EXPECT_TRUE(doc->infoBase.list[2].marked());
}

TEST_F(UiTabelRead, TheCommandOpensTheViewOnTheTimeSheetPanel)
{
    view.reset();
    CommandRegistry registry;
    registry.AddPanel({7, QStringLiteral("Табель"), MainPanelPayroll});
    RegisterTabelReadScreen(registry);
    CMainFrame frame(doc.get(), &registry);
    frame.resize(1100, 700);
    ASSERT_TRUE(ShowActive(&frame));
    const CommandInfo* command = registry.Find(32835);
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->caption, QStringLiteral("Чтение файла табел. учета"));
    EXPECT_EQ(command->panel, 7);
    frame.SwitchView(command->makeView);
    auto* opened = qobject_cast<CTabelReadView*>(frame.CurrentView());
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->findChildren<QGroupBox*>().front()->title(), QStringLiteral("Чтение файла табельного учета"));
    EXPECT_EQ(opened->controlAs<QPushButton>(IdStartButton)->text(), QStringLiteral("Читать"));
    EXPECT_EQ(opened->controlAs<QLineEdit>(IdTabelFileField)->maxLength(), 259);
    QTest::keyClick(opened->control(IdShopField), Qt::Key_Escape);
    EXPECT_NE(qobject_cast<CEmptyView*>(frame.CurrentView()), nullptr);
    EXPECT_EQ(frame.CurrentWorkPanel(), 7);
}

#endif
