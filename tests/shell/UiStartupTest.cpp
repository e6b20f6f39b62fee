// Start-up of the program as the user meets it: a missing base, its creation
// from the main panel, logins with right and wrong passwords, the
// configuration file read and written back.
#include "UiTestSupport.h"

#include "infobase/InfoBaseDb.h"
#include "infobase/Password.h"
#include "platform/BaseLock.h"
#include "platform/Db.h"
#include "platform/DbBases.h"
#include "platform/DbServerLock.h"
#include "platform/DbTestHooks.h"
#include "shell/ui/CInfoView.h"
#include "shell/ui/CKalvorApp.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CLoginDlg.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/InfoBaseService.h"
#include "shell/ui/KalvorConfig.h"
#include "support/EmptyServerBase.h"
#include "support/RefusingTrigger.h"
#include "support/SilentPort.h"
#include "support/TestFixture.h"
#include "values/Values.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <unistd.h>

namespace {

const QString kNotFound = QStringLiteral("База данных не найдена.\n\nПродолжить ?");

class UiStartup : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ini = folder + QStringLiteral("kalvor.ini");
        WriteIni(QStringLiteral("[Application]\npath=%1\n").arg(folder));
        MakeWorkingFolderData(folder);
    }
    void WriteIni(const QString& text)
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
    }
    QString ReadIni() const
    {
        QFile f(ini);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    // A login runner that types the name (when given) and the password into
    // the real dialog and presses Enter.
    static CKalvorApp::LoginRunner Typing(const QString& name, const QString& password, QString* shownName = nullptr)
    {
        return [=](CLoginDlg& dlg) {
            dlg.show();
            if (shownName)
                *shownName = dlg.BaseEdit()->text();
            if (!name.isNull()) {
                dlg.BaseEdit()->selectAll();
                TypeText(dlg.BaseEdit(), name);
            }
            TypeText(dlg.PasswordEdit(), password);
            QTest::keyClick(dlg.PasswordEdit(), Qt::Key_Return);
            return dlg.result();
        };
    }


    // First start with an unknown name: Yes goes on, the main panel's command
    // creates the base, and the name and the window go back to the file.
    void CreateTheBaseFromTheMainPanel(MessageRecorder& boxes)
    {
        {
            CKalvorApp app(ini);
            app.SetLoginRunner(Typing(QStringLiteral("demo"), QString()));
            ASSERT_TRUE(app.InitInstance({}));
            // The unknown name was asked about, and Yes let the program go on.
            ASSERT_EQ(boxes.Texts(), QStringList{kNotFound});
            // Russian for everything but numbers, which keep the decimal point.
            EXPECT_EQ(QLocale().language(), QLocale::Russian);
            EXPECT_EQ(QLocale().standaloneMonthName(5).toLower(), QStringLiteral("май"));
            EXPECT_EQ(std::strtod("1234.56", nullptr), 1234.56);
            EXPECT_EQ(QString::asprintf("%.2f", 1234.5), QStringLiteral("1234.50"));
            double kopecks = 0;
            EXPECT_EQ(kalvor::ReadTypedUnits(u"1234.56", 2, kopecks), kalvor::TypedDecimal::Number);
            EXPECT_EQ(kopecks, 123456);
            EXPECT_EQ(kalvor::FormatMoney(123456), QStringLiteral("1234.56"));
            CMainFrame* frame = app.MainFrame();
            EXPECT_TRUE(frame->isVisible());
            EXPECT_FALSE(app.Base()->IsOpen());
            EXPECT_EQ(frame->windowTitle(), QStringLiteral("Kalvor - demo"));

            // The main panel's command creates the base and opens it.
            QPushButton* create = frame->PanelButton(32771);
            ASSERT_NE(create, nullptr);
            EXPECT_EQ(create->text(), QStringLiteral("Создать новую базу данных"));
            ASSERT_TRUE(create->isEnabled());
            ASSERT_TRUE(ShowActive(frame));
            create->setFocus();
            QTest::keyClick(create, Qt::Key_Space);
            EXPECT_TRUE(QFile::exists(folder + QStringLiteral("demo.sqlite")));
            EXPECT_TRUE(app.Base()->IsOpen());
            EXPECT_FALSE(create->isEnabled()); // a base is open now
            auto* info = qobject_cast<CInfoView*>(frame->CurrentView());
            ASSERT_NE(info, nullptr);
            EXPECT_EQ(boxes.boxes.size(), 1u);
            frame->move(30, 40);
            frame->resize(860, 580);
            app.ExitInstance();
        }
        // The accepted name and the window rectangle went back to the file.
        const QString written = ReadIni();
        EXPECT_TRUE(written.contains(QStringLiteral("[SQL]\n")));
        EXPECT_TRUE(written.contains(QStringLiteral("base=demo\n")));
        EXPECT_TRUE(written.contains(QStringLiteral("engine=KVR\n")));
        EXPECT_TRUE(written.contains(QStringLiteral("WndCX=860\n")));
        EXPECT_TRUE(written.contains(QStringLiteral("WndCY=580\n")));
        EXPECT_TRUE(written.contains(QStringLiteral("path=%1\n").arg(folder)));

    }

    // Next start: the name offered, the empty password lets the user in, and
    // the base is given a password for the starts after it.
    void StartAgainAndGiveThePassword()
    {
        {
            CKalvorApp app(ini);
            QString offered;
            app.SetLoginRunner(Typing(QString(), QString(), &offered));
            ASSERT_TRUE(app.InitInstance({}));
            EXPECT_EQ(offered, QStringLiteral("demo"));
            EXPECT_TRUE(app.Base()->IsOpen());
            EXPECT_EQ(app.MainFrame()->size(), QSize(860, 580));
            EXPECT_FALSE(app.MainFrame()->PanelButton(32771)->isEnabled());
            // The base's configuration is loaded: a new base has no password.
            EXPECT_EQ(app.Document()->infoBase.config.kolMax, 1000);
            EXPECT_EQ(app.Base()->StoredPassword(), QString());
            // Give the base a password for the next starts.
            app.Document()->infoBase.config.parol = QStringLiteral("секрет1");
            kalvor::infobase::SaveConfig(app.Document()->infoBase);
            app.ExitInstance();
            EXPECT_FALSE(app.Base()->IsOpen());
        }
    }

    QTemporaryDir dir;
    QString folder;
    QString ini;
};

