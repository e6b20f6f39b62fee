#pragma once
// Fixed-point formatting with the rounding that the program's amounts rely on.
//
// Amounts are rounded by formatting them ("%.2f", "%10.0f") and, where needed,
// reading the text back. The rule is: take the value to 17 significant decimal
// digits (correctly rounded), then round that decimal text half away from zero
// to the wanted number of decimals. So 0.995 gives "1.00", 2.5 gives "3" and
// -2.5 gives "-3", where glibc's printf would give "0.99", "2" and "-2". Every
// "%.Nf" that feeds arithmetic, a file or a printed form goes through here;
// never rely on printf's own rounding. Output always uses a decimal point.
#include <QByteArray>
#include <QString>

namespace kalvor {

// "%.Nf" of v as 8-bit text (decimals 0..20); width > 0 pads with blanks on the
// left like "%W.Nf". A negative value keeps its minus sign even when it rounds
// to zero ("-0.00"), as printf does.
QByteArray FormatFixed8(double v, int decimals, int width = 0);
// The same as a QString.
QString FormatFixed(double v, int decimals, int width = 0);
// v rounded to N decimals through its "%.Nf" text and read back.
double RoundThroughText(double v, int decimals);

} // namespace kalvor
