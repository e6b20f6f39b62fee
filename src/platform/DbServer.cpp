// The PostgreSQL side of the database layer: the choice of engine, the
// server's connections, errors, transactions and databases.
#include "platform/Db.h"

#include "platform/Console.h"
#include "platform/DbBases.h"
#include "platform/DbInternal.h"
#include "platform/DbSchema.h"
#include "platform/DbServerLock.h"
#include "platform/DbServerWork.h"
#include "platform/DbTestHooks.h"
#include "platform/DbTransaction.h"
#include "platform/PrivateFiles.h"
#include "platform/WorkingFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QSysInfo>

#include <libpq-fe.h>

#include <poll.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <mutex>
#include <thread>
#include <vector>

namespace kalvor::db {

using namespace detail;

namespace {

const QString kLocatorPrefix = QStringLiteral("pgsql:");
const QString kDefaultEngine = QStringLiteral("KVR");
const QString kMaintenanceBase = QStringLiteral("postgres");

// The two keys of the server's advisory locks in a base: the program's own
// number, and the kind of lock (the base's, held while it is open; the write
// transaction's).
constexpr int kLockSpace = 0x4B4C5652; // "KLVR"
constexpr int kBaseLock = 1;
constexpr int kWriteLock = 2;
// The base's record of the holder of its lock (below); a copy of the base
// leaves its row out.
const char* const kHolderTable = "dbo.lock_holder";

// How long the server may take to answer a connection, in seconds.
constexpr int kConnectSeconds = 5;
// TCP keepalive on both ends of every connection: a session whose other end
// is gone (a workstation without power, a cut cable) is noticed after about
// idle + interval x count = 50 seconds, and the server then ends it and
// frees its locks.
constexpr int kKeepaliveIdle = 20;
constexpr int kKeepaliveInterval = 10;
constexpr int kKeepaliveCount = 3;

QMutex serverMutex;
ServerAddress chosenServer;

std::atomic<unsigned> sessionSerial{0};

// A name as the server's identifier, quoted.
QString quotedName(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool isConnectionClass(const QString& state)
{
    // 08: connection exceptions; 57P01-57P03: the server ended the session
    // or is shutting down or starting.
    return state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P"));
}

// Whether the text holds one of the words (UTF-8), in any case.
bool saysAny(const QString& text, std::initializer_list<const char*> words)
{
    for (const char* w : words)
        if (text.contains(QString::fromUtf8(w), Qt::CaseInsensitive))
            return true;
    return false;
}

// A refused login, said so; through a server's address (not the Unix
// socket of the same machine, whose login the system's user makes) the
// login's password comes from ~/.pgpass, which is named.
QString loginRefusedText(const QString& server)
{
    const QString refused = QStringLiteral("Сервер базы данных %1 отказал во входе").arg(server);
    if (Server().host.startsWith(QLatin1Char('/')))
        return refused;
    return refused + QStringLiteral(". Проверьте имя пользователя и пароль этого сервера в файле ~/.pgpass "
                                    "(строка \"сервер:порт:база:пользователь:пароль\").");
}

// What a failure to connect was, from the text of libpq (which gives no state
// for a connection that never began). libpq speaks the program's language
// (Russian) and the server its own, so both wordings are read. The user is
// told it in plain words; the server's own text goes to the console log.
DbError connectFailure(const QString& serverText, const QString& database)
{
    const QString text = serverText.trimmed();
    const QString server = serverName();
    platform::AppendToConsoleLog(QStringLiteral("%1, %2: %3").arg(server, database, text));
    const QString where = QStringLiteral("%1: %2").arg(server, database);
    auto says = [&](std::initializer_list<const char*> words) { return saysAny(text, words); };
    const bool missing = says({"does not exist", "не существует"});
    if (says({"password", "authentication", "pg_hba.conf", "парол", "проверку подлинности"}) ||
        (missing && says({"role", "роль"})))
        return DbError(E_DB_LOGIN, loginRefusedText(server), where, kSource);
    if (missing && says({"database", "база данных"}))
        return DbError(E_DB_NOT_FOUND, QStringLiteral("База данных не найдена."), where, kSource);
    if (says({"permission denied", "privilege", "not permitted to log in", "доступ к базе", "нет доступа",
              "вход запрещён"}))
        return DbError(E_DB_NO_RIGHT,
                       QStringLiteral("Нет права на подключение к базе данных %1 на сервере %2").arg(database, server),
                       where, kSource);
    if (says({"timeout", "тайм-аут"}))
        return DbError(E_DB_NO_SERVER, QStringLiteral("Сервер базы данных %1 не отвечает").arg(server), where, kSource);
    return DbError(E_DB_NO_SERVER, QStringLiteral("Нет связи с сервером базы данных %1").arg(server), where, kSource);
}

// The program and the workstation, as the server lists the sessions.
QString applicationName() { return QStringLiteral("Kalvor (%1)").arg(QSysInfo::machineHostName()).left(63); }

// The settings of every connection besides the address and the database:
// the wait for an answer, keepalive, and the application name that shows the
// administrator which program and workstation holds a session.
std::vector<std::pair<QString, QString>> connectionSettings()
{
    // The server's notices ("does not exist, skipping") are no news to the user.
    const QString serverOptions = QStringLiteral("-c client_min_messages=warning -c tcp_keepalives_idle=%1 "
                                                 "-c tcp_keepalives_interval=%2 -c tcp_keepalives_count=%3")
                                      .arg(kKeepaliveIdle)
                                      .arg(kKeepaliveInterval)
                                      .arg(kKeepaliveCount);
    std::vector<std::pair<QString, QString>> settings = {
        {QStringLiteral("connect_timeout"), QString::number(kConnectSeconds)},
        {QStringLiteral("keepalives"), QStringLiteral("1")},
        {QStringLiteral("keepalives_idle"), QString::number(kKeepaliveIdle)},
        {QStringLiteral("keepalives_interval"), QString::number(kKeepaliveInterval)},
        {QStringLiteral("keepalives_count"), QString::number(kKeepaliveCount)},
        {QStringLiteral("application_name"), applicationName()},
        {QStringLiteral("options"), serverOptions}};
    if (!Server().service.isEmpty())
        settings.emplace_back(QStringLiteral("service"), Server().service);
    return settings;
}

void applyAddress(QSqlDatabase& db, const ServerAddress& server)
{
    db.setHostName(server.host);
    if (server.port > 0)
        db.setPort(server.port);
    // The driver hands the settings to libpq as "key='value'" pairs.
    QStringList options;
    for (const auto& [key, value] : connectionSettings()) {
        QString quoted = value;
        quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
        options << key + QStringLiteral("='") + quoted + QLatin1Char('\'');
    }
    db.setConnectOptions(options.join(QLatin1Char(';')));
}

// Opens a bare connection; throws the connect failure, and refuses at once
// once the calling worker's stop is set.
QSqlDatabase connectTo(const QString& connectionName, const QString& database)
{
    refuseWhenStopped();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    if (!db.isValid()) {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw DbError(E_DB_NO_SERVER, QString::fromUtf8(kNoServerText),
                      QStringLiteral("Нет драйвера PostgreSQL (пакет libqt6sql6-psql)"), kSource);
    }
    applyAddress(db, Server());
    db.setDatabaseName(database);
    if (!db.open()) {
        const DbError e =
            connectFailure(db.lastError().databaseText() + QLatin1Char(' ') + db.lastError().driverText(), database);
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw e;
    }
    if (PGconn* session = serverSession(db)) {
        try {
            RequireServerVersion(PQserverVersion(session));
        } catch (const DbError&) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connectionName);
            throw;
        }
    }
    return db;
}

void dropConnection(const QString& connectionName)
{
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

// Whether a statement of the program's own session failed because the
// session ended (the server went away, ended it, or the line was cut): no
// answer came, so what was sent may have been made or not.
bool sessionLost(PGconn* session, const QString& error)
{
    return !session || PQstatus(session) == CONNECTION_BAD ||
           saysAny(error, {"server closed the connection", "no connection to the server", "terminating connection",
                           "закрыл соединение", "нет соединения с сервером", "прерывание подключения"});
}

// The failure of a statement of base management, in the system's words (the
// server's text and the statement going to the console log); the work's stop
// when the calling thread's sessions were shut by it, and a lost connection
// (`lost`) as such, so that a caller settles what it sent as a cut COMMIT.
DbError maintenanceFailure(const QString& error, const QString& sql, const QString& names, bool lost)
{
    if (sessionsCut())
        return stoppedError();
    platform::AppendToConsoleLog(QStringLiteral("%1: %2\n%3").arg(serverName(), error.trimmed(), sql));
    if (lost)
        return DbError(E_DB_CONNECTION_LOST, QString::fromUtf8(kConnectionLostText), names, kSource);
    if (saysAny(error, {"permission denied", "must be owner", "нет прав", "нужно быть владельцем"}))
        return DbError(E_DB_NO_RIGHT,
                       QStringLiteral("Нет права на изменение баз данных на сервере %1").arg(serverName()), names,
                       kSource);
    return DbError(E_DB_FAIL, QStringLiteral("Ошибка сервера базы данных %1").arg(serverName()), names, kSource);
}

// Runs one statement of base management on a connection to the maintenance
// database, closed again afterwards.
void runOnMaintenance(const QString& sql, const QStringList& values = {})
{
    const QString name = QStringLiteral("kalvor-admin-%1").arg(sessionSerial.fetch_add(1));
    connectTo(name, kMaintenanceBase);
    QString error;
    bool lost = false;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        const WatchedSession watched(name, serverSession(db));
        QSqlQuery q(db);
        // Statements of base management cannot be prepared: those without
        // values run as they are.
        bool ran = false;
        if (values.isEmpty()) {
            ran = q.exec(sql);
        } else {
            ran = q.prepare(sql);
            for (const QString& value : values) q.addBindValue(value);
            ran = ran && q.exec();
        }
        if (!ran) {
            // A session that ended gives no text of the server's.
            error = q.lastError().databaseText().trimmed().isEmpty() ? q.lastError().text() + QLatin1Char(' ')
                                                                     : q.lastError().databaseText();
            lost = isConnectionClass(q.lastError().nativeErrorCode()) || sessionLost(serverSession(db), error);
        } else if (q.isSelect() && q.next() && !q.value(0).toBool())
            error = QStringLiteral("-");
    }
    dropConnection(name);
    if (error == QLatin1String("-"))
        throw DbError(E_DB_NOT_FOUND, QStringLiteral("База данных не найдена."), values.join(QLatin1Char(' ')),
                      kSource);
    if (!error.isEmpty())
        throw maintenanceFailure(error, sql, values.join(QLatin1Char(' ')), lost);
}

// What the server's tools get besides the program's environment: the same
// server, service and user.
QProcessEnvironment toolEnvironment()
{
    const ServerAddress server = Server();
    QProcessEnvironment env;
    env.insert(QStringLiteral("PGHOST"), server.host);
    if (server.port > 0)
        env.insert(QStringLiteral("PGPORT"), QString::number(server.port));
    if (!server.service.isEmpty())
        env.insert(QStringLiteral("PGSERVICE"), server.service);
    env.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QString::number(kConnectSeconds));
    env.insert(QStringLiteral("PGAPPNAME"), applicationName());
    return env;
}

