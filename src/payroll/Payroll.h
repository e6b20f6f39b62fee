#pragma once
// The payroll arithmetic that statements, registers, report builders and
// exchange writers call. Include this one header, or the one you need:
//
//   payroll/CalcErrors.h    CalcError codes, CalcErrorTexts, CalcErrorText
//   payroll/Rounding.h      RoundWhole, RoundByMode, RoundByKindField, RoundPayoutStep,
//                           SplitRoublesKopecks (no document)
//   payroll/PayKinds.h      FindPayKind, PayKindOf, RoundByPayKind, RoundPayout,
//                           GetBitField, PayKindFlagByte1/2
//   payroll/CalendarMath.h  DayOfWeekDMY, ShiftCyclePosition, MonthLengthsForYear, month keys,
//                           the time sheet's day marks (DayMarked, SetDayMark)
//   payroll/ScheduleNorm.h  CalcScheduleNorm, ScheduleNormDayByDay, PlannedTimeOfDays,
//                           WorkingDayLength, CountDayBits, CompactWariaEntries
//   payroll/Bases.h         CalcBaseBySelector
//   payroll/IncomeTax.h     TaxVariantForMonth, PercentCharge, ScaleCharge, ScaleLookup,
//                           TaxForMonth, TaxWithScale, IncomeByMonths, CalcIncomeTax,
//                           CalcContribution, ServiceLengthToToday, KindActiveInMonth
//   payroll/Contributions.h ContributionsByMonths, PensionInsuranceSplit,
//                           CalcMonthContributions
//
// Conventions shared by all of them:
// - The document is the PayrollDoc (infobase::KalvorDocData) of the shell's
//   document; the employee is its information base's current record. It is
//   the last argument, but for three: FindPayKind and PayKindOf take it first
//   (document, code), CountDayBits before the record slot; CalcIncomeTax and
//   CalcMonthContributions take an optional row capacity after it.
// - Amounts are kopecks in doubles. Scales of the tax tables hold roubles:
//   PercentCharge, ScaleCharge, ScaleLookup and PensionInsuranceSplit take
//   roubles (divide kopecks by 100) and return kopecks.
// - Months are month keys, year * 16 + month (PackedMonthYear values), except
//   the month numbers of TaxVariantForMonth, (year - 1900) * 12 + month.
// - A negative int result is a CalcError code whose message is CalcErrorText(code)
//   (payroll/CalcErrors.h; the report and exchange tables carry the same texts
//   for these codes).
// - Functions that fill rows take the caller's buffer: IncomeByMonths one
//   IncomeMonthRow per month (at most 12), ContributionsByMonths two
//   ContributionRow per contribution kind passed (the caller may pass fewer
//   kinds than the "sbor" list holds).
// - Functions that append AccrualRow values (CalcIncomeTax,
//   CalcMonthContributions) append from the given count on and never past the
//   capacity (kCalcResultRows, 66, unless given).
#include "payroll/Bases.h"
#include "payroll/CalcErrors.h"
#include "payroll/CalendarMath.h"
#include "payroll/Contributions.h"
#include "payroll/IncomeTax.h"
#include "payroll/PayKinds.h"
#include "payroll/Rounding.h"
#include "payroll/ScheduleNorm.h"
