// Base files: naming, creation from the empty template, opening, copying and
// deleting.
#include "infobase/BaseCheck.h"
#include "infobase/BaseWrites.h"
#include "infobase/InfoBaseDbDetail.h"
#include "infobase/Schema.h"
#include "infobase/StoredTables.h"
#include "platform/Db.h"
#include "platform/DbBases.h"
#include "platform/DbSchema.h"
#include "platform/DbServerWork.h"
#include "platform/DbTransaction.h"
#include "platform/PrivateFiles.h"
#include "platform/WorkingFolder.h"
#include "values/Clock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <algorithm>
#include <cstring>

namespace kalvor::infobase {

namespace {

const QString kSource = QStringLiteral("Kalvor.Base");
// The temporary names of the program's own files: a base file's copy being
// restored onto a server (in the temporary folder), a base file being made
// (beside the base).
const QString kRestoreCopyPattern = QStringLiteral("kalvor-restore-XXXXXX.sqlite");
const QRegularExpression kRestoreCopyName(QStringLiteral("^kalvor-restore-[A-Za-z0-9]{6}\\.sqlite$"));
const QString kNewBaseSuffix = QStringLiteral(".sqlite.new");

// A server's base: letters, digits, "_", "-" and "." within the server's 63
// bytes, not beginning with "-", so that the name is safe as the database's
// name and as an argument of the server's tools.
bool validServerName(const QString& name)
{
    if (name.toUtf8().size() > 63 || name.startsWith(QLatin1Char('-')))
        return false;
    for (const QChar c : name)
        if (!c.isLetterOrNumber() && c != QLatin1Char('_') && c != QLatin1Char('-') && c != QLatin1Char('.'))
            return false;
    return true;
}

bool validName(const QString& name)
{
    if (name.isEmpty() || name.size() > 128)
        return false;
    for (QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 32)
            return false;
    if (db::ServerInUse() && !validServerName(name))
        return false;
    return name != QLatin1String(".") && name != QLatin1String("..");
}

void requireName(const QString& name)
{
    if (!validName(name))
        throw db::DbError(db::E_DB_FAIL, QStringLiteral("Недопустимое имя базы данных"), name, kSource);
}

// A new base's name, checked before anything is made under it.
void requireNewName(const QString& folder, const QString& name)
{
    requireName(name);
    if (const QString refusal = NewBaseNameRefusal(folder, name); !refusal.isEmpty())
        throw db::DbError(db::E_DB_FAIL, refusal, name, kSource);
}

const char* const kBaseFileSuffixes[] = {"", "-wal", "-shm", "-journal"};

void removeBaseFiles(const QString& file)
{
    for (const char* suffix : kBaseFileSuffixes) QFile::remove(file + QString::fromLatin1(suffix));
}

// A base file or a copy found readable by others is kept to its owner from
// now on, with its journals.
void makeBasePrivate(const QString& file)
{
    for (const char* suffix : kBaseFileSuffixes) platform::MakePrivate(file + QString::fromLatin1(suffix));
}

// A new empty file readable by its owner alone.
void requirePrivateFile(const QString& file)
{
    if (!platform::CreatePrivateFile(file))
        throw db::DbError(db::E_DB_FAIL, QStringLiteral("Ошибка записи в файл"), file, kSource);
}

} // namespace

bool ValidBaseName(const QString& name) { return validName(name); }

int NewBaseNameLimit(const QString& folder)
{
    // A file name's limit, and the engine's path limit less the terminating zero.
    constexpr int kFileNameMax = 255, kEnginePathMax = 511;
    // "archive/", "_2011_04", "_999", ".tmp/", ".sqlite", "-journal".
    constexpr int kCopyPathExtra = 8 + 8 + 4 + 5 + 7 + 8;
    const int folderBytes = int(QFile::encodeName(platform::WithSeparator(QDir(folder).absolutePath())).size());
    return std::max(0,
                    std::min(kFileNameMax - kLongestBaseNameTail, (kEnginePathMax - kCopyPathExtra - folderBytes) / 2));
}

QString NewBaseNameRefusal(const QString& folder, const QString& name)
{
    const int bytes = int(QFile::encodeName(name).size());
    const int limit = NewBaseNameLimit(folder);
    if (bytes <= limit)
        return QString();
    return QStringLiteral("Слишком длинное имя базы данных: %1 байт, а в этой папке допускается не более %2 байт "
                          "(%3 русских букв или %2 латинских)")
        .arg(bytes)
        .arg(limit)
        .arg(limit / 2);
}

QString BaseFilePath(const QString& folder, const QString& name)
{
    if (db::ServerInUse())
        return db::ServerBaseLocator(name);
    return platform::WithSeparator(folder) + name + QStringLiteral(".sqlite");
}

QString BaseFile(const CInfoBase& base) { return BaseFilePath(base.workFolder, base.baseName); }

QSqlDatabase Db(const CInfoBase& base) { return db::Connection::forThread(BaseFile(base)); }

bool BaseExists(const QString& folder, const QString& name)
{
    // A server that cannot be asked throws why.
    if (db::ServerInUse())
        return validName(name) && db::ServerBaseExists(name);
    return validName(name) && QFileInfo(BaseFilePath(folder, name)).isFile();
}

namespace {

// Copies the template to the new base's temporary file, naming the file that
// really failed: the template when it cannot be read, the target when it
// cannot be written.
void copyTemplate(const QString& templ, const QString& target)
{
    QFile in(templ);
    if (!in.open(QIODevice::ReadOnly))
        throw db::DbError(db::E_DB_FAIL, QStringLiteral("Ошибка при открытии файла"), templ, kSource);
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate, QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        !platform::MakePrivate(target))
        throw db::DbError(db::E_DB_FAIL, QStringLiteral("Ошибка записи в файл"), target, kSource);
    constexpr qint64 kChunk = 1 << 16;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kChunk);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            throw db::DbError(db::E_DB_FAIL, QStringLiteral("Ошибка чтения файла"), templ, kSource);
        if (out.write(chunk) != chunk.size())
            throw db::DbError(db::E_DB_FAIL, QStringLiteral("Ошибка записи в файл"), target, kSource);
    }
    if (!out.flush())
        throw db::DbError(db::E_DB_FAIL, QStringLiteral("Ошибка записи в файл"), target, kSource);
}