// Where a tool's output is logged: the console log of the working folder, or
// of the temporary folder when the working folder cannot be written, so that
// a copy or restore never fails for want of its log.
QString toolLogFolder()
{
    const QString working = platform::WorkingFolder().isEmpty() ? QDir::currentPath() : platform::WorkingFolder();
    const QFileInfo folder(working);
    return folder.isDir() && folder.isWritable() ? working : QDir::tempPath();
}

// Runs a tool of the server to its end as the print commands run (its output
// in the console log); throws when it is missing, fails or is stopped.
void runTool(const QString& tool, const QStringList& arguments)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        throw DbError(E_DB_FAIL, QStringLiteral("Не найдена программа %1 сервера базы данных").arg(tool),
                      QStringLiteral("Установите пакет postgresql-client"), kSource);
    const platform::ConsoleRun run =
        platform::RunConsoleProgram(QStringList{program} + arguments, toolLogFolder(), toolEnvironment());
    if (run.stopped)
        throw DbError(E_DB_STOPPED, QStringLiteral("Программа %1 остановлена").arg(tool), serverName(), kSource);
    if (!run.started || run.exitCode != 0)
        throw DbError(E_DB_FAIL, QStringLiteral("Ошибка программы %1").arg(tool),
                      QString::fromLocal8Bit(run.output).trimmed(), kSource);
}

} // namespace

// ------------------------------------------------------------------ the engine

void ChooseEngine(const QString& server, const QString& engine)
{
    const QString host = server.trimmed();
    ServerAddress address;
    const bool local = host.isEmpty() || host.compare(QLatin1String("local"), Qt::CaseInsensitive) == 0 ||
                       host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0;
    if (!local) {
        address.host = host;
        const int colon = host.lastIndexOf(QLatin1Char(':'));
        bool ok = false;
        const int port = colon > 0 ? host.mid(colon + 1).toInt(&ok) : 0;
        if (ok && port > 0 && port < 65536) {
            address.host = host.left(colon);
            address.port = port;
        }
        if (!engine.trimmed().isEmpty() && engine.trimmed() != kDefaultEngine)
            address.service = engine.trimmed();
    }
    UseServer(address);
}

void UseServer(const ServerAddress& address)
{
    QMutexLocker lock(&serverMutex);
    chosenServer = address;
}

ServerAddress Server()
{
    QMutexLocker lock(&serverMutex);
    return chosenServer;
}

bool ServerInUse() { return !Server().host.isEmpty(); }

QString ServerBaseLocator(const QString& database) { return kLocatorPrefix + database; }

bool IsServerLocator(const QString& base) { return base.startsWith(kLocatorPrefix); }

QString ServerDatabaseOf(const QString& locator) { return locator.mid(kLocatorPrefix.size()); }

bool IsServer(const QSqlDatabase& db) { return db.driverName() == QLatin1String("QPSQL"); }

// ------------------------------------------------------------------ connections and errors

QString detail::serverName()
{
    const ServerAddress server = Server();
    QString name = server.port > 0 ? QStringLiteral("%1:%2").arg(server.host).arg(server.port) : server.host;
    if (!server.service.isEmpty())
        name += QStringLiteral(" (%1)").arg(server.service);
    return name;
}

namespace {

// A version as the server gives it (130004, 90624) as people write it
// (13.4, 9.6.24): from version 10 on two parts, before it three.
QString versionText(int version)
{
    if (version >= 100000)
        return QStringLiteral("%1.%2").arg(version / 10000).arg(version % 10000);
    return QStringLiteral("%1.%2.%3").arg(version / 10000).arg(version / 100 % 100).arg(version % 100);
}

} // namespace

void RequireServerVersion(int serverVersion)
{
    if (serverVersion >= kOldestServerVersion)
        return;
    throw DbError(E_DB_FAIL,
                  QStringLiteral("Сервер базы данных %1 — PostgreSQL %2, программе нужен PostgreSQL %3 или новее")
                      .arg(serverName(), versionText(serverVersion), QString::number(kOldestServerVersion / 10000)),
                  serverName(), kSource);
}

QString ExportedView(const QSqlDatabase& db)
{
    Recordset q(db, QStringLiteral("SELECT pg_export_snapshot()"));
    q.exec();
    return q.next() ? q.toString(0) : QString();
}

void TakeView(const QSqlDatabase& db, const QString& view)
{
    // The server takes the name only as a literal: it is checked to be one.
    static const QRegularExpression name(QStringLiteral("^[0-9A-Fa-f-]{1,64}$"));
    if (!name.match(view).hasMatch())
        throw DbError(E_DB_FAIL, QStringLiteral("Ошибка базы данных"), view, kSource);
    Execute(db, QStringLiteral("SET TRANSACTION SNAPSHOT '%1'").arg(view));
}

void PreferIndexLookups(const QSqlDatabase& db)
{
    Execute(db, QStringLiteral("SET LOCAL enable_hashjoin = off"));
    Execute(db, QStringLiteral("SET LOCAL enable_mergejoin = off"));
    Execute(db, QStringLiteral("SET LOCAL plan_cache_mode = force_generic_plan"));
}

