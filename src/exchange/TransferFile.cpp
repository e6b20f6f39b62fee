#include "exchange/TransferFile.h"

#include "infobase/Bytes.h"
#include "infobase/DeductionFigures.h"
#include "infobase/InfoBaseDb.h"
#include "platform/DbTransaction.h"
#include "platform/SavedFile.h"
#include "values/ImportCheck.h"
#include "values/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <utility>
#include <vector>

namespace kalvor::exchange {

using infobase::ByteReader;
using infobase::ByteWriter;
using infobase::CInfoBase;
using infobase::EmployeeListEntry;
using infobase::u32;
using infobase::u8;

namespace {

QString TransferPath(const CInfoBase& base, const QString& fileName)
{
    if (fileName.isEmpty() || QDir::isAbsolutePath(fileName))
        return fileName;
    return base.workFolder + fileName;
}

// Writes a counted list: its count, its lines, zeros for the unused slots.
template <class T>
void WriteCountedLines(ByteWriter& w, const infobase::LineArray<T>& lines, int slot, int slotCount)
{
    const std::vector<T> run = lines.run(slot);
    w.u32v(u32(run.size()));
    for (const T& line : run) line.write(w);
    w.zeros((std::size_t(slotCount) - run.size()) * T::Size);
}

// The personnel numbers of the employees whose line lists exceed the record's slots.
std::vector<int> EmployeesWithOverlongLists(const CInfoBase& base, const std::vector<EmployeeListEntry>& chosen)
{
    std::vector<int> numbers;
    for (const EmployeeListEntry& e : chosen) {
        if (base.altTabel.count(e.slot) > kTransferAltTabelSlots || base.prem.count(e.slot) > kTransferBonusSlots ||
            base.bln.count(e.slot) > kTransferSickLeaveSlots || base.otp.count(e.slot) > kTransferVacationSlots)
            numbers.push_back(e.tabN());
    }
    return numbers;
}

// The entries of an export: marked ones, the one number, or shop and brigade.
int ChooseExportEntries(const CInfoBase& base, const TransferSelection& sel, int markedCount,
                        std::vector<EmployeeListEntry>& chosen)
{
    if (markedCount > 0) {
        for (const EmployeeListEntry& e : base.list)
            if (e.marked())
                chosen.push_back(e);
        return kTransferDone;
    }
    if (sel.tabN != 0) {
        const int index = infobase::FindEmployeeByTabN(base, sel.tabN);
        if (index < 0)
            return kTransferNoSuchEmployee;
        chosen.push_back(base.list[std::size_t(index)]);
        return kTransferDone;
    }
    for (const EmployeeListEntry& e : base.list) {
        const bool shopOk = sel.shop == 0 || base.shopOf(e.slot) == sel.shop;
        const bool brigadeOk = sel.brigade == 0 || int(base.attributesOf(e.slot).brig) == int(sel.brigade);
        if (base.list.size() == 1 || (shopOk && brigadeOk))
            chosen.push_back(e);
    }
    return chosen.empty() ? kTransferNoEmployees : kTransferDone;
}

void WriteOrFail(platform::SavedFile& file, const char* data, qint64 size)
{
    if (file.write(data, size) != size)
        throw TextError(file.failureText());
}

int ExportTransferFile(PayrollDoc& doc, const QString& path, const TransferSelection& sel, int markedCount)
{
    CInfoBase& base = doc.infoBase;
    std::vector<EmployeeListEntry> chosen;
    if (const int result = ChooseExportEntries(base, sel, markedCount, chosen); result != kTransferDone)
        return result;
    if (const std::vector<int> overlong = EmployeesWithOverlongLists(base, chosen); !overlong.empty()) {
        QStringList numbers;
        for (int n : overlong) numbers << QString::number(n);
        throw TextError(QStringLiteral("Строки работников не помещаются в файл, выгрузка не выполнена.\n"
                                       "Табельные номера: %1")
                            .arg(numbers.join(QStringLiteral(", "))));
    }
    // Records always stand in ascending personnel-number order, whatever the
    // list's order, so that the reader's bisection finds every one.
    std::stable_sort(chosen.begin(), chosen.end(), CInfoBase::CompareEmployeesByTabN);
    chosen.erase(
        std::unique(chosen.begin(), chosen.end(),
                    [](const EmployeeListEntry& a, const EmployeeListEntry& b) { return a.tabN() == b.tabN(); }),
        chosen.end());

    platform::SavedFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw TextError(file.failureText());
    char header[kTransferHeaderSize];
    ByteWriter hw(header, sizeof header);
    hw.u8v(kTransferFileType);
    hw.u32v(u32(chosen.size()));
    WriteOrFail(file, header, sizeof header);
    for (const EmployeeListEntry& e : chosen) {
        const QByteArray record = WriteTransferRecord(base, e);
        WriteOrFail(file, record.constData(), record.size());
    }
    if (!file.commit())
        throw TextError(file.failureText());
    return kTransferDone;
}

// Reads a counted list into the slot's run. A bonus count of 0 is taken as
// one (zero) line; a list that would outgrow its shared array is cut to the
// room left, so the other employees' lines stay whole.
template <class T, class ReadLine>
void ReadCountedLines(ByteReader& r, infobase::LineArray<T>& lines, int slot, int slotCount, int minCount,
                      const ReadLine& readLine)
{
    const int stored = int(r.u32v());
    const std::size_t start = r.pos();
    const int room = std::min(lines.lineCapacity(), infobase::LineIndexEntry::MaxFirst + 1) -
                     (std::max(lines.usedLines(), lines.runStart(slot) + lines.count(slot)) - lines.count(slot));
    const int count = std::min({std::max(stored, minCount), slotCount, std::max(room, 0)});
    std::vector<T> run;
    for (int i = 0; i < count; ++i) run.push_back(readLine(r));
    lines.replaceRun(slot, run);
    r.seek(start + std::size_t(slotCount) * T::Size);
}

// The counts of a record, each checked against its slots.
bool CountsFit(const char* record)
{
    ByteReader r(record, kTransferRecordSize);
    const std::pair<std::size_t, int> lists[] = {{kTransferAltTabelOffset, kTransferAltTabelSlots},
                                                 {kTransferBonusOffset, kTransferBonusSlots},
                                                 {kTransferSickLeaveOffset, kTransferSickLeaveSlots},
                                                 {kTransferVacationOffset, kTransferVacationSlots}};
    for (const auto& [offset, slotCount] : lists) {
        r.seek(offset);
        if (r.u32v() > u32(slotCount))
            return false;
    }
    return true;
}

// The standing deductions' amounts by the rules their screens read them by
// (infobase/DeductionFigures.h), each named by its place and its field: a
// transfer's amount, a writ's size (a percent when the writ is in percent), a
// loan's debt and its stages' sums.
void CheckDeductionAmounts(const infobase::EmployeeRecord& rec, ImportCheck& check)
{
    for (std::size_t i = 0; i < rec.sber.size(); ++i)
        check.figure(rec.sber[i].sum, kDeductionAmountRule, QStringLiteral("Перечисление в банк %1, Сумма").arg(i + 1));
    for (std::size_t i = 0; i < rec.ispol.writs.size(); ++i) {
        const auto& writ = rec.ispol.writs[i];
        check.figure(writ.sum, WritSizeRule(writ.priznUd != 0),
                     QStringLiteral("Исполнительный лист %1, Величина удержания").arg(i + 1));
    }
    for (std::size_t i = 0; i < rec.ssud.loans.size(); ++i) {
        const auto& loan = rec.ssud.loans[i];
        check.figure(loan.sumDolg, kDeductionAmountRule, QStringLiteral("Ссуда %1, Долг").arg(i + 1));
        for (std::size_t stage = 0; stage < loan.sum.size(); ++stage)
            check.figure(loan.sum[stage], kDeductionAmountRule,
                         QStringLiteral("Ссуда %1, этап %2, Сумма").arg(i + 1).arg(stage + 1));
    }
}

// The amounts of the employee record: the record card's not below zero, the
// standing deductions' by their screens' rules, the lines' and the archive's
// finite and within the money range.
void CheckRecordAmounts(const infobase::EmployeeRecord& rec, ImportCheck& check)
{
    check.money(rec.head.oklad, QStringLiteral("oklad"));
    check.money(rec.head.nadbav, QStringLiteral("nadbav"));
    check.money(rec.head.avans, QStringLiteral("avans"));
    check.money(rec.head.stavka, QStringLiteral("stavka"));
    for (const auto& e : rec.nalvich) check.money(e.sum, QStringLiteral("nalvich"), true);
    for (const auto& e : rec.postDopl) check.money(e.sum, QStringLiteral("postDopl"), true);
    CheckDeductionAmounts(rec, check);
    for (const auto& e : rec.waria) check.money(e.sum, QStringLiteral("waria"), true);
    for (const auto& e : rec.rates) {
        check.money(e.rate, QStringLiteral("rates"), true);
        check.money(e.second, QStringLiteral("rates"), true);
    }
    for (const auto& e : rec.rows) check.money(e.sum, QStringLiteral("rows"), true);
}

// The amounts of the counted lines at `offset` (`slotCount` slots of T).
template <class T, class ReadLine, class Check>
void CheckCountedLines(const char* record, std::size_t offset, int slotCount, const ReadLine& readLine,
                       const Check& checkLine)
{
    ByteReader r(record, kTransferRecordSize);
    r.seek(offset);
    const int count = std::min(int(r.u32v()), slotCount);
    for (int i = 0; i < count; ++i) checkLine(T(readLine(r)));
}

// Every number of a record that the base keeps as it is read: the brigade,
// the shop and the amounts. A refused value refuses the file.
void CheckRecordValues(const char* record, int index, ImportCheck& check)
{
    ByteReader r(record, kTransferRecordSize);
    const u32 tabN = r.u32v();
    check.record(QStringLiteral("%1 (табельный номер %2)").arg(index + 1).arg(tabN));
    check.number(r.i8v(), 0, 99, QStringLiteral("brig"));
    check.number(r.u8v(), 0, CInfoBase::ShopCount, QStringLiteral("otd"));
    infobase::PackedEmployeeRecord packed;
    r.bytes(packed.bytes.data(), packed.bytes.size());
    infobase::EmployeeRecord rec;
    infobase::EmployeeRecordFromAnsi(packed, rec);
    CheckRecordAmounts(rec, check);
    using namespace infobase;
    CheckCountedLines<AltTabelEntry>(
        record, kTransferAltTabelOffset, kTransferAltTabelSlots, [](ByteReader& in) { return AltTabelEntry::read(in); },
        [&](const AltTabelEntry& e) { check.money(e.sumOklad, QStringLiteral("altTabel"), true); });
    CheckCountedLines<BonusLine>(
        record, kTransferBonusOffset, kTransferBonusSlots, [](ByteReader& in) { return BonusLine::read(in); },
        [&](const BonusLine& e) { check.money(e.sum, QStringLiteral("prem"), true); });
    CheckCountedLines<SickLeaveSheet>(
        record, kTransferSickLeaveOffset, kTransferSickLeaveSlots,
        [](ByteReader& in) { return SickLeaveSheet::read(in, 2000); },
        [&](const SickLeaveSheet& e) {
            check.money(e.sum, QStringLiteral("bln"), true);
            check.money(e.oklad, QStringLiteral("bln"), true);
        });
    CheckCountedLines<VacationNote>(
        record, kTransferVacationOffset, kTransferVacationSlots, [](ByteReader& in) { return VacationNote::read(in); },
        [&](const VacationNote& e) { check.money(e.sum, QStringLiteral("otp"), true); });
    ByteReader amounts(record, kTransferRecordSize);
    amounts.seek(kTransferAvOffset);
    check.money(amounts.f64(), QStringLiteral("av"));
    amounts.seek(kTransferZar1Offset);
    check.money(amounts.f64(), QStringLiteral("zar1"));
}

// The file whole, checked to be a transfer file of sound length and counts.
// An empty file gives an empty array.
QByteArray ReadCheckedTransferFile(QFile& file, int& count)
{
    const QByteArray data = file.readAll();
    if (file.error() != QFile::NoError)
        throw TextErrorWithPath(kMsgReadFailed, file.fileName());
    if (data.isEmpty())
        return data;
    const QString foreign =
        QStringLiteral("Файл %1 не является файлом переноса данных о сотрудниках").arg(file.fileName());
    if (std::size_t(data.size()) < kTransferHeaderSize || u8(data[0]) != kTransferFileType)
        throw TextError(foreign);
    ByteReader r(data.constData(), std::size_t(data.size()));
    r.seek(1);
    const u32 n = r.u32v();
    if (std::size_t(data.size()) != kTransferHeaderSize + std::size_t(n) * kTransferRecordSize)
        throw TextError(foreign);
    // The file is taken whole or not at all: every record is checked first.
    ImportCheck check(QFileInfo(file.fileName()).fileName());
    for (u32 i = 0; i < n; ++i) {
        const char* record = data.constData() + kTransferHeaderSize + i * kTransferRecordSize;
        if (!CountsFit(record))
            throw TextError(
                QStringLiteral("В записи %1 файла %2 строк больше, чем в ней мест").arg(i + 1).arg(file.fileName()));
        CheckRecordValues(record, int(i), check);
    }
    if (!check.passed())
        throw TextError(check.summary(QStringLiteral("Файл не загружен: в нём недопустимые значения.")));
    count = int(n);
    return data;
}

const char* RecordAt(const QByteArray& data, int index)
{
    return data.constData() + kTransferHeaderSize + std::size_t(index) * kTransferRecordSize;
}

// Takes the chosen records in turn; a negative result ends the run.
int ImportRecords(CInfoBase& base, const QByteArray& data, int count, const TransferSelection& sel, int markedCount)
{
    if (markedCount > 0) {
        for (int i = 0; i < int(base.list.size()); ++i) {
            if (!base.list[std::size_t(i)].marked())
                continue;
            const int found = FindTransferRecord(data, kTransferRecordSize, base.list[std::size_t(i)].tabN(), count);
            if (found < 0)
                continue;
            if (const int result = ReadTransferRecord(RecordAt(data, found), i, base); result < 0)
                return result;
        }
        return kTransferDone;
    }
    if (sel.tabN != 0) {
        const int found = FindTransferRecord(data, kTransferRecordSize, sel.tabN, count);
        if (found < 0)
            return kTransferDone;
        const int result = ReadTransferRecord(RecordAt(data, found), -1, base);
        return result < 0 ? result : kTransferDone;
    }
    for (int i = 0; i < count; ++i) {
        const char* record = RecordAt(data, i);
        if (sel.shop != 0 && u8(record[5]) != sel.shop)
            continue;
        if (sel.brigade != 0 && u8(record[4]) != sel.brigade)
            continue;
        if (const int result = ReadTransferRecord(record, -1, base); result < 0)
            return result;
    }
    return kTransferDone;
}

int ImportTransferFile(PayrollDoc& doc, const QString& path, const TransferSelection& sel, int markedCount)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return kTransferCannotOpen;
    int count = 0;
    const QByteArray data = ReadCheckedTransferFile(file, count);
    if (data.isEmpty())
        return kTransferEmptyFile;
    return ImportRecords(doc.infoBase, data, count, sel, markedCount);
}

// The slot of a record's employee: the list entry's, the found one's, or a
// new entry placed in the list by its order; -16 when the base is full.
int SlotForRecord(CInfoBase& base, unsigned tabN, int listIndex)
{
    if (listIndex >= 0)
        return base.list[std::size_t(listIndex)].slot;
    const int found = infobase::FindEmployeeByTabN(base, int(tabN));
    if (found >= 0)
        return base.list[std::size_t(found)].slot;
    if (base.employeeCount() >= base.capacity())
        return kTransferBaseFull;
    const int slot = base.CheckIndexFreeSlot();
    if (!base.holdsSlot(slot))
        return kTransferBaseFull;
    if (base.InsertEmployeeEntry(int(tabN), slot) < 0)
        return kTransferBaseFull;
    return slot;
}

} // namespace

