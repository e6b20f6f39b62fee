// What the shell's dialogs of the reporting-month change share: the mover
// that the progress dialog runs on its worker, the question of the command,
// and the copy of the base that the change offers before it starts. The
// command itself belongs to the payroll screens (payroll/ui/RunMonthChange.h).
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class CKalvorDoc;

namespace kalvor::infobase {
struct KalvorDocData;
}

// Moves every employee to the new month (the worker of CChgRepPerDlg): new
// month key, the progress step (one call per employee), the document.
// Returns 1 when no error situation arose, else minus their number. Database
// errors and allocation failures are thrown, the base and the memory then
// being as they were.
using MonthMover =
    std::function<int(int newMonthKey, const std::function<void()>& stepIt, kalvor::infobase::KalvorDocData& doc)>;

// The question of the command, with its warning.
QString MonthChangeQuestion(int newMonthKey);

// ------------------------------------------------------------------ copy of the base

// The file of the document's open base.
QString BaseFileOfDocument(const CKalvorDoc& doc);

// What the copy takes and where it goes.
struct ArchiveJob {
    QString baseFile; // the base file
    QString workFolder; // the reference files' folder (with the separator)
    QString archiveFolder; // the folder to make; must not exist
};

// The job for the document: the folder "archive/<base>_<yyyy>_<mm>" of the
// working folder, for the reporting month before the change ("_2", "_3" ...
// appended when a copy of that month is already there).
ArchiveJob ArchiveJobOfDocument(const CKalvorDoc& doc);

// Makes the archive: a consistent copy of the base (SQLite backup, so also
// while the base is open) and the reference files that exist, built in a
// temporary folder and renamed when complete. Runs on any thread (its own
// connection). Returns 0, or -1 with the reason in *error; nothing is left
// behind on failure, nor when the calling worker is stopped (a server's
// pg_dump then ends at once, whether the server answers or not).
int MakeBaseArchive(const ArchiveJob& job, QString* error = nullptr);
