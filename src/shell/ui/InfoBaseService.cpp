#include "shell/ui/InfoBaseService.h"

#include "infobase/InfoBaseDb.h"
#include "infobase/Password.h"
#include "platform/Db.h"
#include "platform/DbBases.h"
#include "platform/GuiBridge.h"
#include "platform/WorkingFolder.h"
#include "shell/ui/KalvorMessageBox.h"
#include "values/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <optional>

namespace ib = kalvor::infobase;
namespace db = kalvor::db;

namespace {

const QString kSuffix = QStringLiteral(".sqlite");

// A restore's failure: a refusal of the base is said as refusals are (what
// was refused and the base's own line, never the statement), the server's
// failures met as they are (a cut line) as every path says them, both under
// the restore's heading; any other error by its message and description.
BaseFailure RestoreFailure(const db::DbError& e)
{
    if (db::IsRefusal(e) || kalvor::SaidOfTheServerInRussianAlone(e))
        return BaseFailure::From(e);
    return BaseFailure::Plain(e.message() + QLatin1Char('\n') + e.description());
}

} // namespace

InfoBaseService::InfoBaseService(ib::CInfoBase& infoBase, const QString& folder)
    : m_infoBase(infoBase)
    , m_folder(kalvor::platform::WithSeparator(folder))
    , m_owner(QThread::currentThread())
    , m_notices(std::make_unique<QObject>())
{}

InfoBaseService::~InfoBaseService() { Close(); }

bool InfoBaseService::Exists(const QString& name)
{
    // A server that cannot be asked is not said to lack the base: the
    // opening then tells why it cannot be reached.
    try {
        return ib::BaseExists(m_folder, name);
    } catch (const db::DbError&) {
        return true;
    }
}

QString BaseHeldText(const QString& name) { return ib::BaseHeldText(name); }

BaseFailure InfoBaseService::TakeLock(const QString& name, kalvor::platform::BaseLock& lock)
{
    const QString file = ib::BaseFilePath(m_folder, name);
    for (kalvor::platform::BaseLock* held : {&m_lock, &m_infoBase.lock}) {
        if (held->held() && held->baseFile() == file) {
            lock = std::move(*held);
            return {};
        }
    }
    switch (lock.acquire(file)) {
    case kalvor::platform::BaseLock::Result::Taken: return {};
    case kalvor::platform::BaseLock::Result::HeldElsewhere: return BaseFailure::Plain(BaseHeldText(name));
    case kalvor::platform::BaseLock::Result::Failed: break;
    }
    if (db::IsServerLocator(file))
        return BaseFailure::Plain(lock.errorText());
    return BaseFailure::Plain(QStringLiteral("Ошибка при открытии файла %1\n%2")
                                  .arg(kalvor::platform::BaseLock::lockFileOf(file), lock.errorText()));
}

BaseFailure InfoBaseService::Reach(const QString& name)
{
    const QString file = ib::BaseFilePath(m_folder, name);
    if (!db::IsServerLocator(file) || (m_lock.held() && m_lock.baseFile() == file))
        return {};
    if (!ib::ValidBaseName(name))
        return BaseFailure::Plain(QStringLiteral("Недопустимое имя базы данных"));
    try {
        // Connecting tells a missing base, or why the server cannot be
        // asked, before the lock is asked for.
        kalvor::db::Connection::openForThread(file, m_owner);
    } catch (const db::DbError& e) {
        return BaseFailure::From(e);
    }
    kalvor::platform::BaseLock lock;
    if (const BaseFailure held = TakeLock(name, lock); held.failed) {
        // The connection handed over is not wanted: its thread closes it.
        kalvor::platform::GuiBridge::runBlocking([&] {
            kalvor::db::Connection::closeForThread(file);
            return 0;
        });
        return held;
    }
    m_lock = std::move(lock);
    return {};
}

