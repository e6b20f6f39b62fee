#include "payroll/Settlement.h"

#include "infobase/PayKindCodes.h"

#include <algorithm>
#include <cmath>

namespace kalvor {

namespace {

using C = Claim;
using R = RestGoes;

constexpr std::array<ClaimRule, kClaimCount> kRules{{
    {C::IncomeTax, ClaimCut::WholeRoubles, R::NextMonthsTax},
    {C::SecondTax, ClaimCut::Kopecks, R::NextMonthsTax},
    {C::Writ, ClaimCut::Kopecks, R::Nothing},
    {C::PostalFee, ClaimCut::Kopecks, R::Nothing},
    {C::Deduction, ClaimCut::Kopecks, R::CarriedDebt},
    {C::Loan, ClaimCut::Kopecks, R::LoanDebt},
    {C::FixedTransfer, ClaimCut::Kopecks, R::Nothing},
    {C::Commission, ClaimCut::Kopecks, R::Nothing},
}};

// Each claim's rule stands at the claim's own place of the table.
constexpr bool InClaimOrder()
{
    for (std::size_t i = 0; i < kRules.size(); ++i)
        if (std::size_t(kRules[i].claim) != i)
            return false;
    return true;
}
static_assert(InClaimOrder());

} // namespace

const std::array<ClaimRule, kClaimCount>& ClaimRules() { return kRules; }

const ClaimRule& RuleOf(Claim claim) { return ClaimRules()[std::size_t(claim)]; }

double ClaimTakes(Claim claim, double asked, double most)
{
    if (asked <= 0 || asked <= most)
        return asked;
    const double room = std::max(0.0, most);
    return RuleOf(claim).cut == ClaimCut::WholeRoubles ? std::floor(room / 100) * 100 : std::floor(room);
}

double IncomeTaxCap(double paidApart, double leftToPay)
{
    return (std::max(0.0, paidApart) + std::max(0.0, leftToPay)) / 2;
}

namespace {

// Each origin's first record and how many places it holds (seven bits in
// all). The records of entered rows, loans and writs are those the run has
// kept since it first kept any, so that a month stored then reads the same.
struct OriginRange {
    RowOrigin origin;
    int first, places;
};
constexpr std::array<OriginRange, 9> kOriginRanges{{
    {RowOrigin::Entered, 1, 60},
    {RowOrigin::Permanent, 61, 21},
    {RowOrigin::StandingDebt, 82, 1},
    {RowOrigin::Loan, 100, 4},
    {RowOrigin::Writ, 110, 3},
    {RowOrigin::Transfer, 113, 1},
    {RowOrigin::Tax, 114, 1},
    {RowOrigin::Advance, 115, 1},
    {RowOrigin::Computed, 127, 1},
}};

// The codes whose entered rows record what was paid or withheld already, and
// are no claim on what is left to pay.
constexpr std::array<int, 5> kPaidOrWithheldCodes{
    kCodeAdvance, kCodePayout, kCodeTaxRow, kCodePensionTaxed, kCodePensionOther,
};

} // namespace

int OriginTag(RowOrigin origin, int place)
{
    for (const OriginRange& r : kOriginRanges)
        if (r.origin == origin && place >= 0 && place < r.places)
            return r.first + place;
    return 0;
}

RowOrigin OriginOf(int tag)
{
    for (const OriginRange& r : kOriginRanges)
        if (tag >= r.first && tag < r.first + r.places)
            return r.origin;
    return RowOrigin::None;
}

std::optional<Claim> EnteredClaim(int code)
{
    if (!IsPayReducingCode(code) ||
        std::find(kPaidOrWithheldCodes.begin(), kPaidOrWithheldCodes.end(), code) != kPaidOrWithheldCodes.end())
        return std::nullopt;
    return IsTransferCode(code) ? Claim::FixedTransfer : Claim::Deduction;
}

std::optional<Claim> ClaimOf(RowOrigin origin, int code)
{
    switch (origin) {
    case RowOrigin::Entered:
    case RowOrigin::Permanent: return EnteredClaim(code);
    case RowOrigin::Loan: return IsPayReducingCode(code) ? std::optional(Claim::Loan) : std::nullopt;
    case RowOrigin::Transfer: return IsPayReducingCode(code) ? std::optional(Claim::FixedTransfer) : std::nullopt;
    default: return std::nullopt;
    }
}

} // namespace kalvor