namespace detail {

DbError lostConnectionError(const QString& database)
{
    // A base that another workstation took meanwhile (the connection ended
    // with the server's restart or a cut line) is said as such: the base is
    // open elsewhere, not merely out of reach.
    try {
        requireServerLock(database);
    } catch (const DbError& e) {
        if (e.code() == E_DB_BUSY)
            return e;
    }
    return DbError(E_DB_CONNECTION_LOST, QString::fromUtf8(kConnectionLostText), serverName(), kSource);
}

QSqlDatabase openServerConnection(const QString& connectionName, const QString& database)
{
    QSqlDatabase db = connectTo(connectionName, database);
    // Both settings in one message: one round trip.
    const QStringList setup = {
        QStringLiteral("SET search_path TO dbo, public; SET lock_timeout = %1").arg(kBusyWaitMilliseconds)};
    QSqlQuery q(db);
    for (const QString& statement : setup) {
        if (!q.exec(statement)) {
            const DbError e = serverFailure(db, q.lastError(), statement);
            q = QSqlQuery();
            db = QSqlDatabase();
            dropConnection(connectionName);
            throw e;
        }
    }
    return db;
}

DbError serverFailure(const QSqlDatabase& db, const QSqlError& e, const QString& what)
{
    // A session shut by the worker's stop: its transaction is gone, and the
    // connection is opened anew by the thread's next work.
    if (sessionsCut()) {
        connectionState(db).lost = true;
        return stoppedError();
    }
    const QString state = e.nativeErrorCode();
    const QString description = e.databaseText().trimmed();
    // A connection that answers nothing more gives no state at all.
    const bool lost = isConnectionClass(state) || (state.isEmpty() && e.type() == QSqlError::ConnectionError) ||
                      (state.isEmpty() && !e.databaseText().isEmpty() &&
                       saysAny(e.databaseText(), {"server closed the connection", "no connection to the server",
                                                  "закрыл соединение", "нет соединения с сервером"}));
    if (lost) {
        // The user is told in plain words; the server's text and the
        // statement go to the console log.
        connectionState(db).lost = true;
        platform::AppendToConsoleLog(QStringLiteral("%1 %2: %3\n%4").arg(serverName(), state, description, what));
        return lostConnectionError(db.databaseName());
    }
    // The server's states as the numbers of the file engine's errors, so that
    // callers tell a full disk, a broken key or a busy base apart the same way.
    if (state == QLatin1String("55P03") || state == QLatin1String("40P01") || state == QLatin1String("40001"))
        return DbError(E_DB_BUSY, QString::fromUtf8(kBusyText), description, kSource, what);
    std::uint32_t number = 1;
    if (state.startsWith(QLatin1String("53")))
        number = 13;
    else if (state.startsWith(QLatin1String("23")))
        number = 19;
    QString message = e.driverText();
    if (message.isEmpty())
        message = QStringLiteral("Ошибка базы данных");
    return DbError(E_DB_ENGINE | number, message, description, kSource, what);
}

QString serverWriteLockSql()
{
    // A write transaction takes the base's write lock at once, as the file
    // engine does, so that two writers of one base follow each other.
    static const QString sql = QStringLiteral("SELECT pg_advisory_xact_lock(%1, %2)").arg(kLockSpace).arg(kWriteLock);
    return sql;
}

} // namespace detail

QStringList ServerTableColumns(const QSqlDatabase& db, const QString& table)
{
    Recordset q(db, QStringLiteral("SELECT column_name FROM information_schema.columns "
                                   "WHERE table_schema = 'dbo' AND table_name = lower(?) ORDER BY ordinal_position"));
    q.bind(0, table);
    q.exec();
    QStringList names;
    while (q.next()) names << q.toString(0);
    return names;
}

// ------------------------------------------------------------------ databases

bool ServerBaseExists(const QString& database)
{
    // Asked by connecting to the base itself, so that only a server that
    // answered that there is no such base makes it missing; every other
    // failure (the login, the server, the right to connect) is thrown.
    const QString name = QStringLiteral("kalvor-probe-%1").arg(sessionSerial.fetch_add(1));
    try {
        connectTo(name, database);
    } catch (const DbError& e) {
        if (e.code() == E_DB_NOT_FOUND)
            return false;
        throw;
    }
    dropConnection(name);
    return true;
}

void DropServerBase(const QString& database)
{
    Connection::closeForThread(ServerBaseLocator(database));
    runOnMaintenance(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(quotedName(database)));
}

void RenameServerBase(const QString& from, const QString& to)
{
    Connection::closeForThread(ServerBaseLocator(from));
    runOnMaintenance(QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(quotedName(from), quotedName(to)));
}

void ContinueServerCounter(const QSqlDatabase& db, const QString& table, const QString& column)
{
    if (!IsServer(db))
        return;
    // The schema's own names, kept in lower case by the server.
    Recordset q(db, QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?), COALESCE(MAX(%2), 0) + 1, false) "
                                   "FROM dbo.%1")
                        .arg(table, column));
    q.run(QStringLiteral("dbo.") + table.toLower(), column.toLower());
    q.finish();
}

namespace {

// The database as the server's tools take it: a connection string, so that no
// character of the name is read as a setting.
QString toolDatabase(const QString& database)
{
    QString quoted = database;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QStringLiteral("--dbname=dbname='%1'").arg(quoted);
}

} // namespace

void DumpServerBase(const QString& database, const QString& targetFile)
{
    // The copy holds the whole payroll: it is made readable by its owner
    // alone before anything is written into it.
    QString why;
    if (!platform::CreatePrivateFile(targetFile, &why))
        throw DbError(E_DB_FAIL, QStringLiteral("Ошибка записи в файл %1").arg(targetFile), why, kSource);
    try {
        runTool(QStringLiteral("pg_dump"), {QStringLiteral("--format=custom"), QStringLiteral("--no-owner"),
                                            QStringLiteral("--exclude-table-data=") + QLatin1String(kHolderTable),
                                            QStringLiteral("--file=") + targetFile, toolDatabase(database)});
    } catch (const DbError&) {
        QFile::remove(targetFile);
        throw;
    }
}

void RestoreServerBase(const QString& archiveFile, const QString& database)
{
    if (!QFile::exists(archiveFile))
        throw DbError(E_DB_NOT_FOUND, QStringLiteral("Не найден архив базы данных"), archiveFile, kSource);
    // A copy found readable by others is kept to its owner from now on.
    platform::MakePrivate(archiveFile);
    runTool(QStringLiteral("pg_restore"),
            {QStringLiteral("--no-owner"), QStringLiteral("--exit-on-error"), toolDatabase(database), archiveFile});
}

// ------------------------------------------------------------------ the base lock

namespace {

// The holder of an open base is also recorded in the base itself, since a
// server restart ends every session and with it every advisory lock: one row
// with the opening's token and the time its lease runs out, by the server's
// clock. While the base is open a watcher thread renews the lease and, when
// the lock's session is gone, takes the lock again as soon as the server
// answers; an opening refuses a live lease that is not its own, so a second
// workstation cannot step in while the holder reconnects. A clean close
// removes the row; the lease of a crashed holder runs out.
//
// The lease is a little longer than a server's restart and the holder's
// reconnection take.
constexpr int kLeaseMilliseconds = 45000;
std::atomic<int> leaseMilliseconds{kLeaseMilliseconds};
std::atomic<bool> renewalsHeld{false};

// The base locks this program holds, by id: each one's base, the opening's
// token, and the libpq session holding it (null once the server dropped it
// and taking it again failed). A session is used by one thread at a time:
// whoever works on it (the watcher, a write's check) marks the entry in use
// and works outside the table's lock, so that a reconnect of one lock holds
// up nothing but the users of that lock.
// A moment by the lease clock: this machine's steady clock moved as far
// ahead as the lease clock is (a test's clock moved past a lease makes
// every lease written before it run out here too).
using LeaseTime = std::chrono::steady_clock::time_point;
LeaseTime leaseNow(const LeaseClock* clock)
{
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(clock ? clock->aheadMilliseconds() : 0);
}

struct HeldLock {
    QString database;
    QByteArray token;
    PGconn* session = nullptr;
    bool heldElsewhere = false; // another workstation took the base: never written again in this opening
    bool inUse = false; // a thread works on the session, outside the table's lock
    std::function<void(const QString&)> onHeldElsewhere;
    std::shared_ptr<const LeaseClock> clock; // null: the server's own clock
    LeaseTime leaseFrom{}; // when the last lease the server wrote was sent, by the lease clock
};

std::mutex lockMutex;
std::condition_variable lockFreed; // an entry's use ended
std::map<int, HeldLock> heldLocks;
int lastLockId = 0;

// The keywords and values of libpq for a session to the database.
struct SessionParameters {
    std::vector<QByteArray> keys, values;
    std::vector<const char*> k, v; // null-terminated, into the two above