BaseFailure InfoBaseService::Create(const QString& name)
{
    // A name too long for what the program makes of it is said before its
    // lock file is asked for.
    if (const QString refusal = ib::NewBaseNameRefusal(m_folder, name); !refusal.isEmpty())
        return BaseFailure::Plain(refusal);
    // A server's base is built under another name and can be locked only
    // once it exists (the opening does that); renaming it refuses a name
    // taken meanwhile.
    if (!db::IsServerLocator(ib::BaseFilePath(m_folder, name))) {
        kalvor::platform::BaseLock lock;
        if (const BaseFailure held = TakeLock(name, lock); held.failed)
            return held;
        m_lock = std::move(lock);
    }
    try {
        ib::CreateBase(m_folder, name);
    } catch (const db::DbError& e) {
        m_lock.release();
        return BaseFailure::From(e);
    }
    return {};
}

BaseFailure InfoBaseService::Open(const QString& name)
{
    // A base held by another opening is refused before anything of this one
    // is touched.
    kalvor::platform::BaseLock lock;
    // A server's base reached before has its lock taken for this opening;
    // one not reached is connected and locked by the opening itself. A
    // missing base file gets no lock file: the opening below tells it is
    // missing.
    const QString file = ib::BaseFilePath(m_folder, name);
    const bool reached = m_lock.held() && m_lock.baseFile() == file;
    if (reached || (!db::IsServerLocator(file) && ib::BaseExists(m_folder, name))) {
        if (const BaseFailure held = TakeLock(name, lock); held.failed)
            return held;
    }
    Close();
    // The opening finds the lock taken for its base.
    m_infoBase.lock = std::move(lock);
    if (m_infoBase.workFolder != m_folder) {
        m_infoBase.workFolder = m_folder;
        m_infoBase.swap.setPath(m_infoBase.swapPath());
    }
    m_infoBase.baseName = name;
    m_openFile = ib::BaseFile(m_infoBase);
    try {
        ib::OpenBase(m_infoBase);
        // The screens and the calculation work on the in-memory tables and the
        // employee lists, so the whole base is loaded at opening.
        ib::LoadAll(m_infoBase);
    } catch (const db::DbError& e) {
        // Nothing stays open after a failure (the connection may have been
        // made before the upgrade or a loader failed).
        Close();
        return BaseFailure::From(e);
    }
    TellWhenHeldElsewhere(name);
    // What a stopped or killed restore left on the server, now that it answers.
    if (db::ServerInUse())
        db::DropLeftoverServerBases();
    return {};
}

void InfoBaseService::TellWhenHeldElsewhere(const QString& name)
{
    // Said at once on the interface thread; the screens keep what was typed
    // into them, and every saving in this opening is refused (even after the
    // other workstation lets the base go, its changes stand).
    m_infoBase.lock.onHeldElsewhere([name, notices = m_notices.get()](const QString&) {
        QMetaObject::invokeMethod(
            notices,
            [name] {
                KalvorMessageBox(QStringLiteral("Связь с сервером прерывалась, и база данных %1 теперь открыта другим "
                                                "пользователем. Изменения в ней больше не сохраняются; введённые "
                                                "данные остаются на экране. Чтобы работать с базой данных дальше, "
                                                "закройте программу и войдите в неё снова.")
                                     .arg(name),
                                 MB_OK | MB_ICONWARNING);
            },
            Qt::QueuedConnection);
    });
}

BaseFailure InfoBaseService::Restore(const QString& name, const QString& fromFile,
                                     const kalvor::infobase::RowsCopiedReport& report)
{
    if (!ib::ValidBaseName(name))
        return BaseFailure::Plain(QStringLiteral("Недопустимое имя базы данных"));
    if (const QString refusal = ib::NewBaseNameRefusal(m_folder, name); !refusal.isEmpty())
        return BaseFailure::Plain(refusal);
    const QString target = ib::BaseFilePath(m_folder, name);
    if (db::IsServerLocator(target))
        return RestoreOnServer(name, fromFile, report);
    kalvor::platform::BaseLock lock;
    if (const BaseFailure held = TakeLock(name, lock); held.failed)
        return held;
    m_lock = std::move(lock);
    if (QFileInfo::exists(target)) {
        m_lock.release();
        return BaseFailure::Plain(QStringLiteral("База данных %1 уже существует").arg(name));
    }
    // Journal files left by a base of that name once deleted would be read
    // as part of the restored one.
    for (const char* suffix : {"-wal", "-shm", "-journal"}) QFile::remove(target + QString::fromLatin1(suffix));
    try {
        // The copy is checked as an opening checks a base before it takes
        // the base's name.
        ib::RestoreBaseFile(m_folder, name, fromFile);
    } catch (const db::DbError& e) {
        m_lock.release();
        return RestoreFailure(e);
    }
    return {};
}

