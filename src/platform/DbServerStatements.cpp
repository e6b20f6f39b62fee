// Statements on a server connection's own libpq session: the raw statements
// of the loaders and savers (prepared once per session, their rows read
// straight from the result), and batches of statements sent together in one
// round trip through libpq's pipeline. On SQLite a batch runs its statements
// one by one as they are added.
#include "platform/ColumnArrays.h"
#include "platform/Db.h"
#include "platform/DbInternal.h"
#include "platform/DbServerWork.h"
#include "platform/DbTransaction.h"
#include "platform/RawStatement.h"

#include <QDate>
#include <QLocale>
#include <QSqlDriver>

#include <libpq-fe.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <optional>
#include <vector>

namespace kalvor::db {

using namespace detail;

namespace {

// At most this many rows in one multi-row insert, and at most this many
// values in one statement (the server takes up to 65535).
constexpr int kMaxRowsPerInsert = 1000;
constexpr int kMaxValuesPerStatement = 30000;

const QString kRowsMark = QStringLiteral(" VALUES (");

// The statement with its "?" marks numbered as the server's parameters, from
// $next on (marks inside quotes stay as they are).
QString numbered(const QString& sql, int& next)
{
    QString out;
    out.reserve(sql.size() + 32);
    QChar quote;
    for (const QChar c : sql) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            out += c;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            out += c;
        } else if (c == QLatin1Char('?')) {
            out += QLatin1Char('$') + QString::number(next++);
        } else {
            out += c;
        }
    }
    return out;
}

// A statement that inserts one row of values ("INSERT INTO ... VALUES (?, ...)",
// maybe with more after the row), whose rows can be joined with the next rows
// of the same statement: the text before the row, the row, and the rest.
struct RowInsert {
    QString head, row, tail;
};

std::optional<RowInsert> rowInsertOf(const QString& sql)
{
    if (!sql.startsWith(QLatin1String("INSERT INTO ")) || sql.count(kRowsMark) != 1)
        return std::nullopt;
    const qsizetype open = sql.indexOf(kRowsMark) + kRowsMark.size() - 1;
    int depth = 0;
    for (qsizetype i = open; i < sql.size(); ++i) {
        if (sql[i] == QLatin1Char('\''))
            return std::nullopt;
        if (sql[i] == QLatin1Char('('))
            ++depth;
        else if (sql[i] == QLatin1Char(')') && --depth == 0)
            return RowInsert{sql.left(open), sql.mid(open, i + 1 - open), sql.mid(i + 1)};
    }
    return std::nullopt;
}

// The server's text of `rows` rows of the statement.
QString serverText(const QString& sql, int rows)
{
    int next = 1;
    if (rows == 1)
        return numbered(sql, next);
    const RowInsert parts = *rowInsertOf(sql);
    QString out = numbered(parts.head, next);
    for (int r = 0; r < rows; ++r) out += (r ? QStringLiteral(", ") : QString()) + numbered(parts.row, next);
    return out + numbered(parts.tail, next);
}

// Numbers of the server's types whose values are converted here.
enum ServerType : unsigned {
    kBool = 16,
    kBytes = 17,
    kInt8 = 20,
    kInt2 = 21,
    kName = 19,
    kInt4 = 23,
    kText = 25,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kVarchar = 1043,
    kDate = 1082,
    kNumeric = 1700
};

bool isIntegerType(unsigned type) { return type == kInt8 || type == kInt2 || type == kInt4 || type == kOid; }
bool isFloatType(unsigned type) { return type == kFloat4 || type == kFloat8 || type == kNumeric; }

// The types whose binary form is read here; a query with a column of any
// other type (a numeric, a timestamp) has its rows in text form.
bool isBinaryReadType(unsigned type)
{
    return isIntegerType(type) || type == kFloat4 || type == kFloat8 || type == kBool || type == kBytes ||
           type == kDate || type == kText || type == kVarchar || type == kName;
}

// The day that a date's binary form counts from.
const QDate kServerEpoch(2000, 1, 1);

// A binary value of 1, 2, 4 or 8 bytes in network order, as an unsigned
// number and as a signed one.
quint64 binaryUnsigned(const char* v, int length)
{
    quint64 n = 0;
    for (int i = 0; i < length; ++i) n = (n << 8) | quint64(static_cast<unsigned char>(v[i]));
    return n;
}

qint64 binaryInteger(const char* v, int length)
{
    const quint64 n = binaryUnsigned(v, length);
    const int bits = length * 8;
    if (bits >= 64 || bits == 0)
        return qint64(n);
    const quint64 sign = quint64(1) << (bits - 1);
    return qint64((n ^ sign) - sign);
}

// The server's text of a floating-point value (the C locale's, whatever the
// program's locale).
double parseDouble(const char* text, int length)
{
    const std::string_view v(text, std::size_t(length));
    if (v == "NaN")
        return std::nan("");
    if (v == "Infinity")
        return HUGE_VAL;
    if (v == "-Infinity")
        return -HUGE_VAL;
    double d = 0;
    std::from_chars(text, text + length, d);
    return d;
}

qint64 parseInteger(const char* text, int length)
{
    qint64 n = 0;
    std::from_chars(text, text + length, n);
    return n;
}

