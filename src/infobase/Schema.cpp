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

// The employee's detail tables reach the master row by id_konst.
const char* kDetailKey = "PRIMARY KEY (id_konst, num), FOREIGN KEY (id_konst) REFERENCES konst (id) ON DELETE CASCADE";

std::vector<TableDef> makeTables()
{
    std::vector<TableDef> v;
    v.push_back(VersionTable().def());

    // Configuration and firm, reference tables, employee lists and per-slot
    // tables, month line tables.
    for (const TableDef& t :
         {ConfigTable().def(), ColorTable().def(),   InfFirmTable().def(),  InfParTable().def(), MaskTable().def(),
          KtuTable().def(),    StagTable().def(),    EntreeTable().def(),   CehTable().def(),    GraphTable().def(),
          GraMesTable().def(), SimpTable().def(),    FioTable().def(),      CompTable().def(),   TabelTable().def(),
          AvZar1Table().def(), IndexesTable().def(), AltTabelTable().def(), PremTable().def(),   BlnTable().def(),
          OtpTable().def()})
        v.push_back(t);

    // Employee master and details.
    Def konst("konst");
    konst.c(kAutoId, {"id"})
        .c(QStringLiteral("INTEGER NOT NULL UNIQUE"), {"rec"})
        .c(I, {"tabN"})
        .c(T, {"fio"})
        .c(R, {"oklad", "nadbav", "avans", "stavka"})
        .c(I, {"tarifSdelRub1", "tarifSdelRub2", "tarifSdelKop", "tarifVremRub1", "tarifVremRub2", "tarifVremKop"})
        .c(T, {"datR", "datPr1", "datUv1", "datPr2", "datUv2", "datSevStag", "officerDatStag", "inostrDatPr",
               "inostrDatOt", "inostrDatVidGit", "imvichDat"})
        .c(I, {"invDat1Begin", "invDat1End", "invDat2Begin", "invDat2End", "tabPodoh",    "procVech",
               "procNoch",     "dolgKod",    "profKod",      "profNadb",   "officer",     "srZarabDnChas",
               "inostrNrez",   "status",     "dogVid",       "invGr",      "altTab",      "inostr",
               "inostrVidGit", "obosob",     "inostrSV",     "flagsRest",  "inostrDnPrRF"})
        .c(T, {"officerTitle"})
        .c(I, {"vmen"})
        .n(I, "vmenMes", 12)
        .c(I, {"vmenRest", "vmenMarker", "vmenAsk0", "imvichBeg", "imvichNY", "imvichOst", "imvichRest", "dedMonths"})
        .c(T, {"imvichSprNom", "imvichSprKodNO", "imvichSprDat"})
        .n(I, "spz", 6, 0, "ch")
        .n(I, "spz", 6, 0, "sc")
        .n(I, "spz", 6, 0, "au");
    for (int k = 1; k <= 12; ++k) konst.n(R, "tr", 1, k, "_1").n(R, "tr", 1, k, "_2");
    konst.c(I, {"warKv"});
    v.push_back(konst);

    v.push_back(Def("pasport")
                    .c(I, {"id_konst"})
                    .c(T, {"strahPolis", "INN",       "gitPhone", "pol",        "dolgName",   "dolgDat", "pspKod",
                           "pspStr",     "pspSer",    "pspNom",   "pspNom2",    "pspDat",     "pspKem",  "bdStr",
                           "bdReg",      "bdRaj",     "bdGorod",  "propKodStr", "propKodReg", "propReg", "propRaj",
                           "propGorod",  "propPunkt", "propUl",   "propDom",    "propKorp",   "propKv",  "propInd",
                           "GNI",        "gitKodStr", "gitInd",   "gitAdr",     "kuplAdr",    "dogNom",  "invSprSer",
                           "invSprNom",  "invSprDat"})
                    .c(I, {"married", "children"})
                    .key("PRIMARY KEY (id_konst), FOREIGN KEY (id_konst) REFERENCES konst (id) ON DELETE CASCADE"));
    v.push_back(
        Def("nalvich").c(I, {"id_konst", "num", "kod", "mBeg", "mEnd"}).c(R, {"sum"}).c(I, {"krat"}).key(kDetailKey));
    v.push_back(Def("postDopl")
                    .c(I, {"id_konst", "num", "kod", "procent"})
                    .c(R, {"sum"})
                    .c(I, {"vid", "dBegin", "mBegin", "gBegin", "dEnd", "mEnd", "gEnd", "period", "zavisOt", "perer",
                           "dnOtGraph", "mask", "mrp", "ceh"})
                    .key(kDetailKey));
    v.push_back(Def("sber")
                    .c(I, {"id_konst", "num", "kod"})
                    .c(R, {"sum"})
                    .c(I, {"bank"})
                    .c(T, {"filial", "ls", "fio"})
                    .c(I, {"last"})
                    .key(kDetailKey));
    v.push_back(Def("ispol")
                    .c(I, {"id_konst", "num", "priznUd", "vid", "tabPsbor", "flagByte"})
                    .c(T, {"dataEnd"})
                    .c(R, {"sum"})
                    .c(T, {"fio", "adr"})
                    .key(kDetailKey));
    v.push_back(Def("ssud")
                    .c(I, {"id_konst", "num", "kvMes", "nalog", "kod"})
                    .c(R, {"sumDolg"})
                    .c(I, {"mes1", "mes2", "mes3"})
                    .c(R, {"sum1", "sum2", "sum3"})
                    .key(kDetailKey));
    v.push_back(Def("waria")
                    .c(I, {"id_konst", "num", "kod", "mesVyd", "godVyd"})
                    .c(R, {"sum"})
                    .c(I, {"min", "dn", "mes", "hr", "god"})
                    .key(kDetailKey));
    v.push_back(Def("warDat")
                    .c(I, {"id_konst", "num", "d1", "m1", "g1", "d2", "m2", "g2", "mes", "god", "kod", "contin"})
                    .c(R, {"sum"})
                    .key(kDetailKey));
    for (const char* rows : {"proizv", "zarp"})
        v.push_back(Def(rows)
                        .c(I, {"id_konst", "num", "kod"})
                        .c(R, {"sum"})
                        .c(I, {"min", "dn", "mes", "hr", "hrRest", "otd", "spzCh", "spzChHi", "spzSc", "spzScHi",
                               "spzAu", "spzAuHi"})
                        .key(kDetailKey));
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
