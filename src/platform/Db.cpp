#include "platform/Db.h"

#include "platform/Console.h"
#include "platform/DbBases.h"
#include "platform/DbInternal.h"
#include "platform/DbSchema.h"
#include "platform/DbServerWork.h"
#include "platform/DbTestHooks.h"
#include "platform/DbTransaction.h"
#include "platform/FileFailure.h"
#include "platform/PrivateFiles.h"
#include "platform/RawStatement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSqlDriver>
#include <QSqlError>
#include <QThread>

#include <sqlite3.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <stop_token>

namespace kalvor::db {

using namespace detail;

namespace {

// The engine's primary error numbers that get a text of the system's own.
enum EngineError : int {
    kEngineError = 1,
    kEngineBusy = 5,
    kEngineLocked = 6,
    kEngineCorrupt = 11,
    kEngineFull = 13,
    kEngineTooBig = 18,
    kEngineConstraint = 19,
    kEngineMismatch = 20,
    kEngineNotADatabase = 26
};

DbError fromSqlError(const QSqlError& e, const QString& what)
{
    bool ok = false;
    const int native = e.nativeErrorCode().toInt(&ok);
    const int primary = ok ? native & 0xFF : -1;
    const std::uint32_t code = ok ? (E_DB_ENGINE | std::uint32_t(primary)) : E_DB_FAIL;
    QString message = e.driverText();
    if (primary == kEngineBusy || primary == kEngineLocked)
        message = QString::fromUtf8(kBusyText);
    else if (primary == kEngineCorrupt || primary == kEngineNotADatabase)
        message = QString::fromUtf8(kDamagedText);
    if (message.isEmpty())
        message = QStringLiteral("Ошибка базы данных");
    return DbError(code, message, e.databaseText().trimmed(), kSource, what);
}

// The engine's failure on a file (a base file opened or attached, a copy's
// target): the file is named in the message, which the boxes show.
DbError fileFailure(const QSqlError& e, const QString& file)
{
    const DbError d = fromSqlError(e, file);
    return DbError(d.code(), QStringLiteral("%1\nФайл: %2").arg(d.message(), QDir::toNativeSeparators(file)),
                   d.description(), d.source(), d.statement());
}

thread_local int injectedFailureCountdown = 0;
thread_local int injectedDisconnectCountdown = 0;

// The call before a statement of a test (CallBeforeStatement).
struct StatementCall {
    QString part;
    int left = 0;
    std::function<void()> call;
};
QMutex statementCallMutex;
StatementCall statementCall;
std::atomic<bool> statementCallArmed{false};
std::atomic<unsigned> connectionSerial{0};

} // namespace

namespace detail {

ConnectionState::~ConnectionState()
{
    // The raw statements are finalized before the statements and the
    // connection close.
    rawStatements.clear();
    statements.clear();
}

ThreadConnections::~ThreadConnections()
{
    {
        // No session is shut once it closes.
        std::lock_guard guard(stopCut->mutex);
        stopCut->sessions.clear();
    }
    connections.clear();
    for (const auto& [file, name] : names) {
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
}

ThreadConnections& threadConnections()
{
    thread_local ThreadConnections t;
    return t;
}

ConnectionState& connectionState(const QSqlDatabase& db)
{
    return threadConnections().connections[db.connectionName()];
}

void markLost(const QString& connectionName)
{
    auto& all = threadConnections().connections;
    if (const auto it = all.find(connectionName); it != all.end())
        it->second.lost = true;
}

void beforeStatement(const QSqlDatabase& db, const QString& sql)
{
    readDueAnswer(db);
    countStatement(db, sql);
}

void countStatement(const QSqlDatabase& db, const QString& sql)
{
    noteStatementSent();
    if (statementCallArmed.load()) {
        std::function<void()> call;
        {
            QMutexLocker lock(&statementCallMutex);
            if (statementCall.call && sql.contains(statementCall.part) && --statementCall.left == 0) {
                call = std::move(statementCall.call);
                statementCall = {};
                statementCallArmed = false;
            }
        }
        if (call)
            call();
    }
    if (injectedDisconnectCountdown > 0 && --injectedDisconnectCountdown == 0 && IsServer(db)) {
        readDueAnswer(db);
        QSqlQuery end(db);
        end.exec(QStringLiteral("SELECT pg_terminate_backend(pg_backend_pid())"));
    }
    if (injectedFailureCountdown <= 0)
        return;
    if (--injectedFailureCountdown == 0)
        throw DbError(E_DB_ENGINE | 13, QStringLiteral("database or disk is full"),
                      QStringLiteral("database or disk is full (injected)"), kSource, sql);
}

DbError failure(const QSqlDatabase& db, const QSqlError& e, const QString& what)
{
    return IsServer(db) ? serverFailure(db, e, what) : fromSqlError(e, what);
}

} // namespace detail

namespace {

QString canonical(const QString& file)
{
    auto& paths = threadConnections().paths;
    auto it = paths.find(file);
    if (it == paths.end())
        it = paths.emplace(file, IsServerLocator(file) ? file : QFileInfo(file).absoluteFilePath()).first;
    return it->second;
}

// Opens the connection of that name to the base file: an empty main database
// with the file attached as schema dbo.
void openFileConnection(const QString& name, const QString& file)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyWaitMilliseconds));
        if (!db.open()) {
            const DbError e = fileFailure(db.lastError(), file);
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            throw e;
        }
        // The SQLite-only part: attach the base file as schema dbo, foreign keys
        // on, the short wait for locks. None of it writes into the file. The
        // journals of savepoints stay in memory: a save of many employees,
        // each a savepoint of one transaction, would otherwise write every
        // changed page into a temporary file as well.
        QSqlQuery q(db);
        q.prepare(QStringLiteral("ATTACH DATABASE ? AS dbo"));
        q.addBindValue(file);
        bool ok = q.exec();
        QSqlError err = q.lastError();
        if (ok) {
            const QString wait = QStringLiteral("PRAGMA busy_timeout=%1").arg(kBusyWaitMilliseconds);
            for (const QString& pragma :
                 {QStringLiteral("PRAGMA dbo.synchronous=NORMAL"), QStringLiteral("PRAGMA foreign_keys=ON"),
                  QStringLiteral("PRAGMA temp_store=MEMORY"), wait}) {
                if (!q.exec(pragma)) {
                    ok = false;
                    err = q.lastError();
                    break;
                }
            }
        }
        if (!ok) {
            const DbError e = fileFailure(err, file);
            q = QSqlQuery();
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            throw e;
        }
    }
}

} // namespace

