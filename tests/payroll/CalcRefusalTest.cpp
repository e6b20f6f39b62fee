// The calculation screen with inputs it must not trust: a reference file it
// needs that could not be read, an employee whose salary is not a finite
// number, and a base that takes the results but refuses the final write of the
// status words. Each is told as what happened; nothing false is stored.
#include "payroll/CalcThread.h"
#include "payroll/ui/CCalcZarpDlg.h"
#include "payroll/ui/CCalcZarpView.h"
#include "payroll/ui/PersonalAccount.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/FixtureBaseFile.h"
#include "payroll/PayrollWorld.h"
#include "platform/Db.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/MonthChange.h"
#include "support/SlotArrays.h"
#include "support/TestBaseName.h"
#include "support/TestFixture.h"
#include "values/Messages.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;

namespace {

constexpr int kEmployees = 30;

class CalcRefusal : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        doc.setWorkFolder(dir.path() + QLatin1Char('/'));
        base().baseName = testsupport::TestBaseName(dir.path(), QStringLiteral("calc"));
        CreateSchemaBase(dir.path(), base().baseName);
        OpenBase(base());
        fx = BuildFixtureBase(base(), kEmployees, 5);
        BuildFixtureRefFiles(doc.refFiles);
        payrolltest::AddFixtureContributionTables(doc);
        payrolltest::SaveFixtureToBase(base(), fx);
        LoadAll(base());
    }
    void TearDown() override { CloseBase(base()); }

    CInfoBase& base() { return doc.infoBase; }

    qint64 Count(const QString& sql)
    {
        db::Recordset q(Db(base()), sql);
        q.exec();
        return q.next() ? q.toInt64(0) : -1;
    }

    // Runs the calculation of the whole base from the screen; the result and
    // the error count of its end.
    std::pair<int, int> RunFromTheScreen()
    {
        CCalcZarpView view(&doc);
        view.OnInitialUpdate();
        std::vector<std::pair<int, int>> done;
        QObject::connect(view.CalcDlg(), &CCalcZarpDlg::calculationDone, &view,
                         [&](int result, int errors) { done.emplace_back(result, errors); });
        view.CalcDlg()->SetSelection(0, 0, 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !done.empty(); }, 60000));
        return done.empty() ? std::make_pair(-1, -1) : done[0];
    }

    // Makes the base refuse the rows of `table` (zarp, comp or AvZar1) of
    // the employees whose slots dbo.refused holds, saying `words` (on a
    // server with the state given, when one is).
    void Refuse(const QString& table, const QString& words, const QString& state = QString())
    {
        db::Execute(Db(base()), QStringLiteral("CREATE TABLE IF NOT EXISTS dbo.refused (rec INTEGER)"));
        const QString schema = db::ServerInUse() ? QStringLiteral("dbo.") : QString();
        const QString refused =
            (table == QLatin1String("zarp")
                 ? QStringLiteral("NEW.id_konst IN (SELECT k.id FROM %1konst k JOIN %1refused r ON r.rec = k.rec)")
                 : QStringLiteral("NEW.num IN (SELECT rec FROM %1refused)"))
                .arg(schema);
        if (!db::ServerInUse()) {
            for (const char* event : {"INSERT", "UPDATE"})
                db::Execute(Db(base()), QStringLiteral("CREATE TRIGGER dbo.refuse_%2 BEFORE %2 ON %1 WHEN %3 "
                                                       "BEGIN SELECT RAISE(ABORT, '%4'); END")
                                            .arg(table, QLatin1String(event), refused, words));
            return;
        }
        db::Execute(Db(base()),
                    QStringLiteral("CREATE FUNCTION dbo.refuse() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                                   "IF %1 THEN RAISE EXCEPTION '%2'%3; END IF; RETURN NEW; END $$")
                        .arg(refused, words,
                             state.isEmpty() ? QString() : QStringLiteral(" USING ERRCODE = '%1'").arg(state)));
        db::Execute(Db(base()), QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT OR UPDATE ON dbo.%1 "
                                               "FOR EACH ROW EXECUTE FUNCTION dbo.refuse()")
                                    .arg(table));
    }
    void StopRefusing(const QString& table)
    {
        if (!db::ServerInUse()) {
            for (const char* event : {"INSERT", "UPDATE"})
                db::Execute(Db(base()), QStringLiteral("DROP TRIGGER dbo.refuse_%1").arg(QLatin1String(event)));
            return;
        }
        db::Execute(Db(base()), QStringLiteral("DROP TRIGGER refuse ON dbo.%1").arg(table));
        db::Execute(Db(base()), QStringLiteral("DROP FUNCTION dbo.refuse()"));
    }

    // An employee's month: his computed rows (their count and sum), his
    // amount to pay and his status word's code.
    struct Held {
        qint64 rows;
        double toPay;
        int err;
        bool operator==(const Held&) const = default;
    };

    // What memory holds of each employee, his rows as the base holds them.
    std::vector<Held> InMemory()
    {
        const QString sumOf =
            QStringLiteral("SELECT COUNT(*) * 1000000 + COALESCE(CAST(SUM(sum) * 100 AS BIGINT), 0) "
                           "FROM dbo.zarp z JOIN dbo.konst k ON k.id = z.id_konst WHERE k.rec = %1");
        std::vector<Held> held;
        for (const EmployeeListEntry& e : base().list)
            held.push_back({Count(sumOf.arg(e.slot)), base().zar1Of(e.slot), int(base().attributesOf(e.slot).err)});
        return held;
    }
    // What the base holds of each employee, read again from it.
    std::vector<Held> Stored()
    {
        LoadAll(base());
        return InMemory();
    }

    // Makes the month computed the month as it was before: other rows,
    // amounts and status words. What the base holds then.
    std::vector<Held> MakeTheMonthOld()
    {
        db::Execute(Db(base()), QStringLiteral("UPDATE dbo.zarp SET sum = sum + 1"));
        for (const EmployeeListEntry& e : base().list) {
            base().zar1Of(e.slot) += 1;
            base().attributesOf(e.slot).err = 5;
        }
        SaveComp(base());
        SaveAvZar1(base());
        return Stored();
    }

    // Computes the whole month, then makes it the month as it was before
    // (other rows, amounts and status words), then computes it again with
    // the store of the employee at list index `at` refused (dbo.refused names
    // him to the caller's triggers): the run ends at him, everyone before him
    // holds his new month, he and everyone after him the old one, in the base
    // and in memory; the box names him and gives `engineLine`, the engine's
    // own line, in a few lines without the statement.
    void ExpectTheRunToEndAtARefusedStore(int at, const QString& engineLine)
    {
        SCOPED_TRACE(at);
        const EmployeeListEntry victim = base().list[std::size_t(at)];
        // One employee after him fails: computed while the refusal was on its
        // way back, he must not keep that status word either.
        if (at + 2 < kEmployees)
            base().attributesOf(base().list[std::size_t(at + 2)].slot).sistOpl = 0;
        ASSERT_EQ(RunFromTheScreen().first, platform::TASK_DONE);
        const std::vector<Held> fresh = Stored();
        const std::vector<Held> old = MakeTheMonthOld();

        db::Execute(Db(base()), QStringLiteral("INSERT INTO dbo.refused (rec) VALUES (%1)").arg(victim.slot));
        MessageRecorder boxes;
        const auto [result, errors] = RunFromTheScreen();
        db::Execute(Db(base()), QStringLiteral("DELETE FROM dbo.refused"));
        EXPECT_EQ(result, platform::TASK_FAILED);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        const QString& said = boxes.boxes[0].text;
        EXPECT_TRUE(said.startsWith(QStringLiteral("Расчет зарплаты не выполнен.\nРезультаты расчета работника не "
                                                   "записаны в базу:\nТаб.N %1 %2 - ошибка: %3\n")
                                        .arg(victim.tabN())
                                        .arg(base().shortNameOf(victim.slot).trimmed(), engineLine)) &&
                    said.size() < 400 && !said.contains(QStringLiteral("dbo.")))
            << qPrintable(said);
        ExpectTheCurrentRecordAsStored();
        const std::vector<Held> inMemory = InMemory();
        const std::vector<Held> after = Stored();
        for (int i = 0; i < kEmployees; ++i) {
            EXPECT_EQ(after[std::size_t(i)], i < at ? fresh[std::size_t(i)] : old[std::size_t(i)]) << "employee " << i;
            EXPECT_EQ(inMemory[std::size_t(i)], after[std::size_t(i)]) << "employee " << i << " in memory";
        }
    }

    // No results computed and not stored stay as the current record, which
    // the screens and the next run take without reading it again: a record
    // still current (the refused employee's on a base file, where a store
    // is refused as it is made) is his record as the base holds it.
    void ExpectTheCurrentRecordAsStored()
    {
        const int slot = base().currentSlot;
        if (slot == 0)
            return;
        PayrollDoc stored;
        payrolltest::ReloadStored(stored, base());
        LoadEmployee(stored.infoBase, slot);
        EXPECT_TRUE(base().current.rows == stored.infoBase.current.rows) << "the rows of slot " << slot;
        EXPECT_TRUE(base().current == stored.infoBase.current) << "the record of slot " << slot;
        CloseBase(stored.infoBase);
    }

    QTemporaryDir dir;
    CKalvorDoc doc;
    FixtureBase fx;
};