QByteArray WriteTransferRecord(CInfoBase& base, const EmployeeListEntry& entry)
{
    const int slot = entry.slot;
    infobase::LoadEmployee(base, slot);
    infobase::PackedEmployeeRecord packed;
    infobase::EmployeeRecordToAnsi(base.current, packed);

    QByteArray record(qsizetype(kTransferRecordSize), '\0');
    ByteWriter w(record.data(), kTransferRecordSize);
    w.u32v(u32(entry.tabN()));
    const infobase::EmployeeAttributes& attr = base.attributesOf(slot);
    w.i8v(attr.brig);
    w.u8v(base.shopOf(slot));
    w.bytes(packed.bytes.data(), packed.bytes.size());
    base.tabelOf(slot).write(w);
    WriteCountedLines(w, base.altTabel, slot, kTransferAltTabelSlots);
    attr.write(w);
    w.f64(base.avOf(slot));
    WriteCountedLines(w, base.prem, slot, kTransferBonusSlots);
    WriteCountedLines(w, base.bln, slot, kTransferSickLeaveSlots);
    WriteCountedLines(w, base.otp, slot, kTransferVacationSlots);
    w.f64(base.zar1Of(slot));
    return record;
}

int FindTransferRecord(const QByteArray& file, std::size_t recordSize, unsigned tabN, int count)
{
    if (tabN == 0 || count <= 0)
        return -1;
    auto numberAt = [&](int i) {
        ByteReader r(file.constData(), std::size_t(file.size()));
        r.seek(kTransferHeaderSize + std::size_t(i) * recordSize);
        return r.u32v();
    };
    int lo = 0, hi = count - 1;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        const u32 n = numberAt(mid);
        if (n == tabN)
            return mid;
        if (n < tabN)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    // A miss gives minus the insertion point, never 0 (which is a find).
    return lo >= count ? -count : -std::max(lo, 1);
}

