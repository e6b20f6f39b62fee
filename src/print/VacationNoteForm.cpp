#include "print/VacationNoteForm.h"

#include "infobase/InfoBaseDb.h"
#include "infobase/PayKindCodes.h"
#include "payroll/AverageEarnings.h"
#include "payroll/CalcEmployeeMonth.h"
#include "payroll/CalcErrors.h"
#include "payroll/CalcOptions.h"
#include "payroll/Criteria.h"
#include "payroll/MonthMoney.h"
#include "payroll/PayKinds.h"
#include "payroll/Rounding.h"
#include "payroll/ScheduleNorm.h"
#include "platform/CodePage.h"
#include "platform/SavedFile.h"
#include "print/FormTexts.h"
#include "print/FormsFile.h"
#include "print/PrintSelection.h"
#include "values/Clock.h"
#include "values/Messages.h"
#include "values/RoundText.h"

#include <QDate>

#include <algorithm>
#include <array>
#include <vector>

namespace kalvor::print {

using infobase::CInfoBase;
using infobase::FirmInfo;
using infobase::VacationNote;

namespace {

int DateKey(const CalendarDay& date) { return date.year * 10000 + date.month * 100 + date.day; }

// The firm's holidays among the days from..to, both included.
int CountHolidays(const FirmInfo& firm, CalendarDay from, const CalendarDay& to)
{
    int count = 0;
    for (; DateKey(from) <= DateKey(to); NextDay(from))
        if (IsFirmHoliday(firm, from.day, from.month))
            ++count;
    return count;
}

QByteArray Number(const char* format, int value) { return QString::asprintf(format, value).toLatin1(); }
QByteArray Amount(double kopecks, int width) { return FormatFixed8(kopecks / 100.0, 2, width); }
// "%+8s" and "%9s": the text right-aligned in the width.
QByteArray RightAligned(const QByteArray& text, int width) { return text.rightJustified(width, ' '); }

// One computed note and what its forms show.
struct NoteData {
    const PayrollDoc& doc;
    int slot = 0;
    int personnelNumber = 0;
    int entryNumber = 0; // the row number of the calculation, 1 up
    const infobase::EmployeeHead& head;
    const VacationNote& note;
    const CalcWorkBuffer& detail;
    const infobase::AccrualRow* rows = nullptr;
    int rowCount = 0;

