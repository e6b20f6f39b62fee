#pragma once
// Texts that the RTF print forms put into their templates: the firm's texts
// in their 8-bit form, the unit line of a shop and brigade selection, dates
// and month names. Every text is 8-bit windows-1251, as CTree takes it.
#include "infobase/Records.h"
#include "payroll/PayrollDocument.h"

#include <QByteArray>

namespace kalvor::print {

// The writers' result when the print file cannot be made (CalcErrorTexts
// -23, "Сбой при попытке обращения к файлу печати").
inline constexpr int kPrintFileFault = -23;

// The firm text in its 8-bit form: at most FirmInfo::TextWidth bytes, as stored.
QByteArray FirmText8(const PayrollDoc& doc, infobase::FirmInfo::Text text);

// The first `limit` bytes of the text with every run of blanks replaced by
// one blank and a blank at the end removed ("collapsed to N").
QByteArray CollapseBlanks(const QByteArray& text, int limit);

// The unit of a selection: "Цех - <name, at most 29 bytes> " of the first
// shop with that number (nothing when no shop has it), then for a brigade
// "Бригада -%3d ", after ", " when the shop part stands before it. Empty when
// both are 0.
QByteArray UnitText(const PayrollDoc& doc, int shop, int brigade);

// "dd.mm.20yy" of a day, month and year (the year's last two digits).
QByteArray FormDate(int day, int month, int year);

// The month's name in the nominative, lower case ("январь"); empty outside 1-12.
QByteArray MonthName(int month);

// The month's name in the genitive ("января"); empty outside 1-12.
QByteArray GenitiveMonth(int month);

// "Фамилия И. О." of a full name (FormatFioInitials on 8-bit text).
QByteArray FioInitials(const QByteArray& fullName);

} // namespace kalvor::print
