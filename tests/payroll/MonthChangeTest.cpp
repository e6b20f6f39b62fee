// The change of the reporting month over a fixture base stored in a base
// file: what the new month holds, read back from the base, and a change that
// fails halfway leaving base and memory in the old month.
#include "payroll/MonthChange.h"
#include "payroll/ui/RunMonthChange.h"

#include "infobase/BaseWrites.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/FixtureBaseFile.h"
#include "payroll/ScheduleNorm.h"
#include "payroll/Settlement.h"
#include "platform/Db.h"
#include "platform/DbBases.h"
#include "platform/DbTestHooks.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/MonthChange.h"
#include "support/EmptyServerBase.h"
#include "support/RefusingTrigger.h"
#include "support/SlotArrays.h"
#include "support/StoredBase.h"
#include "support/TestBaseName.h"
#include "support/TestFixture.h"
#include "values/Messages.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <tuple>

using namespace kalvor;
using namespace kalvor::infobase;

namespace {

constexpr int kMarch = 2026 * 16 + 3;
constexpr int kApril = 2026 * 16 + 4;

AccrualRow Row(int kod, double sum, int mes, int ch = 0)
{
    AccrualRow r;
    r.kod = u16(kod);
    r.sum = sum;
    r.mes = u16(mes);
    r.spzCh = u16(ch);
    return r;
}

// The row as the run stores it, with the record of its origin and place.
AccrualRow Tagged(AccrualRow row, RowOrigin origin, int place = 0)
{
    row.hrRest = u16(OriginTag(origin, place));
    return row;
}

class MonthChangeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        doc.setWorkFolder(dir.path() + QLatin1Char('/'));
        base().baseName = testsupport::TestBaseName(dir.path(), QStringLiteral("mc"));
        CreateSchemaBase(dir.path(), base().baseName);
        OpenBase(base());
        fx = BuildFixtureBase(base(), 12, 5);
        BuildFixtureRefFiles(doc.refFiles);
        // Cost-allocation group 940 collects the rows of cost code 7.
        PayKind group;
        group.kod = 940;
        group.name = QStringLiteral("Затраты цеха 7");
        group.spzCh = 7;
        base().addPayKind(group);
        for (int slot = 1; slot <= base().slotCount(); ++slot) base().attributesOf(slot).err = 0;
        for (auto& r : fx.records) r.head.flags &= ~0x604u; // no foreign-worker flags
    }
    void TearDown() override
    {
        db::InjectFailureAfter(0);
        CloseBase(base());
    }

    CInfoBase& base() { return doc.infoBase; }
    EmployeeRecord& rec(int slot) { return fx.records[std::size_t(slot - 1)]; }
    EmployeeAttributes& attr(int slot) { return base().attributesOf(slot); }

    void SaveAll() { payrolltest::SaveFixtureToBase(base(), fx); }

    // Everything the base file holds, loaded into a fresh in-memory base.
    void Reload(PayrollDoc& other) { payrolltest::ReloadStored(other, base()); }

    static EmployeeRecord LoadRecord(CInfoBase& b, int slot)
    {
        LoadEmployee(b, slot);
        LoadWarDat(b, slot, 0, 0, 0);
        return b.current;
    }

    // A standing unpaid leave (600) from one day of 2026 to another.
    static PostDoplEntry UnpaidLeave(int firstDay, int firstMonth, int lastDay, int lastMonth)
    {
        PostDoplEntry p;
        p.kod = 600;
        p.dBegin = u8(firstDay);
        p.mBegin = u8(firstMonth);
        p.gBegin = 2026;
        p.dEnd = u8(lastDay);
        p.mEnd = u8(lastMonth);
        p.gEnd = 2026;
        return p;
    }

    // March of the scenario: employee 1 with a group debt, a future row, a
    // loan and two writs; 2 dismissed; 3 with an error; 4 with a standing
    // unpaid leave; 5 with a vacation reaching into April.
    void PrepareMarch()
    {
        // Employee 1: a group debt, a future row, a loan and two writs.
        {
            EmployeeRecord& r = rec(1);
            // The month's calculated rows: salary, tax, the amount to pay, and a
            // group accrual and deduction that leave the group 2,000 roubles short.
            const AccrualRow salary = r.rows[0], tax = r.rows[1], pay = r.rows[2];
            r.rows[1] = salary;
            r.rows[2] = tax;
            r.rows[3] = pay;
            r.rows[4] = Row(101, 1'000'00, 3, 7);
            r.rows[5] = Row(800, 3'000'00, 3, 7);
            r.rows[6] = Row(850, 4'000'00, 3); // the loan's instalment, deducted whole
            r.rows[3].sum -= 4'000'00; // from the pay
            r.rows[60] = Row(300, 500'00, 4); // belongs to April
            r.rows[61] = Row(301, 700'00, 6); // belongs to June
            auto& loan = r.ssud.loans[0];
            loan.kod = 850;
            loan.kvMes = 1;
            loan.sumDolg = 10'000'00;
            loan.mes = {3, 0, 0};
            loan.sum = {4'000'00, 0, 0};
            r.ispol.writs[0].vid = 1;
            r.ispol.writs[0].dataEnd = PackedDate::make(15, 2, 2026).value;
            r.ispol.writs[0].sum = 2'500;
            r.ispol.writs[1].vid = 0;
            r.ispol.writs[1].sum = 3'300;
            r.ispol.writs[1].fio = QStringLiteral("Иванова Мария Петровна");
        }
        // Employee 2 was dismissed in March.
        attr(2).priznUv = 1;
        rec(2).nalvich[0] = NalvichEntry{103, u16(2026 * 16 + 1), 0, 1'400'00, 1};
        rec(2).postDopl[0].kod = 210;
        rec(2).postDopl[0].sum = 1'000'00;
        // Employee 3 enters the change with an error, taken out of the
        // calculation by his status (dismissed before, no bonus lines).
        attr(3).err = 5;
        attr(3).priznUv = 4;
        ASSERT_TRUE(base().prem.replaceRun(3, std::vector<BonusLine>{}));
        // Employee 4: a standing unpaid leave over 10-20 March is recorded in the dated archive.
        rec(4).postDopl[0] = UnpaidLeave(10, 3, 20, 3);
        // Employee 5: a vacation of 14 days from 25 March, 7 of them in April,
        // in calendar days and paid before the month's pay, as the vacation
        // screen enters it.
        {
            VacationNote v;
            v.dBegin = 25;
            v.mBegin = 3;
            v.gBegin = 2026;
            v.dlin = 14;
            v.kalend = 1;
            v.mrp = 1;
            v.sum = 30'000'00;
            ASSERT_TRUE(base().otp.replaceRun(5, std::vector<VacationNote>{v}));
            attr(5).sistOpl = 1;
        }
    }

    // Employee 1 in April: his rows carried, archived, the loan and writs moved on.
    void ExpectEmployeeOneMovedOn(CInfoBase& b)
    {
        // Employee 1.
        const EmployeeRecord r1 = LoadRecord(b, 1);
        const EmployeeAttributes& a1 = b.attributesOf(1);
        ASSERT_EQ(a1.kvProizv, 3);
        // 920 -> 151, the negative balance of group 940, the April row.
        EXPECT_EQ(r1.rows[0].kod, 151);
        EXPECT_EQ(r1.rows[0].sum, rec(1).rows[3].sum);
        EXPECT_EQ(r1.rows[1].kod, 915);
        EXPECT_EQ(r1.rows[1].sum, 2'000'00);
        EXPECT_EQ(r1.rows[1].spzCh, 7);
        EXPECT_EQ(r1.rows[1].mes, 3);
        EXPECT_EQ(r1.rows[2].kod, 300);
        EXPECT_TRUE(r1.rows[3].isEmpty());
        EXPECT_EQ(r1.rows[64].kod, 301); // June waits
        // The archive: the salary, the tax and the group row of March 2026 appended.
        int found101 = 0, found902 = 0;
        for (int i = 0; i < r1.warKv; ++i) {
            const WariaEntry& e = r1.waria[std::size_t(i)];
            if (e.god == 2026 && e.mes == 3 && e.kod == 101 && e.sum == 1'000'00)
                ++found101;
            if (e.god == 2026 && e.mes == 3 && e.kod == 902)
                ++found902;
        }
        EXPECT_EQ(found101, 1);
        EXPECT_EQ(found902, 1);
        EXPECT_EQ(r1.warKv, rec(1).warKv + 3); // 1, 902 and 101; 920 and the deduction 800 are not archived
        // The loan: one month of 4,000 roubles deducted and repaid.
        EXPECT_EQ(r1.ssud.loans[0].sumDolg, 6'000'00);
        EXPECT_EQ(r1.ssud.loans[0].mes[0], 2);
        // The limited writ ended in February; the other stays.
        EXPECT_EQ(r1.ispol.writs[0].sum, 0);
        EXPECT_EQ(r1.ispol.writs[1].sum, 3'300);
        EXPECT_EQ(r1.ispol.writs[1].fio, QStringLiteral("Иванова Мария Петровна"));
        // Rate history one place older.
        EXPECT_EQ(r1.rates[1].rate, rec(1).rates[0].rate);
    }

    // Employees 2-4 in April: the dismissal, the error, the dated archive.
    void ExpectEmployeesTwoToFourMovedOn(CInfoBase& b, double avans4)
    {
        // Employee 2: dismissed, deduction closed at March, standing entries gone, no time sheet.
        const EmployeeRecord r2 = LoadRecord(b, 2);
        EXPECT_EQ(b.attributesOf(2).priznUv, 4);
        EXPECT_EQ(r2.nalvich[0].end, kMarch);
        EXPECT_EQ(r2.postDopl[0].kod, 0);
        EXPECT_EQ(b.tabelOf(2).rabDn, 0);
        EXPECT_EQ(b.avOf(2), 0);

        // Employee 3: his input row carried again, none of his computed rows
        // (the tax 902 and the pay 920 would be paid twice), nothing archived.
        const EmployeeRecord r3 = LoadRecord(b, 3);
        EXPECT_EQ(b.attributesOf(3).err, 5);
        ASSERT_EQ(b.attributesOf(3).kvProizv, 1);
        EXPECT_EQ(r3.rows[0], rec(3).rows[0]);
        EXPECT_TRUE(r3.rows[1].isEmpty());
        EXPECT_EQ(r3.warKv, rec(3).warKv);

        // Employee 4: the unpaid leave is in the dated archive; its entry has ended.
        const EmployeeRecord r4 = LoadRecord(b, 4);
        ASSERT_EQ(b.warDat.warDatKv, 1);
        EXPECT_EQ(b.warDat.entries[0].kod, 600);
        EXPECT_EQ(b.warDat.entries[0].mes, 3);
        EXPECT_EQ(b.warDat.entries[0].god, 26);
        EXPECT_EQ(b.warDat.entries[0].start, PackedDate::make(10, 3, 2026).value);
        EXPECT_EQ(r4.postDopl[0].kod, 0);
        EXPECT_EQ(b.avOf(4), avans4);
    }

    // The schedules one month on and April's time sheets made from them.
    void ExpectAprilTimeSheets(PayrollDoc& after, const WorkSchedule& oldSchedule)
    {
        CInfoBase& b = after.infoBase;
        // Schedules one month on; the new time sheet from schedule rows of April.
        EXPECT_EQ(b.scheduleAt(1).months[14], oldSchedule.months[15]);
        EXPECT_EQ(b.scheduleAt(1).months[21], ScheduleMonth{});
        for (int slot = 4; slot <= 12; ++slot) {
            const EmployeeAttributes& a = b.attributesOf(slot);
            if (a.priznUv != 0 || a.err != 0 || slot == 5)
                continue;
            WorkSchedule s = b.scheduleAt(std::max(1, int(a.graph)));
            int days = 0, minutes = 0;
            ASSERT_EQ(CalcScheduleNorm(15, s, 1, 0, days, minutes, after), 0);
            const TabelRecord& t = b.tabelOf(slot);
            EXPECT_EQ(t.rabDn, days) << slot;
            EXPECT_EQ(t.rabHr, a.sistOpl < 3 ? minutes : 0) << slot;
            EXPECT_EQ(CountDayBits(31, 1, after, slot), days) << slot;
            EXPECT_EQ(t.prDn + t.bezsodDn + t.sverhHr, 0) << slot; // nothing else carried over
        }
        // The vacation takes 1-7 April off the sheet: Wednesday to Tuesday, five working days.
        {
            const EmployeeAttributes& a = b.attributesOf(5);
            WorkSchedule s = b.scheduleAt(std::max(1, int(a.graph)));
            int days = 0, minutes = 0, vd = 0, vm = 0;
            ASSERT_EQ(CalcScheduleNorm(15, s, 1, 0, days, minutes, after), 0);
            ASSERT_EQ(ScheduleNormDayByDay(15, s, 1, 7, vd, vm, after), 0);
            EXPECT_EQ(vd, 5);
            EXPECT_EQ(b.tabelOf(5).rabDn, days - 5);
            EXPECT_EQ(b.tabelOf(5).rabHr, minutes - vm);
            // The vacation's days are unmarked too: the marks are the days.
            EXPECT_EQ(CountDayBits(31, 1, after, 5), days - 5);
            EXPECT_EQ(CountDayBits(7, 1, after, 5), 0);
        }
        // Sick leave and vacations of March are gone; advances of the month cleared.
        EXPECT_EQ(b.bln.usedLines(), 0);
        EXPECT_EQ(b.otp.usedLines(), 0);
        for (double z : EveryPayout(b)) EXPECT_EQ(z, 0);
    }

    QTemporaryDir dir;
    CKalvorDoc doc;
    FixtureBase fx;
};

TEST_F(MonthChangeTest, MovesTheBaseToTheNextMonth)
{
    ASSERT_NO_FATAL_FAILURE(PrepareMarch());
    const WorkSchedule oldSchedule = base().scheduleAt(1);
    const double avans4 = rec(4).head.avans;
    SaveAll();
    ASSERT_EQ(base().config.tekMes, kMarch);

    int steps = 0;
    const int result = MoveEmployeesToNextMonth(
        kApril, [&] { ++steps; }, doc);
    EXPECT_EQ(result, -1); // employee 3
    EXPECT_EQ(steps, 12);
    CloseBase(base());

    PayrollDoc after;
    Reload(after);
    CInfoBase& b = after.infoBase;
    EXPECT_EQ(b.config.tekMes, kApril);

    ASSERT_NO_FATAL_FAILURE(ExpectEmployeeOneMovedOn(b));
    ASSERT_NO_FATAL_FAILURE(ExpectEmployeesTwoToFourMovedOn(b, avans4));
    ASSERT_NO_FATAL_FAILURE(ExpectAprilTimeSheets(after, oldSchedule));
    CloseBase(b);
}

// Employee 5's vacation of 4 calendar days from Monday 27 April 2026 reaches
// the new month's last day, Thursday the 30th: the four working days 27-30
// come off his April sheet and are unmarked, the 24th (a Friday) stays.
TEST_F(MonthChangeTest, AVacationToTheNewMonthsLastDayTakesThatDayOff)
{
    ASSERT_NO_FATAL_FAILURE(PrepareMarch());
    VacationNote v;
    v.dBegin = 27;
    v.mBegin = 4;
    v.gBegin = 2026;
    v.dlin = 4;
    v.kalend = 1;
    ASSERT_TRUE(base().otp.replaceRun(5, std::vector<VacationNote>{v}));
    SaveAll();
    MoveEmployeesToNextMonth(kApril, {}, doc);
    CloseBase(base());

    PayrollDoc after;
    Reload(after);
    CInfoBase& b = after.infoBase;
    WorkSchedule s = b.scheduleAt(std::max(1, int(b.attributesOf(5).graph)));
    int days = 0, minutes = 0;
    ASSERT_EQ(CalcScheduleNorm(15, s, 1, 0, days, minutes, after), 0);
    EXPECT_EQ(b.tabelOf(5).rabDn, days - 4);
    EXPECT_EQ(CountDayBits(31, 1, after, 5), days - 4);
    EXPECT_EQ(CountDayBits(31, 27, after, 5), 0);
    EXPECT_EQ(CountDayBits(24, 24, after, 5), 1);
    CloseBase(b);
}

// Employee 6 works by schedule 20, the book's last, whose April has every
// day working; his standing unpaid leave of 1-5 April takes five days off his
// new sheet, by his own schedule (by the first one's it would be three, the
// 1st to the 3rd: the 4th and 5th are its Saturday and Sunday).
TEST_F(MonthChangeTest, AStandingUnpaidLeaveComesOffTheNewSheetByTheEmployeesOwnSchedule)
{
    ASSERT_NO_FATAL_FAILURE(PrepareMarch());
    attr(6).graph = 20;
    ScheduleMonth& april = base().scheduleAt(20).months[WorkSchedule::ReportingMonth + 1];
    april = {};
    for (int d = 0; d < 30; ++d) april.d[std::size_t(d)] = 8 * 60;
    april.rDn = 30;
    april.rMin = 30 * 8 * 60;
    rec(6).postDopl[0] = UnpaidLeave(1, 4, 5, 4);
    SaveAll();
    MoveEmployeesToNextMonth(kApril, {}, doc);
    CloseBase(base());

    PayrollDoc after;
    Reload(after);
    EXPECT_EQ(after.infoBase.tabelOf(6).rabDn, 25);
    CloseBase(after.infoBase);
}

TEST_F(MonthChangeTest, AFailureHalfwayLeavesTheBaseInTheOldMonth)
{
    SaveAll();
    PayrollDoc before;
    Reload(before);
    std::vector<EmployeeRecord> stored;
    for (const EmployeeListEntry& e : before.infoBase.list) stored.push_back(LoadRecord(before.infoBase, e.slot));
    const auto attributes = EveryAttributes(base());
    const auto tabel = EveryTabel(base());
    const auto schedules = EverySchedule(base());

    // The write breaks while the employees are written (on a base file
    // after a few of them, each written as he is moved; on a server in the
    // group written once all twelve are moved), and again while the common
    // tables are written after every employee has been moved.
    CloseBase(before.infoBase);
    const bool server = db::ServerInUse();
    for (const int failAt : {server ? 20 : 200, server ? 300 : 800}) {
        SCOPED_TRACE(failAt);
        db::InjectFailureAfter(failAt);
        int steps = 0;
        EXPECT_THROW(MoveEmployeesToNextMonth(
                         kApril, [&] { ++steps; }, doc),
                     db::DbError);
        db::InjectFailureAfter(0);
        EXPECT_GT(steps, 0);
        EXPECT_EQ(steps < 12, failAt == 200);

        // Memory is back in March.
        EXPECT_EQ(base().config.tekMes, kMarch);
        EXPECT_EQ(EveryAttributes(base()), attributes);
        EXPECT_EQ(EveryTabel(base()), tabel);
        EXPECT_EQ(EverySchedule(base()), schedules);

        // And so is the base.
        PayrollDoc after;
        after.setWorkFolder(base().workFolder);
        after.infoBase.baseName = base().baseName;
        OpenStoredBase(after.infoBase);
        LoadAll(after.infoBase);
        EXPECT_EQ(after.infoBase.config.tekMes, kMarch);
        EXPECT_EQ(EveryAttributes(after.infoBase), attributes);
        EXPECT_EQ(EveryTabel(after.infoBase), tabel);
        for (std::size_t i = 0; i < after.infoBase.list.size(); ++i)
            EXPECT_EQ(LoadRecord(after.infoBase, after.infoBase.list[i].slot), stored[i]) << i;
    }
}

TEST_F(MonthChangeTest, AConnectionKilledHalfwayLeavesTheServerBaseInTheOldMonth)
{
    if (!db::ServerInUse())
        GTEST_SKIP() << "a base on a server only";
    SaveAll();
    const auto attributes = EveryAttributes(base());
    const auto tabel = EveryTabel(base());

    // The server ends the connection while the moved employees are written
    // (by groups, once they are all moved).
    db::InjectDisconnectAfter(20);
    int steps = 0;
    try {
        MoveEmployeesToNextMonth(
            kApril, [&] { ++steps; }, doc);
        ADD_FAILURE() << "the month change went through a dropped connection";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.code(), db::E_DB_CONNECTION_LOST);
        EXPECT_EQ(e.message(), QStringLiteral("Связь с сервером базы данных прервана. Изменения не сохранены."));
    }
    db::InjectDisconnectAfter(0);
    EXPECT_EQ(steps, 12);
    EXPECT_EQ(base().config.tekMes, kMarch);

    // The thread's next use connects anew and finds the base in March.
    PayrollDoc after;
    Reload(after);
    EXPECT_EQ(after.infoBase.config.tekMes, kMarch);
    EXPECT_EQ(EveryAttributes(after.infoBase), attributes);
    EXPECT_EQ(EveryTabel(after.infoBase), tabel);
}

// The command with the real mover: the questions ("Нет" the default of
// both), the copy of the base, the progress dialog and the count of error
// situations; the move runs on the dialog's worker.
TEST_F(MonthChangeTest, TheCommandCopiesMovesAndReportsTheErrorSituations)
{
    // An error of an employee the calculation leaves out by his status.
    attr(3).err = 5;
    attr(3).priznUv = 4;
    ASSERT_TRUE(base().prem.replaceRun(3, std::vector<BonusLine>{}));
    // Employee 2 dismissed on 20 March by the date alone: he goes on working,
    // and the change says so by name.
    rec(2).head.datUv1 = PackedDate::make(20, 3, 2026).value;
    attr(2).priznUv = 0;
    SaveAll();
    MessageRecorder boxes; // Yes to every question
    int monthChanged = 0; // the open screens are told
    QObject::connect(&doc, &CKalvorDoc::reportingMonthChanged, [&] { ++monthChanged; });
    EXPECT_EQ(ChangeReportingMonth(doc, nullptr), 1);
    EXPECT_EQ(monthChanged, 1);
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_TRUE(boxes.boxes[0].text.startsWith(QStringLiteral("Изменить отчетный месяц на апрель 2026 года ?")));
    EXPECT_TRUE(boxes.boxes[0].secondIsDefault);
    EXPECT_EQ(boxes.boxes[1].text, QStringLiteral("Хотите ли Вы сделать копию Ваших данных за прошедший месяц ?"));
    EXPECT_TRUE(boxes.boxes[1].secondIsDefault);
    // The outcome names the folder of the copy.
    const QString archive = base().workFolder + QStringLiteral("archive/mc_2026_03/");
    auto named = [&](int slot) {
        const auto entry = std::find_if(base().list.begin(), base().list.end(),
                                        [slot](const EmployeeListEntry& e) { return e.slot == slot; });
        return QStringLiteral("Таб.N %1 %2").arg(entry->tabN()).arg(base().shortNameOf(slot).trimmed());
    };
    EXPECT_EQ(boxes.boxes[2].text,
              QStringLiteral("Ошибочных  ситуаций:  1\nКопия данных за прошедший месяц: %1\n\n"
                             "%2 - предупреждение: Указана дата увольнения 20.03.2026, но не указан признак "
                             "увольнения: переведен в новый месяц как работающий\n"
                             "%3 - ошибка: В данных отчетного месяца обнаружен неизв. код\n\n"
                             // Then what the change made from the schedules' pattern.
                             "Календарь на апрель 2026 года составлен по недельному шаблону графиков: 1, 2 "
                             "(праздники, совпавшие с выходными, перенесены на следующий рабочий день, "
                             "предпраздничные дни сокращены на час). Дни, перенесенные постановлением "
                             "Правительства, внесите в справочник графиков.")
                  .arg(QDir::toNativeSeparators(QDir::cleanPath(archive)), named(2), named(3)));
    EXPECT_EQ(base().config.tekMes, kApril);
    // The copy of March is in the archive folder, in March.
    ASSERT_TRUE(QFileInfo::exists(archive + QStringLiteral("mc.sqlite")));
    CInfoBase copy;
    copy.workFolder = archive;
    copy.baseName = QStringLiteral("mc");
    LoadConfig(copy);
    EXPECT_EQ(copy.config.tekMes, kMarch);
    CloseBase(copy);
    // And the base itself is in April, with nothing saved after the move.
    PayrollDoc after;
    Reload(after);
    EXPECT_EQ(after.infoBase.config.tekMes, kApril);
    EXPECT_EQ(EveryAttributes(after.infoBase), EveryAttributes(base()));
    EXPECT_EQ(EveryTabel(after.infoBase), EveryTabel(base()));
    CloseBase(after.infoBase);
}

// What the change says beyond its error situations: the weekday schedules
// whose new month it made from the weekly pattern (a month the firm typed is
// not named), and, into a year whose law the tax tables do not hold, that
// year.
TEST_F(MonthChangeTest, SaysWhichMonthsItMadeFromThePatternAndAYearWithoutTaxTables)
{
    // April typed into schedule 2: only schedule 1's April is made.
    base().scheduleAt(2).months[16] = base().scheduleAt(2).months[15];
    SaveAll();
    SaveGraph(base());
    MoveEmployeesToNextMonth(kApril, {}, doc);
    EXPECT_EQ(doc.monthChangeNotes,
              QStringList{QStringLiteral(
                  "Календарь на апрель 2026 года составлен по недельному шаблону графиков: 1 (праздники, совпавшие с "
                  "выходными, перенесены на следующий рабочий день, предпраздничные дни сокращены на час). Дни, "
                  "перенесенные постановлением Правительства, внесите в справочник графиков.")});
    // 30 April, before the 1 May holiday, an hour shorter: 22 days, 175 hours.
    EXPECT_EQ(base().scheduleAt(1).months[15].rDn, 22);
    EXPECT_EQ(base().scheduleAt(1).months[15].rMin, 175 * 60);
    EXPECT_EQ(base().scheduleAt(1).months[15].d[29], 7 * 60);

    // December to January 2027: the fixture's tables are those of 2026.
    base().config.tekMes = u16(2026 * 16 + 12);
    SaveConfig(base()); // the base is moved only from the month it holds
    base().scheduleAt(2).months[16] = base().scheduleAt(2).months[15];
    MoveEmployeesToNextMonth(2027 * 16 + 1, {}, doc);
    ASSERT_EQ(doc.monthChangeNotes.size(), 2);
    EXPECT_TRUE(doc.monthChangeNotes[0].startsWith(
        QStringLiteral("Календарь на январь 2027 года составлен по недельному шаблону графиков: 1 (")));
    EXPECT_EQ(doc.monthChangeNotes[1], QStringLiteral("Справочник налогов не содержит таблиц на 2027 год"));
}

// While an employee's calculation stands failed the command names him (number,
// name, the error) before anything is asked, and neither the command nor the
// move changes anything; errors that pass with the month, and an employee
// the calculation leaves out by his status, do not hold the change.
TEST_F(MonthChangeTest, TheChangeWaitsForEveryFailedCalculation)
{
    attr(3).err = 33;
    attr(5).err = 24; // passes with the month
    attr(7).err = 5;
    attr(7).priznUv = 4; // dismissed before, no bonus lines: not computed
    ASSERT_TRUE(base().prem.replaceRun(7, std::vector<BonusLine>{}));
    SaveAll();
    const auto entry =
        std::find_if(base().list.begin(), base().list.end(), [](const EmployeeListEntry& e) { return e.slot == 3; });
    const QString expected =
        QStringLiteral("Переход на следующий месяц не выполнен: расчет работников ниже завершился ошибкой.\n"
                       "Исправьте их данные и рассчитайте месяц снова (или укажите признак увольнения), "
                       "затем повторите переход.\n\nТаб.N %1 %2 - ошибка: Не указана дата рождения")
            .arg(entry->tabN())
            .arg(base().shortNameOf(3).trimmed());
    MessageRecorder boxes;
    EXPECT_EQ(ChangeReportingMonth(doc, nullptr), -1);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, expected);
    try {
        MoveEmployeesToNextMonth(kApril, {}, doc);
        ADD_FAILURE() << "the month changed over a failed calculation";
    } catch (const TextError& e) {
        EXPECT_EQ(e.message(), expected);
    }
    EXPECT_EQ(base().config.tekMes, kMarch);
    PayrollDoc after;
    Reload(after);
    EXPECT_EQ(after.infoBase.config.tekMes, kMarch);
    CloseBase(after.infoBase);

    // Mended and computed (his error code cleared), the change goes through.
    attr(3).err = 0;
    SaveAll();
    boxes.boxes.clear();
    EXPECT_EQ(ChangeReportingMonth(doc, nullptr), 1); // employee 7's error
    EXPECT_EQ(base().config.tekMes, kApril);
}

