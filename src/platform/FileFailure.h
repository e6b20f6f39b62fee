#pragma once
// Why a file could not be written, said in Russian where the user may act on
// it, and the message that names the file with that reason; the sync of the
// folder a file was written into, and the warning when it cannot be made.
#include <QString>

namespace kalvor::platform {

// The text of a failed write's errno, in Russian where the user may act on
// it: a full disk or quota as "Недостаточно места на диске", no right to
// write, a read-only disk, a folder at the file's name; any other as the
// system says it.
QString WriteFailureText(int error);
// The same for a file that could not be made in the folder (or a folder that
// could not be opened): no right to write there, a read-only or missing folder
// said with the folder's name ("Нет прав на запись в папку /x").
// A folder whose temporary files another program kept removing (EAGAIN) is
// said as such.
QString FolderFailureText(int error, const QString& folder);
// The text of a failed read's errno: a missing file, no right to read it,
// a folder at the file's name, a failing disk; any other as the system says it.
QString ReadFailureText(int error);
// The message of a file that could not be read, made or written: the heading,
// the file's name and, on a line of its own, why ("Ошибка записи в файл
// /x/post" and "Недостаточно места на диске").
QString FileFailureText(const QString& heading, const QString& path, const QString& reason);

// Syncs the folder's entries to the disk (after a rename into it, a file's
// new name survives a power cut only so); false with errno set when the
// folder cannot be opened or synced. A file system that cannot sync a folder
// (EINVAL) counts as synced.
bool SyncFolder(const QString& folder);
// Syncs the folder of a file just written; empty when it is synced, else what
// to tell the user: "Файл … записан, но папка … не сброшена на диск: …".
QString FolderSyncWarning(const QString& file);
// The same words for a folder that cannot even be opened to sync (one the
// user may write but not read), found without syncing it: no wait on the
// disk, so a line said on the user-interface thread may ask it.
QString FolderOpenWarning(const QString& file);

} // namespace kalvor::platform