// The failure of a statement on the session: its result's error, or the
// session's own message when there is no failed result (none came, or the
// pipeline skipped the statement after an earlier one failed).
DbError statementFailure(const QSqlDatabase& db, PGconn* session, const PGresult* r, const QString& sql)
{
    if (r && PQresultStatus(r) != PGRES_FATAL_ERROR)
        r = nullptr;
    const QString state = r ? QString::fromLatin1(PQresultErrorField(r, PG_DIAG_SQLSTATE)) : QString();
    const QString text = QString::fromUtf8(r ? PQresultErrorMessage(r) : PQerrorMessage(session)).trimmed();
    const bool lost = !session || PQstatus(session) == CONNECTION_BAD;
    const QSqlError e(QStringLiteral("Unable to create query"), text,
                      lost ? QSqlError::ConnectionError : QSqlError::StatementError, state);
    return serverFailure(db, e, sql);
}

// The server's text of a floating-point value: the shortest that reads
// back as the same number.
QByteArray serverNumber(double value)
{
    if (std::isnan(value))
        return QByteArrayLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QByteArrayLiteral("Infinity") : QByteArrayLiteral("-Infinity");
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

std::atomic<unsigned> preparedSerial{0};

// A new name among the session's prepared statements.
QByteArray newStatementName() { return "kalvor_" + QByteArray::number(preparedSerial.fetch_add(1)); }

} // namespace