// Another writer changed the base after the program read it (its generation
// raised, its month still the one in memory): the command says so in its
// first and only box, before the question, and makes no copy of the month;
// the base and memory stay in the old month.
TEST_F(MonthChangeTest, ABaseThatMovedUnderMemoryIsSaidBeforeTheQuestionAndNothingIsCopied)
{
    SaveAll();
    // Another connection's write: no transaction of this program.
    db::Execute(Db(base()), QStringLiteral("UPDATE dbo.config SET generation = generation + 1"));
    MessageRecorder boxes; // Yes to every question
    EXPECT_EQ(ChangeReportingMonth(doc, nullptr), -1);
    ASSERT_EQ(boxes.boxes.size(), 1u) << boxes.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(boxes.boxes[0].text, QString::fromUtf8(kBaseMovedText));
    EXPECT_EQ(boxes.boxes[0].flags, MB_OK | MB_ICONWARNING);
    EXPECT_FALSE(QFileInfo::exists(base().workFolder + QStringLiteral("archive")));
    EXPECT_EQ(base().config.tekMes, kMarch);
    PayrollDoc after;
    Reload(after);
    EXPECT_EQ(after.infoBase.config.tekMes, kMarch);
    CloseBase(after.infoBase);
}

// On a server the month's copy is the server's archive of the base, which
// restores into a base in the old month.
TEST_F(MonthChangeTest, TheServerBaseCopyIsTheServersArchive)
{
    if (!db::ServerInUse())
        GTEST_SKIP() << "a base on a server only";
    SaveAll();
    MessageRecorder boxes; // Yes to every question
    EXPECT_EQ(ChangeReportingMonth(doc, nullptr), 0); // no error situations
    EXPECT_EQ(base().config.tekMes, kApril);
    const QString archive = base().workFolder + QStringLiteral("archive/%1_2026_03/").arg(base().baseName);
    const QString dump = archive + db::ServerDatabaseOf(BaseFile(base())) + QStringLiteral(".dump");
    ASSERT_TRUE(QFileInfo::exists(dump));

    const QString copyName = testsupport::TestBaseName(dir.path(), QStringLiteral("mc_march"));
    const QString copyDatabase = db::ServerDatabaseOf(BaseFilePath(base().workFolder, copyName));
    if (db::ServerBaseExists(copyDatabase))
        db::DropServerBase(copyDatabase);
    testsupport::MakeEmptyServerBase(copyDatabase);
    db::RestoreServerBase(dump, copyDatabase);
    CInfoBase copy;
    copy.workFolder = base().workFolder;
    copy.baseName = copyName;
    LoadConfig(copy);
    EXPECT_EQ(copy.config.tekMes, kMarch);
    CloseBase(copy);
    db::DropServerBase(copyDatabase);
}

