// The change of the reporting month as the shell runs it: the question, the
// progress dialog with its worker (a stand-in for the payroll's mover), the
// saved common tables and the count of error situations; and the copy of the
// base before the change.
#include "shell/UiTestSupport.h"

#include "infobase/InfoBaseDb.h"
#include "support/TestFixture.h"
#include "platform/Db.h"
#include "values/Values.h"
#include "shell/ui/CArchProcDlg.h"
#include "shell/ui/CChgRepPerDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/MonthChange.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QTimer>

#include <thread>

namespace ib = kalvor::infobase;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A base of three employees in a temporary working folder, its reporting
// month December 2026, with the change's stand-ins installed.
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
        ib::BuildFixtureBase(doc.infoBase, 3);
        doc.infoBase.config.tekMes = ib::u16(kalvor::MonthKey(2026, 12));
        SetMonthChangeSaver({});
        SaveMonthChangeTables(doc); // the base as it stands before the change

        // The payroll's change: the progress dialog with the move on its worker.
        SetMonthChangeRunner([this](CKalvorDoc& d, int key, QWidget* parent) {
            ++runs;
            CChgRepPerDlg dlg(key, &d, parent);
            const int result = dlg.DoModal();
            progressSeen = dlg.Progress()->value();
            return result;
        });
        SetMonthMover([this](int key, const std::function<void()>& stepIt, ib::KalvorDocData& d) {
            moverThread = std::this_thread::get_id();
            moverKey = key;
            for (int i = 0; i < d.infoBase.employeeCount(); ++i)
                stepIt();
            d.infoBase.config.tekMes = ib::u16(key);
            if (throwIn)
                throw kalvor::db::DbError(0x80040E13, QStringLiteral("disk I/O error"),
                                          QStringLiteral("UPDATE dbo.konst"), QStringLiteral("Kalvor.Base"));
            return moverResult;
        });
    }
    void TearDown() override
    {
        kalvor::db::InjectFailureAfter(0);
        SetMonthChangeRunner({});
        SetMonthMover({});
        SetMonthChangeSaver({});
        ib::CloseBase(doc.infoBase);
    }

    // The reporting month stored in the base.
    int storedMonth()
    {
        ib::CInfoBase other;
        other.workFolder = folder;
        other.baseName = doc.infoBase.baseName;
        ib::LoadConfig(other);
        return other.config.tekMes;
    }

    QTemporaryDir dir;
    QString folder;
    CKalvorDoc doc;
    int runs = 0;
    int progressSeen = -1;
    int moverKey = 0;
    int moverResult = -2;
    bool throwIn = false;
    std::thread::id moverThread;
};

} // namespace

