#include "platform/FileCopy.h"

#include "platform/SavedFile.h"
#include "platform/TaskThread.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace kalvor::platform {

namespace {

bool Failed(QString* error, int kind, const QString& path, const QString& reason)
{
    if (error)
        *error = FileFailureText(FileErrorKindText(kind), path, reason);
    return false;
}

// Why the source could not be opened or read: the errno the failed step
// left, in Russian; a folder at the name (which the file layer refuses
// without one); else what the file layer said.
QString ReadReason(const QFile& in, int error)
{
    if (error == 0 && QFileInfo(in.fileName()).isDir())
        error = EISDIR;
    return error != 0 ? ReadFailureText(error) : in.errorString();
}

bool WriteFailed(QString* error, const SavedFile& out)
{
    if (error)
        *error = out.failureText();
    return false;
}

} // namespace

bool CopyFileReplacing(const QString& from, const QString& to, QString* error)
{
    QFile in(from);
    errno = 0;
    if (!in.open(QIODevice::ReadOnly))
        return Failed(error, FILE_ERROR_OPEN, from, ReadReason(in, errno));
    SavedFile out(to);
    if (!out.open(QIODevice::WriteOnly))
        return WriteFailed(error, out);
    while (!in.atEnd()) {
        errno = 0;
        const QByteArray block = in.read(1 << 16);
        if (block.isEmpty() && in.error() != QFile::NoError)
            return Failed(error, FILE_ERROR_READ, from, ReadReason(in, errno));
        if (out.write(block) != block.size())
            return WriteFailed(error, out);
    }
    return out.commit() || WriteFailed(error, out);
}

} // namespace kalvor::platform
