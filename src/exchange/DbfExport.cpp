#include "exchange/DbfExport.h"

#include "infobase/EmployeeRecord.h"
#include "infobase/PayKindCodes.h"
#include "payroll/PayKinds.h"
#include "platform/CDbf.h"
#include "platform/CodePage.h"
#include "platform/DbTransaction.h"
#include "values/CScan.h"
#include "values/Clock.h"
#include "values/RoundText.h"
#include "values/Text8.h"
#include "values/Values.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace kalvor::exchange {

using infobase::AccrualRow;
using infobase::CInfoBase;
using infobase::EmployeeAttributes;
using infobase::EmployeeHead;
using infobase::EmployeeRecord;
using infobase::NalvichEntry;
using infobase::u16;
using infobase::u8;
using infobase::WariaEntry;

namespace {

// The month's rows of the block; later slots wait for future months.
constexpr int kMonthRows = ::kalvor::infobase::EmployeeRecord::MonthRowCount;
constexpr int kEntryBlockEnd = 28; // the result block starts at row 28 at the latest
constexpr int kEntryBlockMaxRows = 15; // kvDBF has four bits
constexpr double kNetTaxRate = 0.13;

struct Column {
    const char* name;
    int width;
};

const Column kConstInfoColumns[] = {
    {"professia", 3},   {"sys_oplat", 1},    {"tabl_nalog", 2},  {"kategoria", 2},   {"razryad", 2},
    {"grafik", 2},      {"oklad", 10},       {"stavka", 4},      {"tarifp", 8},      {"tarifs", 8},
    {"pers_nadb", 10},  {"spz", 12},         {"pol", 1},         {"inn", 12},        {"strah_nom", 20},
    {"pasp_kod", 2},    {"pasp_seria", 10},  {"pasp_nomer", 10}, {"pasp_data", 8},   {"pasp_vydan", 69},
    {"git_index", 6},   {"git_adress", 143}, {"prop_index", 28}, {"prop_obl_k", 2},  {"prop_obl", 28},
    {"prop_regio", 25}, {"prop_gorod", 30},  {"prop_punkt", 30}, {"prop_ulica", 50}, {"prop_dom", 10},
    {"prop_korp", 9},   {"prop_kv", 4},      {"phone", 20},      {"rojd_str", 24},   {"rojd_obl", 24},
    {"rojd_regio", 24}, {"rojd_gorod", 28},  {"rojd_data", 8},   {"priem_dat1", 8},  {"uv_dat1", 8},
    {"priem_dat2", 8},  {"uv_dat2", 8},
};
// Repeated for deductions 1 to 10 with the number after the name.
const Column kDeductionColumns[] = {{"kodvich", 3}, {"datbeg", 8}, {"datend", 8}, {"sum", 13}, {"krat", 2}};
const Column kArchiveColumns[] = {{"mes", 5}, {"kod", 3}, {"summa", 13}, {"dni", 2}, {"[time]", 6}, {"fact", 5}};
const Column kAccruedColumns[] = {{"mes", 2},    {"kod", 3},  {"summa", 13}, {"dni", 2},
                                  {"[time]", 6}, {"spz", 12}, {"otd", 3}};

// Column positions of a read-back row, after tabel, grup, otdel and fio.
enum ArchiveColumn { ArchiveMes = 4, ArchiveKod, ArchiveSumma, ArchiveDni, ArchiveTime, ArchiveFact };
enum AccruedColumn { AccruedMes = 4, AccruedKod, AccruedSumma, AccruedDni, AccruedTime, AccruedSpz, AccruedOtd };

// ------------------------------------------------------------------ texts of values

QByteArray Int(int value) { return QByteArray::number(value); }
QByteArray Roubles(double kopecks) { return FormatFixed8(kopecks / 100, 2); }
QByteArray Ansi(const QString& text, int width) { return codepage::toCp1251(text).left(width); }
QByteArray MonthYearTwoDigits(int month, int year)
{
    return QString::asprintf("%02d.%02d", month, year % 100).toLatin1();
}
QByteArray HoursMinutes(int hours, int minutes) { return QString::asprintf("%3d.%02d", hours, minutes).toLatin1(); }
QByteArray PackedDateText(u16 date) { return FormatDateDMY(PackedDate(date)).toLatin1(); }

QByteArray DeductionMonth(u16 monthYear)
{
    const PackedMonthYear value(monthYear);
    return value.isNull() ? QByteArray() : QString::asprintf("%02d.%04d", value.month(), value.year()).toLatin1();
}

QByteArray CostCode(u16 ch, u16 sc, u16 au) { return FormatPacked12Digits(ch, sc, au).toLatin1(); }

// The full name as kind 1 writes it: its first 50 characters with the Latin
// letters that look Cyrillic made Cyrillic, blanks squeezed.
QByteArray ConstInfoName(const QString& fio)
{
    static const char latin[] = "HPpEeAa";
    static const char cyrillic[] = "\xCD\xD0\xF0\xC5\xE5\xC0\xE0"; // Н Р р Е е А а
    QByteArray name = codepage::toCp1251(fio).left(50);
    for (char& c : name) {
        const char* at = std::strchr(latin, c);
        if (c != '\0' && at)
            c = cyrillic[at - latin];
    }
    return SqueezeBlanks(name);
}

QByteArray ShortName(const CInfoBase& base, int slot)
{
    return SqueezeBlanks(codepage::toCp1251(base.shortNameOf(slot)));
}

// "[name]": the table name of a statement, in brackets so that any file name reads.
QByteArray StatementTableName(const QString& tableName) { return '[' + codepage::toCp1251(tableName) + ']'; }

// ------------------------------------------------------------------ the INSERT statement

class InsertStatement {
public:
    InsertStatement(const QString& tableName, int tabN, int brigade, int shop, const QByteArray& name)
        : m_columns("INSERT INTO " + StatementTableName(tableName) + " (tabel,grup,otdel,fio"), m_values(" VALUES (")
    {
        m_values += Quoted(Int(tabN)) + ',' + Quoted(Int(brigade)) + ',' + Quoted(Int(shop)) + ',' + Quoted(name);
    }
    void add(QByteArrayView column, const QByteArray& value)
    {
        m_columns += ',';
        m_columns.append(column);
        m_values += ',' + Quoted(value);
    }
    // An optional column: left out when its value is empty.
    void addIfSet(QByteArrayView column, const QByteArray& value)
    {
        if (!value.isEmpty())
            add(column, value);
    }
    QByteArray text() const { return m_columns + ')' + m_values + ')'; }

private:
    static QByteArray Quoted(QByteArray value) { return '\'' + value.replace('\'', "''") + '\''; }
    QByteArray m_columns, m_values;
};

// ------------------------------------------------------------------ writing

struct EmployeeContext {
    int slot = 0;
    int tabN = 0;
    int shop = 0;
    EmployeeAttributes* attributes = nullptr;
};

void AddConstInfoHead(InsertStatement& insert, const EmployeeHead& head, const EmployeeAttributes& a)
{
    insert.add("professia", Int(a.prof));
    insert.add("sys_oplat", Int(a.sistOpl));
    insert.add("tabl_nalog", Int(head.tabPodoh));
    insert.add("kategoria", Int(a.kateg));
    insert.add("razryad", Int(a.razr));
    insert.add("grafik", Int(a.graph));
    insert.add("oklad", Roubles(head.oklad));
    insert.add("stavka", FormatFixed8(head.stavka / 100, 2));
    insert.add("tarifp", FormatFixed8(head.tarifVrem.rub + head.tarifVrem.thou / 1000.0, 3));
    insert.add("tarifs", FormatFixed8(head.tarifSdel.rub + head.tarifSdel.thou / 1000.0, 3));
    insert.add("pers_nadb", Roubles(head.nadbav));
    insert.add("pol", Ansi(head.pol, 1));
    insert.addIfSet("spz", CostCode(head.spz[0][0], head.spz[0][1], head.spz[0][2]));
}

void AddConstInfoTexts(InsertStatement& insert, const EmployeeHead& head)
{
    insert.add("inn", Ansi(head.INN, 12));
    insert.add("strah_nom", Ansi(head.strahPolis, 20));
    insert.add("pasp_kod", Ansi(head.pspKod, 2));
    insert.add("pasp_seria", Ansi(head.pspSer, 10));
    insert.add("pasp_nomer", Ansi(head.pspNom, 10));
    insert.add("pasp_data", Ansi(ShortDateText(head.pspDat), 8));
    insert.add("pasp_vydan", Ansi(head.pspKem, 69));
    insert.add("git_index", Ansi(head.gitInd, 6));
    insert.add("git_adress", Ansi(head.gitAdr, 143));
    insert.add("prop_index", Ansi(head.propInd, 6));
    insert.add("prop_regio", Ansi(head.propRaj, 25));
    insert.add("prop_obl_k", Ansi(head.propKodReg, 2));
    insert.add("prop_obl", Ansi(head.propReg, 28));
    insert.add("prop_gorod", Ansi(head.propGorod, 30));
    insert.add("prop_punkt", Ansi(head.propPunkt, 30));
    insert.add("prop_ulica", Ansi(head.propUl, 50));
    insert.add("prop_dom", Ansi(head.propDom, 10));
    insert.add("prop_korp", Ansi(head.propKorp, 9));
    insert.add("prop_kv", Ansi(head.propKv, 4));
    insert.add("phone", Ansi(head.gitPhone, 20));
    insert.add("rojd_str", Ansi(head.bdStr, 24));
    insert.add("rojd_obl", Ansi(head.bdReg, 24));
    insert.add("rojd_regio", Ansi(head.bdRaj, 24));
    insert.add("rojd_gorod", Ansi(head.bdGorod, 28));
    insert.addIfSet("rojd_data", PackedDateText(head.datR));
    insert.addIfSet("priem_dat1", PackedDateText(head.datPr1));
    insert.addIfSet("uv_dat1", PackedDateText(head.datUv1));
    insert.addIfSet("priem_dat2", PackedDateText(head.datPr2));
    insert.addIfSet("uv_dat2", PackedDateText(head.datUv2));
}

// The five columns of each deduction whose code is set.
void AddDeductions(InsertStatement& insert, const std::array<NalvichEntry, 10>& deductions)
{
    for (int n = 1; n <= int(deductions.size()); ++n) {
        const NalvichEntry& deduction = deductions[std::size_t(n - 1)];
        if (deduction.kod == 0)
            continue;
        const QByteArray number = Int(n);
        insert.add("kodvich" + number, Int(deduction.kod));
        insert.addIfSet("datbeg" + number, DeductionMonth(deduction.start));
        insert.addIfSet("datend" + number, DeductionMonth(deduction.end));
        insert.addIfSet("sum" + number, deduction.sum != 0 ? Roubles(deduction.sum) : QByteArray());
        insert.addIfSet("krat" + number, deduction.krat != 0 ? Int(deduction.krat) : QByteArray());
    }
}

void WriteConstInfoRow(const QString& tableName, const EmployeeContext& employee, dbf::CDbf& table,
                       const CInfoBase& base)
{
    const EmployeeRecord& record = base.current;
    InsertStatement insert(tableName, employee.tabN, employee.attributes->brig, employee.shop,
                           ConstInfoName(record.head.fio));
    AddConstInfoHead(insert, record.head, *employee.attributes);
    AddConstInfoTexts(insert, record.head);
    AddDeductions(insert, record.nalvich);
    table.Open(insert.text());
}

void AddTime(InsertStatement& insert, int hours, int minutes)
{
    insert.addIfSet("[time]", hours != 0 || minutes != 0 ? HoursMinutes(hours, minutes) : QByteArray());
}

void WriteArchiveRows(const QString& tableName, const EmployeeContext& employee, dbf::CDbf& table,
                      const CInfoBase& base)
{
    const EmployeeRecord& record = base.current;
    const QByteArray name = ShortName(base, employee.slot);
    const int count = std::min<int>(record.warKv, kDbfArchiveLimit);
    for (int i = 0; i < count; ++i) {
        const WariaEntry& entry = record.waria[std::size_t(i)];
        InsertStatement insert(tableName, employee.tabN, employee.attributes->brig, employee.shop, name);
        insert.add("mes", MonthYearTwoDigits(entry.mes, entry.god));
        insert.add("kod", Int(entry.kod));
        insert.add("summa", Roubles(entry.sum));
        insert.addIfSet("dni", entry.dn != 0 ? Int(entry.dn) : QByteArray());
        AddTime(insert, entry.hr, entry.min);
        insert.addIfSet("fact", entry.mesVyd != 0 ? MonthYearTwoDigits(entry.mesVyd, entry.godVyd) : QByteArray());
        table.Open(insert.text());
    }
}

// The amount of an accrued row as kind 3 writes it: unpaid leave counts 0;
// for an employee paid net, a taxable accrual less its income tax.
double NetAccruedAmount(const AccrualRow& row, bool paidNet, const PayrollDoc& doc)
{
    if (row.kod == kCodeUnpaid)
        return 0;
    if (!paidNet || !IsAccrualCode(row.kod))
        return row.sum;
    const infobase::PayKind* kind = PayKindOf(doc, row.kod);
    if (!kind || !kind->oblPodoh)
        return row.sum;
    return row.sum - RoundByPayKind(row.sum * kNetTaxRate, kCodeIncomeTax, doc);
}

void WriteAccruedRows(const QString& tableName, const EmployeeContext& employee, dbf::CDbf& table,
                      const PayrollDoc& doc)
{
    const CInfoBase& base = doc.infoBase;
    const QByteArray name = ShortName(base, employee.slot);
    const bool paidNet = base.tabelOf(employee.slot).dbf != 0;
    for (int i = employee.attributes->kvProizv; i < kMonthRows; ++i) {
        const AccrualRow& row = base.current.rows[std::size_t(i)];
        if (row.isEmpty())
            break;
        InsertStatement insert(tableName, employee.tabN, employee.attributes->brig, employee.shop, name);
        insert.add("mes", Int(row.mes));
        insert.add("kod", Int(row.kod));
        insert.add("summa", Roubles(NetAccruedAmount(row, paidNet, doc)));
        insert.addIfSet("dni", row.dn != 0 ? Int(row.dn) : QByteArray());
        AddTime(insert, row.hr, row.min);
        insert.addIfSet("spz", CostCode(row.spzCh, row.spzSc, row.spzAu));
        insert.addIfSet("otd", row.otd != 0 ? Int(row.otd) : QByteArray());
        table.Open(insert.text());
    }
}

// ------------------------------------------------------------------ reading

// Reads "a.b" into two numbers; false when either is missing.
bool ReadPair(const QByteArray& text, int& first, int& second)
{
    CScan scan(text);
    return scan.readInt(first) && scan.literal('.') && scan.readInt(second);
}

bool ReadInt(const QByteArray& text, int& value) { return CScan(text).readInt(value); }

bool ReadKopecks(const QByteArray& text, double& kopecks)
{
    double roubles = 0;
    if (!CScan(text).readDouble(roubles))
        return false;
    kopecks = RoundThroughText(roubles * 100, 0);
    return true;
}

// "mm.yy": a year of 48 or less is 20yy, above 48 19yy.
bool ReadMonthYear(const QByteArray& text, int& month, int& year)
{
    if (!ReadPair(text, month, year))
        return false;
    if (year < 100)
        year += year <= 48 ? 2000 : 1900;
    return true;
}

WariaEntry ArchiveEntryFromRow(const dbf::CDbf& table, int fieldCount)
{
    WariaEntry entry;
    int first = 0, second = 0;
    double kopecks = 0;
    auto text = [&](int column) { return column < fieldCount ? table.GetFieldValue(column) : QByteArray(); };
    if (ReadMonthYear(text(ArchiveMes), first, second)) {
        entry.mes = u16(first);
        entry.god = u16(second);
    }
    if (ReadInt(text(ArchiveKod), first))
        entry.kod = u16(first);
    if (ReadKopecks(text(ArchiveSumma), kopecks))
        entry.sum = kopecks;
    if (ReadInt(text(ArchiveDni), first))
        entry.dn = u16(first);
    if (ReadPair(text(ArchiveTime), first, second)) {
        entry.hr = u16(first);
        entry.min = u16(second);
    }
    if (ReadMonthYear(text(ArchiveFact), first, second)) {
        entry.mesVyd = u8(first);
        entry.godVyd = u16(second);
    }
    return entry;
}

AccrualRow AccruedRowFromRow(const dbf::CDbf& table, int fieldCount, int ownShop)
{
    AccrualRow row;
    int first = 0, second = 0;
    double kopecks = 0;
    auto text = [&](int column) { return column < fieldCount ? table.GetFieldValue(column) : QByteArray(); };
    if (ReadInt(text(AccruedMes), first))
        row.mes = u16(first);
    if (ReadInt(text(AccruedKod), first))
        row.kod = u16(first);
    if (ReadKopecks(text(AccruedSumma), kopecks))
        row.sum = kopecks;
    if (ReadInt(text(AccruedDni), first))
        row.dn = u16(first);
    if (ReadPair(text(AccruedTime), first, second)) {
        row.hr = u16(first);
        row.min = u16(second);
    }
    const QByteArray spz = text(AccruedSpz);
    if (!spz.isEmpty()) {
        row.spzCh = u16(AtoiC(spz.constData(), std::min<qsizetype>(4, spz.size())));
        row.spzSc = u16(spz.size() > 4 ? AtoiC(spz.constData() + 4, std::min<qsizetype>(4, spz.size() - 4)) : 0);
        row.spzAu = u16(spz.size() > 8 ? AtoiC(spz.constData() + 8, std::min<qsizetype>(4, spz.size() - 8)) : 0);
    }
    if (ReadInt(text(AccruedOtd), first))
        row.otd = u8(first == ownShop ? 0 : first);
    return row;
}

// The employee's rows of the table, at most `limit`, each made by `make`;
// the rows are closed exactly once.
template <class Row, class Make>
std::vector<Row> ReadEmployeeRows(const QString& tableName, int tabN, int limit, dbf::CDbf& table, Make make)
{
    std::vector<Row> rows;
    table.Open("SELECT * FROM " + StatementTableName(tableName) + " WHERE tabel='" + Int(tabN) + '\'');
    while (!table.IsEof() && int(rows.size()) < limit) {
        table.GetFields();
        rows.push_back(make(table.GetFieldCount()));
        table.MoveNext();
    }
    table.Close();
    return rows;
}

bool SameArchiveEntry(const WariaEntry& a, const WariaEntry& b) { return CompareArchiveEntries(a, b) == 0; }

// Drops entries without a month, sorts, adds up the entries of the same
// month, kind and "fact" month (minutes over 59 carry an hour) and clears the
// rest of the archive.
void MergeArchiveEntries(std::vector<WariaEntry>& entries, EmployeeRecord& record)
{
    std::erase_if(entries, [](const WariaEntry& entry) { return !entry.inUse(); });
    std::stable_sort(entries.begin(), entries.end(),
                     [](const WariaEntry& a, const WariaEntry& b) { return CompareArchiveEntries(a, b) < 0; });
    std::vector<WariaEntry> merged;
    for (const WariaEntry& entry : entries) {
        if (merged.empty() || !SameArchiveEntry(merged.back(), entry)) {
            merged.push_back(entry);
            continue;
        }
        WariaEntry& into = merged.back();
        int minutes = into.min + entry.min;
        int hours = into.hr + entry.hr;
        if (minutes > 59) {
            minutes -= 60;
            ++hours;
        }
        into.sum += entry.sum;
        into.dn = u16(into.dn + entry.dn);
        into.hr = u16(hours);
        into.min = u16(minutes);
    }
    record.waria.assign(EmployeeRecord::ArchiveCapacity, WariaEntry{});
    std::copy(merged.begin(), merged.end(), record.waria.begin());
    record.warKv = u16(merged.size());
}

// Puts the read rows in place of the employee's entry block (kvSdel rows
// from the head, kvDBF rows long; the result block starts at kvProizv). The
// block takes as many read rows as keep the result block at row 28 at the
// latest (and as kvDBF holds); the other inputs and the result block move
// with it, rows pushed beyond row 60 are lost. Read rows without a code or an
// amount are then dropped.
void ReplaceEntryBlock(EmployeeRecord& record, EmployeeAttributes& a, const std::vector<AccrualRow>& read)
{
    const int resultStart = std::min<int>(a.kvProizv, kMonthRows);
    const int blockStart = std::min<int>(a.kvSdel, resultStart);
    const int oldBlockRows = std::min<int>(a.kvDBF, resultStart - blockStart);
    const int otherRowsEnd = resultStart - oldBlockRows; // the result start without the block
    const int newResultStart = std::min(otherRowsEnd + int(read.size()), std::max(kEntryBlockEnd, otherRowsEnd));
    const int rowsTaken = std::min(newResultStart - otherRowsEnd, kEntryBlockMaxRows);

    std::vector<AccrualRow> taken;
    for (int i = 0; i < rowsTaken; ++i)
        if (read[std::size_t(i)].kod != 0 && read[std::size_t(i)].sum != 0)
            taken.push_back(read[std::size_t(i)]);

    auto& rows = record.rows;
    std::vector<AccrualRow> block(rows.begin(), rows.begin() + blockStart);
    block.insert(block.end(), taken.begin(), taken.end());
    block.insert(block.end(), rows.begin() + blockStart + oldBlockRows, rows.begin() + kMonthRows);
    block.resize(kMonthRows);
    std::copy(block.begin(), block.end(), rows.begin());
    a.kvDBF = u16(taken.size());
    a.kvProizv = u16(otherRowsEnd + int(taken.size()));
}

// The numbers of an employee's rows against the fields that keep them: an
// amount within the money range, a code of a pay or deduction kind (up to
// 999; the month's rows also carry codes that the kinds' book does not hold,
// such as the deductions'), a shop of 0-250, days, hours and minutes that the
// packed fields hold.
template <class Row>
void CheckRowTime(const Row& row, ImportCheck& check)
{
    check.money(row.sum, QStringLiteral("summa"), true);
    check.number(row.mes, 0, 12, QStringLiteral("mes"));
    check.number(row.dn, 0, 31, QStringLiteral("dni"));
    check.number(row.hr, 0, 511, QStringLiteral("time"));
    check.number(row.min, 0, 59, QStringLiteral("time"));
}

bool ArchiveRowsPass(const std::vector<WariaEntry>& entries, ImportCheck& check)
{
    for (const WariaEntry& entry : entries) {
        CheckRowTime(entry, check);
        check.number(entry.kod, 0, CInfoBase::MaxPayKinds, QStringLiteral("kod"));
        check.number(entry.mesVyd, 0, 12, QStringLiteral("fact"));
    }
    return check.recordPassed();
}

bool AccruedRowsPass(const std::vector<AccrualRow>& rows, ImportCheck& check)
{
    for (const AccrualRow& row : rows) {
        CheckRowTime(row, check);
        check.number(row.kod, 0, CInfoBase::MaxPayKinds, QStringLiteral("kod"));
        check.number(row.otd, 0, CInfoBase::ShopCount, QStringLiteral("otd"));
    }
    return check.recordPassed();
}

// Stores the employee's read-back record and, for kind 3, the counters, as
// one change of the base; memory keeps the old counters when the base refuses.
void SaveReadBack(int kind, const EmployeeContext& employee, const EmployeeAttributes& before, CInfoBase& base)
{
    try {
        db::Transaction transaction(infobase::Db(base));
        infobase::SaveEmployee(base, employee.slot);
        if (kind == DbfAccrued)
            infobase::SaveComp(base);
        transaction.commit();
    } catch (...) {
        *employee.attributes = before;
        throw;
    }
}

int ReadBackRows(int kind, const QString& tableName, const EmployeeContext& employee, dbf::CDbf& table, CInfoBase& base,
                 ImportCheck& check)
{
    EmployeeRecord& record = base.current;
    const EmployeeAttributes before = *employee.attributes;
    check.record(QStringLiteral("табельного номера %1").arg(employee.tabN));
    if (kind == DbfArchive) {
        std::vector<WariaEntry> entries =
            ReadEmployeeRows<WariaEntry>(tableName, employee.tabN, kDbfArchiveLimit, table,
                                         [&](int fieldCount) { return ArchiveEntryFromRow(table, fieldCount); });
        if (entries.empty() || !ArchiveRowsPass(entries, check))
            return 0;
        MergeArchiveEntries(entries, record);
    } else if (kind == DbfAccrued) {
        const std::vector<AccrualRow> rows =
            ReadEmployeeRows<AccrualRow>(tableName, employee.tabN, kDbfAccruedLimit, table, [&](int fieldCount) {
                return AccruedRowFromRow(table, fieldCount, employee.shop);
            });
        if (rows.empty() || !AccruedRowsPass(rows, check))
            return 0;
        ReplaceEntryBlock(record, *employee.attributes, rows);
    } else {
        return 0;
    }
    SaveReadBack(kind, employee, before, base);
    return 1;
}

// ------------------------------------------------------------------ the run

// The positions of the current list that the run takes, or a negative result.
int ChooseEmployees(const CInfoBase& base, const infobase::Selection& selection, int selectedCount,
                    std::vector<int>& positions)
{
    if (selectedCount != 0) {
        for (int i = 0; i < base.employeeCount(); ++i)
            if (base.list[std::size_t(i)].marked())
                positions.push_back(i);
        return 0;
    }
    if (selection.tabN != 0) {
        const int index = infobase::FindEmployeeByTabN(base, selection.tabN);
        if (index < 0)
            return kDbfNoSuchEmployee;
        positions.push_back(index);
        return 0;
    }
    for (int i = 0; i < base.employeeCount(); ++i) {
        const int slot = base.list[std::size_t(i)].slot;
        const bool shopPasses = selection.shop == 0 || base.shopOf(slot) == selection.shop;
        const bool brigadePasses = selection.brigade == 0 || base.attributesOf(slot).brig == selection.brigade;
        if (shopPasses && brigadePasses)
            positions.push_back(i);
    }
    return positions.empty() ? kDbfNoEmployees : 0;
}

} // namespace

