#include "exchange/OutputFile.h"

#include "infobase/EmployeeRecord.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/PayKinds.h"
#include "platform/CodePage.h"
#include "platform/DbTransaction.h"
#include "platform/Dbf.h"
#include "platform/SavedFile.h"
#include "platform/TaskThread.h"
#include "values/CScan.h"
#include "values/Clock.h"
#include "values/ImportCheck.h"
#include "values/Messages.h"
#include "values/RecordFile.h"
#include "values/RoundText.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <set>

namespace kalvor::exchange {

using infobase::AccrualRow;
using infobase::CInfoBase;
using infobase::EmployeeAttributes;
using infobase::EmployeeListEntry;

namespace {

constexpr int kHeaderBytesRead = 10;
constexpr char kOutputFileType = 3;
constexpr char kEndMark = 0x1A;
constexpr int kSlotsOffset = 83;
constexpr int kSlotSize = 15;
constexpr int kMonthRows = ::kalvor::infobase::EmployeeRecord::MonthRowCount;
constexpr int kMaxNewSlots = 28;
constexpr int kMaxBlockCount = 28;
constexpr int kCopyChunk = 1000;

const char* const kOpenFailed = "Ошибка при открытии файла";
const char* const kReadFailed = "Ошибка чтения файла";
const char* const kWriteFailed = "Ошибка записи в файл";

// ------------------------------------------------------------ the record

void Put(QByteArray& record, int offset, const QByteArray& text) { record.replace(offset, text.size(), text); }

QByteArray Number(int value, int width) { return QByteArray::number(value).rightJustified(width, ' ', true); }

// Minutes as "hhh.mm".
QByteArray HoursMinutes(int minutes)
{
    return Number(minutes / 60, 3) + '.' + QByteArray::number(minutes % 60).rightJustified(2, '0');
}

QByteArray Tariff(const infobase::Tariff3& tariff)
{
    return FormatFixed8(tariff.rub + tariff.thou / 1000.0, 3, 8).right(8);
}

int Field(const char* record, int offset, int width) { return AtoiC(record + offset, width); }

} // namespace

QByteArray WriteVirabRecord(PayrollDoc& doc, int listIndex, bool* cut)
{
    CInfoBase& base = doc.infoBase;
    const EmployeeListEntry entry = base.list[std::size_t(listIndex)];
    infobase::LoadEmployee(base, entry.slot);
    const EmployeeAttributes& attr = base.attributesOf(entry.slot);
    const infobase::TabelRecord& tabel = base.tabelOf(entry.slot);
    const int shop = base.shopOf(entry.slot);
    QByteArray record(kVirabRecordSize, '0');
    record[0] = ' ';
    Put(record, 1, Number(entry.tabN(), 4));
    Put(record, 5, Number(shop, 2));
    Put(record, 7, Number(attr.brig, 2));
    Put(record, 9, codepage::toCp866(base.shortNameOf(entry.slot)).leftJustified(17, ' ', true));
    Put(record, 26, Number(attr.prof, 4));
    record[30] = char('0' + attr.razr);
    record[31] = char('0' + attr.kateg);
    record[32] = char('0' + attr.sistOpl);
    Put(record, 33, Tariff(base.current.head.tarifVrem));
    Put(record, 41, Tariff(base.current.head.tarifSdel));
    Put(record, 49, Number(tabel.rabDn, 2));
    Put(record, 51, HoursMinutes(tabel.rabHr));
    Put(record, 57, HoursMinutes(tabel.vHr));
    Put(record, 63, HoursMinutes(tabel.nHr));
    int written = 0;
    bool more = false;
    for (int i = attr.kvProizv; i < kMonthRows; ++i) {
        const AccrualRow& row = base.current.rows[std::size_t(i)];
        if (row.kod == 0)
            break;
        const infobase::PayKind* kind = PayKindOf(doc, row.kod);
        if (!kind || !(kind->flags & kPieceWorkPayKindFlag))
            continue;
        if (written == kVirabSlotCount) {
            more = true;
            break;
        }
        const int at = kSlotsOffset + kSlotSize * written++;
        Put(record, at, row.otd != 0 && row.otd != shop ? Number(row.otd, 2) : QByteArray("00"));
        Put(record, at + 2, Number(row.kod, 3));
        Put(record, at + 5, FormatFixed8(row.sum / 100, 2, 10).right(10));
    }
    Put(record, 79, QByteArray::number(written).rightJustified(2, '0'));
    if (cut)
        *cut = more;
    return record;
}

// -------------------------------------------------------------- reading

namespace {

// The shop of an entry as the file compares it: the employee's own is 0.
int EntryShop(const AccrualRow& row, int employeeShop) { return row.otd == employeeShop ? 0 : row.otd; }

void RemoveRow(std::array<AccrualRow, infobase::EmployeeRecord::RowCount>& rows, int index)
{
    std::move(rows.begin() + index + 1, rows.begin() + kMonthRows, rows.begin() + index);
    rows[kMonthRows - 1] = AccrualRow{};
}

std::vector<AccrualRow> NewEntries(const char* record, int first, int count, int month, int employeeShop)
{
    std::vector<AccrualRow> entries;
    for (int s = first; s < first + count; ++s) {
        const char* slot = record + kSlotsOffset + kSlotSize * s;
        AccrualRow row;
        row.kod = infobase::u16(AtoiC(slot + 2, 3));
        row.sum = AtofC(slot + 5, 10) * 100;
        row.mes = infobase::u16(month);
        const int shop = AtoiC(slot, 2);
        row.otd = infobase::u8(shop == employeeShop ? 0 : shop);
        entries.push_back(row);
    }
    return entries;
}

// The numbers a read takes from the record: the time-sheet totals, and the
// shop, pay kind and sum of each new slot (a slot without a sum is dropped
// anyway). False when one is refused; nothing of the record is then taken.
bool VirabRecordPasses(const char* record, const PayrollDoc& doc, ImportCheck& check)
{
    const int first = Field(record, 79, 2);
    const int count = std::min(Field(record, 81, 2), kMaxNewSlots);
    check.number(Field(record, 49, 2), 0, 31, QStringLiteral("RABDN"));
    check.number(Field(record, 51, 3), 0, 999, QStringLiteral("RABHR"));
    check.number(Field(record, 55, 2), 0, 59, QStringLiteral("RABHR"));
    for (int s = std::max(first, 0); s < first + count && s < kVirabSlotCount; ++s) {
        const char* slot = record + kSlotsOffset + kSlotSize * s;
        const QString number = QString::number(s + 1).rightJustified(2, QLatin1Char('0'));
        const double sum = AtofC(slot + 5, 10) * 100;
        if (!check.money(sum, QStringLiteral("SUM") + number, true) || sum == 0)
            continue;
        const int code = AtoiC(slot + 2, 3);
        check.code(code, PayKindOf(doc, code) != nullptr, QStringLiteral("KOD") + number);
        check.number(AtoiC(slot, 2), 0, infobase::CInfoBase::ShopCount, QStringLiteral("CEH") + number);
    }
    return check.recordPassed();
}

} // namespace

bool ReadVirabRecord(const char* record, int listIndex, PayrollDoc& doc)
{
    CInfoBase& base = doc.infoBase;
    const EmployeeListEntry entry = base.list[std::size_t(listIndex)];
    const int first = Field(record, 79, 2);
    const int count = std::min(Field(record, 81, 2), kMaxNewSlots);
    if (first < 0 || count < 0 || first + count > kVirabSlotCount)
        return false;
    infobase::TabelRecord& tabel = base.tabelOf(entry.slot);
    tabel.rabDn = infobase::u8(Field(record, 49, 2));
    tabel.rabHr = infobase::u16(Field(record, 51, 3) * 60 + Field(record, 55, 2));
    infobase::LoadEmployee(base, entry.slot);
    if (count == 0)
        return true;
    EmployeeAttributes& attr = base.attributesOf(entry.slot);
    const int employeeShop = base.shopOf(entry.slot);
    auto& rows = base.current.rows;
    // Counts read from the base are kept within the block's room.
    int block = std::min<int>(attr.kvProizv, kMaxBlockCount);
    int pieceWork = std::min<int>(attr.kvSdel, block);
    const std::vector<AccrualRow> entries =
        NewEntries(record, first, count, base.config.reportingMonth(), employeeShop);
    std::set<int> shops;
    for (const AccrualRow& row : entries) shops.insert(row.otd);
    // The piece-work entries of the shops the file brings are replaced.
    for (int i = 0; i < pieceWork;) {
        if (!shops.count(EntryShop(rows[std::size_t(i)], employeeShop))) {
            ++i;
            continue;
        }
        RemoveRow(rows, i);
        --pieceWork;
        --block;
    }
    std::move_backward(rows.begin() + pieceWork, rows.begin() + kMonthRows - count, rows.begin() + kMonthRows);
    std::copy(entries.begin(), entries.end(), rows.begin() + pieceWork);
    pieceWork = std::min(pieceWork + count, kMaxBlockCount);
    block = std::min(block + count, kMaxBlockCount);
    // Piece-work entries with no sum are dropped.
    for (int i = 0; i < pieceWork;) {
        if (rows[std::size_t(i)].sum != 0) {
            ++i;
            continue;
        }
        RemoveRow(rows, i);
        --pieceWork;
        --block;
    }
    attr.kvSdel = infobase::u16(pieceWork);
    attr.kvProizv = infobase::u16(std::max(block, 0));
    return true;
}

void CopyWholeFile(QIODevice& target, QIODevice& source)
{
    char chunk[kCopyChunk];
    for (;;) {
        const qint64 read = source.read(chunk, kCopyChunk);
        if (read < 0)
            throw TextError(kReadFailed);
        if (read == 0)
            return;
        if (target.write(chunk, read) != read)
            throw TextError(kWriteFailed);
    }
}

QString FindOutputTemplate(const QString& folder)
{
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files))
        if (name.compare(QLatin1String("sdel.dbf"), Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    return QString();
}

// ------------------------------------------------------------------ a run

namespace {

// The list positions a run takes: the marked entries, the one number, or the
// shop and brigade.
int ChooseEntries(const CInfoBase& base, const OutputSelection& selection, int markedCount, std::vector<int>& chosen)
{
    if (markedCount > 0) {
        for (int i = 0; i < base.employeeCount(); ++i)
            if (base.list[std::size_t(i)].marked())
                chosen.push_back(i);
        return OUTPUT_FILE_DONE;
    }
    if (selection.personnelNumber != 0) {
        const int index = base.FindEmployee(selection.personnelNumber);
        if (index < 0)
            return OUTPUT_FILE_NO_EMPLOYEE;
        chosen.push_back(index);
        return OUTPUT_FILE_DONE;
    }
    for (int i = 0; i < base.employeeCount(); ++i) {
        const EmployeeListEntry& entry = base.list[std::size_t(i)];
        if (base.EmployeeInGroup(entry.slot, selection.shop, selection.brigade, 0))
            chosen.push_back(i);
    }
    return chosen.empty() ? OUTPUT_FILE_NO_DATA : OUTPUT_FILE_DONE;
}

QByteArray ReadWhole(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TextErrorWithPath(kOpenFailed, path);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw TextError(kReadFailed);
    return bytes;
}

// The file in memory with its count and header length.
struct OutputFileData {
    QByteArray bytes;
    qint64 count = 0;
    qint64 header = 0;
};

// The bytes of an output file checked: OUTPUT_FILE_DONE, or -3 for another kind.
int CheckOutputFile(OutputFileData& data)
{
    if (data.bytes.size() < kHeaderBytesRead)
        throw TextError(kReadFailed);
    if (data.bytes[0] != kOutputFileType)
        return OUTPUT_FILE_NOT_OUTPUT;
    data.count = qFromLittleEndian<quint32>(data.bytes.constData() + 4);
    data.header = qFromLittleEndian<qint16>(data.bytes.constData() + 8);
    if (data.header < kHeaderBytesRead || data.header + data.count * kVirabRecordSize > data.bytes.size())
        throw TextError(kReadFailed);
    return OUTPUT_FILE_DONE;
}

QString CutEmployeeText(const CInfoBase& base, int listIndex)
{
    const EmployeeListEntry& entry = base.list[std::size_t(listIndex)];
    return QStringLiteral("%1 %2").arg(entry.tabN()).arg(base.shortNameOf(entry.slot));
}

int WriteRun(std::stop_token stop, const std::vector<int>& chosen, const QString& fileName, int markedCount,
             const std::function<void(int, int)>& progress, PayrollDoc& doc, OutputFileOutcome& outcome)
{
    OutputFileData data;
    if (QFile::exists(fileName)) {
        data.bytes = ReadWhole(fileName);
    } else {
        // A new file is a copy of the template.
        QFile templateFile(FindOutputTemplate(doc.infoBase.workFolder));
        if (templateFile.fileName().isEmpty())
            return OUTPUT_FILE_NO_TEMPLATE;
        if (!templateFile.open(QIODevice::ReadOnly))
            throw TextErrorWithPath(kOpenFailed, templateFile.fileName());
        QBuffer copy(&data.bytes);
        copy.open(QIODevice::WriteOnly);
        CopyWholeFile(copy, templateFile);
    }
    if (const int checked = CheckOutputFile(data); checked != OUTPUT_FILE_DONE)
        return checked;
    // Whatever follows the records (the end mark) is written anew.
    data.bytes.truncate(data.header + data.count * kVirabRecordSize);
    QBuffer buffer(&data.bytes);
    buffer.open(QIODevice::ReadWrite);
    for (int index : chosen) {
        if (stop.stop_requested())
            break;
        if (progress)
            progress(index, markedCount);
        bool cut = false;
        const QByteArray record = WriteVirabRecord(doc, index, &cut);
        if (cut)
            outcome.cut << CutEmployeeText(doc.infoBase, index);
        // Every record goes to its sorted place, whatever the list's order.
        const FileRecordSearch place =
            FindRecordInFile(doc.infoBase.list[std::size_t(index)].tabN(), data.count, data.header, buffer);
        const qint64 offset = data.header + place.index * kVirabRecordSize;
        if (!place.found) {
            if (place.index < data.count)
                MoveFileTail(offset, offset + kVirabRecordSize, buffer);
            ++data.count;
        }
        buffer.seek(offset);
        buffer.write(record);
    }
    buffer.close();
    data.bytes.truncate(data.header + data.count * kVirabRecordSize);
    data.bytes.append(kEndMark);
    qToLittleEndian<quint32>(quint32(data.count), data.bytes.data() + 4);
    if (QString failure; !platform::WriteWholeFile(fileName, data.bytes, &failure))
        throw TextError(failure);
    return OUTPUT_FILE_DONE;
}

int ReadRun(std::stop_token stop, const std::vector<int>& chosen, const QString& fileName, int markedCount,
            const std::function<void(int, int)>& progress, PayrollDoc& doc, OutputFileOutcome& outcome)
{
    if (!QFile::exists(fileName))
        return OUTPUT_FILE_MISSING;
    OutputFileData data;
    data.bytes = ReadWhole(fileName);
    if (const int checked = CheckOutputFile(data); checked != OUTPUT_FILE_DONE)
        return checked;
    QBuffer buffer(&data.bytes);
    buffer.open(QIODevice::ReadOnly);
    CInfoBase& base = doc.infoBase;
    ImportCheck check(QFileInfo(fileName).fileName());
    db::Transaction transaction(infobase::Db(base));
    for (int index : chosen) {
        if (stop.stop_requested())
            break;
        if (progress)
            progress(index, markedCount);
        const int slot = base.list[std::size_t(index)].slot;
        const FileRecordSearch found =
            FindRecordInFile(base.list[std::size_t(index)].tabN(), data.count, data.header, buffer);
        const char* record = data.bytes.constData() + data.header + found.index * kVirabRecordSize;
        if (found.found) {
            check.record(QStringLiteral("%1 (табельный номер %2)")
                             .arg(found.index + 1)
                             .arg(base.list[std::size_t(index)].tabN()));
            if (!VirabRecordPasses(record, doc, check))
                continue;
        }
        if (!found.found || !ReadVirabRecord(record, index, doc)) {
            ++outcome.notFound;
            continue;
        }
        infobase::SaveProizvZarpByRec(base, slot, 0);
        infobase::SaveProizvZarpByRec(base, slot, 1);
    }
    // The row counters and time-sheet totals go with the rows.
    infobase::SaveComp(base);
    infobase::SaveTabel(base);
    transaction.commit();
    outcome.refused = check.summary();
    return OUTPUT_FILE_DONE;
}

} // namespace

int ExchangeOutputFile(std::stop_token stop, const OutputSelection& selection, int mode, const QString& fileName,
                       int markedCount, const std::function<void(int, int)>& progress, PayrollDoc& doc,
                       OutputFileOutcome& outcome)
{
    std::vector<int> chosen;
    if (const int result = ChooseEntries(doc.infoBase, selection, markedCount, chosen); result != OUTPUT_FILE_DONE)
        return result;
    if (fileName.isEmpty())
        return OUTPUT_FILE_MISSING;
    if (mode == OutputFileWrite)
        return WriteRun(stop, chosen, fileName, markedCount, progress, doc, outcome);
    return ReadRun(stop, chosen, fileName, markedCount, progress, doc, outcome);
}

VirabRecordView ParseVirabRecord(const char* record)
{
    VirabRecordView view;
    view.personnelNumber = Field(record, 1, 4);
    view.shop = Field(record, 5, 2);
    view.brigade = Field(record, 7, 2);
    view.shortName = codepage::fromCp866(QByteArray(record + 9, 17)).trimmed();
    view.profession = Field(record, 26, 4);
    view.grade = record[30] - '0';
    view.category = record[31] - '0';
    view.paySystem = record[32] - '0';
    view.timeTariff = AtofC(record + 33, 8);
    view.pieceTariff = AtofC(record + 41, 8);
    view.workedDays = Field(record, 49, 2);
    view.workedHours = Field(record, 51, 3);
    view.workedMinutes = Field(record, 55, 2);
    view.eveningHours = Field(record, 57, 3);
    view.eveningMinutes = Field(record, 61, 2);
    view.nightHours = Field(record, 63, 3);
    view.nightMinutes = Field(record, 67, 2);
    const int shownSlots = std::min(Field(record, 79, 2) + Field(record, 81, 2), kVirabSlotCount);
    for (int s = 0; s < shownSlots; ++s) {
        const char* slot = record + kSlotsOffset + kSlotSize * s;
        view.sums.push_back({AtoiC(slot + 2, 3), AtofC(slot + 5, 10), AtoiC(slot, 2)});
    }
    return view;
}

} // namespace kalvor::exchange

