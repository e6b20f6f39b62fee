#include "platform/FileCopy.h"

#include "platform/SavedFile.h"

#include <QFile>

namespace kalvor::platform {

bool CopyFileReplacing(const QString& from, const QString& to)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    SavedFile out(to);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    while (!in.atEnd()) {
        const QByteArray block = in.read(1 << 16);
        if (block.isEmpty() && in.error() != QFile::NoError)
            return false;
        if (out.write(block) != block.size())
            return false;
    }
    return out.commit();
}

} // namespace kalvor::platform