    explicit SessionParameters(const QString& database)
    {
        const ServerAddress server = Server();
        keys = {"host", "dbname"};
        values = {server.host.toUtf8(), database.toUtf8()};
        if (server.port > 0) {
            keys.emplace_back("port");
            values.push_back(QByteArray::number(server.port));
        }
        for (const auto& [key, value] : connectionSettings()) {
            keys.push_back(key.toUtf8());
            values.push_back(value.toUtf8());
        }
        for (std::size_t i = 0; i < keys.size(); ++i) {
            k.push_back(keys[i].constData());
            v.push_back(values[i].constData());
        }
        k.push_back(nullptr);
        v.push_back(nullptr);
    }
};

// A connection of libpq to the database; throws when the server cannot be
// reached or refuses it, and at once once the calling worker's stop is set.
PGconn* connectSession(const QString& database)
{
    refuseWhenStopped();
    const SessionParameters p(database);
    PGconn* session = PQconnectdbParams(p.k.data(), p.v.data(), 0);
    if (PQstatus(session) == CONNECTION_OK) {
        try {
            RequireServerVersion(PQserverVersion(session));
        } catch (const DbError&) {
            PQfinish(session);
            throw;
        }
        return session;
    }
    const DbError e = connectFailure(QString::fromUtf8(PQerrorMessage(session)), database);
    PQfinish(session);
    throw e;
}

// The same, null with the reason in errorText instead of a throw.
PGconn* connectSession(const QString& database, QString& errorText)
{
    try {
        return connectSession(database);
    } catch (const DbError& e) {
        errorText = e.message();
        return nullptr;
    }
}

// A statement on a libpq session of the program's own (the base lock's, a
// temporary base's), its text parameters bound; false (the reason in
// errorText) when the server refused it, except for a base still without the
// holder's table (one not yet brought to the current schema), whose holder
// is then simply not recorded.
bool runOnSession(PGconn* session, const QByteArray& sql, const std::vector<QByteArray>& parameters, QString& errorText,
                  PGresult** rows = nullptr)
{
    std::vector<const char*> values;
    for (const QByteArray& p : parameters) values.push_back(p.constData());
    PGresult* r =
        PQexecParams(session, sql.constData(), int(values.size()), nullptr, values.data(), nullptr, nullptr, 0);
    const ExecStatusType status = PQresultStatus(r);
    bool ok = status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK;
    if (!ok) {
        const char* state = PQresultErrorField(r, PG_DIAG_SQLSTATE);
        ok = state && qstrcmp(state, "42P01") == 0; // no such table
        if (!ok)
            errorText = QString::fromUtf8(PQerrorMessage(session)).trimmed();
    }
    if (rows && status == PGRES_TUPLES_OK)
        *rows = r;
    else
        PQclear(r);
    return ok;
}

// How far the lease clock is ahead of the server's own (0 without one).
QByteArray aheadOf(const LeaseClock* clock)
{
    return QByteArray::number(clock ? clock->aheadMilliseconds() : 0);
}

// What a write of the lease that the server did not answer in time says.
QString unansweredLeaseText()
{
    return QStringLiteral("Сервер базы данных %1 не ответил вовремя, база данных не открыта. Повторите попытку позже.")
        .arg(serverName());
}

// A write of the lease's row (its insert, renewal or release) is answered
// with its COMMIT, so it waits as a screen's COMMIT does: its session is shut
// kServerStopCutMilliseconds after it is sent at most, the write then made
// or not, said as unansweredLeaseText(). A server that holds COMMITs (a
// synchronous standby that does not answer) holds no opening, close or
// renewal for longer.
bool runLeaseWrite(PGconn* session, const QByteArray& sql, const std::vector<QByteArray>& parameters,
                   QString& errorText)
{
    std::stop_source bound;
    const ServerStopScope bounded(bound.get_token());
    bound.request_stop();
    const WatchedSession watched(QStringLiteral("kalvor-lease-write-%1").arg(sessionSerial.fetch_add(1)), session);
    if (runOnSession(session, sql, parameters, errorText))
        return true;
    if (sessionsCut())
        errorText = unansweredLeaseText();
    return false;
}

// Records the opening of that token as the holder, its lease starting anew
// by the lease clock.
bool writeLease(PGconn* session, const QByteArray& token, const LeaseClock* clock, QString& errorText)
{
    const QByteArray sql =
        QStringLiteral("INSERT INTO %1 (id, token, until) VALUES "
                       "(1, $1, clock_timestamp() + ($2::bigint + $3::bigint) * interval '1 millisecond') "
                       "ON CONFLICT (id) DO UPDATE SET token = EXCLUDED.token, until = EXCLUDED.until")
            .arg(QLatin1String(kHolderTable))
            .toUtf8();
    return runLeaseWrite(session, sql, {token, QByteArray::number(leaseMilliseconds.load()), aheadOf(clock)},
                         errorText);
}

// Removes the holder's row if it still names the opening of that token.
bool removeLease(PGconn* session, const QByteArray& token, QString& errorText)
{
    const QByteArray sql =
        QStringLiteral("DELETE FROM %1 WHERE id = 1 AND token = $1").arg(QLatin1String(kHolderTable)).toUtf8();
    return runLeaseWrite(session, sql, {token}, errorText);
}

// The holder recorded in the base: its token (empty when none), whether its
// lease still runs, and whether the base keeps a record at all (one not yet
// brought to the current schema does not).
struct Holder {
    QByteArray token;
    bool live = false;
    bool recorded = false;
};

bool readHolder(PGconn* session, Holder& holder, const LeaseClock* clock, QString& errorText)
{
    const QByteArray sql =
        QStringLiteral("SELECT token, until > clock_timestamp() + $1::bigint * interval '1 millisecond' "
                       "FROM %1 WHERE id = 1")
            .arg(QLatin1String(kHolderTable))
            .toUtf8();
    PGresult* r = nullptr;
    if (!runOnSession(session, sql, {aheadOf(clock)}, errorText, &r))
        return false;
    holder.recorded = r != nullptr;
    if (r && PQntuples(r) == 1) {
        holder.token = QByteArray(PQgetvalue(r, 0, 0));
        holder.live = PQgetvalue(r, 0, 1)[0] == 't';
    }
    PQclear(r);
    return true;
}

// The tokens of this program's openings that have ended (closed, or never
// taken): a holder's row that names one is this workstation's own, left by a
// close or an opening whose write the server did not answer in time, never
// another user's.
std::set<QByteArray> endedTokens; // under lockMutex

bool endedHere(const QByteArray& token)
{
    std::lock_guard<std::mutex> lock(lockMutex);
    return endedTokens.count(token) != 0;
}

void endToken(const QByteArray& token)
{
    std::lock_guard<std::mutex> lock(lockMutex);
    endedTokens.insert(token);
}

// The server's advisory lock of the base, tried without waiting: false (the
// reason in errorText) when the server did not answer.
bool tryAdvisoryLock(PGconn* session, bool& taken, QString& errorText)
{
    PGresult* r = PQexec(
        session,
        QStringLiteral("SELECT pg_try_advisory_lock(%1, %2)").arg(kLockSpace).arg(kBaseLock).toUtf8().constData());
    const bool answered = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1;
    taken = answered && PQgetvalue(r, 0, 0)[0] == 't';
    if (!answered)
        errorText = QString::fromUtf8(PQerrorMessage(session)).trimmed();
    PQclear(r);
    return answered;
}

// Whether the session that holds the base's advisory lock waits for the
// server to confirm its COMMIT (a synchronous standby); false (the reason
// in errorText) when the server did not answer. The program's sessions
// share the login, so the server shows them what the other one waits on.
bool lockHolderWaitsForCommit(PGconn* session, bool& waits, QString& errorText)
{
    const QByteArray sql = QStringLiteral("SELECT EXISTS (SELECT 1 FROM pg_locks l JOIN pg_stat_activity a "
                                          "ON a.pid = l.pid WHERE l.locktype = 'advisory' AND l.granted "
                                          "AND l.classid = %1 AND l.objid = %2 AND l.database = "
                                          "(SELECT oid FROM pg_database WHERE datname = current_database()) "
                                          "AND a.wait_event = 'SyncRep')")
                               .arg(kLockSpace)
                               .arg(kBaseLock)
                               .toUtf8();
    PGresult* r = nullptr;
    if (!runOnSession(session, sql, {}, errorText, &r))
        return false;
    waits = r && PQntuples(r) == 1 && PQgetvalue(r, 0, 0)[0] == 't';
    PQclear(r);
    return true;
}

// Tries the lock of the base for the opening of that token on a session
// connected to it: the server's advisory lock and, beside it, no live lease
// of another opening. The lease is then this opening's. Taken again (`again`)
// after the server dropped the lock, the record must still be this
// opening's: one that is gone or names another means another workstation
// opened the base meanwhile (and may have written and closed it), so this
// opening's memory is older than the base. A first opening takes over a
// row of an ended opening of this program's own, and waits a little for
// such an opening's session that still holds the advisory lock (its close
// or a write of its lease ending just now).
ServerLockResult tryLock(PGconn* session, const QByteArray& token, const LeaseClock* clock, bool again,
                         QString& errorText)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(kServerStopCutMilliseconds);
    for (;;) {
        bool advisory = false;
        Holder holder;
        if (!tryAdvisoryLock(session, advisory, errorText) || !readHolder(session, holder, clock, errorText))
            return ServerLockResult::Failed;
        const bool mine = !holder.token.isEmpty() && holder.token == token;
        const bool ours = mine || (!again && !holder.token.isEmpty() && endedHere(holder.token));
        if (advisory) {
            if (!ours && (holder.live || (again && holder.recorded)))
                return ServerLockResult::HeldElsewhere;
            return writeLease(session, token, clock, errorText) ? ServerLockResult::Taken : ServerLockResult::Failed;
        }
        if (!ours)
            return ServerLockResult::HeldElsewhere;
        // An earlier session of this opening, or of an ended one of this
        // program, which the server has not yet seen end (a cut line, a
        // write cut while the server held it): tried again later. One whose
        // COMMIT the server holds ends no sooner than the server lets it go.
        bool held = false;
        if (!lockHolderWaitsForCommit(session, held, errorText))
            return ServerLockResult::Failed;
        if (held) {
            errorText = QString::fromUtf8(kCommitsHeldText).arg(serverName());
            return ServerLockResult::CommitsHeld;
        }
        errorText = QStringLiteral("Блокировку базы данных еще держит прежний сеанс этой программы на сервере");
        if (again || std::chrono::steady_clock::now() >= giveUp || WorkStopped())
            return ServerLockResult::Failed;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

// A new session holding the lock of the base for the opening of that token,
// or null with the result why not (a session that took the advisory lock
// alone ends, and the advisory lock with it).
PGconn* lockOnNewSession(const QString& database, const QByteArray& token, const LeaseClock* clock, bool again,
                         ServerLockResult& result, QString& errorText)
{
    PGconn* session = connectSession(database, errorText);
    {
        // Its statements wait on the server as the calling thread's work.
        const WatchedSession watched(QStringLiteral("kalvor-lock-new-%1").arg(sessionSerial.fetch_add(1)), session);
        result = session ? tryLock(session, token, clock, again, errorText) : ServerLockResult::Failed;
    }
    if (result == ServerLockResult::Taken)
        return session;
    if (session)
        PQfinish(session);
    return nullptr;
}

bool sessionAlive(PGconn* session)
{
    if (!session || PQstatus(session) != CONNECTION_OK)
        return false;
    PGresult* r = PQexec(session, "SELECT 1");
    const bool alive = PQresultStatus(r) == PGRES_TUPLES_OK;
    PQclear(r);
    return alive;
}

// A held lock's session taken out for one thread's use (the watcher's, a
// write's check), outside the table's lock; given back with how it went.
struct LockUse {
    int id = 0;
    QString database;
    QByteArray token;
    PGconn* session = nullptr;
    ServerLockResult result = ServerLockResult::Taken;
    std::shared_ptr<const LeaseClock> clock;
    LeaseTime leaseFrom{}; // a lease written in this use: when it was sent
};

// Takes the entry's session out once nobody else uses it; false when the
// entry is gone or another workstation took its base (`refused` then true).
// A worker whose stop shut its sessions waits no longer (E_DB_STOPPED): the
// user of the entry may be waiting on a server that does not answer.
bool checkOut(std::unique_lock<std::mutex>& lock, int id, LockUse& use, bool* refused = nullptr)
{
    auto it = heldLocks.find(id);
    while (!lockFreed.wait_for(lock, std::chrono::milliseconds(100),
                               [&] { return (it = heldLocks.find(id)) == heldLocks.end() || !it->second.inUse; }))
        if (sessionsCut())
            throw stoppedError();
    if (it == heldLocks.end() || it->second.heldElsewhere) {
        if (refused)
            *refused = it != heldLocks.end();
        return false;
    }
    HeldLock& held = it->second;
    held.inUse = true;
    use = LockUse{id, held.database, held.token, held.session, ServerLockResult::Taken, held.clock};
    return true;
}

// Gives the session back; the notice to call (outside the table's lock) when
// the lock was found taken by another workstation just now.
std::function<void(const QString&)> checkIn(std::unique_lock<std::mutex>& lock, const LockUse& use)
{
    std::function<void(const QString&)> notice;
    if (auto it = heldLocks.find(use.id); it != heldLocks.end()) {
        HeldLock& held = it->second;
        held.session = use.session;
        held.inUse = false;
        held.leaseFrom = std::max(held.leaseFrom, use.leaseFrom);
        if (use.result == ServerLockResult::HeldElsewhere) {
            held.heldElsewhere = true;
            notice = held.onHeldElsewhere;
        }
    }
    lock.unlock();
    lockFreed.notify_all();
    return notice;
}

// Takes the lock of a checked-out entry again on a new session, its old one
// gone; the result says how it went (HeldElsewhere: another opening has the
// base).
void retake(LockUse& use, QString& errorText)
{
    if (use.session)
        PQfinish(use.session);
    const LeaseTime sent = leaseNow(use.clock.get());
    use.session = lockOnNewSession(use.database, use.token, use.clock.get(), true, use.result, errorText);
    if (use.result == ServerLockResult::Taken)
        use.leaseFrom = sent;
}

// The ids of the held locks of one base (all of them for an empty name).
std::vector<int> heldIds(const QString& database = QString())
{
    std::vector<int> ids;
    for (const auto& [id, held] : heldLocks)
        if (database.isEmpty() || held.database == database)
            ids.push_back(id);
    return ids;
}

// A release of a base's lock that a close could not make (the server did
// not answer its removal of the row in time, or a renewal of the lease was
// in flight and was cut with its session), or the lease of an opening that
// a write the server did not answer may have left: the row may still name
// the ended opening, or be written by the write in flight once the server
// lets it go. The watcher makes it (settleReleases) until the lease such a
// write gives has run out.
struct PendingRelease {
    QString database;
    QByteArray token;
    std::shared_ptr<const LeaseClock> clock;
    std::chrono::steady_clock::time_point until;
};
std::vector<PendingRelease> pendingReleases; // under lockMutex

void leaveRelease(const QString& database, const QByteArray& token, std::shared_ptr<const LeaseClock> clock)
{
    std::lock_guard<std::mutex> lock(lockMutex);
    pendingReleases.push_back(PendingRelease{
        database, token, std::move(clock),
        std::chrono::steady_clock::now() + std::chrono::milliseconds(leaseMilliseconds.load() + kConnectSeconds * 1000)});
}

// Removes the row of the ended opening on a session of its own, once that
// session has the base's advisory lock: every session of the ended opening
// has gone by then, and with it every write of its lease in flight (made or
// not). Done (true) once removed, or once the row names another opening or
// none; false when it is to be tried again.
bool releaseAfterItsSessions(const PendingRelease& pending)
{
    QString why;
    PGconn* session = connectSession(pending.database, why);
    if (!session)
        return false;
    bool done = false;
    {
        const WatchedSession watched(QStringLiteral("kalvor-release-%1").arg(sessionSerial.fetch_add(1)), session);
        bool advisory = false;
        Holder holder;
        if (tryAdvisoryLock(session, advisory, why) && readHolder(session, holder, pending.clock.get(), why))
            done = holder.token != pending.token || (advisory && removeLease(session, pending.token, why));
    }
    PQfinish(session);
    return done;
}

// The watcher's part of the releases left: each tried once a round, and let
// go when made or when the lease it guards against has run out.
void settleReleases()
{
    std::vector<PendingRelease> pending;
    {
        std::lock_guard<std::mutex> lock(lockMutex);
        pending = pendingReleases;
    }
    for (const PendingRelease& p : pending) {
        if (std::chrono::steady_clock::now() < p.until && !releaseAfterItsSessions(p))
            continue;
        std::lock_guard<std::mutex> lock(lockMutex);
        std::erase_if(pendingReleases, [&](const PendingRelease& r) { return r.token == p.token; });
    }
}

// One round of the watcher: each held lock's lease renewed, a lock whose
// session is gone taken again, and an opening that finds its base taken by
// another told once; then the releases left by closes are tried again. Each lock is worked on outside the table's lock, and the
// notice is called after it is given back.
void renewLeases()
{
    std::unique_lock<std::mutex> lock(lockMutex);
    for (const int id : heldIds()) {
        LockUse use;
        if (!lock.owns_lock())
            lock.lock();
        if (!checkOut(lock, id, use))
            continue;
        lock.unlock();
        QString why;
        bool gone = !use.session;
        if (!gone) {
            // The renewal waits on the server as the round's work: a stop of
            // the round shuts the session (which leaves the list before it
            // is closed), and so does its COMMIT's bound (runLeaseWrite).
            const WatchedSession watched(QStringLiteral("kalvor-lease-%1").arg(id), use.session);
            const LeaseTime sent = leaseNow(use.clock.get());
            if (writeLease(use.session, use.token, use.clock.get(), why))
                use.leaseFrom = sent;
            else
                gone = PQstatus(use.session) != CONNECTION_OK;
        }
        if (gone)
            retake(use, why);
        lock.lock();
        if (const auto notice = checkIn(lock, use))
            notice(use.database);
    }
    if (lock.owns_lock())
        lock.unlock();
    settleReleases();
}

// The watcher thread: runs while any base lock is held, a round every
// fifteenth of the lease, or at once when one is asked for.
class LeaseWatcher {
public:
    ~LeaseWatcher() { stop(); }
    void start()
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (m_running)
            return;
        m_running = true;
        m_thread = std::thread([this] { run(); });
    }
    void stop()
    {
        std::unique_lock<std::mutex> guard(m_mutex);
        if (!m_running)
            return;
        m_stopping = true;
        m_roundStop.request_stop();
        ++m_stops;
        guard.unlock();
        m_wake.notify_all();
        m_roundEnded.notify_all();
        m_thread.join();
        guard.lock();
        m_running = false;
        m_stopping = false;
    }
    // Stops the round at work now: its sessions that wait on the server are
    // shut kServerStopCutMilliseconds later (ServerStopScope), so that a
    // renewal the server does not answer holds up no close for longer.
    void cutRound()
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_roundStop.request_stop();
    }
    // Wakes the watcher for a round and waits until a round begun after the
    // call has ended (at once when the watcher does not run, or stops).
    void awaitRound()
    {
        std::unique_lock<std::mutex> guard(m_mutex);
        if (!m_running || m_stopping)
            return;
        const quint64 begun = m_begun, stops = m_stops;
        m_roundWanted = true;
        m_wake.notify_all();
        m_roundEnded.wait(guard, [&] { return m_ended > begun || m_stops != stops; });
    }

private:
    void run()
    {
        std::unique_lock<std::mutex> guard(m_mutex);
        for (;;) {
            const auto round = std::chrono::milliseconds(std::max(50, leaseMilliseconds.load() / 15));
            m_wake.wait_for(guard, round, [this] { return m_stopping || m_roundWanted; });
            if (m_stopping)
                return;
            m_roundWanted = false;
            const quint64 number = ++m_begun;
            m_roundStop = std::stop_source();
            const std::stop_token roundStop = m_roundStop.get_token();
            guard.unlock();
            if (!renewalsHeld.load()) {
                const ServerStopScope round(roundStop);
                renewLeases();
            }
            guard.lock();
            m_ended = number;
            m_roundEnded.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_roundEnded;
    bool m_running = false; // m_thread is to be joined
    bool m_stopping = false;
    bool m_roundWanted = false;
    quint64 m_begun = 0, m_ended = 0; // the rounds begun and the last one ended
    quint64 m_stops = 0;
    std::stop_source m_roundStop; // of the round at work
    std::thread m_thread;
};

// Starting and stopping the watcher, in turn.
QMutex watcherMutex;
LeaseWatcher leaseWatcher;

// A token for one opening, unlike any other's.
QByteArray newToken()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words).toHex();
}

} // namespace

