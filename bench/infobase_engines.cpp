// The information base on both engines in one run: the base of 1,000
// employees saved and loaded on the SQLite file and on a PostgreSQL server,
// each beside the floor of the same rows written and read with the engine's
// own prepared statements (sqlite3, libpq) in one transaction.
//
//   KALVOR_BENCH_SERVER=<host or socket folder> adds the server (the user and
//   password as libpq finds them); without it only the file is measured.
//
//   Save/<engine>       SaveAll of every table and employee in one transaction
//   SaveFloor/<engine>  the rows that Save stored, inserted table by table
//   Load/<engine>       OpenBase, LoadAll and every employee's whole record
//   LoadFloor/<engine>  every value of every table selected and read
#include "OpenedBase.h"
#include "RawSqlite.h"
#include "RunBenchmarks.h"
#include "infobase/InfoBaseDb.h"
#include "infobase/InfoBaseDbDetail.h"
#include "infobase/Schema.h"
#include "infobase/StoredTables.h"
#include "platform/Db.h"
#include "platform/DbTransaction.h"
#include "support/TestFixture.h"

#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>

using namespace kalvor;
using namespace kalvor::infobase;

namespace {

constexpr int kEmployees = 1000;

// One table's stored rows as texts (a null value stays a null QString).
struct TableRows {
    const TableDef* table = nullptr;
    std::vector<QStringList> rows;
};

struct Bench {
    QTemporaryDir dir;
    CInfoBase base;
    FixtureBase fx;
    int serial = 0;
    db::ServerAddress server; // empty host: the file