namespace detail {

pg_conn* serverSession(const QSqlDatabase& db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    // The driver names the type by libpq's structure or by its typedef.
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(handle.constData());
}

bool idleSessionEnded(const QSqlDatabase& db)
{
    PGconn* session = serverSession(db);
    if (!session)
        return false;
    if (PQstatus(session) == CONNECTION_BAD)
        return true;
    if (PQtransactionStatus(session) != PQTRANS_IDLE)
        return false;
    // The first read may take a farewell that came before the end of the
    // connection; the second then meets that end.
    for (int read = 0; read < 2; ++read)
        if (PQconsumeInput(session) == 0 || PQstatus(session) == CONNECTION_BAD)
            return true;
    return false;
}

void holdStep(const QSqlDatabase& db, HeldStep step)
{
    std::vector<HeldStep>& held = connectionState(db).held;
    if (step.kind == HeldStep::Release && !held.empty() && held.back() == HeldStep{HeldStep::Savepoint, step.depth}) {
        held.pop_back();
        return;
    }
    held.push_back(step);
}

void forgetTransaction(const QSqlDatabase& db)
{
    ConnectionState& state = connectionState(db);
    state.held.clear();
    state.transactionId.clear();
}

bool beginHeld(const QSqlDatabase& db)
{
    const std::vector<HeldStep>& held = connectionState(db).held;
    return !held.empty() && (held.front().kind == HeldStep::Begin || held.front().kind == HeldStep::BeginRead);
}

QByteArray takeTransactionId(const QSqlDatabase& db) { return std::exchange(connectionState(db).transactionId, {}); }

HeldSteps::HeldSteps(const QSqlDatabase& db) : db_(db), steps_(std::exchange(connectionState(db).held, {})) {}

QByteArray HeldSteps::aheadOf(const QByteArray& sql) const
{
    QByteArray text;
    for (const HeldStep& step : steps_) text += stepSql(step).toUtf8() + ";\n";
    return text + sql;
}

bool HeldSteps::send(PGconn* session) const
{
    for (const HeldStep& step : steps_)
        if (PQsendQueryParams(session, stepSql(step).toUtf8().constData(), 0, nullptr, nullptr, nullptr, nullptr, 0) !=
            1)
            return false;
    return true;
}

void HeldSteps::read(PGconn* session, const std::function<void(const PGresult* r, const QString& sql)>& fail) const
{
    const bool pipeline = PQpipelineStatus(session) != PQ_PIPELINE_OFF;
    for (const HeldStep& step : steps_) {
        PGresult* r = PQgetResult(session);
        if (r && pipeline)
            while (PGresult* end = PQgetResult(session)) PQclear(end);
        const ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
            fail(r, stepSql(step));
        else if (step.kind == HeldStep::TransactionId && PQntuples(r) == 1 && PQnfields(r) == 1)
            connectionState(db_).transactionId = QByteArray(PQgetvalue(r, 0, 0));
        PQclear(r);
    }
}

void runOnServer(const QSqlDatabase& db, const QString& sql)
{
    PGconn* session = serverSession(db);
    const HeldSteps held(db);
    if (!session)
        throw statementFailure(db, nullptr, nullptr, sql);
    // One query of several statements: one round trip, each statement's
    // result read in turn; the first failure ends the rest.
    noteStatementSent();
    if (PQsendQuery(session, held.aheadOf(sql.toUtf8()).constData()) != 1)
        throw statementFailure(db, session, nullptr, sql);
    std::optional<DbError> failure;
    const auto fail = [&](const PGresult* r) {
        if (r && PQresultStatus(r) == PGRES_FATAL_ERROR && !failure)
            failure = statementFailure(db, session, r, sql);
    };
    held.read(session, [&](const PGresult* r, const QString&) { fail(r); });
    while (PGresult* r = PQgetResult(session)) {
        fail(r);
        PQclear(r);
    }
    if (!failure && PQstatus(session) == CONNECTION_BAD)
        failure = statementFailure(db, session, nullptr, sql);
    if (failure)
        throw *failure;
}

void ServerValues::put(int index, QByteArray value, bool isNull, bool isBinary)
{
    const std::size_t at = std::size_t(base + index);
    if (text.size() <= at) {
        text.resize(at + 1);
        null.resize(at + 1, 1);
        binary.resize(at + 1, 0);
    }
    text[at] = std::move(value);
    null[at] = isNull;
    binary[at] = isBinary;
}

void ServerValues::set(int index, qint64 value) { put(index, QByteArray::number(value)); }

void ServerValues::set(int index, double value) { put(index, serverNumber(value)); }

void ServerValues::set(int index, const QString& value)
{
    if (value.isNull())
        put(index, QByteArray(), true);
    else
        put(index, value.toUtf8());
}

void ServerValues::set(int index, const QVariant& value)
{
    switch (KindOfValue(value)) {
    case ValueKind::Null: put(index, QByteArray(), true); break;
    case ValueKind::Integer: set(index, qint64(value.toLongLong())); break;
    case ValueKind::Unsigned: put(index, QByteArray::number(value.toULongLong())); break;
    case ValueKind::Float: set(index, value.toDouble()); break;
    case ValueKind::Bytes: put(index, value.toByteArray(), false, true); break;
    case ValueKind::Text: set(index, value.toString()); break;
    }
}

void ServerValues::clear()
{
    text.clear();
    null.clear();
    binary.clear();
    base = 0;
}

ServerQuery::ServerQuery(const QSqlDatabase& db, const QString& sql, std::vector<int> sortColumns)
    : db_(db), sql_(sql), sortColumns_(std::move(sortColumns))
{
    int next = 1;
    text_ = numbered(sql, next).toUtf8();
    parameters_ = next - 1;
}

ServerQuery::~ServerQuery() { reset(); }

void ServerQuery::takeShape(PreparedText& p, const PGresult* shape)
{
    p.described = true;
    p.binary = true;
    for (int c = 0; c < PQnfields(shape); ++c) p.binary = p.binary && isBinaryReadType(PQftype(shape, c));
}

void ServerQuery::exec() { execTogether({this}); }

namespace {

// The next result of a command sent in a pipeline, its end read too; null
// when the session gives none (it is gone).
PGresult* commandResult(PGconn* session)
{
    PGresult* r = PQgetResult(session);
    if (r)
        while (PGresult* more = PQgetResult(session)) PQclear(more);
    return r;
}

bool failed(const PGresult* r)
{
    const ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    return status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK;
}

} // namespace

bool ServerQuery::sendQueries(PGconn* session, std::map<QString, PreparedText>& prepared,
                              const std::vector<ServerQuery*>& queries, SentSteps& steps)
{
    steps.prepares.assign(queries.size(), 0);
    steps.describes.assign(queries.size(), 0);
    bool sent = true;
    for (std::size_t i = 0; sent && i < queries.size(); ++i) {
        const ServerQuery& q = *queries[i];
        PreparedText& p = prepared[q.sql_];
        if (p.name.isEmpty()) {
            p.name = newStatementName();
            steps.prepares[i] = 1;
            sent = PQsendPrepare(session, p.name.constData(), q.text_.constData(), q.parameters_, nullptr) == 1;
        }
        if (!p.described) {
            steps.describes[i] = 1;
            sent = sent && PQsendDescribePrepared(session, p.name.constData()) == 1;
        }
        // Rows in binary form once the types are known to read in it.
        const Parameters v = q.parameters();
        sent = sent && PQsendQueryPrepared(session, p.name.constData(), q.parameters_, v.values.data(),
                                           v.lengths.data(), v.formats.data(), p.binary && p.described ? 1 : 0) == 1;
    }
    return sent;
}

void ServerQuery::readQueries(const QSqlDatabase& db, PGconn* session, std::map<QString, PreparedText>& prepared,
                              const std::vector<ServerQuery*>& queries, const SentSteps& steps,
                              std::optional<DbError>& failure)
{
    auto fail = [&](PGresult* r, const QString& sql) {
        if (!failure)
            failure = statementFailure(db, session, r, sql);
    };
    for (std::size_t i = 0; i < queries.size(); ++i) {
        ServerQuery* q = queries[i];
        PreparedText& p = prepared[q->sql_];
        for (int step = 0; step < steps.prepares[i]; ++step) {
            PGresult* r = commandResult(session);
            if (failed(r))
                fail(r, q->sql_);
            PQclear(r);
        }
        if (steps.describes[i]) {
            PGresult* shape = commandResult(session);
            if (failed(shape))
                fail(shape, q->sql_);
            else
                takeShape(p, shape);
            PQclear(shape);
        }
        PGresult* r = commandResult(session);
        if (failed(r))
            fail(r, q->sql_);
        if (failure)
            PQclear(r);
        else
            q->take(r);
    }
}

void ServerQuery::execTogether(const std::vector<ServerQuery*>& queries)
{
    if (queries.empty())
        return;
    const QSqlDatabase& db = queries.front()->db_;
    for (ServerQuery* q : queries) {
        q->reset();
        beforeStatement(q->db_, q->sql_);
    }
    const std::optional<ServerWaitBound> bound = boundOutsideWork(db);
    PGconn* session = serverSession(db);
    if (!session)
        throw statementFailure(db, nullptr, nullptr, queries.front()->sql_);
    // Sent in one pipeline, answered up to its sync: the statements held for
    // the next one, then each query, prepared and described first where the
    // session has not prepared its text yet.
    auto& prepared = connectionState(db).serverPrepared;
    const HeldSteps held(db);
    SentSteps steps;
    bool sent = PQenterPipelineMode(session) == 1;
    sent = sent && held.send(session);
    sent = sent && sendQueries(session, prepared, queries, steps);
    if (sent)
        sent = PQpipelineSync(session) == 1;
    if (!sent) {
        const DbError e = statementFailure(db, session, nullptr, queries.front()->sql_);
        PQexitPipelineMode(session);
        for (std::size_t i = 0; i < queries.size() && i < steps.prepares.size(); ++i)
            if (steps.prepares[i])
                prepared.erase(queries[i]->sql_);
        throw e;
    }
    std::optional<DbError> failure;
    held.read(session, [&](const PGresult* r, const QString& step) {
        if (!failure)
            failure = statementFailure(db, session, r, step);
    });
    readQueries(db, session, prepared, queries, steps, failure);
    if (PQstatus(session) != CONNECTION_BAD)
        PQclear(PQgetResult(session)); // the sync
    PQexitPipelineMode(session);
    if (failure) {
        // A preparation after the failure was never made: the text is
        // prepared again under a new name next time.
        for (std::size_t i = 0; i < queries.size(); ++i) {
            queries[i]->reset();
            if (steps.prepares[i] || steps.describes[i])
                prepared.erase(queries[i]->sql_);
        }
        throw *failure;
    }
}

ServerQuery::Parameters ServerQuery::parameters() const
{
    Parameters p;
    p.values.assign(std::size_t(parameters_), nullptr);
    p.lengths.assign(p.values.size(), 0);
    p.formats.assign(p.values.size(), 0);
    for (std::size_t k = 0; k < p.values.size() && k < values.text.size(); ++k) {
        p.values[k] = values.null[k] ? nullptr : values.text[k].constData();
        p.lengths[k] = int(values.text[k].size());
        p.formats[k] = values.binary[k];
    }
    return p;
}

void ServerQuery::take(PGresult* r)
{
    result_ = r;
    rows_ = PQntuples(r);
    row_ = -1;
    binary_ = PQbinaryTuples(r) == 1;
    affected_ = std::atoi(PQcmdTuples(r));
    for (const int column : sortColumns_)
        Q_ASSERT_X(column < PQnfields(r) && isIntegerType(PQftype(r, column)), "ServerQuery",
                   "a sort column that is no integer column of the result");
    if (!sortColumns_.empty())
        sortRows();
}

// The rows in the order of the sort columns, ascending, nulls last, rows of
// equal keys in the server's order.
void ServerQuery::sortRows()
{
    const std::size_t width = sortColumns_.size();
    std::vector<qint64> keys(std::size_t(rows_) * width);
    std::vector<char> nulls(keys.size());
    for (int row = 0; row < rows_; ++row)
        for (std::size_t k = 0; k < width; ++k) {
            const std::size_t at = std::size_t(row) * width + k;
            nulls[at] = char(PQgetisnull(result_, row, sortColumns_[k]));
            keys[at] = nulls[at] ? 0 : integerAt(row, sortColumns_[k]);
        }
    order_.resize(std::size_t(rows_));
    std::iota(order_.begin(), order_.end(), 0);
    std::stable_sort(order_.begin(), order_.end(), [&](int x, int y) {
        for (std::size_t k = 0; k < width; ++k) {
            const std::size_t a = std::size_t(x) * width + k, b = std::size_t(y) * width + k;
            if (nulls[a] != nulls[b])
                return nulls[b] != 0;
            if (keys[a] != keys[b])
                return keys[a] < keys[b];
        }
        return false;
    });
}

bool ServerQuery::next()
{
    if (!result_ || row_ + 1 >= rows_) {
        reset();
        return false;
    }
    ++row_;
    return true;
}

void ServerQuery::reset()
{
    if (result_)
        PQclear(result_);
    result_ = nullptr;
    row_ = -1;
    rows_ = 0;
    order_.clear();
}

qint64 ServerQuery::toInt64(int column) const
{
    if (PQgetisnull(result_, at(), column))
        return 0;
    if (isIntegerType(PQftype(result_, column)))
        return integerAt(at(), column);
    return value(column).toLongLong();
}

double ServerQuery::toDouble(int column) const
{
    if (PQgetisnull(result_, at(), column))
        return 0;
    const unsigned type = PQftype(result_, column);
    if (isFloatType(type))
        return doubleAt(column);
    if (isIntegerType(type))
        return double(integerAt(at(), column));
    return value(column).toDouble();
}

QString ServerQuery::toString(int column) const
{
    if (PQgetisnull(result_, at(), column))
        return QString();
    const unsigned type = PQftype(result_, column);
    if (isIntegerType(type) || isFloatType(type) || type == kBool || type == kBytes || type == kDate)
        return value(column).toString();
    return QString::fromUtf8(PQgetvalue(result_, at(), column), PQgetlength(result_, at(), column));
}

qint64 ServerQuery::integerAt(int row, int column) const
{
    const char* v = PQgetvalue(result_, row, column);
    const int length = PQgetlength(result_, row, column);
    if (!binary_)
        return parseInteger(v, length);
    return PQftype(result_, column) == kOid ? qint64(binaryUnsigned(v, length)) : binaryInteger(v, length);
}

double ServerQuery::doubleAt(int column) const
{
    const char* v = PQgetvalue(result_, at(), column);
    const int length = PQgetlength(result_, at(), column);
    if (!binary_)
        return parseDouble(v, length);
    const quint64 bits = binaryUnsigned(v, length);
    if (length == 4)
        return double(std::bit_cast<float>(quint32(bits)));
    return std::bit_cast<double>(bits);
}

QVariant ServerQuery::value(int column) const
{
    const int row = at();
    if (PQgetisnull(result_, row, column))
        return QVariant();
    const char* v = PQgetvalue(result_, row, column);
    const int length = PQgetlength(result_, row, column);
    switch (PQftype(result_, column)) {
    case kInt2:
    case kInt4:
    case kOid: return QVariant(int(integerAt(row, column)));
    case kInt8: return QVariant(qlonglong(integerAt(row, column)));
    case kFloat4:
    case kFloat8:
    case kNumeric: return QVariant(doubleAt(column));
    case kBool: return QVariant(binary_ ? v[0] != 0 : v[0] == 't');
    case kDate:
        return QVariant(binary_ ? kServerEpoch.addDays(binaryInteger(v, length))
                                : QDate::fromString(QString::fromLatin1(v, length), Qt::ISODate));
    case kBytes: {
        if (binary_)
            return QVariant(QByteArray(v, length));
        std::size_t size = 0;
        unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(v), &size);
        const QByteArray out(reinterpret_cast<const char*>(bytes), qsizetype(size));
        PQfreemem(bytes);
        return QVariant(out);
    }
    default: return QVariant(QString::fromUtf8(v, length));
    }
}

} // namespace detail

