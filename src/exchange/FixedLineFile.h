#pragma once
// Text files of fixed-size lines that the user edits in a grid and other
// programs read by position: each line is its characters followed by CR LF,
// with no header and no count.
#include <QByteArray>
#include <QString>

#include <vector>

namespace kalvor::exchange {

// Reads whole lines of lineSize bytes (CR LF included) from the start of the
// file, at most maxLines of them; a trailing part shorter than a line is
// ignored and no line end is looked for. A missing file is created empty
// first. Throws TextError naming the file ("Ошибка при открытии файла <path>",
// or the failed write's file and why) when it can be neither opened nor created.
std::vector<QByteArray> ReadFixedLines(const QString& path, int lineSize, int maxLines);

// Writes each line's first textSize characters (blank-padded when shorter)
// followed by CR LF, under a temporary name renamed over the file at the end,
// so that a failure leaves the old file as it was. Throws
// TextError("Ошибка записи в файл <path>" and why, on a line of its own).
void WriteFixedLines(const QString& path, const std::vector<QByteArray>& lines, int textSize);

} // namespace kalvor::exchange
