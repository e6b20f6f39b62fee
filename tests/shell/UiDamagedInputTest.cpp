// Damaged bases, reference files and window settings met through the
// program's own opening path: each is refused or reported with a clear
// message, nothing crashes, and a refused base file keeps every byte.
#include "UiTestSupport.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "platform/DbSchema.h"
#include "shell/ui/CKalvorApp.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CLoginDlg.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/InfoBaseService.h"
#include "support/TestFixture.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <algorithm>

#include <memory>

namespace ib = kalvor::infobase;
namespace db = kalvor::db;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class UiDamagedInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        file = ib::BaseFilePath(folder, kName);
    }

    // A sound base "firm" of five employees, every table stored.
    void MakeSoundBase()
    {
        ib::CreateSchemaBase(folder, kName);
        auto base = std::make_unique<ib::CInfoBase>();
        base->workFolder = folder;
        base->baseName = kName;
        ib::OpenBase(*base);
        const ib::FixtureBase fx = ib::BuildFixtureBase(*base, 5);
        ib::SaveAll(*base, fx.records);
        ib::CloseBase(*base);
    }

    // Runs statements on the base file as another program would, then leaves
    // the file whole (journal written back, connection closed).
    void Damage(const QStringList& statements)
    {
        {
            const QSqlDatabase d = db::Connection::forThread(file);
            for (const QString& sql : statements) db::Execute(d, sql);
            db::Checkpoint(d);
        }
        db::Connection::closeForThread(file);
    }

    // Opens the base as the program does at start-up; the service is gone
    // after the call, as after a refused start.
    BaseFailure OpenAsTheProgramDoes()
    {
        auto base = std::make_unique<ib::CInfoBase>();
        InfoBaseService service(*base, folder);
        const BaseFailure f = service.Open(kName);
        EXPECT_EQ(service.IsOpen(), !f.failed);
        return f;
    }

    // Opening refuses the file with that message, and leaves it as it was.
    void ExpectRefused(const QString& message, const QString& detail)
    {
        const QByteArray before = fileBytes(file);
        const BaseFailure f = OpenAsTheProgramDoes();
        EXPECT_TRUE(f.failed);
        EXPECT_EQ(f.message, message);
        EXPECT_TRUE(f.description.contains(detail)) << qPrintable(f.description);
        EXPECT_EQ(fileBytes(file), before);
        EXPECT_FALSE(QFile::exists(file + QStringLiteral("-wal")));
    }

    const QString kName = QStringLiteral("firm");
    const QString kDamaged = QStringLiteral("База данных повреждена.");
    QTemporaryDir dir;
    QString folder, file;
};

TEST_F(UiDamagedInput, EmptyAndForeignFilesAreNotMadeIntoBases)
{
    writeFile(file, QByteArray());
    ExpectRefused(QStringLiteral("Файл не является базой данных программы."), QStringLiteral("файл пуст"));
    EXPECT_EQ(QFileInfo(file).size(), 0);

    writeFile(file, QByteArray("Payroll of 2009\n").repeated(100));
    ExpectRefused(QStringLiteral("Файл не является базой данных программы."),
                  QStringLiteral("не является базой данных SQLite"));

    // Another program's SQLite database under the base's name.
    QFile::remove(file);
    Damage({QStringLiteral("CREATE TABLE dbo.clients (id INTEGER PRIMARY KEY, name TEXT)"),
            QStringLiteral("INSERT INTO dbo.clients (name) VALUES ('Рога и копыта')")});
    ExpectRefused(QStringLiteral("Файл не является базой данных программы."), QStringLiteral("dbo.version"));
}

