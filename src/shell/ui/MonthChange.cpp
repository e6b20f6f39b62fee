#include "shell/ui/MonthChange.h"

#include "infobase/InfoBaseDb.h"
#include "infobase/RefFiles.h"
#include "platform/Db.h"
#include "platform/DbBases.h"
#include "platform/FileCopy.h"
#include "platform/GuiBridge.h"
#include "platform/PrivateFiles.h"
#include "platform/SavedFile.h"
#include "platform/WorkingFolder.h"
#include "shell/ui/CKalvorDoc.h"
#include "values/Messages.h"
#include "values/Values.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace ib = kalvor::infobase;

QString MonthChangeQuestion(int newMonthKey)
{
    return QStringLiteral("Изменить отчетный месяц на %1 ?")
               .arg(kalvor::MonthOfYearText(kalvor::MonthKey::of(newMonthKey))) +
           QStringLiteral("\n\nВнимание! Данные прошедшего месяца будут перенесены в архив, "
                          "а вернуть прошедший месяц можно будет только из копии базы.");
}

// ------------------------------------------------------------------ copy of the base

QString BaseFileOfDocument(const CKalvorDoc& doc) { return ib::BaseFile(doc.infoBase); }

ArchiveJob ArchiveJobOfDocument(const CKalvorDoc& doc)
{
    ArchiveJob job;
    job.baseFile = BaseFileOfDocument(doc);
    job.workFolder = kalvor::platform::WithSeparator(doc.infoBase.workFolder);
    const kalvor::MonthKey key = doc.infoBase.config.reportingKey();
    const QString stem = job.workFolder + QStringLiteral("archive/%1_%2_%3")
                                              .arg(doc.infoBase.baseName)
                                              .arg(key.year(), 4, 10, QLatin1Char('0'))
                                              .arg(key.month(), 2, 10, QLatin1Char('0'));
    job.archiveFolder = stem;
    for (int n = 2; QFileInfo::exists(job.archiveFolder); ++n) job.archiveFolder = stem + QStringLiteral("_%1").arg(n);
    return job;
}

int MakeBaseArchive(const ArchiveJob& job, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return -1;
    };
    auto writeFailure = [](const QString& path, const QString& why) {
        return kalvor::platform::FileFailureText(QString::fromUtf8(kalvor::kMsgWriteFailed), path, why);
    };
    if (job.archiveFolder.isEmpty() || QFileInfo::exists(job.archiveFolder))
        return fail(QStringLiteral("Архив уже существует: %1").arg(job.archiveFolder));
    const bool onServer = kalvor::db::IsServerLocator(job.baseFile);
    if (!onServer && !QFileInfo(job.baseFile).isFile())
        return fail(QStringLiteral("%1 %2").arg(QString::fromUtf8(kalvor::kMsgOpenFailed), job.baseFile));
    const QString temp = job.archiveFolder + QStringLiteral(".tmp");
    // What an earlier copy killed midway left goes: a link of that name
    // itself, never what it points to. The copy holds the payroll: the
    // folders made for it are their owner's alone (the copy itself is made
    // so as well), and the copy goes only into a folder made here.
    kalvor::platform::RemoveOwnTree(temp);
    if (!kalvor::platform::MakeNewPrivateFolder(temp))
        return fail(writeFailure(temp, kalvor::platform::FolderFailureText(errno, QFileInfo(temp).path())));
    auto failClean = [&](const QString& why) {
        kalvor::platform::RemoveOwnTree(temp);
        return fail(why);
    };
    // The base: a snapshot through the engine, consistent even while the
    // program's own connection has it open; a server base as the server's
    // archive "<base>.dump".
    const QString copyName = onServer ? kalvor::db::ServerDatabaseOf(job.baseFile) + QStringLiteral(".dump")
                                      : QFileInfo(job.baseFile).fileName();
    const QString baseCopy = temp + QLatin1Char('/') + copyName;
    try {
        kalvor::db::BackupFileTo(job.baseFile, baseCopy);
    } catch (const kalvor::db::DbError& e) {
        const QString said = QStringLiteral("%1\n%2").arg(e.message(), e.description());
        // The server's tool speaks its own language: what failed leads.
        if (onServer)
            return failClean(QStringLiteral("Архивная копия базы %1 не сделана: %2\n")
                                 .arg(kalvor::db::ServerDatabaseOf(job.baseFile), baseCopy) +
                             said);
        return failClean(said);
    }
    for (const QString& name : ib::CRefFiles::FileNames()) {
        const QString from = job.workFolder + name;
        if (!QFileInfo(from).isFile())
            continue;
        QString why;
        if (!kalvor::platform::CopyFileReplacing(from, temp + QLatin1Char('/') + name, &why))
            return failClean(why);
    }
    // A copy stopped by its worker's stop is no copy: nothing of it stays.
    if (kalvor::platform::GuiBridge::currentStopToken().stop_requested())
        return failClean(QStringLiteral("Копирование остановлено"));
    // The copy's files and then its name reach the disk before the month
    // changes, so that a power cut leaves either no copy or the whole one.
    if (!kalvor::platform::SyncFolder(temp))
        return failClean(writeFailure(temp, kalvor::platform::WriteFailureText(errno)));
    if (!QDir().rename(temp, job.archiveFolder))
        return failClean(writeFailure(job.archiveFolder, kalvor::platform::WriteFailureText(errno)));
    if (!kalvor::platform::SyncFolder(QFileInfo(job.archiveFolder).path()))
        return fail(writeFailure(job.archiveFolder, kalvor::platform::WriteFailureText(errno)));
    return 0;
}
