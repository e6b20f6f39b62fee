#include "entries/TabelFileReader.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "platform/Dbf.h"
#include "print/PrintOutput.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace kalvor::entries {

using infobase::CInfoBase;
using platform::TaskOutcome;

namespace {

constexpr int kHeadBytesRead = 10; // version, last update, record count, header length

enum class SelectionMode { Marked, Number, Filter };

// How many employees the reading expects to meet, and how it tells them;
// a result code instead when the selection finds nobody.
struct Expectation {
    SelectionMode mode = SelectionMode::Filter;
    int count = 0;
    int result = kTabelReadDone;
};

bool InShopAndBrigade(const CInfoBase& base, int slot, const TabelFileSelection& selection)
{
    return base.EmployeeInGroup(slot, selection.shop, selection.brigade, 0);
}

Expectation ExpectedEmployees(const CInfoBase& base, const TabelFileSelection& selection)
{
    Expectation expected;
    if (selection.markedCount != 0) {
        expected.mode = SelectionMode::Marked;
        expected.count = selection.markedCount;
    } else if (selection.personnelNumber != 0) {
        expected.mode = SelectionMode::Number;
        expected.count = 1;
        if (FindEmployeeByTabN(base, selection.personnelNumber) < 0)
            expected.result = kTabelUnknownNumber;
    } else {
        expected.count = int(std::count_if(base.list.begin(), base.list.end(), [&](const auto& entry) {
            return InShopAndBrigade(base, entry.slot, selection);
        }));
        if (expected.count == 0)
            expected.result = kTabelNoEmployees;
    }
    return expected;
}

unsigned U16At(const QByteArray& bytes, int at)
{
    return unsigned(uchar(bytes[at])) | unsigned(uchar(bytes[at + 1])) << 8;
}

// Reads the first bytes of the file and tells whether they are a time-sheet
// table's head. The file is opened here only to read them.
bool HasTimeSheetHead(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw print::PrintFileError(platform::FILE_ERROR_OPEN);
    const QByteArray head = file.read(kHeadBytesRead);
    if (head.size() < kHeadBytesRead)
        throw print::PrintFileError(platform::FILE_ERROR_READ);
    return uchar(head[0]) == kTabelFileVersion && int(U16At(head, 8)) == kTabelHeaderLength;
}

// The whole table through the dBASE reader; a table that does not agree with
// its head (short records among them) is a read failure.
dbf::DbfTable ReadTable(const QString& fileName)
{
    try {
        return dbf::DbfTable::read(fileName);
    } catch (const db::DbError&) {
        throw print::PrintFileError(platform::FILE_ERROR_READ);
    }
}

bool RecordTaken(const CInfoBase& base, int index, int number, const Expectation& expected,
                 const TabelFileSelection& selection)
{
    const auto& entry = base.list[std::size_t(index)];
    switch (expected.mode) {
    case SelectionMode::Marked: return entry.marked();
    case SelectionMode::Number: return number == selection.personnelNumber;
    case SelectionMode::Filter: return InShopAndBrigade(base, entry.slot, selection);
    }
    return false;
}

} // namespace

int TabelRecordPersonnelNumber(QByteArrayView record)
{
    const QByteArrayView field =
        record.size() > 1 ? record.sliced(1, std::min<qsizetype>(4, record.size() - 1)) : QByteArrayView();
    int at = 0;
    while (at < field.size() && field[at] == ' ') ++at;
    int number = 0;
    for (; at < field.size() && field[at] >= '0' && field[at] <= '9'; ++at) number = number * 10 + (field[at] - '0');
    return number;
}

int ReadTabelFile(const CInfoBase& base, const QString& fileName, const TabelFileSelection& selection, int* met)
{
    if (met)
        *met = 0;
    const Expectation expected = ExpectedEmployees(base, selection);
    if (expected.result != kTabelReadDone)
        return expected.result;
    if (fileName.isEmpty() || !QFileInfo::exists(fileName))
        return kTabelFileMissing;
    if (!HasTimeSheetHead(fileName))
        return kTabelNotTimeSheet;

    const dbf::DbfTable table = ReadTable(fileName);
    int metCount = 0;
    for (int record = 0; record < table.recordCount() && metCount < expected.count; ++record) {
        const int number = TabelRecordPersonnelNumber(table.record(record));
        const int index = FindEmployeeByTabN(base, number);
        if (index >= 0 && RecordTaken(base, index, number, expected, selection))
            ++metCount;
    }
    if (met)
        *met = metCount;
    return kTabelReadDone;
}

QString TabelReadResultText(int result)
{
    switch (result) {
    case kTabelUnknownNumber: return QStringLiteral("Некорректный табельный номер");
    case kTabelNoEmployees: return QStringLiteral("Сотрудников не обнаружено");
    case kTabelNotTimeSheet: return QStringLiteral("Файл не является таблицей табельного учета dBASE III");
    case kTabelFileMissing: return platform::FileErrorKindText(platform::FILE_ERROR_OPEN);
    default: return QString();
    }
}

TaskOutcome ReadTabelFileWorker(platform::TaskContext& /*context*/, const TabelReadParams& params, PayrollDoc& doc)
{
    CInfoBase& base = doc.infoBase;
    TabelFileSelection selection;
    selection.shop = params.shop;
    selection.brigade = params.brigade;
    selection.personnelNumber = params.personnelNumber;
    if (params.markedOnly)
        selection.markedCount =
            int(std::count_if(base.list.begin(), base.list.end(), [](const auto& entry) { return entry.marked(); }));

    int result = kTabelReadDone;
    try {
        result = ReadTabelFile(base, params.fileName, selection);
    } catch (const print::PrintFileError& error) {
        infobase::SaveConfig(base);
        return TaskOutcome(platform::TASK_FILE_ERROR, error.kind());
    }
    infobase::SaveConfig(base);
    switch (result) {
    case kTabelReadDone: return TaskOutcome(platform::TASK_DONE);
    case kTabelFileMissing: return TaskOutcome(platform::TASK_FILE_ERROR, platform::FILE_ERROR_OPEN);
    default: return TaskOutcome(platform::TASK_BAD_CONDITION, result, TabelReadResultText(result));
    }
}

} // namespace kalvor::entries