TEST_F(UiDamagedInput, RestoreRefusesACopyThatIsNoSoundBaseAndLeavesNothing)
{
    MakeSoundBase();
    Damage({}); // the whole base in its file
    const QByteArray sound = fileBytes(file);
    const QString copies = folder + QStringLiteral("copies/");
    ASSERT_TRUE(QDir().mkpath(copies));
    writeFile(copies + QStringLiteral("empty"), QByteArray());
    writeFile(copies + QStringLiteral("text"), QByteArray("Payroll of 2009\n").repeated(100));
    writeFile(copies + QStringLiteral("cut"), sound.left(sound.size() / 2));
    {
        const QSqlDatabase d = db::Connection::forThread(copies + QStringLiteral("foreign"));
        db::Execute(d, QStringLiteral("CREATE TABLE dbo.clients (id INTEGER PRIMARY KEY, name TEXT)"));
        db::Checkpoint(d);
    }
    db::Connection::closeForThread(copies + QStringLiteral("foreign"));
    // One page in the middle of a large table overwritten: the settings and
    // every table's columns are intact, the rows on that page are lost.
    const QString paged = copies + QStringLiteral("page");
    writeFile(paged, sound);
    int pageSize = 0, before = 0, after = 0;
    {
        const QSqlDatabase d = db::Connection::forThread(paged);
        const auto number = [&](const QString& sql) {
            db::Recordset q(d, sql);
            q.exec();
            return q.next() ? q.toInt(0) : 0;
        };
        pageSize = number(QStringLiteral("PRAGMA dbo.page_size"));
        before = number(QStringLiteral("PRAGMA dbo.page_count"));
        db::Execute(d, QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1000 UNION ALL SELECT i + 1 FROM n WHERE i < 4000) "
                                      "INSERT INTO dbo.fio (num, fio) SELECT i, printf('Работник номер %d', i) FROM n"));
        db::Checkpoint(d);
        after = number(QStringLiteral("PRAGMA dbo.page_count"));
    }
    db::Connection::closeForThread(paged);
    ASSERT_GT(after - before, 20);
    QByteArray damaged = fileBytes(paged);
    damaged.replace(qsizetype((before + after) / 2 - 1) * pageSize, pageSize, QByteArray(pageSize, '\x5a'));
    writeFile(paged, damaged);
    const QString notABase = QStringLiteral("Файл не является базой данных программы.\n");
    const struct {
        const char* copy;
        QString said;
    } cases[] = {{"empty", notABase}, {"text", notABase}, {"foreign", notABase}, {"cut", kDamaged + QLatin1Char('\n')},
                 {"page", kDamaged + QLatin1Char('\n')}};
    const QStringList filesBefore = QDir(folder).entryList(QDir::Files);
    for (const auto& c : cases) {
        auto base = std::make_unique<ib::CInfoBase>();
        InfoBaseService service(*base, folder);
        const BaseFailure f = service.Restore(QStringLiteral("restored"), copies + QLatin1String(c.copy));
        EXPECT_TRUE(f.failed) << c.copy;
        EXPECT_TRUE(f.message.startsWith(c.said)) << c.copy << ": " << qPrintable(f.message);
        // Nothing under the base's name or a temporary one; the lock file alone stays.
        QStringList files = QDir(folder).entryList(QDir::Files);
        files.removeOne(QStringLiteral("restored.sqlite.lock"));
        EXPECT_EQ(files, filesBefore) << c.copy;
        EXPECT_EQ(fileBytes(file), sound);
    }
    // A sound copy is restored and opens.
    auto base = std::make_unique<ib::CInfoBase>();
    InfoBaseService service(*base, folder);
    EXPECT_FALSE(service.Restore(QStringLiteral("restored"), file).failed);
    EXPECT_FALSE(service.Open(QStringLiteral("restored")).failed);
    EXPECT_EQ(base->employeeCount(), 5);

    // An opening of a missing base makes no file.
    EXPECT_TRUE(service.Open(QStringLiteral("missing")).failed);
    EXPECT_EQ(QDir(folder).entryList({QStringLiteral("missing*")}, QDir::Files), QStringList());
}

