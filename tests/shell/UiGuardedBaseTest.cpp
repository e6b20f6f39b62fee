// The base as the start-up guards it: one opening at a time, a damaged
// reference file said without ending the program, names that cannot be base
// files refused at the login, a base restored from an archive copy of the
// month change, and Qt's own texts in Russian.
#include "UiTestSupport.h"

#include "infobase/InfoBaseDb.h"
#include "platform/BaseLock.h"
#include "platform/Db.h"
#include "shell/ui/CKalvorApp.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CLoginDlg.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/InfoBaseService.h"
#include "shell/ui/MonthChange.h"
#include "values/Messages.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace ib = kalvor::infobase;

namespace {

class UiGuardedBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ini = folder + QStringLiteral("kalvor.ini");
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("[Application]\npath=%1\n").arg(folder).toUtf8());
        MakeWorkingFolderData(folder); // reference files and the template of new bases
    }
    // Logs in with that name and an empty password.
    static CKalvorApp::LoginRunner LogIn(const QString& name)
    {
        return [=](CLoginDlg& dlg) {
            dlg.show();
            dlg.BaseEdit()->setText(name);
            QTest::keyClick(dlg.PasswordEdit(), Qt::Key_Return);
            return dlg.result();
        };
    }
    QByteArray FileHash(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1)
                                           : QByteArray();
    }
    void WriteFile(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    QTemporaryDir dir;
    QString folder;
    QString ini;
};

} // namespace

TEST_F(UiGuardedBase, ASecondOpeningOfABaseIsRefusedAndLeavesItUntouched)
{
    MakeTestBase(folder, QStringLiteral("demo"));
    const QString file = ib::BaseFilePath(folder, QStringLiteral("demo"));
    MessageRecorder boxes;
    CKalvorApp first(ini);
    first.SetLoginRunner(LogIn(QStringLiteral("demo")));
    ASSERT_TRUE(first.InitInstance({}));
    ASSERT_TRUE(first.Base()->IsOpen());
    const QByteArray before = FileHash(file);
    {
        CKalvorApp second(ini);
        second.SetLoginRunner(LogIn(QStringLiteral("demo")));
        EXPECT_FALSE(second.InitInstance({}));
        EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("База данных demo уже открыта другим пользователем.")});
        EXPECT_FALSE(second.Base()->IsOpen());
    }
    EXPECT_EQ(FileHash(file), before);
    EXPECT_TRUE(first.Base()->IsOpen());

    // A restore into the held base is refused the same way.
    ib::CInfoBase other;
    InfoBaseService restorer(other, folder);
    const BaseFailure refused = restorer.Restore(QStringLiteral("demo"), file);
    EXPECT_TRUE(refused.failed);
    EXPECT_TRUE(refused.plain);
    EXPECT_EQ(refused.message, QStringLiteral("База данных demo уже открыта другим пользователем."));

    // Closed by the first program, the base opens again.
    first.ExitInstance();
    kalvor::platform::BaseLock lock;
    EXPECT_EQ(lock.acquire(file), kalvor::platform::BaseLock::Result::Taken);
    kalvor::platform::BaseLock again;
    EXPECT_EQ(again.acquire(file), kalvor::platform::BaseLock::Result::HeldElsewhere);
}

TEST_F(UiGuardedBase, ADamagedReferenceFileIsSaidAndTheProgramGoesOn)
{
    MakeTestBase(folder, QStringLiteral("demo"));
    WriteFile(folder + QStringLiteral("nalog"), QByteArray("\x01\x00\x07", 3)); // far too short
    MessageRecorder boxes;
    CKalvorApp app(ini);
    app.SetLoginRunner(LogIn(QStringLiteral("demo")));
    ASSERT_TRUE(app.InitInstance({}));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].text.contains(QStringLiteral("nalog"))) << boxes.boxes[0].text.toStdString();
    EXPECT_EQ(boxes.boxes[0].flags, MB_OK | MB_ICONWARNING);
    EXPECT_TRUE(app.MainFrame()->isVisible());
    EXPECT_TRUE(app.Base()->IsOpen());
}