TEST_F(UiStartup, MissingBaseIsCreatedFromTheMainPanelThenLoginChecksThePassword)
{
    MessageRecorder boxes;
    ASSERT_NO_FATAL_FAILURE(CreateTheBaseFromTheMainPanel(boxes));
    // Next start: the configured name is offered, the empty password of the
    // new base lets the user in, and the window comes back where it was.
    ASSERT_NO_FATAL_FAILURE(StartAgainAndGiveThePassword());
    // A wrong password ends the program without a message.
    {
        CKalvorApp app(ini);
        app.SetLoginRunner(Typing(QString(), QStringLiteral("wrong")));
        EXPECT_FALSE(app.InitInstance({}));
        EXPECT_FALSE(app.MainFrame()->isVisible());
        EXPECT_FALSE(app.Base()->IsOpen());
        // The shut-down still writes the file; the rectangle stays as it was.
        app.ExitInstance();
        EXPECT_TRUE(ReadIni().contains(QStringLiteral("WndCX=860\n")));
        EXPECT_TRUE(ReadIni().contains(QStringLiteral("base=demo\n")));
    }
    // Settings that cannot be written (a folder put at the file's name) are
    // said at the exit, naming the file and why.
    {
        CKalvorApp app(ini);
        app.SetLoginRunner(Typing(QString(), QStringLiteral("wrong")));
        EXPECT_FALSE(app.InitInstance({}));
        const QString kept = ReadIni();
        ASSERT_TRUE(QFile::remove(ini) && QDir().mkdir(ini));
        boxes.boxes.clear();
        app.ExitInstance();
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Настройки программы не сохранены.\nОшибка записи в файл %1\n"
                                                      "На месте файла находится папка")
                                           .arg(ini));
        ASSERT_TRUE(QDir().rmdir(ini));
        WriteIni(kept);
    }
    // The right one (at most seven characters are typed) opens it, and the
    // password kept as plain text gives way to its hash. A base file left
    // half made by a program killed before is gone at this start, and so is
    // the temporary file of a print killed midway; another user's file of
    // that naming stays.
    QFile leftover(folder + QStringLiteral("killed.sqlite.new"));
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    QFile killedPrint(folder + QStringLiteral("demo-LS-2026-03.typ.kalvor-Ab12Cd"));
    ASSERT_TRUE(killedPrint.open(QIODevice::WriteOnly));
    killedPrint.close();
    QFile otherUsers(folder + QStringLiteral("demo-T53-2026-03.rtf.kalvor-Xy34Zw"));
    ASSERT_TRUE(otherUsers.open(QIODevice::WriteOnly));
    otherUsers.close();
    const bool chowned = ::chown(QFile::encodeName(otherUsers.fileName()).constData(), 65534, 65534) == 0;
    QString stored;
    {
        CKalvorApp app(ini);
        app.SetLoginRunner(Typing(QString(), QStringLiteral("секрет1XYZ")));
        EXPECT_TRUE(app.InitInstance({}));
        EXPECT_TRUE(app.Base()->IsOpen());
        stored = app.Base()->StoredPassword();
        EXPECT_TRUE(kalvor::infobase::IsPasswordHash(stored)) << stored.toStdString();
        EXPECT_FALSE(stored.contains(QStringLiteral("секрет")));
    }
    EXPECT_FALSE(leftover.exists());
    EXPECT_FALSE(killedPrint.exists());
    EXPECT_EQ(otherUsers.exists(), chowned);
    // The hash stored lets the same password in, and no other.
    for (const auto& [typed, opens] : {std::pair{"секрет1", true}, std::pair{"секрет2", false}}) {
        CKalvorApp app(ini);
        app.SetLoginRunner(Typing(QString(), QString::fromUtf8(typed)));
        EXPECT_EQ(app.InitInstance({}), opens) << typed;
        EXPECT_EQ(app.Base()->IsOpen(), opens) << typed;
        if (opens) {
            EXPECT_EQ(app.Base()->StoredPassword(), stored);
        }
        app.ExitInstance();
    }
    EXPECT_EQ(boxes.boxes.size(), 1u);
    // A stored hash whose round count is far above the program's own (2^31 - 1
    // rounds took about 40 minutes) is damaged: refused at once, and said.
    {
        const QString file = folder + QStringLiteral("demo.sqlite");
        QStringList parts = stored.split(QLatin1Char('$'));
        ASSERT_EQ(parts.size(), 4);
        parts[1] = QStringLiteral("2147483647");
        kalvor::db::Recordset(kalvor::db::Connection::forThread(file),
                              QStringLiteral("UPDATE dbo.config SET parol = ? WHERE id = 1"))
            .run(parts.join(QLatin1Char('$')));
        kalvor::db::Connection::closeForThread(file);
        CKalvorApp app(ini);
        app.SetLoginRunner(Typing(QString(), QStringLiteral("секрет1")));
        QElapsedTimer refused;
        refused.start();
        EXPECT_FALSE(app.InitInstance({}));
        EXPECT_LT(refused.elapsed(), 10000);
        EXPECT_FALSE(app.Base()->IsOpen());
        app.ExitInstance();
    }
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text, QStringLiteral("Пароль базы данных demo поврежден. Вход невозможен."));
}

