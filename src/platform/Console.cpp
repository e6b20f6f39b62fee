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

} // namespace

int RunConsoleCommand(const QString& command) { return RunConsoleCommand(command, WorkingFolder()); }

int RunConsoleCommand(const QString& command, const QString& workingFolder)
{
    std::lock_guard lock(g_runMutex);
    const QDir folder(workingFolder.isEmpty() ? QDir::currentPath() : workingFolder);
    const QString tmpPath = folder.filePath(QStringLiteral("console.tmp"));
    const QString logPath = folder.filePath(QStringLiteral("console.log"));

    {
        // Open it here first so that a folder we cannot write to is reported
        // as such rather than as a process that failed to start.
        QFile tmp(tmpPath);
        if (!tmp.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return -1;
    }

    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(tmpPath, QIODevice::Truncate);
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    if (!process.waitForStarted(-1))
        return -1;
    process.waitForFinished(-1);
    const int exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;

    if (!appendFile(tmpPath, logPath))
        return -1;
    return exitCode;
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
