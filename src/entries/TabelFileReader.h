#pragma once
// Checking the month's time-sheet file that a time-keeping program hands
// over: a dBASE III table with one 81-byte record per employee, keyed by the
// personnel number in bytes 1-4 of the record.
//
// The reader checks the table's head and counts the selected employees it
// meets in the file; the rest of each record (the time-sheet fields of the
// other program) is not read into the base.
#include "payroll/PayrollDocument.h"
#include "platform/TaskThread.h"

#include <QByteArrayView>
#include <QString>

namespace kalvor::entries {

// Results of ReadTabelFile.
enum TabelReadResult : int {
    kTabelReadDone = 0,
    kTabelUnknownNumber = -4, // the personnel number given is not in the list
    kTabelNoEmployees = -6, // no employee of the list passes the shop and brigade
    kTabelNotTimeSheet = -12, // the version byte is not 3 or the header is not 609 bytes
    kTabelFileMissing = -23, // no file of that name
};

// What a time-sheet table's head must hold.
inline constexpr int kTabelFileVersion = 3;
inline constexpr int kTabelHeaderLength = 609; // 32-byte head, 18 field descriptors, terminator
inline constexpr int kTabelRecordLength = 81;

// Which employees the reading looks for: the marked ones (markedCount > 0),
// else the one personnel number, else those of the shop and brigade (0 = any).
struct TabelFileSelection {
    int shop = 0;
    int brigade = 0;
    int personnelNumber = 0;
    int markedCount = 0;
};

// The personnel number of a record: bytes 1-4 read as a decimal number,
// leading blanks skipped, stopping at the first character that is not a digit.
int TabelRecordPersonnelNumber(QByteArrayView record);

// Checks the file and counts the selected employees met in it, stopping at
// the record that completes the expected count. Returns a TabelReadResult;
// throws print::PrintFileError (FILE_ERROR_OPEN when the file cannot be
// opened, FILE_ERROR_READ for a short head or record). The selection is
// checked before the file is touched. Never writes to the file. `met`, when
// given, receives the number of employees met.
int ReadTabelFile(const infobase::CInfoBase& base, const QString& fileName, const TabelFileSelection& selection,
                  int* met = nullptr);

// The message of a result other than done, for the user.
QString TabelReadResultText(int result);

// The worker's parameter block: the strip, the marked-only switch and the file.
struct TabelReadParams : platform::TaskThreadParams {
    QString fileName;
};

// The worker of the reading view: counts the marked employees when the run
// is for them, runs the reader and saves the base's configuration. A missing
// file or one that cannot be opened ends as TASK_FILE_ERROR with
// FILE_ERROR_OPEN, a failed read with FILE_ERROR_READ; the reader's other
// codes end as TASK_BAD_CONDITION with the code as the detail and its text as
// the message.
platform::TaskOutcome ReadTabelFileWorker(platform::TaskContext& context, const TabelReadParams& params,
                                          PayrollDoc& doc);

} // namespace kalvor::entries