TEST_F(UiStartup, EmptyNameIsRefusedAndNoKeepsTheDialogOpen)
{
    MessageRecorder boxes;
    boxes.answer = IDNO;
    CKalvorApp app(ini);
    int acceptedAfter = -1;
    app.SetLoginRunner([&](CLoginDlg& dlg) {
        dlg.show();
        QTest::keyClick(dlg.PasswordEdit(), Qt::Key_Return); // empty name
        if (dlg.isVisible() && boxes.Texts() == QStringList{QStringLiteral("Введите имя базы данных")}) {
            QTest::keyClicks(dlg.BaseEdit(), QStringLiteral("nobase"));
            QTest::keyClick(dlg.BaseEdit(), Qt::Key_Return); // not found, No
            acceptedAfter = dlg.isVisible() ? 0 : 1;
        }
        QTest::keyClick(dlg.BaseEdit(), Qt::Key_Escape);
        return dlg.result();
    });
    EXPECT_FALSE(app.InitInstance({}));
    EXPECT_EQ(acceptedAfter, 0);
    EXPECT_EQ(boxes.Texts(), (QStringList{QStringLiteral("Введите имя базы данных"), kNotFound}));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("nobase.sqlite")));
}

TEST_F(UiStartup, CommandLineNameComesBeforeTheConfiguredOne)
{
    WriteIni(QStringLiteral("[SQL]\nbase=first\n[Application]\npath=%1\nWndPosX=10\n[Other]\nkey=kept\n").arg(folder));
    MakeTestBase(folder, QStringLiteral("second"));
    MessageRecorder boxes;
    CKalvorApp app(ini);
    QString offered;
    app.SetLoginRunner(Typing(QString(), QString(), &offered));
    ASSERT_TRUE(app.InitInstance({QStringLiteral("second")}));
    EXPECT_EQ(offered, QStringLiteral("second"));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(app.Base()->OpenName(), QStringLiteral("second"));
    app.ExitInstance();
    const QString written = ReadIni();
    EXPECT_TRUE(written.contains(QStringLiteral("base=second\n")));
    EXPECT_TRUE(written.contains(QStringLiteral("[Other]\nkey=kept\n")));
}