TEST_F(UiMonthChange, AsksRunsTheMoveOnItsWorkerSavesAndReportsTheErrorSituations)
{
    MessageRecorder rec;
    rec.answer = IDYES;
    EXPECT_EQ(ChangeReportingMonth(doc, nullptr), 2);
    ASSERT_EQ(rec.boxes.size(), 2u);
    EXPECT_TRUE(rec.boxes[0].text.startsWith(QStringLiteral("Изменить отчетный месяц на Январь 2027 года ?")))
        << rec.boxes[0].text.toStdString();
    EXPECT_EQ(rec.boxes[0].flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(rec.boxes[1].text, QStringLiteral("Ошибочных  ситуаций:  2"));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(moverKey, kalvor::MonthKey(2027, 1));
    EXPECT_NE(moverThread, std::this_thread::get_id());
    EXPECT_EQ(progressSeen, 3); // one step per employee
    EXPECT_EQ(storedMonth(), kalvor::MonthKey(2027, 1));
}

TEST_F(UiMonthChange, NoChangesNothingAndAMoveWithoutErrorsReportsZero)
{
    MessageRecorder rec;
    rec.answer = IDNO;
    EXPECT_EQ(ChangeReportingMonth(doc, nullptr), -1);
    EXPECT_EQ(rec.boxes.size(), 1u);
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(storedMonth(), kalvor::MonthKey(2026, 12));

    rec.answer = IDYES;
    moverResult = 1; // no error situation
    doc.infoBase.config.tekMes = ib::u16(kalvor::MonthKey(2027, 5));
    EXPECT_EQ(ChangeReportingMonth(doc, nullptr), 0);
    EXPECT_TRUE(rec.boxes[1].text.startsWith(QStringLiteral("Изменить отчетный месяц на Июнь 2027 года ?")));
    EXPECT_EQ(rec.boxes.back().text, QStringLiteral("Ошибочных  ситуаций:  0"));
    EXPECT_EQ(storedMonth(), kalvor::MonthKey(2027, 6));
}

TEST_F(UiMonthChange, AnEmptyListSkipsTheMoveButSavesTheTables)
{
    MessageRecorder rec;
    doc.infoBase.list.clear();
    EXPECT_EQ(ChangeReportingMonth(doc, nullptr), 0);
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(rec.boxes.back().text, QStringLiteral("Ошибочных  ситуаций:  0"));
}

TEST_F(UiMonthChange, AFailingMoveIsShownAndReportsNoCount)
{
    MessageRecorder rec;
    throwIn = true;
    EXPECT_EQ(ChangeReportingMonth(doc, nullptr), -1);
    ASSERT_EQ(rec.boxes.size(), 2u);
    EXPECT_TRUE(rec.boxes[1].text.startsWith(QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nError       : 80040E13\n")))
        << rec.boxes[1].text.toStdString();
    EXPECT_EQ(storedMonth(), kalvor::MonthKey(2026, 12));
}

TEST_F(UiMonthChange, AFailedSaveLeavesTheBaseAsItWas)
{
    MessageRecorder rec;
    // The third statement of the save fails, as a full disk would make it.
    SetMonthChangeSaver([](CKalvorDoc& d) {
        kalvor::db::InjectFailureAfter(3);
        SaveMonthChangeTables(d);
    });
    EXPECT_EQ(ChangeReportingMonth(doc, nullptr), -1);
    kalvor::db::InjectFailureAfter(0);
    ASSERT_EQ(rec.boxes.size(), 2u);
    EXPECT_TRUE(rec.boxes[1].text.startsWith(QStringLiteral("ОБНАРУЖЕНА ОШИБКА:")));
    EXPECT_EQ(storedMonth(), kalvor::MonthKey(2026, 12));
}

TEST_F(UiMonthChange, TheProgressDialogClosesWithOneWhenNoWorkerCanRun)
{
    SetMonthMover({});
    CChgRepPerDlg dlg(kalvor::MonthKey(2027, 1), &doc);
    EXPECT_EQ(dlg.DoModal(), 1);
}

TEST_F(UiMonthChange, TheProgressDialogIgnoresEscWhileTheMoveRuns)
{
    std::atomic<bool> release{false};
    SetMonthMover([&](int, const std::function<void()>& stepIt, ib::KalvorDocData&) {
        stepIt();
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return -5;
    });
    CChgRepPerDlg dlg(kalvor::MonthKey(2027, 1), &doc);
    int result = 0;
    QTimer::singleShot(150, &dlg, [&] {
        QTest::keyClick(&dlg, Qt::Key_Escape);
        EXPECT_TRUE(dlg.isVisible());
        release = true;
    });
    result = dlg.DoModal();
    EXPECT_EQ(result, -5);
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

    CArchProcDlg dlg(job);
    EXPECT_EQ(dlg.DoModal(), 0) << dlg.ErrorText().toStdString();
    const QString copy = job.archiveFolder + QStringLiteral("/firm.sqlite");
    ASSERT_TRUE(QFileInfo(copy).isFile());
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
    EXPECT_EQ(archived.config.tekMes, kalvor::MonthKey(2026, 12));
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
