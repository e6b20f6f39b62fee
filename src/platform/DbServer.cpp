// The PostgreSQL side of the database layer: the choice of engine, the
// server's connections, errors, transactions and databases.
#include "platform/DbInternal.h"

#include <QFile>
#include <QMutex>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QSysInfo>

#include <atomic>

namespace kalvor::db {

using namespace detail;

namespace {

const QString kLocatorPrefix = QStringLiteral("pgsql:");
const QString kDefaultEngine = QStringLiteral("KVR");
const QString kMaintenanceBase = QStringLiteral("postgres");

// The two keys of the server's advisory locks: the program's own number, and
// the kind of lock.
constexpr int kLockSpace = 0x4B4C5652; // "KLVR"
constexpr int kWriteLock = 2;

// How long the server may take to answer a connection, in seconds.
constexpr int kConnectSeconds = 5;

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

// What a failure to connect was, from the text of libpq (which gives no state
// for a connection that never began).
DbError connectFailure(const QSqlError& e, const QString& database)
{
    const QString text = e.databaseText() + QLatin1Char(' ') + e.driverText();
    const QString where = QStringLiteral("%1\n%2").arg(e.databaseText().trimmed(), database);
    if (text.contains(QLatin1String("does not exist")) && text.contains(QLatin1String("database")))
        return DbError(E_DB_NOT_FOUND, QStringLiteral("База данных не найдена."), where, kSource);
    if (text.contains(QLatin1String("authentication")) || text.contains(QLatin1String("password")) ||
        text.contains(QLatin1String("no pg_hba.conf entry")) || text.contains(QLatin1String("role")))
        return DbError(E_DB_LOGIN, QString::fromUtf8(kLoginText), where, kSource);
    return DbError(E_DB_NO_SERVER, QString::fromUtf8(kNoServerText), where, kSource);
}

void applyAddress(QSqlDatabase& db, const ServerAddress& server)
{
    db.setHostName(server.host);
    if (server.port > 0)
        db.setPort(server.port);
    // The server's notices ("does not exist, skipping") are no news to the user.
    QString options = QStringLiteral("connect_timeout=%1;options=-cclient_min_messages=warning").arg(kConnectSeconds);
    if (!server.service.isEmpty())
        options += QStringLiteral(";service=") + server.service;
    db.setConnectOptions(options);
}

// Opens a bare connection; throws the connect failure.
QSqlDatabase connectTo(const QString& connectionName, const QString& database)
{
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
        const DbError e = connectFailure(db.lastError(), database);
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw e;
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

// Runs one statement of base management on a connection to the maintenance
// database, closed again afterwards.
void runOnMaintenance(const QString& sql, const QStringList& values = {})
{
    const QString name = QStringLiteral("kalvor-admin-%1").arg(sessionSerial.fetch_add(1));
    connectTo(name, kMaintenanceBase);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
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
        if (!ran)
            error = q.lastError().databaseText();
        else if (q.isSelect() && q.next() && !q.value(0).toBool())
            error = QStringLiteral("-");
    }
    dropConnection(name);
    if (error == QLatin1String("-"))
        throw DbError(E_DB_NOT_FOUND, QStringLiteral("База данных не найдена."), values.join(QLatin1Char(' ')),
                      kSource);
    if (!error.isEmpty())
        throw DbError(E_DB_FAIL, QStringLiteral("Ошибка базы данных"), error.trimmed() + QLatin1Char('\n') + sql,
                      kSource);
}

// The environment of the server's tools: the same server, service and user.
QProcessEnvironment toolEnvironment()
{
    const ServerAddress server = Server();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGHOST"), server.host);
    if (server.port > 0)
        env.insert(QStringLiteral("PGPORT"), QString::number(server.port));
    if (!server.service.isEmpty())
        env.insert(QStringLiteral("PGSERVICE"), server.service);
    env.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QString::number(kConnectSeconds));
    return env;
}

// Runs a tool of the server to its end; throws when it is missing or fails.
void runTool(const QString& tool, const QStringList& arguments)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        throw DbError(E_DB_FAIL, QStringLiteral("Не найдена программа %1 сервера базы данных").arg(tool),
                      QStringLiteral("Установите пакет postgresql-client"), kSource);
    QProcess process;
    process.setProcessEnvironment(toolEnvironment());
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw DbError(E_DB_FAIL, QStringLiteral("Ошибка программы %1").arg(tool),
                      QString::fromLocal8Bit(process.readAllStandardError()).trimmed(), kSource);
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

namespace detail {

QSqlDatabase openServerConnection(const QString& connectionName, const QString& database)
{
    QSqlDatabase db = connectTo(connectionName, database);
    const QStringList setup = {QStringLiteral("SET search_path TO dbo, public"),
                               QStringLiteral("SET lock_timeout = %1").arg(kBusyWaitMilliseconds)};
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
    const QString state = e.nativeErrorCode();
    QString description = e.databaseText().trimmed();
    if (!what.isEmpty())
        description += (description.isEmpty() ? QString() : QStringLiteral("\n")) + what;
    // A connection that answers nothing more gives no state at all.
    const bool lost = isConnectionClass(state) || (state.isEmpty() && e.type() == QSqlError::ConnectionError) ||
                      (state.isEmpty() && !e.databaseText().isEmpty() &&
                       (e.databaseText().contains(QLatin1String("server closed the connection")) ||
                        e.databaseText().contains(QLatin1String("no connection to the server"))));
    if (lost) {
        threadConnections().lost.insert(db.connectionName());
        return DbError(E_DB_CONNECTION_LOST, QString::fromUtf8(kConnectionLostText), description, kSource);
    }
    // The server's states as the numbers of the file engine's errors, so that
    // callers tell a full disk, a broken key or a busy base apart the same way.
    if (state == QLatin1String("55P03") || state == QLatin1String("40P01") || state == QLatin1String("40001"))
        return DbError(E_DB_BUSY, QString::fromUtf8(kBusyText), description, kSource);
    std::uint32_t number = 1;
    if (state.startsWith(QLatin1String("53")))
        number = 13;
    else if (state.startsWith(QLatin1String("23")))
        number = 19;
    QString message = e.driverText();
    if (message.isEmpty())
        message = QStringLiteral("Ошибка базы данных");
    return DbError(E_DB_ENGINE | number, message, description, kSource);
}

QStringList serverBeginStatements(bool write)
{
    // A write transaction takes the base's write lock at once, as the file
    // engine does, so that two writers of one base follow each other.
    if (write)
        return {QStringLiteral("BEGIN"),
                QStringLiteral("SELECT pg_advisory_xact_lock(%1, %2)").arg(kLockSpace).arg(kWriteLock)};
    return {QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ")};
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
    try {
        runOnMaintenance(QStringLiteral("SELECT EXISTS (SELECT 1 FROM pg_database WHERE datname = ?)"), {database});
        return true;
    } catch (const DbError& e) {
        if (e.code() == E_DB_NOT_FOUND)
            return false;
        throw;
    }
}

void CreateServerBase(const QString& database)
{
    runOnMaintenance(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(quotedName(database)));
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

void CopyServerBase(const QString& from, const QString& to)
{
    Connection::closeForThread(ServerBaseLocator(from));
    runOnMaintenance(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(quotedName(to), quotedName(from)));
}

void DumpServerBase(const QString& database, const QString& targetFile)
{
    runTool(QStringLiteral("pg_dump"),
            {QStringLiteral("--format=custom"), QStringLiteral("--no-owner"), QStringLiteral("--file=") + targetFile,
             QStringLiteral("--dbname=") + database});
}

void RestoreServerBase(const QString& archiveFile, const QString& database)
{
    if (!QFile::exists(archiveFile))
        throw DbError(E_DB_NOT_FOUND, QStringLiteral("Не найден архив базы данных"), archiveFile, kSource);
    runTool(QStringLiteral("pg_restore"), {QStringLiteral("--no-owner"), QStringLiteral("--exit-on-error"),
                                           QStringLiteral("--dbname=") + database, archiveFile});
}

// ------------------------------------------------------------------ sessions

QString OpenServerSession(const QString& database, QString& errorText)
{
    const QString name = QStringLiteral("kalvor-session-%1").arg(sessionSerial.fetch_add(1));
    try {
        connectTo(name, database);
    } catch (const DbError& e) {
        errorText = e.message() + QStringLiteral(": ") + e.description();
        return QString();
    }
    return name;
}

void CloseServerSession(const QString& connectionName)
{
    if (!connectionName.isEmpty())
        dropConnection(connectionName);
}

} // namespace kalvor::db
