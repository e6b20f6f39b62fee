#include "exchange/DbfImport.h"

#include "platform/CDbf.h"
#include "platform/CodePage.h"
#include "platform/DbTransaction.h"
#include "summaries/SummaryHelpers.h"
#include "values/CScan.h"
#include "values/ImportCheck.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <QFileInfo>

#include <algorithm>
#include <array>

namespace kalvor::exchange {

using infobase::CInfoBase;
using infobase::EmployeeHead;
using infobase::EmployeeListEntry;
using infobase::NalvichEntry;
using infobase::u16;
using infobase::u8;

namespace {

// Column positions of the constant-information table.
enum ConstInfoColumn : int {
    ColTabel = 0,
    ColGrup,
    ColOtdel,
    ColFio,
    ColProfessia,
    ColSysOplat,
    ColTablNalog,
    ColKategoria,
    ColRazryad,
    ColGrafik,
    ColOklad,
    ColStavka,
    ColTarifp,
    ColTarifs,
    ColPersNadb,
    ColSpz,
    ColPol,
    ColFirstText, // inn ... rojd_gorod
    ColRojdData = 41,
    ColPriemDat1,
    ColUvDat1,
    ColPriemDat2,
    ColUvDat2,
    ColFirstDeduction, // kodvich1; five columns per deduction
    ColLast = ColFirstDeduction + 10 * 5 - 1,
};
enum DeductionColumn : int { DedKod, DedBegin, DedEnd, DedSum, DedKrat, DedColumns };

constexpr int kBlankLead = 8; // an all-blank head of this length leaves a field unchanged
constexpr int kNameWidth = 50; // fio
constexpr int kFullNameWidth = 120;
constexpr int kShortNameWidth = 20;

struct TextColumn {
    QString EmployeeHead::*field;
    int width;
};

// inn ... rojd_gorod, from ColFirstText on.
const TextColumn kTextColumns[] = {
    {&EmployeeHead::INN, 12},     {&EmployeeHead::strahPolis, 20}, {&EmployeeHead::pspKod, 2},
    {&EmployeeHead::pspSer, 10},  {&EmployeeHead::pspNom, 10},     {&EmployeeHead::pspDat, 8},
    {&EmployeeHead::pspKem, 69},  {&EmployeeHead::gitInd, 6},      {&EmployeeHead::gitAdr, 143},
    {&EmployeeHead::propInd, 6},  {&EmployeeHead::propKodReg, 2},  {&EmployeeHead::propReg, 28},
    {&EmployeeHead::propRaj, 25}, {&EmployeeHead::propGorod, 30},  {&EmployeeHead::propPunkt, 30},
    {&EmployeeHead::propUl, 50},  {&EmployeeHead::propDom, 10},    {&EmployeeHead::propKorp, 9},
    {&EmployeeHead::propKv, 4},   {&EmployeeHead::gitPhone, 20},   {&EmployeeHead::bdStr, 24},
    {&EmployeeHead::bdReg, 24},   {&EmployeeHead::bdRaj, 24},      {&EmployeeHead::bdGorod, 28},
};
static_assert(ColFirstText + int(std::size(kTextColumns)) == ColRojdData);

// ------------------------------------------------------------------ values of a column

bool LeavesFieldUnchanged(const QByteArray& value, int lead)
{
    const QByteArrayView head = QByteArrayView(value).first(std::min<qsizetype>(lead, value.size()));
    return std::all_of(head.begin(), head.end(), [](char c) { return c == ' '; });
}

// The number that the first `width` characters hold.
int IntOf(const QByteArray& value, int width)
{
    return AtoiC(value.constData(), std::min<qsizetype>(width, value.size()));
}

double KopecksOf(const QByteArray& value, int width)
{
    return RoundThroughText(AtofC(value.constData(), std::min<qsizetype>(width, value.size())) * 100, 0);
}

// Whole roubles before the point and three digits of thousandths after it
// ("12.5" is 12 roubles 500 thousandths).
infobase::Tariff3 TariffOf(const QByteArray& value)
{
    infobase::Tariff3 tariff;
    const qsizetype point = value.indexOf('.');
    tariff.rub = u16(IntOf(value, int(point < 0 ? value.size() : point)) & 0x3FFF);
    if (point >= 0) {
        QByteArray digits = value.mid(point + 1, 3);
        const qsizetype count =
            std::find_if(digits.begin(), digits.end(), [](char c) { return c < '0' || c > '9'; }) - digits.begin();
        digits = digits.left(count).leftJustified(3, '0');
        tariff.thou = u16(digits.toInt() & 0x3FF);
    }
    return tariff;
}

QString TextOf(const QByteArray& value, int width) { return codepage::fromCp1251(value.left(width)); }

// A date of the table; 0 for a text that ParseDbfDate refuses.
u16 DateOf(const QByteArray& value)
{
    int day = 0, month = 0;
    const int year = ParseDbfDate(value, day, month);
    return day == 0 ? u16(0) : PackedDate::make(day, month, year).value;
}

// The first hiring (or dismissal) date read: it becomes the second date when
// the stored first date is earlier, else the first.
void SetFirstOrSecondDate(u16 read, u16& first, u16& second)
{
    const QDate stored = PackedDate(first).toQDate();
    const QDate date = PackedDate(read).toQDate();
    if (first != 0 && stored.isValid() && date.isValid() && stored < date)
        second = read;
    else
        first = read;
}

u16 MonthYearOf(const QByteArray& value)
{
    u16 monthYear = 0;
    ParseMonthYear(codepage::fromCp1251(value), monthYear);
    return monthYear;
}

// ------------------------------------------------------------------ one row

struct RowTarget {
    int slot = 0;
    infobase::EmployeeRecord* record = nullptr;
    infobase::EmployeeAttributes* attributes = nullptr;
    u8* shop = nullptr;
};

void SetAttributeColumn(int column, const QByteArray& value, RowTarget& target)
{
    EmployeeHead& head = target.record->head;
    infobase::EmployeeAttributes& a = *target.attributes;
    switch (column) {
    case ColGrup: a.brig = infobase::i8(IntOf(value, 2)); break;
    case ColOtdel: *target.shop = u8(IntOf(value, 3)); break;
    case ColProfessia: a.prof = u16(IntOf(value, 3)); break;
    case ColSysOplat: a.sistOpl = u8(IntOf(value, 1)); break;
    case ColTablNalog: head.tabPodoh = infobase::i8(IntOf(value, 2)); break;
    case ColKategoria: a.kateg = u16(IntOf(value, 2)); break;
    case ColRazryad: a.razr = u16(IntOf(value, 2)); break;
    case ColGrafik: a.graph = u8(IntOf(value, 2)); break;
    case ColOklad: head.oklad = KopecksOf(value, 10); break;
    case ColStavka: head.stavka = KopecksOf(value, 4); break;
    case ColTarifp: head.tarifVrem = TariffOf(value); break;
    case ColTarifs: head.tarifSdel = TariffOf(value); break;
    case ColPersNadb: head.nadbav = KopecksOf(value, 10); break;
    case ColSpz:
        for (int group = 0; group < 3; ++group) head.spz[0][std::size_t(group)] = u16(IntOf(value.mid(group * 4), 4));
        break;
    case ColPol: head.pol = TextOf(value, 1); break;
    default: break;
    }
}

void SetDateColumn(int column, const QByteArray& value, EmployeeHead& head)
{
    const u16 date = DateOf(value);
    switch (column) {
    case ColRojdData: head.datR = date; break;
    case ColPriemDat1: SetFirstOrSecondDate(date, head.datPr1, head.datPr2); break;
    case ColUvDat1: SetFirstOrSecondDate(date, head.datUv1, head.datUv2); break;
    case ColPriemDat2: head.datPr2 = date; break;
    case ColUvDat2: head.datUv2 = date; break;
    default: break;
    }
}

void SetDeductionColumn(int column, const QByteArray& value, infobase::EmployeeRecord& record)
{
    const int offset = column - ColFirstDeduction;
    NalvichEntry& deduction = record.nalvich[std::size_t(offset / DedColumns)];
    switch (offset % DedColumns) {
    case DedKod: deduction.kod = u16(IntOf(value, 3)); break;
    case DedBegin: deduction.start = MonthYearOf(value); break;
    case DedEnd: deduction.end = MonthYearOf(value); break;
    case DedSum: deduction.sum = KopecksOf(value, 13); break;
    case DedKrat:
        deduction.krat = infobase::i8(int(AtofC(value.constData(), std::min<qsizetype>(2, value.size()))));
        break;
    default: break;
    }
}

// ------------------------------------------------------------------ checks of a row

// The integer before the point of a tariff; its field holds 14 bits.
int TariffRoublesOf(const QByteArray& value)
{
    const qsizetype point = value.indexOf('.');
    return IntOf(value, int(point < 0 ? value.size() : point));
}

// A number column of the attributes and the amounts against the range its
// field holds in the base (the employee card's limits; shops 1-250).
void CheckAttributeColumn(int column, const QByteArray& value, ImportCheck& check)
{
    switch (column) {
    case ColGrup: check.number(IntOf(value, 2), 0, 99, QStringLiteral("grup")); break;
    case ColOtdel: check.number(IntOf(value, 3), 1, CInfoBase::ShopCount, QStringLiteral("otdel")); break;
    case ColProfessia: check.number(IntOf(value, 3), 0, 127, QStringLiteral("professia")); break;
    case ColSysOplat: check.number(IntOf(value, 1), 0, 7, QStringLiteral("sys_oplat")); break;
    case ColTablNalog: check.number(IntOf(value, 2), 0, 20, QStringLiteral("tabl_nalog")); break;
    case ColKategoria: check.number(IntOf(value, 2), 0, 15, QStringLiteral("kategoria")); break;
    case ColRazryad: check.number(IntOf(value, 2), 0, 31, QStringLiteral("razryad")); break;
    case ColGrafik: check.number(IntOf(value, 2), 0, CInfoBase::ScheduleCount, QStringLiteral("grafik")); break;
    case ColOklad: check.money(KopecksOf(value, 10), QStringLiteral("oklad")); break;
    case ColStavka: check.money(KopecksOf(value, 4), QStringLiteral("stavka")); break;
    case ColPersNadb: check.money(KopecksOf(value, 10), QStringLiteral("pers_nadb")); break;
    case ColTarifp: check.number(TariffRoublesOf(value), 0, 0x3FFF, QStringLiteral("tarifp")); break;
    case ColTarifs: check.number(TariffRoublesOf(value), 0, 0x3FFF, QStringLiteral("tarifs")); break;
    case ColSpz:
        for (int group = 0; group < 3; ++group)
            check.number(IntOf(value.mid(group * 4), 4), 0, 9999, QStringLiteral("spz"));
        break;
    default: break;
    }
}

void CheckDeductionColumn(int column, const QByteArray& value, ImportCheck& check)
{
    const int offset = column - ColFirstDeduction;
    const QString number = QString::number(offset / DedColumns + 1);
    switch (offset % DedColumns) {
    case DedKod: check.number(IntOf(value, 3), 0, 999, QStringLiteral("kodvich") + number); break;
    case DedSum: check.money(KopecksOf(value, 13), QStringLiteral("sum") + number); break;
    case DedKrat:
        check.number(AtofC(value.constData(), std::min<qsizetype>(2, value.size())), 0, 99,
                     QStringLiteral("krat") + number);
        break;
    default: break;
    }
}

// Checks every number of the row's non-blank columns before anything of the
// row is stored; false when a value is refused.
bool RowPasses(const std::vector<QByteArray>& values, ImportCheck& check)
{
    for (int column = ColGrup; column < int(values.size()); ++column) {
        const QByteArray& value = values[std::size_t(column)];
        if (LeavesFieldUnchanged(value, column == ColFio ? kNameWidth : kBlankLead))
            continue;
        if (column < ColFirstText)
            CheckAttributeColumn(column, value, check);
        else if (column >= ColFirstDeduction)
            CheckDeductionColumn(column, value, check);
    }
    return check.recordPassed();
}

// Sets the field of one column; true when the full name changed.
bool SetColumn(int column, const QByteArray& value, RowTarget& target)
{
    EmployeeHead& head = target.record->head;
    if (column == ColFio) {
        const QString name = TextOf(value, kNameWidth);
        if (name == head.fio)
            return false;
        head.fio = name;
        return true;
    }
    if (column < ColFirstText)
        SetAttributeColumn(column, value, target);
    else if (column < ColRojdData)
        head.*kTextColumns[column - ColFirstText].field = TextOf(value, kTextColumns[column - ColFirstText].width);
    else if (column < ColFirstDeduction)
        SetDateColumn(column, value, head);
    else
        SetDeductionColumn(column, value, *target.record);
    return false;
}

// "Фамилия И. О." of the full name, as the short-name list keeps it.
QString ShortNameOf(const QString& fullName)
{
    std::array<char, kShortNameWidth> field{};
    summaries::FillSurnameInitialsField(codepage::toCp1251(fullName.left(kFullNameWidth)), field.data());
    return codepage::fromCp1251(QByteArray(field.data(), kShortNameWidth)).trimmed();
}

// ------------------------------------------------------------------ the employee of a row

// Makes the employee of a new personnel number: a slot, a list entry and an
// empty record with cleared attributes. False when no slot is to be had.
bool CreateEmployee(int tabN, CInfoBase& base, const DbfRunControl& control)
{
    const int slot = RebuildIndexAfterImport(base, control.showMessage);
    if (slot < 0)
        return false;
    EmployeeListEntry entry;
    entry.setTabN(u16(tabN));
    entry.slot = u16(slot);
    base.list.push_back(entry);
    ++base.config.kolRab;
    base.ClearCurrentRecord();
    base.currentSlot = slot;
    base.attributesOf(slot) = infobase::EmployeeAttributes{};
    base.shopOf(slot) = 0;
    base.tabelOf(slot) = infobase::TabelRecord{};
    base.shortNameOf(slot).clear();
    return true;
}

// Stores the row's employee, his short name and the rebuilt lists as one
// change of the base, and reloads the list of the current order.
void SaveRowEmployee(CInfoBase& base, int slot, bool created)
{
    db::Transaction transaction(infobase::Db(base));
    if (created)
        infobase::SaveEmployeeFull(base, slot);
    else
        infobase::SaveEmployee(base, slot);
    base.shortNameOf(slot) = ShortNameOf(base.current.head.fio);
    infobase::SaveFio(base);
    infobase::RebuildLists(base, created);
    infobase::LoadSimp(base, base.nameOrder() ? 2 : 1);
    transaction.commit();
}

enum class RowOutcome { Skipped, Updated, Created };

RowOutcome ImportRow(const dbf::CDbf& table, int row, CInfoBase& base, int& listChanged, ImportCheck& check,
                     const DbfRunControl& control)
{
    const QByteArray number = table.GetFieldValue(ColTabel);
    const int tabN = AtoiC(number.constData(), number.size());
    if (tabN < 1 || tabN > EmployeeListEntry::MaxPersonnelNumber)
        return RowOutcome::Skipped;
    std::vector<QByteArray> values(std::size_t(std::min(table.GetFieldCount(), ColLast + 1)));
    for (int column = ColGrup; column < int(values.size()); ++column)
        values[std::size_t(column)] = table.GetFieldValue(column);
    check.record(QStringLiteral("%1 (табельный номер %2)").arg(row).arg(tabN));
    if (!RowPasses(values, check))
        return RowOutcome::Skipped;
    const int index = infobase::FindEmployeeByTabN(base, tabN);
    const bool created = index < 0;
    const std::vector<EmployeeListEntry> listBefore = base.list;
    const infobase::i16 countBefore = base.config.kolRab;
    if (created) {
        if (!CreateEmployee(tabN, base, control))
            return RowOutcome::Skipped;
    } else {
        infobase::LoadEmployee(base, base.list[std::size_t(index)].slot);
    }
    RowTarget target;
    target.slot = base.currentSlot;
    target.record = &base.current;
    target.attributes = &base.attributesOf(target.slot);
    target.shop = &base.shopOf(target.slot);

    for (int column = ColGrup; column < int(values.size()); ++column) {
        const QByteArray& value = values[std::size_t(column)];
        if (LeavesFieldUnchanged(value, column == ColFio ? kNameWidth : kBlankLead))
            continue;
        if (SetColumn(column, value, target))
            listChanged = 1;
    }
    try {
        SaveRowEmployee(base, target.slot, created);
    } catch (...) {
        // The base refused the row: the list in memory stays as the base has it.
        base.list = listBefore;
        base.config.kolRab = countBefore;
        throw;
    }
    if (control.progress)
        control.progress(infobase::FindEmployeeByTabN(base, tabN), 0);
    return created ? RowOutcome::Created : RowOutcome::Updated;
}

// The list's usage of every slot (index 0 for entries without a valid slot)
// and the positions of the wrong entries.
struct SlotUsage {
    std::vector<int> users;
    std::vector<std::size_t> wrong;
    int FirstFreeFrom(int slot) const
    {
        for (; slot < int(users.size()); ++slot)
            if (users[std::size_t(slot)] == 0)
                return slot;
        return -1;
    }
};

SlotUsage CountSlotUsage(const CInfoBase& base)
{
    SlotUsage usage;
    usage.users.assign(std::size_t(base.slotCount()) + 1, 0);
    for (std::size_t i = 0; i < base.list.size(); ++i) {
        const EmployeeListEntry& entry = base.list[i];
        const int slot = base.holdsSlot(entry.slot) ? entry.slot : 0;
        const bool slotTaken = slot != 0 && usage.users[std::size_t(slot)] > 0;
        ++usage.users[std::size_t(slot)];
        if (slot == 0 || slotTaken || entry.tabN() == 0)
            usage.wrong.push_back(i);
    }
    return usage;
}

// A personnel number for an entry without one, from its neighbours.
int NumberBetweenNeighbours(const std::vector<EmployeeListEntry>& list, std::size_t position)
{
    if (position == 0)
        return 1;
    if (position + 1 == list.size())
        return EmployeeListEntry::MaxPersonnelNumber;
    int number = std::min(list[position - 1].tabN() + 1, EmployeeListEntry::MaxPersonnelNumber);
    const int next = list[position + 1].tabN();
    if (next != 0 && number >= next)
        --number;
    return number;
}

// Numbers the unnumbered entries and gives the entries without a slot of their
// own the free slots above the first free one, until none is left. An entry
// whose only fault is a missing number keeps its slot (its record is there).
void RepairWrongEntries(CInfoBase& base, SlotUsage& usage, int firstFree)
{
    int searchFrom = firstFree + 1;
    for (std::size_t position : usage.wrong) {
        EmployeeListEntry& entry = base.list[position];
        if (entry.tabN() == 0)
            entry.setTabN(u16(NumberBetweenNeighbours(base.list, position)));
        const bool ownSlot = base.holdsSlot(entry.slot) &&
                             std::none_of(base.list.begin(), base.list.begin() + std::ptrdiff_t(position),
                                          [&](const EmployeeListEntry& e) { return e.slot == entry.slot; });
        if (ownSlot)
            continue;
        const int slot = usage.FirstFreeFrom(searchFrom);
        if (slot < 0)
            return;
        entry.slot = u16(slot);
        ++usage.users[std::size_t(slot)];
        searchFrom = slot + 1;
    }
}

void Show(const std::function<void(const QString&)>& showMessage, const QString& text)
{
    if (showMessage)
        showMessage(text);
}

} // namespace

int ParseDbfDate(const QByteArray& text, int& day, int& month)
{
    CScan scan(text);
    int d = 0, m = 0, year = 0;
    const bool read =
        scan.readInt(d) && scan.literal('.') && scan.readInt(m) && scan.literal('.') && scan.readInt(year);
    if (!read || m < 1 || m > 12 || d < 1 || d > DaysInMonth(year, m)) {
        day = 0;
        month = 0;
        return 0;
    }
    day = d;
    month = m;
    return year;
}

int RebuildIndexAfterImport(CInfoBase& base, const std::function<void(const QString&)>& showMessage)
{
    SlotUsage usage = CountSlotUsage(base);
    const int firstFree = usage.FirstFreeFrom(1);
    if (firstFree < 0) {
        Show(showMessage, QStringLiteral("Невозможно создать новую запись.\nБаза данных переполнена."));
        return kImportBaseFull;
    }
    if (usage.wrong.empty())
        return firstFree;
    if (base.nameOrder()) {
        Show(showMessage,
             QStringLiteral("Количество  ошибочных  записей   = %1.\nПерейдите в режим сортировки работников\n"
                            "по табельным номерам и повторите ввод")
                 .arg(usage.wrong.size()));
        return kImportWrongListEntries;
    }
    RepairWrongEntries(base, usage, firstFree);
    return firstFree;
}

int ImportDbfConstInfo(const QString& path, int& newEmployees, int& listChanged, PayrollDoc& doc,
                       const DbfRunControl& control)
{
    CInfoBase& base = doc.infoBase;
    TablePath tablePath;
    if (const int split = SplitTablePath(path, tablePath); split < 0)
        return split;
    dbf::CDbf table(tablePath.folder);
    if (tablePath.nameEmpty || !table.HasTable(tablePath.tableName))
        return kDbfNoTable;
    table.Open("select * from [" + codepage::toCp1251(tablePath.tableName) + ']');
    if (table.IsEof()) {
        table.Close();
        return kDbfNoTable;
    }

    int taken = 0;
    int row = 0;
    ImportCheck check(QFileInfo(path).fileName());
    while (!table.IsEof() && !control.stop.stop_requested()) {
        table.GetFields();
        const RowOutcome outcome = ImportRow(table, ++row, base, listChanged, check, control);
        if (outcome != RowOutcome::Skipped)
            ++taken;
        if (outcome == RowOutcome::Created)
            ++newEmployees;
        table.MoveNext();
    }
    table.Close();

    db::Transaction transaction(infobase::Db(base));
    infobase::SaveComp(base);
    infobase::SaveTabel(base);
    infobase::RebuildLists(base);
    transaction.commit();
    if (!check.passed())
        Show(control.showMessage, check.summary());
    if (control.progress)
        control.progress(-1, 0);
    return taken;
}

} // namespace kalvor::exchange