void MakeServerHolderTable(const QSqlDatabase& db)
{
    if (IsServer(db))
        Execute(db, QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (id integer PRIMARY KEY, token varchar(32) NOT NULL, "
                                   "until timestamptz NOT NULL)")
                        .arg(QLatin1String(kHolderTable)));
}

ServerLockResult TakeServerLock(const QString& database, std::shared_ptr<const LeaseClock> clock, int& id,
                                QString& errorText)
{
    // Held in the base's own database: a login that may connect to the base
    // needs no other. A base being made or restored is built under another
    // name, so nobody opens it before it is complete.
    const QByteArray token = newToken();
    ServerLockResult result = ServerLockResult::Failed;
    const LeaseTime sent = leaseNow(clock.get());
    PGconn* session = lockOnNewSession(database, token, clock.get(), false, result, errorText);
    QMutexLocker starting(&watcherMutex);
    if (!session) {
        // The opening has ended before it began; a lease the server did not
        // answer may still be written once it lets go, and is released then.
        endToken(token);
        if (errorText == unansweredLeaseText()) {
            leaveRelease(database, token, std::move(clock));
            leaseWatcher.start();
        }
        return result;
    }
    {
        std::lock_guard<std::mutex> lock(lockMutex);
        id = ++lastLockId;
        heldLocks[id] = HeldLock{database, token, session, false, false, {}, std::move(clock), sent};
    }
    leaseWatcher.start();
    return result;
}