namespace {

// One statement as sent: its text's name among the session's prepared
// statements, and its values.
struct Command {
    QString sql; // as added (the first row's for a multi-row insert)
    QString key; // the statement and its number of rows
    QByteArray name;
    QByteArray text; // set when it must be prepared first
    int first = 0, count = 0;
};

// The result of a pipeline: the first failure, if any.
struct PipelineFailure {
    bool failed = false;
    QString state, text, sql;
};

// A batch's failure: a refusal of what it writes named as its owner named it.
DbError namedRefusal(const DbError& e, const QString& refused)
{
    return refused.isEmpty() || !IsRefusal(e) ? e : e.naming(refused);
}

} // namespace

struct Batch::Impl {
    struct Entry {
        QString sql;
        int first = 0, count = 0;
        int counted = 1; // as the test hooks count it
    };

    QSqlDatabase db;
    bool server = false;
    std::optional<Transaction> own; // the batch's own savepoint (SQLite) or transaction
    int savepoint = 0; // server, inside a transaction: the depth of the pipeline's savepoint
    RawStatement* pending = nullptr; // SQLite: the statement being bound
    // SQLite: the statements this batch has run, by the text they were added
    // with: a batch adds the same few texts over and over (a row each), and
    // the same text object is told by its data without a look-up.
    std::vector<std::pair<QString, RawStatement*>> used;
    // Server: the statements added and their values in order.
    std::vector<Entry> entries;
    ServerValues values;

