// Base files and the schema: creation from the template, the version row and
// its upgrade steps, opening, copying, deleting; transactions and connections.
#include "DbTestBase.h"
#include "support/SourceLines.h"

#include "infobase/Password.h"
#include "infobase/Schema.h"
#include "infobase/StoredTables.h"
#include "platform/Db.h"
#include "platform/DbBases.h"
#include "platform/DbSchema.h"
#include "platform/DbTransaction.h"
#include "platform/PrivateFiles.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QThread>

#include <atomic>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::infobase::test;

class DbSchema : public DbTestBase {};

TEST_F(DbSchema, NewBaseHasEveryTableAtTheNewestStep)
{
    const QSqlDatabase d = Db(base);
    EXPECT_EQ(StoredSchemaVersion(d), SchemaVersion());
    for (const TableDef& t : SchemaTables()) EXPECT_TRUE(db::TableExists(d, t.name)) << t.name.toStdString();
    // The seed rows: capacity 1,000, no employees, today's month.
    EXPECT_EQ(base.config.kolMax, 1000);
    EXPECT_EQ(base.config.kolRab, 0);
    EXPECT_EQ(base.slotCount(), 1000);
    EXPECT_GT(base.config.reportingYear(), 2000);
    EXPECT_EQ(base.config.dosStr, QStringLiteral("kalvor-print %s"));
    // The base file keeps a write-ahead journal beside it (a server its own).
    if (!db::ServerInUse()) {
        db::Recordset mode(d, QStringLiteral("PRAGMA dbo.journal_mode"));
        mode.exec();
        ASSERT_TRUE(mode.next());
        EXPECT_EQ(mode.toString(0), QStringLiteral("wal"));
        mode.finish();
    }
    // Opening again runs no step and changes nothing.
    UpgradeSchema(d);
    EXPECT_EQ(StoredSchemaVersion(d), SchemaVersion());
}

