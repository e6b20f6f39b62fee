#pragma once
// Pay kinds and the rounding of the amounts of the information base.
//
// These are the lookup and rounding calls of the whole program (engine,
// statements, cash orders, report writers). They read the document's
// information base: its pay-kind table (CInfoBase::payKinds(), sorted ascending
// by kod; its size is the count), the calculation rounding okrugRas and the
// payout rounding okrugVyp of the base's configuration. None of them changes
// any state. Amounts are kopecks in doubles (Kopecks).
//
// The rounding rules themselves, without a document, are in payroll/Rounding.h.
#include "payroll/PayrollDocument.h"
#include "payroll/Rounding.h"

namespace kalvor {

// FindPayKind result when the pay-kind table is empty.
inline constexpr int kPayKindTableEmpty = -31;

// Index (0 to count-1) of the pay kind whose kod equals code; -31 when the
// table is empty (whatever the code); -1 when code is below 1 or not in the
// table. Any negative result means "kind unknown".
// Found through the table's index by code (CInfoBase::indexedPayKind) when
// it has the code's kind, else by the search below.
int FindPayKind(const PayrollDoc& doc, int code);
// The same search over a table sorted by kod, by halving.
int FindPayKindIn(const infobase::PayKind* kinds, int count, int code);
// The pay kind of a code, or nullptr when FindPayKind gives a negative result.
const infobase::PayKind* PayKindOf(const PayrollDoc& doc, int code);

// The amount rounded by the RoundingMode of pay kind kindCode: its okrug field
// 0 = the base's okrugRas, 1-6 = modes 0-5, 7 = the amount becomes 0. A kind
// that is not in the table rounds by okrugRas.
double RoundByPayKind(double amount, int kindCode, const PayrollDoc& doc);

// The amount to pay out: whole kopecks, then cut towards zero to a multiple of
// 1, 10, 100, 1,000, 10,000 or 100,000 kopecks by the base's okrugVyp (0-5).
double RoundPayout(double amount, const PayrollDoc& doc);

// (value >> (first - 1)) masked to width bits; -1 when first or width is 0,
// first is above 8 or width is above 9 - first.
int GetBitField(unsigned char value, int first, int width);

// The two flag bytes of a pay kind as the bases test them (first byte: fund
// bits 0-1, oblPodoh, sick-leave base, vedShap, oblProf, enAlim, enKoefRS;
// second byte: hr1, hr2, enSrPremBln, g11, enSrZar, hr3, fund bit 2, grp).
unsigned char PayKindFlagByte1(const infobase::PayKind& kind);
unsigned char PayKindFlagByte2(const infobase::PayKind& kind);

} // namespace kalvor
