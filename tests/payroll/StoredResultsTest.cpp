// What a whole month's calculation stores stays the same, byte for byte: the
// calculation screen's worker runs over the demo firm and over a base of
// fixture employees with a demo employee's archive and a brigade sharing a
// bonus, and every stored row, the master rows and the amounts to pay are
// compared with the files kept beside this test (made by the same run).
// KALVOR_UPDATE_GOLDEN=1 writes the files anew.
#include "MonthRunBase.h"
#include "PayrollWorld.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcThread.h"
#include "platform/Db.h"
#include "platform/DbSchema.h"
#include "platform/TaskThread.h"
#include "support/DemoDocument.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

using namespace kalvor;
using namespace kalvor::infobase;

namespace {

const QString kGoldenFolder = QStringLiteral(KALVOR_SOURCE_DIR "/tests/payroll/golden/");

// Runs the calculation screen's worker over every employee (or the one of
// the personnel number) and waits for it.
int RunMonth(PayrollDoc& doc, int personnelNumber = 0, RunOutcome* outcome = nullptr)
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
    params.outcome = outcome;
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
    // Closing leaves no session of the run behind (its record readers' too):
    // a server's base is dropped at once.
    if (db::ServerInUse()) {
        EXPECT_NO_THROW(DeleteBase(folder, doc.infoBase.baseName));
    }
}

namespace {

// The rows of the month (0-59) stored for the employee of the personnel number.
int MonthRowsOf(CInfoBase& base, int tabN)
{
    db::Recordset q(Db(base), QStringLiteral("SELECT COUNT(*) FROM dbo.zarp z JOIN dbo.konst k ON k.id = z.id_konst "
                                             "WHERE k.rec = ? AND z.num < 60"));
    q.bind(0, base.list[std::size_t(base.FindEmployee(tabN))].slot);
    q.exec();
    return q.next() ? q.toInt(0) : -1;
}

} // namespace

// The demo's April computed, then 112 Сазонов given status 4 ("Уволен и уже
// не работает"), his bonus lines taken off, and the month computed again: he is not computed and keeps
// no rows of the month and nothing to pay, and the run says so by name. 110
// Тихонов with a sick sheet from 20.04.2011 to 10.04.2011 fails: his earlier
// rows go too, the run names him and the error, and his status word holds
// code 6 until the sheet is gone and a clean run clears it.
TEST(StoredResults, AnEmployeeLeftOutOrFailedKeepsNoResultsOfTheMonth)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    PayrollDoc doc;
    ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, dir.path() + QLatin1Char('/')));
    CInfoBase& base = doc.infoBase;
    ASSERT_EQ(RunMonth(doc), platform::TASK_DONE);
    const int slot112 = base.list[std::size_t(base.FindEmployee(112))].slot;
    const int slot110 = base.list[std::size_t(base.FindEmployee(110))].slot;
    ASSERT_GT(MonthRowsOf(base, 112), 0);

    base.attributesOf(slot112).priznUv = 4;
    base.prem.removeRun(slot112); // no bonus lines, which a dismissed employee is still paid
    RunOutcome report;
    ASSERT_EQ(RunMonth(doc, 0, &report), platform::TASK_DONE);
    EXPECT_EQ(MonthRowsOf(base, 112), 0);
    EXPECT_EQ(base.zar1Of(slot112), 0);
    EXPECT_EQ(report.computed, 49);
    EXPECT_TRUE(
        report.lines().contains(QStringLiteral("Таб.N 112 Сазонов М. А. - не рассчитан: Уволен и уже не работает")))
        << report.lines().join(QLatin1Char('\n')).toStdString();

    ASSERT_TRUE(base.bln.replaceRun(slot110, std::vector<SickLeaveSheet>{payrolltest::sickSheet(20, 4, 10, 4, 2011)}));
    ASSERT_GT(MonthRowsOf(base, 110), 0);
    ASSERT_EQ(RunMonth(doc, 110, &report), platform::TASK_DONE);
    EXPECT_EQ(MonthRowsOf(base, 110), 0);
    EXPECT_EQ(base.zar1Of(slot110), 0);
    EXPECT_EQ(base.attributesOf(slot110).err, 6);
    EXPECT_EQ(report.computed, 0);
    EXPECT_EQ(report.lines(), QStringList{QStringLiteral("Таб.N 110 Тихонов В. А. - ошибка: Ошибка в датах болезни")});

    ASSERT_TRUE(base.bln.removeRun(slot110));
    ASSERT_EQ(RunMonth(doc, 110, &report), platform::TASK_DONE);
    EXPECT_EQ(base.attributesOf(slot110).err, 0);
    EXPECT_GT(MonthRowsOf(base, 110), 0);
    EXPECT_EQ(report.computed, 1);
    EXPECT_TRUE(report.notes.empty());

    // A salary of -1 on his card, as an older base may hold it: the note
    // names him and the field, and his month keeps no results.
    db::Recordset(Db(base), QStringLiteral("UPDATE dbo.konst SET oklad = -1 WHERE rec = ?")).run(slot110);
    ASSERT_EQ(RunMonth(doc, 110, &report), platform::TASK_DONE);
    EXPECT_EQ(MonthRowsOf(base, 110), 0);
    EXPECT_EQ(base.zar1Of(slot110), 0);
    EXPECT_EQ(base.attributesOf(slot110).err, 44);
    EXPECT_EQ(report.computed, 0);
    EXPECT_EQ(report.lines(),
              QStringList{QStringLiteral("Таб.N 110 Тихонов В. А. - ошибка: В карточке работника оклад меньше нуля")});
    CloseBase(base);
}

