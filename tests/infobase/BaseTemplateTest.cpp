// The template of new bases: required, checked like an opened base, and a
// failure names the file that really failed; nothing half made is left.
// Also the reference files that OpenAll cannot read: noted by name, never thrown.
#include "infobase/InfoBaseDb.h"
#include "infobase/RefFiles.h"
#include "platform/Db.h"
#include "platform/DbBases.h"
#include "platform/DbSchema.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;

namespace {

class BaseTemplate : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        templ = TemplateFilePath(folder);
    }

    // A sound template: a base of the schema alone under the template's name.
    void MakeTemplate()
    {
        CreateSchemaBase(folder, QStringLiteral("model"));
        ASSERT_TRUE(QFile::rename(BaseFilePath(folder, QStringLiteral("model")), templ));
    }

    // CreateBase fails with that message naming that file, and leaves no base.
    void ExpectCreateFails(const QString& message, const QString& named)
    {
        try {
            CreateBase(folder, QStringLiteral("firm"));
            ADD_FAILURE() << "a base was made";
        } catch (const db::DbError& e) {
            EXPECT_EQ(e.message(), message);
            EXPECT_TRUE(e.description().contains(named)) << qPrintable(e.description());
        }
        EXPECT_FALSE(BaseExists(folder, QStringLiteral("firm")));
        EXPECT_FALSE(QFileInfo(BaseFilePath(folder, QStringLiteral("firm")) + QStringLiteral(".new")).isFile());
    }

    QTemporaryDir dir;
    QString folder, templ;
};

} // namespace

TEST_F(BaseTemplate, WithoutASoundTemplateNoBaseIsMade)
{
    // Missing: a base without pay kinds was made from the schema alone.
    ExpectCreateFails(QStringLiteral("Не найден шаблон новой базы данных"), templ);

    // Empty.
    QFile empty(templ);
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    ExpectCreateFails(QStringLiteral("Шаблон новой базы данных непригоден"),
                      templ + QStringLiteral(": Файл не является"));
    EXPECT_EQ(QFileInfo(templ).size(), 0);

    // Without dbo.konst: made, then it failed to open.
    QFile::remove(templ);
    MakeTemplate();
    {
        const QSqlDatabase d = db::Connection::forThread(templ);
        db::Execute(d, QStringLiteral("DROP TABLE dbo.konst"));
        db::Checkpoint(d);
    }
    db::Connection::closeForThread(templ);
    ExpectCreateFails(QStringLiteral("Шаблон новой базы данных непригоден"), QStringLiteral("нет таблицы dbo.konst"));
}

TEST_F(BaseTemplate, AnUnwritableTargetIsNotBlamedOnTheTemplate)
{
    MakeTemplate();
    // The new base's file cannot be written (a folder stands where it goes).
    const QString target = BaseFilePath(folder, QStringLiteral("firm")) + QStringLiteral(".new");
    ASSERT_TRUE(QDir().mkdir(target));
    try {
        CreateBase(folder, QStringLiteral("firm"));
        ADD_FAILURE() << "a base was made";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Ошибка записи в файл"));
        EXPECT_EQ(e.description(), target);
    }
    EXPECT_FALSE(BaseExists(folder, QStringLiteral("firm")));
    ASSERT_TRUE(QDir().rmdir(target));

    // With the way clear the same template makes a base that opens.
    CreateBase(folder, QStringLiteral("firm"));
    CInfoBase base;
    base.workFolder = folder;
    base.baseName = QStringLiteral("firm");
    OpenBase(base);
    EXPECT_EQ(base.config.kolMax, 1000);
    CloseBase(base);
}