    QString refused; // Batch::naming
    std::function<void()> taken; // Batch::whenTaken, for the next run
    void runPending()
    {
        if (RawStatement* s = std::exchange(pending, nullptr)) {
            try {
                s->exec();
            } catch (const DbError& e) {
                throw namedRefusal(e, refused);
            }
        }
    }

    // The connection's statement of the text (SQLite).
    RawStatement& statementFor(const QString& sql)
    {
        for (const auto& [text, statement] : used)
            if (text.constData() == sql.constData() && text.size() == sql.size())
                return *statement;
        RawStatement& statement = RawStatementFor(db, sql);
        constexpr std::size_t kMostKept = 8;
        if (used.size() < kMostKept)
            used.emplace_back(sql, &statement);
        return statement;
    }

    // The current statement's index-th value.
    template <class T>
    void set(int index, const T& value)
    {
        if (!server) {
            pending->bind(index, value);
            return;
        }
        values.set(index, value);
        Entry& e = entries.back();
        e.count = std::max(e.count, index + 1);
    }

    std::vector<Command> commands();
    PipelineFailure queue(PGconn* session, const std::vector<Command>& list, SentBatch& sent);
    void runOnServer();
};

Batch::Batch(const QSqlDatabase& db) : d(std::make_unique<Impl>())
{
    d->db = db;
    d->server = IsServer(db);
    const int depth = connectionState(db).depth;
    if (!d->server || depth == 0) {
        d->own.emplace(db);
    } else {
        RefuseWriteInRead(db);
        d->savepoint = depth;
    }
}

Batch::~Batch() = default;

