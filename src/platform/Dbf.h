#pragma once
// dBASE III tables: the file layer under CDbf, and the reader of foreign
// tables (bank files, time-sheet files of other programs).
//
// A table is held whole in memory: its field descriptors and its records as
// the bytes that the file stores. Reading checks the header against the
// file's size, so a truncated or foreign file is refused with a DbError
// instead of yielding rubbish. Writing lays the file out field by field:
//
//   header (32 bytes): version 3; last update as year - 1900, month, day;
//     u32 record count at 4; u16 header length at 8; u16 record length at 10;
//     the language byte at 29 (0xC9, windows-1251, so that other programs
//     pick the encoding);
//   one 32-byte descriptor per field: name (at most 10 characters, NUL
//     padded to 11 bytes), type letter, length, decimal count;
//   0x0D; then the records (a deletion byte, blank or '*', and the fields);
//   0x1A at the end.
//
// The file is written under a temporary name beside the table and renamed
// over it when complete, so a failed write never leaves half a table.
#include <QByteArray>
#include <QDate>
#include <QString>

#include <vector>

namespace kalvor::dbf {

// One column of a table.
struct DbfField {
    QByteArray name; // as stored (the writer stores upper case)
    char type = 'C'; // C character, N numeric, F float, D date, L logical, M memo ...
    int length = 0;
    int decimals = 0;
    int offset = 0; // from the start of the record, after the deletion byte
};

class DbfTable {
public:
    static constexpr int HeaderSize = 32;
    static constexpr int DescriptorSize = 32;
    static constexpr int MaxNameLength = 10;
    static constexpr int MaxCharLength = 254;
    static constexpr unsigned char Version = 0x03;
    static constexpr unsigned char LanguageCp1251 = 0xC9;

    // A new empty table with these fields (names stored in upper case);
    // throws DbError for a name longer than 10 characters, a repeated name or
    // a field length outside 1..254.
    static DbfTable create(const std::vector<DbfField>& fields);
    // Reads a whole table file; throws DbError when it cannot be read or is
    // not a dBASE table whose header agrees with its size.
    static DbfTable read(const QString& path);
    // Writes the table as a new file (temporary name, then rename), stamped
    // with the date `updated`; throws DbError on failure.
    void write(const QString& path, const QDate& updated) const;

    const std::vector<DbfField>& fields() const { return fields_; }
    int fieldCount() const { return int(fields_.size()); }
    // Index of the field of that name (any case); -1 when there is none.
    int fieldIndex(QByteArrayView name) const;
    int recordCount() const { return int(records_.size()); }
    int recordLength() const { return recordLength_; }
    int headerLength() const { return HeaderSize + DescriptorSize * fieldCount() + 1; }
    bool isDeleted(int record) const { return records_[std::size_t(record)].front() == '*'; }

    // A record's bytes as stored: the deletion byte, then the fields.
    const QByteArray& record(int index) const { return records_[std::size_t(index)]; }
    // The field's bytes as stored (blank padded).
    QByteArray rawValue(int record, int field) const;
    // The field as text, the way the exchange reads it: character fields
    // without trailing blanks; numbers trimmed; dates "dd.mm.yyyy"; logical
    // fields as their letter. An all-blank value is empty.
    QByteArray value(int record, int field) const;
    // Whether value(record, field) equals text, without making the value.
    bool valueEquals(int record, int field, QByteArrayView text) const;

    // Appends a record of blanks; returns its index.
    int appendBlankRecord();
    // Stores a character value, cut to the field's length and blank padded.
    void setValue(int record, int field, QByteArrayView text);

private:
    std::vector<DbfField> fields_;
    std::vector<QByteArray> records_;
    int recordLength_ = 1;
};

// The file of a table in a folder, found without regard to case: the name as
// given when such a file exists, else the first entry of the folder whose
// name matches in any case, else the name as given (a table yet to make).
QString FindTableFile(const QString& folder, const QString& fileName);

} // namespace kalvor::dbf
