#pragma once
// Helpers shared by the loaders, savers and selection runs (not for callers
// outside the information base).
#include "infobase/InfoBaseDb.h"
#include "infobase/TableDef.h"
#include "platform/ColumnArrays.h"
#include "platform/Db.h"
#include "platform/DbTransaction.h"
#include "platform/RawStatement.h"

#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kalvor::infobase::detail {

// The rows of one table's insert within a batch, written as a statement's
// are: a Binder on it starts the next row, exec() ends it. With column
// arrays the rows go there instead, for one statement that takes them all.
struct BatchRows {
    db::Batch& batch;
    const QString& insertSql;
    db::ColumnArrays* arrays = nullptr;
    void exec() {}
};

// Binds values in statement order, into a QtSql recordset, (the savers'
// statements) straight into SQLite, into the current statement of a batch,
// or as the next row of column arrays.
struct Binder {
    db::Recordset* r = nullptr;
    db::RawStatement* raw = nullptr;
    db::Batch* batch = nullptr;
    db::ColumnArrays* arrays = nullptr;
    int i = 0;
    explicit Binder(db::Recordset& rs) : r(&rs) {}
    explicit Binder(db::RawStatement& rs) : raw(&rs) {}
    explicit Binder(db::Batch& b) : batch(&b) {}
    explicit Binder(BatchRows& rows) : batch(rows.arrays ? nullptr : &rows.batch), arrays(rows.arrays)
    {
        if (arrays)
            arrays->row();
        else
            batch->add(rows.insertSql);
    }
    explicit Binder(db::ColumnArrays& a) : arrays(&a) { arrays->row(); }
    Binder& operator<<(int v) { return put(v); }
    Binder& operator<<(unsigned v) { return put(qint64(v)); }
    Binder& operator<<(qint64 v) { return put(v); }
    Binder& operator<<(double v) { return put(v); }
    Binder& operator<<(const QString& v) { return put(v); }
    Binder& operator<<(const QVariant& v) { return put(v); }

private:
    template <class T>
    Binder& put(const T& v)
    {
        if (raw)
            raw->bind(i++, v);
        else if (batch)
            batch->bind(i++, v);
        else if (arrays)
            arrays->bind(i++, v);
        else
            r->bind(i++, v);
        return *this;
    }
};

// Reads the values of the current row in column order.
struct Reader {
    const db::Recordset* r = nullptr;
    const db::RawStatement* raw = nullptr;
    int i = 0;
    Reader(const db::Recordset& rs, int from = 0) : r(&rs), i(from) {}
    Reader(const db::RawStatement& rs, int from = 0) : raw(&rs), i(from) {}
    int n() { return raw ? raw->toInt(i++) : r->toInt(i++); }
    qint64 l() { return raw ? raw->toInt64(i++) : r->toInt64(i++); }
    double d() { return raw ? raw->toDouble(i++) : r->toDouble(i++); }
    QString s() { return raw ? raw->toString(i++) : r->toString(i++); }
    QVariant v() { return raw ? raw->value(i++) : r->value(i++); }
};

// Money in roubles in the columns that keep roubles, kopecks in memory:
// ceil(v x 100 - 0.5).
// (+ 0.0 turns the -0 of ceil(-0.5) into 0.)
inline double RoublesToKopecks(double roubles) { return std::ceil(roubles * 100 - 0.5) + 0.0; }

// A PackedDate as a date value 'YYYY-MM-DD' (NULL for no date) and back.
// The empty dates of the old base ("1.1.1900", 1900-01-01) load as no date.
QVariant DateValue(u16 packed);
u16 PackedFromDateValue(const QVariant& value);
// A date kept as "%d.%d.%d" text: the old base's "1.1.1900" is no date.
QString TextDateLoaded(const QString& text);
// The stored count of monthly archive entries, kept within the archive it counts.
u16 ArchiveCount(int stored);

// Blocks of the employee record.
enum Block : unsigned {
    BKonst = 1,
    BPasport = 2,
    BNalvich = 4,
    BPostDopl = 8,
    BSber = 16,
    BIspol = 32,
    BSsud = 64,
    BWaria = 128,
    BInputRows = 256, // dbo.proizv: the month's input rows
    BResultRows = 512, // dbo.zarp: the month's computed rows
    BRows = BInputRows | BResultRows,
    BAll = 1023
};

// Reads employee records block by block with statements prepared once.
class EmployeeLoader {
public:
    EmployeeLoader(const QSqlDatabase& db, unsigned blocks);
    ~EmployeeLoader();
    // Fills the chosen blocks of rec (other blocks untouched; a chosen block
    // is cleared first). The archive keeps only entries whose accrual or
    // payment month index (year - 1900) x 12 + month lies in from..to unless
    // both are 0; a filtered archive is packed at the front. False when the slot has no
    // master row (the blocks are then cleared).
    bool load(int slot, EmployeeRecord& rec, int wariaFrom = 0, int wariaTo = 0);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    qint64 lastId_ = 0;
};

// The record slots first..last; every slot when last is 0.
struct SlotsFromTo {
    int first = 0, last = 0;
};