void OnServerLockHeldElsewhere(int id, std::function<void(const QString& database)> notify)
{
    std::lock_guard<std::mutex> lock(lockMutex);
    if (auto it = heldLocks.find(id); it != heldLocks.end())
        it->second.onHeldElsewhere = std::move(notify);
}

QString ReleaseServerLock(int id)
{
    QMutexLocker stopping(&watcherMutex);
    PGconn* session = nullptr;
    QByteArray token;
    QString database;
    std::shared_ptr<const LeaseClock> clock;
    {
        // A lock the watcher works on just now (a renewal the server may not
        // answer, a lock taken again) is let go once it is given back: the
        // watcher's round is cut short for it.
        std::unique_lock<std::mutex> lock(lockMutex);
        auto it = heldLocks.find(id);
        if (it != heldLocks.end() && it->second.inUse) {
            lock.unlock();
            leaseWatcher.cutRound();
            lock.lock();
        }
        lockFreed.wait(lock, [&] { return (it = heldLocks.find(id)) == heldLocks.end() || !it->second.inUse; });
        if (it == heldLocks.end())
            return QString();
        session = it->second.session;
        token = it->second.token;
        database = it->second.database;
        clock = it->second.clock;
        heldLocks.erase(it);
        endedTokens.insert(token);
    }
    // The holder's row goes with a clean close; ending the session ends
    // the advisory lock. The DELETE waits as a COMMIT does (runLeaseWrite).
    // A session already gone (cut with the watcher's renewal, dropped by
    // the server) removes nothing. A release not made is left to the
    // watcher, which makes it once the server answers, after every session
    // of this opening has ended (a renewal in flight then made or not).
    bool answered = false;
    if (session && PQstatus(session) == CONNECTION_OK) {
        QString why;
        answered = removeLease(session, token, why) || !sessionLost(session, why);
    }
    if (session)
        PQfinish(session);
    if (!answered)
        leaveRelease(database, token, clock);
    bool idle = false;
    {
        std::lock_guard<std::mutex> lock(lockMutex);
        idle = heldLocks.empty() && pendingReleases.empty();
    }
    if (idle)
        leaseWatcher.stop();
    if (answered)
        return QString();
    platform::AppendToConsoleLog(QStringLiteral("%1: база данных %2 закрыта, ответ на снятие отметки о ее открытии "
                                                "не получен")
                                     .arg(serverName(), database));
    return QString::fromUtf8(kReleaseNotKnownText).arg(database);
}

void EndServerWork()
{
    {
        // The lease watcher first: its round may wait on a server, whose
        // sessions the cut watcher shuts. A release left to it is not made
        // any more: its lease runs out.
        QMutexLocker stopping(&watcherMutex);
        leaseWatcher.stop();
        std::lock_guard<std::mutex> lock(lockMutex);
        for (auto& [id, held] : heldLocks)
            if (held.session)
                PQfinish(held.session);
        heldLocks.clear();
        pendingReleases.clear();
    }
    detail::endCutWatcher();
    Connection::closeAllForThread();
}