DbError::DbError(std::uint32_t code, QString message, QString description, QString source, QString statement)
    : code_(code)
    , message_(std::move(message))
    , description_(std::move(description))
    , source_(std::move(source))
    , statement_(std::move(statement))
    , utf8_(QStringLiteral("%1 %2 %3%4")
                .arg(code_, 8, 16, QLatin1Char('0'))
                .arg(message_, description_, statement_.isEmpty() ? QString() : QLatin1Char('\n') + statement_)
                .toUtf8())
{}

QString NotKnownReason(bool held) { return QString::fromUtf8(held ? kCommitHeldReason : kServerSilentReason); }

DbError DbError::inDoubt(CommitInDoubt doubt) const
{
    DbError e(code_, QString::fromUtf8(doubt.held ? kCommitHeldText : kCommitNotKnownText), description_, source_,
              statement_);
    e.doubt_ = std::move(doubt);
    return e;
}

DbError DbError::naming(QString refused) const
{
    DbError e = *this;
    e.refused_ = std::move(refused);
    return e;
}

namespace {

// Connections opened by a worker for another thread and not taken yet, by
// the thread and the base (its absolute file name or locator).
QMutex handedMutex;
std::map<std::pair<QThread*, QString>, QString> handedConnections;

QString newConnectionName() { return QStringLiteral("kalvor-db-%1").arg(connectionSerial.fetch_add(1)); }

// Opens a new connection of that name to the base.
void openConnection(const QString& name, const QString& file)
{
    if (IsServerLocator(file))
        openServerConnection(name, ServerDatabaseOf(file));
    else
        openFileConnection(name, file);
}

// The connection handed over to the calling thread for the base, taken out
// of the waiting ones; empty when there is none.
QString takeHanded(const QString& file)
{
    QMutexLocker lock(&handedMutex);
    const auto it = handedConnections.find({QThread::currentThread(), file});
    if (it == handedConnections.end())
        return QString();
    const QString name = it->second;
    handedConnections.erase(it);
    return name;
}

} // namespace

QSqlDatabase Connection::forThread(const QString& baseFile)
{
    ThreadConnections& t = threadConnections();
    const QString file = canonical(baseFile);
    if (auto it = t.names.find(file); it != t.names.end()) {
        // A connection that the server dropped, or whose session the server
        // or the line ended while it was idle (a restart, a cut), is never
        // used again: it is opened anew once its transactions have ended, and
        // the base's lock is asked about before the next write.
        QSqlDatabase db = QSqlDatabase::database(it->second, false);
        const ConnectionState& state = t.connections[it->second];
        if (state.depth > 0 || (!state.lost && !idleSessionEnded(db)))
            return db;
        if (IsServer(db))
            askServerLockBeforeNextWrite(db.databaseName());
        db = QSqlDatabase();
        closeForThread(baseFile);
    }

    QString name = takeHanded(file);
    if (name.isEmpty()) {
        name = newConnectionName();
        openConnection(name, file);
    }
    t.names[file] = name;
    t.connections[name];
    QSqlDatabase db = QSqlDatabase::database(name, false);
    if (IsServer(db))
        watchSession(name, serverSession(db));
    return db;
}

void Connection::openForThread(const QString& baseFile, QThread* owner)
{
    const QString file = IsServerLocator(baseFile) ? baseFile : QFileInfo(baseFile).absoluteFilePath();
    if (owner == QThread::currentThread()) {
        forThread(file);
        return;
    }
    {
        QMutexLocker lock(&handedMutex);
        if (handedConnections.count({owner, file}))
            return;
    }
    const QString name = newConnectionName();
    openConnection(name, file);
    // The driver belongs to the thread that uses it: the connection is the
    // owner's from here on, and this thread touches it no more.
    QSqlDatabase::database(name, false).driver()->moveToThread(owner);
    QMutexLocker lock(&handedMutex);
    handedConnections[{owner, file}] = name;
}