int SplitTablePath(const QString& path, TablePath& out)
{
    const QFileInfo info(path);
    out.folder = info.path();
    QString fileName = info.fileName();
    const QString suffix = info.suffix();
    if (suffix.isEmpty())
        fileName += QStringLiteral(".dbf");
    else if (suffix.compare(QStringLiteral("dbf"), Qt::CaseInsensitive) != 0)
        return kDbfBadExtension;
    out.tableName = fileName;
    out.nameEmpty = info.completeBaseName().isEmpty();
    return 0;
}

int CompareArchiveEntries(const WariaEntry& a, const WariaEntry& b)
{
    const int keysA[] = {a.god, a.mes, a.kod, a.godVyd, a.mesVyd};
    const int keysB[] = {b.god, b.mes, b.kod, b.godVyd, b.mesVyd};
    for (std::size_t i = 0; i < std::size(keysA); ++i)
        if (keysA[i] != keysB[i])
            return keysA[i] < keysB[i] ? -1 : 1;
    return 0;
}

void CreateDbfTable(int kind, const QString& tableName, dbf::CDbf& table)
{
    QByteArray statement = "CREATE TABLE " + StatementTableName(tableName) + " (tabel VARCHAR(4), grup VARCHAR(2)";
    statement += QString::asprintf(", otdel VARCHAR(3), fio VARCHAR(%d)", kind == DbfConstInfo ? 50 : 20).toLatin1();
    auto addColumns = [&statement](const auto& columns, const QByteArray& suffix) {
        for (const Column& column : columns)
            statement += ", " + QByteArray(column.name) + suffix + " VARCHAR(" + Int(column.width) + ')';
    };
    if (kind == DbfConstInfo) {
        addColumns(kConstInfoColumns, QByteArray());
        for (int n = 1; n <= 10; ++n) addColumns(kDeductionColumns, Int(n));
    } else if (kind == DbfArchive) {
        addColumns(kArchiveColumns, QByteArray());
    } else {
        addColumns(kAccruedColumns, QByteArray());
    }
    statement += ')';
    table.Open(statement);
}