// A server base comes back into a database of another name, renamed when
// complete (so nobody opens it before): from the server's own archive, or
// from a base file's copy whose rows are taken into it. Its lock is taken
// by the opening that follows.
BaseFailure InfoBaseService::RestoreOnServer(const QString& name, const QString& fromFile,
                                             const kalvor::infobase::RowsCopiedReport& report)
{
    const QString database = db::ServerDatabaseOf(ib::BaseFilePath(m_folder, name));
    std::optional<db::TemporaryServerBase> temp;
    try {
        if (db::ServerBaseExists(database))
            return BaseFailure::Plain(QStringLiteral("База данных %1 уже существует").arg(name));
        if (!fromFile.endsWith(QLatin1String(".dump"))) {
            ib::RestoreBaseFile(m_folder, name, fromFile, report);
            return {};
        }
        // Only the database made here is dropped again: a refused copy (cut,
        // foreign) leaves nothing on the server. Its lock keeps another
        // workstation's opening from dropping it until it is renamed.
        temp.emplace(database);
        db::RestoreServerBase(fromFile, temp->name());
        temp->renameTo(database);
    } catch (const db::DbError& error) {
        // A stopped restore does not wait on a server that may not answer:
        // its temporary database is dropped at a later opening
        // (db::DropLeftoverServerBases) once its lock has gone.
        if (temp && error.code() != db::E_DB_STOPPED) {
            try {
                temp->drop();
            } catch (const db::DbError&) {
            }
        }
        return RestoreFailure(error);
    }
    return {};
}

QString InfoBaseService::StoredPassword() { return IsOpen() ? m_infoBase.config.parol : QString(); }

bool InfoBaseService::AcceptPassword(const QString& typed)
{
    if (!ib::PasswordMatches(StoredPassword(), typed))
        return false;
    // A plain-text password left by a base made before gives way to its hash;
    // when the base cannot be written now, the next login tries again.
    try {
        if (IsOpen())
            ib::KeepPasswordHashed(m_infoBase, typed);
    } catch (const db::DbError&) {
    }
    return true;
}

bool InfoBaseService::IsOpen() const
{
    // The opening's own record, never the thread's connection: a server's
    // connection that a cut line ended is opened anew by the next command,
    // and a reconnect that failed while the line was down leaves none behind
    // it. The base stays open (its lock held, its lease renewed) until Close.
    return m_infoBase.lock.held() && !m_infoBase.baseName.isEmpty() && !m_openFile.isEmpty() &&
           m_openFile == ib::BaseFile(m_infoBase);
}

QString InfoBaseService::OpenName() const { return IsOpen() ? m_infoBase.baseName : QString(); }

void InfoBaseService::Close()
{
    // The file opened last, also when the document has been given another
    // base name since.
    if (!m_openFile.isEmpty())
        db::Connection::closeForThread(m_openFile);
    m_openFile.clear();
    // Only a base this service holds: another opening's connection to a base
    // of the same name stays. What is not known of the release (a server
    // that does not answer) is said; the close itself never waits on it for
    // long.
    QString notKnown;
    if (m_infoBase.lock.held() && !m_infoBase.baseName.isEmpty())
        notKnown = ib::CloseBase(m_infoBase);
    for (kalvor::platform::BaseLock* lock : {&m_infoBase.lock, &m_lock})
        if (const QString said = lock->release(); notKnown.isEmpty())
            notKnown = said;
    if (!notKnown.isEmpty())
        KalvorMessageBox(notKnown, MB_OK | MB_ICONWARNING);
}

QStringList InfoBaseService::Names()
{
    QStringList names;
    if (db::ServerInUse())
        return names;
    const QStringList files = QDir(m_folder.isEmpty() ? QStringLiteral(".") : m_folder)
                                  .entryList({QLatin1Char('*') + kSuffix}, QDir::Files, QDir::Name);
    for (const QString& f : files) {
        const QString name = f.left(f.size() - kSuffix.size());
        if (ib::BaseExists(m_folder, name))
            names << name;
    }
    return names;
}
