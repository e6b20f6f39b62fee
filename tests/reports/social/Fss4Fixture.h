#pragma once
// A small base for the 4-FSS settlement tests of both forms: six employees
// paid from January to June of the report year, the base standing in July.
//
//   Антонов   30,000 a month; one-off benefits 165 and 166 in January, an
//             injury benefit (4 days) and 167 (2 days) in February, 168 and
//             care for a second child (170) in March
//   Белова    25,000; five days of sick pay in February
//   Волков    20,000; disabled since May of the year before
//   Жуков     200,000: passes the yearly cap in March
//   Козлова   10,000 at half rate; budget sick pay (2 days) in January,
//             budget care leave (651, 10 days) in February, maternity pay
//             (30 days) and care for a first child (169) in March
//   Дмитриев  20,000 in January and February, dismissed on 15 February
//
// Social insurance 2.9 %, accidents 0.2 % (60 % of it for the disabled).
#include "infobase/InfoBaseDb.h"
#include "platform/WorkingFolder.h"
#include "reports/social/InvalRecord.h"
#include "reports/social/PensionContributions.h"
#include "support/TestFixture.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace kalvor::reports::testing {

using infobase::u16;
using infobase::u8;

inline std::vector<double> Values(const GenrValueArray& v, int first, int count)
{
    return std::vector<double>(v.begin() + first, v.begin() + first + count);
}

inline double rub(double roubles) { return roubles * 100; }
inline u16 date(int day, int month, int year) { return PackedDate::make(day, month, year).value; }

constexpr u16 kSalary = 1;
constexpr u16 kSickPay = 155;
constexpr u16 kMaternity = 158;
constexpr u16 kOneOff165 = 165;
constexpr u16 kChildCarePay = 169;
constexpr u16 kInjuryPay = 195;
constexpr u16 kFuneral = 166, kDisabledChildDays = 167, kBirth = 168, kSecondChildCare = 170;
constexpr u16 kBudgetCareLeave = 651; // paid from the federal budget
constexpr u16 kBudgetSickPay = 695;
constexpr u16 kAccidentContribution = 995;