namespace {

// The rows of later months (60-65) of code 915 stored for the employee of
// the personnel number, as (month, sum, origin record).
std::vector<std::tuple<int, double, int>> LaterDebtRowsOf(CInfoBase& base, int tabN)
{
    db::Recordset q(Db(base), QStringLiteral("SELECT z.mes, z.sum, z.hrRest FROM dbo.zarp z JOIN dbo.konst k "
                                             "ON k.id = z.id_konst WHERE k.rec = ? AND z.num >= 60 AND z.kod = 915"));
    q.bind(0, base.list[std::size_t(base.FindEmployee(tabN))].slot);
    q.exec();
    std::vector<std::tuple<int, double, int>> rows;
    while (q.next()) rows.emplace_back(q.toInt(0), q.toDouble(1), q.toInt(2));
    return rows;
}

} // namespace

// The standing deductions' rest the run recorded for the next month is one
// of the month's results: an employee the run leaves out keeps it no more.
// 112 Сазонов given a standing deduction (907) of 1,000,000.00, far above
// his April: the run records the rest as May's debt (915, origin record 82).
// Given status 4 and computed again, he keeps no results of April, that row
// among them.
TEST(StoredResults, AnEmployeeLeftOutKeepsNoStandingRestOfTheMonth)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    PayrollDoc doc;
    ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, dir.path() + QLatin1Char('/')));
    CInfoBase& base = doc.infoBase;
    const int slot = base.list[std::size_t(base.FindEmployee(112))].slot;
    LoadEmployee(base, slot);
    PostDoplEntry& standing = base.current.postDopl.back();
    standing = PostDoplEntry{};
    standing.kod = 907;
    standing.sum = 100'000'000'00;
    SaveEmployee(base, slot);
    ASSERT_EQ(RunMonth(doc), platform::TASK_DONE);
    const auto recorded = LaterDebtRowsOf(base, 112);
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(std::get<0>(recorded[0]), 5);
    EXPECT_GT(std::get<1>(recorded[0]), 0);
    EXPECT_EQ(std::get<2>(recorded[0]), 82);

    base.attributesOf(slot).priznUv = 4;
    base.prem.removeRun(slot);
    ASSERT_EQ(RunMonth(doc), platform::TASK_DONE);
    EXPECT_EQ(MonthRowsOf(base, 112), 0);
    EXPECT_TRUE(LaterDebtRowsOf(base, 112).empty());
    CloseBase(base);
}

