#include "entries/VacationEntry.h"

#include "infobase/InfoBaseDb.h"
#include "infobase/PayKindCodes.h"
#include "payroll/CalcEmployeeMonth.h"
#include "payroll/PayKinds.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <algorithm>

namespace kalvor::entries {

using infobase::AccrualRow;
using infobase::CInfoBase;
using infobase::i8;
using infobase::u16;
using infobase::u8;
using infobase::VacationNote;

namespace {

QString NumberOrEmpty(int value) { return value == 0 ? QString() : QString::number(value); }

// "%u,%.2u" of whole days and hundredths; empty when both are 0.
QString DaysText(int days, int hundredths)
{
    if (days == 0 && hundredths == 0)
        return QString();
    return QStringLiteral("%1,%2").arg(days).arg(hundredths, 2, 10, QLatin1Char('0'));
}

// "%.2f" of kopecks (or hundredths) in roubles (units); empty when 0.
QString HundredthsText(double value) { return value == 0 ? QString() : FormatFixed(value / 100.0, 2); }

// A small code read by its input's rule, an empty text 0; a text the rule
// refuses keeps the stored code.
int ReadCode(const QString& text, const FigureRule& rule, int stored) { return int(FigureUnitsOr(rule, text, stored)); }

bool ReadStart(const QDate& start, VacationNote& note, bool filledOnly)
{
    if (!start.isValid()) {
        if (filledOnly || (note.dBegin == 0 && note.mBegin == 0 && note.gBegin == 0))
            return false;
        note.dBegin = 0;
        note.mBegin = 0;
        note.gBegin = 0;
        return true;
    }
    // The note's start word holds no year before the first.
    if (start.year() < kVacationFirstYear)
        return false;
    if (note.dBegin == start.day() && note.mBegin == start.month() && note.gBegin == start.year())
        return false;
    note.dBegin = u16(start.day());
    note.mBegin = u16(start.month());
    note.gBegin = u16(start.year());
    return true;
}

bool ReadLength(const QString& text, VacationNote& note)
{
    int days = 0, hundredths = 0;
    if (!ReadDaysAndHundredths(text, days, hundredths))
        return false;
    bool changed = WriteChanged(note.dlin, days & 127, [&](int v) { note.dlin = u16(v); });
    changed |= WriteChanged(note.dlinHundredths, hundredths & 127, [&](int v) { note.dlinHundredths = u8(v); });
    return changed;
}

// "Дней в расч. периоде" is taken only when both numbers are typed.
bool ReadPeriodDays(const QString& text, VacationNote& note)
{
    int days = 0, hundredths = 0;
    bool fraction = false;
    if (!ReadDaysAndHundredths(text, days, hundredths, &fraction) || !fraction)
        return false;
    bool changed = WriteChanged(note.dn, std::clamp(days, 0, 127), [&](int v) { note.dn = i8(v); });
    changed |= WriteChanged(note.dnHundredths, hundredths & 127, [&](int v) { note.dnHundredths = u8(v); });
    return changed;
}

// "Рабочий фонд": the typed days in hundredths by the field's rule
// (kVacationFundRule, below 31 days); a text the rule refuses keeps it.
bool ReadFund(const QString& text, VacationNote& note)
{
    const int hundredths = int(FigureUnitsOr(kVacationFundRule, text, note.fond));
    return WriteChanged(note.fond, hundredths, [&](int v) { note.fond = u16(v); });
}

// Whether digits follow the decimal mark of a text the days' rule has read
// (its digit groups are parted by blanks, never by a point or a comma).
bool FractionTyped(const QString& text)
{
    const QString trimmed = text.trimmed();
    const qsizetype mark = std::max(trimmed.lastIndexOf(QLatin1Char(',')), trimmed.lastIndexOf(QLatin1Char('.')));
    return mark >= 0 && mark + 1 < trimmed.size();
}

bool Filled(const QString& text) { return !text.trimmed().isEmpty(); }

} // namespace

void ApplyVacationDisplayDefaults(VacationNote& note)
{
    if (note.kalend == 0)
        note.kalend = 1;
    if (note.alg == 0)
        note.alg = 1;
}

VacationNoteForm ShowVacationNote(const VacationNote& note)
{
    VacationNoteForm form;
    if (note.dBegin != 0 && note.mBegin != 0)
        form.start = QDate(note.gBegin, note.mBegin, note.dBegin);
    form.dlin = DaysText(note.dlin, note.dlinHundredths);
    form.vid = NumberOrEmpty(note.vid);
    form.alg = QString::number(note.alg);
    form.kalend = NumberOrEmpty(note.kalend);
    form.budg = NumberOrEmpty(note.budg);
    form.mes = NumberOrEmpty(note.mes);
    form.fond = HundredthsText(note.fond);
    form.dn = DaysText(note.dn, note.dnHundredths);
    form.tolkOtp = note.tolkOtp != 0;
    form.mrp = note.mrp != 0;
    return form;
}

bool ReadDaysAndHundredths(const QString& text, int& days, int& hundredths, bool* fractionTyped)
{
    const FigureReading reading = ReadFigure(QString(), kVacationDaysRule, text);
    if (!reading.read)
        return false;
    days = int(reading.units) / 100;
    hundredths = int(reading.units) % 100;
    if (fractionTyped)
        *fractionTyped = FractionTyped(text);
    return true;
}

bool ReadVacationNote(const VacationNoteForm& form, VacationNote& note, bool filledOnly)
{
    auto take = [&](const QString& text) { return !filledOnly || Filled(text); };
    bool changed = ReadStart(form.start, note, filledOnly);
    if (take(form.dlin))
        changed |= ReadLength(form.dlin, note);
    if (take(form.vid))
        changed |=
            WriteChanged(note.vid, ReadCode(form.vid, kVacationKindRule, note.vid), [&](int v) { note.vid = u16(v); });
    if (take(form.alg))
        changed |= WriteChanged(note.alg, ReadCode(form.alg, kVacationAlgorithmRule, note.alg),
                                [&](int v) { note.alg = u8(v); });
    if (take(form.kalend))
        changed |= WriteChanged(note.kalend, ReadCode(form.kalend, kVacationCountedRule, note.kalend),
                                [&](int v) { note.kalend = u16(v); });
    if (take(form.budg))
        changed |= WriteChanged(note.budg, ReadCode(form.budg, kVacationBudgetRule, note.budg),
                                [&](int v) { note.budg = u16(v); });
    if (take(form.mes))
        changed |=
            WriteChanged(note.mes, ReadCode(form.mes, kVacationMonthRule, note.mes), [&](int v) { note.mes = u16(v); });
    if (take(form.fond))
        changed |= ReadFund(form.fond, note);
    if (take(form.dn))
        changed |= ReadPeriodDays(form.dn, note);
    if (!filledOnly || form.tolkOtp)
        changed |= WriteChanged(note.tolkOtp, form.tolkOtp ? 1 : 0, [&](int v) { note.tolkOtp = u8(v); });
    if (!filledOnly || form.mrp)
        changed |= WriteChanged(note.mrp, form.mrp ? 1 : 0, [&](int v) { note.mrp = u16(v); });
    return changed;
}

bool IsEmptyVacationNote(const VacationNote& note)
{
    return note.dlin == 0 && note.dlinHundredths == 0 && note.dBegin == 0 && note.mBegin == 0;
}

EmployeeLines<VacationNote> TakeVacationNotes(const CInfoBase& base, int slot)
{
    return TakeEmployeeLines(base.otp, slot, kVacationNotesShown);
}

bool StoreVacationNotes(CInfoBase& base, int slot, const VacationNotes& shown, const VacationNotes& beyond)
{
    return StoreEmployeeLines(base.otp, slot, shown, beyond,
                              [](const VacationNote& note) { return !IsEmptyVacationNote(note); });
}

VacationGroupOutcome AppendVacationFieldsToGroup(CInfoBase& base, const VacationNoteForm& form)
{
    return AppendToFirstLines(
        base, base.otp, kVacationNotesShown, [&](VacationNote& note) { return ReadVacationNote(form, note, true); },
        [](const VacationNote& note) { return !IsEmptyVacationNote(note); });
}

void WriteEmployeeToSwap(CInfoBase& base, int tabN)
{
    infobase::Selection selection;
    selection.tabN = tabN;
    base.CreateSwapFile();
    infobase::SelectKonstToSwap(base, selection);
    infobase::SelectNalvichToSwap(base, selection);
    infobase::SelectPostDoplToSwap(base, selection);
    infobase::SelectSberToSwap(base, selection);
    infobase::SelectIspolToSwap(base, selection);
    infobase::SelectSsudToSwap(base, selection);
    infobase::SelectWariaToSwap(base, base.config.reportingYear() - 10, 1, selection);
    infobase::SelectProizvZarpToSwap(base, selection);
    base.CloseSwapFile();
}

CalcOptions VacationRequest(std::span<VacationNote> notes, int currentNote)
{
    return VacationNoteRequest(notes, currentNote);
}

int ComputeVacationNote(PayrollDoc& doc, int tabN, std::span<VacationNote> notes, int current, CalcWorkBuffer& detail,
                        CalcResultBuffer& rows)
{
    CInfoBase& base = doc.infoBase;
    detail = CalcWorkBuffer{};
    rows = CalcResultBuffer{};
    const int index = base.FindEmployee(tabN);
    if (index < 0)
        return kCalcBadEmployee;
    // The engine works on a copy; the current note takes back its amount.
    std::array<VacationNote, kVacationNotesShown> copy{};
    const std::size_t count = std::min(notes.size(), copy.size());
    std::copy_n(notes.begin(), count, copy.begin());
    const CalcOptions request = VacationRequest(std::span<VacationNote>(copy.data(), count), current);

    struct SwapCloser {
        CInfoBase& base;
        ~SwapCloser() { base.CloseSwapFile(); }
    } closer{base};
    base.OpenSwapFile();
    const int result = CalcEmployeeMonth(doc, rows.data(), index, &detail, CalcDisplay, request);
    if (current >= 0 && std::size_t(current) < count)
        notes[std::size_t(current)].sum = copy[std::size_t(current)].sum;
    return result;
}

// ------------------------------------------------------------------ the result grids

namespace {

void FillPeriod(VacationGrids& grids, const CalcWorkBuffer& detail)
{
    for (std::size_t i = 0; i < detail.months.size(); ++i) {
        const CalcWorkBuffer::Month& month = detail.months[i];
        const int code = int(month.month);
        if (code == 0)
            continue;
        std::array<QString, 3>& cells = grids.period[i];
        cells[0] =
            QStringLiteral("%1.%2").arg(code / 100, 2, 10, QLatin1Char('0')).arg(code % 100, 2, 10, QLatin1Char('0'));
        if (month.earnings != 0 && month.coefficient != 0) {
            cells[1] = FormatFixed(month.earnings / 100.0, 2);
            ++grids.monthsWithEarnings;
            if (month.coefficient != 100)
                cells[2] = FormatFixed(month.coefficient / 100.0, 2);
        }
    }
}

void FillAverages(VacationGrids& grids, const VacationNote& note, const CalcWorkBuffer& detail)
{
    const bool hourly = note.alg == 2;
    grids.averageHeadings = hourly ? std::array<QString, 4>{QStringLiteral("Суммарный"), QStringLiteral("Нед.в р/пер"),
                                                            QStringLiteral("Часовой"), QStringLiteral("Стоим. недели")}
                                   : std::array<QString, 4>{QStringLiteral("Суммарный"), QStringLiteral("Дней в р/пер"),
                                                            QString(), QStringLiteral("Дневной")};
    const double total = detail.months[4].total;
    const double length = detail.months[0].total;
    if (total == 0)
        return;
    grids.averages[0] = FormatFixed(total / 100.0, 2);
    if (length == 0)
        return;
    grids.averages[1] = FormatFixed(length, 2);
    if (note.alg == 1) {
        grids.averages[3] = FormatFixed(detail.months[1].total / 100.0, 2);
    } else if (hourly) {
        grids.averages[2] = FormatFixed(detail.months[1].total / 100.0, 2);
        grids.averages[3] = FormatFixed(detail.months[2].total / 100.0, 2);
    }
}

void FillAccruals(VacationGrids& grids, const PayrollDoc& doc, int resultCount, const AccrualRow* rows)
{
    std::vector<AccrualRow> sorted(rows, rows + resultCount);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const AccrualRow& a, const AccrualRow& b) { return a.kod < b.kod; });
    for (const AccrualRow& row : sorted) {
        VacationAccrualLine line;
        if (const infobase::PayKind* kind = PayKindOf(doc, row.kod))
            line.name = kind->name;
        line.month = NumberOrEmpty(row.mes);
        line.days = NumberOrEmpty(row.dn);
        line.amount = row.sum == 0 ? QString() : FormatFixed(row.sum / 100.0, 2);
        line.deduction = !IsAccrualCode(row.kod);
        grids.accruals.push_back(line);
    }
}

} // namespace