int ReadTransferRecord(const char* record, int listIndex, CInfoBase& base)
{
    ByteReader r(record, kTransferRecordSize);
    const u32 tabN = r.u32v();
    if (tabN == 0 || tabN > u32(EmployeeListEntry::MaxPersonnelNumber))
        return 0;
    const int slot = SlotForRecord(base, tabN, listIndex);
    if (slot < 0)
        return slot;

    const infobase::i8 brigade = r.i8v();
    base.shopOf(slot) = r.u8v();
    base.attributesOf(slot).brig = brigade;
    infobase::PackedEmployeeRecord packed;
    r.bytes(packed.bytes.data(), packed.bytes.size());
    infobase::EmployeeRecordFromAnsi(packed, base);
    base.currentSlot = slot;
    base.tabelOf(slot) = infobase::TabelRecord::read(r);
    ReadCountedLines(r, base.altTabel, slot, kTransferAltTabelSlots, 0,
                     [](ByteReader& in) { return infobase::AltTabelEntry::read(in); });
    base.attributesOf(slot) = infobase::EmployeeAttributes::read(r);
    base.avOf(slot) = r.f64();
    ReadCountedLines(r, base.prem, slot, kTransferBonusSlots, 1,
                     [](ByteReader& in) { return infobase::BonusLine::read(in); });
    const int year = base.config.reportingYear();
    ReadCountedLines(r, base.bln, slot, kTransferSickLeaveSlots, 0,
                     [year](ByteReader& in) { return infobase::SickLeaveSheet::read(in, year); });
    ReadCountedLines(r, base.otp, slot, kTransferVacationSlots, 0,
                     [](ByteReader& in) { return infobase::VacationNote::read(in); });
    base.zar1Of(slot) = r.f64();

    // The file carries no dated archive: the stored one is kept.
    infobase::SaveEmployee(base, slot);
    base.shortNameOf(slot) = infobase::ShortNameOf(base.current.head.fio);
    return 1;
}