namespace {

// Notes in dbo.written every row inserted, changed or deleted from now on in
// the tables of an employee's stored month: dbo.zarp by its master row's id,
// dbo.comp and dbo.AvZar1 by their slot.
void NoteStoredMonthWrites(const QSqlDatabase& db)
{
    db::Execute(db, QStringLiteral("CREATE TABLE dbo.written (tab TEXT, id BIGINT)"));
    const std::pair<const char*, const char*> tables[] = {{"zarp", "id_konst"}, {"comp", "num"}, {"AvZar1", "num"}};
    for (const auto& [table, key] : tables) {
        const QString t = QLatin1String(table), k = QLatin1String(key);
        if (db::IsServer(db)) {
            db::Execute(db, QStringLiteral("CREATE FUNCTION dbo.note_%1() RETURNS trigger LANGUAGE plpgsql AS $$ "
                                           "BEGIN IF TG_OP = 'DELETE' THEN INSERT INTO dbo.written VALUES ('%1', "
                                           "OLD.%2); ELSE INSERT INTO dbo.written VALUES ('%1', NEW.%2); END IF; "
                                           "RETURN NULL; END $$")
                                .arg(t, k));
            db::Execute(db, QStringLiteral("CREATE TRIGGER note_%1 AFTER INSERT OR UPDATE OR DELETE ON dbo.%1 "
                                           "FOR EACH ROW EXECUTE FUNCTION dbo.note_%1()")
                                .arg(t));
            continue;
        }
        for (const char* event : {"INSERT", "UPDATE", "DELETE"})
            db::Execute(db, QStringLiteral("CREATE TRIGGER dbo.note_%1_%2 AFTER %2 ON %1 BEGIN INSERT INTO written "
                                           "VALUES ('%1', %3.%4); END")
                                .arg(t, QLatin1String(event),
                                     QLatin1String(event == std::string_view("DELETE") ? "OLD" : "NEW"), k));
    }
}

// The personnel numbers whose rows of the table were written since the note
// began (or was last emptied).
QList<int> WrittenEmployees(const QSqlDatabase& db, const QString& table)
{
    const QString owner = table == QLatin1String("zarp") ? QStringLiteral("k.id") : QStringLiteral("k.rec");
    db::Recordset q(db, QStringLiteral("SELECT DISTINCT k.tabN FROM dbo.written w JOIN dbo.konst k ON %1 = w.id "
                                       "WHERE w.tab = ? ORDER BY k.tabN")
                            .arg(owner));
    q.bind(0, table);
    q.exec();
    QList<int> tabNs;
    while (q.next()) tabNs << q.toInt(0);
    return tabNs;
}

// The personnel numbers written in each table of the stored month (dbo.zarp,
// dbo.comp, dbo.AvZar1); the note is emptied.
using Written = std::array<QList<int>, 3>;
Written TakeWrittenEmployees(const QSqlDatabase& db)
{
    Written written{WrittenEmployees(db, QStringLiteral("zarp")), WrittenEmployees(db, QStringLiteral("comp")),
                    WrittenEmployees(db, QStringLiteral("AvZar1"))};
    db::Execute(db, QStringLiteral("DELETE FROM dbo.written"));
    return written;
}

} // namespace