namespace {

// The texts of the string literals of a source line that is not a comment.
QStringList LiteralsOf(const QString& line)
{
    static const QRegularExpression literal(QStringLiteral(R"re("((?:[^"\\]|\\.)*)")re"));
    QStringList texts;
    if (line.trimmed().startsWith(QStringLiteral("//")))
        return texts;
    for (auto m = literal.globalMatch(line); m.hasNext();) texts << m.next().captured(1);
    return texts;
}

// The rows of the released schema step, which never changes: the one place
// outside the declarations where a table and its columns are typed.
const QStringList kReleasedStepRows = {
    QStringLiteral("INSERT INTO dbo.config (id, kolMax, kolRab, parol, tekMes, nEnt, okrugRas, "),
    QStringLiteral("sort, okrugVyp, okrugVypRest, dosStr, r_g, r_m1, r_m2) "),
    QStringLiteral("INSERT INTO dbo.infFirm (id) VALUES (1)"), QStringLiteral("INSERT INTO dbo.infPar (id) VALUES (1)")};

} // namespace

// No statement's text anywhere in the program types a column of the base
// (nor a table: tools/check_sources.sh). A text with an SQL keyword in it
// holds no word that is a declared column's name, unless the word stands
// before a dot (an alias) or in quotes (a value). The columns come from the
// declarations: by their place among the keys, or by name through
// the builders that check the name against the table (SelectColumnsSql,
// OrderBySql, DeclaredColumn ...). The connection layer keeps its own
// service tables and is not the base's.
TEST(DbStatements, NoColumnIsNamedOutsideItsDeclaration)
{
    QSet<QString> columns;
    for (const TableDef& t : SchemaTables())
        for (const QString& c : t.columns) columns.insert(c);
    const QRegularExpression sql(
        QStringLiteral(R"(\b(SELECT|FROM|WHERE|ORDER BY|GROUP BY|JOIN|ON|SET|AND|OR|NOT|BETWEEN|IS|NULL|COUNT|DISTINCT|)"
                       R"(LIMIT|VALUES|INSERT|UPDATE|DELETE|EXISTS)\b)"));
    const QRegularExpression quoted(QStringLiteral("'[^']*'"));
    const QRegularExpression word(QStringLiteral(R"(\b[A-Za-z_]\w*\b(?!\s*\.))"));
    const auto namesAColumn = [&](const QString& line) {
        for (QString text : LiteralsOf(line)) {
            if (!sql.match(text).hasMatch() || kReleasedStepRows.contains(text))
                continue;
            text.remove(quoted);
            for (auto m = word.globalMatch(text); m.hasNext();)
                if (columns.contains(m.next().captured()))
                    return true;
        }
        return false;
    };
    std::vector<std::string> found;
    for (const std::string& line :
         testsupport::SourceLinesWhere(QString(), {QStringLiteral("/StoredTables.cpp"), QStringLiteral("/StoredTable.h")},
                                       namesAColumn))
        if (line.find("/src/platform/") == std::string::npos)
            found.push_back(line);
    EXPECT_EQ(found, std::vector<std::string>{});
}

TEST_F(DbSchema, OldBaseIsUpgradedAndNewerBaseRefused)
{
    // A base left at step 1: the one-row tables are missing.
    for (const char* sql : {"DELETE FROM dbo.config", "DELETE FROM dbo.infFirm", "DELETE FROM dbo.infPar",
                            "UPDATE dbo.version SET step = 1"})
        db::Execute(Db(base), QString::fromLatin1(sql));
    CloseBase(base);
    CInfoBase again;
    again.workFolder = base.workFolder;
    again.baseName = base.baseName;
    OpenBase(again);
    EXPECT_EQ(StoredSchemaVersion(Db(again)), SchemaVersion());
    EXPECT_EQ(again.config.kolMax, 1000);

    db::Execute(Db(again), QStringLiteral("UPDATE dbo.version SET step = 99"));
    CloseBase(again);
    try {
        OpenBase(again);
        ADD_FAILURE() << "a newer base was opened";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.code(), db::E_DB_VERSION);
    }
}

TEST_F(DbSchema, CreateFromTemplateCopyAndDelete)
{
    Fill(5);
    base.config.parol = QStringLiteral("секрет");
    SaveConfig(base);

    // The template of a new base is a base file named "empty.bak" (the
    // server's bases are made from it in ServerBaseTest).
    if (db::ServerInUse())
        GTEST_SKIP();
    db::BackupFileTo(BaseFilePath(dir.path(), QStringLiteral("test")), dir.path() + QStringLiteral("/empty.bak"));
    CreateBase(dir.path(), QStringLiteral("fromTemplate"));
    CInfoBase made;
    made.workFolder = base.workFolder;
    made.baseName = QStringLiteral("fromTemplate");
    OpenBase(made);
    EXPECT_EQ(made.config.parol, QStringLiteral("секрет"));
    EXPECT_THROW(CreateBase(dir.path(), QStringLiteral("fromTemplate")), db::DbError);
    EXPECT_THROW(CreateBase(dir.path(), QStringLiteral("../x")), db::DbError);
    EXPECT_FALSE(QFile::exists(BaseFilePath(dir.path(), QStringLiteral("fromTemplate")) + QStringLiteral(".new")));

    // A copy holds the employees; deleting removes the file.
    db::BackupFileTo(BaseFilePath(dir.path(), QStringLiteral("test")), BaseFilePath(dir.path(), QStringLiteral("copy")));
    CInfoBase copy;
    copy.workFolder = base.workFolder;
    copy.baseName = QStringLiteral("copy");
    OpenBase(copy);
    LoadAll(copy);
    EXPECT_EQ(copy.list, base.list);
    DeleteBase(dir.path(), QStringLiteral("copy"));
    EXPECT_FALSE(BaseExists(dir.path(), QStringLiteral("copy")));
    try {
        OpenBase(copy);
        ADD_FAILURE() << "a deleted base was opened";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.code(), db::E_DB_NOT_FOUND);
        EXPECT_EQ(e.message(), QStringLiteral("База данных не найдена."));
    }
    CloseBase(made);
}

TEST_F(DbSchema, ASecondOpeningOfAnOpenBaseIsRefused)
{
    CInfoBase second;
    second.workFolder = base.workFolder;
    second.baseName = base.baseName;
    try {
        OpenBase(second);
        ADD_FAILURE() << "an open base was opened a second time";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.code(), db::E_DB_BUSY);
        EXPECT_EQ(e.message(), QStringLiteral("База данных %1 уже открыта другим пользователем.").arg(base.baseName));
    }
    EXPECT_FALSE(second.lock.held());
    // Closed by the first, the base opens for the second.
    CloseBase(base);
    OpenBase(second);
    EXPECT_TRUE(second.lock.held());
    CloseBase(second);
    OpenBase(base);

    // A missing base is refused and leaves neither a base file nor a lock file.
    CInfoBase missing;
    missing.workFolder = base.workFolder;
    missing.baseName = QStringLiteral("missing");
    EXPECT_THROW(OpenBase(missing), db::DbError);
    if (!db::ServerInUse()) {
        EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("missing*")}, QDir::Files), QStringList());
    }
}