void Connection::closeForThread(const QString& baseFile)
{
    ThreadConnections& t = threadConnections();
    const QString file = canonical(baseFile);
    if (const QString handed = takeHanded(file); !handed.isEmpty()) {
        {
            QSqlDatabase db = QSqlDatabase::database(handed, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(handed);
    }
    auto it = t.names.find(file);
    if (it == t.names.end())
        return;
    const QString name = it->second;
    unwatchSession(name);
    t.names.erase(it);
    t.connections.erase(name);
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

bool Connection::isOpenForThread(const QString& baseFile)
{
    return threadConnections().names.count(canonical(baseFile)) != 0;
}

void Connection::closeAllForThread()
{
    ThreadConnections& t = threadConnections();
    while (!t.names.empty()) closeForThread(t.names.begin()->first);
}

void Connection::idleForThread()
{
    ThreadConnections& t = threadConnections();
    for (auto& [connection, state] : t.connections) {
        for (auto& [sql, statement] : state.statements) statement->finish();
        for (auto& [sql, statement] : state.rawStatements) statement->reset();
    }
}

Recordset::Recordset(const QSqlDatabase& db, const QString& sql) : db_(db), query_(db), sql_(sql)
{
    if (IsServer(db)) {
        server_ = std::make_unique<ServerQuery>(db, sql);
        return;
    }
    query_.setForwardOnly(true);
    if (!query_.prepare(sql))
        throw failure(db_, query_.lastError(), sql);
}

Recordset::~Recordset() = default;

Recordset& Recordset::bind(int index, const QVariant& value)
{
    if (server_)
        server_->values.set(index, value);
    else
        query_.bindValue(index, value);
    return *this;
}

void Recordset::exec()
{
    if (server_) {
        server_->exec();
        return;
    }
    beforeStatement(db_, sql_);
    if (!query_.exec())
        throw failure(db_, query_.lastError(), sql_);
}

bool Recordset::next() { return server_ ? server_->next() : query_.next(); }

QVariant Recordset::value(int i) const { return server_ ? server_->value(i) : query_.value(i); }

int Recordset::numRowsAffected() const { return server_ ? server_->affected() : query_.numRowsAffected(); }

void Recordset::finish()
{
    if (server_)
        server_->reset();
    else
        query_.finish();
}

Recordset& Statement(const QSqlDatabase& db, const QString& sql)
{
    auto& kept = connectionState(db).statements;
    auto it = kept.find(sql);
    if (it == kept.end())
        it = kept.emplace(sql, std::make_unique<Recordset>(db, sql)).first;
    return *it->second;
}

namespace {

// The SQLite handle under a QtSql connection; null for a server connection.
sqlite3* HandleOf(const QSqlDatabase& db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

// UTF-8 text of the base as UTF-16, decoded the way SQLite decodes it for
// sqlite3_column_text16 (an invalid sequence, a surrogate or U+FFFE/U+FFFF
// becomes U+FFFD; a code point above U+FFFF a surrogate pair), straight into
// the string: no UTF-16 copy made by SQLite first.
QString TextFromUtf8(const unsigned char* in, int size)
{
    QString out(size, Qt::Uninitialized); // never more code units than bytes
    char16_t* to = reinterpret_cast<char16_t*>(out.data());
    const unsigned char* const end = in + size;
    while (in != end) {
        std::uint32_t c = *in++;
        if (c >= 0xC0) {
            // The lead byte's payload bits (none for 0xFE and 0xFF).
            c = c < 0xE0   ? c & 0x1F
                : c < 0xF0 ? c & 0x0F
                : c < 0xF8 ? c & 0x07
                : c < 0xFC ? c & 0x03
                : c < 0xFE ? c & 0x01
                           : 0;
            while (in != end && (*in & 0xC0) == 0x80) c = (c << 6) + (0x3F & *in++);
            if (c < 0x80 || (c & 0xFFFFF800) == 0xD800 || (c & 0xFFFFFFFE) == 0xFFFE)
                c = 0xFFFD;
        }
        if (c <= 0xFFFF) {
            *to++ = char16_t(c);
        } else {
            *to++ = char16_t(0xD800 | (((c >> 10) & 0x3F) + (((c - 0x10000) >> 10) & 0xC0)) |
                             ((((c - 0x10000) >> 18) & 0x03) << 8));
            *to++ = char16_t(((0xDC + ((c >> 8) & 0x03)) << 8) | (c & 0xFF));
        }
    }
    out.truncate(qsizetype(to - reinterpret_cast<const char16_t*>(out.constData())));
    return out;
}

// The error of a raw statement, as fromSqlError gives it for the others.
DbError fromRawError(sqlite3* db, int rc, const QString& sql)
{
    const int primary = rc & 0xFF;
    QString message = QStringLiteral("Unable to fetch row");
    if (primary == kEngineBusy || primary == kEngineLocked)
        message = QString::fromUtf8(kBusyText);
    else if (primary == kEngineCorrupt || primary == kEngineNotADatabase)
        message = QString::fromUtf8(kDamagedText);
    return DbError(E_DB_ENGINE | std::uint32_t(primary), message, QString::fromUtf8(sqlite3_errmsg(db)), kSource, sql);
}

// The text of a query whose rows come in the order of those result columns,
// for a base file's engine: ORDER BY their places (from 1).
QString sortedText(const QString& sql, const std::vector<int>& sortColumns)
{
    if (sortColumns.empty())
        return sql;
    QStringList places;
    for (const int column : sortColumns) places << QString::number(column + 1);
    return sql + QStringLiteral(" ORDER BY ") + places.join(QStringLiteral(", "));
}

} // namespace

RawStatement::RawStatement(const QSqlDatabase& db, const QString& sql, const std::vector<int>& sortColumns)
    : db_(db), sql_(sortedText(sql, sortColumns))
{
    sqlite3* handle = HandleOf(db);
    if (!handle) {
        sql_ = sql;
        server_ = std::make_unique<ServerQuery>(db, sql, sortColumns);
        return;
    }
    const QByteArray text = sql_.toUtf8();
    const int rc =
        sqlite3_prepare_v3(handle, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        throw fromRawError(handle, rc, sql_);
    }
}

RawStatement::~RawStatement() { sqlite3_finalize(stmt_); }

RawStatement& RawStatement::bind(int index, qint64 value)
{
    if (server_) {
        server_->values.set(index, value);
        return *this;
    }
    sqlite3_bind_int64(stmt_, index + 1, value);
    return *this;
}

RawStatement& RawStatement::bind(int index, double value)
{
    if (server_) {
        server_->values.set(index, value);
        return *this;
    }
    sqlite3_bind_double(stmt_, index + 1, value);
    return *this;
}

RawStatement& RawStatement::bind(int index, const QString& value)
{
    if (server_) {
        server_->values.set(index, value);
        return *this;
    }
    if (value.isNull())
        sqlite3_bind_null(stmt_, index + 1);
    else
        sqlite3_bind_text16(stmt_, index + 1, value.utf16(), int(value.size() * 2), SQLITE_TRANSIENT);
    return *this;
}

RawStatement& RawStatement::bind(int index, const QVariant& value)
{
    if (server_) {
        server_->values.set(index, value);
        return *this;
    }
    switch (KindOfValue(value)) {
    case ValueKind::Null: sqlite3_bind_null(stmt_, index + 1); break;
    case ValueKind::Integer:
    case ValueKind::Unsigned: sqlite3_bind_int64(stmt_, index + 1, value.toLongLong()); break;
    case ValueKind::Float: sqlite3_bind_double(stmt_, index + 1, value.toDouble()); break;
    case ValueKind::Bytes: {
        const QByteArray bytes = value.toByteArray();
        sqlite3_bind_blob(stmt_, index + 1, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        break;
    }
    case ValueKind::Text: bind(index, value.toString()); break;
    }
    return *this;
}

bool RawStatement::next()
{
    if (server_) {
        if (!running_) {
            server_->exec();
            running_ = true;
        }
        running_ = server_->next();
        return running_;
    }
    if (!running_) {
        beforeStatement(db_, sql_);
        running_ = true;
    }
    if (step())
        return true;
    sqlite3_reset(stmt_);
    running_ = false;
    return false;
}

int RawStatement::toInt(int column) const
{
    return server_ ? server_->toInt(column) : int(sqlite3_column_int64(stmt_, column));
}

qint64 RawStatement::toInt64(int column) const
{
    return server_ ? server_->toInt64(column) : sqlite3_column_int64(stmt_, column);
}

double RawStatement::toDouble(int column) const
{
    return server_ ? server_->toDouble(column) : sqlite3_column_double(stmt_, column);
}

QString RawStatement::toString(int column) const
{
    if (server_)
        return server_->toString(column);
    const unsigned char* text = sqlite3_column_text(stmt_, column);
    if (!text)
        return QString();
    return TextFromUtf8(text, sqlite3_column_bytes(stmt_, column));
}

QVariant RawStatement::value(int column) const
{
    if (server_)
        return server_->value(column);
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_INTEGER: return QVariant(qlonglong(sqlite3_column_int64(stmt_, column)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(stmt_, column));
    case SQLITE_TEXT: return QVariant(toString(column));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, column)),
                                   sqlite3_column_bytes(stmt_, column)));
    default: return QVariant();
    }
}

void RawStatement::reset()
{
    if (server_)
        server_->reset();
    else
        sqlite3_reset(stmt_);
    running_ = false;
}

void RawStatement::startTogether(const std::vector<RawStatement*>& queries)
{
    // On a base file (the queries are all of one connection) each runs alone.
    if (queries.empty() || !queries.front()->server_)
        return;
    std::vector<ServerQuery*> onServer;
    for (RawStatement* q : queries) {
        q->running_ = false;
        onServer.push_back(q->server_.get());
    }
    ServerQuery::execTogether(onServer);
    for (RawStatement* q : queries) q->running_ = true;
}

qint64 RawStatement::lastInsertId() const
{
    if (!server_)
        return sqlite3_last_insert_rowid(sqlite3_db_handle(stmt_));
    // The server's last value of an identity column of this session.
    return RawStatementFor(db_, QStringLiteral("SELECT lastval()")).selectInt64();
}

bool RawStatement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(stmt_);
    running_ = false;
    throw fromRawError(sqlite3_db_handle(stmt_), rc, sql_);
}