namespace kalvor::exchange {

namespace {

platform::TaskOutcome RunOutputFile(platform::TaskContext& context, const VirabTaskParams& params, int mode,
                                    PayrollDoc& doc, const ExchangeMessenger& messenger,
                                    const std::function<void(int, int)>& progress)
{
    return RunExchangeWorker(context, messenger, ExchangeCodeFamily::FilePart, [&](platform::TaskContext& ctx) {
        const int marked = CountMarkedEmployees(doc.infoBase, params);
        const OutputSelection selection{params.shop, params.brigade, params.personnelNumber};
        OutputFileOutcome outcome;
        const int result =
            ExchangeOutputFile(ctx.stopToken(), selection, mode, params.fileName, marked, progress, doc, outcome);
        if (progress)
            progress(-1, marked);
        if (result < 0)
            return platform::TaskOutcome(result);
        auto inform = [&](const QString& text) {
            ctx.runOnGui([&] {
                messenger.ShowInformation(text);
                return 0;
            });
        };
        if (outcome.notFound > 0)
            inform(QStringLiteral("количество ненайденных записей = %1").arg(outcome.notFound));
        if (!outcome.refused.isEmpty())
            inform(outcome.refused);
        if (!outcome.cut.isEmpty())
            inform(QStringLiteral("В файл записано не более 30 сумм для работников:\n") + outcome.cut.join('\n'));
        return platform::TaskOutcome(platform::TASK_DONE);
    });
}

} // namespace

platform::TaskOutcome VirabWriteThreadProc(platform::TaskContext& context, const VirabTaskParams& params,
                                           PayrollDoc& doc, const ExchangeMessenger& messenger,
                                           const std::function<void(int, int)>& progress)
{
    return RunOutputFile(context, params, OutputFileWrite, doc, messenger, progress);
}

platform::TaskOutcome VirabReadThreadProc(platform::TaskContext& context, const VirabTaskParams& params,
                                          PayrollDoc& doc, const ExchangeMessenger& messenger,
                                          const std::function<void(int, int)>& progress)
{
    return RunOutputFile(context, params, OutputFileRead, doc, messenger, progress);
}

} // namespace kalvor::exchange