// The checks of a base before its tables are used; the template of new bases
// passes the same ones.
void checkOpenedBase(const QSqlDatabase& db)
{
    UpgradeSchema(db);
    KeepListNumbersUnique(db);
    CheckSchemaTables(db);
    CheckConfiguration(db);
    db::UseWriteAheadJournal(db);
}

// The same on the server: a new database under a temporary name no base can
// have, filled and renamed when complete; dropped again after a failure. No
// other database is dropped. A stopped building does not wait on a server
// that may not answer: its database is dropped by a later opening's cleanup
// (db::DropLeftoverServerBases).
void buildServerBase(const QString& name, const std::function<void(const QSqlDatabase&)>& fill)
{
    if (db::ServerBaseExists(name))
        throw db::DbError(db::E_DB_FAIL, QStringLiteral("База данных уже существует"), name, kSource);
    db::TemporaryServerBase temp(name);
    // A drop that fails too (a server that went away, a rename whose
    // session has ended) leaves the database to the cleanup; the failure
    // said is the building's own.
    auto dropTemporary = [&] {
        try {
            temp.drop();
        } catch (const db::DbError&) {
        }
    };
    try {
        fill(db::Connection::forThread(db::ServerBaseLocator(temp.name())));
        temp.renameTo(name);
    } catch (const db::DbError& e) {
        db::Connection::closeForThread(db::ServerBaseLocator(temp.name()));
        if (e.code() != db::E_DB_STOPPED)
            dropTemporary();
        throw;
    } catch (...) {
        dropTemporary();
        throw;
    }
}

