#pragma once
// The database side of the information base: opening a base, the loaders and
// savers of every table, the employee's record and the selection runs that fill
// the swap work file.
//
// Each function takes the information base first and works on the calling
// thread's own connection to the base file (a worker thread opens its own).
// Database failures are thrown as db::DbError and leave the caller to show
// them; file failures of the swap work file as InfoBaseError.
//
// Every saver, every per-employee save and every create or delete of an
// employee runs in one transaction: a failure leaves the base as it was.
// A saver replaces the rows its table holds (or its part of the table: one
// kind's index rows, one third of the alternative time-sheet lines, one
// employee list) with the rows held in memory, so the table then holds
// exactly those; the empty lines of the line tables are not stored.
#include "infobase/InfoBase.h"
#include "infobase/KalvorDocData.h"

#include <QSqlDatabase>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

namespace kalvor::infobase {

// Selection of the runs: shop, brigade, profession, personnel number (0 = any)
// and a fifth value (the marked-only switch of the runs that take one).
struct Selection {
    int shop = 0, brigade = 0, profession = 0, tabN = 0, flag = 0;
};

// --------------------------------------------------------------- base files

// "<folder><name>.sqlite"
QString BaseFilePath(const QString& folder, const QString& name);
QString BaseFile(const CInfoBase& base);
// The calling thread's connection to the base.
QSqlDatabase Db(const CInfoBase& base);
bool BaseExists(const QString& folder, const QString& name);
// "<folder>empty.bak": the template of new bases.
QString TemplateFilePath(const QString& folder);
// Whether a base may have that name (it must make a file name: no separators,
// no control characters, not "." or "..", at most 128 characters).
bool ValidBaseName(const QString& name);
// The longest name, in bytes of UTF-8, a new base of the folder may have: every
// name the program derives from it must still be one the system takes. Files
// beside the base ("<base>" and at most kLongestBaseNameTail bytes: its
// journals and lock, its forms "<base>-<form>-<period>[-<employee>].rtf", the
// work files, each with its temporary name's suffix) within a file name's 255
// bytes, and the month change's copy
// "<folder>archive/<base>_<year>_<month>_<n>.tmp/<base>.sqlite-journal" within
// the database engine's path of 512 bytes.
inline constexpr int kLongestBaseNameTail = 64;
int NewBaseNameLimit(const QString& folder);
// Why the name cannot be given to a new base of the folder (too long, with its
// limit said); empty when it can.
QString NewBaseNameRefusal(const QString& folder, const QString& name);
// Makes a new base from the empty template "empty.bak" of the folder (a base
// file), which must be there and pass the checks of an opened base. Built
// under a temporary name and renamed when complete. Throws db::DbError naming
// the file that failed: E_DB_NOT_FOUND without a template, "Шаблон новой базы
// данных непригоден" for a template that is no sound base, a read or write
// error with the template's or the new file's name.
void CreateBase(const QString& folder, const QString& name);
// Makes a new base of the schema alone, the way the template itself is made
// (the data tool and tests); the program makes its bases with CreateBase.
void CreateSchemaBase(const QString& folder, const QString& name);
// Opens the base named by base.workFolder and base.baseName and checks it
// before anything of it is used: connects, upgrades the schema, checks its
// tables and configuration, loads the configuration (allocating the per-slot
// tables for its capacity) and the firm record. Only creation builds a base:
// a file that is not one of this program's bases is refused and left as it
// was. Throws db::DbError: E_DB_NOT_FOUND for a missing base, E_DB_NOT_A_BASE
// for an empty or foreign file, E_DB_DAMAGED ("База данных повреждена.") with
// what is wrong; the thread's connection is closed again after a refusal.
// The base is opened for writing: it takes the base's lock (base.lock) unless
// the caller holds it for this base already, and refuses a base that another
// opening holds with E_DB_BUSY and BaseHeldText. A missing base gets no file.
void OpenBase(CInfoBase& base);
// "База данных %1 уже открыта другим пользователем."
QString BaseHeldText(const QString& name);
// Makes the base `name` of the folder from a copy of a base file: the copy is
// checked under a temporary name as an opening checks a base (a database
// file, every page readable, the version table, the schema, the
// configuration row) and takes the base's name only when it passes. Throws
// db::DbError saying what is wrong (E_DB_FAIL "База данных уже существует"
// when the name is taken); nothing is left behind after a refusal. With a
// server in use, the copy (a base file) is checked the same way and its rows
// go into a new server base, built under a temporary name and renamed;
// `report` (on the calling thread) hears after each group of rows sent how
// far that is.
struct RowsCopied {
    int table = 0; // the table being copied, from 1
    int tables = 0;
    qint64 rows = 0; // the rows copied of every table so far
    qint64 total = 0;
    // What the restore does: makes the server's base and its tables, copies
    // the rows (the counts above), or, every row in, checks the base made
    // and gives it its name.
    enum class Stage { MakingBase, CopyingRows, Checking };
    Stage stage = Stage::CopyingRows;
};
using RowsCopiedReport = std::function<void(const RowsCopied&)>;
void RestoreBaseFile(const QString& folder, const QString& name, const QString& fromFile,
                     const RowsCopiedReport& report = {});
// Loads every other table: pay kinds, shops, schedules, the per-slot tables,
// the line tables and both employee lists (the current one in the firm's order).
// On a server every table's read is sent in one round trip before the tables load.
// Stored values that index the tables are checked as they load: an employee
// list entry whose record slot is outside 1..capacity, a list longer than the
// capacity or a line index word whose lines run past their array refuses the
// base with E_DB_DAMAGED naming the table and the employee.
void LoadAll(CInfoBase& base);
// The counterpart of LoadAll for a base built in memory (the demo firm, test
// and benchmark bases): stores every table, both employee lists (by number and
// by name) and every employee's record, the slot's own in `records` (one a
// slot, the first slot's first) with its dated archive in `warDat` (the same)
// when given, in one transaction; the current record is cleared after.
void SaveAll(CInfoBase& base, const std::vector<EmployeeRecord>& records,
             const std::vector<WarDatBlock>* warDat = nullptr);
// Closes the calling thread's connection to the base and the connections of
// the base's worker (waiting for a run that it still works on); two-digit
// years are read around the year of the base opened before it again (today's
// year when none is open); the base's lock is dropped. Empty, or what is not
// known of the lock's release on a server (db::kReleaseNotKnownText), for
// the user to be told.
QString CloseBase(const CInfoBase& base);
// Deletes the base file with its journal files; the calling thread's
// connection to it is closed first.
void DeleteBase(const QString& folder, const QString& name);
// Removes what a making or restoring of a base killed midway left behind:
// "<name>.sqlite.new" in the folder and "kalvor-restore-XXXXXX.sqlite" in the
// temporary folder, each with its journals; files the program is still
// working on (here or in another process) and files of other names stay.
void RemoveLeftovers(const QString& folder);

// --------------------------------------------------------------- configuration and firm

void LoadConfig(CInfoBase& base);
void SaveConfig(CInfoBase& base);
// Capacity, employee count and the sort flag.
void SaveConfigCounters(CInfoBase& base);
void SaveConfigNEnt(CInfoBase& base);
void LoadFirm(CInfoBase& base);
void SaveFirm(CInfoBase& base);
void LoadEntree(CInfoBase& base);
void SaveEntree(CInfoBase& base);
void LoadCeh(CInfoBase& base);
void SaveCeh(CInfoBase& base);
void LoadGraph(CInfoBase& base);
void SaveGraph(CInfoBase& base);

// --------------------------------------------------------------- per-slot and line tables

void LoadTabel(CInfoBase& base);
void SaveTabel(CInfoBase& base);
// Index words of all four kinds.
void LoadIndexes(CInfoBase& base);
void SaveIndexes(CInfoBase& base, LineKind kind);
void LoadAltTabel(CInfoBase& base);
void SaveAltTabel(CInfoBase& base, int mass);
void LoadFio(CInfoBase& base);
void SaveFio(CInfoBase& base);
void LoadComp(CInfoBase& base);
void SaveComp(CInfoBase& base);
void LoadPrem(CInfoBase& base);
void SavePrem(CInfoBase& base);
void LoadBln(CInfoBase& base);
void SaveBln(CInfoBase& base);
void LoadOtp(CInfoBase& base);
void SaveOtp(CInfoBase& base);
// A line array of that kind as memory holds it: its index words, then its
// lines (the alternative time sheet's three tables), in one transaction (a
// savepoint of one already open).
void SaveLines(CInfoBase& base, LineKind kind);
void LoadAvZar1(CInfoBase& base);
void SaveAvZar1(CInfoBase& base);
// Employee list 1 (personnel-number order) or 2 (name order) into the current list.
void LoadSimp(CInfoBase& base, int mass);
// The current list saved as list 1 or 2.
void SaveSimp(CInfoBase& base, int mass);

// --------------------------------------------------------------- the current employee

// Clears the current record and its dated archive, loads every block but the
// dated archive and makes the slot current.
void LoadEmployee(CInfoBase& base, int slot);
void LoadSber(CInfoBase& base, int slot);
// The month's rows of dbo.proizv and dbo.zarp (the row block, zeroed first).
void LoadProizvZarp(CInfoBase& base, int slot);
// The rows of one table only, as SaveProizvZarpByRec stores them: selector 0
// the month's input rows (dbo.proizv), otherwise the computed rows
// (dbo.zarp); each row at its place in the block, the block zeroed first.
// The mass (the employee list, 1 or 2) plays no part: the slot finds the rows.
inline constexpr int kInputRowsTable = 0;
inline constexpr int kResultRowsTable = 1;
void LoadProizvZarpByMass(CInfoBase& base, int slot, int mass, int selector);
// The master row alone (the head's dbo.konst fields); WithSex adds pol.
void LoadKonstAttributes(CInfoBase& base, int slot);
// The slot's master row into `record`, the current record left as it is.
void LoadKonstInto(CInfoBase& base, int slot, EmployeeRecord& record);
void LoadKonstAttributesWithSex(CInfoBase& base, int slot);
// The dated archive of a period into base.warDat, ordered by start date, year,
// month and code; monthFrom, monthTo and year all 0 take the whole archive.
// Returns the number of entries.
int LoadWarDat(CInfoBase& base, int slot, int monthFrom, int monthTo, int year);

// The rows of one year of every employee, read once for the whole run.
struct WariaListHolder {
    bool open = false;
    int year = 0;
    std::map<int, std::vector<WariaEntry>> bySlot;
    void release() { *this = WariaListHolder{}; }
};
// Loads the employee's monthly archive rows of `year` into the current record.
// Index 0 reads the rows of the whole base into the holder; later calls take
// theirs from it. The caller releases the holder at the end of the run.
void LoadWariaList(CInfoBase& base, const Selection& selection, int slot, int year, int runningIndex,
                   WariaListHolder& holder, int markedCount);

// Overwrites or adds the master row of the slot from the current record;
// returns its row id (also through *id when given).
qint64 SaveKonst(CInfoBase& base, int slot, qint64* id = nullptr);
void SaveKonstInostrDays(CInfoBase& base, int slot);
// Master row and every detail table but the dated archive; `attr` gives the
// split of the row block between dbo.proizv and dbo.zarp (kvProizv).
void SaveEmployee(CInfoBase& base, int slot, const EmployeeAttributes& attr);
// SaveEmployee and the dated archive.
void SaveEmployeeFull(CInfoBase& base, int slot, const EmployeeAttributes& attr);
// The same with the slot's own attribute record.
void SaveEmployee(CInfoBase& base, int slot);
void SaveEmployeeFull(CInfoBase& base, int slot);
void SaveEmployeePostDopl(CInfoBase& base, int slot);
// The employees of the month change, read and written as the month change
// writes them (master, deductions, permanent payments, loans, writs, archive,
// month rows and dated archive). On a server by groups, so that the round trips grow by one a
// group, not by tens an employee: the records read together by the base's
// record readers (EmployeeRecordFeed) and every dated archive by one
// statement, in the view of the caller's open transaction; the moved
// records kept and written kMovedGroup at a time, one statement a table for
// the whole group (the master rows updated by slot, the rows of each detail
// table in place of the group's stored ones), in one batch. On a base file,
// which answers at once, each is read and written on his own. A refusal of
// a group's rows is found again employee by employee and names him.
class MovedEmployees {
public:
    static constexpr int kMovedGroup = 256;
    // The slots that will be loaded, each once, in any order; `refusalText`
    // says what a refusal of the slot's rows did.
    MovedEmployees(CInfoBase& base, const std::vector<int>& wanted, std::function<QString(int slot)> refusalText);
    ~MovedEmployees();
    MovedEmployees(const MovedEmployees&) = delete;
    MovedEmployees& operator=(const MovedEmployees&) = delete;
    // Makes the slot's record current, its dated archive with it (LoadEmployee
    // and LoadWarDat of the whole archive).
    void load(int slot);
    // The current record and dated archive of the slot, the parts that the
    // month change writes; on a server kept for its group.
    void save(int slot, const EmployeeAttributes& attr);
    // Writes the records kept; throws the refusal named.
    void flush();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
// Replace the employee's rows of one detail table by the current record's.
void SaveSber(CInfoBase& base, qint64 id);
void SaveIspol(CInfoBase& base, qint64 id);
void SaveSsud(CInfoBase& base, qint64 id);
// Selector 0: the first kvProizv rows into dbo.proizv; otherwise the rest
// into dbo.zarp.
void SaveProizvZarpByRec(CInfoBase& base, int slot, int selector);
// Deletes the employee's master row and every row of his in the detail
// tables, the dated archive included. Row ids are never reused.
void DeleteEmployee(CInfoBase& base, int slot);
// Both employee lists as memory holds them (the current one and the other)
// and the employee count, in one transaction.
void SaveBothLists(CInfoBase& base);
// Whether a list of the base holds the personnel number, whatever memory holds.
bool StoredListHolds(CInfoBase& base, int tabN);
// The slot's own rows as memory holds them, no other slot's: its attributes
// and shop, amounts to pay, short name, time sheet and first bonus line (a
// card's making and removal).
void SaveSlotRows(CInfoBase& base, int slot);
// The short name of a full name: "Фамилия И. О." of its first three words
// ("Фамилия И." of two, the word itself of one, empty of none).
QString ShortNameOf(const QString& fio);
// Deletes master rows without a name, rebuilds both lists, the short names and
// the employee count, in the base and in memory; only when the count of named
// employees differs from the count of distinct personnel numbers, unless
// forced. True when it rebuilt.
bool RebuildLists(CInfoBase& base, bool force = false);

// --------------------------------------------------------------- records handed over without the swap file

// The records of the employees of a run, read from the base as streams (each
// table once, in slot order) and handed over one by one as the base's current
// record, in whatever order the run takes them: a run that reads each
// employee once needs no slot of the swap work file. A record read before its
// turn waits in memory, its blank archive entries left off. It reads within
// the caller's open transaction and keeps none of its own, so that it can
// stand inside a run that writes (the rows it has read are never written
// back under it: a record is read before its turn).
class EmployeeRecordFeed {
public:
    // The slots that will be asked for, each once, in any order.
    EmployeeRecordFeed(CInfoBase& base, std::vector<int> slotsAskedFor);
    ~EmployeeRecordFeed();
    EmployeeRecordFeed(const EmployeeRecordFeed&) = delete;
    EmployeeRecordFeed& operator=(const EmployeeRecordFeed&) = delete;
    // Makes the slot's record the base's current record (currentSlot = slot),
    // as a selection run would write it into the slot: every block, a slot
    // without a master row blank. The dated archive is left as it is.
    void makeCurrent(int slot);
    // The computed rows (dbo.zarp) that the base held for the record made
    // current last when it was read for the run, each as stored; not known
    // for a record read on its own (a slot not announced or asked for again).
    const std::optional<NumberedRows>& storedResultRows() const;
    // Reads the slot's record before its turn (it then waits in memory) and
    // lets `use` see it; its archive may lack the blank entries at its end.
    void readAhead(int slot, const std::function<void(const EmployeeRecord&)>& use);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// --------------------------------------------------------------- selection runs into the swap file
//
// Each run polls the stop token between employees; when stopped it closes the
// swap file and returns false, leaving the slots written so far. Employees are
// taken in the order of the current list; a slot is written whole.

// Every block of every selected employee; the file is made anew.
bool SelectAllToSwap(CInfoBase& base, const Selection& selection, std::stop_token stop = {});
// Master and passport, tax deductions, monthly archive and month rows.
bool SelectMonthToSwap(CInfoBase& base, std::stop_token stop, const Selection& selection);
// Master and passport and month rows; fills `selected` when given.
bool SelectKonstProizvToSwap(CInfoBase& base, std::stop_token stop, const Selection& selection,
                             std::vector<SelectedEmployee>* selected = nullptr);
// Master and passport, the archive (entries accrued or paid in the months
// from..to, (year - 1900) x 12 + month; 0 and 0 take all) and month rows;
// flag = marked employees only.
bool SelectKonstWariaToSwap(CInfoBase& base, int monthFrom, int monthTo, const Selection& selection,
                            std::stop_token stop = {});
// Master and passport, tax deductions, the archive of the period (entries
// whose accrual or payment month index lies within first..last; 0 and 0 take
// all) and month rows;
// flag = marked only.
bool SelectPeriodToSwap(CInfoBase& base, int first, int last, const Selection& selection,
                        std::stop_token stop = {});
// Single-block runs: each rewrites one block of each selected employee's slot
// in the open (or opened) file and keeps the rest of the slot.
bool SelectKonstToSwap(CInfoBase& base, const Selection& selection, std::stop_token stop = {});
bool SelectNalvichToSwap(CInfoBase& base, const Selection& selection, std::stop_token stop = {});
bool SelectPostDoplToSwap(CInfoBase& base, const Selection& selection, std::stop_token stop = {});
bool SelectSberToSwap(CInfoBase& base, const Selection& selection, std::stop_token stop = {});
bool SelectIspolToSwap(CInfoBase& base, const Selection& selection, std::stop_token stop = {});
bool SelectSsudToSwap(CInfoBase& base, const Selection& selection, std::stop_token stop = {});
// The archive from month `month` of year `year` on (accrued or paid).
bool SelectWariaToSwap(CInfoBase& base, int year, int month, const Selection& selection, std::stop_token stop = {});
bool SelectProizvZarpToSwap(CInfoBase& base, const Selection& selection, std::stop_token stop = {});

} // namespace kalvor::infobase
