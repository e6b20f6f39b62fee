#include "infobase/SwapFile.h"

#include "platform/FileFailure.h"
#include "platform/PrivateFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace kalvor::infobase {

namespace {
QString withPath(const char* text, const QString& path)
{
    return QStringLiteral("%1 %2").arg(QString::fromUtf8(text), path);
}

// The message of a failed write or opening: the file named and why.
QString withReason(const char* text, const QString& path, const QString& reason)
{
    return platform::FileFailureText(QString::fromUtf8(text), path, reason);
}
} // namespace

SwapFile::SwapFile(QString path) : path_(std::move(path)) {}

SwapFile::~SwapFile() { close(); }

void SwapFile::setPath(const QString& path)
{
    if (path == path_)
        return;
    close();
    path_ = path;
}

void SwapFile::openFd()
{
    const QByteArray name = QFile::encodeName(path_);
    // The work file holds employees' records: their owner's alone, also
    // when an earlier run made it readable by others.
    const bool existed = QFileInfo::exists(path_);
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        // A file that was not there could not be made: the folder is why.
        const int error = errno;
        throw InfoBaseError(withReason(OpenFileErrorText, path_,
                                       existed ? platform::WriteFailureText(error)
                                               : platform::FolderFailureText(error, QFileInfo(path_).path())));
    }
    if (!platform::MakePrivate(path_)) {
        const int error = errno;
        ::close(fd);
        throw InfoBaseError(withReason(OpenFileErrorText, path_, platform::WriteFailureText(error)));
    }

    // Wait for another run to close the file, polling so that a stuck holder
    // ends in a message instead of a hang.
    QElapsedTimer timer;
    timer.start();
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            ::close(fd);
            throw InfoBaseError(withPath(LockFileErrorText, path_));
        }
        if (timer.elapsed() >= lockTimeoutMs_) {
            ::close(fd);
            throw InfoBaseError(withPath(LockFileErrorText, path_));
        }
        QThread::msleep(20);
    }
    fd_ = fd;
}

void SwapFile::create()
{
    if (fd_ < 0)
        openFd();
    // Empty from now on as the run sees it; the file itself follows at close().
    fresh_ = true;
    written_.clear();
    freshEnd_ = 0;
}

void SwapFile::open()
{
    if (fd_ >= 0)
        return;
    openFd();
}

void SwapFile::close()
{
    if (fd_ < 0)
        return;
    if (fresh_)
        settleFreshFile();
    fresh_ = false;
    written_.clear();
    freshEnd_ = 0;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

bool SwapFile::readAt(qint64 offset, char* bytes, qint64 size)
{
    if (fd_ < 0 || offset < 0)
        return false;
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd_, bytes + done, std::size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

void SwapFile::writeAt(qint64 offset, const char* bytes, qint64 size)
{
    if (fd_ < 0 || offset < 0)
        throw InfoBaseError(withPath(WriteFileErrorText, path_));
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd_, bytes + done, std::size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) // a write that takes nothing: the disk is full
            throw InfoBaseError(
                withReason(WriteFileErrorText, path_, platform::WriteFailureText(n < 0 ? errno : ENOSPC)));
        done += n;
    }
}

namespace {

// One slot's bytes, kept by the thread between the reads and writes of a run
// instead of allocated for each slot.
char* SlotBuffer()
{
    thread_local std::vector<char> buffer(static_cast<std::size_t>(SwapFile::SlotSize));
    return buffer.data();
}

} // namespace

bool SwapFile::slotWritten(int slot) const
{
    return SlotInRange(slot, written_.size()) && written_[SlotPlace(slot, written_.size())];
}

bool SwapFile::readInSlot(int slot, qint64 from, char* bytes, qint64 size)
{
    if (fresh_) {
        if (slot < 1 || slotOffset(slot) + from + size > freshEnd_)
            return false; // past the end of what a truncated file would hold
        if (!slotWritten(slot)) {
            std::memset(bytes, 0, std::size_t(size)); // a hole
            return true;
        }
    }
    return readAt(slotOffset(slot) + from, bytes, size);
}

void SwapFile::writeWholeSlot(int slot, const char* bytes)
{
    writeAt(slotOffset(slot), bytes, SlotSize);
    if (!fresh_)
        return;
    if (written_.size() < std::size_t(slot))
        written_.resize(std::size_t(slot), false);
    written_[SlotPlace(slot, written_.size())] = true;
    freshEnd_ = std::max(freshEnd_, slotOffset(slot) + SlotSize);
}

void SwapFile::settleFreshFile()
{
    // Nothing past the last byte written.
    if (::ftruncate(fd_, off_t(freshEnd_)) != 0)
        return;
    // Zeros where nothing was written: holes punched, or zeros written on a
    // file system that punches none.
    const int slotCount = int(freshEnd_ / SlotSize + (freshEnd_ % SlotSize != 0 ? 1 : 0));
    for (int slot = 1; slot <= slotCount; ++slot) {
        if (slotWritten(slot))
            continue;
        int last = slot;
        while (last < slotCount && !slotWritten(last + 1)) ++last;
        const qint64 from = slotOffset(slot);
        const qint64 to = std::min(slotOffset(last + 1), freshEnd_);
        if (::fallocate(fd_, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, off_t(from), off_t(to - from)) != 0) {
            const std::vector<char> zeros(static_cast<std::size_t>(SlotSize), '\0');
            try {
                for (qint64 at = from; at < to; at += SlotSize) writeAt(at, zeros.data(), std::min(SlotSize, to - at));
            } catch (const InfoBaseError&) {
                return; // closing goes on; the next run makes the file anew
            }
        }
        slot = last;
    }
}

void SwapFile::writeSlot(int slot, const EmployeeRecord& rec)
{
    char* buf = SlotBuffer();
    EmployeeRecordToSlot(rec, buf);
    writeWholeSlot(slot, buf);
}

bool SwapFile::readSlot(int slot, EmployeeRecord& rec)
{
    char* buf = SlotBuffer();
    if (!readInSlot(slot, 0, buf, SlotSize))
        return false;
    EmployeeRecordFromSlot(buf, rec);
    return true;
}

bool SwapFile::readRows(int slot, AccrualRow* rows, int count)
{
    if (count < 0 || count > EmployeeRecord::RowCount)
        return false;
    std::vector<char> buf(std::size_t(count) * AccrualRow::Size);
    if (!readInSlot(slot, RowsOffset, buf.data(), qint64(buf.size())))
        return false;
    RowsFromBytes(buf.data(), count, rows);
    return true;
}

} // namespace kalvor::infobase
