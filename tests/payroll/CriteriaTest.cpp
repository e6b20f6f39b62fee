// Length-of-service rules against an employee's dates and attributes, the
// selection keys of the employee filter with every kind of key set and unset,
// and profession names for the statements.
#include "AveragesWorld.h"

#include "payroll/Criteria.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace kalvor;
using namespace averagestest;

namespace {

struct Applies {
    int result, first, last;
};

Applies applies(World& w, const SeniorityRule& rule, int month)
{
    const auto lengths = MonthLengthsForYear(w.doc.infoBase.config.reportingYear());
    int days[2] = {0, 0};
    const int r = RuleAppliesToEmployee(rule, month, 1, days, lengths.data(), w.doc);
    return {r, days[0], days[1]};
}

} // namespace

TEST(RuleAppliesToEmployee, AgeThresholdReachedWithinTheMonth)
{
    World w(2011, 3);
    w.head().datR = date(15, 3, 1961);
    SeniorityRule rule;
    rule.vozMin = 600;

    Applies a = applies(w, rule, 0); // March 2011: 600 months on the 15th
    EXPECT_EQ(a.result, 1);
    EXPECT_EQ(a.first, 15);
    EXPECT_EQ(a.last, 31);
    EXPECT_EQ(applies(w, rule, 2).result, 0); // February 2011
    a = applies(w, rule, 4); // April 2011
    EXPECT_EQ(a.result, 1);
    EXPECT_EQ(a.first, 1);
    EXPECT_EQ(a.last, 30);
}

TEST(RuleAppliesToEmployee, UpperLimitPassedWithinTheMonth)
{
    World w(2011, 3);
    w.head().datR = date(15, 3, 1961);
    SeniorityRule rule;
    rule.vozMin = 1;
    rule.vozMax = 600;
    Applies a = applies(w, rule, 4); // 601 months in April: up to the 14th
    EXPECT_EQ(a.result, 1);
    EXPECT_EQ(a.first, 1);
    EXPECT_EQ(a.last, 14);
    EXPECT_EQ(applies(w, rule, 5).result, 0);
}

TEST(RuleAppliesToEmployee, ConditionsAndDates)
{
    World w(2026, 3);
    SeniorityRule none;
    EXPECT_EQ(applies(w, none, 0).result, 1); // no condition: no date needed

    SeniorityRule age;
    age.vozMin = 216; // 18 years
    EXPECT_EQ(applies(w, age, 0).result, 0) << "no birth date";
    // Born in 2005: the two-digit year 05 is 2005 (not 1905), so 18 years are
    // reached in 2023 and the rule applies in 2026.
    w.head().datR = date(1, 6, 2005);
    EXPECT_EQ(applies(w, age, 0).result, 1);

    // Northern service from 2021 (a year that a "20yy only below 20" window
    // would read as 1921): five years of service are reached on 10 March 2026.
    SeniorityRule north;
    north.sevMin = 60;
    w.head().datSevStag = date(10, 3, 2021);
    Applies a = applies(w, north, 0);
    EXPECT_EQ(a.result, 1);
    EXPECT_EQ(a.first, 10);

    // Attribute ranges: shop, brigade, profession, category.
    w.doc.infoBase.shopOf(1) = 5;
    w.attr().prof = 12;
    SeniorityRule shops;
    shops.otdMin = 3;
    shops.otdMax = 4;
    EXPECT_EQ(applies(w, shops, 0).result, 0);
    shops.otdMax = 0; // open upper bound
    EXPECT_EQ(applies(w, shops, 0).result, 1);
    shops.profMin = 13;
    EXPECT_EQ(applies(w, shops, 0).result, 0);
}

namespace {

struct FilterWorld : World {
    FilterWorld()
    {
        doc.infoBase.shortNameOf(1) = QStringLiteral("Иванов И.И.");
        doc.infoBase.shortNameOf(2) = QStringLiteral("Абрамов А.А.");
        doc.infoBase.shortNameOf(3) = QStringLiteral("Кузнецов К.К.");
        doc.infoBase.shortNameOf(4) = QStringLiteral("Петров П.П.");
    }
    SelectionKeys& keys() { return doc.selectionKeys; }
    std::vector<int> matching()
    {
        std::vector<int> out;
        for (int i = 0; i < 4; ++i)
            if (MatchEmployeeCriteria(i + 1, doc))
                out.push_back(i);
        return out;
    }
};

} // namespace

TEST(MatchEmployeeCriteria, NameKeys)
{
    FilterWorld w;
    EXPECT_EQ(w.matching(), (std::vector<int>{0, 1, 2, 3})) << "no key set";

    w.keys().name[2] = QStringLiteral("Ив");
    EXPECT_EQ(w.matching(), (std::vector<int>{0, 1}));

    w.keys().clear();
    w.keys().name[0] = QStringLiteral("Ив   ");
    EXPECT_EQ(w.matching(), (std::vector<int>{0}));

    w.keys().clear();
    w.keys().name[1] = QStringLiteral("Ив");
    EXPECT_EQ(w.matching(), (std::vector<int>{2, 3}));
}

