// The change of the reporting month as the shell runs it: the question, the
// change itself (installed by the payroll side), saving the common tables and
// the report of error situations; and the copy of the base that the change
// offers before it starts.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class CKalvorDoc;
class QWidget;

namespace kalvor::infobase {
struct KalvorDocData;
}

// Moves every employee to the new month (the worker of CChgRepPerDlg): new
// month key, the progress step (one call per employee), the document.
// Returns 1 when no error situation arose, else minus their number. Database
// errors and allocation failures are thrown.
using MonthMover = std::function<int(int newMonthKey, const std::function<void()>& stepIt,
                                     kalvor::infobase::KalvorDocData& doc)>;
void SetMonthMover(MonthMover mover);
const MonthMover& GetMonthMover();

// The whole change (document, new month key, parent window): offers the copy,
// runs CChgRepPerDlg; 0 when finished or abandoned, else the negative result
// of the move. Errors are thrown to the command.
using MonthChangeRunner = std::function<int(CKalvorDoc& doc, int newMonthKey, QWidget* parent)>;
void SetMonthChangeRunner(MonthChangeRunner runner);
const MonthChangeRunner& GetMonthChangeRunner();

// The month after the key's month (December: January of the next year).
int NextMonthKey(int monthKey);
// The question of the command, with its warning.
QString MonthChangeQuestion(int newMonthKey);

// Saves the tables that the change alters in memory, in one transaction:
// configuration (the reporting month and the monthly tables), pay kinds,
// shops, schedules, time sheet, index words, alternative time sheet, short
// names, the current employee list, attributes, bonus lines, vacations and
// average earnings. Throws the database error; the base is then as it was.
void SaveMonthChangeTables(CKalvorDoc& doc);
using MonthChangeSaver = std::function<void(CKalvorDoc& doc)>;
// Tests replace the saver; an empty one restores SaveMonthChangeTables.
void SetMonthChangeSaver(MonthChangeSaver saver);

// The command: asks the question; on Yes runs the change when the list holds
// employees, saves the common tables and reports the error situations.
// Returns the number of error situations, -1 when the user said No or the
// change failed.
int ChangeReportingMonth(CKalvorDoc& doc, QWidget* parent);

// ------------------------------------------------------------------ copy of the base

// The file of the document's open base.
QString BaseFileOfDocument(const CKalvorDoc& doc);

// What the copy takes and where it goes.
struct ArchiveJob {
    QString baseFile;      // the base file
    QString workFolder;    // the reference files' folder (with the separator)
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
// behind on failure.
int MakeBaseArchive(const ArchiveJob& job, QString* error = nullptr);
