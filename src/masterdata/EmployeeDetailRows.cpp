#include "masterdata/EmployeeDetailRows.h"

#include "values/CScan.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <cmath>

namespace kalvor::masterdata {

using infobase::i8;
using infobase::u16;
using infobase::u8;

namespace {

// "%d" kept when within [low, high], else 0.
int RangedInt(const QString& text, int low, int high)
{
    int value = 0;
    if (!ScanInt(text, value) || value < low || value > high)
        return 0;
    return value;
}

bool Blank(const QString& text) { return text.trimmed().isEmpty(); }

QString Cell(const QStringList& cells, int column) { return column < cells.size() ? cells[column] : QString(); }

// A code cell outside its range in a row that holds anything else (or a
// typed code) would become an invisible slot: the row is refused instead.
RowRefusal CheckCode(int code, const QString& codeText, bool restNonZero, int maxCode, const QString& what)
{
    RowRefusal refusal;
    if (code == 0 && (restNonZero || !Blank(codeText))) {
        refusal.column = 0;
        refusal.message = QStringLiteral("Код %1 должен быть числом от 1 до %2").arg(what).arg(maxCode);
    }
    return refusal;
}

// Month and year of an archive text ("%u.%u", two- or four-digit year) as
// year x 16 + month; 0 for an empty or unreadable text.
int ReadArchiveMonth(const QString& text)
{
    std::uint16_t value = 0;
    ParseMonthYear(text, value);
    return value;
}

QString TwoDigitMonthYear(int month, int year)
{
    return QString::asprintf("%02u.%02u", unsigned(month), unsigned(((year % 100) + 100) % 100));
}

} // namespace

// ---------------------------------------------------------------- tax deductions

QString DeductionKindName(const DeductionKindBook& book, int code)
{
    const int count = std::min<int>(book.count, DeductionKindBook::Capacity);
    for (int i = 0; i < count; ++i)
        if (book.records[std::size_t(i)].code == code)
            return book.records[std::size_t(i)].name.trimmed();
    return QStringLiteral("Нет в справочнике");
}

QString DeductionDefaultAmountText(const DeductionKindBook& book, int code, int times)
{
    if (code == 0)
        return {};
    const int count = std::min<int>(book.count, DeductionKindBook::Capacity);
    for (int i = 0; i < count; ++i) {
        const auto& kind = book.records[std::size_t(i)];
        if (kind.code == code)
            return kind.monthly == 0 ? QString() : FormatMoney((times == 0 ? 1 : times) * kind.monthly);
    }
    return {};
}

QStringList NalvichRowTexts(const NalvichEntry& entry, const DeductionKindBook& book)
{
    return {FormatIntField(entry.kod),
            DeductionKindName(book, entry.kod),
            FormatMonthYear(PackedMonthYear(entry.start)),
            FormatMonthYear(PackedMonthYear(entry.end)),
            FormatMoney(entry.sum),
            FormatIntField(entry.krat)};
}

namespace {
// A month cell read by the rule of typed months; false for a text that is
// not empty and no month.
bool ReadDeductionMonth(const QString& text, u16& value)
{
    std::uint16_t month = 0;
    ParseMonthYear(text, month);
    value = month;
    return month != 0 || Blank(text);
}
} // namespace

RowRefusal ReadNalvichRow(const QStringList& cells, NalvichEntry& entry)
{
    entry = NalvichEntry{};
    entry.kod = u16(RangedInt(Cell(cells, 0), 1, kNalvichMaxCode));
    for (const auto& [column, month] : {std::pair{2, &entry.start}, std::pair{3, &entry.end}})
        if (!ReadDeductionMonth(Cell(cells, column), *month))
            return {column, QStringLiteral("Некорректный месяц %1.\nМесяц вводится как ММ.ГГГГ или ММ.ГГ")
                                .arg(Cell(cells, column).trimmed())};
    if (entry.start != 0 && entry.end != 0 && entry.start > entry.end)
        return {2,
                QStringLiteral("Месяц начала позже месяца окончания: %1 - %2")
                    .arg(FormatMonthYear(PackedMonthYear(entry.start)), FormatMonthYear(PackedMonthYear(entry.end)))};
    if (ParseMoneyKopecks(Cell(cells, 4), entry.sum) == kFieldRefused)
        return {4, NumberRefusedText(QStringLiteral("Сумма вычета"), Cell(cells, 4))};
    entry.krat = i8(RangedInt(Cell(cells, 5), 0, kNalvichMaxTimes));
    const bool rest = entry.start != 0 || entry.end != 0 || entry.sum != 0 || entry.krat != 0;
    return CheckCode(entry.kod, Cell(cells, 0), rest, kNalvichMaxCode, QStringLiteral("вычета"));
}

// ---------------------------------------------------------------- permanent payments

namespace {

QString PaymentDateText(int day, int month, int year)
{
    if (day == 0)
        return QString();
    return QString::asprintf("%.2u.%.2u.%.2u", unsigned(day), unsigned(month), unsigned(year % 100));
}

// A typed percent into tenths: its hundredths (ReadTypedUnits), cut to tenths.
unsigned ReadPercentTenths(const QString& text)
{
    double hundredths = 0;
    if (ReadTypedUnits(text, 2, hundredths) != TypedDecimal::Number || hundredths <= 0)
        return 0;
    const double tenths = std::trunc(hundredths / 10);
    return tenths > 131071 ? 0u : unsigned(tenths);
}

} // namespace

QStringList PostDoplRowTexts(const PostDoplEntry& entry)
{
    return {FormatIntField(entry.kod),
            FormatIntField(entry.vid),
            FormatMoney(entry.sum),
            FormatIntField(entry.mask),
            entry.procent == 0 ? QString() : FormatFixed(entry.procent / 10.0, 1),
            FormatIntField(entry.zavisOt),
            FormatIntField(entry.period),
            FormatIntField(entry.perer),
            FormatIntField(entry.dnOtGraph),
            FormatIntField(entry.ceh),
            PaymentDateText(entry.dBegin, entry.mBegin, entry.gBegin),
            PaymentDateText(entry.dEnd, entry.mEnd, entry.gEnd),
            FormatIntField(entry.mrp)};
}

bool ReadPaymentDate(const QString& text, int& day, int& month, int& year)
{
    day = month = year = 0;
    const TypedDate typed = ReadTypedDate(text, kPaymentDateYears);
    if (typed.read == TypedDateRead::Date) {
        day = typed.day;
        month = typed.month;
        year = typed.year;
        return true;
    }
    if (typed.read == TypedDateRead::Empty)
        return true;
    // Day 0 is no date.
    CScan scan(text);
    int d = -1;
    return scan.readInt(d) && d == 0 && scan.literal('.');
}

RowRefusal ReadPostDoplRow(const QStringList& cells, PostDoplEntry& entry)
{
    entry = PostDoplEntry{};
    entry.kod = u16(RangedInt(Cell(cells, 0), 1, kPostDoplMaxCode));
    entry.vid = u8(RangedInt(Cell(cells, 1), 0, 7));
    if (ParseMoneyKopecks(Cell(cells, 2), entry.sum) == kFieldRefused)
        return {2, NumberRefusedText(QStringLiteral("Величина"), Cell(cells, 2))};
    entry.mask = u8(RangedInt(Cell(cells, 3), 0, 21));
    if (const QString refusal = DecimalTextRefusal(QStringLiteral("%"), Cell(cells, 4)); !refusal.isEmpty())
        return {4, refusal};
    entry.procent = ReadPercentTenths(Cell(cells, 4));
    entry.zavisOt = u8(RangedInt(Cell(cells, 5), 0, 15));
    entry.period = u8(RangedInt(Cell(cells, 6), 0, 5));
    entry.perer = u8(RangedInt(Cell(cells, 7), 0, 3));
    entry.dnOtGraph = u8(RangedInt(Cell(cells, 8), 0, 7));
    entry.ceh = u16(RangedInt(Cell(cells, 9), 0, 250));
    entry.mrp = u8(RangedInt(Cell(cells, 12), 0, 1));

    int day = 0, month = 0, year = 0;
    if (!ReadPaymentDate(Cell(cells, kPostDoplDateStart), day, month, year))
        return {kPostDoplDateStart, QStringLiteral("Некорректная дата начала выплаты")};
    entry.dBegin = u8(day);
    entry.mBegin = u8(month);
    entry.gBegin = u16(year);
    if (!ReadPaymentDate(Cell(cells, kPostDoplDateEnd), day, month, year))
        return {kPostDoplDateEnd, QStringLiteral("Некорректная дата окончания выплаты")};
    entry.dEnd = u8(day);
    entry.mEnd = u8(month);
    entry.gEnd = u16(year);
    if (entry.dBegin != 0 && entry.dEnd != 0 &&
        QDate(entry.gBegin, entry.mBegin, entry.dBegin) > QDate(entry.gEnd, entry.mEnd, entry.dEnd))
        return {kPostDoplDateStart, PeriodRefusedText(PackedDate::make(entry.dBegin, entry.mBegin, entry.gBegin),
                                                      PackedDate::make(entry.dEnd, entry.mEnd, entry.gEnd))};

    PostDoplEntry withoutCode = entry;
    withoutCode.kod = 0;
    return CheckCode(entry.kod, Cell(cells, 0), !(withoutCode == PostDoplEntry{}), kPostDoplMaxCode,
                     QStringLiteral("выплаты"));
}

// ---------------------------------------------------------------- archive of past months

QStringList WariaRowTexts(const WariaEntry& entry)
{
    const QString time =
        entry.hr == 0 && entry.min == 0 ? QString() : QString::asprintf("%d,%d", int(entry.hr), int(entry.min));
    return {entry.mes == 0 ? QString() : TwoDigitMonthYear(entry.mes, entry.god),
            FormatIntField(entry.kod),
            FormatMoney(entry.sum),
            FormatIntField(entry.dn),
            time,
            entry.mesVyd == 0 ? QString() : TwoDigitMonthYear(entry.mesVyd, entry.godVyd)};
}

bool ApplyWariaRow(const QStringList& cells, WariaEntry& entry)
{
    bool allEmpty = true;
    for (int column = 0; column < kWariaColumns; ++column) allEmpty = allEmpty && Blank(Cell(cells, column));
    if (allEmpty) {
        // A cleared row frees its entry (the archive reuses free entries).
        const bool changed = !(entry == WariaEntry{});
        entry = WariaEntry{};
        return changed;
    }
    // Every field is read anew; the entry takes the fields that read differently.
    WariaEntry next = entry;
    // A cleared month keeps the entry in use, as the packed form's year field 20 (1920) did.
    const int accrued = ReadArchiveMonth(Cell(cells, 0));
    next.mes = u16(accrued & 15);
    next.god = u16(accrued == 0 ? 1920 : accrued >> 4);
    next.kod = u16(RangedInt(Cell(cells, 1), 1, kWariaMaxCode));
    ParseMoneyKopecks(Cell(cells, 2), next.sum); // a refused amount keeps the entry's
    next.dn = u16(RangedInt(Cell(cells, 3), 1, 31));
    const HoursMinutes time = ReadHoursMinutesNormalised(Cell(cells, 4));
    next.hr = u16(time.hours & 511);
    next.min = u16(time.minutes & 63);
    const int paid = ReadArchiveMonth(Cell(cells, 5));
    const bool paidKept = paid != 0 && (paid >> 4) >= 1990;
    next.mesVyd = u8(paidKept ? paid & 15 : 0);
    next.godVyd = u16(paidKept ? paid >> 4 : 0);
    if (next == entry)
        return false;
    entry = next;
    return true;
}

bool WariaRowMatches(const QStringList& cells, const WariaEntry& entry)
{
    if (!entry.inUse())
        return false;
    WariaEntry copy = entry;
    return !ApplyWariaRow(cells, copy);
}

int WariaCount(const std::vector<WariaEntry>& entries)
{
    for (int i = int(entries.size()); i > 0; --i)
        if (!(entries[std::size_t(i - 1)] == WariaEntry{}))
            return i;
    return 0;
}

} // namespace kalvor::masterdata