TEST_F(UiStartup, OpeningLoadsTheEmployeeListsAndTheReferenceFiles)
{
    namespace ib = kalvor::infobase;
    WriteIni(QStringLiteral("[SQL]\nbase=firm\n[Application]\npath=%1\n").arg(folder));
    {
        MakeTestBase(folder, QStringLiteral("firm"));
        ib::CInfoBase base;
        base.workFolder = folder;
        base.baseName = QStringLiteral("firm");
        ib::OpenBase(base);
        ib::BuildFixtureBase(base, 7);
        ib::SaveSimp(base, 1);
        ib::SaveSimp(base, 2);
        ib::CloseBase(base);
        ib::CRefFiles ref(folder);
        ib::BuildFixtureRefFiles(ref);
        ref.WriteNalog();
    }
    MessageRecorder boxes;
    CKalvorApp app(ini);
    app.SetLoginRunner(Typing(QString(), QString()));
    ASSERT_TRUE(app.InitInstance({}));
    // The calculation and the strips work on the lists in memory: a base opened
    // with only its configuration would show no employees at all.
    EXPECT_EQ(app.Document()->infoBase.employeeCount(), 7);
    EXPECT_GT(app.Document()->refFiles.nalogCount, 0);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(UiStartup, WithoutANameTheOnlyBaseOfTheWorkingFolderIsOffered)
{
    MakeTestBase(folder, QStringLiteral("zarplata"), QStringLiteral("пароль"));
    // Neither the template nor other files of the folder count as bases.
    for (const char* other : {"empty.bak", "zarplata.sqlite.new", "notes.txt"}) {
        QFile f(folder + QLatin1String(other));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    {
        kalvor::infobase::CInfoBase base;
        InfoBaseService s(base, folder);
        EXPECT_EQ(s.Names(), QStringList{QStringLiteral("zarplata")});
    }
    MessageRecorder boxes;
    CKalvorApp app(ini);
    QString offered;
    app.SetLoginRunner(Typing(QString(), QStringLiteral("пароль"), &offered));
    ASSERT_TRUE(app.InitInstance({}));
    EXPECT_EQ(offered, QStringLiteral("zarplata"));
    EXPECT_TRUE(app.Base()->IsOpen());
    EXPECT_EQ(app.Base()->OpenName(), QStringLiteral("zarplata"));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(UiStartup, NewBaseIsMadeFromTheTemplateOfTheWorkingFolder)
{
    // A template whose configuration carries a password and a capacity of its own.
    MakeTestBase(folder, QStringLiteral("model"));
    {
        namespace ib = kalvor::infobase;
        ib::CInfoBase base;
        base.workFolder = folder;
        base.baseName = QStringLiteral("model");
        ib::OpenBase(base);
        base.config.parol = QStringLiteral("шаблон");
        base.config.kolMax = 300;
        ib::SaveConfig(base);
        ib::CloseBase(base);
        QFile::remove(folder + QStringLiteral("empty.bak"));
        ASSERT_TRUE(QFile::rename(folder + QStringLiteral("model.sqlite"), folder + QStringLiteral("empty.bak")));
    }
    MessageRecorder boxes;
    CKalvorApp app(ini);
    app.SetLoginRunner(Typing(QStringLiteral("firm"), QString()));
    ASSERT_TRUE(app.InitInstance({}));
    ASSERT_TRUE(app.CreateBase());
    EXPECT_TRUE(app.Base()->IsOpen());
    EXPECT_EQ(app.Base()->StoredPassword(), QStringLiteral("шаблон"));
    EXPECT_EQ(app.Document()->infoBase.config.kolMax, 300);
    // Only the unknown name was asked about.
    EXPECT_EQ(boxes.Texts(), QStringList{kNotFound});
    // A second creation under an open base does nothing.
    EXPECT_FALSE(app.CreateBase());
}

// A base layer whose opening fails.
class FailingService : public InfoBaseService {
public:
    FailingService(kalvor::infobase::CInfoBase& base, const QString& folder, bool failOpen)
        : InfoBaseService(base, folder), m_failOpen(failOpen)
    {}
    BaseFailure Open(const QString& name) override
    {
        if (m_failOpen)
            return BaseFailure::Make(0x80004005u, QStringLiteral("Unspecified error"), QStringLiteral("disk I/O error"),
                                     QStringLiteral("Kalvor base"));
        return InfoBaseService::Open(name);
    }

private:
    bool m_failOpen;
};

TEST_F(UiStartup, AnOpeningFailureStopsTheProgramWithItsMessage)
{
    MakeTestBase(folder, QStringLiteral("demo"));
    {
        MessageRecorder boxes;
        CKalvorApp app(ini);
        app.SetServiceFactory([](kalvor::infobase::CInfoBase& b, const QString& f) {
            return std::make_unique<FailingService>(b, f, true);
        });
        app.SetLoginRunner(Typing(QStringLiteral("demo"), QString()));
        EXPECT_FALSE(app.InitInstance({}));
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text,
                  QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nError       : 80004005\nErrorMessage: Unspecified error\n"
                                 "Description : disk I/O error\nSource      : Kalvor base\n"));
    }
}

// A server that takes the connection and never answers: the login's check
// connects on a worker while a wait window shows and the interface thread
// keeps turning (a timer of that thread sees the window); the bounded wait
// ends in the server's own message, said once, and the program ends without
// offering to make a base.
TEST_F(UiStartup, ASilentServerIsWaitedForOnAWorkerAndNamedWhenTheWaitEnds)
{
    kalvor::testsupport::SilentPort silent;
    const int port = silent.port();
    ASSERT_NE(port, 0);
    WriteIni(QStringLiteral("[Application]\npath=%1\n[SQL]\nserver=127.0.0.1:%2\n").arg(folder).arg(port));

    MessageRecorder boxes;
    QStringList waits;
    QTimer watch;
    watch.setInterval(50);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->findChild<QProgressBar*>() && waits.isEmpty())
            waits << modal->findChild<QLabel*>()->text();
    });
    watch.start();
    {
        CKalvorApp app(ini);
        app.SetLoginRunner(Typing(QStringLiteral("demo"), QString()));
        EXPECT_FALSE(app.InitInstance({}));
        EXPECT_FALSE(app.Base()->IsOpen());
        EXPECT_FALSE(app.MainFrame()->isVisible());
    }
    watch.stop();
    kalvor::db::UseServer({});
    EXPECT_EQ(waits, QStringList{QStringLiteral("Подключение к базе данных demo...")});
    ASSERT_EQ(boxes.boxes.size(), 1u);
    // In Russian alone, as every path says the server out of reach.
    EXPECT_EQ(boxes.boxes[0].text,
              QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nСервер базы данных 127.0.0.1:%1 не отвечает").arg(port));
}