// The same for many employees at once: one statement per table for the whole
// base (or a range of slots), read as a stream; load() must be called with
// rising slots. Holds one read transaction for its lifetime, or, with
// View::Callers, reads within the caller's open transaction (a run that
// writes while it reads: a read transaction of its own, nested in the
// caller's, would take the caller's writes back with it when it ends).
class BulkEmployeeLoader {
public:
    enum class View { Own, Callers };
    BulkEmployeeLoader(const QSqlDatabase& db, unsigned blocks, View view = View::Own, SlotsFromTo range = {});
    ~BulkEmployeeLoader();
    bool load(int slot, EmployeeRecord& rec, int wariaFrom = 0, int wariaTo = 0);
    // The computed rows (dbo.zarp) that the last load found for its record,
    // each as stored, also one of a number the record has no place for; in
    // the order read (rising numbers). Empty when the blocks leave them out.
    const NumberedRows& resultRowsRead() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Row id of the master row of a slot; 0 when there is none.
qint64 KonstId(const QSqlDatabase& db, int slot);
// Deletes an employee's master row (id) with every row of his in the detail
// tables.
void DeleteEmployeeRows(const QSqlDatabase& db, qint64 id);

// An employee's master row as the writers of his detail rows take it: its id,
// and whether WriteKonst has just added it. The detail tables cannot hold rows
// of a new id (ids are never reused), so the writers then skip their deletes.
struct MasterRow {
    qint64 id = 0;
    bool fresh = false;
};

// Overwrites or adds the slot's master row from the record.
MasterRow WriteKonst(const QSqlDatabase& db, int slot, int tabN, const EmployeeRecord& rec);
// Where the detail rows of one employee's record go (the writers below): on a
// server into one batch that run() sends, so that every table of the record
// costs one round trip together (the rows of a table joined into multi-row
// inserts); on a base file straight into the caller's transaction, each
// statement looked up once, and run() has nothing left to do.
class RecordRows {
public:
    explicit RecordRows(const QSqlDatabase& db);
    const QSqlDatabase& db() const { return db_; }
    // The batch on a server; null on a base file.
    db::Batch* batch() { return batch_ ? &*batch_ : nullptr; }
    void run();

private:
    QSqlDatabase db_;
    std::optional<db::Batch> batch_;
};
// The same into the record's rows: a stored row's update on a server joins
// their batch and goes with them.
MasterRow WriteKonst(RecordRows& rows, int slot, int tabN, const EmployeeRecord& rec);
// Writers of the detail tables of one employee: delete his rows, insert the
// record's.
void WritePasport(RecordRows& rows, const MasterRow& owner, const EmployeeHead& h);
void WriteNalvich(RecordRows& rows, const MasterRow& owner, const EmployeeRecord& rec);
void WritePostDopl(RecordRows& rows, const MasterRow& owner, const EmployeeRecord& rec);
void WriteSber(RecordRows& rows, const MasterRow& owner, const EmployeeRecord& rec);
void WriteIspol(RecordRows& rows, const MasterRow& owner, const EmployeeRecord& rec);
void WriteSsud(RecordRows& rows, const MasterRow& owner, const EmployeeRecord& rec);
void WriteWaria(RecordRows& rows, const MasterRow& owner, const EmployeeRecord& rec);
void WriteWarDat(RecordRows& rows, const MasterRow& owner, const WarDatBlock& block);
// The tables of the month rows that WriteRows writes.
enum class RowTables {
    Input, // dbo.proizv, rows 0 .. kvProizv - 1
    Results, // dbo.zarp, the others
    Both,
};
// The month rows of those tables; like the writers above, within the
// caller's transaction.
void WriteRows(RecordRows& rows, const MasterRow& owner, const EmployeeRecord& rec, int kvProizv, RowTables tables);
// The same into a batch (the statements run with it).
void WriteRows(db::Batch& batch, const MasterRow& owner, const EmployeeRecord& rec, int kvProizv, RowTables tables);
// Every part of one employee's record, the dated archive included, in one
// transaction (SaveEmployeeFull without going through the current record).
void WriteEmployeeFull(const QSqlDatabase& db, int slot, int tabN, const EmployeeAttributes& attr,
                       const EmployeeRecord& rec, const WarDatBlock& warDat);

// The parts of one employee's record that the month change writes, in one
// transaction.
void WriteEmployeeCalc(const QSqlDatabase& db, int slot, int tabN, const EmployeeAttributes& attr,
                       const EmployeeRecord& rec, const WarDatBlock& warDat);
// The detail tables that the month change writes, and the rows of an
// employee's record it writes into each, as WriteEmployeeCalc writes them:
// added to the column arrays of ReplaceOwnedRowsOnServerSql (one a table in
// that order, each row after its owner's slot).
const std::vector<const TableDef*>& MovedDetailTables();
void BindMovedRows(std::vector<db::ColumnArrays>& tables, int slot, const EmployeeRecord& rec, int kvProizv,
                   const WarDatBlock& warDat);
// The server's statement that puts the rows of several employees (each row
// after its owner's slot) in place of their stored rows in a table of
// MovedDetailTables() (ReplaceOwnedRowsOnServerSql); empty when the table's
// columns cannot go as arrays.
const QString& OwnedRowsOnServerSql(const TableDef& detail);

// Whether a list entry passes a selection (shop, brigade, profession, number).
bool Selected(const CInfoBase& base, const EmployeeListEntry& e, const Selection& s, bool markedOnly);

} // namespace kalvor::infobase::detail