// Builds a new base file under a temporary name: `prepare` may put a file
// there first, `fill` then works on its connection; the file is renamed when
// complete. Nothing is left behind after a failure.
void buildBaseFile(const QString& folder, const QString& name, const std::function<void(const QString& temp)>& prepare,
                   const std::function<void(const QSqlDatabase&)>& fill)
{
    requireNewName(folder, name);
    if (db::ServerInUse())
        return buildServerBase(name, fill);
    const QString file = BaseFilePath(folder, name);
    if (QFileInfo::exists(file))
        throw db::DbError(db::E_DB_FAIL, QStringLiteral("База данных уже существует"), name, kSource);
    const QString temp = file + QStringLiteral(".new"); // "<name>.sqlite.new"
    removeBaseFiles(temp);
    // The base holds the payroll: its file is its owner's alone from the
    // start, and the engine gives its journals the file's rights.
    requirePrivateFile(temp);
    platform::FileHold hold; // until the file is complete, or removed
    hold.take(temp);
    try {
        prepare(temp);
        {
            const QSqlDatabase db = db::Connection::forThread(temp);
            fill(db);
            // Leave one self-contained file behind before the rename.
            db::Checkpoint(db);
        }
        db::Connection::closeForThread(temp);
    } catch (...) {
        db::Connection::closeForThread(temp);
        removeBaseFiles(temp);
        throw;
    }
    QFile::remove(temp + QStringLiteral("-wal"));
    QFile::remove(temp + QStringLiteral("-shm"));
    if (!QFile::rename(temp, file)) {
        removeBaseFiles(temp);
        throw db::DbError(db::E_DB_FAIL, QStringLiteral("Ошибка записи в файл"), file, kSource);
    }
}

// Runs a check of the template; its refusal is told as the template's fault.
void checkTemplate(const QString& templ, const std::function<void()>& check)
{
    try {
        check();
    } catch (const db::DbError& e) {
        throw db::DbError(e.code(), QStringLiteral("Шаблон новой базы данных непригоден"),
                          QStringLiteral("%1: %2 %3").arg(templ, e.message(), e.description()), kSource);
    }
}

} // namespace

QString TemplateFilePath(const QString& folder)
{
    return platform::WithSeparator(folder) + QStringLiteral("empty.bak");
}