TEST(MatchEmployeeCriteria, AttributeCriteria)
{
    FilterWorld w;
    auto a = [&w](int slot) -> EmployeeAttributes& { return w.doc.infoBase.attributesOf(slot); };
    a(1).sistOpl = 4;
    a(2).sistOpl = 1;
    a(3).sistOpl = 2;
    a(4).sistOpl = 4;
    w.keys().crit[0] = {4, -1, -1};
    EXPECT_EQ(w.matching(), (std::vector<int>{0, 3}));
    w.keys().crit[0] = {-1, 1, -1};
    EXPECT_EQ(w.matching(), (std::vector<int>{0, 2, 3}));
    w.keys().crit[0] = {-1, 1, 4};
    EXPECT_EQ(w.matching(), (std::vector<int>{2}));

    // Writ count is the sum of the two writ fields; days from the time sheet.
    w.keys().clear();
    a(2).priznAlim = 1;
    a(2).priznIspl = 1;
    w.keys().crit[4] = {2, -1, -1};
    EXPECT_EQ(w.matching(), (std::vector<int>{1}));
    w.keys().clear();
    w.doc.infoBase.tabelOf(4).rabDn = 20;
    w.keys().crit[7] = {-1, 19, -1};
    EXPECT_EQ(w.matching(), (std::vector<int>{3}));

    // Status and error code come after the entry groups.
    w.keys().clear();
    a(3).priznUv = 1;
    a(4).err = 7;
    w.keys().crit[16] = {0, -1, -1};
    EXPECT_EQ(w.matching(), (std::vector<int>{0, 1, 3}));
    w.keys().crit[17] = {-1, -1, 1};
    EXPECT_EQ(w.matching(), (std::vector<int>{0, 1}));
}

TEST(MatchEmployeeCriteria, EntryGroups)
{
    FilterWorld w;
    auto& base = w.doc.infoBase;
    BonusLine b1, b2;
    b1.kod = 30;
    b1.procent = 2;
    b2.kod = 31;
    b2.procent = 1;
    ASSERT_TRUE(base.prem.replaceRun(2, std::vector<BonusLine>{b1, b2}));

    // No bonus criterion set: everyone passes, with or without bonus lines.
    EXPECT_EQ(w.matching().size(), 4u);
    // Any bonus criterion set: employees without lines fail; one line must
    // meet every set value of the group.
    w.keys().crit[10] = {31, -1, -1};
    EXPECT_EQ(w.matching(), (std::vector<int>{1}));
    w.keys().crit[11] = {2, -1, -1};
    EXPECT_EQ(w.matching(), (std::vector<int>{})) << "code 31 has kind 1, kind 2 is on code 30";
    w.keys().crit[10] = {30, -1, -1};
    EXPECT_EQ(w.matching(), (std::vector<int>{1}));

    // Sick-leave start month (unset below 1) and vacation kind.
    w.keys().clear();
    SickLeaveSheet s;
    s.dBegin = 3;
    s.mBegin = 2;
    s.gBegin = 2026;
    s.vid = 1;
    ASSERT_TRUE(base.bln.replaceRun(4, std::vector<SickLeaveSheet>{s}));
    w.keys().crit[12] = {0, -1, -1};
    EXPECT_EQ(w.matching().size(), 4u) << "0 is not a set month";
    w.keys().crit[12] = {MonthIndex(2026, 2), -1, -1};
    EXPECT_EQ(w.matching(), (std::vector<int>{3}));
    w.keys().crit[12] = {-1, MonthIndex(2026, 2), -1};
    EXPECT_EQ(w.matching(), (std::vector<int>{}));

    w.keys().clear();
    VacationNote v;
    v.gBegin = 2026;
    v.mBegin = 7;
    v.dBegin = 1;
    v.vid = 2;
    ASSERT_TRUE(base.otp.replaceRun(1, std::vector<VacationNote>{v}));
    w.keys().crit[15] = {2, -1, -1};
    EXPECT_EQ(w.matching(), (std::vector<int>{0}));
    w.keys().crit[14] = {-1, -1, MonthIndex(2026, 7)};
    EXPECT_EQ(w.matching(), (std::vector<int>{})) << "July is not before July";

    // Alternative time sheet code.
    w.keys().clear();
    AltTabelEntry alt;
    alt.kod = 45;
    ASSERT_TRUE(base.altTabel.replaceRun(3, std::vector<AltTabelEntry>{alt}));
    w.keys().crit[9] = {45, -1, -1};
    EXPECT_EQ(w.matching(), (std::vector<int>{2}));
}

TEST(FormatProfessionName, FoundAndUnknownCodes)
{
    World w;
    auto& ref = w.doc.refFiles;
    char field[26];
    EXPECT_EQ(FormatProfessionName(field, 5, w.doc), 1) << "empty book";
    EXPECT_EQ(std::string(field, 2), std::string("5\0", 2));

    ref.profi[0] = {3, QStringLiteral("Слесарь")};
    ref.profi[1] = {7, QStringLiteral("Токарь")};
    ref.profi[2] = {9, QStringLiteral("Электрик")};
    ref.profiCount = 3;
    EXPECT_EQ(FormatProfessionName(field, 7, w.doc), 0);
    EXPECT_EQ(std::string(field, 26), std::string("\xD2\xEE\xEA\xE0\xF0\xFC") + std::string(20, ' '));
    EXPECT_EQ(FormatProfessionName(field, 9, w.doc), 0);
    EXPECT_EQ(FormatProfessionName(field, 3, w.doc), 0);

    EXPECT_EQ(FormatProfessionName(field, 123, w.doc), 1);
    EXPECT_EQ(std::string(field, 26), std::string("123\0", 4) + std::string(22, ' '));
    EXPECT_EQ(FormatProfessionName(field, 0, w.doc), 1);
    EXPECT_EQ(std::string(field, 2), std::string("0\0", 2));
}