Batch& Batch::add(const QString& sql)
{
    if (!d->server) {
        d->runPending();
        d->pending = &d->statementFor(sql);
    } else {
        d->values.base = int(d->values.text.size());
        d->entries.push_back(Impl::Entry{sql, d->values.base, 0});
    }
    return *this;
}

Batch& Batch::add(const QString& sql, int counted)
{
    add(sql);
    if (d->server)
        d->entries.back().counted = counted;
    return *this;
}

Batch& Batch::bind(int index, qint64 value)
{
    d->set(index, value);
    return *this;
}

Batch& Batch::bind(int index, double value)
{
    d->set(index, value);
    return *this;
}

Batch& Batch::bind(int index, const QString& value)
{
    d->set(index, value);
    return *this;
}

Batch& Batch::bind(int index, const QVariant& value)
{
    d->set(index, value);
    return *this;
}

Batch& Batch::naming(QString refused)
{
    d->refused = std::move(refused);
    return *this;
}

Batch& Batch::whenTaken(std::function<void()> taken)
{
    d->taken = std::move(taken);
    return *this;
}

void Batch::run()
{
    if (d->server)
        d->runOnServer();
    else
        d->runPending();
    if (d->own)
        d->own->commit();
    if (const std::function<void()> taken = std::exchange(d->taken, {}); taken && !d->server)
        taken();
}

// The statements as sent: consecutive rows of one insert joined, each text
// prepared once per session.
std::vector<Command> Batch::Impl::commands()
{
    auto& prepared = connectionState(db).serverPrepared;
    std::vector<Command> list;
    for (std::size_t i = 0; i < entries.size();) {
        const Entry& e = entries[i];
        std::size_t j = i + 1;
        if (rowInsertOf(e.sql)) {
            const int perRow = std::max(e.count, 1);
            const std::size_t most = std::size_t(std::clamp(kMaxValuesPerStatement / perRow, 1, kMaxRowsPerInsert));
            while (j < entries.size() && j - i < most && entries[j].count == e.count && entries[j].sql == e.sql) ++j;
        }
        const int rows = int(j - i);
        Command c;
        c.sql = e.sql;
        c.first = e.first;
        c.count = entries[j - 1].first + entries[j - 1].count - e.first;
        c.key = rows == 1 ? e.sql : e.sql + QLatin1Char('\n') + QString::number(rows);
        auto it = prepared.find(c.key);
        if (it == prepared.end()) {
            // A new name each time a text is prepared: a preparation whose
            // batch failed may still exist on the session. The batches sent
            // after this one use it at once; it is forgotten again when this
            // one fails.
            c.name = newStatementName();
            c.text = serverText(e.sql, rows).toUtf8();
            prepared[c.key].name = c.name;
        } else {
            c.name = it->second.name;
        }
        list.push_back(std::move(c));
        i = j;
    }
    return list;
}

namespace {

// At most this many batches wait for their answers on a connection.
constexpr std::size_t kMostAnswersDue = 16;

// Sends a step of the batch's own savepoint.
bool sendStatement(PGconn* session, SentBatch& sent, HeldStep step)
{
    sent.steps.push_back(stepSql(step));
    return PQsendQueryParams(session, sent.steps.back().toUtf8().constData(), 0, nullptr, nullptr, nullptr, nullptr,
                             0) == 1;
}

// Reads the results of one batch sent, up to its sync; gives its first failure.
PipelineFailure readResults(PGconn* session, const SentBatch& sent)
{
    PipelineFailure failure;
    auto fail = [&](const QString& state, const QString& text, const QString& sql) {
        if (!failure.failed)
            failure = PipelineFailure{true, state, text.trimmed(), sql};
    };
    const auto failedWith = [&](const PGresult* r, const QString& sql) {
        if (r && PQresultStatus(r) == PGRES_FATAL_ERROR)
            fail(QString::fromLatin1(PQresultErrorField(r, PG_DIAG_SQLSTATE)),
                 QString::fromUtf8(PQresultErrorMessage(r)), sql);
    };
    sent.held.read(session, failedWith);
    for (std::size_t step = 0; step < sent.steps.size(); ++step) {
        while (PGresult* r = PQgetResult(session)) {
            failedWith(r, sent.steps[step]);
            PQclear(r);
        }
        if (PQstatus(session) == CONNECTION_BAD)
            break;
    }
    if (PQstatus(session) != CONNECTION_BAD) {
        if (PGresult* sync = PQgetResult(session))
            PQclear(sync);
    } else {
        fail(QString(), QString::fromUtf8(PQerrorMessage(session)), sent.steps.back());
    }
    return failure;
}

// The texts that a batch prepared, forgotten when it failed (its preparation
// may not have run).
void forgetPrepared(const SentBatch& sent)
{
    auto& prepared = connectionState(sent.db).serverPrepared;
    for (const auto& [key, name] : sent.prepared)
        if (const auto it = prepared.find(key); it != prepared.end() && it->second.name == name)
            prepared.erase(it);
}

// A failed batch: what it did is undone (the transaction around it goes on)
// and its failure thrown.
[[noreturn]] void undoAndThrow(PGconn* session, const SentBatch& sent, const PipelineFailure& f)
{
    const bool lost = !session || PQstatus(session) == CONNECTION_BAD;
    if (sent.savepoint > 0 && !lost) {
        for (const HeldStep::Kind undo : {HeldStep::RollbackTo, HeldStep::Release})
            PQclear(PQexec(session, stepSql({undo, sent.savepoint}).toUtf8().constData()));
    }
    const QSqlError e(QStringLiteral("Unable to create query"), f.text,
                      lost ? QSqlError::ConnectionError : QSqlError::StatementError, f.state);
    throw namedRefusal(serverFailure(sent.db, e, f.sql), sent.refused);
}

// Reads the answers of the batches due, oldest first, until at most `keep`
// are left, and leaves the pipeline when none is. The first failure undoes
// its batch and every one after it (the server refused them with the
// transaction) and is thrown; the batches before it stand.
void readAnswers(const QSqlDatabase& db, LaterAnswers& later, std::size_t keep)
{
    PGconn* session = serverSession(db);
    std::optional<std::pair<SentBatch, PipelineFailure>> failed;
    while (later.due.size() > keep || (failed && !later.due.empty())) {
        SentBatch sent = std::move(later.due.front());
        later.due.pop_front();
        const PipelineFailure f =
            session ? readResults(session, sent) : PipelineFailure{true, {}, {}, sent.steps.front()};
        if (failed || f.failed)
            forgetPrepared(sent);
        if (failed)
            continue;
        if (f.failed) {
            failed.emplace(std::move(sent), f);
        } else {
            ++later.answered;
            if (sent.taken)
                sent.taken();
        }
    }
    if (later.due.empty() && session)
        PQexitPipelineMode(session);
    if (failed) {
        later.failed = true;
        later.heldBack = {};
        undoAndThrow(session, failed->first, failed->second);
    }
}

} // namespace

