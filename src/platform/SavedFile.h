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
    // The target's name, before and after the opening alike.
    QString fileName() const override { return m_target; }
    // Drops what was written: the next commit fails and the target stays.
    void cancelWriting();
    // The open temporary file's name, for a library that writes a file only
    // by its name (a workbook, a PDF): what it writes there is what commit()
    // puts at the target. Empty while the file is not open.
    const QString& temporaryName() const { return m_temporary; }

private:
    bool fail(const QString& reason);
    void dropTemporary();

    QString m_target;
    QString m_temporary;
    bool m_cancelled = false;
};

// Writes the bytes as the file's whole content through SavedFile; false with
// the reason in `error` (when given).
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// The same, the failure told as a FileErrorKind: 0 when written,
// FILE_ERROR_OPEN when the file cannot be made, FILE_ERROR_WRITE when the
// bytes do not reach it or it does not take the name.
int WriteWholeFileKind(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace kalvor::platform
