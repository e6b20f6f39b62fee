#pragma once
// Running an external command through the command interpreter, the way the
// print command, file copies and the accounting program's loader are run:
// /bin/sh -c with the command, its output (standard output and standard error
// together) collected in "console.tmp" in the working folder, a wait without
// limit, and then "console.tmp" appended to "console.log" there.
//
// The command runs in the program's current folder and reads nothing (its
// standard input is empty). Only one command runs at a time; a second caller
// waits for the first, since both would use the same "console.tmp".
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace kalvor::platform {

// How a program run by RunConsoleProgram ended.
struct ConsoleRun {
    bool started = false; // false: the program could not be started
    int exitCode = -1; // its exit code; -1 when it ended abnormally (a signal)
    QByteArray output; // the start of its output (standard output and error), at most kConsoleOutputKept bytes
};
inline constexpr int kConsoleOutputKept = 4096;

// Runs the command (console files in the working folder, see
// platform/WorkingFolder.h) and returns its exit code; -1 when the process cannot be
// created, ends abnormally (killed by a signal), or the console files cannot
// be opened.
int RunConsoleCommand(const QString& command);
// The same with the console files in the given folder.
int RunConsoleCommand(const QString& command, const QString& workingFolder);

// Runs the program (the first argument) with the other arguments as they
// stand, without a command interpreter, in the program's current folder,
// with the environment added to the program's own; the console files as
// RunConsoleCommand keeps them, in the given folder (the current folder when
// empty). A program that cannot be started leaves its reason in "console.log".
ConsoleRun RunConsoleProgram(const QStringList& arguments, const QString& folder,
                             const QProcessEnvironment& added = QProcessEnvironment());

// Appends a line (with the date and time) to "console.log" in the working
// folder: what the program itself has to tell the administrator, such as the
// database server's own text of an error that the user is told in plain words.
void AppendToConsoleLog(const QString& text);

} // namespace kalvor::platform
