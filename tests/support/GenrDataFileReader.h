#pragma once
// Reads back a report data file the program wrote, whole, by the program's
// own checks (ParseGenrDataFile): OpenFailed for a file that cannot be
// opened, ReadFailed for one that cannot be read, else what the checks say.
#include "reports/social/GenrDataFile.h"

#include <QFile>
#include <QFileInfo>

namespace kalvor::reports {

inline GenrReadStatus ReadGenrDataFile(const QString& path, int tag, const GenrDataHeader* first, GenrDataFile& file,
                                       QString* refusal = nullptr)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return GenrReadStatus::OpenFailed;
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return GenrReadStatus::ReadFailed;
    return ParseGenrDataFile(bytes, tag, first, file, QFileInfo(path).fileName(), refusal);
}

} // namespace kalvor::reports
