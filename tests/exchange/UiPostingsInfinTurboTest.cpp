// The postings for ИНФИН and Турбо-бухгалтер driven from the export view on
// the demo base after the April 2011 calculation: program 2 writes
// "infin.txt" into the working folder and says the month is done (and that no
// loader is set); program 3 asks its question through the message box, writes
// the three files beside the base on Да and nothing on Нет.
#include "DemoFirm.h"
#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"

#include "exchange/PostingsTurbo.h"
#include "exchange/ui/CEFuncProvodExportView.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcThread.h"
#include "platform/DocumentOpener.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorConfig.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <memory>

#ifdef KALVOR_DATA_DIR

namespace ib = kalvor::infobase;

namespace {

class RecordingPrompt : public kalvor::print::PrintCommandPrompt {
public:
    std::optional<QString> ConfirmCommand(const QString& reportPath, const QString&) override
    {
        offered << reportPath;
        return std::nullopt;
    }
    QStringList offered;
};

class UiInfinTurboExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        kalvor::platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        folder = dir.path() + QLatin1Char('/');
        doc = std::make_unique<CKalvorDoc>();
        ASSERT_NO_FATAL_FAILURE(kalvor::testsupport::OpenDemoDocument(*doc, folder));

        kalvor::platform::TaskThread calc;
        kalvor::CalcThreadParams calcParams;
        calcParams.document = doc.get();
        ASSERT_TRUE(calc.start(calcParams, &kalvor::CalculationThreadProc));
        ASSERT_TRUE(WaitFor([&] { return !calc.isRunning(); }, 60'000));
        Settle();

        view = std::make_unique<CEFuncProvodExportView>(doc.get());
        view->SetPrintPrompt(&prompt);
        view->resize(760, 600);
        view->OnInitialUpdate();
        ASSERT_TRUE(ShowActive(view.get()));
    }
    void TearDown() override
    {
        view.reset();
        ib::CloseBase(doc->infoBase);
    }
    // Types the program into its field and presses Enter; waits for the run.
    void Export(const QString& program)
    {
        auto* field = view->controlAs<QLineEdit>(CEFuncProvodExportView::IdProgramField);
        field->setFocus();
        field->selectAll();
        TypeText(field, program);
        QTest::keyClick(field, Qt::Key_Return);
        ASSERT_TRUE(WaitFor([&] { return !view->Running() && view->control(IdStartButton)->isEnabled(); }, 60'000));
    }
    QByteArray Read(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    std::unique_ptr<CEFuncProvodExportView> view;
    RecordingPrompt prompt;
    MessageRecorder recorder;
};

TEST_F(UiInfinTurboExport, InfinWritesItsFileAndSaysTheMonthIsDone)
{
    // The demo's report generator holds January: its entries come from the
    // archive.
    Export(QStringLiteral("2"));
    ASSERT_EQ(recorder.boxes.size(), 1u) << recorder.Texts().join('|').toStdString();
    EXPECT_TRUE(recorder.boxes[0].text.startsWith(QStringLiteral("Выгрузка за Январь месяц завершена!\n")));
    EXPECT_TRUE(Read(folder + QStringLiteral("infin.txt")).contains("7000;6804;;;;;;;;;;;;;;;"));

    // The month just calculated.
    doc->infoBase.config.r_m1 = 4;
    recorder.boxes.clear();
    Export(QStringLiteral("2"));
    EXPECT_EQ(view->Program(), 2);
    ASSERT_EQ(recorder.boxes.size(), 1u) << recorder.Texts().join('|').toStdString();
    EXPECT_TRUE(recorder.boxes[0].text.startsWith(QStringLiteral("Выгрузка за Апрель месяц завершена!\nЗагрузчик "
                                                                 "ИНФИН не задан")))
        << recorder.boxes[0].text.toStdString();
    EXPECT_EQ(recorder.boxes[0].flags, MB_OK);
    EXPECT_TRUE(prompt.offered.isEmpty());

    const QByteArray written = Read(folder + QStringLiteral("infin.txt"));
    ASSERT_FALSE(written.isEmpty());
    EXPECT_TRUE(written.endsWith("\r\n"));
    // The income tax of the month is posted from account 70 to 68.
    EXPECT_TRUE(written.contains("7000;6804;;;;;;;;;;;;;;;")) << written.constData();
    // Section 1: the wages of the production staff of the shops (2000 to
    // 7000 on 2055) and of the management of shop 1 (2600 to 7000 on 2601).
    EXPECT_TRUE(written.contains("2000;7000;2055;")) << written.constData();
    EXPECT_TRUE(written.contains("2600;7000;2601;1;;;;;;;;;;;;;")) << written.constData();
    for (const QByteArray& line : written.split('\n'))
        if (!line.isEmpty()) {
            EXPECT_TRUE(line.endsWith(";\r")) << line.constData();
        }
}

TEST_F(UiInfinTurboExport, TurboAsksAndWritesItsFilesOnYesOnly)
{
    recorder.answer = IDNO;
    Export(QStringLiteral("3"));
    ASSERT_EQ(recorder.boxes.size(), 1u) << recorder.Texts().join('|').toStdString();
    EXPECT_EQ(recorder.boxes[0].text, QStringLiteral("Коммутация с Турбо-бухгалтером ?"));
    EXPECT_EQ(recorder.boxes[0].flags, MB_YESNO | MB_ICONQUESTION);
    for (const char* extension : {"sig", "lis", "jur"})
        EXPECT_FALSE(QFile::exists(kalvor::exchange::TurboFilePath(*doc, QString::fromLatin1(extension))));

    recorder.answer = IDYES;
    recorder.boxes.clear();
    Export(QStringLiteral("3"));
    EXPECT_EQ(recorder.Texts(),
              (QStringList{QStringLiteral("Коммутация с Турбо-бухгалтером ?"), QStringLiteral("Порядок!")}));
    EXPECT_TRUE(prompt.offered.isEmpty());
    const QByteArray journal = Read(folder + kalvor::tools::DemoBaseName() + QStringLiteral(".jur"));
    EXPECT_TRUE(journal.startsWith(kalvor::Clock::today().toString(QStringLiteral("dd.MM.yy")).toLatin1() + "\r\n"));
    EXPECT_GT(journal.count("\r\n"), 1);
    EXPECT_FALSE(Read(folder + kalvor::tools::DemoBaseName() + QStringLiteral(".lis")).isEmpty());
    EXPECT_FALSE(Read(folder + kalvor::tools::DemoBaseName() + QStringLiteral(".sig")).isEmpty());
}

TEST(InfinLoaderSetting, ReadFromTheApplicationSectionAndKeptOnSave)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("kalvor.ini"));
    KalvorConfig config;
    config.Load(file);
    EXPECT_TRUE(config.infinLoader.isEmpty());

    QFile ini(file);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Application]\npath=/data/kalvor\nInfinLoader = wine infin.exe\n");
    ini.close();
    config.Load(file);
    EXPECT_EQ(config.infinLoader, QStringLiteral("wine infin.exe"));
    ASSERT_TRUE(config.Save(file));
    config.Load(file);
    EXPECT_EQ(config.infinLoader, QStringLiteral("wine infin.exe"));
}

} // namespace

#endif