// The demo's month computed, then computed again: nothing of an employee's
// stored month is written, since his results, status word and amount to pay
// are what his base holds. (The month of 151 and 152, who no longer work, is
// cleared by every run: on a base file their status rows are written over
// themselves, a server leaves a row that is as it should be.) Then the stored
// rows of two employees are put out of step behind the program's back (110
// Тихонов: one row's sum; 112 Сазонов: a row of number 70, which no record
// has a place for, and an all-zero row), and 111 Родионова's stored amount to
// pay and status word (an error code): computed again, the base holds
// exactly what the first run stored, and only their rows were written (her
// status rows, their computed rows). 110 given a sick sheet whose dates are
// wrong fails (his rows go, his status word takes the error, he is paid 0);
// the sheet taken off, the month computed again stores his rows, status word
// and amount to pay, and no one else's.
TEST(StoredResults, AMonthComputedAgainWritesOnlyTheRowsThatDiffer)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    PayrollDoc doc;
    ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, dir.path() + QLatin1Char('/')));
    CInfoBase& base = doc.infoBase;
    ASSERT_EQ(RunMonth(doc), platform::TASK_DONE);
    const QByteArray first = StoredResults(base);
    const QSqlDatabase db = Db(base);
    NoteStoredMonthWrites(db);
    const QList<int> leftOut = db::IsServer(db) ? QList<int>{} : QList<int>{151, 152};

    RunOutcome report;
    ASSERT_EQ(RunMonth(doc, 0, &report), platform::TASK_DONE);
    EXPECT_EQ(report.computed, 50);
    EXPECT_EQ(TakeWrittenEmployees(db), (Written{QList<int>{}, leftOut, leftOut}));
    EXPECT_EQ(StoredResults(base), first);

    const int slot112 = base.list[std::size_t(base.FindEmployee(112))].slot;
    const int free112 = [&] { // a number of his computed rows that holds no row
        for (int num = base.attributesOf(slot112).kvProizv; num < 60; ++num) {
            db::Recordset q(db, QStringLiteral("SELECT COUNT(*) FROM dbo.zarp z JOIN dbo.konst k ON k.id = z.id_konst "
                                               "WHERE k.tabN = 112 AND z.num = ?"));
            q.bind(0, num);
            q.exec();
            if (q.next() && q.toInt(0) == 0)
                return num;
        }
        return -1;
    }();
    ASSERT_GE(free112, 0);
    db::Execute(db, QStringLiteral("UPDATE dbo.zarp SET sum = sum + 1 WHERE id_konst = (SELECT id FROM dbo.konst WHERE "
                                   "tabN = 110) AND num = (SELECT MIN(num) FROM dbo.zarp WHERE id_konst = (SELECT id "
                                   "FROM dbo.konst WHERE tabN = 110))"));
    for (const int num : {70, free112})
        db::Execute(db, QStringLiteral("INSERT INTO dbo.zarp (id_konst, num, kod, sum, min, dn, mes, hr, hrRest, otd, "
                                       "spzCh, spzChHi, spzSc, spzScHi, spzAu, spzAuHi) SELECT id, %1, %2, 0, 0, 0, 0, "
                                       "0, 0, 0, 0, 0, 0, 0, 0, 0 FROM dbo.konst WHERE tabN = 112")
                            .arg(num)
                            .arg(num == 70 ? 1 : 0));
    const int slot111 = base.list[std::size_t(base.FindEmployee(111))].slot;
    db::Execute(db, QStringLiteral("UPDATE dbo.AvZar1 SET zar1 = zar1 + 1 WHERE num = %1").arg(slot111));
    db::Execute(db, QStringLiteral("UPDATE dbo.comp SET err = 7 WHERE num = %1").arg(slot111));
    TakeWrittenEmployees(db);
    ASSERT_NE(StoredResults(base), first);

    ASSERT_EQ(RunMonth(doc, 0, &report), platform::TASK_DONE);
    EXPECT_EQ(report.computed, 50);
    const QList<int> with111 = QList<int>{111} + leftOut;
    EXPECT_EQ(TakeWrittenEmployees(db), (Written{QList<int>{110, 112}, with111, with111}));
    EXPECT_EQ(StoredResults(base), first);

    const int slot110 = base.list[std::size_t(base.FindEmployee(110))].slot;
    const double toPay110 = base.zar1Of(slot110);
    ASSERT_GT(toPay110, 0);
    ASSERT_TRUE(base.bln.replaceRun(slot110, std::vector<SickLeaveSheet>{payrolltest::sickSheet(20, 4, 10, 4, 2011)}));
    ASSERT_EQ(RunMonth(doc, 0, &report), platform::TASK_DONE);
    EXPECT_EQ(base.attributesOf(slot110).err, 6);
    EXPECT_EQ(base.zar1Of(slot110), 0);
    const QList<int> with110 = QList<int>{110} + leftOut;
    EXPECT_EQ(TakeWrittenEmployees(db), (Written{QList<int>{110}, with110, with110}));
    ASSERT_TRUE(base.bln.removeRun(slot110));
    ASSERT_EQ(RunMonth(doc, 0, &report), platform::TASK_DONE);
    EXPECT_EQ(base.attributesOf(slot110).err, 0);
    EXPECT_EQ(base.zar1Of(slot110), toPay110);
    EXPECT_EQ(TakeWrittenEmployees(db), (Written{QList<int>{110}, with110, with110}));
    EXPECT_EQ(StoredResults(base), first);
    CloseBase(base);
}

