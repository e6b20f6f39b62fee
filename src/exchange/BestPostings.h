#pragma once
// The postings of the month for the accounting program BEST: one fixed-width
// line of 216 bytes (windows-1251) per posting. The first pass groups the
// accruals by cost code and spreads each employee's contributions over his
// accruals; the second groups the deductions, which debit account 70.
#include "payroll/PayrollDocument.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <stop_token>

class QIODevice;

namespace kalvor::exchange {

// What the postings export hands to the writers of the accounting programs.
struct PostingsSelection {
    std::uint8_t shop = 0; // 0 = all
    std::uint8_t brigade = 0; // 0 = all
    std::uint16_t profession = 0; // 0 = all
    std::uint16_t personnelNumber = 0; // 0 = all
    std::int8_t program = 0; // 0 BEST, 1 1С-бухгалтерия, 2 ИНФИН, 3 Турбо-бухгалтер
};

inline constexpr int kBestLineLength = 216;
inline constexpr int kBestRecordLength = 203;

// Four characters of an account group: the number zero-padded in four places.
QByteArray BestGroup(int value);
// The group of a field left empty.
inline constexpr char kBestBlankGroup[] = "    ";

// The 16-character account field of the groups a, b and c (four characters
// each): a and b without leading blanks and zeros, left-aligned from position
// 0; c the same way as a six-digit zero-padded number in positions 10-15,
// which stay blank when c is blank or zero.
QByteArray FormatBestAccount(QByteArrayView a, QByteArrayView b, QByteArrayView c);

// The 19-character amount field of an amount in whole kopecks: roubles
// right-aligned to position 14, the point, two decimals and a "0"; "-"
// directly left of the first digit of a negative amount.
QByteArray FormatBestAmount(std::int64_t kopecks);

// "YYYYMMDD" of the last day of the month.
QByteArray BestPostingDate(int year, int month);

// The account groups of one side of a posting.
struct BestAccount {
    QByteArray a, b, c; // four characters each
};

// One line: 10 blanks, the 203 characters of the record, a blank, CR LF.
// The text is the posting's 8-bit text, `textLength` of its characters
// (blank-padded) are written and then blanks up to 50.
QByteArray FormatBestRecord(const QByteArray& date, const BestAccount& debit, const BestAccount& credit,
                            QByteArrayView text, int textLength, std::int64_t kopecks);

// Writes the postings of the reporting month into `out`. Returns 0 when done,
// 1 when stopped, -32 for a contribution by tax table without a table number,
// -21 when no single variant of its table is valid in the month.
int ExportPostingsBest(std::stop_token stop, PayrollDoc& doc, QIODevice& out, const PostingsSelection& selection);

} // namespace kalvor::exchange