// Queues the savepoint, the statements, its release and the sync in one
// pipeline; the answer is read afterwards. Gives a failure to send.
PipelineFailure Batch::Impl::queue(PGconn* session, const std::vector<Command>& list, SentBatch& sent)
{
    auto failed = [&] {
        const PipelineFailure f{true, QString(), QString::fromUtf8(PQerrorMessage(session)).trimmed(),
                                sent.steps.empty() ? list.front().sql : sent.steps.back()};
        PQexitPipelineMode(session);
        return f;
    };
    if (PQenterPipelineMode(session) != 1)
        return failed();
    sent.held = HeldSteps(db);
    bool ok = sent.held.send(session);
    ok = ok && (savepoint == 0 || sendStatement(session, sent, {HeldStep::Savepoint, savepoint}));
    for (const Command& c : list) {
        if (ok && !c.text.isEmpty()) {
            ok = PQsendPrepare(session, c.name.constData(), c.text.constData(), c.count, nullptr) == 1;
            sent.steps.push_back(c.sql);
            sent.prepared.emplace_back(c.key, c.name);
        }
        std::vector<const char*> v(std::size_t(c.count));
        std::vector<int> lengths(std::size_t(c.count)), formats(std::size_t(c.count));
        for (int k = 0; k < c.count; ++k) {
            const std::size_t at = std::size_t(c.first + k);
            v[std::size_t(k)] = values.null[at] ? nullptr : values.text[at].constData();
            lengths[std::size_t(k)] = int(values.text[at].size());
            formats[std::size_t(k)] = values.binary[at];
        }
        if (ok)
            ok = PQsendQueryPrepared(session, c.name.constData(), c.count, v.data(), lengths.data(), formats.data(),
                                     0) == 1;
        sent.steps.push_back(c.sql);
    }
    if (ok && savepoint > 0)
        ok = sendStatement(session, sent, {HeldStep::Release, savepoint});
    if (!ok || PQpipelineSync(session) != 1)
        return failed();
    return {};
}

namespace {

// The batches of the calling thread's connection answered later; null
// while no AnswersLater scope is open on it.
LaterAnswers* laterOf(const QSqlDatabase& db)
{
    auto& all = threadConnections().connections;
    const auto it = all.find(db.connectionName());
    return it == all.end() || !it->second.later ? nullptr : &*it->second.later;
}

// Sends the batch held back on the connection, if any; drops it after a
// failure.
void sendHeldBack(LaterAnswers& later)
{
    const std::function<void()> send = std::exchange(later.heldBack, {});
    if (send && !later.failed)
        send();
}

} // namespace

void Batch::Impl::runOnServer()
{
    if (entries.empty()) {
        if (const std::function<void()> t = std::exchange(taken, {}))
            t(); // nothing to send is taken at once
        return;
    }
    // Inside an AnswersLater scope the batch joins those due (the oldest
    // answers read when too many are); otherwise every answer due is read
    // first and the batch's own is waited for.
    LaterAnswers* const scope = laterOf(db);
    if (scope)
        sendHeldBack(*scope);
    LaterAnswers* later = savepoint > 0 ? scope : nullptr;
    if (later)
        readAnswers(db, *later, kMostAnswersDue - 1);
    else
        readDueAnswer(db);
    // The test hooks count the statements as SQLite runs them.
    for (const Entry& e : entries)
        for (int k = 0; k < e.counted; ++k) countStatement(db, e.sql);
    PGconn* session = serverSession(db);
    SentBatch sent;
    sent.db = db;
    sent.savepoint = savepoint;
    sent.refused = refused;
    sent.taken = std::exchange(taken, {});
    const std::vector<Command> list = commands();
    const PipelineFailure f = session ? queue(session, list, sent) : PipelineFailure{true, {}, {}, list.front().sql};
    entries.clear();
    values.clear();
    if (f.failed) {
        forgetPrepared(sent);
        undoAndThrow(session, sent, f);
    }
    if (later) {
        later->due.push_back(std::move(sent));
        ++later->sent;
        return;
    }
    LaterAnswers now;
    now.due.push_back(std::move(sent));
    readAnswers(db, now, 0);
}