// April 2011 has 21 working days; 112 Сазонов dismissed on 20.04.2011 (a
// Wednesday) without the dismissal status worked at most 1, 4-8, 11-15 and
// 18-20 April, 14 days, yet his time sheet is typed for the whole month: the run
// warns of both, naming him. 107 Гусева (salary 14,000.00) with nothing in her
// time sheet is warned of as having no worked time, and of her sick-leave
// sheet from before her hire, which pays nothing. 119 Муравьёв, paid by the
// hour, with his days and no hours is paid whole working days, and told so.
// 101 Воронцов's rest transfer under code 4 sends nothing, and is named.
TEST(StoredResults, TheRunWarnsOfADismissalDateWithoutTheStatusAndOfNoWorkedTime)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    PayrollDoc doc;
    ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, dir.path() + QLatin1Char('/')));
    CInfoBase& base = doc.infoBase;
    const int slot112 = base.list[std::size_t(base.FindEmployee(112))].slot;
    const int slot107 = base.list[std::size_t(base.FindEmployee(107))].slot;
    LoadEmployee(base, slot112);
    base.current.head.datUv1 = PackedDate::make(20, 4, 2011).value;
    SaveKonst(base, slot112);
    base.tabelOf(slot112).rabDn = 21; // the whole month typed
    base.tabelOf(slot107) = TabelRecord{};
    // Her sheet of 4-8 April lies before her hire on the 11th: it pays
    // nothing, and the run says so.
    ASSERT_TRUE(base.bln.replaceRun(slot107, std::vector<SickLeaveSheet>{payrolltest::sickSheet(4, 4, 8, 4, 2011)}));
    const int slot119 = base.list[std::size_t(base.FindEmployee(119))].slot;
    ASSERT_NE(base.tabelOf(slot119).rabDn, 0);
    base.tabelOf(slot119).rabHr = 0;
    // 122, ill from 28 March to 8 April (1 and 4-8 April, 6 of April's 21
    // working days), with 20 days typed over his marks: 15 are left him.
    const int slot122 = base.list[std::size_t(base.FindEmployee(122))].slot;
    base.tabelOf(slot122).rabDn = 20;
    // 101's rest transfer under code 4, an accrual, as an older base may hold
    // it: nothing is transferred, and the run says so.
    const int slot101 = base.list[std::size_t(base.FindEmployee(101))].slot;
    LoadEmployee(base, slot101);
    ASSERT_EQ(base.current.sber[0].kod, 903);
    ASSERT_EQ(base.current.sber[0].sum, 0);
    base.current.sber[0].kod = 4;
    SaveSber(base, SaveKonst(base, slot101));

    RunOutcome report;
    ASSERT_EQ(RunMonth(doc, 0, &report), platform::TASK_DONE);
    EXPECT_EQ(report.computed, 50);
    EXPECT_EQ(report.lines(),
              (QStringList{
                  QStringLiteral("Таб.N 151 Кузнецов П. А. - не рассчитан: Уволен и уже не работает"),
                  QStringLiteral("Таб.N 152 Федотова М. С. - не рассчитан: Уволен и уже не работает"),
                  QStringLiteral("Таб.N 101 Воронцов А. В. - предупреждение: перечисление без суммы по коду 4 не выполнено: "
                                 "остаток перечисляется только по кодам 903 и 906"),
                  QStringLiteral("Таб.N 107 Гусева А. С. - предупреждение: нет отработанного времени"),
                  QStringLiteral("Таб.N 107 Гусева А. С. - предупреждение: Больничный лист с 04.04.2011 по "
                                 "08.04.2011 рассчитан в сумме 0.00: проверьте заработок и даты"),
                  QStringLiteral("Таб.N 112 Сазонов М. А. - предупреждение: Указана дата увольнения 20.04.2011, но не "
                                 "указан признак увольнения"),
                  QStringLiteral("Таб.N 112 Сазонов М. А. - предупреждение: В табеле 21 раб. дн., а с приема по "
                                 "увольнение в месяце 14 раб. дн."),
                  QStringLiteral("Таб.N 119 Муравьёв Е. П. - предупреждение: в табеле дни без часов: часы взяты по "
                                 "полному рабочему дню"),
                  QStringLiteral("Таб.N 122 Пахомов В. Ю. - предупреждение: В табеле 20 раб. дн., а больничные листы "
                                 "и отпуска месяца оставляют 15 из 21 раб. дн.: проверьте табель"),
              }))
        << report.lines().join(QLatin1Char('\n')).toStdString();
    CloseBase(base);
}