// A firm moves its base file onto a server: with the server configured, the
// login finds no base of that name there, the month change's copy of the file
// is offered for restoring, its rows go into a new server base, and the base
// opens; the next start opens it from the login. The connections are made on
// workers and handed to the interface thread.
TEST_F(UiStartup, OnAServerABaseFilesCopyIsRestoredFromTheMainPanelAndOpens)
{
    namespace ib = kalvor::infobase;
    const QString server = qEnvironmentVariable("KALVOR_TEST_SERVER");
    if (server.isEmpty())
        GTEST_SKIP() << "no PostgreSQL server for the tests";
    kalvor::db::UseServer({});
    MakeTestBase(folder, QStringLiteral("firm"), QStringLiteral("пароль"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("archive/firm_2011_04")));
    ASSERT_TRUE(QFile::copy(folder + QStringLiteral("firm.sqlite"),
                            folder + QStringLiteral("archive/firm_2011_04/firm.sqlite")));
    kalvor::db::UseServer({server, 0, QString()});
    ib::DeleteBase(folder, QStringLiteral("moved"));
    WriteIni(QStringLiteral("[Application]\npath=%1\n[SQL]\nserver=%2\n").arg(folder, server));

    MessageRecorder boxes; // "Да" to "not found, go on?"
    {
        CKalvorApp app(ini);
        app.SetLoginRunner(Typing(QStringLiteral("moved"), QString()));
        QStringList offered;
        app.SetArchiveChooser([&](const QStringList& archives) {
            offered = archives;
            return archives.value(0);
        });
        ASSERT_TRUE(app.InitInstance({}));
        EXPECT_EQ(boxes.Texts(), QStringList{kNotFound});
        EXPECT_FALSE(app.Base()->IsOpen());
        ASSERT_TRUE(app.MainFrame()->RunCommand(32774));
        EXPECT_EQ(offered, QStringList{QStringLiteral("firm_2011_04")});
        ASSERT_TRUE(app.Base()->IsOpen());
        EXPECT_EQ(app.Base()->StoredPassword(), QStringLiteral("пароль"));
        app.ExitInstance();
    }
    {
        CKalvorApp app(ini);
        app.SetLoginRunner(Typing(QString(), QStringLiteral("пароль")));
        ASSERT_TRUE(app.InitInstance({}));
        EXPECT_TRUE(app.Base()->IsOpen());
        EXPECT_EQ(app.Document()->infoBase.config.kolMax, 1000);
        app.ExitInstance();
    }
    EXPECT_EQ(boxes.boxes.size(), 1u);
    ib::DeleteBase(folder, QStringLiteral("moved"));
}

// A base file's copy whose rows of one table the server refuses (a shop's
// number that is no number): the restore is said in a few lines naming the
// base and what the table holds, with the server's own line, never the
// statement or the driver's words; no base of the name is made.
TEST_F(UiStartup, OnAServerACopyWhoseRowsTheServerRefusesIsSaidByWhatTheTableHolds)
{
    namespace ib = kalvor::infobase;
    const QString server = qEnvironmentVariable("KALVOR_TEST_SERVER");
    if (server.isEmpty())
        GTEST_SKIP() << "no PostgreSQL server for the tests";
    kalvor::db::UseServer({});
    MakeTestBase(folder, QStringLiteral("firm"), QStringLiteral("пароль"));
    const QString copy = folder + QStringLiteral("archive/firm_2011_04/firm.sqlite");
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("archive/firm_2011_04")));
    ASSERT_TRUE(QFile::copy(folder + QStringLiteral("firm.sqlite"), copy));
    kalvor::db::Execute(kalvor::db::Connection::forThread(copy),
                        QStringLiteral("INSERT INTO dbo.ceh (num, otd, name) VALUES (5, 'седьмой', 'Склад')"));
    kalvor::db::Connection::closeForThread(copy);
    kalvor::db::UseServer({server, 0, QString()});
    ib::DeleteBase(folder, QStringLiteral("refused"));
    WriteIni(QStringLiteral("[Application]\npath=%1\n[SQL]\nserver=%2\n").arg(folder, server));

    MessageRecorder boxes; // "Да" to "not found, go on?"
    {
        CKalvorApp app(ini);
        app.SetLoginRunner(Typing(QStringLiteral("refused"), QString()));
        app.SetArchiveChooser([](const QStringList& archives) { return archives.value(0); });
        ASSERT_TRUE(app.InitInstance({}));
        EXPECT_FALSE(app.MainFrame()->RunCommand(32774) && app.Base()->IsOpen());
        EXPECT_FALSE(app.Base()->IsOpen());
        app.ExitInstance();
    }
    ASSERT_EQ(boxes.boxes.size(), 2u) << boxes.Texts().join(QLatin1Char('|')).toStdString();
    const QString said = boxes.boxes[1].text;
    EXPECT_TRUE(said.startsWith(QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nБаза данных refused не восстановлена.\nНе записаны "
                                               "строки: справочник цехов.\nБаза данных отказала в записи: ")))
        << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("седьмой"))) << said.toStdString(); // the server's line names the value
    EXPECT_TRUE(kalvor::testsupport::SaysNoStatement(said)) << said.toStdString();
    EXPECT_FALSE(kalvor::db::ServerBaseExists(QStringLiteral("refused")));
    kalvor::db::UseServer({});
}