void RawStatement::exec()
{
    if (server_) {
        server_->exec();
        server_->reset();
        return;
    }
    beforeStatement(db_, sql_);
    while (step()) {
    }
    sqlite3_reset(stmt_);
}

qint64 RawStatement::selectInt64()
{
    if (server_) {
        server_->exec();
        const qint64 value = server_->next() ? server_->toInt64(0) : 0;
        server_->reset();
        return value;
    }
    beforeStatement(db_, sql_);
    const qint64 value = step() ? sqlite3_column_int64(stmt_, 0) : 0;
    sqlite3_reset(stmt_);
    return value;
}

RawStatement& RawStatementFor(const QSqlDatabase& db, const QString& sql, const std::vector<int>& sortColumns)
{
    auto& kept = connectionState(db).rawStatements;
    // Kept by the text a base file runs, which names the order too.
    const QString key = sortedText(sql, sortColumns);
    auto it = kept.find(key);
    if (it == kept.end())
        it = kept.emplace(key, std::make_unique<RawStatement>(db, sql, sortColumns)).first;
    return *it->second;
}

QString EngineWords(const DbError& e)
{
    // The layer's own errors (a lost connection, a stop, a busy base) carry
    // their words in the message.
    if (!IsRefusal(e))
        return e.message();
    QString words = e.description().section(QLatin1Char('\n'), 0, 0).trimmed();
    // The server starts its text with the message's severity.
    for (const char* severity : {"ERROR:", "ОШИБКА:", "FATAL:", "ВАЖНО:"})
        if (words.startsWith(QString::fromUtf8(severity)))
            words = words.mid(QString::fromUtf8(severity).size()).trimmed();
    return words.isEmpty() ? e.message() : words;
}

