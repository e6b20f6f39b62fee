#include "platform/DocumentOpener.h"

#include "platform/CommandLine.h"

#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace kalvor::platform {
namespace {

QMutex& commandMutex()
{
    static QMutex m;
    return m;
}

QString& commandValue()
{
    static QString command = DocumentOpener::DefaultCommand();
    return command;
}

// Where the program of the command lies, or an empty string when it cannot be
// found or is not executable.
QString locateProgram(const QString& program)
{
    if (program.contains(QLatin1Char('/'))) {
        QFileInfo info(program);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(program);
}

} // namespace

QString DocumentOpener::DefaultCommand() { return QStringLiteral("libreoffice"); }

QString DocumentOpener::Command()
{
    QMutexLocker lock(&commandMutex());
    return commandValue();
}

void DocumentOpener::SetCommand(const QString& command)
{
    QMutexLocker lock(&commandMutex());
    commandValue() = command;
}

QString DocumentOpener::Open(const QString& documentPath)
{
    const QString document = QFileInfo(documentPath).absoluteFilePath();
    QStringList args = SplitCommandLine(Command());
    if (args.isEmpty())
        return QStringLiteral("Не задана команда открытия документов.\nДокумент сохранен в файле %1").arg(document);

    const QString program = args.takeFirst();
    const QString found = locateProgram(program);
    if (found.isEmpty())
        return QStringLiteral("Не найдена программа просмотра документов \"%1\".\nДокумент сохранен в файле %2")
            .arg(program, document);

    args << document;
    if (!QProcess::startDetached(found, args))
        return QStringLiteral(
                   "Не удалось запустить программу просмотра документов \"%1\".\nДокумент сохранен в файле %2")
            .arg(program, document);
    return QString();
}

} // namespace kalvor::platform
