#include "platform/Console.h"
#include "platform/CommandLine.h"
#include "platform/ConsoleLog.h"
#include "platform/GuiBridge.h"
#include "platform/PrivateFiles.h"
#include "platform/WorkingFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <signal.h>
#include <unistd.h>

namespace kalvor::platform {

namespace {

// How long one wait for a running command lasts before its stop is looked at.
constexpr int kSliceMs = 100;
// How long a command that was told to end gets before it is killed.
constexpr int kEndWaitMs = 1000;

// A command's output as the log keeps it: its first kConsoleLogShare bytes,
// and how much more there was.
class OutputHead {
public:
    void add(const QByteArray& bytes)
    {
        total_ += bytes.size();
        if (head_.size() < kConsoleLogShare)
            head_ += bytes.left(kConsoleLogShare - head_.size());
    }
    const QByteArray& head() const { return head_; }
    QByteArray forLog() const
    {
        if (total_ <= head_.size())
            return head_;
        return head_ + QStringLiteral("\n... вывод сокращён: записаны первые %1 байт из %2\n")
                           .arg(head_.size())
                           .arg(total_)
                           .toUtf8();
    }

private:
    QByteArray head_;
    qint64 total_ = 0;
};

// Ends the command and everything it started (its process group): asked
// first, then killed.
void endProcessGroup(QProcess& process)
{
    const pid_t group = pid_t(process.processId());
    if (group <= 0)
        return;
    ::kill(-group, SIGTERM);
    const bool ended = process.waitForFinished(kEndWaitMs);
    // What the command started may outlive it, ignoring the request: the
    // group is ended whatever the command itself did.
    ::kill(-group, SIGKILL);
    if (!ended)
        process.waitForFinished(kEndWaitMs);
}

// Waits for the started command in slices, collecting its output, until it
// ends or the calling worker is stopped; true when it was stopped.
bool waitInSlices(QProcess& process, OutputHead& output)
{
    const std::stop_token stop = GuiBridge::currentStopToken();
    while (process.state() != QProcess::NotRunning) {
        if (stop.stop_requested()) {
            endProcessGroup(process);
            output.add(process.readAll());
            return true;
        }
        // A whole slice even when the command has closed its output and
        // goes on (waiting for output would then return at once).
        process.waitForFinished(kSliceMs);
        output.add(process.readAll());
    }
    output.add(process.readAll());
    return false;
}

void startInGroup(QProcess& process, const QStringList& arguments, const QProcessEnvironment& added,
                  const QString& runIn)
{
    if (!runIn.isEmpty())
        process.setWorkingDirectory(runIn);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    // A group of its own, so that a stop ends what the command started too.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    if (!added.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(added);
        process.setProcessEnvironment(environment);
    }
    process.start(arguments.front(), arguments.mid(1));
}

} // namespace

ConsoleRun RunConsoleProgram(const QStringList& arguments, const QString& folderPath, const QProcessEnvironment& added,
                             const QString& runIn)
{
    const QDir folder(folderPath.isEmpty() ? QDir::currentPath() : folderPath);
    ConsoleRun run;
    // A working folder that is not there is a setting to mend: nothing runs.
    if (arguments.isEmpty() || !QFileInfo(folder.path()).isDir() || (!runIn.isEmpty() && !QFileInfo(runIn).isDir()))
        return run;
    // Output went through "console.tmp" once; the file a program before this
    // one left there goes.
    RemoveOwnFile(folder.filePath(QStringLiteral("console.tmp")));

    QProcess process;
    startInGroup(process, arguments, added, runIn);
    if (!process.waitForStarted(-1)) {
        AppendToFolderLog(folder.path(), QStringLiteral("%1: %2\n").arg(arguments.front(), process.errorString()).toLocal8Bit());
        return run;
    }
    run.started = true;
    OutputHead output;
    run.stopped = waitInSlices(process, output);
    run.exitCode = !run.stopped && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = output.head().left(kConsoleOutputKept);
    QByteArray logged = output.forLog();
    if (run.stopped)
        logged += QStringLiteral("%1: остановлена\n").arg(arguments.front()).toLocal8Bit();
    // A log that cannot be written leaves the command's outcome as it is.
    AppendToFolderLog(folder.path(), logged);
    return run;
}

QString ConsoleFailureText(const ConsoleFailureWords& words, const QStringList& arguments, const ConsoleRun& run)
{
    QStringList shown;
    for (const QString& argument : arguments) shown << QuoteCommandArgument(argument);
    QString text = !run.started        ? words.notStarted
                   : run.stopped       ? words.stopped
                   : run.exitCode < 0 ? words.crashed
                                       : words.exitCode.arg(run.exitCode);
    text += QLatin1Char('\n') + shown.join(QLatin1Char(' '));
    const QStringList lines = QString::fromLocal8Bit(run.output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines.mid(0, kFailureOutputLines)) text += QLatin1Char('\n') + line.trimmed();
    return text;
}

void AppendToConsoleLog(const QString& text)
{
    AppendToFolderLog(WorkingFolder().isEmpty() ? QDir::currentPath() : WorkingFolder(), DatedLogLine(text));
}

} // namespace kalvor::platform