bool IsBusy(const DbError& e)
{
    return (e.code() & 0xFFFFFF00u) == E_DB_ENGINE && ((e.code() & 0xFF) == kEngineBusy || (e.code() & 0xFF) == kEngineLocked);
}

bool IsBaseFileError(const DbError& e)
{
    return e.code() == E_DB_NOT_A_BASE || e.code() == E_DB_DAMAGED || e.code() == E_DB_VERSION;
}

bool IsRefusal(const DbError& e)
{
    // The engine's own numbers of a refused write (the layer's own codes
    // share the prefix): an error a trigger raises, a full disk, a value too
    // big, a broken constraint, a value of the wrong type.
    if ((e.code() & 0xFFFFFF00u) != E_DB_ENGINE)
        return false;
    switch (e.code() & 0xFF) {
    case kEngineError:
    case kEngineFull:
    case kEngineTooBig:
    case kEngineConstraint:
    case kEngineMismatch: return true;
    default: return false;
    }
}

void Execute(const QSqlDatabase& db, const QString& sql)
{
    beforeStatement(db, sql);
    const std::optional<ServerWaitBound> bound = boundOutsideWork(db);
    if (IsServer(db)) {
        runOnServer(db, sql);
        return;
    }
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw failure(db, q.lastError(), sql);
}

QString detail::stepSql(HeldStep step)
{
    // The savepoints' texts of the usual depths are made once, not for
    // every savepoint.
    constexpr int kMade = 16;
    static const auto made = [] {
        std::array<std::array<QString, kMade>, 3> texts;
        for (int d = 0; d < kMade; ++d) {
            texts[0][std::size_t(d)] = QStringLiteral("SAVEPOINT sp%1").arg(d);
            texts[1][std::size_t(d)] = QStringLiteral("RELEASE SAVEPOINT sp%1").arg(d);
            texts[2][std::size_t(d)] = QStringLiteral("ROLLBACK TO SAVEPOINT sp%1").arg(d);
        }
        return texts;
    }();
    const auto savepoint = [&](std::size_t kind, const char* text) {
        if (step.depth >= 0 && step.depth < kMade)
            return made[kind][std::size_t(step.depth)];
        return QString::fromLatin1(text).arg(step.depth);
    };
    switch (step.kind) {
    case HeldStep::Begin: return QStringLiteral("BEGIN");
    case HeldStep::BeginRead: return QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ");
    case HeldStep::WriteLock: return serverWriteLockSql();
    case HeldStep::TransactionId: return QStringLiteral("SELECT pg_current_xact_id()");
    case HeldStep::Savepoint: return savepoint(0, "SAVEPOINT sp%1");
    case HeldStep::Release: return savepoint(1, "RELEASE SAVEPOINT sp%1");
    case HeldStep::RollbackTo: return savepoint(2, "ROLLBACK TO SAVEPOINT sp%1");
    }
    return QString();
}

namespace {

// The guards of the bases' writes, the last set of a base first.
struct SetGuard {
    int key;
    QString base; // absolute file name or locator
    std::shared_ptr<const WriteGuard> guard;
};
QMutex guardsMutex;
std::vector<SetGuard> setGuards;
int lastGuardKey = 0;

// The guard of the base that the calling thread's connection is to; null
// when none is set.
std::shared_ptr<const WriteGuard> guardOf(const QSqlDatabase& db)
{
    const QString name = db.connectionName();
    const ThreadConnections& t = threadConnections();
    const auto it = std::find_if(t.names.begin(), t.names.end(), [&](const auto& n) { return n.second == name; });
    if (it == t.names.end())
        return nullptr;
    QMutexLocker lock(&guardsMutex);
    for (auto g = setGuards.rbegin(); g != setGuards.rend(); ++g)
        if (g->base == it->first)
            return g->guard;
    return nullptr;
}

} // namespace

int GuardWrites(const QString& baseFile, WriteGuard guard)
{
    const QString base = canonical(baseFile);
    QMutexLocker lock(&guardsMutex);
    setGuards.push_back({++lastGuardKey, base, std::make_shared<const WriteGuard>(std::move(guard))});
    return lastGuardKey;
}

void UnguardWrites(int key)
{
    QMutexLocker lock(&guardsMutex);
    std::erase_if(setGuards, [key](const SetGuard& g) { return g.key == key; });
}