VacationGrids VacationGridTexts(const PayrollDoc& doc, int resultCount, const VacationNote& note,
                                const CalcWorkBuffer& detail, const AccrualRow* rows)
{
    VacationGrids grids;
    FillAverages(grids, note, resultCount >= 0 ? detail : CalcWorkBuffer{});
    if (resultCount < 0)
        return grids;
    FillPeriod(grids, detail);
    FillAccruals(grids, doc, resultCount, rows);
    grids.amount = note.sum == 0 ? QString() : FormatFixed(note.sum / 100.0, 2);
    return grids;
}

// ------------------------------------------------------------------ pick lists

QStringList VacationKindLines()
{
    return {QStringLiteral(" |Очередной отпуск"), QStringLiteral("1|Допольнительный отпуск"),
            QStringLiteral("2|Учебный отпуск"), QStringLiteral("3|Особый отпуск")};
}

QStringList VacationAlgorithmLines()
{
    return {QStringLiteral(" |Стоимость одного дня  исчисляется с учетом месяцного фонда"),
            QStringLiteral("1|Алгоритм для неполностью отработанного периода"),
            QStringLiteral("2|Суммированный учет рабочего времени")};
}

QStringList VacationDayBasisLines()
{
    return {QStringLiteral("1|В календарных днях(за вычетом праздников)"), QStringLiteral("2|В рабочих днях"),
            QStringLiteral("3|В днях шестидневной рабочей недели")};
}

QStringList VacationBudgetLines()
{
    QStringList lines{QStringLiteral(" |бюджет(источник по умолчанию"),
                      QStringLiteral("1|2-й источник финансирования")};
    for (int source = 2; source <= 9; ++source)
        lines << QStringLiteral("%1|%2-й источник финансирования").arg(source).arg(source + 1);
    return lines;
}

QStringList VacationMonthLines()
{
    QStringList lines;
    for (int month = 1; month <= 12; ++month)
        lines << QStringLiteral("%1|%2").arg(month == 1 ? QStringLiteral("1 ") : QString::number(month),
                                             MonthName(month));
    return lines;
}

} // namespace kalvor::entries