TEST_F(UiDamagedInput, ConfigurationRowIsCheckedBeforeAnythingIsShown)
{
    MakeSoundBase();
    ASSERT_FALSE(OpenAsTheProgramDoes().failed);

    Damage({QStringLiteral("UPDATE dbo.config SET kolMax = 'много' WHERE id = 1")});
    ExpectRefused(kDamaged, QStringLiteral("dbo.config.kolMax) записано «много»"));
    Damage({QStringLiteral("UPDATE dbo.config SET kolMax = 1000, tekMes = 'март' WHERE id = 1")});
    ExpectRefused(kDamaged, QStringLiteral("dbo.config.tekMes"));
    Damage({QStringLiteral("UPDATE dbo.config SET tekMes = 2026 * 16 + 13 WHERE id = 1")});
    ExpectRefused(kDamaged, QStringLiteral("месяц 13"));
    Damage({QStringLiteral("UPDATE dbo.config SET tekMes = 2026 * 16 + 3, kolMax = 3 WHERE id = 1")});
    ExpectRefused(kDamaged, QStringLiteral("(dbo.config.kolRab) 5 вне пределов 0-3"));
    Damage({QStringLiteral("UPDATE dbo.config SET kolRab = 0 WHERE id = 1")});
    ExpectRefused(kDamaged, QStringLiteral("В таблице dbo.konst 5 работников, а вместимость базы 3"));
    Damage({QStringLiteral("UPDATE dbo.config SET kolMax = 100000 WHERE id = 1")});
    ExpectRefused(kDamaged, QStringLiteral("100000 вне пределов 1-1365"));
    // Without the row a month change would have emptied the employee tables.
    Damage({QStringLiteral("DELETE FROM dbo.config")});
    ExpectRefused(kDamaged, QStringLiteral("Нет строки настроек"));
}

TEST_F(UiDamagedInput, ListSlotsAndLineIndexesOutsideTheirArraysAreRefused)
{
    MakeSoundBase();
    for (const char* slot : {"0", "-7", "5000", "'пятый'"}) {
        Damage({QStringLiteral("UPDATE dbo.simp SET rec = %1 WHERE mass = 1 AND num = 2").arg(QLatin1String(slot))});
        SCOPED_TRACE(slot);
        ExpectRefused(kDamaged, QStringLiteral("Таблица dbo.simp (список 1): у работника с табельным номером"));
        Damage({QStringLiteral("UPDATE dbo.simp SET rec = 2 WHERE mass = 1 AND num = 2")});
    }
    ASSERT_FALSE(OpenAsTheProgramDoes().failed);

    // A sick-leave index word whose lines run past the array (capacity 15:
    // 15 lines) was read out of bounds by the calculation.
    Damage({QStringLiteral("DELETE FROM dbo.indexes WHERE vid = 'b' AND nom = 3"),
            QStringLiteral("INSERT INTO dbo.indexes (vid, nom, first, kol) VALUES ('b', 3, 14, 2)")});
    ExpectRefused(kDamaged, QStringLiteral("Таблица dbo.indexes, вид «b», работник «"));
    Damage({QStringLiteral("UPDATE dbo.indexes SET first = 4090, kol = 15 WHERE vid = 'b' AND nom = 3")});
    ExpectRefused(kDamaged, QStringLiteral("строки с 4090 по 4104"));
    Damage({QStringLiteral("UPDATE dbo.indexes SET first = 0, kol = 0 WHERE vid = 'b' AND nom = 3")});
    EXPECT_FALSE(OpenAsTheProgramDoes().failed);

    // Two runs over the same lines: a splice would move one of them below line 0.
    Damage({QStringLiteral("UPDATE dbo.indexes SET first = 0, kol = 1 WHERE vid = 'p' AND nom IN (1, 2)")});
    ExpectRefused(kDamaged, QStringLiteral("заходят на строки работника с меньшим номером записи"));
}

TEST_F(UiDamagedInput, MissingTablesAndVersionAreNamed)
{
    MakeSoundBase();
    Damage({QStringLiteral("DROP TABLE dbo.pasport")});
    ExpectRefused(kDamaged, QStringLiteral("нет таблицы dbo.pasport"));
    // Without its step the upgrade would make every table anew over the old ones.
    Damage({QStringLiteral("DELETE FROM dbo.version")});
    ExpectRefused(kDamaged, QStringLiteral("нет номера шага схемы"));
}

TEST_F(UiDamagedInput, StartUpShowsTheRefusalAndEndsWithoutCrashing)
{
    MakeSoundBase();
    Damage({QStringLiteral("UPDATE dbo.simp SET rec = 5000 WHERE mass = 1 AND num = 1")});
    const QByteArray before = fileBytes(file);
    const QString ini = folder + QStringLiteral("kalvor.ini");
    writeFile(ini, QStringLiteral("[Application]\npath=%1\n[SQL]\nbase=firm\n").arg(folder).toUtf8());
    MessageRecorder boxes;
    {
        CKalvorApp app(ini);
        app.SetLoginRunner([](CLoginDlg& dlg) {
            dlg.show();
            QTest::keyClick(dlg.PasswordEdit(), Qt::Key_Return);
            return dlg.result();
        });
        EXPECT_FALSE(app.InitInstance({}));
    }
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].text.contains(kDamaged));
    EXPECT_TRUE(boxes.boxes[0].text.contains(QStringLiteral("номер записи «5000» вне пределов 1-15")));
    EXPECT_EQ(fileBytes(file), before);
}