namespace detail {

// What a transaction does on its connection's engine: the one place where a
// base file and a server differ in it (Transaction).
class TransactionEngine {
public:
    virtual ~TransactionEngine() = default;
    // The bound of the outermost transaction's waits; null for none.
    virtual std::unique_ptr<ServerWaitBound> bound() const = 0;
    // Begins the outermost transaction, a write or a read.
    virtual void begin(const QSqlDatabase& db, bool write) const = 0;
    // Ends it, its changes kept, within its bound (null for none).
    virtual void commit(const QSqlDatabase& db, bool write, ServerWaitBound* bound) const = 0;
    // Rolls it back, its failure dropped.
    virtual void rollback(const QSqlDatabase& db) const = 0;
    // Marks or releases a savepoint (the step's kind says which).
    virtual void savepoint(const QSqlDatabase& db, HeldStep step) const = 0;
    // Undoes a savepoint and releases it.
    virtual void undoSavepoint(const QSqlDatabase& db, int depth) const = 0;
};

} // namespace detail

namespace {

// A base file's transaction: each statement runs at once.
class FileTransaction final : public TransactionEngine {
public:
    std::unique_ptr<ServerWaitBound> bound() const override { return nullptr; }

    void begin(const QSqlDatabase& db, bool write) const override
    {
        QSqlQuery q(db);
        const QString begin = write ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN");
        if (!q.exec(begin))
            throw failure(db, q.lastError(), begin);
    }

    void commit(const QSqlDatabase& db, bool /*write*/, ServerWaitBound* /*bound*/) const override
    {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("COMMIT")))
            throw failure(db, q.lastError(), QStringLiteral("COMMIT"));
    }

    void rollback(const QSqlDatabase& db) const override
    {
        QSqlQuery q(db);
        q.exec(QStringLiteral("ROLLBACK"));
    }

    // Prepared once per connection, as a save of many employees marks and
    // releases one savepoint for each.
    void savepoint(const QSqlDatabase& db, HeldStep step) const override { RawStatementFor(db, stepSql(step)).exec(); }

    void undoSavepoint(const QSqlDatabase& db, int depth) const override
    {
        QSqlQuery q(db);
        q.exec(stepSql({HeldStep::RollbackTo, depth}));
        q.exec(stepSql({HeldStep::Release, depth}));
    }
};

// A server's transaction: its own steps (its opening, its savepoints) are
// held for its next statement, a transaction that sent nothing ends without
// a word to the server, and a COMMIT whose answer was cut is settled by
// asking the server.
class ServerTransaction final : public TransactionEngine {
public:
    // Outside a worker's stop (the user-interface thread's saves and reads)
    // the transaction is bounded by the server's silence.
    std::unique_ptr<ServerWaitBound> bound() const override
    {
        return ServerStopScope::current().stop_possible() ? nullptr : std::make_unique<ServerWaitBound>();
    }

    // The opening goes with the transaction's first statement, in its round
    // trip: the BEGIN, and for a write the write lock and its id, the base
    // lock made sure of first.
    void begin(const QSqlDatabase& db, bool write) const override
    {
        if (write)
            requireServerLock(db.databaseName());
        forgetTransaction(db);
        if (!write) {
            holdStep(db, {HeldStep::BeginRead});
            return;
        }
        for (const HeldStep::Kind step : {HeldStep::Begin, HeldStep::WriteLock, HeldStep::TransactionId})
            holdStep(db, {step});
    }

    void commit(const QSqlDatabase& db, bool write, ServerWaitBound* bound) const override
    {
        // Outside a worker's stop a write's COMMIT is cut on its own bound:
        // a COMMIT the server holds (a session stopped, a synchronous standby
        // that does not answer) has its session shut
        // kServerStopCutMilliseconds after it is sent, and is then settled as
        // every cut COMMIT is.
        if (write && bound)
            bound->stopNow();
        // Nothing of it was sent: there is nothing to end.
        if (beginHeld(db)) {
            forgetTransaction(db);
            return;
        }
        if (write)
            commitAndSettle(db);
        else
            runOnServer(db, QStringLiteral("COMMIT"));
    }

    // Nothing is sent when its BEGIN was not sent yet.
    void rollback(const QSqlDatabase& db) const override
    {
        const bool sent = !beginHeld(db);
        forgetTransaction(db);
        if (!sent)
            return;
        try {
            runOnServer(db, QStringLiteral("ROLLBACK"));
        } catch (const DbError&) {
        }
    }

    void savepoint(const QSqlDatabase& db, HeldStep step) const override
    {
        countStatement(db, stepSql(step));
        holdStep(db, step);
    }