void SetServerLease(int milliseconds) { leaseMilliseconds = milliseconds > 0 ? milliseconds : kLeaseMilliseconds; }

void HoldServerLeaseRenewals(bool held) { renewalsHeld = held; }

void AwaitServerLeaseRound() { leaseWatcher.awaitRound(); }

namespace detail {

namespace {

DbError heldElsewhereError(const QString& database)
{
    return DbError(
        E_DB_BUSY,
        QStringLiteral("База данных %1 уже открыта другим пользователем. Изменения не сохранены.").arg(database),
        QStringLiteral("The base lock was lost and is held by another session"), kSource);
}

// Whether a lease this opening wrote lately still runs for most of its
// length. No other workstation takes a base while its holder's lease runs,
// so a write then goes on without asking the lock's session first, and
// saves that round trip; the watcher renews the lease every fifteenth of
// it, and takes a lost session again meanwhile. Past a fifth of the lease
// without a renewal the server answered, the session is asked.
bool leaseFresh(const HeldLock& held)
{
    return !held.heldElsewhere && held.leaseFrom != LeaseTime{} &&
           leaseNow(held.clock.get()) < held.leaseFrom + std::chrono::milliseconds(leaseMilliseconds.load() / 5);
}

} // namespace

void askServerLockBeforeNextWrite(const QString& database)
{
    std::lock_guard<std::mutex> lock(lockMutex);
    for (const int id : heldIds(database)) heldLocks.at(id).leaseFrom = LeaseTime{};
}

void requireServerLock(const QString& database)
{
    std::unique_lock<std::mutex> lock(lockMutex);
    for (const int id : heldIds(database)) {
        if (!lock.owns_lock())
            lock.lock();
        if (const auto it = heldLocks.find(id); it != heldLocks.end() && leaseFresh(it->second))
            continue;
        // A lock whose session the watcher renews just now lives as far as
        // is known: a renewal that the server holds (its COMMIT waiting) is
        // not waited for longer than a stop is, and the write goes on; its
        // own COMMIT is bounded (Transaction::commit).
        if (!lockFreed.wait_for(lock, std::chrono::milliseconds(kServerStopCutMilliseconds), [&] {
                const auto it = heldLocks.find(id);
                return it == heldLocks.end() || !it->second.inUse;
            })) {
            if (heldLocks.at(id).heldElsewhere)
                throw heldElsewhereError(database);
            continue;
        }
        // Once another workstation took the base, this opening never writes
        // into it again: its memory is older than the base.
        LockUse use;
        bool refused = false;
        if (!checkOut(lock, id, use, &refused)) {
            if (refused)
                throw heldElsewhereError(database);
            continue;
        }
        lock.unlock();
        // The server dropped the lock's session (a restart, a cut line) and
        // the watcher has not taken it again yet, nor renewed the lease
        // lately: the lock is taken again before anything is written, or
        // nothing is. The write itself says
        // so; no notice besides. The check is the worker's own wait on the
        // server, ended by its stop (the session shut is the watcher's to
        // take again).
        QString why;
        bool alive = false;
        {
            const WatchedSession watched(QStringLiteral("kalvor-lock-%1").arg(id), use.session);
            alive = sessionAlive(use.session);
        }
        const bool stopped = !alive && WorkStopped();
        if (!alive && !stopped)
            retake(use, why);
        lock.lock();
        checkIn(lock, use);
        if (stopped)
            throw stoppedError();
        if (use.result == ServerLockResult::HeldElsewhere)
            throw heldElsewhereError(database);
        if (use.result == ServerLockResult::CommitsHeld)
            throw DbError(E_DB_COMMITS_HELD, why, QString(), kSource);
        if (use.result == ServerLockResult::Failed)
            throw DbError(E_DB_CONNECTION_LOST, QString::fromUtf8(kConnectionLostText), why, kSource);
    }
}

} // namespace detail

// ------------------------------------------------------------------ temporary bases

namespace {

// The key of the lock that a temporary base's builder holds on the
// maintenance database: the program's number and a kind of its own, and the
// eight digits of the name. Two bases of the same digits share a lock; the
// cleanup then only waits for both.
constexpr int kTemporarySpace = 0x4B4C5654; // "KLVT"
const QRegularExpression& temporaryName()
{
    static const QRegularExpression name(QStringLiteral("^~([0-9a-f]{8})~"));
    return name;
}

QByteArray temporaryLockSql(const char* function, const QString& name)
{
    const quint32 digits = temporaryName().match(name).captured(1).toUInt(nullptr, 16);
    return QStringLiteral("SELECT %1(%2, %3)")
        .arg(QLatin1String(function))
        .arg(kTemporarySpace)
        .arg(qint32(digits))
        .toUtf8();
}

// Whether the session took the lock of that temporary base (without waiting).
bool tryTemporaryLock(PGconn* session, const QString& name, QString& errorText)
{
    PGresult* r = nullptr;
    if (!runOnSession(session, temporaryLockSql("pg_try_advisory_lock", name), {}, errorText, &r))
        return false;
    const bool taken = r && PQntuples(r) == 1 && PQgetvalue(r, 0, 0)[0] == 't';
    PQclear(r);
    return taken;
}

// Asks the server, as AskCommitOutcome does, what became of the rename of a
// database from `from` to `to` whose answer a cut ended; `backend` is the
// renaming session's.
CommitOutcome askRenameOutcome(const QString& from, const QString& to, int backend);

} // namespace

struct TemporaryServerBase::Impl {
    QString name;
    PGconn* session = nullptr;
    QString key = QStringLiteral("kalvor-temporary-%1").arg(sessionSerial.fetch_add(1));

    ~Impl() { release(); }

    // Ends the session, and the lock with it.
    void release()
    {
        if (!session)
            return;
        unwatchSession(key);
        PQfinish(std::exchange(session, nullptr));
    }
    // Runs a statement of base management on the session; throws its failure.
    // A stop asked before it is sent ends the work there.
    void run(const QString& sql)
    {
        countStatement(QSqlDatabase(), sql);
        ThrowWhenStopped();
        QString error;
        if (!session)
            throw DbError(E_DB_FAIL, QStringLiteral("Ошибка сервера базы данных %1").arg(serverName()), name, kSource);
        if (!runOnSession(session, sql.toUtf8(), {}, error))
            throw maintenanceFailure(error, sql, name, sessionLost(session, error));
    }
};

TemporaryServerBase::TemporaryServerBase(const QString& database) : d(std::make_unique<Impl>())
{
    QString error;
    d->session = connectSession(kMaintenanceBase);
    watchSession(d->key, d->session);
    // The lock is taken before the database exists, so that no cleanup ever
    // finds it unheld; digits whose lock another builder holds are drawn anew.
    constexpr int kServerNameBytes = 63;
    for (int tries = 0; d->name.isEmpty(); ++tries) {
        QString name = QStringLiteral("~%1~").arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
        // The base's name after it, cut on a whole character (a base's name
        // holds letters of one UTF-16 unit each).
        for (const QChar c : database) {
            if ((name + c).toUtf8().size() > kServerNameBytes)
                break;
            name += c;
        }
        if (tryTemporaryLock(d->session, name, error))
            d->name = name;
        else if (!error.isEmpty() || tries > 16)
            throw maintenanceFailure(error, QString::fromUtf8(temporaryLockSql("pg_try_advisory_lock", name)),
                                     database, sessionLost(d->session, error));
    }
    d->run(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(quotedName(d->name)));
}

TemporaryServerBase::~TemporaryServerBase() = default;

const QString& TemporaryServerBase::name() const { return d->name; }

void TemporaryServerBase::renameTo(const QString& database)
{
    Connection::closeForThread(ServerBaseLocator(d->name));
    const int backend = d->session ? PQbackendPID(d->session) : 0;
    try {
        d->run(QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(quotedName(d->name), quotedName(database)));
    } catch (const DbError& cut) {
        // Once sent, the rename may be made although its answer never came:
        // the server says what it holds. The session ends first, so that
        // the server ends what it did not receive.
        if (!EndsTheTransaction(cut))
            throw;
        d->release();
        switch (askRenameOutcome(d->name, database, backend)) {
        case CommitOutcome::Committed: break;
        case CommitOutcome::RolledBack: throw;
        case CommitOutcome::Held:
        case CommitOutcome::NotKnown:
            throw DbError(cut.code(), QString::fromUtf8(kRenameNotKnownText).arg(database), cut.description(),
                          cut.source());
        }
    }
    d->release();
}

