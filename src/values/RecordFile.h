#pragma once
// Sorted fixed-size records in a dBASE file (the 533-byte records of the output
// file): finding a personnel number and opening room for a new record.
// Read and write failures throw TextError ("Ошибка чтения файла",
// "Ошибка записи в файл").
#include <QIODevice>

namespace kalvor {

constexpr int kOutputFileRecordSize = 533;

// Result of FindRecordInFile: found -> index of the record; not found -> the
// position at which a record with that number belongs (0..count).
struct FileRecordSearch {
    bool found = false;
    qint64 index = 0;
};
// Binary search over `count` records of 533 bytes after a header of
// `headerLength` bytes, sorted by the personnel number that the 4 characters
// after the deletion flag hold (read like atoi).
FileRecordSearch FindRecordInFile(int tabN, qint64 count, qint64 headerLength, QIODevice& file);
// The personnel number of record `index` (the 4 characters after the deletion
// flag, read like atoi).
int RecordNumberInFile(qint64 index, qint64 headerLength, QIODevice& file);
// Moves everything from offset `from` to the end of the file to offset `to`, in
// chunks of 8,000 bytes, in an order that never overwrites bytes not yet moved.
void MoveFileTail(qint64 from, qint64 to, QIODevice& file);

} // namespace kalvor