int TransferFileRun(PayrollDoc& doc, int mode, const QString& fileName, const TransferSelection& selection,
                    int markedCount)
{
    const QString path = TransferPath(doc.infoBase, fileName);
    if (mode == TransferExport)
        return ExportTransferFile(doc, path, selection, markedCount);
    return ImportTransferFile(doc, path, selection, markedCount);
}

void SaveTransferImport(CInfoBase& base)
{
    using infobase::LineKind;
    db::Transaction transaction(infobase::Db(base));
    infobase::SaveTabel(base);
    infobase::SaveLines(base, LineKind::AltTabel);
    infobase::SaveFio(base);

    // Both lists: the current one under its own order, a sorted copy under the other.
    const bool nameOrder = base.nameOrder();
    std::vector<EmployeeListEntry> other = base.list;
    base.SortList(other, !nameOrder);
    infobase::SaveSimp(base, nameOrder ? 2 : 1);
    std::swap(base.list, other);
    infobase::SaveSimp(base, nameOrder ? 1 : 2);
    std::swap(base.list, other);
    base.otherList = std::move(other);

    infobase::SaveComp(base);
    for (LineKind kind : {LineKind::Prem, LineKind::Bln, LineKind::Otp}) infobase::SaveLines(base, kind);
    infobase::SaveAvZar1(base);
    infobase::SaveConfig(base);
    transaction.commit();
}

} // namespace kalvor::exchange