// A new base's name is counted in bytes against what is made of it: its
// forms beside it within a file name's 255 bytes (191 bytes for the name:
// 95 Russian letters), and the month change's copy
// "<folder>archive/<base>_2011_04_99.tmp/<base>.sqlite-journal" within the
// engine's 511. A name of 121 letters is refused with its limit said and
// leaves nothing; at the limit the base, a long form name and the copy are made.
TEST_F(BaseTemplate, ANameTooLongForWhatIsMadeOfItIsRefusedWithItsLimit)
{
    MakeTemplate();
    const QString tooLong(121, QChar(0x0416));
    try {
        CreateBase(folder, tooLong);
        ADD_FAILURE() << "a base was made";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Слишком длинное имя базы данных: 242 байт, а в этой папке допускается "
                                              "не более 191 байт (95 русских букв или 191 латинских)"));
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("empty.bak")});
    EXPECT_FALSE(NewBaseNameRefusal(folder, QString(96, QChar(0x0416))).isEmpty());
    const QString longest(95, QChar(0x0416));
    CreateBase(folder, longest);
    EXPECT_TRUE(BaseExists(folder, longest));
    QFile form(folder + longest + QStringLiteral("-T54-2011-01-2011-12-12345.rtf"));
    EXPECT_TRUE(form.open(QIODevice::WriteOnly));

    // A folder of 301 bytes leaves (511 - 301 - 40) / 2 = 85 bytes for the
    // name, both of its places in the copy's path.
    const QString deep = folder + QString(120, QLatin1Char('d')) + QLatin1Char('/');
    const QString deepest = deep + QString(301 - 1 - QFile::encodeName(deep).size(), QLatin1Char('e')) + '/';
    ASSERT_EQ(QFile::encodeName(deepest).size(), 301);
    ASSERT_TRUE(QDir().mkpath(deepest));
    EXPECT_EQ(NewBaseNameLimit(deepest), 85);
    EXPECT_FALSE(NewBaseNameRefusal(deepest, QString(86, QLatin1Char('a'))).isEmpty());
    const QString name(85, QLatin1Char('a'));
    EXPECT_TRUE(NewBaseNameRefusal(deepest, name).isEmpty());
    const QString copyFolder = deepest + QStringLiteral("archive/%1_2011_04_99.tmp/").arg(name);
    ASSERT_TRUE(QDir().mkpath(copyFolder));
    db::BackupFileTo(BaseFilePath(folder, longest), copyFolder + name + QStringLiteral(".sqlite"));
    EXPECT_TRUE(QFileInfo(copyFolder + name + QStringLiteral(".sqlite")).isFile());
}

TEST(RefFilesOpenAll, MissingAndDamagedFilesAreNotedNotThrown)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    CRefFiles written(folder);
    written.sborCount = 3;
    written.WriteSbor();
    written.WriteProfi();
    QFile cut(folder + QStringLiteral("profi"));
    ASSERT_TRUE(cut.resize(cut.size() - 1));
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("nalog")));

    CRefFiles ref(folder);
    ref.profiCount = 9; // tables of an earlier reading do not survive
    EXPECT_FALSE(ref.OpenAll());
    EXPECT_EQ(ref.sborCount, 3);
    EXPECT_EQ(ref.profiCount, 0);
    EXPECT_EQ(ref.Problem(QStringLiteral("sbor")), QString());
    EXPECT_EQ(ref.Problem(QStringLiteral("nalog")),
              QStringLiteral("Ошибка чтения файла ") + folder + QStringLiteral("nalog"));
    EXPECT_EQ(ref.Problem(QStringLiteral("profi")),
              QStringLiteral("Ошибка чтения файла ") + folder + QStringLiteral("profi"));
    EXPECT_EQ(ref.Problem(QStringLiteral("vichet")),
              QStringLiteral("Не найден файл справочника ") + folder + QStringLiteral("vichet"));
    EXPECT_EQ(ref.Problems({QStringLiteral("nalog"), QStringLiteral("vichet"), QStringLiteral("sbor")}),
              (QStringList{QStringLiteral("Ошибка чтения файла ") + folder + QStringLiteral("nalog"),
                           QStringLiteral("Не найден файл справочника ") + folder + QStringLiteral("vichet")}));
    EXPECT_EQ(ref.Problems().size(), 8); // all but "sbor"
}
