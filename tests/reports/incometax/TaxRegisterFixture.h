#pragma once
// A small base for the income-tax register's tests: five employees of 2011
// (see the class), the base's month April 2011, the register's period the
// first quarter.
#include "reports/incometax/TaxRegister.h"

#include "infobase/InfoBaseDb.h"
#include "platform/DocumentOpener.h"
#include "support/TestFixture.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace kalvor::reports::testing {

using namespace kalvor::infobase;

inline u16 date(int day, int month, int year) { return PackedDate::make(day, month, year).value; }
inline double rub(double roubles) { return roubles * 100; }

template <class Doc = PayrollDoc>
// Five employees; the base's month is April 2011, the register covers the
// first quarter of 2011 unless a test moves it.
//   0 Орлов: 30,000 a month all year, tax 3,900 a month;
//   1 Ершова: hired on 10 May 2011, paid from May;
//   2 Лебедев: dismissed on 20 February 2011, tax 1,000 in January and
//     February and 500 of a late payment in March;
//   3 Зуева: no income-tax table, tax 700 a month;
//   4 Киселев: dismissed in 2010.
class TaxRegisterBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        doc.setWorkFolder(dir.path());
        CInfoBase& base = doc.infoBase;
        base.baseName = QStringLiteral("registr");
        CreateSchemaBase(dir.path(), base.baseName);
        OpenBase(base);
        FixtureBase fx = BuildFixtureBase(base, 5, 3);
        fx.records[0] = Record(QStringLiteral("Орлов Павел Семенович"), date(10, 2, 2004), 1, 12, 30'000, 3'900);
        fx.records[1] = Record(QStringLiteral("Ершова Нина Львовна"), date(10, 5, 2011), 5, 12, 20'000, 2'600);
        fx.records[2] = Record(QStringLiteral("Лебедев Ян Ильич"), date(12, 1, 2009), 1, 2, 10'000, 1'000);
        fx.records[2].head.datUv1 = date(20, 2, 2011);
        AddMonth(fx.records[2], 3, 0, 500);
        fx.records[3] = Record(QStringLiteral("Зуева Анна Петровна"), date(1, 3, 2008), 1, 12, 7'000, 700);
        fx.records[3].head.tabPodoh = 0;
        fx.records[4] = Record(QStringLiteral("Киселев Олег Ильич"), date(1, 3, 2008), 1, 12, 9'000, 900);
        fx.records[4].head.datUv1 = date(31, 12, 2010);
        for (int slot = 1; slot <= base.slotCount(); ++slot) base.attributesOf(slot).kvProizv = 0;
        base.config.tekMes = u16(MonthKey(2011, 4).value());
        base.config.r_g = 111;
        base.config.r_m1 = 1;
        base.config.r_m2 = 3;
        SaveAll(base, fx.records);
    }
    void TearDown() override
    {
        CloseBase(doc.infoBase);
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    }
    static void AddMonth(EmployeeRecord& rec, int month, double pay, double tax)
    {
        for (const auto& [kod, sum] : {std::pair{u16(1), pay}, std::pair{u16(902), tax}}) {
            if (sum == 0)
                continue;
            WariaEntry& e = rec.waria[rec.warKv++];
            e.kod = kod;
            e.sum = rub(sum);
            e.god = 2011;
            e.mes = u16(month);
            e.dn = 20;
        }
    }
    static EmployeeRecord Record(const QString& name, u16 hired, int from, int to, double pay, double tax)
    {
        EmployeeRecord rec;
        rec.head.fio = name;
        rec.head.datR = date(1, 1, 1975);
        rec.head.datPr1 = hired;
        rec.head.stavka = 100;
        rec.head.tabPodoh = 1;
        for (int month = from; month <= to; ++month) AddMonth(rec, month, pay, tax);
        return rec;
    }
    std::vector<double> withheldRoubles()
    {
        RegisterArea area(doc);
        std::vector<double> sums;
        for (int month = 0; month < kRegisterMonths; ++month) sums.push_back(area.withheld(month) / 100);
        return sums;
    }

    QTemporaryDir dir;
    Doc doc;
};

} // namespace kalvor::reports::testing
