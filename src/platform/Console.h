#pragma once
// Running an external program, the way the print command, the document viewer,
// the server's tools and the accounting program's loader are run: the program
// and its arguments as a list, no command interpreter (RunConsoleProgram), its
// output (standard output and standard error together) appended to
// "console.log" in the working folder when it ends.
//
// The command runs in the program's current folder, in a process group of
// its own, and reads nothing (its standard input is empty). It is waited for
// in slices: a worker thread whose stop event is set (a stop, or the view's
// or the program's closing) ends the command and everything it started, and
// the log says it was stopped. Commands may run side by side; no lock is
// held while one runs. The log keeps the first kConsoleLogShare bytes of each
// command's output (and says how much more there was); how the log itself is
// written and kept in size is in platform/ConsoleLog.h. A log that cannot be
// written never changes a command's outcome.
#include "platform/ConsoleLog.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace kalvor::platform {

// How a program run by RunConsoleProgram ended.
struct ConsoleRun {
    bool started = false; // false: the program could not be started
    bool stopped = false; // ended by the stop event of the calling worker
    int exitCode = -1; // its exit code; -1 when it ended abnormally (a signal)
    QByteArray output; // the start of its output (standard output and error), at most kConsoleOutputKept bytes
};
inline constexpr int kConsoleOutputKept = 4096;
// The part of a command's output that goes to the log.
inline constexpr qint64 kConsoleLogShare = 64 * 1024;

// Runs the program (the first argument) with the other arguments as they
// stand, without a command interpreter, in the program's current folder,
// with the environment added to the program's own; the console log in the
// given folder (the current folder when empty; the program passes the
// working folder of platform/WorkingFolder.h). A program that cannot be started leaves its reason in "console.log".
// The program runs in `runIn` when it is given (a folder that is not there:
// nothing runs, as for a log folder that is not there).
ConsoleRun RunConsoleProgram(const QStringList& arguments, const QString& folder,
                             const QProcessEnvironment& added = QProcessEnvironment(), const QString& runIn = QString());

// The headings of a program's failure message: it could not start, it was
// stopped, it ended abnormally, it ended with an exit code ("%1").
struct ConsoleFailureWords {
    QString notStarted, stopped, crashed, exitCode;
};
// How many lines of a failed program's output its message shows.
inline constexpr int kFailureOutputLines = 5;
// The message of a program that could not start, was stopped or ended with an
// exit code other than 0: the heading, the command as run (its arguments
// quoted as platform::SplitCommandLine reads them) and the first lines of its
// output.
QString ConsoleFailureText(const ConsoleFailureWords& words, const QStringList& arguments, const ConsoleRun& run);
// Whether the run ended well: started, not stopped, exit code 0.
inline bool ConsoleRunSucceeded(const ConsoleRun& run) { return run.started && !run.stopped && run.exitCode == 0; }

// Appends a line (with the date and time) to "console.log" in the working
// folder: what the program itself has to tell the administrator, such as the
// database server's own text of an error that the user is told in plain words.
void AppendToConsoleLog(const QString& text);

} // namespace kalvor::platform