TEST_F(CalcRefusal, WithoutAReferenceFileItNeedsTheCalculationDoesNotStart)
{
    // "sbor" is missing, "vichet" damaged: every employee would have failed,
    // or been stored without contributions, with 0 errors.
    const QString folder = base().workFolder;
    doc.refFiles.setFolder(folder);
    doc.refFiles.WriteNalog();
    QFile vichet(folder + QStringLiteral("vichet"));
    ASSERT_TRUE(vichet.open(QIODevice::WriteOnly));
    vichet.write("short");
    vichet.close();
    EXPECT_FALSE(doc.refFiles.OpenAll());
    const qint64 rowsBefore = Count(QStringLiteral("SELECT COUNT(*) FROM dbo.zarp"));
    const qint64 marksBefore = Count(QStringLiteral("SELECT COUNT(*) FROM dbo.comp WHERE err <> 0"));

    MessageRecorder boxes;
    EXPECT_EQ(RunFromTheScreen().first, platform::TASK_FAILED);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Расчет зарплаты не выполнен.\nНе найден файл справочника %1sbor\n"
                                                  "Ошибка чтения файла %1vichet")
                                       .arg(folder));
    EXPECT_EQ(boxes.boxes[0].flags, MB_OK | MB_ICONERROR);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM dbo.zarp")), rowsBefore);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM dbo.comp WHERE err <> 0")), marksBefore);
}