TEST_F(UiGuardedBase, ANameThatCannotBeABaseFileIsRefusedAndAnotherCanBeTyped)
{
    MessageRecorder boxes; // "Да" to "not found, go on?"
    CKalvorApp app(ini);
    bool stayedOpen = false;
    app.SetLoginRunner([&](CLoginDlg& dlg) {
        dlg.show();
        dlg.BaseEdit()->setText(QStringLiteral("../firm"));
        QTest::keyClick(dlg.PasswordEdit(), Qt::Key_Return);
        stayedOpen = dlg.isVisible() && dlg.focusWidget() == dlg.BaseEdit();
        dlg.BaseEdit()->setText(QStringLiteral("firm"));
        QTest::keyClick(dlg.PasswordEdit(), Qt::Key_Return);
        return dlg.result();
    });
    ASSERT_TRUE(app.InitInstance({}));
    EXPECT_TRUE(stayedOpen);
    ASSERT_GE(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Недопустимое имя базы данных"));
    EXPECT_EQ(app.Document()->infoBase.baseName, QStringLiteral("firm"));
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/../firm.sqlite")));
}

// A new base's name too long for the files made of it (121 Russian letters,
// 242 bytes, where 191 are the limit) is refused at the login with the
// limit said, before anything is made; the name stays for another try.
TEST_F(UiGuardedBase, ANewBaseNameTooLongIsRefusedWithItsLimit)
{
    MessageRecorder boxes; // "Да" to "not found, go on?"
    CKalvorApp app(ini);
    const QString tooLong(121, QChar(0x0416));
    bool stayedOpen = false;
    QString kept;
    app.SetLoginRunner([&](CLoginDlg& dlg) {
        dlg.show();
        dlg.BaseEdit()->setText(tooLong);
        QTest::keyClick(dlg.PasswordEdit(), Qt::Key_Return);
        stayedOpen = dlg.isVisible() && dlg.focusWidget() == dlg.BaseEdit();
        kept = dlg.BaseEdit()->text();
        dlg.BaseEdit()->setText(QStringLiteral("firm"));
        QTest::keyClick(dlg.PasswordEdit(), Qt::Key_Return);
        return dlg.result();
    });
    ASSERT_TRUE(app.InitInstance({}));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(kept, tooLong);
    ASSERT_GE(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Слишком длинное имя базы данных: 242 байт, а в этой папке "
                                                  "допускается не более 191 байт (95 русских букв или 191 латинских)"));
    EXPECT_EQ(app.Document()->infoBase.baseName, QStringLiteral("firm"));
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        EXPECT_FALSE(name.startsWith(QChar(0x0416))) << name.toStdString();
}

