#pragma once
// The one way the program writes a file (a form, a statement, an export, a
// copy, a settings file): the bytes go to a new temporary file in the
// target's folder, made readable and writable by its owner only (0600), and
// that file takes the target's name in one rename when everything is
// written. Whatever stood at the name is replaced by the new file: a
// symbolic link planted there is itself replaced, never written through, so
// the file it points to stays as it was; a folder or a name the user may not
// replace is refused with its reason. A run that fails or is stopped leaves
// the old file as it was and no temporary file behind. fileName() is the
// target's name throughout.
//
// The temporary file is named "<target>.kalvor-XXXXXX" and held by an
// exclusive lock (flock) from its making until it has taken the target's
// name, so that the removal of what a killed writer left
// (RemoveUnheldTemporaries, at start-up) passes by a file that a running
// writer, of this program or of another Kalvor, still holds. After the rename
// the folder is synced too, so that after a power cut the file is found under
// its new name; a folder that cannot be synced leaves the write made, with a
// warning (warning(), and a line in the console log). A disk that fills is
// said so ("Недостаточно места на диске"), a folder that cannot be written as
// such, not as an unknown error.
#include "platform/FileFailure.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace kalvor::platform {

class SavedFile : public QFile {
public:
    explicit SavedFile(const QString& target);
    ~SavedFile() override; // an uncommitted temporary file goes
    SavedFile(const SavedFile&) = delete;
    SavedFile& operator=(const SavedFile&) = delete;

    // Makes the temporary file (write only); false with the reason in
    // errorString() when the folder does not take it.
    bool open(OpenMode mode) override;
    // Writes what is buffered to the disk and puts the file at the target's
    // name; false (the temporary file removed, the target as it was) when a
    // write failed, the writing was cancelled or the rename is refused.
    bool commit();
    // After a commit that put the file in place but could not sync its
    // folder: what to tell the user ("Файл … записан, но папка … не сброшена
    // на диск: …"), also appended to the console log; empty otherwise.
    const QString& warning() const { return m_warning; }
    // The target's name, before and after the opening alike.
    QString fileName() const override { return m_target; }
    // Drops what was written: the next commit fails and the target stays.
    void cancelWriting();
    // The FileErrorKind of the failure: FILE_ERROR_DISK_FULL when the disk
    // (or the user's quota) was full, FILE_ERROR_OPEN when the file could not
    // be made, FILE_ERROR_WRITE for any other failure.
    int failureKind() const;
    // The message of the failure, naming the file and why: "Ошибка записи в
    // файл <target>" and, on a line of its own, the reason
    // ("Недостаточно места на диске", "Нет прав на запись в папку /x").
    QString failureText() const;
    // The open temporary file's name, for a library that writes a file only
    // by its name (a workbook, a PDF): what it writes there is what commit()
    // puts at the target. Empty while the file is not open.
    const QString& temporaryName() const { return m_temporary; }

protected:
    // The bytes gather in a buffer of the writer's own and go to the file in
    // blocks, so that a failed write keeps its reason (the buffer of QFile
    // lost it when a block went in part).
    qint64 writeData(const char* data, qint64 length) override;

private:
    bool fail(const QString& reason);
    bool failWith(int error);
    bool drainBuffer();
    void dropTemporary();

    QString m_target;
    QString m_temporary;
    QByteArray m_buffer;
    QString m_warning;
    int m_writeErrno = 0; // the errno of the first failed write
    bool m_opened = false; // the temporary file was made
    bool m_cancelled = false;
};

// Removes from the folder the temporary files of SavedFile's naming that no
// running writer holds: what a killed write left. Only regular files of the
// user the program runs as are removed; a file held by a writer (of this or
// another running program), a link, or another user's file stays. Returns how
// many were removed.
int RemoveUnheldTemporaries(const QString& folder);

// The message of a failed write to the device: a SavedFile's failureText(),
// another file's "Ошибка записи в файл <name>" and the reason it gave, and
// for a device that is no file the reason alone after "Ошибка записи в файл".
QString WriteFailureOf(const QIODevice& device);

// Writes the bytes as the file's whole content through SavedFile; false with
// the failure's message (failureText(): the file and why) in `error` (when given).
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// The same, the failure told as a FileErrorKind: 0 when written,
// FILE_ERROR_OPEN when the file cannot be made, FILE_ERROR_DISK_FULL when the
// disk is full, FILE_ERROR_WRITE when the bytes do not reach it otherwise or it
// does not take the name.
int WriteWholeFileKind(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace kalvor::platform