TEST_F(CalcRefusal, AnEmployeeWhoseSalaryIsNotFiniteFailsInsteadOfBeingStored)
{
    // A salary beyond every double, as "1e400" used to be typed into the card.
    const EmployeeListEntry victim = base().list[3];
    db::Recordset(Db(base()), QStringLiteral("UPDATE dbo.konst SET oklad = 1e999 WHERE rec = ?")).run(int(victim.slot));
    db::Recordset(Db(base()),
                  QStringLiteral("DELETE FROM dbo.zarp WHERE id_konst = (SELECT id FROM dbo.konst WHERE rec = ?)"))
        .run(int(victim.slot));

    MessageRecorder boxes;
    const auto [result, errors] = RunFromTheScreen();
    EXPECT_EQ(result, platform::TASK_DONE);
    EXPECT_GE(errors, 1);
    EXPECT_EQ(base().attributesOf(victim.slot).err, 14); // "Допущено смысловое несоответствие данных"
    EXPECT_EQ(
        Count(QStringLiteral("SELECT COUNT(*) FROM dbo.zarp WHERE id_konst = (SELECT id FROM dbo.konst WHERE rec = %1)")
                  .arg(victim.slot)),
        0);
    // No infinite or empty amount anywhere among the stored results.
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM dbo.zarp WHERE sum IS NULL OR abs(sum) > 1e14")), 0);
    EXPECT_GT(Count(QStringLiteral("SELECT COUNT(*) FROM dbo.zarp")), 0);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('|')).toStdString();
}

// On a base file the store of the 3rd employee is refused at one of its
// tables (his computed rows, his status word, his amount to pay), as a full
// disk would refuse it: the run ends at him, those before him hold their new
// results, status words and amounts, he and those after him their old ones,
// and the box names him with the engine's own line.
TEST_F(CalcRefusal, AFailedStatusWordSaveIsReportedAsWhatHappened)
{
    if (db::ServerInUse())
        GTEST_SKIP() << "a base file only";
    for (const QString& table : {QStringLiteral("comp"), QStringLiteral("AvZar1"), QStringLiteral("zarp")}) {
        SCOPED_TRACE(qPrintable(table));
        Refuse(table, QStringLiteral("database or disk is full"));
        ExpectTheRunToEndAtARefusedStore(2, QStringLiteral("database or disk is full"));
        StopRefusing(table);
    }
}