namespace detail {

void readDueAnswer(const QSqlDatabase& db)
{
    LaterAnswers* later = laterOf(db);
    if (!later)
        return;
    sendHeldBack(*later);
    if (!later->due.empty())
        readAnswers(db, *later, 0);
}

} // namespace detail

AnswersLater::AnswersLater(const QSqlDatabase& db) : db_(db)
{
    if (!IsServer(db_))
        return; // a base file's batches run as they are added
    std::optional<LaterAnswers>& later = connectionState(db_).later;
    if (!later)
        later.emplace();
    ++later->scopes;
}

AnswersLater::~AnswersLater()
{
    try {
        collect();
    } catch (const DbError&) {
    }
    LaterAnswers* later = laterOf(db_);
    if (later && --later->scopes <= 0)
        connectionState(db_).later.reset();
}

void AnswersLater::collect() { readDueAnswer(db_); }

void AnswersLater::collectDownTo(int left)
{
    LaterAnswers* later = laterOf(db_);
    if (!later)
        return;
    sendHeldBack(*later);
    if (later->due.size() > std::size_t(std::max(left, 0)))
        readAnswers(db_, *later, std::size_t(std::max(left, 0)));
}

void AnswersLater::holdBack(std::function<void()> send)
{
    LaterAnswers* later = laterOf(db_);
    if (!later)
        return;
    // Two owners filling batches at once would send them out of order.
    if (send && later->heldBack)
        throw DbError(E_DB_FAIL, QStringLiteral("Соединение с базой данных уже задерживает запись другого владельца."),
                      db_.databaseName(), kSource);
    later->heldBack = std::move(send);
}

int AnswersLater::sent() const
{
    const LaterAnswers* later = laterOf(db_);
    return later ? later->sent : 0;
}

int AnswersLater::answered() const
{
    const LaterAnswers* later = laterOf(db_);
    return later ? later->answered : 0;
}

bool AnswersLater::failed() const
{
    const LaterAnswers* later = laterOf(db_);
    return later && later->failed;
}

// ------------------------------------------------------------ column arrays

namespace {

[[noreturn]] void refuseRow(int row, int column)
{
    throw DbError(E_DB_FAIL,
                  QStringLiteral("Строка %1 не задает значение столбца %2 ровно один раз").arg(row).arg(column),
                  QStringLiteral("Значения строк по столбцам"), kSource);
}

} // namespace

void ColumnArrays::row()
{
    requireFullRows();
    ++rows_;
}

void ColumnArrays::requireFullRows() const
{
    for (std::size_t c = 0; c < columns_.size(); ++c)
        if (columns_[c].count != rows_)
            refuseRow(rows_, int(c));
}

void ColumnArrays::put(int column, const QByteArray& element)
{
    if (columns_.size() <= std::size_t(column))
        columns_.resize(std::size_t(column) + 1);
    Values& v = columns_[std::size_t(column)];
    // The value of this row comes after one of every row before it.
    if (rows_ < 1 || v.count != rows_ - 1)
        refuseRow(rows_, column);
    if (v.count > 0)
        v.elements += ',';
    v.elements += element;
    ++v.count;
}

void ColumnArrays::bind(int column, qint64 value) { put(column, QByteArray::number(value)); }

void ColumnArrays::bind(int column, double value) { put(column, serverNumber(value)); }

void ColumnArrays::bind(int column, const QString& value)
{
    if (value.isNull()) {
        put(column, QByteArrayLiteral("NULL"));
        return;
    }
    QByteArray quoted = value.toUtf8();
    quoted.replace('\\', "\\\\").replace('"', "\\\"");
    put(column, '"' + quoted + '"');
}

void ColumnArrays::bind(int column, const QVariant& value)
{
    switch (KindOfValue(value)) {
    case ValueKind::Null: put(column, QByteArrayLiteral("NULL")); break;
    case ValueKind::Integer: bind(column, qint64(value.toLongLong())); break;
    case ValueKind::Unsigned: put(column, QByteArray::number(value.toULongLong())); break;
    case ValueKind::Float: bind(column, value.toDouble()); break;
    case ValueKind::Bytes: put(column, "\"\\\\x" + value.toByteArray().toHex() + '"'); break;
    case ValueKind::Text: bind(column, value.toString()); break;
    }
}

QString ColumnArrays::literal(int column) const
{
    requireFullRows();
    return QLatin1Char('{') + QString::fromUtf8(columns_[std::size_t(column)].elements) + QLatin1Char('}');
}

} // namespace kalvor::db
