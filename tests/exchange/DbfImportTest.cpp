// The import of permanent data: dates of the table, the slot of a new
// employee with the repair of wrong list entries, a kind-1 table written from
// one base read into another, and a new personnel number met twice.
#include "exchange/DbfImport.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CDbf.h"
#include "platform/CodePage.h"
#include "support/TestFixture.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;
using kalvor::exchange::ImportDbfConstInfo;
using kalvor::exchange::ParseDbfDate;
using kalvor::exchange::RebuildIndexAfterImport;

namespace {

const QDate kToday(2026, 3, 20);

struct DateCase {
    const char* text;
    int year, day, month;
};

EmployeeListEntry Entry(int tabN, int slot)
{
    EmployeeListEntry entry;
    entry.setTabN(u16(tabN));
    entry.slot = u16(slot);
    return entry;
}

// A base in memory with the list given.
void ListBase(CInfoBase& base, int capacity, std::vector<EmployeeListEntry> list, bool nameOrder = false)
{
    base.AllocateTables(capacity);
    base.list = std::move(list);
    if (nameOrder)
        base.firm.parWord |= 0x20;
}

} // namespace

TEST(DbfImportDates, ValidImpossibleAndLeapDates)
{
    const DateCase cases[] = {
        {"05.07.85", 85, 5, 7}, {"29.02.04", 4, 29, 2}, {"12.03.2011", 2011, 12, 3}, {"31.02.05", 0, 0, 0},
        {"29.02.05", 0, 0, 0},  {"31.04.10", 0, 0, 0},  {"00.01.10", 0, 0, 0},       {"10.13.10", 0, 0, 0},
        {"10.03", 0, 0, 0},     {"", 0, 0, 0},          {"1.1.0", 0, 1, 1},          {"31.12.99", 99, 31, 12},
    };
    for (const DateCase& c : cases) {
        int day = -1, month = -1;
        EXPECT_EQ(ParseDbfDate(c.text, day, month), c.year) << c.text;
        EXPECT_EQ(day, c.day) << c.text;
        EXPECT_EQ(month, c.month) << c.text;
    }
}

TEST(DbfImportIndex, AFullBaseGivesNoSlotAndSaysSo)
{
    CInfoBase base;
    ListBase(base, 3, {Entry(10, 1), Entry(11, 2), Entry(12, 3)});
    QStringList shown;
    EXPECT_EQ(RebuildIndexAfterImport(base, [&](const QString& text) { shown << text; }), -1);
    EXPECT_EQ(shown, QStringList{QStringLiteral("Невозможно создать новую запись.\nБаза данных переполнена.")});
}

TEST(DbfImportIndex, WrongEntriesAreRepairedInNumberOrderAndRefusedInNameOrder)
{
    // A slot used twice: the later entry gets the free slot after the one returned.
    CInfoBase twice;
    ListBase(twice, 6, {Entry(10, 1), Entry(11, 2), Entry(12, 2), Entry(13, 5)});
    QStringList shown;
    auto show = [&](const QString& text) { shown << text; };
    EXPECT_EQ(RebuildIndexAfterImport(twice, show), 3);
    EXPECT_EQ(twice.list[1], Entry(11, 2));
    EXPECT_EQ(twice.list[2], Entry(12, 4));
    EXPECT_EQ(twice.list[3], Entry(13, 5));
    EXPECT_TRUE(shown.isEmpty());

    // Entries without a number take them from their neighbours and keep their
    // own slots; one without a slot gets a free one.
    CInfoBase unnumbered;
    ListBase(unnumbered, 8, {Entry(0, 1), Entry(20, 2), Entry(0, 3), Entry(22, 0), Entry(23, 5), Entry(0, 6)});
    EXPECT_EQ(RebuildIndexAfterImport(unnumbered, show), 4);
    EXPECT_EQ(unnumbered.list[0], Entry(1, 1));
    EXPECT_EQ(unnumbered.list[2], Entry(21, 3));
    EXPECT_EQ(unnumbered.list[3], Entry(22, 7));
    EXPECT_EQ(unnumbered.list[5], Entry(8191, 6));
    EXPECT_TRUE(shown.isEmpty());

    // The number between two neighbours stays below the next one.
    CInfoBase close;
    ListBase(close, 5, {Entry(20, 1), Entry(0, 2), Entry(21, 3)});
    EXPECT_EQ(RebuildIndexAfterImport(close, show), 4);
    EXPECT_EQ(close.list[1].tabN(), 20);

    // In name order nothing is touched.
    const std::vector<EmployeeListEntry> byName = {Entry(30, 1), Entry(0, 2), Entry(31, 2)};
    CInfoBase named;
    ListBase(named, 5, byName, true);
    EXPECT_EQ(RebuildIndexAfterImport(named, show), -2);
    EXPECT_EQ(named.list, byName);
    EXPECT_EQ(shown, QStringList{QStringLiteral("Количество  ошибочных  записей   = 2.\nПерейдите в режим "
                                                "сортировки работников\nпо табельным номерам и повторите ввод")});
}