namespace {

void requireTemplateFile(const QString& templ)
{
    if (!QFileInfo(templ).isFile())
        throw db::DbError(db::E_DB_NOT_FOUND, QStringLiteral("Не найден шаблон новой базы данных"), templ, kSource);
    checkTemplate(templ, [&] { RequireDatabaseFile(templ); });
}

// The rows of a table sent to the server in one batch (one pipeline, its
// rows joined into multi-row inserts).
constexpr int kCopiedRowsAGroup = 1000;

// The tables whose rows are copied: every one but the schema's version.
std::vector<const TableDef*> copiedTables()
{
    std::vector<const TableDef*> tables;
    for (const TableDef& t : SchemaTables())
        if (t.name != VersionTable().def().name)
            tables.push_back(&t);
    return tables;
}

// The rows the file holds in those tables, for the report of how far the
// copy is.
qint64 fileRowCount(const QSqlDatabase& source, const std::vector<const TableDef*>& tables)
{
    qint64 rows = 0;
    for (const TableDef* t : tables) {
        db::Recordset count(source, QStringLiteral("SELECT COUNT(*) FROM %1").arg(Qualified(t->name)));
        count.exec();
        if (count.next())
            rows += count.toInt64(0);
    }
    return rows;
}

// Sends one table's rows, its earlier rows deleted first, a group a batch.
// Each batch names the table's rows, for the base's refusal of one of them,
// and adds its rows to `done` (the table `table` of them) once the base has
// taken it; `tell` is called after each batch sent.
void sendTableRows(const QSqlDatabase& source, const QSqlDatabase& target, const TableDef& t, int table,
                   RowsCopied& done, const std::function<void()>& tell)
{
    db::Recordset rows(source, SelectSql(t));
    rows.exec();
    const QString insert = InsertSql(t);
    const QString refused = QStringLiteral("Не записаны строки: %1.").arg(TableContentText(t.name));
    auto group = std::make_unique<db::Batch>(target);
    group->add(QStringLiteral("DELETE FROM %1").arg(Qualified(t.name)));
    int inGroup = 0;
    bool deleteUnsent = true;
    auto send = [&] {
        if (inGroup == 0 && !deleteUnsent)
            return;
        deleteUnsent = false;
        group->naming(refused).whenTaken([&done, table, taken = inGroup] {
            done.table = table;
            done.rows += taken;
        });
        group->run();
        inGroup = 0;
        tell();
    };
    while (rows.next()) {
        db::ThrowWhenStopped();
        group->add(insert);
        for (int i = 0; i < t.columns.size(); ++i) group->bind(i, rows.value(i));
        if (++inGroup == kCopiedRowsAGroup) {
            send();
            group = std::make_unique<db::Batch>(target);
        }
    }
    send();
}

// Copies every row of a base file's tables into a new server base of the
// same schema step, in place of the rows it was made with, in one
// transaction; the file is only read. The rows go a group at a time, each
// group sent without waiting for the answers of those before it, so the
// round trips do not grow with the rows; `report` hears how far the server
// has taken the copy (the rows of the groups it answered) after each group
// sent and as each answer still due comes, ending on the last table and the
// total. A row the base refuses is said with what its table holds, then the
// base's own line (the batches before the refused one stood). The server's
// counter of employee ids goes on after the ids copied. The calling worker's
// stop ends it between rows (db::E_DB_STOPPED), nothing of it kept. Returns
// the last report's figures.
RowsCopied copyFileRows(const QSqlDatabase& source, const QSqlDatabase& target, const RowsCopiedReport& report)
{
    const std::vector<const TableDef*> tables = copiedTables();
    RowsCopied done;
    done.tables = int(tables.size());
    done.total = fileRowCount(source, tables);
    db::Transaction tr(target);
    db::AnswersLater later(target);
    const auto tell = [&] {
        if (report)
            report(done);
    };
    for (std::size_t i = 0; i < tables.size(); ++i) sendTableRows(source, target, *tables[i], int(i) + 1, done, tell);
    for (int due = later.sent() - later.answered(); due > 0; --due) {
        later.collectDownTo(due - 1);
        tell();
    }
    later.collect();
    tell(); // a batch held back until the collect: the last table and the total
    db::ContinueServerCounter(target, KonstTable().def().name, QStringLiteral("id"));
    tr.commit();
    return done;
}

// The same for the template of new bases, which must be of this program's step.
void copyTemplateRows(const QString& templ, const QSqlDatabase& target)
{
    const QSqlDatabase source = db::Connection::forThread(templ);
    if (StoredSchemaVersion(source) != StoredSchemaVersion(target))
        throw db::DbError(db::E_DB_VERSION, QStringLiteral("Версия шаблона не совпадает с версией программы"), templ,
                          kSource);
    copyFileRows(source, target, {});
}

// A base file's copy taken into a new server base: the copy goes to a
// temporary file readable by its owner alone, is checked and brought to this
// program's schema there as a restored file would be, and its rows fill the
// server base, which is renamed when complete. The copy itself is only read.
void restoreFileOnServer(const QString& folder, const QString& name, const QString& fromFile,
                         const RowsCopiedReport& report)
{
    makeBasePrivate(fromFile);
    RequireDatabaseFile(fromFile);
    QTemporaryFile holder(QDir::temp().filePath(kRestoreCopyPattern));
    if (!holder.open())
        throw db::DbError(db::E_DB_FAIL, QStringLiteral("Ошибка записи в файл"), holder.fileTemplate(), kSource);
    const QString copy = holder.fileName();
    holder.close();
    platform::FileHold hold; // while it is worked on
    hold.take(copy);
    auto cleanUp = [&] {
        db::Connection::closeForThread(copy);
        removeBaseFiles(copy);
    };
    try {
        copyTemplate(fromFile, copy);
        const QSqlDatabase source = db::Connection::forThread(copy);
        CheckFilePages(source);
        checkOpenedBase(source);
        const auto tell = [&](RowsCopied done, RowsCopied::Stage stage) {
            done.stage = stage;
            if (report)
                report(done);
        };
        tell({}, RowsCopied::Stage::MakingBase);
        buildBaseFile(folder, name, {}, [&](const QSqlDatabase& db) {
            CreateSchema(db);
            tell(copyFileRows(source, db, report), RowsCopied::Stage::Checking);
            checkOpenedBase(db);
        });
    } catch (...) {
        cleanUp();
        throw;
    }
    cleanUp();
}

} // namespace

void CreateBase(const QString& folder, const QString& name)
{
    const QString templ = TemplateFilePath(folder);
    if (db::ServerInUse()) {
        // The server's base is made from the same template: the schema by the
        // same steps, then the template's rows (the built-in pay kinds).
        requireTemplateFile(templ);
        buildBaseFile(folder, name, {}, [&](const QSqlDatabase& db) {
            CreateSchema(db);
            const bool wasOpen = db::Connection::isOpenForThread(templ);
            try {
                checkTemplate(templ, [&] { copyTemplateRows(templ, db); });
            } catch (...) {
                if (!wasOpen)
                    db::Connection::closeForThread(templ);
                throw;
            }
            if (!wasOpen)
                db::Connection::closeForThread(templ);
            checkTemplate(templ, [&] { checkOpenedBase(db); });
        });
        return;
    }
    buildBaseFile(
        folder, name,
        [&](const QString& temp) {
            requireTemplateFile(templ);
            copyTemplate(templ, temp);
        },
        [&](const QSqlDatabase& db) { checkTemplate(templ, [&] { checkOpenedBase(db); }); });
}

