#include "masterdata/EmployeeDetailRows.h"

#include "values/CScan.h"
#include "values/RoundText.h"
#include "values/Values.h"

namespace kalvor::masterdata {

using infobase::i8;
using infobase::u16;
using infobase::u8;

namespace {

bool Blank(const QString& text) { return text.trimmed().isEmpty(); }

QString Cell(const QStringList& cells, int column) { return column < cells.size() ? cells[column] : QString(); }

// The cell's figure read by the rule its column declares into `value`; the
// refusal naming the column when the rule refuses the text.
RowRefusal ReadCell(const QStringList& cells, int column, const QString& title, const FigureRule& rule, double& value)
{
    const FigureReading reading = ReadFigure(ColumnName(title), rule, Cell(cells, column));
    if (!reading.read)
        return {column, reading.refusal};
    value = reading.units;
    return {};
}

// A code 0 in a row that holds anything else (or a code typed as 0) would
// become an invisible slot: the row is refused instead.
RowRefusal CheckCode(int code, const QString& codeText, bool restNonZero, int maxCode, const QString& what)
{
    RowRefusal refusal;
    if (code == 0 && (restNonZero || !Blank(codeText))) {
        refusal.column = 0;
        refusal.message = QStringLiteral("Код %1 должен быть числом от 1 до %2").arg(what).arg(maxCode);
    }
    return refusal;
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

QString ColumnName(const QString& title)
{
    return QString(title).replace(QLatin1Char('\n'), QLatin1Char(' ')).simplified();
}

QString NalvichColumnTitle(int column)
{
    static const char* const kTitles[kNalvichColumns] = {"Код\nвычета",   "Наименование\nвычета",
                                                         "Месяц\nначала", "Месяц\nокончания",
                                                         "Сумма\nвычета", "Кратность\nвычета"};
    return column >= 0 && column < kNalvichColumns ? QString::fromUtf8(kTitles[column]) : QString();
}

FigureRule NalvichColumnRule(int column)
{
    switch (column) {
    case 0: return WholeFigure(0, kNalvichMaxCode);
    case 4: return AmountFigure();
    case 5: return MultiplicityFigure();
    default: return TextFigure(0);
    }
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

// A month cell of the deductions grid into year x 16 + month; false for a
// text that is not empty and no month of the column's years.
bool ReadDeductionMonth(const QString& text, u16& value)
{
    const TypedDate typed = ReadTypedMonth(text, kDeductionMonthYears);
    value = typed.read == TypedDateRead::Date ? u16(PackedMonthYear::make(typed.year, typed.month).value) : u16(0);
    return typed.read == TypedDateRead::Date || typed.read == TypedDateRead::Empty;
}

// A figure cell of the deductions grid by its column's rule.
RowRefusal ReadNalvichCell(const QStringList& cells, int column, double& value)
{
    return ReadCell(cells, column, NalvichColumnTitle(column), NalvichColumnRule(column), value);
}

} // namespace

RowRefusal ReadNalvichRow(const QStringList& cells, NalvichEntry& entry)
{
    entry = NalvichEntry{};
    double code = 0, times = 0;
    if (RowRefusal refused = ReadNalvichCell(cells, 0, code); refused.refused())
        return refused;
    entry.kod = u16(code);
    for (const auto& [column, month] : {std::pair{2, &entry.start}, std::pair{3, &entry.end}})
        if (!ReadDeductionMonth(Cell(cells, column), *month))
            return {column, QStringLiteral("Некорректный месяц %1.\nМесяц вводится как ММ.ГГГГ или ММ.ГГ")
                                .arg(Cell(cells, column).trimmed())};
    if (entry.start != 0 && entry.end != 0 && entry.start > entry.end)
        return {2,
                QStringLiteral("Месяц начала позже месяца окончания: %1 - %2")
                    .arg(FormatMonthYear(PackedMonthYear(entry.start)), FormatMonthYear(PackedMonthYear(entry.end)))};
    if (RowRefusal refused = ReadNalvichCell(cells, 4, entry.sum); refused.refused())
        return refused;
    if (RowRefusal refused = ReadNalvichCell(cells, 5, times); refused.refused())
        return refused;
    entry.krat = i8(times);
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

QString PostDoplColumnTitle(int column)
{
    static const char* const kTitles[kPostDoplColumns] = {
        "Код",           "Вид",  "Величина", "Чем?",         "%",           "За\nчто?", "Когда?",
        "Пере-\nрасчет", "Как?", "Цех",      "Дата\nначала", "Дата\nконца", "м/р"};
    return column >= 0 && column < kPostDoplColumns ? QString::fromUtf8(kTitles[column]) : QString();
}

FigureRule PostDoplColumnRule(int column)
{
    // The largest value of each field of the slot (the shop by the shops' numbers).
    static constexpr int kMax[kPostDoplColumns] = {kPostDoplMaxCode, 7, 0, 21, 0, 15, 5, 3, 7, 250, 0, 0, 1};
    switch (column) {
    case 2: return AmountFigure(); // a monthly amount, an hourly tariff or a daily sum
    case 4: return ShareFigure(1); // a share of the payment's base
    case kPostDoplDateStart:
    case kPostDoplDateEnd: return TextFigure(0);
    default: return column >= 0 && column < kPostDoplColumns ? WholeFigure(0, kMax[column]) : TextFigure(0);
    }
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
    double read[kPostDoplColumns] = {};
    for (int column = 0; column < kPostDoplColumns; ++column) {
        if (column == kPostDoplDateStart || column == kPostDoplDateEnd)
            continue;
        if (RowRefusal refused =
                ReadCell(cells, column, PostDoplColumnTitle(column), PostDoplColumnRule(column), read[column]);
            refused.refused())
            return refused;
    }
    entry.kod = u16(read[0]);
    entry.vid = u8(read[1]);
    entry.sum = read[2];
    entry.mask = u8(read[3]);
    entry.procent = unsigned(read[4]);
    entry.zavisOt = u8(read[5]);
    entry.period = u8(read[6]);
    entry.perer = u8(read[7]);
    entry.dnOtGraph = u8(read[8]);
    entry.ceh = u16(read[9]);
    entry.mrp = u8(read[12]);

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

QString WariaColumnTitle(int column)
{
    static const char* const kTitles[kWariaColumns] = {
        "Месяц", "Код начисления\nили удержания", "Сумма", "Время\n(в днях)", "Время\n(в часах)", "Месяц\nвыдачи"};
    return column >= 0 && column < kWariaColumns ? QString::fromUtf8(kTitles[column]) : QString();
}

FigureRule WariaColumnRule(int column)
{
    switch (column) {
    case 1: return WholeFigure(0, kWariaMaxCode);
    case 2: return SignedMoneyFigure(); // a negative amount is a reversal of an earlier month's
    case 3: return WholeFigure(0, 31);
    case kWariaHoursColumn: return HoursFigure(kWariaMaxHours);
    default: return TextFigure(0);
    }
}

namespace {

// The entry's field of a figure column read by the column's rule; a refused
// text keeps it.
double WariaCell(const QStringList& cells, int column, double stored)
{
    return FigureUnitsOr(WariaColumnRule(column), Cell(cells, column), stored);
}

} // namespace

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
    const TypedDate accrued = ReadTypedMonth(Cell(cells, 0), kArchiveMonthYears);
    if (accrued.read == TypedDateRead::Date || accrued.read == TypedDateRead::Empty) {
        // A cleared month keeps the entry in use, as the packed form's year field 20 (1920) did.
        next.mes = u16(accrued.month);
        next.god = u16(accrued.read == TypedDateRead::Empty ? 1920 : accrued.year);
    }
    next.kod = u16(WariaCell(cells, 1, next.kod));
    next.sum = WariaCell(cells, 2, next.sum);
    next.dn = u16(WariaCell(cells, 3, next.dn));
    // Hours and minutes change together, and only when the text reads.
    if (const FigureReading time =
            ReadFigure(QString(), WariaColumnRule(kWariaHoursColumn), Cell(cells, kWariaHoursColumn));
        time.read) {
        next.hr = u16(int(time.units) / 60);
        next.min = u16(int(time.units) % 60);
    }
    const TypedDate paid = ReadTypedMonth(Cell(cells, 5), kArchivePaidMonthYears);
    if (paid.read == TypedDateRead::Date || paid.read == TypedDateRead::Empty) {
        next.mesVyd = u8(paid.month);
        next.godVyd = u16(paid.year);
    }
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
