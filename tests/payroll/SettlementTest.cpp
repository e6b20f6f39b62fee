// The settlement's table of claims: what each claim takes of what it asks
// when the pay holds all of it, part of it or nothing, each cut by its own
// rule; the income tax's cap of half the payment; the record a row keeps of
// its origin, and the claim its origin makes.
#include "payroll/Settlement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
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

// Each origin's places have a record of their own, of their origin, in
// the order of the places; a place out of its range and no origin have none. The records of
// entered rows, loans and writs stand where the run first kept them (1, 100,
// 110), so that a month stored then reads the same; the standing
// deductions' rest, recorded for the next month, has one of its own (82).
TEST(Settlement, ARowsRecordNamesItsOriginAndPlace)
{
    const struct {
        RowOrigin origin;
        int places, first;
    } origins[] = {
        {RowOrigin::Entered, 60, 1}, {RowOrigin::Permanent, 21, 61}, {RowOrigin::StandingDebt, 1, 82},
        {RowOrigin::Loan, 4, 100},   {RowOrigin::Writ, 3, 110},      {RowOrigin::Transfer, 1, 113},
        {RowOrigin::Tax, 1, 114},    {RowOrigin::Advance, 1, 115},   {RowOrigin::Computed, 1, 127},
    };
    std::vector<int> seen;
    for (const auto& o : origins) {
        EXPECT_EQ(OriginTag(o.origin), o.first);
        for (int place = 0; place < o.places; ++place) {
            const int tag = OriginTag(o.origin, place);
            EXPECT_GT(tag, 0);
            EXPECT_LT(tag, 128); // seven bits
            EXPECT_EQ(OriginOf(tag), o.origin);
            EXPECT_EQ(tag, o.first + place);
            EXPECT_EQ(std::count(seen.begin(), seen.end(), tag), 0);
            seen.push_back(tag);
        }
        EXPECT_EQ(OriginTag(o.origin, o.places), 0);
        EXPECT_EQ(OriginTag(o.origin, -1), 0);
    }
    EXPECT_EQ(OriginTag(RowOrigin::None), 0);
    EXPECT_EQ(OriginOf(0), RowOrigin::None);
    EXPECT_EQ(OriginOf(99), RowOrigin::None);
}

// The claim a row makes on the pay among those that give way to what is
// left to pay, by its origin: a loan's and a transfer's rows whatever their
// code (a loan under the pension contribution's 923 too), an entered or a
// standing row by what its code records; a code that does not reduce the pay
// (information 866, the employer's contribution 990, 938) makes none; a
// writ, the tax, the advance, the month's own rows and the standing
// deductions' rest recorded for the next month make none.
TEST(Settlement, ARowsClaimIsAskedOfItsOrigin)
{
    const std::optional<Claim> none;
    const struct {
        RowOrigin origin;
        int code;
        std::optional<Claim> claim;
    } cases[] = {
        {RowOrigin::Entered, 911, Claim::Deduction},
        {RowOrigin::Entered, 915, Claim::Deduction},
        {RowOrigin::Entered, 903, Claim::FixedTransfer},
        {RowOrigin::Entered, 906, Claim::FixedTransfer},
        {RowOrigin::Entered, 901, none},
        {RowOrigin::Entered, 904, none},
        {RowOrigin::Entered, 902, none},
        {RowOrigin::Entered, 922, none},
        {RowOrigin::Entered, 923, none},
        {RowOrigin::Entered, 4, none},
        {RowOrigin::Entered, 866, none},
        {RowOrigin::Entered, 938, none},
        {RowOrigin::Permanent, 810, Claim::Deduction},
        {RowOrigin::Permanent, 53, none},
        {RowOrigin::Loan, 810, Claim::Loan},
        {RowOrigin::Loan, 923, Claim::Loan},
        {RowOrigin::Loan, 904, Claim::Loan},
        {RowOrigin::Loan, 990, none},
        {RowOrigin::Transfer, 903, Claim::FixedTransfer},
        {RowOrigin::Transfer, 810, Claim::FixedTransfer},
        {RowOrigin::Writ, 911, none},
        {RowOrigin::Tax, 902, none},
        {RowOrigin::Advance, 901, none},
        {RowOrigin::Computed, 905, none},
        {RowOrigin::StandingDebt, 915, none},
        {RowOrigin::None, 911, none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "origin " << int(c.origin) << " code " << c.code);
        EXPECT_EQ(ClaimOf(c.origin, c.code), c.claim);
    }
}

} // namespace
