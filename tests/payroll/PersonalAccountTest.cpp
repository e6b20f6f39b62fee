// The personal account's rows and totals on rows of every code class: pay
// below 700, unpaid time 600 (no sum, counted 0), kinds not in the table,
// deductions 700-864 and 891-939 (counted), 865-890 and from 940 on (listed,
// not counted).
#include "payroll/ui/PersonalAccount.h"
#include "payroll/MonthMoney.h"

#include <gtest/gtest.h>

using namespace kalvor;
using infobase::AccrualRow;

namespace {

AccrualRow Row(int code, double sum, int month = 4, int days = 0, int hours = 0, int minutes = 0)
{
    AccrualRow r;
    r.kod = infobase::u16(code);
    r.sum = sum;
    r.mes = infobase::u16(month);
    r.dn = infobase::u16(days);
    r.hr = infobase::u16(hours);
    r.min = infobase::u16(minutes);
    return r;
}

struct PersonalAccount : ::testing::Test {
    void SetUp() override
    {
        for (auto [code, name] : {std::pair{4, u"Оклад"},
                                  {600, u"Неоплачиваемое время"},
                                  {760, u"Погашение займа"},
                                  {902, u"Подоходный налог"}})
            doc.infoBase.addPayKind({infobase::u16(code), QString::fromUtf16(name)});
    }
    PayrollDoc doc;
};

} // namespace

TEST_F(PersonalAccount, RowsShowTheirFieldsAndCode600NoSum)
{
    EXPECT_EQ(PersonalAccountRowTexts(Row(4, 2'000'000, 4, 21, 168), doc),
              (QStringList{"Оклад", "4", "4", "20000.00", "21", "168,0"}));
    EXPECT_EQ(PersonalAccountRowTexts(Row(600, 150'000, 4, 5, 7, 5), doc),
              (QStringList{"Неоплачиваемое время", "600", "4", "", "5", "7,5"}));
    EXPECT_EQ(PersonalAccountRowTexts(Row(55, -1'050, 3), doc), (QStringList{"", "55", "3", "-10.50", "", ""}));
    EXPECT_EQ(PersonalAccountRowTexts(Row(902, 260'000, 0, 0, 0, 30), doc),
              (QStringList{"Подоходный налог", "902", "", "2600.00", "", "0,30"}));
    EXPECT_FALSE(IsPersonalAccountDeduction(Row(699, 1)));
    EXPECT_TRUE(IsPersonalAccountDeduction(Row(700, 1)));
    EXPECT_TRUE(IsPersonalAccountDeduction(Row(990, 1)));
}

TEST_F(PersonalAccount, TotalsCountEachCodeClassAsTheStatementDoes)
{
    std::array<AccrualRow, 66> rows{};
    const AccrualRow filled[] = {
        Row(4, 2'000'000), Row(7, 300'050),   Row(55, 1'000), Row(699, 40), // accrued
        Row(600, 150'000), // unpaid time: counts 0
        Row(700, 5),       Row(760, 300'000), Row(864, 7), // deducted
        Row(865, 50'000),  Row(870, 1),       Row(890, 70'000), // listed only
        Row(891, 11'000),  Row(902, 260'000), Row(939, 100), // deducted
        Row(940, 999'999), Row(964, 3),       Row(990, 440'000), // listed only
    };
    std::copy(std::begin(filled), std::end(filled), rows.begin() + 2); // empty rows before them too
    const MonthMoney totals = MonthMoneyOf(rows.data(), int(rows.size()));
    EXPECT_DOUBLE_EQ(totals.accrued, 2'301'090);
    EXPECT_DOUBLE_EQ(totals.deducted, 571'112);
    EXPECT_DOUBLE_EQ(totals.net(), 1'729'978);

    const std::array<AccrualRow, 66> empty{};
    const MonthMoney none = MonthMoneyOf(empty.data(), int(empty.size()));
    EXPECT_EQ(none.accrued, 0);
    EXPECT_EQ(none.net(), 0);
}
