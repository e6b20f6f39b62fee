#pragma once
// The "swap" work file: one EmployeeRecord slot of 48,623 bytes per record
// slot, slot n at (n - 1) x 48,623, the row block at +47,237 within it.
//
// All bases of a working folder share the one file, so while it is open the
// file is locked exclusively (flock): a second run, in this program or in
// another, waits for the first to close it instead of mixing its slots in.
//
// Making the file anew (create) does not truncate it: freeing every block of
// a file of tens of megabytes and allocating them again as the run writes
// cost more than the writes themselves. The run sees the file as a truncated
// one would be all the same: a slot not written since create reads as zeros
// (the hole of a truncated file), a read past the last byte written fails as
// a short read. close() then makes the file itself that file (cut after the
// last byte written, holes punched where nothing was written) before it lets
// the file go, so that whoever opens it next finds exactly that.
#include "infobase/BySlot.h"
#include "infobase/EmployeeRecord.h"

#include <QString>

#include <stdexcept>
#include <vector>

namespace kalvor::infobase {

// A failure carried as the system's message text ("Ошибка при открытии файла
// <path>", "Ошибка чтения файла", ...).
class InfoBaseError : public std::runtime_error {
public:
    explicit InfoBaseError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

inline const char* const OpenFileErrorText = "Ошибка при открытии файла";
inline const char* const LockFileErrorText = "Ошибка захвата файла";
inline const char* const ReadFileErrorText = "Ошибка чтения файла";
inline const char* const WriteFileErrorText = "Ошибка записи в файл";

class SwapFile {
public:
    static constexpr qint64 SlotSize = qint64(EmployeeRecord::SlotSize);
    static constexpr qint64 RowsOffset = qint64(EmployeeRecord::RowsOffset);
    // The accrual pass re-reads the first 64 rows of the block.
    static constexpr int PassRowCount = 64;

    explicit SwapFile(QString path = QStringLiteral("swap"));
    ~SwapFile();
    SwapFile(const SwapFile&) = delete;
    SwapFile& operator=(const SwapFile&) = delete;

    const QString& path() const { return path_; }
    void setPath(const QString& path);
    // How long open/create wait for another run to release the file (ms).
    void setLockTimeout(int ms) { lockTimeoutMs_ = ms; }

    static qint64 slotOffset(int slot) { return qint64(PlaceOfNumber(slot)) * SlotSize; }

    // Makes the file empty as the run sees it (see above), opening it when
    // closed. Throws InfoBaseError "Ошибка при открытии файла <path>" with
    // why on a line of its own (no right to write the folder ...), or
    // "Ошибка захвата файла <path>" when another run holds it past the timeout.
    void create();
    // Opens it for reading and writing, creating it when missing; does nothing when open.
    void open();
    // Closes it; after a create(), the file is first made the truncated one.
    void close();
    bool isOpen() const { return fd_ >= 0; }

    // Writes the whole record into its slot. Throws "Ошибка записи в файл
    // <path>" with why on a line of its own ("Недостаточно места на диске").
    void writeSlot(int slot, const EmployeeRecord& rec);
    // Reads the slot into rec; false on a short read (rec is then left as it was).
    bool readSlot(int slot, EmployeeRecord& rec);
    // Reads `count` rows of the slot's row block; false on a short read.
    bool readRows(int slot, AccrualRow* rows, int count = PassRowCount);

private:
    void openFd();
    bool readAt(qint64 offset, char* bytes, qint64 size);
    void writeAt(qint64 offset, const char* bytes, qint64 size);
    bool slotWritten(int slot) const;
    // Reads within one slot and writes a whole slot, seen as the file since create().
    bool readInSlot(int slot, qint64 from, char* bytes, qint64 size);
    void writeWholeSlot(int slot, const char* bytes);
    // Makes the file what a truncation at create() and this run's writes
    // would have left.
    void settleFreshFile();

    QString path_;
    int fd_ = -1;
    int lockTimeoutMs_ = 10000;
    // Since create(): the slots written (by SlotPlace) and the end of the last
    // byte written; off when the file was opened as it stands.
    bool fresh_ = false;
    std::vector<bool> written_;
    qint64 freshEnd_ = 0;
};

} // namespace kalvor::infobase
