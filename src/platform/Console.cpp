#include "platform/Console.h"
#include "platform/WorkingFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <mutex>

namespace kalvor::platform {

namespace {

std::mutex g_runMutex;

// Appends the whole of source to target; false when either cannot be opened.
bool appendFile(const QString& sourcePath, const QString& targetPath)
{
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    QFile target(targetPath);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = source.read(buffer, sizeof buffer);
        if (n <= 0)
            break;
        if (target.write(buffer, n) != n)
            break;
    }
    return true;
}

// Appends the bytes to the file.
void appendText(const QString& targetPath, const QByteArray& bytes)
{
    QFile target(targetPath);
    if (target.open(QIODevice::WriteOnly | QIODevice::Append))
        target.write(bytes);
}

} // namespace

int RunConsoleCommand(const QString& command) { return RunConsoleCommand(command, WorkingFolder()); }

int RunConsoleCommand(const QString& command, const QString& workingFolder)
{
    const ConsoleRun run = RunConsoleProgram({QStringLiteral("/bin/sh"), QStringLiteral("-c"), command}, workingFolder);
    return run.started ? run.exitCode : -1;
}

ConsoleRun RunConsoleProgram(const QStringList& arguments, const QString& folderPath, const QProcessEnvironment& added)
{
    std::lock_guard lock(g_runMutex);
    const QDir folder(folderPath.isEmpty() ? QDir::currentPath() : folderPath);
    const QString tmpPath = folder.filePath(QStringLiteral("console.tmp"));
    const QString logPath = folder.filePath(QStringLiteral("console.log"));
    ConsoleRun run;

    {
        // Open it here first so that a folder we cannot write to is reported
        // as such rather than as a process that failed to start.
        QFile tmp(tmpPath);
        if (!tmp.open(QIODevice::WriteOnly | QIODevice::Truncate) || arguments.isEmpty())
            return run;
    }

    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(tmpPath, QIODevice::Truncate);
    if (!added.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(added);
        process.setProcessEnvironment(environment);
    }
    process.start(arguments.front(), arguments.mid(1));
    if (!process.waitForStarted(-1)) {
        appendText(logPath, QStringLiteral("%1: %2\n").arg(arguments.front(), process.errorString()).toLocal8Bit());
        return run;
    }
    run.started = true;
    process.waitForFinished(-1);
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;

    QFile output(tmpPath);
    if (output.open(QIODevice::ReadOnly))
        run.output = output.read(kConsoleOutputKept);
    if (!appendFile(tmpPath, logPath))
        run.exitCode = -1;
    return run;
}

void AppendToConsoleLog(const QString& text)
{
    std::lock_guard lock(g_runMutex);
    const QDir folder(WorkingFolder().isEmpty() ? QDir::currentPath() : WorkingFolder());
    QFile log(folder.filePath(QStringLiteral("console.log")));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    log.write((QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss ")) + text + QLatin1Char('\n'))
                  .toUtf8());
}

} // namespace kalvor::platform