namespace {

class DbfImportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("out")));
        Open(source, QStringLiteral("source"));
        fx = BuildFixtureBase(source.infoBase, 6, 7);
        fx.records[0].nalvich[1] = NalvichEntry{104, u16(MonthKey(2026, 2).value()), u16(MonthKey(2026, 11).value()), 50'000, 0};
        source.infoBase.attributesOf(1).brig = 4;
        source.infoBase.attributesOf(1).kateg = 3;
        source.infoBase.attributesOf(1).graph = 2;
        SaveAll(source.infoBase, fx.records);
        Open(target, QStringLiteral("target"));
        BuildFixtureBase(target.infoBase, 0, 3);
        SaveAll(target.infoBase, {});
    }
    void TearDown() override
    {
        CloseBase(source.infoBase);
        CloseBase(target.infoBase);
    }

    void Open(PayrollDoc& doc, const QString& name)
    {
        doc.infoBase.workFolder = dir.path() + QLatin1Char('/');
        doc.infoBase.baseName = name;
        CreateSchemaBase(dir.path(), name);
        OpenBase(doc.infoBase);
    }
    QString out(const QString& name) const { return dir.filePath(QStringLiteral("out/") + name); }

    int import(const QString& path, int& created, int& listChanged)
    {
        created = 0;
        listChanged = 0;
        return ImportDbfConstInfo(path, created, listChanged, target);
    }

    QTemporaryDir dir;
    PayrollDoc source, target;
    FixtureBase fx;
    ScopedToday today{kToday};
};

} // namespace

TEST_F(DbfImportTest, ATableOfTheExportReadIntoAnEmptyBaseGivesTheEmployeesBack)
{
    int listChanged = 0;
    ASSERT_EQ(exchange::ExportDbf(source, Selection{}, exchange::DbfConstInfo, exchange::DbfWrite,
                                  out(QStringLiteral("konst.dbf")), listChanged, 0),
              0);
    int created = 0;
    ASSERT_EQ(import(out(QStringLiteral("konst.dbf")), created, listChanged), 6);
    EXPECT_EQ(created, 6);
    EXPECT_EQ(listChanged, 1);

    // What the base holds, read anew.
    CInfoBase& base = target.infoBase;
    LoadAll(base);
    ASSERT_EQ(base.employeeCount(), 6);
    EXPECT_EQ(base.config.kolRab, 6);
    const CInfoBase& from = source.infoBase;
    for (int i = 0; i < 6; ++i) {
        const EmployeeListEntry& entry = base.list[std::size_t(i)];
        const EmployeeListEntry& original = from.list[std::size_t(i)];
        ASSERT_EQ(entry.tabN(), original.tabN());
        LoadEmployee(base, entry.slot);
        const EmployeeHead& head = base.current.head;
        const EmployeeRecord& was = fx.records[std::size_t(original.slot - 1)];
        SCOPED_TRACE(was.head.fio.toStdString());
        EXPECT_EQ(head.fio, was.head.fio);
        EXPECT_EQ(base.shortNameOf(entry.slot), from.shortNameOf(original.slot));
        const EmployeeAttributes& a = base.attributesOf(entry.slot);
        const EmployeeAttributes& b = from.attributesOf(original.slot);
        EXPECT_EQ(std::tuple(int(a.brig), int(a.prof), int(a.sistOpl), int(a.kateg), int(a.razr), int(a.graph)),
                  std::tuple(int(b.brig), int(b.prof), int(b.sistOpl), int(b.kateg), int(b.razr), int(b.graph)));
        EXPECT_EQ(base.shopOf(entry.slot), from.shopOf(original.slot));
        EXPECT_EQ(head.tabPodoh, was.head.tabPodoh);
        EXPECT_EQ(head.oklad, was.head.oklad);
        EXPECT_EQ(head.nadbav, was.head.nadbav);
        EXPECT_EQ(head.stavka, was.head.stavka);
        EXPECT_EQ(head.tarifVrem, was.head.tarifVrem);
        EXPECT_EQ(head.tarifSdel, was.head.tarifSdel);
        EXPECT_EQ(head.spz[0], was.head.spz[0]);
        EXPECT_EQ(head.pol, was.head.pol);
        EXPECT_EQ(head.INN, was.head.INN);
        EXPECT_EQ(head.strahPolis, was.head.strahPolis);
        EXPECT_EQ(head.pspSer, was.head.pspSer);
        // The passport's date comes back as the same day, in PASP_DATA's "dd.mm.yy".
        EXPECT_EQ(ReadDateText(head.pspDat), ReadDateText(was.head.pspDat));
        EXPECT_TRUE(ReadDateText(head.pspDat).isValid());
        EXPECT_EQ(head.pspDat.size(), 8);
        EXPECT_EQ(head.pspKem, was.head.pspKem);
        EXPECT_EQ(head.gitAdr, was.head.gitAdr.left(143));
        EXPECT_EQ(head.propUl, was.head.propUl);
        EXPECT_EQ(head.bdGorod, was.head.bdGorod);
        EXPECT_EQ(head.datR, was.head.datR);
        EXPECT_EQ(head.datPr1, was.head.datPr1);
        EXPECT_EQ(base.current.nalvich, was.nalvich);
    }
}

