// The dBASE export on a fixture base: the three kinds of table against their
// bytes, appending, the path rules, and the read-back of archive data (merge
// and sort) and of accrued pay (the entry-block arithmetic).
#include "exchange/DbfExport.h"

#include "exchange/DbfWorkers.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CDbf.h"
#include "platform/CodePage.h"
#include "platform/Db.h"
#include "platform/TaskThread.h"
#include "support/OfficeConvert.h"
#include "support/TestFixture.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest/QTest>

using namespace kalvor;
using namespace kalvor::infobase;
using kalvor::dbf::CDbf;
using kalvor::dbf::DbfTable;
using kalvor::exchange::ExportDbf;

using namespace kalvor::testsupport;

namespace {

const QDate kToday(2026, 3, 20);

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Ansi(const QString& text) { return codepage::toCp1251(text); }
QByteArray Pad(const QByteArray& text, int width) { return text.leftJustified(width, ' ', true); }

QByteArray U16(unsigned v) { return QByteArray(1, char(v & 0xFF)) + char(v >> 8); }

// Header and descriptors of a table of C fields, written on kToday.
QByteArray TableHead(unsigned count, const std::vector<std::pair<const char*, int>>& fields)
{
    int recordLength = 1;
    for (const auto& field : fields) recordLength += field.second;
    QByteArray head;
    head += char(3);
    head += char(126);
    head += char(3);
    head += char(20);
    head += U16(count) + U16(0);
    head += U16(unsigned(32 + 32 * fields.size() + 1)) + U16(unsigned(recordLength));
    head += QByteArray(17, '\0') + char(0xC9) + QByteArray(2, '\0');
    for (const auto& field : fields) {
        QByteArray descriptor(32, '\0');
        descriptor.replace(0, int(strlen(field.first)), field.first);
        descriptor[11] = 'C';
        descriptor[16] = char(field.second);
        head += descriptor;
    }
    return head + char(0x0D);
}

class DbfExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("out")));
        base().workFolder = dir.path() + QLatin1Char('/');
        base().baseName = QStringLiteral("dbf");
        CreateSchemaBase(dir.path(), base().baseName);
        OpenBase(base());
        fx = BuildFixtureBase(base(), 4, 11);
        ShapeFirstEmployee();
        SaveAll(base(), fx.records);
    }
    void TearDown() override { CloseBase(base()); }

    CInfoBase& base() { return doc.infoBase; }
    int tabN(int slot) const { return doc.infoBase.list[std::size_t(slot - 1)].tabN(); }
    QString out(const QString& name) const { return dir.filePath(QStringLiteral("out/") + name); }
    EmployeeAttributes& attributes(int slot) { return base().attributesOf(slot); }

    // The first employee gets values whose texts the tests know.
    void ShapeFirstEmployee()
    {
        EmployeeRecord& record = fx.records[0];
        EmployeeHead& head = record.head;
        head.fio = QStringLiteral("  Pябова  Aнна   Eвгеньевна"); // Latin P, A, E typed by mistake
        head.oklad = 2'345'678;
        head.nadbav = 50'000;
        head.stavka = 50;
        head.tarifVrem.rub = 150;
        head.tarifVrem.thou = 250;
        head.tarifSdel = Tariff3{};
        head.spz[0] = {20, 1, 3};
        head.pol = QStringLiteral("Ж");
        head.INN = QStringLiteral("352801234567");
        head.pspNom = QStringLiteral("1234567890");
        head.datR = PackedDate::make(5, 7, 1985).value;
        head.datPr1 = PackedDate::make(1, 2, 2010).value;
        head.datUv1 = 0;
        record.nalvich = {};
        record.nalvich[0] = NalvichEntry{126, u16(MonthKey(2026, 1).value()), u16(MonthKey(2026, 12).value()), 140'000, 2};
        record.nalvich[1] = NalvichEntry{0, 0, 0, 50'000, 0}; // no code: nothing is written

        record.warKv = 2;
        record.waria.assign(EmployeeRecord::ArchiveCapacity, WariaEntry{});
        record.waria[0] = archiveEntry(2, 2026, 1, 4'500'000, 20, 160, 30, 3);
        record.waria[1] = archiveEntry(2, 2026, 902, 585'000, 0, 0, 0, 0);

        record.rows = {};
        record.rows[0] = accrual(1, 4'000'000, 3, 21, 168, 0); // an input row: not exported
        record.rows[1] = accrual(1, 4'567'890, 3, 21, 168, 0);
        record.rows[1].spzCh = 20;
        record.rows[1].spzSc = 1;
        record.rows[1].spzAu = 3;
        record.rows[2] = accrual(902, 593'826, 3, 0, 0, 0);
        record.rows[3] = accrual(600, 10'000, 3, 2, 0, 0);
        record.rows[3].otd = 7;
        attributes(1) = EmployeeAttributes{};
        attributes(1).brig = 2;
        attributes(1).prof = 14;
        attributes(1).kvProizv = 1;
        base().shopOf(1) = 3;
        base().shortNameOf(1) = QStringLiteral("Петрова  А. Е.");
        base().tabelOf(1).dbf = 0;
    }

    static WariaEntry archiveEntry(int month, int year, int kod, double sum, int days, int hours, int minutes,
                                   int factMonth)
    {
        WariaEntry e;
        e.mes = u16(month);
        e.god = u16(year);
        e.kod = u16(kod);
        e.sum = sum;
        e.dn = u16(days);
        e.hr = u16(hours);
        e.min = u16(minutes);
        e.mesVyd = u8(factMonth);
        e.godVyd = u16(factMonth ? year : 0);
        return e;
    }
    static AccrualRow accrual(int kod, double sum, int month, int days, int hours, int minutes)
    {
        AccrualRow r;
        r.kod = u16(kod);
        r.sum = sum;
        r.mes = u16(month);
        r.dn = u16(days);
        r.hr = u16(hours);
        r.min = u16(minutes);
        return r;
    }

    int run(int kind, int mode, const QString& path, Selection selection = {}, int selectedCount = 0,
            const exchange::DbfRunControl& control = {})
    {
        int listChanged = 0;
        return ExportDbf(doc, selection, kind, mode, path, listChanged, selectedCount, control);
    }
    Selection only(int slot) const
    {
        Selection selection;
        selection.tabN = tabN(slot);
        return selection;
    }

    // Rows of a kind-2 or kind-3 table for an employee, written through statements.
    void writeTable(int kind, const QString& name, const std::vector<QByteArray>& valueLists)
    {
        CDbf dbf(dir.filePath(QStringLiteral("out")));
        exchange::CreateDbfTable(kind, name, dbf);
        const QByteArray columns =
            kind == exchange::DbfArchive ? "mes,kod,summa,dni,[time],fact" : "mes,kod,summa,dni,[time],spz,otd";
        for (const QByteArray& values : valueLists)
            dbf.Open("INSERT INTO " + Ansi(name) + " (tabel,grup,otdel,fio," + columns + ") VALUES ('" +
                     QByteArray::number(tabN(1)) + "','2','3','x'," + values + ")");
        dbf.Commit(kToday);
    }

    void reloadFirst() { LoadEmployee(base(), 1); }

    QTemporaryDir dir;
    PayrollDoc doc;
    FixtureBase fx;
    ScopedToday today{kToday};
};

// The boxes a worker shows, written down.
class RecordingMessenger : public exchange::ExchangeMessenger {
public:
    void ShowError(const QString& text) const override { shown << text; }
    void ShowInformation(const QString& text) const override { shown << text; }
    void ShowDbError(const db::DbError& error) const override { shown << error.message(); }
    void ShowMessage(const QString& text) const override { shown << text; }
    bool AskYesNo(const QString& text) const override
    {
        shown << text;
        return false;
    }
    mutable QStringList shown;
};

} // namespace

TEST_F(DbfExportTest, OnAWorkerProgressAndCodesGoThroughTheTaskProtocol)
{
    platform::TaskThread task;
    RecordingMessenger messenger;
    QStringList events;
    int doneCount = 0;
    QObject::connect(&task, &platform::TaskThread::progress, &task,
                     [&](int position, int count) { events << QStringLiteral("%1/%2").arg(position).arg(count); });
    QObject::connect(&task, &platform::TaskThread::done, &task, [&](int result, int, const QString&) {
        events << QStringLiteral("done %1").arg(result);
        ++doneCount;
    });
    auto start = [&](const QString& path) {
        exchange::DbfTaskParams params;
        params.path = path;
        task.start([&, params](platform::TaskContext& context) {
            return exchange::DbfCInfThreadProc(context, params, doc, messenger, [&context](int position, int count) {
                context.progress(position, count);
            });
        });
        return QTest::qWaitFor([&] { return !task.isRunning() && doneCount > 0; }, 20'000);
    };

    ASSERT_TRUE(start(out("konst.dbf")));
    EXPECT_EQ(events, (QStringList{"0/0", "1/0", "2/0", "3/0", "-1/0", "done 0"}));
    EXPECT_EQ(DbfTable::read(out("konst.dbf")).recordCount(), 4);

    // A writer's code is shown by the worker, which ends as done.
    events.clear();
    doneCount = 0;
    ASSERT_TRUE(start(out("konst.txt")));
    EXPECT_EQ(events, QStringList{"done 0"});
    EXPECT_EQ(messenger.shown, QStringList{QStringLiteral("неверное расширение")});
}

TEST_F(DbfExportTest, AccruedPayTableHasItsExactBytes)
{
    ASSERT_EQ(run(exchange::DbfAccrued, exchange::DbfWrite, out("zarp"), only(1)), 0);

    const QByteArray tab = Pad(QByteArray::number(tabN(1)), 4);
    const QByteArray name = Pad(Ansi(QStringLiteral("Петрова А. Е.")), 20);
    QByteArray expected = TableHead(3, {{"TABEL", 4},
                                        {"GRUP", 2},
                                        {"OTDEL", 3},
                                        {"FIO", 20},
                                        {"MES", 2},
                                        {"KOD", 3},
                                        {"SUMMA", 13},
                                        {"DNI", 2},
                                        {"TIME", 6},
                                        {"SPZ", 12},
                                        {"OTD", 3}});
    expected += " " + tab + "2 3  " + name + "3 1  45678.90     21168.00002000010003   ";
    expected += " " + tab + "2 3  " + name + "3 9025938.26                             ";
    expected += " " + tab + "2 3  " + name + "3 6000.00         2                   7  ";
    expected += char(0x1A);
    EXPECT_EQ(FileBytes(out("zarp.dbf")), expected);
}

TEST_F(DbfExportTest, AccruedPayOfAnEmployeePaidNetIsLessItsTax)
{
    base().tabelOf(1).dbf = 1;
    base().current = fx.records[0];
    base().current.rows[1].sum = 123'456; // 16,049.28 kopecks of tax, rounded to 16,049
    SaveEmployee(base(), 1);
    ASSERT_EQ(run(exchange::DbfAccrued, exchange::DbfWrite, out("net.dbf"), only(1)), 0);

    const DbfTable table = DbfTable::read(out("net.dbf"));
    const int summa = table.fieldIndex("summa");
    ASSERT_EQ(table.recordCount(), 3);
    EXPECT_EQ(table.value(0, summa), QByteArray("1074.07"));
    EXPECT_EQ(table.value(1, summa), QByteArray("5938.26")); // a deduction stays as it is
    EXPECT_EQ(table.value(2, summa), QByteArray("0.00"));
}

TEST_F(DbfExportTest, ArchiveTableHasItsExactBytes)
{
    ASSERT_EQ(run(exchange::DbfArchive, exchange::DbfWrite, out("arxiv.dbf"), only(1)), 0);

    const QByteArray tab = Pad(QByteArray::number(tabN(1)), 4);
    const QByteArray name = Pad(Ansi(QStringLiteral("Петрова А. Е.")), 20);
    QByteArray expected = TableHead(2, {{"TABEL", 4},
                                        {"GRUP", 2},
                                        {"OTDEL", 3},
                                        {"FIO", 20},
                                        {"MES", 5},
                                        {"KOD", 3},
                                        {"SUMMA", 13},
                                        {"DNI", 2},
                                        {"TIME", 6},
                                        {"FACT", 5}});
    expected += " " + tab + "2 3  " + name + "02.261  45000.00     20160.3003.26";
    expected += " " + tab + "2 3  " + name + "02.269025850.00                   ";
    expected += char(0x1A);
    EXPECT_EQ(FileBytes(out("arxiv.dbf")), expected);
}

TEST_F(DbfExportTest, ConstantInformationTableAndItsSecondRunAppends)
{
    ASSERT_EQ(run(exchange::DbfConstInfo, exchange::DbfWrite, out("konst.dbf")), 0);

    DbfTable table = DbfTable::read(out("konst.dbf"));
    EXPECT_EQ(table.fieldCount(), 96);
    EXPECT_EQ(table.headerLength(), 3105);
    EXPECT_EQ(table.recordLength(), 1121);
    ASSERT_EQ(table.recordCount(), 4);
    const QByteArray bytes = FileBytes(out("konst.dbf"));
    EXPECT_EQ(bytes.mid(0, 4), QByteArray("\x03\x7E\x03\x14", 4));
    EXPECT_EQ(bytes.size(), 3105 + 4 * 1121 + 1);

    auto value = [&table](int record, const char* column) { return table.value(record, table.fieldIndex(column)); };
    EXPECT_EQ(value(0, "fio"), Ansi(QStringLiteral("Рябова Анна Евгеньевна")));
    EXPECT_EQ(value(0, "tabel"), QByteArray::number(tabN(1)));
    EXPECT_EQ(value(0, "grup"), QByteArray("2"));
    EXPECT_EQ(value(0, "otdel"), QByteArray("3"));
    EXPECT_EQ(value(0, "professia"), QByteArray("14"));
    EXPECT_EQ(value(0, "oklad"), QByteArray("23456.78"));
    EXPECT_EQ(value(0, "stavka"), QByteArray("0.50"));
    EXPECT_EQ(value(0, "tarifp"), QByteArray("150.250"));
    EXPECT_EQ(value(0, "tarifs"), QByteArray("0.000"));
    EXPECT_EQ(value(0, "pers_nadb"), QByteArray("500.00"));
    EXPECT_EQ(value(0, "spz"), QByteArray("002000010003"));
    EXPECT_EQ(value(0, "pol"), Ansi(QStringLiteral("Ж")));
    EXPECT_EQ(value(0, "inn"), QByteArray("352801234567"));
    EXPECT_EQ(value(0, "pasp_nomer"), QByteArray("1234567890"));
    EXPECT_EQ(value(0, "rojd_data"), QByteArray("05.07.85"));
    EXPECT_EQ(value(0, "priem_dat1"), QByteArray("01.02.10"));
    EXPECT_EQ(value(0, "uv_dat1"), QByteArray());
    EXPECT_EQ(value(0, "kodvich1"), QByteArray("126"));
    EXPECT_EQ(value(0, "datbeg1"), QByteArray("01.2026"));
    EXPECT_EQ(value(0, "datend1"), QByteArray("12.2026"));
    EXPECT_EQ(value(0, "sum1"), QByteArray("1400.00"));
    EXPECT_EQ(value(0, "krat1"), QByteArray("2"));
    for (const char* column : {"kodvich2", "datbeg2", "datend2", "sum2", "krat2"})
        EXPECT_EQ(value(0, column), QByteArray()) << column;
    EXPECT_EQ(codepage::fromCp1251(value(1, "fio")), fx.records[1].head.fio);

    ASSERT_EQ(run(exchange::DbfConstInfo, exchange::DbfWrite, out("KONST.dbf")), 0);
    table = DbfTable::read(out("konst.dbf"));
    ASSERT_EQ(table.recordCount(), 8);
    EXPECT_EQ(table.value(4, table.fieldIndex("tabel")), QByteArray::number(tabN(1)));
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::Files),
              QStringList{QStringLiteral("konst.dbf")});
}

TEST_F(DbfExportTest, QuotesInNamesAndLongTableNamesAreWritten)
{
    base().shortNameOf(2) = QStringLiteral("О'Нил Д. '");
    const QString longName = QString(200, QLatin1Char('k')) + QStringLiteral(".dbf");
    ASSERT_EQ(run(exchange::DbfConstInfo, exchange::DbfWrite, out(longName)), 0);
    ASSERT_EQ(run(exchange::DbfArchive, exchange::DbfWrite, out("arxiv.dbf"), only(2)), 0);

    EXPECT_EQ(DbfTable::read(out(longName)).recordCount(), 4);
    const DbfTable archive = DbfTable::read(out("arxiv.dbf"));
    ASSERT_GT(archive.recordCount(), 0);
    EXPECT_EQ(codepage::fromCp1251(archive.value(0, archive.fieldIndex("fio"))), QStringLiteral("О'Нил Д. '"));
}

TEST_F(DbfExportTest, PathAndSelectionRules)
{
    EXPECT_EQ(run(exchange::DbfArchive, exchange::DbfWrite, out("arxiv.txt")), exchange::kDbfBadExtension);
    EXPECT_EQ(run(exchange::DbfArchive, exchange::DbfWrite, out("noext"), only(2)), 0);
    EXPECT_TRUE(QFile::exists(out("noext.dbf")));
    EXPECT_EQ(run(exchange::DbfArchive, exchange::DbfWrite, out("CAPS.DBF"), only(2)), 0);
    EXPECT_TRUE(QFile::exists(out("CAPS.DBF")));
    EXPECT_EQ(run(exchange::DbfArchive, exchange::DbfRead, out("missing.dbf")), exchange::kDbfNoTable);
    EXPECT_EQ(run(exchange::DbfArchive, exchange::DbfWrite, out("")), exchange::kDbfNoTable);

    Selection unknown;
    unknown.tabN = 9;
    EXPECT_EQ(run(exchange::DbfArchive, exchange::DbfWrite, out("a.dbf"), unknown), exchange::kDbfNoSuchEmployee);
    Selection noShop;
    noShop.shop = 200;
    EXPECT_EQ(run(exchange::DbfArchive, exchange::DbfWrite, out("a.dbf"), noShop), exchange::kDbfNoEmployees);
    EXPECT_FALSE(QFile::exists(out("a.dbf")));
    EXPECT_FALSE(QFile::exists(out("arxiv.txt")));
    EXPECT_THROW(run(exchange::DbfArchive, exchange::DbfWrite, dir.filePath(QStringLiteral("nowhere/a.dbf"))),
                 db::DbError);

    // Marked employees only: the second and the fourth.
    base().list[1].setFlag(0, true);
    base().list[3].setFlag(2, true);
    ASSERT_EQ(run(exchange::DbfConstInfo, exchange::DbfWrite, out("marked.dbf"), {}, 2), 0);
    const DbfTable table = DbfTable::read(out("marked.dbf"));
    ASSERT_EQ(table.recordCount(), 2);
    EXPECT_EQ(table.value(1, 0), QByteArray::number(tabN(4)));
}

TEST_F(DbfExportTest, AStoppedRunKeepsItsRowsAndAFailedOneTheOldTable)
{
    std::stop_source stop;
    std::vector<int> positions;
    exchange::DbfRunControl control;
    control.stop = stop.get_token();
    control.progress = [&](int position, int) {
        positions.push_back(position);
        stop.request_stop();
    };
    ASSERT_EQ(run(exchange::DbfConstInfo, exchange::DbfWrite, out("konst.dbf"), {}, 0, control), 0);
    EXPECT_EQ(positions, (std::vector<int>{0, -1}));
    EXPECT_EQ(DbfTable::read(out("konst.dbf")).recordCount(), 1);

    // A kind-1 export into an archive table fails on its first row: the table stays.
    ASSERT_EQ(run(exchange::DbfArchive, exchange::DbfWrite, out("arxiv.dbf"), only(1)), 0);
    const QByteArray before = FileBytes(out("arxiv.dbf"));
    EXPECT_THROW(run(exchange::DbfConstInfo, exchange::DbfWrite, out("arxiv.dbf")), db::DbError);
    EXPECT_EQ(FileBytes(out("arxiv.dbf")), before);
}

TEST_F(DbfExportTest, ArchiveReadBackSortsAndMergesEqualEntries)
{
    writeTable(exchange::DbfArchive, QStringLiteral("back.dbf"),
               {"'03.26','1','100.00','5','  8.50','03.26'", "'02.26','902','13.00','','',''",
                "'03.26','1','50.25','3','  1.40','03.26'", "'03.26','1','7.00','','','04.26'",
                "'01.48','35','1.00','','',''", "'01.49','35','2.00','','',''", "'','5','9.00','','',''"});
    EXPECT_EQ(run(exchange::DbfArchive, exchange::DbfRead, out("back.dbf")), 1); // only the first has rows

    reloadFirst();
    const EmployeeRecord& record = base().current;
    ASSERT_EQ(record.warKv, 5);
    EXPECT_EQ(record.waria[0], archiveEntry(1, 1949, 35, 200, 0, 0, 0, 0));
    EXPECT_EQ(record.waria[1], archiveEntry(2, 2026, 902, 1300, 0, 0, 0, 0));
    EXPECT_EQ(record.waria[2], archiveEntry(3, 2026, 1, 15'025, 8, 10, 30, 3));
    EXPECT_EQ(record.waria[3], archiveEntry(3, 2026, 1, 700, 0, 0, 0, 4));
    EXPECT_EQ(record.waria[4], archiveEntry(1, 2048, 35, 100, 0, 0, 0, 0));
    EXPECT_FALSE(record.waria[5].inUse());
}

TEST_F(DbfExportTest, AccruedReadBackReplacesTheEntryBlock)
{
    // s = 1 piece-work row, q = 2 rows of an earlier read, other inputs up to
    // p = 20, results from row 20 on.
    base().current = fx.records[0];
    auto& rows = base().current.rows;
    rows = {};
    for (int i = 0; i < 20; ++i) rows[std::size_t(i)] = accrual(100 + i, 100, 3, 0, 0, 0);
    for (int i = 20; i < 26; ++i) rows[std::size_t(i)] = accrual(900 + i, 100, 3, 0, 0, 0);
    attributes(1).kvSdel = 1;
    attributes(1).kvDBF = 2;
    attributes(1).kvProizv = 20;
    SaveEmployee(base(), 1);
    SaveComp(base());
    const auto before = rows;

    std::vector<QByteArray> fifteen;
    for (int i = 0; i < 15; ++i)
        fifteen.push_back("'3','" + QByteArray::number(40 + i) + "','" + QByteArray::number(i + 1) +
                          ".00','1','  2.05','000100020003','3'");
    writeTable(exchange::DbfAccrued, QStringLiteral("zarp.dbf"), fifteen);
    ASSERT_EQ(run(exchange::DbfAccrued, exchange::DbfRead, out("zarp.dbf"), only(1)), 1);

    EXPECT_EQ(attributes(1).kvDBF, 10);
    EXPECT_EQ(attributes(1).kvProizv, 28);
    reloadFirst();
    const auto& after = base().current.rows;
    EXPECT_EQ(after[0], before[0]);
    AccrualRow first = accrual(40, 100, 3, 1, 2, 5);
    first.spzCh = 1;
    first.spzSc = 2;
    first.spzAu = 3; // the employee's own shop 3 is stored as 0
    EXPECT_EQ(after[1], first);
    EXPECT_EQ(after[10].kod, 49);
    for (int i = 3; i < 20; ++i) EXPECT_EQ(after[std::size_t(i + 8)], before[std::size_t(i)]) << i;
    for (int i = 20; i < 26; ++i) EXPECT_EQ(after[std::size_t(i + 8)], before[std::size_t(i)]) << i;
    EXPECT_TRUE(after[34].isEmpty());

    // The stored counters came back with the base.
    CloseBase(base());
    CInfoBase reread;
    reread.workFolder = base().workFolder;
    reread.baseName = base().baseName;
    OpenBase(reread);
    LoadAll(reread);
    EXPECT_EQ(reread.attributesOf(1).kvDBF, 10);
    EXPECT_EQ(reread.attributesOf(1).kvProizv, 28);
    CloseBase(reread);
}

TEST_F(DbfExportTest, AccruedReadBackTakesAtMostWhatTheCountersHold)
{
    attributes(1).kvSdel = 0;
    attributes(1).kvDBF = 0;
    attributes(1).kvProizv = 0;
    base().current = fx.records[0];
    base().current.rows = {};
    base().current.rows[0] = accrual(920, 500, 3, 0, 0, 0);
    SaveEmployee(base(), 1);
    std::vector<QByteArray> thirty;
    for (int i = 0; i < 30; ++i)
        thirty.push_back("'3','" + QByteArray::number(i == 2 ? 0 : 40 + i) + "','" + (i == 4 ? "0" : "1.50") +
                         "','','','',''");
    writeTable(exchange::DbfAccrued, QStringLiteral("zarp.dbf"), thirty);
    ASSERT_EQ(run(exchange::DbfAccrued, exchange::DbfRead, out("zarp.dbf"), only(1)), 1);

    // 15 rows taken (the four bits of the block length), the one without a
    // code and the one without an amount dropped.
    EXPECT_EQ(attributes(1).kvDBF, 13);
    EXPECT_EQ(attributes(1).kvProizv, 13);
    reloadFirst();
    EXPECT_EQ(base().current.rows[0].kod, 40);
    EXPECT_EQ(base().current.rows[2].kod, 43);
    EXPECT_EQ(base().current.rows[12].kod, 54);
    EXPECT_EQ(base().current.rows[13].kod, 920);
}

TEST_F(DbfExportTest, LibreOfficeReadsTheCyrillicNames)
{
    // Calc imports dBASE tables; its import takes the code page from the
    // filter options (34 is windows-1251), whatever the language byte says.
    const QString office = QFileInfo(OfficeProgram()).canonicalFilePath();
    const QDir program = QFileInfo(office).dir();
    if (office.isEmpty() || !program.exists(QStringLiteral("libsclo.so")) ||
        !program.exists(QStringLiteral("libdbaselo.so")))
        GTEST_SKIP() << "LibreOffice Calc with its dBASE driver is not installed "
                        "(libreoffice-calc, libreoffice-base-drivers): the table is not opened by another program";
    ASSERT_EQ(run(exchange::DbfConstInfo, exchange::DbfWrite, out("konst.dbf")), 0);

    const QString converted =
        ConvertWithOffice(out("konst.dbf"), QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"),
                          dir.filePath(QStringLiteral("csv")), {QStringLiteral("--infilter=dBase:34")});
    const QString csv = QString::fromUtf8(FileBytes(converted));
    ASSERT_FALSE(csv.isEmpty());
    EXPECT_TRUE(csv.startsWith(QStringLiteral("\"TABEL,C,4\",\"GRUP,C,2\"")));
    EXPECT_TRUE(csv.contains(QStringLiteral("Рябова Анна Евгеньевна")));
    for (int slot = 2; slot <= 4; ++slot) EXPECT_TRUE(csv.contains(fx.records[std::size_t(slot - 1)].head.fio)) << slot;
}

TEST_F(DbfExportTest, ReadBackRowsWithImpossibleValuesAreRefusedAndNamed)
{
    base().current = fx.records[0];
    base().current.rows = {};
    base().current.rows[0] = accrual(920, 500, 3, 0, 0, 0);
    SaveEmployee(base(), 1);
    const EmployeeRecord before = base().current;
    const EmployeeAttributes attributesBefore = attributes(1);
    const struct {
        int kind;
        const char* file;
        QByteArray row;
        const char* said;
    } cases[] = {
        {exchange::DbfAccrued, "inf.dbf", "'3','40','1e999','','','',''", "summa: недопустимое значение бесконечность"},
        {exchange::DbfAccrued, "shop.dbf", "'3','40','1.00','','','','251'", "otd: недопустимое значение 251"},
        {exchange::DbfArchive, "days.dbf", "'03.26','1','100.00','45','',''", "dni: недопустимое значение 45"},
        {exchange::DbfArchive, "huge.dbf", "'03.26','1','-1e20','','',''", "summa: недопустимое значение -1e+20"},
    };
    for (const auto& c : cases) {
        writeTable(c.kind, QString::fromLatin1(c.file), {c.row});
        QStringList shown;
        exchange::DbfRunControl control;
        control.showMessage = [&](const QString& text) { shown << text; };
        EXPECT_EQ(run(c.kind, exchange::DbfRead, out(QString::fromLatin1(c.file)), only(1), 0, control), 0);
        EXPECT_EQ(shown, QStringList{QStringLiteral("Записи с недопустимыми значениями не загружены:\nФайл %1, "
                                                    "запись табельного номера %2, поле %3")
                                         .arg(QLatin1String(c.file))
                                         .arg(tabN(1))
                                         .arg(QString::fromUtf8(c.said))});
        reloadFirst();
        EXPECT_EQ(base().current, before) << c.file;
        LoadComp(base());
        EXPECT_EQ(attributes(1), attributesBefore) << c.file;
    }
}