TEST_F(DbSchema, ClosingAnotherBaseLeavesTheYearWindowOfTheOpenOne)
{
    ScopedToday today(QDate(2026, 12, 7));
    base.config.tekMes = u16(2011 * 16 + 3);
    SaveConfig(base);
    // Around 2011 "35" is 1935; around 2026 it is 2035.
    EXPECT_EQ(WidenTwoDigitYear(35), 1935);
    const QString secondName = testsupport::TestBaseName(dir.path(), QStringLiteral("second"));
    CreateSchemaBase(dir.path(), secondName);
    CInfoBase second;
    second.workFolder = base.workFolder;
    second.baseName = secondName;
    OpenBase(second);
    EXPECT_EQ(second.config.reportingYear(), 2026);
    CloseBase(second);
    EXPECT_EQ(WidenTwoDigitYear(35), 1935);
    EXPECT_EQ(PackedDate::make(1, 1, 35).fullYear(), 1935);
    // A second base object that goes without being closed takes its year with it.
    {
        CInfoBase unclosed;
        unclosed.workFolder = base.workFolder;
        unclosed.baseName = secondName;
        OpenBase(unclosed);
        EXPECT_EQ(WidenTwoDigitYear(35), 2035);
        db::Connection::closeForThread(BaseFile(unclosed));
    }
    EXPECT_EQ(WidenTwoDigitYear(35), 1935);
    EXPECT_EQ(PackedDate::make(1, 1, 35).fullYear(), 1935);
}

TEST_F(DbSchema, NestedTransactionsRollBackToTheirSavepoint)
{
    const QSqlDatabase d = Db(base);
    {
        db::Transaction outer(d);
        db::Execute(d, QStringLiteral("UPDATE dbo.config SET nEnt = 5"));
        try {
            db::Transaction inner(d);
            db::Execute(d, QStringLiteral("UPDATE dbo.config SET nEnt = 6"));
            throw std::runtime_error("inner fails");
        } catch (const std::runtime_error&) {
        }
        outer.commit();
    }
    db::Recordset q(d, QStringLiteral("SELECT nEnt FROM dbo.config"));
    q.exec();
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.toInt(0), 5);
}