// Making and restoring a server base build it under a name no base can have
// and drop nothing else: the bases "kx.new" and "kx_restore" of other users
// outlive making and restoring "kx"; a cut copy is refused and leaves no
// database; a name of the full 63 bytes is made, restored and dropped.
TEST_F(UiStartup, OnAServerMakingAndRestoringABaseDropsNoOtherBase)
{
    namespace ib = kalvor::infobase;
    namespace db = kalvor::db;
    const QString server = qEnvironmentVariable("KALVOR_TEST_SERVER");
    if (server.isEmpty())
        GTEST_SKIP() << "no PostgreSQL server for the tests";
    // The template of new bases is a base file.
    db::UseServer({});
    ib::CreateSchemaBase(folder, QStringLiteral("tmpl"));
    QFile::remove(ib::TemplateFilePath(folder));
    ASSERT_TRUE(QFile::rename(folder + QStringLiteral("tmpl.sqlite"), ib::TemplateFilePath(folder)));
    db::UseServer({server, 0, QString()});
    const QString longName = QString(31, QChar(0x0416)) + QLatin1Char('a'); // 63 bytes
    ASSERT_EQ(longName.toUtf8().size(), 63);
    ASSERT_TRUE(ib::ValidBaseName(longName));
    const QStringList others = {QStringLiteral("kx.new"), QStringLiteral("kx_restore")};
    for (const QString& name : QStringList{QStringLiteral("kx"), longName} + others) ib::DeleteBase(folder, name);
    for (const QString& name : others) kalvor::testsupport::MakeEmptyServerBase(name);
    // The temporary databases of a base's name left on the server.
    auto temporaries = [&](const QString& name) {
        QSqlDatabase probe = db::Connection::forThread(db::ServerBaseLocator(others[0]));
        db::Recordset q(probe, QStringLiteral("SELECT count(*) FROM pg_database WHERE datname LIKE '~%' "
                                              "AND right(datname, length(?)) = ?"));
        q.run(name, name);
        const int n = q.next() ? q.toInt(0) : -1;
        q.finish();
        return n;
    };

    for (const QString& name : {QStringLiteral("kx"), longName}) {
        ib::CInfoBase infoBase;
        InfoBaseService service(infoBase, folder);
        const BaseFailure made = service.Create(name);
        EXPECT_FALSE(made.failed) << (made.message + QLatin1Char(' ') + made.description).toStdString();
        ASSERT_TRUE(ib::BaseExists(folder, name));
        const QString dump = folder + name + QStringLiteral(".dump");
        db::BackupFileTo(db::ServerBaseLocator(name), dump);
        ib::DeleteBase(folder, name);
        const BaseFailure restored = service.Restore(name, dump);
        EXPECT_FALSE(restored.failed) << restored.message.toStdString();
        EXPECT_TRUE(ib::BaseExists(folder, name));
        EXPECT_FALSE(service.Open(name).failed) << name.toStdString();
        service.Close();
        ib::DeleteBase(folder, name);
        EXPECT_FALSE(ib::BaseExists(folder, name));

        // A copy cut short: refused, nothing of it stays on the server.
        QFile cut(dump);
        ASSERT_TRUE(cut.resize(cut.size() / 2));
        EXPECT_TRUE(service.Restore(name, dump).failed);
        EXPECT_FALSE(ib::BaseExists(folder, name));
        EXPECT_EQ(temporaries(name), 0) << name.toStdString();
    }
    for (const QString& name : others) {
        EXPECT_TRUE(db::ServerBaseExists(name)) << name.toStdString();
        db::Connection::closeForThread(db::ServerBaseLocator(name));
        ib::DeleteBase(folder, name);
    }
    db::UseServer({});
}