TEST_F(DbfImportTest, ANewNumberMetTwiceIsCreatedOnceAndThenUpdated)
{
    {
        dbf::CDbf table(dir.filePath(QStringLiteral("out")));
        exchange::CreateDbfTable(exchange::DbfConstInfo, QStringLiteral("twice.dbf"), table);
        table.Open(codepage::toCp1251(
            QStringLiteral("INSERT INTO twice.dbf (tabel,grup,otdel,fio,professia,oklad,tarifp,priem_dat1) VALUES "
                           "('77','3','5','Новиков Олег Игоревич','12','25000.00','150.5','01.02.10')")));
        table.Open(codepage::toCp1251(
            QStringLiteral("INSERT INTO twice.dbf (tabel,grup,otdel,fio,oklad,inn,priem_dat1,uv_dat1,rojd_data) VALUES "
                           "('77','','','','30000.50','123456789012','15.06.12','31.02.12','29.02.88')")));
        table.Open("INSERT INTO twice.dbf (tabel,fio) VALUES ('9000','X')");
        table.Commit(kToday);
    }
    int created = 0, listChanged = 0;
    EXPECT_EQ(import(out(QStringLiteral("twice.dbf")), created, listChanged), 2);
    EXPECT_EQ(created, 1);

    CInfoBase& base = target.infoBase;
    LoadAll(base);
    ASSERT_EQ(base.employeeCount(), 1);
    const EmployeeListEntry entry = base.list[0];
    EXPECT_EQ(entry.tabN(), 77);
    LoadEmployee(base, entry.slot);
    const EmployeeHead& head = base.current.head;
    EXPECT_EQ(head.fio, QStringLiteral("Новиков Олег Игоревич"));
    EXPECT_EQ(base.shortNameOf(entry.slot), QStringLiteral("Новиков О. И."));
    EXPECT_EQ(base.attributesOf(entry.slot).brig, 3); // the blank column kept it
    EXPECT_EQ(base.attributesOf(entry.slot).prof, 12);
    EXPECT_EQ(base.shopOf(entry.slot), 5);
    EXPECT_EQ(head.oklad, 3'000'050);
    EXPECT_EQ(head.tarifVrem.rub, 150);
    EXPECT_EQ(head.tarifVrem.thou, 500);
    EXPECT_EQ(head.INN, QStringLiteral("123456789012"));
    // The later hiring date goes second; the impossible dismissal date clears the field.
    EXPECT_EQ(head.datPr1, PackedDate::make(1, 2, 2010).value);
    EXPECT_EQ(head.datPr2, PackedDate::make(15, 6, 2012).value);
    EXPECT_EQ(head.datUv1, 0);
    EXPECT_EQ(head.datR, PackedDate::make(29, 2, 1988).value);
}

TEST_F(DbfImportTest, ExtensionAndEmptyTable)
{
    int created = 0, listChanged = 0;
    EXPECT_EQ(import(out(QStringLiteral("konst.txt")), created, listChanged), exchange::kDbfBadExtension);
    EXPECT_EQ(import(out(QStringLiteral("missing.dbf")), created, listChanged), exchange::kDbfNoTable);
    {
        dbf::CDbf table(dir.filePath(QStringLiteral("out")));
        exchange::CreateDbfTable(exchange::DbfConstInfo, QStringLiteral("empty.dbf"), table);
        table.Commit(kToday);
    }
    EXPECT_EQ(import(out(QStringLiteral("EMPTY")), created, listChanged), exchange::kDbfNoTable);
}

