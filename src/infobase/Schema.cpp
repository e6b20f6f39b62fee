#include "infobase/Schema.h"

#include "infobase/BaseCheck.h"
#include "infobase/StoredTables.h"
#include "platform/Db.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <map>
#include <string>

namespace kalvor::infobase {

namespace {

// The one engine-specific column type of the schema: a row id that is never
// reused, even after the newest row was deleted (on a server: an identity
// column, see serverType).
const QString kAutoId = QString::fromLatin1(sqltype::RowId);
const QString I = QString::fromLatin1(sqltype::Integer);
const QString R = QString::fromLatin1(sqltype::Real);
const QString T = QString::fromLatin1(sqltype::Text);

class Def {
public:
    explicit Def(const char* name) { t_.name = QString::fromLatin1(name); }
    Def& c(const QString& type, std::initializer_list<const char*> names)
    {
        for (const char* n : names) add(QString::fromLatin1(n), type);
        return *this;
    }
    // name1..nameN (or name0..name(N-1) with from = 0)
    Def& n(const QString& type, const char* stem, int count, int from = 1, const char* suffix = "")
    {
        for (int i = from; i < from + count; ++i)
            add(QString::fromLatin1(stem) + QString::number(i) + QString::fromLatin1(suffix), type);
        return *this;
    }
    Def& key(const char* k)
    {
        t_.constraints = QString::fromLatin1(k);
        return *this;
    }
    operator TableDef() const { return t_; }

private:
    void add(const QString& n, const QString& type)
    {
        t_.columns << n;
        t_.types << type;
    }
    TableDef t_;
};

std::vector<TableDef> makeTables()
{
    std::vector<TableDef> v;
    v.push_back(VersionTable().def());

    // Configuration and firm.
    v.push_back(Def("config")
                    .c(I, {"id", "kolMax", "kolRab"})
                    .c(T, {"parol"})
                    .c(I, {"tekMes", "nEnt", "okrugRas", "sort"})
                    .n(I, "korr", 12)
                    .c(I, {"okrugVyp", "okrugVypRest"})
                    .n(R, "mrot", 12)
                    .n(R, "mrotPrev", 12)
                    .c(T, {"dosStr"})
                    .c(I, {"r_g", "r_m1", "r_m2"})
                    .key("PRIMARY KEY (id)"));
    v.push_back(Def("color").c(I, {"num"}).c(QStringLiteral("BLOB"), {"value"}).key("PRIMARY KEY (num)"));
    v.push_back(Def("infFirm")
                    .c(I, {"id"})
                    .c(T, {"firmName",      "firmBank",  "firmRS",         "firmKS",   "firmBIK",    "firmOKATO",
                           "adrInd",        "adrObl",    "adrRaion",       "adrGorod", "adrUlica",   "adrDom",
                           "adrKorp",       "adrKv",     "adrPhone",       "sbNomDog", "fioShef",    "statusShef",
                           "innShef",       "fioBuh",    "innBuh",         "buhFio",   "kassirDolg", "kassirFio",
                           "fioPredst",     "innPredst", "firmPens",       "firmOMS",  "firmFSS",    "firmPodchFSS",
                           "firmKodObosob", "KodOtdFSS", "territOrganFSS", "firmINN",  "firmKPP",    "firmOGRN",
                           "firmOKVED",     "firmOKPO",  "firmOKOPF",      "firmOKFS", "firmGNI",    "firmNalogovaya",
                           "file1C"})
                    .c(I, {"adrKodRG"})
                    .key("PRIMARY KEY (id)"));
    v.push_back(Def("infPar")
                    .c(I, {"id",      "vklDoh",  "nalog",    "prof",        "sortName",     "dnHr",       "dnMin",
                           "parRest", "procRaj", "procSev",  "maxKvSevNad", "periodSevNad", "procProst",  "procNgt",
                           "procEvn", "tabDiv",  "procSsud", "procSsudSot", "procPens",     "sbProcFirm", "sbProcSotr"})
                    .c(R, {"blnMaxOgr", "blnUprosh", "blnMaxOgrBegRab", "travmaMaxOgr", "dekrMaxOgr", "blnMaxOgrDet1",
                           "blnMinOgrDet1", "blnMaxOgrDet2", "blnMinOgrDet2"})
                    .c(I, {"blnSrPremMes", "blnMinProc"})
                    .n(I, "fete", 12)
                    .c(I, {"feteKv"})
                    .n(I, "feteMes", 12)
                    .c(R, {"minOblStav", "maxOblStav"})
                    .c(I, {"firmUprosh", "uproshRest", "obosob", "obosobRest", "c1Ch70", "c1TypProv", "c1Sub70",
                           "c1Rest", "versTurboBuh", "turboRest", "tabGrp2", "procDop"})
                    .key("PRIMARY KEY (id)"));
    v.push_back(Def("mask").c(I, {"kod"}).n(I, "mas", 8, 0).key("PRIMARY KEY (kod)"));
    v.push_back(Def("ktu")
                    .c(I, {"num", "procent", "okladTarif", "rabVr", "koef1", "koef2", "mashtab", "formula"})
                    .key("PRIMARY KEY (num)"));
    v.push_back(Def("stag")
                    .c(I, {"num", "kod", "vozMin", "vozMax", "rabMin", "rabMax", "sevMin", "sevMax", "otdMin", "otdMax",
                           "brigMin", "brigMax", "profMin", "profMax", "kategMin", "kategMax", "kak"})
                    .c(R, {"sum"})
                    .key("PRIMARY KEY (num)"));

    // Reference tables.
    v.push_back(Def("entree")
                    .c(I, {"kod"})
                    .c(T, {"name"})
                    .c(I, {"flagsRest", "dat1",      "dat2",      "fond",     "enOtp",       "budgOtp", "koefOtp",
                           "budgBln",   "enBlnFull", "enBlnProp", "enBlnAlg", "enSrPremBln", "oblProf", "enAlim",
                           "enKoefRS",  "g11",       "enSrZar",   "hr1",      "hr2",         "hr3",     "hr4",
                           "oblPodoh",  "vedShap",   "grp",       "okrug",    "vedStlb",     "kodDoh",  "kodSkid"})
                    .c(R, {"sumSkidPodoh", "sumSkidSoc"})
                    .c(I, {"spzCh", "spzSc", "spzAu", "spzAuHi"})
                    .key("PRIMARY KEY (kod)"));
    v.push_back(Def("ceh").c(I, {"num", "otd"}).c(T, {"name"}).key("PRIMARY KEY (num)"));
    v.push_back(Def("graph")
                    .c(I, {"num"})
                    .n(I, "rabDnNed", 7)
                    .c(I, {"ruchn", "rdHr", "rdMin", "pVyh", "pRab", "mesFond", "begD", "begM", "begG"})
                    .key("PRIMARY KEY (num)"));
    v.push_back(Def("graMes")
                    .c(I, {"graph", "k", "rDn", "rMin"})
                    .n(I, "d", 31)
                    .c(I, {"vMin", "nMin"})
                    .key("PRIMARY KEY (graph, k)"));

    // Employee lists and per-slot tables (num = record slot).
    v.push_back(Def("simp").c(I, {"mass", "num", "tabN", "priz", "rec"}).key("PRIMARY KEY (mass, num)"));
    v.push_back(Def("fio").c(I, {"num"}).c(T, {"fio"}).key("PRIMARY KEY (num)"));
    v.push_back(Def("comp")
                    .c(I, {"num",   "otd",       "prof",      "razr",      "rest0",     "brig",    "sistOpl",
                           "graph", "kateg",     "err",       "kvSdel",    "tabProf",   "priznUv", "kvProizv",
                           "rest3", "priznAlim", "priznIspl", "priznBank", "priznSsud", "kvDBF"})
                    .key("PRIMARY KEY (num)"));
    v.push_back(TabelTable().def());
    v.push_back(Def("AvZar1").c(I, {"num"}).c(R, {"av", "zar1"}).key("PRIMARY KEY (num)"));
    v.push_back(Def("indexes").c(T, {"vid"}).c(I, {"nom", "first", "kol"}).key("PRIMARY KEY (vid, nom)"));

    // Month line tables (num = position in the shared line array).
    v.push_back(Def("altTabel")
                    .c(I, {"mass", "num", "kod", "dn", "min", "mes", "hr"})
                    .c(R, {"sumOklad"})
                    .c(I, {"sumTarifRub", "sumTarifKop", "procOpl", "otd", "storno", "spzCh", "spzSc", "spzAu"})
                    .key("PRIMARY KEY (mass, num)"));
    v.push_back(Def("prem")
                    .c(I, {"num"})
                    .c(R, {"sum"})
                    .c(I, {"mrp", "nalog", "procent", "ceh", "mask", "kod", "spzCh", "mes", "spzSc", "spzAu"})
                    .key("PRIMARY KEY (num)"));
    v.push_back(Def("bln")
                    .c(I, {"num", "dBegin", "mBegin", "gBegin", "dEnd", "mEnd", "gEnd"})
                    .c(R, {"sum", "oklad"})
                    .c(I, {"vid", "alg", "firstMes", "procent", "dn", "mrp", "contin", "k1", "k2", "vr", "infl", "budg",
                           "fromMinimumMonthlyEarnings", "firstYear", "secondYear", "from12Months", "timeRest"})
                    .key("PRIMARY KEY (num)"));
    v.push_back(Def("otp")
                    .c(I, {"num", "dBegin", "mBegin", "gBegin"})
                    .c(R, {"dlin", "sum"})
                    .c(I, {"vid", "kalend", "alg", "mes", "tolkOtp"})
                    .c(R, {"fond"})
                    .c(I, {"mrp", "budg"})
                    .c(R, {"dn"})
                    .key("PRIMARY KEY (num)"));

    // Employee master and details (which refer to it).
    for (const TableDef* t : {&KonstTable().def(), &PasportTable().def(), &NalvichTable().def(), &PostDoplTable().def(),
                              &SberTable().def(), &IspolTable().def(), &SsudTable().def(), &WariaTable().def(),
                              &WarDatTable().def(), &ProizvTable().def(), &ZarpTable().def()})
        v.push_back(*t);
    return v;
}

// A declared type as the server writes it: 64-bit integers, double precision
// (its REAL has only 24 bits), bytes, and an identity column for the row id.
QString serverType(const QString& type)
{
    if (type == kAutoId)
        return QStringLiteral("BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY");
    QString server = type;
    if (type.startsWith(I))
        server.replace(0, I.size(), QStringLiteral("BIGINT"));
    else if (type == R)
        server = QStringLiteral("DOUBLE PRECISION");
    else if (type == QLatin1String("BLOB"))
        server = QStringLiteral("BYTEA");
    return server;
}

QString createSql(const QSqlDatabase& db, const TableDef& t)
{
    const bool server = db::IsServer(db);
    QStringList parts;
    for (int i = 0; i < t.columns.size(); ++i)
        parts << t.columns[i] + QLatin1Char(' ') + (server ? serverType(t.types[i]) : t.types[i]);
    if (!t.constraints.isEmpty())
        parts << t.constraints;
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(Qualified(t.name), parts.join(QStringLiteral(", ")));
}

// The numbered steps. A step is never changed once released; a new need is a
// new step at the end.
struct Step {
    int number;
    void (*run)(const QSqlDatabase& db);
};

void step1Tables(const QSqlDatabase& db)
{
    for (const TableDef& t : SchemaTables())
        if (t.name != QLatin1String("version"))
            db::Execute(db, createSql(db, t));
}

void step2Rows(const QSqlDatabase& db)
{
    // The one-row tables of a new base: capacity 1,000 employees, no employees,
    // the reporting month of today, the built-in print command.
    const QDate today = Clock::today();
    db::Recordset(db, QStringLiteral("INSERT INTO dbo.config (id, kolMax, kolRab, parol, tekMes, nEnt, okrugRas, "
                                     "sort, okrugVyp, okrugVypRest, dosStr, r_g, r_m1, r_m2) "
                                     "VALUES (1, ?, 0, '', ?, 0, 0, 0, 0, 0, ?, 0, 0, 0)"))
        .run(1000, MonthKey(today.year(), today.month()).value(), QStringLiteral("kalvor-print %s"));
    db::Execute(db, QStringLiteral("INSERT INTO dbo.infFirm (id) VALUES (1)"));
    db::Execute(db, QStringLiteral("INSERT INTO dbo.infPar (id) VALUES (1)"));
}

// The record of the holder of a server base's lock, which outlives a server
// restart (a base file keeps its lock in a file of its own).
void step3LockHolder(const QSqlDatabase& db) { db::MakeServerHolderTable(db); }

const Step kSteps[] = {{1, step1Tables}, {2, step2Rows}, {3, step3LockHolder}};

} // namespace

const std::vector<TableDef>& SchemaTables()
{
    static const std::vector<TableDef> tables = makeTables();
    return tables;
}

const TableDef& Table(const QString& name)
{
    static const std::map<QString, const TableDef*> byName = [] {
        std::map<QString, const TableDef*> m;
        for (const TableDef& t : SchemaTables()) m[t.name] = &t;
        return m;
    }();
    return *byName.at(name);
}

QString Qualified(const QString& name) { return QStringLiteral("dbo.") + name; }

namespace {

struct TableStatementTexts {
    QString insert, deleteByEmployee;
};

const TableStatementTexts& StatementTextsOf(const char* table)
{
    static const std::map<std::string, TableStatementTexts> byName = [] {
        std::map<std::string, TableStatementTexts> m;
        for (const TableDef& t : SchemaTables())
            m[t.name.toStdString()] = {InsertSql(t),
                                       QStringLiteral("DELETE FROM %1 WHERE id_konst = ?").arg(Qualified(t.name))};
        return m;
    }();
    return byName.at(table);
}

} // namespace

const QString& TableInsertSql(const char* table) { return StatementTextsOf(table).insert; }
const QString& TableDeleteByEmployeeSql(const char* table) { return StatementTextsOf(table).deleteByEmployee; }

QString ColumnList(const TableDef& t, int skip) { return t.columns.mid(skip).join(QStringLiteral(", ")); }

QString InsertSql(const TableDef& t, int skip)
{
    QStringList marks;
    for (int i = skip; i < t.columns.size(); ++i) marks << QStringLiteral("?");
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(Qualified(t.name), ColumnList(t, skip), marks.join(QStringLiteral(", ")));
}

QString SelectSql(const TableDef& t, const QString& tail)
{
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(ColumnList(t), Qualified(t.name));
    if (!tail.isEmpty())
        sql += QLatin1Char(' ') + tail;
    return sql;
}

int ColumnIndex(const TableDef& t, const QString& column) { return int(t.columns.indexOf(column)); }

int SchemaVersion() { return kSteps[std::size(kSteps) - 1].number; }

bool HasVersionTable(const QSqlDatabase& db) { return db::TableExists(db, QStringLiteral("version")); }

int StoredSchemaVersion(const QSqlDatabase& db)
{
    if (!HasVersionTable(db))
        return 0;
    db::Recordset q(db, QStringLiteral("SELECT step FROM dbo.version WHERE id = 1"));
    q.exec();
    return q.next() ? q.toInt(0) : 0;
}

namespace {

void runStepsAfter(const QSqlDatabase& db, int stored)
{
    for (const Step& s : kSteps) {
        if (s.number <= stored)
            continue;
        db::Transaction tr(db);
        s.run(db);
        db::Recordset(db, QStringLiteral("UPDATE dbo.version SET step = ? WHERE id = 1")).run(s.number);
        tr.commit();
    }
}

} // namespace

void CreateSchema(const QSqlDatabase& db)
{
    {
        db::Transaction tr(db);
        // The server's base starts without the schema that the file engine
        // names when it attaches the file.
        if (db::IsServer(db))
            db::Execute(db, QStringLiteral("CREATE SCHEMA IF NOT EXISTS dbo"));
        db::Execute(db, createSql(db, Table(QStringLiteral("version"))));
        db::Execute(db, QStringLiteral("INSERT INTO dbo.version (id, step) VALUES (1, 0)"));
        tr.commit();
    }
    runStepsAfter(db, 0);
}

void UpgradeSchema(const QSqlDatabase& db)
{
    const QString source = QStringLiteral("Kalvor.Schema");
    if (!HasVersionTable(db))
        throw db::DbError(db::E_DB_NOT_A_BASE, QStringLiteral("Файл не является базой данных программы."),
                          QStringLiteral("В файле нет таблицы версий dbo.version"), source);
    const int stored = StoredSchemaVersion(db);
    if (stored < 1)
        ThrowDamaged(QStringLiteral("В таблице версий dbo.version нет номера шага схемы."));
    if (stored > SchemaVersion())
        throw db::DbError(
            db::E_DB_VERSION, QStringLiteral("База данных создана более новой версией программы"),
            QStringLiteral("Версия базы %1, программа знает версии до %2").arg(stored).arg(SchemaVersion()), source);
    runStepsAfter(db, stored);
}

} // namespace kalvor::infobase
