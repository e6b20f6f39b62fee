#include "platform/FileCopy.h"

#include "platform/SavedFile.h"
#include "platform/TaskThread.h"

#include <QFile>

namespace kalvor::platform {

namespace {

bool Failed(QString* error, int kind, const QString& path, const QString& reason)
{
    if (error)
        *error = FileFailureText(FileErrorKindText(kind), path, reason);
    return false;
}

} // namespace

bool CopyFileReplacing(const QString& from, const QString& to, QString* error)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return Failed(error, FILE_ERROR_OPEN, from, in.errorString());
    SavedFile out(to);
    if (!out.open(QIODevice::WriteOnly))
        return Failed(error, FILE_ERROR_WRITE, to, out.errorString());
    while (!in.atEnd()) {
        const QByteArray block = in.read(1 << 16);
        if (block.isEmpty() && in.error() != QFile::NoError)
            return Failed(error, FILE_ERROR_READ, from, in.errorString());
        if (out.write(block) != block.size())
            return Failed(error, FILE_ERROR_WRITE, to, out.errorString());
    }
    return out.commit() || Failed(error, FILE_ERROR_WRITE, to, out.errorString());
}

} // namespace kalvor::platform
