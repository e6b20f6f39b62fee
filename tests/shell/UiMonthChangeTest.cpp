// The dialogs of the reporting-month change: the progress dialog with its
// worker (a stand-in for the payroll's mover), and the copy of the base
// before the change.
#include "shell/UiTestSupport.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "platform/DbServerWork.h"
#include "shell/ui/CArchProcDlg.h"
#include "shell/ui/CChgRepPerDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/MonthChange.h"
#include "support/TestFixture.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QTimer>

#include <sys/stat.h>
#include <thread>

namespace ib = kalvor::infobase;

namespace {

int modeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A base of three employees in a temporary working folder, its reporting
// month December 2026, and a stand-in mover that counts its steps.
class UiMonthChange : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        doc.setWorkFolder(folder);
        doc.infoBase.baseName = QStringLiteral("firm");
        ib::CreateSchemaBase(folder, doc.infoBase.baseName);
        ib::OpenBase(doc.infoBase);
        const ib::FixtureBase fx = ib::BuildFixtureBase(doc.infoBase, 3);
        doc.infoBase.config.tekMes = ib::u16(kalvor::MonthKey(2026, 12).value());
        ib::SaveAll(doc.infoBase, fx.records);
    }
    void TearDown() override { ib::CloseBase(doc.infoBase); }

    MonthMover countingMover()
    {
        return [this](int key, const std::function<void()>& stepIt, ib::KalvorDocData& d) {
            moverThread = std::this_thread::get_id();
            moverKey = key;
            for (int i = 0; i < d.infoBase.employeeCount(); ++i) stepIt();
            if (throwIn)
                throw kalvor::db::DbError(0x80040E13, QStringLiteral("disk I/O error"),
                                          QStringLiteral("UPDATE dbo.konst"), QStringLiteral("Kalvor.Base"));
            return -2;
        };
    }

    QTemporaryDir dir;
    QString folder;
    CKalvorDoc doc;
    int moverKey = 0;
    bool throwIn = false;
    std::thread::id moverThread;
};

} // namespace

TEST_F(UiMonthChange, TheProgressDialogRunsTheMoverOnItsWorkerAndStepsOncePerEmployee)
{
    CChgRepPerDlg dlg(kalvor::MonthKey(2027, 1).value(), &doc, countingMover());
    EXPECT_EQ(dlg.DoModal(), -2);
    EXPECT_EQ(moverKey, kalvor::MonthKey(2027, 1).value());
    EXPECT_NE(moverThread, std::this_thread::get_id());
    EXPECT_EQ(dlg.Progress()->value(), 3);

    // A database error of the move comes back on the caller's thread.
    throwIn = true;
    CChgRepPerDlg failing(kalvor::MonthKey(2027, 1).value(), &doc, countingMover());
    EXPECT_THROW(failing.DoModal(), kalvor::db::DbError);
}

TEST_F(UiMonthChange, TheProgressDialogClosesWithOneWhenNoWorkerCanRun)
{
    CChgRepPerDlg dlg(kalvor::MonthKey(2027, 1).value(), &doc, MonthMover());
    EXPECT_EQ(dlg.DoModal(), 1);
}

// Esc asks whether to stop the move: answered "Нет" the move goes on;
// answered "Да" its worker is asked to stop, and the stop the move throws
// comes back on the caller's thread.
TEST_F(UiMonthChange, TheProgressDialogAsksBeforeEscStopsTheMove)
{
    std::atomic<bool> release{false};
    const MonthMover waiting = [&](int, const std::function<void()>& stepIt, ib::KalvorDocData&) {
        stepIt();
        while (!release && !kalvor::db::WorkStopped()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        kalvor::db::ThrowWhenStopped();
        return -5;
    };
    MessageRecorder boxes;
    boxes.answer = IDNO;
    CChgRepPerDlg dlg(kalvor::MonthKey(2027, 1).value(), &doc, waiting);
    QTimer::singleShot(150, &dlg, [&] {
        QTest::keyClick(&dlg, Qt::Key_Escape);
        EXPECT_TRUE(dlg.isVisible());
        boxes.answer = IDYES;
        QTest::keyClick(&dlg, Qt::Key_Escape);
    });
    try {
        dlg.DoModal();
        ADD_FAILURE() << "the move was not stopped";
    } catch (const kalvor::db::DbError& e) {
        EXPECT_EQ(e.code(), kalvor::db::E_DB_STOPPED);
    }
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].text, CChgRepPerDlg::StopQuestion());
    EXPECT_EQ(boxes.boxes[0].flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_TRUE(boxes.boxes[0].secondIsDefault);

    // Once released the move ends as it would; Esc before that was answered "Нет".
    MessageRecorder declined;
    declined.answer = IDNO;
    CChgRepPerDlg going(kalvor::MonthKey(2027, 1).value(), &doc, waiting);
    release = false;
    QTimer::singleShot(150, &going, [&] {
        QTest::keyClick(&going, Qt::Key_Escape);
        release = true;
    });
    EXPECT_EQ(going.DoModal(), -5);
    EXPECT_EQ(declined.boxes.size(), 1u);
}

