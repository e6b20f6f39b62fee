#include "TimeSheetFile.h"

#include "DemoFirm.h"
#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/Dbf.h"

#include <QDate>
#include <QFile>

namespace kalvor::tools {

namespace {

constexpr int kMinutesPerHour = 60;
constexpr int kUnknownDemoNumber = 8000;

// Eighteen fields of 80 bytes in all: with the deletion byte, 81-byte records
// and a 609-byte header.
std::vector<dbf::DbfField> TimeSheetFields()
{
    std::vector<dbf::DbfField> fields = {{"TABN", 'C', 4, 0, 0}, {"FIO", 'C', 21, 0, 0}};
    const std::pair<const char*, int> numbers[] = {
        {"RABDN", 3},   {"RABHR", 4},   {"VHR", 4},   {"NHR", 4},     {"PRDN", 3},  {"PRHR", 4},
        {"VYHDN", 3},   {"VYHHR", 4},   {"BOLDN", 3}, {"OTPDN", 3},   {"KOMDN", 3}, {"UCHDN", 3},
        {"PROSTDN", 3}, {"SVERHHR", 4}, {"KOEFF", 4}, {"DRRABDN", 3},
    };
    for (const auto& [name, length] : numbers) fields.push_back({name, 'N', length, 0, 0});
    return fields;
}

} // namespace

void WriteTimeSheetFile(const QString& path, const std::vector<TimeSheetRow>& rows)
{
    dbf::DbfTable table = dbf::DbfTable::create(TimeSheetFields());
    const int number = table.fieldIndex("TABN"), name = table.fieldIndex("FIO");
    const int days = table.fieldIndex("RABDN"), hours = table.fieldIndex("RABHR");
    for (const TimeSheetRow& row : rows) {
        const int record = table.appendBlankRecord();
        table.setValue(record, number, row.number);
        table.setValue(record, name, codepage::toCp1251(row.name));
        table.setValue(record, days, QByteArray::number(row.workedDays).rightJustified(3));
        table.setValue(record, hours, QByteArray::number(row.workedHours).rightJustified(4));
    }
    table.write(path, QDate::currentDate());
}

std::vector<TimeSheetRow> DemoTimeSheetRows(infobase::CInfoBase& base)
{
    std::vector<TimeSheetRow> rows;
    for (const infobase::EmployeeListEntry& entry : base.list) {
        infobase::LoadEmployee(base, entry.slot);
        const infobase::TabelRecord& sheet = base.tabelOf(entry.slot);
        rows.push_back({QByteArray::number(entry.tabN()).rightJustified(4), base.current.head.fio, sheet.rabDn,
                        sheet.rabHr / kMinutesPerHour});
    }
    rows.push_back({QByteArray::number(kUnknownDemoNumber), QStringLiteral("Посторонний П. П."), 0, 0});
    return rows;
}

bool MakeDemoTimeSheetFile(const QString& folder)
{
    const QString path = folder + DemoTimeSheetFileName();
    if (QFile::exists(path) || !infobase::BaseExists(folder, DemoBaseName()))
        return false;
    infobase::CInfoBase base;
    base.workFolder = folder;
    base.baseName = DemoBaseName();
    infobase::OpenBase(base);
    infobase::LoadAll(base);
    const std::vector<TimeSheetRow> rows = DemoTimeSheetRows(base);
    infobase::CloseBase(base);
    WriteTimeSheetFile(path, rows);
    return true;
}

} // namespace kalvor::tools
