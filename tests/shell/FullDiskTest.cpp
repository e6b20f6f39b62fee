// Files written on a disk that fills: the work file, a reference file, an
// exported table, the settings file and the month change's copy of the base and of the reference
// files each name the file and say that the disk is full.
#include "infobase/InfoBaseDb.h"
#include "infobase/RefFiles.h"
#include "infobase/SwapFile.h"
#include "platform/Db.h"
#include "platform/Dbf.h"
#include "shell/ui/KalvorConfig.h"
#include "shell/ui/MonthChange.h"
#include "support/SmallDisk.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ib = kalvor::infobase;
using kalvor::test::FillDisk;

namespace {

const QString kFull = QStringLiteral("Недостаточно места на диске");

QString WriteFailure(const QString& path) { return QStringLiteral("Ошибка записи в файл %1\n").arg(path) + kFull; }

// What a throwing writer said; empty when it did not throw.
template <class Write>
QString Thrown(Write write)
{
    try {
        write();
    } catch (const ib::InfoBaseError& e) {
        return e.message();
    }
    return QString();
}

} // namespace

TEST(FullDisk, EachWriteNamesItsFileAndSaysTheDiskIsFull)
{
    const QString disk = kalvor::test::SmallDiskFolder();
    if (disk.isEmpty()) {
        const QString skipped = kalvor::test::RunOnSmallDisk(QStringLiteral("1m"));
        if (!skipped.isEmpty())
            GTEST_SKIP() << skipped.toStdString();
        return;
    }
    // The base and the reference file to copy lie on the ordinary disk.
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QString folder = work.path() + QLatin1Char('/');
    ib::CreateSchemaBase(folder, QStringLiteral("firm"));
    ib::CRefFiles(folder).WriteNalog();
    ArchiveJob job;
    job.baseFile = ib::BaseFilePath(folder, QStringLiteral("firm"));
    job.workFolder = folder;
    job.archiveFolder = folder + QStringLiteral("measured");
    QString error;
    ASSERT_EQ(MakeBaseArchive(job, &error), 0) << error.toStdString();
    const qint64 copySize = QFileInfo(job.archiveFolder + QStringLiteral("/firm.sqlite")).size();
    const qint64 page = 4096;

    // The base's copy: the engine's own words are not shown, the copy is named.
    job.archiveFolder = disk + QStringLiteral("/firm_2026_12");
    ASSERT_TRUE(FillDisk(disk, page));
    EXPECT_EQ(MakeBaseArchive(job, &error), -1);
    EXPECT_EQ(error, WriteFailure(job.archiveFolder + QStringLiteral(".tmp/firm.sqlite")));
    // Room for the base's copy but not for the reference file after it.
    ASSERT_TRUE(QFile::remove(disk + QStringLiteral("/filler")));
    ASSERT_TRUE(FillDisk(disk, (copySize + page - 1) / page * page + page));
    EXPECT_EQ(MakeBaseArchive(job, &error), -1);
    EXPECT_EQ(error, WriteFailure(job.archiveFolder + QStringLiteral(".tmp/nalog")));
    EXPECT_EQ(QDir(disk).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{QStringLiteral("filler")});

    ASSERT_TRUE(FillDisk(disk, 0));
    const QString swapPath = disk + QStringLiteral("/swap");
    EXPECT_EQ(Thrown([&] {
                  ib::SwapFile swap(swapPath);
                  swap.create();
                  const ib::EmployeeRecord record;
                  swap.writeSlot(1, record);
              }),
              WriteFailure(swapPath));
    EXPECT_EQ(Thrown([&] { ib::CRefFiles(disk + QLatin1Char('/')).WritePost(); }),
              WriteFailure(disk + QStringLiteral("/post")));
    // An exported table: the file's line is the message, why the description.
    const QString table = disk + QStringLiteral("/kod.dbf");
    try {
        kalvor::dbf::DbfTable::create({{"KOD", 'C', 4, 0}}).write(table, QDate(2026, 3, 1));
        ADD_FAILURE() << "the table was written on a full disk";
    } catch (const kalvor::db::DbError& e) {
        EXPECT_EQ(e.message() + QLatin1Char('\n') + e.description(), WriteFailure(table));
    }
    KalvorConfig settings;
    settings.Load(disk + QStringLiteral("/kalvor.ini"));
    EXPECT_FALSE(settings.Save(disk + QStringLiteral("/kalvor.ini"), &error));
    EXPECT_EQ(error, WriteFailure(disk + QStringLiteral("/kalvor.ini")));
}