void RestoreBaseFile(const QString& folder, const QString& name, const QString& fromFile,
                     const RowsCopiedReport& report)
{
    if (db::ServerInUse())
        return restoreFileOnServer(folder, name, fromFile, report);
    buildBaseFile(
        folder, name,
        [&](const QString& temp) {
            makeBasePrivate(fromFile);
            RequireDatabaseFile(fromFile);
            copyTemplate(fromFile, temp);
        },
        [](const QSqlDatabase& db) {
            CheckFilePages(db);
            checkOpenedBase(db);
        });
}

void CreateSchemaBase(const QString& folder, const QString& name)
{
    buildBaseFile(
        folder, name, [](const QString&) {},
        [](const QSqlDatabase& db) {
            db::UseWriteAheadJournal(db);
            CreateSchema(db);
        });
}

QString BaseHeldText(const QString& name)
{
    return QStringLiteral("База данных %1 уже открыта другим пользователем.").arg(name);
}

namespace {

// The base's lock, unless the caller took it for this base already. A base
// that another opening holds is refused before anything of it is touched.
void takeBaseLock(const CInfoBase& base, const QString& file)
{
    if (base.lock.held() && base.lock.baseFile() == file)
        return;
    switch (base.lock.acquire(file)) {
    case platform::BaseLock::Result::Taken: return;
    case platform::BaseLock::Result::HeldElsewhere:
        throw db::DbError(db::E_DB_BUSY, BaseHeldText(base.baseName), file, kSource);
    case platform::BaseLock::Result::Failed: break;
    }
    throw db::DbError(db::E_DB_FAIL, QStringLiteral("Ошибка при открытии файла"),
                      QStringLiteral("%1: %2").arg(platform::BaseLock::lockFileOf(file), base.lock.errorText()),
                      kSource);
}

} // namespace

void OpenBase(CInfoBase& base)
{
    const QString file = BaseFile(base);
    // A server tells a missing base, or why it cannot be asked, as it
    // connects: before its lock is asked for.
    if (db::IsServerLocator(file)) {
        Db(base);
    } else {
        if (!BaseExists(base.workFolder, base.baseName))
            throw db::DbError(db::E_DB_NOT_FOUND, QStringLiteral("База данных не найдена."), file, kSource);
        makeBasePrivate(file);
        RequireDatabaseFile(file);
    }
    takeBaseLock(base, file);
    try {
        checkOpenedBase(Db(base));
        LoadConfig(base);
        GuardBaseWrites(base);
        LoadFirm(base);
    } catch (const db::DbError& e) {
        // A refused base keeps no connection of this thread; a base file
        // that cannot be used is named in its box, as the file check names
        // it ("<file>: what was found").
        CloseBase(base);
        if (db::IsBaseFileError(e))
            throw db::DbError(e.code(), e.message(), QStringLiteral("%1: %2").arg(file, e.description()), e.source());
        throw;
    } catch (...) {
        // A refused base keeps no connection of this thread.
        CloseBase(base);
        throw;
    }
}

void SaveAll(CInfoBase& base, const std::vector<EmployeeRecord>& records, const std::vector<WarDatBlock>* warDat)
{
    db::Transaction all(Db(base));
    SaveConfig(base);
    SaveFirm(base);
    SaveEntree(base);
    SaveCeh(base);
    SaveGraph(base);
    SaveTabel(base);
    for (LineKind k : {LineKind::AltTabel, LineKind::Prem, LineKind::Bln, LineKind::Otp}) SaveIndexes(base, k);
    for (int mass = 1; mass <= 3; ++mass) SaveAltTabel(base, mass);
    SaveFio(base);
    SaveComp(base);
    SavePrem(base);
    SaveBln(base);
    SaveOtp(base);
    SaveAvZar1(base);
    // The lists before the employees: the master rows take their personnel
    // numbers from them.
    const std::vector<EmployeeListEntry> byNumber = base.list;
    base.SortList(base.list, true);
    SaveSimp(base, 2);
    base.list = byNumber;
    SaveSimp(base, 1);
    // Each record is written from where it is, without a copy into the
    // current record.
    const QSqlDatabase db = Db(base);
    const WarDatBlock noArchive;
    for (const EmployeeListEntry& e : base.list) {
        detail::WriteEmployeeFull(db, e.slot, e.tabN(), base.attributesOf(e.slot),
                                  records[SlotPlace(e.slot, records.size())],
                                  warDat ? (*warDat)[SlotPlace(e.slot, warDat->size())] : noArchive);
    }
    all.commit();
    base.ClearCurrentRecord();
}