TEST_F(DbfImportTest, RowsOfNewEmployeesBeyondAFullBaseAreSkippedAndNotCounted)
{
    const int capacity = target.infoBase.capacity();
    {
        dbf::CDbf table(dir.filePath(QStringLiteral("out")));
        exchange::CreateDbfTable(exchange::DbfConstInfo, QStringLiteral("many.dbf"), table);
        for (int i = 1; i <= capacity + 2; ++i)
            table.Open(codepage::toCp1251(
                QStringLiteral("INSERT INTO many.dbf (tabel,fio) VALUES ('%1','Работник%1 Имя Отчество')")
                    .arg(100 + i)));
        table.Commit(kToday);
    }
    QStringList shown;
    exchange::DbfRunControl control;
    control.showMessage = [&](const QString& text) { shown << text; };
    int created = 0, listChanged = 0;
    EXPECT_EQ(ImportDbfConstInfo(out(QStringLiteral("many.dbf")), created, listChanged, target, control), capacity);
    EXPECT_EQ(created, capacity);
    EXPECT_EQ(shown.size(), 2);
    EXPECT_EQ(shown.value(0), QStringLiteral("Невозможно создать новую запись.\nБаза данных переполнена."));
    EXPECT_EQ(target.infoBase.config.kolRab, capacity);
    LoadConfig(target.infoBase);
    EXPECT_EQ(target.infoBase.config.kolRab, capacity);
    LoadAll(target.infoBase);
    ASSERT_EQ(target.infoBase.employeeCount(), capacity);
    EXPECT_EQ(target.infoBase.list.back().tabN(), 100 + capacity);
}

TEST_F(DbfImportTest, RowsWithImpossibleNumbersAreRefusedWholeAndNamed)
{
    struct Hostile {
        const char* tabel;
        const char* column;
        const char* value;
        const char* said; // the field and the value as the message names them
    };
    const Hostile rows[] = {
        {"61", "oklad", "1e999", "oklad: недопустимое значение бесконечность"},
        {"60", "pers_nadb", "1e400", "pers_nadb: недопустимое значение бесконечность"},
        {"60", "stavka", "-1e9", "stavka: недопустимое значение -1000000000"},
        {"60", "otdel", "255", "otdel: недопустимое значение 255"},
        {"60", "otdel", "0", "otdel: недопустимое значение 0"},
        {"60", "otdel", "251", "otdel: недопустимое значение 251"},
        {"60", "grup", "-5", "grup: недопустимое значение -5"},
        {"62", "oklad", "-500", "oklad: недопустимое значение -500"},
        {"60", "tarifs", "20000.5", "tarifs: недопустимое значение 20000"},
        {"60", "sum3", "-1e300", "sum3: недопустимое значение -1e+300"},
        {"60", "krat2", "-5", "krat2: недопустимое значение -5"},
    };
    {
        dbf::CDbf table(dir.filePath(QStringLiteral("out")));
        exchange::CreateDbfTable(exchange::DbfConstInfo, QStringLiteral("hostile.dbf"), table);
        table.Open(
            codepage::toCp1251(QStringLiteral("INSERT INTO hostile.dbf (tabel,grup,otdel,fio,oklad,stavka) VALUES "
                                              "('60','3','5','Новиков Олег Игоревич','25000.00','1.00')")));
        for (const Hostile& row : rows)
            table.Open(codepage::toCp1251(
                QStringLiteral("INSERT INTO hostile.dbf (tabel,fio,%1) VALUES ('%2','Другой Имя Отчество','%3')")
                    .arg(QLatin1String(row.column), QLatin1String(row.tabel), QLatin1String(row.value))));
        table.Commit(kToday);
    }
    QStringList shown;
    exchange::DbfRunControl control;
    control.showMessage = [&](const QString& text) { shown << text; };
    int created = 0, listChanged = 0;
    EXPECT_EQ(ImportDbfConstInfo(out(QStringLiteral("hostile.dbf")), created, listChanged, target, control), 1);
    EXPECT_EQ(created, 1);
    QStringList said{QStringLiteral("Записи с недопустимыми значениями не загружены:")};
    for (std::size_t i = 0; i < std::size(rows); ++i)
        said << QStringLiteral("Файл hostile.dbf, запись %1 (табельный номер %2), поле %3")
                    .arg(i + 2)
                    .arg(QLatin1String(rows[i].tabel), QString::fromUtf8(rows[i].said));
    EXPECT_EQ(shown, QStringList{said.join(QLatin1Char('\n'))});

    // Nothing of a refused row is in the base: no new employee, no changed value.
    CInfoBase& base = target.infoBase;
    LoadAll(base);
    ASSERT_EQ(base.employeeCount(), 1);
    EXPECT_EQ(base.config.kolRab, 1);
    const int slot = base.list[0].slot;
    LoadEmployee(base, slot);
    EXPECT_EQ(base.current.head.fio, QStringLiteral("Новиков Олег Игоревич"));
    EXPECT_EQ(base.current.head.oklad, 2'500'000);
    EXPECT_EQ(base.current.head.nadbav, 0);
    EXPECT_EQ(base.current.head.stavka, 100);
    EXPECT_EQ(base.current.nalvich[2].sum, 0);
    EXPECT_EQ(base.shopOf(slot), 5);
    EXPECT_EQ(base.attributesOf(slot).brig, 3);
}