// A statement refused as the first of a savepoint or of a read (on a server
// the savepoint's mark or the read's BEGIN goes with it, in its round trip),
// whether run alone, as a query or in a batch, leaves the connection
// working: the savepoint is undone and the outer transaction commits what it
// wrote; a transaction whose statement was refused rolls back, and the next
// one writes and reads.
TEST_F(DbSchema, AStatementRefusedFirstInASavepointOrAReadLeavesTheConnectionWorking)
{
    const QSqlDatabase d = Db(base);
    const QString duplicate = QStringLiteral("INSERT INTO dbo.infFirm (id) VALUES (1)");
    const std::vector<std::function<void()>> refusals = {
        [&] { db::Execute(d, duplicate); },
        [&] { db::Recordset(d, duplicate).exec(); },
        [&] {
            db::Batch batch(d);
            batch.add(duplicate);
            batch.run();
        }};
    auto nEnt = [&] {
        db::Recordset q(d, QStringLiteral("SELECT nEnt FROM dbo.config"));
        q.exec();
        return q.next() ? q.toInt(0) : -1;
    };
    for (std::size_t i = 0; i < refusals.size(); ++i) {
        {
            db::Transaction outer(d);
            db::Execute(d, QStringLiteral("UPDATE dbo.config SET nEnt = %1").arg(10 + i));
            {
                db::Transaction inner(d);
                EXPECT_THROW(refusals[i](), db::DbError) << i;
            }
            outer.commit();
        }
        EXPECT_EQ(nEnt(), int(10 + i));
        {
            db::Transaction refused(d);
            db::Execute(d, QStringLiteral("UPDATE dbo.config SET nEnt = 0"));
            EXPECT_THROW(refusals[i](), db::DbError) << i;
        }
        EXPECT_EQ(nEnt(), int(10 + i));
        {
            db::Transaction reading(d, db::Transaction::Read);
            EXPECT_THROW(db::Recordset(d, QStringLiteral("SELECT id FROM dbo.nosuchtable")).exec(), db::DbError);
        }
        {
            db::Transaction next(d);
            db::Execute(d, QStringLiteral("UPDATE dbo.config SET nEnt = %1").arg(20 + i));
            next.commit();
        }
        db::Transaction reading(d, db::Transaction::Read);
        EXPECT_EQ(nEnt(), int(20 + i));
        reading.commit();
    }
}

TEST_F(DbSchema, EachThreadHasItsOwnConnection)
{
    Fill(4);
    const QString mine = Db(base).connectionName();
    QString theirs;
    int workerCount = -1;
    std::thread worker([&] {
        theirs = Db(base).connectionName();
        db::Recordset q(Db(base), QStringLiteral("SELECT COUNT(*) FROM dbo.konst"));
        q.exec();
        workerCount = q.next() ? q.toInt(0) : -1;
        // The worker writes in its own transaction while the other connection stays usable.
        db::Transaction tr(Db(base));
        db::Execute(Db(base), QStringLiteral("UPDATE dbo.config SET nEnt = 77"));
        tr.commit();
    });
    worker.join();
    EXPECT_NE(theirs, mine);
    EXPECT_EQ(workerCount, 4);
    EXPECT_FALSE(QSqlDatabase::contains(theirs)); // closed when its thread ended
    db::Recordset q(Db(base), QStringLiteral("SELECT nEnt FROM dbo.config"));
    q.exec();
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.toInt(0), 77);
}

// The base's worker keeps its connection from run to run until the base is
// closed; then it goes too. A base deleted and made again under the same name
// gets the worker's later writes (a connection kept past the closing would
// write them into the deleted file, or hold a server base against its drop).
TEST_F(DbSchema, TheWorkersConnectionLastsUntilTheBaseCloses)
{
    const QString file = BaseFile(base);
    QString first, second;
    base.worker.run([&] { first = Db(base).connectionName(); });
    base.worker.run([&] { second = Db(base).connectionName(); });
    EXPECT_EQ(second, first);
    EXPECT_TRUE(QSqlDatabase::contains(first));

    CloseBase(base);
    bool open = true;
    base.worker.run([&] { open = db::Connection::isOpenForThread(file); });
    EXPECT_FALSE(open);
    EXPECT_FALSE(QSqlDatabase::contains(first));

    DeleteBase(dir.path(), base.baseName);
    CreateSchemaBase(dir.path(), base.baseName);
    OpenBase(base);
    base.worker.run([&] {
        db::Transaction tr(Db(base));
        db::Execute(Db(base), QStringLiteral("UPDATE dbo.config SET nEnt = 55"));
        tr.commit();
    });
    db::Recordset q(Db(base), QStringLiteral("SELECT nEnt FROM dbo.config"));
    q.exec();
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.toInt(0), 55);
}

