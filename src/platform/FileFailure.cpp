#include "platform/FileFailure.h"

#include "platform/FileDescriptor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kalvor::platform {

QString WriteFailureText(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT: return QStringLiteral("Недостаточно места на диске");
    case EACCES:
    case EPERM: return QStringLiteral("Нет прав на запись");
    case EROFS: return QStringLiteral("Диск доступен только для чтения");
    case EISDIR: return QStringLiteral("На месте файла находится папка");
    case EIO: return QStringLiteral("Ошибка ввода-вывода");
    default: return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString FolderFailureText(int error, const QString& folder)
{
    const QString shown = QDir::toNativeSeparators(folder.isEmpty() ? QStringLiteral(".") : folder);
    switch (error) {
    case EACCES:
    case EPERM: return QStringLiteral("Нет прав на запись в папку %1").arg(shown);
    case EROFS: return QStringLiteral("Папка %1 доступна только для чтения").arg(shown);
    case ENOENT:
    case ENOTDIR: return QStringLiteral("Папка %1 не найдена").arg(shown);
    case EAGAIN:
        return QStringLiteral("Временный файл в папке %1 удаляется другой программой при каждой попытке его создать")
            .arg(shown);
    default: return WriteFailureText(error);
    }
}

QString ReadFailureText(int error)
{
    switch (error) {
    case ENOENT: return QStringLiteral("Файл не найден");
    case ENOTDIR: return QStringLiteral("Папка файла не найдена");
    case EACCES:
    case EPERM: return QStringLiteral("Нет прав на чтение");
    case EISDIR: return QStringLiteral("На месте файла находится папка");
    case EIO: return QStringLiteral("Ошибка ввода-вывода");
    default: return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString FileFailureText(const QString& heading, const QString& path, const QString& reason)
{
    const QString named = QStringLiteral("%1 %2").arg(heading, QDir::toNativeSeparators(path));
    return reason.isEmpty() ? named : named + QLatin1Char('\n') + reason;
}

bool SyncFolder(const QString& folder)
{
    const FileDescriptor fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid())
        return false;
    return ::fsync(fd.get()) == 0 || errno == EINVAL;
}

namespace {

// "Файл … записан, но папка … не сброшена на диск: …" for the errno of the
// folder's failed opening or sync.
QString NotSyncedText(const QString& file, const QString& folder, int error)
{
    // A folder that may be written but not read cannot be opened to sync.
    const QString why = error == EACCES ? QStringLiteral("нет прав на чтение папки") : WriteFailureText(error);
    return QStringLiteral("Файл %1 записан, но папка %2 не сброшена на диск: %3").arg(file, folder, why);
}

} // namespace

QString FolderSyncWarning(const QString& file)
{
    const QString folder = QFileInfo(file).path();
    return SyncFolder(folder) ? QString() : NotSyncedText(file, folder, errno);
}

QString FolderOpenWarning(const QString& file)
{
    const QString folder = QFileInfo(file).path();
    const FileDescriptor fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.valid() ? QString() : NotSyncedText(file, folder, errno);
}

} // namespace kalvor::platform
