#pragma once
// The settlement of the month's pay: what each claim on the pay takes of what
// it asks. The claims are a table, in the order the month takes them (the
// run settles them by one loop over it, each claim at most what the claims
// before it leave; a writ's postal fee with its writ); each
// says how what it takes is cut (whole roubles or kopecks) and where what it
// cannot take goes. One function (ClaimTakes) holds the rule "at most what is
// left, or the claim's own cap" for every claim of the month.
#include <array>
#include <cstdint>
#include <optional>

namespace kalvor {

// Who claims a part of the month's pay, in the order the month takes them.
enum class Claim : std::uint8_t {
    IncomeTax, // the month's income tax: at most half of the payment (IncomeTaxCap)
    SecondTax, // the second tax of the employee's table (union dues): at most what is left
    Writ, // a writ: the writs together at most half of the pay after tax (WritShare)
    PostalFee, // a writ's postal fee
    Deduction, // a deduction entered for the month or a permanent one
    Loan, // a loan's instalment
    FixedTransfer, // a transfer of a fixed amount
    Commission, // the bank's commission: a share of the row it is taken from
};
inline constexpr int kClaimCount = 8;

// Where what a claim cannot take goes.
enum class RestGoes : std::uint8_t {
    NextMonthsTax, // the next months' tax, counted since January, takes it
    // the employee's debt, carried into the next month (915): an entered
    // deduction's rest by the month change (what its own row took), a standing
    // one's by the run, which records it as a row of the next month
    // (RowOrigin::StandingDebt)
    CarriedDebt,
    LoanDebt, // the loan's debt stays and its instalment stays due
    Nothing, // nothing: a writ stays for the next months, a transfer sends what there is
};

// How what a claim takes is cut when it cannot take all it asks.
enum class ClaimCut : std::uint8_t {
    WholeRoubles, // the income tax is withheld in whole roubles
    Kopecks,
};

struct ClaimRule {
    Claim claim;
    ClaimCut cut;
    RestGoes rest;
};

// The claims' table, in the order the month takes them.
const std::array<ClaimRule, kClaimCount>& ClaimRules();
const ClaimRule& RuleOf(Claim claim);

// What a claim takes of what it asks (kopecks): all of it when `most` (what is
// left to pay, or the claim's own cap, the smaller) allows, else `most` cut
// down by the claim's rule, never below zero. What a claim asks below zero (a
// tax a reversal returns) is no claim on the pay: it stays as it is.
double ClaimTakes(Claim claim, double asked, double most);

// The most the month's income tax takes (kopecks): half of each payment of
// the month's income (Tax Code art. 226 p. 4 as of 2010-2011: the tax
// withheld may not pass half of the payment). The payments are the money
// paid out apart (`paidApart`: a payout, 904, of money) and the month's own
// payment (`leftToPay`: what the accruals leave once the advance and the
// payouts are taken, none when below zero). The advance is no payment of
// income: it is paid before the month's income is earned.
double IncomeTaxCap(double paidApart, double leftToPay);

// Where a row of the month's pass comes from, kept with the row where the
// base keeps it (the spare bits of its hours word, hrRest): entered for the
// month (by its place among the month's entered rows), a standing payment or
// deduction (by its place among them), a loan (0-3), a transfer to a bank, a
// writ (0-2; its postal fee too), the tax, the advance, or the month's own
// rules (Computed: the accruals, a payout, the contributions and the rest).
// The settlement asks it which claim a row makes (ClaimOf); the month change
// carries what each claim left by what its own row took.
//
// One row the run stores among the rows of later months: what the standing
// deductions asked and the pay could not take, the employee's debt (915) of
// the next month (StandingDebt). The run tells its own row by it, to put it
// in place of the one an earlier run of the month stored.
//
// The run stores the origin of every row it computes, Computed where no other
// is, so that a month whose record was kept is told by its rows: a month
// computed before the record was kept holds no origin in any row (None).
enum class RowOrigin : std::uint8_t {
    None,
    Computed,
    Entered,
    Permanent,
    Loan,
    Transfer,
    Writ,
    Tax,
    Advance,
    StandingDebt
};
// The record of a row of the origin and place (0 for None or a place out of
// range; the origins of one row a month take place 0).
int OriginTag(RowOrigin origin, int place = 0);
// The origin a row's record names.
RowOrigin OriginOf(int tag);

// The claim a row of the origin and code makes on the pay among those that
// give way to what is left to pay (a deduction, a loan, a fixed transfer),
// none for any other. A loan's and a transfer's rows give way whatever their
// code; an entered or a standing row by what its code records (EnteredClaim).
// A code that does not reduce the pay makes no claim.
std::optional<Claim> ClaimOf(RowOrigin origin, int code);

// The claim a row entered for the month, or a standing one, makes by its
// code: none for the money paid out already (the advance, a payout) and for
// what the law withholds first (the income tax, the employee's pension
// contribution); a transfer sends what there is; any other deduction leaves
// the employee's debt where the pay is short.
std::optional<Claim> EnteredClaim(int code);

} // namespace kalvor