TEST_F(UiMonthChange, TheArchiveCopiesTheBaseAndTheReferenceFiles)
{
    // Reference files beside the base ("post" missing: it is skipped).
    const QByteArray nalog("\x01\x02nalog\xC0", 8), profi("profi-data");
    for (const auto& [name, data] : {std::pair{"nalog", nalog}, std::pair{"profi", profi}}) {
        QFile f(folder + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    const ArchiveJob job = ArchiveJobOfDocument(doc);
    EXPECT_EQ(job.archiveFolder, folder + QStringLiteral("archive/firm_2026_12"));
    EXPECT_EQ(job.baseFile, ib::BaseFile(doc.infoBase));

    // Under the usual umask 022 the copy and the folders made for it are
    // their owner's alone: the copy holds the whole payroll.
    const mode_t umaskBefore = ::umask(022);
    CArchProcDlg dlg(job);
    const int result = dlg.DoModal();
    ::umask(umaskBefore);
    EXPECT_EQ(result, 0) << dlg.ErrorText().toStdString();
    const QString copy = job.archiveFolder + QStringLiteral("/firm.sqlite");
    ASSERT_TRUE(QFileInfo(copy).isFile());
    EXPECT_EQ(modeOf(folder + QStringLiteral("archive")), 0700);
    EXPECT_EQ(modeOf(job.archiveFolder), 0700);
    EXPECT_EQ(modeOf(copy), 0600);
    EXPECT_EQ(readAll(job.archiveFolder + QStringLiteral("/nalog")), nalog);
    EXPECT_EQ(readAll(job.archiveFolder + QStringLiteral("/profi")), profi);
    EXPECT_FALSE(QFileInfo::exists(job.archiveFolder + QStringLiteral("/post")));
    EXPECT_FALSE(QFileInfo::exists(job.archiveFolder + QStringLiteral(".tmp")));

    // The copy is a whole base: its reporting month and its employees.
    ib::CInfoBase archived;
    archived.workFolder = job.archiveFolder + QLatin1Char('/');
    archived.baseName = QStringLiteral("firm");
    ib::OpenBase(archived);
    ib::LoadAll(archived);
    EXPECT_EQ(archived.config.tekMes, kalvor::MonthKey(2026, 12).value());
    EXPECT_EQ(archived.employeeCount(), 3);
    ib::CloseBase(archived);

    // A second copy of the same month goes beside the first.
    EXPECT_EQ(ArchiveJobOfDocument(doc).archiveFolder, folder + QStringLiteral("archive/firm_2026_12_2"));
}

TEST_F(UiMonthChange, AFailedArchiveIsNegativeAndLeavesNothing)
{
    ArchiveJob job = ArchiveJobOfDocument(doc);
    job.baseFile = folder + QStringLiteral("missing.sqlite");
    CArchProcDlg dlg(job);
    EXPECT_LT(dlg.DoModal(), 0);
    EXPECT_FALSE(dlg.ErrorText().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(job.archiveFolder));
    EXPECT_FALSE(QFileInfo::exists(job.archiveFolder + QStringLiteral(".tmp")));
    EXPECT_FALSE(QFileInfo::exists(job.baseFile)); // no empty base made by the attempt
}

// The copy's temporary folder left as a link to another folder (by anyone
// who may write the archive folder): the link goes, what it points to stays
// untouched, and the copy is made in a new folder of its own.
TEST_F(UiMonthChange, ALinkInPlaceOfTheCopysFolderIsRemovedAndItsTargetLeftAlone)
{
    const ArchiveJob job = ArchiveJobOfDocument(doc);
    const QString elsewhere = folder + QStringLiteral("elsewhere");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("archive")));
    {
        QFile keep(elsewhere + QStringLiteral("/keep.txt"));
        ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
        keep.write("kept");
    }
    ASSERT_EQ(::chmod(QFile::encodeName(elsewhere).constData(), 0755), 0);
    ASSERT_TRUE(QFile::link(elsewhere, job.archiveFolder + QStringLiteral(".tmp")));

    CArchProcDlg dlg(job);
    EXPECT_EQ(dlg.DoModal(), 0) << dlg.ErrorText().toStdString();
    EXPECT_EQ(QDir(elsewhere).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("keep.txt")});
    EXPECT_EQ(readAll(elsewhere + QStringLiteral("/keep.txt")), QByteArray("kept"));
    EXPECT_EQ(modeOf(elsewhere), 0755);
    const QFileInfo made(job.archiveFolder);
    EXPECT_TRUE(made.isDir() && !made.isSymLink());
    EXPECT_TRUE(QFileInfo(job.archiveFolder + QStringLiteral("/firm.sqlite")).isFile());
    EXPECT_FALSE(QFileInfo(job.archiveFolder + QStringLiteral(".tmp")).isSymLink());
}
