#include "platform/FileFailure.h"

#include <QDir>

#include <cerrno>
#include <cstring>

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

} // namespace kalvor::platform