// A workstation whose base another one opened while the server was away
// longer than its lease is told at once which base, on the interface thread,
// and its base and screens stay as they are until the user decides.
TEST_F(UiStartup, OnAServerTheHolderIsToldAtOnceWhenAnotherWorkstationTookItsBase)
{
    namespace ib = kalvor::infobase;
    namespace db = kalvor::db;
    const QString server = qEnvironmentVariable("KALVOR_TEST_SERVER");
    if (server.isEmpty())
        GTEST_SKIP() << "no PostgreSQL server for the tests";
    db::UseServer({server, 0, QString()});
    const QString locator = db::ServerBaseLocator(QStringLiteral("held"));
    ib::DeleteBase(folder, QStringLiteral("held"));
    MakeTestBase(folder, QStringLiteral("held"));
    WriteIni(QStringLiteral("[Application]\npath=%1\n[SQL]\nserver=%2\n").arg(folder, server));
    db::SetServerLease(30000);
    MessageRecorder boxes;
    {
        CKalvorApp app(ini);
        app.SetLoginRunner(Typing(QStringLiteral("held"), QString()));
        ASSERT_TRUE(app.InitInstance({}));
        ASSERT_TRUE(app.Base()->IsOpen());
        // The server ends the lock's session, as a restart does, and the
        // holder stays away longer than its lease.
        db::HoldServerLeaseRenewals(true);
        db::Recordset(db::Connection::forThread(locator),
                      QStringLiteral("SELECT pg_terminate_backend(l.pid, 60000) FROM pg_locks l "
                                     "JOIN pg_database d ON d.oid = l.database "
                                     "WHERE l.locktype = 'advisory' AND l.objid = 1 AND d.datname = ?"))
            .run(QStringLiteral("held"));
        // The second workstation's lease clock is past the holder's lease.
        const auto later = std::make_shared<db::LeaseClock>();
        later->moveOn(std::chrono::seconds(31));
        kalvor::platform::BaseLock second(later);
        EXPECT_EQ(second.acquire(locator), kalvor::platform::BaseLock::Result::Taken);
        db::HoldServerLeaseRenewals(false);
        db::AwaitServerLeaseRound(); // the holder's watcher finds the base taken
        EXPECT_TRUE(QTest::qWaitFor([&] { return !boxes.boxes.empty(); }, 120'000));
        EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Связь с сервером прерывалась, и база данных held теперь "
                                                            "открыта другим пользователем. Изменения в ней больше не "
                                                            "сохраняются; введённые данные остаются на экране. Чтобы "
                                                            "работать с базой данных дальше, закройте программу и "
                                                            "войдите в неё снова.")});
        EXPECT_TRUE(app.Base()->IsOpen());
        second.release();
        app.ExitInstance();
    }
    db::SetServerLease(0);
    ib::DeleteBase(folder, QStringLiteral("held"));
    db::UseServer({});
}

TEST_F(UiStartup, AFileThatIsNotABaseIsReportedAndLeftAsItWas)
{
    const QByteArray junk(4096, 'x');
    {
        QFile f(folder + QStringLiteral("demo.sqlite"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(junk);
    }
    MessageRecorder boxes;
    CKalvorApp app(ini);
    app.SetLoginRunner(Typing(QStringLiteral("demo"), QString()));
    EXPECT_FALSE(app.InitInstance({}));
    EXPECT_FALSE(app.Base()->IsOpen());
    EXPECT_FALSE(app.MainFrame()->isVisible());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    // In Russian alone, naming the file, without the codes.
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nФайл не является базой данных программы.\n%1: "
                                                  "файл не является базой данных SQLite")
                                       .arg(folder + QStringLiteral("demo.sqlite")));
    EXPECT_EQ(boxes.boxes[0].flags, MB_OK | MB_ICONERROR);
    app.ExitInstance();
    QFile f(folder + QStringLiteral("demo.sqlite"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), junk);
}

TEST_F(UiStartup, ShutDownOfTheTmpBaseRestoresTheReferenceFiles)
{
    for (const char* name : {"nalog", "bank"}) {
        QFile f(folder + QLatin1Char('_') + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("own ") + name);
        QFile g(folder + QLatin1String(name));
        ASSERT_TRUE(g.open(QIODevice::WriteOnly));
        g.write("from the archive");
    }
    MessageRecorder boxes;
    CKalvorApp app(ini);
    app.SetLoginRunner(Typing(QStringLiteral("tmp"), QString()));
    ASSERT_TRUE(app.InitInstance({}));
    app.ExitInstance();
    QFile f(folder + QStringLiteral("nalog"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("own nalog"));
    QFile g(folder + QStringLiteral("bank"));
    ASSERT_TRUE(g.open(QIODevice::ReadOnly));
    EXPECT_EQ(g.readAll(), QByteArray("own bank"));
}

} // namespace

