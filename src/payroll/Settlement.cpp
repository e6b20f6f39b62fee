#include "payroll/Settlement.h"

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

// Each kind's first record and how many places it holds (seven bits in all).
struct SettledRange {
    Settled kind;
    int first, places;
};
constexpr std::array<SettledRange, 3> kSettledRanges{{
    {Settled::Entered, 1, 60},
    {Settled::Loan, 100, 4},
    {Settled::Writ, 110, 3},
}};

} // namespace

int SettledTag(Settled kind, int place)
{
    for (const SettledRange& r : kSettledRanges)
        if (r.kind == kind && place >= 0 && place < r.places)
            return r.first + place;
    return 0;
}

Settled SettledKindOf(int tag)
{
    for (const SettledRange& r : kSettledRanges)
        if (tag >= r.first && tag < r.first + r.places)
            return r.kind;
    return Settled::None;
}

} // namespace kalvor
