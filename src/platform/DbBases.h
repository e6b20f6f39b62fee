#pragma once
// The database layer's whole bases: a copy of a base into a file (a backup
// of a base file, a server's dump) and a server's restore of one, and the
// databases of a server made (TemporaryServerBase), renamed and dropped.
#include <QSqlDatabase>
#include <QString>

#include <memory>

namespace kalvor::db {

// Copies the whole base behind the connection into a new file (a consistent
// snapshot, also while other connections write). The target must not exist.
// A server base is written by the server's pg_dump in its own archive format.
// A disk that fills throws "Ошибка записи в файл <target>" with
// "Недостаточно места на диске" as the description; nothing of the copy stays.
void BackupTo(const QSqlDatabase& db, const QString& targetFile);
// The same for the base file: through the calling thread's connection to it,
// which is closed again afterwards (also after a failure) unless it was open
// before.
void BackupFileTo(const QString& baseFile, const QString& targetFile);

// Whether the server has the database: asked by connecting to it, so that
// no other database need be reachable; every failure but the server's answer
// that there is no such database is thrown.
bool ServerBaseExists(const QString& database);

// pg_dump of the database into an archive file; pg_restore of such a file
// into a new database. A missing tool or its failure is a DbError. The tool
// runs as the print commands do (platform::RunConsoleProgram: a process group
// of its own, waited in slices): the calling worker's stop ends it at once,
// also while the server does not answer, with E_DB_STOPPED; a dump stopped or
// failed leaves no file.
void DumpServerBase(const QString& database, const QString& targetFile);
void RestoreServerBase(const QString& archiveFile, const QString& database);

// Said of a temporary base's rename to the base's name (%1) cut before its
// answer came, while the server does not say whether it made it.
inline constexpr const char* kRenameNotKnownText =
    "Связь с сервером базы данных прервана, когда переименование восстановленной базы данных в %1 уже было "
    "отправлено. Восстановлена ли база данных, пока не известно: сервер не ответил. Когда сервер ответит, "
    "выберите базу данных снова: если ее нет, восстановите ее еще раз.";

// A new, empty database for a base of that name to be built in before it
// takes the name: "~<eight random hex digits>~" and the base's name cut to
// the server's 63 bytes. "~" is not a letter of a base's name, so no base can
// have such a name, and the database is this object's own. From before the
// database is made until it is renamed or dropped, the object holds a lock
// of the server's (an advisory lock on the maintenance database, its key the
// eight digits) on a session of its own, so that no other workstation's
// cleanup drops it meanwhile, also while no session is connected to it (a
// restore's tool not started yet, or ended before the rename). The session
// is the building thread's (shut by its stop, ServerStopScope).
class TemporaryServerBase {
public:
    // Makes the database; throws DbError.
    explicit TemporaryServerBase(const QString& database);
    // Lets the lock go; a database neither renamed nor dropped stays on the
    // server, for a later cleanup (DropLeftoverServerBases).
    ~TemporaryServerBase();
    TemporaryServerBase(const TemporaryServerBase&) = delete;
    TemporaryServerBase& operator=(const TemporaryServerBase&) = delete;

    const QString& name() const;
    // Gives it the base's name (the calling thread's connection to it closed
    // first), then lets the lock go; throws DbError. A rename whose answer a
    // stop or a lost connection cut is asked of the server (as
    // AskCommitOutcome asks): made, it returns; otherwise it throws, with
    // kRenameNotKnownText while the server does not say.
    void renameTo(const QString& database);
    // Drops it, then lets the lock go; throws DbError. Each throws at once
    // after the calling worker's stop.
    void drop();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
// Drops the temporary databases of that naming that a stopped or killed
// making or restoring of a base left on the server: those whose lock it can
// take (nobody builds them any more) and with no session. One still being
// built on another workstation stays, as does one the login may not drop.
// Failures are not thrown: what is left is tried again next time.
void DropLeftoverServerBases();
// Dropping and renaming databases run on the server's maintenance database
// "postgres", as the server requires.
// Drops the database; it must have no connections left (the calling thread's
// own are closed first).
void DropServerBase(const QString& database);
void RenameServerBase(const QString& from, const QString& to);

} // namespace kalvor::db
