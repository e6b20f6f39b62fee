#pragma once
// The output (piece-work) file "sdel.dbf", exchanged with a piece-work
// accounting program. It is a dBASE III table: a header and field
// descriptors that the program takes from the template "sdel.dbf" of the
// working folder, then records of 533 bytes in ascending personnel-number
// order and the end mark 0x1A. The program keeps only the record count
// (offset 4), the records (from the header length at offset 8) and the mark.
//
// Record (8-bit text; a new record is first filled with "0"):
//   0 blank | 1 personnel number (4) | 5 shop (2) | 7 brigade (2)
//   9 short name in cp866, blank-padded (17) | 26 profession (4)
//   30 grade | 31 category | 32 pay system (each "0" + value)
//   33 time-worker's tariff "%8.3f" | 41 piece-worker's tariff "%8.3f"
//   49 worked days (2) | 51 worked time hhh.mm (6) | 57 evening hhh.mm
//   63 night hhh.mm | 69 "0" x 10 | 79 slots written (2, first slot of a
//   read) | 81 new slots (2) | 83 + 15 s: slot s = shop (2), code (3),
//   sum "%10.2f" (10), s = 0..29
#include "exchange/ExchangeWorker.h"
#include "payroll/PayrollDocument.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <functional>
#include <stop_token>

namespace kalvor::exchange {

inline constexpr int kVirabRecordSize = 533;
inline constexpr int kVirabSlotCount = 30;
// The flag of a pay kind whose entries go into the output file.
inline constexpr int kPieceWorkPayKindFlag = 0x2000;

enum OutputFileMode : int { OutputFileWrite = 1, OutputFileRead = 3 };

// Results of ExchangeOutputFile (the views show r as message 42 - r).
enum OutputFileResult : int {
    OUTPUT_FILE_DONE = 0,
    OUTPUT_FILE_MISSING = -2, // read of a missing file, or no file name
    OUTPUT_FILE_NOT_OUTPUT = -3, // first byte not 3
    OUTPUT_FILE_NO_EMPLOYEE = -4, // the personnel number is not in the list
    OUTPUT_FILE_NO_DATA = -6, // nobody of the shop and brigade
    OUTPUT_FILE_NO_TEMPLATE = -7, // the template "sdel.dbf" is missing
};

// Shop and brigade (0 = all) and one personnel number (0 = all).
struct OutputSelection {
    int shop = 0;
    int brigade = 0;
    int personnelNumber = 0;
};

// What a run tells its caller besides its result.
struct OutputFileOutcome {
    int notFound = 0; // employees of a read without a record
    QStringList cut; // employees of a write with more than 30 entries: "<number> <short name>"
    // The records of a read refused for a value their fields cannot hold (a
    // sum not finite or beyond the money range, an unknown pay kind, a shop
    // outside 0-250, impossible time-sheet totals), one message; empty when none.
    QString refused;
};

// The template of new output files: "sdel.dbf" of the folder, its name's
// case not minding; empty when there is none.
QString FindOutputTemplate(const QString& folder);

// Writes (mode 1) the records of the chosen employees into the file, or
// reads (mode 3) the file's new sums into their pay entries. Marked count > 0
// takes the marked entries of the list; else the one personnel number; else
// every employee of the shop and brigade. A write works on a copy of the file
// (or of the template for a new file) and puts it in place when complete; a
// read saves each employee's entries, attributes and time sheet in one
// transaction; a record holding a value its field cannot hold is refused
// whole (outcome.refused names it). Progress gets the list position and the marked count. File
// failures throw TextError ("Ошибка при открытии файла", "Ошибка чтения
// файла", "Ошибка записи в файл <path>" and why).
int ExchangeOutputFile(std::stop_token stop, const OutputSelection& selection, int mode, const QString& fileName,
                       int markedCount, const std::function<void(int, int)>& progress, PayrollDoc& doc,
                       OutputFileOutcome& outcome);

// The record of the employee of the list entry (loaded into the current
// record); at most 30 slots, `cut` set when more entries were flagged.
QByteArray WriteVirabRecord(PayrollDoc& doc, int listIndex, bool* cut = nullptr);
// Takes the new slots of the record into the pay entries of the employee of
// the list entry (the current record, its attributes and time sheet in
// memory); false when the record's slot range lies outside its 30 slots.
bool ReadVirabRecord(const char* record, int listIndex, PayrollDoc& doc);
// Copies the whole source into the target, in chunks of 1,000 bytes.
void CopyWholeFile(QIODevice& target, QIODevice& source);

// The fields of a record as the viewer shows them.
struct VirabSlot {
    int code = 0;
    double sum = 0; // roubles
    int shop = 0;
};
struct VirabRecordView {
    int personnelNumber = 0, shop = 0, brigade = 0, profession = 0, grade = 0, category = 0, paySystem = 0;
    QString shortName;
    double timeTariff = 0, pieceTariff = 0;
    int workedDays = 0;
    int workedHours = 0, workedMinutes = 0, eveningHours = 0, eveningMinutes = 0, nightHours = 0, nightMinutes = 0;
    std::vector<VirabSlot> sums;
};
VirabRecordView ParseVirabRecord(const char* record);

} // namespace kalvor::exchange

namespace kalvor::exchange {

// What the write and read views hand their workers: the strip and the file.
struct VirabTaskParams : platform::TaskThreadParams {
    QString fileName;
};

// The workers of the write and read views: the run of ExchangeOutputFile for
// the strip (mode 1 or 3); a negative result r shows message 42 - r, a read
// with employees lacking a record "количество ненайденных записей = %d", a
// write that cut employees at 30 sums names them; then TASK_DONE.
platform::TaskOutcome VirabWriteThreadProc(platform::TaskContext& context, const VirabTaskParams& params,
                                           PayrollDoc& doc, const ExchangeMessenger& messenger,
                                           const std::function<void(int, int)>& progress);
platform::TaskOutcome VirabReadThreadProc(platform::TaskContext& context, const VirabTaskParams& params,
                                          PayrollDoc& doc, const ExchangeMessenger& messenger,
                                          const std::function<void(int, int)>& progress);

} // namespace kalvor::exchange

namespace kalvor::exchange {

// Makes the template "sdel.dbf" in the folder (a dBASE III header whose
// fields describe the 533-byte record, no records) when none is there, its
// name's case not minding; true when made.
bool WriteOutputTemplate(const QString& folder);

} // namespace kalvor::exchange