// "Нет" to the month question does nothing; a copy that fails says why, and
// "Нет" to going on without it says that the month stays.
TEST_F(MonthChangeTest, NoOrAFailedCopyLeavesTheMonthAndSaysSo)
{
    SaveAll();
    MessageRecorder boxes;
    boxes.answer = IDNO;
    EXPECT_EQ(ChangeReportingMonth(doc, nullptr), -1);
    EXPECT_EQ(boxes.boxes.size(), 1u);

    // A file named "archive" stands where the archive folder goes.
    QFile blocker(base().workFolder + QStringLiteral("archive"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    boxes.boxes.clear();
    int asked = 0;
    SetMessageBoxHandler([&](const MessageBoxRequest& r) {
        boxes.boxes.push_back({r.text, r.buttons | r.icon, r.secondIsDefault});
        return r.buttons == MB_OK ? IDOK : ++asked <= 2 ? IDYES : IDNO;
    });
    EXPECT_EQ(ChangeReportingMonth(doc, nullptr), -1);
    ASSERT_EQ(boxes.boxes.size(), 4u);
    const QString failed = boxes.boxes[2].text;
    EXPECT_TRUE(failed.startsWith(QStringLiteral("Извините, сжатие Вашей базы не может быть выполнено\n")));
    EXPECT_TRUE(failed.endsWith(QStringLiteral("\nПродолжать?...")));
    EXPECT_TRUE(failed.contains(QStringLiteral("Ошибка записи в файл"))) << failed.toStdString();
    EXPECT_TRUE(boxes.boxes[2].secondIsDefault);
    EXPECT_EQ(boxes.boxes[3].text, QStringLiteral("Переход на следующий месяц отменен. Отчетный месяц не изменен."));
    EXPECT_EQ(base().config.tekMes, kMarch);
    PayrollDoc after;
    Reload(after);
    EXPECT_EQ(after.infoBase.config.tekMes, kMarch);
    CloseBase(after.infoBase);
}

// A deduction entered for March (907) larger than what is left to pay: the
// run took 26,100.00 of its 30,000.00 (the salary of 30,000.00 less the tax
// of 3,900.00), so the rest, 30,000.00 - 26,100.00 = 3,900.00, comes to April
// as the employee's debt (915 of March). Employee 7's deduction of 1,000.00
// was taken whole: no debt, and his amount to pay of 30,000.00 - 3,900.00 -
// 1,000.00 = 25,100.00 comes back as 151.
TEST_F(MonthChangeTest, AnEnteredDeductionsRestIsCarriedAsTheDebt)
{
    const auto month = [&](int slot, double entered, double taken, double pay) {
        EmployeeRecord& r = rec(slot);
        r.rows = {};
        r.rows[0] = Row(907, entered, 3);
        r.rows[1] = Row(1, 30'000'00, 3);
        r.rows[2] = Row(902, 3'900'00, 3);
        r.rows[3] = Row(907, taken, 3);
        if (pay != 0)
            r.rows[4] = Row(920, pay, 3);
        attr(slot).kvProizv = 1;
    };
    month(6, 30'000'00, 26'100'00, 0);
    month(7, 1'000'00, 1'000'00, 25'100'00);
    SaveAll();
    MoveEmployeesToNextMonth(
        kApril, [] {}, doc);
    CloseBase(base());

    PayrollDoc after;
    Reload(after);
    CInfoBase& b = after.infoBase;
    ASSERT_EQ(b.config.tekMes, kApril);
    const EmployeeRecord r6 = LoadRecord(b, 6);
    ASSERT_EQ(b.attributesOf(6).kvProizv, 1);
    EXPECT_EQ(r6.rows[0].kod, 915);
    EXPECT_EQ(r6.rows[0].sum, 3'900'00);
    EXPECT_EQ(r6.rows[0].mes, 3);
    EXPECT_TRUE(r6.rows[1].isEmpty());
    const EmployeeRecord r7 = LoadRecord(b, 7);
    ASSERT_EQ(b.attributesOf(7).kvProizv, 1);
    EXPECT_EQ(r7.rows[0].kod, 151);
    EXPECT_EQ(r7.rows[0].sum, 25'100'00);
    EXPECT_TRUE(r7.rows[1].isEmpty());
    CloseBase(b);
}

// Two claims of one code, each carried by what its own row took (the record
// the run keeps with each row, OriginTag). Both months: a salary of
// 50,000.00 and its tax of 6,500.00 leave 43,500.00 to pay.
// Employee 6: an alimony writ of 25 % takes 43,500.00 x 25 % = 10,875.00
// (911); 40,000.00 of arrears entered under the same 911 take the 32,625.00
// left (43,500.00 - 10,875.00). What the entered row did not take,
// 40,000.00 - 32,625.00 = 7,375.00, comes to April as his debt (915); the
// writ's row is none of it.
// Employee 8: a loan under 810 of 60,000.00 at 30,000.00 a month beside
// 20,000.00 entered under 810: the entered row takes 20,000.00 and the
// loan's row the 23,500.00 left. The loan's debt falls by what its own row
// took, to 60,000.00 - 23,500.00 = 36,500.00, the 6,500.00 of the month's
// instalment still owed and the stage's month still due; the entered row
// was taken whole, so no debt. (Read by code, the loan would have taken all
// 43,500.00 of 810: its whole instalment, and 6,500.00 lost.)
TEST_F(MonthChangeTest, TwoClaimsOfOneCodeCarryWhatEachOfTheirOwnRowsLeft)
{
    {
        EmployeeRecord& r = rec(6);
        r.rows = {};
        r.rows[0] = Row(911, 40'000'00, 3);
        r.rows[1] = Row(1, 50'000'00, 3);
        r.rows[2] = Row(902, 6'500'00, 3);
        r.rows[3] = Tagged(Row(911, 10'875'00, 3), RowOrigin::Writ, 0);
        r.rows[4] = Tagged(Row(911, 32'625'00, 3), RowOrigin::Entered, 0);
        attr(6).kvProizv = 1;
    }
    {
        EmployeeRecord& r = rec(8);
        r.rows = {};
        r.rows[0] = Row(810, 20'000'00, 3);
        r.rows[1] = Row(1, 50'000'00, 3);
        r.rows[2] = Tagged(Row(810, 20'000'00, 3), RowOrigin::Entered, 0);
        r.rows[3] = Tagged(Row(810, 23'500'00, 3), RowOrigin::Loan, 0);
        r.rows[4] = Row(902, 6'500'00, 3);
        r.ssud.loans[0] = SsudBlock::Loan{};
        auto& loan = r.ssud.loans[0];
        loan.kod = 810;
        loan.sumDolg = 60'000'00;
        loan.kvMes = 1;
        loan.mes = {2, 0, 0};
        loan.sum = {30'000'00, 0, 0};
        attr(8).kvProizv = 1;
    }
    SaveAll();
    MoveEmployeesToNextMonth(
        kApril, [] {}, doc);
    CloseBase(base());

    PayrollDoc after;
    Reload(after);
    CInfoBase& b = after.infoBase;
    ASSERT_EQ(b.config.tekMes, kApril);
    const EmployeeRecord r6 = LoadRecord(b, 6);
    ASSERT_EQ(b.attributesOf(6).kvProizv, 1);
    EXPECT_EQ(r6.rows[0].kod, 915);
    EXPECT_EQ(r6.rows[0].sum, 7'375'00);
    const EmployeeRecord r8 = LoadRecord(b, 8);
    EXPECT_EQ(b.attributesOf(8).kvProizv, 0);
    EXPECT_EQ(r8.ssud.loans[0].kod, 810);
    EXPECT_EQ(r8.ssud.loans[0].sumDolg, 36'500'00);
    EXPECT_EQ(r8.ssud.loans[0].mes[0], 2);
    CloseBase(b);
}

// A standing deduction's rest comes to April as the employee's debt by the
// row the run recorded for it among the rows of later months
// (EngineSettlement.AStandingDeductionsRestIsRecordedAsTheNextMonthsDebt),
// and by nothing else. March as the run stores it: a salary of 10,000.00,
// its tax of 1,300.00 and a standing deduction of 12,000.00 (810) that took
// the 8,700.00 left; the rest, 3,300.00, recorded for April. The accruals
// (10,000.00) are the deductions (1,300.00 + 8,700.00): the month leaves no
// debt of its own, so April enters the 3,300.00 once, and what the deduction
// asked is what it took and what April carries: 8,700.00 + 3,300.00 =
// 12,000.00.
TEST_F(MonthChangeTest, AStandingDeductionsRestComesAsTheNewMonthsDebt)
{
    const double asked = 12'000'00, took = 8'700'00;
    EmployeeRecord& r = rec(6);
    r.rows = {};
    r.rows[0] = Tagged(Row(4, 10'000'00, 3), RowOrigin::Computed);
    r.rows[1] = Tagged(Row(810, took, 3), RowOrigin::Permanent, 0);
    r.rows[2] = Tagged(Row(902, 1'300'00, 3), RowOrigin::Tax);
    r.rows[60] = Tagged(Row(915, 3'300'00, 4), RowOrigin::StandingDebt);
    r.postDopl = {};
    r.postDopl[0].kod = 810;
    r.postDopl[0].sum = asked;
    attr(6).kvProizv = 0;
    SaveAll();
    MoveEmployeesToNextMonth(
        kApril, [] {}, doc);
    CloseBase(base());

    PayrollDoc after;
    Reload(after);
    CInfoBase& b = after.infoBase;
    ASSERT_EQ(b.config.tekMes, kApril);
    const EmployeeRecord r6 = LoadRecord(b, 6);
    ASSERT_EQ(b.attributesOf(6).kvProizv, 1);
    EXPECT_EQ(r6.rows[0].kod, 915);
    EXPECT_EQ(r6.rows[0].sum, 3'300'00);
    EXPECT_EQ(r6.rows[0].mes, 4);
    EXPECT_TRUE(r6.rows[1].isEmpty());
    for (int i = 60; i < EmployeeRecord::RowCount; ++i) EXPECT_TRUE(r6.rows[std::size_t(i)].isEmpty()) << i;
    EXPECT_EQ(took + r6.rows[0].sum, asked);
    EXPECT_EQ(r6.postDopl[0].kod, 810); // the standing deduction stands
    CloseBase(b);
}

// A standing entry recalculated (mode 2) takes the month's rows of its code
// out of the pass, a deduction entered under that code among them
// (EngineSettlement.ARecalculatedStandingEntryTakesOutTheDeductionEnteredUnderItsCode):
// March as the run stores it, a salary of 50,000.00, its tax of 6,500.00 and
// the standing 2,000.00 (810), while the 5,000.00 entered under 810 has no
// row. Its own row took nothing, so all of it, 5,000.00, comes to April as
// the employee's debt (915 of March); the month's accruals (50,000.00) pass
// its deductions (8,500.00), so nothing else is carried.
TEST_F(MonthChangeTest, AnEnteredDeductionARecalculatedStandingEntryTookOutIsCarriedWhole)
{
    EmployeeRecord& r = rec(8);
    r.rows = {};
    r.rows[0] = Row(810, 5'000'00, 3);
    r.rows[1] = Tagged(Row(4, 50'000'00, 3), RowOrigin::Computed);
    r.rows[2] = Tagged(Row(810, 2'000'00, 3), RowOrigin::Permanent, 0);
    r.rows[3] = Tagged(Row(902, 6'500'00, 3), RowOrigin::Tax);
    r.postDopl = {};
    r.postDopl[0].kod = 810;
    r.postDopl[0].sum = 2'000'00;
    r.postDopl[0].perer = 2;
    r.ssud.loans = {};
    attr(8).kvProizv = 1;
    SaveAll();
    MoveEmployeesToNextMonth(
        kApril, [] {}, doc);
    CloseBase(base());

    PayrollDoc after;
    Reload(after);
    CInfoBase& b = after.infoBase;
    ASSERT_EQ(b.config.tekMes, kApril);
    const EmployeeRecord r8 = LoadRecord(b, 8);
    ASSERT_EQ(b.attributesOf(8).kvProizv, 1);
    EXPECT_EQ(r8.rows[0].kod, 915);
    EXPECT_EQ(r8.rows[0].sum, 5'000'00);
    EXPECT_EQ(r8.rows[0].mes, 3);
    EXPECT_TRUE(r8.rows[1].isEmpty());
    CloseBase(b);
}

// Whether the month's record was kept is told by the rows themselves: the
// run stores an origin with every row (OriginTag), the month's own rules'
// where no other. Both employees: a salary of 10,000.00 paid out by a
// statement of its own (904, 10,000.00) and its tax of 1,300.00, a loan under
// 904 of 5,000.00 at 1,000.00 a month (a code the loans' screen takes) whose
// row the pay left nothing to: no claim took anything.
// Employee 6, a month of today's program: its rows are read by their record;
// the loan took nothing, so its debt stays 5,000.00 and its month stays due.
// Employee 8, the same month computed before the record was kept (no row
// names an origin): read by code as before, the 10,000.00 of 904 repay the
// month's 1,000.00, to 4,000.00.
// Each carries the net of 10,000.00 - 10,000.00 - 1,300.00 as his debt, 1,300.00.
TEST_F(MonthChangeTest, AMonthWhoseClaimsTookNothingIsToldFromAnOlderOneByItsRows)
{
    for (const int slot : {6, 8}) {
        const bool kept = slot == 6;
        EmployeeRecord& r = rec(slot);
        r.rows = {};
        r.rows[0] = Tagged(Row(4, 10'000'00, 3), kept ? RowOrigin::Computed : RowOrigin::None);
        r.rows[1] = Tagged(Row(902, 1'300'00, 3), kept ? RowOrigin::Tax : RowOrigin::None);
        r.rows[2] = Tagged(Row(904, 10'000'00, 3), kept ? RowOrigin::Computed : RowOrigin::None);
        r.ssud.loans[0] = SsudBlock::Loan{};
        auto& loan = r.ssud.loans[0];
        loan.kod = 904;
        loan.sumDolg = 5'000'00;
        loan.kvMes = 1;
        loan.mes = {2, 0, 0};
        loan.sum = {1'000'00, 0, 0};
        attr(slot).kvProizv = 0;
    }
    SaveAll();
    MoveEmployeesToNextMonth(
        kApril, [] {}, doc);
    CloseBase(base());

    PayrollDoc after;
    Reload(after);
    CInfoBase& b = after.infoBase;
    ASSERT_EQ(b.config.tekMes, kApril);
    for (const auto& [slot, debt, monthsDue] : {std::tuple{6, 5'000'00, 2}, std::tuple{8, 4'000'00, 1}}) {
        SCOPED_TRACE(testing::Message() << "employee " << slot);
        const EmployeeRecord r = LoadRecord(b, slot);
        EXPECT_EQ(r.ssud.loans[0].sumDolg, debt);
        EXPECT_EQ(r.ssud.loans[0].mes[0], monthsDue);
        ASSERT_EQ(b.attributesOf(slot).kvProizv, 1);
        EXPECT_EQ(r.rows[0].kod, 915);
        EXPECT_EQ(r.rows[0].sum, 1'300'00);
    }
    CloseBase(b);
}

// A base without employees moves to the next month all the same.
TEST_F(MonthChangeTest, AnEmptyBaseMovesToTheNextMonth)
{
    base().list.clear();
    SaveAll();
    MessageRecorder boxes;
    int asked = 0;
    SetMessageBoxHandler([&](const MessageBoxRequest& r) {
        boxes.boxes.push_back({r.text, r.buttons | r.icon, r.secondIsDefault});
        return r.buttons == MB_OK ? IDOK : ++asked == 1 ? IDYES : IDNO; // no copy
    });
    EXPECT_EQ(ChangeReportingMonth(doc, nullptr), 0);
    EXPECT_EQ(boxes.boxes.back().text, QStringLiteral("Ошибочных  ситуаций:  0"));
    EXPECT_EQ(base().config.tekMes, kApril);
    PayrollDoc after;
    Reload(after);
    EXPECT_EQ(after.infoBase.config.tekMes, kApril);
    CloseBase(after.infoBase);
}

namespace {

// A second connection of the test to the base file, as another program's.
class OtherConnection {
public:
    explicit OtherConnection(const QString& file) : name(QStringLiteral("other-%1").arg(++serial))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.open();
    }
    ~OtherConnection()
    {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    bool exec(const QString& sql)
    {
        QSqlQuery q(QSqlDatabase::database(name, false));
        const bool ok = q.exec(sql);
        if (!ok)
            ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
        return ok;
    }
    QStringList tables()
    {
        QStringList names;
        QSqlQuery q(QSqlDatabase::database(name, false));
        q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'"));
        while (q.next()) names << q.value(0).toString();
        return names;
    }
    // Every write into the table fails from now on, as a full disk would make it.
    void breakTable(const QString& table)
    {
        for (const char* op : {"INSERT", "UPDATE", "DELETE"})
            exec(QStringLiteral(
                     "CREATE TRIGGER broken_%1_%2 BEFORE %2 ON \"%1\" BEGIN SELECT RAISE(ABORT, 'injected'); END")
                     .arg(table, QLatin1String(op)));
    }
    void mendTable(const QString& table)
    {
        for (const char* op : {"INSERT", "UPDATE", "DELETE"})
            exec(QStringLiteral("DROP TRIGGER IF EXISTS broken_%1_%2").arg(table, QLatin1String(op)));
    }

private:
    static inline int serial = 0;
    QString name;
};

} // namespace

// Every table the change writes is written in its one transaction: a write
// that fails in any of them leaves the base and the memory in the old month.
TEST_F(MonthChangeTest, AFailedWriteOfAnyTableLeavesBaseAndMemoryInTheOldMonth)
{
    SaveAll();
    const QString file = BaseFile(base());
    const QString pristine = dir.path() + QStringLiteral("/pristine.sqlite");
    db::BackupFileTo(file, pristine);
    const auto attributes = EveryAttributes(base());
    const auto tabel = EveryTabel(base());
    const auto schedules = EverySchedule(base());
    QStringList failing, untouched;
    for (const QString& table : OtherConnection(file).tables()) {
        SCOPED_TRACE(table.toStdString());
        {
            OtherConnection breaker(file);
            breaker.breakTable(table);
            try {
                MoveEmployeesToNextMonth(kApril, {}, doc);
                untouched << table;
            } catch (const db::DbError&) {
                failing << table;
            }
            breaker.mendTable(table);
        }
        if (untouched.contains(table)) {
            // Back to March from the copy for the next table.
            CloseBase(base());
            QFile::remove(file + QStringLiteral("-wal"));
            QFile::remove(file + QStringLiteral("-shm"));
            ASSERT_TRUE(QFile::remove(file));
            ASSERT_TRUE(QFile::copy(pristine, file));
            OpenBase(base());
            LoadAll(base());
            continue;
        }
        EXPECT_EQ(base().config.tekMes, kMarch);
        EXPECT_EQ(EveryAttributes(base()), attributes);
        EXPECT_EQ(EveryTabel(base()), tabel);
        EXPECT_EQ(EverySchedule(base()), schedules);
        PayrollDoc after;
        Reload(after);
        EXPECT_EQ(after.infoBase.config.tekMes, kMarch);
        EXPECT_EQ(EveryAttributes(after.infoBase), attributes);
        CloseBase(after.infoBase);
    }
    // The tables of the employees and of the month are among them.
    for (const char* table :
         {"config", "konst", "proizv", "waria", "comp", "tabel", "graph", "AvZar1", "entree", "ceh"})
        EXPECT_TRUE(failing.contains(QLatin1String(table)))
            << table << " untouched: " << untouched.join(QLatin1Char(' ')).toStdString();
}

// The base's write lock held by another program during the change: the
// screen stays responsive, the change fails with the database's message and
// nothing has moved.
TEST_F(MonthChangeTest, ABaseLockedByAnotherProgramLeavesTheOldMonthAndAResponsiveScreen)
{
    SaveAll();
    OtherConnection other(BaseFile(base()));
    ASSERT_TRUE(other.exec(QStringLiteral("BEGIN IMMEDIATE")));
    MessageRecorder boxes;
    int asked = 0;
    SetMessageBoxHandler([&](const MessageBoxRequest& r) {
        boxes.boxes.push_back({r.text, r.buttons | r.icon, r.secondIsDefault});
        return r.buttons == MB_OK ? IDOK : ++asked == 1 ? IDYES : IDNO; // no copy
    });
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(50);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(ChangeReportingMonth(doc, nullptr), -1);
    // The event loop turned throughout the wait for the lock.
    EXPECT_GE(ticks, int(clock.elapsed() / 50) / 2);
    ASSERT_FALSE(boxes.boxes.empty());
    EXPECT_TRUE(boxes.boxes.back().text.startsWith(QString::fromUtf8(kMonthChangeFailedText)))
        << boxes.boxes.back().text.toStdString();
    EXPECT_EQ(base().config.tekMes, kMarch);
    other.exec(QStringLiteral("ROLLBACK"));
    PayrollDoc after;
    Reload(after);
    EXPECT_EQ(after.infoBase.config.tekMes, kMarch);
    CloseBase(after.infoBase);
}

WariaEntry archiveEntry(int code, double sum)
{
    WariaEntry e;
    e.kod = std::uint16_t(code);
    e.sum = sum;
    return e;
}

TEST(MonthChangeRules, LoansArchiveYearsSickLeaveCodesAndTables)
{
    PayrollDoc doc;
    // Two parts: 2 months of 300 and 4 of 500, three months due: 300 + 300 + 500.
    auto& loan = doc.infoBase.current.ssud.loans[1];
    loan.kod = 851;
    loan.kvMes = 3;
    loan.sumDolg = 5'000;
    loan.mes = {2, 4, 0};
    loan.sum = {300, 500, 0};
    EXPECT_EQ(monthchange::RepayLoan(doc, 1), 1'100);
    EXPECT_EQ(loan.sumDolg, 3'900);
    EXPECT_EQ(loan.mes[0], 0);
    EXPECT_EQ(loan.sum[0], 0);
    EXPECT_EQ(loan.mes[1], 3);
    // The month's rows took 700 of the 800 due (the amount to pay had no
    // more room): the debt goes down by 700 and the parts keep their months.
    EXPECT_EQ(monthchange::RepayLoan(doc, 1, 700), 700);
    EXPECT_EQ(loan.sumDolg, 3'200);
    EXPECT_EQ(loan.mes[1], 3);
    EXPECT_EQ(loan.sum[1], 500);
    // Nothing taken: nothing repaid; the whole instalment taken: as due.
    EXPECT_EQ(monthchange::RepayLoan(doc, 1, 0), 0);
    EXPECT_EQ(loan.sumDolg, 3'200);
    EXPECT_EQ(monthchange::RepayLoan(doc, 1, 1'500), 1'500);
    EXPECT_EQ(loan.sumDolg, 1'700);
    EXPECT_EQ(loan.mes[1], 0);
    // The last repayment is cut to the debt and clears the loan.
    loan.mes[1] = 3;
    loan.sum[1] = 500;
    loan.sumDolg = 800;
    EXPECT_EQ(monthchange::RepayLoan(doc, 1), 800);
    EXPECT_EQ(loan.kod, 0);

    const int nov = 2026 * 16 + 11;
    EXPECT_EQ(monthchange::ArchiveYear(1, 11, nov), 2026);
    EXPECT_EQ(monthchange::ArchiveYear(1, 2, nov), 2027); // one of the next five months
    EXPECT_EQ(monthchange::ArchiveYear(1, 6, nov), 2026); // earlier in the year
    EXPECT_EQ(monthchange::ArchiveYear(1, 12, kMarch), 2025);
    EXPECT_EQ(monthchange::ArchiveYear(157, 12, kMarch), 2026);
    EXPECT_EQ(monthchange::ArchiveYear(157, 1, kMarch), 2027);

    EXPECT_EQ(monthchange::SickLeaveArchiveCode(0, 0), 156);
    EXPECT_EQ(monthchange::SickLeaveArchiveCode(3, -1), 155);
    EXPECT_EQ(monthchange::SickLeaveArchiveCode(1, 1), 197);
    EXPECT_EQ(monthchange::SickLeaveArchiveCode(10, -1), 695);
    EXPECT_EQ(monthchange::SickLeaveArchiveCode(2, 1), 159);
    EXPECT_EQ(monthchange::SickLeaveArchiveCode(2, -1), 158);
    EXPECT_EQ(monthchange::SickLeaveArchiveCode(7, 1), 170);
    EXPECT_EQ(monthchange::SickLeaveArchiveCode(11, 0), 156);

    // December to January: last year's table takes this year's.
    auto& c = doc.infoBase.config;
    for (int i = 0; i < 12; ++i) c.mrot[std::size_t(i)] = 100 + i;
    monthchange::ShiftMonthlyTables(doc, 2027 * 16 + 1);
    EXPECT_EQ(c.mrotPrev[11], 111);
    EXPECT_EQ(c.mrot[0], 111);
    EXPECT_EQ(c.mrot[1], 0);
    // April: the empty slots before it take the slot before them; a month
    // ahead keeps its minimum wage, an empty one takes the last before it
    // when the base reaches it.
    c.mrot[1] = 0;
    c.mrot[2] = 130;
    c.mrot[5] = 7;
    monthchange::ShiftMonthlyTables(doc, 2027 * 16 + 4);
    EXPECT_EQ(c.mrot[1], 111);
    EXPECT_EQ(c.mrot[2], 130);
    EXPECT_EQ(c.mrot[3], 130);
    EXPECT_EQ(c.mrot[4], 0);
    EXPECT_EQ(c.mrot[5], 7);
    monthchange::ShiftMonthlyTables(doc, 2027 * 16 + 7);
    EXPECT_EQ(c.mrot[4], 130);
    EXPECT_EQ(c.mrot[5], 7);
    EXPECT_EQ(c.mrot[6], 7);
    EXPECT_EQ(c.mrot[7], 0);

    // The archive holds 1,200 entries: the 1,200th joins, the 1,201st drops the oldest.
    EmployeeRecord rec;
    for (int i = 0; i < 1'199; ++i) monthchange::AppendArchiveEntry(rec, archiveEntry(1, 100 + i));
    monthchange::AppendArchiveEntry(rec, archiveEntry(2, 5));
    EXPECT_EQ(rec.warKv, 1'200);
    EXPECT_EQ(rec.waria[0].sum, 100);
    EXPECT_EQ(rec.waria[1'199].kod, 2);
    monthchange::AppendArchiveEntry(rec, archiveEntry(3, 7));
    EXPECT_EQ(rec.warKv, 1'200);
    EXPECT_EQ(rec.waria[0].sum, 101);
    EXPECT_EQ(rec.waria[1'198].kod, 2);
    EXPECT_EQ(rec.waria[1'199].kod, 3);
    EXPECT_EQ(rec.waria[1'199].sum, 7);

    // More than 21 months: every schedule row is empty.
    doc.infoBase.scheduleAt(4).months[15].rDn = 20;
    monthchange::ShiftSchedules(doc, 22);
    for (const ScheduleMonth& m : doc.infoBase.scheduleAt(4).months) EXPECT_EQ(m, ScheduleMonth{});
}

} // namespace

// The base refuses one employee's rows in the new month (a trigger on his
// master row): the change is not made, the base and the program stay in the
// old month, and the box names the month, the employee refused (Таб.N and
// name) and the base's own line, in a few lines without the statement and
// without asking to try again.
TEST_F(MonthChangeTest, ARefusalOfOneEmployeesRowsNamesHimAndLeavesTheOldMonth)
{
    SaveAll();
    const auto attributes = EveryAttributes(base());
    const auto tabel = EveryTabel(base());
    const EmployeeListEntry victim = base().list[4];
    const QString words = QStringLiteral("Работник переводится приказом отдела кадров");
    MessageRecorder boxes;
    int asked = 0;
    SetMessageBoxHandler([&](const MessageBoxRequest& r) {
        boxes.boxes.push_back({r.text, r.buttons | r.icon, r.secondIsDefault});
        return r.buttons == MB_OK ? IDOK : ++asked == 1 ? IDYES : IDNO; // no copy
    });
    {
        const testsupport::RefusingTrigger refusal(Db(base()), QStringLiteral("konst"), words,
                                                   QStringLiteral("NEW.rec = %1").arg(victim.slot));
        EXPECT_EQ(ChangeReportingMonth(doc, nullptr), -1);
    }
    ASSERT_FALSE(boxes.boxes.empty());
    const QString said = boxes.boxes.back().text;
    EXPECT_EQ(said, QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nПереход на апрель 2026 года не записан в базу данных; отчетный "
                                   "месяц не изменен.\nРаботник Таб.N %1 %2 не переведен в новый месяц.\nБаза "
                                   "данных отказала в записи: %3")
                        .arg(victim.tabN())
                        .arg(base().shortNameOf(victim.slot).trimmed(), words));
    // A short name ends with its initials' period: no second one follows it.
    EXPECT_FALSE(said.contains(QStringLiteral(".."))) << said.toStdString();
    EXPECT_TRUE(testsupport::SaysNoStatement(said)) << said.toStdString();
    EXPECT_EQ(base().config.tekMes, kMarch);
    EXPECT_EQ(EveryAttributes(base()), attributes);
    PayrollDoc after;
    Reload(after);
    EXPECT_EQ(after.infoBase.config.tekMes, kMarch);
    EXPECT_EQ(EveryAttributes(after.infoBase), attributes);
    EXPECT_EQ(EveryTabel(after.infoBase), tabel);
    CloseBase(after.infoBase);

    // Without the trigger the same change goes through.
    asked = 0;
    EXPECT_GE(ChangeReportingMonth(doc, nullptr), 0);
    EXPECT_EQ(base().config.tekMes, kApril);
}
