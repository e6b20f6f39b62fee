// The calculation screen with inputs it must not trust: a reference file it
// needs that could not be read, an employee whose salary is not a finite
// number, and a base that takes the results but refuses the final write of the
// status words. Each is told as what happened; nothing false is stored.
#include "payroll/CalcThread.h"
#include "payroll/ui/CCalcZarpDlg.h"
#include "payroll/ui/CCalcZarpView.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/FixtureBaseFile.h"
#include "payroll/PayrollWorld.h"
#include "platform/Db.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/MonthChange.h"
#include "support/TestFixture.h"

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
        base().baseName = QStringLiteral("calc");
        // A server keeps its bases beside those of earlier tests.
        if (db::ServerInUse())
            DeleteBase(dir.path(), base().baseName);
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
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(CalcRefusal, AFailedStatusWordSaveIsReportedAsWhatHappened)
{
    // The results go in; the last write, of the status words, is refused as a
    // full disk would refuse it.
    db::Execute(Db(base()), QStringLiteral("CREATE TRIGGER dbo.full_disk BEFORE DELETE ON comp "
                                           "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END"));
    db::Execute(Db(base()), QStringLiteral("DELETE FROM dbo.zarp"));
    const qint64 marksBefore = Count(QStringLiteral("SELECT COUNT(*) FROM dbo.comp WHERE err <> 0"));
    base().attributesOf(base().list[0].slot).sistOpl = 0; // one employee fails (-1)

    MessageRecorder boxes;
    const auto [result, errors] = RunFromTheScreen();
    EXPECT_EQ(result, CALC_STATUS_NOT_SAVED);
    EXPECT_GE(errors, 1);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].text.startsWith(
        QStringLiteral("Результаты расчета записаны в базу, но признаки ошибок работников не записаны.\n")))
        << qPrintable(boxes.boxes[0].text);
    EXPECT_TRUE(boxes.boxes[0].text.contains(QStringLiteral("database or disk is full")));
    EXPECT_EQ(boxes.boxes[0].flags, MB_OK | MB_ICONWARNING);
    EXPECT_GT(Count(QStringLiteral("SELECT COUNT(*) FROM dbo.zarp")), 0); // the results are stored
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM dbo.comp WHERE err <> 0")),
              marksBefore); // the status words are not
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
    const auto attributesBefore = base().attributes;
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
    EXPECT_EQ(base().attributes, attributesBefore);
}

// On a server the employees' rows are sent for a group of sixteen, and the
// answer read while the next ones are computed. A refusal of one employee's
// rows (the 8th of a group, the first of a group, the last of the partial
// group) ends the run at him: everyone before him holds his new rows with
// his new status word and amount to pay, he and everyone after him hold
// their old ones, and the screen says who was refused and what the server
// said in a few lines, without the statement.
TEST_F(CalcRefusal, AStoreRefusedByTheServerEndsTheRunAtItsOwnEmployee)
{
    if (!db::ServerInUse())
        GTEST_SKIP() << "a base on a server only";
    const QString sumOf = QStringLiteral("SELECT COUNT(*) * 1000000 + COALESCE(CAST(SUM(sum) * 100 AS BIGINT), 0) "
                                         "FROM dbo.zarp z JOIN dbo.konst k ON k.id = z.id_konst WHERE k.rec = %1");
    struct Held {
        qint64 rows;
        double toPay;
        int err;
        bool operator==(const Held&) const = default;
    };
    // What the base holds of each employee, read again from it.
    const auto stored = [&] {
        LoadAll(base());
        std::vector<Held> held;
        for (const EmployeeListEntry& e : base().list)
            held.push_back({Count(sumOf.arg(e.slot)), base().zar1Of(e.slot), int(base().attributesOf(e.slot).err)});
        return held;
    };
    db::Execute(Db(base()),
                QStringLiteral("CREATE FUNCTION dbo.refuse() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                               "IF NEW.id_konst IN (SELECT k.id FROM dbo.konst k JOIN dbo.refused r ON r.rec = k.rec) "
                               "THEN "
                               "RAISE EXCEPTION 'could not extend file' USING ERRCODE = '53100'; END IF; "
                               "RETURN NEW; END $$"));
    db::Execute(Db(base()), QStringLiteral("CREATE TABLE dbo.refused (rec INTEGER)"));
    db::Execute(Db(base()), QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT OR UPDATE ON dbo.zarp "
                                           "FOR EACH ROW EXECUTE FUNCTION dbo.refuse()"));
    for (const int at : {7, 16, kEmployees - 1}) {
        SCOPED_TRACE(at);
        const EmployeeListEntry victim = base().list[std::size_t(at)];
        // One employee after him fails: computed while the refusal was on its
        // way back, he must not keep that status word either.
        if (at + 2 < kEmployees)
            base().attributesOf(base().list[std::size_t(at + 2)].slot).sistOpl = 0;
        ASSERT_EQ(RunFromTheScreen().first, platform::TASK_DONE);
        const std::vector<Held> fresh = stored();
        // The month as it was before: other rows, amounts and status words.
        db::Execute(Db(base()), QStringLiteral("UPDATE dbo.zarp SET sum = sum + 1"));
        for (const EmployeeListEntry& e : base().list) {
            base().zar1Of(e.slot) += 1;
            base().attributesOf(e.slot).err = 5;
        }
        SaveComp(base());
        SaveAvZar1(base());
        const std::vector<Held> old = stored();

        db::Execute(Db(base()), QStringLiteral("INSERT INTO dbo.refused (rec) VALUES (%1)").arg(victim.slot));
        MessageRecorder boxes;
        const auto [result, errors] = RunFromTheScreen();
        db::Execute(Db(base()), QStringLiteral("DELETE FROM dbo.refused"));
        EXPECT_EQ(result, platform::TASK_FAILED);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        const QString& said = boxes.boxes[0].text;
        EXPECT_TRUE(said.startsWith(QStringLiteral("Расчет зарплаты не выполнен.\nРезультаты расчета работника не "
                                                   "записаны в базу:\nТаб.N %1 ")
                                        .arg(victim.tabN())) &&
                    said.contains(QStringLiteral("ошибка: could not extend file\n")) && said.size() < 400 &&
                    !said.contains(QStringLiteral("dbo.")))
            << qPrintable(said);
        const std::vector<Held> after = stored();
        for (int i = 0; i < kEmployees; ++i)
            EXPECT_EQ(after[std::size_t(i)], i < at ? fresh[std::size_t(i)] : old[std::size_t(i)]) << "employee " << i;
    }
    db::Execute(Db(base()), QStringLiteral("DROP TRIGGER refuse ON dbo.zarp"));
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
    const int next = NextMonthKey(month);
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
        EXPECT_TRUE(boxes.boxes[0].text.contains(row.said)) << qPrintable(boxes.boxes[0].text);
        base().attributesOf(base().list[0].slot).err = 7;
        try {
            SaveComp(base());
            ADD_FAILURE() << "a save from memory over a base that moved was taken";
        } catch (const db::DbError& e) {
            EXPECT_EQ(e.message(), row.said);
        }
        EXPECT_EQ(digest(), before);
        db::Execute(Db(base()), QStringLiteral("UPDATE dbo.config SET tekMes = %1").arg(month));
        CloseBase(base());
        OpenBase(base());
        LoadAll(base());
    }
}