struct Person {
    const char16_t* name;
    const char16_t* sex;
    double salary; // roubles a month
    int lastMonth; // last month paid
    double rate = 100;
    bool disabled = false;
    bool dismissed = false;
};
inline constexpr Person kPeople[] = {
    {u"Антонов Андрей Петрович", u"М", 30'000, 6},
    {u"Белова Бэлла Игоревна", u"Ж", 25'000, 6},
    {u"Волков Виктор Сергеевич", u"М", 20'000, 6, 100, true},
    {u"Жуков Захар Олегович", u"М", 200'000, 6},
    {u"Козлова Кира Павловна", u"ж", 10'000, 6, 50},
    {u"Дмитриев Денис Юрьевич", u"М", 20'000, 2, 100, false, true},
};

// The base over a document of the given kind (the screens' tests need the
// program's own document).
template <class Document>
class Fss4Fixture : public ::testing::Test {
protected:
    explicit Fss4Fixture(int year) : year_(year) {}

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform::SetWorkingFolder(dir.path());
        doc.setWorkFolder(dir.path());
        infobase::CInfoBase& base = doc.infoBase;
        base.baseName = QStringLiteral("fss4");
        infobase::CreateSchemaBase(dir.path(), base.baseName);
        infobase::OpenBase(base);
        infobase::FixtureBase fx = infobase::BuildFixtureBase(base, int(std::size(kPeople)), 5);
        for (std::size_t i = 0; i < std::size(kPeople); ++i) fx.records[i] = record(kPeople[i], i);
        for (int slot = 1; slot <= base.slotCount(); ++slot) base.attributesOf(slot).kvProizv = 0;
        addBenefitKinds(base);
        base.firm.masks[7][kMaternity] = 1;
        base.config.tekMes = u16(MonthKey(year_, 7).value());
        setPeriod(1, 3);
        infobase::SaveAll(base, fx.records);

        doc.refFiles.setFolder(QStringLiteral(KALVOR_DATA_DIR "/"));
        ASSERT_TRUE(doc.refFiles.ReadNalog());
        ASSERT_TRUE(doc.refFiles.ReadSbor());
    }
    void TearDown() override
    {
        infobase::CloseBase(doc.infoBase);
        platform::SetWorkingFolder(QString());
    }
    void setPeriod(int firstMonth, int lastMonth)
    {
        doc.infoBase.config.r_g = u8(year_ - 1900);
        doc.infoBase.config.r_m1 = u8(firstMonth);
        doc.infoBase.config.r_m2 = u8(lastMonth);
    }
    const GenrValueArray& v() const { return doc.GenrValues; }

    QTemporaryDir dir;
    Document doc;

private:
    void addArchive(infobase::EmployeeRecord& rec, u16 kod, double sum, int month, int days = 0) const
    {
        infobase::WariaEntry& e = rec.waria[rec.warKv++];
        e.kod = kod;
        e.sum = sum;
        e.god = u16(year_);
        e.mes = u16(month);
        e.dn = u16(days);
    }
    infobase::EmployeeRecord record(const Person& person, std::size_t index) const
    {
        infobase::EmployeeRecord rec;
        infobase::EmployeeHead& h = rec.head;
        h.fio = QString::fromUtf16(person.name);
        h.pol = QString::fromUtf16(person.sex);
        h.datR = date(1, 1, 1970);
        h.datPr1 = date(1, 3, 2005);
        h.datUv1 = person.dismissed ? date(15, 2, year_) : u16(0);
        h.stavka = person.rate;
        if (person.disabled) {
            h.invDat1Begin = u16(MonthKey(year_ - 1, 5).value());
            h.flags = 2u << 6;
            h.invSprSer = QStringLiteral("МСЭ-2010");
            h.invSprNom = QStringLiteral("041272");
            h.invSprDat = QStringLiteral("16.02.2010");
        }
        for (int month = 1; month <= person.lastMonth; ++month) {
            addArchive(rec, kSalary, rub(person.salary), month, 20);
            // From 2011 the months hold the accident contribution the
            // calculation stored: 0.2 % of the pay, 60 % of it for a disabled
            // employee.
            if (year_ >= 2011)
                addArchive(rec, kAccidentContribution, rub(person.salary) * 0.002 * (person.disabled ? 0.6 : 1),
                           month);
        }
        if (index == 0) {
            addArchive(rec, kOneOff165, rub(300), 1);
            addArchive(rec, kFuneral, rub(4'000), 1);
            addArchive(rec, kInjuryPay, rub(1'500), 2, 4);
            addArchive(rec, kDisabledChildDays, rub(1'200), 2, 2);
            addArchive(rec, kBirth, rub(11'703), 3);
            addArchive(rec, kSecondChildCare, rub(4'000), 3);
        }
        if (index == 1)
            addArchive(rec, kSickPay, rub(3'000), 2, 5);
        if (index == 4) {
            addArchive(rec, kBudgetSickPay, rub(400), 1, 2);
            addArchive(rec, kBudgetCareLeave, rub(1'000), 2, 10);
            addArchive(rec, kMaternity, rub(12'000), 3, 30);
            addArchive(rec, kChildCarePay, rub(2'000), 3);
        }
        return rec;
    }
    static void addBenefitKinds(infobase::CInfoBase& base)
    {
        for (u16 code : {kOneOff165, kFuneral, kDisabledChildDays, kBirth, kChildCarePay, kSecondChildCare, kInjuryPay,
                         kBudgetCareLeave, kBudgetSickPay}) {
            infobase::PayKind kind;
            kind.kod = code;
            kind.name = QStringLiteral("Пособие");
            kind.fond = code < 600 ? 4 : 0;
            base.addPayKind(kind);
        }
    }

    int year_;
};

using Fss4Base = Fss4Fixture<PayrollDoc>;

} // namespace kalvor::reports::testing
