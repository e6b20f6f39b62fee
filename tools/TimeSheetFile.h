#pragma once
// Time-sheet tables as a time-keeping program hands them over (dBASE III,
// eighteen fields, 81-byte records, the personnel number first): the demo
// firm's and the tests' files. Only the personnel number is read back by the
// program; the other fields carry what such a program would put there.
#include "infobase/InfoBase.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace kalvor::tools {

struct TimeSheetRow {
    QByteArray number; // the personnel number as stored, e.g. "  12"
    QString name;
    int workedDays = 0;
    int workedHours = 0;
};

// Writes the table; throws db::DbError when it cannot be written.
void WriteTimeSheetFile(const QString& path, const std::vector<TimeSheetRow>& rows);

// The rows of every employee of the base's list with his time sheet's worked
// days and hours, and a last row of personnel number 8000, which no demo
// employee has.
std::vector<TimeSheetRow> DemoTimeSheetRows(infobase::CInfoBase& base);

// Name of the demo firm's time-sheet file in the working folder.
inline QString DemoTimeSheetFileName() { return QStringLiteral("tabel.dbf"); }

// Writes the demo firm's time-sheet file beside the demo base in folder when
// it is missing; true when it was written.
bool MakeDemoTimeSheetFile(const QString& folder);

} // namespace kalvor::tools
