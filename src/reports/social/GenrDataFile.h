#pragma once
// The report data file of the report generator: what a report of one base
// saves through "Файл итогов" instead of printing it, so that the reports of
// several bases can be added up. Little-endian:
//
//   0  u8   tag: 17 social-insurance settlement, 15 pension-fund contributions,
//           14 average headcount, 10 occupational injury
//   1  u8   first month of the period, 1-12
//   2  u8   last month of the period, 1-12
//   3  u8   report year - 1900
//   4  f64  tag 14: the one value; the file ends here (12 bytes)
//   4  f64 x 425  other tags: the report values 0 to 424 (3,404 bytes)
//   3,404  128 x n  tag 15 (and a 4-FSS file that carries them): the records
//                   of "inval"
//
// Files are written under a temporary name and renamed when complete, so a
// stopped run or a failed write never leaves a file behind.
#include "reports/social/InvalRecord.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace kalvor::reports {

enum GenrTag : std::uint8_t {
    GENR_TAG_INJURY = 10,
    GENR_TAG_HEADCOUNT = 14,
    GENR_TAG_PF = 15,
    GENR_TAG_FSS4 = 17,
};

struct GenrDataHeader {
    static constexpr std::size_t Size = 4;
    // Years the readers accept: those of the generator's parameters, 1994 up
    // to 2155, the last year the byte holds.
    static constexpr int MinYearByte = 94;

    std::uint8_t tag = 0;
    std::uint8_t firstMonth = 0;
    std::uint8_t lastMonth = 0;
    std::uint8_t yearByte = 0;

    // Months 1-12 and a year the readers accept.
    bool periodValid() const;
    bool samePeriod(const GenrDataHeader& other) const
    {
        return firstMonth == other.firstMonth && lastMonth == other.lastMonth && yearByte == other.yearByte;
    }
    friend bool operator==(const GenrDataHeader&, const GenrDataHeader&) = default;
};

struct GenrDataFile {
    static constexpr std::size_t ValueCount = 425;

    GenrDataHeader header;
    std::vector<double> values; // one value for tag 14, 425 for the others
    std::vector<InvalRecord> inval; // the records after the values (tags 15 and 17)

    // Values in a file of the tag: 1 for the headcount, 425 for the others.
    static std::size_t valueCount(int tag) { return tag == GENR_TAG_HEADCOUNT ? 1 : ValueCount; }
    // Whether "inval" records may follow the values.
    static bool carriesInval(int tag) { return tag == GENR_TAG_PF || tag == GENR_TAG_FSS4; }
};

// The file's bytes: header, the tag's number of values (missing values are 0)
// and, for a tag that carries them, the "inval" records.
QByteArray GenrDataFileBytes(const GenrDataFile& file);

// Writes the file. Returns 0, or the FileErrorKind of the failure
// (FILE_ERROR_OPEN, FILE_ERROR_WRITE); nothing is left under the path then.
int WriteGenrDataFile(const QString& path, const GenrDataFile& file);

enum class GenrReadStatus {
    Done,
    OpenFailed, // "Ошибка при открытии файла"
    ReadFailed, // "Ошибка чтения файла": shorter than its values, or a part record after them
    Foreign, // "Файл не имеет отношения к выбранному Вами своду": another tag, a bad or another period
    BadValue, // a value no report holds (ImportCheck's message names it)
};
QString GenrReadStatusText(GenrReadStatus status);

// Reads the bytes of a file of the tag; `name` is the file as the message
// names it. The header must carry the tag, months 1-12 and a year byte of 94
// or more (1994-2155), and, when `first` is given (the first file of a
// merge), the same period as that header. Every value must be finite and
// within ±kMaxGenrValue, and the "inval" records' amounts within the money
// range with a disability group of 0-3; else BadValue, `file` untouched, and
// the message naming the file, the record and the value in *refusal when
// given.
GenrReadStatus ParseGenrDataFile(const QByteArray& bytes, int tag, const GenrDataHeader* first, GenrDataFile& file,
                                 const QString& name = QString(), QString* refusal = nullptr);

// The largest value of a report in either direction (the money range in kopecks).
inline constexpr double kMaxGenrValue = 1e14;

} // namespace kalvor::reports