    Bench()
    {
        fx = BuildFixtureBase(base, kEmployees, 3);
        base.workFolder = dir.path() + QLatin1Char('/');
    }
    // A new empty base of the engine; returns its name.
    QString fresh()
    {
        const QString name = QStringLiteral("bench-%1").arg(++serial);
        DeleteBase(dir.path(), name);
        CreateSchemaBase(dir.path(), name);
        return name;
    }
    QString saved()
    {
        base.baseName = fresh();
        db::Transaction tr(Db(base));
        SaveAll(base, fx.records);
        tr.commit();
        return base.baseName;
    }
    std::vector<TableRows> stored()
    {
        std::vector<TableRows> all;
        for (const TableDef& t : SchemaTables()) {
            TableRows tr{&t, {}};
            QSqlQuery q(Db(base));
            q.exec(SelectSql(t));
            while (q.next()) {
                QStringList row;
                for (int i = 0; i < t.columns.size(); ++i) row << (q.isNull(i) ? QString() : q.value(i).toString());
                tr.rows.push_back(row);
            }
            all.push_back(std::move(tr));
        }
        return all;
    }
};

Bench& bench()
{
    static Bench b;
    return b;
}

// A libpq connection to a base of the server.
struct PgConnection {
    PGconn* conn;
    explicit PgConnection(const Bench& b)
    {
        const QString info = QStringLiteral("host='%1' dbname='%2'").arg(b.server.host, b.base.baseName);
        conn = PQconnectdb(info.toUtf8().constData());
    }
    ~PgConnection() { PQfinish(conn); }
    void exec(const char* sql) { PQclear(PQexec(conn, sql)); }
};

QByteArray numbered(const QString& sql)
{
    QString out;
    int n = 0;
    for (QChar c : sql) out += c == QLatin1Char('?') ? QStringLiteral("$%1").arg(++n) : QString(c);
    return out.toUtf8();
}

void serverFloorInsert(const Bench& b, const std::vector<TableRows>& tables)
{
    PgConnection pg(b);
    pg.exec("BEGIN");
    for (const TableRows& t : tables) {
        pg.exec(QStringLiteral("DELETE FROM %1").arg(Qualified(t.table->name)).toUtf8().constData());
        const QByteArray name = t.table->name.toUtf8();
        PQclear(PQprepare(pg.conn, name.constData(), numbered(InsertSql(*t.table)).constData(), 0, nullptr));
        for (const QStringList& row : t.rows) {
            std::vector<QByteArray> texts;
            std::vector<const char*> values;
            for (const QString& v : row) texts.push_back(v.toUtf8());
            for (std::size_t i = 0; i < texts.size(); ++i)
                values.push_back(row[int(i)].isNull() ? nullptr : texts[i].constData());
            PQclear(PQexecPrepared(pg.conn, name.constData(), int(values.size()), values.data(), nullptr, nullptr, 0));
        }
    }
    pg.exec("COMMIT");
}

void fileFloorInsert(const Bench& b, const std::vector<TableRows>& tables)
{
    rawsqlite::Connection raw(BaseFile(b.base));
    raw.exec("BEGIN IMMEDIATE");
    for (const TableRows& t : tables) {
        raw.exec("DELETE FROM " + Qualified(t.table->name).toStdString());
        rawsqlite::Statement ins(raw.get(), InsertSql(*t.table).toStdString());
        for (const QStringList& row : t.rows) {
            for (int i = 0; i < row.size(); ++i) {
                const QString& v = row[i];
                if (v.isNull())
                    sqlite3_bind_null(ins.get(), i + 1);
                else
                    sqlite3_bind_text16(ins.get(), i + 1, v.utf16(), int(v.size() * 2), SQLITE_STATIC);
            }
            ins.run();
        }
    }
    raw.exec("COMMIT");
}

void useEngine(bool server)
{
    Bench& b = bench();
    db::UseServer(server ? b.server : db::ServerAddress{});
}

void Save(benchmark::State& state, bool server)
{
    useEngine(server);
    Bench& b = bench();
    for (auto _ : state) {
        state.PauseTiming();
        b.base.baseName = b.fresh();
        state.ResumeTiming();
        db::Transaction tr(Db(b.base));
        SaveAll(b.base, b.fx.records);
        tr.commit();
        state.PauseTiming();
        CloseBase(b.base);
        DeleteBase(b.dir.path(), b.base.baseName);
        state.ResumeTiming();
    }
}

void SaveFloor(benchmark::State& state, bool server)
{
    useEngine(server);
    Bench& b = bench();
    b.saved();
    const std::vector<TableRows> rows = b.stored();
    CloseBase(b.base);
    for (auto _ : state) {
        state.PauseTiming();
        b.base.baseName = b.fresh();
        CloseBase(b.base);
        state.ResumeTiming();
        server ? serverFloorInsert(b, rows) : fileFloorInsert(b, rows);
        state.PauseTiming();
        DeleteBase(b.dir.path(), b.base.baseName);
        state.ResumeTiming();
    }
}

void Load(benchmark::State& state, bool server)
{
    useEngine(server);
    Bench& b = bench();
    b.saved();
    CloseBase(b.base);
    for (auto _ : state) {
        CInfoBase loaded;
        OpenAndReadWhole(loaded, b.base.workFolder, b.base.baseName);
        state.PauseTiming();
        CloseBase(loaded);
        state.ResumeTiming();
    }
}

void LoadFloor(benchmark::State& state, bool server)
{
    useEngine(server);
    Bench& b = bench();
    b.saved();
    CloseBase(b.base);
    for (auto _ : state) {
        std::int64_t values = 0;
        if (server) {
            PgConnection pg(b);
            pg.exec("BEGIN ISOLATION LEVEL REPEATABLE READ");
            for (const TableDef& t : SchemaTables()) {
                const QByteArray name = t.name.toUtf8();
                PQclear(PQprepare(pg.conn, name.constData(), SelectSql(t).toUtf8().constData(), 0, nullptr));
                PGresult* r = PQexecPrepared(pg.conn, name.constData(), 0, nullptr, nullptr, nullptr, 0);
                for (int row = 0; row < PQntuples(r); ++row)
                    for (int col = 0; col < PQnfields(r); ++col) values += PQgetlength(r, row, col) >= 0;
                PQclear(r);
            }
            pg.exec("COMMIT");
        } else {
            rawsqlite::Connection raw(BaseFile(b.base));
            raw.exec("BEGIN");
            for (const TableDef& t : SchemaTables()) {
                rawsqlite::Statement select(raw.get(), SelectSql(t).toStdString());
                values += rawsqlite::ReadEveryValue(select);
            }
            raw.exec("COMMIT");
        }
        benchmark::DoNotOptimize(values);
    }
}

void Register(bool server)
{
    const std::string engine = server ? "server" : "file";
    for (auto [name, run] : {std::pair{"Save/", &Save}, std::pair{"SaveFloor/", &SaveFloor}, std::pair{"Load/", &Load},
                             std::pair{"LoadFloor/", &LoadFloor}})
        benchmark::RegisterBenchmark((name + engine).c_str(), run, server)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3)
            ->Apply(InRounds);
}

} // namespace

int main(int argc, char** argv)
{
    bench().server.host = qEnvironmentVariable("KALVOR_BENCH_SERVER");
    Register(false);
    if (!bench().server.host.isEmpty())
        Register(true);
    return RunBenchmarks(argc, argv);
}