namespace {

// The process's umask for a scope.
class UmaskScope {
public:
    explicit UmaskScope(mode_t mask) : old_(::umask(mask)) {}
    ~UmaskScope() { ::umask(old_); }

private:
    mode_t old_;
};

int ModeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

void WriteFile(const QString& path, const QByteArray& bytes = "x")
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

// The temporary folder (TMPDIR) set to `folder` for a test's scope, and
// given back as it was at its end, whether the test passes or not.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const QString& folder) : old_(qgetenv("TMPDIR"))
    {
        qputenv("TMPDIR", QFile::encodeName(folder));
    }
    ~TemporaryFolder()
    {
        if (old_.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", old_);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

private:
    QByteArray old_;
};

} // namespace

// Under the usual umask 022 the program's bases, their journals, their copies
// and the work file are readable by their owner alone; a base or copy left
// readable by others (by a program before this one) is tightened when opened.
TEST_F(DbSchema, BasesTheirJournalsAndCopiesAreTheirOwnersAloneWhateverTheUmask)
{
    if (db::ServerInUse())
        GTEST_SKIP();
    const UmaskScope umask022(022);
    const QString folder = dir.path() + QLatin1Char('/');
    CreateSchemaBase(folder, QStringLiteral("fresh"));
    EXPECT_EQ(ModeOf(folder + QStringLiteral("fresh.sqlite")), 0600);
    CInfoBase fresh;
    fresh.workFolder = folder;
    fresh.baseName = QStringLiteral("fresh");
    OpenBase(fresh);
    SaveConfig(fresh);
    for (const char* journal : {"-wal", "-shm"}) {
        ASSERT_TRUE(QFile::exists(folder + QStringLiteral("fresh.sqlite") + QLatin1String(journal))) << journal;
        EXPECT_EQ(ModeOf(folder + QStringLiteral("fresh.sqlite") + QLatin1String(journal)), 0600) << journal;
    }
    fresh.swap.setPath(fresh.swapPath());
    fresh.swap.create();
    fresh.swap.close();
    EXPECT_EQ(ModeOf(fresh.swapPath()), 0600);
    // A work file left 0644 by an earlier run is its owner's again once a run takes it.
    ASSERT_EQ(::chmod(QFile::encodeName(fresh.swapPath()).constData(), 0644), 0);
    fresh.swap.create();
    EXPECT_EQ(ModeOf(fresh.swapPath()), 0600);
    fresh.swap.close();
    CloseBase(fresh);

    const QString snapshot = folder + QStringLiteral("snapshot.sqlite");
    db::BackupFileTo(BaseFile(base), snapshot);
    EXPECT_EQ(ModeOf(snapshot), 0600);

    // Left 0644 by an older program: the opening keeps it to its owner, and
    // the journals made afterwards follow the file.
    const QString freshFile = folder + QStringLiteral("fresh.sqlite");
    ASSERT_EQ(::chmod(QFile::encodeName(freshFile).constData(), 0644), 0);
    OpenBase(fresh);
    EXPECT_EQ(ModeOf(freshFile), 0600);
    SaveConfig(fresh);
    EXPECT_EQ(ModeOf(freshFile + QStringLiteral("-wal")), 0600);
    CloseBase(fresh);

    // A copy readable by others is tightened when restored from, and the
    // base made of it is its owner's.
    ASSERT_EQ(::chmod(QFile::encodeName(snapshot).constData(), 0644), 0);
    RestoreBaseFile(folder, QStringLiteral("restored"), snapshot);
    EXPECT_EQ(ModeOf(snapshot), 0600);
    EXPECT_EQ(ModeOf(folder + QStringLiteral("restored.sqlite")), 0600);
}

// The temporary folder is everybody's: the start-up cleanup takes only
// regular files of the program's naming that belong to the user it runs as.
// A FIFO of that name (which an opening would wait on for ever), a link, and
// another user's files stay as they were, and the cleanup ends at once.
TEST_F(DbSchema, TheStartUpCleanupTouchesOnlyTheUsersOwnRegularFiles)
{
    if (db::ServerInUse())
        GTEST_SKIP();
    const QString folder = dir.path() + QLatin1Char('/');
    const QString temp = folder + QStringLiteral("tmp/");
    ASSERT_TRUE(QDir().mkpath(temp));
    const TemporaryFolder tmpdir(temp);
    const QString fifo = temp + QStringLiteral("kalvor-restore-Fifo01.sqlite");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0666), 0);
    const QString target = folder + QStringLiteral("target.txt");
    WriteFile(target);
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0644), 0);
    const QStringList links = {temp + QStringLiteral("kalvor-restore-Link01.sqlite"),
                               temp + QStringLiteral("kalvor-restore-Link02.sqlite-wal")};
    for (const QString& link : links) ASSERT_TRUE(QFile::link(target, link));
    const QStringList others = {temp + QStringLiteral("kalvor-restore-Other1.sqlite"),
                                temp + QStringLiteral("kalvor-restore-Other2.sqlite-journal")};
    const bool root = ::geteuid() == 0; // only root can give a file to another user
    for (const QString& other : others) {
        WriteFile(other);
        if (root) {
            ASSERT_EQ(::chown(QFile::encodeName(other).constData(), 65534, 65534), 0);
        }
    }
    const QString own = temp + QStringLiteral("kalvor-restore-Ab12Cd.sqlite");
    WriteFile(own);
    WriteFile(own + QStringLiteral("-wal"));

    std::atomic<bool> done{false};
    QElapsedTimer cleanup;
    cleanup.start();
    std::thread start([&] {
        RemoveLeftovers(dir.path());
        done = true;
    });
    while (!done && cleanup.elapsed() < 60000) QThread::msleep(10);
    EXPECT_TRUE(done) << "the cleanup waits on the FIFO";
    if (!done) {
        // Lets a cleanup that opened the FIFO go on.
        const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
    }
    start.join();
    struct stat st {};
    EXPECT_EQ(::lstat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    for (const QString& link : links) EXPECT_TRUE(QFileInfo(link).isSymLink()) << link.toStdString();
    EXPECT_TRUE(QFile::exists(target));
    EXPECT_EQ(ModeOf(target), 0644);
    for (const QString& other : others) {
        ASSERT_EQ(::lstat(QFile::encodeName(other).constData(), &st), 0) << other.toStdString();
        if (root) {
            EXPECT_EQ(st.st_uid, 65534u);
        }
    }
    EXPECT_FALSE(QFile::exists(own));
    EXPECT_FALSE(QFile::exists(own + QStringLiteral("-wal")));
}

