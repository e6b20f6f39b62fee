#pragma once
// The scratch file "inval" of the pension-fund and social-insurance reports:
// one 128-byte record per employee paid as a disabled person, written by the
// calculations, appended to their report data files, rebuilt by the merges and
// read by the XML writers and print forms. Texts are 8-bit windows-1251 bytes
// as the packed employee record holds them; numbers little-endian.
//
//   0  u8        reserved, 0
//   1  50 bytes  the employee's name, words joined by commas (JoinAddressWords)
//  51  8 bytes   series of the disability certificate (invSprSer)
//  59  10 bytes  its number (invSprNom)
//  69  8 bytes   its date of issue (invSprDat)
//  77  10 bytes  end of validity: "01.MM.YYYY", or "бессрочно" and a zero byte
//  87  u8        disability group 0-3 (invGr)
//  88  f64       payments counted for disabled employees since January (kopecks, whole roubles)
//  96  f64       the sum of the three months of the quarter
// 104  f64 x 3   months 1, 2 and 3 of the quarter
#include "infobase/Bytes.h"
#include "infobase/EmployeeRecord.h"

#include <QDate>
#include <QString>

#include <array>
#include <vector>

namespace kalvor::reports {

struct InvalRecord {
    static constexpr std::size_t Size = 128;

    std::uint8_t reserved = 0;
    std::array<char, 50> fio{};
    std::array<char, 8> invSprSer{};
    std::array<char, 10> invSprNom{};
    std::array<char, 8> invSprDat{};
    std::array<char, 10> invEnd{};
    std::uint8_t invGr = 0;
    double sinceYearStart = 0;
    double quarter = 0;
    std::array<double, 3> months{};

    void write(infobase::ByteWriter& w) const;
    static InvalRecord read(infobase::ByteReader& r);
    friend bool operator==(const InvalRecord&, const InvalRecord&) = default;
};

// The end of validity of an employee's disability: the end month of the
// second period when set, "бессрочно" when the second period has only a
// begin, else the end month of the first period, else "бессрочно". A month
// is written as its first day, "01.MM.YYYY".
std::array<char, 10> InvalValidityText(const infobase::EmployeeHead& head);

// The certificate's date of issue of a record ("dd.mm.yy"), read as every
// date kept as text is (ReadDateText); null when it holds none.
QDate InvalIssueDate(const InvalRecord& record);

// The name, certificate, end of validity and disability group of the
// employee's record (the group from bits 6-7 of the flag word); the amounts
// are left as they are.
void FillInvalIdentity(const infobase::EmployeeHead& head, InvalRecord& record);

// Surname, first name and patronymic of a record's name ("surname,name,
// patronymic "): the patronymic ends at the first blank; parts that the field
// does not hold are empty, and nothing past its 50 bytes is read.
struct InvalName {
    QByteArray surname, name, patronymic;
};
InvalName SplitInvalName(const std::array<char, 50>& field);

// "inval" in the working folder.
QString InvalFilePath();

// Reads every record of the file. Returns 0, or the FileErrorKind of the
// failure (a missing file is FILE_ERROR_OPEN; a length that is not a whole
// number of records is FILE_ERROR_READ).
int ReadInvalFile(const QString& path, std::vector<InvalRecord>& records);
// Writes the records as the whole file, under a temporary name renamed when
// complete. Returns 0 or the FileErrorKind of the failure.
int WriteInvalFile(const QString& path, const std::vector<InvalRecord>& records);

// The records as bytes, one after the other, and back (a tail shorter than a
// record is not read).
QByteArray InvalRecordsToBytes(const std::vector<InvalRecord>& records);
std::vector<InvalRecord> InvalRecordsFromBytes(const QByteArray& bytes);

} // namespace kalvor::reports