    // Nothing is sent when its mark was not sent yet: the release takes it back.
    void undoSavepoint(const QSqlDatabase& db, int depth) const override
    {
        const std::vector<HeldStep>& held = connectionState(db).held;
        if (held.empty() || held.back() != HeldStep{HeldStep::Savepoint, depth})
            holdStep(db, {HeldStep::RollbackTo, depth});
        holdStep(db, {HeldStep::Release, depth});
    }

private:
    // The COMMIT of the connection's open write transaction: one whose
    // answer the stop or a lost connection cut is settled by asking the
    // server (Transaction::commit).
    static void commitAndSettle(const QSqlDatabase& db)
    {
        // The id was read by the transaction's opening: once the COMMIT is
        // sent, the session may be gone before its answer comes.
        QByteArray id = takeTransactionId(db);
        if (id.isEmpty()) {
            Recordset q(db, stepSql({HeldStep::TransactionId}));
            q.exec();
            id = q.next() ? q.toString(0).toLatin1() : QByteArray();
        }
        CommitInDoubt doubt{db.databaseName(), id};
        try {
            runOnServer(db, QStringLiteral("COMMIT"));
            return;
        } catch (const DbError& cut) {
            if (!EndsTheTransaction(cut))
                throw;
            switch (AskCommitOutcome(doubt)) {
            case CommitOutcome::Committed:
                platform::AppendToConsoleLog(QStringLiteral("%1: ответ на COMMIT не получен, сервер сообщил, что "
                                                            "транзакция %2 сохранена")
                                                 .arg(detail::serverName(), QString::fromLatin1(doubt.transaction)));
                return;
            case CommitOutcome::RolledBack: throw;
            case CommitOutcome::NotKnown: throw cut.inDoubt(doubt);
            case CommitOutcome::Held: doubt.held = true; throw cut.inDoubt(doubt);
            }
        }
    }
};

const FileTransaction fileTransaction;
const ServerTransaction serverTransaction;

const TransactionEngine& engineOf(const QSqlDatabase& db)
{
    if (IsServer(db))
        return serverTransaction;
    return fileTransaction;
}

} // namespace

void detail::RefuseWriteInRead(const QSqlDatabase& db)
{
    if (!connectionState(db).reading)
        return;
    Q_ASSERT_X(false, "Transaction", kWriteInReadText);
    throw DbError(E_DB_FAIL, QString::fromUtf8(kWriteInReadText), QString(), kSource);
}

Transaction::Transaction(const QSqlDatabase& db, Kind kind) : db_(db), engine_(&engineOf(db)), kind_(kind)
{
    readDueAnswer(db_);
    int& depth = connectionState(db_).depth;
    if (depth > 0 && kind == Write)
        RefuseWriteInRead(db_);
    if (depth == 0) {
        bound_ = engine_->bound();
        if (kind == Write)
            guard_ = guardOf(db_);
        if (guard_ && guard_->before)
            guard_->before();
        engine_->begin(db_, kind == Write);
        if (guard_ && guard_->begun) {
            try {
                guard_->begun(db_);
            } catch (...) {
                engine_->rollback(db_);
                throw;
            }
        }
        if (kind == Read)
            connectionState(db_).reading = true;
    } else {
        engine_->savepoint(db_, {HeldStep::Savepoint, depth});
    }
    depth_ = ++depth;
}

void Transaction::commit()
{
    if (done_)
        return;
    readDueAnswer(db_);
    if (depth_ == 1) {
        const auto end = [this] { engine_->commit(db_, kind_ == Write, bound_.get()); };
        if (guard_ && guard_->commit)
            guard_->commit(end);
        else
            end();
        connectionState(db_).reading = false;
    } else {
        engine_->savepoint(db_, {HeldStep::Release, depth_ - 1});
    }
    done_ = true;
    connectionState(db_).depth = depth_ - 1;
}

Transaction::~Transaction()
{
    if (done_)
        return;
    // An answer still due is read first (the session takes no other
    // statement before it); what it says no longer matters, as everything
    // since the savepoint or the transaction's start is undone.
    try {
        readDueAnswer(db_);
    } catch (const DbError&) {
    }
    int& depth = connectionState(db_).depth;
    if (depth_ == 1) {
        engine_->rollback(db_);
        connectionState(db_).reading = false;
    } else {
        engine_->undoSavepoint(db_, depth_ - 1);
    }
    depth = depth_ - 1;
}

void WriteTogether(const QSqlDatabase& db, const std::function<void()>& writes)
{
    Transaction transaction(db);
    AnswersLater later(db);
    writes();
    later.collect();
    transaction.commit();
}

void UseWriteAheadJournal(const QSqlDatabase& db)
{
    if (IsServer(db))
        return; // the server keeps its own journal
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA dbo.journal_mode")) || !q.next())
        throw fromSqlError(q.lastError(), QStringLiteral("PRAGMA dbo.journal_mode"));
    if (q.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0)
        return;
    if (!q.exec(QStringLiteral("PRAGMA dbo.journal_mode=WAL")))
        throw fromSqlError(q.lastError(), QStringLiteral("PRAGMA dbo.journal_mode=WAL"));
}

void Checkpoint(const QSqlDatabase& db)
{
    if (IsServer(db))
        return;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA dbo.wal_checkpoint(TRUNCATE)")))
        throw fromSqlError(q.lastError(), QString());
}

QString FilePageFaults(const QSqlDatabase& db)
{
    if (IsServer(db))
        return QString();
    QString found;
    try {
        Recordset check(db, QStringLiteral("PRAGMA dbo.quick_check"));
        check.exec();
        while (check.next() && found.size() < 500) {
            const QString line = check.toString(0);
            if (line != QLatin1String("ok"))
                found += (found.isEmpty() ? QString() : QStringLiteral("\n")) + line;
        }
    } catch (const DbError& e) {
        found = e.message() + QLatin1Char(' ') + e.description();
    }
    return found;
}

bool TableExists(const QSqlDatabase& db, const QString& table)
{
    // The server keeps unquoted names in lower case.
    RawStatement& q = RawStatementFor(
        db, IsServer(db) ? QStringLiteral("SELECT COUNT(*) FROM information_schema.tables "
                                          "WHERE table_schema = 'dbo' AND table_name = lower(?)")
                         : QStringLiteral("SELECT COUNT(*) FROM dbo.sqlite_master WHERE type = 'table' AND name = ?"));
    return q.bind(0, table).selectInt64() > 0;
}