namespace {

TEST(UiMessages, WorkerBoxesAreShownByTheInterfaceThreadAndDbErrorsByTheirBox)
{
    std::vector<std::pair<QString, bool>> shown;
    MessageBoxHandler previous = SetMessageBoxHandler([&](const MessageBoxRequest& r) {
        shown.push_back({r.text, QThread::currentThread() == qApp->thread()});
        return IDNO;
    });
    std::atomic<int> result{-1};
    std::thread worker([&] { result = KalvorMessageBox(QStringLiteral("Нет данных для печати"), MB_YESNO); });
    QElapsedTimer waited;
    waited.start();
    while (result == -1 && waited.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();
    EXPECT_EQ(result, IDNO);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, QStringLiteral("Нет данных для печати"));
    EXPECT_TRUE(shown[0].second);

    ShowComError(kalvor::db::DbError(0x80040E4Du, QStringLiteral("Нет базы"), QStringLiteral("demo.sqlite"),
                                     QStringLiteral("Kalvor")));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].first, QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nError       : 80040E4D\nErrorMessage: Нет базы\n"
                                             "Description : demo.sqlite\nSource      : Kalvor\n"));
    SetMessageBoxHandler(previous);
}

} // namespace

namespace {

TEST(UiConfig, DefaultsAbsentKeysAndWrittenForm)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.path() + QStringLiteral("/kalvor.ini");
    KalvorConfig c;
    c.Load(file); // no file: every default
    EXPECT_EQ(c.engine, QStringLiteral("KVR"));
    EXPECT_FALSE(c.server.isEmpty()); // the computer's name
    EXPECT_TRUE(c.base.isEmpty());
    EXPECT_EQ(c.path, QDir::currentPath() + QLatin1Char('/'));
    EXPECT_EQ(c.wndPosX, KalvorConfig::kNoValue);
    EXPECT_FALSE(c.HasWindowRect());

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("; comment\n[sql]\nServer = host1\nbase=Зарплата 2026\n[Application]\npath=/data/kalvor\n"
            "WndPosX=12\nWndPosY=x\nWndCX=800\nWndCY=600\n");
    f.close();
    c.Load(file);
    EXPECT_EQ(c.server, QStringLiteral("host1"));
    EXPECT_EQ(c.base, QStringLiteral("Зарплата 2026"));
    EXPECT_EQ(c.path, QStringLiteral("/data/kalvor/"));
    EXPECT_EQ(c.wndPosX, 12);
    EXPECT_EQ(c.wndPosY, 0); // not a number reads as 0
    EXPECT_TRUE(c.HasWindowRect());
    c.wndPosY = 34;
    ASSERT_TRUE(c.Save(file));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()),
              QStringLiteral("[sql]\nServer=host1\nbase=Зарплата 2026\nengine=KVR\n[Application]\npath=/data/kalvor/\n"
                             "WndPosX=12\nWndPosY=34\nWndCX=800\nWndCY=600\n"));
    EXPECT_TRUE(KalvorConfig::FormerFileName().endsWith(QStringLiteral("/test_shell.ini")));
}

// The configuration lives in the user's settings folder; a file kept beside
// the program by an earlier version is read once, while the new place has
// none, and the settings are then saved in the new place, the old file left
// as it was.
TEST_F(UiStartup, TheConfigurationIsKeptInTheUsersSettingsFolder)
{
    const QString settings = qEnvironmentVariable("XDG_CONFIG_HOME");
    ASSERT_FALSE(settings.isEmpty()); // the tests' own (tests/testmain.cpp)
    EXPECT_EQ(KalvorConfig::DefaultFileName(), settings + QStringLiteral("/kalvor/kalvor.ini"));
    const QString fresh = folder + QStringLiteral("settings/kalvor/kalvor.ini");
    WriteIni(QStringLiteral("[Application]\npath=%1\nInfinLoader=infin-load\n[SQL]\nbase=demo\n").arg(folder));
    const QString former = ReadIni();
    {
        CKalvorApp app(fresh, ini);
        app.SetLoginRunner([](CLoginDlg& dlg) {
            EXPECT_EQ(dlg.BaseEdit()->text(), QStringLiteral("demo"));
            return int(QDialog::Rejected);
        });
        EXPECT_FALSE(app.InitInstance({}));
        EXPECT_EQ(app.Config().infinLoader, QStringLiteral("infin-load"));
        app.ExitInstance();
    }
    QFile saved(fresh);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QString written = QString::fromUtf8(saved.readAll());
    EXPECT_TRUE(written.contains(QStringLiteral("path=%1\n").arg(folder))) << written.toStdString();
    EXPECT_TRUE(written.contains(QStringLiteral("base=demo\n"))) << written.toStdString();
    EXPECT_EQ(ReadIni(), former);
    // Read from the new place from now on.
    WriteIni(QStringLiteral("[SQL]\nbase=other\n"));
    CKalvorApp app(fresh, ini);
    app.SetLoginRunner([](CLoginDlg& dlg) {
        EXPECT_EQ(dlg.BaseEdit()->text(), QStringLiteral("demo"));
        return int(QDialog::Rejected);
    });
    EXPECT_FALSE(app.InitInstance({}));
}

} // namespace