// A journal name of a base that is a link to a file elsewhere: opening the
// base tightens the base's own file, never what the link points to.
TEST_F(DbSchema, OpeningABaseLeavesWhatAJournalLinkPointsToAlone)
{
    if (db::ServerInUse())
        GTEST_SKIP();
    const QString folder = dir.path() + QLatin1Char('/');
    const QString target = folder + QStringLiteral("elsewhere.txt");
    WriteFile(target);
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0644), 0);
    const QString link = BaseFile(base) + QStringLiteral("-journal");
    CloseBase(base);
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_EQ(::chmod(QFile::encodeName(BaseFile(base)).constData(), 0644), 0);
    try {
        OpenBase(base);
    } catch (const db::DbError&) {
        // The engine itself may refuse a base whose journal is a link.
    }
    EXPECT_EQ(ModeOf(target), 0644);
    EXPECT_EQ(ModeOf(BaseFile(base)), 0600);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    CloseBase(base);
    ASSERT_TRUE(QFile::remove(link));
    OpenBase(base);
}

// The password of a base: a salted PBKDF2-HMAC-SHA256 hash, checked here
// against RFC 7914's vector (P "Password", S "NaCl", 80,000 rounds: 4d dc d8
// f6 0b 98 be 21 ...); a base made before keeps the plain text, which is read
// as before and gives way to its hash at the next successful login. A text of
// the hash's form that is no sound hash is refused whatever is typed, at once.
TEST_F(DbSchema, APlainPasswordOfAnOldBaseIsReadAndGivesWayToItsHash)
{
    const QString rfc = QStringLiteral("pbkdf2-sha256$80000$TmFDbA==$TdzY9guYviGDDO5e8icB+WQaRBjQTAQUrv8Ih2s0q1Y=");
    EXPECT_TRUE(IsPasswordHash(rfc));
    EXPECT_TRUE(PasswordMatches(rfc, QStringLiteral("Password")));
    EXPECT_FALSE(PasswordMatches(rfc, QStringLiteral("Passwore")));
    EXPECT_FALSE(PasswordMatches(rfc, QString()));
    // Cyrillic typed as UTF-8, 120,000 rounds, a salt "0123456789abcdef".
    const QString cyr =
        QStringLiteral("pbkdf2-sha256$120000$MDEyMzQ1Njc4OWFiY2RlZg==$gg+uplsHDrxydXCaaEQy+MzvJKryEaelRePr5HS9eMc=");
    EXPECT_TRUE(PasswordMatches(cyr, QStringLiteral("пароль")));
    EXPECT_FALSE(PasswordMatches(cyr, QStringLiteral("Пароль")));
    // Damaged: a round count far from the program's own (the most would take
    // 40 minutes), a salt or key that is no base64 or of the wrong length.
    const QString salt = QStringLiteral("$MDEyMzQ1Njc4OWFiY2RlZg==$");
    const QString key = QStringLiteral("gg+uplsHDrxydXCaaEQy+MzvJKryEaelRePr5HS9eMc=");
    for (const QString& damaged :
         {QStringLiteral("pbkdf2-sha256$2147483647") + salt + key, QStringLiteral("pbkdf2-sha256$1200001") + salt + key,
          QStringLiteral("pbkdf2-sha256$1000") + salt + key, QStringLiteral("pbkdf2-sha256$-5") + salt + key,
          QStringLiteral("pbkdf2-sha256$120000$@@@@$") + key,
          QStringLiteral("pbkdf2-sha256$120000") + salt + QStringLiteral("AAAA"),
          QStringLiteral("pbkdf2-sha256$120000") + salt, QStringLiteral("pbkdf2-sha256$")}) {
        QElapsedTimer timer;
        timer.start();
        EXPECT_TRUE(IsDamagedPasswordHash(damaged)) << damaged.toStdString();
        EXPECT_FALSE(IsPasswordHash(damaged)) << damaged.toStdString();
        EXPECT_FALSE(PasswordMatches(damaged, QStringLiteral("пароль"))) << damaged.toStdString();
        EXPECT_FALSE(PasswordMatches(damaged, damaged)) << damaged.toStdString();
        EXPECT_LT(timer.elapsed(), 60000) << damaged.toStdString();
    }
    EXPECT_FALSE(IsDamagedPasswordHash(cyr));
    EXPECT_FALSE(IsDamagedPasswordHash(QStringLiteral("пароль")));
    EXPECT_FALSE(IsDamagedPasswordHash(QString()));
    // Plain text of an old base, and a base without a password.
    EXPECT_FALSE(IsPasswordHash(QStringLiteral("пароль")));
    EXPECT_TRUE(PasswordMatches(QStringLiteral("пароль"), QStringLiteral("пароль")));
    EXPECT_FALSE(PasswordMatches(QStringLiteral("пароль"), QStringLiteral("парол")));
    EXPECT_TRUE(PasswordMatches(QString(), QString()));
    EXPECT_FALSE(PasswordMatches(QString(), QStringLiteral("x")));
    EXPECT_EQ(HashPassword(QString()), QString());
    // Two hashes of one password differ by their salt; both are that password's.
    const QString one = HashPassword(QStringLiteral("секрет"));
    const QString two = HashPassword(QStringLiteral("секрет"));
    EXPECT_NE(one, two);
    EXPECT_TRUE(PasswordMatches(one, QStringLiteral("секрет")));
    EXPECT_TRUE(PasswordMatches(two, QStringLiteral("секрет")));
    EXPECT_FALSE(one.contains(QStringLiteral("секрет")));

    // The old base's plain text is replaced in the base itself.
    base.config.parol = QStringLiteral("секрет");
    SaveConfig(base);
    KeepPasswordHashed(base, QStringLiteral("секрет"));
    CInfoBase again;
    again.workFolder = base.workFolder;
    again.baseName = base.baseName;
    CloseBase(base);
    OpenBase(again);
    EXPECT_TRUE(IsPasswordHash(again.config.parol)) << again.config.parol.toStdString();
    EXPECT_TRUE(PasswordMatches(again.config.parol, QStringLiteral("секрет")));
    EXPECT_FALSE(PasswordMatches(again.config.parol, QStringLiteral("секрет1")));
    // A hash stays as it is at the next login.
    const QString stored = again.config.parol;
    KeepPasswordHashed(again, QStringLiteral("секрет"));
    EXPECT_EQ(again.config.parol, stored);
    CloseBase(again);
    OpenBase(base);
}

