#pragma once
// Files and folders that hold payroll (bases, their journals, copies, dumps,
// work files) are kept to their owner: files 0600, folders 0700, whatever the
// umask the program was started with.
#include <QString>

namespace kalvor::platform {

// Takes every right of the group and of others off the file or folder (a
// file 0644 becomes 0600, a folder 0755 becomes 0700); the owner's rights
// stay. True when it is private afterwards or does not exist. A symbolic
// link is left alone, and so is what it points to (false): only a real file
// or folder of that name is tightened.
bool MakePrivate(const QString& path);

// Removes a regular file of the user the program runs as; a link, a FIFO, a
// device or another user's file stays (false). True when it is gone or was
// never there.
bool RemoveOwnFile(const QString& path);

// Removes a folder of the program's own with everything in it; a link or a
// file of that name goes itself, never what a link points to. A folder of
// another user stays (false).
bool RemoveOwnTree(const QString& path);

// Makes a new folder 0700 (the folders above it as MakePrivateFolder does);
// false when anything of that name is there already, a link included.
bool MakeNewPrivateFolder(const QString& path);

// Makes an empty file readable and writable by its owner only; false (with
// errno's text in `error`) when it exists already or cannot be made.
bool CreatePrivateFile(const QString& path, QString* error = nullptr);

// Makes the folder and the folders above it that are missing, each one it
// makes 0700 (folders that were there keep their rights); true when the
// folder exists afterwards.
bool MakePrivateFolder(const QString& path);

// An exclusive lock (flock) on a file for the object's life: a temporary file
// that the program works on is held, so that the removal of the program's
// leftovers at another start passes it by. The operating system drops the
// lock with the process, so a crash leaves the file unheld.
class FileHold {
public:
    FileHold() = default;
    ~FileHold();
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;
    // Takes the lock of an existing file without waiting; false when the
    // file is missing, is no regular file of the user the program runs as
    // (a link, a FIFO, a device, another user's file), or another holder
    // has it.
    bool take(const QString& path);
    void release();

private:
    int m_fd = -1;
};

} // namespace kalvor::platform
