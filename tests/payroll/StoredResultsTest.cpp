// What a whole month's calculation stores stays the same, byte for byte: the
// calculation screen's worker runs over the demo firm and over a base of
// fixture employees with a demo employee's archive and a brigade sharing a
// bonus, and every stored row, the master rows and the amounts to pay are
// compared with the files kept beside this test (made by the same run).
// KALVOR_UPDATE_GOLDEN=1 writes the files anew.
#include "MonthRunBase.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcThread.h"
#include "platform/Db.h"
#include "platform/TaskThread.h"
#include "support/DemoDocument.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;

namespace {

const QString kGoldenFolder = QStringLiteral(KALVOR_SOURCE_DIR "/tests/payroll/golden/");

// Runs the calculation screen's worker over every employee (or the one of
// the personnel number) and waits for it.
int RunMonth(PayrollDoc& doc, int personnelNumber = 0)
{
    platform::TaskThread thread;
    QEventLoop loop;
    int result = -1;
    QObject::connect(&thread, &platform::TaskThread::done, [&](int r, int, const QString&) {
        result = r;
        loop.quit();
    });
    CalcThreadParams params;
    params.document = &doc;
    params.personnelNumber = personnelNumber;
    thread.start(params, &CalculationThreadProc);
    loop.exec();
    return result;
}

QString Cell(const QVariant& v)
{
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 17);
    return v.toString();
}

// The columns of a table's rows, one line each, by tabs, in the order given.
QByteArray Dump(const QSqlDatabase& db, const QString& title, const QStringList& columns, const QString& from)
{
    QByteArray out = title.toUtf8() + '\n';
    db::Recordset q(db, QStringLiteral("SELECT %1 %2").arg(columns.join(QStringLiteral(", ")), from));
    q.exec();
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < columns.size(); ++i) cells << Cell(q.value(i));
        out += cells.join(QLatin1Char('\t')).toUtf8() + '\n';
    }
    return out;
}

// Everything the month's calculation stores: the month's computed rows, the
// master rows (without their row ids) and the advance and amount to pay.
QByteArray StoredResults(CInfoBase& base)
{
    const QSqlDatabase db = Db(base);
    QStringList konstColumns = db::TableColumns(db, QStringLiteral("konst"));
    konstColumns.removeAll(QStringLiteral("id"));
    QStringList zarpColumns;
    for (const QString& column : db::TableColumns(db, QStringLiteral("zarp")))
        if (column != QStringLiteral("id_konst"))
            zarpColumns << QStringLiteral("z.") + column;
    zarpColumns.prepend(QStringLiteral("k.rec"));
    return Dump(db, QStringLiteral("zarp"), zarpColumns,
                QStringLiteral("FROM dbo.zarp z JOIN dbo.konst k ON k.id = z.id_konst ORDER BY k.rec, z.num")) +
           Dump(db, QStringLiteral("konst"), konstColumns, QStringLiteral("FROM dbo.konst ORDER BY rec")) +
           Dump(db, QStringLiteral("AvZar1"), {QStringLiteral("num"), QStringLiteral("av"), QStringLiteral("zar1")},
                QStringLiteral("FROM dbo.AvZar1 ORDER BY num"));
}

void ExpectGolden(const QByteArray& results, const QString& name)
{
    const QString path = kGoldenFolder + name;
    if (qEnvironmentVariableIsSet("KALVOR_UPDATE_GOLDEN")) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(results);
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QList<QByteArray> expected = file.readAll().split('\n');
    const QList<QByteArray> lines = results.split('\n');
    for (qsizetype i = 0; i < std::min(lines.size(), expected.size()); ++i)
        ASSERT_EQ(lines[i].toStdString(), expected[i].toStdString()) << name.toStdString() << " line " << i + 1;
    ASSERT_EQ(lines.size(), expected.size());
}

} // namespace

#ifdef KALVOR_DATA_DIR

TEST(StoredResults, TheDemoMonth)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    PayrollDoc doc;
    ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, folder));
    ASSERT_EQ(RunMonth(doc), platform::TASK_DONE);
    ExpectGolden(StoredResults(doc.infoBase), QStringLiteral("demo-month.txt"));
    CloseBase(doc.infoBase);
}