// The personal account's recompute of one employee refused at one of the
// tables of his store (his amount to pay, his computed rows, his status
// word): memory keeps his amount to pay and status word as the base holds
// them, so the next save of the amounts to pay and the status words from
// memory (the advance screen's close, a new card) leaves him wholly old;
// recomputed once the base takes it, he is wholly new, in memory and in the
// base alike.
TEST_F(CalcRefusal, AStoreRefusedInTheRecomputeLeavesTheEmployeeWhole)
{
    ASSERT_EQ(RunFromTheScreen().first, platform::TASK_DONE);
    const std::vector<Held> fresh = Stored();
    const std::vector<Held> old = MakeTheMonthOld();
    const EmployeeListEntry victim = base().list[3];
    for (const QString& table : {QStringLiteral("AvZar1"), QStringLiteral("zarp"), QStringLiteral("comp")}) {
        SCOPED_TRACE(qPrintable(table));
        Refuse(table, QStringLiteral("Выплата работнику запрещена"));
        db::Execute(Db(base()), QStringLiteral("INSERT INTO dbo.refused (rec) VALUES (%1)").arg(victim.slot));
        try {
            RecomputeEmployee(doc, int(victim.tabN()));
            ADD_FAILURE() << "stored";
        } catch (const db::DbError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Результаты расчета работника не записаны в базу:\nТаб.N %1 %2 - "
                                                  "ошибка: Выплата работнику запрещена\nУ него остались прежние "
                                                  "результаты.")
                                       .arg(victim.tabN())
                                       .arg(base().shortNameOf(victim.slot).trimmed()));
            EXPECT_EQ(e.description(), QStringLiteral("Выплата работнику запрещена"));
        }
        db::Execute(Db(base()), QStringLiteral("DELETE FROM dbo.refused"));
        StopRefusing(table);
        EXPECT_EQ(InMemory(), old);
        SaveAvZar1(base());
        SaveComp(base());
        EXPECT_EQ(Stored(), old);
    }
    EXPECT_GE(RecomputeEmployee(doc, int(victim.tabN())), 0);
    std::vector<Held> now = old;
    now[3] = fresh[3];
    EXPECT_EQ(InMemory(), now);
    SaveAvZar1(base());
    EXPECT_EQ(Stored(), now);
}

// An employee the selection leaves out (dismissed, with no bonus to pay)
// keeps no results of the month; when the base refuses to clear his month
// (his amount to pay), the run ends before anyone is computed: every
// employee wholly old, in the base and in memory, and the box names him.
TEST_F(CalcRefusal, AStoreRefusedForAnEmployeeLeftOutEndsTheRunBeforeAnyone)
{
    ASSERT_EQ(RunFromTheScreen().first, platform::TASK_DONE);
    const std::vector<Held> old = MakeTheMonthOld();
    // Two employees dismissed, their bonus lines gone; the second is refused.
    const EmployeeListEntry victim = base().list[4];
    for (const EmployeeListEntry& e : {base().list[1], victim}) {
        base().attributesOf(e.slot).priznUv = 4;
        ASSERT_TRUE(base().prem.replaceRun(e.slot, std::span<const BonusLine>()));
    }
    SaveComp(base());
    SavePrem(base());
    SaveIndexes(base(), LineKind::Prem);
    Refuse(QStringLiteral("AvZar1"), QStringLiteral("Выплата работнику запрещена"));
    db::Execute(Db(base()), QStringLiteral("INSERT INTO dbo.refused (rec) VALUES (%1)").arg(victim.slot));
    MessageRecorder boxes;
    EXPECT_EQ(RunFromTheScreen().first, platform::TASK_FAILED);
    db::Execute(Db(base()), QStringLiteral("DELETE FROM dbo.refused"));
    StopRefusing(QStringLiteral("AvZar1"));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text,
              QStringLiteral("Расчет зарплаты не выполнен.\nРезультаты расчета работника не записаны в базу:\nТаб.N "
                             "%1 %2 - ошибка: Выплата работнику запрещена\nРезультаты расчета всех работников "
                             "остались прежними.")
                  .arg(victim.tabN())
                  .arg(base().shortNameOf(victim.slot).trimmed()));
    EXPECT_EQ(InMemory(), old);
    EXPECT_EQ(Stored(), old);
}

