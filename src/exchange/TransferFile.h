#pragma once
// The employee transfer file: the complete data of chosen employees carried
// from one information base to another. Binary, little-endian:
//   0  u8  type byte, always 7
//   1  u32 number of records
//   5 + i x 36,121  record i, in ascending personnel-number order
// A record holds the personnel number, brigade and shop bytes, the packed
// employee record, the time-sheet totals, the counted line lists (alternative
// time sheet, bonus, sick-leave, vacation lines, each padded to its slots
// with zeros), the attribute record and the two average-earnings values.
#include "infobase/InfoBase.h"
#include "payroll/PayrollDocument.h"

#include <QByteArray>
#include <QString>

#include <cstddef>

namespace kalvor::exchange {

inline constexpr unsigned char kTransferFileType = 7;
inline constexpr std::size_t kTransferHeaderSize = 5;
inline constexpr std::size_t kTransferRecordSize = 36'121;

// Slots of the counted lists of a record.
inline constexpr int kTransferAltTabelSlots = 11;
inline constexpr int kTransferBonusSlots = 8;
inline constexpr int kTransferSickLeaveSlots = 10;
inline constexpr int kTransferVacationSlots = 5;

// Offsets inside a record.
inline constexpr std::size_t kTransferPackedOffset = 6;
inline constexpr std::size_t kTransferTabelOffset = 35'157;
inline constexpr std::size_t kTransferAltTabelOffset = 35'200;
inline constexpr std::size_t kTransferAttributesOffset = 35'479;
inline constexpr std::size_t kTransferAvOffset = 35'489;
inline constexpr std::size_t kTransferBonusOffset = 35'497;
inline constexpr std::size_t kTransferSickLeaveOffset = 35'645;
inline constexpr std::size_t kTransferVacationOffset = 36'019;
inline constexpr std::size_t kTransferZar1Offset = 36'113;

enum TransferMode : int { TransferExport = 1, TransferImport = 3 };

// Results of TransferFileRun (the views show -k as message 42 + k).
inline constexpr int kTransferDone = 0;
inline constexpr int kTransferEmptyFile = 1;
inline constexpr int kTransferNoSuchEmployee = -4;
inline constexpr int kTransferNoEmployees = -6;
inline constexpr int kTransferCannotOpen = -14;
inline constexpr int kTransferBaseFull = -16;

// The employees a run takes: shop and brigade (0 = all), the profession code
// (carried, not used) and one personnel number (0 = all employees).
struct TransferSelection {
    unsigned char shop = 0;
    unsigned char brigade = 0;
    unsigned short profession = 0;
    unsigned short tabN = 0;
};

// Exports (mode 1) the chosen employees of the current list into the file or
// imports (mode 3) the file's records into the base. Marked count > 0 takes
// the marked entries of the list; else the one personnel number; else all
// employees of the shop and brigade. A relative file name lies in the working
// folder. The export is written under a temporary name and renamed; -4 and -6
// make no file; an employee whose lines do not fit the record's slots refuses
// the export (TextError naming them), no file is made. The import refuses a
// file of another kind or length and counts above the slots (TextError); it
// changes the tables in memory and saves each employee taken, the caller
// saves the tables afterwards (SaveTransferImport). File failures are thrown
// as TextError ("Ошибка записи в файл <path>" and why, "Ошибка чтения
// файла").
int TransferFileRun(PayrollDoc& doc, int mode, const QString& fileName, const TransferSelection& selection,
                    int markedCount);

// The record of the employee of one list entry; loads the employee into the
// current record. The line lists must fit the record's slots.
QByteArray WriteTransferRecord(infobase::CInfoBase& base, const infobase::EmployeeListEntry& entry);
// Takes one record into the base for the list entry at listIndex, or (-1) for
// the employee of its personnel number, a new one when absent. Returns 1 when
// taken, -16 when the base is full.
int ReadTransferRecord(const char* record, int listIndex, infobase::CInfoBase& base);
// Index of the record of personnel number tabN among `count` records in
// ascending order (a bisection over the stored numbers); else -(insertion
// point), and -count past the end; -1 at once for number 0 or no records.
int FindTransferRecord(const QByteArray& file, std::size_t recordSize, unsigned tabN, int count);

// Saves every table an import touches, in one transaction: both employee
// lists, time sheet, index words, alternative time sheet masses 1-3, short
// names, attributes, bonus, sick-leave and vacation lines, averages and the
// configuration.
void SaveTransferImport(infobase::CInfoBase& base);

} // namespace kalvor::exchange