TEST_F(UiDamagedInput, EachMissingOrDamagedReferenceFileIsNamedAtOpening)
{
    MakeSoundBase();
    // Files of the right size for some, damaged or missing for the others.
    ib::CRefFiles ref(folder);
    ib::BuildFixtureRefFiles(ref);
    ref.WriteNalog();
    ref.WriteProfi();
    ref.WritePost();
    ref.WriteTitle();
    ref.WriteBank();
    ref.WriteOpaque();
    writeFile(folder + QStringLiteral("vichet"), QByteArray(17, '\0')); // wrong size
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("sbor"))); // a folder in its place
    // "lazer" and "palitra" are there; "sbor" and "vichet" are not usable.

    const QString ini = folder + QStringLiteral("kalvor.ini");
    writeFile(ini, QStringLiteral("[Application]\npath=%1\n[SQL]\nbase=firm\n").arg(folder).toUtf8());
    MessageRecorder boxes;
    CKalvorApp app(ini);
    app.SetLoginRunner([](CLoginDlg& dlg) {
        dlg.show();
        QTest::keyClick(dlg.PasswordEdit(), Qt::Key_Return);
        return dlg.result();
    });
    ASSERT_TRUE(app.InitInstance({}));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Не прочитаны файлы справочников:\nОшибка чтения файла %1sbor\n"
                                                  "Ошибка чтения файла %1vichet")
                                       .arg(folder));
    EXPECT_EQ(boxes.boxes[0].flags, MB_OK | MB_ICONWARNING);
    // The program goes on with the tables it could read.
    EXPECT_EQ(app.Document()->refFiles.nalog[0].name, ref.nalog[0].name);
    EXPECT_EQ(app.Document()->refFiles.sborCount, 0);
    app.ExitInstance();
}

TEST_F(UiDamagedInput, WindowRectangleIsClampedToTheScreen)
{
    const QRect screen(0, 0, 1280, 1000);
    EXPECT_EQ(ClampToScreen(QRect(0, 0, 100000, 100000), screen), screen);
    EXPECT_EQ(ClampToScreen(QRect(100, 50, 800, 600), screen), QRect(100, 50, 800, 600));
    EXPECT_EQ(ClampToScreen(QRect(900, -40, 800, 600), screen), QRect(480, 0, 800, 600));
    EXPECT_EQ(ClampToScreen(QRect(-5000, 5000, 0, 600), screen), QRect(0, 400, 1, 600));

    // At start-up: the stored rectangle of the configuration file.
    const QString ini = folder + QStringLiteral("kalvor.ini");
    writeFile(ini, QStringLiteral("[Application]\npath=%1\nWndPosX=0\nWndPosY=0\nWndCX=100000\nWndCY=100000\n")
                       .arg(folder)
                       .toUtf8());
    MakeTestBase(folder, kName);
    writeFile(ini, fileBytes(ini) + QByteArray("[SQL]\nbase=firm\n"));
    MessageRecorder boxes;
    CKalvorApp app(ini);
    app.SetLoginRunner([](CLoginDlg& dlg) {
        dlg.show();
        QTest::keyClick(dlg.PasswordEdit(), Qt::Key_Return);
        return dlg.result();
    });
    ASSERT_TRUE(app.InitInstance({}));
    const QRect available = AvailableScreenArea();
    ASSERT_FALSE(available.isEmpty());
    // Never larger than the screen, unless the screen is smaller than the
    // window's own minimum (the test platform's screen is 800 x 600).
    const QSize minimum = app.MainFrame()->minimumSize();
    EXPECT_LE(app.MainFrame()->geometry().width(), std::max(available.width(), minimum.width()));
    EXPECT_LE(app.MainFrame()->geometry().height(), std::max(available.height(), minimum.height()));
    app.ExitInstance();
}

} // namespace