namespace kalvor::exchange {

namespace {

std::vector<dbf::DbfField> OutputFileFields()
{
    auto character = [](const QByteArray& name, int length) { return dbf::DbfField{name, 'C', length, 0, 0}; };
    const struct {
        const char* name;
        int length;
    } head[] = {{"TABN", 4},   {"CEH", 2},     {"BRIG", 2},    {"FIO", 17},    {"PROF", 4},  {"RAZR", 1},
                {"KATEG", 1},  {"SISTOPL", 1}, {"TARVREM", 8}, {"TARSDEL", 8}, {"RABDN", 2}, {"RABHR", 6},
                {"VECHHR", 6}, {"NOCHHR", 6},  {"REZERV", 10}, {"KVSUM", 2},   {"KVNEW", 2}};
    std::vector<dbf::DbfField> fields;
    for (const auto& field : head) fields.push_back(character(field.name, field.length));
    for (int slot = 1; slot <= kVirabSlotCount; ++slot) {
        const QByteArray number = QByteArray::number(slot).rightJustified(2, '0');
        fields.push_back(character("CEH" + number, 2));
        fields.push_back(character("KOD" + number, 3));
        fields.push_back(character("SUM" + number, 10));
    }
    return fields;
}

} // namespace

bool WriteOutputTemplate(const QString& folder)
{
    if (!FindOutputTemplate(folder).isEmpty())
        return false;
    dbf::DbfTable::create(OutputFileFields()).write(QDir(folder).filePath(QStringLiteral("sdel.dbf")), Clock::today());
    return true;
}

} // namespace kalvor::exchange
