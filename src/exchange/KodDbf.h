#pragma once
// "kod.dbf": the accrual and deduction kinds as a dBASE III file in the
// working folder, for other programs to read and to fill. The program takes
// the file's header as it finds it and reads or rewrites only its records:
//
//   offset 0 version 3; 4 u32 record count (its low 16 bits are read);
//   8 u16 header length (the first record starts there); 10 u16 record
//   length, which must be 83; then the records and 0x1A after the last.
//
// A record of 83 bytes (digits are ASCII, a flag digit "0" or "1"):
//   0 deletion mark (a blank); 1 name (20, windows-1251); 21 code (3, blank
//   padded); 24 the kind group: 4 x flag bit 14 + flag bits 0-1; 25 subject to
//   income tax; 26 "1" flag bit 3, "2" the proportional sick-leave flag, "0"
//   neither; 27 the two top bits of the first cost-code word (enOtp); 28-30
//   flag bits 5-7; 31-36 flag bits 8-13; 37, 41, 45 the three cost-code
//   groups (4 digits each); 49 the rounding mode digit; 50 the income code (4
//   digits); 54 the tax-deduction code (3 digits); 57 and 70 the two deduction
//   amounts in roubles, "%13.2f".
// Flag bits are those of PayKind::flags; the fields the file does not carry
// keep the values of the base's kind of the same code when the file is read.
#include "infobase/InfoBase.h"
#include "platform/Dbf.h"

#include <QByteArray>
#include <QString>

#include <stop_token>
#include <vector>

class QIODevice;

namespace kalvor::exchange {

inline constexpr int kKodDbfRecordSize = 83;
inline constexpr int kKodDbfBlockRecords = 131;
inline constexpr int kKodDbfMaxRecords = infobase::CInfoBase::MaxPayKinds;

// The file of the working folder, found without regard to case ("KOD.DBF").
QString KodDbfPath(const QString& folder);

// The record of a kind.
QByteArray KodDbfRecord(const infobase::PayKind& kind);
// The kind of a record (83 bytes), over `previous` for what the record does
// not carry; a name equal to the first 20 characters of the previous name
// keeps the previous name whole.
infobase::PayKind PayKindFromKodDbf(const char* record, const infobase::PayKind& previous);

// The fields of the template: the 83-byte record described for other programs.
std::vector<dbf::DbfField> KodDbfFields();
// Writes the template (header and field descriptors, no records) unless a
// kinds file is there already; true when it wrote one.
bool WriteKodDbfTemplate(const QString& folder);

// Writes the records of the kinds in blocks of 131 records and 0x1A after
// them; false when stopped between kinds. Throws TextError("Ошибка записи в
// файл", with the file's name and why when the device is a file) when the
// device takes less than a block.
bool WriteKodDbfRecords(QIODevice& out, const std::vector<infobase::PayKind>& kinds, std::stop_token stop = {});

// Rewrites the records of the kinds file of the folder with the base's kinds
// and the count at offset 4, through a copy renamed over the file at the end
// (a stop or a failure leaves the file as it was). False when stopped.
// Throws TextError: "база данных KOD.DBF не найдена" for a missing file or one
// whose first byte is not 3, "Ошибка при открытии файла", "Ошибка чтения
// файла" for a header that is short, reaches past the file, counts more than
// 999 records or has another record length than 83, "Ошибка записи в файл
// <path>" and why.
bool WriteKodDbf(const QString& folder, const infobase::CInfoBase& base, std::stop_token stop = {});

// Reads the kinds of the file of the folder and makes them the base's pay
// kinds (sorted by code), saving the count and the kinds in one transaction.
// A stop or a failure leaves the kinds as they were. Returns the number of
// kinds read, -1 when stopped. Throws TextError as WriteKodDbf does (a short
// record is "Ошибка чтения файла") and db::DbError when the base refuses.
int ReadKodDbf(const QString& folder, infobase::CInfoBase& base, std::stop_token stop = {});

} // namespace kalvor::exchange