int WriteDbfRows(int kind, const QString& tableName, int position, int mode, dbf::CDbf& table, PayrollDoc& doc,
                 ImportCheck& check)
{
    CInfoBase& base = doc.infoBase;
    EmployeeContext employee;
    const infobase::EmployeeListEntry& entry = base.list[std::size_t(position)];
    employee.slot = entry.slot;
    employee.tabN = entry.tabN();
    employee.shop = base.shopOf(entry.slot);
    employee.attributes = &base.attributesOf(entry.slot);
    infobase::LoadEmployee(base, employee.slot);

    if (mode == DbfRead)
        return ReadBackRows(kind, tableName, employee, table, base, check);
    if (kind == DbfConstInfo)
        WriteConstInfoRow(tableName, employee, table, base);
    else if (kind == DbfArchive)
        WriteArchiveRows(tableName, employee, table, base);
    else
        WriteAccruedRows(tableName, employee, table, doc);
    return 0;
}

int ExportDbf(PayrollDoc& doc, const infobase::Selection& selection, int kind, int mode, const QString& path,
              int& listChanged, int selectedCount, const DbfRunControl& control)
{
    (void)listChanged; // the names stay as they are for these kinds
    std::vector<int> positions;
    if (const int chosen = ChooseEmployees(doc.infoBase, selection, selectedCount, positions); chosen < 0)
        return chosen;
    TablePath tablePath;
    if (const int split = SplitTablePath(path, tablePath); split < 0)
        return split;

    dbf::CDbf table(tablePath.folder);
    if (tablePath.nameEmpty)
        return kDbfNoTable;
    if (!table.HasTable(tablePath.tableName)) {
        if (mode == DbfRead)
            return kDbfNoTable;
        CreateDbfTable(kind, tablePath.tableName, table);
    }

    const int recordsBefore = table.RecordCount(tablePath.tableName);
    int employeesRead = 0;
    ImportCheck check(tablePath.tableName);
    for (int position : positions) {
        if (control.progress)
            control.progress(position, selectedCount);
        const int result = WriteDbfRows(kind, tablePath.tableName, position, mode, table, doc, check);
        if (result < 0)
            return result;
        if (mode == DbfRead)
            employeesRead += result;
        if (control.stop.stop_requested())
            break;
    }
    table.Commit(Clock::today());
    if (!check.passed() && control.showMessage)
        control.showMessage(check.summary());
    if (control.progress)
        control.progress(-1, 0);
    if (mode == DbfWrite && control.written)
        control.written(table.TableFile(tablePath.tableName), table.RecordCount(tablePath.tableName) - recordsBefore);
    return mode == DbfRead ? employeesRead : 0;
}

} // namespace kalvor::exchange