void TemporaryServerBase::drop()
{
    Connection::closeForThread(ServerBaseLocator(d->name));
    d->run(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(quotedName(d->name)));
    d->release();
}

void DropLeftoverServerBases()
{
    QString error;
    PGconn* session = connectSession(kMaintenanceBase, error);
    if (!session)
        return;
    {
        const WatchedSession watched(QStringLiteral("kalvor-cleanup-%1").arg(sessionSerial.fetch_add(1)), session);
        // One with a session (a restore's tool of another workstation, or of
        // an older program that holds no lock) is passed by at once rather
        // than waited for; one whose builder holds its lock likewise.
        QStringList leftovers;
        PGresult* r = nullptr;
        if (runOnSession(session,
                         "SELECT datname FROM pg_database d WHERE datname LIKE '~%' AND NOT EXISTS "
                         "(SELECT 1 FROM pg_stat_activity a WHERE a.datname = d.datname)",
                         {}, error, &r) &&
            r) {
            for (int row = 0; row < PQntuples(r); ++row)
                if (const QString name = QString::fromUtf8(PQgetvalue(r, row, 0));
                    temporaryName().match(name).hasMatch())
                    leftovers << name;
        }
        PQclear(r);
        // A database in use is refused by the server (no FORCE); its lock is
        // held while it is dropped, so that no builder draws its digits
        // meanwhile.
        for (const QString& leftover : leftovers) {
            if (!tryTemporaryLock(session, leftover, error))
                continue;
            runOnSession(session, QStringLiteral("DROP DATABASE IF EXISTS %1").arg(quotedName(leftover)).toUtf8(), {},
                         error);
            runOnSession(session, temporaryLockSql("pg_advisory_unlock", leftover), {}, error);
        }
    }
    PQfinish(session);
}

// ------------------------------------------------------------------ a commit in doubt

namespace {

using Deadline = std::chrono::steady_clock::time_point;
constexpr std::chrono::milliseconds kCommitQuestionPause{100};

// Waits until the session's socket can be read (or written) or the deadline
// passes; false then, or when the socket failed.
bool waitForSocket(PGconn* session, bool forReading, Deadline deadline)
{
    const int socket = PQsocket(session);
    if (socket < 0)
        return false;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0)
        return false;
    pollfd polled{socket, short(forReading ? POLLIN : POLLOUT), 0};
    return ::poll(&polled, 1, int(left)) == 1 && (polled.revents & (POLLERR | POLLNVAL)) == 0;
}

// A session to the database made by the deadline, or null.
PGconn* connectBy(const QString& database, Deadline deadline)
{
    const SessionParameters p(database);
    PGconn* session = PQconnectStartParams(p.k.data(), p.v.data(), 0);
    if (!session || PQstatus(session) == CONNECTION_BAD)
        return session;
    PostgresPollingStatusType polled = PGRES_POLLING_WRITING;
    while (polled != PGRES_POLLING_OK && polled != PGRES_POLLING_FAILED) {
        if (!waitForSocket(session, polled == PGRES_POLLING_READING, deadline))
            return session;
        polled = PQconnectPoll(session);
    }
    return session;
}

// The one row of a question's answer, its text parameters bound; empty when
// the server gave none by the deadline.
QList<QByteArray> answerBy(PGconn* session, const char* sql, const QList<QByteArray>& parameters, Deadline deadline)
{
    std::vector<const char*> values;
    for (const QByteArray& p : parameters) values.push_back(p.constData());
    if (!session || PQstatus(session) != CONNECTION_OK ||
        !PQsendQueryParams(session, sql, int(values.size()), nullptr, values.data(), nullptr, nullptr, 0))
        return {};
    while (PQisBusy(session))
        if (!waitForSocket(session, true, deadline) || !PQconsumeInput(session))
            return {};
    QList<QByteArray> row;
    while (PGresult* r = PQgetResult(session)) {
        if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1)
            for (int column = 0; column < PQnfields(r); ++column) row << QByteArray(PQgetvalue(r, 0, column));
        PQclear(r);
    }
    return row;
}

// The server's word on the transaction ("committed", "aborted", "in
// progress", or "held": in progress while its session waits for a
// synchronous standby to confirm the COMMIT), empty when it gave none by the
// deadline. A session's transaction is its id's low 32 bits.
QByteArray transactionStatus(PGconn* session, const QByteArray& transaction, Deadline deadline)
{
    const QList<QByteArray> row =
        answerBy(session,
                 "SELECT pg_xact_status($1::xid8), EXISTS (SELECT 1 FROM pg_stat_activity WHERE wait_event = 'SyncRep' "
                 "AND backend_xid::text = ($1::xid8::text::numeric % 4294967296)::text)",
                 {transaction}, deadline);
    if (row.size() != 2)
        return {};
    return row[0] == "in progress" && row[1] == "t" ? QByteArray("held") : row[0];
}

// What the server holds of a rename whose answer was cut: "t" for each of
// the new name in place, the old one gone, and the renaming session still
// there (its rename may yet be made); empty when it gave no answer.
QByteArray renameState(PGconn* session, const QString& from, const QString& to, int backend, Deadline deadline)
{
    const QList<QByteArray> row = answerBy(session,
                                           "SELECT EXISTS (SELECT 1 FROM pg_database WHERE datname = $2), "
                                           "NOT EXISTS (SELECT 1 FROM pg_database WHERE datname = $1), "
                                           "EXISTS (SELECT 1 FROM pg_stat_activity WHERE pid = $3::integer)",
                                           {from.toUtf8(), to.toUtf8(), QByteArray::number(backend)}, deadline);
    return row.size() == 3 ? row.join() : QByteArray();
}

CommitOutcome askRenameOutcome(const QString& from, const QString& to, int backend)
{
    const Deadline deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kCommitQuestionMilliseconds);
    PGconn* session = connectBy(kMaintenanceBase, deadline);
    QByteArray state = renameState(session, from, to, backend, deadline);
    // A rename still on its way (its session there, e.g. waiting for a
    // standby) may end within the wait.
    while (!state.startsWith("tt") && state.endsWith('t') && std::chrono::steady_clock::now() + kCommitQuestionPause < deadline) {
        std::this_thread::sleep_for(kCommitQuestionPause);
        state = renameState(session, from, to, backend, deadline);
    }
    if (session)
        PQfinish(session);
    const CommitOutcome outcome = state.startsWith("tt")                 ? CommitOutcome::Committed
                                  : state.size() == 3 && state[2] == 'f' ? CommitOutcome::RolledBack
                                                                         : CommitOutcome::NotKnown;
    platform::AppendToConsoleLog(
        QStringLiteral("%1: переименование базы данных %2 в %3, ответ на которое не получен: %4")
            .arg(serverName(), from, to,
                 outcome == CommitOutcome::Committed    ? QStringLiteral("сделано")
                 : outcome == CommitOutcome::RolledBack ? QStringLiteral("не сделано")
                                                        : QStringLiteral("сервер не ответил")));
    return outcome;
}

} // namespace

CommitOutcome AskCommitOutcome(const CommitInDoubt& doubt)
{
    const Deadline deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kCommitQuestionMilliseconds);
    PGconn* session = connectBy(doubt.database, deadline);
    QByteArray status = transactionStatus(session, doubt.transaction, deadline);
    // A COMMIT still on its way (e.g. waiting for a standby) may end within the wait.
    while ((status == "in progress" || status == "held") &&
           std::chrono::steady_clock::now() + kCommitQuestionPause < deadline) {
        std::this_thread::sleep_for(kCommitQuestionPause);
        status = transactionStatus(session, doubt.transaction, deadline);
    }
    if (session)
        PQfinish(session);
    platform::AppendToConsoleLog(
        QStringLiteral("%1: транзакция %2, ответ на COMMIT которой не получен: %3")
            .arg(serverName(), QString::fromLatin1(doubt.transaction),
                 status.isEmpty() ? QStringLiteral("сервер не ответил") : QString::fromLatin1(status)));
    if (status == "committed")
        return CommitOutcome::Committed;
    if (status == "aborted")
        return CommitOutcome::RolledBack;
    if (status == "held")
        return CommitOutcome::Held;
    return CommitOutcome::NotKnown;
}

} // namespace kalvor::db