bool HasUniqueKey(const QSqlDatabase& db, const QString& name)
{
    RawStatement& q =
        RawStatementFor(db, IsServer(db) ? QStringLiteral("SELECT COUNT(*) FROM pg_constraint c JOIN pg_namespace n ON "
                                                          "n.oid = c.connamespace WHERE n.nspname = 'dbo' AND "
                                                          "c.contype = 'u' AND c.conname = lower(?)")
                                         : QStringLiteral("SELECT COUNT(*) FROM dbo.sqlite_master WHERE type = 'index' "
                                                          "AND name = ?"));
    return q.bind(0, name).selectInt64() > 0;
}

void MakeUniqueKey(const QSqlDatabase& db, const QString& name, const QString& table, const QStringList& columns)
{
    const QString list = columns.join(QStringLiteral(", "));
    Execute(db, IsServer(db) ? QStringLiteral("ALTER TABLE dbo.%2 ADD CONSTRAINT %1 UNIQUE (%3) DEFERRABLE INITIALLY "
                                              "IMMEDIATE")
                                   .arg(name, table, list)
                             : QStringLiteral("CREATE UNIQUE INDEX dbo.%1 ON %2 (%3)").arg(name, table, list));
}

QStringList TableColumns(const QSqlDatabase& db, const QString& table)
{
    if (IsServer(db))
        return ServerTableColumns(db, table);
    Recordset q(db, QStringLiteral("SELECT name FROM pragma_table_info(?, 'dbo')"));
    q.bind(0, table);
    q.exec();
    QStringList names;
    while (q.next()) names << q.toString(0);
    return names;
}

std::map<QString, QStringList> EveryTableColumns(const QSqlDatabase& db)
{
    // The server keeps unquoted names in lower case. The columns are put in
    // their order here: a sort by a table's name is the server's own work,
    // which the statement would be sent for again.
    RawStatement& q = RawStatementFor(
        db, IsServer(db) ? QStringLiteral("SELECT table_name, column_name, ordinal_position FROM "
                                          "information_schema.columns WHERE table_schema = 'dbo'")
                         : QStringLiteral("SELECT m.name, p.name, p.cid FROM dbo.sqlite_master AS m JOIN "
                                          "pragma_table_info(m.name, 'dbo') AS p WHERE m.type = 'table'"));
    std::map<QString, std::map<qint64, QString>> placed;
    while (q.next()) placed[q.toString(0).toLower()][q.toInt64(2)] = q.toString(1);
    std::map<QString, QStringList> tables;
    for (const auto& [table, columns] : placed)
        for (const auto& [place, name] : columns) tables[table] << name;
    return tables;
}

QString StorageClassSql(const QSqlDatabase& db, const QString& column, const QString& declaredType)
{
    if (!IsServer(db))
        return QStringLiteral("typeof(%1)").arg(column);
    return QStringLiteral("CASE WHEN %1 IS NULL THEN 'null' ELSE '%2' END").arg(column, declaredType.toLower());
}

void BackupTo(const QSqlDatabase& db, const QString& targetFile)
{
    if (QFile::exists(targetFile))
        throw DbError(E_DB_FAIL, QStringLiteral("Файл уже существует"), targetFile, kSource);
    if (IsServer(db)) {
        DumpServerBase(db.databaseName(), targetFile);
        return;
    }
    // The copy holds the whole payroll: it is made readable by its owner
    // alone before anything is written into it (the engine writes into an
    // empty file as into a new one).
    QString why;
    if (!platform::CreatePrivateFile(targetFile, &why))
        throw DbError(E_DB_FAIL, QStringLiteral("Ошибка записи в файл %1").arg(targetFile), why, kSource);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("VACUUM dbo INTO ?"));
    q.addBindValue(targetFile);
    if (!q.exec()) {
        const QSqlError failure = q.lastError();
        QFile::remove(targetFile);
        // A full disk is the copy's own failure: said in words, naming the copy.
        if ((failure.nativeErrorCode().toInt() & 0xFF) == kEngineFull)
            throw DbError(E_DB_FAIL, QStringLiteral("Ошибка записи в файл %1").arg(targetFile),
                          platform::WriteFailureText(ENOSPC), kSource);
        throw fileFailure(failure, targetFile);
    }
}

void BackupFileTo(const QString& baseFile, const QString& targetFile)
{
    const bool wasOpen = Connection::isOpenForThread(baseFile);
    try {
        BackupTo(Connection::forThread(baseFile), targetFile);
    } catch (...) {
        if (!wasOpen)
            Connection::closeForThread(baseFile);
        throw;
    }
    if (!wasOpen)
        Connection::closeForThread(baseFile);
}

void InjectFailureAfter(int statements) { injectedFailureCountdown = statements > 0 ? statements : 0; }

void InjectDisconnectAfter(int statements) { injectedDisconnectCountdown = statements > 0 ? statements : 0; }

void CallBeforeStatement(const QString& part, int n, std::function<void()> call)
{
    QMutexLocker lock(&statementCallMutex);
    statementCall = StatementCall{part, n, std::move(call)};
    statementCallArmed = statementCall.call && n > 0;
}

} // namespace kalvor::db
