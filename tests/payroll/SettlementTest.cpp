// The settlement's table of claims: what each claim takes of what it asks
// when the pay holds all of it, part of it or nothing, each cut by its own
// rule; the income tax's cap of half the payment; the record a row keeps of
// what it settled.
#include "payroll/Settlement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace kalvor;

namespace {

struct Case {
    Claim claim;
    double asked, most, takes; // kopecks
};

// The income tax is withheld in whole roubles, every other claim in kopecks.
const Case kCases[] = {
    // All it asks, when the pay holds it (to the kopeck) or more.
    {Claim::IncomeTax, 650'000, 650'000, 650'000},
    {Claim::IncomeTax, 650'000, 4'350'000, 650'000},
    {Claim::SecondTax, 43'500, 43'500, 43'500},
    {Claim::Writ, 1'087'500, 2'175'000, 1'087'500},
    {Claim::PostalFee, 10'875, 99'999, 10'875},
    {Claim::Deduction, 4'000'000, 4'000'000, 4'000'000},
    {Claim::Loan, 3'000'000, 3'000'001, 3'000'000},
    {Claim::FixedTransfer, 150'000, 9'999'999'900, 150'000},
    {Claim::Commission, 50'250, 3'350'000, 50'250},
    // Part of it: the tax of 1,150.00 with 1,000.99 of room withholds
    // 1,000.00 (whole roubles); the union dues of 100.00 with 60.99 of room
    // take 60.99 (kopecks); every other claim takes the room to the kopeck,
    // a half kopeck of room (a half of an odd amount) cut down.
    {Claim::IncomeTax, 115'000, 100'099, 100'000},
    {Claim::IncomeTax, 650'000, 99, 0},
    {Claim::SecondTax, 10'000, 6'099, 6'099},
    {Claim::SecondTax, 10'000, 6'099.5, 6'099},
    {Claim::Writ, 1'087'500, 1'000'000.5, 1'000'000},
    {Claim::PostalFee, 10'875, 10'000, 10'000},
    {Claim::Deduction, 4'000'000, 3'262'500, 3'262'500},
    {Claim::Loan, 3'000'000, 2'350'000, 2'350'000},
    {Claim::FixedTransfer, 9'999'999'900, 1'350'000, 1'350'000},
    {Claim::Commission, 5'025'000, 3'350'000, 3'350'000},
    // Nothing, when nothing is left or less than nothing.
    {Claim::IncomeTax, 650'000, 0, 0},
    {Claim::SecondTax, 43'500, -1'000, 0},
    {Claim::Writ, 1'087'500, -0.5, 0},
    {Claim::Deduction, 4'000'000, -4'000'000, 0},
    {Claim::Loan, 3'000'000, 0, 0},
    // What is asked below zero (a tax a reversal returns) stays as it is.
    {Claim::IncomeTax, -650'000, 0, -650'000},
    {Claim::SecondTax, -1'000, -5'000, -1'000},
};

TEST(Settlement, EachClaimTakesAtMostItsRoomCutByItsOwnRule)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << "claim " << int(c.claim) << " asks " << c.asked << " room " << c.most);
        EXPECT_DOUBLE_EQ(ClaimTakes(c.claim, c.asked, c.most), c.takes);
    }
}

// The table lists every claim once, in the order the month takes them, with
// where what each cannot take goes.
TEST(Settlement, TheClaimsTableSaysWhereEachRestGoes)
{
    const struct {
        Claim claim;
        ClaimCut cut;
        RestGoes rest;
    } want[] = {
        {Claim::IncomeTax, ClaimCut::WholeRoubles, RestGoes::NextMonthsTax},
        {Claim::SecondTax, ClaimCut::Kopecks, RestGoes::NextMonthsTax},
        {Claim::Writ, ClaimCut::Kopecks, RestGoes::Nothing},
        {Claim::PostalFee, ClaimCut::Kopecks, RestGoes::Nothing},
        {Claim::Deduction, ClaimCut::Kopecks, RestGoes::CarriedDebt},
        {Claim::Loan, ClaimCut::Kopecks, RestGoes::LoanDebt},
        {Claim::FixedTransfer, ClaimCut::Kopecks, RestGoes::Nothing},
        {Claim::Commission, ClaimCut::Kopecks, RestGoes::Nothing},
    };
    ASSERT_EQ(ClaimRules().size(), std::size(want));
    for (std::size_t i = 0; i < std::size(want); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ClaimRules()[i].claim, want[i].claim);
        EXPECT_EQ(ClaimRules()[i].cut, want[i].cut);
        EXPECT_EQ(ClaimRules()[i].rest, want[i].rest);
        EXPECT_EQ(RuleOf(want[i].claim).claim, want[i].claim);
    }
}

// Half of each payment: 50,000.00 left to pay and nothing paid apart,
// 25,000.00; with an advance of 40,000.00, 10,000.00 is left, 5,000.00;
// 1,500.00 paid out apart and the advance above the rest, 750.00; both,
// half of their sum; 50,000.01 gives 25,000.005 (the tax's whole roubles
// cut it); nothing paid, 0.
TEST(Settlement, TheIncomeTaxTakesAtMostHalfOfEachPayment)
{
    EXPECT_DOUBLE_EQ(IncomeTaxCap(0, 5'000'000), 2'500'000);
    EXPECT_DOUBLE_EQ(IncomeTaxCap(0, 5'000'000 - 4'000'000), 500'000);
    EXPECT_DOUBLE_EQ(IncomeTaxCap(150'000, 150'000 - 150'000 - 640'000), 75'000);
    EXPECT_DOUBLE_EQ(IncomeTaxCap(150'000, 1'000'000), 575'000);
    EXPECT_DOUBLE_EQ(IncomeTaxCap(0, 5'000'001), 2'500'000.5);
    EXPECT_DOUBLE_EQ(ClaimTakes(Claim::IncomeTax, 2'600'000, IncomeTaxCap(0, 5'000'001)), 2'500'000);
    EXPECT_DOUBLE_EQ(IncomeTaxCap(0, -1'000'000), 0);
}

// Each kind's places have a record of their own, of their kind;
// a place out of its range and no kind have none.
TEST(Settlement, ARowsRecordNamesItsClaimAndPlace)
{
    const struct {
        Settled kind;
        int places;
    } kinds[] = {{Settled::Entered, 60}, {Settled::Loan, 4}, {Settled::Writ, 3}};
    std::vector<int> seen;
    for (const auto& k : kinds)
        for (int place = 0; place < k.places; ++place) {
            const int tag = SettledTag(k.kind, place);
            EXPECT_GT(tag, 0);
            EXPECT_LT(tag, 128); // seven bits
            EXPECT_EQ(SettledKindOf(tag), k.kind);
            EXPECT_EQ(std::count(seen.begin(), seen.end(), tag), 0);
            seen.push_back(tag);
        }
    EXPECT_EQ(SettledTag(Settled::Entered, 60), 0);
    EXPECT_EQ(SettledTag(Settled::Loan, 4), 0);
    EXPECT_EQ(SettledTag(Settled::Writ, -1), 0);
    EXPECT_EQ(SettledTag(Settled::None, 0), 0);
    EXPECT_EQ(SettledKindOf(0), Settled::None);
}

} // namespace
