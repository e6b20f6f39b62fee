#pragma once
// The console log of a folder ("console.log"): appended line by line, never
// through a link, kept to its owner (0600) and to about kConsoleLogLimit
// bytes. A symbolic link at the log's name is removed (the file it points to
// stays) and a new log begins there; a name that is no regular file of the
// user the program runs as (a folder, another user's file, a FIFO) is not
// written. A full log is kept as "console.log.1", replacing what stands there
// when that is the user's own file or a link; anything else there (a folder,
// another user's file) stays, and the log begins anew with a line saying why
// the old one could not be kept.
#include <QByteArray>
#include <QString>

namespace kalvor::platform {

// The size at which the log begins anew.
inline constexpr qint64 kConsoleLogLimit = 4 * 1024 * 1024;

// Appends the bytes to the folder's console log; false when it cannot be
// written (the caller's work goes on as it would: the log is no part of it).
bool AppendToFolderLog(const QString& folder, const QByteArray& bytes);

// A line of the program's own for the log: the date and time, the text, the
// line's end (UTF-8).
QByteArray DatedLogLine(const QString& text);

} // namespace kalvor::platform