// What a making or restoring of a base killed midway leaves goes at the next
// start: the program's own temporary files with their journals, unless
// another program still works on one; files of other names stay.
TEST_F(DbSchema, LeftoversOfAKilledMakingOrRestoreGoAtTheNextStart)
{
    if (db::ServerInUse())
        GTEST_SKIP();
    const QString folder = dir.path() + QLatin1Char('/');
    const QString temp = folder + QStringLiteral("tmp/");
    ASSERT_TRUE(QDir().mkpath(temp));
    const TemporaryFolder tmpdir(temp);
    const QStringList gone = {folder + QStringLiteral("killed.sqlite.new"),
                              folder + QStringLiteral("killed.sqlite.new-wal"),
                              folder + QStringLiteral("killed.sqlite.new-shm"),
                              folder + QStringLiteral("orphan.sqlite.new-journal"),
                              temp + QStringLiteral("kalvor-restore-Ab12Cd.sqlite"),
                              temp + QStringLiteral("kalvor-restore-Ab12Cd.sqlite-wal"),
                              temp + QStringLiteral("kalvor-restore-Ab12Cd.sqlite-shm"),
                              temp + QStringLiteral("kalvor-restore-zz99ZZ.sqlite-wal")};
    const QStringList kept = {folder + QStringLiteral("working.sqlite.new"),
                              folder + QStringLiteral("working.sqlite.new-wal"),
                              folder + QStringLiteral("x.sqlite.new.sqlite"), // the base "x.sqlite.new"
                              folder + QStringLiteral("notes.sqlite.new.txt"),
                              folder + QStringLiteral("killed.sqlite"),
                              temp + QStringLiteral("kalvor-restore-working.sqlite"),
                              temp + QStringLiteral("kalvor-restore-Ab12Cd.sqlite.txt"),
                              temp + QStringLiteral("kalvor-restore-Ab12C.sqlite"),
                              temp + QStringLiteral("my-kalvor-restore-Ab12Cd.sqlite")};
    for (const QString& f : gone + kept) WriteFile(f);
    // Another program is still making "working".
    platform::FileHold other;
    ASSERT_TRUE(other.take(folder + QStringLiteral("working.sqlite.new")));

    RemoveLeftovers(dir.path());
    for (const QString& f : gone) EXPECT_FALSE(QFile::exists(f)) << f.toStdString();
    for (const QString& f : kept) EXPECT_TRUE(QFile::exists(f)) << f.toStdString();
    EXPECT_TRUE(QFile::exists(BaseFile(base)));
    // Once that program is done with it, it is a leftover too.
    other.release();
    RemoveLeftovers(dir.path());
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("working.sqlite.new")));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("working.sqlite.new-wal")));
}