QString CloseBase(const CInfoBase& base)
{
    UnguardBaseWrites(base);
    db::Connection::closeForThread(BaseFile(base));
    // The base's worker and its record readers hold connections to this base
    // only (under this name or one it had before): all of them go, so that no
    // connection outlives the base's closing (a base file deleted or replaced
    // afterwards, a server base renamed or dropped).
    auto closeAllOf = [](platform::WorkerThread& thread) {
        if (thread.started())
            thread.run([] { db::Connection::closeAllForThread(); });
    };
    closeAllOf(base.worker);
    // A record reader may still be opening its session for a run that
    // stopped while the server did not answer (nothing cuts an opening): the
    // close waits for it as long as a screen waits on a silent server, and is
    // left queued after it beyond that.
    for (platform::WorkerThread& reader : base.recordReaders)
        if (reader.started())
            reader.runWithin([] { db::Connection::closeAllForThread(); },
                             std::chrono::milliseconds(db::kServerSilenceMilliseconds));
    Clock::setReferenceYear(&base, 0);
    return base.lock.release();
}

namespace {

// Removes a temporary base file of the program's own naming with its
// journals, unless the program (here or in another process) still works on
// it; journals left without their file go too. Only regular files of the
// user the program runs as are touched: a FIFO, a device, a link or another
// user's file of that name stays (the temporary folder is everybody's).
void removeUnheld(const QString& file)
{
    platform::FileHold hold;
    const QFileInfo info(file);
    if ((info.exists() || info.isSymLink()) && !hold.take(file))
        return;
    for (const char* suffix : kBaseFileSuffixes) platform::RemoveOwnFile(file + QString::fromLatin1(suffix));
}

// The temporary base files of the folder whose names the test accepts, named
// once each (also when only a journal of one is left).
template <class Test>
void removeLeftoversIn(const QDir& dir, const QStringList& patterns, Test ours)
{
    QStringList files;
    for (QString name : dir.entryList(patterns, QDir::Files | QDir::Hidden | QDir::System)) {
        for (const char* suffix : kBaseFileSuffixes)
            if (*suffix && name.endsWith(QLatin1String(suffix)))
                name.chop(qsizetype(std::strlen(suffix)));
        if (ours(name) && !files.contains(name))
            files << name;
    }
    for (const QString& name : files) removeUnheld(dir.filePath(name));
}

} // namespace

void RemoveLeftovers(const QString& folder)
{
    // "<name>.sqlite.new" beside the bases, for a valid base name only.
    removeLeftoversIn(QDir(folder.isEmpty() ? QStringLiteral(".") : folder),
                      {QLatin1Char('*') + kNewBaseSuffix + QLatin1Char('*')}, [](const QString& name) {
                          return name.endsWith(kNewBaseSuffix) && validName(name.chopped(kNewBaseSuffix.size()));
                      });
    removeLeftoversIn(QDir::temp(), {QStringLiteral("kalvor-restore-*")},
                      [](const QString& name) { return kRestoreCopyName.match(name).hasMatch(); });
}

void DeleteBase(const QString& folder, const QString& name)
{
    requireName(name);
    const QString file = BaseFilePath(folder, name);
    db::Connection::closeForThread(file);
    if (db::IsServerLocator(file)) {
        db::DropServerBase(name);
        return;
    }
    if (QFileInfo::exists(file) && !QFile::remove(file))
        throw db::DbError(db::E_DB_FAIL, QStringLiteral("Ошибка при удалении файла"), file, kSource);
    removeBaseFiles(file);
}

} // namespace kalvor::infobase