    bool hasStart() const { return note.mBegin != 0; }
    CalendarDay start() const { return {note.dBegin, note.mBegin, note.gBegin}; }
    bool hourly() const { return note.alg == 2; }
};

QByteArray EmployeeName(const NoteData& data) { return codepage::toCp1251(data.head.fio.simplified()); }

QByteArray ProfessionName(const NoteData& data)
{
    const CInfoBase& base = data.doc.infoBase;
    const int code = data.slot >= 1 ? base.attributesOf(data.slot).prof : 0;
    if (code == 0)
        return {};
    std::array<char, kProfessionNameWidth> field{};
    FormatProfessionName(field.data(), code, data.doc);
    const auto end = std::find(field.begin(), field.end(), '\0');
    return QByteArray(field.data(), end - field.begin()).trimmed();
}

QByteArray ShopName(const NoteData& data)
{
    const CInfoBase& base = data.doc.infoBase;
    const infobase::ShopRecord* record = base.shopNumbered(base.shopOf(data.slot));
    return record != nullptr ? codepage::toCp1251(record->name.simplified()) : QByteArray();
}

// The dismissal date of the current employment (null without one).
PackedDate DismissalDate(const infobase::EmployeeHead& head)
{
    return PackedDate(head.datPr2 ? head.datUv2 : head.datUv1);
}

// The vacation's last day: its length counted from the start, moved on by
// the firm's holidays within it.
CalendarDay LastVacationDay(const NoteData& data)
{
    CalendarDay last = data.start();
    for (int day = 1; day < data.note.dlin; ++day) NextDay(last);
    ExtendForHolidays(data.start(), last, data.doc.infoBase.firm);
    return last;
}

// The three tags of a date: day, month's name in the genitive, year; blank
// without a date.
void FillDate(QByteArray& text, const std::array<const char*, 3>& tags, const CalendarDay& date, const char* dayFormat,
              int monthWidth)
{
    if (date.month == 0) {
        for (const char* tag : tags) FillTag(text, tag, QByteArray());
        return;
    }
    FillTag(text, tags[0], Number(dayFormat, date.day));
    FillTag(text, tags[1], RightAligned(GenitiveMonth(date.month), monthWidth));
    FillTag(text, tags[2], Number("%4d", date.year));
}

CalendarDay DayOf(PackedDate date)
{
    return date.isNull() ? CalendarDay{} : CalendarDay{date.day(), date.month(), date.fullYear()};
}

void FillNoteTags(QByteArray& text, const NoteData& data)
{
    const QDate today = Clock::today();
    FillTag(text, "FIRM", CollapseBlanks(FirmText8(data.doc, FirmInfo::firmName), FirmInfo::TextWidth));
    FillTag(text, "DMAKE", QString::asprintf("%02d.%02d.%4d", today.day(), today.month(), today.year()).toLatin1());
    FillTag(text, "FIO", EmployeeName(data));
    FillTag(text, "TNUM", Number("%4d", data.personnelNumber));
    FillTag(text, "PROF", ProfessionName(data));
    FillTag(text, "PODR", ShopName(data));
    FillTag(text, "TYPE",
            codepage::toCp1251(data.note.kalend == 2 || data.note.kalend == 3 ? QStringLiteral("рабочих")
                                                                              : QStringLiteral("календарных")));
    const QByteArray days = Number("%4d", data.note.dlin);
    FillTag(text, "EDAY", data.note.vid == 0 ? days : QByteArray());
    FillTag(text, "XDAY", data.note.vid != 0 ? days : QByteArray());
    FillDate(text, {"STD", "STM", "STY"}, data.hasStart() ? data.start() : CalendarDay{}, "%3d", 8);
    FillDate(text, {"UDT", "UMN", "UYR"}, data.hasStart() ? CalendarDay{} : DayOf(DismissalDate(data.head)), "%2d", 8);
    // The order's number and date and the contract's are not kept.
    for (const char* tag : {"NDOG", "DDOG", "NUD"}) FillTag(text, tag, QByteArray());
}

// The months of the averaging period, one row each, then blank rows up to
// the twelve that the form holds.
void FillPeriodRows(QByteArray& text, const NoteData& data)
{
    static const std::array<const char*, 4> tags{"YEAR", "MO", "DZP", "SUM"};
    std::array<qsizetype, 4> next{};
    auto fillRow = [&](const std::array<QByteArray, 4>& values) {
        for (std::size_t tag = 0; tag < tags.size(); ++tag)
            next[tag] = FillTag(text, tags[tag], values[tag], next[tag]);
    };
    int filled = 0;
    for (const CalcWorkBuffer::Month& month : data.detail.months) {
        const int code = int(month.month);
        if (code == 0)
            continue;
        const bool risen = month.coefficient != 0 && month.coefficient != 100;
        fillRow({Number("%4d", WidenTwoDigitYear(code % 100)), Number("%02d", code / 100),
                 risen ? "(x" + FormatFixed8(month.coefficient / 100.0, 2, 4) + ")" : QByteArray(),
                 Amount(month.earnings, FindTagRoom(text, "SUM", next[3]).width)});
        ++filled;
    }
    for (; filled < int(data.detail.months.size()); ++filled) fillRow({});
}

// The pay of the note in the reporting month and the next, and their days.
struct PaySplit {
    double current = 0, next = 0;
    int currentDays = 0, nextDays = 0;
};

int SplitPay(const NoteData& data, PaySplit& split)
{
    const int currentCode = data.hasStart() ? VacationPayCode(data.note, 0) : VacationCompensationCode(data.note);
    const int nextCode = data.hasStart() ? VacationPayCode(data.note, 1) : -1;
    for (int index = 0; index < data.rowCount; ++index) {
        const infobase::AccrualRow& row = data.rows[index];
        if (PayKindOf(data.doc, row.kod) == nullptr)
            return kCalcUnknownArchiveCode;
        if (row.kod == currentCode) {
            // A compensation's row carries no days: they are the note's.
            split.current += row.sum;
            split.currentDays += data.hasStart() ? row.dn : data.note.dlin;
        } else if (row.kod == nextCode) {
            split.next += row.sum;
            split.nextDays += row.dn;
        }
    }
    return 0;
}

// What the form says was accrued, withheld and is to be paid (kopecks).
struct NotePayout {
    double accrued = 0, withheld = 0, toPay = 0;
};

// Rows that pay the month out rather than withhold from it: the remainder
// sent to the bank, the pay transferred, the amount to pay on dismissal.
bool PaysOut(int code) { return IsTransferCode(code) || code == kCodeRestPay; }

// A note paid before the month's pay holds the amount paid out; what the
// vacation pay lost on the way is withheld. A note paid with the month is
// paid what the month's rows leave: they give the three figures, which add
// up as the month's pay does (accrued less withheld is the amount to pay
// that the calculation put into the note).
NotePayout PayoutOf(const NoteData& data, const PaySplit& split)
{
    const double vacationPay = split.current + split.next;
    if (data.note.mrp)
        return {vacationPay, data.note.sum != 0 ? vacationPay - data.note.sum : 0, data.note.sum};
    NotePayout payout;
    for (int index = 0; index < data.rowCount; ++index) {
        const infobase::AccrualRow& row = data.rows[index];
        if (IsAccruedCode(row.kod))
            payout.accrued += RoundWhole(row.sum);
        else if (IsDeductedCode(row.kod) && !PaysOut(row.kod))
            payout.withheld += RoundWhole(row.sum);
    }
    payout.toPay = data.note.sum;
    return payout;
}

void FillAmount(QByteArray& text, const char* tag, double kopecks)
{
    const AmountField field = FormatAmountField(kopecks, std::max(FindTagRoom(text, tag).width - 3, 1));
    FillTag(text, tag, field.roubles + field.kopecks);
}

void FillTotals(QByteArray& text, const NoteData& data, const PaySplit& split)
{
    const auto& months = data.detail.months;
    FillTag(text, "ITOG", Amount(months[4].total, 11));
    const QByteArray length = FormatFixed8(months[0].total, 2, 7);
    FillTag(text, "DN", data.hourly() ? QByteArray() : length);
    FillTag(text, "HS", data.hourly() ? length : QByteArray());
    FillTag(text, "MIDS", Amount(months[1].total, 11));
    const MonthKey reporting = data.doc.infoBase.config.reportingKey();
    FillTag(text, "MCUR", RightAligned(MonthName(reporting.month()), 8));
    FillTag(text, "MNXT", RightAligned(MonthName(reporting.next().month()), 8));
    FillTag(text, "TOH1", split.currentDays == 0 ? QByteArray() : Number("%5d", split.currentDays));
    FillTag(text, "TOH2", split.nextDays == 0 ? QByteArray() : Number("%5d", split.nextDays));
    FillAmount(text, "SUM1", split.current);
    FillAmount(text, "SUM2", split.next);
    const NotePayout payout = PayoutOf(data, split);
    FillAmount(text, "ADD1", payout.accrued);
    FillAmount(text, "ADD2", 0);
    FillAmount(text, "SUB1", payout.withheld);
    FillAmount(text, "SUB2", payout.toPay);
}

int FillCalcTags(QByteArray& text, const NoteData& data)
{
    PaySplit split;
    if (const int result = SplitPay(data, split); result < 0)
        return result;
    FillTag(text, "FIO", Number("%d. ", data.entryNumber) + EmployeeName(data));
    // The amount tags go first: "SUM" of the month rows must not find "SUM1".
    FillTotals(text, data, split);
    FillPeriodRows(text, data);
    const bool start = data.hasStart();
    FillDate(text, {"BEDD", "BEDM", "BEDY"}, start ? data.start() : CalendarDay{}, "%4d", 9);
    FillDate(text, {"ENDD", "ENDM", "ENDY"}, start ? LastVacationDay(data) : CalendarDay{}, "%4d", 9);
    FillDate(text, {"DUVD", "DUVM", "DUVY"}, start ? CalendarDay{} : DayOf(DismissalDate(data.head)), "%4d", 9);
    return 0;
}

// An entry is printed when it has a length.
bool NoteToPrint(const VacationNote& note) { return note.dlin != 0 || note.dlinHundredths != 0; }

struct SwapCloser {
    CInfoBase& base;
    ~SwapCloser() { base.CloseSwapFile(); }
};

// The forms of one employee's notes appended to out; entryNumber counts the
// notes printed. 0 or a negative code.
int WriteEmployeeNotes(PayrollDoc& doc, int employee, bool withNote, int& entryNumber, QByteArray& out)
{
    CInfoBase& base = doc.infoBase;
    const infobase::EmployeeListEntry entry = base.list[std::size_t(employee)];
    std::vector<VacationNote> run = base.otp.run(entry.slot);
    if (run.size() > std::size_t(kVacationNotesPrinted))
        run.resize(std::size_t(kVacationNotesPrinted));
    if (std::none_of(run.begin(), run.end(), NoteToPrint))
        return 0;
    // A slot that cannot be read whole ends the run: the record would still
    // hold the previous employee's data.
    infobase::EmployeeRecord record;
    if (!base.swap.readSlot(entry.slot, record))
        throw PrintFileError(platform::FILE_ERROR_READ);

    for (std::size_t current = 0; current < run.size(); ++current) {
        if (!NoteToPrint(run[current]))
            continue;
        std::vector<VacationNote> copy = run;
        const CalcOptions request = VacationNoteRequest(copy, int(current));
        CalcWorkBuffer detail;
        CalcResultBuffer rows{};
        const int rowCount = CalcEmployeeMonth(doc, rows.data(), employee, &detail, CalcDisplay, request);
        if (rowCount < 0)
            continue;
        const NoteData data{doc,           entry.slot, entry.tabN(), ++entryNumber, record.head,
                            copy[current], detail,     rows.data(),  rowCount};
        if (withNote) {
            QByteArray note = ReadFormsSection(data.hasStart() ? kVacationNoteSection : kCompensationNoteSection);
            FillNoteTags(note, data);
            out += note;
        }
        QByteArray calc = ReadFormsSection(data.hasStart() ? kVacationCalcSection : kCompensationCalcSection);
        if (const int result = FillCalcTags(calc, data); result < 0)
            return result;
        out += calc;
    }
    return 0;
}

} // namespace

void NextDay(int& day, int& month, int& year)
{
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int length = month == 2 && QDate::isLeapYear(year) ? 29 : days[std::size_t(std::clamp(month, 1, 12) - 1)];
    if (++day <= length)
        return;
    day = 1;
    if (++month > 12) {
        month = 1;
        ++year;
    }
}

void ExtendForHolidays(const CalendarDay& first, CalendarDay& last, const FirmInfo& firm)
{
    int added = CountHolidays(firm, first, last);
    while (added > 0) {
        CalendarDay from = last;
        NextDay(from);
        for (int day = 0; day < added; ++day) NextDay(last);
        added = CountHolidays(firm, from, last);
    }
}

int WriteVacationNoteCalc(const StatementPrintParams& params, bool withNote, int markedOnly, PayrollDoc& doc,
                          const QString& path, std::stop_token stop)
{
    platform::SavedFile output(path);
    if (!output.open(QIODevice::WriteOnly))
        return kPrintFileFault;
    CInfoBase& base = doc.infoBase;
    infobase::Selection selection;
    selection.shop = params.shop;
    selection.brigade = params.brigade;
    selection.profession = params.profession;
    // The same employees as EmployeeInStatement takes: the marked ones, else
    // the personnel number when one is set.
    selection.tabN = markedOnly != 0 ? 0 : params.personnelNumber;
    selection.flag = markedOnly != 0 ? 1 : 0;
    if (!infobase::SelectAllToSwap(base, selection, stop) || stop.stop_requested())
        throw TextError(kMsgInterrupted);

    SwapCloser closer{base};
    base.OpenSwapFile();
    QByteArray text;
    int entryNumber = 0;
    for (int employee = NextEmployeeInSelection(-1, doc, params.shop, params.brigade, params.profession); employee >= 0;
         employee = NextEmployeeInSelection(employee, doc, params.shop, params.brigade, params.profession)) {
        if (!EmployeeInStatement(base, employee, params, markedOnly))
            continue;
        if (const int result = WriteEmployeeNotes(doc, employee, withNote, entryNumber, text); result < 0)
            return result;
    }
    if (output.write(text) != text.size() || !output.commit())
        return kPrintFileFault;
    return 0;
}

} // namespace kalvor::print