// A list holds a personnel number once: the base's own key refuses a second
// entry of it; a base made before the key gets it at its opening, unless a
// list holds a number twice (then its rows stay as they are, the key waits).
TEST_F(DbSchema, AListHoldsAPersonnelNumberOnce)
{
    Fill(3);
    const QString twice = QStringLiteral("INSERT INTO dbo.simp (mass, num, tabN, priz, rec) "
                                         "SELECT mass, 100, tabN, priz, rec FROM dbo.simp WHERE mass = 1 AND num = 1");
    EXPECT_THROW(db::Execute(Db(base), twice), db::DbError);
    for (const bool doubled : {false, true}) {
        SCOPED_TRACE(doubled);
        db::Execute(Db(base), db::IsServer(Db(base)) ? QStringLiteral("ALTER TABLE dbo.simp DROP CONSTRAINT simp_number")
                                                     : QStringLiteral("DROP INDEX dbo.simp_number"));
        if (doubled)
            db::Execute(Db(base), twice);
        CloseBase(base);
        OpenBase(base);
        EXPECT_EQ(db::HasUniqueKey(Db(base), QStringLiteral("simp_number")), !doubled);
        if (!doubled) {
            EXPECT_THROW(db::Execute(Db(base), twice), db::DbError);
        }
    }
}
