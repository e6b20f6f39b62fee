#include "infobase/SwapFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <vector>

namespace kalvor::infobase {

namespace {
QString withPath(const char* text, const QString& path)
{
    return QStringLiteral("%1 %2").arg(QString::fromUtf8(text), path);
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

void SwapFile::openFd(bool truncate)
{
    const QByteArray name = QFile::encodeName(path_);
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        throw InfoBaseError(withPath(OpenFileErrorText, path_));

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
    if (truncate && ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        throw InfoBaseError(withPath(OpenFileErrorText, path_));
    }
    fd_ = fd;
}

void SwapFile::create()
{
    if (fd_ >= 0) {
        if (::ftruncate(fd_, 0) != 0)
            throw InfoBaseError(withPath(OpenFileErrorText, path_));
        return;
    }
    openFd(true);
}

void SwapFile::open()
{
    if (fd_ >= 0)
        return;
    openFd(false);
}

void SwapFile::close()
{
    if (fd_ < 0)
        return;
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
        throw InfoBaseError(QString::fromUtf8(WriteFileErrorText));
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd_, bytes + done, std::size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw InfoBaseError(QString::fromUtf8(WriteFileErrorText));
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

void SwapFile::writeSlot(int slot, const EmployeeRecord& rec)
{
    char* buf = SlotBuffer();
    EmployeeRecordToSlot(rec, buf);
    writeAt(slotOffset(slot), buf, SlotSize);
}

void SwapFile::writeBlock(int slot, SlotBlock block, const EmployeeRecord& rec)
{
    char* buf = SlotBuffer();
    EmployeeRecordToSlot(rec, buf);
    const SlotRange r = SlotBlockRange(block);
    writeAt(slotOffset(slot) + qint64(r.offset), buf + r.offset, qint64(r.size));
}

bool SwapFile::readSlot(int slot, EmployeeRecord& rec)
{
    char* buf = SlotBuffer();
    if (!readAt(slotOffset(slot), buf, SlotSize))
        return false;
    EmployeeRecordFromSlot(buf, rec);
    return true;
}

bool SwapFile::readRows(int slot, AccrualRow* rows, int count)
{
    if (count < 0 || count > EmployeeRecord::RowCount)
        return false;
    std::vector<char> buf(std::size_t(count) * AccrualRow::Size);
    if (!readAt(slotOffset(slot) + RowsOffset, buf.data(), qint64(buf.size())))
        return false;
    RowsFromBytes(buf.data(), count, rows);
    return true;
}

bool SwapFile::readSlotBytes(int slot, char* bytes) { return readAt(slotOffset(slot), bytes, SlotSize); }

void SwapFile::writeSlotBytes(int slot, const char* bytes) { writeAt(slotOffset(slot), bytes, SlotSize); }

} // namespace kalvor::infobase