// On a server, the server ends the run's session as it writes the status
// words (as a restart would): the results written before go with them, the
// month stays as it was, and the screen says so once, without the server's text.
TEST_F(CalcRefusal, ARunWhoseServerSessionEndsLeavesTheMonthAsItWas)
{
    if (!db::ServerInUse())
        GTEST_SKIP() << "a base on a server only";
    db::Execute(Db(base()), QStringLiteral("UPDATE dbo.zarp SET sum = sum + 1"));
    const qint64 rowsBefore = Count(QStringLiteral("SELECT COUNT(*) FROM dbo.zarp"));
    const qint64 sumBefore = Count(QStringLiteral("SELECT CAST(SUM(sum) * 100 AS BIGINT) FROM dbo.zarp"));
    const qint64 marksBefore = Count(QStringLiteral("SELECT COUNT(*) FROM dbo.comp WHERE err <> 0"));
    const auto attributesBefore = EveryAttributes(base());
    db::Execute(Db(base()), QStringLiteral("CREATE FUNCTION dbo.cut_session() RETURNS trigger LANGUAGE plpgsql AS "
                                           "$$ BEGIN PERFORM pg_terminate_backend(pg_backend_pid()); RETURN NULL; "
                                           "END $$"));
    db::Execute(Db(base()), QStringLiteral("CREATE TRIGGER cut BEFORE DELETE ON dbo.comp "
                                           "FOR EACH STATEMENT EXECUTE FUNCTION dbo.cut_session()"));
    base().attributesOf(base().list[0].slot).sistOpl = 0; // one employee fails (-1)

    MessageRecorder boxes;
    const auto [result, errors] = RunFromTheScreen();
    db::Execute(Db(base()), QStringLiteral("DROP TRIGGER cut ON dbo.comp"));
    EXPECT_EQ(result, platform::TASK_FAILED);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text,
              QStringLiteral("Расчет зарплаты не выполнен.\nСвязь с сервером базы данных прервана. Результаты "
                             "расчета и признаки ошибок работников остались такими, какими были до расчета."));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM dbo.zarp")), rowsBefore);
    EXPECT_EQ(Count(QStringLiteral("SELECT CAST(SUM(sum) * 100 AS BIGINT) FROM dbo.zarp")), sumBefore);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM dbo.comp WHERE err <> 0")), marksBefore);
    base().attributesOf(base().list[0].slot).sistOpl = attributesBefore[std::size_t(base().list[0].slot - 1)].sistOpl;
    EXPECT_EQ(EveryAttributes(base()), attributesBefore);
}

// On a server the employees' stores are sent for a group of sixteen, and
// the answer read while the next ones are computed. A refusal of one
// employee's rows (the 8th of a group, the first of a group, the last of the
// partial group), of his amount to pay (the first, the first of the partial
// last group, the last) or of his status word ends the run at him: everyone
// before him holds his new rows with his new status word and amount to pay,
// he and everyone after him their old ones, in the base and in memory, and
// the screen says who was refused and what the server said in a few lines,
// without the statement.
TEST_F(CalcRefusal, AStoreRefusedByTheServerEndsTheRunAtItsOwnEmployee)
{
    if (!db::ServerInUse())
        GTEST_SKIP() << "a base on a server only";
    const QString forbidden = QStringLiteral("Выплата работнику запрещена");
    struct Refusal {
        QString table, said, state;
        std::vector<int> at;
    };
    for (const Refusal& r :
         {Refusal{QStringLiteral("zarp"), QStringLiteral("could not extend file"), QStringLiteral("53100"),
                  {7, 16, kEmployees - 1}},
          Refusal{QStringLiteral("avzar1"), forbidden, QString(), {0, 16, kEmployees - 1}},
          Refusal{QStringLiteral("comp"), forbidden, QString(), {5}}}) {
        SCOPED_TRACE(qPrintable(r.table));
        Refuse(r.table, r.said, r.state);
        for (const int at : r.at)
            ExpectTheRunToEndAtARefusedStore(at, r.said);
        StopRefusing(r.table);
    }
}

