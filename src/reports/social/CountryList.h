#pragma once
// The list of countries "country" in the working folder, which the social-tax
// cards, the earnings certificate and the income-tax register read to print an
// employee's citizenship: 53-byte records back to back, no header,
// windows-1251:
//
//   0  3 bytes   country code, three digits ("643" is Russia)
//   3  50 bytes  country name, blank-padded or ended by a zero byte
//
// The program never writes the file; it is read from its start at every
// look-up, so a list replaced while the program runs is taken as it stands.
#include <QByteArray>
#include <QString>

namespace kalvor::reports {

inline constexpr int kCountryRecordSize = 53;
inline constexpr int kCountryNameWidth = 50;

// "country" in the working folder.
QString CountryFilePath();

// The name of the last record of the file whose code equals the three bytes
// of `code` (8-bit, at most 50 bytes, up to a zero byte); empty when no record
// has it or the file cannot be read. A tail shorter than a record is ignored.
QByteArray FindCountryName(const QString& path, const QByteArray& code);

// The citizenship that the forms print for an employee's three-character
// country code (8-bit): "РФ" for "643" or for a code of blanks (or empty),
// without reading the list; otherwise the name from "country", or an empty
// text when the code is not listed.
QByteArray CitizenshipText(const QByteArray& code);
// The same for the code as the employee record holds it.
QByteArray CitizenshipText(const QString& code);

} // namespace kalvor::reports
