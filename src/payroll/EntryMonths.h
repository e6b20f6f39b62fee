#pragma once
// The month (key) to which an archive entry or a month row belongs in the
// income statement and the contribution bases.
//
// An archive entry (WariaEntry) has the month it was accrued for (mes, god)
// and may carry the month it was paid in (mesVyd, godVyd). A row of the month
// being calculated belongs to the reporting month, or, where the rows are
// dated by their own month, to its month number placed from six months before
// to five months after the reporting month.
#include "payroll/PayrollDocument.h"

namespace kalvor {

// Bits of the firm's parameter word: the income tax (8) and the second tax
// (16) date the month's rows by their own month when set.
inline constexpr int kFlagIncomeTaxMonth = 8;
inline constexpr int kFlagSecondTaxMonth = 16;

inline bool IncomeMonthFlag(const PayrollDoc& doc, int flag) { return (doc.infoBase.firm.parWord & flag) != 0; }

// Month key of an archive entry: its paid month when usePaidMonth and the entry
// carries one, else its own month; 0 when the entry has no month.
int ArchiveEntryMonth(const infobase::WariaEntry& e, bool usePaidMonth);

// Month key of a month row by its own month number, placed within six months
// before to five months after the reporting month tekMes; 0 without a month.
int MonthRowMonth(const infobase::AccrualRow& row, int tekMes);

} // namespace kalvor
