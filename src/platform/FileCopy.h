#pragma once
// Copying a file so that the target is never half written: the bytes go to a
// temporary file beside the target, which replaces it in one rename when the
// copy is complete.
#include <QString>

namespace kalvor::platform {

// Copies `from` over `to` (made or replaced). Returns false, leaving any old
// `to` as it was, when the source cannot be read or the target written; the
// message then names the file and why ("Ошибка записи в файл <to>" and
// "Недостаточно места на диске"), in `error` when given.
bool CopyFileReplacing(const QString& from, const QString& to, QString* error = nullptr);

} // namespace kalvor::platform