// 122 is ill on 1 and 4-8 April 2011, 6 of April's 21 working days (1, 4-8,
// 11-15, 18-22, 25-29). No warning of absence left on his sheet when its 15
// days (no day marked) are exactly those his absences leave him, nor when its 18 days are its
// 18 marked days, 4-6 and the 15 working days from the 11th (the calculation
// knows those and takes the marked 4-6 off itself).
TEST(StoredResults, NoAbsenceWarningForASheetTypedToTheDaysLeftOrToItsMarks)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    PayrollDoc doc;
    ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, dir.path() + QLatin1Char('/')));
    CInfoBase& base = doc.infoBase;
    const int slot122 = base.list[std::size_t(base.FindEmployee(122))].slot;
    TabelRecord& sheet = base.tabelOf(slot122);
    const auto warnedOf122 = [&] {
        RunOutcome report;
        EXPECT_EQ(RunMonth(doc, 0, &report), platform::TASK_DONE);
        return report.lines().filter(QStringLiteral("Таб.N 122")).filter(QStringLiteral("оставляют"));
    };
    sheet = TabelRecord{}; // no day marked: the calculation cannot tell which days it holds
    sheet.rabDn = 15;
    EXPECT_EQ(warnedOf122(), QStringList{});

    sheet = TabelRecord{};
    for (int day : {4, 5, 6, 11, 12, 13, 14, 15}) sheet.tabel12 = u16(sheet.tabel12 | (1u << day));
    for (int day : {18, 19, 20, 21, 22, 25, 26, 27, 28, 29}) sheet.tabel22 = u16(sheet.tabel22 | (1u << (day - 16)));
    sheet.rabDn = 18;
    EXPECT_EQ(warnedOf122(), QStringList{});
    CloseBase(base);
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
        EXPECT_EQ(doc.infoBase.attributesOf(member.slot).err, 0) << index;
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