#endif

TEST(StoredResults, FixtureEmployeesWithABrigade)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    PayrollDoc doc;
    payrolltest::BuildMonthRunBase(
        doc, dir.path(), QStringLiteral("month"),
        payrolltest::MonthRunShape{.employees = 60, .demoWeightArchive = true, .brigadeMembers = 25});
    ASSERT_EQ(RunMonth(doc), platform::TASK_DONE);
    ExpectGolden(StoredResults(doc.infoBase), QStringLiteral("fixture-month.txt"));
    CloseBase(doc.infoBase);
}

// A member of a brigade computed alone gets the share that the whole run
// gave him: the other members' records are read for the sharing though they
// are not computed.
TEST(StoredResults, ABrigadeMemberComputedAloneStoresWhatTheWholeRunStored)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    PayrollDoc doc;
    payrolltest::BuildMonthRunBase(doc, dir.path(), QStringLiteral("month"),
                                   payrolltest::MonthRunShape{.employees = 12, .brigadeMembers = 5});
    ASSERT_EQ(RunMonth(doc), platform::TASK_DONE);
    const QByteArray whole = StoredResults(doc.infoBase);
    for (const int index : {0, 4}) {
        const EmployeeListEntry member = doc.infoBase.list[std::size_t(index)];
        ASSERT_EQ(RunMonth(doc, member.tabN()), platform::TASK_DONE) << index;
        EXPECT_EQ(doc.infoBase.attributes[std::size_t(member.slot - 1)].err, 0) << index;
        EXPECT_EQ(StoredResults(doc.infoBase).toStdString(), whole.toStdString()) << index;
    }
    CloseBase(doc.infoBase);
}

namespace {

// The worker stopped as the screen's "Стоп" stops it, on the first report of
// an employee computed; -1 when the run ended before the stop reached it.
int RunMonthStoppedEarly(PayrollDoc& doc)
{
    platform::TaskThread thread;
    QEventLoop loop;
    int result = -1;
    bool stopped = false;
    QObject::connect(&thread, &platform::TaskThread::calcProgress, [&](int, int) {
        if (!std::exchange(stopped, true))
            thread.requestStop();
    });
    QObject::connect(&thread, &platform::TaskThread::done, [&](int r, int, const QString&) {
        result = r;
        loop.quit();
    });
    CalcThreadParams params;
    params.document = &doc;
    thread.start(params, &CalculationThreadProc);
    loop.exec();
    return result;
}

} // namespace

// A run stopped halfway keeps the employees computed before the stop (the
// records still being read ahead for the others are let go) and the next run
// stores everything as a whole run does.
TEST(StoredResults, ARunStoppedHalfwayKeepsItsEmployeesAndTheNextOneStoresTheRest)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    PayrollDoc doc;
    payrolltest::BuildMonthRunBase(doc, dir.path(), QStringLiteral("month"),
                                   payrolltest::MonthRunShape{.employees = 400});
    ASSERT_EQ(RunMonth(doc), platform::TASK_DONE);
    const QByteArray whole = StoredResults(doc.infoBase);
    auto employeesWithRows = [&] {
        db::Recordset q(Db(doc.infoBase), QStringLiteral("SELECT COUNT(DISTINCT id_konst) FROM dbo.zarp"));
        q.exec();
        return q.next() ? q.toInt(0) : -1;
    };
    int result = -1;
    for (int attempt = 0; attempt < 20 && result != platform::TASK_STOPPED; ++attempt) {
        db::Execute(Db(doc.infoBase), QStringLiteral("DELETE FROM dbo.zarp"));
        result = RunMonthStoppedEarly(doc);
    }
    ASSERT_EQ(result, platform::TASK_STOPPED);
    EXPECT_GT(employeesWithRows(), 0);
    EXPECT_LT(employeesWithRows(), 400);
    ASSERT_EQ(RunMonth(doc), platform::TASK_DONE);
    EXPECT_EQ(employeesWithRows(), 400);
    EXPECT_TRUE(StoredResults(doc.infoBase) == whole);
    CloseBase(doc.infoBase);
}