// On a base file each employee is stored as he is computed: a refusal of
// his rows, his amount to pay or his status word ends the run at him alike,
// and his record, the current one when the run ended, is the one the base
// holds.
TEST_F(CalcRefusal, AStoreRefusedInABaseFileEndsTheRunAtItsOwnEmployee)
{
    if (db::ServerInUse())
        GTEST_SKIP() << "a base file only";
    const QString forbidden = QStringLiteral("Выплата работнику запрещена");
    for (const auto& [table, at] : {std::pair{QStringLiteral("zarp"), 7}, std::pair{QStringLiteral("AvZar1"), 0},
                                    std::pair{QStringLiteral("comp"), kEmployees - 1}}) {
        SCOPED_TRACE(qPrintable(table));
        Refuse(table, forbidden);
        ExpectTheRunToEndAtARefusedStore(at, forbidden);
        StopRefusing(table);
    }
}

} // namespace

// The base moved under memory, the way a month change whose outcome was not
// known leaves it once the server made it (its month the next one, its
// generation raised), or any
// write the program did not learn of (its generation raised): the
// calculation is refused with what moved, and a save from memory is refused
// too; the base stays as it was.
TEST_F(CalcRefusal, ABaseThatMovedUnderMemoryIsNeitherCalculatedNorSavedOver)
{
    struct Row {
        const char* moved;
        QString statement;
        QString said;
    };
    const int month = base().config.tekMes;
    const int next = MonthKey::of(month).next().value();
    const auto monthText = [](int key) {
        return QStringLiteral("%1 %2 года").arg(MonthName(key & 15).toLower()).arg(key >> 4);
    };
    const Row rows[] = {
        {"the month", QStringLiteral("UPDATE dbo.config SET tekMes = %1, generation = generation + 1").arg(next),
         QStringLiteral("Отчетный месяц базы данных (%1) не тот, что в программе (%2): база изменена после того, как "
                        "была прочитана. Закройте базу и откройте ее снова.")
             .arg(monthText(next), monthText(month))},
        {"the generation", QStringLiteral("UPDATE dbo.config SET generation = generation + 1"),
         QStringLiteral("База данных изменена после того, как была прочитана программой: то, что в памяти "
                        "программы, в нее не записывается. Закройте базу и откройте ее снова.")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.moved);
        // Another connection's write: no transaction of this program.
        db::Execute(Db(base()), row.statement);
        const auto digest = [&] {
            return QStringList{QString::number(Count(QStringLiteral("SELECT COUNT(*) FROM dbo.zarp"))),
                               QString::number(Count(QStringLiteral("SELECT SUM(err) FROM dbo.comp"))),
                               QString::number(Count(QStringLiteral("SELECT generation FROM dbo.config"))),
                               QString::number(Count(QStringLiteral("SELECT tekMes FROM dbo.config")))};
        };
        const QStringList before = digest();
        MessageRecorder boxes;
        const auto [result, errors] = RunFromTheScreen();
        EXPECT_EQ(result, platform::TASK_FAILED);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        // The run's own refusal, said before anything is read or written
        // (a write refused by the base's guard would say more).
        EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Расчет зарплаты не выполнен.\n") + row.said);
        base().attributesOf(base().list[0].slot).err = 7;
        try {
            SaveComp(base());
            ADD_FAILURE() << "a save from memory over a base that moved was taken";
        } catch (const db::DbError& e) {
            EXPECT_EQ(e.message(), row.said);
        }
        // The personal account's recompute is refused alike, the refusal
        // said once, in a box of fewer than 400 characters.
        try {
            RecomputeEmployee(doc, int(base().list[1].tabN()));
            ADD_FAILURE() << "a recompute over a base that moved was stored";
        } catch (const db::DbError& e) {
            const QString box = DbErrorText(e);
            EXPECT_EQ(box.count(row.said), 1) << box.toStdString();
            EXPECT_LT(box.size(), 400) << box.toStdString();
        }
        EXPECT_EQ(digest(), before);
        db::Execute(Db(base()), QStringLiteral("UPDATE dbo.config SET tekMes = %1").arg(month));
        CloseBase(base());
        OpenBase(base());
        LoadAll(base());
    }
}