TEST_F(UiGuardedBase, AMissingBaseIsRestoredFromAnArchiveCopy)
{
    // An archive copy of base "firm" in December 2026, with its reference file.
    MakeTestBase(folder, QStringLiteral("firm"));
    {
        ib::CInfoBase firm;
        firm.workFolder = folder;
        firm.baseName = QStringLiteral("firm");
        ib::OpenBase(firm);
        firm.config.tekMes = ib::u16(2026 * 16 + 12);
        ib::SaveConfig(firm);
        ib::CloseBase(firm);
    }
    WriteFile(folder + QStringLiteral("palitra"), "archived palitra");
    ArchiveJob job;
    job.baseFile = ib::BaseFilePath(folder, QStringLiteral("firm"));
    job.workFolder = folder;
    job.archiveFolder = folder + QStringLiteral("archive/firm_2026_12");
    QString error;
    ASSERT_EQ(MakeBaseArchive(job, &error), 0) << error.toStdString();
    // The working folder's own reference file and its "_" copy.
    WriteFile(folder + QStringLiteral("palitra"), "own palitra");
    WriteFile(folder + QStringLiteral("_palitra"), "own palitra");

    MessageRecorder boxes; // "Да" to "not found, go on?"
    {
        CKalvorApp app(ini);
        app.SetLoginRunner(LogIn(QStringLiteral("tmp")));
        QStringList offered;
        app.SetArchiveChooser([&](const QStringList& archives) {
            offered = archives;
            return archives.value(0);
        });
        ASSERT_TRUE(app.InitInstance({}));
        EXPECT_FALSE(app.Base()->IsOpen());
        QPushButton* restore = app.MainFrame()->PanelButton(32774);
        ASSERT_NE(restore, nullptr);
        EXPECT_EQ(restore->text(), QStringLiteral("Восстановить базу данных из архива"));
        EXPECT_TRUE(restore->isEnabled());
        ASSERT_TRUE(app.MainFrame()->RunCommand(32774));
        EXPECT_EQ(offered, QStringList{QStringLiteral("firm_2026_12")});
        ASSERT_TRUE(app.Base()->IsOpen());
        EXPECT_EQ(app.Document()->infoBase.config.tekMes, 2026 * 16 + 12);
        EXPECT_FALSE(restore->isEnabled());
        EXPECT_FALSE(QFile::exists(ib::BaseFilePath(folder, QStringLiteral("tmp")) + QStringLiteral(".restore")));
        // The "tmp" base works with the archive's reference files ...
        QFile palitra(folder + QStringLiteral("palitra"));
        ASSERT_TRUE(palitra.open(QIODevice::ReadOnly));
        EXPECT_EQ(palitra.readAll(), QByteArray("archived palitra"));
        palitra.close();
        app.ExitInstance();
    }
    // ... and the shut-down puts the working folder's own back.
    QFile palitra(folder + QStringLiteral("palitra"));
    ASSERT_TRUE(palitra.open(QIODevice::ReadOnly));
    EXPECT_EQ(palitra.readAll(), QByteArray("own palitra"));
    EXPECT_EQ(boxes.boxes.size(), 1u); // only "not found, go on?"
}

TEST_F(UiGuardedBase, QtTextsAreRussian)
{
    ASSERT_TRUE(CKalvorApp::InstallQtTranslations());
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "&Undo"), QStringLiteral("&Отменить действие"));
}

// Whatever a command throws is said, and the program goes on.
TEST_F(UiGuardedBase, ACommandThatThrowsIsSaidAndTheFrameGoesOn)
{
    CKalvorDoc doc;
    CommandRegistry registry;
    registry.AddPanel({8, QStringLiteral("Расчет зарплаты"), MainPanelPayroll});
    int runs = 0;
    CommandInfo failing;
    failing.id = 40001;
    failing.caption = QStringLiteral("Команда");
    failing.panel = 8;
    failing.needsBase = false;
    failing.run = [&](CMainFrame&) {
        if (++runs == 1)
            throw kalvor::TextError(QStringLiteral("Ошибка чтения файла nalog"));
        throw kalvor::db::DbError(0x80040E13, QStringLiteral("disk I/O error"), QStringLiteral("UPDATE dbo.konst"),
                                  QStringLiteral("Kalvor.Base"));
    };
    registry.AddCommand(failing);
    CMainFrame frame(&doc, &registry);
    MessageRecorder boxes;
    EXPECT_TRUE(frame.RunCommand(40001));
    EXPECT_TRUE(frame.RunCommand(40001));
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Ошибка чтения файла nalog"));
    EXPECT_EQ(boxes.boxes[0].flags, MB_OK | MB_ICONERROR);
    EXPECT_TRUE(boxes.boxes[1].text.startsWith(QStringLiteral("ОБНАРУЖЕНА ОШИБКА:")))
        << boxes.boxes[1].text.toStdString();
    EXPECT_EQ(runs, 2);
}
